// The chart's drawing pass (background, titles and legend, walls, axes,
// series, marks) and what a series does in it: its visible points, its marks,
// its legend texts and symbols, and paging.
#include "chart/ChEngine.h"
#include "chart/ChMarks.h"
#include "platform/ScopeGuard.h"

#include <algorithm>
#include <cmath>

// ------------------------------------------------------------------ panel settings

void TCustomAxisPanel::ReCalcWidthHeight()
{
    FChartWidth = FChartRect.Right - FChartRect.Left;
    FChartHeight = FChartRect.Bottom - FChartRect.Top;
    RectCenter(FChartRect, FChartXCenter, FChartYCenter);
}

void TCustomAxisPanel::Set3DPercent(int Value)
{
    if (Value < 1 || Value > 100)
        throw Exception(Format(ChMsg_3dPercent.c_str(), 1, 100));
    SetIntegerProperty(FChart3DPercent, Value);
}

void TCustomAxisPanel::SetMaxPointsPerPage(int Value)
{
    if (Value < 0)
        throw ChartException(ChMsg_MaxPointsPerPage);
    SetIntegerProperty(FMaxPointsPerPage, Value);
    SetPage(FPage);
}

void TCustomAxisPanel::SetPage(int Value)
{
    const int Pages = NumPages();
    if (Value > Pages)
        Value = Pages;
    if (Value < 1)
        Value = 1;
    if (Value == FPage)
        return;
    SetIntegerProperty(FPage, Value);
    TChEvent Event;
    BroadcastChEvent(&Event);
    if (OnPageChange)
        OnPageChange(this);
}

int TCustomAxisPanel::NumPages() const
{
    if (FMaxPointsPerPage < 1 || SeriesCount() == 0)
        return 1;
    const bool Horiz = Series(0)->YMandatory();
    auto PagesOf = [&](TChartAxis* Axis) {
        int N = 0;
        for (int i = 0; i < SeriesCount(); ++i)
            if (Series(i)->Active() && Series(i)->AssociatedToAxis(Axis))
                N = std::max(N, Series(i)->Count());
        if (N <= 0)
            return 1;
        return N / FMaxPointsPerPage + (N % FMaxPointsPerPage != 0 ? 1 : 0);
    };
    if (Horiz)
        return std::max(PagesOf(TopAxis()), PagesOf(BottomAxis()));
    return std::max(PagesOf(LeftAxis()), PagesOf(RightAxis()));
}

void TCustomAxisPanel::PrintPages(int FromPage, int ToPage)
{
    RunPrintJob([&](TPrinter* P) {
        if (ToPage == 0)
            ToPage = NumPages();
        if (FromPage == 0)
            FromPage = 1;
        const int Saved = FPage;
        const TScopeExit Restore([&] { SetPage(Saved); });
        const TRect R = ChartPrintRect();
        for (int Number = FromPage; Number <= ToPage; ++Number) {
            SetPage(Number);
            PrintPartial(R);
            if (Number < ToPage)
                P->NewPage();
        }
    });
}

void TCustomAxisPanel::SetLeftAxis(TChartAxis* Value) { LeftAxis()->Assign(Value); }
void TCustomAxisPanel::SetRightAxis(TChartAxis* Value) { RightAxis()->Assign(Value); }
void TCustomAxisPanel::SetTopAxis(TChartAxis* Value) { TopAxis()->Assign(Value); }
void TCustomAxisPanel::SetBottomAxis(TChartAxis* Value) { BottomAxis()->Assign(Value); }

TChartSeries* TCustomAxisPanel::SeriesLegend(int ItemIndex, bool OnlyActive) const
{
    int Found = 0;
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* S = Series(i);
        if (!S->ShowInLegend() || (OnlyActive && !S->Active()))
            continue;
        if (Found == ItemIndex)
            return S;
        ++Found;
    }
    return nullptr;
}

std::string TCustomAxisPanel::SeriesTitleLegend(int SeriesIndex, bool OnlyActive) const
{
    TChartSeries* S = SeriesLegend(SeriesIndex, OnlyActive);
    return S != nullptr ? SeriesTitleOrName(S) : std::string();
}

