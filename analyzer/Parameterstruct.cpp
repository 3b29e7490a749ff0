#include "analyzer/Parameterstruct.h"

#include "analyzer/Units.h"
#include "platform/SysUtils.h"

const char ParamLongNames[ParameterCount][50] = {
    "Minute Volume",
    "Tidal Volume",
    "Tidal Volume",
    "Base Flow",
    "Peak Inspiratory Flow",
    "Peak Expiratory Flow",
    "Peak Inspiratory Pressure",
    "PEEP",
    "Inspratory Pause Pressure",
    "Mean Airway Pressure",
    "Respiratory Rate",
    "Inspiratory Hold Time",
    "Expiratory Hold Time",
    "Inspiratory Time",
    "Expiratory Time",
    "Compliance",
    "Oxygen",
    "I:E Ratio",
    "Barometric Pressure",
    "Min. Airway Pressure",
    "Assist Pressure",
    "Time",
    "",
    "",
};

const char ParamShortNames[ParameterCount][20] = {
    "MV", "TV", "TV", "BF", "PIF", "PEF", "PIP", "PEEP", "IPP", "MAP", "RR", "Ti Hold",
    "Te Hold", "Ti", "Te", "Comp", "O2", "IE", "Baro P", "Min P", "Ast P", "Time", "", "",
};

const int32_t ParamUnits[ParameterCount] = {
    ucLPM, ucML, ucML, ucLPM, ucLPM, ucLPM, ucCmH2O, ucCmH2O, ucCmH2O, ucCmH2O, ucBPM, ucSeconds,
    ucSeconds, ucSeconds, ucSeconds, ucMLPerCmH2O, ucPercent, ucRatio, ucMmHg, ucCmH2O, ucCmH2O,
    ucNone, ucNone, ucNone,
};

const int32_t ParamDecimals[ParameterCount] = {
    3, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, -1, -1, -1, 0, 0,
};

const int32_t ParamSlots[parTime] = {
    2, 1, 0, 5, 3, 4, 6, 7, 9, 8, 12, 15, 16, 13, 14, 18, 21, 17, 20, 10, 11,
};

TParameterStruct::TParameterStruct()
    : FTime(0)
{
    Clear();
}

void TParameterStruct::Clear()
{
    for (float& Value : FValues)
        Value = NoValue;
    FTime = Now();
}

int32_t TParameterStruct::SlotOf(int32_t Id)
{
    if (Id < 0 || Id >= parTime)
        return -1;
    return ParamSlots[Id];
}

float TParameterStruct::GetValue(int32_t Id) const
{
    if (Id == parTime)
        return static_cast<float>(FTime);
    const int32_t Slot = SlotOf(Id);
    if (Slot < 0)
        return NoValue;
    return FValues[Slot];
}

std::string TParameterStruct::ValueText(int32_t Id, bool WithUnit) const
{
    std::string Text;
    if (Id == parIERatio) {
        const float Ratio = GetValue(Id);
        if (Ratio == NoValue)
            Text = NoValueText;
        else if (Ratio > 0)
            Text = FormatNumber(GetDecimals(Id), Ratio) + ":1";
        else
            Text.append("1:").append(FormatNumber(GetDecimals(Id), -Ratio));
    } else if (Id == parTime) {
        Text = FormatDateTime("hh:nn:ss", FTime);
    } else {
        Text = FormatNumber(GetDecimals(Id), GetValue(Id));
    }
    if (WithUnit)
        Text.append(" ").append(UnitText(Id));
    return Text;
}

int32_t TParameterStruct::GetDecimals(int32_t Id)
{
    if (Id < 0 || Id >= ParameterCount)
        return 0;
    if (ParamDecimals[Id] >= 0)
        return ParamDecimals[Id];
    return DecimalsFor(ParamUnits[Id], ParamUnits[Id]);
}

std::string TParameterStruct::NameText(int32_t Id)
{
    if (Id < 0 || Id >= ParameterCount)
        return std::string();
    return ParamLongNames[Id];
}

std::string TParameterStruct::ShortNameText(int32_t Id)
{
    if (Id < 0 || Id >= ParameterCount)
        return std::string();
    return ParamShortNames[Id];
}

TUnitCode TParameterStruct::GetUnitCode(int32_t Id)
{
    if (Id < 0 || Id >= ParameterCount)
        return ucNone;
    return ParamUnits[Id];
}

std::string TParameterStruct::UnitText(int32_t Id)
{
    return UnitName(GetUnitCode(Id));
}
