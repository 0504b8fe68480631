#ifndef TESTS_PROTOCOL_E2E_COLLECTINGPORT_H
#define TESTS_PROTOCOL_E2E_COLLECTINGPORT_H

#include <windows.h>

#include <string>
#include <vector>

#include "protocol/SerialPort.h"

// A serial port owner for tests: collects the good messages cut out of the
// received bytes and signals each arrival.
class CollectingPort : public SerialPort {
public:
    explicit CollectingPort(DWORD eventMask = EV_RXCHAR);
    ~CollectingPort() override;

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
