#include <gtest/gtest.h>

#include "protocol/DeviceMessages.h"
#include "protocol/DeviceOperation.h"
#include "tests/protocol/EventLog.h"

namespace {

const UINT WM_TEST_SET_RETRY = WM_USER + 40;

// An operation that logs every handler: "start", "tick", "gave up" after the
// last retry, "reply:<bytes>". A reply restarts the timer with wParam-free
// fresh retries, like the real operations.
class TestOp : public DeviceOperation {
public:
    TestOp(BYTE retries, DWORD intervalMs) : DeviceOperation(retries, intervalMs), m_replyRetry(0) {
        AddMessageHandler(WM_OP_START, Handler(&TestOp::OnStart));
        AddMessageHandler(WM_OP_REPLY, Handler(&TestOp::OnReplyMessage));
        AddMessageHandler(WM_TIMER, Handler(&TestOp::OnTimer));
        AddMessageHandler(WM_TEST_SET_RETRY, Handler(&TestOp::OnSetRetry));
    }
    ~TestOp() override { Abort(); }

    LRESULT OnStart(WPARAM, LPARAM) {
        RestartTimer();
        m_log.Add("start");
        return 0;
    }
    LRESULT OnTimer(WPARAM, LPARAM) {
        CountDown();
        if (IsExhausted()) {
            Abort();
            m_log.Add("gave up");
            return 0;
        }
        m_log.Add("tick");
        return 0;
    }
    LRESULT OnReplyMessage(WPARAM, LPARAM) {
        std::string reply;
        if (!TakeReply(&reply)) return 0;
        if (m_replyRetry != 0)
            SetRetry(m_replyRetry, 10);
        else
            RestartTimer();
        m_log.Add("reply:" + reply);
        return 0;
    }
    LRESULT OnSetRetry(WPARAM count, LPARAM ms) {
        SetRetry(static_cast<BYTE>(count), static_cast<DWORD>(ms));
        m_log.Add("retry set");
        return 0;
    }
    bool TimerRuns() { return HasTimer(); }

    EventLog m_log;
    BYTE m_replyRetry;  // set before start; retries given by a reply
};

int CountOf(const std::vector<std::string>& entries, const std::string& text) {
    int n = 0;
    for (const std::string& e : entries)
        if (e == text) ++n;
    return n;
}

}  // namespace

TEST(DeviceOperation_Start, RunsStartHandlerOnItsOwnThreadAndRefusesSecondStart) {
    TestOp op(3, 10000);
    EXPECT_FALSE(op.IsRunning());
    ASSERT_EQ(op.Start(0), 1);
    EXPECT_TRUE(op.IsRunning());
    ASSERT_TRUE(op.m_log.WaitFor("start"));
    EXPECT_EQ(op.Start(0), 0);
    op.Abort();
    EXPECT_FALSE(op.IsRunning());
    EXPECT_EQ(CountOf(op.m_log.Entries(), "start"), 1);
}

TEST(DeviceOperation_Timer, TicksUntilRetriesAreExhaustedThenStops) {
    TestOp op(3, 15);
    ASSERT_EQ(op.Start(0), 1);
    ASSERT_TRUE(op.m_log.WaitFor("gave up"));
    // Three retries: two ticks that resend, the third gives up.
    const std::vector<std::string> want = {"start", "tick", "tick", "gave up"};
    EXPECT_EQ(op.m_log.Entries(), want);
    EXPECT_FALSE(op.IsRunning());
    EXPECT_TRUE(op.IsExhausted());
    // Stopped on its own thread, it starts again from the owner.
    ASSERT_EQ(op.Start(0), 1);
    ASSERT_TRUE(op.m_log.WaitForCount(8));
    EXPECT_EQ(CountOf(op.m_log.Entries(), "gave up"), 2);
}

TEST(DeviceOperation_Timer, ReplyGivesFreshRetriesCountedFromIt) {
    TestOp op(3, 60000);  // no tick before the reply
    op.m_replyRetry = 2;
    ASSERT_EQ(op.Start(0), 1);
    ASSERT_TRUE(op.m_log.WaitFor("start"));
    ASSERT_EQ(op.OnReply(std::string("\xA1\x69", 2)), 1);
    ASSERT_TRUE(op.m_log.WaitFor("gave up"));
    const std::vector<std::string> want = {"start", std::string("reply:\xA1\x69", 8), "tick", "gave up"};
    EXPECT_EQ(op.m_log.Entries(), want);
}

