#include "mainwindow/HtmlHelpControl.h"

namespace {

const UINT kDisplayTopic = 0x0000;  // HH_DISPLAY_TOPIC

// Reads the default value of a key under HKEY_CLASSES_ROOT and closes it.
std::string DefaultValueOf(const char* keyName) {
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::string();
    char value[MAX_PATH] = {};
    DWORD type = 0;
    DWORD size = sizeof value - 1;
    LONG result = RegQueryValueExA(key, NULL, NULL, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::string();
    if (type == REG_SZ) return value;
    char expanded[MAX_PATH] = {};
    DWORD length = ExpandEnvironmentStringsA(value, expanded, sizeof expanded);
    return length != 0 && length <= sizeof expanded ? std::string(expanded) : std::string();
}

}  // namespace

const char HtmlHelpControl::kServerKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

HtmlHelpControl::HtmlHelpControl() : m_module(NULL), m_htmlHelp(NULL) {}

HtmlHelpControl::~HtmlHelpControl() {
    if (m_module != NULL) FreeLibrary(m_module);
}

std::string HtmlHelpControl::Location() {
    return DefaultValueOf(kServerKey);
}

BOOL HtmlHelpControl::Load() {
    if (m_htmlHelp != NULL) return TRUE;
    const std::string file = Location();
    if (file.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    HMODULE module = LoadLibraryA(file.c_str());
    if (module == NULL) return FALSE;
    HtmlHelpProc htmlHelp =
        reinterpret_cast<HtmlHelpProc>(reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpA")));
    if (htmlHelp == NULL) {
        DWORD error = GetLastError();
        FreeLibrary(module);
        SetLastError(error);
        return FALSE;
    }
    m_module = module;
    m_htmlHelp = htmlHelp;
    return TRUE;
}

HWND HtmlHelpControl::DisplayTopic(HWND owner, const char* file, const char* topic) {
    if (file == NULL || !Load()) return NULL;
    return m_htmlHelp(owner, file, kDisplayTopic, reinterpret_cast<DWORD_PTR>(topic));
}
