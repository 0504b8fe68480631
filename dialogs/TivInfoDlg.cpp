#include "dialogs/TivInfoDlg.h"

#include "dialogs/TivInfoText.h"
#include "framework/LanguageResource.h"
#include "protocol/DevicePort.h"
#include "resources/resource.h"
#include "sensor/SensorCaps.h"

#include <vector>

TivInfoDlg::TivInfoDlg()
    : SensorDialog("TivInfoDlg"),
      m_tree(NULL),
      m_versionItem(NULL),
      m_functionsRoot(NULL),
      m_troubleItem(NULL),
      m_statisticsRoot(NULL),
      m_statistics(FALSE) {
    AddMessageHandler(WM_INITDIALOG, Handler(&TivInfoDlg::OnInitDialog));
    AddMessageHandler(WM_DESTROY, Handler(&TivInfoDlg::OnDestroy));
}

TivInfoDlg::~TivInfoDlg() {
    // While this object is whole: the polling is switched off again.
    Destroy();
}

BOOL TivInfoDlg::Show(HINSTANCE instance, HWND owner, BOOL statistics) {
    if (GetSensorCaps() == NULL || GetDevicePort() == NULL || IsOpen()) return FALSE;
    SetInstance(instance);
    SetParent(owner);
    m_statistics = statistics ? TRUE : FALSE;
    // The tree's class must exist before the template's controls are made.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    return CreateModeless(MAKEINTRESOURCEA(kTemplate), owner);
}

HWND TivInfoDlg::Create(HINSTANCE instance, HWND parent) {
    if (Show(instance, parent, m_statistics)) {
        RefreshVersion();
        RefreshFunctions();
    }
    return GetHwnd();
}

HMODULE TivInfoDlg::TextModule() const {
    return LanguageResource().GetModule();
}

HTREEITEM TivInfoDlg::AddItem(HTREEITEM parent, const std::string& text) {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text.c_str());
    return reinterpret_cast<HTREEITEM>(SendMessageA(m_tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TivInfoDlg::SetItemText(HTREEITEM item, const std::string& text) {
    TVITEMA change = {};
    change.mask = TVIF_TEXT;
    change.hItem = item;
    change.pszText = const_cast<char*>(text.c_str());
    SendMessageA(m_tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change));
}

HTREEITEM TivInfoDlg::FirstChild(HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(m_tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
}

void TivInfoDlg::DeleteChildren(HTREEITEM item) {
    for (HTREEITEM child = FirstChild(item); child != NULL; child = FirstChild(item))
        SendMessageA(m_tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child));
}

HTREEITEM TivInfoDlg::AddBranch(UINT label, HTREEITEM* child) {
    TivInfoText text(TextModule());
    HTREEITEM branch = AddItem(TVI_ROOT, text.Load(label));
    HTREEITEM first = AddItem(branch, text.Load(IDS_INFO_UNACQUIRABLE));
    if (child != NULL) *child = first;
    return branch;
}

void TivInfoDlg::ExpandAll() {
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(m_tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    while (item != NULL) {
        SendMessageA(m_tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        item = reinterpret_cast<HTREEITEM>(
            SendMessageA(m_tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(item)));
    }
}

void TivInfoDlg::SwitchPolling(DWORD on) {
    DevicePort* port = GetDevicePort();
    if (port == NULL) return;
    port->SetTroublePolling(on);
    if (m_statistics) port->SetStatisticsPolling(on);
}

LRESULT TivInfoDlg::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    m_tree = GetDlgItem(GetHwnd(), IDC_INFO_TREE);
    AddBranch(IDS_INFO_VERSION, &m_versionItem);
    m_functionsRoot = AddBranch(IDS_INFO_FUNCTIONS, NULL);
    AddBranch(IDS_INFO_TROUBLE, &m_troubleItem);
    m_statisticsRoot = m_statistics ? AddBranch(IDS_INFO_STATISTICS, NULL) : NULL;
    ExpandAll();
    SwitchPolling(1);
    return Dialog::OnInitDialog(wParam, lParam);
}

LRESULT TivInfoDlg::OnDestroy(WPARAM wParam, LPARAM lParam) {
    SwitchPolling(0);
    // Reports keep coming (a trouble report on every link drop): with the
    // handles gone they find nothing to change.
    m_tree = NULL;
    m_versionItem = NULL;
    m_functionsRoot = NULL;
    m_troubleItem = NULL;
    m_statisticsRoot = NULL;
    return Dialog::OnDestroy(wParam, lParam);
}

void TivInfoDlg::RefreshVersion() {
    SensorCaps* caps = GetSensorCaps();
    if (m_versionItem == NULL || caps == NULL) return;
    SetItemText(m_versionItem, TivInfoText(TextModule()).VersionLine(*caps));
}

void TivInfoDlg::RefreshFunctions() {
    SensorCaps* caps = GetSensorCaps();
    if (m_functionsRoot == NULL || caps == NULL) return;
    DeleteChildren(m_functionsRoot);
    for (const std::string& line : TivInfoText(TextModule()).FunctionLines(*caps)) AddItem(m_functionsRoot, line);
    SendMessageA(m_tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(m_functionsRoot));
}

void TivInfoDlg::SetTrouble(BYTE code) {
    if (m_troubleItem == NULL) return;
    SetItemText(m_troubleItem, TivInfoText(TextModule()).TroubleLine(code));
}

void TivInfoDlg::SetStatistics(const void* counts) {
    if (m_statisticsRoot == NULL) return;
    TivInfoText text(TextModule());
    HTREEITEM child = FirstChild(m_statisticsRoot);
    if (counts == NULL) {
        // One child stays: the first ones go while another follows.
        while (child != NULL) {
            HTREEITEM next = reinterpret_cast<HTREEITEM>(
                SendMessageA(m_tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
            if (next == NULL) break;
            SendMessageA(m_tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child));
            child = next;
        }
        if (child != NULL) {
            SetItemText(child, text.Load(IDS_INFO_UNACQUIRABLE));
        } else {
            AddItem(m_statisticsRoot, text.Load(IDS_INFO_UNACQUIRABLE));
        }
        return;
    }
    const DWORD* counters = static_cast<const DWORD*>(counts);
    for (int i = 0; i < TivInfoText::kCounterCount; ++i) {
        const std::string line = text.CounterLine(i, counters[i]);
        if (child != NULL) {
            SetItemText(child, line);
            child = reinterpret_cast<HTREEITEM>(
                SendMessageA(m_tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
        } else {
            AddItem(m_statisticsRoot, line);
        }
    }
    SendMessageA(m_tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(m_statisticsRoot));
}

void TivInfoDlg::OnFunctionsChanged() {
    RefreshFunctions();
}

void TivInfoDlg::OnFunctionWritten(DWORD result) {
    if (result == 1) RefreshFunctions();
}
