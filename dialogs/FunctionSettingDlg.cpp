#include "dialogs/FunctionSettingDlg.h"

FunctionSettingDlg::FunctionSettingDlg() : SensorDialog("FunctionDlg") {}

void FunctionSettingDlg::OnWriteResult(DWORD) {}
