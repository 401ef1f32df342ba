#pragma once
// The program's message-map layer: a window class lists the messages it handles, one line
// each, in a map; each line names a typed handler. A handler that leaves `handled` TRUE
// answers the message; everything else falls through to the next line and finally to the
// default handling of the window or dialog.
//
//   BEGIN_MSG_MAP(CMyWindow)
//       MESSAGE_HANDLER(WM_CREATE, OnCreate)          // LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&)
//       COMMAND_ID_HANDLER(IDOK, OnOk)                // LRESULT OnOk(WORD code, WORD id, HWND, BOOL&)
//       NOTIFY_HANDLER(IDC_LIST, NM_DBLCLK, OnDbl)    // LRESULT OnDbl(int id, NMHDR*, BOOL&)
//       CHAIN_MSG_MAP(CBase)
//   END_MSG_MAP()
#include <windows.h>

namespace ui {

// Implemented by every class that has a message map.
class MessageMap {
public:
    virtual ~MessageMap() = default;
    // True when the message was handled; `result` is then its answer.
    virtual bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) = 0;
};

}  // namespace ui

#define BEGIN_MSG_MAP(theClass)                                                                   \
public:                                                                                           \
    bool ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) \
        override {                                                                                \
        BOOL bHandled = TRUE;                                                                     \
        (void)hWnd;                                                                               \
        (void)bHandled;

#define MESSAGE_HANDLER(msg, func)                                  \
    if (uMsg == (msg)) {                                            \
        bHandled = TRUE;                                            \
        lResult = func(uMsg, wParam, lParam, bHandled);             \
        if (bHandled) return true;                                  \
    }

#define COMMAND_ID_HANDLER(id, func)                                                           \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id)) {                                        \
        bHandled = TRUE;                                                                       \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled); \
        if (bHandled) return true;                                                             \
    }

#define COMMAND_RANGE_HANDLER(first, last, func)                                               \
    if (uMsg == WM_COMMAND && LOWORD(wParam) >= (first) && LOWORD(wParam) <= (last)) {        \
        bHandled = TRUE;                                                                       \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled); \
        if (bHandled) return true;                                                             \
    }

#define COMMAND_HANDLER(id, code, func)                                                        \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) {            \
        bHandled = TRUE;                                                                       \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled); \
        if (bHandled) return true;                                                             \
    }

#define NOTIFY_CODE_HANDLER(cd, func)                                                        \
    if (uMsg == WM_NOTIFY && reinterpret_cast<LPNMHDR>(lParam)->code == static_cast<UINT>(cd)) { \
        bHandled = TRUE;                                                                     \
        lResult = func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled); \
        if (bHandled) return true;                                                           \
    }

#define NOTIFY_HANDLER(id, cd, func)                                                          \
    if (uMsg == WM_NOTIFY && reinterpret_cast<LPNMHDR>(lParam)->idFrom == static_cast<UINT_PTR>(id) && \
        reinterpret_cast<LPNMHDR>(lParam)->code == static_cast<UINT>(cd)) {                   \
        bHandled = TRUE;                                                                      \
        lResult = func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled); \
        if (bHandled) return true;                                                            \
    }

#define CHAIN_MSG_MAP(theChainClass)                                                      \
    if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return true;

#define END_MSG_MAP() \
    return false;     \
    }
