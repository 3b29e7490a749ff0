// Drawing one axis: its title, its labels (values, logarithmic powers,
// series marks or point texts), then the axis line, ticks and grids at the
// positions the labels collected.
#include "chart/ChEngine.h"
#include "chart/ChMarks.h"
#include "platform/ScopeGuard.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

int RoundHalfAway(double X) { return static_cast<int>(std::lround(X)); }

// Alignment by OtherSide + 2 x Horizontal: left axis right-aligned, right axis
// left-aligned, bottom axis centred below, top axis centred above.
constexpr int LabelAlignTable[4] = {2, 0, 6, 14};

int CountLines(const std::string& Text)
{
    if (Text.empty())
        return 0;
    const int Separators = static_cast<int>(std::count(Text.begin(), Text.end(), ChLineSeparator));
    return Separators + (Text.back() != ChLineSeparator ? 1 : 0);
}

// A value within a billionth of an increment of a whole step is that step.
double SnapToSteps(double X)
{
    const double R = std::round(X);
    return std::fabs(X - R) < 1e-9 ? R : X;
}

}  // namespace

// ------------------------------------------------------------------ grid pen and titles

void TAxisGridPen::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TAxisGridPen*>(Source)) {
        FZPosition = S->FZPosition;
        FCentered = S->FCentered;
    }
    TDottedGrayPen::Assign(Source);
}

void TAxisGridPen::SetZ(double Value)
{
    if (Value == FZPosition)
        return;
    FZPosition = Value;
    if (OnChange)
        OnChange(this);
}

void TAxisGridPen::SetCentered(bool Value)
{
    if (Value == FCentered)
        return;
    FCentered = Value;
    if (OnChange)
        OnChange(this);
}

void TChartAxisTitle::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TChartAxisTitle*>(Source)) {
        FAngle = S->FAngle;
        FCaption = S->FCaption;
    }
    TChCustomShape::Assign(Source);
}

// ------------------------------------------------------------------ custom label items

void TAxisItem::SetValue(double Value)
{
    if (Value != FValue) {
        FValue = Value;
        Repaint();
    }
}

void TAxisItem::SetText(const std::string& Value)
{
    if (Value != FText) {
        FText = Value;
        Repaint();
    }
}

TAxisItem* TAxisItems::Item(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[static_cast<size_t>(Index)].get();
}

TAxisItem* TAxisItems::Add(double Value)
{
    auto Item = std::make_unique<TAxisItem>(Axis->ParentChart(), this);
    Item->OwnerDefaultTransparent = true;
    Item->SetTransparent(true);
    Item->FValue = Value;
    FItems.push_back(std::move(Item));
    return FItems.back().get();
}

TAxisItem* TAxisItems::Add(double Value, const std::string& Text)
{
    TAxisItem* Item = Add(Value);
    Item->FText = Text;
    return Item;
}

void TAxisItems::Clear()
{
    FItems.clear();
    if (Axis->ParentChart() != nullptr)
        Axis->ParentChart()->Invalidate();
}

void TAxisItems::CopyFrom(const TAxisItems& Source)
{
    if (&Source == this)
        return;
    Clear();
    for (const auto& Item : Source.FItems)
        Add(Item->FValue, Item->FText);
}

// ------------------------------------------------------------------ settings

void TChartAxis::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TChartAxis*>(Source);
    if (S == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    FAxisPen->Assign(S->FAxisPen.get());
    FItems->CopyFrom(*S->FItems);
    FLabels = S->FLabels;
    FLabelsFont->Assign(S->FLabelsFont.get());
    FLabelsAlign = S->FLabelsAlign;
    FLabelsAlternate = S->FLabelsAlternate;
    FLabelsAngle = S->FLabelsAngle;
    FLabelsExponent = S->FLabelsExponent;
    FLabelsMultiLine = S->FLabelsMultiLine;
    FLabelsSeparation = S->FLabelsSeparation;
    FLabelsSize = S->FLabelsSize;
    FLabelStyle = S->FLabelStyle;
    FLabelsOnAxis = S->FLabelsOnAxis;
    FTicks->Assign(S->FTicks.get());
    FTicksInner->Assign(S->FTicksInner.get());
    FTitleSize = S->FTitleSize;
    FGrid->Assign(S->FGrid.get());
    FMinorTicks->Assign(S->FMinorTicks.get());
    FMinorGrid->Assign(S->FMinorGrid.get());
    FTickLength = S->FTickLength;
    FMinorTickLength = S->FMinorTickLength;
    FMinorTickCount = S->FMinorTickCount;
    FTickInnerLength = S->FTickInnerLength;
    FAxisValuesFormat = S->FAxisValuesFormat;
    FIncrement = S->FIncrement;
    FMaximum = S->FMaximum;
    FMaximumOffset = S->FMaximumOffset;
    FMinimum = S->FMinimum;
    FMinimumOffset = S->FMinimumOffset;
    FAutomatic = S->FAutomatic;
    FAutomaticMaximum = S->FAutomaticMaximum;
    FAutomaticMinimum = S->FAutomaticMinimum;
    FTitle->Assign(S->FTitle.get());
    FDateTimeFormat = S->FDateTimeFormat;
    FLogarithmic = S->FLogarithmic;
    FLogarithmicBase = S->FLogarithmicBase;
    FInverted = S->FInverted;
    FExactDateTime = S->FExactDateTime;
    FRoundFirstLabel = S->FRoundFirstLabel;
    FTickOnLabelsOnly = S->FTickOnLabelsOnly;
    IsDepth = S->IsDepth;
    FStartPosition = S->FStartPosition;
    FEndPosition = S->FEndPosition;
    FPositionPercent = S->FPositionPercent;
    FPositionUnits = S->FPositionUnits;
    FVisible = S->FVisible;
    FHorizontal = S->FHorizontal;
    FOtherSide = S->FOtherSide;
    InternalCalcRange();
    SetCalcPosValue();
    FChart->Invalidate();
}

