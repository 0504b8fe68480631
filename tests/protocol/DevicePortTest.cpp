#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include "framework/ChildWindow.h"
#include "framework/ErrorCodes.h"
#include "framework/OwnedHandle.h"
#include "framework/SentMessageWait.h"
#include "tests/framework/CountingWindow.h"
#include "protocol/DevicePort.h"
#include "protocol/ProbeDevice.h"
#include "tests/protocol/LiveDevices.h"
#include "tests/protocol/RecordingDevice.h"
#include "tests/protocol/RecordingPort.h"
#include "tests/protocol/StalledLinePort.h"

namespace {

class PortFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_port.Wire(&m_caps, &m_waveForm);
        m_port.m_factory = [this](WORD type) {
            m_types.push_back(type);
            RecordingDevice* d = new RecordingDevice(&m_log, &m_live);
            if (m_prepare) m_prepare(d);
            m_last = d;
            return d;
        };
    }
    // Selects a fresh device and forgets what its replay logged.
    RecordingDevice* Select(WORD type = 0) {
        if (!m_port.SelectDevice(type)) return NULL;
        m_log.Clear();
        return m_last;
    }
    std::vector<std::string> Log() { return m_log.Entries(); }

    SensorCaps m_caps;
    WaveFormRecord m_waveForm;
    EventLog m_log;
    LiveDevices m_live;
    std::vector<WORD> m_types;
    std::function<void(RecordingDevice*)> m_prepare;
    RecordingDevice* m_last = NULL;
    RecordingPort m_port;
};

typedef std::vector<std::string> Lines;

}  // namespace

TEST_F(PortFixture, CountedSwitchesReachTheDeviceOnlyOnFirstOnAndLastOff) {
    ASSERT_NE(Select(), nullptr);
    const struct {
        std::function<int(DWORD)> call;
        std::string name;
    } switches[] = {
        {[&](DWORD on) { return m_port.SetRealtime(on); }, "realtime"},
        {[&](DWORD on) { return m_port.SetIoPolling(on); }, "io"},
        {[&](DWORD on) { return m_port.SetTroublePolling(on); }, "trouble"},
        {[&](DWORD on) { return m_port.SetStatisticsPolling(on); }, "stats"},
    };
    for (const auto& s : switches) {
        m_log.Clear();
        EXPECT_EQ(s.call(1), 1) << s.name;
        EXPECT_EQ(s.call(1), 1) << s.name;
        EXPECT_EQ(s.call(0), 1) << s.name;
        EXPECT_EQ(Log(), Lines{s.name + ":1"});
        EXPECT_EQ(s.call(0), 7) << s.name;
        // "Off" at zero tells the device again.
        EXPECT_EQ(s.call(0), 7) << s.name;
        EXPECT_EQ(Log(), (Lines{s.name + ":1", s.name + ":0", s.name + ":0"}));
    }
}

TEST_F(PortFixture, SwitchCounterStopsAt255) {
    ASSERT_NE(Select(), nullptr);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(m_port.SetRealtime(1), 1);
    EXPECT_EQ(Log(), Lines{"realtime:1"});
    for (int i = 0; i < 254; ++i) EXPECT_EQ(m_port.SetRealtime(0), 1);
    EXPECT_EQ(Log(), Lines{"realtime:1"});
    EXPECT_EQ(m_port.SetRealtime(0), 7);  // the 255th off: the counter held 255
    EXPECT_EQ(Log(), (Lines{"realtime:1", "realtime:0"}));
}

TEST_F(PortFixture, WithoutDeviceEverythingReturnsZeroAndCountersStay) {
    EXPECT_EQ(m_port.SetRealtime(1), 0);
    EXPECT_EQ(m_port.SetWaveForm(1, 5, 1), 0);
    EXPECT_EQ(m_port.AcquireLinkLevel(1), 0);
    EXPECT_EQ(m_port.GetLinkLevel(), 0);
    EXPECT_EQ(m_port.RequestVersion(), 0);
    EXPECT_EQ(m_port.ReadRam(0, 1), 0);
    EXPECT_EQ(m_port.SetMonitor(1), 0);
    EXPECT_EQ(m_port.Detach(), 0);
    m_port.Wire(&m_caps, &m_waveForm);
    ASSERT_TRUE(m_port.SelectDevice(0));
    // The level counter counts without a device; the switches do not.
    EXPECT_EQ(Log(), (Lines{"link:1", "realtime:0", "io:0", "trouble:0", "stats:0", "wave:0,0,0"}));
}

