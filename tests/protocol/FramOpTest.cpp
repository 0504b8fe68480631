#include "protocol/FramOp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "framework/ProgressView.h"
#include "framework/OwnedHandle.h"
#include "tests/protocol/FrameBytes.h"
#include "tests/protocol/OpTestLog.h"
#include "tests/protocol/RecordingDevice.h"
#include "tests/protocol/TestHost.h"

namespace {

const size_t kNotFound = OpTestLog::kNotFound;

std::string WordsHex(const WORD* words, int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) bytes += Bytes({words[i] & 0xFF, words[i] >> 8});
    return RecordingDevice::Hex(bytes);
}

// 64 words first, first + 1, ... as they travel.
std::string BlockWords(WORD first) {
    WORD words[64];
    for (int k = 0; k < 64; ++k) words[k] = static_cast<WORD>(first + k);
    return WordsHex(words, 64);
}

std::string Reply(int sub, int block, WORD firstWord) {
    std::string message = Bytes({0xA4, sub, block});
    for (int k = 0; k < 64; ++k) message += Bytes({(firstWord + k) & 0xFF, (firstWord + k) >> 8});
    return WithCrc(message);
}

std::string Data(int block, WORD firstWord) { return Reply(0x69, block, firstWord); }

// The reply that repeats a logged request ("send:<hex>") as the sensor took it.
std::string EchoOf(const std::string& sent) {
    std::string message;
    for (size_t i = 5; i + 1 < sent.size(); i += 2) message += static_cast<char>(std::stoi(sent.substr(i, 2), NULL, 16));
    return WithCrc(message);
}
std::string CommitResult(int result) { return WithCrc(Bytes({0xA4, 0xA5, result})); }

std::string Read(int block) { return "send:a469" + RecordingDevice::Hex(Bytes({block})); }
std::string Write(int block, WORD firstWord) {
    return "send:a45a" + RecordingDevice::Hex(Bytes({block})) + BlockWords(firstWord);
}
const char* const kCommit = "send:a4a5";

// A progress dialog without a window: what the operation does to it goes to the log.
// With hold events, SetPos signals the first and stays inside until the second.
class FakeProgress : public ProgressView {
public:
    FakeProgress(EventLog* log, HANDLE entered, HANDLE release)
        : m_log(log), m_done(0), m_inside(0), m_entered(entered), m_release(release) {}
    void SetCaption(const char* id) override { m_log->Add("caption:" + Id(id)); }
    void SetMessage(const char* id) override { m_log->Add("message:" + Id(id)); }
    void SetPos(UINT percent) override {
        InterlockedIncrement(&m_inside);
        m_log->Add("pos:" + std::to_string(percent));
        if (m_entered != NULL) {
            SetEvent(m_entered);
            WaitForSingleObject(m_release, 10000);
        }
        InterlockedDecrement(&m_inside);
    }
    BOOL IsDone() override { return InterlockedCompareExchange(&m_done, 0, 0); }
    void End() override {}
    void EnableCancel(BOOL) override {}
    void Cancel() { InterlockedExchange(&m_done, 1); }
    bool Inside() { return InterlockedCompareExchange(&m_inside, 0, 0) != 0; }

private:
    static std::string Id(const char* id) { return std::to_string(reinterpret_cast<ULONG_PTR>(id)); }
    EventLog* m_log;
    volatile LONG m_done;
    volatile LONG m_inside;
    HANDLE m_entered;
    HANDLE m_release;
};

class FakeProgressHost : public TestHost {
public:
    explicit FakeProgressHost(EventLog* log)
        : m_refuse(false), m_progress(NULL), m_entered(NULL), m_release(NULL), m_log(log) {}
    ProgressView* BeginProgress(HWND) override {
        m_log->Add("begin progress");
        if (m_whileOpening) m_whileOpening();
        if (m_refuse) return NULL;
        m_progress = new FakeProgress(m_log, m_entered, m_release);
        return m_progress;
    }
    BOOL EndProgress(ProgressView* dialog) override {
        m_log->Add(static_cast<FakeProgress*>(dialog)->Inside() ? "ended during an update" : "end progress");
        delete dialog;
        return TRUE;
    }
    bool m_refuse;
    std::function<void()> m_whileOpening;  // run as the dialog opens
    FakeProgress* m_progress;
    HANDLE m_entered;  // hold events handed to the next dialog
    HANDLE m_release;

private:
    EventLog* m_log;
};

