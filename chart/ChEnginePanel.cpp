// The axis panel's series, axes and tools, the chart's lists and groups,
// and the chart tools.
#include "chart/ChEngine.h"

#include <algorithm>
#include <string>

// ------------------------------------------------------------------ TCustomAxisPanel

TCustomAxisPanel::TCustomAxisPanel(TComponent* AOwner) : TCustomChPanelExtended(AOwner)
{
    RepaintOnChange = false;
    FTools = std::make_unique<TChartTools>(this);
    FSeriesList = std::make_unique<TChartSeriesList>(this);
    FAxesList = std::make_unique<TChartAxes>(this);
    FCustomAxes = std::make_unique<TChartCustomAxes>(this);

    FBottomAxis = new TChartAxis(this);
    FBottomAxis->SetHorizontal(true);
    FTopAxis = new TChartAxis(this);
    FTopAxis->SetHorizontal(true);
    FTopAxis->SetOtherSide(true);
    FTopAxis->SetZPosition(100);
    FTopAxis->Grid()->SetZ(100);
    FTopAxis->Grid()->UnstoredZ = 100;
    FLeftAxis = new TChartAxis(this);
    FLeftAxis->Title()->SetAngle(90);
    FLeftAxis->Title()->DefaultAngle = 90;
    FRightAxis = new TChartAxis(this);
    FRightAxis->Title()->SetAngle(270);
    FRightAxis->Title()->DefaultAngle = 270;
    FRightAxis->SetOtherSide(true);
    FRightAxis->SetZPosition(100);
    FRightAxis->Grid()->SetZ(100);
    FRightAxis->Grid()->UnstoredZ = 100;
    FDepthAxis = new TChartDepthAxis(this);
    FDepthAxis->SetVisible(false);
    FDepthAxis->IsDepth = true;
    FDepthAxis->SetCalcPosValue();
    FDepthAxis->SetOtherSide(true);
    FDepthTopAxis = new TChartDepthAxis(this);
    FDepthTopAxis->SetVisible(false);
    FDepthTopAxis->IsDepth = true;
    FDepthTopAxis->SetCalcPosValue();
    RepaintOnChange = true;
}

TCustomAxisPanel::~TCustomAxisPanel()
{
    FFreeing = true;
    FreeAllSeries();
    FAxesList->Clear();
    FCustomAxes.reset();
    FAxesList.reset();
    FSeriesList.reset();
    FDesignerHook.reset();
    FTools->Clear();
    FTools.reset();
}

bool TCustomAxisPanel::CheckMouseSeries(int X, int Y)
{
    // Every active series is asked, so that each keeps its enter and leave
    // state.
    bool Over = false;
    for (int i = SeriesCount() - 1; i >= 0; --i)
        if (Series(i)->Active() && Series(i)->CheckMouse(X, Y))
            Over = true;
    return Over;
}

int TCustomAxisPanel::CountActiveSeries() const
{
    int Result = 0;
    for (int i = 0; i < SeriesCount(); ++i)
        if (Series(i)->Active())
            ++Result;
    return Result;
}

TChartSeries* TCustomAxisPanel::AddSeries(TChartSeries* ASeries)
{
    ASeries->SetParentChart(this);
    return ASeries;
}

void TCustomAxisPanel::InternalAddSeries(TChartSeries* ASeries)
{
    if (FSeriesList->IndexOf(ASeries) >= 0)
        return;
    if (ASeries->ParentChart() != this)
        ASeries->TCustomChartElement::SetParentChart(this);
    ASeries->Added();
    FSeriesList->Add(ASeries);
    BroadcastSeriesEvent(ASeries, seAdd);
    Invalidate();
}

void TCustomAxisPanel::RemoveSeries(TChartSeries* ASeries)
{
    const int Index = FSeriesList->IndexOf(ASeries);
    if (Index < 0)
        return;
    BroadcastSeriesEvent(ASeries, seRemove);
    ASeries->Removed();
    FSeriesList->Remove(ASeries);
    FSeriesList->SeriesGroups().RemoveSeries(ASeries);
    Invalidate();
}

