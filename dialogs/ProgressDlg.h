#ifndef DIALOGS_PROGRESSDLG_H
#define DIALOGS_PROGRESSDLG_H

#include "framework/OwnedHandle.h"
#include "framework/ProgressView.h"

class MessagePump;

// Shows the progress of a long operation while the caller's thread is busy
// with it: the dialog runs modally on a thread of its own, owned by the
// caller's window, so it keeps painting and its Cancel keeps working.
// Cancel posts WM_PROGRESS_CANCEL to the owner; whoever handles it stops the
// operation. The caller ends the dialog with End, which joins its thread.
//
// Threads: Start, End and the setters run on the caller's thread; the
// dialog window and OnInitDialog/OnCancel belong to the dialog thread. The
// window handle is written by the dialog thread and read by the caller after
// the ready event; End joins the thread before it is reused.
class ProgressDlg : public ProgressView {
public:
    ProgressDlg();
    ~ProgressDlg() override;

    virtual void SetApplication(MessagePump* application);
    virtual void Reset();
    // The dialog's window once it exists, 0 when refused or failed.
    virtual HWND Start(HINSTANCE instance, HWND owner);
    void End() override;
    void SetCaption(const char* textOrId) override;
    void SetMessage(const char* textOrId) override;
    void SetPos(UINT percent) override;
    BOOL IsDone() override;
    // A disabled Cancel also ignores Escape: a firmware update must not be
    // aborted half-way.
    void EnableCancel(BOOL enable) override;
    virtual LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnCancel(WORD id, WORD notifyCode, LPARAM hwndCtl);

private:
    static DWORD WINAPI ThreadProc(LPVOID param);
    DWORD Run();
    void EndDialogWindow();
    void CloseThread();
    BOOL WaitUntilShown();
    const char* TextOf(const char* textOrId, std::string* loaded);

    HWND m_owner;                // caller's thread
    OwnedHandle m_thread;        // caller's thread only: created by Start, closed by End
    DWORD m_threadId;            // set by Start; read by both
    MessagePump* m_application;  // collaborator, caller's thread
    volatile LONG m_done;        // 1 when no modal loop runs; written by the dialog thread
    OwnedHandle m_ready;         // set by the dialog thread once the window is shown
};

#endif