TEST_F(PortFixture, DeviceHoldsTheHighestLevelSomebodyHolds) {
    ASSERT_NE(Select(), nullptr);
    EXPECT_EQ(m_port.AcquireLinkLevel(3), 23);
    EXPECT_EQ(m_port.AcquireLinkLevel(1), 23);
    EXPECT_EQ(m_port.ReleaseLinkLevel(3), 21);
    EXPECT_EQ(m_port.ReleaseLinkLevel(1), 20);
    EXPECT_EQ(m_port.ReleaseLinkLevel(1), 20);
    EXPECT_EQ(m_port.AcquireLinkLevel(2), 22);
    EXPECT_EQ(m_port.AcquireLinkLevel(2), 22);
    EXPECT_EQ(m_port.AcquireLinkLevel(0), 20);  // clears every holder
    EXPECT_EQ(m_port.AcquireLinkLevel(1), 21);
    EXPECT_EQ(m_port.ReleaseLinkLevel(1), 20);  // level 2's two holders are gone
    EXPECT_EQ(Log(), (Lines{"link:3", "link:3", "link:1", "link:0", "link:0", "link:2", "link:2",
                            "link:0", "link:1", "link:0"}));
}

TEST_F(PortFixture, LevelsAboveThreeAreIgnored) {
    ASSERT_NE(Select(), nullptr);
    EXPECT_EQ(m_port.AcquireLinkLevel(4), 0);
    EXPECT_EQ(m_port.AcquireLinkLevel(255), 0);
    EXPECT_EQ(m_port.ReleaseLinkLevel(4), 0);
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(m_port.AcquireLinkLevel(2), 22);
}

namespace {

// Four threads that each take and give back one link level, rounds times.
class LevelTraffic {
public:
    LevelTraffic(RecordingPort* port, int rounds, std::initializer_list<BYTE> levels) {
        int i = 0;
        for (BYTE level : levels) {
            m_workers[i] = Worker{port, level, rounds};
            m_threads[i] = CreateThread(NULL, 0, Worker::Run, &m_workers[i], 0, NULL);
            ++i;
        }
    }
    ~LevelTraffic() { Join(); }
    bool Join() {
        if (m_threads[0] == NULL) return true;
        const bool ended = WaitForMultipleObjects(kThreads, m_threads, TRUE, 60000) == WAIT_OBJECT_0;
        for (HANDLE& t : m_threads) {
            CloseHandle(t);
            t = NULL;
        }
        return ended;
    }

private:
    static const int kThreads = 4;
    struct Worker {
        RecordingPort* port;
        BYTE level;
        int rounds;
        static DWORD WINAPI Run(LPVOID p) {
            Worker* w = static_cast<Worker*>(p);
            for (int i = 0; i < w->rounds; ++i) {
                w->port->AcquireLinkLevel(w->level);
                w->port->ReleaseLinkLevel(w->level);
            }
            return 0;
        }
    };
    Worker m_workers[kThreads];
    HANDLE m_threads[kThreads] = {NULL, NULL, NULL, NULL};
};

}  // namespace

TEST_F(PortFixture, LevelCountersStayConsistentUnderManyThreads) {
    ASSERT_NE(Select(), nullptr);
    LevelTraffic traffic(&m_port, 200, {1, 2, 3, 1});
    ASSERT_TRUE(traffic.Join());
    // Every holder left: the last level the device heard is 0, and one more
    // holder gives exactly its own level.
    EXPECT_EQ(Log().back(), "link:0");
    EXPECT_EQ(m_port.AcquireLinkLevel(1), 21);
}

