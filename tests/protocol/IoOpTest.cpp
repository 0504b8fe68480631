#include "protocol/IoOp.h"

#include <gtest/gtest.h>

#include "tests/protocol/OpTestLog.h"
#include "tests/protocol/RecordingDevice.h"

namespace {

const size_t kNotFound = OpTestLog::kNotFound;
const char* const kPoll = "send:a869";
const DWORD kTickMs = 20;

// The device double that also logs the I/O events: "io:<state>,<b>,<c>" and
// "forced:<0|1>".
class IoDevice : public RecordingDevice {
public:
    void OnIoState(BYTE state, BYTE second, BYTE third) override {
        char text[32];
        snprintf(text, sizeof(text), "io:%02x,%02x,%02x", state, second, third);
        m_log.Add(text);
    }
    void OnIoForced(DWORD confirmed) override { m_log.Add("forced:" + std::to_string(confirmed)); }
};

std::string StateReply(BYTE state, BYTE disguised, BYTE mask) {
    return RecordingDevice::Complete(RecordingDevice::Bytes({0xA8, 0x69, state, disguised, mask}));
}

std::string ForceEcho(BYTE disguised, BYTE mask) {
    return RecordingDevice::Complete(RecordingDevice::Bytes({0xA8, 0x5A, disguised, mask}));
}

class IoOpTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_device.SetLevel(1);
        m_slow.SetDevice(&m_device);
        m_fast.SetDevice(&m_device);
    }
    void TearDown() override {
        m_slow.Abort();
        m_fast.Abort();
    }
    static ULONG_PTR Params(IoParams* params) { return reinterpret_cast<ULONG_PTR>(params); }
    int Poll(IoOp& op) {
        IoParams params = {IoParams::kPoll, 0, 0};
        return op.Start(Params(&params));
    }
    int Force(IoOp& op, BYTE disguised, BYTE mask) {
        IoParams params = {IoParams::kForce, disguised, mask};
        return op.Start(Params(&params));
    }
    size_t WaitFrom(const std::string& entry, size_t from) { return OpTestLog::WaitFrom(m_device.m_log, entry, from); }
    std::vector<std::string> From(size_t from) { return OpTestLog::From(m_device.m_log, from); }
    size_t CountOf(const std::string& entry) {
        size_t n = 0;
        for (const std::string& e : From(0)) n += e == entry;
        return n;
    }

    IoDevice m_device;
    IoOp m_slow;           // the real 500 ms tick: no tick within a test step
    IoOp m_fast{kTickMs};  // ten ticks take 200 ms
};

}  // namespace

TEST_F(IoOpTest, PollReportsTheStateAndAsksAgainAtOnce) {
    ASSERT_EQ(Poll(m_slow), 1);
    ASSERT_EQ(WaitFrom(kPoll, 0), 0u);
    // Wrong length, a force echo and another sub-command are ignored.
    ASSERT_EQ(m_slow.OnReply(RecordingDevice::Complete(RecordingDevice::Bytes({0xA8, 0x69, 1, 2}))), 1);
    ASSERT_EQ(m_slow.OnReply(ForceEcho(0, 0)), 1);
    ASSERT_EQ(m_slow.OnReply(StateReply(0x25, 0x10, 0x30)), 1);
    const size_t state = WaitFrom("io:25,10,30", 0);
    ASSERT_NE(state, kNotFound);
    EXPECT_EQ(WaitFrom(kPoll, state), state + 1);
    EXPECT_EQ(state, 1u);
}

TEST_F(IoOpTest, ForceDuringPollingIsEchoedAndPollingResumes) {
    ASSERT_EQ(Poll(m_slow), 1);
    ASSERT_EQ(WaitFrom(kPoll, 0), 0u);
    ASSERT_EQ(Force(m_slow, 0x10, 0x30), 1);
    const size_t force = WaitFrom("send:a85a1030", 0);
    ASSERT_NE(force, kNotFound);
    // A state reply during the force is not the force's answer.
    ASSERT_EQ(m_slow.OnReply(StateReply(5, 0, 0)), 1);
    ASSERT_EQ(m_slow.OnReply(ForceEcho(0x10, 0x30)), 1);
    const size_t forced = WaitFrom("forced:1", force);
    ASSERT_NE(forced, kNotFound);
    EXPECT_EQ(WaitFrom(kPoll, forced), forced + 1);
    EXPECT_EQ(CountOf("io:05,00,00"), 0u);
    EXPECT_TRUE(m_slow.IsRunning());
}