void TChartAxis::SetRoundFirstLabel(bool Value) { FChart->SetBooleanProperty(FRoundFirstLabel, Value); }
void TChartAxis::SetLabelsOnAxis(bool Value) { FChart->SetBooleanProperty(FLabelsOnAxis, Value); }
void TChartAxis::SetTickOnLabelsOnly(bool Value) { FChart->SetBooleanProperty(FTickOnLabelsOnly, Value); }
void TChartAxis::SetLabelsExponent(bool Value) { FChart->SetBooleanProperty(FLabelsExponent, Value); }
void TChartAxis::SetLabelsMultiLine(bool Value) { FChart->SetBooleanProperty(FLabelsMultiLine, Value); }

void TChartAxis::SetLabelStyle(TAxisLabelStyle Value)
{
    if (Value != FLabelStyle) {
        FLabelStyle = Value;
        FChart->Invalidate();
    }
}

void TChartAxis::SetLabelsAlign(TAxisLabelAlign Value)
{
    if (Value != FLabelsAlign) {
        FLabelsAlign = Value;
        FChart->Invalidate();
    }
}

TAxisLabelStyle TChartAxis::CalcLabelStyle()
{
    return FLabelStyle != talAuto ? FLabelStyle : InternalCalcLabelStyle();
}

TAxisLabelStyle TChartAxis::InternalCalcLabelStyle()
{
    TAxisLabelStyle Result = talNone;
    for (int i = 0; i < FChart->SeriesCount(); ++i) {
        TChartSeries* S = FChart->Series(i);
        if (!S->Active() || !S->AssociatedToAxis(this))
            continue;
        Result = talValue;
        const bool CarriesOther = FHorizontal ? S->YMandatory() : !S->YMandatory();
        if (CarriesOther && S->Count() > 0 && !S->XLabel(0).empty())
            return talText;
    }
    return Result;
}

// ------------------------------------------------------------------ label texts

std::string TChartAxis::FormattedLabelValue(double Value) const
{
    std::string Result;
    if (FShowsDateTime) {
        if (Value >= 0) {
            const std::string Fmt = FDateTimeFormat.empty() ? DateTimeDefaultFormat(FScaleRange) : FDateTimeFormat;
            Result = FormatDateTime(Fmt, Value);
        }
    } else {
        Result = FormatFloat(FAxisValuesFormat, Value);
        // A tiny negative rest of the step arithmetic never shows as "-0".
        if (Result.size() > 1 && Result[0] == '-' &&
            Result.find_first_not_of("0.,", 1) == std::string::npos)
            Result.erase(0, 1);
    }
    return Result;
}

std::string TChartAxis::MultiLineLabel(std::string Text) const
{
    if (FLabelsMultiLine)
        std::replace(Text.begin(), Text.end(), ' ', ChLineSeparator);
    return Text;
}

std::string TChartAxis::LabelValue(double Value)
{
    std::string Result = FormattedLabelValue(Value);
    if (FChart->OnGetAxisLabel)
        FChart->OnGetAxisLabel(this, nullptr, -1, Result);
    return MultiLineLabel(std::move(Result));
}

int TChartAxis::MaxLabelsWidth()
{
    if (FItems->Count() > 0) {
        int W = 0;
        for (int i = 0; i < FItems->Count(); ++i) {
            TAxisItem* Item = FItems->Item(i);
            FChart->ChartCanvas()->AssignFont(Item->Font());
            int Lines = 0;
            const std::string Text = Item->Text().empty() ? LabelValue(Item->Value()) : Item->Text();
            W = std::max(W, FChart->MultiLineTextWidth(Text, Lines));
        }
        return W;
    }
    switch (CalcLabelStyle()) {
    case talValue: {
        double Lo = FScaleMin, Hi = FScaleMax;
        if (FRoundFirstLabel || (FShowsDateTime && FExactDateTime)) {
            const double Inc = IncrementFor(false);
            if (Inc > 0) {
                Lo = Inc * std::trunc(SnapToSteps(FScaleMin / Inc));
                Hi = Inc * std::trunc(SnapToSteps(FScaleMax / Inc));
            }
        }
        // Measured on the texts the axis makes itself: the user's label
        // event is not asked while measuring.
        const int W = std::max(LabelTextSize(true, MultiLineLabel(FormattedLabelValue(Lo))),
                               LabelTextSize(true, MultiLineLabel(FormattedLabelValue(Hi))));
        return W + FChart->ChartCanvas()->TextWidth(" ");
    }
    case talMark:
        return FChart->MaxMarkWidth();
    case talText:
        return FChart->MaxTextWidth();
    default:
        return 0;
    }
}

