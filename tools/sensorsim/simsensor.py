"""The sensor's side of the protocol: one handler per command byte.

To teach the simulator a command, add a method handle_<name>(sub, data) that
returns a list of reply messages (without CRC) and enter it in COMMANDS.
"""

import random

from simcodec import crc16
from simflash import Flash
from simfram import FRAM, Fram
from simscene import Scene

GET = 0x69  # "i"
SET = 0x5A  # "Z"

LINK = 0xA0
VERSION = 0xA1
DISTANCE = 0xA2
STAMP_LIMIT = 0xF000
IO = 0xA8
WAVE_FORM = 0xA9
FIRMWARE = 0xAF

# Firmware update requests: the byte after the sub-command.
RESET = 0x00
BLOCK_ERASE = 0x20
PROGRAM = 0x41
READ = 0xFF
DONE = 0x80  # status byte of a good erase or program

MAX_LEVEL = 3
VERSION_BYTES = 64
FULL_SCAN_STEPS = 769
FEW_STEPS_LETTER_U = 31


class UpdateFaults:
    """How the firmware update goes wrong: a refused start, read-backs with a
    flipped byte, silence after a number of update requests."""

    def __init__(self, refuse=False, bad_reads=0, silent_after=0):
        self.refuse = refuse
        self.bad_reads = bad_reads
        self.silent_after = silent_after


