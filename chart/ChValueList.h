// The value lists of a series: one list of doubles per dimension (X, Y and
// any further one), kept in the order the list asks for, with their
// statistics (minimum, maximum, totals).
//
// TChartValueList's body:
//   ChEngineValues.cpp  the values, their order and statistics
//   ChartStream.cpp     its stored properties (and the obsolete "Multiplier")
#pragma once

#include "chart/ChEngineBase.h"
#include "platform/Classes.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class TChartSeries;

constexpr int ChDefaultCapacity = 1000;

enum TChartListOrder { loNone, loAscending, loDescending };
enum TValueEvent { veClear, veAdd, veDelete, veRefresh, veModify };

using TChartValues = std::vector<double>;

class TChartValueList : public TPersistent {
    OZ_CLASS(TChartValueList, TPersistent);

public:
    static void Publish(TPublisher<TChartValueList>& P);
    void DefineProperties(TFiler* Filer) override;
    TChartValueList(TChartSeries* AOwner, const std::string& AName);
    ~TChartValueList() override;
    // Copies order, date-time flag and value source only.
    void Assign(TPersistent* Source) override;

    // Puts Value where Order says, after the values equal to it; returns its
    // index. Appending and putting a value before all others cost the same
    // whatever the count; elsewhere the values on the shorter side move.
    virtual int AddChartValue(double Value);
    virtual void ClearValues();
    virtual void InsertChartValue(int Index, double Value);
    virtual void Delete(int ValueIndex);
    // Removes up to Quantity values from Start on, clipped to the list.
    void Delete(int Start, int Quantity);
    // Moves the first value to the end.
    virtual void Scroll();

    int Count() const { return FCount; }
    // The length of the storage (appending grows it by ChDefaultCapacity).
    int Capacity() const { return static_cast<int>(FValues.size()); }
    std::span<const double> Values() const { return {FData, static_cast<size_t>(FCount)}; }
    double Value(int Index) const { return FData[Index]; }
    double operator[](int Index) const { return Value(Index); }
    // Stores and tells the owner series (veModify).
    void SetValue(int Index, double Value);
    // Stores without telling anyone.
    void StoreValue(int Index, double Value);
    double First() const { return Value(0); }
    double Last() const { return Value(FCount - 1); }

    double MaxValue();
    double MinValue();
    double Total();
    double TotalABS();
    // Takes Amount off the current total of absolute values until the next
    // change (a pie's grouped points are counted by their "Other" slice).
    void ReduceTotalABS(double Amount);
    double Range() { return MaxValue() - MinValue(); }
    bool StatsDirty() const { return FStatsDirty; }
    void RecalcStats();

    int Locate(double Value) const { return Locate(Value, 0, FCount - 1); }
    int Locate(double Value, int FirstIndex, int LastIndex) const;
    void Exchange(int Index1, int Index2);
    void FillSequence();
    void Sort();
    int CompareValueIndex(int A, int B) const;
    std::string ToString(int Index) const;

    bool DateTime() const { return FDateTime; }
    void SetDateTime(bool Value);
    void InitDateTime(bool Value);
    bool DefaultDateTime() const { return FDefaultDateTime; }
    bool IsDateTimeStored() const { return FDateTime != FDefaultDateTime; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    TChartListOrder Order() const { return FOrder; }
    // The values already held are not sorted again (Sort does that).
    void SetOrder(TChartListOrder Value);
    const std::string& ValueSource() const { return FValueSource; }
    void SetValueSource(const std::string& Value);
    TChartSeries* HostSeries() const { return FOwner; }

    // The obsolete stored "Multiplier": anything but 1 tells the developer.
    void ReadMultiplier(double Value);

    // The data-set field named by ValueSource, kept by the data-bound chart.
    TObject* BoundField = nullptr;

private:
    // Whether the values stand in Order with no NaN among them, so that a
    // new value's place can be searched for instead of scanned for.
    enum TOrderState : uint8_t { osUnknown, osOrdered, osUnordered };
    void Grow();
    // Makes room before the first value (at least ChDefaultCapacity, at
    // least the count, so that a run of such inserts costs linear time).
    void GrowFront();
    void InsertAt(int Index, double Value);
    // The index a new value P goes to when it belongs before the last one.
    int PlaceBefore(double P);
    bool HoldsOrder() const;
    double& Slot(int Index) { return FData[Index]; }
    // FData follows the storage and FFirst.
    void Rebase() { FData = FValues.data() + FFirst; }
    TChartSeries* FOwner;
    std::string FName;
    TChartListOrder FOrder = loNone;
    std::string FValueSource;
    bool FDateTime = false;
    bool FDefaultDateTime = false;
    // The values are FValues[FFirst .. FFirst + FCount), from FData on.
    TChartValues FValues;
    int FFirst = 0;
    double* FData = nullptr;
    int FCount = 0;
    TOrderState FOrderState = osOrdered;
    bool FStatsDirty = true;
    double FMaxValue = 0;
    double FMinValue = 0;
    double FTotal = 0;
    double FTotalABS = 0;
};

// The value lists of one series, X first, then Y, then any further list.
// Owns its lists.
class TChartValueLists {
public:
    ~TChartValueLists() { Clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    TChartValueList* Get(int Index) const { return FItems[static_cast<size_t>(Index)]; }
    TChartValueList* operator[](int Index) const { return Get(Index); }
    void Add(TChartValueList* List) { FItems.push_back(List); }
    int IndexOf(const TChartValueList* List) const;
    // Puts List at Index in place of the list there (which is not freed).
    void Put(int Index, TChartValueList* List) { FItems[static_cast<size_t>(Index)] = List; }
    // Takes List out without freeing it.
    void Remove(TChartValueList* List);
    void Clear();

private:
    std::vector<TChartValueList*> FItems;
};
