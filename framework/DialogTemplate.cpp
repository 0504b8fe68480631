#include "framework/DialogTemplate.h"

#include "framework/LittleEndian.h"

#include <cstring>

namespace {

DWORD ReadLeDword(const BYTE* p) {
    return ReadLeWord(p) | static_cast<DWORD>(ReadLeWord(p + 2)) << 16;
}

// Items start on 4-byte boundaries counted from the template's start.
size_t AlignedOffset(size_t offset) {
    return (offset + 3) & ~static_cast<size_t>(3);
}

void AppendBytes(std::vector<BYTE>* out, const void* data, size_t size) {
    const BYTE* bytes = static_cast<const BYTE*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

// Where the plain and the extended layouts differ.
struct Layout {
    size_t headerSize;      // fixed header before the menu
    size_t styleOffset;     // of the dialog's style DWORD
    size_t countOffset;     // of the item count WORD
    size_t oldFontSize;     // font block before its face name
    size_t itemHeaderSize;  // fixed part of each item
};

const Layout kPlain = {18, 0, 8, 2, 18};
const Layout kExtended = {26, 12, 16, 6, 24};

BOOL SkipItems(const BYTE* templ, const BYTE* end, const Layout& layout, WORD count, const BYTE** p) {
    for (WORD i = 0; i < count; ++i) {
        if (i > 0) *p = templ + AlignedOffset(*p - templ);
        if (*p > end || static_cast<size_t>(end - *p) < layout.itemHeaderSize) return FALSE;
        *p += layout.itemHeaderSize;
        if (!DialogTemplate::SkipSzOrOrd(p, end) || !DialogTemplate::SkipSzOrOrd(p, end)) return FALSE;
        if (end - *p < 2) return FALSE;
        size_t extra = ReadLeWord(*p);
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

BOOL Rebuild(const BYTE* templ, DWORD size, const Layout& layout, const std::vector<BYTE>& fontBlock,
             const std::wstring& face, std::vector<DWORD>* built) {
    if (templ == NULL || size < layout.headerSize) return FALSE;
    const BYTE* end = templ + size;
    DWORD style = ReadLeDword(templ + layout.styleOffset);
    WORD count = ReadLeWord(templ + layout.countOffset);
    const BYTE* p = templ + layout.headerSize;
    if (!DialogTemplate::SkipSzOrOrd(&p, end) || !DialogTemplate::SkipSzOrOrd(&p, end) ||
        !DialogTemplate::SkipSz(&p, end)) {
        return FALSE;
    }
    const size_t headerPart = p - templ;
    if (style & DS_SETFONT) {
        if (static_cast<size_t>(end - p) < layout.oldFontSize) return FALSE;
        p += layout.oldFontSize;
        if (!DialogTemplate::SkipSz(&p, end)) return FALSE;
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

}  // namespace

namespace DialogTemplate {

BOOL SkipSzOrOrd(const BYTE** p, const BYTE* end) {
    if (end - *p < 2) return FALSE;
    if (ReadLeWord(*p) == 0xFFFF) {
        if (end - *p < 4) return FALSE;
        *p += 4;
        return TRUE;
    }
    return SkipSz(p, end);
}

BOOL SkipSz(const BYTE** p, const BYTE* end) {
    for (const BYTE* q = *p; end - q >= 2; q += 2) {
        if (ReadLeWord(q) == 0) {
            *p = q + 2;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL IsExtended(const BYTE* templ, DWORD size) {
    return templ != NULL && size >= 4 && ReadLeWord(templ) == 1 && ReadLeWord(templ + 2) == 0xFFFF;
}

BOOL RebuildStd(const BYTE* templ, DWORD size, const std::wstring& face, WORD points,
                std::vector<DWORD>* built) {
    std::vector<BYTE> font;
    AppendBytes(&font, &points, sizeof points);
    return Rebuild(templ, size, kPlain, font, face, built);
}

BOOL RebuildEx(const BYTE* templ, DWORD size, const std::wstring& face, WORD points, WORD weight, WORD italic,
               std::vector<DWORD>* built) {
    std::vector<BYTE> font;
    AppendBytes(&font, &points, sizeof points);
    AppendBytes(&font, &weight, sizeof weight);
    font.push_back(static_cast<BYTE>(italic));
    font.push_back(0);  // charset
    return Rebuild(templ, size, kExtended, font, face, built);
}

}  // namespace DialogTemplate
