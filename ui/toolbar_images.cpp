#include "ui/toolbar_images.h"

#include "base/handles.h"
#include "res/resource.h"
#include "ui/app_globals.h"

namespace {

struct Drawing {
    int size;
    UINT resource;
};
constexpr Drawing kDrawings[] = {{32, IDR_MAINFRAME}, {48, IDB_TOOLBAR_48}, {64, IDB_TOOLBAR_64}};

// The background of the drawings, which the image list's mask takes away: the top-left pixel.
COLORREF BackgroundOf(HBITMAP bitmap) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return RGB(192, 192, 192);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF colour = GetPixel(dc, 0, 0);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

}  // namespace

HIMAGELIST MakeToolbarImages(int size, int count) {
    if (size <= 0 || count <= 0) return nullptr;
    const Drawing* drawing = &kDrawings[std::size(kDrawings) - 1];
    for (const Drawing& d : kDrawings)
        if (d.size >= size) {
            drawing = &d;
            break;
        }
    UniqueGdiObject drawn(LoadImageW(g_app.instance, MAKEINTRESOURCEW(drawing->resource), IMAGE_BITMAP, 0, 0,
                                     LR_CREATEDIBSECTION));
    if (!drawn) return nullptr;
    HBITMAP source = static_cast<HBITMAP>(drawn.get());
    const COLORREF background = BackgroundOf(source);
    UniqueGdiObject scaled;
    if (drawing->size != size) {
        HDC screen = GetDC(nullptr);
        HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
        scaled.reset(CreateCompatibleBitmap(screen, size * count, size));
        if (from && to && scaled) {
            HGDIOBJ oldFrom = SelectObject(from, source), oldTo = SelectObject(to, scaled.get());
            SetStretchBltMode(to, HALFTONE);
            SetBrushOrgEx(to, 0, 0, nullptr);
            StretchBlt(to, 0, 0, size * count, size, from, 0, 0, drawing->size * count, drawing->size, SRCCOPY);
            SelectObject(from, oldFrom);
            SelectObject(to, oldTo);
        }
        if (from) DeleteDC(from);
        if (to) DeleteDC(to);
        ReleaseDC(nullptr, screen);
        if (!scaled) return nullptr;
        source = static_cast<HBITMAP>(scaled.get());
    }
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 1);
    if (images && ImageList_AddMasked(images, source, background) < 0) {
        ImageList_Destroy(images);
        return nullptr;
    }
    return images;
}
