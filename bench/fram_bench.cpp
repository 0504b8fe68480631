// "Read Area" and "Write Area" through the device port against the sensor
// simulator pacing its line, at 115.2 and 19.2 kbit/s: the time from the
// request to the notification, beside the line time of the frames exchanged
// (each byte a start bit, eight data bits and the device type's stop bits).
// Once with the link at level 1 (the level climb included), then with level 2
// already held.
//
// Needs the simulator beside it; bench/run-fram-bench starts both.
#include "bench/BenchClock.h"
#include "bench/BenchFigures.h"
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>
#include <memory>

#include "mainwindow/frame/MainFrame.h"
#include "mainwindow/program/Application.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"
#include "protocol/SensorDeviceBase.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"

namespace {

const DWORD kTimeoutMs = 20000;
const int kRuns = 5;

// The main window's end: keeps the link level, the last area result, when
// it came, and the table read.
class ResultFrame : public MainFrame {
public:
    ResultFrame() : m_resultAt(0), m_level(0), m_results(0), m_result(0) {}
    BOOL PostMessage(UINT msg, WPARAM wParam, LPARAM) override {
        if (msg == WM_DEVICE_CONNECTION_CHANGED) InterlockedExchange(&m_level, static_cast<LONG>(wParam));
        return TRUE;
    }
    LRESULT SendMessage(UINT msg, WPARAM wParam, LPARAM) override {
        if (msg == WM_DEVICE_AREA_READ && wParam != 0) m_table.assign(reinterpret_cast<const char*>(wParam), 238);
        if (msg == WM_DEVICE_AREA_READ || msg == WM_DEVICE_AREA_WRITTEN) {
            m_resultAt = BenchMilliseconds();
            InterlockedExchange(&m_result, static_cast<LONG>(wParam != 0));
            InterlockedIncrement(&m_results);
        }
        return 0;
    }
    LONG Level() { return InterlockedCompareExchange(&m_level, 0, 0); }
    LONG Results() { return InterlockedCompareExchange(&m_results, 0, 0); }
    LONG Result() { return InterlockedCompareExchange(&m_result, 0, 0); }
    std::string m_table;  // written by the operation's thread before the result count
    double m_resultAt;    // likewise: when the notification came

private:
    volatile LONG m_level;
    volatile LONG m_results;
    volatile LONG m_result;
};

// The progress dialog belongs to a window of this thread, as to the main window.
class OwnerApplication : public Application {
public:
    OwnerApplication() : m_owner(CreateWindowA("STATIC", "Owner", WS_OVERLAPPED, 0, 0, 100, 100, NULL, NULL, NULL, NULL)) {}
    ~OwnerApplication() override { DestroyWindow(m_owner); }
    ProgressView* BeginProgress(HWND) override { return Application::BeginProgress(m_owner); }

private:
    HWND m_owner;
};

// Handles this thread's messages, as the user-interface thread does, until done.
template <class Done>
bool PumpUntil(Done done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= kTimeoutMs) return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    return true;
}

size_t FrameBytes(size_t messageBytes) {
    std::string message(messageBytes - 2, '\0');
    std::string frame;
    SensorDeviceBase::AssembleFrame(message, frame);
    return frame.size();
}

struct Line {
    double msPerByte;
    double LineMs(std::initializer_list<size_t> messages) const {
        size_t bytes = 0;
        for (size_t m : messages) bytes += FrameBytes(m);
        return bytes * msPerByte;
    }
};

bool NoProgressWindow() {
    return FindWindowA(NULL, "Read Area") == NULL && FindWindowA(NULL, "Write Area") == NULL;
}

// One transfer from the request to its result; -1 when it failed.
template <class Request>
double TimeTransfer(ResultFrame& frame, Request request) {
    const LONG before = frame.Results();
    // The last transfer's dialog is gone first: without a window manager,
    // Wine waits two seconds for the hidden window's state before it goes,
    // which a real desktop does not.
    PumpUntil(NoProgressWindow);
    double start = 0;
    // A finished transfer lets go of the operation just after its result.
    if (!PumpUntil([&] {
            start = BenchMilliseconds();
            return request() == 1;
        }))
        return -1;
    if (!PumpUntil([&] { return frame.Results() > before; }) || frame.Result() != 1) return -1;
    // To the notification, as the operation's thread sent it.
    return frame.m_resultAt - start;
}

