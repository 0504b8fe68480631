#ifndef DIALOGS_IOTESTDLG_H
#define DIALOGS_IOTESTDLG_H

#include "framework/Dialog.h"

class DevicePort;
class SensorCaps;

// Shows and forces the sensor's inputs and outputs.
// Template 643; its placement is kept in the settings section "IOTestDlg".
// User-interface thread only.
class IOTestDlg : public Dialog {
public:
    static const WORD kTemplate = 643;

    IOTestDlg();
    ~IOTestDlg() override;

    virtual void SetSensorCaps(SensorCaps* sensorCaps);
    virtual void SetDevicePort(DevicePort* devicePort);
    // Drops the owner window and every collaborator.
    virtual void Reset();

private:
    SensorCaps* m_sensorCaps;
    DevicePort* m_devicePort;
};

#endif
