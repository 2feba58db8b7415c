#!/usr/bin/env python3
"""Draws the map view's two pictures and writes them as Windows bitmaps beside this script:
StartScreen.bmp (240 x 320, 24 bits per pixel) and CentreMarker.bmp (32 x 32, 4 bits per
pixel, black and white only). Run it again after changing a drawing; the build uses the files."""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def bmp_24(width, height, pixel):
    """pixel(x, y) -> (r, g, b); rows are stored bottom-up and padded to 4 bytes."""
    stride = (width * 3 + 3) & ~3
    rows = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows += row
    return header(width, height, 24, 0, len(rows)) + rows


def bmp_4(width, height, palette, index):
    """index(x, y) -> palette index; palette is a list of (r, g, b), at most 16."""
    stride = ((width + 1) // 2 + 3) & ~3
    rows = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(0, width, 2):
            hi = index(x, y)
            lo = index(x + 1, y) if x + 1 < width else 0
            row.append((hi << 4) | lo)
        row += bytes(stride - len(row))
        rows += row
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    table += bytes(4 * (16 - len(palette)))
    return header(width, height, 4, len(table), len(rows), colours=16) + table + rows


def header(width, height, bits, table_size, image_size, colours=0):
    offset = 14 + 40 + table_size
    file_header = b"BM" + struct.pack("<IHHI", offset + image_size, 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 2835, 2835,
                       colours, 0)
    return file_header + info


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# Start screen: a night-blue backdrop, a floor plan in pale lines, survey points in the six
# colour bands and radio waves rising from an antenna. The text rows at the top and near the
# bottom are left calm so the overlaid texts read well.
BANDS = [(255, 0, 0), (255, 128, 0), (255, 255, 0), (0, 255, 0), (0, 0, 255), (0, 0, 0)]
POINTS = [(58, 92, 0), (104, 78, 1), (150, 96, 2), (190, 130, 3), (70, 150, 4), (132, 160, 5),
          (176, 176, 2), (44, 182, 1)]
WALLS = [
    (30, 60, 210, 60), (30, 60, 30, 195), (210, 60, 210, 195), (30, 195, 210, 195),
    (30, 120, 95, 120), (120, 60, 120, 110), (120, 140, 120, 195), (95, 120, 95, 195),
    (150, 140, 210, 140), (150, 140, 150, 160),
]


def on_wall(x, y):
    for x0, y0, x1, y1 in WALLS:
        if x0 == x1 and abs(x - x0) <= 1 and min(y0, y1) <= y <= max(y0, y1):
            return True
        if y0 == y1 and abs(y - y0) <= 1 and min(x0, x1) <= x <= max(x0, x1):
            return True
    return False


def start_pixel(x, y):
    colour = mix((8, 18, 52), (18, 84, 104), y / 319.0)
    if 40 <= y < 200 and on_wall(x, y):
        colour = (196, 214, 232)
    for px, py, band in POINTS:
        d = math.hypot(x - px, y - py)
        if d <= 7.0:
            return (255, 255, 255) if d > 6.0 else BANDS[band]
    # Radio waves above an antenna at (120, 300).
    d = math.hypot(x - 120, y - 300)
    if 236 <= y < 300 and abs(x - 120) < (300 - y) * 1.3:
        for radius in (14, 26, 38, 50):
            if abs(d - radius) < 1.2:
                return mix(colour, (150, 230, 255), 0.8)
    if 286 <= y <= 312 and abs(x - 120) <= 1:
        return (220, 220, 220)
    if 306 <= y <= 312 and abs(x - 120) <= 8 - (312 - y):
        return (220, 220, 220)
    return colour


# Centre marker: black ring about 30 px across around pixel (16, 16), white inside and outside,
# four small diagonal crosses around the middle, which itself stays white so the map point shows.
def marker_index(x, y):
    d = math.hypot(x - 16, y - 16)
    if 12.8 <= d <= 14.6:
        return 0
    for cx, cy in ((16, 9), (23, 16), (16, 23), (9, 16)):
        if abs(x - cx) <= 2 and abs(y - cy) <= 2 and abs(x - cx) == abs(y - cy):
            return 0
    return 1


def main():
    with open(os.path.join(HERE, "StartScreen.bmp"), "wb") as f:
        f.write(bmp_24(240, 320, start_pixel))
    with open(os.path.join(HERE, "CentreMarker.bmp"), "wb") as f:
        f.write(bmp_4(32, 32, [(0, 0, 0), (255, 255, 255)], marker_index))


if __name__ == "__main__":
    main()
