#ifndef PROTOCOL_DEVICEPORT_H
#define PROTOCOL_DEVICEPORT_H

#include <deque>
#include <memory>
#include <vector>

#include "framework/CriticalLock.h"
#include "framework/OwnedHandle.h"
#include "protocol/DeviceHandOver.h"
#include "protocol/FrameArrival.h"
#include "protocol/SensorDeviceBase.h"
#include "protocol/SensorRequests.h"
#include "protocol/SerialPort.h"

class ChildWindow;
class ComPortWorker;
class DeviceHost;
class SensorCaps;
class WaveFormRecord;

// The program's one connection to the sensor: the serial port that owns the
// current device object and the port worker, serialises sends and receives
// with two locks, counts the users of each polling switch and link level so
// that only the first "on" and the last "off" reach the device, forwards
// every request to the device and carries its notifications to the frame.
// It takes the sensor's requests as the devices do, so that its users hold
// one object for them whatever device is current.
//
// Threads: the user-interface thread selects the device and calls switches
// and forwarders; the receive thread runs OnCommEvent; the port worker and
// operation threads change link levels and send. The counters change under
// one small lock; the device pointer is written only on the user-interface
// thread, read by the receive thread under the receive lock and by the
// forwarders and the other threads through a counted use, so a device is
// deleted only once nobody calls it. No lock is held while the device or
// the frame is called.
//
// A device switch never waits for the device it replaces: that one is
// silenced, its transfers end as with a lost sensor, and the port worker
// closes and deletes it once no other thread is inside it. So the
// user-interface thread handles nothing while the device pointer changes.
// What the replaced device posts from then on is dropped; its sent reports
// (the ends of its transfers, the monitor's lines) still reach the frame.
class DevicePort : public SerialPort, public SensorRequests {
public:
    static constexpr WORD kProbeDeviceType = 0xFFFF;
    static constexpr DWORD kQueueBytes = 4096;
    static constexpr BYTE kMaxLinkLevel = 3;
    static constexpr BYTE kMaxCount = 255;
    // TakeOpenRequest when no request waits for its report.
    static constexpr int kNoOpenRequest = -1;
    // Requests kept for their reports; older ones are forgotten beyond it.
    static constexpr size_t kMaxOpenRequests = 16;
    // SendAhead's bound: many times a short line's time at the slowest rate.
    static constexpr DWORD kAheadBoundMs = 250;

    DevicePort();
    ~DevicePort() override;

    int CreateEvents() override;
    void OnCommEvent(DWORD events) override;
    DWORD BytesToCome() override;
    // Tells the device, which ends its transfers, and has the port worker
    // close the port and try it again until the device is back.
    void OnDeviceLost(DWORD session) override;

