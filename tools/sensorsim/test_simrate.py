"""Tests of the simulator's own line rate (a UART at another rate reads
garbage), its I/O status and forcing, and its waveform reports."""

import os
import tempfile
import termios
import threading
import unittest

import sensorsim
import simcodec
import simuart
from simsensor import Sensor
from test_sensorsim import PtyClient
from test_simcommands import link

LINK_GET = simcodec.with_crc(b"\xa0\x69")


class UartTest(unittest.TestCase):
    def test_bytes_read_at_another_rate(self):
        # Worked bit by bit: a sent bit lasts 3 read bits at 19200 -> 57600,
        # half a read bit at 115200 -> 57600.
        rows = [
            (b"\xff", 19200, 1, 57600, b"\xfc"),  # the long start bit fills data bits 0 and 1
            (b"\x00", 19200, 1, 57600, b"\x00"),  # stop bit read as 0: delivered with a framing error
            (b"\xff", 57600, 2, 19200, b""),      # start bit too short: the middle sample sees 1
            (b"\x55", 115200, 2, 57600, b""),     # every falling edge is a false start
            (b"\x02\x48", 57600, 2, 57600, b"\x02\x48"),
        ]
        for data, sent, stop, read, want in rows:
            self.assertEqual(simuart.reread(data, sent, stop, read), want, (data, sent, read))

    def test_a_link_reply_at_a_wrong_rate_is_no_frame(self):
        frame = simcodec.frame(simcodec.with_crc(b"\xa0\x69" + bytes(range(8))))
        for sent, read in [(19200, 57600), (57600, 115200), (115200, 19200), (19200, 38400)]:
            events = simcodec.FrameParser().feed(simuart.reread(frame, sent, 2, read))
            self.assertNotIn("frame", [kind for kind, _ in events], (sent, read))


class IoAndWaveFormTest(unittest.TestCase):
    def test_io_status_shows_forced_lines_inverted_from_the_disguised_byte(self):
        sensor = Sensor(io_state=0x05)
        self.assertEqual(sensor.handle(simcodec.with_crc(b"\xa8\x69")), [])  # not linked
        link(sensor)
        self.assertEqual(sensor.handle(simcodec.with_crc(b"\xa8\x69")), [b"\xa8\x69\x05\x00\x00"])
        self.assertEqual(sensor.handle(simcodec.with_crc(b"\xa8\x5a\x10\x30")), [b"\xa8\x5a\x10\x30"])
        # Out1 (0x10) forced off, Out2 (0x20) forced on.
        self.assertEqual(sensor.handle(simcodec.with_crc(b"\xa8\x69")), [b"\xa8\x69\x25\x10\x30"])
        self.assertEqual(sensor.handle(simcodec.with_crc(b"\xa8\x5a\x00\x00")), [b"\xa8\x5a\x00\x00"])
        self.assertEqual(sensor.handle(simcodec.with_crc(b"\xa8\x69")), [b"\xa8\x69\x05\x00\x00"])

    def test_io_sequence_drives_each_state_for_its_polls_under_the_forcing(self):
        sensor = Sensor()
        sensor.set_io_sequence([0x05, 0x0A], 2)
        link(sensor)
        poll = simcodec.with_crc(b"\xa8\x69")
        states = [sensor.handle(poll)[0][2] for _ in range(5)]
        self.assertEqual(states, [0x05, 0x05, 0x0A, 0x0A, 0x05])
        # Out1 forced on stays on whatever the sequence drives.
        sensor.handle(simcodec.with_crc(b"\xa8\x5a\x00\x10"))
        states = [sensor.handle(poll)[0][2] for _ in range(3)]
        self.assertEqual(states, [0x15, 0x1A, 0x1A])

    def test_wave_form_report_of_step_700_selector_1(self):
        sensor = Sensor()
        self.assertEqual(sensor.handle(simcodec.with_crc(b"\xa9\x69\xbc\x82")), [])
        link(sensor)
        reply = sensor.handle(simcodec.with_crc(b"\xa9\x69\xbc\x82"))[0]
        self.assertEqual(len(reply), 34)  # 36 with the CRC
        self.assertEqual(reply[:4], b"\xa9\x69\xbc\x82")
        # Distance 2200 at step 700 of the default scene, level 700, AGC 500.
        self.assertEqual(reply[28:34], bytes.fromhex("9808bc02f401"))
        other = sensor.handle(simcodec.with_crc(b"\xa9\x69\xbc\x02"))[0]
        self.assertEqual(other[28:34], bytes.fromhex("980858022c01"))


