#include "mainwindow/frame/MainFrame.h"

#include "dialogs/DialogMessages.h"
#include "dialogs/NumericalInputDlg.h"
#include "framework/Geometry.h"
#include "framework/LanguageResource.h"
#include "framework/ResourceString.h"
#include "mainwindow/bands/Rebar.h"
#include "mainwindow/frame/FrameMessages.h"
#include "mainwindow/frame/StatusBar.h"
#include "mainwindow/view/ScanView.h"
#include "mainwindow/view/ViewMessages.h"
#include "protocol/DevicePort.h"
#include "resources/FrameIds.h"
#include "resources/MenuIds.h"
#include "resources/StatusBarIds.h"
#include "sensor/AreaSet.h"

namespace {

// The port commands are COM1 at 0x8100 and up; the first four area
// commands share one hint with the area's number.
const UINT kFirstLanguage = ID_LANGUAGE_FIRST;
const UINT kLastLanguage = ID_LANGUAGE_FIRST + 0xFF;
const UINT kPortBefore = ID_COMM_PORT_FIRST - 1;
const UINT kAreaBefore = ID_AREA_SELECT1 - 1;
const UINT kLastSharedAreaHint = ID_AREA_SELECT4;

}  // namespace

// What the view, the tool bands and the numerical input dialog tell the
// frame about edits, the cursor and hints, and the two pane updates the frame
// posts itself; each becomes an update of the status bar, the view or the
// menus.

void MainFrame::AddStatusNotifications() {
    static const MessageEntry kNotifications[] = {
        {WM_AREA_EDITED, &MainFrame::OnAreaDataChanged},
        {WM_AREA_POINTS_PLACED, &MainFrame::OnUser581},
        {WM_STATUS_CURSOR, &MainFrame::OnCursorPosition},
        {WM_STATUS_ZOOM_SIZE, &MainFrame::OnStatus602},
        {WM_STATUS_EDIT_HANDLE, &MainFrame::OnStatus603},
        {WM_STATUS_CLEAR_HINT, &MainFrame::OnStatusText},
        {WM_STATUS_HINT, &MainFrame::OnMenuHelp},
        {WM_STATUS_UPDATE_AREA, &MainFrame::UpdateAreaPane},
        {WM_STATUS_UPDATE_PORT, &MainFrame::UpdatePortPane},
    };
    AddMessageTable(kNotifications);
}

std::string MainFrame::LoadText(UINT id) {
    LanguageResource language;
    ResourceString text(language.GetModule());
    return text.Load(id);
}

std::string MainFrame::HintText(UINT id) {
    if (id >= kFirstLanguage && id <= kLastLanguage) {
        LanguageInfo info;
        LanguageResource languages;
        return languages.GetInfo(id, &info) ? info.statusText : "";
    }
    ResourceString text;
    if (id >= ID_COMM_PORT_FIRST && id <= ID_COMM_PORT_LAST) {
        text.Format(LoadText(IDS_HINT_PORT).c_str(), static_cast<int>(id - kPortBefore));
    } else if (id >= ID_AREA_SELECT1 && id <= kLastSharedAreaHint) {
        text.Format(LoadText(IDS_HINT_SELECT_AREA).c_str(), static_cast<int>(id - kAreaBefore));
    } else {
        return LoadText(id);
    }
    return text.GetText();
}

LRESULT MainFrame::OnAreaDataChanged(WPARAM, LPARAM) {
    if (m_scanView != NULL) m_scanView->RedrawAreas();
    if (m_numericalInputDlg != NULL) m_numericalInputDlg->UpdateControls();
    UpdateAreaMenu();
    return 0;
}

LRESULT MainFrame::OnUser581(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnCursorPosition(WPARAM wParam, LPARAM lParam) {
    POINT mm;
    SetPoint(mm, static_cast<int>(wParam), static_cast<int>(lParam));
    if (m_statusBar != NULL) m_statusBar->SetCursorPos(mm);
    return 0;
}

LRESULT MainFrame::OnStatus602(WPARAM wParam, LPARAM lParam) {
    const POINT* start = reinterpret_cast<const POINT*>(wParam);
    const POINT* current = reinterpret_cast<const POINT*>(lParam);
    if (m_statusBar != NULL && start != NULL && current != NULL) m_statusBar->SetSize(*start, *current);
    return 0;
}

LRESULT MainFrame::OnStatus603(WPARAM wParam, LPARAM lParam) {
    if (m_statusBar != NULL) m_statusBar->SetEditInfo(LOBYTE(wParam), static_cast<DWORD>(lParam));
    return 0;
}

// The view's leave arrives late, when the mouse may have entered a band
// button already, and a band's leave may follow the next band's hover: the
// hint of the item under the mouse stays.
LRESULT MainFrame::OnStatusText(WPARAM wParam, LPARAM) {
    if (wParam == 0 && m_rebar != NULL && m_rebar->HoveredItem() != 0) return 0;
    if (m_statusBar != NULL) m_statusBar->ClearPart(static_cast<int>(wParam));
    return 0;
}

LRESULT MainFrame::OnMenuHelp(WPARAM wParam, LPARAM) {
    if (m_statusBar != NULL) m_statusBar->SetHint(HintText(static_cast<UINT>(wParam)).c_str());
    return 0;
}

LRESULT MainFrame::UpdateAreaPane(WPARAM, LPARAM) {
    if (m_statusBar == NULL) return 0;
    const AreaSet* areas = m_workspace.areaSet;
    m_statusBar->SetArea(areas != NULL ? areas->GetCurrentIndex() : 0, areas != NULL ? areas->GetPackedFlags() : 0,
                         m_selectedBySensor);
    return 0;
}

LRESULT MainFrame::UpdatePortPane(WPARAM, LPARAM) {
    UpdatePortPart();
    return 0;
}
