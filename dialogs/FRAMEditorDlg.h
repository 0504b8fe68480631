#ifndef DIALOGS_FRAMEDITORDLG_H
#define DIALOGS_FRAMEDITORDLG_H

#include "dialogs/HexWordGrid.h"
#include "dialogs/SensorDialog.h"

// Reads, edits and writes words of the sensor's FRAM: 256 words in a grid
// of 16 by 16 with decimal headers, word w in row w / 16 + 1, column
// w % 16 + 1. A read or write moves the first block of 64 words at access
// level 3; a write is refused until the words were read on this connection
// (the application's FRAM-read value) and while a word to be written is not
// a valid hexadecimal word.
// Template 650; its placement and size are kept in the settings section
// "FRAMEditorDlg". User-interface thread only.
class FRAMEditorDlg : public SensorDialog {
public:
    static const WORD kTemplate = 650;
    static const int kWords = 256;
    // A transfer of count 0 moves one block of 64 words from word 0.
    static const int kTransferWords = 64;

    FRAMEditorDlg();
    ~FRAMEditorDlg() override;

    // Modeless; 0 without a device port or when already open.
    HWND Create(HINSTANCE instance, HWND parent) override;
    // Nothing to update: the dialog does not depend on the sensor's
    // capabilities.
    virtual void UpdateControls();
    // The words of a successful read, from word index first (wrapping at 256).
    virtual void ShowWords(const WORD* words, BYTE first, WORD count);
    virtual LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    virtual LRESULT ReadFram(WORD id, WORD notifyCode, LPARAM hwndCtl);
    virtual LRESULT WriteFram(WORD id, WORD notifyCode, LPARAM hwndCtl);
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnSize(WPARAM wParam, LPARAM lParam) override;

    HexWordGrid& GetGrid() { return m_grid; }

private:
    void FillHeaders();
    void Layout(int width, int height);

    HexWordGrid m_grid;
};

#endif
