#!/usr/bin/env python3
"""Sensor simulator for end-to-end tests.

Opens a pseudo-terminal, links its slave end into a Wine prefix as
dosdevices/comN, decodes the frames the program writes, answers as a sensor
would, and logs every frame received and sent. Fault switches bend the replies:
bad CRC, bytes outside frames, dropped replies, delays, silence, replies split
into pieces or repeated in one write, an outage after which the sensor has
restarted, a hang-up as of a pulled cable (the pseudo-terminal closes) after
which a new one may serve the same COM port, bytes left on the line before the
program opens it, a late link challenge that arrives unasked once the program
has set the line. With --unplug-file the test pulls and plugs the cable itself:
while that file exists the pseudo-terminal is closed, unless it reads "at <hex>
[n]": then the cable is pulled as the nth request starting with those bytes
arrives, before it is answered, and the file then reads "pulled". With --pace
its replies take the time a real line at the rate and stop bits the program set
would take. The sensor talks at its own rate
(--baud), which a switch line such as "S0576000000000\n" changes: while the
program's side of the line is set to another rate, every
reply is written as a UART at the program's rate would read it (garbled).
Requests are taken as sent, since the pseudo-terminal carries bytes, not bit
timings. It stops by itself after --lifetime seconds, or on SIGTERM/SIGINT.
Hung up or stopped, it points its link at a path that cannot exist: the port
reaches nothing until a simulator links it again, and Wine finds the link
there and makes no other of its own.

With --allowed-file the test tells what the program may do now (which line
rates its setting allows, whether its realtime scan is on; see simwatch), and
the simulator logs what goes against it, and two link sessions at once, as
FAULT; a refused link Set (a wrong answer for another level) is logged as
DENIED.

Log lines: "<ms since start> <KIND> <hex or text>", KIND one of START, LINK,
BAUD, RX (good message, CRC included), RXBAD (message failing its CRC), NOISE
(bytes outside frames), SWITCH (a rate switch line arrived: the sensor's new
rate), TX, TXBAD (sent with a wrong CRC), DROP, STALL
(reading stops for a while), RESUME, PACE (line rate and bits per byte),
FLASH (the programmed pages were dumped, at the update's final reset and at exit),
OUTAGE (the sensor goes dark: frames are logged, not handled), BACK (it answers
again, restarted), MISRATE (the program's rate and the bytes it will read
instead of a reply piece), STALE (bytes left on the line), LATE (a challenge
nobody asked for, sent), HANGUP (the pseudo-terminal closed), ARM (a pull waits
for a request), PULL (the request that pulled it), RETURN (a new one linked, the
sensor restarted), COMMIT (a FRAM block went into
memory), REFUSE (a commit was refused), BADECHO (a FRAM write was taken
wrongly), DENIED (a link Set refused: the level asked for and the level kept),
ALLOWED (what the control file allows, as taken), FAULT (the program did what
it must not: the reason), STOP.

FRAM: 512 words, blank (each word 0xC000 | its address) or with the areas of
an area file (--areas) in the layout of the version text. With --fram-dump its
words are written to a file ("address word" in hex, one per line) at the
start, after every commit and at exit.
"""

import argparse
import os
import select
import signal
import sys
import termios
import time
import tty

import simcodec
import simfram
import simline
import simuart
import simwatch
from simscene import Scene
from simsensor import Sensor, UpdateFaults

# Where a link points while no simulator serves it: /dev/null is no folder.
NOWHERE = "/dev/null/no-sensor"

BAUD_NAMES = {getattr(termios, "B%d" % rate): rate
              for rate in (1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400)
              if hasattr(termios, "B%d" % rate)}


