#include "ui/framework/frame_window.h"

#include <string>
#include <vector>

#include "base/text.h"
#include "ui/app_globals.h"
#include "ui/resource_module.h"

namespace ui {

namespace {

constexpr WORD kToolbarResourceType = 241;  // RT_TOOLBAR

// A string resource, whole, in the language in use.
std::wstring LoadResourceString(UINT id) { return ResourceString(id); }

// The system menu's commands (SC_SIZE 0xF000 to SC_CONTEXTHELP 0xF180, sixteen apart) keep their
// help texts in the framework's standard string resources, numbered from 0xEF00 one apart.
constexpr UINT kFirstSystemCommand = 0xF000;
constexpr UINT kLastSystemCommand = 0xF1EF;
constexpr UINT kFirstSystemCommandText = 0xEF00;

UINT HelpTextIdOf(UINT command) {
    if (command < kFirstSystemCommand || command > kLastSystemCommand) return command;
    return kFirstSystemCommandText + ((command - kFirstSystemCommand) >> 4);
}

struct ToolbarResource {
    WORD version;
    WORD width;
    WORD height;
    WORD itemCount;
    // followed by itemCount command ids (0 = separator)
};

}  // namespace

void LoadToolTipText(UINT id, wchar_t* buffer, int capacity) {
    const std::wstring text = LoadResourceString(id);
    const size_t newline = text.find(L'\n');
    CopyToBuffer(buffer, static_cast<size_t>(capacity),
                 newline == std::wstring::npos ? std::wstring_view() : std::wstring_view(text).substr(newline + 1));
}

FrameWindow::~FrameWindow() {
    if (toolbarImages_) ImageList_Destroy(toolbarImages_);
}

HWND FrameWindow::CreateFrame(const wchar_t* className, UINT resourceId, const RECT* rect) {
    WindowClassInfo info{};
    info.name = className;
    info.style = CS_DBLCLKS;
    info.background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    info.icon = static_cast<HICON>(LoadImageW(g_app.instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, 0, 0,
                                              LR_DEFAULTSIZE | LR_SHARED));
    info.smallIcon = static_cast<HICON>(LoadImageW(g_app.instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                   LR_SHARED));
    const ATOM atom = RegisterWindowClassOnce(info, WindowProc);
    m_hMenu = LoadResourceMenu(resourceId);
    const std::wstring title = LoadResourceString(resourceId);
    HWND frame = CreateWithClass(atom, nullptr, rect, title.c_str(),
                                 WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                 WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, m_hMenu);
    if (!frame) {
        if (m_hMenu) DestroyMenu(m_hMenu);
        m_hMenu = nullptr;
        return nullptr;
    }
    m_hAccel = LoadAcceleratorsW(g_app.instance, MAKEINTRESOURCEW(resourceId));
    return frame;
}

HWND FrameWindow::CreateSimpleToolBarCtrl(HWND parent, UINT resourceId, DWORD style, UINT id) {
    HRSRC found = FindResourceW(g_app.instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(kToolbarResourceType));
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(g_app.instance, found);
    const DWORD size = SizeofResource(g_app.instance, found);
    const auto* data = static_cast<const ToolbarResource*>(LockResource(loaded));
    if (!data || size < sizeof(ToolbarResource) || data->version != 1 ||
        size < sizeof(ToolbarResource) + data->itemCount * sizeof(WORD))
        return nullptr;
    const WORD* items = reinterpret_cast<const WORD*>(data + 1);

    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 100, 100, parent,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), g_app.instance, nullptr);
    if (!toolbar) return nullptr;
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

    // The bitmap has more than 4 bits per pixel: its light grey background becomes the mask.
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(g_app.instance, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0,
                                                     LR_CREATEDIBSECTION));
    if (bitmap) {
        if (toolbarImages_) ImageList_Destroy(toolbarImages_);
        toolbarImages_ = ImageList_Create(data->width, data->height, ILC_COLOR24 | ILC_MASK, data->itemCount, 1);
        if (toolbarImages_) ImageList_AddMasked(toolbarImages_, bitmap, RGB(192, 192, 192));
        DeleteObject(bitmap);
        SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbarImages_));
    }

    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (WORD i = 0; i < data->itemCount; ++i) {
        TBBUTTON button{};
        if (items[i] == 0) {
            button.fsStyle = BTNS_SEP;
        } else {
            button.iBitmap = image++;
            button.idCommand = items[i];
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_BUTTON;
            button.iString = -1;
        }
        buttons.push_back(button);
    }
    if (!buttons.empty())
        SendMessageW(toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(data->width, data->height));
    return toolbar;
}

