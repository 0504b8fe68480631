// clang-format off
// An owner makes its own release calls, and no others.
static BOOL Free(T object) { return DeleteObject(object); }  // allowed
static BOOL Free(HANDLE h) { return CloseHandle(h); }  // reported