void TCustomAxisPanel::FreeAllSeries(const std::function<bool(TChartSeries*)>& OfClass)
{
    int i = 0;
    while (i < SeriesCount()) {
        TChartSeries* S = Series(i);
        if (OfClass && !OfClass(S)) {
            ++i;
            continue;
        }
        S->SetParentChart(nullptr);
        delete S;
    }
}

void TCustomAxisPanel::ExchangeSeries(int Index1, int Index2)
{
    FSeriesList->Exchange(Index1, Index2);
    TChartSeries* S1 = Series(Index1);
    TChartSeries* S2 = Series(Index2);
    const int Group = FSeriesList->SeriesGroups().Contains(S1);
    if (Group >= 0) {
        TCustomSeriesList& L = FSeriesList->SeriesGroups().Get(Group)->Series();
        const int A = L.IndexOf(S1);
        const int B = L.IndexOf(S2);
        if (A >= 0 && B >= 0)
            L.Exchange(A, B);
    }
    BroadcastSeriesEvent(nullptr, seSwap);
    Invalidate();
}

void TCustomAxisPanel::ExchangeSeries(TChartSeries* Series1, TChartSeries* Series2)
{
    ExchangeSeries(FSeriesList->IndexOf(Series1), FSeriesList->IndexOf(Series2));
}

int TCustomAxisPanel::GetMaxValuesCount() const
{
    int Result = 0;
    for (int i = 0; i < SeriesCount(); ++i)
        if (Series(i)->Active())
            Result = std::max(Result, Series(i)->Count());
    return Result;
}

bool TCustomAxisPanel::NoActiveSeries(TChartAxis* Axis) const
{
    for (int i = 0; i < SeriesCount(); ++i)
        if (Series(i)->Active() && Series(i)->AssociatedToAxis(Axis))
            return false;
    return true;
}

TChartSeries* TCustomAxisPanel::GetAxisSeries(TChartAxis* Axis) const
{
    const bool AnySeries = NoActiveSeries(Axis);
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* S = Series(i);
        if ((AnySeries || S->Active()) && S->AssociatedToAxis(Axis))
            return S;
    }
    return nullptr;
}

TChartSeries* TCustomAxisPanel::GetAxisSeriesMaxPoints(TChartAxis* Axis) const
{
    const bool AnySeries = NoActiveSeries(Axis);
    TChartSeries* Result = nullptr;
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* S = Series(i);
        if ((AnySeries || S->Active()) && S->AssociatedToAxis(Axis))
            if (Result == nullptr || S->Count() > Result->Count())
                Result = S;
    }
    return Result;
}

bool TCustomAxisPanel::IsAxisVisible(TChartAxis* Axis) const
{
    return Axis->VisibleInPass();
}

bool TCustomAxisPanel::CalcIsAxisVisible(TChartAxis* Axis) const
{
    if (!FAxisVisible || !Axis->Visible())
        return false;
    if (Axis->IsDepth)
        return View3D();
    bool Result = true;
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* S = Series(i);
        if (!S->Active())
            continue;
        if (!S->UseAxis())
            return false;
        Result = S->AssociatedToAxis(Axis);
        if (Result)
            break;
    }
    return Result;
}

