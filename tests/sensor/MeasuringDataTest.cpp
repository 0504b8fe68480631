#include <gtest/gtest.h>

#include "framework/OwnedHandle.h"
#include "sensor/MeasuringData.h"
#include "tests/TestCanvas.h"
#include "tests/TestFiles.h"

namespace {

const char kFreshHeader[] =
    "[ZOR Measuring Data File]\r\n"
    "[Model]\r\nffff\r\n\r\n"
    "[Function]\r\n0030\r\n\r\n"
    "[Version]\r\n\r\n\r\n"
    "[Measuring Data]\n";

// Step k of scan `seed` holds seed * 1000 + k.
ScanData PatternScan(int seed) {
    ScanData scan;
    for (int k = 0; k < ScanData::kStepCount; ++k)
        scan.SetStep(static_cast<WORD>(k), static_cast<WORD>(seed * 1000 + k));
    return scan;
}

ScanData FilledScan(WORD value) {
    ScanData scan;
    for (int k = 0; k < ScanData::kStepCount; ++k) scan.SetStep(static_cast<WORD>(k), value);
    return scan;
}

bool SameScan(const ScanData& a, const ScanData& b) {
    for (int k = 0; k < ScanData::kStepCount; ++k) {
        if (a.GetStep(static_cast<WORD>(k)) != b.GetStep(static_cast<WORD>(k))) return false;
    }
    return true;
}

// A "Distance" line of 769 values, all `value`.
std::string DistanceLine(const std::string& value) {
    std::string line;
    for (int k = 0; k < 768; ++k) line += value + ", ";
    return line + value + "\r\n";
}

// `lines` lines of `perLine` values "v,".
std::string ColumnLines(int lines, int perLine) {
    std::string text;
    for (int s = 0; s < lines; ++s) {
        for (int j = 0; j < perLine; ++j) text += std::to_string(s * 10 + j) + ",";
        text += "\r\n";
    }
    return text;
}

class MeasuringDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_live.SetModel(0);
        m_live.SetVersionText("2.1.3A");
        m_live.SetFunction(0x0135);  // bit 8 set: the version's flag derivation would clear it
        m_live.SetOptionByte(0x05);
        const BYTE filter[2] = {0x12, 0x34};
        m_live.SetFilterSwitch(filter);
        m_data.SetSensorCaps(&m_live);
    }
    void Record(int scans) {
        for (int i = 0; i < scans; ++i) ASSERT_TRUE(m_data.Append(PatternScan(i + 1)));
    }
    std::string SaveBytes() {
        EXPECT_TRUE(m_data.Save(m_path.c_str()));
        return ReadBytes(m_path);
    }
    BOOL LoadText(const std::string& text) {
        WriteBytes(m_path, text);
        return m_data.Load(m_path.c_str());
    }
    BOOL LoadColumnsText(const std::string& text) {
        WriteBytes(m_path, text);
        return m_data.LoadColumns(m_path.c_str());
    }
    // Two recorded scans that a refused file must leave alone.
    void ExpectRecordingKept() {
        ASSERT_EQ(2u, m_data.Count());
        EXPECT_TRUE(SameScan(PatternScan(1), *m_data.GetAt(0)));
        EXPECT_TRUE(SameScan(PatternScan(2), *m_data.GetAt(1)));
        EXPECT_EQ(1u, m_data.IsModified());
        EXPECT_EQ(std::string("2.1.3A"), m_data.GetSensorCaps().GetVersionText());
    }

    TestFolder m_folder;
    std::string m_path = m_folder.Path("scans.csv");
    SensorCaps m_live;
    MeasuringData m_data;
};

TEST_F(MeasuringDataTest, Save_DistanceLayout) {
    m_data.Append(FilledScan(7));
    m_data.Append(FilledScan(65535));
    EXPECT_EQ(std::string(kFreshHeader) + DistanceLine("7") + DistanceLine("65535"), SaveBytes());
    EXPECT_EQ(0u, m_data.IsModified());
}

TEST_F(MeasuringDataTest, Save_DistanceLineStartAndEnd) {
    m_data.TakeSensorCaps(NULL);
    m_data.Append(PatternScan(0));
    std::string bytes = SaveBytes();
    std::string header =
        "[ZOR Measuring Data File]\r\n[Model]\r\n0000\r\n\r\n[Function]\r\n0135\r\n\r\n"
        "[Version]\r\n2.1.3A\r\n\r\n[Measuring Data]\n";
    ASSERT_EQ(header, bytes.substr(0, header.size()));
    EXPECT_EQ("0, 1, 2, 3, ", bytes.substr(header.size(), 12));
    EXPECT_EQ(", 767, 768\r\n", bytes.substr(bytes.size() - 12));
}

