#include "ui/content_list.h"

#include <algorithm>

#include "base/text.h"
#include "ui/app_globals.h"
#include "ui/dpi.h"
#include "ui/theme.h"

namespace {

// Sizes at 96 DPI, scaled to the list's DPI where they are used.
constexpr int kCellPaddingLeft = 4;
constexpr int kCellPaddingRight = 8;
constexpr int kNameColumnWidth = 350;
constexpr int kOtherColumnWidth = 150;

HWND HeaderOf(HWND list) { return reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)); }

int NextRow(HWND list, int after, UINT flags) {
    return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(after), flags));
}

}  // namespace

void ContentList::Attach(HWND list, int dpi) {
    list_ = list;
    dpi_ = dpi;
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
}

void ContentList::SetDpi(int dpi) {
    dpi_ = dpi;
    shownTitles_.clear();  // the columns are made again at their new widths
}

// ---------------------------------------------------------------- drawing

void ContentList::DrawRow(const DRAWITEMSTRUCT& item) const {
    const int position = static_cast<int>(item.itemID);
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    HDC dc = item.hDC;
    const ThemeColors colors = Colors();
    FillRect(dc, &item.rcItem, SchemeBrush(selected ? colors.highlight : colors.window));
    SetTextColor(dc, selected ? colors.highlightText : colors.windowText);
    SetBkMode(dc, TRANSPARENT);
    // In the dark the rows draw the grid (the system's lines are light).
    const bool ownGrid = DarkScheme();
    if (ownGrid) {
        SelectObject(dc, GetStockObject(DC_PEN));
        SetDCPenColor(dc, colors.line);
        MoveToEx(dc, item.rcItem.left, item.rcItem.bottom - 1, nullptr);
        LineTo(dc, item.rcItem.right, item.rcItem.bottom - 1);
    }
    const int columns = static_cast<int>(SendMessageW(HeaderOf(list_), HDM_GETITEMCOUNT, 0, 0));
    for (int column = 0; column < columns; ++column) {
        const CellText cell = model_.CellAt(position, column);
        RECT rect{};
        rect.top = column;
        rect.left = LVIR_BOUNDS;
        SendMessageW(list_, LVM_GETSUBITEMRECT, position, reinterpret_cast<LPARAM>(&rect));
        if (column == 0) {
            // The first sub-item's bounds span the whole row; the column's own width ends it.
            rect.right = rect.left + static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, 0, 0));
        }
        if (ownGrid) {
            MoveToEx(dc, rect.right - 1, rect.top, nullptr);
            LineTo(dc, rect.right - 1, rect.bottom);
        }
        // The cell lies on the row's own background, filled above.
        rect.left += ScaleToDpi(kCellPaddingLeft, dpi_);
        rect.right -= ScaleToDpi(kCellPaddingRight, dpi_);
        if (column == 0) {
            const int size = SmallIconSize(dpi_);
            if (HICON icon = model_.RowIcon(position))
                DrawIconEx(dc, rect.left + ScaleToDpi(kRowIconLeft, dpi_),
                           rect.top + (rect.bottom - rect.top - size) / 2, icon, size, size, 0, nullptr, DI_NORMAL);
            rect.left += ScaleToDpi(kRowIconGap, dpi_);
        }
        if (cell.text.empty()) continue;
        DrawTextW(dc, cell.text.c_str(), static_cast<int>(cell.text.size()), &rect,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                      (cell.rightAligned ? DT_RIGHT : DT_LEFT));
    }
    // The focused row always shows it, whether the last input came from the keyboard or not.
    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        DrawFocusRect(dc, &focus);
    }
}

void ContentList::FillDisplayInfo(NMLVDISPINFOW& info) const {
    // Screen readers and other programs read the rows through the list (LVM_GETITEMTEXT).
    if ((info.item.mask & LVIF_TEXT) && info.item.pszText && info.item.cchTextMax > 0) {
        const CellText cell = model_.CellAt(info.item.iItem, info.item.iSubItem);
        CopyToBuffer(info.item.pszText, static_cast<size_t>(info.item.cchTextMax), cell.text);
    }
}