TEST_F(IoOpTest, ForceDuringAForceWaitsForTheEchoThenGoesOutAndPollingFollows) {
    ASSERT_EQ(Force(m_slow, 0x10, 0x30), 1);
    ASSERT_NE(WaitFrom("send:a85a1030", 0), kNotFound);
    // Two more clicks before the echo: only the latest waits.
    ASSERT_EQ(Force(m_slow, 0x20, 0x30), 1);
    ASSERT_EQ(Force(m_slow, 0x00, 0x30), 1);
    ASSERT_EQ(Poll(m_slow), 1);  // the I/O test opens during the force
    ASSERT_EQ(m_slow.OnReply(ForceEcho(0x10, 0x30)), 1);
    const size_t first = WaitFrom("forced:1", 0);
    ASSERT_NE(first, kNotFound);
    EXPECT_EQ(WaitFrom("send:a85a0030", first), first + 1);
    ASSERT_EQ(m_slow.OnReply(ForceEcho(0x00, 0x30)), 1);
    const size_t second = WaitFrom("forced:1", first + 1);
    ASSERT_NE(second, kNotFound);
    EXPECT_EQ(WaitFrom(kPoll, second), second + 1);
    EXPECT_EQ(CountOf("send:a85a2030"), 0u);
    EXPECT_EQ(CountOf("send:a85a1030"), 1u);
}

