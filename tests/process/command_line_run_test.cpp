// Options as a script or the shell passes them, on the real tolvane.exe: what "/t" writes to
// standard output, and "/a" with its path unquoted.
#include <windows.h>

#include <gtest/gtest.h>

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
