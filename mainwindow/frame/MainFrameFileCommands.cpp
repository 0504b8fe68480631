#include "mainwindow/frame/MainFrame.h"

#include "dialogs/HeaderFooterDlg.h"
#include "framework/FileDialog.h"
#include "framework/LanguageResource.h"
#include "mainwindow/bands/Rebar.h"
#include "mainwindow/frame/FrameHost.h"
#include "mainwindow/print/PrintView.h"
#include "mainwindow/view/ScanView.h"
#include "resources/CommandIds.h"
#include "resources/FirmwareIds.h"
#include "resources/FrameIds.h"
#include "resources/MenuIds.h"
#include "resources/ToolBandIds.h"
#include "sensor/AreaSet.h"
#include "sensor/MeasuringData.h"

// The File menu and the print band: the area document, the measuring data,
// the print preview with printing and metafile export, and Exit; and the
// two save prompts that closing and other commands reuse.

namespace {

const UINT kPreviewBand = Rebar::kFirstBandId + 5;  // the print band
const int kLeaveTemporaryMode = 254;
const int kPrintPreviewMode = 4;
const WORD kRedrawAll = ScanView::kRedrawLayout | ScanView::kRedrawBackground;
const char kEmfFilter[] = "Enhanced Meta File (*.emf)\0*.emf\0";
const DWORD kEmfPathChars = MAX_PATH - 1;

HMODULE LanguageModule() {
    return LanguageResource().GetModule();
}

// Removes the mouse clicks waiting in the thread's queue. While the page
// prints the window does not answer, and the clicks the user makes meanwhile
// wait; aimed at the print band, they would reach whatever lies under them
// once printing has closed the preview.
void DropWaitingClicks() {
    MSG msg;
    while (PeekMessageA(&msg, NULL, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE)) {
    }
}

// Whether the caller of a save question may go on: Yes only when the save
// succeeded, No at once, Cancel never.
template <class Save>
int GoOn(int answer, Save save) {
    switch (answer) {
        case IDYES:
            return save() ? 1 : 0;
        case IDNO:
            return 1;
        default:
            return 0;
    }
}

}  // namespace

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
    if (!PromptSaveArea()) return 0;
    AreaSet* areas = m_workspace.areaSet;
    if (areas == NULL) return 0;
    areas->ResetAll();
    OnAreaDataChanged(0, 0);
    // Save after New asks for a name: it never overwrites the last file.
    if (m_application != NULL) m_application->SetDocumentPath("");
    return 0;
}

LRESULT MainFrame::OnOpenArea(WORD, WORD, LPARAM) {
    if (!PromptSaveArea()) return 0;
    AreaSet* areas = m_workspace.areaSet;
    if (m_application == NULL || areas == NULL) return 0;
    char path[MAX_PATH];
    if (!m_application->OpenAreaFileDialog(path, sizeof path)) return 0;
    // The areas change only when the whole file was accepted.
    if (!areas->LoadFile(path)) {
        ShowBox(LoadText(IDS_CANNOT_OPEN_FILE), MB_ICONERROR);
        return 0;
    }
    m_application->SetDocumentPath(path);
    OnAreaDataChanged(0, 0);
    return 0;
}

LRESULT MainFrame::OnSaveArea(WORD id, WORD notifyCode, LPARAM hwndCtl) {
    AreaSet* areas = m_workspace.areaSet;
    if (m_application == NULL || areas == NULL) return 0;
    char path[MAX_PATH];
    if (!m_application->GetDocumentPath(path, sizeof path) || path[0] == '\0')
        return OnSaveAreaAs(id, notifyCode, hwndCtl);
    // A failed save leaves the old file whole and the areas marked unsaved.
    if (!areas->SaveFile(path)) ShowBox(LoadText(IDS_CANNOT_OPEN_FILE), MB_ICONERROR);
    return 0;
}

LRESULT MainFrame::OnSaveAreaAs(WORD, WORD, LPARAM) {
    SaveAreasAs();
    return 0;
}

