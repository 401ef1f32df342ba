#pragma once
// The controls that the system draws light whatever it is asked, drawn in the colour scheme in
// use: the toolbar's buttons, the rebar, the status bar, the list's header, the borders of edits,
// lists and boxes, progress bars, push buttons and check boxes. In the light scheme and under High
// Contrast they are left to the system.
#include <windows.h>
#include <commctrl.h>

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
// A tick (or a radio dot) centred in `room`.
void DrawCheckMark(HDC dc, const RECT& room, COLORREF color, bool radio);
