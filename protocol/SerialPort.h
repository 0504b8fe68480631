#ifndef PROTOCOL_SERIALPORT_H
#define PROTOCOL_SERIALPORT_H

#include <windows.h>

#include <string>

#include "framework/CriticalLock.h"
#include "framework/OwnedHandle.h"

// An overlapped COM port with its own receive thread.
//
// The receive thread blocks in WaitCommEvent (EV_RXCHAR only) for as long as
// the port honours the wait, as Windows' serial drivers do. Where a wait
// fails at once instead (Wine's pseudo-terminals fail or cancel every wait,
// and calling it again and again costs a core and memory there), the thread
// stops calling it for the rest of the session and polls ClearCommError,
// sleeping until bytes are due and looking every millisecond while they are:
// after a write, once the line has carried it (a reply follows) and for
// kAnswerWindowMs more; while a frame arrives, until the rest of it that the
// owner expects has had its line time. On a quiet line the pause doubles up
// to kMaxPollMs. The 4096-byte input queue holds far more than that pause of
// the line at any rate, so nothing is lost.
//
// A failing ClearCommError means the device behind the handle has gone (a
// hung-up pseudo-terminal, a pulled USB adapter): no live port fails it. The
// thread then tells OnDeviceLost and ends; the owner closes the port.
//
// Writes wait, bounded, for room in the output queue and for their completion,
// so no OVERLAPPED is reused while pending and no caller's buffer is read after
// WriteAll returns. A change of settings cuts such a wait short rather than
// wait behind it (a device switch runs on the user-interface thread), and so
// does a WriteCut while it lives. Close gives queued output up to 500 ms to drain and
// purges it only when it did not. Open purges the input queue: bytes a former
// user left on the line are no answer to anything this session sends. A write
// or a change of settings made while Open sets the line up waits for it, so a
// request goes out at the settings last asked for and its answer is not purged.
//
// The Win32 communication functions are offered as virtual operations that
// supply the port's handle or name. Names such as CreateFile are macros of
// <windows.h>; every user sees the same expansion, so they stay consistent.
//
// A subclass must call Close in its own destructor: OnCommEvent runs on the
// receive thread until Close returns.
class SerialPort {
public:
    // Lowest and highest port number of "\\.\COM%d".
    static const int kFirstPort = 1;
    static const int kLastPort = 256;
    // Bounds of the waits of a write, and the drain before a close purges.
    static const DWORD kRoomTimeoutMs = 2000;
    static const DWORD kIoTimeoutMs = 3000;
    static const DWORD kDrainTimeoutMs = 500;
    // Pauses of the polling receive loop: the first after a write or a
    // delivery, doubled while the line stays quiet up to the last.
    static const DWORD kFirstPollMs = 1;
    static const DWORD kMaxPollMs = 16;
    // How long after a request has left the thread looks for its answer
    // every kFirstPollMs.
    static const DWORD kAnswerWindowMs = 10;

    SerialPort();
    virtual ~SerialPort();

    virtual int CreateEvents();
    virtual int Open(int port);
    virtual int Close();
    virtual int ReadAll(std::string& buffer);
    virtual int WriteAll(const std::string& data);
    // The line settings, event mask and queue sizes the port holds; 0 when a
    // pointer is null.
    virtual int GetConfig(DCB* dcb, DWORD* eventMask, DWORD* inQueue, DWORD* outQueue);
    // Stores them (the mask and queue sizes take effect at the next open) and,
    // on an open port, empties both queues, applies the settings, clears a
    // break and the error state; 0 at the first failure. Never in the middle
    // of an open, which would apply the old settings after these; a write
    // still waiting for the line is cut short (it fails), as the purge would
    // drop its bytes anyway.
    virtual int Configure(const DCB* dcb, DWORD eventMask, DWORD inQueue, DWORD outQueue);

    virtual HANDLE CreateFile(int port, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security, DWORD flags);
    virtual BOOL ReadFile(LPVOID buffer, DWORD count, LPDWORD countRead, LPOVERLAPPED overlapped);
    virtual BOOL WriteFile(LPCVOID buffer, DWORD count, LPDWORD countWritten, LPOVERLAPPED overlapped);
    virtual BOOL BuildCommDCB(LPCSTR definition, LPDCB dcb);
    virtual BOOL BuildCommDCBAndTimeouts(LPCSTR definition, LPDCB dcb, LPCOMMTIMEOUTS timeouts);
    virtual BOOL ClearCommBreak();
    virtual BOOL ClearCommError(LPDWORD errors, LPCOMSTAT status);
    virtual BOOL CommConfigDialog(int port, HWND window, LPCOMMCONFIG config);
    virtual BOOL EscapeCommFunction(DWORD function);
    virtual BOOL GetCommConfig(LPCOMMCONFIG config, LPDWORD size);
    virtual BOOL GetCommMask(LPDWORD mask);
    virtual BOOL GetCommModemStatus(LPDWORD status);
    virtual BOOL GetCommProperties(LPCOMMPROP properties);
    virtual BOOL GetCommState(LPDCB dcb);
    virtual BOOL GetCommTimeouts(LPCOMMTIMEOUTS timeouts);
    virtual BOOL GetDefaultCommConfig(int port, LPCOMMCONFIG config, LPDWORD size);
    virtual BOOL PurgeComm(DWORD flags);
    virtual BOOL SetCommBreak();
    virtual BOOL SetCommConfig(LPCOMMCONFIG config, DWORD size);
    virtual BOOL SetCommMask(DWORD mask);
    virtual BOOL SetCommState(LPDCB dcb);
    virtual BOOL SetCommTimeouts(LPCOMMTIMEOUTS timeouts);
    virtual BOOL SetDefaultCommConfig(int port, LPCOMMCONFIG config, DWORD size);
    virtual BOOL SetupComm(DWORD inQueue, DWORD outQueue);
    virtual BOOL TransmitCommChar(char c);
    virtual BOOL WaitCommEvent(LPDWORD mask, LPOVERLAPPED overlapped);

