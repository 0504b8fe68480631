#include "mainwindow/frame/MainFrame.h"

#include "dialogs/ComMonitorDlg.h"
#include "dialogs/CorrectionDlg.h"
#include "dialogs/DialogMessages.h"
#include "dialogs/FRAMEditorDlg.h"
#include "dialogs/FilterSwitchDlg.h"
#include "dialogs/FunctionDlg.h"
#include "dialogs/FunctionSettingDlg.h"
#include "dialogs/IOTestDlg.h"
#include "dialogs/NumericalInputDlg.h"
#include "dialogs/RAMEditorDlg.h"
#include "dialogs/RecordDlg.h"
#include "dialogs/TivInfoDlg.h"
#include "dialogs/WaveFormDlg.h"
#include "framework/MsgBox.h"
#include "framework/PostedObject.h"
#include "framework/ResourceString.h"
#include "mainwindow/frame/FrameHost.h"
#include "mainwindow/frame/ProgramFile.h"
#include "mainwindow/view/ScanView.h"
#include "mainwindow/frame/FrameMessages.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"
#include "resources/FrameIds.h"
#include "resources/MenuIds.h"
#include "sensor/AreaSet.h"
#include "sensor/ScanData.h"
#include "sensor/ScanShape.h"

#include <mmsystem.h>

#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

// The sensor side's notifications to the frame, one handler per message
// number, registered from one table. WM_DEVICE_IO_FORCED and WM_USER + 23,
// + 24 have no handler. Sent notifications (areas read and written, firmware
// result, monitor line) hold the sending device thread until the handler
// returns, which copies what the sender's memory holds and defers its boxes;
// posted ones carry pointers the device side keeps alive. A posted one taken
// while the mark of a device switch is still on its way came from the
// replaced device, and is dropped.

void MainFrame::AddDeviceNotifications() {
    static const MessageEntry kNotifications[] = {
        {WM_DEVICE_PORT_OPENED, &MainFrame::OnPortOpened},
        {WM_DEVICE_PORT_LIST, &MainFrame::OnPortList},
        {WM_DEVICE_TYPE_RECOGNIZED, &MainFrame::OnDeviceTypeRecognized},
        {WM_DEVICE_CONNECTION_CHANGED, &MainFrame::OnConnectionChanged},
        {WM_DEVICE_SENSOR_INFO, &MainFrame::OnSensorInfo},
        {WM_DEVICE_SCAN, &MainFrame::OnScan},
        {WM_RECORD_END, &MainFrame::OnRecordEnd},
        {WM_DEVICE_RAM_DATA, &MainFrame::OnRamData},
        {WM_DEVICE_RAM_WRITTEN, &MainFrame::OnUser8},
        {WM_DEVICE_AREA_READ, &MainFrame::OnAreaRead},
        {WM_DEVICE_AREA_WRITTEN, &MainFrame::OnAreaWritten},
        {WM_DEVICE_FRAM_DATA, &MainFrame::OnFramData},
        {WM_DEVICE_FRAM_WRITTEN, &MainFrame::OnUser12},
        {WM_DEVICE_FUNCTIONS_READ, &MainFrame::OnUser13},
        {WM_DEVICE_FUNCTION_WRITTEN, &MainFrame::OnUser14},
        {WM_DEVICE_CORRECTION_DISTANCES, &MainFrame::OnUser15},
        {WM_DEVICE_CORRECTION_DISTANCE_WRITTEN, &MainFrame::OnUser16},
        {WM_DEVICE_CORRECTION_ANGLE, &MainFrame::OnUser17},
        {WM_DEVICE_CORRECTION_DONE, &MainFrame::OnUser18},
        {WM_DEVICE_OUTPUT_STATE, &MainFrame::OnOutputState},
        {WM_DEVICE_WAVE_FORM, &MainFrame::OnWaveForm},
        {WM_DEVICE_NOTIFICATION, &MainFrame::OnTroubleOrOutput},
        {WM_DEVICE_TROUBLE, &MainFrame::OnUser25},
        {WM_DEVICE_STATISTICS, &MainFrame::OnUser26},
        {WM_DEVICE_FIRMWARE_RESULT, &MainFrame::OnFirmwareResult},
        {WM_DEVICE_FUNCTION_SETTING, &MainFrame::OnUser28},
        {WM_DEVICE_FUNCTION_SETTING_WRITTEN, &MainFrame::OnUser29},
        {WM_DEVICE_SENSITIVITY, &MainFrame::OnUser30},
        {WM_DEVICE_SENSITIVITY_WRITTEN, &MainFrame::OnUser31},
        {WM_DEVICE_FILTER_READ, &MainFrame::OnUser32},
        {WM_DEVICE_FILTER_WRITTEN, &MainFrame::OnUser33},
        {WM_DEVICE_SCAN2, &MainFrame::OnScan2},
        {WM_DEVICE_COM_MONITOR_LINE, &MainFrame::OnComMonitorLine},
        {WM_DEVICE_SWAPPED, &MainFrame::OnDeviceSwapped},
        {WM_FRAME_DEFERRED, &MainFrame::OnDeferred},
    };
    AddMessageTable(kNotifications);
}

