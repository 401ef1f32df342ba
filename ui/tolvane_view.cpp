#include "ui/tolvane_view.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "base/text.h"
#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "engine/archive_name_encoding.h"
#include "ui/accessible_names.h"
#include "ui/app_globals.h"
#include "ui/dpi.h"
#include "ui/name_encoding_memory.h"
#include "ui/resource_module.h"
#include "ui/scheme_menus.h"
#include "ui/scheme_painting.h"
#include "ui/theme.h"
#include "ui/user_messages.h"
#include "ui/wait_cursor.h"

namespace {

// Sizes at 96 DPI, scaled to the view's DPI where they are used.
constexpr int kIndentPerLevel = 8;

}  // namespace

CTolvaneView::~CTolvaneView() { model_.ClearAll(); }

// ---------------------------------------------------------------- set-up and layout

LRESULT CTolvaneView::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    model_.InitLocations();
    DragAcceptFiles(m_hWnd, TRUE);
    dpi_ = WindowDpi(m_hWnd);
    list_.Attach(GetDlgItem(IDC_CONTENT_LIST), dpi_);
    locationBox_ = GetDlgItem(IDC_LOCATION_BOX);
    pathField_ = GetDlgItem(IDC_PATH_FIELD);
    if (pathField_ && locationBox_) SetParent(pathField_, locationBox_);
    NameControls();
    // A copy put back into the archive shown is listed at once.
    openedFiles_.Attach(m_hWnd, [this](const std::wstring& archive) {
        const Selection before = RememberSelection();
        if (model_.ReloadIfShowing(archive)) {
            ReportModel();
            RefreshAll(&before);
        }
    });
    KeepDialogSizesOnDpiChange(m_hWnd);  // the view sizes itself for a new DPI (ApplyDpi)
    g_app.settings.lastPath[MAX_PATH - 1] = L'\0';
    if (ContentModel::StartsWithArchive(ContentModel::StartPath(g_app.settings.lastPath))) {
        // Posted messages come before the first paint: an archive that is quickly read shows
        // with its rows at once, a long open behind its progress window over the shown window.
        PostMessageW(m_hWnd, kStartMessage, 0, 0);
        return 0;
    }
    Start();
    return 0;  // no default focus
}

void CTolvaneView::NameControls() {
    // What screen readers announce; the location box's value is the path it shows.
    ui::SetAccessibleName(m_hWnd, L"Contents");
    ui::SetAccessibleName(locationBox_, L"Location", [field = pathField_] { return ui::WindowTextOf(field); });
    ui::SetAccessibleName(pathField_, L"Path");
    ui::SetAccessibleName(list_.window(), L"Items");
    ui::SetAccessibleName(reinterpret_cast<HWND>(SendMessageW(list_.window(), LVM_GETHEADER, 0, 0)), L"Columns");
}

void CTolvaneView::Start() {
    model_.StartAt(g_app.settings.lastPath);
    ReportModel();
    RefreshAll();
}

int CTolvaneView::dpi() const {
    // Asked while the view is being made too, before WM_INITDIALOG.
    return dpi_ > 0 ? dpi_ : WindowDpi(m_hWnd);
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
    if (!list_.window() || !locationBox_) return 0;
    RECT view{}, box{};
    GetClientRect(m_hWnd, &view);
    GetWindowRect(locationBox_, &box);
    const int boxHeight = box.bottom - box.top;
    const int top = std::max(itemHeight_, boxHeight);
    const int width = view.right - view.left;
    MoveWindow(locationBox_, 0, 0, width, boxHeight, TRUE);
    MoveWindow(list_.window(), 0, top, width, (view.bottom - view.top) - top, TRUE);
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
    // The window's DC has the system's font, made for the system's DPI.
    const int dpi = this->dpi();
    const int textHeight = MulDiv(TextHeight(m_hWnd), dpi, SystemDpi());
    itemHeight_ = textHeight >= ScaleToDpi(16, dpi) ? textHeight + ScaleToDpi(2, dpi) : ScaleToDpi(18, dpi);
    measure->itemHeight = static_cast<UINT>(itemHeight_);
    return 0;
}

