#ifndef TESTS_PROTOCOL_STALLEDLINEPORT_H
#define TESTS_PROTOCOL_STALLEDLINEPORT_H

#include <windows.h>

#include <string>
#include <vector>

#include "framework/CriticalLock.h"
#include "framework/OwnedHandle.h"
#include "protocol/DevicePort.h"

// The real device port on a line whose output queue never drains: every
// write waits for room until its bound or a cut. The handle is an event and
// the other line calls succeed; each Send notes the error it ended with
// (0 when it went out).
class StalledLinePort : public DevicePort {
public:
    StalledLinePort() : m_writer(0), m_waiting(CreateEventA(NULL, TRUE, FALSE, NULL)) {
        m_inQueueSize = kQueueBytes;
        m_outQueueSize = kQueueBytes;
    }
    ~StalledLinePort() override {
        Detach();
        Close();
    }

    // The line of the serial port alone, whatever collaborators are set.
    int OpenLine() { return SerialPort::CreateEvents() && Open(3); }
    // True once a Send waits for room on the line.
    bool WaitForStalledWrite() { return WaitForSingleObject(m_waiting.Get(), 5000) == WAIT_OBJECT_0; }
    std::vector<DWORD> SendErrors() {
        CriticalLock::Hold hold(m_lock);
        return m_errors;
    }

    int Send(const std::string& bytes) override {
        InterlockedExchange(&m_writer, static_cast<LONG>(GetCurrentThreadId()));
        const int sent = DevicePort::Send(bytes);
        const DWORD error = sent ? 0 : GetLastError();
        {
            CriticalLock::Hold hold(m_lock);
            m_errors.push_back(error);
        }
        SetLastError(error);
        return sent;
    }

    HANDLE CreateFile(int, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD) override {
        return CreateEventA(NULL, TRUE, FALSE, NULL);
    }
    BOOL SetCommState(LPDCB) override { return TRUE; }
    BOOL SetCommMask(DWORD) override { return TRUE; }
    BOOL SetupComm(DWORD, DWORD) override { return TRUE; }
    BOOL PurgeComm(DWORD) override { return TRUE; }
    BOOL ClearCommBreak() override { return TRUE; }
    // Fails as Wine's pseudo-terminals do: the receive thread polls.
    BOOL WaitCommEvent(LPDWORD, LPOVERLAPPED) override {
        SetLastError(ERROR_OPERATION_ABORTED);
        return FALSE;
    }
    BOOL ClearCommError(LPDWORD errors, LPCOMSTAT status) override {
        *errors = 0;
        ZeroMemory(status, sizeof(*status));
        status->cbOutQue = kQueueBytes;
        if (static_cast<DWORD>(InterlockedCompareExchange(&m_writer, 0, 0)) == GetCurrentThreadId())
            SetEvent(m_waiting.Get());
        return TRUE;
    }

private:
    volatile LONG m_writer;  // the thread of the latest Send
    OwnedHandle m_waiting;   // manual-reset: a Send asked for room
    CriticalLock m_lock;     // guards m_errors
    std::vector<DWORD> m_errors;
};

#endif
