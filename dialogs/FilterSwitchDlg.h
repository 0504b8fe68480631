#ifndef DIALOGS_FILTERSWITCHDLG_H
#define DIALOGS_FILTERSWITCHDLG_H

#include "framework/Dialog.h"

class DevicePort;
class SensorCaps;

// Shows and writes the sensor's filter switches and its level switch.
// Template 172; its placement is kept in the settings section "FilterSwitchDlg".
// User-interface thread only.
class FilterSwitchDlg : public Dialog {
public:
    static const WORD kTemplate = 172;

    FilterSwitchDlg();
    ~FilterSwitchDlg() override;

    virtual void SetSensorCaps(SensorCaps* sensorCaps);
    virtual void SetDevicePort(DevicePort* devicePort);
    // Drops the owner window and every collaborator.
    virtual void Reset();

private:
    SensorCaps* m_sensorCaps;
    DevicePort* m_devicePort;
};

#endif
