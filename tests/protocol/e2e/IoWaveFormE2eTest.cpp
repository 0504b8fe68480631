// I/O polling and forcing and the waveform loop through the device port
// against the sensor simulator at 19200 baud.
#include <gtest/gtest.h>

#include "framework/ChildWindow.h"
#include "protocol/DeviceMessages.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"
#include "tests/protocol/TestHost.h"
#include "tests/protocol/e2e/ReadyPort.h"
#include "tests/protocol/e2e/SimLog.h"
#include "tests/protocol/e2e/WatchedPort.h"

namespace {

const DWORD kTimeoutMs = 10000;

size_t CountRx(const std::string& hexPrefix) {
    size_t n = 0;
    for (const std::string& line : SimLog::Lines("RX")) n += line.compare(0, hexPrefix.size(), hexPrefix) == 0;
    return n;
}

// Until the simulator received at least count requests starting with hexPrefix.
bool WaitForRx(const std::string& hexPrefix, size_t count, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (CountRx(hexPrefix) < count) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);  // the simulator's log: nothing to wait on but time
    }
    return true;
}

class IoWaveFormE2e : public ::testing::Test {
protected:
    void SetUp() override {
        m_com = SimLog::ComPort();
        if (m_com == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
        ASSERT_TRUE(ReadyPort(&m_port, &m_application, &m_frame, &m_waveForm, &m_caps, 0));
        ASSERT_TRUE(m_port.OpenAtLevel1(m_com, kTimeoutMs));
    }

    int m_com = 0;
    SensorCaps m_caps;
    WaveFormRecord m_waveForm;
    TestHost m_application;
    ChildWindow m_frame;  // a stand-in: the port records its notifications
    WatchedPort m_port;  // last: closed before its collaborators go
};

}  // namespace

TEST_F(IoWaveFormE2e, PollForceResumeAndReleaseOnClose) {
    // The simulator's lines: inputs 1 and 3 on, no output.
    ASSERT_EQ(m_port.SetIoPolling(1), 1);
    ASSERT_TRUE(m_port.WaitForNote(WM_DEVICE_OUTPUT_STATE, 0x05, 2, kTimeoutMs));
    // Out1 forced off, Out2 on: confirmed, and polling shows them.
    ASSERT_EQ(m_port.WriteIo(0x10, 0x30), 1);
    ASSERT_TRUE(m_port.WaitForNote(WM_DEVICE_IO_FORCED, 1, 1, kTimeoutMs));
    EXPECT_TRUE(m_port.WaitForNote(WM_DEVICE_OUTPUT_STATE, 0x25, 1, kTimeoutMs));
    // Closing the I/O test: polling off, then the release.
    ASSERT_EQ(m_port.SetIoPolling(0), 1);
    ASSERT_EQ(m_port.WriteIo(0, 0), 1);
    ASSERT_TRUE(m_port.WaitForNote(WM_DEVICE_IO_FORCED, 1, 2, kTimeoutMs));
    // No poll after the release: the operation has ended. The link's
    // keep-alive goes on; two of them pass.
    const size_t polls = CountRx("a869");
    EXPECT_TRUE(SimLog::WaitForCount("RX", SimLog::Lines("RX").size() + 2, kTimeoutMs));
    EXPECT_EQ(CountRx("a869"), polls);
    std::string lastIo;
    for (const std::string& line : SimLog::Lines("RX"))
        if (line.compare(0, 2, "a8") == 0) lastIo = line;
    EXPECT_EQ(lastIo.compare(0, 8, "a85a0000"), 0) << lastIo;
}

TEST_F(IoWaveFormE2e, WaveFormLoopAlternatesBothChannels) {
    m_application.SetWaveFormBoth(1);
    ASSERT_EQ(m_port.SetWaveForm(1, 700, 0), 1);
    ASSERT_TRUE(m_port.WaitForNote(WM_DEVICE_WAVE_FORM, 0, 6, kTimeoutMs));
    ASSERT_EQ(m_port.SetWaveForm(0, 700, 0), 1);
    EXPECT_EQ(m_waveForm.GetDistance(), 2200);  // the scene at step 700
    // Every report has a nonzero AGC: the selector changes each request.
    EXPECT_GE(CountRx("a969bc02"), 3u);
    EXPECT_GE(CountRx("a969bc82"), 3u);

    // One channel: six more requests for it, and the other's count stays but
    // for the requests of the first loop still on their way to the simulator.
    m_application.SetWaveFormBoth(0);
    const size_t firstChannel = CountRx("a969bc02");
    const size_t secondChannel = CountRx("a969bc82");
    const size_t reports = m_port.NotesOf(WM_DEVICE_WAVE_FORM).size();
    ASSERT_EQ(m_port.SetWaveForm(1, 700, 1), 1);
    EXPECT_TRUE(WaitForRx("a969bc82", secondChannel + 6, kTimeoutMs));
    EXPECT_TRUE(m_port.WaitForNotes(WM_DEVICE_WAVE_FORM, reports + 4, kTimeoutMs));
    ASSERT_EQ(m_port.SetWaveForm(0, 700, 1), 1);
    EXPECT_LE(CountRx("a969bc02"), firstChannel + 2);
    EXPECT_EQ(m_waveForm.GetFlagBit0(), 1);
    EXPECT_EQ(m_waveForm.GetLevel(), 700);
}
