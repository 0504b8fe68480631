#include "framework/Dialog.h"

#include "framework/IniFile.h"
#include "framework/LanguageResource.h"

#include <cstdio>

namespace {

const char* const kKeys[4] = {"Left", "Top", "Right", "Bottom"};
enum { kLeft, kTop, kRight, kBottom };

}  // namespace

Dialog::Dialog(const char* name) : m_parent(NULL), m_recorded(FALSE) {
    snprintf(m_name, sizeof m_name, "%s", name != NULL ? name : "Dialog");
    IniFile settings;
    for (int i = 0; i < 4; ++i) m_saved[i] = settings.GetInt(m_name, kKeys[i], kUnset);
    AddMessageHandler(WM_INITDIALOG, Handler(&Dialog::OnInitDialog));
    AddMessageHandler(WM_DESTROY, Handler(&Dialog::OnDestroy));
    AddMessageHandler(WM_MOVE, Handler(&Dialog::OnMove));
    AddMessageHandler(WM_SIZE, Handler(&Dialog::OnSize));
}

Dialog::~Dialog() {
    if (IsOpen()) {
        // Derived parts are gone: record the place here and let no further
        // message reach this object.
        Dialog::OnDestroy(0, 0);
        DestroyUnbound();
    }
    if (!m_recorded) return;
    IniFile settings;
    for (int i = 0; i < 4; ++i) {
        if (m_saved[i] != kUnset) settings.WriteInt(m_name, kKeys[i], m_saved[i]);
    }
}

BOOL Dialog::CreateModeless(LPCSTR templ, HWND parent) {
    AddCommandHandler(IDCANCEL, Command(&Dialog::OnCancelModeless));
    return CreateIndirect(LanguageResource().GetModule(), templ, parent);
}

INT_PTR Dialog::DoModal(LPCSTR templ, HWND parent) {
    AddCommandHandler(IDCANCEL, Command(&Dialog::OnCancelModal));
    return DoModalIndirect(LanguageResource().GetModule(), templ, parent);
}

HWND Dialog::Create(HINSTANCE instance, HWND parent) {
    if (IsOpen()) return GetHwnd();
    SetInstance(instance);
    m_parent = parent;
    CreateModeless(MAKEINTRESOURCEA(kBaseTemplate), parent);
    return GetHwnd();
}

BOOL Dialog::Destroy() {
    if (!IsOpen()) return FALSE;
    DestroyWindow(GetHwnd());
    return TRUE;
}

BOOL Dialog::IsOpen() {
    return GetHwnd() != NULL;
}

BOOL Dialog::SavedRectOnScreen(HWND hwnd) const {
    RECT target;
    GetWindowRect(hwnd, &target);
    OffsetRect(&target, m_saved[kLeft] - target.left, m_saved[kTop] - target.top);
    if (m_saved[kRight] != kUnset && m_saved[kBottom] != kUnset) {
        target.right = m_saved[kRight];
        target.bottom = m_saved[kBottom];
    }
    // A rectangle left on a screen that is gone would hide the dialog.
    return MonitorFromRect(&target, MONITOR_DEFAULTTONULL) != NULL;
}

LRESULT Dialog::OnInitDialog(WPARAM, LPARAM) {
    HWND hwnd = GetHwnd();
    UINT flags = SWP_NOZORDER;
    if (m_saved[kLeft] == kUnset || m_saved[kTop] == kUnset) {
        // The size is right - left: without a place it means nothing.
        flags |= SWP_NOMOVE | SWP_NOSIZE;
    } else if (!SavedRectOnScreen(hwnd)) {
        return 0;
    }
    if (m_saved[kRight] == kUnset || m_saved[kBottom] == kUnset) flags |= SWP_NOSIZE;
    if ((flags & (SWP_NOMOVE | SWP_NOSIZE)) == (SWP_NOMOVE | SWP_NOSIZE)) return 0;
    // Unset values stand for no number: they take part in no sum.
    int width = (flags & SWP_NOSIZE) ? 0 : m_saved[kRight] - m_saved[kLeft];
    int height = (flags & SWP_NOSIZE) ? 0 : m_saved[kBottom] - m_saved[kTop];
    SetWindowPos(hwnd, NULL, m_saved[kLeft], m_saved[kTop], width, height, flags);
    return 0;
}

void Dialog::RecordRect() {
    RECT rect;
    if (!GetWindowRect(GetHwnd(), &rect)) return;
    m_saved[kLeft] = rect.left;
    m_saved[kTop] = rect.top;
    m_saved[kRight] = rect.right;
    m_saved[kBottom] = rect.bottom;
    m_recorded = TRUE;
}

LRESULT Dialog::OnDestroy(WPARAM, LPARAM) {
    RecordRect();
    if (!(GetWindowLongA(GetHwnd(), GWL_STYLE) & WS_THICKFRAME)) {
        m_saved[kRight] = kUnset;
        m_saved[kBottom] = kUnset;
    }
    return 0;
}

LRESULT Dialog::OnMove(WPARAM, LPARAM) {
    RecordRect();
    return 0;
}

LRESULT Dialog::OnSize(WPARAM, LPARAM) {
    RecordRect();
    return 0;
}

LRESULT Dialog::OnCancelModeless(WORD, WORD, LPARAM) {
    DestroyWindow(GetHwnd());
    return 0;
}

LRESULT Dialog::OnCancelModal(WORD, WORD, LPARAM) {
    EndDialog(GetHwnd(), 0);
    return 0;
}