// Logs the results and the level requests; keeps the last area image read.
class FramDevice : public RecordingDevice {
public:
    int AcquireLinkLevel(BYTE level) override {
        m_log.Add("acquire:" + std::to_string(level));
        return 1;
    }
    int ReleaseLinkLevel(BYTE level) override {
        m_log.Add("release:" + std::to_string(level));
        return 1;
    }
    void OnAreasRead(const WORD* image) override {
        m_log.Add(image != NULL ? "areas read:" + WordsHex(image, 128) : "areas read:failed");
    }
    void OnAreasWritten(DWORD ok) override { m_log.Add("areas written:" + std::to_string(ok)); }
    void OnFramData(const WORD* words, BYTE first, BYTE count) override {
        m_log.Add("words:" + (words != NULL ? WordsHex(words, 1) : std::string("failed")) + " " +
                  std::to_string(first) + " " + std::to_string(count));
    }
    void OnFramWritten(DWORD ok, BYTE first, BYTE count) override {
        m_log.Add("written:" + std::to_string(ok) + " " + std::to_string(first) + " " + std::to_string(count));
    }
};

class QuietFramOp : public FramOp {
public:
    QuietFramOp(EventLog* log, DWORD intervalMs, DWORD levelWaitMs) : FramOp(intervalMs, levelWaitMs), m_log(log) {}

protected:
    void ConfirmWordsWritten() override { m_log->Add("succeed box"); }

private:
    EventLog* m_log;
};

// Takes the entries of part out of entries, keeping the order of both; the
// part as found.
std::vector<std::string> Split(std::vector<std::string>* entries, const std::vector<std::string>& part) {
    std::vector<std::string> found, rest;
    for (const std::string& entry : *entries) {
        if (std::find(part.begin(), part.end(), entry) != part.end())
            found.push_back(entry);
        else
            rest.push_back(entry);
    }
    *entries = rest;
    return found;
}

DWORD WINAPI AbortOnThisThread(LPVOID op) {
    static_cast<FramOp*>(op)->Abort();
    return 0;
}

class FramOpTest : public ::testing::Test {
protected:
    FramOpTest() : m_host(&m_device.m_log), m_op(&m_device.m_log, 200, 20) {}
    void SetUp() override {
        m_device.SetLevel(2);
        m_op.SetDevice(&m_device);
        m_op.SetApplication(&m_host);
    }
    void TearDown() override {
        m_op.Abort();
        m_op.Detach();
    }

    int Start(DWORD mode, BYTE first, BYTE count, const WORD* data) {
        FramParams params = {mode, first, count, data};
        return m_op.Start(reinterpret_cast<ULONG_PTR>(&params));
    }
    size_t WaitFrom(const std::string& entry, size_t from = 0, DWORD timeoutMs = 15000) {
        return OpTestLog::WaitFrom(m_device.m_log, entry, from, timeoutMs);
    }
    // Reads the areas once, so that the words after them are known.
    void ReadAreasFirst() {
        ASSERT_EQ(Start(FramParams::kReadAreas, 0x40, 0x80, NULL), 1);
        ASSERT_NE(WaitFrom(Read(1)), kNotFound);
        m_op.OnReply(Data(1, 0x1000));
        ASSERT_NE(WaitFrom(Read(2)), kNotFound);
        m_op.OnReply(Data(2, 0x1040));
        ASSERT_NE(WaitFrom("release:2"), kNotFound);
        m_device.m_log.Clear();
    }
    // Echo and commit of one written block; the index after the commit.
    size_t Confirm(const std::string& write, size_t from, int result = 1) {
        const size_t sent = WaitFrom(write, from);
        EXPECT_NE(sent, kNotFound) << write;
        if (sent == kNotFound) return kNotFound;
        m_op.OnReply(EchoOf(write));
        const size_t commit = WaitFrom(kCommit, sent);
        EXPECT_NE(commit, kNotFound);
        m_op.OnReply(CommitResult(result));
        return commit + 1;
    }
    static const WORD* AreaImage() {
        static WORD image[112];
        for (int i = 0; i < 112; ++i) image[i] = static_cast<WORD>(0x3000 + i);
        return image;
    }
    // Block 2 of an area write: the last 48 image words, then FRAM 0xB0..0xBF.
    static std::string SecondAreaBlock(const std::string& tailHex) {
        return "send:a45a02" + WordsHex(AreaImage() + 64, 48) + tailHex;
    }

