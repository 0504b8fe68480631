#include "dialogs/PlayBackDlg.h"

PlayBackDlg::PlayBackDlg() : SensorDialog("PlayBackDlg") {}