int ContentList::FindRow(const NMLVFINDITEMW& find) const {
    // Typing in the list jumps to the next row whose name starts with the typed text.
    if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz) return -1;
    const std::wstring wanted = find.lvfi.psz;
    const int count = model_.RowCount();
    if (count == 0 || wanted.empty()) return -1;
    const int start = find.iStart < 0 || find.iStart >= count ? 0 : find.iStart;
    for (int n = 0; n < count; ++n) {
        const int position = (start + n) % count;
        const std::wstring_view name = model_.RowName(position);
        if (name.size() >= wanted.size() &&
            CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, name.data(), static_cast<int>(wanted.size()),
                           wanted.c_str(), static_cast<int>(wanted.size())) == CSTR_EQUAL)
            return position;
    }
    return -1;
}

// ---------------------------------------------------------------- columns and rows

void ContentList::SaveColumnWidths() const {
    if (!list_) return;
    HWND header = HeaderOf(list_);
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count && i < static_cast<int>(shownColumns_.size()); ++i) {
        RECT rect{};
        // Each column keeps its own width, wherever it is shown, as it would be at 96 DPI, so
        // that it keeps its look on any screen.
        const int slot = static_cast<int>(shownColumns_[static_cast<size_t>(i)]);
        if (slot < kStoredColumnCount && SendMessageW(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect)))
            g_app.settings.columnWidths[slot] = ScaleFromDpi(rect.right - rect.left, columnsDpi_);
    }
}

void ContentList::Refill(const Selection* before) {
    const std::vector<std::wstring> titles = model_.ColumnTitles();
    // The same rows in another order (a re-sort): the list keeps its items and where it is
    // scrolled, and is only drawn again. Making its items anew would cost as much as the sort.
    const bool sameRows = before && before->place == model_.PlacePath() && titles == shownTitles_ &&
                          model_.RowCount() == static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    // New columns or new rows: the list is drawn once, when they are all in place.
    const bool redrawLater = !sameRows || titles != shownTitles_;
    if (redrawLater) SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    if (titles != shownTitles_) {
        SaveColumnWidths();
        SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
        while (SendMessageW(list_, LVM_DELETECOLUMN, 0, 0)) {
        }
        const std::vector<ColumnId>& columns = model_.ColumnIds();
        for (int i = 0; i < static_cast<int>(titles.size()); ++i) {
            const int slot = i < static_cast<int>(columns.size()) ? static_cast<int>(columns[static_cast<size_t>(i)]) : 0;
            int width = slot == 0 ? kNameColumnWidth : kOtherColumnWidth;
            if (slot < kStoredColumnCount && g_app.settings.columnWidths[slot] >= 1) width = g_app.settings.columnWidths[slot];
            LVCOLUMNW column{};
            column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
            column.fmt = LVCFMT_LEFT;
            column.cx = ScaleToDpi(width, dpi_);
            column.pszText = const_cast<wchar_t*>(titles[i].c_str());
            SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        }
        shownTitles_ = titles;
        shownColumns_ = columns;
        columnsDpi_ = dpi_;
    }
    if (sameRows) {
        // Each selected row by itself: the list visits every row when told to clear them all.
        LVITEMW none{};
        none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        for (int position : SelectedPositions())
            SendMessageW(list_, LVM_SETITEMSTATE, position, reinterpret_cast<LPARAM>(&none));
        const int focused = FocusedRow();
        if (focused >= 0) SendMessageW(list_, LVM_SETITEMSTATE, focused, reinterpret_cast<LPARAM>(&none));
    } else {
        // A virtual list: the rows stay in the model and are drawn and described on demand.
        SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
        SendMessageW(list_, LVM_SETITEMCOUNT, model_.RowCount(), LVSICF_NOSCROLL);
    }
    SetSortArrows();
    Restore(before);
    if (redrawLater) SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    // The same rows cover the same ground: they are drawn over without erasing it first.
    InvalidateRect(list_, nullptr, sameRows ? FALSE : TRUE);
}

void ContentList::SetSortArrows() {
    HWND header = HeaderOf(list_);
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item))) continue;
        const int shown = item.fmt;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == model_.sortColumn) item.fmt |= model_.sortOrder == 2 ? HDF_SORTDOWN : HDF_SORTUP;
        // Each change lays the header out and draws it again: only the columns whose arrow changes.
        if (item.fmt != shown) SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
}

// ---------------------------------------------------------------- selection

ContentList::Selection ContentList::Remember() const {
    Selection selection;
    selection.place = model_.PlacePath();
    for (int position : SelectedPositions()) selection.selected.push_back(model_.RowKey(position));
    selection.focusedPosition = FocusedRow();
    selection.focused = model_.RowKey(selection.focusedPosition);
    return selection;
}

