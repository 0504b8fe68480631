"""Tests of the sensor simulator: its codec, its sensor model, and the
simulator itself through a real pseudo-terminal in a temporary prefix."""

import os
import select
import subprocess
import sys
import tempfile
import termios
import threading
import time
import unittest

import simcodec
from simcodec import crc16
import sensorsim
from simsensor import Sensor

HERE = os.path.dirname(os.path.abspath(__file__))

LINK_GET = bytes.fromhex("a0693851")
LINK_GET_FRAME = bytes.fromhex("0248264458343003")


class CodecTest(unittest.TestCase):
    # Worked by hand: message, complete message with CRC, frame.
    EXAMPLES = [
        ("a069", "a0693851", "0248264458343003"),
        ("a169", "a169e048", "0248364740322003"),
        ("616263", "616263e958", "02383629435a354003"),
    ]

    def test_worked_examples(self):
        for message, complete, frame in self.EXAMPLES:
            m = simcodec.with_crc(bytes.fromhex(message))
            self.assertEqual(m.hex(), complete)
            self.assertEqual(simcodec.frame(m).hex(), frame)
            self.assertTrue(simcodec.check(m))
            self.assertEqual(simcodec.decode6(simcodec.frame(m)[1:-1]), m)

    def test_crc_check_value(self):
        self.assertEqual(simcodec.crc16(b"123456789\0\0"), 0x2189)

    def test_text_lengths_and_range(self):
        for length, chars in [(0, 0), (1, 2), (2, 3), (3, 4), (4, 6), (5, 7)]:
            text = simcodec.encode6(bytes(range(0xF0, 0xF0 + length)))
            self.assertEqual(len(text), chars)
            self.assertTrue(all(0x20 <= c <= 0x5F for c in text))
            self.assertEqual(simcodec.decode6(text), bytes(range(0xF0, 0xF0 + length)))

    def test_parser_cuts_noise_split_and_bad_frames(self):
        good = simcodec.frame(simcodec.with_crc(b"\xa0\x69"))
        bad = simcodec.frame(simcodec.with_crc(b"\xa0\x5a")[:-1] + b"\0")
        parser = simcodec.FrameParser()
        self.assertEqual(parser.feed(b"zz" + good[:3]), [("noise", b"zz")])
        events = parser.feed(good[3:] + bad + good)
        self.assertEqual([kind for kind, _ in events], ["frame", "bad", "frame"])
        self.assertEqual(events[0][1], LINK_GET)

    def test_cut_short_frame_swallows_the_next(self):
        good = simcodec.frame(LINK_GET)
        events = simcodec.FrameParser().feed(good[:4] + good)
        self.assertEqual([kind for kind, _ in events], ["bad"])


class SensorTest(unittest.TestCase):
    def link_set(self, sensor, level, answer):
        return sensor.handle(simcodec.with_crc(bytes((0xA0, 0x5A, level, answer & 0xFF, answer >> 8))))

    def test_link_challenge_and_answer(self):
        sensor = Sensor(seed=7)
        replies = sensor.handle(LINK_GET)
        self.assertEqual(len(replies), 1)
        self.assertEqual(replies[0][:2], b"\xa0\x69")
        challenge = replies[0][2:]
        self.assertEqual(len(challenge), 8)
        self.assertEqual(self.link_set(sensor, 1, 0x1234 ^ 0xFFFF), [b"\xa0\x5a\x00"])  # wrong answer
        answer = simcodec.crc16(challenge + b"\0\0")
        self.assertEqual(self.link_set(sensor, 4, answer), [b"\xa0\x5a\x00"])  # no level 4
        self.assertEqual(self.link_set(sensor, 3, answer), [b"\xa0\x5a\x03"])
        self.assertEqual(self.link_set(sensor, 0, 0), [b"\xa0\x5a\x00"])

    def test_unknown_and_short_messages_get_no_reply(self):
        sensor = Sensor()
        self.assertEqual(sensor.handle(simcodec.with_crc(b"\xa3\x69")), [])
        self.assertEqual(sensor.handle(b"\xa0\x69"), [])


class PtyClient:
    """The program's end: the link the simulator made, opened like Wine opens it."""

    def __init__(self, path):
        self.fd = os.open(path, os.O_RDWR | os.O_NOCTTY)
        self.parser = simcodec.FrameParser()
        self.events = []
        self.reads = 0

    def write(self, data):
        os.write(self.fd, data)

    def read_until(self, count, timeout=5.0):
        """Parser events until count frames (good or bad) arrived or time ran out."""
        end = time.monotonic() + timeout
        while self.frames() < count and time.monotonic() < end:
            ready, _, _ = select.select([self.fd], [], [], max(0.0, end - time.monotonic()))
            if ready:
                self.reads += 1
                self.events.extend(self.parser.feed(os.read(self.fd, 4096)))
        return self.events

    def frames(self):
        return sum(1 for kind, _ in self.events if kind != "noise")

    def close(self):
        os.close(self.fd)


