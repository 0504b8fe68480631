#ifndef DIALOGS_FUNCTIONFILE_H
#define DIALOGS_FUNCTIONFILE_H

#include <windows.h>

class SensorCaps;

// The function definition file (".fnc"): a profile file whose section
// "Function" holds the editable fields of the function word (bits 0-8) as
// decimal keys. Saving into an existing file replaces only these keys.
// No windows: the dialog chooses the path.
class FunctionFile {
public:
    FunctionFile();
    virtual ~FunctionFile();

    // Sets output logic, output 3 and input 4 functions and bits 7 and 8 of
    // the function word from the file; a missing key reads as 0, and the
    // other bits stay. 0 when the file cannot be opened for reading (the
    // word is then untouched).
    virtual BOOL Load(const char* path, SensorCaps* function);
    // Writes the five keys from the function word; 0 when any of them could
    // not be written, with the reason in the thread's last error.
    virtual BOOL Save(const char* path, const SensorCaps& function);

    static const char kSection[];

private:
    FunctionFile(const FunctionFile&) = delete;
    FunctionFile& operator=(const FunctionFile&) = delete;
};

#endif
