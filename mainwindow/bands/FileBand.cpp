#include "mainwindow/bands/FileBand.h"

#include "framework/ImageButton.h"
#include "resources/MenuIds.h"
#include "resources/ToolBandIds.h"

namespace {

const BYTE kOn = ImageButton::kEnabled;

const ToolBarItem kItems[] = {
    {0, ID_FILE_OPEN_AREA, kOn, kToolPushButton, NULL},
    {1, ID_FILE_SAVE_AREA, kOn, kToolPushButton, NULL},
    {0, 0, 0, kToolSeparator, NULL},
    {2, ID_FILE_OPEN_MEASUREMENT, kOn, kToolPushButton, NULL},
    {3, ID_FILE_SAVE_MEASUREMENT, kOn, kToolPushButton, NULL},
    {0, 0, 0, kToolSeparator, NULL},
    {4, ID_FILE_PRINT, kOn, kToolPushButton, NULL},
};

}  // namespace

FileBand::FileBand() : ToolBand(IDB_FILE_BAND, kItems, sizeof kItems / sizeof kItems[0]) {}
