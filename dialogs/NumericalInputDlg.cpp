#include "dialogs/NumericalInputDlg.h"

NumericalInputDlg::NumericalInputDlg() : SensorDialog("NumericalInputDlg") {}
