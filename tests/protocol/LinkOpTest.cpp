#include "protocol/LinkOp.h"

#include <gtest/gtest.h>

#include <deque>

#include "tests/protocol/OpTestLog.h"
#include "tests/protocol/RecordingDevice.h"
#include "tests/protocol/TestHost.h"

namespace {

const size_t kNotFound = OpTestLog::kNotFound;

// Frames worked by hand; the answer to challenge 01..08 is 0xEEA7, CRC-16/KERMIT.
const char* const kGet = "send:a069";
const char* const kSet1 = "send:a05a01a7ee";
const char* const kSet3 = "send:a05a03a7ee";

std::string Challenge(std::initializer_list<int> bytes) {
    std::string message = RecordingDevice::Bytes({0xA0, 0x69});
    message += RecordingDevice::Bytes(bytes);
    return RecordingDevice::Complete(message);
}

std::string SetReply(int level) {
    return RecordingDevice::Complete(RecordingDevice::Bytes({0xA0, 0x5A, level}));
}

const std::string kChallenge1to8 = Challenge({1, 2, 3, 4, 5, 6, 7, 8});

class LinkOpTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_op.SetDevice(&m_device);
        m_op.SetApplication(&m_application);
    }
    void TearDown() override {
        m_op.Abort();
        m_op.Detach();
    }

    size_t WaitFrom(const std::string& entry, size_t from, DWORD timeoutMs = 5000) {
        return OpTestLog::WaitFrom(m_device.m_log, entry, from, timeoutMs);
    }

    // Links at level 1 with ticks of intervalMs, the log read from index
    // from on; the index after the last request the new link made.
    size_t LinkToLevel1(DWORD intervalMs, size_t from = 0) {
        m_op.SetRetry(LinkOp::kRetries, intervalMs);
        EXPECT_EQ(m_op.SetLevel(1), 1);
        const size_t get = WaitFrom(kGet, from);
        EXPECT_NE(get, kNotFound);
        EXPECT_EQ(m_op.OnReply(kChallenge1to8), 1);
        const size_t set = WaitFrom(kSet1, get);
        EXPECT_NE(set, kNotFound);
        EXPECT_EQ(m_op.OnReply(SetReply(1)), 1);
        const size_t last = WaitFrom("read function setting", set);
        EXPECT_NE(last, kNotFound);
        return last + 1;
    }

    RecordingDevice m_device;
    TestHost m_application;
    LinkOp m_op;
};

}  // namespace

TEST_F(LinkOpTest, HandshakeFramesByteForByteThenKeepAlive) {
    m_application.SetValue5(1);
    m_op.SetRetry(LinkOp::kRetries, 200);
    ASSERT_EQ(m_op.SetLevel(1), 1);
    // Nothing goes out at the start: the first frame is the Get of the first tick.
    const size_t get = WaitFrom(kGet, 0);
    ASSERT_EQ(get, 0u);
    ASSERT_EQ(m_op.OnReply(kChallenge1to8), 1);
    const size_t set = WaitFrom(kSet1, get);
    ASSERT_NE(set, kNotFound);
    // A challenge at level 0 starts a new connection: the FRAM counts as unread.
    EXPECT_EQ(m_application.GetValue5(), 0u);
    ASSERT_EQ(m_op.OnReply(SetReply(1)), 1);
    const size_t level = WaitFrom("level:1", set);
    ASSERT_NE(level, kNotFound);
    ASSERT_NE(WaitFrom("read function setting", level), kNotFound);
    const std::vector<std::string> after = OpTestLog::From(m_device.m_log, level);
    ASSERT_GE(after.size(), 4u);
    const std::vector<std::string> want = {"level:1", "request version", "read function", "read function setting"};
    EXPECT_EQ(std::vector<std::string>(after.begin(), after.begin() + 4), want);
    EXPECT_EQ(m_op.GetLevel(), 1);
    // At the level asked for, the same Set goes on every tick as a keep-alive.
    EXPECT_NE(WaitFrom(kSet1, level), kNotFound);
}

