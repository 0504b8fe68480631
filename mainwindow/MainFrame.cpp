#include "mainwindow/MainFrame.h"

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
#include "framework/ErrorCodes.h"
#include "framework/IniFile.h"
#include "framework/LanguageResource.h"
#include "framework/MsgBox.h"
#include "framework/ResourceString.h"
#include "mainwindow/Application.h"
#include "mainwindow/Rebar.h"
#include "mainwindow/ScanView.h"
#include "mainwindow/StatusBar.h"
#include "mainwindow/ViewMessages.h"
#include "protocol/DevicePort.h"
#include "resources/MenuIds.h"

#include <cstring>
#include <new>
#include <string>

const char MainFrame::kWindowClass[] = "ZORConfiguratorWClass";
const char MainFrame::kTitle[] = "TIV Configurator";

namespace {

const WORD kProgramIcon = 1;

// The owned dialogs that exist only with a switch, for the counting below.
template <class T>
int Exists(T* object) {
    return object != NULL ? 1 : 0;
}

template <class T>
void DeleteOwned(T*& object) {
    delete object;
    object = NULL;
}

}  // namespace

MainFrame::MainFrame()
    : m_application(NULL),
      m_devicePort(NULL),
      m_scanShape(NULL),
      m_measuringData(NULL),
      m_areaSet(NULL),
      m_waveFormRecord(NULL),
      m_sensorCaps(NULL),
      m_scanView(NULL),
      m_rebar(NULL),
      m_statusBar(NULL),
      m_printView(NULL),
      m_headerFooterDlg(NULL),
      m_recordDlg(NULL),
      m_playBackDlg(NULL),
      m_tivInfoDlg(NULL),
      m_ioTestDlg(NULL),
      m_numericalInputDlg(NULL),
      m_aboutDlg(NULL),
      m_correctionDlg(NULL),
      m_functionDlg(NULL),
      m_waveFormDlg(NULL),
      m_ramEditorDlg(NULL),
      m_framEditorDlg(NULL),
      m_comMonitorDlg(NULL),
      m_encryptionDlg(NULL),
      m_functionSettingDlg(NULL),
      m_filterSwitchDlg(NULL),
      m_instance(NULL),
      m_mutex(NULL),
      m_statistics(FALSE),
      m_inspect(FALSE),
      m_develop(FALSE),
      m_placementReapplied(FALSE) {
    IniFile settings;
    m_settings.Load(&settings);
    AddMessageHandler(WM_CREATE, Handler(&MainFrame::OnCreate));
    AddMessageHandler(WM_SYSCOMMAND, Handler(&MainFrame::OnSysCommand));
    AddMessageHandler(WM_SIZE, Handler(&MainFrame::OnSize));
    AddMessageHandler(WM_DESTROY, Handler(&MainFrame::OnDestroy));
}

MainFrame::~MainFrame() {
    if (m_mutex != NULL) CloseHandle(m_mutex);
    DeleteOwned(m_statusBar);
    DeleteDialogs();
    IniFile settings;
    m_settings.Save(&settings);
}

void MainFrame::DeleteDialogs() {
    DeleteOwned(m_headerFooterDlg);
    DeleteOwned(m_recordDlg);
    DeleteOwned(m_playBackDlg);
    DeleteOwned(m_tivInfoDlg);
    DeleteOwned(m_ioTestDlg);
    DeleteOwned(m_numericalInputDlg);
    DeleteOwned(m_aboutDlg);
    DeleteOwned(m_correctionDlg);
    DeleteOwned(m_functionDlg);
    DeleteOwned(m_waveFormDlg);
    DeleteOwned(m_ramEditorDlg);
    DeleteOwned(m_framEditorDlg);
    DeleteOwned(m_comMonitorDlg);
    DeleteOwned(m_encryptionDlg);
    DeleteOwned(m_functionSettingDlg);
    DeleteOwned(m_filterSwitchDlg);
}

void MainFrame::SetSensorCaps(SensorCaps* caps) {
    m_sensorCaps = caps;
}

void MainFrame::SetWaveFormRecord(WaveFormRecord* record) {
    m_waveFormRecord = record;
}

void MainFrame::SetAreaSet(AreaSet* areas) {
    m_areaSet = areas;
}

void MainFrame::SetMeasuringData(MeasuringData* data) {
    m_measuringData = data;
}

