// Serial monitor under a full-rate realtime stream: how many decoded frames
// per second the monitor takes in and shows, against what the line carries
// at 115.2 kbit/s; where the time goes (decoding, inserting, trimming); and
// the cost of inserting line by line with redrawing on, for comparison.
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/BenchClock.h"
#include "dialogs/ComMonitorDlg.h"
#include "dialogs/DialogMessages.h"
#include "dialogs/MonitorDecoder.h"
#include "framework/OwnedHandle.h"
#include "protocol/DevicePort.h"
#include "protocol/SensorDeviceBase.h"
#include "sensor/SensorCaps.h"

namespace {

const int kSteps = 769;
const double kLineBytesPerSecond = 115200.0 / 10;  // start, 8 data bits, stop

std::string WithCrc(std::string message) {
    std::string frame;
    SensorDeviceBase::AssembleFrame(message, frame);
    return message;
}

std::string Reply(int n) {
    std::string reply("\xA2\x69", 2);
    for (int i = 0; i < kSteps; ++i) {
        const int value = 1000 + (i * 7 + n) % 3000;
        reply += static_cast<char>(value & 0xFF);
        reply += static_cast<char>(value >> 8);
    }
    return WithCrc(reply);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// The frames a realtime poll puts on the line each second.
double LineFramesPerSecond() {
    std::string frame;
    std::string poll("\xA2\x69", 2);
    SensorDeviceBase::AssembleFrame(poll, frame);
    const double request = static_cast<double>(frame.size());
    std::string reply = Reply(0);
    reply.resize(reply.size() - 2);
    SensorDeviceBase::AssembleFrame(reply, frame);
    return 2 * kLineBytesPerSecond / (request + static_cast<double>(frame.size()));
}

ComMonitorDlg* g_monitor = nullptr;
const UINT WM_FEED = WM_USER + 35;

LRESULT CALLBACK FeedProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_FEED) {
        g_monitor->LogFrame(static_cast<DWORD>(wParam),
                            std::make_unique<std::string>(*reinterpret_cast<const std::string*>(lParam)));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

struct Feeder {
    HWND feed;
    int pairs;
    static DWORD WINAPI Run(LPVOID p) {
        Feeder* f = static_cast<Feeder*>(p);
        const std::string request = WithCrc(std::string("\xA2\x69", 2));
        for (int n = 0; n < f->pairs; ++n) {
            const std::string reply = Reply(n);
            SendMessageA(f->feed, WM_FEED, 0, reinterpret_cast<LPARAM>(&request));
            SendMessageA(f->feed, WM_FEED, 1, reinterpret_cast<LPARAM>(&reply));
        }
        return 0;
    }
};

// Frames sent from a device thread, as the frame's handler hands them on,
// while this thread handles its messages.
void Stream(ComMonitorDlg* monitor, HWND feed, int pairs) {
    Feeder feeder = {feed, pairs};
    const double start = BenchSeconds();
    OwnedHandle thread(CreateThread(NULL, 0, &Feeder::Run, &feeder, 0, NULL));
    HANDLE waits[1] = {thread.Get()};
    while (MsgWaitForMultipleObjects(1, waits, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) Pump();
    Pump();
    const double seconds = BenchSeconds() - start;
    HWND log = GetDlgItem(monitor->GetHwnd(), 1078);
    printf("stream: %d frames in %.2f s: %.1f frames/s shown (the line carries %.1f frames/s), log %d chars\n",
           2 * pairs, seconds, 2 * pairs / seconds, LineFramesPerSecond(), GetWindowTextLengthA(log));
}

// One thread: the decoding alone, then queuing and flushing per pair.
void Parts(ComMonitorDlg* monitor, int pairs) {
    MonitorDecoder decoder;
    decoder.SetStepCount(kSteps);
    const std::string reply = Reply(1);
    std::string line;
    COLORREF colour;
    double start = BenchSeconds();
    for (int n = 0; n < pairs; ++n) {
        decoder.ComposeLine(1, reinterpret_cast<const BYTE*>(reply.data()), reply.size(), &line, &colour);
    }
    const double decode = (BenchSeconds() - start) / pairs;
    double logging = 0, flushing = 0;
    for (int n = 0; n < pairs; ++n) {
        start = BenchSeconds();
        monitor->LogFrame(1, std::make_unique<std::string>(reply));
        const double queued = BenchSeconds();
        SendMessageA(monitor->GetHwnd(), WM_MONITOR_FLUSH, 0, 0);
        logging += queued - start;
        flushing += BenchSeconds() - queued;
    }
    Pump();
    printf("per reply of %d steps: decode %.3f ms, LogFrame %.3f ms, flush of one line %.3f ms\n", kSteps,
           1000 * decode, 1000 * logging / pairs, 1000 * flushing / pairs);
}

// The same lines into a bare rich edit 1.0, one insertion per line with
// redrawing on, as the plain way would do it, and in batches of ten; with
// the control's word wrapping and without it (what the monitor's log does).
void Insertions(HINSTANCE instance, int lines) {
    MonitorDecoder decoder;
    decoder.SetStepCount(kSteps);
    const std::string reply = Reply(2);
    std::string line;
    COLORREF colour;
    decoder.ComposeLine(1, reinterpret_cast<const BYTE*>(reply.data()), reply.size(), &line, &colour);
    for (int batch : {1, 10}) {
      for (int wrap : {1, 0}) {
        HWND edit = CreateWindowExA(0, "RICHEDIT", "", WS_POPUP | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL | (wrap ? 0 : WS_HSCROLL | ES_AUTOHSCROLL), 0, 0, 600, 400,
                                    NULL, NULL, instance, NULL);
        if (!wrap) SendMessageA(edit, EM_SETTARGETDEVICE, 0, 1);
        SendMessageA(edit, EM_EXLIMITTEXT, 0, 4 << 20);
        Pump();
        const double start = BenchSeconds();
        for (int n = 0; n < lines; n += batch) {
            if (batch > 1) SendMessageA(edit, WM_SETREDRAW, FALSE, 0);
            for (int i = 0; i < batch; ++i) {
                const LONG end = GetWindowTextLengthA(edit);
                CHARRANGE atEnd = {end, end};
                SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&atEnd));
                SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
            }
            if (batch > 1) {
                SendMessageA(edit, WM_SETREDRAW, TRUE, 0);
                InvalidateRect(edit, NULL, TRUE);
            }
            UpdateWindow(edit);
        }
        const double seconds = BenchSeconds() - start;
        printf("bare rich edit, wrap %d, %d lines of %u chars in batches of %d: %.1f lines/s\n", wrap, lines,
               static_cast<unsigned>(line.size()), batch, lines / seconds);
        DestroyWindow(edit);
      }
    }
}

}  // namespace

int main() {
    HINSTANCE instance = GetModuleHandleA(NULL);
    SensorCaps caps;
    caps.SetModel(0);
    DevicePort port;
    ComMonitorDlg monitor;
    monitor.SetSensorCaps(&caps);
    monitor.SetDevicePort(&port);
    if (monitor.Create(instance, NULL) == NULL) {
        printf("the monitor cannot be opened\n");
        return 1;
    }
    g_monitor = &monitor;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FeedProc;
    wc.hInstance = instance;
    wc.lpszClassName = "MonitorBenchFeed";
    RegisterClassA(&wc);
    HWND feed = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, instance, NULL);
    Pump();

    Parts(&monitor, 100);
    Stream(&monitor, feed, 300);  // beyond the trimming size from the start
    Insertions(instance, 40);
    DestroyWindow(feed);
    return 0;
}
