#include "ui/window_placement.h"

#include <algorithm>

#include "ui/dpi.h"

RECT ScaleRectSize(const RECT& rect, int fromDpi, int toDpi) {
    RECT scaled = rect;
    scaled.right = rect.left + MulDiv(rect.right - rect.left, toDpi, fromDpi);
    scaled.bottom = rect.top + MulDiv(rect.bottom - rect.top, toDpi, fromDpi);
    return scaled;
}

RECT WorkAreaToScreen(const RECT& rect, const RECT& monitor, const RECT& workArea) {
    RECT screen = rect;
    OffsetRect(&screen, workArea.left - monitor.left, workArea.top - monitor.top);
    return screen;
}

SIZE FirstWindowSize(int dpi, const RECT& workArea) {
    return {std::min<LONG>(ScaleToDpi(kFirstWindowSize.cx, dpi), workArea.right - workArea.left),
            std::min<LONG>(ScaleToDpi(kFirstWindowSize.cy, dpi), workArea.bottom - workArea.top)};
}

namespace {

bool MonitorAreas(HMONITOR monitor, RECT& whole, RECT& work) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!monitor || !GetMonitorInfoW(monitor, &info)) return false;
    whole = info.rcMonitor;
    work = info.rcWork;
    return true;
}

}  // namespace

bool CreationRect(const AppSettings& settings, RECT& screen) {
    if (!settings.placementValid) return false;
    const RECT& stored = settings.placement.rcNormalPosition;
    RECT whole{}, work{};
    if (!MonitorAreas(MonitorFromRect(&stored, MONITOR_DEFAULTTONEAREST), whole, work)) return false;
    // Made at 96-DPI size; the placement sizes it for its screen's DPI once the window exists.
    screen = WorkAreaToScreen(stored, whole, work);
    return true;
}

UINT PlaceMainWindow(HWND window, const AppSettings& settings) {
    const int dpi = WindowDpi(window);
    if (settings.placementValid) {
        WINDOWPLACEMENT placement = settings.placement;
        placement.length = sizeof(placement);
        placement.rcNormalPosition = ScaleRectSize(placement.rcNormalPosition, kBaseDpi, dpi);
        const UINT shown = placement.showCmd;
        // The window is still hidden: the rectangle is applied, the window shown by its maker.
        placement.showCmd = SW_HIDE;
        placement.flags = 0;
        SetWindowPlacement(window, &placement);
        return shown;
    }
    RECT whole{}, work{};
    if (!MonitorAreas(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), whole, work)) return SW_SHOWNORMAL;
    const SIZE size = FirstWindowSize(dpi, work);
    RECT now{};
    GetWindowRect(window, &now);
    // Kept where the system put it, moved back into the work area where the new size would leave it.
    const int left = std::max<int>(work.left, std::min<int>(now.left, work.right - size.cx));
    const int top = std::max<int>(work.top, std::min<int>(now.top, work.bottom - size.cy));
    SetWindowPos(window, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    return SW_SHOWNORMAL;
}

void RememberPlacement(HWND window, AppSettings& settings) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    const BOOL read = GetWindowPlacement(window, &placement);
    if (read) {
        placement.rcNormalPosition = ScaleRectSize(placement.rcNormalPosition, WindowDpi(window), kBaseDpi);
        settings.placement = placement;
    }
    settings.placementValid = read ? 1 : 0;
}
