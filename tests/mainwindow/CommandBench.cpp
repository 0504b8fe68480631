#include "tests/mainwindow/CommandBench.h"

#include "mainwindow/FileChoice.h"
#include "resources/ToolBandIds.h"

#include <cstring>

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

CommandBench::CommandBench() {
    WireBench(this);
    data.SetSensorCaps(&caps);
    port.SetSensorCaps(&caps);
    printView.SetScanView(&view);
    printView.SetRebar(&rebar);
}

CommandBench::~CommandBench() {
    CloseOwnedDialogs();
    DestroyFrame(&frame);
}

HWND CommandBench::Start(const char* switches) {
    return frame.Initialize(GetModuleHandleA(NULL), switches, SW_SHOW);
}

void CommandBench::Command(WORD id, HWND control) {
    SendMessageA(frame.GetHwnd(), WM_COMMAND, MAKEWPARAM(id, control != NULL ? BN_CLICKED : 0),
                 reinterpret_cast<LPARAM>(control));
}

namespace {

BOOL CALLBACK NoteOwned(HWND hwnd, LPARAM param) {
    std::pair<HWND, std::vector<HWND>*>* owned = reinterpret_cast<std::pair<HWND, std::vector<HWND>*>*>(param);
    char name[16];
    GetClassNameA(hwnd, name, sizeof name);
    if (strcmp(name, "#32770") == 0 && IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == owned->first)
        owned->second->push_back(hwnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> CommandBench::OwnedDialogs() {
    std::vector<HWND> found;
    std::pair<HWND, std::vector<HWND>*> owned(frame.GetHwnd(), &found);
    EnumThreadWindows(GetCurrentThreadId(), &NoteOwned, reinterpret_cast<LPARAM>(&owned));
    return found;
}

void CommandBench::CloseOwnedDialogs() {
    for (HWND dialog : OwnedDialogs()) SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

void CommandBench::SetPrinters(const char* only) {
    // The band owns each entry's margins.
    LRESULT count = rebar.SendItemMessage(IDC_PRINTER, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        LRESULT data = rebar.SendItemMessage(IDC_PRINTER, CB_GETITEMDATA, i, 0);
        if (data != CB_ERR) delete reinterpret_cast<RECT*>(data);
    }
    rebar.SendItemMessage(IDC_PRINTER, CB_RESETCONTENT, 0, 0);
    if (only == NULL) return;
    rebar.SendItemMessage(IDC_PRINTER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(only));
    rebar.SendItemMessage(IDC_PRINTER, CB_SETCURSEL, 0, 0);
}
