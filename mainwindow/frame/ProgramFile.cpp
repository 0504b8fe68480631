#include "mainwindow/frame/ProgramFile.h"

#include <cstring>

std::string ProgramFile::Folder() {
    char module[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(NULL, module, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    module[length] = '\0';
    const char* slash = strrchr(module, '\\');
    if (slash == NULL) return std::string();
    return std::string(module, static_cast<size_t>(slash - module + 1));
}

BOOL ProgramFile::HasFolder(const char* name) {
    return name != NULL && strpbrk(name, "\\/:") != NULL;
}

BOOL ProgramFile::PathOf(const char* name, std::string* path) {
    if (name == NULL || path == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (HasFolder(name)) {
        *path = name;
        return TRUE;
    }
    std::string folder = Folder();
    if (folder.empty()) return FALSE;
    *path = folder + name;
    return TRUE;
}
