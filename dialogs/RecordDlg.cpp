#include "dialogs/RecordDlg.h"

RecordDlg::RecordDlg() : SensorDialog("RecordDlg") {}
