#!/usr/bin/env python3
"""Draws the Matrix page's images into res/: the four source pictures (an
input's number as a large green digit on black, 80 x 80) and the previous and
next arrows (a small black triangle on a transparent ground, 32 x 32).

Run from anywhere: python3 tools/draw-matrix-images.py
"""

import os
import struct

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")

PICTURE_SIZE = 80
CELL = 8  # one font dot becomes a CELL x CELL square
GREEN = (0x00, 0xD0, 0x30)
BLACK = (0x00, 0x00, 0x00)

# 5 x 7 dot patterns of the digits the pictures show.
DIGITS = {
    1: ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    2: [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    3: ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    4: ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
}

ICON_SIZE = 32
TRIANGLE_HALF_HEIGHT = 8
TRIANGLE_WIDTH = 8


def bmp_24(width, height, pixel):
    """A bottom-up 24-bit BMP file; pixel(x, y) gives (r, g, b), y from the top."""
    row_bytes = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        rows.append(bytes(row))
    image = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(image), 0, 0, 14 + len(info))
    return header + info + image


def digit_picture(digit):
    pattern = DIGITS[digit]
    left = (PICTURE_SIZE - 5 * CELL) // 2
    top = (PICTURE_SIZE - 7 * CELL) // 2

    def pixel(x, y):
        col, row = (x - left) // CELL, (y - top) // CELL
        inside = 0 <= col < 5 and 0 <= row < 7 and x >= left and y >= top
        return GREEN if inside and pattern[row][col] == "#" else BLACK

    return bmp_24(PICTURE_SIZE, PICTURE_SIZE, pixel)


def icon_32(covered):
    """A one-image .ico: 32-bit colour with alpha, plus the AND mask;
    covered(x, y) is true where the black triangle is, y from the top."""
    colour = bytearray()
    for y in reversed(range(ICON_SIZE)):
        for x in range(ICON_SIZE):
            colour += bytes((0, 0, 0, 0xFF)) if covered(x, y) else bytes((0, 0, 0, 0))
    mask = bytearray()
    for y in reversed(range(ICON_SIZE)):
        bits = 0
        for x in range(ICON_SIZE):
            if not covered(x, y):
                bits |= 1 << (ICON_SIZE - 1 - x)
        mask += struct.pack(">I", bits)
    info = struct.pack("<IiiHHIIiiII", 40, ICON_SIZE, 2 * ICON_SIZE, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    image = info + bytes(colour) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", ICON_SIZE, ICON_SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def triangle(pointing_right):
    centre = ICON_SIZE // 2
    base = centre - TRIANGLE_WIDTH // 2

    def covered(x, y):
        along = x - base if pointing_right else base + TRIANGLE_WIDTH - 1 - x
        if along < 0 or along >= TRIANGLE_WIDTH:
            return False
        half = TRIANGLE_HALF_HEIGHT * (TRIANGLE_WIDTH - along) // TRIANGLE_WIDTH
        return abs(y - centre) < half

    return icon_32(covered)


def write(name, data):
    with open(os.path.join(RES, name), "wb") as file:
        file.write(data)


def main():
    for digit in DIGITS:
        write("input%d.bmp" % digit, digit_picture(digit))
    write("previous.ico", triangle(pointing_right=False))
    write("next.ico", triangle(pointing_right=True))


if __name__ == "__main__":
    main()
