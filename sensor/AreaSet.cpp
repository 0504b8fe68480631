#include "sensor/AreaSet.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "framework/ClipboardScope.h"
#include "framework/ErrorCodes.h"
#include "framework/GlobalBlock.h"
#include "sensor/AreaFile.h"
#include "sensor/SensorCaps.h"

namespace {

const double kPi = 3.14159265358979323846;
const char kClipboardFormatName[] = "ZOR AREADATA";

short Clamp(short value, int limit) {
    if (value > limit) return static_cast<short>(limit);
    if (value < -limit) return static_cast<short>(-limit);
    return value;
}

short PackedX(DWORD packed) {
    return static_cast<short>(LOWORD(packed));
}
short PackedY(DWORD packed) {
    return static_cast<short>(HIWORD(packed));
}

DWORD Pack(short x, short y) {
    return static_cast<DWORD>(static_cast<WORD>(x)) | (static_cast<DWORD>(static_cast<WORD>(y)) << 16);
}

HRGN EmptyRegion() {
    return CreateRectRgn(0, 0, 0, 0);
}

// A copy of `region` cut to `box`; none without a region.
OwnedRegion ClippedCopy(HRGN region, HRGN box) {
    if (region == NULL) return OwnedRegion();
    OwnedRegion copy(EmptyRegion());
    if (copy.Valid()) CombineRgn(copy, region, box, RGN_AND);
    return copy;
}

}  // namespace

AreaSet::AreaSet()
    : m_currentIndex(0),
      m_current(&m_areas[0]),
      m_caps(NULL),
      m_fileModified(0),
      m_sensorModified(0),
      m_clipboardFormat(0),
      m_region1(EmptyRegion()),
      m_region2(EmptyRegion()),
      m_region3(EmptyRegion()),
      m_output1Brush(CreateSolidBrush(kOutput1Colour)),
      m_output2Brush(CreateSolidBrush(kOutput2Colour)),
      m_output3Brush(CreateSolidBrush(kOutput3Colour)),
      m_output3Hatch(CreateHatchBrush(HS_BDIAGONAL, kOutput3Colour)) {
    std::memset(m_imageTable, 0, sizeof(m_imageTable));
}

AreaSet::~AreaSet() {}

void AreaSet::SetDevice(SensorCaps* caps) {
    m_caps = caps;
}
void AreaSet::ClearDevice() {
    m_caps = NULL;
}

int AreaSet::Init() {
    if (m_caps == NULL) {
        SetLastError(kErrorMissingCollaborator);
        return 0;
    }
    m_clipboardFormat = RegisterClipboardFormatA(kClipboardFormatName);
    if (m_clipboardFormat == 0) return 0;
    SelectArea(0);
    return 1;
}

int AreaSet::GetCurrentIndex() const {
    return m_currentIndex;
}

void AreaSet::SelectArea(BYTE index) {
    if (index >= kAreaCount) return;
    m_currentIndex = index;
    m_current = &m_areas[index];
}

// Every edit makes the areas differ from the file and from the sensor.
void AreaSet::MarkChanged() {
    m_fileModified = 1;
    m_sensorModified = 1;
}

DWORD AreaSet::GetPoint(int pos) const {
    return m_current->GetPoint(pos);
}

void AreaSet::SetPoint(int pos, DWORD packed) {
    short x = Clamp(PackedX(packed), kCoordinateLimit);
    short y = Clamp(PackedY(packed), kCoordinateLimit);
    m_current->SetPoint(pos, Pack(x, y));
    MarkChanged();
}

short AreaSet::GetOutput2() const {
    return m_current->GetOutput2();
}

void AreaSet::SetOutput2(short value) {
    m_current->SetOutput2(Clamp(value, kCoordinateLimit));
    MarkChanged();
}

short AreaSet::GetOutput3() const {
    return m_current->GetOutput3();
}

void AreaSet::SetOutput3(short value) {
    m_current->SetOutput3(Clamp(value, kCoordinateLimit));
    MarkChanged();
}

int AreaSet::GetEffectivePartitionShape() const {
    if (m_caps == NULL) return DetectionArea::kShapeStraight;
    if (m_caps->HasCapability(SensorCaps::kCapShapeSelectable) == 1) return m_current->GetPartitionShape();
    if (m_caps->HasCapability(SensorCaps::kCapShapeStraight) == 1) return DetectionArea::kShapeStraight;
    if (m_caps->HasCapability(SensorCaps::kCapShapeFan) == 1) return DetectionArea::kShapeFan;
    return DetectionArea::kShapeStraight;
}

void AreaSet::SetPartitionShape(BYTE shape) {
    m_current->SetPartitionShape(shape);
    MarkChanged();
}

