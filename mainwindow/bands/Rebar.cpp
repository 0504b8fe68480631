#include "mainwindow/bands/Rebar.h"

#include "framework/IniFile.h"
#include "mainwindow/bands/AreaBand.h"
#include "mainwindow/bands/CommBand.h"
#include "mainwindow/bands/FileBand.h"
#include "mainwindow/bands/PortBand.h"
#include "mainwindow/bands/PrintBand.h"
#include "mainwindow/bands/ViewBand.h"

#include <commctrl.h>

#include <cstdio>

const char Rebar::kSection[] = "Rebar";

namespace {

const DWORD kStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER | RBS_DBLCLKTOGGLE |
                     RBS_BANDBORDERS | RBS_VARHEIGHT | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_TOP;
const UINT kFreshStyle = RBBS_VARIABLEHEIGHT | RBBS_GRIPPERALWAYS;

// The size older comctl32 versions accept; the ideal width is inside it.
REBARBANDINFOA BandInfo(UINT mask) {
    REBARBANDINFOA info = {};
    info.cbSize = REBARBANDINFOA_V6_SIZE;
    info.fMask = mask;
    return info;
}

// Keys of one position p = 1..6.
struct LayoutKeys {
    char id[16];
    char width[16];
    char style[16];
    explicit LayoutKeys(int position) {
        snprintf(id, sizeof id, "Band%dID", position);
        snprintf(width, sizeof width, "Band%dWidth", position);
        snprintf(style, sizeof style, "Band%dStyle", position);
    }
};

}  // namespace

Rebar::Rebar() : m_hwnd(NULL), m_instance(NULL), m_parent(NULL) {}

Rebar::~Rebar() {
    Destroy();
    DeleteBands();
}

HWND Rebar::Create(HINSTANCE instance, HWND parent) {
    if (m_hwnd != NULL) return m_hwnd;
    m_instance = instance;
    m_parent = parent;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_COOL_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    m_hwnd = CreateWindowExA(0, REBARCLASSNAMEA, NULL, kStyle, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)), instance, NULL);
    if (m_hwnd == NULL) return NULL;
    CreateBands();
    IniFile settings;
    Position layout[kBandCount];
    ReadLayout(&settings, layout);
    for (int i = 0; i < kBandCount; ++i) InsertBand(i, layout[i]);
    return m_hwnd;
}

void Rebar::CreateBands() {
    m_bands[FileBand::kBandId - kFirstBandId].reset(new FileBand);
    m_bands[PortBand::kBandId - kFirstBandId].reset(new PortBand);
    m_bands[ViewBand::kBandId - kFirstBandId].reset(new ViewBand);
    m_bands[CommBand::kBandId - kFirstBandId].reset(new CommBand);
    m_bands[AreaBand::kBandId - kFirstBandId].reset(new AreaBand);
    m_bands[PrintBand::kBandId - kFirstBandId].reset(new PrintBand);
}

void Rebar::DeleteBands() {
    for (std::unique_ptr<ToolBarPanel>& band : m_bands) band.reset();
}

void Rebar::ReadLayout(IniFile* settings, Position layout[kBandCount]) {
    BOOL seen[kBandCount] = {};
    BOOL valid = TRUE;
    for (int i = 0; i < kBandCount && valid; ++i) {
        LayoutKeys keys(i + 1);
        int id = settings->GetInt(kSection, keys.id, 0);
        int index = id - static_cast<int>(kFirstBandId);
        // Each band once: a repeated band would be inserted twice and another left out.
        valid = index >= 0 && index < kBandCount && !seen[index];
        if (!valid) break;
        seen[index] = TRUE;
        layout[i].id = static_cast<UINT>(id);
        layout[i].width = static_cast<UINT>(settings->GetInt(kSection, keys.width, 0));
        layout[i].style = static_cast<UINT>(settings->GetInt(kSection, keys.style, 0));
    }
    if (valid) return;
    for (int i = 0; i < kBandCount; ++i) layout[i] = Position{0, 0, 0};
}

void Rebar::InsertBand(int index, const Position& saved) {
    const BOOL fresh = saved.id == 0;
    const UINT bandId = fresh ? kFirstBandId + index : saved.id;
    ToolBarPanel* band = BandOf(bandId);
    if (band == NULL) return;
    HWND child = band->Create(m_instance, m_hwnd);
    RECT client = {};
    GetClientRect(child, &client);
    const UINT width = static_cast<UINT>(client.right - client.left);
    const UINT height = static_cast<UINT>(client.bottom - client.top);

    REBARBANDINFOA info = BandInfo(RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_ID |
                                   RBBIM_IDEALSIZE);
    info.fStyle = fresh ? kFreshStyle : saved.style;
    info.hwndChild = child;
    info.cxMinChild = 0;
    info.cyMinChild = height;
    info.cyChild = height;
    info.cyMaxChild = height;
    info.cx = fresh ? width : saved.width;
    info.wID = bandId;
    info.cxIdeal = width;
    SendMessageA(m_hwnd, RB_INSERTBANDA, index, reinterpret_cast<LPARAM>(&info));
    if (bandId == PrintBand::kBandId || (info.fStyle & RBBS_HIDDEN)) SendMessageA(m_hwnd, RB_SHOWBAND, index, FALSE);
    if (!fresh) return;
    // A fresh band is as wide as its strip plus the band's own borders.
    RECT borders = {};
    SendMessageA(m_hwnd, RB_GETBANDBORDERS, index, reinterpret_cast<LPARAM>(&borders));
    REBARBANDINFOA size = BandInfo(RBBIM_SIZE);
    size.cx = width + borders.left + borders.right;
    SendMessageA(m_hwnd, RB_SETBANDINFOA, index, reinterpret_cast<LPARAM>(&size));
}

