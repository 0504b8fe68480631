#include "dialogs/FunctionFile.h"

#include "framework/OwnedHandle.h"
#include "sensor/SensorCaps.h"

#include <cstdio>

const char FunctionFile::kSection[] = "Function";

namespace {

// One key per field of the function word, in the file's order. A one-bit
// field reads any non-zero value as 1; a wider field takes the value's low
// bits through its setter.
struct FieldKey {
    const char* key;
    int (SensorCaps::*get)() const;
    void (SensorCaps::*set)(int);
    bool oneBit;
};

const FieldKey kFields[] = {
    {"OutputLogic", &SensorCaps::GetOutputLogic, &SensorCaps::SetOutputLogic, true},
    {"Output3Function", &SensorCaps::GetOutput3Function, &SensorCaps::SetOutput3Function, false},
    {"Input4Function", &SensorCaps::GetInput4Function, &SensorCaps::SetInput4Function, false},
    {"NoSidewaysExtension", &SensorCaps::GetFunctionBit7, &SensorCaps::SetFunctionBit7, true},
    {"LedPCon2", &SensorCaps::GetFunctionBit8, &SensorCaps::SetFunctionBit8, true},
};

}  // namespace

FunctionFile::FunctionFile() {}

FunctionFile::~FunctionFile() {}

BOOL FunctionFile::Load(const char* path, SensorCaps* function) {
    if (path == NULL || function == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The profile functions read a missing file as one without keys; a file
    // that is gone or locked is a failure, not a file of zeros.
    OwnedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.Valid()) return FALSE;
    file.Close();
    for (const FieldKey& field : kFields) {
        int value = static_cast<int>(GetPrivateProfileIntA(kSection, field.key, 0, path));
        if (field.oneBit) value = value != 0 ? 1 : 0;
        (function->*field.set)(value);
    }
    return TRUE;
}

BOOL FunctionFile::Save(const char* path, const SensorCaps& function) {
    if (path == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (const FieldKey& field : kFields) {
        char value[16];
        snprintf(value, sizeof value, "%d", (function.*field.get)());
        if (!WritePrivateProfileStringA(kSection, field.key, value, path)) return FALSE;
    }
    return TRUE;
}
