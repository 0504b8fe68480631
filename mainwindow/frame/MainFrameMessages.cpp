#include "mainwindow/frame/MainFrame.h"

#include "framework/HandleOwner.h"
#include "mainwindow/bands/Rebar.h"
#include "mainwindow/frame/FrameHost.h"
#include "mainwindow/frame/FrameMessages.h"
#include "mainwindow/frame/StatusBar.h"
#include "mainwindow/print/PrintView.h"
#include "mainwindow/view/ScanView.h"
#include "protocol/DevicePort.h"
#include "resources/FrameIds.h"
#include "resources/MenuIds.h"

#include <commctrl.h>

namespace {

// Controls of the print band and their notifications.
const UINT kPrinterList = 1138;
const UINT kZoomList = 1147;
const UINT kSelectionChanged = 1;
const UINT kFocusGained = 3;
const UINT kFocusLost = 4;
const UINT kEditChanged = 5;
const WPARAM kEscape = 27;
const WORD kFirstPopupItem = 0x8000;

}  // namespace

// The frame's standard window messages: creation, placement, layout,
// closing and destruction, the print band's notifications, device arrival
// and system changes, Esc and the mouse wheel.

void MainFrame::AddWindowMessages() {
    static const MessageEntry kMessages[] = {
        {WM_CREATE, &MainFrame::OnCreate},
        {WM_SYSCOLORCHANGE, &MainFrame::OnSysColorChange},
        {WM_SYSCOMMAND, &MainFrame::OnSysCommand},
        {WM_DEVICECHANGE, &MainFrame::OnDeviceChange},
        {WM_SETTINGCHANGE, &MainFrame::OnSettingChange},
        {WM_SETFOCUS, &MainFrame::OnSetFocus},
        {WM_MENUSELECT, &MainFrame::OnMenuSelect},
        {WM_DRAWITEM, &MainFrame::OnDrawItem},
        {WM_NOTIFY, &MainFrame::OnNotify},
        {WM_MOVE, &MainFrame::OnMove},
        {WM_SIZE, &MainFrame::OnSize},
        {WM_CLOSE, &MainFrame::OnClose},
        {WM_DESTROY, &MainFrame::OnDestroy},
        {WM_CHAR, &MainFrame::OnChar},
        {WM_MOUSEWHEEL, &MainFrame::OnMouseWheel},
    };
    AddMessageTable(kMessages);
}

LRESULT MainFrame::DefaultProcessing(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(GetHwnd(), msg, wParam, lParam);
}

LRESULT MainFrame::OnCreate(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    HWND hwnd = GetHwnd();
    // The rebar is made hidden; the tool bar setting shows it.
    if (m_rebar != NULL && m_rebar->Create(m_instance, hwnd) != NULL)
        m_rebar->Show(m_settings.toolbarVisible ? SW_SHOW : SW_HIDE);
    if (m_statusBar != NULL) m_statusBar->Create(m_instance, hwnd);
    if (m_scanView != NULL) m_scanView->Create(m_instance, hwnd);
    BuildMenus();
    UpdateMenus();
    // Filled once the window runs.
    PostMessage(WM_STATUS_UPDATE_AREA, 0, 0);
    PostMessage(WM_STATUS_UPDATE_PORT, 0, 0);
    StartDevice();
    if (m_scanView != NULL && m_scanView->GetHwnd() != NULL)
        InvalidateRect(m_scanView->GetHwnd(), NULL, FALSE);
    ApplyPlacement(FALSE);
    return 0;
}

void MainFrame::StartDevice() {
    if (m_devicePort == NULL) return;
    WORD type = static_cast<WORD>(m_settings.deviceType);
    m_devicePort->SetAutoRecognition(m_settings.deviceType == FrameSettings::kAutoRecognition);
    m_devicePort->SelectDevice(type);
    m_devicePort->RequestOpen(m_settings.comPort);
    m_devicePort->RequestPortScan();
    RequestRealtime(m_scanView != NULL && m_scanView->TestDrawItem(ScanView::kDrawRealtime));
}

void MainFrame::RequestRealtime(BOOL on) {
    on = on ? TRUE : FALSE;
    if (m_devicePort == NULL || on == m_realtimeRequested) return;
    m_devicePort->SetRealtime(on);
    m_realtimeRequested = on;
}

