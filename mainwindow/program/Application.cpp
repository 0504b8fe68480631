#include "mainwindow/program/Application.h"

#include "dialogs/ProgressDlg.h"
#include "framework/ErrorCodes.h"
#include "framework/IniFile.h"
#include "mainwindow/bands/Rebar.h"
#include "mainwindow/frame/MainFrame.h"
#include "mainwindow/print/PrintView.h"
#include "mainwindow/program/FileChoice.h"
#include "mainwindow/view/ScanView.h"
#include "protocol/DevicePort.h"
#include "resources/MenuIds.h"

#include <commdlg.h>

#include <cctype>
#include <cstring>
#include <new>

const char Application::kCaptionPrefix[] = "Veldra";
const char Application::kSettingsSection[] = "File";

namespace {

const DWORD kWin32s = VER_PLATFORM_WIN32s;
const DWORD kWindows9x = VER_PLATFORM_WIN32_WINDOWS;
const DWORD kWindowsNt = VER_PLATFORM_WIN32_NT;
const DWORD kFaultyBuild = 950;  // Windows 95 as first shipped

// The kinds of file the application's dialogs choose, by FileKind.
enum FileKind { kOpenArea, kSaveArea, kOpenMeasurement, kSaveMeasurement, kOpenUpdate };

const char kAreaFilter[] = "Area File (*.ara)";
const char kMeasurementFilter[] = "Measurement File (*.csv)";
const char kUpdateFilter[] = "ZOR Update File (*.tiv)";

FileChoice& Choice(int kind) {
    static FileChoice choices[] = {
        FileChoice(FileChoice::kOpen, kAreaFilter, "*.ara", "ara", NULL),
        FileChoice(FileChoice::kSave, kAreaFilter, "*.ara", "ara", "untitled.ara"),
        FileChoice(FileChoice::kOpen, kMeasurementFilter, "*.csv", "csv", NULL),
        FileChoice(FileChoice::kSave, kMeasurementFilter, "*.csv", "csv", "untitled.csv"),
        FileChoice(FileChoice::kOpen, kUpdateFilter, "*.tiv", "tiv", NULL),
    };
    return choices[kind];
}

// Sets the missing-object code when a failed step left no reason.
BOOL Checked(BOOL ok) {
    if (!ok && GetLastError() == 0) SetLastError(kErrorMissingCollaborator);
    return ok;
}

// The character a text underlines: the one after its first single "&"
// ("&&" shows an ampersand); 0 when it has none.
char MnemonicOf(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p != '&') continue;
        if (p[1] != '&') return p[1];
        ++p;
    }
    return 0;
}

// Whether the dialog's processing acts on the key as the control's
// mnemonic: a shown and enabled button or static whose text underlines it.
BOOL ActsOnMnemonic(HWND control, char key) {
    if ((GetWindowLongA(control, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED)) != WS_VISIBLE) return FALSE;
    if ((SendMessageA(control, WM_GETDLGCODE, 0, 0) & (DLGC_BUTTON | DLGC_STATIC)) == 0) return FALSE;
    char text[128] = "";
    GetWindowTextA(control, text, sizeof text);
    const char mnemonic = MnemonicOf(text);
    return mnemonic != 0 && toupper(static_cast<unsigned char>(mnemonic)) == toupper(static_cast<unsigned char>(key));
}

}  // namespace

Application::Application()
    : m_version(),
      m_instance(NULL),
      m_mainWindow(NULL),
      m_levelSwitchOn(0),
      m_waveFormBoth(0),
      m_updateBootPart(0),
      m_lastComPort(0),
      m_framRead(0) {
    m_documentPath[0] = '\0';
    m_areaFileName[0] = '\0';
    m_measurementFileName[0] = '\0';
}

Application::~Application() {
    IniFile settings;
    settings.WriteString(kSettingsSection, "AreaFileName", m_areaFileName);
    settings.WriteString(kSettingsSection, "MeasurementFileName", m_measurementFileName);
    // Field order: the device port's threads stop before the windows they
    // post to go; each destructor writes its own settings.
    m_devicePort.reset();
    // No operation is left to end a progress dialog: those still open go
    // before the window that owns them.
    m_progressDialogs.clear();
    m_mainFrame.reset();
    m_scanView.reset();
    m_rebar.reset();
    m_printView.reset();
    m_accelerators.Close();
}

