#ifndef TESTS_FRAMEWORK_USERINPUT_H
#define TESTS_FRAMEWORK_USERINPUT_H

#include <windows.h>

#include <initializer_list>
#include <vector>

// Input as a user gives it: through the system's input queue (SendInput), so
// that the system turns it into messages as it does for a real mouse and
// keyboard (double clicks for classes that ask for them, accelerators, the
// window under the cursor or with the focus). Run such tests on a screen of
// their own (add_on_screen_test): the input goes to whatever window is there.

// Clicks the left button count times at a screen point, as fast as a
// double click.
inline bool ClickAt(POINT screen, int count = 1) {
    if (!SetCursorPos(screen.x, screen.y)) return false;
    std::vector<INPUT> inputs;
    for (int i = 0; i < count; ++i) {
        for (DWORD flag : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
            INPUT input = {};
            input.type = INPUT_MOUSE;
            input.mi.dwFlags = flag;
            inputs.push_back(input);
        }
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

// A client point of a window on the screen.
inline POINT ScreenPoint(HWND window, int x, int y) {
    POINT point = {x, y};
    ClientToScreen(window, &point);
    return point;
}

// Presses the keys in order and releases them in reverse: {VK_CONTROL, 'R'}.
inline bool PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, 0));
        inputs.push_back(input);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--it;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(*it, 0));
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

#endif
