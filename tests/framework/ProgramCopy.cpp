#include "tests/framework/ProgramCopy.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

const char kProbe[] = "framework_probe.exe";

}  // namespace

ProgramCopy::ProgramCopy(std::initializer_list<const char*> modules) {
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    m_source = path;
    m_source.erase(m_source.rfind('\\') + 1);

    static LONG counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char name[64];
    snprintf(name, sizeof name, "tivprobe-%lu-%ld\\", GetCurrentProcessId(), InterlockedIncrement(&counter));
    m_folder = std::string(temp) + name;
    if (!CreateDirectoryA(m_folder.c_str(), NULL)) return;
    m_ready = CopyFileA((m_source + kProbe).c_str(), (m_folder + kProbe).c_str(), FALSE) != 0;
    for (const char* module : modules) {
        m_ready = m_ready && CopyFileA((m_source + "modules\\" + module).c_str(), (m_folder + module).c_str(),
                                       FALSE) != 0;
    }
}

ProgramCopy::~ProgramCopy() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((m_folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((m_folder + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(m_folder.c_str());
}

DWORD ProgramCopy::Run(const char* filter, std::string* output) {
    std::string outputFile = m_folder + "output.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE out =
        CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, NULL);
    if (out == INVALID_HANDLE_VALUE) return 1000;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string command = "\"" + m_folder + kProbe + "\" --gtest_filter=" + filter;
    PROCESS_INFORMATION process = {};
    // The working folder is not the program's: nothing may rely on it.
    BOOL started =
        CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, 0, NULL, m_source.c_str(), &startup, &process);
    CloseHandle(out);
    if (!started) return 1001;
    DWORD exitCode = 1002;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    *output = ReadFile("output.txt");
    return exitCode;
}

std::string ProgramCopy::ReadFile(const char* name) const {
    std::ifstream file(m_folder + name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}
