#pragma once
// Sizes for the screen a window is on. The program is aware of each monitor's DPI: every size
// it draws or lays out in pixels is given for 96 DPI and scaled to the window's DPI.
#include <windows.h>

constexpr int kBaseDpi = 96;

// The DPI of the monitor the window is on (the system's DPI where the system cannot tell per
// window).
int WindowDpi(HWND window);
// `pixels` at 96 DPI, at `dpi`.
inline int ScaleToDpi(int pixels, int dpi) { return MulDiv(pixels, dpi, kBaseDpi); }
// `pixels` at `dpi`, at 96 DPI.
inline int ScaleFromDpi(int pixels, int dpi) { return MulDiv(pixels, kBaseDpi, dpi); }
// The DPI that the system's fonts and metrics were made for.
int SystemDpi();
// The side of a small icon at `dpi` (16 pixels at 96 DPI).
int SmallIconSize(int dpi);
// Tells the system not to resize a dialog and its font itself when its DPI changes: the
// program does it.
void KeepDialogSizesOnDpiChange(HWND dialog);
