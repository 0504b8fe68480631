#ifndef MAINWINDOW_FRAME_MAINFRAME_H
#define MAINWINDOW_FRAME_MAINFRAME_H

#include "framework/ChildWindow.h"
#include "framework/OwnedHandle.h"
#include "mainwindow/frame/FrameSettings.h"
#include "mainwindow/frame/Workspace.h"

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class AboutDlg;
class ComMonitorDlg;
class CorrectionDlg;
class Dialog;
class DevicePort;
class EncryptionDlg;
class FilterSwitchDlg;
class FrameHost;
class FRAMEditorDlg;
class FunctionDlg;
class FunctionSettingDlg;
class HeaderFooterDlg;
class IOTestDlg;
class NumericalInputDlg;
class PlayBackDlg;
class PrintView;
class RAMEditorDlg;
class Rebar;
class RecordDlg;
class ScanView;
class ScanData;
class SensorDialog;
class StatusBar;
class TivInfoDlg;
class WaveFormDlg;

// The program's top-level window: class "ZORConfiguratorWClass", whose name
// is also the single-instance mutex. Wired by the application, it selects
// the language, creates the status bar and the dialogs (the engineering ones
// only with their command-line switches), and creates its window, which
// builds the tool bands, the status bar and the view, hands the saved port
// to the device port and shows itself by the saved placement.
//
// Its implementation is split by concern, one file each:
//   MainFrame.cpp                         construction, start-up, release
//   MainFrameMessages.cpp                 standard window messages
//   MainFrameNotify.cpp                   device notifications (WM_USER + n)
//   MainFrameStatus.cpp                   status notifications of view and bands
//   MainFrameMenus.cpp                    menu bar, menu and status updates
//   MainFrame<Menu>Commands.cpp           File, View, Communication, Area,
//                                         Setting, Help, Engineering commands
// Each file registers its own messages or commands from one table.
//
// Other threads reach it only through SendMessage and PostMessage to its
// window; everything else runs on the user-interface thread.
class MainFrame : public ChildWindow {
public:
    static const char kWindowClass[];
    static const char kTitle[];

    MainFrame();
    // Closes the mutex, deletes the status bar and the dialogs and writes
    // the settings back.
    ~MainFrame() override;

    // The data objects, all five at once.
    virtual void SetWorkspace(const Workspace& workspace);
    virtual void SetPrintView(PrintView* printView);
    virtual void SetRebar(Rebar* rebar);
    virtual void SetScanView(ScanView* view);
    virtual void SetDevicePort(DevicePort* port);
    virtual void SetApplication(FrameHost* application);
    // Drops every link; the application calls it on exit.
    virtual void ReleaseObjects();
    // The main window, or 0 with the reason in the last error. The show
    // command is not used: the saved placement shows the window.
    virtual HWND Initialize(HINSTANCE instance, LPCSTR commandLine, int showCommand);
    // Takes "-stats", "-inspect" and "-develop", exactly so spelt.
    virtual void ParseCommandLine(LPCSTR commandLine);
    // 0 when the class or the mutex cannot be made, or another instance
    // runs (last error 0x20000002; its window is brought to the front).
    virtual BOOL RegisterWindowClass(HINSTANCE instance);
    virtual HWND CreateMainWindow(HMODULE resources);

