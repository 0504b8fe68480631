#ifndef DIALOGS_NUMERICALINPUTDLG_H
#define DIALOGS_NUMERICALINPUTDLG_H

#include "dialogs/SensorDialog.h"

// The modeless "Numerical Input" dialog: the current area's seven Output1
// vertices, the Output2 and Output3 distances and its options as numbers and
// boxes. Typed numbers go into the area set directly; the shape and option
// boxes are sent to the owner (the main frame) as its area commands, so the
// menus, the view and this dialog stay one state. Every change is announced
// with WM_AREA_EDITED, on which the owner calls UpdateControls back.
// Which controls are enabled follows the sensor's capabilities.
// Template 644; its placement is kept in the settings section "NumericalInputDlg".
// User-interface thread only.
class NumericalInputDlg : public SensorDialog {
public:
    static const WORD kTemplate = 644;
    static const int kRows = 7;

    NumericalInputDlg();

    // 0 unless the capabilities and the area set are given; the open window
    // when it is open already; else the dialog, modeless.
    HWND Create(HINSTANCE instance, HWND parent) override;
    // Refills every control from the area set. An edit the user is typing
    // into keeps its text: a refresh for another reason must not undo it.
    void UpdateControls() override;
    virtual LRESULT OnOk(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnAreaSelect(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnCoordinateEdit(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnShapeSelect(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnTwoScanOutput1(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnTwoScanOutput2(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnTwoScanOutput3(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnMirrorReflection(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnSmallHysteresis(WORD id, WORD notifyCode, LPARAM hwndCtl);
    // Writes a vertex or output edit's typed number into the area set when
    // it differs, then tells the owner; other windows are left alone.
    virtual void CommitEdit(HWND edit);
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam) override;

private:
    void FillCombo(int id, UINT firstString, int count);
    int PositionOfRow(int row);
    void CommitCoordinate(int id, short typed);
    void ShowNumber(int id, int value, HWND focus);
    void ShowShape();
    void ShowRatios();
    void ShowBoxes();
    void ForwardClick(WORD notifyCode, WORD command);
    void NotifyEdited();
    int DisplayedShape();
    int HasCap(int id);
};

#endif