    // Called on the receive thread with the wanted events (port event mask applied).
    virtual void OnCommEvent(DWORD events) = 0;
    // Receive thread, after OnCommEvent: how many more bytes of a frame that
    // has begun to arrive the owner expects; 0 when none is under way.
    virtual DWORD BytesToCome();
    // Receive thread, once: the device of this session has gone. The thread
    // ends after the call and the port stays open until the owner closes it
    // (never from this thread: Close waits for it).
    virtual void OnDeviceLost(DWORD session);

    bool IsOpen() const { return m_port.Valid(); }
    // Counts the successful opens: tells a lost session from a later one.
    DWORD Session() const { return m_session; }
    static bool IsPortNumber(int port) { return port >= kFirstPort && port <= kLastPort; }
    // Time the line needs for bytes at the DCB's rate and framing, in whole ms.
    static DWORD LineTimeMs(const DCB& dcb, DWORD bytes);

protected:
    // While one lives, a write that waits for the line, or would, gives up at
    // once (ERROR_OPERATION_ABORTED): the settings are about to change, or a
    // writer goes ahead of the others. Cuts may overlap, on any threads.
    class WriteCut {
    public:
        explicit WriteCut(SerialPort& port) : m_port(port) { m_port.StartCut(); }
        ~WriteCut() { m_port.EndCut(); }

    private:
        WriteCut(const WriteCut&) = delete;
        WriteCut& operator=(const WriteCut&) = delete;
        SerialPort& m_port;
    };

    // WriteAll for a writer that has cut the others to go ahead of them: no
    // cut stops it, and each of its waits ends after boundMs.
    int WriteAhead(const std::string& data, DWORD boundMs);

    // The line settings: set by the subclass before the port is used, then
    // through Configure.
    DWORD m_inQueueSize;   // given to SetupComm at Open
    DWORD m_outQueueSize;  // given to SetupComm at Open; also bounds WriteAll
    DCB m_dcb;             // applied at Open; its rate paces the receive thread's polls
    DWORD m_eventMask;     // events passed to OnCommEvent

private:
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    enum Receiving { kReceiving, kStopped, kLost };

    static DWORD WINAPI ReceiveThreadProc(LPVOID param);
    DWORD ReceiveLoop();
    Receiving WaitLoop();
    Receiving PollLoop();
    bool WaitForEvents(DWORD* events);
    bool Stopping();
    bool QueryInput(DWORD* waiting);
    // The polling receive thread's pause and the ticks between which bytes are due.
    struct PollPace {
        DWORD pause;
        DWORD dueFrom;
        DWORD dueUntil;
    };

    bool Deliver(DWORD events);
    void ExpectRestOfFrame(DWORD now, PollPace* pace);
    void ExpectAnswer(DWORD now, bool alongside, PollPace* pace);
    static DWORD NextPause(DWORD now, const PollPace& pace);
    int StartReceiveThread();
    void StopReceiveThread();
    bool DrainOutput();
    void StartCut();
    void EndCut();
    // WriteAll with the bounds of its waits for room and for completion, and
    // the event that cuts them (0: none).
    int Write(const std::string& data, DWORD roomMs, DWORD ioMs, HANDLE cut);
    int WaitForRoom(DWORD size, DWORD timeoutMs, HANDLE cut);
    DWORD FinishOverlapped(OVERLAPPED* overlapped, HANDLE cut, DWORD timeoutMs, BOOL* ok);

    OwnedHandle m_port;       // opened and closed by the thread that calls Open/Close
    OwnedHandle m_waitEvent;  // events of the three OVERLAPPED below
    OwnedHandle m_readEvent;
    OwnedHandle m_writeEvent;
    OVERLAPPED m_waitOv;      // receive thread only while it runs
    OVERLAPPED m_readOv;      // receive thread only while it runs
    OVERLAPPED m_writeOv;     // guarded by m_writeLock
    OwnedHandle m_stopEvent;  // set by Close, read by the receive thread
    OwnedHandle m_wakeEvent;  // auto-reset; set by WriteAll, read by the polling receive thread
    OwnedHandle m_cutWrite;   // manual-reset; set while a cut lasts (Configure's until it holds m_writeLock)
    CriticalLock m_cutLock;   // guards m_cuts and the setting of m_cutWrite; taken last
    int m_cuts;               // cuts under way
    OwnedHandle m_thread;     // thread of Open/Close only
    DWORD m_threadId;         // thread of Open/Close only
    DWORD m_session;          // thread of Open/Close; read-only while the receive thread runs
    CriticalLock m_writeLock;   // guards m_writeOv, the handle and the line settings between an open, a
                                // close, a write and a change of settings
    volatile LONG m_sendingMs;  // line time of the last write; written by WriteAll, read by the receive thread
};

#endif
