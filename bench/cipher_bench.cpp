// Cipher throughput on one core: whole buffers deciphered and enciphered in
// CBC mode, and a full-size update file deciphered and checked, as the
// update does before its first frame goes out. Target: at least 10 MB/s.
#include <stdio.h>

#include <string>
#include <vector>

#include "protocol/DesCipher.h"
#include "protocol/FirmwareFile.h"

namespace {

const size_t kBufferBytes = 4 << 20;
const int kRounds = 4;

double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double MegabytesPerSecond(size_t bytes, double seconds) {
    return bytes / seconds / 1e6;
}

}  // namespace

int main() {
    SetThreadAffinityMask(GetCurrentThread(), 1);
    std::vector<BYTE> buffer(kBufferBytes);
    for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<BYTE>(i * 131 + (i >> 9));

    DesCipher cipher;
    double begun = Now();
    for (int r = 0; r < kRounds; ++r) {
        cipher.SetKey(0, 0);
        cipher.EncryptBlocks(buffer.data(), buffer.size() / 8);
    }
    const double encrypt = MegabytesPerSecond(kRounds * kBufferBytes, Now() - begun);
    begun = Now();
    for (int r = 0; r < kRounds; ++r) {
        cipher.SetKey(0, 0);
        cipher.DecryptBlocks(buffer.data(), buffer.size() / 8);
    }
    const double decrypt = MegabytesPerSecond(kRounds * kBufferBytes, Now() - begun);

    // Every page the address range holds: the largest file there can be.
    FirmwareFile::Pages pages(FirmwareFile::kMaxUnits);
    for (DWORD i = 0; i < FirmwareFile::kMaxUnits; ++i) {
        pages[i].address = FirmwareFile::kLowestAddress + i * FirmwareFile::kPageBytes;
        for (DWORD b = 0; b < FirmwareFile::kPageBytes; ++b) pages[i].data[b] = static_cast<BYTE>(i + b * 7);
    }
    std::string file;
    FirmwareFile::Encode(pages, &file);
    FirmwareFile::Pages read;
    read.reserve(pages.size());
    begun = Now();
    const int ok = FirmwareFile::Decode(file, &read);
    const double seconds = Now() - begun;

    printf("cipher: encipher %.1f MB/s, decipher %.1f MB/s (CBC, one core, %u MB x %d)\n", encrypt, decrypt,
           static_cast<unsigned>(kBufferBytes >> 20), kRounds);
    printf("update file: %u units (%u bytes) deciphered and checked in %.1f ms = %.1f MB/s%s\n",
           static_cast<unsigned>(read.size()), static_cast<unsigned>(file.size()), seconds * 1000,
           MegabytesPerSecond(file.size(), seconds), ok ? "" : " FAILED");
    printf("target: at least 10 MB/s: %s\n", ok && decrypt >= 10 && MegabytesPerSecond(file.size(), seconds) >= 10
                                                  ? "met"
                                                  : "NOT met");
    return ok ? 0 : 1;
}
