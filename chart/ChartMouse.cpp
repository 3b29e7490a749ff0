// The chart's answer to the mouse: hit test, click events, zooming by a
// dragged rectangle, panning by dragging, the wheel, and the saved scales.
#include "chart/Chart.h"

#include <cmath>

double AnimatedZoomFactor = 3.0;
TShiftState ChScrollKeyShift;
bool ChUseMouseWheel = true;

namespace {

bool ContainsAll(TShiftState Shift, TShiftState Keys)
{
    for (int i = ssShift; i <= ssDouble; ++i) {
        const auto Item = static_cast<TShiftStateItem>(i);
        if (Keys.Contains(Item) && !Shift.Contains(Item))
            return false;
    }
    return true;
}

bool InRect(const TRect& R, int X, int Y)
{
    return X >= R.Left && X <= R.Right && Y >= R.Top && Y <= R.Bottom;
}

} // namespace

// ------------------------------------------------------------------ hit test

TChartClickedPart TCustomChart::CalcNeedClickedPart(const TPoint& P, bool OnlyIfEvents)
{
    TChartClickedPart Part;
    TChartLegend* L = FLegend.get();
    if (L->Visible() && L->CustomPosition()) {
        const int Index = L->Clicked(P.X, P.Y);
        if (Index != -1) {
            Part.PartStyle = cpLegend;
            Part.PartIndex = Index;
            return Part;
        }
    }
    for (int i = SeriesCount() - 1; i >= 0; --i) {
        TChartSeries* S = Series(i);
        if (!S->Active())
            continue;
        if (OnlyIfEvents && !S->OnClick && !S->OnDblClick && !OnClickSeries)
            continue;
        const int Index = S->Clicked(P.X, P.Y);
        if (Index != -1) {
            Part.PartStyle = cpSeries;
            Part.PartIndex = Index;
            Part.PartSeries = S;
            return Part;
        }
    }
    for (int i = 0; i < AxesList().Count(); ++i) {
        TChartAxis* A = AxesList()[i];
        if (A->Clicked(P.X, P.Y)) {
            Part.PartStyle = cpAxis;
            Part.PartAxis = A;
            return Part;
        }
    }
    if (L->Visible() && !L->CustomPosition()) {
        const int Index = L->Clicked(P.X, P.Y);
        if (Index != -1) {
            Part.PartStyle = cpLegend;
            Part.PartIndex = Index;
            return Part;
        }
    }
    const std::pair<TChartTitle*, TChartClickedPartStyle> Titles[] = {
        {FTitle.get(), cpTitle}, {FSubTitle.get(), cpSubTitle}, {FFoot.get(), cpFoot}, {FSubFoot.get(), cpSubFoot}};
    for (const auto& [T, Style] : Titles)
        if (T->Clicked(P.X, P.Y)) {
            Part.PartStyle = Style;
            return Part;
        }
    if (InRect(ChartRect, P.X, P.Y) && CountActiveSeries() > 0)
        Part.PartStyle = cpChartRect;
    return Part;
}

void TCustomChart::BroadcastMouseEvent(TChartMouseEvent Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    for (int i = 0; i < Tools().Count(); ++i) {
        TChCustomTool* T = Tools()[i];
        if (!T->Active())
            continue;
        T->ChartMouseEvent(Kind, Button, Shift, X, Y);
        if (MouseCancelled)
            break;
    }
}

// ------------------------------------------------------------------ mouse messages

