#include "dialogs/WaveFormDlg.h"

WaveFormDlg::WaveFormDlg() : SensorDialog("WaveFormDlg") {}
