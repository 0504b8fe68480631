// The FRAM operation through the device port against the sensor simulator
// on a paced line at 115.2 kbit/s (progress recorded, not shown): the areas
// read and written; the simulator's FRAM is checked through its dump. The
// simulator's switches are set where CTest lists each test.
#include <gtest/gtest.h>

#include "framework/ChildWindow.h"
#include "protocol/DeviceMessages.h"
#include "protocol/FramOp.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"
#include "tests/protocol/TestProgress.h"
#include "tests/protocol/e2e/ReadyPort.h"
#include "tests/protocol/e2e/SimLog.h"
#include "tests/protocol/e2e/WatchedPort.h"

namespace {

const WORD kDevice115200 = 2;
const DWORD kTimeoutMs = 20000;

void PutWord(std::string* table, int offset, int value) {
    (*table)[offset] = static_cast<char>(value & 0xFF);
    (*table)[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

int WordOf(const std::string& table, int offset) {
    return static_cast<short>(static_cast<BYTE>(table[offset]) | (static_cast<BYTE>(table[offset + 1]) << 8));
}

// Area 3 (index 2): points (-1, 2) and (300, 400), the others at the origin;
// Output2 1000, Output3 500; 2ScanMode 5, PartitionShape 2, HalfHysteresis.
std::string KnownTable() {
    std::string table(238, '\0');
    const int area = 34 * 2;
    PutWord(&table, area + 0, -1);
    PutWord(&table, area + 2, 2);
    PutWord(&table, area + 4, 300);
    PutWord(&table, area + 6, 400);
    PutWord(&table, area + 28, 1000);
    PutWord(&table, area + 30, 500);
    PutWord(&table, area + 32, 5 | (2 << 3) | (1 << 6));
    return table;
}

// The 16 words of area 3 in each layout, worked by hand. Version 1.0: points
// as they are, word 14 = 1000 | shape 2 << 13, word 15 = 500 | flags << 13.
// Later: bit 15 of word i is flags bit i (flags 0x55: bits 0, 2, 4, 6).
const WORD kArea3Version10[16] = {0xFFFF, 0x0002, 0x012C, 0x0190, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x43E8, 0xA1F4};
const WORD kArea3Later[16] = {0xFFFF, 0x0002, 0x812C, 0x0190, 0x8000, 0, 0x8000, 0, 0, 0, 0, 0, 0, 0, 0x03E8, 0x01F4};

// Polls until done holds; false after timeoutMs. The operation's end after
// its result is not announced: there is nothing to wait on but time.
template <class Done>
bool PollUntil(Done done, DWORD timeoutMs = kTimeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(10);
    }
    return true;
}

class FramE2e : public ::testing::Test {
protected:
    void SetUp() override {
        m_com = SimLog::ComPort();
        if (m_com == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
        ASSERT_TRUE(ReadyPort(&m_port, &m_application, &m_frame, &m_waveForm, &m_caps, kDevice115200));
        ASSERT_TRUE(m_port.OpenAtLevel1(m_com, kTimeoutMs));
        // The version decides the layout; the first report may be the empty
        // text of the link that was reset before the port opened.
        for (size_t n = 1; m_caps.GetMajor() == 0; ++n)
            ASSERT_TRUE(m_port.WaitForNotes(WM_DEVICE_SENSOR_INFO, n, kTimeoutMs));
    }

    // The result of the first area read or write; -1 when none came.
    WPARAM Result(UINT msg) {
        if (!m_port.WaitForNotes(msg, 1, kTimeoutMs)) return static_cast<WPARAM>(-1);
        return m_port.NotesOf(msg)[0].wParam;
    }
    // Writes the table once the last transfer has let go of the operation:
    // its result arrives just before it stops.
    bool WriteAreas(const std::string& table) {
        const BYTE* bytes = reinterpret_cast<const BYTE*>(table.data());
        return PollUntil([this, bytes] { return m_port.WriteAreas(bytes) == 1; }, 5000);
    }
    // Writes the RX lines that wrote FRAM block 2.
    static size_t Block2Writes() {
        size_t n = 0;
        for (const std::string& rx : SimLog::Lines("RX")) n += rx.compare(0, 6, "a45a02") == 0;
        return n;
    }

    int m_com = 0;
    SensorCaps m_caps;
    WaveFormRecord m_waveForm;
    EventLog m_progress;
    ProgressHost m_application{&m_progress};  // progress recorded, not shown: the dialog has tests of its own
    ChildWindow m_frame;                      // a stand-in: the port records its notifications
    WatchedPort m_port;  // last: closed before its collaborators go
};

}  // namespace

TEST_F(FramE2e, ReadAreasThenWriteThemBackLeavesTheMemoryUnchanged) {
    const std::vector<WORD> before = SimLog::FramWords();
    ASSERT_EQ(before.size(), 512u);
    ASSERT_EQ(m_port.ReadAreas(), 1);
    ASSERT_NE(Result(WM_DEVICE_AREA_READ), 0u);
    const std::string table = m_port.NotesOf(WM_DEVICE_AREA_READ)[0].data;
    ASSERT_EQ(table.size(), 238u);
    // KnownAreas.ara: area a, point p at (400 p - 1600 - a, 500 + 100 p + 10 a), Output2 3000 + a.
    EXPECT_EQ(WordOf(table, 0), -1201);
    EXPECT_EQ(WordOf(table, 2), 610);
    EXPECT_EQ(WordOf(table, 34 * 6 + 24), 1193);
    EXPECT_EQ(WordOf(table, 34 * 6 + 28), 3007);
    EXPECT_EQ(WordOf(table, 34 * 6 + 32), 7 | (1 << 3));  // 2ScanMode 7, PartitionShape 1

    ASSERT_TRUE(WriteAreas(table));
    EXPECT_EQ(Result(WM_DEVICE_AREA_WRITTEN), 1u);
    EXPECT_EQ(SimLog::Lines("COMMIT"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(SimLog::FramWords(), before);
    EXPECT_TRUE(m_progress.Contains("progress #9482"));  // "Reading Area..."
    EXPECT_TRUE(m_progress.Contains("progress #9483"));  // "Writing Area..."
    // The words after the areas were known from the read: block 2 was read once.
    size_t block2Reads = 0;
    for (const std::string& rx : SimLog::Lines("RX")) block2Reads += rx.compare(0, 6, "a46902") == 0;
    EXPECT_EQ(block2Reads, 1u);
}

TEST_F(FramE2e, WriteKnownAreasLandsInTheSensorsLayout) {
    const bool version10 = m_caps.GetMajor() == 1 && m_caps.GetMinor() == 0;
    const std::string table = KnownTable();
    ASSERT_TRUE(WriteAreas(table));
    ASSERT_EQ(Result(WM_DEVICE_AREA_WRITTEN), 1u);
    const std::vector<WORD> fram = SimLog::FramWords();
    ASSERT_EQ(fram.size(), 512u);
    const WORD* area3 = version10 ? kArea3Version10 : kArea3Later;
    for (int w = 0x40; w < 0xB0; ++w) {
        const int inArea3 = w - 0x60;
        const WORD want = inArea3 >= 0 && inArea3 < 16 ? area3[inArea3] : 0;
        EXPECT_EQ(fram[w], want) << std::hex << w;
    }
    // Nothing was read before: block 2 was read first, and its last 16 words stay.
    for (int w = 0xB0; w < 0xC0; ++w) EXPECT_EQ(fram[w], 0xC000 | w) << std::hex << w;
    EXPECT_EQ(fram[0x3F], 0xC03F);
    EXPECT_EQ(fram[0xC0], 0xC0C0);
    // Faults on the later layout's line: one wrong echo and one refused commit, both repaired.
    if (!version10) {
        EXPECT_EQ(SimLog::Lines("BADECHO").size(), 1u);
        EXPECT_EQ(SimLog::Lines("REFUSE").size(), 1u);
    }
}

TEST_F(FramE2e, CancelAfterTheFirstBlockReportsTheWriteFailed) {
    const std::string table = KnownTable();
    ASSERT_TRUE(WriteAreas(table));
    // Block 2 is never echoed right: the transfer hangs there until cancelled.
    ASSERT_TRUE(SimLog::WaitForLine("COMMIT", "1", kTimeoutMs));
    const size_t writesAtCancel = Block2Writes();
    ASSERT_TRUE(m_application.Cancel());
    EXPECT_EQ(Result(WM_DEVICE_AREA_WRITTEN), kAreasPartlyWritten);
    // Stopped at the next tick or reply, not after its ten retries.
    EXPECT_LE(Block2Writes(), writesAtCancel + 2);
    EXPECT_TRUE(m_progress.WaitFor("progress end", kTimeoutMs));
    const std::vector<WORD> fram = SimLog::FramWords();
    ASSERT_EQ(fram.size(), 512u);
    EXPECT_EQ(fram[0x60], 0xFFFF);  // block 1 holds the new areas 1..4
    EXPECT_EQ(fram[0x80], 0xC080);  // block 2 is as it was
}

TEST_F(FramE2e, LinkLostDuringAReadReportsTheReadFailed) {
    // The sensor goes dark at the first FRAM request and stays dark.
    ASSERT_EQ(m_port.ReadAreas(), 1);
    EXPECT_EQ(Result(WM_DEVICE_AREA_READ), 0u);
    EXPECT_TRUE(m_progress.WaitFor("progress end", kTimeoutMs));
    EXPECT_FALSE(SimLog::Lines("OUTAGE").empty());
}

TEST_F(FramE2e, PulledCableAfterTheFirstCommitEndsTheWriteAtOnce) {
    ASSERT_TRUE(WriteAreas(KnownTable()));
    // Block 2 is never echoed right: the transfer writes it again and again.
    ASSERT_TRUE(SimLog::WaitForLine("COMMIT", "1", kTimeoutMs));
    const DWORD pulled = GetTickCount();
    ASSERT_TRUE(SimLog::PullCable());
    ASSERT_TRUE(m_port.WaitForNotes(WM_DEVICE_AREA_WRITTEN, 1, kTimeoutMs));
    const WatchedPort::Note result = m_port.NotesOf(WM_DEVICE_AREA_WRITTEN)[0];
    EXPECT_EQ(result.wParam, kAreasPartlyWritten);
    // Well before the wait for the link level could have run out.
    EXPECT_LT(result.tick - pulled, FramOp::kLevelWaitTicks * FramOp::kLevelWaitMs / 2);
    EXPECT_LE(m_port.LastSentTick(FramOp::kCommand), result.tick);
    EXPECT_TRUE(m_progress.WaitFor("progress end", kTimeoutMs));
}
