#ifndef FRAMEWORK_WORKERTHREAD_H
#define FRAMEWORK_WORKERTHREAD_H

#include "framework/CriticalLock.h"
#include "framework/MessageTarget.h"
#include "framework/OwnedHandle.h"

// A thread with its own message queue. Work arrives as thread messages and is
// dispatched through the message map; WM_QUIT ends the loop. Start, Stop and
// Wait are called by the owning thread, handlers run on the worker. Any
// thread may post; once the loop has ended a post fails, so that its sender
// keeps what the message would have carried.
class WorkerThread : public MessageTarget {
public:
    WorkerThread();
    ~WorkerThread() override;

    virtual BOOL Start(LPSECURITY_ATTRIBUTES sa, DWORD stackSize, DWORD creationFlags, int priority);
    virtual int Stop();
    virtual DWORD Wait(DWORD timeout);
    virtual DWORD GetThreadId();
    virtual int GetPriority();
    virtual BOOL SetPriority(int priority);
    virtual BOOL PostMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    // The exit code of the last thread, valid once it has ended.
    DWORD GetExitCode() const { return m_exitCode; }

protected:
    // The message loop, entered on the worker once its queue exists; returns
    // the thread's exit code. Derived threads that wait on more than the
    // queue (a deadline, an event) replace it and dispatch with Dispatch.
    virtual DWORD RunLoop();
    // Hands one message to its handler, if the map has one.
    void Dispatch(const MSG& msg);
    // Runs on the worker after its loop, when no post succeeds any more: a
    // thread whose messages carry objects drains those still queued (behind
    // the quit) into owners here (PostedObject). Not after a Stop from the
    // worker itself, which nobody waits for: what came before its quit is
    // handled before it.
    virtual void OnQueueClosed() {}

private:
    static DWORD WINAPI ThreadProc(LPVOID param);
    DWORD Run();
    void SetAccepting(bool accepting);

    OwnedHandle m_thread;      // owning thread only
    CriticalLock m_postLock;   // held around a post, and where the two below change
    DWORD m_threadId;          // set by Start, cleared by Stop; read by posters
    bool m_accepting;          // the worker's loop runs: posts are taken
    OwnedHandle m_startEvent;  // holds an event only while Start runs
    DWORD m_exitCode;          // written by Stop after the thread ended
};

#endif
