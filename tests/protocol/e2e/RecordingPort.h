#ifndef TESTS_PROTOCOL_E2E_RECORDINGPORT_H
#define TESTS_PROTOCOL_E2E_RECORDINGPORT_H

#include <windows.h>

#include <string>
#include <vector>

#include "protocol/SerialPort.h"

// A serial port owner for tests: collects the good messages cut out of the
// received bytes and signals each arrival.
class RecordingPort : public SerialPort {
public:
    explicit RecordingPort(DWORD eventMask = EV_RXCHAR);
    ~RecordingPort() override;

    void OnCommEvent(DWORD events) override;

    // Waits until at least count messages have arrived; false on time-out.
    bool WaitForMessages(size_t count, DWORD timeoutMs);
    std::vector<std::string> Messages();
    // Number of OnCommEvent calls that read bytes, and the most messages one such read completed.
    int Reads();
    size_t MostMessagesInOneRead();
    size_t BytesReceived();

private:
    CRITICAL_SECTION m_lock;              // guards the fields below
    std::string m_buffer;                 // unfinished frame between reads
    std::vector<std::string> m_messages;  // good messages, CRC included
    int m_reads;
    size_t m_mostInOneRead;
    size_t m_bytes;
    HANDLE m_arrived;                     // auto-reset; set after each read
};

#endif
