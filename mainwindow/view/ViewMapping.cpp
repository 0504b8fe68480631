#include "mainwindow/view/ViewMapping.h"

#include "framework/IniFile.h"

const char ViewMapping::kSection[] = "View";

namespace {

const int kMaxPixels = 32767;

struct MappingKey {
    const char* name;
    int def;
};

// In the order they are stored, with their defaults.
const MappingKey kKeys[] = {
    {"WindowOriginX", -5000},   {"WindowOriginY", 5000},   {"WindowExtentCX", 10000}, {"WindowExtentCY", -8000},
    {"ViewportOriginX", 0},     {"ViewportOriginY", 0},    {"ViewportExtentCX", 512}, {"ViewportExtentCY", 384},
    {"ClientOriginX", 0},       {"ClientOriginY", 0},      {"ClientExtentCX", 512},   {"ClientExtentCY", 384},
};

enum KeyIndex {
    kWindowOriginX, kWindowOriginY, kWindowExtentCX, kWindowExtentCY,
    kViewportOriginX, kViewportOriginY, kViewportExtentCX, kViewportExtentCY,
    kClientOriginX, kClientOriginY, kClientExtentCX, kClientExtentCY,
    kKeyCount
};

int Clamp(int value, int low, int high) {
    return value < low ? low : (value > high ? high : value);
}

// The y extent is negative (y grows upwards); a zero one takes the default.
int LimitExtentY(int value) {
    if (value == 0) return kKeys[kWindowExtentCY].def;
    int magnitude = value < 0 ? (value < -ViewMapping::kMaxExtent ? ViewMapping::kMaxExtent : -value) : value;
    return -Clamp(magnitude, 1, ViewMapping::kMaxExtent);
}

}  // namespace

ViewMapping::ViewMapping() {
    m_windowOrigin.x = kKeys[kWindowOriginX].def;
    m_windowOrigin.y = kKeys[kWindowOriginY].def;
    m_windowExtent.cx = kKeys[kWindowExtentCX].def;
    m_windowExtent.cy = kKeys[kWindowExtentCY].def;
    m_viewportOrigin.x = 0;
    m_viewportOrigin.y = 0;
    m_viewportExtent.cx = kKeys[kViewportExtentCX].def;
    m_viewportExtent.cy = kKeys[kViewportExtentCY].def;
    m_clientOrigin.x = 0;
    m_clientOrigin.y = 0;
    m_clientExtent = m_viewportExtent;
    m_desktop = m_viewportExtent;
    DeriveAnchor();
}

void ViewMapping::Load(IniFile& settings) {
    int v[kKeyCount];
    for (int i = 0; i < kKeyCount; ++i) v[i] = settings.GetInt(kSection, kKeys[i].name, kKeys[i].def);
    m_windowOrigin.x = Clamp(v[kWindowOriginX], -kPlanLimit, kPlanLimit);
    m_windowOrigin.y = Clamp(v[kWindowOriginY], -kPlanLimit, kPlanLimit);
    m_windowExtent.cx = Clamp(v[kWindowExtentCX], kMinExtent, kMaxExtent);
    m_windowExtent.cy = LimitExtentY(v[kWindowExtentCY]);
    m_viewportOrigin.x = Clamp(v[kViewportOriginX], -kPlanLimit, kPlanLimit);
    m_viewportOrigin.y = Clamp(v[kViewportOriginY], -kPlanLimit, kPlanLimit);
    m_viewportExtent.cx = Clamp(v[kViewportExtentCX], 1, kMaxPixels);
    m_viewportExtent.cy = Clamp(v[kViewportExtentCY], 1, kMaxPixels);
    m_clientOrigin.x = Clamp(v[kClientOriginX], -kPlanLimit, kPlanLimit);
    m_clientOrigin.y = Clamp(v[kClientOriginY], -kPlanLimit, kPlanLimit);
    m_clientExtent.cx = Clamp(v[kClientExtentCX], 1, kMaxPixels);
    m_clientExtent.cy = Clamp(v[kClientExtentCY], 1, kMaxPixels);
    m_desktop = m_viewportExtent;
    DeriveAnchor();
}

void ViewMapping::Save(IniFile& settings) const {
    const int v[kKeyCount] = {
        m_windowOrigin.x,   m_windowOrigin.y,   m_windowExtent.cx,   m_windowExtent.cy,
        m_viewportOrigin.x, m_viewportOrigin.y, m_viewportExtent.cx, m_viewportExtent.cy,
        m_clientOrigin.x,   m_clientOrigin.y,   m_clientExtent.cx,   m_clientExtent.cy,
    };
    for (int i = 0; i < kKeyCount; ++i) settings.WriteInt(kSection, kKeys[i].name, v[i]);
}

// The viewport origin is the anchor's device position seen from the window
// origin, so the anchor follows back from both origins.
void ViewMapping::DeriveAnchor() {
    m_anchor.x = m_windowOrigin.x + MulDiv(m_viewportOrigin.x, m_windowExtent.cx, m_viewportExtent.cx);
    m_anchor.y = m_windowOrigin.y + MulDiv(m_viewportOrigin.y, m_windowExtent.cy, m_viewportExtent.cy);
}

void ViewMapping::SetDesktopSize(int width, int height) {
    m_desktop.cx = Clamp(width, 1, kMaxPixels);
    m_desktop.cy = Clamp(height, 1, kMaxPixels);
}

void ViewMapping::SetClientExtent(int width, int height) {
    m_clientExtent.cx = width;
    m_clientExtent.cy = height;
}

