#include "sensor/DetectionArea.h"

#include <cmath>

#include "framework/LittleEndian.h"
#include "sensor/AreaRecord.h"

namespace {

const double kPi = 3.14159265358979323846;
const double kHalfPi = kPi / 2;
const double kTwoPi = kPi * 2;

short PackedX(DWORD packed) { return static_cast<short>(LOWORD(packed)); }
short PackedY(DWORD packed) { return static_cast<short>(HIWORD(packed)); }

DWORD Pack(short x, short y) {
    return static_cast<DWORD>(static_cast<WORD>(x)) | (static_cast<DWORD>(static_cast<WORD>(y)) << 16);
}

}  // namespace

DetectionArea::DetectionArea() : m_recordHistory(0), m_replaying(0) {
    DetectionArea::Reset();
}

DetectionArea::~DetectionArea() {}

double DetectionArea::PolarAngle(int x, int y) const {
    if (x == 0 && y == 0) return kTwoPi;
    double angle = std::atan2(static_cast<double>(y), static_cast<double>(x));
    if (angle < -kHalfPi) angle += kTwoPi;
    return angle;
}

// True when a point of angleA and radiusA stands before b in sorted order:
// smaller angle first; on equal angles the nearer point first below pi/2 and
// the farther first from pi/2 on, so that the outline runs round the sensor.
bool DetectionArea::Precedes(double angleA, double radiusA, const Vertex& b) {
    if (angleA != b.angle) return angleA < b.angle;
    if (angleA >= kHalfPi) return b.radius < radiusA;
    return radiusA < b.radius;
}

void DetectionArea::PlaceVertex(Vertex& v, short x, short y) const {
    v.x = x;
    v.y = y;
    v.radius = std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y);
    v.angle = PolarAngle(x, y);
}

namespace {

// The points and the outputs are rings of records linked by index.
template <class Node>
void UnlinkNode(Node* nodes, int id) {
    Node& n = nodes[id];
    nodes[n.prev].next = n.next;
    nodes[n.next].prev = n.prev;
}

template <class Node>
void LinkNodeBefore(Node* nodes, int id, int node) {
    Node& n = nodes[id];
    n.next = static_cast<BYTE>(node);
    n.prev = nodes[node].prev;
    nodes[n.prev].next = static_cast<BYTE>(id);
    nodes[node].prev = static_cast<BYTE>(id);
}

}  // namespace

void DetectionArea::UnlinkVertex(int id) {
    UnlinkNode(m_vertices, id);
}

void DetectionArea::LinkVertexBefore(int id, int node) {
    LinkNodeBefore(m_vertices, id, node);
}

void DetectionArea::UnlinkOutput(int id) {
    UnlinkNode(m_outputs, id);
}

void DetectionArea::LinkOutputBefore(int id, int node) {
    LinkNodeBefore(m_outputs, id, node);
}

void DetectionArea::Reset() {
    for (int i = 0; i <= kPointCount; ++i) {
        Vertex& v = m_vertices[i];
        v.id = static_cast<BYTE>(i);
        v.x = 0;
        v.y = 0;
        v.radius = 0;
        v.angle = kTwoPi;
        v.next = static_cast<BYTE>((i + 1) % (kPointCount + 1));
        v.prev = static_cast<BYTE>((i + kPointCount) % (kPointCount + 1));
    }
    for (int i = 0; i < 3; ++i) {
        Output& o = m_outputs[i];
        o.id = static_cast<BYTE>(i);
        o.value = 0;
        o.next = static_cast<BYTE>((i + 1) % 3);
        o.prev = static_cast<BYTE>((i + 2) % 3);
    }
    m_partitionShape = 0;
    m_twoScanMode = 0;
    m_mirrorReflectionMode = 0;
    m_halfHysteresis = 0;
    m_maxAbsY = 0;
    m_recordHistory = 0;
    ClearHistory();
}

// ---- history ----

