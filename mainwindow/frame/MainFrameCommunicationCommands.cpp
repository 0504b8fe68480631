#include "mainwindow/frame/MainFrame.h"

#include "dialogs/IOTestDlg.h"
#include "dialogs/RecordDlg.h"
#include "dialogs/TivInfoDlg.h"
#include "framework/ErrorCodes.h"
#include "framework/LanguageResource.h"
#include "mainwindow/view/ScanView.h"
#include "protocol/DevicePort.h"
#include "resources/CommandIds.h"
#include "resources/MenuIds.h"
#include "sensor/AreaRecord.h"
#include "sensor/AreaSet.h"
#include "sensor/MeasuringData.h"

#include <vector>

// The Communication menu and the port and communication bands: the COM
// port, reading and writing the areas, recording, and the sensor
// information and I/O test dialogs. Results arrive later as device
// notifications.

namespace {

const WORD kRedrawAll = ScanView::kRedrawLayout | ScanView::kRedrawBackground;

// COM1 is the first port command.
int PortOf(WORD id) {
    return id == ID_COMM_DISCONNECT ? 0 : id - (ID_COMM_PORT_FIRST - 1);
}

HMODULE LanguageModule() {
    return LanguageResource().GetModule();
}

}  // namespace

void MainFrame::AddCommunicationCommands() {
    static const CommandEntry kCommands[] = {
        {ID_COMM_DISCONNECT, &MainFrame::OnSelectPort},
        {ID_COMM_READ_AREA, &MainFrame::OnReadArea},
        {ID_COMM_WRITE_AREA, &MainFrame::OnWriteArea},
        {ID_COMM_RECORD, &MainFrame::OnRecord},
        {ID_COMM_CLEAR_RECORD, &MainFrame::OnClearRecord},
        {ID_COMM_SENSOR_INFO, &MainFrame::OnSensorInformation},
        {ID_COMM_IO_TEST, &MainFrame::OnIOTest},
    };
    AddCommandTable(kCommands);
    // COM1 .. COM256, whichever of them the port list will show.
    AddCommandRange(ID_COMM_PORT_FIRST, ID_COMM_PORT_LAST, &MainFrame::OnSelectPort);
}

// The port worker opens the port, or closes it for Disconnect; the outcome
// arrives as the port-opened notification.
LRESULT MainFrame::OnSelectPort(WORD id, WORD, LPARAM) {
    m_settings.comPort = PortOf(id);
    if (m_devicePort != NULL) m_devicePort->RequestOpen(m_settings.comPort);
    UpdateCommunicationMenu();
    return 0;
}

LRESULT MainFrame::OnReadArea(WORD, WORD, LPARAM) {
    if (ShowBox(LoadText(IDS_AREA_READ_ASK), MB_OKCANCEL) != IDOK || m_devicePort == NULL) return 0;
    m_devicePort->ReadAreas();
    return 0;
}

// Areas the connected sensor cannot hold are refused before anything is
// sent; other failures are the device side's to report.
LRESULT MainFrame::OnWriteArea(WORD, WORD, LPARAM) {
    if (ShowBox(LoadText(IDS_AREA_WRITE_ASK), MB_OKCANCEL) != IDOK) return 0;
    AreaSet* areas = m_workspace.areaSet;
    if (areas == NULL || m_devicePort == NULL) return 0;
    std::vector<BYTE> table(kAreaTableBytes);
    areas->GetAllRaw(table.data());
    if (!m_devicePort->WriteAreas(table.data()) && GetLastError() == kErrorAreaOutOfRange)
        ShowBox(LoadText(IDS_AREA_NOT_WRITABLE), MB_ICONWARNING);
    return 0;
}

// Scans reach the recording dialog through the frame's scan notification.
LRESULT MainFrame::OnRecord(WORD, WORD, LPARAM) {
    if (!PromptSaveRecord()) return 0;
    if (m_recordDlg != NULL) m_recordDlg->Create(LanguageModule(), GetHwnd());
    return 0;
}

// Unsaved scans go without a question.
LRESULT MainFrame::OnClearRecord(WORD, WORD, LPARAM) {
    if (m_workspace.measuringData != NULL) m_workspace.measuringData->Clear();
    if (m_scanView != NULL) m_scanView->Redraw(kRedrawAll);
    UpdateViewMenu();
    UpdateCommunicationMenu();
    return 0;
}

LRESULT MainFrame::OnSensorInformation(WORD, WORD, LPARAM) {
    if (m_tivInfoDlg == NULL) return 0;
    m_tivInfoDlg->Show(LanguageModule(), GetHwnd(), m_statistics);
    m_tivInfoDlg->RefreshVersion();
    m_tivInfoDlg->RefreshFunctions();
    return 0;
}

LRESULT MainFrame::OnIOTest(WORD, WORD, LPARAM) {
    if (m_ioTestDlg != NULL) m_ioTestDlg->Create(LanguageModule(), GetHwnd());
    return 0;
}
