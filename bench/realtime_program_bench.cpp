// Realtime scans through the whole program against the sensor simulator
// pacing its line at 115.2 kbit/s: the device port, the main frame in its
// window with its status bar and tool bands, and the scan view with its
// render thread, wired as the application wires them.
// - From a scan reply's last byte on the line (the simulator notes when it
//   wrote it, on the clock of Wine's performance counter) to that scan drawn
//   in the view's composite bitmap: median and worst over 200 scans, and the
//   part of it until the frame was told.
// - Scans per second told to the frame and drawn by the view, against what
//   the line can carry.
//
// Needs the simulator (with --scan-stamp and --line-times) and a display;
// bench/run-realtime-program-bench starts both.
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>
#include <memory>

#include "bench/BenchClock.h"
#include "bench/BenchFigures.h"
#include "bench/ScanCounter.h"
#include "framework/CriticalLock.h"
#include "framework/IniFile.h"
#include "framework/LanguageResource.h"
#include "mainwindow/bands/Rebar.h"
#include "mainwindow/frame/MainFrame.h"
#include "mainwindow/print/PrintView.h"
#include "mainwindow/program/Application.h"
#include "mainwindow/view/ScanView.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"
#include "sensor/AreaSet.h"
#include "sensor/MeasuringData.h"
#include "sensor/ScanData.h"
#include "sensor/ScanShape.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"

namespace {

const int kScans = 200;
const int kWarmUpScans = 20;
const DWORD kTimeoutMs = 90000;
const WORD kStampStep = ScanData::kStepCount - 1;  // the simulator counts its scans here
const WORD kBaud115200 = 2;                        // device type

// When each stamped scan first reached a stage, on the benchmark's clock.
class StageTimes {
public:
    void Note(WORD stamp) {
        const double now = BenchSeconds();
        CriticalLock::Hold hold(m_lock);
        if (stamp != 0 && m_times.find(stamp) == m_times.end()) m_times[stamp] = now;
    }
    std::map<WORD, double> Copy() {
        CriticalLock::Hold hold(m_lock);
        return m_times;
    }
    size_t Count() {
        CriticalLock::Hold hold(m_lock);
        return m_times.size();
    }

private:
    CriticalLock m_lock;
    std::map<WORD, double> m_times;
};

// Notes when it writes: the simulator's read of each request checks the clocks.
class TimedPort : public DevicePort {
public:
    int Send(const std::string& bytes) override {
        const double now = BenchSeconds();
        {
            CriticalLock::Hold hold(m_lock);
            m_sent.push_back(now);
        }
        return DevicePort::Send(bytes);
    }
    std::vector<double> Sent() {
        CriticalLock::Hold hold(m_lock);
        return m_sent;
    }

private:
    CriticalLock m_lock;
    std::vector<double> m_sent;
};

// Notes each scan as the device tells the frame of it.
class TimedFrame : public MainFrame {
public:
    BOOL PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        // The device's own record, read on the device's thread that filled it.
        if (msg == WM_DEVICE_SCAN && wParam != 0) told.Note(reinterpret_cast<const ScanData*>(wParam)->GetStep(kStampStep));
        return MainFrame::PostMessage(msg, wParam, lParam);
    }
    StageTimes told;
};

// Notes each scan once a render pass has drawn it into the composite bitmap.
// The scan is read before the pass: a newer one handed over during the pass
// is drawn by it too, so a time may be late, never early.
class TimedView : public ScanView {
public:
    explicit TimedView(ScanShape* shape) : m_shape(shape) {}
    ~TimedView() override { Destroy(); }
    void RenderPass(WORD flags) override {
        const WORD stamp = (flags & kRedrawRealtime) != 0 ? m_shape->GetScan()->GetStep(kStampStep) : 0;
        ScanView::RenderPass(flags);
        drawn.Note(stamp);
    }
    StageTimes drawn;

private:
    ScanShape* m_shape;
};

// The simulator's line times: when it read each request, and when it wrote
// the last byte of each scan reply, by stamp.
struct LineTimes {
    std::vector<double> requestsRead;
    std::map<WORD, double> scanEnds;
};

bool ReadLineTimes(LineTimes* times) {
    const char* path = getenv("TIV_SIM_TIMES");
    if (path == NULL) return false;
    std::ifstream file(std::string(path[0] == '/' ? "Z:" : "") + path);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string kind, command;
        double seconds = 0;
        unsigned word = 0;
        fields >> kind >> seconds >> command >> word;
        if (kind == "RX") times->requestsRead.push_back(seconds);
        if (kind == "TX" && command == "a269" && times->scanEnds.find(static_cast<WORD>(word)) == times->scanEnds.end())
            times->scanEnds[static_cast<WORD>(word)] = seconds;
    }
    return !times->scanEnds.empty();
}

// How long after the program wrote each request the simulator read it: a
// few tenths of a millisecond when both clocks agree.
void PrintClockCheck(const std::vector<double>& sent, const std::vector<double>& read) {
    std::vector<double> lags;
    for (double r : read) {
        std::vector<double>::const_iterator after = std::upper_bound(sent.begin(), sent.end(), r);
        if (after != sent.begin()) lags.push_back(1000.0 * (r - *(after - 1)));
    }
    if (lags.empty()) return;
    printf("clock check: the simulator read each request %.2f ms (median) after it was written\n", Median(lags));
}

// Handles this thread's messages, as the user-interface thread does, until done.
template <class Done>
bool PumpUntil(Done done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= kTimeoutMs) return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return true;
}

