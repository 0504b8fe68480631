#ifndef TESTS_MAINWINDOW_E2E_PROGRAMDRIVER_H
#define TESTS_MAINWINDOW_E2E_PROGRAMDRIVER_H

#include <windows.h>

#include <string>

#include "tests/mainwindow/e2e/ProgramRun.h"

// Drives a running copy of the program from outside, as a user does: menu
// commands and keys posted to its main window, mouse drags sent to its view,
// its dialogs, file dialogs and message boxes found by their texts and
// answered. Every wait is bounded and polls: the windows of another process
// give nothing else to wait on.
class ProgramDriver {
public:
    static const DWORD kTimeoutMs = 30000;

    explicit ProgramDriver(ProgramRun& program) : m_program(program), m_window(NULL) {}

    // Starts the program (again, once the last copy has ended) and waits for
    // its main window; false when none shows. The first start gives the view
    // a known mapping (20 mm per pixel) in the settings.
    bool Start(const char* switches = "");
    HWND Window() const { return m_window; }

    // A menu command, as a click on its item.
    void Command(WORD id) const;
    // A key pressed and released over the main window (accelerators).
    void Key(UINT virtualKey) const;

    // A visible dialog of the program whose caption or control texts hold
    // text; 0 when none shows in time.
    HWND WaitForDialog(const std::string& text, DWORD timeoutMs = kTimeoutMs) const;
    // Waits for the box or dialog holding text, presses button and waits
    // until it has gone; false when it did not show or stay gone.
    bool Answer(const std::string& text, int button, DWORD timeoutMs = kTimeoutMs) const;
    // Waits for the file dialog that offers filter, types path and presses
    // its OK button; true once the dialog has gone.
    bool ChooseFile(const std::string& filter, const std::string& path) const;

    static void Press(HWND dialog, int button);
    static void SetText(HWND dialog, int control, const std::string& text);
    // Types text into a dialog's edit, marked as typed as keys leave it, and
    // leaves the edit as Tab does; true once the edit shows shown.
    static bool Type(HWND dialog, int control, const std::string& text, const std::string& shown);
    static std::string Text(HWND dialog, int control);
    // The caption and every control's text, one per line.
    static std::string Texts(HWND dialog);
    static bool WaitGone(HWND window, DWORD timeoutMs = kTimeoutMs);

    // The port, link level and device type (0, 1, 2 for the rates, 255 for
    // automatic recognition) the status bar's port pane shows.
    int PanePort() const;
    int PaneLevel() const;
    int PaneDeviceType() const;
    bool WaitForPane(int port, int level, DWORD timeoutMs = kTimeoutMs) const;

    // The view's client pixel that shows a plan point (millimetres) under the
    // mapping the first start gave the view.
    static POINT ViewPixel(int x, int y);
    HWND View() const;

    // Drags with the left button in the view from one plan point to another
    // (millimetres), with the keys (MK_SHIFT) held, under the mapping the
    // first start gave the view.
    void Drag(int fromX, int fromY, int toX, int toY, WPARAM keys) const;

    // Closes the main window, answers No to every unsaved-data question, and
    // returns the exit code (STILL_ACTIVE when it did not end).
    DWORD Close() const;

private:
    ProgramRun& m_program;
    HWND m_window;
};

// A Linux path as the program under Wine sees it, on drive Z:.
std::string WindowsPath(const std::string& linuxPath);

#endif
