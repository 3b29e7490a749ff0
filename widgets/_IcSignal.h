// Settings every analog instrument of the library carries (members of the
// class unit _IcClass, kept in their own file): the value range and its
// mapping onto digits and parts per thousand (PPT, 0..1000) of the range, the
// three colour sectors, the running minimum and maximum, and one channel of a
// multi-channel display.
#pragma once

#include "platform/Graphics.h"
#include "platform/SysUtils.h"
#include "widgets/_IcClass.h"

#include <cstdint>
#include <string>

// The longer section of a two-section number format ("0.0;-0.00" gives
// "-0.00"); sections of equal length give the second; a format without ';'
// is returned as it is.
std::string IcGetValueFormat(const std::string& Format);

// A value range ValueFrom..ValueTo mapped onto the digits
// DigitalFrom..DigitalTo and onto PPT. Every change recomputes the derived
// fields (ValueRange, DigitRange, ValuePerDigit, DigitsPerValue, PPTFactor,
// DisplayFormat) before OnChange; until the first recomputation the factors
// are 0 and nothing converts.
class TSignalSettings : public TIcPersistent {
    OZ_CLASS(TSignalSettings, TIcPersistent);

public:
    static void Publish(TPublisher<TSignalSettings>& P);

    int32_t DigitalFrom() const { return FDigitalFrom; }
    void SetDigitalFrom(int32_t Value);
    int32_t DigitalTo() const { return FDigitalTo; }
    void SetDigitalTo(int32_t Value);
    const std::string& Name1() const { return FName1; }
    void SetName1(const std::string& Value);
    const std::string& Name2() const { return FName2; }
    void SetName2(const std::string& Value);
    // Number format of the value; may hold two sections separated by ';'.
    const std::string& ValueFormat() const { return FValueFormat; }
    void SetValueFormat(const std::string& Value);
    // A value equal to either end is refused, so the ends never meet; 0 is
    // kept as 0.000001; in log mode the value goes to its power of ten.
    float ValueFrom() const { return FValueFrom; }
    void SetValueFrom(float Value);
    // Refused like ValueFrom; 0 is allowed.
    float ValueTo() const { return FValueTo; }
    void SetValueTo(float Value);
    // ValueFrom as a stored form gives it, ahead of ValueTo: a start equal
    // to the current end trades places with it until the stored end is
    // read, so a stored range such as 100..200 is not refused by 0..100.
    void ReadValueFrom(float Value);
    const std::string& ValueUnit() const { return FValueUnit; }
    void SetValueUnit(const std::string& Value);
    // Written by the owning instrument only; no recomputation.
    bool LogScale() const { return FLogScale; }
    void SetLogScale(bool Value) { FLogScale = Value; }

    // Derived. A range whose start is at or above 0 and whose end is at or
    // below 0 keeps the previous span; a span that is not positive keeps the
    // previous DigitsPerValue, PPTFactor and DisplayFormat.
    float ValueRange() const { return FValueRange; }
    int32_t DigitRange() const { return FDigitRange; }
    float ValuePerDigit() const { return FValuePerDigit; }
    float DigitsPerValue() const { return FDigitsPerValue; }
    float PPTFactor() const { return FPPTFactor; }
    const std::string& DisplayFormat() const { return FDisplayFormat; }

    // Recomputes the derived fields without OnChange (instruments that own
    // the settings recompute this way before they convert).
    void Recompute();
    // Recompute, then OnChange.
    void Change() override;

    // Position of Value in PPT (nearest, halves to even, saturated to the
    // 32-bit range); values outside the range give positions outside 0..1000.
    int32_t GetPPT(float Value) const;
    float GetValue(int32_t PPT) const;

    // Into another TSignalSettings: digits, format, range, unit and names
    // through its setters; the range lands whole even where the old range
    // shares an end with the new one.
    void AssignTo(TPersistent* Dest) override;

private:
    void WriteRangeEnds(float From, float To);

    int32_t FDigitalFrom = 0;
    int32_t FDigitalTo = 1000;
    std::string FName1 = "SignalName1";
    std::string FName2 = "SignalName2";
    std::string FValueFormat = "##0.0";
    float FValueFrom = 0.0f;
    float FValueTo = 100.0f;
    std::string FValueUnit = "%";
    bool FLogScale = false;
    float FValueRange = 100.0f;
    int32_t FDigitRange = 1000;
    float FValuePerDigit = 0.0f;
    std::string FDisplayFormat = "##0.0";
    float FDigitsPerValue = 0.0f;
    float FPPTFactor = 0.0f;
};

// Three coloured sectors on the 0..1000 PPT scale of an instrument.
class TSectorSettings : public TIcPersistent {
    OZ_CLASS(TSectorSettings, TIcPersistent);

public:
    static void Publish(TPublisher<TSectorSettings>& P);

