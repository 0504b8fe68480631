#ifndef FRAMEWORK_OWNEDMODULE_H
#define FRAMEWORK_OWNEDMODULE_H

#include <windows.h>

// Loads a library for the owner's lifetime and frees it once.
class OwnedModule {
public:
    explicit OwnedModule(const char* name) : m_module(LoadLibraryA(name)) {}
    ~OwnedModule() {
        if (m_module == NULL) return;
        DWORD saved = GetLastError();
        FreeLibrary(m_module);
        SetLastError(saved);
    }

    HMODULE Get() const { return m_module; }
    bool Valid() const { return m_module != NULL; }

private:
    OwnedModule(const OwnedModule&) = delete;
    OwnedModule& operator=(const OwnedModule&) = delete;

    HMODULE m_module;
};

#endif
