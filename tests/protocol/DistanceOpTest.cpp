#include "protocol/DistanceOp.h"

#include <gtest/gtest.h>

#include "tests/protocol/OpTestLog.h"
#include "tests/protocol/RecordingDevice.h"
#include "tests/protocol/TestHost.h"

namespace {

const size_t kNotFound = OpTestLog::kNotFound;
const char* const kGet = "send:a269";

// A distance reply of count words, word i = base + i; or of total bytes.
std::string DistanceReply(int count, WORD base, size_t total = 0) {
    std::string message = RecordingDevice::Bytes({0xA2, 0x69});
    for (int i = 0; i < count; ++i) {
        const WORD w = static_cast<WORD>(base + i);
        message += static_cast<char>(w & 0xFF);
        message += static_cast<char>(w >> 8);
    }
    if (total != 0) message.resize(total - 2, '\0');
    return RecordingDevice::Complete(message);
}

class DistanceOpTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_op.SetDevice(&m_device);
        m_op.SetApplication(&m_application);
        m_device.SetLevel(1);
    }
    void TearDown() override {
        m_op.Abort();
        m_op.Detach();
    }
    size_t WaitFrom(const std::string& entry, size_t from, DWORD timeoutMs = 5000) {
        return OpTestLog::WaitFrom(m_device.m_log, entry, from, timeoutMs);
    }

    RecordingDevice m_device;
    TestHost m_application;
    DistanceOp m_op;
};

}  // namespace

TEST_F(DistanceOpTest, ReplyIsStoredReportedAndFollowedAtOnce) {
    m_op.SetRetry(0, 60000);  // no tick: every further request comes from a reply
    ASSERT_EQ(m_op.Start(0), 1);
    ASSERT_EQ(WaitFrom(kGet, 0), 0u);
    ASSERT_EQ(m_op.OnReply(DistanceReply(769, 1000)), 1);
    const size_t scan = WaitFrom("scan", 0);
    ASSERT_NE(scan, kNotFound);
    EXPECT_EQ(WaitFrom(kGet, scan), scan + 1);
    EXPECT_EQ(m_device.ScanStep(0), 1000);
    EXPECT_EQ(m_device.ScanStep(384), 1384);
    EXPECT_EQ(m_device.ScanStep(768), 1768);
}

TEST_F(DistanceOpTest, RepliesOfAnotherLengthAreIgnored) {
    m_op.SetRetry(0, 60000);
    ASSERT_EQ(m_op.Start(0), 1);
    ASSERT_EQ(m_op.OnReply(DistanceReply(769, 1, 1541)), 1);
    ASSERT_EQ(m_op.OnReply(DistanceReply(769, 2, 1543)), 1);
    ASSERT_EQ(m_op.OnReply(DistanceReply(31, 3)), 1);
    ASSERT_EQ(m_op.OnReply(DistanceReply(769, 500)), 1);
    ASSERT_NE(WaitFrom(kGet, 1), kNotFound);
    // One request at the start, one after the only good reply.
    const std::vector<std::string> want = {kGet, "scan", kGet};
    EXPECT_EQ(m_device.m_log.Entries(), want);
    EXPECT_EQ(m_device.ScanStep(0), 500);
}

TEST_F(DistanceOpTest, SendsOnlyAtLevel1AndResumesOnTheNextTick) {
    m_device.SetLevel(2);
    m_op.SetRetry(0, 20);
    ASSERT_EQ(m_op.Start(0), 1);
    // Ten ticks at level 2: nothing goes out.
    EXPECT_EQ(WaitFrom(kGet, 0, 200), kNotFound);
    m_device.SetLevel(1);
    EXPECT_NE(WaitFrom(kGet, 0), kNotFound);
}

TEST_F(DistanceOpTest, ReplyAfterStopIsDropped) {
    m_op.SetRetry(0, 60000);
    ASSERT_EQ(m_op.Start(0), 1);
    ASSERT_NE(WaitFrom(kGet, 0), kNotFound);
    m_op.Abort();
    EXPECT_EQ(m_op.OnReply(DistanceReply(769, 1)), 0);
    const std::vector<std::string> want = {kGet};
    EXPECT_EQ(m_device.m_log.Entries(), want);
}

// Relinked to a sensor of 31 steps: its scan fills steps 369..399 about the
// middle, and the steps outside hold no echo, not the earlier sensor's values.
TEST_F(DistanceOpTest, ShortScanFillsTheMiddleAndNothingOfTheLastSensorStays) {
    m_op.SetRetry(0, 60000);
    ASSERT_EQ(m_op.Start(0), 1);
    ASSERT_EQ(m_op.OnReply(DistanceReply(769, 1000)), 1);
    const size_t full = WaitFrom("scan", 0);
    ASSERT_NE(full, kNotFound);
    m_application.SetStepCount(31);
    ASSERT_EQ(m_op.OnReply(DistanceReply(31, 7)), 1);
    ASSERT_NE(WaitFrom("scan", full + 1), kNotFound);
    const struct {
        WORD step, value;
    } rows[] = {{0, 0xFFFF}, {368, 0xFFFF}, {369, 7}, {384, 22}, {399, 37}, {400, 0xFFFF}, {768, 0xFFFF}};
    for (const auto& row : rows) EXPECT_EQ(m_device.ScanStep(row.step), row.value) << row.step;
}