BYTE AreaSet::GetPartitionShape() const {
    return m_current->GetPartitionShape();
}

void AreaSet::Set2ScanMode(BYTE mode) {
    m_current->Set2ScanMode(mode);
    MarkChanged();
}

BYTE AreaSet::Get2ScanMode() const {
    return m_current->Get2ScanMode();
}

void AreaSet::SetMirrorReflectionMode(BYTE mode) {
    m_current->SetMirrorReflectionMode(mode);
    MarkChanged();
}

BYTE AreaSet::GetMirrorReflectionMode() const {
    return m_current->GetMirrorReflectionMode();
}

void AreaSet::SetHalfHysteresis(BYTE half) {
    m_current->SetHalfHysteresis(half);
    MarkChanged();
}

BYTE AreaSet::GetPackedFlags() const {
    return m_current->PackFlags();
}
int AreaSet::VertexIdAt(int pos) const {
    return m_current->VertexIdAt(pos);
}
int AreaSet::VertexPositionOf(int id) const {
    return m_current->VertexPositionOf(id);
}
int AreaSet::Output2Index() const {
    return m_current->Output2Index();
}
int AreaSet::Output3Index() const {
    return m_current->Output3Index();
}
int AreaSet::OutputIndexOf(int id) const {
    return m_current->OutputIndexOf(id);
}
int AreaSet::AreaGeometry25(DWORD packed) const {
    return m_current->AreaGeometry25(packed);
}
double AreaSet::PolarAngle(int x, int y) const {
    return m_current->PolarAngle(x, y);
}
double AreaSet::VertexAngle(int pos) const {
    return m_current->VertexAngle(pos);
}
int AreaSet::MaxAbsY() {
    return m_current->MaxAbsY();
}

void AreaSet::ResetAll() {
    for (DetectionArea& area : m_areas) area.Reset();
    m_fileModified = 0;
    m_sensorModified = 0;
    SelectArea(0);
}

int AreaSet::Undo() {
    if (!m_current->Undo()) return 0;
    MarkChanged();
    return 1;
}

int AreaSet::CanUndo() const {
    return m_current->CanUndo();
}

int AreaSet::Redo() {
    if (!m_current->Redo()) return 0;
    MarkChanged();
    return 1;
}

int AreaSet::CanRedo() const {
    return m_current->CanRedo();
}

// The cut can be undone: the emptied record is logged as one change.
int AreaSet::CutCurrent() {
    if (!CopyToClipboard()) return 0;
    const BYTE empty[kAreaRecordBytes] = {};
    SetCurrentRaw(empty);
    return 1;
}

// The record is added to what the clipboard holds, without emptying it.
int AreaSet::CopyToClipboard() {
    if (m_clipboardFormat == 0) return 0;
    GlobalBlock memory(kAreaRecordBytes, GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT);
    if (!memory.Valid()) return 0;
    {
        GlobalBlock::Lock record(memory);
        if (record.Data() == NULL) return 0;
        m_current->ExportRaw(record.Data());
    }
    ClipboardScope clipboard(NULL);
    if (!clipboard.Open() || SetClipboardData(m_clipboardFormat, memory) == NULL) return 0;
    memory.Release();  // the clipboard owns it now
    return 1;
}

int AreaSet::PasteFromClipboard() {
    if (m_clipboardFormat == 0) return 0;
    BYTE record[kAreaRecordBytes];
    {
        ClipboardScope clipboard(NULL);
        HANDLE data = clipboard.Open() ? GetClipboardData(m_clipboardFormat) : NULL;
        // A block shorter than a record is not one.
        if (data == NULL || GlobalSize(data) < sizeof(record)) return 0;
        GlobalBlock::Lock bytes(data);
        if (bytes.Data() == NULL) return 0;
        std::memcpy(record, bytes.Data(), sizeof(record));
    }
    SetCurrentRaw(record);
    return 1;
}

int AreaSet::CanPaste() const {
    return m_clipboardFormat != 0 && IsClipboardFormatAvailable(m_clipboardFormat);
}

void AreaSet::ClearHistory() {
    m_current->ClearHistory();
}
void AreaSet::SetRecordHistory(DWORD on) {
    m_current->SetRecordHistory(on != 0);
}
void AreaSet::GetCurrentRaw(BYTE* out) const {
    m_current->ExportRaw(out);
}

void AreaSet::GetAllRaw(BYTE* out) const {
    for (int i = 0; i < kAreaCount; ++i) m_areas[i].ExportRaw(out + i * kAreaRecordBytes);
}

