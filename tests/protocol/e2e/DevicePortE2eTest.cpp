// The device port against the sensor simulator: the port worker opens,
// closes and scans, frames go out through Send and come back through the
// receive thread into the current device.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "framework/ChildWindow.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DeviceOperation.h"
#include "protocol/DevicePort.h"
#include "protocol/SensorDevice.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"
#include "tests/protocol/FrameBytes.h"
#include "tests/protocol/TestHost.h"
#include "tests/protocol/e2e/ReadyPort.h"
#include "tests/protocol/e2e/SimLog.h"

namespace {

const DWORD kTimeoutMs = 5000;
const std::string kLinkGet("\xA0\x69", 2);

// Counted signal with a lock, shared by the frame and the operation doubles.
class Inbox {
public:
    Inbox() : m_event(CreateEventA(NULL, FALSE, FALSE, NULL)) { InitializeCriticalSection(&m_lock); }
    ~Inbox() {
        CloseHandle(m_event);
        DeleteCriticalSection(&m_lock);
    }
    void Put(const std::string& item) {
        EnterCriticalSection(&m_lock);
        m_items.push_back(item);
        LeaveCriticalSection(&m_lock);
        SetEvent(m_event);
    }
    std::vector<std::string> Items() {
        EnterCriticalSection(&m_lock);
        std::vector<std::string> copy = m_items;
        LeaveCriticalSection(&m_lock);
        return copy;
    }
    bool WaitForCount(size_t count, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        for (;;) {
            if (Items().size() >= count) return true;
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= timeoutMs) return false;
            WaitForSingleObject(m_event, timeoutMs - elapsed);
        }
    }

private:
    CRITICAL_SECTION m_lock;  // guards m_items
    std::vector<std::string> m_items;
    HANDLE m_event;
};

// The main frame's end: each notification as "name wParam lParam"; the port
// list as its eight words.
class NotedFrame : public ChildWindow {
public:
    BOOL PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_DEVICE_PORT_LIST) {
            const DWORD* words = reinterpret_cast<const DWORD*>(wParam);
            char text[128];
            snprintf(text, sizeof(text), "list %lx %lx %lx %lx %lx %lx %lx %lx", words[0], words[1], words[2],
                     words[3], words[4], words[5], words[6], words[7]);
            delete[] words;
            m_notes.Put(text);
        } else if (msg == WM_DEVICE_PORT_OPENED) {
            m_notes.Put("opened " + std::to_string(wParam) + " " + std::to_string(lParam));
        }
        return TRUE;
    }
    LRESULT SendMessage(UINT, WPARAM, LPARAM) override { return 0; }
    Inbox m_notes;
};

// Stands in for the link operation: collects every reply of command 0xA0.
class CollectingOperation : public DeviceOperation {
public:
    explicit CollectingOperation(Inbox* replies) : DeviceOperation(10, 500), m_replies(replies) {}
    int OnReply(const std::string& message) override {
        m_replies->Put(message);
        return 1;
    }

private:
    Inbox* m_replies;
};

// The real device with the collector in place of its operations; the link
// requests stay idle so the collector is never taken for a link operation.
class CollectingDevice : public SensorDevice {
public:
    explicit CollectingDevice(Inbox* replies) : m_replies(replies) {}
    BYTE GetLinkLevel() override { return 0; }
    int SetLinkLevel(BYTE) override { return 0; }
    int SetLinkOpFlag(DWORD) override { return 0; }

protected:
    int CreateOperations() override {
        return Register(kCmdLink, std::unique_ptr<DeviceOperation>(new CollectingOperation(m_replies)),
                        false);
    }

private:
    Inbox* m_replies;
};

// The replies inbox must outlive the port: the receive thread delivers until
// the port's own destructor has closed it.
class CollectingDevicePort : public DevicePort {
public:
    explicit CollectingDevicePort(Inbox* replies) : m_replies(replies) {}

protected:
    std::unique_ptr<SensorDeviceBase> CreateDevice(WORD type) override {
        return std::unique_ptr<SensorDeviceBase>(type <= 2 ? new CollectingDevice(m_replies) : NULL);
    }

private:
    Inbox* m_replies;
};

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

class DevicePortE2e : public ::testing::Test {
protected:
    DevicePortE2e() : m_port(&m_replies) {}

    void SetUp() override {
        m_com = SimLog::ComPort();
        if (m_com == 0) GTEST_SKIP() << "needs the sensor simulator (run through CTest)";
        ASSERT_TRUE(ReadyPort(&m_port, &m_application, &m_frame, &m_waveForm, &m_caps, 0));
    }

    // Asks the worker for an open (or a close with 0) and waits for its report.
    std::string OpenThroughWorker(int port) {
        const size_t before = m_frame.m_notes.Items().size();
        if (m_port.RequestOpen(port) != 1) return "refused";
        if (!m_frame.m_notes.WaitForCount(before + 1, kTimeoutMs)) return "no report";
        return m_frame.m_notes.Items()[before];
    }

    std::string Opened(int port, int ok) { return "opened " + std::to_string(port) + " " + std::to_string(ok); }

    int m_com = 0;
    TestHost m_application;
    SensorCaps m_caps;
    WaveFormRecord m_waveForm;
    NotedFrame m_frame;
    Inbox m_replies;
    CollectingDevicePort m_port;  // last: goes first, before its collaborators
};

