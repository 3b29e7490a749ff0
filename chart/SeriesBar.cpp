// Bar series layout and stacking; the drawing of a bar, its marks and the
// hit test are in SeriesBarDraw.cpp.
#include "chart/SeriesBar.h"

#include "chart/ChMarks.h"
#include "platform/PublishedProps.h"

#include <algorithm>
#include <vector>

const TIdentMap& BarStyleIdents()
{
    static const TIdentMap Map =
        TIdentMap::Names({"bsRectangle", "bsPyramid", "bsInvPyramid", "bsCilinder", "bsEllipse", "bsArrow",
                          "bsRectGradient", "bsCone", "bsBevel", "bsSlantCube", "bsDiamond"});
    return Map;
}

const TIdentMap& MultiBarIdents()
{
    static const TIdentMap Map =
        TIdentMap::Names({"mbNone", "mbSide", "mbStacked", "mbStacked100", "mbSideAll", "mbSelfStack"});
    return Map;
}

namespace {

// Either series' class is the other's or derives from it.
bool SameBarKind(const TChartSeries* A, const TChartSeries* B)
{
    if (dynamic_cast<const TCustomBarSeries*>(B) == nullptr)
        return false;
    return A->ClassType()->InheritsFrom(B->ClassType()) || B->ClassType()->InheritsFrom(A->ClassType());
}

} // namespace

// ------------------------------------------------------------------ gradient

void TBarSeriesGradient::SetRelative(bool Value)
{
    if (FRelative == Value)
        return;
    FRelative = Value;
    Changed();
}

void TBarSeriesGradient::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TBarSeriesGradient*>(Source))
        FRelative = S->FRelative;
    TChGradient::Assign(Source);
}

// ------------------------------------------------------------------ life

TCustomBarSeries::TCustomBarSeries(TComponent* AOwner) : TChartSeries(AOwner)
{
    const auto Changed = [this](TObject* Sender) { CanvasChanged(Sender); };
    FGradient = std::make_unique<TBarSeriesGradient>(Changed);
    FGradient->SetVisible(true);
    Marks()->SetVisible(true);
    Marks()->DefaultVisible = true;
    TMarksCallout* C = Marks()->Callout();
    C->SetLength(20);
    C->UnstoredLength = 20;
    FTickLines = std::make_unique<TChartHiddenPen>(Changed);
}

TCustomBarSeries::~TCustomBarSeries() = default;

// Bars are filled with their gradient unless the form says otherwise.
void TBarSeriesGradient::Publish(TPublisher<TBarSeriesGradient>& P)
{
    P.Boolean("Relative", &TBarSeriesGradient::Relative, &TBarSeriesGradient::SetRelative).Default(false);
    P.Redeclare("Visible").Default(true);
}

void TCustomBarSeries::Publish(TPublisher<TCustomBarSeries>& P)
{
    using S = TCustomBarSeries;
    P.Object("BarBrush", &S::BarBrush);
    P.Object("BarPen", &S::BarPen);
    P.Integer("BevelSize", &S::BevelSize, &S::SetBevelSize).Default(1);
    P.Boolean("AutoBarSize", &S::AutoBarSize, &S::SetAutoBarSize).Default(false);
    P.Boolean("AutoMarkPosition", &S::AutoMarkPosition, &S::SetAutoMarkPosition).Default(true);
    P.Enumeration("BarStyle", &S::BarStyle, &S::SetBarStyle, BarStyleIdents()).Default(bsRectangle);
    P.Integer("BarWidthPercent", &S::BarWidthPercent, &S::SetBarWidthPercent).Default(70);
    P.Boolean("Dark3D", &S::Dark3D, &S::SetDark3D).Default(true);
    P.Integer("DepthPercent", &S::DepthPercent, &S::SetDepthPercent).Default(100);
    P.Object("Gradient", &S::Gradient);
    P.Enumeration("MultiBar", &S::MultiBar, &S::SetMultiBar, MultiBarIdents()).Default(mbSide);
    P.Integer("OffsetPercent", &S::OffsetPercent, &S::SetOffsetPercent).Default(0);
    P.Boolean("SideMargins", &S::SideMargins, &S::SetSideMargins).Default(true);
    P.Integer("StackGroup", &S::StackGroup, &S::SetStackGroup).Default(0);
    P.Object("TickLines", &S::TickLines);
    P.Boolean("UseYOrigin", &S::UseYOrigin, &S::SetUseYOrigin).Default(true);
    P.Float("YOrigin", &S::YOrigin, &S::SetYOrigin).Default(0);
}

