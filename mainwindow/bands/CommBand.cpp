#include "mainwindow/bands/CommBand.h"

#include "framework/ImageButton.h"
#include "resources/MenuIds.h"
#include "resources/ToolBandIds.h"

namespace {

const BYTE kOn = ImageButton::kEnabled;

const ToolBarItem kItems[] = {
    {0, ID_COMM_READ_AREA, kOn, kToolPushButton, NULL},
    {1, ID_COMM_WRITE_AREA, kOn, kToolPushButton, NULL},
    {0, 0, 0, kToolSeparator, NULL},
    {2, ID_COMM_RECORD, kOn, kToolPushButton, NULL},
};

}  // namespace

CommBand::CommBand() : ToolBand(IDB_COMM_BAND, kItems, sizeof kItems / sizeof kItems[0]) {}
