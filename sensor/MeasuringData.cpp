#include "sensor/MeasuringData.h"

#include <charconv>
#include <cstring>
#include <string>

#include "framework/TextFile.h"
#include "sensor/ScanShape.h"

namespace {

const char kFileHeader[] = "[ZOR Measuring Data File]";
const char kDataKey[] = "[Measuring Data]";
const char kLineEnds[] = "\r\n";
const char kValueDelimiters[] = ",\r\n";
const DWORD kLineChars = 255;  // header lines and pieces of the first line
const DWORD kValueChars = 15;  // one value token
const DWORD kFlushBytes = 65536;

// Collects the text of many lines and hands it to the file in large pieces,
// so that writing costs one write per piece instead of one per value.
class TextBatch {
public:
    explicit TextBatch(TextFile& file) : m_file(file), m_ok(1) { m_text.reserve(kFlushBytes + 65536); }
    void Number(long value) {
        char digits[16];
        std::to_chars_result end = std::to_chars(digits, digits + sizeof(digits), value);
        m_text.append(digits, end.ptr);
    }
    void Text(const char* text) { m_text += text; }
    // Ends a line; the file writes it as CR LF.
    void EndLine() {
        m_text += '\n';
        if (m_text.size() >= kFlushBytes) Flush();
    }
    int Finish() {
        Flush();
        return m_ok;
    }

private:
    void Flush() {
        if (!m_text.empty() && !m_file.Printf("%s", m_text.c_str())) m_ok = 0;
        m_text.clear();
    }
    TextFile& m_file;
    std::string m_text;
    int m_ok;
};

// Reads one line (a CR LF token) that must be the given text.
int ExpectLine(TextFile& file, const char* expected) {
    char line[kLineChars + 1];
    if (!file.ReadField(line, sizeof(line))) return 0;
    if (std::strcmp(line, expected) == 0) return 1;
    SetLastError(ERROR_INVALID_DATA);
    return 0;
}

int ReadHexLine(TextFile& file, WORD* value) {
    char line[kLineChars + 1];
    long number = 0;
    if (!file.ReadField(line, sizeof(line))) return 0;
    if (!TextFile::ParseNumber(line, 16, 0, 0xFFFF, &number)) return 0;
    *value = static_cast<WORD>(number);
    return 1;
}

int SkipLine(TextFile& file) {
    char line[kLineChars + 1];
    return file.ReadField(line, sizeof(line));
}

int OpenForReading(TextFile& file, const char* path) {
    return file.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

MeasuringData::MeasuringData()
    : m_liveCaps(NULL), m_stopDrawing(0), m_modified(0), m_saveFormat(kFormatDistance) {}

MeasuringData::~MeasuringData() {}

void MeasuringData::SetSensorCaps(SensorCaps* caps) {
    m_liveCaps = caps;
}

void MeasuringData::ClearSensorCaps() {
    m_liveCaps = NULL;
}

void MeasuringData::TakeSensorCaps(const SensorCaps* from) {
    if (from == NULL) from = m_liveCaps;
    if (from == NULL || from == &m_caps) return;
    CopyCaps(*from, &m_caps);
}

// Field by field: the version text gives the version numbers and letter, and
// the function word is set after it so that it is copied exactly.
void MeasuringData::CopyCaps(const SensorCaps& from, SensorCaps* to) {
    to->Reset();
    if (!from.IsUnknown()) to->SetModel(from.GetModel());
    to->SetVersionText(from.GetVersionText().c_str());
    to->SetFunction(from.GetFunction());
    to->SetOptionByte(from.GetOptionByte());
    BYTE filter[2];
    from.GetFilterSwitch(filter);
    to->SetFilterSwitch(filter);
}

int MeasuringData::Append(const ScanData& scan) {
    if (m_scans.size() >= kMaxScans) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return 0;
    }
    {
        CriticalLock::Hold hold(m_lock);
        m_scans.push_back(scan);
    }
    m_modified = 1;
    return 1;
}

const ScanData* MeasuringData::GetAt(DWORD i) const {
    return i < m_scans.size() ? &m_scans[i] : NULL;
}

DWORD MeasuringData::Count() const {
    return static_cast<DWORD>(m_scans.size());
}

void MeasuringData::Clear() {
    ScanList empty;
    {
        CriticalLock::Hold hold(m_lock);
        m_scans.swap(empty);  // releases the storage once `empty` ends
    }
    m_modified = 0;
}

int MeasuringData::ModelConstant() const {
    switch (m_caps.GetModel()) {
        case 0:
            return 1000;
        case 1:
            return 330;
        default:
            return 150;
    }
}

void MeasuringData::SetSaveFormat(BYTE format) {
    m_saveFormat = format;
}

BYTE MeasuringData::GetSaveFormat() const {
    return m_saveFormat;
}

const SensorCaps& MeasuringData::GetSensorCaps() const {
    return m_caps;
}

void MeasuringData::SetFlag75() {
    InterlockedExchange(&m_stopDrawing, 1);
}

void MeasuringData::SetModified(DWORD modified) {
    m_modified = modified;
}

DWORD MeasuringData::IsModified() const {
    return m_modified;
}

BOOL MeasuringData::Save(const char* path) {
    TextFile file;
    if (!file.CreateReplacing(path)) return FALSE;
    if (!WriteText(file) || !file.CommitReplace()) return FALSE;
    m_modified = 0;
    return TRUE;
}

int MeasuringData::WriteText(TextFile& file) const {
    // A line break inside the version text would split its line and make the
    // file unreadable.
    std::string version = m_caps.GetVersionText();
    for (char& c : version) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    file.Printf("%s\n", kFileHeader);
    file.Printf("[Model]\n%04x\n\n", m_caps.GetModel());
    file.Printf("[Function]\n%04x\n\n", m_caps.GetFunction());
    file.Printf("[Version]\n%s\n\n", version.c_str());
    const char dataLine[] = "[Measuring Data]\n";  // written as it is: a bare LF
    file.Write(dataLine, sizeof(dataLine) - 1);
    switch (m_saveFormat) {
        case kFormatDistance:
            return WriteDistance(file);
        case kFormatAsicMemory:
            return WriteAsicMemory(file);
        default:
            return WriteDistance2(file);
    }
}

int MeasuringData::WriteDistance(TextFile& file) const {
    TextBatch batch(file);
    for (const ScanData& scan : m_scans) {
        for (WORD step = 0; step + 1 < ScanData::kStepCount; ++step) {
            batch.Number(scan.GetStep(step));
            batch.Text(", ");
        }
        batch.Number(scan.GetStep(ScanData::kStepCount - 1));
        batch.EndLine();
    }
    return batch.Finish();
}

int MeasuringData::WriteAsicMemory(TextFile& file) const {
    TextBatch batch(file);
    for (const ScanData& scan : m_scans) {
        for (WORD i = 0; i < 150; ++i) {
            // Two column groups, on words from 0 and from 353 of the scan.
            for (WORD g = 0; g <= 353; g += 353) {
                if (g > 0) batch.Text(" ,");
                WORD word = scan.GetStep(g + i);
                batch.Number(word >> 8);
                batch.Text(",");
                batch.Number(word & 0xFF);
                batch.Text(",");
                batch.Number(scan.GetStep(g + i + 150));
                batch.Text(",");
                if (i < 30) batch.Number(scan.GetStep(g + i + 300));
                batch.Text(i < 30 ? "," : " ,");
                if (i < 15) batch.Number(scan.GetStep(g + i + 330));
                batch.Text(i < 15 ? "," : " ,");
                if (i < 4) {
                    // Printed as a signed 32-bit number, high word first.
                    DWORD pair = static_cast<DWORD>(scan.GetStep(g + 2 * i + 345)) << 16 |
                                 scan.GetStep(g + 2 * i + 346);
                    batch.Number(static_cast<LONG>(pair));
                }
                batch.Text(i < 4 ? "," : " ,");
            }
            batch.EndLine();
        }
    }
    return batch.Finish();
}

int MeasuringData::WriteDistance2(TextFile& file) const {
    TextBatch batch(file);
    for (WORD step = 0; step < ScanData::kStepCount; ++step) {
        for (const ScanData& scan : m_scans) {
            batch.Number(scan.GetStep(step));
            batch.Text(",");
        }
        batch.EndLine();
    }
    return batch.Finish();
}

void MeasuringData::Replace(ScanList& scans, const SensorCaps& caps) {
    {
        CriticalLock::Hold hold(m_lock);
        m_scans.swap(scans);
    }
    CopyCaps(caps, &m_caps);
    m_modified = 0;
}

BOOL MeasuringData::Load(const char* path) {
    return LoadFile(path, 0);
}

BOOL MeasuringData::LoadColumns(const char* path) {
    return LoadFile(path, 1);
}

// Rows ("Distance") may come without the header; columns ("Distance2") not.
BOOL MeasuringData::LoadFile(const char* path, int columns) {
    TextFile file;
    if (!OpenForReading(file, path)) return FALSE;
    SensorCaps caps;
    ScanList scans;
    file.SetDelimiters(kLineEnds, 2);
    // The first line of a file without a header is a long line of values.
    char first[kLineChars + 1];
    if (!file.ReadToken(first, sizeof(first))) return FALSE;
    bool header = !file.IsTokenCut() && std::strcmp(first, kFileHeader) == 0;
    if (!header && columns) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    int started = header ? ReadHeader(file, &caps) : ReadHeaderlessStart(file, &caps);
    if (!started || !(columns ? ReadColumns(file, &scans) : ReadRows(file, &scans))) return FALSE;
    Replace(scans, caps);
    return TRUE;
}

// The header after its first line, up to and including "[Measuring Data]".
// The function word is applied after the version text, whose flag
// derivation would otherwise change it.
int MeasuringData::ReadHeader(TextFile& file, SensorCaps* caps) {
    WORD model = 0;
    WORD function = 0;
    char version[kLineChars + 1];
    if (!ExpectLine(file, "[Model]") || !ReadHexLine(file, &model) || !SkipLine(file)) return 0;
    if (!ExpectLine(file, "[Function]") || !ReadHexLine(file, &function) || !SkipLine(file)) return 0;
    if (!ExpectLine(file, "[Version]") || !file.ReadField(version, sizeof(version)) || !SkipLine(file))
        return 0;
    if (!ExpectLine(file, kDataKey)) return 0;
    caps->SetModel(model);
    caps->SetVersionText(version);
    caps->SetFunction(function);
    return 1;
}

// A file without a header is a "Distance" data part whose first line holds
// the 769 values of a scan; its sensor is taken to be of the first family.
int MeasuringData::ReadHeaderlessStart(TextFile& file, SensorCaps* caps) {
    file.Seek(0, FILE_BEGIN);
    DWORD commas = 0;
    char piece[kLineChars];
    do {
        if (!file.ReadToken(piece, sizeof(piece))) return 0;
        for (DWORD i = 0; i < file.GetReadCount(); ++i) commas += piece[i] == ',';
    } while (file.IsTokenCut());
    if (commas != ScanData::kStepCount - 1) {
        SetLastError(ERROR_INVALID_DATA);
        return 0;
    }
    caps->Reset();
    caps->SetModel(0);
    file.Seek(0, FILE_BEGIN);
    return 1;
}

int MeasuringData::ParseValue(const char* token, WORD* value) {
    long number = 0;
    if (!TextFile::ParseNumber(token, 10, 0, 0xFFFF, &number)) return 0;
    *value = static_cast<WORD>(number);
    return 1;
}

// "Distance": 769 values per scan, to the end of the file.
int MeasuringData::ReadRows(TextFile& file, ScanList* scans) {
    file.SetDelimiters(kValueDelimiters, 3);
    while (!file.IsEndOfFile()) {
        if (scans->size() >= kMaxScans) {
            SetLastError(ERROR_FILE_TOO_LARGE);
            return 0;
        }
        scans->emplace_back();
        ScanData& scan = scans->back();
        for (WORD step = 0; step < ScanData::kStepCount; ++step) {
            char token[kValueChars + 1];
            WORD value = 0;
            if (!file.ReadField(token, sizeof(token))) {
                if (GetLastError() == ERROR_HANDLE_EOF) SetLastError(ERROR_INVALID_DATA);
                return 0;
            }
            if (!ParseValue(token, &value)) return 0;
            scan.SetStep(step, value);
        }
    }
    return 1;
}

// "Distance2": one line per step, one value per scan; the empty token before
// each line end is skipped. Value j of line s is step s of scan j.
int MeasuringData::ReadColumns(TextFile& file, ScanList* scans) {
    file.SetDelimiters(kValueDelimiters, 3);
    const size_t maxValues = static_cast<size_t>(kMaxScans) * ScanData::kStepCount;
    std::vector<WORD> values;
    for (;;) {
        char token[kValueChars + 1];
        WORD value = 0;
        if (!file.ReadField(token, sizeof(token))) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            return 0;
        }
        if (token[0] == '\0') continue;
        if (!ParseValue(token, &value)) return 0;
        if (values.size() >= maxValues) {
            SetLastError(ERROR_FILE_TOO_LARGE);
            return 0;
        }
        values.push_back(value);
    }
    if (values.size() % ScanData::kStepCount != 0) {
        SetLastError(ERROR_INVALID_DATA);
        return 0;
    }
    size_t count = values.size() / ScanData::kStepCount;
    scans->resize(count);
    for (WORD step = 0; step < ScanData::kStepCount; ++step) {
        for (size_t j = 0; j < count; ++j) (*scans)[j].SetStep(step, values[count * step + j]);
    }
    return 1;
}

