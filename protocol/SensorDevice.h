#ifndef PROTOCOL_SENSORDEVICE_H
#define PROTOCOL_SENSORDEVICE_H

#include <functional>
#include <map>
#include <memory>

#include "framework/CriticalLock.h"
#include "protocol/SensorDeviceBase.h"
#include "sensor/AreaRecord.h"

class DeviceOperation;
class FramOp;
class IoOp;
class LinkOp;
class ScanData;
class VersionOp;

// The device that speaks the framed protocol at a known baud rate. It keeps
// one operation per command byte, turns each request of the device port into
// a start or stop of that operation, sends frames through the port, hands
// each received message to the operation of its command byte, and turns the
// operations' results into notifications to the main window.
//
// Requests and Open/Close run on the user-interface thread, SendFrame and the
// event operations on operation threads, OnReceive on the receive thread. The
// registry is filled by Open before any operation runs and never changes
// while one runs.
class SensorDevice : public SensorDeviceBase {
public:
    // Command bytes (byte 0 of every message).
    enum Command : BYTE {
        kCmdLink = 0xA0,
        kCmdVersion = 0xA1,
        kCmdDistance = 0xA2,
        kCmdRam = 0xA3,
        kCmdFram = 0xA4,
        kCmdFunction = 0xA5,
        kCmdCorrection = 0xA6,
        kCmdDirection = 0xA7,
        kCmdIo = 0xA8,
        kCmdWaveForm = 0xA9,
        kCmdNotification = 0xAA,
        kCmdMotor = 0xAB,
        kCmdTrouble = 0xAC,
        kCmdTotal = 0xAD,
        kCmdReset = 0xAE,
        kCmdFirmwareUpdate = 0xAF,
        kCmdFunctionSetting = 0xB0,
        kCmdSensitivity = 0xB1,
        kCmdFilterSwitch = 0xB2,
        kCmdLevelSwitch = 0xB3,
    };
    static const int kAreaImageWords = kAreaCount * 16;  // 112
    static const BYTE kAreaFirstWord = 0x40;
    static const BYTE kAreaWordCount = 0x80;  // two whole blocks: FRAM words 0x40..0xBF

    SensorDevice();
    ~SensorDevice() override;

    int Open() override;
    void Close() override;

    BYTE GetLinkLevel() override;
    int SetLinkLevel(BYTE level) override;
    int RequestVersion() override;
    int SetRealtime(DWORD on) override;
    int ReadAreas() override;
    int WriteAreas(const BYTE* table) override;
    int ReadFram(BYTE first, BYTE count) override;
    int WriteFram(const WORD* words, BYTE first, BYTE count) override;
    int SetIoPolling(DWORD on) override;
    int WriteIo(BYTE disguised, BYTE mask) override;
    int SetWaveForm(DWORD on, WORD step, BYTE flag) override;
    int UpdateFirmware(const char* path) override;
    int StartFirmwareWithoutImage() override;
    int StartFirmwareFromImage() override;

    int SendFrame(std::string& message) override;
    int OnReceive(std::string& buffer, std::vector<std::string>& monitorLines) override;
    // Tells every operation: a running transfer ends at once with its failure.
    void OnSensorLost() override;
    int EncodeAreas(BYTE* table, WORD* image) override;
    int DecodeAreas(const WORD* image, BYTE* table) override;

    // Forwarded to the device port, whose counters decide the level; 0 without a port.
    virtual int AcquireLinkLevel(BYTE level);
    virtual int ReleaseLinkLevel(BYTE level);
    virtual int SetLinkOpFlag(DWORD hold);

    // Operation threads: runs report if the link is up, as one step against
    // a drop to level 0, which clears what a report sets; false when the
    // link is down and report did not run.
    virtual bool WhileLinked(const std::function<void()>& report);

    // Event operations: called by the operations on their threads when a
    // result is complete; they update the sensor's model and notify the frame.
    virtual void OnLinkLevelChanged(BYTE level);
    virtual void OnVersion(const char* text);
    virtual void OnScan(const ScanData* scan);
    virtual void OnRamData(WPARAM first, WORD second, WORD third);
    virtual void OnRamWritten(WPARAM first, WORD second, WORD third);
    // image: the words read from FRAM 0x40 (the areas are the first 112),
    // or 0 when the read failed.
    virtual void OnAreasRead(const WORD* image);
    virtual void OnAreasWritten(DWORD ok);
    virtual void OnFramData(const WORD* words, BYTE first, BYTE count);
    virtual void OnFramWritten(DWORD ok, BYTE first, BYTE count);
    virtual void OnFunction(WORD function);
    virtual void OnFunctionWritten(WPARAM argument);
    virtual void OnCorrection(WPARAM argument);
    virtual void OnCorrectionWritten(WPARAM argument);
    virtual void OnDirection(WPARAM argument);
    virtual void OnDirectionWritten(WPARAM argument);
    virtual void OnIoState(BYTE state, BYTE second, BYTE third);
    virtual void OnIoForced(DWORD confirmed);
    virtual void OnWaveForm(const BYTE* record);
    virtual void OnNotification(BYTE type, BYTE value);
    virtual void OnTrouble(BYTE code);
    virtual void OnStatistics(const void* counts);
    virtual void OnFirmwareResult(DWORD result);
    virtual void OnFunctionSetting(BYTE option);
    virtual void OnFunctionSettingWritten(WPARAM argument);
    virtual void OnSensitivity(WPARAM argument);
    virtual void OnSensitivityCorrected(WPARAM argument);
    virtual void OnFilterSwitch(const BYTE* bytes);
    virtual void OnFilterSwitchWritten(WPARAM argument);
    virtual void OnScan2(const ScanData* scan);

    // The operation of a command byte, or 0 when this device has none.
    DeviceOperation* FindOperation(BYTE command);

protected:
    // Creates the operations of this device and enters each with Register;
    // 0 when one cannot be created. Called once, by the first Open.
    virtual int CreateOperations();
    // Enters an operation under its command byte, replacing (and deleting)
    // the one there; a null operation (creation failed) gives 0.
    // withApplication: the operation uses the application's progress services.
    int Register(BYTE command, std::unique_ptr<DeviceOperation> operation, bool withApplication);

private:
    struct Entry {
        std::unique_ptr<DeviceOperation> operation;
        bool withApplication;
    };

    // Creates an operation of type T and registers it: the operation, or 0.
    template <class T>
    T* RegisterNew(BYTE command, bool withApplication);

    int StartOperation(BYTE command, ULONG_PTR argument);
    int StartFram(DWORD mode, BYTE first, BYTE count, const WORD* data);
    int StopOperation(BYTE command);
    void DeleteOperations();

    // Held around a level check and the report that depends on it, and
    // around the model's reset at level 0: no report outlives a drop.
    CriticalLock m_linkStateLock;
    std::map<BYTE, Entry> m_operations;
    // The operations the device itself talks to, kept typed where they
    // are created; owned through m_operations, 0 when this device has none.
    // Written with the registry, before any operation runs.
    LinkOp* m_link;
    VersionOp* m_version;
    FramOp* m_fram;
    IoOp* m_io;
};

#endif
