// The commands beyond Add, Extract and Delete in the real window: Extract Here and Extract to a
// folder of the archive's name with the replace question, Test, Rename, New Folder, Add with a
// file picker and Properties.
#include <gtest/gtest.h>

#include <windows.h>

#include "archive_entries.h"
#include "res/resource.h"
#include "support/program_window.h"
#include "support/remote_list.h"
#include "support/test_support.h"
#include "support/tree_probe.h"
#include "support/window_probe.h"

using namespace testsupport;

namespace {

constexpr int kAdd = 32775, kExtractHere = 32781, kExtractToFolder = 32782, kTest = 32783, kRename = 32784,
              kNewFolder = 32785, kProperties = 32787;
constexpr int kRenameButton = 1157, kReportText = 1158, kNameEdit = 1160, kPropertyList = 1161;

}  // namespace

TEST(ArchiveCommands, ExtractChoicesTestRenameNewFolderAddAndProperties) {
    TempDir dir(L"acmd");
    WriteFileBytes(dir / L"src\\docs\\a.txt", "alpha");
    WriteFileBytes(dir / L"src\\docs\\sub\\b.txt", "bravo");
    WriteFileBytes(dir / L"src\\top.txt", "top");
    WriteFileBytes(dir / L"new\\added \u00e9.txt", "added");
    const std::wstring archive = dir / L"work\\pack.7z";
    ASSERT_EQ(Run7z(L"a " + Quote(archive) + L" docs top.txt", dir / L"src").exitCode, 0u);
    RunningProgram program(archive);
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    ASSERT_TRUE(WaitForRows(list, 3));  // .., docs, top.txt
    RemoteListDoubleClick(list, RowOf(list, L"docs"));
    ASSERT_TRUE(WaitForPath(program, archive + L"\\docs"));

    // Extract Here: the selection relative to the folder shown, beside the archive.
    RemoteListSelect(list, {RowOf(list, L"a.txt"), RowOf(list, L"sub")});
    Command(program, kExtractHere);
    ASSERT_TRUE(WaitUntil([&] { return PathExists(dir / L"work\\sub\\b.txt"); }));
    ASSERT_TRUE(WaitForNoTopWindow(L"Extract Files", program.pid()));
    EXPECT_EQ(ReadFileBytes(dir / L"work\\a.txt"), "alpha");
    EXPECT_FALSE(PathExists(dir / L"work\\docs"));
    // Again: the question about the file in the way; Rename writes the item beside it.
    RemoteListSelect(list, {RowOf(list, L"a.txt")});
    Command(program, kExtractHere);
    HWND question = WaitForTopWindow(L"Confirm File Replace", program.pid());
    ASSERT_NE(question, nullptr);
    PressButton(question, kRenameButton);
    ASSERT_TRUE(WaitUntil([&] { return PathExists(dir / L"work\\a (2).txt"); }));
    ASSERT_TRUE(WaitForNoTopWindow(L"Extract Files", program.pid()));

    // Extract to "pack\": the whole archive (nothing selected) into a folder of its name.
    RemoteListSelect(list, {});
    Command(program, kExtractToFolder);
    ASSERT_TRUE(WaitUntil([&] { return PathExists(dir / L"work\\pack\\top.txt"); }));
    ASSERT_TRUE(WaitForNoTopWindow(L"Extract Files", program.pid()));
    EXPECT_EQ(ListFilesRecursive(dir / L"work\\pack"), (std::vector<std::wstring>{L"docs\\a.txt", L"docs\\sub\\b.txt", L"top.txt"}));

    // Test: the report names what was checked.
    Command(program, kTest);
    HWND report = WaitForTopWindow(L"Test Archive", program.pid());
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(ControlText(report, kReportText), L"pack.7z: no errors found in 3 files and 2 folders.");
    PressButton(report, IDOK);
    ASSERT_TRUE(WaitForNoTopWindow(L"Test Archive", program.pid()));

    // Rename (F2) and New Folder in the folder shown; the archiver's result read back by 7z.exe.
    RemoteListSelect(list, {RowOf(list, L"a.txt")});
    Command(program, kRename);
    HWND prompt = WaitForTopWindow(L"Rename", program.pid());
    ASSERT_NE(prompt, nullptr);
    SetControlText(prompt, kNameEdit, L"A \"quoted\".txt");  // refused: told, and the prompt stays
    EXPECT_EQ(AnswerMessage(program, [&] { PressButton(prompt, IDOK); }),
              L"A name cannot contain any of these characters:\n\\ / : * ? \" < > |");
    ASSERT_TRUE(AnswerNamePrompt(program, L"Rename", L"\u00c4 & 100%.txt"));
    ASSERT_TRUE(WaitUntil([&] { return RowOf(list, L"\u00c4 & 100%.txt") >= 0; }));
    Command(program, kNewFolder);
    ASSERT_TRUE(AnswerNamePrompt(program, L"New Folder", L"New folder"));
    ASSERT_TRUE(WaitUntil([&] { return RowOf(list, L"New folder") >= 0; }));

    // Add: a file picker, into the folder shown.
    Command(program, kAdd);
    HWND picker = WaitForTopWindow(L"Add Files to pack.7z", program.pid());
    ASSERT_NE(picker, nullptr);
    SetControlText(picker, 1148, dir / L"new\\added \u00e9.txt");
    PressButton(picker, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return RowOf(list, L"added \u00e9.txt") >= 0; }));
    EXPECT_EQ(ArchiveEntries(archive),
              (std::vector<std::wstring>{L"docs", L"docs\\New folder", L"docs\\added \u00e9.txt", L"docs\\sub",
                                         L"docs\\sub\\b.txt", L"docs\\\u00c4 & 100%.txt", L"top.txt"}));

    // Properties of the selected entry: every property the engine has, in a list.
    RemoteListSelect(list, {RowOf(list, L"added \u00e9.txt")});
    Command(program, kProperties);
    HWND properties = WaitForTopWindow(L"added \u00e9.txt Properties", program.pid());
    ASSERT_NE(properties, nullptr);
    HWND rows = GetDlgItem(properties, kPropertyList);
    ASSERT_GT(RemoteListCount(rows), 3);
    EXPECT_EQ(RemoteListItemText(rows, 0, 1), L"docs\\added \u00e9.txt");
    PressButton(properties, IDOK);
    ASSERT_TRUE(WaitForNoTopWindow(L"added \u00e9.txt Properties", program.pid()));
    EXPECT_EQ(program.Close(), 1u);
}

