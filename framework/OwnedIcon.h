#ifndef FRAMEWORK_OWNEDICON_H
#define FRAMEWORK_OWNEDICON_H

#include "framework/HandleOwner.h"

struct IconRelease {
    typedef HICON Handle;
    static BOOL Free(HICON icon) { return DestroyIcon(icon); }
};

// One icon made by LoadImage or CreateIcon, destroyed once. Icons are no GDI
// objects: DeleteObject would leave them behind. A control that shows the
// icon must drop it (or be gone) before the owner lets it go.
typedef HandleOwner<IconRelease> OwnedIcon;

#endif
