#include "ui/find_dialog.h"

#include <commctrl.h>

#include "base/text.h"
#include "catalog/item_catalog.h"
#include "catalog/name_pattern.h"
#include "res/resource.h"
#include "ui/resource_module.h"
#include "ui/wait_cursor.h"

namespace {

std::wstring ControlText(HWND control) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void AddColumn(HWND list, int index, const wchar_t* title, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(title);
    SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

}  // namespace

std::wstring FoundCountText(size_t found) {
    if (found == 0) return ResourceString(IDS_NOTHING_FOUND);
    return found == 1 ? ResourceString(IDS_ONE_FOUND) : ResourceString(IDS_FOUND, {FormatGroupedNumber(found)});
}

LRESULT CFindDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    ui::InitDialogCaption(m_hWnd);
    SetWindowTextW(m_hWnd, ResourceString(IDS_FIND_CAPTION).c_str());
    results_ = ::GetDlgItem(m_hWnd, IDC_FIND_RESULTS);
    SendMessageW(results_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    RECT area{};
    GetClientRect(results_, &area);
    const int width = area.right - area.left - GetSystemMetrics(SM_CXVSCROLL);
    AddColumn(results_, 0, ResourceString(IDS_COLUMN_NAME).c_str(), width * 2 / 5);
    AddColumn(results_, 1, ResourceString(IDS_COLUMN_FOLDER).c_str(), width - width * 2 / 5);
    HWND field = ::GetDlgItem(m_hWnd, IDC_FIND_PATTERN);
    SetWindowTextW(field, pattern_.c_str());
    if (!pattern_.empty()) Search();
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
    return FALSE;
}

void CFindDlg::Search() {
    WaitCursor wait;
    pattern_ = ControlText(::GetDlgItem(m_hWnd, IDC_FIND_PATTERN));
    found_ = FindInTree(tree_, NamePattern(pattern_));
    SendMessageW(results_, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(results_, LVM_SETITEMCOUNT, static_cast<WPARAM>(found_.size()), 0);
    SetDlgItemTextW(m_hWnd, IDC_FIND_COUNT, FoundCountText(found_.size()).c_str());
    if (!found_.empty()) {
        LVITEMW state{};
        state.stateMask = state.state = LVIS_FOCUSED | LVIS_SELECTED;
        SendMessageW(results_, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    }
    EnableWindow(::GetDlgItem(m_hWnd, IDC_FIND_GO), !found_.empty());
}

LRESULT CFindDlg::OnEnter(WORD, WORD, HWND, BOOL&) {
    // Enter in the results goes to the one selected; anywhere else it searches.
    if (GetFocus() == results_ && !found_.empty()) GoToSelected();
    else Search();
    return 0;
}

void CFindDlg::GoToSelected() {
    GoTo(static_cast<int>(SendMessageW(results_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
}

void CFindDlg::GoTo(int result) {
    if (result < 0 || static_cast<size_t>(result) >= found_.size()) return;
    const ArchiveTree::NodeId node = found_[static_cast<size_t>(result)];
    // The archive read again meanwhile (an entry put back while the dialog was up): search anew.
    if (node >= tree_.NodeCount()) {
        Search();
        return;
    }
    chosen_ = FoundEntry{FolderPathOf(tree_, node), std::wstring(tree_[node].nameView())};
    EndDialog(IDOK);
}

LRESULT CFindDlg::OnDoubleClick(int, LPNMHDR header, BOOL&) {
    GoTo(reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem);
    return 0;
}

LRESULT CFindDlg::OnGetDisplayInfo(int, LPNMHDR header, BOOL&) {
    auto& info = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
    if (!(info.mask & LVIF_TEXT) || !info.pszText || info.cchTextMax <= 0) return 0;
    if (info.iItem < 0 || static_cast<size_t>(info.iItem) >= found_.size()) return 0;
    const ArchiveTree::NodeId node = found_[static_cast<size_t>(info.iItem)];
    if (node >= tree_.NodeCount()) return 0;
    cellText_ = info.iSubItem == 0 ? std::wstring(tree_[node].nameView()) : FolderPathOf(tree_, node);
    CopyToBuffer(info.pszText, static_cast<size_t>(info.cchTextMax), cellText_);
    return 0;
}