class SwitchLines:
    """Finds the lines that tell the sensor to change its rate among the
    bytes outside frames, also when a line arrives in pieces."""

    RATES = {b"S0192000000000\n": 19200, b"S0576000000000\n": 57600, b"S1152000000000\n": 115200}
    LENGTH = 15

    def __init__(self):
        self.tail = b""

    def feed(self, data):
        """The rates of the switch lines that data completes, in order."""
        text = self.tail + data
        rates = []
        end = text.find(b"\n")
        while end >= 0:
            rate = self.RATES.get(text[max(0, end + 1 - self.LENGTH):end + 1])
            if rate is not None:
                rates.append(rate)
            end = text.find(b"\n", end + 1)
        after = text[text.rfind(b"\n") + 1:]
        self.tail = after[-(self.LENGTH - 1):]
        return rates


class Faults:
    """Which replies go wrong, counted over the replies made so far."""

    def __init__(self, bad_crc_every=0, drop_every=0, noise=b"", delay_ms=0, silent=False,
                 chunk=0, chunk_delay_ms=0, burst=1, stall_ms=0, outage_after_ms=0, outage_ms=0,
                 hangup_after_ms=0, return_after_ms=0, stale=b"",
                 outage_command=None, unplug_file=None, late_challenge_ms=0):
        self.bad_crc_every = bad_crc_every
        self.drop_every = drop_every
        self.noise = noise
        self.delay_ms = delay_ms
        self.silent = silent
        self.chunk = chunk
        self.chunk_delay_ms = chunk_delay_ms
        self.burst = max(1, burst)
        self.stall_ms = stall_ms
        self.outage_after_ms = outage_after_ms
        self.outage_ms = outage_ms
        self.hangup_after_ms = hangup_after_ms
        self.return_after_ms = return_after_ms
        self.stale = stale
        self.outage_command = outage_command  # the outage counts from the first frame of this command
        self.unplug_file = unplug_file  # while this file exists the cable is pulled
        self.late_challenge_ms = late_challenge_ms  # after the program sets the line; once
        self.count = 0

    def next_reply(self):
        self.count += 1
        return self.count

    @staticmethod
    def every(n, count):
        return n > 0 and count % n == 0


class Log:
    def __init__(self, path):
        self.start = time.monotonic()
        self.file = open(path, "a", buffering=1) if path else None

    def write(self, kind, text=""):
        if self.file:
            ms = int((time.monotonic() - self.start) * 1000)
            self.file.write("%d %s %s\n" % (ms, kind, text))

    def close(self):
        if self.file:
            self.file.close()
            self.file = None


