#!/usr/bin/env python3
"""Draws Pinaleaf's icon: a light-yellow note with a darker strip along its
top, a few ruled lines and a folded lower-right corner. Run it to write
assets/pinaleaf.ico (16, 32 and 48 pixels, for Windows and the program's
windows) and the Linux desktop's icons, assets/hicolor/NxN/apps/pinaleaf.png,
in the freedesktop icon theme's layout that `cmake --install` copies.

    tools/make_icon.py [ICO [HICOLOR_FOLDER]]
"""
import os
import struct
import sys
import zlib

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
    pen = max(1, size // 64)  # lines one pixel wide up to 64 pixels, wider above
    if not (left <= x <= right and top <= y <= bottom):
        return (0, 0, 0, 0)
    # The folded corner: cut away beyond the diagonal, shaded inside it.
    d = (x - (right - fold)) + (y - (bottom - fold))
    on_diagonal = fold - pen < d <= fold
    if x > right - fold and y > bottom - fold:
        if d > fold:
            return (0, 0, 0, 0)
        if on_diagonal:
            return EDGE + (255,)
        return FOLD + (255,)
    if on_diagonal:
        return EDGE + (255,)
    if min(x - left, right - x, y - top, bottom - y) < pen:
        return EDGE + (255,)
    strip = top + max(2, size // 6)
    if y <= strip:
        return STRIP + (255,)
    step = max(3, size // 6)
    if y - strip >= step and (y - strip) % step < pen and x > left + margin and x < right - margin and y < bottom - 1:
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


# The sizes menus, launchers and panels ask the theme for.
PNG_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def png(size):
    """A 32-bit RGBA PNG, the same bytes on every run (no time stamp)."""
    rows = b""
    for y in range(size):
        rows += b"\x00"  # no filter
        for x in range(size):
            b, g, r, a = pixel(size, x, y)
            rows += bytes((r, g, b, a))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


def main(ico_path, hicolor):
    with open(ico_path, "wb") as f:
        f.write(icon())
    for size in PNG_SIZES:
        folder = os.path.join(hicolor, f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "pinaleaf.png"), "wb") as f:
            f.write(png(size))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "assets/pinaleaf.ico",
         sys.argv[2] if len(sys.argv) > 2 else "assets/hicolor")
