#include "protocol/SerialPort.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "framework/OwnedHandle.h"

namespace {

// A port whose owner ignores every event; exposes the settings for checks.
class IdlePort : public SerialPort {
public:
    ~IdlePort() override { Close(); }
    void OnCommEvent(DWORD) override {}
    const DCB& Dcb() const { return m_dcb; }
};

// Wine lists only COM1 to COM9, and no PC has this one.
const int kMissingPort = 200;

TEST(SerialPort, NewPortHoldsRawEightBitLineSettings) {
    IdlePort port;
    const DCB& dcb = port.Dcb();
    EXPECT_EQ(dcb.DCBlength, 28u);
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.fParity | dcb.fOutxCtsFlow | dcb.fOutxDsrFlow | dcb.fDtrControl | dcb.fDsrSensitivity |
                  dcb.fTXContinueOnXoff | dcb.fOutX | dcb.fInX | dcb.fErrorChar | dcb.fNull | dcb.fRtsControl |
                  dcb.fAbortOnError,
              0u);
}

TEST(SerialPort, OpenNeedsTheEvents) {
    IdlePort port;
    EXPECT_EQ(port.Open(3), 0);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.CreateEvents(), 1);
    EXPECT_EQ(port.CreateEvents(), 1);  // a second call keeps the events
}

TEST(SerialPort, PortNumbersOutsideTheRangeCloseAndSucceed) {
    IdlePort port;
    ASSERT_EQ(port.CreateEvents(), 1);
    for (int number : {0, -1, 257, 1000}) {
        EXPECT_EQ(port.Open(number), 1) << number;
        EXPECT_FALSE(port.IsOpen()) << number;
        EXPECT_EQ(port.CreateFile(number, GENERIC_READ, 0, NULL, 0), INVALID_HANDLE_VALUE) << number;
        COMMCONFIG config;
        DWORD size = sizeof(config);
        EXPECT_EQ(port.GetDefaultCommConfig(number, &config, &size), FALSE) << number;
        EXPECT_EQ(port.SetDefaultCommConfig(number, &config, size), FALSE) << number;
        EXPECT_EQ(port.CommConfigDialog(number, NULL, &config), FALSE) << number;
    }
}

TEST(SerialPort, MissingPortFailsToOpenAndStaysClosed) {
    IdlePort port;
    ASSERT_EQ(port.CreateEvents(), 1);
    SetLastError(0);
    EXPECT_EQ(port.Open(kMissingPort), 0);
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Close(), 1);
}

TEST(SerialPort, ClosedPortNeitherReadsNorWrites) {
    IdlePort port;
    ASSERT_EQ(port.CreateEvents(), 1);
    std::string buffer = "kept";
    EXPECT_EQ(port.ReadAll(buffer), 0);
    EXPECT_EQ(buffer, "kept");
    EXPECT_EQ(port.WriteAll("\x02xyz\x03"), 0);
    EXPECT_EQ(port.Close(), 1);
    EXPECT_EQ(port.Close(), 1);
}

}  // namespace

namespace {

const DWORD kTimeoutMs = 5000;
// Long enough for a spinning receive thread to show.
const DWORD kQuietMs = 300;
const ULONG_PTR kStatusPending = 0x103;
const ULONG_PTR kStatusSuccess = 0;
const ULONG_PTR kStatusDeviceGone = 0xC000009D;  // STATUS_DEVICE_NOT_CONNECTED

// A port with no device: the handle is an event and the communication calls
// are scripted. Its wait either blocks until bytes arrive or the mask is
// cleared, as Windows' serial drivers do, or fails at once, as Wine's
// pseudo-terminals do. The device can be lost: ClearCommError then fails.
class ScriptedPort : public SerialPort {
public:
    enum WaitKind { kBlockingWait, kFailingWait };

    explicit ScriptedPort(WaitKind kind)
        : m_kind(kind), m_pending(NULL), m_pendingMask(NULL), m_waits(0), m_polls(0), m_lostCalls(0),
          m_lostSession(0), m_lost(false), m_missed(false), m_mask(0), m_arrived(CreateEventA(NULL, FALSE, FALSE, NULL)),
          m_lostEvent(CreateEventA(NULL, TRUE, FALSE, NULL)) {
        InitializeCriticalSection(&m_lock);
        m_eventMask = EV_RXCHAR;
        m_outQueueSize = 4096;
    }
    ~ScriptedPort() override {
        Close();
        DeleteCriticalSection(&m_lock);
    }