class Simulator:
    def __init__(self, sensor, faults, log, pace=False, rate=None, fram_dump=None, times=None, watch=None):
        self.sensor = sensor
        self.watch = watch or simwatch.Watch()
        self.rate = rate  # the sensor's own line rate; None answers at any rate
        self.fram_dump = fram_dump
        self.faults = faults
        self.log = log
        self.parser = simcodec.FrameParser()
        self.master = None
        self.slave = None
        self.link = None
        self.queue = []  # (due time, bytes, reply or None) written in order once due
        self.times = times  # file of line times, or None
        self.baud = None
        self.stopping = False
        self.stalled_until = None  # reading stops until then once the first frame came
        self.line = simline.Line() if pace else None
        self.arrived = 0.0  # when the request being answered would have arrived
        self.completed = {}  # reply message -> (message with CRC, frame): scans repeat
        self.outage = None  # (start, end) once the first good frame came
        self.place = None  # (prefix, com) of the link
        self.hangup_at = None  # once the first good frame came, while a hang-up is due
        self.return_at = None  # while hung up with a return due
        self.hung_up = False  # the hang-up happens once
        self.arm_text = None  # the unplug file's text that armed the pull
        self.armed = None  # [hex prefix, matching requests still to come]
        self.switches = SwitchLines()
        self.late_sent = False

    # Pseudo-terminal and link

    def open_pty(self):
        self.master, self.slave = os.openpty()
        # Raw from the start: no echo, no line editing before the program sets the line.
        tty.setraw(self.slave)
        os.set_blocking(self.master, False)
        return os.ttyname(self.slave)

    def link_into(self, prefix, com):
        self.place = (prefix, com)
        name = self.open_pty()
        folder = os.path.join(prefix, "dosdevices")
        os.makedirs(folder, exist_ok=True)
        link = os.path.join(folder, "com%d" % com)
        temp = link + ".sim%d" % os.getpid()
        os.symlink(name, temp)
        os.replace(temp, link)  # atomic: never a moment without a link
        self.link = (link, name)
        self.log.write("LINK", "com%d %s" % (com, name))
        self.watch_baud()
        if self.faults.stale:
            # Left by an earlier program: waits in the line until somebody reads it.
            self.log.write("STALE", self.faults.stale.hex())
            self.write_all(self.faults.stale)
        return name

    def unlink(self):
        """Points the link, while it is still ours, at nothing."""
        if self.link is None:
            return
        link, name = self.link
        try:
            if os.readlink(link) == name:
                temp = link + ".sim%d" % os.getpid()
                os.symlink(NOWHERE, temp)
                os.replace(temp, link)
        except OSError:
            pass
        self.link = None

    def close(self):
        self.unlink()
        for fd in (self.master, self.slave):
            if fd is not None:
                os.close(fd)
        self.master = self.slave = None

    def hang_up_or_return(self, now):
        """Closes the pseudo-terminal as a pulled cable would; later links a
        new one to the same port, with the sensor restarted."""
        if self.faults.unplug_file:
            pulled = self.cable_pulled()
            if pulled and self.master is not None:
                self.hang_up()
            elif not pulled and self.master is None:
                self.plug_back()
        elif self.hangup_at is not None and now >= self.hangup_at:
            self.hangup_at = None
            self.hang_up()
            if self.faults.return_after_ms:
                self.return_at = now + self.faults.return_after_ms / 1000.0
        elif self.return_at is not None and now >= self.return_at:
            self.return_at = None
            self.plug_back()

    def cable_pulled(self):
        """Whether the unplug file pulls the cable now; one reading "at <hex> [n]"
        arms a pull instead (once per text)."""
        try:
            with open(self.faults.unplug_file) as f:
                text = f.read()
        except OSError:
            self.arm_text = self.armed = None
            return False
        words = text.split()
        if words[:1] != ["at"]:
            return True
        if len(words) > 1 and text != self.arm_text:
            self.arm_text = text
            self.armed = [words[1].lower(), int(words[2]) if len(words) > 2 else 1]
            self.log.write("ARM", " ".join(words[1:]))
        return False

    def pull_at(self, message):
        """Pulls the cable when message is the request an armed pull waits for."""
        if self.armed is None or not message.hex().startswith(self.armed[0]):
            return False
        self.armed[1] -= 1
        if self.armed[1] > 0:
            return False
        self.log.write("PULL", message.hex())
        with open(self.faults.unplug_file, "w") as f:
            f.write("pulled\n")
        self.arm_text = self.armed = None
        self.hang_up()
        return True

    def hang_up(self):
        self.log.write("HANGUP")
        self.close()
        self.queue = []

    def plug_back(self):
        self.parser = simcodec.FrameParser()
        self.sensor.restart()
        self.baud = None
        self.link_into(*self.place)
        self.log.write("RETURN")

    # Receiving and answering

    def on_bytes(self, data):
        if self.line is not None:
            self.arrived = self.line.arrival(len(data), time.monotonic())
        self.watch_baud()  # the rate the bytes came at
        self.log_faults(self.watch.on_bytes(self.program_rate()))
        for kind, payload in self.parser.feed(data):
            if kind == "frame":
                self.log.write("RX", payload.hex())
                self.log_faults(self.watch.on_request(payload))
                if self.pull_at(payload):
                    return
                self.note_time("RX", payload[:2].hex())
                self.start_hangup()
                self.start_stall()
                if self.faults.outage_command in (None, payload[0]):
                    self.start_outage()
                if self.in_outage(time.monotonic()):
                    continue
                dumps = self.sensor.dumps
                for reply in self.sensor.handle(payload):
                    self.reply(reply)
                for kind, text in self.sensor.take_events():
                    self.log.write(kind, text)
                if self.sensor.dumps != dumps:
                    self.log.write("FLASH", self.sensor.dump_path or "-")
                self.note_fram()
            elif kind == "bad":
                self.log.write("RXBAD", payload.hex())
            else:
                self.log.write("NOISE", payload.hex())
                for rate in self.switches.feed(payload):
                    self.switch_rate(rate)

    def log_faults(self, faults):
        for fault in faults:
            self.log.write("FAULT", fault)

    def switch_rate(self, rate):
        """The sensor talks at the new rate from now on (one that answers at
        any rate stays so)."""
        self.log.write("SWITCH", str(rate))
        if self.rate is not None:
            self.rate = rate

    def note_fram(self):
        committed = False
        for kind, text in self.sensor.fram.take_events():
            self.log.write(kind, text)
            committed = committed or kind == "COMMIT"
        if committed:
            self.dump_fram()

    def dump_fram(self):
        if self.fram_dump:
            self.sensor.fram.dump(self.fram_dump)

    def start_stall(self):
        if self.faults.stall_ms and self.stalled_until is None:
            self.stalled_until = time.monotonic() + self.faults.stall_ms / 1000.0
            self.log.write("STALL", str(self.faults.stall_ms))

    def stalled(self, now):
        if self.stalled_until is None or self.stalled_until is True:
            return False
        if now < self.stalled_until:
            return True
        self.stalled_until = True  # once only
        self.log.write("RESUME")
        return False

    def start_hangup(self):
        if self.faults.hangup_after_ms and not self.hung_up:
            self.hung_up = True  # once only
            self.hangup_at = time.monotonic() + self.faults.hangup_after_ms / 1000.0

    def start_outage(self):
        if self.faults.outage_ms and self.outage is None:
            start = time.monotonic() + self.faults.outage_after_ms / 1000.0
            self.outage = (start, start + self.faults.outage_ms / 1000.0)

    def in_outage(self, now):
        """True while the sensor is dark; it restarts as the outage begins."""
        if self.outage is None or self.outage == "over" or now < self.outage[0]:
            return False
        start, end = self.outage
        if start != 0:
            self.log.write("OUTAGE", str(self.faults.outage_ms))
            self.sensor.restart()
            self.outage = (0, end)  # begun
        if now < end:
            return True
        self.outage = "over"  # once only
        self.log.write("BACK")
        return False

    def complete(self, message):
        if message not in self.completed:
            if len(self.completed) > 64:
                self.completed.clear()
            complete = simcodec.with_crc(message)
            self.completed[message] = (complete, simcodec.frame(complete))
        return self.completed[message]

    def reply(self, message):
        faults = self.faults
        count = faults.next_reply()
        complete, frame = self.complete(message)
        if faults.silent or faults.every(faults.drop_every, count):
            self.log.write("DROP", complete.hex())
            return
        if faults.every(faults.bad_crc_every, count):
            complete = complete[:-1] + bytes((complete[-1] ^ 0x5A,))
            frame = simcodec.frame(complete)
            self.log.write("TXBAD", complete.hex())
        else:
            self.log.write("TX", complete.hex())
        self.send(faults.noise + frame * faults.burst, faults.delay_ms, complete)

    def send(self, data, delay_ms=0, reply=None):
        """Queues raw bytes, split into pieces when the chunk switch is on; the
        last piece carries the reply message for the line times."""
        due = time.monotonic() + delay_ms / 1000.0
        if self.queue:
            due = max(due, self.queue[-1][0])
        if self.line is not None and self.line.rate:
            # Not before the request has arrived, and at the line's pace.
            pieces = self.line.schedule(data, max(due, self.arrived))
        else:
            size = self.faults.chunk or len(data)
            pieces = []
            for i in range(0, len(data), size):
                pieces.append((due, data[i:i + size]))
                due += self.faults.chunk_delay_ms / 1000.0
        last = len(pieces) - 1
        self.queue.extend((at, piece, reply if i == last else None) for i, (at, piece) in enumerate(pieces))

    def flush_due(self):
        now = time.monotonic()
        if self.queue and self.queue[0][0] <= now:
            self.watch_baud()  # the rate the program reads at, as the bytes leave
        while self.queue and self.queue[0][0] <= now:
            _, data, reply = self.queue.pop(0)
            self.write_all(self.as_read(data))
            if reply is not None:
                # Command and sub-command, and the last data word (a scan's stamp).
                self.note_time("TX", "%s %d" % (reply[:2].hex(), int.from_bytes(reply[-4:-2], "little")))

    def note_time(self, kind, text):
        """A line time: when a request was read or a reply's last byte written,
        in seconds of CLOCK_MONOTONIC_RAW, the clock of Wine's performance counter."""
        if self.times:
            self.times.write("%s %.6f %s\n" % (kind, time.clock_gettime(time.CLOCK_MONOTONIC_RAW), text))

    def program_rate(self):
        return BAUD_NAMES.get(self.baud)

    def as_read(self, data):
        """The bytes the program's UART takes from data sent at the sensor's rate."""
        read_rate = self.program_rate()
        if self.rate is None or read_rate is None or read_rate == self.rate:
            return data
        read = simuart.reread(data, self.rate, sensor_stop_bits(self.rate), read_rate)
        self.log.write("MISRATE", "%d %s" % (read_rate, read.hex()))
        return read

    def write_all(self, data):
        view = memoryview(data)
        deadline = time.monotonic() + 2.0
        while view and time.monotonic() < deadline:
            try:
                n = os.write(self.master, view)
                view = view[n:]
            except BlockingIOError:
                select.select([], [self.master], [], 0.05)

    def watch_baud(self):
        try:
            attrs = termios.tcgetattr(self.master)
        except termios.error:
            return
        speed = attrs[5]
        if speed != self.baud:
            opened = self.baud is not None  # not the first look, at the link: the program set the line
            self.baud = speed
            self.log.write("BAUD", str(BAUD_NAMES.get(speed, speed)))
            if opened:
                self.send_late_challenge()
        if self.line is not None and self.line.configure(attrs):
            self.log.write("PACE", "%s %d" % (self.line.rate, self.line.bits))

    def send_late_challenge(self):
        """A challenge reply from before a restart, which the sensor no longer
        holds, arrives after the program opened the line and before it asks."""
        if not self.faults.late_challenge_ms or self.late_sent:
            return
        self.late_sent = True
        complete = simcodec.with_crc(bytes((0xA0, 0x69)) + bytes(range(1, 9)))
        self.log.write("LATE", complete.hex())
        self.send(simcodec.frame(complete), self.faults.late_challenge_ms)

    def run(self, lifetime):
        end = time.monotonic() + lifetime
        while not self.stopping:
            now = time.monotonic()
            if now >= end:
                self.log.write("STOP", "lifetime")
                return
            self.hang_up_or_return(now)
            allowed = self.watch.refresh()
            if allowed is not None:
                self.log.write("ALLOWED", allowed)
            timeout = min(end - now, 0.05)
            if self.master is None:  # hung up
                time.sleep(timeout)
                continue
            if self.queue:
                timeout = max(0.0, min(timeout, self.queue[0][0] - now))
            watched = [] if self.stalled(now) else [self.master]
            readable, _, _ = select.select(watched, [], [], timeout)
            if readable:
                try:
                    data = os.read(self.master, 4096)
                except (BlockingIOError, OSError):
                    data = b""
                if data:
                    self.on_bytes(data)
            if self.master is None:  # a request pulled the cable
                continue
            self.watch_baud()
            self.flush_due()
        self.log.write("STOP", "signal")


