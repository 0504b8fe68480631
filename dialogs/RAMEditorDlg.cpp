#include "dialogs/RAMEditorDlg.h"

RAMEditorDlg::RAMEditorDlg() : SensorDialog("RAMEditorDlg") {}
