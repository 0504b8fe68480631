#ifndef DIALOGS_WAVEFORMSAMPLE_H
#define DIALOGS_WAVEFORMSAMPLE_H

#include <windows.h>

class WaveFormRecord;

// The values of one waveform report that the waveform dialog shows, taken
// from one copy of the record made under its lock, so that they all belong
// to the same report even while the device stores the next one.
class WaveFormSample {
public:
    explicit WaveFormSample(const WaveFormRecord& record);

    WORD GetDistance() const { return m_distance; }
    WORD GetLevel() const { return m_level; }
    WORD GetAgc() const { return m_agc; }
    BYTE GetFlags() const { return m_flags; }
    // Which measurement of a pair: bit 0 of the flags.
    int GetChannel() const { return m_flags & 1; }
    // Front and back peak bytes: phase 3, words 1 and 2, high and low bytes.
    WORD GetFmax() const { return HIBYTE(m_front); }
    WORD GetFmin() const { return LOBYTE(m_front); }
    WORD GetBmax() const { return HIBYTE(m_back); }
    WORD GetBmin() const { return LOBYTE(m_back); }
    // A distance counts only without the no-echo bit and from 20 mm on.
    BOOL IsDistanceValid() const;

    // The raw level and AGC in millivolts, as the sensor's receiver scales them.
    static int LevelMillivolts(WORD level);
    static int AgcMillivolts(WORD agc);

private:
    WORD m_distance;
    WORD m_level;
    WORD m_agc;
    BYTE m_flags;
    WORD m_front;
    WORD m_back;
};

#endif