void TCustomAxisPanel::DoOnAfterDraw()
{
    if (OnAfterDraw)
        OnAfterDraw(this);
}

void TCustomAxisPanel::DoOnBeforeDrawAxes()
{
    if (OnBeforeDrawAxes)
        OnBeforeDrawAxes(this);
}

void TCustomAxisPanel::DoOnBeforeDrawChart()
{
    if (OnBeforeDrawChart)
        OnBeforeDrawChart(this);
}

void TCustomAxisPanel::DoOnBeforeDrawSeries()
{
    if (OnBeforeDrawSeries)
        OnBeforeDrawSeries(this);
}

bool TCustomAxisPanel::DrawBackWallAfter(int Z)
{
    if (!View3D())
        return false;
    return !ChCull(ChartCanvas()->FourPointsFromRect(ChartRect, Z));
}

void TCustomAxisPanel::CalcSize3DWalls()
{
    if (!View3D()) {
        SeriesWidth3D = SeriesHeight3D = DepthWidth = DepthHeight = 0;
        return;
    }
    double A = FChart3DPercent * 0.001;
    if (!View3DOptions()->Orthogonal())
        A *= 2;
    SeriesWidth3D = static_cast<int>(std::nearbyint(ChartWidth * A));
    const double R = View3DOptions()->CalcOrthoRatio();
    if (R > 1)
        SeriesWidth3D = static_cast<int>(std::nearbyint(SeriesWidth3D / R));
    SeriesHeight3D = static_cast<int>(std::nearbyint(SeriesWidth3D * R));
    const int S = ZOrderPerSeries ? std::max(1, MaxZOrder + 1) : 1;
    DepthHeight = S * SeriesHeight3D;
    DepthWidth = S * SeriesWidth3D;
}

// ------------------------------------------------------------------ the pass

void TCustomAxisPanel::InternalDraw(const TRect& UserRect)
{
    TValueRollback<bool> Quiet(RepaintOnChange, false);
    TCanvas3D* C = ChartCanvas();
    std::vector<TChartSeries*> Active;
    for (int i = 0; i < SeriesCount(); ++i)
        if (Series(i)->Active())
            Active.push_back(Series(i));

    InvertedRotation = false;
    if (View3D()) {
        TView3DOptions* O = View3DOptions();
        InvertedRotation = O->Orthogonal() ? O->OrthoAngle() > 90 : O->Rotation() < 180;
    }
    TRect R = UserRect;
    const bool FullRotation = C->SupportsFullRotation();
    if (!FullRotation)
        PanelPaint(R);
    BroadcastToolEvent(cteBeforeDraw);
    DoOnBeforeDrawChart();
    for (TChartSeries* S : Active)
        S->DoBeforeDrawChart();
    if (!FullRotation)
        DrawTitlesAndLegend(true);

    MaxZOrder = 0;
    const bool PerSeries = ZOrderPerSeries && View3D();
    if (PerSeries) {
        MaxZOrder = -1;
        for (TChartSeries* S : Active)
            S->CalcZOrder();
    }
    if (!DepthAxis()->Inverted())
        for (TChartSeries* S : Active)
            S->ComputedZOrder = PerSeries ? MaxZOrder - S->GetZOrder() : 0;

    CalcWallsRect();
    R = ChartRect;
    CalcAxisLayout();

    for (TChartSeries* S : Active)
        S->CalcDepthPositions();
    CalcAxisMargins();

    C->Projection(DepthWidth, PanelBounds, ChartRect);
    if (FullRotation) {
        const TRect Saved = ChartRect;
        FChartRect = R;
        PanelPaint(UserRect);
        DrawTitlesAndLegend(true);
        FChartRect = Saved;
    }
    DrawWalls();
    if (AxisBehind()) {
        BroadcastToolEvent(cteBeforeDrawAxes);
        DrawAxes();
    }
    BroadcastToolEvent(cteBeforeDrawSeries);
    DoOnBeforeDrawSeries();

    bool Backward = DepthAxis()->Inverted();
    if (DrawBackWallAfter(DepthWidth))
        Backward = !Backward;
    if (!Backward) {
        for (TChartSeries* S : Active)
            S->DrawSeries();
    } else {
        for (auto It = Active.rbegin(); It != Active.rend(); ++It)
            (*It)->DrawSeries();
    }
    BroadcastToolEvent(cteAfterDrawSeries);
    if (!AxisBehind()) {
        BroadcastToolEvent(cteBeforeDrawAxes);
        DrawAxes();
    }
    DrawTitlesAndLegend(false);
    if (Zoom()->Active)
        DrawZoomRectangle();
    BroadcastToolEvent(cteAfterDraw);
    C->ResetState();
    DoOnAfterDraw();
}

