#ifndef DIALOGS_CORRECTIONDLG_H
#define DIALOGS_CORRECTIONDLG_H

#include "framework/Dialog.h"

class DevicePort;
class SensorCaps;

// Reads and writes the sensor's factory corrections.
// Template 646; its placement is kept in the settings section "CorrectionDlg".
// User-interface thread only.
class CorrectionDlg : public Dialog {
public:
    static const WORD kTemplate = 646;

    CorrectionDlg();
    ~CorrectionDlg() override;

    virtual void SetSensorCaps(SensorCaps* sensorCaps);
    virtual void SetDevicePort(DevicePort* devicePort);
    // Drops the owner window and every collaborator.
    virtual void Reset();

private:
    SensorCaps* m_sensorCaps;
    DevicePort* m_devicePort;
};

#endif
