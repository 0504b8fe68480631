#ifndef FRAMEWORK_OWNEDHANDLE_H
#define FRAMEWORK_OWNEDHANDLE_H

#include "framework/HandleOwner.h"

struct KernelHandleRelease {
    typedef HANDLE Handle;
    static BOOL Free(HANDLE h) { return CloseHandle(h); }
};

// One kernel handle (file, event, thread, mutex), closed once. CreateFile
// fails with INVALID_HANDLE_VALUE and CreateEvent with NULL: both count as
// "no handle", so callers test Valid() whatever made the handle.
typedef HandleOwner<KernelHandleRelease> OwnedHandle;

#endif
