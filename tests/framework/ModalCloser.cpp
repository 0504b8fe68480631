#include "tests/framework/ModalCloser.h"

namespace {

thread_local ModalCloser* t_closer = nullptr;

}  // namespace

ModalCloser::ModalCloser(WORD commandId) : m_commandId(commandId) {
    t_closer = this;
    m_timer = SetTimer(NULL, 0, 20, &ModalCloser::OnTimer);
}

ModalCloser::~ModalCloser() {
    KillTimer(NULL, m_timer);
    t_closer = nullptr;
}

BOOL CALLBACK ModalCloser::FindBox(HWND hwnd, LPARAM param) {
    char name[16];
    GetClassNameA(hwnd, name, sizeof name);
    if (strcmp(name, "#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
}

BOOL CALLBACK ModalCloser::CollectText(HWND hwnd, LPARAM param) {
    char text[2048];
    if (GetWindowTextA(hwnd, text, sizeof text) > 0) {
        std::string* texts = reinterpret_cast<std::string*>(param);
        *texts += text;
        *texts += "\n";
    }
    return TRUE;
}

void CALLBACK ModalCloser::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    ModalCloser* self = t_closer;
    if (self == nullptr || self->box != NULL) return;
    HWND found = NULL;
    EnumThreadWindows(GetCurrentThreadId(), &ModalCloser::FindBox, reinterpret_cast<LPARAM>(&found));
    if (found == NULL) return;
    self->box = found;
    self->owner = GetWindow(found, GW_OWNER);
    char text[512];
    GetWindowTextA(found, text, sizeof text);
    self->caption = text;
    EnumChildWindows(found, &ModalCloser::CollectText, reinterpret_cast<LPARAM>(&self->texts));
    PostMessageA(found, WM_COMMAND, self->m_commandId, 0);
}
