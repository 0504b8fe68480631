#include "protocol/FrameArrival.h"

#include "protocol/SensorDeviceBase.h"

void FrameArrival::Learn(const std::string& bytes) {
    size_t stx = bytes.find(SensorDeviceBase::kStx);
    while (stx != std::string::npos) {
        const size_t etx = bytes.find(SensorDeviceBase::kEtx, stx + 1);
        if (etx == std::string::npos) return;
        // A frame cut short by a new STX is no frame of its own.
        const size_t next = bytes.find(SensorDeviceBase::kStx, stx + 1);
        WORD kind;
        if ((next == std::string::npos || next > etx) && KindOf(bytes, stx, &kind)) {
            m_lengths[kind] = static_cast<DWORD>(etx - stx + 1);
        }
        stx = next;
    }
}

DWORD FrameArrival::BytesToCome(const std::string& buffer) const {
    const size_t stx = buffer.rfind(SensorDeviceBase::kStx);
    if (stx == std::string::npos || buffer.find(SensorDeviceBase::kEtx, stx) != std::string::npos) return 0;
    WORD kind;
    if (!KindOf(buffer, stx, &kind)) return kUnknown;
    const std::map<WORD, DWORD>::const_iterator known = m_lengths.find(kind);
    const DWORD arrived = static_cast<DWORD>(buffer.size() - stx);
    if (known == m_lengths.end() || known->second <= arrived) return kUnknown;
    return known->second - arrived;
}

// The two text characters after the STX at stx, each 0x20..0x5F.
bool FrameArrival::KindOf(const std::string& bytes, size_t stx, WORD* kind) {
    if (stx + 2 >= bytes.size()) return false;
    const int first = static_cast<unsigned char>(bytes[stx + 1]) - 0x20;
    const int second = static_cast<unsigned char>(bytes[stx + 2]) - 0x20;
    if (first < 0 || first > 0x3F || second < 0 || second > 0x3F) return false;
    *kind = static_cast<WORD>(first << 6 | second);
    return true;
}
