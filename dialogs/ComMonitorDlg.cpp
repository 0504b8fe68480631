#include "dialogs/ComMonitorDlg.h"

ComMonitorDlg::ComMonitorDlg() : Dialog("ComMonitorDlg"), m_sensorCaps(NULL), m_devicePort(NULL) {}

ComMonitorDlg::~ComMonitorDlg() {}

void ComMonitorDlg::SetSensorCaps(SensorCaps* sensorCaps) {
    m_sensorCaps = sensorCaps;
}

void ComMonitorDlg::SetDevicePort(DevicePort* devicePort) {
    m_devicePort = devicePort;
}

void ComMonitorDlg::Reset() {
    SetParent(NULL);
    m_sensorCaps = NULL;
    m_devicePort = NULL;
}
