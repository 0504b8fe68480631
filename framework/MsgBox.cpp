#include "framework/MsgBox.h"

#include <cstdio>
#include <string>

namespace {

// Process-wide; set during start-up and on a language change.
HMODULE g_module = NULL;
HWND g_owner = NULL;

std::string& Caption() {
    static std::string caption;
    return caption;
}

}  // namespace

MsgBox::MsgBox() {}

MsgBox::~MsgBox() {}

void MsgBox::SetModule(HMODULE module) {
    g_module = module;
}

void MsgBox::SetOwner(HWND owner) {
    g_owner = owner;
}

void MsgBox::SetCaption(const char* caption) {
    Caption() = caption != NULL ? caption : "";
}

HWND MsgBox::DefaultOwner() {
    return g_owner;
}

const char* MsgBox::DefaultCaption() {
    return Caption().c_str();
}

int MsgBox::ShowId(UINT id, UINT type, ...) {
    va_list args;
    va_start(args, type);
    int result = ShowIdV(DefaultOwner(), id, DefaultCaption(), type, args);
    va_end(args);
    return result;
}

int MsgBox::ShowIdOwner(HWND owner, UINT id, UINT type, ...) {
    va_list args;
    va_start(args, type);
    int result = ShowIdV(owner, id, DefaultCaption(), type, args);
    va_end(args);
    return result;
}

int MsgBox::ShowIdCaption(UINT id, const char* caption, UINT type, ...) {
    va_list args;
    va_start(args, type);
    int result = ShowIdV(DefaultOwner(), id, caption, type, args);
    va_end(args);
    return result;
}

int MsgBox::ShowIdOwnerCaption(HWND owner, UINT id, const char* caption, UINT type, ...) {
    va_list args;
    va_start(args, type);
    int result = ShowIdV(owner, id, caption, type, args);
    va_end(args);
    return result;
}

int MsgBox::ShowText(const char* fmt, UINT type, ...) {
    va_list args;
    va_start(args, type);
    int result = ShowTextV(DefaultOwner(), fmt, DefaultCaption(), type, args);
    va_end(args);
    return result;
}

int MsgBox::ShowTextOwner(HWND owner, const char* fmt, UINT type, ...) {
    va_list args;
    va_start(args, type);
    int result = ShowTextV(owner, fmt, DefaultCaption(), type, args);
    va_end(args);
    return result;
}

int MsgBox::ShowTextCaption(const char* fmt, const char* caption, UINT type, ...) {
    va_list args;
    va_start(args, type);
    int result = ShowTextV(DefaultOwner(), fmt, caption, type, args);
    va_end(args);
    return result;
}

int MsgBox::ShowTextOwnerCaption(HWND owner, const char* fmt, const char* caption, UINT type, ...) {
    va_list args;
    va_start(args, type);
    int result = ShowTextV(owner, fmt, caption, type, args);
    va_end(args);
    return result;
}

int MsgBox::ShowIdV(HWND owner, UINT id, const char* caption, UINT type, va_list args) {
    // A language module's message carries the same conversions as the
    // program's own, so it serves as the format.
    char fmt[kBufferSize];
    if (LoadStringA(g_module, id, fmt, sizeof fmt) <= 0) fmt[0] = '\0';
    return ShowTextV(owner, fmt, caption, type, args);
}

int MsgBox::ShowTextV(HWND owner, const char* fmt, const char* caption, UINT type, va_list args) {
    char text[kBufferSize];
    if (fmt == NULL || vsnprintf(text, sizeof text, fmt, args) < 0) text[0] = '\0';
    return MessageBoxA(owner, text, caption, type);
}
