#include "framework/ToolBarPanel.h"

#include "framework/GdiObject.h"
#include "framework/ImageButton.h"
#include "framework/LanguageResource.h"
#include "framework/ToolComboBox.h"

namespace {

// Combo boxes keep this much room on either side.
const int kComboMargin = 2;
// A separator: a sunken line 2 pixels wide with 3 pixels before it and 3 after.
const int kSeparatorBefore = 3;
const int kSeparatorWidth = 2;
const int kSeparatorAdvance = 5;
const DWORD kSeparatorStyle = WS_CHILD | WS_VISIBLE | SS_SUNKEN;

BOOL IsButton(BYTE kind) {
    return kind == kToolPushButton || kind == kToolCheckButton || kind == kToolRadioButton;
}

BOOL IsCombo(BYTE kind) {
    return kind == kToolDropDownList || kind == kToolDropDownCombo;
}

}  // namespace

ToolBarPanel::ToolBarPanel()
    : m_owner(NULL),
      m_buttonWidth(0),
      m_buttonHeight(0),
      m_glyphWidth(0),
      m_glyphHeight(0),
      m_hovered(0),
      m_pendingHovered(0) {
    AddMessageHandler(WM_DRAWITEM, Handler(&ToolBarPanel::OnDrawItem));
    AddMessageHandler(WM_NOTIFY, Handler(&ToolBarPanel::OnNotify));
}

ToolBarPanel::~ToolBarPanel() {
    // The derived parts are gone: the panel's last messages must not reach them.
    DestroyItemControls();
    DestroyUnbound();
}

HWND ToolBarPanel::Create(HINSTANCE instance, HWND owner) {
    if (GetHwnd() != NULL) return GetHwnd();
    SetInstance(instance);
    m_owner = owner;
    CreateIndirect(LanguageResource().GetModule(), MAKEINTRESOURCEA(kTemplateId), owner);
    return GetHwnd();
}

BOOL ToolBarPanel::DestroyItems() {
    // The item objects go even when the panel window is already gone with
    // its parent, so they never outlive their windows unowned.
    DestroyItemControls();
    if (GetHwnd() == NULL) return FALSE;
    return DestroyWindow(GetHwnd());
}

void ToolBarPanel::DestroyItemControls() {
    for (ToolBarItem& item : m_items) {
        HWND window = ItemWindow(item);
        if (window != NULL && IsWindow(window)) DestroyWindow(window);
        item.control = NULL;
    }
    m_items.clear();
    m_controls.clear();
    m_hovered = 0;
    m_pendingHovered = 0;
}

HWND ToolBarPanel::ItemWindow(const ToolBarItem& item) const {
    if (item.control == NULL) return NULL;
    if (item.kind == kToolSeparator) return static_cast<HWND>(item.control);
    return static_cast<ChildWindow*>(item.control)->GetHwnd();
}

std::unique_ptr<ImageButton> ToolBarPanel::AddButton(HBITMAP strip, int glyphIndex, UINT id, int x, int y,
                                                     BYTE state, BYTE kind) {
    std::unique_ptr<ImageButton> button(new ImageButton);
    button->Create(0, strip, m_glyphWidth * glyphIndex, 0, m_glyphWidth, m_glyphHeight, x, y, m_buttonWidth,
                   m_buttonHeight, GetHwnd(), id, GetInstance(), state, kind);
    return button;
}

void ToolBarPanel::InitItems() {}

BOOL ToolBarPanel::Build(UINT bitmapId, const ToolBarItem* items, int count, int buttonWidth, int buttonHeight,
                         int glyphWidth, int glyphHeight) {
    if (GetHwnd() == NULL) return FALSE;
    DestroyItemControls();
    m_buttonWidth = buttonWidth;
    m_buttonHeight = buttonHeight;
    m_glyphWidth = glyphWidth;
    m_glyphHeight = glyphHeight;
    if (items != NULL && count > 0) m_items.assign(items, items + count);
    // Every button keeps its own copy of its glyph: the strip goes at the end.
    OwnedBitmap strip(static_cast<HBITMAP>(
        LoadImageA(GetInstance(), MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, 0)));
    int x = 0;
    for (ToolBarItem& item : m_items) x = AddItem(strip, &item, x);
    SetWindowPos(GetHwnd(), NULL, 0, 0, x, buttonHeight, SWP_NOZORDER | SWP_NOMOVE);
    return TRUE;
}

int ToolBarPanel::AddItem(HBITMAP strip, ToolBarItem* item, int x) {
    if (IsButton(item->kind)) {
        KeepControl(AddButton(strip, item->glyph, item->id, x, 0, item->state, item->kind), item);
        return x + m_buttonWidth;
    }
    if (IsCombo(item->kind)) {
        x += kComboMargin;
        const int* size = static_cast<const int*>(item->control);
        int width = size != NULL ? size[0] : 0;
        int height = size != NULL ? size[1] : 0;
        std::unique_ptr<ToolComboBox> combo(new ToolComboBox);
        combo->Create(0, x, 0, width, height, GetHwnd(), item->id, GetInstance(), item->state, item->kind);
        KeepControl(std::move(combo), item);
        return x + width + kComboMargin;
    }
    x += kSeparatorBefore;
    item->control = CreateWindowExA(0, "STATIC", "", kSeparatorStyle, x, 2, kSeparatorWidth,
                                    m_buttonHeight - 4, GetHwnd(), reinterpret_cast<HMENU>(-1),
                                    GetInstance(), NULL);
    return x + kSeparatorAdvance;
}

