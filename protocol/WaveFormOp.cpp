#include "protocol/WaveFormOp.h"

#include "protocol/DeviceHost.h"
#include "protocol/DeviceMessages.h"
#include "protocol/OperationParams.h"
#include "protocol/SensorDevice.h"

namespace {

const BYTE kGet = 0x69;
const BYTE kUserLevel = 1;
const size_t kReplyBytes = 36;
const size_t kDataBytes = 32;
const int kAgcOffset = 30;
const int kPositionOffset = 40;

}  // namespace

WaveFormOp::WaveFormOp() : DeviceOperation(0, kIntervalMs), m_step(0), m_flag(0) {
    ZeroMemory(m_record, sizeof(m_record));
    AddMessageHandler(WM_TIMER, Handler(&WaveFormOp::OnTimer));
    AddMessageHandler(WM_OP_START, Handler(&WaveFormOp::OnStart));
    AddMessageHandler(WM_OP_REPLY, Handler(&WaveFormOp::HandleReply));
}

WaveFormOp::~WaveFormOp() {
    Abort();
}

void WaveFormOp::Store(WORD step, BYTE flag) {
    CriticalLock::Hold hold(m_lock);
    m_step = step;
    m_flag = static_cast<BYTE>(flag & 1);
}

int WaveFormOp::SetParams(WORD step, BYTE flag) {
    Store(step, flag);
    return IsRunning() ? 1 : DeviceOperation::Start(0);
}

int WaveFormOp::Start(ULONG_PTR argument) {
    const WaveFormParams* params = reinterpret_cast<const WaveFormParams*>(argument);
    return params != NULL ? SetParams(params->step, params->flag) : 0;
}

LRESULT WaveFormOp::OnStart(WPARAM, LPARAM) {
    if (HasTimer()) return 0;
    RestartTimer();
    SendRequest();
    return 0;
}

LRESULT WaveFormOp::OnTimer(WPARAM, LPARAM) {
    SendRequest();
    return 0;
}

void WaveFormOp::BuildRecord(const std::string& reply, BYTE* record) {
    ZeroMemory(record, WaveFormRecord::kBytes);
    CopyMemory(record, reply.data() + 2, kDataBytes);
    // The channel bit is the selector the sensor echoes in bit 7.
    record[1] = static_cast<BYTE>((record[1] & ~1) | ((record[1] >> 7) & 1));
    const WORD position = static_cast<WORD>(record[0] | ((record[1] & 3) << 8));
    record[kPositionOffset] = static_cast<BYTE>(position & 0xFF);
    record[kPositionOffset + 1] = static_cast<BYTE>(position >> 8);
}

LRESULT WaveFormOp::HandleReply(WPARAM, LPARAM) {
    std::string reply;
    if (!TakeReply(&reply) || !IsRunning()) return 0;
    if (reply.size() != kReplyBytes || static_cast<BYTE>(reply[1]) != kGet) return 0;
    RestartTimer();
    BuildRecord(reply, m_record);
    const WORD agc = static_cast<WORD>(m_record[kAgcOffset] | (m_record[kAgcOffset + 1] << 8));
    DeviceHost* application = m_application;
    if (application != NULL && application->GetWaveFormBoth() != 0 && agc != 0) {
        CriticalLock::Hold hold(m_lock);
        m_flag ^= 1;
    }
    SensorDevice* device = m_device;
    if (device != NULL) device->OnWaveForm(m_record);
    SendRequest();
    return 0;
}

int WaveFormOp::SendRequest() {
    SensorDevice* device = m_device;
    if (device == NULL || device->GetLinkLevel() != kUserLevel) return 0;
    WORD step;
    BYTE flag;
    {
        CriticalLock::Hold hold(m_lock);
        step = m_step;
        flag = m_flag;
    }
    std::string message;
    message += static_cast<char>(kCommand);
    message += static_cast<char>(kGet);
    message += static_cast<char>(step & 0xFF);
    message += static_cast<char>((flag << 7) | ((step >> 8) & 3));
    return device->SendFrame(message);
}
