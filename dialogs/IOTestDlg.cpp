#include "dialogs/IOTestDlg.h"

IOTestDlg::IOTestDlg() : SensorDialog("IOTestDlg") {}
