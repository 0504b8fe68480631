#ifndef DIALOGS_FUNCTIONDLG_H
#define DIALOGS_FUNCTIONDLG_H

#include "framework/Dialog.h"

class DevicePort;
class SensorCaps;

// Edits and writes the sensor's function word.
// Template 647; its placement is kept in the settings section "FunctionDlg".
// User-interface thread only.
class FunctionDlg : public Dialog {
public:
    static const WORD kTemplate = 647;

    FunctionDlg();
    ~FunctionDlg() override;

    virtual void SetSensorCaps(SensorCaps* sensorCaps);
    virtual void SetDevicePort(DevicePort* devicePort);
    // Drops the owner window and every collaborator.
    virtual void Reset();

private:
    SensorCaps* m_sensorCaps;
    DevicePort* m_devicePort;
};

#endif
