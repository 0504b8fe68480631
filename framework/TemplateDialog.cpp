#include "framework/TemplateDialog.h"

#include "framework/DialogTemplate.h"
#include "framework/WindowDc.h"

TemplateDialog::TemplateDialog() {}

TemplateDialog::~TemplateDialog() {}

BOOL TemplateDialog::Prepare(HMODULE module, LPCSTR templ, std::vector<DWORD>* built) {
    std::wstring face;
    WORD points = 0, weight = 0, italic = 0;
    if (!GetGuiFont(&face, &points, &weight, &italic)) return FALSE;
    DWORD size = 0;
    const BYTE* data = LoadTemplate(module, templ, &size);
    if (data == NULL) return FALSE;
    if (!BuildTemplate(data, size, face, points, weight, italic, built)) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    AddMessageHandler(WM_COMMAND, Handler(&DialogWindow::OnCommand));
    return TRUE;
}

BOOL TemplateDialog::CreateIndirect(HMODULE module, LPCSTR templ, HWND parent) {
    if (GetHwnd() != NULL) return FALSE;
    std::vector<DWORD> built;
    if (!Prepare(module, templ, &built)) return FALSE;
    return CreateDialogIndirectParamA(GetInstance(), reinterpret_cast<LPCDLGTEMPLATEA>(built.data()), parent,
                                      &DialogWindow::DialogProc, reinterpret_cast<LPARAM>(this)) != NULL;
}

INT_PTR TemplateDialog::DoModalIndirect(HMODULE module, LPCSTR templ, HWND parent) {
    if (GetHwnd() != NULL) return 0;
    std::vector<DWORD> built;
    if (!Prepare(module, templ, &built)) return -1;
    return DialogBoxIndirectParamA(GetInstance(), reinterpret_cast<LPCDLGTEMPLATEA>(built.data()), parent,
                                   &DialogWindow::DialogProc, reinterpret_cast<LPARAM>(this));
}

BOOL TemplateDialog::GetGuiFont(std::wstring* face, WORD* points, WORD* weight, WORD* italic) {
    LOGFONTA font;
    if (GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font) == 0) return FALSE;
    wchar_t wide[LF_FACESIZE];
    int length = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, font.lfFaceName, -1, wide, LF_FACESIZE);
    if (length <= 0) return FALSE;
    face->assign(wide, length - 1);
    WindowDc desktop(GetDesktopWindow());
    int dpi = desktop.Get() != NULL ? GetDeviceCaps(desktop, LOGPIXELSY) : 96;
    *points = static_cast<WORD>(-MulDiv(font.lfHeight, 72, dpi));
    *weight = static_cast<WORD>(font.lfWeight);
    *italic = font.lfItalic;
    return TRUE;
}

const BYTE* TemplateDialog::LoadTemplate(HMODULE module, LPCSTR templ, DWORD* size) {
    HRSRC found = FindResourceA(module, templ, reinterpret_cast<LPCSTR>(RT_DIALOG));
    if (found == NULL) return NULL;
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == NULL) return NULL;
    *size = SizeofResource(module, found);
    return static_cast<const BYTE*>(LockResource(loaded));
}

BOOL TemplateDialog::BuildTemplate(const BYTE* templ, DWORD size, const std::wstring& face, WORD points,
                                   WORD weight, WORD italic, std::vector<DWORD>* built) {
    if (templ == NULL || size < 4) return FALSE;
    if (DialogTemplate::IsExtended(templ, size)) {
        return BuildExTemplate(templ, size, face, points, weight, italic, built);
    }
    return BuildStdTemplate(templ, size, face, points, built);
}

BOOL TemplateDialog::BuildStdTemplate(const BYTE* templ, DWORD size, const std::wstring& face, WORD points,
                                      std::vector<DWORD>* built) {
    return DialogTemplate::RebuildStd(templ, size, face, points, built);
}

BOOL TemplateDialog::BuildExTemplate(const BYTE* templ, DWORD size, const std::wstring& face, WORD points,
                                     WORD weight, WORD italic, std::vector<DWORD>* built) {
    return DialogTemplate::RebuildEx(templ, size, face, points, weight, italic, built);
}

BOOL TemplateDialog::SkipSzOrOrd(const BYTE** p, const BYTE* end) {
    return DialogTemplate::SkipSzOrOrd(p, end);
}

BOOL TemplateDialog::SkipSz(const BYTE** p, const BYTE* end) {
    return DialogTemplate::SkipSz(p, end);
}
