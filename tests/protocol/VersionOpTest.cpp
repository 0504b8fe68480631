#include "protocol/VersionOp.h"

#include <gtest/gtest.h>

#include "tests/protocol/OpTestLog.h"
#include "tests/protocol/RecordingDevice.h"

namespace {

const size_t kNotFound = OpTestLog::kNotFound;
const char* const kGet = "send:a169";

// A version reply: the text padded with zeros to 64 bytes, or to total bytes.
std::string VersionReply(const std::string& text, size_t total = 68) {
    std::string message = RecordingDevice::Bytes({0xA1, 0x69}) + text;
    message.resize(total - 2, '\0');
    return RecordingDevice::Complete(message);
}

class VersionOpTest : public ::testing::Test {
protected:
    void SetUp() override { m_op.SetDevice(&m_device); }
    void TearDown() override {
        m_op.Abort();
        m_op.Detach();
    }
    size_t WaitFrom(const std::string& entry, size_t from, DWORD timeoutMs = 5000) {
        return OpTestLog::WaitFrom(m_device.m_log, entry, from, timeoutMs);
    }

    RecordingDevice m_device;
    VersionOp m_op;
};

}  // namespace

TEST_F(VersionOpTest, AsksAtOnceAndReportsTheText) {
    m_device.SetLevel(1);
    m_op.SetRetry(0, 60000);
    ASSERT_EQ(m_op.Start(0), 1);
    ASSERT_EQ(WaitFrom(kGet, 0), 0u);
    ASSERT_EQ(m_op.OnReply(VersionReply("5.1.3K")), 1);
    ASSERT_NE(WaitFrom("version:5.1.3K", 0), kNotFound);
    EXPECT_EQ(m_op.GetText(), "5.1.3K");
}

TEST_F(VersionOpTest, ReportsOnlyAChangedTextAndAgainAfterClearing) {
    m_device.SetLevel(1);
    m_op.SetRetry(0, 60000);
    ASSERT_EQ(m_op.Start(0), 1);
    ASSERT_EQ(m_op.OnReply(VersionReply("5.1.3K")), 1);
    ASSERT_EQ(m_op.OnReply(VersionReply("5.1.3K")), 1);  // the poll's repeat: no report
    ASSERT_EQ(m_op.OnReply(VersionReply("5.1.4K")), 1);
    ASSERT_NE(WaitFrom("version:5.1.4K", 0), kNotFound);
    // A new connection clears the text: the same text is reported again.
    EXPECT_EQ(m_op.ClearText(), "");
    ASSERT_EQ(m_op.OnReply(VersionReply("5.1.4K")), 1);
    ASSERT_EQ(m_op.OnReply(VersionReply("5.1.4K")), 1);
    ASSERT_EQ(m_op.OnReply(VersionReply("6.0.0")), 1);
    ASSERT_NE(WaitFrom("version:6.0.0", 0), kNotFound);
    const std::vector<std::string> want = {kGet, "version:5.1.3K", "version:5.1.4K", "version:5.1.4K",
                                           "version:6.0.0"};
    EXPECT_EQ(m_device.m_log.Entries(), want);
}

TEST_F(VersionOpTest, AnswerArrivingAfterTheLinkWentDownIsNotReported) {
    m_device.SetLevel(1);
    m_op.SetRetry(0, 60000);
    ASSERT_EQ(m_op.Start(0), 1);
    ASSERT_EQ(m_op.OnReply(VersionReply("5.1.3K")), 1);
    ASSERT_NE(WaitFrom("version:5.1.3K", 0), kNotFound);
    // The link drops (the device clears the text) with an answer on its way.
    m_device.SetLevel(0);
    EXPECT_EQ(m_op.ClearText(), "");
    ASSERT_EQ(m_op.OnReply(VersionReply("5.1.3K")), 1);
    // The next tick, after the answer in the queue, ends the operation.
    m_op.SetRetry(0, 1);
    ASSERT_EQ(m_op.Wait(5000), WAIT_OBJECT_0);
    EXPECT_EQ(m_op.GetText(), "");
    const std::vector<std::string> want = {kGet, "version:5.1.3K"};
    EXPECT_EQ(m_device.m_log.Entries(), want);
}

TEST_F(VersionOpTest, RepliesOfWrongLengthOrSubCommandAreIgnored) {
    m_device.SetLevel(1);
    m_op.SetRetry(0, 60000);
    ASSERT_EQ(m_op.Start(0), 1);
    ASSERT_EQ(m_op.OnReply(VersionReply("1.0.0", 67)), 1);
    ASSERT_EQ(m_op.OnReply(VersionReply("2.0.0", 69)), 1);
    std::string wrongSub = VersionReply("3.0.0");
    wrongSub[1] = 0x5A;
    ASSERT_EQ(m_op.OnReply(wrongSub), 1);
    ASSERT_EQ(m_op.OnReply(VersionReply("4.0.0")), 1);
    ASSERT_NE(WaitFrom("version:4.0.0", 0), kNotFound);
    const std::vector<std::string> want = {kGet, "version:4.0.0"};
    EXPECT_EQ(m_device.m_log.Entries(), want);
}

TEST_F(VersionOpTest, TextOfAFull64BytesIsTerminated) {
    m_device.SetLevel(1);
    m_op.SetRetry(0, 60000);
    ASSERT_EQ(m_op.Start(0), 1);
    const std::string text(64, 'x');
    ASSERT_EQ(m_op.OnReply(VersionReply(text)), 1);
    ASSERT_NE(WaitFrom("version:" + text, 0), kNotFound);
    EXPECT_EQ(m_op.GetText(), text);
}

TEST_F(VersionOpTest, PollsEveryTickAndEndsItselfBelowLevel1) {
    m_device.SetLevel(1);
    m_op.SetRetry(0, 20);
    ASSERT_EQ(m_op.Start(0), 1);
    ASSERT_NE(WaitFrom(kGet, 1), kNotFound);  // a second request, from a tick
    m_device.SetLevel(0);
    ASSERT_EQ(m_op.Wait(5000), WAIT_OBJECT_0);
    EXPECT_FALSE(m_op.IsRunning());
    // Startable again once the link is back.
    m_device.SetLevel(1);
    const size_t restart = m_device.m_log.Count();
    ASSERT_EQ(m_op.Start(0), 1);
    EXPECT_NE(WaitFrom(kGet, restart), kNotFound);
}

TEST_F(VersionOpTest, StartBelowLevel1SendsNothingAndEnds) {
    m_op.SetRetry(0, 20);
    ASSERT_EQ(m_op.Start(0), 1);
    ASSERT_EQ(m_op.Wait(5000), WAIT_OBJECT_0);
    EXPECT_EQ(m_device.m_log.Count(), 0u);
}
