#include "mainwindow/bands/AreaBand.h"

#include "framework/ImageButton.h"
#include "framework/LanguageResource.h"
#include "framework/ResourceString.h"
#include "resources/MenuIds.h"
#include "resources/ToolBandIds.h"

namespace {

const BYTE kOn = ImageButton::kEnabled;
// Width and height of each combo box, the dropped list included.
const int kComboSize[2] = {80, 256};
void* const kCombo = const_cast<int*>(kComboSize);
// The first command of the output-shape choices.
const WORD kShapeCommandFirst = 32831;

const ToolBarItem kItems[] = {
    {0, ID_AREA_NUMERICAL_INPUT, kOn, kToolCheckButton, NULL},
    {0, 0, 0, kToolSeparator, NULL},
    {1, ID_AREA_NEXT, kOn, kToolPushButton, NULL},
    {2, ID_AREA_PREVIOUS, kOn, kToolPushButton, NULL},
    {0, IDC_AREA_CHOICE, 0, kToolDropDownList, kCombo},
    {0, IDC_OUTPUT_SHAPE, 0, kToolDropDownList, kCombo},
    {3, ID_AREA_TWO_SCAN0, kOn, kToolCheckButton, NULL},
    {4, ID_AREA_TWO_SCAN1, kOn, kToolCheckButton, NULL},
    {5, ID_AREA_TWO_SCAN2, kOn, kToolCheckButton, NULL},
    {6, ID_AREA_MIRROR, kOn, kToolCheckButton, NULL},
    {7, ID_AREA_HALF_HYSTERESIS, kOn, kToolCheckButton, NULL},
};

}  // namespace

AreaBand::AreaBand() : ToolBand(IDB_AREA_BAND, kItems, sizeof kItems / sizeof kItems[0]) {
    AddCommandHandler(IDC_AREA_CHOICE, Command(&AreaBand::OnAreaChoice));
    AddCommandHandler(IDC_OUTPUT_SHAPE, Command(&AreaBand::OnShapeChoice));
}

LRESULT AreaBand::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    LRESULT result = ToolBand::OnInitDialog(wParam, lParam);
    InitItems();
    return result;
}

void AreaBand::InitItems() {
    FillCombo(IDC_AREA_CHOICE, IDS_AREA_NAME_FIRST, kAreaCount);
    FillCombo(IDC_OUTPUT_SHAPE, IDS_OUTPUT_SHAPE_FIRST, kShapeCount);
}

void AreaBand::FillCombo(UINT comboId, UINT firstString, int count) {
    LRESULT selected = SendItemMessage(comboId, CB_GETCURSEL, 0, 0);
    SendItemMessage(comboId, CB_RESETCONTENT, 0, 0);
    ResourceString text(LanguageResource().GetModule());
    for (int i = 0; i < count; ++i) {
        SendItemMessage(comboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.Load(firstString + i)));
    }
    if (selected != CB_ERR) SendItemMessage(comboId, CB_SETCURSEL, selected, 0);
}

LRESULT AreaBand::OnAreaChoice(WORD /*id*/, WORD code, LPARAM combo) {
    return SendChoice(ID_AREA_SELECT1, kAreaCount, code, combo);
}

LRESULT AreaBand::OnShapeChoice(WORD /*id*/, WORD code, LPARAM combo) {
    return SendChoice(kShapeCommandFirst, kShapeCount, code, combo);
}

LRESULT AreaBand::SendChoice(WORD firstCommand, int choices, WORD code, LPARAM combo) {
    if (code != CBN_SELCHANGE) return 0;
    LRESULT index = SendMessageA(reinterpret_cast<HWND>(combo), CB_GETCURSEL, 0, 0);
    // Only the listed choices have commands.
    if (index < 0 || index >= choices) return 0;
    return SendCommand(static_cast<WORD>(firstCommand + index), code, combo);
}
