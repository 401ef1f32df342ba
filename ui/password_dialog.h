#pragma once
// The password prompt (template 205): it names the archive the password is for, says so when
// the password given before was wrong, and shows the typed characters while "Show password" is
// checked.
#include <windows.h>

#include <string>

#include "res/resource.h"
#include "ui/framework/dialog_impl.h"

class CPasswordDlg : public ui::DialogImpl<CPasswordDlg> {
public:
    enum { IDD = IDD_PASSWORD };
    static constexpr int kCapacity = 100;  // units, terminator included

    // `archiveName` (may be empty) is named in the prompt; `again`: the last password was wrong.
    CPasswordDlg(std::wstring archiveName = {}, bool again = false)
        : archiveName_(std::move(archiveName)), again_(again) {}

    // The text of the last OK (at most 99 characters); empty before.
    const wchar_t* password() const { return password_; }

    BEGIN_MSG_MAP(CPasswordDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDC_PASSWORD_SHOW, OnShowPassword)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnShowPassword(WORD, WORD, HWND, BOOL&);
    LRESULT OnOk(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

    std::wstring archiveName_;
    bool again_ = false;
    wchar_t password_[kCapacity] = {};
};

// What the prompt asks: "Enter password for <archive>:", led by "Wrong password." when the one
// given before was wrong; "Enter password:" when no archive is named.
std::wstring PasswordPromptText(const std::wstring& archiveName, bool again);

// Shows the characters typed into a password field (`show`), or hides them again.
void ShowTypedPassword(HWND field, bool show);

// Shows the password prompt where prompts belong (on the UI thread above the progress window
// that waits for it, else owned by `OwnerWindow` on the calling thread). On OK returns true
// with the typed password as UTF-8; on Cancel (or when the dialog cannot open) returns false
// and leaves `passwordUtf8` empty.
bool AskPassword(std::string& passwordUtf8, const std::wstring& archiveName = {}, bool again = false);
