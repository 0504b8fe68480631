#include <gtest/gtest.h>

#include "sensor/BoundaryTable.h"
#include "sensor/DetectionArea.h"

namespace {

typedef BoundaryTable::Point Point;

// Step k looks along k * 360/1024 - 45 degrees: 128 is +x, 384 is +y.
TEST(BoundaryTableTest, StepOf_IsTheStepJustPastTheDirection) {
    struct Case {
        int x, y, step;
    };
    const Case cases[] = {
        {3000, 0, 129},      // 0 degrees: 0 + 1 + 128
        {1000, 500, 204},    // 26.57 degrees: trunc(75.56 + 1) + 128
        {500, -1000, -51},   // -63.43 degrees: trunc(-180.44 + 1) + 128
        {-1000, -500, 717},  // -153.43 degrees: trunc(-436.44 + 1) + 1152
    };
    for (const Case& c : cases) EXPECT_EQ(c.step, BoundaryTable::StepOf(c.x, c.y)) << c.x << "," << c.y;
}

// A line y = 20000 from step 224 to 545 lies beyond 10 m at every step.
TEST(BoundaryTableTest, Build_FarEdgeIsHeldAtTenMetres) {
    const Point distant[7] = {{30000, 20000}, {-30000, 20000}};
    BoundaryTable table;
    table.Build(distant, 0, 0, DetectionArea::kShapeFan);
    for (int k = 0; k < BoundaryTable::kSteps; ++k)
        EXPECT_EQ(k >= 224 && k <= 545 ? 10000 : 0, table.Get(k, 0)) << k;
    EXPECT_EQ(0, table.Get(-1, 0));
    EXPECT_EQ(0, table.Get(769, 0));
    EXPECT_EQ(0, table.Get(384, 3));
}

// From (1000, -10) at step 128 to (-1000, -10) at step 643 the edge turns
// more than half a circle: only its end step is tabulated. At 181.05 degrees
// 20000 / trunc(2000 * 0.01836) = 20000 / 36 = 555.
TEST(BoundaryTableTest, Build_EdgeTurningBehindTheSensorKeepsOnlyItsEndStep) {
    const Point behind[7] = {{1000, -10}, {-1000, -10}};
    BoundaryTable table;
    table.Build(behind, 0, 0, DetectionArea::kShapeFan);
    for (int k = 0; k < BoundaryTable::kSteps; ++k) EXPECT_EQ(k == 643 ? 555 : 0, table.Get(k, 0)) << k;
}

// Quadrangle (3000, -1000), (3000, 3000), (-3000, 3000), (-3000, -1000):
// 3000 straight ahead; at step 660 (187.03 degrees) the edge x = -3000 gives
// 12000000 / trunc(4000 * 0.99248) = 12000000 / 3969 = 3023.
TEST(BoundaryTableTest, Build_OutputsThatReachNoFurtherThanOutput1) {
    const Point quadrangle[7] = {{3000, -1000}, {3000, 3000}, {-3000, 3000}, {-3000, -1000}};
    struct Case {
        const char* name;
        int shape;
        short output2;
        int step;
        WORD expected;
    };
    const Case cases[] = {
        {"straight, left of 180 degrees", DetectionArea::kShapeStraight, 1000, 660, 3023},
        {"fan beyond the outline", DetectionArea::kShapeFan, 5000, 384, 3000},
        {"ratio at or beyond the largest |y|", DetectionArea::kShapeRatio, 4000, 384, 3000},
        {"unknown shape", 3, 1000, 384, 0},
    };
    for (const Case& c : cases) {
        BoundaryTable table;
        table.Build(quadrangle, c.output2, c.output2, c.shape);
        EXPECT_EQ(3000, table.Get(384, 0)) << c.name;
        EXPECT_EQ(c.expected, table.Get(c.step, 1)) << c.name;
        EXPECT_EQ(c.expected, table.Get(c.step, 2)) << c.name;
    }
}

}  // namespace
