#ifndef SENSOR_AREASET_H
#define SENSOR_AREASET_H

#include <windows.h>

#include "framework/GdiObject.h"
#include "sensor/AreaRecord.h"
#include "sensor/BoundaryTable.h"
#include "sensor/DetectionArea.h"

class SensorCaps;
class TextFile;

// The sensor's seven detection areas and the current one, on which every
// point, output and option operation works. Keeps whether the areas differ
// from the last area file and from the sensor; exchanges areas as 34-byte raw
// records singly (also through the clipboard form "ZOR AREADATA") and as the
// 238-byte table of all seven; builds and draws the GDI regions of the
// current area's three output zones; and keeps the per-step boundary tables
// (BoundaryTable) from which the area image for the sensor is made.
//
// Coordinates are millimetres with the sensor at the origin; step k of a scan
// lies at k * 2pi/1024 - pi/4. Used on the user-interface thread; the view's
// render thread draws under the view's lock.
class AreaSet {
public:
    static const int kCoordinateLimit = 10000;
    static const COLORREF kOutput1Colour = 0x66FFFF;  // pale yellow
    static const COLORREF kOutput2Colour = 0x66CCFF;  // light orange
    static const COLORREF kOutput3Colour = 0x6666FF;  // light red
    static const COLORREF kMirrorColour = 0xDFDFDF;

    AreaSet();
    virtual ~AreaSet();

    virtual void SetDevice(SensorCaps* caps);
    virtual void ClearDevice();
    // Registers the clipboard format; fails without the sensor capabilities.
    virtual int Init();
    virtual int GetCurrentIndex() const;
    virtual void SelectArea(BYTE index);  // 7 and above are ignored
    virtual DWORD GetPoint(int pos) const;
    // Each coordinate limited to -10000..10000.
    virtual void SetPoint(int pos, DWORD packed);
    virtual short GetOutput2() const;
    virtual void SetOutput2(short value);
    virtual short GetOutput3() const;
    virtual void SetOutput3(short value);
    // The shape the sensor uses: the area's own where it can choose.
    virtual int GetEffectivePartitionShape() const;
    virtual void SetPartitionShape(BYTE shape);
    virtual BYTE GetPartitionShape() const;
    virtual void Set2ScanMode(BYTE mode);
    virtual BYTE Get2ScanMode() const;
    virtual void SetMirrorReflectionMode(BYTE mode);
    virtual BYTE GetMirrorReflectionMode() const;
    virtual void SetHalfHysteresis(BYTE half);
    virtual BYTE GetPackedFlags() const;
    virtual int VertexIdAt(int pos) const;
    virtual int VertexPositionOf(int id) const;
    virtual int Output2Index() const;
    virtual int Output3Index() const;
    virtual int OutputIndexOf(int id) const;
    virtual int AreaGeometry25(DWORD packed) const;
    virtual double PolarAngle(int x, int y) const;
    virtual double VertexAngle(int pos) const;
    virtual int MaxAbsY();
    virtual void ResetAll();
    virtual int Undo();
    virtual int CanUndo() const;
    virtual int Redo();
    virtual int CanRedo() const;
    virtual int CutCurrent();
    virtual int CopyToClipboard();
    virtual int PasteFromClipboard();
    virtual int CanPaste() const;
    virtual void ClearHistory();
    virtual void SetRecordHistory(DWORD on);
    virtual void GetCurrentRaw(BYTE* out) const;  // 34 bytes
    virtual void GetAllRaw(BYTE* out) const;      // 238 bytes
    virtual void SetCurrentRaw(const BYTE* in);
    // Takes the areas read from the sensor.
    virtual void SetAllFromRaw(const BYTE* in);
    virtual DetectionArea* GetCurrentArea();
    virtual int SaveFile(const char* path);
    // The areas change only when the whole file was accepted.
    virtual int LoadFile(const char* path);
    virtual int ParseText(TextFile& file, BYTE* raw);
    virtual void BuildRegions();
    virtual void Draw(HDC dc);
    virtual void SetFileModified(DWORD modified);
    virtual DWORD IsFileModified() const;
    virtual void SetSensorModified(DWORD modified);
    virtual DWORD IsSensorModified() const;
    // Region builders; each region returned belongs to the caller.
    virtual HRGN SensorFieldRegion() const;
    virtual HRGN Output1Region() const;
    virtual HRGN StraightRegion(short d) const;
    virtual HRGN FanRegion(short d) const;
    virtual HRGN RatioRegion(double r) const;

    // Fills the boundary and image tables from all seven areas.
    void BuildStepTable();
    // Boundary distance in mm of an area's output column at a step (0 = none).
    WORD GetBoundary(int area, int step, int column) const;
    // The area image: per area 768 rows of three columns.
    const WORD* GetImageTable() const;

private:
    AreaSet(const AreaSet&) = delete;
    AreaSet& operator=(const AreaSet&) = delete;

    void MarkChanged();
    void DeleteRegions();
    HRGN WalkRegion(double scale, int stopAtOrigin, int limitGap) const;
    HRGN ZoneRegion(int shape, short distance);
    double RatioOf(short distance);
    void FillRegions(HDC dc, HRGN r1, HRGN r2, HRGN r3);

    DetectionArea m_areas[kAreaCount];
    int m_currentIndex;
    DetectionArea* m_current;
    SensorCaps* m_caps;  // not owned; set at start-up
    DWORD m_fileModified;
    DWORD m_sensorModified;
    UINT m_clipboardFormat;
    OwnedRegion m_region1;  // zones of the current area, built by BuildRegions
    OwnedRegion m_region2;
    OwnedRegion m_region3;
    OwnedBrush m_output1Brush;
    OwnedBrush m_output2Brush;
    OwnedBrush m_output3Brush;
    OwnedBrush m_output3Hatch;
    BoundaryTable m_boundaries[kAreaCount];
    // Contiguous for all seven areas: the image buffer the sensor receives.
    WORD m_imageTable[kAreaCount][BoundaryTable::kImageRows][BoundaryTable::kColumns];
};

#endif