TEST(LinkOp_Answer, IsCrcOfTheChallenge) {
    struct Row {
        std::initializer_list<int> challenge;
        const char* set;
    };
    const Row rows[] = {
        {{1, 2, 3, 4, 5, 6, 7, 8}, "send:a05a01a7ee"},
        {{0, 0, 0, 0, 0, 0, 0, 0}, "send:a05a010000"},
        {{0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x23, 0x45, 0x67}, "send:a05a01fe6b"},
    };
    for (const Row& row : rows) {
        RecordingDevice device;
        LinkOp op;
        op.SetDevice(&device);
        op.SetRetry(LinkOp::kRetries, 100);
        ASSERT_EQ(op.SetLevel(1), 1);
        ASSERT_NE(OpTestLog::WaitFrom(device.m_log, kGet, 0), kNotFound);
        ASSERT_EQ(op.OnReply(Challenge(row.challenge)), 1);
        EXPECT_NE(OpTestLog::WaitFrom(device.m_log, row.set, 0), kNotFound) << row.set;
        op.Abort();
    }
}

TEST_F(LinkOpTest, ClimbsToLevel3ThroughAnIntermediateLevel) {
    const size_t linked = LinkToLevel1(300);
    ASSERT_EQ(m_op.SetLevel(3), 1);
    // Asked at once, not on the next tick.
    const size_t get = WaitFrom(kGet, linked);
    ASSERT_NE(get, kNotFound);
    ASSERT_EQ(m_op.OnReply(Challenge({0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x23, 0x45, 0x67})), 1);
    const size_t set = WaitFrom("send:a05a03fe6b", get);
    ASSERT_NE(set, kNotFound);
    // The sensor grants 2 only: another Get follows at once.
    ASSERT_EQ(m_op.OnReply(SetReply(2)), 1);
    const size_t level2 = WaitFrom("level:2", set);
    ASSERT_NE(level2, kNotFound);
    const size_t again = WaitFrom(kGet, level2);
    ASSERT_NE(again, kNotFound);
    ASSERT_EQ(m_op.OnReply(Challenge({0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11})), 1);
    const size_t set3 = WaitFrom("send:a05a035684", again);
    ASSERT_NE(set3, kNotFound);
    ASSERT_EQ(m_op.OnReply(SetReply(3)), 1);
    ASSERT_NE(WaitFrom("level:3", set3), kNotFound);
    EXPECT_EQ(m_op.GetLevel(), 3);
    // Only the first link asks for the version.
    EXPECT_EQ(WaitFrom("request version", linked, 0), kNotFound);
}

// The answered challenge may be one the sensor has forgotten (it restarted
// after sending it): every refused Set is followed by a fresh Get.
TEST_F(LinkOpTest, RefusedSetIsFollowedByAFreshGet) {
    const struct {
        BYTE from, to;
        const char* set;
        const char* freshSet;  // answers the challenge of zeros
    } rows[] = {
        {0, 1, kSet1, "send:a05a010000"},
        {1, 3, kSet3, "send:a05a030000"},
    };
    for (const auto& row : rows) {
        size_t from = m_device.m_log.Count();
        if (row.from == 1) from = LinkToLevel1(40, from);
        m_op.SetRetry(LinkOp::kRetries, 40);
        ASSERT_EQ(m_op.SetLevel(row.to), 1);
        const size_t get = WaitFrom(kGet, from);
        ASSERT_NE(get, kNotFound) << row.to;
        ASSERT_EQ(m_op.OnReply(kChallenge1to8), 1);
        const size_t set = WaitFrom(row.set, get);
        ASSERT_NE(set, kNotFound) << row.to;
        ASSERT_EQ(m_op.OnReply(SetReply(row.from)), 1);  // refused: the level stays
        const size_t fresh = WaitFrom(kGet, set);
        ASSERT_NE(fresh, kNotFound) << row.to;
        ASSERT_EQ(m_op.OnReply(Challenge({0, 0, 0, 0, 0, 0, 0, 0})), 1);
        const size_t answered = WaitFrom(row.freshSet, fresh);
        ASSERT_NE(answered, kNotFound) << row.to;
        ASSERT_EQ(m_op.OnReply(SetReply(row.to)), 1);
        ASSERT_NE(WaitFrom("level:" + std::to_string(row.to), answered), kNotFound) << row.to;
        // Between the refusal and the fresh Get at most the refused Set again,
        // sent on a tick before its reply was handled.
        for (size_t i = set + 1; i < fresh; ++i) EXPECT_EQ(m_device.m_log.Entries()[i], row.set) << i;
        m_op.SetLevel(0);
    }
}

