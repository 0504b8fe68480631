#ifndef MAINWINDOW_PROGRAM_ERRORBOX_H
#define MAINWINDOW_PROGRAM_ERRORBOX_H

#include <windows.h>

// The box that reports a failed start or run: the system's text for a
// system code, "Error %08x" for a code of the program's own (bit 29 set),
// nothing for "another instance runs".
class ErrorBox {
public:
    static const char kCaption[];

    // The text for a code; 0 when the code is shown as nothing.
    static BOOL Format(DWORD code, char* text, size_t size);
    // Shows the calling thread's last error, without owner, task-modal.
    static void ShowLastError();
};

#endif
