#include "mainwindow/MainFrame.h"

#include "resources/MenuIds.h"

// The File menu and the print band: the area document, the measuring data,
// the print preview with printing and metafile export, and Exit; and the
// two save prompts that closing and other commands reuse.

void MainFrame::AddFileCommands() {
    static const CommandEntry kCommands[] = {
        {ID_FILE_NEW_AREA, &MainFrame::OnNewArea},
        {ID_FILE_OPEN_AREA, &MainFrame::OnOpenArea},
        {ID_FILE_SAVE_AREA, &MainFrame::OnSaveArea},
        {ID_FILE_SAVE_AREA_AS, &MainFrame::OnSaveAreaAs},
        {ID_FILE_OPEN_MEASUREMENT, &MainFrame::OnOpenMeasuringData},
        {ID_DEVELOP_OPEN_MEASUREMENT2, &MainFrame::OnOpenMeasuringData2},
        {ID_FILE_SAVE_MEASUREMENT, &MainFrame::OnSaveMeasuringData},
        {ID_FILE_PRINT, &MainFrame::OnPrintPreview},
        {ID_PRINT_EXIT, &MainFrame::OnPrintPreview},
        {ID_PRINT_START, &MainFrame::OnPrint},
        {ID_PRINT_PROPERTIES, &MainFrame::OnDocumentProperties},
        {ID_PRINT_PAGE_SETUP, &MainFrame::OnPageSetup},
        {ID_PRINT_HEADER_FOOTER, &MainFrame::OnHeaderFooter},
        {ID_PRINT_SAVE_EMF, &MainFrame::OnSaveEmf},
        {ID_FILE_EXIT, &MainFrame::OnExit},
    };
    AddCommandTable(kCommands);
}

LRESULT MainFrame::OnNewArea(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnOpenArea(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnSaveArea(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnSaveAreaAs(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnOpenMeasuringData(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnOpenMeasuringData2(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnSaveMeasuringData(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnPrintPreview(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnPrint(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnDocumentProperties(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnPageSetup(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnHeaderFooter(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnSaveEmf(WORD, WORD, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnExit(WORD, WORD, LPARAM) {
    return 0;
}

int MainFrame::PromptSaveArea() {
    return 1;
}

int MainFrame::PromptSaveRecord() {
    return 1;
}
