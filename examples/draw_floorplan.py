#!/usr/bin/env python3
"""Draws the demo floor plan: an office floor with rooms either side of a corridor, doors and
room labels, written as a 480 x 640 PNG (standard library only). Usage: draw_floorplan.py OUT.png"""

import struct
import sys
import zlib

WIDTH, HEIGHT = 480, 640
WHITE = (255, 255, 255)
WALL = (20, 20, 20)
CORRIDOR = (225, 225, 225)
LABEL = (40, 40, 120)
ROOM_FILLS = [(250, 244, 228), (232, 244, 250), (236, 250, 232), (250, 236, 240)]

# A 5 x 7 pixel font for the letters the labels use; '#' is ink.
GLYPHS = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
}


class Canvas:
    def __init__(self, width, height, colour):
        self.width = width
        self.height = height
        self.rows = [[colour] * width for _ in range(height)]

    def fill(self, left, top, right, bottom, colour):
        for y in range(max(0, top), min(self.height, bottom)):
            row = self.rows[y]
            for x in range(max(0, left), min(self.width, right)):
                row[x] = colour

    def text(self, centre_x, centre_y, text, colour, scale=2):
        advance = 6 * scale
        left = centre_x - (len(text) * advance - scale) // 2
        top = centre_y - (7 * scale) // 2
        for i, char in enumerate(text):
            for gy, line in enumerate(GLYPHS[char]):
                for gx, cell in enumerate(line):
                    if cell == "#":
                        x = left + i * advance + gx * scale
                        y = top + gy * scale
                        self.fill(x, y, x + scale, y + scale, colour)

    def png(self):
        raw = b"".join(b"\x00" + bytes(c for pixel in row for c in pixel) for row in self.rows)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def draw():
    canvas = Canvas(WIDTH, HEIGHT, WHITE)
    wall = 4
    corridor_left, corridor_right = 190, 290
    canvas.fill(corridor_left, 0, corridor_right, HEIGHT, CORRIDOR)

    # Rooms west and east of the corridor: (left, top, right, bottom, label).
    rooms = [
        (0, 0, corridor_left, 170, "OFFICE 1"),
        (0, 170, corridor_left, 330, "OFFICE 2"),
        (0, 330, corridor_left, 640, "LAB"),
        (corridor_right, 0, WIDTH, 220, "MEETING"),
        (corridor_right, 220, WIDTH, 360, "KITCHEN"),
        (corridor_right, 360, WIDTH, 500, "SERVERS"),
        (corridor_right, 500, WIDTH, 640, "STORE"),
    ]
    for index, (left, top, right, bottom, _) in enumerate(rooms):
        canvas.fill(left, top, right, bottom, ROOM_FILLS[index % len(ROOM_FILLS)])
        canvas.fill(left, top, right, top + wall, WALL)
        canvas.fill(left, bottom - wall, right, bottom, WALL)
        canvas.fill(left, top, left + wall, bottom, WALL)
        canvas.fill(right - wall, top, right, bottom, WALL)
        # A door into the corridor, in the middle of the room's corridor wall.
        door_x = right - wall if left == 0 else left
        middle = (top + bottom) // 2
        canvas.fill(door_x, middle - 18, door_x + wall, middle + 18, CORRIDOR)

    # The corridor's ends are the building's outer wall with the main entrance at the bottom.
    canvas.fill(corridor_left, 0, corridor_right, wall, WALL)
    canvas.fill(corridor_left, HEIGHT - wall, corridor_right, HEIGHT, WALL)
    canvas.fill(220, HEIGHT - wall, 260, HEIGHT, WHITE)

    for left, top, right, bottom, label in rooms:
        canvas.text((left + right) // 2, (top + bottom) // 2, label, LABEL)
    canvas.text((corridor_left + corridor_right) // 2, 180, "CORRIDOR", LABEL)
    canvas.text((corridor_left + corridor_right) // 2, 600, "LOBBY", LABEL)
    return canvas


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: draw_floorplan.py OUT.png\n")
        return 2
    with open(sys.argv[1], "wb") as out:
        out.write(draw().png())
    return 0


if __name__ == "__main__":
    sys.exit(main())
