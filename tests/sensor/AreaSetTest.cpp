#include "sensor/AreaSet.h"

#include <gtest/gtest.h>

#include <cstring>

#include "framework/ErrorCodes.h"
#include "sensor/SensorCaps.h"
#include "tests/TestCanvas.h"

namespace {

DWORD Pack(int x, int y) {
    return static_cast<DWORD>(static_cast<WORD>(x)) | static_cast<DWORD>(static_cast<WORD>(y)) << 16;
}

struct Point {
    int x, y;
};

// Loads the current area with up to seven points (the rest at the origin).
void LoadPoints(AreaSet& set, std::initializer_list<Point> points, int output2, int output3, int shape) {
    BYTE record[34] = {};
    int i = 0;
    for (const Point& p : points) {
        record[4 * i] = static_cast<BYTE>(p.x & 0xFF);
        record[4 * i + 1] = static_cast<BYTE>((p.x >> 8) & 0xFF);
        record[4 * i + 2] = static_cast<BYTE>(p.y & 0xFF);
        record[4 * i + 3] = static_cast<BYTE>((p.y >> 8) & 0xFF);
        ++i;
    }
    record[28] = static_cast<BYTE>(output2 & 0xFF);
    record[29] = static_cast<BYTE>((output2 >> 8) & 0xFF);
    record[30] = static_cast<BYTE>(output3 & 0xFF);
    record[31] = static_cast<BYTE>((output3 >> 8) & 0xFF);
    record[32] = static_cast<BYTE>(shape << 3);
    set.SetCurrentRaw(record);
}

class AreaSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_set.SetDevice(&m_caps);
        ASSERT_TRUE(m_set.Init());
    }
    // A triangle ahead of the sensor; the other four points at the origin.
    void LoadTriangle(int output2, int shape) {
        LoadPoints(m_set, {{-1000, 1000}, {0, 2000}, {1000, 1000}}, output2, 0, shape);
    }
    // A wide quadrangle reaching below the x axis on both sides.
    void LoadQuadrangle(int output2, int shape) {
        LoadPoints(m_set, {{3000, -1000}, {3000, 3000}, {-3000, 3000}, {-3000, -1000}}, output2, 0, shape);
    }
    WORD Boundary(int step, int column) const { return m_set.GetBoundary(0, step, column); }

    SensorCaps m_caps;  // no sensor yet: every shape is selectable
    AreaSet m_set;
};

TEST_F(AreaSetTest, Init_FailsWithoutSensorCaps) {
    AreaSet set;
    EXPECT_EQ(0, set.Init());
    EXPECT_EQ(static_cast<DWORD>(kErrorMissingCollaborator), GetLastError());
}

TEST_F(AreaSetTest, SetPoint_LimitsCoordinatesAndMarksBothChanged) {
    m_set.SetPoint(0, Pack(12000, -32768));
    EXPECT_EQ(Pack(10000, -10000), m_set.GetPoint(0)) << "at -pi/4 it sorts first";
    EXPECT_EQ(1u, m_set.IsFileModified());
    EXPECT_EQ(1u, m_set.IsSensorModified());
    m_set.SetOutput2(-20000);
    EXPECT_EQ(-10000, m_set.GetOutput3()) << "the smaller distance is output 3";
}

TEST_F(AreaSetTest, SelectArea_IgnoresIndexSevenAndAbove) {
    m_set.SelectArea(6);
    m_set.SelectArea(7);
    EXPECT_EQ(6, m_set.GetCurrentIndex());
}

TEST_F(AreaSetTest, AllRaw_RoundTripReproducesSevenAreas) {
    for (BYTE a = 0; a < 7; ++a) {
        m_set.SelectArea(a);
        m_set.SetPoint(0, Pack(100 * a + 50, 900));
        m_set.SetOutput2(static_cast<short>(700 + a));
        m_set.Set2ScanMode(a);
    }
    BYTE table[AreaSet::kTableBytes];
    m_set.GetAllRaw(table);
    AreaSet other;
    other.SetAllFromRaw(table);
    BYTE back[AreaSet::kTableBytes];
    other.GetAllRaw(back);
    EXPECT_EQ(0, std::memcmp(table, back, sizeof(table)));
    EXPECT_EQ(1u, other.IsFileModified());
    EXPECT_EQ(0u, other.IsSensorModified());
    EXPECT_EQ(6, table[34 * 6 + 32]);
}

