#include "protocol/WaveFormOp.h"

#include <gtest/gtest.h>

#include "tests/protocol/OpTestLog.h"
#include "tests/protocol/RecordingDevice.h"
#include "tests/protocol/TestHost.h"

namespace {

const size_t kNotFound = OpTestLog::kNotFound;

// The device double that logs each waveform record it is handed:
// "wave:<byte 1>,<word at 40>,<agc>", and keeps the last record.
class WaveDevice : public RecordingDevice {
public:
    void OnWaveForm(const BYTE* record) override {
        char text[48];
        snprintf(text, sizeof(text), "wave:%02x,%u,%u", record[1], record[40] | (record[41] << 8),
                 record[30] | (record[31] << 8));
        m_log.Add(text);
    }
};

// A reply for step low byte and flag byte, distance 2200, level 700 and the
// given AGC; the twelve phase words carry 0x0101 * (i + 1).
std::string WaveReply(BYTE stepLow, BYTE flags, WORD agc, size_t extra = 0) {
    std::string message = RecordingDevice::Bytes({0xA9, 0x69, stepLow, flags});
    for (int i = 0; i < 12; ++i) message += RecordingDevice::Bytes({i + 1, i + 1});
    message += RecordingDevice::Bytes({0x98, 0x08, 0xBC, 0x02, agc & 0xFF, agc >> 8});
    message += std::string(extra, '\0');
    return RecordingDevice::Complete(message);
}

class WaveFormOpTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_device.SetLevel(1);
        m_op.SetDevice(&m_device);
        m_op.SetApplication(&m_application);
    }
    void TearDown() override { m_op.Abort(); }
    size_t WaitFrom(const std::string& entry, size_t from) { return OpTestLog::WaitFrom(m_device.m_log, entry, from); }

    WaveDevice m_device;
    TestHost m_application;
    WaveFormOp m_op;
};

}  // namespace

TEST(WaveFormOp_Record, ChannelBitAndPositionWord) {
    // Byte 1 bit 0 takes bit 7; the word at 40 is byte 0 with byte 1's bits 0-1 above it.
    const struct {
        BYTE stepLow;
        BYTE flags;
        BYTE recordFlags;
        WORD position;
    } rows[] = {
        {0xBC, 0x82, 0x83, 0x3BC},  // step 700, selector 1
        {0xBC, 0x02, 0x02, 0x2BC},  // step 700, selector 0
        {0x00, 0x81, 0x81, 0x100},  // step 256, selector 1
        {0x10, 0x1F, 0x1E, 0x210},  // trouble bits pass; bit 0 cleared
    };
    for (const auto& row : rows) {
        BYTE record[WaveFormRecord::kBytes];
        memset(record, 0xEE, sizeof(record));
        WaveFormOp::BuildRecord(WaveReply(row.stepLow, row.flags, 9), record);
        EXPECT_EQ(record[0], row.stepLow);
        EXPECT_EQ(record[1], row.recordFlags) << int(row.flags);
        EXPECT_EQ(record[2], 1);
        EXPECT_EQ(record[25], 12);
        EXPECT_EQ(record[26] | (record[27] << 8), 2200);
        EXPECT_EQ(record[30] | (record[31] << 8), 9);
        for (int i = 32; i < 40; ++i) EXPECT_EQ(record[i], 0) << i;
        EXPECT_EQ(record[40] | (record[41] << 8), row.position) << int(row.flags);
    }
}

TEST_F(WaveFormOpTest, RequestsCarryStepAndSelectorAndEachReplyAsksAgain) {
    ASSERT_EQ(m_op.SetParams(700, 1), 1);
    ASSERT_EQ(WaitFrom("send:a969bc82", 0), 0u);
    // Another length is ignored; a good reply is handed on and followed at once.
    ASSERT_EQ(m_op.OnReply(WaveReply(0xBC, 0x82, 5, 2)), 1);
    ASSERT_EQ(m_op.OnReply(WaveReply(0xBC, 0x82, 5)), 1);
    const size_t wave = WaitFrom("wave:83,956,5", 0);
    ASSERT_EQ(wave, 1u);
    EXPECT_EQ(WaitFrom("send:a969bc82", wave), wave + 1);
}

TEST_F(WaveFormOpTest, NewStepWhileRunningGoesOutWithTheNextRequest) {
    ASSERT_EQ(m_op.SetParams(10, 0), 1);
    ASSERT_EQ(WaitFrom("send:a9690a00", 0), 0u);
    ASSERT_EQ(m_op.SetParams(300, 1), 1);
    ASSERT_EQ(m_op.OnReply(WaveReply(0x0A, 0x00, 0)), 1);
    EXPECT_NE(WaitFrom("send:a9692c81", 0), kNotFound);
}

TEST_F(WaveFormOpTest, BothChannelsAlternateTheSelectorOnlyWhileAgcIsNonzero) {
    m_application.SetWaveFormBoth(1);
    ASSERT_EQ(m_op.SetParams(700, 0), 1);
    ASSERT_EQ(WaitFrom("send:a969bc02", 0), 0u);
    const struct {
        BYTE flags;
        WORD agc;
        const char* record;
        const char* next;
    } rows[] = {
        {0x02, 0x0123, "wave:02,700,291", "send:a969bc82"},
        {0x82, 0x0456, "wave:83,956,1110", "send:a969bc02"},
        {0x02, 0, "wave:02,700,0", "send:a969bc02"},  // no AGC: the selector stays
    };
    for (const auto& row : rows) {
        ASSERT_EQ(m_op.OnReply(WaveReply(0xBC, row.flags, row.agc)), 1);
        const size_t wave = WaitFrom(row.record, 0);
        ASSERT_NE(wave, kNotFound) << row.record;
        // The request follows its record on the same thread.
        EXPECT_EQ(WaitFrom(row.next, wave), wave + 1) << row.record;
    }
}

// Any step goes out in its ten bits, whatever the sensor's step count.
TEST_F(WaveFormOpTest, StepGoesOutInItsTenBitsWhateverTheStepCount) {
    const struct {
        int steps;
        WORD step;
        const char* request;
    } rows[] = {
        {769, 900, "send:a9698403"},
        {31, 40, "send:a9692800"},
        {769, 1023, "send:a969ff03"},
        {769, 2000, "send:a969d003"},  // 0x7D0: bits 8 and 9 of it
    };
    for (const auto& row : rows) {
        m_application.SetStepCount(row.steps);
        const size_t from = m_device.m_log.Count();
        ASSERT_EQ(m_op.SetParams(row.step, 0), 1);
        EXPECT_NE(WaitFrom(row.request, from), kNotFound) << row.steps << " " << row.step;
        m_op.Abort();
    }
}

TEST_F(WaveFormOpTest, RequestsWaitForLevel1) {
    m_device.SetLevel(2);
    ASSERT_EQ(m_op.SetParams(1, 0), 1);
    EXPECT_FALSE(m_device.m_log.WaitForCount(1, 700));  // one 500 ms tick passes
    m_device.SetLevel(1);
    EXPECT_NE(WaitFrom("send:a9690100", 0), kNotFound);
    EXPECT_EQ(m_op.Start(0), 0);
}
