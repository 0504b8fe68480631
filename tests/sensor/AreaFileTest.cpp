#include <gtest/gtest.h>

#include <cstring>

#include "framework/LittleEndian.h"
#include "sensor/AreaFile.h"
#include "sensor/AreaSet.h"
#include "sensor/SensorCaps.h"
#include "tests/TestFiles.h"

namespace {

const char kResetArea1[] =
    "[Area1]\r\n[Output1]\r\n"
    "[Point1]\r\n0 0\r\n[Point2]\r\n0 0\r\n[Point3]\r\n0 0\r\n[Point4]\r\n0 0\r\n"
    "[Point5]\r\n0 0\r\n[Point6]\r\n0 0\r\n[Point7]\r\n0 0\r\n"
    "[Output2]\r\n0\r\n[Output3]\r\n0\r\n"
    "[PartitionShape]\r\n0\r\n[2ScanMode]\r\n0\r\n[MirrorReflectionMode]\r\n0\r\n[HalfHysteresis]"
    "\r\n0\r\n\r\n";

std::string ResetFileText() {
    std::string text = "[ZOR Area Data File]\r\n\r\n";
    for (char a = '1'; a <= '7'; ++a) {
        std::string block = kResetArea1;
        block[5] = a;
        text += block;
    }
    return text;
}

// A table whose area i has its points sorted by angle at distances beyond
// the edit limits, outputs of both signs and every flag in use.
void FillTable(BYTE* table) {
    std::memset(table, 0, kAreaTableBytes);
    const int xs[7] = {32767, 20000, 5000, 0, -5000, -20000, -32768};
    for (int i = 0; i < 7; ++i) {
        BYTE* record = table + 34 * i;
        for (int p = 0; p < 7; ++p) {
            WriteLeWord(record + 4 * p, xs[p]);
            WriteLeWord(record + 4 * p + 2, 30000 - i);
        }
        WriteLeWord(record + 28, 12000 + i);
        WriteLeWord(record + 30, -32768 + i);
        WriteLeWord(record + 32, (i & 7) | ((i % 4) << 3) | ((i & 1) << 5) | (((i >> 1) & 1) << 6));
    }
}

class AreaFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_set.SetDevice(&m_caps);
        ASSERT_TRUE(m_set.Init());
    }
    int LoadText(const std::string& text) {
        WriteBytes(m_path, text);
        return m_set.LoadFile(m_path.c_str());
    }
    std::string Table() {
        BYTE table[kAreaTableBytes];
        m_set.GetAllRaw(table);
        return std::string(reinterpret_cast<char*>(table), sizeof(table));
    }

    TestFolder m_folder;
    std::string m_path = m_folder.Path("areas.ara");
    SensorCaps m_caps;
    AreaSet m_set;
};

TEST_F(AreaFileTest, SaveFile_ResetSetIsExactLayout) {
    m_set.SetFileModified(1);
    ASSERT_TRUE(m_set.SaveFile(m_path.c_str()));
    EXPECT_EQ(ResetFileText(), ReadBytes(m_path));
    EXPECT_EQ(0u, m_set.IsFileModified());
}

TEST_F(AreaFileTest, SaveFile_WritesValuesOfEachArea) {
    BYTE table[kAreaTableBytes];
    FillTable(table);
    m_set.SetAllFromRaw(table);
    ASSERT_TRUE(m_set.SaveFile(m_path.c_str()));
    std::string text = ReadBytes(m_path);
    const char area7[] =
        "[Area7]\r\n[Output1]\r\n[Point1]\r\n32767 29994\r\n[Point2]\r\n20000 29994\r\n[Point3]\r\n5000 "
        "29994\r\n"
        "[Point4]\r\n0 29994\r\n[Point5]\r\n-5000 29994\r\n[Point6]\r\n-20000 29994\r\n[Point7]\r\n-32768 "
        "29994\r\n"
        "[Output2]\r\n12006\r\n[Output3]\r\n-32762\r\n[PartitionShape]\r\n2\r\n[2ScanMode]\r\n6\r\n"
        "[MirrorReflectionMode]\r\n0\r\n[HalfHysteresis]\r\n1\r\n\r\n";
    ASSERT_GE(text.size(), sizeof(area7) - 1);
    EXPECT_EQ(area7, text.substr(text.size() - (sizeof(area7) - 1)));
}

TEST_F(AreaFileTest, LoadFile_GivesBackWhatWasSaved) {
    BYTE table[kAreaTableBytes];
    FillTable(table);
    m_set.SetAllFromRaw(table);
    m_set.SelectArea(4);
    ASSERT_TRUE(m_set.SaveFile(m_path.c_str()));
    AreaSet loaded;
    loaded.SetDevice(&m_caps);
    loaded.SelectArea(3);
    ASSERT_TRUE(loaded.LoadFile(m_path.c_str()));
    BYTE back[kAreaTableBytes];
    loaded.GetAllRaw(back);
    EXPECT_EQ(0, std::memcmp(table, back, sizeof(table)));
    EXPECT_EQ(0, loaded.GetCurrentIndex());
    EXPECT_EQ(0u, loaded.IsFileModified());
    EXPECT_EQ(1u, loaded.IsSensorModified());
    EXPECT_FALSE(loaded.CanUndo());
}

