#include "dialogs/FunctionDlg.h"

FunctionDlg::FunctionDlg() : Dialog("FunctionDlg"), m_sensorCaps(NULL), m_devicePort(NULL) {}

FunctionDlg::~FunctionDlg() {}

void FunctionDlg::SetSensorCaps(SensorCaps* sensorCaps) {
    m_sensorCaps = sensorCaps;
}

void FunctionDlg::SetDevicePort(DevicePort* devicePort) {
    m_devicePort = devicePort;
}

void FunctionDlg::Reset() {
    SetParent(NULL);
    m_sensorCaps = NULL;
    m_devicePort = NULL;
}