POINT ViewMapping::ToLogical(POINT device) const {
    POINT p;
    p.x = MulDiv(device.x - m_viewportOrigin.x, m_windowExtent.cx, m_viewportExtent.cx) + m_windowOrigin.x;
    p.y = MulDiv(device.y - m_viewportOrigin.y, m_windowExtent.cy, m_viewportExtent.cy) + m_windowOrigin.y;
    return p;
}

POINT ViewMapping::ToDevice(POINT logical) const {
    POINT p;
    p.x = MulDiv(logical.x - m_windowOrigin.x, m_viewportExtent.cx, m_windowExtent.cx) + m_viewportOrigin.x;
    p.y = MulDiv(logical.y - m_windowOrigin.y, m_viewportExtent.cy, m_windowExtent.cy) + m_viewportOrigin.y;
    return p;
}

int ViewMapping::SetMapping(int x, int y, int cx, int cy) {
    if (m_clientExtent.cx < 1 || m_clientExtent.cy < 1 || cx < 1 || cy < 1) return 0;
    POINT corner = {x, y};
    POINT p = ToLogical(corner);
    // The logical size that the desktop's width and height will show.
    SIZE e;
    e.cx = MulDiv(MulDiv(cx, m_desktop.cx, m_clientExtent.cx), m_windowExtent.cx, m_viewportExtent.cx);
    e.cy = MulDiv(MulDiv(cy, m_desktop.cy, m_clientExtent.cy), m_windowExtent.cy, m_viewportExtent.cy);
    if (e.cx > kMaxExtent) LimitExtent(&p, &e, kMaxExtent);
    if (e.cx < kMinExtent) LimitExtent(&p, &e, kMinExtent);
    m_windowExtent = e;
    m_viewportExtent = m_desktop;

    POINT visible = {MulDiv(m_clientExtent.cx, e.cx, m_desktop.cx), MulDiv(m_clientExtent.cy, e.cy, m_desktop.cy)};
    LimitHorizontal(&p.x, visible.x);
    LimitVertical(&p.y, visible.y);
    m_windowOrigin = p;
    m_viewportOrigin.x = MulDiv(m_anchor.x - p.x, m_viewportExtent.cx, m_windowExtent.cx);
    m_viewportOrigin.y = MulDiv(m_anchor.y - p.y, m_viewportExtent.cy, m_windowExtent.cy);
    return 1;
}

// The extent at its limit with the desktop's aspect; the corner moves along the
// line through the current and the requested corner, so the point that the
// zoom keeps in place stays on its pixel.
void ViewMapping::LimitExtent(POINT* corner, SIZE* extent, int limit) {
    // The logical point that the top-left pixel shows now.
    const POINT topLeft = {2 * m_windowOrigin.x - m_anchor.x, 2 * m_windowOrigin.y - m_anchor.y};
    SIZE limited = {limit, MulDiv(-limit, m_desktop.cy, m_desktop.cx)};
    if (extent->cx != m_windowExtent.cx) {
        corner->x = topLeft.x - MulDiv(topLeft.x - corner->x, limited.cx - m_windowExtent.cx,
                                       extent->cx - m_windowExtent.cx);
    }
    if (extent->cy != m_windowExtent.cy) {
        corner->y = topLeft.y - MulDiv(topLeft.y - corner->y, limited.cy - m_windowExtent.cy,
                                       extent->cy - m_windowExtent.cy);
    }
    *extent = limited;
}

// The window origin keeps the desktop-wide extent within the plan; the anchor
// keeps the requested left edge on screen unless the visible right edge
// would pass the limit.
void ViewMapping::LimitHorizontal(LONG* left, LONG visible) {
    const LONG width = m_windowExtent.cx;
    if (*left < -kPlanLimit) {
        *left = -kPlanLimit;
        m_anchor.x = -kPlanLimit;
    } else if (*left + width > kPlanLimit) {
        const LONG over = *left + width - kPlanLimit;
        *left = kPlanLimit - width;
        m_anchor.x = over + visible + *left > kPlanLimit ? visible - kPlanLimit + 2 * *left : *left - over;
    } else {
        m_anchor.x = *left;
    }
}

// As LimitHorizontal, with the top edge at most +20000 and the bottom edge at
// least -20000 (the extent is negative).
void ViewMapping::LimitVertical(LONG* top, LONG visible) {
    const LONG height = m_windowExtent.cy;
    if (*top > kPlanLimit) {
        *top = kPlanLimit;
        m_anchor.y = kPlanLimit;
    } else if (*top + height < -kPlanLimit) {
        const LONG under = -kPlanLimit - (*top + height);
        *top = -kPlanLimit - height;
        m_anchor.y = visible - under + *top < -kPlanLimit ? visible + kPlanLimit + 2 * *top : *top + under;
    } else {
        m_anchor.y = *top;
    }
}

void ViewMapping::Apply(HDC dc) const {
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, m_windowExtent.cx, m_windowExtent.cy, NULL);
    SetViewportExtEx(dc, m_viewportExtent.cx, m_viewportExtent.cy, NULL);
    SetWindowOrgEx(dc, m_windowOrigin.x, m_windowOrigin.y, NULL);
    SetViewportOrgEx(dc, m_viewportOrigin.x, m_viewportOrigin.y, NULL);
}

void ViewMapping::Reset(HDC dc) {
    SetWindowOrgEx(dc, 0, 0, NULL);
    SetViewportOrgEx(dc, 0, 0, NULL);
    SetMapMode(dc, MM_TEXT);
}
