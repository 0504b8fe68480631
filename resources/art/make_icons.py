#!/usr/bin/env python3
"""Draws the icons (32x32 and 16x16, 32-bit with alpha).

program.ico: a dark sensor head at the bottom centre sending a green scan fan
of 270 degrees over a light blue disc, the shape the sensor scans.
lamp_on.ico, lamp_off.ico: the I/O test's lamps, a round lamp lit green or
dark, with a rim and a small highlight.
Run from this folder: python3 make_icons.py
"""
import math
import struct


def pixel(size, x, y):
    cx = cy = (size - 1) / 2.0
    cy += size * 0.18  # the sensor sits below the centre
    dx, dy = x - cx, cy - y
    r = math.hypot(dx, dy)
    radius = size * 0.60
    head = size * 0.14
    if abs(dx) <= head and abs(dy) <= head:
        edge = abs(dx) > head - 1 or abs(dy) > head - 1
        return (30, 30, 30, 255) if edge else (70, 70, 80, 255)
    if r <= radius:
        angle = math.degrees(math.atan2(dy, dx))
        # The scan covers everything but a 90 degree wedge straight down.
        if -135 <= angle <= -45:
            return (0, 0, 0, 0)
        if r > radius - 1.2:
            return (0, 90, 0, 255)
        if r > radius * 0.55:
            return (60, 190, 60, 255)
        return (170, 215, 245, 255)
    return (0, 0, 0, 0)


def lamp_pixel(lit):
    body = (40, 200, 60) if lit else (70, 85, 75)
    shine = (200, 255, 200) if lit else (130, 145, 135)

    def draw(size, x, y):
        c = (size - 1) / 2.0
        r = math.hypot(x - c, y - c)
        radius = size * 0.44
        if r > radius:
            return (0, 0, 0, 0)
        if r > radius - max(1.0, size / 16.0):
            return (30, 40, 30, 255)
        # The highlight sits up and left of the centre.
        if math.hypot(x - c * 0.7, y - c * 0.7) < size * 0.12:
            return shine + (255,)
        return body + (255,)

    return draw


def icon_image(size, pixel=pixel):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        row = b""
        for x in range(size):
            r, g, b, a = pixel(size, x, y)
            row += bytes((b, g, r, a))
        rows.append(row)
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(size):
            if pixel(size, x, y)[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)


def write_icon(name, pixel):
    sizes = [32, 16]
    images = [icon_image(s, pixel) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(name, "wb") as f:
        f.write(out)


def main():
    write_icon("program.ico", pixel)
    write_icon("lamp_on.ico", lamp_pixel(True))
    write_icon("lamp_off.ico", lamp_pixel(False))


if __name__ == "__main__":
    main()