void WriteSettings(int com) {
    IniFile settings;
    settings.SetFileName("realtime_program_bench.ini");
    DeleteFileA(IniFile::GetPath());
    settings.WriteInt("Device", "ComPort", com);
    settings.WriteInt("Device", "DeviceType", kBaud115200);
    settings.WriteInt("Window", "WindowLeft", 0);
    settings.WriteInt("Window", "WindowTop", 0);
    settings.WriteInt("Window", "WindowRight", 1024);
    settings.WriteInt("Window", "WindowBottom", 768);
}

// Scans per second over the stamps from..to (told or drawn) against the line.
double Rate(const std::map<WORD, double>& times, WORD from, WORD to) {
    std::map<WORD, double>::const_iterator first = times.lower_bound(from), last = times.upper_bound(to);
    if (first == times.end() || last == times.begin()) return 0;
    --last;
    const double seconds = last->second - first->second;
    return seconds > 0 ? static_cast<double>(std::distance(first, last)) / seconds : 0;
}

int Report(TimedPort& port, TimedFrame& frame, TimedView& view) {
    LineTimes line;
    if (!ReadLineTimes(&line)) {
        printf("no line times from the simulator (TIV_SIM_TIMES)\n");
        return 0;
    }
    PrintClockCheck(port.Sent(), line.requestsRead);
    const std::map<WORD, double> told = frame.told.Copy();
    const std::map<WORD, double> drawn = view.drawn.Copy();
    std::vector<double> toTold, toDrawn;
    WORD first = 0, last = 0;
    for (const auto& scan : drawn) {
        if (scan.first <= kWarmUpScans || toDrawn.size() == kScans) continue;
        const auto end = line.scanEnds.find(scan.first);
        const auto tell = told.find(scan.first);
        if (end == line.scanEnds.end() || tell == told.end()) continue;
        if (first == 0) first = scan.first;
        last = scan.first;
        toDrawn.push_back(1000.0 * (scan.second - end->second));
        toTold.push_back(1000.0 * (tell->second - end->second));
    }
    if (toDrawn.size() < kScans) {
        printf("only %u scans drawn\n", static_cast<unsigned>(toDrawn.size()));
        return 0;
    }
    printf("last byte on the line to the frame told:  median %6.2f ms, worst %6.2f ms\n", Median(toTold),
           Worst(toTold));
    printf("last byte on the line to the scan drawn:  median %6.2f ms, worst %6.2f ms (%d scans; target: "
           "median under 20 ms)\n",
           Median(toDrawn), Worst(toDrawn), kScans);
    const double limit = RealtimeLineLimit(port, "115.2 kbit/s");
    const double toldRate = Rate(told, first, last), drawnRate = Rate(drawn, first, last);
    printf("scans %u..%u: told %.3f scans/s (%.1f%%), drawn %.3f scans/s (%.1f%%) of the line limit %.3f "
           "scans/s (target: at least 95%%)\n",
           first, last, toldRate, 100.0 * toldRate / limit, drawnRate, 100.0 * drawnRate / limit, limit);
    const size_t skipped = static_cast<size_t>(last - first + 1) - toDrawn.size();
    printf("scans told but never drawn (a newer one came first): %u\n", static_cast<unsigned>(skipped));
    return 1;
}

}  // namespace

int main() {
    const char* com = getenv("TIV_SIM_COM");
    if (com == NULL || atoi(com) == 0) {
        printf("needs the sensor simulator: run bench/run-realtime-program-bench\n");
        return 2;
    }
    WriteSettings(atoi(com));
    HINSTANCE instance = GetModuleHandleA(NULL);
    LanguageResource().Enumerate(instance);

    // Wired as the application wires its objects.
    Application application;
    SensorCaps caps;
    AreaSet areas;
    ScanShape shape;
    MeasuringData data;
    WaveFormRecord waveForm;
    areas.SetDevice(&caps);
    shape.SetDevice(&caps);
    data.SetSensorCaps(&caps);
    std::unique_ptr<TimedPort> port(new TimedPort);
    TimedFrame frame;
    TimedView view(&shape);
    Rebar rebar;
    PrintView printView;
    port->SetApplication(&application);
    port->SetFrame(&frame);
    port->SetWaveFormRecord(&waveForm);
    port->SetSensorCaps(&caps);
    frame.SetApplication(&application);
    frame.SetDevicePort(port.get());
    frame.SetScanView(&view);
    frame.SetRebar(&rebar);
    frame.SetPrintView(&printView);
    frame.SetWorkspace(Workspace(&areas, &shape, &data, &waveForm, &caps));
    view.SetApplication(&application)->SetDevicePort(port.get())->SetPrintView(&printView);
    view.SetAreaSet(&areas)->SetScanShape(&shape)->SetMeasuringData(&data)->SetSensorCaps(&caps);
    printView.SetScanView(&view);
    printView.SetRebar(&rebar);

    int ok = port->CreateEvents() && areas.Init() && frame.Initialize(instance, "", SW_SHOW) != NULL;
    // The frame opens the port, links and asks for realtime scans itself.
    ok = ok && PumpUntil([&] { return view.drawn.Count() >= static_cast<size_t>(kWarmUpScans + kScans + 10); });
    ok = ok && Report(*port, frame, view);
    if (!ok) printf("no figures: %u scans drawn\n", static_cast<unsigned>(view.drawn.Count()));

    DestroyWindow(frame.GetHwnd());
    port->Detach();
    port.reset();
    DeleteFileA(IniFile::GetPath());
    return ok ? 0 : 1;
}