    HANDLE CreateFile(int, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD) override {
        return CreateEventA(NULL, TRUE, FALSE, NULL);
    }
    // A driver takes the settings when called; the line has them once the call returns.
    BOOL SetCommState(LPDCB dcb) override {
        const DWORD rate = dcb->BaudRate;
        std::function<void()> during;
        during.swap(m_duringOpen);
        if (during) during();
        Hold hold(this);
        m_lineRate = rate;
        return TRUE;
    }
    BOOL ClearCommBreak() override { return TRUE; }
    BOOL SetupComm(DWORD, DWORD) override { return TRUE; }
    BOOL SetCommMask(DWORD mask) override {
        Hold hold(this);
        m_mask = mask;
        if (mask == 0) CompleteWait(kStatusSuccess);
        return TRUE;
    }
    BOOL PurgeComm(DWORD flags) override {
        Hold hold(this);
        if (flags & PURGE_RXCLEAR) m_input.clear();
        return TRUE;
    }
    BOOL ClearCommError(LPDWORD errors, LPCOMSTAT status) override {
        Hold hold(this);
        ++m_polls;
        *errors = 0;
        ZeroMemory(status, sizeof(*status));
        if (m_lost) {
            SetLastError(ERROR_NOT_READY);
            return FALSE;
        }
        status->cbInQue = static_cast<DWORD>(m_input.size());
        status->cbOutQue = m_outQueued;
        return TRUE;
    }
    BOOL ReadFile(LPVOID buffer, DWORD count, LPDWORD countRead, LPOVERLAPPED) override {
        Hold hold(this);
        *countRead = static_cast<DWORD>(m_input.copy(static_cast<char*>(buffer), count));
        m_input.erase(0, *countRead);
        return TRUE;
    }
    BOOL WriteFile(LPCVOID, DWORD count, LPDWORD countWritten, LPOVERLAPPED) override {
        *countWritten = count;
        {
            Hold hold(this);
            m_rateAtWrite = m_lineRate;
        }
        if (!m_answer.empty()) Feed(m_answer);
        return TRUE;
    }
    BOOL WaitCommEvent(LPDWORD mask, LPOVERLAPPED overlapped) override {
        Hold hold(this);
        ++m_waits;
        if (m_mask == 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (m_kind == kFailingWait || m_lost) {
            SetLastError(m_lost ? ERROR_BAD_COMMAND : ERROR_OPERATION_ABORTED);
            return FALSE;
        }
        if (m_missed) {
            // Bytes came while no wait was pending: the driver reports them at once.
            m_missed = false;
            *mask = EV_RXCHAR;
            return TRUE;
        }
        overlapped->Internal = kStatusPending;
        m_pending = overlapped;
        m_pendingMask = mask;
        SetLastError(ERROR_IO_PENDING);
        return FALSE;
    }
    void OnCommEvent(DWORD) override {
        std::string bytes;
        ReadAll(bytes);
        Hold hold(this);
        m_received += bytes;
        SetEvent(m_arrived.Get());
    }
    void OnDeviceLost(DWORD session) override {
        Hold hold(this);
        ++m_lostCalls;
        m_lostSession = session;
        SetEvent(m_lostEvent.Get());
    }

    // Bytes reach the input queue, and a pending wait reports them.
    void Feed(const std::string& bytes) {
        Hold hold(this);
        m_input += bytes;
        m_missed = m_pending == NULL;
        if (m_pendingMask != NULL) *m_pendingMask = EV_RXCHAR;
        CompleteWait(kStatusSuccess);
    }
    void LoseDevice() {
        Hold hold(this);
        m_lost = true;
        CompleteWait(kStatusDeviceGone);
    }
    bool WaitForReceived(const std::string& bytes) {
        const DWORD start = GetTickCount();
        while (Received() != bytes) {
            if (GetTickCount() - start >= kTimeoutMs) return false;
            WaitForSingleObject(m_arrived.Get(), 50);
        }
        return true;
    }
    bool WaitForLost() { return WaitForSingleObject(m_lostEvent.Get(), kTimeoutMs) == WAIT_OBJECT_0; }
    std::string Received() { return Read(m_received); }
    int Waits() { return Read(m_waits); }
    int Polls() { return Read(m_polls); }
    int LostCalls() { return Read(m_lostCalls); }
    DWORD LostSession() { return Read(m_lostSession); }
    DWORD RateAtWrite() { return Read(m_rateAtWrite); }

    // A stalled line: the output queue stays as full as this.
    void Stall(DWORD queued) {
        Hold hold(this);
        m_outQueued = queued;
    }

    std::string m_answer;                // set before the open: the other end answers every write so
    std::function<void()> m_duringOpen;  // set before the open: runs once as it sets the line up

private:
    struct Hold {
        explicit Hold(ScriptedPort* port) : m_port(port) { EnterCriticalSection(&port->m_lock); }
        ~Hold() { LeaveCriticalSection(&m_port->m_lock); }
        ScriptedPort* m_port;
    };
    template <typename T>
    T Read(const T& field) {
        Hold hold(this);
        return field;
    }
    // As a driver completes an overlapped wait: status, then the event.
    void CompleteWait(ULONG_PTR status) {
        if (m_pending == NULL) return;
        m_pending->Internal = status;
        m_pending->InternalHigh = 0;
        SetEvent(m_pending->hEvent);
        m_pending = NULL;
        m_pendingMask = NULL;
    }

    const WaitKind m_kind;
    CRITICAL_SECTION m_lock;  // guards every field below
    std::string m_input;
    std::string m_received;
    OVERLAPPED* m_pending;
    LPDWORD m_pendingMask;
    int m_waits;
    int m_polls;
    int m_lostCalls;
    DWORD m_lostSession;
    bool m_lost;
    bool m_missed;  // bytes arrived with no wait pending
    DWORD m_mask;   // a wait with no events to wait for fails
    DWORD m_lineRate = 0;     // the rate the line has
    DWORD m_rateAtWrite = 0;  // the rate of the line when the last write went out
    DWORD m_outQueued = 0;    // bytes the output queue reports
    OwnedHandle m_arrived;  // auto-reset: set after each delivery
    OwnedHandle m_lostEvent;
};

const int kAnyPort = 3;

TEST(SerialPort_Receive, BlockingWaitIsKeptAndTheQuietLineIsNotPolled) {
    ScriptedPort port(ScriptedPort::kBlockingWait);
    ASSERT_EQ(port.CreateEvents(), 1);
    ASSERT_EQ(port.Open(kAnyPort), 1);
    port.Feed("\x02" "ab");
    ASSERT_TRUE(port.WaitForReceived("\x02" "ab"));
    port.Feed("c\x03");
    ASSERT_TRUE(port.WaitForReceived("\x02" "abc\x03"));
    // One wait per arrival, one for bytes that came between two waits, and the one now pending.
    EXPECT_LE(port.Waits(), 5);
    const int polls = port.Polls();
    Sleep(kQuietMs);  // a window in which a busy receive thread would show
    EXPECT_EQ(port.Polls(), polls);
    EXPECT_EQ(port.Close(), 1);
    EXPECT_EQ(port.LostCalls(), 0);
}

TEST(SerialPort_Receive, WaitThatFailsAtOnceIsNotCalledAgainAndTheQueueIsPolledWithBackOff) {
    ScriptedPort port(ScriptedPort::kFailingWait);
    ASSERT_EQ(port.CreateEvents(), 1);
    ASSERT_EQ(port.Open(kAnyPort), 1);
    port.Feed("first");
    ASSERT_TRUE(port.WaitForReceived("first"));
    port.Feed(" second");
    ASSERT_TRUE(port.WaitForReceived("first second"));
    EXPECT_EQ(port.Waits(), 1);
    // Polled every millisecond the quiet line would cost about kQuietMs
    // polls; with the pause doubling to its bound, a few dozen at most.
    const int polls = port.Polls();
    Sleep(kQuietMs);  // a window in which a busy receive thread would show
    EXPECT_LT(port.Polls() - polls, static_cast<int>(kQuietMs / 4));
    EXPECT_EQ(port.Close(), 1);
    EXPECT_EQ(port.LostCalls(), 0);
}

TEST(SerialPort_Receive, LostDeviceIsReportedOnceAndTheThreadEnds) {
    for (ScriptedPort::WaitKind kind : {ScriptedPort::kBlockingWait, ScriptedPort::kFailingWait}) {
        ScriptedPort port(kind);
        ASSERT_EQ(port.CreateEvents(), 1);
        ASSERT_EQ(port.Open(kAnyPort), 1);
        ASSERT_EQ(port.Open(kAnyPort), 1);  // a second session
        port.Feed("x");
        ASSERT_TRUE(port.WaitForReceived("x")) << kind;
        port.LoseDevice();
        ASSERT_TRUE(port.WaitForLost()) << kind;
        EXPECT_EQ(port.LostSession(), port.Session()) << kind;
        EXPECT_EQ(port.Session(), 2u) << kind;
        // The port stays open for its owner to close; nobody polls it any more.
        EXPECT_TRUE(port.IsOpen()) << kind;
        const int polls = port.Polls();
        Sleep(kQuietMs);  // a window in which a busy receive thread would show
        EXPECT_EQ(port.Polls(), polls) << kind;
        EXPECT_EQ(port.LostCalls(), 1) << kind;
        EXPECT_EQ(port.Close(), 1) << kind;
        EXPECT_FALSE(port.IsOpen()) << kind;
    }
}

TEST(SerialPort_Receive, OpenDiscardsWhatWaitsOnTheLine) {
    ScriptedPort port(ScriptedPort::kFailingWait);
    ASSERT_EQ(port.CreateEvents(), 1);
    port.Feed("left by another program");
    ASSERT_EQ(port.Open(kAnyPort), 1);
    port.Feed("reply");
    ASSERT_TRUE(port.WaitForReceived("reply")) << port.Received();
}

TEST(SerialPort_Receive, RequestMadeWhileThePortOpensGoesOutAtItsRateAndItsAnswerIsKept) {
    ScriptedPort port(ScriptedPort::kFailingWait);
    ASSERT_EQ(port.CreateEvents(), 1);
    DCB dcb;
    DWORD mask = 0, inQueue = 0, outQueue = 0;
    ASSERT_EQ(port.GetConfig(&dcb, &mask, &inQueue, &outQueue), 1);
    ASSERT_NE(dcb.BaudRate, static_cast<DWORD>(CBR_19200));
    dcb.BaudRate = CBR_19200;
    port.m_answer = "reply";
    // Another thread sets the rate and writes, as the rate probe does, as
    // soon as the handle exists, while the open still sets the line up; the
    // open goes on once the write has returned, or after a while when the
    // thread waits for the open.
    OwnedHandle written(CreateEventA(NULL, TRUE, FALSE, NULL));
    std::thread writer;
    port.m_duringOpen = [&] {
        writer = std::thread([&] {
            port.Configure(&dcb, mask, inQueue, outQueue);
            port.WriteAll("request");
            SetEvent(written.Get());
        });
        WaitForSingleObject(written.Get(), 500);
    };
    ASSERT_EQ(port.Open(kAnyPort), 1);
    writer.join();
    EXPECT_EQ(port.RateAtWrite(), static_cast<DWORD>(CBR_19200));
    EXPECT_TRUE(port.WaitForReceived("reply")) << port.Received();
}

// A device switch changes the settings on the user-interface thread: a write
// waiting for room on a stalled line gives up at once instead of holding it.
TEST(SerialPort_Receive, ChangeOfSettingsCutsAWriteWaitingOnAStalledLine) {
    ScriptedPort port(ScriptedPort::kBlockingWait);
    ASSERT_EQ(port.CreateEvents(), 1);
    ASSERT_EQ(port.Open(kAnyPort), 1);
    DCB dcb;
    DWORD mask = 0, inQueue = 0, outQueue = 0;
    ASSERT_EQ(port.GetConfig(&dcb, &mask, &inQueue, &outQueue), 1);
    port.Stall(4096);
    int written = -1;
    DWORD error = 0;
    const int polls = port.Polls();
    std::thread writer([&] {
        written = port.WriteAll("request");
        error = GetLastError();
    });
    while (port.Polls() < polls + 3) Sleep(1);  // the writer waits for room
    EXPECT_EQ(port.Configure(&dcb, mask, inQueue, outQueue), 1);
    writer.join();
    EXPECT_EQ(written, 0);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_OPERATION_ABORTED)) << "the write waited out its bound";
}

