#include "dialogs/FilterSwitchDlg.h"

FilterSwitchDlg::FilterSwitchDlg() : Dialog("FilterSwitchDlg"), m_sensorCaps(NULL), m_devicePort(NULL) {}

FilterSwitchDlg::~FilterSwitchDlg() {}

void FilterSwitchDlg::SetSensorCaps(SensorCaps* sensorCaps) {
    m_sensorCaps = sensorCaps;
}

void FilterSwitchDlg::SetDevicePort(DevicePort* devicePort) {
    m_devicePort = devicePort;
}

void FilterSwitchDlg::Reset() {
    SetParent(NULL);
    m_sensorCaps = NULL;
    m_devicePort = NULL;
}
