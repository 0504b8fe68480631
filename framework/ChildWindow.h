#ifndef FRAMEWORK_CHILDWINDOW_H
#define FRAMEWORK_CHILDWINDOW_H

#include "framework/CriticalLock.h"
#include "framework/MessageTarget.h"

// A message target bound to one window: one it creates itself, or an existing
// control it subclasses. The shared window procedure finds the object through
// the window property "CLASSPOINTER" and dispatches through the message map.
// The object outlives its window; owners call Destroy before deleting it.
// User-interface thread only, but for PostMessage: any thread may post
// through the object, and once its window is being destroyed (WM_DESTROY) a
// post fails, so that its sender keeps what the message would have carried.
class ChildWindow : public MessageTarget {
public:
    ChildWindow();
    ~ChildWindow() override;

    virtual HWND Create(const CREATESTRUCTA* cs);
    virtual BOOL Subclass();
    virtual HWND GetHwnd();
    virtual LRESULT CallOldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    virtual LRESULT SendMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual BOOL PostMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual BOOL Destroy();
    virtual BOOL Move(int x, int y, int cx, int cy, BOOL repaint);
    virtual LRESULT OnCommand(WPARAM wParam, LPARAM lParam);

    // The window procedure of every class whose windows are ChildWindows.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    // A control created elsewhere, to be subclassed next.
    void SetHwnd(HWND hwnd) { m_hwnd = hwnd; }
    // Called with the window after its WM_DESTROY, once it is unbound and no
    // post reaches it any more: a window whose messages carry objects drains
    // those still queued into owners here (PostedObject), since the window's
    // end deletes its queued messages.
    virtual void OnUnbound(HWND /*hwnd*/) {}

private:
    void Bind(HWND hwnd);
    void Unbind();

    WNDPROC m_oldProc;        // the control's own procedure while subclassed, else 0
    CriticalLock m_postLock;  // held around a post and where m_hwnd is cleared
    HWND m_hwnd;              // the bound window, 0 when none
};

#endif
