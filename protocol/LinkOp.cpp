#include "protocol/LinkOp.h"

#include "framework/LittleEndian.h"
#include "protocol/DeviceHost.h"
#include "protocol/DeviceMessages.h"
#include "protocol/SensorDevice.h"

namespace {

const BYTE kGet = 0x69;
const BYTE kSet = 0x5A;
const size_t kSetReplyBytes = 5;
const size_t kChallengeReplyBytes = 12;
const size_t kChallengeBytes = 8;

}  // namespace

LinkOp::LinkOp()
    : DeviceOperation(kRetries, kIntervalMs), m_answer(0), m_answerNumber(0), m_stage(kNoAnswer), m_current(0),
      m_requested(0), m_hold(0), m_ticks(0) {
    AddMessageHandler(WM_TIMER, Handler(&LinkOp::OnTimer));
    AddMessageHandler(WM_OP_START, Handler(&LinkOp::OnStart));
    AddMessageHandler(WM_OP_REPLY, Handler(&LinkOp::HandleReply));
}

LinkOp::~LinkOp() {}

void LinkOp::Detach() {
    m_device = NULL;
}

void LinkOp::Abort() {
    const bool wasRunning = IsRunning() != FALSE;
    // The thread stops first, so no reply handled meanwhile raises the level
    // again behind the reset below.
    DeviceOperation::Abort();
    {
        CriticalLock::Hold hold(m_lock);
        m_requested = 0;
        m_current = 0;
        m_stage = kNoAnswer;
        m_hold = 0;
        m_inFlight.clear();
    }
    // Both levels 0: a Set with level 0 and the kept answer tells the sensor.
    if (wasRunning) SendRequest();
    SensorDevice* device = m_device;
    if (device != NULL) device->OnLinkLevelChanged(0);
}

BYTE LinkOp::GetLevel() {
    CriticalLock::Hold hold(m_lock);
    return m_current;
}

int LinkOp::SetLevel(BYTE level) {
    if (level == 0) {
        Abort();
        return 1;
    }
    if (!IsRunning()) {
        {
            CriticalLock::Hold hold(m_lock);
            m_requested = level;
            // The Set with level 0 that ended the last run is no request of
            // this one: a reply to it, or to anything older, must not count.
            m_inFlight.clear();
        }
        return Start(0);
    }
    {
        CriticalLock::Hold hold(m_lock);
        if (level == m_requested) return 1;
        m_requested = level;
        m_stage = kNoAnswer;
    }
    RestartTimer();
    SendRequest();
    return 1;
}

void LinkOp::SetHold(DWORD hold) {
    CriticalLock::Hold lock(m_lock);
    m_hold = hold;
    // Whatever was asked before belongs to the time before the hold.
    m_inFlight.clear();
}

bool LinkOp::GetInFlight() const {
    for (const Request& request : m_inFlight)
        if (request.sub == kGet) return true;
    return false;
}

std::string LinkOp::BuildRequest() {
    std::string message(1, static_cast<char>(kCommand));
    if (m_current < m_requested && m_stage != kAnswerReady) {
        // A second Get would replace the challenge the first one fetches.
        if (GetInFlight()) return std::string();
        m_inFlight.push_back(Request{kGet, 0, 0, m_ticks});
        message += static_cast<char>(kGet);
        return message;
    }
    m_inFlight.push_back(Request{kSet, m_requested, m_answerNumber, m_ticks});
    message += static_cast<char>(kSet);
    message += static_cast<char>(m_requested);
    AppendLeWord(&message, m_answer);
    return message;
}

int LinkOp::SendRequest() {
    std::string message;
    {
        CriticalLock::Hold hold(m_lock);
        if (m_hold != 0) return 0;
        message = BuildRequest();
    }
    SensorDevice* device = m_device;
    return device != NULL && !message.empty() ? device->SendFrame(message) : 0;
}

