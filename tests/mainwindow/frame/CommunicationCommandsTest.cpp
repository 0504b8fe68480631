#include "resources/MenuIds.h"
#include "tests/framework/ModalScript.h"
#include "tests/mainwindow/frame/CommandBench.h"

#include <gtest/gtest.h>

#include <string>

namespace {

typedef ModalScript::Step Step;

class CommunicationCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(static_cast<HWND>(NULL), bench.Start());
        bench.port.opened.clear();
    }

    CommandBench bench;
};

}  // namespace

TEST_F(CommunicationCommands, PortCommandsOpenTheirPortAndDisconnectCloses) {
    const struct {
        WORD id;
        int port;
    } cases[] = {{0x8100, 1}, {0x8102, 3}, {0x81FF, 256}, {ID_COMM_DISCONNECT, 0}};
    for (const auto& c : cases) {
        bench.frame.communicationMenuUpdates = 0;
        bench.Command(c.id);
        ASSERT_FALSE(bench.port.opened.empty()) << c.id;
        EXPECT_EQ(c.port, bench.port.opened.back()) << c.id;
        EXPECT_EQ(c.port, bench.frame.GetSettings().comPort) << c.id;
        EXPECT_EQ(1, bench.frame.communicationMenuUpdates) << c.id;
    }
}

TEST_F(CommunicationCommands, ReadAreaAsksFirst) {
    const struct {
        WORD answer;
        int reads;
    } cases[] = {{IDCANCEL, 0}, {IDOK, 1}};
    for (const auto& c : cases) {
        ModalScript script({{c.answer, ""}});
        bench.Command(ID_COMM_READ_AREA);
        ASSERT_EQ(1u, script.seen.size());
        EXPECT_NE(std::string::npos, script.TextsOf(0).find("Area will be read. OK?"));
        EXPECT_EQ(c.reads, bench.port.areaReads) << c.answer;
    }
}

// The table of all seven areas goes to the port; areas beyond what the
// connected sensor can hold are refused with a warning and nothing changes.
TEST_F(CommunicationCommands, WriteAreaSendsTheTableOrWarnsOfItsRange) {
    bench.caps.SetModel(0);
    bench.caps.SetVersionText("1.0.0");  // 6000 mm of range
    bench.areas.SelectArea(4);
    bench.areas.SetPoint(2, Packed(-5999, 5999));
    const struct {
        const char* name;
        WORD answer;
        int farX;  // a vertex of area 5; 0 = none
        size_t boxes;
        const char* warning;
    } cases[] = {
        {"cancel", IDCANCEL, 0, 1, 0},
        {"within range", IDOK, 0, 1, 0},
        {"beyond range", IDOK, 6001, 2, "This area cannot be written."},
    };
    for (const auto& c : cases) {
        if (c.farX != 0) bench.areas.SetPoint(3, Packed(c.farX, 100));
        const std::string table = RawAreas(bench.areas);
        bench.port.written.clear();
        ModalScript script({{c.answer, ""}, {IDOK, ""}});
        bench.Command(ID_COMM_WRITE_AREA);
        ASSERT_EQ(c.boxes, script.seen.size()) << c.name;
        EXPECT_NE(std::string::npos, script.TextsOf(0).find("Area will be written. OK?")) << c.name;
        if (c.warning != 0) {
            EXPECT_NE(std::string::npos, script.TextsOf(1).find(c.warning)) << c.name;
        }
        if (c.answer == IDOK) {
            ASSERT_EQ(1u, bench.port.written.size()) << c.name;
            EXPECT_EQ(table, bench.port.written[0]) << c.name;
        } else {
            EXPECT_TRUE(bench.port.written.empty()) << c.name;
        }
        EXPECT_EQ(table, RawAreas(bench.areas)) << c.name;
    }
}

// Unsaved scans go without a question.
TEST_F(CommunicationCommands, ClearDiscardsTheRecordingWithoutAsking) {
    ScanData scan;
    bench.data.Append(scan);
    bench.view.redraws.clear();
    bench.frame.viewMenuUpdates = 0;
    bench.frame.communicationMenuUpdates = 0;
    ModalScript script({});
    bench.Command(ID_COMM_CLEAR_RECORD);
    EXPECT_EQ(0u, script.seen.size());
    EXPECT_EQ(0u, bench.data.Count());
    EXPECT_EQ(0u, bench.data.IsModified());
    ASSERT_EQ(1u, bench.view.redraws.size());
    EXPECT_EQ(3, bench.view.redraws[0].flags);
    EXPECT_EQ(1, bench.frame.viewMenuUpdates);
    EXPECT_EQ(1, bench.frame.communicationMenuUpdates);
}

// The sensor information and I/O test dialogs open modeless beside the frame.
TEST_F(CommunicationCommands, InformationAndIoTestOpenTheirDialogs) {
    for (WORD id : {ID_COMM_SENSOR_INFO, ID_COMM_IO_TEST}) {
        bench.Command(id);
        std::vector<HWND> open = bench.OwnedDialogs();
        EXPECT_EQ(1u, open.size()) << id;
        bench.Command(id);  // a second time: the same window
        EXPECT_EQ(open, bench.OwnedDialogs()) << id;
        bench.CloseOwnedDialogs();
    }
}