void TCustomAxisPanel::CalcAxisLayout()
{
    for (int i = 0; i < AxesList().Count(); ++i) {
        TChartAxis* A = AxesList()[i];
        A->FVisibleInPass = CalcIsAxisVisible(A);
        A->AdjustMaxMin();
    }
    for (int i = 0; i < AxesList().Count(); ++i)
        AxesList()[i]->InternalCalcPositions();
    TRect Inner = ChartRect;
    for (int j = 0; j < AxesList().Count(); ++j) {
        TChartAxis* A = AxesList()[j];
        if (!A->FVisibleInPass)
            continue;
        TRect T = Inner;
        A->CalcRect(T, j < 5);
        const TRect X{std::max(T.Left, Inner.Left), std::max(T.Top, Inner.Top), std::min(T.Right, Inner.Right),
                      std::min(T.Bottom, Inner.Bottom)};
        if (X.Left < X.Right && X.Top < X.Bottom)
            Inner = X;
    }
    FChartRect = Inner;
    ReCalcWidthHeight();
    for (int i = 0; i < AxesList().Count(); ++i)
        AxesList()[i]->InternalCalcPositions();
}

void TCustomAxisPanel::ClipToSeriesArea()
{
    TRect R = ChartRect;
    ++R.Bottom;
    ChartCanvas()->ClipCube(R, 0, DepthWidth);
}

void TCustomAxisPanel::DrawAxes()
{
    if (!AxisVisible())
        return;
    DoOnBeforeDrawAxes();
    const bool BottomLater = DrawBackWallAfter(0);
    for (int i = 0; i < AxesList().Count(); ++i) {
        TChartAxis* A = AxesList()[i];
        if (!A->VisibleInPass() || (A == BottomAxis() && BottomLater))
            continue;
        A->Draw(true);
    }
}

void TCustomAxisPanel::CalcAxisMargins()
{
    for (int i = 0; i < AxesList().Count(); ++i) {
        TChartAxis* A = AxesList()[i];
        TRect M{0, 0, 0, 0};
        for (int s = 0; s < SeriesCount(); ++s) {
            TChartSeries* S = Series(s);
            if (!S->Active() || !S->AssociatedToAxis(A))
                continue;
            if (A->Horizontal()) {
                int L = 0, R = 0;
                S->CalcHorizMargins(L, R);
                if (A->AutomaticMinimum())
                    M.Left = std::max(M.Left, L);
                if (A->AutomaticMaximum())
                    M.Right = std::max(M.Right, R);
            } else {
                int T = 0, B = 0;
                S->CalcVerticalMargins(T, B);
                if (A->AutomaticMaximum())
                    M.Top = std::max(M.Top, T);
                if (A->AutomaticMinimum())
                    M.Bottom = std::max(M.Bottom, B);
            }
        }
        if (A->Horizontal()) {
            (A->Inverted() ? M.Right : M.Left) += A->MinimumOffset();
            (A->Inverted() ? M.Left : M.Right) += A->MaximumOffset();
        } else {
            (A->Inverted() ? M.Top : M.Bottom) += A->MinimumOffset();
            (A->Inverted() ? M.Bottom : M.Top) += A->MaximumOffset();
        }
        A->AdjustMaxMinRect(M);
    }
}

// ------------------------------------------------------------------ one series in the pass

