#ifndef FRAMEWORK_TOOLBARPANEL_H
#define FRAMEWORK_TOOLBARPANEL_H

#include "framework/TemplateDialog.h"
#include "framework/ToolBarItem.h"

#include <memory>
#include <vector>

class ChildWindow;
class ImageButton;

// A tool strip: a borderless child dialog holding a row of image buttons,
// combo boxes and separators, laid out left to right from an item table and
// one bitmap strip of glyphs. The panel keeps check and radio states in step
// with clicks and tracks which item the mouse is over; commands go to the
// owner window as WM_COMMAND. The tool bands derive from it: they give the
// table, fill their combo boxes and report hover hints.
// User-interface thread only.
class ToolBarPanel : public TemplateDialog {
public:
    // The empty child dialog the panel is made from.
    static const WORD kTemplateId = 513;

    ToolBarPanel();
    // Destroys the items and the panel window.
    ~ToolBarPanel() override;

    // Once: the panel window as a child of owner, from the current language
    // module's template; an existing panel is returned.
    virtual HWND Create(HINSTANCE instance, HWND owner);
    // Destroys the item controls and their objects and the panel window;
    // the result of destroying the window, 0 when there was none.
    virtual BOOL DestroyItems();
    // One more button with the panel's sizes, handed to the caller; the
    // table is not changed.
    virtual std::unique_ptr<ImageButton> AddButton(HBITMAP strip, int glyphIndex, UINT id, int x, int y,
                                                   BYTE state, BYTE kind);
    // The bands fill their combo boxes here; empty by default.
    virtual void InitItems();
    // 1 when done: buttons take state 1 as checked; a radio button only
    // takes being checked, which clears the radio run around it.
    virtual BOOL SetItemCheck(UINT id, int state);
    // Buttons get WM_ENABLE and keep their own enabled bit; combo boxes
    // are enabled or disabled. 1 if the id exists.
    virtual BOOL EnableItem(UINT id, BOOL enable);
    virtual BOOL SelectComboItem(UINT id, int index);
    virtual BOOL HasItem(UINT id);
    virtual LRESULT SendItemMessage(int id, UINT msg, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnItemClicked(HWND control, UINT id);
    // Id 0: no item. The bands send hints from here.
    virtual BOOL OnItemHover(UINT id);
    // The item under the mouse, whose hint shows; 0 for none.
    UINT HoveredItem() const { return m_hovered; }
    // Makes the items (an earlier build's are destroyed first) and sizes the
    // panel to them: buttonWidth x buttonHeight per button.
    virtual BOOL Build(UINT bitmapId, const ToolBarItem* items, int count, int buttonWidth, int buttonHeight,
                       int glyphWidth, int glyphHeight);
    // A command to the owner; also the command handler of the band buttons.
    virtual LRESULT SendCommand(WORD id, WORD code, LPARAM lParam);
    virtual LRESULT SendToOwnerParent(UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    // The entry of id, or 0.
    const ToolBarItem* FindItem(UINT id) const;

private:
    void DestroyItemControls();
    int IndexOf(UINT id) const;
    HWND ItemWindow(const ToolBarItem& item) const;
    void CheckRadio(int index);
    int AddItem(HBITMAP strip, ToolBarItem* item, int x);
    // The panel keeps the control; the item borrows it.
    void KeepControl(std::unique_ptr<ChildWindow> control, ToolBarItem* item);

    HWND m_owner;
    std::vector<ToolBarItem> m_items;  // owned copies; their control pointers borrow from m_controls
    std::vector<std::unique_ptr<ChildWindow>> m_controls;  // the built buttons and combo boxes
    int m_buttonWidth;
    int m_buttonHeight;
    int m_glyphWidth;
    int m_glyphHeight;
    UINT m_hovered;         // item under the mouse, 0 = none
    UINT m_pendingHovered;  // entered before the previous one reported its leave
};

#endif
