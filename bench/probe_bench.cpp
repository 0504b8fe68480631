// Automatic recognition: the time from the port's open to a linked sensor,
// for the simulated sensor's rate, over 40 starts, beside the probe's own
// cycle (three rates, 500 ms each). The target: the worst start linked within
// one cycle plus the link handshake (the median time from recognition to the
// link). A start whose first answer was missed links a whole cycle later.
//
// Needs the simulator beside it; bench/run-probe-bench starts it once per rate.
#include "bench/BenchClock.h"
#include "bench/BenchFigures.h"
#include "framework/CriticalLock.h"
#include "framework/OwnedHandle.h"
#include <stdio.h>
#include <stdlib.h>

#include <vector>
#include <memory>

#include "mainwindow/frame/MainFrame.h"
#include "mainwindow/program/Application.h"
#include "protocol/BaudProbeOp.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"
#include "protocol/ProbeDevice.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"

namespace {

const int kRounds = 40;
const DWORD kTimeoutMs = 15000;

// The main window's end: when the port opened, the rate was recognised and
// the link reached level 1. Notes arrive on other threads; the bench's main
// thread acts on them, as the window would.
class RecognitionWatch : public MainFrame {
public:
    RecognitionWatch() : m_event(CreateEventA(NULL, FALSE, FALSE, NULL)) {}

    struct Times {
        double opened = 0;
        double recognised = 0;
        double linked = 0;
        int index = -1;
        bool closed = false;
    };

    BOOL PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        const double now = BenchMilliseconds();
        CriticalLock::Hold hold(m_lock);
        if (msg == WM_DEVICE_PORT_OPENED && wParam != 0 && lParam != 0) m_times.opened = now;
        if (msg == WM_DEVICE_PORT_OPENED && wParam == 0) m_times.closed = true;
        if (msg == WM_DEVICE_TYPE_RECOGNIZED && m_times.index < 0) {
            m_times.recognised = now;
            m_times.index = static_cast<int>(wParam);
        }
        if (msg == WM_DEVICE_CONNECTION_CHANGED && wParam == 1 && m_times.linked == 0) m_times.linked = now;
        SetEvent(m_event);
        return TRUE;
    }
    LRESULT SendMessage(UINT, WPARAM, LPARAM) override { return 0; }

    Times Get() {
        CriticalLock::Hold hold(m_lock);
        return m_times;
    }
    void Reset() {
        CriticalLock::Hold hold(m_lock);
        m_times = Times();
    }
    bool Wait(DWORD timeoutMs) { return WaitForSingleObject(m_event, timeoutMs) == WAIT_OBJECT_0; }

private:
    OwnedHandle m_event;
    CriticalLock m_lock;  // guards m_times
    Times m_times;
};

// One round: the probe selected, the port opened, the recognised device
// selected, the link up. False on time-out.
bool Round(DevicePort& port, RecognitionWatch& frame, int com, RecognitionWatch::Times* out) {
    frame.Reset();
    if (!port.SelectDevice(DevicePort::kProbeDeviceType) || !port.RequestOpen(com)) return false;
    const double start = BenchMilliseconds();
    bool selected = false;
    while (BenchMilliseconds() - start < kTimeoutMs) {
        const RecognitionWatch::Times t = frame.Get();
        if (t.index >= 0 && !selected) {
            port.SelectDevice(static_cast<WORD>(t.index));  // as the frame does
            selected = true;
        }
        if (t.linked != 0 && t.opened != 0) {
            *out = t;
            return true;
        }
        frame.Wait(50);
    }
    return false;
}

bool Close(DevicePort& port, RecognitionWatch& frame) {
    frame.Reset();
    port.RequestOpen(0);
    const double start = BenchMilliseconds();
    while (!frame.Get().closed) {
        if (BenchMilliseconds() - start > kTimeoutMs) return false;
        frame.Wait(50);
    }
    return true;
}

}  // namespace

int main() {
    const char* com = getenv("TIV_SIM_COM");
    if (com == NULL || atoi(com) == 0) {
        printf("needs the sensor simulator: run bench/run-probe-bench\n");
        return 2;
    }
    SensorCaps caps;
    WaveFormRecord waveForm;
    Application application;
    RecognitionWatch frame;
    std::unique_ptr<DevicePort> port(new DevicePort);
    port->SetApplication(&application);
    port->SetFrame(&frame);
    port->SetWaveFormRecord(&waveForm);
    port->SetSensorCaps(&caps);
    port->SetAutoRecognition(TRUE);
    bool ok = port->CreateEvents() != 0;

    const double cycleMs = BaudProbeOp::kRateCount * BaudProbeOp::kIntervalMs;
    std::vector<double> found, linked, handshake;
    int index = -1;
    for (int round = 0; ok && round < kRounds; ++round) {
        RecognitionWatch::Times t;
        ok = Round(*port, frame, atoi(com), &t) && Close(*port, frame);
        if (!ok) break;
        index = t.index;
        found.push_back(t.recognised - t.opened);
        linked.push_back(t.linked - t.opened);
        handshake.push_back(t.linked - t.recognised);
    }
    if (ok) {
        const double target = cycleMs + Median(handshake);
        // The rate's first window ends at most index + 1 intervals after the
        // open; an answer missed there is found a whole cycle later.
        const double missedAfter = (index + 1) * BaudProbeOp::kIntervalMs + cycleMs / 2;
        int late = 0, missed = 0;
        for (double ms : linked) late += ms > target ? 1 : 0;
        for (double ms : found) missed += ms > missedAfter ? 1 : 0;
        printf("sensor at %lu baud (index %d), %d starts from port open:\n",
               static_cast<unsigned long>(ProbeDevice::BaudOf(static_cast<BYTE>(index))), index, kRounds);
        printf("  recognised after %.0f ms median, %.0f ms at worst (%.2f probe cycles of %.0f ms)\n",
               Median(found), Worst(found), Worst(found) / cycleMs, cycleMs);
        printf("  linked after %.0f ms median, %.0f ms at worst; target %.0f ms (a cycle plus the %.0f ms "
               "handshake): %d of %d starts later\n",
               Median(linked), Worst(linked), target, Median(handshake), late, kRounds);
        printf("  first answer missed (recognised after %.0f ms) in %d of %d starts\n", missedAfter, missed,
               kRounds);
    } else {
        printf("no link within %lu ms\n", static_cast<unsigned long>(kTimeoutMs));
    }
    port->Detach();
    port.reset();
    return ok ? 0 : 1;
}
