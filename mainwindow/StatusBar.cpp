#include "mainwindow/StatusBar.h"

#include <commctrl.h>

StatusBar::StatusBar() : m_instance(NULL), m_parent(NULL) {}

StatusBar::~StatusBar() {}

HWND StatusBar::Create(HINSTANCE instance, HWND parent) {
    if (GetHwnd() != NULL) return GetHwnd();
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    m_instance = instance;
    m_parent = parent;
    const DWORD style =
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | SBARS_SIZEGRIP | CCS_BOTTOM;
    HWND hwnd = CreateStatusWindowA(style, "", parent, kControlId);
    if (hwnd == NULL) return NULL;
    SetHwnd(hwnd);
    if (!Subclass()) {
        DWORD error = GetLastError();
        DestroyWindow(hwnd);
        SetHwnd(NULL);
        SetLastError(error);
        return NULL;
    }
    return hwnd;
}

int StatusBar::GetHeight() {
    HWND hwnd = GetHwnd();
    if (hwnd == NULL || !IsWindowVisible(hwnd)) return 0;
    RECT rect;
    if (!GetWindowRect(hwnd, &rect)) return 0;
    return rect.bottom - rect.top;
}

void StatusBar::Show(int showCommand) {
    if (GetHwnd() != NULL) ShowWindow(GetHwnd(), showCommand);
}