// ---------------------------------------------------------------- drawing

LRESULT CTolvaneView::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlID == IDC_LOCATION_BOX) DrawLocationEntry(*item);
    else if (item->CtlID == IDC_CONTENT_LIST) list_.DrawRow(*item);
    return 0;
}

void CTolvaneView::DrawLocationEntry(const DRAWITEMSTRUCT& item) {
    const LocationEntry* entry = model_.LocationAt(static_cast<int>(item.itemID));
    if (!entry) return;
    const bool inSelectionField = (item.itemState & ODS_COMBOBOXEDIT) != 0;
    const bool highlighted = (item.itemState & ODS_SELECTED) && !inSelectionField;
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const ThemeColors colors = Colors();
    FillRect(dc, &rect, SchemeBrush(highlighted ? colors.highlight : colors.window));
    if (!inSelectionField) rect.left += entry->level * ScaleToDpi(kIndentPerLevel, dpi());
    const int iconSize = SmallIconSize(dpi());
    if (HICON icon = model_.LocationIcon(static_cast<int>(item.itemID)))
        DrawIconEx(dc, rect.left + ScaleToDpi(kRowIconLeft, dpi()), rect.top + (rect.bottom - rect.top - iconSize) / 2,
                   icon, iconSize, iconSize, 0, nullptr, DI_NORMAL);
    rect.left += ScaleToDpi(kRowIconGap, dpi());
    const std::wstring& text = inSelectionField ? entry->path : entry->name;
    SetTextColor(dc, highlighted ? colors.highlightText : colors.windowText);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    // The keyboard is in the box (not in the path field laid over it), or on this entry of its list.
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(dc, &item.rcItem);
}

// ---------------------------------------------------------------- refreshing

void CTolvaneView::RefreshAll(const Selection* before) {
    FillLocationBox();
    RefreshList(before);
}

