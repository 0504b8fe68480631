#include "tests/mainwindow/frame/FrameTestBench.h"

#include "dialogs/ComMonitorDlg.h"
#include "dialogs/DialogMessages.h"
#include "framework/IniFile.h"
#include "framework/OwnedHandle.h"
#include "framework/SentMessageWait.h"
#include "mainwindow/frame/StatusBar.h"
#include "mainwindow/view/ViewMessages.h"
#include "protocol/DeviceMessages.h"
#include "protocol/SensorDevice.h"
#include "resources/DialogIds.h"
#include "resources/MenuIds.h"
#include "sensor/AreaRecord.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

class FrameNotify : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(static_cast<HWND>(NULL), m_bench.Start("-develop")); }

    NotedFrame& Frame() { return m_bench.frame; }
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return m_bench.Send(msg, wParam, lParam); }
    // The frame handles what the sensor side posts, as its message loop would.
    void PostAndRun(UINT msg, WPARAM wParam, LPARAM lParam) {
        PostMessageA(Frame().GetHwnd(), msg, wParam, lParam);
        Run();
    }
    // What the frame left to its message loop runs.
    void Run() {
        MSG m;
        while (PeekMessageA(&m, Frame().GetHwnd(), 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    }
    LRESULT SendAndRun(UINT msg, WPARAM wParam, LPARAM lParam) {
        const LRESULT result = Send(msg, wParam, lParam);
        Run();
        return result;
    }
    std::vector<std::string> Boxes() { return Frame().boxes; }

    NotedBench m_bench;
};

typedef std::vector<std::string> Texts;

}  // namespace

// The port worker's copy of the port list stays the worker's once the
// frame's window has gone: the post fails instead of landing in the
// posting thread's own queue, where nothing would free it.
TEST_F(FrameNotify, APortListAfterTheWindowWentIsRefused) {
    m_bench.port.SetFrame(&Frame());
    DestroyFrame(&Frame());
    DWORD list[8] = {};
    EXPECT_FALSE(m_bench.port.NotifyPortList(list));
    MSG stray;
    EXPECT_FALSE(PeekMessageA(&stray, NULL, WM_DEVICE_PORT_LIST, WM_DEVICE_PORT_LIST, PM_REMOVE));
}

TEST_F(FrameNotify, PortReportsShowTheOpenFailureAndStoreThePort) {
    const struct {
        int request;  // what the port recorded for this report; -1 none
        WPARAM port;
        LPARAM ok;
        Texts boxes;
        int stored;
    } cases[] = {
        {3, 3, 1, {}, 3},
        {200, 0, 0, {"E Cannot open COM port."}, 0},
        {0, 0, 0, {}, 0},  // a close that failed is no open failure
        {0, 0, 1, {}, 0},
        {-1, 0, 0, {"E Cannot open COM port."}, 0},
    };
    for (const auto& c : cases) {
        Frame().boxes.clear();
        m_bench.port.requests.clear();
        if (c.request != -1) m_bench.port.requests.push_back(c.request);
        PostAndRun(WM_DEVICE_PORT_OPENED, c.port, c.ok);
        EXPECT_EQ(c.boxes, Boxes()) << c.request;
        EXPECT_EQ(c.stored, Frame().GetSettings().comPort) << c.request;
    }
}

TEST_F(FrameNotify, PortListIsTheFramesToFreeAndReachesThePortMenu) {
    DWORD* list = new DWORD[8]();
    list[0] = 0x5;         // COM1, COM3
    list[1] = 0x80;        // COM40
    PostAndRun(WM_DEVICE_PORT_LIST, reinterpret_cast<WPARAM>(list), 0);
    ASSERT_EQ(1u, Frame().portLists.size());
    EXPECT_EQ(0x5u, Frame().portLists[0][0]);
    EXPECT_EQ(0x80u, Frame().portLists[0][1]);
    PostAndRun(WM_DEVICE_PORT_LIST, 0, 0);
    EXPECT_EQ(1u, Frame().portLists.size());
}

TEST_F(FrameNotify, RecognisedRateIsTakenOnlyWhileRecognitionIsOn) {
    m_bench.port.selected.clear();
    m_bench.port.autoRecognition = FALSE;
    PostAndRun(WM_DEVICE_TYPE_RECOGNIZED, 2, 0);
    EXPECT_TRUE(m_bench.port.selected.empty());
    m_bench.port.autoRecognition = TRUE;
    PostAndRun(WM_DEVICE_TYPE_RECOGNIZED, 0x10001, 0);
    EXPECT_EQ(std::vector<WORD>({1}), m_bench.port.selected);
}

