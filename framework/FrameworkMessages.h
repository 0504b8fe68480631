#ifndef FRAMEWORK_FRAMEWORKMESSAGES_H
#define FRAMEWORK_FRAMEWORKMESSAGES_H

#include <windows.h>

// Messages and notifications of the framework's own controls.

// Enter, Escape or Tab for an in-place editor: the thread's message hook
// renumbers the key message so that neither the edit control nor a dialog
// sees the key. wParam = VK_RETURN, VK_ESCAPE or VK_TAB.
const UINT WM_TRANSIENTEDIT_KEY = 0x1400;

// WM_NOTIFY code of an in-place editor that closed with its text accepted;
// the notification is a TransientEditEnd.
const UINT NM_TRANSIENTEDIT_END = 1;

// Control id of the in-place editor.
const UINT kTransientEditId = 65535;

// The accepted text; valid only while the notification is handled.
struct TransientEditEnd {
    NMHDR header;
    const char* text;
};

#endif