void CTolvaneView::FillLocationBox() {
    // Drawn once when filled, not once per entry.
    SendMessageW(locationBox_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(locationBox_, CB_RESETCONTENT, 0, 0);
    const int count = model_.LocationCount();
    for (int i = 0; i < count; ++i) {
        // Items are drawn from the model by position; their text is there for screen readers
        // and for finding an entry by typing.
        SendMessageW(locationBox_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(model_.LocationName(i).c_str()));
    }
    SendMessageW(locationBox_, CB_SETCURSEL, model_.currentLocation, 0);
    SendMessageW(locationBox_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(locationBox_, nullptr, TRUE);
}

void CTolvaneView::RefreshList(const Selection* before) {
    list_.Refill(before);
    if (pathField_) {
        const std::wstring path = model_.CurrentLocationPath();
        SetWindowTextW(pathField_, path.c_str());
        SendMessageW(pathField_, EM_SETSEL, 0, static_cast<LPARAM>(path.size()));
        SendMessageW(pathField_, EM_SCROLLCARET, 0, 0);
    }
    history_.Visit(model_.PlacePath());
    TellParent();
}

void CTolvaneView::TellParent() const {
    if (HWND parent = GetParent(m_hWnd)) SendMessageW(parent, WM_VIEW_CHANGED, 0, 0);
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

void CTolvaneView::SortByColumnTitle(const std::wstring& title) {
    const std::vector<std::wstring> titles = model_.ColumnTitles();
    const auto found = std::find(titles.begin(), titles.end(), title);
    if (found == titles.end()) return;
    const Selection before = RememberSelection();
    if (model_.SetSortColumn(static_cast<int>(found - titles.begin()))) RefreshList(&before);
}

LRESULT CTolvaneView::OnGetDisplayInfo(int, LPNMHDR header, BOOL&) {
    list_.FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(header));
    return 0;
}

LRESULT CTolvaneView::OnFindItem(int, LPNMHDR header, BOOL&) {
    return list_.FindRow(*reinterpret_cast<const NMLVFINDITEMW*>(header));
}

bool CTolvaneView::OwnsKey(const MSG& message) const {
    const bool key = message.message == WM_KEYDOWN || message.message == WM_KEYUP || message.message == WM_CHAR;
    if (!key) return false;
    const HWND focus = GetFocus();
    if (pathField_ && message.hwnd == pathField_ && focus == pathField_) return message.wParam != VK_F5;
    // Files are deleted from the list only, never while the keyboard is in the location box.
    return message.wParam == VK_DELETE && message.message != WM_CHAR && focus != list_.window();
}

BOOL CTolvaneView::PreTranslateMessage(MSG* message) {
    if (!m_hWnd) return FALSE;
    if (message->message == WM_KEYDOWN && (message->hwnd == m_hWnd || IsChild(m_hWnd, message->hwnd))) {
        const HWND focus = GetFocus();
        if (message->wParam == VK_RETURN && pathField_ && focus == pathField_) {
            OnPathEntered();
            return TRUE;
        }
        if (message->wParam == VK_RETURN && focus == list_.window()) {
            // Enter opens the focused row, as a double-click does.
            const int focused = list_.FocusedRow();
            if (focused >= 0) ActivateRow(focused);
            return TRUE;
        }
        if (message->wParam == VK_APPS && focus == list_.window()) {
            ShowContextMenu({}, true);
            return TRUE;
        }
        if (message->wParam == 'A' && focus == pathField_ && (GetKeyState(VK_CONTROL) & 0x8000)) {
            SendMessageW(pathField_, EM_SETSEL, 0, -1);
            return TRUE;
        }
        if (message->wParam == VK_TAB && !(GetKeyState(VK_CONTROL) & 0x8000)) {
            MoveFocus((GetKeyState(VK_SHIFT) & 0x8000) != 0);
            return TRUE;
        }
    }
    // The menu key's release would ask for the menu a second time.
    if (message->message == WM_KEYUP && message->wParam == VK_APPS && GetFocus() == list_.window()) return TRUE;
    // Shift+F10 is a system key: F10 alone enters the menu bar.
    if (message->message == WM_SYSKEYDOWN && message->wParam == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000) &&
        GetFocus() == list_.window()) {
        ShowContextMenu({}, true);
        return TRUE;
    }
    return IsDialogMessageW(m_hWnd, message);
}

void CTolvaneView::MoveFocus(bool backwards) {
    // The path field lies inside the location box, where the dialog's own Tab never looks.
    const HWND order[] = {list_.window(), pathField_, locationBox_};
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

LRESULT CTolvaneView::OnDestroy(UINT, WPARAM, LPARAM, BOOL&) {
    list_.SaveColumnWidths();
    if (const auto last = model_.LastPathToStore(); last && last->size() < MAX_PATH)
        CopyToBuffer(g_app.settings.lastPath, MAX_PATH, *last);
    return 0;
}

// ---------------------------------------------------------------- commands

void CTolvaneView::ReportModel() { TellUser(model_.messages().Take()); }

// ---------------------------------------------------------------- menus, keys and the status bar

SelectionFacts CTolvaneView::Facts() const {
    SelectionFacts facts;
    facts.place = model_.InArchive() ? ListPlace::Archive : (model_.ShowsDrives() ? ListPlace::Drives : ListPlace::Folder);
    facts.rows = model_.RowCount();
    facts.selectedRows = static_cast<int>(list_.SelectedPositions().size());
    const std::vector<int> targets = CollectSelection();
    facts.targets = static_cast<int>(targets.size());
    if (const ItemCatalog* catalog = model_.catalog()) {
        facts.archiveWritable = ArchiveCanChange(*catalog);
        facts.archiveName = FileNameOf(catalog->archivePath);
        facts.zipNames = catalog->format.names.codePage != 0;
    } else if (targets.size() == 1) {
        const std::wstring path = model_.RowFullPath(targets.front());
        facts.singleFolder = model_.IsFolderRow(targets.front());
        facts.singleArchiveFile = !facts.singleFolder && IsArchiveFile(path);
        if (facts.singleArchiveFile) facts.archiveName = FileNameOf(path);
        facts.archiveFiles = facts.singleArchiveFile ? 1 : 0;
    } else if (!targets.empty() && targets.size() <= kArchiveFilesLookedAt) {
        const bool all = std::all_of(targets.begin(), targets.end(), [&](int position) {
            return !model_.IsFolderRow(position) && IsArchiveFile(model_.RowFullPath(position));
        });
        facts.archiveFiles = all ? static_cast<int>(targets.size()) : 0;
    }
    if (model_.InArchive() && targets.size() == 1) facts.singleFolder = model_.IsFolderRow(targets.front());
    facts.canGoBack = history_.CanGoBack();
    facts.canGoForward = history_.CanGoForward();
    facts.canGoUp = model_.CanGoUp();
    return facts;
}

std::vector<std::wstring> CTolvaneView::StatusParts() { return statusTexts_.Parts(model_, CollectSelection()); }

LRESULT CTolvaneView::OnSelectionChanged(int, LPNMHDR header, BOOL&) {
    if (header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if (!(change->uChanged & LVIF_STATE) || !((change->uOldState ^ change->uNewState) & LVIS_SELECTED)) return 0;
    }
    if (!selectionSettling_) {
        selectionSettling_ = true;
        PostMessageW(m_hWnd, kSelectionSettledMessage, 0, 0);
    }
    return 0;
}

LRESULT CTolvaneView::OnSelectionSettled(UINT, WPARAM, LPARAM, BOOL&) {
    selectionSettling_ = false;
    TellParent();
    return 0;
}

LRESULT CTolvaneView::OnContextMenu(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    // A right-click on the header: the list passes it on as its own (or the header itself does).
    if (HWND header = list_.window() ? ListView_GetHeader(list_.window()) : nullptr; header && lParam != -1) {
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT area{};
        if (GetWindowRect(header, &area) && PtInRect(&area, at)) {
            ShowColumnMenu(at);
            return 0;
        }
    }
    if (reinterpret_cast<HWND>(wParam) != list_.window()) {
        handled = FALSE;
        return 0;
    }
    // A menu asked for by the keyboard comes with no point.
    const bool fromKeyboard = lParam == -1;
    ShowContextMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, fromKeyboard);
    return 0;
}

void CTolvaneView::ShowContextMenu(POINT screen, bool atFocus) {
    const std::vector<MenuEntry> entries = ContextMenuEntries(Facts());
    if (entries.empty()) return;
    if (atFocus) screen = list_.MenuPointAtFocus();
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    for (const MenuEntry& entry : entries) {
        if (entry.id == 0) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        AppendMenuW(menu, MF_STRING | (entry.enabled ? MF_ENABLED : MF_GRAYED), entry.id, entry.text.c_str());
        if (entry.isDefault) SetMenuDefaultItem(menu, entry.id, FALSE);
    }
    // The frame owns the menu, as it owns the menu bar: it shows the entries' help in the status bar.
    HWND frame = GetParent(m_hWnd);
    SchemePopupMenu(menu);
    const UINT command = static_cast<UINT>(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON |
                                                                    TPM_RETURNCMD, screen.x, screen.y, 0,
                                                          frame ? frame : m_hWnd, nullptr));
    DestroyMenu(menu);
    if (command && frame) SendMessageW(frame, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void CTolvaneView::GoUp() { Navigate(&ContentModel::GoUp); }

void CTolvaneView::Refresh() { Navigate(&ContentModel::Refresh); }

void CTolvaneView::ChooseNameEncoding(unsigned codePage) {
    const ItemCatalog* catalog = model_.catalog();
    if (!catalog || catalog->format.names.codePage == 0) return;
    chooseNameCodePage(catalog->archivePath, codePage);
    RememberNameEncodingChoice(catalog->archivePath, codePage);
    Refresh();
}

void CTolvaneView::Navigate(ViewChange (ContentModel::*step)()) {
    WaitCursor wait;
    const Selection before = RememberSelection();
    const ViewChange change = (model_.*step)();
    ReportModel();
    if (change == ViewChange::Changed) RefreshAll(&before);
}

void CTolvaneView::GoThroughHistory(int steps) {
    const std::optional<std::wstring> target = history_.Target(steps);
    if (!target) return;
    WaitCursor wait;
    const Selection before = RememberSelection();
    const bool shown = model_.ShowPlace(*target);
    ReportModel();
    if (!shown) return;
    history_.Step(steps, model_.PlacePath());
    RefreshAll(&before);
}

void CTolvaneView::OpenSelectedRow() {
    if (const int position = list_.RowToOpen(); position >= 0) ActivateRow(position);
}

void CTolvaneView::SelectAllRows() { list_.SelectAll(); }

void CTolvaneView::FocusPathField() {
    if (!pathField_) return;
    SetFocus(pathField_);
    SendMessageW(pathField_, EM_SETSEL, 0, -1);
}

void CTolvaneView::OpenArchiveFromPicker() {
    wchar_t file[MAX_PATH] = {};
    const std::wstring start = model_.InArchive() ? FolderOf(model_.catalog()->archivePath) : model_.currentFolder;
    OPENFILENAMEW open{};
    open.lStructSize = sizeof(open);
    open.hwndOwner = GetParent(m_hWnd) ? GetParent(m_hWnd) : m_hWnd;
    // Each name and its patterns, ended by a second terminator.
    const std::wstring filter = ResourceString(IDS_ARCHIVES_FILTER) + std::wstring(L"\0*.7z;*.zip;*.rar\0", 18) +
                                ResourceString(IDS_ALL_FILES_FILTER) + std::wstring(L"\0*.*\0", 5);
    open.lpstrFilter = filter.c_str();
    open.lpstrFile = file;
    open.nMaxFile = MAX_PATH;
    open.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
    const std::wstring title = ResourceString(IDS_OPEN_ARCHIVE_CAPTION);
    open.lpstrTitle = title.c_str();
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameW(&open)) return;
    WaitCursor wait;
    const Selection before = RememberSelection();
    const bool shown = model_.OpenArchiveFile(file);
    ReportModel();
    if (shown) RefreshAll(&before);
}

void CTolvaneView::ApplyScheme() {
    HWND list = list_.window();
    if (!list) return;
    // The system draws its grid lines light: in the dark the rows draw their own. The list's
    // background follows with every other control's colours (ApplySchemeToWindow).
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, DarkScheme() ? 0 : LVS_EX_GRIDLINES);
    SchemeListHeader(list);
    InvalidateRect(list, nullptr, TRUE);
    if (locationBox_) InvalidateRect(locationBox_, nullptr, TRUE);
}

