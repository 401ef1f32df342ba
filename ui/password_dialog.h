#pragma once
// The password prompt (template 205).
#include <windows.h>

#include <string>

#include "res/resource.h"
#include "ui/framework/dialog_impl.h"

class CPasswordDlg : public ui::DialogImpl<CPasswordDlg> {
public:
    enum { IDD = IDD_PASSWORD };
    static constexpr int kCapacity = 100;  // units, terminator included

    // The text of the last OK (at most 99 characters); empty before.
    const wchar_t* password() const { return password_; }

    BEGIN_MSG_MAP(CPasswordDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnOk(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

    wchar_t password_[kCapacity] = {};
};

// Shows the password prompt where prompts belong (on the UI thread above the progress window
// that waits for it, else owned by `OwnerWindow` on the calling thread). On OK returns true
// with the typed password as UTF-8; on Cancel (or when the dialog cannot open) returns false
// and leaves `passwordUtf8` empty.
bool AskPassword(std::string& passwordUtf8);
