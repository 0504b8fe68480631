#ifndef FRAMEWORK_TOOLCOMBOBOX_H
#define FRAMEWORK_TOOLCOMBOBOX_H

#include "framework/ChildWindow.h"

// A combo box of a tool strip (a drop-down list, or one with an edit
// field) in the GUI font, subclassed so that it tells its parent when the
// mouse enters and leaves it. User-interface thread only.
class ToolComboBox : public ChildWindow {
public:
    ToolComboBox();
    ~ToolComboBox() override;

    using ChildWindow::Create;
    // 0 for a kind that is not a combo box; reserved is not used.
    virtual HWND Create(int reserved, int x, int y, int cx, int cy, HWND parent, UINT id, HINSTANCE instance,
                        BYTE state, BYTE kind);
    virtual LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);

private:
    BYTE m_state;
    BYTE m_kind;
    BOOL m_tracking;  // a leave notice is requested
};

#endif
