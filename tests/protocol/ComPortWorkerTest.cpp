#include "protocol/ComPortWorker.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "framework/OwnedHandle.h"
#include "protocol/DeviceMessages.h"
#include "tests/protocol/RecordingDevice.h"
#include "tests/protocol/RecordingPort.h"

namespace {

const DWORD kTimeoutMs = 5000;

// The worker drives the shared port double, which logs the link levels it is
// asked for into the same list as the line calls.
class ComPortWorkerTest : public ::testing::Test {
protected:
    ComPortWorkerTest() : m_worker(&m_port) { m_port.m_logLevels = true; }
    void TearDown() override { m_worker.Stop(); }

    // Waits for the report that ends a request; the calls so far, which are
    // then forgotten.
    std::vector<std::string> CallsUntil(const std::string& report) {
        EXPECT_TRUE(m_port.m_line.WaitFor(report, kTimeoutMs)) << report;
        const std::vector<std::string> calls = m_port.m_line.Entries();
        m_port.m_line.Clear();
        return calls;
    }
    // The port list of the latest scan, from the notification's words.
    DWORD ListWord(int i) {
        const std::vector<Notification> lists = m_port.NotificationsOf(WM_DEVICE_PORT_LIST);
        if (lists.empty()) return 0xDEADBEEF;
        // A copy of its own: the worker's map stays the worker's.
        EXPECT_NE(lists.back().wParam, reinterpret_cast<WPARAM>(m_worker.GetPortMap()));
        const std::string& words = lists.back().data;
        DWORD word = 0;
        memcpy(&word, words.data() + 4 * i, sizeof(word));
        return word;
    }

    RecordingPort m_port;
    ComPortWorker m_worker;
};

typedef std::vector<std::string> Calls;

TEST_F(ComPortWorkerTest, RequestsBeforeTheThreadRunsAreRefused) {
    EXPECT_EQ(m_worker.RequestOpen(3), 0);
    EXPECT_EQ(m_worker.RequestScan(), 0);
    EXPECT_EQ(m_port.m_line.Entries(), Calls());
}

TEST_F(ComPortWorkerTest, EnsureStartedStartsOneThread) {
    ASSERT_EQ(m_worker.EnsureStarted(), 1);
    const DWORD id = m_worker.GetThreadId();
    EXPECT_NE(id, 0u);
    EXPECT_EQ(m_worker.EnsureStarted(), 1);
    EXPECT_EQ(m_worker.GetThreadId(), id);
    m_worker.Stop();
    EXPECT_EQ(m_worker.RequestScan(), 0);
}

TEST_F(ComPortWorkerTest, OpenAndCloseReportThroughTheDevicePort) {
    // Every request first drops the link; a port that opened takes level 1.
    const struct {
        int port;
        int openResult;
        Calls calls;
    } cases[] = {
        {3, 1, {"level 0", "open 3", "level 1", "opened 3 1"}},
        {256, 1, {"level 0", "open 256", "level 1", "opened 256 1"}},
        {1, 1, {"level 0", "open 1", "level 1", "opened 1 1"}},
        {7, 0, {"level 0", "open 7", "opened 0 0"}},
        {0, 1, {"level 0", "close", "opened 0 1"}},
        {257, 1, {"level 0", "close", "opened 0 1"}},
        {-1, 1, {"level 0", "close", "opened 0 1"}},
    };
    ASSERT_EQ(m_worker.EnsureStarted(), 1);
    for (const auto& c : cases) {
        m_port.m_openResult = c.openResult;
        ASSERT_EQ(m_worker.RequestOpen(c.port), 1);
        EXPECT_EQ(CallsUntil(c.calls.back()), c.calls) << c.port;
        EXPECT_EQ(m_port.LineThread(), m_worker.GetThreadId()) << c.port;
    }
}

TEST_F(ComPortWorkerTest, ScanMapsEachPortToItsBit) {
    const struct {
        std::set<int> present;
        int word;
        DWORD bits;
    } cases[] = {
        {{1, 3}, 0, 0x5},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9}, 0, 0x1FF},
        {{32}, 0, 0x80000000UL},
        {{33, 64}, 1, 0x80000001UL},
        {{256}, 7, 0x80000000UL},
        {{}, 0, 0},
    };
    ASSERT_EQ(m_worker.EnsureStarted(), 1);
    for (const auto& c : cases) {
        m_port.m_present = c.present;
        ASSERT_EQ(m_worker.RequestScan(), 1);
        EXPECT_EQ(CallsUntil("list"), Calls({"list"}));
        EXPECT_EQ(m_port.LineThread(), m_worker.GetThreadId());
        for (int i = 0; i < ComPortWorker::kPortMapWords; ++i) {
            EXPECT_EQ(ListWord(i), i == c.word ? c.bits : 0u) << "word " << i;
        }
    }
}

