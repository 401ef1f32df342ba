#include "ui/framework/dialog_impl.h"

#include "ui/app_globals.h"

namespace ui {

INT_PTR DialogImplBase::DoModal(HWND owner) {
    return DialogBoxParamW(g_app.instance, MAKEINTRESOURCEW(templateId_), owner, DialogProc,
                           reinterpret_cast<LPARAM>(static_cast<DialogImplBase*>(this)));
}

HWND DialogImplBase::Create(HWND parent) {
    return CreateDialogParamW(g_app.instance, MAKEINTRESOURCEW(templateId_), parent, DialogProc,
                              reinterpret_cast<LPARAM>(static_cast<DialogImplBase*>(this)));
}

INT_PTR CALLBACK DialogImplBase::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogImplBase* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<DialogImplBase*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        if (self) self->m_hWnd = dialog;
    } else {
        self = reinterpret_cast<DialogImplBase*>(GetWindowLongPtrW(dialog, DWLP_USER));
    }
    if (!self) return FALSE;

    LRESULT result = 0;
    const bool handled = self->ProcessWindowMessage(dialog, message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    if (!handled) return FALSE;
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

}  // namespace ui
