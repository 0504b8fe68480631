#ifndef MAINWINDOW_BANDS_TOOLBAND_H
#define MAINWINDOW_BANDS_TOOLBAND_H

#include "framework/ToolBarPanel.h"

// One tool band of the main window's rebar: a tool strip built from the
// band's table when its panel is created, whose buttons send the same
// command ids as the menu items, through the rebar window to the frame, and
// whose hovered items show their hints in the frame's status bar.
// User-interface thread only.
class ToolBand : public ToolBarPanel {
public:
    // Sizes every band is built with.
    static const int kButtonWidth = 23;
    static const int kButtonHeight = 21;
    static const int kGlyphWidth = 16;
    static const int kGlyphHeight = 15;

    // The table is the band's own, static, and outlives the band.
    ToolBand(UINT bitmapId, const ToolBarItem* items, int count);
    ~ToolBand() override;

    // Builds the strip and binds every button's id to SendCommand.
    virtual LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
    // Hint of the hovered item, or clears the hint when id is 0.
    BOOL OnItemHover(UINT id) override;

    // The status-bar hint string of an item: its id, but a combo box has its own.
    static UINT HintId(UINT id);

private:
    UINT m_bitmapId;
    const ToolBarItem* m_table;
    int m_count;
};

#endif
