#include "mainwindow/frame/MainFrame.h"

#include "dialogs/ComMonitorDlg.h"
#include "dialogs/CorrectionDlg.h"
#include "dialogs/EncryptionDlg.h"
#include "dialogs/FRAMEditorDlg.h"
#include "dialogs/FilterSwitchDlg.h"
#include "dialogs/FunctionDlg.h"
#include "dialogs/RAMEditorDlg.h"
#include "dialogs/WaveFormDlg.h"
#include "framework/LanguageResource.h"
#include "protocol/DevicePort.h"
#include "resources/MenuIds.h"

// The engineering commands: the filter switch dialog (registered always),
// the "-inspect" tools (correction, function writing, waveform, trouble
// simulation) and the "-develop" tools (RAM and FRAM editors, serial
// monitor, firmware file conversion). A command whose switch is off stays
// unregistered, so its id does nothing. A dialog opens modeless; an open
// one stays as it is.

namespace {

// The troubles the sensor is told to pretend.
const BYTE kLedTrouble = 1;
const BYTE kPhotointerrupterTrouble = 2;
const BYTE kMotorTrouble = 3;

}  // namespace

void MainFrame::AddInspectCommands() {
    static const CommandEntry kCommands[] = {
        {ID_INSPECT_CORRECT, &MainFrame::OnCorrection},
        {ID_INSPECT_WRITE_FUNCTION, &MainFrame::OnWriteFunction},
        {ID_INSPECT_WAVE_FORM, &MainFrame::OnWaveFormDialog},
        {ID_INSPECT_LED_TROUBLE, &MainFrame::OnLedTrouble},
        {ID_INSPECT_PHOTOINTERRUPTER_TROUBLE, &MainFrame::OnPhotointerrupterTrouble},
        {ID_INSPECT_MOTOR_TROUBLE, &MainFrame::OnMotorTrouble},
    };
    AddCommandTable(kCommands);
}

void MainFrame::AddDevelopCommands() {
    static const CommandEntry kCommands[] = {
        {ID_DEVELOP_RAM_EDITOR, &MainFrame::OnRamEditor},
        {ID_DEVELOP_FRAM_EDITOR, &MainFrame::OnFramEditor},
        {ID_DEVELOP_COM_MONITOR, &MainFrame::OnComMonitor},
        {ID_DEVELOP_ENCRYPT, &MainFrame::OnEncryptMotFile},
    };
    AddCommandTable(kCommands);
}

LRESULT MainFrame::OnFilterSwitch(WORD, WORD, LPARAM) {
    OpenTool(m_filterSwitchDlg.get());
    return 0;
}

LRESULT MainFrame::OnCorrection(WORD, WORD, LPARAM) {
    OpenTool(m_correctionDlg.get());
    return 0;
}

LRESULT MainFrame::OnWriteFunction(WORD, WORD, LPARAM) {
    OpenTool(m_functionDlg.get());
    return 0;
}

LRESULT MainFrame::OnWaveFormDialog(WORD, WORD, LPARAM) {
    OpenTool(m_waveFormDlg.get());
    return 0;
}

LRESULT MainFrame::OnLedTrouble(WORD, WORD, LPARAM) {
    SimulateTrouble(kLedTrouble);
    return 0;
}

LRESULT MainFrame::OnPhotointerrupterTrouble(WORD, WORD, LPARAM) {
    SimulateTrouble(kPhotointerrupterTrouble);
    return 0;
}

LRESULT MainFrame::OnMotorTrouble(WORD, WORD, LPARAM) {
    SimulateTrouble(kMotorTrouble);
    return 0;
}

LRESULT MainFrame::OnRamEditor(WORD, WORD, LPARAM) {
    OpenTool(m_ramEditorDlg.get());
    return 0;
}

LRESULT MainFrame::OnFramEditor(WORD, WORD, LPARAM) {
    OpenTool(m_framEditorDlg.get());
    return 0;
}

LRESULT MainFrame::OnComMonitor(WORD, WORD, LPARAM) {
    OpenTool(m_comMonitorDlg.get());
    return 0;
}

LRESULT MainFrame::OnEncryptMotFile(WORD, WORD, LPARAM) {
    OpenTool(m_encryptionDlg.get());
    return 0;
}

void MainFrame::OpenTool(Dialog* dialog) {
    if (dialog != NULL) dialog->Create(LanguageResource().GetModule(), GetHwnd());
}

void MainFrame::SimulateTrouble(BYTE kind) {
    if (m_devicePort != NULL) m_devicePort->SimulateTrouble(kind);
}
