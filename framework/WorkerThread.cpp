#include "framework/WorkerThread.h"

#include "framework/SentMessageWait.h"

namespace {

// Raised on a worker's thread that stopped itself: nobody waits for it any
// more and its object may go, so the end of its loop leaves the object alone.
thread_local bool t_stoppedItself = false;

}  // namespace

WorkerThread::WorkerThread() : m_threadId(0), m_accepting(false), m_exitCode(0) {}

WorkerThread::~WorkerThread() {
    Stop();
}

BOOL WorkerThread::Start(LPSECURITY_ATTRIBUTES sa, DWORD stackSize, DWORD creationFlags, int priority) {
    m_startEvent.Reset(CreateEventA(NULL, TRUE, FALSE, NULL));
    if (!m_startEvent.Valid()) return FALSE;
    Stop();
    DWORD id = 0;
    m_thread.Reset(CreateThread(sa, stackSize, ThreadProc, this, creationFlags, &id));
    const BOOL started = m_thread.Valid();
    if (started) {
        {
            CriticalLock::Hold hold(m_postLock);
            m_threadId = id;
        }
        SetPriority(priority);
        // The thread's queue exists once the event is set: nothing posted after
        // Start returns is lost.
        HANDLE waits[2] = {m_startEvent.Get(), m_thread.Get()};
        WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    }
    m_startEvent.Close();
    return started;
}

int WorkerThread::Stop() {
    if (!m_thread.Valid()) return 0;
    PostThreadMessageA(m_threadId, WM_QUIT, 1, 0);
    if (GetCurrentThreadId() == m_threadId) {
        // Posts fail from here; those before the quit are handled before it.
        t_stoppedItself = true;
        SetAccepting(false);
    } else {
        WaitHandlingSentMessages(m_thread.Get(), INFINITE);
        GetExitCodeThread(m_thread.Get(), &m_exitCode);
    }
    m_thread.Close();
    CriticalLock::Hold hold(m_postLock);
    m_threadId = 0;
    return 1;
}

DWORD WorkerThread::Wait(DWORD timeout) {
    if (!m_thread.Valid() || GetCurrentThreadId() == m_threadId) return WAIT_FAILED;
    return WaitForSingleObject(m_thread.Get(), timeout);
}

DWORD WorkerThread::GetThreadId() {
    return m_threadId;
}

int WorkerThread::GetPriority() {
    return GetThreadPriority(m_thread.Get());
}

BOOL WorkerThread::SetPriority(int priority) {
    return SetThreadPriority(m_thread.Get(), priority);
}

BOOL WorkerThread::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    CriticalLock::Hold hold(m_postLock);
    if (!m_accepting || m_threadId == 0) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return PostThreadMessageA(m_threadId, msg, wParam, lParam);
}

void WorkerThread::SetAccepting(bool accepting) {
    CriticalLock::Hold hold(m_postLock);
    m_accepting = accepting;
}

DWORD WINAPI WorkerThread::ThreadProc(LPVOID param) {
    return static_cast<WorkerThread*>(param)->Run();
}

DWORD WorkerThread::Run() {
    MSG msg;
    PeekMessageA(&msg, NULL, WM_USER, WM_USER, PM_NOREMOVE);
    SetAccepting(true);
    SetEvent(m_startEvent.Get());
    const DWORD code = RunLoop();
    if (t_stoppedItself) return code;
    // Stop waits for this: a post from here on fails and its sender keeps
    // what it carried; what was posted before and not handled is drained.
    SetAccepting(false);
    OnQueueClosed();
    return code;
}

DWORD WorkerThread::RunLoop() {
    MSG msg;
    for (;;) {
        BOOL got = GetMessageA(&msg, NULL, 0, 0);
        if (got == -1) return 0;
        if (got == 0) return static_cast<DWORD>(msg.wParam);
        Dispatch(msg);
    }
}

void WorkerThread::Dispatch(const MSG& msg) {
    if (HasMessageHandler(msg.message) == 1) CallMessageHandler(msg.message, msg.wParam, msg.lParam);
}