// The extreme value the series bound to Axis put on it; 0 without any.
double TCustomAxisPanel::InternalMinMax(TChartAxis* Axis, bool IsMin, bool IsX) const
{
    if (Axis->IsDepth) {
        if (Axis->CalcLabelStyle() != talValue)
            return IsMin ? -0.5 : MaxZOrder + 0.5;
        bool Any = false;
        double Result = 0;
        for (int i = 0; i < SeriesCount(); ++i) {
            TChartSeries* S = Series(i);
            if (!S->Active())
                continue;
            const double V = IsMin ? S->MinZValue() : S->MaxZValue();
            if (!Any || (IsMin ? V < Result : V > Result))
                Result = V;
            Any = true;
        }
        return Result;
    }
    if (FMaxPointsPerPage > 0) {
        // With paging the paged dimension shows the points of the page.
        TChartSeries* S = GetAxisSeries(Axis);
        const bool PagedIsX = S == nullptr || S->YMandatory();
        if (IsX == PagedIsX) {
            TChartSeries* T = GetAxisSeriesMaxPoints(Axis);
            if (T == nullptr || T->Count() == 0)
                return 0;
            int First = 0, Last = 0;
            T->CalcFirstLastPage(First, Last);
            TChartValueList* L = IsX ? T->XValues() : T->YValues();
            if (IsMin)
                return L->Value(First);
            const int N = Last - First + 1;
            if (!FScaleLastPage && N < FMaxPointsPerPage) {
                const double A = L->Value(First), B = L->Value(Last);
                return B == A ? A + static_cast<double>(FMaxPointsPerPage) / N
                              : A + (B - A) * FMaxPointsPerPage / N;
            }
            return L->Value(Last);
        }
    }
    const bool AnySeries = NoActiveSeries(Axis);
    bool Any = false;
    double Result = 0;
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* S = Series(i);
        if (S->Count() == 0 || !(AnySeries || S->Active()))
            continue;
        const bool Bound = IsX ? (S->HorizAxis() == aBothHorizAxis || S->GetHorizAxis() == Axis)
                               : (S->VertAxis() == aBothVertAxis || S->GetVertAxis() == Axis);
        if (!Bound)
            continue;
        double V;
        if (IsX)
            V = IsMin ? S->MinXValue() : S->MaxXValue();
        else
            V = IsMin ? S->MinYValue() : S->MaxYValue();
        if (!Any || (IsMin ? V < Result : V > Result))
            Result = V;
        Any = true;
    }
    return Result;
}

int TCustomAxisPanel::MultiLineTextWidth(const std::string& Text, int& NumLines)
{
    NumLines = 0;
    if (Text.empty())
        return 0;
    int Result = 0;
    size_t Start = 0;
    while (Start <= Text.size()) {
        size_t End = Text.find(ChLineSeparator, Start);
        if (End == std::string::npos)
            End = Text.size();
        if (End == Text.size() && Start == Text.size())
            break;
        Result = std::max(Result, ChartCanvas()->TextWidth(Text.substr(Start, End - Start)));
        ++NumLines;
        Start = End + 1;
    }
    return Result;
}

int TCustomAxisPanel::MaxTextWidth()
{
    int Result = 0;
    int Lines = 0;
    for (int i = 0; i < SeriesCount(); ++i) {
        TLabelsList& L = Series(i)->Labels();
        for (int j = 0; j < L.Count(); ++j)
            Result = std::max(Result, MultiLineTextWidth(L.GetLabel(j), Lines));
    }
    return Result;
}

int TCustomAxisPanel::MaxMarkWidth()
{
    int Result = 0;
    for (int i = 0; i < SeriesCount(); ++i)
        if (Series(i)->Active())
            Result = std::max(Result, Series(i)->MaxMarkWidth());
    return Result;
}

TColor TCustomAxisPanel::GetDefaultColor(int Index) const
{
    if (!CustomPalette.empty())
        return CustomPalette[static_cast<size_t>(Index) % CustomPalette.size()];
    return ::GetDefaultColor(Index);
}

TColor TCustomAxisPanel::GetFreeSeriesColor(bool CheckBackground, TChartSeries* ASeries)
{
    const TColorArray& Palette = CustomPalette.empty() ? ColorPalette : CustomPalette;
    if (Palette.empty())
        return clSeriesDefault;
    for (size_t i = 0; i + 1 < Palette.size(); ++i)
        if (IsFreeSeriesColor(Palette[i], CheckBackground, ASeries))
            return Palette[i];
    return Palette.back();
}

bool TCustomAxisPanel::IsFreeSeriesColor(TColor AColor, bool CheckBackground, TChartSeries* ASeries)
{
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* S = Series(i);
        if (S != ASeries && S->SeriesColor() == AColor)
            return false;
    }
    return !CheckBackground || AColor != GetBackColor();
}