void TChartSeries::CalcFirstLastVisibleIndex()
{
    FirstVisibleIndex = -1;
    LastVisibleIndex = -1;
    if (Count() == 0)
        return;
    const int N = Count() - 1;
    TChartValueList* List = NotMandatoryValueList();
    if (!CalcVisibleRange || List->Order() == loNone || ParentChart() == nullptr) {
        FirstVisibleIndex = 0;
        LastVisibleIndex = N;
        return;
    }
    TChartAxis* A = YMandatory() ? GetHorizAxis() : GetVertAxis();
    if (A == nullptr) {
        FirstVisibleIndex = 0;
        LastVisibleIndex = N;
        return;
    }
    const TRect& R = ParentChart()->ChartRect;
    int MinEdge, MaxEdge;
    if (A->Horizontal()) {
        MinEdge = A->Inverted() ? R.Right : R.Left;
        MaxEdge = A->Inverted() ? R.Left : R.Right;
    } else {
        MinEdge = A->Inverted() ? R.Top : R.Bottom;
        MaxEdge = A->Inverted() ? R.Bottom : R.Top;
    }
    const double Min = A->CalcPosPoint(MinEdge);
    const double Max = A->CalcPosPoint(MaxEdge);
    for (int i = 0; i <= N; ++i)
        if (List->Value(i) >= Min) {
            FirstVisibleIndex = i;
            break;
        }
    if (FirstVisibleIndex == -1)
        return;
    if (List->Last() <= Max) {
        LastVisibleIndex = N;
        return;
    }
    LastVisibleIndex = N;
    for (int i = FirstVisibleIndex; i <= N; ++i)
        if (List->Value(i) >= Max) {
            LastVisibleIndex = i;
            break;
        }
    if (!IncludeOuterPoint && List->Value(LastVisibleIndex) > Max)
        --LastVisibleIndex;
}

void TChartSeries::CalcFirstLastPage(int& First, int& Last)
{
    if (Count() == 0) {
        First = Last = -1;
        return;
    }
    const int M = ParentChart() != nullptr ? ParentChart()->MaxPointsPerPage() : 0;
    if (M <= 0) {
        First = 0;
        Last = Count() - 1;
        return;
    }
    First = M * (ParentChart()->Page() - 1);
    if (First >= Count())
        First = M * std::max(0, Count() / M - 1);
    Last = First + M - 1;
    if (Last >= Count())
        Last = First + Count() % M - 1;
}

bool TChartSeries::DrawValuesForward()
{
    const bool Inverted = ParentChart() != nullptr && ParentChart()->InvertedRotation;
    if (YMandatory()) {
        const bool Forward = GetHorizAxis() == nullptr || !GetHorizAxis()->Inverted();
        return Inverted ? !Forward : Forward;
    }
    return GetVertAxis() == nullptr || !GetVertAxis()->Inverted();
}

bool TChartSeries::DrawSeriesForward(int ValueIndex)
{
    return ParentChart() == nullptr || !ParentChart()->InvertedRotation;
}

void TChartSeries::DrawAllValues()
{
    if (LastVisibleIndex < FirstVisibleIndex)
        return;
    if (DrawValuesForward())
        for (int i = FirstVisibleIndex; i <= LastVisibleIndex; ++i)
            DrawValue(i);
    else
        for (int i = LastVisibleIndex; i >= FirstVisibleIndex; --i)
            DrawValue(i);
}

void TChartSeries::CalcZOrder()
{
    TCustomAxisPanel* Chart = ParentChart();
    if (ZOrder == -1) {
        if (Chart->View3D()) {
            ++Chart->MaxZOrder;
            ComputedZOrder = Chart->MaxZOrder;
        } else {
            ComputedZOrder = 0;
        }
    } else {
        Chart->MaxZOrder = std::max(Chart->MaxZOrder, ZOrder);
    }
}

void TChartSeries::SetZOrder(int Value)
{
    SetIntegerProperty(ZOrder, Value);
    ComputedZOrder = ZOrder == -1 ? 0 : ZOrder;
}

