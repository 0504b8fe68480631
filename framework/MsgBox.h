#ifndef FRAMEWORK_MSGBOX_H
#define FRAMEWORK_MSGBOX_H

#include <windows.h>

#include <cstdarg>

// Message boxes with a process-wide default owner, caption and string-table
// module (0 = the program). Every text, loaded or given, is a printf format:
// pass anything from outside (paths, user input, sensor texts) as an
// argument. Formatted texts are cut to 1023 characters.
// The process-wide values are set on the user-interface thread.
class MsgBox {
public:
    MsgBox();
    virtual ~MsgBox();

    virtual void SetModule(HMODULE module);
    virtual void SetOwner(HWND owner);
    virtual void SetCaption(const char* caption);

    virtual int ShowId(UINT id, UINT type, ...);
    virtual int ShowIdOwner(HWND owner, UINT id, UINT type, ...);
    virtual int ShowIdCaption(UINT id, const char* caption, UINT type, ...);
    virtual int ShowIdOwnerCaption(HWND owner, UINT id, const char* caption, UINT type, ...);
    virtual int ShowText(const char* fmt, UINT type, ...);
    virtual int ShowTextOwner(HWND owner, const char* fmt, UINT type, ...);
    virtual int ShowTextCaption(const char* fmt, const char* caption, UINT type, ...);
    virtual int ShowTextOwnerCaption(HWND owner, const char* fmt, const char* caption, UINT type, ...);
    virtual int ShowIdV(HWND owner, UINT id, const char* caption, UINT type, va_list args);
    virtual int ShowTextV(HWND owner, const char* fmt, const char* caption, UINT type, va_list args);

    static constexpr size_t kBufferSize = 1024;

private:
    MsgBox(const MsgBox&) = delete;
    MsgBox& operator=(const MsgBox&) = delete;

    static HWND DefaultOwner();
    static const char* DefaultCaption();
};

#endif
