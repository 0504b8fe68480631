#ifndef PROTOCOL_SENSORDEVICEBASE_H
#define PROTOCOL_SENSORDEVICEBASE_H

#include <windows.h>

#include <string>
#include <vector>

#include "protocol/SensorRequests.h"

class DeviceHost;
class DevicePort;
class SensorCaps;
class WaveFormRecord;

// Base of the sensor devices: the protocol end of the link to one sensor.
// It holds the collaborators, the monitor and connected flags, the owner
// notifications and the frame codec. A frame is STX, the message (command,
// sub-command, data, CRC-16 low, high) written as 6-bit text in 0x20..0x5F,
// and ETX; the codec functions are pure and run on any thread.
class SensorDeviceBase : public SensorRequests {
public:
    static const char kStx = 0x02;
    static const char kEtx = 0x03;
    // An unfinished frame longer than this is noise: no real frame comes near it.
    static const size_t kMaxFrameBytes = 8192;

    SensorDeviceBase();
    ~SensorDeviceBase() override;

    // Collaborators, not owned; set on the user-interface thread before Open.
    virtual void SetCaps(SensorCaps* caps);
    virtual void SetPort(DevicePort* port);
    virtual void SetWaveFormRecord(WaveFormRecord* record);
    virtual void SetApplication(DeviceHost* application);
    // Clears the four collaborators.
    virtual void Close();
    virtual int Open() = 0;
    // While 0 the device sends nothing and discards what it receives.
    virtual int SetConnected(DWORD connected);

    // The requests: the base has an operation for none of them, so each
    // sends nothing and returns 0. A device overrides those it serves.
    BYTE GetLinkLevel() override { return 0; }
    // The level the device port's holders decide, 0..3.
    virtual int SetLinkLevel(BYTE) { return 0; }
    int RequestVersion() override { return 0; }
    int SetRealtime(DWORD) override { return 0; }
    int ReadRam(WORD, WORD) override { return 0; }
    int WriteRam(const WORD*, WORD, WORD) override { return 0; }
    int ReadAreas() override { return 0; }
    int WriteAreas(const BYTE*) override { return 0; }
    int ReadFram(BYTE, BYTE) override { return 0; }
    int WriteFram(const WORD*, BYTE, BYTE) override { return 0; }
    int ReadFunction() override { return 0; }
    int WriteFunction(WORD) override { return 0; }
    int ReadCorrection() override { return 0; }
    int WriteCorrection(BYTE, WORD) override { return 0; }
    int ReadDirection() override { return 0; }
    int WriteDirection(int*) override { return 0; }
    int SetIoPolling(DWORD) override { return 0; }
    int WriteIo(BYTE, BYTE) override { return 0; }
    int SetWaveForm(DWORD, WORD, BYTE) override { return 0; }
    int ReadMotor() override { return 0; }
    int WriteMotor(int*) override { return 0; }
    int SetTroublePolling(DWORD) override { return 0; }
    int SimulateTrouble(BYTE) override { return 0; }
    int SetStatisticsPolling(DWORD) override { return 0; }
    int ResetSensor() override { return 0; }
    int UpdateFirmware(const char*) override { return 0; }
    int ReadFunctionSetting() override { return 0; }
    int WriteFunctionSetting(BYTE) override { return 0; }
    int ReadSensitivity() override { return 0; }
    int CorrectSensitivity() override { return 0; }
    int ReadFilterSwitch() override { return 0; }
    int WriteFilterSwitch(const BYTE*) override { return 0; }
    int SetLevelSwitch(DWORD) override { return 0; }
    int StartFirmwareWithoutImage() override { return 0; }
    int StartFirmwareFromImage() override { return 0; }

    // Returns the previous flag. While 1 every frame sent and received is
    // copied to the serial monitor.
    virtual DWORD SetMonitor(DWORD monitor);
    // Operation threads: frames the message (which then ends with its CRC)
    // and sends it through the port; 0 when not connected.
    virtual int SendFrame(std::string& message) = 0;
    // Receive thread, under the port's receive lock: cuts the frames out of
    // buffer and hands them on. Decoded messages meant for the serial monitor
    // are appended to monitorLines; the port sends them after releasing its
    // lock, since a sent notification must never wait under it.
    virtual int OnReceive(std::string& buffer, std::vector<std::string>& monitorLines) = 0;
    // Receive thread: the sensor behind the port has gone. The base does nothing.
    virtual void OnSensorLost();
    // direction 0 = sent, 1 = received; a sent notification.
    virtual LRESULT NotifyMonitor(DWORD direction, const std::string* message);
    // 0 without a port; else the port's SendToFrame, or its PostFromDevice,
    // which drops the post once this device has been replaced.
    virtual LRESULT SendToOwner(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual BOOL PostToOwner(UINT msg, WPARAM wParam, LPARAM lParam);
    // Between the 238-byte area table and the 112-word FRAM image of the areas.
    virtual int EncodeAreas(BYTE* table, WORD* image) = 0;
    virtual int DecodeAreas(const WORD* image, BYTE* table) = 0;

    // XOR of all bytes; no frame carries it.
    static BYTE Checksum(const std::string& bytes);
    // Bit-serial CRC register with the constant 0x10811 (CRC-16/KERMIT when the
    // message is followed by two zero bytes; 0 over a message and its own CRC).
    static WORD Crc16(const std::string& bytes);
    // The same register run on from start over count bytes; the update
    // file's page CRC is this register too.
    static WORD Crc16(WORD start, const BYTE* bytes, size_t count);
    static int Encode6(const std::string& in, std::string& text);
    static int Decode6(const std::string& text, std::string& out);

    // Appends the CRC to message (low byte first) and writes STX text ETX to frame.
    static void AssembleFrame(std::string& message, std::string& frame);
    // True when the decoded message, CRC included, checks to 0.
    static bool CheckMessage(const std::string& message);
    // Cuts every complete frame out of the receive buffer and appends the good
    // messages, CRC included, to messages. An unfinished frame stays in buffer.
    // With decoded, every decoded message, good or bad, is appended there too.
    static void ExtractMessages(std::string& buffer, std::vector<std::string>& messages,
                                std::vector<std::string>* decoded = NULL);

protected:
    bool IsConnected();
    bool IsMonitoring();

    // Collaborators: set on the user-interface thread while no operation
    // runs, read by the operation and receive threads.
    DeviceHost* m_application;
    WaveFormRecord* m_waveFormRecord;
    DevicePort* m_port;
    SensorCaps* m_caps;

private:
    SensorDeviceBase(const SensorDeviceBase&) = delete;
    SensorDeviceBase& operator=(const SensorDeviceBase&) = delete;

    volatile LONG m_monitor;    // any thread, through Interlocked calls
    volatile LONG m_connected;  // any thread, through Interlocked calls
};

#endif
