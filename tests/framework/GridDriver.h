#ifndef TESTS_FRAMEWORK_GRIDDRIVER_H
#define TESTS_FRAMEWORK_GRIDDRIVER_H

#include <windows.h>

#include <string>

#include "framework/GridCells.h"
#include "framework/TIVDataGrid.h"

// Drives a data grid as a user would, for tests: mouse messages at cells
// (columns of 50 pixels, the table unscrolled) and keys posted to the
// in-place editor, which pass its message hook when they are pumped.

// Handles what waits in this thread's queue; a dialog's keys go through
// its dialog-message processing as in the program's main loop.
inline void PumpQueued(HWND dialog = NULL) {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (dialog != NULL && IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

inline std::string GridText(TIVDataGrid& grid, int row, int col) {
    char text[256];
    return grid.GetCellText(row, col, text, sizeof text);
}

inline LPARAM GridPoint(int row, int col) {
    return MAKELPARAM(col * 50 + 25, row * GridCells::kRowHeight + GridCells::kRowHeight / 2);
}

inline void ClickGrid(TIVDataGrid& grid, LPARAM point) {
    grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, point);
    grid.SendMessage(WM_LBUTTONUP, 0, point);
}

// A first click selects the cell, a second opens its editor: at once, or
// once the double-click time has passed where the grid waits for one.
inline HWND OpenGridEditor(TIVDataGrid& grid, int row, int col) {
    ClickGrid(grid, GridPoint(row, col));
    ClickGrid(grid, GridPoint(row, col));
    const DWORD start = GetTickCount(), limit = GetDoubleClickTime() + 500;
    for (DWORD elapsed = 0; grid.GetEditorHwnd() == NULL && elapsed < limit; elapsed = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, limit - elapsed, QS_ALLINPUT);
        PumpQueued();
    }
    return grid.GetEditorHwnd();
}

inline void PostKey(HWND target, WPARAM key, HWND dialog = NULL) {
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PumpQueued(dialog);
}

// Types text over the cell's text and ends the edit with the key.
inline bool EditGridCell(TIVDataGrid& grid, int row, int col, const char* text, WPARAM key, HWND dialog = NULL) {
    HWND editor = OpenGridEditor(grid, row, col);
    if (editor == NULL) return false;
    SendMessageA(editor, EM_SETSEL, 0, -1);
    SendMessageA(editor, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
    PostKey(editor, key, dialog);
    return !IsWindow(editor);
}

#endif
