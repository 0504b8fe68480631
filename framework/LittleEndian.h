#ifndef FRAMEWORK_LITTLEENDIAN_H
#define FRAMEWORK_LITTLEENDIAN_H

#include <windows.h>

#include <string>

// 16-bit words stored low byte first, as the sensor's frames, its raw area
// records and its waveform reply carry them.

inline WORD ReadLeWord(const BYTE* p) {
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

inline short ReadLeShort(const BYTE* p) {
    return static_cast<short>(ReadLeWord(p));
}

// Only the low 16 bits of `value` are stored.
inline void WriteLeWord(BYTE* p, unsigned value) {
    p[0] = static_cast<BYTE>(value & 0xFF);
    p[1] = static_cast<BYTE>((value >> 8) & 0xFF);
}

inline void AppendLeWord(std::string* out, unsigned value) {
    BYTE bytes[2];
    WriteLeWord(bytes, value);
    out->append(reinterpret_cast<const char*>(bytes), 2);
}

#endif
