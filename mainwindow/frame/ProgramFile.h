#ifndef MAINWINDOW_FRAME_PROGRAMFILE_H
#define MAINWINDOW_FRAME_PROGRAMFILE_H

#include <windows.h>

#include <string>

// Where the program finds the files it ships beside itself (sounds, the
// help file): a name without a folder is taken from the program's folder,
// never from the current folder, which every file dialog changes.
class ProgramFile {
public:
    // The program's folder with its trailing backslash; "" on failure.
    static std::string Folder();
    // name with the program's folder in front when it names no folder;
    // any other path unchanged. 0 for a null name or an unknown folder.
    static BOOL PathOf(const char* name, std::string* path);
    // 1 when the name holds a drive or folder part.
    static BOOL HasFolder(const char* name);
};

#endif