    FramDevice m_device;
    FakeProgressHost m_host;
    QuietFramOp m_op;
};

}  // namespace

TEST(FramOp_Blocks, OneFormulaAndWholeBlocksOnly) {
    EXPECT_EQ(FramOp::BlockOf(0x40, 0), 1);
    EXPECT_EQ(FramOp::BlockOf(0x40, 64), 2);
    EXPECT_EQ(FramOp::BlockOf(0xC0, 64), 4);  // past word 255: not block 0
    struct Row {
        DWORD mode;
        BYTE first, count;
        bool ok;
    } rows[] = {
        {FramParams::kReadWords, 0, 0, true},     {FramParams::kReadWords, 0x80, 3, true},
        {FramParams::kReadWords, 0x10, 0, false}, {FramParams::kWriteWords, 0xC0, 128, true},
        {FramParams::kWriteWords, 0, 3, false},   {FramParams::kWriteWords, 0x41, 64, false},
        {FramParams::kReadAreas, 0x40, 0x80, true}, {FramParams::kWriteAreas, 0x00, 0x80, false},
    };
    for (const Row& r : rows) {
        FramParams p = {r.mode, r.first, r.count, NULL};
        EXPECT_EQ(FramOp::IsWholeBlocks(p), r.ok) << r.mode << " " << int(r.first) << " " << int(r.count);
    }
}

TEST_F(FramOpTest, ReadAreasTwoBlocksThenTheImage) {
    ASSERT_EQ(Start(FramParams::kReadAreas, 0x40, 0x80, NULL), 1);
    ASSERT_NE(WaitFrom(Read(1)), kNotFound);
    m_op.OnReply(Data(2, 0x2000));  // the wrong block: ignored
    m_op.OnReply(Data(1, 0x1000));
    ASSERT_NE(WaitFrom(Read(2)), kNotFound);
    m_op.OnReply(Data(2, 0x1040));
    ASSERT_NE(WaitFrom("release:2"), kNotFound);
    // The dialog opens beside the transfer, which may have begun already,
    // and is gone before the result is reported.
    const std::vector<std::string> dialog = {"begin progress", "caption:9216", "message:9482"};
    const std::vector<std::string> transfer = {
        "acquire:2", Read(1), "pos:50", Read(2), "pos:100", "end progress",
        "areas read:" + BlockWords(0x1000) + BlockWords(0x1040), "release:2"};
    std::vector<std::string> got = m_device.m_log.Entries();
    got.erase(std::unique(got.begin(), got.end()), got.end());  // resends on a slow tick
    EXPECT_EQ(Split(&got, dialog), dialog);
    EXPECT_EQ(got, transfer);
}

