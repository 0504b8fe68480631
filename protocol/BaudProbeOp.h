#ifndef PROTOCOL_BAUDPROBEOP_H
#define PROTOCOL_BAUDPROBEOP_H

#include "protocol/DeviceOperation.h"

#include <string>

class ProbeDevice;

// The baud-rate probe's operation: every 500 ms it switches the line to the
// next of 19200, 57600 and 115200 baud and sends the fixed Link Get frame.
// The first well-formed challenge reply names the rate: the index in effect
// when its bytes came is reported, and the probe goes on cycling until the
// device port replaces it. A rate whose frame could not go out (the port not
// open yet) is tried again rather than passed over, so a sensor is found
// within one cycle of the port's opening.
//
// Start runs on the user-interface thread; everything else, the receive
// buffer included, on the operation's thread.
class BaudProbeOp : public DeviceOperation {
public:
    static const DWORD kIntervalMs = 500;
    static const BYTE kRateCount = 3;
    // Bytes kept while a frame waits for its end: a challenge reply is 18
    // bytes on the line, so more is noise.
    static const size_t kMaxBufferBytes = 64;
    // Link Get [A0 69] with its CRC, framed.
    static const char kProbeFrame[8];

    BaudProbeOp();
    ~BaudProbeOp() override;

    using DeviceOperation::OnReply;
    using DeviceOperation::SetDevice;
    virtual void SetDevice(ProbeDevice* device);
    // Clears the probe device link.
    void Detach() override;
    // Index 0 (19200 baud) first, then the base start.
    int Start(ULONG_PTR argument) override;

    virtual LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnStart(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnReply(WPARAM wParam, LPARAM lParam);
    virtual int SendRequest();

    // Looks for a challenge reply in buffer, which keeps an unfinished
    // frame and loses what was looked at: 1 when one was found (the buffer
    // is then empty).
    static int FindChallengeReply(std::string& buffer);

private:
    // Handles every reply handed over so far at the current index.
    void TakeReplies();

    ProbeDevice* m_probe;  // set while the thread is stopped
    BYTE m_index;          // operation thread once started: 0, 1, 2
    bool m_sent;           // operation thread: the last frame went out
    std::string m_buffer;  // operation thread
};

#endif
