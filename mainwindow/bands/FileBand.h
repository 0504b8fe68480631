#ifndef MAINWINDOW_BANDS_FILEBAND_H
#define MAINWINDOW_BANDS_FILEBAND_H

#include "mainwindow/bands/ToolBand.h"

// The file band: open and save the areas and the measuring data, print preview.
class FileBand : public ToolBand {
public:
    static const UINT kBandId = 2100;

    FileBand();
};

#endif
