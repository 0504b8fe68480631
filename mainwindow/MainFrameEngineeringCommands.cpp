#include "mainwindow/MainFrame.h"

#include "resources/MenuIds.h"

// The engineering commands: the filter switch dialog (registered always),
// the "-inspect" tools (correction, function writing, waveform, trouble
// simulation) and the "-develop" tools (RAM and FRAM editors, serial
// monitor, firmware file conversion). A command whose switch is off stays
// unregistered, so its id does nothing.

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
    return 0;
}

LRESULT MainFrame::OnCorrection(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnWriteFunction(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnWaveFormDialog(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnLedTrouble(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnPhotointerrupterTrouble(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnMotorTrouble(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnRamEditor(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnFramEditor(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnComMonitor(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnEncryptMotFile(WORD, WORD, LPARAM) {
    return 0;
}
