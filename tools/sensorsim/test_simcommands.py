"""Tests of the simulator's version and distance commands, its scene, its
line pacing, its outage and the faults it logs, the last three through a real
pseudo-terminal."""

import os
import termios
import threading
import time
import unittest
import tempfile

import simcodec
import simline
import simwatch
import sensorsim
from simscene import Scene
from simsensor import Sensor
from test_sensorsim import PtyClient

VERSION_GET = simcodec.with_crc(b"\xa1\x69")
DISTANCE_GET = simcodec.with_crc(b"\xa2\x69")


def link(sensor, level=1):
    challenge = sensor.handle(simcodec.with_crc(b"\xa0\x69"))[0][2:]
    answer = simcodec.crc16(challenge + b"\0\0")
    return sensor.handle(simcodec.with_crc(bytes((0xA0, 0x5A, level, answer & 0xFF, answer >> 8))))


class SceneTest(unittest.TestCase):
    def test_background_objects_and_step_zero(self):
        scene = Scene("3000;2-3:1200;3-4:900;7:0xF000")
        self.assertEqual(scene.distances(9), [0, 3000, 1200, 900, 900, 3000, 3000, 0xF000, 3000])
        self.assertEqual(scene.words(3), bytes.fromhex("0000b80bb004"))

    def test_objects_beyond_the_scan_are_cut(self):
        self.assertEqual(Scene("5;1-100:6").distances(3), [0, 6, 6])

    def test_bad_specs_are_refused(self):
        for spec in ["", "70000", "1;5-2:3", "1;x:3"]:
            with self.assertRaises(ValueError, msg=spec):
                Scene(spec)


class CommandTest(unittest.TestCase):
    def test_version_and_distance_only_once_linked(self):
        sensor = Sensor(version="5.1.3K")
        self.assertEqual(sensor.handle(VERSION_GET), [])
        self.assertEqual(sensor.handle(DISTANCE_GET), [])
        self.assertEqual(link(sensor), [b"\xa0\x5a\x01"])
        version = sensor.handle(VERSION_GET)[0]
        self.assertEqual(len(version), 66)  # 68 with the CRC
        self.assertEqual(version[:8], b"\xa1\x695.1.3K")
        self.assertEqual(version[8:], bytes(58))
        scan = sensor.handle(DISTANCE_GET)[0]
        self.assertEqual(len(scan), 2 + 2 * 769)
        self.assertEqual(scan[:4], b"\xa2\x69\x00\x00")  # step 0 carries 0

    def test_letter_u_scans_31_steps_and_steps_can_be_set(self):
        for version, steps, want in [("5.1.3U", None, 31), ("5.1.3K", None, 769), ("5.1.3K", 91, 91)]:
            sensor = Sensor(version=version, steps=steps)
            link(sensor)
            self.assertEqual(len(sensor.handle(DISTANCE_GET)[0]), 2 + 2 * want, version)

    def test_stamped_scans_count_in_their_last_step(self):
        sensor = Sensor()
        sensor.stamp_scans = True
        link(sensor)
        first, second = sensor.handle(DISTANCE_GET)[0], sensor.handle(DISTANCE_GET)[0]
        self.assertEqual((first[-2:], second[-2:]), (b"\x01\x00", b"\x02\x00"))
        self.assertEqual(first[:-2], second[:-2])  # the scene itself stays

    def test_restart_forgets_level_and_challenge(self):
        sensor = Sensor()
        challenge = sensor.handle(simcodec.with_crc(b"\xa0\x69"))[0][2:]
        answer = simcodec.crc16(challenge + b"\0\0")
        sensor.restart()
        set1 = simcodec.with_crc(bytes((0xA0, 0x5A, 1, answer & 0xFF, answer >> 8)))
        self.assertEqual(sensor.handle(set1), [b"\xa0\x5a\x00"])


class LineTest(unittest.TestCase):
    def attrs(self, speed, stop_bits):
        cflag = termios.CS8 | (termios.CSTOPB if stop_bits == 2 else 0)
        return [0, 0, cflag, 0, speed, speed, []]

    def test_bits_per_byte_follow_the_stop_bits(self):
        line = simline.Line()
        self.assertTrue(line.configure(self.attrs(termios.B115200, 2)))
        self.assertEqual((line.rate, line.bits), (115200, 11))
        self.assertFalse(line.configure(self.attrs(termios.B115200, 2)))
        line.configure(self.attrs(termios.B19200, 1))
        self.assertEqual((line.rate, line.bits), (19200, 10))

    def test_pieces_are_due_as_their_last_byte_arrives(self):
        line = simline.Line()
        line.configure(self.attrs(termios.B57600, 2))
        pieces = line.schedule(bytes(40), 10.0)
        self.assertEqual([len(p) for _, p in pieces], [32, 8])
        self.assertAlmostEqual(pieces[0][0], 10.0 + 32 * 11 / 57600.0)
        self.assertAlmostEqual(pieces[1][0], 10.0 + 40 * 11 / 57600.0)
        # The next reply waits for the line, however early it is asked for.
        self.assertAlmostEqual(line.schedule(b"x", 0.0)[0][0], 10.0 + 41 * 11 / 57600.0)


