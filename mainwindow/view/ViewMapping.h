#ifndef MAINWINDOW_VIEW_VIEWMAPPING_H
#define MAINWINDOW_VIEW_VIEWMAPPING_H

#include <windows.h>

class IniFile;

// How the view maps millimetres (the sensor at the origin, y up) to pixels:
// the window origin and extent in mm, the viewport origin and extent in
// pixels (the extent is always the size of the desktop window, the primary
// monitor), and the view's client origin and extent. A plain value: the view keeps one on
// the user-interface thread and hands copies to its render thread, so that
// converting a mouse position never waits for a drawing in progress.
//
// SetMapping zooms and pans: it makes a rectangle of the current picture the
// new visible area, keeps the desktop-wide extent within 3000..40000 mm and
// the picture within +-20000 mm. The window origin keeps the desktop-wide
// extent inside the limits; the anchor, carried into the viewport origin,
// shifts the picture the rest of the way, so the top-left pixel shows
// 2 * window origin - anchor.
class ViewMapping {
public:
    static const int kMinExtent = 3000;    // mm over the desktop's width
    static const int kMaxExtent = 40000;   // mm over the desktop's width
    static const int kPlanLimit = 20000;   // mm either way of the sensor
    static const char kSection[];

    ViewMapping();

    // Reads the mapping from section "View", each value limited so that no
    // stored value can produce a degenerate or runaway picture, and derives
    // the anchor from the saved origins so a restart shows the same view.
    void Load(IniFile& settings);
    void Save(IniFile& settings) const;

    // The desktop window's size; the viewport extent follows it at the next
    // SetMapping.
    void SetDesktopSize(int width, int height);
    void SetClientExtent(int width, int height);
    // Makes the device rectangle (x, y, cx, cy) of the current picture the
    // visible area, within the limits. 0 for a zero client or rectangle size.
    int SetMapping(int x, int y, int cx, int cy);

    POINT ToLogical(POINT device) const;
    POINT ToDevice(POINT logical) const;
    // MM_ANISOTROPIC with this mapping; Reset puts origins 0 and MM_TEXT back.
    void Apply(HDC dc) const;
    static void Reset(HDC dc);

    POINT WindowOrigin() const { return m_windowOrigin; }
    SIZE WindowExtent() const { return m_windowExtent; }
    POINT ViewportOrigin() const { return m_viewportOrigin; }
    SIZE ViewportExtent() const { return m_viewportExtent; }
    POINT ClientOrigin() const { return m_clientOrigin; }
    SIZE ClientExtent() const { return m_clientExtent; }
    POINT Anchor() const { return m_anchor; }
    SIZE DesktopSize() const { return m_desktop; }

private:
    void LimitExtent(POINT* fixed, SIZE* extent, int limit);
    void LimitHorizontal(LONG* left, LONG visible);
    void LimitVertical(LONG* top, LONG visible);
    void DeriveAnchor();

    POINT m_windowOrigin;    // mm
    SIZE m_windowExtent;     // mm; cy negative, so y grows upwards
    POINT m_viewportOrigin;  // pixels
    SIZE m_viewportExtent;   // pixels: the desktop size
    POINT m_clientOrigin;    // pixels
    SIZE m_clientExtent;     // pixels: the view's client size
    POINT m_anchor;          // mm
    SIZE m_desktop;          // pixels
};

#endif
