#ifndef DIALOGS_FILTERSWITCHDLG_H
#define DIALOGS_FILTERSWITCHDLG_H

#include "dialogs/SensorDialog.h"
#include "sensor/SensorCaps.h"

// Shows and writes the six signal-filter bits of the sensor's two
// filter-switch bytes, and switches its level switch. The boxes show a
// working copy of the two bytes, which changes only by "Read", a read reply
// and "Write"; "Write" sends the six boxes alone, every other bit as 0.
// Template 172; its placement is kept in the settings section
// "FilterSwitchDlg". User-interface thread only.
class FilterSwitchDlg : public SensorDialog {
public:
    static const WORD kTemplate = 172;

    FilterSwitchDlg();
    ~FilterSwitchDlg() override;

    // Modeless; 0 unless the sensor's capabilities and the device port are
    // linked; the open window when there is one.
    HWND Create(HINSTANCE instance, HWND parent) override;
    // Enables the controls for a sensor with filter switches, asking it for
    // its switches (and sending the level switch) each time the dialog
    // becomes usable; shows the working copy.
    void UpdateControls() override;
    // The sensor's answer to a write: on success it now holds the working copy.
    virtual LRESULT OnWriteResult(DWORD result);
    // The sensor reported its switches: the working copy takes them as the
    // sensor's capabilities hold them. The boxes follow at the next update.
    virtual void LoadSwitchState(const BYTE* bytes);
    virtual LRESULT OnRead(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT WriteSwitches(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnLevel(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual void DisableAll();
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;

private:
    void SendLevelSwitch();
    void SetWorkingCopy(const BYTE* bytes);
    void BytesFromBoxes(BYTE* bytes);

    SensorCaps m_working;    // only its two filter-switch bytes are used
    DWORD m_readRequested;   // a read was asked for since the dialog became usable
    BOOL m_showCopy;         // the boxes are to show the working copy at the next update
};

#endif
