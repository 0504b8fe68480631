#ifndef FRAMEWORK_INIFILE_H
#define FRAMEWORK_INIFILE_H

#include <windows.h>

// The one settings file in the program's folder. The path is process-wide
// and set once at start; any number of IniFile objects may read and write.
// Without a path every read gives its default and every write fails.
class IniFile {
public:
    IniFile();
    virtual ~IniFile();

    // The path becomes the program's folder plus name.
    virtual BOOL SetFileName(const char* name);
    virtual BOOL WriteString(const char* section, const char* key, const char* value);
    virtual BOOL WriteInt(const char* section, const char* key, int value);
    virtual DWORD GetString(const char* section, const char* key, const char* def, char* buffer, DWORD size);
    virtual int GetInt(const char* section, const char* key, int def);

    // The full path, "" when none is set.
    static const char* GetPath();

private:
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;
};

#endif
