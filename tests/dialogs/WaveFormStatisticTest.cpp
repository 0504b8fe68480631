#include "dialogs/WaveFormStatistic.h"

#include "dialogs/WaveFormSample.h"
#include "tests/dialogs/WaveFormRecords.h"

#include <gtest/gtest.h>

TEST(WaveFormStatisticTest, AverageCoversTheLastFiftyAndExtremesEverySample) {
    WaveFormStatistic s;
    s.AddAveraged(10);
    s.AddAveraged(20);
    s.AddAveraged(31);
    EXPECT_EQ(s.GetAverage(), 20);  // 61 / 3
    EXPECT_EQ(s.GetMaximum(), 31);
    EXPECT_EQ(s.GetMinimum(), 10);

    WaveFormStatistic ring;
    for (WORD v = 1; v <= 51; ++v) ring.AddAveraged(v);
    EXPECT_EQ(ring.GetAverage(), 26);  // 2..51 sum to 1325, / 50
    EXPECT_EQ(ring.GetMaximum(), 51);
    EXPECT_EQ(ring.GetMinimum(), 1);  // the first sample left the ring, not the minimum
    ring.AddAveraged(1000);           // 3..51 and 1000: 2323 / 50
    EXPECT_EQ(ring.GetAverage(), 46);
}

TEST(WaveFormStatisticTest, ClearForgetsSamplesButKeepsTheCurrentValue) {
    WaveFormStatistic s;
    for (int i = 0; i < 60; ++i) s.AddAveraged(500);
    s.SetCurrent(77);
    s.Clear();
    s.AddAveraged(8);
    EXPECT_EQ(s.GetAverage(), 8);
    EXPECT_EQ(s.GetMaximum(), 8);
    EXPECT_EQ(s.GetMinimum(), 8);
    EXPECT_EQ(s.GetCurrent(), 77);
}

TEST(WaveFormStatisticTest, PeaksCountRunsOfThirty) {
    WaveFormStatistic once, runs;
    for (int i = 0; i < 30; ++i) {
        EXPECT_FALSE(once.AddPeak(9)) << i;
        EXPECT_FALSE(runs.AddPeakInRuns(9)) << i;
    }
    // The 31st sample completes the run; in runs the next one starts anew.
    EXPECT_TRUE(once.AddPeak(200));
    EXPECT_TRUE(runs.AddPeakInRuns(200));
    EXPECT_EQ(runs.GetMaximum(), 200);
    once.AddPeak(7);
    runs.AddPeakInRuns(7);
    EXPECT_EQ(once.GetMaximum(), 200);
    EXPECT_EQ(once.GetMinimum(), 7);
    EXPECT_EQ(runs.GetMaximum(), 7);
    EXPECT_EQ(runs.GetMinimum(), 7);
    EXPECT_EQ(once.GetCount(), 32);
    EXPECT_EQ(runs.GetCount(), 1);
}

TEST(WaveFormSampleTest, LevelAndAgcInMillivolts) {
    const struct {
        WORD raw;
        int level, agc;
    } cases[] = {
        {0, 0, 0},
        {1, 0, 3},
        {1406, 302, 4531},    // sqrt 31.99 -> 31; 1406 * 3300 / 1024 = 4531.1
        {1407, 312, 4534},    // sqrt 32.008 -> 32 -> 312.5
        {1024, 263, 3300},    // sqrt 27.3 -> 27 -> 263.7
        {65535, 2128, 211196},  // sqrt 218.45 -> 218 -> 2128.9; 211196.8
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WaveFormSample::LevelMillivolts(c.raw), c.level) << c.raw;
        EXPECT_EQ(WaveFormSample::AgcMillivolts(c.raw), c.agc) << c.raw;
    }
}

TEST(WaveFormSampleTest, ReadsOneReportAndAcceptsDistancesFromTwentyWithAnEcho) {
    WaveFormRecord record;
    TestReport{0x1F, 20, 600, 300, 0xAB, 0x12, 0xCD, 0x34}.StoreIn(&record);
    WaveFormSample sample(record);
    EXPECT_EQ(sample.GetChannel(), 1);
    EXPECT_EQ(sample.GetFmax(), 0xAB);
    EXPECT_EQ(sample.GetFmin(), 0x12);
    EXPECT_EQ(sample.GetBmax(), 0xCD);
    EXPECT_EQ(sample.GetBmin(), 0x34);
    EXPECT_EQ(sample.GetLevel(), 600);
    EXPECT_EQ(sample.GetAgc(), 300);
    EXPECT_TRUE(sample.IsDistanceValid());
    const struct {
        WORD distance;
        BOOL valid;
    } distances[] = {{19, FALSE}, {20, TRUE}, {0x7FFF, TRUE}, {0x8014, FALSE}, {0xF000, FALSE}};
    for (const auto& d : distances) {
        TestReport{0, d.distance, 1, 1, 0, 0, 0, 0}.StoreIn(&record);
        EXPECT_EQ(WaveFormSample(record).IsDistanceValid(), d.valid) << d.distance;
    }
}
