// Realtime scans per second through the device port against the sensor
// simulator pacing its line, at 115.2 and 57.6 kbit/s, compared with what
// the line can carry: one request frame and one reply frame per scan, each
// byte a start bit, eight data bits and the device type's stop bits.
//
// Needs the simulator beside it; bench/run-realtime-scan-bench starts both.
#include "bench/BenchClock.h"
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "mainwindow/Application.h"
#include "mainwindow/MainFrame.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"
#include "protocol/SensorDeviceBase.h"
#include "sensor/ScanData.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"

namespace {

const DWORD kWarmUpScans = 3;
const DWORD kMeasureMs = 15000;
const DWORD kTimeoutMs = 15000;

// The main window's end: notes when each scan arrived and keeps the link level.
class ScanCounter : public MainFrame {
public:
    ScanCounter() : m_scans(0), m_level(0), m_event(CreateEventA(NULL, FALSE, FALSE, NULL)) {
        InitializeCriticalSection(&m_lock);
    }
    ~ScanCounter() override {
        DeleteCriticalSection(&m_lock);
        CloseHandle(m_event);
    }

    BOOL PostMessage(UINT msg, WPARAM wParam, LPARAM) override {
        if (msg == WM_DEVICE_SCAN) {
            const double now = BenchSeconds();
            EnterCriticalSection(&m_lock);
            m_times.push_back(now);
            LeaveCriticalSection(&m_lock);
            InterlockedIncrement(&m_scans);
            SetEvent(m_event);
        } else if (msg == WM_DEVICE_CONNECTION_CHANGED) {
            InterlockedExchange(&m_level, static_cast<LONG>(wParam));
            SetEvent(m_event);
        }
        return TRUE;
    }
    LRESULT SendMessage(UINT, WPARAM, LPARAM) override { return 0; }

    LONG Scans() { return InterlockedCompareExchange(&m_scans, 0, 0); }
    // When scan index (0 = the first) arrived.
    double TimeOf(LONG index) {
        EnterCriticalSection(&m_lock);
        const double t = m_times.at(static_cast<size_t>(index));
        LeaveCriticalSection(&m_lock);
        return t;
    }
    LONG Level() { return InterlockedCompareExchange(&m_level, 0, 0); }
    // Waits until the scan count reaches count; false on time-out.
    bool WaitForScans(LONG count, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        while (Scans() < count) {
            const DWORD waited = GetTickCount() - start;
            if (waited >= timeoutMs) return false;
            WaitForSingleObject(m_event, timeoutMs - waited);
        }
        return true;
    }

private:
    volatile LONG m_scans;
    volatile LONG m_level;
    HANDLE m_event;
    CRITICAL_SECTION m_lock;     // guards m_times
    std::vector<double> m_times;  // arrival of every scan
};

size_t FrameBytes(size_t messageBytes) {
    std::string message(messageBytes - 2, '\0');
    std::string frame;
    SensorDeviceBase::AssembleFrame(message, frame);
    return frame.size();
}

// One rate: the device type selected (unless it is already), the link and
// realtime settled, scans counted over the measuring time. 0 when none came.
int Measure(DevicePort& port, ScanCounter& frame, WORD type, bool select, const char* name) {
    if (select && !port.SelectDevice(type)) {
        printf("%s: device type %u cannot be selected\n", name, type);
        return 0;
    }
    DCB dcb;
    DWORD mask, in, out;
    port.GetConfig(&dcb, &mask, &in, &out);
    const int stopBits = dcb.StopBits == TWOSTOPBITS ? 2 : 1;
    const double bitsPerByte = 1 + dcb.ByteSize + stopBits;
    const size_t request = FrameBytes(4);
    const size_t reply = FrameBytes(2 * ScanData::kStepCount + 4);

    const LONG before = frame.Scans();
    if (!frame.WaitForScans(before + kWarmUpScans, kTimeoutMs)) {
        printf("%s: no realtime scans (link level %ld)\n", name, frame.Level());
        return 0;
    }
    // From the arrival of one scan to that of the last within the measuring
    // time: whole scan cycles only.
    const LONG first = frame.Scans() - 1;
    frame.WaitForScans(LONG_MAX, kMeasureMs);
    const LONG last = frame.Scans() - 1;
    const LONG scans = last - first;
    const double seconds = frame.TimeOf(last) - frame.TimeOf(first);

    const double measured = scans / seconds;
    const double limit = dcb.BaudRate / (bitsPerByte * static_cast<double>(request + reply));
    printf("%s: %lu baud, %d stop bits, %u + %u bytes per scan\n", name, dcb.BaudRate, stopBits,
           static_cast<unsigned>(request), static_cast<unsigned>(reply));
    printf("%s: %ld scans in %.2f s = %.3f scans/s; line limit %.3f scans/s; ratio %.1f%%\n", name, scans,
           seconds, measured, limit, 100.0 * measured / limit);
    return 1;
}

}  // namespace

int main() {
    const char* com = getenv("TIV_SIM_COM");
    if (com == NULL || atoi(com) == 0) {
        printf("needs the sensor simulator: run bench/run-realtime-scan-bench\n");
        return 2;
    }
    SensorCaps caps;
    WaveFormRecord waveForm;
    Application application;
    ScanCounter frame;
    DevicePort* port = new DevicePort;
    port->SetApplication(&application);
    port->SetFrame(&frame);
    port->SetWaveFormRecord(&waveForm);
    port->SetSensorCaps(&caps);
    // The port worker opens the port and asks for level 1; the counters keep
    // level 1 and realtime, and each device selection replays them.
    int ok = port->CreateEvents() && port->SelectDevice(2) && port->RequestOpen(atoi(com)) &&
             port->SetRealtime(1);
    ok = ok && Measure(*port, frame, 2, false, "115.2 kbit/s");
    ok = ok && Measure(*port, frame, 1, true, "57.6 kbit/s");
    port->SetRealtime(0);
    port->Detach();
    delete port;
    return ok ? 0 : 1;
}
