#pragma once
// The menus drawn in the colour scheme in use: in the dark scheme the items of the menu bar and of
// its popups (and of the right-click menu) are owner-drawn on the scheme's face, their texts kept
// as they are; otherwise the system draws them.
#include <windows.h>

// The menu bar: owner-drawn items on the scheme's face in the dark scheme, the system's otherwise.
void SchemeMenuBar(HWND frame);
// WM_MEASUREITEM and WM_DRAWITEM of an owner-drawn menu item; false for other items.
bool MeasureSchemeMenuItem(HWND owner, MEASUREITEMSTRUCT& item);
bool DrawSchemeMenuItem(const DRAWITEMSTRUCT& item);
// Makes the items of a popup menu about to open owner-drawn in the dark scheme (the system's
// otherwise); their texts stay theirs.
void SchemePopupMenu(HMENU menu);
// The menu bar right of its last item, which some systems fill with their own colour whatever the
// menu's background: painted after the frame's non-client area.
void PaintMenuBarRest(HWND frame);
// WM_MENUCHAR: the item of `menu` whose access key is `key` (the system finds none in owner-drawn
// items on some versions); the answer for WM_MENUCHAR.
LRESULT SchemeMenuChar(HMENU menu, wchar_t key);