namespace {

// Shown after a firmware update whatever the language: switch the sensor
// off and on (again, and try once more after a failure). Shift_JIS bytes.
const char kPowerCycle[] =
    "\x93\x64\x8c\xb9\x82\xf0\x8d\xc4\x93\x8a\x93\xfc\x82\xb5\x82\xc4\x89\xba\x82\xb3\x82\xa2\x81\x42";
const char kPowerCycleRetry[] =
    "\x93\x64\x8c\xb9\x82\xf0\x8d\xc4\x93\x8a\x93\xfc\x82\xb5\x82\xc4\x8d\xc4\x8e\x8e\x8d\x73\x82\xb5\x82\xc4"
    "\x89\xba\x82\xb3\x82\xa2";

const BYTE kTroubleReport = 0;
const BYTE kOutputReport = 4;
const BYTE kAreaBits = 0x07;  // of the I/O state: the area the sensor selected, 1..7

}  // namespace

int MainFrame::ShowBox(const std::string& text, UINT type) {
    MsgBox box;
    return box.ShowText("%s", type, text.c_str());
}

void MainFrame::PlayDetectionSound(const char* file) {
    // Beside the program, never in the current folder, which file dialogs change.
    std::string path;
    if (file == NULL || !ProgramFile::PathOf(file, &path)) {
        PlaySoundA(NULL, NULL, 0);
        return;
    }
    PlaySoundA(path.c_str(), NULL, SND_FILENAME | SND_ASYNC | SND_NODEFAULT | SND_NOWAIT);
}

void MainFrame::CopyHandedOver(const std::function<void()>& copy) {
    if (m_devicePort == NULL) {
        copy();
        return;
    }
    CriticalLock::Hold hold(m_devicePort->GetHandOver()->GetLock());
    copy();
}

void MainFrame::UpdateSensorDialogs(std::initializer_list<SensorDialog*> dialogs) {
    for (SensorDialog* dialog : dialogs) {
        if (dialog != NULL) dialog->UpdateControls();
    }
}

namespace {

// Posted by a device; the port's own reports and the sent results are not.
bool PostedByADevice(UINT msg) {
    switch (msg) {
        case WM_DEVICE_PORT_OPENED:
        case WM_DEVICE_PORT_LIST:
        case WM_RECORD_END:
        case WM_DEVICE_AREA_READ:
        case WM_DEVICE_AREA_WRITTEN:
        case WM_DEVICE_SWAPPED:
        case WM_DEVICE_FIRMWARE_RESULT:
        case WM_DEVICE_COM_MONITOR_LINE:
            return false;
        default:
            return msg >= WM_DEVICE_PORT_OPENED && msg <= WM_DEVICE_COM_MONITOR_LINE;
    }
}

}  // namespace

LRESULT MainFrame::CallMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (PostedByADevice(msg) && m_devicePort != NULL && m_devicePort->IsSwapUnseen()) return 0;
    return ChildWindow::CallMessageHandler(msg, wParam, lParam);
}

LRESULT MainFrame::OnDeviceSwapped(WPARAM, LPARAM) {
    if (m_devicePort != NULL) m_devicePort->SwapSeen();
    return 0;
}