// A challenge that no Get asked for (a late reply from before a restart) is
// not answered and keeps nothing alive: the silence fallback still fires.
TEST_F(LinkOpTest, UnaskedChallengeIsIgnoredAndKeepsNoLinkAlive) {
    const size_t linked = LinkToLevel1(20);
    const std::string unasked = Challenge({0, 0, 0, 0, 0, 0, 0, 0});
    const DWORD start = GetTickCount();
    size_t dropped = kNotFound;
    while (dropped == kNotFound) {
        ASSERT_EQ(m_op.OnReply(unasked), 1);
        dropped = WaitFrom("level:0", linked, 5);
        ASSERT_LT(GetTickCount() - start, 5000u) << "the link never dropped";
    }
    for (size_t i = linked; i < dropped; ++i) EXPECT_EQ(m_device.m_log.Entries()[i], kSet1) << i;
}

TEST_F(LinkOpTest, DropsToLevel0AfterTenSilentTicksAndClimbsAgain) {
    const size_t linked = LinkToLevel1(20);
    const size_t dropped = WaitFrom("level:0", linked);
    ASSERT_NE(dropped, kNotFound);
    // Nine keep-alives, the tenth tick drops, and the climb starts with a Get.
    std::vector<std::string> want(9, kSet1);
    want.push_back("level:0");
    want.push_back(kGet);
    ASSERT_NE(WaitFrom(kGet, dropped), kNotFound);
    const std::vector<std::string> after = OpTestLog::From(m_device.m_log, linked);
    EXPECT_EQ(std::vector<std::string>(after.begin(), after.begin() + 11), want);
    EXPECT_EQ(m_op.GetLevel(), 0);
    EXPECT_TRUE(m_op.IsRunning());
    // Reported once, not on every later tick.
    EXPECT_EQ(WaitFrom("level:0", dropped + 1, 0), kNotFound);
}

TEST_F(LinkOpTest, DropForgetsTheAnswerSoARestartedSensorGetsAFreshChallenge) {
    const size_t linked = LinkToLevel1(20);
    ASSERT_EQ(m_op.SetLevel(3), 1);
    ASSERT_NE(WaitFrom(kGet, linked), kNotFound);
    ASSERT_EQ(m_op.OnReply(kChallenge1to8), 1);
    // The answer is ready but the sensor never confirms it.
    const size_t set = WaitFrom(kSet3, linked);
    ASSERT_NE(set, kNotFound);
    const size_t dropped = WaitFrom("level:0", set);
    ASSERT_NE(dropped, kNotFound);
    ASSERT_NE(WaitFrom(kGet, dropped), kNotFound);
    EXPECT_EQ(OpTestLog::From(m_device.m_log, dropped)[1], kGet);
    // The next challenge brings its own answer.
    ASSERT_EQ(m_op.OnReply(Challenge({0, 0, 0, 0, 0, 0, 0, 0})), 1);
    EXPECT_NE(WaitFrom("send:a05a030000", dropped), kNotFound);
}

TEST_F(LinkOpTest, HoldSendsNothingAndKeepsTheLevel) {
    const size_t linked = LinkToLevel1(20);
    m_op.SetHold(1);
    const size_t held = m_device.m_log.Count();
    // A level change while held sends nothing either.
    ASSERT_EQ(m_op.SetLevel(2), 1);
    // Thirty ticks: without the hold the level would have dropped after ten.
    EXPECT_EQ(WaitFrom("level:0", linked, 600), kNotFound);
    EXPECT_LE(OpTestLog::From(m_device.m_log, held).size(), 1u);  // one tick may have been under way
    EXPECT_EQ(m_op.GetLevel(), 1);
    m_op.SetHold(0);
    EXPECT_NE(WaitFrom(kGet, held), kNotFound);
}

TEST_F(LinkOpTest, LevelZeroSendsSetZeroWithTheKeptAnswerReportsAndStops) {
    const size_t linked = LinkToLevel1(300);
    m_op.SetLevel(0);
    const std::vector<std::string> after = OpTestLog::From(m_device.m_log, linked);
    ASSERT_GE(after.size(), 2u);
    const std::vector<std::string> tail(after.end() - 2, after.end());
    const std::vector<std::string> want = {"send:a05a00a7ee", "level:0"};
    EXPECT_EQ(tail, want);
    EXPECT_FALSE(m_op.IsRunning());
    EXPECT_EQ(m_op.GetLevel(), 0);
    // Started again, it climbs from a fresh Get.
    m_op.SetRetry(LinkOp::kRetries, 20);
    const size_t restart = m_device.m_log.Count();
    ASSERT_EQ(m_op.SetLevel(1), 1);
    EXPECT_EQ(WaitFrom(kGet, restart), restart);
}

