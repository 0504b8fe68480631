#ifndef FRAMEWORK_LANGUAGERESOURCE_H
#define FRAMEWORK_LANGUAGERESOURCE_H

#include "framework/LanguageInfo.h"

#include <map>

// The languages found in the program's folder and the one selected. The list
// and the selected module are process-wide; objects are cheap locals that
// share them, each with its own position for GetFirst/GetNext.
// User-interface thread only.
class LanguageResource {
public:
    LanguageResource();
    virtual ~LanguageResource();

    // Rebuilds the list from the program's own resources and the valid
    // modules "*.dll" beside it; returns the number of languages found.
    virtual int Enumerate(HINSTANCE instance);
    // Makes a listed language current; returns its module (the program's
    // instance for the program's own language), 0 on failure.
    virtual HMODULE Select(DWORD id);
    // Frees a loaded module; 1 when one was freed.
    virtual BOOL Release();
    // The module to take texts and templates from; 0 = the program.
    virtual HMODULE GetModule();
    virtual BOOL GetInfo(DWORD id, LanguageInfo* info);
    virtual BOOL GetFirst(LanguageInfo* info);
    virtual BOOL GetNext(LanguageInfo* info);
    // A string value of a file's version block, from its first translation.
    virtual BOOL GetVersionString(const char* file, const char* key, char* buffer, UINT size);

    static const char kSignature[];
    static const char kModuleProductName[];
    // Language ids double as menu command ids: modules outside this range are refused.
    static constexpr DWORD kFirstId = 0x8200;
    static constexpr DWORD kLastId = 0x82FF;

private:
    LanguageResource(const LanguageResource&) = delete;
    LanguageResource& operator=(const LanguageResource&) = delete;

    BOOL ReadEntry(HMODULE module, const char* fileName, LanguageInfo* info);

    std::map<DWORD, LanguageInfo>::const_iterator m_position;
};

#endif
