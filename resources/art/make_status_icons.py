#!/usr/bin/env python3
"""Draws the status bar's icon strip as status_icons.bmp: five 16x16 lamps
side by side (80x16, 8 bits with a colour table).

The lamps, left to right: red, green, blue, amber, violet. The status bar
shows them for the link state (red: not linked, green: linked, amber: linked
at an engineering level) and for the selected area's options; the 8x8 core
of the first two marks whether the sensor chooses the shown area.
The top-left pixel is the background: loaded with LR_LOADTRANSPARENT it takes
the colour of the status bar's face.
Run from this folder: python3 make_status_icons.py
"""
import math
import struct

SIZE = 16
LAMPS = [(220, 40, 40), (40, 170, 60), (50, 100, 220), (235, 160, 20), (150, 70, 200)]
BACKGROUND = (255, 0, 255)


def shade(colour, factor):
    return tuple(max(0, min(255, int(c * factor))) for c in colour)


def lamp_pixel(colour, x, y):
    cx = cy = (SIZE - 1) / 2.0
    r = math.hypot(x - cx, y - cy)
    if r > 6.6:
        return BACKGROUND
    if r > 5.6:
        return shade(colour, 0.55)  # rim
    # Lighter towards the middle: the lamp glows.
    return shade(colour, 1.15 - r * 0.05)


def main():
    width = SIZE * len(LAMPS)
    rows = []
    palette = [BACKGROUND]
    for y in range(SIZE):
        row = []
        for x in range(width):
            colour = lamp_pixel(LAMPS[x // SIZE], x % SIZE, y)
            if colour not in palette:
                palette.append(colour)
            row.append(palette.index(colour))
        rows.append(row)
    assert len(palette) <= 256
    stride = (width + 3) // 4 * 4
    pixels = b"".join(bytes(row) + bytes(stride - width) for row in reversed(rows))  # bottom-up
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    colours += bytes(4 * (256 - len(palette)))
    info = struct.pack("<IiiHHIIiiII", 40, width, SIZE, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open("status_icons.bmp", "wb") as out:
        out.write(header + info + colours + pixels)


if __name__ == "__main__":
    main()
