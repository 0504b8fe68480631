#include "sensor/SensorCaps.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

struct VersionCase {
    const char* text;
    WORD major, minor, build;
    char letter;
    const char* kept;  // the text stored, "" when rejected
};

const VersionCase kVersions[] = {
    {"1.2.3A", 1, 2, 3, 'A', "1.2.3A"},
    {"1.2.3", 1, 2, 3, 0, "1.2.3"},
    {"1,2,3", 0, 0, 0, 0, ""},
    {nullptr, 0, 0, 0, 0, ""},
    {"1.2.3a", 1, 2, 3, 0, "1.2.3a"},      // lower-case letter is no letter
    {"5.3.10B rev", 5, 3, 10, 'B', "5.3.10B rev"},
    {"1.2", 0, 0, 0, 0, ""},               // second separator never reached
    {"1.2.", 1, 2, 0, 0, "1.2."},          // build not reached: 0
    {"1.2.x", 1, 2, 0, 0, "1.2.x"},        // build unreadable: 0, no letter
    {" 4. 1. 7 Z", 4, 1, 7, 0, " 4. 1. 7 Z"},  // the letter slot holds the blank
    {"70000.65536.65535", 4464, 0, 65535, 0, "70000.65536.65535"},
    // Saturated to the int range first, then cut to 16 bits.
    {"99999999999.-99999999999.-1", 0xFFFF, 0, 0xFFFF, 0, "99999999999.-99999999999.-1"},
    {"", 0, 0, 0, 0, ""},
};

}  // namespace

TEST(SensorCaps_Version, ParsesTheTableOfTexts) {
    for (const VersionCase& c : kVersions) {
        SensorCaps caps;
        caps.SetVersionText("9.9.9Q");  // a previous version must leave nothing behind
        caps.SetVersionText(c.text);
        SCOPED_TRACE(c.text ? c.text : "(null)");
        EXPECT_EQ(caps.GetMajor(), c.major);
        EXPECT_EQ(caps.GetMinor(), c.minor);
        EXPECT_EQ(caps.GetBuild(), c.build);
        EXPECT_EQ(caps.GetLetter(), c.letter);
        EXPECT_EQ(caps.GetVersionText(), c.kept);
    }
}

TEST(SensorCaps_Version, LongTextIsCutTo255Characters) {
    std::string text = "1.2.3A" + std::string(400, 'x');
    SensorCaps caps;
    caps.SetVersionText(text.c_str());
    EXPECT_EQ(caps.GetVersionText(), text.substr(0, 255));
    EXPECT_EQ(caps.GetBuild(), 3);
}

TEST(SensorCaps_Model, SetModelStoresZeroForEveryCode) {
    SensorCaps caps;
    EXPECT_EQ(caps.GetModel(), 0xFFFF);
    EXPECT_EQ(caps.IsUnknown(), 1);
    for (WORD code : {WORD(1), WORD(0xFFFF), WORD(0)}) {
        caps.SetModel(code);
        EXPECT_EQ(caps.GetModel(), 0);
        EXPECT_EQ(caps.IsUnknown(), 0);
    }
    caps.Reset();
    EXPECT_EQ(caps.IsUnknown(), 1);
}

TEST(SensorCaps_Reset, RestoresDefaultsButKeepsFilterSwitch) {
    SensorCaps caps;
    const BYTE filter[2] = {0x12, 0x34};
    caps.SetFilterSwitch(filter);
    caps.SetModel(0);
    caps.SetFunction(0xFFFF);
    caps.SetOptionByte(0xFF);
    caps.SetVersionText("2.1.4K");
    caps.Reset();
    EXPECT_EQ(caps.GetModel(), 0xFFFF);
    EXPECT_EQ(caps.GetFunction(), 0x30);
    EXPECT_EQ(caps.GetInput4Function(), 3);
    EXPECT_EQ(caps.GetOptionByte(), 0);
    EXPECT_EQ(caps.GetMajor() + caps.GetMinor() + caps.GetBuild(), 0);
    EXPECT_EQ(caps.GetVersionText(), "");
    BYTE out[2] = {0, 0};
    caps.GetFilterSwitch(out);
    EXPECT_EQ(out[0], 0x12);
    EXPECT_EQ(out[1], 0x34);
}

TEST(SensorCaps_Bits, SettersTakeLowBitsAndLeaveOtherFields) {
    SensorCaps caps;
    caps.SetFunction(0);
    caps.SetOutput3Function(0xF5);  // low 3 bits: 5
    EXPECT_EQ(caps.GetFunction(), 0x000A);
    caps.SetInput4Function(9);  // low 3 bits: 1
    EXPECT_EQ(caps.GetFunction(), 0x001A);
    caps.SetOutputLogic(3);
    caps.SetFunctionBit7(1);
    caps.SetFlatModel(1);
    caps.SetLongRange(1);
    caps.SetShortRange(1);
    caps.SetPnp(1);
    EXPECT_EQ(caps.GetFunction(), 0x0F9B);
    EXPECT_EQ(caps.GetFunctionBit8(), 1);
    caps.SetFunctionBit8(0);
    EXPECT_EQ(caps.IsFlatModel(), 0);
    caps.SetFunction(0x3000);
    EXPECT_EQ(caps.HasSmallHysteresis(), 1);
    EXPECT_EQ(caps.IsHoleDetectionModel(), 1);
    EXPECT_EQ(caps.GetOutput3Function(), 0);

    caps.SetOptionByte(0xF0);
    caps.SetSlowScanning(2);  // a boolean: any non-zero is on
    caps.SetOptionMode(0x0B);  // low 3 bits: 3
    EXPECT_EQ(caps.GetOptionByte(), 0xF7);
    EXPECT_EQ(caps.IsSlowScanning(), 1);
    EXPECT_EQ(caps.GetOptionMode(), 3);
}

