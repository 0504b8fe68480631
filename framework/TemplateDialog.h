#ifndef FRAMEWORK_TEMPLATEDIALOG_H
#define FRAMEWORK_TEMPLATEDIALOG_H

#include "framework/DialogWindow.h"

#include <string>
#include <vector>

// A dialog whose template is taken from a given module (a language module or
// the program) and rebuilt in memory with the system's GUI font, whatever
// face the template names. The parsing itself is framework/DialogTemplate;
// a damaged template makes the creation fail.
class TemplateDialog : public DialogWindow {
public:
    TemplateDialog();
    ~TemplateDialog() override;

    // 1 when a window came back.
    virtual BOOL CreateIndirect(HMODULE module, LPCSTR templ, HWND parent);
    // The EndDialog result; -1 when the dialog could not be made.
    virtual INT_PTR DoModalIndirect(HMODULE module, LPCSTR templ, HWND parent);
    virtual BOOL GetGuiFont(std::wstring* face, WORD* points, WORD* weight, WORD* italic);
    // The template's bytes and size; 0 when the module lacks it.
    virtual const BYTE* LoadTemplate(HMODULE module, LPCSTR templ, DWORD* size);
    // Rebuilds a plain or extended template with the given font into built.
    virtual BOOL BuildTemplate(const BYTE* templ, DWORD size, const std::wstring& face, WORD points,
                               WORD weight, WORD italic, std::vector<DWORD>* built);
    virtual BOOL BuildStdTemplate(const BYTE* templ, DWORD size, const std::wstring& face, WORD points,
                                  std::vector<DWORD>* built);
    virtual BOOL BuildExTemplate(const BYTE* templ, DWORD size, const std::wstring& face, WORD points,
                                 WORD weight, WORD italic, std::vector<DWORD>* built);
    // Advance *p over an ordinal (0xFFFF and a WORD) or a terminated UTF-16
    // string; 0 when it would pass end.
    virtual BOOL SkipSzOrOrd(const BYTE** p, const BYTE* end);
    virtual BOOL SkipSz(const BYTE** p, const BYTE* end);

private:
    BOOL Prepare(HMODULE module, LPCSTR templ, std::vector<DWORD>* built);
};

#endif
