#pragma once
// "Find in archive": the entries of every folder of the open archive whose names match a pattern
// (catalog/name_pattern), listed with their folders. Enter or a double-click on a result (or "Go
// to") ends the dialog with that entry, which the view then shows selected in its folder.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "catalog/archive_tree.h"
#include "res/resource.h"
#include "ui/framework/dialog_impl.h"

// The entry a search went to: its folder inside the archive (empty = the root) and its name.
struct FoundEntry {
    std::wstring folder;
    std::wstring name;
};

class CFindDlg : public ui::DialogImpl<CFindDlg> {
public:
    enum { IDD = IDD_FIND };
    // `pattern` is shown first and searched for at once when not empty; it holds the last
    // pattern searched for when the dialog ends.
    CFindDlg(const ArchiveTree& tree, std::wstring& pattern) : tree_(tree), pattern_(pattern) {}
    const std::optional<FoundEntry>& chosen() const { return chosen_; }

    BEGIN_MSG_MAP(CFindDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnEnter)
        COMMAND_ID_HANDLER(IDC_FIND_GO, OnGo)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
        NOTIFY_HANDLER(IDC_FIND_RESULTS, LVN_GETDISPINFOW, OnGetDisplayInfo)
        NOTIFY_HANDLER(IDC_FIND_RESULTS, NM_DBLCLK, OnDoubleClick)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEnter(WORD, WORD, HWND, BOOL&);
    LRESULT OnGo(WORD, WORD, HWND, BOOL&) {
        GoToSelected();
        return 0;
    }
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&) {
        EndDialog(IDCANCEL);
        return 0;
    }
    LRESULT OnGetDisplayInfo(int, LPNMHDR header, BOOL&);
    LRESULT OnDoubleClick(int, LPNMHDR header, BOOL&);
    void Search();
    void GoTo(int result);
    void GoToSelected();

    const ArchiveTree& tree_;
    std::wstring& pattern_;
    std::vector<ArchiveTree::NodeId> found_;
    HWND results_ = nullptr;
    mutable std::wstring cellText_;  // the text handed to the list last, kept until it asks again
    std::optional<FoundEntry> chosen_;
};

// What the dialog says about a search's results.
std::wstring FoundCountText(size_t found);
