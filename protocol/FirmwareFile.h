#ifndef PROTOCOL_FIRMWAREFILE_H
#define PROTOCOL_FIRMWAREFILE_H

#include <windows.h>

#include <string>
#include <vector>

class DesCipher;

// The firmware update file ("*.tiv"): 264-byte units with no file header,
// each the page address (4 bytes), the page CRC (2), 2 zero bytes and the
// page's 256 data bytes, all of them enciphered as one CBC chain over the
// whole file under a key derived from a fixed base key. Addresses are
// 256-aligned, within 0xA0000..0xFFF00, and ascend; gaps are allowed.
//
// Pure functions of their input; Read and Write touch only the named file.
class FirmwareFile {
public:
    static const DWORD kPageBytes = 256;
    static const DWORD kUnitBytes = 264;
    static const DWORD kLowestAddress = 0xA0000;
    static const DWORD kHighestAddress = 0xFFF00;
    // Room for every page between the two addresses.
    static const DWORD kMaxUnits = (kHighestAddress - kLowestAddress) / kPageBytes + 1;

    struct Page {
        DWORD address;
        BYTE data[kPageBytes];
    };
    typedef std::vector<Page> Pages;

    // Keys the cipher with the working key; its chain starts at 0.
    static void DeriveKey(DesCipher* cipher);
    // The CRC register over the address's three low bytes and the data.
    static WORD PageCrc(DWORD address, const BYTE* data);

    // Deciphers and checks a file's bytes; appends each accepted page. 0 at
    // the first bad unit, or when the size is not a whole number of units
    // (last error ERROR_BAD_FORMAT); the pages before it stay appended. An
    // empty file has no pages.
    static int Decode(const std::string& bytes, Pages* pages);
    // The enciphered units of pages, which must obey the address rules.
    static void Encode(const Pages& pages, std::string* bytes);

    // The whole file, read unshared; 0 with the reason in the last error
    // (a short read gives ERROR_HANDLE_EOF).
    static int Read(const char* path, Pages* pages);
    static int Write(const char* path, const Pages& pages);

private:
    static bool IsGoodAddress(DWORD address, DWORD expected);
};

#endif
