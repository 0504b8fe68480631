#ifndef DIALOGS_COMMONITORDLG_H
#define DIALOGS_COMMONITORDLG_H

#include "framework/Dialog.h"

class DevicePort;
class SensorCaps;

// Shows the frames on the serial line, decoded.
// Template 651; its placement is kept in the settings section "ComMonitorDlg".
// User-interface thread only.
class ComMonitorDlg : public Dialog {
public:
    static const WORD kTemplate = 651;

    ComMonitorDlg();
    ~ComMonitorDlg() override;

    virtual void SetSensorCaps(SensorCaps* sensorCaps);
    virtual void SetDevicePort(DevicePort* devicePort);
    // Drops the owner window and every collaborator.
    virtual void Reset();

private:
    SensorCaps* m_sensorCaps;
    DevicePort* m_devicePort;
};

#endif
