#ifndef DIALOGS_SENSORDIALOG_H
#define DIALOGS_SENSORDIALOG_H

#include "framework/Dialog.h"

class AreaSet;
class DevicePort;
class DeviceHost;
class MeasuringData;
class SensorCaps;
class WaveFormRecord;

// The base of the dialogs that work with the sensor and its data: they read
// the connected sensor's capabilities, send through the device port, and
// some show or fill the data objects. The collaborators are kept here once,
// so Reset drops the owner window and every link in one place. A dialog is
// handed only the links it uses; the others stay null.
// User-interface thread only.
class SensorDialog : public Dialog {
public:
    explicit SensorDialog(const char* name);
    ~SensorDialog() override;

    virtual void SetSensorCaps(SensorCaps* sensorCaps) { m_sensorCaps = sensorCaps; }
    virtual void SetDevicePort(DevicePort* devicePort) { m_devicePort = devicePort; }
    virtual void SetAreaSet(AreaSet* areaSet) { m_areaSet = areaSet; }
    virtual void SetMeasuringData(MeasuringData* measuringData) { m_measuringData = measuringData; }
    virtual void SetWaveFormRecord(WaveFormRecord* waveFormRecord) { m_waveFormRecord = waveFormRecord; }
    virtual void SetApplication(DeviceHost* application) { m_application = application; }
    // Drops the owner window and every collaborator.
    virtual void Reset();
    // Brings the controls in line with the sensor's state; nothing while
    // the dialog is closed.
    virtual void UpdateControls() {}

    // The decimal number a text starts with (after blanks and a sign), held
    // within -limit..limit, so that a long run of digits never wraps; 0 when
    // the text starts with no digit. " mm" or other text after it is ignored.
    static long LeadingNumber(const char* text, long limit);

protected:
    // Opens the dialog modeless from its template; 0 without a device port
    // or while it is open.
    HWND CreateWithPort(HINSTANCE instance, HWND parent, WORD templateId);
    // Opens the dialog modeless from its template; 0 unless both the
    // sensor's capabilities and the device port are linked; an open dialog
    // is returned as it is.
    HWND CreateWithSensor(HINSTANCE instance, HWND parent, WORD templateId);
    // Tells the user how a write of the sensor's functions ended, in a box
    // owned by the dialog; TRUE when the sensor took them.
    BOOL ReportWriteResult(DWORD result);
    // Control helpers for the open dialog.
    void EnableItem(int id, BOOL enable);
    void TickItem(int id, BOOL ticked);
    BOOL IsItemTicked(int id);
    // Fills a drop-down list with string-table texts of the current language.
    void FillCombo(int id, const UINT* textIds, int count);
    // Selects an item of a drop-down list; an index the list lacks leaves
    // it without selection.
    void SelectListItem(int id, int index);
    // The selected index of a drop-down list, -1 for none.
    int SelectedListItem(int id);

    SensorCaps* GetSensorCaps() const { return m_sensorCaps; }
    DevicePort* GetDevicePort() const { return m_devicePort; }
    AreaSet* GetAreaSet() const { return m_areaSet; }
    MeasuringData* GetMeasuringData() const { return m_measuringData; }
    WaveFormRecord* GetWaveFormRecord() const { return m_waveFormRecord; }
    DeviceHost* GetApplication() const { return m_application; }
    // The leading number of a control's text, see LeadingNumber.
    long ItemNumber(int id, long limit);

private:
    SensorCaps* m_sensorCaps;
    DevicePort* m_devicePort;
    AreaSet* m_areaSet;
    MeasuringData* m_measuringData;
    WaveFormRecord* m_waveFormRecord;
    DeviceHost* m_application;  // the application object, seen through what the dialogs use
};

#endif
