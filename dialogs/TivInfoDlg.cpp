#include "dialogs/TivInfoDlg.h"

TivInfoDlg::TivInfoDlg() : SensorDialog("TivInfoDlg") {}
