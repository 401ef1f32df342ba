// Finding entries of a large archive by name in the real program, going to one, and selecting
// rows by pattern: the rows read back from the program's lists.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>

#include "support/program_window.h"
#include "support/remote_list.h"
#include "support/test_support.h"
#include "support/window_probe.h"

using namespace testsupport;

namespace {

constexpr int kFind = 33150, kSelectByPattern = 33151, kDeselectByPattern = 33152, kInvert = 33153;
constexpr int kFindPattern = 1450, kFindResults = 1451;

std::set<std::wstring> SelectedNames(HWND list) {
    std::set<std::wstring> names;
    for (int row : RemoteListSelection(list)) names.insert(RemoteListItemText(list, row, 0));
    return names;
}

}  // namespace

TEST(FindAndSelect, FindsThreeEntriesDeepGoesToOneAndSelectsByPattern) {
    // 99,998 entries, three of which (made by the fixture script) carry "needle-é" in any case.
    TempDir dir(L"find");
    const std::wstring archive = dir / L"many.zip";
    ASSERT_TRUE(CopyFileW((BinDir() + L"\\..\\linux-archives\\many.zip").c_str(), archive.c_str(), FALSE));
    RunningProgram program(Quote(archive));
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND list = program.list();
    ASSERT_TRUE(WaitForRows(list, 101, 60000));  // .. and d000 to d099

    Command(program, kFind);
    HWND find = WaitForTopWindow(L"Find in archive", program.pid());
    ASSERT_NE(find, nullptr);
    SetControlText(find, kFindPattern, L"NEEDLE-\u00c9");
    PressButton(find, IDOK);
    HWND results = GetDlgItem(find, kFindResults);
    ASSERT_TRUE(WaitUntil([&] { return RemoteListCount(results) == 3; }));
    std::set<std::pair<std::wstring, std::wstring>> found;
    for (int i = 0; i < 3; ++i) found.insert({RemoteListItemText(results, i, 0), RemoteListItemText(results, i, 1)});
    EXPECT_EQ(found, (std::set<std::pair<std::wstring, std::wstring>>{{L"Needle-\u00e9.txt", L"d017\\s3"},
                                                                       {L"old NEEDLE-\u00c9 (2).log", L"d042\\s9"},
                                                                       {L"needle-\u00e9", L"d099\\s0"}}));
    int deep = -1;
    for (int i = 0; i < 3; ++i)
        if (RemoteListItemText(results, i, 1) == L"d042\\s9") deep = i;
    RemoteListDoubleClick(results, deep);
    ASSERT_TRUE(WaitForNoTopWindow(L"Find in archive", program.pid()));
    ASSERT_TRUE(WaitForPath(program, archive + L"\\d042\\s9"));
    ASSERT_TRUE(WaitForRows(list, 100));  // .., 98 files and the needle
    EXPECT_EQ(SelectedNames(list), (std::set<std::wstring>{L"old NEEDLE-\u00c9 (2).log"}));

    // Select by pattern adds to the selection, deselect takes away, invert turns it over.
    Command(program, kSelectByPattern);
    ASSERT_TRUE(AnswerNamePrompt(program, L"Select by pattern", L"F00?.TXT"));
    std::set<std::wstring> expected{L"old NEEDLE-\u00c9 (2).log"};
    for (int f = 0; f < 10; ++f) expected.insert(L"f00" + std::to_wstring(f) + L".txt");
    EXPECT_TRUE(WaitUntil([&] { return SelectedNames(list) == expected; }));
    Command(program, kDeselectByPattern);
    ASSERT_TRUE(AnswerNamePrompt(program, L"Deselect by pattern", L"needle"));
    expected.erase(L"old NEEDLE-\u00c9 (2).log");
    EXPECT_TRUE(WaitUntil([&] { return SelectedNames(list) == expected; }));
    Command(program, kInvert);
    ASSERT_TRUE(WaitUntil([&] { return RemoteListSelection(list).size() == 89u; }));
    const std::set<std::wstring> inverted = SelectedNames(list);
    EXPECT_EQ(inverted.count(L".."), 0u);
    EXPECT_EQ(inverted.count(L"f000.txt"), 0u);
    EXPECT_EQ(inverted.count(L"f010.txt"), 1u);
    EXPECT_EQ(inverted.count(L"old NEEDLE-\u00c9 (2).log"), 1u);
    program.Close();
}