void DetectionArea::LogChange(const WORD* payload, int count, WORD code) {
    if (m_recordHistory) {
        m_undo.Push(payload, count, code);
        if (!m_replaying) ClearRedo();  // a new change forgets what was undone
    } else if (m_replaying) {
        m_redo.Push(payload, count, code);
    }
}

void DetectionArea::LogOption(BYTE oldValue, WORD code) {
    WORD payload = oldValue;
    LogChange(&payload, 1, code);
}

int DetectionArea::ReplayEntry(WORD code, const WORD* payload, int count) {
    if (code >= 1 && code <= kPointCount && count == 2) {
        SetVertex(code, static_cast<DWORD>(payload[0]) | (static_cast<DWORD>(payload[1]) << 16));
        return 1;
    }
    if (count == 1) {
        BYTE low = static_cast<BYTE>(payload[0] & 0xFF);
        switch (code) {
        case kChangeOutputBase + 1:
        case kChangeOutputBase + 2:
            SetOutputValue(code - kChangeOutputBase, static_cast<short>(payload[0]));
            return 1;
        case kChangeShape: SetPartitionShape(low); return 1;
        case kChange2ScanMode: Set2ScanMode(low); return 1;
        case kChangeMirror: SetMirrorReflectionMode(low); return 1;
        case kChangeHalfHysteresis: SetHalfHysteresis(low); return 1;
        default: break;
        }
    }
    if (code == kChangeRecord && count == kRawWords) {
        BYTE raw[kAreaRecordBytes];
        for (int i = 0; i < kRawWords; ++i) {
            WriteLeWord(raw + 2 * i, payload[i]);
        }
        LoadRaw(raw);
        return 1;
    }
    return 0;
}

// Replays the top change through the setters, which log the overwritten value
// onto the other stack: recordWhileReplaying 0 sends it to redo, 1 to undo.
int DetectionArea::Replay(ChangeStack& stack, int recordWhileReplaying) {
    if (stack.IsEmpty()) return 0;
    int saved = m_recordHistory;
    m_recordHistory = recordWhileReplaying;
    m_replaying = 1;
    WORD code = 0;
    WORD payload[kRawWords];
    int count = stack.Pop(&code, payload, kRawWords);
    int replayed = ReplayEntry(code, payload, count);
    if (!replayed) stack.Clear();  // a malformed entry spoils the rest
    m_recordHistory = saved;
    m_replaying = 0;
    return replayed;
}

int DetectionArea::Undo() { return Replay(m_undo, 0); }
int DetectionArea::Redo() { return Replay(m_redo, 1); }
int DetectionArea::CanUndo() const { return m_undo.IsEmpty() ? 0 : 1; }
int DetectionArea::CanRedo() const { return m_redo.IsEmpty() ? 0 : 1; }

void DetectionArea::ClearHistory() {
    m_undo.Clear();
    ClearRedo();
}

void DetectionArea::ClearRedo() {
    m_redo.Clear();
}

// ---- points ----

DWORD DetectionArea::GetVertex(int id) const {
    if (id < 0 || id > kPointCount) return 0;
    return Pack(m_vertices[id].x, m_vertices[id].y);
}

void DetectionArea::SetVertex(int id, DWORD packed) {
    if (id < 1 || id > kPointCount) return;
    Vertex& v = m_vertices[id];
    const WORD old[2] = {static_cast<WORD>(v.y), static_cast<WORD>(v.x)};
    LogChange(old, 2, static_cast<WORD>(id));
    UnlinkVertex(id);
    PlaceVertex(v, PackedX(packed), PackedY(packed));
    int node = m_vertices[0].next;
    for (int step = 0; step < kPointCount - 1; ++step) {
        if (Precedes(v.angle, v.radius, m_vertices[node])) break;
        node = m_vertices[node].next;
    }
    LinkVertexBefore(id, node);
}