void TCustomAxisPanel::ColorPaletteChanged()
{
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* S = Series(i);
        if (!S->IsColorStored())
            S->ChangeInternalColor(GetFreeSeriesColor(true, S));
    }
}

void TCustomAxisPanel::BroadcastSeriesEvent(TChartSeries* ASeries, TChartSeriesEvent Event)
{
    if (FFreeing)
        return;
    TChSeriesEvent E;
    E.Event = Event;
    E.Series = ASeries;
    BroadcastChEvent(&E);
}

void TCustomAxisPanel::BroadcastToolEvent(TChartToolEvent Event)
{
    for (int i = 0; i < FTools->Count(); ++i)
        if (FTools->Get(i)->Active())
            FTools->Get(i)->ChartEvent(Event);
}

// ------------------------------------------------------------------ series groups

TSeriesGroupActive TSeriesGroup::Active() const
{
    int Count = 0;
    for (int i = 0; i < FSeries.Count(); ++i)
        if (FSeries[i]->Active())
            ++Count;
    if (Count == FSeries.Count())
        return gaYes;
    return Count == 0 ? gaNo : gaSome;
}

void TSeriesGroup::SetActive(TSeriesGroupActive Value)
{
    if (Value == gaSome || Value == Active())
        return;
    for (int i = 0; i < FSeries.Count(); ++i)
        FSeries[i]->SetActive(Value == gaYes);
}

void TSeriesGroup::SetSeries(const TCustomSeriesList& Value)
{
    FSeries.Clear();
    for (int i = 0; i < Value.Count(); ++i)
        FSeries.Add(Value[i]);
}

TSeriesGroup* TSeriesGroups::Add(TCustomAxisPanel* Chart)
{
    FItems.push_back(std::make_unique<TSeriesGroup>(Chart));
    return FItems.back().get();
}

int TSeriesGroups::Contains(const TChartSeries* Series) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[static_cast<size_t>(i)]->Series().IndexOf(Series) >= 0)
            return i;
    return -1;
}

void TSeriesGroups::RemoveSeries(const TChartSeries* Series)
{
    for (auto& G : FItems)
        while (G->Series().Remove(const_cast<TChartSeries*>(Series)) >= 0) {
        }
}

TSeriesGroup* TChartSeriesList::AddGroup(const std::string& Name)
{
    TSeriesGroup* G = FGroups.Add(Owner);
    G->SetName(Name);
    return G;
}

bool TChartSeriesList::AllActive() const
{
    for (int i = 0; i < Count(); ++i)
        if (!Get(i)->Active())
            return false;
    return true;
}

void TChartSeriesList::SetAllActive(bool Value)
{
    for (int i = 0; i < Count(); ++i)
        Get(i)->SetActive(Value);
}

// ------------------------------------------------------------------ axes lists