TEST(SerialPort, LineTimeCountsStartParityAndStopBits) {
    struct Row {
        DWORD baud;
        BYTE byteSize, parity, stopBits;
        DWORD bytes, ms;
    };
    const Row rows[] = {
        {19200, 8, NOPARITY, ONESTOPBIT, 1920, 1000},     // 10 bits a byte
        {115200, 8, NOPARITY, TWOSTOPBITS, 2058, 196},    // a scan reply: 22638 bits, 196.5 ms
        {57600, 8, NOPARITY, TWOSTOPBITS, 100, 19},       // 1100 bits, 19.1 ms
        {9600, 7, EVENPARITY, ONE5STOPBITS, 10, 10},      // 10.5 bits a byte: 105 bits, 10.9 ms
        {115200, 8, NOPARITY, ONESTOPBIT, 0, 0},
        {0, 8, NOPARITY, ONESTOPBIT, 100, 0},             // no rate set: no time
    };
    for (const Row& row : rows) {
        DCB dcb;
        ZeroMemory(&dcb, sizeof(dcb));
        dcb.BaudRate = row.baud;
        dcb.ByteSize = row.byteSize;
        dcb.Parity = row.parity;
        dcb.StopBits = row.stopBits;
        EXPECT_EQ(SerialPort::LineTimeMs(dcb, row.bytes), row.ms) << row.baud << " " << row.bytes;
    }
}

}  // namespace