// ------------------------------------------------------------------ the whole axis

// ------------------------------------------------------------------ drawing at positions of one's own

void TChartAxis::CustomDraw(int APosLabels, int APosTitle, int APosAxis, bool GridVisible)
{
    InternalCalcPositions();
    CustomDrawStartEnd(APosLabels, APosTitle, APosAxis, GridVisible, FPixelStart, FPixelEnd);
}

void TChartAxis::CustomDrawStartEnd(int APosLabels, int APosTitle, int APosAxis, bool GridVisible, int AStartPos,
                                    int AEndPos)
{
    FLabelsPos = APosLabels;
    FTitlePos = APosTitle;
    FAxisLinePos = APosAxis;
    FPixelStart = AStartPos;
    FPixelEnd = AEndPos;
    RecalcSizeCenter();
    const bool WasVisible = FGrid->Visible();
    TNotifyEvent Changed = std::move(FGrid->OnChange);
    FGrid->OnChange = nullptr;
    TScopeExit Restore([&] {
        FGrid->SetVisible(WasVisible);
        FGrid->OnChange = std::move(Changed);
    });
    FGrid->SetVisible(GridVisible);
    Draw(false);
}

void TChartAxis::CustomDrawMinMax(int APosLabels, int APosTitle, int APosAxis, bool GridVisible, double AMinimum,
                                  double AMaximum, double AIncrement)
{
    CustomDrawMinMaxStartEnd(APosLabels, APosTitle, APosAxis, GridVisible, AMinimum, AMaximum, AIncrement,
                             FPixelStart, FPixelEnd);
}

void TChartAxis::CustomDrawMinMaxStartEnd(int APosLabels, int APosTitle, int APosAxis, bool GridVisible,
                                          double AMinimum, double AMaximum, double AIncrement, int AStartPos,
                                          int AEndPos)
{
    const double OldMinimum = FMinimum, OldMaximum = FMaximum, OldIncrement = FIncrement;
    const bool OldAutomatic = FAutomatic;
    TScopeExit Restore([&] {
        FMinimum = OldMinimum;
        FMaximum = OldMaximum;
        FIncrement = OldIncrement;
        FAutomatic = OldAutomatic;
        SetScale(FMinimum, FMaximum);
    });
    FAutomatic = false;
    FMinimum = AMinimum;
    FMaximum = AMaximum;
    FIncrement = AIncrement;
    SetScale(FMinimum, FMaximum);
    CustomDrawStartEnd(APosLabels, APosTitle, APosAxis, GridVisible, AStartPos, AEndPos);
}

// ------------------------------------------------------------------ drawing

void TChartAxis::Draw(bool CalcPosAxis)
{
    TCanvas3D* C = FChart->ChartCanvas();
    // The axis leaves a transparent background behind, also when drawing
    // fails: an opaque one, in whatever colour the last brush set, would
    // fill the cells of the texts drawn after it.
    TScopeExit ClearBackground([C] { C->SetBackMode(cbmTransparent); });
    FShowsDateTime = IsDateTime();
    if (CalcPosAxis)
        FAxisLinePos = ApplyPosition(GetRectangleEdge(FChart->ChartRect), FChart->ChartRect);

    if (FTitle->Visible() && !FTitle->Caption().empty()) {
        if (IsDepth)
            DrawTitle(FTitlePos, DepthAxisPos());
        else if (FHorizontal)
            DrawTitle(FPixelCenter, FTitlePos);
        else
            DrawTitle(FTitlePos, FPixelCenter);
    }

    FTickPixels.clear();
    FAlternateRow = FHorizontal;
    const TAxisLabelStyle Style = FItems->Count() > 0 ? talNone : CalcLabelStyle();
    for (int i = 0; i < FItems->Count(); ++i) {
        TAxisItem* Item = FItems->Item(i);
        if (Item->Value() < FMinimum || Item->Value() > FMaximum)
            continue;
        const int Pixel = CalcPosValue(Item->Value());
        if (!FTickOnLabelsOnly)
            AddTick(Pixel);
        if (Item->Visible())
            PlaceAxisLabel(Pixel, Item->Text().empty() ? LabelValue(Item->Value()) : Item->Text(), Item);
    }
    if (Style != talNone) {
        C->AssignFont(FLabelsFont.get());
        const double Inc = CalcIncrement();
        TDateTimeStep Step = dtNone;
        if (FShowsDateTime && FExactDateTime && FIncrement != 0) {
            Step = FindDateTimeStep(FIncrement);
            if (Step != dtNone)
                while (Inc > DateTimeStep[Step] && Step != dtOneYear)
                    Step = static_cast<TDateTimeStep>(Step + 1);
        }
        const bool LongStep = Step != dtNone && Step >= dtHalfMonth && Step <= dtOneYear;
        if ((Inc > 0 || LongStep) && FScaleMax >= FScaleMin) {
            if (Style == talValue) {
                if (FChart->OnGetNextAxisLabel)
                    DrawCustomLabels(Inc, Step);
                else if (FLogarithmic && FIncrement == 0)
                    DrawLogLabels();
                else
                    DrawDefaultLabels(Inc, Step);
            } else if (Style == talMark) {
                DrawSeriesLabels(Style);
            } else if (Style == talText) {
                if (IsDepth)
                    DrawDepthTitleLabels();
                else
                    DrawSeriesLabels(Style);
            }
        }
    }
    DrawTicksGridAndLine();
}

