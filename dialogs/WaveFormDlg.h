#ifndef DIALOGS_WAVEFORMDLG_H
#define DIALOGS_WAVEFORMDLG_H

#include "framework/Dialog.h"

class Application;
class DevicePort;
class SensorCaps;
class WaveFormRecord;

// Shows the statistics of the sensor's waveform reports at one step.
// Template 648; its placement is kept in the settings section "WaveFormDlg".
// User-interface thread only.
class WaveFormDlg : public Dialog {
public:
    static const WORD kTemplate = 648;

    WaveFormDlg();
    ~WaveFormDlg() override;

    virtual void SetSensorCaps(SensorCaps* sensorCaps);
    virtual void SetWaveFormRecord(WaveFormRecord* waveFormRecord);
    virtual void SetDevicePort(DevicePort* devicePort);
    virtual void SetApplication(Application* application);
    // Drops the owner window and every collaborator.
    virtual void Reset();

private:
    SensorCaps* m_sensorCaps;
    WaveFormRecord* m_waveFormRecord;
    DevicePort* m_devicePort;
    Application* m_application;
};

#endif
