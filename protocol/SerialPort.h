#ifndef PROTOCOL_SERIALPORT_H
#define PROTOCOL_SERIALPORT_H

#include <windows.h>

#include <string>

#include "framework/CriticalLock.h"

// An overlapped COM port with its own receive thread.
//
// The receive thread waits for EV_RXCHAR only: a mask with modem-line events
// makes WaitCommEvent fail at once on ports that cannot report modem status
// (Wine's pseudo-terminals), and a pending wait there is cancelled at once.
// After a failed, cancelled or empty wait the thread asks ClearCommError how
// many bytes wait and hands them on, sleeping 1 ms when none wait, so the loop
// works on real ports and on pseudo-terminals alike. A stop event ends it.
//
// Writes wait, bounded, for room in the output queue and for their completion,
// so no OVERLAPPED is reused while pending and no caller's buffer is read after
// WriteAll returns. Close gives queued output up to 500 ms to drain and
// purges it only when it did not.
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

    SerialPort();
    virtual ~SerialPort();

    virtual int CreateEvents();
    virtual int Open(int port);
    virtual int Close();
    virtual int ReadAll(std::string& buffer);
    virtual int WriteAll(const std::string& data);

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

    bool IsOpen() const { return m_port != NULL; }
    static bool IsPortNumber(int port) { return port >= kFirstPort && port <= kLastPort; }

protected:
    DWORD m_inQueueSize;   // set by the subclass while the port is closed
    DWORD m_outQueueSize;  // set by the subclass; also bounds WriteAll
    DCB m_dcb;             // set by the subclass; applied at Open
    DWORD m_eventMask;     // events passed to OnCommEvent; set by the subclass

private:
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    static DWORD WINAPI ReceiveThreadProc(LPVOID param);
    DWORD ReceiveLoop();
    DWORD WaitForEvents(bool* waited);
    DWORD BytesWaiting();
    int StartReceiveThread();
    void StopReceiveThread();
    bool DrainOutput();
    int WaitForRoom(DWORD size);
    DWORD FinishOverlapped(OVERLAPPED* overlapped, DWORD timeoutMs, BOOL* ok);

    HANDLE m_port;            // opened and closed by the thread that calls Open/Close
    OVERLAPPED m_waitOv;      // receive thread only while it runs
    OVERLAPPED m_readOv;      // receive thread only while it runs
    OVERLAPPED m_writeOv;     // guarded by m_writeLock
    HANDLE m_stopEvent;       // set by Close, read by the receive thread
    HANDLE m_thread;          // thread of Open/Close only
    DWORD m_threadId;         // thread of Open/Close only
    CriticalLock m_writeLock;  // guards m_writeOv and the handle against a close during a write
};

#endif
