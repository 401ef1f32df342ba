#include "ui/scheme_painting.h"

#include <algorithm>
#include <string>

#include "base/handles.h"
#include "ui/dpi.h"
#include "ui/theme.h"

namespace {

// Sizes at 96 DPI, at the DPI of the system's fonts.
int Scaled(int pixels) { return ScaleToDpi(pixels, SystemDpi()); }

}  // namespace

void DrawCheckMark(HDC dc, const RECT& room, COLORREF color, bool radio) {
    const int size = Scaled(8);
    const int x = (room.left + room.right - size) / 2;
    const int y = (room.top + room.bottom - size) / 2;
    UniqueGdiObject pen(CreatePen(PS_SOLID, std::max(1, Scaled(2) / 2 + 1), color));
    HGDIOBJ oldPen = SelectObject(dc, pen.get());
    if (radio) {
        HGDIOBJ oldBrush = SelectObject(dc, SchemeBrush(color));
        Ellipse(dc, x + size / 4, y + size / 4, x + size - size / 4, y + size - size / 4);
        SelectObject(dc, oldBrush);
    } else {
        const POINT tick[] = {{x, y + size / 2}, {x + size / 3, y + size - 1}, {x + size, y}};
        Polyline(dc, tick, 3);
    }
    SelectObject(dc, oldPen);
}

LRESULT SchemeToolbarDraw(NMTBCUSTOMDRAW& draw) {
    if (!DarkScheme()) return CDRF_DODEFAULT;
    const ThemeColors colors = Colors();
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        FillRect(draw.nmcd.hdc, &draw.nmcd.rc, SchemeBrush(colors.face));
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        draw.clrText = (draw.nmcd.uItemState & CDIS_DISABLED) ? colors.grayText : colors.faceText;
        draw.clrTextHighlight = colors.faceText;
        draw.clrBtnFace = colors.face;
        draw.clrBtnHighlight = colors.hot;
        draw.clrHighlightHotTrack = colors.hot;
        draw.nStringBkMode = TRANSPARENT;
        draw.nHLStringBkMode = TRANSPARENT;
        // The button under the mouse or pressed gets the dark table's colour, painted here: a
        // themed toolbar would draw its light hot box under the light text.
        if (draw.nmcd.uItemState & (CDIS_HOT | CDIS_SELECTED | CDIS_CHECKED))
            FillRect(draw.nmcd.hdc, &draw.nmcd.rc, SchemeBrush(colors.hot));
        return TBCDRF_USECDCOLORS | TBCDRF_NOBACKGROUND | TBCDRF_NOEDGES | TBCDRF_NOETCHEDEFFECT;
    default:
        return CDRF_DODEFAULT;
    }
}

void SchemeReBarBackground(HWND rebar);

void SchemeReBar(HWND rebar) {
    if (!rebar) return;
    const bool dark = DarkScheme();
    const COLORREF back = dark ? Colors().face : CLR_DEFAULT;
    const COLORREF fore = dark ? Colors().faceText : CLR_DEFAULT;
    SendMessageW(rebar, RB_SETBKCOLOR, 0, static_cast<LPARAM>(back));
    SendMessageW(rebar, RB_SETTEXTCOLOR, 0, static_cast<LPARAM>(fore));
    // Bands take the bar's colours when they are inserted: each is given them again.
    const int count = static_cast<int>(SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOW band{};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_COLORS;
        band.clrBack = dark ? back : GetSysColor(COLOR_BTNFACE);
        band.clrFore = dark ? fore : GetSysColor(COLOR_BTNTEXT);
        SendMessageW(rebar, RB_SETBANDINFOW, i, reinterpret_cast<LPARAM>(&band));
    }
    SchemeReBarBackground(rebar);
    InvalidateRect(rebar, nullptr, TRUE);
}

