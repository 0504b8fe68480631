#include "dialogs/FunctionDlg.h"

FunctionDlg::FunctionDlg() : SensorDialog("FunctionDlg") {}

void FunctionDlg::OnWriteResult(DWORD) {}
