#include "dialogs/FirmwareConversion.h"

#include <string>

#include "dialogs/SRecordImage.h"
#include "framework/OwnedHandle.h"
#include "framework/TextFile.h"
#include "protocol/FirmwareFile.h"
#include "resources/DevelopDialogIds.h"
#include "resources/FirmwareIds.h"

namespace {

// Room for a line longer than any S-record, so a long line is seen whole
// enough to be refused as too long.
const DWORD kLineBuffer = 1024;

const UINT kLineMessages[] = {
    0,                           // kNone
    IDS_CONVERT_NOT_RECORD,      // kNotRecord
    IDS_CONVERT_LINE_TOO_LONG,   // kLineTooLong
    IDS_CONVERT_RECORD_TYPE,     // kRecordType
    IDS_CONVERT_RECORD_LENGTH,   // kRecordLength
    IDS_CONVERT_HEX_DIGITS,      // kHexDigits
    IDS_CONVERT_CHECKSUM,        // kChecksum
    IDS_CONVERT_DESCENDING,      // kDescending
    IDS_CONVERT_ABOVE_RANGE,     // kAboveRange
    IDS_CONVERT_AFTER_END,       // kAfterEnd
    IDS_CONVERT_SECOND_END,      // kSecondEnd
    IDS_CONVERT_NO_END,          // kNoEnd
};

bool FileIdentity(const char* path, BY_HANDLE_FILE_INFORMATION* info) {
    OwnedHandle file(CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL));
    return file.Valid() && GetFileInformationByHandle(file.Get(), info);
}

std::string FullPath(const char* path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path, sizeof full, full, NULL);
    return length > 0 && length < sizeof full ? std::string(full, length) : std::string(path);
}

}  // namespace

int FirmwareConversion::Refuse(Failure* failure, UINT message, int line, DWORD address) {
    failure->message = message;
    failure->line = line;
    failure->address = address;
    return 0;
}

bool FirmwareConversion::IsSameFile(const char* first, const char* second) {
    if (lstrcmpiA(FullPath(first).c_str(), FullPath(second).c_str()) == 0) return true;
    BY_HANDLE_FILE_INFORMATION a, b;
    if (!FileIdentity(first, &a) || !FileIdentity(second, &b)) return false;
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

int FirmwareConversion::WriteReplacing(const char* output, const void* bytes, DWORD count, Failure* failure) {
    TextFile file;
    if (!file.CreateReplacing(output) || !file.Write(bytes, count) || !file.CommitReplace()) {
        return Refuse(failure, IDS_CONVERT_CANNOT_WRITE);
    }
    return 1;
}

int FirmwareConversion::Encrypt(const char* input, const char* output, Failure* failure) {
    if (IsSameFile(input, output)) return Refuse(failure, IDS_CONVERT_SAME_FILE);
    TextFile file;
    if (!file.Open(input, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL)) {
        return Refuse(failure, IDS_CANNOT_OPEN_FILE);
    }
    file.SetDelimiters("\r\n", 2);
    SRecordImage image;
    char line[kLineBuffer];
    while (file.ReadToken(line, sizeof line)) {
        if (!image.AddLine(line, file.GetReadCount())) break;
    }
    if (GetLastError() != ERROR_HANDLE_EOF && image.GetError() == SRecordImage::kNone) {
        return Refuse(failure, IDS_CANNOT_OPEN_FILE);  // a read error
    }
    if (!image.Finish()) {
        return Refuse(failure, kLineMessages[image.GetError()], image.GetLine(), image.GetErrorAddress());
    }
    std::string bytes;
    FirmwareFile::Encode(image.GetPages(), &bytes);
    return WriteReplacing(output, bytes.data(), static_cast<DWORD>(bytes.size()), failure);
}

int FirmwareConversion::Decrypt(const char* input, const char* output, Failure* failure) {
    if (IsSameFile(input, output)) return Refuse(failure, IDS_CONVERT_SAME_FILE);
    FirmwareFile::Pages pages;
    if (!FirmwareFile::Read(input, &pages)) {
        const DWORD error = GetLastError();
        const bool damaged = error == ERROR_BAD_FORMAT || error == ERROR_HANDLE_EOF;
        return Refuse(failure, damaged ? IDS_CONVERT_BAD_UNIT : IDS_CANNOT_OPEN_FILE);
    }
    std::string text;
    SRecordImage::Format(pages, &text);
    return WriteReplacing(output, text.data(), static_cast<DWORD>(text.size()), failure);
}