void TCustomChart::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomAxisPanel::MouseDown(Button, Shift, X, Y);
    if (MouseCancelled || Zoom()->Active || Panning.Active)
        return;
    MouseCancelled = false;
    BroadcastMouseEvent(cmeDown, Button, Shift, X, Y);
    if (MouseCancelled)
        return;

    const TChartClickedPart Part = CalcNeedClickedPart({X, Y}, true);
    bool Handled = false;
    // A handler claims the click unless it sets MouseCancelled back to false.
    const auto Call = [&](const auto& Handler) {
        MouseCancelled = true;
        Handler();
        Handled = MouseCancelled;
    };
    switch (Part.PartStyle) {
    case cpLegend:
        Handled = FLegend->DoMouseDown(X, Y);
        if (OnClickLegend)
            Call([&] { OnClickLegend(this, Button, Shift, X, Y); });
        break;
    case cpAxis:
        if (OnClickAxis)
            Call([&] { OnClickAxis(this, Part.PartAxis, Button, Shift, X, Y); });
        if (!Handled)
            TryZoomOrPanning(Button, Shift, X, Y);
        break;
    case cpSeries: {
        TChartSeries* S = Part.PartSeries;
        MouseCancelled = false;
        if (Shift.Contains(ssDouble)) {
            if (S->OnDblClick)
                S->OnDblClick(S, Part.PartIndex, Button, Shift, X, Y);
        } else if (S->OnClick)
            S->OnClick(S, Part.PartIndex, Button, Shift, X, Y);
        Handled = MouseCancelled;
        if (OnClickSeries)
            Call([&] { OnClickSeries(this, S, Part.PartIndex, Button, Shift, X, Y); });
        if (!Handled)
            TryZoomOrPanning(Button, Shift, X, Y);
        break;
    }
    case cpTitle:
    case cpSubTitle:
    case cpFoot:
    case cpSubFoot: {
        TChartTitle* T = Part.PartStyle == cpTitle      ? FTitle.get()
                         : Part.PartStyle == cpSubTitle ? FSubTitle.get()
                         : Part.PartStyle == cpFoot     ? static_cast<TChartTitle*>(FFoot.get())
                                                        : static_cast<TChartTitle*>(FSubFoot.get());
        if (OnClickTitle)
            Call([&] { OnClickTitle(this, T, Button, Shift, X, Y); });
        if (!Handled)
            TryZoomOrPanning(Button, Shift, X, Y);
        break;
    }
    case cpChartRect:
        if (OnClickBackground)
            Call([&] { OnClickBackground(this, Button, Shift, X, Y); });
        if (!Handled)
            TryZoomOrPanning(Button, Shift, X, Y);
        break;
    case cpSeriesMarks:
    case cpNone:
        break;
    }
    if (Part.PartStyle != cpChartRect && !Handled && OnClickBackground)
        Call([&] { OnClickBackground(this, Button, Shift, X, Y); });
    MouseCancelled = false;
}

bool TCustomChart::TryZoomOrPanning(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (!ActiveSeriesUseAxis())
        return false;
    bool Started = false;
    TChZoom* Z = Zoom();
    if (Z->Allow() && Button == Z->MouseButton() && ContainsAll(Shift, Z->KeyShift())) {
        if (Z->Direction() == tzdVertical)
            X = ChartRect.Left;
        else if (Z->Direction() == tzdHorizontal)
            Y = ChartRect.Top;
        Z->Activate(X, Y);
        if (Z->Direction() == tzdVertical)
            Z->EndX = ChartRect.Right;
        else if (Z->Direction() == tzdHorizontal)
            Z->EndY = ChartRect.Bottom;
        DrawZoomRectangle();
        Started = true;
    }
    if (AllowPanning() != pmNone && Button == ScrollMouseButton && ContainsAll(Shift, ChScrollKeyShift)) {
        Panning.Activate(X, Y);
        Started = true;
    }
    if (Started)
        SetCursor(SavedCursor);
    return Started;
}

void TCustomChart::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomAxisPanel::MouseMove(Shift, X, Y);
    BroadcastMouseEvent(cmeMove, mbLeft, Shift, X, Y);
    if (MouseCancelled)
        return;

    TChZoom* Z = Zoom();
    if (Z->Active) {
        if (Z->Direction() == tzdVertical)
            X = ChartRect.Right;
        else if (Z->Direction() == tzdHorizontal)
            Y = ChartRect.Bottom;
        if (X != Z->EndX || Y != Z->EndY) {
            DrawZoomRectangle();
            Z->EndX = X;
            Z->EndY = Y;
            DrawZoomRectangle();
        }
        return;
    }
    if (Panning.Active) {
        if (!InRect(ChartRect, X, Y)) {
            Panning.Active = false;
            return;
        }
        if (X == Panning.EndX && Y == Panning.EndY)
            return;
        bool Moved = false;
        Panning.Check();
        if (ScalesRestored) {
            SaveScales(SavedScales);
            ScalesRestored = false;
        }
        PanningStep(true, X, Panning.EndX, Moved);
        PanningStep(false, Y, Panning.EndY, Moved);
        Panning.EndX = X;
        Panning.EndY = Y;
        if (Moved) {
            if (OnScroll)
                OnScroll(this);
            Invalidate();
        }
        return;
    }
    if (!CheckMouseSeries(X, Y))
        SetCursor(SavedCursor);
}

