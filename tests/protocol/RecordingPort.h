#ifndef TESTS_PROTOCOL_RECORDINGPORT_H
#define TESTS_PROTOCOL_RECORDINGPORT_H

#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "framework/CriticalLock.h"
#include "framework/OwnedHandle.h"
#include "protocol/DeviceHandOver.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"
#include "protocol/SensorDeviceBase.h"
#include "sensor/ScanData.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"
#include "tests/protocol/EventLog.h"
#include "tests/protocol/TestHost.h"

// One notification as the frame would see it: for sent messages and for the
// hand-over buffers, the bytes behind the pointer are copied at once, as the
// frame's handlers copy them.
struct Notification {
    UINT msg;
    bool sent;
    WPARAM wParam;
    LPARAM lParam;
    std::string data;
};

// The real device port with its outside recorded, the one port double of
// the protocol tests: frames written, the notifications to the frame, and
// the line calls of the port worker. Received bytes are injected through
// ReadAll, SelectDevice creates the device that the test's factory makes,
// and the line is faked: Open answers m_openResult, GetDefaultCommConfig
// finds the ports in m_present.
class RecordingPort : public DevicePort {
public:
    typedef std::function<SensorDeviceBase*(WORD type)> Factory;

    RecordingPort()
        : m_sendResult(1),
          m_openResult(1),
          m_logLevels(false),
          m_lineThread(0),
          m_notified(CreateEventA(NULL, FALSE, FALSE, NULL)) {}
    ~RecordingPort() override {
        // The device's threads may still record while the base tears down.
        Detach();
    }

    // The collaborators a device needs to open; a host double, since
    // operations may ask it for shared values.
    void Wire(SensorCaps* caps, WaveFormRecord* record) {
        SetApplication(&m_host);
        SetSensorCaps(caps);
        SetWaveFormRecord(record);
    }

    // The line side: "open <n>", "close", "opened <port> <ok>", "list" in
    // m_line; the port list also as a notification.
    int Open(int port) override { return LineCall("open " + std::to_string(port), m_openResult); }
    int Close() override { return LineCall("close", 1); }
    BOOL GetDefaultCommConfig(int port, LPCOMMCONFIG config, LPDWORD size) override {
        LineCall("", 0);
        const bool fits = config != NULL && size != NULL && *size >= sizeof(COMMCONFIG);
        return fits && m_present.count(port) != 0 ? TRUE : FALSE;
    }
    // Logged after the notification, so a test that saw the entry sees both.
    BOOL NotifyPortOpened(int port, int ok) override {
        const BOOL posted = DevicePort::NotifyPortOpened(port, ok);
        m_line.Add("opened " + std::to_string(port) + " " + std::to_string(ok));
        return posted;
    }
    BOOL NotifyPortList(const DWORD* portBits) override {
        const BOOL posted = DevicePort::NotifyPortList(portBits);
        m_line.Add("list");
        return posted;
    }
    // Logs "level <n>" to m_line too when m_logLevels is set.
    int AcquireLinkLevel(BYTE level) override {
        if (m_logLevels) m_line.Add("level " + std::to_string(level));
        return DevicePort::AcquireLinkLevel(level);
    }
    // The thread of the latest line call.
    DWORD LineThread() { return static_cast<DWORD>(InterlockedCompareExchange(&m_lineThread, 0, 0)); }

    int Send(const std::string& bytes) override {
        m_frames.Add(bytes);
        return m_sendResult;
    }
    LRESULT SendToFrame(UINT msg, WPARAM wParam, LPARAM lParam) override {
        Record(msg, true, wParam, lParam);
        return 1;
    }
    BOOL PostToFrame(UINT msg, WPARAM wParam, LPARAM lParam) override {
        Record(msg, false, wParam, lParam);
        // Taken as the frame takes it: the port list is the receiver's to free.
        if (msg == WM_DEVICE_PORT_LIST) delete[] reinterpret_cast<DWORD*>(wParam);
        return TRUE;
    }
    int ReadAll(std::string& buffer) override {
        CriticalLock::Hold hold(m_lock);
        const int n = static_cast<int>(m_incoming.size());
        buffer += m_incoming;
        m_incoming.clear();
        return n;
    }
    // As the receive thread would: the bytes arrive and the event fires.
    void Receive(const std::string& bytes) {
        {
            CriticalLock::Hold hold(m_lock);
            m_incoming += bytes;
        }
        OnCommEvent(EV_RXCHAR);
    }

