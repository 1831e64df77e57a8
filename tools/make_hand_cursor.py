#!/usr/bin/env python3
"""Draws Pinaleaf's hand pointer and writes it as a 32x32 monochrome .cur.

The drawing below is the cursor: '#' black, '.' white, ' ' transparent.
The hotspot is the tip of the index finger. Run it to write assets/HAND-M.CUR.
"""
import struct
import sys

ART = r"""
         ##
        #..#
        #..#
        #..#
        #..#
        #..###
        #..#..###
        #..#..#..##
        #..#..#..#.#
     ## #..#..#..#..#
    #..##...........#
    #...#...........#
     #..............#
      #.............#
      #.............#
       #............#
       #...........#
        #..........#
        #..........#
         #........#
         #........#
         ##########
"""
HOTSPOT = (9, 0)
SIZE = 32


def rows():
    lines = ART.strip("\n").split("\n")
    grid = [line.ljust(SIZE)[:SIZE] for line in lines]
    return grid + [" " * SIZE] * (SIZE - len(grid))


def masks(grid):
    xor_rows, and_rows = [], []
    for line in reversed(grid):  # bitmaps are stored bottom-up
        xor_bits = and_bits = 0
        for x, ch in enumerate(line):
            bit = 1 << (31 - x)
            if ch == " ":
                and_bits |= bit
            elif ch == ".":
                xor_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    return b"".join(xor_rows), b"".join(and_rows)


def cursor_bytes():
    xor_mask, and_mask = masks(rows())
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, len(xor_mask) + len(and_mask), 0, 0, 2, 0)
    palette = struct.pack("<4B4B", 0, 0, 0, 0, 255, 255, 255, 0)
    image = header + palette + xor_mask + and_mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOTSPOT[0], HOTSPOT[1], len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "assets/HAND-M.CUR"
    with open(out, "wb") as f:
        f.write(cursor_bytes())
