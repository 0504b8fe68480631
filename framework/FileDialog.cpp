#include "framework/FileDialog.h"

FileDialog::FileDialog() : m_ofn() {
    // The block's size without the fields added for Windows 2000: the dialogs
    // then look the same on every system.
    m_ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
}

FileDialog::~FileDialog() {}

OPENFILENAMEA* FileDialog::GetOfn() {
    return &m_ofn;
}

BOOL FileDialog::GetOpenFileName() {
    return ::GetOpenFileNameA(&m_ofn);
}

BOOL FileDialog::GetSaveFileName() {
    return ::GetSaveFileNameA(&m_ofn);
}
