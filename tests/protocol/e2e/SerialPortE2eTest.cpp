// Serial port against the sensor simulator through a real pseudo-terminal.
// Each test runs with its own simulator; its switches are set where CTest
// lists the test.
#include <gtest/gtest.h>

#include <stdio.h>

#include "protocol/SensorDeviceBase.h"
#include "tests/protocol/FrameBytes.h"
#include "tests/protocol/e2e/CollectingPort.h"
#include "tests/protocol/e2e/SimLog.h"

namespace {

const DWORD kReplyTimeoutMs = 5000;

// Link Get and its frame, worked by hand.
const std::string kLinkGet = Bytes({0xA0, 0x69, 0x38, 0x51});
const std::string kLinkGetFrame = Bytes({0x02, 0x48, 0x26, 0x44, 0x58, 0x34, 0x30, 0x03});

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

class SerialPortE2e : public ::testing::Test {
protected:
    void SetUp() override {
        m_com = SimLog::ComPort();
        if (m_com == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
        ASSERT_EQ(m_port.CreateEvents(), 1);
    }

    void OpenPort() {
        ASSERT_EQ(m_port.Open(m_com), 1) << GetLastError();
        ASSERT_TRUE(m_port.IsOpen());
    }

    void SendLinkGet(int times) {
        for (int i = 0; i < times; ++i) ASSERT_EQ(m_port.WriteAll(kLinkGetFrame), 8);
    }

    int m_com = 0;
    CollectingPort m_port;
};

TEST_F(SerialPortE2e, LinkHandshakeRoundTrip) {
    ASSERT_EQ(Frame(Bytes({0xA0, 0x69})), kLinkGetFrame);
    LARGE_INTEGER opened, delivered;
    QueryPerformanceCounter(&opened);
    OpenPort();
    SendLinkGet(1);
    ASSERT_TRUE(m_port.WaitForMessages(1, kReplyTimeoutMs));
    QueryPerformanceCounter(&delivered);
    const double ms = Milliseconds(opened, delivered);
    printf("open to first good frame delivered: %.1f ms\n", ms);
    RecordProperty("OpenToFirstFrameMicroseconds", static_cast<int>(ms * 1000));

    // The challenge: A0 69, eight bytes, CRC.
    const std::string challenge = m_port.Messages()[0];
    ASSERT_EQ(challenge.size(), 12u);
    EXPECT_EQ(challenge.substr(0, 2), Bytes({0xA0, 0x69}));
    std::string answered = challenge.substr(2, 8);
    answered.append(2, '\0');
    const WORD answer = SensorDeviceBase::Crc16(answered);
    ASSERT_EQ(m_port.WriteAll(Frame(Bytes({0xA0, 0x5A, 1, answer & 0xFF, answer >> 8}))), 12);
    ASSERT_TRUE(m_port.WaitForMessages(2, kReplyTimeoutMs));
    EXPECT_EQ(m_port.Messages()[1].substr(0, 3), Bytes({0xA0, 0x5A, 1}));

    // What went over the line, as the simulator saw it.
    const std::vector<std::string> received = SimLog::Lines("RX");
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], SimLog::Hex(kLinkGet));
    EXPECT_EQ(SimLog::Lines("TX")[0], SimLog::Hex(challenge));
    EXPECT_TRUE(SimLog::Lines("NOISE").empty());
    EXPECT_TRUE(SimLog::WaitForLine("BAUD", "19200", kReplyTimeoutMs));
}

TEST_F(SerialPortE2e, ReplySplitOverManyReadsIsDeliveredWhole) {
    OpenPort();
    SendLinkGet(1);
    ASSERT_TRUE(m_port.WaitForMessages(1, kReplyTimeoutMs));
    EXPECT_GT(m_port.Reads(), 1);
    EXPECT_EQ(SimLog::Hex(m_port.Messages()[0]), SimLog::Lines("TX")[0]);
}

TEST_F(SerialPortE2e, SeveralFramesInOneReadAreAllDelivered) {
    OpenPort();
    SendLinkGet(1);
    ASSERT_TRUE(m_port.WaitForMessages(3, kReplyTimeoutMs));
    const std::vector<std::string> messages = m_port.Messages();
    ASSERT_EQ(messages.size(), 3u);
    for (const std::string& m : messages) EXPECT_EQ(SimLog::Hex(m), SimLog::Lines("TX")[0]);
    EXPECT_GE(m_port.MostMessagesInOneRead(), 2u);
}

