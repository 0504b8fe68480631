#include "mainwindow/view/ScanView.h"

#include "dialogs/DialogMessages.h"
#include "framework/IniFile.h"
#include "framework/OwnedHandle.h"
#include "mainwindow/print/PrintView.h"
#include "mainwindow/program/Application.h"
#include "mainwindow/view/ViewMessages.h"
#include "protocol/DevicePort.h"
#include "sensor/AreaSet.h"
#include "sensor/MeasuringData.h"
#include "sensor/ScanShape.h"
#include "sensor/SensorCaps.h"
#include "tests/framework/TestSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

const WORD kMarker = 0x8000;  // a redraw bit the view ignores: ends Settle
const DWORD kWaitMs = 10000;
const COLORREF kWhite = 0xFFFFFF;
const COLORREF kScanGrey = 0x999999;
const COLORREF kGridGrey = 0xCCCCCC;
const COLORREF kOutput1Yellow = 0x66FFFF;

struct Note {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    POINT from, to;  // WM_STATUS_ZOOM_SIZE copies its points
};

std::vector<Note>& Notes() {
    static std::vector<Note> notes;
    return notes;
}

// The frame's side: notes every message the view sends or posts.
LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_AREA_EDITED || msg == WM_AREA_POINTS_PLACED || (msg >= WM_STATUS_CURSOR && msg <= WM_STATUS_HINT)) {
        Note note = {msg, wParam, lParam, {}, {}};
        if (msg == WM_STATUS_ZOOM_SIZE) {
            note.from = *reinterpret_cast<POINT*>(wParam);
            note.to = *reinterpret_cast<POINT*>(lParam);
        }
        Notes().push_back(note);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

const char* ParentClass() {
    static const char name[] = "ScanViewTestParent";
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = name;
        registered = RegisterClassA(&wc) != 0;
    }
    return name;
}

// A view that tells the test when a render pass is over, and can hold one
// pass back.
class WatchedView : public ScanView {
public:
    WatchedView()
        : m_settled(CreateEventA(NULL, FALSE, FALSE, NULL)),
          m_entered(CreateEventA(NULL, FALSE, FALSE, NULL)),
          m_release(CreateEventA(NULL, TRUE, TRUE, NULL)),
          m_finished(0) {}
    ~WatchedView() override {
        SetEvent(m_release.Get());
        Destroy();
    }

    void RenderPass(WORD flags) override {
        SetEvent(m_entered.Get());
        WaitForSingleObject(m_release.Get(), kWaitMs);
        ScanView::RenderPass(flags);
        {
            CriticalLock::Hold hold(m_flagsLock);
            m_flags.push_back(flags);
        }
        InterlockedIncrement(&m_finished);
        if (flags & kMarker) SetEvent(m_settled.Get());
    }
    // Every request posted so far has been drawn.
    bool Settle() {
        ResetEvent(m_settled.Get());
        Redraw(kMarker);
        return WaitForSingleObject(m_settled.Get(), kWaitMs) == WAIT_OBJECT_0;
    }
    std::vector<WORD> Flags() {
        CriticalLock::Hold hold(m_flagsLock);
        return m_flags;
    }
    using ScanView::ViewLock;
    // Another screen than the test's, measured as the system reports it.
    SIZE VirtualScreenSize() override { return m_virtualScreen.cx > 0 ? m_virtualScreen : ScanView::VirtualScreenSize(); }
    SIZE DesktopSize() override { return m_desktop.cx > 0 ? m_desktop : ScanView::DesktopSize(); }

    SIZE m_virtualScreen = {};
    SIZE m_desktop = {};
    OwnedHandle m_settled;
    OwnedHandle m_entered;
    OwnedHandle m_release;  // reset to hold the next pass back
    volatile LONG m_finished;
    CriticalLock m_flagsLock;
    std::vector<WORD> m_flags;
};

POINT Pt(int x, int y) {
    POINT p = {x, y};
    return p;
}

DWORD Pack(int x, int y) {
    return static_cast<DWORD>(static_cast<WORD>(x)) | static_cast<DWORD>(static_cast<WORD>(y)) << 16;
}

POINT Unpack(DWORD packed) {
    return Pt(static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed)));
}

struct Holder {
    WatchedView* view;
    HANDLE held, done;
};

// Holds the view's layers, as a long drawing does, until told to stop.
DWORD WINAPI HoldLayers(LPVOID param) {
    Holder* h = static_cast<Holder*>(param);
    CriticalLock::Hold hold(h->view->ViewLock());
    SetEvent(h->held);
    WaitForSingleObject(h->done, kWaitMs);
    return 0;
}

DWORD WINAPI ReleaseLater(LPVOID event) {
    Sleep(200);
    return SetEvent(static_cast<HANDLE>(event));
}

LPARAM At(POINT p) {
    return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
}

// A wall at distance, with the sensor's first word at firstStep.
ScanData Wall(WORD distance, WORD first, WORD firstStep = 0) {
    ScanData scan;
    for (WORD k = 0; k < ScanData::kStepCount; ++k) scan.SetStep(k, distance);
    scan.SetStep(firstStep, first);
    return scan;
}

class ScanViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        Notes().clear();
        m_areas.SetDevice(&m_caps);
        ASSERT_TRUE(m_areas.Init());
        m_shape.SetDevice(&m_caps);
        m_data.SetSensorCaps(&m_caps);
        m_parent = CreateWindowExA(0, ParentClass(), "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 700, NULL,
                                   NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_NE(static_cast<HWND>(NULL), m_parent);
        CreateView(SIZE(), SIZE());
    }
    // A view of 800 x 600 client pixels, on the test's screen or, given
    // sizes, on another.
    void CreateView(SIZE virtualScreen, SIZE desktop) {
        m_view.reset(new WatchedView);
        m_view->m_virtualScreen = virtualScreen;
        m_view->m_desktop = desktop;
        m_view->SetApplication(&m_application)->SetDevicePort(&m_port)->SetPrintView(&m_printView);
        m_view->SetAreaSet(&m_areas)->SetScanShape(&m_shape)->SetMeasuringData(&m_data)->SetSensorCaps(&m_caps);
        m_hwnd = m_view->Create(GetModuleHandleA(NULL), m_parent);
        ASSERT_NE(static_cast<HWND>(NULL), m_hwnd);
        MoveWindow(m_hwnd, 0, 0, 804, 604, TRUE);  // the client edge takes two pixels a side
        RECT client;
        GetClientRect(m_hwnd, &client);
        ASSERT_EQ(800, client.right);
        ASSERT_EQ(600, client.bottom);
        ASSERT_TRUE(m_view->Settle());
    }
    void TearDown() override {
        m_view.reset();
        if (m_parent != NULL) DestroyWindow(m_parent);
    }

    // The posted notes, once the test thread's posted messages have been
    // handled. Input stays queued: the screen's pointer, moved by other tests,
    // must not add its own notes to the ones the test's messages caused.
    std::vector<Note> Posted(UINT msg) {
        MSG m;
        while (PeekMessageA(&m, NULL, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE)) DispatchMessageA(&m);
        std::vector<Note> found;
        for (const Note& n : Notes()) {
            if (n.msg == msg) found.push_back(n);
        }
        return found;
    }
    COLORREF PixelAt(POINT device) { return GetPixel(m_view->GetCompositeDC(), device.x, device.y); }
    COLORREF PixelOf(POINT mm) { return PixelAt(m_view->ToDevice(mm)); }
    // Whether a pixel of the colour lies within r pixels of the point.
    bool Near(POINT device, COLORREF colour, int r) {
        for (int dy = -r; dy <= r; ++dy) {
            for (int dx = -r; dx <= r; ++dx) {
                if (PixelAt(Pt(device.x + dx, device.y + dy)) == colour) return true;
            }
        }
        return false;
    }
    int DarkPixels(RECT box) {
        int dark = 0;
        for (int y = box.top; y < box.bottom; ++y) {
            for (int x = box.left; x < box.right; ++x) {
                COLORREF c = PixelAt(Pt(x, y));
                if (c != CLR_INVALID && GetRValue(c) < 0x60 && GetGValue(c) < 0x60 && GetBValue(c) < 0x60) ++dark;
            }
        }
        return dark;
    }
    void Send(UINT msg, WPARAM keys, POINT p) { SendMessageA(m_hwnd, msg, keys, At(p)); }
    // A left drag from one pixel to another, through a point past the drag
    // distance so that it is a drag.
    void Drag(POINT from, POINT to, WPARAM keys) {
        Send(WM_MOUSEMOVE, keys, from);
        Send(WM_LBUTTONDOWN, keys | MK_LBUTTON, from);
        Send(WM_MOUSEMOVE, keys | MK_LBUTTON, Pt((from.x + to.x) / 2 + 7, (from.y + to.y) / 2 + 7));
        Send(WM_MOUSEMOVE, keys | MK_LBUTTON, to);
        Send(WM_LBUTTONUP, keys, to);
    }
    void Click(POINT p, WPARAM keys) {
        Send(WM_MOUSEMOVE, keys, p);
        Send(WM_LBUTTONDOWN, keys | MK_LBUTTON, p);
        Send(WM_LBUTTONUP, keys, p);
    }
    void LoadArea(std::initializer_list<POINT> points, int output2, int output3, int shape) {
        BYTE record[kAreaRecordBytes] = {};
        int i = 0;
        for (const POINT& p : points) {
            *reinterpret_cast<DWORD*>(record + 4 * i) = Pack(p.x, p.y);
            ++i;
        }
        *reinterpret_cast<short*>(record + 28) = static_cast<short>(output2);
        *reinterpret_cast<short*>(record + 30) = static_cast<short>(output3);
        record[32] = static_cast<BYTE>(shape << 3);
        m_areas.SetCurrentRaw(record);
        m_areas.SetRecordHistory(0);
        m_areas.ClearHistory();
        m_view->RedrawAreas();
        ASSERT_TRUE(m_view->Settle());
    }
    // The handle's centre in pixels (output handles stand on their point).
    POINT HandleCentre(int i) {
        ViewHandles handles;
        m_view->GetHandles(&handles);
        const RECT& r = handles.rects[i];
        return Pt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    int MillimetresPerPixel() { return m_view->Mapping().WindowExtent().cx / m_view->Mapping().ViewportExtent().cx + 1; }

    TestSettings m_file;  // first: the view writes its settings when it goes
    Application m_application;
    DevicePort m_port;
    PrintView m_printView;
    SensorCaps m_caps;
    AreaSet m_areas;
    ScanShape m_shape;
    MeasuringData m_data;
    std::unique_ptr<WatchedView> m_view;
    HWND m_parent = NULL;
    HWND m_hwnd = NULL;
};

}  // namespace