void TChartSeries::CalcDepthPositions()
{
    const int W = ParentChart()->SeriesWidth3D;
    StartZ = W * ComputedZOrder;
    EndZ = StartZ + (Depth == -1 ? W : Depth);
    MiddleZ = (StartZ + EndZ) / 2;
    Marks()->ZPos = MiddleZ;
}

bool TChartSeries::MoreSameZOrder()
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart->ZOrderPerSeries)
        return false;
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        TChartSeries* S = Chart->Series(i);
        if (S != this && S->Active() && S->GetZOrder() == GetZOrder())
            return true;
    }
    return false;
}

bool TChartSeries::FirstInZOrder()
{
    if (!Active())
        return false;
    TCustomAxisPanel* Chart = ParentChart();
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        TChartSeries* S = Chart->Series(i);
        if (S == this)
            return true;
        if (S->Active() && S->GetZOrder() == GetZOrder())
            return false;
    }
    return true;
}

void TChartSeries::DrawSeries()
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    auto Clip = [&]() {
        if (!Chart->CanClip())
            return false;
        Chart->ClipToSeriesArea();
        return true;
    };
    auto DrawOwnMarks = [&](TChartSeries* S) {
        if (S->Count() == 0 || !S->Marks()->Visible())
            return;
        const bool Clipped = S->Marks()->Clip() && Clip();
        S->DrawMarks();
        if (Clipped)
            C->UnClipRectangle();
    };

    if (!Chart->View3D() || !MoreSameZOrder()) {
        CalcFirstLastVisibleIndex();
        if (FirstVisibleIndex == -1)
            return;
        DoBeforeDrawValues();
        const bool Clipped = UseAxis() && Chart->ClipPoints() && Clip();
        DrawAllValues();
        if (Clipped)
            C->UnClipRectangle();
        DrawOwnMarks(this);
        DoAfterDrawValues();
        return;
    }

    // Series sharing one depth slot are drawn point by point together, by
    // the first of them.
    if (!FirstInZOrder())
        return;
    const int Me = Chart->SeriesList().IndexOf(this);
    std::vector<TChartSeries*> Group;
    int First = -1, Last = -1;
    bool Clipped = false;
    for (int i = Me; i < Chart->SeriesCount(); ++i) {
        TChartSeries* S = Chart->Series(i);
        if (!S->Active() || S->GetZOrder() != GetZOrder())
            continue;
        S->CalcFirstLastVisibleIndex();
        if (S->FirstVisibleIndex == -1)
            continue;
        Group.push_back(S);
        First = std::max(First, S->FirstVisibleIndex);
        Last = std::max(Last, S->LastVisibleIndex);
        S->DoBeforeDrawValues();
        if (!Clipped && Chart->ClipPoints())
            Clipped = Clip();
    }
    if (First != -1 && Last >= First) {
        const bool Forward = DrawValuesForward();
        for (int k = 0; k <= Last - First; ++k) {
            const int i = Forward ? First + k : Last - k;
            const bool Reverse = !DrawSeriesForward(i) && i < Count();
            for (int g = 0; g < static_cast<int>(Group.size()); ++g) {
                TChartSeries* S = Group[static_cast<size_t>(Reverse ? Group.size() - 1 - g : g)];
                if (S->Count() > i)
                    S->DrawValue(i);
            }
        }
    }
    if (Clipped)
        C->UnClipRectangle();
    for (TChartSeries* S : Group) {
        DrawOwnMarks(S);
        S->DoAfterDrawValues();
    }
}

// ------------------------------------------------------------------ marks

