#include "mainwindow/MainFrame.h"

#include "resources/MenuIds.h"

// The Area menu and the area band: which of the seven areas is edited, its
// output shape, the numerical editor, and the outline placement (F10).

void MainFrame::AddAreaCommands() {
    static const CommandEntry kCommands[] = {
        {ID_AREA_NUMERICAL_INPUT, &MainFrame::OnNumericalInput},
        {ID_AREA_NEXT, &MainFrame::OnNextArea},
        {ID_AREA_PREVIOUS, &MainFrame::OnPreviousArea},
        {ID_VIEW_OUTLINE_PLACEMENT, &MainFrame::OnViewMode3},
    };
    AddCommandTable(kCommands);
    AddCommandRange(ID_AREA_SELECT1, ID_AREA_SELECT7, &MainFrame::OnSelectArea);
    AddCommandRange(ID_AREA_SHAPE_STRAIGHT, ID_AREA_SHAPE_RATIO, &MainFrame::OnOutputShape);
}

LRESULT MainFrame::OnNumericalInput(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnSelectArea(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnNextArea(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnPreviousArea(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnOutputShape(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnViewMode3(WORD, WORD, LPARAM) {
    return 0;
}
