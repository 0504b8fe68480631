#ifndef FRAMEWORK_WORKERTHREAD_H
#define FRAMEWORK_WORKERTHREAD_H

#include "framework/MessageTarget.h"
#include "framework/OwnedHandle.h"

// A thread with its own message queue. Work arrives as thread messages and is
// dispatched through the message map; WM_QUIT ends the loop. Start, Stop and
// Wait are called by the owning thread, handlers run on the worker.
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

private:
    static DWORD WINAPI ThreadProc(LPVOID param);
    DWORD Run();

    OwnedHandle m_thread;      // owning thread only
    DWORD m_threadId;          // set by Start, cleared by Stop; read by posters
    OwnedHandle m_startEvent;  // holds an event only while Start runs
    DWORD m_exitCode;          // written by Stop after the thread ended
};

#endif
