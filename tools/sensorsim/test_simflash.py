"""Tests of the simulator's flash and its firmware update mode."""

import os
import tempfile
import unittest

import simcodec
from simflash import Flash, block_of
from simsensor import Sensor, UpdateFaults
from test_simcommands import link


def update(sensor, *data):
    return sensor.handle(simcodec.with_crc(bytes((0xAF, 0x5A)) + bytes(data)))


def address(a):
    return a.to_bytes(4, "little")


class FlashTest(unittest.TestCase):
    def test_blocks_at_their_edges(self):
        for a, block in [(0xA0000, (0xA0000, 0xB0000)), (0xAFF00, (0xA0000, 0xB0000)),
                         (0xEFF00, (0xE0000, 0xF0000)), (0xF7F00, (0xF0000, 0xF8000)),
                         (0xF8000, (0xF8000, 0xFA000)), (0xFEF00, (0xFE000, 0xFF000)),
                         (0xFFF00, (0xFF000, 0x100000))]:
            self.assertEqual(block_of(a), block, hex(a))
        with self.assertRaises(ValueError):
            block_of(0x9FF00)

    def test_program_ands_into_flash(self):
        flash = Flash()
        self.assertNotEqual(flash.read(0xE0100), b"\xff" * 256)  # an old firmware
        data = bytes(range(256))
        flash.program(0xE0100, data)
        self.assertNotEqual(flash.read(0xE0100), data)  # not erased: bits stay cleared
        flash.erase(0xE0100)
        self.assertEqual(flash.read(0xEFF00), b"\xff" * 256)  # the whole block
        flash.program(0xE0100, data)
        self.assertEqual(flash.read(0xE0100), data)


class UpdateModeTest(unittest.TestCase):
    def test_start_needs_level_3_and_can_be_refused(self):
        sensor = Sensor()
        link(sensor, 1)
        self.assertEqual(update(sensor, 0), [b"\xaf\x5a\x01\x00"])
        link(sensor, 3)
        self.assertEqual(update(sensor, 1), [b"\xaf\x5a\x00\x01"])
        refusing = Sensor(update_faults=UpdateFaults(refuse=True))
        link(refusing, 3)
        self.assertEqual(update(refusing, 0), [b"\xaf\x5a\x01\x00"])

    def test_erase_program_read_and_final_reset(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        dump = os.path.join(folder.name, "flash")
        sensor = Sensor(update_faults=UpdateFaults(bad_reads=1), dump=dump)
        link(sensor, 3)
        update(sensor, 0)
        page = bytes((i * 3) & 0xFF for i in range(256))
        self.assertEqual(update(sensor, 0x20, *address(0xFF100)), [b"\xaf\x5a\x20" + address(0xFF100) + b"\x80"])
        self.assertEqual(update(sensor, 0x41, *address(0xFF100), *page), [b"\xaf\x5a\x41" + address(0xFF100) + b"\x80"])
        wrong = update(sensor, 0xFF, *address(0xFF100))[0]
        self.assertEqual(len(wrong), 263)
        self.assertNotEqual(wrong[7:], page)  # the first read-back is spoilt
        self.assertEqual(update(sensor, 0xFF, *address(0xFF100)), [b"\xaf\x5a\xff" + address(0xFF100) + page])
        self.assertEqual(update(sensor, 0x00), [])
        self.assertEqual((sensor.level, sensor.updating, sensor.dumps), (0, False, 1))
        with open(dump) as f:
            self.assertEqual(f.read(), "ff100 %s\n" % page.hex())

    def test_silent_after_a_number_of_requests(self):
        sensor = Sensor(update_faults=UpdateFaults(silent_after=2))
        link(sensor, 3)
        update(sensor, 0)
        self.assertEqual(len(update(sensor, 0x20, *address(0xA0000))), 1)
        self.assertEqual(update(sensor, 0x20, *address(0xA0000)), [])
        self.assertEqual(sensor.handle(simcodec.with_crc(b"\xa0\x69")), [])  # dark for good


if __name__ == "__main__":
    unittest.main()