void ToolBarPanel::KeepControl(std::unique_ptr<ChildWindow> control, ToolBarItem* item) {
    item->control = control.get();
    m_controls.push_back(std::move(control));
}

int ToolBarPanel::IndexOf(UINT id) const {
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].id == id && m_items[i].kind != kToolSeparator) return static_cast<int>(i);
    }
    return -1;
}

const ToolBarItem* ToolBarPanel::FindItem(UINT id) const {
    int index = IndexOf(id);
    return index < 0 ? NULL : &m_items[index];
}

BOOL ToolBarPanel::SetItemCheck(UINT id, int state) {
    int index = IndexOf(id);
    if (index < 0) return FALSE;
    const ToolBarItem& item = m_items[index];
    if (item.kind == kToolPushButton || item.kind == kToolCheckButton) {
        SendMessageA(ItemWindow(item), BM_SETCHECK, state == 1 ? 1 : 0, 0);
        return TRUE;
    }
    if (item.kind == kToolRadioButton && state != 0) {
        CheckRadio(index);
        return TRUE;
    }
    return FALSE;
}

BOOL ToolBarPanel::EnableItem(UINT id, BOOL enable) {
    const ToolBarItem* item = FindItem(id);
    if (item == NULL) return FALSE;
    HWND window = ItemWindow(*item);
    if (IsCombo(item->kind)) {
        // A combo box answers its own WM_ENABLE only by greying its parts:
        // it must really be disabled, or a choice would still go out.
        EnableWindow(window, enable);
    } else {
        SendMessageA(window, WM_ENABLE, enable, 0);
    }
    return TRUE;
}

BOOL ToolBarPanel::SelectComboItem(UINT id, int index) {
    const ToolBarItem* item = FindItem(id);
    if (item == NULL || !IsCombo(item->kind)) return FALSE;
    SendMessageA(ItemWindow(*item), CB_SETCURSEL, index, 0);
    return TRUE;
}

BOOL ToolBarPanel::HasItem(UINT id) {
    return IndexOf(id) >= 0;
}

LRESULT ToolBarPanel::SendItemMessage(int id, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageA(GetHwnd(), id, msg, wParam, lParam);
}

LRESULT ToolBarPanel::OnDrawItem(WPARAM wParam, LPARAM lParam) {
    const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item == NULL) return FALSE;
    // The button draws itself.
    return SendMessageA(GetDlgItem(GetHwnd(), item->CtlID), WM_DRAWITEM, wParam, lParam);
}

LRESULT ToolBarPanel::OnNotify(WPARAM /*wParam*/, LPARAM lParam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == NULL) return 0;
    const UINT id = static_cast<UINT>(header->idFrom);
    switch (header->code) {
        case NM_TOOLITEM_CLICK:
            return OnItemClicked(header->hwndFrom, id);
        case NM_TOOLITEM_HOVER:
            // Entering a neighbour arrives before leaving the previous item.
            // The hovered item itself reports again after a click or a change
            // of its enabled state, with its one leave still to come.
            OnItemHover(id);
            if (m_hovered == 0 || m_hovered == id) {
                m_hovered = id;
            } else {
                m_pendingHovered = id;
            }
            return 0;
        case NM_TOOLITEM_LEAVE:
            if (id == m_hovered && m_pendingHovered != 0) {
                m_hovered = m_pendingHovered;
                m_pendingHovered = 0;
            } else {
                m_hovered = 0;
                m_pendingHovered = 0;
                OnItemHover(0);
            }
            return 0;
        default:
            return 0;
    }
}

BOOL ToolBarPanel::OnItemClicked(HWND control, UINT id) {
    int index = IndexOf(id);
    if (index < 0) return FALSE;
    const BYTE kind = m_items[index].kind;
    if (kind == kToolCheckButton) {
        LRESULT checked = SendMessageA(control, BM_GETCHECK, 0, 0);
        SendMessageA(control, BM_SETCHECK, checked == 1 ? 0 : 1, 0);
        return TRUE;
    }
    if (kind == kToolRadioButton) {
        if (SendMessageA(control, BM_GETCHECK, 0, 0) != 1) CheckRadio(index);
        return TRUE;
    }
    return FALSE;
}

void ToolBarPanel::CheckRadio(int index) {
    SendMessageA(ItemWindow(m_items[index]), BM_SETCHECK, 1, 0);
    // Only the run of radio buttons around it, up to another kind of item.
    for (int i = index - 1; i >= 0 && m_items[i].kind == kToolRadioButton; --i)
        SendMessageA(ItemWindow(m_items[i]), BM_SETCHECK, 0, 0);
    for (size_t i = index + 1; i < m_items.size() && m_items[i].kind == kToolRadioButton; ++i)
        SendMessageA(ItemWindow(m_items[i]), BM_SETCHECK, 0, 0);
}

BOOL ToolBarPanel::OnItemHover(UINT /*id*/) {
    return TRUE;
}

LRESULT ToolBarPanel::SendCommand(WORD id, WORD code, LPARAM lParam) {
    return SendMessageA(m_owner, WM_COMMAND, MAKEWPARAM(id, code), lParam);
}

LRESULT ToolBarPanel::SendToOwnerParent(UINT msg, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(GetParent(m_owner), msg, wParam, lParam);
}