void FrameWindow::AddToolbarButtonText(HWND toolbar, UINT command, const wchar_t* text) {
    const DWORD extended = static_cast<DWORD>(SendMessageW(toolbar, TB_GETEXTENDEDSTYLE, 0, 0));
    if (!(extended & TBSTYLE_EX_MIXEDBUTTONS))
        SendMessageW(toolbar, TB_SETEXTENDEDSTYLE, 0, extended | TBSTYLE_EX_MIXEDBUTTONS);
    const int index = static_cast<int>(SendMessageW(toolbar, TB_COMMANDTOINDEX, command, 0));
    if (index < 0) return;
    TBBUTTON button{};
    if (!SendMessageW(toolbar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button))) return;
    // The string list takes a double-terminated list.
    std::wstring list = text;
    list.push_back(L'\0');
    const LRESULT stringIndex = SendMessageW(toolbar, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(list.c_str()));
    if (stringIndex < 0) return;
    button.fsStyle |= BTNS_SHOWTEXT;
    button.iString = stringIndex;
    SendMessageW(toolbar, TB_DELETEBUTTON, index, 0);
    SendMessageW(toolbar, TB_INSERTBUTTONW, index, reinterpret_cast<LPARAM>(&button));
}

bool FrameWindow::CreateSimpleReBar(DWORD style, UINT id) {
    m_hWndToolBar = CreateWindowExW(0, REBARCLASSNAMEW, nullptr, style, 0, 0, 100, 100, m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), g_app.instance, nullptr);
    if (!m_hWndToolBar) return false;
    REBARINFO info{sizeof(info)};
    if (!SendMessageW(m_hWndToolBar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info))) {
        ::DestroyWindow(m_hWndToolBar);
        m_hWndToolBar = nullptr;
        return false;
    }
    return true;
}

namespace {

// The band's child sizes from its toolbar's buttons: at least the first button, ideally all.
void MeasureBandChild(HWND toolbar, REBARBANDINFOW& band) {
    const int buttonCount = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    RECT first{}, last{};
    if (buttonCount > 0) {
        SendMessageW(toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
        SendMessageW(toolbar, TB_GETITEMRECT, buttonCount - 1, reinterpret_cast<LPARAM>(&last));
    }
    const DWORD buttonSize = static_cast<DWORD>(SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0));
    band.cxMinChild = first.right;
    band.cyMinChild = HIWORD(buttonSize);
    band.cx = last.right;
    band.cxIdeal = last.right;
}

}  // namespace

void FrameWindow::ReplaceToolbarImages(HWND toolbar, HIMAGELIST images) {
    if (!toolbar || !images) return;
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    if (toolbarImages_) ImageList_Destroy(toolbarImages_);
    toolbarImages_ = images;
}

void FrameWindow::FitReBarBand(HWND child) {
    if (!m_hWndToolBar || !child) return;
    const int count = static_cast<int>(SendMessageW(m_hWndToolBar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOW band{};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_CHILD;
        if (!SendMessageW(m_hWndToolBar, RB_GETBANDINFOW, i, reinterpret_cast<LPARAM>(&band)) || band.hwndChild != child)
            continue;
        band.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_IDEALSIZE;
        MeasureBandChild(child, band);
        SendMessageW(m_hWndToolBar, RB_SETBANDINFOW, i, reinterpret_cast<LPARAM>(&band));
    }
}

bool FrameWindow::AddSimpleReBarBand(HWND child) {
    if (!m_hWndToolBar || !child) return false;
    const int buttonCount = static_cast<int>(SendMessageW(child, TB_BUTTONCOUNT, 0, 0));
    REBARBANDINFOW band{};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_ID | RBBIM_SIZE | RBBIM_IDEALSIZE;
    band.fStyle = RBBS_BREAK | RBBS_CHILDEDGE | (buttonCount > 0 ? RBBS_USECHEVRON : 0);
    band.hwndChild = child;
    band.wID = 0xEB00 + static_cast<UINT>(SendMessageW(m_hWndToolBar, RB_GETBANDCOUNT, 0, 0));
    MeasureBandChild(child, band);
    if (!SendMessageW(m_hWndToolBar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)))
        return false;
    const DWORD extended = static_cast<DWORD>(SendMessageW(child, TB_GETEXTENDEDSTYLE, 0, 0));
    SendMessageW(child, TB_SETEXTENDEDSTYLE, 0, extended | TBSTYLE_EX_HIDECLIPPEDBUTTONS);
    return true;
}

bool FrameWindow::CreateSimpleStatusBar(UINT textId, DWORD style, UINT id) {
    const std::wstring text = LoadResourceString(textId);
    m_hWndStatusBar = CreateWindowExW(0, STATUSCLASSNAMEW, text.c_str(), style, 0, 0, 0, 0, m_hWnd,
                                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), g_app.instance, nullptr);
    return m_hWndStatusBar != nullptr;
}

