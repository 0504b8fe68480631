#ifndef MAINWINDOW_PROGRAM_APPLICATION_H
#define MAINWINDOW_PROGRAM_APPLICATION_H

#include <windows.h>

#include <memory>
#include <vector>

#include "framework/CriticalLock.h"
#include "framework/HandleOwner.h"
#include "mainwindow/frame/FrameHost.h"
#include "mainwindow/frame/Workspace.h"
#include "sensor/AreaSet.h"
#include "sensor/MeasuringData.h"
#include "sensor/ScanShape.h"
#include "sensor/SensorCaps.h"
#include "sensor/WaveFormRecord.h"

class DevicePort;
class MainFrame;
class PrintView;
class ProgressDlg;
class Rebar;
class ScanView;

// The one application object: holds the sensor-side data, owns the device
// port, the main frame, the view, the tool bands and the print view, wires
// them, runs the message loop, and offers the services that the device side,
// the dialogs and the frame call (message pump, yield, progress dialog, file
// dialogs, a few shared values) as a FrameHost.
//
// Threads: the user-interface thread calls everything except Yield, the
// shared values and GetStepCount, which the device threads call too. The
// shared values are single 32-bit loads and stores without a lock.
class Application : public FrameHost {
public:
    Application();
    // Writes the remembered file names and deletes the owned objects.
    ~Application() override;

    // Creates, wires and starts everything and creates the main window;
    // 0 with the reason in the last error.
    virtual BOOL Initialize(HINSTANCE instance, LPSTR commandLine, int showCommand);
    // The message loop: the quit message's exit code, or 0 with last error
    // 0x20000000 when message retrieval fails.
    virtual int Run();
    // Handles every waiting message of the calling thread; a quit message
    // is posted again for the main loop.
    void PumpMessages() override;
    BOOL Yield() override;
    void Quit() override;
    virtual void GetVersionInfo(OSVERSIONINFOA* info);
    // A started progress dialog owned by owner (0: the main window), or 0.
    ProgressView* BeginProgress(HWND owner) override;
    BOOL EndProgress(ProgressView* dialog) override;
    BOOL GetDocumentPath(char* buffer, DWORD size) override;
    void SetDocumentPath(const char* path) override;
    virtual void UpdateCaption(const char* path);
    BOOL OpenAreaFileDialog(char* buffer, DWORD size) override;
    BOOL SaveAreaFileDialog(char* buffer, DWORD size) override;
    BOOL OpenMeasurementFileDialog(char* buffer, DWORD size) override;
    BOOL SaveMeasurementFileDialog(char* buffer, DWORD size) override;
    DWORD GetValue1() override;
    void SetValue1(DWORD value) override;
    DWORD GetWaveFormBoth() override;
    void SetWaveFormBoth(DWORD value) override;
    DWORD GetValue3() override;
    void SetValue3(DWORD value) override;
    // The connected sensor's number of scan steps.
    int GetStepCount() override;
    int OpenUpdateFile() override;
    int OpenPort(int port) override;
    virtual DWORD GetValue4();
    void SetValue4(DWORD value) override;
    DWORD GetValue5() override;
    void SetValue5(DWORD value) override;
    // The data objects held here, as the windows take them.
    Workspace GetWorkspace();
    // The area set's image table, which a firmware update from the image sends.
    const WORD* GetImageBuffer() override { return m_areaSet.GetImageTable(); }

    // 1 when focus is an edit or rich edit of a dialog other than the main
    // window.
    static BOOL IsDialogEdit(HWND focus, HWND mainWindow);
    // 1 when msg is a key that such an edit uses for itself (select all,
    // clipboard, undo and redo; page keys where it has lines): the message
    // loop leaves it to the edit. Every other accelerator works whichever
    // window has the focus.
    static BOOL IsEditKey(const MSG& msg, HWND mainWindow);
    // 1 when msg is Alt with a key that the dialog, the modeless one holding
    // msg's window, takes as the mnemonic of one of its controls: the
    // message loop leaves it to the dialog, whatever accelerator has it too.
    static BOOL IsDialogMnemonic(const MSG& msg, HWND dialog);
    // 1 unless the system is Win32s or Windows 95 at build 950.
    static BOOL IsSupportedSystem(const OSVERSIONINFOA& version);

    static const char kCaptionPrefix[];
    static const char kSettingsSection[];

protected:
    // The system's version record; a test gives a made-up one.
    virtual BOOL QueryVersion(OSVERSIONINFOA* version);
    // Creates the five owned objects; 0 when one is missing.
    virtual BOOL CreateObjects();

private:
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    void ReadSettings();
    void WireObjects();
    BOOL StartObjects(HINSTANCE instance, LPSTR commandLine, int showCommand);
    BOOL ChooseFile(int kind, const char* remembered, char* store, char* buffer, DWORD size);
    // The started progress dialog, out of the list; 0 when it is none of them.
    std::unique_ptr<ProgressDlg> TakeProgress(ProgressView* dialog);

    OSVERSIONINFOA m_version;
    HINSTANCE m_instance;
    OwnedAccelerators m_accelerators;
    AreaSet m_areaSet;
    ScanShape m_realtimeScan;
    MeasuringData m_measuringData;
    WaveFormRecord m_waveFormRecord;
    SensorCaps m_sensorCaps;
    // Deleted by the destructor in this order, before the data objects above.
    std::unique_ptr<DevicePort> m_devicePort;
    std::unique_ptr<MainFrame> m_mainFrame;
    std::unique_ptr<ScanView> m_scanView;
    std::unique_ptr<Rebar> m_rebar;
    std::unique_ptr<PrintView> m_printView;
    // The progress dialogs begun and not ended yet: callers hold them only
    // lent, so one never ended goes with the application. Begun on the
    // user-interface thread, ended on any.
    CriticalLock m_progressLock;
    std::vector<std::unique_ptr<ProgressDlg>> m_progressDialogs;  // under m_progressLock
    HWND m_mainWindow;
    char m_documentPath[MAX_PATH];
    char m_areaFileName[MAX_PATH];
    char m_measurementFileName[MAX_PATH];

    // Shared with the device threads; plain 32-bit values.
    volatile DWORD m_levelSwitchOn;
    volatile DWORD m_waveFormBoth;
    volatile DWORD m_updateBootPart;
    volatile DWORD m_lastComPort;
    volatile DWORD m_framRead;
};

#endif
