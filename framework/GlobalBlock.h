#ifndef FRAMEWORK_GLOBALBLOCK_H
#define FRAMEWORK_GLOBALBLOCK_H

#include "framework/HandleOwner.h"

struct GlobalRelease {
    typedef HGLOBAL Handle;
    static BOOL Free(HGLOBAL block) { return GlobalFree(block) == NULL; }
};

// One movable global memory block, as the common dialogs and the clipboard
// exchange them, freed once. A dialog may free a block it was given and hand
// back another: Adopt takes the returned one without freeing the old.
// Release hands the block to a new owner (the clipboard).
class GlobalBlock : public HandleOwner<GlobalRelease> {
public:
    explicit GlobalBlock(SIZE_T bytes, UINT flags = GHND)
        : HandleOwner(bytes > 0 ? GlobalAlloc(flags, bytes) : NULL) {}

    SIZE_T Size() const { return Valid() ? GlobalSize(Get()) : 0; }
    void Adopt(HGLOBAL block) {
        Release();
        Reset(block);
    }

    // A block's memory for one scope; the block may be borrowed (the
    // clipboard's).
    class Lock {
    public:
        explicit Lock(HGLOBAL block)
            : m_block(block), m_data(block != NULL ? static_cast<BYTE*>(GlobalLock(block)) : NULL) {}
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
};

#endif
