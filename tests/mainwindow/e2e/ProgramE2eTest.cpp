#include "tests/mainwindow/e2e/ProgramRun.h"

#include "tests/protocol/e2e/SimLog.h"

#include "framework/OwnedHandle.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool Has(const std::string& text, const char* line) {
    return text.find(line) != std::string::npos;
}

std::string Caption(HWND hwnd) {
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

// The caption is set once the start is complete, just after the window shows.
std::string CaptionOnceStarted(HWND hwnd) {
    const DWORD start = GetTickCount();
    while (Caption(hwnd) == "TIV Configurator" && GetTickCount() - start < ProgramRun::kTimeoutMs) Sleep(10);
    return Caption(hwnd);
}

// The first message received whose hex starts with prefix, waited for.
bool WaitForRequest(const std::string& prefix, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        for (const std::string& line : SimLog::Lines("RX")) {
            if (line.compare(0, prefix.size(), prefix) == 0) return true;
        }
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}

// The simulated sensor's rate, from the switches its log starts with.
std::string SimulatedRate() {
    const std::vector<std::string> start = SimLog::Lines("START");
    if (start.empty()) return std::string();
    const size_t at = start[0].find("--baud ");
    if (at == std::string::npos) return std::string();
    const std::string rest = start[0].substr(at + 7);
    return rest.substr(0, rest.find(' '));
}

// Starts the program on the simulator's port at 19200 baud; its main window.
HWND StartAt19200(ProgramRun& program) {
    if (!program.Ready()) return NULL;
    program.WriteSetting("Device", "ComPort", std::to_string(SimLog::ComPort()).c_str());
    program.WriteSetting("Device", "DeviceType", "0");
    program.Start("");
    return program.WaitForWindow();
}

struct BoxSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM param) {
    BoxSearch* search = reinterpret_cast<BoxSearch*>(param);
    char className[16] = {};
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->processId || !GetClassNameA(hwnd, className, sizeof className)) return TRUE;
    if (strcmp(className, "#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

// The message box the program shows, waited for; 0 when none shows.
HWND WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        BoxSearch search = {processId, NULL};
        EnumWindows(&FindMessageBox, reinterpret_cast<LPARAM>(&search));
        if (search.found != NULL || GetTickCount() - start >= timeoutMs) return search.found;
        Sleep(20);
    }
}

