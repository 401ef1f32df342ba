#pragma once
// Where the main window opens: its stored placement put back, or a first size made for the
// screen's DPI. The stored placement keeps the window's size as it would be at 96 DPI (its
// position as the system gives it), so that the window keeps its look on a screen of another DPI.
// A placement's rectangle is in work-area coordinates: (0, 0) is the corner of the monitor's area
// that no taskbar covers.
#include <windows.h>

#include "ui/settings.h"

// The window's size at a first start, at 96 DPI.
inline constexpr SIZE kFirstWindowSize{840, 520};

// `rect` with its corner kept and its width and height scaled from `fromDpi` to `toDpi`.
RECT ScaleRectSize(const RECT& rect, int fromDpi, int toDpi);
// A rectangle in work-area coordinates on the screen, for a monitor and its work area.
RECT WorkAreaToScreen(const RECT& rect, const RECT& monitor, const RECT& workArea);
// The first size at `dpi`, no larger than the work area.
SIZE FirstWindowSize(int dpi, const RECT& workArea);

// The rectangle on the screen where the window is made, so that it is made on the monitor
// (and at the DPI) where its placement puts it; null for a first start.
bool CreationRect(const AppSettings& settings, RECT& screen);
// Puts the window where the settings say (a first start: the first size on its screen), and
// returns the show command stored (SW_SHOWNORMAL for none). Called while the window is made.
UINT PlaceMainWindow(HWND window, const AppSettings& settings);
// Keeps the window's placement in the settings (sizes as at 96 DPI).
void RememberPlacement(HWND window, AppSettings& settings);