TEST_F(PortFixture, OneThreadAtATimeTellsTheDeviceItsLevel) {
    // The link operation starts and stops its thread inside SetLinkLevel: the
    // port worker and the user-interface thread must never be in one device's
    // together. (A replaced device is no longer told anything.)
    volatile LONG most = 0;
    m_prepare = [&](RecordingDevice* d) {
        std::shared_ptr<volatile LONG> inside(new LONG(0));
        d->m_onLevel = [&, inside] {
            const LONG now = InterlockedIncrement(inside.get());
            if (now > InterlockedCompareExchange(&most, 0, 0)) InterlockedExchange(&most, now);
            Sleep(1);  // a thread start or stop takes a while
            InterlockedDecrement(inside.get());
        };
    };
    ASSERT_NE(Select(), nullptr);
    LevelTraffic traffic(&m_port, 30, {1, 3, 1, 2});
    // The user-interface thread swaps devices meanwhile; each new device is
    // told its level by the replay.
    for (int i = 0; i < 10; ++i) ASSERT_EQ(m_port.SelectDevice(static_cast<WORD>(i % 3)), 1);
    ASSERT_TRUE(traffic.Join());
    EXPECT_EQ(InterlockedCompareExchange(&most, 0, 0), 1);
    // Nobody holds a level any more. A swap after the workers ended replays
    // the switches after the level, so look for the last level line.
    const Lines log = Log();
    std::string lastLevel;
    for (const std::string& line : log) {
        if (line.compare(0, 5, "link:") == 0) lastLevel = line;
    }
    EXPECT_EQ(lastLevel, "link:0");
    EXPECT_EQ(m_live.Violations(), 0);
}

TEST_F(PortFixture, SelectDeviceSetsTheLineOfItsTypeAndReplaysTheSharedState) {
    ASSERT_NE(Select(0), nullptr);
    m_port.SetStatisticsPolling(1);
    m_port.SetTroublePolling(1);
    m_port.SetTroublePolling(0);
    m_port.AcquireLinkLevel(2);
    m_port.SetWaveForm(1, 700, 1);
    m_log.Clear();
    RecordingDevice* old = m_last;
    ASSERT_EQ(m_port.SelectDevice(2), 1);
    EXPECT_NE(m_last, old);
    EXPECT_EQ(Log(),
              (Lines{"close", "link:2", "realtime:0", "io:0", "trouble:0", "stats:1", "wave:1,700,1"}));
    EXPECT_EQ(m_live.Count(), 1u);

    const struct {
        WORD type;
        WORD created;
        DWORD baud;
        BYTE stopBits;
        DWORD mask;
    } lines[] = {
        {0, 0, 19200, ONESTOPBIT, 0x001},      {1, 1, 57600, TWOSTOPBITS, 0x001},
        {2, 2, 115200, TWOSTOPBITS, 0x1FB},    {0xFFFF, 0xFFFF, 38400, ONESTOPBIT, 0x001},
    };
    for (const auto& l : lines) {
        m_types.clear();
        ASSERT_EQ(m_port.SelectDevice(l.type), 1) << l.type;
        ASSERT_EQ(m_types.size(), 1u);
        EXPECT_EQ(m_types[0], l.created) << l.type;
        DCB dcb;
        DWORD mask = 0, in = 0, out = 0;
        ASSERT_EQ(m_port.GetConfig(&dcb, &mask, &in, &out), 1);
        EXPECT_EQ(dcb.BaudRate, l.baud) << l.type;
        EXPECT_EQ(dcb.StopBits, l.stopBits) << l.type;
        EXPECT_EQ(dcb.ByteSize, 8) << l.type;
        EXPECT_EQ(dcb.Parity, NOPARITY) << l.type;
        EXPECT_EQ(mask, l.mask) << l.type;
        EXPECT_EQ(in, 4096u);
        EXPECT_EQ(out, 4096u);
    }
    EXPECT_EQ(m_port.GetConfig(NULL, NULL, NULL, NULL), 0);
}

// A handler reached during a switch asks for two more: each switch runs to
// its end before the next begins, and only the latest request is taken.
TEST_F(PortFixture, SwitchesAskedForDuringASwitchFollowItTheLatestWinning) {
    ASSERT_NE(Select(0), nullptr);
    bool asked = false;
    m_prepare = [&](RecordingDevice* d) {
        d->m_onLevel = [&] {
            if (asked) return;
            asked = true;
            EXPECT_EQ(m_port.SelectDevice(DevicePort::kProbeDeviceType), 1);
            EXPECT_EQ(m_port.SelectDevice(2), 1);
        };
    };
    m_types.clear();
    ASSERT_EQ(m_port.SelectDevice(1), 1);
    EXPECT_EQ(m_types, (std::vector<WORD>{1, 2}));
    const Lines replay = {"link:0", "realtime:0", "io:0", "trouble:0", "stats:0", "wave:0,0,0"};
    Lines expected = {"close"};
    expected.insert(expected.end(), replay.begin(), replay.end());
    expected.push_back("close");
    expected.insert(expected.end(), replay.begin(), replay.end());
    EXPECT_EQ(Log(), expected);
    DCB dcb;
    DWORD mask, in, out;
    ASSERT_EQ(m_port.GetConfig(&dcb, &mask, &in, &out), 1);
    EXPECT_EQ(dcb.BaudRate, 115200u);
    EXPECT_EQ(m_live.Count(), 1u);
    EXPECT_EQ(m_live.Violations(), 0);
}

