"""Timing of a serial line at the rate and framing the program set.

On a pseudo-terminal bytes pass at once; a real line carries one byte per
start bit, data bits, parity bit and stop bits at the baud rate (10 bits with
8N1, 11 with 8N2). The simulator asks this class when a request would have
arrived and when each piece of a reply would have reached the far end.
"""

import termios

RATES = {getattr(termios, "B%d" % rate): rate
         for rate in (1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400)
         if hasattr(termios, "B%d" % rate)}
DATA_BITS = {termios.CS5: 5, termios.CS6: 6, termios.CS7: 7, termios.CS8: 8}

# Bytes per write: small enough that a reply arrives in the program's
# receive buffer gradually, as from a real line.
PIECE = 32


class Line:
    def __init__(self):
        self.rate = None
        self.bits = 10
        self.rx_free = 0.0  # when the line towards the sensor is idle again
        self.tx_free = 0.0  # when the line towards the program is idle again

    def configure(self, attrs):
        """Takes rate and framing from tcgetattr's list; True when they changed."""
        cflag, speed = attrs[2], attrs[5]
        rate = RATES.get(speed)
        bits = 1 + DATA_BITS.get(cflag & termios.CSIZE, 8) + (1 if cflag & termios.PARENB else 0) \
            + (2 if cflag & termios.CSTOPB else 1)
        changed = (rate, bits) != (self.rate, self.bits)
        self.rate, self.bits = rate, bits
        return changed

    def byte_time(self):
        return self.bits / float(self.rate) if self.rate else 0.0

    def arrival(self, count, now):
        """When the last of count bytes written at now would have arrived."""
        self.rx_free = max(now, self.rx_free) + count * self.byte_time()
        return self.rx_free

    def schedule(self, data, earliest):
        """(due time, piece) pairs: each piece is due when its last byte would
        have reached the program, the first byte leaving no earlier than
        earliest and not before the line is idle."""
        start = max(earliest, self.tx_free)
        step = self.byte_time()
        pieces = []
        for i in range(0, len(data), PIECE):
            piece = data[i:i + PIECE]
            pieces.append((start + (i + len(piece)) * step, piece))
        self.tx_free = start + len(data) * step
        return pieces
