#!/usr/bin/env python3
"""Draws the view's three cursors as 32x32 monochrome .cur files: an open
hand (move mode), a gripping hand (while panning) and a magnifier (zoom mode).

Each picture is 16x16 art below, doubled: '#' black, '.' white, ' ' clear.
Run from this folder: python3 make_cursors.py
"""
import struct

OPEN_HAND = """
      ##
   ## #.###
  #..##..#.#
  #..##..#..#
   #..#..#..#
   #..#..#..# ##
 ## #.......##..#
#..##.......#..#
#...#..........#
 #.............#
  #...........#
  #...........#
   #.........#
    #........#
     #......#
     #......#
"""

GRIP_HAND = """



    ## ## ##
   #..#..#..##
   #........#.#
  ##..........#
 #.#..........#
 #............#
  #...........#
  #...........#
   #.........#
    #........#
     #......#
     #......#
"""

MAGNIFIER = """
   ####
 ##....##
 #......#
#........#
#........#
#........#
#........#
 #......#
 ##....###
   ######.#
        #..#
         #..#
          #..#
           #..#
            ##

"""


def cursor(art, hotspot):
    rows = art.strip("\n").split("\n")
    rows = (rows + [""] * 16)[:16]
    size = 32

    def cell(x, y):
        line = rows[y // 2]
        return line[x // 2] if x // 2 < len(line) else " "

    xor = bytearray()
    mask = bytearray()
    for y in range(size - 1, -1, -1):  # bottom-up
        xbits = bytearray(4)
        mbits = bytearray(4)
        for x in range(size):
            c = cell(x, y)
            if c == " ":
                mbits[x // 8] |= 0x80 >> (x % 8)
            elif c == ".":
                xbits[x // 8] |= 0x80 >> (x % 8)
        xor += xbits
        mask += mbits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return directory + entry + image


def main():
    for name, art, hot in (("move.cur", OPEN_HAND, (16, 16)), ("moving.cur", GRIP_HAND, (16, 16)),
                           ("zoom.cur", MAGNIFIER, (10, 10))):
        with open(name, "wb") as f:
            f.write(cursor(art, hot))


if __name__ == "__main__":
    main()
