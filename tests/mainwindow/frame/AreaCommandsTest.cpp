#include "resources/MenuIds.h"
#include "resources/ToolBandIds.h"
#include "sensor/DetectionArea.h"
#include "tests/mainwindow/frame/CommandBench.h"

#include <gtest/gtest.h>

namespace {

class AreaCommands : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(static_cast<HWND>(NULL), bench.Start()); }

    CommandBench bench;
};

}  // namespace

// Area choice by menu, key and band; an area already current still
// refreshes; Next and Previous stop at either end without a refresh.
TEST_F(AreaCommands, AreaChoiceCommands) {
    const struct {
        int before;
        WORD id;
        int after;
        int refreshes;
    } cases[] = {
        {0, ID_AREA_SELECT1 + 4, 4, 1}, {4, ID_AREA_SELECT7, 6, 1}, {3, ID_AREA_SELECT1 + 3, 3, 1},
        {0, ID_AREA_NEXT, 1, 1},        {5, ID_AREA_NEXT, 6, 1},    {6, ID_AREA_NEXT, 6, 0},
        {6, ID_AREA_PREVIOUS, 5, 1},    {1, ID_AREA_PREVIOUS, 0, 1}, {0, ID_AREA_PREVIOUS, 0, 0},
        // Alt+8 .. Alt+F name areas the sensor does not have.
        {2, ID_AREA_KEY_FIRST, 2, 0},   {2, ID_AREA_KEY_FIRST + 7, 2, 0},
    };
    for (const auto& c : cases) {
        bench.areas.SelectArea(static_cast<BYTE>(c.before));
        bench.frame.areaRefreshes = 0;
        bench.Command(c.id);
        EXPECT_EQ(c.after, bench.areas.GetCurrentIndex()) << c.id << " from " << c.before;
        EXPECT_EQ(c.refreshes, bench.frame.areaRefreshes) << c.id << " from " << c.before;
    }
}

// F10 starts placing the outline by clicks; the second F10 commits it.
TEST_F(AreaCommands, OutlinePlacementStartsAndEnds) {
    bench.Command(ID_VIEW_MOVE);
    bench.Command(ID_VIEW_OUTLINE_PLACEMENT);
    EXPECT_EQ(3, bench.view.GetMode());
    bench.Command(ID_VIEW_OUTLINE_PLACEMENT);
    EXPECT_EQ(1, bench.view.GetMode());
}

// The numerical input's mode boxes change the current area and report it,
// bit by bit; the mirror reflection box never sends.
TEST_F(AreaCommands, ModeBoxesOfTheNumericalInputChangeTheArea) {
    bench.areas.SelectArea(1);
    bench.areas.SetFileModified(0);
    const struct {
        WORD id;
        BYTE twoScan;
        BYTE halfHysteresis;
    } cases[] = {
        {ID_AREA_TWO_SCAN0, 1, 0}, {ID_AREA_TWO_SCAN2, 5, 0},      {ID_AREA_TWO_SCAN1, 7, 0},
        {ID_AREA_TWO_SCAN0, 6, 0}, {ID_AREA_HALF_HYSTERESIS, 6, 1}, {ID_AREA_HALF_HYSTERESIS, 6, 0},
        {ID_AREA_MIRROR, 6, 0},    {ID_AREA_MIRROR + 1, 6, 0},
    };
    int refreshes = 0;
    for (const auto& c : cases) {
        bench.Command(c.id);
        if (c.id != ID_AREA_MIRROR && c.id != ID_AREA_MIRROR + 1) ++refreshes;
        EXPECT_EQ(c.twoScan, bench.areas.Get2ScanMode()) << c.id;
        EXPECT_EQ(c.halfHysteresis, bench.areas.GetCurrentArea()->GetHalfHysteresis()) << c.id;
        EXPECT_EQ(refreshes, bench.frame.areaRefreshes) << c.id;
    }
    EXPECT_EQ(1u, bench.areas.IsFileModified());
    bench.areas.SelectArea(0);
    EXPECT_EQ(0, bench.areas.Get2ScanMode());
}
