#include "dialogs/RecordDlg.h"

RecordDlg::RecordDlg()
    : Dialog("RecordDlg"),
      m_measuringData(NULL),
      m_scanView(NULL),
      m_devicePort(NULL),
      m_mainFrame(NULL),
      m_application(NULL) {}

RecordDlg::~RecordDlg() {}

void RecordDlg::SetMeasuringData(MeasuringData* measuringData) {
    m_measuringData = measuringData;
}

void RecordDlg::SetScanView(ScanView* scanView) {
    m_scanView = scanView;
}

void RecordDlg::SetDevicePort(DevicePort* devicePort) {
    m_devicePort = devicePort;
}

void RecordDlg::SetMainFrame(MainFrame* mainFrame) {
    m_mainFrame = mainFrame;
}

void RecordDlg::SetApplication(Application* application) {
    m_application = application;
}

void RecordDlg::Reset() {
    SetParent(NULL);
    m_measuringData = NULL;
    m_scanView = NULL;
    m_devicePort = NULL;
    m_mainFrame = NULL;
    m_application = NULL;
}
