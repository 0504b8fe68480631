#ifndef FRAMEWORK_OWNEDMODULE_H
#define FRAMEWORK_OWNEDMODULE_H

#include "framework/HandleOwner.h"

struct ModuleRelease {
    typedef HMODULE Handle;
    static BOOL Free(HMODULE module) { return FreeLibrary(module); }
};

// A loaded library (LoadLibrary, LoadLibraryEx), freed once when the owner
// goes or is reset.
class OwnedModule : public HandleOwner<ModuleRelease> {
public:
    OwnedModule() {}
    explicit OwnedModule(HMODULE module) : HandleOwner(module) {}
    // Loads a library by name for the owner's lifetime.
    explicit OwnedModule(const char* name) : HandleOwner(LoadLibraryA(name)) {}
};

#endif
