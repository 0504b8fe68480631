#ifndef PROTOCOL_SENSORDEVICEBASE_H
#define PROTOCOL_SENSORDEVICEBASE_H

#include <windows.h>

#include <string>
#include <vector>

// Base of the sensor devices. The frame codec lives here as pure functions:
// a frame is STX, the message (command, sub-command, data, CRC-16 low, high)
// written as 6-bit text in 0x20..0x5F, and ETX.
class SensorDeviceBase {
public:
    static const char kStx = 0x02;
    static const char kEtx = 0x03;
    // An unfinished frame longer than this is noise: no real frame comes near it.
    static const size_t kMaxFrameBytes = 8192;

    // Bit-serial CRC register with the constant 0x10811 (CRC-16/KERMIT when the
    // message is followed by two zero bytes; 0 over a message and its own CRC).
    static WORD Crc16(const std::string& bytes);
    static int Encode6(const std::string& in, std::string& text);
    static int Decode6(const std::string& text, std::string& out);

    // Appends the CRC to message (low byte first) and writes STX text ETX to frame.
    static void AssembleFrame(std::string& message, std::string& frame);
    // True when the decoded message, CRC included, checks to 0.
    static bool CheckMessage(const std::string& message);
    // Cuts every complete frame out of the receive buffer and appends the good
    // messages, CRC included, to messages. An unfinished frame stays in buffer.
    static void ExtractMessages(std::string& buffer, std::vector<std::string>& messages);
};

#endif