void ContentList::Restore(const Selection* before) {
    const int count = model_.RowCount();
    if (count == 0) return;
    int focus = 0;
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    if (before && before->place == model_.PlacePath()) {
        // The same place, sorted or reloaded: the same items, wherever they are now.
        for (int position : model_.PositionsOfKeys(before->selected))
            if (position >= 0) SendMessageW(list_, LVM_SETITEMSTATE, position, reinterpret_cast<LPARAM>(&state));
        const int focused = model_.PositionsOfKeys({before->focused}).front();
        focus = focused >= 0 ? focused : std::min(std::max(before->focusedPosition, 0), count - 1);
    } else if (const int way = before ? model_.RowLeadingTo(before->place) : -1; way >= 0) {
        SendMessageW(list_, LVM_SETITEMSTATE, way, reinterpret_cast<LPARAM>(&state));
        focus = way;
    }
    state.stateMask = state.state = LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, focus, reinterpret_cast<LPARAM>(&state));
    SendMessageW(list_, LVM_ENSUREVISIBLE, focus, FALSE);
}

std::vector<int> ContentList::SelectedPositions() const {
    std::vector<int> positions;
    // The list looks for selected rows one by one through all of them; the usual single
    // selection, on the focused row, is found without that.
    const int selected = static_cast<int>(SendMessageW(list_, LVM_GETSELECTEDCOUNT, 0, 0));
    if (selected <= 0) return positions;
    const int focused = FocusedRow();
    if (selected == 1 && focused >= 0 &&
        (SendMessageW(list_, LVM_GETITEMSTATE, focused, LVIS_SELECTED) & LVIS_SELECTED) != 0)
        return {focused};
    for (int position = -1;;) {
        position = NextRow(list_, position, LVNI_SELECTED);
        if (position < 0) return positions;
        positions.push_back(position);
    }
}

std::vector<int> ContentList::Targets() const {
    std::vector<int> positions;
    for (int position : SelectedPositions())
        if (model_.IsCommandTarget(position)) positions.push_back(position);
    return positions;
}

int ContentList::FocusedRow() const { return NextRow(list_, -1, LVNI_FOCUSED); }

int ContentList::RowToOpen() const {
    const int selected = NextRow(list_, -1, LVNI_SELECTED);
    return selected >= 0 ? selected : FocusedRow();
}

void ContentList::SelectAll() {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    // The way up is no item of the place.
    if (model_.IsParentRow(0)) {
        state.state = 0;
        SendMessageW(list_, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    }
    SetFocus(list_);
}

void ContentList::SelectWhere(const std::function<bool(int position)>& matches, bool select) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = select ? LVIS_SELECTED : 0;
    const int count = model_.RowCount();
    for (int position = 0; position < count; ++position)
        if (!model_.IsParentRow(position) && matches(position))
            SendMessageW(list_, LVM_SETITEMSTATE, position, reinterpret_cast<LPARAM>(&state));
    SetFocus(list_);
}

void ContentList::InvertSelection() {
    const std::vector<int> selected = SelectedPositions();
    std::vector<bool> was(static_cast<size_t>(model_.RowCount()), false);
    for (int position : selected)
        if (position >= 0 && static_cast<size_t>(position) < was.size()) was[static_cast<size_t>(position)] = true;
    // The way up never joins; the rows change only where their state does.
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    for (int position = 0; position < static_cast<int>(was.size()); ++position) {
        const bool wanted = !was[static_cast<size_t>(position)] && !model_.IsParentRow(position);
        if (wanted == was[static_cast<size_t>(position)]) continue;
        state.state = wanted ? LVIS_SELECTED : 0;
        SendMessageW(list_, LVM_SETITEMSTATE, position, reinterpret_cast<LPARAM>(&state));
    }
    SetFocus(list_);
}

POINT ContentList::MenuPointAtFocus() const {
    RECT rect{LVIR_LABEL, 0, 0, 0};
    const int focused = FocusedRow();
    RECT client{};
    GetClientRect(list_, &client);
    POINT at{ScaleToDpi(kRowIconGap, dpi_), ScaleToDpi(kRowIconGap, dpi_)};
    if (focused >= 0 && SendMessageW(list_, LVM_GETITEMRECT, focused, reinterpret_cast<LPARAM>(&rect)) &&
        rect.bottom > client.top && rect.top < client.bottom)
        at = {rect.left + ScaleToDpi(kRowIconGap, dpi_), rect.bottom};
    ClientToScreen(list_, &at);
    return at;
}
