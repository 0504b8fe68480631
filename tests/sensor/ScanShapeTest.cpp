#include "sensor/ScanShape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "framework/GdiObject.h"
#include "framework/WindowDc.h"
#include "sensor/SensorCaps.h"

namespace {

POINT At(const ScanShape& shape, int i) { return shape.GetPoints()[i]; }

void ExpectPoint(const ScanShape& shape, int i, LONG x, LONG y) {
    POINT p = At(shape, i);
    EXPECT_EQ(p.x, x) << "point " << i;
    EXPECT_EQ(p.y, y) << "point " << i;
}

ScanData Filled(WORD value) {
    ScanData scan;
    for (int k = 0; k < ScanData::kStepCount; ++k) scan.SetStep(static_cast<WORD>(k), value);
    return scan;
}

}  // namespace

TEST(ScanShape_Polygon, NothingIsBuiltWithoutCaps) {
    ScanShape shape;
    shape.BuildPolygon769();
    shape.BuildPolygonCentred60();
    EXPECT_EQ(shape.GetPointCount(), 0);
    SensorCaps caps;
    shape.SetDevice(&caps);
    shape.BuildPolygon769();
    EXPECT_EQ(shape.GetPointCount(), 770);
    shape.Clear();
    shape.SetScan(Filled(1000));
    shape.BuildPolygon769();
    EXPECT_EQ(shape.GetPointCount(), 770);
    EXPECT_EQ(At(shape, 0).x, 21213);  // still the old polygon
}

TEST(ScanShape_Polygon, NoEchoScanLiesOnTheFarCircle) {
    SensorCaps caps;  // no model: -45 degrees, 769 steps
    ScanShape shape;
    shape.SetDevice(&caps);
    shape.BuildPolygon769();  // a fresh scan has no echo anywhere
    ASSERT_EQ(shape.GetPointCount(), 770);
    ExpectPoint(shape, 0, 21213, -21213);
    ExpectPoint(shape, 384, 0, 30000);
    ExpectPoint(shape, 768, -21213, -21213);
    ExpectPoint(shape, 769, 0, 0);
    for (int i = 0; i < 769; ++i) {
        POINT p = At(shape, i);
        double r = std::sqrt(double(p.x) * p.x + double(p.y) * p.y);
        ASSERT_GE(r, 29998.0) << i;
        ASSERT_LE(r, 30000.0) << i;
    }
}

TEST(ScanShape_Polygon, ReturningEchoAddsOneFarPoint) {
    SensorCaps caps;
    ScanShape shape;
    shape.SetDevice(&caps);
    ScanData scan = Filled(1000);
    scan.SetStep(384, 0xF000);  // the smallest no-echo value
    shape.SetScan(scan);
    shape.BuildPolygon769();
    ASSERT_EQ(shape.GetPointCount(), 771);
    // Step 383 at 89.6484375 degrees, step 385 at 90.3515625 degrees.
    ExpectPoint(shape, 383, 6, 999);
    ExpectPoint(shape, 384, 0, 30000);
    ExpectPoint(shape, 385, -184, 29999);
    ExpectPoint(shape, 386, -6, 999);
    ExpectPoint(shape, 770, 0, 0);
}

TEST(ScanShape_Polygon, ZeroDistanceAfterNoEchoAddsNoFarPoint) {
    SensorCaps caps;
    ScanShape shape;
    shape.SetDevice(&caps);
    ScanData scan = Filled(1000);
    scan.SetStep(384, 0xFFFF);
    scan.SetStep(385, 0);
    shape.SetScan(scan);
    shape.BuildPolygon769();
    ASSERT_EQ(shape.GetPointCount(), 770);
    ExpectPoint(shape, 385, 0, 0);
    ExpectPoint(shape, 386, -12, 999);  // step 386 at 90.703125 degrees
}

TEST(ScanShape_Polygon, ShortScanCentredOnStep60IsScaled) {
    SensorCaps caps;
    caps.SetModel(0);
    caps.SetVersionText("1.0.0U");  // 31 steps from 76.5 degrees, 0.9 degrees apart
    ScanShape shape;
    shape.SetDevice(&caps);
    ScanData scan;
    scan.SetStep(45, 8192);  // 5000 mm
    scan.SetStep(75, 1000);  // 610 mm, after no echo
    scan.SetStep(44, 100);   // outside the 31 steps
    scan.SetStep(76, 100);
    shape.SetScan(scan);
    shape.BuildPolygonCentred60();
    ASSERT_EQ(shape.GetPointCount(), 33);
    ExpectPoint(shape, 0, 1167, 4861);
    ExpectPoint(shape, 30, -7003, 29171);
    ExpectPoint(shape, 31, -142, 593);
    ExpectPoint(shape, 32, 0, 0);
    ScanShape twin;
    twin.SetDevice(&caps);
    twin.SetScan(scan);
    twin.BuildPolygonCentred60b();
    ASSERT_EQ(twin.GetPointCount(), 33);
    EXPECT_EQ(memcmp(twin.GetPoints(), shape.GetPoints(), 33 * sizeof(POINT)), 0);
}

