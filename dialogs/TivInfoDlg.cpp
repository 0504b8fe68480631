#include "dialogs/TivInfoDlg.h"

TivInfoDlg::TivInfoDlg() : SensorDialog("TivInfoDlg") {}

void TivInfoDlg::RefreshVersion() {}

void TivInfoDlg::RefreshFunctions() {}

void TivInfoDlg::OnFunctionWritten(DWORD) {}

void TivInfoDlg::SetTrouble(BYTE) {}

void TivInfoDlg::SetStatistics(const void*) {}

void TivInfoDlg::OnFunctionsChanged() {}
