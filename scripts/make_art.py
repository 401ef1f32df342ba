#!/usr/bin/env python3
"""Draws the program's icon (tolvane.ico, nine images) and the toolbar bitmaps
(toolbar.bmp, three 32x32 cells, 8 bits per pixel; toolbar48.bmp and toolbar64.bmp, the same
at 48 and 64 pixels for screens of 144 and 192 DPI) from geometric shapes.

The output depends only on this script, so every build produces the same bytes.
Usage: make_art.py <output folder>
"""
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------- rasteriser

def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        c = False
        n = len(points)
        j = n - 1
        for i in range(n):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                c = not c
            j = i
        return c
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def thick_line(ax, ay, bx, by, w):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy
    def inside(x, y):
        t = clamp(((x - ax) * dx + (y - ay) * dy) / ll)
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (w / 2) ** 2
    return inside


def render(shapes, size, samples):
    """shapes: list of (inside(x, y) in unit coords, colour(x, y) -> (r, g, b, a))."""
    out = []
    step = 1.0 / samples
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) * step) / size
                    y = (py + (sy + 0.5) * step) / size
                    col = (0, 0, 0, 0)
                    for inside, colour in shapes:
                        if inside(x, y):
                            c = colour(x, y)
                            a = c[3] / 255.0
                            col = (c[0] * a + col[0] * (1 - a), c[1] * a + col[1] * (1 - a),
                                   c[2] * a + col[2] * (1 - a), c[3] + col[3] * (1 - a))
                    acc[0] += col[0] * col[3]
                    acc[1] += col[1] * col[3]
                    acc[2] += col[2] * col[3]
                    acc[3] += col[3]
            n = samples * samples
            a = acc[3] / n
            if a > 0:
                row.append((int(round(acc[0] / acc[3])), int(round(acc[1] / acc[3])),
                            int(round(acc[2] / acc[3])), int(round(a))))
            else:
                row.append((0, 0, 0, 0))
        out.append(row)
    return out


def solid(r, g, b, a=255):
    return lambda x, y: (r, g, b, a)


def vgrad(top, bottom, y0, y1):
    def colour(x, y):
        t = clamp((y - y0) / (y1 - y0))
        return tuple(int(round(top[i] + (bottom[i] - top[i]) * t)) for i in range(3)) + (255,)
    return colour

# ---------------------------------------------------------------- the drawings

def icon_shapes():
    """A closed archive box with a zipper running down its front."""
    shapes = []
    # shadow
    shapes.append((rounded_rect(0.10, 0.16, 0.94, 0.96, 0.09), solid(0, 0, 0, 70)))
    # body
    shapes.append((rounded_rect(0.06, 0.12, 0.90, 0.92, 0.09),
                   vgrad((250, 190, 80), (214, 128, 34), 0.12, 0.92)))
    # lid band
    shapes.append((rounded_rect(0.06, 0.12, 0.90, 0.34, 0.09),
                   vgrad((255, 214, 120), (232, 160, 56), 0.12, 0.34)))
    shapes.append((lambda x, y: 0.06 <= x <= 0.90 and 0.33 <= y <= 0.36, solid(150, 86, 20)))
    # zipper tape
    shapes.append((lambda x, y: 0.42 <= x <= 0.54 and 0.12 <= y <= 0.92, solid(54, 70, 92)))
    # zipper teeth
    for i in range(9):
        y = 0.16 + i * 0.075
        x0 = 0.43 if i % 2 == 0 else 0.48
        shapes.append((lambda x, yy, y=y, x0=x0: x0 <= x <= x0 + 0.05 and y <= yy <= y + 0.035,
                       solid(220, 226, 234)))
    # pull tab
    shapes.append((rounded_rect(0.41, 0.50, 0.55, 0.74, 0.04), solid(200, 40, 40)))
    shapes.append((circle(0.48, 0.56, 0.025), solid(255, 255, 255)))
    return shapes


