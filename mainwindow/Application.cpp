#include "mainwindow/Application.h"

Application::Application() : m_value5(0) {}

Application::~Application() {}

int Application::GetStepCount() {
    return m_sensorCaps.HasCapability(SensorCaps::kCapStepCount);
}

DWORD Application::GetValue5() {
    return static_cast<DWORD>(m_value5);
}

void Application::SetValue5(DWORD value) {
    m_value5 = static_cast<LONG>(value);
}
