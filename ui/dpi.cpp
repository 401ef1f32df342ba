#include "ui/dpi.h"

namespace {

// The per-monitor functions came with Windows 10; elsewhere the system DPI holds for every window.
using GetDpiForWindowFunc = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunc = int(WINAPI*)(int, UINT);
using SetDialogDpiChangeBehaviorFunc = BOOL(WINAPI*)(HWND, int, int);
constexpr int kDialogKeepsAll = 1 | 2 | 4;  // DDC_DISABLE_ALL, DDC_DISABLE_RESIZE, DDC_DISABLE_CONTROL_RELAYOUT

template <class F>
F UserFunction(const char* name) {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    return user ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

}  // namespace

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

int WindowDpi(HWND window) {
    static const auto getDpiForWindow = UserFunction<GetDpiForWindowFunc>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return SystemDpi();
}

int SmallIconSize(int dpi) {
    static const auto metricsForDpi = UserFunction<GetSystemMetricsForDpiFunc>("GetSystemMetricsForDpi");
    if (metricsForDpi) {
        const int size = metricsForDpi(SM_CXSMICON, static_cast<UINT>(dpi));
        if (size > 0) return size;
    }
    return ScaleToDpi(16, dpi);
}

void KeepDialogSizesOnDpiChange(HWND dialog) {
    static const auto setBehavior = UserFunction<SetDialogDpiChangeBehaviorFunc>("SetDialogDpiChangeBehavior");
    if (setBehavior) setBehavior(dialog, kDialogKeepsAll, kDialogKeepsAll);
}
