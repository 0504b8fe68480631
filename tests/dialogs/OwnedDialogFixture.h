#ifndef TESTS_DIALOGS_OWNEDDIALOGFIXTURE_H
#define TESTS_DIALOGS_OWNEDDIALOGFIXTURE_H

#include <windows.h>

#include "tests/dialogs/DialogDriver.h"
#include "tests/framework/TestSettings.h"

#include <gtest/gtest.h>

// A dialog of the test's class on a device port of the test's class, with
// settings of the test's own, opened under a hidden owner in the screen's
// far corner: end-to-end tests read the screen beside us. The dialog goes
// before its owner.
template <class Dlg, class Port>
class OwnedDialogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 900, 700, 100, 100, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
        m_dlg.SetDevicePort(&m_port);
    }
    void TearDown() override {
        m_dlg.Destroy();
        DestroyWindow(m_owner);
    }
    HWND Open() { return m_dlg.Create(GetModuleHandleA(NULL), m_owner); }
    // The button pressed as a click on it notifies the dialog.
    void Press(int id) { ::Press(m_dlg.GetHwnd(), id); }

    TestSettings m_settings;  // first: the dialog writes its placement into it when it goes
    Port m_port;
    HWND m_owner = NULL;
    Dlg m_dlg;
};

#endif
