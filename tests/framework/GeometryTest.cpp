#include "framework/Geometry.h"

#include <gtest/gtest.h>

TEST(Geometry_Point, FromLParamSignExtends) {
    struct Case {
        LPARAM lParam;
        LONG x, y;
    } cases[] = {
        {static_cast<LPARAM>(0xFFFF0005), 5, -1},
        {static_cast<LPARAM>(0x00078000), -32768, 7},
        {static_cast<LPARAM>(0x7FFF0000), 0, 32767},
    };
    for (const Case& c : cases) {
        POINT p = {99, 99};
        PointFromLParam(&p, c.lParam);
        EXPECT_EQ(p.x, c.x) << std::hex << c.lParam;
        EXPECT_EQ(p.y, c.y) << std::hex << c.lParam;
    }
}

TEST(Geometry_Point, PointsFromPointCutsTo16Bits) {
    POINT p = {0x12345, -70000};
    POINTS s;
    PointsFromPoint(&s, &p);
    EXPECT_EQ(s.x, 0x2345);
    EXPECT_EQ(s.y, static_cast<short>(0xEE90));
}

TEST(Geometry_Sign, ZeroCountsAsPositive) {
    EXPECT_EQ(Sign(0), 1);
    EXPECT_EQ(Sign(-1), -1);
    EXPECT_EQ(Sign(5), 1);
    EXPECT_EQ(Sign(-2147483647 - 1), -1);
}

TEST(Geometry_Rect, WidthAndHeight) {
    RECT r = {-10, 5, 30, 2};
    EXPECT_EQ(RectWidth(&r), 40);
    EXPECT_EQ(RectHeight(&r), -3);
}
