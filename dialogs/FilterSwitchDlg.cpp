#include "dialogs/FilterSwitchDlg.h"

FilterSwitchDlg::FilterSwitchDlg() : SensorDialog("FilterSwitchDlg") {}

void FilterSwitchDlg::LoadSwitchState(const BYTE*) {}

void FilterSwitchDlg::OnWriteResult(DWORD) {}