TEST_F(MeasuringDataTest, Save_Distance2Layout) {
    m_data.SetSaveFormat(MeasuringData::kFormatDistance2);
    m_data.Append(FilledScan(1));
    m_data.Append(FilledScan(22));
    m_data.Append(FilledScan(333));
    std::string expected = kFreshHeader;
    for (int s = 0; s < 769; ++s) expected += "1,22,333,\r\n";
    EXPECT_EQ(expected, SaveBytes());
}

TEST_F(MeasuringDataTest, Save_AsicMemoryLayout) {
    m_data.SetSaveFormat(MeasuringData::kFormatAsicMemory);
    ScanData scan;
    for (int k = 0; k < 769; ++k) scan.SetStep(static_cast<WORD>(k), static_cast<WORD>(1000 + k));
    m_data.Append(scan);
    m_data.Append(FilledScan(0xFFFF));
    std::string bytes = SaveBytes();
    std::vector<std::string> lines;
    size_t at = sizeof(kFreshHeader) - 1;
    while (at < bytes.size()) {
        size_t end = bytes.find("\r\n", at);
        ASSERT_NE(std::string::npos, end);
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(300u, lines.size());
    EXPECT_EQ("3,232,1150,1300,1330,88147266, ,5,73,1503,1653,1683,111281827,", lines[0]);
    EXPECT_EQ("3,235,1153,1303,1333,88540488, ,5,76,1506,1656,1686,111675049,", lines[3]);
    EXPECT_EQ("3,236,1154,1304,1334, , ,5,77,1507,1657,1687, ,", lines[4]);
    EXPECT_EQ("3,247,1165,1315, , , ,5,88,1518,1668, , ,", lines[15]);
    EXPECT_EQ("4,5,1179,1329, , , ,5,102,1532,1682, , ,", lines[29]);
    EXPECT_EQ("4,125,1299, , , , ,5,222,1652, , , ,", lines[149]);
    EXPECT_EQ("255,255,65535,65535,65535,-1, ,255,255,65535,65535,65535,-1,", lines[150]);
}

TEST_F(MeasuringDataTest, Save_VersionLineBreaksBecomeSpaces) {
    m_live.SetVersionText("1.2.3A\r\nX");
    m_data.TakeSensorCaps(NULL);
    std::string bytes = SaveBytes();
    EXPECT_NE(std::string::npos, bytes.find("[Version]\r\n1.2.3A  X\r\n\r\n[Measuring Data]\n"));
    ASSERT_TRUE(m_data.Load(m_path.c_str()));
    EXPECT_EQ(std::string("1.2.3A  X"), m_data.GetSensorCaps().GetVersionText());
}

TEST_F(MeasuringDataTest, Save_FailureKeepsModifiedAndOldFile) {
    Record(1);
    std::string folderTarget = m_folder.Path("folder.csv");
    ASSERT_TRUE(CreateDirectoryA(folderTarget.c_str(), NULL));
    EXPECT_FALSE(m_data.Save(folderTarget.c_str()));
    EXPECT_FALSE(m_data.Save(m_folder.Path("missing\\scans.csv").c_str()));
    EXPECT_EQ(1u, m_data.IsModified());
    EXPECT_TRUE(m_folder.Files().empty());
    RemoveDirectoryA(folderTarget.c_str());
}

TEST_F(MeasuringDataTest, Load_DistanceRoundTrip) {
    m_data.TakeSensorCaps(NULL);
    Record(3);
    ASSERT_TRUE(m_data.Save(m_path.c_str()));
    MeasuringData loaded;
    EXPECT_EQ(150, loaded.ModelConstant()) << "no model yet";
    ASSERT_TRUE(loaded.Load(m_path.c_str()));
    ASSERT_EQ(3u, loaded.Count());
    for (DWORD i = 0; i < 3; ++i) EXPECT_TRUE(SameScan(*m_data.GetAt(i), *loaded.GetAt(i))) << i;
    const SensorCaps& caps = loaded.GetSensorCaps();
    EXPECT_EQ(0, caps.GetModel());
    EXPECT_EQ(0x0135, caps.GetFunction());
    EXPECT_EQ(std::string("2.1.3A"), caps.GetVersionText());
    EXPECT_EQ('A', caps.GetLetter());
    EXPECT_EQ(0u, loaded.IsModified());
    EXPECT_EQ(1000, loaded.ModelConstant());
}

TEST_F(MeasuringDataTest, Load_Distance2RoundTripThroughColumns) {
    m_data.SetSaveFormat(MeasuringData::kFormatDistance2);
    Record(4);
    ASSERT_TRUE(m_data.Save(m_path.c_str()));
    MeasuringData loaded;
    ASSERT_TRUE(loaded.LoadColumns(m_path.c_str()));
    ASSERT_EQ(4u, loaded.Count());
    for (DWORD i = 0; i < 4; ++i) EXPECT_TRUE(SameScan(*m_data.GetAt(i), *loaded.GetAt(i))) << i;
    EXPECT_FALSE(loaded.Load(m_path.c_str())) << "a column file is no row file";
}

TEST_F(MeasuringDataTest, Load_HeaderlessNeeds768Commas) {
    ASSERT_TRUE(LoadText(DistanceLine("5") + DistanceLine("6")));
    ASSERT_EQ(2u, m_data.Count());
    EXPECT_TRUE(SameScan(FilledScan(6), *m_data.GetAt(1)));
    EXPECT_EQ(0, m_data.GetSensorCaps().GetModel());

    std::string line = DistanceLine("5");
    line.erase(0, 3);  // one value and its comma fewer
    EXPECT_FALSE(LoadText(line));
}

struct RefusedCase {
    const char* name;
    std::string text;
};

TEST_F(MeasuringDataTest, Load_RefusedFileKeepsRecordedScans) {
    const std::string header = kFreshHeader;
    std::string letter = DistanceLine("12");
    letter.replace(4, 2, "1a");
    std::string big = DistanceLine("1");
    big.replace(0, 1, "65536");
    std::string negative = DistanceLine("1");
    negative.replace(0, 1, "-1");
    std::string empty = DistanceLine("1");
    empty.replace(0, 1, "");
    std::string wrapped = DistanceLine("1");
    wrapped.replace(0, 1, "4294967295");
    std::string longToken = DistanceLine("1");
    longToken.replace(0, 1, "0000000000000001");
    const RefusedCase cases[] = {
        {"empty file", ""},
        {"letter in a number", header + letter},
        {"value above 16 bits", header + big},
        {"negative value", header + negative},
        {"empty value", header + empty},
        {"value of 32 set bits", header + wrapped},
        {"token of 16 characters", header + longToken},
        {"scan cut short", header + DistanceLine("1").substr(0, 700)},
        {"blank line after the data", header + DistanceLine("1") + "\r\n"},
        {"header without data key",
         "[ZOR Measuring Data File]\r\n[Model]\r\n0000\r\n\r\n[Function]\r\n0030\r\n"},
        {"model not hexadecimal",
         "[ZOR Measuring Data File]\r\n[Model]\r\nxyz\r\n\r\n[Function]\r\n0030\r\n\r\n"
         "[Version]\r\n\r\n\r\n[Measuring Data]\n"},
        {"function beyond 16 bits",
         "[ZOR Measuring Data File]\r\n[Model]\r\n0000\r\n\r\n[Function]\r\n10030\r\n\r\n"
         "[Version]\r\n\r\n\r\n[Measuring Data]\n"},
        {"header line only", "[ZOR Measuring Data File]\r\n"},
    };
    m_data.TakeSensorCaps(NULL);
    Record(2);
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(LoadText(c.text));
        ExpectRecordingKept();
    }
}

