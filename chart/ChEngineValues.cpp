// Value lists and the labels list of a series.
#include "chart/ChEngine.h"

#include "platform/Dialogs.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <utility>

void ShowMessageUser(const std::string& Text)
{
    MessageDlg(Text.substr(0, 1023), mtError, TMsgDlgButtons{mbOK});
}

// ------------------------------------------------------------------ TChartValueList

TChartValueList::TChartValueList(TChartSeries* AOwner, const std::string& AName) : FOwner(AOwner), FName(AName)
{
    if (FOwner != nullptr)
        FOwner->ValuesList().Add(this);
    ClearValues();
}

TChartValueList::~TChartValueList() = default;

void TChartValueList::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TChartValueList*>(Source)) {
        FOrder = S->FOrder;
        FOrderState = osUnknown;
        FDateTime = S->FDateTime;
        FValueSource = S->FValueSource;
    }
}

void TChartValueList::Grow()
{
    FValues.resize(FValues.size() + ChDefaultCapacity);
    Rebase();
}

void TChartValueList::GrowFront()
{
    const size_t Room = static_cast<size_t>(std::max(ChDefaultCapacity, FCount));
    TChartValues Wider(Room + FValues.size());
    const auto Live = FValues.begin() + FFirst;
    std::copy(Live, Live + FCount, Wider.begin() + static_cast<std::ptrdiff_t>(Room) + FFirst);
    FValues.swap(Wider);
    FFirst += static_cast<int>(Room);
    Rebase();
}

bool TChartValueList::HoldsOrder() const
{
    for (int i = 0; i < FCount; ++i) {
        const double V = Value(i);
        if (std::isnan(V))
            return false;
        if (i > 0 && (FOrder == loDescending ? V > Value(i - 1) : V < Value(i - 1)))
            return false;
    }
    return true;
}

// After the values equal to P: the place the scan from the end finds.
int TChartValueList::PlaceBefore(double P)
{
    if (FOrderState == osUnknown)
        FOrderState = HoldsOrder() ? osOrdered : osUnordered;
    const auto First = FValues.begin() + FFirst;
    if (FOrderState == osOrdered) {
        const auto It = FOrder == loAscending ? std::upper_bound(First, First + FCount, P)
                                              : std::upper_bound(First, First + FCount, P, std::greater<double>());
        return static_cast<int>(It - First);
    }
    int t = FCount - 1;
    if (FOrder == loAscending)
        while (t >= 0 && Value(t) > P)
            --t;
    else
        while (t >= 0 && Value(t) < P)
            --t;
    return t + 1;
}

int TChartValueList::AddChartValue(double P)
{
    int Index = FCount;
    if (FOrder != loNone) {
        if (FCount > 0 && (FOrder == loAscending ? P < Last() : P > Last()))
            Index = PlaceBefore(P);
        if (std::isnan(P))
            FOrderState = osUnordered;
    }
    InsertAt(Index, P);
    return Index;
}

void TChartValueList::InsertAt(int Index, double Value)
{
    if (Index == FCount) {
        if (FFirst + FCount >= Capacity())
            Grow();
    } else if (Index < FCount - Index && (FFirst > 0 || Index == 0)) {
        // The values before Index are fewer: they move down one place.
        if (FFirst == 0)
            GrowFront();
        const auto Start = FValues.begin() + FFirst;
        std::move(Start, Start + Index, Start - 1);
        --FFirst;
        Rebase();
    } else {
        if (FFirst + FCount >= Capacity())
            Grow();
        const auto Start = FValues.begin() + FFirst;
        std::move_backward(Start + Index, Start + FCount, Start + FCount + 1);
    }
    Slot(Index) = Value;
    ++FCount;
    FStatsDirty = true;
}

void TChartValueList::InsertChartValue(int Index, double Value)
{
    InsertAt(Index, Value);
    FOrderState = osUnknown;
}

void TChartValueList::Delete(int ValueIndex)
{
    Delete(ValueIndex, 1);
}

