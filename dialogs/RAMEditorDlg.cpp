#include "dialogs/RAMEditorDlg.h"

RAMEditorDlg::RAMEditorDlg() : Dialog("RAMEditorDlg"), m_devicePort(NULL) {}

RAMEditorDlg::~RAMEditorDlg() {}

void RAMEditorDlg::SetDevicePort(DevicePort* devicePort) {
    m_devicePort = devicePort;
}

void RAMEditorDlg::Reset() {
    SetParent(NULL);
    m_devicePort = NULL;
}
