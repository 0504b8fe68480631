#include "protocol/FirmwareUpdateOp.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/TestFiles.h"
#include "tests/protocol/RecordingDevice.h"
#include "tests/protocol/TestProgress.h"

namespace {

typedef FirmwareFile::Pages Pages;

class UpdateDevice : public RecordingDevice {
public:
    int AcquireLinkLevel(BYTE level) override { return Note("acquire ", level); }
    int ReleaseLinkLevel(BYTE level) override { return Note("release ", level); }
    int SetLinkOpFlag(DWORD hold) override { return Note("hold ", hold); }
    void OnFirmwareResult(DWORD result) override { Note("result ", result); }

private:
    int Note(const char* what, DWORD value) {
        m_log.Add(what + std::to_string(value));
        return 1;
    }
};

class UserSaysOk : public FirmwareUpdateOp {
public:
    int badFiles = 0;
    void ShowBadFile() override { ++badFiles; }
    int ConfirmFile(const char*) override { return 1; }
};

FirmwareFile::Page MakePage(DWORD address) {
    FirmwareFile::Page page;
    page.address = address;
    for (DWORD i = 0; i < FirmwareFile::kPageBytes; ++i) page.data[i] = static_cast<BYTE>(address >> 8 ^ i);
    return page;
}

std::string Address(const std::string& request) {
    return request.substr(6, 8);
}

class FirmwareUpdateOpTest : public ::testing::Test {
protected:
    FirmwareUpdateOpTest() : m_application(&m_device.m_log) {}
    void SetUp() override {
        m_op.SetDevice(&m_device);
        m_op.SetApplication(&m_application);
        m_device.SetLevel(3);
    }
    void TearDown() override {
        m_op.Abort();
        m_op.Detach();
    }
    // The operation drops its state before it leaves its loop: the last
    // entries come a moment before it stops running.
    bool WaitUntilStopped() {
        for (int i = 0; i < 1000 && m_op.IsRunning(); ++i) Sleep(10);
        return !m_op.IsRunning();
    }
    std::string WriteFile(std::initializer_list<DWORD> addresses) {
        Pages pages;
        for (DWORD a : addresses) pages.push_back(MakePage(a));
        const std::string path = m_folder.Path("update.tiv");
        FirmwareFile::Write(path.c_str(), pages);
        return path;
    }
    // Plays the sensor: answers every request sent from entry from on, until
    // the final reset, a result or time-out. The first badReads read-backs
    // come back with one byte changed; start is the start reply's byte 2.
    // Returns each request as "start", "erase <address>", ... in order.
    std::vector<std::string> Serve(int badReads = 0, BYTE start = 0) {
        std::vector<std::string> seen;
        std::map<std::string, std::string> flash;
        bool started = false;
        for (size_t next = 0; m_device.m_log.WaitForCount(next + 1, 10000); ++next) {
            const std::string entry = m_device.m_log.Entries()[next];
            if (entry.compare(0, 7, "result ") == 0) break;
            if (entry.compare(0, 9, "send:af5a") != 0) continue;
            const std::string request = entry.substr(5);
            const std::string kind = request.substr(4, 2);
            std::string reply = RecordingDevice::Bytes({0xAF, 0x5A});
            if (!started) {
                seen.push_back("start");
                reply += RecordingDevice::Bytes({start, 0});
                started = start == 0;
            } else if (kind == "00") {
                seen.push_back("reset");
                continue;
            } else {
                const std::string a = Address(request);
                seen.push_back((kind == "20" ? "erase " : kind == "41" ? "program " : "read ") + a);
                reply += static_cast<char>(kind == "20" ? 0x20 : kind == "41" ? 0x41 : 0xFF);
                for (size_t i = 0; i < 8; i += 2) reply += static_cast<char>(std::stoi(a.substr(i, 2), 0, 16));
                if (kind == "41") flash[a] = request.substr(14);
                if (kind == "ff") {
                    std::string data;
                    for (size_t i = 0; i < flash[a].size(); i += 2)
                        data += static_cast<char>(std::stoi(flash[a].substr(i, 2), 0, 16));
                    if (badReads-- > 0) data[5] ^= 0x40;
                    reply += data;
                } else {
                    reply += static_cast<char>(0x80);
                }
            }
            m_op.OnReply(RecordingDevice::Complete(reply));
        }
        return seen;
    }

