#ifndef FRAMEWORK_DIALOGTEMPLATE_H
#define FRAMEWORK_DIALOGTEMPLATE_H

#include <windows.h>

#include <string>
#include <vector>

// Walking and rebuilding dialog templates held in memory, plain (DLGTEMPLATE)
// or extended (DLGTEMPLATEEX). Pure functions over a byte range: no window,
// no resource; every read is checked against the range's end, so a damaged
// template is refused instead of read past.
namespace DialogTemplate {

// Advances *p over an ordinal (0xFFFF and a WORD) or a terminated UTF-16
// string; 0 when that would pass end.
BOOL SkipSzOrOrd(const BYTE** p, const BYTE* end);
// Advances *p over a terminated UTF-16 string; 0 when it has no terminator
// before end.
BOOL SkipSz(const BYTE** p, const BYTE* end);
// 1 when the template starts with the extended layout's version 1 and
// signature 0xFFFF.
BOOL IsExtended(const BYTE* templ, DWORD size);
// A copy of the template whose font block names face at points (and weight,
// italic, charset 0 for the extended layout), with DS_SETFONT set; header
// and items are copied unchanged. 0 when the template is cut short.
BOOL RebuildStd(const BYTE* templ, DWORD size, const std::wstring& face, WORD points,
                std::vector<DWORD>* built);
BOOL RebuildEx(const BYTE* templ, DWORD size, const std::wstring& face, WORD points, WORD weight, WORD italic,
               std::vector<DWORD>* built);

}  // namespace DialogTemplate

#endif
