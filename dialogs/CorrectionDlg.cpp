#include "dialogs/CorrectionDlg.h"

CorrectionDlg::CorrectionDlg() : Dialog("CorrectionDlg"), m_sensorCaps(NULL), m_devicePort(NULL) {}

CorrectionDlg::~CorrectionDlg() {}

void CorrectionDlg::SetSensorCaps(SensorCaps* sensorCaps) {
    m_sensorCaps = sensorCaps;
}

void CorrectionDlg::SetDevicePort(DevicePort* devicePort) {
    m_devicePort = devicePort;
}

void CorrectionDlg::Reset() {
    SetParent(NULL);
    m_sensorCaps = NULL;
    m_devicePort = NULL;
}
