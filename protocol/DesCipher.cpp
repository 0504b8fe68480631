#include "protocol/DesCipher.h"

// Bit numbering: bit n of a value has the weight 2^n. The DES tables count
// from 1; their bit k is bit k-1 here, so bit 1 of a block is the least
// significant bit of byte 0. The permutations are written as the order in
// which their result is built, one bit appended at a time (the first bit
// appended ends up highest).

namespace {

// The eight S-boxes: row = 2 x first input bit + sixth, column = the four middle bits.
const BYTE kSBoxes[8][64] = {
    {14, 4,  13, 1, 2,  15, 11, 8,  3,  10, 6,  12, 5,  9,  0, 7, 0,  15, 7,  4,  14, 2,  13, 1,  10, 6, 12, 11,
     9,  5,  3,  8, 4,  1,  14, 8,  13, 6,  2,  11, 15, 12, 9, 7, 3,  10, 5,  0,  15, 12, 8,  2,  4,  9, 1,  7,
     5,  11, 3,  14, 10, 0,  6,  13},
    {15, 1,  8,  14, 6,  11, 3,  4,  9,  7, 2,  13, 12, 0, 5,  10, 3,  13, 4,  7, 15, 2,  8,  14, 12, 0, 1,  10,
     6,  9,  11, 5,  0,  14, 7,  11, 10, 4, 13, 1,  5,  8, 12, 6,  9,  3,  2,  15, 13, 8,  10, 1, 3,  15, 4, 2,
     11, 6,  7,  12, 0,  5,  14, 9},
    {10, 0,  9,  14, 6, 3,  15, 5,  1,  13, 12, 7,  11, 4,  2,  8,  13, 7,  0, 9,  3, 4,  6,  10, 2,  8,  5, 14,
     12, 11, 15, 1,  13, 6,  4,  9,  8,  15, 3,  0,  11, 1,  2,  12, 5,  10, 14, 7, 1, 10, 13, 0,  6,  9,  8, 7,
     4,  15, 14, 3,  11, 5,  2,  12},
    {7,  13, 14, 3,  0,  6,  9,  10, 1, 2, 8,  5,  11, 12, 4,  15, 13, 8,  11, 5,  6, 15, 0, 3,  4, 7,  2,  12,
     1,  10, 14, 9,  10, 6,  9,  0,  12, 11, 7, 13, 15, 1,  3,  14, 5,  2,  8,  4,  3, 15, 0, 6, 10, 1, 13, 8,
     9,  4,  5,  11, 12, 7,  2,  14},
    {2,  12, 4,  1,  7,  10, 11, 6,  8, 5,  3,  15, 13, 0,  14, 9,  14, 11, 2,  12, 4,  7, 13, 1, 5, 0,  15, 10,
     3,  9,  8,  6,  4,  2,  1,  11, 10, 13, 7, 8,  15, 9,  12, 5,  6,  3,  0,  14, 11, 8, 12, 7, 1, 14, 2, 13,
     6,  15, 0,  9,  10, 4,  5,  3},
    {12, 1,  10, 15, 9,  2,  6,  8,  0, 13, 3,  4,  14, 7,  5,  11, 10, 15, 4,  2,  7,  12, 9, 5,  6, 1,  13, 14,
     0,  11, 3,  8,  9,  14, 15, 5,  2,  8,  12, 3, 7,  0,  4,  10, 1,  13, 11, 6,  4,  3, 2,  12, 9, 5,  15, 10,
     11, 14, 1,  7,  6,  0,  8,  13},
    {4,  11, 2,  14, 15, 0,  8,  13, 3, 12, 9,  7,  5,  10, 6,  1,  13, 0,  11, 7,  4,  9,  1, 10, 14, 3, 5,  12,
     2,  15, 8,  6,  1,  4,  11, 13, 12, 3,  7,  14, 10, 15, 6,  8,  0,  5,  9,  2,  6, 11, 13, 8, 1,  4,  10, 7,
     9,  5,  0,  15, 14, 2,  3,  12},
    {13, 2,  8,  4,  6,  15, 11, 1,  10, 9,  3, 14, 5,  0,  12, 7,  1,  15, 13, 8,  10, 3,  7, 4,  12, 5, 6,  11,
     0,  14, 9,  2,  7,  11, 4,  1,  9,  12, 14, 2, 0,  6,  10, 13, 15, 3,  5,  8,  2,  1,  14, 7, 4,  10, 8, 13,
     15, 12, 9,  0,  3,  5,  6,  11},
};

// Expansion: bit p-1 of the result (p = 1..48) is bit 32 - kExpansion[p-1] of
// the half, which the expansion thus reads with its bits in reverse order.
const BYTE kExpansion[48] = {32, 1,  2,  3,  4,  5,  4,  5,  6,  7,  8,  9,  8,  9,  10, 11,
                             12, 13, 12, 13, 14, 15, 16, 17, 16, 17, 18, 19, 20, 21, 20, 21,
                             22, 23, 24, 25, 24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1};

// Round key bit p-1 is bit kPc2[p-1] of C (1..28) then D (29..56).
const BYTE kPc2[48] = {14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, 23, 19, 12, 4,
                       26, 8,  16, 7,  27, 20, 13, 2,  41, 52, 31, 37, 47, 55, 30, 40,
                       51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};

const BYTE kShifts[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

// Append orders of the block permutations: for each mask, each byte in turn.
const BYTE kInitialMasks[8] = {0x40, 0x10, 0x04, 0x01, 0x80, 0x20, 0x08, 0x02};
const BYTE kInitialBytes[8] = {0, 1, 2, 3, 4, 5, 6, 7};
const BYTE kFinalMasks[8] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
const BYTE kFinalBytes[8] = {3, 7, 2, 6, 1, 5, 0, 4};

bool OddOnes(BYTE b) {
    b = static_cast<BYTE>(b ^ (b >> 4));
    b = static_cast<BYTE>(b ^ (b >> 2));
    b = static_cast<BYTE>(b ^ (b >> 1));
    return (b & 1) != 0;
}

int BitIndex(BYTE mask) {
    int index = 0;
    while ((mask >> index) != 1) ++index;
    return index;
}

// A 64-bit permutation as eight byte tables: the result is the OR of one
// entry per input byte.
struct BytePermutation {
    ULONGLONG table[8][256];

    BytePermutation(const BYTE* masks, const BYTE* bytes) {
        ULONGLONG target[8][8];  // [byte][bit]: the result bit that input bit lands on
        int position = 63;
        for (int m = 0; m < 8; ++m)
            for (int b = 0; b < 8; ++b) target[bytes[b]][BitIndex(masks[m])] = 1ULL << position--;
        for (int byte = 0; byte < 8; ++byte)
            for (int value = 0; value < 256; ++value) {
                ULONGLONG out = 0;
                for (int bit = 0; bit < 8; ++bit)
                    if (value & (1 << bit)) out |= target[byte][bit];
                table[byte][value] = out;
            }
    }

    ULONGLONG Apply(ULONGLONG value) const {
        ULONGLONG out = 0;
        for (int byte = 0; byte < 8; ++byte) out |= table[byte][(value >> (8 * byte)) & 0xFF];
        return out;
    }
};

struct Tables {
    BytePermutation initial{kInitialMasks, kInitialBytes};
    BytePermutation final{kFinalMasks, kFinalBytes};
    ULONGLONG expand[4][256];  // by byte of the half
    DWORD substitute[8][64];   // by 6-bit group: the box's nibble in place, box 1 always 0

    Tables() {
        for (int byte = 0; byte < 4; ++byte)
            for (int value = 0; value < 256; ++value) {
                ULONGLONG out = 0;
                for (int p = 0; p < 48; ++p) {
                    const int source = 32 - kExpansion[p] - 8 * byte;
                    if (source >= 0 && source < 8 && (value & (1 << source))) out |= 1ULL << p;
                }
                expand[byte][value] = out;
            }
        for (int box = 0; box < 8; ++box)
            for (int group = 0; group < 64; ++group) {
                // The lowest bit is the box's first input bit.
                const int row = 2 * (group & 1) + ((group >> 5) & 1);
                const int column = ((group >> 1) & 1) << 3 | ((group >> 2) & 1) << 2 | ((group >> 3) & 1) << 1 |
                                   ((group >> 4) & 1);
                const BYTE v = kSBoxes[box][16 * row + column];
                // The box's first output bit becomes bit 0 of the nibble.
                const DWORD nibble = ((v >> 3) & 1) | ((v >> 2) & 1) << 1 | ((v >> 1) & 1) << 2 | (v & 1) << 3;
                substitute[box][group] = box == 0 ? 0 : nibble << (32 - 4 * box);
            }
    }
};

const Tables& CipherTables() {
    static const Tables tables;
    return tables;
}

// Bit p-1 of the result is bit order[p-1] (counted from 1) of source.
ULONGLONG Choose(ULONGLONG source, const BYTE* order, int count) {
    ULONGLONG out = 0;
    for (int p = 0; p < count; ++p) out |= ((source >> (order[p] - 1)) & 1) << p;
    return out;
}

}  // namespace

DesCipher::DesCipher() : m_chain(0) {
    for (int i = 0; i < kRounds; ++i) m_roundKeys[i] = 0;
    CipherTables();
}

DesCipher::~DesCipher() {}

ULONGLONG DesCipher::LoadBlock(const BYTE* bytes) {
    ULONGLONG value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

void DesCipher::StoreBlock(ULONGLONG value, BYTE* bytes) {
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<BYTE>(value >> (8 * i));
}

ULONGLONG DesCipher::FixParity(DWORD keyLow, DWORD keyHigh) {
    ULONGLONG key = Join(keyLow, keyHigh);
    for (int i = 0; i < 8; ++i) {
        const ULONGLONG bit7 = 0x80ULL << (8 * i);
        key = OddOnes(static_cast<BYTE>((key >> (8 * i)) & 0x7F)) ? key | bit7 : key & ~bit7;
    }
    return key;
}

bool DesCipher::CheckParity(ULONGLONG key) {
    for (int i = 0; i < 8; ++i)
        if (OddOnes(static_cast<BYTE>(key >> (8 * i)))) return false;
    return true;
}

int DesCipher::SetKey(DWORD keyLow, DWORD keyHigh) {
    const ULONGLONG key = Join(keyLow, keyHigh);
    if (!CheckParity(key)) return 0;
    // C0 from bytes 4..7 at mask 0x08, then bytes 0..7 at 0x04, 0x02, 0x01;
    // D0 from bytes 0..3 at 0x08, then bytes 0..7 at 0x10, 0x20, 0x40.
    DWORD c = 0, d = 0;
    for (int byte = 4; byte < 8; ++byte) c = (c << 1) | ((key >> (8 * byte + 3)) & 1);
    for (int bit = 2; bit >= 0; --bit)
        for (int byte = 0; byte < 8; ++byte) c = (c << 1) | ((key >> (8 * byte + bit)) & 1);
    for (int byte = 0; byte < 4; ++byte) d = (d << 1) | ((key >> (8 * byte + 3)) & 1);
    for (int bit = 4; bit <= 6; ++bit)
        for (int byte = 0; byte < 8; ++byte) d = (d << 1) | ((key >> (8 * byte + bit)) & 1);
    for (int round = 0; round < kRounds; ++round) {
        for (int s = 0; s < kShifts[round]; ++s) {
            c = RotateHalf(c);
            d = RotateHalf(d);
        }
        m_roundKeys[round] = PermutedChoice2(c, d);
    }
    m_chain = 0;
    return 1;
}

DWORD DesCipher::RotateHalf(DWORD half) {
    // Towards the first bit: bit 0 wraps round to bit 27.
    return (half >> 1) | ((half & 1) << 27);
}

ULONGLONG DesCipher::PermutedChoice2(DWORD c, DWORD d) {
    const ULONGLONG cd = static_cast<ULONGLONG>(c) | (static_cast<ULONGLONG>(d) << 28);
    return Choose(cd, kPc2, 48);
}

ULONGLONG DesCipher::InitialPermutation(ULONGLONG block) {
    return CipherTables().initial.Apply(block);
}

ULONGLONG DesCipher::FinalPermutation(ULONGLONG block) {
    return CipherTables().final.Apply(block);
}

ULONGLONG DesCipher::Expand(DWORD half) {
    const Tables& t = CipherTables();
    return t.expand[0][half & 0xFF] | t.expand[1][(half >> 8) & 0xFF] | t.expand[2][(half >> 16) & 0xFF] |
           t.expand[3][half >> 24];
}

DWORD DesCipher::Substitute(ULONGLONG bits) {
    const Tables& t = CipherTables();
    DWORD out = 0;
    for (int box = 1; box < 8; ++box) out |= t.substitute[box][(bits >> (6 * box)) & 0x3F];
    return out;
}

ULONGLONG DesCipher::EncryptRounds(ULONGLONG block) const {
    const ULONGLONG y = InitialPermutation(block);
    DWORD left = static_cast<DWORD>(y), right = static_cast<DWORD>(y >> 32);
    for (int round = 0; round < kRounds; ++round) {
        const DWORD next = left ^ Feistel(right, m_roundKeys[round]);
        left = right;
        right = next;
    }
    // The halves are not exchanged before the final permutation.
    return FinalPermutation(Join(left, right));
}

ULONGLONG DesCipher::DecryptRounds(ULONGLONG block) const {
    const ULONGLONG y = InitialPermutation(block);
    DWORD a = static_cast<DWORD>(y >> 32), b = static_cast<DWORD>(y);
    for (int round = kRounds - 1; round >= 0; --round) {
        const DWORD next = a ^ Feistel(b, m_roundKeys[round]);
        a = b;
        b = next;
    }
    return FinalPermutation(Join(b, a));
}

ULONGLONG DesCipher::EncryptCbc(DWORD low, DWORD high) {
    m_chain = EncryptRounds(Join(low, high) ^ m_chain);
    return m_chain;
}

ULONGLONG DesCipher::DecryptCbc(DWORD low, DWORD high) {
    const ULONGLONG cipher = Join(low, high);
    const ULONGLONG plain = DecryptRounds(cipher) ^ m_chain;
    m_chain = cipher;
    return plain;
}

void DesCipher::EncryptBlocks(BYTE* bytes, size_t blockCount) {
    for (size_t i = 0; i < blockCount; ++i, bytes += 8) {
        const ULONGLONG plain = LoadBlock(bytes);
        StoreBlock(EncryptCbc(static_cast<DWORD>(plain), static_cast<DWORD>(plain >> 32)), bytes);
    }
}

void DesCipher::DecryptBlocks(BYTE* bytes, size_t blockCount) {
    for (size_t i = 0; i < blockCount; ++i, bytes += 8) {
        const ULONGLONG cipher = LoadBlock(bytes);
        StoreBlock(DecryptCbc(static_cast<DWORD>(cipher), static_cast<DWORD>(cipher >> 32)), bytes);
    }
}
