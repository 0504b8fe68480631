#include "mainwindow/view/ViewMapping.h"

#include "framework/IniFile.h"
#include "tests/framework/TestSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The default mapping on a 1920 x 1080 screen after the first WM_SIZE of an
// 800 x 600 view: 37500 x 22500 mm over the desktop, the visible top-left at
// (-5000, 5000) and the sensor 256 pixels right and 240 down, as the default
// 512 x 384 view showed it.
ViewMapping FirstSized() {
    ViewMapping m;
    m.SetDesktopSize(1920, 1080);
    m.SetClientExtent(800, 600);
    EXPECT_EQ(1, m.SetMapping(0, 0, 800, 600));
    return m;
}

POINT Pt(int x, int y) {
    POINT p = {x, y};
    return p;
}

// Millimetres per pixel at 37500 mm over 1920 pixels is about 19.5; one pixel
// of rounding either way is allowed.
void ExpectNear(POINT expected, POINT actual, int tolerance, const char* what) {
    EXPECT_LE(std::abs(expected.x - actual.x), tolerance) << what << " x " << actual.x << " vs " << expected.x;
    EXPECT_LE(std::abs(expected.y - actual.y), tolerance) << what << " y " << actual.y << " vs " << expected.y;
}

}  // namespace

TEST(ViewMapping, FirstSizeKeepsTheDefaultScaleOnAFullHdScreen) {
    ViewMapping m = FirstSized();
    EXPECT_EQ(37500, m.WindowExtent().cx);
    EXPECT_EQ(-22500, m.WindowExtent().cy);
    EXPECT_EQ(1920, m.ViewportExtent().cx);
    EXPECT_EQ(1080, m.ViewportExtent().cy);
    EXPECT_EQ(-5000, m.ToLogical(Pt(0, 0)).x);
    EXPECT_EQ(5000, m.ToLogical(Pt(0, 0)).y);
    EXPECT_EQ(256, m.ToDevice(Pt(0, 0)).x);
    EXPECT_EQ(240, m.ToDevice(Pt(0, 0)).y);
    // The whole desktop-wide extent stays inside +-20000 mm: the window origin
    // moved to -17500 and the anchor carries the other 12500 mm.
    EXPECT_EQ(-17500, m.WindowOrigin().x);
    EXPECT_EQ(-640, m.ViewportOrigin().x);
}

TEST(ViewMapping, ZoomLimitsKeepTheFixedPointOnItsPixel) {
    const struct {
        const char* name;
        int x, y, cx, cy;  // rectangles centred on the client's centre (400, 300)
        int extent, extentY;  // the y extent follows the desktop's aspect, halves rounded away from 0
    } cases[] = {
        {"in", 392, 294, 16, 12, 3000, -1688},
        {"out", -4000, -3000, 8800, 6600, 40000, -22500},
    };
    for (const auto& c : cases) {
        ViewMapping m = FirstSized();
        const POINT centre = m.ToLogical(Pt(400, 300));
        m.SetMapping(c.x, c.y, c.cx, c.cy);
        EXPECT_EQ(c.extent, m.WindowExtent().cx) << c.name;
        EXPECT_EQ(c.extentY, m.WindowExtent().cy) << c.name;
        ExpectNear(Pt(400, 300), m.ToDevice(centre), 1, c.name);
    }
}

TEST(ViewMapping, PansStopAtTheTwentyMetreLimits) {
    const struct {
        const char* name;
        int dx, dy;
        POINT device;  // a pixel that must show the limit
        POINT expected;
    } cases[] = {
        {"left", -5000, 0, {0, 0}, {-20000, 0}},
        {"right", 5000, 0, {800, 0}, {20000, 0}},
        {"up", 0, -5000, {0, 0}, {0, 20000}},
        {"down", 0, 5000, {0, 600}, {0, -20000}},
    };
    for (const auto& c : cases) {
        ViewMapping m = FirstSized();
        m.SetMapping(c.dx, c.dy, 800, 600);
        POINT shown = m.ToLogical(c.device);
        if (c.dx != 0) {
            EXPECT_NEAR(c.expected.x, shown.x, 20) << c.name;
        }
        if (c.dy != 0) {
            EXPECT_NEAR(c.expected.y, shown.y, 20) << c.name;
        }
    }
}

