#ifndef TESTS_FRAMEWORK_COUNTINGWINDOW_H
#define TESTS_FRAMEWORK_COUNTINGWINDOW_H

#include <windows.h>

// A message-only window of the calling thread that counts the
// kCountedMessage it is sent; for tests of threads that send to the
// user-interface thread while it waits.
class CountingWindow {
public:
    static const UINT kCountedMessage = WM_USER + 50;

    CountingWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "TestCountingWindow";
        RegisterClassA(&wc);
        m_hwnd = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, wc.hInstance, NULL);
    }
    ~CountingWindow() {
        if (m_hwnd != NULL) DestroyWindow(m_hwnd);
    }
    CountingWindow(const CountingWindow&) = delete;
    CountingWindow& operator=(const CountingWindow&) = delete;

    HWND Get() const { return m_hwnd; }
    LONG_PTR Count() const { return GetWindowLongPtrA(m_hwnd, GWLP_USERDATA); }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
        if (msg != kCountedMessage) return DefWindowProcA(hwnd, msg, w, l);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, GetWindowLongPtrA(hwnd, GWLP_USERDATA) + 1);
        return 0;
    }

    HWND m_hwnd;
};

#endif
