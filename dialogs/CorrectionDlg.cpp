#include "dialogs/CorrectionDlg.h"

CorrectionDlg::CorrectionDlg() : SensorDialog("CorrectionDlg") {}

void CorrectionDlg::ShowDistanceTable(WPARAM) {}

void CorrectionDlg::ShowDistanceResult(WPARAM) {}

void CorrectionDlg::ShowAngle(BYTE) {}

void CorrectionDlg::ShowCorrectionResult(WPARAM) {}

void CorrectionDlg::ShowSensitivity(BYTE) {}

void CorrectionDlg::ShowSensitivityResult(WPARAM) {}