void TChartValueList::Delete(int Start, int Quantity)
{
    const int First = std::max(Start, 0);
    const int Last = std::min(Start + std::max(Quantity, 0), FCount);
    if (First >= Last)
        return;
    const auto Live = FValues.begin() + FFirst;
    std::move(Live + Last, Live + FCount, Live + First);
    FCount -= Last - First;
    FStatsDirty = true;
    if (FOrderState == osUnordered)
        FOrderState = osUnknown;
}

void TChartValueList::ClearValues()
{
    FCount = 0;
    FFirst = 0;
    TChartValues().swap(FValues);
    Rebase();
    FStatsDirty = true;
    FOrderState = osOrdered;
}

void TChartValueList::Scroll()
{
    if (FCount > 1) {
        const auto Live = FValues.begin() + FFirst;
        std::rotate(Live, Live + 1, Live + FCount);
        FOrderState = osUnknown;
    }
}

void TChartValueList::SetOrder(TChartListOrder Value)
{
    FOrder = Value;
    FOrderState = osUnknown;
}

void TChartValueList::StoreValue(int Index, double Value)
{
    Slot(Index) = Value;
    FStatsDirty = true;
    FOrderState = osUnknown;
}

void TChartValueList::SetValue(int Index, double Value)
{
    StoreValue(Index, Value);
    if (FOwner != nullptr)
        FOwner->NotifyValue(veModify, Index);
}

// Non-finite values (a broken reading) take no part in the statistics, so
// that they never reach an axis range.
void TChartValueList::RecalcStats()
{
    FCount = std::min(FCount, Capacity());
    FMaxValue = FMinValue = FTotal = FTotalABS = 0;
    bool Any = false;
    for (int i = 0; i < FCount; ++i) {
        const double V = Value(i);
        if (!std::isfinite(V))
            continue;
        if (!Any) {
            FMinValue = FMaxValue = V;
            Any = true;
        } else if (V < FMinValue) {
            FMinValue = V;
        } else if (V > FMaxValue) {
            FMaxValue = V;
        }
        FTotal += V;
        FTotalABS += std::fabs(V);
    }
    FStatsDirty = false;
}

double TChartValueList::MaxValue()
{
    if (FStatsDirty)
        RecalcStats();
    return FMaxValue;
}

double TChartValueList::MinValue()
{
    if (FStatsDirty)
        RecalcStats();
    return FMinValue;
}

double TChartValueList::Total()
{
    if (FStatsDirty)
        RecalcStats();
    return FTotal;
}

double TChartValueList::TotalABS()
{
    if (FStatsDirty)
        RecalcStats();
    return FTotalABS;
}

void TChartValueList::ReduceTotalABS(double Amount)
{
    if (FStatsDirty)
        RecalcStats();
    FTotalABS -= Amount;
}

int TChartValueList::Locate(double Value, int FirstIndex, int LastIndex) const
{
    FirstIndex = std::max(FirstIndex, 0);
    LastIndex = std::min(LastIndex, FCount - 1);
    for (int i = FirstIndex; i <= LastIndex; ++i)
        if (this->Value(i) == Value)
            return i;
    return -1;
}

void TChartValueList::Exchange(int Index1, int Index2)
{
    std::swap(Slot(Index1), Slot(Index2));
    FStatsDirty = true;
    FOrderState = osUnknown;
    if (FOwner != nullptr)
        FOwner->NotifyValue(veModify, Index1);
}

void TChartValueList::FillSequence()
{
    for (int i = 0; i < FCount; ++i)
        Slot(i) = i;
    FStatsDirty = true;
    FOrderState = osUnknown;
    if (FOwner != nullptr)
        FOwner->NotifyValue(veModify, 0);
}

int TChartValueList::CompareValueIndex(int A, int B) const
{
    const double VA = Value(A);
    const double VB = Value(B);
    int Result = VA < VB ? -1 : (VA > VB ? 1 : 0);
    return FOrder == loDescending ? -Result : Result;
}

