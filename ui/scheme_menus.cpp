#include "ui/scheme_menus.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/handles.h"
#include "ui/dpi.h"
#include "ui/scheme_painting.h"
#include "ui/theme.h"

namespace {

// ---------------------------------------------------------------- menus

// An owner-drawn item's data: a mark and the number of its slot, which names its menu and place.
constexpr ULONG_PTR kItemMark = 0x7A5C0000;
constexpr ULONG_PTR kMarkMask = 0xFFFF0000;
// Sizes at 96 DPI.
constexpr int kBarItemPadding = 7;
constexpr int kPopupCheckRoom = 24;
constexpr int kPopupTextRight = 24;
constexpr int kAcceleratorGap = 24;
constexpr int kSeparatorHeight = 7;

struct ItemSlot {
    HMENU menu;
    int position;
};
HMENU g_menuBar = nullptr;  // the frame's: its items lie in a row, not in a popup

std::vector<ItemSlot>& Slots() {
    static std::vector<ItemSlot> slots;
    return slots;
}

// The slot of an item, reusing those of menus that are gone.
ULONG_PTR SlotFor(HMENU menu, int position) {
    std::vector<ItemSlot>& slots = Slots();
    for (size_t i = 0; i < slots.size(); ++i)
        if (slots[i].menu == menu && slots[i].position == position) return kItemMark | i;
    for (size_t i = 0; i < slots.size(); ++i)
        if (!IsMenu(slots[i].menu)) {
            slots[i] = {menu, position};
            return kItemMark | i;
        }
    slots.push_back({menu, position});
    return kItemMark | (slots.size() - 1);
}

const ItemSlot* SlotOf(ULONG_PTR data) {
    if ((data & kMarkMask) != kItemMark) return nullptr;
    const size_t index = data & ~kMarkMask;
    return index < Slots().size() ? &Slots()[index] : nullptr;
}

struct ItemFacts {
    std::wstring text;  // as stored, the access key's "&" and the "\t" before the shortcut included
    UINT type = 0;
    bool bar = false;
};

bool FactsOf(const ItemSlot& slot, ItemFacts& facts) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STRING;
    wchar_t text[256] = {};
    info.dwTypeData = text;
    info.cch = 256;
    if (!GetMenuItemInfoW(slot.menu, static_cast<UINT>(slot.position), TRUE, &info)) return false;
    facts.text = text;
    facts.type = info.fType;
    facts.bar = slot.menu == g_menuBar;
    return true;
}

HFONT MenuFont() {
    static UniqueGdiObject font;
    if (!font) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
            font = UniqueGdiObject(CreateFontIndirectW(&metrics.lfMenuFont));
    }
    return font ? static_cast<HFONT>(font.get()) : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int Scaled(int pixels) { return ScaleToDpi(pixels, SystemDpi()); }

SIZE TextSize(HDC dc, const std::wstring& text) {
    RECT rect{};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_SINGLELINE | DT_CALCRECT);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

void SchemeMenuItems(HMENU menu, bool dark, bool recurse) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_DATA;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        if (recurse && info.hSubMenu) SchemeMenuItems(info.hSubMenu, dark, true);
        const bool ours = (info.dwItemData & kMarkMask) == kItemMark;
        if (dark == ours && (!dark || (info.fType & MFT_OWNERDRAW))) continue;
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        info.fType = dark ? (info.fType | MFT_OWNERDRAW) : (info.fType & ~MFT_OWNERDRAW);
        info.dwItemData = dark ? SlotFor(menu, i) : 0;
        SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    }
    MENUINFO background{};
    background.cbSize = sizeof(background);
    background.fMask = MIM_BACKGROUND;
    background.hbrBack = dark ? SchemeBrush(Colors().face) : nullptr;
    SetMenuInfo(menu, &background);
}

}  // namespace

void SchemeMenuBar(HWND frame) {
    HMENU bar = GetMenu(frame);
    if (!bar) return;
    g_menuBar = bar;
    SchemeMenuItems(bar, DarkScheme(), true);
    DrawMenuBar(frame);
}

void SchemePopupMenu(HMENU menu) {
    if (menu) SchemeMenuItems(menu, DarkScheme(), true);
}

