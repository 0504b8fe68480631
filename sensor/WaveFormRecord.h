#ifndef SENSOR_WAVEFORMRECORD_H
#define SENSOR_WAVEFORMRECORD_H

#include <windows.h>

#include "framework/CriticalLock.h"

// The sensor's last waveform report: the 42 data bytes of the waveform reply,
// little-endian, kept as received and read through accessors.
//
// The device fills it on its receive thread while the waveform dialog reads
// it on the user-interface thread: the bytes are guarded by m_lock. A reader
// that needs several fields of one report takes a copy with CopyTo.
class WaveFormRecord {
public:
    static const int kBytes = 42;
    static const int kPhases = 4;
    static const int kExtraWords = 4;

    WaveFormRecord();
    virtual ~WaveFormRecord();

    virtual void CopyFrom(const BYTE* reply);  // 42 bytes; nothing for null
    virtual WORD GetWord44() const;            // the last word (offset 40)
    virtual BYTE GetFlags() const;
    virtual int GetFlagBit0() const;  // channel: which measurement of a pair
    virtual int GetFlagBit1() const;  // phase collapsed
    virtual int GetFlagBit2() const;  // waveform collapsed
    virtual int GetFlagBit3() const;  // level shortage
    virtual int GetFlagBit4() const;  // unstable data
    virtual int GetFlagBit5() const;
    virtual WORD GetPhaseWord0(BYTE phase) const;  // 0 for phase >= 4
    virtual WORD GetPhaseWord1(BYTE phase) const;  // phase 3: FMAX high, FMIN low byte
    virtual WORD GetPhaseWord2(BYTE phase) const;  // phase 3: BMAX high, BMIN low byte
    virtual WORD GetDistance() const;
    virtual WORD GetLevel() const;
    virtual WORD GetAgc() const;
    virtual WORD GetExtraWord(BYTE index) const;  // 0 for index >= 4

    // Copies the 42 bytes of one report out under the lock.
    void CopyTo(BYTE* out) const;

private:
    WaveFormRecord(const WaveFormRecord&) = delete;
    WaveFormRecord& operator=(const WaveFormRecord&) = delete;

    WORD WordAt(int offset) const;
    int FlagBit(int bit) const;
    WORD PhaseWord(BYTE phase, int word) const;

    mutable CriticalLock m_lock;  // guards m_bytes
    BYTE m_bytes[kBytes];
};

#endif