TEST_F(AreaSetTest, ResetAll_ClearsAreasAndFlags) {
    m_set.SelectArea(3);
    m_set.SetPoint(0, Pack(5, 5));
    m_set.ResetAll();
    BYTE table[AreaSet::kTableBytes];
    m_set.GetAllRaw(table);
    EXPECT_EQ(std::string(AreaSet::kTableBytes, '\0'), std::string(reinterpret_cast<char*>(table), sizeof(table)));
    EXPECT_EQ(0, m_set.GetCurrentIndex());
    EXPECT_EQ(0u, m_set.IsFileModified());
    EXPECT_EQ(0u, m_set.IsSensorModified());
}

TEST_F(AreaSetTest, EffectivePartitionShape_OwnShapeWhereSelectable) {
    m_set.SetPartitionShape(2);
    EXPECT_EQ(2, m_set.GetEffectivePartitionShape());
    m_set.ClearDevice();
    EXPECT_EQ(0, m_set.GetEffectivePartitionShape());
}

// ---- Boundary table, worked by hand ----
// Triangle: the edge (1000, 1000)-(0, 2000) lies on x + y = 2000 and spans
// steps 257 to 385; (0, 2000)-(-1000, 1000) lies on y - x = 2000 and spans
// 385 to 513. Step k looks along (k - 128) * pi / 512.

TEST_F(AreaSetTest, BuildStepTable_TriangleOutput1) {
    LoadTriangle(0, 1);
    m_set.BuildStepTable();
    EXPECT_EQ(0, Boundary(256, 0));
    EXPECT_NE(0, Boundary(257, 0));
    EXPECT_EQ(1531, Boundary(320, 0));  // 67.5 degrees: 2000000 / trunc(1000 sin + 1000 cos) = 2000000 / 1306
    EXPECT_EQ(2000, Boundary(384, 0));  // straight ahead: (0, 2000)
    EXPECT_EQ(1531, Boundary(448, 0));  // 112.5 degrees, mirrored
    EXPECT_NE(0, Boundary(513, 0));
    EXPECT_EQ(0, Boundary(514, 0));
    for (int k = 0; k < 769; ++k) {
        if (k < 257 || k > 513) EXPECT_EQ(0, Boundary(k, 0)) << k;
        else EXPECT_NE(0, Boundary(k, 0)) << k;
    }
}

TEST_F(AreaSetTest, BuildStepTable_FanOutputWithinBoundary) {
    LoadTriangle(500, 1);
    m_set.BuildStepTable();
    for (int k = 0; k < 769; ++k) EXPECT_EQ(Boundary(k, 0) != 0 ? 500 : 0, Boundary(k, 1)) << k;
}

// Quadrangle: the right edge x = 3000 covers step 100 (-9.84 degrees):
// 12000000 / trunc(4000 cos) = 12000000 / 3941 = 3044; the top edge y = 3000
// gives 3000 at step 384.
TEST_F(AreaSetTest, BuildStepTable_StraightOutput) {
    LoadQuadrangle(1000, 0);
    m_set.BuildStepTable();
    EXPECT_EQ(3044, Boundary(100, 0));
    EXPECT_EQ(3044, Boundary(100, 1)) << "below 0 degrees output 2 keeps output 1's";
    EXPECT_EQ(3000, Boundary(384, 0));
    EXPECT_EQ(1000, Boundary(384, 1));
    EXPECT_EQ(1414, Boundary(256, 1)) << "45 degrees: 1000 / sin";
}

TEST_F(AreaSetTest, BuildStepTable_RatioOutput) {
    LoadQuadrangle(1500, 2);
    m_set.BuildStepTable();
    EXPECT_EQ(1500, Boundary(384, 1));  // 3000 * 1500 / 3000
    EXPECT_EQ(1522, Boundary(100, 1));  // 3044 * 1500 / 3000
}