int Measure(DevicePort& port, ResultFrame& frame, WORD type, const char* name) {
    if (!port.SelectDevice(type) || !PumpUntil([&] { return frame.Level() == 1; })) {
        printf("%s: no link\n", name);
        return 0;
    }
    DCB dcb;
    DWORD mask, in, out;
    port.GetConfig(&dcb, &mask, &in, &out);
    const int stopBits = dcb.StopBits == TWOSTOPBITS ? 2 : 1;
    const Line line = {1000.0 * (1 + dcb.ByteSize + stopBits) / dcb.BaudRate};
    // Complete message lengths (CRC included): link Get and its challenge,
    // Set and its reply; FRAM read request and block, written block and its
    // echo, commit and its result.
    const double climb = line.LineMs({4, 12, 7, 5});
    const double readLine = line.LineMs({5, 133, 5, 133});
    const double writeLine = line.LineMs({133, 133, 4, 5, 133, 133, 4, 5});
    printf("%s: %lu baud, %d stop bits; line time: level climb %.1f ms, read %.1f ms, write %.1f ms\n", name,
           dcb.BaudRate, stopBits, climb, readLine, writeLine);

    std::vector<double> coldRead, coldWrite, read, write;
    for (int run = 0; run < kRuns; ++run) {
        coldRead.push_back(TimeTransfer(frame, [&] { return port.ReadAreas(); }));
        const std::string table = frame.m_table;
        coldWrite.push_back(TimeTransfer(frame, [&] { return port.WriteAreas(reinterpret_cast<const BYTE*>(table.data())); }));
        // Back to level 1 before the next cold run.
        PumpUntil([&] { return port.GetLinkLevel() == 1; });
    }
    port.AcquireLinkLevel(2);
    PumpUntil([&] { return port.GetLinkLevel() == 2; });
    for (int run = 0; run < kRuns; ++run) {
        read.push_back(TimeTransfer(frame, [&] { return port.ReadAreas(); }));
        const std::string table = frame.m_table;
        write.push_back(TimeTransfer(frame, [&] { return port.WriteAreas(reinterpret_cast<const BYTE*>(table.data())); }));
    }
    port.ReleaseLinkLevel(2);
    for (const auto& set : {coldRead, coldWrite, read, write}) {
        if (std::find(set.begin(), set.end(), -1.0) != set.end()) {
            printf("%s: a transfer failed\n", name);
            return 0;
        }
    }
    printf("%s: from level 1: read %.1f ms (%.2f x line incl. climb), write %.1f ms (%.2f x line incl. climb)\n",
           name, Median(coldRead), Median(coldRead) / (readLine + climb), Median(coldWrite),
           Median(coldWrite) / (writeLine + climb));
    printf("%s: at level 2:   read %.1f ms (%.2f x line), write %.1f ms (%.2f x line)  [median of %d]\n", name,
           Median(read), Median(read) / readLine, Median(write), Median(write) / writeLine, kRuns);
    printf("%s: at level 2, worst: read %.1f ms (%.2f x line), write %.1f ms (%.2f x line)\n", name, Worst(read),
           Worst(read) / readLine, Worst(write), Worst(write) / writeLine);
    return 1;
}

}  // namespace

int main() {
    const char* com = getenv("TIV_SIM_COM");
    if (com == NULL || atoi(com) == 0) {
        printf("needs the sensor simulator: run bench/run-fram-bench\n");
        return 2;
    }
    SensorCaps caps;
    WaveFormRecord waveForm;
    OwnerApplication application;
    ResultFrame frame;
    std::unique_ptr<DevicePort> port(new DevicePort);
    port->SetApplication(&application);
    port->SetFrame(&frame);
    port->SetWaveFormRecord(&waveForm);
    port->SetSensorCaps(&caps);
    int ok = port->CreateEvents() && port->SelectDevice(2) && port->RequestOpen(atoi(com));
    ok = ok && Measure(*port, frame, 2, "115.2 kbit/s");
    ok = ok && Measure(*port, frame, 0, "19.2 kbit/s");
    port->Detach();
    port.reset();
    return ok ? 0 : 1;
}
