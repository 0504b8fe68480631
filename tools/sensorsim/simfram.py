"""The sensor's FRAM: 512 words read and written in blocks of 64.

Messages of command 0xA4 (without CRC): read [A4 69 B] -> [A4 69 B words];
write [A4 5A B words] -> the echo [A4 5A B words as taken], the block held
pending; commit [A4 A5] -> [A4 A5 result], 1 when the pending block went into
memory. Words travel low byte first. Blocks 1 and 2 (the detection areas and
what follows them) need link level 2, every other block level 3; a request
below its level gets no reply.

Fault switches: the first bad_echoes writes, and every write to bad_block,
are taken with their first word changed (and echoed so); the first
refused_commits commits are refused (result 0, the pending block dropped);
after silent_after_commits commits the sensor falls silent for good (the
last commit's result still goes out).
"""

import os
import re

FRAM = 0xA4
GET = 0x69
SET = 0x5A
COMMIT = 0xA5

WORDS = 512
BLOCK = 64
BLOCKS = WORDS // BLOCK
AREA_FIRST = 0x40
AREA_COUNT = 7
AREA_WORDS = 16


def blank_words():
    """A FRAM never written by the program: each word tells its address."""
    return [0xC000 | address for address in range(WORDS)]


def level_for(block):
    return 2 if block in (1, 2) else 3


def words_to_bytes(words):
    return b"".join((w & 0xFFFF).to_bytes(2, "little") for w in words)


def bytes_to_words(data):
    return [data[i] | (data[i + 1] << 8) for i in range(0, len(data) - 1, 2)]


class Fram:
    def __init__(self, words=None, bad_echoes=0, refused_commits=0, bad_block=None, silent_after_commits=0):
        self.words = list(words) if words is not None else blank_words()
        if len(self.words) != WORDS:
            raise ValueError("FRAM holds %d words" % WORDS)
        self.pending = None  # (block, words) echoed and not committed
        self.bad_echoes = bad_echoes
        self.refused_commits = refused_commits
        self.bad_block = bad_block
        self.silent_after_commits = silent_after_commits
        self.commits = 0
        self.events = []  # (kind, text) for the simulator's log

    def handle(self, sub, data, level):
        if sub == GET and len(data) == 1:
            return self.read(data[0], level)
        if sub == SET and len(data) == 1 + 2 * BLOCK:
            return self.write(data[0], bytes_to_words(data[1:]), level)
        if sub == COMMIT and not data:
            return self.commit(level)
        return []

    def allowed(self, block, level):
        return block < BLOCKS and level >= level_for(block)

    def read(self, block, level):
        if not self.allowed(block, level):
            return []
        start = block * BLOCK
        return [bytes((FRAM, GET, block)) + words_to_bytes(self.words[start:start + BLOCK])]

    def write(self, block, words, level):
        if not self.allowed(block, level):
            return []
        if self.bad_echoes > 0 or block == self.bad_block:
            self.bad_echoes = max(0, self.bad_echoes - 1)
            words = [words[0] ^ 0x0001] + words[1:]
            self.events.append(("BADECHO", str(block)))
        self.pending = (block, words)
        return [bytes((FRAM, SET, block)) + words_to_bytes(words)]

    def commit(self, level):
        pending, self.pending = self.pending, None
        if pending is None or not self.allowed(pending[0], level):
            return [bytes((FRAM, COMMIT, 0))]
        block, words = pending
        if self.refused_commits > 0:
            self.refused_commits -= 1
            self.events.append(("REFUSE", str(block)))
            return [bytes((FRAM, COMMIT, 0))]
        self.words[block * BLOCK:(block + 1) * BLOCK] = words
        self.commits += 1
        self.events.append(("COMMIT", str(block)))
        return [bytes((FRAM, COMMIT, 1))]

    def fallen_silent(self):
        return 0 < self.silent_after_commits <= self.commits

    def take_events(self):
        events, self.events = self.events, []
        return events

    def dump(self, path):
        """One line per word, "address word" in hex; replaced atomically."""
        temp = path + ".tmp"
        with open(temp, "w") as f:
            for address, word in enumerate(self.words):
                f.write("%03x %04x\n" % (address, word))
        os.replace(temp, path)


# Area files and the area image

def is_version_10(version_text):
    match = re.match(r"\s*(\d+)\.(\d+)", version_text)
    return match is not None and int(match.group(1)) == 1 and int(match.group(2)) == 0


def area_words(points, output2, output3, flags, version10):
    """The 16 FRAM words of one area: seven points (x, y), Output2, Output3,
    with the flags packed as the sensor's firmware version keeps them."""
    values = [c for point in points for c in point] + [output2, output3]
    words = [v & 0xFFFF for v in values]
    if version10:
        words[14] = (output2 & 0x1FFF) | (((flags >> 3) & 3) << 13) | (0x8000 if flags & 0x20 else 0)
        words[15] = (output3 & 0x1FFF) | ((flags & 7) << 13)
        return words
    return [(w & 0x7FFF) | (((flags >> i) & 1) << 15) for i, w in enumerate(words)]


def parse_area_file(text):
    """The seven areas of an area file as (points, output2, output3, flags)."""
    header = "[ZOR Area Data File]"
    if text.startswith(header):
        text = text[len(header):]
    tokens = [t for t in re.split(r"[ \r\n]+", text) if t]
    pos = 0

    def take():
        nonlocal pos
        if pos >= len(tokens):
            raise ValueError("area file ends early")
        pos += 1
        return tokens[pos - 1]

    def expect(key):
        token = take()
        if token != key:
            raise ValueError("expected %s, found %s" % (key, token))

    areas = []
    for a in range(1, AREA_COUNT + 1):
        expect("[Area%d]" % a)
        expect("[Output1]")
        points = []
        for p in range(1, 8):
            expect("[Point%d]" % p)
            points.append((int(take()), int(take())))
        expect("[Output2]")
        output2 = int(take())
        expect("[Output3]")
        output3 = int(take())
        expect("[PartitionShape]")
        flags = (int(take()) & 3) << 3
        if take() not in ("[2ScanMode]", "[JudgementMode]"):
            raise ValueError("no 2ScanMode in area %d" % a)
        flags |= int(take()) & 7
        if pos < len(tokens) and tokens[pos] == "[MirrorReflectionMode]":
            take()
            flags |= (int(take()) & 1) << 5
        if pos < len(tokens) and tokens[pos] == "[HalfHysteresis]":
            take()
            flags |= (int(take()) & 1) << 6
        areas.append((points, output2, output3, flags))
    return areas


def words_from_area_file(path, version_text):
    """A blank FRAM with the file's areas at their place."""
    with open(path, encoding="latin-1") as f:
        areas = parse_area_file(f.read())
    version10 = is_version_10(version_text)
    words = blank_words()
    for a, area in enumerate(areas):
        start = AREA_FIRST + AREA_WORDS * a
        words[start:start + AREA_WORDS] = area_words(*area, version10)
    return words
