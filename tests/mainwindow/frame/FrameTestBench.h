#ifndef TESTS_MAINWINDOW_FRAME_FRAMETESTBENCH_H
#define TESTS_MAINWINDOW_FRAME_FRAMETESTBENCH_H

#include "framework/LanguageResource.h"
#include "mainwindow/bands/Rebar.h"
#include "mainwindow/frame/MainFrame.h"
#include "mainwindow/print/PrintView.h"
#include "mainwindow/program/Application.h"
#include "mainwindow/view/ScanView.h"
#include "protocol/DevicePort.h"
#include "tests/framework/TestSettings.h"

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
    int SendAhead(const std::string& bytes) override {
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
    int WriteIo(BYTE disguised, BYTE mask) override {
        forces.push_back(MAKEWORD(disguised, mask));
        return 1;
    }

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
    std::vector<WORD> forces;  // each I/O write: the disguised byte low, the mask high
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

// Destroys the frame's window and drops the quit message its destruction
// posted for the program.
void DestroyFrame(MainFrame* frame);

// The visible dialogs the window owns, in the thread's window order; none
// without a window.
std::vector<HWND> OwnedDialogs(HWND owner);

// Every collaborator the application hands the frame, of the test's
// classes, with settings of the test's own and the language loaded; they
// are wired to each other as the application wires them.
template <class PortT = DevicePort, class ViewT = ScanView, class ApplicationT = Application,
          class PrintViewT = PrintView>
struct FrameParts {
    FrameParts() {
        LanguageResource().Enumerate(GetModuleHandleA(NULL));
        areas.SetDevice(&caps);
        areas.Init();
        shape.SetDevice(&caps);
        data.SetSensorCaps(&caps);
        port.SetSensorCaps(&caps);
        view.SetApplication(&application)
            ->SetDevicePort(&port)
            ->SetPrintView(&printView)
            ->SetAreaSet(&areas)
            ->SetScanShape(&shape)
            ->SetMeasuringData(&data)
            ->SetSensorCaps(&caps);
        printView.SetScanView(&view);
        printView.SetRebar(&rebar);
    }

    Workspace Data() { return Workspace(&areas, &shape, &data, &record, &caps); }

    void WireInto(MainFrame* frame) {
        frame->SetApplication(&application);
        frame->SetDevicePort(&port);
        frame->SetScanView(&view);
        frame->SetRebar(&rebar);
        frame->SetPrintView(&printView);
        frame->SetWorkspace(Data());
    }

    TestSettings settings;  // first: the objects below write into it when they go
    ApplicationT application;
    PortT port;
    ViewT view;
    Rebar rebar;
    PrintViewT printView;
    AreaSet areas;
    ScanShape shape;
    MeasuringData data;
    WaveFormRecord record;
    SensorCaps caps;
};

// A frame of the test's class on its parts, its window made in the screen's
// far corner and never activated: the end-to-end tests read the program's
// pixels and foreground window from the same screen. The dialogs it leaves
// open are cancelled before its window goes.
template <class FrameT, class PortT = DevicePort, class ViewT = ScanView, class ApplicationT = Application,
          class PrintViewT = PrintView>
struct FrameBench : FrameParts<PortT, ViewT, ApplicationT, PrintViewT> {
    FrameBench() { this->WireInto(&frame); }
    ~FrameBench() {
        CloseOwnedDialogs();
        DestroyFrame(&frame);
    }
    // The frame's window with the switches, 0 when it could not be made.
    HWND Start(const char* switches = "") { return frame.Initialize(GetModuleHandleA(NULL), switches, SW_SHOW); }
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(frame.GetHwnd(), msg, wParam, lParam);
    }
    // The command as a menu or key sends it, or from a band control.
    void Command(WORD id, HWND control = NULL) {
        Send(WM_COMMAND, MAKEWPARAM(id, control != NULL ? BN_CLICKED : 0), reinterpret_cast<LPARAM>(control));
    }
    // The visible dialogs the frame owns (modeless ones stay open).
    std::vector<HWND> OwnedDialogs() { return ::OwnedDialogs(frame.GetHwnd()); }
    void CloseOwnedDialogs() {
        for (HWND dialog : OwnedDialogs()) SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }

    PlaceAside aside;  // before the frame, which reads its placement
    NoActivation quiet;
    FrameT frame;
};

// The frame with its boxes and sounds noted, on a port and a view that
// note what it asks of them.
typedef FrameBench<NotedFrame, NotedPort, NotedView> NotedBench;

#endif
