#include "protocol/ProbeDevice.h"

#include <new>

#include "protocol/BaudProbeOp.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"

ProbeDevice::ProbeDevice() {}

ProbeDevice::~ProbeDevice() {
    if (m_probe != NULL) {
        m_probe->Abort();
        m_probe->Detach();
    }
}

int ProbeDevice::Open() {
    if (m_port == NULL) return 0;
    if (m_probe == NULL) m_probe.reset(new (std::nothrow) BaudProbeOp);
    if (m_probe == NULL) return 0;
    m_probe->SetDevice(this);
    return 1;
}

void ProbeDevice::Close() {
    if (m_probe != NULL) {
        m_probe->Abort();
        m_probe->Detach();
    }
    SensorDeviceBase::Close();
}

int ProbeDevice::SetConnected(DWORD connected) {
    SensorDeviceBase::SetConnected(connected);
    if (m_probe == NULL) return 1;
    if (connected)
        m_probe->Start(0);
    else
        m_probe->Abort();
    return 1;
}

DWORD ProbeDevice::BaudOf(BYTE index) {
    switch (index) {
        case 0:
            return CBR_19200;
        case 1:
            return CBR_57600;
        default:
            return CBR_115200;
    }
}

void ProbeDevice::SetBaud(BYTE index) {
    // A replaced probe whose operation still ticks must not change the rate
    // under the device that replaced it.
    DevicePort* port = m_port;
    if (port == NULL || !IsConnected()) return;
    DCB dcb;
    DWORD mask = 0, inQueue = 0, outQueue = 0;
    if (!port->GetConfig(&dcb, &mask, &inQueue, &outQueue)) return;
    // Stop bits and the rest stay as the port set them for the probe.
    dcb.BaudRate = BaudOf(index);
    dcb.ByteSize = 8;
    port->Configure(&dcb, mask, inQueue, outQueue);
}

int ProbeDevice::SendRaw(const std::string& bytes) {
    DevicePort* port = m_port;
    if (!IsConnected() || port == NULL) return 0;
    CriticalLock::Hold hold(m_sendLock);
    return port->Send(bytes);
}

int ProbeDevice::SendFrame(std::string& message) {
    return SendRaw(message);
}

int ProbeDevice::OnReceive(std::string& buffer, std::vector<std::string>&) {
    if (IsConnected() && m_probe != NULL) m_probe->OnReply(buffer);
    buffer.clear();
    return 1;
}

int ProbeDevice::EncodeAreas(BYTE*, WORD*) {
    return 1;
}

int ProbeDevice::DecodeAreas(const WORD*, BYTE*) {
    return 1;
}

BOOL ProbeDevice::NotifyBaudFound(WORD index) {
    return PostToOwner(WM_DEVICE_TYPE_RECOGNIZED, index, 0);
}
