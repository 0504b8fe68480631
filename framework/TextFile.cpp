#include "framework/TextFile.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

TextFile::TextFile()
    : m_file(NULL), m_crlf(0), m_start(0), m_buffered(0), m_readCount(0), m_tokenCut(0), m_writeError(0) {
    std::memset(m_isDelimiter, 0, sizeof(m_isDelimiter));
}

TextFile::~TextFile() {
    Close();
}

int TextFile::IsOpen() const {
    return m_file != NULL;
}

BOOL TextFile::Open(const char* name, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
    if (IsOpen()) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    HANDLE file = CreateFileA(name, access, share, NULL, disposition, flags, NULL);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    m_file = file;
    m_start = 0;
    m_buffered = 0;
    m_readCount = 0;
    m_tokenCut = 0;
    m_writeError = 0;
    return TRUE;
}

BOOL TextFile::Close() {
    if (!IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    BOOL closed = CloseHandle(m_file);
    m_file = NULL;
    m_start = 0;
    m_buffered = 0;
    DiscardReplacing();
    return closed;
}

void TextFile::DiscardReplacing() {
    if (!m_tempName.empty()) {
        DWORD saved = GetLastError();  // cleanup must not hide the caller's error
        DeleteFileA(m_tempName.c_str());
        SetLastError(saved);
    }
    m_tempName.clear();
    m_replaceTarget.clear();
}

DWORD TextFile::GetSize() {
    if (!IsOpen()) return 0;
    return GetFileSize(m_file, NULL);
}

void TextFile::SetDelimiters(const char* chars, DWORD count) {
    m_delimiters.clear();
    std::memset(m_isDelimiter, 0, sizeof(m_isDelimiter));
    m_crlf = 0;
    if (chars == NULL) return;
    m_delimiters.assign(chars, count);
    for (DWORD i = 0; i < count; ++i) {
        m_isDelimiter[static_cast<unsigned char>(chars[i])] = true;
        if (chars[i] == '\r' && i + 1 < count && chars[i + 1] == '\n') m_crlf = 1;
    }
}

// Moves what is buffered to the front and reads behind it. 0 on a read error;
// a read of no bytes sets *atEnd.
int TextFile::Fill(int* atEnd) {
    if (m_start > 0 && m_buffered > 0) std::memmove(m_buffer, m_buffer + m_start, m_buffered);
    m_start = 0;
    DWORD got = 0;
    if (!ReadFile(m_file, m_buffer + m_buffered, kBufferSize - m_buffered, &got, NULL)) return 0;
    if (got == 0) *atEnd = 1;
    m_buffered += got;
    return 1;
}

void TextFile::Drop(DWORD count) {
    m_start += count;
    m_buffered -= count;
    if (m_buffered == 0) m_start = 0;
}

DWORD TextFile::LeadingNonDelimiters() const {
    if (m_delimiters.empty()) return m_buffered;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(m_buffer + m_start);
    DWORD n = 0;
    while (n < m_buffered && !m_isDelimiter[bytes[n]]) ++n;
    return n;
}

// Consumes the delimiter at the front of the buffer; a CR LF pair is one
// delimiter, so a CR at the end of the buffer needs the next byte first.
int TextFile::ConsumeDelimiter(int* atEnd) {
    if (m_crlf && m_buffer[m_start] == '\r') {
        if (m_buffered == 1 && !*atEnd && !Fill(atEnd)) return 0;
        if (m_buffered >= 2 && m_buffer[m_start + 1] == '\n') {
            Drop(2);
            return 1;
        }
    }
    Drop(1);
    return 1;
}

void TextFile::Terminate(char* out, DWORD size) {
    if (m_readCount < size) out[m_readCount] = '\0';
}

int TextFile::ReadToken(char* out, DWORD size) {
    m_readCount = 0;
    m_tokenCut = 0;
    if (!IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    int atEnd = 0;
    for (;;) {
        if (m_buffered < kRefillBelow && !atEnd && !Fill(&atEnd)) return 0;
        if (m_buffered == 0) {
            // The last token of a file without a final delimiter.
            if (m_readCount > 0) {
                Terminate(out, size);
                return 1;
            }
            SetLastError(ERROR_HANDLE_EOF);
            return 0;
        }
        DWORD n = LeadingNonDelimiters();
        DWORD room = size - m_readCount;
        if (n >= room) {
            // The token fills `out`: the rest stays buffered for the next call.
            std::memcpy(out + m_readCount, m_buffer + m_start, room);
            m_readCount += room;
            Drop(room);
            m_tokenCut = 1;
            return 1;
        }
        std::memcpy(out + m_readCount, m_buffer + m_start, n);
        m_readCount += n;
        Drop(n);
        if (m_buffered == 0) continue;  // no delimiter yet: read on
        if (!ConsumeDelimiter(&atEnd)) return 0;
        Terminate(out, size);
        return 1;
    }
}

int TextFile::IsTokenCut() const {
    return m_tokenCut;
}

int TextFile::ReadField(char* out, DWORD size) {
    if (!ReadToken(out, size)) return 0;
    if (m_tokenCut) {
        if (size > 0) out[size - 1] = '\0';
        SetLastError(ERROR_INVALID_DATA);
        return 0;
    }
    return 1;
}

char TextFile::PeekChar() {
    if (!IsOpen()) return 0;
    int atEnd = 0;
    if (m_buffered == 0 && !Fill(&atEnd)) return 0;
    if (m_buffered == 0) return 0;
    return m_buffer[m_start];
}

BOOL TextFile::Write(const void* data, DWORD count) {
    if (!IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD written = 0;
    if (!WriteFile(m_file, data, count, &written, NULL)) {
        NoteWriteError();
        return FALSE;
    }
    if (written != count) {
        SetLastError(ERROR_DISK_FULL);
        NoteWriteError();
        return FALSE;
    }
    return TRUE;
}

BOOL TextFile::Printf(const char* fmt, ...) {
    if (!IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // Format into a buffer that grows to the text's length.
    std::vector<char> text(1024);
    int length = 0;
    for (;;) {
        va_list args;
        va_start(args, fmt);
        length = std::vsnprintf(text.data(), text.size(), fmt, args);
        va_end(args);
        if (length >= 0 && static_cast<size_t>(length) < text.size()) break;
        if (text.size() >= 0x10000000) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            NoteWriteError();
            return FALSE;
        }
        text.resize(length >= 0 ? static_cast<size_t>(length) + 1 : text.size() * 2);
    }
    // Every LF becomes CR LF; the whole text goes out in one write.
    std::string out;
    out.reserve(static_cast<size_t>(length) + 64);
    for (int i = 0; i < length; ++i) {
        if (text[i] == '\n') out += '\r';
        out += text[i];
    }
    if (Write(out.data(), static_cast<DWORD>(out.size()))) return TRUE;
    NoteWriteError();  // also when a derived Write failed
    return FALSE;
}

DWORD TextFile::GetReadCount() {
    return m_readCount;
}

DWORD TextFile::Seek(LONG offset, DWORD origin) {
    if (!IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    // The handle stands behind the read-ahead bytes.
    if (origin == FILE_CURRENT) offset -= static_cast<LONG>(m_buffered);
    m_start = 0;
    m_buffered = 0;
    return SetFilePointer(m_file, offset, NULL, origin);
}

BOOL TextFile::IsEndOfFile() {
    if (!IsOpen()) return FALSE;
    if (m_buffered > 0) return FALSE;
    int atEnd = 0;
    Fill(&atEnd);
    return m_buffered == 0;
}

BOOL TextFile::CreateReplacing(const char* name) {
    if (IsOpen()) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    std::string folder(name);
    size_t slash = folder.find_last_of("\\/");
    folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash + 1);
    char temp[MAX_PATH];
    if (GetTempFileNameA(folder.c_str(), "tiv", 0, temp) == 0) return FALSE;
    if (!Open(temp, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL)) {
        DWORD saved = GetLastError();
        DeleteFileA(temp);
        SetLastError(saved);
        return FALSE;
    }
    m_tempName = temp;
    m_replaceTarget = name;
    return TRUE;
}

BOOL TextFile::CommitReplace() {
    if (!IsOpen() || m_replaceTarget.empty()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (m_writeError != 0 || !FlushFileBuffers(m_file)) {
        DWORD saved = m_writeError != 0 ? m_writeError : GetLastError();
        Close();
        SetLastError(saved);
        return FALSE;
    }
    std::string temp = m_tempName;
    std::string target = m_replaceTarget;
    m_tempName.clear();  // the file is ours to move now, Close must keep it
    m_replaceTarget.clear();
    BOOL closed = Close();
    if (!closed || !MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DWORD saved = GetLastError();
        DeleteFileA(temp.c_str());
        SetLastError(saved);
        return FALSE;
    }
    return TRUE;
}

// Keeps the first write failure's code for CommitReplace to report.
void TextFile::NoteWriteError() {
    DWORD error = GetLastError();
    if (m_writeError == 0) m_writeError = error != 0 ? error : static_cast<DWORD>(ERROR_WRITE_FAULT);
    SetLastError(error);
}

int TextFile::ParseNumber(const char* text, int base, long min, long max, long* value) {
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    long long magnitude = 0;
    int digits = 0;
    for (;; ++p, ++digits) {
        int digit;
        if (*p >= '0' && *p <= '9')
            digit = *p - '0';
        else if (*p >= 'a' && *p <= 'z')
            digit = *p - 'a' + 10;
        else if (*p >= 'A' && *p <= 'Z')
            digit = *p - 'A' + 10;
        else
            break;
        if (digit >= base) break;
        magnitude = magnitude * base + digit;
        if (magnitude > 0xFFFFFFFFLL) break;  // far outside every range
    }
    long long number = negative ? -magnitude : magnitude;
    if (digits == 0 || *p != '\0' || number < min || number > max) {
        SetLastError(ERROR_INVALID_DATA);
        return 0;
    }
    *value = static_cast<long>(number);
    return 1;
}
