#ifndef DIALOGS_NUMERICALINPUTDLG_H
#define DIALOGS_NUMERICALINPUTDLG_H

#include "framework/Dialog.h"

class AreaSet;
class SensorCaps;

// Edits the current area's points and options as numbers.
// Template 644; its placement is kept in the settings section "NumericalInputDlg".
// User-interface thread only.
class NumericalInputDlg : public Dialog {
public:
    static const WORD kTemplate = 644;

    NumericalInputDlg();
    ~NumericalInputDlg() override;

    virtual void SetSensorCaps(SensorCaps* sensorCaps);
    virtual void SetAreaSet(AreaSet* areaSet);
    // Drops the owner window and every collaborator.
    virtual void Reset();

private:
    SensorCaps* m_sensorCaps;
    AreaSet* m_areaSet;
};

#endif
