#ifndef DIALOGS_RAMEDITORDLG_H
#define DIALOGS_RAMEDITORDLG_H

#include "framework/Dialog.h"

class DevicePort;

// Reads, edits and writes words of the sensor's RAM.
// Template 649; its placement is kept in the settings section "RAMEditorDlg".
// User-interface thread only.
class RAMEditorDlg : public Dialog {
public:
    static const WORD kTemplate = 649;

    RAMEditorDlg();
    ~RAMEditorDlg() override;

    virtual void SetDevicePort(DevicePort* devicePort);
    // Drops the owner window and every collaborator.
    virtual void Reset();

private:
    DevicePort* m_devicePort;
};

#endif