TEST_F(AreaFileTest, LoadFile_OlderLayoutGivesOptionsZero) {
    std::string text = "[ZOR Area Data File]\r\n\r\n";
    for (int a = 1; a <= 7; ++a) {
        text += "[Area" + std::to_string(a) + "]\r\n[Output1]\r\n";
        for (int p = 1; p <= 7; ++p)
            text += "[Point" + std::to_string(p) + "]\r\n" + std::to_string(p * 100) + " 500\r\n";
        text +=
            "[Output2]\r\n400\r\n[Output3]\r\n200\r\n[PartitionShape]\r\n1\r\n[JudgementMode]\r\n5\r\n\r\n";
    }
    ASSERT_TRUE(LoadText(text));
    m_set.SelectArea(6);
    EXPECT_EQ(1, m_set.GetPartitionShape());
    EXPECT_EQ(5, m_set.Get2ScanMode());
    EXPECT_EQ(0, m_set.GetMirrorReflectionMode());
    EXPECT_EQ(0x0D, m_set.GetPackedFlags());
    EXPECT_EQ(400, m_set.GetOutput2());
    EXPECT_EQ(200, m_set.GetOutput3());
    EXPECT_EQ(static_cast<DWORD>(700 | 500 << 16), m_set.GetPoint(0)) << "the smallest angle first";
}

TEST_F(AreaFileTest, LoadFile_WithoutHeaderStartingWithFirstArea) {
    std::string text = ResetFileText();
    text.replace(text.find("[Point3]\r\n0 0"), 13, "[Point3]\r\n7 9");
    ASSERT_TRUE(LoadText(text.substr(text.find("[Area1]"))));
    EXPECT_EQ(static_cast<DWORD>(7 | 9 << 16), m_set.GetPoint(0));
}

struct RefusedFile {
    const char* name;
    std::string text;
};

std::string Replaced(const std::string& what, const std::string& with) {
    std::string text = ResetFileText();
    size_t at = text.find(what);
    EXPECT_NE(std::string::npos, at) << what;
    return text.replace(at, what.size(), with);
}

TEST_F(AreaFileTest, LoadFile_RefusedFileChangesNothing) {
    const std::string good = ResetFileText();
    const std::string headerless = good.substr(good.find("[Area1]"));
    std::string size224 = headerless.substr(0, 224);
    const RefusedFile cases[] = {
        {"missing last empty line", good.substr(0, good.size() - 2)},
        {"extra empty line between keys", Replaced("[Area3]\r\n", "[Area3]\r\n\r\n")},
        {"wrong area number", Replaced("[Area2]", "[Area3]")},
        {"letter in a coordinate", Replaced("[Point2]\r\n0 0", "[Point2]\r\n0 1x")},
        {"coordinate not a number", Replaced("[Point2]\r\n0 0", "[Point2]\r\nabc 0")},
        {"coordinate beyond 16 bits", Replaced("[Point2]\r\n0 0", "[Point2]\r\n40000 0")},
        {"output beyond 16 bits", Replaced("[Output2]\r\n0", "[Output2]\r\n-32769")},
        {"shape beyond two bits", Replaced("[PartitionShape]\r\n0", "[PartitionShape]\r\n4")},
        {"2-scan mode beyond three bits", Replaced("[2ScanMode]\r\n0", "[2ScanMode]\r\n8")},
        {"mirror mode not 0 or 1", Replaced("[MirrorReflectionMode]\r\n0", "[MirrorReflectionMode]\r\n2")},
        {"unknown mode key", Replaced("[2ScanMode]", "[3ScanMode]")},
        {"token longer than 32",
         Replaced("[Point1]\r\n0 0", "[Point1]\r\n000000000000000000000000000000000 0")},
        {"headerless 224 bytes", size224},
        {"starts with <", "<" + headerless},
        {"starts with text", "Area data\r\n" + headerless},
        {"empty file", ""},
    };
    BYTE table[kAreaTableBytes];
    FillTable(table);
    m_set.SetAllFromRaw(table);
    m_set.SelectArea(2);
    const std::string before = Table();
    for (const RefusedFile& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(LoadText(c.text));
        EXPECT_EQ(before, Table());
        EXPECT_EQ(2, m_set.GetCurrentIndex());
        EXPECT_EQ(1u, m_set.IsFileModified());
        EXPECT_EQ(0u, m_set.IsSensorModified());
    }
    EXPECT_FALSE(m_set.LoadFile(m_folder.Path("missing.ara").c_str()));
}

TEST_F(AreaFileTest, SaveFile_FailureKeepsModifiedAndOldFile) {
    WriteBytes(m_path, "old");
    m_set.SetPoint(0, 100 | 200 << 16);
    std::string folderTarget = m_folder.Path("folder.ara");
    ASSERT_TRUE(CreateDirectoryA(folderTarget.c_str(), NULL));
    EXPECT_FALSE(m_set.SaveFile(folderTarget.c_str()));
    EXPECT_FALSE(m_set.SaveFile(m_folder.Path("missing\\areas.ara").c_str()));
    EXPECT_EQ(1u, m_set.IsFileModified());
    EXPECT_EQ(std::vector<std::string>{"areas.ara"}, m_folder.Files());
    EXPECT_EQ("old", ReadBytes(m_path));
    RemoveDirectoryA(folderTarget.c_str());
}

}  // namespace