TEST_F(FrameNotify, LinkLossProbesAgainAndClearsTheOutputsWithOneSound) {
    Frame().SetSoundsOn(TRUE);
    PostAndRun(WM_DEVICE_NOTIFICATION, 4, 0xA0);  // outputs 3 and 2 on
    ASSERT_EQ(Texts({"detect3.wav"}), Frame().sounds);
    Frame().sounds.clear();
    m_bench.port.selected.clear();
    m_bench.port.autoRecognition = TRUE;
    const int redraws = m_bench.view.areaRedraws;

    PostAndRun(WM_DEVICE_CONNECTION_CHANGED, 0, 0);
    EXPECT_EQ(std::vector<WORD>({0xFFFF}), m_bench.port.selected);
    EXPECT_EQ(Texts({"undetect3.wav"}), Frame().sounds);
    EXPECT_EQ(0, Frame().GetLastOutputState());
    EXPECT_EQ(redraws + 1, m_bench.view.areaRedraws);

    // A link coming up probes nothing.
    PostAndRun(WM_DEVICE_CONNECTION_CHANGED, 1, 0);
    EXPECT_EQ(1u, m_bench.port.selected.size());
}

// A sensor plugged back in has restarted with every line free: once it is
// linked again, the open I/O test dialog sends the forces its buttons show.
TEST_F(FrameNotify, IoTestForcesAreSentAgainWhenTheLinkComesBack) {
    m_bench.caps.SetModel(0);  // a sensor with the I/O test
    m_bench.Command(ID_COMM_IO_TEST);
    ASSERT_EQ(1u, m_bench.OwnedDialogs().size());
    HWND out1 = GetDlgItem(m_bench.OwnedDialogs()[0], IDC_IO_FORCE_FIRST + 4);
    SendMessageA(out1, BM_CLICK, 0, 0);  // free -> forced off
    SendMessageA(out1, BM_CLICK, 0, 0);  // -> forced on
    const std::vector<WORD> forced = {0x1010, 0x1000};
    ASSERT_EQ(forced, m_bench.port.forces);
    PostAndRun(WM_DEVICE_CONNECTION_CHANGED, 0, 0);
    PostAndRun(WM_DEVICE_CONNECTION_CHANGED, 1, 0);
    PostAndRun(WM_DEVICE_CONNECTION_CHANGED, 2, 0);  // a link that stays up is no restart
    EXPECT_EQ(std::vector<WORD>({0x1010, 0x1000, 0x1000}), m_bench.port.forces);
}

TEST(FrameSounds, FirstChangedOutputChoosesTheSound) {
    const struct {
        BYTE previous, current;
        const char* sound;
    } cases[] = {
        {0x00, 0x80, "detect3.wav"},   {0x80, 0x00, "undetect3.wav"}, {0x00, 0x20, "detect2.wav"},
        {0x30, 0x10, "undetect2.wav"}, {0x00, 0x10, "detect1.wav"},   {0x10, 0x00, "undetect1.wav"},
        {0xA0, 0x00, "undetect3.wav"}, {0x20, 0x90, "detect3.wav"},   {0x4F, 0x00, NULL},
        {0xB0, 0xB7, NULL},
    };
    for (const auto& c : cases) {
        const char* sound = MainFrame::DetectionSound(c.previous, c.current);
        EXPECT_STREQ(c.sound, sound) << std::hex << int(c.previous) << " " << int(c.current);
    }
}

TEST_F(FrameNotify, OutputChangesKeepTheStateWithoutSounds) {
    PostAndRun(WM_DEVICE_NOTIFICATION, 4, 0x10);
    PostAndRun(WM_DEVICE_NOTIFICATION, 4, 0x30);
    EXPECT_TRUE(Frame().sounds.empty());
    EXPECT_EQ(0x30, Frame().GetLastOutputState());
    Frame().SetSoundsOn(TRUE);
    PostAndRun(WM_DEVICE_NOTIFICATION, 4, 0x38);  // no sounding bit changed
    EXPECT_EQ(Texts({"stop"}), Frame().sounds);
}