void TChartAxis::DrawTitle(int X, int Y)
{
    TCanvas3D* C = FChart->ChartCanvas();
    C->AssignFont(FTitle->Font());
    C->SetBackMode(cbmTransparent);
    if (IsDepth) {
        C->SetTextAlign(DepthAxisAlign());
        C->TextOut3D(X, Y, FChart->DepthWidth / 2, FTitle->Caption());
        return;
    }
    TValueRollback<bool> PlainTitle(FLabelsExponent, false);
    DrawAxisLabel(X, Y, FTitle.get(), FTitle->Caption(), FTitle->Angle());
}

// ------------------------------------------------------------------ value labels

void TChartAxis::DrawValueLabel(double Value)
{
    const int Pixel = CalcPosValue(Value);
    if (FLabelsOnAxis || (FPixelStart < Pixel && Pixel < FPixelEnd)) {
        if (!FTickOnLabelsOnly)
            AddTick(Pixel);
        if (FLabels)
            PlaceAxisLabel(Pixel, LabelValue(Value));
    }
}

// Labels from the top of the scale down. The count of labels comes from a
// whole number of steps with a small tolerance at both ends, so that the
// rounding of the step arithmetic never loses the first or the last label.
void TChartAxis::DrawDefaultLabels(double Inc, TDateTimeStep Step)
{
    if (Inc > 0 && std::fabs(FScaleRange / Inc) >= 10000)
        return;
    const bool ExactDates = FShowsDateTime && FExactDateTime && Step != dtNone && Step >= dtOneDay;
    double V;
    if (ExactDates)
        V = ChRoundDate(FScaleMax, Step);
    else if (FloatToStr(FScaleMin) != FloatToStr(FScaleMax) && FRoundFirstLabel)
        V = Inc * std::trunc(SnapToSteps(FScaleMax / Inc));
    else
        V = FScaleMax;
    const double Tolerance = Inc * 1e-9;
    while (V > FScaleMax + Tolerance)
        IncDecDateTime(false, V, Inc, Step);

    if (FScaleRangeIsZero || std::fabs(FScaleMax - FScaleMin) < 1e-10 || FloatToStr(V) == FloatToStr(V - Inc)) {
        DrawValueLabel(V);
        return;
    }
    if (FShowsDateTime && FExactDateTime && Step >= dtHalfMonth && Step != dtNone) {
        // Months and years have no fixed length: step the calendar.
        const double Limit = FScaleMin >= 0 ? (FScaleMin - MinAxisIncrement) / (1 + MinAxisIncrement) : FScaleMin;
        for (int Guard = 0; V >= Limit && Guard < 10000; ++Guard) {
            DrawValueLabel(V);
            IncDecDateTime(false, V, Inc, Step);
        }
        return;
    }
    const double Top = V;
    const long Steps = static_cast<long>(std::floor((Top - FScaleMin) / Inc + 1e-9));
    for (long k = 0; k <= Steps; ++k) {
        double Value = Top - static_cast<double>(k) * Inc;
        if (std::fabs(Value) < Tolerance)
            Value = 0;
        DrawValueLabel(Value);
    }
}

void TChartAxis::DrawLogLabels()
{
    if (FScaleMin == FScaleMax || FLogarithmicBase <= 1)
        return;
    double Min = FScaleMin;
    double T;
    if (Min > 0) {
        T = RoundLogPower(Min);
    } else {
        Min = Min == 0 ? 0.1 : RoundLogPower(MinAxisRange);
        T = Min;
    }
    // The scale's lower end, for this draw only.
    TValueRollback<double> DrawnMin(FScaleMin, Min);
    {
        const double LogBase = std::log(FLogarithmicBase);
        if (FMinorGrid->Visible()) {
            double U = T;
            if (T >= FScaleMin)
                U = std::pow(FLogarithmicBase, std::log(FScaleMin) / LogBase - 1);
            if (U < FScaleMin)
                AddTick(CalcPosValue(U));
        }
        bool Drawn = false;
        for (double V = T; V <= FScaleMax; V *= FLogarithmicBase)
            if (V >= FScaleMin) {
                DrawValueLabel(V);
                Drawn = true;
            }
        if (!Drawn) {
            const double Step = std::pow(FLogarithmicBase, std::log(T) / LogBase - 1);
            for (double V = T; V <= FScaleMax && Step > 0; V += Step)
                if (V >= FScaleMin)
                    DrawValueLabel(V);
        }
        if (FMinorGrid->Visible() && T > FScaleMax)
            AddTick(CalcPosValue(T));
    }
}

