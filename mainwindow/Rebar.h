#ifndef MAINWINDOW_REBAR_H
#define MAINWINDOW_REBAR_H

#include <windows.h>

// The main window's tool bar: a common-controls rebar with the control id
// 2001 that holds the tool bands. Created by the application, its window by
// the frame. User-interface thread only.
class Rebar {
public:
    static const int kControlId = 2001;
    static const char kSection[];  // settings of the band layout

    Rebar();
    virtual ~Rebar();

    // The rebar window, 0 on failure.
    virtual HWND Create(HINSTANCE instance, HWND parent);
    virtual BOOL Destroy();
    virtual HWND GetHwnd();
    // Follows the frame's new client width.
    virtual void Resize(int width);
    // The window's height while it is visible, else 0.
    virtual int GetHeight();
    virtual void Show(int showCommand);
    virtual BOOL IsShown();

private:
    Rebar(const Rebar&) = delete;
    Rebar& operator=(const Rebar&) = delete;

    HWND m_hwnd;
    HINSTANCE m_instance;
    HWND m_parent;
};

#endif
