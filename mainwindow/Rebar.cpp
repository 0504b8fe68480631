#include "mainwindow/Rebar.h"

#include <commctrl.h>

const char Rebar::kSection[] = "Rebar";

Rebar::Rebar() : m_hwnd(NULL), m_instance(NULL), m_parent(NULL) {}

Rebar::~Rebar() {
    Destroy();
}

HWND Rebar::Create(HINSTANCE instance, HWND parent) {
    if (m_hwnd != NULL) return m_hwnd;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_COOL_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    m_instance = instance;
    m_parent = parent;
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                        RBS_BANDBORDERS | CCS_NODIVIDER;
    m_hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, NULL, style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)), instance, NULL);
    return m_hwnd;
}

BOOL Rebar::Destroy() {
    if (m_hwnd == NULL) return FALSE;
    BOOL ok = IsWindow(m_hwnd) ? DestroyWindow(m_hwnd) : FALSE;
    m_hwnd = NULL;
    return ok;
}

HWND Rebar::GetHwnd() {
    return m_hwnd;
}

void Rebar::Resize(int width) {
    if (m_hwnd == NULL) return;
    // The rebar sizes itself to its bands' height at the top of the parent.
    SetWindowPos(m_hwnd, NULL, 0, 0, width, GetHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
}

int Rebar::GetHeight() {
    if (m_hwnd == NULL || !IsWindowVisible(m_hwnd)) return 0;
    return static_cast<int>(SendMessageA(m_hwnd, RB_GETBARHEIGHT, 0, 0));
}

void Rebar::Show(int showCommand) {
    if (m_hwnd != NULL) ShowWindow(m_hwnd, showCommand);
}

BOOL Rebar::IsShown() {
    return m_hwnd != NULL && IsWindowVisible(m_hwnd);
}
