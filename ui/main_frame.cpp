#include "ui/main_frame.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "ui/about_dialog.h"
#include "ui/accessible_names.h"
#include "ui/command_table.h"
#include "ui/app_globals.h"
#include "catalog/item_catalog.h"
#include "ui/dpi.h"
#include "ui/scheme_menus.h"
#include "ui/scheme_painting.h"
#include "ui/language_menu.h"
#include "ui/name_encoding_menu.h"
#include "ui/resource_module.h"
#include "ui/status_texts.h"
#include "ui/theme.h"
#include "ui/toolbar_images.h"
#include "ui/window_placement.h"

namespace {

constexpr DWORD kToolbarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CCS_NODIVIDER |
                                CCS_NORESIZE | CCS_NOPARENTALIGN | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT;
constexpr DWORD kReBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                              RBS_BANDBORDERS | RBS_AUTOSIZE | CCS_NODIVIDER;
constexpr DWORD kStatusBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | SBARS_SIZEGRIP;

// Sizes at 96 DPI.
constexpr int kToolbarImageSize = 32;
constexpr int kToolbarButtonSize = 56;
constexpr int kToolbarButtonCount = 3;
constexpr int kStatusPartPadding = 16;     // around a part's text, its borders included
constexpr int kStatusPartMinimum = 120;
constexpr int kStatusGripAllowance = 24;  // the size grip in the last part

int TextWidth(HWND window, const std::wstring& text) {
    HDC dc = GetDC(window);
    if (!dc) return 0;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

BOOL CALLBACK SchemeOtherWindow(HWND window, LPARAM frame) {
    if (window != reinterpret_cast<HWND>(frame) && IsWindowVisible(window)) ApplySchemeToWindow(window);
    return TRUE;
}

}  // namespace

CMainFrame::CMainFrame() {
    UIAddEntry(ID_VIEW_TOOLBAR);
    UIAddEntry(ID_VIEW_STATUS_BAR);
}

HWND CMainFrame::CreateEx() {
    // Made on the screen where its placement puts it, so that it knows that screen's DPI when
    // the placement is applied.
    RECT last{};
    return CreateFrame(L"TolvaneMainFrame", IDR_MAINFRAME, CreationRect(g_app.settings, last) ? &last : nullptr);
}

void CMainFrame::ShowMenuBarInLanguage() {
    HMENU old = GetMenu(m_hWnd);
    SetMenu(m_hWnd, LoadResourceMenu(IDR_MENU_BAR));
    if (old) DestroyMenu(old);
    SchemeMenuBar(m_hWnd);
    DrawMenuBar(m_hWnd);
    ShowViewState();  // the status bar's texts in the language too
}

LRESULT CMainFrame::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    // The frame's menu resource only names the commands; the menu bar shows every command.
    SetMenu(m_hWnd, LoadResourceMenu(IDR_MENU_BAR));
    if (m_hMenu) {
        DestroyMenu(m_hMenu);
        m_hMenu = nullptr;
    }
    // Placed before the bars and the view exist, so that the move lays nothing out. The
    // placement's rectangle is in work-area coordinates: only SetWindowPlacement reads it so.
    if (PlaceMainWindow(m_hWnd, g_app.settings) == SW_SHOWMAXIMIZED)
        PostMessageW(m_hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    dpi_ = WindowDpi(m_hWnd);

    toolbar_ = CreateSimpleToolBarCtrl(m_hWnd, IDR_MAINFRAME, kToolbarStyle, ID_VIEW_TOOLBAR);
    if (toolbar_) {
        AddToolbarButtonText(toolbar_, ID_ADD_FILES, ResourceString(IDS_TOOLBAR_ADD).c_str());
        AddToolbarButtonText(toolbar_, ID_EXTRACT_FILES, ResourceString(IDS_TOOLBAR_EXTRACT).c_str());
        AddToolbarButtonText(toolbar_, ID_DELETE_FILES, ResourceString(IDS_TOOLBAR_DELETE).c_str());
        SizeToolbar();
    }
    if (CreateSimpleReBar(kReBarStyle, ID_VIEW_TOOLBAR) && toolbar_) {
        SetParent(toolbar_, m_hWndToolBar);
        AddSimpleReBarBand(toolbar_);
    }
    if (CreateSimpleStatusBar(ATL_IDS_IDLEMESSAGE, kStatusBarStyle, ID_VIEW_STATUS_BAR))
        SetWindowTextW(m_hWndStatusBar, L"");
    NameBars();
    SendMessageW(m_hWnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);  // focus always shows

    m_hWndClient = view_.Create(m_hWnd);

    UISetCheck(ID_VIEW_TOOLBAR, true);
    UISetCheck(ID_VIEW_STATUS_BAR, true);

    if (ui::MessageLoop* loop = ui::g_module.GetMessageLoop()) loop->AddMessageFilter(this);

    ShowViewState();
    g_app.OwnerWindow = m_hWnd;
    ApplyScheme();
    UpdateLayout();
    return 0;
}

void CMainFrame::ApplyScheme() {
    SchemeMenuBar(m_hWnd);
    SchemeReBar(m_hWndToolBar);
    SchemeStatusBar(m_hWndStatusBar);
    if (view_.m_hWnd) view_.ApplyScheme();
    ApplySchemeToWindow(m_hWnd);  // the title bar; everything drawn again
    // The dialogs open on this thread follow too.
    EnumThreadWindows(GetCurrentThreadId(), SchemeOtherWindow, reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CMainFrame::OnSettingChange(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    handled = FALSE;
    if (IsSchemeSettingChange(wParam, lParam) && RefreshScheme()) ApplyScheme();
    return 0;
}

LRESULT CMainFrame::OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
    handled = MeasureSchemeMenuItem(m_hWnd, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    return handled;
}

LRESULT CMainFrame::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
    handled = DrawSchemeMenuItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    return handled;
}

LRESULT CMainFrame::OnMenuChar(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    // Only the owner-drawn items of the dark menus need the help.
    handled = DarkScheme() ? TRUE : FALSE;
    return handled ? SchemeMenuChar(reinterpret_cast<HMENU>(lParam), static_cast<wchar_t>(LOWORD(wParam))) : 0;
}

LRESULT CMainFrame::OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL&) {
    const LRESULT result = DefWindowProcW(m_hWnd, message, wParam, lParam);
    PaintMenuBarRest(m_hWnd);
    return result;
}

LRESULT CMainFrame::OnCustomDraw(int, LPNMHDR header, BOOL& handled) {
    // The toolbar's, passed on by the rebar that holds it.
    if (!toolbar_ || header->hwndFrom != toolbar_) {
        handled = FALSE;
        return CDRF_DODEFAULT;
    }
    return SchemeToolbarDraw(*reinterpret_cast<NMTBCUSTOMDRAW*>(header));
}

void CMainFrame::NameBars() {
    // What screen readers announce for the bars; the status bar's value is all it shows.
    ui::SetAccessibleName(m_hWndToolBar, L"Toolbar");
    ui::SetAccessibleName(toolbar_, L"Commands");
    ui::SetAccessibleName(m_hWndStatusBar, L"Status", [bar = m_hWndStatusBar] {
        std::wstring shown;
        const int parts = static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0));
        for (int i = 0; i < parts; ++i) {
            const int length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, i, 0));
            std::wstring text(static_cast<size_t>(length) + 1, L'\0');
            SendMessageW(bar, SB_GETTEXTW, i, reinterpret_cast<LPARAM>(text.data()));
            text.resize(static_cast<size_t>(length));
            if (text.empty()) continue;
            shown += (shown.empty() ? L"" : L", ") + text;
        }
        return shown;
    });
}

