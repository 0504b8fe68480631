#include "dialogs/FunctionSettingDlg.h"

FunctionSettingDlg::FunctionSettingDlg() : SensorDialog("FunctionDlg") {}
