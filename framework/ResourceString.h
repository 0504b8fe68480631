#ifndef FRAMEWORK_RESOURCESTRING_H
#define FRAMEWORK_RESOURCESTRING_H

#include <windows.h>

#include <memory>
#include <string>

// A text loaded from a string table (module 0 = the program) or formatted.
// Loaded and formatted texts are cut to 511 characters.
class ResourceString {
public:
    ResourceString();
    explicit ResourceString(HMODULE module);
    virtual ~ResourceString();

    virtual void SetModule(HMODULE module);
    virtual const char* Assign(const char* text);
    // A writable buffer of size bytes; ReleaseBuffer takes its contents.
    virtual char* GetBuffer(size_t size);
    // The format is the program's own text; anything from outside goes in
    // as an argument.
    virtual const char* Format(const char* fmt, ...);
    // "" when the module has no such string.
    virtual const char* Load(UINT id);
    virtual const char* ReleaseBuffer();

    const char* GetText() const { return m_text.c_str(); }

    static constexpr size_t kBufferSize = 512;

private:
    ResourceString(const ResourceString&) = delete;
    ResourceString& operator=(const ResourceString&) = delete;
    void FreeBuffer();

    HMODULE m_module;
    std::string m_text;
    std::unique_ptr<char[]> m_buffer;  // while out, else empty
    size_t m_bufferSize;
};

#endif