BOOL Application::IsSupportedSystem(const OSVERSIONINFOA& version) {
    if (version.dwPlatformId == kWin32s) return FALSE;
    return !(version.dwPlatformId == kWindows9x && version.dwMajorVersion == 4 &&
             version.dwMinorVersion == 0 && LOWORD(version.dwBuildNumber) == kFaultyBuild);
}

BOOL Application::QueryVersion(OSVERSIONINFOA* version) {
    memset(version, 0, sizeof *version);
    version->dwOSVersionInfoSize = sizeof *version;
    return GetVersionExA(version);
}

void Application::ReadSettings() {
    IniFile settings;
    settings.GetString(kSettingsSection, "AreaFileName", "", m_areaFileName, 256);
    settings.GetString(kSettingsSection, "MeasurementFileName", "", m_measurementFileName, 256);
}

BOOL Application::CreateObjects() {
    m_devicePort.reset(new (std::nothrow) DevicePort);
    m_mainFrame.reset(new (std::nothrow) MainFrame);
    m_scanView.reset(new (std::nothrow) ScanView);
    m_rebar.reset(new (std::nothrow) Rebar);
    m_printView.reset(new (std::nothrow) PrintView);
    return m_devicePort != NULL && m_mainFrame != NULL && m_scanView != NULL && m_rebar != NULL &&
           m_printView != NULL;
}

BOOL Application::Initialize(HINSTANCE instance, LPSTR commandLine, int showCommand) {
    m_levelSwitchOn = 0;
    m_waveFormBoth = 0;
    m_updateBootPart = 0;
    m_lastComPort = 0;
    m_framRead = 0;
    ReadSettings();

    if (!QueryVersion(&m_version)) return FALSE;
    if (!IsSupportedSystem(m_version)) {
        SetLastError(kErrorWindowsVersion);
        return FALSE;
    }
    if (!CreateObjects()) {
        SetLastError(kErrorMissingCollaborator);
        return FALSE;
    }
    m_instance = instance;
    m_accelerators.Reset(LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS)));
    WireObjects();
    if (!StartObjects(instance, commandLine, showCommand)) return FALSE;
    UpdateCaption("");
    return TRUE;
}

Workspace Application::GetWorkspace() {
    return Workspace(&m_areaSet, &m_realtimeScan, &m_measuringData, &m_waveFormRecord, &m_sensorCaps);
}

void Application::WireObjects() {
    m_areaSet.SetDevice(&m_sensorCaps);
    m_realtimeScan.SetDevice(&m_sensorCaps);
    m_measuringData.SetSensorCaps(&m_sensorCaps);

    m_devicePort->SetApplication(this);
    m_devicePort->SetFrame(m_mainFrame.get());
    m_devicePort->SetWaveFormRecord(&m_waveFormRecord);
    m_devicePort->SetSensorCaps(&m_sensorCaps);

    m_mainFrame->SetApplication(this);
    m_mainFrame->SetDevicePort(m_devicePort.get());
    m_mainFrame->SetScanView(m_scanView.get());
    m_mainFrame->SetRebar(m_rebar.get());
    m_mainFrame->SetPrintView(m_printView.get());
    m_mainFrame->SetWorkspace(GetWorkspace());

    m_scanView->SetApplication(this);
    m_scanView->SetDevicePort(m_devicePort.get());
    m_scanView->SetPrintView(m_printView.get());
    m_scanView->SetAreaSet(&m_areaSet);
    m_scanView->SetScanShape(&m_realtimeScan);
    m_scanView->SetMeasuringData(&m_measuringData);
    m_scanView->SetSensorCaps(&m_sensorCaps);

    m_printView->SetScanView(m_scanView.get());
    m_printView->SetRebar(m_rebar.get());
}

BOOL Application::StartObjects(HINSTANCE instance, LPSTR commandLine, int showCommand) {
    // Each step reports its own reason; one that gives none is a missing object.
    SetLastError(0);
    if (!Checked(m_devicePort->CreateEvents())) return FALSE;
    SetLastError(0);
    if (!Checked(m_areaSet.Init())) return FALSE;
    SetLastError(0);
    m_mainWindow = m_mainFrame->Initialize(instance, commandLine, showCommand);
    return Checked(m_mainWindow != NULL);
}

