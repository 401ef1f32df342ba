#include "ui/password_dialog.h"

#include <cstring>

#include "base/text.h"
#include "res/resource.h"
#include "ui/app_globals.h"
#include "ui/progress_window.h"

namespace {

constexpr int kPasswordCapacity = 100;  // units, terminator included
// The text of the last confirmed prompt, kept for the life of the process.
wchar_t g_passwordBuffer[kPasswordCapacity];

INT_PTR CALLBACK PasswordDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        InitDialogCaption(dialog);
        SendDlgItemMessageW(dialog, IDC_PASSWORD_EDIT, EM_LIMITTEXT, kPasswordCapacity - 1, 0);
        return TRUE;  // the focus goes to the first control, the edit field
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            GetDlgItemTextW(dialog, IDC_PASSWORD_EDIT, g_passwordBuffer, kPasswordCapacity);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

void InitDialogCaption(HWND dialog) {
    SetWindowTextW(dialog, kDisplayName);
    // The shared icon of the module: not destroyed, owned by the system.
    HICON icon = static_cast<HICON>(LoadImageW(g_app.instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_SHARED));
    if (icon) SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

bool AskPassword(std::string& passwordUtf8) {
    passwordUtf8.clear();
    const INT_PTR result = RunPrompt([](HWND owner) {
        return DialogBoxParamW(g_app.instance, MAKEINTRESOURCEW(IDD_PASSWORD), owner, PasswordDialogProc, 0);
    });
    if (result != IDOK) return false;
    g_passwordBuffer[kPasswordCapacity - 1] = L'\0';
    auto utf8 = WideToUtf8(g_passwordBuffer);
    if (!utf8) return false;  // an unpaired surrogate cannot be a password for the engine
    passwordUtf8 = std::move(*utf8);
    return true;
}
