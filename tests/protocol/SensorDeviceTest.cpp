#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "framework/ErrorCodes.h"
#include "protocol/DeviceOperation.h"
#include "protocol/OperationParams.h"
#include "protocol/SensorDevice.h"
#include "tests/protocol/FrameBytes.h"
#include "tests/protocol/RecordingPort.h"

namespace {

// A polling operation like the real ones: [command 69] on start and on every
// tick, gives up when its retries run out, logs each reply as bytes.
class PollOp : public DeviceOperation {
public:
    PollOp(BYTE command, BYTE retries, DWORD intervalMs)
        : DeviceOperation(retries, intervalMs), m_command(command), m_argument(0) {
        AddMessageHandler(WM_OP_START, Handler(&PollOp::OnStart));
        AddMessageHandler(WM_OP_REPLY, Handler(&PollOp::OnReplyMessage));
        AddMessageHandler(WM_TIMER, Handler(&PollOp::OnTimer));
    }
    ~PollOp() override { Abort(); }

    int Start(ULONG_PTR argument) override {
        if (IsRunning()) return 0;
        m_argument = argument;
        CopyParams(argument);
        return DeviceOperation::Start(argument);
    }
    LRESULT OnStart(WPARAM, LPARAM) {
        RestartTimer();
        SendRequest();
        return 0;
    }
    LRESULT OnTimer(WPARAM, LPARAM) {
        CountDown();
        if (IsExhausted()) {
            Abort();
            m_log.Add("gave up");
            return 0;
        }
        SendRequest();
        return 0;
    }
    LRESULT OnReplyMessage(WPARAM, LPARAM) {
        std::string reply;
        if (!TakeReply(&reply)) return 0;
        RestartTimer();
        m_log.Add(reply);
        return 0;
    }
    void SendRequest() {
        std::string message = Bytes({m_command, 0x69});
        if (m_device != NULL) m_device->SendFrame(message);
    }
    void CopyParams(ULONG_PTR argument) {
        if (argument == 0) return;
        if (m_command == SensorDevice::kCmdFram) {
            m_fram = *reinterpret_cast<const FramParams*>(argument);
            // An area write hands over the 112-word image only.
            const int n = m_fram.mode == FramParams::kWriteAreas ? 112 : m_fram.count != 0 ? m_fram.count : 64;
            m_framWords.assign(m_fram.data != NULL ? m_fram.data : NULL,
                               m_fram.data != NULL ? m_fram.data + n : NULL);
        }
        if (m_command == SensorDevice::kCmdIo) m_io = *reinterpret_cast<const IoParams*>(argument);
        if (m_command == SensorDevice::kCmdWaveForm)
            m_wave = *reinterpret_cast<const WaveFormParams*>(argument);
        if (m_command == SensorDevice::kCmdFirmwareUpdate) m_path = reinterpret_cast<const char*>(argument);
    }
    SensorDevice* Device() { return m_device; }
    DeviceHost* App() { return m_application; }

    BYTE m_command;
    ULONG_PTR m_argument;
    FramParams m_fram = {};
    std::vector<WORD> m_framWords;
    IoParams m_io = {};
    WaveFormParams m_wave = {};
    std::string m_path;
    EventLog m_log;
};

// A device whose registry holds the test's operations.
class TestDevice : public SensorDevice {
public:
    typedef std::function<int(TestDevice*)> Creator;
    explicit TestDevice(Creator creator) : m_creations(0), m_creator(creator) {}
    int Add(BYTE command, DeviceOperation* op, bool withApplication) {
        return Register(command, std::unique_ptr<DeviceOperation>(op), withApplication);
    }
    PollOp* Op(BYTE command) { return static_cast<PollOp*>(FindOperation(command)); }
    // The operations a plain sensor device creates.
    int AddOwnOperations() { return SensorDevice::CreateOperations(); }

    int m_creations;

protected:
    int CreateOperations() override {
        ++m_creations;
        return m_creator ? m_creator(this) : 1;
    }

private:
    Creator m_creator;
};

// The device behind the real port path: SelectDevice creates, wires, opens
// and connects it; frames and notifications are recorded by the port.
class DeviceFixture : public ::testing::Test {
protected:
    void SetUp() override { m_port.Wire(&m_caps, &m_waveForm); }
    void TearDown() override { m_port.Detach(); }

    TestDevice* Select(TestDevice::Creator creator) {
        TestDevice* created = NULL;
        m_port.m_factory = [&created, creator](WORD) {
            created = new TestDevice(creator);
            return created;
        };
        if (!m_port.SelectDevice(0)) return NULL;
        m_port.ClearNotifications();  // the replay's notifications
        return created;
    }
    TestDevice* SelectWithPolls(DWORD intervalMs = 60000) {
        return Select([intervalMs](TestDevice* d) {
            return d->Add(0xA1, new PollOp(0xA1, 3, intervalMs), false) &&
                   d->Add(0xA2, new PollOp(0xA2, 3, intervalMs), true);
        });
    }

