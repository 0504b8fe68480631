#include "protocol/IoOp.h"

#include "protocol/DeviceMessages.h"
#include "protocol/SensorDevice.h"

namespace {

const BYTE kGet = 0x69;
const BYTE kSet = 0x5A;
const BYTE kUserLevel = 1;
const size_t kStateReplyBytes = 7;
const size_t kForceReplyBytes = 6;

}  // namespace

IoOp::IoOp(DWORD intervalMs)
    : DeviceOperation(kRetries, intervalMs), m_tickMs(intervalMs), m_mode(IoParams::kPoll), m_disguised(0), m_mask(0),
      m_resumePolling(0), m_waiting{IoParams::kPoll, 0, 0, false}, m_pollTurn(false) {
    AddMessageHandler(WM_TIMER, Handler(&IoOp::OnTimer));
    AddMessageHandler(WM_OP_START, Handler(&IoOp::OnStart));
    AddMessageHandler(WM_OP_REPLY, Handler(&IoOp::HandleReply));
}

IoOp::~IoOp() {
    Abort();
}

int IoOp::Start(ULONG_PTR argument) {
    const IoParams* params = reinterpret_cast<const IoParams*>(argument);
    if (params == NULL) {
        Abort();
        return 0;
    }
    if (IsRunning() && Redirect(*params)) return 1;
    {
        CriticalLock::Hold hold(m_lock);
        m_mode = params->mode == IoParams::kPoll ? IoParams::kPoll : IoParams::kForce;
        m_disguised = params->disguised;
        m_mask = params->mask;
        m_resumePolling = 0;
        m_waiting.mode = IoParams::kPoll;
    }
    return DeviceOperation::Start(0);
}

int IoOp::Redirect(const IoParams& params) {
    {
        CriticalLock::Hold hold(m_lock);
        // The operation thread may have just ended a force: then start anew.
        if (!IsRunning()) return 0;
        if (params.mode == IoParams::kPoll) {
            if (m_mode == IoParams::kForce) m_resumePolling = 1;
            return 1;
        }
        if (m_mode == IoParams::kForce && m_mask != 0) {
            // The force on the line is not confirmed yet: this one follows it.
            m_waiting = Request{IoParams::kForce, params.disguised, params.mask, false};
            return 1;
        }
        // A release waits for its echo as long as the link stands; the new
        // force carries every line, so it takes the release's place.
        if (m_mode == IoParams::kPoll) m_resumePolling = 1;
        m_mode = IoParams::kForce;
        m_disguised = params.disguised;
        m_mask = params.mask;
    }
    // The operation's thread sends the force with fresh retries; a poll
    // reply no longer matches.
    PostMessage(WM_OP_START, 0, 0);
    return 1;
}

void IoOp::Abort() {
    {
        CriticalLock::Hold hold(m_lock);
        m_resumePolling = 0;
        m_waiting.mode = IoParams::kPoll;
    }
    DeviceOperation::Abort();
}

void IoOp::StopPolling() {
    {
        CriticalLock::Hold hold(m_lock);
        m_resumePolling = 0;
        // Decided under the lock EndForce decides under: a force still on
        // the line sees the request gone when it ends; else stop here.
        if (IsRunning() && m_mode == IoParams::kForce) return;
    }
    Abort();
}

void IoOp::EndForce(DWORD confirmed) {
    SensorDevice* device = m_device;
    if (device != NULL) device->OnIoForced(confirmed);
    {
        CriticalLock::Hold hold(m_lock);
        if (m_waiting.mode == IoParams::kForce) {
            m_disguised = m_waiting.disguised;
            m_mask = m_waiting.mask;
            m_waiting.mode = IoParams::kPoll;
        } else if (!m_resumePolling) {
            // Under the lock, so that a Start on the user-interface thread
            // sees either the force running or the operation stopped.
            DeviceOperation::Abort();
            return;
        } else {
            m_resumePolling = 0;
            m_mode = IoParams::kPoll;
            m_disguised = 0;
            m_mask = 0;
        }
    }
    SendFresh();
}

void IoOp::SendFresh() {
    SetRetry(kRetries, m_tickMs);
    if (LinkLevel() == kUserLevel) SendRequest();
}

IoOp::Request IoOp::Current() {
    CriticalLock::Hold hold(m_lock);
    return Request{m_mode, m_disguised, m_mask, m_mode == IoParams::kPoll || PollsBesideRelease()};
}

IoOp::Request IoOp::Next() {
    CriticalLock::Hold hold(m_lock);
    m_pollTurn = PollsBesideRelease() && !m_pollTurn;
    if (m_pollTurn) return Request{IoParams::kPoll, 0, 0, true};
    return Request{m_mode, m_disguised, m_mask, m_mode == IoParams::kPoll};
}

bool IoOp::PollsBesideRelease() const {
    return m_mode == IoParams::kForce && m_mask == 0 && m_resumePolling != 0;
}

BYTE IoOp::LinkLevel() {
    SensorDevice* device = m_device;
    return device != NULL ? device->GetLinkLevel() : 0;
}

LRESULT IoOp::OnStart(WPARAM, LPARAM) {
    SendFresh();
    return 0;
}

LRESULT IoOp::OnTimer(WPARAM, LPARAM) {
    CountDown();
    const Request request = Current();
    const BYTE level = LinkLevel();
    if (request.mode == IoParams::kForce) {
        // The release waits out any level, but not a lost link.
        const bool release = request.mask == 0;
        if (release ? level == 0 : IsExhausted() != FALSE) {
            EndForce(0);
            return 0;
        }
    }
    if (level == kUserLevel) SendRequest();
    return 0;
}

LRESULT IoOp::HandleReply(WPARAM, LPARAM) {
    std::string reply;
    if (!TakeReply(&reply) || !IsRunning() || reply.size() < 2) return 0;
    const Request request = Current();
    const BYTE* bytes = reinterpret_cast<const BYTE*>(reply.data());
    if (bytes[1] == kSet) {
        if (request.mode != IoParams::kForce || reply.size() != kForceReplyBytes) return 0;
        if (bytes[2] != request.disguised || bytes[3] != request.mask) return 0;
        EndForce(1);
        return 0;
    }
    if (bytes[1] != kGet || !request.polling || reply.size() != kStateReplyBytes) return 0;
    // Only a reply that passed every check refreshes the retries.
    RestartTimer();
    SensorDevice* device = m_device;
    if (device != NULL) device->OnIoState(bytes[2], bytes[3], bytes[4]);
    SendRequest();
    return 0;
}

int IoOp::SendRequest() {
    SensorDevice* device = m_device;
    if (device == NULL) return 0;
    const Request request = Next();
    std::string message;
    message += static_cast<char>(kCommand);
    if (request.mode == IoParams::kPoll) {
        message += static_cast<char>(kGet);
    } else {
        message += static_cast<char>(kSet);
        message += static_cast<char>(request.disguised);
        message += static_cast<char>(request.mask);
    }
    return device->SendFrame(message);
}
