#include "protocol/DistanceOp.h"

#include "framework/LittleEndian.h"
#include "protocol/DeviceHost.h"
#include "protocol/DeviceMessages.h"
#include "protocol/SensorDevice.h"

namespace {

const BYTE kGet = 0x69;
const BYTE kUserLevel = 1;

}  // namespace

DistanceOp::DistanceOp() : DeviceOperation(0, kIntervalMs) {
    AddMessageHandler(WM_TIMER, Handler(&DistanceOp::OnTimer));
    AddMessageHandler(WM_OP_START, Handler(&DistanceOp::OnStart));
    AddMessageHandler(WM_OP_REPLY, Handler(&DistanceOp::HandleReply));
}

DistanceOp::~DistanceOp() {}

int DistanceOp::StepCount() {
    // Asked for every reply: the sensor may have changed since the last one.
    DeviceHost* application = m_application;
    return application != NULL ? application->GetStepCount() : ScanData::kStepCount;
}

LRESULT DistanceOp::OnStart(WPARAM, LPARAM) {
    if (HasTimer()) return 0;
    RestartTimer();
    SendRequest();
    return 0;
}

LRESULT DistanceOp::OnTimer(WPARAM, LPARAM) {
    SendRequest();
    return 0;
}

LRESULT DistanceOp::HandleReply(WPARAM, LPARAM) {
    std::string reply;
    if (!TakeReply(&reply)) return 0;
    const int count = StepCount();
    if (!IsRunning() || count <= 0) return 0;
    if (reply.size() != 2 * static_cast<size_t>(count) + 4 || static_cast<BYTE>(reply[1]) != kGet) return 0;
    RestartTimer();
    const BYTE* data = reinterpret_cast<const BYTE*>(reply.data()) + 2;
    // A sensor with fewer steps fills the record's middle (where the view,
    // the recording and the play-back draw it from); the steps outside hold
    // no echo, not what an earlier sensor left there.
    m_scan = ScanData();
    const int first = ScanData::FirstStep(count);
    for (int i = 0; i < count; ++i) {
        const WORD distance = ReadLeWord(data + 2 * i);
        m_scan.SetStep(static_cast<WORD>(first + i), distance);
    }
    SensorDevice* device = m_device;
    if (device != NULL) device->OnScan(&m_scan);
    SendRequest();
    return 0;
}

int DistanceOp::SendRequest() {
    SensorDevice* device = m_device;
    if (device == NULL || device->GetLinkLevel() != kUserLevel) return 0;
    std::string message;
    message += static_cast<char>(kCommand);
    message += static_cast<char>(kGet);
    return device->SendFrame(message);
}