// 1 only when a chosen file was written; a failure has been shown.
BOOL MainFrame::SaveAreasAs() {
    AreaSet* areas = m_workspace.areaSet;
    if (m_application == NULL || areas == NULL) return FALSE;
    char path[MAX_PATH];
    if (!m_application->SaveAreaFileDialog(path, sizeof path)) return FALSE;
    if (areas->SaveFile(path)) {
        m_application->SetDocumentPath(path);
        return TRUE;
    }
    ShowBox(LoadText(IDS_CANNOT_OPEN_FILE), MB_ICONERROR);
    return FALSE;
}

BOOL MainFrame::SaveMeasurementsAs() {
    MeasuringData* data = m_workspace.measuringData;
    if (m_application == NULL || data == NULL) return FALSE;
    char path[MAX_PATH];
    if (!m_application->SaveMeasurementFileDialog(path, sizeof path)) return FALSE;
    if (data->Save(path)) return TRUE;
    ShowBox(LoadText(IDS_CANNOT_OPEN_FILE), MB_ICONERROR);
    return FALSE;
}

LRESULT MainFrame::OnOpenMeasuringData(WORD, WORD, LPARAM) {
    OpenMeasurements(FALSE);
    return 0;
}

LRESULT MainFrame::OnOpenMeasuringData2(WORD, WORD, LPARAM) {
    OpenMeasurements(TRUE);
    return 0;
}

// columns: the layout of one scan per column; else one scan per line.
// The opened file replaces the recorded scans, so unsaved ones are asked for
// first, as before closing or recording.
void MainFrame::OpenMeasurements(BOOL columns) {
    MeasuringData* data = m_workspace.measuringData;
    if (m_application == NULL || m_scanView == NULL || data == NULL) return;
    if (!PromptSaveRecord()) return;
    char path[MAX_PATH];
    if (!m_application->OpenMeasurementFileDialog(path, sizeof path)) return;
    // A file the reader refuses leaves the recorded scans as they were.
    BOOL loaded = columns ? data->LoadColumns(path) : data->Load(path);
    if (!loaded) {
        ShowBox(LoadText(IDS_CANNOT_OPEN_FILE), MB_ICONERROR);
        return;
    }
    if (!m_scanView->TestDrawItem(ScanView::kDrawRecord) && ShowBox(LoadText(IDS_SHOW_RECORD_ASK), MB_YESNO) == IDYES)
        m_scanView->SetDrawItem(ScanView::kDrawRecord, 1);
    UpdateViewMenu();
    UpdateCommunicationMenu();
    m_scanView->Redraw(kRedrawAll);
}

LRESULT MainFrame::OnSaveMeasuringData(WORD, WORD, LPARAM) {
    SaveMeasurementsAs();
    return 0;
}

int MainFrame::PromptSaveArea() {
    AreaSet* areas = m_workspace.areaSet;
    if (areas == NULL || !areas->IsFileModified()) return 1;
    // Always under a chosen name, even when the document has one.
    return GoOn(ShowBox(LoadText(IDS_SAVE_AREA_ASK), MB_YESNOCANCEL), [this] { return SaveAreasAs(); });
}

int MainFrame::PromptSaveRecord() {
    MeasuringData* data = m_workspace.measuringData;
    if (data == NULL || !data->IsModified()) return 1;
    return GoOn(ShowBox(LoadText(IDS_SAVE_RECORD_ASK), MB_YESNOCANCEL), [this] { return SaveMeasurementsAs(); });
}

// The printer list of the print band: refused only when the band is
// missing, the list cannot be asked or it is empty. Its first item is a
// printer like any other.
BOOL MainFrame::HasPrinterList() {
    if (m_rebar == NULL || m_rebar->GetItemWindow(IDC_PRINTER) == NULL) return FALSE;
    LRESULT count = m_rebar->SendItemMessage(IDC_PRINTER, CB_GETCOUNT, 0, 0);
    return count != CB_ERR && count > 0;
}

