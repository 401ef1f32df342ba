#pragma once
// "Columns": the columns of the view shown and not shown, to pick and order them. The name stays
// first and shown.
#include <windows.h>

#include <vector>

#include "res/resource.h"
#include "ui/column_choice.h"
#include "ui/framework/dialog_impl.h"

class CColumnsDlg : public ui::DialogImpl<CColumnsDlg> {
public:
    enum { IDD = IDD_COLUMNS };
    CColumnsDlg(ViewKind kind, std::vector<ColumnId> shown) : kind_(kind), shown_(std::move(shown)) {}
    // The columns chosen, in order (after OK).
    const std::vector<ColumnId>& shown() const { return shown_; }

    BEGIN_MSG_MAP(CColumnsDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDC_COLUMNS_SHOW, OnShow)
        COMMAND_HANDLER(IDC_COLUMNS_HIDDEN, LBN_DBLCLK, OnShow)  // a double-click moves a column across
        COMMAND_HANDLER(IDC_COLUMNS_SHOWN, LBN_DBLCLK, OnHide)
        COMMAND_ID_HANDLER(IDC_COLUMNS_HIDE, OnHide)
        COMMAND_ID_HANDLER(IDC_COLUMNS_UP, OnMove)
        COMMAND_ID_HANDLER(IDC_COLUMNS_DOWN, OnMove)
        COMMAND_ID_HANDLER(IDOK, OnClose)
        COMMAND_ID_HANDLER(IDCANCEL, OnClose)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnShow(WORD, WORD, HWND, BOOL&);
    LRESULT OnHide(WORD, WORD, HWND, BOOL&);
    LRESULT OnMove(WORD, WORD id, HWND, BOOL&);
    LRESULT OnClose(WORD, WORD id, HWND, BOOL&) {
        EndDialog(id);
        return 0;
    }
    std::vector<ColumnId> Hidden() const;
    // Fills both lists, the column `selected` selected in the one that holds it.
    void Fill(int selected);

    ViewKind kind_;
    std::vector<ColumnId> shown_;
};

// The columns with the one at `index` moved by `step` places; the name stays first.
std::vector<ColumnId> MoveColumn(std::vector<ColumnId> columns, size_t index, int step);
