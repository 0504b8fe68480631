#ifndef TESTS_PROTOCOL_RECORDINGDEVICE_H
#define TESTS_PROTOCOL_RECORDINGDEVICE_H

#include <windows.h>

#include <string>

#include "mainwindow/Application.h"
#include "protocol/SensorDevice.h"
#include "sensor/ScanData.h"
#include "tests/protocol/EventLog.h"

// A sensor device that records what its operations do to it: every message
// they send ("send:<hex>", before the CRC is added), every event operation
// ("level:<n>", "version:<text>", "scan") and every request they make
// ("request version", "read function", "read function setting"). The link
// level the operations see is set by the test.
class RecordingDevice : public SensorDevice {
public:
    RecordingDevice() : m_level(0) {}

    // Lower-case hex without spaces, as the log writes messages.
    static std::string Hex(const std::string& bytes);
    // Bytes from a list of values.
    static std::string Bytes(std::initializer_list<int> values);
    // The message with its CRC appended, as the device hands replies over.
    static std::string Complete(std::string message);

    int SendFrame(std::string& message) override {
        m_log.Add("send:" + Hex(message));
        return 1;
    }
    BYTE GetLinkLevel() override { return static_cast<BYTE>(InterlockedCompareExchange(&m_level, 0, 0)); }
    void SetLevel(BYTE level) { InterlockedExchange(&m_level, level); }

    void OnLinkLevelChanged(BYTE level) override { m_log.Add("level:" + std::to_string(level)); }
    void OnVersion(const char* text) override { m_log.Add(std::string("version:") + text); }
    void OnScan(const ScanData* scan) override {
        // Copied at once, as the window does.
        EnterScan();
        for (WORD step = 0; step < ScanData::kStepCount; ++step) m_scan.SetStep(step, scan->GetStep(step));
        LeaveScan();
        m_log.Add("scan");
    }
    int RequestVersion() override {
        m_log.Add("request version");
        return 1;
    }
    int ReadFunction() override {
        m_log.Add("read function");
        return 0;
    }
    int ReadFunctionSetting() override {
        m_log.Add("read function setting");
        return 0;
    }

    WORD ScanStep(WORD step) {
        EnterScan();
        const WORD value = m_scan.GetStep(step);
        LeaveScan();
        return value;
    }

    EventLog m_log;

private:
    void EnterScan() { m_scanLock.Enter(); }
    void LeaveScan() { m_scanLock.Leave(); }

    volatile LONG m_level;
    CriticalLock m_scanLock;  // guards m_scan
    ScanData m_scan;
};

// An application whose step count the test sets and whose FRAM flag it reads.
class TestApplication : public Application {
public:
    TestApplication() : m_steps(ScanData::kStepCount) {}
    int GetStepCount() override { return static_cast<int>(InterlockedCompareExchange(&m_steps, 0, 0)); }
    void SetStepCount(int steps) { InterlockedExchange(&m_steps, steps); }

private:
    volatile LONG m_steps;
};

#endif
