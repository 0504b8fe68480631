#ifndef DIALOGS_CORRECTIONDLG_H
#define DIALOGS_CORRECTIONDLG_H

#include "dialogs/CorrectionGrid.h"
#include "dialogs/SensorDialog.h"

// Reads and writes the sensor's factory corrections: the distance table
// (up to four reference distances, each with a value for the 8 MHz and the
// 7.5 MHz modulation), the sensitivity, the angle and the motor stop
// position. Requests go through the device port; the sensor's answers come
// back through the frame to the Show operations. The reference distances
// are a proposal that the user may edit where the sensor allows it.
// Template 646; its placement is kept in the settings section
// "CorrectionDlg". User-interface thread only.
class CorrectionDlg : public SensorDialog {
public:
    static const WORD kTemplate = 646;
    static const int kDistanceWords = 12;  // four rows of distance, 8 MHz, 7.5 MHz
    static const int kMotorRun = static_cast<int>(0x80000000);

    CorrectionDlg();
    // Closes the window while the grid still exists.
    ~CorrectionDlg() override;

    // Modeless; 0 without a device port or sensor information; the open
    // window when there is one.
    HWND Create(HINSTANCE instance, HWND parent) override;
    // The sensor's distance table; 0 for none.
    virtual int ShowDistanceTable(const WORD* table);
    virtual int ShowDistanceResult(BYTE result);
    // A fixed-point value: two integer and six fraction bits.
    virtual int ShowSensitivity(BYTE value);
    virtual int ShowSensitivityResult(BYTE result);
    // 0 for an angle above 199, which is not shown.
    virtual int ShowAngle(BYTE angle);
    virtual int ShowCorrectionResult(WPARAM result);
    // Enables the controls by the sensor's capabilities and fills the table
    // with the proposed reference distances.
    void UpdateControls() override;
    virtual LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnCorrectDistance(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnReadDistance(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnCorrectSensitivity(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnReadSensitivity(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnCorrectAngle(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnReadAngle(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnMotorStop(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnMotorStart(WORD id, WORD notifyCode, LPARAM hwndCtl);
    // Sends the row's distance (row = the argument's low byte); a row above
    // 3 sends nothing and is returned. Otherwise the request's result.
    virtual int WriteRowDistance(int row);
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;

    CorrectionGrid& GetGrid() { return m_grid; }

private:
    void EnableControls(const int* ids, int count, BOOL enable);
    void FillDistances();
    int ShowResult(BYTE result);
    // The edit's signed number through a request that may change it.
    void WriteEditValue(int editId, int (DevicePort::*request)(int*));

    CorrectionGrid m_grid;
};

#endif
