#ifndef PROTOCOL_DEVICEOPERATION_H
#define PROTOCOL_DEVICEOPERATION_H

#include <deque>
#include <string>

#include "framework/CriticalLock.h"
#include "framework/WorkerThread.h"

class DeviceHost;
class SensorDevice;

// Base of every per-command operation: a worker thread that sends its
// request frames, waits for replies or the next tick, resends on every tick
// and counts its retries down.
//
// Three threads meet here. The user-interface thread starts and aborts; the
// receive thread hands replies over (OnReply) and tells of a lost sensor
// (OnSensorLost); the operation's own thread runs the handlers of WM_OP_START,
// WM_OP_REPLY, WM_OP_LOST and WM_TIMER. Ticks come from the
// operation's own loop, which waits for its queue with a time-out up to the
// next deadline; the deadline sits under a lock, so any thread may restart or
// stop the timer (a system thread timer can only be killed by its owner).
class DeviceOperation : public WorkerThread {
public:
    // Derived constructors give their retry count and tick interval.
    DeviceOperation(BYTE retryReload, DWORD intervalMs);
    ~DeviceOperation() override;

    // Drops the links to the device and the application.
    virtual void Detach();
    // Starts the thread and posts WM_OP_START; 0 while running or when the
    // thread cannot start. The base ignores the argument; operations with
    // parameters copy them from it first.
    virtual int Start(ULONG_PTR argument);
    // Stops the timer and the thread. Overrides do their clean-up first and
    // end with this. Safe on the operation's own thread.
    virtual void Abort();
    // Receive thread: queues a copy of the message and wakes the operation;
    // 0 when the operation is not running (the message is forgotten).
    virtual int OnReply(const std::string& message);
    // Any thread: the sensor has gone. A running operation hears it on its
    // own thread as WM_OP_LOST; those that must end then handle it.
    virtual void OnSensorLost();
    virtual void SetRetry(BYTE count, DWORD intervalMs);
    // Fresh retries and the next tick one interval from now; the timer id.
    virtual UINT_PTR RestartTimer();
    virtual void StopTimer();
    virtual void CountDown();
    virtual BOOL IsExhausted();
    // Set by Start, cleared by Abort.
    virtual BOOL IsRunning();
    virtual void SetDevice(SensorDevice* device);
    virtual void SetApplication(DeviceHost* application);

protected:
    // True while ticks are due; what the handlers mean by "timer running".
    bool HasTimer();
    // Operation thread: the oldest reply handed over; 0 when none waits.
    int TakeReply(std::string* reply);
    DWORD RunLoop() override;

    // Set on the user-interface thread while the operation's thread is stopped
    // (device Open and Close); read by the handlers.
    SensorDevice* m_device;
    DeviceHost* m_application;

private:
    static const size_t kMaxQueuedReplies = 64;

    void StopThread();
    bool IsOperationMessage(UINT msg) const;
    DWORD TimeToNextTick();
    void TickIfDue();

    CriticalLock m_timerLock;  // guards the five timer fields below
    BYTE m_retryReload;
    DWORD m_interval;
    BYTE m_retriesLeft;
    UINT_PTR m_timerId;  // 0 when no tick is due
    DWORD m_deadline;    // tick count of the next tick

    CriticalLock m_replyLock;       // guards m_replies
    std::deque<std::string> m_replies;  // one entry per WM_OP_REPLY posted

    volatile LONG m_active;  // any thread, through Interlocked calls
    UINT_PTR m_lastTimerId;  // under m_timerLock
};

#endif
