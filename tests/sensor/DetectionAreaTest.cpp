#include "sensor/DetectionArea.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "framework/LittleEndian.h"

namespace {

typedef std::vector<BYTE> Raw;

DWORD Pt(int x, int y) {
    return static_cast<DWORD>(static_cast<WORD>(x)) | (static_cast<DWORD>(static_cast<WORD>(y)) << 16);
}

// A raw record built from plain numbers, little-endian.
Raw Record(std::initializer_list<int> values) {
    Raw raw;
    for (int v : values) {
        BYTE word[2];
        WriteLeWord(word, v);
        raw.insert(raw.end(), word, word + 2);
    }
    return raw;
}

Raw Export(const DetectionArea& area) {
    Raw raw(kAreaRecordBytes, 0xCC);
    area.ExportRaw(raw.data());
    return raw;
}

// Points in no order, Output2 3000, Output3 2000, flags 0x0035.
const Raw kUnsorted = Record({-1000, 0, 700, 700, 0, -500, 1000, 0, -1, -500, 500, 200, 0, 1000,
                              3000, 2000, 0x0035});

// The same record sorted by angle, written out byte by byte.
const Raw kSortedBytes = {
    0x00, 0x00, 0x0C, 0xFE,  // (0, -500): exactly -pi/2, first
    0xE8, 0x03, 0x00, 0x00,  // (1000, 0)
    0xF4, 0x01, 0xC8, 0x00,  // (500, 200)
    0xBC, 0x02, 0xBC, 0x02,  // (700, 700)
    0x00, 0x00, 0xE8, 0x03,  // (0, 1000)
    0x18, 0xFC, 0x00, 0x00,  // (-1000, 0)
    0xFF, 0xFF, 0x0C, 0xFE,  // (-1, -500): just below 3pi/2, last
    0xB8, 0x0B, 0xD0, 0x07,  // outputs 3000, 2000
    0x35, 0x00,              // flags
};

}  // namespace

TEST(DetectionArea_Raw, ResetAreaExportsZeros) {
    DetectionArea area;
    area.LoadRaw(kUnsorted.data());
    area.Reset();
    for (int pos = 0; pos < 7; ++pos) EXPECT_EQ(area.GetPoint(pos), 0u);
    EXPECT_EQ(Export(area), Raw(kAreaRecordBytes, 0));
    EXPECT_EQ(area.CanUndo(), 0);
    EXPECT_EQ(area.GetRecordHistory(), 0);
}

TEST(DetectionArea_Raw, LoadedPointsExportSortedByAngle) {
    DetectionArea area;
    area.LoadRaw(kUnsorted.data());
    EXPECT_EQ(Export(area), kSortedBytes);
    EXPECT_EQ(area.Get2ScanMode(), 5);
    EXPECT_EQ(area.GetPartitionShape(), 2);
    EXPECT_EQ(area.GetMirrorReflectionMode(), 1);
    EXPECT_EQ(area.GetHalfHysteresis(), 0);
    EXPECT_EQ(area.PackFlags(), 0x35);
    EXPECT_EQ(area.GetPoint(3), Pt(700, 700));
}

TEST(DetectionArea_Raw, FlagBitsAboveSixAreDroppedOnExport) {
    DetectionArea area;
    Raw raw = Record({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFFFF});
    area.LoadRaw(raw.data());
    Raw out = Export(area);
    EXPECT_EQ(out[32], 0x7F);
    EXPECT_EQ(out[33], 0x00);
}

TEST(DetectionArea_Raw, LoadKeepsTheRecordsOutputOrder) {
    DetectionArea area;
    Raw raw = Record({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1000, 4000, 0});
    area.LoadRaw(raw.data());
    EXPECT_EQ(area.GetOutput2(), 1000);
    EXPECT_EQ(area.GetOutput3(), 4000);
}

