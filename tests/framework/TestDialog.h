#ifndef TESTS_FRAMEWORK_TESTDIALOG_H
#define TESTS_FRAMEWORK_TESTDIALOG_H

#include "framework/Dialog.h"

// A named dialog that opens a given template modelessly.
class TestDialog : public Dialog {
public:
    TestDialog(const char* name, WORD templ) : Dialog(name), m_templ(templ) {}
    HWND Create(HINSTANCE instance, HWND parent) override {
        if (IsOpen()) return GetHwnd();
        SetInstance(instance);
        SetParent(parent);
        CreateModeless(MAKEINTRESOURCEA(m_templ), parent);
        return GetHwnd();
    }

private:
    WORD m_templ;
};

#endif
