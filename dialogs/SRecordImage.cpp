#include "dialogs/SRecordImage.h"

#include <cstdio>
#include <cstring>

namespace {

const DWORD kPageBytes = FirmwareFile::kPageBytes;
const DWORD kPageMask = ~(kPageBytes - 1);
const DWORD kAddressEnd = FirmwareFile::kHighestAddress + kPageBytes;  // one past the last byte
const size_t kShortestRecord = 6;
const BYTE kShortestCount = 5;  // three address bytes, one data byte, the checksum
const size_t kAddressOffset = 4;
const size_t kDataOffset = 10;
const size_t kBytesPerLine = 16;
const BYTE kFiller = 0xFF;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

SRecordImage::SRecordImage()
    : m_filled(0),
      m_expected(FirmwareFile::kLowestAddress),
      m_ended(false),
      m_line(0),
      m_error(kNone),
      m_errorAddress(0) {
    m_page.address = FirmwareFile::kLowestAddress;
}

int SRecordImage::HexByteAt(const char* text, size_t offset, BYTE* value) {
    const int high = HexDigit(text[offset]);
    const int low = high < 0 ? -1 : HexDigit(text[offset + 1]);
    if (low < 0) return 0;
    *value = static_cast<BYTE>(high * 16 + low);
    return 1;
}

int SRecordImage::Refuse(Error error) {
    m_error = error;
    return 0;
}

int SRecordImage::AddLine(const char* text, size_t length) {
    if (m_error != kNone) return 0;
    ++m_line;
    if (length == 0) return 1;
    if (length > kMaxLineChars) return Refuse(kLineTooLong);
    if (length < kShortestRecord || text[0] != 'S') return Refuse(kNotRecord);
    switch (text[1]) {
        case '0':
            return m_ended ? Refuse(kAfterEnd) : 1;
        case '8':
            if (m_ended) return Refuse(kSecondEnd);
            FillTo(m_page.address + kPageBytes);
            EndPage();
            m_ended = true;
            return 1;
        case '2':
            return m_ended ? Refuse(kAfterEnd) : AddData(text, length);
        default:
            return Refuse(kRecordType);
    }
}

int SRecordImage::Finish() {
    if (m_error != kNone) return 0;
    return m_ended ? 1 : Refuse(kNoEnd);
}

int SRecordImage::ParseData(const char* text, size_t length, Record* record) {
    if (!HexByteAt(text, 2, &record->count)) return Refuse(kHexDigits);
    if (record->count < kShortestCount || length != 2u * record->count + 4) return Refuse(kRecordLength);
    // Every byte the line holds, from the count to the checksum, is summed.
    BYTE sum = record->count;
    BYTE bytes[255];
    const size_t byteCount = record->count;
    for (size_t i = 0; i < byteCount; ++i) {
        if (!HexByteAt(text, kAddressOffset + 2 * i, &bytes[i])) return Refuse(kHexDigits);
        sum = static_cast<BYTE>(sum + bytes[i]);
    }
    if (sum != 0xFF) return Refuse(kChecksum);
    record->address = (bytes[0] << 16) | (bytes[1] << 8) | bytes[2];
    record->dataCount = byteCount - 4;
    memcpy(record->data, bytes + 3, record->dataCount);
    return 1;
}

int SRecordImage::AddData(const char* text, size_t length) {
    Record record;
    if (!ParseData(text, length, &record)) return 0;
    DWORD address = record.address;
    if (address < m_expected) {
        m_errorAddress = address;
        return Refuse(kDescending);
    }
    if (address + record.dataCount > kAddressEnd) return Refuse(kAboveRange);
    if (m_filled < kPageBytes && address != m_expected) {
        if (m_filled == 0) StartPage(address);
        FillTo(address);
    }
    for (size_t i = 0; i < record.dataCount; ++i, ++address) {
        if (m_filled == kPageBytes) {
            EndPage();
            StartPage(address);
        }
        m_page.data[m_filled++] = record.data[i];
    }
    m_expected = address;
    return 1;
}

void SRecordImage::StartPage(DWORD address) {
    m_page.address = address & kPageMask;
    m_filled = 0;
    FillTo(address);
}

// Fills the page with 0xFF up to the address, at most to its end.
void SRecordImage::FillTo(DWORD address) {
    const DWORD end = address - m_page.address;
    while (m_filled < kPageBytes && m_filled < end) m_page.data[m_filled++] = kFiller;
}

void SRecordImage::EndPage() {
    m_pages.push_back(m_page);
}

void SRecordImage::Format(const FirmwareFile::Pages& pages, std::string* text) {
    *text = "S0030000FC\r\n";
    // "S214", six address digits, 32 data digits, two checksum digits, CR LF
    text->reserve(text->size() + pages.size() * (kPageBytes / kBytesPerLine) * 46 + 16);
    char line[64];
    for (const FirmwareFile::Page& page : pages) {
        for (size_t offset = 0; offset < kPageBytes; offset += kBytesPerLine) {
            const DWORD address = page.address + static_cast<DWORD>(offset);
            const BYTE* data = page.data + offset;
            BYTE sum = static_cast<BYTE>(0x14 + (address >> 16) + (address >> 8) + address);
            int at = snprintf(line, sizeof line, "S214%06X", static_cast<unsigned>(address));
            for (size_t i = 0; i < kBytesPerLine; ++i) {
                at += snprintf(line + at, sizeof line - at, "%02X", data[i]);
                sum = static_cast<BYTE>(sum + data[i]);
            }
            snprintf(line + at, sizeof line - at, "%02X\r\n", static_cast<unsigned>(0xFF - sum));
            *text += line;
        }
    }
    *text += "S804000000FB\r\n";
}
