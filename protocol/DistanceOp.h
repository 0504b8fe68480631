#ifndef PROTOCOL_DISTANCEOP_H
#define PROTOCOL_DISTANCEOP_H

#include "protocol/DeviceOperation.h"

#include "sensor/ScanData.h"

// The operation of the distance command: fetches realtime scans while
// realtime display is on. Each good reply is reported and the next request
// follows at once, so scans come as fast as the line carries them; the
// 1500 ms timer only restarts a stalled poll. Requests go out only at link
// level 1, so scans pause while a transfer holds a higher level.
class DistanceOp : public DeviceOperation {
public:
    static const BYTE kCommand = 0xA2;
    static const DWORD kIntervalMs = 1500;

    DistanceOp();
    ~DistanceOp() override;

    virtual LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnStart(WPARAM wParam, LPARAM lParam);
    virtual LRESULT HandleReply(WPARAM wParam, LPARAM lParam);
    virtual int SendRequest();

private:
    int StepCount();

    ScanData m_scan;  // operation thread; the device hands a copy to the window
};

#endif