void TCustomBarSeries::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TCustomBarSeries*>(Source)) {
        FAutoMarkPosition = S->FAutoMarkPosition;
        FBarWidthPercent = S->FBarWidthPercent;
        FBarStyle = S->FBarStyle;
        FBevelSize = S->FBevelSize;
        FCustomBarWidth = S->FCustomBarWidth;
        FDark3D = S->FDark3D;
        FDepthPercent = S->FDepthPercent;
        FGradient->Assign(S->FGradient.get());
        FMultiBar = S->FMultiBar;
        FOffsetPercent = S->FOffsetPercent;
        FYOrigin = S->FYOrigin;
        FSideMargins = S->FSideMargins;
        FStackGroup = S->FStackGroup;
        FTickLines->Assign(S->FTickLines.get());
        FTransparency = S->FTransparency;
        FUseYOrigin = S->FUseYOrigin;
    }
    TChartSeries::Assign(Source);
}

void TCustomBarSeries::SetParentChart(TCustomAxisPanel* Value)
{
    TChartSeries::SetParentChart(Value);
    if (Value != nullptr)
        SetOtherBars(false);
}

void TCustomBarSeries::SetBarStyle(TBarStyle Value)
{
    if (FBarStyle == Value)
        return;
    FBarStyle = Value;
    Repaint();
}

void TCustomBarSeries::SetTransparency(TChTransparency Value)
{
    if (FTransparency == Value)
        return;
    FTransparency = Value;
    Repaint();
}

// ------------------------------------------------------------------ one mode for the kind

void TCustomBarSeries::SetOtherBars(bool SetOthers)
{
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart == nullptr)
        return;
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        auto* S = dynamic_cast<TCustomBarSeries*>(Chart->Series(i));
        if (S == nullptr || !SameBarKind(this, S))
            continue;
        if (!SetOthers) {
            if (S != this) {
                FMultiBar = S->FMultiBar;
                FSideMargins = S->FSideMargins;
            }
            return;
        }
        S->FMultiBar = FMultiBar;
        S->FSideMargins = FSideMargins;
        S->CalcVisibleRange = FMultiBar != mbSelfStack;
    }
}

void TCustomBarSeries::SetMultiBar(TMultiBar Value)
{
    if (FMultiBar == Value)
        return;
    FMultiBar = Value;
    SetOtherBars(true);
    Repaint();
}

void TCustomBarSeries::SetSideMargins(bool Value)
{
    SetBooleanProperty(FSideMargins, Value);
    SetOtherBars(true);
}

// ------------------------------------------------------------------ layout

void TCustomBarSeries::DoBeforeDrawChart()
{
    FBarIndex = 1;
    FPointsBefore = 0;
    FBarCount = 0;
    FSlotCount = -1;
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart == nullptr)
        return;
    std::vector<int> Groups;
    bool Met = false;
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        TChartSeries* S = Chart->Series(i);
        if (!S->Active() || !SameBarKind(this, S))
            continue;
        if (S == this)
            Met = true;
        const int N = S->Count();
        if (FSlotCount == -1 || FSlotCount < N)
            FSlotCount = FSideMargins ? N + 1 : N;
        switch (FMultiBar) {
        case mbNone:
        case mbSelfStack:
            FBarCount = 1;
            break;
        case mbStacked:
        case mbStacked100: {
            const int Group = static_cast<TCustomBarSeries*>(S)->FStackGroup;
            if (std::find(Groups.begin(), Groups.end(), Group) == Groups.end()) {
                Groups.push_back(Group);
                ++FBarCount;
                if (!Met)
                    ++FBarIndex;
            }
            break;
        }
        case mbSide:
        case mbSideAll:
            ++FBarCount;
            if (!Met)
                ++FBarIndex;
            break;
        }
        if (!Met)
            FPointsBefore += N;
    }
    const auto Place = std::find(Groups.begin(), Groups.end(), FStackGroup);
    if (Place != Groups.end())
        FBarIndex = static_cast<int>(Place - Groups.begin()) + 1;
    if (Chart->MaxPointsPerPage() > 0)
        FSlotCount = Chart->MaxPointsPerPage();
}

int TCustomBarSeries::BarMargin() const
{
    int Result = FMultiBar == mbSideAll ? FBarPixels : FBarPixels * FBarCount;
    if (!FSideMargins)
        Result /= 2;
    return Result;
}