namespace {

constexpr UINT_PTR kStatusBarSubclass = 0x7A5C01;
constexpr UINT_PTR kListSubclass = 0x7A5C02;
constexpr UINT_PTR kReBarSubclass = 0x7A5C03;

LRESULT CALLBACK ReBarProc(HWND rebar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_ERASEBKGND && DarkScheme()) {
        RECT client{};
        GetClientRect(rebar, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, SchemeBrush(Colors().face));
        return 1;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(rebar, ReBarProc, kReBarSubclass);
    return DefSubclassProc(rebar, message, wParam, lParam);
}

void PaintStatusBar(HWND bar) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(bar, &paint);
    if (!dc) return;
    const ThemeColors colors = Colors();
    RECT client{};
    GetClientRect(bar, &client);
    FillRect(dc, &client, SchemeBrush(colors.face));
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(bar, WM_GETFONT, 0, 0)));
    SetTextColor(dc, colors.faceText);
    SetBkMode(dc, TRANSPARENT);
    const bool simple = SendMessageW(bar, SB_ISSIMPLE, 0, 0) != 0;
    const int parts = simple ? 1 : static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0));
    HGDIOBJ pen = SelectObject(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, colors.line);
    for (int i = 0; i < parts; ++i) {
        const WPARAM index = simple ? 255 : static_cast<WPARAM>(i);
        RECT part = client;
        if (!simple) SendMessageW(bar, SB_GETRECT, index, reinterpret_cast<LPARAM>(&part));
        const int length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, index, 0));
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(bar, SB_GETTEXTW, index, reinterpret_cast<LPARAM>(text.data()));
        text.resize(wcslen(text.c_str()));
        RECT inner = part;
        InflateRect(&inner, -GetSystemMetrics(SM_CXEDGE) * 2, 0);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inner,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        if (!simple && i + 1 < parts) {
            MoveToEx(dc, part.right - 1, part.top + 2, nullptr);
            LineTo(dc, part.right - 1, part.bottom - 2);
        }
    }
    SelectObject(dc, pen);
    SelectObject(dc, oldFont);
    EndPaint(bar, &paint);
}

LRESULT CALLBACK StatusBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (DarkScheme()) {
        if (message == WM_PAINT) {
            PaintStatusBar(bar);
            return 0;
        }
        if (message == WM_ERASEBKGND) return 1;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(bar, StatusBarProc, kStatusBarSubclass);
    return DefSubclassProc(bar, message, wParam, lParam);
}

// Header sizes at 96 DPI.
constexpr int kHeaderTextPadding = 6;
constexpr int kSortArrowSize = 8;

void DrawHeaderItem(HWND header, NMCUSTOMDRAW& draw) {
    const ThemeColors colors = Colors();
    HDC dc = draw.hdc;
    RECT rect = draw.rc;
    FillRect(dc, &rect, SchemeBrush((draw.uItemState & CDIS_HOT) ? colors.hot : colors.face));
    wchar_t text[260] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = text;
    item.cchTextMax = 260;
    SendMessageW(header, HDM_GETITEMW, draw.dwItemSpec, reinterpret_cast<LPARAM>(&item));
    HGDIOBJ pen = SelectObject(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, colors.line);
    MoveToEx(dc, rect.right - 1, rect.top, nullptr);
    LineTo(dc, rect.right - 1, rect.bottom);
    MoveToEx(dc, rect.left, rect.bottom - 1, nullptr);
    LineTo(dc, rect.right, rect.bottom - 1);
    SelectObject(dc, pen);
    RECT inner = rect;
    InflateRect(&inner, -Scaled(kHeaderTextPadding), 0);
    if (item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) {
        const int size = Scaled(kSortArrowSize);
        const int x = inner.right - size;
        const int y = (rect.top + rect.bottom) / 2;
        const bool up = (item.fmt & HDF_SORTUP) != 0;
        const POINT arrow[] = {{x, up ? y + size / 4 : y - size / 4},
                               {x + size, up ? y + size / 4 : y - size / 4},
                               {x + size / 2, up ? y - size / 4 : y + size / 4}};
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        HGDIOBJ oldBrush = SelectObject(dc, SchemeBrush(colors.faceText));
        Polygon(dc, arrow, 3);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        inner.right -= size + Scaled(kHeaderTextPadding);
    }
    SetTextColor(dc, colors.faceText);
    SetBkMode(dc, TRANSPARENT);
    const UINT align = (item.fmt & HDF_RIGHT) ? DT_RIGHT : (item.fmt & HDF_CENTER) ? DT_CENTER : DT_LEFT;
    DrawTextW(dc, text, -1, &inner, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | align);
}

LRESULT HeaderDraw(HWND header, NMCUSTOMDRAW& draw) {
    switch (draw.dwDrawStage) {
    case CDDS_PREPAINT:
        FillRect(draw.hdc, &draw.rc, SchemeBrush(Colors().face));
        return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPREPAINT:
        DrawHeaderItem(header, draw);
        return CDRF_SKIPDEFAULT;
    case CDDS_POSTPAINT: {
        // Right of the last column, where the system fills its own colour.
        RECT client{}, last{};
        GetClientRect(header, &client);
        const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
        if (count > 0) SendMessageW(header, HDM_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last));
        client.left = last.right;
        if (client.left < client.right) FillRect(draw.hdc, &client, SchemeBrush(Colors().face));
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_NOTIFY && DarkScheme()) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == NM_CUSTOMDRAW &&
            header->hwndFrom == reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)))
            return HeaderDraw(header->hwndFrom, *reinterpret_cast<NMCUSTOMDRAW*>(lParam));
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(list, ListProc, kListSubclass);
    return DefSubclassProc(list, message, wParam, lParam);
}