TEST_F(LinkOpTest, AbortWhileStoppedReportsLevelZeroAndSendsNothing) {
    m_op.Abort();
    const std::vector<std::string> want = {"level:0"};
    EXPECT_EQ(m_device.m_log.Entries(), want);
}

TEST_F(LinkOpTest, SameLevelWhileRunningSendsNothing) {
    LinkToLevel1(20);
    m_op.SetRetry(LinkOp::kRetries, 60000);
    const size_t before = m_device.m_log.Count();
    ASSERT_EQ(m_op.SetLevel(1), 1);
    EXPECT_EQ(m_device.m_log.Count(), before);
}

TEST_F(LinkOpTest, RepliesOfWrongLengthOrSubCommandAreIgnored) {
    const size_t linked = LinkToLevel1(300);
    const std::string bad[] = {
        RecordingDevice::Complete(RecordingDevice::Bytes({0xA0, 0x5A, 2, 0})),  // Set reply, 6 bytes
        RecordingDevice::Complete(RecordingDevice::Bytes({0xA0, 0x5A})),        // Set reply, 4 bytes
        RecordingDevice::Complete(RecordingDevice::Bytes({0xA0, 0x41, 2})),     // unknown sub-command
        RecordingDevice::Complete(RecordingDevice::Bytes({0xA0, 0x69, 1, 2, 3, 4, 5, 6, 7})),  // 11 bytes
        RecordingDevice::Bytes({0xA0}),
        SetReply(50),  // no level the link has
        SetReply(201),
    };
    // A keep-alive Set awaits its reply.
    ASSERT_NE(WaitFrom(kSet1, linked), kNotFound);
    for (const std::string& reply : bad) ASSERT_EQ(m_op.OnReply(reply), 1);
    // Handled in order: when the good reply shows, the bad ones were ignored.
    ASSERT_EQ(m_op.OnReply(SetReply(3)), 1);
    const size_t level = WaitFrom("level:3", linked);
    ASSERT_NE(level, kNotFound);
    for (const std::string& e : OpTestLog::From(m_device.m_log, linked)) {
        if (e.compare(0, 6, "level:") == 0) {
            EXPECT_EQ(e, "level:3");
        }
        // No Get and no other answer: the short challenge was not taken.
        if (e.compare(0, 5, "send:") == 0) {
            EXPECT_EQ(e, kSet1);
        }
    }
}

TEST_F(LinkOpTest, SetReplyWithoutASetOfItsOwnIsNotALink) {
    m_op.SetRetry(LinkOp::kRetries, 100);
    ASSERT_EQ(m_op.SetLevel(1), 1);
    // Left on the line by an earlier connection, before any request and
    // while the Get awaits its challenge: neither counts.
    ASSERT_EQ(m_op.OnReply(SetReply(1)), 1);
    const size_t get = WaitFrom(kGet, 0);
    ASSERT_NE(get, kNotFound);
    ASSERT_EQ(m_op.OnReply(SetReply(1)), 1);
    // No keep-alive tick from here on: only the answer below sends a Set.
    m_op.SetRetry(LinkOp::kRetries, 60000);
    ASSERT_EQ(m_op.OnReply(kChallenge1to8), 1);
    const size_t set = WaitFrom(kSet1, get);
    ASSERT_NE(set, kNotFound);
    EXPECT_EQ(WaitFrom("level:1", 0, 0), kNotFound);
    EXPECT_EQ(m_op.GetLevel(), 0);
    // The reply to the Set sent links; a second copy of it changes nothing.
    ASSERT_EQ(m_op.OnReply(SetReply(1)), 1);
    ASSERT_EQ(m_op.OnReply(SetReply(2)), 1);
    ASSERT_NE(WaitFrom("read function setting", set), kNotFound);
    EXPECT_EQ(m_op.GetLevel(), 1);
    EXPECT_EQ(WaitFrom("level:2", set, 0), kNotFound);
}

