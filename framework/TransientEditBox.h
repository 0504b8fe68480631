#ifndef FRAMEWORK_TRANSIENTEDITBOX_H
#define FRAMEWORK_TRANSIENTEDITBOX_H

#include "framework/ChildWindow.h"
#include "framework/HandleOwner.h"

// A single-line edit laid over a grid cell for one edit. Enter and loss of
// focus accept the text, which reaches the owner as NM_TRANSIENTEDIT_END;
// Escape closes without it; Tab is swallowed. A WH_GETMESSAGE hook of the
// user-interface thread takes those keys before a dialog's keyboard handling
// sees them. At most one editor is open in the process.
// User-interface thread only.
class TransientEditBox : public ChildWindow {
public:
    // The longest text the editor takes.
    static const int kMaxText = 255;

    TransientEditBox();
    ~TransientEditBox() override;

    // Opens the editor with the text selected and the focus; the open
    // editor's window if this one is open, 0 if another is open or the
    // window cannot be made.
    virtual HWND Begin(DWORD exStyle, const char* text, DWORD style, int x, int y, int cx, int cy, HWND owner,
                       HINSTANCE instance);
    // WM_DESTROY: removes the hook, then reports the text unless cancelled.
    virtual LRESULT End(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnKey(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    virtual void Commit();

    // True while an editor is open anywhere in the process.
    static bool IsAnyOpen() { return s_hook.Valid(); }

private:
    static LRESULT CALLBACK KeyHook(int code, WPARAM wParam, LPARAM lParam);
    void Close(BOOL commit);

    HWND m_owner;    // the window told of the accepted text
    BOOL m_commit;   // cleared by Escape
    BOOL m_closing;  // set while the editor destroys itself

    static OwnedHook s_hook;  // user-interface thread; empty while no editor is open
};

#endif
