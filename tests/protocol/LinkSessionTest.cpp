// The link, version and distance operations inside a real sensor device,
// behind a device port whose line is recorded: what goes out as frames and
// what reaches the frame window as notifications.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "framework/OwnedHandle.h"
#include "protocol/DistanceOp.h"
#include "protocol/LinkOp.h"
#include "protocol/SensorDevice.h"
#include "protocol/VersionOp.h"
#include "tests/protocol/FrameBytes.h"
#include "tests/protocol/RecordingDevice.h"
#include "tests/protocol/RecordingPort.h"

namespace {

// Ten ticks without a reply drop the link: 2.5 s, long enough for a loaded
// machine to hand over the replies a test gives while the link stands.
const DWORD kTickMs = 250;
const DWORD kWaitMs = 15000;

std::string Frame(std::initializer_list<int> values) {
    return ::Frame(RecordingDevice::Bytes(values));
}

std::string VersionFrame(const std::string& text) {
    std::string message = RecordingDevice::Bytes({0xA1, 0x69}) + text;
    message.resize(66, '\0');
    return ::Frame(message);
}

int CountOf(RecordingPort& port, UINT msg, const std::string& data) {
    int n = 0;
    for (const Notification& note : port.NotificationsOf(msg))
        if (note.data == data) ++n;
    return n;
}

// A sensor device whose link can be made to drop while the version
// operation checks the level: the drop runs on a thread of its own, as the
// link operation's would, and the check waits for it, bounded, before it
// goes on.
class DroppingDevice : public SensorDevice {
public:
    DroppingDevice() : m_dropped(CreateEventA(NULL, TRUE, FALSE, NULL)) {}
    ~DroppingDevice() override {
        if (m_dropper.joinable()) m_dropper.join();
    }
    BYTE GetLinkLevel() override {
        const BYTE level = SensorDevice::GetLinkLevel();
        DeviceOperation* version = FindOperation(kCmdVersion);
        if (m_drop && version != NULL && GetCurrentThreadId() == version->GetThreadId()) {
            std::function<void()> drop;
            drop.swap(m_drop);
            m_dropper = std::thread([this, drop] {
                drop();
                SetEvent(m_dropped.Get());
            });
            WaitForSingleObject(m_dropped.Get(), 500);
        }
        return level;
    }
    bool WaitForDrop() {
        if (m_dropper.joinable()) m_dropper.join();
        return WaitForSingleObject(m_dropped.Get(), 0) == WAIT_OBJECT_0;
    }

    std::function<void()> m_drop;  // set by the test while the version operation waits

private:
    OwnedHandle m_dropped;  // manual-reset; set once the drop has returned
    std::thread m_dropper;
};

class LinkSession : public ::testing::Test {
protected:
    void SetUp() override {
        m_port.Wire(&m_caps, &m_waveForm);
        m_port.SetApplication(&m_application);
        m_port.m_factory = [this](WORD) {
            m_device = new DroppingDevice;
            return m_device;
        };
        ASSERT_EQ(m_port.SelectDevice(0), 1);
        ASSERT_NE(m_device, nullptr);
        m_port.ClearNotifications();  // the replay's level 0
    }
    void TearDown() override { m_port.Detach(); }

    // The link climbs to level 1.
    void Link() {
        m_device->FindOperation(SensorDevice::kCmdLink)->SetRetry(LinkOp::kRetries, kTickMs);
        ASSERT_EQ(m_port.AcquireLinkLevel(1), 1);
        ASSERT_TRUE(m_port.m_frames.WaitFor(Frame({0xA0, 0x69})));
        m_port.Receive(Frame({0xA0, 0x69, 1, 2, 3, 4, 5, 6, 7, 8}));
        ASSERT_TRUE(m_port.m_frames.WaitFor(Frame({0xA0, 0x5A, 1, 0xA7, 0xEE})));
        m_port.Receive(Frame({0xA0, 0x5A, 1}));
        ASSERT_TRUE(WaitForLevel(1));
    }
    bool WaitForLevel(WPARAM level) {
        const DWORD start = GetTickCount();
        for (;;) {
            for (const Notification& n : m_port.NotificationsOf(WM_DEVICE_CONNECTION_CHANGED))
                if (n.wParam == level) return true;
            if (GetTickCount() - start > kWaitMs) return false;
            m_port.WaitForNotification(WM_DEVICE_CONNECTION_CHANGED, 50);
        }
    }
    bool WaitForInfo(const std::string& text, int count) {
        const DWORD start = GetTickCount();
        while (CountOf(m_port, WM_DEVICE_SENSOR_INFO, text) < count) {
            if (GetTickCount() - start > kWaitMs) return false;
            m_port.WaitForNotification(WM_DEVICE_SENSOR_INFO, 50);
        }
        return true;
    }

    SensorCaps m_caps;
    WaveFormRecord m_waveForm;
    TestHost m_application;
    RecordingPort m_port;
    DroppingDevice* m_device = nullptr;  // owned by the port
};

}  // namespace