void TChartAxis::DrawCustomLabels(double Inc, TDateTimeStep Step)
{
    double V = FScaleMin;
    int Index = 0;
    bool InRange = true;
    bool Stop = true;
    do {
        Stop = true;
        FChart->OnGetNextAxisLabel(this, Index, V, Stop);
        if (Stop) {
            if (Index == 0)
                DrawDefaultLabels(Inc, Step);
            return;
        }
        InRange = FScaleMin - 1e-7 <= V && V <= FScaleMax + 1e-7;
        if (InRange)
            DrawValueLabel(V);
        ++Index;
    } while (InRange && Index <= 2000 && !Stop);
}

// ------------------------------------------------------------------ series labels

void TChartAxis::DrawSeriesLabels(TAxisLabelStyle Style)
{
    std::vector<TChartSeries*> List;
    int First = -1, Last = -1;
    for (int i = 0; i < FChart->SeriesCount(); ++i) {
        TChartSeries* S = FChart->Series(i);
        if (!S->Active() || !S->AssociatedToAxis(this))
            continue;
        List.push_back(S);
        S->CalcFirstLastVisibleIndex();
        if (S->FirstVisibleIndex != -1 && (First == -1 || S->FirstVisibleIndex < First))
            First = S->FirstVisibleIndex;
        Last = std::max(Last, S->LastVisibleIndex);
    }
    if (List.empty() || First == -1)
        return;
    TCanvas3D* C = FChart->ChartCanvas();
    bool Along = FHorizontal;
    if (FLabelsAngle == 90 || FLabelsAngle == 270)
        Along = !Along;
    bool HasPrevious = false;
    int PrevPixel = 0, PrevHalf = 0;
    for (int i = First; i <= Last; ++i) {
        std::string Text;
        double Value = 0;
        bool Found = false;
        for (TChartSeries* S : List) {
            if (i < S->FirstVisibleIndex || i > S->LastVisibleIndex)
                continue;
            Text = Style == talMark ? S->GetMarkText(i) : S->XLabel(i);
            if (FChart->OnGetAxisLabel)
                FChart->OnGetAxisLabel(this, S, i, Text);
            if (Text.empty())
                continue;
            Value = FHorizontal ? S->XValue(i) : S->YValue(i);
            Found = true;
            break;
        }
        if (!Found || Value < FScaleMin || Value > FScaleMax)
            continue;
        const int Pixel = CalcPosValue(Value);
        if (!FTickOnLabelsOnly)
            AddTick(Pixel);
        if (!FLabels)
            continue;
        int Lines = 0;
        int Size = FChart->MultiLineTextWidth(Text, Lines);
        if (!Along)
            Size = C->GetFontHeight() * Lines;
        if (FLabelsSeparation != 0 && HasPrevious) {
            Size = (Size + static_cast<int>(std::trunc(Size * 0.02 * FLabelsSeparation))) / 2;
            const bool Clear = Pixel >= PrevPixel ? Pixel - Size >= PrevPixel + PrevHalf
                                                  : Pixel + Size <= PrevPixel - PrevHalf;
            if (!Clear)
                continue;
            PlaceAxisLabel(Pixel, Text);
            PrevPixel = Pixel;
            PrevHalf = Size;
        } else {
            PlaceAxisLabel(Pixel, Text);
            PrevPixel = Pixel;
            PrevHalf = Size / 2;
        }
        HasPrevious = true;
    }
}

void TChartAxis::DrawDepthTitleLabels()
{
    if (FChart->CountActiveSeries() == 0)
        return;
    for (int i = static_cast<int>(std::trunc(FScaleMin)); i <= static_cast<int>(std::trunc(FScaleMax)); ++i) {
        const int Pixel = VertPosValue(FScaleMax - i - 0.5);
        if (!FTickOnLabelsOnly)
            AddTick(Pixel);
        if (!FLabels)
            continue;
        std::string Text = FChart->SeriesTitleLegend(i, true);
        if (FChart->OnGetAxisLabel)
            FChart->OnGetAxisLabel(this, nullptr, i, Text);
        PlaceAxisLabel(Pixel, Text);
    }
}

// ------------------------------------------------------------------ placing one label

