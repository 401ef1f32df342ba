#include "ui/tolvane_view.h"

#include <shellapi.h>

#include <algorithm>

#include "base/text.h"
#include "ui/add_to_archive_dialog.h"
#include "ui/app_globals.h"
#include "ui/folder_browser.h"
#include "ui/user_messages.h"
#include "ui/wait_cursor.h"

namespace {

constexpr int kIndentPerLevel = 8;
constexpr int kIconGap = 22;

}  // namespace

CTolvaneView::~CTolvaneView() { model_.ClearAll(); }

// ---------------------------------------------------------------- set-up and layout

LRESULT CTolvaneView::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    model_.InitLocations();
    DragAcceptFiles(m_hWnd, TRUE);
    list_ = GetDlgItem(IDC_CONTENT_LIST);
    locationBox_ = GetDlgItem(IDC_LOCATION_BOX);
    pathField_ = GetDlgItem(IDC_PATH_FIELD);
    if (pathField_ && locationBox_) SetParent(pathField_, locationBox_);
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    g_app.settings.lastPath[MAX_PATH - 1] = L'\0';
    model_.StartAt(g_app.settings.lastPath);
    ReportModel();
    RefreshAll();
    return 0;  // no default focus
}

int CTolvaneView::TextHeight(HWND window) const {
    HDC dc = GetDC(window);
    if (!dc) return 0;
    SIZE size{};
    GetTextExtentPoint32W(dc, L"Wy", 2, &size);
    ReleaseDC(window, dc);
    return size.cy;
}

LRESULT CTolvaneView::OnSize(UINT, WPARAM, LPARAM, BOOL&) {
    if (!list_ || !locationBox_) return 0;
    RECT view{}, box{};
    GetClientRect(m_hWnd, &view);
    GetWindowRect(locationBox_, &box);
    const int boxHeight = box.bottom - box.top;
    const int top = std::max(itemHeight_, boxHeight);
    const int width = view.right - view.left;
    MoveWindow(locationBox_, 0, 0, width, boxHeight, TRUE);
    MoveWindow(list_, 0, top, width, (view.bottom - view.top) - top, TRUE);
    if (pathField_) {
        RECT inner{};
        GetClientRect(locationBox_, &inner);
        const int textHeight = TextHeight(pathField_);
        const int margin = ((inner.bottom - inner.top) - textHeight) / 2;
        MoveWindow(pathField_, inner.left + top, inner.top + margin, inner.right - 2 * top - inner.left,
                   inner.bottom - 2 * margin - inner.top, FALSE);
    }
    return 0;
}

LRESULT CTolvaneView::OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL&) {
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    const int textHeight = TextHeight(m_hWnd);
    itemHeight_ = textHeight >= 16 ? textHeight + 2 : 18;
    measure->itemHeight = static_cast<UINT>(itemHeight_);
    return 0;
}

// ---------------------------------------------------------------- drawing

LRESULT CTolvaneView::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlID == IDC_LOCATION_BOX) DrawLocationEntry(*item);
    else if (item->CtlID == IDC_CONTENT_LIST) DrawListRow(*item);
    return 0;
}