void CMainFrame::SizeToolbar() {
    if (!toolbar_) return;
    const int images = ScaleToDpi(kToolbarImageSize, dpi_);
    if (images != kToolbarImageSize) ReplaceToolbarImages(toolbar_, MakeToolbarImages(images, kToolbarButtonCount));
    SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELONG(images, images));
    const int button = ScaleToDpi(kToolbarButtonSize, dpi_);
    const int width = std::max(button, WidestToolbarLabel() + images / 2);
    SendMessageW(toolbar_, TB_SETBUTTONSIZE, 0, MAKELONG(width, button));
}

int CMainFrame::WidestToolbarLabel() const {
    // A translation's labels may be longer than the square button: the buttons widen to the longest.
    HDC dc = GetDC(toolbar_);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(toolbar_, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (UINT id : {IDS_TOOLBAR_ADD, IDS_TOOLBAR_EXTRACT, IDS_TOOLBAR_DELETE}) {
        const std::wstring label = ResourceString(id);
        SIZE size{};
        if (GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size))
            widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, old);
    ReleaseDC(toolbar_, dc);
    return widest;
}

void CMainFrame::ShowViewState() {
    // The title keeps its form and gains the archive and the folder shown inside it. What is
    // shown already is not set again (a re-sort changes neither): each setting of a title goes
    // out to the window manager, and each of the status bar's draws it again.
    const std::wstring title = FrameTitle(view_.m_hWnd ? TitlePlace(view_.model()) : std::wstring());
    if (title != shownTitle_) {
        SetWindowTextW(m_hWnd, title.c_str());
        shownTitle_ = title;
    }
    if (!m_hWndStatusBar || !view_.m_hWnd) return;
    const std::vector<std::wstring> parts = view_.StatusParts();
    if (parts == shownStatus_ && dpi_ == shownStatusDpi_) return;
    shownStatus_ = parts;
    shownStatusDpi_ = dpi_;
    std::vector<int> edges;
    int right = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        int width = TextWidth(m_hWndStatusBar, parts[i]) + ScaleToDpi(kStatusPartPadding, dpi_);
        if (last) width += ScaleToDpi(kStatusGripAllowance, dpi_);
        width = std::max(width, ScaleToDpi(kStatusPartMinimum, dpi_));
        right += width;
        edges.push_back(last ? -1 : right);
    }
    SendMessageW(m_hWndStatusBar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < parts.size(); ++i)
        SendMessageW(m_hWndStatusBar, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(parts[i].c_str()));
}