TEST_F(ComPortWorkerTest, RequestsRunInTheOrderPosted) {
    ASSERT_EQ(m_worker.EnsureStarted(), 1);
    m_port.m_present = {2};
    ASSERT_EQ(m_worker.RequestOpen(4), 1);
    ASSERT_EQ(m_worker.RequestScan(), 1);
    ASSERT_EQ(m_worker.RequestOpen(0), 1);
    m_worker.Stop();  // handles what was posted before its quit
    // The level drops on the requesting thread, so only the worker's calls have one order.
    Calls onWorker;
    int drops = 0;
    for (const std::string& call : m_port.m_line.Entries()) {
        if (call == "level 0")
            ++drops;
        else
            onWorker.push_back(call);
    }
    EXPECT_EQ(drops, 2);
    EXPECT_EQ(onWorker, Calls({"open 4", "level 1", "opened 4 1", "list", "close", "opened 0 1"}));
    EXPECT_EQ(ListWord(0), 2u);
}

TEST_F(ComPortWorkerTest, LostReportOfAPortNotOpenClosesNothing) {
    ASSERT_EQ(m_worker.EnsureStarted(), 1);
    // This port's Open opens nothing: no session of it can be lost.
    ASSERT_EQ(m_worker.ReportLost(m_port.Session()), 1);
    ASSERT_EQ(m_worker.ReportLost(m_port.Session() + 1), 1);
    ASSERT_EQ(m_worker.RequestScan(), 1);  // handled after the reports
    EXPECT_EQ(CallsUntil("list"), Calls({"list"}));
}

// The program ends while the worker is busy: its quit is queued, then a
// device switch's last user hands the worker the device it left behind.
// The device is closed as the hand-over promised, and deleted.
TEST_F(ComPortWorkerTest, ADeviceHandedOverBehindTheQuitIsClosed) {
    struct BusyWorker : ComPortWorker {
        explicit BusyWorker(DevicePort* port)
            : ComPortWorker(port), busy(CreateEventA(NULL, TRUE, FALSE, NULL)), go(CreateEventA(NULL, TRUE, FALSE, NULL)) {}
        LRESULT OnScanPorts(WPARAM, LPARAM) override {
            SetEvent(busy.Get());
            WaitForSingleObject(go.Get(), kTimeoutMs);
            return 0;
        }
        OwnedHandle busy, go;
    };
    BusyWorker worker(&m_port);
    ASSERT_EQ(worker.EnsureStarted(), 1);
    ASSERT_EQ(worker.RequestScan(), 1);
    ASSERT_EQ(WaitForSingleObject(worker.busy.Get(), kTimeoutMs), WAIT_OBJECT_0);
    ASSERT_TRUE(PostThreadMessageA(worker.GetThreadId(), WM_QUIT, 0, 0));  // as Stop begins
    EventLog log;
    LiveDevices live;
    std::unique_ptr<SensorDeviceBase> device(new RecordingDevice(&log, &live));
    ASSERT_EQ(worker.RequestRetire(device), 1);
    SetEvent(worker.go.Get());
    EXPECT_EQ(worker.Wait(kTimeoutMs), WAIT_OBJECT_0);
    EXPECT_EQ(log.Entries(), Calls({"close"}));
    EXPECT_EQ(live.Count(), 0u);
}

}  // namespace
