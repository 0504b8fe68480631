#ifndef FRAMEWORK_FILEDIALOG_H
#define FRAMEWORK_FILEDIALOG_H

#include <windows.h>

#include <commdlg.h>

// One OPENFILENAMEA block, filled by the caller, and the two common dialogs.
class FileDialog {
public:
    FileDialog();
    virtual ~FileDialog();

    virtual OPENFILENAMEA* GetOfn();
    virtual BOOL GetOpenFileName();
    virtual BOOL GetSaveFileName();

private:
    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;

    OPENFILENAMEA m_ofn;
};

#endif
