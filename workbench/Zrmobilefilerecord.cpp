#include "workbench/Zrmobilefilerecord.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

// ------------------------------------------------------------- image values
// Every reader is given a whole image (ZrmImageSize bytes, checked by
// LoadFromImage) and an offset from the layout, so the bounds below always
// hold; they stay as a guard against a wrong table entry.

uint16_t Word(const uint8_t* Image, size_t At)
{
    if (At + 2 > ZrmImageSize)
        return 0;
    return static_cast<uint16_t>(Image[At] | Image[At + 1] << 8);
}

uint32_t Long(const uint8_t* Image, size_t At)
{
    if (At + 4 > ZrmImageSize)
        return 0;
    return static_cast<uint32_t>(Image[At]) | static_cast<uint32_t>(Image[At + 1]) << 8 |
           static_cast<uint32_t>(Image[At + 2]) << 16 | static_cast<uint32_t>(Image[At + 3]) << 24;
}

constexpr uint16_t WordMark = 0x7FFF;
constexpr uint32_t LongMark = 0x7FFFFFFF;

float SignedWord(const uint8_t* Image, size_t At, float Divisor)
{
    const uint16_t Raw = Word(Image, At);
    return Raw == WordMark ? NoValue : static_cast<float>(static_cast<int16_t>(Raw)) / Divisor;
}

float UnsignedWord(const uint8_t* Image, size_t At, float Divisor)
{
    const uint16_t Raw = Word(Image, At);
    return Raw == WordMark ? NoValue : static_cast<float>(Raw) / Divisor;
}

float SignedLong(const uint8_t* Image, size_t At, float Divisor)
{
    const uint32_t Raw = Long(Image, At);
    return Raw == LongMark ? NoValue : static_cast<float>(static_cast<int32_t>(Raw)) / Divisor;
}

constexpr size_t PressureModeAt = 5;
constexpr size_t NameLengthAt = 10;
constexpr size_t NameAt = 11;
constexpr size_t TimeAt = 40;
constexpr size_t SampleCountAt = 990;
constexpr size_t AuxCountAt = 992;
constexpr size_t SamplesAt = 1000;
constexpr size_t SampleSize = 10;
constexpr int LowPressureMode = 3;

// Statistics blocks: where, the divisor, and whose statistics they are. The
// pressure block serves both airway and low pressure.
struct TStatsPlace {
    size_t Offset;
    float Divisor;
    bool Signal;   // a signal id, else a parameter id
    int Id;
};

constexpr TStatsPlace StatsPlaces[] = {
    {100, 100, true, sigFlow},
    {134, 10, true, sigAirwayPressure},
    {134, 10, true, sigLowPressure},
    {168, 100, true, sigHighPressure},
    {202, 10, true, sigVolume},
    {236, 10, true, sigTemperature},
    {270, 10, true, sigRelHumidity},
    {304, 100, true, sigOxygen},
    {350, 10, false, parTidalVolume1},
    {384, 1000, false, parMinuteVolume},
    {418, 100, false, parPeakInspFlow},
    {452, 100, false, parPeakExpFlow},
    {486, 10, false, parPIP},
    {520, 10, false, parPEEP},
    {554, 10, false, parMeanAirwayPressure},
    {588, 10, false, parInspPausePressure},
    {622, 10, false, parRespiratoryRate},
    {656, 100, false, parInspTime},
    {690, 100, false, parExpTime},
};

// The last breath's parameters, all signed with mark.
struct TBreathPlace {
    size_t Offset;
    int Width;
    float Divisor;
    int Id;
};

constexpr TBreathPlace BreathPlaces[] = {
    {754, 2, 10, parRespiratoryRate},    {756, 2, 100, parInspTime},
    {758, 2, 100, parExpTime},           {760, 2, 100, parInspHoldTime},
    {762, 2, 100, parExpHoldTime},       {764, 4, 1000, parMinuteVolume},
    {768, 4, 10, parTidalVolume2},       {772, 4, 10, parTidalVolume1},
    {776, 2, 100, parPeakInspFlow},      {778, 2, 100, parPeakExpFlow},
    {782, 2, 10, parMeanAirwayPressure}, {784, 2, 10, parPIP},
    {788, 2, 10, parPEEP},               {790, 2, 10, parInspPausePressure},
};

// ------------------------------------------------------------ file numbers

