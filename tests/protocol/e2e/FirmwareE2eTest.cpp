// The firmware update through the device port against the simulator's flash
// on a paced line at 115.2 kbit/s (progress recorded, not shown): a whole file, a refused start, a spoilt
// read-back, a sensor that falls silent, and Cancel. The simulator's
// switches are set where CTest lists each test.
#include <gtest/gtest.h>

#include <map>

#include "framework/ChildWindow.h"
#include "protocol/DeviceMessages.h"
#include "protocol/FirmwareFile.h"
#include "protocol/FirmwareUpdateOp.h"
#include "protocol/SensorDevice.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"
#include "tests/TestFiles.h"
#include "tests/framework/ModalCloser.h"
#include "tests/protocol/TestProgress.h"
#include "tests/protocol/e2e/ReadyPort.h"
#include "tests/protocol/e2e/SimLog.h"
#include "tests/protocol/e2e/WatchedPort.h"

namespace {

const WORD kDevice115200 = 2;
const DWORD kLinkTimeoutMs = 10000;
const DWORD kUpdateTimeoutMs = 60000;

// Keeps the device it creates, to reach its update operation.
class UpdatePort : public WatchedPort {
public:
    std::unique_ptr<SensorDeviceBase> CreateDevice(WORD type) override {
        std::unique_ptr<SensorDeviceBase> device = WatchedPort::CreateDevice(type);
        m_device = device.get();
        return device;
    }
    FirmwareUpdateOp* Update() {
        SensorDevice* device = dynamic_cast<SensorDevice*>(m_device);
        return device != NULL ? dynamic_cast<FirmwareUpdateOp*>(device->FindOperation(0xAF)) : NULL;
    }

private:
    SensorDeviceBase* m_device = NULL;
};

// Pages over four flash blocks, with gaps.
FirmwareFile::Pages FilePages() {
    FirmwareFile::Pages pages;
    const DWORD addresses[] = {0xAFE00, 0xAFF00, 0xB0000, 0xC8000, 0xFEF00, 0xFF000, 0xFFF00};
    for (DWORD a : addresses) {
        FirmwareFile::Page page;
        page.address = a;
        for (DWORD i = 0; i < FirmwareFile::kPageBytes; ++i)
            page.data[i] = static_cast<BYTE>((a >> 8) * 31 + i * 13);
        pages.push_back(page);
    }
    return pages;
}

size_t CountRx(const std::string& prefix) {
    size_t n = 0;
    for (const std::string& line : SimLog::Lines("RX"))
        if (line.compare(0, prefix.size(), prefix) == 0) ++n;
    return n;
}

class FirmwareE2e : public ::testing::Test {
protected:
    void SetUp() override {
        m_com = SimLog::ComPort();
        if (m_com == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
        ASSERT_TRUE(ReadyPort(&m_port, &m_application, &m_frame, &m_waveForm, &m_caps, kDevice115200));
        ASSERT_TRUE(m_port.OpenAtLevel1(m_com, kLinkTimeoutMs));
        m_path = m_folder.Path("firmware.tiv");
        ASSERT_EQ(FirmwareFile::Write(m_path.c_str(), FilePages()), 1);
    }

    // Starts the update of the file, answering OK to its question.
    int StartFile() {
        ModalCloser ok(IDOK);
        const int started = m_port.UpdateFirmware(m_path.c_str());
        m_question = ok.texts;
        return started;
    }
    bool WaitForResult(WPARAM result) {
        return m_port.WaitForNote(WM_DEVICE_FIRMWARE_RESULT, result, 1, kUpdateTimeoutMs);
    }
    void ExpectFlashHoldsTheFile() {
        ASSERT_TRUE(SimLog::WaitForCount("FLASH", 1, kLinkTimeoutMs));
        const std::map<DWORD, std::string> flash = SimLog::FlashDump(SimLog::Lines("FLASH").back());
        const FirmwareFile::Pages pages = FilePages();
        ASSERT_EQ(flash.size(), pages.size());
        for (const FirmwareFile::Page& page : pages) {
            const std::string data(reinterpret_cast<const char*>(page.data), FirmwareFile::kPageBytes);
            EXPECT_EQ(flash.at(page.address), SimLog::Hex(data)) << std::hex << page.address;
        }
    }

    int m_com = 0;
    TestFolder m_folder;
    std::string m_path;
    std::string m_question;
    SensorCaps m_caps;
    WaveFormRecord m_waveForm;
    ProgressHost m_application;  // progress recorded, not shown: the dialog has tests of its own
    ChildWindow m_frame;         // a stand-in: the port records its notifications
    UpdatePort m_port;           // last: closed before its collaborators go
};

}  // namespace

TEST_F(FirmwareE2e, MultiBlockFileReachesTheFlashExactly) {
    ASSERT_EQ(StartFile(), 1);
    EXPECT_NE(m_question.find("The firmware will be rewritten to data of \"firmware.tiv\". OK?"),
              std::string::npos)
        << m_question;
    ASSERT_TRUE(WaitForResult(1));
    // Closed at once: the final reset still reaches the sensor, which restarts.
    ASSERT_EQ(m_port.RequestOpen(0), 1);
    ExpectFlashHoldsTheFile();
    // Blocks 10, 9, 8, 1 and 0 are erased once each, every page programmed and read once.
    EXPECT_EQ(CountRx("af5a20"), 5u);
    EXPECT_EQ(CountRx("af5a41"), 7u);
    EXPECT_EQ(CountRx("af5aff"), 7u);
    EXPECT_EQ(SimLog::Lines("PACE").back(), "115200 11");
}

TEST_F(FirmwareE2e, RefusedStartFails) {
    // Counted before the start: level 1 may be back before the result is seen.
    const size_t atLevel1 = m_port.LevelCount(1);
    ASSERT_EQ(StartFile(), 1);
    ASSERT_TRUE(WaitForResult(0));
    EXPECT_EQ(CountRx("af5a00"), 1u);
    EXPECT_EQ(CountRx("af5a20"), 0u);
    // Level 3 is given back: the link settles at level 1 again.
    EXPECT_TRUE(m_port.WaitForLevel(1, atLevel1 + 1, kLinkTimeoutMs));
}

TEST_F(FirmwareE2e, WrongReadBackStartsTheImageAgain) {
    ASSERT_EQ(StartFile(), 1);
    ASSERT_TRUE(WaitForResult(1));
    ExpectFlashHoldsTheFile();
    EXPECT_EQ(CountRx("af5a2000fe0a00"), 2u);  // the first block once more
    EXPECT_EQ(CountRx("af5aff00fe0a00"), 2u);
}

TEST_F(FirmwareE2e, SensorFallingSilentMidUpdateFailsIt) {
    ASSERT_NE(m_port.Update(), static_cast<FirmwareUpdateOp*>(NULL));
    m_port.Update()->SetSilenceLimit(5000);
    ASSERT_EQ(StartFile(), 1);
    ASSERT_TRUE(WaitForResult(0));
    EXPECT_FALSE(m_port.WaitForNote(WM_DEVICE_FIRMWARE_RESULT, 1, 1, 0));
    // The last update request went out more than once before the update gave up.
    std::vector<std::string> requests;
    for (const std::string& line : SimLog::Lines("RX"))
        if (line.compare(0, 4, "af5a") == 0) requests.push_back(line);
    ASSERT_GE(requests.size(), 8u);
    EXPECT_EQ(requests[requests.size() - 1], requests[requests.size() - 2]);
}

TEST_F(FirmwareE2e, PulledCableMidUpdateFailsItAtOnce) {
    ASSERT_EQ(m_port.StartFirmwareFromImage(), 1);
    ASSERT_TRUE(SimLog::PollFor([] { return CountRx("af5aff") >= 5; }, kUpdateTimeoutMs));
    ASSERT_TRUE(SimLog::PullCable());
    // Long before the line's silence limit would end it.
    ASSERT_TRUE(m_port.WaitForNote(WM_DEVICE_FIRMWARE_RESULT, 0, 1, FirmwareUpdateOp::kSilenceLimitMs / 4));
    const DWORD failed = m_port.NotesOf(WM_DEVICE_FIRMWARE_RESULT)[0].tick;
    EXPECT_LE(m_port.LastSentTick(FirmwareUpdateOp::kCommand), failed);
    EXPECT_EQ(m_port.NotesOf(WM_DEVICE_FIRMWARE_RESULT).size(), 1u);
}

TEST_F(FirmwareE2e, CancelEndsTheUpdateFromTheImageWithoutResult) {
    ASSERT_EQ(m_port.StartFirmwareFromImage(), 1);
    for (int i = 0; i < 600 && CountRx("af5a41") < 3; ++i) Sleep(50);
    ASSERT_GE(CountRx("af5a41"), 3u);
    ASSERT_TRUE(m_application.Cancel());
    // The link is given back once the operation sees the dialog gone.
    ASSERT_TRUE(m_port.WaitForLevel(1, m_port.LevelCount(1) + 1, kLinkTimeoutMs));
    const size_t programs = CountRx("af5a41");
    EXPECT_FALSE(m_port.WaitForNote(WM_DEVICE_FIRMWARE_RESULT, 0, 1, 2500));
    EXPECT_TRUE(m_port.NotesOf(WM_DEVICE_FIRMWARE_RESULT).empty());
    EXPECT_EQ(CountRx("af5a41"), programs);
    EXPECT_LT(programs, static_cast<size_t>(FirmwareUpdateOp::kImagePages));
}
