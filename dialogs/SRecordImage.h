#ifndef DIALOGS_SRECORDIMAGE_H
#define DIALOGS_SRECORDIMAGE_H

#include <windows.h>

#include <string>

#include "protocol/FirmwareFile.h"

// A firmware image in Motorola S-record text, read into the update file's
// 256-byte pages and written back from them.
//
// Reading takes "S0" (ignored), "S2" (24-bit address, data, checksum) and one
// "S8" (end) line. Records ascend without overlap from 0xA0000 and end at
// 0xFFFFF; a page that receives data is filled with 0xFF where no record
// puts any, and pages that receive none are left out. Every line is checked
// whole before its data are stored, and the first bad line ends the reading.
//
// Writing gives the header "S0030000FC", one "S214" line per 16 bytes and
// the end "S804000000FB", each line ending in CR LF.
//
// Pure: no files, no windows.
class SRecordImage {
public:
    enum Error {
        kNone = 0,
        kNotRecord,     // shorter than 6 characters, or not beginning with 'S'
        kLineTooLong,   // more than kMaxLineChars characters
        kRecordType,    // a type other than 0, 2 and 8
        kRecordLength,  // length not 2 * count + 4, or a count below 5
        kHexDigits,     // a byte that is not two hexadecimal digits
        kChecksum,
        kDescending,    // below the end of the data before it (or below 0xA0000)
        kAboveRange,    // data beyond 0xFFFFF
        kAfterEnd,      // a record after the end record
        kSecondEnd,
        kNoEnd,
    };
    // The longest "S2" line: count 0xFF.
    static const size_t kMaxLineChars = 514;

    SRecordImage();

    // One line without its line end; empty lines are skipped. 0 at a bad
    // line: GetError and GetLine tell why and where; later lines are refused.
    int AddLine(const char* text, size_t length);
    // After the last line: 0 (kNoEnd) when no end record came.
    int Finish();

    const FirmwareFile::Pages& GetPages() const { return m_pages; }
    Error GetError() const { return m_error; }
    // The 1-based number of the bad line.
    int GetLine() const { return m_line; }
    // The address of a record refused as kDescending.
    DWORD GetErrorAddress() const { return m_errorAddress; }

    // The two characters at offset as one hexadecimal byte; 0 unless both
    // are hexadecimal digits.
    static int HexByteAt(const char* text, size_t offset, BYTE* value);
    // The S-record text of the pages.
    static void Format(const FirmwareFile::Pages& pages, std::string* text);

private:
    struct Record {
        DWORD address;
        BYTE count;
        BYTE data[255];
        size_t dataCount;
    };

    int Refuse(Error error);
    int ParseData(const char* text, size_t length, Record* record);
    int AddData(const char* text, size_t length);
    void StartPage(DWORD address);
    void FillTo(DWORD address);
    void EndPage();

    FirmwareFile::Pages m_pages;
    FirmwareFile::Page m_page;  // the page being filled
    DWORD m_filled;             // bytes of m_page filled so far
    DWORD m_expected;           // the address after the last data byte
    bool m_ended;               // the end record came
    int m_line;
    Error m_error;
    DWORD m_errorAddress;
};

#endif
