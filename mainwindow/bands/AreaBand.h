#ifndef MAINWINDOW_BANDS_AREABAND_H
#define MAINWINDOW_BANDS_AREABAND_H

#include "mainwindow/bands/ToolBand.h"

// The area band: numerical input, next and previous area, the area and
// output-shape choices, and the indicators of the selected area's options
// (always disabled). Choosing in a combo box sends the matching area or
// shape command.
class AreaBand : public ToolBand {
public:
    static const UINT kBandId = 2104;
    static const int kAreaCount = 7;
    static const int kShapeCount = 3;

    AreaBand();

    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    // The combo texts in the current language, each keeping its selection.
    void InitItems() override;
    virtual LRESULT OnAreaChoice(WORD id, WORD code, LPARAM combo);
    virtual LRESULT OnShapeChoice(WORD id, WORD code, LPARAM combo);

private:
    void FillCombo(UINT comboId, UINT firstString, int count);
    LRESULT SendChoice(WORD firstCommand, int choices, WORD code, LPARAM combo);
};

#endif