void CTolvaneView::DrawLocationEntry(const DRAWITEMSTRUCT& item) {
    const LocationEntry* entry = model_.LocationAt(static_cast<int>(item.itemID));
    if (!entry) return;
    const bool inSelectionField = (item.itemState & ODS_COMBOBOXEDIT) != 0;
    const bool highlighted = (item.itemState & ODS_SELECTED) && !inSelectionField;
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    FillRect(dc, &rect, GetSysColorBrush(highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (!inSelectionField) rect.left += entry->level * kIndentPerLevel;
    if (HICON icon = model_.LocationIcon(static_cast<int>(item.itemID)))
        DrawIconEx(dc, rect.left + 3, rect.top, icon, 16, 16, 0, nullptr, DI_NORMAL);
    rect.left += kIconGap;
    const std::wstring& text = inSelectionField ? entry->path : entry->name;
    SetTextColor(dc, GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void CTolvaneView::DrawListRow(const DRAWITEMSTRUCT& item) {
    const int position = static_cast<int>(item.itemID);
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    HDC dc = item.hDC;
    HBRUSH brush = GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    FillRect(dc, &item.rcItem, brush);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkMode(dc, TRANSPARENT);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
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
        // The cell lies on the row's own background, filled above.
        rect.left += 4;
        rect.right -= 8;
        if (column == 0) {
            if (HICON icon = model_.RowIcon(position))
                DrawIconEx(dc, rect.left + 3, rect.top, icon, 16, 16, 0, nullptr, DI_NORMAL);
            rect.left += kIconGap;
        }
        if (cell.text.empty()) continue;
        DrawTextW(dc, cell.text.c_str(), static_cast<int>(cell.text.size()), &rect,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                      (cell.rightAligned ? DT_RIGHT : DT_LEFT));
    }
}

// ---------------------------------------------------------------- refreshing

void CTolvaneView::RefreshAll(const Selection* before) {
    FillLocationBox();
    RefreshList(before);
}

void CTolvaneView::FillLocationBox() {
    SendMessageW(locationBox_, CB_RESETCONTENT, 0, 0);
    const int count = model_.LocationCount();
    for (int i = 0; i < count; ++i) {
        // Items are drawn from the model by position; their text is there for screen readers
        // and for finding an entry by typing.
        SendMessageW(locationBox_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(model_.LocationName(i).c_str()));
    }
    SendMessageW(locationBox_, CB_SETCURSEL, model_.currentLocation, 0);
}

void CTolvaneView::SaveColumnWidths() {
    if (!list_) return;
    HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count && i < kStoredColumnCount; ++i) {
        RECT rect{};
        if (SendMessageW(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect)))
            g_app.settings.columnWidths[i] = rect.right - rect.left;
    }
}

void CTolvaneView::RefreshList(const Selection* before) {
    const std::vector<std::wstring> titles = model_.ColumnTitles();
    // The same rows in another order (a re-sort): the list keeps its items and where it is
    // scrolled, and is only drawn again. Making its items anew would cost as much as the sort.
    const bool sameRows = before && before->place == model_.PlacePath() && titles == shownTitles_ &&
                          model_.RowCount() == static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    if (titles != shownTitles_) {
        SaveColumnWidths();
        SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
        while (SendMessageW(list_, LVM_DELETECOLUMN, 0, 0)) {
        }
        for (int i = 0; i < static_cast<int>(titles.size()); ++i) {
            int width = i == 0 ? 350 : 150;
            if (i < kStoredColumnCount && g_app.settings.columnWidths[i] >= 1) width = g_app.settings.columnWidths[i];
            LVCOLUMNW column{};
            column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
            column.fmt = LVCFMT_LEFT;
            column.cx = width;
            column.pszText = const_cast<wchar_t*>(titles[i].c_str());
            SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        }
        shownTitles_ = titles;
    }
    if (sameRows) {
        // Each selected row by itself: the list visits every row when told to clear them all.
        LVITEMW none{};
        none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        for (int position : SelectedPositions())
            SendMessageW(list_, LVM_SETITEMSTATE, position, reinterpret_cast<LPARAM>(&none));
        const int focused = static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        if (focused >= 0) SendMessageW(list_, LVM_SETITEMSTATE, focused, reinterpret_cast<LPARAM>(&none));
    } else {
        // A virtual list: the rows stay in the model and are drawn and described on demand.
        SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
        SendMessageW(list_, LVM_SETITEMCOUNT, model_.RowCount(), LVSICF_NOSCROLL);
    }
    if (pathField_) {
        const std::wstring path = model_.CurrentLocationPath();
        SetWindowTextW(pathField_, path.c_str());
        SendMessageW(pathField_, EM_SETSEL, 0, static_cast<LPARAM>(path.size()));
        SendMessageW(pathField_, EM_SCROLLCARET, 0, 0);
    }
    RestoreSelection(before);
    // The same rows cover the same ground: they are drawn over without erasing it first.
    InvalidateRect(list_, nullptr, sameRows ? FALSE : TRUE);
}

CTolvaneView::Selection CTolvaneView::RememberSelection() const {
    Selection selection;
    selection.place = model_.PlacePath();
    for (int position : SelectedPositions()) selection.selected.push_back(model_.RowKey(position));
    selection.focusedPosition =
        static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    selection.focused = model_.RowKey(selection.focusedPosition);
    return selection;
}

void CTolvaneView::RestoreSelection(const Selection* before) {
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

std::vector<int> CTolvaneView::SelectedPositions() const {
    std::vector<int> positions;
    // The list looks for selected rows one by one through all of them; the usual single
    // selection, on the focused row, is found without that.
    const int selected = static_cast<int>(SendMessageW(list_, LVM_GETSELECTEDCOUNT, 0, 0));
    if (selected <= 0) return positions;
    const int focused = static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (selected == 1 && focused >= 0 &&
        (SendMessageW(list_, LVM_GETITEMSTATE, focused, LVIS_SELECTED) & LVIS_SELECTED) != 0)
        return {focused};
    for (int position = -1;;) {
        position = static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(position), LVNI_SELECTED));
        if (position < 0) return positions;
        positions.push_back(position);
    }
}