DWORD DetectionArea::GetPoint(int pos) const { return GetVertex(VertexIdAt(pos)); }
void DetectionArea::SetPoint(int pos, DWORD packed) { SetVertex(VertexIdAt(pos), packed); }

int DetectionArea::VertexIdAt(int pos) const {
    if (pos < 0 || pos >= kPointCount) return 0;
    int node = m_vertices[0].next;
    for (int i = 0; i < pos; ++i) node = m_vertices[node].next;
    return node;
}

int DetectionArea::VertexPositionOf(int id) const {
    int node = m_vertices[0].next;
    for (int pos = 0; pos < kPointCount; ++pos) {
        if (node == id && node != 0) return pos;
        node = m_vertices[node].next;
    }
    return kNotFound;
}

int DetectionArea::AreaGeometry25(DWORD packed) const {
    Vertex probe;
    PlaceVertex(probe, PackedX(packed), PackedY(packed));
    int node = m_vertices[0].next;
    int pos = 0;
    while (pos < kPointCount && !Precedes(probe.angle, probe.radius, m_vertices[node])) {
        node = m_vertices[node].next;
        ++pos;
    }
    return pos;
}

double DetectionArea::VertexAngle(int pos) const {
    return m_vertices[VertexIdAt(pos)].angle;
}

int DetectionArea::MaxAbsY() {
    int maximum = 0;
    int node = m_vertices[0].next;
    for (int i = 0; i < kPointCount; ++i) {
        int y = m_vertices[node].y;
        if (y < 0) y = -y;
        if (y > maximum) maximum = y;
        node = m_vertices[node].next;
    }
    m_maxAbsY = maximum;
    return maximum;
}

void DetectionArea::SortVertexRing() {
    // Bubble sort by relinking, stable for equal points: six passes over the
    // pairs from the anchor's next.
    for (int pass = 0; pass < kPointCount - 1; ++pass) {
        int first = m_vertices[0].next;
        for (int pair = 0; pair < kPointCount - 1 - pass; ++pair) {
            int second = m_vertices[first].next;
            const Vertex& b = m_vertices[second];
            if (Precedes(b.angle, b.radius, m_vertices[first])) {
                UnlinkVertex(second);
                LinkVertexBefore(second, first);  // first moves on with the pass
            } else {
                first = second;
            }
        }
    }
}

// ---- outputs ----

short DetectionArea::GetOutputValue(int id) const {
    if (id < 0 || id > 2) return 0;
    return m_outputs[id].value;
}

void DetectionArea::SetOutputValue(int id, short value) {
    if (id != 1 && id != 2) return;
    Output& o = m_outputs[id];
    const WORD old = static_cast<WORD>(o.value);
    LogChange(&old, 1, static_cast<WORD>(kChangeOutputBase + id));
    UnlinkOutput(id);
    o.value = value;
    int other = 3 - id;
    if (value <= m_outputs[other].value) {
        LinkOutputBefore(id, m_outputs[other].next);
    } else {
        LinkOutputBefore(id, other);
    }
}

int DetectionArea::Output2Index() const { return m_outputs[0].next; }
int DetectionArea::Output3Index() const { return m_outputs[m_outputs[0].next].next; }

int DetectionArea::OutputIndexOf(int id) const {
    int node = m_outputs[0].next;
    for (int pos = 0; pos < 2; ++pos) {
        if (node == id && node != 0) return pos;
        node = m_outputs[node].next;
    }
    return kNotFound;
}

short DetectionArea::GetOutput2() const { return m_outputs[Output2Index()].value; }
void DetectionArea::SetOutput2(short value) { SetOutputValue(Output2Index(), value); }
short DetectionArea::GetOutput3() const { return m_outputs[Output3Index()].value; }
void DetectionArea::SetOutput3(short value) { SetOutputValue(Output3Index(), value); }

// ---- options ----

