#include "protocol/DeviceOperation.h"

#include "framework/CriticalLock.h"
#include "protocol/DeviceMessages.h"

DeviceOperation::DeviceOperation(BYTE retryReload, DWORD intervalMs)
    : m_device(NULL),
      m_application(NULL),
      m_retryReload(retryReload),
      m_interval(intervalMs),
      m_retriesLeft(0),
      m_timerId(0),
      m_deadline(0),
      m_active(0),
      m_lastTimerId(0) {
}

DeviceOperation::~DeviceOperation() {
    DeviceOperation::Abort();
}

void DeviceOperation::Detach() {
    m_device = NULL;
    m_application = NULL;
}

int DeviceOperation::Start(ULONG_PTR) {
    if (IsRunning()) return 0;
    // A tick or reply left from the last run must not reach the new one.
    StopTimer();
    {
        CriticalLock::Hold lock(m_replyLock);
        m_replies.clear();
    }
    if (!WorkerThread::Start(NULL, 0, 0, 0)) {
        Abort();
        return 0;
    }
    InterlockedExchange(&m_active, 1);
    if (!PostMessage(WM_OP_START, 0, 0)) {
        Abort();
        return 0;
    }
    return 1;
}

void DeviceOperation::Abort() {
    InterlockedExchange(&m_active, 0);
    StopTimer();
    StopThread();
}

void DeviceOperation::StopThread() {
    if (GetCurrentThreadId() == GetThreadId()) {
        // On its own thread the operation only leaves its loop; the next Start
        // or Abort from the owner waits for the thread and closes its handle,
        // so the thread fields are never changed from two threads.
        PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 1, 0);
        return;
    }
    WorkerThread::Stop();
}

int DeviceOperation::OnReply(const std::string& message) {
    if (!IsRunning()) return 0;
    CriticalLock::Hold lock(m_replyLock);
    if (m_replies.size() >= kMaxQueuedReplies) return 0;
    m_replies.push_back(message);
    // Posting never blocks, so it may happen under the lock: the queue and
    // the posted messages stay one to one.
    if (!PostMessage(WM_OP_REPLY, 0, 0)) {
        m_replies.pop_back();
        return 0;
    }
    return 1;
}

void DeviceOperation::OnSensorLost() {
    if (IsRunning()) PostMessage(WM_OP_LOST, 0, 0);
}

int DeviceOperation::TakeReply(std::string* reply) {
    CriticalLock::Hold lock(m_replyLock);
    if (m_replies.empty()) return 0;
    reply->swap(m_replies.front());
    m_replies.pop_front();
    return 1;
}

void DeviceOperation::SetRetry(BYTE count, DWORD intervalMs) {
    {
        CriticalLock::Hold lock(m_timerLock);
        m_retryReload = count;
        m_interval = intervalMs;
    }
    RestartTimer();
}

UINT_PTR DeviceOperation::RestartTimer() {
    UINT_PTR id;
    {
        CriticalLock::Hold lock(m_timerLock);
        m_retriesLeft = m_retryReload;
        m_deadline = GetTickCount() + (m_interval > 0 ? m_interval : 1);
        if (++m_lastTimerId == 0) m_lastTimerId = 1;
        m_timerId = m_lastTimerId;
        id = m_timerId;
    }
    // The loop may sleep towards a later deadline or none: wake it.
    const DWORD thread = GetThreadId();
    if (thread != 0 && thread != GetCurrentThreadId()) PostThreadMessageA(thread, WM_NULL, 0, 0);
    return id;
}

void DeviceOperation::StopTimer() {
    CriticalLock::Hold lock(m_timerLock);
    m_timerId = 0;
    m_retriesLeft = 0;
}

void DeviceOperation::CountDown() {
    CriticalLock::Hold lock(m_timerLock);
    if (m_retriesLeft > 0) --m_retriesLeft;
}

BOOL DeviceOperation::IsExhausted() {
    CriticalLock::Hold lock(m_timerLock);
    return m_retriesLeft == 0;
}

BOOL DeviceOperation::IsRunning() {
    return InterlockedCompareExchange(&m_active, 0, 0) != 0;
}

bool DeviceOperation::HasTimer() {
    CriticalLock::Hold lock(m_timerLock);
    return m_timerId != 0;
}

void DeviceOperation::SetDevice(SensorDevice* device) {
    m_device = device;
}

void DeviceOperation::SetApplication(DeviceHost* application) {
    m_application = application;
}

bool DeviceOperation::IsOperationMessage(UINT msg) const {
    return msg == WM_OP_START || msg == WM_OP_REPLY || msg == WM_OP_LOST || msg == WM_TIMER;
}

DWORD DeviceOperation::TimeToNextTick() {
    CriticalLock::Hold lock(m_timerLock);
    if (m_timerId == 0) return INFINITE;
    const LONG left = static_cast<LONG>(m_deadline - GetTickCount());
    return left > 0 ? static_cast<DWORD>(left) : 0;
}

void DeviceOperation::TickIfDue() {
    UINT_PTR id = 0;
    {
        CriticalLock::Hold lock(m_timerLock);
        const DWORD now = GetTickCount();
        if (m_timerId == 0 || static_cast<LONG>(now - m_deadline) < 0) return;
        // The next tick counts from now: a late tick does not bring a burst.
        m_deadline = now + (m_interval > 0 ? m_interval : 1);
        id = m_timerId;
    }
    MSG tick = {};
    tick.message = WM_TIMER;
    tick.wParam = id;
    if (IsRunning()) Dispatch(tick);
}

DWORD DeviceOperation::RunLoop() {
    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return static_cast<DWORD>(msg.wParam);
            // After an abort nothing of the old run is handled any more.
            if (!IsOperationMessage(msg.message) || IsRunning()) Dispatch(msg);
            TickIfDue();
        }
        TickIfDue();
        const DWORD wait = TimeToNextTick();
        if (wait != 0) MsgWaitForMultipleObjects(0, NULL, FALSE, wait, QS_ALLINPUT);
    }
}