void TCustomBarSeries::InternalApplyBarMargin(int& First, int& Second)
{
    if (FCustomBarWidth != 0)
        FBarPixels = FCustomBarWidth;
    else if (FSlotCount <= 0 || FBarCount <= 0)
        FBarPixels = 0;
    else {
        TChartAxis* Axis = CategoryAxis();
        const int Length = Axis->PixelSize();
        const int Slot = FAutoBarSize ? ChRound(Length / (Axis->Maximum() + 2 - Axis->Minimum())) : Length / FSlotCount;
        FBarPixels = ChRound(FBarWidthPercent * 0.01 * Slot) / FBarCount;
        if (FBarPixels > 0 && FBarPixels % 2 == 1)
            ++FBarPixels;
    }
    First += BarMargin();
    Second += BarMargin();
}

int TCustomBarSeries::ApplyBarOffset(int Position) const
{
    if (FOffsetPercent == 0)
        return Position;
    return Position + ChRound(FOffsetPercent * FBarPixels * 0.01);
}

int TCustomBarSeries::CategoryBarPos(int ValueIndex, int BasePos)
{
    TChartAxis* Axis = CategoryAxis();
    const bool Horizontal = Axis->Horizontal();
    const auto PosOf = [&](double Value) {
        return Horizontal ? CalcXPosValue(Value) : CalcYPosValue(Value);
    };
    int Result;
    switch (FMultiBar) {
    case mbSideAll:
        Result = PosOf(ValueIndex + FPointsBefore) - FBarPixels / 2;
        break;
    case mbSelfStack:
        Result = PosOf(Horizontal ? MinXValue() : MinYValue()) - FBarPixels / 2;
        break;
    case mbNone:
        Result = BasePos - FBarPixels / 2;
        break;
    default:
        Result = BasePos + ChRound((FBarIndex - FBarCount * 0.5 - 1) * FBarPixels);
        break;
    }
    return ApplyBarOffset(Result);
}

double TCustomBarSeries::PointOrigin(int ValueIndex, bool SumAll)
{
    if (FMultiBar == mbSelfStack) {
        double Result = 0;
        for (int i = 0; i < ValueIndex && i < Count(); ++i)
            Result += MandatoryValueList()->Value(i);
        return Result;
    }
    if (!IsStackedMode())
        return FYOrigin;
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart == nullptr)
        return 0;
    const bool Negative = MandatoryValueList()->Value(ValueIndex) < 0;
    double Result = 0;
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        TChartSeries* S = Chart->Series(i);
        if (!SumAll && S == this)
            break;
        if (!S->Active() || !SameBarKind(this, S) || S->Count() <= ValueIndex ||
            static_cast<TCustomBarSeries*>(S)->FStackGroup != FStackGroup)
            continue;
        const double V = S->GetOriginValue(ValueIndex);
        if (Negative ? V < 0 : V >= 0)
            Result += V;
    }
    return Result;
}

// A 100 % stack whose values sum to 0 has no share to show: its bars lie on
// the value axis' pixel of 0.
int TCustomBarSeries::StackedValuePos(int ValueIndex, double Value)
{
    if (FMultiBar == mbStacked100) {
        const double Total = PointOrigin(ValueIndex, true);
        return CalcPosValue(Total == 0 ? 0 : Value * 100 / Total);
    }
    return CalcPosValue(Value);
}

int TCustomBarSeries::InternalGetOriginPos(int ValueIndex, int DefaultOrigin)
{
    const double Origin = PointOrigin(ValueIndex, false);
    if (IsStackedMode() || FMultiBar == mbSelfStack)
        return StackedValuePos(ValueIndex, Origin);
    return FUseYOrigin ? CalcPosValue(Origin) : DefaultOrigin;
}

int TCustomBarSeries::GetOriginPos(int ValueIndex)
{
    const int Default = YMandatory() ? GetVertAxis()->PixelEnd() : GetHorizAxis()->PixelStart();
    return InternalGetOriginPos(ValueIndex, Default);
}

double TCustomBarSeries::MaxMandatoryValue(double Value)
{
    if (FMultiBar == mbStacked100)
        return 100;
    if (FMultiBar == mbSelfStack)
        Value = MandatoryValueList()->Total();
    else if (FMultiBar == mbStacked)
        for (int i = 0; i < Count(); ++i)
            Value = std::max(Value, PointOrigin(i, false) + MandatoryValueList()->Value(i));
    if (FUseYOrigin && Value < FYOrigin)
        Value = FYOrigin;
    return Value;
}