LRESULT MainFrame::OnPortOpened(WPARAM wParam, LPARAM lParam) {
    const int requested = m_devicePort != NULL ? m_devicePort->TakeOpenRequest() : DevicePort::kNoOpenRequest;
    // A close leaves no port whatever it returned; only a failed open is news.
    const BOOL closing = requested != DevicePort::kNoOpenRequest && !SerialPort::IsPortNumber(requested);
    if (lParam == 0 && !closing) ShowBox(LoadText(IDS_CANNOT_OPEN_PORT), MB_ICONERROR);
    m_settings.comPort = static_cast<int>(wParam);
    UpdateCommunicationMenu();
    return 0;
}

LRESULT MainFrame::OnPortList(WPARAM wParam, LPARAM) {
    // The port worker's heap copy, now ours.
    std::unique_ptr<DWORD[]> posted = PostedObject<DWORD[]>::Take(wParam);
    if (posted == nullptr) return 0;
    DWORD bits[8];
    CopyMemory(bits, posted.get(), sizeof bits);
    BuildPortMenu(bits);
    return 0;
}

LRESULT MainFrame::OnDeviceTypeRecognized(WPARAM wParam, LPARAM) {
    // Only while the program looks for the rate itself: a rate the user
    // chose is never overridden.
    if (m_devicePort != NULL && m_devicePort->IsAutoRecognition())
        m_devicePort->SelectDevice(static_cast<WORD>(wParam & 0xFFFF));
    return 0;
}

LRESULT MainFrame::OnConnectionChanged(WPARAM wParam, LPARAM) {
    const BYTE level = LOBYTE(wParam);
    if (m_scanView != NULL) m_scanView->RedrawAreas();
    if (level == 0) {
        if (m_devicePort != NULL && m_devicePort->IsAutoRecognition())
            m_devicePort->SelectDevice(DevicePort::kProbeDeviceType);
        // The outputs read as cleared, with the undetect sound of the first.
        OnTroubleOrOutput(3, 0);
        OnTroubleOrOutput(kOutputReport, 0);
        if (m_selectedBySensor) OnSelectedBySensor(ID_VIEW_SELECTED_BY_SENSOR, 0, 0);
    }
    UpdateViewMenu();
    UpdateAreaMenu();
    UpdateCommunicationMenu();
    UpdateHelpMenu();
    UpdateInspectDevelopMenus();
    UpdateSensorDialogs({m_ioTestDlg.get(), m_numericalInputDlg.get(), m_correctionDlg.get(),
                         m_functionDlg.get(), m_waveFormDlg.get(), m_functionSettingDlg.get(),
                         m_filterSwitchDlg.get()});
    if (m_ioTestDlg != NULL) m_ioTestDlg->OnLinkLevel(level);
    return 0;
}

LRESULT MainFrame::OnSensorInfo(WPARAM wParam, LPARAM) {
    char version[DeviceHandOver::kVersionChars + 1] = {};
    const char* posted = reinterpret_cast<const char*>(wParam);
    if (posted != NULL) CopyHandedOver([&] { lstrcpynA(version, posted, sizeof version); });
    m_sensorVersion = version;
    if (m_scanView != NULL) m_scanView->RedrawAreas();
    UpdateCommunicationMenu();
    UpdateInspectDevelopMenus();
    if (m_tivInfoDlg != NULL) m_tivInfoDlg->RefreshVersion();
    UpdateSensorDialogs({m_ioTestDlg.get(), m_correctionDlg.get(), m_functionDlg.get(),
                         m_functionSettingDlg.get(), m_filterSwitchDlg.get()});
    return 0;
}

BOOL MainFrame::TakeScan(const ScanData* posted) {
    if (m_scanView == NULL) return FALSE;
    ScanData scan;
    CopyHandedOver([&] { scan = *posted; });
    // The view hands it to the realtime scan under its own lock, so its
    // render thread never builds from half of one scan, and redraws it.
    m_scanView->SetRealtimeScan(scan);
    return TRUE;
}

