#include "framework/ChildWindow.h"

#include "framework/ClassPointer.h"

ChildWindow::ChildWindow() : m_oldProc(NULL), m_hwnd(NULL) {}

ChildWindow::~ChildWindow() {
    // A window that outlives its object must not reach it any more.
    if (m_hwnd != NULL && IsWindow(m_hwnd)) Unbind();
}

HWND ChildWindow::Create(const CREATESTRUCTA* cs) {
    if (m_hwnd != NULL) return m_hwnd;
    if (cs == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    if (!HasMessageHandler(WM_COMMAND)) AddMessageHandler(WM_COMMAND, Handler(&ChildWindow::OnCommand));
    HWND hwnd = CreateWindowExA(cs->dwExStyle, cs->lpszClass, cs->lpszName, cs->style, cs->x, cs->y, cs->cx,
                                cs->cy, cs->hwndParent, cs->hMenu, cs->hInstance, this);
    // The window procedure bound the window at WM_NCCREATE; a class with
    // another procedure leaves it unbound.
    if (hwnd != NULL && m_hwnd == NULL) m_hwnd = hwnd;
    return hwnd;
}

BOOL ChildWindow::Subclass() {
    if (m_hwnd == NULL) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (m_oldProc != NULL) return TRUE;  // twice would make the procedure call itself
    SetPropA(m_hwnd, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(ClassPointerAtom())), this);
    m_oldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongA(m_hwnd, GWL_WNDPROC, reinterpret_cast<LONG>(&ChildWindow::WindowProc)));
    if (m_oldProc == NULL) {
        DWORD error = GetLastError();
        RemovePropA(m_hwnd, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(ClassPointerAtom())));
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

HWND ChildWindow::GetHwnd() {
    return m_hwnd;
}

LRESULT ChildWindow::CallOldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_oldProc == NULL) return DefWindowProcA(hwnd, msg, wParam, lParam);
    return CallWindowProcA(m_oldProc, hwnd, msg, wParam, lParam);
}

LRESULT ChildWindow::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hwnd, msg, wParam, lParam);
}

BOOL ChildWindow::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    // Without a window PostMessage would post to the calling thread's queue.
    CriticalLock::Hold hold(m_postLock);
    if (m_hwnd == NULL) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return ::PostMessageA(m_hwnd, msg, wParam, lParam);
}

BOOL ChildWindow::Destroy() {
    return DestroyWindow(m_hwnd);
}

BOOL ChildWindow::Move(int x, int y, int cx, int cy, BOOL repaint) {
    return MoveWindow(m_hwnd, x, y, cx, cy, repaint);
}

LRESULT ChildWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    WORD id = LOWORD(wParam);
    if (HasCommandHandler(id) == 1) return CallCommandHandler(id, HIWORD(wParam), lParam);
    return DefWindowProcA(m_hwnd, WM_COMMAND, wParam, lParam);
}

void ChildWindow::Bind(HWND hwnd) {
    m_hwnd = hwnd;
    SetPropA(hwnd, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(ClassPointerAtom())), this);
}

void ChildWindow::Unbind() {
    RemovePropA(m_hwnd, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(ClassPointerAtom())));
    if (m_oldProc != NULL) {
        SetWindowLongA(m_hwnd, GWL_WNDPROC, reinterpret_cast<LONG>(m_oldProc));
        m_oldProc = NULL;
    }
    CriticalLock::Hold hold(m_postLock);
    m_hwnd = NULL;
}

LRESULT CALLBACK ChildWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    ChildWindow* object = static_cast<ChildWindow*>(
        GetPropA(hwnd, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(ClassPointerAtom()))));
    if (object == NULL && (msg == WM_NCCREATE || msg == WM_CREATE)) {
        // A window created without an object stays unbound.
        object = static_cast<ChildWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (object != NULL) object->Bind(hwnd);
    }
    if (object == NULL) return DefWindowProcA(hwnd, msg, wParam, lParam);

    // Kept before dispatch: the handler may unbind (Destroy from a handler).
    WNDPROC oldProc = object->m_oldProc;
    LRESULT result;
    if (object->HasMessageHandler(msg) == 1) {
        result = object->CallMessageHandler(msg, wParam, lParam);
    } else if (oldProc != NULL) {
        result = CallWindowProcA(oldProc, hwnd, msg, wParam, lParam);
    } else {
        result = DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    // Unbound after the object's own WM_DESTROY handler has seen its window.
    if (msg == WM_DESTROY && object->m_hwnd == hwnd) {
        object->Unbind();
        object->OnUnbound(hwnd);
    }
    return result;
}
