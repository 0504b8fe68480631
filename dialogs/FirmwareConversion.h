#ifndef DIALOGS_FIRMWARECONVERSION_H
#define DIALOGS_FIRMWARECONVERSION_H

#include <windows.h>

// Converts a firmware file between Motorola S-record text and the enciphered
// update file, in either direction. The whole input is read and checked
// before anything is written; the output goes to a temporary file in the
// target's folder that replaces the target only when every byte was written,
// so a refused or failed conversion leaves no output, not even in part.
//
// No windows: a refusal comes back as the string id of its message with the
// values that message shows.
class FirmwareConversion {
public:
    struct Failure {
        // String id; its text takes (int line, unsigned address), except
        // IDS_CONVERT_CANNOT_WRITE, whose text takes the output path.
        UINT message;
        int line;       // the S-record line refused, 1-based
        DWORD address;  // the record address refused as descending
    };

    // S-record text to update file.
    static int Encrypt(const char* input, const char* output, Failure* failure);
    // Update file to S-record text.
    static int Decrypt(const char* input, const char* output, Failure* failure);
    // Whether two paths name one file: by full path, or for files that exist
    // by volume and file index (another spelling, a short name, a link).
    static bool IsSameFile(const char* first, const char* second);

private:
    static int Refuse(Failure* failure, UINT message, int line = 0, DWORD address = 0);
    static int WriteReplacing(const char* output, const void* bytes, DWORD count, Failure* failure);
};

#endif