TEST_F(PortFixture, FailedSelectionKeepsTheOldDeviceAndItsLine) {
    RecordingDevice* old = Select(1);
    ASSERT_NE(old, nullptr);
    m_prepare = [](RecordingDevice* d) { d->m_openResult = 0; };
    EXPECT_EQ(m_port.SelectDevice(2), 0);
    EXPECT_EQ(Log(), Lines{"close"});  // the new device was closed, then deleted
    EXPECT_EQ(m_live.Count(), 1u);
    DCB dcb;
    DWORD mask, in, out;
    m_port.GetConfig(&dcb, &mask, &in, &out);
    EXPECT_EQ(dcb.BaudRate, 57600u);
    // Neither does a type this program has no device for (never created,
    // though a device would open now), nor one it cannot create.
    m_prepare = nullptr;
    m_types.clear();
    EXPECT_EQ(m_port.SelectDevice(5), 0);
    EXPECT_EQ(m_port.SelectDevice(3), 0);
    EXPECT_TRUE(m_types.empty());
    m_port.m_factory = [](WORD) { return static_cast<SensorDeviceBase*>(NULL); };
    EXPECT_EQ(m_port.SelectDevice(0xFFFF), 0);
    m_port.GetConfig(&dcb, &mask, &in, &out);
    EXPECT_EQ(dcb.BaudRate, 57600u);
    m_log.Clear();
    EXPECT_EQ(m_port.SetRealtime(1), 1);
    EXPECT_EQ(Log(), Lines{"realtime:1"});  // still the old device
    EXPECT_EQ(m_live.Count(), 1u);
}

TEST_F(PortFixture, WaveFormReachesTheDeviceForANewStepOrFlag) {
    ASSERT_NE(Select(), nullptr);
    EXPECT_EQ(m_port.SetWaveForm(1, 100, 0), 1);
    EXPECT_EQ(m_port.SetWaveForm(1, 100, 0), 1);
    EXPECT_EQ(m_port.SetWaveForm(1, 200, 0), 1);
    EXPECT_EQ(m_port.SetWaveForm(1, 200, 1), 1);
    EXPECT_EQ(m_port.SetWaveForm(0, 5, 0), 1);
    EXPECT_EQ(m_port.SetWaveForm(0, 5, 0), 1);
    EXPECT_EQ(m_port.SetWaveForm(0, 5, 0), 1);
    EXPECT_EQ(m_port.SetWaveForm(0, 5, 0), 7);  // the last off carries the cached step and flag
    EXPECT_EQ(Log(), (Lines{"wave:1,100,0", "wave:1,200,0", "wave:1,200,1", "wave:0,200,1"}));
}

TEST_F(PortFixture, SwitchesTheProbeRefusesAreCountedSoTheirUsersGiveThemBack) {
    // While the rate is searched for, the probe answers every switch with 0.
    m_port.m_factory = [this](WORD type) -> SensorDeviceBase* {
        if (type == DevicePort::kProbeDeviceType) return new ProbeDevice();
        return new RecordingDevice(&m_log, &m_live);
    };
    ASSERT_EQ(m_port.SelectDevice(DevicePort::kProbeDeviceType), 1);
    const std::function<int(DWORD)> switches[] = {
        [&](DWORD on) { return m_port.SetRealtime(on); },
        [&](DWORD on) { return m_port.SetIoPolling(on); },
        [&](DWORD on) { return m_port.SetTroublePolling(on); },
        [&](DWORD on) { return m_port.SetStatisticsPolling(on); },
        [&](DWORD on) { return m_port.SetWaveForm(on, 384, 1); },
    };
    // Each user gives back what the port says it switched on, as the dialogs do.
    for (const auto& call : switches) {
        if (call(1) != 0) call(0);
    }
    ASSERT_EQ(m_port.SelectDevice(0), 1);
    EXPECT_EQ(Log(), (Lines{"link:0", "realtime:0", "io:0", "trouble:0", "stats:0", "wave:0,384,1"}));
}

