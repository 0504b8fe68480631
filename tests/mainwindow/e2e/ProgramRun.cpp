#include "tests/mainwindow/e2e/ProgramRun.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tests/PrivateDesktop.h"

const char ProgramRun::kWindowClass[] = "ZORConfiguratorWClass";

namespace {

const char kProgram[] = "TivConfigurator.exe";

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindVisibleMainWindow(HWND hwnd, LPARAM param) {
    Search* search = reinterpret_cast<Search*>(param);
    char className[64];
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->processId || !GetClassNameA(hwnd, className, sizeof className)) return TRUE;
    if (strcmp(className, ProgramRun::kWindowClass) != 0 || !IsWindowVisible(hwnd)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

}  // namespace

ProgramRun::ProgramRun(Desktop desktop)
    : m_desktop(desktop), m_ready(false), m_processes(), m_count(0), m_firstId(0) {
    std::string source = FindProgram();
    m_program = m_folder.Path(kProgram);
    // The copies and this thread share a desktop of their own: the single
    // instance search finds no other test's window of the program's class,
    // and no other test takes the foreground.
    const bool entered = desktop == kSharedDesktop || PrivateDesktop::Enter();
    m_ready = entered && !source.empty() &&
              CopyFileA(source.c_str(), m_program.c_str(), FALSE) != 0;
}

ProgramRun::~ProgramRun() {
    for (int i = 0; i < m_count; ++i) {
        if (WaitForSingleObject(m_processes[i], 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_processes[i], 99);
            WaitForSingleObject(m_processes[i], 5000);
        }
        CloseHandle(m_processes[i]);
    }
}

std::string ProgramRun::FindProgram() {
    // The test program sits some folders below the build folder's root.
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    std::string folder(path, length);
    for (int up = 0; up < 5; ++up) {
        size_t slash = folder.rfind('\\');
        if (slash == std::string::npos) break;
        folder.erase(slash);
        std::string candidate = folder + "\\" + kProgram;
        if (GetFileAttributesA(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) return candidate;
    }
    return std::string();
}

void ProgramRun::WriteSetting(const char* section, const char* key, const char* value) {
    WritePrivateProfileStringA(section, key, value, m_folder.Path("zorcfg.ini").c_str());
    WritePrivateProfileStringA(NULL, NULL, NULL, m_folder.Path("zorcfg.ini").c_str());
}

std::string ProgramRun::Settings() const {
    std::ifstream file(m_folder.Path("zorcfg.ini"), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string ProgramRun::ProgramString(UINT id) const {
    HMODULE module = LoadLibraryExA(m_program.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    char text[512] = "";
    if (module != NULL) {
        LoadStringA(module, id, text, sizeof text);
        FreeLibrary(module);
    }
    return text;
}

bool ProgramRun::CopyIn(const std::string& source, const char* name) {
    return CopyFileA(source.c_str(), m_folder.Path(name).c_str(), FALSE) != 0;
}

HANDLE ProgramRun::Start(const char* switches) {
    if (!m_ready || m_count == 4) return NULL;
    std::string command = "\"" + m_program + "\" " + switches;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (m_desktop == kPrivateDesktop) startup.lpDesktop = const_cast<char*>(PrivateDesktop::Name());
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) return NULL;
    CloseHandle(process.hThread);
    if (m_count == 0) m_firstId = process.dwProcessId;
    m_processes[m_count++] = process.hProcess;
    return process.hProcess;
}

HANDLE ProgramRun::Restart(const char* switches) {
    if (m_count == 0 || WaitForSingleObject(m_processes[0], 0) != WAIT_OBJECT_0) return NULL;
    HANDLE process = Start(switches);
    if (process == NULL) return NULL;
    std::swap(m_processes[0], m_processes[m_count - 1]);
    m_firstId = GetProcessId(process);
    return process;
}

HWND ProgramRun::FindWindowOf(DWORD processId) {
    Search search = {processId, NULL};
    EnumWindows(&FindVisibleMainWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ProgramRun::WaitForWindow(DWORD timeoutMs) {
    if (m_count == 0) return NULL;
    const DWORD start = GetTickCount();
    // Idle once its message loop runs; the window shows while it is created.
    WaitForInputIdle(m_processes[0], timeoutMs);
    for (;;) {
        HWND hwnd = FindWindowOf(m_firstId);
        if (hwnd != NULL) return hwnd;
        if (GetTickCount() - start >= timeoutMs || WaitForSingleObject(m_processes[0], 0) == WAIT_OBJECT_0) {
            return NULL;
        }
        // Another process's window: nothing to wait on but time.
        Sleep(10);
    }
}

DWORD ProgramRun::WaitForExit(HANDLE process, DWORD timeoutMs) {
    if (process == NULL) process = m_count > 0 ? m_processes[0] : NULL;
    if (process == NULL) return STILL_ACTIVE;
    if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return code;
}
