#ifndef MAINWINDOW_MAINFRAME_H
#define MAINWINDOW_MAINFRAME_H

#include "framework/ChildWindow.h"
#include "mainwindow/FrameSettings.h"

class AboutDlg;
class Application;
class AreaSet;
class ComMonitorDlg;
class CorrectionDlg;
class DevicePort;
class EncryptionDlg;
class FilterSwitchDlg;
class FRAMEditorDlg;
class FunctionDlg;
class FunctionSettingDlg;
class HeaderFooterDlg;
class IOTestDlg;
class MeasuringData;
class NumericalInputDlg;
class PlayBackDlg;
class PrintView;
class RAMEditorDlg;
class Rebar;
class RecordDlg;
class ScanShape;
class ScanView;
class SensorCaps;
class StatusBar;
class TivInfoDlg;
class WaveFormDlg;
class WaveFormRecord;

// The program's top-level window: class "ZORConfiguratorWClass", whose name
// is also the single-instance mutex. Wired by the application, it selects
// the language, creates the status bar and the dialogs (the engineering ones
// only with their command-line switches), and creates its window, which
// builds the tool bands, the status bar and the view, hands the saved port
// to the device port and shows itself by the saved placement.
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

    virtual void SetSensorCaps(SensorCaps* caps);
    virtual void SetWaveFormRecord(WaveFormRecord* record);
    virtual void SetAreaSet(AreaSet* areas);
    virtual void SetMeasuringData(MeasuringData* data);
    virtual void SetScanShape(ScanShape* shape);
    virtual void SetPrintView(PrintView* printView);
    virtual void SetRebar(Rebar* rebar);
    virtual void SetScanView(ScanView* view);
    virtual void SetDevicePort(DevicePort* port);
    virtual void SetApplication(Application* application);
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

    virtual LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);

    // Commands that exist only with their language module, dialog or switch.
    virtual LRESULT OnLanguage(WORD id, WORD notifyCode, LPARAM hwndCtl);
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

    // A new menu bar from the current language module, with the
    // engineering menus of the switches appended.
    virtual void BuildMenus();
    // Lays the tool bands, the view and the status bar out again.
    virtual void Relayout();

    BOOL IsStatistics() const { return m_statistics; }
    BOOL IsInspect() const { return m_inspect; }
    BOOL IsDevelop() const { return m_develop; }
    const FrameSettings& GetSettings() const { return m_settings; }

protected:
    // Creation of the owned objects; the tests count what exists.
    int CountDialogs() const;

private:
    BOOL HasCollaborators() const;
    BOOL SelectLanguage();
    BOOL RegisterLanguageCommands();
    BOOL CreateDialogs();
    void WireDialogs();
    BOOL CreateInspectDialogs();
    BOOL CreateDevelopDialogs();
    void DeleteDialogs();
    void AppendEngineeringMenu(HMENU bar, HMODULE module, UINT menuId, UINT titleId);
    void LayOut(int width, int height);
    void StartDevice();
    void ApplyPlacement(BOOL keepShowCommand);
    void SavePlacement();

    Application* m_application;
    DevicePort* m_devicePort;
    ScanShape* m_scanShape;
    MeasuringData* m_measuringData;
    AreaSet* m_areaSet;
    WaveFormRecord* m_waveFormRecord;
    SensorCaps* m_sensorCaps;
    ScanView* m_scanView;
    Rebar* m_rebar;
    StatusBar* m_statusBar;  // owned
    PrintView* m_printView;

    // Owned; the engineering ones exist only with their switch.
    HeaderFooterDlg* m_headerFooterDlg;
    RecordDlg* m_recordDlg;
    PlayBackDlg* m_playBackDlg;
    TivInfoDlg* m_tivInfoDlg;
    IOTestDlg* m_ioTestDlg;
    NumericalInputDlg* m_numericalInputDlg;
    AboutDlg* m_aboutDlg;
    CorrectionDlg* m_correctionDlg;
    FunctionDlg* m_functionDlg;
    WaveFormDlg* m_waveFormDlg;
    RAMEditorDlg* m_ramEditorDlg;
    FRAMEditorDlg* m_framEditorDlg;
    ComMonitorDlg* m_comMonitorDlg;
    EncryptionDlg* m_encryptionDlg;
    FunctionSettingDlg* m_functionSettingDlg;
    FilterSwitchDlg* m_filterSwitchDlg;

    HINSTANCE m_instance;
    HANDLE m_mutex;  // the single-instance mutex, owned

    BOOL m_statistics;  // "-stats"
    BOOL m_inspect;     // "-inspect"
    BOOL m_develop;     // "-develop"
    FrameSettings m_settings;
    BOOL m_placementReapplied;  // the first system command re-applied the saved rectangle
};

#endif