    SensorCaps m_caps;
    WaveFormRecord m_waveForm;
    RecordingPort m_port;
};

}  // namespace

TEST_F(DeviceFixture, OpenNeedsEveryCollaboratorAndCreatesNothingWithoutOne) {
    for (int missing = 0; missing < 4; ++missing) {
        TestDevice device([](TestDevice* d) { return d->Add(0xA1, new PollOp(0xA1, 3, 100), false); });
        if (missing != 0) device.SetApplication(m_port.Host());
        if (missing != 1) device.SetWaveFormRecord(&m_waveForm);
        if (missing != 2) device.SetPort(&m_port);
        if (missing != 3) device.SetCaps(&m_caps);
        EXPECT_EQ(device.Open(), 0) << missing;
        EXPECT_EQ(device.m_creations, 0) << missing;
        EXPECT_EQ(device.FindOperation(0xA1), nullptr) << missing;
    }
}

TEST_F(DeviceFixture, OpenLinksEachOperationAndTheApplicationWhereItUsesIt) {
    TestDevice* device = SelectWithPolls();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->Op(0xA1)->Device(), device);
    EXPECT_EQ(device->Op(0xA1)->App(), nullptr);
    EXPECT_EQ(device->Op(0xA2)->App(), m_port.Host());
    // A failed creation leaves nothing behind and the open fails.
    TestDevice failing([](TestDevice* d) {
        return d->Add(0xA1, new PollOp(0xA1, 3, 100), false) && d->Add(0xA2, NULL, false);
    });
    failing.SetApplication(m_port.Host());
    failing.SetWaveFormRecord(&m_waveForm);
    failing.SetPort(&m_port);
    failing.SetCaps(&m_caps);
    EXPECT_EQ(failing.Open(), 0);
    EXPECT_EQ(failing.FindOperation(0xA1), nullptr);
}

TEST_F(DeviceFixture, RequestStartsItsOperationWhichSendsItsFrameByteForByte) {
    TestDevice* device = SelectWithPolls();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(m_port.RequestVersion(), 1);
    ASSERT_TRUE(m_port.m_frames.WaitForCount(1));
    EXPECT_EQ(m_port.m_frames.Entries()[0], Bytes({0x02, 0x48, 0x36, 0x47, 0x40, 0x32, 0x20, 0x03}));
    // Running: a second request is refused and sends nothing more.
    EXPECT_EQ(m_port.RequestVersion(), 0);
    EXPECT_EQ(m_port.SetRealtime(1), 1);
    ASSERT_TRUE(m_port.m_frames.WaitForCount(2));
    EXPECT_EQ(m_port.m_frames.Entries()[1], Frame(Bytes({0xA2, 0x69})));
    EXPECT_EQ(m_port.m_frames.Count(), 2u);
}

TEST_F(DeviceFixture, OperationResendsOnEveryTickUntilItsRetriesRunOut) {
    TestDevice* device = Select([](TestDevice* d) { return d->Add(0xA1, new PollOp(0xA1, 4, 10), false); });
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(device->RequestVersion(), 1);
    ASSERT_TRUE(device->Op(0xA1)->m_log.WaitFor("gave up"));
    // The first request and three resends; the fourth tick gives up.
    const std::vector<std::string> frames = m_port.m_frames.Entries();
    ASSERT_EQ(frames.size(), 4u);
    for (const std::string& f : frames) EXPECT_EQ(f, Frame(Bytes({0xA1, 0x69})));
}

TEST_F(DeviceFixture, ReceivedFramesReachTheOperationOfTheirCommandByte) {
    TestDevice* device = SelectWithPolls();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(device->RequestVersion(), 1);
    ASSERT_EQ(device->SetRealtime(1), 1);
    const std::string version = Bytes({0xA1, 0x69, '5', '.', '1'});
    const std::string distance = Bytes({0xA2, 0x69, 0x10, 0x27});
    std::string bad = Frame(Bytes({0xA2, 0x69, 0x01}));
    bad[3] ^= 0x01;  // one bit off: the check fails
    const std::string noOperation = Frame(Bytes({0xA5, 0x69, 0x00}));
    // Split over reads, noise before it, several frames in one read.
    const std::string stream = "xx" + Frame(version) + bad + noOperation + Frame(distance);
    const size_t cut = 5;
    m_port.Receive(stream.substr(0, cut));
    m_port.Receive(stream.substr(cut));
    ASSERT_TRUE(device->Op(0xA1)->m_log.WaitForCount(1));
    ASSERT_TRUE(device->Op(0xA2)->m_log.WaitForCount(1));
    EXPECT_EQ(device->Op(0xA1)->m_log.Entries(), std::vector<std::string>{WithCrc(version)});
    EXPECT_EQ(device->Op(0xA2)->m_log.Entries(), std::vector<std::string>{WithCrc(distance)});
    EXPECT_EQ(m_port.BufferedBytes(), 0u);
}

