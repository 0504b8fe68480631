#ifndef DIALOGS_RECORDDLG_H
#define DIALOGS_RECORDDLG_H

#include "framework/Dialog.h"

class Application;
class DevicePort;
class MainFrame;
class MeasuringData;
class ScanView;

// Records realtime scans into the measuring data.
// Template 641; its placement is kept in the settings section "RecordDlg".
// User-interface thread only.
class RecordDlg : public Dialog {
public:
    static const WORD kTemplate = 641;

    RecordDlg();
    ~RecordDlg() override;

    virtual void SetMeasuringData(MeasuringData* measuringData);
    virtual void SetScanView(ScanView* scanView);
    virtual void SetDevicePort(DevicePort* devicePort);
    virtual void SetMainFrame(MainFrame* mainFrame);
    virtual void SetApplication(Application* application);
    // Drops the owner window and every collaborator.
    virtual void Reset();

private:
    MeasuringData* m_measuringData;
    ScanView* m_scanView;
    DevicePort* m_devicePort;
    MainFrame* m_mainFrame;
    Application* m_application;
};

#endif
