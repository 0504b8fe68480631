#include "mainwindow/frame/MainFrame.h"

#include "dialogs/NumericalInputDlg.h"
#include "framework/HandleOwner.h"
#include "framework/LanguageResource.h"
#include "framework/ResourceString.h"
#include "mainwindow/bands/Rebar.h"
#include "mainwindow/frame/FrameHost.h"
#include "mainwindow/frame/StatusBar.h"
#include "mainwindow/view/ScanView.h"
#include "protocol/DevicePort.h"
#include "resources/MenuIds.h"
#include "resources/ToolBandIds.h"
#include "sensor/AreaSet.h"
#include "sensor/MeasuringData.h"
#include "sensor/ScanShape.h"
#include "sensor/SensorCaps.h"

#include <cstdio>
#include <string>

// The menu bar and the operations that keep menus, bands and status bar in
// line with the program's state. The updates are called after each change
// of state. Items are found by command id wherever they sit in the bar (a
// language module's menu may order its popups differently), and radio marks
// are set item by item, so no id between those of a group is ever touched.

namespace {

const int kHighestPort = 256;
const int kPortWords = 8;

const UINT kTwoScanIndicators[] = {ID_AREA_TWO_SCAN0, ID_AREA_TWO_SCAN1, ID_AREA_TWO_SCAN2};

// Need a linked sensor.
const UINT kLinkedCommands[] = {ID_COMM_READ_AREA, ID_COMM_WRITE_AREA, ID_COMM_RECORD, ID_COMM_SENSOR_INFO,
                                ID_COMM_IO_TEST};
const UINT kLinkedBandCommands[] = {ID_COMM_READ_AREA, ID_COMM_WRITE_AREA, ID_COMM_RECORD};
const UINT kViewModes[] = {ID_VIEW_EDIT_AREA, ID_VIEW_MOVE, ID_VIEW_ZOOM};
// Automatic recognition, then the rates by index.
const UINT kDeviceChoices[] = {ID_SETTING_AUTO_RECOGNITION, ID_SETTING_19200, ID_SETTING_57600,
                               ID_SETTING_115200};
const UINT kTroubleCommands[] = {ID_INSPECT_LED_TROUBLE, ID_INSPECT_PHOTOINTERRUPTER_TROUBLE,
                                 ID_INSPECT_MOTOR_TROUBLE};

// Sets or clears an item's check mark and leaves the rest of its state.
void SetCheck(HMENU menu, UINT item, BOOL byPosition, BOOL checked) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    if (!GetMenuItemInfoA(menu, item, byPosition, &info)) return;
    info.fState = checked ? (info.fState | MFS_CHECKED) : (info.fState & ~static_cast<UINT>(MFS_CHECKED));
    SetMenuItemInfoA(menu, item, byPosition, &info);
}

void CheckCommand(HMENU menu, UINT id, BOOL checked) {
    SetCheck(menu, id, FALSE, checked);
}

// One member of a radio group: drawn as a radio item, marked when chosen.
void SetRadio(HMENU menu, UINT item, BOOL byPosition, BOOL chosen) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    if (!GetMenuItemInfoA(menu, item, byPosition, &info)) return;
    info.fType |= MFT_RADIOCHECK;
    SetMenuItemInfoA(menu, item, byPosition, &info);
    SetCheck(menu, item, byPosition, chosen);
}

void EnableCommand(HMENU menu, UINT id, BOOL enabled) {
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

// The popup, at any depth, that holds the item with that command id.
HMENU PopupHolding(HMENU menu, UINT id) {
    if (menu == NULL) return NULL;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        HMENU popup = GetSubMenu(menu, i);
        if (popup == NULL) {
            if (GetMenuItemID(menu, i) == id) return menu;
        } else {
            HMENU found = PopupHolding(popup, id);
            if (found != NULL) return found;
        }
    }
    return NULL;
}

// Writes port item k of the Port popup, over an existing item or as a new one.
void PutPortItem(HMENU ports, int position, BOOL overwrite, int number) {
    char text[16];
    snprintf(text, sizeof text, "COM%d", number);
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
    item.fType = MFT_STRING | MFT_RADIOCHECK;
    item.wID = ID_COMM_PORT_FIRST + static_cast<UINT>(number - 1);
    item.dwTypeData = text;
    if (overwrite) {
        SetMenuItemInfoA(ports, static_cast<UINT>(position), TRUE, &item);
    } else {
        InsertMenuItemA(ports, static_cast<UINT>(position), TRUE, &item);
    }
}

BOOL CALLBACK SendToChild(HWND child, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    ::SendMessageA(child, message->message, message->wParam, message->lParam);
    return TRUE;
}

}  // namespace

