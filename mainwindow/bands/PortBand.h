#ifndef MAINWINDOW_BANDS_PORTBAND_H
#define MAINWINDOW_BANDS_PORTBAND_H

#include "mainwindow/bands/ToolBand.h"

// The port band: disconnect from the sensor.
class PortBand : public ToolBand {
public:
    static const UINT kBandId = 2101;

    PortBand();
};

#endif
