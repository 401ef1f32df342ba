// The main frame built in this process: its bars, buttons, title and command routing.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <functional>
#include <map>
#include <vector>

#include "support/test_support.h"
#include "support/window_probe.h"
#include "ui/app_globals.h"
#include "ui/command_table.h"
#include "ui/framework/message_loop.h"
#include "ui/main_frame.h"

namespace {

class MainFrameTest : public testing::Test {
protected:
    void SetUp() override {
        std::memset(&g_app.settings, 0, sizeof(g_app.settings));
        testsupport::WriteFileBytes(folder_ / L"one.txt", "1");
        wcscpy(g_app.settings.lastPath, folder_.path().c_str());
        ui::g_module.AddMessageLoop(&loop_);
        ASSERT_NE(frame_.CreateEx(), nullptr);
        ShowWindow(frame_.m_hWnd, SW_SHOW);
        Pump();
    }
    void TearDown() override {
        if (frame_.m_hWnd) DestroyWindow(frame_.m_hWnd);
        Pump();
        ui::g_module.RemoveMessageLoop();
        g_app.OwnerWindow = nullptr;
    }
    static void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    HWND Toolbar() const {
        REBARBANDINFOW band{};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_CHILD;
        SendMessageW(frame_.m_hWndToolBar, RB_GETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band));
        return band.hwndChild;
    }

    testsupport::TempDir folder_{L"frame"};
    ui::MessageLoop loop_;
    CMainFrame frame_;
};

std::wstring Text(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return buffer;
}

}  // namespace

TEST_F(MainFrameTest, HasTitleBarsAndThreeLabelledButtons) {
    EXPECT_EQ(Text(frame_.m_hWnd), L"Tolvane Extractor - Ver 1.0");
    EXPECT_EQ(g_app.OwnerWindow.load(), frame_.m_hWnd);
    ASSERT_NE(frame_.m_hWndToolBar, nullptr);
    EXPECT_EQ(SendMessageW(frame_.m_hWndToolBar, RB_GETBANDCOUNT, 0, 0), 1);
    HWND toolbar = Toolbar();
    ASSERT_NE(toolbar, nullptr);
    ASSERT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 3);
    const int commands[] = {32775, 32776, 32777};
    const wchar_t* labels[] = {L"Add", L"Extract", L"Delete"};
    for (int i = 0; i < 3; ++i) {
        TBBUTTON button{};
        SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(button.idCommand, commands[i]);
        wchar_t text[64] = {};
        SendMessageW(toolbar, TB_GETBUTTONTEXTW, commands[i], reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, labels[i]);
    }
    const DWORD size = static_cast<DWORD>(SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0));
    EXPECT_EQ(LOWORD(size), 56);
    EXPECT_EQ(HIWORD(size), 56);
    ASSERT_NE(frame_.m_hWndStatusBar, nullptr);
    EXPECT_EQ(Text(frame_.m_hWndStatusBar), L"1 item, 1 byte");  // the folder holds one.txt
    // The view fills what the bars leave.
    RECT client{}, view{}, rebar{}, status{};
    GetClientRect(frame_.m_hWnd, &client);
    GetWindowRect(frame_.m_hWndClient, &view);
    GetWindowRect(frame_.m_hWndToolBar, &rebar);
    GetWindowRect(frame_.m_hWndStatusBar, &status);
    EXPECT_EQ(view.top, rebar.bottom);
    EXPECT_EQ(view.bottom, status.top);
}

