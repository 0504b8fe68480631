#ifndef PROTOCOL_PROBEDEVICE_H
#define PROTOCOL_PROBEDEVICE_H

#include "protocol/SensorDeviceBase.h"

#include "framework/CriticalLock.h"

#include <memory>

class BaudProbeOp;

// The device of automatic recognition: instead of speaking the protocol it
// owns one baud-rate probe, which cycles the line through the sensor's three
// rates and sends a fixed Link Get at each. When a challenge reply answers,
// the frame is told the rate's index and selects the sensor device of that
// rate in place of this one. Every sensor request is refused (the base's 0).
//
// The probe runs only while the device is connected: the device port
// configures its own line settings first, and a probe stopped before the
// next device's line is set can never switch that line behind it.
class ProbeDevice : public SensorDeviceBase {
public:
    ProbeDevice();
    ~ProbeDevice() override;

    // Creates the probe and links it; 0 without a port or when it cannot be
    // created.
    int Open() override;
    // Stops the probe and drops its link.
    void Close() override;
    // 1 starts the probe at 19200 baud; 0 stops it (and waits for it).
    int SetConnected(DWORD connected) override;

    int SendFrame(std::string& message) override;
    // Hands every byte to the probe and empties the buffer.
    int OnReceive(std::string& buffer, std::vector<std::string>& monitorLines) override;
    int EncodeAreas(BYTE* table, WORD* image) override;
    int DecodeAreas(const WORD* image, BYTE* table) override;

    // Operation thread: the line at 19200 (0), 57600 (1) or 115200 (any other).
    virtual void SetBaud(BYTE index);
    // Operation thread: the bytes as they are, only while connected.
    virtual int SendRaw(const std::string& bytes);
    virtual BOOL NotifyBaudFound(WORD index);

    // The line rate of a probe index.
    static DWORD BaudOf(BYTE index);

private:
    CriticalLock m_sendLock;  // held around every raw send
    std::unique_ptr<BaudProbeOp> m_probe;  // null until opened
};

#endif
