#ifndef SENSOR_DETECTIONAREA_H
#define SENSOR_DETECTIONAREA_H

#include <windows.h>

#include "sensor/AreaRecord.h"
#include "sensor/ChangeStack.h"

// One of the sensor's seven detection areas: seven points bounding the area of
// output 1, the distances of outputs 2 and 3, a partition shape and three
// option flags, with an undo and a redo history of its changes.
//
// The points live in a ring behind a fixed anchor (record 0), kept sorted by
// polar angle about the sensor (millimetres, sensor at the origin, angles
// from +x towards +y). Positions 0..6 count the points after the anchor; ids
// 1..7 name the records. The two outputs live in a second ring behind its
// anchor, the larger distance first. Points travel packed: x in the low and y
// in the high 16 bits.
//
// A change is logged as its old value followed by a change code: onto the
// undo stack while recording history, onto the redo stack while an undo
// replays it. Used on the user-interface thread only.
class DetectionArea {
public:
    static const int kPointCount = 7;
    static const int kRawWords = kAreaRecordBytes / 2;
    static const BYTE kNotFound = 255;

    // How outputs 2 and 3 divide the area: below a line across the view,
    // within a circle about the sensor, or within the outline scaled down.
    enum PartitionShape {
        kShapeStraight = 0,
        kShapeFan = 1,
        kShapeRatio = 2,
    };

    // Change codes beside the point ids 1..7 and the outputs (9, 10).
    enum ChangeCode {
        kChangeOutputBase = 8,
        kChangeShape = 11,
        kChange2ScanMode = 12,
        kChangeMirror = 13,
        kChangeHalfHysteresis = 14,
        kChangeRecord = 255,
    };

    DetectionArea();
    virtual ~DetectionArea();

    virtual DWORD GetPoint(int pos) const;
    virtual void SetPoint(int pos, DWORD packed);
    virtual short GetOutput2() const;
    virtual void SetOutput2(short value);
    virtual short GetOutput3() const;
    virtual void SetOutput3(short value);
    virtual BYTE GetPartitionShape() const;  // 0 Straight, 1 Fan-shaped, 2 Ratio
    virtual void SetPartitionShape(BYTE shape);
    virtual BYTE Get2ScanMode() const;  // bit per output 1..3
    virtual void Set2ScanMode(BYTE mode);
    virtual BYTE GetMirrorReflectionMode() const;
    virtual void SetMirrorReflectionMode(BYTE mode);
    virtual BYTE GetHalfHysteresis() const;
    virtual void SetHalfHysteresis(BYTE half);
    virtual BYTE PackFlags() const;
    virtual DWORD GetVertex(int id) const;
    virtual void SetVertex(int id, DWORD packed);  // ids 1..7, others ignored
    virtual short GetOutputValue(int id) const;
    virtual void SetOutputValue(int id, short value);  // ids 1 and 2, others ignored
    virtual int VertexIdAt(int pos) const;             // 0 for pos outside 0..6
    virtual int VertexPositionOf(int id) const;        // kNotFound when absent
    virtual int Output2Index() const;
    virtual int Output3Index() const;
    virtual int OutputIndexOf(int id) const;  // 0 or 1, kNotFound when absent
    // The position (0..7) a point would take in sorted order among the seven.
    virtual int AreaGeometry25(DWORD packed) const;
    virtual double PolarAngle(int x, int y) const;  // in [-pi/2, 3pi/2); 2pi at the origin
    virtual double VertexAngle(int pos) const;
    virtual int MaxAbsY();
    virtual void Reset();
    virtual int Undo();
    virtual int CanUndo() const;
    virtual int Redo();
    virtual int CanRedo() const;
    virtual void ClearHistory();
    virtual void SortVertexRing();
    virtual void ExportRaw(BYTE* out) const;  // kAreaRecordBytes
    virtual void LoadRaw(const BYTE* in);     // kAreaRecordBytes
    virtual void ClearRedo();

    // While on, every change is recorded for undo. Undo and Redo leave it as found.
    void SetRecordHistory(int on) { m_recordHistory = on != 0; }
    int GetRecordHistory() const { return m_recordHistory; }

private:
    struct Vertex {
        BYTE id;
        short x, y;
        double radius;
        double angle;
        BYTE prev, next;
    };
    struct Output {
        BYTE id;
        short value;
        BYTE prev, next;
    };

    static bool Precedes(double angleA, double radiusA, const Vertex& b);
    void PlaceVertex(Vertex& v, short x, short y) const;
    void UnlinkVertex(int id);
    void LinkVertexBefore(int id, int node);
    void UnlinkOutput(int id);
    void LinkOutputBefore(int id, int node);
    void LogChange(const WORD* payload, int count, WORD code);
    void LogOption(BYTE oldValue, WORD code);
    int Replay(ChangeStack& stack, int recordWhileReplaying);
    int ReplayEntry(WORD code, const WORD* payload, int count);

    Vertex m_vertices[kPointCount + 1];  // record 0 is the anchor
    Output m_outputs[3];                 // record 0 is the anchor
    int m_recordHistory;
    int m_replaying;
    BYTE m_partitionShape;
    BYTE m_twoScanMode;
    BYTE m_mirrorReflectionMode;
    BYTE m_halfHysteresis;
    int m_maxAbsY;  // wide: |-32768| does not fit a short
    ChangeStack m_undo;
    ChangeStack m_redo;
};

#endif