// --- Layers -----------------------------------------------------------------

TEST_F(ScanViewTest, WallScanFillsTheScannedSectorOnly) {
    m_view->SetRealtimeScan(Wall(2000, 0));
    ASSERT_TRUE(m_view->Settle());
    EXPECT_EQ(kScanGrey, PixelOf(Pt(500, 1500))) << "inside the wall, ahead";
    EXPECT_EQ(kScanGrey, PixelOf(Pt(-1500, 500))) << "inside the wall, to the left";
    EXPECT_EQ(kWhite, PixelOf(Pt(500, 2500))) << "beyond the wall";
    EXPECT_EQ(kWhite, PixelOf(Pt(500, -1500))) << "behind the sensor, where it does not scan";
}

// The sensor's first word selects the drawing: 1 draws over the old picture
// with the second brush; a distance there (not 1 or 2) refreshes and draws
// like 0. A 31-step scan holds its first word at step 369 (384 - 15).
TEST_F(ScanViewTest, RealtimeFirstWordChoosesRefreshAndBrush) {
    const struct {
        const char* version;
        WORD firstStep;
    } sensors[] = {{"5.1.3K", 0}, {"1.0.0U", 369}};
    m_caps.SetModel(0);
    for (const auto& sensor : sensors) {
        m_caps.SetVersionText(sensor.version);
        m_view->SetRealtimeScan(Wall(2000, 0, sensor.firstStep));
        ASSERT_TRUE(m_view->Settle());
        m_view->SetRealtimeScan(Wall(1000, 1, sensor.firstStep));
        ASSERT_TRUE(m_view->Settle());
        EXPECT_EQ(kScanGrey, PixelOf(Pt(100, 1500))) << sensor.version << ": the old scan stays beyond the new wall";
        EXPECT_EQ(static_cast<COLORREF>(0xE9EB73 & kScanGrey), PixelOf(Pt(100, 600)))
            << sensor.version << ": second brush over the grey";

        m_view->SetRealtimeScan(Wall(1000, 1234, sensor.firstStep));
        ASSERT_TRUE(m_view->Settle());
        EXPECT_EQ(kWhite, PixelOf(Pt(100, 1500))) << sensor.version << ": refreshed from the background";
        EXPECT_EQ(kScanGrey, PixelOf(Pt(100, 600))) << sensor.version << ": drawn with the first brush";
    }
}

TEST_F(ScanViewTest, AreaIsFilledInItsColourAndHandlesBeyondRangeAreRed) {
    m_view->SetDrawItem(ScanView::kDrawRealtime, 0);
    m_caps.SetModel(0);
    m_caps.SetVersionText("1.0.0U");  // range 3500 mm, a narrow field straight ahead
    LoadArea({{-2000, 500}, {2000, 500}, {4000, 2500}, {-1000, 3000}}, -4000, 0, 0);
    EXPECT_EQ(kOutput1Yellow, PixelOf(Pt(200, 1500)));
    EXPECT_EQ(kWhite, PixelOf(Pt(-3500, 1500)));
    // Sorted by angle: (2000, 500), (4000, 2500), (-1000, 3000), (-2000, 500).
    EXPECT_EQ(static_cast<COLORREF>(0xFFFFFF), PixelAt(HandleCentre(0)));
    EXPECT_EQ(static_cast<COLORREF>(0x0000FF), PixelAt(HandleCentre(1)));
    EXPECT_EQ(static_cast<COLORREF>(0xFFFFFF), PixelAt(HandleCentre(2)));
    EXPECT_EQ(static_cast<COLORREF>(0x0000FF), PixelAt(HandleCentre(ViewHandles::kOutput2)));
    EXPECT_EQ(static_cast<COLORREF>(0xFFFFFF), PixelAt(HandleCentre(ViewHandles::kOutput3)));
}

TEST_F(ScanViewTest, GridLinesCirclesAndLabels) {
    m_view->SetDrawItem(ScanView::kDrawRealtime, 0);
    m_view->Redraw(ScanView::kRedrawLayout);
    ASSERT_TRUE(m_view->Settle());
    const POINT line = m_view->ToDevice(Pt(4000, 4500));
    EXPECT_TRUE(Near(line, kGridGrey, 1)) << "a metre line";
    // "2m" under the x axis at the 2 m column.
    const POINT two = m_view->ToDevice(Pt(2000, 0));
    EXPECT_GT(DarkPixels({two.x - 12, two.y - 8, two.x + 12, two.y + 8}), 5);

    m_view->SetGridCircle(1);
    ASSERT_TRUE(m_view->Settle());
    EXPECT_FALSE(Near(line, kGridGrey, 1)) << "no straight lines among circles";
    EXPECT_TRUE(Near(m_view->ToDevice(Pt(707, 707)), kGridGrey, 2)) << "the 1 m circle";
    EXPECT_TRUE(Near(m_view->ToDevice(Pt(3536, 3536)), kGridGrey, 2)) << "the 5 m circle";
    EXPECT_EQ(kWhite, PixelOf(Pt(3900, 3900))) << "nothing beyond 5 m";
}

TEST_F(ScanViewTest, ColumnLabelsStayInsideWhenTheAxisIsOffTheView) {
    m_view->SetDrawItem(ScanView::kDrawRealtime, 0);
    m_view->SetMapping(0, 2000, 800, 600);  // the x axis far above the view
    m_view->Redraw(ScanView::kRedrawLayout);
    ASSERT_TRUE(m_view->Settle());
    ASSERT_LT(m_view->ToDevice(Pt(0, 0)).y, 0);
    const POINT one = m_view->ToDevice(Pt(1000, 0));
    EXPECT_GT(DarkPixels({one.x - 12, 0, one.x + 12, 16}), 5);
}