def toolbar_shapes(kind):
    box = [
        (rounded_rect(0.10, 0.40, 0.78, 0.92, 0.06), vgrad((250, 196, 96), (214, 132, 40), 0.40, 0.92)),
        (lambda x, y: 0.40 <= x <= 0.48 and 0.40 <= y <= 0.92, solid(54, 70, 92)),
    ]
    if kind == "add":
        sign = [
            (circle(0.70, 0.32, 0.26), solid(34, 150, 60)),
            (lambda x, y: 0.66 <= x <= 0.74 and 0.16 <= y <= 0.48, solid(255, 255, 255)),
            (lambda x, y: 0.54 <= x <= 0.86 and 0.28 <= y <= 0.36, solid(255, 255, 255)),
        ]
        return box + sign
    if kind == "extract":
        arrow = [
            (polygon([(0.56, 0.06), (0.76, 0.06), (0.76, 0.36), (0.90, 0.36), (0.66, 0.64),
                      (0.42, 0.36), (0.56, 0.36)]), solid(30, 100, 200)),
        ]
        return box + arrow
    cross = [
        (thick_line(0.50, 0.08, 0.92, 0.50, 0.14), solid(200, 36, 36)),
        (thick_line(0.92, 0.08, 0.50, 0.50, 0.14), solid(200, 36, 36)),
    ]
    return box + cross

# ---------------------------------------------------------------- palettes

VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def palette256():
    pal = []
    for r in range(6):
        for g in range(6):
            for b in range(6):
                pal.append((r * 51, g * 51, b * 51))
    for i in range(40):
        v = int(round(i * 255 / 39))
        pal.append((v, v, v))
    return pal


PAL256 = palette256()


def nearest(pal, rgb, cache):
    key = rgb
    if key in cache:
        return cache[key]
    best = min(range(len(pal)), key=lambda i: (pal[i][0] - rgb[0]) ** 2 * 3 +
               (pal[i][1] - rgb[1]) ** 2 * 4 + (pal[i][2] - rgb[2]) ** 2 * 2)
    cache[key] = best
    return best

# ---------------------------------------------------------------- file formats

def and_mask(pixels, size):
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(stride)
        for x in range(size):
            if pixels[y][x][3] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def dib_image(pixels, size, bpp):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, 0, 0, 0, 0, 0)
    body = bytearray()
    if bpp == 32:
        for y in range(size - 1, -1, -1):
            for x in range(size):
                r, g, b, a = pixels[y][x]
                body += bytes((b, g, r, a))
        return header + bytes(body) + and_mask(pixels, size)
    pal = VGA16 if bpp == 4 else PAL256
    cache = {}
    colours = b"".join(bytes((c[2], c[1], c[0], 0)) for c in pal)
    stride = ((size * bpp + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        row = bytearray(stride)
        for x in range(size):
            r, g, b, a = pixels[y][x]
            idx = nearest(pal, (r, g, b), cache) if a >= 128 else 0
            if bpp == 8:
                row[x] = idx
            else:
                row[x // 2] |= idx << (4 if x % 2 == 0 else 0)
        body += row
    return header + colours + bytes(body) + and_mask(pixels, size)


def png_image(pixels, size):
    raw = bytearray()
    for y in range(size):
        raw.append(0)
        for x in range(size):
            raw += bytes(pixels[y][x])

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def write_icon(path):
    images = []
    shapes = icon_shapes()
    rendered = {}
    for size, samples in ((16, 4), (32, 4), (48, 4), (256, 2)):
        rendered[size] = render(shapes, size, samples)
    for size in (16, 32, 48):
        for bpp in (4, 8, 32):
            images.append((size, bpp, dib_image(rendered[size], size, bpp)))
    images.append((256, 32, png_image(rendered[256], 256)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bpp, data in images:
        colours = 16 if bpp == 4 else 0
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bpp, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def write_toolbar(path, size):
    background = (192, 192, 192)  # the image list's mask colour: the top-left pixel
    cells = [render(toolbar_shapes(k), size, 4) for k in ("add", "extract", "delete")]
    width = size * 3
    cache = {}
    stride = ((width + 3) // 4) * 4
    body = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            r, g, b, a = cells[x // size][y][x % size]
            t = a / 255.0
            rgb = tuple(int(round(c * t + background[i] * (1 - t))) for i, c in enumerate((r, g, b)))
            if a < 40:
                rgb = background
            row[x] = nearest(PAL256, rgb, cache)
        body += row
    colours = b"".join(bytes((c[2], c[1], c[0], 0)) for c in PAL256)
    info = struct.pack("<IiiHHIIiiII", 40, width, size, 1, 8, 0, len(body), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + colours + bytes(body))


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(target, exist_ok=True)
    write_icon(os.path.join(target, "tolvane.ico"))
    write_toolbar(os.path.join(target, "toolbar.bmp"), 32)
    write_toolbar(os.path.join(target, "toolbar48.bmp"), 48)
    write_toolbar(os.path.join(target, "toolbar64.bmp"), 64)