TEST_F(PortFixture, WriteAreasChecksEveryCoordinateAgainstTheSensorRange) {
    const int limit = m_caps.HasCapability(17);
    ASSERT_GT(limit, 0);
    BYTE table[238];
    auto put = [&](int offset, int value) {
        table[offset] = static_cast<BYTE>(value & 0xFF);
        table[offset + 1] = static_cast<BYTE>((value >> 8) & 0xFF);
    };
    auto fill = [&](int value) {
        for (int a = 0; a < 7; ++a)
            for (int off = 0; off < 32; off += 2) put(34 * a + off, value);
    };
    fill(-limit);
    SetLastError(0);
    EXPECT_EQ(m_port.WriteAreas(table), 0);  // in range, but no device
    EXPECT_EQ(GetLastError(), kErrorMissingCollaborator);
    ASSERT_NE(Select(), nullptr);
    EXPECT_EQ(m_port.WriteAreas(table), 1);
    fill(limit);
    EXPECT_EQ(m_port.WriteAreas(table), 1);
    EXPECT_EQ(Log(), (Lines{"areas", "areas"}));

    const struct {
        int offset;
        int value;
    } outside[] = {
        {34 * 3 + 4 * 5 + 2, limit + 1},  // area 3, y of point 5
        {0, -limit - 1},                  // area 0, x of point 0
        {34 * 6 + 30, -limit - 1},        // area 6, Output3
        {34 * 2 + 28, limit + 1},         // area 2, Output2
    };
    for (const auto& o : outside) {
        fill(0);
        put(o.offset, o.value);
        SetLastError(0);
        EXPECT_EQ(m_port.WriteAreas(table), 0) << o.offset;
        EXPECT_EQ(GetLastError(), kErrorAreaOutOfRange) << o.offset;
    }
    // The flags word is not a coordinate.
    fill(0);
    put(34 * 4 + 32, 0x7FFF);
    EXPECT_EQ(m_port.WriteAreas(table), 1);
    EXPECT_EQ(Log().size(), 3u);
}

TEST_F(PortFixture, ForwardersPassTheirArgumentsUnchanged) {
    ASSERT_NE(Select(), nullptr);
    EXPECT_EQ(m_port.ReadRam(0x1234, 16), 1);
    EXPECT_EQ(m_port.WriteIo(0x81, 0x0F), 1);
    EXPECT_EQ(m_port.UpdateFirmware("a.tiv"), 1);
    EXPECT_EQ(m_port.SetLevelSwitch(1), 1);
    EXPECT_EQ(m_port.WriteFunction(0x1FF), 1);
    EXPECT_EQ(m_port.SetRealtimeUncounted(1), 7);
    EXPECT_EQ(m_port.SetRealtimeUncounted(0), 7);
    EXPECT_EQ(m_port.ReadMotor(), 0);  // the device has nothing for it
    EXPECT_EQ(Log(), (Lines{"ram:4660,16", "io:129,15", "firmware:a.tiv", "levelswitch:1", "function:511",
                            "realtime:1", "realtime:0"}));
    // Uncounted calls leave the counter alone.
    m_log.Clear();
    EXPECT_EQ(m_port.SetRealtime(1), 1);
    EXPECT_EQ(Log(), Lines{"realtime:1"});
}

TEST_F(PortFixture, ReceivedBytesAreDroppedWithoutDeviceAndTheBufferIsBounded) {
    m_port.Receive(std::string(100, 'x') +
                   "\x02"
                   "abc");
    EXPECT_EQ(m_port.BufferedBytes(), 0u);
    RecordingDevice* device = Select();
    ASSERT_NE(device, nullptr);
    device->m_keepBytes = true;
    for (int i = 0; i < 10; ++i) m_port.Receive("\x02" + std::string(4000, 'A'));
    EXPECT_GT(m_port.BufferedBytes(), 4000u);
    EXPECT_LE(m_port.BufferedBytes(), 2 * SensorDeviceBase::kMaxFrameBytes);
}

