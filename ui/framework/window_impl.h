#pragma once
// A window of a class registered by the program. One static window procedure serves every
// such class; the object is attached to its window at WM_NCCREATE (through the creation
// parameter) and detached at WM_NCDESTROY, after which OnFinalMessage runs.
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
public:
    virtual void OnFinalMessage(HWND) {}

protected:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateWithClass(ATOM atom, HWND parent, const RECT* rect, const wchar_t* title, DWORD style,
                         DWORD exStyle, HMENU menu);
};

}  // namespace ui
