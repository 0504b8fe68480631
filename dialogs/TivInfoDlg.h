#ifndef DIALOGS_TIVINFODLG_H
#define DIALOGS_TIVINFODLG_H

#include "framework/Dialog.h"

class DevicePort;
class SensorCaps;

// Shows the connected sensor's version, functions and trouble.
// Template 642; its placement is kept in the settings section "TivInfoDlg".
// User-interface thread only.
class TivInfoDlg : public Dialog {
public:
    static const WORD kTemplate = 642;

    TivInfoDlg();
    ~TivInfoDlg() override;

    virtual void SetSensorCaps(SensorCaps* sensorCaps);
    virtual void SetDevicePort(DevicePort* devicePort);
    // Drops the owner window and every collaborator.
    virtual void Reset();

private:
    SensorCaps* m_sensorCaps;
    DevicePort* m_devicePort;
};

#endif
