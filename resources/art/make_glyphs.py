#!/usr/bin/env python3
"""Draws the glyph strips of the tool bands as 24-bit bitmaps.

Each strip is a row of 16 x 15 glyphs; the top-left pixel of every glyph is
the transparent colour (magenta). The pictures share one vocabulary: a folder
opens, a diskette saves, an orange polygon is a detection area, a green
zigzag is measured data, a green fan is the realtime scan, a dark box is the
sensor.
Run from this folder: python3 make_glyphs.py
"""
import math
import struct

W, H = 16, 15
CLEAR = (255, 0, 255)
BLACK = (0, 0, 0)
GREY = (128, 128, 128)
SILVER = (192, 192, 192)
WHITE = (255, 255, 255)
FOLDER_EDGE = (128, 96, 0)
FOLDER = (255, 208, 64)
FOLDER_LIGHT = (255, 236, 150)
AREA_EDGE = (176, 64, 0)
AREA = (255, 160, 64)
GREEN = (0, 128, 0)
LIGHT_GREEN = (96, 208, 96)
NAVY = (0, 0, 128)
BLUE = (0, 64, 192)
LIGHT_BLUE = (150, 200, 255)
RED = (208, 0, 0)
DARK = (64, 64, 72)


class Glyph:
    def __init__(self):
        self.px = [[CLEAR] * W for _ in range(H)]

    def put(self, x, y, c):
        if 0 <= x < W and 0 <= y < H:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.put(x, y0, c)
            self.put(x, y1, c)
        for y in range(y0, y1 + 1):
            self.put(x0, y, c)
            self.put(x1, y, c)

    def box(self, x0, y0, x1, y1, edge, inside):
        self.fill(x0, y0, x1, y1, inside)
        self.frame(x0, y0, x1, y1, edge)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.put(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def polygon(self, points, edge, inside):
        # Fill by pixel centres, then outline.
        for y in range(H):
            for x in range(W):
                if inside_polygon(points, x + 0.5, y + 0.5):
                    self.put(x, y, inside)
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            self.line(round(ax), round(ay), round(bx), round(by), edge)

    def disc(self, cx, cy, r, edge, inside):
        for y in range(H):
            for x in range(W):
                d = math.hypot(x - cx, y - cy)
                if d <= r - 0.5:
                    self.put(x, y, inside)
                elif d <= r + 0.5:
                    self.put(x, y, edge)

    def ring(self, cx, cy, r, c, dashed=False):
        for y in range(H):
            for x in range(W):
                if abs(math.hypot(x - cx, y - cy) - r) <= 0.5:
                    if not dashed or (x + y) % 3 != 0:
                        self.put(x, y, c)

    def text(self, x, y, s, c):
        for ch in s:
            rows = FONT[ch]
            for dy, row in enumerate(rows):
                for dx, bit in enumerate(row):
                    if bit == "#":
                        self.put(x + dx, y + dy, c)
            x += len(rows[0]) + 1


FONT = {
    "0": ["###", "#.#", "#.#", "#.#", "###"],
    "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["###", "..#", "###", "#..", "###"],
    "3": ["###", "..#", ".##", "..#", "###"],
    "H": ["#.#", "#.#", "###", "#.#", "#.#"],
}


def inside_polygon(points, x, y):
    inside = False
    for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
        if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
            inside = not inside
    return inside


# Shared parts.

def open_folder(g):
    g.polygon([(0, 5), (4, 5), (5, 6), (12, 6), (12, 14), (0, 14)], FOLDER_EDGE, FOLDER)
    g.polygon([(3, 9), (15, 9), (12, 14), (0, 14)], FOLDER_EDGE, FOLDER_LIGHT)


def diskette(g):
    g.box(1, 1, 14, 14, NAVY, BLUE)
    g.fill(3, 1, 12, 7, WHITE)
    g.frame(3, 1, 12, 7, NAVY)
    g.box(4, 10, 11, 14, NAVY, SILVER)
    g.fill(5, 11, 6, 13, NAVY)
    g.put(1, 14, CLEAR)


def area_mark(g, x, y, size=1):
    s = size
    g.polygon([(x, y + 2 * s), (x + 3 * s, y), (x + 6 * s, y + 1 * s), (x + 5 * s, y + 5 * s),
               (x + 1 * s, y + 4 * s)], AREA_EDGE, AREA)


def data_mark(g, x, y):
    points = [(0, 4), (2, 1), (4, 3), (6, 0), (8, 2)]
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        g.line(x + ax, y + ay, x + bx, y + by, GREEN)


def page(g, x0, y0, x1, y1):
    g.box(x0, y0, x1, y1, GREY, WHITE)
    g.put(x1, y0, CLEAR)
    g.put(x1 - 1, y0 + 1, GREY)


def magnifier(g, cx, cy, r):
    g.disc(cx, cy, r, BLACK, LIGHT_BLUE)
    g.line(cx + r - 1, cy + r - 1, 15, 14, BLACK)
    g.line(cx + r, cy + r - 1, 15, 13, BLACK)


def sensor(g, x, y):
    g.box(x, y, x + 3, y + 2, BLACK, DARK)


def fan(g, cx, cy, r, edge, inside):
    # The scanned sector above the sensor at (cx, cy), 40 to 140 degrees.
    for y in range(H):
        for x in range(W):
            dx, dy = x - cx, cy - y
            d = math.hypot(dx, dy)
            a = math.degrees(math.atan2(dy, dx))
            if d <= r and 40 <= a <= 140:
                g.put(x, y, edge if d > r - 1.2 or abs(a - 90) > 47 else inside)


def arrow(g, x0, y0, x1, y1, c):
    g.line(x0, y0, x1, y1, c)
    dx, dy = (x1 > x0) - (x1 < x0), (y1 > y0) - (y1 < y0)
    for i in (1, 2):
        if dx == 0:
            g.put(x1 - i, y1 - dy * i, c)
            g.put(x1 + i, y1 - dy * i, c)
        else:
            g.put(x1 - dx * i, y1 - i, c)
            g.put(x1 - dx * i, y1 + i, c)


def thick_arrow(g, x0, y0, x1, y1, c):
    arrow(g, x0, y0, x1, y1, c)
    if x0 == x1:
        g.line(x0 + 1, y0, x1 + 1, y1 - ((y1 > y0) - (y1 < y0)), c)
    else:
        g.line(x0, y0 + 1, x1 - ((x1 > x0) - (x1 < x0)), y1 + 1, c)


# The glyphs.

def open_area(g):
    open_folder(g)
    area_mark(g, 9, 0)


def save_area(g):
    diskette(g)
    area_mark(g, 5, 2)


def open_data(g):
    open_folder(g)
    data_mark(g, 7, 0)


def save_data(g):
    diskette(g)
    data_mark(g, 4, 2)


def print_preview(g):
    page(g, 0, 0, 10, 13)
    for y in (3, 5, 7):
        g.line(2, y, 6, y, GREY)
    magnifier(g, 9, 8, 3)


def disconnect(g):
    # A plug pulled out of its socket, with a red gap between.
    g.box(0, 5, 4, 9, BLACK, DARK)
    g.line(5, 6, 6, 6, GREY)
    g.line(5, 8, 6, 8, GREY)
    g.box(10, 4, 15, 10, BLACK, SILVER)
    g.put(10, 6, BLACK)
    g.put(10, 8, BLACK)
    g.line(7, 3, 9, 11, RED)
    g.line(8, 3, 10, 11, RED)


def realtime(g):
    fan(g, 7.5, 13, 12, GREEN, LIGHT_GREEN)
    sensor(g, 6, 12)


def record(g):
    fan(g, 7.5, 13, 12, NAVY, LIGHT_BLUE)
    data_mark(g, 3, 5)
    sensor(g, 6, 12)


def area(g):
    g.polygon([(1, 5), (7, 1), (14, 3), (13, 12), (3, 13)], AREA_EDGE, AREA)


def edit_mode(g):
    g.polygon([(1, 5), (7, 1), (14, 3), (13, 12), (3, 13)], AREA_EDGE, AREA)
    for x, y in ((1, 5), (7, 1), (14, 3), (13, 12), (3, 13)):
        g.fill(x - 1, y - 1, x + 1, y + 1, BLACK)


def move_mode(g):
    g.line(7, 1, 7, 13, BLACK)
    g.line(1, 7, 13, 7, BLACK)
    for tip, side in (((7, 1), (0, 1)), ((7, 13), (0, -1)), ((1, 7), (1, 0)), ((13, 7), (-1, 0))):
        x, y = tip
        dx, dy = side
        for i in (1, 2):
            g.put(x + dx * i + dy * i, y + dy * i + dx * i, BLACK)
            g.put(x + dx * i - dy * i, y + dy * i - dx * i, BLACK)


def zoom_mode(g):
    magnifier(g, 6, 6, 5)
    g.line(4, 6, 8, 6, BLACK)
    g.line(6, 4, 6, 8, BLACK)


def grid_circle(g):
    for r in (4, 7, 10, 13):
        g.ring(7.5, 13, r, BLUE, dashed=r > 4)
    sensor(g, 6, 12)


def read_area(g):
    sensor(g, 1, 1)
    area_mark(g, 7, 8)
    thick_arrow(g, 3, 5, 3, 12, BLUE)


def write_area(g):
    sensor(g, 1, 1)
    area_mark(g, 7, 8)
    thick_arrow(g, 3, 12, 3, 5, BLUE)


def record_data(g):
    g.disc(7.5, 7, 5.5, (128, 0, 0), RED)


def numerical_input(g):
    g.box(0, 1, 15, 13, GREY, WHITE)
    g.line(1, 5, 14, 5, SILVER)
    g.line(1, 9, 14, 9, SILVER)
    g.line(7, 2, 7, 12, SILVER)
    g.text(2, 7, "1", BLACK)  # rows 7..11 overlap the lines on purpose
    g.text(9, 7, "2", BLACK)
    g.fill(1, 2, 14, 4, LIGHT_BLUE)


def next_area(g):
    area_mark(g, 0, 4, 1)
    thick_arrow(g, 8, 7, 14, 7, BLACK)


def previous_area(g):
    area_mark(g, 9, 4, 1)
    thick_arrow(g, 7, 7, 1, 7, BLACK)


def two_scan(digit):
    def draw(g):
        data_mark(g, 6, 1)
        data_mark(g, 6, 6)
        g.text(1, 8, digit, BLACK)
    return draw


def mirror_reflection(g):
    g.line(2, 13, 13, 2, GREY)
    g.line(3, 13, 14, 2, SILVER)
    g.line(0, 2, 6, 8, RED)
    g.line(6, 8, 0, 14, RED)


def half_hysteresis(g):
    g.line(0, 11, 8, 11, BLUE)
    g.line(8, 11, 8, 3, BLUE)
    g.line(4, 3, 15, 3, BLUE)
    g.line(4, 3, 4, 11, BLUE)
    g.text(10, 7, "H", BLACK)


def printer(g):
    g.box(3, 0, 12, 6, GREY, WHITE)
    g.box(0, 5, 15, 11, BLACK, SILVER)
    g.put(13, 7, (0, 176, 0))
    g.box(3, 9, 12, 14, GREY, WHITE)


def document_properties(g):
    printer(g)
    g.fill(5, 11, 10, 11, BLACK)
    g.fill(5, 13, 8, 13, BLACK)


def page_setup(g):
    page(g, 2, 0, 13, 14)
    g.frame(4, 2, 11, 12, LIGHT_BLUE)
    for y in (4, 6, 8, 10):
        g.line(5, y, 10, y, GREY)


def metafile(g):
    page(g, 2, 0, 13, 14)
    g.fill(4, 3, 11, 11, LIGHT_BLUE)
    g.polygon([(4, 11), (7, 6), (9, 9), (10, 7), (12, 11)], GREEN, LIGHT_GREEN)
    g.disc(10, 4.5, 1.2, (255, 200, 0), (255, 200, 0))


def header_footer(g):
    page(g, 2, 0, 13, 14)
    g.fill(4, 2, 11, 3, NAVY)
    for y in (6, 8):
        g.line(4, y, 11, y, SILVER)
    g.fill(4, 11, 11, 12, NAVY)


def close_preview(g):
    page(g, 0, 0, 10, 13)
    for y in (3, 5, 7):
        g.line(2, y, 7, y, GREY)
    for d in (0, 1):
        g.line(8 + d, 7, 14 + d, 13, RED)
        g.line(14 + d, 7, 8 + d, 13, RED)


STRIPS = {
    "file_band.bmp": [open_area, save_area, open_data, save_data, print_preview],
    "port_band.bmp": [disconnect],
    "view_band.bmp": [realtime, record, area, edit_mode, move_mode, zoom_mode, grid_circle],
    "comm_band.bmp": [read_area, write_area, record_data],
    "area_band.bmp": [numerical_input, next_area, previous_area, two_scan("1"), two_scan("2"), two_scan("3"),
                      mirror_reflection, half_hysteresis],
    # In the print band's glyph order: print, properties, page setup, metafile, header/footer, close.
    "print_band.bmp": [printer, document_properties, page_setup, metafile, header_footer, close_preview],
}


def bitmap(glyphs):
    pictures = []
    for draw in glyphs:
        g = Glyph()
        draw(g)
        g.px[0][0] = CLEAR  # the transparent colour is read from here
        pictures.append(g.px)
    width = W * len(pictures)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(H - 1, -1, -1):  # bottom-up
        row = bytearray()
        for px in pictures:
            for r, g_, b in px[y]:
                row += bytes((b, g_, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return head + info + data


def main():
    for name, glyphs in STRIPS.items():
        with open(name, "wb") as f:
            f.write(bitmap(glyphs))


if __name__ == "__main__":
    main()
