#include "framework/TemplateDialog.h"

#include <cstring>

namespace {

WORD ReadWord(const BYTE* p) {
    WORD value;
    memcpy(&value, p, sizeof value);
    return value;
}

DWORD ReadDword(const BYTE* p) {
    DWORD value;
    memcpy(&value, p, sizeof value);
    return value;
}

// Items start on 4-byte boundaries counted from the template's start.
size_t AlignedOffset(size_t offset) {
    return (offset + 3) & ~static_cast<size_t>(3);
}

void AppendBytes(std::vector<BYTE>* out, const void* data, size_t size) {
    const BYTE* bytes = static_cast<const BYTE*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

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
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    int dpi = dc != NULL ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc != NULL) ReleaseDC(desktop, dc);
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
    if (ReadWord(templ) == 1 && ReadWord(templ + 2) == 0xFFFF) {
        return BuildExTemplate(templ, size, face, points, weight, italic, built);
    }
    return BuildStdTemplate(templ, size, face, points, built);
}

BOOL TemplateDialog::BuildStdTemplate(const BYTE* templ, DWORD size, const std::wstring& face, WORD points,
                                      std::vector<DWORD>* built) {
    static const Layout kPlain = {18, 0, 8, 2, 18};
    std::vector<BYTE> font;
    AppendBytes(&font, &points, sizeof points);
    return Rebuild(templ, size, kPlain, font, face, built);
}

BOOL TemplateDialog::BuildExTemplate(const BYTE* templ, DWORD size, const std::wstring& face, WORD points,
                                     WORD weight, WORD italic, std::vector<DWORD>* built) {
    static const Layout kExtended = {26, 12, 16, 6, 24};
    std::vector<BYTE> font;
    AppendBytes(&font, &points, sizeof points);
    AppendBytes(&font, &weight, sizeof weight);
    font.push_back(static_cast<BYTE>(italic));
    font.push_back(0);  // charset
    return Rebuild(templ, size, kExtended, font, face, built);
}

BOOL TemplateDialog::SkipSzOrOrd(const BYTE** p, const BYTE* end) {
    if (end - *p < 2) return FALSE;
    if (ReadWord(*p) == 0xFFFF) {
        if (end - *p < 4) return FALSE;
        *p += 4;
        return TRUE;
    }
    return SkipSz(p, end);
}

BOOL TemplateDialog::SkipSz(const BYTE** p, const BYTE* end) {
    for (const BYTE* q = *p; end - q >= 2; q += 2) {
        if (ReadWord(q) == 0) {
            *p = q + 2;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL TemplateDialog::SkipItems(const BYTE* templ, const BYTE* end, const Layout& layout, WORD count,
                               const BYTE** p) {
    for (WORD i = 0; i < count; ++i) {
        if (i > 0) *p = templ + AlignedOffset(*p - templ);
        if (*p > end || static_cast<size_t>(end - *p) < layout.itemHeaderSize) return FALSE;
        *p += layout.itemHeaderSize;
        if (!SkipSzOrOrd(p, end) || !SkipSzOrOrd(p, end)) return FALSE;
        if (end - *p < 2) return FALSE;
        size_t extra = ReadWord(*p);
        *p += 2;
        size_t padded = (extra + 1) & ~static_cast<size_t>(1);
        if (static_cast<size_t>(end - *p) < padded) return FALSE;
        *p += padded;
    }
    // The padding after the last item may lie beyond the resource.
    const BYTE* aligned = templ + AlignedOffset(*p - templ);
    if (aligned <= end) *p = aligned;
    return TRUE;
}

BOOL TemplateDialog::Rebuild(const BYTE* templ, DWORD size, const Layout& layout,
                             const std::vector<BYTE>& fontBlock, const std::wstring& face,
                             std::vector<DWORD>* built) {
    const BYTE* end = templ + size;
    if (size < layout.headerSize) return FALSE;
    DWORD style = ReadDword(templ + layout.styleOffset);
    WORD count = ReadWord(templ + layout.countOffset);
    const BYTE* p = templ + layout.headerSize;
    if (!SkipSzOrOrd(&p, end) || !SkipSzOrOrd(&p, end) || !SkipSz(&p, end)) return FALSE;
    const size_t headerPart = p - templ;
    if (style & DS_SETFONT) {
        if (static_cast<size_t>(end - p) < layout.oldFontSize) return FALSE;
        p += layout.oldFontSize;
        if (!SkipSz(&p, end)) return FALSE;
    }
    const size_t itemsOffset = AlignedOffset(p - templ);
    const BYTE* items = count > 0 || itemsOffset <= size ? templ + itemsOffset : end;
    if (items > end) return FALSE;
    p = items;
    if (!SkipItems(templ, end, layout, count, &p)) return FALSE;

    std::vector<BYTE> out;
    AppendBytes(&out, templ, headerPart);
    // The copy always carries a font block, so it must say so.
    DWORD newStyle = style | DS_SETFONT;
    memcpy(out.data() + layout.styleOffset, &newStyle, sizeof newStyle);
    AppendBytes(&out, fontBlock.data(), fontBlock.size());
    AppendBytes(&out, face.c_str(), (face.size() + 1) * sizeof(wchar_t));
    out.resize(AlignedOffset(out.size()), 0);
    AppendBytes(&out, items, p - items);

    built->assign((out.size() + 3) / 4, 0);
    memcpy(built->data(), out.data(), out.size());
    return TRUE;
}
