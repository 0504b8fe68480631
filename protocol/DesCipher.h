#ifndef PROTOCOL_DESCIPHER_H
#define PROTOCOL_DESCIPHER_H

#include <windows.h>

// The 64-bit block cipher of the firmware update file, in cipher-block
// chaining mode. Its block function is a 16-round Feistel network built from
// the DES tables, with its own bit numbering (bit 0 of byte 0 comes first),
// no P permutation, the first S-box's output dropped and no swap of the
// halves before the final permutation: a standard DES routine cannot stand
// in for it, and files written by older tools depend on exactly this one.
//
// Blocks and keys travel as two 32-bit words, low word first; 8 bytes map to
// a value little-endian. One object serves one file on one thread: keyed,
// used and dropped. The permutations run through byte tables built once.
class DesCipher {
public:
    DesCipher();
    virtual ~DesCipher();

    // The key with bit 7 of each byte set or cleared so that every byte has
    // an even number of 1 bits.
    virtual ULONGLONG FixParity(DWORD keyLow, DWORD keyHigh);
    // 0 when a key byte has odd parity (nothing changes); else builds the
    // round keys, clears the chain and returns 1.
    virtual int SetKey(DWORD keyLow, DWORD keyHigh);
    // c = Block(p XOR chain); the chain becomes c.
    virtual ULONGLONG EncryptCbc(DWORD low, DWORD high);
    // p = InverseBlock(c) XOR chain; the chain becomes c.
    virtual ULONGLONG DecryptCbc(DWORD low, DWORD high);

    // Whole 8-byte blocks in place, in order, through the running chain.
    void EncryptBlocks(BYTE* bytes, size_t blockCount);
    void DecryptBlocks(BYTE* bytes, size_t blockCount);

    static ULONGLONG Join(DWORD low, DWORD high) { return (static_cast<ULONGLONG>(high) << 32) | low; }
    static ULONGLONG LoadBlock(const BYTE* bytes);
    static void StoreBlock(ULONGLONG value, BYTE* bytes);

private:
    static const int kRounds = 16;

    static bool CheckParity(ULONGLONG key);
    static DWORD RotateHalf(DWORD half);
    static ULONGLONG PermutedChoice2(DWORD c, DWORD d);
    static ULONGLONG InitialPermutation(ULONGLONG block);
    static ULONGLONG FinalPermutation(ULONGLONG block);
    ULONGLONG EncryptRounds(ULONGLONG block) const;
    ULONGLONG DecryptRounds(ULONGLONG block) const;
    static ULONGLONG Expand(DWORD half);
    static DWORD Substitute(ULONGLONG bits);
    static DWORD Feistel(DWORD half, ULONGLONG roundKey) { return Substitute(Expand(half) ^ roundKey); }

    ULONGLONG m_roundKeys[kRounds];  // 48 significant bits each, round 1 first
    ULONGLONG m_chain;
};

#endif
