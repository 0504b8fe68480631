#ifndef TESTS_FRAMEWORK_STANDINWINDOW_H
#define TESTS_FRAMEWORK_STANDINWINDOW_H

#include "framework/ChildWindow.h"

// Creates a small hidden top-level window of its own class for a test's
// stand-in object, so the messages it receives reach the object's map.
inline HWND CreateStandInWindow(ChildWindow* window, const char* className) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &ChildWindow::WindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    CREATESTRUCTA cs = {};
    cs.lpszClass = wc.lpszClassName;
    cs.style = WS_OVERLAPPED;
    cs.cx = cs.cy = 100;
    cs.hInstance = wc.hInstance;
    return window->Create(&cs);
}

#endif
