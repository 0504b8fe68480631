#ifndef FRAMEWORK_DIALOGWINDOW_H
#define FRAMEWORK_DIALOGWINDOW_H

#include "framework/MessageTarget.h"

// A dialog from a resource template, bound to its object by the window
// property "CLASSPOINTER" and run by the one dialog procedure of the
// program, which dispatches through the message map. The window belongs to
// the thread that created it.
class DialogWindow : public MessageTarget {
public:
    DialogWindow();
    ~DialogWindow() override;

    virtual BOOL CreateModeless(LPCSTR templ, HWND parent);
    virtual INT_PTR DoModal(LPCSTR templ, HWND parent);
    virtual HWND GetHwnd();
    virtual LRESULT OnCommand(WPARAM wParam, LPARAM lParam);

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    HINSTANCE GetInstance() const { return m_instance; }
    void SetInstance(HINSTANCE instance) { m_instance = instance; }
    // The window is gone (ended by another thread); the field forgets it.
    void ForgetHwnd() { m_hwnd = NULL; }
    // Unbinds the window from this object, then destroys it: for destructors,
    // when the derived parts are gone and must not receive its last messages.
    void DestroyUnbound();

private:
    HWND m_hwnd;           // set at WM_INITDIALOG, cleared at WM_DESTROY; by the dialog's thread
    HINSTANCE m_instance;  // the instance the system gets for the dialog
};

#endif
