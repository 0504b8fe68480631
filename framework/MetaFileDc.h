#ifndef FRAMEWORK_METAFILEDC_H
#define FRAMEWORK_METAFILEDC_H

#include <windows.h>

// The recording context of an enhanced metafile written to a file. Close
// ends the recording and releases the metafile's handle; a context that is
// never closed is closed by the destructor.
class MetaFileDc {
public:
    MetaFileDc(HDC reference, const char* path, const RECT* frame, const char* description)
        : m_dc(CreateEnhMetaFileA(reference, path, frame, description)) {}
    ~MetaFileDc() {
        DWORD saved = GetLastError();
        Close();
        SetLastError(saved);
    }

    HDC Get() const { return m_dc; }
    bool Valid() const { return m_dc != NULL; }
    // 1 when the metafile was completed, else 0 with the reason in the last error.
    BOOL Close() {
        if (m_dc == NULL) return FALSE;
        HENHMETAFILE metafile = CloseEnhMetaFile(m_dc);
        m_dc = NULL;
        if (metafile == NULL) return FALSE;
        DeleteEnhMetaFile(metafile);
        return TRUE;
    }

private:
    MetaFileDc(const MetaFileDc&) = delete;
    MetaFileDc& operator=(const MetaFileDc&) = delete;

    HDC m_dc;
};

#endif
