// One breath-parameter record: the analyzer's computed parameters of one
// breath and when the record was made, with the constant tables that name,
// unit and format each parameter id.
#pragma once

#include "analyzer/Types.h"

#include <cstdint>
#include <string>

constexpr int ParameterSlotCount = 24;

// Tables indexed by parameter id 0 to 23 (zero-terminated fixed fields).
extern const char ParamLongNames[ParameterCount][50];
extern const char ParamShortNames[ParameterCount][20];
extern const int32_t ParamUnits[ParameterCount];
extern const int32_t ParamDecimals[ParameterCount];   // -1: DecimalsFor the unit with itself

// Parameter ids 0 to 20 to their slot in FValues. Slots 19, 22 and 23 are
// reached by no id; slot 17 holds the I:E ratio the decoder computes.
extern const int32_t ParamSlots[parTime];

class TParameterStruct {
public:
    TParameterStruct();

    // Slot 0 to ParameterSlotCount - 1 in the decoder's order, NoValue when
    // absent; a slot outside the range reads as NoValue and is not written.
    float Slot(int Index) const
    {
        return Index >= 0 && Index < ParameterSlotCount ? FValues[Index] : NoValue;
    }
    void SetSlot(int Index, float Value)
    {
        if (Index >= 0 && Index < ParameterSlotCount)
            FValues[Index] = Value;
    }
    // When the record was made (days since 30 Dec 1899).
    double Time() const { return FTime; }
    void SetTime(double Value) { FTime = Value; }

    // Every slot NoValue, FTime the current local date-time.
    void Clear();

    // The slot of ids 0 to 20, FTime as a float for id 21, NoValue otherwise.
    float GetValue(int32_t Id) const;
    // The value with the parameter's decimals ("-----" when absent); the I:E
    // ratio as "r:1" or "1:r", the time as "hh:nn:ss"; a blank and the unit
    // name appended when WithUnit is set.
    std::string ValueText(int32_t Id, bool WithUnit) const;

    // The table lookups need no record.
    // The slot index of ids 0 to 20, -1 for every other id.
    static int32_t SlotOf(int32_t Id);
    static int32_t GetDecimals(int32_t Id);
    static std::string NameText(int32_t Id);
    static std::string ShortNameText(int32_t Id);
    static TUnitCode GetUnitCode(int32_t Id);
    static std::string UnitText(int32_t Id);

private:
    float FValues[ParameterSlotCount];
    double FTime;
};
