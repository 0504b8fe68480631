#ifndef TESTS_MAINWINDOW_FRAMETESTBENCH_H
#define TESTS_MAINWINDOW_FRAMETESTBENCH_H

#include "framework/LanguageResource.h"
#include "mainwindow/Application.h"
#include "mainwindow/MainFrame.h"
#include "mainwindow/PrintView.h"
#include "mainwindow/Rebar.h"
#include "mainwindow/ScanView.h"
#include "protocol/DevicePort.h"

#include <deque>
#include <string>
#include <vector>

// A device port that runs nothing: it notes what the frame asks of it.
class NotedPort : public DevicePort {
public:
    int SelectDevice(WORD type) override {
        selected.push_back(type);
        autoAtSelection.push_back(autoRecognition);
        selectedAt = Milliseconds();
        return 1;
    }
    int Send(const std::string& bytes) override {
        sent.push_back(bytes);
        sentAt = Milliseconds();
        return 1;
    }
    int SimulateTrouble(BYTE kind) override {
        troubles.push_back(kind);
        return 1;
    }
    int RequestOpen(int port) override {
        opened.push_back(port);
        return 1;
    }
    int TakeOpenRequest() override {
        if (requests.empty()) return kNoOpenRequest;
        int port = requests.front();
        requests.pop_front();
        return port;
    }
    int RequestPortScan() override { return ++scans; }
    int SetRealtime(DWORD on) override {
        realtime.push_back(on);
        return 1;
    }
    BOOL IsAutoRecognition() override { return autoRecognition; }
    void SetAutoRecognition(BOOL on) override { autoRecognition = on; }
    BYTE GetLinkLevel() override { return level; }

    // On the performance counter: the tick count's grain is too coarse for waits.
    static double Milliseconds() {
        LARGE_INTEGER count, frequency;
        QueryPerformanceCounter(&count);
        QueryPerformanceFrequency(&frequency);
        return count.QuadPart * 1000.0 / frequency.QuadPart;
    }

    std::vector<WORD> selected;
    std::vector<BOOL> autoAtSelection;  // the recognition switch as each selection came
    std::vector<std::string> sent;      // raw bytes
    std::vector<BYTE> troubles;
    double sentAt = 0;  // of the last send and selection
    double selectedAt = 0;
    std::vector<int> opened;
    std::deque<int> requests;  // what TakeOpenRequest hands out
    std::vector<DWORD> realtime;
    int scans = 0;
    BOOL autoRecognition = FALSE;
    BYTE level = 0;
};

// A view that counts the frame's requests instead of drawing.
class NotedView : public ScanView {
public:
    int Redraw(WORD flags) override {
        redraws.push_back(flags);
        return 1;
    }
    int RedrawAreas() override { return ++areaRedraws; }
    int RedrawRealtime() override { return ++realtimeRedraws; }
    int RedrawFlag80() override { return ++scan2Redraws; }
    int FitRectToClient(int x, int y, int zoomIn) override {
        zooms.push_back(zoomIn);
        lastZoomPoint.x = x;
        lastZoomPoint.y = y;
        return 1;
    }
    void CancelDrag() override { ++cancels; }
    int SetLastWindowRect(const RECT* rect) override {
        ++windowRects;
        return ScanView::SetLastWindowRect(rect);
    }

    std::vector<WORD> redraws;
    int areaRedraws = 0;
    int realtimeRedraws = 0;
    int scan2Redraws = 0;
    std::vector<int> zooms;
    POINT lastZoomPoint = {};
    int cancels = 0;
    int windowRects = 0;
};

// The frame's window class registered without the single-instance mutex,
// which the program holds when it runs beside the tests.
BOOL RegisterFrameClassWithoutMutex(HINSTANCE instance);

// While it lives, no window of the calling thread is activated, and its
// top-level windows are made in the screen's far corner: the end-to-end
// tests read the program's pixels and foreground window from the same
// screen.
struct NoActivation {
    NoActivation();
    ~NoActivation();
    HHOOK hook;
};

// The frame's placement in the screen's far corner, written to the
// settings before the frame is built.
struct PlaceAside {
    PlaceAside();
};

// The frame with its message boxes, sounds and the commands it calls noted.
class NotedFrame : public MainFrame {
public:
    BOOL RegisterWindowClass(HINSTANCE instance) override;
    int ShowBox(const std::string& text, UINT type) override;
    void PlayDetectionSound(const char* file) override { sounds.push_back(file != NULL ? file : "stop"); }
    void BuildPortMenu(const DWORD* portBits) override { portLists.push_back(std::vector<DWORD>(portBits, portBits + 8)); }
    LRESULT OnNextArea(WORD, WORD, LPARAM) override { return ++nextAreas; }
    LRESULT OnPreviousArea(WORD, WORD, LPARAM) override { return ++previousAreas; }
    LRESULT OnPrintPreview(WORD, WORD, LPARAM) override {
        SetPrintPreviewActive(FALSE);
        return ++previewLeaves;
    }

    using MainFrame::GetComMonitor;
    using MainFrame::SetPrintPreviewActive;
    using MainFrame::SetSelectedBySensor;
    using MainFrame::SetSoundsOn;

    std::vector<std::string> boxes;  // "E text" for an error box, "I text" else
    std::vector<UINT> boxTypes;
    int answer = IDOK;  // what every box answers
    std::vector<std::string> sounds;
    std::vector<std::vector<DWORD> > portLists;
    int nextAreas = 0;
    int previousAreas = 0;
    int previewLeaves = 0;
    bool releaseDuringBox = false;  // as a close in the box's modal loop would
};

// Hands the frame its collaborators as the application does: parts holds
// them under the names the benches give them.
template <class Parts>
void WireFrame(MainFrame* frame, Parts* parts) {
    frame->SetApplication(&parts->application);
    frame->SetDevicePort(&parts->port);
    frame->SetScanView(&parts->view);
    frame->SetRebar(&parts->rebar);
    frame->SetPrintView(&parts->printView);
    frame->SetWorkspace(Workspace(&parts->areas, &parts->shape, &parts->data, &parts->record, &parts->caps));
}

// Loads the language and wires the bench's areas, shape, view and frame to
// each other as the application wires them.
template <class Bench>
void WireBench(Bench* bench) {
    LanguageResource().Enumerate(GetModuleHandleA(NULL));
    bench->areas.SetDevice(&bench->caps);
    bench->areas.Init();
    bench->shape.SetDevice(&bench->caps);
    bench->view.SetApplication(&bench->application)
        ->SetDevicePort(&bench->port)
        ->SetPrintView(&bench->printView)
        ->SetAreaSet(&bench->areas)
        ->SetScanShape(&bench->shape)
        ->SetMeasuringData(&bench->data)
        ->SetSensorCaps(&bench->caps);
    WireFrame(&bench->frame, bench);
}

// Destroys the frame's window and drops the quit message its destruction
// posted for the program.
void DestroyFrame(MainFrame* frame);

// Every collaborator of the frame, with its window created and shown in the
// screen's far corner and never activated: the end-to-end tests read the
// program's pixels and foreground window from the same screen.
struct FrameBench {
    FrameBench();
    ~FrameBench();
    // The frame's window with the switches, 0 when it could not be made.
    HWND Start(const char* switches);
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    PlaceAside aside;  // first: the frame reads its placement when it is built
    NoActivation quiet;
    Application application;
    NotedPort port;
    NotedView view;
    Rebar rebar;
    PrintView printView;
    AreaSet areas;
    ScanShape shape;
    MeasuringData data;
    WaveFormRecord record;
    SensorCaps caps;
    NotedFrame frame;
};

#endif
