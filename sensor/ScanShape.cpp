#include "sensor/ScanShape.h"

#include <cmath>

#include "sensor/SensorCaps.h"

namespace {

const double kPi = 3.14159265358979323846;
const int kCentreStep769 = 384;
const int kCentreStepShort = 60;

}  // namespace

ScanShape::ScanShape()
    : m_caps(nullptr),
      m_pointCount(0),
      m_outlineOnly(0),
      m_brush1(CreateSolidBrush(kBrush1Colour)),
      m_brush2(CreateSolidBrush(kBrush2Colour)),
      m_brush3(CreateSolidBrush(kBrush3Colour)) {}

ScanShape::~ScanShape() {}

void ScanShape::SetDevice(SensorCaps* caps) { m_caps = caps; }
void ScanShape::Clear() { m_caps = nullptr; }
void ScanShape::SetScan(const ScanData& scan) { m_scan = scan; }
ScanData* ScanShape::GetScan() { return &m_scan; }
void ScanShape::SetOutlineOnly(DWORD outlineOnly) { m_outlineOnly = outlineOnly; }
DWORD ScanShape::IsOutlineOnly() const { return m_outlineOnly; }

WORD ScanShape::GetFirstWord() const {
    return m_scan.GetStep(static_cast<WORD>(ScanData::FirstStep(StepCount())));
}

int ScanShape::StepCount() const {
    if (m_caps == nullptr) return ScanData::kStepCount;
    const int steps = m_caps->HasCapability(SensorCaps::kCapStepCount);
    if (steps < 1) return 1;
    return steps > ScanData::kStepCount ? ScanData::kStepCount : steps;
}

void ScanShape::BuildPolygon769() { BuildPolygon(kCentreStep769, false); }
void ScanShape::BuildPolygonCentred60() { BuildPolygon(kCentreStepShort, true); }
void ScanShape::BuildPolygonCentred60b() { BuildPolygon(kCentreStepShort, true); }

void ScanShape::Append(LONG x, LONG y) {
    if (m_pointCount >= kMaxPoints) return;
    m_points[m_pointCount].x = x;
    m_points[m_pointCount].y = y;
    ++m_pointCount;
}

void ScanShape::BuildPolygon(int centreStep, bool scaleEcho) {
    if (m_caps == nullptr) return;
    const int startAngle = m_caps->HasCapability(SensorCaps::kCapStartAngle);  // tenths of a degree
    const int steps = StepCount();

    // The steps span from the start angle to its mirror image about +y.
    double angle = startAngle * kPi / 1800;
    const double delta = steps > 1 ? ((900 - startAngle) * 2 * kPi / (steps - 1)) / 1800 : 0;
    const int half = (steps - 1) / 2;
    m_pointCount = 0;
    bool lastNoEcho = false;
    for (int k = centreStep - half; k <= centreStep + half; ++k) {
        const WORD d = k >= 0 ? m_scan.GetStep(static_cast<WORD>(k)) : ScanData::kNoEchoFill;
        const double c = std::cos(angle);
        const double s = std::sin(angle);
        const LONG farX = static_cast<LONG>(kNoEchoRadius * c);
        const LONG farY = static_cast<LONG>(kNoEchoRadius * s);
        if (d >= ScanData::kNoEcho) {
            Append(farX, farY);
            lastNoEcho = true;
        } else {
            // Where the echo returns, go out to the far circle first so the
            // no-echo sector keeps its straight edge.
            if (lastNoEcho && d > 0) Append(farX, farY);
            const LONG distance = scaleEcho ? static_cast<LONG>((static_cast<DWORD>(d) * 5000) >> 13) : d;
            Append(static_cast<LONG>(distance * c), static_cast<LONG>(distance * s));
            lastNoEcho = false;
        }
        angle += delta;
    }
    Append(0, 0);
}

// The tools go back when their scopes end: the context may outlive the brushes.
int ScanShape::Draw(HDC dc, HBRUSH brush) {
    const int oldRop = SetROP2(dc, R2_MASKPEN);
    if (m_outlineOnly) {
        SelectScope noFill(dc, GetStockObject(NULL_BRUSH));
        SelectScope pen(dc, GetStockObject(BLACK_PEN));
        // From the sensor round the scan and back, closing the outline.
        MoveToEx(dc, 0, 0, NULL);
        if (m_pointCount > 0) PolylineTo(dc, m_points, m_pointCount);
    } else {
        SelectScope fill(dc, brush);
        SelectScope noPen(dc, GetStockObject(NULL_PEN));
        if (m_pointCount > 0) Polygon(dc, m_points, m_pointCount);
    }
    if (oldRop != 0) SetROP2(dc, oldRop);
    return 1;
}

int ScanShape::DrawBrush1(HDC dc) { return Draw(dc, m_brush1); }
int ScanShape::DrawBrush2(HDC dc) { return Draw(dc, m_brush2); }
int ScanShape::DrawBrush3(HDC dc) { return Draw(dc, m_brush3); }
