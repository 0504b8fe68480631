#include <gtest/gtest.h>

#include <cstring>

#include "framework/ErrorCodes.h"
#include "framework/GdiObject.h"
#include "framework/LittleEndian.h"
#include "framework/OwnedHandle.h"
#include "sensor/AreaSet.h"
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
        WriteLeWord(record + 4 * i, p.x);
        WriteLeWord(record + 4 * i + 2, p.y);
        ++i;
    }
    WriteLeWord(record + 28, output2);
    WriteLeWord(record + 30, output3);
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

TEST_F(AreaSetTest, AllRaw_RoundTripReproducesSevenAreas) {
    for (BYTE a = 0; a < 7; ++a) {
        m_set.SelectArea(a);
        m_set.SetPoint(0, Pack(100 * a + 50, 900));
        m_set.SetOutput2(static_cast<short>(700 + a));
        m_set.Set2ScanMode(a);
    }
    BYTE table[kAreaTableBytes];
    m_set.GetAllRaw(table);
    AreaSet other;
    other.SetAllFromRaw(table);
    BYTE back[kAreaTableBytes];
    other.GetAllRaw(back);
    EXPECT_EQ(0, std::memcmp(table, back, sizeof(table)));
    EXPECT_EQ(1u, other.IsFileModified());
    EXPECT_EQ(0u, other.IsSensorModified());
    EXPECT_EQ(6, table[34 * 6 + 32]);
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
        if (k < 257 || k > 513)
            EXPECT_EQ(0, Boundary(k, 0)) << k;
        else
            EXPECT_NE(0, Boundary(k, 0)) << k;
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
    LoadQuadrangle(-1500, 2);
    m_set.BuildStepTable();
    EXPECT_EQ(0, Boundary(384, 1)) << "a negative distance has no zone, not one wrapped to 16 bits";
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

struct Probe {
    int x, y;  // mm
    COLORREF colour;
};

struct ZoneCase {
    const char* name;
    int shape;
    std::vector<Probe> probes;
};

TEST_F(AreaSetDrawTest, Draw_ZonesInTheirColoursByShape) {
    const ZoneCase cases[] = {
        {"straight",
         0,
         {{0, 500, kRed},
          {0, 1500, kOrange},
          {500, 2500, kYellow},
          {0, 3500, kWhite},
          {1500, 500, kWhite},
          {0, -500, kWhite}}},
        {"fan", 1, {{0, 500, kRed}, {800, 1000, kOrange}, {900, 2000, kYellow}}},
        // Ratios 2000 / 3000 and 1000 / 3000 of the outline.
        {"ratio", 2, {{0, 500, kRed}, {0, 1500, kOrange}, {0, 2500, kYellow}, {800, 1500, kYellow}}},
        {"unknown shape 3: no output 2 and 3 zones",
         3,
         {{0, 500, kYellow}, {0, 1500, kYellow}, {0, 2500, kYellow}}},
    };
    for (const ZoneCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_canvas.Fill(kWhite);
        LoadRectangle(c.shape);
        BuildAndDraw();
        for (const Probe& p : c.probes) EXPECT_EQ(p.colour, m_canvas.Pixel(p.x, p.y)) << p.x << "," << p.y;
    }
}

TEST_F(AreaSetDrawTest, Draw_MasksWhatLiesBelowAndRestoresRop) {
    LoadRectangle(0);
    m_canvas.Fill(RGB(0x80, 0xFF, 0xFF));
    SetROP2(m_canvas.Dc(), R2_XORPEN);
    BuildAndDraw();
    EXPECT_EQ(R2_XORPEN, GetROP2(m_canvas.Dc()));
    EXPECT_EQ(RGB(0x80, 0xFF, 0x66), m_canvas.Pixel(0, 2500));
    EXPECT_EQ(RGB(0x80, 0x66, 0x66), m_canvas.Pixel(0, 500));
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

TEST_F(AreaSetDrawTest, Draw_NothingFromFlatOrOldZonesOrWithoutCaps) {
    m_set.Draw(m_canvas.Dc());
    EXPECT_EQ(kWhite, m_canvas.Pixel(0, 500)) << "nothing built yet";
    LoadRectangle(0);
    m_set.BuildRegions();
    // A flat area has no largest |y| to scale a ratio by.
    LoadPoints(m_set, {{1000, 0}, {-1000, 0}}, 2000, 1000, 2);
    EXPECT_EQ(0, m_set.MaxAbsY());
    m_set.BuildRegions();
    m_set.Draw(m_canvas.Dc());
    for (int y : {0, 500, 1500, 2500}) EXPECT_EQ(kWhite, m_canvas.Pixel(0, y)) << y;
    LoadRectangle(0);
    m_set.BuildRegions();
    m_set.ClearDevice();
    m_set.Draw(m_canvas.Dc());
    EXPECT_EQ(kWhite, m_canvas.Pixel(0, 500));
}

TEST_F(AreaSetTest, RegionBuilders_Shapes) {
    struct Probe {
        OwnedRegion region;
        POINT inside, outside;
    };
    LoadTriangle(0, 0);
    const Probe probes[] = {
        {OwnedRegion(m_set.FanRegion(500)), {300, 300}, {400, 400}},
        {OwnedRegion(m_set.RatioRegion(0.5)), {0, 900}, {0, 1100}},
        {OwnedRegion(m_set.RatioRegion(7.0)), {0, 1900}, {0, 2100}},
        {OwnedRegion(m_set.SensorFieldRegion()), {0, 9000}, {0, -100}},
    };
    for (const Probe& p : probes) {
        ASSERT_TRUE(p.region.Valid());
        EXPECT_TRUE(PtInRegion(p.region, p.inside.x, p.inside.y)) << p.inside.x << "," << p.inside.y;
        EXPECT_FALSE(PtInRegion(p.region, p.outside.x, p.outside.y)) << p.outside.x << "," << p.outside.y;
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
        WaitForSingleObject(m_mutex.Get(), 60000);
    }
    ~ClipboardLock() { ReleaseMutex(m_mutex.Get()); }

private:
    OwnedHandle m_mutex;
};

// Empties the clipboard and puts a zeroed block of `size` bytes on it.
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
    PlaceBlock(CF_TEXT, 8);
    EXPECT_FALSE(m_set.CanPaste());
    EXPECT_FALSE(m_set.PasteFromClipboard()) << "nothing to paste";

    LoadTriangle(700, 1);
    const std::string triangle = Raw(m_set);
    ASSERT_TRUE(m_set.CopyToClipboard());
    EXPECT_TRUE(m_set.CanPaste());
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT)) << "copied without emptying the clipboard";

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
    PlaceBlock(CF_TEXT, 8);
    m_set.SelectArea(0);
    ASSERT_TRUE(m_set.CutCurrent());
    EXPECT_EQ(std::string(34, '\0'), Raw(m_set));
    ASSERT_TRUE(m_set.Undo());
    EXPECT_EQ(triangle, Raw(m_set));
    m_set.SelectArea(5);
    ASSERT_TRUE(m_set.PasteFromClipboard());
    EXPECT_EQ(triangle, Raw(m_set));
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
    PlaceBlock(CF_TEXT, 8);
}

}  // namespace