TEST_F(DeviceFixture, AbortedOperationDropsReplyAndStartsAgain) {
    TestDevice* device = SelectWithPolls();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(device->SetRealtime(1), 1);
    ASSERT_TRUE(m_port.m_frames.WaitForCount(1));
    EXPECT_EQ(device->SetRealtime(0), 1);
    EXPECT_FALSE(device->Op(0xA2)->IsRunning());
    m_port.Receive(Frame(Bytes({0xA2, 0x69, 0x01})));
    // Started again, only the new reply arrives.
    ASSERT_EQ(device->SetRealtime(1), 1);
    const std::string reply = Bytes({0xA2, 0x69, 0x02});
    m_port.Receive(Frame(reply));
    ASSERT_TRUE(device->Op(0xA2)->m_log.WaitForCount(1));
    EXPECT_EQ(device->Op(0xA2)->m_log.Entries(), std::vector<std::string>{WithCrc(reply)});
    // Stopping what never ran is still a stop.
    EXPECT_EQ(device->SetRealtime(0), 1);
    EXPECT_EQ(device->SetRealtime(0), 1);
}

TEST_F(DeviceFixture, CloseStopsAndUnlinksOperationsButKeepsThem) {
    TestDevice* device = SelectWithPolls();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(device->RequestVersion(), 1);
    ASSERT_TRUE(m_port.m_frames.WaitForCount(1));
    device->Close();
    PollOp* op = device->Op(0xA1);
    ASSERT_NE(op, nullptr);
    EXPECT_FALSE(op->IsRunning());
    EXPECT_EQ(op->Device(), nullptr);
    // Still connected but without its port: the frame goes nowhere.
    std::string message = Bytes({0xA1, 0x69});
    EXPECT_EQ(device->SendFrame(message), 1);
    EXPECT_EQ(m_port.m_frames.Count(), 1u);
}

TEST_F(DeviceFixture, NotConnectedSendsNothingAndDiscardsWhatArrives) {
    TestDevice* device = SelectWithPolls();
    ASSERT_NE(device, nullptr);
    device->SetConnected(0);
    std::string message = Bytes({0xA1, 0x69});
    EXPECT_EQ(device->SendFrame(message), 0);
    EXPECT_EQ(message, Bytes({0xA1, 0x69}));
    std::string buffer = Frame(Bytes({0xA1, 0x69})) +
                         "\x02"
                         "abc";
    std::vector<std::string> lines;
    EXPECT_EQ(device->OnReceive(buffer, lines), 0);
    EXPECT_TRUE(buffer.empty());
    EXPECT_EQ(m_port.m_frames.Count(), 0u);
}

TEST_F(DeviceFixture, MonitorSeesTheSentMessageWithCrcAndEveryDecodedReply) {
    TestDevice* device = SelectWithPolls();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(m_port.SetMonitor(1), 0);
    ASSERT_EQ(device->RequestVersion(), 1);
    ASSERT_TRUE(m_port.WaitForNotification(WM_DEVICE_COM_MONITOR_LINE));
    const std::string reply = Bytes({0xA1, 0x69, 0x41});
    std::string bad = Frame(Bytes({0xA1, 0x69, 0x42}));
    bad[4] ^= 0x01;
    std::string badDecoded;
    SensorDeviceBase::Decode6(bad.substr(1, bad.size() - 2), badDecoded);
    m_port.Receive(Frame(reply) + bad);
    const std::vector<Notification> lines = m_port.NotificationsOf(WM_DEVICE_COM_MONITOR_LINE);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].sent);
    EXPECT_EQ(lines[0].wParam, 0u);
    EXPECT_EQ(lines[0].data, Bytes({0xA1, 0x69, 0xE0, 0x48}));
    EXPECT_EQ(lines[1].wParam, 1u);
    EXPECT_EQ(lines[1].data, WithCrc(reply));
    EXPECT_EQ(lines[2].wParam, 1u);
    EXPECT_EQ(lines[2].data, badDecoded);
    EXPECT_EQ(m_port.SetMonitor(0), 1);
}

