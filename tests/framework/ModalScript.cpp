#include "tests/framework/ModalScript.h"

#include <dlgs.h>

#include <cstring>

namespace {

thread_local ModalScript* t_script = nullptr;
const int kAsideX = 900;
const int kAsideY = 700;

}  // namespace

ModalScript::ModalScript(const std::vector<Step>& steps) : m_steps(steps), m_next(0) {
    for (HWND open : VisibleDialogs()) m_known.insert(open);
    t_script = this;
    m_timer = SetTimer(NULL, 0, 20, &ModalScript::OnTimer);
}

ModalScript::~ModalScript() {
    KillTimer(NULL, m_timer);
    t_script = nullptr;
}

BOOL CALLBACK ModalScript::NoteVisible(HWND hwnd, LPARAM param) {
    char name[16];
    GetClassNameA(hwnd, name, sizeof name);
    if (strcmp(name, "#32770") == 0 && IsWindowVisible(hwnd))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK ModalScript::CollectText(HWND hwnd, LPARAM param) {
    char text[2048];
    if (GetWindowTextA(hwnd, text, sizeof text) > 0) {
        std::string* texts = reinterpret_cast<std::string*>(param);
        *texts += text;
        *texts += "\n";
    }
    return TRUE;
}

std::vector<HWND> ModalScript::VisibleDialogs() {
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), &ModalScript::NoteVisible, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string ModalScript::ChildTexts(HWND window) {
    std::string texts;
    EnumChildWindows(window, &ModalScript::CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

void ModalScript::Answer(HWND dialog) {
    Seen window;
    char caption[512] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    window.caption = caption;
    window.texts = ChildTexts(dialog);
    seen.push_back(window);
    // Out of the way of other tests' windows on the same screen (file
    // dialogs without an owner place themselves at its origin).
    SetWindowPos(dialog, NULL, kAsideX, kAsideY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_next >= m_steps.size()) return;
    const Step& step = m_steps[m_next++];
    if (!step.fileName.empty()) {
        // The name field is a combo box in newer dialogs, an edit in older ones.
        SetDlgItemTextA(dialog, cmb13, step.fileName.c_str());
        SetDlgItemTextA(dialog, edt1, step.fileName.c_str());
    }
    PostMessageA(dialog, WM_COMMAND, step.command, 0);
}

bool ModalScript::WaitForSeen(size_t count, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (seen.size() < count) {
        if (GetTickCount() - start >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return true;
}

void CALLBACK ModalScript::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    ModalScript* self = t_script;
    if (self == nullptr) return;
    for (HWND dialog : self->VisibleDialogs()) {
        if (!self->m_known.insert(dialog).second) continue;
        self->Answer(dialog);
        return;  // one per tick: the next may be a child of this one
    }
}
