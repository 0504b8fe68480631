"""Frame codec of the sensor line, written independently of the program's.

A frame is STX, the message as 6-bit text (each character a 6-bit value plus
0x20), ETX. A message is command, sub-command, data, CRC-16 low, high; the CRC
is the bit-serial register with the constant 0x10811 over the message followed
by two zero bytes, so over a complete message it comes out 0.
"""

STX = 0x02
ETX = 0x03


def crc16(data):
    r = 0
    for b in data:
        r = (r & 0xFFFF) | (b << 16)
        for _ in range(8):
            if r & 1:
                r ^= 0x10811
            r >>= 1
    return r & 0xFFFF


def with_crc(message):
    """The message with its CRC appended, low byte first."""
    crc = crc16(bytes(message) + b"\0\0")
    return bytes(message) + bytes((crc & 0xFF, crc >> 8))


def check(message):
    return crc16(message) == 0


def encode6(data):
    out = bytearray()
    for i in range(0, len(data), 3):
        group = data[i:i + 3]
        bits = int.from_bytes(group + b"\0" * (3 - len(group)), "big")
        chars = [(bits >> shift) & 0x3F for shift in (18, 12, 6, 0)]
        out.extend(c + 0x20 for c in chars[:len(group) + 1])
    return bytes(out)


def decode6(text):
    out = bytearray()
    for i in range(0, len(text), 4):
        group = text[i:i + 4]
        if len(group) < 2:
            break
        values = [(c - 0x20) & 0x3F for c in group] + [0] * (4 - len(group))
        bits = (values[0] << 18) | (values[1] << 12) | (values[2] << 6) | values[3]
        out.extend(bits.to_bytes(3, "big")[:len(group) - 1])
    return bytes(out)


def frame(complete_message):
    """STX, text, ETX of a message that already carries its CRC."""
    return bytes((STX,)) + encode6(complete_message) + bytes((ETX,))


class FrameParser:
    """Cuts frames out of a byte stream. feed() returns events in order:
    ("frame", message) for a good frame, ("bad", message) for a failed CRC,
    ("noise", bytes) for bytes outside any frame. An unfinished frame waits."""

    MAX_FRAME = 8192

    def __init__(self):
        self.pending = bytearray()

    def feed(self, data):
        self.pending.extend(data)
        events = []
        while self.pending:
            stx = self.pending.find(STX)
            if stx < 0:
                events.append(("noise", bytes(self.pending)))
                self.pending.clear()
                break
            if stx > 0:
                events.append(("noise", bytes(self.pending[:stx])))
                del self.pending[:stx]
            etx = self.pending.find(ETX, 1)
            if etx < 0:
                if len(self.pending) > self.MAX_FRAME:
                    events.append(("noise", bytes(self.pending)))
                    self.pending.clear()
                break
            message = decode6(bytes(self.pending[1:etx]))
            del self.pending[:etx + 1]
            events.append(("frame" if check(message) else "bad", message))
        return events