void CTolvaneView::ApplyDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_) return;
    const int before = dpi_;
    dpi_ = dpi;
    list_.SetDpi(dpi);  // the columns are made again, their widths kept as at 96 DPI
    // The controls' font (the view's template gave it), at the new size.
    HFONT current = reinterpret_cast<HFONT>(SendMessageW(list_.window(), WM_GETFONT, 0, 0));
    LOGFONTW font{};
    if (current && GetObjectW(current, sizeof(font), &font)) {
        font.lfHeight = MulDiv(font.lfHeight, dpi, before);
        UniqueGdiObject scaled(CreateFontIndirectW(&font));
        if (scaled) {
            const WPARAM handle = reinterpret_cast<WPARAM>(scaled.get());
            for (HWND control : {list_.window(), locationBox_, pathField_})
                if (control) SendMessageW(control, WM_SETFONT, handle, TRUE);
            font_ = std::move(scaled);  // the font before goes once no control uses it
        }
    }
    // The owner-drawn rows and the location box's entries take the new item height: a fixed-
    // height owner-drawn list asks for it again when its frame changes.
    MEASUREITEMSTRUCT measure{};
    BOOL handled = TRUE;
    OnMeasureItem(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure), handled);
    if (locationBox_) {
        SendMessageW(locationBox_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight_);
        SendMessageW(locationBox_, CB_SETITEMHEIGHT, 0, itemHeight_);
    }
    SetWindowPos(list_.window(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    const Selection selection = RememberSelection();
    RefreshList(&selection);
    BOOL sized = TRUE;
    OnSize(WM_SIZE, 0, 0, sized);
}
