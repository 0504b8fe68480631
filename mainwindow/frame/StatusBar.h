#ifndef MAINWINDOW_FRAME_STATUSBAR_H
#define MAINWINDOW_FRAME_STATUSBAR_H

#include "framework/ChildWindow.h"
#include "framework/GdiObject.h"
#include "framework/WindowDc.h"

#include <memory>
#include <string>

// The main window's status line: a common-controls status window with the
// control id 2002, subclassed so its messages reach this object. Five parts:
//   0  hints and edit information
//   1  the cursor position in millimetres with its scan step, or a zoom size
//   2  the selected area with its option icons (owner-drawn)
//   3  the COM port, link state and baud rate (owner-drawn)
//   4  the room of the size grip
// Part 1 takes the width of its widest text in the bar's font; parts 2 and
// 3 measure their widths once with the current language's texts when they
// are first drawn, and the next layout uses the measured widths.
// The frame hands WM_DRAWITEM of control 2002 on to the status window.
// User-interface thread only.
class StatusBar : public ChildWindow {
public:
    static const int kControlId = 2002;
    static const int kNoSensorArea = 255;
    static const int kParts = 5;
    enum Part { kHintPart = 0, kCursorPart = 1, kAreaPart = 2, kPortPart = 3, kGripPart = 4 };

    StatusBar();
    ~StatusBar() override;

    // The status window, 0 on failure.
    virtual HWND Create(HINSTANCE instance, HWND parent);
    // The window's height while it is visible, else 0.
    virtual int GetHeight();
    virtual void Show(int showCommand);
    // Measures the owner-drawn parts again (after a language change) and
    // lays the parts out.
    virtual void RefreshParts();
    // Empties one part, keeping its drawing type.
    virtual void ClearPart(int part);
    // port 0 = none; baud-rate index 0, 1, 2 or any other for automatic.
    virtual void SetPort(int port, int linkLevel, int rateIndex);
    virtual void SetCursorPos(POINT mm);
    virtual void SetSize(POINT from, POINT to);
    // flags: the area's packed option flags (two-scan bits 0-2, mirror
    // reflection bit 5, half hysteresis bit 6).
    virtual void SetArea(int area, WORD flags, BOOL selectedBySensor);
    // The area the sensor reports, kNoSensorArea for none.
    virtual void SetSensorArea(int area);
    // handle 0..6: a point of output 1; 7, 8: the distance of output 2, 3.
    // value: low and high 16 bits, signed.
    virtual void SetEditInfo(BYTE handle, DWORD value);
    virtual void SetHint(const char* text);
    virtual LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    virtual void DrawAreaPart(HDC dc, const RECT& rect, DWORD data);
    virtual void DrawPortPart(HDC dc, const RECT& rect, DWORD data);

    // The texts the parts show, in the current language.
    std::string AreaText() const;
    static std::string PortText(DWORD portData);
    static std::string CursorText(POINT mm);
    static std::string EditText(BYTE handle, DWORD value);
    // The scan step under a point in millimetres, -1 outside the scan.
    static int StepAt(POINT mm);
    // Part 3's data: port, link level and rate index in one word.
    static DWORD PackPort(int port, int linkLevel, int rateIndex);

private:
    void LoadIcons();
    void LayOutParts();
    void SetPartText(int part, UINT type, const char* text);
    void SetOwnerDrawn(int part, DWORD data);
    // Copies a piece of the icon strip.
    void DrawIcon(HDC dc, int x, int y, int size, int sourceX, int sourceY);
    int GapBetweenParts();
    void MeasureCursorPart();
    void MeasureAreaPart(HDC dc);
    void MeasurePortPart(HDC dc);
    void TakeWidth(int part, int width);

    HINSTANCE m_instance;  // the program's own, which holds the icon strip
    HWND m_parent;
    int m_widths[kParts];  // of parts 1, 2 and 3 in pixels
    // The strip goes after the context it is selected into, which gives
    // its old bitmap back first.
    OwnedBitmap m_icons;
    std::unique_ptr<MemoryDc> m_iconDc;
    BYTE m_area;
    BYTE m_sensorArea;  // kNoSensorArea when the sensor reports none
    WORD m_areaFlags;
    BOOL m_selectedBySensor;
    DWORD m_portData;  // what part 3 shows, kept for a refresh
    BOOL m_areaMeasured;
    BOOL m_portMeasured;
};

#endif