std::vector<int> CTolvaneView::CollectSelection() const {
    std::vector<int> positions;
    for (int position : SelectedPositions())
        if (model_.IsCommandTarget(position)) positions.push_back(position);
    return positions;
}

// ---------------------------------------------------------------- input

LRESULT CTolvaneView::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (LOWORD(wParam) == IDC_LOCATION_BOX && HIWORD(wParam) == CBN_SELCHANGE) OnLocationChanged();
    return 0;
}

void CTolvaneView::OnLocationChanged() {
    const int selected = static_cast<int>(SendMessageW(locationBox_, CB_GETCURSEL, 0, 0));
    if (selected < 0) return;
    WaitCursor wait;
    const Selection before = RememberSelection();
    const bool shown = model_.SelectLocation(selected);
    ReportModel();
    if (shown) RefreshAll(&before);
    else FillLocationBox();  // the place could not be shown: the box shows where the view still is
}

void CTolvaneView::ActivateRow(int position) {
    WaitCursor wait;
    const Selection before = RememberSelection();
    const ViewChange change = model_.ActivateRow(position);
    WatchOpenedFiles();
    ReportModel();
    if (change == ViewChange::Changed) RefreshAll(&before);
}

LRESULT CTolvaneView::OnDoubleClick(int, LPNMHDR header, BOOL&) {
    const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(header);
    if (activate->iItem >= 0) ActivateRow(activate->iItem);
    return 0;
}

LRESULT CTolvaneView::OnColumnClick(int, LPNMHDR header, BOOL&) {
    const auto* view = reinterpret_cast<const NMLISTVIEW*>(header);
    const Selection before = RememberSelection();
    if (model_.SetSortColumn(view->iSubItem)) RefreshList(&before);
    return 0;
}

LRESULT CTolvaneView::OnGetDisplayInfo(int, LPNMHDR header, BOOL&) {
    // Screen readers and other programs read the rows through the list (LVM_GETITEMTEXT).
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
    if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
        const CellText cell = model_.CellAt(info->item.iItem, info->item.iSubItem);
        CopyToBuffer(info->item.pszText, static_cast<size_t>(info->item.cchTextMax), cell.text);
    }
    return 0;
}

LRESULT CTolvaneView::OnFindItem(int, LPNMHDR header, BOOL&) {
    // Typing in the list jumps to the next row whose name starts with the typed text.
    auto* find = reinterpret_cast<NMLVFINDITEMW*>(header);
    if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz) return -1;
    const std::wstring wanted = find->lvfi.psz;
    const int count = model_.RowCount();
    if (count == 0 || wanted.empty()) return -1;
    const int start = find->iStart < 0 || find->iStart >= count ? 0 : find->iStart;
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

bool CTolvaneView::OwnsKey(const MSG& message) const {
    const bool key = message.message == WM_KEYDOWN || message.message == WM_KEYUP || message.message == WM_CHAR;
    return key && pathField_ && message.hwnd == pathField_ && GetFocus() == pathField_;
}

BOOL CTolvaneView::PreTranslateMessage(MSG* message) {
    if (!m_hWnd) return FALSE;
    if (message->message == WM_KEYDOWN && (message->hwnd == m_hWnd || IsChild(m_hWnd, message->hwnd))) {
        const HWND focus = GetFocus();
        if (message->wParam == VK_RETURN && pathField_ && focus == pathField_) {
            OnPathEntered();
            return TRUE;
        }
        if (message->wParam == VK_RETURN && focus == list_) {
            // Enter opens the focused row, as a double-click does.
            const int focused =
                static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
            if (focused >= 0) ActivateRow(focused);
            return TRUE;
        }
        if (message->wParam == VK_TAB && !(GetKeyState(VK_CONTROL) & 0x8000)) {
            MoveFocus((GetKeyState(VK_SHIFT) & 0x8000) != 0);
            return TRUE;
        }
    }
    return IsDialogMessageW(m_hWnd, message);
}

