#include "dialogs/NumericalInputDlg.h"

NumericalInputDlg::NumericalInputDlg() : Dialog("NumericalInputDlg"), m_sensorCaps(NULL), m_areaSet(NULL) {}

NumericalInputDlg::~NumericalInputDlg() {}

void NumericalInputDlg::SetSensorCaps(SensorCaps* sensorCaps) {
    m_sensorCaps = sensorCaps;
}

void NumericalInputDlg::SetAreaSet(AreaSet* areaSet) {
    m_areaSet = areaSet;
}

void NumericalInputDlg::Reset() {
    SetParent(NULL);
    m_sensorCaps = NULL;
    m_areaSet = NULL;
}