void TChartAxis::PlaceAxisLabel(int Pixel, const std::string& Text, TChCustomShape* Format)
{
    if (FTickOnLabelsOnly)
        AddTick(Pixel);
    TCanvas3D* C = FChart->ChartCanvas();
    C->AssignFont(Format != nullptr ? Format->Font() : FLabelsFont.get());
    C->Brush->SetStyle(bsClear);
    if (IsDepth) {
        C->SetTextAlign(DepthAxisAlign());
        int Depth = Pixel;
        if (FChart->View3DOptions()->Orthogonal() || FChart->View3DOptions()->Rotation() == 360)
            Depth += C->GetFontHeight() / 2;
        const int X = FOtherSide ? FLabelsPos : FLabelsPos - C->TextWidth("W") / 2 - 2;
        C->TextOut3D(X, DepthAxisPos(), Depth, Text);
        return;
    }
    int Cross = FLabelsPos;
    if (FLabelsAlternate) {
        if (!FAlternateRow) {
            if (FHorizontal)
                Cross += FOtherSide ? -C->GetFontHeight() : C->GetFontHeight();
            else
                Cross += FOtherSide ? MaxLabelsWidth() : -MaxLabelsWidth();
        }
        FAlternateRow = !FAlternateRow;
    }
    if (FHorizontal)
        DrawAxisLabel(Pixel, Cross, Format, Text, FLabelsAngle);
    else
        DrawAxisLabel(Cross, Pixel, Format, Text, FLabelsAngle);
}

void TChartAxis::DrawAxisLabel(int X, int Y, TChCustomShape* Format, const std::string& AText, int Angle)
{
    TCanvas3D* C = FChart->ChartCanvas();
    const int Other = FOtherSide ? 1 : 0;
    const int H = C->GetFontHeight() / 2;
    int Align = 0;
    if (FHorizontal) {
        switch (Angle) {
        case 0:
        case 360:
            Align = LabelAlignTable[Other + 2];
            break;
        case 45:
            if (FOtherSide) {
                const int D = C->TextWidth("Wj");
                X -= D;
                Y -= D;
            } else {
                const int D = RoundHalfAway(C->TextWidth(AText) * std::sin(std::numbers::pi / 4));
                X -= D;
                Y += D;
            }
            break;
        case 90:
            Align = LabelAlignTable[Other];
            X -= H;
            break;
        case 180:
            Align = LabelAlignTable[(1 - Other) + 2];
            break;
        case 270:
            Align = LabelAlignTable[1 - Other];
            X += H;
            break;
        default:
            break;
        }
    } else {
        switch (Angle) {
        case 0:
        case 360:
            if (FLabelsAlign == alDefault) {
                Align = LabelAlignTable[Other];
            } else if (FOtherSide) {
                Align = 2;
                X += SizeLabels();
            } else {
                X -= SizeLabels();
            }
            Y -= H;
            break;
        case 90:
            Align = LabelAlignTable[2 + (1 - Other)];
            break;
        case 180:
            Align = LabelAlignTable[1 - Other];
            Y += H;
            break;
        case 270:
            Align = LabelAlignTable[2 + Other];
            break;
        default:
            break;
        }
    }

    int Z = FDepthPixel;
    std::string Text = AText;
    int Lines = CountLines(Text);
    int F = C->GetFontHeight();
    if (Angle == 180 || Angle == 270)
        F = -F;
    int Total = F * Lines;
    if (FHorizontal) {
        if (Angle == 0)
            Y -= FOtherSide ? Total : F;
        else if (Angle == 180)
            Y -= FOtherSide ? F : Total;
        else if (Angle == 90 || Angle == 270)
            X -= RoundHalfAway(F * 0.5 * (Lines + 1));
    } else {
        if (Angle == 0 || Angle == 180)
            Y -= RoundHalfAway(F * 0.5 * (Lines + 1));
        else if (Angle == 90)
            X -= FOtherSide ? F : Total;
        else if (Angle == 270)
            X -= FOtherSide ? Total : F;
    }

    TChCustomShape* Shape = Format;
    if (Shape != nullptr && !Shape->Transparent() && !Text.empty()) {
        const int G = C->TextWidth("W") / 2;
        int Dummy = 0;
        const int W = FChart->MultiLineTextWidth(Text, Dummy);
        TRect R{X, Y + F, X + W, Y + F + C->GetFontHeight() * Lines};
        const int RH = R.Bottom - R.Top;
        if (Align >= 8) {
            R.Top -= RH;
            R.Bottom -= RH;
        }
        if ((Align & 6) == 2) {
            R.Left -= W;
            R.Right -= W;
        } else if ((Align & 6) == 6) {
            R.Left -= W / 2;
            R.Right -= W / 2;
        }
        R.Left -= G;
        R.Right += G;
        if (Z != 0)
            R = C->CalcRect3D(R, Z);
        Shape->DrawRectRotated(R, FLabelsAngle, Z);
        C->Brush->SetStyle(bsClear);
    }

    // Labels sit on whatever lies under them: no text cell is filled.
    C->SetBackMode(cbmTransparent);
    C->SetTextAlign(Align);
    bool DoDraw = true;
    if (OnDrawLabel) {
        OnDrawLabel(this, X, Y, Z, Text, DoDraw);
        Lines = CountLines(Text);
    }
    if (DoDraw) {
        for (int k = 0; k < Lines; ++k) {
            const size_t Sep = Text.find(ChLineSeparator);
            const std::string Line = Text.substr(0, Sep);
            Text = Sep == std::string::npos ? std::string() : Text.substr(Sep + 1);
            if (Angle == 0 || Angle == 360) {
                Y += F;
                const size_t E = FLabelsExponent ? UpperCase(Line).find('E') : std::string::npos;
                if (E == std::string::npos) {
                    C->TextOut3D(X, Y, Z, Line);
                } else {
                    // Mantissa at full size, the exponent smaller and raised.
                    const std::string Mantissa = Line.substr(0, E);
                    const std::string Exponent = Line.substr(E + 1);
                    TFont* Font = C->Font;
                    const int Size = Font->Size();
                    const int Raise = (C->GetFontHeight() - 1) / 2 - 2;
                    Font->SetSize(Size - Size / 4);
                    const int EW = C->TextWidth(Exponent);
                    if ((Align & 6) != 0) {
                        C->TextOut3D(X, Y - Raise, Z, Exponent);
                        Font->SetSize(Size);
                        C->TextOut3D(X - (EW + 1), Y, Z, Mantissa);
                    } else {
                        Font->SetSize(Size);
                        const int MW = C->TextWidth(Mantissa);
                        C->TextOut3D(X, Y, Z, Mantissa);
                        Font->SetSize(Size - Size / 4);
                        C->TextOut3D(X + MW + 1, Y - Raise, Z, Exponent);
                    }
                    Font->SetSize(Size);
                }
            } else if (Angle == 90 || Angle == 270) {
                X += F;
                C->RotateLabel3D(X, Y, Z, Line, Angle);
            } else if (Angle == 180) {
                Y += F;
                C->RotateLabel3D(X, Y, Z, Line, Angle);
            } else {
                C->RotateLabel3D(X, Y, Z, Line, Angle);
            }
        }
    }
    C->SetTextAlign(0);
}