TEST_F(DeviceFixture, RequestsWithoutAnOperationReturnZeroAndSendNothing) {
    TestDevice* device = Select(nullptr);
    ASSERT_NE(device, nullptr);
    WORD words[64] = {};
    BYTE table[238] = {};
    BYTE two[2] = {};
    int value = 0;
    const std::vector<std::function<int()>> requests = {
        [&] { return device->SetLinkLevel(1); },
        [&] { return device->RequestVersion(); },
        [&] { return device->SetRealtime(1); },
        [&] { return device->ReadRam(0, 4); },
        [&] { return device->WriteRam(words, 0, 4); },
        [&] { return device->ReadAreas(); },
        [&] { return device->WriteAreas(table); },
        [&] { return device->ReadFram(0, 64); },
        [&] { return device->WriteFram(words, 0, 64); },
        [&] { return device->ReadFunction(); },
        [&] { return device->WriteFunction(0x1FF); },
        [&] { return device->ReadCorrection(); },
        [&] { return device->WriteCorrection(1, 100); },
        [&] { return device->ReadDirection(); },
        [&] { return device->WriteDirection(&value); },
        [&] { return device->SetIoPolling(1); },
        [&] { return device->WriteIo(1, 1); },
        [&] { return device->SetWaveForm(1, 10, 0); },
        [&] { return device->ReadMotor(); },
        [&] { return device->WriteMotor(&value); },
        [&] { return device->SetTroublePolling(1); },
        [&] { return device->SimulateTrouble(1); },
        [&] { return device->SetStatisticsPolling(1); },
        [&] { return device->ResetSensor(); },
        [&] { return device->UpdateFirmware("x.tiv"); },
        [&] { return device->ReadFunctionSetting(); },
        [&] { return device->WriteFunctionSetting(1); },
        [&] { return device->ReadSensitivity(); },
        [&] { return device->CorrectSensitivity(); },
        [&] { return device->ReadFilterSwitch(); },
        [&] { return device->WriteFilterSwitch(two); },
        [&] { return device->SetLevelSwitch(1); },
        [&] { return device->StartFirmwareWithoutImage(); },
        [&] { return device->StartFirmwareFromImage(); },
        [&] { return static_cast<int>(device->GetLinkLevel()); },
        [&] { return device->SetLinkOpFlag(1); },
    };
    for (size_t i = 0; i < requests.size(); ++i) EXPECT_EQ(requests[i](), 0) << "request " << i;
    EXPECT_EQ(m_port.m_frames.Count(), 0u);
    SetLastError(0);
    EXPECT_EQ(device->WriteAreas(table), 0);
    EXPECT_EQ(GetLastError(), kErrorMissingCollaborator);
}

TEST_F(DeviceFixture, RequestsHandTheirParametersToTheOperation) {
    TestDevice* device = Select([](TestDevice* d) {
        return d->Add(0xA4, new PollOp(0xA4, 3, 60000), true) &&
               d->Add(0xA8, new PollOp(0xA8, 3, 60000), false) &&
               d->Add(0xA9, new PollOp(0xA9, 3, 60000), true) &&
               d->Add(0xAF, new PollOp(0xAF, 3, 60000), true);
    });
    ASSERT_NE(device, nullptr);
    PollOp* fram = device->Op(0xA4);
    PollOp* io = device->Op(0xA8);
    PollOp* wave = device->Op(0xA9);
    PollOp* firmware = device->Op(0xAF);

    struct FramCase {
        std::function<int()> request;
        DWORD mode;
        BYTE first;
        BYTE count;
    };
    const WORD words[3] = {0x1111, 0x2222, 0x3333};
    const FramCase cases[] = {
        {[&] { return device->ReadAreas(); }, 0, 0x40, 0x80},
        {[&] { return device->ReadFram(0x10, 0); }, 2, 0x10, 0},
        {[&] { return device->WriteFram(words, 0x20, 3); }, 3, 0x20, 3},
    };
    for (const FramCase& c : cases) {
        ASSERT_EQ(c.request(), 1);
        EXPECT_EQ(fram->m_fram.mode, c.mode);
        EXPECT_EQ(fram->m_fram.first, c.first);
        EXPECT_EQ(fram->m_fram.count, c.count);
        fram->Abort();
    }
    EXPECT_EQ(fram->m_framWords, std::vector<WORD>(words, words + 3));

    ASSERT_EQ(device->SetIoPolling(1), 1);
    EXPECT_EQ(io->m_io.mode, static_cast<DWORD>(IoParams::kPoll));
    EXPECT_EQ(device->SetIoPolling(0), 1);
    ASSERT_EQ(device->WriteIo(0x12, 0x34), 1);
    EXPECT_EQ(io->m_io.mode, static_cast<DWORD>(IoParams::kForce));
    EXPECT_EQ(io->m_io.disguised, 0x12);
    EXPECT_EQ(io->m_io.mask, 0x34);

    ASSERT_EQ(device->SetWaveForm(1, 700, 1), 1);
    EXPECT_EQ(wave->m_wave.step, 700);
    EXPECT_EQ(wave->m_wave.flag, 1);
    EXPECT_EQ(device->SetWaveForm(0, 0, 0), 1);
    EXPECT_FALSE(wave->IsRunning());

    const struct {
        std::function<int()> request;
        std::string path;
    } paths[] = {
        {[&] { return device->UpdateFirmware("C:\\fw.tiv"); }, "C:\\fw.tiv"},
        {[&] { return device->StartFirmwareWithoutImage(); }, ""},
        {[&] { return device->StartFirmwareFromImage(); }, "\t"},
    };
    for (const auto& p : paths) {
        ASSERT_EQ(p.request(), 1);
        EXPECT_EQ(firmware->m_path, p.path);
        firmware->Abort();
    }
}

