#include "dialogs/WaveFormDlg.h"

WaveFormDlg::WaveFormDlg()
    : Dialog("WaveFormDlg"),
      m_sensorCaps(NULL),
      m_waveFormRecord(NULL),
      m_devicePort(NULL),
      m_application(NULL) {}

WaveFormDlg::~WaveFormDlg() {}

void WaveFormDlg::SetSensorCaps(SensorCaps* sensorCaps) {
    m_sensorCaps = sensorCaps;
}

void WaveFormDlg::SetWaveFormRecord(WaveFormRecord* waveFormRecord) {
    m_waveFormRecord = waveFormRecord;
}

void WaveFormDlg::SetDevicePort(DevicePort* devicePort) {
    m_devicePort = devicePort;
}

void WaveFormDlg::SetApplication(Application* application) {
    m_application = application;
}

void WaveFormDlg::Reset() {
    SetParent(NULL);
    m_sensorCaps = NULL;
    m_waveFormRecord = NULL;
    m_devicePort = NULL;
    m_application = NULL;
}