// The message box's text: its static control.
std::string BoxText(HWND box) {
    char text[256] = {};
    SendMessageA(GetDlgItem(box, 0xFFFF), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace

TEST(ProgramE2e, FirstStartShowsTheMainWindowAndACloseSavesTheSettings) {
    ProgramRun program;
    ASSERT_TRUE(program.Ready());
    const DWORD started = GetTickCount();
    ASSERT_NE(static_cast<HANDLE>(NULL), program.Start(""));
    HWND window = program.WaitForWindow();
    ASSERT_NE(static_cast<HWND>(NULL), window);
    printf("start-up to a shown window: %lu ms\n", GetTickCount() - started);

    EXPECT_EQ("Veldra", CaptionOnceStarted(window));
    EXPECT_FALSE(IsZoomed(window));
    RECT rect;
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_EQ(512, rect.right - rect.left);
    EXPECT_EQ(384, rect.bottom - rect.top);

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, program.WaitForExit());
    std::string settings = program.Settings();
    for (const char* line :
         {"[Window]", "ToolbarVisible=1", "StatusbarVisible=1", "WindowLeft=0", "WindowTop=0",
          "WindowRight=512", "WindowBottom=384", "ShowCommand=1", "Language=0", "[Device]", "ComPort=0",
          "DeviceType=65535", "[File]", "AreaFileName=", "MeasurementFileName="}) {
        EXPECT_TRUE(Has(settings, line)) << line << " in\n" << settings;
    }
}

TEST(ProgramE2e, SecondCopyEndsSilentlyAndTheFirstStays) {
    ProgramRun program;
    ASSERT_TRUE(program.Ready());
    program.Start("");
    HWND first = program.WaitForWindow();
    ASSERT_NE(static_cast<HWND>(NULL), first);
    // A window of the test in front, so that only the second copy can bring
    // the first to the foreground.
    HWND other = CreateWindowExA(0, "STATIC", "in front", WS_POPUP | WS_VISIBLE, 600, 500, 100, 50, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
    ASSERT_NE(static_cast<HWND>(NULL), other);
    SetForegroundWindow(other);
    EXPECT_EQ(other, GetForegroundWindow());

    // The first copy takes activation in its own time, as every thread does.
    // Once it has given up its activation, it is held still while the
    // second copy runs, so it takes the activation back only afterwards.
    DWORD_PTR answer = 0;
    ASSERT_NE(0, SendMessageTimeoutA(first, WM_NULL, 0, 0, SMTO_NORMAL, ProgramRun::kTimeoutMs, &answer));
    OwnedHandle firstThread(OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(first, NULL)));
    ASSERT_TRUE(firstThread.Valid());
    ASSERT_NE(static_cast<DWORD>(-1), SuspendThread(firstThread.Get()));

    // A message box would keep the second copy waiting for a click.
    HANDLE second = program.Start("-inspect");
    const DWORD secondExit = second != NULL ? program.WaitForExit(second) : STILL_ACTIVE;
    ResumeThread(firstThread.Get());
    EXPECT_EQ(0u, secondExit);
    EXPECT_TRUE(IsWindow(first));
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_TRUE(SimLog::PollFor([&] { return GetForegroundWindow() == first; }, ProgramRun::kTimeoutMs))
        << "in front: " << GetForegroundWindow();
    EXPECT_EQ(STILL_ACTIVE, program.WaitForExit(NULL, 0));
    DestroyWindow(other);

    PostMessageA(first, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, program.WaitForExit());
}

TEST(ProgramE2e, SavedPlacementShowsTheWindowAndCheckedValuesAreWrittenBack) {
    ProgramRun program;
    ASSERT_TRUE(program.Ready());
    program.WriteSetting("Window", "WindowLeft", "100");
    program.WriteSetting("Window", "WindowTop", "50");
    program.WriteSetting("Window", "WindowRight", "700");
    program.WriteSetting("Window", "WindowBottom", "450");
    program.WriteSetting("Window", "ShowCommand", "3");
    program.WriteSetting("Device", "DeviceType", "7");
    program.Start("");
    HWND window = program.WaitForWindow();
    ASSERT_NE(static_cast<HWND>(NULL), window);
    EXPECT_TRUE(IsZoomed(window));
    // The restored rectangle is the program's own: it shows in what it saves.

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, program.WaitForExit());
    std::string settings = program.Settings();
    for (const char* line : {"WindowLeft=100", "WindowTop=50", "WindowRight=700", "WindowBottom=450",
                             "ShowCommand=3", "DeviceType=65535"}) {
        EXPECT_TRUE(Has(settings, line)) << line << " in\n" << settings;
    }
}

// With the sensor simulator on COM TIV_SIM_COM.
TEST(ProgramE2e, SavedPortIsOpenedAndLinked) {
    ASSERT_NE(0, SimLog::ComPort());
    ProgramRun program;
    HWND window = StartAt19200(program);
    ASSERT_NE(static_cast<HWND>(NULL), window);

    EXPECT_TRUE(WaitForRequest("a069", 20000));    // the link's challenge request
    EXPECT_TRUE(WaitForRequest("a05a01", 20000));  // its answer for level 1
    EXPECT_TRUE(WaitForRequest("a169", 20000));    // then the version
    EXPECT_FALSE(SimLog::Lines("TX").empty());

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, program.WaitForExit());
    std::string settings = program.Settings();
    EXPECT_TRUE(Has(settings, ("ComPort=" + std::to_string(SimLog::ComPort())).c_str())) << settings;
    EXPECT_TRUE(Has(settings, "DeviceType=0")) << settings;
}

// With the sensor simulator at one of the three rates and no saved device
// type: the program finds the rate and links (run once per rate by CTest).
TEST(ProgramE2e, WithoutASavedTypeTheSensorsRateIsFoundAndLinked) {
    ASSERT_NE(0, SimLog::ComPort());
    ProgramRun program;
    ASSERT_TRUE(program.Ready());
    program.WriteSetting("Device", "ComPort", std::to_string(SimLog::ComPort()).c_str());
    program.Start("");
    HWND window = program.WaitForWindow();
    ASSERT_NE(static_cast<HWND>(NULL), window);

    EXPECT_TRUE(WaitForRequest("a05a01", 20000));  // the answer for level 1
    EXPECT_TRUE(WaitForRequest("a169", 20000));    // then the version: linked
    // The line ends at the sensor's own rate.
    const std::vector<std::string> rates = SimLog::Lines("BAUD");
    ASSERT_FALSE(rates.empty());
    EXPECT_EQ(rates.back(), SimulatedRate());

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, program.WaitForExit());
    EXPECT_TRUE(Has(program.Settings(), "DeviceType=65535")) << program.Settings();
}

