#ifndef MAINWINDOW_PROGRAM_FILECHOICE_H
#define MAINWINDOW_PROGRAM_FILECHOICE_H

#include <windows.h>

#include <string>

// One kind of file that the user opens or saves through the common file
// dialogs: its filter, default extension and the name a new file gets. The
// dialog starts in the folder of the remembered file with that file's title
// as the proposed name, and the choice is handed over only when it fits the
// caller's buffer whole.
class FileChoice {
public:
    enum Mode { kOpen, kSave };
    static const DWORD kPathChars = MAX_PATH;  // the dialog's buffer, terminator included

    // untitled: the proposed name of a save without a remembered file
    // (ignored when opening). Every text must outlive the object.
    FileChoice(Mode mode, const char* filterText, const char* pattern, const char* extension,
               const char* untitled);
    virtual ~FileChoice();

    // Shows the dialog; 1 and the full path in chosen (kPathChars bytes)
    // when the user chose a file, else 0 with chosen empty.
    virtual BOOL Run(HWND owner, HINSTANCE instance, const char* remembered, char* chosen);

    // The proposed name: the remembered file's title without extension.
    virtual std::string InitialName(const char* remembered) const;
    virtual DWORD Flags() const;

    // The folder part of a path, without a trailing backslash except for a
    // drive's root ("C:\"); "" for a bare name.
    static std::string FolderOf(const char* path);
    // The file part of a path, cut at its last ".".
    static std::string TitleWithoutExtension(const char* path);
    // Copies path into buffer when it fits with its terminator; otherwise 0
    // with ERROR_INSUFFICIENT_BUFFER and the buffer left empty (when it has room).
    static BOOL CopyOut(const char* path, char* buffer, DWORD size);

private:
    FileChoice(const FileChoice&) = delete;
    FileChoice& operator=(const FileChoice&) = delete;

    Mode m_mode;
    const char* m_filterText;
    const char* m_pattern;
    const char* m_extension;
    const char* m_untitled;
};

#endif
