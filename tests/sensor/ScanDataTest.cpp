#include "sensor/ScanData.h"

#include <gtest/gtest.h>

TEST(ScanData_Steps, FreshScanHasNoEchoEverywhere) {
    ScanData scan;
    for (int k = 0; k < ScanData::kStepCount; ++k) ASSERT_EQ(scan.GetStep(static_cast<WORD>(k)), 0xFFFF) << k;
}

TEST(ScanData_Steps, StepsOutsideTheScanAreIgnored) {
    ScanData scan;
    scan.SetStep(768, 1234);
    scan.SetStep(769, 42);
    scan.SetStep(0xFFFF, 42);
    EXPECT_EQ(scan.GetStep(768), 1234);
    EXPECT_EQ(scan.GetStep(769), 0xFFFF);
    EXPECT_EQ(scan.GetStep(0xFFFF), 0xFFFF);
    EXPECT_EQ(scan.GetStep(0), 0xFFFF);
}

TEST(ScanData_Copy, CopiesAllSteps) {
    ScanData scan;
    for (int k = 0; k < ScanData::kStepCount; ++k) scan.SetStep(static_cast<WORD>(k), static_cast<WORD>(k * 3));
    ScanData copy(scan);
    ScanData assigned;
    assigned = scan;
    for (int k = 0; k < ScanData::kStepCount; ++k) {
        ASSERT_EQ(copy.GetStep(static_cast<WORD>(k)), k * 3);
        ASSERT_EQ(assigned.GetStep(static_cast<WORD>(k)), k * 3);
    }
}
