#ifndef PROTOCOL_FRAMEARRIVAL_H
#define PROTOCOL_FRAMEARRIVAL_H

#include <windows.h>

#include <map>
#include <string>

// Tells how much of a frame under way is still to come, from the length the
// last frame of its kind had. A frame's kind is its first two text
// characters: the command byte and the high half of the sub-command, so a
// scan reply is known by the scans before it. Receive thread only.
class FrameArrival {
public:
    // Notes the length of every complete frame (STX to ETX) in bytes.
    void Learn(const std::string& bytes);
    // The rest of the frame that the last STX of buffer begins when no ETX
    // follows it: 0 when no frame is under way; kUnknown when no frame of
    // its kind was seen yet or this one is already longer.
    DWORD BytesToCome(const std::string& buffer) const;

    static const DWORD kUnknown = 0xFFFF;

private:
    static bool KindOf(const std::string& bytes, size_t stx, WORD* kind);

    std::map<WORD, DWORD> m_lengths;  // by kind; at most 4096 kinds
};

#endif
