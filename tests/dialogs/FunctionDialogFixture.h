#ifndef TESTS_DIALOGS_FUNCTIONDIALOGFIXTURE_H
#define TESTS_DIALOGS_FUNCTIONDIALOGFIXTURE_H

#include <windows.h>

#include "sensor/SensorCaps.h"
#include "tests/dialogs/FunctionRequests.h"
#include "tests/dialogs/OwnedDialogFixture.h"

#include <gtest/gtest.h>

#include <vector>

// One of the function, function setting or filter switch dialogs linked to
// a sensor and a recording device port, opened under a hidden owner.
template <class Dlg>
class FunctionDialogFixture : public OwnedDialogFixture<Dlg, FunctionRequests> {
protected:
    void SetUp() override {
        OwnedDialogFixture<Dlg, FunctionRequests>::SetUp();
        this->m_dlg.SetSensorCaps(&m_sensor);
    }
    // The sensor becomes one of the first family with the given version;
    // null leaves it unrecognised.
    static void Recognise(SensorCaps* sensor, const char* version) {
        if (version == NULL) return;
        sensor->SetModel(0);
        sensor->SetVersionText(version);
    }
    void Open() {
        m_dialog = OwnedDialogFixture<Dlg, FunctionRequests>::Open();
        ASSERT_NE(m_dialog, (HWND)NULL);
    }
    // Opens the dialog for a sensor of its own (see Recognise).
    void OpenFor(SensorCaps* sensor, const char* version) {
        Recognise(sensor, version);
        this->m_dlg.SetSensorCaps(sensor);
        Open();
    }
    // What one press of the button recorded in the log.
    template <class T>
    T SentBy(int button, std::vector<T>* log) {
        log->clear();
        this->Press(button);
        EXPECT_EQ(log->size(), 1u) << button;
        return log->empty() ? T() : log->front();
    }

    SensorCaps m_sensor;
    HWND m_dialog = NULL;
};

#endif