bool LinkOp::TakeInFlight(BYTE sub, Request* taken) {
    {
        CriticalLock::Hold hold(m_lock);
        size_t i = 0;
        while (i < m_inFlight.size() && m_inFlight[i].sub != sub) ++i;
        if (i == m_inFlight.size()) return false;
        *taken = m_inFlight[i];
        m_inFlight.erase(m_inFlight.begin(), m_inFlight.begin() + static_cast<std::ptrdiff_t>(i) + 1);
    }
    // The sensor answers: fresh retries.
    RestartTimer();
    return true;
}

void LinkOp::ForgetLostRequests() {
    while (!m_inFlight.empty() && m_ticks - m_inFlight.front().tick >= kReplyTicks) m_inFlight.pop_front();
}

LRESULT LinkOp::OnStart(WPARAM, LPARAM) {
    // The first request goes out on the first tick.
    if (!HasTimer()) RestartTimer();
    return 0;
}

LRESULT LinkOp::OnTimer(WPARAM, LPARAM) {
    {
        CriticalLock::Hold hold(m_lock);
        if (m_hold != 0) return 0;
    }
    CountDown();
    bool dropped = false;
    {
        CriticalLock::Hold hold(m_lock);
        ++m_ticks;
        ForgetLostRequests();
    }
    if (IsExhausted()) {
        // Exhausted stays exhausted until a good reply: checked on every tick.
        CriticalLock::Hold hold(m_lock);
        if (m_current != 0) {
            m_current = 0;
            // A sensor that restarted must get a fresh challenge, not an
            // answer to the one it has forgotten.
            m_stage = kNoAnswer;
            dropped = true;
        }
    }
    SensorDevice* device = m_device;
    if (dropped && device != NULL) device->OnLinkLevelChanged(0);
    SendRequest();
    return 0;
}

LRESULT LinkOp::HandleReply(WPARAM, LPARAM) {
    std::string reply;
    if (!TakeReply(&reply)) return 0;
    if (!IsRunning() || reply.size() < 2) return 0;
    const BYTE sub = static_cast<BYTE>(reply[1]);
    const bool setReply = sub == kSet && reply.size() == kSetReplyBytes && static_cast<BYTE>(reply[2]) <= kTopLevel;
    const bool challenge = sub == kGet && reply.size() == kChallengeReplyBytes;
    // Anything else is ignored, and restarts no timer: the timer resends,
    // and a sensor that answers nothing useful still falls silent.
    if (setReply) HandleSetReply(static_cast<BYTE>(reply[2]));
    if (challenge) HandleChallenge(reply);
    return 0;
}

void LinkOp::HandleSetReply(BYTE level) {
    Request sent;
    if (!TakeInFlight(kSet, &sent)) return;
    bool established = false;
    bool climb = false;
    {
        CriticalLock::Hold hold(m_lock);
        if (level == m_current) {
            // A keep-alive, or a refused Set. Refused with the answer in
            // hand, the climb starts again from a Get; an older answer's
            // refusal came late and changes nothing.
            if (sent.level != m_current && sent.answerNumber == m_answerNumber) m_stage = kNoAnswer;
            return;
        }
        established = m_current == 0;
        m_current = level;
        m_stage = kNoAnswer;
        climb = m_current < m_requested;
    }
    SensorDevice* device = m_device;
    if (device != NULL) {
        device->OnLinkLevelChanged(level);
        if (established) {
            device->RequestVersion();
            device->ReadFunction();
            device->ReadFunctionSetting();
        }
    }
    if (climb) SendRequest();
}

void LinkOp::HandleChallenge(const std::string& reply) {
    // The register over the challenge and two zero bytes gives its CRC.
    std::string challenge = reply.substr(2, kChallengeBytes);
    challenge.append(2, '\0');
    const WORD answer = SensorDeviceBase::Crc16(challenge);
    Request sent;
    if (!TakeInFlight(kGet, &sent)) return;
    bool newConnection = false;
    {
        CriticalLock::Hold hold(m_lock);
        m_answer = answer;
        ++m_answerNumber;
        m_stage = kAnswerReady;
        newConnection = m_current == 0;
    }
    // A new connection may be another sensor: its FRAM is not read yet.
    DeviceHost* application = m_application;
    if (newConnection && application != NULL) application->SetValue5(0);
    SendRequest();
}
