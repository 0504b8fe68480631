#include "protocol/DevicePort.h"

#include <new>

#include "framework/ChildWindow.h"
#include "framework/CriticalLock.h"
#include "framework/ErrorCodes.h"
#include "framework/LittleEndian.h"
#include "protocol/ComPortWorker.h"
#include "protocol/DeviceMessages.h"
#include "protocol/ProbeDevice.h"
#include "protocol/SensorDevice.h"
#include "sensor/SensorCaps.h"

namespace {

// Bytes kept between receive events at most: an unfinished frame is far
// shorter, so only noise is cut.
const size_t kMaxReceiveBytes = 2 * SensorDeviceBase::kMaxFrameBytes;
const DWORD kEventsAllButTxEmpty = 0x1FB;


struct LineSettings {
    DWORD baud;
    BYTE stopBits;
    DWORD eventMask;
};

LineSettings SettingsOf(WORD type) {
    switch (type) {
        case 0:
            return {CBR_19200, ONESTOPBIT, EV_RXCHAR};
        case 1:
            return {CBR_57600, TWOSTOPBITS, EV_RXCHAR};
        case 2:
            return {CBR_115200, TWOSTOPBITS, kEventsAllButTxEmpty};
        default:
            return {CBR_38400, ONESTOPBIT, EV_RXCHAR};
    }
}

// Raises a flag for one scope and lowers it on every way out.
class RaisedFlag {
public:
    explicit RaisedFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~RaisedFlag() { m_flag = false; }

private:
    RaisedFlag(const RaisedFlag&) = delete;
    RaisedFlag& operator=(const RaisedFlag&) = delete;
    bool& m_flag;
};

bool InRange(const BYTE* bytes, int offset, int limit) {
    const int value = ReadLeShort(bytes + offset);
    return value >= -limit && value <= limit;
}

}  // namespace

DevicePort::DevicePort()
    : m_application(NULL),
      m_frame(NULL),
      m_waveFormRecord(NULL),
      m_caps(NULL),
      m_bytesToCome(0),
      m_autoRecognition(FALSE),
      m_switching(false),
      m_pendingType(kNoPendingType),
      m_waveStep(0),
      m_waveFlag(0),
      m_levelChanges(0),
      m_levelDevice(NULL),
      m_deviceUsers(0),
      m_swapsUnseen(0) {
    ZeroMemory(m_levelCount, sizeof(m_levelCount));
    ZeroMemory(m_switchCount, sizeof(m_switchCount));
    m_worker.reset(new (std::nothrow) ComPortWorker(this));
}

DevicePort::~DevicePort() {
    // Nothing may open or reach the port any more, then the device's
    // operations stop, then the receive thread; the locks go last.
    if (m_worker != NULL) m_worker->Stop();
    if (m_device != NULL) m_device->SetConnected(0);
    Detach();
    Close();
    m_device.reset();
    DeleteRetired();
    m_worker.reset();
}

void DevicePort::SetSensorCaps(SensorCaps* caps) {
    m_caps = caps;
}

void DevicePort::SetWaveFormRecord(WaveFormRecord* record) {
    m_waveFormRecord = record;
}

void DevicePort::SetFrame(ChildWindow* frame) {
    m_frame = frame;
}

void DevicePort::SetApplication(DeviceHost* application) {
    m_application = application;
}

int DevicePort::Detach() {
    // The port worker may be raising the link of a port it just opened: let it
    // finish before the device's operations are stopped under it.
    if (m_worker != NULL) m_worker->Stop();
    m_application = NULL;
    m_frame = NULL;
    m_waveFormRecord = NULL;
    m_caps = NULL;
    if (m_device == NULL) return 0;
    m_device->Close();
    return 1;
}

int DevicePort::CreateEvents() {
    if (m_application == NULL || m_frame == NULL || m_waveFormRecord == NULL || m_caps == NULL) return 0;
    if (m_worker != NULL) m_worker->EnsureStarted();
    return SerialPort::CreateEvents();
}

