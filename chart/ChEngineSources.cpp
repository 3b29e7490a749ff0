// Where a series' points come from (other series, series sources, an
// attached function, sample values), which series follow it, how one series
// is copied into another and how points are sorted by their labels.
#include "chart/ChDataSources.h"
#include "chart/ChEngine.h"
#include "chart/ChFunctions.h"
#include "chart/ChMarks.h"
#include "platform/ScopeGuard.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

bool ChRandomAtRunTime = false;

namespace {

// Dest is Start, or Start takes its data from Dest through any chain of
// series data sources. Each series is looked at once, so any graph ends.
bool FeedsFrom(const TChartSeries* Dest, TComponent* Start)
{
    std::vector<TComponent*> Pending{Start};
    std::unordered_set<const TComponent*> Seen;
    while (!Pending.empty()) {
        TComponent* C = Pending.back();
        Pending.pop_back();
        if (C == Dest)
            return true;
        auto* S = dynamic_cast<TChartSeries*>(C);
        if (S == nullptr || !Seen.insert(S).second)
            continue;
        for (int i = 0; i < S->DataSources().Count(); ++i)
            Pending.push_back(S->DataSources()[i]);
    }
    return false;
}

int RoundToInt(double Value)
{
    const double R = std::nearbyint(Value);
    return static_cast<int>(std::clamp(R, -2147483647.0, 2147483647.0));
}

}  // namespace

// ------------------------------------------------------------------ small lists

bool TCustomChartSeries::SameClass(const TCustomChartSeries* Series) const
{
    return ClassType()->InheritsFrom(Series->ClassType()) || Series->ClassType()->InheritsFrom(ClassType());
}

// ------------------------------------------------------------------ TDataSourcesList