double TCustomBarSeries::MinMandatoryValue(double Value)
{
    if (FMultiBar == mbStacked100)
        return 0;
    if (FMultiBar == mbStacked || FMultiBar == mbSelfStack)
        for (int i = 0; i < Count(); ++i)
            Value = std::min(Value, PointOrigin(i, false) + MandatoryValueList()->Value(i));
    if (FUseYOrigin && Value > FYOrigin)
        Value = FYOrigin;
    return Value;
}

double TCustomBarSeries::MaxCategoryValue(double Value)
{
    if (FMultiBar == mbSideAll)
        return Count() + FPointsBefore - 1;
    if (FMultiBar == mbSelfStack && ParentChart() != nullptr)
        return ParentChart()->SeriesList().IndexOf(this);
    return Value;
}

double TCustomBarSeries::MinCategoryValue(double Value)
{
    if (FMultiBar == mbSelfStack && ParentChart() != nullptr)
        return ParentChart()->SeriesList().IndexOf(this);
    return Value;
}

TBarStyle TCustomBarSeries::GetBarStyle(int ValueIndex)
{
    TBarStyle Result = FBarStyle;
    if (OnGetBarStyle)
        OnGetBarStyle(this, ValueIndex, Result);
    return Result;
}

int TCustomBarSeries::CalcMarkLength(int ValueIndex)
{
    if (Count() == 0 || !Marks()->Visible() || ParentChart() == nullptr)
        return 0;
    TCanvas3D* C = ParentChart()->ChartCanvas();
    C->AssignFont(Marks()->Font());
    int Result = InternalCalcMarkLength(ValueIndex) + Marks()->Callout()->Length();
    if (Marks()->Pen()->Visible())
        Result += 2 * Marks()->Pen()->Width();
    return Result;
}

// ------------------------------------------------------------------ depth

void TCustomBarSeries::CalcZOrder()
{
    TCustomAxisPanel* Chart = ParentChart();
    if (FMultiBar != mbNone && Chart != nullptr)
        for (int i = 0; i < Chart->SeriesCount(); ++i) {
            TChartSeries* S = Chart->Series(i);
            if (S == this)
                break;
            if (S->Active() && SameBarKind(this, S)) {
                ComputedZOrder = S->GetZOrder();
                return;
            }
        }
    TChartSeries::CalcZOrder();
}

void TCustomBarSeries::CalcDepthPositions()
{
    TChartSeries::CalcDepthPositions();
    if (FDepthPercent == 0)
        return;
    const int D = ChRound((100 - FDepthPercent) * (EndZ - StartZ) * 0.005);
    StartZ += D;
    EndZ -= D;
}

// ------------------------------------------------------------------ TBarSeries

TBarSeries::TBarSeries(TComponent* AOwner) : TCustomBarSeries(AOwner)
{
    Gradient()->SetDirection(gdTopBottom);
    MandatoryValueList()->SetName(ChMsg_ValuesBar);
}

void TBarSeries::Publish(TPublisher<TBarSeries>& P)
{
    P.Integer("CustomBarWidth", &TBarSeries::CustomBarWidth, &TBarSeries::SetCustomBarSize).Default(0);
}

void TBarSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    LeftMargin = RightMargin = 0;
    InternalApplyBarMargin(LeftMargin, RightMargin);
}

void TBarSeries::CalcVerticalMargins(int& TopMargin, int& BottomMargin)
{
    TopMargin = BottomMargin = 0;
    const int L = CalcMarkLength(0);
    if (L <= 0)
        return;
    const bool Inverted = GetVertAxis()->Inverted();
    if (UseYOrigin() && TChartSeries::MinYValue() < YOrigin())
        (Inverted ? TopMargin : BottomMargin) += L + 1;
    if (!(UseYOrigin() && TChartSeries::MaxYValue() <= YOrigin()))
        (Inverted ? BottomMargin : TopMargin) += L + 1;
}

int TBarSeries::CalcXPos(int ValueIndex)
{
    return CategoryBarPos(ValueIndex, TCustomBarSeries::CalcXPos(ValueIndex));
}

int TBarSeries::CalcYPos(int ValueIndex)
{
    if (!IsStackedMode() && MultiBar() != mbSelfStack)
        return TCustomBarSeries::CalcYPos(ValueIndex);
    return StackedValuePos(ValueIndex, PointOrigin(ValueIndex, false) + YValues()->Value(ValueIndex));
}

