#ifndef DIALOGS_FUNCTIONSETTINGDLG_H
#define DIALOGS_FUNCTIONSETTINGDLG_H

#include "framework/Dialog.h"

class DevicePort;
class SensorCaps;

// Edits and writes the sensor's option byte. Shares its settings section
// with the function writing dialog.
// Template 171; its placement is kept in the settings section "FunctionDlg".
// User-interface thread only.
class FunctionSettingDlg : public Dialog {
public:
    static const WORD kTemplate = 171;

    FunctionSettingDlg();
    ~FunctionSettingDlg() override;

    virtual void SetSensorCaps(SensorCaps* sensorCaps);
    virtual void SetDevicePort(DevicePort* devicePort);
    // Drops the owner window and every collaborator.
    virtual void Reset();

private:
    SensorCaps* m_sensorCaps;
    DevicePort* m_devicePort;
};

#endif
