#ifndef TESTS_DIALOGS_DIALOGDRIVER_H
#define TESTS_DIALOGS_DIALOGDRIVER_H

#include <windows.h>

#include <string>

// Drives a dialog's controls as the user would, through the notifications
// the dialog receives, without taking the focus or the foreground.

inline void Notify(HWND dialog, int id, WORD code) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

inline void Press(HWND dialog, int id) {
    Notify(dialog, id, BN_CLICKED);
}

// A check box (or a push-like one) clicked into the given state.
inline void Tick(HWND dialog, int id, bool ticked) {
    CheckDlgButton(dialog, id, ticked ? BST_CHECKED : BST_UNCHECKED);
    Notify(dialog, id, BN_CLICKED);
}

inline bool Ticked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

inline bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// A drop-down list's item chosen.
inline void Choose(HWND dialog, int id, int index) {
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Notify(dialog, id, CBN_SELCHANGE);
}

inline int Selected(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

inline std::string ItemText(HWND dialog, int id, int index) {
    char text[256] = "";
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

#endif
