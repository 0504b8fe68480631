#ifndef TESTS_MAINWINDOW_E2E_PROGRAMRUN_H
#define TESTS_MAINWINDOW_E2E_PROGRAMRUN_H

#include <windows.h>

#include <string>

#include "tests/TestFiles.h"

// The built program copied into a private folder (its settings file and
// language modules live beside it), started as a process of its own and
// watched from outside: its main window, its exit code, its settings.
// The copies run on the test's private desktop, which the calling thread
// enters (it must have no window yet), or, on a screen of the test's own
// where real input reaches them, on the shared one. A copy still running at
// the end is ended.
class ProgramRun {
public:
    static const char kWindowClass[];
    static const DWORD kTimeoutMs = 30000;

    enum Desktop { kPrivateDesktop, kSharedDesktop };
    explicit ProgramRun(Desktop desktop = kPrivateDesktop);
    ~ProgramRun();

    bool Ready() const { return m_ready; }
    void WriteSetting(const char* section, const char* key, const char* value);
    std::string Settings() const;
    // The program's own string, as its built-in language has it.
    std::string ProgramString(UINT id) const;
    // Copies a file into the program's folder under name.
    bool CopyIn(const std::string& source, const char* name);

    // Starts one copy with the given switches; several copies may run.
    HANDLE Start(const char* switches);
    // Starts the program again once the first copy has ended: the new copy
    // becomes the first, in the same folder with the settings it left.
    HANDLE Restart(const char* switches);
    // The first copy's visible main window, 0 when none shows in time.
    HWND WaitForWindow(DWORD timeoutMs = kTimeoutMs);
    // The exit code of a started copy (the first by default), or
    // STILL_ACTIVE when it did not end in time.
    DWORD WaitForExit(HANDLE process = NULL, DWORD timeoutMs = kTimeoutMs);
    DWORD ProcessId() const { return m_firstId; }

private:
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    static std::string FindProgram();
    HWND FindWindowOf(DWORD processId);

    TestFolder m_folder;
    std::string m_program;  // the copy
    Desktop m_desktop;
    bool m_ready;
    HANDLE m_processes[4];
    int m_count;
    DWORD m_firstId;
};

#endif
