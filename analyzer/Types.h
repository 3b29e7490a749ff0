// Small value types shared by the protocol object, the main window, the plots
// and the reports: the absent-value marker, unit codes, signal and parameter
// ids, gas records, port settings, the decoded waveform sample, plot ranges and
// the handheld unit's directory entry.
#pragma once

#include <cstdint>
#include <string>

// Marks an absent value in every measured quantity, parameter slot, statistic
// and test result (bit pattern 0xCB18967F). Compared exactly.
constexpr float NoValue = -9999999.0f;

// Display-unit codes 0 to 26. Values are held in a base unit and converted
// within one family only (pressure 1-9, flow 10-14, volume 15-17,
// temperature 21-23).
using TUnitCode = int32_t;

enum : TUnitCode {
    ucNone = 0,
    ucCmH2O = 1,
    ucMmHg = 2,
    ucPSI = 3,
    ucKPa = 4,
    ucBar = 5,
    ucMBar = 6,
    ucATM = 7,
    ucInH2O = 8,
    ucInHg = 9,
    ucLPM = 10,
    ucCFM = 11,
    ucLPS = 12,
    ucMLPerMin = 13,
    ucMLPerSec = 14,
    ucLiters = 15,
    ucCF = 16,
    ucML = 17,
    ucPercent = 18,
    ucBPM = 19,
    ucSeconds = 20,
    ucKelvin = 21,
    ucCelsius = 22,
    ucFahrenheit = 23,
    ucVolts = 24,
    ucMLPerCmH2O = 25,
    ucRatio = 26,
};

constexpr int UnitCodeCount = 27;

// Signal ids: the order of the values of a waveform sample.
enum : int32_t {
    sigFlow = 0,
    sigVolume = 1,
    sigAirwayPressure = 2,
    sigLowPressure = 3,
    sigHighPressure = 4,
    sigBaroPressure = 5,
    sigOxygen = 6,
    sigTemperature = 7,
    sigRelHumidity = 8,
};

constexpr int SignalCount = 9;      // signals a waveform sample carries
constexpr int MaxSignals = 10;      // room the main window keeps for signal statistics

// Breath-parameter ids 0 to 23: the order in which the analyzer's parameter
// frame carries the values. Ids 0 to 20 reach a slot of TParameterStruct
// through its id-to-slot table, 21 is the record's time, 22 and 23 are the
// main window's temperature and relative-humidity statistics.
enum : int32_t {
    parMinuteVolume = 0,
    parTidalVolume1 = 1,
    parTidalVolume2 = 2,
    parBaseFlow = 3,
    parPeakInspFlow = 4,
    parPeakExpFlow = 5,
    parPIP = 6,
    parPEEP = 7,
    parInspPausePressure = 8,
    parMeanAirwayPressure = 9,
    parRespiratoryRate = 10,
    parInspHoldTime = 11,
    parExpHoldTime = 12,
    parInspTime = 13,
    parExpTime = 14,
    parCompliance = 15,
    parOxygen = 16,
    parIERatio = 17,
    parBaroPressure = 18,
    parMinAirwayPressure = 19,
    parAssistPressure = 20,
    parTime = 21,
    parTemperature = 22,
    parRelHumidity = 23,
};

constexpr int ParameterCount = 24;

// Gas index 0 to 9 in the order of the gas lists: air, oxygen, heliox,
// N2O bal O2, He bal O2, N2 bal O2, user defined, CO2, N2, N2O.
using TGasType = int32_t;

// The analyzer's numbering of the gas correction: 0 ATP, 1 STPD0, 2 BTPS,
// 3 STPD21. The gas dialogs list them as ATP, BTPS, STPD0, STPD21 instead.
using TCorrectionMode = int32_t;

enum : TCorrectionMode {
    cmATP = 0,
    cmSTPD0 = 1,
    cmBTPS = 2,
    cmSTPD21 = 3,
};

enum TDeviceKind : int32_t {
    dkAnalyzerOldFirmware = 0,   // firmware version number below 10514
    dkAnalyzer = 1,
    dkHandheld = 2,
};

// Serial-port settings, passed by value.
struct TPortSettings {
    int32_t ComNumber = 0;     // 0 when the port is closed
    int32_t Baud = 0;
    int32_t DataBits = 0;
    int32_t StopBits = 0;
    int32_t Parity = 0;        // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int32_t FlowControl = 0;   // 0 none, 1 hardware (RTS), 2 software (XON/XOFF)
    int32_t Reserved = 0;
};

// One gas record of the analyzer (inspiratory or expiratory).
struct TGasProperties {
    float Temperature = 0;   // kelvin
    float RelHumidity = 0;   // %
    float Viscosity = 0;     // micropoise
    float MolWeight = 0;     // g/mole
};

// One decoded waveform sample; every value in its base unit, NoValue when the
// analyzer sent none.
struct TWaveformSample {
    float Flow = NoValue;             // L/min
    float Volume = NoValue;           // mL
    float AirwayPressure = NoValue;   // cmH2O
    float LowPressure = NoValue;      // cmH2O
    float HighPressure = NoValue;     // PSI
    float BaroPressure = NoValue;     // mmHg
    float Oxygen = NoValue;           // %
    float Temperature = NoValue;      // kelvin
    float RelHumidity = NoValue;      // %
    int32_t SampleCounter = 0;        // the analyzer's 16-bit counter
    // [0] breath marker, [1] flow in high resolution,
    // [2] high pressure and oxygen in high resolution, [3] spare.
    uint8_t Flags[4] = {0, 0, 0, 0};
};

// Axis ranges of one plot, in display units.
struct TPlotScale {
    bool Manual = false;   // automatic rescaling is off
    float YUpper = 0;
    float YLower = 0;
    float XUpper = 0;      // loop plots only
    float XLower = 0;
};

// One entry of the handheld unit's file directory.
struct TZRMobFileInfo {
    bool Valid = false;
    int32_t Index = 0;
    std::string Name;
    double DateTime = 0;   // TDateTime; 0 when the handheld's date or time was invalid
};

constexpr int HandheldDirectorySize = 50;

// Results of the commands with more than two outcomes; the numbers are the
// analyzer link's own.
enum TOpenPortResult : int {
    opOpened = 1,
    opFailed = 0,        // any other error (no serial component, aborted)
    opNoSuchPort = -1,
    opHardwareError = -2,
    opInUse = -3,        // opened elsewhere
};
enum TMemoryReadResult : int {
    rmRead = 0,
    rmFailed = 1,
};
enum TFlashLoadResult : int {
    flLoaded = 1,
    flFailed = 0,
};
enum TFlowTableReadResult : int {
    ftWritten,           // every register read, checksum right, file written
    ftChecksumMismatch,  // every register read and the file written, but the checksum is wrong
    ftReadFailed,        // a register did not answer: nothing written
    ftWriteFailed,       // read whole, but the file could not be written
};
