#ifndef PROTOCOL_SENSORREQUESTS_H
#define PROTOCOL_SENSORREQUESTS_H

#include <windows.h>

// The requests the user interface makes of the sensor, by command byte (the
// two later firmware starts last). The device port takes them from the frame and the dialogs
// and passes them to its current device; the sensor devices serve them.
// A new request is declared here, so that both sides must take it.
//
// User-interface thread. Each returns at once: nonzero when the request was
// carried out (its operation started or stopped), 0 when it was not.
class SensorRequests {
public:
    virtual ~SensorRequests() {}

    // 0..3; 0 when not linked.
    virtual BYTE GetLinkLevel() = 0;
    virtual int RequestVersion() = 0;
    virtual int SetRealtime(DWORD on) = 0;
    virtual int ReadRam(WORD start, WORD count) = 0;
    virtual int WriteRam(const WORD* words, WORD start, WORD count) = 0;
    virtual int ReadAreas() = 0;
    // table: the seven 34-byte area records.
    virtual int WriteAreas(const BYTE* table) = 0;
    virtual int ReadFram(BYTE first, BYTE count) = 0;
    virtual int WriteFram(const WORD* words, BYTE first, BYTE count) = 0;
    virtual int ReadFunction() = 0;
    virtual int WriteFunction(WORD function) = 0;
    virtual int ReadCorrection() = 0;
    virtual int WriteCorrection(BYTE point, WORD distance) = 0;
    virtual int ReadDirection() = 0;
    virtual int WriteDirection(int* angle) = 0;
    virtual int SetIoPolling(DWORD on) = 0;
    virtual int WriteIo(BYTE disguised, BYTE mask) = 0;
    virtual int SetWaveForm(DWORD on, WORD step, BYTE flag) = 0;
    virtual int ReadMotor() = 0;
    virtual int WriteMotor(int* value) = 0;
    virtual int SetTroublePolling(DWORD on) = 0;
    virtual int SimulateTrouble(BYTE kind) = 0;
    virtual int SetStatisticsPolling(DWORD on) = 0;
    virtual int ResetSensor() = 0;
    // path of the update file.
    virtual int UpdateFirmware(const char* path) = 0;
    virtual int ReadFunctionSetting() = 0;
    virtual int WriteFunctionSetting(BYTE option) = 0;
    virtual int ReadSensitivity() = 0;
    virtual int CorrectSensitivity() = 0;
    virtual int ReadFilterSwitch() = 0;
    // bytes: the two switch bytes.
    virtual int WriteFilterSwitch(const BYTE* bytes) = 0;
    virtual int SetLevelSwitch(DWORD on) = 0;
    // The update with no file, and with the area image the application holds.
    virtual int StartFirmwareWithoutImage() = 0;
    virtual int StartFirmwareFromImage() = 0;
};

#endif