// New recorded scans go onto the background one by one; a rebuild draws
// what the measuring data holds. The recording dialog asks for both.
TEST_F(ScanViewTest, RecordedScansAreAddedWithoutRebuildingTheBackground) {
    RecordingView& recording = *m_view;
    m_view->SetDrawItem(ScanView::kDrawRealtime, 0);
    m_view->SetDrawItem(ScanView::kDrawRecord, 1);
    m_data.TakeSensorCaps(NULL);
    m_data.Append(Wall(1500, 0));
    recording.DrawRecordedScan();
    m_data.Clear();
    m_data.Append(Wall(3000, 0));
    recording.DrawRecordedScan();
    m_view->Redraw(0);
    ASSERT_TRUE(m_view->Settle());
    EXPECT_TRUE(Near(m_view->ToDevice(Pt(1061, 1061)), 0, 1)) << "the first scan's outline stays";
    EXPECT_TRUE(Near(m_view->ToDevice(Pt(2121, 2121)), 0, 1)) << "the second scan's outline";

    recording.RedrawRecording();
    ASSERT_TRUE(m_view->Settle());
    EXPECT_FALSE(Near(m_view->ToDevice(Pt(1061, 1061)), 0, 1)) << "a rebuild draws only what is held";
    EXPECT_TRUE(Near(m_view->ToDevice(Pt(2121, 2121)), 0, 1));
}

TEST_F(ScanViewTest, LayersCoverTheVirtualScreenAndFollowADisplayChange) {
    BITMAP bitmap = {};
    GetObjectA(GetCurrentObject(m_view->GetCompositeDC(), OBJ_BITMAP), sizeof bitmap, &bitmap);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), bitmap.bmWidth);
    EXPECT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), bitmap.bmHeight);
    const POINT sensor = m_view->ToDevice(Pt(0, 0));
    SendMessageA(m_hwnd, WM_DISPLAYCHANGE, 24, MAKELPARAM(1280, 1024));
    m_view->SetRealtimeScan(Wall(2000, 0));
    ASSERT_TRUE(m_view->Settle());
    EXPECT_EQ(kScanGrey, PixelOf(Pt(500, 1500)));
    EXPECT_EQ(sensor.x, m_view->ToDevice(Pt(0, 0)).x) << "same screen, same picture";
}

// --- Render thread ----------------------------------------------------------

// Two full HD monitors side by side: the layers cover both, while the first
// scale and the zoom limits are those of the primary monitor, as on one.
TEST_F(ScanViewTest, TwoMonitorsKeepTheScaleAndZoomLimitsOfThePrimaryOne) {
    const SIZE both = {3840, 1080}, primary = {1920, 1080};
    CreateView(both, primary);
    BITMAP bitmap = {};
    GetObjectA(GetCurrentObject(m_view->GetCompositeDC(), OBJ_BITMAP), sizeof bitmap, &bitmap);
    EXPECT_EQ(3840, bitmap.bmWidth) << "a window moved to the second monitor draws";
    // 10 m over 512 pixels: 37500 mm over 1920.
    EXPECT_EQ(37500, m_view->Mapping().WindowExtent().cx);
    EXPECT_EQ(1920, m_view->Mapping().ViewportExtent().cx);
    // Zoomed out as far as it goes: 40 m over 1920 pixels, 16667 mm over 800.
    m_view->SetMapping(-4000, -3000, 8800, 6600);
    EXPECT_NEAR(16667, m_view->ToLogical(Pt(800, 0)).x - m_view->ToLogical(Pt(0, 0)).x, 25);
}

TEST_F(ScanViewTest, QueuedRedrawsBecomeOnePass) {
    ResetEvent(m_view->m_release.Get());
    ResetEvent(m_view->m_entered.Get());
    m_view->Redraw(0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m_view->m_entered.Get(), kWaitMs));
    const size_t before = m_view->Flags().size();
    m_view->Redraw(0x04);
    m_view->Redraw(0x08);
    m_view->Redraw(0x02);
    SetEvent(m_view->m_release.Get());
    ASSERT_TRUE(m_view->Settle());
    std::vector<WORD> flags = m_view->Flags();
    ASSERT_GE(flags.size(), before + 2);
    EXPECT_EQ(0x0E, flags[before + 1] & 0xFF) << "the three queued requests in one pass";
}

TEST_F(ScanViewTest, DestroyWaitsForThePassInProgress) {
    ResetEvent(m_view->m_release.Get());
    ResetEvent(m_view->m_entered.Get());
    const LONG finished = m_view->m_finished;
    m_view->Redraw(ScanView::kRedrawLayout);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m_view->m_entered.Get(), kWaitMs));
    HANDLE release = m_view->m_release.Get();
    HANDLE releaser = CreateThread(NULL, 0, ReleaseLater, release, 0, NULL);
    m_view->Destroy();
    EXPECT_EQ(finished + 1, m_view->m_finished) << "the pass ended before the layers went";
    EXPECT_EQ(static_cast<HDC>(NULL), m_view->GetCompositeDC());
    EXPECT_EQ(0, m_view->Redraw(0)) << "no render thread after the window";
    WaitForSingleObject(releaser, kWaitMs);
    CloseHandle(releaser);
}

