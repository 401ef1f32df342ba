#include "ui/password_dialog.h"

#include "base/text.h"
#include "res/resource.h"
#include "ui/progress_window.h"
#include "ui/resource_module.h"

std::wstring PasswordPromptText(const std::wstring& archiveName, bool again) {
    const std::wstring ask =
        archiveName.empty() ? ResourceString(IDS_ENTER_PASSWORD) : ResourceString(IDS_ENTER_PASSWORD_FOR, {archiveName});
    return again ? ResourceString(IDS_WRONG_PASSWORD, {ask}) : ask;
}

LRESULT CPasswordDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    ui::InitDialogCaption(m_hWnd);
    SetDlgItemTextW(m_hWnd, IDC_PASSWORD_PROMPT, PasswordPromptText(archiveName_, again_).c_str());
    SendDlgItemMessageW(m_hWnd, IDC_PASSWORD_EDIT, EM_LIMITTEXT, kCapacity - 1, 0);
    return TRUE;  // the focus goes to the first control that takes it, the edit field
}

void ShowTypedPassword(HWND field, bool show) {
    // The system's own mask character, read before it is lifted, comes back when hidden again.
    static wchar_t mask = 0;
    const auto current = static_cast<wchar_t>(SendMessageW(field, EM_GETPASSWORDCHAR, 0, 0));
    if (current != 0) mask = current;
    SendMessageW(field, EM_SETPASSWORDCHAR, show ? 0 : (mask ? mask : L'*'), 0);
    InvalidateRect(field, nullptr, TRUE);
}

LRESULT CPasswordDlg::OnShowPassword(WORD, WORD, HWND, BOOL&) {
    ShowTypedPassword(::GetDlgItem(m_hWnd, IDC_PASSWORD_EDIT),
                      IsDlgButtonChecked(m_hWnd, IDC_PASSWORD_SHOW) == BST_CHECKED);
    return 0;
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

bool AskPassword(std::string& passwordUtf8, const std::wstring& archiveName, bool again) {
    passwordUtf8.clear();
    CPasswordDlg dialog(archiveName, again);
    if (RunPrompt([&](HWND owner) { return dialog.DoModal(owner); }) != IDOK) return false;
    auto utf8 = WideToUtf8(dialog.password());
    if (!utf8) return false;  // an unpaired surrogate cannot be a password for the engine
    passwordUtf8 = std::move(*utf8);
    return true;
}
