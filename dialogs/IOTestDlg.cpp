#include "dialogs/IOTestDlg.h"

IOTestDlg::IOTestDlg() : Dialog("IOTestDlg"), m_sensorCaps(NULL), m_devicePort(NULL) {}

IOTestDlg::~IOTestDlg() {}

void IOTestDlg::SetSensorCaps(SensorCaps* sensorCaps) {
    m_sensorCaps = sensorCaps;
}

void IOTestDlg::SetDevicePort(DevicePort* devicePort) {
    m_devicePort = devicePort;
}

void IOTestDlg::Reset() {
    SetParent(NULL);
    m_sensorCaps = NULL;
    m_devicePort = NULL;
}
