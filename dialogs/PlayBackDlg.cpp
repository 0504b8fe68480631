#include "dialogs/PlayBackDlg.h"

PlayBackDlg::PlayBackDlg() : Dialog("PlayBackDlg"), m_measuringData(NULL) {}

PlayBackDlg::~PlayBackDlg() {}

void PlayBackDlg::SetMeasuringData(MeasuringData* measuringData) {
    m_measuringData = measuringData;
}

void PlayBackDlg::Reset() {
    SetParent(NULL);
    m_measuringData = NULL;
}
