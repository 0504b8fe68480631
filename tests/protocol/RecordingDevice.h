#ifndef TESTS_PROTOCOL_RECORDINGDEVICE_H
#define TESTS_PROTOCOL_RECORDINGDEVICE_H

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>

#include "protocol/SensorDevice.h"
#include "sensor/ScanData.h"
#include "tests/protocol/EventLog.h"
#include "tests/protocol/LiveDevices.h"

// A sensor device that records what reaches it from either side.
// From the device port: "link:3", "realtime:1", "io:1", "trouble:0",
// "stats:1", "wave:1,700,1", "areas", "ram:<start>,<count>",
// "io:<disguised>,<mask>", "firmware:<path>", "levelswitch:1",
// "function:<word>", "close". From its operations: every message they send
// ("send:<hex>", before the CRC is added), every event ("level:<n>",
// "version:<text>", "scan") and every request they make ("request version",
// "read function", "read function setting"). The link level the operations
// see is set by the test. It logs to its own m_log or to the test's log;
// given a LiveDevices it reports its life and each call made inside it.
class RecordingDevice : public SensorDevice {
public:
    explicit RecordingDevice(EventLog* log = NULL, LiveDevices* live = NULL);
    ~RecordingDevice() override;

    // Lower-case hex without spaces, as the log writes messages.
    static std::string Hex(const std::string& bytes);
    // Bytes from a list of values.
    static std::string Bytes(std::initializer_list<int> values);
    // The message with its CRC appended, as the device hands replies over.
    static std::string Complete(std::string message);

    // The port's side.
    int Open() override { return m_openResult; }
    void Close() override;
    int SetLinkLevel(BYTE level) override;
    int SetRealtime(DWORD on) override { return Log("realtime:" + std::to_string(on), 7); }
    int SetIoPolling(DWORD on) override { return Log("io:" + std::to_string(on), 7); }
    int SetTroublePolling(DWORD on) override { return Log("trouble:" + std::to_string(on), 7); }
    int SetStatisticsPolling(DWORD on) override { return Log("stats:" + std::to_string(on), 7); }
    int SetWaveForm(DWORD on, WORD step, BYTE flag) override {
        return Log("wave:" + std::to_string(on) + "," + std::to_string(step) + "," + std::to_string(flag), 7);
    }
    int WriteAreas(const BYTE*) override { return Log("areas"); }
    int ReadRam(WORD start, WORD count) override {
        return Log("ram:" + std::to_string(start) + "," + std::to_string(count));
    }
    int WriteIo(BYTE d, BYTE m) override { return Log("io:" + std::to_string(d) + "," + std::to_string(m)); }
    int UpdateFirmware(const char* path) override { return Log(std::string("firmware:") + path); }
    int SetLevelSwitch(DWORD on) override { return Log("levelswitch:" + std::to_string(on)); }
    int WriteFunction(WORD f) override { return Log("function:" + std::to_string(f)); }
    // Hands every byte on as one monitor line; keeps them when m_keepBytes.
    int OnReceive(std::string& buffer, std::vector<std::string>& monitorLines) override;

    // The operations' side.
    int SendFrame(std::string& message) override { return Log("send:" + Hex(message)); }
    BYTE GetLinkLevel() override { return static_cast<BYTE>(InterlockedCompareExchange(&m_level, 0, 0)); }
    void SetLevel(BYTE level) { InterlockedExchange(&m_level, level); }
    void OnLinkLevelChanged(BYTE level) override { Log("level:" + std::to_string(level)); }
    void OnVersion(const char* text) override { Log(std::string("version:") + text); }
    void OnScan(const ScanData* scan) override;
    int RequestVersion() override { return Log("request version"); }
    int ReadFunction() override { return Log("read function", 0); }
    int ReadFunctionSetting() override { return Log("read function setting", 0); }
    // The last scan handed over, copied at once as the window copies it.
    WORD ScanStep(WORD step);

    EventLog m_log;  // the log unless the test gives one
    int m_openResult;
    bool m_keepBytes;
    std::function<void()> m_onLevel;  // runs inside SetLinkLevel

private:
    // A call inside the device, for LiveDevices.
    class Use {
    public:
        explicit Use(RecordingDevice* d) : m_d(d) {
            if (m_d->m_live != NULL) m_d->m_live->Enter(m_d);
        }
        ~Use() {
            if (m_d->m_live != NULL) m_d->m_live->Leave(m_d);
        }

    private:
        RecordingDevice* m_d;
    };

    int Log(const std::string& entry, int result = 1) {
        m_sink->Add(entry);
        return result;
    }

    EventLog* m_sink;      // m_log or the test's; set at construction
    LiveDevices* m_live;   // may be 0
    volatile LONG m_level;
    CriticalLock m_scanLock;  // guards m_scan
    ScanData m_scan;
};

#endif