// The mouse converts with its own copy of the mapping: a pan and a hover
// finish while a long drawing holds the layers.
TEST_F(ScanViewTest, MouseDoesNotWaitForALongDrawing) {
    HANDLE held = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE done = CreateEventA(NULL, TRUE, FALSE, NULL);
    Holder holder = {m_view.get(), held, done};
    HANDLE thread = CreateThread(NULL, 0, HoldLayers, &holder, 0, NULL);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(held, kWaitMs));
    const DWORD start = GetTickCount();
    m_view->SetMode(ViewModes::kMove);
    const POINT before = m_view->ToLogical(Pt(0, 0));
    Drag(Pt(400, 300), Pt(300, 300), 0);
    EXPECT_LT(GetTickCount() - start, kWaitMs / 2);
    EXPECT_GT(m_view->ToLogical(Pt(0, 0)).x, before.x);
    SetEvent(done);
    WaitForSingleObject(thread, kWaitMs);
    CloseHandle(thread);
    CloseHandle(held);
    CloseHandle(done);
}

// --- Settings ----------------------------------------------------------------

TEST(ScanViewSettings, DrawItemIsMaskedAndHandlesFollowTheAreaLayer) {
    const struct {
        const char* saved;
        WORD loaded;
    } cases[] = {{"8", 24}, {"16", 0}, {"28", 28}, {"2", 2}, {"255", 30}, {"96", 0}};
    for (const auto& c : cases) {
        TestSettings file;
        IniFile settings;
        settings.WriteString(ScanView::kSection, "DrawItem", c.saved);
        ScanView view;
        for (WORD bit = 1; bit != 0; bit = static_cast<WORD>(bit << 1)) {
            EXPECT_EQ((c.loaded & bit) != 0 ? 1 : 0, view.TestDrawItem(bit)) << c.saved << " bit " << bit;
        }
    }
}

TEST(ScanViewSettings, MappingAndDrawItemAreWrittenBack) {
    TestSettings file;
    {
        ScanView view;
        view.SetDrawItem(ScanView::kDrawRecord, 1);
        view.SetDrawItem(ScanView::kDrawRealtime, 0);
    }
    std::string text = file.Contents();
    for (const char* line : {"DrawItem=26", "WindowOriginX=-5000", "WindowExtentCY=-8000", "ViewportExtentCX=512",
                             "ClientExtentCY=384"}) {
        EXPECT_NE(std::string::npos, text.find(line)) << line << " in\n" << text;
    }
}

// --- Mouse modes ---------------------------------------------------------------

TEST_F(ScanViewTest, DraggingAVertexStoresItAndTellsTheFrame) {
    LoadArea({{-1000, 1000}, {0, 2000}, {1000, 1000}}, 0, 0, 0);
    const POINT target = m_view->ToDevice(Pt(2345, 3456));
    Drag(HandleCentre(1), target, 0);  // (0, 2000) sorts between the other two
    ASSERT_EQ(1u, Posted(WM_AREA_EDITED).size());
    bool moved = false;
    for (int i = 0; i < 7; ++i) {
        POINT p = Unpack(m_areas.GetPoint(i));
        if (std::abs(p.x - 2345) <= MillimetresPerPixel() && std::abs(p.y - 3456) <= MillimetresPerPixel()) moved = true;
        EXPECT_FALSE(p.x == 0 && p.y == 2000) << "the dragged point left its place";
    }
    EXPECT_TRUE(moved);
    EXPECT_FALSE(m_view->TestDrawItem(ScanView::kDrawFeedback));
    EXPECT_TRUE(m_areas.CanUndo()) << "an edit in the view can be undone";
}

TEST_F(ScanViewTest, ShiftRoundsToWholeDecimetresAndTheSensorSnaps) {
    LoadArea({{-1000, 1000}, {0, 2000}, {1000, 1000}}, 0, 0, 0);
    const POINT target = m_view->ToDevice(Pt(-2349, 4151));
    const POINT pointer = m_view->ToLogical(target);
    Drag(HandleCentre(0), target, MK_SHIFT);
    ASSERT_TRUE(m_view->Settle());
    bool found = false;
    for (int i = 0; i < 7; ++i) {
        POINT p = Unpack(m_areas.GetPoint(i));
        if (p.x % 100 == 0 && p.y % 100 == 0 && std::abs(p.x - pointer.x) <= 50 && std::abs(p.y - pointer.y) <= 50 &&
            (p.x != 0 || p.y != 0)) {
            found = true;
        }
    }
    EXPECT_TRUE(found);

    // Dropped 6 pixels from the sensor: onto it.
    const POINT sensor = m_view->ToDevice(Pt(0, 0));
    Drag(HandleCentre(0), Pt(sensor.x + 6, sensor.y), 0);
    int atOrigin = 0;
    for (int i = 0; i < 7; ++i) atOrigin += m_areas.GetPoint(i) == 0 ? 1 : 0;
    EXPECT_EQ(5, atOrigin) << "four points were at the origin, one more now";
}

