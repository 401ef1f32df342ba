// Several paths on one command line, as the context menu passes them: smart extraction, several
// archives in one run with one summary, "/7" and "/z" without a dialog, the list file, and a
// folder to start in.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "program_run.h"
#include "res/resource.h"
#include "support/program_window.h"
#include "support/test_support.h"
#include "support/window_probe.h"
#include "support/zip_writer.h"

using namespace testsupport;

namespace {

// An archive made by 7z.exe of `items` (below `dir`\src) at `dir`\`archive`.
void Make(const TempDir& dir, const std::wstring& archive, const std::wstring& items) {
    ASSERT_EQ(Run7z(L"a " + Quote(dir / archive) + L" " + items, dir / L"src").exitCode, 0u) << Narrow(archive);
}

// A path in double quotes, as the shell passes every path.
std::wstring Q(const std::wstring& path) { return L"\"" + path + L"\""; }

void WriteList(const std::wstring& path, const std::wstring& lines) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : lines) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    WriteFileBytes(path, bytes);
}

// x.7z holding x.txt ("ex") and y.zip holding y.txt ("why").
void MakeXAndY(const TempDir& dir) {
    WriteFileBytes(dir / L"src\\x.txt", "ex");
    WriteFileBytes(dir / L"src\\y.txt", "why");
    Make(dir, L"x.7z", L"x.txt");
    Make(dir, L"y.zip", L"y.txt");
}

}  // namespace

TEST(SmartExtractionRun, OneItemGoesBesideSeveralIntoANewFolderATakenNameIsNeverWrittenInto) {
    TempDir dir(L"smart");
    WriteFileBytes(dir / L"src\\a.txt", "alpha");
    WriteFileBytes(dir / L"src\\docs\\b.txt", "beta");
    WriteFileBytes(dir / L"src\\t.txt", "archived t");
    Make(dir, L"onefile.7z", L"a.txt");
    Make(dir, L"onefolder.zip", L"docs");
    Make(dir, L"several.7z", L"a.txt docs");
    Make(dir, L"taken.7z", L"t.txt");
    RemoveTree(dir / L"src");
    DialogResponder unexpected(L"Tolvane Extractor", [](HWND box) { PressButton(box, IDOK); });
    WriteFileBytes(dir / L"t.txt", "the user's t");  // the single item's name is taken ...
    CreateDirectoryW((dir / L"taken").c_str(), nullptr);  // ... and so is the archive's
    const ProcessResult run = RunProgram(L"/s " + Q(dir / L"onefile.7z") + L" " + Q(dir / L"onefolder.zip") +
                                         L" " + Q(dir / L"several.7z") + L" " + Q(dir / L"taken.7z"));
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(ListFilesRecursive(dir.path()),
              (std::vector<std::wstring>{L"a.txt", L"docs\\b.txt", L"onefile.7z", L"onefolder.zip", L"several.7z",
                                         L"several\\a.txt", L"several\\docs\\b.txt", L"t.txt", L"taken (2)\\t.txt",
                                         L"taken.7z"}));
    EXPECT_EQ(ReadFileBytes(dir / L"t.txt"), "the user's t");
    EXPECT_EQ(ReadFileBytes(dir / L"taken (2)\\t.txt"), "archived t");
    EXPECT_EQ(ReadFileBytes(dir / L"docs\\b.txt"), "beta");
    EXPECT_TRUE(IsFolder(dir / L"taken"));
    EXPECT_EQ(unexpected.count(), 0);
    unexpected.stop();
    // An archive whose list is encrypted: asked once; Cancel leaves nothing behind.
    WriteFileBytes(dir / L"src\\a.txt", "alpha");
    ASSERT_EQ(Run7z(L"a -mhe=on -psecret " + Quote(dir / L"locked.7z") + L" a.txt", dir / L"src").exitCode, 0u);
    RemoveTree(dir / L"src");
    DialogResponder cancel(L"Tolvane Extractor", [](HWND prompt) { PressButton(prompt, IDCANCEL); });
    EXPECT_EQ(RunProgram(L"/s " + Q(dir / L"locked.7z")).exitCode, 0u);
    EXPECT_EQ(cancel.count(), 1);
    EXPECT_FALSE(PathExists(dir / L"locked"));
}