TEST_F(MeasuringDataTest, LoadColumns_EmptyDataPartGivesNoScans) {
    m_data.TakeSensorCaps(NULL);
    Record(2);
    ASSERT_TRUE(LoadColumnsText(kFreshHeader));
    EXPECT_EQ(0u, m_data.Count());
    EXPECT_EQ(0u, m_data.IsModified());
}

TEST_F(MeasuringDataTest, LoadColumns_RefusedFileKeepsRecordedScans) {
    const RefusedCase cases[] = {
        {"770 lines", std::string(kFreshHeader) + ColumnLines(770, 10)},
        {"no header", ColumnLines(769, 10)},
        {"letter", std::string(kFreshHeader) + "1,b,\r\n" + ColumnLines(768, 2)},
        {"value above 16 bits", std::string(kFreshHeader) + "1,70000,\r\n" + ColumnLines(768, 2)},
    };
    m_data.TakeSensorCaps(NULL);
    Record(2);
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(LoadColumnsText(c.text));
        ExpectRecordingKept();
    }
}

TEST_F(MeasuringDataTest, Append_StopsAtTenThousandScans) {
    for (DWORD i = 0; i < MeasuringData::kMaxScans; ++i) ASSERT_TRUE(m_data.Append(FilledScan(1)));
    EXPECT_FALSE(m_data.Append(FilledScan(2)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_TOO_LARGE), GetLastError());
    EXPECT_EQ(MeasuringData::kMaxScans, m_data.Count());
}