constexpr UINT_PTR kEdgeSubclass = 0x7A5C04;

// The border of an edit, a list or a box, which the system draws light: drawn again in the
// scheme's line colour, one or two pixels wide as the border is.
void PaintEdge(HDC dc, RECT rect, int width) {
    const ThemeColors colors = Colors();
    FrameRect(dc, &rect, SchemeBrush(colors.line));
    for (int i = 1; i < width; ++i) {
        InflateRect(&rect, -1, -1);
        FrameRect(dc, &rect, SchemeBrush(colors.window));
    }
}

int EdgeWidth(HWND window) {
    if (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) return GetSystemMetrics(SM_CXEDGE);
    return (GetWindowLongW(window, GWL_STYLE) & WS_BORDER) ? 1 : 0;
}

// A drop-down box's button, drawn as a flat face with an arrow.
void PaintBoxButton(HWND box, HDC dc) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!GetComboBoxInfo(box, &info) || IsRectEmpty(&info.rcButton)) return;
    const ThemeColors colors = Colors();
    FillRect(dc, &info.rcButton, SchemeBrush(colors.face));
    const int size = std::max(4, static_cast<int>(info.rcButton.right - info.rcButton.left) / 3);
    const int x = (info.rcButton.left + info.rcButton.right - size) / 2;
    const int y = (info.rcButton.top + info.rcButton.bottom) / 2 - size / 4;
    const POINT arrow[] = {{x, y}, {x + size, y}, {x + size / 2, y + size / 2}};
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, SchemeBrush(colors.faceText));
    Polygon(dc, arrow, 3);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    // A drop-down list's field (an owner-drawn box draws its own; an edit box's edit answers
    // WM_CTLCOLOREDIT).
    const LONG style = GetWindowLongW(box, GWL_STYLE);
    if ((style & 3) != CBS_DROPDOWNLIST || (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE))) return;
    const bool focused = GetFocus() == box && !SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0);
    FillRect(dc, &info.rcItem, SchemeBrush(focused ? colors.highlight : colors.window));
    wchar_t text[260] = {};
    GetWindowTextW(box, text, 260);
    RECT field = info.rcItem;
    field.left += Scaled(2);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)));
    SetTextColor(dc, !IsWindowEnabled(box) ? colors.grayText : focused ? colors.highlightText : colors.windowText);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text, -1, &field, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK EdgeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, EdgeProc, kEdgeSubclass);
    if (!DarkScheme() || (message != WM_NCPAINT && message != WM_PAINT))
        return DefSubclassProc(window, message, wParam, lParam);
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    const bool box = lstrcmpiW(className, WC_COMBOBOXW) == 0;
    if (message == WM_NCPAINT && !box) {
        const int width = EdgeWidth(window);
        HDC dc = width > 0 ? GetWindowDC(window) : nullptr;
        if (dc) {
            RECT rect{};
            GetWindowRect(window, &rect);
            OffsetRect(&rect, -rect.left, -rect.top);
            PaintEdge(dc, rect, width);
            ReleaseDC(window, dc);
        }
    } else if (message == WM_PAINT && box) {
        // A box draws its border and button inside its client area.
        if (HDC dc = GetDC(window)) {
            RECT client{};
            GetClientRect(window, &client);
            PaintEdge(dc, client, GetSystemMetrics(SM_CXEDGE));
            PaintBoxButton(window, dc);
            ReleaseDC(window, dc);
        }
    }
    return result;
}

constexpr UINT_PTR kProgressSubclass = 0x7A5C05;

LRESULT CALLBACK ProgressProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_NCDESTROY) RemoveWindowSubclass(bar, ProgressProc, kProgressSubclass);
    if (!DarkScheme() || (message != WM_PAINT && message != WM_ERASEBKGND))
        return DefSubclassProc(bar, message, wParam, lParam);
    if (message == WM_ERASEBKGND) return 1;
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(bar, &paint);
    if (!dc) return 0;
    const ThemeColors colors = Colors();
    RECT client{};
    GetClientRect(bar, &client);
    FillRect(dc, &client, SchemeBrush(colors.window));
    PBRANGE range{};
    SendMessageW(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    const int position = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
    if (range.iHigh > range.iLow) {
        RECT done = client;
        done.right = client.left + MulDiv(client.right - client.left, std::clamp(position, range.iLow, range.iHigh) - range.iLow,
                                          range.iHigh - range.iLow);
        FillRect(dc, &done, SchemeBrush(colors.highlight));
    }
    FrameRect(dc, &client, SchemeBrush(colors.line));
    EndPaint(bar, &paint);
    return 0;
}

}  // namespace

void SchemeProgressBar(HWND bar) {
    if (bar) SetWindowSubclass(bar, ProgressProc, kProgressSubclass, 0);
}