class SwitchLineTest(unittest.TestCase):
    def test_lines_found_whole_split_and_among_other_bytes(self):
        rows = [
            ([b"S0576000000000\n"], [[57600]]),
            ([b"S1152000", b"000000\n"], [[], [115200]]),
            ([b"xyS0192000000000\nS0576000000000\n"], [[19200, 57600]]),
            ([b"S0384000000000\n", b"S0192000000000"], [[], []]),  # no such rate; no line end yet
            ([b"S057600000000\n"], [[]]),  # one zero short
            ([b"S", b"0", b"1", b"9", b"2000000000", b"\n"], [[], [], [], [], [], [19200]]),
        ]
        for pieces, expected in rows:
            lines = sensorsim.SwitchLines()
            self.assertEqual([lines.feed(piece) for piece in pieces], expected, pieces)


class RateTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.logpath = os.path.join(folder.name, "sim.log")
        self.log = sensorsim.Log(self.logpath)
        self.sim = sensorsim.Simulator(Sensor(), sensorsim.Faults(), self.log, rate=57600)
        self.sim.link_into(folder.name, 7)
        self.client = PtyClient(os.path.join(folder.name, "dosdevices", "com7"))
        self.thread = threading.Thread(target=self.sim.run, args=(30,))
        self.thread.start()
        self.addCleanup(self.stop)

    def stop(self):
        self.sim.stopping = True
        self.thread.join()
        self.client.close()
        self.sim.close()
        self.log.close()

    def set_speed(self, speed):
        attrs = termios.tcgetattr(self.client.fd)
        attrs[4] = attrs[5] = speed
        termios.tcsetattr(self.client.fd, termios.TCSANOW, attrs)

    def log_kinds(self):
        with open(self.logpath) as f:
            return [line.split()[1] for line in f]

    def test_answers_only_at_its_own_rate(self):
        self.set_speed(termios.B19200)
        self.client.write(simcodec.frame(LINK_GET))
        # What arrives is noise, never a frame.
        self.client.read_until(1, timeout=1.0)
        self.assertEqual(self.client.frames(), 0)
        self.assertIn("noise", [kind for kind, _ in self.client.events])
        self.assertIn("MISRATE", self.log_kinds())

        self.set_speed(termios.B57600)
        self.client.write(simcodec.frame(LINK_GET))
        events = self.client.read_until(1)
        good = [payload for kind, payload in events if kind == "frame"]
        self.assertEqual(len(good), 1)
        self.assertEqual(good[0][:2], b"\xa0\x69")
        self.assertEqual(len(good[0]), 12)

    def test_a_switch_line_moves_the_sensor_to_the_new_rate(self):
        self.set_speed(termios.B57600)
        self.client.write(b"S1152000000000\n")
        self.client.write(simcodec.frame(LINK_GET))
        self.client.read_until(1, timeout=1.0)
        self.assertEqual(self.client.frames(), 0)  # the answer came at 115200

        self.set_speed(termios.B115200)
        self.client.write(simcodec.frame(LINK_GET))
        events = self.client.read_until(1)
        self.assertEqual(len([kind for kind, _ in events if kind == "frame"]), 1)
        self.assertIn("SWITCH", self.log_kinds())


if __name__ == "__main__":
    unittest.main()
