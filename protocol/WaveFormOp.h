#ifndef PROTOCOL_WAVEFORMOP_H
#define PROTOCOL_WAVEFORMOP_H

#include "protocol/DeviceOperation.h"

#include "framework/CriticalLock.h"
#include "sensor/WaveFormRecord.h"

// The operation of the waveform command: fetches the received-signal report
// of one scan step, request after request, while the waveform display is on.
// Each good reply becomes a waveform record, built here on the operation's
// thread and handed to the device, which copies it into the shared record
// under that record's lock. With both channels shown, every report with a
// nonzero AGC switches the channel selector for the next request.
//
// Step and selector may change while the loop runs (user-interface thread);
// they sit under m_lock.
class WaveFormOp : public DeviceOperation {
public:
    static const BYTE kCommand = 0xA9;
    static const DWORD kIntervalMs = 500;

    WaveFormOp();
    ~WaveFormOp() override;

    // Starts the loop with step and flag, or changes them while it runs (the
    // next request carries them); 1 then.
    virtual int SetParams(WORD step, BYTE flag);
    // argument: a WaveFormParams block, taken as SetParams takes it; 0
    // without one.
    int Start(ULONG_PTR argument) override;

    virtual LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnStart(WPARAM wParam, LPARAM lParam);
    virtual LRESULT HandleReply(WPARAM wParam, LPARAM lParam);
    virtual int SendRequest();

    // The record of one reply (command byte first, CRC last, 36 bytes).
    static void BuildRecord(const std::string& reply, BYTE* record);

private:
    void Store(WORD step, BYTE flag);

    CriticalLock m_lock;  // guards m_step and m_flag
    WORD m_step;  // as given; its low ten bits go out
    BYTE m_flag;  // bit 0: the channel selector
    BYTE m_record[WaveFormRecord::kBytes];  // operation thread
};

#endif