TEST_F(DevicePortE2e, OpenSendReceiveAndClose) {
    LARGE_INTEGER requested, delivered;
    QueryPerformanceCounter(&requested);
    ASSERT_EQ(OpenThroughWorker(m_com), Opened(m_com, 1));
    ASSERT_EQ(m_port.Send(Frame(kLinkGet)), 1);
    ASSERT_TRUE(m_replies.WaitForCount(1, kTimeoutMs));
    QueryPerformanceCounter(&delivered);
    printf("open request to first good frame delivered to the device: %.1f ms\n", Milliseconds(requested, delivered));

    const std::string reply = m_replies.Items()[0];
    EXPECT_EQ(SimLog::Hex(reply), SimLog::Lines("TX")[0]);
    EXPECT_EQ(SimLog::Lines("RX")[0], "a0693851");  // Link Get with its CRC, worked by hand

    EXPECT_EQ(OpenThroughWorker(0), Opened(0, 1));
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_EQ(m_port.Send(Frame(kLinkGet)), 0);  // nothing goes out on a closed port
}

TEST_F(DevicePortE2e, NoiseAndBadCrcNeverReachTheDevice) {
    ASSERT_EQ(OpenThroughWorker(m_com), Opened(m_com, 1));
    for (int i = 0; i < 5; ++i) ASSERT_EQ(m_port.Send(Frame(kLinkGet)), 1);
    // Replies 2 and 4 are bad; the fifth is good, so all were handled once three arrived.
    ASSERT_TRUE(m_replies.WaitForCount(3, kTimeoutMs));
    const std::vector<std::string> replies = m_replies.Items();
    const std::vector<std::string> good = SimLog::Lines("TX");
    ASSERT_EQ(replies.size(), 3u);
    ASSERT_EQ(good.size(), 3u);
    for (size_t i = 0; i < good.size(); ++i) EXPECT_EQ(SimLog::Hex(replies[i]), good[i]);
}

TEST_F(DevicePortE2e, CloseWhileReceivingThenReopen) {
    // The simulator answers with a long burst in small pieces.
    ASSERT_EQ(OpenThroughWorker(m_com), Opened(m_com, 1));
    ASSERT_EQ(m_port.Send(Frame(kLinkGet)), 1);
    ASSERT_TRUE(m_replies.WaitForCount(1, kTimeoutMs));
    EXPECT_EQ(OpenThroughWorker(0), Opened(0, 1));
    const size_t atClose = m_replies.Items().size();
    EXPECT_FALSE(m_replies.WaitForCount(atClose + 1, 100));

    ASSERT_EQ(OpenThroughWorker(m_com), Opened(m_com, 1));
    ASSERT_EQ(m_port.Send(Frame(kLinkGet)), 1);
    ASSERT_TRUE(m_replies.WaitForCount(atClose + 1, kTimeoutMs));
    // Whatever arrived, cut or not, only whole good replies reached the device.
    const std::string good = SimLog::Lines("TX")[0];
    for (const std::string& reply : m_replies.Items()) EXPECT_EQ(SimLog::Hex(reply).size(), good.size());
}

TEST_F(DevicePortE2e, DetachLetsThePortWorkerFinishItsOpenFirst) {
    // At exit the worker may still be opening a port and raising its link:
    // the device's operations stop only after it is done.
    ASSERT_EQ(m_port.RequestOpen(m_com), 1);
    EXPECT_EQ(m_port.Detach(), 1);
    EXPECT_TRUE(m_port.IsOpen());
    EXPECT_EQ(m_port.RequestOpen(0), 0);  // no worker any more
}

TEST_F(DevicePortE2e, SwapDeviceWhileFramesArrive) {
    ASSERT_EQ(OpenThroughWorker(m_com), Opened(m_com, 1));
    ASSERT_EQ(m_port.Send(Frame(kLinkGet)), 1);
    ASSERT_TRUE(m_replies.WaitForCount(1, kTimeoutMs));
    for (int i = 0; i < 40; ++i) {
        ASSERT_EQ(m_port.SelectDevice(static_cast<WORD>(i % 3)), 1) << i;
        m_port.SetMonitor(i % 2);
    }
    const size_t before = m_replies.Items().size();
    ASSERT_EQ(m_port.Send(Frame(kLinkGet)), 1);
    EXPECT_TRUE(m_replies.WaitForCount(before + 1, kTimeoutMs));
}

TEST_F(DevicePortE2e, PortScanFindsTheSimulatorsPortAndAMissingPortFailsToOpen) {
    ASSERT_EQ(m_port.RequestPortScan(), 1);
    ASSERT_TRUE(m_frame.m_notes.WaitForCount(1, kTimeoutMs));
    const std::string list = m_frame.m_notes.Items()[0];
    unsigned long words[8] = {0};
    ASSERT_EQ(sscanf(list.c_str(), "list %lx %lx %lx %lx %lx %lx %lx %lx", &words[0], &words[1], &words[2], &words[3],
                     &words[4], &words[5], &words[6], &words[7]),
              8)
        << list;
    EXPECT_NE(words[0] & (1UL << (m_com - 1)), 0u) << list;
    for (int i = 1; i < 8; ++i) EXPECT_EQ(words[i], 0u) << list;  // Wine lists COM1 to COM9 only

    EXPECT_EQ(OpenThroughWorker(200), Opened(0, 0));
    EXPECT_FALSE(m_port.IsOpen());
}

}  // namespace
