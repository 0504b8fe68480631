#include "dialogs/WaveFormDlg.h"

WaveFormDlg::WaveFormDlg() : SensorDialog("WaveFormDlg") {}

void WaveFormDlg::ShowWaveForm() {}

void WaveFormDlg::ShowStatistics() {}
