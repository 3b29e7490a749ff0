// What the simulated analyzer knows of itself: its identity, its settings as
// its status frame reports them, and the values it streams. Tests change it
// under AnalyzerSim::Lock(); the simulator reads it on its own threads.
#pragma once

#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// A value the analyzer has no reading for; encoded as the device's
// "no value" magnitude (0x7FFF or 0x80000000).
inline const double kAbsent = std::nan("");

enum class DeviceKind { Bench, Handheld };

// The analyzer samples its waveforms 50 times a second; the program plots
// one sample counter step as 0.02 s.
constexpr int kAnalyzerSamplePeriodMs = 20;

// One waveform sample in base units (L/min, mL, cmH2O, cmH2O, PSI, mmHg, %,
// K, %).
struct SimSample {
    double Flow = 0;
    double Volume = 0;
    double AirwayPressure = 0;
    double LowPressure = 0;
    double HighPressure = 0;
    double BaroPressure = 760;
    double Oxygen = 20.9;
    double Temperature = 298.1;
    double RelHumidity = 40;
    bool Breath = false;       // breath marker (S2 0x40)
    bool FlowHighRes = false;  // flow in thousandths (S1 0x80)
    bool HighRes = false;      // high pressure and oxygen in hundredths (S3 0x80, extended only)
};

// One breath-parameter record, in the order the frame carries the values.
struct SimParameters {
    double MinuteVolume = 6.0;   // L/min
    double TidalVolumeA = 500;   // mL, frame offset 10: parameter id 1, the expiratory volume
    double TidalVolumeB = 480;   // mL, frame offset 14: parameter id 2, the inspiratory volume
    double BaseFlow = 2;         // L/min
    double PeakInspFlow = 40;
    double PeakExpFlow = 35;
    double PIP = 20;             // cmH2O
    double PEEP = 5;
    double PausePressure = 18;
    double MeanAirway = 10;
    double Rate = 12;            // breaths/min
    double InspHold = 0.2;       // s
    double ExpHold = 0.1;
    double InspTime = 1.5;
    double ExpTime = 3.5;
    double Compliance = 50;      // mL/cmH2O
    double Oxygen = 20.9;        // %; sent as the oxygen sensor reads the waveform (kAbsent: none)
    double MinAirway = 4;        // extended frame only
    double Assist = 2;           // extended frame only
    bool SwapTidal = false;      // SC 0x80
};

struct SimGas {
    double Temperature = 310;  // K
    double RelHumidity = 100;  // %
    double Viscosity = 183;
    double MolWeight = 28.96;
};

// Settings carried by the status frame ('r' bench, 0xF2 handheld).
struct SimStatus {
    uint8_t FlowPort = 1;
    uint8_t ZeroMode = 0;
    uint8_t Correction = 2;
    uint8_t BreathDetect = 1;
    double BreathThreshold = 1.0;  // L/min
    double AmbientTemp = 296;      // K
    SimGas InspGas;
    SimGas ExpGas;
    uint8_t GasType = 0;  // TGasType index (bench) or the handheld's gas code
    uint8_t Extra = 0;
};

// One saved recording of the handheld unit.
struct SimFile {
    std::string Name;
    uint8_t Hour = 12, Minute = 0, Second = 0;
    uint8_t Day = 1, Month = 1, Year = 24;  // year minus 2000
    std::vector<uint8_t> Data;              // its image, sent in 25-byte blocks
    std::vector<int> DropBlocks;            // blocks of this file never sent (1-based)
};

// Minimum, maximum, mean and last value of one signal or parameter as the
// handheld stores them with a record, in base units.
struct SimHandheldStats {
    double Min = kAbsent;
    double Max = kAbsent;
    double Mean = kAbsent;
    double Last = kAbsent;
};

// One stored sample of a handheld record: flow (L/min), volume (mL), the
// record's pressure (cmH2O; low or airway pressure by the pressure mode) and
// high pressure (PSI).
struct SimHandheldSample {
    double Flow = 0;
    double Volume = 0;
    double Pressure = 0;
    double HighPressure = 0;
};

// What a handheld record holds; HandheldImage() (SimEncode.h) lays it out
// as the unit's 16,000-byte image and HandheldFile() makes it a directory
// entry. kAbsent values are stored as the image's "no value" marks.
struct SimHandheldRecord {
    uint8_t HeaderFlags[5] = {1, 0, 0, 0, 0};  // bytes 0 to 4 as stored
    uint8_t PressureMode = 0;  // 3: the stored pressure is low pressure, else airway pressure
    std::string Name;          // at most 29 bytes are stored
    uint8_t Hour = 12, Minute = 0, Second = 0;
    uint8_t Day = 1, Month = 1, Year = 24;  // year minus 2000; kept as given, valid or not
    double AuxValue1 = 0;  // unsigned, tenths
    double AuxValue2 = 0;  // signed, tenths
    uint16_t AuxCount = 0;

    // Stored statistics of the signals...
    SimHandheldStats Flow, Pressure, HighPressure, Volume, Temperature, RelHumidity, Oxygen;
    // ...and of the parameters (the minute volume in L/min, times in s).
    SimHandheldStats TidalVolume, MinuteVolume, PeakInspFlow, PeakExpFlow, PIP, PEEP, MeanAirway, PausePressure,
        Rate, InspTime, ExpTime;