TEST_F(AreaSetTest, BuildStepTable_NegativeRatioOutputHasNoZone) {
    LoadQuadrangle(-1500, 2);
    m_set.BuildStepTable();
    EXPECT_EQ(3000, Boundary(384, 0));
    EXPECT_EQ(0, Boundary(384, 1)) << "not wrapped to 16 bits";
}

TEST_F(AreaSetTest, BuildStepTable_ImageRows) {
    LoadTriangle(0, 1);
    const WORD* image = m_set.GetImageTable();
    m_set.BuildStepTable();
    EXPECT_EQ(2000, image[1 * 3 + 0]) << "row 1: the largest boundary";
    EXPECT_EQ(0, image[2 * 3 + 0]);
    EXPECT_EQ(2000, image[385 * 3 + 0]) << "row k + 1 holds step k";
    EXPECT_EQ(Boundary(257, 0), image[258 * 3 + 0]);
    EXPECT_GT(image[0], 1400);
    EXPECT_LT(image[0], 2000);
}

// ---- Zones drawn on a memory bitmap, 50 mm per pixel ----
// Rectangle x -1000..1000, y 0..3000: output 3 up to y 1000, output 2 up to
// y 2000. R2_MASKPEN gives white AND brush: the brush colour itself.

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kYellow = RGB(0xFF, 0xFF, 0x66);
const COLORREF kOrange = RGB(0xFF, 0xCC, 0x66);
const COLORREF kRed = RGB(0xFF, 0x66, 0x66);

class AreaSetDrawTest : public AreaSetTest {
protected:
    void SetUp() override {
        AreaSetTest::SetUp();
        m_canvas.SetMillimetres(50);
    }
    void LoadRectangle(int shape) {
        LoadPoints(m_set, {{1000, 0}, {1000, 3000}, {-1000, 3000}, {-1000, 0}}, 2000, 1000, shape);
    }
    void BuildAndDraw() {
        m_set.BuildRegions();
        m_set.Draw(m_canvas.Dc());
    }
    TestCanvas m_canvas;
};

TEST_F(AreaSetDrawTest, Draw_StraightZonesInTheirColours) {
    LoadRectangle(0);
    SetROP2(m_canvas.Dc(), R2_XORPEN);
    BuildAndDraw();
    EXPECT_EQ(R2_XORPEN, GetROP2(m_canvas.Dc()));
    EXPECT_EQ(kRed, m_canvas.Pixel(0, 500));
    EXPECT_EQ(kOrange, m_canvas.Pixel(0, 1500));
    EXPECT_EQ(kYellow, m_canvas.Pixel(500, 2500));
    EXPECT_EQ(kWhite, m_canvas.Pixel(0, 3500));
    EXPECT_EQ(kWhite, m_canvas.Pixel(1500, 500));
    EXPECT_EQ(kWhite, m_canvas.Pixel(0, -500));
}

TEST_F(AreaSetDrawTest, Draw_MasksWhatLiesBelow) {
    LoadRectangle(0);
    m_canvas.Fill(RGB(0x80, 0xFF, 0xFF));
    BuildAndDraw();
    EXPECT_EQ(RGB(0x80, 0xFF, 0x66), m_canvas.Pixel(0, 2500));
    EXPECT_EQ(RGB(0x80, 0x66, 0x66), m_canvas.Pixel(0, 500));
}

TEST_F(AreaSetDrawTest, Draw_FanZonesAreCircles) {
    LoadRectangle(1);
    BuildAndDraw();
    EXPECT_EQ(kRed, m_canvas.Pixel(0, 500));
    EXPECT_EQ(kOrange, m_canvas.Pixel(800, 1000)) << "1281 mm from the sensor";
    EXPECT_EQ(kYellow, m_canvas.Pixel(900, 2000));
}

TEST_F(AreaSetDrawTest, Draw_Output3WithFunctionIsHatched) {
    m_caps.SetOutput3Function(2);
    LoadRectangle(0);
    BuildAndDraw();
    const COLORREF hatchOnOrange = RGB(0xFF, 0x66 & 0xCC, 0x66);
    int hatched = 0, orange = 0;
    for (int x = -900; x <= 900; x += 50) {
        for (int y = 100; y <= 900; y += 50) {
            COLORREF c = m_canvas.Pixel(x, y);
            hatched += c == hatchOnOrange;
            orange += c == kOrange;
        }
    }
    EXPECT_GT(hatched, 0);
    EXPECT_GT(orange, 0);
}

