// Axes: range, increments, value-to-pixel mapping and layout.
#include "chart/ChEngine.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

// Drawing coordinates are 32-bit on every platform we run on.
int CoordinateLimit = 67108863;

namespace {

// Round to nearest, ties to even, saturating at the int range; NaN gives 0.
int RoundInt(double X)
{
    if (std::isnan(X))
        return 0;
    X = std::nearbyint(X);
    if (X >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (X <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(X);
}

// A pixel position rounded and held within +-CoordinateLimit; a NaN
// position lies off the chart.
int RoundPixel(double P)
{
    const double Limit = CoordinateLimit;
    if (std::isnan(P) || P < -Limit)
        return -CoordinateLimit;
    if (P > Limit)
        return CoordinateLimit;
    // Rounded as nearbyint rounds (to nearest, ties to even), without its
    // library call: adding and taking away 1.5 * 2^52 leaves no fraction
    // bits for a value this small.
    constexpr double Shift = 6755399441055744.0;
    return static_cast<int>((P + Shift) - Shift);
}

// Origin plus a rounded offset, without overflowing.
int AddOffset(int Origin, double Offset)
{
    const double Limit = 2.0 * CoordinateLimit;
    if (std::isnan(Offset))
        return -CoordinateLimit;
    Offset = std::nearbyint(std::clamp(Offset, -Limit, Limit));
    return RoundPixel(static_cast<double>(Origin) + Offset);
}

double RoundHalfEven(double X)
{
    return std::nearbyint(X);
}

}  // namespace

double NiceNextStep(double X)
{
    if (!(X > 0))
        return MinAxisIncrement;
    if (std::isinf(X))
        return X;
    if (X >= 10)
        return 10 * NiceNextStep(X * 0.1);
    if (X < 1)
        return 0.1 * NiceNextStep(X * 10);
    if (X < 2)
        return 2;
    if (X < 5)
        return 5;
    return 10;
}

// ------------------------------------------------------------------ axis title

void TChartAxisTitle::SetCaption(const std::string& Value)
{
    if (FCaption != Value) {
        FCaption = Value;
        Repaint();
    }
}

void TChartAxisTitle::SetAngle(int Value)
{
    if (FAngle != Value) {
        FAngle = Value;
        Repaint();
    }
}

// ------------------------------------------------------------------ life

TChartAxis::TChartAxis(TCustomAxisPanel* Chart) : FChart(Chart)
{
    auto Changed = [this](TObject* Sender) { AxisChanged(Sender); };
    FAxisPen = std::make_unique<TChartPen>(Changed);
    FAxisPen->OnChange = nullptr;
    FAxisPen->SetWidth(2);
    FAxisPen->DefaultWidth = 2;
    FAxisPen->OnChange = Changed;
    FGrid = std::make_unique<TAxisGridPen>(Changed);
    FMinorGrid = std::make_unique<TChartHiddenPen>(Changed);
    FTicks = std::make_unique<TDarkGrayPen>(Changed);
    FTicksInner = std::make_unique<TDarkGrayPen>(Changed);
    FMinorTicks = std::make_unique<TDarkGrayPen>(Changed);
    FLabelsFont = std::make_unique<TChFont>(Changed);
    FTitle = std::make_unique<TChartAxisTitle>(Chart);
    FItems = std::make_unique<TAxisItems>(this);
    // An axis title is plain text unless a frame is asked for.
    FTitle->OwnerDefaultTransparent = true;
    FTitle->SetTransparent(true);
    FAxisValuesFormat = ChMsg_DefValueFormat;
    if (FChart != nullptr)
        FChart->AxesList().Add(this);
    SetCalcPosValue();
}

TChartAxis::~TChartAxis()
{
    if (FChart != nullptr)
        FChart->AxesList().Remove(this);
}

void TChartAxis::AxisChanged(TObject* Sender)
{
    if (FChart != nullptr)
        FChart->Invalidate();
}

// ------------------------------------------------------------------ range

void TChartAxis::InternalSetMinimum(double Value)
{
    FChart->SetDoubleProperty(FMinimum, Value);
}

void TChartAxis::InternalSetMaximum(double Value)
{
    FChart->SetDoubleProperty(FMaximum, Value);
}

// A range that is not finite is ignored: it would break every mapping.
void TChartAxis::SetMinMax(double AMin, double AMax)
{
    if (!std::isfinite(AMin) || !std::isfinite(AMax))
        return;
    FAutomatic = false;
    FAutomaticMinimum = false;
    FAutomaticMaximum = false;
    if (AMin > AMax)
        std::swap(AMin, AMax);
    InternalSetMinimum(AMin);
    InternalSetMaximum(AMax);
    if (FMaximum - FMinimum < MinAxisRange)
        InternalSetMaximum(FMinimum + MinAxisRange);
    FChart->CustomAxes().ResetScales(this);
}

void TChartAxis::SetMinimum(double Value)
{
    if (!std::isfinite(Value))
        return;
    if (!FChart->Loading && Value > FMaximum)
        throw AxisException(ChMsg_AxisMinMax);
    InternalSetMinimum(Value);
}

void TChartAxis::SetMaximum(double Value)
{
    if (!std::isfinite(Value))
        return;
    if (!FChart->Loading && Value < FMinimum)
        throw AxisException(ChMsg_AxisMaxMin);
    InternalSetMaximum(Value);
}

void TChartAxis::SetAutomatic(bool Value)
{
    FChart->SetBooleanProperty(FAutomatic, Value);
    if (!FChart->Loading) {
        FAutomaticMinimum = Value;
        FAutomaticMaximum = Value;
    }
}

void TChartAxis::SetAutomaticMinimum(bool Value)
{
    FChart->SetBooleanProperty(FAutomaticMinimum, Value);
    if (Value) {
        if (FAutomaticMaximum)
            FAutomatic = true;
    } else {
        FAutomatic = false;
    }
}

void TChartAxis::SetAutomaticMaximum(bool Value)
{
    FChart->SetBooleanProperty(FAutomaticMaximum, Value);
    if (Value) {
        if (FAutomaticMinimum)
            FAutomatic = true;
    } else {
        FAutomatic = false;
    }
}

void TChartAxis::CalcMinMax(double& AMin, double& AMax)
{
    if (FAutomatic || FAutomaticMaximum)
        AMax = FChart->InternalMinMax(this, false, FHorizontal);
    if (FAutomatic || FAutomaticMinimum)
        AMin = FChart->InternalMinMax(this, true, FHorizontal);
}

void TChartAxis::AdjustMaxMin()
{
    CalcMinMax(FMinimum, FMaximum);
    FScaleMax = FMaximum;
    FScaleMin = FMinimum;
    InternalCalcRange();
}

// Widens the scale so that the margins (pixels at each end) lie outside
// it. Margins that leave less than one pixel between them keep the scale.
void TChartAxis::AdjustMaxMinRect(const TRect& Rect)
{
    const int StartMargin = FHorizontal ? Rect.Left : Rect.Top;
    const int EndMargin = FHorizontal ? Rect.Right : Rect.Bottom;
    if (StartMargin == 0 && EndMargin == 0)
        return;
    const int OldStart = FPixelStart;
    const int OldEnd = FPixelEnd;
    FPixelStart += StartMargin;
    FPixelEnd -= EndMargin;
    FPixelSize = FPixelEnd - FPixelStart;
    if (FPixelSize < 1) {
        InternalCalcPositions();
        return;
    }
    double NewMin = CalcPosPoint(OldStart);
    double NewMax = CalcPosPoint(OldEnd);
    InternalCalcPositions();
    if (NewMin > NewMax)
        std::swap(NewMin, NewMax);
    FScaleMax = NewMax;
    FScaleMin = NewMin;
    InternalCalcRange();
}

void TChartAxis::SetScale(double AMin, double AMax)
{
    FScaleMin = AMin;
    FScaleMax = AMax;
    InternalCalcRange();
}

void TChartAxis::OffsetPixels(int Delta)
{
    if (Delta == 0)
        return;
    FPixelStart += Delta;
    FPixelEnd += Delta;
    RecalcSizeCenter();
}

void TChartAxis::InternalCalcRange()
{
    FScaleRange = FScaleMax - FScaleMin;
    FScaleRangeIsZero = FScaleRange == 0;
    FPixelsPerValue = FScaleRangeIsZero ? 0 : FPixelSize / FScaleRange;
    if (FLogarithmic) {
        if (FScaleMin > 0)
            FLogScaleFloor = FScaleMin;
        else if (FScaleMax > 0)
            FLogScaleFloor = std::min(1.0, FScaleMax / FLogarithmicBase);
        else
            FLogScaleFloor = 1;
        FLogScaleMin = std::log(FLogScaleFloor);
        FLogScaleMax = FScaleMax > 0 ? std::log(FScaleMax) : FLogScaleMin;
        FLogScaleRange = FLogScaleMax - FLogScaleMin;
        FPixelsPerLogValue = FLogScaleRange == 0 ? 0 : FPixelSize / FLogScaleRange;
    }
    FDepthPixel = CalcZPos();
}

void TChartAxis::Scroll(double Offset, bool CheckLimits)
{
    if (!std::isfinite(Offset))
        return;
    if (!CheckLimits || (Offset > 0 && FChart->InternalMinMax(this, false, FHorizontal) > FMaximum) ||
        (Offset < 0 && FChart->InternalMinMax(this, true, FHorizontal) < FMinimum)) {
        FAutomatic = false;
        FAutomaticMaximum = false;
        FAutomaticMinimum = false;
        FMaximum += Offset;
        FMinimum += Offset;
        FChart->Invalidate();
    }
}

// ------------------------------------------------------------------ increments

void TChartAxis::SetDesiredIncrement(double Value)
{
    if (!(Value >= 0) || std::isinf(Value))
        throw AxisException(ChMsg_AxisIncrementNeg);
    if (IsDateTime())
        (void)DateTimeToStr(Value);
    FChart->SetDoubleProperty(FIncrement, Value);
}

double TChartAxis::CalcIncrement() { return IncrementFor(true); }

double TChartAxis::IncrementFor(bool AskUser)
{
    auto Size = [&](double Value) {
        return AskUser ? InternalLabelSize(FHorizontal, Value)
                       : LabelTextSize(FHorizontal, MultiLineLabel(FormattedLabelValue(Value)));
    };
    const int A = Size(FScaleMax);
    const int B = Size(FScaleMin);
    double Inc = CalcXYIncrement(std::max(A, B));
    if (FLabelsAlternate)
        Inc = FLogarithmic ? Inc / FLogarithmicBase : Inc * 0.5;
    return Inc;
}

int TChartAxis::InternalLabelSize(bool IsWidth, double Value) { return LabelTextSize(IsWidth, LabelValue(Value)); }

int TChartAxis::LabelTextSize(bool IsWidth, const std::string& Text)
{
    int Lines = 0;
    const int W = FChart->MultiLineTextWidth(Text, Lines);
    const bool Across = FLabelsAngle == 90 || FLabelsAngle == 270;
    const bool Along = FLabelsAngle == 0 || FLabelsAngle == 180;
    if ((IsWidth && Across) || (!IsWidth && Along))
        return FChart->ChartCanvas()->GetFontHeight() * Lines;
    return W;
}

double TChartAxis::CalcXYIncrement(int MaxLabelSize)
{
    int N = 1;
    if (MaxLabelSize > 0) {
        int S = MaxLabelSize;
        if (FLabelsSeparation > 0)
            S += RoundInt(FLabelsSeparation * 0.01 * MaxLabelSize);
        N = RoundInt(static_cast<double>(FPixelSize) / S);
    }
    return CalcLabelsIncrement(N);
}

double TChartAxis::CalcLabelsIncrement(int MaxNumLabels)
{
    if (MaxNumLabels < 1)
        return FShowsDateTime ? DateTimeStep[dtOneMicroSecond] : MinAxisIncrement;
    if (FShowsDateTime)
        return CalcDateTimeIncrement(MaxNumLabels);

    double N = MaxNumLabels + 1.0;
    double Inc;
    if (FIncrement > 0) {
        Inc = FIncrement;
    } else if (FScaleRange == 0) {
        Inc = 1;
    } else {
        Inc = std::fabs(FScaleRange) / (MaxNumLabels + 1.0);
        if (FLogarithmic)
            Inc = RoundLogPower(Inc);
        for (int i = 0; i < FChart->SeriesCount(); ++i) {
            TChartSeries* S = FChart->Series(i);
            if (S->Active() && S->ValueListOfAxis(this) != nullptr &&
                S->ValueListOfAxis(this) == S->NotMandatoryValueList() && S->Count() <= MaxNumLabels) {
                Inc = std::max(Inc, 1.0);
                break;
            }
        }
    }
    // A step that underflowed to 0 could never grow.
    if (!(Inc > 0))
        Inc = MinAxisIncrement;

    bool IsInfinite = false;
    if (FLabelsSeparation > 0) {
        do {
            const double Q = FScaleRange / Inc;
            bool Step = true;
            if (std::fabs(Q) < 2147483647.0) {
                N = RoundHalfEven(Q);
                Step = N > MaxNumLabels;
            }
            if (Step) {
                Inc = FLogarithmic ? Inc * FLogarithmicBase : NiceNextStep(Inc);
                IsInfinite = std::isinf(Inc);
            }
        } while (!(N <= MaxNumLabels || Inc > FScaleRange || IsInfinite));
    }
    return IsInfinite ? FScaleRange : std::max(MinAxisIncrement, Inc);
}

double TChartAxis::CalcDateTimeIncrement(int MaxNumLabels)
{
    double C = std::max(DateTimeStep[dtOneMicroSecond], FIncrement);
    if (C > 0 && MaxNumLabels > 0) {
        if (FScaleRange / C > 1000000)
            C = FScaleRange / 1000000;
        while (RoundHalfEven(FScaleRange / C) > MaxNumLabels) {
            if (C >= DateTimeStep[dtOneYear])
                C *= 2;
            else if (C >= DateTimeStep[dtOneSecond])
                C = NextDateTimeStep(C);
            else
                C = NiceNextStep(C);
        }
    }
    return std::max(DateTimeStep[dtOneMicroSecond], C);
}

double TChartAxis::RoundLogPower(double Value)
{
    return std::pow(FLogarithmicBase, RoundHalfEven(std::log(Value) / std::log(FLogarithmicBase)));
}

// The text of a value label: date-times in the axis's date-time format (or
// one that suits the range), numbers in its value format.
void TChartAxis::IncDecDateTime(bool Increment, double& Value, double AnIncrement, TDateTimeStep Step)
{
    const bool Exact = FExactDateTime && FShowsDateTime && Step >= dtHalfMonth && Step != dtNone;
    ChDateTimeIncrement(Exact, Increment, Value, AnIncrement, Step);
}

// ------------------------------------------------------------------ logarithm, date-time, labels

void TChartAxis::SetLogarithmic(bool Value)
{
    if (Value && IsDateTime())
        throw AxisException(ChMsg_AxisLogDateTime);
    if (Value) {
        AdjustMaxMin();
        if (FScaleMin < 0 || FScaleMax < 0)
            throw AxisException(ChMsg_AxisLogNotPositive);
    }
    FChart->SetBooleanProperty(FLogarithmic, Value);
    InternalCalcRange();
    SetCalcPosValue();
}

// A base of 1 or less would never let the label step grow.
void TChartAxis::SetLogarithmicBase(double Value)
{
    if (!(Value > 1) || std::isinf(Value))
        throw AxisException(ChMsg_AxisLogBase);
    FChart->SetDoubleProperty(FLogarithmicBase, Value);
}

bool TChartAxis::IsDateTime()
{
    for (int i = 0; i < FChart->SeriesCount(); ++i) {
        TChartSeries* S = FChart->Series(i);
        if (!S->Active())
            continue;
        if (TChartValueList* L = S->ValueListOfAxis(this))
            return L->DateTime();
    }
    return false;
}

void TChartAxis::SetExactDateTime(bool Value) { FChart->SetBooleanProperty(FExactDateTime, Value); }
void TChartAxis::SetAxisValuesFormat(const std::string& Value) { FChart->SetStringProperty(FAxisValuesFormat, Value); }
void TChartAxis::SetDateTimeFormat(const std::string& Value) { FChart->SetStringProperty(FDateTimeFormat, Value); }
void TChartAxis::SetLabels(bool Value) { FChart->SetBooleanProperty(FLabels, Value); }
void TChartAxis::SetLabelsAlternate(bool Value) { FChart->SetBooleanProperty(FLabelsAlternate, Value); }

void TChartAxis::SetLabelsAngle(int Value)
{
    FChart->SetIntegerProperty(FLabelsAngle, ((Value % 360) + 360) % 360);
}

void TChartAxis::SetLabelsSeparation(int Value)
{
    if (Value < 0)
        throw AxisException(ChMsg_AxisLabelSep);
    FChart->SetIntegerProperty(FLabelsSeparation, Value);
}

void TChartAxis::SetLabelsSize(int Value) { FChart->SetIntegerProperty(FLabelsSize, Value); }
void TChartAxis::SetTitleSize(int Value) { FChart->SetIntegerProperty(FTitleSize, Value); }
void TChartAxis::SetTickLength(int Value) { FChart->SetIntegerProperty(FTickLength, Value); }
void TChartAxis::SetTickInnerLength(int Value) { FChart->SetIntegerProperty(FTickInnerLength, Value); }
void TChartAxis::SetMinorTickLength(int Value) { FChart->SetIntegerProperty(FMinorTickLength, Value); }
void TChartAxis::SetMinorTickCount(int Value) { FChart->SetIntegerProperty(FMinorTickCount, Value); }

// ------------------------------------------------------------------ placement

void TChartAxis::SetHorizontal(bool Value)
{
    FChart->SetBooleanProperty(FHorizontal, Value);
    SetCalcPosValue();
}

void TChartAxis::SetOtherSide(bool Value) { FChart->SetBooleanProperty(FOtherSide, Value); }
void TChartAxis::SetInverted(bool Value) { FChart->SetBooleanProperty(FInverted, Value); }
void TChartAxis::SetVisible(bool Value) { FChart->SetBooleanProperty(FVisible, Value); }
void TChartAxis::SetStartPosition(double Value) { FChart->SetDoubleProperty(FStartPosition, Value); }
void TChartAxis::SetEndPosition(double Value) { FChart->SetDoubleProperty(FEndPosition, Value); }
void TChartAxis::SetPositionPercent(double Value) { FChart->SetDoubleProperty(FPositionPercent, Value); }
void TChartAxis::SetMinimumOffset(int Value) { FChart->SetIntegerProperty(FMinimumOffset, Value); }
void TChartAxis::SetMaximumOffset(int Value) { FChart->SetIntegerProperty(FMaximumOffset, Value); }

void TChartAxis::SetPosUnits(TChUnits Value)
{
    if (FPositionUnits != Value) {
        FPositionUnits = Value;
        FChart->Invalidate();
    }
}

void TChartAxis::SetZPosition(double Value)
{
    FChart->SetDoubleProperty(FZPosition, Value);
    if (FZPosition == 0)
        FZPosition = 0.01;
}

bool TChartAxis::IsZStored() const
{
    if (IsDepth)
        return false;
    return FOtherSide ? FZPosition != 100 : FZPosition > 0.011;
}

bool TChartAxis::IsCustom() const
{
    return FChart->AxesList().IndexOf(this) > 5;
}

int TChartAxis::DepthAxisPos() const
{
    return FOtherSide ? FChart->ChartRect.Bottom : FChart->ChartRect.Top;
}

// ------------------------------------------------------------------ pixel span and mapping

void TChartAxis::InternalCalcPositions()
{
    int Origin, Extent;
    if (IsDepth) {
        Origin = 0;
        Extent = FChart->DepthWidth;
    } else if (FHorizontal) {
        Origin = FChart->ChartRect.Left;
        Extent = FChart->ChartWidth;
    } else {
        Origin = FChart->ChartRect.Top;
        Extent = FChart->ChartHeight;
    }
    FPixelStart = Origin + RoundInt(Extent * 0.01 * FStartPosition);
    FPixelEnd = Origin + RoundInt(Extent * 0.01 * FEndPosition);
    RecalcSizeCenter();
}

void TChartAxis::RecalcSizeCenter()
{
    FPixelSize = FPixelEnd - FPixelStart;
    FPixelCenter = (FPixelStart + FPixelEnd) / 2;
    InternalCalcRange();
}

void TChartAxis::SetCalcPosValue()
{
    if (IsDepth) {
        FHorizPosValue = &TChartAxis::InternalCalcDepthPosValue;
        FVertPosValue = &TChartAxis::InternalCalcDepthPosValue;
    } else if (FLogarithmic) {
        FHorizPosValue = &TChartAxis::LogXPosValue;
        FVertPosValue = &TChartAxis::LogYPosValue;
    } else if (FChart != nullptr && FChart->AxesList().FastCalc()) {
        FHorizPosValue = &TChartAxis::XPosValue;
        FVertPosValue = &TChartAxis::YPosValue;
    } else {
        FHorizPosValue = &TChartAxis::XPosValueCheck;
        FVertPosValue = &TChartAxis::YPosValueCheck;
    }
    FCalcPosValue = FHorizontal ? FHorizPosValue : FVertPosValue;
}

int TChartAxis::XPosValue(double Value)
{
    if (FScaleRangeIsZero)
        return FPixelCenter;
    const double T = (Value - FScaleMin) * FPixelsPerValue;
    return FInverted ? AddOffset(FPixelEnd, -T) : AddOffset(FPixelStart, T);
}

int TChartAxis::YPosValue(double Value)
{
    if (FScaleRangeIsZero)
        return FPixelCenter;
    const double T = (Value - FScaleMin) * FPixelsPerValue;
    return FInverted ? AddOffset(FPixelStart, T) : AddOffset(FPixelEnd, -T);
}

int TChartAxis::XPosValueCheck(double Value)
{
    if (FScaleRangeIsZero)
        return FPixelCenter;
    const double T = (Value - FScaleMin) * FPixelsPerValue;
    return RoundPixel(FInverted ? FPixelEnd - T : FPixelStart + T);
}

int TChartAxis::YPosValueCheck(double Value)
{
    if (FScaleRangeIsZero)
        return FPixelCenter;
    const double T = (Value - FScaleMin) * FPixelsPerValue;
    return RoundPixel(FInverted ? FPixelStart + T : FPixelEnd - T);
}

void TChartAxis::PosValues(bool Horizontal, const double* Values, int Count, int* Pixels)
{
    const TAxisCalcPos Calc = Horizontal ? FHorizPosValue : FVertPosValue;
    const bool X = Calc == &TChartAxis::XPosValueCheck;
    if ((X || Calc == &TChartAxis::YPosValueCheck) && !FScaleRangeIsZero) {
        // XPosValueCheck and YPosValueCheck with RoundPixel, in line
        // (From - T is From + -1 * T to the last bit).
        const bool Back = X == FInverted;
        const double From = Back ? FPixelEnd : FPixelStart, Sign = Back ? -1.0 : 1.0;
        const double Min = FScaleMin, Scale = FPixelsPerValue, Limit = CoordinateLimit;
        constexpr double Shift = 6755399441055744.0;
        for (int i = 0; i < Count; ++i) {
            const double P = From + Sign * ((Values[i] - Min) * Scale);
            const double Q = std::isnan(P) ? -Limit : (P < -Limit ? -Limit : (P > Limit ? Limit : P));
            Pixels[i] = static_cast<int>((Q + Shift) - Shift);
        }
        return;
    }
    for (int i = 0; i < Count; ++i)
        Pixels[i] = (this->*Calc)(Values[i]);
}

bool TChartAxis::PixelEdge(bool Horizontal, int Pixel, double& Value) const
{
    const TAxisCalcPos Calc = Horizontal ? FHorizPosValue : FVertPosValue;
    const bool X = Calc == &TChartAxis::XPosValueCheck;
    if (!(X || Calc == &TChartAxis::YPosValueCheck) || FScaleRangeIsZero)
        return false;
    const bool Back = X == FInverted;
    const double From = Back ? FPixelEnd : FPixelStart, Sign = Back ? -1.0 : 1.0;
    Value = FScaleMin + Sign * (Pixel + Sign * 0.5 - From) / FPixelsPerValue;
    return true;
}

int TChartAxis::LogXPosValue(double Value)
{
    if (FLogScaleRange == 0)
        return FPixelCenter;
    if (!(Value > 0))
        return FInverted ? FPixelEnd : FPixelStart;
    const double L = std::log(Value);
    if (FInverted)
        return AddOffset(FPixelStart, FPixelsPerLogValue * (FLogScaleMax - L));
    return AddOffset(FPixelStart, FPixelsPerLogValue * (L - FLogScaleMin));
}

int TChartAxis::LogYPosValue(double Value)
{
    if (FLogScaleRange == 0)
        return FPixelCenter;
    if (!(Value > 0))
        return FInverted ? FPixelStart : FPixelEnd;
    const double L = std::log(Value);
    if (FInverted)
        return AddOffset(FPixelEnd, -(FPixelsPerLogValue * (FLogScaleMax - L)));
    return AddOffset(FPixelEnd, -((L - FLogScaleMin) * FPixelsPerLogValue));
}

int TChartAxis::InternalCalcDepthPosValue(double Value)
{
    if (FScaleRangeIsZero)
        return FPixelCenter;
    return FInverted ? AddOffset(0, FPixelsPerValue * (FScaleMax - Value))
                     : AddOffset(0, (Value - FScaleMin) * FPixelsPerValue);
}

int TChartAxis::CalcSizeValue(double Value)
{
    if (!(Value > 0))
        return 0;
    if (FLogarithmic)
        return FLogScaleRange != 0 ? AddOffset(0, std::log(Value) * FPixelsPerLogValue) : 0;
    return FScaleRange != 0 ? AddOffset(0, Value * FPixelsPerValue) : 0;
}

double TChartAxis::CalcPosPoint(int Value)
{
    if (FLogarithmic) {
        const bool MaxAtStart = (FHorizontal && FInverted) || (!FHorizontal && !FInverted);
        if (Value == FPixelStart)
            return MaxAtStart ? FScaleMax : FScaleMin;
        if (Value == FPixelEnd)
            return MaxAtStart ? FScaleMin : FScaleMax;
        if (FLogScaleRange != 0 && FPixelSize != 0) {
            const double D = FInverted ? FPixelEnd - Value : Value - FPixelStart;
            const double T = D * FLogScaleRange / FPixelSize;
            return FHorizontal ? std::exp(FLogScaleMin + T) : std::exp(FLogScaleMax - T);
        }
        return FScaleMin;
    }
    if (FPixelSize < 1)
        return 0;
    const double D = FInverted ? static_cast<double>(FPixelEnd) - Value : static_cast<double>(Value) - FPixelStart;
    const double T = D * FScaleRange / FPixelSize;
    return FHorizontal ? FScaleMin + T : FScaleMax - T;
}

int TChartAxis::CalcZPos()
{
    if (FChart == nullptr)
        return 0;
    const int Extent = IsDepth ? FChart->ChartHeight : FChart->DepthWidth;
    return RoundInt(FZPosition * Extent * 0.01);
}

// ------------------------------------------------------------------ layout

int TChartAxis::GetRectangleEdge(const TRect& R) const
{
    if (FHorizontal)
        return FOtherSide ? R.Top : R.Bottom;
    return FOtherSide ? R.Right : R.Left;
}

int TChartAxis::ApplyPosition(int Pos, const TRect& R) const
{
    if (FPositionPercent == 0)
        return Pos;
    int Offset;
    if (FPositionUnits == muPixels)
        Offset = RoundInt(FPositionPercent);
    else
        Offset = RoundInt(FPositionPercent * 0.01 * (FHorizontal ? R.Bottom - R.Top : R.Right - R.Left));
    if (FOtherSide)
        Offset = -Offset;
    return FHorizontal ? Pos - Offset : Pos + Offset;
}

int TChartAxis::SizeTickAxis() const
{
    int Result = (FAxisPen->Visible() ? FAxisPen->Width() + 1 : 0) + (FTicks->Visible() ? FTickLength : 0);
    if (FMinorTicks->Visible())
        Result = std::max(Result, FMinorTickLength);
    return Result;
}

int TChartAxis::SizeLabels()
{
    const int Size = InternalCalcSize(FLabelsFont.get(), FLabelsAngle, FLabelsSize, {});
    return FLabelsAlternate ? 2 * Size : Size;
}

int TChartAxis::InternalCalcSize(TChFont* AFont, int AAngle, int FixedSize, const std::string& Text)
{
    if (FixedSize != 0)
        return FixedSize;
    TCanvas3D* C = FChart->ChartCanvas();
    C->AssignFont(AFont);
    const bool AlongAxis = (!FHorizontal && (AAngle == 90 || AAngle == 270)) ||
                           (FHorizontal && (AAngle == 0 || AAngle == 180));
    if (AlongAxis)
        return C->GetFontHeight();
    return Text.empty() ? MaxLabelsWidth() : C->TextWidth(Text);
}

void TChartAxis::CalcRect(TRect& R, bool InflateChartRectangle)
{
    FShowsDateTime = IsDateTime();
    // The left and top axes grow outward towards smaller coordinates.
    const bool Backward = FHorizontal ? FOtherSide : !FOtherSide;
    if (!InflateChartRectangle) {
        const int Outward = Backward ? -1 : 1;
        FAxisLinePos = ApplyPosition(GetRectangleEdge(R), R);
        FLabelsPos = FAxisLinePos + Outward * SizeTickAxis();
        FTitlePos = FLabelsPos + Outward * SizeLabels();
        return;
    }
    auto Cut = [&](int Amount) {
        if (FHorizontal) {
            if (FOtherSide)
                R.Top += Amount;
            else
                R.Bottom -= Amount;
        } else {
            if (FOtherSide)
                R.Right -= Amount;
            else
                R.Left += Amount;
        }
        return GetRectangleEdge(R);
    };
    if (IsDepth)
        FTitlePos = FOtherSide ? R.Right : R.Left;
    else if (FTitle->Visible() && !FTitle->Caption().empty())
        FTitlePos = Cut(InternalCalcSize(FTitle->Font(), FTitle->Angle(), FTitleSize, FTitle->Caption()));
    if (FLabels)
        FLabelsPos = Cut(SizeLabels());
    const int Rest = FChart->CalcWallSize(this) + SizeTickAxis();
    if (Rest > 0)
        Cut(Rest);
    FTitlePos = ApplyPosition(FTitlePos, R);
    FLabelsPos = ApplyPosition(FLabelsPos, R);
}

TRect TChartAxis::AxisRect() const
{
    const int AlongMin = std::min(FPixelStart, FPixelEnd);
    const int AlongMax = std::max(FPixelStart, FPixelEnd);
    int A, B;
    if (FLabelsPos < FAxisLinePos) {
        A = FLabelsPos;
        B = FAxisLinePos + ChAxisClickGap;
    } else {
        A = FAxisLinePos - ChAxisClickGap;
        B = FLabelsPos;
    }
    if (FHorizontal)
        return {AlongMin, A, AlongMax, B};
    return {A, AlongMin, B, AlongMax};
}

bool TChartAxis::Clicked(int X, int Y)
{
    if (!FChart->IsAxisVisible(this))
        return false;
    TRect R = AxisRect();
    if (FChart->View3D())
        R = FChart->ChartCanvas()->CalcRect3D(R, FOtherSide ? FChart->DepthWidth : 0);
    return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}

// ------------------------------------------------------------------ TChartDepthAxis

void TChartDepthAxis::SetInverted(bool Value)
{
    TChartAxis::SetInverted(Value);
    TCustomAxisPanel* Chart = ParentChart();
    TChartAxis* Other = this == Chart->DepthAxis() ? Chart->DepthTopAxis() : Chart->DepthAxis();
    if (Other != nullptr && Other != this)
        Other->FInverted = Value;
}

TAxisLabelStyle TChartDepthAxis::InternalCalcLabelStyle()
{
    TCustomAxisPanel* Chart = ParentChart();
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        TChartSeries* S = Chart->Series(i);
        if (S->Active() && S->MaxZValue() != S->MinZValue())
            return talValue;
    }
    return talText;
}