    std::vector<Notification> Notifications() {
        CriticalLock::Hold hold(m_lock);
        return m_notifications;
    }
    std::vector<Notification> NotificationsOf(UINT msg) {
        std::vector<Notification> found;
        for (const Notification& n : Notifications())
            if (n.msg == msg) found.push_back(n);
        return found;
    }
    void ClearNotifications() {
        CriticalLock::Hold hold(m_lock);
        m_notifications.clear();
    }
    bool WaitForNotification(UINT msg, DWORD timeoutMs = 5000) {
        const DWORD start = GetTickCount();
        while (NotificationsOf(msg).empty()) {
            if (GetTickCount() - start >= timeoutMs) return false;
            WaitForSingleObject(m_notified.Get(), 50);
        }
        return true;
    }
    size_t BufferedBytes() { return ReceiveBufferSize(); }
    TestHost* Host() { return &m_host; }

    Factory m_factory;
    EventLog m_frames;  // every string given to Send
    int m_sendResult;
    EventLog m_line;    // the line calls, see above
    int m_openResult;
    std::set<int> m_present;  // set before a scan is requested
    bool m_logLevels;         // set before the worker runs

protected:
    std::unique_ptr<SensorDeviceBase> CreateDevice(WORD type) override {
        return std::unique_ptr<SensorDeviceBase>(m_factory ? m_factory(type) : NULL);
    }

private:
    int LineCall(const std::string& entry, int result) {
        InterlockedExchange(&m_lineThread, static_cast<LONG>(GetCurrentThreadId()));
        if (!entry.empty()) m_line.Add(entry);
        return result;
    }
    void Record(UINT msg, bool sent, WPARAM wParam, LPARAM lParam) {
        Notification n = {msg, sent, wParam, lParam, std::string()};
        n.data = DataBehind(msg, wParam, lParam);
        {
            CriticalLock::Hold hold(m_lock);
            m_notifications.push_back(n);
        }
        SetEvent(m_notified.Get());
    }
    // What the frame would copy out of the message's pointer.
    std::string DataBehind(UINT msg, WPARAM wParam, LPARAM lParam) {
        CriticalLock::Hold hold(GetHandOver()->GetLock());
        if (msg == WM_DEVICE_COM_MONITOR_LINE) return *reinterpret_cast<const std::string*>(lParam);
        if (wParam == 0) return std::string();
        const char* p = reinterpret_cast<const char*>(wParam);
        switch (msg) {
            case WM_DEVICE_SENSOR_INFO:
                return std::string(p);
            case WM_DEVICE_AREA_READ:
                return std::string(p, 238);
            case WM_DEVICE_FRAM_DATA:
                return std::string(p, 2 * (lParam >> 16));
            case WM_DEVICE_FILTER_READ:
                return std::string(p, 2);
            case WM_DEVICE_PORT_LIST:
                return std::string(p, 32);
            case WM_DEVICE_SCAN:
                return ScanBytes(reinterpret_cast<const ScanData*>(wParam));
            default:
                return std::string();
        }
    }

    static std::string ScanBytes(const ScanData* scan) {
        std::string bytes;
        for (WORD step = 0; step < ScanData::kStepCount; ++step) {
            const WORD v = scan->GetStep(step);
            bytes += static_cast<char>(v & 0xFF);
            bytes += static_cast<char>(v >> 8);
        }
        return bytes;
    }

    TestHost m_host;
    volatile LONG m_lineThread;
    CriticalLock m_lock;  // guards m_notifications and m_incoming
    std::vector<Notification> m_notifications;
    std::string m_incoming;
    OwnedHandle m_notified;  // auto-reset; set after every notification
};

#endif
