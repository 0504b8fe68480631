#include "framework/IniFile.h"

#include <cstdio>
#include <string>

namespace {

// Set on the user-interface thread during start-up, read by every user.
std::string& SettingsPath() {
    static std::string path;
    return path;
}

}  // namespace

IniFile::IniFile() {}

IniFile::~IniFile() {}

BOOL IniFile::SetFileName(const char* name) {
    if (name == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    char module[512];
    DWORD length = GetModuleFileNameA(NULL, module, sizeof module - 1);
    if (length == 0 || length >= sizeof module - 1) {
        if (length != 0) SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    module[length] = '\0';
    char* slash = strrchr(module, '\\');
    if (slash == NULL) {
        SetLastError(ERROR_BAD_PATHNAME);
        return FALSE;
    }
    slash[1] = '\0';
    SettingsPath() = std::string(module) + name;
    return TRUE;
}

BOOL IniFile::WriteString(const char* section, const char* key, const char* value) {
    if (SettingsPath().empty()) return FALSE;
    return WritePrivateProfileStringA(section, key, value, SettingsPath().c_str());
}

BOOL IniFile::WriteInt(const char* section, const char* key, int value) {
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    return WriteString(section, key, text);
}

DWORD IniFile::GetString(const char* section, const char* key, const char* def, char* buffer, DWORD size) {
    if (SettingsPath().empty()) return 0;
    return GetPrivateProfileStringA(section, key, def, buffer, size, SettingsPath().c_str());
}

int IniFile::GetInt(const char* section, const char* key, int def) {
    if (SettingsPath().empty()) return def;
    return static_cast<int>(GetPrivateProfileIntA(section, key, def, SettingsPath().c_str()));
}

const char* IniFile::GetPath() {
    return SettingsPath().c_str();
}