void TCustomChart::PanningStep(bool Horizontal, int New, int Old, bool& Moved)
{
    if (New == Old)
        return;
    const TPanningMode Mode = AllowPanning();
    if (!(Mode == pmBoth || (Horizontal && Mode == pmHorizontal) || (!Horizontal && Mode == pmVertical)))
        return;
    for (int i = 0; i < AxesList().Count(); ++i) {
        TChartAxis* A = AxesList()[i];
        if (A->IsDepth || A->Horizontal() != Horizontal)
            continue;
        const double D = A->CalcPosPoint(Old) - A->CalcPosPoint(New);
        double AMin = A->Minimum() + D;
        double AMax = A->Maximum() + D;
        bool AllowScroll = true;
        if (OnAllowScroll)
            OnAllowScroll(A, AMin, AMax, AllowScroll);
        if (AllowScroll)
            A->SetMinMax(AMin, AMax);
    }
    Moved = true;
}

void TCustomChart::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    MouseCancelled = false;
    TCustomAxisPanel::MouseUp(Button, Shift, X, Y);
    TChZoom* Z = Zoom();
    if (Z->Active && Button == Z->MouseButton()) {
        Z->Active = false;
        DrawZoomRectangle();
        ChartCanvas()->Pen->SetMode(pmCopy);
        if (Z->Direction() == tzdVertical)
            X = Z->StartX + Z->MinimumPixels() + 1;
        else if (Z->Direction() == tzdHorizontal)
            Y = Z->StartY + Z->MinimumPixels() + 1;
        Z->EndX = X;
        Z->EndY = Y;
        if (std::abs(Z->EndX - Z->StartX) > Z->MinimumPixels() && std::abs(Z->EndY - Z->StartY) > Z->MinimumPixels()) {
            if (Z->UpLeftZooms() || Z->EndX > Z->StartX) {
                // A one-way zoom leaves the other axes at their full range
                // instead of the forced minimal extent of the check above.
                if (Z->Direction() == tzdVertical) {
                    Z->StartX = ChartRect.Left;
                    Z->EndX = ChartRect.Right;
                } else if (Z->Direction() == tzdHorizontal) {
                    Z->StartY = ChartRect.Top;
                    Z->EndY = ChartRect.Bottom;
                }
                CalcZoomPoints();
            }
            else
                UndoZoom();
            Invalidate();
        }
    }
    Panning.Active = false;
    BroadcastMouseEvent(cmeUp, Button, Shift, X, Y);
}

// ------------------------------------------------------------------ wheel

bool TCustomChart::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (WheelDelta < 0)
        return DoMouseWheelDown(Shift, MousePos);
    if (WheelDelta > 0)
        return DoMouseWheelUp(Shift, MousePos);
    return TCustomAxisPanel::DoMouseWheel(Shift, WheelDelta, MousePos);
}

bool TCustomChart::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    const bool Result = TCustomAxisPanel::DoMouseWheel(Shift, -120, MousePos);
    if (ChUseMouseWheel)
        ScrollVerticalAxes(true);
    return Result;
}

bool TCustomChart::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    const bool Result = TCustomAxisPanel::DoMouseWheel(Shift, 120, MousePos);
    if (ChUseMouseWheel)
        ScrollVerticalAxes(false);
    return Result;
}

void TCustomChart::ScrollVerticalAxes(bool Up)
{
    for (int i = 0; i < AxesList().Count(); ++i) {
        TChartAxis* A = AxesList()[i];
        if (A->Horizontal())
            continue;
        double Offset = (A->Maximum() - A->Minimum()) * 3 * 0.01;
        if (!Up)
            Offset = -Offset;
        A->Scroll(Offset, false);
    }
}

// ------------------------------------------------------------------ zoom

