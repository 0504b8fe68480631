#ifndef PROTOCOL_IOOP_H
#define PROTOCOL_IOOP_H

#include "protocol/DeviceOperation.h"

#include "framework/CriticalLock.h"
#include "protocol/OperationParams.h"

// The operation of the I/O command: polls the state of the sensor's inputs
// and outputs, and forces outputs for a test. A force interrupts polling;
// when the force ends, confirmed or not, polling goes on if it was requested.
//
// Polling never gives up; a force gives up after ten ticks without its echo,
// except the release (mask 0), which is sent until the sensor echoes it or
// the link drops, so that no line stays forced behind a closed I/O test.
// Polling asked for meanwhile does not wait for that echo: polls and the
// release take turns until it comes.
// A force asked for while another is on the line waits for that one's echo
// (or its giving up) and then goes out; each force carries every line, so
// only the latest waiting one is kept, and a force replaces an unechoed
// release at once instead of waiting behind it.
// Polling switched off (StopPolling) lets a force on the line, and one
// waiting, run to their end: a release is never forgotten. Abort (device
// closed, destructor) forgets the polling request and any waiting force:
// nothing starts again after it.
//
// Start, StopPolling and Abort run on the user-interface thread, the
// handlers on the operation's thread; the request below changes only under
// m_lock.
class IoOp : public DeviceOperation {
public:
    static const BYTE kCommand = 0xA8;
    static const BYTE kRetries = 10;
    static const DWORD kIntervalMs = 500;

    // intervalMs: the tick; tests shorten it.
    explicit IoOp(DWORD intervalMs = kIntervalMs);
    ~IoOp() override;

    // argument: an IoParams block. While running: a force replaces polling,
    // waits behind a running force, and a poll request is kept for after the
    // force; these return 1. Without a block: stops and returns 0.
    int Start(ULONG_PTR argument) override;
    // Stops, and forgets the polling request.
    void Abort() override;
    // Forgets the polling request; stops unless a force is on the line.
    virtual void StopPolling();

    virtual LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnStart(WPARAM wParam, LPARAM lParam);
    virtual LRESULT HandleReply(WPARAM wParam, LPARAM lParam);
    virtual int SendRequest();

private:
    struct Request {
        DWORD mode;
        BYTE disguised;
        BYTE mask;
        bool polling;  // state replies are wanted
    };

    int Redirect(const IoParams& params);
    // Operation thread: fresh retries, and the request goes out at level 1.
    void SendFresh();
    // Operation thread: reports the force's outcome, then sends the waiting
    // force, or polls on if asked to, else stops.
    void EndForce(DWORD confirmed);
    Request Current();
    // The frame to send next: the current request, or a poll on its turn
    // beside a release.
    Request Next();
    bool PollsBesideRelease() const;  // under m_lock
    BYTE LinkLevel();

    const DWORD m_tickMs;
    CriticalLock m_lock;  // guards the six fields below
    DWORD m_mode;         // IoParams::kPoll or kForce
    BYTE m_disguised;
    BYTE m_mask;
    DWORD m_resumePolling;  // polling follows the running force
    Request m_waiting;      // mode kForce: a force follows the running one
    bool m_pollTurn;        // beside a release: the last frame sent was a poll
};

#endif
