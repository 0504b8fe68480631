#ifndef MAINWINDOW_PRINT_PRINTCONTROLS_H
#define MAINWINDOW_PRINT_PRINTCONTROLS_H

#include <windows.h>

// Where the print view finds the printer and the zoom the user chose: the
// print band's combo boxes, by control id. The tool bands implement it.
// User-interface thread only.
class PrintControls {
public:
    virtual ~PrintControls() {}
    // What the control answers; 0 when no band holds it.
    virtual LRESULT SendItemMessage(UINT id, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    // The control's window; 0 when no band holds it.
    virtual HWND GetItemWindow(UINT id) = 0;
};

#endif