LRESULT CMainFrame::OnViewChanged(UINT, WPARAM, LPARAM, BOOL&) {
    ShowViewState();
    return 0;
}

LRESULT CMainFrame::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    handled = view_.m_hWnd && RunCommand(*this, LOWORD(wParam)) ? TRUE : FALSE;
    return 0;
}

LRESULT CMainFrame::OnAppCommand(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
    // The mouse's and the keyboard's own Back, Forward and Refresh buttons.
    UINT id = 0;
    switch (GET_APPCOMMAND_LPARAM(lParam)) {
    case APPCOMMAND_BROWSER_BACKWARD: id = ID_GO_BACK; break;
    case APPCOMMAND_BROWSER_FORWARD: id = ID_GO_FORWARD; break;
    case APPCOMMAND_BROWSER_REFRESH: id = ID_VIEW_REFRESH; break;
    default: break;
    }
    handled = id != 0 && view_.m_hWnd && RunCommand(*this, id) ? TRUE : FALSE;
    return handled;
}

LRESULT CMainFrame::OnInitMenuPopup(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    handled = FALSE;  // the check marks follow
    if (HIWORD(lParam) || !view_.m_hWnd) return 0;  // the system menu
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    const SelectionFacts facts = view_.Facts();
    if (IsLanguageCommand(GetMenuItemID(menu, 0))) FillLanguageMenu(menu);
    if (IsNameEncodingCommand(GetMenuItemID(menu, 0))) {
        const ItemCatalog* catalog = view_.model().catalog();
        FillNameEncodingMenu(menu, catalog ? &catalog->format.names : nullptr);
    }
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT id = GetMenuItemID(menu, i);
        if (id == 0 || id == static_cast<UINT>(-1)) continue;  // separators and submenus
        EnableMenuItem(menu, i, MF_BYPOSITION | (CommandEnabled(id, facts) ? MF_ENABLED : MF_GRAYED));
        if (id == ID_EXTRACT_TO_FOLDER) {
            const std::wstring text = ExtractToFolderText(facts.archiveName, facts.archiveFiles);
            MENUITEMINFOW item{};
            item.cbSize = sizeof(item);
            item.fMask = MIIM_STRING;
            item.dwTypeData = const_cast<wchar_t*>(text.c_str());
            SetMenuItemInfoW(menu, i, TRUE, &item);
        }
    }
    return 0;
}

