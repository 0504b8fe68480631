#include "framework/TransientEditBox.h"

#include "framework/FrameworkMessages.h"

#include <string>
#include <vector>

namespace {

const char kPropName[] = "TRANSIENTEDITBOXCLASSPOINTER";
const int kLeftMargin = 4;

bool IsEditorKey(WPARAM key) {
    return key == VK_RETURN || key == VK_ESCAPE || key == VK_TAB;
}

}  // namespace

OwnedHook TransientEditBox::s_hook;

TransientEditBox::TransientEditBox() : m_owner(NULL), m_commit(FALSE), m_closing(FALSE) {
    AddMessageHandler(WM_DESTROY, Handler(&TransientEditBox::End));
    AddMessageHandler(WM_KILLFOCUS, Handler(&TransientEditBox::OnKillFocus));
    AddMessageHandler(WM_TRANSIENTEDIT_KEY, Handler(&TransientEditBox::OnKey));
}

TransientEditBox::~TransientEditBox() {
    // An editor still open reports nothing to an owner that may be gone.
    if (GetHwnd() != NULL && IsWindow(GetHwnd())) Close(FALSE);
}

HWND TransientEditBox::Begin(DWORD exStyle, const char* text, DWORD style, int x, int y, int cx, int cy,
                             HWND owner, HINSTANCE instance) {
    if (GetHwnd() != NULL) return GetHwnd();
    if (s_hook.Valid()) {
        SetLastError(ERROR_BUSY);
        return NULL;
    }
    HWND edit = CreateWindowExA(exStyle, "EDIT", "", style, x, y, cx, cy, owner,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kTransientEditId)), instance, NULL);
    if (edit == NULL) return NULL;
    m_owner = owner;
    ::SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    ::SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(kLeftMargin, 0));
    // Typed or given, a cell's text in the editor stays within the limit.
    ::SendMessageA(edit, EM_LIMITTEXT, kMaxText, 0);
    std::string shown(text != NULL ? text : "");
    if (shown.size() > static_cast<size_t>(kMaxText)) shown.resize(kMaxText);
    SetWindowTextA(edit, shown.c_str());
    SetFocus(edit);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    SetHwnd(edit);
    Subclass();
    SetPropA(edit, kPropName, this);
    s_hook.Reset(SetWindowsHookExA(WH_GETMESSAGE, &TransientEditBox::KeyHook, NULL, GetCurrentThreadId()));
    m_commit = TRUE;
    m_closing = FALSE;
    return edit;
}

LRESULT TransientEditBox::End(WPARAM wParam, LPARAM lParam) {
    HWND edit = GetHwnd();
    // The property marks the open editor, which holds the hook.
    if (RemovePropA(edit, kPropName) != NULL) s_hook.Close();
    if (m_commit) Commit();
    m_commit = FALSE;
    // The edit control frees its own state on its destruction messages.
    return CallOldProc(edit, WM_DESTROY, wParam, lParam);
}

LRESULT TransientEditBox::OnKey(WPARAM wParam, LPARAM) {
    if (wParam == VK_RETURN) Close(TRUE);
    if (wParam == VK_ESCAPE) Close(FALSE);
    return 1;  // Tab: swallowed
}

LRESULT TransientEditBox::OnKillFocus(WPARAM, LPARAM) {
    // Destroying the editor moves the focus away from it once more.
    if (!m_closing) Close(TRUE);
    return 0;
}

void TransientEditBox::Commit() {
    HWND edit = GetHwnd();
    int length = static_cast<int>(::SendMessageA(edit, EM_LINELENGTH, 0, 0));
    // EM_GETLINE reads the buffer's size from its first WORD.
    std::vector<char> buffer(length + 1 < 2 ? 2 : length + 1, '\0');
    *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(buffer.size());
    LRESULT copied = ::SendMessageA(edit, EM_GETLINE, 0, reinterpret_cast<LPARAM>(buffer.data()));
    buffer[copied >= 0 && copied < static_cast<LRESULT>(buffer.size()) ? copied : length] = '\0';

    TransientEditEnd end = {};
    end.header.hwndFrom = edit;
    end.header.idFrom = kTransientEditId;
    end.header.code = NM_TRANSIENTEDIT_END;
    end.text = buffer.data();
    ::SendMessageA(m_owner, WM_NOTIFY, kTransientEditId, reinterpret_cast<LPARAM>(&end));
}

void TransientEditBox::Close(BOOL commit) {
    m_closing = TRUE;
    m_commit = commit;
    DestroyWindow(GetHwnd());
}

LRESULT CALLBACK TransientEditBox::KeyHook(int code, WPARAM wParam, LPARAM lParam) {
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_KEYDOWN && IsEditorKey(msg->wParam)) {
        if (GetPropA(msg->hwnd, kPropName) != NULL) msg->message = WM_TRANSIENTEDIT_KEY;
    }
    return CallNextHookEx(s_hook, code, wParam, lParam);
}
