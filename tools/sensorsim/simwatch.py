"""What the program may do now, as the test tells the simulator, and the
program's faults against it.

The simulator cannot know the program's setting, so the test writes it into a
control file (--allowed-file), one line per key:

    rates 19200 57600     the line rates the program's rate setting allows
    realtime off          whether the program's realtime scan is on or off

A missing file or key checks nothing. After a change the old value stays
allowed for GRACE_S more, for a request already under way; the simulator logs
each change it takes (ALLOWED), and the test waits for that before it acts. Whatever the file
says, a link Set above level 0 that goes back to an answer a later answer
replaced shows two link sessions at once (two programs, or two link operations
of one, on the line).
"""

import time

GRACE_S = 3.0
DISTANCE = 0xA2
LINK_SET = b"\xa0\x5a"
ANSWERS_KEPT = 16


def parse(text):
    """key -> tuple of words, from the control file's lines."""
    values = {}
    for line in text.splitlines():
        words = line.split()
        if words:
            values[words[0]] = tuple(words[1:])
    return values


class Allowed:
    """The control file's values, each change with its grace."""

    def __init__(self, path, clock=time.monotonic):
        self.path = path
        self.clock = clock
        self.text = None
        self.values = {}
        self.before = {}  # key -> (old words or None when unset, end of grace)

    def refresh(self):
        """The file's values, "; "-joined, when they changed; else None."""
        try:
            with open(self.path) as f:
                text = f.read()
        except OSError:
            text = ""
        if text == self.text:
            return None
        self.text = text
        values = parse(text)
        now = self.clock()
        for key in set(values) | set(self.values):
            if values.get(key) != self.values.get(key):
                self.before[key] = (self.values.get(key), now + GRACE_S)
        self.values = values
        return "; ".join(" ".join((key,) + words) for key, words in sorted(values.items()))

    def allows(self, key, word):
        """Whether key's value holds word, or held it a moment ago; an unset key allows all."""
        if self.holds(self.values.get(key), word):
            return True
        old, until = self.before.get(key, ((), 0.0))
        return self.clock() < until and self.holds(old, word)

    @staticmethod
    def holds(words, word):
        return words is None or word in words


class Sessions:
    """The answers of link Sets above level 0, last used last."""

    def __init__(self):
        self.answers = []

    def replaced_by(self, answer):
        """The answer that had replaced this one, when a Set goes back to it; else None."""
        if self.answers and self.answers[-1] == answer:
            return None
        latest = self.answers[-1] if answer in self.answers else None
        if answer in self.answers:
            self.answers.remove(answer)
        self.answers.append(answer)
        del self.answers[:-ANSWERS_KEPT]
        return latest


class Watch:
    """The faults of the program's requests: "<reason> <details>" texts."""

    def __init__(self, allowed_path=None, clock=time.monotonic):
        self.allowed = Allowed(allowed_path, clock) if allowed_path else None
        self.sessions = Sessions()

    def refresh(self):
        """What the control file allows now, when that changed; else None."""
        return self.allowed.refresh() if self.allowed else None

    def on_bytes(self, rate):
        """Bytes arrived while the program's line ran at rate."""
        if self.allowed and rate is not None and not self.allowed.allows("rates", str(rate)):
            return ["rate %s not allowed by the setting (%s)" % (rate, " ".join(self.allowed.values["rates"]))]
        return []

    def on_request(self, message):
        """A good request (CRC included)."""
        faults = []
        if message[0] == DISTANCE and self.allowed and not self.allowed.allows("realtime", "on"):
            faults.append("realtime off, yet a distance request %s" % message.hex())
        if message[:2] == LINK_SET and len(message) == 7 and message[2] != 0:
            answer = message[3:5].hex()
            replaced = self.sessions.replaced_by(answer)
            if replaced is not None:
                faults.append("two link sessions: answer %s again after %s" % (answer, replaced))
        return faults
