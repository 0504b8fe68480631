#ifndef MAINWINDOW_STATUSBAR_H
#define MAINWINDOW_STATUSBAR_H

#include "framework/ChildWindow.h"

// The main window's status line: a common-controls status window with the
// control id 2002, subclassed so its messages reach this object.
// User-interface thread only.
class StatusBar : public ChildWindow {
public:
    static const int kControlId = 2002;

    StatusBar();
    ~StatusBar() override;

    // The status window, 0 on failure.
    virtual HWND Create(HINSTANCE instance, HWND parent);
    // The window's height while it is visible, else 0.
    virtual int GetHeight();
    virtual void Show(int showCommand);

private:
    HINSTANCE m_instance;
    HWND m_parent;
};

#endif
