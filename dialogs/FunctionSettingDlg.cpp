#include "dialogs/FunctionSettingDlg.h"

FunctionSettingDlg::FunctionSettingDlg() : Dialog("FunctionDlg"), m_sensorCaps(NULL), m_devicePort(NULL) {}

FunctionSettingDlg::~FunctionSettingDlg() {}

void FunctionSettingDlg::SetSensorCaps(SensorCaps* sensorCaps) {
    m_sensorCaps = sensorCaps;
}

void FunctionSettingDlg::SetDevicePort(DevicePort* devicePort) {
    m_devicePort = devicePort;
}

void FunctionSettingDlg::Reset() {
    SetParent(NULL);
    m_sensorCaps = NULL;
    m_devicePort = NULL;
}
