#ifndef TESTS_PROTOCOL_RECORDINGPORT_H
#define TESTS_PROTOCOL_RECORDINGPORT_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "mainwindow/Application.h"
#include "protocol/DeviceHandOver.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"
#include "protocol/SensorDeviceBase.h"
#include "sensor/ScanData.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"
#include "tests/protocol/EventLog.h"

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

// The real device port with its port side recorded: frames written, and the
// notifications to the frame. Received bytes are injected through ReadAll,
// and SelectDevice creates the device that the test's factory makes.
class RecordingPort : public DevicePort {
public:
    typedef std::function<SensorDeviceBase*(WORD type)> Factory;

    RecordingPort() : m_sendResult(1) { InitializeCriticalSection(&m_lock); }
    ~RecordingPort() override {
        // The device's threads may still record while the base tears down.
        Detach();
        DeleteCriticalSection(&m_lock);
    }

    // The collaborators a device needs to open; a real application object,
    // since operations may ask it for shared values.
    void Wire(SensorCaps* caps, WaveFormRecord* record) {
        SetApplication(&m_application);
        SetSensorCaps(caps);
        SetWaveFormRecord(record);
    }

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
        return TRUE;
    }
    int ReadAll(std::string& buffer) override {
        EnterCriticalSection(&m_lock);
        const int n = static_cast<int>(m_incoming.size());
        buffer += m_incoming;
        m_incoming.clear();
        LeaveCriticalSection(&m_lock);
        return n;
    }
    // As the receive thread would: the bytes arrive and the event fires.
    void Receive(const std::string& bytes) {
        EnterCriticalSection(&m_lock);
        m_incoming += bytes;
        LeaveCriticalSection(&m_lock);
        OnCommEvent(EV_RXCHAR);
    }

    std::vector<Notification> Notifications() {
        EnterCriticalSection(&m_lock);
        std::vector<Notification> copy = m_notifications;
        LeaveCriticalSection(&m_lock);
        return copy;
    }
    std::vector<Notification> NotificationsOf(UINT msg) {
        std::vector<Notification> found;
        for (const Notification& n : Notifications())
            if (n.msg == msg) found.push_back(n);
        return found;
    }
    void ClearNotifications() {
        EnterCriticalSection(&m_lock);
        m_notifications.clear();
        LeaveCriticalSection(&m_lock);
    }
    bool WaitForNotification(UINT msg, DWORD timeoutMs = 5000) {
        const DWORD start = GetTickCount();
        while (NotificationsOf(msg).empty()) {
            if (GetTickCount() - start >= timeoutMs) return false;
            WaitForSingleObject(m_notified.Handle(), 50);
        }
        return true;
    }
    size_t BufferedBytes() { return ReceiveBufferSize(); }
    Application* TestApplication() { return &m_application; }

    Factory m_factory;
    EventLog m_frames;  // every string given to Send
    int m_sendResult;

protected:
    SensorDeviceBase* CreateDevice(WORD type) override { return m_factory ? m_factory(type) : NULL; }

private:
    class AutoEvent {
    public:
        AutoEvent() : m_h(CreateEventA(NULL, FALSE, FALSE, NULL)) {}
        ~AutoEvent() { CloseHandle(m_h); }
        HANDLE Handle() { return m_h; }

    private:
        HANDLE m_h;
    };

    void Record(UINT msg, bool sent, WPARAM wParam, LPARAM lParam) {
        Notification n = {msg, sent, wParam, lParam, std::string()};
        n.data = DataBehind(msg, wParam, lParam);
        EnterCriticalSection(&m_lock);
        m_notifications.push_back(n);
        LeaveCriticalSection(&m_lock);
        SetEvent(m_notified.Handle());
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

    Application m_application;  // constructed only; never initialised
    CRITICAL_SECTION m_lock;    // guards m_notifications and m_incoming
    std::vector<Notification> m_notifications;
    std::string m_incoming;
    AutoEvent m_notified;
};

#endif
