#include "dialogs/FRAMEditorDlg.h"

FRAMEditorDlg::FRAMEditorDlg() : Dialog("FRAMEditorDlg"), m_devicePort(NULL), m_application(NULL) {}

FRAMEditorDlg::~FRAMEditorDlg() {}

void FRAMEditorDlg::SetDevicePort(DevicePort* devicePort) {
    m_devicePort = devicePort;
}

void FRAMEditorDlg::SetApplication(Application* application) {
    m_application = application;
}

void FRAMEditorDlg::Reset() {
    SetParent(NULL);
    m_devicePort = NULL;
    m_application = NULL;
}