namespace {

// A 100 x 100 top-down 32-bit DIB section, white, with the sensor at its
// centre and one pixel per millimetre.
class Canvas {
public:
    Canvas() : m_dc(NULL) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kSize;
        info.bmiHeader.biHeight = -kSize;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_bitmap.Reset(
            CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), NULL, 0));
        SelectObject(m_dc, m_bitmap);
        PatBlt(m_dc, 0, 0, kSize, kSize, WHITENESS);
        SetViewportOrgEx(m_dc, kSize / 2, kSize / 2, NULL);
    }
    bool Ok() const { return m_dc.Valid() && m_bitmap.Valid() && m_bits != nullptr; }
    HDC Dc() const { return m_dc; }
    // 0x00RRGGBB, the DIB's own order.
    DWORD Pixel(int x, int y) const {
        GdiFlush();
        return m_bits[y * kSize + x] & 0xFFFFFF;
    }

    static const int kSize = 100;

private:
    OwnedBitmap m_bitmap;  // declared first: the context lets it go before it is deleted
    MemoryDc m_dc;
    DWORD* m_bits = nullptr;
};

// Pixel positions; in the canvas y grows downwards, so +y (ahead) is below the centre.
const int kAheadX = 50, kAheadY = 80;    // logical (0, 30): inside the scan
const int kBehindX = 50, kBehindY = 20;  // logical (0, -30): outside it

}  // namespace

TEST(ScanShape_Draw, FillsMaskOverWhiteAndDarkenEachOther) {
    SensorCaps caps;
    ScanShape shape;
    shape.SetDevice(&caps);
    shape.BuildPolygon769();
    {
        Canvas canvas;
        ASSERT_TRUE(canvas.Ok());
        EXPECT_EQ(shape.DrawBrush1(canvas.Dc()), 1);
        EXPECT_EQ(canvas.Pixel(kAheadX, kAheadY), 0x999999u);
        EXPECT_EQ(canvas.Pixel(kBehindX, kBehindY), 0xFFFFFFu);
    }
    {
        Canvas canvas;
        shape.DrawBrush2(canvas.Dc());
        EXPECT_EQ(canvas.Pixel(kAheadX, kAheadY), 0x73EBE9u);
        shape.DrawBrush3(canvas.Dc());
        EXPECT_EQ(canvas.Pixel(kAheadX, kAheadY), 0x6363E9u);
        shape.DrawBrush1(canvas.Dc());
        EXPECT_EQ(canvas.Pixel(kAheadX, kAheadY), 0x010189u);
    }
}

TEST(ScanShape_Draw, OutlineRunsFromTheSensorAndBack) {
    SensorCaps caps;
    ScanShape shape;
    shape.SetDevice(&caps);
    shape.BuildPolygon769();
    shape.SetOutlineOnly(1);
    Canvas canvas;
    ASSERT_TRUE(canvas.Ok());
    EXPECT_EQ(shape.DrawBrush2(canvas.Dc()), 1);
    EXPECT_EQ(canvas.Pixel(kAheadX, kAheadY), 0xFFFFFFu);  // not filled
    EXPECT_EQ(canvas.Pixel(70, 30), 0x000000u);  // the edge from the sensor to step 0 at -45 degrees
    EXPECT_EQ(canvas.Pixel(30, 30), 0x000000u);  // the edge back from step 768 at 225 degrees
}

TEST(ScanShape_Draw, ContextGetsItsToolsBack) {
    SensorCaps caps;
    ScanShape shape;
    shape.SetDevice(&caps);
    shape.BuildPolygon769();
    Canvas canvas;
    ASSERT_TRUE(canvas.Ok());
    HGDIOBJ brush = GetCurrentObject(canvas.Dc(), OBJ_BRUSH);
    HGDIOBJ pen = GetCurrentObject(canvas.Dc(), OBJ_PEN);
    SetROP2(canvas.Dc(), R2_XORPEN);
    for (DWORD outline : {0u, 1u}) {
        shape.SetOutlineOnly(outline);
        shape.DrawBrush3(canvas.Dc());
        EXPECT_EQ(GetROP2(canvas.Dc()), R2_XORPEN);
        EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_BRUSH), brush);
        EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PEN), pen);
    }
}
