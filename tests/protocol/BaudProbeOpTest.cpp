#include "protocol/BaudProbeOp.h"

#include <gtest/gtest.h>

#include <utility>

#include "protocol/DeviceMessages.h"
#include "protocol/ProbeDevice.h"
#include "protocol/SensorDevice.h"
#include "tests/protocol/EventLog.h"
#include "tests/protocol/FrameBytes.h"
#include "tests/protocol/OpTestLog.h"
#include "tests/protocol/RecordingPort.h"

namespace {

const size_t kNotFound = OpTestLog::kNotFound;

// A challenge reply [A0 69] with eight challenge bytes, framed as the sensor sends it.
std::string ChallengeFrame() {
    return Frame(Bytes({0xA0, 0x69, 1, 2, 3, 4, 5, 6, 7, 8}));
}

// A probe device whose line and sends are logged ("baud:<index>", "probe",
// "found:<index>"); the test may answer a probe at one index.
class LoggingProbe : public ProbeDevice {
public:
    void SetBaud(BYTE index) override {
        m_index = index;
        m_log.Add("baud:" + std::to_string(index));
    }
    int SendRaw(const std::string& bytes) override {
        m_log.Add(bytes == std::string(BaudProbeOp::kProbeFrame, 8) ? "probe" : "raw");
        // Answered at once, as a sensor at that rate would.
        if (m_answerAt == m_index && m_op != NULL) m_op->OnReply(ChallengeFrame());
        return m_failSends-- > 0 ? 0 : 1;
    }
    BOOL NotifyBaudFound(WORD index) override {
        m_log.Add("found:" + std::to_string(index));
        return TRUE;
    }

    EventLog m_log;
    BaudProbeOp* m_op = NULL;
    int m_answerAt = -1;
    int m_index = -1;
    int m_failSends = 0;  // the first sends fail, as on a port not yet open
};

class BaudProbeOpTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_op.SetDevice(&m_probe);
        m_probe.m_op = &m_op;
    }
    void TearDown() override { m_op.Abort(); }
    size_t WaitFrom(const std::string& entry, size_t from) { return OpTestLog::WaitFrom(m_probe.m_log, entry, from); }

    LoggingProbe m_probe;
    BaudProbeOp m_op;
};

}  // namespace

TEST(BaudProbeOp_Frame, IsTheFramedLinkGet) {
    EXPECT_EQ(std::string(BaudProbeOp::kProbeFrame, 8), Frame(Bytes({0xA0, 0x69})));
    EXPECT_EQ(std::string(BaudProbeOp::kProbeFrame, 8), Bytes({0x02, 0x48, 0x26, 0x44, 0x58, 0x34, 0x30, 0x03}));
}

TEST(BaudProbeOp_Find, OnlyAGoodTwelveByteReplyCounts) {
    const std::string good = ChallengeFrame();
    const std::string half = good.substr(0, 9);
    const std::string badCrc = Bytes({0x02}) + good.substr(1, good.size() - 3) + "!" + Bytes({0x03});
    const struct {
        std::string bytes;
        int found;
        size_t left;
    } rows[] = {
        {good, 1, 0},
        {"noise" + good, 1, 0},
        {half, 0, 9},                                      // waits for the rest
        {Frame(Bytes({0xA0, 0x5A, 1})), 0, 0},             // a Set reply: 5 bytes
        {Frame(Bytes({0xA8, 0x69, 1, 2, 3})) + good, 0, 0},  // another command empties the buffer
        {badCrc, 0, 0},
        {Bytes({0x02}), 0, 1},
        {"xyz", 0, 0},
        {Bytes({0x02, 0x48}) + std::string(100, 'A'), 0, 0},  // no ETX: bounded
        {Bytes({0x02, 0x48}) + std::string(62, 'A') + Bytes({0x02, 0x48}), 0, 2},  // 66 bytes
    };
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        std::string buffer = rows[i].bytes;
        EXPECT_EQ(BaudProbeOp::FindChallengeReply(buffer), rows[i].found) << i;
        EXPECT_EQ(buffer.size(), rows[i].left) << i;
    }
    // A reply split over two receive events is put together.
    std::string buffer = half;
    ASSERT_EQ(BaudProbeOp::FindChallengeReply(buffer), 0);
    buffer += good.substr(9);
    EXPECT_EQ(BaudProbeOp::FindChallengeReply(buffer), 1);
}

TEST_F(BaudProbeOpTest, CyclesTheThreeRatesFrom19200) {
    m_op.SetRetry(0, 20);
    ASSERT_EQ(m_op.Start(0), 1);
    ASSERT_TRUE(m_probe.m_log.WaitForCount(10));
    m_op.Abort();
    const std::vector<std::string> want = {"baud:0", "probe", "baud:1", "probe", "baud:2",
                                           "probe", "baud:0", "probe", "baud:1", "probe"};
    const std::vector<std::string> got = m_probe.m_log.Entries();
    EXPECT_EQ(std::vector<std::string>(got.begin(), got.begin() + 10), want);
}

TEST_F(BaudProbeOpTest, ARateWhoseFrameDidNotGoOutIsTriedAgain) {
    m_probe.m_failSends = 2;
    m_op.SetRetry(0, 20);
    ASSERT_EQ(m_op.Start(0), 1);
    ASSERT_TRUE(m_probe.m_log.WaitForCount(8));
    m_op.Abort();
    const std::vector<std::string> want = {"baud:0", "probe", "baud:0", "probe", "baud:0", "probe", "baud:1", "probe"};
    const std::vector<std::string> got = m_probe.m_log.Entries();
    EXPECT_EQ(std::vector<std::string>(got.begin(), got.begin() + 8), want);
}

