#ifndef FRAMEWORK_OWNEDICON_H
#define FRAMEWORK_OWNEDICON_H

#include <windows.h>

// Owns one icon made by LoadImage or CreateIcon and destroys it once. Icons
// are no GDI objects: DeleteObject would leave them behind. A control that
// shows the icon must drop it (or be gone) before the owner lets it go.
class OwnedIcon {
public:
    OwnedIcon() : m_h(NULL) {}
    explicit OwnedIcon(HICON h) : m_h(h) {}
    ~OwnedIcon() { Reset(); }

    HICON Get() const { return m_h; }
    bool Valid() const { return m_h != NULL; }
    // Destroys the current icon (keeping the thread's last error) and takes h.
    void Reset(HICON h = NULL);

private:
    OwnedIcon(const OwnedIcon&) = delete;
    OwnedIcon& operator=(const OwnedIcon&) = delete;

    HICON m_h;
};

#endif
