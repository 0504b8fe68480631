#ifndef MAINWINDOW_FRAME_HTMLHELPCONTROL_H
#define MAINWINDOW_FRAME_HTMLHELPCONTROL_H

#include <windows.h>

#include "framework/OwnedModule.h"

#include <string>

// The HTML Help control, found through the registry by its class id and
// loaded the first time help is shown. The module stays loaded while this
// object lives, since the help windows it opens run inside it.
// User-interface thread only.
class HtmlHelpControl {
public:
    // The key under HKEY_CLASSES_ROOT whose default value names the control's file.
    static const char kServerKey[];

    HtmlHelpControl();
    virtual ~HtmlHelpControl();

    // The control's file as the registry names it, environment strings
    // expanded; "" when the control is not registered.
    static std::string Location();
    // Loads the control once; 0 with the reason in the last error.
    virtual BOOL Load();
    // Shows a topic of a help file in the control's window: the window, or
    // 0 when the control cannot be loaded or the file cannot be shown.
    virtual HWND DisplayTopic(HWND owner, const char* file, const char* topic);

private:
    typedef HWND(WINAPI* HtmlHelpProc)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);

    HtmlHelpControl(const HtmlHelpControl&) = delete;
    HtmlHelpControl& operator=(const HtmlHelpControl&) = delete;

    OwnedModule m_module;
    HtmlHelpProc m_htmlHelp;
};

#endif