std::unique_ptr<SensorDeviceBase> DevicePort::CreateDevice(WORD type) {
    if (type <= 2) return std::unique_ptr<SensorDeviceBase>(new (std::nothrow) SensorDevice());
    return std::unique_ptr<SensorDeviceBase>(new (std::nothrow) ProbeDevice());
}

int DevicePort::SelectDevice(WORD type) {
    if (type > 2 && type != kProbeDeviceType) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // A handler reached during a switch (a message loop the device's calls
    // run) may ask for another: it follows this one.
    if (m_switching) {
        m_pendingType = type;
        return 1;
    }
    const RaisedFlag switching(m_switching);
    const int result = SwitchDevice(type);
    while (m_pendingType != kNoPendingType) {
        const WORD next = static_cast<WORD>(m_pendingType);
        m_pendingType = kNoPendingType;
        SwitchDevice(next);
    }
    return result;
}

int DevicePort::SwitchDevice(WORD type) {
    const LineSettings line = SettingsOf(type);
    DCB dcb = m_dcb;
    dcb.BaudRate = line.baud;
    dcb.StopBits = line.stopBits;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;

    std::unique_ptr<SensorDeviceBase> created = CreateDevice(type);
    SensorDeviceBase* next = created.get();
    if (next == NULL) return 0;
    next->SetApplication(m_application);
    next->SetWaveFormRecord(m_waveFormRecord);
    next->SetPort(this);
    next->SetCaps(m_caps);
    if (!next->Open()) {
        next->Close();
        return 0;
    }
    {
        // Writes waiting on the line give up first: silencing the probe
        // waits for its thread, which may be one of them.
        const WriteCut cut(*this);
        // The old device goes quiet before the line changes: a probe still
        // running would switch the new device's rate behind it. Its transfers
        // end as with a lost sensor, each with its failure report.
        SensorDeviceBase* old = m_device.get();
        if (old != NULL) {
            old->SetConnected(0);
            old->OnSensorLost();
        }
        Configure(&dcb, line.eventMask, kQueueBytes, kQueueBytes);
    }
    RetireDevice(SwapDevice(std::move(created)), true);
    next->SetConnected(1);
    ReplaySwitches(next);
    return 1;
}

std::unique_ptr<SensorDeviceBase> DevicePort::SwapDevice(std::unique_ptr<SensorDeviceBase> next) {
    // The receive thread uses the device under the receive lock, the others
    // through counted uses: after this block neither reaches the old one anew.
    CriticalLock::Hold receive(m_receiveLock);
    CriticalLock::Hold device(m_deviceLock);
    std::unique_ptr<SensorDeviceBase> old = std::move(m_device);
    m_device = std::move(next);
    // Under the lock a device posts under: all the old device posted is
    // ahead of the mark, all the new one posts behind it.
    // Counted before the post, so the frame never takes a mark not counted yet.
    if (old != NULL) {
        InterlockedIncrement(&m_swapsUnseen);
        if (!PostToFrame(WM_DEVICE_SWAPPED, 0, 0)) InterlockedDecrement(&m_swapsUnseen);
    }
    const int users = m_deviceUsers;
    m_deviceUsers = 0;
    // Not deleted under a caller: the last one to leave it retires it.
    if (old != NULL && users > 0) m_retired.push_back(Retiring{std::move(old), users});
    return old;
}

void DevicePort::RetireDevice(std::unique_ptr<SensorDeviceBase> device, bool mayCloseHere) {
    if (device == NULL) return;
    // Closing waits for the device's operation threads, which may be waiting
    // for the user-interface thread or be the calling thread itself.
    if (m_worker != NULL && m_worker->RequestRetire(device)) return;
    if (mayCloseHere) {
        device->Close();
        return;
    }
    CriticalLock::Hold hold(m_deviceLock);
    m_retired.push_back(Retiring{std::move(device), 0});
}

SensorDeviceBase* DevicePort::AcquireDevice() {
    CriticalLock::Hold device(m_deviceLock);
    if (m_device != NULL) ++m_deviceUsers;
    return m_device.get();
}

