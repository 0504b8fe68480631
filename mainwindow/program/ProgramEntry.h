#ifndef MAINWINDOW_PROGRAM_PROGRAMENTRY_H
#define MAINWINDOW_PROGRAM_PROGRAMENTRY_H

#include <windows.h>

// The program's start and end: the settings file, the language list, the
// one application object and its message loop. Returns the exit code: 1
// after a normal close, 0 after a failure, which it reports in a box.
int ProgramEntry(HINSTANCE instance, LPSTR commandLine, int showCommand);

#endif
