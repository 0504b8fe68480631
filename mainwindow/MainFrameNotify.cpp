#include "mainwindow/MainFrame.h"

#include "dialogs/DialogMessages.h"
#include "mainwindow/ScanView.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"

// The sensor side's notifications to the frame, one handler per message
// number, registered from one table. WM_DEVICE_IO_FORCED and WM_USER + 23,
// + 24 have no handler. Sent notifications (areas read and written, firmware
// result, monitor line) hold the sending device thread until the handler
// returns; posted ones carry pointers the device side keeps alive.

void MainFrame::AddDeviceNotifications() {
    static const MessageEntry kNotifications[] = {
        {WM_DEVICE_PORT_OPENED, &MainFrame::OnPortOpened},
        {WM_DEVICE_PORT_LIST, &MainFrame::OnPortList},
        {WM_DEVICE_TYPE_RECOGNIZED, &MainFrame::OnDeviceTypeRecognized},
        {WM_DEVICE_CONNECTION_CHANGED, &MainFrame::OnConnectionChanged},
        {WM_DEVICE_SENSOR_INFO, &MainFrame::OnSensorInfo},
        {WM_DEVICE_SCAN, &MainFrame::OnScan},
        {WM_RECORD_END, &MainFrame::OnRecordEnd},
        {WM_DEVICE_RAM_DATA, &MainFrame::OnRamData},
        {WM_DEVICE_RAM_WRITTEN, &MainFrame::OnUser8},
        {WM_DEVICE_AREA_READ, &MainFrame::OnAreaRead},
        {WM_DEVICE_AREA_WRITTEN, &MainFrame::OnAreaWritten},
        {WM_DEVICE_FRAM_DATA, &MainFrame::OnFramData},
        {WM_DEVICE_FRAM_WRITTEN, &MainFrame::OnUser12},
        {WM_DEVICE_FUNCTIONS_READ, &MainFrame::OnUser13},
        {WM_DEVICE_FUNCTION_WRITTEN, &MainFrame::OnUser14},
        {WM_DEVICE_CORRECTION_DISTANCES, &MainFrame::OnUser15},
        {WM_DEVICE_CORRECTION_DISTANCE_WRITTEN, &MainFrame::OnUser16},
        {WM_DEVICE_CORRECTION_ANGLE, &MainFrame::OnUser17},
        {WM_DEVICE_CORRECTION_DONE, &MainFrame::OnUser18},
        {WM_DEVICE_OUTPUT_STATE, &MainFrame::OnOutputState},
        {WM_DEVICE_WAVE_FORM, &MainFrame::OnWaveForm},
        {WM_DEVICE_NOTIFICATION, &MainFrame::OnTroubleOrOutput},
        {WM_DEVICE_TROUBLE, &MainFrame::OnUser25},
        {WM_DEVICE_STATISTICS, &MainFrame::OnUser26},
        {WM_DEVICE_FIRMWARE_RESULT, &MainFrame::OnFirmwareResult},
        {WM_DEVICE_FUNCTION_SETTING, &MainFrame::OnUser28},
        {WM_DEVICE_FUNCTION_SETTING_WRITTEN, &MainFrame::OnUser29},
        {WM_DEVICE_SENSITIVITY, &MainFrame::OnUser30},
        {WM_DEVICE_SENSITIVITY_WRITTEN, &MainFrame::OnUser31},
        {WM_DEVICE_FILTER_READ, &MainFrame::OnUser32},
        {WM_DEVICE_FILTER_WRITTEN, &MainFrame::OnUser33},
        {WM_DEVICE_SCAN2, &MainFrame::OnScan2},
        {WM_DEVICE_COM_MONITOR_LINE, &MainFrame::OnComMonitorLine},
    };
    AddMessageTable(kNotifications);
}

LRESULT MainFrame::OnPortOpened(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnPortList(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnDeviceTypeRecognized(WPARAM wParam, LPARAM) {
    // Only while the program looks for the rate itself: a rate the user
    // chose is never overridden.
    if (m_devicePort != NULL && m_devicePort->IsAutoRecognition())
        m_devicePort->SelectDevice(static_cast<WORD>(wParam & 0xFFFF));
    return 0;
}

LRESULT MainFrame::OnConnectionChanged(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnSensorInfo(WPARAM, LPARAM) {
    return 0;
}

// The scan is copied out under the hand-over lock, since the distance
// operation may already be publishing the next one; during the print preview
// realtime scans are dropped.
LRESULT MainFrame::OnScan(WPARAM wParam, LPARAM) {
    const ScanData* published = reinterpret_cast<const ScanData*>(wParam);
    if (published == NULL || m_scanView == NULL || m_devicePort == NULL || m_printPreview) return 0;
    ScanData scan;
    {
        CriticalLock::Hold hold(m_devicePort->GetHandOver()->GetLock());
        scan = *published;
    }
    m_scanView->SetRealtimeScan(scan);
    return 0;
}

LRESULT MainFrame::OnRecordEnd(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnRamData(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser8(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnAreaRead(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnAreaWritten(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnFramData(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser12(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser13(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser14(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser15(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser16(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser17(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser18(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnOutputState(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnWaveForm(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnTroubleOrOutput(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser25(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser26(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnFirmwareResult(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser28(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser29(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser30(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser31(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser32(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnUser33(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnScan2(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnComMonitorLine(WPARAM, LPARAM) {
    return 0;
}
