#ifndef DIALOGS_TIVINFODLG_H
#define DIALOGS_TIVINFODLG_H

#include "dialogs/SensorDialog.h"

#include <commctrl.h>

#include <string>

// Shows what the program knows of the connected sensor as a tree: its
// version, its functions, its trouble state and, with "-stats", its
// statistics counters. While open it has the device port poll the trouble
// state (and the statistics); the frame hands the reports on.
// Template 642; its placement is kept in the settings section "TivInfoDlg".
// User-interface thread only.
class TivInfoDlg : public SensorDialog {
public:
    static const WORD kTemplate = 642;

    TivInfoDlg();
    ~TivInfoDlg() override;

    // Opens the dialog when both collaborators are set and it is not open;
    // statistics adds the Statistics branch. 1 when a window came.
    virtual BOOL Show(HINSTANCE instance, HWND owner, BOOL statistics);
    // The generic way in: Show with the statistics as last chosen, then the
    // version and functions filled in; the open window or 0. (The base's
    // Create would make its own template.)
    HWND Create(HINSTANCE instance, HWND parent) override;
    // What the frame hands on from the sensor side; nothing while closed.
    virtual void RefreshVersion();
    virtual void RefreshFunctions();
    // code: a trouble code, 0xFF when not known (the link dropped).
    virtual void SetTrouble(BYTE code);
    // counts: eight unsigned 32-bit counters, or 0 when not known.
    virtual void SetStatistics(const void* counts);
    virtual void OnFunctionsChanged();
    virtual void OnFunctionWritten(DWORD result);

    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam) override;

private:
    // The current language module, whose texts the tree shows.
    HMODULE TextModule() const;
    HTREEITEM AddItem(HTREEITEM parent, const std::string& text);
    void SetItemText(HTREEITEM item, const std::string& text);
    HTREEITEM FirstChild(HTREEITEM item);
    void DeleteChildren(HTREEITEM item);
    // A branch with one "Unacquirable" child; the child when wanted.
    HTREEITEM AddBranch(UINT label, HTREEITEM* child);
    void ExpandAll();
    void SwitchPolling(DWORD on);

    HWND m_tree;                // the tree while open, else 0
    HTREEITEM m_versionItem;    // these four: while open, else 0
    HTREEITEM m_functionsRoot;
    HTREEITEM m_troubleItem;
    HTREEITEM m_statisticsRoot;  // 0 also without statistics
    BOOL m_statistics;           // "-stats": the Statistics branch and its polling
};

#endif