LRESULT MainFrame::OnScan(WPARAM wParam, LPARAM) {
    const ScanData* posted = reinterpret_cast<const ScanData*>(wParam);
    if (posted == NULL) return 0;
    if (m_recordDlg != NULL && m_recordDlg->IsRecording()) {
        ScanData scan;
        CopyHandedOver([&] { scan = *posted; });
        m_recordDlg->OnScan(scan);
        if (!m_printPreview && m_scanView != NULL) m_scanView->Redraw(0);
        return 0;
    }
    // The print preview drops realtime scans.
    if (m_printPreview) return 0;
    TakeScan(posted);
    return 0;
}

LRESULT MainFrame::OnRecordEnd(WPARAM, LPARAM) {
    if (m_scanView != NULL) {
        if (!m_scanView->TestDrawItem(ScanView::kDrawRecord)) m_scanView->SetDrawItem(ScanView::kDrawRecord, 1);
        if (m_printPreview) m_scanView->Redraw(0);
    }
    UpdateViewMenu();
    UpdateCommunicationMenu();
    return 0;
}

LRESULT MainFrame::OnRamData(WPARAM wParam, LPARAM lParam) {
    const WORD* words = reinterpret_cast<const WORD*>(wParam);
    if (words != NULL && m_ramEditorDlg != NULL) m_ramEditorDlg->FillGrid(words, LOWORD(lParam), HIWORD(lParam));
    return 0;
}

LRESULT MainFrame::OnUser8(WPARAM, LPARAM) {
    return 0;
}

void MainFrame::Defer(std::function<void()> work) {
    std::unique_ptr<std::function<void()>> posted(new (std::nothrow) std::function<void()>(std::move(work)));
    PostedObject<std::function<void()>>::Post(
        posted, [this](ULONG_PTR deferred) { return PostMessage(WM_FRAME_DEFERRED, 0, deferred); });
}

LRESULT MainFrame::OnDeferred(WPARAM, LPARAM lParam) {
    std::unique_ptr<std::function<void()>> work = PostedObject<std::function<void()>>::Take(lParam);
    if (work != nullptr) (*work)();
    return 0;
}

void MainFrame::OnUnbound(HWND hwnd) {
    PostedObject<DWORD[]>::Drain(hwnd, WM_DEVICE_PORT_LIST, PostedObject<DWORD[]>::kInWParam);
    PostedObject<std::function<void()>>::Drain(hwnd, WM_FRAME_DEFERRED, PostedObject<std::function<void()>>::kInLParam);
}

LRESULT MainFrame::OnAreaRead(WPARAM wParam, LPARAM) {
    const BYTE* table = reinterpret_cast<const BYTE*>(wParam);
    std::vector<BYTE> copy;  // empty: the reading failed
    if (table != NULL) copy.assign(table, table + kAreaTableBytes);
    Defer([this, copy] { ReportAreasRead(copy); });
    return 0;
}

void MainFrame::ReportAreasRead(const std::vector<BYTE>& table) {
    if (table.empty()) {
        ShowBox(LoadText(IDS_AREA_READ_FAILED), MB_ICONERROR);
        return;
    }
    ShowBox(LoadText(IDS_AREA_READ_DONE), MB_OK);
    // A close during the box's modal loop has released the area set.
    if (m_workspace.areaSet == NULL) return;
    m_workspace.areaSet->SetAllFromRaw(&table[0]);
    OnAreaDataChanged(0, 0);
}

LRESULT MainFrame::OnAreaWritten(WPARAM wParam, LPARAM) {
    // The program's areas are no longer the sensor's: they stay to be written again.
    if (wParam == kAreasPartlyWritten && m_workspace.areaSet != NULL) m_workspace.areaSet->SetSensorModified(1);
    Defer([this, wParam] { ReportAreasWritten(wParam); });
    return 0;
}

void MainFrame::ReportAreasWritten(WPARAM result) {
    if (result == kAreasWritten) {
        ShowBox(LoadText(IDS_AREA_WRITE_DONE), MB_OK);
    } else if (result == kAreasPartlyWritten) {
        ShowBox(LoadText(IDS_AREA_WRITE_PARTIAL), MB_ICONERROR);
    } else {
        ShowBox(LoadText(IDS_AREA_WRITE_FAILED), MB_ICONERROR);
    }
}

