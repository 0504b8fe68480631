#include "mainwindow/bands/PortBand.h"

#include "framework/ImageButton.h"
#include "resources/MenuIds.h"
#include "resources/ToolBandIds.h"

namespace {

const BYTE kOn = ImageButton::kEnabled;

const ToolBarItem kItems[] = {
    {0, ID_COMM_DISCONNECT, kOn, kToolPushButton, NULL},
};

}  // namespace

PortBand::PortBand() : ToolBand(IDB_PORT_BAND, kItems, sizeof kItems / sizeof kItems[0]) {}