TEST_F(ScanViewTest, OutputHandlesFollowThePartitionShape) {
    const struct {
        int shape;
        POINT to;  // mm
        int expected;
    } cases[] = {
        {1, {300, 400}, 500},    // fan-shaped: the distance from the sensor
        {0, {500, -700}, 0},     // straight, below the x axis: nothing
        {0, {500, 1800}, 1800},  // straight: the height
    };
    const ViewMapping wide = m_view->Mapping();
    for (const auto& c : cases) {
        LoadArea({{-3000, 1000}, {0, 4000}, {3000, 1000}}, 3000, 1000, c.shape);
        // Zoomed to 6 x 4.5 m, so a pixel is 7.5 mm.
        const POINT corner = m_view->ToDevice(Pt(-3000, 3500));
        const POINT opposite = m_view->ToDevice(Pt(3000, -1000));
        m_view->SetMapping(corner.x, corner.y, opposite.x - corner.x, opposite.y - corner.y);
        m_view->Redraw(ScanView::kRedrawLayout);
        ASSERT_TRUE(m_view->Settle());
        Drag(HandleCentre(ViewHandles::kOutput2), m_view->ToDevice(c.to), 0);
        // The untouched output keeps 1000; the outputs stay ordered.
        const int moved = m_areas.GetOutput2() == 1000 ? m_areas.GetOutput3() : m_areas.GetOutput2();
        EXPECT_NEAR(c.expected, moved, 2 * MillimetresPerPixel()) << "shape " << c.shape;
        m_view->RestoreMapping(wide);
    }
}

TEST_F(ScanViewTest, DragAwayFromHandlesChangesNothing) {
    LoadArea({{-1000, 1000}, {0, 2000}, {1000, 1000}}, 0, 0, 0);
    BYTE before[kAreaRecordBytes], after[kAreaRecordBytes];
    m_areas.GetCurrentRaw(before);
    Drag(m_view->ToDevice(Pt(-3500, 3500)), m_view->ToDevice(Pt(2500, 2500)), 0);
    m_areas.GetCurrentRaw(after);
    EXPECT_EQ(0, memcmp(before, after, sizeof before));
    EXPECT_TRUE(Posted(WM_AREA_EDITED).empty());
}

TEST_F(ScanViewTest, HoverReportsHandlesHintAndPosition) {
    LoadArea({{-1000, 1000}, {0, 2000}, {1000, 1000}}, 0, 0, 0);
    Send(WM_MOUSEMOVE, 0, HandleCentre(2));
    std::vector<Note> handles = Posted(WM_STATUS_EDIT_HANDLE);
    ASSERT_EQ(1u, handles.size());
    EXPECT_EQ(2u, handles[0].wParam);
    EXPECT_EQ(Pack(-1000, 1000), static_cast<DWORD>(handles[0].lParam));
    Send(WM_MOUSEMOVE, 0, m_view->ToDevice(Pt(-3000, 4000)));
    std::vector<Note> hints = Posted(WM_STATUS_HINT);
    ASSERT_EQ(1u, hints.size());
    EXPECT_EQ(static_cast<WPARAM>(ViewModes::kHintEdit), hints[0].wParam);
    std::vector<Note> cursor = Posted(WM_STATUS_CURSOR);
    ASSERT_FALSE(cursor.empty());
    EXPECT_NEAR(-3000, static_cast<int>(cursor.back().wParam), MillimetresPerPixel());
    EXPECT_NEAR(4000, static_cast<int>(cursor.back().lParam), MillimetresPerPixel());
}

TEST_F(ScanViewTest, MoveModeHintsOncePerEntry) {
    m_view->SetMode(ViewModes::kMove);
    Send(WM_MOUSEMOVE, 0, Pt(100, 100));
    Send(WM_MOUSEMOVE, 0, Pt(120, 100));
    EXPECT_EQ(1u, Posted(WM_STATUS_HINT).size());
    SendMessageA(m_hwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(1u, Posted(WM_STATUS_CLEAR_HINT).size());
    Send(WM_MOUSEMOVE, 0, Pt(130, 100));
    std::vector<Note> hints = Posted(WM_STATUS_HINT);
    ASSERT_EQ(2u, hints.size());
    EXPECT_EQ(static_cast<WPARAM>(ViewModes::kHintMove), hints[1].wParam);
}

TEST_F(ScanViewTest, PanFollowsThePointerTripledWithShiftAndEscapeRestoresIt) {
    m_view->SetMode(ViewModes::kMove);
    const POINT start = m_view->ToLogical(Pt(0, 0));
    const POINT grabbed = m_view->ToLogical(Pt(400, 300));
    Send(WM_MOUSEMOVE, 0, Pt(400, 300));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Pt(400, 300));
    Send(WM_MOUSEMOVE, MK_LBUTTON, Pt(350, 280));
    const POINT under = m_view->ToLogical(Pt(350, 280));
    EXPECT_NEAR(grabbed.x, under.x, MillimetresPerPixel()) << "the grabbed point stays under the pointer";
    EXPECT_NEAR(grabbed.y, under.y, MillimetresPerPixel());

    const POINT before = m_view->ToLogical(Pt(0, 0));
    Send(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, Pt(340, 280));  // 10 pixels with Shift: 30
    const int mm = m_view->ToLogical(Pt(30, 0)).x - m_view->ToLogical(Pt(0, 0)).x;
    EXPECT_NEAR(before.x + mm, m_view->ToLogical(Pt(0, 0)).x, MillimetresPerPixel());

    m_view->CancelDrag();
    EXPECT_EQ(start.x, m_view->ToLogical(Pt(0, 0)).x) << "Escape undoes the whole pan, Shift steps included";
    EXPECT_EQ(start.y, m_view->ToLogical(Pt(0, 0)).y);
    EXPECT_EQ(static_cast<HWND>(NULL), GetCapture());
}

