#ifndef FRAMEWORK_LANGUAGEINFO_H
#define FRAMEWORK_LANGUAGEINFO_H

#include <windows.h>

// One language: the program's own resources or a language module.
// Copied whole in and out of the language list.
struct LanguageInfo {
    char fileName[32];     // without folder
    DWORD id;              // the list key, from string 4 (hexadecimal)
    char name[32];         // display name, string 2
    char helpFile[32];     // string 3
    char statusText[256];  // one-line description, string 5
};

#endif