TEST(DetectionArea_Order, EqualAnglesOrderByRadiusEitherSideOfStraightAhead) {
    struct Case {
        DWORD a, b;
        DWORD firstExpected;
    };
    const Case cases[] = {
        {Pt(0, 1000), Pt(0, 2000), Pt(0, 2000)},           // at 90 degrees: farther first
        {Pt(0, 2000), Pt(0, 1000), Pt(0, 2000)},
        {Pt(1000, 1000), Pt(2000, 2000), Pt(1000, 1000)},  // at 45 degrees: nearer first
        {Pt(2000, 2000), Pt(1000, 1000), Pt(1000, 1000)},
        {Pt(-1000, 1000), Pt(-2000, 2000), Pt(-2000, 2000)},  // at 135 degrees: farther first
    };
    for (const Case& c : cases) {
        // Through the insertion walk of SetVertex ...
        DetectionArea edited;
        edited.SetVertex(1, c.a);
        edited.SetVertex(2, c.b);
        EXPECT_EQ(edited.GetPoint(0), c.firstExpected);
        // ... and through the sort after a load.
        DetectionArea loaded;
        Raw raw = Record({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        memcpy(raw.data(), &c.a, 4);
        memcpy(raw.data() + 4, &c.b, 4);
        loaded.LoadRaw(raw.data());
        EXPECT_EQ(loaded.GetPoint(0), c.firstExpected);
    }
}

TEST(DetectionArea_Order, SamePointGoesAfterItsTwin) {
    DetectionArea area;
    area.SetVertex(5, Pt(300, 400));
    area.SetVertex(2, Pt(300, 400));
    EXPECT_EQ(area.VertexIdAt(0), 5);
    EXPECT_EQ(area.VertexIdAt(1), 2);
    EXPECT_EQ(area.VertexPositionOf(2), 1);
}

TEST(DetectionArea_Order, PolarAngleBounds) {
    const double pi = 3.14159265358979323846;
    DetectionArea area;
    EXPECT_EQ(area.PolarAngle(0, 0), 2 * pi);
    EXPECT_EQ(area.PolarAngle(0, -500), -pi / 2);  // on the bound: nothing added
    EXPECT_NEAR(area.PolarAngle(-1, -500), 3 * pi / 2 - 0.002, 1e-5);
    EXPECT_NEAR(area.PolarAngle(-1000, 0), pi, 1e-12);
    area.LoadRaw(kUnsorted.data());
    EXPECT_EQ(area.VertexAngle(0), -pi / 2);
    EXPECT_EQ(area.VertexAngle(7), 2 * pi);  // past the points: the anchor
}

TEST(DetectionArea_Order, GeometryGivesThePositionAPointWouldTake) {
    DetectionArea area;
    area.LoadRaw(kUnsorted.data());
    EXPECT_EQ(area.AreaGeometry25(Pt(0, -600)), 1);    // same angle below pi/2: after nearer (0,-500)
    EXPECT_EQ(area.AreaGeometry25(Pt(1000, -1)), 1);
    EXPECT_EQ(area.AreaGeometry25(Pt(0, 1500)), 4);    // before (0, 1000)
    EXPECT_EQ(area.AreaGeometry25(Pt(0, 1000)), 5);    // after its twin
    EXPECT_EQ(area.AreaGeometry25(Pt(-2, -500)), 6);   // a little less than (-1, -500)
    EXPECT_EQ(area.AreaGeometry25(Pt(-1, -1000)), 7);
    EXPECT_EQ(area.AreaGeometry25(Pt(0, -100)), 0);
}

TEST(DetectionArea_Index, OutOfRangeIdsAndPositions) {
    DetectionArea area;
    area.LoadRaw(kUnsorted.data());
    Raw before = Export(area);
    EXPECT_EQ(area.VertexIdAt(7), 0);
    EXPECT_EQ(area.VertexIdAt(-1), 0);
    EXPECT_EQ(area.GetPoint(7), 0u);
    EXPECT_EQ(area.VertexPositionOf(0), 255);
    EXPECT_EQ(area.VertexPositionOf(8), 255);
    EXPECT_EQ(area.OutputIndexOf(0), 255);
    EXPECT_EQ(area.OutputIndexOf(3), 255);
    EXPECT_EQ(area.GetVertex(8), 0u);
    area.SetVertex(0, Pt(5, 5));
    area.SetVertex(8, Pt(5, 5));
    area.SetOutputValue(0, 77);
    area.SetOutputValue(3, 77);
    area.SetPoint(7, Pt(5, 5));
    EXPECT_EQ(Export(area), before);
}

TEST(DetectionArea_Outputs, LargerDistanceIsAlwaysOutput2) {
    DetectionArea area;
    area.SetOutput2(3000);
    area.SetOutput3(2000);
    EXPECT_EQ(area.GetOutput2(), 3000);
    EXPECT_EQ(area.GetOutput3(), 2000);
    int firstId = area.Output2Index();
    area.SetOutput3(5000);  // above Output2: the roles swap
    EXPECT_EQ(area.GetOutput2(), 5000);
    EXPECT_EQ(area.GetOutput3(), 3000);
    EXPECT_EQ(area.OutputIndexOf(firstId), 1);
    area.SetOutput2(3000);  // equal: goes after the other
    EXPECT_EQ(area.OutputIndexOf(firstId), 0);
    EXPECT_EQ(area.GetOutput3(), 3000);
}

TEST(DetectionArea_Options, SettersMaskTheirBits) {
    DetectionArea area;
    area.Set2ScanMode(7);
    area.SetPartitionShape(7);
    area.SetMirrorReflectionMode(3);
    area.SetHalfHysteresis(2);
    EXPECT_EQ(area.Get2ScanMode(), 7);
    EXPECT_EQ(area.GetPartitionShape(), 3);
    EXPECT_EQ(area.GetMirrorReflectionMode(), 1);
    EXPECT_EQ(area.GetHalfHysteresis(), 0);
    EXPECT_EQ(area.PackFlags(), 0x3F);
}

TEST(DetectionArea_Geometry, MaxAbsYCoversTheMostNegativeCoordinate) {
    DetectionArea area;
    area.SetPoint(0, Pt(100, 200));
    area.SetPoint(1, Pt(-300, -32768));
    area.SetPoint(2, Pt(10, 32767));
    EXPECT_EQ(area.MaxAbsY(), 32768);
}

TEST(DetectionArea_History, ThreeEditsUndoAndRedo) {
    DetectionArea area;
    area.LoadRaw(kUnsorted.data());
    area.SetRecordHistory(1);
    std::vector<Raw> states{Export(area)};
    area.SetPoint(0, Pt(100, -2000));
    states.push_back(Export(area));
    area.SetPoint(3, Pt(-300, 3000));
    states.push_back(Export(area));
    area.SetPoint(6, Pt(400, 400));
    states.push_back(Export(area));
    ASSERT_NE(states[3], states[0]);

    for (int i = 2; i >= 0; --i) {
        ASSERT_EQ(area.Undo(), 1);
        EXPECT_EQ(Export(area), states[i]) << "undo to state " << i;
    }
    EXPECT_EQ(area.CanUndo(), 0);
    EXPECT_EQ(area.Undo(), 0);
    EXPECT_EQ(area.GetRecordHistory(), 1);
    for (int i = 1; i <= 3; ++i) {
        ASSERT_EQ(area.Redo(), 1);
        EXPECT_EQ(Export(area), states[i]) << "redo to state " << i;
    }
    EXPECT_EQ(area.CanRedo(), 0);
    EXPECT_EQ(area.Redo(), 0);

    // A new edit after an undo forgets the undone change.
    area.Undo();
    EXPECT_EQ(area.CanRedo(), 1);
    area.SetOutput2(1234);
    EXPECT_EQ(area.CanRedo(), 0);
}

TEST(DetectionArea_History, EveryKindOfChangeUndoes) {
    DetectionArea area;
    area.LoadRaw(kUnsorted.data());
    area.SetRecordHistory(1);
    const Raw start = Export(area);
    area.SetOutput3(9000);
    area.SetPartitionShape(1);
    area.Set2ScanMode(2);
    area.SetMirrorReflectionMode(0);
    area.SetHalfHysteresis(1);
    Raw other = Record({1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 10, 20, 0x40});
    area.LoadRaw(other.data());
    const Raw end = Export(area);
    int undone = 0;
    while (area.Undo()) ++undone;
    EXPECT_EQ(undone, 6);
    EXPECT_EQ(Export(area), start);
    int redone = 0;
    while (area.Redo()) ++redone;
    EXPECT_EQ(redone, 6);
    EXPECT_EQ(Export(area), end);
}

// A loaded record whose points come in another order must not leave the
// records holding other points than before once the load is undone: the
// older point edit names its record by id.
TEST(DetectionArea_History, PointEditsUndoAcrossAnUndoneRecordLoad) {
    DetectionArea area;
    area.SetRecordHistory(1);
    std::vector<Raw> states{Export(area)};
    area.SetPoint(0, Pt(1000, 0));
    states.push_back(Export(area));
    area.SetPoint(1, Pt(0, 1000));
    states.push_back(Export(area));
    Raw reversed = Record({-1000, 0, 1000, 1000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    area.LoadRaw(reversed.data());
    states.push_back(Export(area));

    for (int i = 2; i >= 0; --i) {
        ASSERT_EQ(area.Undo(), 1);
        EXPECT_EQ(Export(area), states[i]) << "undo to state " << i;
    }
    for (int i = 1; i <= 3; ++i) {
        ASSERT_EQ(area.Redo(), 1);
        EXPECT_EQ(Export(area), states[i]) << "redo to state " << i;
    }
}

TEST(DetectionArea_History, NothingIsRecordedWhileOff) {
    DetectionArea area;
    area.SetPoint(0, Pt(10, 10));
    area.SetOutput2(100);
    area.SetPartitionShape(1);
    area.LoadRaw(kUnsorted.data());
    EXPECT_EQ(area.CanUndo(), 0);
    EXPECT_EQ(area.CanRedo(), 0);
    EXPECT_EQ(area.Undo(), 0);
}

TEST(DetectionArea_History, UndoWorksWhileRecordingIsOff) {
    DetectionArea area;
    area.SetRecordHistory(1);
    area.SetPoint(0, Pt(10, 10));
    area.SetRecordHistory(0);
    ASSERT_EQ(area.Undo(), 1);
    EXPECT_EQ(area.GetPoint(0), 0u);
    EXPECT_EQ(area.GetRecordHistory(), 0);
    ASSERT_EQ(area.Redo(), 1);
    EXPECT_EQ(area.GetPoint(0), Pt(10, 10));
    area.ClearHistory();
    EXPECT_EQ(area.CanUndo() + area.CanRedo(), 0);
}

// Every drag step records an edit; the history keeps the newest whole entries.
TEST(DetectionArea_History, LongEditSessionKeepsABoundedHistory) {
    DetectionArea area;
    area.SetRecordHistory(1);
    const int edits = 40000;  // 120,000 words of point history
    for (int j = 1; j <= edits; ++j) area.SetVertex(1, Pt(j % 30000, 1));
    int undone = 0;
    while (area.Undo()) ++undone;
    EXPECT_EQ(undone, 65536 / 3);
    // The oldest kept edit set x from the value of the edit before it.
    EXPECT_EQ(area.GetVertex(1), Pt((edits - undone) % 30000, 1));
}
