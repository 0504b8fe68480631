"""Tests of the faults the simulator reports: what the control file allows,
with its grace, and two link sessions at once."""

import os
import tempfile
import unittest

import simcodec
import simwatch
from test_simcommands import DISTANCE_GET


def link_set(level, answer):
    return simcodec.with_crc(bytes((0xA0, 0x5A, level)) + bytes.fromhex(answer))


class Clock:
    def __init__(self):
        self.now = 100.0

    def __call__(self):
        return self.now


class WatchTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.path = os.path.join(folder.name, "allowed")
        self.clock = Clock()
        self.watch = simwatch.Watch(self.path, self.clock)

    def allow(self, text):
        with open(self.path, "w") as f:
            f.write(text)
        return self.watch.refresh()

    def faults(self, rate, message=DISTANCE_GET):
        return len(self.watch.on_bytes(rate)) + len(self.watch.on_request(message))

    def test_what_the_file_allows_with_a_grace_after_each_change(self):
        # (file text, seconds later, rate, faults)
        rows = [
            (None, 0, 115200, 0),                       # no file: nothing is checked
            ("rates 19200\nrealtime on\n", 0, 19200, 0),
            (None, 0, 57600, 0),                        # the grace after the file appeared
            (None, simwatch.GRACE_S, 57600, 1),
            ("rates 57600\nrealtime off\n", 0, 19200, 0),  # the old values, in their grace
            (None, simwatch.GRACE_S, 57600, 1),         # the distance request
            ("rates 57600\n", 0, 57600, 0),             # realtime unset: no longer checked
            (None, simwatch.GRACE_S, 19200, 1),
        ]
        self.assertEqual(self.allow("realtime on\nrates 19200 57600\n"), "rates 19200 57600; realtime on")
        self.assertIsNone(self.watch.refresh())  # no change, nothing to log
        os.unlink(self.path)
        self.assertEqual(self.watch.refresh(), "")
        self.clock.now += simwatch.GRACE_S
        for text, later, rate, faults in rows:
            if text is not None:
                self.allow(text)
            self.clock.now += later
            self.assertEqual(self.faults(rate), faults, (text, later, rate))

    def test_a_set_back_to_a_replaced_answer_is_two_sessions(self):
        # A climb replaces the answer for good; two programs alternate theirs.
        rows = [("1", "1111", False), ("1", "1111", False), ("2", "2222", False), ("1", "2222", False),
                ("0", "1111", False), ("1", "3333", False), ("1", "2222", True), ("1", "3333", True)]
        for level, answer, fault in rows:
            self.assertEqual(len(self.watch.on_request(link_set(int(level), answer))), int(fault), (level, answer))


if __name__ == "__main__":
    unittest.main()