double TBarSeries::MaxXValue() { return MaxCategoryValue(TCustomBarSeries::MaxXValue()); }
double TBarSeries::MinXValue() { return MinCategoryValue(TCustomBarSeries::MinXValue()); }
double TBarSeries::MaxYValue() { return MaxMandatoryValue(TCustomBarSeries::MaxYValue()); }
double TBarSeries::MinYValue() { return MinMandatoryValue(TCustomBarSeries::MinYValue()); }

bool TBarSeries::DrawSeriesForward(int ValueIndex)
{
    const bool Inverted = GetVertAxis()->Inverted();
    switch (MultiBar()) {
    case mbStacked:
    case mbSelfStack: {
        const bool Above = YValues()->Value(ValueIndex) >= YOrigin();
        return Above != Inverted;
    }
    case mbStacked100:
        return !Inverted;
    default:
        return TCustomBarSeries::DrawSeriesForward(ValueIndex);
    }
}

bool TBarSeries::MoreSameZOrder()
{
    return MultiBar() != mbSideAll && TCustomBarSeries::MoreSameZOrder();
}

int TBarSeries::InternalCalcMarkLength(int /*ValueIndex*/)
{
    return ParentChart()->ChartCanvas()->GetFontHeight();
}

// ------------------------------------------------------------------ THorizBarSeries

THorizBarSeries::THorizBarSeries(TComponent* AOwner) : TCustomBarSeries(AOwner)
{
    SetHorizontal();
    XValues()->SetOrder(loNone);
    YValues()->SetOrder(loAscending);
    Gradient()->SetDirection(gdLeftRight);
    MandatoryValueList()->SetName(ChMsg_ValuesBar);
}

void THorizBarSeries::Publish(TPublisher<THorizBarSeries>& P)
{
    P.Integer("CustomBarHeight", &THorizBarSeries::CustomBarWidth, &THorizBarSeries::SetCustomBarSize).Default(0);
}

void THorizBarSeries::CalcVerticalMargins(int& TopMargin, int& BottomMargin)
{
    TopMargin = BottomMargin = 0;
    InternalApplyBarMargin(TopMargin, BottomMargin);
}

void THorizBarSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    LeftMargin = RightMargin = 0;
    int L = CalcMarkLength(-1);
    if (L > 0)
        ++L;
    if (UseYOrigin() && TChartSeries::MinXValue() < YOrigin())
        LeftMargin += L;
    if (!(UseYOrigin() && TChartSeries::MaxXValue() <= YOrigin()))
        (GetHorizAxis()->Inverted() ? LeftMargin : RightMargin) += L;
}

int THorizBarSeries::CalcYPos(int ValueIndex)
{
    return CategoryBarPos(ValueIndex, TCustomBarSeries::CalcYPos(ValueIndex));
}

int THorizBarSeries::CalcXPos(int ValueIndex)
{
    if (!IsStackedMode() && MultiBar() != mbSelfStack)
        return TCustomBarSeries::CalcXPos(ValueIndex);
    return StackedValuePos(ValueIndex, PointOrigin(ValueIndex, false) + XValues()->Value(ValueIndex));
}

double THorizBarSeries::MaxXValue() { return MaxMandatoryValue(TCustomBarSeries::MaxXValue()); }
double THorizBarSeries::MinXValue() { return MinMandatoryValue(TCustomBarSeries::MinXValue()); }
double THorizBarSeries::MaxYValue() { return MaxCategoryValue(TCustomBarSeries::MaxYValue()); }
double THorizBarSeries::MinYValue() { return MinCategoryValue(TCustomBarSeries::MinYValue()); }

bool THorizBarSeries::DrawSeriesForward(int ValueIndex)
{
    const bool Inverted = GetHorizAxis()->Inverted();
    switch (MultiBar()) {
    case mbNone:
        return TCustomBarSeries::DrawSeriesForward(ValueIndex);
    case mbSide:
    case mbSideAll:
        return false;
    case mbStacked:
    case mbSelfStack:
        return (XValues()->Value(ValueIndex) >= 0) != Inverted;
    case mbStacked100:
        return !Inverted;
    }
    return true;
}

int THorizBarSeries::InternalCalcMarkLength(int ValueIndex)
{
    if (ValueIndex == -1)
        return MaxMarkWidth();
    return ParentChart()->ChartCanvas()->TextWidth(GetMarkText(ValueIndex));
}
