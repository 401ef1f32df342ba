#include "ui/password_dialog.h"

#include "base/text.h"
#include "ui/progress_window.h"

LRESULT CPasswordDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    ui::InitDialogCaption(m_hWnd);
    SendDlgItemMessageW(m_hWnd, IDC_PASSWORD_EDIT, EM_LIMITTEXT, kCapacity - 1, 0);
    return TRUE;  // the focus goes to the first control, the edit field
}

LRESULT CPasswordDlg::OnOk(WORD, WORD, HWND, BOOL&) {
    GetDlgItemTextW(m_hWnd, IDC_PASSWORD_EDIT, password_, kCapacity);
    EndDialog(IDOK);
    return 0;
}

LRESULT CPasswordDlg::OnCancel(WORD, WORD, HWND, BOOL&) {
    EndDialog(IDCANCEL);
    return 0;
}

bool AskPassword(std::string& passwordUtf8) {
    passwordUtf8.clear();
    CPasswordDlg dialog;
    if (RunPrompt([&](HWND owner) { return dialog.DoModal(owner); }) != IDOK) return false;
    auto utf8 = WideToUtf8(dialog.password());
    if (!utf8) return false;  // an unpaired surrogate cannot be a password for the engine
    passwordUtf8 = std::move(*utf8);
    return true;
}
