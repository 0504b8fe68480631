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
#include "dialogs/SensorDialog.h"
#include "dialogs/TivInfoDlg.h"
#include "dialogs/WaveFormDlg.h"
#include "framework/ErrorCodes.h"
#include "framework/HandleOwner.h"
#include "framework/IniFile.h"
#include "framework/LanguageResource.h"
#include "framework/MsgBox.h"
#include "framework/ResourceString.h"
#include "mainwindow/frame/FrameHost.h"
#include "mainwindow/frame/StatusBar.h"
#include "mainwindow/print/PrintView.h"
#include "mainwindow/view/ScanView.h"
#include "resources/MenuIds.h"

#include <memory>
#include <new>
#include <string>

const char MainFrame::kWindowClass[] = "ZORConfiguratorWClass";
const char MainFrame::kTitle[] = "TIV Configurator";

namespace {

const WORD kProgramIcon = 1;

// The owned dialogs that exist only with a switch, for the counting below.
template <class T>
int Exists(const std::unique_ptr<T>& object) {
    return object != NULL ? 1 : 0;
}

}  // namespace

MainFrame::MainFrame()
    : m_application(NULL),
      m_devicePort(NULL),
      m_scanView(NULL),
      m_rebar(NULL),
      m_printView(NULL),
      m_instance(NULL),
      m_statistics(FALSE),
      m_inspect(FALSE),
      m_develop(FALSE),
      m_selectedBySensor(FALSE),
      m_printPreview(FALSE),
      m_soundsOn(FALSE),
      m_lastOutputState(0),
      m_gridCircle(FALSE),
      m_placementReapplied(FALSE),
      m_realtimeRequested(FALSE),
      m_lastViewRect() {
    IniFile settings;
    m_settings.Load(&settings);
    AddWindowMessages();
    AddDeviceNotifications();
    AddStatusNotifications();
    AddFileCommands();
    AddViewCommands();
    AddCommunicationCommands();
    AddAreaCommands();
    AddSettingCommands();
    AddHelpCommands();
}

MainFrame::~MainFrame() {
    m_mutex.Close();
    m_statusBar.reset();
    DeleteDialogs();
    IniFile settings;
    m_settings.Save(&settings);
}

void MainFrame::DeleteDialogs() {
    m_headerFooterDlg.reset();
    m_recordDlg.reset();
    m_playBackDlg.reset();
    m_tivInfoDlg.reset();
    m_ioTestDlg.reset();
    m_numericalInputDlg.reset();
    m_aboutDlg.reset();
    m_correctionDlg.reset();
    m_functionDlg.reset();
    m_waveFormDlg.reset();
    m_ramEditorDlg.reset();
    m_framEditorDlg.reset();
    m_comMonitorDlg.reset();
    m_encryptionDlg.reset();
    m_functionSettingDlg.reset();
    m_filterSwitchDlg.reset();
}

void MainFrame::AddCommandRange(WORD first, WORD last, FrameCommandHandler handler) {
    for (UINT id = first; id <= last; ++id) AddCommandHandler(static_cast<WORD>(id), Command(handler));
}

void MainFrame::SetWorkspace(const Workspace& workspace) {
    m_workspace = workspace;
}

void MainFrame::SetPrintView(PrintView* printView) {
    m_printView = printView;
}

void MainFrame::SetRebar(Rebar* rebar) {
    m_rebar = rebar;
}

void MainFrame::SetScanView(ScanView* view) {
    m_scanView = view;
}

void MainFrame::SetDevicePort(DevicePort* port) {
    m_devicePort = port;
}

void MainFrame::SetApplication(FrameHost* application) {
    m_application = application;
}

void MainFrame::ReleaseObjects() {
    if (m_tivInfoDlg != NULL) m_tivInfoDlg->Reset();
    if (m_ioTestDlg != NULL) m_ioTestDlg->Reset();
    if (m_correctionDlg != NULL) m_correctionDlg->Reset();
    if (m_functionDlg != NULL) m_functionDlg->Reset();
    if (m_waveFormDlg != NULL) m_waveFormDlg->Reset();
    if (m_functionSettingDlg != NULL) m_functionSettingDlg->Reset();
    m_application = NULL;
    m_devicePort = NULL;
    m_scanView = NULL;
    m_rebar = NULL;
    m_printView = NULL;
    m_workspace = Workspace();
}

BOOL MainFrame::HasCollaborators() const {
    return m_application != NULL && m_devicePort != NULL && m_scanView != NULL && m_rebar != NULL &&
           m_printView != NULL && m_workspace.IsComplete();
}