void CTolvaneView::MoveFocus(bool backwards) {
    // The path field lies inside the location box, where the dialog's own Tab never looks.
    const HWND order[] = {list_, pathField_, locationBox_};
    const HWND focus = GetFocus();
    int current = 0;
    for (int i = 0; i < 3; ++i)
        if (order[i] && IsChild(order[i], focus)) current = i;
    for (int i = 0; i < 3; ++i)  // before the box that holds it: the path field itself
        if (order[i] && focus == order[i]) current = i;
    for (int step = 1; step < 3; ++step) {
        const HWND next = order[(current + (backwards ? 3 - step : step)) % 3];
        if (!next) continue;
        SetFocus(next);
        if (next == pathField_) SendMessageW(pathField_, EM_SETSEL, 0, -1);
        return;
    }
}

void CTolvaneView::OnPathEntered() {
    if (!pathField_) return;
    // A path too long for the program is refused rather than cut, which could name another folder.
    if (GetWindowTextLengthW(pathField_) >= MAX_PATH) return;
    wchar_t text[MAX_PATH] = {};
    GetWindowTextW(pathField_, text, MAX_PATH);
    const int selected = static_cast<int>(SendMessageW(locationBox_, CB_GETCURSEL, 0, 0));
    const Selection before = RememberSelection();
    const bool shown = model_.GoToPath(selected, text);
    ReportModel();
    if (shown) {
        RefreshAll(&before);
        return;
    }
    // Back to the text, to mend it.
    SetFocus(pathField_);
    SendMessageW(pathField_, EM_SETSEL, 0, -1);
}

LRESULT CTolvaneView::OnDropFiles(UINT, WPARAM wParam, LPARAM, BOOL&) {
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    if (draggingOut_) {
        // The list's own rows dropped back on the window: nothing to add.
        DragFinish(drop);
        return 0;
    }
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length, L'\0');
        DragQueryFileW(drop, i, path.data(), length + 1);
        paths.push_back(path);
    }
    DragFinish(drop);
    const Selection before = RememberSelection();
    model_.AddDroppedFiles(paths);
    ReportModel();
    RefreshAll(&before);
    return 0;
}

LRESULT CTolvaneView::OnDestroy(UINT, WPARAM, LPARAM, BOOL&) {
    SaveColumnWidths();
    if (const auto last = model_.LastPathToStore(); last && last->size() < MAX_PATH)
        CopyToBuffer(g_app.settings.lastPath, MAX_PATH, *last);
    return 0;
}

// ---------------------------------------------------------------- commands

void CTolvaneView::ReportModel() { TellUser(model_.TakeMessages()); }

void CTolvaneView::WarnNothingSelected() {
    TellUser({L"No files selected. You need to select files this operation", MessageKind::Warning}, m_hWnd);
}

void CTolvaneView::AddSelection() {
    // In an archive, Add asks for files to put into the folder shown.
    if (model_.InArchive()) return AddIntoArchive(false);
    const Selection before = RememberSelection();
    const std::vector<int> selection = CollectSelection();
    if (selection.empty()) {
        WarnNothingSelected();
    } else {
        AddFromSelection(model_.PathsOf(selection));
        model_.BrowseFolder(model_.currentFolder);  // a new archive shows up in the listing
        ReportModel();
    }
    RefreshAll(&before);
}

void CTolvaneView::ExtractSelection() {
    const std::vector<int> selection = CollectSelection();
    // Outside an archive one archive file at a time is extracted, as a whole.
    if (selection.empty() || (!model_.InArchive() && selection.size() != 1)) {
        WarnNothingSelected();
        return;
    }
    const Selection before = RememberSelection();
    const auto folder = BrowseForExtractFolder(GetActiveWindow(), model_.ExtractStartFolder(selection));
    if (!folder) return;
    bool done = false;
    const ViewChange change = model_.ExtractRows(selection, *folder, &done);
    ReportModel();
    if (change == ViewChange::Changed) RefreshAll(&before);
    if (done) OpenDestinations({*folder});
}

void CTolvaneView::DeleteSelection() {
    const std::vector<int> selection = CollectSelection();
    if (selection.empty()) {
        WarnNothingSelected();
        return;
    }
    if (model_.InArchive()) {
        const wchar_t* question = selection.size() == 1 ? L"Are you sure you want to delete a selected file?"
                                                        : L"Are you sure you want to delete selected files?";
        if (!AskUser({question, MessageKind::Warning})) return;
    }
    const Selection before = RememberSelection();
    const ViewChange change = model_.DeleteRows(selection);
    ReportModel();
    if (change == ViewChange::Changed) RefreshAll(&before);
}
