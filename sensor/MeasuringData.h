#ifndef SENSOR_MEASURINGDATA_H
#define SENSOR_MEASURINGDATA_H

#include <windows.h>

#include <vector>

#include "framework/CriticalLock.h"
#include "sensor/ScanData.h"
#include "sensor/SensorCaps.h"

class ScanShape;
class TextFile;

// Recorded scans with a copy of the information of the sensor they came from,
// and their measuring data file ("*.csv"): a sectioned header, then the scans
// in one of three layouts. "Distance" (one line per scan) and "Distance2" (one
// line per step) can be read back; "ASIC Memory" is written only.
//
// Readers parse into a scratch object and replace the held scans only when
// the whole file was accepted, so a bad file never destroys recorded scans
// that were not saved yet. Saving writes a temporary file that replaces the
// target only when every byte was written.
//
// Used on the user-interface thread, apart from drawing, which the view's
// render thread does, and the abort flag.
class MeasuringData {
public:
    // The most scans one recording produces; files with more are refused.
    static constexpr DWORD kMaxScans = 10000;

    enum SaveFormat { kFormatDistance = 0, kFormatAsicMemory = 1, kFormatDistance2 = 2 };

    MeasuringData();
    virtual ~MeasuringData();

    virtual void SetSensorCaps(SensorCaps* caps);
    virtual void ClearSensorCaps();
    // Copies the sensor information of `from`, or of the live one when null.
    virtual void TakeSensorCaps(const SensorCaps* from);
    // 1 when appended; 0 when kMaxScans scans are held already.
    virtual int Append(const ScanData& scan);
    virtual const ScanData* GetAt(DWORD i) const;
    virtual DWORD Count() const;
    virtual void Clear();
    // The play-back interval in milliseconds for the embedded model code.
    virtual int ModelConstant() const;
    virtual BOOL Save(const char* path);
    virtual BOOL Load(const char* path);
    virtual BOOL LoadColumns(const char* path);
    virtual void PrepareDraw(HDC dc);
    virtual void FinishDraw(HDC dc);
    // Ends a PrepareDraw in progress on another thread.
    virtual void SetFlag75();
    virtual void SetModified(DWORD modified);
    virtual DWORD IsModified() const;
    virtual void DrawScan(HDC dc, const ScanData* scan);

    // 0 "Distance", 1 "ASIC Memory", any other value "Distance2".
    void SetSaveFormat(BYTE format);
    BYTE GetSaveFormat() const;
    const SensorCaps& GetSensorCaps() const;

private:
    MeasuringData(const MeasuringData&) = delete;
    MeasuringData& operator=(const MeasuringData&) = delete;

    typedef std::vector<ScanData> ScanList;

    BOOL LoadFile(const char* path, int columns);
    static void CopyCaps(const SensorCaps& from, SensorCaps* to);
    static int ReadHeader(TextFile& file, SensorCaps* caps);
    static int ReadHeaderlessStart(TextFile& file, SensorCaps* caps);
    static int ReadRows(TextFile& file, ScanList* scans);
    static int ReadColumns(TextFile& file, ScanList* scans);
    static int ParseValue(const char* token, WORD* value);
    void Replace(ScanList& scans, const SensorCaps& caps);
    int WriteText(TextFile& file) const;
    static int BeginDraw(HDC dc);
    void DrawWith(ScanShape& shape, HDC dc, const ScanData& scan);
    int CopyScan(DWORD i, ScanData* scan) const;
    int CopyLastScan(ScanData* scan) const;
    int WriteDistance(TextFile& file) const;
    int WriteAsicMemory(TextFile& file) const;
    int WriteDistance2(TextFile& file) const;

    // Written by the user-interface thread under m_lock; read there without it
    // and by the render thread under it.
    ScanList m_scans;
    mutable CriticalLock m_lock;
    SensorCaps m_caps;
    SensorCaps* m_liveCaps;       // not owned
    volatile LONG m_stopDrawing;  // set by any thread, read while drawing
    DWORD m_modified;
    BYTE m_saveFormat;
};

#endif
