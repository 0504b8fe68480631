#ifndef FRAMEWORK_HANDLEOWNER_H
#define FRAMEWORK_HANDLEOWNER_H

#include <windows.h>

// Owns one handle of a kind whose release call Traits::Free makes (returning
// nonzero on success) and frees it once, when the owner goes or is reset.
// NULL and INVALID_HANDLE_VALUE both mean "no handle", since CreateFile and
// FindFirstFile fail with INVALID_HANDLE_VALUE and most other calls with NULL.
// Each kind has its traits and its owner's name in a header of its own
// (OwnedHandle, GdiObject<T>, OwnedDc, OwnedIcon, OwnedPrinter, GlobalBlock,
// OwnedModule) or, for the few below, here.
template <class Traits>
class HandleOwner {
public:
    typedef typename Traits::Handle Handle;

    HandleOwner() : m_h(NULL) {}
    explicit HandleOwner(Handle h) : m_h(h) {}
    ~HandleOwner() { Close(); }

    // A move hands the handle to the new owner; the old one is left empty.
    HandleOwner(HandleOwner&& other) noexcept : m_h(other.Release()) {}
    HandleOwner& operator=(HandleOwner&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Handle Get() const { return m_h; }
    // Lends the handle where a call takes it bare.
    operator Handle() const { return m_h; }
    bool Valid() const { return m_h != NULL && m_h != static_cast<Handle>(INVALID_HANDLE_VALUE); }
    // Frees the current handle (keeping the thread's last error) and takes h.
    void Reset(Handle h = NULL) {
        if (m_h != h) FreeHeld();
        m_h = h;
    }
    // 1 when a handle was held and its release succeeded; the thread's last
    // error stays. A second Close does nothing.
    BOOL Close() {
        const BOOL freed = FreeHeld();
        m_h = NULL;
        return freed;
    }
    // Hands the handle over; the owner is empty afterwards.
    Handle Release() {
        Handle h = m_h;
        m_h = NULL;
        return h;
    }

private:
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;

    BOOL FreeHeld() {
        if (!Valid()) return FALSE;
        const DWORD saved = GetLastError();  // cleanup must not hide the caller's error
        const BOOL freed = Traits::Free(m_h);
        SetLastError(saved);
        return freed;
    }

    Handle m_h;
};

struct FindRelease {
    typedef HANDLE Handle;
    static BOOL Free(HANDLE search) { return FindClose(search); }
};

struct RegistryKeyRelease {
    typedef HKEY Handle;
    static BOOL Free(HKEY key) { return RegCloseKey(key) == ERROR_SUCCESS; }
};

struct AcceleratorRelease {
    typedef HACCEL Handle;
    static BOOL Free(HACCEL table) { return DestroyAcceleratorTable(table); }
};

struct MenuRelease {
    typedef HMENU Handle;
    static BOOL Free(HMENU menu) { return DestroyMenu(menu); }
};

struct HookRelease {
    typedef HHOOK Handle;
    static BOOL Free(HHOOK hook) { return UnhookWindowsHookEx(hook); }
};

// A file search of FindFirstFile, ended with FindClose.
typedef HandleOwner<FindRelease> OwnedFind;
// An open registry key, closed with RegCloseKey.
typedef HandleOwner<RegistryKeyRelease> OwnedKey;
// An accelerator table, destroyed with DestroyAcceleratorTable.
typedef HandleOwner<AcceleratorRelease> OwnedAccelerators;
// A menu no window holds yet (a window destroys its own menu bar), destroyed
// with DestroyMenu: Release it once SetMenu or InsertMenuItem took it.
typedef HandleOwner<MenuRelease> OwnedMenu;
// A hook of SetWindowsHookEx, removed with UnhookWindowsHookEx.
typedef HandleOwner<HookRelease> OwnedHook;

#endif
