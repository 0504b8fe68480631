#include "framework/LanguageResource.h"

#include "framework/HandleOwner.h"
#include "framework/OwnedModule.h"
#include "framework/ResourceString.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

const char LanguageResource::kSignature[] = "ZOR Configurator Resource File";
const char LanguageResource::kModuleProductName[] = "ZOR Configurator Resource";

namespace {

// Process-wide state, user-interface thread only.
struct Languages {
    std::map<DWORD, LanguageInfo> list;
    std::string folder;          // the program's folder with its backslash
    DWORD builtInId = 0;         // the program's own entry; 0 when none
    HINSTANCE instance = NULL;   // the program, whose resources are built in
    HMODULE current = NULL;      // 0 = the program's own resources
    OwnedModule loaded;          // current, when Select loaded it
};

Languages& State() {
    static Languages state;
    return state;
}

void CopyCut(char* field, size_t size, const char* text) {
    snprintf(field, size, "%s", text);
}

// The names of the files in a folder (with its backslash) that match a pattern.
std::vector<std::string> FilesIn(const std::string& folder, const char* pattern) {
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    OwnedFind search(FindFirstFileA((folder + pattern).c_str(), &found));
    if (!search.Valid()) return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(found.cFileName);
    } while (FindNextFileA(search.Get(), &found));
    return files;
}

}  // namespace

LanguageResource::LanguageResource() : m_position(State().list.begin()) {}

LanguageResource::~LanguageResource() {}

BOOL LanguageResource::ReadEntry(HMODULE module, const char* fileName, LanguageInfo* info) {
    ResourceString text(module);
    if (strcmp(text.Load(1), kSignature) != 0) return FALSE;
    memset(info, 0, sizeof *info);
    CopyCut(info->fileName, sizeof info->fileName, fileName);
    CopyCut(info->name, sizeof info->name, text.Load(2));
    CopyCut(info->helpFile, sizeof info->helpFile, text.Load(3));
    info->id = strtoul(text.Load(4), NULL, 16);
    CopyCut(info->statusText, sizeof info->statusText, text.Load(5));
    return info->id >= kFirstId && info->id <= kLastId;
}

int LanguageResource::Enumerate(HINSTANCE instance) {
    Languages& state = State();
    state.list.clear();
    state.builtInId = 0;
    m_position = state.list.begin();

    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(instance, path, sizeof path);
    if (length == 0 || length >= sizeof path) return 0;
    char* slash = strrchr(path, '\\');
    if (slash == NULL) return 0;
    const char* programFile = slash + 1;
    state.folder.assign(path, static_cast<size_t>(programFile - path));
    state.instance = instance;

    char programVersion[64];
    if (!GetVersionString(path, "ProductVersion", programVersion, sizeof programVersion))
        programVersion[0] = '\0';

    int count = 0;
    LanguageInfo info;
    if (ReadEntry(instance, programFile, &info)) {
        state.list.insert(std::make_pair(info.id, info));
        state.builtInId = info.id;
        ++count;
    }

    for (const std::string& file : FilesIn(state.folder, "*.dll")) {
        std::string full = state.folder + file;
        char product[64];
        char version[64];
        if (!GetVersionString(full.c_str(), "ProductName", product, sizeof product)) continue;
        if (!GetVersionString(full.c_str(), "ProductVersion", version, sizeof version)) continue;
        if (strcmp(product, kModuleProductName) != 0 || strcmp(version, programVersion) != 0) continue;
        // As data: a module's code never runs.
        OwnedModule module(LoadLibraryExA(full.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE));
        if (!module.Valid()) continue;
        if (ReadEntry(module.Get(), file.c_str(), &info)) {
            // The first entry of an id stays; the program's own wins.
            state.list.insert(std::make_pair(info.id, info));
            ++count;
        }
    }
    m_position = state.list.begin();
    return count;
}

HMODULE LanguageResource::Select(DWORD id) {
    Languages& state = State();
    std::map<DWORD, LanguageInfo>::const_iterator it = state.list.find(id);
    if (it == state.list.end()) {
        SetLastError(ERROR_NOT_FOUND);
        return NULL;
    }
    if (id == state.builtInId) {
        // The program's own resources: nothing to load.
        Release();
        state.current = state.instance;
        return state.instance;
    }
    OwnedModule module(
        LoadLibraryExA((state.folder + it->second.fileName).c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE));
    if (!module.Valid()) return NULL;
    Release();
    state.current = module.Get();
    state.loaded.Reset(module.Release());
    return state.current;
}

BOOL LanguageResource::Release() {
    Languages& state = State();
    state.current = NULL;
    return state.loaded.Close();
}

HMODULE LanguageResource::GetModule() {
    return State().current;
}

BOOL LanguageResource::GetInfo(DWORD id, LanguageInfo* info) {
    std::map<DWORD, LanguageInfo>::const_iterator it = State().list.find(id);
    if (it == State().list.end()) return FALSE;
    *info = it->second;
    return TRUE;
}

BOOL LanguageResource::GetFirst(LanguageInfo* info) {
    m_position = State().list.begin();
    if (m_position == State().list.end()) return FALSE;
    *info = m_position->second;
    return TRUE;
}

BOOL LanguageResource::GetNext(LanguageInfo* info) {
    if (m_position == State().list.end()) return FALSE;
    ++m_position;
    if (m_position == State().list.end()) return FALSE;
    *info = m_position->second;
    return TRUE;
}

BOOL LanguageResource::GetVersionString(const char* file, const char* key, char* buffer, UINT size) {
    if (buffer == NULL || size == 0) return FALSE;
    DWORD handle = 0;
    DWORD blockSize = GetFileVersionInfoSizeA(file, &handle);
    if (blockSize == 0) return FALSE;
    std::vector<BYTE> block(blockSize);
    if (!GetFileVersionInfoA(file, 0, blockSize, block.data())) return FALSE;
    WORD* translation = NULL;
    UINT translationSize = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &translationSize) ||
        translationSize < 2 * sizeof(WORD)) {
        return FALSE;
    }
    char query[128];
    snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], key);
    char* value = NULL;
    UINT valueSize = 0;
    if (!VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&value), &valueSize) || value == NULL) {
        return FALSE;
    }
    snprintf(buffer, size, "%s", value);
    return TRUE;
}