TEST_F(FrameNotify, TroubleReportNamesTheTrouble) {
    const struct {
        LPARAM value;
        const char* box;
    } cases[] = {
        {0, "E No trouble detected."},
        {1, "E Measurement LED trouble detected."},
        {5, "E Software trouble detected."},
        {9, "E Software trouble(0x09) detected."},
        {0x1FF, "E Software trouble(0xff) detected."},  // the value's low byte
    };
    for (const auto& c : cases) {
        Frame().boxes.clear();
        PostAndRun(WM_DEVICE_NOTIFICATION, 0, c.value);
        EXPECT_EQ(Texts({c.box}), Boxes());
    }
    Frame().boxes.clear();
    PostAndRun(WM_DEVICE_NOTIFICATION, 3, 1);  // neither trouble nor outputs
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(FrameNotify, RealtimeScanIsCopiedAndDrawnButDroppedInPreview) {
    ScanData posted;
    posted.SetStep(0, 1234);
    posted.SetStep(768, 4321);
    PostAndRun(WM_DEVICE_SCAN, reinterpret_cast<WPARAM>(&posted), 0);
    EXPECT_EQ(1234, m_bench.shape.GetScan()->GetStep(0));
    EXPECT_EQ(4321, m_bench.shape.GetScan()->GetStep(768));
    EXPECT_EQ(1, m_bench.view.realtimeRedraws);

    Frame().SetPrintPreviewActive(TRUE);
    posted.SetStep(0, 99);
    PostAndRun(WM_DEVICE_SCAN, reinterpret_cast<WPARAM>(&posted), 0);
    PostAndRun(WM_DEVICE_SCAN2, reinterpret_cast<WPARAM>(&posted), 0);
    EXPECT_EQ(1234, m_bench.shape.GetScan()->GetStep(0));
    EXPECT_EQ(1, m_bench.view.realtimeRedraws);
    EXPECT_EQ(0, m_bench.view.scan2Redraws);

    Frame().SetPrintPreviewActive(FALSE);
    PostAndRun(WM_DEVICE_SCAN2, reinterpret_cast<WPARAM>(&posted), 0);
    EXPECT_EQ(99, m_bench.shape.GetScan()->GetStep(0));
    EXPECT_EQ(1, m_bench.view.scan2Redraws);
    const int realtime = m_bench.view.realtimeRedraws;
    PostAndRun(WM_DEVICE_SCAN, 0, 0);
    EXPECT_EQ(realtime, m_bench.view.realtimeRedraws);
}

TEST_F(FrameNotify, SensorSelectsOnlyAreasOneToSeven) {
    const struct {
        BOOL mode;
        WPARAM state;
        int index;
    } cases[] = {
        {TRUE, 0x03, 2}, {TRUE, 0x07, 6}, {TRUE, 0xF9, 0}, {TRUE, 0x00, 0},  // 0 names no area
        {FALSE, 0x05, 0},
    };
    for (const auto& c : cases) {
        m_bench.areas.SelectArea(0);
        Frame().SetSelectedBySensor(c.mode);
        PostAndRun(WM_DEVICE_OUTPUT_STATE, c.state, 0);
        EXPECT_EQ(c.index, m_bench.areas.GetCurrentIndex()) << std::hex << c.state;
    }
}

TEST_F(FrameNotify, AreaReadLoadsTheTableAfterItsReport) {
    BYTE table[kAreaTableBytes];
    m_bench.areas.GetAllRaw(table);
    table[kAreaRecordBytes * 2 + kAreaOutput2Offset] = 0x34;  // area 3's output 2: 0x0234 mm
    table[kAreaRecordBytes * 2 + kAreaOutput2Offset + 1] = 0x02;
    const int redraws = m_bench.view.areaRedraws;

    EXPECT_EQ(0, SendAndRun(WM_DEVICE_AREA_READ, 0, 0));
    EXPECT_EQ(Texts({"E Area reading failed."}), Boxes());
    EXPECT_EQ(redraws, m_bench.view.areaRedraws);

    Frame().boxes.clear();
    SendAndRun(WM_DEVICE_AREA_READ, reinterpret_cast<WPARAM>(table), 0);
    EXPECT_EQ(Texts({"I Area reading completed."}), Boxes());
    BYTE loaded[kAreaTableBytes];
    m_bench.areas.GetAllRaw(loaded);
    EXPECT_EQ(0, memcmp(table, loaded, sizeof table));
    EXPECT_EQ(redraws + 1, m_bench.view.areaRedraws);
}

TEST_F(FrameNotify, AreaReadAfterACloseInItsBoxTouchesNothing) {
    BYTE before[kAreaTableBytes];
    m_bench.areas.GetAllRaw(before);
    BYTE table[kAreaTableBytes];
    memcpy(table, before, sizeof table);
    table[kAreaOutput3Offset] = 0x11;
    Frame().releaseDuringBox = true;
    SendAndRun(WM_DEVICE_AREA_READ, reinterpret_cast<WPARAM>(table), 0);
    BYTE after[kAreaTableBytes];
    m_bench.areas.GetAllRaw(after);
    EXPECT_EQ(0, memcmp(before, after, sizeof after));
}

TEST_F(FrameNotify, WriteAndFirmwareResultsAreReported) {
    const std::string powerCycle =
        "I \x93\x64\x8c\xb9\x82\xf0\x8d\xc4\x93\x8a\x93\xfc\x82\xb5\x82\xc4\x89\xba\x82\xb3\x82\xa2\x81\x42";
    const std::string powerCycleRetry =
        "I \x93\x64\x8c\xb9\x82\xf0\x8d\xc4\x93\x8a\x93\xfc\x82\xb5\x82\xc4\x8d\xc4\x8e\x8e\x8d\x73\x82\xb5"
        "\x82\xc4\x89\xba\x82\xb3\x82\xa2";
    const struct {
        UINT msg;
        WPARAM result;
        Texts boxes;
    } cases[] = {
        {WM_DEVICE_AREA_WRITTEN, 1, {"I Area writing completed."}},
        {WM_DEVICE_AREA_WRITTEN, 0, {"E Area writing failed."}},
        {WM_DEVICE_AREA_WRITTEN, 2,
         {"E Area writing failed part way. The sensor may now hold some of the new areas and some of the old "
          "ones: write the areas again."}},
        {WM_DEVICE_AREA_WRITTEN, 3, {"E Area writing failed."}},
        {WM_DEVICE_FIRMWARE_RESULT, 1, {"I Firmware updating completed.", powerCycle}},
        {WM_DEVICE_FIRMWARE_RESULT, 0, {"E Firmware updating failed.", powerCycleRetry}},
    };
    m_bench.areas.SetSensorModified(0);
    for (const auto& c : cases) {
        Frame().boxes.clear();
        SendAndRun(c.msg, c.result, 0);
        EXPECT_EQ(c.boxes, Boxes()) << c.msg << " " << c.result;
    }
    // The write that failed part way left the sensor's areas other than the program's.
    EXPECT_EQ(1u, m_bench.areas.IsSensorModified());
}

// A device thread sends its result while this thread waits for it (as when
// it stops the thread): the sender is let go without a box, which shows once
// the message loop runs, so no box's loop runs inside the wait.
TEST_F(FrameNotify, SentResultsLetTheSenderGoAndShowTheirBoxesFromTheMessageLoop) {
    struct Sender {
        HWND frame;
        BYTE table[kAreaTableBytes];
        static DWORD WINAPI Run(LPVOID p) {
            Sender* s = static_cast<Sender*>(p);
            SendMessageA(s->frame, WM_DEVICE_AREA_READ, reinterpret_cast<WPARAM>(s->table), 0);
            ZeroMemory(s->table, sizeof s->table);  // the sender's memory is its own again
            SendMessageA(s->frame, WM_DEVICE_AREA_WRITTEN, kAreasWritten, 0);
            SendMessageA(s->frame, WM_DEVICE_FIRMWARE_RESULT, 0, 0);
            return 0;
        }
    } sender;
    sender.frame = Frame().GetHwnd();
    m_bench.areas.GetAllRaw(sender.table);
    sender.table[kAreaOutput3Offset] = 0x11;
    BYTE expected[kAreaTableBytes];
    memcpy(expected, sender.table, sizeof expected);
    OwnedHandle thread(CreateThread(NULL, 0, Sender::Run, &sender, 0, NULL));
    ASSERT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitHandlingSentMessages(thread.Get(), 10000));
    EXPECT_EQ(Texts(), Boxes());
    Run();
    const Texts boxes = Boxes();
    ASSERT_EQ(4u, boxes.size());  // the last asks to switch the sensor off and on
    EXPECT_EQ(Texts({"I Area reading completed.", "I Area writing completed.", "E Firmware updating failed."}),
              Texts(boxes.begin(), boxes.begin() + 3));
    BYTE loaded[kAreaTableBytes];
    m_bench.areas.GetAllRaw(loaded);
    EXPECT_EQ(0, memcmp(expected, loaded, sizeof loaded));
}

