#include "tests/mainwindow/frame/CommandBench.h"

#include "mainwindow/program/FileChoice.h"
#include "resources/ToolBandIds.h"

int ChoosingApplication::Choose(const char* kind, char* buffer, DWORD size) {
    dialogs.push_back(kind);
    if (choices.empty()) return -1;
    std::string chosen = choices.front();
    choices.pop_front();
    if (chosen.empty()) return 0;
    return FileChoice::CopyOut(chosen.c_str(), buffer, size);
}

BOOL ChoosingApplication::OpenAreaFileDialog(char* buffer, DWORD size) {
    int chosen = Choose("open area", buffer, size);
    return chosen >= 0 ? chosen : Application::OpenAreaFileDialog(buffer, size);
}

BOOL ChoosingApplication::SaveAreaFileDialog(char* buffer, DWORD size) {
    int chosen = Choose("save area", buffer, size);
    return chosen >= 0 ? chosen : Application::SaveAreaFileDialog(buffer, size);
}

BOOL ChoosingApplication::OpenMeasurementFileDialog(char* buffer, DWORD size) {
    int chosen = Choose("open measurement", buffer, size);
    return chosen >= 0 ? chosen : Application::OpenMeasurementFileDialog(buffer, size);
}

BOOL ChoosingApplication::SaveMeasurementFileDialog(char* buffer, DWORD size) {
    int chosen = Choose("save measurement", buffer, size);
    return chosen >= 0 ? chosen : Application::SaveMeasurementFileDialog(buffer, size);
}

void SetPrinters(Rebar* rebar, const char* only) {
    // The band owns the entries' margins: they stay its until it lists again.
    rebar->SendItemMessage(IDC_PRINTER, CB_RESETCONTENT, 0, 0);
    if (only == NULL) return;
    rebar->SendItemMessage(IDC_PRINTER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(only));
    rebar->SendItemMessage(IDC_PRINTER, CB_SETCURSEL, 0, 0);
}
