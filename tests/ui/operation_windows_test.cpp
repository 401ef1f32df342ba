// The windows around the work: prompts, the progress window, dialogs opened from dialogs, and
// second windows on archives inside archives. The real program, driven as a user drives it.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/program_window.h"
#include "support/remote_list.h"
#include "support/window_probe.h"
#include "support/zip_writer.h"

using namespace testsupport;

TEST(OperationWindows, WhileAnArchiveOpensItsPasswordPromptKeepsTheFocusAndTheFolderItsColumns) {
    ProgramInFolder s({{L"a.txt", "alpha"}}, [](const TempDir& dir) {
        Run7z(L"a -mhe=on -psecret locked.7z a.txt", dir.path());
    });
    const std::vector<std::wstring> cells = RowCells(s.list, 2);
    SetForegroundWindow(s.program->frame());
    RemoteListDoubleClick(s.list, 2);
    HWND prompt = WaitForTopWindow(L"Tolvane Extractor", s.program->pid());
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(RowCells(s.list, 2), cells);
    ASSERT_NE(WaitForTopWindow(L"Open File", s.program->pid()), nullptr);
    EXPECT_EQ(GetWindowThreadProcessId(prompt, nullptr), GetWindowThreadProcessId(s.program->frame(), nullptr));
    EXPECT_EQ(GetForegroundWindow(), prompt);
    for (WORD key : {WORD('S'), WORD('E'), WORD('C'), WORD('R'), WORD('E'), WORD('T'), WORD(VK_RETURN)})
        PressKeys({key}, {key});
    EXPECT_TRUE(WaitForPath(*s.program, s.dir / L"locked.7z"));
}

TEST(OperationWindows, ThePasswordPromptNamesTheArchiveShowsWhatIsTypedAsksAgainWhenWrongAndACancelLeavesNothing) {
    ProgramInFolder s({{L"a.txt", "alpha"}}, [](const TempDir& dir) {
        Run7z(L"a -mhe=on -pSECRET locked.7z a.txt", dir.path());
    });
    const auto prompt = [&](const std::wstring& asking) {
        HWND window = WaitForTopWindow(L"Tolvane Extractor", s.program->pid());
        EXPECT_EQ(window ? ControlText(window, 1213) : L"", asking);
        return window;
    };
    // Extract to "locked": a Cancel at the prompt leaves no folder behind.
    RemoteListSelect(s.list, {RowOf(s.list, L"locked.7z")});
    Command(*s.program, 32782);
    HWND window = prompt(L"Enter password for locked.7z:");
    ASSERT_NE(window, nullptr);
    PressButton(window, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(window); }));
    ASSERT_TRUE(WaitForNoTopWindow(L"Extract Files", s.program->pid()));
    EXPECT_TRUE(WaitUntil([&] { return !PathExists(s.dir / L"locked"); }));
    // Opening it: what is typed shows on request, and a wrong password is asked for again.
    RemoteListDoubleClick(s.list, RowOf(s.list, L"locked.7z"));
    window = prompt(L"Enter password for locked.7z:");
    ASSERT_NE(window, nullptr);
    HWND edit = GetDlgItem(window, 1004);
    EXPECT_NE(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), 0) << "hidden at first";
    SendDlgItemMessageW(window, 1214, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), 0) << "shown while checked";
    SetControlText(window, 1004, L"wrong");
    PressButton(window, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(window); }));
    window = prompt(L"Wrong password. Enter password for locked.7z:");
    ASSERT_NE(window, nullptr);
    SetControlText(window, 1004, L"SECRET");
    PressButton(window, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return RowOf(s.list, L"a.txt") == 1; }));
}

TEST(OperationWindows, AnArchiveToStartOnOpensOverTheShownWindowAndCancelLeavesItsFolder) {
    // Long enough to read that its progress window shows.
    std::vector<ZipEntry> entries(200000);
    for (size_t i = 0; i < entries.size(); ++i) entries[i] = {"d" + std::to_string(i % 100) + "/f" + std::to_string(i), ""};
    TempDir dir(L"huge");
    WriteFileBytes(dir / L"huge.zip", MakeZip(entries));
    RunningProgram program(Quote(dir / L"huge.zip"));
    HWND progress = WaitForTopWindow(L"Open File", program.pid());
    ASSERT_NE(progress, nullptr);
    HWND frame = program.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(IsWindowVisible(frame)) << "the window is up before the archive has been read";
    EXPECT_EQ(GetWindow(progress, GW_OWNER), frame);
    EXPECT_FALSE(IsWindowEnabled(frame));
    PressButton(progress, IDCANCEL);
    EXPECT_TRUE(WaitForPath(program, dir.path() + L"\\"));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(frame) && RowOf(program.list(), L"huge.zip") >= 1; }));
}