// Ten thousand scans, the most one recording gives, load; one more is refused.
TEST_F(MeasuringDataTest, Load_CapsScansAtTenThousand) {
    const std::string line = DistanceLine("0");
    std::string text;
    text.reserve(line.size() * 10001);
    for (int i = 0; i < 10000; ++i) text += line;
    ASSERT_TRUE(LoadText(text));
    EXPECT_EQ(10000u, m_data.Count());

    m_data.Clear();
    Record(2);
    m_data.TakeSensorCaps(NULL);
    EXPECT_FALSE(LoadText(text + line));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_TOO_LARGE), GetLastError());
    ExpectRecordingKept();
}

TEST_F(MeasuringDataTest, LoadColumns_CapsScansAtTenThousand) {
    std::string line;
    for (int j = 0; j < 10000; ++j) line += "0,";
    line += "\r\n";
    std::string text = kFreshHeader;
    for (int s = 0; s < 769; ++s) text += line;
    ASSERT_TRUE(LoadColumnsText(text));
    EXPECT_EQ(10000u, m_data.Count());

    std::string over = kFreshHeader;
    for (int s = 0; s < 769; ++s) over += "0," + line;
    m_data.Clear();
    Record(2);
    m_data.TakeSensorCaps(NULL);
    EXPECT_FALSE(LoadColumnsText(over));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_TOO_LARGE), GetLastError());
    ExpectRecordingKept();
}

TEST_F(MeasuringDataTest, TakeSensorCaps_CopiesWhatTheFileLacks) {
    m_data.TakeSensorCaps(&m_live);
    BYTE filter[2] = {0, 0};
    m_data.GetSensorCaps().GetFilterSwitch(filter);
    EXPECT_EQ(0x3412, filter[0] | filter[1] << 8);
    EXPECT_EQ(0x05, m_data.GetSensorCaps().GetOptionByte());
}

}  // namespace

namespace {

// The first dark pixel straight below the centre (logical +y), or -1.
int FirstDarkBelowCentre(const TestCanvas& canvas) {
    for (int y = 5; y < TestCanvas::kSize / 2; ++y) {
        if (canvas.Pixel(0, y) != RGB(255, 255, 255)) return y;
    }
    return -1;
}

class MeasuringDataDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_data.Append(FilledScan(60));
        m_data.Append(FilledScan(30));
        m_data.Append(FilledScan(80));
    }
    MeasuringData m_data;
    TestCanvas m_canvas;
};

TEST_F(MeasuringDataDrawTest, PrepareDraw_OutlinesEveryScanAndRestoresRop) {
    SetROP2(m_canvas.Dc(), R2_XORPEN);
    m_data.PrepareDraw(m_canvas.Dc());
    EXPECT_EQ(R2_XORPEN, GetROP2(m_canvas.Dc()));
    int first = FirstDarkBelowCentre(m_canvas);
    EXPECT_GE(first, 28);
    EXPECT_LE(first, 31);
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(m_canvas.Dc(), 0, first));
}

TEST_F(MeasuringDataDrawTest, FinishDraw_DrawsOnlyTheLastScan) {
    m_data.FinishDraw(m_canvas.Dc());
    int first = FirstDarkBelowCentre(m_canvas);
    EXPECT_GE(first, 78);
    EXPECT_LE(first, 81);
}

TEST_F(MeasuringDataDrawTest, SetFlag75_StopsDrawing) {
    m_data.SetFlag75();
    m_data.PrepareDraw(m_canvas.Dc());
    EXPECT_EQ(-1, FirstDarkBelowCentre(m_canvas));
}

// The render thread draws every recorded scan while the user-interface
// thread records (Append) and starts again (Clear): each scan is copied out
// under the data's lock, so the drawing never reads a list being regrown.
TEST_F(MeasuringDataDrawTest, DrawingWhileScansAreAppendedAndCleared) {
    struct Drawer {
        MeasuringData* data;
        HDC dc;
        HANDLE passed;  // set after each pass
        volatile LONG stop;
        static DWORD WINAPI Run(LPVOID param) {
            Drawer* d = static_cast<Drawer*>(param);
            while (!d->stop) {
                d->data->PrepareDraw(d->dc);
                SetEvent(d->passed);
            }
            return 0;
        }
    };
    OwnedHandle passed(CreateEventA(NULL, FALSE, FALSE, NULL));
    Drawer drawer = {&m_data, m_canvas.Dc(), passed.Get(), 0};
    OwnedHandle thread(CreateThread(NULL, 0, &Drawer::Run, &drawer, 0, NULL));
    ASSERT_TRUE(thread.Valid());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(passed.Get(), 30000));  // drawing has begun
    for (int round = 0; round < 20; ++round) {
        m_data.Clear();
        for (int i = 0; i < 100; ++i) m_data.Append(FilledScan(static_cast<WORD>(40 + i % 50)));
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(passed.Get(), 30000));  // and goes on
    InterlockedExchange(&drawer.stop, 1);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread.Get(), 30000));
    EXPECT_EQ(100u, m_data.Count());
}

}  // namespace