TEST_F(FrameNotify, MonitorFramesAreCopiedByLength) {
    ComMonitorDlg* monitor = Frame().GetComMonitor();
    ASSERT_NE(static_cast<ComMonitorDlg*>(NULL), monitor);
    const std::string frames[] = {std::string(), std::string("\x02\x00\x41\x03", 4), std::string(300, 'x')};
    size_t count = 0;
    for (const std::string& frame : frames) {
        Send(WM_DEVICE_COM_MONITOR_LINE, 1, reinterpret_cast<LPARAM>(&frame));
        ASSERT_EQ(++count, monitor->FrameCount());
        EXPECT_EQ(frame, monitor->LastFrame());
    }
    Send(WM_DEVICE_COM_MONITOR_LINE, 0, 0);
    EXPECT_EQ(count, monitor->FrameCount());
}

TEST_F(FrameNotify, RecordEndShowsTheRecordLayer) {
    m_bench.view.SetDrawItem(ScanView::kDrawRecord, 0);
    m_bench.view.redraws.clear();
    PostAndRun(WM_RECORD_END, 0, 0);
    EXPECT_EQ(1, m_bench.view.TestDrawItem(ScanView::kDrawRecord));
    EXPECT_EQ(0, std::count(m_bench.view.redraws.begin(), m_bench.view.redraws.end(), 0));
    Frame().SetPrintPreviewActive(TRUE);
    PostAndRun(WM_RECORD_END, 0, 0);
    EXPECT_EQ(1, std::count(m_bench.view.redraws.begin(), m_bench.view.redraws.end(), 0));
}