TEST_F(PortFixture, MonitorLinesAreSentAfterTheReceiveLockIsReleased) {
    // The frame's handler may call back into the port; a line sent under the
    // receive lock would leave another thread waiting for it.
    class ProbingPort : public RecordingPort {
    public:
        LRESULT SendToFrame(UINT msg, WPARAM wParam, LPARAM lParam) override {
            HANDLE t = CreateThread(NULL, 0, &ProbingPort::Probe, this, 0, NULL);
            m_lockFree = WaitForSingleObject(t, 5000) == WAIT_OBJECT_0;
            CloseHandle(t);
            return RecordingPort::SendToFrame(msg, wParam, lParam);
        }
        static DWORD WINAPI Probe(LPVOID p) {
            static_cast<ProbingPort*>(p)->BufferedBytes();  // takes the receive lock
            return 0;
        }
        bool m_lockFree = false;
    };
    ProbingPort port;
    port.Wire(&m_caps, &m_waveForm);
    port.m_factory = [this](WORD) { return new RecordingDevice(&m_log, &m_live); };
    ASSERT_EQ(port.SelectDevice(0), 1);
    port.Receive(
        "\x02"
        "line\x03");
    const std::vector<Notification> lines = port.NotificationsOf(WM_DEVICE_COM_MONITOR_LINE);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].sent);
    EXPECT_EQ(lines[0].wParam, 1u);
    EXPECT_EQ(lines[0].data,
              "\x02"
              "line\x03");
    EXPECT_TRUE(port.m_lockFree);
}

TEST_F(PortFixture, SwappingDevicesWhileFramesArriveAndLevelsChangeIsSafe) {
    ChildWindow frame;
    m_port.SetFrame(&frame);
    ASSERT_EQ(m_port.CreateEvents(), 1);  // the port worker deletes what the swaps replace
    ASSERT_NE(Select(), nullptr);
    struct Load {
        RecordingPort* port;
        volatile LONG stop;
        static DWORD WINAPI Receive(LPVOID p) {
            Load* l = static_cast<Load*>(p);
            while (!InterlockedCompareExchange(&l->stop, 0, 0))
                l->port->Receive(
                    "\x02"
                    "ab\x03");
            return 0;
        }
        static DWORD WINAPI Levels(LPVOID p) {
            Load* l = static_cast<Load*>(p);
            while (!InterlockedCompareExchange(&l->stop, 0, 0)) {
                l->port->AcquireLinkLevel(1);
                l->port->ReleaseLinkLevel(1);
            }
            return 0;
        }
    };
    Load load = {&m_port, 0};
    HANDLE threads[2] = {CreateThread(NULL, 0, Load::Receive, &load, 0, NULL),
                         CreateThread(NULL, 0, Load::Levels, &load, 0, NULL)};
    for (int i = 0; i < 100; ++i) ASSERT_EQ(m_port.SelectDevice(static_cast<WORD>(i % 3)), 1);
    InterlockedExchange(&load.stop, 1);
    ASSERT_EQ(WaitForMultipleObjects(2, threads, TRUE, 30000), WAIT_OBJECT_0);
    for (HANDLE t : threads) CloseHandle(t);
    const DWORD start = GetTickCount();
    while (m_live.Count() != 1 && GetTickCount() - start < 10000) Sleep(1);
    EXPECT_EQ(m_live.Count(), 1u);
    EXPECT_EQ(m_live.Violations(), 0);
    m_port.Detach();
}