    TestFolder m_folder;
    UpdateDevice m_device;
    ProgressHost m_application;
    UserSaysOk m_op;
};

}  // namespace

TEST(FirmwareUpdateOp_FlashBlock, EveryBoundary) {
    const struct {
        DWORD address;
        int block;
    } rows[] = {{0xA0000, 10}, {0xAFF00, 10}, {0xB0000, 9}, {0xBFF00, 9}, {0xC0000, 8}, {0xCFF00, 8},
                {0xD0000, 7},  {0xDFF00, 7},  {0xE0000, 6}, {0xEFF00, 6}, {0xF0000, 5}, {0xF7F00, 5},
                {0xF8000, 4},  {0xF9F00, 4},  {0xFA000, 3}, {0xFBF00, 3}, {0xFC000, 2}, {0xFDF00, 2},
                {0xFE000, 1},  {0xFEF00, 1},  {0xFF000, 0}, {0xFFF00, 0}};
    for (const auto& row : rows) EXPECT_EQ(FirmwareUpdateOp::FlashBlockOf(row.address), row.block) << std::hex << row.address;
}

TEST_F(FirmwareUpdateOpTest, UnusableFilesAreRefusedBeforeAnythingIsSent) {
    const std::string good = ReadBytes(WriteFile({0xA0000, 0xA0100, 0xA0200}));
    const std::string cases[] = {
        std::string(),                                    // empty
        good.substr(0, 2 * 264 + 100),                    // odd size
        good.substr(0, 264 - 8),                          // short
        good.substr(264, 264) + good.substr(0, 264),      // out of order
    };
    int expectedBad = 0;
    for (const std::string& bytes : cases) {
        const std::string path = m_folder.Path("bad.tiv");
        ASSERT_TRUE(WriteBytes(path, bytes));
        EXPECT_EQ(m_op.Start(reinterpret_cast<ULONG_PTR>(path.c_str())), 0) << bytes.size();
        EXPECT_EQ(m_op.badFiles, ++expectedBad);
    }
    EXPECT_EQ(m_op.Start(reinterpret_cast<ULONG_PTR>(m_folder.Path("missing.tiv").c_str())), 0);
    EXPECT_EQ(m_op.badFiles, expectedBad + 1);
    EXPECT_FALSE(m_op.IsRunning());
    EXPECT_TRUE(m_device.m_log.Entries().empty());  // nothing sent, no progress shown
}

TEST_F(FirmwareUpdateOpTest, EachBlockIsErasedOnceThenTheSensorRestarts) {
    const std::string path = WriteFile({0xA0000, 0xA0100, 0xFF000, 0xFF100});
    ASSERT_EQ(m_op.Start(reinterpret_cast<ULONG_PTR>(path.c_str())), 1);
    EXPECT_EQ(m_op.Start(reinterpret_cast<ULONG_PTR>(path.c_str())), 0);  // already running
    const std::vector<std::string> want = {
        "start",           "erase 00000a00", "program 00000a00", "read 00000a00", "program 00010a00",
        "read 00010a00",   "erase 00f00f00", "program 00f00f00", "read 00f00f00", "program 00f10f00",
        "read 00f10f00",   "reset"};
    EXPECT_EQ(Serve(), want);
    ASSERT_TRUE(m_device.m_log.WaitFor("progress end"));
    const std::vector<std::string> log = m_device.m_log.Entries();
    auto at = [&](const std::string& e) { return std::find(log.begin(), log.end(), e) - log.begin(); };
    EXPECT_LT(at("cancel 0"), at("acquire 3"));  // a file update cannot be cancelled
    EXPECT_LT(at("hold 1"), at("send:af5a2000000a00"));
    EXPECT_LT(at("progress Address 0FF100H Written"), at("pos 100"));
    EXPECT_LT(at("send:af5a00"), at("result 1"));
    EXPECT_LT(at("result 1"), at("release 3"));
    EXPECT_EQ(at("pos 25"), at("progress Address 0A0000H Written") + 1);
}