void DevicePort::ReleaseDevice(SensorDeviceBase* released) {
    std::unique_ptr<SensorDeviceBase> left;  // its last user left it
    {
        CriticalLock::Hold device(m_deviceLock);
        if (released == m_device.get()) {
            --m_deviceUsers;
            return;
        }
        for (size_t i = 0; i < m_retired.size(); ++i) {
            if (m_retired[i].device.get() != released) continue;
            if (--m_retired[i].users > 0) return;
            left = std::move(m_retired[i].device);
            m_retired.erase(m_retired.begin() + i);
            break;
        }
    }
    // This thread may be one of the device's own operations.
    RetireDevice(std::move(left), false);
}

BOOL DevicePort::IsSwapUnseen() {
    return InterlockedCompareExchange(&m_swapsUnseen, 0, 0) > 0;
}

void DevicePort::SwapSeen() {
    InterlockedDecrement(&m_swapsUnseen);
}

bool DevicePort::IsCurrent(SensorDeviceBase* device) {
    CriticalLock::Hold hold(m_deviceLock);
    return device != NULL && device == m_device.get();
}

void DevicePort::DeleteRetired() {
    std::vector<Retiring> left;
    {
        CriticalLock::Hold hold(m_deviceLock);
        left.swap(m_retired);
    }
    for (Retiring& r : left) {
        // A thread still inside would find it gone: that one is never deleted.
        if (r.users > 0) {
            r.device.release();
            continue;
        }
        r.device->Close();
        r.device.reset();
    }
}

void DevicePort::ReplaySwitches(SensorDeviceBase* device) {
    BYTE counts[kSwitchCount];
    WORD step;
    BYTE flag;
    {
        CriticalLock::Hold counters(m_counterLock);
        CopyMemory(counts, m_switchCount, sizeof(counts));
        step = m_waveStep;
        flag = m_waveFlag;
    }
    DeliverLinkLevel();
    device->SetRealtime(counts[kRealtime] != 0);
    device->SetIoPolling(counts[kIoPolling] != 0);
    device->SetTroublePolling(counts[kTroublePolling] != 0);
    device->SetStatisticsPolling(counts[kStatisticsPolling] != 0);
    device->SetWaveForm(counts[kWaveForm] != 0, step, flag);
}

int DevicePort::RequestOpen(int port) {
    if (m_worker == NULL || !m_worker->RequestOpen(port)) return 0;
    m_openRequests.push_back(port);
    // A report lost without a frame must not shift every later one.
    if (m_openRequests.size() > kMaxOpenRequests) m_openRequests.pop_front();
    return 1;
}

int DevicePort::TakeOpenRequest() {
    if (m_openRequests.empty()) return kNoOpenRequest;
    const int port = m_openRequests.front();
    m_openRequests.pop_front();
    return port;
}

int DevicePort::RequestPortScan() {
    return m_worker != NULL ? m_worker->RequestScan() : 0;
}

BOOL DevicePort::IsAutoRecognition() {
    return m_autoRecognition;
}

void DevicePort::SetAutoRecognition(BOOL on) {
    m_autoRecognition = on;
}

BYTE DevicePort::HighestLevel() {
    BYTE level = kMaxLinkLevel;
    while (level > 0 && m_levelCount[level] == 0) --level;
    return level;
}

int DevicePort::AcquireLinkLevel(BYTE level) {
    if (level > kMaxLinkLevel) return 0;
    {
        CriticalLock::Hold counters(m_counterLock);
        if (level == 0)
            ZeroMemory(m_levelCount, sizeof(m_levelCount));
        else if (m_levelCount[level] < kMaxCount)
            ++m_levelCount[level];
        ++m_levelChanges;
    }
    return DeliverLinkLevel();
}

int DevicePort::ReleaseLinkLevel(BYTE level) {
    if (level > kMaxLinkLevel) return 0;
    {
        CriticalLock::Hold counters(m_counterLock);
        if (m_levelCount[level] > 0) --m_levelCount[level];
        ++m_levelChanges;
    }
    return DeliverLinkLevel();
}

