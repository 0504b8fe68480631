#include "dialogs/CorrectionDlg.h"

CorrectionDlg::CorrectionDlg() : SensorDialog("CorrectionDlg") {}
