#include "mainwindow/MainFrame.h"

#include "resources/MenuIds.h"

// The Communication menu and the port and communication bands: the COM
// port, reading and writing the areas, recording, and the sensor
// information and I/O test dialogs. Results arrive later as device
// notifications.

void MainFrame::AddCommunicationCommands() {
    static const CommandEntry kCommands[] = {
        {ID_COMM_DISCONNECT, &MainFrame::OnSelectPort},
        {ID_COMM_READ_AREA, &MainFrame::OnReadArea},
        {ID_COMM_WRITE_AREA, &MainFrame::OnWriteArea},
        {ID_COMM_RECORD, &MainFrame::OnRecord},
        {ID_COMM_CLEAR_RECORD, &MainFrame::OnClearRecord},
        {ID_COMM_SENSOR_INFO, &MainFrame::OnSensorInformation},
        {ID_COMM_IO_TEST, &MainFrame::OnIOTest},
    };
    AddCommandTable(kCommands);
    // COM1 .. COM256, whichever of them the port list will show.
    AddCommandRange(ID_COMM_PORT_FIRST, ID_COMM_PORT_LAST, &MainFrame::OnSelectPort);
}

LRESULT MainFrame::OnSelectPort(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnReadArea(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnWriteArea(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnRecord(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnClearRecord(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnSensorInformation(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnIOTest(WORD, WORD, LPARAM) {
    return 0;
}