def sensor_stop_bits(rate):
    """The sensor sends one stop bit at 19200 baud and two at the faster rates."""
    return 1 if rate == 19200 else 2


def parse_rate(text):
    if text == "any":
        return None
    rate = int(text)
    if rate not in (19200, 57600, 115200):
        raise argparse.ArgumentTypeError("a sensor talks at 19200, 57600 or 115200 baud, or 'any'")
    return rate


def parse_args(argv):
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--prefix", default=os.environ.get("WINEPREFIX"), help="Wine prefix (default $WINEPREFIX)")
    p.add_argument("--com", type=int, required=True, help="COM port number to link, 1..9")
    p.add_argument("--log", help="log file (appended)")
    p.add_argument("--ready", help="file written once the link exists")
    p.add_argument("--lifetime", type=float, default=60.0, help="seconds before stopping by itself")
    p.add_argument("--seed", type=int, default=1, help="seed of the link challenges")
    p.add_argument("--bad-crc-every", type=int, default=0, help="every Nth reply carries a wrong CRC")
    p.add_argument("--drop-every", type=int, default=0, help="every Nth reply is not sent")
    p.add_argument("--noise-hex", default="", help="bytes written before every reply frame")
    p.add_argument("--delay-ms", type=int, default=0, help="delay before every reply")
    p.add_argument("--silent", action="store_true", help="never reply")
    p.add_argument("--chunk", type=int, default=0, help="write replies in pieces of N bytes")
    p.add_argument("--chunk-delay-ms", type=int, default=0, help="pause between pieces")
    p.add_argument("--burst", type=int, default=1, help="write each reply frame N times in one write")
    p.add_argument("--stall-ms", type=int, default=0, help="stop reading for M ms after the first good frame")
    p.add_argument("--outage-after-ms", type=int, default=0,
                   help="the sensor goes dark this long after the first good frame")
    p.add_argument("--outage-ms", type=int, default=0, help="how long it stays dark; it comes back restarted")
    p.add_argument("--hangup-after-ms", type=int, default=0,
                   help="the pseudo-terminal closes this long after the first good frame, as a pulled cable")
    p.add_argument("--return-after-ms", type=int, default=0,
                   help="after a hang-up, a new pseudo-terminal serves the same port this much later")
    p.add_argument("--unplug-file", default=None,
                   help="while this file exists the pseudo-terminal is closed, as a pulled cable; "
                        "once it is gone a new one serves the port, the sensor restarted; "
                        "'at <hex> [n]' in it pulls the cable at the nth request starting so")
    p.add_argument("--stale-hex", default="", help="bytes left on the line before the program opens it")
    p.add_argument("--late-challenge-ms", type=int, default=0,
                   help="this long after the program first sets the line, a link challenge nobody asked for arrives")
    p.add_argument("--outage-at-command", type=lambda text: int(text, 16), default=None,
                   help="count the outage from the first frame of this command (hex) instead")
    p.add_argument("--allowed-file", default=None,
                   help="what the program may do now, as the test writes it: lines 'rates <baud>...' and "
                        "'realtime on|off'; requests against it are logged as FAULT")
    p.add_argument("--pace", action="store_true", help="send at the rate and stop bits the program set")
    p.add_argument("--baud", type=parse_rate, default=19200,
                   help="the sensor's own rate: 19200 (default), 57600, 115200, or any")
    p.add_argument("--io-state", type=lambda t: int(t, 0), default=0x05,
                   help="the I/O state byte before any forcing: inputs in bits 0-3, outputs in 4-7")
    p.add_argument("--io-states", type=lambda t: [int(x, 0) for x in t.split(",")], default=[],
                   help="driven I/O states taken in turn, comma-separated (replaces --io-state)")
    p.add_argument("--io-hold", type=int, default=4, help="polls each state of --io-states is held")
    p.add_argument("--version-text", default="5.1.3K", help="the version text, up to 64 characters")
    p.add_argument("--scene", default=None, help="distances: background;first-last:mm;... (step 0 is 0)")
    p.add_argument("--steps", type=int, default=0, help="scan steps (default 769, 31 for version letter U)")
    p.add_argument("--flash-dump", help="file for the programmed flash pages: '<address> <hex>' per page")
    p.add_argument("--refuse-update", action="store_true", help="refuse the firmware update's start")
    p.add_argument("--bad-reads", type=int, default=0, help="the first N flash read-backs have a byte flipped")
    p.add_argument("--update-silent-after", type=int, default=0,
                   help="fall silent for good after N firmware update requests")
    p.add_argument("--areas", help="area file (*.ara) whose areas the FRAM holds at the start")
    p.add_argument("--fram-dump", help="file that receives the FRAM words")
    p.add_argument("--fram-bad-echoes", type=int, default=0, help="the first N FRAM writes are taken wrongly")
    p.add_argument("--fram-refused-commits", type=int, default=0, help="the first N FRAM commits are refused")
    p.add_argument("--fram-bad-block", type=int, default=None, help="every write to this FRAM block is taken wrongly")
    p.add_argument("--fram-silent-after-commits", type=int, default=0,
                   help="the sensor falls silent for good after N FRAM commits (the Nth is still answered)")
    p.add_argument("--scan-stamp", action="store_true", help="each scan's last step counts the scans sent: 1, 2, ...")
    p.add_argument("--line-times", help="file of line times: 'RX <s> <hex>' per request read, "
                   "'TX <s> <hex> <last word>' per reply's last byte written; s of CLOCK_MONOTONIC_RAW")
    args = p.parse_args(argv)
    if not args.prefix:
        p.error("no Wine prefix: pass --prefix or set WINEPREFIX")
    if not 1 <= args.com <= 9:
        p.error("Wine lists only COM1 to COM9")
    return args


