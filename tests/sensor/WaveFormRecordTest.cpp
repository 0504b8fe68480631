#include "sensor/WaveFormRecord.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace {

// A reply whose byte i is i + 1, so each word names its own offset.
void CountingReply(BYTE* reply) {
    for (int i = 0; i < WaveFormRecord::kBytes; ++i) reply[i] = static_cast<BYTE>(i + 1);
}

}  // namespace

TEST(WaveFormRecord_Layout, AccessorsReadTheirOffsetsLittleEndian) {
    BYTE reply[WaveFormRecord::kBytes];
    CountingReply(reply);
    WaveFormRecord record;
    record.CopyFrom(reply);
    EXPECT_EQ(record.GetFlags(), 0x02);
    EXPECT_EQ(record.GetPhaseWord0(0), 0x0403);
    EXPECT_EQ(record.GetPhaseWord1(0), 0x0605);
    EXPECT_EQ(record.GetPhaseWord2(0), 0x0807);
    EXPECT_EQ(record.GetPhaseWord0(1), 0x0A09);
    EXPECT_EQ(record.GetPhaseWord1(3), 0x1817);  // FMAX 0x18, FMIN 0x17
    EXPECT_EQ(record.GetPhaseWord2(3), 0x1A19);  // BMAX 0x1A, BMIN 0x19
    EXPECT_EQ(record.GetDistance(), 0x1C1B);
    EXPECT_EQ(record.GetLevel(), 0x1E1D);
    EXPECT_EQ(record.GetAgc(), 0x201F);
    EXPECT_EQ(record.GetExtraWord(0), 0x2221);
    EXPECT_EQ(record.GetExtraWord(3), 0x2827);
    EXPECT_EQ(record.GetWord44(), 0x2A29);
}

TEST(WaveFormRecord_Layout, OutOfRangeIndicesGiveZero) {
    BYTE reply[WaveFormRecord::kBytes];
    memset(reply, 0xFF, sizeof(reply));
    WaveFormRecord record;
    record.CopyFrom(reply);
    for (BYTE i : {BYTE(4), BYTE(5), BYTE(255)}) {
        EXPECT_EQ(record.GetPhaseWord0(i), 0);
        EXPECT_EQ(record.GetPhaseWord1(i), 0);
        EXPECT_EQ(record.GetPhaseWord2(i), 0);
        EXPECT_EQ(record.GetExtraWord(i), 0);
    }
}

TEST(WaveFormRecord_Copy, NullLeavesTheRecordAndFreshRecordIsZero) {
    WaveFormRecord record;
    EXPECT_EQ(record.GetDistance(), 0);
    EXPECT_EQ(record.GetWord44(), 0);
    BYTE reply[WaveFormRecord::kBytes];
    CountingReply(reply);
    record.CopyFrom(reply);
    record.CopyFrom(nullptr);
    BYTE out[WaveFormRecord::kBytes];
    record.CopyTo(out);
    EXPECT_EQ(memcmp(out, reply, sizeof(reply)), 0);
}

TEST(WaveFormRecord_Flags, TroubleBitsAndChannel) {
    struct Case {
        BYTE flags;
        int bits[6];
    };
    const Case cases[] = {
        {0x1E, {0, 1, 1, 1, 1, 0}},
        {0x01, {1, 0, 0, 0, 0, 0}},
        {0x20, {0, 0, 0, 0, 0, 1}},
        {0xC8, {0, 0, 0, 1, 0, 0}},
    };
    for (const Case& c : cases) {
        BYTE reply[WaveFormRecord::kBytes] = {};
        reply[1] = c.flags;
        WaveFormRecord record;
        record.CopyFrom(reply);
        const int got[6] = {record.GetFlagBit0(), record.GetFlagBit1(), record.GetFlagBit2(),
                            record.GetFlagBit3(), record.GetFlagBit4(), record.GetFlagBit5()};
        for (int b = 0; b < 6; ++b) EXPECT_EQ(got[b], c.bits[b]) << "flags " << int(c.flags) << " bit " << b;
    }
}

// The device fills the record while the dialog copies it: a copy holds one report.
TEST(WaveFormRecord_Threads, CopyNeverMixesTwoReports) {
    BYTE a[WaveFormRecord::kBytes];
    BYTE b[WaveFormRecord::kBytes];
    memset(a, 0x11, sizeof(a));
    memset(b, 0xEE, sizeof(b));
    WaveFormRecord record;
    record.CopyFrom(a);
    std::atomic<bool> done(false);
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i) record.CopyFrom((i & 1) ? b : a);
        done = true;
    });
    int mixed = 0;
    int reads = 0;
    while (!done || reads < 1000) {
        BYTE out[WaveFormRecord::kBytes];
        record.CopyTo(out);
        if (memcmp(out, a, sizeof(out)) != 0 && memcmp(out, b, sizeof(out)) != 0) ++mixed;
        ++reads;
    }
    writer.join();
    EXPECT_EQ(mixed, 0);
}
