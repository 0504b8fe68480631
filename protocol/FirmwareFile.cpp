#include "protocol/FirmwareFile.h"

#include <string.h>

#include "framework/OwnedHandle.h"
#include "protocol/DesCipher.h"
#include "protocol/SensorDeviceBase.h"

namespace {

// "RZT Vomb" as two little-endian words.
const DWORD kBaseKeyLow = 0x20545A52;
const DWORD kBaseKeyHigh = 0x626D6F56;
const size_t kBlockBytes = 8;
const DWORD kAddressBytesInCrc = 3;

DWORD LoadDword(const BYTE* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<DWORD>(bytes[3]) << 24);
}

}  // namespace

void FirmwareFile::DeriveKey(DesCipher* cipher) {
    const ULONGLONG k1 = cipher->FixParity(kBaseKeyLow, kBaseKeyHigh);
    cipher->SetKey(static_cast<DWORD>(k1), static_cast<DWORD>(k1 >> 32));
    const ULONGLONG x = cipher->EncryptCbc(kBaseKeyLow, kBaseKeyHigh);
    const ULONGLONG k2 = cipher->FixParity(static_cast<DWORD>(x), static_cast<DWORD>(x >> 32));
    cipher->SetKey(static_cast<DWORD>(k2), static_cast<DWORD>(k2 >> 32));
}

WORD FirmwareFile::PageCrc(DWORD address, const BYTE* data) {
    const BYTE low[kAddressBytesInCrc] = {static_cast<BYTE>(address), static_cast<BYTE>(address >> 8),
                                          static_cast<BYTE>(address >> 16)};
    const WORD r = SensorDeviceBase::Crc16(0, low, kAddressBytesInCrc);
    return SensorDeviceBase::Crc16(r, data, kPageBytes);
}

bool FirmwareFile::IsGoodAddress(DWORD address, DWORD expected) {
    return (address & 0xFF) == 0 && address >= expected && address <= kHighestAddress;
}

int FirmwareFile::Decode(const std::string& bytes, Pages* pages) {
    if (bytes.size() % kUnitBytes != 0) {
        // A file cut inside a unit never reaches a sensor, not even in part.
        SetLastError(ERROR_BAD_FORMAT);
        return 0;
    }
    DesCipher cipher;
    DeriveKey(&cipher);
    DWORD expected = kLowestAddress;
    BYTE unit[kUnitBytes];
    for (size_t offset = 0; offset < bytes.size(); offset += kUnitBytes) {
        memcpy(unit, bytes.data() + offset, kUnitBytes);
        cipher.DecryptBlocks(unit, kUnitBytes / kBlockBytes);
        Page page;
        page.address = LoadDword(unit);
        const WORD stored = static_cast<WORD>(unit[4] | (unit[5] << 8));
        memcpy(page.data, unit + kBlockBytes, kPageBytes);
        if (!IsGoodAddress(page.address, expected) || PageCrc(page.address, page.data) != stored) {
            SetLastError(ERROR_BAD_FORMAT);
            return 0;
        }
        pages->push_back(page);
        expected = page.address + kPageBytes;
    }
    return 1;
}

void FirmwareFile::Encode(const Pages& pages, std::string* bytes) {
    DesCipher cipher;
    DeriveKey(&cipher);
    bytes->clear();
    bytes->reserve(pages.size() * kUnitBytes);
    BYTE unit[kUnitBytes];
    for (const Page& page : pages) {
        const WORD crc = PageCrc(page.address, page.data);
        memset(unit, 0, kBlockBytes);
        for (int i = 0; i < 4; ++i) unit[i] = static_cast<BYTE>(page.address >> (8 * i));
        unit[4] = static_cast<BYTE>(crc);
        unit[5] = static_cast<BYTE>(crc >> 8);
        memcpy(unit + kBlockBytes, page.data, kPageBytes);
        cipher.EncryptBlocks(unit, kUnitBytes / kBlockBytes);
        bytes->append(reinterpret_cast<const char*>(unit), kUnitBytes);
    }
}

int FirmwareFile::Read(const char* path, Pages* pages) {
    OwnedHandle file(CreateFileA(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.Valid()) return 0;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) return 0;
    if (size.QuadPart > static_cast<LONGLONG>(kMaxUnits) * kUnitBytes) {
        SetLastError(ERROR_BAD_FORMAT);
        return 0;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!bytes.empty() && !ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, NULL)) return 0;
    if (got != bytes.size()) {
        SetLastError(ERROR_HANDLE_EOF);
        return 0;
    }
    return Decode(bytes, pages);
}

int FirmwareFile::Write(const char* path, const Pages& pages) {
    std::string bytes;
    Encode(pages, &bytes);
    OwnedHandle file(CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.Valid()) return 0;
    DWORD written = 0;
    if (!bytes.empty() && !WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL))
        return 0;
    if (written != bytes.size()) {
        SetLastError(ERROR_WRITE_FAULT);
        return 0;
    }
    return 1;
}
