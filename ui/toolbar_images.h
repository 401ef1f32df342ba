#pragma once
// The toolbar's button images at the size a screen needs: drawn for 32, 48 and 64 pixels,
// other sizes scaled down from the next larger drawing.
#include <windows.h>
#include <commctrl.h>

// An image list of `count` images of `size` pixels (the caller destroys it); null on failure.
HIMAGELIST MakeToolbarImages(int size, int count);
