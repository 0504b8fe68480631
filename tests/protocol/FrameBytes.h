#ifndef TESTS_PROTOCOL_FRAMEBYTES_H
#define TESTS_PROTOCOL_FRAMEBYTES_H

#include <initializer_list>
#include <string>

#include "protocol/SensorDeviceBase.h"

// Byte strings for protocol tests: bytes written as numbers, and a message
// framed for the line or completed with its CRC.
inline std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}

inline std::string Frame(std::string message) {
    std::string frame;
    SensorDeviceBase::AssembleFrame(message, frame);
    return frame;
}

inline std::string WithCrc(std::string message) {
    std::string frame;
    SensorDeviceBase::AssembleFrame(message, frame);
    return message;
}

#endif
