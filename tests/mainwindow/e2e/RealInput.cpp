#include "tests/mainwindow/e2e/RealInput.h"

#include <cstdio>

namespace {

const DWORD kTimeoutMs = 10000;

}  // namespace

// Wine starts a host program without a process or thread handle (what it
// leaves in the process information is not one and must not be closed): the
// program touches a file of its own once xdotool has ended, and the file is
// waited for.
bool RealInput::Xdotool(const std::string& arguments) {
    static int calls = 0;
    char marker[64];
    snprintf(marker, sizeof marker, "/tmp/tiv-xdotool-%lu-%d", GetCurrentProcessId(), ++calls);
    const std::string windowsMarker = std::string("Z:") + marker;
    DeleteFileA(windowsMarker.c_str());
    std::string command = "/bin/sh -c \"xdotool " + arguments + "; touch " + marker + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) return false;
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(windowsMarker.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start >= kTimeoutMs) return false;
        Sleep(20);
    }
    DeleteFileA(windowsMarker.c_str());
    return true;
}

std::string RealInput::At(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return std::to_string((r.left + r.right) / 2) + " " + std::to_string((r.top + r.bottom) / 2);
}
