#!/usr/bin/env python3
"""Draws Pinaleaf's icon: a light-yellow note with a darker strip along its
top, a few ruled lines and a folded lower-right corner, at 16, 32 and 48
pixels. Run it to write assets/pinaleaf.ico."""
import struct
import sys

YELLOW = (192, 255, 255)   # B, G, R: the notes' own light yellow
STRIP = (120, 222, 250)
LINE = (150, 170, 190)
EDGE = (60, 120, 150)
FOLD = (140, 200, 225)


def pixel(size, x, y):
    """BGRA of one pixel, y from the top."""
    margin = max(1, size // 16)
    left, top, right, bottom = margin, margin, size - margin - 1, size - margin - 1
    fold = size // 4
    if not (left <= x <= right and top <= y <= bottom):
        return (0, 0, 0, 0)
    # The folded corner: cut away beyond the diagonal, shaded inside it.
    d = (x - (right - fold)) + (y - (bottom - fold))
    if x > right - fold and y > bottom - fold:
        if d > fold:
            return (0, 0, 0, 0)
        if d == fold:
            return EDGE + (255,)
        return FOLD + (255,)
    if d == fold:
        return EDGE + (255,)
    if x in (left, right) or y in (top, bottom):
        return EDGE + (255,)
    strip = top + max(2, size // 6)
    if y <= strip:
        return STRIP + (255,)
    step = max(3, size // 6)
    if (y - strip) % step == 0 and x > left + margin and x < right - margin and y < bottom - 1:
        return LINE + (255,)
    return YELLOW + (255,)


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        rows.append(b"".join(struct.pack("<4B", *pixel(size, x, y)) for x in range(size)))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = b"\x00" * (mask_row * size)  # alpha carries the shape
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def icon(sizes=(16, 32, 48)):
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    with open(sys.argv[1] if len(sys.argv) > 1 else "assets/pinaleaf.ico", "wb") as f:
        f.write(icon())