void TChartSeries::DrawMarks()
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    TSeriesMarks* M = Marks();
    TSeriesMarkPosition Position;
    const int Every = std::max(1, M->DrawEvery());
    for (int i = FirstVisibleIndex; i <= LastVisibleIndex; ++i) {
        if (i % Every != 0 || IsNull(i))
            continue;
        const std::string Text = GetMarkText(i);
        if (Text.empty())
            continue;
        TChCustomShape* Item = M->MarkItem(i);
        if (!Item->Visible())
            continue;
        C->AssignFont(Item->Font());
        if (Chart->View3D() && !C->Supports3DText() && Chart->View3DOptions()->ZoomText() &&
            Chart->View3DOptions()->Zoom() != 100)
            C->Font->SetSize(std::max(1, static_cast<int>(
                                             std::nearbyint(C->Font->Size() * Chart->View3DOptions()->Zoom() * 0.01))));
        int Lines = 0;
        int W = Chart->MultiLineTextWidth(Text, Lines) + C->TextWidth("W");
        int H = Lines * C->GetFontHeight();
        const bool Symbol = M->SymbolShown();
        if (Symbol)
            W += C->GetFontHeight() - 4;
        C->AssignVisiblePen(Item->Pen());
        int P = 1;
        if (Item->Pen()->Visible()) {
            P = 2 * Item->Pen()->Width();
            W += P;
        }
        H += P;
        Position.BoxWidth = W;
        Position.BoxHeight = H;
        Position.ArrowEnd = {CalcXPos(i), CalcYPos(i)};
        Position.ArrowStart = Position.ArrowEnd;
        Position.BoxTopLeft = {Position.ArrowEnd.X - W / 2, Position.ArrowEnd.Y - H + 1};
        if (Symbol) {
            const int F = C->GetFontHeight();
            const int Left = Position.BoxTopLeft.X + 2, Top = Position.ArrowEnd.Y - H + 3;
            M->Symbol()->ShapeBounds = {Left, Top, Left + F, Top + F};
        }
        DrawMark(i, Text, &Position);
    }
}

void TChartSeries::DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position)
{
    Marks()->InternalDraw(ValueIndex, GetValueColor(ValueIndex), Position, Text);
}

std::string TChartSeries::MarkPercent(int ValueIndex, bool AddTotal)
{
    const double T = MandatoryValueList()->TotalABS();
    const double Percent = T != 0 ? std::fabs(GetMarkValue(ValueIndex)) * 100 / T : 100;
    std::string Text = FormatFloat(PercentFormat(), Percent);
    if (AddTotal) {
        const std::string Fmt = Marks()->MultiLine() ? ChMsg_DefaultPercentOf2 : ChMsg_DefaultPercentOf;
        Text = Format(Fmt.c_str(), Text.c_str(), FormatFloat(ValueFormat(), T).c_str());
    }
    return Text;
}

std::string TChartSeries::GetMarkText(int ValueIndex)
{
    const std::string Sep = Marks()->MultiLine() ? std::string(1, ChLineSeparator) : std::string(" ");
    const std::string V = FormatFloat(ValueFormat(), GetMarkValue(ValueIndex));
    std::string L = XLabel(ValueIndex);
    if (L.empty())
        L = V;
    auto XText = [&]() {
        const double X = NotMandatoryValueList()->Value(ValueIndex);
        return GetHorizAxis() != nullptr ? GetHorizAxis()->LabelValue(X) : FormatFloat(ValueFormat(), X);
    };
    std::string Text;
    switch (Marks()->Style()) {
    case smsValue: Text = V; break;
    case smsPercent: Text = MarkPercent(ValueIndex, false); break;
    case smsLabel: Text = L; break;
    case smsLabelPercent: Text = L + Sep + MarkPercent(ValueIndex, false); break;
    case smsLabelValue: Text = L + Sep + V; break;
    case smsLegend:
        Text = ParentChart() != nullptr ? ParentChart()->FormattedValueLegend(this, ValueIndex) : std::string();
        if (!Marks()->MultiLine())
            std::replace(Text.begin(), Text.end(), ChColumnSeparator, ' ');
        break;
    case smsPercentTotal: Text = MarkPercent(ValueIndex, true); break;
    case smsLabelPercentTotal: Text = L + Sep + MarkPercent(ValueIndex, true); break;
    case smsXValue: Text = XText(); break;
    case smsXY: Text = XText() + Sep + V; break;
    }
    if (OnGetMarkText)
        OnGetMarkText(this, ValueIndex, Text);
    return Text;
}

// ------------------------------------------------------------------ legend items

