// Frames per second for a 1542-byte distance reply: assemble (CRC and
// 6-bit text), then extract, decode and check.
#include "protocol/SensorDeviceBase.h"

#include <cstdio>

int main() {
    std::string reply(1542, '\0');
    reply[0] = static_cast<char>(0xA3);
    reply[1] = 'i';
    for (size_t i = 2; i < reply.size() - 2; ++i) reply[i] = static_cast<char>(i * 7);
    reply.resize(1540);

    const int kFrames = 20000;
    std::string buffer, frame, message;
    std::vector<std::string> messages;
    messages.reserve(1);
    size_t delivered = 0;
    const DWORD start = GetTickCount();
    for (int i = 0; i < kFrames; ++i) {
        message = reply;
        SensorDeviceBase::AssembleFrame(message, frame);
        buffer += frame;
        SensorDeviceBase::ExtractMessages(buffer, messages);
        delivered += messages.size();
        messages.clear();
    }
    const DWORD ms = GetTickCount() - start;
    const double seconds = ms > 0 ? ms / 1000.0 : 0.001;
    std::printf("%d replies of %u bytes in %.3f s: %.0f replies per second (%u delivered)\n", kFrames,
                static_cast<unsigned>(reply.size() + 2), seconds, kFrames / seconds,
                static_cast<unsigned>(delivered));
    return delivered == static_cast<size_t>(kFrames) ? 0 : 1;
}