void MainFrame::SetScanShape(ScanShape* shape) {
    m_scanShape = shape;
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

void MainFrame::SetApplication(Application* application) {
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
    m_scanShape = NULL;
    m_measuringData = NULL;
    m_areaSet = NULL;
    m_waveFormRecord = NULL;
    m_sensorCaps = NULL;
}

BOOL MainFrame::HasCollaborators() const {
    return m_application != NULL && m_devicePort != NULL && m_scanView != NULL && m_rebar != NULL &&
           m_printView != NULL && m_areaSet != NULL && m_scanShape != NULL && m_measuringData != NULL &&
           m_waveFormRecord != NULL && m_sensorCaps != NULL;
}

HWND MainFrame::Initialize(HINSTANCE instance, LPCSTR commandLine, int /*showCommand*/) {
    if (!HasCollaborators()) {
        SetLastError(kErrorMissingCollaborator);
        return NULL;
    }
    ParseCommandLine(commandLine);
    m_instance = instance;
    if (!SelectLanguage() || !RegisterLanguageCommands()) return NULL;

    m_statusBar = new (std::nothrow) StatusBar;
    if (m_statusBar == NULL || !CreateDialogs()) {
        SetLastError(kErrorMissingCollaborator);
        return NULL;
    }
    WireDialogs();
    AddCommandHandler(ID_SETTING_FILTER_SWITCH, Command(&MainFrame::OnFilterSwitch));
    m_filterSwitchDlg = new (std::nothrow) FilterSwitchDlg;
    if (m_filterSwitchDlg == NULL) {
        SetLastError(kErrorMissingCollaborator);
        return NULL;
    }
    m_filterSwitchDlg->SetSensorCaps(m_sensorCaps);
    m_filterSwitchDlg->SetDevicePort(m_devicePort);
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
    m_headerFooterDlg = new (std::nothrow) HeaderFooterDlg;
    m_recordDlg = new (std::nothrow) RecordDlg;
    m_playBackDlg = new (std::nothrow) PlayBackDlg;
    m_tivInfoDlg = new (std::nothrow) TivInfoDlg;
    m_ioTestDlg = new (std::nothrow) IOTestDlg;
    m_numericalInputDlg = new (std::nothrow) NumericalInputDlg;
    m_aboutDlg = new (std::nothrow) AboutDlg;
    m_functionSettingDlg = new (std::nothrow) FunctionSettingDlg;
    return m_headerFooterDlg != NULL && m_recordDlg != NULL && m_playBackDlg != NULL &&
           m_tivInfoDlg != NULL && m_ioTestDlg != NULL && m_numericalInputDlg != NULL && m_aboutDlg != NULL &&
           m_functionSettingDlg != NULL;
}

void MainFrame::WireDialogs() {
    m_headerFooterDlg->SetPrintView(m_printView);
    m_recordDlg->SetMeasuringData(m_measuringData);
    m_recordDlg->SetScanView(m_scanView);
    m_recordDlg->SetDevicePort(m_devicePort);
    m_recordDlg->SetMainFrame(this);
    m_recordDlg->SetApplication(m_application);
    m_playBackDlg->SetMeasuringData(m_measuringData);
    m_tivInfoDlg->SetSensorCaps(m_sensorCaps);
    m_tivInfoDlg->SetDevicePort(m_devicePort);
    m_ioTestDlg->SetSensorCaps(m_sensorCaps);
    m_ioTestDlg->SetDevicePort(m_devicePort);
    m_functionSettingDlg->SetSensorCaps(m_sensorCaps);
    m_functionSettingDlg->SetDevicePort(m_devicePort);
    m_numericalInputDlg->SetSensorCaps(m_sensorCaps);
    m_numericalInputDlg->SetAreaSet(m_areaSet);
}

BOOL MainFrame::CreateInspectDialogs() {
    AddCommandHandler(ID_INSPECT_CORRECT, Command(&MainFrame::OnCorrection));
    AddCommandHandler(ID_INSPECT_WRITE_FUNCTION, Command(&MainFrame::OnWriteFunction));
    AddCommandHandler(ID_INSPECT_WAVE_FORM, Command(&MainFrame::OnWaveFormDialog));
    AddCommandHandler(ID_INSPECT_LED_TROUBLE, Command(&MainFrame::OnLedTrouble));
    AddCommandHandler(ID_INSPECT_PHOTOINTERRUPTER_TROUBLE, Command(&MainFrame::OnPhotointerrupterTrouble));
    AddCommandHandler(ID_INSPECT_MOTOR_TROUBLE, Command(&MainFrame::OnMotorTrouble));
    m_correctionDlg = new (std::nothrow) CorrectionDlg;
    m_functionDlg = new (std::nothrow) FunctionDlg;
    m_waveFormDlg = new (std::nothrow) WaveFormDlg;
    if (m_correctionDlg == NULL || m_functionDlg == NULL || m_waveFormDlg == NULL) {
        SetLastError(kErrorMissingCollaborator);
        return FALSE;
    }
    m_correctionDlg->SetSensorCaps(m_sensorCaps);
    m_correctionDlg->SetDevicePort(m_devicePort);
    m_functionDlg->SetSensorCaps(m_sensorCaps);
    m_functionDlg->SetDevicePort(m_devicePort);
    m_waveFormDlg->SetSensorCaps(m_sensorCaps);
    m_waveFormDlg->SetWaveFormRecord(m_waveFormRecord);
    m_waveFormDlg->SetDevicePort(m_devicePort);
    m_waveFormDlg->SetApplication(m_application);
    return TRUE;
}

BOOL MainFrame::CreateDevelopDialogs() {
    AddCommandHandler(ID_DEVELOP_RAM_EDITOR, Command(&MainFrame::OnRamEditor));
    AddCommandHandler(ID_DEVELOP_FRAM_EDITOR, Command(&MainFrame::OnFramEditor));
    AddCommandHandler(ID_DEVELOP_COM_MONITOR, Command(&MainFrame::OnComMonitor));
    AddCommandHandler(ID_DEVELOP_ENCRYPT, Command(&MainFrame::OnEncryptMotFile));
    m_ramEditorDlg = new (std::nothrow) RAMEditorDlg;
    m_framEditorDlg = new (std::nothrow) FRAMEditorDlg;
    m_comMonitorDlg = new (std::nothrow) ComMonitorDlg;
    m_encryptionDlg = new (std::nothrow) EncryptionDlg;
    if (m_ramEditorDlg == NULL || m_framEditorDlg == NULL || m_comMonitorDlg == NULL ||
        m_encryptionDlg == NULL) {
        SetLastError(kErrorMissingCollaborator);
        return FALSE;
    }
    m_ramEditorDlg->SetDevicePort(m_devicePort);
    m_framEditorDlg->SetDevicePort(m_devicePort);
    m_framEditorDlg->SetApplication(m_application);
    m_comMonitorDlg->SetSensorCaps(m_sensorCaps);
    m_comMonitorDlg->SetDevicePort(m_devicePort);
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

    m_mutex = CreateMutexA(NULL, FALSE, kWindowClass);
    if (m_mutex == NULL) return FALSE;
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
    HMENU menu = LoadMenuA(resources, MAKEINTRESOURCEA(IDR_MAIN_MENU));

    CREATESTRUCTA cs = {};
    cs.hInstance = m_instance;
    cs.hMenu = menu;
    cs.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    cs.lpszName = kTitle;
    cs.lpszClass = kWindowClass;
    HWND hwnd = ChildWindow::Create(&cs);
    if (hwnd == NULL) {
        if (menu != NULL) DestroyMenu(menu);
        SetLastError(kErrorMainWindow);
        return NULL;
    }
    boxes.SetOwner(hwnd);
    // A window shown maximised from its WM_CREATE is maximised once more as
    // its creation ends, which takes the maximised size for its normal
    // rectangle: the saved one is put back.
    ApplyPlacement(TRUE);
    return hwnd;
}

LRESULT MainFrame::OnCreate(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    HWND hwnd = GetHwnd();
    if (m_rebar != NULL) m_rebar->Create(m_instance, hwnd);
    if (m_statusBar != NULL) m_statusBar->Create(m_instance, hwnd);
    if (m_scanView != NULL) m_scanView->Create(m_instance, hwnd);
    BuildMenus();
    // Filled once the window runs.
    PostMessage(WM_STATUS_UPDATE_AREA, 0, 0);
    PostMessage(WM_STATUS_UPDATE_PORT, 0, 0);
    StartDevice();
    if (m_scanView != NULL && m_scanView->GetHwnd() != NULL)
        InvalidateRect(m_scanView->GetHwnd(), NULL, FALSE);
    ApplyPlacement(FALSE);
    return 0;
}

void MainFrame::StartDevice() {
    if (m_devicePort == NULL) return;
    WORD type = static_cast<WORD>(m_settings.deviceType);
    m_devicePort->SetAutoRecognition(m_settings.deviceType == FrameSettings::kAutoRecognition);
    m_devicePort->SelectDevice(type);
    m_devicePort->RequestOpen(m_settings.comPort);
    m_devicePort->RequestPortScan();
    BOOL realtime = m_scanView != NULL && m_scanView->TestDrawItem(ScanView::kDrawRealtime);
    m_devicePort->SetRealtime(realtime ? 1 : 0);
}

void MainFrame::ApplyPlacement(BOOL keepShowCommand) {
    HWND hwnd = GetHwnd();
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(hwnd, &placement)) return;
    placement.rcNormalPosition = m_settings.window;
    if (!keepShowCommand) placement.showCmd = static_cast<UINT>(m_settings.showCommand);
    SetWindowPlacement(hwnd, &placement);
}

