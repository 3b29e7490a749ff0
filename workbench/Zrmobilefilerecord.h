// A record saved by the handheld unit: its 16,000-byte image, the handheld
// file (".zrm") that holds the image as text, and the record parsed from it.
//
// Image layout (all multi-byte values little-endian). A value "with mark"
// is absent (NoValue) when its raw 16-bit value is 0x7FFF or its raw 32-bit
// value is 0x7FFFFFFF; otherwise it is signed unless said otherwise and is
// divided by the divisor given.
//   0        flag; 1..3 bytes as stored; 4 flag            -> HeaderFlags
//   5        pressure mode: 3 low pressure, else airway pressure
//   10       name length n; 11.. n name bytes (0x21..0x7E kept, others dropped)
//   40..42   hour, minute, second; 43..45 day, month, year - 2000
//            (DateTime 0 when either the date or the time does not exist)
//   75       16 bits unsigned with mark / 10; 77 16 bits with mark / 10
//   100..337, 350..723   statistics blocks of 34 bytes (table in the .cpp):
//            32 bits with mark: minimum at +0, maximum at +4, mean at +8,
//            last value at +24
//   754..791 the last breath's parameters (table in the .cpp)
//   990      sample count, 16 bits unsigned (at most 1,500 are delivered);
//            992 a further count, 16 bits unsigned
//   1000 + 10 k  sample k < 1,500, all with mark: flow 16 bits / 100 (L/min),
//            volume 32 bits / 10 at +2 (mL), pressure 16 bits / 10 at +6
//            (cmH2O), high pressure 16 bits / 100 at +8 (PSI)
//
// A handheld file holds the image's bytes in order, each written as "0x",
// two upper-case hexadecimal digits and a blank, without line breaks
// (80,000 characters).
#pragma once

#include "analyzer/Parameterstruct.h"
#include "analyzer/Signalstats.h"
#include "analyzer/Types.h"
#include "platform/SysUtils.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t ZrmImageSize = 16000;
constexpr int ZrmSampleRoom = 1500;
constexpr size_t ZrmFileSize = ZrmImageSize * 5;

// How reading a handheld file ended.
enum TZrmReadResult : int {
    zrRead,          // the image was read whole
    zrMissing,       // there is no such file
    zrUnreadable,    // the file cannot be opened or read
    zrBadNumber,     // a token is not a 32-bit number as "%i" reads it
    zrTooFewNumbers, // fewer than 16,000 numbers
};

// Why a handheld file was refused, for the user.
std::string ZrmReadResultText(TZrmReadResult Result);

// The text of a handheld file for the first ZrmImageSize bytes of Image
// (missing bytes are written as 0).
std::string ZrmFileText(const std::vector<uint8_t>& Image);
// The image of a handheld file's text: the low byte of each of the first
// 16,000 numbers. Numbers are separated by white space and read as "%i"
// reads them (sign, decimal, "0x" hexadecimal, leading-0 octal); a number
// must fit 32 bits (signed or unsigned). Text after the 16,000th number is
// not looked at. Image is only written when the result is zrRead.
TZrmReadResult ParseZrmText(std::string_view Text, std::vector<uint8_t>& Image);

class TZRMobSavedRecord {
public:
    // One stored sample in base units (NoValue when absent).
    struct TSample {
        float Flow = 0;
        float Volume = 0;
        float Pressure = 0;
        float HighPressure = 0;
    };

    TZRMobSavedRecord();

    // Header bytes 0, pressure mode -1, no name, the current date-time, the
    // auxiliary values 0, the parameters absent, every statistic set up
    // with its names and units and reset, no samples.
    void Clear();
    // Reads a handheld file. Anything but zrRead leaves the record as it
    // was.
    TZrmReadResult LoadFromFile(const std::string& FileName);
    // Fills every field from an image of at least ZrmImageSize bytes; false
    // (the record unchanged) for a shorter one.
    bool LoadFromImage(const uint8_t* Image, size_t Length);
    // A fresh statistic from the block at Offset of a whole image: minimum,
    // maximum, mean and last value, each divided by Divisor.
    static TSignalStats ReadStatsBlock(const uint8_t* Image, size_t Offset, float Divisor);
    // Sample k as a waveform sample: flow, volume, high pressure and the
    // stored pressure as low pressure (pressure mode 3) or airway pressure;
    // counter k, only the extended high-resolution flag set. Beyond the
    // count every value is absent, the counter 0 and no flag set.
    TWaveformSample GetSample(int K) const;

    const uint8_t* HeaderFlags() const { return FHeaderFlags; }
    int PressureMode() const { return FPressureMode; }
    const std::string& Name() const { return FName; }
    TDateTime DateTime() const { return FDateTime; }
    float AuxValue1() const { return FAuxValue1; }
    float AuxValue2() const { return FAuxValue2; }
    const TParameterStruct& Parameters() const { return FParameters; }
    const TSignalStats& ParamStats(int Id) const { return FParamStats[Id]; }
    const TSignalStats& SignalStats(int Id) const { return FSignalStats[Id]; }
    int SampleCount() const { return FSampleCount; }
    int AuxCount() const { return FAuxCount; }
    const TSample& Sample(int K) const { return FSamples[static_cast<size_t>(K)]; }

private:
    uint8_t FHeaderFlags[5] = {};
    int FPressureMode = -1;
    std::string FName;
    TDateTime FDateTime = 0;
    float FAuxValue1 = 0;
    float FAuxValue2 = 0;
    TParameterStruct FParameters;
    TSignalStats FParamStats[ParameterCount];
    TSignalStats FSignalStats[MaxSignals];
    int FSampleCount = 0;
    int FAuxCount = 0;
    std::array<TSample, ZrmSampleRoom> FSamples{};
};