// ------------------------------------------------------------------ ticks, grid and axis line

void TChartAxis::DrawTick(int Pixel, int Direction, int Length)
{
    TCanvas3D* C = FChart->ChartCanvas();
    const int W = FChart->CalcWallSize(this);
    const bool Flat = !FChart->View3D();
    if (IsDepth) {
        const int X0 = FOtherSide ? FAxisLinePos + Direction : FAxisLinePos - Direction;
        const int X1 = FOtherSide ? X0 + Direction * Length : X0 - Direction * Length;
        C->HorizLine3D(std::min(X0, X1), std::max(X0, X1), DepthAxisPos(), Pixel);
        return;
    }
    if (FHorizontal) {
        if (FOtherSide) {
            const int Y0 = FAxisLinePos - Direction;
            C->VertLine3D(Pixel, Y0 - Direction * Length, Y0, FDepthPixel);
        } else {
            const int Y0 = FAxisLinePos + W + Direction;
            if (Flat)
                C->DoVertLine(Pixel, Y0, Y0 + Direction * Length);
            else
                C->VertLine3D(Pixel, Y0, Y0 + Direction * Length, FDepthPixel);
        }
    } else {
        if (FOtherSide) {
            const int X0 = FAxisLinePos + W + Direction;
            C->HorizLine3D(X0, X0 + Direction * Length, Pixel, FDepthPixel);
        } else {
            const int X0 = FAxisLinePos - W - Direction;
            if (Flat)
                C->DoHorizLine(X0, X0 - Direction * Length, Pixel);
            else
                C->HorizLine3D(X0 - Direction * Length, X0, Pixel, FDepthPixel);
        }
    }
}

void TChartAxis::DrawTicksGridAndLine()
{
    TCanvas3D* C = FChart->ChartCanvas();
    const TRect& R = FChart->ChartRect;
    const int W = FChart->CalcWallSize(this);
    C->Brush->SetStyle(bsClear);
    C->SetBackMode(cbmTransparent);

    if (FAxisPen->Visible()) {
        C->AssignVisiblePen(FAxisPen.get());
        if (IsDepth) {
            const int Y = FOtherSide ? R.Bottom + FChart->CalcWallSize(FChart->BottomAxis()) - FDepthPixel
                                     : R.Top - FDepthPixel;
            C->ZLine3D(FAxisLinePos, Y, FPixelStart, FPixelEnd);
        } else if (FHorizontal) {
            if (FOtherSide)
                C->HorizLine3D(FPixelStart, FPixelEnd, FAxisLinePos, FDepthPixel);
            else
                C->HorizLine3D(FPixelStart - FChart->CalcWallSize(FChart->LeftAxis()),
                               FPixelEnd + FChart->CalcWallSize(FChart->RightAxis()), FAxisLinePos + W, FDepthPixel);
        } else {
            const int X = FOtherSide ? FAxisLinePos + W : FAxisLinePos - W;
            C->VertLine3D(X, FPixelStart, FPixelEnd + FChart->CalcWallSize(FChart->BottomAxis()), FDepthPixel);
        }
    }
    if (FTicks->Visible() && FTickLength != 0) {
        C->AssignVisiblePen(FTicks.get());
        for (int P : FTickPixels)
            DrawTick(P, 1, FTickLength);
    }
    DrawGrids(static_cast<int>(FTickPixels.size()));
    if (FTicksInner->Visible() && FTickInnerLength != 0) {
        C->AssignVisiblePen(FTicksInner.get());
        for (int P : FTickPixels)
            DrawTick(P, -1, -FTickInnerLength);
    }
    if (!FTickPixels.empty()) {
        if (FMinorTicks->Visible() && FMinorTickLength != 0) {
            C->AssignVisiblePen(FMinorTicks.get());
            DrawMinorTicks(false);
        }
        if (FMinorGrid->Visible()) {
            C->AssignVisiblePen(FMinorGrid.get());
            DrawMinorTicks(true);
        }
    }
}