LRESULT MainFrame::OnSysCommand(WPARAM wParam, LPARAM lParam) {
    // The first system command finds the window where the system put it
    // after the hidden start; the saved rectangle is applied once more.
    if (!m_placementReapplied) {
        ApplyPlacement(TRUE);
        m_placementReapplied = TRUE;
    }
    return DefWindowProcA(GetHwnd(), WM_SYSCOMMAND, wParam, lParam);
}

LRESULT MainFrame::OnSize(WPARAM wParam, LPARAM lParam) {
    if (!IsWindowVisible(GetHwnd())) return 0;
    int width = LOWORD(lParam);
    int height = HIWORD(lParam);
    if (m_rebar != NULL) m_rebar->Resize(width);
    if (m_statusBar != NULL && m_statusBar->GetHwnd() != NULL) {
        ::SendMessageA(m_statusBar->GetHwnd(), WM_SIZE, wParam, lParam);
    }
    LayOut(width, height);
    return 0;
}

void MainFrame::LayOut(int width, int height) {
    if (m_scanView == NULL || m_scanView->GetHwnd() == NULL) return;
    int top = m_rebar != NULL ? m_rebar->GetHeight() : 0;
    int bottom = m_statusBar != NULL ? m_statusBar->GetHeight() : 0;
    int viewHeight = height - top - bottom;
    if (viewHeight < 0) viewHeight = 0;
    m_scanView->Move(0, top, width, viewHeight, FALSE);
}

