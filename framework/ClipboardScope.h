#ifndef FRAMEWORK_CLIPBOARDSCOPE_H
#define FRAMEWORK_CLIPBOARDSCOPE_H

#include <windows.h>

// The clipboard, opened for one scope by a window (or by the thread, with
// none) and closed when the scope ends: other programs cannot open it
// meanwhile.
class ClipboardScope {
public:
    explicit ClipboardScope(HWND window) : m_open(OpenClipboard(window) != FALSE) {}
    ~ClipboardScope() {
        if (!m_open) return;
        const DWORD saved = GetLastError();  // cleanup must not hide the caller's error
        CloseClipboard();
        SetLastError(saved);
    }

    bool Open() const { return m_open; }

private:
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;

    bool m_open;
};

#endif
