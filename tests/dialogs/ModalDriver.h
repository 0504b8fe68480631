#ifndef TESTS_DIALOGS_MODALDRIVER_H
#define TESTS_DIALOGS_MODALDRIVER_H

#include <windows.h>

#include <functional>

#include "framework/DialogWindow.h"
#include "tests/dialogs/ShotHandOver.h"

// Drives a modal dialog from inside its own modal loop: a thread timer, which
// that loop dispatches, runs the script once the dialog's window exists. A
// dialog still open 20 s after the script is ended, and counted as such.
// A script may run another dialog's script inside it.
class ModalDriver {
public:
    // Runs open (which shows the dialog modally and returns when it ends)
    // with the script inside it; true when the dialog ended by itself.
    static bool Run(DialogWindow& dialog, const std::function<void(HWND)>& script,
                    const std::function<void()>& open) {
        const State outer = Current();
        Current() = State{&dialog, script, false, false, 0};
        UINT_PTR timer = SetTimer(NULL, 0, 10, &ModalDriver::OnTimer);
        open();
        KillTimer(NULL, timer);
        const bool ended = !Current().forced;
        Current() = outer;
        return ended;
    }

    // Handles this thread's messages until done holds or the limit passes.
    static bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = kLimitMs) {
        return ShotHandOver::Pump(done, limitMs);
    }

private:
    static const DWORD kLimitMs = 20000;

    struct State {
        DialogWindow* dialog;
        std::function<void(HWND)> script;
        bool ran;
        bool forced;
        DWORD ranAt;
    };
    static State& Current() {
        static State state;
        return state;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        State& state = Current();
        HWND hwnd = state.dialog != NULL ? state.dialog->GetHwnd() : NULL;
        if (hwnd == NULL) return;
        if (!state.ran) {
            // A timer due at once comes before the modal loop's first idle,
            // where it would show the dialog.
            ShowWindow(hwnd, SW_SHOWNORMAL);
            UpdateWindow(hwnd);
            state.ran = true;
            state.ranAt = GetTickCount();  // the script may pump this timer itself
            state.script(hwnd);
            state.ranAt = GetTickCount();
        } else if (GetTickCount() - state.ranAt > kLimitMs) {
            state.forced = true;
            EndDialog(hwnd, 0);
        }
    }
};

#endif
