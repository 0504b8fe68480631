#include "tests/dialogs/ShotHandOver.h"

#include <cstdlib>
#include <fstream>

namespace {

// A Linux path reached through Wine's drive Z:.
std::string WinePath(const char* name) {
    const char* value = getenv(name);
    if (value == NULL) return "";
    return value[0] == '/' ? std::string("Z:") + value : value;
}

}  // namespace

ShotHandOver::ShotHandOver() : m_ready(WinePath("TIV_SHOT_READY")), m_done(WinePath("TIV_SHOT_DONE")) {}

void ShotHandOver::Add(const char* file, HWND dialog) {
    m_shots.push_back({file, dialog});
}

bool ShotHandOver::HandOver(DWORD timeoutMs) {
    const std::string part = m_ready + ".part";
    std::ofstream list(part.c_str());
    for (const auto& shot : m_shots) {
        RECT r;
        GetWindowRect(shot.second, &r);
        list << shot.first << " " << r.right - r.left << "x" << r.bottom - r.top << "+" << r.left << "+" << r.top
             << "\n";
    }
    list.close();
    MoveFileA(part.c_str(), m_ready.c_str());  // whole, or not there yet
    return Pump([&] { return GetFileAttributesA(m_done.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeoutMs);
}

bool ShotHandOver::Pump(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    return true;
}