class Sensor:
    def __init__(self, seed=1, version="5.1.3K", scene=None, steps=None, io_state=0x05, update_faults=None,
                 dump=None, fram=None):
        self.random = random.Random(seed)
        self.level = 0
        self.challenge = None
        self.version = version.encode("latin-1")[:VERSION_BYTES].ljust(VERSION_BYTES, b"\0")
        self.scene = scene or Scene()
        # A sensor of version letter U scans 31 steps, the others 769.
        self.steps = steps or (FEW_STEPS_LETTER_U if version[-1:] == "U" else FULL_SCAN_STEPS)
        self.io_state = io_state & 0xFF  # the lines as the sensor drives them
        self.disguised = 0  # forced lines: a set bit here drives the line off
        self.mask = 0       # the lines being forced
        self.io_sequence = []  # driven states taken in turn, each for io_hold polls
        self.io_hold = 1
        self.io_polls = 0
        self.commands = {LINK: self.handle_link, VERSION: self.handle_version, DISTANCE: self.handle_distance,
                         IO: self.handle_io, WAVE_FORM: self.handle_wave_form, FIRMWARE: self.handle_firmware,
                         FRAM: self.handle_fram}
        self.flash = Flash()
        self.fram = fram or Fram()
        self.updating = False
        self.fram.pending = None
        self.update_faults = update_faults or UpdateFaults()
        self.update_requests = 0
        self.dark = False  # silent for good
        self.stamp_scans = False  # the last step of each scan counts the scans
        self.scans = 0
        self.dump_path = dump
        self.dumps = 0  # final resets so far
        self.events = []  # (log kind, text): refused link Sets

    def take_events(self):
        events, self.events = self.events, []
        return events

    def restart(self):
        """Power cycle: the link, its challenge, any forcing, the update mode and an
        uncommitted FRAM block are gone."""
        self.level = 0
        self.challenge = None
        self.disguised = self.mask = 0
        self.updating = False
        self.fram.pending = None

    def handle(self, message):
        """Reply messages for one good request (CRC included in message)."""
        if len(message) < 4 or self.dark:
            return []
        handler = self.commands.get(message[0])
        if handler is None:
            return []
        return handler(message[1], message[2:-2])

    def handle_link(self, sub, data):
        # Get: an 8-byte challenge, which replaces the one before. Set: level and
        # CRC-16 of the latest challenge; a wrong answer leaves the level (a Set
        # for another level is then refused); level 0 needs no answer.
        if sub == GET and not data:
            self.challenge = bytes(self.random.randrange(256) for _ in range(8))
            return [bytes((LINK, GET)) + self.challenge]
        if sub == SET and len(data) == 3:
            wanted = data[0]
            answer = data[1] | (data[2] << 8)
            if wanted == 0 or (wanted <= MAX_LEVEL and self.answer_ok(answer)):
                self.level = wanted
            elif wanted != self.level:
                self.events.append(("DENIED", "%d %d" % (wanted, self.level)))
            return [bytes((LINK, SET, self.level))]
        return []

    def answer_ok(self, answer):
        return self.challenge is not None and crc16(self.challenge + b"\0\0") == answer

    # Version and distance are served only to a linked program.

    def handle_version(self, sub, data):
        if sub == GET and not data and self.level >= 1:
            return [bytes((VERSION, GET)) + self.version]
        return []

    def handle_distance(self, sub, data):
        if sub == GET and not data and self.level >= 1:
            words = self.scene.words(self.steps)
            if self.stamp_scans:
                # Below the no-echo values, so the stamp is drawn as a distance.
                self.scans += 1
                words = words[:-2] + (self.scans % STAMP_LIMIT).to_bytes(2, "little")
            return [bytes((DISTANCE, GET)) + words]
        return []

    # I/O: the state byte shows each forced line as the inverse of its
    # disguised bit; a Set forces the lines of its mask and echoes its bytes.

    def set_io_sequence(self, states, hold):
        """The lines change by themselves: each state is driven for hold polls, then the next."""
        self.io_sequence = [s & 0xFF for s in states]
        self.io_hold = max(1, hold)
        self.io_polls = 0
        if self.io_sequence:
            self.io_state = self.io_sequence[0]

    def io_status(self):
        return (self.io_state & ~self.mask | ~self.disguised & self.mask) & 0xFF

    def next_io_poll(self):
        if self.io_sequence:
            turn = self.io_polls // self.io_hold
            self.io_state = self.io_sequence[turn % len(self.io_sequence)]
        self.io_polls += 1

    def handle_io(self, sub, data):
        if self.level != 1:
            return []
        if sub == GET and not data:
            self.next_io_poll()
            return [bytes((IO, GET, self.io_status(), self.disguised, self.mask))]
        if sub == SET and len(data) == 2:
            self.disguised, self.mask = data[0], data[1]
            return [bytes((IO, SET, self.disguised, self.mask))]
        return []

    # Waveform: the report of one step. Byte 1 echoes the request's last byte
    # (selector in bit 7, step bits 8-9 in bits 0-1); the two measurements of
    # a pair differ in level and AGC.

    def handle_wave_form(self, sub, data):
        if self.level != 1 or sub != GET or len(data) != 2:
            return []
        step = data[0] | ((data[1] & 3) << 8)
        selector = data[1] >> 7
        distances = self.scene.distances(max(self.steps, step + 1))
        words = [0x0100 * phase + word for phase in range(4) for word in range(3)]
        words += [distances[step], 600 + 100 * selector, 300 + 200 * selector]
        body = b"".join(w.to_bytes(2, "little") for w in words)
        return [bytes((WAVE_FORM, GET, data[0], data[1])) + body]

    # Firmware update: started at level 3, then erase, program and read pages
    # until the final reset, after which the sensor restarts at level 0.

    def handle_firmware(self, sub, data):
        if sub != SET or not data:
            return []
        faults = self.update_faults
        self.update_requests += 1
        if faults.silent_after and self.update_requests > faults.silent_after:
            self.dark = True
            return []
        if not self.updating:
            return self.start_update(data)
        kind, address = data[0], int.from_bytes(data[1:5], "little")
        if kind == RESET and len(data) == 1:
            self.finish_update()
            return []
        if len(data) < 5:
            return []
        head = bytes((FIRMWARE, SET, kind)) + data[1:5]
        if kind == BLOCK_ERASE and len(data) == 5 and self.flash.holds(address):
            self.flash.erase(address)
            return [head + bytes((DONE,))]
        if kind == PROGRAM and len(data) == 5 + 256 and self.flash.holds(address):
            self.flash.program(address, data[5:])
            return [head + bytes((DONE,))]
        if kind == READ and len(data) == 5 and self.flash.holds(address):
            page = bytearray(self.flash.read(address))
            if faults.bad_reads > 0:
                faults.bad_reads -= 1
                page[17] ^= 0x01
            return [head + bytes(page)]
        return []

    def start_update(self, data):
        """Start request: 0 file, 1 file with boot part, 2 from memory."""
        mode = data[0]
        if len(data) != 1 or mode > 2:
            return []
        if self.level < MAX_LEVEL or self.update_faults.refuse:
            return [bytes((FIRMWARE, SET, 1, mode))]
        self.updating = True
        return [bytes((FIRMWARE, SET, 0, mode))]

    def finish_update(self):
        self.write_dump()
        self.dumps += 1
        self.restart()

    def write_dump(self):
        if self.dump_path:
            self.flash.dump(self.dump_path)

    # FRAM: blocks of 64 words, see simfram.

    def handle_fram(self, sub, data):
        replies = self.fram.handle(sub, data, self.level)
        self.dark = self.dark or self.fram.fallen_silent()
        return replies