void MainFrame::Relayout() {
    RECT client;
    if (!GetClientRect(GetHwnd(), &client)) return;
    OnSize(0, MAKELPARAM(client.right - client.left, client.bottom - client.top));
}

void MainFrame::SavePlacement() {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(GetHwnd(), &placement)) return;
    m_settings.window = placement.rcNormalPosition;
    BOOL maximised =
        placement.showCmd == SW_SHOWMAXIMIZED ||
        (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0);
    m_settings.showCommand = maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
}

LRESULT MainFrame::OnDestroy(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    HWND hwnd = GetHwnd();
    SavePlacement();
    ShowWindow(hwnd, SW_HIDE);
    if (m_scanView != NULL) m_scanView->Destroy();
    if (m_rebar != NULL) m_rebar->Destroy();
    HMENU menu = GetMenu(hwnd);
    SetMenu(hwnd, NULL);
    if (menu != NULL) DestroyMenu(menu);
    if (m_application != NULL) {
        m_application->Quit();
    } else {
        PostQuitMessage(1);
    }
    return 0;
}

void MainFrame::BuildMenus() {
    HWND hwnd = GetHwnd();
    LanguageResource language;
    HMODULE module = language.GetModule();
    HMENU bar = LoadMenuA(module, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    if (bar == NULL) return;
    if (m_inspect) AppendEngineeringMenu(bar, module, IDR_INSPECT_MENU, IDS_INSPECT_MENU);
    if (m_develop) AppendEngineeringMenu(bar, module, IDR_DEVELOP_MENU, IDS_DEVELOP_MENU);
    HMENU old = GetMenu(hwnd);
    SetMenu(hwnd, bar);
    if (old != NULL) DestroyMenu(old);
    DrawMenuBar(hwnd);
}

void MainFrame::AppendEngineeringMenu(HMENU bar, HMODULE module, UINT menuId, UINT titleId) {
    HMENU popup = LoadMenuA(module, MAKEINTRESOURCEA(menuId));
    if (popup == NULL) return;
    ResourceString title(module);
    std::string text = title.Load(titleId);
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE | MIIM_SUBMENU | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.hSubMenu = popup;
    item.dwTypeData = &text[0];
    if (!InsertMenuItemA(bar, static_cast<UINT>(GetMenuItemCount(bar)), TRUE, &item)) DestroyMenu(popup);
}

LRESULT MainFrame::OnLanguage(WORD, WORD, LPARAM) {
    return 0;
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
