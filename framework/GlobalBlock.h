#ifndef FRAMEWORK_GLOBALBLOCK_H
#define FRAMEWORK_GLOBALBLOCK_H

#include <windows.h>

// Owns one movable global memory block, as the common dialogs and the
// clipboard exchange them, and frees it once. A dialog may free a block it
// was given and hand back another: Adopt takes the returned one without
// freeing the old. Release hands the block to a new owner (the clipboard).
class GlobalBlock {
public:
    explicit GlobalBlock(SIZE_T bytes, UINT flags = GHND)
        : m_block(bytes > 0 ? GlobalAlloc(flags, bytes) : NULL) {}
    ~GlobalBlock() { Free(); }

    HGLOBAL Get() const { return m_block; }
    bool Valid() const { return m_block != NULL; }
    SIZE_T Size() const { return m_block != NULL ? GlobalSize(m_block) : 0; }
    void Adopt(HGLOBAL block) { m_block = block; }
    void Free() {
        if (m_block == NULL) return;
        DWORD saved = GetLastError();
        GlobalFree(m_block);
        SetLastError(saved);
        m_block = NULL;
    }
    HGLOBAL Release() {
        HGLOBAL block = m_block;
        m_block = NULL;
        return block;
    }

    // The block's memory for one scope.
    class Lock {
    public:
        explicit Lock(const GlobalBlock& block)
            : m_block(block.Get()), m_data(m_block != NULL ? static_cast<BYTE*>(GlobalLock(m_block)) : NULL) {}
        ~Lock() {
            if (m_data != NULL) GlobalUnlock(m_block);
        }
        BYTE* Data() const { return m_data; }

    private:
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;
        HGLOBAL m_block;
        BYTE* m_data;
    };

private:
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    HGLOBAL m_block;
};

#endif