TEST_F(SerialPortE2e, DroppedReplyLeavesNothingAndDelayedReplyArrives) {
    // Every second reply is dropped; every reply is delayed.
    OpenPort();
    SendLinkGet(1);
    ASSERT_TRUE(m_port.WaitForMessages(1, kReplyTimeoutMs));
    SendLinkGet(1);
    ASSERT_TRUE(SimLog::WaitForCount("DROP", 1, kReplyTimeoutMs));
    SendLinkGet(1);
    ASSERT_TRUE(m_port.WaitForMessages(2, kReplyTimeoutMs));
    EXPECT_EQ(m_port.Messages().size(), 2u);
    EXPECT_EQ(SimLog::Lines("DROP").size(), 1u);
    EXPECT_EQ(SimLog::Lines("RX").size(), 3u);
}

TEST_F(SerialPortE2e, EventsOutsideTheMaskAreNotDelivered) {
    CollectingPort breaksOnly(EV_BREAK);
    ASSERT_EQ(breaksOnly.CreateEvents(), 1);
    ASSERT_EQ(breaksOnly.Open(m_com), 1);
    ASSERT_EQ(breaksOnly.WriteAll(kLinkGetFrame), 8);
    ASSERT_TRUE(SimLog::WaitForCount("TX", 1, kReplyTimeoutMs));
    EXPECT_FALSE(breaksOnly.WaitForMessages(1, 300));
    EXPECT_EQ(breaksOnly.Reads(), 0);
    EXPECT_EQ(breaksOnly.Close(), 1);
}

TEST_F(SerialPortE2e, CloseRightAfterOpenNeverHangs) {
    // The receive thread may not have run at all when the close comes.
    for (int i = 0; i < 25; ++i) {
        ASSERT_EQ(m_port.Open(m_com), 1) << i;
        ASSERT_EQ(m_port.Close(), 1) << i;
    }
    OpenPort();
    SendLinkGet(1);
    EXPECT_TRUE(m_port.WaitForMessages(1, kReplyTimeoutMs));
}

TEST_F(SerialPortE2e, LastFrameBeforeCloseReachesTheSensor) {
    // The simulator stops reading after the first frame, so the next frame is
    // still on the line when the port closes, and must not be purged. More
    // than the other end's buffer waits before it, so it sits on this side.
    OpenPort();
    SendLinkGet(1);
    ASSERT_TRUE(SimLog::WaitForCount("STALL", 1, kReplyTimeoutMs));
    for (int i = 0; i < 3; ++i) ASSERT_EQ(m_port.WriteAll(std::string(3000, 'x')), 3000);
    SendLinkGet(1);
    EXPECT_EQ(m_port.Close(), 1);
    ASSERT_TRUE(SimLog::WaitForCount("RESUME", 1, kReplyTimeoutMs));
    EXPECT_TRUE(SimLog::WaitForCount("RX", 2, kReplyTimeoutMs));
}

TEST_F(SerialPortE2e, WriteToAStalledLineGivesUpWithinItsBound) {
    // The simulator stops reading after the first frame: the line fills up
    // and a write stays pending until WriteAll gives up and cancels it.
    OpenPort();
    SendLinkGet(1);
    ASSERT_TRUE(SimLog::WaitForCount("STALL", 1, kReplyTimeoutMs));
    const std::string chunk(2000, 'x');
    int written = 0;
    DWORD failedAfter = 0;
    for (int i = 0; i < 1000 && written == 0; ++i) {
        const DWORD start = GetTickCount();
        if (m_port.WriteAll(chunk) != static_cast<int>(chunk.size())) {
            failedAfter = GetTickCount() - start;
            written = 1;
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
        }
    }
    ASSERT_EQ(written, 1) << "the line never filled up";
    EXPECT_LT(failedAfter, SerialPort::kRoomTimeoutMs + SerialPort::kIoTimeoutMs + 5000);

    // Once the sensor reads again, the next frame goes out.
    ASSERT_TRUE(SimLog::WaitForCount("RESUME", 1, 10000));
    SendLinkGet(1);
    EXPECT_TRUE(SimLog::WaitForCount("RX", 2, kReplyTimeoutMs));
}

TEST_F(SerialPortE2e, SilentSensorDeliversNothing) {
    OpenPort();
    SendLinkGet(2);
    EXPECT_TRUE(SimLog::WaitForLine("RX", SimLog::Hex(kLinkGet), kReplyTimeoutMs));
    EXPECT_FALSE(m_port.WaitForMessages(1, 300));
    EXPECT_EQ(m_port.BytesReceived(), 0u);
}

}  // namespace

TEST_F(SerialPortE2e, ReplyLeftOnTheLineBeforeTheOpenIsDiscarded) {
    // The simulator left a link Set reply (level 1) on the line before the
    // port opened: no answer to anything this session sends.
    OpenPort();
    SendLinkGet(1);
    ASSERT_TRUE(m_port.WaitForMessages(1, kReplyTimeoutMs));
    const std::string first = m_port.Messages().at(0);
    EXPECT_EQ(first.substr(0, 2), Bytes({0xA0, 0x69}));
    EXPECT_EQ(first.size(), 12u);
    EXPECT_EQ(SimLog::Lines("STALE").size(), 1u);
}