void MainFrame::BuildMenus() {
    HWND hwnd = GetHwnd();
    LanguageResource language;
    HMODULE module = language.GetModule();
    OwnedMenu bar(LoadMenuA(module, MAKEINTRESOURCEA(IDR_MAIN_MENU)));
    if (!bar.Valid()) return;
    if (m_inspect) AppendEngineeringMenu(bar, module, IDR_INSPECT_MENU, IDS_INSPECT_MENU);
    if (m_develop) AppendEngineeringMenu(bar, module, IDR_DEVELOP_MENU, IDS_DEVELOP_MENU);
    OwnedMenu old(GetMenu(hwnd));
    // The window takes the new bar and gives the old one back to be destroyed.
    if (SetMenu(hwnd, bar)) {
        bar.Release();
    } else {
        old.Release();  // still the window's
    }
    DrawMenuBar(hwnd);
}

void MainFrame::AppendEngineeringMenu(HMENU bar, HMODULE module, UINT menuId, UINT titleId) {
    OwnedMenu popup(LoadMenuA(module, MAKEINTRESOURCEA(menuId)));
    if (!popup.Valid()) return;
    ResourceString title(module);
    std::string text = title.Load(titleId);
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE | MIIM_SUBMENU | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.hSubMenu = popup;
    item.dwTypeData = &text[0];
    const UINT end = static_cast<UINT>(GetMenuItemCount(bar));
    if (InsertMenuItemA(bar, end, TRUE, &item)) popup.Release();  // the bar holds it now
}

int MainFrame::LinkLevel() {
    return m_devicePort != NULL ? m_devicePort->GetLinkLevel() : 0;
}

BOOL MainFrame::HasCapability(int id) {
    return m_workspace.sensorCaps != NULL && m_workspace.sensorCaps->HasCapability(id) == 1;
}

DWORD MainFrame::RecordedScans() {
    return m_workspace.measuringData != NULL ? m_workspace.measuringData->Count() : 0;
}

void MainFrame::UpdateMenus() {
    UpdateViewMenu();
    UpdateCommunicationMenu();
    UpdateAreaMenu();
    UpdateDeviceMenu();
    UpdateHelpMenu();
    UpdateInspectDevelopMenus();
}

void MainFrame::UpdateViewMenu() {
    if (m_scanView == NULL) return;
    HMENU bar = GetMenu(GetHwnd());
    BOOL toolbar = m_settings.toolbarVisible != 0;
    CheckCommand(bar, ID_VIEW_TOOLBAR, toolbar);
    if (m_rebar != NULL) m_rebar->Show(toolbar ? SW_SHOW : SW_HIDE);
    BOOL statusbar = m_settings.statusbarVisible != 0;
    CheckCommand(bar, ID_VIEW_STATUSBAR, statusbar);
    if (m_statusBar != NULL) m_statusBar->Show(statusbar ? SW_SHOW : SW_HIDE);

    static const struct {
        UINT id;
        WORD layer;
    } kLayers[] = {
        {ID_VIEW_REALTIME, ScanView::kDrawRealtime},
        {ID_VIEW_RECORD, ScanView::kDrawRecord},
        {ID_VIEW_AREA, ScanView::kDrawArea},
    };
    for (const auto& layer : kLayers) {
        BOOL shown = m_scanView->TestDrawItem(layer.layer) == 1;
        CheckCommand(bar, layer.id, shown);
        if (m_rebar != NULL) m_rebar->SetItemCheck(layer.id, shown);
    }
    ScanShape* realtime = m_workspace.realtimeScan;
    CheckCommand(bar, ID_VIEW_LINE_DRAWING, realtime != NULL && realtime->IsOutlineOnly() == 1);
    EnableCommand(bar, ID_VIEW_PLAY_BACK, RecordedScans() != 0);
    CheckCommand(bar, ID_VIEW_SELECTED_BY_SENSOR, m_selectedBySensor);
    if (m_devicePort != NULL) EnableCommand(bar, ID_VIEW_SELECTED_BY_SENSOR, LinkLevel() != 0);

    // Vertex placement and print preview choose none of the three.
    int mode = m_scanView->GetMode();
    for (int i = 0; i < 3; ++i) {
        SetRadio(bar, kViewModes[i], FALSE, mode == i);
        if (m_rebar == NULL) continue;
        // A band's radio button is cleared only by its own message.
        if (mode == i) {
            m_rebar->SetItemCheck(kViewModes[i], 1);
        } else {
            m_rebar->SendItemMessage(kViewModes[i], BM_SETCHECK, 0, 0);
        }
    }
    CheckCommand(bar, ID_VIEW_GRID_CIRCLE, m_gridCircle);
    if (m_rebar != NULL) m_rebar->SetItemCheck(ID_VIEW_GRID_CIRCLE, m_gridCircle);
}

