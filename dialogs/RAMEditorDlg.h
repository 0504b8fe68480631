#ifndef DIALOGS_RAMEDITORDLG_H
#define DIALOGS_RAMEDITORDLG_H

#include "dialogs/HexWordGrid.h"
#include "dialogs/SensorDialog.h"

// Reads a range of the sensor's RAM as 16-bit words into a grid, lets them
// be edited in place and writes a range back. Addresses are byte addresses
// in hexadecimal; each grid row holds the eight words of one 16-byte line,
// labelled with its first address. A read or write moves at most 256
// words; a write covers only rows the grid holds and is refused while a
// word in its range is not a valid hexadecimal word.
// Template 649; its placement and size are kept in the settings section
// "RAMEditorDlg". User-interface thread only.
class RAMEditorDlg : public SensorDialog {
public:
    static const WORD kTemplate = 649;
    static const int kMaxWords = 256;

    RAMEditorDlg();
    ~RAMEditorDlg() override;

    // Modeless; 0 without a device port or when already open.
    HWND Create(HINSTANCE instance, HWND parent) override;
    // Nothing to update: the dialog does not depend on the sensor's
    // capabilities.
    virtual void UpdateControls();
    // Shows count words read from address start, one row per 16 bytes;
    // nothing while the window is closed.
    virtual void FillGrid(const WORD* words, WORD start, WORD count);
    virtual LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnRead(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT OnWrite(WORD id, WORD notifyCode, LPARAM hwndCtl);
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnSize(WPARAM wParam, LPARAM lParam) override;

    HexWordGrid& GetGrid() { return m_grid; }

private:
    WORD ReadAddress(int id);
    void ShowRange(WORD first, WORD last);
    // The address label of a data row (1..); FALSE when the row is missing.
    BOOL RowAddress(int row, WORD* address);
    void SetRowCount(int rows);
    void Layout(int width, int height);

    HexWordGrid m_grid;
};

#endif
