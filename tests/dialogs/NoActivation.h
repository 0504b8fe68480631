#ifndef TESTS_DIALOGS_NOACTIVATION_H
#define TESTS_DIALOGS_NOACTIVATION_H

#include <windows.h>

// While it lives, no window of the calling thread is activated: dialog tests
// run beside end-to-end tests that read the foreground window and the
// screen, and must neither take the foreground nor wait for another
// process's windows to hand it over.
class NoActivation {
public:
    NoActivation() : m_hook(SetWindowsHookExA(WH_CBT, &Refuse, NULL, GetCurrentThreadId())) {}
    ~NoActivation() {
        if (m_hook != NULL) UnhookWindowsHookEx(m_hook);
    }

private:
    NoActivation(const NoActivation&) = delete;
    NoActivation& operator=(const NoActivation&) = delete;

    static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE) return 1;
        return CallNextHookEx(NULL, code, wParam, lParam);
    }

    HHOOK m_hook;
};

#endif
