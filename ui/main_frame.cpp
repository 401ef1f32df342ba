#include "ui/main_frame.h"

#include <cwchar>

#include "ui/about_dialog.h"
#include "ui/app_globals.h"

namespace {

constexpr DWORD kToolbarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CCS_NODIVIDER |
                                CCS_NORESIZE | CCS_NOPARENTALIGN | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT;
constexpr DWORD kReBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                              RBS_BANDBORDERS | RBS_AUTOSIZE | CCS_NODIVIDER;
constexpr DWORD kStatusBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | SBARS_SIZEGRIP;

}  // namespace

CMainFrame::CMainFrame() {
    UIAddEntry(ID_VIEW_TOOLBAR);
    UIAddEntry(ID_VIEW_STATUS_BAR);
}

HWND CMainFrame::CreateEx() {
    // Made where it was last, so that its stored placement moves nothing: each move lays out
    // every bar and the view again.
    const RECT* last = g_app.settings.placementValid ? &g_app.settings.placement.rcNormalPosition : nullptr;
    return CreateFrame(L"TolvaneMainFrame", IDR_MAINFRAME, last);
}

LRESULT CMainFrame::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    // The frame shows no menu bar: the menu resource only names the commands.
    SetMenu(m_hWnd, nullptr);
    if (m_hMenu) {
        DestroyMenu(m_hMenu);
        m_hMenu = nullptr;
    }

    toolbar_ = CreateSimpleToolBarCtrl(m_hWnd, IDR_MAINFRAME, kToolbarStyle, ID_VIEW_TOOLBAR);
    if (toolbar_) {
        AddToolbarButtonText(toolbar_, ID_ADD_FILES, L"Add");
        AddToolbarButtonText(toolbar_, ID_EXTRACT_FILES, L"Extract");
        AddToolbarButtonText(toolbar_, ID_DELETE_FILES, L"Delete");
        SendMessageW(toolbar_, TB_SETBUTTONSIZE, 0, MAKELONG(56, 56));
    }
    if (CreateSimpleReBar(kReBarStyle, ID_VIEW_TOOLBAR) && toolbar_) {
        SetParent(toolbar_, m_hWndToolBar);
        AddSimpleReBarBand(toolbar_);
    }
    if (CreateSimpleStatusBar(ATL_IDS_IDLEMESSAGE, kStatusBarStyle, ID_VIEW_STATUS_BAR))
        SetWindowTextW(m_hWndStatusBar, L"");

    m_hWndClient = view_.Create(m_hWnd);

    // Until a menu bar carries them, the extraction options are in the window's system menu.
    if (HMENU system = GetSystemMenu(m_hWnd, FALSE)) {
        AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(system, MF_STRING, ID_SYS_EXTRACT_OPTIONS, L"Extraction &Options...");
    }

    UISetCheck(ID_VIEW_TOOLBAR, true);
    UISetCheck(ID_VIEW_STATUS_BAR, true);

    if (ui::MessageLoop* loop = ui::g_module.GetMessageLoop()) loop->AddMessageFilter(this);

    if (g_app.settings.placementValid) {
        WINDOWPLACEMENT placement = g_app.settings.placement;
        placement.length = sizeof(placement);
        SetWindowPlacement(m_hWnd, &placement);
        if (placement.showCmd == SW_SHOWMAXIMIZED) PostMessageW(m_hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    }

    wchar_t title[256] = {};
    swprintf(title, 256, L"%ls - Ver %ls", kDisplayName, kVersionText);
    SetWindowTextW(m_hWnd, title);
    g_app.OwnerWindow = m_hWnd;
    UpdateLayout();
    return 0;
}

LRESULT CMainFrame::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    const BOOL read = GetWindowPlacement(m_hWnd, &placement);
    if (read) g_app.settings.placement = placement;
    g_app.settings.placementValid = read ? 1 : 0;
    if (ui::MessageLoop* loop = ui::g_module.GetMessageLoop()) loop->RemoveMessageFilter(this);
    if (g_app.OwnerWindow.load() == m_hWnd) g_app.OwnerWindow = nullptr;
    handled = FALSE;  // the frame goes on and ends the message loop
    return 1;
}

BOOL CMainFrame::PreTranslateMessage(MSG* message) {
    // Keys typed into the path field edit its text: Del there deletes a character, not files.
    if (!view_.OwnsKey(*message) && TranslateFrameAccelerator(message)) return TRUE;
    return view_.PreTranslateMessage(message);
}

LRESULT CMainFrame::OnAdd(WORD, WORD, HWND, BOOL&) {
    view_.AddSelection();
    return 0;
}

LRESULT CMainFrame::OnExtract(WORD, WORD, HWND, BOOL&) {
    view_.ExtractSelection();
    return 0;
}

LRESULT CMainFrame::OnDelete(WORD, WORD, HWND, BOOL&) {
    view_.DeleteSelection();
    return 0;
}

LRESULT CMainFrame::OnMoreCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    handled = view_.m_hWnd && view_.RunMoreCommand(LOWORD(wParam)) ? TRUE : FALSE;
    return 0;
}

LRESULT CMainFrame::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    handled = (wParam & 0xFFF0) == ID_SYS_EXTRACT_OPTIONS && view_.m_hWnd && view_.RunMoreCommand(ID_EXTRACT_OPTIONS);
    return 0;
}

LRESULT CMainFrame::OnActivate(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    // Back from the program that edits an entry: it may have saved it.
    if (LOWORD(wParam) != WA_INACTIVE && view_.m_hWnd) view_.OfferChangedFilesSoon();
    handled = FALSE;
    return 0;
}

LRESULT CMainFrame::OnClose(UINT, WPARAM, LPARAM, BOOL& handled) {
    if (view_.m_hWnd) view_.OfferChangedFiles();
    handled = FALSE;  // the frame closes
    return 0;
}

LRESULT CMainFrame::OnAppAbout(WORD, WORD, HWND, BOOL&) {
    CAboutDlg about;
    about.DoModal(GetActiveWindow());
    return 0;
}

LRESULT CMainFrame::OnFileExit(WORD, WORD, HWND, BOOL&) {
    PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT CMainFrame::OnViewToolBar(WORD, WORD, HWND, BOOL&) {
    toolbarVisible_ = !toolbarVisible_;
    if (m_hWndToolBar) {
        const int band = static_cast<int>(SendMessageW(m_hWndToolBar, RB_IDTOINDEX, 0xEB00, 0));
        SendMessageW(m_hWndToolBar, RB_SHOWBAND, band, toolbarVisible_);
    }
    UISetCheck(ID_VIEW_TOOLBAR, toolbarVisible_);
    UpdateLayout();
    return 0;
}

LRESULT CMainFrame::OnViewStatusBar(WORD, WORD, HWND, BOOL&) {
    if (!m_hWndStatusBar) return 0;
    const bool visible = IsWindowVisible(m_hWndStatusBar) != 0;
    ShowWindow(m_hWndStatusBar, visible ? SW_HIDE : SW_SHOWNOACTIVATE);
    UISetCheck(ID_VIEW_STATUS_BAR, !visible);
    UpdateLayout();
    return 0;
}