int TDataSourcesList::IndexOf(const TComponent* Component) const
{
    auto It = std::find(FItems.begin(), FItems.end(), Component);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

int TDataSourcesList::Add(TComponent* Component)
{
    return Series->InternalSetDataSource(Component, false);
}

bool TDataSourcesList::InheritedRemove(TComponent* Component)
{
    const int Index = IndexOf(Component);
    if (Index < 0)
        return false;
    FItems.erase(FItems.begin() + Index);
    return true;
}

void TDataSourcesList::Remove(TComponent* Component)
{
    if (InheritedRemove(Component))
        Series->DataSourceRemoved(Component);
}

// Entries go from the last to the first, each let go of by the series.
void TDataSourcesList::Clear()
{
    Series->RemoveAllLinkedSeries();
    while (!FItems.empty()) {
        TComponent* C = FItems.back();
        FItems.pop_back();
        Series->DataSourceRemoved(C);
    }
    if (!Series->ManualData)
        Series->Clear();
}

// ------------------------------------------------------------------ data sources of a series

void TChartSeries::SetDataSource(TComponent* Value)
{
    if (Value != nullptr)
        InternalSetDataSource(Value, true);
    else
        InternalRemoveDataSource(nullptr);
}

void TChartSeries::CheckNewDataSource(TComponent* Component)
{
    if (FParent == nullptr)
        throw ChartException(ChMsg_SeriesSetDataSource);
    if (!FParent->IsValidDataSource(this, Component))
        throw ChartException(Format(ChMsg_SeriesInvDataSource.c_str(), Component->Name().c_str()));
    if (auto* S = dynamic_cast<TChartSeries*>(Component))
        FParent->CheckOtherSeries(this, S);
}

int TChartSeries::InternalSetDataSource(TComponent* Component, bool ClearOthers)
{
    CheckNewDataSource(Component);
    if (FDataSources.IndexOf(Component) >= 0)
        return -1;
    if (ClearOthers && !IsLoading())
        FDataSources.Clear();
    InternalAddDataSource(Component);
    CheckDataSource();
    return FDataSources.IndexOf(Component);
}

// A series source that filled another series (or none) fills this one
// from now on; the other series lets go of it.
int TChartSeries::InternalAddDataSource(TComponent* Component)
{
    if (Component == nullptr)
        return -1;
    FDataSources.InheritedAdd(Component);
    ManualData = false;
    Component->FreeNotification(this);
    if (auto* S = dynamic_cast<TChartSeries*>(Component)) {
        S->AddLinkedSeries(this);
    } else if (auto* Source = dynamic_cast<TChSeriesSource*>(Component); Source != nullptr && Source->FSeries != this) {
        const bool WasActive = Source->Active();
        Source->Close();
        if (TChartSeries* Other = Source->FSeries) {
            if (Source->Owner() == Other) {
                Other->RemoveComponent(Source);
                InsertComponent(Source);
            }
            Other->FDataSources.InheritedRemove(Source);
            Other->RemoveFreeNotification(Source);
        }
        Source->FSeries = this;
        FreeNotification(Source);
        if (WasActive)
            Source->Open();
    }
    return FDataSources.Count() - 1;
}

void TChartSeries::InternalRemoveDataSource(TComponent* Component)
{
    if (IsDestroying())
        return;
    if (Component == nullptr || Component == DataSource())
        FDataSources.Clear();
    CheckDataSource();
}

// Called for every entry taken out of the list.
void TChartSeries::DataSourceRemoved(TComponent* Component)
{
    if (auto* S = dynamic_cast<TChartSeries*>(Component))
        S->RemoveLinkedSeries(this);
    if (FParent != nullptr && !IsDestroying())
        FParent->RemovedDataSource(this, Component);
    auto* Source = dynamic_cast<TChSeriesSource*>(Component);
    if (Source == nullptr || Source->FSeries != this)
        RemoveFreeNotification(Component);
    InternalRemoveDataSource(Component);
}

void TChartSeries::CheckOtherSeries(TChartSeries* Source)
{
    if (FParent != nullptr)
        FParent->CheckOtherSeries(this, Source);
}

bool TChartSeries::IsValidSeriesSource(TChartSeries* Value)
{
    return FFunction == nullptr || FFunction->IsValidSource(Value);
}

// The old function is freed; a function taken from another series leaves it.
void TChartSeries::SetFunction(TChFunction* Value)
{
    if (Value == FFunction)
        return;
    if (TChFunction* Old = FFunction) {
        FFunction = nullptr;
        Old->FParentSeries = nullptr;
        RemoveFreeNotification(Old);
        delete Old;
    }
    if (Value != nullptr) {
        if (TChartSeries* Former = Value->FParentSeries; Former != nullptr && Former != this) {
            Former->FFunction = nullptr;
            Former->RemoveFreeNotification(Value);
        }
        FFunction = Value;
        Value->FParentSeries = this;
        Value->FreeNotification(this);
        ManualData = false;
    }
    CheckDataSource();
}

void TChartSeries::SetColorSource(const std::string& Value)
{
    if (FColorSource != Value) {
        FColorSource = Value;
        CheckDataSource();
    }
}

void TChartSeries::SetXLabelsSource(const std::string& Value)
{
    if (FXLabelsSource != Value) {
        FXLabelsSource = Value;
        CheckDataSource();
    }
}

// ------------------------------------------------------------------ the chart's part

void TCustomAxisPanel::CheckDatasource(TChartSeries* ASeries)
{
    if (ASeries->IsLoading())
        return;
    if (TComponent* C = ASeries->DataSource()) {
        if (auto* S = dynamic_cast<TChartSeries*>(C))
            ASeries->AddValues(S);
        else if (auto* Source = dynamic_cast<TChSeriesSource*>(C))
            Source->Refresh();
        return;
    }
    TChFunction* F = ASeries->AttachedFunction();
    if (F != nullptr && F->NoSourceRequired()) {
        TUpdateGuard<TChartSeries> Batch(*ASeries);
        ASeries->Clear();
        F->AddPoints(nullptr);
    } else if (!ASeries->ManualData && ASeries->CanAddRandomPoints()) {
        ASeries->FillSampleValues(ASeries->NumSampleValues());
    }
}

bool TCustomAxisPanel::IsValidDataSource(TChartSeries* ASeries, TComponent* Component)
{
    if (auto* S = dynamic_cast<TChartSeries*>(Component))
        return S != ASeries && ASeries->IsValidSeriesSource(S);
    if (auto* Source = dynamic_cast<TChSeriesSource*>(Component))
        return Source->Available(this);
    return false;
}

// A series source that filled ASeries lets go of it.
void TCustomAxisPanel::RemovedDataSource(TChartSeries* ASeries, TComponent* Component)
{
    if (auto* Source = dynamic_cast<TChSeriesSource*>(Component); Source != nullptr && Source->Series() == ASeries)
        Source->SetSeries(nullptr);
}

void TCustomAxisPanel::CheckOtherSeries(TChartSeries* Dest, TChartSeries* Source)
{
    if (Source == nullptr)
        return;
    for (int i = 0; i < Source->DataSources().Count(); ++i)
        if (FeedsFrom(Dest, Source->DataSources()[i]))
            throw ChartException(ChMsg_CircularSeries);
}

// ------------------------------------------------------------------ copying

void TChartSeries::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TChartSeries*>(Source);
    if (S == nullptr) {
        TCustomChartSeries::Assign(Source);
        return;
    }
    if (S == this)
        return;
    TCustomChartSeries::Assign(Source);
    AssignFormat(S);
    if (S->FFunction != nullptr && FFunction == nullptr)
        S->FFunction->SetParentSeries(this);
    ManualData = S->ManualData;
    if (S->FDataSources.Count() > 0) {
        FDataSources.Clear();
        std::vector<TComponent*> Sources;
        for (int i = 0; i < S->FDataSources.Count(); ++i)
            Sources.push_back(S->FDataSources[i]);
        // A source that is this series, or that takes its data from it,
        // would make the copy feed itself.
        for (TComponent* C : Sources)
            if (!FeedsFrom(this, C))
                InternalAddDataSource(C);
    } else if (S->ManualData || !S->ComponentState().Contains(csDesigning)) {
        AssignValues(S);
    }
    CheckDataSource();
}

