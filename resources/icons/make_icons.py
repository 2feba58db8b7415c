#!/usr/bin/env python3
"""Draws the program's icon for the desktop's icon theme from the program's own pixel icons
(resources/dialogs/larkspur-16.xpm and larkspur-32.xpm), pixel for pixel: hicolor/NxN/apps/ PNGs
enlarged by whole factors (48 from the 16-pixel drawing, 64, 128 and 256 from the 32-pixel one)
and hicolor/scalable/apps/ an SVG with one square a pixel. The PNGs are written by ImageMagick
(`convert`, no filtering, no time stamps). Run it again after changing either drawing; the build
installs the files it wrote."""

import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
DIALOGS = os.path.join(HERE, "..", "dialogs")
NAME = "org.larkspur.Survalon"

# size: (drawing, factor)
SIZES = {16: (16, 1), 32: (32, 1), 48: (16, 3), 64: (32, 2), 128: (32, 4), 256: (32, 8)}


def xpm(size):
    path = os.path.join(DIALOGS, "larkspur-%d.xpm" % size)
    lines = [l.split('"')[1] for l in open(path) if l.startswith('"')]
    width, height, colours, per = (int(v) for v in lines[0].split())
    palette = {}
    for line in lines[1 : 1 + colours]:
        key, _, value = line[:per], line[per:].split()[0], line[per:].split()[1]
        palette[key] = None if value == "None" else value
    rows = lines[1 + colours : 1 + colours + height]
    return width, height, [[palette[row[x * per : x * per + per]] for x in range(width)] for row in rows]


def svg(size):
    width, height, pixels = xpm(size)
    out = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d"'
        ' shape-rendering="crispEdges">' % (width * 8, height * 8, width, height),
    ]
    # One rectangle for each run of equal pixels along a row keeps the file small.
    for y, row in enumerate(pixels):
        x = 0
        while x < width:
            colour = row[x]
            run = 1
            while x + run < width and row[x + run] == colour:
                run += 1
            if colour is not None:
                out.append('<rect x="%d" y="%d" width="%d" height="1" fill="%s"/>' % (x, y, run, colour))
            x += run
    out.append("</svg>")
    return "\n".join(out) + "\n"


def main():
    for size, (drawing, factor) in SIZES.items():
        folder = os.path.join(HERE, "hicolor", "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        source = os.path.join(DIALOGS, "larkspur-%d.xpm" % drawing)
        subprocess.run(
            ["convert", source, "-filter", "point", "-resize", "%d%%" % (factor * 100),
             "-strip", "-define", "png:exclude-chunks=date,time", "PNG32:" + os.path.join(folder, NAME + ".png")],
            check=True,
        )
    folder = os.path.join(HERE, "hicolor", "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, NAME + ".svg"), "w") as f:
        f.write(svg(32))


if __name__ == "__main__":
    main()