void AreaSet::SetCurrentRaw(const BYTE* in) {
    m_current->SetRecordHistory(1);
    m_current->LoadRaw(in);
    MarkChanged();
}

// Areas from the sensor or from a file replace the old ones without history.
void AreaSet::SetAllFromRaw(const BYTE* in) {
    for (int i = 0; i < kAreaCount; ++i) {
        m_areas[i].SetRecordHistory(0);
        m_areas[i].LoadRaw(in + i * kAreaRecordBytes);
        m_areas[i].ClearHistory();
    }
    m_fileModified = 1;
    m_sensorModified = 0;
}

DetectionArea* AreaSet::GetCurrentArea() {
    return m_current;
}

int AreaSet::SaveFile(const char* path) {
    BYTE table[kAreaTableBytes];
    GetAllRaw(table);
    if (!AreaFile::Save(path, table)) return 0;
    m_fileModified = 0;
    return 1;
}

int AreaSet::LoadFile(const char* path) {
    BYTE table[kAreaTableBytes] = {};
    if (!AreaFile::Load(path, table)) return 0;
    SetAllFromRaw(table);
    SelectArea(0);
    m_fileModified = 0;
    m_sensorModified = 1;
    return 1;
}

int AreaSet::ParseText(TextFile& file, BYTE* raw) {
    return AreaFile::Parse(file, raw);
}

void AreaSet::SetFileModified(DWORD modified) {
    m_fileModified = modified;
}
DWORD AreaSet::IsFileModified() const {
    return m_fileModified;
}
void AreaSet::SetSensorModified(DWORD modified) {
    m_sensorModified = modified;
}
DWORD AreaSet::IsSensorModified() const {
    return m_sensorModified;
}

// ---- Regions of the current area -------------------------------------------

HRGN AreaSet::StraightRegion(short d) const {
    const POINT corners[4] = {{10000, d}, {10000, -10000}, {-10000, -10000}, {-10000, d}};
    return CreatePolygonRgn(corners, 4, WINDING);
}

HRGN AreaSet::FanRegion(short d) const {
    return CreateEllipticRgn(d, d, -d, -d);
}

HRGN AreaSet::Output1Region() const {
    return WalkRegion(1.0, 0, 1);
}

HRGN AreaSet::RatioRegion(double r) const {
    if (!(r > 0)) r = 0;  // NaN too
    if (r > 1) r = 1;
    return WalkRegion(r, 1, 0);
}

// The polygon from the sensor through the sorted points, each scaled by
// `scale`. Where the next point turns more than half a circle from the last,
// the outline returns through the sensor; with limitGap only up to 3pi/2.
// With stopAtOrigin the walk ends at the first point on the sensor.
HRGN AreaSet::WalkRegion(double scale, int stopAtOrigin, int limitGap) const {
    POINT points[DetectionArea::kPointCount + 2];
    int count = 0;
    points[count++] = {0, 0};
    double previous = m_current->VertexAngle(0);
    int returned = 0;
    for (int pos = 0; pos < DetectionArea::kPointCount; ++pos) {
        DWORD packed = m_current->GetPoint(pos);
        int x = PackedX(packed);
        int y = PackedY(packed);
        if (stopAtOrigin && x == 0 && y == 0) break;
        double angle = m_current->VertexAngle(pos);
        if (!returned && angle - previous > kPi && (!limitGap || angle <= 3 * kPi / 2)) {
            points[count++] = {0, 0};
            returned = 1;
        }
        points[count++] = {static_cast<LONG>(x * scale), static_cast<LONG>(y * scale)};
        previous = angle;
    }
    return CreatePolygonRgn(points, count, WINDING);
}

HRGN AreaSet::SensorFieldRegion() const {
    if (m_caps == NULL) return NULL;
    const int limit = m_caps->HasCapability(SensorCaps::kCapCoordinateLimit);
    const int startAngle = m_caps->HasCapability(SensorCaps::kCapStartAngle);  // tenths of a degree
    const LONG t = static_cast<LONG>(limit * std::tan(startAngle * kPi / 1800));
    const POINT field[5] = {{0, 0}, {limit, t}, {limit, limit}, {-limit, limit}, {-limit, t}};
    OwnedRegion circle(CreateEllipticRgn(-limit, -limit, limit, limit));
    HRGN polygon = CreatePolygonRgn(field, 5, WINDING);
    if (polygon == NULL) return circle.Release();
    if (circle.Valid()) CombineRgn(polygon, polygon, circle, RGN_AND);
    return polygon;
}

// The largest |y| scales a ratio output; an area flat on the x axis gives 0.
double AreaSet::RatioOf(short distance) {
    int base = m_current->MaxAbsY();
    return base == 0 ? 0.0 : static_cast<double>(distance) / base;
}

