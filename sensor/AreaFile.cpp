#include "sensor/AreaFile.h"

#include <cstdio>
#include <cstring>

#include "framework/LittleEndian.h"
#include "framework/TextFile.h"
#include "sensor/AreaRecord.h"
#include "sensor/DetectionArea.h"

namespace {

const char kHeader[] = "[ZOR Area Data File]";
const DWORD kTokenChars = 32;

// Sizes of files that are known not to be area files whatever they hold.
const DWORD kRefusedSizes[] = {224, 384, 1080};

int ReadKey(TextFile& file, char* token) {
    return file.ReadField(token, kTokenChars + 1);
}

int ExpectKey(TextFile& file, const char* expected) {
    char token[kTokenChars + 1];
    if (!ReadKey(file, token)) return 0;
    if (std::strcmp(token, expected) == 0) return 1;
    SetLastError(ERROR_INVALID_DATA);
    return 0;
}

// A value token: a whole decimal number within min..max.
int ReadValue(TextFile& file, long min, long max, long* value) {
    char token[kTokenChars + 1];
    return ReadKey(file, token) && TextFile::ParseNumber(token, 10, min, max, value);
}

int ReadShortValue(TextFile& file, BYTE* out) {
    long value = 0;
    if (!ReadValue(file, -32768, 32767, &value)) return 0;
    WriteLeWord(out, value);
    return 1;
}

// A flag field of `bits` bits, placed at `shift` in the flags word.
int ReadFlagValue(TextFile& file, int bits, int shift, WORD* flags) {
    long value = 0;
    if (!ReadValue(file, 0, (1L << bits) - 1, &value)) return 0;
    *flags = static_cast<WORD>(*flags | (value << shift));
    return 1;
}

}  // namespace

int AreaFile::Save(const char* path, const BYTE* table) {
    TextFile file;
    if (!file.CreateReplacing(path)) return 0;
    return Write(file, table) && file.CommitReplace();
}

int AreaFile::Write(TextFile& file, const BYTE* table) {
    int ok = file.Printf("%s\n\n", kHeader);
    for (int area = 0; area < kAreaCount; ++area) {
        const BYTE* record = table + area * kAreaRecordBytes;
        ok = ok && file.Printf("[Area%d]\n[Output1]\n", area + 1);
        for (int p = 0; p < DetectionArea::kPointCount; ++p) {
            ok = ok && file.Printf("[Point%d]\n%d %d\n", p + 1, ReadLeShort(record + 4 * p),
                                   ReadLeShort(record + 4 * p + 2));
        }
        WORD flags = ReadLeWord(record + kAreaFlagsOffset);
        ok = ok && file.Printf("[Output2]\n%d\n[Output3]\n%d\n", ReadLeShort(record + kAreaOutput2Offset),
                               ReadLeShort(record + kAreaOutput3Offset));
        ok =
            ok &&
            file.Printf(
                "[PartitionShape]\n%d\n[2ScanMode]\n%d\n[MirrorReflectionMode]\n%d\n[HalfHysteresis]\n%d\n\n",
                (flags >> 3) & 3, flags & 7, (flags >> 5) & 1, (flags >> 6) & 1);
    }
    return ok;
}

int AreaFile::Load(const char* path, BYTE* table) {
    TextFile file;
    if (!file.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL)) return 0;
    file.SetDelimiters("\r\n", 2);
    char first[kTokenChars + 1];
    if (!file.ReadToken(first, sizeof(first))) return 0;
    if (!file.IsTokenCut() && std::strcmp(first, kHeader) == 0) {
        if (!file.ReadField(first, sizeof(first))) return 0;  // the empty line
    } else if (IsRefusedHeaderless(file)) {
        return 0;
    }
    return Parse(file, table);
}

// A file without the header is an area file only when it starts with a key;
// rewinds it to its start.
int AreaFile::IsRefusedHeaderless(TextFile& file) {
    file.Seek(0, FILE_BEGIN);
    DWORD size = file.GetSize();
    SetLastError(ERROR_INVALID_DATA);
    for (DWORD refused : kRefusedSizes) {
        if (size == refused) return 1;
    }
    return file.PeekChar() != '[';
}

int AreaFile::Parse(TextFile& file, BYTE* table) {
    file.SetDelimiters(" \r\n", 3);
    BYTE parsed[kAreaTableBytes];
    std::memset(parsed, 0, sizeof(parsed));
    for (int area = 0; area < kAreaCount; ++area) {
        if (!ParseArea(file, area, parsed + area * kAreaRecordBytes)) return 0;
    }
    std::memcpy(table, parsed, sizeof(parsed));
    return 1;
}

int AreaFile::ParseArea(TextFile& file, int area, BYTE* record) {
    char key[kTokenChars + 1];
    std::snprintf(key, sizeof(key), "[Area%d]", area + 1);
    if (!ExpectKey(file, key) || !ExpectKey(file, "[Output1]")) return 0;
    for (int p = 0; p < DetectionArea::kPointCount; ++p) {
        std::snprintf(key, sizeof(key), "[Point%d]", p + 1);
        if (!ExpectKey(file, key) || !ReadShortValue(file, record + 4 * p) ||
            !ReadShortValue(file, record + 4 * p + 2)) {
            return 0;
        }
    }
    if (!ExpectKey(file, "[Output2]") || !ReadShortValue(file, record + kAreaOutput2Offset)) return 0;
    if (!ExpectKey(file, "[Output3]") || !ReadShortValue(file, record + kAreaOutput3Offset)) return 0;
    WORD flags = 0;
    if (!ParseOptions(file, &flags)) return 0;
    WriteLeWord(record + kAreaFlagsOffset, flags);
    return 1;
}

// The partition shape and the 2-scan mode (once called the judgement mode),
// then the options a newer file adds, up to the empty line after the area.
int AreaFile::ParseOptions(TextFile& file, WORD* flags) {
    char token[kTokenChars + 1];
    if (!ExpectKey(file, "[PartitionShape]") || !ReadFlagValue(file, 2, 3, flags)) return 0;
    if (!ReadKey(file, token)) return 0;
    if (std::strcmp(token, "[2ScanMode]") != 0 && std::strcmp(token, "[JudgementMode]") != 0) {
        SetLastError(ERROR_INVALID_DATA);
        return 0;
    }
    if (!ReadFlagValue(file, 3, 0, flags) || !ReadKey(file, token)) return 0;
    if (std::strcmp(token, "[MirrorReflectionMode]") != 0) return 1;
    if (!ReadFlagValue(file, 1, 5, flags) || !ReadKey(file, token)) return 0;
    if (std::strcmp(token, "[HalfHysteresis]") != 0) return 1;
    return ReadFlagValue(file, 1, 6, flags) && ReadKey(file, token);
}
