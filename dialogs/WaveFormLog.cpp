#include "dialogs/WaveFormLog.h"

#include "framework/TextFile.h"

#include <cstdio>
#include <cstring>

const char WaveFormLog::kHeader[] = "Distance0,Level0,AGC0,FMAX0,BMAX0,Distance1,Level1,AGC1,FMAX1,BMAX1";

BOOL WaveFormLog::AppendLine(const int v[kValues]) {
    char line[160];  // ten numbers of at most eleven characters and their commas
    const int length = snprintf(line, sizeof line, "\n%5d,%5d,%4d,%3d,%3d,%5d,%5d,%4d,%3d,%3d", v[0], v[1], v[2],
                                v[3], v[4], v[5], v[6], v[7], v[8], v[9]);
    if (length < 0 || m_text.size() + static_cast<size_t>(length) > kMaxChars) return FALSE;
    m_text.append(line, static_cast<size_t>(length));
    return TRUE;
}

BOOL WaveFormLog::Save(const char* path) const {
    TextFile file;
    if (path == NULL || !file.CreateReplacing(path)) return FALSE;
    // Raw writes: the lines end in a bare line feed, and the file in none.
    file.Write(kHeader, static_cast<DWORD>(strlen(kHeader)));
    if (!m_text.empty()) file.Write(m_text.data(), static_cast<DWORD>(m_text.size()));
    return file.CommitReplace();
}
