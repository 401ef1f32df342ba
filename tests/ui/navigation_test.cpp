// Moving around in the main window as a user does: every way into a place lists it before
// anything shown changes, and the keyboard and the selection follow what the user sees.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive_entries.h"
#include "support/program_window.h"
#include "support/remote_list.h"
#include "support/window_probe.h"
#include "support/zip_writer.h"

using namespace testsupport;

TEST(Navigation, TypedPathsOpenArchivesAndCloseThemAndAPlaceThatCannotBeListedChangesNothing) {
    ProgramInFolder s({{L"folder\\", ""}, {L"gone\\a.txt", "alpha"}});
    const std::wstring archive = s.dir / L"gone\\a.7z";
    Run7z(L"a " + Quote(archive) + L" a.txt", s.dir / L"gone");
    EnterPath(*s.program, archive);
    ASSERT_TRUE(WaitUntil([&] { return ColumnCount(s.list) == 5 && RemoteListCount(s.list) == 2; }));
    const std::vector<std::wstring> cells = RowCells(s.list, 1);
    EnterPath(*s.program, s.dir / L"folder");  // the archive is closed, not left behind the folder
    ASSERT_TRUE(WaitForPath(*s.program, s.dir / L"folder\\"));
    EXPECT_EQ(ColumnCount(s.list), 4);
    EXPECT_EQ(AnswerMessage(*s.program, [&] { RemoteDropFiles(s.program->view(), {s.dir / L"gone\\a.txt"}); }),
              L"Please open an archive file first.");
    EXPECT_EQ(ArchiveEntries(archive), std::vector<std::wstring>{L"a.txt"});
    EnterPath(*s.program, archive);
    ASSERT_TRUE(WaitUntil([&] { return ColumnCount(s.list) == 5; }));
    RemoveTree(s.dir / L"gone");  // its entry stays in the location box
    const int gone = static_cast<int>(std::count(archive.begin(), archive.end(), L'\\')) - 1;
    EXPECT_NE(AnswerMessage(*s.program, [&] { ChooseLocation(*s.program, gone); }).find(s.dir / L"gone"),
              std::wstring::npos);
    EXPECT_EQ(WindowText(s.program->pathField()), archive);
    EXPECT_EQ(RowCells(s.list, 1), cells);
}

TEST(Navigation, AnArchiveFolderNamedDotDotIsAFolderOfItsOwn) {
    TempDir dir(L"dots");
    const std::wstring archive = dir / L"dots.zip";
    WriteFileBytes(archive, MakeZip({{"good.txt", "good"}, {"a/../b.txt", "b"}}));
    RunningProgram program(archive);
    ASSERT_NE(program.WaitForFrame(), nullptr);
    ASSERT_TRUE(WaitForRows(program.list(), 3));
    // Into "a", into its folder ".." (below the way up), then up twice.
    for (const auto& [row, path] : std::vector<std::pair<int, std::wstring>>{
             {1, L"\\a"}, {1, L"\\a\\.."}, {0, L"\\a"}, {0, L""}}) {
        RemoteListDoubleClick(program.list(), row);
        ASSERT_TRUE(WaitForPath(program, archive + path));
    }
    EXPECT_EQ(RemoteListItemText(program.list(), 2, 0), L"good.txt");
}

TEST(Navigation, TheKeyboardReachesEverythingAndTheSelectionFollowsTheItems) {
    ProgramInFolder s({{L"sub\\", ""}, {L"a.txt", "1"}, {L"b.txt", std::string(300, 'b')}, {L"c.txt", "cc"}});
    RECT client{};
    GetClientRect(s.list, &client);
    ASSERT_TRUE(ClickToFocus(s.list, {client.right / 2, client.bottom - 4}));
    RemoteListSelect(s.list, {1});
    PressKeys({VK_RETURN}, {VK_RETURN});  // opens the focused row
    ASSERT_TRUE(WaitForPath(*s.program, s.dir / L"sub\\"));
    RemoteListDoubleClick(s.list, 0);  // up again: the folder just left is selected
    ASSERT_TRUE(WaitForPath(*s.program, s.dir.path() + L"\\"));
    EXPECT_EQ(RemoteListSelection(s.list), std::vector<int>{1});
    RemoteListSelect(s.list, {3});  // b.txt, sorted by size, stays selected where it goes
    HWND header = FindWindowExW(s.list, nullptr, L"SysHeader32", nullptr);
    PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(370, 5));  // "Size", after 350 pixels of "Name"
    PostMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(370, 5));
    ASSERT_TRUE(WaitUntil([&] { return RowOf(s.list, L"b.txt") == 4; }));
    EXPECT_EQ(RemoteListSelection(s.list), std::vector<int>{4});
    for (HWND next : {s.program->pathField(), s.program->locationBox(), s.list, s.program->pathField()}) {
        PressKeys({VK_TAB}, {VK_TAB});
        EXPECT_TRUE(WaitUntil([&] { return FocusOfThread(s.list) == next; }));
    }
    // Del and Shift+Del in the path field edit its text, never the files selected.
    const std::wstring path = WindowText(s.program->pathField());
    SendMessageW(s.program->pathField(), EM_SETSEL, 0, 0);
    PressKeys({VK_DELETE}, {VK_DELETE});
    EXPECT_TRUE(WaitUntil([&] { return WindowText(s.program->pathField()) == path.substr(1); }));
    SendMessageW(s.program->pathField(), EM_SETSEL, 0, -1);
    PressKeys({VK_SHIFT, VK_DELETE}, {VK_DELETE, VK_SHIFT});
    EXPECT_TRUE(WaitUntil([&] { return WindowText(s.program->pathField()).empty(); }));
    EXPECT_TRUE(PathExists(s.dir / L"b.txt"));
    wchar_t first[MAX_PATH] = {};  // the location box's entries have text for screen readers
    SendMessageW(s.program->locationBox(), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_EQ(first, s.dir.path().substr(0, 2));
}