TEST_F(DeviceFixture, WriteAreasHandsTheEncodedImageToTheOperation) {
    TestDevice* device = Select([](TestDevice* d) { return d->Add(0xA4, new PollOp(0xA4, 3, 60000), true); });
    ASSERT_NE(device, nullptr);
    m_caps.SetVersionText("5.1.3K");
    BYTE table[238] = {};
    table[0] = 0xFF;  // area 0, x of point 0 = -1
    table[1] = 0xFF;
    table[34 * 6 + 30] = 0x07;  // area 6, Output3 7
    SetLastError(123);
    ASSERT_EQ(device->WriteAreas(table), 1);
    EXPECT_EQ(GetLastError(), 0u);
    PollOp* fram = device->Op(0xA4);
    EXPECT_EQ(fram->m_fram.mode, static_cast<DWORD>(FramParams::kWriteAreas));
    EXPECT_EQ(fram->m_fram.first, 0x40);
    EXPECT_EQ(fram->m_fram.count, 0x80);
    ASSERT_EQ(fram->m_framWords.size(), 112u);
    EXPECT_EQ(fram->m_framWords[0], 0x7FFF);
    EXPECT_EQ(fram->m_framWords[1], 0x0000);
    EXPECT_EQ(fram->m_framWords[111], 0x0007);
}

TEST_F(DeviceFixture, Version10RefusesOutputsOutside13UnsignedBits) {
    TestDevice* device = Select([](TestDevice* d) { return d->Add(0xA4, new PollOp(0xA4, 3, 60000), true); });
    ASSERT_NE(device, nullptr);
    m_caps.SetVersionText("1.0.0A");
    struct Row {
        int offset;  // Output2 or Output3 of an area
        BYTE low, high;
        int ok;
    } rows[] = {{28, 0xFF, 0xFF, 0}, {34 * 3 + 30, 0xEC, 0xFF, 0}, {28, 0xFF, 0x1F, 1}, {34 * 6 + 30, 0x00, 0x20, 0}};
    for (const Row& r : rows) {
        BYTE table[238] = {};
        table[r.offset] = r.low;
        table[r.offset + 1] = r.high;
        SetLastError(0);
        EXPECT_EQ(device->WriteAreas(table), r.ok) << r.offset;
        EXPECT_EQ(GetLastError(), r.ok ? 0u : static_cast<DWORD>(kErrorAreaOutOfRange)) << r.offset;
        device->Op(0xA4)->Abort();
    }
}

// Event operations: the message, posted or sent, and its parameters.
TEST_F(DeviceFixture, DropToLevelZeroResetsTheModelAndSendsTheBurstInOrder) {
    TestDevice* device = SelectWithPolls();
    ASSERT_NE(device, nullptr);
    m_caps.SetModel(0);
    m_caps.SetVersionText("5.1.3K");
    device->OnVersion("5.1.3K");
    m_port.ClearNotifications();
    device->OnLinkLevelChanged(0);
    const std::vector<Notification> n = m_port.Notifications();
    ASSERT_EQ(n.size(), 5u);
    const UINT order[] = {WM_DEVICE_SENSOR_INFO, WM_DEVICE_FUNCTIONS_READ, WM_DEVICE_TROUBLE,
                          WM_DEVICE_STATISTICS, WM_DEVICE_CONNECTION_CHANGED};
    const WPARAM values[] = {n[0].wParam, 0x30, 0xFF, 0, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(n[i].msg, order[i]) << i;
        EXPECT_FALSE(n[i].sent) << i;
        EXPECT_EQ(n[i].wParam, values[i]) << i;
        EXPECT_EQ(n[i].lParam, 0) << i;
    }
    EXPECT_NE(n[0].wParam, 0u);
    EXPECT_EQ(n[0].data, "");
    EXPECT_EQ(m_caps.GetFunction(), 0x30);
    EXPECT_EQ(m_caps.GetVersionText(), "");
    EXPECT_EQ(m_caps.GetOptionByte(), 0);

    m_port.ClearNotifications();
    device->OnLinkLevelChanged(2);
    const std::vector<Notification> up = m_port.Notifications();
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].msg, WM_DEVICE_CONNECTION_CHANGED);
    EXPECT_EQ(up[0].wParam, 2u);
    EXPECT_EQ(m_caps.GetModel(), 0);
}

