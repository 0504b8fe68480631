#include "dialogs/FilterSwitchDlg.h"

FilterSwitchDlg::FilterSwitchDlg() : SensorDialog("FilterSwitchDlg") {}