void MainFrame::ApplyPlacement(BOOL keepShowCommand) {
    HWND hwnd = GetHwnd();
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(hwnd, &placement)) return;
    placement.rcNormalPosition = m_settings.window;
    if (!keepShowCommand) placement.showCmd = static_cast<UINT>(m_settings.showCommand);
    SetWindowPlacement(hwnd, &placement);
}

LRESULT MainFrame::OnSysCommand(WPARAM wParam, LPARAM lParam) {
    // The first system command finds the window where the system put it
    // after the hidden start; the saved rectangle is applied once more.
    if (!m_placementReapplied) {
        ApplyPlacement(TRUE);
        m_placementReapplied = TRUE;
    }
    return DefaultProcessing(WM_SYSCOMMAND, wParam, lParam);
}

LRESULT MainFrame::OnSize(WPARAM wParam, LPARAM lParam) {
    if (!IsWindowVisible(GetHwnd())) return 0;
    int width = LOWORD(lParam);
    int height = HIWORD(lParam);
    if (m_rebar != NULL) m_rebar->Resize(width);
    if (m_statusBar != NULL && m_statusBar->GetHwnd() != NULL) {
        ::SendMessageA(m_statusBar->GetHwnd(), WM_SIZE, wParam, lParam);
    }
    LayOut(width, height);
    return 0;
}

void MainFrame::LayOut(int width, int height) {
    if (m_scanView == NULL || m_scanView->GetHwnd() == NULL) return;
    int top = m_rebar != NULL ? m_rebar->GetHeight() : 0;
    int bottom = m_statusBar != NULL ? m_statusBar->GetHeight() : 0;
    int viewHeight = height - top - bottom;
    if (viewHeight < 0) viewHeight = 0;
    m_scanView->Move(0, top, width, viewHeight, FALSE);
}

void MainFrame::SavePlacement() {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(GetHwnd(), &placement)) return;
    m_settings.window = placement.rcNormalPosition;
    BOOL maximised =
        placement.showCmd == SW_SHOWMAXIMIZED ||
        (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0);
    m_settings.showCommand = maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
}

LRESULT MainFrame::OnDestroy(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    HWND hwnd = GetHwnd();
    SavePlacement();
    ShowWindow(hwnd, SW_HIDE);
    if (m_scanView != NULL) m_scanView->Destroy();
    if (m_rebar != NULL) m_rebar->Destroy();
    OwnedMenu menu(GetMenu(hwnd));
    SetMenu(hwnd, NULL);
    menu.Close();
    if (m_application != NULL) {
        m_application->Quit();
    } else {
        PostQuitMessage(1);
    }
    return 0;
}

LRESULT MainFrame::OnSysColorChange(WPARAM wParam, LPARAM lParam) {
    BroadcastToChildren(WM_SYSCOLORCHANGE, wParam, lParam);
    return 0;
}

LRESULT MainFrame::OnDeviceChange(WPARAM, LPARAM) {
    // The port menu follows ports that appear and vanish.
    if (m_devicePort != NULL) m_devicePort->RequestPortScan();
    return 0;
}

LRESULT MainFrame::OnSettingChange(WPARAM wParam, LPARAM lParam) {
    if (m_devicePort != NULL) m_devicePort->RequestPortScan();
    BroadcastToChildren(WM_SETTINGCHANGE, wParam, lParam);
    return 0;
}

LRESULT MainFrame::OnSetFocus(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnMenuSelect(WPARAM wParam, LPARAM) {
    const WORD item = LOWORD(wParam);
    if (item < kFirstPopupItem) {
        OnStatusText(0, 0);
    } else {
        OnMenuHelp(item, 0);
    }
    return 0;
}

LRESULT MainFrame::OnDrawItem(WPARAM wParam, LPARAM lParam) {
    const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item != NULL && item->CtlID == StatusBar::kControlId && m_statusBar != NULL &&
        m_statusBar->GetHwnd() != NULL) {
        ::SendMessageA(m_statusBar->GetHwnd(), WM_DRAWITEM, wParam, lParam);
    }
    return 0;
}

void MainFrame::LeavePrintPreview() {
    OnPrintPreview(ID_PRINT_EXIT, 0, 0);
}

void MainFrame::RepaintPreview(int flags) {
    if (m_printView != NULL) m_printView->PaintPreview(flags);
}

