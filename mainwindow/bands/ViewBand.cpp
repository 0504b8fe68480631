#include "mainwindow/bands/ViewBand.h"

#include "framework/ImageButton.h"
#include "resources/MenuIds.h"
#include "resources/ToolBandIds.h"

namespace {

const BYTE kOn = ImageButton::kEnabled;

const ToolBarItem kItems[] = {
    {0, ID_VIEW_REALTIME, kOn, kToolCheckButton, NULL},
    {1, ID_VIEW_RECORD, kOn, kToolCheckButton, NULL},
    {2, ID_VIEW_AREA, kOn, kToolCheckButton, NULL},
    {0, 0, 0, kToolSeparator, NULL},
    {3, ID_VIEW_EDIT_AREA, kOn, kToolRadioButton, NULL},
    {4, ID_VIEW_MOVE, kOn, kToolRadioButton, NULL},
    {5, ID_VIEW_ZOOM, kOn, kToolRadioButton, NULL},
    {0, 0, 0, kToolSeparator, NULL},
    {6, ID_VIEW_GRID_CIRCLE, kOn, kToolCheckButton, NULL},
};

}  // namespace

ViewBand::ViewBand() : ToolBand(IDB_VIEW_BAND, kItems, sizeof kItems / sizeof kItems[0]) {}
