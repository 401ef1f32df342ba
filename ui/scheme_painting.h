#pragma once
// The parts of the main window that the system draws light whatever it is asked, drawn in the
// colour scheme in use: the menu bar's items, the toolbar's buttons, the rebar, the status bar
// and the list's header. In the light scheme and under High Contrast they are left to the system.
#include <windows.h>
#include <commctrl.h>

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

// The toolbar's NM_CUSTOMDRAW.
LRESULT SchemeToolbarDraw(NMTBCUSTOMDRAW& draw);
// A push button's NM_CUSTOMDRAW, for the dialog that holds it.
LRESULT SchemeButtonDraw(NMCUSTOMDRAW& draw);
// The rebar's and the status bar's colours; the header of `list` drawn in the scheme.
void SchemeReBar(HWND rebar);
void SchemeStatusBar(HWND statusBar);
void SchemeListHeader(HWND list);
// The border of an edit, a list or a box (and a box's button) drawn in the scheme.
void SchemeEdges(HWND window);
// A progress bar drawn in the scheme.
void SchemeProgressBar(HWND bar);