namespace {

// The view of a main window in another process, read from the screen
// (a window of another process gives no pixels through its own context). With
// fresh settings the view shows 512 pixels per 10 m with the sensor at
// client pixel (256, 240).
class ViewOnScreen {
public:
    explicit ViewOnScreen(HWND main) : m_view(FindWindowExA(main, NULL, "ZORViewWClass", NULL)) {}
    HWND Window() const { return m_view; }
    COLORREF PixelAtMillimetres(double x, double y) const {
        POINT p = {256 + static_cast<int>(x * 0.0512), 240 - static_cast<int>(y * 0.0512)};
        ClientToScreen(m_view, &p);
        HDC screen = GetDC(NULL);
        COLORREF c = GetPixel(screen, p.x, p.y);
        ReleaseDC(NULL, screen);
        return c;
    }

private:
    HWND m_view;
};

const COLORREF kScan = 0x999999;
const COLORREF kBlank = 0xFFFFFF;

// A point of the plan (mm) and the colour the realtime scan gives it.
struct ScenePoint {
    double x, y;
    COLORREF colour;
    const char* where;
};

// The point at a step of the 769-step fan and a distance.
ScenePoint AtStep(int step, double mm, COLORREF colour, const char* where) {
    const double a = step * 2 * 3.14159265358979 / 1024 - 3.14159265358979 / 4;
    return {mm * cos(a), mm * sin(a), colour, where};
}

// Starts the program beside the simulator and checks that its realtime scan
// gives each point its colour. The screen is shared: another test's window
// may cover the view for a while, so the points are read together until all
// of them show the scene.
void ExpectRealtimeScene(const std::vector<ScenePoint>& points) {
    ASSERT_NE(0, SimLog::ComPort());
    ProgramRun program;
    HWND window = StartAt19200(program);
    ASSERT_NE(static_cast<HWND>(NULL), window);
    ViewOnScreen view(window);
    ASSERT_NE(static_cast<HWND>(NULL), view.Window());

    std::vector<COLORREF> shown(points.size());
    const auto showsTheScene = [&] {
        bool all = true;
        for (size_t i = 0; i < points.size(); ++i) {
            shown[i] = view.PixelAtMillimetres(points[i].x, points[i].y);
            all = all && shown[i] == points[i].colour;
        }
        return all;
    };
    const DWORD start = GetTickCount();
    while (!showsTheScene() && GetTickCount() - start < 30000) Sleep(50);
    for (size_t i = 0; i < points.size(); ++i) EXPECT_EQ(points[i].colour, shown[i]) << points[i].where;

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, program.WaitForExit());
}

}  // namespace

// With the sensor simulator on COM TIV_SIM_COM and its default scene: walls
// at 4 m, an object 1.2 m straight ahead (steps 350 to 420).
TEST(ProgramE2e, RealtimeScanShowsTheSimulatorsScene) {
    ExpectRealtimeScene({AtStep(400, 800, kScan, "in front of the object"),
                         AtStep(400, 1700, kBlank, "behind the object"),
                         AtStep(200, 3000, kScan, "in front of the wall"),
                         {-200, -400, kBlank, "behind the sensor"}});
}

// With the simulator as a sensor of version letter U (31 steps from 76.5 to
// 103.5 degrees) in front of a wall 2 m away: the fan ends at the wall. The
// points lie off the metre lines of the grid.
TEST(ProgramE2e, ShortScanSensorShowsItsWallInRealtime) {
    ExpectRealtimeScene({{100, 1200, kScan, "straight ahead, before the wall"},
                         {-300, 1500, kScan, "near the fan's edge (101 degrees), before the wall"},
                         {100, 2800, kBlank, "behind the wall"},
                         {800, 1100, kBlank, "outside the sensor's fan (54 degrees)"}});
}

