#ifndef TESTS_PRIVATEDESKTOP_H
#define TESTS_PRIVATEDESKTOP_H

#include <windows.h>

#include <string>

// A desktop of the test process's own. The test programs run side by side on
// one screen, where every window shown takes the foreground and the focus
// from the others, and where a search by window class finds the windows of
// every process. On a desktop of its own a test keeps its foreground and its
// focus, and its searches find its own windows only.
//
// A thread moves there only while it has no window and no hook yet; threads
// started later, and processes started without Name() in their start-up
// information, stay on the shared desktop.
class PrivateDesktop {
public:
    // Moves the calling thread; false when it stays on the shared desktop.
    static bool Enter() {
        HDESK desktop = Instance().m_desktop;
        if (desktop == NULL) return false;
        return GetThreadDesktop(GetCurrentThreadId()) == desktop || SetThreadDesktop(desktop);
    }
    // The name for STARTUPINFO::lpDesktop.
    static const char* Name() { return Instance().m_name.c_str(); }

private:
    PrivateDesktop()
        : m_name("tivtest-" + std::to_string(GetCurrentProcessId())),
          m_desktop(CreateDesktopA(m_name.c_str(), NULL, NULL, 0, GENERIC_ALL, NULL)) {}
    ~PrivateDesktop() {
        if (m_desktop != NULL) CloseDesktop(m_desktop);
    }
    PrivateDesktop(const PrivateDesktop&) = delete;
    PrivateDesktop& operator=(const PrivateDesktop&) = delete;

    static PrivateDesktop& Instance() {
        static PrivateDesktop desktop;
        return desktop;
    }

    std::string m_name;
    HDESK m_desktop;
};

#endif
