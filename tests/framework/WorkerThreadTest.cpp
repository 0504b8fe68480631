#include "framework/WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>

#include "framework/OwnedHandle.h"
#include "framework/SentMessageWait.h"
#include "tests/framework/CountingWindow.h"

namespace {

const UINT WM_TEST_WORK = WM_USER + 1;
const UINT WM_TEST_QUIT = WM_USER + 2;
const UINT WM_TEST_STOP_SELF = WM_USER + 3;
const UINT WM_TEST_SEND = WM_USER + 4;

class Probe : public WorkerThread {
public:
    Probe() : m_done(CreateEventA(NULL, FALSE, FALSE, NULL)), m_sum(0), m_target(NULL) {
        AddMessageHandler(WM_TEST_WORK, Handler(&Probe::OnWork));
        AddMessageHandler(WM_TEST_QUIT, Handler(&Probe::OnQuit));
        AddMessageHandler(WM_TEST_STOP_SELF, Handler(&Probe::OnStopSelf));
        AddMessageHandler(WM_TEST_SEND, Handler(&Probe::OnSend));
    }
    ~Probe() override {
        Stop();
        CloseHandle(m_done);
    }
    LRESULT OnWork(WPARAM w, LPARAM) {
        m_sum += static_cast<int>(w);
        m_ranOn = GetCurrentThreadId();
        SetEvent(m_done);
        return 0;
    }
    LRESULT OnQuit(WPARAM w, LPARAM) {
        PostQuitMessage(static_cast<int>(w));
        return 0;
    }
    LRESULT OnStopSelf(WPARAM, LPARAM) {
        m_stopResult = Stop();
        SetEvent(m_done);
        return 0;
    }
    LRESULT OnSend(WPARAM, LPARAM) {
        // Like a device thread notifying the main window while it is stopped.
        SendMessageA(m_target, CountingWindow::kCountedMessage, 0, 0);
        SetEvent(m_done);
        return 0;
    }

    HANDLE m_done;
    std::atomic<int> m_sum;
    std::atomic<DWORD> m_ranOn{0};
    std::atomic<int> m_stopResult{-1};
    HWND m_target;
};

}  // namespace

TEST(WorkerThread_Life, StopAndWaitWithoutThread) {
    Probe p;
    EXPECT_EQ(p.Stop(), 0);
    EXPECT_EQ(p.Wait(0), WAIT_FAILED);
    EXPECT_EQ(p.GetThreadId(), 0u);
}

TEST(WorkerThread_Life, MessagePostedRightAfterStartIsHandledOnTheWorker) {
    Probe p;
    ASSERT_TRUE(p.Start(NULL, 0, 0, THREAD_PRIORITY_NORMAL));
    ASSERT_TRUE(p.PostMessage(WM_TEST_WORK, 5, 0));
    ASSERT_EQ(WaitForSingleObject(p.m_done, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(p.m_sum, 5);
    EXPECT_EQ(p.m_ranOn, p.GetThreadId());
    EXPECT_NE(p.m_ranOn, GetCurrentThreadId());
    EXPECT_EQ(p.Stop(), 1);
    EXPECT_EQ(p.GetExitCode(), 1u);
    EXPECT_EQ(p.GetThreadId(), 0u);
}

TEST(WorkerThread_Life, QuitFromHandlerSetsExitCode) {
    Probe p;
    ASSERT_TRUE(p.Start(NULL, 0, 0, 0));
    p.PostMessage(WM_TEST_QUIT, 7, 0);
    EXPECT_EQ(p.Wait(5000), WAIT_OBJECT_0);
    p.Stop();
    EXPECT_EQ(p.GetExitCode(), 7u);
}

TEST(WorkerThread_Life, StartTwiceLeavesOneThread) {
    Probe p;
    ASSERT_TRUE(p.Start(NULL, 0, 0, 0));
    const DWORD first = p.GetThreadId();
    HANDLE old = OpenThread(SYNCHRONIZE, FALSE, first);
    ASSERT_NE(old, (HANDLE)NULL);
    ASSERT_TRUE(p.Start(NULL, 0, 0, THREAD_PRIORITY_ABOVE_NORMAL));
    EXPECT_EQ(WaitForSingleObject(old, 0), WAIT_OBJECT_0);  // the first one has ended
    CloseHandle(old);
    EXPECT_NE(p.GetThreadId(), first);
    EXPECT_EQ(p.GetPriority(), THREAD_PRIORITY_ABOVE_NORMAL);
    p.PostMessage(WM_TEST_WORK, 1, 0);
    EXPECT_EQ(WaitForSingleObject(p.m_done, 5000), WAIT_OBJECT_0);
}

TEST(WorkerThread_Life, HandlerMayStopItsOwnThread) {
    Probe p;
    ASSERT_TRUE(p.Start(NULL, 0, 0, 0));
    p.PostMessage(WM_TEST_STOP_SELF, 0, 0);
    ASSERT_EQ(WaitForSingleObject(p.m_done, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(p.m_stopResult, 1);
    EXPECT_EQ(p.Stop(), 0);
}

TEST(WorkerThread_Life, StopHandlesMessagesSentByTheWorker) {
    CountingWindow target;
    ASSERT_NE(target.Get(), (HWND)NULL);
    Probe p;
    p.m_target = target.Get();
    ASSERT_TRUE(p.Start(NULL, 0, 0, 0));
    // The worker sends to our window while we sit in Stop: Stop must not deadlock.
    p.PostMessage(WM_TEST_SEND, 0, 0);
    EXPECT_EQ(p.Stop(), 1);
    EXPECT_EQ(target.Count(), 1);
}

namespace {

struct PendingSender {
    HWND target;
    HANDLE sent;  // set once the message waits in the target's queue
    static DWORD WINAPI Run(LPVOID param) {
        PendingSender* s = static_cast<PendingSender*>(param);
        // A message of its own so that the send is queued before the event is set.
        SendMessageCallbackA(s->target, CountingWindow::kCountedMessage, 0, 0, NULL, 0);
        SetEvent(s->sent);
        SendMessageA(s->target, CountingWindow::kCountedMessage, 0, 0);
        return 0;
    }
};

}  // namespace

// A message sent before the wait begins, whose arrival the thread has already
// looked at, must still be handled: the sender waits for it.
TEST(WorkerThread_Life, WaitHandlesAMessageSentBeforeItBegan) {
    CountingWindow target;
    ASSERT_NE(target.Get(), (HWND)NULL);
    OwnedHandle sent(CreateEventA(NULL, TRUE, FALSE, NULL));
    PendingSender sender = {target.Get(), sent.Get()};
    OwnedHandle thread(CreateThread(NULL, 0, PendingSender::Run, &sender, 0, NULL));
    ASSERT_EQ(WaitForSingleObject(sent.Get(), 5000), WAIT_OBJECT_0);
    Sleep(50);  // the blocking send is queued too
    GetQueueStatus(QS_SENDMESSAGE);  // seen: no longer news to a wait
    EXPECT_EQ(WaitHandlingSentMessages(thread.Get(), 3000), WAIT_OBJECT_0);
    EXPECT_EQ(target.Count(), 2);
}