def main(argv=None):
    args = parse_args(sys.argv[1:] if argv is None else argv)
    faults = Faults(args.bad_crc_every, args.drop_every, bytes.fromhex(args.noise_hex), args.delay_ms,
                    args.silent, args.chunk, args.chunk_delay_ms, args.burst, args.stall_ms,
                    args.outage_after_ms, args.outage_ms, args.hangup_after_ms, args.return_after_ms,
                    bytes.fromhex(args.stale_hex), args.outage_at_command, args.unplug_file,
                    args.late_challenge_ms)
    log = Log(args.log)
    scene = Scene(args.scene) if args.scene else None
    update_faults = UpdateFaults(args.refuse_update, args.bad_reads, args.update_silent_after)
    words = simfram.words_from_area_file(args.areas, args.version_text) if args.areas else None
    fram = simfram.Fram(words, args.fram_bad_echoes, args.fram_refused_commits, args.fram_bad_block,
                        args.fram_silent_after_commits)
    sensor = Sensor(args.seed, args.version_text, scene, args.steps or None, args.io_state, update_faults,
                    args.flash_dump, fram)
    sensor.set_io_sequence(args.io_states, args.io_hold)
    sensor.stamp_scans = args.scan_stamp
    times = open(args.line_times, "w", buffering=1) if args.line_times else None
    sim = Simulator(sensor, faults, log, args.pace, args.baud, args.fram_dump, times,
                    simwatch.Watch(args.allowed_file))

    def stop(signum, frame):
        sim.stopping = True

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    log.write("START", " ".join(sys.argv[1:] if argv is None else argv))
    for left in (args.unplug_file, args.allowed_file):
        if left and os.path.exists(left):
            os.unlink(left)  # left by an earlier run: the cable starts plugged in, nothing is checked
    try:
        sim.dump_fram()
        sim.link_into(args.prefix, args.com)
        if args.ready:
            with open(args.ready, "w") as f:
                f.write("%d\n" % os.getpid())
        sim.run(args.lifetime)
    finally:
        sim.dump_fram()
        sim.close()
        sensor.write_dump()
        log.close()
        if times:
            times.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