    TColor Sector1Color() const { return FSector1Color; }
    void SetSector1Color(TColor Value);
    int32_t Sector1From() const { return FSector1From; }
    void SetSector1From(int32_t Value);
    int32_t Sector1To() const { return FSector1To; }
    void SetSector1To(int32_t Value);
    TColor Sector2Color() const { return FSector2Color; }
    void SetSector2Color(TColor Value);
    int32_t Sector2From() const { return FSector2From; }
    void SetSector2From(int32_t Value);
    int32_t Sector2To() const { return FSector2To; }
    void SetSector2To(int32_t Value);
    TColor Sector3Color() const { return FSector3Color; }
    void SetSector3Color(TColor Value);
    int32_t Sector3From() const { return FSector3From; }
    void SetSector3From(int32_t Value);
    int32_t Sector3To() const { return FSector3To; }
    void SetSector3To(int32_t Value);
    // Drawing parameters of the sector band; only stored here.
    int32_t Offset() const { return FOffset; }
    void SetOffset(int32_t Value);
    int32_t WidthOffset() const { return FWidthOffset; }
    void SetWidthOffset(int32_t Value);
    // Written by the owning instrument only.
    bool LogScale() const { return FLogScale; }
    void SetLogScale(bool Value) { FLogScale = Value; }

    // The first sector (1, 2, 3) whose bounds hold Value sets Color and gives
    // true; none leaves Color as it is and gives false.
    bool CheckSectorColor(int32_t Value, TColor& Color) const;

    // Into another TSectorSettings: colours, starts and ends (not Offset and
    // WidthOffset) through its setters.
    void AssignTo(TPersistent* Dest) override;

private:
    TColor FSector1Color = clYellow;
    int32_t FSector1From = 0;
    int32_t FSector1To = 333;
    TColor FSector2Color = clGreen;
    int32_t FSector2From = 334;
    int32_t FSector2To = 666;
    TColor FSector3Color = clRed;
    int32_t FSector3From = 667;
    int32_t FSector3To = 1000;
    int32_t FOffset = 0;
    int32_t FWidthOffset = 0;
    bool FLogScale = false;
};

// The running minimum and maximum with the time each was recorded, and how
// an instrument draws their markers.
class TMinMax : public TIcPersistent {
    OZ_CLASS(TMinMax, TIcPersistent);

public:
    // Start values: nothing recorded yet.
    static constexpr float NoMax = -9999999.0f;
    static constexpr float NoMin = 9999999.0f;

    TMinMax();

    // The markers' look; the recorded values and times are never stored.
    static void Publish(TPublisher<TMinMax>& P);

    // Store the value and stamp the platform's clock; no OnChange.
    float Max() const { return FMax; }
    void SetMax(float Value);
    float Min() const { return FMin; }
    void SetMin(float Value);
    // Written directly.
    TDateTime MaxDateTime() const { return FMaxDateTime; }
    void SetMaxDateTime(TDateTime Value) { FMaxDateTime = Value; }
    TDateTime MinDateTime() const { return FMinDateTime; }
    void SetMinDateTime(TDateTime Value) { FMinDateTime = Value; }

    TColor MaxColor() const { return FMaxColor; }
    void SetMaxColor(TColor Value);
    TColor MinColor() const { return FMinColor; }
    void SetMinColor(TColor Value);
    // Markers in the colour of the sector the value is in.
    bool UseSectorCol() const { return FUseSectorCol; }
    void SetUseSectorCol(bool Value);
    bool MinVisible() const { return FMinVisible; }
    void SetMinVisible(bool Value);
    bool MaxVisible() const { return FMaxVisible; }
    void SetMaxVisible(bool Value);

private:
    float FMax = NoMax;
    TDateTime FMaxDateTime = 0.0;
    float FMin = NoMin;
    TDateTime FMinDateTime = 0.0;
    TColor FMaxColor = clAqua;
    TColor FMinColor = clAqua;
    bool FUseSectorCol = true;
    bool FMinVisible = true;
    bool FMaxVisible = true;
};

// One channel of a multi-channel display: signal settings with their own
// current value. Value and digit follow each other through the recomputed
// factors, without clamping; a change fires OnValueChange, never OnChange.
class TChSettings : public TSignalSettings {
    OZ_CLASS(TChSettings, TSignalSettings);

public:
    // Recomputed from the start, so value and digit convert at once (a
    // stored channel reads its value back before anything else recomputes).
    TChSettings();

    // The signal's values, then Value, Digit, Color, Visible and PenWidth.
    static void Publish(TPublisher<TChSettings>& P);

    TNotifyEvent OnValueChange;

    float Value() const { return FValue; }
    void SetValue(float Value);
    int32_t Digit() const { return FDigit; }
    void SetDigit(int32_t Value);
    // Digit - DigitalFrom.
    int32_t AbsDigit() const { return FAbsDigit; }
    float AbsDigitToValue(int32_t N) const;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int32_t PenWidth() const { return FPenWidth; }
    void SetPenWidth(int32_t Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

private:
    void ValueChange();

    int32_t FDigit = 0;
    float FValue = 0.0f;
    TColor FColor = clBlack;
    int32_t FPenWidth = 1;
    bool FVisible = true;
    int32_t FAbsDigit = 0;
};
