#ifndef DIALOGS_HEXWORDGRID_H
#define DIALOGS_HEXWORDGRID_H

#include "framework/TIVDataGrid.h"

// The grid of the memory editors: a header row and a header column around
// cells of 16-bit words shown as four lower-case hexadecimal digits. An
// in-place edit is stored only when it is 1 to 4 hexadecimal digits, so a
// typo never reaches a cell; a cell that holds no such word (never filled)
// stops a write. User-interface thread only.
class HexWordGrid : public TIVDataGrid {
public:
    static const UINT kId = 0x2000;

    // The editors' grid window: client edge, both bars, a tab stop.
    HWND CreateIn(HWND dialog, HINSTANCE instance, int x, int y, int cx, int cy);
    // Makes a header cell with the given text.
    void SetHeader(int row, int col, const char* text);
    void SetWord(int row, int col, WORD word);
    // FALSE when the cell holds no word of 1 to 4 hexadecimal digits.
    BOOL GetWord(int row, int col, WORD* word);
    // A dialog's WM_NOTIFY: for this grid's LVN_ENDLABELEDITA a valid word
    // is stored as four digits and shown, anything else refused with a
    // beep. TRUE when stored.
    BOOL StoreEdit(LPARAM notify);
    // Tells the user which cell stopped a write.
    void ReportInvalidCell(HWND owner, int row, int col);

    // 1 to 4 hexadecimal digits and nothing else.
    static BOOL ParseWord(const char* text, WORD* word);
};

#endif
