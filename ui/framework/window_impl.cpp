#include "ui/framework/window_impl.h"

#include "ui/app_globals.h"

namespace ui {

ATOM RegisterWindowClassOnce(const WindowClassInfo& info, WNDPROC procedure) {
    WNDCLASSEXW existing{sizeof(existing)};
    if (const BOOL atom = GetClassInfoExW(g_app.instance, info.name, &existing)) return static_cast<ATOM>(atom);
    WNDCLASSEXW wc{sizeof(wc)};
    wc.style = info.style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = g_app.instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = info.background;
    wc.hIcon = info.icon;
    wc.hIconSm = info.smallIcon;
    wc.lpszClassName = info.name;
    return RegisterClassExW(&wc);
}

HWND WindowImplBase::CreateWithClass(ATOM atom, HWND parent, const RECT* rect, const wchar_t* title,
                                     DWORD style, DWORD exStyle, HMENU menu) {
    if (!atom) return nullptr;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, cx = CW_USEDEFAULT, cy = CW_USEDEFAULT;
    if (rect) {
        x = rect->left;
        y = rect->top;
        cx = rect->right - rect->left;
        cy = rect->bottom - rect->top;
    }
    return CreateWindowExW(exStyle, MAKEINTATOM(atom), title, style, x, y, cx, cy, parent, menu, g_app.instance,
                           static_cast<WindowImplBase*>(this));
}

LRESULT CALLBACK WindowImplBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowImplBase* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<WindowImplBase*>(create->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self) self->m_hWnd = window;
    } else {
        self = reinterpret_cast<WindowImplBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);

    LRESULT result = 0;
    if (!self->ProcessWindowMessage(window, message, wParam, lParam, result))
        result = DefWindowProcW(window, message, wParam, lParam);

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
        self->OnFinalMessage(window);
    }
    return result;
}

}  // namespace ui
