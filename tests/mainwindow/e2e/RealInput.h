#ifndef TESTS_MAINWINDOW_E2E_REALINPUT_H
#define TESTS_MAINWINDOW_E2E_REALINPUT_H

#include <windows.h>

#include <string>

// Real keys and mouse clicks: xdotool, a program of the host, makes the X
// server deliver them to whatever window is under the pointer or has the
// focus, as a user's hand does. Run it on a screen of its own
// (add_on_screen_test): it moves the one pointer of its screen.
class RealInput {
public:
    // Runs xdotool with the arguments ("mousemove 10 20 click 1") and waits,
    // bounded, until it has sent them; false when it did not end in time.
    static bool Xdotool(const std::string& arguments);
    // The screen point at the centre of a window, as xdotool arguments.
    static std::string At(HWND window);
};

#endif
