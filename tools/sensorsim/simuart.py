"""What a UART at one rate reads from bytes sent at another.

The sensor sends each byte as a start bit (0), eight data bits low bit first
and its stop bits (1), back to back, the line idling at 1 before and after. A
receiver waits for a falling edge, checks the start bit in its middle, samples
eight data bits and the stop bit in their middles at its own rate, and then
waits for the next falling edge. A stop bit read as 0 is a framing error; the
byte is still delivered, as Windows does without abort-on-error.

Time is counted in units of 1/(2 * sent_rate * read_rate) seconds, so every
bit edge and sample point is a whole number and no rounding decides a sample.
"""


def line_bits(data, stop_bits):
    """The line level of each sent bit, in order."""
    bits = []
    for byte in data:
        bits.append(0)
        bits.extend((byte >> i) & 1 for i in range(8))
        bits.extend([1] * stop_bits)
    return bits


def reread(data, sent_rate, sent_stop_bits, read_rate):
    """The bytes a receiver at read_rate takes from data sent at sent_rate."""
    if sent_rate == read_rate:
        return bytes(data)
    bits = line_bits(data, sent_stop_bits)
    sent_bit = 2 * read_rate   # units per sent bit
    read_bit = 2 * sent_rate   # units per read bit
    end = len(bits) * sent_bit

    def level(t):
        index = t // sent_bit
        return bits[index] if 0 <= index < len(bits) else 1

    def next_falling_edge(t):
        """The first sent-bit boundary at or after t where the line drops."""
        index = max(1, -(-t // sent_bit))
        while index < len(bits):
            if bits[index] == 0 and bits[index - 1] == 1:
                return index * sent_bit
            index += 1
        return None

    out = bytearray()
    t = 0 if bits and bits[0] == 0 else next_falling_edge(0)
    while t is not None and t < end:
        middle = t + read_bit // 2
        if level(middle) != 0:
            t = next_falling_edge(middle)  # a glitch, not a start bit
            continue
        value = 0
        for i in range(8):
            value |= level(middle + (i + 1) * read_bit) << i
        out.append(value)
        t = next_falling_edge(middle + 9 * read_bit)
    return bytes(out)