TEST_F(FrameNotify, SensorInfoKeepsTheVersionText) {
    char version[65] = "TIV-100 V1.23";
    PostAndRun(WM_DEVICE_SENSOR_INFO, reinterpret_cast<WPARAM>(version), 0);
    EXPECT_EQ("TIV-100 V1.23", Frame().GetSensorVersion());
    char empty[65] = "";
    PostAndRun(WM_DEVICE_SENSOR_INFO, reinterpret_cast<WPARAM>(empty), 0);
    EXPECT_EQ("", Frame().GetSensorVersion());
}

TEST_F(FrameNotify, RealtimeIsAskedOnceHoweverOftenItIsRequested) {
    // The start asked for it, since the view shows its realtime layer.
    ASSERT_EQ(std::vector<DWORD>({1}), m_bench.port.realtime);
    Frame().RequestRealtime(TRUE);
    Frame().RequestRealtime(5);
    Frame().RequestRealtime(FALSE);
    Frame().RequestRealtime(FALSE);
    Frame().RequestRealtime(TRUE);
    EXPECT_EQ(std::vector<DWORD>({1, 0, 1}), m_bench.port.realtime);
}

namespace {

// The real device port, keeping the address of the last sensor device it made.
class KeepingPort : public DevicePort {
public:
    std::unique_ptr<SensorDeviceBase> CreateDevice(WORD type) override {
        std::unique_ptr<SensorDeviceBase> device = DevicePort::CreateDevice(type);
        if (type <= 2) last = static_cast<SensorDevice*>(device.get());
        return device;
    }
    SensorDevice* last = NULL;
};

}  // namespace

// A report the replaced device posted before a switch, still queued when the
// switch is done, is dropped; the new device's report is shown.
TEST(FrameNotifySwitch, WhatTheReplacedDevicePostedBeforeTheSwitchIsDropped) {
    FrameBench<NotedFrame, KeepingPort, NotedView> bench;
    bench.port.SetApplication(&bench.application);
    bench.port.SetWaveFormRecord(&bench.record);
    bench.port.SetFrame(&bench.frame);
    ASSERT_NE(static_cast<HWND>(NULL), bench.Start());
    bench.port.SetAutoRecognition(FALSE);
    ASSERT_EQ(1, bench.port.SelectDevice(0));
    SensorDevice* replaced = bench.port.last;
    ASSERT_NE(static_cast<SensorDevice*>(NULL), replaced);
    replaced->OnNotification(0, 1);  // LED trouble, queued
    ASSERT_EQ(1, bench.port.SelectDevice(1));
    ASSERT_NE(replaced, bench.port.last);
    bench.port.last->OnNotification(0, 5);
    MSG m;
    while (PeekMessageA(&m, bench.frame.GetHwnd(), 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    EXPECT_EQ(Texts({"E Software trouble detected."}), bench.frame.boxes);
}