TEST(OperationWindows, BrowseInAddToArchiveDisablesThatDialog) {
    ProgramInFolder s({{L"one.txt", "1"}});
    RemoteListSelect(s.list, {1});
    Command(*s.program, 32775);
    HWND dialog = WaitForTopWindow(L"Tolvane Extractor - Add", s.program->pid());
    ASSERT_NE(dialog, nullptr);
    PressButton(dialog, 1008);
    HWND browse = WaitForTopWindow(L"Browse", s.program->pid());
    ASSERT_NE(browse, nullptr);
    EXPECT_FALSE(IsWindowEnabled(dialog));
    PressButton(browse, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog); }));
}

TEST(OperationWindows, EachWindowKeepsItsCopyOfANestedArchiveUntilItCloses) {
    ProgramInFolder s({{L"a.txt", "alpha"}}, [](const TempDir& dir) {
        Run7z(L"a tree.zip a.txt", dir.path());
        Run7z(L"a nested.7z tree.zip", dir.path());
    });
    RemoteListDoubleClick(s.list, RowOf(s.list, L"nested.7z"));
    ASSERT_TRUE(WaitUntil([&] { return RowOf(s.list, L"tree.zip") == 1 && ColumnCount(s.list) == 5; }));
    std::vector<HWND> frames{s.program->frame()};
    std::vector<std::wstring> copies;
    for (int i = 0; i < 2; ++i) {
        RemoteListDoubleClick(s.list, 1);
        ASSERT_TRUE(WaitUntil([&] {
            for (HWND frame : MainFrames())
                if (std::find(frames.begin(), frames.end(), frame) == frames.end() &&
                    !WindowText(PathFieldOf(frame)).empty()) {
                    frames.push_back(frame);
                    copies.push_back(WindowText(PathFieldOf(frame)));
                }
            return frames.size() == static_cast<size_t>(i) + 2;
        }));
    }
    EXPECT_TRUE(PathExists(copies[0])) << "the second window's copy is another";
    for (size_t i = 0; i < 2; ++i) {
        PostMessageW(frames[i + 1], WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !PathExists(copies[i]); }));
    }
}

TEST(OperationWindows, WholeArchiveExtractionShowsTheProgressWindowAndCancelStopsIt) {
    std::vector<ZipEntry> entries(20000);
    for (size_t i = 0; i < entries.size(); ++i) entries[i] = {"big/f" + std::to_string(i) + ".txt", "x"};
    ProgramInFolder s({{L"big.zip", MakeZip(entries)}});
    auto cancelProgress = [](DWORD pid) {
        HWND progress = WaitForTopWindow(L"Extract Files", pid);
        if (progress) PressButton(progress, IDCANCEL);
        return progress && WaitForNoTopWindow(L"Extract Files", pid);
    };
    // From the folder view into the folder shown, which then lists what was written.
    RemoteListSelect(s.list, {1});
    Command(*s.program, 32776);
    HWND dialog = nullptr;
    HWND browser = BrowseFromExtractDialog(s.program->pid(), dialog);
    ASSERT_NE(browser, nullptr);
    RemoteBrowserSelect(browser, s.dir.path());
    PressButton(browser, IDOK);
    ConfirmExtractDialog(dialog, browser, s.program->pid());
    EXPECT_TRUE(cancelProgress(s.program->pid()));
    EXPECT_TRUE(WaitUntil([&] { return RowOf(s.list, L"big") >= 0; }));
    EXPECT_LT(ListFilesRecursive(s.dir / L"big").size(), entries.size());
    // "/e", as the shell's "Extract Here" starts it.
    RemoveTree(s.dir / L"big");
    DWORD pid = 0;
    HANDLE run = StartProcess(Quote(ProgramExe()) + L" /e \"" + (s.dir / L"big.zip") + L"\"", &pid);
    EXPECT_TRUE(cancelProgress(pid));
    WaitForSingleObject(run, 30000);
    CloseHandle(run);
    EXPECT_LT(ListFilesRecursive(s.dir / L"big").size(), entries.size());
}
