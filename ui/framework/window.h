#pragma once
// A window handle with the few operations the program uses on its own windows.
#include <windows.h>

namespace ui {

class Window {
public:
    HWND m_hWnd = nullptr;

    Window() = default;
    explicit Window(HWND window) : m_hWnd(window) {}
    operator HWND() const { return m_hWnd; }
    bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }
};

}  // namespace ui