void TChartAxis::DrawGrids(int Count)
{
    if (!FGrid->Visible())
        return;
    TCanvas3D* C = FChart->ChartCanvas();
    C->SetBackMode(cbmTransparent);
    if (FGrid->Color() == clDefault)
        C->AssignVisiblePenColor(FGrid.get(), clGray);
    else
        C->AssignVisiblePen(FGrid.get());
    FChart->CheckPenWidth(C->Pen);
    Count = std::min(Count, static_cast<int>(FTickPixels.size()));
    for (int i = 0; i < Count; ++i) {
        if (!FGrid->Centered())
            DrawGridLine(FTickPixels[static_cast<size_t>(i)]);
        else if (i > 0)
            DrawGridLine(RoundHalfAway((FTickPixels[static_cast<size_t>(i)] + FTickPixels[static_cast<size_t>(i - 1)]) * 0.5));
    }
}

void TChartAxis::DrawGridLine(int P)
{
    if (!(FPixelStart < P && P < FPixelEnd))
        return;
    TCanvas3D* C = FChart->ChartCanvas();
    const TRect& R = FChart->ChartRect;
    if (IsDepth) {
        C->VertLine3D(R.Left, R.Top, R.Bottom, P);
        C->HorizLine3D(R.Left, R.Right, R.Bottom, P);
        return;
    }
    if (!FChart->View3D()) {
        if (FHorizontal)
            C->DoVertLine(P, R.Top + 1, R.Bottom);
        else
            C->DoHorizLine(R.Left + 1, R.Right, P);
        return;
    }
    const int Depth = FChart->DepthWidth;
    if (FChart->AxisBehind()) {
        if (!FSkipBackGrid) {
            if (FHorizontal)
                C->VertLine3D(P, R.Top, R.Bottom, Depth);
            else
                C->HorizLine3D(R.Left, R.Right, P, Depth);
        }
        const int Z0 = RoundHalfAway(Depth * FGrid->ZPosition() * 0.01);
        if (!FSkipSideGrid && Z0 != Depth) {
            if (FHorizontal)
                C->ZLine3D(P, FAxisLinePos, Z0, Depth);
            else
                C->ZLine3D(FAxisLinePos, P, Z0, Depth);
        }
    } else if (FHorizontal) {
        C->VertLine3D(P, R.Top, R.Bottom, 0);
    } else {
        C->HorizLine3D(R.Left, R.Right, P, 0);
    }
}

void TChartAxis::DrawMinorTicks(bool IsGrid)
{
    const int N = FMinorTickCount + 1;
    auto Use = [&](int P) {
        if (!(FPixelStart < P && P < FPixelEnd))
            return;
        if (IsGrid)
            DrawGridLine(P);
        else
            DrawTick(P, 1, FMinorTickLength);
    };
    const size_t Count = FTickPixels.size();
    if (!FLogarithmic) {
        if (Count < 2)
            return;
        double G = (FTickPixels[1] - FTickPixels[0]) / static_cast<double>(N);
        for (int c = 1; c <= FMinorTickCount; ++c) {
            Use(FTickPixels[0] - RoundHalfAway(c * G));
            Use(FTickPixels[Count - 1] + RoundHalfAway(c * G));
        }
        for (size_t i = 1; i < Count; ++i) {
            G = (FTickPixels[i] - FTickPixels[i - 1]) / static_cast<double>(N);
            for (int j = 1; j <= FMinorTickCount; ++j)
                Use(FTickPixels[i] - RoundHalfAway(G * j));
        }
        return;
    }
    std::vector<double> Starts;
    const double LastValue = CalcPosPoint(FTickPixels[Count - 1]);
    Starts.push_back(LastValue / FLogarithmicBase);
    for (int P : FTickPixels)
        Starts.push_back(CalcPosPoint(P));
    Starts.push_back(LastValue * FLogarithmicBase);
    std::vector<double> Done;
    for (double V : Starts) {
        if (std::find(Done.begin(), Done.end(), V) != Done.end())
            continue;
        Done.push_back(V);
        const double Span = (V * FLogarithmicBase - V) / N;
        for (int k = 1; k <= FMinorTickCount; ++k) {
            const double M = V + k * Span;
            if (M >= FScaleMin && M <= FScaleMax)
                Use(CalcPosValue(M));
        }
    }
}
