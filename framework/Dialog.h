#ifndef FRAMEWORK_DIALOG_H
#define FRAMEWORK_DIALOG_H

#include "framework/TemplateDialog.h"

// The base of every named dialog: created from the current language
// module's template, cancelled by IDCANCEL, and placed where the user left
// it. The name is the settings section of its window rectangle (keys
// "Left", "Top", "Right", "Bottom"); only resizable dialogs keep their size.
// User-interface thread only.
class Dialog : public TemplateDialog {
public:
    explicit Dialog(const char* name);
    // Destroys the window and writes the rectangle back if the dialog was
    // open during this run (two dialogs may share one section). Derived
    // dialogs that need their own OnDestroy call Destroy in their destructor.
    ~Dialog() override;

    BOOL CreateModeless(LPCSTR templ, HWND parent) override;
    INT_PTR DoModal(LPCSTR templ, HWND parent) override;
    virtual HWND Create(HINSTANCE instance, HWND parent);
    virtual BOOL Destroy();
    virtual BOOL IsOpen();
    virtual LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMove(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnCancelModeless(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnCancelModal(WORD id, WORD notifyCode, LPARAM hwndCtl);

    const char* GetName() const { return m_name; }

    static constexpr int kUnset = static_cast<int>(0x80000000);
    // The template of the base; dialogs that open through Create use their own.
    static constexpr WORD kBaseTemplate = 645;

protected:
    HWND GetParent() const { return m_parent; }
    void SetParent(HWND parent) { m_parent = parent; }

private:
    void RecordRect();
    BOOL SavedRectOnScreen(HWND hwnd) const;

    HWND m_parent;
    char m_name[32];
    int m_saved[4];   // left, top, right, bottom in screen coordinates; kUnset = none
    BOOL m_recorded;  // the rectangle was taken from a window during this run
};

#endif
