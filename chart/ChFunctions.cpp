// Series functions: periods by point count or X range, where each result
// lands, several sources combined point by point, and the moving window.
#include "chart/ChFunctions.h"

#include "chart/ChProcs.h"

#include <algorithm>
#include <cmath>

namespace {

// Round to nearest, ties to even, as the library rounds everywhere.
int RoundPeriod(double Value)
{
    const double R = std::nearbyint(Value);
    if (R >= 2147483647.0)
        return 2147483647;
    if (R <= -2147483647.0)
        return -2147483647;
    return static_cast<int>(R);
}

}  // namespace

const TIdentMap& FunctionPeriodStyleIdents()
{
    static const TIdentMap M = TIdentMap::Names({"psNumPoints", "psRange"});
    return M;
}

const TIdentMap& FunctionPeriodAlignIdents()
{
    static const TIdentMap M = TIdentMap::Names({"paFirst", "paCenter", "paLast"});
    return M;
}

// ------------------------------------------------------------------ TChFunction

TChFunction::TChFunction(TComponent* AOwner) : TComponent(AOwner) {}

// The parent series forgets its function (its free notice tells it too).
TChFunction::~TChFunction()
{
    if (FParentSeries != nullptr && FParentSeries->FFunction == this)
        FParentSeries->FFunction = nullptr;
    FParentSeries = nullptr;
}

void TChFunction::Publish(TPublisher<TChFunction>& P)
{
    P.Float("Period", &TChFunction::Period, &TChFunction::SetPeriod).NoDefault();
    P.Enumeration("PeriodAlign", &TChFunction::PeriodAlign, &TChFunction::SetPeriodAlign,
                  FunctionPeriodAlignIdents())
        .Default(paCenter);
    P.Enumeration("PeriodStyle", &TChFunction::PeriodStyle, &TChFunction::SetPeriodStyle,
                  FunctionPeriodStyleIdents())
        .Default(psNumPoints);
}

void TChFunction::Assign(TPersistent* Source)
{
    if (auto* F = dynamic_cast<TChFunction*>(Source)) {
        FPeriod = F->FPeriod;
        FPeriodStyle = F->FPeriodStyle;
        FPeriodAlign = F->FPeriodAlign;
    }
}

void TChFunction::SetPeriod(double Value)
{
    if (Value < 0)
        throw ChartException(ChMsg_FunctionPeriod);
    if (FPeriod != Value) {
        FPeriod = Value;
        ReCalculate();
    }
}

void TChFunction::SetPeriodStyle(TFunctionPeriodStyle Value)
{
    if (FPeriodStyle != Value) {
        FPeriodStyle = Value;
        ReCalculate();
    }
}

void TChFunction::SetPeriodAlign(TFunctionPeriodAlign Value)
{
    if (FPeriodAlign != Value) {
        FPeriodAlign = Value;
        ReCalculate();
    }
}

void TChFunction::SetParentSeries(TChartSeries* Value)
{
    if (Value == FParentSeries)
        return;
    if (FParentSeries != nullptr && FParentSeries->FFunction == this) {
        FParentSeries->FFunction = nullptr;
        FParentSeries->RemoveFreeNotification(this);
    }
    FParentSeries = nullptr;
    if (Value != nullptr)
        Value->SetFunction(this);
}

void TChFunction::SetParentComponent(TComponent* Value)
{
    if (auto* S = dynamic_cast<TChartSeries*>(Value))
        SetParentSeries(S);
}

void TChFunction::EndUpdate()
{
    if (FUpdateSuspended) {
        FUpdateSuspended = false;
        ReCalculate();
    }
}

void TChFunction::ReCalculate()
{
    if (!FUpdateSuspended && FParentSeries != nullptr)
        FParentSeries->CheckDataSource();
}

TChartValueList* TChFunction::ValueList(TChartSeries* Source)
{
    const std::string& Name = FParentSeries->MandatoryValueList()->ValueSource();
    if (!Name.empty())
        return Source->GetYValueList(Name);
    return Source->MandatoryValueList();
}

void TChFunction::AddFunctionXY(bool SourceIsVertical, double A, double B)
{
    if (SourceIsVertical)
        FParentSeries->AddXY(A, B);
    else
        FParentSeries->AddXY(B, A);
}

void TChFunction::PrepareForGallery(TCustomAxisPanel* Chart)
{
    for (int i = 0; i < Chart->SeriesCount(); ++i)
        Chart->Series(i)->PrepareForGallery(true);
}

// ------------------------------------------------------------------ calculation