void TChartSeries::AssignFormat(TChartSeries* Source)
{
    SetDataSource(nullptr);
    if (FYMandatory == Source->FYMandatory) {
        FXValues->Assign(Source->FXValues);
        FYValues->Assign(Source->FYValues);
    } else {
        FXValues->Assign(Source->FYValues);
        FYValues->Assign(Source->FXValues);
    }
    FXLabelsSource = Source->FXLabelsSource;
    FColorSource = Source->FColorSource;
    for (int k = 2; k < FValuesList.Count() && k < Source->FValuesList.Count(); ++k)
        FValuesList[k]->Assign(Source->FValuesList[k]);
    FMarks->Assign(Source->FMarks.get());
    FSeriesColor = Source->FSeriesColor;
    ChangeInternalColor(Source->AutoColor());
    FColorEachPoint = Source->FColorEachPoint;
    FValueFormat = Source->FValueFormat;
    FPercentFormat = Source->FPercentFormat;
    FCustomHorizAxis = Source->FCustomHorizAxis;
    FHorizAxis = Source->FHorizAxis;
    FCustomVertAxis = Source->FCustomVertAxis;
    FVertAxis = Source->FVertAxis;
    RecalcOptions = Source->RecalcOptions;
    Cursor = Source->Cursor;
    Depth = Source->Depth;
    RecalcGetAxis();
}

void TChartSeries::ReplaceList(TChartValueList* OldList, TChartValueList* NewList)
{
    FValuesList.Remove(NewList);
    const int Index = FValuesList.IndexOf(OldList);
    if (Index < 0)
        return;
    NewList->SetName(OldList->Name());
    if (OldList == FXValues)
        FXValues = NewList;
    if (OldList == FYValues)
        FYValues = NewList;
    if (OldList == FMandatory)
        FMandatory = NewList;
    if (OldList == FNotMandatory)
        FNotMandatory = NewList;
    FValuesList.Put(Index, NewList);
    delete OldList;
}

// ------------------------------------------------------------------ ordering

void TChartSeries::SortByLabels(TChartListOrder Order)
{
    if (Order == loNone)
        return;
    {
        TValueRollback<TChartListOrder> Sorting(LabelSortOrder, Order);
        if (Count() > 1)
            ChSort(0, Count() - 1, [this](int A, int B) { return CompareLabelIndex(A, B); },
                   [this](int A, int B) { SwapValueIndex(A, B); });
    }
    LabelSortOrder = loNone;
    FNotMandatory->FillSequence();
    Repaint();
}

int TChartSeries::CompareLabelIndex(int A, int B) const
{
    const int C = XLabel(A).compare(XLabel(B));
    const int Result = C < 0 ? -1 : (C > 0 ? 1 : 0);
    return LabelSortOrder == loDescending ? -Result : Result;
}

void TChartSeries::CheckOrder()
{
    if (FMandatory->Order() == loNone)
        return;
    FMandatory->Sort();
    if (FNotMandatory->ValueSource().empty())
        FNotMandatory->FillSequence();
    Repaint();
}

// ------------------------------------------------------------------ sample values

bool TChartSeries::CanAddRandomPoints() const
{
    return ChRandomAtRunTime || ComponentState().Contains(csDesigning);
}

int TChartSeries::RandomValue(int Range)
{
    return Random(Range);
}

TChartSeries::TRandomBounds TChartSeries::RandomBounds(int NumValues)
{
    double MinX, MaxX, MinY, MaxY;
    if (FParent != nullptr && FParent->GetMaxValuesCount() > 0) {
        MinY = FParent->MinYValue(GetVertAxis());
        MaxY = FParent->MaxYValue(GetVertAxis());
        if (MinY == MaxY)
            MaxY = MinY == 0 ? 1000 : 2 * MinY;
        MinX = FParent->MinXValue(GetHorizAxis());
        MaxX = FParent->MaxXValue(GetHorizAxis());
        if (MinX == MaxX)
            MaxX = MinX == 0 ? NumValues - 1 : 2 * MinX;
        if (!FYMandatory) {
            std::swap(MinX, MinY);
            std::swap(MaxX, MaxY);
        }
    } else {
        MinY = 0;
        MaxY = 1000;
        MinX = FXValues->DateTime() ? static_cast<double>(Date()) : 0.0;
        MaxX = MinX + NumValues - 1;
    }
    TRandomBounds B;
    B.StepX = NumValues > 1 ? (MaxX - MinX) / (NumValues - 1) : MaxX - MinX;
    B.DifY = std::clamp(MaxY - MinY, -2147483647.0, 2147483647.0);
    B.MinY = MinY;
    B.StartY = MinY + RandomValue(RoundToInt(B.DifY));
    B.StartX = MinX;
    return B;
}

