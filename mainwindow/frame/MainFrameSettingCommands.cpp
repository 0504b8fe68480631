#include "mainwindow/frame/MainFrame.h"

#include "dialogs/AboutDlg.h"
#include "dialogs/ComMonitorDlg.h"
#include "dialogs/CorrectionDlg.h"
#include "dialogs/EncryptionDlg.h"
#include "dialogs/FRAMEditorDlg.h"
#include "dialogs/FilterSwitchDlg.h"
#include "dialogs/FunctionDlg.h"
#include "dialogs/FunctionSettingDlg.h"
#include "dialogs/HeaderFooterDlg.h"
#include "dialogs/IOTestDlg.h"
#include "dialogs/NumericalInputDlg.h"
#include "dialogs/PlayBackDlg.h"
#include "dialogs/RAMEditorDlg.h"
#include "dialogs/RecordDlg.h"
#include "dialogs/TivInfoDlg.h"
#include "dialogs/WaveFormDlg.h"
#include "framework/LanguageResource.h"
#include "framework/MsgBox.h"
#include "mainwindow/bands/Rebar.h"
#include "mainwindow/frame/StatusBar.h"
#include "mainwindow/view/ScanView.h"
#include "protocol/DevicePort.h"
#include "resources/MenuIds.h"

// The Setting menu: the connection speed; the detection sound switch (F11);
// the display language, whose commands the frame registers per language
// module found at start-up.

namespace {

// The line that tells a linked sensor to change its rate, and the device
// type of that rate.
struct BaudSwitch {
    WORD command;
    const char* line;
    WORD deviceType;
};

const BaudSwitch kBaudSwitches[] = {
    {ID_SETTING_19200, "S0192000000000\n", 0},
    {ID_SETTING_57600, "S0576000000000\n", 1},
    {ID_SETTING_115200, "S1152000000000\n", 2},
};

// How long the sensor is given to switch before the port follows it.
const DWORD kSwitchWaitMs = 100;

const BaudSwitch* BaudSwitchOf(WORD command) {
    for (const BaudSwitch& entry : kBaudSwitches) {
        if (entry.command == command) return &entry;
    }
    return NULL;
}

}  // namespace

void MainFrame::AddSettingCommands() {
    static const CommandEntry kCommands[] = {
        {ID_SETTING_AUTO_RECOGNITION, &MainFrame::OnAutoRecognition},
        {ID_SETTING_SOUND, &MainFrame::OnSound},
    };
    AddCommandTable(kCommands);
    AddCommandRange(ID_SETTING_19200, ID_SETTING_115200, &MainFrame::OnBaudRate);
}

LRESULT MainFrame::OnAutoRecognition(WORD, WORD, LPARAM) {
    m_settings.deviceType = FrameSettings::kAutoRecognition;
    if (m_devicePort != NULL) {
        m_devicePort->SetAutoRecognition(TRUE);
        m_devicePort->SelectDevice(DevicePort::kProbeDeviceType);
    }
    UpdateDeviceMenu();
    return 0;
}

LRESULT MainFrame::OnBaudRate(WORD id, WORD, LPARAM) {
    const BaudSwitch* choice = BaudSwitchOf(id);
    if (choice == NULL) return 0;
    m_settings.deviceType = choice->deviceType;
    if (m_devicePort != NULL) {
        // Only a linked sensor hears the line; without one the port just
        // reopens at the chosen rate. It goes ahead of any frame waiting on
        // the line, which the switch purges anyway.
        if (m_devicePort->GetLinkLevel() != 0) {
            m_devicePort->SendAhead(choice->line);
            Sleep(kSwitchWaitMs);
        }
        m_devicePort->SetAutoRecognition(FALSE);
        m_devicePort->SelectDevice(choice->deviceType);
    }
    UpdateDeviceMenu();
    return 0;
}

LRESULT MainFrame::OnSound(WORD, WORD, LPARAM) {
    m_soundsOn = !m_soundsOn;
    if (!m_soundsOn) PlayDetectionSound(NULL);
    return 0;
}

LRESULT MainFrame::OnLanguage(WORD id, WORD, LPARAM) {
    LanguageResource languages;
    if (languages.Select(id) == NULL) {
        UpdateInspectDevelopMenus();
        return 0;
    }
    BuildMenus();
    m_settings.language = static_cast<int>(id - LanguageResource::kFirstId);
    if (m_rebar != NULL) m_rebar->ForEachBand();
    if (m_statusBar != NULL) m_statusBar->RefreshParts();
    UpdateMenus();
    // The port list comes back as WM_DEVICE_PORT_LIST into the new Port
    // menu. Realtime goes through the frame's own request, so the change
    // adds no "on" that no "off" would match.
    if (m_devicePort != NULL && m_scanView != NULL) {
        m_devicePort->RequestPortScan();
        RequestRealtime(m_scanView->TestDrawItem(ScanView::kDrawRealtime));
    }
    ReopenDialogs();
    MsgBox().SetModule(languages.GetModule());
    Relayout();
    return 0;
}

// Each open dialog is closed and opened again from the new language's
// template; a closed or absent dialog stays as it is.
void MainFrame::ReopenDialogs() {
    if (m_tivInfoDlg != NULL && m_tivInfoDlg->Destroy())
        m_tivInfoDlg->Show(LanguageResource().GetModule(), GetHwnd(), m_statistics);
    Dialog* const dialogs[] = {
        m_headerFooterDlg.get(),   m_recordDlg.get(),     m_playBackDlg.get(),        m_ioTestDlg.get(),
        m_numericalInputDlg.get(), m_aboutDlg.get(),      m_functionSettingDlg.get(), m_correctionDlg.get(),
        m_functionDlg.get(),       m_waveFormDlg.get(),   m_ramEditorDlg.get(),       m_framEditorDlg.get(),
        m_comMonitorDlg.get(),     m_encryptionDlg.get(), m_filterSwitchDlg.get(),
    };
    for (Dialog* dialog : dialogs) {
        if (dialog != NULL && dialog->Destroy()) OpenTool(dialog);
    }
}
