#ifndef MAINWINDOW_BANDS_VIEWBAND_H
#define MAINWINDOW_BANDS_VIEWBAND_H

#include "mainwindow/bands/ToolBand.h"

// The view band: the realtime, record and area layers, the edit, move and zoom
// modes and the grid circles (a check button kept in step with the flag).
class ViewBand : public ToolBand {
public:
    static const UINT kBandId = 2102;

    ViewBand();
};

#endif
