#include "sensor/WaveFormRecord.h"

#include <cstring>

#include "framework/LittleEndian.h"

namespace {

const int kFlagsOffset = 1;
const int kPhaseOffset = 2;
const int kWordsPerPhase = 3;
const int kDistanceOffset = 26;
const int kLevelOffset = 28;
const int kAgcOffset = 30;
const int kExtraOffset = 32;
const int kLastWordOffset = 40;

}  // namespace

WaveFormRecord::WaveFormRecord() {
    memset(m_bytes, 0, sizeof(m_bytes));
}

WaveFormRecord::~WaveFormRecord() {}

void WaveFormRecord::CopyFrom(const BYTE* reply) {
    if (reply == nullptr) return;
    CriticalLock::Hold hold(m_lock);
    memcpy(m_bytes, reply, kBytes);
}

void WaveFormRecord::CopyTo(BYTE* out) const {
    if (out == nullptr) return;
    CriticalLock::Hold hold(m_lock);
    memcpy(out, m_bytes, kBytes);
}

WORD WaveFormRecord::WordAt(int offset) const {
    CriticalLock::Hold hold(m_lock);
    return ReadLeWord(m_bytes + offset);
}

int WaveFormRecord::FlagBit(int bit) const {
    return (GetFlags() >> bit) & 1;
}

WORD WaveFormRecord::PhaseWord(BYTE phase, int word) const {
    if (phase >= kPhases) return 0;
    return WordAt(kPhaseOffset + (phase * kWordsPerPhase + word) * 2);
}

WORD WaveFormRecord::GetWord44() const { return WordAt(kLastWordOffset); }

BYTE WaveFormRecord::GetFlags() const {
    CriticalLock::Hold hold(m_lock);
    return m_bytes[kFlagsOffset];
}

int WaveFormRecord::GetFlagBit0() const { return FlagBit(0); }
int WaveFormRecord::GetFlagBit1() const { return FlagBit(1); }
int WaveFormRecord::GetFlagBit2() const { return FlagBit(2); }
int WaveFormRecord::GetFlagBit3() const { return FlagBit(3); }
int WaveFormRecord::GetFlagBit4() const { return FlagBit(4); }
int WaveFormRecord::GetFlagBit5() const { return FlagBit(5); }
WORD WaveFormRecord::GetPhaseWord0(BYTE phase) const { return PhaseWord(phase, 0); }
WORD WaveFormRecord::GetPhaseWord1(BYTE phase) const { return PhaseWord(phase, 1); }
WORD WaveFormRecord::GetPhaseWord2(BYTE phase) const { return PhaseWord(phase, 2); }
WORD WaveFormRecord::GetDistance() const { return WordAt(kDistanceOffset); }
WORD WaveFormRecord::GetLevel() const { return WordAt(kLevelOffset); }
WORD WaveFormRecord::GetAgc() const { return WordAt(kAgcOffset); }

WORD WaveFormRecord::GetExtraWord(BYTE index) const {
    if (index >= kExtraWords) return 0;
    return WordAt(kExtraOffset + index * 2);
}