TEST_F(LinkSession, OperationsAreRegisteredByTheirCommandBytes) {
    EXPECT_NE(dynamic_cast<LinkOp*>(m_device->FindOperation(0xA0)), nullptr);
    EXPECT_NE(dynamic_cast<VersionOp*>(m_device->FindOperation(0xA1)), nullptr);
    EXPECT_NE(dynamic_cast<DistanceOp*>(m_device->FindOperation(0xA2)), nullptr);
}

TEST_F(LinkSession, LinkAsksForTheVersionWhichIsReportedOncePerConnection) {
    Link();
    EXPECT_EQ(m_port.GetLinkLevel(), 1);
    ASSERT_TRUE(m_port.m_frames.WaitFor(Frame({0xA1, 0x69})));
    m_port.Receive(VersionFrame("5.1.3K"));
    m_port.Receive(VersionFrame("5.1.3K"));
    m_port.Receive(VersionFrame("5.1.4K"));
    ASSERT_TRUE(WaitForInfo("5.1.4K", 1));
    EXPECT_EQ(CountOf(m_port, WM_DEVICE_SENSOR_INFO, "5.1.3K"), 1);
    EXPECT_EQ(m_caps.GetVersionText(), "5.1.4K");

    // Silence drops the link; the drop reports an empty text.
    ASSERT_TRUE(WaitForLevel(0));
    EXPECT_EQ(CountOf(m_port, WM_DEVICE_SENSOR_INFO, ""), 1);
    // Linked again, the same text is reported again. The reply answers the
    // new connection's request: the level shows before the version is asked.
    m_port.ClearNotifications();
    m_port.m_frames.Clear();
    m_port.Receive(Frame({0xA0, 0x69, 1, 2, 3, 4, 5, 6, 7, 8}));
    m_port.Receive(Frame({0xA0, 0x5A, 1}));
    ASSERT_TRUE(WaitForLevel(1));
    ASSERT_TRUE(m_port.m_frames.WaitFor(Frame({0xA1, 0x69})));
    m_port.Receive(VersionFrame("5.1.4K"));
    EXPECT_TRUE(WaitForInfo("5.1.4K", 1));
}

TEST_F(LinkSession, HoldFlagReachesTheLinkAndLevelZeroSendsSetZero) {
    Link();
    EXPECT_EQ(m_device->SetLinkOpFlag(1), 1);
    EXPECT_EQ(m_device->SetLinkOpFlag(0), 1);
    ASSERT_EQ(m_port.AcquireLinkLevel(0), 1);
    EXPECT_TRUE(m_port.m_frames.WaitFor(Frame({0xA0, 0x5A, 0, 0xA7, 0xEE})));
    EXPECT_EQ(m_port.GetLinkLevel(), 0);
}

TEST_F(LinkSession, VersionReplyRacingALinkDropLeavesNoVersionBehind) {
    Link();
    ASSERT_TRUE(m_port.m_frames.WaitFor(Frame({0xA1, 0x69})));
    m_device->FindOperation(SensorDevice::kCmdVersion)->SetRetry(0, 60000);
    // The link drops between the reply's level check and its report.
    m_device->m_drop = [this] { m_port.AcquireLinkLevel(0); };
    m_port.Receive(VersionFrame("5.1.3K"));
    ASSERT_TRUE(WaitForInfo("5.1.3K", 1));
    ASSERT_TRUE(WaitForLevel(0));
    ASSERT_TRUE(m_device->WaitForDrop());
    EXPECT_EQ(m_caps.GetVersionText(), "");
    const std::vector<Notification> infos = m_port.NotificationsOf(WM_DEVICE_SENSOR_INFO);
    ASSERT_FALSE(infos.empty());
    EXPECT_EQ(infos.back().data, "");
}

// "Selected by sensor" switched off while the I/O test's release waits for
// its echo: the release goes on, or a forced line would stay forced.
TEST_F(LinkSession, PollingSwitchedOffKeepsAnUnechoedReleaseGoing) {
    Link();
    m_device->FindOperation(SensorDevice::kCmdLink)->SetRetry(LinkOp::kRetries, 60000);
    const std::string release = Frame({0xA8, 0x5A, 0, 0});
    const auto releases = [&] {
        size_t n = 0;
        for (const std::string& f : m_port.m_frames.Entries()) n += f == release;
        return n;
    };
    ASSERT_EQ(m_port.SetIoPolling(1), 1);  // selected by sensor
    ASSERT_EQ(m_port.SetIoPolling(1), 1);  // the I/O test opens, then closes
    ASSERT_EQ(m_port.SetIoPolling(0), 1);
    ASSERT_EQ(m_port.WriteIo(0, 0), 1);
    ASSERT_TRUE(m_port.m_frames.WaitFor(release));
    ASSERT_EQ(m_port.SetIoPolling(0), 1);
    const size_t sent = releases();
    const DWORD start = GetTickCount();
    while (releases() == sent) {
        ASSERT_LT(GetTickCount() - start, kWaitMs) << "the release was forgotten";
        m_port.m_frames.WaitForCount(m_port.m_frames.Count() + 1, 100);
    }
    m_port.Receive(Frame({0xA8, 0x5A, 0, 0}));
    ASSERT_TRUE(m_port.WaitForNotification(WM_DEVICE_IO_FORCED));
    EXPECT_EQ(m_port.NotificationsOf(WM_DEVICE_IO_FORCED).at(0).wParam, 1u);
}
