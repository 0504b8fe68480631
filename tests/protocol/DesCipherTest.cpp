#include "protocol/DesCipher.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

DWORD Low(ULONGLONG v) {
    return static_cast<DWORD>(v);
}
DWORD High(ULONGLONG v) {
    return static_cast<DWORD>(v >> 32);
}

ULONGLONG Encrypt(DesCipher& cipher, ULONGLONG block) {
    return cipher.EncryptCbc(Low(block), High(block));
}
ULONGLONG Decrypt(DesCipher& cipher, ULONGLONG block) {
    return cipher.DecryptCbc(Low(block), High(block));
}

// The working key of the update file ("RZT Vomb" with its parity fixed,
// enciphering itself, parity fixed again), derived by hand from the tables.
const ULONGLONG kDerivedKey = 0x5639B76677D1358DULL;

// Fixed vectors worked from the DES tables under this cipher's numbering and
// its differences from DES, each the first block after keying (chain 0).
struct Vector {
    ULONGLONG key;
    ULONGLONG plain;
    ULONGLONG cipher;
};
const Vector kVectors[] = {
    {0, 0, 0x54884884E9FA5AB9ULL},
    {0, 0x0123456789ABCDEFULL, 0xB123253B03B43172ULL},
    {kDerivedKey, 0, 0xBC60A4B0C079A7B8ULL},
    {kDerivedKey, 0x0123456789ABCDEFULL, 0xFD4F2D6B096926E7ULL},
};

}  // namespace

TEST(DesCipher_Block, FixedVectorsEncipherAndDecipher) {
    for (const Vector& v : kVectors) {
        DesCipher cipher;
        ASSERT_EQ(cipher.SetKey(Low(v.key), High(v.key)), 1);
        EXPECT_EQ(Encrypt(cipher, v.plain), v.cipher) << std::hex << v.key << " " << v.plain;
        ASSERT_EQ(cipher.SetKey(Low(v.key), High(v.key)), 1);
        EXPECT_EQ(Decrypt(cipher, v.cipher), v.plain);
    }
}

TEST(DesCipher_Key, FixParityMakesEveryByteEven) {
    const struct {
        ULONGLONG key;
        ULONGLONG fixed;
    } cases[] = {
        {0x0000000000000001ULL, 0x0000000000000081ULL},
        {0x0000000000000080ULL, 0x0000000000000000ULL},
        {0x03050F3C66A5FF00ULL, 0x03050F3C66A5FF00ULL},  // already even: unchanged
        {0x626D6F5620545A52ULL, 0xE2ED6F56A0D45AD2ULL},  // "RZT Vomb"
    };
    DesCipher cipher;
    for (const auto& c : cases) EXPECT_EQ(cipher.FixParity(Low(c.key), High(c.key)), c.fixed) << std::hex << c.key;
}

TEST(DesCipher_Key, OddParityKeyIsRefusedAndChangesNothing) {
    DesCipher reference, cipher;
    ASSERT_EQ(reference.SetKey(0, 0), 1);
    ASSERT_EQ(cipher.SetKey(0, 0), 1);
    EXPECT_EQ(Encrypt(cipher, 7), Encrypt(reference, 7));
    // Round keys and chain stay: the next block continues the first chain.
    EXPECT_EQ(cipher.SetKey(0x01, 0), 0);
    EXPECT_EQ(cipher.SetKey(0, 0x80000000), 0);
    EXPECT_EQ(Encrypt(cipher, 9), Encrypt(reference, 9));
}

TEST(DesCipher_Cbc, ChainRunsOverTheWholeSequence) {
    const std::vector<ULONGLONG> plain = {0, 0, 0xFFFFFFFFFFFFFFFFULL, 0x8000000000000001ULL, 42};
    DesCipher cipher;
    ASSERT_EQ(cipher.SetKey(Low(kDerivedKey), High(kDerivedKey)), 1);
    std::vector<ULONGLONG> enciphered;
    for (ULONGLONG p : plain) enciphered.push_back(Encrypt(cipher, p));
    // Two equal plaintext blocks in a row encipher differently.
    EXPECT_NE(enciphered[0], enciphered[1]);
    EXPECT_EQ(enciphered[1], 0xA4A0A0107A79A665ULL);

    ASSERT_EQ(cipher.SetKey(Low(kDerivedKey), High(kDerivedKey)), 1);
    for (size_t i = 0; i < plain.size(); ++i) EXPECT_EQ(Decrypt(cipher, enciphered[i]), plain[i]) << i;

    // Starting in the middle: the chain is 0 instead of the previous block.
    ASSERT_EQ(cipher.SetKey(Low(kDerivedKey), High(kDerivedKey)), 1);
    EXPECT_NE(Decrypt(cipher, enciphered[3]), plain[3]);
    EXPECT_EQ(Decrypt(cipher, enciphered[4]), plain[4]);  // its chain is right again
}

TEST(DesCipher_Cbc, BlockBytesAreLittleEndianInPlace) {
    BYTE bytes[16] = {};
    DesCipher cipher;
    ASSERT_EQ(cipher.SetKey(0, 0), 1);
    cipher.EncryptBlocks(bytes, 2);
    // 0x54884884E9FA5AB9, byte 0 least significant.
    const BYTE first[8] = {0xB9, 0x5A, 0xFA, 0xE9, 0x84, 0x48, 0x88, 0x54};
    EXPECT_EQ(memcmp(bytes, first, 8), 0);
    ASSERT_EQ(cipher.SetKey(0, 0), 1);
    cipher.DecryptBlocks(bytes, 2);
    const BYTE zeros[16] = {};
    EXPECT_EQ(memcmp(bytes, zeros, 16), 0);
}