int Application::Run() {
    MSG msg;
    for (;;) {
        BOOL got = GetMessageA(&msg, NULL, 0, 0);
        if (got == -1) {
            SetLastError(kErrorMessageLoop);
            return 0;
        }
        if (got == 0) return static_cast<int>(msg.wParam);
        // Keyboard navigation inside modeless dialogs.
        HWND parent = msg.hwnd != NULL ? GetParent(msg.hwnd) : NULL;
        HWND dialog = parent != m_mainWindow ? parent : NULL;
        if (m_accelerators.Valid() && m_mainWindow != NULL && !IsEditKey(msg, m_mainWindow) &&
            !IsDialogMnemonic(msg, dialog) && TranslateAcceleratorA(m_mainWindow, m_accelerators.Get(), &msg)) {
            continue;
        }
        if (dialog != NULL && IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

BOOL Application::IsDialogEdit(HWND focus, HWND mainWindow) {
    if (focus == NULL) return FALSE;
    char className[32] = {};
    if (!GetClassNameA(focus, className, sizeof className)) return FALSE;
    const BOOL edit = lstrcmpiA(className, "Edit") == 0 || CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE,
                                                                           className, 8, "RichEdit", 8) == CSTR_EQUAL;
    if (!edit) return FALSE;
    // An edit inside a dialog's control, as a grid's in-place editor, counts too.
    HWND dialog = GetAncestor(focus, GA_ROOT);
    char dialogClass[16] = {};
    return dialog != NULL && dialog != mainWindow && GetClassNameA(dialog, dialogClass, sizeof dialogClass) &&
           lstrcmpA(dialogClass, "#32770") == 0;
}

BOOL Application::IsEditKey(const MSG& msg, HWND mainWindow) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return FALSE;
    if (!IsDialogEdit(msg.hwnd, mainWindow)) return FALSE;
    const BOOL chord = GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
    switch (msg.wParam) {
    case 'A':
    case 'C':
    case 'V':
    case 'X':
    case 'Y':
    case 'Z':
        return chord;
    case VK_PRIOR:
    case VK_NEXT:
        // A single-line edit has no pages to turn.
        return (GetWindowLongA(msg.hwnd, GWL_STYLE) & ES_MULTILINE) != 0;
    default:
        return FALSE;
    }
}

BOOL Application::IsDialogMnemonic(const MSG& msg, HWND dialog) {
    // Alt held (the context bit) without Ctrl: Ctrl+Alt keys are no mnemonics.
    const BOOL alt = msg.message == WM_SYSKEYDOWN && (msg.lParam & (1 << 29)) != 0;
    if (dialog == NULL || !alt || GetKeyState(VK_CONTROL) < 0) return FALSE;
    const char key = static_cast<char>(MapVirtualKeyA(static_cast<UINT>(msg.wParam), MAPVK_VK_TO_CHAR));
    if (key == 0) return FALSE;
    for (HWND control = GetWindow(dialog, GW_CHILD); control != NULL; control = GetWindow(control, GW_HWNDNEXT)) {
        if (ActsOnMnemonic(control, key)) return TRUE;
    }
    return FALSE;
}

void Application::PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The main loop must still see it, or the program never ends.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

BOOL Application::Yield() {
    if (m_version.dwPlatformId != kWindowsNt) return FALSE;
    return SwitchToThread();
}

void Application::Quit() {
    m_areaSet.ClearDevice();
    m_realtimeScan.Clear();
    m_measuringData.ClearSensorCaps();
    if (m_devicePort != NULL) m_devicePort->Detach();
    if (m_mainFrame != NULL) m_mainFrame->ReleaseObjects();
    if (m_scanView != NULL) m_scanView->ReleaseObjects();
    if (m_printView != NULL) m_printView->ReleaseObjects();
    PostQuitMessage(1);
}

void Application::GetVersionInfo(OSVERSIONINFOA* info) {
    if (info != NULL) *info = m_version;
}

ProgressView* Application::BeginProgress(HWND owner) {
    std::unique_ptr<ProgressDlg> dialog(new (std::nothrow) ProgressDlg);
    if (dialog == NULL) return NULL;
    dialog->SetApplication(this);
    if (dialog->Start(m_instance, owner != NULL ? owner : m_mainWindow) == NULL) return NULL;
    // The caller holds it lent until EndProgress.
    ProgressView* started = dialog.get();
    CriticalLock::Hold hold(m_progressLock);
    m_progressDialogs.push_back(std::move(dialog));
    return started;
}

BOOL Application::EndProgress(ProgressView* dialog) {
    std::unique_ptr<ProgressDlg> ended = TakeProgress(dialog);
    if (ended == NULL) return FALSE;
    ended->End();
    return TRUE;
}

std::unique_ptr<ProgressDlg> Application::TakeProgress(ProgressView* dialog) {
    if (dialog == NULL) return nullptr;
    CriticalLock::Hold hold(m_progressLock);
    for (auto it = m_progressDialogs.begin(); it != m_progressDialogs.end(); ++it) {
        if (it->get() != dialog) continue;
        std::unique_ptr<ProgressDlg> taken = std::move(*it);
        m_progressDialogs.erase(it);
        return taken;
    }
    return nullptr;
}

BOOL Application::GetDocumentPath(char* buffer, DWORD size) {
    return FileChoice::CopyOut(m_documentPath, buffer, size);
}

void Application::SetDocumentPath(const char* path) {
    // A path too long for the buffer is forgotten rather than cut.
    if (path == NULL || !FileChoice::CopyOut(path, m_documentPath, MAX_PATH)) m_documentPath[0] = '\0';
    UpdateCaption(m_documentPath);
}

void Application::UpdateCaption(const char* /*path*/) {
    std::string caption = kCaptionPrefix;
    char title[MAX_PATH];
    if (m_documentPath[0] != '\0' && GetFileTitleA(m_documentPath, title, sizeof title) == 0)
        caption += title;
    if (m_mainWindow != NULL) SetWindowTextA(m_mainWindow, caption.c_str());
}

BOOL Application::ChooseFile(int kind, const char* remembered, char* store, char* buffer, DWORD size) {
    char chosen[FileChoice::kPathChars];
    if (!Choice(kind).Run(m_mainWindow, m_instance, remembered, chosen)) return FALSE;
    // Nothing changes unless the caller can take the whole path.
    if (buffer != NULL && !FileChoice::CopyOut(chosen, buffer, size)) return FALSE;
    if (store != NULL) FileChoice::CopyOut(chosen, store, MAX_PATH);
    return TRUE;
}

BOOL Application::OpenAreaFileDialog(char* buffer, DWORD size) {
    if (!ChooseFile(kOpenArea, m_areaFileName, m_areaFileName, buffer, size)) return FALSE;
    UpdateCaption(m_areaFileName);
    return TRUE;
}

BOOL Application::SaveAreaFileDialog(char* buffer, DWORD size) {
    if (!ChooseFile(kSaveArea, m_documentPath, m_areaFileName, buffer, size)) return FALSE;
    UpdateCaption(m_areaFileName);
    return TRUE;
}

BOOL Application::OpenMeasurementFileDialog(char* buffer, DWORD size) {
    return ChooseFile(kOpenMeasurement, m_measurementFileName, m_measurementFileName, buffer, size);
}

BOOL Application::SaveMeasurementFileDialog(char* buffer, DWORD size) {
    return ChooseFile(kSaveMeasurement, m_measurementFileName, m_measurementFileName, buffer, size);
}

int Application::OpenUpdateFile() {
    char chosen[FileChoice::kPathChars];
    if (!ChooseFile(kOpenUpdate, "", NULL, chosen, sizeof chosen)) return 0;
    if (m_devicePort == NULL) return 0;
    return m_devicePort->UpdateFirmware(chosen);
}

int Application::OpenPort(int port) {
    if (m_devicePort == NULL) return 0;
    return m_devicePort->RequestOpen(port);
}

int Application::GetStepCount() {
    return m_sensorCaps.HasCapability(SensorCaps::kCapStepCount);
}

DWORD Application::GetValue1() {
    return m_levelSwitchOn;
}

void Application::SetValue1(DWORD value) {
    m_levelSwitchOn = value;
}

DWORD Application::GetWaveFormBoth() {
    return m_waveFormBoth;
}

void Application::SetWaveFormBoth(DWORD value) {
    m_waveFormBoth = value;
}

DWORD Application::GetValue3() {
    return m_updateBootPart;
}

void Application::SetValue3(DWORD value) {
    m_updateBootPart = value;
}

DWORD Application::GetValue4() {
    return m_lastComPort;
}

void Application::SetValue4(DWORD value) {
    if (value != 0) m_lastComPort = value;
}

DWORD Application::GetValue5() {
    return m_framRead;
}

void Application::SetValue5(DWORD value) {
    m_framRead = value;
}
