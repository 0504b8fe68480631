#include "mainwindow/MainFrame.h"

#include "framework/LanguageResource.h"
#include "framework/ResourceString.h"
#include "resources/MenuIds.h"

#include <string>

// The menu bar and the operations that keep menus, bands and status bar in
// line with the program's state. The updates are called after each change
// of state; they fill in as the commands they follow are built.

void MainFrame::BuildMenus() {
    HWND hwnd = GetHwnd();
    LanguageResource language;
    HMODULE module = language.GetModule();
    HMENU bar = LoadMenuA(module, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    if (bar == NULL) return;
    if (m_inspect) AppendEngineeringMenu(bar, module, IDR_INSPECT_MENU, IDS_INSPECT_MENU);
    if (m_develop) AppendEngineeringMenu(bar, module, IDR_DEVELOP_MENU, IDS_DEVELOP_MENU);
    HMENU old = GetMenu(hwnd);
    SetMenu(hwnd, bar);
    if (old != NULL) DestroyMenu(old);
    DrawMenuBar(hwnd);
}

void MainFrame::AppendEngineeringMenu(HMENU bar, HMODULE module, UINT menuId, UINT titleId) {
    HMENU popup = LoadMenuA(module, MAKEINTRESOURCEA(menuId));
    if (popup == NULL) return;
    ResourceString title(module);
    std::string text = title.Load(titleId);
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE | MIIM_SUBMENU | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.hSubMenu = popup;
    item.dwTypeData = &text[0];
    if (!InsertMenuItemA(bar, static_cast<UINT>(GetMenuItemCount(bar)), TRUE, &item)) DestroyMenu(popup);
}

void MainFrame::UpdateViewMenu() {}

void MainFrame::UpdateCommunicationMenu() {}

void MainFrame::BuildPortMenu(DWORD*) {}

void MainFrame::UpdateAreaMenu() {}

void MainFrame::UpdateDeviceMenu() {}

void MainFrame::UpdateHelpMenu() {}

void MainFrame::UpdateInspectDevelopMenus() {}

void MainFrame::Relayout() {
    RECT client;
    if (!GetClientRect(GetHwnd(), &client)) return;
    OnSize(0, MAKELPARAM(client.right - client.left, client.bottom - client.top));
}

void MainFrame::BroadcastToChildren(UINT, WPARAM, LPARAM) {}