void TChartValueList::Sort()
{
    if (FOrder == loNone || FCount < 2)
        return;
    ChSort(0, FCount - 1, [this](int A, int B) { return CompareValueIndex(A, B); },
           [this](int A, int B) {
               if (FOwner != nullptr)
                   FOwner->SwapValueIndex(A, B);
               else
                   std::swap(Slot(A), Slot(B));
           });
    FStatsDirty = true;
    FOrderState = osUnknown;
}

std::string TChartValueList::ToString(int Index) const
{
    return FloatToStr(Value(Index));
}

void TChartValueList::SetDateTime(bool Value)
{
    if (FOwner != nullptr)
        FOwner->SetBooleanProperty(FDateTime, Value);
    else
        FDateTime = Value;
}

void TChartValueList::InitDateTime(bool Value)
{
    FDateTime = Value;
    FDefaultDateTime = Value;
}

void TChartValueList::SetValueSource(const std::string& Value)
{
    if (FValueSource != Value) {
        FValueSource = Value;
        if (FOwner != nullptr)
            FOwner->CheckDataSource();
    }
}

void TChartValueList::ReadMultiplier(double Value)
{
    if (Value != 1)
        ShowMessageUser("Error: Multiplier property is obsolete.\r\n\r\n"
                        "Please enable the Multiplier property in the chart library's build options "
                        "and rebuild the library.");
}

int TChartValueLists::IndexOf(const TChartValueList* List) const
{
    auto It = std::find(FItems.begin(), FItems.end(), List);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

void TChartValueLists::Remove(TChartValueList* List)
{
    FItems.erase(std::remove(FItems.begin(), FItems.end(), List), FItems.end());
}

void TChartValueLists::Clear()
{
    std::vector<TChartValueList*> Items;
    Items.swap(FItems);
    for (TChartValueList* List : Items)
        delete List;
}

// ------------------------------------------------------------------ TLabelsList

std::string TLabelsList::GetLabel(int Index) const
{
    if (Index < 0 || Index >= Count() || !FItems[static_cast<size_t>(Index)])
        return {};
    return *FItems[static_cast<size_t>(Index)];
}

void TLabelsList::SetLabel(int Index, const std::string& Text)
{
    if (Index < 0)
        return;
    if (!Text.empty()) {
        if (Index >= Count())
            FItems.resize(static_cast<size_t>(Index) + 1);
        FItems[static_cast<size_t>(Index)] = std::make_unique<std::string>(Text);
    } else if (Index < Count()) {
        FItems[static_cast<size_t>(Index)].reset();
    }
    if (Series != nullptr)
        Series->Repaint();
}

void TLabelsList::InsertLabel(int Index, const std::string& Text)
{
    if (Index < 0)
        return;
    if (Text.empty() && FItems.empty())
        return;
    if (Count() < Index)
        FItems.resize(static_cast<size_t>(Index));
    FItems.insert(FItems.begin() + Index, Text.empty() ? nullptr : std::make_unique<std::string>(Text));
}

void TLabelsList::DeleteLabel(int Index)
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", Index));
    FItems.erase(FItems.begin() + Index);
}

int TLabelsList::IndexOfLabel(const std::string& Text, bool CaseSensitive) const
{
    const std::string Wanted = CaseSensitive ? Text : UpperCase(Text);
    for (int i = 0; i < Count(); ++i) {
        const std::string S = GetLabel(i);
        if ((CaseSensitive ? S : UpperCase(S)) == Wanted)
            return i;
    }
    return -1;
}

void TLabelsList::Assign(const TLabelsList& Source)
{
    if (&Source == this)
        return;
    Clear();
    for (int i = 0; i < Source.Count(); ++i)
        InsertLabel(i, Source.GetLabel(i));
}

void TLabelsList::Exchange(int Index1, int Index2)
{
    if (GetLabel(Index1).empty() && GetLabel(Index2).empty())
        return;
    const int Needed = std::max(Index1, Index2) + 1;
    if (Count() < Needed)
        FItems.resize(static_cast<size_t>(Needed));
    std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
}
