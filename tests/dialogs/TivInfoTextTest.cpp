#include "dialogs/TivInfoText.h"

#include <gtest/gtest.h>

#include "sensor/SensorCaps.h"

namespace {

// A known sensor (model 0) with the given version, function word and option byte.
void Known(SensorCaps* caps, const char* version, WORD function, BYTE option) {
    caps->SetModel(0);
    caps->SetVersionText(version);
    caps->SetFunction(function);
    caps->SetOptionByte(option);
}

const TivInfoText kText(NULL);  // the texts linked into this program

}  // namespace

TEST(TivInfoText, FunctionLinesFollowTheFunctionWordAndOptionMode) {
    struct Case {
        WORD function;
        BYTE option;  // bit 0 slow scanning, bits 1-3 option mode
        std::vector<std::string> lines;
    } cases[] = {
        {0x0000, 0x00,
         {"Output Logic : OFF when detecting in the area", "Output3 Function : Output 3 for detection",
          "Input4 Function : 2 Scans Operation Mode"}},
        // Logic 1, output 3 function 1, input 4 function 1.
        {0x0013, 0x00,
         {"Output Logic : ON when detecting in the area", "Output3 Function : Synchronization",
          "Input4 Function : Switch off Ir-LED"}},
        // Output 3 function 0 by option mode 1 and 2; input 4 function 3 by mode.
        {0x0030, 0x02,
         {"Output Logic : OFF when detecting in the area", "Output3 Function : Synchronization",
          "Input4 Function : Area select(15 areas)"}},
        {0x0030, 0x04,
         {"Output Logic : OFF when detecting in the area", "Output3 Function : Unused",
          "Input4 Function : Synchronization"}},
        // Output 3 function 2 and input 4 function 5 have no name; input 4 function 2 has.
        {0x0054, 0x00,
         {"Output Logic : OFF when detecting in the area", "Output3 Function : Unacquirable",
          "Input4 Function : Unacquirable"}},
        {0x0024, 0x00,
         {"Output Logic : OFF when detecting in the area", "Output3 Function : Unacquirable",
          "Input4 Function : Synchronization"}},
        // Every property, in the tree's order, slow scanning from the option byte.
        {0x3F00, 0x01,
         {"Output Logic : OFF when detecting in the area", "Output3 Function : Output 3 for detection",
          "Input4 Function : 2 Scans Operation Mode", "Flat model", "Long range model", "Short range model",
          "PNP junction", "Small hysteresis", "Hole detection model", "Slow scanning"}},
    };
    for (const Case& c : cases) {
        SensorCaps caps;
        Known(&caps, "1.2.3A", c.function, c.option);
        EXPECT_EQ(kText.FunctionLines(caps), c.lines) << std::hex << c.function << " " << int(c.option);
    }
}

TEST(TivInfoText, LetterUHidesTheFlatModelAndAnUnknownSensorHasNoFunctions) {
    SensorCaps caps;
    Known(&caps, "1.0.0U", 0x0900, 0);  // flat and PNP
    std::vector<std::string> lines = kText.FunctionLines(caps);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3], "PNP junction");

    SensorCaps unknown;
    EXPECT_EQ(kText.FunctionLines(unknown), std::vector<std::string>{"Unacquirable"});
}

TEST(TivInfoText, TroubleCodes) {
    struct Case {
        BYTE code;
        const char* line;
    } cases[] = {
        {0, "No trouble"},
        {1, "Measurement LED trouble"},
        {4, "FRAM trouble"},
        {5, "Software trouble"},
        {6, "Software trouble(0x06)"},
        {0xFE, "Software trouble(0xfe)"},
        {0xFF, "Unacquirable"},
    };
    for (const Case& c : cases) EXPECT_EQ(kText.TroubleLine(c.code), c.line) << int(c.code);
}

TEST(TivInfoText, CountersAreUnsigned) {
    EXPECT_EQ(kText.CounterLine(0, 0xFFFFFFFFu), "Number of Scan : 4294967295");
    EXPECT_EQ(kText.CounterLine(5, 0x80000000u), "Number of Motor Torouble : 2147483648");
    EXPECT_EQ(kText.CounterLine(7, 0), "Number of Communication Error : 0");
}

TEST(TivInfoText, VersionLineAndLongTextsAreCutToTheLineBuffer) {
    SensorCaps caps;
    EXPECT_EQ(kText.VersionLine(caps), "Unacquirable");
    caps.SetVersionText("5.1.3K");
    EXPECT_EQ(kText.VersionLine(caps), "ZOR Control Program Ver.5.1.3K");

    // The longest version text the sensor can hold, and a module's overlong label.
    const std::string version = "5.1.3K" + std::string(249, 'x');
    caps.SetVersionText(version.c_str());
    ASSERT_EQ(caps.GetVersionText().size(), 255u);
    const std::string line = kText.VersionLine(caps);
    EXPECT_EQ(line.size(), 255u);
    EXPECT_EQ(line.compare(0, 30, "ZOR Control Program Ver.5.1.3K"), 0);
    const std::string joined = TivInfoText::Join(std::string(300, 'L'), "value");
    EXPECT_EQ(joined, std::string(255, 'L'));
}