TEST(ViewMapping, SmallPanMovesThePictureByThePixelsAsked) {
    ViewMapping m = FirstSized();
    const POINT before = m.ToLogical(Pt(137, 71));
    m.SetMapping(37, -29, 800, 600);
    ExpectNear(before, m.ToLogical(Pt(100, 100)), 20, "shifted pixel");
    EXPECT_EQ(37500, m.WindowExtent().cx);
}

TEST(ViewMapping, ZeroSizesChangeNothing) {
    ViewMapping m = FirstSized();
    EXPECT_EQ(0, m.SetMapping(0, 0, 0, 600));
    m.SetClientExtent(0, 0);
    EXPECT_EQ(0, m.SetMapping(0, 0, 800, 600));
    EXPECT_EQ(37500, m.WindowExtent().cx);
}

TEST(ViewMapping, LoadLimitsEverySavedValue) {
    const struct {
        const char* key;
        const char* value;
        int expected;
        int (*read)(const ViewMapping&);
    } cases[] = {
        {"WindowExtentCX", "100", 3000, [](const ViewMapping& m) { return static_cast<int>(m.WindowExtent().cx); }},
        {"WindowExtentCX", "99999", 40000, [](const ViewMapping& m) { return static_cast<int>(m.WindowExtent().cx); }},
        {"WindowExtentCY", "5000", -5000, [](const ViewMapping& m) { return static_cast<int>(m.WindowExtent().cy); }},
        {"WindowExtentCY", "0", -8000, [](const ViewMapping& m) { return static_cast<int>(m.WindowExtent().cy); }},
        {"WindowExtentCY", "-99999", -40000, [](const ViewMapping& m) { return static_cast<int>(m.WindowExtent().cy); }},
        {"WindowOriginX", "-30000", -20000, [](const ViewMapping& m) { return static_cast<int>(m.WindowOrigin().x); }},
        {"WindowOriginY", "25000", 20000, [](const ViewMapping& m) { return static_cast<int>(m.WindowOrigin().y); }},
        {"ViewportOriginY", "-77777", -20000, [](const ViewMapping& m) { return static_cast<int>(m.ViewportOrigin().y); }},
        {"ViewportExtentCX", "0", 1, [](const ViewMapping& m) { return static_cast<int>(m.ViewportExtent().cx); }},
        {"ClientExtentCY", "-5", 1, [](const ViewMapping& m) { return static_cast<int>(m.ClientExtent().cy); }},
    };
    for (const auto& c : cases) {
        TestSettings file;
        IniFile settings;
        settings.WriteString(ViewMapping::kSection, c.key, c.value);
        ViewMapping m;
        m.Load(settings);
        EXPECT_EQ(c.expected, c.read(m)) << c.key << "=" << c.value;
    }
}

// The anchor is not saved: it follows from the saved origins, so the first
// WM_SIZE after a restart shows the same top-left point at the same scale.
TEST(ViewMapping, RestartShowsTheSameView) {
    TestSettings file;
    IniFile settings;
    ViewMapping before = FirstSized();
    before.SetMapping(-300, 450, 800, 600);  // panned, so the anchor differs from the origin
    ASSERT_NE(before.Anchor().x, before.WindowOrigin().x);
    before.Save(settings);

    ViewMapping after;
    after.Load(settings);
    after.SetDesktopSize(1920, 1080);
    after.SetClientExtent(800, 600);
    after.SetMapping(0, 0, 800, 600);
    EXPECT_EQ(before.WindowExtent().cx, after.WindowExtent().cx);
    EXPECT_EQ(before.WindowExtent().cy, after.WindowExtent().cy);
    ExpectNear(before.ToLogical(Pt(0, 0)), after.ToLogical(Pt(0, 0)), 12, "top-left");
    ExpectNear(before.ToDevice(Pt(0, 0)), after.ToDevice(Pt(0, 0)), 1, "sensor");
}