void MainFrame::OnPrinterSelected() {
    if (!m_printPreview) return;
    const LRESULT selected = m_rebar->SendItemMessage(kPrinterList, CB_GETCURSEL, 0, 0);
    // No print band, no list or an empty one: there is no printer to preview
    // on. The list's first entry is a printer like the others.
    if (selected == CB_ERR || !HasPrinterList()) {
        LeavePrintPreview();
        ShowBox(LoadText(IDS_NO_PRINTER), MB_ICONERROR);
        return;
    }
    RepaintPreview(PrintView::kRefreshPage);
}

void MainFrame::OnZoomNotify(UINT code) {
    if (m_printView == NULL) return;
    if (code == kSelectionChanged) {
        const LRESULT selected = m_rebar->SendItemMessage(kZoomList, CB_GETCURSEL, 0, 0);
        const LRESULT count = m_rebar->SendItemMessage(kZoomList, CB_GETCOUNT, 0, 0);
        // The list's last entry fits the page to the window.
        if (selected == count - 1) {
            m_printView->ZoomToFit();
        } else {
            m_printView->OnZoomSelect();
        }
        RepaintPreview(PrintView::kRefreshZoom);
    } else if (code == kFocusGained || code == kFocusLost) {
        m_printView->ShowZoom();
    } else if (code == kEditChanged) {
        m_printView->OnZoomEdit();
        RepaintPreview(PrintView::kRefreshZoom);
    }
}

LRESULT MainFrame::OnNotify(WPARAM, LPARAM lParam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == NULL || m_rebar == NULL || m_scanView == NULL) return 0;
    if (header->idFrom == kPrinterList && header->code == kSelectionChanged) {
        OnPrinterSelected();
    } else if (header->idFrom == kZoomList) {
        OnZoomNotify(header->code);
    } else if (header->idFrom == static_cast<UINT_PTR>(Rebar::kControlId) && header->code == RBN_HEIGHTCHANGE) {
        RECT client;
        if (GetClientRect(GetHwnd(), &client)) LayOut(client.right, client.bottom);
    }
    return 0;
}

BOOL MainFrame::ViewScreenRect(RECT* rect) {
    HWND hwnd = GetHwnd();
    if (!GetClientRect(hwnd, rect)) return FALSE;
    MapWindowPoints(hwnd, NULL, reinterpret_cast<POINT*>(rect), 2);
    if (m_rebar != NULL) rect->top += m_rebar->GetHeight();
    if (m_statusBar != NULL) rect->bottom -= m_statusBar->GetHeight();
    return TRUE;
}

LRESULT MainFrame::OnMove(WPARAM, LPARAM) {
    if (!IsWindowVisible(GetHwnd())) return 0;
    RECT rect;
    if (!ViewScreenRect(&rect)) return 0;
    // Same size as before: the window moved, the view keeps its picture.
    const BOOL sameSize = rect.right - rect.left == m_lastViewRect.right - m_lastViewRect.left &&
                          rect.bottom - rect.top == m_lastViewRect.bottom - m_lastViewRect.top;
    if (sameSize && m_scanView != NULL) m_scanView->SetLastWindowRect(&rect);
    m_lastViewRect = rect;
    return 0;
}

LRESULT MainFrame::OnClose(WPARAM, LPARAM) {
    if (m_printPreview) {
        LeavePrintPreview();
        return 0;
    }
    if (!PromptSaveArea()) return 0;
    if (!PromptSaveRecord()) return 0;
    // The prompts' modal loops may have seen the window go already.
    if (GetHwnd() != NULL && IsWindow(GetHwnd())) DestroyWindow(GetHwnd());
    return 0;
}

LRESULT MainFrame::OnChar(WPARAM wParam, LPARAM) {
    if (wParam == kEscape && m_scanView != NULL) m_scanView->CancelDrag();
    return 0;
}

LRESULT MainFrame::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    const int delta = static_cast<SHORT>(HIWORD(wParam));
    POINT cursor = {static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
    HWND hwnd = GetHwnd();
    POINT client = cursor;
    ScreenToClient(hwnd, &client);
    HWND under = ChildWindowFromPointEx(hwnd, client, CWP_SKIPINVISIBLE);
    if (m_scanView != NULL && under != NULL && under == m_scanView->GetHwnd()) {
        POINT inView = cursor;
        ScreenToClient(under, &inView);
        m_scanView->FitRectToClient(inView.x, inView.y, delta >= 0 ? 1 : 0);
    } else if (delta < 0) {
        OnNextArea(ID_AREA_NEXT, 0, 0);
    } else {
        OnPreviousArea(ID_AREA_PREVIOUS, 0, 0);
    }
    return 0;
}
