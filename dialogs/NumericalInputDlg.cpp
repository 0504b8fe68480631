#include "dialogs/NumericalInputDlg.h"

#include "dialogs/DialogMessages.h"
#include "framework/LanguageResource.h"
#include "framework/ResourceString.h"
#include "resources/resource.h"
#include "sensor/AreaSet.h"
#include "sensor/DetectionArea.h"
#include "sensor/SensorCaps.h"

#include <cstdio>

namespace {

const int kAreaNames = 7;
const int kShapeCount = 3;
const BYTE kHalfHysteresisFlag = 0x40;  // in the packed area flags
// Any number an edit shows fits in 16 bits.
const long kShownLimit = 32768;

DWORD Packed(short x, short y) {
    return MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y));
}

bool IsVertexEdit(int id) {
    return id >= IDC_NUMERIC_FIRST_X && id <= IDC_NUMERIC_LAST_Y;
}

bool IsOutputEdit(int id) {
    return id == IDC_NUMERIC_OUTPUT2 || id == IDC_NUMERIC_OUTPUT3;
}

}  // namespace

NumericalInputDlg::NumericalInputDlg() : SensorDialog("NumericalInputDlg") {
    AddCommandHandler(IDOK, Command(&NumericalInputDlg::OnOk));
    AddCommandHandler(IDC_NUMERIC_AREA, Command(&NumericalInputDlg::OnAreaSelect));
    for (WORD id = IDC_NUMERIC_FIRST_X; id <= IDC_NUMERIC_LAST_Y; ++id)
        AddCommandHandler(id, Command(&NumericalInputDlg::OnCoordinateEdit));
    AddCommandHandler(IDC_NUMERIC_OUTPUT2, Command(&NumericalInputDlg::OnCoordinateEdit));
    AddCommandHandler(IDC_NUMERIC_OUTPUT3, Command(&NumericalInputDlg::OnCoordinateEdit));
    AddCommandHandler(IDC_NUMERIC_SHAPE, Command(&NumericalInputDlg::OnShapeSelect));
    AddCommandHandler(IDC_NUMERIC_TWO_SCAN1, Command(&NumericalInputDlg::OnTwoScanOutput1));
    AddCommandHandler(IDC_NUMERIC_TWO_SCAN2, Command(&NumericalInputDlg::OnTwoScanOutput2));
    AddCommandHandler(IDC_NUMERIC_TWO_SCAN3, Command(&NumericalInputDlg::OnTwoScanOutput3));
    AddCommandHandler(IDC_NUMERIC_MIRROR, Command(&NumericalInputDlg::OnMirrorReflection));
    AddCommandHandler(IDC_NUMERIC_HYSTERESIS, Command(&NumericalInputDlg::OnSmallHysteresis));
}

HWND NumericalInputDlg::Create(HINSTANCE instance, HWND parent) {
    if (GetSensorCaps() == NULL || GetAreaSet() == NULL) return NULL;
    if (IsOpen()) return GetHwnd();
    SetInstance(instance);
    SetParent(parent);
    CreateModeless(MAKEINTRESOURCEA(kTemplate), parent);
    return GetHwnd();
}

LRESULT NumericalInputDlg::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    FillCombo(IDC_NUMERIC_AREA, IDS_AREA_NAME_FIRST, kAreaNames);
    FillCombo(IDC_NUMERIC_SHAPE, IDS_OUTPUT_SHAPE_FIRST, kShapeCount);
    UpdateControls();
    return Dialog::OnInitDialog(wParam, lParam);
}

void NumericalInputDlg::FillCombo(int id, UINT firstString, int count) {
    ResourceString text(LanguageResource().GetModule());
    for (int i = 0; i < count; ++i)
        SendDlgItemMessageA(GetHwnd(), id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.Load(firstString + i)));
}

// Row i shows point i + 1 wherever the area's angular order puts it, so a
// point stays in its row while it is typed; a point the ring does not hold
// (position 255) keeps its own row.
int NumericalInputDlg::PositionOfRow(int row) {
    const int position = GetAreaSet()->VertexPositionOf(row + 1);
    return position >= 0 && position < kRows ? position : row;
}

int NumericalInputDlg::HasCap(int id) {
    return GetSensorCaps()->HasCapability(id) != 0;
}

void NumericalInputDlg::UpdateControls() {
    if (!IsOpen() || GetSensorCaps() == NULL || GetAreaSet() == NULL) return;
    AreaSet* areas = GetAreaSet();
    HWND focus = GetFocus();
    SendDlgItemMessageA(GetHwnd(), IDC_NUMERIC_AREA, CB_SETCURSEL, areas->GetCurrentIndex(), 0);
    for (int row = 0; row < kRows; ++row) {
        DWORD point = areas->GetPoint(PositionOfRow(row));
        ShowNumber(IDC_NUMERIC_FIRST_X + 2 * row, static_cast<short>(LOWORD(point)), focus);
        ShowNumber(IDC_NUMERIC_FIRST_X + 2 * row + 1, static_cast<short>(HIWORD(point)), focus);
    }
    ShowShape();
    ShowNumber(IDC_NUMERIC_OUTPUT2, areas->GetOutput2(), focus);
    ShowNumber(IDC_NUMERIC_OUTPUT3, areas->GetOutput3(), focus);
    ShowRatios();
    ShowBoxes();
}