    // The last breath's parameters.
    struct Breath {
        double Rate = kAbsent;
        double InspTime = kAbsent;
        double ExpTime = kAbsent;
        double InspHold = kAbsent;
        double ExpHold = kAbsent;
        double MinuteVolume = kAbsent;
        double TidalVolumeInsp = kAbsent;  // parameter id 2
        double TidalVolumeExp = kAbsent;   // parameter id 1
        double PeakInspFlow = kAbsent;
        double PeakExpFlow = kAbsent;
        double MeanAirway = kAbsent;
        double PIP = kAbsent;
        double PEEP = kAbsent;
        double PausePressure = kAbsent;
    } LastBreath;

    // The image holds 1,500 samples; more are not stored.
    std::vector<SimHandheldSample> Samples;
    int SampleCount = -1;  // the count stored; -1: the number of samples
};

// Zero offsets: what each sensor adds to the true value until the matching
// zero command ('Z' and the code given) clears it. Absent values stay absent.
struct SimOffsets {
    double Flow = 0;          // L/min, 'F'
    double Volume = 0;        // mL, 'V'
    double LowPressure = 0;   // cmH2O, 'L'; the airway pressure is read by the same sensor
    double HighPressure = 0;  // PSI, 'H'
    double Oxygen21 = 0;      // % the oxygen reading is off at 21 %, 'O'
    double Oxygen100 = 0;     // % the oxygen reading is off at 100 %, 'C' (in between: interpolated)
};

// Syringe strokes: 'C' 'F' with a size starts them; each stroke is a
// half-wave of flow in, a pause, a half-wave out and a pause, with a breath
// marker where the flow starts in and a parameter record when it ends. The
// measured volumes miss the size by ErrorPercent until 'C' '1' applies the
// correction; 'C' '0' drops it again. Strokes advance with the waveform
// stream and their records go out when the serial mode asks for parameters
// too; they go on until Active is cleared, as the analyzer cannot tell when
// the syringe is put down.
struct SimSyringe {
    bool Active = false;      // strokes replace the waveform and the timed parameter records
    double Size = 0;          // mL
    double ErrorPercent = 0;  // how far the uncorrected volumes miss the size
    bool Corrected = false;
    int StrokeSamples = 75;   // samples of each half-wave (1.5 s at the analyzer's rate; more for a
                              // syringe too large to stroke that fast)
    int PauseSamples = 25;    // samples of each pause
    int Phase = 0;            // sample of the current stroke
    int Strokes = 0;          // strokes finished
};

inline std::map<uint32_t, uint8_t> TextAt(uint32_t Address, const std::string& Text)
{
    std::map<uint32_t, uint8_t> M;
    for (size_t i = 0; i < Text.size(); ++i)
        M[Address + static_cast<uint32_t>(i)] = static_cast<uint8_t>(Text[i]);
    return M;
}

struct SimDevice {
    DeviceKind Kind = DeviceKind::Bench;
    std::string VersionText = "01.08.09";  // the 'j' reply, eight characters
    uint8_t Version[3] = {1, 8, 9};        // the 'V' reply
    bool ExtendedFrames = true;            // waveform L 30 and parameters L 52
    bool OldFirmwareScaling = false;       // parameters in the old divisors
    int ConnectBaud = 38400;               // the only rate the analyzer understands

    char SerialMode = '0';  // '0' none, '1' waveform, '2' parameters, '3' both
    // Milliseconds between waveform samples: the analyzer sends one every
    // kAnalyzerSamplePeriodMs; tests stream faster.
    int WaveformPeriodMs = 10;
    int ParameterPeriodMs = 3000;
    int StatusPeriodMs = 0;  // 0: status only when asked for
    uint16_t SampleCounter = 0;

    // Waveform values to stream, in order; empty: a synthetic breath pattern.
    std::vector<SimSample> Waveform;
    bool WaveformLoop = true;  // false: stop streaming when the script is done
    size_t WaveformNext = 0;
    std::vector<SimParameters> Parameters;  // empty: the default record
    bool ParametersLoop = true;  // false: no more records when the script is done
    size_t ParametersNext = 0;

    SimStatus Status;
    SimOffsets Offsets;
    // The barometric pressure streamed (mmHg) once 'C' 'B' set it; until then
    // the samples' own.
    std::optional<double> BaroPressure;
    SimSyringe Syringe;

    // 16-bit registers (84 and 85: the bench serial number, high half first)
    // and the byte memory (9,550: the handheld's serial number text).
    std::map<uint16_t, uint16_t> Registers{{84, 0x0001}, {85, 0xE240}};
    std::map<uint32_t, uint8_t> Memory = TextAt(9550, "HH0012345");

    // Handheld directory and download.
    std::vector<SimFile> Files;
    int DirectoryCount = -1;      // entry count sent in p3; -1: Files.size()
    std::vector<int> DropBlocks;  // block numbers never sent of any file (1-based)
    int OtherFileIndexInBlocks = -1;  // >= 0: blocks name this index instead
};

}  // namespace sim