// One thread at a time tells a device its level: the link operation starts
// and stops its thread there, which two threads at once would corrupt.
// Callers on several threads may finish out of order: the one telling the
// device tells it again until the counters held still during its call, so
// the last level the device hears is the one the counters hold. A replaced
// device is told nothing more, and a thread held up inside it keeps nobody
// from telling the new one.
int DevicePort::DeliverLinkLevel() {
    SensorDeviceBase* device = AcquireDevice();
    if (device == NULL) return 0;
    int result = 1;  // a change made meanwhile is told by the thread telling it
    if (TakeLevelDelivery(device)) {
        for (;;) {
            BYTE level;
            DWORD seen;
            {
                CriticalLock::Hold counters(m_counterLock);
                level = HighestLevel();
                seen = m_levelChanges;
            }
            result = device->SetLinkLevel(level);
            if (FinishLevelDelivery(device, seen)) break;
        }
    }
    ReleaseDevice(device);
    return result;
}

bool DevicePort::TakeLevelDelivery(SensorDeviceBase* device) {
    CriticalLock::Hold counters(m_counterLock);
    if (m_levelDevice == device || !IsCurrent(device)) return false;
    m_levelDevice = device;
    return true;
}

// True when the delivery ends: the counters held still while the device was
// told, or the device was replaced meanwhile.
bool DevicePort::FinishLevelDelivery(SensorDeviceBase* device, DWORD seen) {
    CriticalLock::Hold counters(m_counterLock);
    if (m_levelChanges != seen && IsCurrent(device)) return false;
    if (m_levelDevice == device) m_levelDevice = NULL;
    return true;
}

// A switch-on counts whatever the device answers: a device that cannot
// serve it now (the baud-rate probe) gets it from the replay into the next
// one. So "on" returns 1 once counted, and the caller gives it back.
int DevicePort::CountedSwitch(Switch which, SwitchCall call, DWORD on) {
    if (m_device == NULL) return 0;
    bool reach;
    {
        CriticalLock::Hold counters(m_counterLock);
        BYTE& count = m_switchCount[which];
        if (on == 1) {
            if (count < kMaxCount) ++count;
            reach = count == 1;
        } else {
            if (count > 0) --count;
            reach = count == 0;
        }
    }
    const int result = reach ? (m_device.get()->*call)(on) : 1;
    return on == 1 ? 1 : result;
}

int DevicePort::SetRealtime(DWORD on) {
    return CountedSwitch(kRealtime, &SensorDeviceBase::SetRealtime, on);
}

int DevicePort::SetIoPolling(DWORD on) {
    return CountedSwitch(kIoPolling, &SensorDeviceBase::SetIoPolling, on);
}

int DevicePort::SetTroublePolling(DWORD on) {
    return CountedSwitch(kTroublePolling, &SensorDeviceBase::SetTroublePolling, on);
}

int DevicePort::SetStatisticsPolling(DWORD on) {
    return CountedSwitch(kStatisticsPolling, &SensorDeviceBase::SetStatisticsPolling, on);
}

int DevicePort::SetWaveForm(DWORD on, WORD step, BYTE flag) {
    if (m_device == NULL) return 0;
    bool reach;
    {
        CriticalLock::Hold counters(m_counterLock);
        BYTE& count = m_switchCount[kWaveForm];
        if (on == 1) {
            if (count < kMaxCount) ++count;
            // A new step or flag must reach a running waveform too.
            reach = count == 1 || step != m_waveStep || flag != m_waveFlag;
            if (reach) {
                m_waveStep = step;
                m_waveFlag = flag;
            }
        } else {
            if (count > 0) --count;
            reach = count == 0;
            step = m_waveStep;
            flag = m_waveFlag;
        }
    }
    // Counted as the other switches are.
    const int result = reach ? m_device->SetWaveForm(on, step, flag) : 1;
    return on == 1 ? 1 : result;
}

bool DevicePort::AreasInRange(const BYTE* table) {
    const int limit = m_caps->HasCapability(SensorCaps::kCapCoordinateLimit);
    for (int area = 0; area < kAreaCount; ++area) {
        const BYTE* record = table + area * kAreaRecordBytes;
        // Seven points of x and y, then Output2 and Output3: 16 signed words.
        for (int offset = 0; offset < kAreaFlagsOffset; offset += 2) {
            if (!InRange(record, offset, limit)) return false;
        }
    }
    return true;
}

