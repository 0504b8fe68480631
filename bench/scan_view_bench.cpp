// The scan view's drawing cost at a 1280 x 1024 client:
// - one realtime frame (769 steps, seven areas with the current one drawn,
//   its handles, the grid), from handing the scan over to the picture on the
//   screen: median and worst of 500;
// - adding recorded scan number 10, 1,000 and 10,000 the way recording does
//   (the scan onto the background, then a recompose), and for comparison a
//   full rebuild of the recorded layer at the same counts.
//
// Needs a display; bench/run-scan-view-bench starts one.
#include "bench/BenchClock.h"
#include <stdio.h>

#include <algorithm>
#include <vector>
#include <memory>

#include "framework/CriticalLock.h"
#include "framework/IniFile.h"
#include "framework/OwnedHandle.h"
#include "mainwindow/print/PrintView.h"
#include "mainwindow/program/Application.h"
#include "mainwindow/view/ScanView.h"
#include "protocol/DevicePort.h"
#include "sensor/AreaSet.h"
#include "sensor/MeasuringData.h"
#include "sensor/ScanShape.h"
#include "sensor/SensorCaps.h"

namespace {

const int kFrames = 500;
const WORD kMarker = 0x8000;
const int kClientWidth = 1280;
const int kClientHeight = 1024;

// Signals the end of every render pass that carries the marker.
class TimedView : public ScanView {
public:
    TimedView() : m_done(CreateEventA(NULL, FALSE, FALSE, NULL)) {}
    ~TimedView() override { Destroy(); }
    void RenderPass(WORD flags) override {
        ScanView::RenderPass(flags);
        if (flags & kMarker) SetEvent(m_done);
    }
    // Posts the flags with the marker and waits for their pass.
    void DrawAndWait(WORD flags) {
        ResetEvent(m_done);
        Redraw(static_cast<WORD>(flags | kMarker));
        WaitForSingleObject(m_done, 60000);
    }
    OwnedHandle m_done;
};

DWORD Pack(int x, int y) {
    return static_cast<DWORD>(static_cast<WORD>(x)) | static_cast<DWORD>(static_cast<WORD>(y)) << 16;
}

// A room with a few objects: walls at 4 m, an object at 1.5 m ahead.
ScanData Room(int variant) {
    ScanData scan;
    for (WORD k = 0; k < ScanData::kStepCount; ++k) {
        WORD d = static_cast<WORD>(4000 + (k * 7 + variant * 13) % 300);
        if (k > 350 && k < 420) d = static_cast<WORD>(1500 + variant % 50);
        if (k > 690) d = 0xFFFF;
        scan.SetStep(k, d);
    }
    scan.SetStep(0, 0);
    return scan;
}

void LoadSevenAreas(AreaSet& areas) {
    for (BYTE a = 0; a < kAreaCount; ++a) {
        areas.SelectArea(a);
        const int s = 1000 + 300 * a;
        const int xy[7][2] = {{s, -s / 4}, {s, s}, {s / 3, s + 500}, {0, s + 900}, {-s / 3, s + 500}, {-s, s},
                              {-s, -s / 4}};
        for (int i = 0; i < 7; ++i) areas.SetPoint(i, Pack(xy[i][0], xy[i][1]));
        areas.SetOutput2(static_cast<short>(s));
        areas.SetOutput3(static_cast<short>(s / 2));
    }
    areas.SelectArea(3);
}

void PrintFigures(const char* what, std::vector<double>& ms) {
    std::sort(ms.begin(), ms.end());
    printf("%-44s median %7.2f ms, worst %7.2f ms (%u runs)\n", what, ms[ms.size() / 2], ms.back(),
           static_cast<unsigned>(ms.size()));
}

}  // namespace

int main() {
    IniFile settings;
    settings.SetFileName("scan_view_bench.ini");
    DeleteFileA(IniFile::GetPath());

    Application application;
    DevicePort port;
    PrintView printView;
    SensorCaps caps;
    AreaSet areas;
    ScanShape shape;
    MeasuringData data;
    areas.SetDevice(&caps);
    areas.Init();
    shape.SetDevice(&caps);
    data.SetSensorCaps(&caps);
    LoadSevenAreas(areas);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ScanViewBenchFrame";
    RegisterClassA(&wc);
    HWND frame = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, kClientWidth + 4,
                                 kClientHeight + 4, NULL, NULL, wc.hInstance, NULL);
    std::unique_ptr<TimedView> view(new TimedView);
    view->SetApplication(&application)->SetDevicePort(&port)->SetPrintView(&printView);
    view->SetAreaSet(&areas)->SetScanShape(&shape)->SetMeasuringData(&data)->SetSensorCaps(&caps);
    HWND hwnd = view->Create(wc.hInstance, frame);
    MoveWindow(hwnd, 0, 0, kClientWidth + 4, kClientHeight + 4, TRUE);
    RECT client;
    GetClientRect(hwnd, &client);
    printf("client %ld x %ld, layers %d x %d\n", client.right, client.bottom, GetSystemMetrics(SM_CXVIRTUALSCREEN),
           GetSystemMetrics(SM_CYVIRTUALSCREEN));
    view->DrawAndWait(ScanView::kRedrawLayout | ScanView::kRedrawAreas);

    // Realtime frames: hand over, render, show.
    std::vector<double> frames;
    for (int i = 0; i < kFrames + 10; ++i) {
        ScanData scan = Room(i);
        const double start = BenchMilliseconds();
        view->SetRealtimeScan(scan);
        view->DrawAndWait(0);
        InvalidateRect(hwnd, NULL, FALSE);
        UpdateWindow(hwnd);
        if (i >= 10) frames.push_back(BenchMilliseconds() - start);
    }
    PrintFigures("realtime frame (scan, areas, handles, grid)", frames);

    // Recording: each new scan onto the background, then a recompose.
    view->SetDrawItem(ScanView::kDrawRecord, 1);
    view->DrawAndWait(ScanView::kRedrawBackground);
    // The median of the five additions that end at each count.
    const DWORD counts[] = {10, 1000, 10000};
    const int kRuns = 5;
    double added[3] = {}, rebuilt[3] = {};
    int next = 0;
    for (int c = 0; c < 3; ++c) {
        std::vector<double> runs;
        while (data.Count() < counts[c]) {
            const bool timed = data.Count() + kRuns >= counts[c];
            const double start = BenchMilliseconds();
            data.Append(Room(next++));
            view->DrawBackgroundItems();
            if (timed) {
                view->DrawAndWait(0);
                runs.push_back(BenchMilliseconds() - start);
            }
        }
        std::sort(runs.begin(), runs.end());
        added[c] = runs[runs.size() / 2];
        const double rebuildStart = BenchMilliseconds();
        view->DrawAndWait(ScanView::kRedrawBackground);
        rebuilt[c] = BenchMilliseconds() - rebuildStart;
    }
    for (int c = 0; c < 3; ++c) {
        printf("recorded scan %5lu: added in %6.2f ms (median of %d); a full rebuild takes %8.1f ms\n",
               static_cast<unsigned long>(counts[c]), added[c], kRuns, rebuilt[c]);
    }
    printf("10,000th scan over the 10th: %.2f (target: at most 2)\n", added[2] / added[0]);

    view.reset();
    DestroyWindow(frame);
    DeleteFileA(IniFile::GetPath());
    return 0;
}
