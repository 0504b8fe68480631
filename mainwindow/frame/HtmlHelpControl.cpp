#include "mainwindow/frame/HtmlHelpControl.h"

#include "framework/HandleOwner.h"

namespace {

const UINT kDisplayTopic = 0x0000;  // HH_DISPLAY_TOPIC

// Reads the default value of a key under HKEY_CLASSES_ROOT and closes it.
std::string DefaultValueOf(const char* keyName) {
    HKEY opened = NULL;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return std::string();
    OwnedKey key(opened);
    char value[MAX_PATH] = {};
    DWORD type = 0;
    DWORD size = sizeof value - 1;
    LONG result = RegQueryValueExA(key.Get(), NULL, NULL, &type, reinterpret_cast<BYTE*>(value), &size);
    key.Close();
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::string();
    if (type == REG_SZ) return value;
    char expanded[MAX_PATH] = {};
    DWORD length = ExpandEnvironmentStringsA(value, expanded, sizeof expanded);
    return length != 0 && length <= sizeof expanded ? std::string(expanded) : std::string();
}

}  // namespace

const char HtmlHelpControl::kServerKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

HtmlHelpControl::HtmlHelpControl() : m_htmlHelp(NULL) {}

HtmlHelpControl::~HtmlHelpControl() {}

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
    OwnedModule module(file.c_str());
    if (!module.Valid()) return FALSE;
    HtmlHelpProc htmlHelp =
        reinterpret_cast<HtmlHelpProc>(reinterpret_cast<void*>(GetProcAddress(module.Get(), "HtmlHelpA")));
    if (htmlHelp == NULL) return FALSE;  // the module goes, the reason stays
    m_module.Reset(module.Release());
    m_htmlHelp = htmlHelp;
    return TRUE;
}

HWND HtmlHelpControl::DisplayTopic(HWND owner, const char* file, const char* topic) {
    if (file == NULL || !Load()) return NULL;
    return m_htmlHelp(owner, file, kDisplayTopic, reinterpret_cast<DWORD_PTR>(topic));
}
