#include "sensor/ScanData.h"

ScanData::ScanData() {
    for (WORD& step : m_steps) step = kNoEchoFill;
}

ScanData::~ScanData() {}

int ScanData::FirstStep(int stepCount) {
    if (stepCount >= kStepCount || stepCount < 1) return 0;
    return kStepCount / 2 - (stepCount - 1) / 2;
}

void ScanData::SetStep(WORD step, WORD value) {
    if (step >= kStepCount) return;
    m_steps[step] = value;
}

WORD ScanData::GetStep(WORD step) const {
    if (step >= kStepCount) return kNoEchoFill;
    return m_steps[step];
}
