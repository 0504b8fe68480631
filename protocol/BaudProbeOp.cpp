#include "protocol/BaudProbeOp.h"

#include "protocol/DeviceMessages.h"
#include "protocol/ProbeDevice.h"
#include "protocol/SensorDeviceBase.h"

namespace {

// The first text character of a message whose command is 0xA0..0xA3.
const char kLinkFamilyText = 0x48;
const size_t kChallengeReplyBytes = 12;

}  // namespace

const char BaudProbeOp::kProbeFrame[8] = {0x02, 0x48, 0x26, 0x44, 0x58, 0x34, 0x30, 0x03};

BaudProbeOp::BaudProbeOp() : DeviceOperation(0, kIntervalMs), m_probe(NULL), m_index(0), m_sent(false) {
    AddMessageHandler(WM_TIMER, Handler(&BaudProbeOp::OnTimer));
    AddMessageHandler(WM_OP_START, Handler(&BaudProbeOp::OnStart));
    AddMessageHandler(WM_OP_REPLY, Handler(&BaudProbeOp::OnReply));
}

BaudProbeOp::~BaudProbeOp() {
    Abort();
}

void BaudProbeOp::SetDevice(ProbeDevice* device) {
    m_probe = device;
}

void BaudProbeOp::Detach() {
    m_probe = NULL;
    DeviceOperation::Detach();
}

int BaudProbeOp::Start(ULONG_PTR argument) {
    if (IsRunning()) return 0;
    m_index = 0;  // before the thread starts, which orders it for that thread
    return DeviceOperation::Start(argument);
}

LRESULT BaudProbeOp::OnStart(WPARAM, LPARAM) {
    if (HasTimer()) return 0;
    m_buffer.clear();  // nothing of an earlier run counts
    RestartTimer();
    SendRequest();
    return 0;
}

LRESULT BaudProbeOp::OnTimer(WPARAM, LPARAM) {
    // Bytes that came before the switch belong to the rate they came at.
    TakeReplies();
    if (!IsRunning()) return 0;
    if (m_sent) m_index = static_cast<BYTE>((m_index + 1) % kRateCount);
    m_buffer.clear();
    SendRequest();
    return 0;
}

LRESULT BaudProbeOp::OnReply(WPARAM, LPARAM) {
    TakeReplies();
    return 0;
}

void BaudProbeOp::TakeReplies() {
    std::string bytes;
    while (TakeReply(&bytes)) {
        ProbeDevice* probe = m_probe;
        if (!IsRunning() || probe == NULL) continue;
        m_buffer += bytes;
        if (FindChallengeReply(m_buffer)) probe->NotifyBaudFound(m_index);
    }
}

int BaudProbeOp::FindChallengeReply(std::string& buffer) {
    std::string message;
    while (!buffer.empty()) {
        const size_t stx = buffer.find(SensorDeviceBase::kStx);
        if (stx == std::string::npos) {
            buffer.clear();
            return 0;
        }
        buffer.erase(0, stx);
        if (buffer.size() < 2) return 0;
        if (buffer[1] != kLinkFamilyText) {
            buffer.clear();
            return 0;
        }
        const size_t etx = buffer.find(SensorDeviceBase::kEtx);
        if (etx == std::string::npos) {
            // Noise with an STX and no ETX must not grow the buffer: the
            // oldest STX goes, the search goes on from the next one.
            if (buffer.size() <= kMaxBufferBytes) return 0;
            buffer.erase(0, 1);
            continue;
        }
        SensorDeviceBase::Decode6(buffer.substr(1, etx - 1), message);
        buffer.erase(0, etx + 1);
        if (message.size() == kChallengeReplyBytes && SensorDeviceBase::Crc16(message) == 0) {
            buffer.clear();
            return 1;
        }
    }
    return 0;
}

int BaudProbeOp::SendRequest() {
    ProbeDevice* probe = m_probe;
    if (probe == NULL) return 0;
    probe->SetBaud(m_index);
    std::string frame(kProbeFrame, sizeof(kProbeFrame));
    m_sent = probe->SendRaw(frame) != 0;
    return m_sent ? 1 : 0;
}