bool IsBlank(char C)
{
    return std::isspace(static_cast<unsigned char>(C)) != 0;
}

int DigitValue(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    return 99;
}

// One token as "%i" reads it: optional sign, then "0x" and hexadecimal
// digits, a leading 0 and octal digits, or decimal digits; the whole token
// must be the number, and it must fit 32 bits.
bool ParseIntToken(std::string_view T, int64_t& Value)
{
    size_t i = 0;
    bool Negative = false;
    if (i < T.size() && (T[i] == '+' || T[i] == '-')) {
        Negative = T[i] == '-';
        ++i;
    }
    int Base = 10;
    if (i + 1 < T.size() && T[i] == '0' && (T[i + 1] == 'x' || T[i + 1] == 'X')) {
        Base = 16;
        i += 2;
    } else if (i < T.size() && T[i] == '0') {
        Base = 8;
    }
    if (i >= T.size())
        return false;
    constexpr int64_t Largest = 0xFFFFFFFFLL;
    int64_t V = 0;
    for (; i < T.size(); ++i) {
        const int D = DigitValue(T[i]);
        if (D >= Base)
            return false;
        V = V * Base + D;
        if (V > Largest)
            return false;
    }
    if (Negative) {
        V = -V;
        if (V < -0x80000000LL)
            return false;
    }
    Value = V;
    return true;
}

}  // namespace

std::string ZrmReadResultText(TZrmReadResult Result)
{
    switch (Result) {
    case zrRead:
        return "";
    case zrMissing:
        return "The file does not exist.";
    case zrUnreadable:
        return "The file cannot be read.";
    case zrBadNumber:
        return "The file holds something that is not a byte value.";
    case zrTooFewNumbers:
        return "The file is too short for a handheld record.";
    }
    return "";
}

std::string ZrmFileText(const std::vector<uint8_t>& Image)
{
    std::string Text;
    Text.reserve(ZrmFileSize);
    char Token[8];
    for (size_t i = 0; i < ZrmImageSize; ++i) {
        std::snprintf(Token, sizeof Token, "0x%02X ", i < Image.size() ? Image[i] : 0);
        Text += Token;
    }
    return Text;
}

TZrmReadResult ParseZrmText(std::string_view Text, std::vector<uint8_t>& Image)
{
    std::vector<uint8_t> Bytes;
    Bytes.reserve(ZrmImageSize);
    size_t i = 0;
    while (Bytes.size() < ZrmImageSize) {
        while (i < Text.size() && IsBlank(Text[i]))
            ++i;
        if (i >= Text.size())
            return zrTooFewNumbers;
        const size_t Start = i;
        while (i < Text.size() && !IsBlank(Text[i]))
            ++i;
        int64_t Value = 0;
        if (!ParseIntToken(Text.substr(Start, i - Start), Value))
            return zrBadNumber;
        Bytes.push_back(static_cast<uint8_t>(Value & 0xFF));
    }
    Image = std::move(Bytes);
    return zrRead;
}

// -------------------------------------------------------------- the record

TZRMobSavedRecord::TZRMobSavedRecord()
{
    Clear();
}

void TZRMobSavedRecord::Clear()
{
    std::fill(std::begin(FHeaderFlags), std::end(FHeaderFlags), 0);
    FPressureMode = -1;
    FName.clear();
    FDateTime = Now();
    FAuxValue1 = 0;
    FAuxValue2 = 0;
    FParameters.Clear();
    for (int Id = 0; Id < ParameterCount; ++Id) {
        const TUnitCode Unit = TParameterStruct::GetUnitCode(Id);
        FParamStats[Id] = TSignalStats();
        FParamStats[Id].Setup(TParameterStruct::NameText(Id), TParameterStruct::ShortNameText(Id), Unit, Unit,
                              TParameterStruct::GetDecimals(Id), -1.0f);
        FParamStats[Id].Reset();
    }
    FParamStats[parIERatio].SetIsRatio(true);
    for (int i = 0; i < MaxSignals; ++i) {
        FSignalStats[i] = TSignalStats();
        if (i < SignalCount)
            SetupSignalStats(FSignalStats[i], i);
        FSignalStats[i].Reset();
    }
    FSampleCount = 0;
    FAuxCount = 0;
    FSamples.fill(TSample{});
}