void TChFunction::AddPoints(TChartSeries* Source)
{
    if (FUpdateSuspended || Source == nullptr || FParentSeries == nullptr)
        return;
    const TDataSourcesList& Sources = FParentSeries->DataSources();
    if (Sources.Count() > 1) {
        TChartSeries* Reference = Source;
        for (int i = 0; i < Sources.Count(); ++i)
            if (auto* S = dynamic_cast<TChartSeries*>(Sources[i]); S != nullptr && S->Count() > Reference->Count())
                Reference = S;
        TChartValueList* List = Reference->NotMandatoryValueList();
        if (List == nullptr)
            return;
        for (int t = 0; t < Reference->Count(); ++t) {
            double X = List->Value(t);
            double Y = CalculateMany(Sources, t);
            if (!Reference->YMandatory())
                std::swap(X, Y);
            FParentSeries->AddXY(X, Y, Reference->XLabel(t));
        }
    } else if (Source->Count() > 0) {
        DoCalculation(Source, Source->NotMandatoryValueList());
    }
}

void TChFunction::DoCalculation(TChartSeries* Source, TChartValueList* NotMandatoryList)
{
    if (FPeriod != 0)
        CalculateByPeriod(Source, NotMandatoryList);
    else
        CalculateAllPoints(Source, NotMandatoryList);
}

void TChFunction::CalculateAllPoints(TChartSeries* Source, TChartValueList* List)
{
    const double V = Calculate(Source, -1, -1);
    const bool Vertical = Source->YMandatory();
    if (!FParentSeries->FunctionCentrePoint) {
        AddFunctionXY(Vertical, List->MinValue(), V);
        AddFunctionXY(Vertical, List->MaxValue(), V);
        return;
    }
    const double Middle = List->Range() * 0.5 + List->MinValue();
    if (!Vertical && FParentSeries->YMandatory())
        FParentSeries->AddXY(Middle, V);
    else if (FParentSeries->YMandatory())
        AddFunctionXY(Vertical, Middle, V);
    else
        FParentSeries->AddXY(V, Middle);
}

void TChFunction::CalculatePeriod(TChartSeries* Source, double Position, int FirstIndex, int LastIndex)
{
    AddFunctionXY(Source->YMandatory(), Position, Calculate(Source, FirstIndex, LastIndex));
}

// A point-count period below one point is taken as one point; an X-range
// period too small to move the range on ends the calculation.
void TChFunction::CalculateByPeriod(TChartSeries* Source, TChartValueList* List)
{
    const int n = Source->Count();
    if (n == 0)
        return;
    const bool Vertical = Source->YMandatory();
    const bool ByPoints = FPeriodStyle == psNumPoints;
    const int Points = std::max(1, RoundPeriod(FPeriod));
    const TDateTimeStep Step = FindDateTimeStep(FPeriod);
    TChartAxis* Axis = FParentSeries->GetHorizAxis();
    int t = 0;
    double X = List->Value(0);
    while (t <= n - 1) {
        int Last;
        double FirstPos;
        double LastPos;
        if (ByPoints) {
            Last = t + Points - 1;
            FirstPos = List->Value(t);
            LastPos = Last < n ? List->Value(Last) : 0;
        } else {
            Last = t;
            FirstPos = X;
            double Next = X;
            if (Axis != nullptr)
                Axis->IncDecDateTime(true, Next, FPeriod, Step);
            else
                Next = X + FPeriod;
            if (!(Next > X))
                break;
            X = Next;
            LastPos = X - FPeriod * 0.001;
            while (Last < n - 1 && List->Value(Last + 1) < X)
                ++Last;
        }
        const bool HasPoints = ByPoints || List->Value(t) < X;
        if (Last < n) {
            double Position;
            switch (FPeriodAlign) {
            case paFirst: Position = FirstPos; break;
            case paLast: Position = LastPos; break;
            default: Position = (FirstPos + LastPos) * 0.5; break;
            }
            if (HasPoints)
                CalculatePeriod(Source, Position, t, Last);
            else
                AddFunctionXY(Vertical, Position, 0);
        }
        if (HasPoints)
            t = Last + 1;
    }
}

// ------------------------------------------------------------------ TChMovingFunction

TChMovingFunction::TChMovingFunction(TComponent* AOwner) : TChFunction(AOwner)
{
    InternalSetPeriod(1);
}

void TChMovingFunction::Publish(TPublisher<TChMovingFunction>& P)
{
    P.Redeclare("Period").NoDefault();
}

// A window below one point is taken as one point.
void TChMovingFunction::DoCalculation(TChartSeries* Source, TChartValueList* List)
{
    const int p = std::max(1, RoundPeriod(Period()));
    const int n = Source->Count();
    const bool Vertical = Source->YMandatory();
    for (int t = p - 1; t <= n - 1; ++t)
        AddFunctionXY(Vertical, List->Value(t), Calculate(Source, t - p + 1, t));
}
