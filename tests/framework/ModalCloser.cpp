#include "tests/framework/ModalCloser.h"

#include "tests/framework/ModalScript.h"

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

void CALLBACK ModalCloser::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    ModalCloser* self = t_closer;
    if (self == nullptr || self->box != NULL) return;
    std::vector<HWND> open = ModalScript::VisibleDialogs();
    if (open.empty()) return;
    HWND found = open.front();
    self->box = found;
    self->owner = GetWindow(found, GW_OWNER);
    char text[512];
    GetWindowTextA(found, text, sizeof text);
    self->caption = text;
    self->texts = ModalScript::ChildTexts(found);
    PostMessageA(found, WM_COMMAND, self->m_commandId, 0);
}
