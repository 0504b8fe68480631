#include "protocol/VersionOp.h"

#include <string.h>

#include "protocol/DeviceMessages.h"
#include "protocol/SensorDevice.h"

namespace {

const BYTE kGet = 0x69;
const size_t kReplyBytes = 2 + VersionOp::kTextChars + 2;

}  // namespace

VersionOp::VersionOp() : DeviceOperation(0, kIntervalMs) {
    m_text[0] = 0;
    AddMessageHandler(WM_TIMER, Handler(&VersionOp::OnTimer));
    AddMessageHandler(WM_OP_START, Handler(&VersionOp::OnStart));
    AddMessageHandler(WM_OP_REPLY, Handler(&VersionOp::HandleReply));
}

VersionOp::~VersionOp() {}

std::string VersionOp::GetText() {
    CriticalLock::Hold hold(m_lock);
    return std::string(m_text);
}

std::string VersionOp::ClearText() {
    CriticalLock::Hold hold(m_lock);
    m_text[0] = 0;
    return std::string(m_text);
}

bool VersionOp::IsLinked() {
    SensorDevice* device = m_device;
    return device != NULL && device->GetLinkLevel() >= 1;
}

LRESULT VersionOp::OnStart(WPARAM, LPARAM) {
    if (HasTimer()) return 0;
    // A fresh start belongs to a new connection: its first text is reported.
    ClearText();
    RestartTimer();
    if (IsLinked()) SendRequest();
    return 0;
}

LRESULT VersionOp::OnTimer(WPARAM, LPARAM) {
    if (m_device != NULL && !IsLinked()) {
        Abort();
        return 0;
    }
    SendRequest();
    return 0;
}

LRESULT VersionOp::HandleReply(WPARAM, LPARAM) {
    std::string reply;
    if (!TakeReply(&reply)) return 0;
    if (!IsRunning() || reply.size() != kReplyBytes || static_cast<BYTE>(reply[1]) != kGet) return 0;
    char text[kTextChars + 1];
    memcpy(text, reply.data() + 2, kTextChars);
    text[kTextChars] = 0;
    SensorDevice* device = m_device;
    if (device == NULL) {
        Remember(text);
        return 0;
    }
    // An answer that arrives after the link went down belongs to the sensor
    // that was left: reported, it would stand as the version while none is
    // linked. The check and the report are one step against the drop.
    device->WhileLinked([&] {
        if (Remember(text)) device->OnVersion(text);
    });
    return 0;
}

bool VersionOp::Remember(const char* text) {
    CriticalLock::Hold hold(m_lock);
    if (strcmp(text, m_text) == 0) return false;
    memcpy(m_text, text, sizeof(m_text));
    return true;
}

int VersionOp::SendRequest() {
    std::string message;
    message += static_cast<char>(kCommand);
    message += static_cast<char>(kGet);
    SensorDevice* device = m_device;
    return device != NULL ? device->SendFrame(message) : 0;
}