TEST_F(FramOpTest, TransferThatEndsWhileTheDialogOpensReportsOnceTheDialogIsGone) {
    // The whole read happens while the dialog is being opened; the report
    // waits for the dialog and comes after its end.
    const std::string read = "areas read:" + BlockWords(0x1000) + BlockWords(0x1040);
    m_host.m_whileOpening = [&] {
        ASSERT_NE(WaitFrom(Read(1)), kNotFound);
        m_op.OnReply(Data(1, 0x1000));
        ASSERT_NE(WaitFrom(Read(2)), kNotFound);
        m_op.OnReply(Data(2, 0x1040));
        EXPECT_EQ(WaitFrom(read, 0, 300), kNotFound) << "reported while the dialog opens";
    };
    ASSERT_EQ(Start(FramParams::kReadAreas, 0x40, 0x80, NULL), 1);
    const size_t end = WaitFrom("end progress");
    ASSERT_NE(end, kNotFound);
    EXPECT_NE(WaitFrom(read, end), kNotFound);
    EXPECT_NE(WaitFrom("release:2", end), kNotFound);
    EXPECT_FALSE(m_op.IsRunning());
}

TEST_F(FramOpTest, WriteAreasSendsTheWordsLastReadAfterTheImage) {
    ReadAreasFirst();
    ASSERT_EQ(Start(FramParams::kWriteAreas, 0x40, 0x80, AreaImage()), 1);
    const size_t first = Confirm(Write(1, 0x3000), 0);
    const std::string tail = BlockWords(0x1040).substr(4 * 48);  // FRAM 0xB0..0xBF as read
    Confirm(SecondAreaBlock(tail), first);
    ASSERT_NE(WaitFrom("release:2"), kNotFound);
    const std::vector<std::string> want = {kCommit, "pos:100", "end progress", "areas written:1", "release:2"};
    const std::vector<std::string> all = m_device.m_log.Entries();
    EXPECT_EQ(std::vector<std::string>(all.end() - 5, all.end()), want);
    std::vector<std::string> rest = all;
    EXPECT_EQ(Split(&rest, {"begin progress", "caption:9217", "message:9483"}),
              (std::vector<std::string>{"begin progress", "caption:9217", "message:9483"}));
    EXPECT_FALSE(m_device.m_log.Contains("succeed box"));
}

TEST_F(FramOpTest, WriteAreasWithoutAReadFetchesBlock2First) {
    ASSERT_EQ(Start(FramParams::kWriteAreas, 0x40, 0x80, AreaImage()), 1);
    const size_t read = WaitFrom(Read(2));
    ASSERT_NE(read, kNotFound);
    EXPECT_FALSE(m_device.m_log.Contains(Write(1, 0x3000)));  // not before the read
    m_op.OnReply(Data(2, 0x5000));
    const size_t first = Confirm(Write(1, 0x3000), read);
    Confirm(SecondAreaBlock(BlockWords(0x5000).substr(4 * 48)), first);
    EXPECT_NE(WaitFrom("areas written:1"), kNotFound);
}

TEST_F(FramOpTest, RefusedCommitWritesTheSameBlockAgain) {
    WORD words[64];
    for (int k = 0; k < 64; ++k) words[k] = static_cast<WORD>(0x7000 + k);
    m_device.SetLevel(3);
    ASSERT_EQ(Start(FramParams::kWriteWords, 0xC0, 0, words), 1);
    const size_t refused = Confirm(Write(3, 0x7000), 0, 0);
    const size_t again = Confirm(Write(3, 0x7000), refused);
    ASSERT_NE(WaitFrom("written:1 192 64", again), kNotFound);
    // The progress moved once, after the commit that took.
    const std::vector<std::string> all = m_device.m_log.Entries();
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const std::string& e) { return e.compare(0, 4, "pos:") == 0; }),
              1);
    EXPECT_NE(WaitFrom("succeed box", again), kNotFound);
    EXPECT_FALSE(m_device.m_log.Contains("caption:9217"));
}

TEST_F(FramOpTest, RawWritePastWord255GoesToBlock4) {
    WORD words[128];
    for (int k = 0; k < 128; ++k) words[k] = static_cast<WORD>(0x6000 + k);
    m_device.SetLevel(3);
    ASSERT_EQ(Start(FramParams::kWriteWords, 0xC0, 128, words), 1);
    EXPECT_NE(WaitFrom("acquire:3"), kNotFound);
    const size_t first = Confirm(Write(3, 0x6000), 0);
    Confirm(Write(4, 0x6040), first);
    EXPECT_NE(WaitFrom("written:1 192 128"), kNotFound);
}