// Replaced while its link runs, a device closes without a word of its link
// and leaves the sensor state alone: they are the new device's now.
TEST_F(DeviceFixture, AReplacedDeviceLeavesTheLinkStateToTheNewOne) {
    ASSERT_NE(Select([](TestDevice* d) { return d->AddOwnOperations(); }), nullptr);
    ASSERT_EQ(m_port.AcquireLinkLevel(1), 1);
    m_caps.SetModel(0);
    m_caps.SetVersionText("5.1.3K");
    m_port.ClearNotifications();
    m_port.m_factory = [](WORD) { return new TestDevice([](TestDevice* d) { return d->AddOwnOperations(); }); };
    ASSERT_EQ(m_port.SelectDevice(1), 1);
    for (const Notification& n : m_port.Notifications()) EXPECT_NE(n.msg, WM_DEVICE_CONNECTION_CHANGED);
    EXPECT_EQ(m_caps.GetVersionText(), "5.1.3K");
    EXPECT_EQ(m_caps.GetModel(), 0);
}

TEST_F(DeviceFixture, DropToLevelZeroWithoutVersionOperationSkipsTheVersionText) {
    TestDevice* device = Select(nullptr);
    ASSERT_NE(device, nullptr);
    device->OnLinkLevelChanged(0);
    const std::vector<Notification> n = m_port.Notifications();
    ASSERT_EQ(n.size(), 4u);
    EXPECT_EQ(n[0].msg, WM_DEVICE_FUNCTIONS_READ);
    EXPECT_EQ(n[3].msg, WM_DEVICE_CONNECTION_CHANGED);
}

TEST_F(DeviceFixture, RemappedAndPackedNotificationValues) {
    TestDevice* device = Select(nullptr);
    ASSERT_NE(device, nullptr);
    struct Case {
        std::function<void()> call;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        bool sent;
    };
    const Case cases[] = {
        {[&] { device->OnTrouble(1); }, WM_DEVICE_TROUBLE, 2, 0, false},
        {[&] { device->OnTrouble(2); }, WM_DEVICE_TROUBLE, 3, 0, false},
        {[&] { device->OnTrouble(3); }, WM_DEVICE_TROUBLE, 1, 0, false},
        {[&] { device->OnTrouble(4); }, WM_DEVICE_TROUBLE, 4, 0, false},
        {[&] { device->OnNotification(0, 1); }, WM_DEVICE_NOTIFICATION, 0, 2, false},
        {[&] { device->OnNotification(0, 3); }, WM_DEVICE_NOTIFICATION, 0, 1, false},
        {[&] { device->OnNotification(4, 1); }, WM_DEVICE_NOTIFICATION, 4, 1, false},
        {[&] { device->OnFunction(0xE1FF); }, WM_DEVICE_FUNCTIONS_READ, 0x0FFF, 0, false},
        {[&] { device->OnFramWritten(1, 0x10, 0); }, WM_DEVICE_FRAM_WRITTEN, 1, 0x00400010, false},
        {[&] { device->OnFramWritten(0, 0x20, 5); }, WM_DEVICE_FRAM_WRITTEN, 0, 0x00050020, false},
        {[&] { device->OnIoState(0x81, 0x12, 0x34); }, WM_DEVICE_OUTPUT_STATE, 0x81, 0x00340012, false},
        {[&] { device->OnIoForced(1); }, WM_DEVICE_IO_FORCED, 1, 0, false},
        {[&] { device->OnRamData(7, 0x1234, 0x5678); }, WM_DEVICE_RAM_DATA, 7, 0x56781234, false},
        {[&] { device->OnRamWritten(8, 1, 2); }, WM_DEVICE_RAM_WRITTEN, 8, 0x00020001, false},
        {[&] { device->OnDirection(0x1FE); }, WM_DEVICE_CORRECTION_ANGLE, 0xFE, 0, false},
        {[&] { device->OnDirectionWritten(3); }, WM_DEVICE_CORRECTION_DONE, 3, 0, false},
        {[&] { device->OnCorrection(4); }, WM_DEVICE_CORRECTION_DISTANCES, 4, 0, false},
        {[&] { device->OnCorrectionWritten(5); }, WM_DEVICE_CORRECTION_DISTANCE_WRITTEN, 5, 0, false},
        {[&] { device->OnFunctionWritten(1); }, WM_DEVICE_FUNCTION_WRITTEN, 1, 0, false},
        {[&] { device->OnFunctionSetting(0x0B); }, WM_DEVICE_FUNCTION_SETTING, 0x0B, 0, false},
        {[&] { device->OnFunctionSettingWritten(1); }, WM_DEVICE_FUNCTION_SETTING_WRITTEN, 1, 0, false},
        {[&] { device->OnSensitivity(0x1AB); }, WM_DEVICE_SENSITIVITY, 0xAB, 0, false},
        {[&] { device->OnSensitivityCorrected(1); }, WM_DEVICE_SENSITIVITY_WRITTEN, 1, 0, false},
        {[&] { device->OnFilterSwitchWritten(1); }, WM_DEVICE_FILTER_WRITTEN, 1, 0, false},
        {[&] { device->OnStatistics(NULL); }, WM_DEVICE_STATISTICS, 0, 0, false},
        {[&] { device->OnScan2(NULL); }, WM_DEVICE_SCAN2, 0, 0, false},
        {[&] { device->OnWaveForm(NULL); }, WM_DEVICE_WAVE_FORM, 0, 0, false},
        {[&] { device->OnAreasWritten(1); }, WM_DEVICE_AREA_WRITTEN, 1, 0, true},
        {[&] { device->OnAreasRead(NULL); }, WM_DEVICE_AREA_READ, 0, 0, true},
        {[&] { device->OnFirmwareResult(1); }, WM_DEVICE_FIRMWARE_RESULT, 1, 0, true},
        {[&] { device->OnFramData(NULL, 0x40, 0); }, WM_DEVICE_FRAM_DATA, 0, 0x00400040, false},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        m_port.ClearNotifications();
        cases[i].call();
        const std::vector<Notification> n = m_port.Notifications();
        ASSERT_EQ(n.size(), 1u) << "case " << i;
        EXPECT_EQ(n[0].msg, cases[i].msg) << "case " << i;
        EXPECT_EQ(n[0].wParam, cases[i].wParam) << "case " << i;
        EXPECT_EQ(n[0].lParam, cases[i].lParam) << "case " << i;
        EXPECT_EQ(n[0].sent, cases[i].sent) << "case " << i;
    }
    EXPECT_EQ(m_caps.GetFunction(), 0x0FFF);
    EXPECT_EQ(m_caps.GetOptionByte(), 0x0B);
}