// A saved port that does not exist: the start says so and forgets the port,
// instead of looking exactly like a linked start.
TEST(ProgramE2e, SavedPortThatCannotOpenIsReportedAndForgotten) {
    ProgramRun program;
    ASSERT_TRUE(program.Ready());
    program.WriteSetting("Device", "ComPort", "200");
    program.WriteSetting("Device", "DeviceType", "0");
    program.Start("");
    HWND window = program.WaitForWindow();
    ASSERT_NE(static_cast<HWND>(NULL), window);

    HWND box = WaitForMessageBox(program.ProcessId(), ProgramRun::kTimeoutMs);
    ASSERT_NE(static_cast<HWND>(NULL), box);
    EXPECT_EQ("Cannot open COM port.", BoxText(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, program.WaitForExit());
    std::string settings = program.Settings();
    EXPECT_TRUE(Has(settings, "ComPort=0")) << settings;
    EXPECT_TRUE(Has(settings, "DeviceType=0")) << settings;
}

namespace {

// The status bar's port pane as the program shows it: its owner-drawn data
// packs the port (low word) and the link level (bits 16..23).
class PortPane {
public:
    explicit PortPane(HWND main) : m_bar(FindWindowExA(main, NULL, STATUSCLASSNAMEA, NULL)) {}
    int Port() const { return static_cast<int>(Data() & 0xFFFF); }
    int Level() const { return static_cast<int>((Data() >> 16) & 0xFF); }
    std::string Shown() const { return "port " + std::to_string(Port()) + " level " + std::to_string(Level()); }
    // Waits until the pane shows the port and level; false on time-out.
    bool WaitFor(int port, int level, DWORD timeoutMs) const {
        const DWORD start = GetTickCount();
        while (Port() != port || Level() != level) {
            if (GetTickCount() - start >= timeoutMs) return false;
            Sleep(50);  // another process's window: nothing to wait on but time
        }
        return true;
    }

private:
    static const int kPortPart = 3;
    // An owner-drawn part answers with its data; no buffer is written.
    DWORD Data() const { return static_cast<DWORD>(SendMessageA(m_bar, SB_GETTEXTA, kPortPart, 0)); }
    HWND m_bar;
};

// Starts the program on the simulator's port at 19200 baud; its main window
// once the port pane shows it linked, 0 when it does not.
HWND StartLinkedAt19200(ProgramRun& program) {
    HWND window = StartAt19200(program);
    return window != NULL && PortPane(window).WaitFor(SimLog::ComPort(), 1, 30000) ? window : NULL;
}

}  // namespace

// With the sensor simulator falling silent a few seconds after it linked,
// then answering again, restarted: the port stays open, the link level
// shown falls to 0 and comes back to 1.
TEST(ProgramE2e, SilentSensorShowsTheLinkLostAndLinkedAgain) {
    ASSERT_NE(0, SimLog::ComPort());
    ProgramRun program;
    HWND window = StartLinkedAt19200(program);
    ASSERT_NE(static_cast<HWND>(NULL), window);
    PortPane pane(window);
    const int com = SimLog::ComPort();

    EXPECT_TRUE(pane.WaitFor(com, 0, 30000)) << pane.Shown();
    EXPECT_EQ(1u, SimLog::Lines("OUTAGE").size());
    EXPECT_TRUE(pane.WaitFor(com, 1, 30000)) << pane.Shown();
    EXPECT_EQ(1u, SimLog::Lines("BACK").size());
    EXPECT_EQ(static_cast<HWND>(NULL), WaitForMessageBox(program.ProcessId(), 0));

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, program.WaitForExit());
}

// With the simulator hanging up as a pulled cable does: the pane shows the
// port without a link, no error box comes while the program tries the port
// again, and the port is stored for the next start.
TEST(ProgramE2e, HungUpSensorKeepsItsPortWithoutAnErrorBox) {
    const int com = SimLog::ComPort();
    ASSERT_NE(0, com);
    ProgramRun program;
    HWND window = StartLinkedAt19200(program);
    ASSERT_NE(static_cast<HWND>(NULL), window);
    PortPane pane(window);

    EXPECT_TRUE(SimLog::WaitForCount("HANGUP", 1, 30000));
    EXPECT_TRUE(pane.WaitFor(com, 0, 30000)) << pane.Shown();
    // Long enough for a few tries of the missing port.
    EXPECT_EQ(static_cast<HWND>(NULL), WaitForMessageBox(program.ProcessId(), 5000));

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, program.WaitForExit());
    EXPECT_TRUE(Has(program.Settings(), ("ComPort=" + std::to_string(com)).c_str())) << program.Settings();
}
