#include "framework/ResourceString.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

ResourceString::ResourceString() : m_module(NULL), m_bufferSize(0) {}

ResourceString::ResourceString(HMODULE module) : m_module(module), m_bufferSize(0) {}

ResourceString::~ResourceString() {
    FreeBuffer();
}

void ResourceString::SetModule(HMODULE module) {
    m_module = module;
}

const char* ResourceString::Assign(const char* text) {
    m_text = text != NULL ? text : "";
    return m_text.c_str();
}

char* ResourceString::GetBuffer(size_t size) {
    if (size == 0) return NULL;
    FreeBuffer();
    m_buffer.reset(new char[size]());
    m_bufferSize = size;
    return m_buffer.get();
}

const char* ResourceString::Format(const char* fmt, ...) {
    char text[kBufferSize];
    va_list args;
    va_start(args, fmt);
    int written = vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    m_text = written > 0 ? text : "";
    return m_text.c_str();
}

const char* ResourceString::Load(UINT id) {
    char text[kBufferSize];
    int length = LoadStringA(m_module, id, text, sizeof text);
    m_text = length > 0 ? std::string(text, length) : std::string();
    return m_text.c_str();
}

const char* ResourceString::ReleaseBuffer() {
    if (m_buffer != NULL) {
        // The caller may have filled it to the last byte without a terminator.
        m_text.assign(m_buffer.get(), strnlen(m_buffer.get(), m_bufferSize));
        FreeBuffer();
    }
    return m_text.c_str();
}

void ResourceString::FreeBuffer() {
    m_buffer.reset();
    m_bufferSize = 0;
}
