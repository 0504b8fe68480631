#ifndef DIALOGS_IOTESTDLG_H
#define DIALOGS_IOTESTDLG_H

#include "dialogs/SensorDialog.h"
#include "framework/OwnedIcon.h"

// Shows the sensor's four inputs and four outputs as lamps, polled while the
// dialog is open, and forces each line on, off or leaves it free with a
// three-state button. Closing ends the polling and releases every line.
// Template 643; its placement is kept in the settings section "IOTestDlg".
// User-interface thread only.
class IOTestDlg : public SensorDialog {
public:
    static const WORD kTemplate = 643;
    static const int kLines = 8;  // inputs 1..4, outputs 1..4

    IOTestDlg();
    ~IOTestDlg() override;

    // 0 unless both collaborators are set; the open window, or a new one.
    HWND Create(HINSTANCE instance, HWND parent) override;
    // The buttons work only where the sensor has the I/O test.
    void UpdateControls() override;
    // The state byte of an I/O report (inputs in bits 0-3, outputs in 4-7);
    // the forcing bytes beside it are not shown.
    virtual void ShowState(BYTE state, BYTE b, BYTE c);
    // Any button: sends the forcing of all eight.
    virtual LRESULT ForceIo(WORD id, WORD notifyCode, LPARAM hwndCtl);
    // Each new link level the frame hears of. A link that comes up after a
    // loss (a sensor plugged back in restarts with every line free) gets the
    // buttons' forces again, so that they show what the sensor does.
    virtual void OnLinkLevel(BYTE level);

    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam) override;

    // Bit i set: lamp i shows the lit icon. Outputs show the inverse on a
    // PNP sensor; with version letter U the sensor reports output 3 in bit 7
    // and output 4 in bit 6.
    static BYTE LitLamps(BYTE state, bool pnp, bool letterU);
    // The forcing bytes of the eight buttons' states (BST_*): cleared forces
    // the line off (its bit in both bytes), checked forces it on (mask only),
    // indeterminate leaves it free.
    static void ForceBytes(const UINT checks[kLines], BYTE* disguised, BYTE* mask);

private:
    HICON LoadLamp(WORD id);
    void ShowLamps(BYTE lit);
    // The forcing of the eight buttons; with onlyForced, nothing when every line is free.
    void SendForces(bool onlyForced);

    OwnedIcon m_lampOff;  // icon A: a clear bit
    OwnedIcon m_lampOn;   // icon B: a set bit, and every lamp at start
    BYTE m_shown;         // the lamps' icons as set (bit i: lit), so only changes repaint
    bool m_linkLost;      // the link has gone down since the forces were sent
};

#endif