void TChartSeries::FillSampleValues(int NumValues)
{
    if (NumValues < 0)
        throw ChartException(ChMsg_FillSample);
    if (NumValues == 0)
        NumValues = NumSampleValues();
    Clear();
    {
        TUpdateGuard<TChartSeries> Batch(*this);
        SetRandSeed(static_cast<uint32_t>(Random(7774444)));
        AddSampleValues(NumValues, false);
        CheckOrder();
    }
    ManualData = false;
    Repaint();
}

// A random walk kept non-negative.
int TChartSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    const TRandomBounds B = RandomBounds(NumValues);
    const int t = RoundToInt(B.DifY) / 4;
    double y = B.StartY;
    double x = B.StartX;
    int Result = -1;
    for (int i = 0; i < NumValues; ++i) {
        y = std::fabs(RandomValue(t) + y - t / 2);
        if (OnlyMandatory)
            Result = Add(y);
        else if (FYMandatory)
            Result = AddXY(x, y);
        else
            Result = AddXY(y, x);
        x += B.StepX;
    }
    return Result;
}

void TChartSeries::PrepareForGallery(bool IsEnabled)
{
    FillSampleValues(4);
    FMarks->SetVisible(false);
    FMarks->Font()->SetSize(7);
    FMarks->SetDrawEvery(2);
    SetColorEachPoint(false);
    if (!IsEnabled)
        SetSeriesColor(clSilver);
    else if (FParent != nullptr)
        SetSeriesColor(FParent->GetDefaultColor(FParent->SeriesList().IndexOf(this) == 0 ? clChGallery1
                                                                                         : clChGallery2));
    else
        SetSeriesColor(::GetDefaultColor(clChGallery1));
}

// ------------------------------------------------------------------ TChSeriesSource

std::vector<TClass>& ChSources()
{
    static std::vector<TClass> List;
    return List;
}

TChSeriesSource::TChSeriesSource(TComponent* AOwner) : TComponent(AOwner) {}

// Freed while open, the source leaves the series' points as they are.
TChSeriesSource::~TChSeriesSource()
{
    FDestroying = true;
    Close();
}

void TChSeriesSource::Publish(TPublisher<TChSeriesSource>& P)
{
    P.Boolean("Active", &TChSeriesSource::Active, &TChSeriesSource::SetActive).Default(false);
    P.Component("Series", &TChSeriesSource::Series, &TChSeriesSource::SetSeries);
}

void TChSeriesSource::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    if (FSeries != nullptr) {
        if (Value) {
            if (!ComponentState().Contains(csLoading))
                Load();
        } else if (!FDestroying && !Destroying() && !FSeries->IsDestroying()) {
            FSeries->Clear();
        }
    }
    FActive = Value;
}

bool TChSeriesSource::HasSeries(TChartSeries* ASeries)
{
    TComponent* Source = ASeries->DataSource();
    return Source != nullptr && Source->ClassType()->ClassName() == ClassType()->ClassName();
}

void TChSeriesSource::Close()
{
    if (!ComponentState().Contains(csLoading) && !FDestroying && !Destroying())
        SetActive(false);
}

void TChSeriesSource::Refresh()
{
    if (FActive && !ComponentState().Contains(csLoading))
        Load();
}

void TChSeriesSource::Loaded()
{
    TComponent::Loaded();
    Refresh();
}

// The new series is checked before anything changes.
void TChSeriesSource::SetSeries(TChartSeries* Value)
{
    if (Value == FSeries)
        return;
    if (Value != nullptr)
        Value->CheckNewDataSource(this);
    Close();
    TChartSeries* Old = FSeries;
    FSeries = Value;
    if (Old != nullptr) {
        Old->RemoveFreeNotification(this);
        if (Old->DataSources().IndexOf(this) >= 0)
            Old->RemoveDataSource(this);
    }
    if (Value != nullptr) {
        Value->FreeNotification(this);
        Value->SetDataSource(this);
    }
}

// A freed series is only forgotten: it can no longer be asked anything.
void TChSeriesSource::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSeries)
        FSeries = nullptr;
}
