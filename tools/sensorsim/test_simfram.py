"""Tests of the simulator's FRAM: blocks, levels, echo and commit, its fault
switches, the area image of an area file in both layouts, and the dump."""

import os
import tempfile
import unittest

import simcodec
import simfram
from simsensor import Sensor
from test_simcommands import link

READ_BLOCK_1 = bytes.fromhex("a46901")
COMMIT = bytes.fromhex("a4a5")


def request(message):
    return simcodec.with_crc(message)


def write_block(block, words):
    return request(bytes((0xA4, 0x5A, block)) + simfram.words_to_bytes(words))


# Area 1 with every key; area 2 in the older layout (no mirror, no hysteresis);
# areas 3..7 all zero.
AREA_FILE = "[ZOR Area Data File]\r\n\r\n" + "".join(
    "[Area%d]\r\n[Output1]\r\n" % a
    + "".join("[Point%d]\r\n%d %d\r\n" % (p, (-1 if a == 1 and p == 1 else 0), (300 * p if a == 1 else 0))
              for p in range(1, 8))
    + ("[Output2]\r\n1000\r\n[Output3]\r\n500\r\n[PartitionShape]\r\n2\r\n[2ScanMode]\r\n5\r\n"
       "[MirrorReflectionMode]\r\n1\r\n[HalfHysteresis]\r\n1\r\n\r\n" if a == 1 else
       "[Output2]\r\n-20\r\n[Output3]\r\n0\r\n[PartitionShape]\r\n0\r\n[JudgementMode]\r\n1\r\n\r\n"
       if a == 2 else
       "[Output2]\r\n0\r\n[Output3]\r\n0\r\n[PartitionShape]\r\n0\r\n[2ScanMode]\r\n0\r\n"
       "[MirrorReflectionMode]\r\n0\r\n[HalfHysteresis]\r\n0\r\n\r\n")
    for a in range(1, 8))


class FramTest(unittest.TestCase):
    def test_blocks_need_their_level(self):
        sensor = Sensor()
        link(sensor, 1)
        self.assertEqual(sensor.handle(request(READ_BLOCK_1)), [])
        link(sensor, 2)
        reply = sensor.handle(request(READ_BLOCK_1))[0]
        self.assertEqual(len(reply) + 2, 133)
        # A blank FRAM: each word tells its address, low byte first.
        self.assertEqual(reply[:7].hex(), "a46901" + "40c0" + "41c0")
        for block in (0, 3, 7):
            self.assertEqual(sensor.handle(request(bytes((0xA4, 0x69, block)))), [], block)
        link(sensor, 3)
        self.assertEqual(sensor.handle(request(bytes((0xA4, 0x69, 7))))[0][3:5].hex(), "c0c1")
        self.assertEqual(sensor.handle(request(bytes((0xA4, 0x69, 8)))), [])

    def test_write_is_held_until_commit(self):
        sensor = Sensor()
        link(sensor, 2)
        words = list(range(0x100, 0x140))
        echo = sensor.handle(write_block(2, words))[0]
        self.assertEqual(echo, bytes((0xA4, 0x5A, 2)) + simfram.words_to_bytes(words))
        self.assertEqual(sensor.fram.words[0x80], 0xC080)
        self.assertEqual(sensor.handle(request(COMMIT)), [b"\xa4\xa5\x01"])
        self.assertEqual(sensor.fram.words[0x80:0xC0], words)
        self.assertEqual(sensor.fram.take_events(), [("COMMIT", "2")])
        # Nothing pending: refused.
        self.assertEqual(sensor.handle(request(COMMIT)), [b"\xa4\xa5\x00"])

    def test_bad_echo_and_refused_commit_switches(self):
        fram = simfram.Fram(bad_echoes=1, refused_commits=1)
        sensor = Sensor(fram=fram)
        link(sensor, 2)
        words = [0x1234] * 64
        echo = sensor.handle(write_block(1, words))[0]
        self.assertEqual(echo[3:5], b"\x35\x12")  # the first word taken wrongly
        self.assertEqual(sensor.handle(write_block(1, words))[0][3:5], b"\x34\x12")
        self.assertEqual(sensor.handle(request(COMMIT)), [b"\xa4\xa5\x00"])
        self.assertEqual(fram.words[0x40], 0xC040)
        sensor.handle(write_block(1, words))
        self.assertEqual(sensor.handle(request(COMMIT)), [b"\xa4\xa5\x01"])
        self.assertEqual(fram.words[0x40:0x80], words)
        self.assertEqual([k for k, _ in fram.take_events()], ["BADECHO", "REFUSE", "COMMIT"])

    def test_bad_block_is_always_taken_wrongly(self):
        fram = simfram.Fram(bad_block=2)
        sensor = Sensor(fram=fram)
        link(sensor, 2)
        for _ in range(3):
            self.assertEqual(sensor.handle(write_block(2, [0x10] * 64))[0][3:5], b"\x11\x00")
        self.assertEqual(sensor.handle(write_block(1, [0x10] * 64))[0][3:5], b"\x10\x00")

    def test_silent_after_a_number_of_commits(self):
        sensor = Sensor(fram=simfram.Fram(silent_after_commits=1))
        link(sensor, 2)
        sensor.handle(write_block(1, [7] * 64))
        self.assertEqual(sensor.handle(request(COMMIT)), [b"\xa4\xa5\x01"])
        self.assertEqual(sensor.handle(write_block(2, [7] * 64)), [])
        self.assertEqual(sensor.handle(request(b"\xa0\x69")), [])

    def test_restart_drops_the_pending_block(self):
        sensor = Sensor()
        link(sensor, 2)
        sensor.handle(write_block(1, [7] * 64))
        sensor.restart()
        link(sensor, 2)
        self.assertEqual(sensor.handle(request(COMMIT)), [b"\xa4\xa5\x00"])


