#include "dialogs/WaveFormSample.h"

#include "sensor/WaveFormRecord.h"

#include <cmath>

namespace {

const BYTE kPeakPhase = 3;
const WORD kNoEcho = 0x8000;
const WORD kShortestDistance = 20;

}  // namespace

WaveFormSample::WaveFormSample(const WaveFormRecord& record) {
    BYTE bytes[WaveFormRecord::kBytes];
    record.CopyTo(bytes);
    WaveFormRecord copy;
    copy.CopyFrom(bytes);
    m_distance = copy.GetDistance();
    m_level = copy.GetLevel();
    m_agc = copy.GetAgc();
    m_flags = copy.GetFlags();
    m_front = copy.GetPhaseWord1(kPeakPhase);
    m_back = copy.GetPhaseWord2(kPeakPhase);
}

BOOL WaveFormSample::IsDistanceValid() const {
    return (m_distance & kNoEcho) == 0 && m_distance >= kShortestDistance;
}

int WaveFormSample::LevelMillivolts(WORD level) {
    const DWORD scaled = static_cast<DWORD>(level) << 10;
    const DWORD root = static_cast<DWORD>(std::sqrt(scaled / 1406.25));
    return static_cast<int>(root * 2500 / 256);
}

int WaveFormSample::AgcMillivolts(WORD agc) {
    return static_cast<int>(static_cast<DWORD>(agc) * 3300 / 1024);
}
