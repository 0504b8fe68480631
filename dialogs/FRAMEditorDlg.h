#ifndef DIALOGS_FRAMEDITORDLG_H
#define DIALOGS_FRAMEDITORDLG_H

#include "framework/Dialog.h"

class Application;
class DevicePort;

// Reads, edits and writes words of the sensor's FRAM.
// Template 650; its placement is kept in the settings section "FRAMEditorDlg".
// User-interface thread only.
class FRAMEditorDlg : public Dialog {
public:
    static const WORD kTemplate = 650;

    FRAMEditorDlg();
    ~FRAMEditorDlg() override;

    virtual void SetDevicePort(DevicePort* devicePort);
    virtual void SetApplication(Application* application);
    // Drops the owner window and every collaborator.
    virtual void Reset();

private:
    DevicePort* m_devicePort;
    Application* m_application;
};

#endif
