#include "protocol/ComPortWorker.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "protocol/DevicePort.h"

namespace {

const DWORD kTimeoutMs = 5000;

// A device port that records what the worker asks of it, and on which thread.
class RecordingDevicePort : public DevicePort {
public:
    RecordingDevicePort() : m_worker(NULL), m_openResult(1) {
        InitializeCriticalSection(&m_lock);
        m_reported = CreateEventA(NULL, FALSE, FALSE, NULL);
        ZeroMemory(m_list, sizeof(m_list));
    }
    ~RecordingDevicePort() override {
        CloseHandle(m_reported);
        DeleteCriticalSection(&m_lock);
    }

    void Watch(ComPortWorker* worker) { m_worker = worker; }
    void SetOpenResult(int result) { m_openResult = result; }
    void SetPresent(std::set<int> ports) { m_present = ports; }

    int Open(int port) override {
        Record("open " + std::to_string(port) + Where());
        return m_openResult;
    }
    int Close() override {
        Record("close" + Where());
        return 1;
    }
    BOOL GetDefaultCommConfig(int port, LPCOMMCONFIG config, LPDWORD size) override {
        EXPECT_GE(*size, sizeof(COMMCONFIG));
        EXPECT_NE(config, nullptr);
        return m_present.count(port) != 0 ? TRUE : FALSE;
    }
    int AcquireLinkLevel(BYTE level) override {
        Record("level " + std::to_string(level));
        return 1;
    }
    BOOL NotifyPortOpened(int port, int ok) override {
        Record("opened " + std::to_string(port) + " " + std::to_string(ok));
        SetEvent(m_reported);
        return TRUE;
    }
    BOOL NotifyPortList(const DWORD* bits) override {
        Record("list");
        EXPECT_EQ(bits, m_worker->GetPortMap());
        memcpy(m_list, bits, sizeof(m_list));
        SetEvent(m_reported);
        return TRUE;
    }

    bool WaitReported() { return WaitForSingleObject(m_reported, kTimeoutMs) == WAIT_OBJECT_0; }
    std::vector<std::string> Calls() {
        EnterCriticalSection(&m_lock);
        std::vector<std::string> copy = m_calls;
        m_calls.clear();
        LeaveCriticalSection(&m_lock);
        return copy;
    }
    DWORD ListWord(int i) const { return m_list[i]; }

private:
    std::string Where() { return GetCurrentThreadId() == m_worker->GetThreadId() ? " on worker" : " elsewhere"; }
    void Record(const std::string& call) {
        EnterCriticalSection(&m_lock);
        m_calls.push_back(call);
        LeaveCriticalSection(&m_lock);
    }

    ComPortWorker* m_worker;
    int m_openResult;
    std::set<int> m_present;
    CRITICAL_SECTION m_lock;  // guards m_calls: the test and the worker record
    std::vector<std::string> m_calls;
    HANDLE m_reported;
    DWORD m_list[ComPortWorker::kPortMapWords];
};

class ComPortWorkerTest : public ::testing::Test {
protected:
    ComPortWorkerTest() : m_worker(&m_port) { m_port.Watch(&m_worker); }
    RecordingDevicePort m_port;
    ComPortWorker m_worker;
};

typedef std::vector<std::string> Calls;

TEST_F(ComPortWorkerTest, RequestsBeforeTheThreadRunsAreRefused) {
    EXPECT_EQ(m_worker.RequestOpen(3), 0);
    EXPECT_EQ(m_worker.RequestScan(), 0);
    EXPECT_EQ(m_port.Calls(), Calls());
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
    const struct {
        int port;
        int openResult;
        Calls calls;
    } cases[] = {
        {3, 1, {"level 0", "open 3 on worker", "level 1", "opened 3 1"}},
        {256, 1, {"level 0", "open 256 on worker", "level 1", "opened 256 1"}},
        {1, 1, {"level 0", "open 1 on worker", "level 1", "opened 1 1"}},
        {7, 0, {"level 0", "open 7 on worker", "opened 0 0"}},
        {0, 1, {"level 0", "close on worker", "opened 0 1"}},
        {257, 1, {"level 0", "close on worker", "opened 0 1"}},
        {-1, 1, {"level 0", "close on worker", "opened 0 1"}},
    };
    ASSERT_EQ(m_worker.EnsureStarted(), 1);
    for (const auto& c : cases) {
        m_port.SetOpenResult(c.openResult);
        ASSERT_EQ(m_worker.RequestOpen(c.port), 1);
        ASSERT_TRUE(m_port.WaitReported()) << c.port;
        EXPECT_EQ(m_port.Calls(), c.calls) << c.port;
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
        m_port.SetPresent(c.present);
        ASSERT_EQ(m_worker.RequestScan(), 1);
        ASSERT_TRUE(m_port.WaitReported());
        EXPECT_EQ(m_port.Calls(), Calls({"list"}));
        for (int i = 0; i < ComPortWorker::kPortMapWords; ++i) {
            EXPECT_EQ(m_port.ListWord(i), i == c.word ? c.bits : 0u) << "word " << i;
        }
    }
}

TEST_F(ComPortWorkerTest, RequestsRunInTheOrderPosted) {
    ASSERT_EQ(m_worker.EnsureStarted(), 1);
    m_port.SetPresent({2});
    ASSERT_EQ(m_worker.RequestOpen(4), 1);
    ASSERT_EQ(m_worker.RequestScan(), 1);
    ASSERT_EQ(m_worker.RequestOpen(0), 1);
    m_worker.Stop();  // handles what was posted before its quit
    // The level drops on the requesting thread, so only the worker's calls have one order.
    Calls onWorker;
    int drops = 0;
    for (const std::string& call : m_port.Calls()) {
        if (call == "level 0") ++drops;
        else onWorker.push_back(call);
    }
    EXPECT_EQ(drops, 2);
    EXPECT_EQ(onWorker, Calls({"open 4 on worker", "level 1", "opened 4 1", "list", "close on worker", "opened 0 1"}));
    EXPECT_EQ(m_port.ListWord(0), 2u);
}

}  // namespace