TEST(SeveralArchivesRun, EachGoesToItsOwnPlaceAndOneSummaryNamesTheFailureAndItsCause) {
    TempDir dir(L"several");
    WriteFileBytes(dir / L"src\\one\\a.txt", std::string(5000, 'a'));
    WriteFileBytes(dir / L"src\\two.txt", "two");
    Make(dir, L"first.7z", L"one");
    Make(dir, L"second.zip", L"two.txt");
    std::string bad = MakeZip({{"good.txt", "good"}, {"bad.txt", "alpha"}});
    bad[bad.find("alpha")] = 'X';  // stored: its CRC no longer matches
    WriteFileBytes(dir / L"broken.zip", bad);
    DialogResponder summary(L"Tolvane Extractor", [&](HWND box) { PressButton(box, IDOK); });
    const ProcessResult run = RunProgram(L"/f " + Q(dir / L"first.7z") + L" " + Q(dir / L"broken.zip") +
                                         L" " + Q(dir / L"second.zip"));
    EXPECT_EQ(run.exitCode, 1u);
    // Read back against the files the archives were made of.
    EXPECT_EQ(ReadFileBytes(dir / L"first\\one\\a.txt"), ReadFileBytes(dir / L"src\\one\\a.txt"));
    EXPECT_EQ(ReadFileBytes(dir / L"second\\two.txt"), "two");
    ASSERT_EQ(summary.count(), 1);
    const std::wstring text = summary.texts().front();
    EXPECT_EQ(text.rfind(L"Extracted 2 of 3 archives.", 0), 0u) << Narrow(text);
    EXPECT_NE(text.find(L"Could not extract broken.zip"), std::wstring::npos) << Narrow(text);
    EXPECT_NE(text.find(L"bad.txt"), std::wstring::npos) << Narrow(text);
    EXPECT_NE(text.find(L"first.7z: extracted to " + (dir / L"first")), std::wstring::npos) << Narrow(text);
    summary.stop();
    // "/t" reports each archive in turn; the exit code tells that one failed.
    const ProcessResult tested = RunProgram(L"/t " + Q(dir / L"first.7z") + L" " + Q(dir / L"broken.zip"));
    EXPECT_EQ(tested.exitCode, 1u);
    EXPECT_EQ(tested.output.rfind("first.7z: no errors found", 0), 0u) << tested.output;
    EXPECT_NE(tested.output.find("\r\nbroken.zip"), std::string::npos) << tested.output;
    // Two archives "here" that hold one name: the second asks before it replaces; No keeps the first's.
    WriteFileBytes(dir / L"src\\same.txt", "older");
    Make(dir, L"older.zip", L"same.txt");
    WriteFileBytes(dir / L"src\\same.txt", "newer");
    Make(dir, L"newer.7z", L"same.txt");
    DialogResponder no(L"Confirm File Replace", [](HWND question) { PressButton(question, IDNO); });
    EXPECT_EQ(RunProgram(L"/e " + Q(dir / L"older.zip") + L" " + Q(dir / L"newer.7z")).exitCode, 0u);
    EXPECT_EQ(no.count(), 1);
    EXPECT_EQ(ReadFileBytes(dir / L"same.txt"), "older");
    // One archive alone asks the same: the file there is the user's, and No keeps it.
    EXPECT_EQ(RunProgram(L"/e " + Q(dir / L"newer.7z")).exitCode, 0u);
    EXPECT_EQ(no.count(), 2);
    EXPECT_EQ(ReadFileBytes(dir / L"same.txt"), "older");
}

