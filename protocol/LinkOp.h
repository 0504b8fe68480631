#ifndef PROTOCOL_LINKOP_H
#define PROTOCOL_LINKOP_H

#include "protocol/DeviceOperation.h"

#include <deque>
#include <string>

#include "framework/CriticalLock.h"

// The operation of the link command: brings the link to the level the device
// port asks for, keeps it alive and notices when the sensor falls silent.
//
// Entering a level is a challenge and answer: Get fetches eight challenge
// bytes, Set carries the wanted level and the CRC-16 of the challenge. Once
// the level is reached the Set goes on every tick as a keep-alive; ten ticks
// without a good reply drop the level to 0, and the operation climbs again
// as soon as the sensor answers.
//
// On a slow line a reply may lag several ticks behind its request (a scan
// holds the line for a second at 19200 baud), and the sensor keeps only the
// challenge of its latest Get. So the requests in flight are kept in the
// order they went out, and each reply is matched to the oldest of its kind
// (replies come back in order; older ones of the other kind were lost). Only
// one Get is in flight at a time: a second would replace the challenge the
// first one's answer is for. A request unanswered for kReplyTicks ticks
// counts as lost, so a lost Get does not stop the climb. A reply that no
// request in flight asked for (left on the line from an earlier connection)
// neither counts as a link nor is answered. A Set refused with the current
// answer (the level stays) is followed by a fresh Get: the challenge it
// answered may be one the sensor has forgotten by a restart.
//
// SetLevel, SetHold and Abort run on the user-interface thread, the handlers
// on the operation's thread; the link state below changes only under m_lock,
// and frames and notifications leave after it is released.
class LinkOp : public DeviceOperation {
public:
    static const BYTE kCommand = 0xA0;
    static const BYTE kRetries = 10;
    static const DWORD kIntervalMs = 500;
    // Ticks after which an unanswered request counts as lost: longer than
    // two scan replies at 19200 baud ahead of its own.
    static const DWORD kReplyTicks = 6;
    static const BYTE kTopLevel = 3;

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

    // A request sent whose reply has not come yet.
    struct Request {
        BYTE sub;            // Get or Set
        BYTE level;          // a Set's level
        DWORD answerNumber;  // which challenge a Set answered
        DWORD tick;          // the tick it went out on
    };

    void HandleSetReply(BYTE level);
    void HandleChallenge(const std::string& reply);
    // Removes the oldest request of the kind in flight, with those sent
    // before it (their replies were lost), and restarts the retries; false
    // when none is in flight: the reply was not asked for.
    bool TakeInFlight(BYTE sub, Request* taken);
    bool GetInFlight() const;     // under m_lock
    void ForgetLostRequests();    // under m_lock
    std::string BuildRequest();   // under m_lock; empty when nothing is to go

    CriticalLock m_lock;  // guards the fields below
    WORD m_answer;        // CRC-16 of the last challenge
    DWORD m_answerNumber; // counts the challenges answered
    DWORD m_stage;
    BYTE m_current;       // the level the sensor confirmed
    BYTE m_requested;
    DWORD m_hold;
    DWORD m_ticks;        // ticks since the start
    std::deque<Request> m_inFlight;  // oldest first
};

#endif