LRESULT CMainFrame::OnDpiChanged(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    // The window moved to a screen of another DPI: the system proposes its new rectangle.
    dpi_ = HIWORD(wParam);
    if (const auto* suggested = reinterpret_cast<const RECT*>(lParam))
        SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The bars' font, made for this DPI.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        metrics.lfStatusFont.lfHeight = MulDiv(metrics.lfStatusFont.lfHeight, dpi_, SystemDpi());
        UniqueGdiObject font(CreateFontIndirectW(&metrics.lfStatusFont));
        if (font) {
            for (HWND bar : {m_hWndStatusBar, toolbar_})
                if (bar) SendMessageW(bar, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
            barFont_ = std::move(font);
        }
    }
    SizeToolbar();
    FitReBarBand(toolbar_);
    view_.ApplyDpi(dpi_);
    ShowViewState();
    UpdateLayout();
    return 0;
}

LRESULT CMainFrame::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
    RememberPlacement(m_hWnd, g_app.settings);
    if (ui::MessageLoop* loop = ui::g_module.GetMessageLoop()) loop->RemoveMessageFilter(this);
    if (g_app.OwnerWindow.load() == m_hWnd) g_app.OwnerWindow = nullptr;
    handled = FALSE;  // the frame goes on and ends the message loop
    return 1;
}

BOOL CMainFrame::PreTranslateMessage(MSG* message) {
    // Alt released after an Alt shortcut (Alt+Left, say) would otherwise open the menu bar, as
    // Alt pressed and released alone does.
    if (message->message == WM_SYSKEYDOWN && message->wParam == VK_MENU && !(message->lParam & (1 << 30)))
        altShortcutTaken_ = false;
    if ((message->message == WM_SYSKEYUP || message->message == WM_KEYUP) && message->wParam == VK_MENU &&
        std::exchange(altShortcutTaken_, false))
        return TRUE;
    // Keys typed into the path field edit its text: Del there deletes a character, not files.
    if (!view_.OwnsKey(*message) && TranslateFrameAccelerator(message)) {
        if (message->message == WM_SYSKEYDOWN) altShortcutTaken_ = true;
        return TRUE;
    }
    return view_.PreTranslateMessage(message);
}

LRESULT CMainFrame::OnActivate(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    // Back from the program that edits an entry: it may have saved it.
    if (LOWORD(wParam) != WA_INACTIVE && view_.m_hWnd) view_.openedFiles().OfferChangedSoon();
    handled = FALSE;
    return 0;
}

LRESULT CMainFrame::OnClose(UINT, WPARAM, LPARAM, BOOL& handled) {
    if (view_.m_hWnd) view_.openedFiles().OfferChanged(true);
    handled = FALSE;  // the frame closes
    return 0;
}

void CMainFrame::ShowAbout() {
    CAboutDlg about;
    about.DoModal(GetActiveWindow());
}

void CMainFrame::Close() { PostMessageW(m_hWnd, WM_CLOSE, 0, 0); }

void CMainFrame::ToggleToolBar() {
    toolbarVisible_ = !toolbarVisible_;
    if (m_hWndToolBar) {
        const int band = static_cast<int>(SendMessageW(m_hWndToolBar, RB_IDTOINDEX, 0xEB00, 0));
        SendMessageW(m_hWndToolBar, RB_SHOWBAND, band, toolbarVisible_);
    }
    UISetCheck(ID_VIEW_TOOLBAR, toolbarVisible_);
    UpdateLayout();
}

void CMainFrame::ToggleStatusBar() {
    if (!m_hWndStatusBar) return;
    const bool visible = IsWindowVisible(m_hWndStatusBar) != 0;
    ShowWindow(m_hWndStatusBar, visible ? SW_HIDE : SW_SHOWNOACTIVATE);
    UISetCheck(ID_VIEW_STATUS_BAR, !visible);
    UpdateLayout();
}