class AreaImageTest(unittest.TestCase):
    def words(self, version):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "known.ara")
            with open(path, "w", newline="") as f:
                f.write(AREA_FILE)
            return simfram.words_from_area_file(path, version)

    def test_version_10_packs_the_flags_into_the_outputs(self):
        words = self.words("1.0.0A")
        area1 = words[0x40:0x50]
        self.assertEqual(area1[0:4], [0xFFFF, 300, 0, 600])
        self.assertEqual(area1[14:16], [0xC3E8, 0xA1F4])
        area2 = words[0x50:0x60]
        self.assertEqual(area2[14:16], [(-20) & 0x1FFF, 0x2000])
        self.assertEqual(words[0xB0], 0xC0B0)  # after the areas: blank

    def test_later_versions_spread_the_flags_over_bit_15(self):
        words = self.words("5.1.3K")
        # Flags 0x75: bits 0, 2, 4, 5, 6 set.
        area1 = words[0x40:0x50]
        self.assertEqual(area1[0:7], [0xFFFF & 0x7FFF | 0x8000, 300, 0x8000, 600, 0x8000, 0x8000 | 900, 0x8000])
        self.assertEqual(area1[14:16], [1000, 500])
        area2 = words[0x50:0x60]
        self.assertEqual(area2[0], 0x8000)  # 2ScanMode 1 from the older key
        self.assertEqual(area2[14], 0x7FEC)  # -20 in 15 bits

    def test_truncated_file_is_refused(self):
        with self.assertRaises(ValueError):
            simfram.parse_area_file(AREA_FILE[:200])


class DumpTest(unittest.TestCase):
    def test_one_line_per_word(self):
        fram = simfram.Fram()
        fram.words[0x1FF] = 0xBEEF
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "fram")
            fram.dump(path)
            with open(path) as f:
                lines = f.read().splitlines()
        self.assertEqual(len(lines), 512)
        self.assertEqual(lines[0], "000 c000")
        self.assertEqual(lines[0x1FF], "1ff beef")


if __name__ == "__main__":
    unittest.main()
