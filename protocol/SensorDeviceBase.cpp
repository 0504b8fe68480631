#include "protocol/SensorDeviceBase.h"

#include "framework/LittleEndian.h"
#include "protocol/DeviceMessages.h"
#include "protocol/DevicePort.h"

namespace {

// One byte through the bit-serial register: R = (R & 0xFFFF) | (b << 16), then
// eight times XOR 0x10811 when bit 0 is set and shift right.
DWORD ShiftByte(DWORD r, unsigned char b) {
    r = (r & 0xFFFF) | (static_cast<DWORD>(b) << 16);
    for (int bit = 0; bit < 8; ++bit) {
        if (r & 1) r ^= 0x10811;
        r >>= 1;
    }
    return r;
}

// The eight XOR decisions depend only on the register's low byte, so the
// register step is linear: shift(r, b) = ((r >> 8) | (b << 8)) ^ table[r & 0xFF].
struct CrcTable {
    WORD values[256];
    CrcTable() {
        for (int v = 0; v < 256; ++v) values[v] = static_cast<WORD>(ShiftByte(static_cast<DWORD>(v), 0));
    }
};

}  // namespace

WORD SensorDeviceBase::Crc16(const std::string& bytes) {
    return Crc16(0, reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
}

WORD SensorDeviceBase::Crc16(WORD start, const BYTE* bytes, size_t count) {
    static const CrcTable table;
    DWORD r = start;
    for (size_t i = 0; i < count; ++i) {
        const DWORD b = bytes[i];
        r = ((r >> 8) | (b << 8)) ^ table.values[r & 0xFF];
    }
    return static_cast<WORD>(r & 0xFFFF);
}

int SensorDeviceBase::Encode6(const std::string& in, std::string& text) {
    text.clear();
    text.reserve(in.size() / 3 * 4 + 3);
    const size_t n = in.size();
    for (size_t i = 0; i < n; i += 3) {
        const unsigned b0 = static_cast<unsigned char>(in[i]);
        const unsigned b1 = i + 1 < n ? static_cast<unsigned char>(in[i + 1]) : 0;
        const unsigned b2 = i + 2 < n ? static_cast<unsigned char>(in[i + 2]) : 0;
        text += static_cast<char>((b0 >> 2) + 0x20);
        text += static_cast<char>((((b0 & 0x03) << 4) | (b1 >> 4)) + 0x20);
        if (i + 1 < n) text += static_cast<char>((((b1 & 0x0F) << 2) | (b2 >> 6)) + 0x20);
        if (i + 2 < n) text += static_cast<char>((b2 & 0x3F) + 0x20);
    }
    return 1;
}

int SensorDeviceBase::Decode6(const std::string& text, std::string& out) {
    out.clear();
    out.reserve(text.size() / 4 * 3 + 2);
    const size_t n = text.size();
    for (size_t i = 0; i + 1 < n; i += 4) {
        unsigned c[4] = {0, 0, 0, 0};
        const size_t count = n - i < 4 ? n - i : 4;
        for (size_t k = 0; k < count; ++k) c[k] = (static_cast<unsigned char>(text[i + k]) - 0x20) & 0x3F;
        out += static_cast<char>((c[0] << 2) | (c[1] >> 4));
        if (count >= 3) out += static_cast<char>(((c[1] & 0x0F) << 4) | (c[2] >> 2));
        if (count >= 4) out += static_cast<char>(((c[2] & 0x03) << 6) | c[3]);
    }
    return 1;
}

void SensorDeviceBase::AssembleFrame(std::string& message, std::string& frame) {
    // The check runs over the message with its two check bytes still zero.
    message.append(2, '\0');
    const WORD crc = Crc16(message);
    message.resize(message.size() - 2);
    AppendLeWord(&message, crc);
    std::string text;
    Encode6(message, text);
    frame.clear();
    frame.reserve(text.size() + 2);
    frame += kStx;
    frame += text;
    frame += kEtx;
}

bool SensorDeviceBase::CheckMessage(const std::string& message) {
    return Crc16(message) == 0;
}

void SensorDeviceBase::ExtractMessages(std::string& buffer, std::vector<std::string>& messages,
                                       std::vector<std::string>* decoded) {
    std::string message, text;
    while (!buffer.empty()) {
        const size_t stx = buffer.find(kStx);
        if (stx == std::string::npos) {
            buffer.clear();
            return;
        }
        const size_t etx = buffer.find(kEtx, stx + 1);
        if (etx == std::string::npos) {
            if (buffer.size() - stx > kMaxFrameBytes) {
                // Noise with an STX and no ETX: keep at most a frame that began last.
                const size_t last = buffer.rfind(kStx);
                if (last != stx && buffer.size() - last <= kMaxFrameBytes)
                    buffer.erase(0, last);
                else
                    buffer.clear();
            }
            return;
        }
        text.assign(buffer, stx + 1, etx - stx - 1);
        Decode6(text, message);
        buffer.erase(0, etx + 1);
        if (decoded != NULL) decoded->push_back(message);
        if (CheckMessage(message) && !message.empty()) messages.push_back(message);
    }
}

SensorDeviceBase::SensorDeviceBase()
    : m_application(NULL), m_waveFormRecord(NULL), m_port(NULL), m_caps(NULL), m_monitor(0), m_connected(0) {}

SensorDeviceBase::~SensorDeviceBase() {}

void SensorDeviceBase::SetCaps(SensorCaps* caps) {
    m_caps = caps;
}

void SensorDeviceBase::SetPort(DevicePort* port) {
    m_port = port;
}

void SensorDeviceBase::SetWaveFormRecord(WaveFormRecord* record) {
    m_waveFormRecord = record;
}

void SensorDeviceBase::SetApplication(DeviceHost* application) {
    m_application = application;
}

void SensorDeviceBase::Close() {
    m_application = NULL;
    m_waveFormRecord = NULL;
    m_port = NULL;
    m_caps = NULL;
}

int SensorDeviceBase::SetConnected(DWORD connected) {
    InterlockedExchange(&m_connected, connected != 0 ? 1 : 0);
    return 1;
}

bool SensorDeviceBase::IsConnected() {
    return InterlockedCompareExchange(&m_connected, 0, 0) != 0;
}

DWORD SensorDeviceBase::SetMonitor(DWORD monitor) {
    return static_cast<DWORD>(InterlockedExchange(&m_monitor, monitor != 0 ? 1 : 0));
}

bool SensorDeviceBase::IsMonitoring() {
    return InterlockedCompareExchange(&m_monitor, 0, 0) != 0;
}

void SensorDeviceBase::OnSensorLost() {}

LRESULT SensorDeviceBase::NotifyMonitor(DWORD direction, const std::string* message) {
    return SendToOwner(WM_DEVICE_COM_MONITOR_LINE, direction, reinterpret_cast<LPARAM>(message));
}

LRESULT SensorDeviceBase::SendToOwner(UINT msg, WPARAM wParam, LPARAM lParam) {
    DevicePort* port = m_port;
    return port != NULL ? port->SendToFrame(msg, wParam, lParam) : 0;
}

BOOL SensorDeviceBase::PostToOwner(UINT msg, WPARAM wParam, LPARAM lParam) {
    DevicePort* port = m_port;
    return port != NULL ? port->PostFromDevice(this, msg, wParam, lParam) : FALSE;
}

BYTE SensorDeviceBase::Checksum(const std::string& bytes) {
    BYTE sum = 0;
    for (char c : bytes) sum ^= static_cast<BYTE>(c);
    return sum;
}
