#include "mainwindow/program/FileChoice.h"

#include "framework/FileDialog.h"

#include <cstring>

namespace {

const char* FilePart(const char* path) {
    const char* part = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':') part = p + 1;
    }
    return part;
}

}  // namespace

FileChoice::FileChoice(Mode mode, const char* filterText, const char* pattern, const char* extension,
                       const char* untitled)
    : m_mode(mode),
      m_filterText(filterText),
      m_pattern(pattern),
      m_extension(extension),
      m_untitled(untitled) {}

FileChoice::~FileChoice() {}

std::string FileChoice::FolderOf(const char* path) {
    if (path == NULL) return std::string();
    const char* part = FilePart(path);
    if (part == path) return std::string();
    size_t length = static_cast<size_t>(part - path);
    // "C:\name" keeps its root; "C:name" names the drive's current folder.
    bool root = length >= 1 && (path[length - 1] == '\\' || path[length - 1] == '/') &&
                (length == 1 || (length == 3 && path[1] == ':'));
    if ((path[length - 1] == '\\' || path[length - 1] == '/') && !root) --length;
    return std::string(path, length);
}

std::string FileChoice::TitleWithoutExtension(const char* path) {
    if (path == NULL) return std::string();
    std::string title(FilePart(path));
    size_t dot = title.rfind('.');
    if (dot != std::string::npos) title.erase(dot);
    return title;
}

BOOL FileChoice::CopyOut(const char* path, char* buffer, DWORD size) {
    if (buffer == NULL || size == 0 || path == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    size_t length = strlen(path);
    if (length >= size) {
        // A cut path names another file: hand over nothing.
        buffer[0] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(buffer, path, length + 1);
    return TRUE;
}

std::string FileChoice::InitialName(const char* remembered) const {
    std::string name = TitleWithoutExtension(remembered);
    if (name.empty() && m_mode == kSave && m_untitled != NULL) name = m_untitled;
    return name;
}

DWORD FileChoice::Flags() const {
    if (m_mode == kOpen) return OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
    return OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING;
}

BOOL FileChoice::Run(HWND owner, HINSTANCE instance, const char* remembered, char* chosen) {
    if (chosen == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    chosen[0] = '\0';
    char file[kPathChars];
    if (!CopyOut(InitialName(remembered).c_str(), file, sizeof file)) file[0] = '\0';
    std::string folder = FolderOf(remembered);
    std::string filter = std::string(m_filterText) + '\0' + m_pattern + '\0' + '\0';

    FileDialog dialog;
    OPENFILENAMEA* ofn = dialog.GetOfn();
    ofn->hwndOwner = owner;
    ofn->hInstance = instance;
    ofn->lpstrFilter = filter.c_str();
    ofn->nFilterIndex = 1;
    ofn->lpstrFile = file;
    ofn->nMaxFile = sizeof file - 1;
    ofn->lpstrInitialDir = folder.empty() ? NULL : folder.c_str();
    ofn->lpstrDefExt = m_extension;
    ofn->Flags = Flags();
    BOOL ok = m_mode == kOpen ? dialog.GetOpenFileName() : dialog.GetSaveFileName();
    file[sizeof file - 1] = '\0';
    if (!ok || file[0] == '\0') return FALSE;
    return CopyOut(file, chosen, kPathChars);
}
