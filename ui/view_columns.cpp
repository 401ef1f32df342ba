// The view's choice of columns: the header's menu and the "Columns" dialog.
#include <algorithm>

#include "ui/app_globals.h"
#include "ui/columns_dialog.h"
#include "ui/tolvane_view.h"

namespace {

// The menu's ids: a column's id + 1, and "More...".
constexpr UINT kMoreColumns = 100;

}  // namespace

void CTolvaneView::ShowColumns(std::vector<ColumnId> columns) {
    const Selection before = RememberSelection();
    model_.ChooseColumns(std::move(columns));
    RefreshList(&before);
}

void CTolvaneView::ChooseColumns() {
    CColumnsDlg dialog(model_.Kind(), model_.ColumnIds());
    if (dialog.DoModal(g_app.OwnerWindow.load()) == IDOK) ShowColumns(dialog.shown());
}

void CTolvaneView::ShowColumnMenu(POINT screen) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    const std::vector<ColumnId>& shown = model_.ColumnIds();
    for (ColumnId column : AvailableColumns(model_.Kind())) {
        const bool checked = std::find(shown.begin(), shown.end(), column) != shown.end();
        AppendMenuW(menu, MF_STRING | (checked ? MF_CHECKED : 0) | (column == ColumnId::Name ? MF_GRAYED : 0),
                    static_cast<UINT>(column) + 1, ColumnTitle(column));
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kMoreColumns, L"More...");
    if (screen.x == -1 && screen.y == -1) GetCursorPos(&screen);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, 0, m_hWnd, nullptr));
    DestroyMenu(menu);
    if (chosen == kMoreColumns) ChooseColumns();
    else if (chosen >= 1 && chosen <= static_cast<UINT>(kColumnIdCount))
        ShowColumns(ToggleColumn(model_.ColumnIds(), static_cast<ColumnId>(chosen - 1)));
}
