#include "ui/framework/window_impl.h"

#include <utility>

#include "ui/app_globals.h"

namespace ui {

namespace {

// The object whose window this thread is creating, until its window procedure sees the first
// message of that window.
thread_local WindowImplBase* t_creating = nullptr;

}  // namespace

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
    WindowImplBase* const outer = std::exchange(t_creating, this);
    HWND window = CreateWindowExW(exStyle, MAKEINTATOM(atom), title, style, x, y, cx, cy, parent, menu,
                                  g_app.instance, nullptr);
    t_creating = outer;
    return window;
}

LRESULT CALLBACK WindowImplBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<WindowImplBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self && t_creating) {
        self = std::exchange(t_creating, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_hWnd = window;
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);

    LRESULT result = 0;
    if (!self->ProcessWindowMessage(window, message, wParam, lParam, result))
        result = DefWindowProcW(window, message, wParam, lParam);

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
    }
    return result;
}

}  // namespace ui
