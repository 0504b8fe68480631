#ifndef TESTS_DIALOGS_FUNCTIONDIALOGFIXTURE_H
#define TESTS_DIALOGS_FUNCTIONDIALOGFIXTURE_H

#include <windows.h>

#include "sensor/SensorCaps.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/FunctionRequests.h"
#include "tests/framework/TestSettings.h"

#include <gtest/gtest.h>

#include <vector>

// One of the function, function setting or filter switch dialogs linked to
// a sensor and a recording device port, opened under a hidden owner.
template <class Dlg>
class FunctionDialogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 100, 100, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
        m_dlg.SetSensorCaps(&m_sensor);
        m_dlg.SetDevicePort(&m_port);
    }
    void TearDown() override {
        m_dlg.Destroy();
        DestroyWindow(m_owner);
    }
    // The sensor becomes one of the first family with the given version;
    // null leaves it unrecognised.
    static void Recognise(SensorCaps* sensor, const char* version) {
        if (version == NULL) return;
        sensor->SetModel(0);
        sensor->SetVersionText(version);
    }
    void Open() {
        m_dialog = m_dlg.Create(GetModuleHandleA(NULL), m_owner);
        ASSERT_NE(m_dialog, (HWND)NULL);
    }
    // Opens the dialog for a sensor of its own (see Recognise).
    void OpenFor(SensorCaps* sensor, const char* version) {
        Recognise(sensor, version);
        m_dlg.SetSensorCaps(sensor);
        Open();
    }
    // What one press of the button recorded in the log.
    template <class T>
    T SentBy(int button, std::vector<T>* log) {
        log->clear();
        Press(m_dialog, button);
        EXPECT_EQ(log->size(), 1u) << button;
        return log->empty() ? T() : log->front();
    }

    TestSettings m_settings;
    FunctionRequests m_port;
    SensorCaps m_sensor;
    HWND m_owner = NULL;
    HWND m_dialog = NULL;
    Dlg m_dlg;
};

#endif
