#include "tests/framework/ModalCloser.h"

#include "tests/framework/ModalScript.h"

namespace {

thread_local ModalCloser* t_closer = nullptr;

}  // namespace

ModalCloser::ModalCloser(WORD commandId) : m_commandId(commandId) {
    for (HWND open : ModalScript::VisibleDialogs()) m_known.insert(open);
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
    HWND found = NULL;
    for (HWND open : ModalScript::VisibleDialogs()) {
        if (self->m_known.count(open) == 0) {
            found = open;
            break;
        }
    }
    // Not shown yet: a dialog that was open before is no answer.
    if (found == NULL) return;
    self->box = found;
    self->owner = GetWindow(found, GW_OWNER);
    char text[512];
    GetWindowTextA(found, text, sizeof text);
    self->caption = text;
    self->texts = ModalScript::ChildTexts(found);
    PostMessageA(found, WM_COMMAND, self->m_commandId, 0);
}
