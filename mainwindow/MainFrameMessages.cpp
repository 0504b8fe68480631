#include "mainwindow/MainFrame.h"

#include "mainwindow/Application.h"
#include "mainwindow/Rebar.h"
#include "mainwindow/ScanView.h"
#include "mainwindow/StatusBar.h"
#include "mainwindow/ViewMessages.h"
#include "protocol/DevicePort.h"

// The frame's standard window messages: creation, placement, layout and
// destruction. Messages whose work is still to come are passed to the
// default window procedure, as if the frame had no handler for them.

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
    UpdateViewMenu();
    UpdateCommunicationMenu();
    UpdateAreaMenu();
    UpdateDeviceMenu();
    UpdateHelpMenu();
    UpdateInspectDevelopMenus();
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
    BOOL realtime = m_scanView != NULL && m_scanView->TestDrawItem(ScanView::kDrawRealtime);
    m_devicePort->SetRealtime(realtime ? 1 : 0);
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
    HMENU menu = GetMenu(hwnd);
    SetMenu(hwnd, NULL);
    if (menu != NULL) DestroyMenu(menu);
    if (m_application != NULL) {
        m_application->Quit();
    } else {
        PostQuitMessage(1);
    }
    return 0;
}

LRESULT MainFrame::OnSysColorChange(WPARAM wParam, LPARAM lParam) {
    return DefaultProcessing(WM_SYSCOLORCHANGE, wParam, lParam);
}

LRESULT MainFrame::OnDeviceChange(WPARAM wParam, LPARAM lParam) {
    return DefaultProcessing(WM_DEVICECHANGE, wParam, lParam);
}

LRESULT MainFrame::OnSettingChange(WPARAM wParam, LPARAM lParam) {
    return DefaultProcessing(WM_SETTINGCHANGE, wParam, lParam);
}

LRESULT MainFrame::OnSetFocus(WPARAM, LPARAM) {
    return 0;
}

LRESULT MainFrame::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
    return DefaultProcessing(WM_MENUSELECT, wParam, lParam);
}

LRESULT MainFrame::OnDrawItem(WPARAM wParam, LPARAM lParam) {
    return DefaultProcessing(WM_DRAWITEM, wParam, lParam);
}

LRESULT MainFrame::OnNotify(WPARAM wParam, LPARAM lParam) {
    return DefaultProcessing(WM_NOTIFY, wParam, lParam);
}

LRESULT MainFrame::OnMove(WPARAM wParam, LPARAM lParam) {
    return DefaultProcessing(WM_MOVE, wParam, lParam);
}

LRESULT MainFrame::OnClose(WPARAM wParam, LPARAM lParam) {
    return DefaultProcessing(WM_CLOSE, wParam, lParam);
}

LRESULT MainFrame::OnChar(WPARAM wParam, LPARAM lParam) {
    return DefaultProcessing(WM_CHAR, wParam, lParam);
}

LRESULT MainFrame::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    return DefaultProcessing(WM_MOUSEWHEEL, wParam, lParam);
}