TEST(ArchiveCommands, TestAndExtractToFolderFromTheCommandLine) {
    TempDir dir(L"tcmd");
    WriteFileBytes(dir / L"src\\a.txt", "alpha");
    ASSERT_EQ(Run7z(L"a -mx0 " + Quote(dir / L"good.zip") + L" a.txt", dir / L"src").exitCode, 0u);
    std::string damaged = ReadFileBytes(dir / L"good.zip");
    damaged[damaged.find("alpha")] = 'X';  // stored: the CRC no longer matches
    WriteFileBytes(dir / L"bad.zip", damaged);
    const auto run = [&](const std::wstring& arguments) {
        return RunProcess(Quote(ProgramExe()) + L" " + arguments).exitCode;
    };
    EXPECT_EQ(run(L"/t " + Quote(dir / L"good.zip")), 0u);
    EXPECT_EQ(run(L"/t " + Quote(dir / L"bad.zip")), 1u);
    EXPECT_EQ(run(L"/t " + Quote(dir / L"missing.zip")), 1u);
    EXPECT_EQ(run(L"/f " + Quote(dir / L"good.zip")), 0u);
    EXPECT_EQ(ReadFileBytes(dir / L"good\\a.txt"), "alpha");
}


TEST(ArchiveCommands, SmartExtractionOfAnArchiveFileAndOfTheOpenArchive) {
    TempDir dir(L"asmart");
    WriteFileBytes(dir / L"src\\docs\\a.txt", "alpha");
    WriteFileBytes(dir / L"src\\top.txt", "top");
    ASSERT_EQ(Run7z(L"a " + Quote(dir / L"work\\one.zip") + L" docs", dir / L"src").exitCode, 0u);
    ASSERT_EQ(Run7z(L"a " + Quote(dir / L"work\\two.7z") + L" docs top.txt", dir / L"src").exitCode, 0u);
    constexpr int kSmart = 33000;
    RunningProgram program(dir / L"work\\two.7z");
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    ASSERT_TRUE(WaitForRows(list, 3));  // .., docs, top.txt: several at the top, nothing selected
    Command(program, kSmart);
    ASSERT_TRUE(WaitUntil([&] { return PathExists(dir / L"work\\two\\top.txt"); }));
    ASSERT_TRUE(WaitForNoTopWindow(L"Extract Files", program.pid()));
    // One selected item whose name is free goes beside the archive.
    RemoteListSelect(list, {RowOf(list, L"top.txt")});
    Command(program, kSmart);
    ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(dir / L"work\\top.txt") == "top"; }));
    ASSERT_TRUE(WaitForNoTopWindow(L"Extract Files", program.pid()));
    // An archive file of a folder listing: its one folder, beside it.
    program.Close();
    RunningProgram folder(Quote(dir / L"work"));
    ASSERT_NE(folder.WaitForFrame(), nullptr);
    ASSERT_TRUE(WaitForRows(folder.list(), 5));  // .., two, one.zip, top.txt, two.7z
    RemoteListSelect(folder.list(), {RowOf(folder.list(), L"one.zip")});
    Command(folder, kSmart);
    ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(dir / L"work\\docs\\a.txt") == "alpha"; }));
    EXPECT_EQ(ListFilesRecursive(dir / L"work"), (std::vector<std::wstring>{L"docs\\a.txt", L"one.zip", L"top.txt",
                                                                           L"two.7z", L"two\\docs\\a.txt", L"two\\top.txt"}));
    // Two archive files at once, each into a folder named after it.
    ASSERT_EQ(Run7z(L"a " + Quote(dir / L"work\\three.7z") + L" top.txt", dir / L"src").exitCode, 0u);
    Command(folder, ID_VIEW_REFRESH);
    ASSERT_TRUE(WaitForRows(folder.list(), 7));
    RemoteListSelect(folder.list(), {RowOf(folder.list(), L"one.zip"), RowOf(folder.list(), L"three.7z")});
    Command(folder, ID_EXTRACT_TO_FOLDER);
    ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(dir / L"work\\three\\top.txt") == "top"; }));
    EXPECT_EQ(ReadFileBytes(dir / L"work\\one\\docs\\a.txt"), "alpha");
    folder.Close();
}
