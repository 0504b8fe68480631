#ifndef MAINWINDOW_FRAME_WORKSPACE_H
#define MAINWINDOW_FRAME_WORKSPACE_H

#include <windows.h>

class AreaSet;
class MeasuringData;
class ScanShape;
class SensorCaps;
class WaveFormRecord;

// The sensor-side data the windows work on, handed over as one piece. The
// application owns the objects and outlives every holder of the pointers.
struct Workspace {
    AreaSet* areaSet;
    ScanShape* realtimeScan;
    MeasuringData* measuringData;
    WaveFormRecord* waveFormRecord;
    SensorCaps* sensorCaps;

    Workspace()
        : areaSet(NULL), realtimeScan(NULL), measuringData(NULL), waveFormRecord(NULL), sensorCaps(NULL) {}
    Workspace(AreaSet* areas, ScanShape* realtime, MeasuringData* recorded, WaveFormRecord* waveForm,
              SensorCaps* caps)
        : areaSet(areas),
          realtimeScan(realtime),
          measuringData(recorded),
          waveFormRecord(waveForm),
          sensorCaps(caps) {}

    BOOL IsComplete() const {
        return areaSet != NULL && realtimeScan != NULL && measuringData != NULL && waveFormRecord != NULL &&
               sensorCaps != NULL;
    }
};

#endif