TEST_F(DeviceFixture, ResultsHandedOverByPointerArriveAsCopies) {
    TestDevice* device = Select(nullptr);
    ASSERT_NE(device, nullptr);
    // Version text: the model learns it, the frame gets a copy.
    char text[65] = "5.1.3K";
    device->OnVersion(text);
    text[0] = '9';  // the sender's buffer is refilled by the next reply
    std::vector<Notification> n = m_port.NotificationsOf(WM_DEVICE_SENSOR_INFO);
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(n[0].wParam)), "5.1.3K");
    EXPECT_EQ(m_caps.GetMajor(), 5);

    ScanData scan;
    scan.SetStep(0, 0);
    scan.SetStep(768, 1234);
    device->OnScan(&scan);
    scan.SetStep(768, 999);
    n = m_port.NotificationsOf(WM_DEVICE_SCAN);
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(reinterpret_cast<const ScanData*>(n[0].wParam)->GetStep(768), 1234);

    WORD words[64];
    for (int i = 0; i < 64; ++i) words[i] = static_cast<WORD>(0x100 + i);
    device->OnFramData(words, 0x80, 0);
    words[63] = 0;
    n = m_port.NotificationsOf(WM_DEVICE_FRAM_DATA);
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(n[0].lParam, 0x00400080);
    EXPECT_EQ(reinterpret_cast<const WORD*>(n[0].wParam)[63], 0x13F);

    const BYTE filter[2] = {0x5A, 0xA5};
    device->OnFilterSwitch(filter);
    n = m_port.NotificationsOf(WM_DEVICE_FILTER_READ);
    ASSERT_EQ(n.size(), 1u);
    EXPECT_EQ(n[0].data, Bytes({0x5A, 0xA5}));
    BYTE stored[2] = {};
    m_caps.GetFilterSwitch(stored);
    EXPECT_EQ(stored[1], 0xA5);

    BYTE record[42] = {};
    record[26] = 0x34;  // distance 0x1234
    record[27] = 0x12;
    device->OnWaveForm(record);
    EXPECT_EQ(m_waveForm.GetDistance(), 0x1234);
}

TEST_F(DeviceFixture, AreaReadIsSentWithTheDecodedTable) {
    TestDevice* device = Select(nullptr);
    ASSERT_NE(device, nullptr);
    m_caps.SetVersionText("5.1.3K");
    WORD image[128] = {};
    image[0] = 0x7FFF;  // x = -1, flags bit 0 clear
    image[1] = 0x8001;  // y = 1, flags bit 1 set
    device->OnAreasRead(image);
    const std::vector<Notification> n = m_port.NotificationsOf(WM_DEVICE_AREA_READ);
    ASSERT_EQ(n.size(), 1u);
    EXPECT_TRUE(n[0].sent);
    ASSERT_EQ(n[0].data.size(), 238u);
    EXPECT_EQ(n[0].data.substr(0, 4), Bytes({0xFF, 0xFF, 0x01, 0x00}));
    EXPECT_EQ(n[0].data.substr(32, 2), Bytes({0x02, 0x00}));
}