TEST_F(AreaSetDrawTest, Draw_MirrorModeCrossHatchesTheArea) {
    LoadRectangle(0);
    m_set.SetMirrorReflectionMode(1);
    BuildAndDraw();
    const COLORREF crossedYellow = RGB(0xDF, 0xDF, 0x66 & 0xDF);
    int crossed = 0;
    for (int x = -900; x <= 900; x += 50) {
        for (int y = 2100; y <= 2900; y += 50) crossed += m_canvas.Pixel(x, y) == crossedYellow;
    }
    EXPECT_GT(crossed, 0);
}

TEST_F(AreaSetDrawTest, Draw_UnknownShapeHasNoOutput2And3Zones) {
    LoadRectangle(3);
    EXPECT_EQ(3, m_set.GetPartitionShape());
    BuildAndDraw();
    EXPECT_EQ(kYellow, m_canvas.Pixel(0, 500));
    EXPECT_EQ(kYellow, m_canvas.Pixel(0, 1500));
    EXPECT_EQ(kYellow, m_canvas.Pixel(0, 2500));
}

TEST_F(AreaSetDrawTest, Draw_RatioZonesScaleTheOutline) {
    LoadRectangle(2);  // ratios 2000 / 3000 and 1000 / 3000 of the outline
    BuildAndDraw();
    EXPECT_EQ(kRed, m_canvas.Pixel(0, 500));
    EXPECT_EQ(kOrange, m_canvas.Pixel(0, 1500));
    EXPECT_EQ(kYellow, m_canvas.Pixel(0, 2500));
    EXPECT_EQ(kYellow, m_canvas.Pixel(800, 1500)) << "beyond x 667 of the scaled outline";
}

TEST_F(AreaSetDrawTest, Draw_FlatAreaWithRatioShapeDrawsNothing) {
    LoadPoints(m_set, {{1000, 0}, {-1000, 0}}, 2000, 1000, 2);
    EXPECT_EQ(0, m_set.MaxAbsY());
    BuildAndDraw();
    for (int x = -1000; x <= 1000; x += 100) EXPECT_EQ(kWhite, m_canvas.Pixel(x, 0)) << x;
}

TEST_F(AreaSetDrawTest, Draw_OldZonesAreNotDrawnAgain) {
    m_set.Draw(m_canvas.Dc());
    EXPECT_EQ(kWhite, m_canvas.Pixel(0, 500)) << "nothing built yet";
    LoadRectangle(0);
    m_set.BuildRegions();
    LoadPoints(m_set, {}, 0, 0, 0);
    m_set.BuildRegions();
    m_set.Draw(m_canvas.Dc());
    EXPECT_EQ(kWhite, m_canvas.Pixel(0, 500));
    EXPECT_EQ(kWhite, m_canvas.Pixel(0, 2500));
}

TEST_F(AreaSetDrawTest, Draw_NothingWithoutSensorCaps) {
    LoadRectangle(0);
    m_set.BuildRegions();
    m_set.ClearDevice();
    m_set.Draw(m_canvas.Dc());
    EXPECT_EQ(kWhite, m_canvas.Pixel(0, 500));
}

TEST_F(AreaSetTest, RegionBuilders_Shapes) {
    struct Probe {
        HRGN region;
        POINT inside, outside;
    };
    LoadTriangle(0, 0);
    const Probe probes[] = {
        {m_set.StraightRegion(500), {9000, 499}, {0, 501}},
        {m_set.FanRegion(500), {300, 300}, {400, 400}},
        {m_set.Output1Region(), {0, 1500}, {0, 2100}},
        {m_set.RatioRegion(0.5), {0, 900}, {0, 1100}},
        {m_set.RatioRegion(7.0), {0, 1900}, {0, 2100}},
        {m_set.SensorFieldRegion(), {0, 9000}, {0, -100}},
    };
    for (const Probe& p : probes) {
        ASSERT_NE(static_cast<HRGN>(NULL), p.region);
        EXPECT_TRUE(PtInRegion(p.region, p.inside.x, p.inside.y)) << p.inside.x << "," << p.inside.y;
        EXPECT_FALSE(PtInRegion(p.region, p.outside.x, p.outside.y)) << p.outside.x << "," << p.outside.y;
        DeleteObject(p.region);
    }
    m_set.ClearDevice();
    EXPECT_EQ(static_cast<HRGN>(NULL), m_set.SensorFieldRegion());
}

}  // namespace