HWND MainFrame::Initialize(HINSTANCE instance, LPCSTR commandLine, int /*showCommand*/) {
    if (!HasCollaborators()) {
        SetLastError(kErrorMissingCollaborator);
        return NULL;
    }
    ParseCommandLine(commandLine);
    m_instance = instance;
    if (!SelectLanguage() || !RegisterLanguageCommands()) return NULL;

    m_statusBar.reset(new (std::nothrow) StatusBar);
    if (m_statusBar == NULL || !CreateDialogs()) {
        SetLastError(kErrorMissingCollaborator);
        return NULL;
    }
    WireDialogs();
    if (!CreateFilterSwitchDialog()) return NULL;
    if (m_inspect && !CreateInspectDialogs()) return NULL;
    if (m_develop && !CreateDevelopDialogs()) return NULL;

    if (!RegisterWindowClass(instance)) return NULL;
    LanguageResource language;
    return CreateMainWindow(language.GetModule());
}

void MainFrame::ParseCommandLine(LPCSTR commandLine) {
    if (commandLine == NULL) return;
    std::string line(commandLine);
    const char* separators = " \t\n";
    size_t start = line.find_first_not_of(separators);
    while (start != std::string::npos) {
        size_t end = line.find_first_of(separators, start);
        std::string token = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (token == "-stats") m_statistics = TRUE;
        if (token == "-inspect") m_inspect = TRUE;
        if (token == "-develop") m_develop = TRUE;
        start = end == std::string::npos ? end : line.find_first_not_of(separators, end);
    }
}

BOOL MainFrame::SelectLanguage() {
    LanguageResource languages;
    if (languages.Select(LanguageResource::kFirstId + m_settings.language) != NULL) return TRUE;
    // The saved language's module is gone: the first of the list instead.
    LanguageInfo first;
    SetLastError(0);
    if (!languages.GetFirst(&first) || languages.Select(first.id) == NULL) {
        if (GetLastError() == 0) SetLastError(kErrorMissingCollaborator);
        return FALSE;
    }
    m_settings.language = static_cast<int>(first.id - LanguageResource::kFirstId);
    return TRUE;
}

BOOL MainFrame::RegisterLanguageCommands() {
    LanguageResource languages;
    LanguageInfo info;
    if (!languages.GetFirst(&info)) {
        SetLastError(kErrorMissingCollaborator);
        return FALSE;
    }
    do {
        AddCommandHandler(static_cast<WORD>(info.id), Command(&MainFrame::OnLanguage));
    } while (languages.GetNext(&info));
    return TRUE;
}

BOOL MainFrame::CreateDialogs() {
    m_headerFooterDlg.reset(new (std::nothrow) HeaderFooterDlg);
    m_recordDlg.reset(new (std::nothrow) RecordDlg);
    m_playBackDlg.reset(new (std::nothrow) PlayBackDlg);
    m_tivInfoDlg.reset(new (std::nothrow) TivInfoDlg);
    m_ioTestDlg.reset(new (std::nothrow) IOTestDlg);
    m_numericalInputDlg.reset(new (std::nothrow) NumericalInputDlg);
    m_aboutDlg.reset(new (std::nothrow) AboutDlg);
    m_functionSettingDlg.reset(new (std::nothrow) FunctionSettingDlg);
    return m_headerFooterDlg != NULL && m_recordDlg != NULL && m_playBackDlg != NULL &&
           m_tivInfoDlg != NULL && m_ioTestDlg != NULL && m_numericalInputDlg != NULL && m_aboutDlg != NULL &&
           m_functionSettingDlg != NULL;
}

void MainFrame::LinkToSensor(SensorDialog* dialog) {
    dialog->SetSensorCaps(m_workspace.sensorCaps);
    dialog->SetDevicePort(m_devicePort);
}

void MainFrame::WireDialogs() {
    m_headerFooterDlg->SetPrintView(m_printView);
    LinkToSensor(m_recordDlg.get());
    m_recordDlg->SetMeasuringData(m_workspace.measuringData);
    m_recordDlg->SetScanView(m_scanView);
    m_recordDlg->SetMainFrame(this);
    m_recordDlg->SetApplication(m_application);
    m_playBackDlg->SetMeasuringData(m_workspace.measuringData);
    LinkToSensor(m_tivInfoDlg.get());
    LinkToSensor(m_ioTestDlg.get());
    LinkToSensor(m_functionSettingDlg.get());
    LinkToSensor(m_numericalInputDlg.get());
    m_numericalInputDlg->SetAreaSet(m_workspace.areaSet);
}