int TChartAxes::IndexOf(const TChartAxis* Axis) const
{
    auto It = std::find(FItems.begin(), FItems.end(), Axis);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

void TChartAxes::Remove(TChartAxis* Axis)
{
    auto It = std::find(FItems.begin(), FItems.end(), Axis);
    if (It != FItems.end())
        FItems.erase(It);
}

void TChartAxes::SetFastCalc(bool Value)
{
    FFastCalc = Value;
    for (TChartAxis* A : FItems)
        A->SetCalcPosValue();
}

void TChartAxes::Reset()
{
    for (TChartAxis* A : FItems)
        A->SetAutomatic(true);
}

// Custom axes are owned by their collection; they only leave the list here.
void TChartAxes::Clear()
{
    std::vector<TChartAxis*> Own;
    for (TChartAxis* A : FItems)
        if (!A->IsCustomItem)
            Own.push_back(A);
    for (TChartAxis* A : Own)
        delete A;
    FItems.clear();
}

bool TChartAxes::Behind() const { return Chart->AxisBehind(); }
void TChartAxes::SetBehind(bool Value) { Chart->SetAxisBehind(Value); }
bool TChartAxes::Visible() const { return Chart->AxisVisible(); }
void TChartAxes::SetVisible(bool Value) { Chart->SetAxisVisible(Value); }

TChartAxis* TChartCustomAxes::Get(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", Index));
    return FItems[static_cast<size_t>(Index)].get();
}

TChartAxis* TChartCustomAxes::Add()
{
    FItems.push_back(std::make_unique<TChartAxis>(FChart));
    FItems.back()->IsCustomItem = true;
    return FItems.back().get();
}

void TChartCustomAxes::Delete(int Index)
{
    Get(Index);
    FItems.erase(FItems.begin() + Index);
}

void TChartCustomAxes::ResetScales(TChartAxis* Axis)
{
    for (auto& A : FItems)
        if (A->MasterAxis == Axis && A.get() != Axis)
            A->SetMinMax(Axis->Minimum(), Axis->Maximum());
}

// ------------------------------------------------------------------ tools

TChCustomTool::~TChCustomTool()
{
    if (FParent != nullptr)
        FParent->Tools().Remove(this);
    FParent = nullptr;
}

void TChCustomTool::SetParentChart(TCustomAxisPanel* Value)
{
    if (Value == FParent)
        return;
    if (FParent != nullptr) {
        FParent->Tools().Remove(this);
        if (Value == nullptr)
            FParent->Repaint();
    }
    TCustomChartElement::SetParentChart(Value);
    if (Value != nullptr)
        Value->Tools().Append(this);
}

TChCustomToolSeries::~TChCustomToolSeries()
{
    if (FSeries != nullptr)
        FSeries->RemoveFreeNotification(this);
}

void TChCustomToolSeries::SetSeries(TChartSeries* Value)
{
    ReplaceReference(FSeries, Value);
}

void TChCustomToolSeries::Notification(TComponent* AComponent, TOperation Operation)
{
    TChCustomTool::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSeries) {
        FSeries = nullptr;
    }
}

TChartAxis* TChCustomToolSeries::GetHorizAxis() const
{
    if (FSeries != nullptr)
        return FSeries->GetHorizAxis();
    return FParent != nullptr ? FParent->BottomAxis() : nullptr;
}

TChartAxis* TChCustomToolSeries::GetVertAxis() const
{
    if (FSeries != nullptr)
        return FSeries->GetVertAxis();
    return FParent != nullptr ? FParent->LeftAxis() : nullptr;
}

void TChCustomToolAxis::SetAxis(TChartAxis* Value)
{
    if (FAxis == Value)
        return;
    FAxis = Value;
    SetParentChart(Value != nullptr ? Value->ParentChart() : nullptr);
    Repaint();
}

int TChCustomToolAxis::AxisID() const
{
    if (FAxis == nullptr || FAxis->ParentChart() == nullptr)
        return -1;
    return FAxis->ParentChart()->AxesList().IndexOf(FAxis);
}

void TChCustomToolAxis::ReadAxisID(int Value)
{
    if (FParent != nullptr && Value >= 0 && Value < FParent->AxesList().Count())
        SetAxis(FParent->AxesList().Get(Value));
}

TChCustomTool* TChartTools::Add(TChCustomTool* Tool)
{
    Tool->SetParentChart(Owner);
    return Tool;
}

void TChartTools::Clear()
{
    while (!FItems.empty()) {
        TChCustomTool* Tool = FItems.front();
        const size_t Before = FItems.size();
        delete Tool;
        if (FItems.size() == Before)
            FItems.erase(FItems.begin());
    }
}

void TChartTools::SetActive(bool Value)
{
    for (TChCustomTool* Tool : FItems)
        Tool->SetActive(Value);
}

void TChartTools::Remove(TChCustomTool* Tool)
{
    auto It = std::find(FItems.begin(), FItems.end(), Tool);
    if (It != FItems.end())
        FItems.erase(It);
}

int TChartTools::IndexOf(const TChCustomTool* Tool) const
{
    auto It = std::find(FItems.begin(), FItems.end(), Tool);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}
