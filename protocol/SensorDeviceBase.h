#ifndef PROTOCOL_SENSORDEVICEBASE_H
#define PROTOCOL_SENSORDEVICEBASE_H

#include <windows.h>

#include <string>
#include <vector>

class DeviceHost;
class DevicePort;
class SensorCaps;
class WaveFormRecord;

// Base of the sensor devices: the protocol end of the link to one sensor.
// It holds the collaborators, the monitor and connected flags, the owner
// notifications and the frame codec. A frame is STX, the message (command,
// sub-command, data, CRC-16 low, high) written as 6-bit text in 0x20..0x5F,
// and ETX; the codec functions are pure and run on any thread.
//
// Every request returns at once: 1 when its operation was started, 0 when
// not. The base answers every request with 0 (no operation for it); a device
// overrides the requests it serves.
class SensorDeviceBase {
public:
    static const char kStx = 0x02;
    static const char kEtx = 0x03;
    // An unfinished frame longer than this is noise: no real frame comes near it.
    static const size_t kMaxFrameBytes = 8192;

    SensorDeviceBase();
    virtual ~SensorDeviceBase();

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

    // Requests of the device port, user-interface thread.
    virtual BYTE GetLinkLevel();
    virtual int SetLinkLevel(BYTE level);
    virtual int RequestVersion();
    virtual int SetRealtime(DWORD on);
    virtual int ReadRam(WORD start, WORD count);
    virtual int WriteRam(const WORD* words, WORD start, WORD count);
    virtual int ReadAreas();
    virtual int WriteAreas(const BYTE* table);
    virtual int ReadFram(BYTE first, BYTE count);
    virtual int WriteFram(const WORD* words, BYTE first, BYTE count);
    virtual int ReadFunction();
    virtual int WriteFunction(WORD function);
    virtual int ReadCorrection();
    virtual int WriteCorrection(BYTE point, WORD distance);
    virtual int ReadDirection();
    virtual int WriteDirection(int* angle);
    virtual int SetIoPolling(DWORD on);
    virtual int WriteIo(BYTE disguised, BYTE mask);
    virtual int SetWaveForm(DWORD on, WORD step, BYTE flag);
    virtual int ReadMotor();
    virtual int WriteMotor(int* value);
    virtual int SetTroublePolling(DWORD on);
    virtual int SimulateTrouble(BYTE kind);
    virtual int SetStatisticsPolling(DWORD on);
    virtual int ResetSensor();
    virtual int UpdateFirmware(const char* path);
    virtual int ReadFunctionSetting();
    virtual int WriteFunctionSetting(BYTE option);
    virtual int ReadSensitivity();
    virtual int CorrectSensitivity();
    virtual int ReadFilterSwitch();
    virtual int WriteFilterSwitch(const BYTE* bytes);
    virtual int SetLevelSwitch(DWORD on);
    virtual int StartFirmwareWithoutImage();
    virtual int StartFirmwareFromImage();

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
    // 0 without a port; else the port's SendToFrame / PostToFrame.
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