    virtual void SetSensorCaps(SensorCaps* caps);
    virtual void SetWaveFormRecord(WaveFormRecord* record);
    // The main window, which every notification goes to.
    virtual void SetFrame(ChildWindow* frame);
    virtual void SetApplication(DeviceHost* application);
    // Clears the collaborators and closes the device (which stays); the
    // device's Close result, 0 without a device.
    virtual int Detach();
    // Types 0, 1, 2: the sensor device at 19200, 57600, 115200 baud;
    // kProbeDeviceType: the baud-rate probe. 1 on success; else (any other
    // type too) the old device stays. Asked for again while a switch runs
    // (from a handler the switch reached), the type is taken after it, the
    // latest one winning, and 1 is returned.
    virtual int SelectDevice(WORD type);
    // 1..256 opens COMn, any other value closes; the report follows as
    // WM_DEVICE_PORT_OPENED, one per accepted request, in order.
    virtual int RequestOpen(int port);
    // The port of the oldest request whose report has not been taken, or
    // kNoOpenRequest. The frame takes one per report, so it can tell the
    // report of a close from that of a failed open.
    virtual int TakeOpenRequest();
    virtual int RequestPortScan();
    virtual BOOL IsAutoRecognition();
    virtual void SetAutoRecognition(BOOL on);
    // Level 0 clears every holder; 1..3 add one. The device gets the highest
    // level still held. Levels above 3 are ignored (0 returned).
    virtual int AcquireLinkLevel(BYTE level);
    virtual int ReleaseLinkLevel(BYTE level);
    // The device's previous monitor flag; 0 without a device.
    virtual int SetMonitor(DWORD on) { return static_cast<int>(Forward(&Device::SetMonitor, on)); }
    // Any thread: writes the bytes under the send lock; 1 when all went out.
    virtual int Send(const std::string& bytes);
    // User-interface thread: Send ahead of the other writers, whose waits
    // for the line are cut, with each wait of its own ending after
    // kAheadBoundMs: the line that tells the sensor to change its rate
    // right before a device switch, which would purge their bytes anyway.
    virtual int SendAhead(const std::string& bytes);
    virtual BOOL NotifyPortOpened(int port, int ok);
    // Posts a heap array of eight words (new[]), which the frame frees;
    // 0 when it was not posted and the caller keeps it.
    virtual BOOL NotifyPortList(const DWORD* portBits);
    // Any thread: 0 without a frame.
    virtual LRESULT SendToFrame(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual BOOL PostToFrame(UINT msg, WPARAM wParam, LPARAM lParam);
    // Any thread: a device's posted notification, which goes to the frame
    // only while that device is the current one; checked and posted in one
    // step against a swap, so a device replaced after its own checks
    // (a connection check, a running operation) posts nothing more. FALSE
    // when it was dropped or not posted.
    virtual BOOL PostFromDevice(SensorDeviceBase* device, UINT msg, WPARAM wParam, LPARAM lParam);
    // Whether a WM_DEVICE_SWAPPED posted to the frame is still on its way:
    // then a device notification the frame takes now was posted before that
    // switch, by a device no longer current. The frame calls SwapSeen as it
    // takes each WM_DEVICE_SWAPPED.
    virtual BOOL IsSwapUnseen();
    virtual void SwapSeen();
    // Realtime straight to the device, its switch counter left alone.
    virtual int SetRealtimeUncounted(DWORD on) { return Forward(&Device::SetRealtime, on); }

    // The requests: each is the current device's answer, 0 without a device.
    BYTE GetLinkLevel() override { return Forward(&Device::GetLinkLevel); }
    int RequestVersion() override { return Forward(&Device::RequestVersion); }
    // Counted switches (SetRealtime, SetIoPolling, SetWaveForm, SetTroublePolling,
    // SetStatisticsPolling): only the first "on" and the last "off" reach the
    // device. "On" returns 1 when it was counted, whatever the device said, and
    // 0 only without a device; every counted "on" is given back with an "off".
    int SetRealtime(DWORD on) override;
    int ReadRam(WORD start, WORD count) override { return Forward(&Device::ReadRam, start, count); }
    int WriteRam(const WORD* words, WORD start, WORD count) override {
        return Forward(&Device::WriteRam, words, start, count);
    }
    int ReadAreas() override { return Forward(&Device::ReadAreas); }
    // Checks every coordinate and output distance against the sensor's
    // range first: 0 with last error 0x20000100 for the first outside.
    int WriteAreas(const BYTE* table) override;
    int ReadFram(BYTE first, BYTE count) override { return Forward(&Device::ReadFram, first, count); }
    int WriteFram(const WORD* words, BYTE first, BYTE count) override {
        return Forward(&Device::WriteFram, words, first, count);
    }
    int ReadFunction() override { return Forward(&Device::ReadFunction); }
    int WriteFunction(WORD function) override { return Forward(&Device::WriteFunction, function); }
    int ReadCorrection() override { return Forward(&Device::ReadCorrection); }
    int WriteCorrection(BYTE point, WORD distance) override {
        return Forward(&Device::WriteCorrection, point, distance);
    }
    int ReadDirection() override { return Forward(&Device::ReadDirection); }
    int WriteDirection(int* angle) override { return Forward(&Device::WriteDirection, angle); }
    int SetIoPolling(DWORD on) override;
    int WriteIo(BYTE disguised, BYTE mask) override { return Forward(&Device::WriteIo, disguised, mask); }
    int SetWaveForm(DWORD on, WORD step, BYTE flag) override;
    int ReadMotor() override { return Forward(&Device::ReadMotor); }
    int WriteMotor(int* value) override { return Forward(&Device::WriteMotor, value); }
    int SetTroublePolling(DWORD on) override;
    int SimulateTrouble(BYTE kind) override { return Forward(&Device::SimulateTrouble, kind); }
    int SetStatisticsPolling(DWORD on) override;
    int ResetSensor() override { return Forward(&Device::ResetSensor); }
    int UpdateFirmware(const char* path) override { return Forward(&Device::UpdateFirmware, path); }
    int ReadFunctionSetting() override { return Forward(&Device::ReadFunctionSetting); }
    int WriteFunctionSetting(BYTE option) override { return Forward(&Device::WriteFunctionSetting, option); }
    int ReadSensitivity() override { return Forward(&Device::ReadSensitivity); }
    int CorrectSensitivity() override { return Forward(&Device::CorrectSensitivity); }
    int ReadFilterSwitch() override { return Forward(&Device::ReadFilterSwitch); }
    int WriteFilterSwitch(const BYTE* bytes) override { return Forward(&Device::WriteFilterSwitch, bytes); }
    int SetLevelSwitch(DWORD on) override { return Forward(&Device::SetLevelSwitch, on); }
    int StartFirmwareWithoutImage() override { return Forward(&Device::StartFirmwareWithoutImage); }
    int StartFirmwareFromImage() override { return Forward(&Device::StartFirmwareFromImage); }

    // The buffers whose addresses posted notifications carry.
    DeviceHandOver* GetHandOver() { return &m_handOver; }

protected:
    // Creates the device object of a type (0, 1, 2 or the probe type); empty
    // when this program has no device of that type or it cannot be created.
    virtual std::unique_ptr<SensorDeviceBase> CreateDevice(WORD type);
    // The receive buffer's size, for the tests of its bound.
    size_t ReceiveBufferSize();

private:
    static constexpr int kNoPendingType = -1;
    enum Switch { kRealtime, kIoPolling, kTroublePolling, kStatisticsPolling, kWaveForm, kSwitchCount };
    typedef int (SensorDeviceBase::*SwitchCall)(DWORD on);

    typedef SensorDeviceBase Device;
    // Calls request on the current device, held for the call; 0 without a
    // device. The device's last error reaches the caller.
    template <typename Result, typename... Params, typename... Args>
    Result Forward(Result (Device::*request)(Params...), Args... args) {
        Device* device = AcquireDevice();
        if (device == NULL) return 0;
        const Result result = (device->*request)(args...);
        const DWORD error = GetLastError();
        ReleaseDevice(device);
        SetLastError(error);
        return result;
    }

    // A counted use of the current device: the device is not deleted before
    // it is released.
    SensorDeviceBase* AcquireDevice();
    void ReleaseDevice(SensorDeviceBase* device);
    bool IsCurrent(SensorDeviceBase* device);
    // One device switch: the body of SelectDevice, never entered twice.
    int SwitchDevice(WORD type);
    // Makes next the current device and returns the old one when no other
    // thread uses it; one still in use stays listed until its last user leaves.
    std::unique_ptr<SensorDeviceBase> SwapDevice(std::unique_ptr<SensorDeviceBase> next);
    // Closes and deletes a replaced device off the calling thread (the port
    // worker's); here only when no worker runs.
    void RetireDevice(std::unique_ptr<SensorDeviceBase> device, bool mayCloseHere);
    // Destructor: closes and deletes the replaced devices nobody uses.
    void DeleteRetired();
    int DeliverLinkLevel();
    bool TakeLevelDelivery(SensorDeviceBase* device);
    bool FinishLevelDelivery(SensorDeviceBase* device, DWORD seen);
    BYTE HighestLevel();  // under m_counterLock
    int CountedSwitch(Switch which, SwitchCall call, DWORD on);
    void ReplaySwitches(SensorDeviceBase* device);
    bool AreasInRange(const BYTE* table);

    std::unique_ptr<SensorDeviceBase> m_device;  // written on the user-interface thread only (see above)
    DeviceHost* m_application;   // user-interface thread
    ChildWindow* m_frame;        // set before any device runs; read by every thread
    WaveFormRecord* m_waveFormRecord;
    SensorCaps* m_caps;
    std::unique_ptr<ComPortWorker> m_worker;

    CriticalLock m_sendLock;      // held around every write to the port
    CriticalLock m_receiveLock;   // held around the handling of received bytes
    std::string m_receiveBuffer;  // receive thread, under m_receiveLock
    FrameArrival m_arrival;       // receive thread, under m_receiveLock
    DWORD m_bytesToCome;          // receive thread only

    BOOL m_autoRecognition;          // user-interface thread
    std::deque<int> m_openRequests;  // user-interface thread: requests whose report is due
    bool m_switching;                // user-interface thread: a device switch runs
    int m_pendingType;               // user-interface thread: asked for meanwhile, or kNoPendingType

    // Lock order: m_counterLock before m_deviceLock, never the other way.
    CriticalLock m_counterLock;  // guards the counters, the wave-form cache and the level delivery
    BYTE m_levelCount[kMaxLinkLevel + 1];
    BYTE m_switchCount[kSwitchCount];
    WORD m_waveStep;
    BYTE m_waveFlag;
    DWORD m_levelChanges;             // bumped with every change of m_levelCount
    SensorDeviceBase* m_levelDevice;  // the device a thread is telling its level, or NULL

    struct Retiring {
        std::unique_ptr<SensorDeviceBase> device;
        int users;
    };

    CriticalLock m_deviceLock;       // guards the use fields below; held around a device's post
    int m_deviceUsers;               // counted uses of m_device
    volatile LONG m_swapsUnseen;     // any thread, through Interlocked calls: WM_DEVICE_SWAPPED on the way
    std::vector<Retiring> m_retired;  // replaced devices still used after the swap

    DeviceHandOver m_handOver;
};

#endif