TEST_F(FramOpTest, RawReadOfCountZeroReadsOneBlock) {
    m_device.SetLevel(3);
    ASSERT_EQ(Start(FramParams::kReadWords, 0, 0, NULL), 1);
    ASSERT_NE(WaitFrom(Read(0)), kNotFound);
    m_op.OnReply(Data(0, 0xAB00));
    EXPECT_NE(WaitFrom("words:00ab 0 64"), kNotFound);
    EXPECT_NE(WaitFrom("release:3"), kNotFound);
}

TEST_F(FramOpTest, WrongEchoEndsInTheFailureReport) {
    ASSERT_EQ(Start(FramParams::kWriteAreas, 0x40, 0x80, AreaImage()), 1);
    ASSERT_NE(WaitFrom(Read(2)), kNotFound);
    m_op.OnReply(Data(2, 0x5000));
    // Every echo differs in its last word; each one would once have refreshed the retries.
    std::string wrong = EchoOf(Write(1, 0x3000));
    wrong[wrong.size() - 4] ^= 1;
    size_t seen = 0;
    int writes = 0;
    while ((seen = OpTestLog::WaitFrom(m_device.m_log, Write(1, 0x3000), seen, 1500)) != kNotFound) {
        ++seen;
        ++writes;
        m_op.OnReply(wrong);
    }
    EXPECT_NE(WaitFrom("areas written:0"), kNotFound);
    EXPECT_LE(writes, 12);
    EXPECT_FALSE(m_device.m_log.Contains(kCommit));
    EXPECT_NE(WaitFrom("end progress"), kNotFound);
}

TEST_F(FramOpTest, CancelReportsAWriteFailedOnlyOnceABlockMayHaveLanded) {
    // Cancelled before the first commit: nothing was changed, nothing is said.
    ASSERT_EQ(Start(FramParams::kWriteAreas, 0x40, 0x80, AreaImage()), 1);
    m_op.OnReply(Data(2, 0x5000));
    ASSERT_NE(WaitFrom(Write(1, 0x3000)), kNotFound);
    m_host.m_progress->Cancel();
    ASSERT_NE(WaitFrom("end progress"), kNotFound);
    EXPECT_FALSE(m_device.m_log.Contains("areas written:0"));
    // Cancelled after block 1 went in: the user learns it failed part way.
    m_device.m_log.Clear();
    ASSERT_EQ(Start(FramParams::kWriteAreas, 0x40, 0x80, AreaImage()), 1);
    Confirm(Write(1, 0x3000), 0);
    ASSERT_NE(WaitFrom("pos:50"), kNotFound);
    m_host.m_progress->Cancel();
    const size_t failed = WaitFrom("areas written:2");
    ASSERT_NE(failed, kNotFound);
    EXPECT_NE(WaitFrom("end progress"), kNotFound);
}

TEST_F(FramOpTest, WaitsForTheLevelAndPausesWhenItFalls) {
    m_device.SetLevel(1);
    ASSERT_EQ(Start(FramParams::kReadAreas, 0x40, 0x80, NULL), 1);
    ASSERT_NE(WaitFrom("acquire:2"), kNotFound);
    EXPECT_EQ(OpTestLog::WaitFrom(m_device.m_log, Read(1), 0, 200), kNotFound);
    m_device.SetLevel(2);
    ASSERT_NE(WaitFrom(Read(1)), kNotFound);
    m_device.SetLevel(1);
    m_op.OnReply(Data(1, 0x1000));
    // The data is taken, but block 2 waits for the level to come back.
    const size_t half = WaitFrom("pos:50");
    ASSERT_NE(half, kNotFound);
    EXPECT_EQ(OpTestLog::WaitFrom(m_device.m_log, Read(2), half, 200), kNotFound);
    m_device.SetLevel(2);
    EXPECT_NE(WaitFrom(Read(2), half), kNotFound);
}

