// Options as a script or the shell passes them, on the real tolvane.exe: what "/t" writes to
// standard output, "/a" with its path unquoted, "/f" and the folder it extracts into.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "program_run.h"
#include "support/test_support.h"
#include "support/window_probe.h"
#include "support/zip_writer.h"

using namespace testsupport;

TEST(TestOptionRun, StandardOutputHoldsTheReportOnlyAndAWrongPasswordIsAskedForAgain) {
    TempDir dir(L"topt");
    WriteFileBytes(dir / L"src\\a.txt", "alpha");
    ASSERT_EQ(Run7z(L"a -psecret " + Quote(dir / L"locked.7z") + L" a.txt", dir / L"src").exitCode, 0u);
    WriteFileBytes(dir / L"notes.txt", "not an archive");
    std::vector<std::wstring> asked;
    DialogResponder prompts(L"Tolvane Extractor", [&](HWND window) {
        asked.push_back(ControlText(window, 1213));
        SetControlText(window, 1004, asked.size() == 1 ? L"wrong" : L"secret");
        PressButton(window, IDOK);
    });
    const ProcessResult run = RunProgram(L"/t " + Quote(dir / L"locked.7z"));
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, "locked.7z: no errors found in 1 file and 0 folders.\r\n");
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"Enter password for locked.7z:",
                                                 L"Wrong password. Enter password for locked.7z:"}));
    // Nothing of the engine's own comes before the report on a file that is no archive, or none.
    for (const wchar_t* name : {L"notes.txt", L"missing.zip"})
        EXPECT_EQ(RunProgram(L"/t " + Quote(dir / name)).output.rfind(Narrow(name), 0), 0u) << Narrow(name);
}

TEST(AddOptionRun, AnUnquotedPathIsTakenAsTheOtherOptionsTakeIt) {
    TempDir dir(L"aopt");
    WriteFileBytes(dir / L"file name.txt", "spaced");
    HANDLE run = StartProcess(Quote(ProgramExe()) + L" /a " + (dir / L"file name.txt"));
    HWND dialog = WaitForTopWindow(L"Tolvane Extractor - Add", GetProcessId(run));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ControlText(dialog, 1007), dir / L"file name.zip");
    PressButton(dialog, IDOK);
    EXPECT_EQ(WaitForExitCode(run), 0u);
    CloseHandle(run);
    EXPECT_NE(Run7z(L"l -slt " + Quote(dir / L"file name.zip")).output.find("Path = file name.txt"), std::string::npos);
}

TEST(ExtractToFolderRun, TheFolderLosesTheArchiveExtensionsADeviceNameIsMarkedAndACancelLeavesNoFolder) {
    TempDir dir(L"fopt");
    WriteFileBytes(dir / L"src\\docs\\a.txt", std::string(3000, 'a'));
    for (const std::wstring& arguments :
         {std::wstring(L"-ttar x.tar docs"), L"-tgzip " + Quote(dir / L"t.tar.gz") + L" x.tar",
          L"-mx0 -v1k " + Quote(dir / L"v.7z") + L" docs", std::wstring(L"-tzip plain.zip docs"),
          L"-psecret " + Quote(dir / L"locked.7z") + L" docs"})
        ASSERT_EQ(Run7z(L"a " + arguments, dir / L"src").exitCode, 0u) << Narrow(arguments);
    // A name Windows takes for a device, given only through the "\\?\" form.
    ASSERT_TRUE(MoveFileW((dir / L"src\\plain.zip").c_str(), (L"\\\\?\\" + (dir / L"con.zip")).c_str()));
    RemoveTree(dir / L"src");
    for (const auto& [archive, folder] : {std::pair{L"t.tar.gz", L"t"}, {L"v.7z.001", L"v"}, {L"con.zip", L"_con"}}) {
        EXPECT_EQ(RunProgram(L"/f " + Quote(dir / archive)).exitCode, 0u) << Narrow(archive);
        EXPECT_TRUE(ReadFileBytes(dir / (std::wstring(folder) + L"\\docs\\a.txt")) == std::string(3000, 'a'));
    }
    // Cancel at the password prompt: neither the folder made for the run nor the archive's "docs" stays.
    DialogResponder cancel(L"Tolvane Extractor", [](HWND window) { PressButton(window, IDCANCEL); });
    for (const wchar_t* option : {L"/f ", L"/e "}) RunProgram(option + Quote(dir / L"locked.7z"));
    EXPECT_EQ(cancel.count(), 2);
    EXPECT_FALSE(PathExists(dir / L"locked"));
    EXPECT_FALSE(PathExists(dir / L"docs"));
    // A folder that was there before stays, and so does one the failed run wrote a file into.
    CreateDirectoryW((dir / L"locked").c_str(), nullptr);
    std::string bad = MakeZip({{"good.txt", "good"}, {"bad.txt", "alpha"}});
    bad[bad.find("alpha")] = 'X';  // stored: its CRC no longer matches
    WriteFileBytes(dir / L"bad.zip", bad);
    for (const wchar_t* archive : {L"locked.7z", L"bad.zip"})
        EXPECT_NE(RunProgram(L"/f " + Quote(dir / archive)).exitCode, 0u);
    EXPECT_TRUE(IsFolder(dir / L"locked"));
    EXPECT_EQ(ReadFileBytes(dir / L"bad\\good.txt"), "good");
}