BOOL MainFrame::CreateFilterSwitchDialog() {
    AddCommandHandler(ID_SETTING_FILTER_SWITCH, Command(&MainFrame::OnFilterSwitch));
    m_filterSwitchDlg.reset(new (std::nothrow) FilterSwitchDlg);
    if (m_filterSwitchDlg == NULL) {
        SetLastError(kErrorMissingCollaborator);
        return FALSE;
    }
    LinkToSensor(m_filterSwitchDlg.get());
    return TRUE;
}

BOOL MainFrame::CreateInspectDialogs() {
    AddInspectCommands();
    m_correctionDlg.reset(new (std::nothrow) CorrectionDlg);
    m_functionDlg.reset(new (std::nothrow) FunctionDlg);
    m_waveFormDlg.reset(new (std::nothrow) WaveFormDlg);
    if (m_correctionDlg == NULL || m_functionDlg == NULL || m_waveFormDlg == NULL) {
        SetLastError(kErrorMissingCollaborator);
        return FALSE;
    }
    LinkToSensor(m_correctionDlg.get());
    LinkToSensor(m_functionDlg.get());
    LinkToSensor(m_waveFormDlg.get());
    m_waveFormDlg->SetWaveFormRecord(m_workspace.waveFormRecord);
    m_waveFormDlg->SetApplication(m_application);
    return TRUE;
}

BOOL MainFrame::CreateDevelopDialogs() {
    AddDevelopCommands();
    m_ramEditorDlg.reset(new (std::nothrow) RAMEditorDlg);
    m_framEditorDlg.reset(new (std::nothrow) FRAMEditorDlg);
    m_comMonitorDlg.reset(new (std::nothrow) ComMonitorDlg);
    m_encryptionDlg.reset(new (std::nothrow) EncryptionDlg);
    if (m_ramEditorDlg == NULL || m_framEditorDlg == NULL || m_comMonitorDlg == NULL ||
        m_encryptionDlg == NULL) {
        SetLastError(kErrorMissingCollaborator);
        return FALSE;
    }
    LinkToSensor(m_ramEditorDlg.get());
    LinkToSensor(m_framEditorDlg.get());
    m_framEditorDlg->SetApplication(m_application);
    LinkToSensor(m_comMonitorDlg.get());
    return TRUE;
}

int MainFrame::CountDialogs() const {
    return Exists(m_headerFooterDlg) + Exists(m_recordDlg) + Exists(m_playBackDlg) + Exists(m_tivInfoDlg) +
           Exists(m_ioTestDlg) + Exists(m_numericalInputDlg) + Exists(m_aboutDlg) + Exists(m_correctionDlg) +
           Exists(m_functionDlg) + Exists(m_waveFormDlg) + Exists(m_ramEditorDlg) + Exists(m_framEditorDlg) +
           Exists(m_comMonitorDlg) + Exists(m_encryptionDlg) + Exists(m_functionSettingDlg) +
           Exists(m_filterSwitchDlg);
}

BOOL MainFrame::RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = &ChildWindow::WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kProgramIcon));
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassA(&wc)) return FALSE;

    m_mutex.Reset(CreateMutexA(NULL, FALSE, kWindowClass));
    if (!m_mutex.Valid()) return FALSE;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        HWND first = FindWindowA(kWindowClass, NULL);
        if (first != NULL) SetForegroundWindow(first);
        SetLastError(kErrorOtherInstance);
        return FALSE;
    }
    return TRUE;
}

HWND MainFrame::CreateMainWindow(HMODULE resources) {
    MsgBox boxes;
    boxes.SetModule(resources);
    boxes.SetCaption(kTitle);
    OwnedMenu menu(LoadMenuA(resources, MAKEINTRESOURCEA(IDR_MAIN_MENU)));

    CREATESTRUCTA cs = {};
    cs.hInstance = m_instance;
    cs.hMenu = menu;
    cs.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    cs.lpszName = kTitle;
    cs.lpszClass = kWindowClass;
    HWND hwnd = ChildWindow::Create(&cs);
    if (hwnd == NULL) {
        SetLastError(kErrorMainWindow);
        return NULL;
    }
    menu.Release();  // the window's now
    boxes.SetOwner(hwnd);
    // A window shown maximised from its WM_CREATE is maximised once more as
    // its creation ends, which takes the maximised size for its normal
    // rectangle: the saved one is put back.
    ApplyPlacement(TRUE);
    return hwnd;
}
