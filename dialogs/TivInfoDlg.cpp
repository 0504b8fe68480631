#include "dialogs/TivInfoDlg.h"

TivInfoDlg::TivInfoDlg() : Dialog("TivInfoDlg"), m_sensorCaps(NULL), m_devicePort(NULL) {}

TivInfoDlg::~TivInfoDlg() {}

void TivInfoDlg::SetSensorCaps(SensorCaps* sensorCaps) {
    m_sensorCaps = sensorCaps;
}

void TivInfoDlg::SetDevicePort(DevicePort* devicePort) {
    m_devicePort = devicePort;
}

void TivInfoDlg::Reset() {
    SetParent(NULL);
    m_sensorCaps = NULL;
    m_devicePort = NULL;
}
