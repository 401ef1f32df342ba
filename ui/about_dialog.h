#pragma once
#include "res/resource.h"
#include "ui/framework/dialog_impl.h"

// The about box: centred over its owner, closed by OK or Cancel.
class CAboutDlg : public ui::DialogImpl<CAboutDlg> {
public:
    enum { IDD = IDD_ABOUTBOX };

    BEGIN_MSG_MAP(CAboutDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnCloseCommand)
        COMMAND_ID_HANDLER(IDCANCEL, OnCloseCommand)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCloseCommand(WORD, WORD id, HWND, BOOL&) {
        EndDialog(id);
        return 0;
    }
};

// Places `window` over the middle of its owner (or of the screen's work area).
void CenterOverOwner(HWND window);
