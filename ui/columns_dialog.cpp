#include "ui/columns_dialog.h"

#include <algorithm>

#include "res/resource.h"
#include "ui/resource_module.h"

namespace {

int Selected(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }

}  // namespace

std::vector<ColumnId> MoveColumn(std::vector<ColumnId> columns, size_t index, int step) {
    const size_t target = static_cast<size_t>(static_cast<long long>(index) + step);
    if (index == 0 || index >= columns.size() || target == 0 || target >= columns.size()) return columns;
    std::swap(columns[index], columns[target]);
    return columns;
}

std::vector<ColumnId> CColumnsDlg::Hidden() const {
    std::vector<ColumnId> hidden;
    for (ColumnId column : AvailableColumns(kind_))
        if (std::find(shown_.begin(), shown_.end(), column) == shown_.end()) hidden.push_back(column);
    return hidden;
}

void CColumnsDlg::Fill(int selected) {
    const auto fill = [&](int id, const std::vector<ColumnId>& columns) {
        HWND list = GetDlgItem(id);
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (size_t i = 0; i < columns.size(); ++i) {
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ColumnTitle(columns[i])));
            if (static_cast<int>(columns[i]) == selected) SendMessageW(list, LB_SETCURSEL, i, 0);
        }
    };
    fill(IDC_COLUMNS_SHOWN, shown_);
    fill(IDC_COLUMNS_HIDDEN, Hidden());
}

LRESULT CColumnsDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    ui::InitDialogCaption(m_hWnd);
    SetWindowTextW(m_hWnd, ResourceString(IDS_COLUMNS_CAPTION).c_str());
    Fill(-1);
    return TRUE;
}

LRESULT CColumnsDlg::OnShow(WORD, WORD, HWND, BOOL&) {
    const std::vector<ColumnId> hidden = Hidden();
    const int index = Selected(GetDlgItem(IDC_COLUMNS_HIDDEN));
    if (index < 0 || index >= static_cast<int>(hidden.size())) return 0;
    shown_ = ToggleColumn(shown_, hidden[static_cast<size_t>(index)]);
    Fill(static_cast<int>(hidden[static_cast<size_t>(index)]));
    return 0;
}

LRESULT CColumnsDlg::OnHide(WORD, WORD, HWND, BOOL&) {
    const int index = Selected(GetDlgItem(IDC_COLUMNS_SHOWN));
    if (index < 0 || index >= static_cast<int>(shown_.size())) return 0;
    const ColumnId column = shown_[static_cast<size_t>(index)];
    shown_ = ToggleColumn(shown_, column);
    Fill(static_cast<int>(column));
    return 0;
}

LRESULT CColumnsDlg::OnMove(WORD, WORD id, HWND, BOOL&) {
    const int index = Selected(GetDlgItem(IDC_COLUMNS_SHOWN));
    if (index < 0 || index >= static_cast<int>(shown_.size())) return 0;
    const ColumnId column = shown_[static_cast<size_t>(index)];
    shown_ = MoveColumn(shown_, static_cast<size_t>(index), id == IDC_COLUMNS_UP ? -1 : 1);
    Fill(static_cast<int>(column));
    return 0;
}
