#pragma once
// The colour scheme in use, as Windows' settings give it (the app mode, High Contrast), and the
// means by which windows follow it: brushes of its colours, the answer to WM_CTLCOLOR*, and the
// parts that the system draws (title bar, scroll bars) switched where Windows offers it.
#include <windows.h>

#include "ui/theme_colors.h"

// The scheme and its colours in use now (read from the system on first use). Dialogs that a
// worker thread shows read them too.
ColorScheme CurrentScheme();
ThemeColors Colors();
inline bool DarkScheme() { return CurrentScheme() == ColorScheme::Dark; }
// Reads Windows' choices again; true when the scheme changed.
bool RefreshScheme();
// A WM_SETTINGCHANGE that may change the scheme: of the app mode ("ImmersiveColorSet"), of High
// Contrast or of the system's colours.
bool IsSchemeSettingChange(WPARAM wParam, LPARAM lParam);

// A solid brush of `color`, owned here for the whole run.
HBRUSH SchemeBrush(COLORREF color);
// The answer to WM_CTLCOLOR*: the dark scheme's colours set on `dc` and their brush; null in the
// other schemes, for the default handling.
HBRUSH ControlColors(UINT message, HDC dc);
// The title bar of a top-level `window` and the system-drawn parts of it and its children follow
// the scheme where Windows offers it (harmless elsewhere).
void ApplySchemeToWindow(HWND window);
