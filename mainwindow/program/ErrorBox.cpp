#include "mainwindow/program/ErrorBox.h"

#include "framework/ErrorCodes.h"

#include <cstdio>
#include <cstring>

const char ErrorBox::kCaption[] = "TIV Configurator";

namespace {

const DWORD kOwnCodeBit = 0x20000000UL;

}  // namespace

BOOL ErrorBox::Format(DWORD code, char* text, size_t size) {
    if (text == NULL || size == 0) return FALSE;
    text[0] = '\0';
    if (code == kErrorOtherInstance) return FALSE;
    if ((code & kOwnCodeBit) != 0) {
        snprintf(text, size, "Error %08lx", static_cast<unsigned long>(code));
        return TRUE;
    }
    DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, static_cast<DWORD>(size), NULL);
    if (length == 0) {
        // A code the system has no text for still tells the user something.
        snprintf(text, size, "Error %08lx", static_cast<unsigned long>(code));
    }
    return TRUE;
}

void ErrorBox::ShowLastError() {
    DWORD code = GetLastError();
    char text[1024];
    if (!Format(code, text, sizeof text)) return;
    MessageBoxA(NULL, text, kCaption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
}
