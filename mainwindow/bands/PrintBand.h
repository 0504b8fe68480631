#ifndef MAINWINDOW_BANDS_PRINTBAND_H
#define MAINWINDOW_BANDS_PRINTBAND_H

#include "mainwindow/bands/ToolBand.h"

#include <memory>
#include <string>
#include <vector>

// The print band, shown only in print preview: the printer choice with each
// printer's page margins (1/100 mm; the band owns them, each item's data
// points to its printer's), print,
// document properties, page setup, the zoom choice, header and footer,
// metafile export and leaving the preview. The two combo boxes report to the
// frame as WM_NOTIFY, which hands them to the print view.
class PrintBand : public ToolBand {
public:
    static const UINT kBandId = 2105;
    // Margins of a printer seen for the first time, 25 mm on every side.
    static const LONG kDefaultMargin = 2500;
    // The zoom in percent selected at first; the combo's user data holds the zoom.
    static const int kInitialZoom = 100;

    PrintBand();
    // Destroys the panel while the band's own handlers still exist.
    ~PrintBand() override;

    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    // On a language change: the last zoom entry in the new language.
    void InitItems() override;
    // Lists the printers again, keeping the margins of those seen before and
    // the selected printer if it is still there, else the default printer;
    // 0 when the printers cannot be listed.
    virtual BOOL FillPrinters();
    virtual void ClearPrinters();
    virtual LRESULT OnComboCommand(WORD id, WORD code, LPARAM combo);
    virtual LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);

protected:
    // The printer names in the spooler's order; 0 on failure.
    virtual BOOL ListPrinterNames(std::vector<std::string>* names);
    // The user's default printer, "" when there is none.
    virtual std::string DefaultPrinterName();

private:
    void FillZoom();
    void NotifyFrame(WORD id, WORD code);
    std::string ComboText(HWND combo, int index);
    int FindName(const std::vector<std::string>& names, const std::string& name);

    std::vector<std::unique_ptr<RECT>> m_margins;  // the printer items' margins, until ClearPrinters
};

#endif