std::string TChartSeries::LegendString(int LegendIndex, TLegendTextStyle TextStyle)
{
    const int i = LegendToValueIndex(LegendIndex);
    const std::string Label = XLabel(i);
    if (TextStyle == ltsPlain)
        return Label;
    const double Value = GetMarkValue(i);
    const std::string Sep(1, ChColumnSeparator);
    const std::string V = MandatoryValueList()->DateTime() ? FormatDateTime(DateTimeDefaultFormat(Value), Value)
                                                           : FormatFloat(ValueFormat(), Value);
    const double T = MandatoryValueList()->TotalABS();
    const std::string P = FormatFloat(PercentFormat(), T != 0 ? Value * 100 / T : 100);
    auto X = [&]() {
        const double XV = XValues()->Value(i);
        return GetHorizAxis() != nullptr ? GetHorizAxis()->LabelValue(XV) : FormatFloat(ValueFormat(), XV);
    };
    switch (TextStyle) {
    case ltsLeftValue: return Label.empty() ? V : V + Sep + Label;
    case ltsRightValue: return Label.empty() ? V : Label + Sep + V;
    case ltsLeftPercent: return Label.empty() ? P : P + Sep + Label;
    case ltsRightPercent: return Label.empty() ? P : Label + Sep + P;
    case ltsXValue: return X();
    case ltsValue: return V;
    case ltsPercent: return P;
    case ltsXAndValue: return X() + Sep + V;
    case ltsXAndPercent: return X() + Sep + P;
    default: return Label;
    }
}

void TChartSeries::DrawLegend(int ValueIndex, const TRect& Rect)
{
    if (ValueIndex == -1 && ColorEachPoint())
        return;
    TCustomAxisPanel* Chart = ParentChart();
    TValueRollback<bool> Quiet(Chart->RepaintOnChange, false);
    TCanvas3D* C = Chart->ChartCanvas();
    const TColor Color = ValueIndex == -1 ? GetSeriesColor() : LegendItemColor(ValueIndex);
    C->Brush->SetColor(Color);
    if (Color == clNone)
        return;
    TColor Back = Chart->LegendColor;
    TBrushStyle Style = Brush()->Style();
    C->AssignVisiblePen(Pen());
    PrepareLegendCanvas(ValueIndex, Back, Style);
    if (Chart->LegendPen != nullptr)
        C->AssignVisiblePen(Chart->LegendPen);
    if (Back == clSeriesDefault) {
        Back = Chart->LegendColor;
        if (Back == clSeriesDefault)
            Back = Chart->Color();
    }
    // The series' own brush takes the symbol's style for the symbol only.
    const TBrushStyle OldStyle = Brush()->Style();
    const bool ChangeStyle = Style != OldStyle;
    if (ChangeStyle)
        Brush()->SetStyle(Style);
    TScopeExit RestoreStyle([&] {
        if (ChangeStyle)
            Brush()->SetStyle(OldStyle);
    });
    Chart->SetBrushCanvas(C->Brush->Color(), Brush(), Back);
    DrawLegendShape(ValueIndex, Rect);
}

void TChartSeries::DrawLegendShape(int ValueIndex, const TRect& Rect)
{
    TCanvas3D* C = ParentChart()->ChartCanvas();
    C->Rectangle(Rect);
    if (C->Brush->Color() == ParentChart()->LegendColor) {
        const TColor OldPen = C->Pen->Color();
        if (C->Brush->Color() == clBlack)
            C->Pen->SetColor(clWhite);
        C->Brush->SetStyle(bsClear);
        C->Rectangle(Rect);
        C->Pen->SetColor(OldPen);
    }
}

// ------------------------------------------------------------------ the mouse over a series

bool TChartSeries::CheckMouse(int X, int Y)
{
    if (Cursor == crDefault && !OnMouseEnter && !OnMouseLeave)
        return false;
    if (Clicked(X, Y) == -1) {
        if (FMouseInside) {
            FMouseInside = false;
            if (OnMouseLeave)
                OnMouseLeave(this);
        }
        return false;
    }
    if (Cursor != crDefault && FParent != nullptr)
        FParent->SetCursor(Cursor);
    if (!FMouseInside) {
        FMouseInside = true;
        if (OnMouseEnter)
            OnMouseEnter(this);
    }
    return true;
}
