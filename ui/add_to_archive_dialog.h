#pragma once
// The "Add To Archive" dialog: names an archive (new or existing) and an optional password,
// then adds the pending files and folders to it. Opened by the view's Add command and by the
// shell's "Add to archive..." verb, whose later runs hand their paths to the open dialog.
#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "ui/framework/dialog_impl.h"

class CAddToArchiveDlg : public ui::DialogImpl<CAddToArchiveDlg> {
public:
    enum { IDD = IDD_ADD_TO_ARCHIVE };

    // `paths` are added to the archive the user names, proposed as `proposedArchive`; the
    // Browse button opens in `startFolder`.
    CAddToArchiveDlg(std::vector<std::wstring> paths, std::wstring proposedArchive, std::wstring startFolder);

    BEGIN_MSG_MAP(CAddToArchiveDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_COPYDATA, OnCopyData)
        COMMAND_ID_HANDLER(IDC_BROWSE, OnBrowse)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCopyData(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnBrowse(WORD, WORD, HWND, BOOL&);
    LRESULT OnOk(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

    std::vector<std::wstring> pendingFiles_;  // grows with the paths later runs hand over
    std::wstring proposedArchive_;
    std::wstring startFolder_;
    bool closing_ = false;
};

// The dialog's caption, by which later "Add to archive..." runs find it.
std::wstring AddDialogCaption();

// Entry of the view's Add command: the full paths of the selected items, in list order.
// Returns after the dialog has closed: true when it ended with OK.
bool AddFromSelection(const std::vector<std::wstring>& paths);

// Entry of the option /a: `argument` is the rest of the command line after "/a " (the quoted
// path). The first run shows the dialog; later runs hand their path to it and end.
bool AddFromCommandLine(const std::wstring& argument);