namespace {

// The clipboard is shared by every process on the display: one test holds it
// under a named mutex so that no other test of ours empties it meanwhile.
class ClipboardLock {
public:
    ClipboardLock() : m_mutex(CreateMutexA(NULL, FALSE, "TivTestClipboard")) {
        WaitForSingleObject(m_mutex, 60000);
    }
    ~ClipboardLock() {
        ReleaseMutex(m_mutex);
        CloseHandle(m_mutex);
    }

private:
    HANDLE m_mutex;
};

void EmptyTheClipboard() {
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    CloseClipboard();
}

// Puts a block of `size` bytes of the area format on the clipboard.
void PlaceBlock(UINT format, SIZE_T size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    ASSERT_NE(static_cast<HGLOBAL>(NULL), memory);
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    if (!SetClipboardData(format, memory)) GlobalFree(memory);
    CloseClipboard();
}

std::string Raw(AreaSet& set) {
    BYTE record[34];
    set.GetCurrentRaw(record);
    return std::string(reinterpret_cast<char*>(record), sizeof(record));
}

TEST_F(AreaSetTest, Clipboard_CopyPasteCutAndUndo) {
    ClipboardLock lock;
    EmptyTheClipboard();
    EXPECT_FALSE(m_set.CanPaste());
    EXPECT_FALSE(m_set.PasteFromClipboard()) << "nothing to paste";

    LoadTriangle(700, 1);
    const std::string triangle = Raw(m_set);
    ASSERT_TRUE(m_set.CopyToClipboard());
    EXPECT_TRUE(m_set.CanPaste());

    // Paste into area 3, then undo it.
    m_set.SelectArea(2);
    m_set.SetFileModified(0);
    m_set.SetSensorModified(0);
    ASSERT_TRUE(m_set.PasteFromClipboard());
    EXPECT_EQ(triangle, Raw(m_set));
    EXPECT_EQ(1u, m_set.IsFileModified());
    EXPECT_EQ(1u, m_set.IsSensorModified());
    ASSERT_TRUE(m_set.Undo());
    EXPECT_EQ(std::string(34, '\0'), Raw(m_set));

    // Cut area 1: its record goes to the clipboard and comes back by undo.
    EmptyTheClipboard();
    m_set.SelectArea(0);
    ASSERT_TRUE(m_set.CutCurrent());
    EXPECT_EQ(std::string(34, '\0'), Raw(m_set));
    ASSERT_TRUE(m_set.Undo());
    EXPECT_EQ(triangle, Raw(m_set));
    m_set.SelectArea(5);
    ASSERT_TRUE(m_set.PasteFromClipboard());
    EXPECT_EQ(triangle, Raw(m_set));
}

TEST_F(AreaSetTest, Clipboard_CopyKeepsOtherFormats) {
    ClipboardLock lock;
    const char text[] = "kept";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
    std::memcpy(GlobalLock(memory), text, sizeof(text));
    GlobalUnlock(memory);
    ASSERT_TRUE(OpenClipboard(NULL));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
    ASSERT_TRUE(m_set.CopyToClipboard());
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_TRUE(m_set.CanPaste());
}

TEST_F(AreaSetTest, Clipboard_ShortBlockIsRefused) {
    ClipboardLock lock;
    UINT format = RegisterClipboardFormatA("ZOR AREADATA");
    LoadTriangle(700, 1);
    const std::string before = Raw(m_set);
    PlaceBlock(format, 20);
    ASSERT_TRUE(m_set.CanPaste());
    m_set.SetFileModified(0);
    EXPECT_FALSE(m_set.PasteFromClipboard());
    EXPECT_EQ(before, Raw(m_set));
    EXPECT_EQ(0u, m_set.IsFileModified());
    EmptyTheClipboard();
}

}  // namespace
