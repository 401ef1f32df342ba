#pragma once
// The colours the program draws with, in one table: the system's own colours in the light
// scheme and under High Contrast, fixed dark colours when Windows' apps are dark.
#include <windows.h>

enum class ColorScheme { Light, Dark, HighContrast };

struct ThemeColors {
    COLORREF window;         // the list, edits, the location box
    COLORREF windowText;
    COLORREF face;           // dialogs, the bars, the menu bar
    COLORREF faceText;
    COLORREF highlight;      // selected rows, the menu item under the mouse
    COLORREF highlightText;
    COLORREF grayText;       // what cannot be used now
    COLORREF line;           // grid lines, borders and dividers
    COLORREF hot;            // a button or a header item under the mouse
};

// High Contrast wins over the app mode: its colours are the user's, and the system's.
ColorScheme SchemeFor(bool highContrast, bool appsUseLightTheme);
ThemeColors ColorsOf(ColorScheme scheme);
