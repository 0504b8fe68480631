#ifndef PROTOCOL_LINKOP_H
#define PROTOCOL_LINKOP_H

#include "protocol/DeviceOperation.h"

#include <string>

#include "framework/CriticalLock.h"

// The operation of the link command: brings the link to the level the device
// port asks for, keeps it alive and notices when the sensor falls silent.
//
// Entering a level is a challenge and answer: Get fetches eight challenge
// bytes, Set carries the wanted level and the CRC-16 of the challenge. Once
// the level is reached the Set goes on every tick as a keep-alive; ten ticks
// without a good reply drop the level to 0, and the operation climbs again
// as soon as the sensor answers. A reply counts only while a request of its
// kind awaits its answer: a Set reply or a challenge left on the line from
// an earlier connection must not pass for a link, nor be answered. A refused
// Set (the level stays) is followed by a fresh Get: the challenge it answered
// may be one the sensor has forgotten, by a restart or because it was never
// asked for.
//
// SetLevel, SetHold and Abort run on the user-interface thread, the handlers
// on the operation's thread; the link state below changes only under m_lock,
// and frames and notifications leave after it is released.
class LinkOp : public DeviceOperation {
public:
    static const BYTE kCommand = 0xA0;
    static const BYTE kRetries = 10;
    static const DWORD kIntervalMs = 500;

    LinkOp();
    ~LinkOp() override;

    // Drops the device link only.
    void Detach() override;
    // Sends Set with level 0 when running, reports level 0, then stops.
    void Abort() override;

    // The level the sensor last confirmed.
    virtual BYTE GetLevel();
    // 0 aborts; otherwise starts, or asks for the new level at once.
    virtual int SetLevel(BYTE level);
    // While 1 nothing is sent and no retries are counted.
    virtual void SetHold(DWORD hold);

    virtual LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnStart(WPARAM wParam, LPARAM lParam);
    virtual LRESULT HandleReply(WPARAM wParam, LPARAM lParam);
    // Get while climbing without an answer, else Set; nothing while held.
    virtual int SendRequest();

private:
    enum Stage { kNoAnswer = 0, kAnswerReady = 1 };
    enum Awaited { kNothing, kChallenge, kSetReply };

    void HandleSetReply(BYTE level);
    // True once for each request of the kind sent: the reply it waited for.
    bool TakeAwaited(Awaited kind);
    void HandleChallenge(const std::string& reply);
    std::string BuildRequest();  // under m_lock

    CriticalLock m_lock;  // guards the six fields below
    WORD m_answer;        // CRC-16 of the last challenge
    DWORD m_stage;
    BYTE m_current;       // the level the sensor confirmed
    BYTE m_requested;
    DWORD m_hold;
    Awaited m_awaited;    // the kind of the last request, while unanswered
};

#endif