// The focused edit shows the bare number, the others with their unit. An
// edit the user has typed into since its last commit is left as it is.
void NumericalInputDlg::ShowNumber(int id, int value, HWND focus) {
    HWND edit = GetDlgItem(GetHwnd(), id);
    const bool focused = edit != NULL && edit == focus;
    if (focused && SendMessageA(edit, EM_GETMODIFY, 0, 0)) return;
    char text[32];
    snprintf(text, sizeof text, focused ? "%d" : "%d mm", value);
    SetWindowTextA(edit, text);
}

// The shape combo: the area's own where the sensor lets it choose, else the
// sensor's fixed shape, greyed.
int NumericalInputDlg::DisplayedShape() {
    if (HasCap(SensorCaps::kCapShapeSelectable)) return GetAreaSet()->GetEffectivePartitionShape();
    if (HasCap(SensorCaps::kCapShapeFan)) return DetectionArea::kShapeFan;
    if (HasCap(SensorCaps::kCapShapeStraight)) return DetectionArea::kShapeStraight;
    return -1;
}

void NumericalInputDlg::ShowShape() {
    SendDlgItemMessageA(GetHwnd(), IDC_NUMERIC_SHAPE, CB_SETCURSEL, DisplayedShape(), 0);
    EnableWindow(GetDlgItem(GetHwnd(), IDC_NUMERIC_SHAPE), HasCap(SensorCaps::kCapShapeSelectable));
}

// With the Ratio shape, each distance as a percentage of the area's largest
// |y|, at most 100.
void NumericalInputDlg::ShowRatios() {
    const int outputs[2] = {GetAreaSet()->GetOutput2(), GetAreaSet()->GetOutput3()};
    const int ids[2] = {IDC_NUMERIC_RATIO2, IDC_NUMERIC_RATIO3};
    const bool ratio = DisplayedShape() == DetectionArea::kShapeRatio;
    const int largest = ratio ? GetAreaSet()->MaxAbsY() : 0;
    for (int i = 0; i < 2; ++i) {
        char text[32] = "";
        if (ratio) {
            int percent = largest != 0 ? outputs[i] * 100 / largest : 0;
            snprintf(text, sizeof text, "%d %%", percent > 100 ? 100 : percent);
        }
        SetDlgItemTextA(GetHwnd(), ids[i], text);
    }
}

void NumericalInputDlg::ShowBoxes() {
    HWND dialog = GetHwnd();
    AreaSet* areas = GetAreaSet();
    const int twoScan = HasCap(SensorCaps::kCap2ScanMode);
    const BYTE mode = areas->Get2ScanMode();
    const int boxes[3] = {IDC_NUMERIC_TWO_SCAN1, IDC_NUMERIC_TWO_SCAN2, IDC_NUMERIC_TWO_SCAN3};
    for (int i = 0; i < 3; ++i) {
        // Without the capability every box shows output 1's bit.
        const int bit = twoScan ? i : 0;
        CheckDlgButton(dialog, boxes[i], (mode >> bit) & 1 ? BST_CHECKED : BST_UNCHECKED);
        EnableWindow(GetDlgItem(dialog, boxes[i]), twoScan);
    }
    const bool mirror = HasCap(SensorCaps::kCapMirrorReflection) && areas->GetMirrorReflectionMode() != 0;
    CheckDlgButton(dialog, IDC_NUMERIC_MIRROR, mirror ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_NUMERIC_MIRROR), FALSE);
    const int half = HasCap(SensorCaps::kCapHalfHysteresis);
    const bool small = half ? (areas->GetPackedFlags() & kHalfHysteresisFlag) != 0
                            : GetSensorCaps()->HasSmallHysteresis() != 0;
    CheckDlgButton(dialog, IDC_NUMERIC_HYSTERESIS, small ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_NUMERIC_HYSTERESIS), half);
}

LRESULT NumericalInputDlg::OnCoordinateEdit(WORD id, WORD notifyCode, LPARAM hwndCtl) {
    HWND edit = reinterpret_cast<HWND>(hwndCtl);
    if (notifyCode == EN_SETFOCUS) {
        // The number as shown, also beyond the coordinate range: entering
        // the field must not change it.
        SetDlgItemInt(GetHwnd(), id, static_cast<UINT>(ItemNumber(id, kShownLimit)), TRUE);
        SendMessageA(edit, EM_SETSEL, 0, -1);
    } else if (notifyCode == EN_KILLFOCUS) {
        CommitEdit(edit);
    }
    return 0;
}

