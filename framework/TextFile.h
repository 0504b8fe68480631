#ifndef FRAMEWORK_TEXTFILE_H
#define FRAMEWORK_TEXTFILE_H

#include <windows.h>

#include <string>

// The program's one file class: a file handle with a read-ahead buffer, a
// token reader that splits the text at a set of delimiter bytes, and a
// formatted writer that writes every LF as CR LF.
//
// Saving goes through CreateReplacing and CommitReplace: the text is written
// to a temporary file in the target's folder, which replaces the target only
// when every write succeeded, so a failed save never destroys the old file.
//
// One object is used by one thread at a time.
class TextFile {
public:
    TextFile();
    virtual ~TextFile();

    // 0 if a file is open or CreateFileA fails.
    virtual BOOL Open(const char* name, DWORD access, DWORD share, DWORD disposition, DWORD flags);
    // 0 if closed; else the result of CloseHandle. An uncommitted replacing
    // file is deleted and the target left as it was.
    virtual BOOL Close();
    virtual DWORD GetSize();
    // Copies the bytes; a CR directly followed by LF makes CR LF one delimiter.
    // A null set leaves none: a token then ends only when `out` is full or at
    // the end of the file (for reading fixed-size binary blocks).
    virtual void SetDelimiters(const char* chars, DWORD count);
    // 1 when a token was read: terminated when fewer than `size` bytes were
    // stored. A token that fills `out` is cut there (IsTokenCut gives 1) and
    // its rest comes with the next call. 0 at the end of the file
    // (ERROR_HANDLE_EOF) or on a read error; what was copied stays in `out`.
    virtual int ReadToken(char* out, DWORD size);
    // The next byte without consuming it; 0 at the end of the file or on error.
    virtual char PeekChar();
    // 1 only when every byte was written.
    virtual BOOL Write(const void* data, DWORD count);
    // Formats the text (of any length) and writes it with each LF as CR LF;
    // 1 only when every byte was written.
    virtual BOOL Printf(const char* fmt, ...) __attribute__((format(gnu_printf, 2, 3)));
    virtual DWORD GetReadCount();
    // Drops the read-ahead bytes; FILE_CURRENT counts from the position of the
    // next unread byte. The new position, or INVALID_SET_FILE_POINTER.
    virtual DWORD Seek(LONG offset, DWORD origin);
    virtual BOOL IsEndOfFile();

    // 1 when the last ReadToken stopped because `out` was full.
    int IsTokenCut() const;
    // A token for a text format: 1 only for a whole token, stored terminated.
    // A token that does not fit in size - 1 bytes fails with
    // ERROR_INVALID_DATA, so that a reader refuses the file.
    int ReadField(char* out, DWORD size);

    // Creates a temporary file for writing in the folder of `name`.
    BOOL CreateReplacing(const char* name);
    // Closes the temporary file and moves it over the target. Fails, deleting
    // the temporary file, when any write failed (with that write's error) or
    // the move fails.
    BOOL CommitReplace();

    // Reads a whole number in `base` (2..16) with optional leading blanks and
    // sign and nothing after it; 0 (ERROR_INVALID_DATA) when the text is not
    // such a number or the value lies outside min..max.
    static int ParseNumber(const char* text, int base, long min, long max, long* value);

private:
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    static const DWORD kBufferSize = 32768;
    static const DWORD kRefillBelow = kBufferSize / 2;

    int IsOpen() const;
    int Fill(int* atEnd);
    void Drop(DWORD count);
    DWORD LeadingNonDelimiters() const;
    int ConsumeDelimiter(int* atEnd);
    void Terminate(char* out, DWORD size);
    void DiscardReplacing();
    void NoteWriteError();

    HANDLE m_file;               // NULL when closed
    std::string m_delimiters;    // the caller's delimiter bytes
    bool m_isDelimiter[256];     // lookup built from m_delimiters
    int m_crlf;                  // CR LF counts as one delimiter
    char m_buffer[kBufferSize];  // read-ahead bytes at m_start
    DWORD m_start;
    DWORD m_buffered;
    DWORD m_readCount;  // bytes delivered by the last ReadToken
    int m_tokenCut;
    DWORD m_writeError;           // the first write failure since opening, or 0
    std::string m_replaceTarget;  // the file CommitReplace replaces, or empty
    std::string m_tempName;       // the temporary file being written
};

#endif