TEST_F(LinkOpTest, SetReplyAfterAnAbortAndRestartIsNotALink) {
    LinkToLevel1(300);
    // The abort's Set with level 0 is the last request of the old run.
    ASSERT_EQ(m_op.SetLevel(0), 1);
    m_op.SetRetry(LinkOp::kRetries, 60000);  // the restart sends nothing by itself
    const size_t restart = m_device.m_log.Count();
    ASSERT_EQ(m_op.SetLevel(1), 1);
    // A Set reply of the old run arrives after the restart, then the first
    // Get goes out and its challenge comes.
    ASSERT_EQ(m_op.OnReply(SetReply(1)), 1);
    m_op.SetRetry(LinkOp::kRetries, 20);
    ASSERT_NE(WaitFrom(kGet, restart), kNotFound);
    ASSERT_EQ(m_op.OnReply(kChallenge1to8), 1);
    ASSERT_NE(WaitFrom(kSet1, restart), kNotFound);
    EXPECT_EQ(WaitFrom("level:1", restart, 0), kNotFound);
    EXPECT_EQ(m_op.GetLevel(), 0);
}

namespace {

// A sensor behind a slow line: each request is answered lagMs after it went
// out, in the order of the requests. Like a real one it keeps only the
// challenge of its latest Get and refuses a Set that answers another.
class LaggingSensor {
public:
    LaggingSensor(EventLog& log, LinkOp& op, DWORD lagMs, int lostChallenges)
        : m_log(log), m_op(op), m_lagMs(lagMs), m_lost(lostChallenges) {}

    // Serves until the operation reports level; false after timeoutMs.
    bool ServeUntil(int level, DWORD timeoutMs = 5000) {
        const std::string reached = "level:" + std::to_string(level);
        for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(2)) {
            const std::vector<std::string> entries = m_log.Entries();
            for (; m_seen < entries.size(); ++m_seen) {
                if (entries[m_seen] == reached) return true;
                if (entries[m_seen].compare(0, 5, "send:") == 0) Take(entries[m_seen].substr(5));
            }
            while (!m_replies.empty() && GetTickCount() - m_replies.front().first < 0x80000000u) {
                m_op.OnReply(m_replies.front().second);
                m_replies.pop_front();
            }
        }
        return false;
    }

    int m_refused = 0;

private:
    void Take(const std::string& hex) {
        std::string reply;
        if (hex == "a069") {
            for (int i = 0; i < 8; ++i) m_challenge[i] = static_cast<char>(++m_serial + i);
            reply = RecordingDevice::Bytes({0xA0, 0x69}) + std::string(m_challenge, 8);
            if (m_lost-- > 0) return;
        } else if (hex.compare(0, 4, "a05a") == 0) {
            const int wanted = std::stoi(hex.substr(4, 2), NULL, 16);
            const int answer = std::stoi(hex.substr(8, 2) + hex.substr(6, 2), NULL, 16);
            if (answer == SensorDeviceBase::Crc16(std::string(m_challenge, 8) + std::string(2, '\0'))) {
                m_level = wanted;
            } else if (wanted != m_level) {
                ++m_refused;
            }
            reply = RecordingDevice::Bytes({0xA0, 0x5A, m_level});
        }
        m_replies.push_back(std::make_pair(GetTickCount() + m_lagMs, RecordingDevice::Complete(reply)));
    }

    EventLog& m_log;
    LinkOp& m_op;
    DWORD m_lagMs;
    int m_lost;
    size_t m_seen = 0;
    int m_level = 0;
    int m_serial = 0;
    char m_challenge[8] = {};
    std::deque<std::pair<DWORD, std::string>> m_replies;  // due tick, reply
};

}  // namespace

// Replies lag more than two ticks behind their requests, as behind a scan at
// 19200 baud: each climb is answered with the sensor's latest challenge and
// no Set is refused; a lost challenge delays the climb but does not stop it.
TEST(LinkOp_SlowLine, ClimbsAtTheFirstTryWhileRepliesLagBehindTheTicks) {
    const struct {
        DWORD lagMs;  // ticks of 40 ms
        int lostChallenges;
    } rows[] = {{140, 0}, {100, 0}, {140, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.lagMs) + " ms, lost " + std::to_string(row.lostChallenges));
        RecordingDevice device;
        LinkOp op;
        op.SetDevice(&device);
        op.SetRetry(LinkOp::kRetries, 40);
        LaggingSensor sensor(device.m_log, op, row.lagMs, row.lostChallenges);
        ASSERT_EQ(op.SetLevel(1), 1);
        EXPECT_TRUE(sensor.ServeUntil(1));
        ASSERT_EQ(op.SetLevel(3), 1);
        EXPECT_TRUE(sensor.ServeUntil(3));
        EXPECT_EQ(sensor.m_refused, 0);
        op.Abort();
    }
}