void TCustomChart::DoZoom(double TopMin, double TopMax, double BottomMin, double BottomMax, double LeftMin,
                          double LeftMax, double RightMin, double RightMax)
{
    if (ScalesRestored) {
        SaveScales(SavedScales);
        ScalesRestored = false;
    }
    if (Zoom()->Animated()) {
        const auto Step = [](TChartAxis* A, double NewMin, double NewMax) {
            A->SetMinMax(A->Minimum() + (NewMin - A->Minimum()) / AnimatedZoomFactor,
                         A->Maximum() - (A->Maximum() - NewMax) / AnimatedZoomFactor);
        };
        for (int i = 1; i < Zoom()->AnimatedSteps(); ++i) {
            Step(LeftAxis(), LeftMin, LeftMax);
            Step(RightAxis(), RightMin, RightMax);
            Step(TopAxis(), TopMin, TopMax);
            Step(BottomAxis(), BottomMin, BottomMax);
            Refresh();
        }
    }
    LeftAxis()->SetMinMax(LeftMin, LeftMax);
    RightAxis()->SetMinMax(RightMin, RightMax);
    TopAxis()->SetMinMax(TopMin, TopMax);
    BottomAxis()->SetMinMax(BottomMin, BottomMax);
    Zoomed = true;
    if (OnZoom)
        OnZoom(this);
}

void TCustomChart::ZoomRect(const TRect& Rect)
{
    TChZoom* Z = Zoom();
    Z->StartX = Rect.Left;
    Z->StartY = Rect.Top;
    Z->EndX = Rect.Right;
    Z->EndY = Rect.Bottom;
    CalcZoomPoints();
}

void TCustomChart::CalcZoomPoints()
{
    TChZoom* Z = Zoom();
    Z->Check();
    DoZoom(TopAxis()->CalcPosPoint(Z->StartX), TopAxis()->CalcPosPoint(Z->EndX),
           BottomAxis()->CalcPosPoint(Z->StartX), BottomAxis()->CalcPosPoint(Z->EndX),
           LeftAxis()->CalcPosPoint(Z->EndY), LeftAxis()->CalcPosPoint(Z->StartY),
           RightAxis()->CalcPosPoint(Z->EndY), RightAxis()->CalcPosPoint(Z->StartY));
}

void TCustomChart::ZoomPercent(double Percent)
{
    double R[4][2];
    TChartAxis* const Axes[4] = {LeftAxis(), RightAxis(), TopAxis(), BottomAxis()};
    for (int i = 0; i < 4; ++i) {
        // CalcMinMax answers only the automatic ends.
        double Min = Axes[i]->Minimum(), Max = Axes[i]->Maximum();
        Axes[i]->CalcMinMax(Min, Max);
        const double D = (Max - Min) * (Percent - 100) * 0.01;
        R[i][0] = Min + D;
        R[i][1] = Max - D;
    }
    DoZoom(R[2][0], R[2][1], R[3][0], R[3][1], R[0][0], R[0][1], R[1][0], R[1][1]);
    Invalidate();
}

void TCustomChart::UndoZoom()
{
    if (!ScalesRestored) {
        RestoreScales(SavedScales);
        ScalesRestored = true;
    }
    TCustomAxisPanel::UndoZoom();
}

void TCustomChart::SaveScales(TAllAxisSavedScales& Scales)
{
    Scales.assign(static_cast<size_t>(AxesList().Count()), TAxisSavedScales{});
    for (int i = 0; i < AxesList().Count(); ++i) {
        TChartAxis* A = AxesList()[i];
        if (A->IsDepth)
            continue;
        TAxisSavedScales& S = Scales[static_cast<size_t>(i)];
        S.Auto = A->Automatic();
        S.AutoMin = A->AutomaticMinimum();
        S.AutoMax = A->AutomaticMaximum();
        S.Min = A->Minimum();
        S.Max = A->Maximum();
    }
}

void TCustomChart::RestoreScales(TAllAxisSavedScales& Scales)
{
    const int N = std::min(AxesList().Count(), static_cast<int>(Scales.size()));
    for (int i = 0; i < N; ++i) {
        TChartAxis* A = AxesList()[i];
        if (A->IsDepth)
            continue;
        const TAxisSavedScales& S = Scales[static_cast<size_t>(i)];
        A->SetAutomatic(S.Auto);
        A->SetAutomaticMinimum(S.AutoMin);
        A->SetAutomaticMaximum(S.AutoMax);
        A->InternalSetMinimum(S.Min);
        A->InternalSetMaximum(S.Max);
    }
    Scales.clear();
}
