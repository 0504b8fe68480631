#include "dialogs/RecordDlg.h"

RecordDlg::RecordDlg() : SensorDialog("RecordDlg") {}

int RecordDlg::IsRecording() {
    return 0;
}

void RecordDlg::OnScan(const ScanData&) {}
