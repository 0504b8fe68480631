#include "dialogs/FRAMEditorDlg.h"

FRAMEditorDlg::FRAMEditorDlg() : SensorDialog("FRAMEditorDlg") {}