BYTE DetectionArea::GetPartitionShape() const { return m_partitionShape; }
BYTE DetectionArea::Get2ScanMode() const { return m_twoScanMode; }
BYTE DetectionArea::GetMirrorReflectionMode() const { return m_mirrorReflectionMode; }
BYTE DetectionArea::GetHalfHysteresis() const { return m_halfHysteresis; }

void DetectionArea::SetPartitionShape(BYTE shape) {
    LogOption(m_partitionShape, kChangeShape);
    m_partitionShape = shape & 3;
}

void DetectionArea::Set2ScanMode(BYTE mode) {
    LogOption(m_twoScanMode, kChange2ScanMode);
    m_twoScanMode = mode & 7;
}

void DetectionArea::SetMirrorReflectionMode(BYTE mode) {
    LogOption(m_mirrorReflectionMode, kChangeMirror);
    m_mirrorReflectionMode = mode & 1;
}

void DetectionArea::SetHalfHysteresis(BYTE half) {
    LogOption(m_halfHysteresis, kChangeHalfHysteresis);
    m_halfHysteresis = half & 1;
}

BYTE DetectionArea::PackFlags() const {
    return static_cast<BYTE>(((m_partitionShape & 3) << 3) | (m_twoScanMode & 7) |
                             ((m_mirrorReflectionMode & 1) << 5) | ((m_halfHysteresis & 1) << 6));
}

// ---- raw record ----

void DetectionArea::ExportRaw(BYTE* out) const {
    if (out == nullptr) return;
    int node = m_vertices[0].next;
    for (int i = 0; i < kPointCount; ++i) {
        WriteLeWord(out + 4 * i, m_vertices[node].x);
        WriteLeWord(out + 4 * i + 2, m_vertices[node].y);
        node = m_vertices[node].next;
    }
    WriteLeWord(out + kAreaOutput2Offset, GetOutput2());
    WriteLeWord(out + kAreaOutput3Offset, GetOutput3());
    WriteLeWord(out + kAreaFlagsOffset, PackFlags());
}

void DetectionArea::LoadRaw(const BYTE* in) {
    if (in == nullptr) return;
    if (m_recordHistory || m_replaying) {
        BYTE current[kAreaRecordBytes];
        ExportRaw(current);
        WORD payload[kRawWords];
        for (int i = 0; i < kRawWords; ++i) {
            // Pushed from the last word to the first, so word 0 pops first.
            int word = kRawWords - 1 - i;
            payload[i] = ReadLeWord(current + 2 * word);
        }
        LogChange(payload, kRawWords, kChangeRecord);
    }
    // The points are put in order before they go into the records, so that
    // every record keeps its place in the ring: the logged point changes name
    // their records by id, and an undone record load must give each record
    // back the point it held, or an older point undo moves the wrong point.
    Vertex points[kPointCount];
    for (int i = 0; i < kPointCount; ++i) {
        PlaceVertex(points[i], ReadLeShort(in + 4 * i), ReadLeShort(in + 4 * i + 2));
        for (int j = i; j > 0 && Precedes(points[j].angle, points[j].radius, points[j - 1]); --j) {
            Vertex earlier = points[j - 1];
            points[j - 1] = points[j];
            points[j] = earlier;
        }
    }
    int node = m_vertices[0].next;
    for (int i = 0; i < kPointCount; ++i) {
        PlaceVertex(m_vertices[node], points[i].x, points[i].y);
        node = m_vertices[node].next;
    }
    m_outputs[Output2Index()].value = ReadLeShort(in + kAreaOutput2Offset);
    m_outputs[Output3Index()].value = ReadLeShort(in + kAreaOutput3Offset);
    WORD flags = ReadLeWord(in + kAreaFlagsOffset);
    m_partitionShape = (flags >> 3) & 3;
    m_twoScanMode = flags & 7;
    m_mirrorReflectionMode = (flags >> 5) & 1;
    m_halfHysteresis = (flags >> 6) & 1;
    SortVertexRing();
}
