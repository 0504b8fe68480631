#ifndef FRAMEWORK_TOOLBARITEM_H
#define FRAMEWORK_TOOLBARITEM_H

#include <windows.h>

// One entry of a tool strip's item table. Before the strip is built,
// `control` of a combo box points to its {width, height} in pixels (the
// height includes the dropped list); afterwards it is the control object
// (buttons, combo boxes) or the separator's window handle.
struct ToolBarItem {
    int glyph;    // index in the glyph strip
    UINT id;      // control id
    BYTE state;   // initial state bits of a button (ImageButton::kEnabled ...)
    BYTE kind;    // one of the ToolItemKind values
    void* control;
};

enum ToolItemKind {
    kToolPushButton = 0,
    kToolCheckButton = 1,
    kToolRadioButton = 2,
    kToolDropDownList = 3,
    kToolDropDownCombo = 4,
    kToolSeparator = 5,
};

// What the strip's controls tell their panel with WM_NOTIFY (wParam = the
// control id, lParam = an NMHDR naming the control).
const UINT NM_TOOLITEM_CLICK = 0;      // an enabled button released with the mouse over it
const UINT NM_TOOLITEM_HOVER = 0x400;  // the mouse entered a button or a combo box
const UINT NM_TOOLITEM_LEAVE = 0x401;  // the mouse left it

// Sends one of the codes above from control to its parent.
LRESULT SendToolItemNotify(HWND control, UINT code);

#endif
