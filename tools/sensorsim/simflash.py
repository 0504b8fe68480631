"""The sensor's firmware flash and its update mode.

Flash spans 0xA0000..0xFFFFF in eleven erase blocks. Erasing a block sets
its bytes to 0xFF; programming ANDs the data into the flash, as real flash
can only clear bits, so a page programmed without its erase reads back
wrong. The flash starts out holding an old firmware that is not all 0xFF.
"""

FLASH_START = 0xA0000
FLASH_END = 0x100000
PAGE = 256

# (first address, end address) of blocks 10 down to 0.
BLOCKS = [
    (0xA0000, 0xB0000), (0xB0000, 0xC0000), (0xC0000, 0xD0000), (0xD0000, 0xE0000),
    (0xE0000, 0xF0000), (0xF0000, 0xF8000), (0xF8000, 0xFA000), (0xFA000, 0xFC000),
    (0xFC000, 0xFE000), (0xFE000, 0xFF000), (0xFF000, 0x100000),
]


def block_of(address):
    """(first, end) of the erase block that holds address."""
    for first, end in BLOCKS:
        if first <= address < end:
            return first, end
    raise ValueError("no flash at %#x" % address)


class Flash:
    def __init__(self):
        self.bytes = bytearray(((a >> 8) ^ a ^ 0x3C) & 0xFF for a in range(FLASH_START, FLASH_END))
        self.programmed = set()  # page addresses programmed since the start
        self.erases = []         # block first addresses, in erase order

    @staticmethod
    def holds(address, count=PAGE):
        return address % PAGE == 0 and FLASH_START <= address and address + count <= FLASH_END

    def erase(self, address):
        first, end = block_of(address)
        self.bytes[first - FLASH_START:end - FLASH_START] = b"\xff" * (end - first)
        self.erases.append(first)

    def program(self, address, data):
        offset = address - FLASH_START
        for i, b in enumerate(data):
            self.bytes[offset + i] &= b
        self.programmed.add(address)

    def read(self, address):
        offset = address - FLASH_START
        return bytes(self.bytes[offset:offset + PAGE])

    def dump(self, path):
        """One line per programmed page: address and its bytes in hex."""
        with open(path, "w") as f:
            for address in sorted(self.programmed):
                f.write("%05x %s\n" % (address, self.read(address).hex()))