class PacedSimulatorTest(unittest.TestCase):
    def start(self, pace=True, **faults):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.logpath = os.path.join(self.folder.name, "sim.log")
        self.log = sensorsim.Log(self.logpath)
        self.sim = sensorsim.Simulator(Sensor(), sensorsim.Faults(**faults), self.log, pace)
        self.sim.link_into(self.folder.name, 6)
        self.client = PtyClient(os.path.join(self.folder.name, "dosdevices", "com6"))
        self.thread = threading.Thread(target=self.sim.run, args=(30,))
        self.addCleanup(self.stop)

    def stop(self):
        self.sim.stopping = True
        if self.thread.is_alive():
            self.thread.join()
        self.client.close()
        self.sim.close()
        self.log.close()

    def set_line(self, speed, stop_bits):
        attrs = termios.tcgetattr(self.client.fd)
        attrs[2] = (attrs[2] & ~(termios.CSIZE | termios.CSTOPB)) | termios.CS8 | \
            (termios.CSTOPB if stop_bits == 2 else 0)
        attrs[4] = attrs[5] = speed
        termios.tcsetattr(self.client.fd, termios.TCSANOW, attrs)

    def log_kinds(self):
        with open(self.logpath) as f:
            return [line.split()[1] for line in f]

    def exchange(self, request):
        """Writes a frame and returns the reply and the seconds it took."""
        begun = time.monotonic()
        self.client.write(simcodec.frame(request))
        events = self.client.read_until(self.client.frames() + 1)
        return events[-1][1], time.monotonic() - begun

    def link(self):
        challenge, _ = self.exchange(simcodec.with_crc(b"\xa0\x69"))
        answer = simcodec.crc16(challenge[2:10] + b"\0\0")
        reply, _ = self.exchange(simcodec.with_crc(bytes((0xA0, 0x5A, 1, answer & 0xFF, answer >> 8))))
        return reply

    def test_scan_takes_the_line_time_of_request_and_reply(self):
        self.start()
        self.set_line(termios.B57600, 2)
        self.thread.start()
        self.link()
        reply, seconds = self.exchange(DISTANCE_GET)
        self.assertEqual(len(reply), 2 + 2 * 769 + 2)
        # 8 request bytes and 2058 reply bytes, 11 bits each.
        line_time = (8 + 2058) * 11 / 57600.0
        self.assertGreaterEqual(seconds, 0.97 * line_time)
        self.assertLess(seconds, line_time + 2.0)
        self.assertIn("PACE", self.log_kinds())

    def test_outage_restarts_the_sensor(self):
        self.start(pace=False, outage_after_ms=200, outage_ms=300)
        self.thread.start()
        self.assertEqual(self.link()[:3], b"\xa0\x5a\x01")
        # Asked until the sensor falls dark, then until it is back.
        end = time.monotonic() + 5
        for kind in ("OUTAGE", "BACK"):
            while kind not in self.log_kinds() and time.monotonic() < end:
                self.client.write(simcodec.frame(VERSION_GET))
                self.client.read_until(self.client.frames() + 1, timeout=0.05)
        kinds = self.log_kinds()
        self.assertLess(kinds.index("OUTAGE"), kinds.index("BACK"))
        # Back, it has restarted: no version before a new link.
        before = self.client.frames()
        self.client.write(simcodec.frame(VERSION_GET))
        self.client.read_until(before + 1, timeout=0.2)
        self.assertEqual(self.client.frames(), before)
        self.assertEqual(self.sim.sensor.level, 0)
        self.assertEqual(self.link()[:3], b"\xa0\x5a\x01")
        self.assertEqual(self.exchange(VERSION_GET)[0][:8], b"\xa1\x695.1.3K")

    def test_refused_sets_and_the_programs_faults_are_logged(self):
        self.start()
        allowed = os.path.join(self.folder.name, "allowed")
        with open(allowed, "w") as f:
            f.write("rates 19200\nrealtime off\n")
        self.sim.watch = simwatch.Watch(allowed)
        self.sim.watch.refresh()
        self.sim.watch.allowed.before.clear()  # no grace: as if the file said so from the start
        self.set_line(termios.B57600, 2)
        self.thread.start()
        first, _ = self.exchange(simcodec.with_crc(b"\xa0\x69"))
        self.exchange(simcodec.with_crc(b"\xa0\x69"))  # the sensor keeps only this challenge
        answer = simcodec.crc16(first[2:10] + b"\0\0")
        self.assertEqual(self.link_set(1, answer)[:3], b"\xa0\x5a\x00")
        self.client.write(simcodec.frame(DISTANCE_GET))
        self.link_set(0, answer)
        lines = self.log_lines()
        self.assertEqual([text for kind, text in lines if kind == "DENIED"], ["1 0"])
        faults = [text for kind, text in lines if kind == "FAULT"]
        self.assertTrue(faults[0].startswith("rate 57600 not allowed"), faults)
        self.assertIn("realtime off, yet a distance request " + DISTANCE_GET.hex(), faults)

    def link_set(self, level, answer):
        return self.exchange(simcodec.with_crc(bytes((0xA0, 0x5A, level, answer & 0xFF, answer >> 8))))[0]

    def log_lines(self):
        with open(self.logpath) as f:
            return [tuple(line.rstrip("\n").split(" ", 2)[1:]) for line in f]


if __name__ == "__main__":
    unittest.main()
