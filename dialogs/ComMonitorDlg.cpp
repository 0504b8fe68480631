#include "dialogs/ComMonitorDlg.h"

ComMonitorDlg::ComMonitorDlg() : SensorDialog("ComMonitorDlg") {}