TEST_F(BaudProbeOpTest, ReportsTheIndexTheReplyCameAtAndGoesOnCycling) {
    m_probe.m_answerAt = 1;
    m_op.SetRetry(0, 20);
    ASSERT_EQ(m_op.Start(0), 1);
    const size_t found = WaitFrom("found:1", 0);
    ASSERT_NE(found, kNotFound);
    EXPECT_EQ(OpTestLog::From(m_probe.m_log, 0).at(found - 1), "probe");
    EXPECT_EQ(OpTestLog::From(m_probe.m_log, 0).at(found - 2), "baud:1");
    EXPECT_NE(WaitFrom("baud:2", found), kNotFound);
}

TEST_F(BaudProbeOpTest, AReplyAfterStopIsDropped) {
    m_op.SetRetry(0, 60000);
    ASSERT_EQ(m_op.Start(0), 1);
    ASSERT_NE(WaitFrom("probe", 0), kNotFound);
    m_op.Abort();
    EXPECT_EQ(m_op.OnReply(ChallengeFrame()), 0);
}

// The probe device behind the real port path.
class ProbeDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_port.Wire(&m_caps, &m_waveForm);
        m_port.m_factory = [](WORD type) -> SensorDeviceBase* {
            return type == 0xFFFF ? static_cast<SensorDeviceBase*>(new ProbeDevice) : new SensorDevice;
        };
    }
    DWORD Baud() {
        DCB dcb;
        DWORD mask, in, out;
        m_port.GetConfig(&dcb, &mask, &in, &out);
        return dcb.BaudRate;
    }

    SensorCaps m_caps;
    WaveFormRecord m_waveForm;
    RecordingPort m_port;
};

TEST_F(ProbeDeviceTest, RefusesEveryRequestAndNeedsAPort) {
    ProbeDevice lone;
    EXPECT_EQ(lone.Open(), 0);
    std::string message = Bytes({0xA0, 0x69});
    EXPECT_EQ(lone.SendFrame(message), 0);
    ProbeDevice probe;
    probe.SetPort(&m_port);
    ASSERT_EQ(probe.Open(), 1);
    EXPECT_EQ(probe.GetLinkLevel(), 0);
    EXPECT_EQ(probe.SetLinkLevel(1), 0);
    EXPECT_EQ(probe.SetRealtime(1), 0);
    EXPECT_EQ(probe.ReadAreas(), 0);
    EXPECT_EQ(probe.SetIoPolling(1), 0);
    EXPECT_EQ(probe.EncodeAreas(NULL, NULL), 1);
    // Not connected: nothing is sent; received bytes are dropped either way.
    EXPECT_EQ(probe.SendRaw("x"), 0);
    std::string buffer = ChallengeFrame();
    std::vector<std::string> lines;
    probe.OnReceive(buffer, lines);
    EXPECT_TRUE(buffer.empty());
    EXPECT_EQ(m_port.m_frames.Count(), 0u);
}

TEST_F(ProbeDeviceTest, ProbesFrom19200ReportsAndIsStoppedByTheNextDevice) {
    ASSERT_EQ(m_port.SelectDevice(0xFFFF), 1);
    ASSERT_TRUE(m_port.m_frames.WaitForCount(1));
    EXPECT_EQ(m_port.m_frames.Entries()[0], std::string(BaudProbeOp::kProbeFrame, 8));
    DCB dcb;
    DWORD mask, in, out;
    ASSERT_EQ(m_port.GetConfig(&dcb, &mask, &in, &out), 1);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);  // the probe's own line, only the rate changes
    EXPECT_EQ(mask, static_cast<DWORD>(EV_RXCHAR));

    m_port.Receive(ChallengeFrame());
    ASSERT_TRUE(m_port.WaitForNotification(WM_DEVICE_TYPE_RECOGNIZED));
    const Notification note = m_port.NotificationsOf(WM_DEVICE_TYPE_RECOGNIZED)[0];
    EXPECT_LE(note.wParam, 2u);
    EXPECT_FALSE(note.sent);

    // The sensor device takes over; the probe never touches its line again.
    ASSERT_EQ(m_port.SelectDevice(1), 1);
    const size_t frames = m_port.m_frames.Count();
    EXPECT_FALSE(m_port.m_frames.WaitForCount(frames + 1, 1200));  // two probe ticks
    EXPECT_EQ(Baud(), 57600u);
}

// The swap silences the probe it replaces; its operation may tick once more
// before the port worker closes it, and must leave the new device's line.
TEST(BaudProbe_Line, ASilencedProbeLeavesTheLineAlone) {
    RecordingPort port;
    ProbeDevice probe;
    probe.SetPort(&port);
    DCB dcb;
    DWORD mask, in, out;
    for (const auto& step : {std::make_pair(1, 1), std::make_pair(0, 2)}) {
        probe.SetConnected(static_cast<DWORD>(step.first));
        probe.SetBaud(static_cast<BYTE>(step.second));
        ASSERT_EQ(port.GetConfig(&dcb, &mask, &in, &out), 1);
        EXPECT_EQ(dcb.BaudRate, static_cast<DWORD>(CBR_57600)) << step.first;
    }
}
