#include "dialogs/FunctionDlg.h"

FunctionDlg::FunctionDlg() : SensorDialog("FunctionDlg") {}