LRESULT NumericalInputDlg::OnOk(WORD, WORD, LPARAM) {
    HWND focus = GetFocus();
    CommitEdit(focus);
    SetFocus(focus);
    return 0;
}

// Only a typed number is written: focus alone changes nothing. Numbers are
// held within the coordinate range before they are packed into 16 bits, so
// that 70000 stays 10000 instead of wrapping to 4464.
void NumericalInputDlg::CommitEdit(HWND edit) {
    AreaSet* areas = GetAreaSet();
    if (areas == NULL || edit == NULL || ::GetParent(edit) != GetHwnd()) return;
    const int id = GetDlgCtrlID(edit);
    if (!IsVertexEdit(id) && !IsOutputEdit(id)) return;
    if (SendMessageA(edit, EM_GETMODIFY, 0, 0)) {
        const short typed = static_cast<short>(ItemNumber(id, AreaSet::kCoordinateLimit));
        if (IsVertexEdit(id)) {
            CommitCoordinate(id, typed);
        } else if (id == IDC_NUMERIC_OUTPUT2) {
            if (typed != areas->GetOutput2()) areas->SetOutput2(typed);
        } else if (typed != areas->GetOutput3()) {
            areas->SetOutput3(typed);
        }
        // Committed: the next refresh may show the stored (clamped) value.
        SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
    }
    NotifyEdited();
}

// The typed coordinate with the other one as stored, into the point of
// the edit's row.
void NumericalInputDlg::CommitCoordinate(int id, short typed) {
    AreaSet* areas = GetAreaSet();
    const int position = PositionOfRow((id - IDC_NUMERIC_FIRST_X) / 2);
    const DWORD stored = areas->GetPoint(position);
    const bool isX = (id - IDC_NUMERIC_FIRST_X) % 2 == 0;
    const DWORD point = isX ? Packed(typed, static_cast<short>(HIWORD(stored)))
                            : Packed(static_cast<short>(LOWORD(stored)), typed);
    if (point != stored) areas->SetPoint(position, point);
}

void NumericalInputDlg::NotifyEdited() {
    if (GetParent() != NULL) SendMessageA(GetParent(), WM_AREA_EDITED, 0, 0);
}

LRESULT NumericalInputDlg::OnAreaSelect(WORD, WORD notifyCode, LPARAM) {
    if (notifyCode != CBN_SELCHANGE || GetAreaSet() == NULL) return 0;
    LRESULT index = SendDlgItemMessageA(GetHwnd(), IDC_NUMERIC_AREA, CB_GETCURSEL, 0, 0);
    if (index < 0) return 0;
    GetAreaSet()->SelectArea(static_cast<BYTE>(index));
    NotifyEdited();
    return 0;
}

// The boxes and the shape combo are the frame's area commands.
void NumericalInputDlg::ForwardClick(WORD notifyCode, WORD command) {
    if (notifyCode != BN_CLICKED || GetParent() == NULL) return;
    SendMessageA(GetParent(), WM_COMMAND, command, 0);
}

LRESULT NumericalInputDlg::OnShapeSelect(WORD, WORD notifyCode, LPARAM) {
    if (notifyCode != CBN_SELCHANGE || GetParent() == NULL) return 0;
    LRESULT index = SendDlgItemMessageA(GetHwnd(), IDC_NUMERIC_SHAPE, CB_GETCURSEL, 0, 0);
    if (index < 0 || index >= kShapeCount) return 0;
    SendMessageA(GetParent(), WM_COMMAND, ID_AREA_SHAPE_STRAIGHT + index, 0);
    return 0;
}

LRESULT NumericalInputDlg::OnTwoScanOutput1(WORD, WORD notifyCode, LPARAM) {
    ForwardClick(notifyCode, ID_AREA_TWO_SCAN0);
    return 0;
}

LRESULT NumericalInputDlg::OnTwoScanOutput2(WORD, WORD notifyCode, LPARAM) {
    ForwardClick(notifyCode, ID_AREA_TWO_SCAN1);
    return 0;
}

LRESULT NumericalInputDlg::OnTwoScanOutput3(WORD, WORD notifyCode, LPARAM) {
    ForwardClick(notifyCode, ID_AREA_TWO_SCAN2);
    return 0;
}

LRESULT NumericalInputDlg::OnMirrorReflection(WORD, WORD notifyCode, LPARAM) {
    ForwardClick(notifyCode, ID_AREA_MIRROR);
    return 0;
}

LRESULT NumericalInputDlg::OnSmallHysteresis(WORD, WORD notifyCode, LPARAM) {
    ForwardClick(notifyCode, ID_AREA_HALF_HYSTERESIS);
    return 0;
}

// The window is forgotten first, so the owner sees the dialog closed when it
// updates its menus on the notice.
LRESULT NumericalInputDlg::OnDestroy(WPARAM wParam, LPARAM lParam) {
    LRESULT result = Dialog::OnDestroy(wParam, lParam);
    ForgetHwnd();
    NotifyEdited();
    return result;
}
