#ifndef MAINWINDOW_BANDS_COMMBAND_H
#define MAINWINDOW_BANDS_COMMBAND_H

#include "mainwindow/bands/ToolBand.h"

// The communication band: read and write the areas, record.
class CommBand : public ToolBand {
public:
    static const UINT kBandId = 2103;

    CommBand();
};

#endif