class SimulatorTest(unittest.TestCase):
    def start(self, **faults):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.logpath = os.path.join(self.folder.name, "sim.log")
        self.log = sensorsim.Log(self.logpath)
        self.sim = sensorsim.Simulator(Sensor(), sensorsim.Faults(**faults), self.log)
        self.sim.link_into(self.folder.name, 5)
        self.link = os.path.join(self.folder.name, "dosdevices", "com5")
        self.client = PtyClient(self.link)
        self.thread = threading.Thread(target=self.sim.run, args=(30,))
        self.thread.start()
        self.addCleanup(self.stop)

    def stop(self):
        self.sim.stopping = True
        self.thread.join()
        self.client.close()
        self.sim.close()
        self.log.close()

    def log_kinds(self):
        with open(self.logpath) as f:
            return [line.split()[1] for line in f]

    def test_answers_link_get_and_logs_both_frames(self):
        self.start()
        self.assertTrue(os.readlink(self.link).startswith("/dev/pts/"))
        self.client.write(LINK_GET_FRAME)
        events = self.client.read_until(1)
        self.assertEqual(events[0][0], "frame")
        self.assertEqual(events[0][1][:2], b"\xa0\x69")
        self.assertEqual(self.log_kinds(), ["LINK", "BAUD", "RX", "TX"])

    def test_bad_crc_noise_and_drops(self):
        self.start(bad_crc_every=2, drop_every=3, noise=b"N")
        self.client.write(LINK_GET_FRAME * 4)
        # Reply 1 good, 2 bad, 3 dropped, 4 bad.
        events = self.client.read_until(3)
        self.assertEqual([kind for kind, _ in events], ["noise", "frame", "noise", "bad", "noise", "bad"])
        sent = [kind for kind in self.log_kinds() if kind not in ("RX", "BAUD")]
        self.assertEqual(sent, ["LINK", "TX", "TXBAD", "DROP", "TXBAD"])

    def test_burst_sends_copies_in_one_write(self):
        self.start(burst=3)
        self.client.write(LINK_GET_FRAME)
        events = self.client.read_until(3)
        self.assertEqual([kind for kind, _ in events], ["frame"] * 3)
        self.assertEqual(len(set(message for _, message in events)), 1)

    def test_chunks_split_a_reply_over_reads(self):
        self.start(chunk=2, chunk_delay_ms=20)
        self.client.write(LINK_GET_FRAME)
        events = self.client.read_until(1)
        self.assertEqual(events[0][0], "frame")
        self.assertGreater(self.client.reads, 3)

    def test_delay_holds_the_reply_back(self):
        self.start(delay_ms=300)
        begun = time.monotonic()
        self.client.write(LINK_GET_FRAME)
        self.client.read_until(1)
        self.assertGreaterEqual(time.monotonic() - begun, 0.29)

    def test_stall_stops_reading_for_a_while(self):
        self.start(stall_ms=400)
        self.client.write(LINK_GET_FRAME)
        self.client.read_until(1)
        begun = time.monotonic()
        self.client.write(LINK_GET_FRAME)
        self.client.read_until(2)
        self.assertGreaterEqual(time.monotonic() - begun, 0.3)
        kinds = self.log_kinds()
        self.assertLess(kinds.index("STALL"), kinds.index("RESUME"))
        self.assertEqual(kinds.count("RX"), 2)

    def test_silent_sensor_logs_but_never_answers(self):
        self.start(silent=True)
        self.client.write(LINK_GET_FRAME)
        self.assertEqual(self.client.read_until(1, timeout=0.3), [])
        self.assertEqual(self.log_kinds()[-2:], ["RX", "DROP"])

    def test_stale_bytes_wait_on_the_line_until_read(self):
        stale = simcodec.frame(simcodec.with_crc(b"\xa0\x5a\x01"))
        self.start(stale=stale)
        events = self.client.read_until(1)
        self.assertEqual(events[0], ("frame", simcodec.with_crc(b"\xa0\x5a\x01")))
        self.assertEqual(self.log_kinds()[:3], ["LINK", "BAUD", "STALE"])

    def test_late_challenge_arrives_once_the_line_is_set_and_is_no_key(self):
        self.start(late_challenge_ms=50)
        self.assertEqual(self.client.read_until(1, timeout=0.3), [])
        attrs = termios.tcgetattr(self.client.fd)
        attrs[4] = attrs[5] = termios.B115200
        termios.tcsetattr(self.client.fd, termios.TCSANOW, attrs)
        late = self.client.read_until(1)[0][1]
        self.assertEqual(late[:2], b"\xa0\x69")
        # Answered as a program would: the sensor refuses, for it never sent it.
        answer = crc16(late[2:10] + b"\0\0")
        self.client.write(simcodec.frame(simcodec.with_crc(bytes((0xA0, 0x5A, 1, answer & 0xFF, answer >> 8)))))
        self.assertEqual(self.client.read_until(2)[1], ("frame", simcodec.with_crc(b"\xa0\x5a\x00")))
        self.assertEqual(self.log_kinds().count("LATE"), 1)

    def test_hang_up_closes_the_line_and_a_new_one_serves_the_port(self):
        self.start(hangup_after_ms=100, return_after_ms=300)
        first = os.readlink(self.link)
        self.client.write(LINK_GET_FRAME)
        self.assertEqual(self.client.read_until(1)[0][0], "frame")
        self.assertTrue(wait_until(lambda: os.readlink(self.link) == sensorsim.NOWHERE))
        self.assertTrue(wait_until(lambda: os.readlink(self.link) not in (first, sensorsim.NOWHERE)))
        # The old end is hung up: it reads end of file or fails.
        try:
            self.assertEqual(os.read(self.client.fd, 16), b"")
        except OSError:
            pass
        again = PtyClient(self.link)
        self.addCleanup(again.close)
        again.write(LINK_GET_FRAME)
        self.assertEqual(again.read_until(1)[0][0], "frame")
        kinds = self.log_kinds()
        self.assertLess(kinds.index("HANGUP"), kinds.index("RETURN"))

    def test_unplug_file_pulls_the_cable_while_it_exists(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        unplug = os.path.join(folder.name, "unplugged")
        self.start(unplug_file=unplug)
        first = os.readlink(self.link)
        self.client.write(LINK_GET_FRAME)
        self.assertEqual(self.client.read_until(1)[0][0], "frame")
        open(unplug, "w").close()
        # Pulled, the port reaches nothing.
        self.assertTrue(wait_until(lambda: os.readlink(self.link) == sensorsim.NOWHERE))
        self.assertFalse(os.path.exists(self.link))
        os.unlink(unplug)
        self.assertTrue(wait_until(lambda: os.readlink(self.link) not in (first, sensorsim.NOWHERE)))
        again = PtyClient(self.link)
        self.addCleanup(again.close)
        again.write(LINK_GET_FRAME)
        self.assertEqual(again.read_until(1)[0][0], "frame")
        kinds = self.log_kinds()
        self.assertEqual(kinds.count("HANGUP"), 1)
        self.assertLess(kinds.index("HANGUP"), kinds.index("RETURN"))

    def test_armed_unplug_file_pulls_the_cable_at_the_nth_matching_request(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        unplug = os.path.join(folder.name, "unplugged")
        self.start(unplug_file=unplug)
        with open(unplug, "w") as f:
            f.write("at A069 2\n")
        self.assertTrue(wait_until(lambda: "ARM" in self.log_kinds()))
        self.client.write(LINK_GET_FRAME)
        self.assertEqual(self.client.read_until(1)[0][0], "frame")
        self.client.write(LINK_GET_FRAME)
        self.assertTrue(wait_until(lambda: os.readlink(self.link) == sensorsim.NOWHERE))
        with open(unplug) as f:
            self.assertEqual(f.read(), "pulled\n")
        kinds = self.log_kinds()
        self.assertEqual(kinds.count("TX"), 1)  # the second request is not answered
        self.assertEqual(kinds[-2:], ["PULL", "HANGUP"])


def wait_until(done, timeout=5):
    end = time.monotonic() + timeout
    while not done():
        if time.monotonic() >= end:
            return False
        time.sleep(0.02)
    return True


class ProcessTest(unittest.TestCase):
    def test_stops_by_itself_and_points_its_link_at_nothing(self):
        with tempfile.TemporaryDirectory() as prefix:
            log = os.path.join(prefix, "sim.log")
            ready = os.path.join(prefix, "ready")
            link = os.path.join(prefix, "dosdevices", "com7")
            begun = time.monotonic()
            proc = subprocess.Popen([sys.executable, "-B", os.path.join(HERE, "sensorsim.py"), "--prefix", prefix,
                                     "--com", "7", "--log", log, "--ready", ready, "--lifetime", "0.5"])
            self.assertEqual(proc.wait(timeout=30), 0)
            self.assertLess(time.monotonic() - begun, 20)
            self.assertEqual(os.readlink(link), sensorsim.NOWHERE)
            with open(log) as f:
                kinds = [line.split()[1] for line in f]
            self.assertEqual(kinds[0], "START")
            self.assertEqual(kinds[1], "LINK")
            self.assertEqual(kinds[-1], "STOP")
            self.assertTrue(os.path.exists(ready))

    def test_refuses_ports_wine_does_not_list(self):
        result = subprocess.run([sys.executable, "-B", os.path.join(HERE, "sensorsim.py"), "--prefix", "/nonexistent",
                                 "--com", "10"], capture_output=True)
        self.assertEqual(result.returncode, 2)


if __name__ == "__main__":
    unittest.main()
