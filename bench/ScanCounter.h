#ifndef BENCH_SCANCOUNTER_H
#define BENCH_SCANCOUNTER_H

#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "bench/BenchClock.h"
#include "framework/CriticalLock.h"
#include "framework/OwnedHandle.h"
#include "mainwindow/frame/MainFrame.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"
#include "protocol/SensorDeviceBase.h"
#include "sensor/ScanData.h"

// The main window's end for the benchmarks: notes when each scan arrived,
// keeps the link level and the last port report.
class ScanCounter : public MainFrame {
public:
    ScanCounter() : m_scans(0), m_level(0), m_opened(-1), m_event(CreateEventA(NULL, FALSE, FALSE, NULL)) {}

    BOOL PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_DEVICE_SCAN) {
            const double now = BenchSeconds();
            CriticalLock::Hold hold(m_lock);
            m_times.push_back(now);
            InterlockedIncrement(&m_scans);
        } else if (msg == WM_DEVICE_CONNECTION_CHANGED) {
            InterlockedExchange(&m_level, static_cast<LONG>(wParam));
        } else if (msg == WM_DEVICE_PORT_OPENED) {
            // Port and success in one value: port * 2 + ok.
            InterlockedExchange(&m_opened, static_cast<LONG>(wParam * 2 + (lParam != 0 ? 1 : 0)));
        }
        SetEvent(m_event);
        return TRUE;
    }
    LRESULT SendMessage(UINT, WPARAM, LPARAM) override { return 0; }

    LONG Scans() { return InterlockedCompareExchange(&m_scans, 0, 0); }
    // When scan index (0 = the first) arrived.
    double TimeOf(LONG index) {
        CriticalLock::Hold hold(m_lock);
        return m_times.at(static_cast<size_t>(index));
    }
    LONG Level() { return InterlockedCompareExchange(&m_level, 0, 0); }
    // The last WM_DEVICE_PORT_OPENED as port * 2 + ok; -1 before the first.
    LONG Opened() { return InterlockedCompareExchange(&m_opened, 0, 0); }
    void ForgetOpened() { InterlockedExchange(&m_opened, -1); }
    // Waits until the scan count reaches count; false on time-out.
    bool WaitForScans(LONG count, DWORD timeoutMs) {
        return WaitUntil([&] { return Scans() >= count; }, timeoutMs);
    }
    bool WaitForLevel(LONG level, DWORD timeoutMs) {
        return WaitUntil([&] { return Level() == level; }, timeoutMs);
    }
    bool WaitForOpened(LONG portTimesTwoPlusOk, DWORD timeoutMs) {
        return WaitUntil([&] { return Opened() == portTimesTwoPlusOk; }, timeoutMs);
    }

private:
    template <typename Done>
    bool WaitUntil(Done done, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        while (!done()) {
            const DWORD waited = GetTickCount() - start;
            if (waited >= timeoutMs) return false;
            WaitForSingleObject(m_event, timeoutMs - waited);
        }
        return true;
    }

    volatile LONG m_scans;
    volatile LONG m_level;
    volatile LONG m_opened;
    OwnedHandle m_event;
    CriticalLock m_lock;          // guards m_times
    std::vector<double> m_times;  // arrival of every scan
};

// What the line can carry in realtime scans per second: one request frame
// and one reply frame per scan, each byte a start bit, eight data bits and
// the device type's stop bits. Prints the line's figures under name.
inline double RealtimeLineLimit(DevicePort& port, const char* name) {
    DCB dcb;
    DWORD mask, in, out;
    port.GetConfig(&dcb, &mask, &in, &out);
    const int stopBits = dcb.StopBits == TWOSTOPBITS ? 2 : 1;
    const double bitsPerByte = 1 + dcb.ByteSize + stopBits;
    std::string request(2, '\0'), reply(2 * ScanData::kStepCount + 2, '\0'), requestFrame, replyFrame;
    SensorDeviceBase::AssembleFrame(request, requestFrame);
    SensorDeviceBase::AssembleFrame(reply, replyFrame);
    printf("%s: %lu baud, %d stop bits, %u + %u bytes per scan\n", name, dcb.BaudRate, stopBits,
           static_cast<unsigned>(requestFrame.size()), static_cast<unsigned>(replyFrame.size()));
    return dcb.BaudRate / (bitsPerByte * static_cast<double>(requestFrame.size() + replyFrame.size()));
}

// Realtime scans per second over the measuring time against what the line
// can carry. Prints both and returns the ratio in percent; 0 when no scans
// came.
inline double MeasureRealtime(DevicePort& port, ScanCounter& frame, const char* name, DWORD measureMs) {
    const LONG kWarmUpScans = 3;
    const DWORD kTimeoutMs = 15000;
    const LONG before = frame.Scans();
    if (!frame.WaitForScans(before + kWarmUpScans, kTimeoutMs)) {
        printf("%s: no realtime scans (link level %ld)\n", name, frame.Level());
        return 0;
    }
    // From the arrival of one scan to that of the last within the measuring
    // time: whole scan cycles only.
    const LONG first = frame.Scans() - 1;
    frame.WaitForScans(0x7FFFFFFF, measureMs);
    const LONG last = frame.Scans() - 1;
    const LONG scans = last - first;
    const double seconds = frame.TimeOf(last) - frame.TimeOf(first);

    const double measured = scans / seconds;
    const double limit = RealtimeLineLimit(port, name);
    printf("%s: %ld scans in %.2f s = %.3f scans/s; line limit %.3f scans/s; ratio %.1f%%\n", name, scans,
           seconds, measured, limit, 100.0 * measured / limit);
    fflush(stdout);
    return 100.0 * measured / limit;
}

#endif