void SchemeEdges(HWND window) {
    if (window) SetWindowSubclass(window, EdgeProc, kEdgeSubclass, 0);
}

void SchemeReBarBackground(HWND rebar) { SetWindowSubclass(rebar, ReBarProc, kReBarSubclass, 0); }

void SchemeStatusBar(HWND statusBar) {
    if (!statusBar) return;
    SetWindowSubclass(statusBar, StatusBarProc, kStatusBarSubclass, 0);  // once: the same id replaces
    InvalidateRect(statusBar, nullptr, TRUE);
}

void SchemeListHeader(HWND list) {
    if (!list) return;
    SetWindowSubclass(list, ListProc, kListSubclass, 0);
    InvalidateRect(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), nullptr, TRUE);
}

namespace {

// A check box: its box, its tick and its text.
LRESULT DrawCheckBox(HWND button, NMCUSTOMDRAW& draw, bool disabled) {
    const ThemeColors colors = Colors();
    HDC dc = draw.hdc;
    RECT rect = draw.rc;
    FillRect(dc, &rect, SchemeBrush(colors.face));
    const int size = Scaled(13);
    RECT box{rect.left, (rect.top + rect.bottom - size) / 2, rect.left + size, (rect.top + rect.bottom + size) / 2};
    FillRect(dc, &box, SchemeBrush(colors.window));
    FrameRect(dc, &box, SchemeBrush(disabled ? colors.line : colors.grayText));
    const COLORREF text = disabled ? colors.grayText : colors.faceText;
    const LRESULT state = SendMessageW(button, BM_GETCHECK, 0, 0);
    if (state == BST_CHECKED) DrawCheckMark(dc, box, text, false);
    if (state == BST_INDETERMINATE) {
        RECT inner = box;
        InflateRect(&inner, -size / 4, -size / 4);
        FillRect(dc, &inner, SchemeBrush(text));
    }
    wchar_t label[128] = {};
    GetWindowTextW(button, label, 128);
    RECT textRect = rect;
    textRect.left = box.right + Scaled(4);
    SetTextColor(dc, text);
    SetBkMode(dc, TRANSPARENT);
    const bool cues = !(SendMessageW(button, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL);
    DrawTextW(dc, label, -1, &textRect, DT_SINGLELINE | DT_VCENTER | (cues ? 0 : DT_HIDEPREFIX));
    if (draw.uItemState & CDIS_FOCUS) {
        DrawTextW(dc, label, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
        textRect.top = rect.top;
        textRect.bottom = rect.bottom;
        SetTextColor(dc, colors.faceText);
        SetBkColor(dc, colors.face);
        DrawFocusRect(dc, &textRect);
    }
    return CDRF_SKIPDEFAULT;
}

}  // namespace

LRESULT SchemeButtonDraw(NMCUSTOMDRAW& draw) {
    if (!DarkScheme() || draw.dwDrawStage != CDDS_PREPAINT) return CDRF_DODEFAULT;
    HWND button = draw.hdr.hwndFrom;
    wchar_t className[16] = {};
    GetClassNameW(button, className, 16);
    if (lstrcmpiW(className, WC_BUTTONW) != 0) return CDRF_DODEFAULT;
    const LONG type = GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
    const bool disabled = (draw.uItemState & CDIS_DISABLED) != 0 || !IsWindowEnabled(button);
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE)
        return DrawCheckBox(button, draw, disabled);
    if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) return CDRF_DODEFAULT;  // group boxes: WM_CTLCOLORSTATIC
    const ThemeColors colors = Colors();
    HDC dc = draw.hdc;
    RECT rect = draw.rc;
    const bool pressed = (draw.uItemState & CDIS_SELECTED) != 0;
    const bool hot = (draw.uItemState & CDIS_HOT) != 0;
    FillRect(dc, &rect, SchemeBrush(colors.face));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, SchemeBrush(pressed ? colors.line : hot ? colors.hot : colors.window));
    const bool isDefault = type == BS_DEFPUSHBUTTON;
    SetDCPenColor(dc, isDefault ? colors.highlight : colors.line);
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    wchar_t text[128] = {};
    GetWindowTextW(button, text, 128);
    SetTextColor(dc, disabled ? colors.grayText : colors.windowText);
    SetBkMode(dc, TRANSPARENT);
    const bool cues = !(SendMessageW(button, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL);
    DrawTextW(dc, text, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_CENTER | (cues ? 0 : DT_HIDEPREFIX));
    if (draw.uItemState & CDIS_FOCUS) {
        InflateRect(&rect, -3, -3);
        SetTextColor(dc, colors.windowText);
        SetBkColor(dc, colors.window);
        DrawFocusRect(dc, &rect);
    }
    return CDRF_SKIPDEFAULT;
}