TEST(QuickAddRun, SeveralItemsMakeOneArchiveAndAnExistingOneIsAddedInto) {
    TempDir dir(L"quick");
    WriteFileBytes(dir / L"box\\a.txt", "alpha");
    WriteFileBytes(dir / L"box\\b.txt", "beta");
    WriteFileBytes(dir / L"box\\c.txt", "gamma");
    const std::wstring both = Q(dir / L"box\\a.txt") + L" " + Q(dir / L"box\\b.txt");
    EXPECT_EQ(RunProgram(L"/7 " + both).exitCode, 0u);
    EXPECT_EQ(RunProgram(L"/z " + both).exitCode, 0u);
    for (const wchar_t* archive : {L"box\\box.7z", L"box\\box.zip"}) {
        const std::string listing = Run7z(L"l -slt " + Quote(dir / archive)).output;
        EXPECT_NE(listing.find("Path = a.txt"), std::string::npos) << Narrow(archive);
        EXPECT_NE(listing.find("Path = b.txt"), std::string::npos) << Narrow(archive);
    }
    EXPECT_NE(Run7z(L"l -slt " + Quote(dir / L"box\\box.7z")).output.find("Type = 7z"), std::string::npos);
    // Into the archive there already: what it held stays beside what comes.
    EXPECT_EQ(RunProgram(L"/z " + Q(dir / L"box\\c.txt") + L" " + Q(dir / L"box\\a.txt")).exitCode, 0u);
    const std::string updated = Run7z(L"l -slt " + Quote(dir / L"box\\box.zip")).output;
    for (const char* entry : {"Path = a.txt", "Path = b.txt", "Path = c.txt"})
        EXPECT_NE(updated.find(entry), std::string::npos) << entry;
    // One item: named after it, beside it; an archive is never added into itself.
    EXPECT_EQ(RunProgram(L"/z " + Q(dir / L"box\\c.txt")).exitCode, 0u);
    ASSERT_EQ(Run7z(L"x -o" + Quote(dir / L"out") + L" " + Quote(dir / L"box\\c.zip")).exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(dir / L"out\\c.txt"), "gamma");
    EXPECT_EQ(RunProgram(L"/z " + Q(dir / L"box\\c.zip")).exitCode, 0u);
    EXPECT_NE(Run7z(L"l -slt " + Quote(dir / L"box\\c (2).zip")).output.find("Path = c.zip"), std::string::npos);
    // Two items of one name from two folders: the archiver would drop one; nothing is made.
    WriteFileBytes(dir / L"other\\a.txt", "another alpha");
    const std::string before = ReadFileBytes(dir / L"box\\box.7z");
    DialogResponder told(L"Tolvane Extractor", [](HWND box) { PressButton(box, IDOK); });
    EXPECT_EQ(RunProgram(L"/7 " + Q(dir / L"box\\a.txt") + L" " + Q(dir / L"other\\a.txt")).exitCode, 1u);
    ASSERT_EQ(told.count(), 1);
    EXPECT_NE(told.texts().front().find(L"would take one name"), std::wstring::npos);
    EXPECT_EQ(ReadFileBytes(dir / L"box\\box.7z"), before);
}

TEST(ListFileRun, ThePathsAreTakenAndOnlyTheProgramsOwnListInTheTempFolderGoes) {
    TempDir dir(L"list");
    MakeXAndY(dir);
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring own = std::wstring(temp) + L"tolvane-list-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    const std::wstring paths = (dir / L"x.7z") + L"\r\n" + (dir / L"y.zip") + L"\r\n";
    WriteList(own, paths);
    EXPECT_EQ(RunProgram(L"/f @\"" + own + L"\"").exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(dir / L"x\\x.txt"), "ex");
    EXPECT_EQ(ReadFileBytes(dir / L"y\\y.txt"), "why");
    EXPECT_FALSE(PathExists(own));
    DeleteFileW(own.c_str());
    // Someone's file of the same name elsewhere is read and stays.
    WriteList(dir / L"tolvane-list-1.txt", (dir / L"x.7z") + L"\r\n");
    EXPECT_EQ(RunProgram(L"/e @\"" + (dir / L"tolvane-list-1.txt") + L"\"").exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(dir / L"x.txt"), "ex");
    EXPECT_TRUE(PathExists(dir / L"tolvane-list-1.txt"));
}

TEST(FolderStartRun, AFolderOnTheCommandLineIsShownQuotedOrNot) {
    TempDir dir(L"start folder");
    WriteFileBytes(dir / L"inside.txt", "in");
    for (const std::wstring& arguments : {Q(dir.path()), dir.path()}) {
        RunningProgram program(arguments);
        ASSERT_NE(program.WaitForFrame(), nullptr);
        EXPECT_TRUE(WaitUntil([&] { return WindowText(program.pathField()) == dir.path() + L"\\"; }))
            << Narrow(WindowText(program.pathField()));
        program.Close();
    }
}