void MainFrame::UpdateCommunicationMenu() {
    int port = m_settings.comPort;
    // The firmware update reopens this port.
    if (m_application != NULL) m_application->SetValue4(static_cast<DWORD>(port));
    MarkSelectedPort();
    HMENU bar = GetMenu(GetHwnd());
    BOOL linked = LinkLevel() != 0;
    for (UINT id : kLinkedCommands) EnableCommand(bar, id, linked);
    if (m_rebar != NULL) {
        for (UINT id : kLinkedBandCommands) m_rebar->EnableItem(id, linked);
    }
    EnableCommand(bar, ID_COMM_CLEAR_RECORD, RecordedScans() != 0);
    UpdatePortPart();
}

// The radio mark of the Port popup: the selected port, else "Disconnect".
void MainFrame::MarkSelectedPort() {
    int port = m_settings.comPort;
    HMENU ports = PopupHolding(GetMenu(GetHwnd()), ID_COMM_DISCONNECT);
    UINT chosen = port >= 1 && port <= kHighestPort ? ID_COMM_PORT_FIRST + static_cast<UINT>(port - 1)
                                                    : static_cast<UINT>(ID_COMM_DISCONNECT);
    int count = ports != NULL ? GetMenuItemCount(ports) : 0;
    for (int i = 0; i < count; ++i) {
        UINT id = GetMenuItemID(ports, i);
        if (id == ID_COMM_DISCONNECT || (id >= ID_COMM_PORT_FIRST && id <= ID_COMM_PORT_LAST))
            SetRadio(ports, static_cast<UINT>(i), TRUE, id == chosen);
    }
}

void MainFrame::UpdatePortPart() {
    if (m_statusBar != NULL) m_statusBar->SetPort(m_settings.comPort, LinkLevel(), m_settings.deviceType);
}

void MainFrame::BuildPortMenu(const DWORD* portBits) {
    HMENU ports = PopupHolding(GetMenu(GetHwnd()), ID_COMM_DISCONNECT);
    if (ports == NULL || portBits == NULL) return;
    // The popup ends with the separator and "Disconnect".
    int items = GetMenuItemCount(ports) - 2;
    if (items < 0) items = 0;
    int found = 0;
    for (int word = 0; word < kPortWords; ++word) {
        for (int bit = 0; bit < 32; ++bit) {
            if ((portBits[word] >> bit & 1) == 0) continue;
            int number = 32 * word + bit + 1;
            PutPortItem(ports, found, found < items, number);
            if (found >= items) ++items;
            ++found;
        }
    }
    for (; items > found; --items) DeleteMenu(ports, static_cast<UINT>(found), MF_BYPOSITION);
    MarkSelectedPort();
}

void MainFrame::UpdateAreaMenu() {
    if (m_workspace.sensorCaps == NULL) return;
    AreaSet* areas = m_workspace.areaSet;
    int area = 0;
    WORD flags = 0;
    BYTE twoScan = 0;
    BYTE mirror = 0;
    BYTE halfHysteresis = 0;
    if (areas != NULL) {
        area = areas->GetCurrentIndex();
        flags = areas->GetPackedFlags();
        twoScan = areas->Get2ScanMode();
        mirror = areas->GetMirrorReflectionMode();
        DetectionArea* current = areas->GetCurrentArea();
        if (current != NULL) halfHysteresis = current->GetHalfHysteresis();
    }
    // Where the sensor cannot choose, the fixed shape it has; -1 when it has
    // none of them, which selects no shape.
    int shape = -1;
    if (HasCapability(SensorCaps::kCapShapeSelectable)) {
        shape = areas != NULL ? areas->GetEffectivePartitionShape() : 0;
    } else {
        if (HasCapability(SensorCaps::kCapShapeStraight)) shape = 0;
        if (HasCapability(SensorCaps::kCapShapeFan)) shape = 1;
    }
    // Options the sensor lacks show as the sensor treats them.
    if (!HasCapability(SensorCaps::kCap2ScanMode)) {
        twoScan = (twoScan & 1) ? 3 : 0;
        flags = static_cast<WORD>((flags & ~7) | ((flags & 1) ? 7 : 0));
    }
    if (!HasCapability(SensorCaps::kCapMirrorReflection)) {
        mirror = 0;
        flags &= static_cast<WORD>(~0x20);
    }
    if (!HasCapability(SensorCaps::kCapHalfHysteresis)) {
        halfHysteresis = 0;
        flags &= static_cast<WORD>(~0x40);
    }

    HMENU bar = GetMenu(GetHwnd());
    HMENU choice = PopupHolding(bar, ID_AREA_SELECT1);
    for (int i = 0; i < kAreaCount && choice != NULL; ++i) SetRadio(choice, static_cast<UINT>(i), TRUE, i == area);
    if (m_rebar != NULL) {
        BOOL editorOpen = m_numericalInputDlg != NULL && m_numericalInputDlg->IsOpen();
        m_rebar->SetItemCheck(ID_AREA_NUMERICAL_INPUT, editorOpen);
        m_rebar->SelectComboItem(IDC_AREA_CHOICE, area);
        m_rebar->SelectComboItem(IDC_OUTPUT_SHAPE, shape);
        for (int bit = 0; bit < 3; ++bit) m_rebar->SetItemCheck(kTwoScanIndicators[bit], (twoScan >> bit) & 1);
        m_rebar->SetItemCheck(ID_AREA_MIRROR, mirror != 0);
        m_rebar->SetItemCheck(ID_AREA_HALF_HYSTERESIS, halfHysteresis != 0);
    }
    // While the sensor chooses the area, the user cannot.
    BOOL locked = m_selectedBySensor && LinkLevel() != 0;
    ShowAreaOptions(area, locked);
    if (m_statusBar != NULL) m_statusBar->SetArea(area, flags, m_selectedBySensor);
}

