#include "dialogs/SensorDialog.h"

SensorDialog::SensorDialog(const char* name)
    : Dialog(name),
      m_sensorCaps(NULL),
      m_devicePort(NULL),
      m_areaSet(NULL),
      m_measuringData(NULL),
      m_waveFormRecord(NULL),
      m_scanView(NULL),
      m_mainFrame(NULL),
      m_application(NULL) {}

SensorDialog::~SensorDialog() {}

void SensorDialog::Reset() {
    SetParent(NULL);
    m_sensorCaps = NULL;
    m_devicePort = NULL;
    m_areaSet = NULL;
    m_measuringData = NULL;
    m_waveFormRecord = NULL;
    m_scanView = NULL;
    m_mainFrame = NULL;
    m_application = NULL;
}

HWND SensorDialog::CreateWithPort(HINSTANCE instance, HWND parent, WORD templateId) {
    if (m_devicePort == NULL || IsOpen()) return NULL;
    SetInstance(instance);
    SetParent(parent);
    CreateModeless(MAKEINTRESOURCEA(templateId), parent);
    return GetHwnd();
}