// The pen and brush of the device context draw each scan's polygon.
int MeasuringData::BeginDraw(HDC dc) {
    int oldMode = SetROP2(dc, R2_COPYPEN);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    return oldMode;
}

// Runs on the view's render thread while the user-interface thread may
// append: each scan is copied under the lock and drawn outside it.
void MeasuringData::PrepareDraw(HDC dc) {
    int oldMode = BeginDraw(dc);
    ScanShape shape;
    shape.SetDevice(&m_caps);
    ScanData scan;
    for (DWORD i = 0; !m_stopDrawing && CopyScan(i, &scan); ++i) DrawWith(shape, dc, scan);
    SetROP2(dc, oldMode);
}

void MeasuringData::FinishDraw(HDC dc) {
    int oldMode = BeginDraw(dc);
    ScanShape shape;
    shape.SetDevice(&m_caps);
    ScanData scan;
    if (CopyLastScan(&scan)) DrawWith(shape, dc, scan);
    SetROP2(dc, oldMode);
}

void MeasuringData::DrawScan(HDC dc, const ScanData* scan) {
    if (scan == NULL) return;
    ScanShape shape;
    shape.SetDevice(&m_caps);
    DrawWith(shape, dc, *scan);
}

// The polygon of the realtime scan, with the start angle and step count of
// the sensor these scans came from.
void MeasuringData::DrawWith(ScanShape& shape, HDC dc, const ScanData& scan) {
    shape.SetScan(scan);
    shape.BuildPolygon769();
    if (shape.GetPointCount() > 0) Polygon(dc, shape.GetPoints(), shape.GetPointCount());
}

int MeasuringData::CopyScan(DWORD i, ScanData* scan) const {
    CriticalLock::Hold hold(m_lock);
    if (i >= m_scans.size()) return 0;
    *scan = m_scans[i];
    return 1;
}

int MeasuringData::CopyLastScan(ScanData* scan) const {
    CriticalLock::Hold hold(m_lock);
    if (m_scans.empty()) return 0;
    *scan = m_scans.back();
    return 1;
}
