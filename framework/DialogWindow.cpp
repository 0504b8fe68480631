#include "framework/DialogWindow.h"

#include "framework/ClassPointer.h"

namespace {

LPCSTR PropertyName() {
    return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(ClassPointerAtom()));
}

}  // namespace

DialogWindow::DialogWindow() : m_hwnd(NULL), m_instance(NULL) {}

DialogWindow::~DialogWindow() {
    // A dialog that outlives its object must not reach it any more.
    if (m_hwnd != NULL && IsWindow(m_hwnd)) RemovePropA(m_hwnd, PropertyName());
}

BOOL DialogWindow::CreateModeless(LPCSTR templ, HWND parent) {
    if (m_hwnd != NULL) return FALSE;
    AddMessageHandler(WM_COMMAND, Handler(&DialogWindow::OnCommand));
    return CreateDialogParamA(m_instance, templ, parent, &DialogWindow::DialogProc,
                              reinterpret_cast<LPARAM>(this)) != NULL;
}

INT_PTR DialogWindow::DoModal(LPCSTR templ, HWND parent) {
    if (m_hwnd != NULL) return 0;
    AddMessageHandler(WM_COMMAND, Handler(&DialogWindow::OnCommand));
    return DialogBoxParamA(m_instance, templ, parent, &DialogWindow::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void DialogWindow::DestroyUnbound() {
    HWND hwnd = m_hwnd;
    if (hwnd == NULL) return;
    RemovePropA(hwnd, PropertyName());
    m_hwnd = NULL;
    DestroyWindow(hwnd);
}

HWND DialogWindow::GetHwnd() {
    return m_hwnd;
}

LRESULT DialogWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    WORD id = LOWORD(wParam);
    if (HasCommandHandler(id) == 1) return CallCommandHandler(id, HIWORD(wParam), lParam);
    return DefWindowProcA(m_hwnd, WM_COMMAND, wParam, lParam);
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    DialogWindow* object = static_cast<DialogWindow*>(GetPropA(hwnd, PropertyName()));
    if (object == NULL && msg == WM_INITDIALOG) {
        object = reinterpret_cast<DialogWindow*>(lParam);
        if (object != NULL) {
            object->m_hwnd = hwnd;
            SetPropA(hwnd, PropertyName(), object);
        }
    }
    // Messages before WM_INITDIALOG, such as WM_SETFONT, are left to the system.
    if (object == NULL) return 0;

    INT_PTR result = 0;
    if (object->HasMessageHandler(msg) == 1) result = object->CallMessageHandler(msg, wParam, lParam);
    if (msg == WM_DESTROY) {
        RemovePropA(hwnd, PropertyName());
        if (object->m_hwnd == hwnd) object->m_hwnd = NULL;
    }
    return result;
}
