#ifndef TESTS_DIALOGS_DIALOGSCRIPT_H
#define TESTS_DIALOGS_DIALOGSCRIPT_H

#include <windows.h>

#include <cstring>
#include <functional>
#include <vector>

// Drives the modal dialogs of this thread from a thread timer, which their
// modal loops dispatch: each step waits for an enabled dialog with its
// caption and acts on it once.
class DialogScript {
public:
    struct Step {
        const char* caption;
        std::function<void(HWND)> action;
    };
    explicit DialogScript(std::vector<Step> steps) : m_steps(steps), m_next(0) {
        Current() = this;
        m_timer = SetTimer(NULL, 0, 20, &DialogScript::OnTimer);
    }
    ~DialogScript() {
        KillTimer(NULL, m_timer);
        Current() = nullptr;
    }
    bool Finished() const { return m_next == m_steps.size(); }

    // A button pressed as a click reports it.
    static void Press(HWND dialog, int id) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    // 20 chosen in the font chooser's size box, then OK.
    static void ConfirmFontSize20(HWND font) {
        HWND size = GetDlgItem(font, 0x472);
        LRESULT item = SendMessageA(size, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("20"));
        SendMessageA(size, CB_SETCURSEL, item, 0);
        SendMessageA(font, WM_COMMAND, MAKEWPARAM(0x472, CBN_SELCHANGE), reinterpret_cast<LPARAM>(size));
        Press(font, IDOK);
    }

private:
    struct Search {
        const char* caption;
        HWND found;
    };
    static DialogScript*& Current() {
        static thread_local DialogScript* script = nullptr;
        return script;
    }
    static BOOL CALLBACK Find(HWND hwnd, LPARAM param) {
        Search* search = reinterpret_cast<Search*>(param);
        char name[16], caption[128];
        GetClassNameA(hwnd, name, sizeof name);
        GetWindowTextA(hwnd, caption, sizeof caption);
        if (strcmp(name, "#32770") != 0 || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
        if (strcmp(caption, search->caption) != 0) return TRUE;
        search->found = hwnd;
        return FALSE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        DialogScript* self = Current();
        if (self == nullptr || self->Finished()) return;
        Search search = {self->m_steps[self->m_next].caption, NULL};
        EnumThreadWindows(GetCurrentThreadId(), &DialogScript::Find, reinterpret_cast<LPARAM>(&search));
        if (search.found == NULL) return;
        // The step may open a nested modal loop: count it done first.
        const Step& step = self->m_steps[self->m_next++];
        step.action(search.found);
    }

    std::vector<Step> m_steps;
    size_t m_next;
    UINT_PTR m_timer;
};

#endif