// The zone within `distance` for a partition shape; an unknown shape has none.
HRGN AreaSet::ZoneRegion(int shape, short distance) {
    switch (shape) {
        case DetectionArea::kShapeStraight:
            return StraightRegion(distance);
        case DetectionArea::kShapeFan:
            return FanRegion(distance);
        case DetectionArea::kShapeRatio:
            return RatioRegion(RatioOf(distance));
        default:
            return EmptyRegion();
    }
}

void AreaSet::DeleteRegions() {
    m_region1.Reset();
    m_region2.Reset();
    m_region3.Reset();
}

// Splits the output 1 polygon within the sensor field into three zones:
// region3 inside the Output3 distance, region2 the band out to Output2 and
// region1 the rest.
void AreaSet::BuildRegions() {
    DeleteRegions();
    OwnedRegion field(SensorFieldRegion());
    OwnedRegion r1(Output1Region());
    if (!r1.Valid()) return;
    const int shape = GetEffectivePartitionShape();
    OwnedRegion r2(ZoneRegion(shape, GetOutput2()));
    OwnedRegion r3(ZoneRegion(shape, GetOutput3()));
    if (!r2.Valid() || !r3.Valid()) return;
    if (field.Valid()) CombineRgn(r1, r1, field, RGN_AND);
    CombineRgn(r2, r2, r3, RGN_XOR);
    CombineRgn(r2, r2, r1, RGN_AND);
    CombineRgn(r3, r3, r1, RGN_AND);
    CombineRgn(r1, r1, r2, RGN_XOR);
    CombineRgn(r1, r1, r3, RGN_XOR);
    m_region1 = std::move(r1);
    m_region2 = std::move(r2);
    m_region3 = std::move(r3);
}

// Masked fills, so that zones darken what lies under them.
void AreaSet::Draw(HDC dc) {
    if (m_caps == NULL) return;
    int oldMode = SetROP2(dc, R2_MASKPEN);
    RECT clip;
    GetClipBox(dc, &clip);
    OwnedRegion box(CreateRectRgnIndirect(&clip));
    if (box.Valid()) {
        OwnedRegion r1 = ClippedCopy(m_region1, box);
        OwnedRegion r2 = ClippedCopy(m_region2, box);
        OwnedRegion r3 = ClippedCopy(m_region3, box);
        FillRegions(dc, r1, r2, r3);
    }
    SetROP2(dc, oldMode);
}

void AreaSet::FillRegions(HDC dc, HRGN r1, HRGN r2, HRGN r3) {
    if (r1 != NULL) FillRgn(dc, r1, m_output1Brush);
    if (r2 != NULL) FillRgn(dc, r2, m_output2Brush);
    if (r3 != NULL) {
        // Output 3 with a function of its own is hatched over the band colour.
        if (m_caps->GetOutput3Function() == 0) {
            FillRgn(dc, r3, m_output3Brush);
        } else {
            FillRgn(dc, r3, m_output2Brush);
            FillRgn(dc, r3, m_output3Hatch);
        }
    }
    if (m_caps->HasCapability(SensorCaps::kCapMirrorReflection) != 1 ||
        m_current->GetMirrorReflectionMode() != 1)
        return;
    OwnedRegion overlay(EmptyRegion());
    OwnedBrush cross(CreateHatchBrush(HS_DIAGCROSS, kMirrorColour));
    if (!overlay.Valid() || !cross.Valid()) return;
    for (HRGN zone : {r1, r2, r3}) {
        if (zone != NULL) CombineRgn(overlay, overlay, zone, RGN_OR);
    }
    FillRgn(dc, overlay, cross);
}

// ---- Boundary table ----------------------------------------------------------

void AreaSet::BuildStepTable() {
    for (int a = 0; a < kAreaCount; ++a) {
        BoundaryTable::Point points[DetectionArea::kPointCount];
        for (int pos = 0; pos < DetectionArea::kPointCount; ++pos) {
            const DWORD packed = m_areas[a].GetPoint(pos);
            points[pos] = {PackedX(packed), PackedY(packed)};
        }
        m_boundaries[a].Build(points, m_areas[a].GetOutput2(), m_areas[a].GetOutput3(),
                              m_areas[a].GetPartitionShape());
        m_boundaries[a].WriteImage(m_imageTable[a]);
    }
}

WORD AreaSet::GetBoundary(int area, int step, int column) const {
    if (area < 0 || area >= kAreaCount) return 0;
    return m_boundaries[area].Get(step, column);
}

const WORD* AreaSet::GetImageTable() const {
    return &m_imageTable[0][0][0];
}
