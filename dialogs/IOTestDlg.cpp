#include "dialogs/IOTestDlg.h"

IOTestDlg::IOTestDlg() : SensorDialog("IOTestDlg") {}

void IOTestDlg::ShowState(BYTE, BYTE, BYTE) {}