TEST_F(FramOpTest, NoLevelWithinItsWaitIsAFailure) {
    m_device.SetLevel(0);
    ASSERT_EQ(Start(FramParams::kReadAreas, 0x40, 0x80, NULL), 1);
    const size_t failed = WaitFrom("areas read:failed");
    ASSERT_NE(failed, kNotFound);
    ASSERT_NE(WaitFrom("release:2", failed), kNotFound);
    EXPECT_EQ(OpTestLog::From(m_device.m_log, failed - 1),
              (std::vector<std::string>{"end progress", "areas read:failed", "release:2"}));
}

TEST_F(FramOpTest, RefusedStartsOpenNoDialog) {
    WORD words[64] = {};
    struct Row {
        DWORD mode;
        BYTE first, count;
        const WORD* data;
    } rows[] = {
        {FramParams::kWriteWords, 0, 0, NULL},      // nothing to write
        {FramParams::kWriteWords, 0, 32, words},    // half a block
        {FramParams::kReadWords, 0x20, 0, NULL},    // off a block boundary
        {FramParams::kWriteAreas, 0, 0x80, words},  // the areas are elsewhere
    };
    for (const Row& r : rows) EXPECT_EQ(Start(r.mode, r.first, r.count, r.data), 0);
    EXPECT_EQ(m_op.Start(0), 0);
    ASSERT_EQ(Start(FramParams::kReadAreas, 0x40, 0x80, NULL), 1);
    EXPECT_EQ(Start(FramParams::kReadAreas, 0x40, 0x80, NULL), 0);  // running
    const std::vector<std::string> all = m_device.m_log.Entries();
    EXPECT_EQ(std::count(all.begin(), all.end(), "begin progress"), 1);
    m_op.Abort();
    // No dialog: the transfer that began stops at once, gives its level back
    // and reports nothing.
    m_host.m_refuse = true;
    m_device.m_log.Clear();
    EXPECT_EQ(Start(FramParams::kReadAreas, 0x40, 0x80, NULL), 0);
    EXPECT_FALSE(m_op.IsRunning());
    std::vector<std::string> got = m_device.m_log.Entries();
    EXPECT_EQ(Split(&got, {"begin progress"}), std::vector<std::string>{"begin progress"});
    got.erase(std::remove(got.begin(), got.end(), Read(1)), got.end());
    if (!got.empty()) {
        EXPECT_EQ(got, (std::vector<std::string>{"acquire:2", "release:2"}));
    }
}

TEST_F(FramOpTest, AbortFromAnotherThreadWaitsForAProgressUpdate) {
    OwnedHandle entered(CreateEventA(NULL, FALSE, FALSE, NULL));
    OwnedHandle release(CreateEventA(NULL, TRUE, FALSE, NULL));
    m_host.m_entered = entered.Get();
    m_host.m_release = release.Get();
    ASSERT_EQ(Start(FramParams::kReadAreas, 0x40, 0x80, NULL), 1);
    ASSERT_NE(WaitFrom(Read(1)), kNotFound);
    m_op.OnReply(Data(1, 0x1000));
    ASSERT_EQ(WaitForSingleObject(entered.Get(), 5000), WAIT_OBJECT_0);
    // The user-interface thread aborts while the operation's thread updates the bar.
    OwnedHandle aborter(CreateThread(NULL, 0, AbortOnThisThread, &m_op, 0, NULL));
    ASSERT_TRUE(aborter.Valid());
    EXPECT_EQ(WaitForSingleObject(aborter.Get(), 300), static_cast<DWORD>(WAIT_TIMEOUT));
    SetEvent(release.Get());
    EXPECT_EQ(WaitForSingleObject(aborter.Get(), 10000), WAIT_OBJECT_0);
    EXPECT_NE(WaitFrom("end progress"), kNotFound);
    EXPECT_FALSE(m_device.m_log.Contains("ended during an update"));
    EXPECT_NE(WaitFrom("release:2"), kNotFound);
}
