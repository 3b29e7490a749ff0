#include "analyzer/Parameterstruct.h"

#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <set>

TEST(ParameterStruct, FreshRecordHoldsNoValues)
{
    TParameterStruct Record;
    for (int Id = 0; Id <= 20; ++Id)
        EXPECT_EQ(Record.GetValue(Id), NoValue) << Id;
    EXPECT_EQ(Record.ValueText(5, false), "-----");
    EXPECT_EQ(Record.ValueText(17, false), "-----");
    EXPECT_EQ(Record.ValueText(17, true), "-----  ");
    EXPECT_EQ(Record.ValueText(0, true), "----- LPM");
}

TEST(ParameterStruct, ClearStampsTheCurrentTime)
{
    const TDateTime Stamp = EncodeDate(2024, 5, 6) + EncodeTime(14, 3, 7, 0);
    SetNowOverride([Stamp] { return Stamp; });
    TParameterStruct Record;
    EXPECT_EQ(Record.Time(), Stamp);
    Record.SetSlot(2, 7.5f);
    Record.SetTime(0);
    Record.Clear();
    EXPECT_EQ(Record.Time(), Stamp);
    EXPECT_EQ(Record.GetValue(0), NoValue);
    SetNowOverride({});
}

TEST(ParameterStruct, IdsReachTheirSlotsThroughTheFixedTable)
{
    // id -> slot, as the analyzer's parameter frame is laid out.
    const int Slots[21] = {2, 1, 0, 5, 3, 4, 6, 7, 9, 8, 12, 15, 16, 13, 14, 18, 21, 17, 20, 10, 11};
    TParameterStruct Record;
    for (int Slot = 0; Slot < ParameterSlotCount; ++Slot)
        Record.SetSlot(Slot, 100.0f + Slot);
    std::set<int> Reached;
    for (int Id = 0; Id < 21; ++Id) {
        EXPECT_EQ(Record.GetValue(Id), 100.0f + Slots[Id]) << "id " << Id;
        EXPECT_EQ(TParameterStruct::SlotOf(Id), Slots[Id]) << "id " << Id;
        Reached.insert(Slots[Id]);
    }
    EXPECT_EQ(Reached.size(), 21u);
    for (int Unreached : {19, 22, 23})
        EXPECT_EQ(Reached.count(Unreached), 0u) << Unreached;

    for (int Id : {22, 23, 24, -1, 1000})
        EXPECT_EQ(Record.GetValue(Id), NoValue) << Id;
    for (int Id : {21, 22, -1})
        EXPECT_EQ(TParameterStruct::SlotOf(Id), -1) << Id;

    Record.SetTime(45000.5);
    EXPECT_EQ(Record.GetValue(21), 45000.5f);
}

TEST(ParameterStruct, TablesByIdAndOutsideThem)
{
    const struct {
        int Id;
        const char* Name;
        const char* ShortName;
        TUnitCode Unit;
        int Decimals;
    } Cases[] = {
        {0, "Minute Volume", "MV", 10, 3},
        {1, "Tidal Volume", "TV", 17, 1},
        {2, "Tidal Volume", "TV", 17, 1},
        {3, "Base Flow", "BF", 10, 2},
        {8, "Inspratory Pause Pressure", "IPP", 1, 1},
        {10, "Respiratory Rate", "RR", 19, 1},
        {11, "Inspiratory Hold Time", "Ti Hold", 20, 2},
        {15, "Compliance", "Comp", 25, 1},
        {16, "Oxygen", "O2", 18, 1},
        {17, "I:E Ratio", "IE", 26, 2},
        {18, "Barometric Pressure", "Baro P", 2, 0},
        {19, "Min. Airway Pressure", "Min P", 1, 1},
        {20, "Assist Pressure", "Ast P", 1, 1},
        {21, "Time", "Time", 0, 0},
        {22, "", "", 0, 0},
        {23, "", "", 0, 0},
        {24, "", "", 0, 0},
        {-1, "", "", 0, 0},
    };
    for (const auto& c : Cases) {
        EXPECT_EQ(TParameterStruct::NameText(c.Id), c.Name) << c.Id;
        EXPECT_EQ(TParameterStruct::ShortNameText(c.Id), c.ShortName) << c.Id;
        EXPECT_EQ(TParameterStruct::GetUnitCode(c.Id), c.Unit) << c.Id;
        EXPECT_EQ(TParameterStruct::GetDecimals(c.Id), c.Decimals) << c.Id;
    }
    EXPECT_EQ(TParameterStruct::UnitText(15), "ml/cmH2O");
    EXPECT_EQ(TParameterStruct::UnitText(24), " ");   // unit code 0
}

TEST(ParameterStruct, ValueTexts)
{
    TParameterStruct Record;
    Record.SetSlot(2, 7.5f);       // id 0, minute volume
    Record.SetSlot(1, 512.34f);    // id 1, tidal volume
    Record.SetSlot(20, 760.4f);    // id 18, barometric pressure
    Record.SetSlot(12, 14.96f);    // id 10, respiratory rate
    Record.SetTime(EncodeDate(2024, 5, 6) + EncodeTime(14, 3, 7, 0));

    const struct {
        int Id;
        bool WithUnit;
        const char* Text;
    } Cases[] = {
        {0, false, "7.500"},
        {0, true, "7.500 LPM"},
        {1, true, "512.3 mL"},
        {18, false, "760"},
        {18, true, "760 mmHg"},
        {10, true, "15.0 BPM"},
        {21, false, "14:03:07"},
        {21, true, "14:03:07  "},
        {22, false, "-----"},
        {24, true, "-----  "},
    };
    for (const auto& c : Cases)
        EXPECT_EQ(Record.ValueText(c.Id, c.WithUnit), c.Text) << c.Id;
}

TEST(ParameterStruct, IERatioTexts)
{
    const struct {
        float Slot;
        const char* Text;
    } Cases[] = {{2.0f, "2.00:1"}, {-1.5f, "1:1.50"}, {1.0f, "1.00:1"}, {-2.345f, "1:2.35"}, {0.0f, "1:0.00"}};
    for (const auto& c : Cases) {
        TParameterStruct Record;
        Record.SetSlot(17, c.Slot);
        EXPECT_EQ(Record.ValueText(17, false), c.Text) << c.Slot;
        EXPECT_EQ(Record.ValueText(17, true), std::string(c.Text) + "  ") << c.Slot;
    }
}

TEST(ParameterStruct, CopiesByValue)
{
    TParameterStruct Record;
    Record.SetSlot(0, 3);
    TParameterStruct Copy = Record;
    Record.SetSlot(0, 4);
    EXPECT_EQ(Copy.GetValue(2), 3);
}