TEST_F(IoOpTest, ForceWaitingBehindAnUnconfirmedOneStillGoesOut) {
    ASSERT_EQ(Force(m_fast, 0x01, 0x10), 1);
    ASSERT_NE(WaitFrom("send:a85a0110", 0), kNotFound);
    ASSERT_EQ(Force(m_fast, 0x00, 0x00), 1);  // the release on close
    const size_t failed = WaitFrom("forced:0", 0);
    ASSERT_NE(failed, kNotFound);
    const size_t release = WaitFrom("send:a85a0000", failed);
    ASSERT_NE(release, kNotFound);
    EXPECT_EQ(WaitFrom("send:a85a0000", 0), release);
    ASSERT_EQ(m_fast.OnReply(ForceEcho(0, 0)), 1);
    EXPECT_NE(WaitFrom("forced:1", release), kNotFound);
    EXPECT_EQ(m_fast.Wait(5000), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST_F(IoOpTest, UnconfirmedForceGivesUpAfterTenTicksAndPollingResumes) {
    ASSERT_EQ(Poll(m_fast), 1);
    ASSERT_EQ(Force(m_fast, 0x01, 0x10), 1);
    const size_t failed = WaitFrom("forced:0", 0);
    ASSERT_NE(failed, kNotFound);
    EXPECT_NE(WaitFrom(kPoll, failed), kNotFound);
    const size_t forces = CountOf("send:a85a0110");
    // The first send and one per tick until the tenth.
    EXPECT_GE(forces, 9u);
    EXPECT_LE(forces, 11u);
}

TEST_F(IoOpTest, OnlyAGoodEchoRefreshesTheRetries) {
    ASSERT_EQ(Force(m_fast, 0x01, 0x10), 1);
    // A steady stream of replies that fail a check must not keep the force alive.
    const DWORD start = GetTickCount();
    while (CountOf("forced:0") == 0) {
        m_fast.OnReply(ForceEcho(0x02, 0x10));
        m_fast.OnReply(StateReply(0, 0, 0));
        m_device.m_log.WaitForCount(m_device.m_log.Count() + 1, 5);
        ASSERT_LT(GetTickCount() - start, 10000u) << "the force never gave up";
    }
    EXPECT_EQ(CountOf("io:00,00,00"), 0u);
}

TEST_F(IoOpTest, ReleaseIsRetriedUntilTheLinkDrops) {
    ASSERT_EQ(Force(m_fast, 0, 0), 1);
    // Well past the ten ticks of an ordinary force.
    size_t seen = 0;
    for (int i = 0; i < 15; ++i) {
        seen = WaitFrom("send:a85a0000", seen);
        ASSERT_NE(seen, kNotFound) << i;
        ++seen;
    }
    EXPECT_EQ(CountOf("forced:0"), 0u);
    m_device.SetLevel(0);
    EXPECT_NE(WaitFrom("forced:0", 0), kNotFound);
    EXPECT_EQ(m_fast.Wait(5000), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST_F(IoOpTest, PollingAskedForBesideAnUnechoedReleaseTakesTurnsWithIt) {
    ASSERT_EQ(Force(m_fast, 0, 0), 1);  // the release of a closed I/O test
    ASSERT_NE(WaitFrom("send:a85a0000", 0), kNotFound);
    ASSERT_EQ(Poll(m_fast), 1);  // the I/O test opens again; the echo never comes
    const size_t poll = WaitFrom(kPoll, 0);
    ASSERT_NE(poll, kNotFound);
    ASSERT_EQ(m_fast.OnReply(StateReply(0x25, 0x10, 0x30)), 1);
    const size_t state = WaitFrom("io:25,10,30", poll);
    ASSERT_NE(state, kNotFound);
    const size_t release = WaitFrom("send:a85a0000", state);
    ASSERT_NE(release, kNotFound);
    EXPECT_NE(WaitFrom(kPoll, release), kNotFound);
    // The echo at last: polling alone goes on.
    ASSERT_EQ(m_fast.OnReply(ForceEcho(0, 0)), 1);
    const size_t forced = WaitFrom("forced:1", release);
    ASSERT_NE(forced, kNotFound);
    const size_t polls = WaitFrom(kPoll, forced);
    ASSERT_NE(polls, kNotFound);
    EXPECT_EQ(WaitFrom(kPoll, polls + 1), polls + 1);
    for (const std::string& entry : From(forced)) EXPECT_NE(entry, "send:a85a0000");
}

TEST_F(IoOpTest, ForceReplacesAnUnechoedReleaseAtOnce) {
    ASSERT_EQ(Force(m_slow, 0, 0), 1);  // the release of a closed I/O test
    ASSERT_NE(WaitFrom("send:a85a0000", 0), kNotFound);
    // The I/O test opens again and forces before the release was echoed.
    ASSERT_EQ(Poll(m_slow), 1);
    ASSERT_EQ(Force(m_slow, 0x10, 0x30), 1);
    const size_t force = WaitFrom("send:a85a1030", 0);
    ASSERT_NE(force, kNotFound);
    ASSERT_EQ(m_slow.OnReply(ForceEcho(0x10, 0x30)), 1);
    const size_t forced = WaitFrom("forced:1", force);
    ASSERT_NE(forced, kNotFound);
    EXPECT_EQ(WaitFrom(kPoll, forced), forced + 1);
    EXPECT_EQ(CountOf("send:a85a0000"), 1u);
}

TEST_F(IoOpTest, StoppingNeverRestartsPolling) {
    // Switched off during a force that interrupted polling.
    ASSERT_EQ(Poll(m_slow), 1);
    ASSERT_EQ(Force(m_slow, 0x10, 0x30), 1);
    ASSERT_NE(WaitFrom("send:a85a1030", 0), kNotFound);
    m_slow.Abort();
    EXPECT_FALSE(m_slow.IsRunning());

    // Closing the I/O test during a force: polling off, then the release.
    const size_t from = m_device.m_log.Count();
    ASSERT_EQ(Poll(m_slow), 1);
    ASSERT_EQ(Force(m_slow, 0x10, 0x30), 1);
    ASSERT_NE(WaitFrom("send:a85a1030", from), kNotFound);
    m_slow.Abort();
    ASSERT_EQ(Force(m_slow, 0, 0), 1);
    ASSERT_NE(WaitFrom("send:a85a0000", from), kNotFound);
    ASSERT_EQ(m_slow.OnReply(ForceEcho(0, 0)), 1);
    ASSERT_NE(WaitFrom("forced:1", from), kNotFound);
    // The operation's thread ends: no poll loop is left.
    EXPECT_EQ(m_slow.Wait(5000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_FALSE(m_slow.IsRunning());
    EXPECT_EQ(From(from).back(), "forced:1");
}

TEST_F(IoOpTest, NothingGoesOutAboveLevel1AndAStartWithoutBlockStops) {
    m_device.SetLevel(2);
    ASSERT_EQ(Poll(m_fast), 1);
    EXPECT_EQ(m_device.m_log.WaitForCount(1, 200), false);
    m_device.SetLevel(1);
    EXPECT_NE(WaitFrom(kPoll, 0), kNotFound);
    EXPECT_EQ(m_fast.Start(0), 0);
    EXPECT_FALSE(m_fast.IsRunning());
}