void MainFrame::ShowAreaOptions(int area, BOOL locked) {
    HMENU bar = GetMenu(GetHwnd());
    BOOL free = !locked;
    BOOL hasNext = free && area < kAreaCount - 1;
    BOOL hasPrevious = free && area != 0;
    EnableCommand(bar, ID_AREA_NUMERICAL_INPUT, free);
    for (UINT id = ID_AREA_SELECT1; id <= ID_AREA_SELECT7; ++id) EnableCommand(bar, id, free);
    EnableCommand(bar, ID_AREA_NEXT, hasNext);
    EnableCommand(bar, ID_AREA_PREVIOUS, hasPrevious);
    if (m_rebar == NULL) return;
    m_rebar->EnableItem(ID_AREA_NUMERICAL_INPUT, free);
    m_rebar->EnableItem(IDC_AREA_CHOICE, free);
    m_rebar->EnableItem(ID_AREA_NEXT, hasNext);
    m_rebar->EnableItem(ID_AREA_PREVIOUS, hasPrevious);
    m_rebar->EnableItem(IDC_OUTPUT_SHAPE, free && HasCapability(SensorCaps::kCapShapeSelectable));
    // The option indicators only show the area's options.
    for (UINT id : kTwoScanIndicators) m_rebar->EnableItem(id, FALSE);
    m_rebar->EnableItem(ID_AREA_MIRROR, FALSE);
    m_rebar->EnableItem(ID_AREA_HALF_HYSTERESIS, FALSE);
}

void MainFrame::UpdateDeviceMenu() {
    int type = m_settings.deviceType;
    UINT chosen = type >= 0 && type <= 2 ? kDeviceChoices[type + 1] : kDeviceChoices[0];
    HMENU bar = GetMenu(GetHwnd());
    for (UINT id : kDeviceChoices) SetRadio(bar, id, FALSE, id == chosen);
    UpdatePortPart();
}

void MainFrame::UpdateHelpMenu() {
    if (m_workspace.sensorCaps == NULL) return;
    BOOL canUpdate = LinkLevel() != 0 && HasCapability(SensorCaps::kCapHelp);
    HMENU bar = GetMenu(GetHwnd());
    EnableCommand(bar, ID_HELP_UPDATE, canUpdate);
    EnableCommand(bar, ID_HELP_UPDATE_BOOT, canUpdate);
}

void MainFrame::UpdateInspectDevelopMenus() {
    if (m_workspace.sensorCaps == NULL) return;
    // By command: the engineering popups sit wherever the bar ends.
    HMENU bar = GetMenu(GetHwnd());
    if (m_inspect) {
        BOOL troubles = HasCapability(SensorCaps::kCapInspectMenu);
        for (UINT id : kTroubleCommands) EnableCommand(bar, id, troubles);
    }
    if (m_develop) EnableCommand(bar, ID_DEVELOP_RAM_EDITOR, HasCapability(SensorCaps::kCapDevelopMenu));
}

void MainFrame::Relayout() {
    RECT client;
    if (!GetClientRect(GetHwnd(), &client)) return;
    OnSize(0, MAKELPARAM(client.right - client.left, client.bottom - client.top));
}

void MainFrame::BroadcastToChildren(UINT msg, WPARAM wParam, LPARAM lParam) {
    MSG message = {};
    message.message = msg;
    message.wParam = wParam;
    message.lParam = lParam;
    EnumChildWindows(GetHwnd(), &SendToChild, reinterpret_cast<LPARAM>(&message));
}