TZrmReadResult TZRMobSavedRecord::LoadFromFile(const std::string& FileName)
{
    if (!FileExists(FileName))
        return zrMissing;
    std::string Text;
    if (!ReadWholeFile(FileName, Text))
        return zrUnreadable;
    std::vector<uint8_t> Image;
    const TZrmReadResult Result = ParseZrmText(Text, Image);
    if (Result != zrRead)
        return Result;
    LoadFromImage(Image.data(), Image.size());
    return zrRead;
}

TSignalStats TZRMobSavedRecord::ReadStatsBlock(const uint8_t* Image, size_t Offset, float Divisor)
{
    TSignalStats S;
    S.SetMin(SignedLong(Image, Offset, Divisor));
    S.SetMax(SignedLong(Image, Offset + 4, Divisor));
    S.SetMean(SignedLong(Image, Offset + 8, Divisor));
    S.SetCurrent(SignedLong(Image, Offset + 24, Divisor));
    return S;
}

bool TZRMobSavedRecord::LoadFromImage(const uint8_t* Image, size_t Length)
{
    if (!Image || Length < ZrmImageSize)
        return false;
    Clear();
    for (int i = 0; i < 5; ++i)
        FHeaderFlags[i] = Image[i];
    FHeaderFlags[0] = Image[0] != 0;
    FHeaderFlags[4] = Image[4] != 0;
    FPressureMode = Image[PressureModeAt];

    // The name length is one byte, so the name ends inside the image.
    const size_t NameLength = Image[NameLengthAt];
    for (size_t i = 0; i < NameLength; ++i) {
        const uint8_t C = Image[NameAt + i];
        if (C > 0x20 && C < 0x7F)
            FName += static_cast<char>(C);
    }

    const uint8_t* When = Image + TimeAt;
    TDateTime T = 0, D = 0;
    if (TryEncodeTime(When[0], When[1], When[2], 0, T) &&
        TryEncodeDate(static_cast<uint16_t>(2000 + When[5]), When[4], When[3], D))
        FDateTime = D + T;
    else
        FDateTime = 0;

    FAuxValue1 = UnsignedWord(Image, 75, 10);
    FAuxValue2 = SignedWord(Image, 77, 10);

    for (const TStatsPlace& P : StatsPlaces) {
        TSignalStats& S = P.Signal ? FSignalStats[P.Id] : FParamStats[P.Id];
        S = ReadStatsBlock(Image, P.Offset, P.Divisor);
    }

    FParameters.Clear();
    for (const TBreathPlace& P : BreathPlaces) {
        const float V = P.Width == 4 ? SignedLong(Image, P.Offset, P.Divisor)
                                     : SignedWord(Image, P.Offset, P.Divisor);
        FParameters.SetSlot(TParameterStruct::SlotOf(P.Id), V);
    }
    const float Ti = FParameters.GetValue(parInspTime);
    const float Te = FParameters.GetValue(parExpTime);
    if (Ti != NoValue && Te != NoValue && Ti != 0 && Te != 0)
        FParameters.SetSlot(TParameterStruct::SlotOf(parIERatio), Ti > Te ? Ti / Te : -(Te / Ti));

    // The image has room for 1,500 samples; a larger count is not believed.
    FSampleCount = std::min<int>(Word(Image, SampleCountAt), ZrmSampleRoom);
    FAuxCount = Word(Image, AuxCountAt);
    for (int k = 0; k < FSampleCount; ++k) {
        const size_t At = SamplesAt + SampleSize * static_cast<size_t>(k);
        TSample& S = FSamples[static_cast<size_t>(k)];
        S.Flow = SignedWord(Image, At, 100);
        S.Volume = SignedLong(Image, At + 2, 10);
        S.Pressure = SignedWord(Image, At + 6, 10);
        S.HighPressure = SignedWord(Image, At + 8, 100);
    }
    return true;
}

TWaveformSample TZRMobSavedRecord::GetSample(int K) const
{
    TWaveformSample W;
    if (K < 0 || K >= FSampleCount)
        return W;
    const TSample& S = FSamples[static_cast<size_t>(K)];
    W.Flow = S.Flow;
    W.Volume = S.Volume;
    W.HighPressure = S.HighPressure;
    if (FPressureMode == LowPressureMode)
        W.LowPressure = S.Pressure;
    else
        W.AirwayPressure = S.Pressure;
    W.SampleCounter = K;
    W.Flags[2] = 1;
    return W;
}
