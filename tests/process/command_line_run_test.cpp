// Options as a script or the shell passes them, on the real tolvane.exe: what "/t" writes to
// standard output, and "/a" with its path unquoted.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <utility>
#include <vector>

#include "program_run.h"
#include "support/test_support.h"
#include "support/window_probe.h"

using namespace testsupport;

TEST(TestOptionRun, StandardOutputHoldsTheReportOnly) {
    TempDir dir(L"topt");
    WriteFileBytes(dir / L"src\\a.txt", "alpha");
    WriteFileBytes(dir / L"src\\b.txt", "bravo");
    ASSERT_EQ(Run7z(L"a -mx0 " + Quote(dir / L"good.7z") + L" a.txt b.txt", dir / L"src").exitCode, 0u);
    const std::string whole = ReadFileBytes(dir / L"good.7z");
    WriteFileBytes(dir / L"cut.7z", whole.substr(0, whole.size() - 20));
    WriteFileBytes(dir / L"notes.txt", "not an archive");
    // The archiver's own count of what the archive holds.
    ASSERT_NE(Run7z(L"t " + Quote(dir / L"good.7z")).output.find("Files: 2"), std::string::npos);
    for (const wchar_t* name : {L"good.7z", L"cut.7z", L"notes.txt", L"missing.zip"}) {
        SCOPED_TRACE(Narrow(name));
        const ProcessResult run = RunProgram(L"/t " + Quote(dir / name));
        ASSERT_TRUE(run.started);
        EXPECT_EQ(run.exitCode, name == std::wstring(L"good.7z") ? 0u : 1u);
        // The report begins with the archive's name: nothing of the engine's own comes before it.
        EXPECT_EQ(run.output.rfind(Narrow(name), 0), 0u) << run.output;
    }
    EXPECT_EQ(RunProgram(L"/t " + Quote(dir / L"good.7z")).output,
              "good.7z: no errors found in 2 files and 0 folders.\r\n");
}

TEST(TestOptionRun, AWrongPasswordIsAskedForAgain) {
    TempDir dir(L"tpass");
    WriteFileBytes(dir / L"src\\a.txt", "alpha");
    ASSERT_EQ(Run7z(L"a -psecret " + Quote(dir / L"locked.7z") + L" a.txt", dir / L"src").exitCode, 0u);
    std::vector<std::wstring> answers = {L"wrong", L"secret"};
    std::vector<std::wstring> asked;
    DialogResponder prompts(L"Tolvane Extractor", [&](HWND window) {
        asked.push_back(ControlText(window, 1213));
        SetControlText(window, 1004, answers.at(asked.size() - 1));
        PressButton(window, IDOK);
    });
    const ProcessResult run = RunProgram(L"/t " + Quote(dir / L"locked.7z"));
    prompts.stop();
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(run.output, "locked.7z: no errors found in 1 file and 0 folders.\r\n");
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"Enter password for locked.7z:",
                                                 L"Wrong password. Enter password for locked.7z:"}));
}

TEST(AddOptionRun, AnUnquotedPathIsTakenAsTheOtherOptionsTakeIt) {
    TempDir dir(L"aopt");
    WriteFileBytes(dir / L"file name.txt", "spaced");
    HANDLE run = StartProcess(Quote(ProgramExe()) + L" /a " + (dir / L"file name.txt"));
    ASSERT_NE(run, nullptr);
    HWND dialog = WaitForTopWindow(L"Tolvane Extractor - Add", GetProcessId(run));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ControlText(dialog, 1007), dir / L"file name.zip");
    PressButton(dialog, IDOK);
    EXPECT_EQ(WaitForExitCode(run), 0u);
    CloseHandle(run);
    EXPECT_NE(Run7z(L"l -slt " + Quote(dir / L"file name.zip")).output.find("Path = file name.txt"),
              std::string::npos);
}

TEST(ExtractToFolderRun, TheFolderHasTheArchivesNameWithoutItsExtensionsAndADeviceNameIsMarked) {
    TempDir dir(L"fopt");
    WriteFileBytes(dir / L"src\\a.txt", std::string(3000, 'a'));
    const auto make = [&](const std::wstring& arguments) {
        ASSERT_EQ(Run7z(L"a " + arguments, dir / L"src").exitCode, 0u) << Narrow(arguments);
    };
    make(L"-ttar " + Quote(dir / L"src\\x.tar") + L" a.txt");
    make(L"-tgzip " + Quote(dir / L"t.tar.gz") + L" x.tar");
    make(L"-mx0 -v1k " + Quote(dir / L"v.7z") + L" a.txt");
    make(L"-tzip " + Quote(dir / L"src\\plain.zip") + L" a.txt");
    // A name Windows takes for a device, given only through the "\\?\" form.
    ASSERT_TRUE(MoveFileW((dir / L"src\\plain.zip").c_str(), (L"\\\\?\\" + (dir / L"con.zip")).c_str()));
    for (const auto& [archive, folder] : {std::pair{L"t.tar.gz", L"t"}, {L"v.7z.001", L"v"}, {L"con.zip", L"_con"}}) {
        SCOPED_TRACE(Narrow(archive));
        EXPECT_EQ(RunProgram(L"/f " + Quote(dir / archive)).exitCode, 0u);
        EXPECT_TRUE(ReadFileBytes(dir / (std::wstring(folder) + L"\\a.txt")) == std::string(3000, 'a'));
    }
}

TEST(ExtractToFolderRun, ACancelAtThePasswordPromptLeavesNoFolderBehind) {
    TempDir dir(L"fcancel");
    WriteFileBytes(dir / L"src\\docs\\a.txt", "alpha");
    WriteFileBytes(dir / L"src\\c.txt", "gamma");
    ASSERT_EQ(Run7z(L"a -psecret " + Quote(dir / L"locked.7z") + L" docs c.txt", dir / L"src").exitCode, 0u);
    RemoveTree(dir / L"src");
    std::atomic<int> prompts{0};
    DialogResponder cancel(L"Tolvane Extractor", [&](HWND window) {
        if (GetDlgItem(window, 1004)) ++prompts;  // the password prompt
        PressButton(window, GetDlgItem(window, 1004) ? IDCANCEL : IDOK);
    });
    for (const wchar_t* option : {L"/f ", L"/e "}) {
        SCOPED_TRACE(Narrow(option));
        RunProgram(option + Quote(dir / L"locked.7z"));
        // Neither the folder named after the archive nor the archive's own folder "docs" stays.
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((dir / L"*").c_str(), &found);
        std::vector<std::wstring> names;
        for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &found))
            if (found.cFileName[0] != L'.') names.push_back(found.cFileName);
        FindClose(find);
        EXPECT_EQ(names, std::vector<std::wstring>{L"locked.7z"});
    }
    EXPECT_EQ(prompts.load(), 2);
}