// A thread inside the old device waits for the user-interface thread (it
// sends it a message): the swap neither waits for it nor handles its message
// meanwhile, the new device is told its level all the same, and the old one
// is closed and deleted by the port worker once its user has left.
TEST_F(PortFixture, SwapLeavesAThreadInsideTheOldDeviceAndTheNewOneLinksRegardless) {
    CountingWindow window;
    ASSERT_NE(window.Get(), nullptr);
    OwnedHandle inside(CreateEventA(NULL, TRUE, FALSE, NULL));
    const DWORD uiThread = GetCurrentThreadId();
    RecordingPort port;
    ChildWindow frame;
    port.Wire(&m_caps, &m_waveForm);
    port.SetFrame(&frame);
    ASSERT_EQ(port.CreateEvents(), 1);  // the port worker runs
    bool first = true;
    port.m_factory = [&](WORD) {
        RecordingDevice* d = new RecordingDevice(&m_log, &m_live);
        if (first) {
            d->m_onLevel = [&, uiThread] {
                if (GetCurrentThreadId() == uiThread) return;
                SetEvent(inside.Get());
                SendMessageA(window.Get(), CountingWindow::kCountedMessage, 0, 0);  // held until handled
            };
        }
        first = false;
        return d;
    };
    ASSERT_EQ(port.SelectDevice(0), 1);
    struct Caller {
        static DWORD WINAPI Run(LPVOID p) {
            static_cast<RecordingPort*>(p)->AcquireLinkLevel(1);
            return 0;
        }
    };
    OwnedHandle caller(CreateThread(NULL, 0, Caller::Run, &port, 0, NULL));
    ASSERT_EQ(WaitForSingleObject(inside.Get(), 10000), WAIT_OBJECT_0);
    m_log.Clear();
    ASSERT_EQ(port.SelectDevice(1), 1);
    EXPECT_EQ(window.Count(), 0) << "a message was handled during the switch";
    EXPECT_EQ(m_log.Entries(), Lines({"link:1", "realtime:0", "io:0", "trouble:0", "stats:0", "wave:0,0,0"}));
    EXPECT_EQ(m_live.Count(), 2u);  // not deleted under its caller

    EXPECT_EQ(WaitHandlingSentMessages(caller.Get(), 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(m_log.WaitFor("close"));
    const DWORD start = GetTickCount();
    while (m_live.Count() != 1 && GetTickCount() - start < 5000) Sleep(1);
    EXPECT_EQ(m_live.Count(), 1u);
    EXPECT_EQ(m_live.Violations(), 0);
}

// A thread inside the old device, past its own checks, posts right after a
// switch: that notification is dropped, the new device's reaches the frame.
TEST_F(PortFixture, WhatAReplacedDevicePostsIsDropped) {
    RecordingDevice* old = Select(0);
    ASSERT_NE(old, nullptr);
    bool switched = false;
    old->m_onLevel = [&] {
        if (switched) return;
        switched = true;
        ASSERT_EQ(m_port.SelectDevice(1), 1);
        old->OnTrouble(4);
    };
    m_port.AcquireLinkLevel(1);
    ASSERT_TRUE(switched);
    m_last->OnTrouble(5);
    const std::vector<Notification> troubles = m_port.NotificationsOf(WM_DEVICE_TROUBLE);
    ASSERT_EQ(troubles.size(), 1u);
    EXPECT_EQ(troubles[0].wParam, 5u);
}

TEST_F(PortFixture, DetachClosesTheDeviceAndSilencesNotifications) {
    {
        RecordingPort port;
        port.m_factory = [this](WORD) { return new RecordingDevice(&m_log, &m_live); };
        EXPECT_EQ(port.CreateEvents(), 0);  // collaborators missing
        port.Wire(&m_caps, &m_waveForm);
        ASSERT_EQ(port.SelectDevice(0), 1);
        // The port's own way to the frame: nothing without one.
        EXPECT_EQ(port.DevicePort::SendToFrame(WM_DEVICE_SCAN, 0, 0), 0);
        EXPECT_EQ(port.DevicePort::PostToFrame(WM_DEVICE_SCAN, 0, 0), FALSE);
        m_log.Clear();
        EXPECT_EQ(port.Detach(), 1);
        EXPECT_EQ(Log(), Lines{"close"});
        EXPECT_EQ(port.ReadRam(1, 1), 1);  // the device stays
    }
    EXPECT_EQ(m_live.Count(), 0u);  // the port deleted its device
}

// Switching away from the probe waits for the probe's thread, whose write
// may wait on a line that never drains: that write is cut first rather than
// waited out.
TEST_F(PortFixture, SwitchAwayFromTheProbeCutsAWriteWaitingOnAStalledLineFirst) {
    StalledLinePort port;
    port.SetApplication(m_port.Host());
    port.SetSensorCaps(&m_caps);
    port.SetWaveFormRecord(&m_waveForm);
    ASSERT_EQ(port.OpenLine(), 1);
    ASSERT_EQ(port.SelectDevice(DevicePort::kProbeDeviceType), 1);
    ASSERT_TRUE(port.WaitForStalledWrite());
    ASSERT_EQ(port.SelectDevice(0), 1);
    ASSERT_FALSE(port.SendErrors().empty());
    EXPECT_EQ(port.SendErrors()[0], static_cast<DWORD>(ERROR_OPERATION_ABORTED)) << "the switch waited the write out";
}