void MainFrame::ShowPreviewBands(BOOL preview) {
    if (m_rebar == NULL) return;
    for (UINT band = Rebar::kFirstBandId; band < kPreviewBand; ++band) m_rebar->ShowBand(band, !preview);
    m_rebar->ShowBand(kPreviewBand, preview);
}

LRESULT MainFrame::OnPrintPreview(WORD, WORD, LPARAM) {
    m_printPreview = !m_printPreview;
    if (m_printPreview) {
        if (!HasPrinterList()) {
            ShowBox(LoadText(IDS_NO_PRINTER), MB_ICONERROR);
            m_printPreview = FALSE;
            return 0;
        }
        ShowPreviewBands(TRUE);
        if (m_scanView != NULL) m_scanView->SetMode(kPrintPreviewMode);
        RepaintPreview(PrintView::kRefreshPage | PrintView::kRefreshZoom);
        return 0;
    }
    ShowPreviewBands(FALSE);
    if (m_scanView != NULL) {
        m_scanView->SetMode(kLeaveTemporaryMode);
        m_scanView->Redraw(kRedrawAll);
    }
    return 0;
}

// A printer that asks for a file name (PDF, print to file) fails the job
// with ERROR_CANCELLED when the user cancels: the preview stays, unreported.
LRESULT MainFrame::OnPrint(WORD, WORD, LPARAM) {
    if (!m_printPreview || m_printView == NULL) return 0;
    SetLastError(ERROR_SUCCESS);
    const int printed = m_printView->Print();
    const DWORD reason = GetLastError();
    DropWaitingClicks();
    if (printed) {
        LeavePrintPreview();
    } else if (reason != ERROR_CANCELLED) {
        ShowBox(LoadText(IDS_CANNOT_PRINT), MB_ICONERROR);
    }
    return 0;
}

LRESULT MainFrame::OnDocumentProperties(WORD, WORD, LPARAM) {
    RunPreviewStep(&PrintView::DocumentProperties, IDS_CANNOT_OPEN_PROPERTY);
    return 0;
}

LRESULT MainFrame::OnPageSetup(WORD, WORD, LPARAM) {
    RunPreviewStep(&PrintView::PageSetup, IDS_CANNOT_OPEN_PAGE_SETUP);
    return 0;
}

// A print band step that changes the page: the preview repaints after it,
// or its failure is shown. Only while the preview shows.
void MainFrame::RunPreviewStep(int (PrintView::*step)(HWND owner), UINT failureId) {
    if (!m_printPreview || m_printView == NULL) return;
    if ((m_printView->*step)(GetHwnd())) {
        RepaintPreview(PrintView::kRefreshPage);
    } else {
        ShowBox(LoadText(failureId), MB_ICONERROR);
    }
}

LRESULT MainFrame::OnHeaderFooter(WORD, WORD, LPARAM) {
    if (m_headerFooterDlg != NULL) m_headerFooterDlg->Create(LanguageModule(), GetHwnd());
    if (m_printPreview) RepaintPreview(0);
    return 0;
}

LRESULT MainFrame::OnSaveEmf(WORD, WORD, LPARAM) {
    if (!m_printPreview) return 0;
    char path[MAX_PATH] = "";
    FileDialog dialog;
    OPENFILENAMEA* ofn = dialog.GetOfn();
    ofn->hwndOwner = GetHwnd();
    ofn->hInstance = LanguageModule();
    ofn->lpstrFilter = kEmfFilter;
    ofn->nFilterIndex = 1;
    ofn->lpstrFile = path;
    ofn->nMaxFile = kEmfPathChars;
    ofn->lpstrInitialDir = path;
    ofn->Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING;
    ofn->lpstrDefExt = "emf";
    if (!dialog.GetSaveFileName()) return 0;
    if (m_printView != NULL && m_printView->SaveAsEnhMetaFile(path)) {
        LeavePrintPreview();
    } else {
        ShowBox(LoadText(IDS_CANNOT_CREATE_EMF), MB_ICONERROR);
    }
    return 0;
}

LRESULT MainFrame::OnExit(WORD, WORD, LPARAM) {
    // The same prompts as the close box and Alt+F4.
    return OnClose(0, 0);
}
