#include "mainwindow/bands/ToolBand.h"

#include "mainwindow/view/ViewMessages.h"
#include "resources/ToolBandIds.h"

ToolBand::ToolBand(UINT bitmapId, const ToolBarItem* items, int count)
    : m_bitmapId(bitmapId), m_table(items), m_count(count) {
    AddMessageHandler(WM_INITDIALOG, Handler(&ToolBand::OnInitDialog));
}

ToolBand::~ToolBand() {}

LRESULT ToolBand::OnInitDialog(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    Build(m_bitmapId, m_table, m_count, kButtonWidth, kButtonHeight, kGlyphWidth, kGlyphHeight);
    for (int i = 0; i < m_count; ++i) {
        const BYTE kind = m_table[i].kind;
        if (kind == kToolPushButton || kind == kToolCheckButton || kind == kToolRadioButton)
            AddCommandHandler(static_cast<WORD>(m_table[i].id), Command(&ToolBarPanel::SendCommand));
    }
    return FALSE;  // no focus for a strip
}

BOOL ToolBand::OnItemHover(UINT id) {
    if (id == 0) {
        SendToOwnerParent(WM_STATUS_CLEAR_HINT, 0, 0);
    } else {
        SendToOwnerParent(WM_STATUS_HINT, HintId(id), 0);
    }
    return TRUE;
}

UINT ToolBand::HintId(UINT id) {
    switch (id) {
        case IDC_AREA_CHOICE:
            return IDS_HINT_AREA_CHOICE;
        case IDC_OUTPUT_SHAPE:
            return IDS_HINT_OUTPUT_SHAPE;
        case IDC_PRINTER:
            return IDS_HINT_PRINTER;
        case IDC_PRINT_ZOOM:
            return IDS_HINT_PRINT_ZOOM;
        default:
            return id;
    }
}
