#include "tests/protocol/RecordingDevice.h"

#include <stdio.h>

std::string RecordingDevice::Hex(const std::string& bytes) {
    std::string hex;
    char pair[3];
    for (unsigned char c : bytes) {
        snprintf(pair, sizeof(pair), "%02x", c);
        hex += pair;
    }
    return hex;
}

std::string RecordingDevice::Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values) bytes += static_cast<char>(v);
    return bytes;
}

std::string RecordingDevice::Complete(std::string message) {
    std::string frame;
    AssembleFrame(message, frame);
    return message;
}