int DevicePort::WriteAreas(const BYTE* table) {
    if (table == NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (m_caps == NULL) {
        SetLastError(kErrorMissingCollaborator);
        return 0;
    }
    if (!AreasInRange(table)) {
        SetLastError(kErrorAreaOutOfRange);
        return 0;
    }
    if (m_device == NULL) {
        SetLastError(kErrorMissingCollaborator);
        return 0;
    }
    return m_device->WriteAreas(table);
}

int DevicePort::Send(const std::string& bytes) {
    CriticalLock::Hold send(m_sendLock);
    return WriteAll(bytes) == static_cast<int>(bytes.size()) ? 1 : 0;
}

int DevicePort::SendAhead(const std::string& bytes) {
    const WriteCut others(*this);
    CriticalLock::Hold send(m_sendLock);
    return WriteAhead(bytes, kAheadBoundMs) == static_cast<int>(bytes.size()) ? 1 : 0;
}

void DevicePort::OnCommEvent(DWORD events) {
    if ((events & EV_RXCHAR) == 0) return;
    std::vector<std::string> monitorLines;
    {
        CriticalLock::Hold receive(m_receiveLock);
        if (ReadAll(m_receiveBuffer) > 0) {
            m_arrival.Learn(m_receiveBuffer);
            if (m_device != NULL)
                m_device->OnReceive(m_receiveBuffer, monitorLines);
            else
                m_receiveBuffer.clear();  // nobody to hand them to
        }
        if (m_receiveBuffer.size() > kMaxReceiveBytes) {
            m_receiveBuffer.erase(0, m_receiveBuffer.size() - kMaxReceiveBytes);
        }
        m_bytesToCome = m_arrival.BytesToCome(m_receiveBuffer);
    }
    // Sent notifications wait for the frame: never under the receive lock.
    for (const std::string& line : monitorLines) {
        SendToFrame(WM_DEVICE_COM_MONITOR_LINE, 1, reinterpret_cast<LPARAM>(&line));
    }
}

DWORD DevicePort::BytesToCome() {
    return m_bytesToCome;
}

void DevicePort::OnDeviceLost(DWORD session) {
    // A transfer under way ends now rather than when its retries run out.
    SensorDeviceBase* device = AcquireDevice();
    if (device != NULL) {
        device->OnSensorLost();
        ReleaseDevice(device);
    }
    if (m_worker != NULL) m_worker->ReportLost(session);
}

size_t DevicePort::ReceiveBufferSize() {
    CriticalLock::Hold receive(m_receiveLock);
    return m_receiveBuffer.size();
}

BOOL DevicePort::NotifyPortOpened(int port, int ok) {
    return PostToFrame(WM_DEVICE_PORT_OPENED, static_cast<WPARAM>(port), ok);
}

BOOL DevicePort::NotifyPortList(const DWORD* portBits) {
    return PostToFrame(WM_DEVICE_PORT_LIST, reinterpret_cast<WPARAM>(portBits), 0);
}

LRESULT DevicePort::SendToFrame(UINT msg, WPARAM wParam, LPARAM lParam) {
    ChildWindow* frame = m_frame;
    return frame != NULL ? frame->SendMessage(msg, wParam, lParam) : 0;
}

BOOL DevicePort::PostToFrame(UINT msg, WPARAM wParam, LPARAM lParam) {
    ChildWindow* frame = m_frame;
    return frame != NULL ? frame->PostMessage(msg, wParam, lParam) : FALSE;
}

BOOL DevicePort::PostFromDevice(SensorDeviceBase* device, UINT msg, WPARAM wParam, LPARAM lParam) {
    // The swap takes this lock too; posting never blocks.
    CriticalLock::Hold hold(m_deviceLock);
    if (device == NULL || device != m_device.get()) return FALSE;
    return PostToFrame(msg, wParam, lParam);
}