TEST(OptionsRun, IntegrationChoicesAreStoredAndRegistrationIsAskedFor) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tolvane Extractor\\Integration");
    RunningProgram program(L"");
    ASSERT_NE(program.WaitForFrame(), nullptr);
    PostMessageW(program.frame(), WM_COMMAND, ID_TOOLS_OPTIONS, 0);
    HWND sheet = WaitForTopWindow(L"Options", program.pid());
    ASSERT_NE(sheet, nullptr);
    HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_OPTIONS_CASCADED, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendDlgItemMessageW(page, IDC_OPTIONS_CASCADED, BM_SETCHECK, BST_UNCHECKED, 0);
    SendDlgItemMessageW(page, IDC_OPTIONS_MENU_FIRST + 8, BM_SETCHECK, BST_UNCHECKED, 0);  // Add to "<name>.7z"
    PressButton(sheet, IDOK);
    ASSERT_TRUE(WaitForNoTopWindow(L"Options", program.pid()));
    program.Close();
    const auto number = [](const wchar_t* name) {
        DWORD value = 0xFFFFFFFF, size = sizeof(value);
        RegGetValueW(HKEY_CURRENT_USER, L"Software\\Tolvane Extractor\\Integration", name, RRF_RT_REG_DWORD, nullptr,
                     &value, &size);
        return value;
    };
    EXPECT_EQ(number(L"Cascaded"), 0u);
    EXPECT_EQ(number(L"MenuItems"), 0x3FFu & ~(1u << 8));
    EXPECT_EQ(number(L"RegistrationAsked"), 1u);
}

TEST(AddOptionRun, SeveralPathsOpenOneDialogForAllOfThem) {
    TempDir dir(L"aseveral");
    WriteFileBytes(dir / L"pick\\a.txt", "alpha");
    WriteFileBytes(dir / L"pick\\b.txt", "beta");
    HANDLE run = StartProcess(Quote(ProgramExe()) + L" /a " + Q(dir / L"pick\\a.txt") + L" " + Q(dir / L"pick\\b.txt"));
    HWND dialog = WaitForTopWindow(L"Tolvane Extractor - Add", GetProcessId(run));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ControlText(dialog, IDC_ARCHIVE_NAME), dir / L"pick\\pick.zip");
    PressButton(dialog, IDOK);
    EXPECT_EQ(WaitForExitCode(run), 0u);
    CloseHandle(run);
    const std::string listing = Run7z(L"l -slt " + Quote(dir / L"pick\\pick.zip")).output;
    EXPECT_NE(listing.find("Path = a.txt"), std::string::npos);
    EXPECT_NE(listing.find("Path = b.txt"), std::string::npos);
}

// The right-drag's "Extract here": the folder the archives were dropped on comes first ("/g" runs in
// the menu handler's test).
TEST(DropTargetRun, EveryArchiveGoesIntoTheDestinationAndAFileThereIsAskedAbout) {
    TempDir dir(L"drop");
    MakeXAndY(dir);
    WriteFileBytes(dir / L"dest\\y.txt", "the user's y");
    DialogResponder no(L"Confirm File Replace", [](HWND question) { PressButton(question, IDNO); });
    EXPECT_EQ(RunProgram(L"/d " + Q(dir / L"dest") + L" " + Q(dir / L"x.7z") + L" " + Q(dir / L"y.zip")).exitCode, 0u);
    EXPECT_EQ(no.count(), 1);
    EXPECT_EQ(ReadFileBytes(dir / L"dest\\x.txt"), "ex");
    EXPECT_EQ(ReadFileBytes(dir / L"dest\\y.txt"), "the user's y");
    no.stop();
    DialogResponder told(L"Tolvane Extractor", [](HWND box) { PressButton(box, IDOK); });
    EXPECT_EQ(RunProgram(L"/d " + Q(dir / L"gone") + L" " + Q(dir / L"x.7z")).exitCode, 1u);
    ASSERT_EQ(told.count(), 1);
    EXPECT_NE(told.texts().front().find(L"the folder does not exist"), std::wstring::npos);
    EXPECT_FALSE(PathExists(dir / L"gone"));
}