TEST_F(ScanViewTest, MiddleButtonPansInEditMode) {
    const POINT grabbed = m_view->ToLogical(Pt(400, 300));
    Send(WM_MBUTTONDOWN, MK_MBUTTON, Pt(400, 300));
    Send(WM_MOUSEMOVE, MK_MBUTTON, Pt(440, 330));
    Send(WM_MBUTTONUP, 0, Pt(440, 330));
    const POINT under = m_view->ToLogical(Pt(440, 330));
    EXPECT_NEAR(grabbed.x, under.x, MillimetresPerPixel());
    EXPECT_NEAR(grabbed.y, under.y, MillimetresPerPixel());
    EXPECT_EQ(ViewModes::kEdit, m_view->GetMode());
}

TEST_F(ScanViewTest, RubberRectangleGrowsToTheClientAspectBeforeZooming) {
    m_view->SetMode(ViewModes::kZoom);
    const POINT topLeft = m_view->ToLogical(Pt(300, 200));
    const POINT bottomRight = m_view->ToLogical(Pt(500, 350));
    Drag(Pt(300, 250), Pt(500, 300), 0);  // 200 x 50 grows to 200 x 150
    std::vector<Note> sizes;
    for (const Note& n : Notes()) {
        if (n.msg == WM_STATUS_ZOOM_SIZE) sizes.push_back(n);
    }
    ASSERT_FALSE(sizes.empty());
    const int tolerance = 2 * MillimetresPerPixel();
    EXPECT_NEAR(topLeft.x, m_view->ToLogical(Pt(0, 0)).x, tolerance);
    EXPECT_NEAR(topLeft.y, m_view->ToLogical(Pt(0, 0)).y, tolerance);
    EXPECT_NEAR(bottomRight.x, m_view->ToLogical(Pt(800, 600)).x, tolerance);
    EXPECT_NEAR(bottomRight.y, m_view->ToLogical(Pt(800, 600)).y, tolerance);
}

TEST_F(ScanViewTest, ZoomClicksAndTinyRectanglesZoomByASixthAboutThePoint) {
    m_view->SetMode(ViewModes::kZoom);
    const struct {
        const char* name;
        WPARAM keys;
        bool jitter;  // the pointer leaves the drag distance and comes back
        int num, den; // new extent over old
    } cases[] = {
        {"click", 0, false, 5, 6},
        {"shift click", MK_SHIFT, false, 6, 5},
        {"tiny rectangle", 0, true, 5, 6},
    };
    for (const auto& c : cases) {
        const int extent = m_view->Mapping().WindowExtent().cx;
        const POINT at = Pt(250, 400);
        const POINT fixed = m_view->ToLogical(at);
        Send(WM_MOUSEMOVE, c.keys, at);
        Send(WM_LBUTTONDOWN, c.keys | MK_LBUTTON, at);
        if (c.jitter) {
            Send(WM_MOUSEMOVE, c.keys | MK_LBUTTON, Pt(at.x + 12, at.y));
            Send(WM_MOUSEMOVE, c.keys | MK_LBUTTON, Pt(at.x + 1, at.y));
        }
        Send(WM_LBUTTONUP, c.keys, Pt(at.x + (c.jitter ? 1 : 0), at.y));
        EXPECT_NEAR(extent * c.num / c.den, m_view->Mapping().WindowExtent().cx, 60) << c.name;
        EXPECT_NEAR(fixed.x, m_view->ToLogical(at).x, 2 * MillimetresPerPixel()) << c.name;
    }
}

TEST_F(ScanViewTest, WheelZoomFitsAboutThePointerAndTheViewIgnoresTheWheelItself) {
    const int extent = m_view->Mapping().WindowExtent().cx;
    SendMessageA(m_hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(100, 100));
    EXPECT_EQ(extent, m_view->Mapping().WindowExtent().cx);
    const POINT fixed = m_view->ToLogical(Pt(600, 150));
    m_view->FitRectToClient(600, 150, 1);
    EXPECT_NEAR(extent * 9 / 10, m_view->Mapping().WindowExtent().cx, 60);
    EXPECT_NEAR(fixed.x, m_view->ToLogical(Pt(600, 150)).x, 2 * MillimetresPerPixel());
    m_view->FitRectToClient(600, 150, 0);
    EXPECT_NEAR(extent, m_view->Mapping().WindowExtent().cx, 60);
}

// Placed in an order unlike the angular one into an area that has points
// already: each placed point must land in a vertex of its own.
TEST_F(ScanViewTest, SevenPlacedPointsReplaceTheArea) {
    LoadArea({{-3000, 500}, {-2000, 2500}, {-500, 3000}, {500, 3000}, {2000, 2500}, {3000, 500}, {0, 1000}}, 0, 0,
             0);
    const POINT placed[7] = {{2500, 1000}, {-2500, 1000}, {0, 3500}, {1500, 3000}, {-1500, 3000}, {3000, 2000},
                             {-3000, 2000}};
    m_view->SetMode(ViewModes::kPlaceVertices);
    EXPECT_TRUE(m_view->TestDrawItem(ScanView::kDrawFeedback));
    for (int i = 0; i < 7; ++i) Click(m_view->ToDevice(placed[i]), MK_SHIFT);
    EXPECT_EQ(1u, Posted(WM_AREA_POINTS_PLACED).size());
    Click(m_view->ToDevice(Pt(100, 100)), MK_SHIFT);  // an eighth is not stored
    EXPECT_EQ(2u, Posted(WM_AREA_POINTS_PLACED).size());
    ASSERT_TRUE(m_view->Settle());
    EXPECT_EQ(static_cast<COLORREF>(0), PixelAt(m_view->ToDevice(placed[2]))) << "a placed point's square";

    m_view->SetMode(ViewModes::kCommitPlacement);
    EXPECT_EQ(ViewModes::kEdit, m_view->GetMode());
    EXPECT_FALSE(m_view->TestDrawItem(ScanView::kDrawFeedback));
    int found = 0;
    for (const POINT& p : placed) {
        for (int i = 0; i < 7; ++i) found += m_areas.GetPoint(i) == Pack(p.x, p.y) ? 1 : 0;
    }
    EXPECT_EQ(7, found);
}