TEST_F(DeviceFixture, EventsThatNeedTheModelDoNothingWithoutIt) {
    TestDevice* device = Select(nullptr);
    ASSERT_NE(device, nullptr);
    device->SetCaps(NULL);
    const BYTE filter[2] = {1, 2};
    device->OnLinkLevelChanged(0);
    device->OnVersion("5.1.3K");
    device->OnFunction(0x1FF);
    device->OnFunctionSetting(1);
    device->OnFilterSwitch(filter);
    EXPECT_TRUE(m_port.Notifications().empty());
}

// The area image: version 1.0 keeps the flags in the output words' top bits,
// every later version in bit 15 of all sixteen words.
TEST(SensorDevice_AreaImage, Version10PacksTheFlagsIntoTheOutputWords) {
    SensorCaps caps;  // no model yet: the mirror mode is available
    caps.SetVersionText("1.0.0A");
    SensorDevice device;
    device.SetCaps(&caps);
    BYTE table[238] = {};
    BYTE* area = table + 34 * 2;
    area[28] = 0xE8;  // Output2 1000
    area[29] = 0x03;
    area[30] = 0xF4;  // Output3 500
    area[31] = 0x01;
    area[32] = 5 | (2 << 3) | (1 << 5);  // 2ScanMode 5, PartitionShape 2, mirror
    WORD image[112] = {};
    ASSERT_EQ(device.EncodeAreas(table, image), 1);
    EXPECT_EQ(image[32 + 14], 0xC3E8);
    EXPECT_EQ(image[32 + 15], 0xA1F4);
    BYTE back[238];
    ASSERT_EQ(device.DecodeAreas(image, back), 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(back), 238),
              std::string(reinterpret_cast<char*>(table), 238));
}

TEST(SensorDevice_AreaImage, LaterVersionsSpreadTheFlagsOverBit15AndSignExtend) {
    SensorCaps caps;
    caps.SetVersionText("5.1.3K");
    SensorDevice device;
    device.SetCaps(&caps);
    BYTE table[238] = {};
    table[0] = 0xFF;  // x = -1
    table[1] = 0xFF;
    table[2] = 0xF0;  // y = -10000
    table[3] = 0xD8;
    table[32] = 0x42;  // flags bits 1 and 6
    WORD image[112] = {};
    ASSERT_EQ(device.EncodeAreas(table, image), 1);
    EXPECT_EQ(image[0], 0x7FFF);
    EXPECT_EQ(image[1], 0xD8F0);
    EXPECT_EQ(image[6], 0x8000);
    BYTE back[238];
    ASSERT_EQ(device.DecodeAreas(image, back), 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(back), 238),
              std::string(reinterpret_cast<char*>(table), 238));
    EXPECT_EQ(device.EncodeAreas(NULL, image), 0);
    EXPECT_EQ(device.DecodeAreas(image, NULL), 0);
}

TEST(SensorDevice_AreaImage, MirrorModeIsClearedWhereTheSensorLacksIt) {
    SensorCaps caps;
    caps.SetModel(0);
    caps.SetVersionText("1.0.0A");
    ASSERT_EQ(caps.HasCapability(3), 0);
    SensorDevice device;
    device.SetCaps(&caps);
    BYTE table[238] = {};
    for (int a = 0; a < 7; ++a) table[34 * a + 32] = 0x21;
    WORD image[112] = {};
    ASSERT_EQ(device.EncodeAreas(table, image), 1);
    for (int a = 0; a < 7; ++a) {
        EXPECT_EQ(table[34 * a + 32], 0x01) << a;
        EXPECT_EQ(image[16 * a + 14] & 0x8000, 0) << a;
    }
}

TEST_F(DeviceFixture, AReplacedLinkOrVersionOperationIsNoLongerReached) {
    // The device keeps its link and version operations typed; an operation
    // entered later under their command byte replaces them, and the device
    // must not call the deleted one.
    TestDevice* device = Select([](TestDevice* d) { return d->AddOwnOperations(); });
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->SetLinkOpFlag(1), 1);  // the link operation takes it
    ASSERT_EQ(device->Add(0xA0, new PollOp(0xA0, 3, 60000), false), 1);
    EXPECT_EQ(device->SetLinkOpFlag(1), 0);
    EXPECT_EQ(device->SetLinkLevel(1), 0);
    EXPECT_EQ(device->GetLinkLevel(), 0);

    ASSERT_EQ(device->Add(0xA1, new PollOp(0xA1, 3, 60000), false), 1);
    device->OnLinkLevelChanged(0);
    // An operation sits under the version byte, so the empty text still goes out.
    const std::vector<Notification> info = m_port.NotificationsOf(WM_DEVICE_SENSOR_INFO);
    ASSERT_EQ(info.size(), 1u);
    EXPECT_EQ(info[0].data, "");
}
