#pragma once
// A window of a class registered by the program. One static window procedure serves every
// such class. The object is attached to its window on the window's very first message (the
// creating thread names it in a thread-local "being created" pointer just before it creates
// the window), so that WM_GETMINMAXINFO and WM_NCCREATE reach its map too; it is detached at
// WM_NCDESTROY.
#include <windows.h>

#include "ui/framework/message_map.h"
#include "ui/framework/window.h"

namespace ui {

struct WindowClassInfo {
    const wchar_t* name;
    UINT style;
    HBRUSH background;
    HICON icon;
    HICON smallIcon;
};

// Registers the class once per process; returns its atom (0 on failure).
ATOM RegisterWindowClassOnce(const WindowClassInfo& info, WNDPROC procedure);

class WindowImplBase : public Window, public MessageMap {
protected:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateWithClass(ATOM atom, HWND parent, const RECT* rect, const wchar_t* title, DWORD style,
                         DWORD exStyle, HMENU menu);
};

}  // namespace ui
