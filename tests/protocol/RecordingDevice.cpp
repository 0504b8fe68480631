#include "tests/protocol/RecordingDevice.h"

#include <stdio.h>

RecordingDevice::RecordingDevice(EventLog* log, LiveDevices* live)
    : m_openResult(1), m_keepBytes(false), m_sink(log != NULL ? log : &m_log), m_live(live), m_level(0) {
    if (m_live != NULL) m_live->Born(this);
}

RecordingDevice::~RecordingDevice() {
    if (m_live != NULL) m_live->Died(this);
}

std::string RecordingDevice::Hex(const std::string& bytes) {
    std::string hex;
    char pair[3];
    for (unsigned char c : bytes) {
        snprintf(pair, sizeof(pair), "%02x", c);
        hex += pair;
    }
    return hex;
}

std::string RecordingDevice::Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values) bytes += static_cast<char>(v);
    return bytes;
}

std::string RecordingDevice::Complete(std::string message) {
    std::string frame;
    AssembleFrame(message, frame);
    return message;
}

void RecordingDevice::Close() {
    Log("close");
    SensorDevice::Close();
}

int RecordingDevice::SetLinkLevel(BYTE level) {
    Use use(this);
    if (m_onLevel) m_onLevel();
    return Log("link:" + std::to_string(level), 20 + level);
}

int RecordingDevice::OnReceive(std::string& buffer, std::vector<std::string>& monitorLines) {
    Use use(this);
    monitorLines.push_back(buffer);
    if (!m_keepBytes) buffer.clear();
    return 1;
}

void RecordingDevice::OnScan(const ScanData* scan) {
    {
        CriticalLock::Hold hold(m_scanLock);
        for (WORD step = 0; step < ScanData::kStepCount; ++step) m_scan.SetStep(step, scan->GetStep(step));
    }
    Log("scan");
}

WORD RecordingDevice::ScanStep(WORD step) {
    CriticalLock::Hold hold(m_scanLock);
    return m_scan.GetStep(step);
}
