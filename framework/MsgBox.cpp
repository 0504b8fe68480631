#include "framework/MsgBox.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Process-wide; set during start-up and on a language change.
HMODULE g_module = NULL;
HWND g_owner = NULL;

std::string& Caption() {
    static std::string caption;
    return caption;
}

// The kinds of argument a printf format reads, one letter per argument; 0 for
// a format that no box uses (positional arguments, an unknown conversion).
BOOL ArgumentKinds(const char* fmt, std::string* kinds) {
    kinds->clear();
    for (const char* p = fmt; *p != '\0'; ++p) {
        if (*p != '%') continue;
        if (*++p == '%') continue;
        while (*p != '\0' && strchr("-+ #0'", *p) != NULL) ++p;
        if (*p == '*') {
            kinds->push_back('i');
            ++p;
        }
        while (isdigit(static_cast<unsigned char>(*p))) ++p;
        if (*p == '$') return FALSE;
        if (*p == '.') {
            if (*++p == '*') {
                kinds->push_back('i');
                ++p;
            }
            while (isdigit(static_cast<unsigned char>(*p))) ++p;
        }
        std::string size;
        while (*p != '\0' && strchr("hlLqjztI", *p) != NULL) {
            // "I32" and "I64" carry their width.
            size.push_back(*p++);
            while (size.back() == 'I' && isdigit(static_cast<unsigned char>(*p))) size.push_back(*p++);
        }
        if (*p == '\0') return FALSE;
        char kind;
        if (strchr("diouxXc", *p) != NULL) {
            kind = 'i';
        } else if (strchr("eEfFgGaA", *p) != NULL) {
            kind = 'f';
        } else if (strchr("spn", *p) != NULL) {
            kind = *p;
        } else {
            return FALSE;
        }
        kinds->append(size);
        kinds->push_back(kind);
        kinds->push_back(' ');
    }
    return TRUE;
}

// A language module's text serves as the format only when it reads the same
// arguments as the program's own text of that id, which the callers match:
// a damaged or foreign module must not make the box read arguments that were
// never passed. Otherwise the program's own text is the format.
void ChooseFormat(UINT id, char* fmt, size_t size) {
    HMODULE program = GetModuleHandleA(NULL);
    if (g_module == NULL || g_module == program) return;
    char own[MsgBox::kBufferSize];
    if (LoadStringA(program, id, own, sizeof own) <= 0) own[0] = '\0';
    std::string moduleKinds, ownKinds;
    if (ArgumentKinds(fmt, &moduleKinds) && ArgumentKinds(own, &ownKinds) && moduleKinds == ownKinds) return;
    snprintf(fmt, size, "%s", own);
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
    char fmt[kBufferSize];
    if (LoadStringA(g_module, id, fmt, sizeof fmt) <= 0) fmt[0] = '\0';
    ChooseFormat(id, fmt, sizeof fmt);
    return ShowTextV(owner, fmt, caption, type, args);
}

int MsgBox::ShowTextV(HWND owner, const char* fmt, const char* caption, UINT type, va_list args) {
    char text[kBufferSize];
    if (fmt == NULL || vsnprintf(text, sizeof text, fmt, args) < 0) text[0] = '\0';
    return MessageBoxA(owner, text, caption, type);
}