    // Window messages (MainFrameMessages.cpp).
    virtual LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMenuSelect(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMove(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnChar(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);

    // Device notifications, WM_USER + 0 .. 35 (MainFrameNotify.cpp).
    virtual LRESULT OnPortOpened(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnPortList(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDeviceTypeRecognized(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnConnectionChanged(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSensorInfo(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnScan(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnRecordEnd(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnRamData(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser8(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnAreaRead(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnAreaWritten(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnFramData(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser12(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser13(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser14(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser15(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser16(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser17(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser18(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnOutputState(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnWaveForm(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnTroubleOrOutput(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser25(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser26(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnFirmwareResult(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser28(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser29(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser30(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser31(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser32(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser33(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnScan2(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnComMonitorLine(WPARAM wParam, LPARAM lParam);
    // Runs what a sent notification left to be done (see Defer).
    virtual LRESULT OnDeferred(WPARAM wParam, LPARAM lParam);
    // The mark of a device switch: device notifications count again.
    virtual LRESULT OnDeviceSwapped(WPARAM wParam, LPARAM lParam);
    // Drops a device notification posted by a device a switch replaced.
    LRESULT CallMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Status notifications of the view, the bands and the numerical input
    // dialog, and the two the frame posts itself (MainFrameStatus.cpp).
    virtual LRESULT OnAreaDataChanged(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnUser581(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnCursorPosition(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnStatus602(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnStatus603(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnStatusText(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMenuHelp(WPARAM wParam, LPARAM lParam);
    virtual LRESULT UpdateAreaPane(WPARAM wParam, LPARAM lParam);
    virtual LRESULT UpdatePortPane(WPARAM wParam, LPARAM lParam);

    // File menu and print band (MainFrameFileCommands.cpp).
    virtual LRESULT OnNewArea(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnOpenArea(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnSaveArea(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnSaveAreaAs(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnOpenMeasuringData(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnOpenMeasuringData2(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnSaveMeasuringData(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnPrintPreview(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnPrint(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnDocumentProperties(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnPageSetup(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnHeaderFooter(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnSaveEmf(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnExit(WORD id, WORD notifyCode, LPARAM hwndCtl);

    // View menu and view band (MainFrameViewCommands.cpp).
    virtual LRESULT OnToolBar(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnStatusBar(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnShowRealtime(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnLineDrawing(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnShowRecord(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnPlayBack(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnShowArea(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnSelectedBySensor(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnEditMode(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnMoveMode(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnZoomMode(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnGridCircle(WORD id, WORD notifyCode, LPARAM hwndCtl);

    // Communication menu, port and communication bands
    // (MainFrameCommunicationCommands.cpp).
    virtual LRESULT OnSelectPort(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnReadArea(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnWriteArea(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnRecord(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnClearRecord(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnSensorInformation(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnIOTest(WORD id, WORD notifyCode, LPARAM hwndCtl);

    // Area menu and area band (MainFrameAreaCommands.cpp).
    virtual LRESULT OnNumericalInput(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnSelectArea(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnNextArea(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnPreviousArea(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnOutputShape(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnViewMode3(WORD id, WORD notifyCode, LPARAM hwndCtl);
    // The numerical input's mode boxes: one output's two-scan bit, and the
    // small hysteresis, of the current area.
    virtual LRESULT OnTwoScanMode(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnSmallHysteresis(WORD id, WORD notifyCode, LPARAM hwndCtl);

    // Setting menu, F11 and the language commands
    // (MainFrameSettingCommands.cpp).
    virtual LRESULT OnAutoRecognition(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnBaudRate(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnSound(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnLanguage(WORD id, WORD notifyCode, LPARAM hwndCtl);

    // Help menu (MainFrameHelpCommands.cpp).
    virtual LRESULT OnHelpTopic(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnUpdateFirmwareNonBoot(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnUpdateFirmwareBoot(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnAbout(WORD id, WORD notifyCode, LPARAM hwndCtl);

    // Engineering commands: the filter switch always, the others only with
    // their switch (MainFrameEngineeringCommands.cpp).
    virtual LRESULT OnFilterSwitch(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnCorrection(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnWriteFunction(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnWaveFormDialog(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnLedTrouble(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnPhotointerrupterTrouble(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnMotorTrouble(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnRamEditor(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnFramEditor(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnComMonitor(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnEncryptMotFile(WORD id, WORD notifyCode, LPARAM hwndCtl);

    // Menus and status (MainFrameMenus.cpp). A new menu bar from the current
    // language module, with the engineering menus of the switches appended.
    virtual void BuildMenus();
    virtual void UpdateViewMenu();
    virtual void UpdateCommunicationMenu();
    // The Port popup from eight words of port bits, COM1 first; the words
    // are only read.
    virtual void BuildPortMenu(const DWORD* portBits);
    virtual void UpdateAreaMenu();
    virtual void UpdateDeviceMenu();
    virtual void UpdateHelpMenu();
    virtual void UpdateInspectDevelopMenus();
    // Lays the tool bands, the view and the status bar out again.
    virtual void Relayout();
    virtual void BroadcastToChildren(UINT msg, WPARAM wParam, LPARAM lParam);
    // 1 when the caller may go on: nothing unsaved, saved, or declined.
    virtual int PromptSaveArea();
    virtual int PromptSaveRecord();

    // Asks the device port for realtime scans, or stops asking. The port
    // counts its users, so the frame's one "on" is paired with one "off"
    // however often the view or the language changes.
    virtual void RequestRealtime(BOOL on);

    // The hint of a menu command or band control (language, port and area
    // items included); "" when it has none.
    static std::string HintText(UINT id);
    // The name of a trouble code in "%s detected.".
    static std::string TroubleText(BYTE code);
    // The sound for a change of the sensor's output bits, by the first of
    // 0x80, 0x20, 0x10 that changed; 0 when none did (any sound stops).
    static const char* DetectionSound(BYTE previous, BYTE current);
    // The shown text of a string of the current language module.
    static std::string LoadText(UINT id);

    BOOL IsStatistics() const { return m_statistics; }
    BOOL IsInspect() const { return m_inspect; }
    BOOL IsDevelop() const { return m_develop; }
    const FrameSettings& GetSettings() const { return m_settings; }
    BOOL IsSelectedBySensor() const { return m_selectedBySensor; }
    BOOL IsPrintPreview() const { return m_printPreview; }
    BYTE GetLastOutputState() const { return m_lastOutputState; }
    // The version text of the latest sensor information report.
    const std::string& GetSensorVersion() const { return m_sensorVersion; }

protected:
    // Creation of the owned objects; the tests count what exists.
    int CountDialogs() const;
    // The state the menus show, as the commands change it; the tests switch it.
    FrameSettings& Settings() { return m_settings; }
    void SetSelectedBySensor(BOOL on) { m_selectedBySensor = on; }
    void SetGridCircle(BOOL on) { m_gridCircle = on; }
    // A message box with the default owner and caption; MB_ICONERROR for
    // failures, no icon for information.
    virtual int ShowBox(const std::string& text, UINT type);
    // Plays a detection sound file asynchronously; 0 stops any sound.
    virtual void PlayDetectionSound(const char* file);
    void SetPrintPreviewActive(BOOL on) { m_printPreview = on; }
    void SetSoundsOn(BOOL on) { m_soundsOn = on; }
    ComMonitorDlg* GetComMonitor() const { return m_comMonitorDlg.get(); }
    // The posted port lists and deferred work still queued as the window
    // goes are deleted, not lost with their messages.
    void OnUnbound(HWND hwnd) override;

private:
    typedef LRESULT (MainFrame::*FrameMessageHandler)(WPARAM wParam, LPARAM lParam);
    typedef LRESULT (MainFrame::*FrameCommandHandler)(WORD id, WORD notifyCode, LPARAM hwndCtl);
    struct MessageEntry {
        UINT message;
        FrameMessageHandler handler;
    };
    struct CommandEntry {
        WORD id;
        FrameCommandHandler handler;
    };
    template <size_t N>
    void AddMessageTable(const MessageEntry (&table)[N]) {
        for (const MessageEntry& entry : table) AddMessageHandler(entry.message, Handler(entry.handler));
    }
    template <size_t N>
    void AddCommandTable(const CommandEntry (&table)[N]) {
        for (const CommandEntry& entry : table) AddCommandHandler(entry.id, Command(entry.handler));
    }
    void AddCommandRange(WORD first, WORD last, FrameCommandHandler handler);

    // Each registers the messages or commands of its own file.
    void AddWindowMessages();
    void AddDeviceNotifications();
    void AddStatusNotifications();
    void AddFileCommands();
    void AddViewCommands();
    void AddCommunicationCommands();
    void AddAreaCommands();
    void AddSettingCommands();
    void AddHelpCommands();
    void AddInspectCommands();
    void AddDevelopCommands();

    BOOL HasCollaborators() const;
    BOOL SelectLanguage();
    BOOL RegisterLanguageCommands();
    BOOL CreateDialogs();
    void WireDialogs();
    void LinkToSensor(SensorDialog* dialog);
    BOOL CreateFilterSwitchDialog();
    BOOL CreateInspectDialogs();
    BOOL CreateDevelopDialogs();
    void DeleteDialogs();
    // Every menu update in turn: View, Communication, Area, Device, Help and
    // the engineering menus.
    void UpdateMenus();
    // After a language change: each open dialog again from the new module.
    void ReopenDialogs();
    // Opens a dialog modeless from the current language, when it exists.
    void OpenTool(Dialog* dialog);
    // Refused unless at 19200 baud; else asks, then the application's file
    // choice starts the update of the part (0 normal, 1 boot).
    void StartFirmwareUpdate(DWORD part);
    void SimulateTrouble(BYTE kind);
    void AppendEngineeringMenu(HMENU bar, HMODULE module, UINT menuId, UINT titleId);
    int LinkLevel();
    BOOL HasCapability(int id);
    DWORD RecordedScans();
    void MarkSelectedPort();
    void UpdatePortPart();
    void ShowAreaOptions(int area, BOOL locked);
    // The window procedure's answer for a message the frame leaves alone.
    LRESULT DefaultProcessing(UINT msg, WPARAM wParam, LPARAM lParam);
    void LayOut(int width, int height);
    void StartDevice();
    void ApplyPlacement(BOOL keepShowCommand);
    void SavePlacement();
    // The view's rectangle in screen coordinates, between bands and status.
    BOOL ViewScreenRect(RECT* rect);
    void LeavePrintPreview();
    // Paints the preview again; flags say what the print view reads anew.
    void RepaintPreview(int flags);
    void OnPrinterSelected();
    void OnZoomNotify(UINT code);
    // Copies what a posted notification points to under the device port's
    // hand-over lock, so a device thread never changes it half-way.
    void CopyHandedOver(const std::function<void()>& copy);
    // A sent notification's handler takes what the sender's memory holds and
    // leaves its boxes to this: they show from the frame's own message loop.
    // So the device thread is never held by a box, and no box (with the
    // messages its loop dispatches) opens while the user-interface thread
    // waits for a thread that sends it messages.
    void Defer(std::function<void()> work);
    void ReportAreasRead(const std::vector<BYTE>& table);
    void ReportAreasWritten(WPARAM result);
    void ReportFirmwareResult(WPARAM result);
    // The realtime scan takes a posted scan through the view, which draws
    // its realtime layer; 0 without a view.
    BOOL TakeScan(const ScanData* posted);
    void UpdateSensorDialogs(std::initializer_list<SensorDialog*> dialogs);
    void ReportTrouble(BYTE code);
    void SoundOutputChange(BYTE state);
    // Steps the File commands share (MainFrameFileCommands.cpp).
    void OpenMeasurements(BOOL columns);
    BOOL SaveAreasAs();
    BOOL SaveMeasurementsAs();
    BOOL HasPrinterList();
    void ShowPreviewBands(BOOL preview);
    void RunPreviewStep(int (PrintView::*step)(HWND owner), UINT failureId);

    FrameHost* m_application;
    DevicePort* m_devicePort;
    Workspace m_workspace;
    ScanView* m_scanView;
    Rebar* m_rebar;
    std::unique_ptr<StatusBar> m_statusBar;
    PrintView* m_printView;

    // The engineering ones exist only with their switch. The destructor
    // deletes them in this order, after the status bar.
    std::unique_ptr<HeaderFooterDlg> m_headerFooterDlg;
    std::unique_ptr<RecordDlg> m_recordDlg;
    std::unique_ptr<PlayBackDlg> m_playBackDlg;
    std::unique_ptr<TivInfoDlg> m_tivInfoDlg;
    std::unique_ptr<IOTestDlg> m_ioTestDlg;
    std::unique_ptr<NumericalInputDlg> m_numericalInputDlg;
    std::unique_ptr<AboutDlg> m_aboutDlg;
    std::unique_ptr<CorrectionDlg> m_correctionDlg;
    std::unique_ptr<FunctionDlg> m_functionDlg;
    std::unique_ptr<WaveFormDlg> m_waveFormDlg;
    std::unique_ptr<RAMEditorDlg> m_ramEditorDlg;
    std::unique_ptr<FRAMEditorDlg> m_framEditorDlg;
    std::unique_ptr<ComMonitorDlg> m_comMonitorDlg;
    std::unique_ptr<EncryptionDlg> m_encryptionDlg;
    std::unique_ptr<FunctionSettingDlg> m_functionSettingDlg;
    std::unique_ptr<FilterSwitchDlg> m_filterSwitchDlg;

    HINSTANCE m_instance;
    OwnedHandle m_mutex;  // the single-instance mutex

    BOOL m_statistics;  // "-stats"
    BOOL m_inspect;     // "-inspect"
    BOOL m_develop;     // "-develop"
    FrameSettings m_settings;
    BOOL m_selectedBySensor;    // the sensor's output state chooses the shown area
    BOOL m_printPreview;        // the print preview replaces the view's drawing
    BOOL m_soundsOn;            // detection sounds play on output changes (F11)
    BYTE m_lastOutputState;     // the sensor's previous output bits, for the sounds
    BOOL m_gridCircle;          // the view draws its grid circles
    BOOL m_placementReapplied;  // the first system command re-applied the saved rectangle
    BOOL m_realtimeRequested;   // the frame holds one "on" of the port's realtime switch
    RECT m_lastViewRect;        // the view in screen coordinates at the last move
    std::string m_sensorVersion;
};

#endif
