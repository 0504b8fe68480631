#ifndef SENSOR_SCANDATA_H
#define SENSOR_SCANDATA_H

#include <windows.h>

// One scan: a distance in millimetres for each of the 769 angular steps.
// A value of kNoEcho or above means the sensor saw nothing at that step.
// Every step starts as 0xFFFF, so a scan that was filled only in part never
// draws, records or saves undefined distances. Copies copy all steps.
class ScanData {
public:
    static const int kStepCount = 769;
    static const WORD kNoEcho = 0xF000;
    static const WORD kNoEchoFill = 0xFFFF;

    ScanData();
    virtual ~ScanData();

    // The step that holds the first word of a sensor's scan of stepCount
    // steps: a sensor with fewer steps than the record (31 or 91) keeps its
    // scan about the middle step, 384, straight ahead.
    static int FirstStep(int stepCount);

    virtual void SetStep(WORD step, WORD value);  // a step of 769 or more is ignored
    virtual WORD GetStep(WORD step) const;        // 0xFFFF for a step of 769 or more

private:
    WORD m_steps[kStepCount];
};

#endif
