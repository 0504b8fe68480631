#ifndef SENSOR_SENSORCAPS_H
#define SENSOR_SENSORCAPS_H

#include <windows.h>

#include <string>

#include "framework/CriticalLock.h"

// What the program knows of the connected sensor: model code, function word,
// option byte, filter-switch bytes and firmware version, and the capability
// query by id that enables menus, controls and the scan geometry.
//
// The sensor device writes it on its own thread while the user-interface
// thread reads it, so every field is guarded by m_lock; a version is stored
// and read as a whole. Holders that need a copy copy it field by field.
class SensorCaps {
public:
    static const WORD kNoModel = 0xFFFF;
    static const size_t kVersionTextChars = 255;  // without the terminator

    // The capability ids HasCapability answers, named after what they gate.
    // Most answer yes or no; the correction rows, limits, start angle and
    // step count answer a number.
    enum CapabilityId {
        kCapSpare1 = 1,  // answered, consulted by nothing yet
        kCap2ScanMode = 2,
        kCapMirrorReflection = 3,
        kCapSpare4 = 4,  // answered, consulted by nothing yet
        kCapShapeSelectable = 5,
        kCapShapeStraight = 6,  // the fixed shape where none is selectable
        kCapShapeFan = 7,       // the fixed shape where neither of the above
        kCapCorrectionListEditable = 8,
        kCapIoTest = 9,
        kCapFunctionWrite = 10,
        kCapCorrectionRead = 11,
        kCapAngleCorrection = 12,
        kCapAngleRead = 13,
        kCapMotorCorrection = 14,
        kCapCorrectionRows = 15,   // 3 or 4
        kCapDevelopMenu = 16,
        kCapCoordinateLimit = 17,  // mm
        kCapNegativeLimit = 18,    // mm, 0 or below
        kCapStartAngle = 19,       // angle of step 0 in tenths of a degree
        kCapStepCount = 20,
        kCapHelp = 21,
        kCapInspectMenu = 22,
        kCapNoSidewaysExtension = 23,
        kCapLedHigh = 24,
        kCapHalfHysteresis = 25,
        kCapFunctionSetting = 26,
        kCapSlowScanning = 27,
        kCapOptionMode = 28,
        kCapSensitivityCorrection = 29,
        kCapFilterSwitch = 30,
    };

    SensorCaps();
    virtual ~SensorCaps();

    // Stores 0 for every code: only construction and Reset give kNoModel.
    virtual void SetModel(WORD code);
    virtual WORD GetModel() const;
    virtual void SetFunction(WORD function);
    virtual WORD GetFunction() const;
    virtual void SetOptionByte(BYTE option);
    virtual BYTE GetOptionByte() const;
    virtual void SetFilterSwitch(const BYTE* bytes);  // copies two bytes
    virtual void GetFilterSwitch(BYTE* bytes) const;  // copies two bytes out
    // Parses "major.minor.build[letter]", keeps the text and re-derives the
    // function bits. A null or unparsable text gives 0.0.0 and an empty text.
    virtual void SetVersionText(const char* text);
    virtual std::string GetVersionText() const;
    virtual WORD GetMajor() const;
    virtual WORD GetMinor() const;
    virtual WORD GetBuild() const;
    virtual char GetLetter() const;
    virtual int GetOutputLogic() const;
    virtual void SetOutputLogic(int value);
    virtual int GetOptionMode() const;
    virtual void SetOptionMode(int value);
    virtual int GetOutput3Function() const;
    virtual void SetOutput3Function(int value);
    virtual int GetInput4Function() const;
    virtual void SetInput4Function(int value);
    virtual int GetFunctionBit7() const;
    virtual void SetFunctionBit7(int value);
    virtual int GetFunctionBit8() const;
    virtual void SetFunctionBit8(int value);
    virtual int IsFlatModel() const;  // the same bit as function bit 8
    virtual void SetFlatModel(int value);
    virtual int IsLongRange() const;
    virtual void SetLongRange(int value);
    virtual int IsShortRange() const;
    virtual void SetShortRange(int value);
    virtual int IsPnp() const;
    virtual void SetPnp(int value);
    virtual int HasSmallHysteresis() const;
    virtual int IsHoleDetectionModel() const;
    virtual int IsSlowScanning() const;
    virtual void SetSlowScanning(int on);
    virtual void Reset();
    virtual int IsUnknown() const;
    // The answer for a CapabilityId; 0 for any other id.
    virtual int HasCapability(int id) const;
    virtual void DeriveFlags();

    // The version numbers and letter read together, so that they belong to
    // one version even while the device stores a new one.
    void GetVersion(WORD* major, WORD* minor, WORD* build, char* letter) const;

private:
    SensorCaps(const SensorCaps&) = delete;
    SensorCaps& operator=(const SensorCaps&) = delete;

    int GetFunctionField(int shift, int width) const;
    void SetFunctionField(int shift, int width, int value);
    void ResetFields();

    mutable CriticalLock m_lock;  // guards every field below
    WORD m_model;
    WORD m_function;
    BYTE m_option;
    BYTE m_filterSwitch[2];
    WORD m_major;
    WORD m_minor;
    WORD m_build;
    char m_letter;
    char m_versionText[kVersionTextChars + 1];
};

#endif
