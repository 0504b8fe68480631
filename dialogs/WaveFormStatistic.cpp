#include "dialogs/WaveFormStatistic.h"

WaveFormStatistic::WaveFormStatistic()
    : m_count(0), m_full(FALSE), m_ring(), m_sum(0), m_average(0), m_maximum(0), m_minimum(0), m_current(0) {}

void WaveFormStatistic::Clear() {
    m_count = 0;
    m_full = FALSE;
    m_sum = 0;
    m_average = 0;
    m_maximum = 0;
    m_minimum = 0;
}

void WaveFormStatistic::TakeExtremes(WORD value, BOOL first) {
    if (first) {
        m_maximum = m_minimum = value;
        return;
    }
    if (value > m_maximum) m_maximum = value;
    if (value < m_minimum) m_minimum = value;
}

void WaveFormStatistic::AddAveraged(WORD value) {
    TakeExtremes(value, !m_full && m_count == 0);
    // Once the ring is full the oldest sample leaves the sum.
    if (m_full) m_sum -= m_ring[m_count];
    m_ring[m_count] = value;
    m_sum += value;
    if (++m_count == kRingSize) {
        m_full = TRUE;
        m_count = 0;
    }
    m_average = static_cast<WORD>(m_full ? m_sum / kRingSize : m_sum / m_count);
}

BOOL WaveFormStatistic::AddPeak(WORD value) {
    const BOOL runDone = m_count >= kRunLength;
    TakeExtremes(value, m_count == 0);
    ++m_count;
    return runDone;
}

BOOL WaveFormStatistic::AddPeakInRuns(WORD value) {
    const BOOL runDone = AddPeak(value);
    if (runDone) m_count = 0;
    return runDone;
}