TEST(DeviceOperation_Timer, RestartFromAnotherThreadWakesTheLoop) {
    TestOp op(2, 60000);
    ASSERT_EQ(op.Start(0), 1);
    ASSERT_TRUE(op.m_log.WaitFor("start"));
    // The loop sleeps towards a deadline a minute away; a shorter interval set
    // from this thread must take effect at once.
    op.SetRetry(2, 10);
    ASSERT_TRUE(op.m_log.WaitFor("gave up"));
    EXPECT_EQ(CountOf(op.m_log.Entries(), "tick"), 1);
}

TEST(DeviceOperation_Timer, StopTimerFromAnotherThreadEndsTheTicks) {
    TestOp op(200, 10);
    ASSERT_EQ(op.Start(0), 1);
    ASSERT_TRUE(op.m_log.WaitFor("tick"));
    op.StopTimer();
    EXPECT_FALSE(op.TimerRuns());
    EXPECT_TRUE(op.IsExhausted());
    // A round trip through the queue: no tick may follow it.
    const size_t before = op.m_log.Count();
    ASSERT_TRUE(op.PostMessage(WM_TEST_SET_RETRY, 0, 60000));
    ASSERT_TRUE(op.m_log.WaitFor("retry set"));
    std::vector<std::string> entries = op.m_log.Entries();
    EXPECT_LE(entries.size(), before + 2);  // at most one tick was already under way
    EXPECT_EQ(entries.back(), "retry set");
    EXPECT_TRUE(op.IsRunning());
}

TEST(DeviceOperation_Counter, CountDownStopsAtZero) {
    TestOp op(2, 60000);
    op.StopTimer();
    EXPECT_TRUE(op.IsExhausted());
    op.RestartTimer();
    EXPECT_FALSE(op.IsExhausted());
    op.CountDown();
    EXPECT_FALSE(op.IsExhausted());
    op.CountDown();
    EXPECT_TRUE(op.IsExhausted());
    op.CountDown();
    EXPECT_TRUE(op.IsExhausted());
    op.RestartTimer();
    EXPECT_FALSE(op.IsExhausted());
    op.StopTimer();
    EXPECT_TRUE(op.IsExhausted());
}

TEST(DeviceOperation_Reply, RepliesAreHandledInOrderEachOnce) {
    TestOp op(3, 60000);
    ASSERT_EQ(op.Start(0), 1);
    for (char c = 'a'; c <= 'e'; ++c) ASSERT_EQ(op.OnReply(std::string(1, c)), 1);
    ASSERT_TRUE(op.m_log.WaitForCount(6));
    const std::vector<std::string> want = {"start", "reply:a", "reply:b", "reply:c", "reply:d", "reply:e"};
    EXPECT_EQ(op.m_log.Entries(), want);
}

TEST(DeviceOperation_Reply, ReplyWhileStoppedOrAfterAbortIsDropped) {
    TestOp op(3, 60000);
    EXPECT_EQ(op.OnReply("x"), 0);
    ASSERT_EQ(op.Start(0), 1);
    ASSERT_TRUE(op.m_log.WaitFor("start"));
    op.Abort();
    EXPECT_EQ(op.OnReply("y"), 0);
    // Restarted, it sees only what arrives after the new start.
    ASSERT_EQ(op.Start(0), 1);
    ASSERT_EQ(op.OnReply("z"), 1);
    ASSERT_TRUE(op.m_log.WaitFor("reply:z"));
    const std::vector<std::string> want = {"start", "start", "reply:z"};
    EXPECT_EQ(op.m_log.Entries(), want);
}

TEST(DeviceOperation_Abort, AbortBeforeTheStartIsHandledLeavesItStoppedAndStartable) {
    TestOp op(3, 10);
    for (int round = 0; round < 20; ++round) {
        ASSERT_EQ(op.Start(0), 1);
        op.Abort();
        EXPECT_FALSE(op.IsRunning());
    }
    // Nothing of those runs ticks on: a fresh start behaves normally.
    ASSERT_EQ(op.Start(0), 1);
    ASSERT_TRUE(op.m_log.WaitFor("gave up"));
    EXPECT_FALSE(op.IsRunning());
}

TEST(DeviceOperation_Abort, AbortWithoutStartAndTwiceIsHarmless) {
    TestOp op(3, 10);
    op.Abort();
    op.Abort();
    EXPECT_FALSE(op.IsRunning());
    EXPECT_EQ(op.GetThreadId(), 0u);
}