TEST_F(FirmwareUpdateOpTest, ReadBackMismatchRestartsTheImageAFewTimesAtMost) {
    const std::string path = WriteFile({0xA0000, 0xA0100});
    ASSERT_EQ(m_op.Start(reinterpret_cast<ULONG_PTR>(path.c_str())), 1);
    std::vector<std::string> seen = Serve(2);
    const std::vector<std::string> head = {"start", "erase 00000a00", "program 00000a00", "read 00000a00",
                                           "erase 00000a00", "program 00000a00", "read 00000a00", "erase 00000a00"};
    ASSERT_GE(seen.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(seen.begin(), seen.begin() + 8), head);
    EXPECT_EQ(seen.back(), "reset");
    ASSERT_TRUE(m_device.m_log.WaitFor("progress end"));
    EXPECT_TRUE(m_device.m_log.Contains("result 1"));
    EXPECT_FALSE(m_device.m_log.Contains("pos 150"));

    ASSERT_TRUE(WaitUntilStopped());
    m_device.m_log.Clear();
    ASSERT_EQ(m_op.Start(reinterpret_cast<ULONG_PTR>(path.c_str())), 1);
    seen = Serve(1000);
    // The first pass and three restarts, each ending at its first read-back.
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "read 00000a00"), 4);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "reset"), 0);
    ASSERT_TRUE(m_device.m_log.WaitFor("release 3"));
    EXPECT_TRUE(m_device.m_log.Contains("result 0"));
}

TEST_F(FirmwareUpdateOpTest, RefusedStartFailsAndSilenceAfterTheStartFails) {
    const std::string path = WriteFile({0xC0000});
    ASSERT_EQ(m_op.Start(reinterpret_cast<ULONG_PTR>(path.c_str())), 1);
    EXPECT_EQ(Serve(0, 1), std::vector<std::string>{"start"});
    ASSERT_TRUE(m_device.m_log.WaitFor("release 3"));
    EXPECT_TRUE(m_device.m_log.Contains("result 0"));
    EXPECT_FALSE(m_device.m_log.Contains("hold 1"));

    ASSERT_TRUE(WaitUntilStopped());
    m_device.m_log.Clear();
    m_op.SetSilenceLimit(3000);
    ASSERT_EQ(m_op.Start(reinterpret_cast<ULONG_PTR>(path.c_str())), 1);
    ASSERT_TRUE(m_device.m_log.WaitFor("send:af5a00"));
    m_op.OnReply(RecordingDevice::Complete(RecordingDevice::Bytes({0xAF, 0x5A, 0, 0})));
    // The erase is resent every 2 s without a reply, until the limit.
    ASSERT_TRUE(m_device.m_log.WaitFor("result 0", 15000));
    const std::vector<std::string> log = m_device.m_log.Entries();
    EXPECT_GE(std::count(log.begin(), log.end(), "send:af5a2000000c00"), 2);
    EXPECT_TRUE(m_device.m_log.WaitFor("release 3"));
}

TEST_F(FirmwareUpdateOpTest, StartWaitsForLevel3AndCancelEndsWithoutResult) {
    m_device.SetLevel(1);
    ASSERT_EQ(m_op.Start(reinterpret_cast<ULONG_PTR>("\t")), 1);  // the application's image
    ASSERT_TRUE(m_device.m_log.WaitFor("acquire 3"));
    EXPECT_FALSE(m_device.m_log.WaitFor("send:af5a02", 500));
    m_device.SetLevel(3);
    ASSERT_TRUE(m_device.m_log.WaitFor("send:af5a02"));
    EXPECT_FALSE(m_device.m_log.Contains("cancel 0"));  // Cancel stays enabled
    m_op.OnReply(RecordingDevice::Complete(RecordingDevice::Bytes({0xAF, 0x5A, 0, 2})));
    ASSERT_TRUE(m_device.m_log.WaitFor("send:af5a200000" "0e00"));
    ASSERT_TRUE(m_application.Cancel());
    m_op.OnReply(RecordingDevice::Complete(RecordingDevice::Bytes({0xAF, 0x5A, 0x20, 0, 0, 0x0E, 0, 0x80})));
    ASSERT_TRUE(m_device.m_log.WaitFor("release 3"));
    EXPECT_TRUE(WaitUntilStopped());
    EXPECT_FALSE(m_device.m_log.Contains("result 0"));
    EXPECT_FALSE(m_device.m_log.Contains("result 1"));
}
