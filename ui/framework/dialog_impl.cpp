#include "ui/framework/dialog_impl.h"

#include <utility>

#include "res/resource.h"
#include "ui/accessible_names.h"
#include "ui/app_globals.h"
#include "ui/resource_module.h"
#include "ui/scheme_painting.h"
#include "ui/theme.h"

namespace ui {

namespace {

// The object whose dialog this thread is creating, until its dialog procedure sees the first
// message of that dialog.
thread_local DialogImplBase* t_creating = nullptr;

}  // namespace

INT_PTR DialogImplBase::DoModal(HWND owner) {
    DialogImplBase* const outer = std::exchange(t_creating, this);
    const INT_PTR result = DialogBoxIndirectParamW(g_app.instance, DialogTemplate(templateId_), owner, DialogProc, 0);
    t_creating = outer;
    return result;
}

HWND DialogImplBase::Create(HWND parent) {
    DialogImplBase* const outer = std::exchange(t_creating, this);
    HWND dialog = CreateDialogIndirectParamW(g_app.instance, DialogTemplate(templateId_), parent, DialogProc, 0);
    t_creating = outer;
    return dialog;
}

INT_PTR CALLBACK DialogImplBase::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<DialogImplBase*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self && t_creating) {
        self = std::exchange(t_creating, nullptr);
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->m_hWnd = dialog;
    }
    if (!self) return FALSE;

    LRESULT result = 0;
    const bool handled = self->ProcessWindowMessage(dialog, message, wParam, lParam, result);
    // Every control of every dialog reads a name to screen readers (from its label), and its
    // focus rectangle shows from the start, not only after a key has been pressed.
    if (message == WM_INITDIALOG) {
        NameControlsByLabels(dialog);
        SendMessageW(dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    // Every dialog is drawn in the colour scheme in use; its own handlers come first.
    if (message == WM_INITDIALOG && DarkScheme()) ApplySchemeToWindow(dialog);
    if (!handled) {
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
            return reinterpret_cast<INT_PTR>(ControlColors(message, reinterpret_cast<HDC>(wParam)));
        if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == NM_CUSTOMDRAW) {
            const LRESULT draw = SchemeButtonDraw(*reinterpret_cast<NMCUSTOMDRAW*>(lParam));
            if (draw == CDRF_DODEFAULT) return FALSE;
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, draw);
            return TRUE;
        }
        return FALSE;
    }
    switch (message) {
    // These messages return their answer directly from the dialog procedure.
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return static_cast<INT_PTR>(result);
    default:
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

void InitDialogCaption(HWND dialog) {
    SetWindowTextW(dialog, kDisplayName);
    // The shared icon of the module: not destroyed, owned by the system.
    HICON icon = static_cast<HICON>(LoadImageW(g_app.instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_SHARED));
    if (icon) SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

std::wstring DialogItemText(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    const int length = control ? GetWindowTextLengthW(control) : 0;
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

}  // namespace ui
