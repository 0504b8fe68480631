#ifndef MAINWINDOW_BANDS_REBAR_H
#define MAINWINDOW_BANDS_REBAR_H

#include <windows.h>

#include <memory>

#include "mainwindow/print/PrintControls.h"

class IniFile;
class ToolBarPanel;

// The main window's tool bar: a common-controls rebar with the control id
// 2001 holding the six tool bands (ids 2100..2105: file, port, view,
// communication, area, print). Band commands reach the frame through the
// rebar window. The band order, widths and styles are kept in the settings
// section "Rebar"; the print band starts hidden and is shown only in print
// preview. State changes from the frame go to whichever band holds the item;
// the print view reaches the print band's combo boxes so, as PrintControls.
// Created by the application, its window by the frame.
// User-interface thread only.
class Rebar : public PrintControls {
public:
    static const int kControlId = 2001;
    static const int kBandCount = 6;
    static const UINT kFirstBandId = 2100;
    static const char kSection[];  // settings of the band layout

    Rebar();
    ~Rebar() override;

    // The rebar window with its bands, 0 on failure.
    virtual HWND Create(HINSTANCE instance, HWND parent);
    // Saves the layout, deletes the bands and destroys the window.
    virtual BOOL Destroy();
    virtual HWND GetHwnd();
    // Lets every band fill its items again in the current language.
    virtual void ForEachBand();
    // Follows the frame's new client width.
    virtual void Resize(int width);
    // The window's height while it is visible, else 0.
    virtual int GetHeight();
    virtual void Show(int showCommand);
    virtual BOOL IsShown();
    virtual void ShowBand(UINT bandId, BOOL show);
    virtual BOOL IsBandShown(UINT bandId);
    // The forwarders: the first band (2100..2105) that holds the item.
    virtual BOOL SetItemCheck(UINT id, int state);
    virtual BOOL EnableItem(UINT id, BOOL enable);
    virtual BOOL SelectComboItem(UINT id, int index);
    LRESULT SendItemMessage(UINT id, UINT msg, WPARAM wParam, LPARAM lParam) override;
    HWND GetItemWindow(UINT id) override;
    // The band item under the mouse, 0 for none.
    virtual UINT HoveredItem();

private:
    Rebar(const Rebar&) = delete;
    Rebar& operator=(const Rebar&) = delete;

    // One position of the saved layout; id 0 = a fresh position.
    struct Position {
        UINT id;
        UINT width;
        UINT style;
    };
    void CreateBands();
    void DeleteBands();
    void ReadLayout(IniFile* settings, Position layout[kBandCount]);
    void SaveLayout(IniFile* settings);
    void InsertBand(int index, const Position& saved);
    // The band of a band id, 0 for any other id.
    ToolBarPanel* BandOf(UINT bandId);
    ToolBarPanel* BandHolding(UINT itemId);

    HWND m_hwnd;
    HINSTANCE m_instance;
    HWND m_parent;
    std::unique_ptr<ToolBarPanel> m_bands[kBandCount];  // by band id - 2100
};

#endif