TEST_F(MainFrameTest, StatusBarAndToolbarToggleAndGiveTheirRoomToTheView) {
    RECT before{}, after{};
    GetWindowRect(frame_.m_hWndClient, &before);
    SendMessageW(frame_.m_hWnd, WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
    EXPECT_FALSE(IsWindowVisible(frame_.m_hWndStatusBar));
    EXPECT_FALSE(frame_.UIGetCheck(ID_VIEW_STATUS_BAR));
    GetWindowRect(frame_.m_hWndClient, &after);
    EXPECT_GT(after.bottom, before.bottom);
    SendMessageW(frame_.m_hWnd, WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
    EXPECT_TRUE(IsWindowVisible(frame_.m_hWndStatusBar));
    EXPECT_TRUE(frame_.UIGetCheck(ID_VIEW_STATUS_BAR));

    SendMessageW(frame_.m_hWnd, WM_COMMAND, ID_VIEW_TOOLBAR, 0);
    EXPECT_FALSE(frame_.UIGetCheck(ID_VIEW_TOOLBAR));
    RECT hidden{};
    GetWindowRect(frame_.m_hWndClient, &hidden);
    EXPECT_LT(hidden.top, before.top);
    SendMessageW(frame_.m_hWnd, WM_COMMAND, ID_VIEW_TOOLBAR, 0);
    EXPECT_TRUE(frame_.UIGetCheck(ID_VIEW_TOOLBAR));
}

TEST_F(MainFrameTest, WindowsHearTheirFirstMessagesAndTheSystemMenuHasHelpTexts) {
    // The location box measured its items while the view was being made, before WM_INITDIALOG:
    // they have the height of the view's rule, the text's height + 2 and at least 18 pixels.
    HWND view = frame_.m_hWndClient;
    HDC dc = GetDC(view);
    SIZE text{};
    GetTextExtentPoint32W(dc, L"Wy", 2, &text);
    ReleaseDC(view, dc);
    const LRESULT rule = text.cy >= 16 ? text.cy + 2 : 18;
    HWND box = GetDlgItem(view, IDC_LOCATION_BOX);
    EXPECT_EQ(SendMessageW(box, CB_GETITEMHEIGHT, 0, 0), rule);

    const std::pair<UINT, std::wstring> commands[] = {
        {SC_SIZE, L"Change the window size"},         {SC_MOVE, L"Change the window position"},
        {SC_MINIMIZE, L"Reduce the window to an icon"}, {SC_MAXIMIZE, L"Enlarge the window to full size"},
        {SC_CLOSE, L"Close the active window"},       {SC_RESTORE, L"Restore the window to normal size"}};
    HMENU systemMenu = GetSystemMenu(frame_.m_hWnd, FALSE);
    for (const auto& [command, help] : commands) {
        SendMessageW(frame_.m_hWnd, WM_MENUSELECT, MAKEWPARAM(command, MF_SYSMENU | MF_HILITE),
                     reinterpret_cast<LPARAM>(systemMenu));
        // While a menu is browsed the bar shows one simple part.
        wchar_t shown[256] = {};
        SendMessageW(frame_.m_hWndStatusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(shown));
        EXPECT_EQ(shown, help) << command;
    }
}

TEST_F(MainFrameTest, TheMenuBarCarriesEveryCommandWithItsShortcutAndGraysWhatCannotRun) {
    HMENU bar = GetMenu(frame_.m_hWnd);
    ASSERT_NE(bar, nullptr);
    std::vector<std::wstring> titles;
    std::map<UINT, std::wstring> items;  // every command of the bar, submenus included
    std::function<void(HMENU)> collect = [&](HMENU menu) {
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[128] = {};
            GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
            if (HMENU sub = GetSubMenu(menu, i)) {
                if (menu == bar) titles.push_back(text);
                collect(sub);
            } else if (UINT id = GetMenuItemID(menu, i); id != 0) {
                items[id] = text;
            }
        }
    };
    collect(bar);
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"&File", L"Ed&it", L"&View", L"&Tools", L"&Help"}));
    const std::pair<UINT, const wchar_t*> shortcuts[] = {
        {ID_OPEN_ITEM, L"\tEnter"},       {ID_ADD_FILES, L"\tAlt+A"},    {ID_EXTRACT_FILES, L"\tAlt+E"},
        {ID_DELETE_FILES, L"\tDel"},      {ID_RENAME_ITEM, L"\tF2"},     {ID_PROPERTIES, L"\tAlt+Enter"},
        {ID_SELECT_ALL, L"\tCtrl+A"},     {ID_GO_BACK, L"\tAlt+Left"},   {ID_GO_FORWARD, L"\tAlt+Right"},
        {ID_GO_UP, L"\tBackspace"},       {ID_FOCUS_PATH, L"\tAlt+D"},   {ID_VIEW_REFRESH, L"\tF5"}};
    for (const auto& [id, shortcut] : shortcuts)
        EXPECT_NE(items[id].find(shortcut), std::wstring::npos) << id << L" " << items[id];
    for (UINT id : {ID_EXTRACT_HERE, ID_EXTRACT_TO_FOLDER, ID_TEST_ARCHIVE, ID_NEW_FOLDER, ID_COPY_PATH,
                    ID_CHECKSUM_CRC32, ID_CHECKSUM_ALL, ID_OPEN_AS_ARCHIVE, ID_OPEN_ARCHIVE_FILE, ID_APP_ABOUT, ID_APP_EXIT,
                    ID_ADD_FOLDER_INTO, ID_EXTRACT_OPTIONS})
        EXPECT_EQ(items.count(id), 1u) << id;
    // Every command of the bar and of the keys reaches its own handler through the frame's dispatch.
    std::vector<UINT> ids;
    for (const auto& item : items) ids.push_back(item.first);
    ACCEL keys[64];
    const int keyCount =
        CopyAcceleratorTableW(LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME)), keys, 64);
    ASSERT_GT(keyCount, 10);
    for (int i = 0; i < keyCount; ++i) ids.push_back(keys[i].cmd);
    static std::vector<std::pair<UINT, const Command*>> reached;
    reached.clear();
    SetCommandObserverForTesting([](const Command& command, UINT id) { reached.emplace_back(id, &command); });
    for (UINT id : ids) SendMessageW(frame_.m_hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    SetCommandObserverForTesting(nullptr);
    ASSERT_EQ(reached.size(), ids.size());
    for (size_t i = 0; i < ids.size(); ++i) {
        EXPECT_EQ(reached[i].first, ids[i]);
        EXPECT_EQ(reached[i].second->id, ids[i]);
        EXPECT_NE(reached[i].second->run, nullptr) << ids[i];
    }
    // Each entry of each menu is grayed by its own command's rule.
    const SelectionFacts facts = frame_.view().Facts();
    std::function<void(HMENU)> check = [&](HMENU menu) {
        SendMessageW(frame_.m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            if (HMENU sub = GetSubMenu(menu, i)) {
                check(sub);
            } else if (UINT id = GetMenuItemID(menu, i); id != 0) {
                const bool grayed = (GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED) != 0;
                EXPECT_EQ(grayed, !CommandEnabled(id, facts)) << id;
            }
        }
    };
    for (int i = 0; i < GetMenuItemCount(bar); ++i) check(GetSubMenu(bar, i));

    // Opened in the folder of one.txt, nothing selected: no way back, nothing to delete.
    HMENU view = GetSubMenu(bar, 2);
    SendMessageW(frame_.m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 2);
    EXPECT_TRUE(GetMenuState(view, ID_GO_BACK, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(view, ID_GO_UP, MF_BYCOMMAND) & MF_GRAYED);
    HMENU file = GetSubMenu(bar, 0);
    SendMessageW(frame_.m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_TRUE(GetMenuState(file, ID_DELETE_FILES, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(file, ID_OPEN_ARCHIVE_FILE, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(MainFrameTest, TooltipsComeFromTheStringTable) {
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = nullptr;
    info.hdr.idFrom = 32776;
    info.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(frame_.m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(info.lpszText, L"Extract to the specified folder");
}

TEST_F(MainFrameTest, ExitClosesTheFrameAndStoresItsPlacement) {
    SendMessageW(frame_.m_hWnd, WM_COMMAND, ID_APP_EXIT, 0);
    Pump();
    EXPECT_FALSE(IsWindow(frame_.m_hWnd));
    EXPECT_EQ(g_app.settings.placementValid, 1);
    EXPECT_EQ(g_app.settings.placement.length, sizeof(WINDOWPLACEMENT));
}

TEST_F(MainFrameTest, EnterInThePathFieldListsATypedFolderAndRefusesAnythingElse) {
    testsupport::WriteFileBytes(folder_ / L"two\\b.txt", "b");
    testsupport::WriteFileBytes(folder_ / L"two\\c.txt", "c");
    HWND box = GetDlgItem(frame_.m_hWndClient, IDC_LOCATION_BOX);
    HWND field = GetDlgItem(box, IDC_PATH_FIELD);
    HWND list = GetDlgItem(frame_.m_hWndClient, IDC_CONTENT_LIST);
    ASSERT_NE(field, nullptr);
    SetFocus(field);
    auto enter = [&](const std::wstring& text) {
        SetWindowTextW(field, text.c_str());
        MSG key{field, WM_KEYDOWN, VK_RETURN, 1};
        return frame_.PreTranslateMessage(&key);
    };
    EXPECT_TRUE(enter(folder_ / L"two"));
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);  // "..", b.txt, c.txt
    EXPECT_EQ(Text(field), folder_ / L"two\\");
    // A path that names no folder is told about; one too long or none at all changes nothing.
    testsupport::DialogResponder told(L"Tolvane Extractor", [](HWND box) { testsupport::PressButton(box, IDOK); });
    for (const std::wstring& other :
         {folder_ / L"missing", folder_ / L"two\\b.txt", L"C:\\" + std::wstring(300, L'x'), std::wstring()}) {
        enter(other);
        EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3) << other;
        EXPECT_EQ(frame_.view().model().CurrentLocationPath(), folder_ / L"two\\");
    }
    told.stop();
    EXPECT_EQ(told.count(), 2);
}
