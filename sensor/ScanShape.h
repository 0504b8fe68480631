#ifndef SENSOR_SCANSHAPE_H
#define SENSOR_SCANSHAPE_H

#include <windows.h>

#include "framework/GdiObject.h"
#include "sensor/ScanData.h"

class SensorCaps;

// The realtime scan as the view draws it: a scan record turned into a closed
// polygon about the sensor (millimetres), drawn filled with one of three
// brushes or as an outline. Steps without an echo lie on a far circle.
// Owns its brushes; the sensor capabilities are borrowed. Holds no lock: its
// users serialise SetScan, building and drawing (the view draws under its lock).
class ScanShape {
public:
    static const int kMaxPoints = 2048;
    static const int kNoEchoRadius = 30000;  // mm
    static const COLORREF kBrush1Colour = 0x999999;  // grey
    static const COLORREF kBrush2Colour = 0xE9EB73;  // light cyan
    static const COLORREF kBrush3Colour = 0xE973EB;  // pink

    ScanShape();
    virtual ~ScanShape();

    virtual void SetDevice(SensorCaps* caps);
    virtual void Clear();  // forgets the sensor capabilities
    virtual void SetScan(const ScanData& scan);
    virtual ScanData* GetScan();
    // The first word the sensor sent, at its first step in the record
    // (step 0 without sensor capabilities).
    virtual WORD GetFirstWord() const;
    // The scan about step 384, spread from the start angle to its mirror
    // about +y: all 769 steps, or the middle steps of a sensor with fewer
    // (where the program keeps such scans). Nothing happens without sensor
    // capabilities.
    virtual void BuildPolygon769();
    // Short scans held about step 60, echo distances in sensor units of
    // 8192/5000 mm. The program keeps no scan there and does not call them.
    virtual void BuildPolygonCentred60();
    virtual void BuildPolygonCentred60b();
    // Draw with R2_MASKPEN, so overlapping fills darken each other. The
    // device context gets its raster operation, pen and brush back. Return 1.
    virtual int DrawBrush1(HDC dc);
    virtual int DrawBrush2(HDC dc);
    virtual int DrawBrush3(HDC dc);
    virtual void SetOutlineOnly(DWORD outlineOnly);
    virtual DWORD IsOutlineOnly() const;

    // The polygon last built: its points and their number.
    int GetPointCount() const { return m_pointCount; }
    const POINT* GetPoints() const { return m_points; }

private:
    ScanShape(const ScanShape&) = delete;
    ScanShape& operator=(const ScanShape&) = delete;

    int StepCount() const;  // the sensor's, within 1..769
    void BuildPolygon(int centreStep, bool scaleEcho);
    void Append(LONG x, LONG y);
    int Draw(HDC dc, HBRUSH brush);

    SensorCaps* m_caps;  // borrowed, may be null
    POINT m_points[kMaxPoints];
    WORD m_pointCount;
    DWORD m_outlineOnly;
    OwnedBrush m_brush1;
    OwnedBrush m_brush2;
    OwnedBrush m_brush3;
    ScanData m_scan;
};

#endif
