#include "mainwindow/frame/MainFrame.h"

#include "dialogs/NumericalInputDlg.h"
#include "framework/LanguageResource.h"
#include "mainwindow/view/ScanView.h"
#include "resources/MenuIds.h"
#include "resources/ToolBandIds.h"
#include "sensor/AreaRecord.h"
#include "sensor/AreaSet.h"
#include "sensor/DetectionArea.h"

// The Area menu and the area band: which of the seven areas is edited, its
// output shape, the numerical editor, the outline placement (F10), and the
// numerical editor's mode boxes. Every change of the area set ends in the
// frame's area-edited handler, which brings the view, menus, bands, status
// bar and the numerical input up to date.

namespace {

const int kVertexPlacementMode = 3;
const int kLeaveTemporaryMode = 254;
const int kLastArea = kAreaCount - 1;

}  // namespace

void MainFrame::AddAreaCommands() {
    static const CommandEntry kCommands[] = {
        {ID_AREA_NUMERICAL_INPUT, &MainFrame::OnNumericalInput},
        {ID_AREA_NEXT, &MainFrame::OnNextArea},
        {ID_AREA_PREVIOUS, &MainFrame::OnPreviousArea},
        {ID_VIEW_OUTLINE_PLACEMENT, &MainFrame::OnViewMode3},
        {ID_AREA_HALF_HYSTERESIS, &MainFrame::OnSmallHysteresis},
    };
    AddCommandTable(kCommands);
    AddCommandRange(ID_AREA_SELECT1, ID_AREA_SELECT7, &MainFrame::OnSelectArea);
    AddCommandRange(ID_AREA_SHAPE_STRAIGHT, ID_AREA_SHAPE_RATIO, &MainFrame::OnOutputShape);
    AddCommandRange(ID_AREA_TWO_SCAN0, ID_AREA_TWO_SCAN2, &MainFrame::OnTwoScanMode);
}

// The band button's check follows the dialog, however it was opened.
LRESULT MainFrame::OnNumericalInput(WORD, WORD, LPARAM) {
    NumericalInputDlg* dialog = m_numericalInputDlg.get();
    if (dialog == NULL) return 0;
    if (dialog->IsOpen()) {
        dialog->Destroy();
    } else {
        dialog->Create(LanguageResource().GetModule(), GetHwnd());
    }
    UpdateAreaMenu();
    return 0;
}

// Choosing the area that is already current still refreshes everything.
LRESULT MainFrame::OnSelectArea(WORD id, WORD, LPARAM) {
    if (m_workspace.areaSet != NULL) m_workspace.areaSet->SelectArea(static_cast<BYTE>(id - ID_AREA_SELECT1));
    OnAreaDataChanged(0, 0);
    return 0;
}

// No wrap at either end: the last area has no next one.
LRESULT MainFrame::OnNextArea(WORD, WORD, LPARAM) {
    AreaSet* areas = m_workspace.areaSet;
    if (areas == NULL) return 0;
    int current = areas->GetCurrentIndex();
    if (current >= kLastArea) return 0;
    areas->SelectArea(static_cast<BYTE>(current + 1));
    OnAreaDataChanged(0, 0);
    return 0;
}

LRESULT MainFrame::OnPreviousArea(WORD, WORD, LPARAM) {
    AreaSet* areas = m_workspace.areaSet;
    if (areas == NULL) return 0;
    int current = areas->GetCurrentIndex();
    if (current == 0) return 0;
    areas->SelectArea(static_cast<BYTE>(current - 1));
    OnAreaDataChanged(0, 0);
    return 0;
}

LRESULT MainFrame::OnOutputShape(WORD id, WORD, LPARAM) {
    if (m_workspace.areaSet != NULL)
        m_workspace.areaSet->SetPartitionShape(static_cast<BYTE>(id - ID_AREA_SHAPE_STRAIGHT));
    OnAreaDataChanged(0, 0);
    return 0;
}

// The first F10 starts placing the Output1 outline by clicks; the second
// commits the clicked points.
LRESULT MainFrame::OnViewMode3(WORD, WORD, LPARAM) {
    if (m_scanView == NULL) return 0;
    m_scanView->SetMode(m_scanView->GetMode() == kVertexPlacementMode ? kLeaveTemporaryMode
                                                                         : kVertexPlacementMode);
    return 0;
}

// Each box flips its output's bit of the current area's two-scan mode.
LRESULT MainFrame::OnTwoScanMode(WORD id, WORD, LPARAM) {
    AreaSet* areas = m_workspace.areaSet;
    if (areas == NULL) return 0;
    BYTE bit = static_cast<BYTE>(1 << (id - ID_AREA_TWO_SCAN0));
    areas->Set2ScanMode(static_cast<BYTE>(areas->Get2ScanMode() ^ bit));
    OnAreaDataChanged(0, 0);
    return 0;
}

LRESULT MainFrame::OnSmallHysteresis(WORD, WORD, LPARAM) {
    AreaSet* areas = m_workspace.areaSet;
    if (areas == NULL || areas->GetCurrentArea() == NULL) return 0;
    areas->SetHalfHysteresis(areas->GetCurrentArea()->GetHalfHysteresis() ? 0 : 1);
    OnAreaDataChanged(0, 0);
    return 0;
}