void FrameWindow::UpdateLayout(bool resizeBars) {
    RECT rect{};
    GetClientRect(m_hWnd, &rect);
    if (m_hWndToolBar && (GetWindowLongW(m_hWndToolBar, GWL_STYLE) & WS_VISIBLE)) {
        if (resizeBars) {
            ::SendMessageW(m_hWndToolBar, WM_SIZE, 0, 0);
            InvalidateRect(m_hWndToolBar, nullptr, TRUE);
        }
        RECT bar{};
        GetWindowRect(m_hWndToolBar, &bar);
        rect.top += bar.bottom - bar.top;
    }
    if (m_hWndStatusBar && (GetWindowLongW(m_hWndStatusBar, GWL_STYLE) & WS_VISIBLE)) {
        if (resizeBars) ::SendMessageW(m_hWndStatusBar, WM_SIZE, 0, 0);
        RECT bar{};
        GetWindowRect(m_hWndStatusBar, &bar);
        rect.bottom -= bar.bottom - bar.top;
    }
    if (m_hWndClient)
        SetWindowPos(m_hWndClient, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL FrameWindow::TranslateFrameAccelerator(MSG* message) {
    if (message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST && m_hAccel &&
        ::TranslateAcceleratorW(m_hWnd, m_hAccel, message))
        return TRUE;
    return FALSE;
}

LRESULT FrameWindow::OnSize(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    if (wParam != SIZE_MINIMIZED) UpdateLayout();
    handled = FALSE;
    return 0;
}

LRESULT FrameWindow::OnEraseBackground(UINT, WPARAM, LPARAM, BOOL& handled) {
    // The client window covers the frame; erasing under it would only flicker.
    if (m_hWndClient) return 1;
    handled = FALSE;
    return 0;
}

LRESULT FrameWindow::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& handled) {
    if (m_hWndClient && ::IsWindow(m_hWndClient)) ::SetFocus(m_hWndClient);
    handled = FALSE;
    return 1;
}

LRESULT FrameWindow::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
    if (!(GetWindowLongW(m_hWnd, GWL_STYLE) & WS_CHILD)) PostQuitMessage(1);
    handled = FALSE;
    return 1;
}

LRESULT FrameWindow::OnMenuSelect(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    handled = FALSE;
    if (!m_hWndStatusBar) return 1;
    const WORD flags = HIWORD(wParam);
    if (flags == 0xFFFF && lParam == 0) {  // the menu closed
        ::SendMessageW(m_hWndStatusBar, SB_SIMPLE, FALSE, 0);
        return 1;
    }
    wchar_t text[256] = {};
    if (!(flags & MF_POPUP) && !(flags & MF_SEPARATOR)) {
        const std::wstring help = LoadResourceString(HelpTextIdOf(LOWORD(wParam)));
        CopyToBuffer(text, 256, std::wstring_view(help).substr(0, help.find(L'\n')));
    }
    ::SendMessageW(m_hWndStatusBar, SB_SIMPLE, TRUE, 0);
    ::SendMessageW(m_hWndStatusBar, SB_SETTEXTW, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text));
    return 1;
}

LRESULT FrameWindow::OnToolTipText(int, LPNMHDR header, BOOL& handled) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    if (info->uFlags & TTF_IDISHWND) {
        handled = FALSE;
        return 0;
    }
    constexpr int kTipCapacity = 80;  // at most 79 characters, like the system's own buffer
    LoadToolTipText(static_cast<UINT>(header->idFrom), info->szText, kTipCapacity);
    info->lpszText = info->szText;
    info->hinst = nullptr;
    info->uFlags |= TTF_DI_SETITEM;
    return 0;
}

LRESULT FrameWindow::OnReBarAutoSize(int, LPNMHDR, BOOL&) {
    UpdateLayout(false);
    return 0;
}

LRESULT FrameWindow::OnChevronPushed(int, LPNMHDR header, BOOL&) {
    auto* chevron = reinterpret_cast<NMREBARCHEVRON*>(header);
    REBARBANDINFOW band{};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD;
    if (!::SendMessageW(m_hWndToolBar, RB_GETBANDINFOW, chevron->uBand, reinterpret_cast<LPARAM>(&band)) ||
        !band.hwndChild)
        return 0;
    HWND toolbar = band.hwndChild;
    RECT visible{};
    GetClientRect(toolbar, &visible);

    // A menu of the buttons that the band's width clips.
    HMENU menu = CreatePopupMenu();
    if (!menu) return 0;
    const int count = static_cast<int>(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    int added = 0;
    for (int i = 0; i < count; ++i) {
        TBBUTTON button{};
        RECT item{};
        ::SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        ::SendMessageW(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
        if (button.fsStyle & BTNS_SEP) continue;
        if (item.right <= visible.right) continue;
        wchar_t text[80] = {};
        LoadToolTipText(static_cast<UINT>(button.idCommand), text, 80);
        AppendMenuW(menu, MF_STRING | ((button.fsState & TBSTATE_ENABLED) ? 0 : MF_GRAYED),
                    static_cast<UINT_PTR>(button.idCommand), text);
        ++added;
    }
    if (added > 0) {
        POINT at{chevron->rc.left, chevron->rc.bottom};
        ClientToScreen(m_hWndToolBar, &at);
        const UINT command = static_cast<UINT>(
            TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, at.x, at.y, 0, m_hWnd, nullptr));
        if (command) ::PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
    DestroyMenu(menu);
    return 0;
}

}  // namespace ui