TEST_F(ScanViewTest, EscapeDiscardsPlacedPoints) {
    LoadArea({{-1000, 1000}, {0, 2000}, {1000, 1000}}, 0, 0, 0);
    BYTE before[kAreaRecordBytes], after[kAreaRecordBytes];
    m_areas.GetCurrentRaw(before);
    m_view->SetMode(ViewModes::kZoom);
    m_view->SetMode(ViewModes::kPlaceVertices);
    for (int i = 0; i < 3; ++i) Click(m_view->ToDevice(Pt(500 * i, 3000)), 0);
    m_view->CancelDrag();
    EXPECT_EQ(ViewModes::kZoom, m_view->GetMode()) << "back to the last ordinary mode";
    m_areas.GetCurrentRaw(after);
    EXPECT_EQ(0, memcmp(before, after, sizeof before));
}

TEST_F(ScanViewTest, PreviewModeIgnoresTheMouse) {
    LoadArea({{-1000, 1000}, {0, 2000}, {1000, 1000}}, 0, 0, 0);
    const POINT handle = HandleCentre(1);
    m_view->SetMode(ViewModes::kPreview);
    EXPECT_TRUE(m_view->TestDrawItem(ScanView::kDrawPreview));
    m_view->SetMode(ViewModes::kMove);  // remembered, but the preview stays
    EXPECT_EQ(ViewModes::kPreview, m_view->GetMode());
    const POINT start = m_view->ToLogical(Pt(0, 0));
    Drag(handle, Pt(handle.x + 100, handle.y + 50), 0);
    Send(WM_MBUTTONDOWN, MK_MBUTTON, Pt(400, 300));
    Send(WM_MOUSEMOVE, MK_MBUTTON, Pt(300, 200));
    Send(WM_MBUTTONUP, 0, Pt(300, 200));
    EXPECT_EQ(start.x, m_view->ToLogical(Pt(0, 0)).x);
    EXPECT_EQ(Pack(0, 2000), m_areas.GetPoint(1));
    EXPECT_TRUE(Posted(WM_AREA_EDITED).empty());
    m_view->SetMode(ViewModes::kDiscardPlacement);
    EXPECT_EQ(ViewModes::kMove, m_view->GetMode());
    EXPECT_FALSE(m_view->TestDrawItem(ScanView::kDrawPreview));
}

// --- Feedback figures ------------------------------------------------------------

TEST(ViewFeedbackFigures, RatioOverAnAreaWithoutHeightIsZero) {
    SensorCaps caps;
    AreaSet areas;
    areas.SetDevice(&caps);
    BYTE record[kAreaRecordBytes] = {};
    *reinterpret_cast<DWORD*>(record) = Pack(-2000, 0);
    *reinterpret_cast<DWORD*>(record + 4) = Pack(2000, 0);
    record[32] = 2 << 3;  // ratio
    areas.SetCurrentRaw(record);
    ViewFeedback figure;
    ViewModes::BuildOutputFigure(areas, Pt(0, 1500), -5000, 5000, &figure);
    ASSERT_EQ(ViewFeedback::kPolygon, figure.kind);
    ASSERT_GE(figure.pointCount, 3);
    for (int i = 0; i < figure.pointCount; ++i) {
        EXPECT_EQ(0, figure.points[i].x);
        EXPECT_EQ(0, figure.points[i].y);
    }
}

TEST(ViewFeedbackFigures, VertexFigureStaysWithinItsBuffer) {
    SensorCaps caps;
    AreaSet areas;
    areas.SetDevice(&caps);
    // Points all round the sensor, so the outline jumps back through it.
    const POINT points[7] = {{1000, -900}, {1000, 10}, {10, 1000}, {-1000, 10}, {-1000, -900}, {-10, -1000}, {10, -1000}};
    BYTE record[kAreaRecordBytes] = {};
    for (int i = 0; i < 7; ++i) *reinterpret_cast<DWORD*>(record + 4 * i) = Pack(points[i].x, points[i].y);
    areas.SetCurrentRaw(record);
    for (int handle = 0; handle < 7; ++handle) {
        ViewFeedback figure;
        ViewModes::BuildVertexFigure(areas, handle, Pt(0, -5000), &figure);
        EXPECT_LE(figure.pointCount, static_cast<int>(ViewFeedback::kMaxPoints));
        EXPECT_GE(figure.pointCount, 8) << "the origin and seven points";
    }
    ViewFeedback full;
    for (int i = 0; i < ViewFeedback::kMaxPoints; ++i) EXPECT_EQ(1, full.Append(i, i));
    EXPECT_EQ(0, full.Append(99, 99));
}
