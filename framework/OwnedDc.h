#ifndef FRAMEWORK_OWNEDDC_H
#define FRAMEWORK_OWNEDDC_H

#include "framework/HandleOwner.h"

struct DcRelease {
    typedef HDC Handle;
    static BOOL Free(HDC dc) { return DeleteDC(dc); }
};

// A device context made by CreateDC (a printer's), deleted once. Tools
// selected into it must be selected out first (SelectScope does).
typedef HandleOwner<DcRelease> OwnedDc;

#endif