namespace {

struct DeriveCase {
    bool firstFamily;  // SetModel(0) before, else no model
    WORD function;
    const char* version;
    WORD expected;
};

// Worked by hand from the bit layout.
const DeriveCase kDerive[] = {
    {false, 0x0030, "3.5.0", 0x0004},  // fresh object: logic 0, out3 2, in4 0
    {false, 0xFFFF, "3.0.0", 0xF004},
    {false, 0xFFFE, "3.1.9", 0xF004},
    {false, 0x0000, "3.2.0", 0x0005},
    {false, 0x0000, "3.3.0", 0x0005},
    {false, 0x0001, "3.4.0", 0x0005},  // other minor: logic unchanged
    {false, 0x0000, "3.4.0", 0x0004},
    {false, 0xFFFF, "4.0.0", 0xF034},
    {false, 0xFFFF, "5.0.0", 0xFE7F},
    {false, 0xFFFF, "6.0.0", 0xFFFF},
    {false, 0xFFFF, "1,2,3", 0xFFFF},
    {true, 0xFFFF, "5.0.0", 0xFEFF},   // first family: only the flat bit
    {true, 0xFFFF, "3.0.0", 0xFEFF},
    {true, 0xFFFF, "5.0.0U", 0xFFFF},
};

}  // namespace

TEST(SensorCaps_DeriveFlags, FunctionBitsFollowModelAndVersion) {
    for (const DeriveCase& c : kDerive) {
        SensorCaps caps;
        if (c.firstFamily) caps.SetModel(0);
        caps.SetFunction(c.function);
        caps.SetVersionText(c.version);
        EXPECT_EQ(caps.GetFunction(), c.expected) << c.version << " first=" << c.firstFamily;
    }
}

namespace {

struct CapsProfile {
    bool firstFamily;
    const char* version;
    int answers[31];  // index 0 and 31 are checked separately
};

// Each row worked by hand from the capability rules for ids 1..30.
const CapsProfile kProfiles[] = {
    {false, "0.0.0", {0, 0, 1, 1, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 4, 1, 10000, -10000, -450, 769,
                      0, 0, 1, 1, 1, 0, 0, 0, 0, 0}},
    {false, "5.0.7", {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 4, 1, 10000, -10000, -450, 769,
                      0, 1, 1, 1, 1, 0, 0, 0, 0, 0}},
    {false, "3.5.1", {0, 0, 1, 1, 0, 1, 1, 1, 1, 0, 0, 0, 1, 0, 0, 4, 1, 10000, -10000, -450, 769,
                      0, 0, 1, 1, 1, 0, 0, 0, 0, 0}},
    {true, "1.0.5", {0, 0, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4, 1, 6000, -6000, -450, 769,
                     1, 1, 0, 0, 0, 0, 0, 0, 0, 0}},
    {true, "2.1.4K", {0, 0, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4, 1, 10000, -10000, -450, 769,
                      1, 1, 1, 0, 1, 1, 1, 1, 1, 1}},
    {true, "0.0.0U", {0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4, 1, 3500, -10000, 765, 31,
                      1, 0, 0, 1, 0, 0, 0, 0, 1, 0}},
    {true, "1.0.2", {0, 0, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4, 1, 6000, -6000, -450, 769,
                     1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
};

}  // namespace

TEST(SensorCaps_Capability, AnswersEveryIdForSeveralSensors) {
    for (const CapsProfile& p : kProfiles) {
        SensorCaps caps;
        if (p.firstFamily) caps.SetModel(0);
        caps.SetVersionText(p.version);
        for (int id = 1; id <= 30; ++id) {
            EXPECT_EQ(caps.HasCapability(id), p.answers[id])
                << p.version << " first=" << p.firstFamily << " id " << id;
        }
        EXPECT_EQ(caps.HasCapability(0), 0);
        EXPECT_EQ(caps.HasCapability(31), 0);
    }
}

TEST(SensorCaps_Capability, FlagBitsAnswerTheirQueries) {
    SensorCaps caps;
    caps.SetVersionText("5.0.7");
    caps.SetFlatModel(1);
    EXPECT_EQ(caps.HasCapability(4), 0);  // flat: no id 4
    EXPECT_EQ(caps.HasCapability(19), -450);
}

// The device stores versions while the user-interface thread reads them:
// a reader must never see the numbers of one version with the letter of another.
TEST(SensorCaps_Threads, ReaderNeverSeesHalfAVersion) {
    SensorCaps caps;
    caps.SetVersionText("1.1.1A");
    std::atomic<bool> done(false);
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i) caps.SetVersionText((i & 1) ? "2.2.2B" : "1.1.1A");
        done = true;
    });
    int torn = 0;
    int reads = 0;
    while (!done || reads < 1000) {
        WORD major = 0, minor = 0, build = 0;
        char letter = 0;
        caps.GetVersion(&major, &minor, &build, &letter);
        if (major != minor || minor != build || letter != 'A' + major - 1) ++torn;
        ++reads;
    }
    writer.join();
    EXPECT_EQ(torn, 0);
}