LRESULT MainFrame::OnFramData(WPARAM wParam, LPARAM lParam) {
    const WORD* posted = reinterpret_cast<const WORD*>(wParam);
    if (posted == NULL || m_framEditorDlg == NULL) return 0;
    WORD count = HIWORD(lParam);
    if (count > DeviceHandOver::kFramWords) count = DeviceHandOver::kFramWords;
    std::vector<WORD> words(count + 1u);
    CopyHandedOver([&] { CopyMemory(&words[0], posted, count * sizeof(WORD)); });
    m_framEditorDlg->ShowWords(&words[0], LOBYTE(lParam), count);
    return 0;
}

LRESULT MainFrame::OnUser12(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser13(WPARAM, LPARAM) {
    if (m_scanView != NULL) m_scanView->RedrawAreas();
    if (m_tivInfoDlg != NULL) m_tivInfoDlg->RefreshFunctions();
    UpdateSensorDialogs({m_correctionDlg.get()});
    return 0;
}

LRESULT MainFrame::OnUser14(WPARAM wParam, LPARAM) {
    if (m_tivInfoDlg != NULL) m_tivInfoDlg->OnFunctionWritten(static_cast<DWORD>(wParam));
    if (m_functionDlg != NULL) m_functionDlg->OnWriteResult(static_cast<DWORD>(wParam));
    return 0;
}

LRESULT MainFrame::OnUser15(WPARAM wParam, LPARAM) {
    if (m_correctionDlg != NULL) m_correctionDlg->ShowDistanceTable(reinterpret_cast<const WORD*>(wParam));
    return 0;
}

LRESULT MainFrame::OnUser16(WPARAM wParam, LPARAM) {
    if (m_correctionDlg != NULL) m_correctionDlg->ShowDistanceResult(wParam);
    return 0;
}

LRESULT MainFrame::OnUser17(WPARAM wParam, LPARAM) {
    if (m_correctionDlg != NULL) m_correctionDlg->ShowAngle(LOBYTE(wParam));
    return 0;
}

LRESULT MainFrame::OnUser18(WPARAM wParam, LPARAM) {
    if (m_correctionDlg != NULL) m_correctionDlg->ShowCorrectionResult(wParam);
    return 0;
}

LRESULT MainFrame::OnOutputState(WPARAM wParam, LPARAM lParam) {
    if (m_workspace.sensorCaps == NULL) return 0;
    const BYTE state = LOBYTE(wParam);
    const int area = state & kAreaBits;
    // Area 0 names none: the line's value selects only areas 1..7.
    if (m_selectedBySensor && area != 0 && m_workspace.areaSet != NULL) {
        m_workspace.areaSet->SelectArea(static_cast<BYTE>(area - 1));
        OnAreaDataChanged(0, 0);
    }
    if (m_ioTestDlg != NULL) m_ioTestDlg->ShowState(state, LOBYTE(lParam), LOBYTE(HIWORD(lParam)));
    return 0;
}

LRESULT MainFrame::OnWaveForm(WPARAM, LPARAM) {
    if (m_waveFormDlg == NULL) return 0;
    if (m_application != NULL && m_application->GetWaveFormBoth() != 0) {
        m_waveFormDlg->ShowStatistics();
    } else {
        m_waveFormDlg->ShowWaveForm();
    }
    return 0;
}

std::string MainFrame::TroubleText(BYTE code) {
    if (code <= IDS_TROUBLE_LAST - IDS_TROUBLE_FIRST) return LoadText(IDS_TROUBLE_FIRST + code);
    ResourceString value;
    value.Format("(0x%02x)", code);
    return LoadText(IDS_TROUBLE_LAST) + value.GetText();
}

void MainFrame::ReportTrouble(BYTE code) {
    ResourceString text;
    text.Format(LoadText(IDS_TROUBLE_DETECTED).c_str(), TroubleText(code).c_str());
    ShowBox(text.GetText(), MB_ICONERROR);
}

const char* MainFrame::DetectionSound(BYTE previous, BYTE current) {
    static const struct {
        BYTE bit;
        const char* set;
        const char* cleared;
    } kSounds[] = {
        {0x80, "detect3.wav", "undetect3.wav"},
        {0x20, "detect2.wav", "undetect2.wav"},
        {0x10, "detect1.wav", "undetect1.wav"},
    };
    for (const auto& sound : kSounds) {
        if (((previous ^ current) & sound.bit) != 0) return (current & sound.bit) != 0 ? sound.set : sound.cleared;
    }
    return NULL;
}

void MainFrame::SoundOutputChange(BYTE state) {
    if (m_soundsOn) PlayDetectionSound(DetectionSound(m_lastOutputState, state));
    m_lastOutputState = state;
}

LRESULT MainFrame::OnTroubleOrOutput(WPARAM wParam, LPARAM lParam) {
    const BYTE type = LOBYTE(wParam);
    const BYTE value = LOBYTE(lParam);
    if (type == kTroubleReport) ReportTrouble(value);
    if (type == kOutputReport) SoundOutputChange(value);
    return 0;
}

LRESULT MainFrame::OnUser25(WPARAM wParam, LPARAM) {
    if (m_tivInfoDlg != NULL) m_tivInfoDlg->SetTrouble(LOBYTE(wParam));
    return 0;
}

LRESULT MainFrame::OnUser26(WPARAM wParam, LPARAM) {
    if (m_tivInfoDlg != NULL) m_tivInfoDlg->SetStatistics(reinterpret_cast<const void*>(wParam));
    return 0;
}

LRESULT MainFrame::OnFirmwareResult(WPARAM wParam, LPARAM) {
    // The port closes before the update lets the line go.
    if (m_application != NULL) m_application->OpenPort(0);
    Defer([this, wParam] { ReportFirmwareResult(wParam); });
    return 0;
}

void MainFrame::ReportFirmwareResult(WPARAM result) {
    if (result == 1) {
        ShowBox(LoadText(IDS_FIRMWARE_DONE), MB_OK);
        ShowBox(kPowerCycle, MB_OK);
    } else {
        ShowBox(LoadText(IDS_FIRMWARE_FAILED), MB_ICONERROR);
        ShowBox(kPowerCycleRetry, MB_OK);
    }
}

LRESULT MainFrame::OnUser28(WPARAM, LPARAM) {
    if (m_tivInfoDlg != NULL) m_tivInfoDlg->OnFunctionsChanged();
    return 0;
}

LRESULT MainFrame::OnUser29(WPARAM wParam, LPARAM) {
    if (m_functionSettingDlg != NULL) m_functionSettingDlg->OnWriteResult(static_cast<DWORD>(wParam));
    return 0;
}

LRESULT MainFrame::OnUser30(WPARAM wParam, LPARAM) {
    if (m_correctionDlg != NULL) m_correctionDlg->ShowSensitivity(LOBYTE(wParam));
    return 0;
}

LRESULT MainFrame::OnUser31(WPARAM wParam, LPARAM) {
    if (m_correctionDlg != NULL) m_correctionDlg->ShowSensitivityResult(wParam);
    return 0;
}

LRESULT MainFrame::OnUser32(WPARAM wParam, LPARAM) {
    const BYTE* posted = reinterpret_cast<const BYTE*>(wParam);
    if (posted == NULL || m_filterSwitchDlg == NULL) return 0;
    BYTE bytes[2];
    CopyHandedOver([&] { CopyMemory(bytes, posted, sizeof bytes); });
    m_filterSwitchDlg->LoadSwitchState(bytes);
    return 0;
}

LRESULT MainFrame::OnUser33(WPARAM wParam, LPARAM) {
    if (m_filterSwitchDlg != NULL) m_filterSwitchDlg->OnWriteResult(static_cast<DWORD>(wParam));
    return 0;
}

LRESULT MainFrame::OnScan2(WPARAM wParam, LPARAM) {
    const ScanData* posted = reinterpret_cast<const ScanData*>(wParam);
    if (posted != NULL && !m_printPreview && TakeScan(posted)) m_scanView->RedrawFlag80();
    return 0;
}

LRESULT MainFrame::OnComMonitorLine(WPARAM wParam, LPARAM lParam) {
    const std::string* frame = reinterpret_cast<const std::string*>(lParam);
    if (m_comMonitorDlg == NULL || frame == NULL) return 0;
    // By length: a frame may hold zero bytes.
    std::unique_ptr<std::string> copy(new (std::nothrow) std::string(*frame));
    if (copy != NULL) m_comMonitorDlg->LogFrame(static_cast<DWORD>(wParam), std::move(copy));
    return 0;
}