bool MeasureSchemeMenuItem(HWND, MEASUREITEMSTRUCT& item) {
    const ItemSlot* slot = item.CtlType == ODT_MENU ? SlotOf(item.itemData) : nullptr;
    ItemFacts facts;
    if (!slot || !FactsOf(*slot, facts)) return false;
    if (facts.type & MFT_SEPARATOR) {
        item.itemWidth = 0;
        item.itemHeight = static_cast<UINT>(Scaled(kSeparatorHeight));
        return true;
    }
    HDC dc = GetDC(nullptr);
    if (!dc) return false;
    HGDIOBJ old = SelectObject(dc, MenuFont());
    const size_t tab = facts.text.find(L'\t');
    const SIZE label = TextSize(dc, facts.text.substr(0, tab));
    const SIZE shortcut = tab == std::wstring::npos ? SIZE{0, 0} : TextSize(dc, facts.text.substr(tab + 1));
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (facts.bar) {
        item.itemWidth = static_cast<UINT>(label.cx + 2 * Scaled(kBarItemPadding));
        item.itemHeight = static_cast<UINT>(GetSystemMetrics(SM_CYMENU));
    } else {
        item.itemWidth = static_cast<UINT>(Scaled(kPopupCheckRoom) + label.cx +
                                           (shortcut.cx ? Scaled(kAcceleratorGap) + shortcut.cx : 0) +
                                           Scaled(kPopupTextRight));
        item.itemHeight = static_cast<UINT>(std::max<LONG>(label.cy + Scaled(6), GetSystemMetrics(SM_CYMENUSIZE)));
    }
    return true;
}

bool DrawSchemeMenuItem(const DRAWITEMSTRUCT& item) {
    const ItemSlot* slot = item.CtlType == ODT_MENU ? SlotOf(item.itemData) : nullptr;
    ItemFacts facts;
    if (!slot || !FactsOf(*slot, facts)) return false;
    const ThemeColors colors = Colors();
    HDC dc = item.hDC;
    const bool hot = (item.itemState & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
    const bool grayed = (item.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    RECT rect = item.rcItem;
    if (facts.type & MFT_SEPARATOR) {
        FillRect(dc, &rect, SchemeBrush(colors.face));
        RECT line{rect.left + Scaled(4), (rect.top + rect.bottom) / 2, rect.right - Scaled(4), (rect.top + rect.bottom) / 2 + 1};
        FillRect(dc, &line, SchemeBrush(colors.line));
        return true;
    }
    FillRect(dc, &rect, SchemeBrush(hot ? (facts.bar ? colors.hot : colors.highlight) : colors.face));
    const COLORREF text = grayed ? colors.grayText : (hot && !facts.bar ? colors.highlightText : colors.faceText);
    HGDIOBJ oldFont = SelectObject(dc, MenuFont());
    SetTextColor(dc, text);
    SetBkMode(dc, TRANSPARENT);
    const UINT prefix = (item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
    const size_t tab = facts.text.find(L'\t');
    const std::wstring label = facts.text.substr(0, tab);
    if (facts.bar) {
        DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &rect,
                  DT_SINGLELINE | DT_VCENTER | DT_CENTER | prefix);
    } else {
        RECT check = rect;
        check.right = check.left + Scaled(kPopupCheckRoom);
        if (item.itemState & ODS_CHECKED) DrawCheckMark(dc, check, text, (facts.type & MFT_RADIOCHECK) != 0);
        rect.left = check.right;
        rect.right -= Scaled(kPopupTextRight);
        DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &rect, DT_SINGLELINE | DT_VCENTER | prefix);
        if (tab != std::wstring::npos) {
            const std::wstring shortcut = facts.text.substr(tab + 1);
            DrawTextW(dc, shortcut.c_str(), static_cast<int>(shortcut.size()), &rect,
                      DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
        }
    }
    SelectObject(dc, oldFont);
    return true;
}

void PaintMenuBarRest(HWND frame) {
    HMENU bar = GetMenu(frame);
    if (!DarkScheme() || !bar || bar != g_menuBar) return;
    MENUBARINFO info{};
    info.cbSize = sizeof(info);
    const int count = GetMenuItemCount(bar);
    RECT last{};
    if (count <= 0 || !GetMenuBarInfo(frame, OBJID_MENU, 0, &info) ||
        !GetMenuItemRect(frame, bar, static_cast<UINT>(count - 1), &last))
        return;
    RECT window{};
    GetWindowRect(frame, &window);
    HDC dc = GetWindowDC(frame);
    if (!dc) return;
    RECT rest{last.right, info.rcBar.top, info.rcBar.right, info.rcBar.bottom + 1};
    OffsetRect(&rest, -window.left, -window.top);
    HBRUSH face = SchemeBrush(Colors().face);
    FillRect(dc, &rest, face);
    // The line under the bar.
    RECT line{info.rcBar.left, info.rcBar.bottom, info.rcBar.right, info.rcBar.bottom + 1};
    OffsetRect(&line, -window.left, -window.top);
    FillRect(dc, &line, face);
    ReleaseDC(frame, dc);
}

LRESULT SchemeMenuChar(HMENU menu, wchar_t key) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        if (!GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION)) continue;
        for (const wchar_t* p = text; (p = wcschr(p, L'&')) != nullptr; p += 2) {
            if (p[1] == L'&') continue;
            if (p[1] && CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(p[1]))) ==
                            CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(key))))
                return MAKELRESULT(i, MNC_EXECUTE);
            break;
        }
    }
    return MAKELRESULT(0, MNC_IGNORE);
}
