#ifndef DIALOGS_WAVEFORMSTATISTIC_H
#define DIALOGS_WAVEFORMSTATISTIC_H

#include <windows.h>

// Running statistics of one value of the sensor's waveform reports.
// Distance, level and AGC are averaged over the last 50 samples; the peak
// bytes keep only their extremes and count their samples in runs of 30.
// Maximum and minimum cover every sample since the last Clear (or since the
// run restarted). The current value is the last sample the "Both" display
// accepted. User-interface thread only.
class WaveFormStatistic {
public:
    static const int kRingSize = 50;
    static const WORD kRunLength = 30;

    WaveFormStatistic();

    // Forgets the samples, the sum and the extremes; the current value stays.
    void Clear();
    // An averaged sample (distance, level, AGC).
    void AddAveraged(WORD value);
    // A peak sample; TRUE when it arrived with a run of 30 or more samples
    // already counted.
    BOOL AddPeak(WORD value);
    // A peak sample that ends a full run: after it the count starts again,
    // so the next sample begins new extremes. TRUE as for AddPeak.
    BOOL AddPeakInRuns(WORD value);

    void SetCurrent(WORD value) { m_current = value; }
    WORD GetCurrent() const { return m_current; }
    WORD GetCount() const { return m_count; }
    WORD GetAverage() const { return m_average; }
    WORD GetMaximum() const { return m_maximum; }
    WORD GetMinimum() const { return m_minimum; }

private:
    void TakeExtremes(WORD value, BOOL first);

    WORD m_count;  // samples taken; for averaged values also the ring index
    BOOL m_full;   // 50 averaged samples were taken
    WORD m_ring[kRingSize];
    DWORD m_sum;  // of the samples in the ring
    WORD m_average;
    WORD m_maximum;
    WORD m_minimum;
    WORD m_current;
};

#endif