BOOL Rebar::Destroy() {
    if (m_hwnd == NULL) return FALSE;
    BOOL destroyed = FALSE;
    // A window already gone with its parent has no layout to save.
    if (IsWindow(m_hwnd)) {
        IniFile settings;
        SaveLayout(&settings);
        while (SendMessageA(m_hwnd, RB_DELETEBAND, 0, 0)) {
        }
    }
    DeleteBands();
    if (IsWindow(m_hwnd)) destroyed = DestroyWindow(m_hwnd);
    m_hwnd = NULL;
    return destroyed;
}

void Rebar::SaveLayout(IniFile* settings) {
    for (int i = 0; i < kBandCount; ++i) {
        REBARBANDINFOA info = BandInfo(RBBIM_STYLE | RBBIM_SIZE | RBBIM_ID);
        if (!SendMessageA(m_hwnd, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&info))) {
            info.wID = 0;
            info.fStyle = 0;
            info.cx = 0;
        }
        LayoutKeys keys(i + 1);
        settings->WriteInt(kSection, keys.id, static_cast<int>(info.wID));
        settings->WriteInt(kSection, keys.style, static_cast<int>(info.fStyle));
        settings->WriteInt(kSection, keys.width, static_cast<int>(info.cx));
    }
}

HWND Rebar::GetHwnd() {
    return m_hwnd;
}

void Rebar::ForEachBand() {
    if (m_hwnd == NULL) return;
    for (int i = 0; i < kBandCount; ++i) {
        REBARBANDINFOA info = BandInfo(RBBIM_ID);
        if (!SendMessageA(m_hwnd, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&info))) continue;
        ToolBarPanel* band = BandOf(info.wID);
        if (band != NULL) band->InitItems();
    }
}

void Rebar::Resize(int width) {
    if (m_hwnd == NULL) return;
    MoveWindow(m_hwnd, 0, 0, width, GetHeight(), TRUE);
    InvalidateRect(m_hwnd, NULL, TRUE);
}

int Rebar::GetHeight() {
    if (!IsShown()) return 0;
    RECT rect;
    if (!GetWindowRect(m_hwnd, &rect)) return 0;
    return rect.bottom - rect.top;
}

void Rebar::Show(int showCommand) {
    if (m_hwnd != NULL) ShowWindow(m_hwnd, showCommand);
}

BOOL Rebar::IsShown() {
    // Its own visibility, whether or not the frame is shown yet.
    return m_hwnd != NULL && (GetWindowLongA(m_hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Rebar::ShowBand(UINT bandId, BOOL show) {
    if (m_hwnd == NULL) return;
    LRESULT index = SendMessageA(m_hwnd, RB_IDTOINDEX, bandId, 0);
    if (index < 0) return;
    SendMessageA(m_hwnd, RB_SHOWBAND, index, show);
}

BOOL Rebar::IsBandShown(UINT bandId) {
    if (m_hwnd == NULL) return FALSE;
    LRESULT index = SendMessageA(m_hwnd, RB_IDTOINDEX, bandId, 0);
    if (index < 0) return FALSE;
    REBARBANDINFOA info = BandInfo(RBBIM_STYLE);
    if (!SendMessageA(m_hwnd, RB_GETBANDINFOA, index, reinterpret_cast<LPARAM>(&info))) return FALSE;
    return (info.fStyle & RBBS_HIDDEN) == 0;
}

ToolBarPanel* Rebar::BandOf(UINT bandId) {
    // Ids come from the control and from the settings: bounded before use.
    if (bandId < kFirstBandId || bandId >= kFirstBandId + kBandCount) return NULL;
    return m_bands[bandId - kFirstBandId].get();
}

ToolBarPanel* Rebar::BandHolding(UINT itemId) {
    if (m_hwnd == NULL) return NULL;
    for (std::unique_ptr<ToolBarPanel>& band : m_bands) {
        if (band && band->HasItem(itemId)) return band.get();
    }
    return NULL;
}

BOOL Rebar::SetItemCheck(UINT id, int state) {
    ToolBarPanel* band = BandHolding(id);
    return band != NULL && band->SetItemCheck(id, state);
}

BOOL Rebar::EnableItem(UINT id, BOOL enable) {
    ToolBarPanel* band = BandHolding(id);
    return band != NULL && band->EnableItem(id, enable);
}

BOOL Rebar::SelectComboItem(UINT id, int index) {
    ToolBarPanel* band = BandHolding(id);
    return band != NULL && band->SelectComboItem(id, index);
}

LRESULT Rebar::SendItemMessage(UINT id, UINT msg, WPARAM wParam, LPARAM lParam) {
    ToolBarPanel* band = BandHolding(id);
    return band != NULL ? band->SendItemMessage(static_cast<int>(id), msg, wParam, lParam) : 0;
}

UINT Rebar::HoveredItem() {
    if (m_hwnd == NULL) return 0;
    for (std::unique_ptr<ToolBarPanel>& band : m_bands) {
        if (band && band->HoveredItem() != 0) return band->HoveredItem();
    }
    return 0;
}

HWND Rebar::GetItemWindow(UINT id) {
    ToolBarPanel* band = BandHolding(id);
    return band != NULL ? GetDlgItem(band->GetHwnd(), static_cast<int>(id)) : NULL;
}
