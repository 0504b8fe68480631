#ifndef TESTS_MAINWINDOW_E2E_REALINPUT_H
#define TESTS_MAINWINDOW_E2E_REALINPUT_H

#include <windows.h>

#include <string>

// Keys and mouse as a user gives them: xdotool on the X screen the program
// shows on, so that every event comes through the X server, the window
// manager and Wine's input queue, focus and activation included. Needs a
// screen of the test's own (scripts/on-screen); each call returns once
// xdotool has sent its events.
class RealInput {
public:
    // Key names as xdotool takes them: "ctrl+w", "Return", "Tab", "F5".
    static bool Keys(const std::string& keys);
    static bool Type(const std::string& text);
    // The pointer to a point of a window's client area, in steps along the
    // way from where it is, as a hand moves it; once the X server shows the
    // window where Wine has it. A window just shown may still be being placed
    // by the window manager, and Wine learns its place a moment later.
    static bool MoveTo(HWND window, POINT client);
    // The window's client area at its centre.
    static bool MoveToCentre(HWND window);
    // A left click at a point of a window's client area; the centre when
    // no point is given.
    static bool Click(HWND window);
    static bool Click(HWND window, POINT client);
    // One wheel step where the pointer is: forward (away from the user) or back.
    static bool Wheel(bool forward);
    // Whether keys typed now reach the window: the X server gives the
    // keyboard to its top-level window and Wine has that one in the
    // foreground. Either may lag behind the other.
    static bool HasKeyboard(HWND window);
    // Any xdotool command line ("mousemove 10 20 click 1 click 1"), sent in
    // one go: the events follow each other however slowly the program answers.
    static bool Xdotool(const std::string& arguments) { return Run(arguments); }
    // The screen point at the centre of a window, as xdotool arguments.
    static std::string At(HWND window);

private:
    static bool Run(const std::string& arguments, std::string* output = NULL);
    static bool RunShell(const std::string& command, std::string* output);
    static bool ShownWhereWineHasIt(HWND window);
};

#endif
