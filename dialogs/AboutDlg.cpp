#include "dialogs/AboutDlg.h"

#include "resources/DialogIds.h"

#include <cstdio>
#include <vector>

namespace {

const char kDisplayName[] = "Veldra";
const int kPartLength = 64;  // each of the version and the notice, with its NUL

}  // namespace

AboutDlg::AboutDlg() : Dialog("AboutDlg") {
    AddCommandHandler(IDOK, Command(&Dialog::OnCancelModeless));
}

AboutDlg::~AboutDlg() {}

void AboutDlg::Reset() {
    SetParent(NULL);
}

HWND AboutDlg::Create(HINSTANCE instance, HWND parent) {
    if (IsOpen()) return GetHwnd();
    SetInstance(instance);
    SetParent(parent);
    CreateModeless(MAKEINTRESOURCEA(kTemplate), parent);
    return GetHwnd();
}

BOOL AboutDlg::GetVersionString(const char* key, char* buffer, UINT size) {
    if (key == NULL || buffer == NULL || size == 0) return FALSE;
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return FALSE;
    DWORD ignored = 0;
    DWORD bytes = GetFileVersionInfoSizeA(path, &ignored);
    if (bytes == 0) return FALSE;
    std::vector<BYTE> block(bytes);
    if (!GetFileVersionInfoA(path, 0, bytes, block.data())) return FALSE;
    WORD* translation = NULL;
    UINT translationBytes = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &translationBytes) ||
        translationBytes < 2 * sizeof(WORD)) {
        return FALSE;
    }
    char query[128];
    snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], key);
    char* value = NULL;
    UINT valueLength = 0;
    if (!VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&value), &valueLength) || value == NULL) {
        return FALSE;
    }
    snprintf(buffer, size, "%s", value);
    return TRUE;
}

LRESULT AboutDlg::OnInitDialog(WPARAM wParam, LPARAM lParam) {
    char version[kPartLength] = "";
    char notice[kPartLength] = "";
    GetVersionString("ProductVersion", version, sizeof version);
    GetVersionString("LegalCopyright", notice, sizeof notice);
    char text[2 * kPartLength + 32];
    snprintf(text, sizeof text, "%s Ver.%s\n%s", kDisplayName, version, notice);
    SetDlgItemTextA(GetHwnd(), IDC_ABOUT_TEXT, text);
    Dialog::OnInitDialog(wParam, lParam);
    return 0;
}
