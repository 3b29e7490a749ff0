// How the line-and-area series draw their values: one segment per value from
// the previous point, as a 2-D line, a stair, a 3-D ribbon or an area down to
// the origin, pointers on top, and the shadow and outline passes.
#include "chart/SeriesCustom.h"
#include "chart/ChColumnScan.h"

#include "platform/ScopeGuard.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <span>
#include <vector>

// ------------------------------------------------------------------ colours and pens

TColor TCustomSeries::GetAreaBrushColor(TColor AColor) const
{
    if (ColorEachPoint() || FAreaColor == clSeriesDefault)
        return AColor;
    return FAreaColor;
}

TColor TCustomSeries::GetValueColor(int ValueIndex)
{
    const TColor Color = TCustomLineSeries::GetValueColor(ValueIndex);
    if (FPassColor == clSeriesDefault || Color == clNone)
        return Color;
    return FPassColor;
}

void TCustomSeries::LinePrepareCanvas(TCanvas3D* Canvas, TColor AColor)
{
    if (Canvas->Monochrome())
        AColor = clWhite;
    if (ParentChart()->View3D()) {
        if (Brush()->HasImage())
            Canvas->AssignBrushColor(Brush(), AColor, AColor);
        else {
            Canvas->Brush->SetStyle(LineBrush());
            Canvas->Brush->SetColor(AColor);
        }
        Canvas->AssignVisiblePen(LinePen());
    } else {
        Canvas->Brush->SetStyle(bsClear);
        Canvas->AssignVisiblePenColor(LinePen(), AColor);
    }
    ParentChart()->CheckPenWidth(Canvas->Pen);
}

void TCustomSeries::DrawPointer(int X, int Y, TColor AColor, int ValueIndex)
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    FPointer->PrepareCanvas(C, AColor);
    const TSeriesPointerStyle Style = OnGetPointerStyle ? OnGetPointerStyle(this, ValueIndex) : FPointer->Style();
    FPointer->DrawPointer(C, Chart->View3D(), X, Y, FPointer->HorizSize(), FPointer->VertSize(), AColor, Style);
}

// ------------------------------------------------------------------ one value

int TCustomSeries::EdgeValuePixel(int ValueIndex, double EdgePosition)
{
    // Positions and values of the two points around the edge.
    TChartValueList* Positions = NotMandatoryValueList();
    TChartValueList* Values = MandatoryValueList();
    const double P0 = Positions->Value(ValueIndex - 1), P1 = Positions->Value(ValueIndex);
    const double V0 = Values->Value(ValueIndex - 1), V1 = Values->Value(ValueIndex);
    double V = V0;
    if (P1 != P0) {
        const double T = (EdgePosition - P0) / (P1 - P0);
        // A logarithm needs both values above zero; otherwise the straight
        // interpolation still gives a place on the axis.
        if (MandatoryAxis()->Logarithmic() && V0 > 0 && V1 > 0)
            V = std::exp(std::log(V0) + (std::log(V1) - std::log(V0)) * T);
        else
            V = V0 + (V1 - V0) * T;
    }
    return CalcPosValue(V);
}

void TCustomSeries::DrawValue(int ValueIndex)
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    const TColor Color = GetValueColor(ValueIndex);
    const int X = CalcXPos(ValueIndex);
    const int Y = CalcYPos(ValueIndex);
    if (C->Pen->Color() != clBlack)
        C->Pen->SetColor(clBlack);
    if (C->Brush->Color() != Color)
        C->Brush->SetColor(Color);
    if (FPrevColor == clNone)
        FPrevPoint = {X, Y};
    FOriginPos = GetOriginPos(ValueIndex);

    const bool Forward = DrawValuesForward();
    const int FirstToDraw = Forward ? FirstVisibleIndex : LastVisibleIndex;
    const bool IsLast = ValueIndex == (Forward ? LastVisibleIndex : FirstVisibleIndex);
    if (ValueIndex == FirstToDraw) {
        if (FDark3D) {
            const int W = Chart->SeriesWidth3D;
            FSlopeRatio = W == 0 ? 1.0 : std::fabs(static_cast<double>(Chart->SeriesHeight3D) / W);
        }
        if (ValueIndex == FirstVisibleIndex && ValueIndex > 0) {
            // The segment that enters the visible range.
            const int Before = ValueIndex - 1;
            if (FDrawArea) {
                FPrevPoint = {CalcXPos(Before), CalcYPos(Before)};
                FPrevOriginPos = GetOriginPos(Before);
            } else if (!IsHorizontal()) {
                TChartAxis* A = GetHorizAxis();
                const int Edge = A->Inverted() ? Chart->ChartRect.Right : Chart->ChartRect.Left;
                FPrevPoint.X = Edge;
                FPrevPoint.Y = FStairs ? CalcYPos(Before) : EdgeValuePixel(ValueIndex, A->CalcPosPoint(Edge));
            } else {
                TChartAxis* A = GetVertAxis();
                const int Edge = A->Inverted() ? Chart->ChartRect.Top : Chart->ChartRect.Bottom;
                FPrevPoint.Y = Edge;
                FPrevPoint.X = FStairs ? CalcXPos(Before) : EdgeValuePixel(ValueIndex, A->CalcPosPoint(Edge));
            }
            if (!IsNull(Before))
                DrawSegment(ValueIndex, X, Y, Color, false, IsLast);
        }
        if (IsLast && FPointer->Visible() && Color != clNone)
            DrawPointer(X, Y, Color, ValueIndex);
        if (C->SupportsFullRotation() && FDrawArea && Chart->View3D())
            C->RectangleZ(X, Y, FOriginPos, StartZ, EndZ);
    } else
        DrawSegment(ValueIndex, X, Y, Color, true, IsLast);

    FPrevPoint = {X, Y};
    FPrevOriginPos = FOriginPos;
    FPrevColor = Color;
}

void TCustomSeries::DrawSegment(int ValueIndex, int X1, int Y1, TColor AColor, bool WithPointers, bool IsLast)
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    const int X0 = FPrevPoint.X, Y0 = FPrevPoint.Y;
    if ((X1 != X0 || Y1 != Y0) && AColor != clNone) {
        const bool Is3D = Chart->View3D();
        if (Is3D && (FDrawArea || FJoinPoints))
            DrawRibbon(X0, Y0, X1, Y1, AColor, IsLast);
        if (FDrawArea) {
            const TColor Area = GetAreaBrushColor(AColor);
            C->Brush->SetColor(Area);
            PrepareAreaLinesPen(C, AColor);
            DrawAreaPart(X0, Y0, X1, Y1, Area, IsLast);
        } else if (!Is3D && FJoinPoints)
            DrawLine2D(X0, Y0, X1, Y1, FColorEachLine ? AColor : DrawingSeriesColor());
    }
    if (WithPointers && FPointer->Visible()) {
        // The previous point's pointer lies on the segment that leaves it.
        if (FPrevColor != clNone)
            DrawPointer(X0, Y0, FPrevColor, DrawValuesForward() ? ValueIndex - 1 : ValueIndex + 1);
        if (IsLast && AColor != clNone)
            DrawPointer(X1, Y1, AColor, ValueIndex);
    }
}

void TCustomSeries::PrepareAreaLinesPen(TCanvas3D* Canvas, TColor AColor)
{
    if (FAreaLinesPen->Color() != clSeriesDefault && FAreaLinesPen->Visible())
        Canvas->AssignVisiblePen(FAreaLinesPen.get());
    else
        Canvas->AssignVisiblePenColor(FAreaLinesPen.get(), AColor);
}

void TCustomSeries::DrawLine2D(int X0, int Y0, int X1, int Y1, TColor AColor)
{
    TCanvas3D* C = ParentChart()->ChartCanvas();
    LinePrepareCanvas(C, AColor);
    if (!FStairs) {
        C->Line(X0, Y0, X1, Y1);
        return;
    }
    // The step runs along the positions first, unless inverted.
    const bool AlongValuesFirst = IsHorizontal() != FInvertedStairs;
    if (AlongValuesFirst)
        C->DoVertLine(X0, Y0, Y1);
    else
        C->DoHorizLine(X0, X1, Y0);
    C->LineTo(X1, Y1);
}

// ------------------------------------------------------------------ 3-D ribbons

void TCustomSeries::DrawRibbon(int X0, int Y0, int X1, int Y1, TColor AColor, bool IsLast)
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    C->AssignVisiblePen(LinePen());
    if (LinePen()->Visible())
        Chart->CheckPenWidth(C->Pen);
    const TColor Face = (FColorEachLine || FDrawArea) ? GetAreaBrushColor(AColor) : DrawingSeriesColor();
    if (Brush()->HasImage())
        C->AssignBrushColor(Brush(), Face, Face);
    else {
        C->Brush->SetColor(Face);
        C->Brush->SetStyle(LineBrush());
    }
    const auto Dark = [&] {
        if (FDark3D)
            C->Brush->SetColor(ApplyDark(Face, DarkColorQuantity));
    };
    const bool Horiz = IsHorizontal();
    // A tread runs along the positions at one value, a riser along the values.
    const auto Tread = [&](int Value, int From, int To) {
        if (Horiz)
            C->RectangleZ(Value, From, To, StartZ, EndZ);
        else
            C->RectangleY(From, Value, To, StartZ, EndZ);
    };
    const auto Riser = [&](int Position, int From, int To) {
        if (Horiz)
            C->RectangleY(From, Position, To, StartZ, EndZ);
        else
            C->RectangleZ(Position, From, To, StartZ, EndZ);
    };
    // Position and value pixels of both ends.
    const int P0 = Horiz ? Y0 : X0, P1 = Horiz ? Y1 : X1;
    const int V0 = Horiz ? X0 : Y0, V1 = Horiz ? X1 : Y1;

    if (FStairs) {
        if (FInvertedStairs) {
            Dark();
            Riser(P0, V0, V1);
            C->Brush->SetColor(Face);
            Tread(V1, P1, P0);
        } else {
            Tread(V0, P0, P1);
            Dark();
            Riser(P1, V1, V0);
            C->Brush->SetColor(Face);
        }
        return;
    }

    const int H = FLineHeight;
    const bool Front = H > 0 && !FDrawArea;
    if (Front) {
        TFourPoints Face4 = Horiz ? TFourPoints{TPoint{X1, Y1}, TPoint{X0, Y0}, TPoint{X0 + H, Y0}, TPoint{X1 + H, Y1}}
                                  : TFourPoints{TPoint{X1, Y1}, TPoint{X0, Y0}, TPoint{X0, Y0 + H}, TPoint{X1, Y1 + H}};
        C->PlaneFour3D(Face4, StartZ, StartZ);
        if (IsLast) {
            if (Horiz)
                C->RectangleY(X1, Y1, X1 + H, StartZ, EndZ);
            else
                C->RectangleZ(X1, Y1, Y1 + H, StartZ, EndZ);
        }
    }
    int A0 = V0, A1 = V1;
    if (FDark3D && !C->SupportsFullRotation() && P1 != P0 && FSlopeRatio != 0 &&
        static_cast<double>(V0 - V1) / (P1 - P0) > FSlopeRatio) {
        Dark();
        if (Front) {
            A0 += H;
            A1 += H;
        }
    }
    if (C->Monochrome())
        C->Brush->SetColor(clWhite);
    if (Horiz)
        C->Plane3D({A1, Y1}, {A0, Y0}, StartZ, EndZ);
    else
        C->Plane3D({X1, A1}, {X0, A0}, StartZ, EndZ);
    C->Brush->SetColor(Face);
}

// ------------------------------------------------------------------ areas

void TCustomSeries::DrawAreaPart(int X0, int Y0, int X1, int Y1, TColor AreaBrushColor, bool IsLast)
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    const bool Is3D = Chart->View3D();
    const bool Horiz = IsHorizontal();
    const TColor Back = FAreaChartBrush->Color() == clSeriesDefault ? DrawingSeriesColor() : FAreaChartBrush->Color();
    Chart->SetBrushCanvas(AreaBrushColor, FAreaChartBrush.get(), Back);

    if (Is3D && IsLast) {
        if (Horiz)
            C->RectangleY(X1, Y1, FOriginPos, StartZ, EndZ);
        else
            C->RectangleZ(X1, Y1, FOriginPos, StartZ, EndZ);
    }
    const auto DrawTopLine = [&](int AX0, int AY0, int AX1, int AY1) {
        C->AssignVisiblePen(LinePen());
        C->LineWithZ(AX0, AY0, AX1, AY1, StartZ);
    };

    if (FStairs) {
        int Value, Origin;
        if (FInvertedStairs) {
            Value = Horiz ? X1 : Y1;
            Origin = FOriginPos;
        } else {
            Value = Horiz ? X0 : Y0;
            Origin = FPrevOriginPos;
        }
        const TRect R = Horiz ? TRect{Origin, Y0 + 1, Value + 1, Y1} : TRect{X0, Value, X1 + 1, Origin};
        TChBlend* Blend = nullptr;
        if (FTransparency > 0)
            Blend = C->BeginBlending(Is3D ? C->RectFromRectZ(R, StartZ) : R, FTransparency);
        if (Is3D) {
            C->RectangleWithZ(R, StartZ);
            if (C->SupportsFullRotation())
                C->RectangleWithZ(R, EndZ);
        } else if (FGradient->Visible()) {
            FGradient->Draw(C, R);
            if (C->Pen->Style() != psClear) {
                C->Brush->SetStyle(bsClear);
                C->Rectangle(R);
            }
        } else
            C->Rectangle(R);
        if (Blend != nullptr)
            C->EndBlending(Blend);
        if (LinePen()->Visible() && !FAreaLinesPen->Visible()) {
            if (Horiz) {
                if (FInvertedStairs) {
                    DrawTopLine(X1, Y0, X1, Y1);
                    DrawTopLine(X0, Y0, X1, Y0);
                } else {
                    DrawTopLine(X0, Y0, X0, Y1);
                    DrawTopLine(X0, Y1 - 1, X1, Y1 - 1);
                }
            } else if (FInvertedStairs) {
                DrawTopLine(X0, Y1, X1, Y1);
                DrawTopLine(X0, Y0, X0, Y1);
            } else {
                DrawTopLine(X0, Y0, X1, Y0);
                DrawTopLine(X1 - 1, Y0, X1 - 1, Y1);
            }
        }
        return;
    }

    const TPointArray P = Horiz ? TPointArray{{FPrevOriginPos, Y0}, {X0, Y0}, {X1, Y1}, {FOriginPos, Y1}}
                                : TPointArray{{X0, FPrevOriginPos}, {X0, Y0}, {X1, Y1}, {X1, FOriginPos}};
    TChBlend* Blend = nullptr;
    if (FTransparency > 0) {
        const TRect Bounds = PolygonBounds(P);
        Blend = C->BeginBlending(Is3D ? C->CalcRect3D(Bounds, StartZ) : Bounds, FTransparency);
    }
    if (Is3D) {
        const int Rotation = Chart->View3DOptions()->Rotation();
        const int Z = Rotation > 90 && Rotation < 270 ? EndZ : StartZ;
        if (FGradient->Visible())
            FGradient->Draw(C, P, Z, true);
        else
            C->PlaneWithZ(P[0], P[1], P[2], P[3], Z);
    } else if (FGradient->Visible()) {
        // One gradient runs through every segment: from the series' far
        // extreme to its near one, or to the origin when that lies beyond.
        C->ClipPolygon(P, 4);
        TRect G;
        if (Horiz) {
            const int Low = CalcXPosValue(MinXValue()), High = CalcXPosValue(MaxXValue());
            G = {std::min({Low, FOriginPos, FPrevOriginPos}), Y0, std::max({High, FOriginPos, FPrevOriginPos}), Y1};
        } else {
            const int Top = CalcYPosValue(MaxYValue()), Bottom = CalcYPosValue(MinYValue());
            G = {X0, std::min({Top, FOriginPos, FPrevOriginPos}), X1, std::max({Bottom, FOriginPos, FPrevOriginPos})};
        }
        FGradient->Draw(C, OrientRectangle(G));
        C->UnClipRectangle();
        C->Brush->SetStyle(bsClear);
        if (C->Pen->Style() != psClear) {
            if (Horiz)
                C->DoHorizLine(X0, FPrevOriginPos, Y0);
            else
                C->DoVertLine(X0, Y0, FPrevOriginPos);
        }
    } else
        C->Polygon(P);
    if (Is3D && C->SupportsFullRotation())
        C->PolygonWithZ(P, EndZ);
    if (Blend != nullptr)
        C->EndBlending(Blend);
    if (LinePen()->Visible())
        DrawTopLine(X0, Y0, X1, Y1);
}

// ------------------------------------------------------------------ runs in one pixel column

namespace {

bool Paints(TPen* P) { return P->Style() != psClear && P->Color() != clNone; }

} // namespace

bool TCustomSeries::CanDrawColumnRuns()
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    if (C->DrawEveryPoint || C->Metafiling || Chart->View3D() || IsHorizontal() || !DrawValuesForward())
        return false;
    if (LastVisibleIndex - FirstVisibleIndex < 2 || FPointer->Visible() || FStairs || IsStacked() ||
        !(FJoinPoints || FDrawArea))
        return false;
    const TColor Color = SeriesColor();
    if (!FDrawArea) {
        LinePrepareCanvas(C, Color);
        return ChThinSolidPen(C->Pen);
    }
    if (FGradient->Visible() || FTransparency > 0)
        return false;
    PrepareAreaLinesPen(C, Color);
    if (!ChThinSolidPen(C->Pen))
        return false;
    C->AssignVisiblePen(LinePen());
    return ChThinSolidPen(C->Pen);
}

void TCustomSeries::DrawColumnRuns()
{
    const int Last = LastVisibleIndex;
    DrawValue(FirstVisibleIndex);
    // Not stacked: a point's pixel is its values' on the axes, and the
    // origin is one for all points. Without colours of their own the points
    // all have the series' (or the pass's) colour.
    const bool OneColour = !HasValueColors() && !ColorEachPoint();
    if (OneColour && !FDrawArea && FPrevColor != clNone && DrawColumnsScanned())
        return;
    const int From = FirstVisibleIndex + 1, Count = Last - From + 1;
    FPointPixels.resize(static_cast<size_t>(2 * Count));
    int* const PX = FPointPixels.data();
    int* const PY = PX + Count;
    GetHorizAxis()->PosValues(true, XValues()->Values().data() + From, Count, PX);
    GetVertAxis()->PosValues(false, YValues()->Values().data() + From, Count, PY);
    const auto ColourOf = [&](int i) { return OneColour ? FPrevColor : GetValueColor(i); };
    int i = From;
    while (i <= Last) {
        const TColor Color = ColourOf(i);
        if (Color == clNone || Color != FPrevColor || PX[i - From] != FPrevPoint.X) {
            DrawValue(i++);
            continue;
        }
        // A run in the previous point's column, of its colour.
        const int X = FPrevPoint.X;
        FRunY.clear();
        FRunY.push_back(FPrevPoint.Y);
        FRunY.push_back(PY[i - From]);
        int j = i + 1;
        for (; j <= Last; ++j) {
            if (PX[j - From] != X || ColourOf(j) != Color)
                break;
            FRunY.push_back(PY[j - From]);
        }
        PaintColumnRun(X, FPrevOriginPos, Color);
        FPrevPoint = {X, FRunY.back()};
        i = j;
    }
}

bool TCustomSeries::DrawColumnsScanned()
{
    const int Last = LastVisibleIndex;
    const double* const Xs = XValues()->Values().data();
    const double* const Ys = YValues()->Values().data();
    TChartAxis* const Horiz = GetHorizAxis();
    TChartAxis* const Vert = GetVertAxis();
    if (!ChCanScanColumns(Horiz, Vert, Xs, FirstVisibleIndex + 1, Last))
        return false;
    // The points that go on down the column of the point before, one by
    // one; then a column at a time.
    const TColor Color = FPrevColor;
    const int X = FPrevPoint.X;
    int From = FirstVisibleIndex + 1;
    FRunY.clear();
    FRunY.push_back(FPrevPoint.Y);
    for (; From <= Last && Horiz->CalcXPosValue(Xs[From]) == X; ++From)
        FRunY.push_back(Vert->CalcYPosValue(Ys[From]));
    if (FRunY.size() > 1) {
        PaintColumnRun(X, FPrevOriginPos, Color);
        FPrevPoint = {X, FRunY.back()};
    }
    if (From > Last)
        return true;
    ChScanColumns(Horiz, Vert, Xs, Ys, From, Last, FPointPixels,
                  [&](int ColumnX, int First, int Final, int, int YLast, int Lo, int Hi) {
                      DrawValue(First);
                      if (Final > First) {
                          PaintColumnSpan(ColumnX, Lo, Hi, Color);
                          FPrevPoint = {ColumnX, YLast};
                      }
                  });
    return true;
}

void TCustomSeries::PaintColumnSpan(int X, int Lo, int Hi, TColor AColor)
{
    if (Lo > Hi)
        return;
    TCanvas3D* C = ParentChart()->ChartCanvas();
    if (FDrawArea) {
        C->AssignVisiblePen(LinePen());
        C->LineWithZ(X, Lo, X, Hi + 1, StartZ);
    } else {
        LinePrepareCanvas(C, FColorEachLine ? AColor : DrawingSeriesColor());
        C->Line(X, Lo, X, Hi + 1);
    }
}

void TCustomSeries::PaintColumnRun(int X, int Origin, TColor AColor)
{
    TCanvas3D* C = ParentChart()->ChartCanvas();
    const int N = static_cast<int>(FRunY.size());
    bool Outline = false;
    if (FDrawArea) {
        C->Brush->SetColor(GetAreaBrushColor(AColor));
        PrepareAreaLinesPen(C, AColor);
        Outline = Paints(C->Pen);
    }
    const bool Top = FDrawArea ? LinePen()->Visible() : true;
    if (!Outline) {
        // One colour: the segments of a path down one column paint one
        // unbroken span of rows.
        int Lo = INT_MAX, Hi = INT_MIN;
        for (int k = 1; k < N; ++k) {
            int A, B;
            ChColumnSegmentRows(FRunY[k - 1], FRunY[k], A, B);
            if (A <= B) {
                Lo = std::min(Lo, A);
                Hi = std::max(Hi, B);
            }
        }
        if (Top)
            PaintColumnSpan(X, Lo, Hi, AColor);
        return;
    }
    // An area with outlines: each point outlines its empty polygon from the
    // origin to both ends of its segment, then draws the segment's top line
    // over it. A row ends up in the top line's colour when the last outline
    // that covers it is that of a segment whose line covers it too. Walking
    // back, the outlines grow one span about the origin; the rows each one
    // adds keep its own segment's line.
    int UTop = INT_MAX, UBottom = INT_MIN;
    FRunRows.clear();
    for (int k = N - 1; k >= 1; --k) {
        const int Y0 = FRunY[k - 1], Y1 = FRunY[k];
        if (Y0 == Y1)
            continue;   // nothing drawn for a segment of no length
        const int ILo = std::min({Origin, Y0, Y1}), IHi = std::max({Origin, Y0, Y1});
        int SLo, SHi;
        ChColumnSegmentRows(Y0, Y1, SLo, SHi);
        const auto Keep = [&](int Lo, int Hi) {
            if (Lo <= Hi) {
                FRunRows.push_back(Lo);
                FRunRows.push_back(Hi);
            }
        };
        if (Top) {
            if (UTop > UBottom)
                Keep(SLo, SHi);
            else {
                Keep(std::max(SLo, ILo), std::min(SHi, UTop - 1));
                Keep(std::max(SLo, UBottom + 1), std::min(SHi, IHi));
            }
        }
        UTop = std::min(UTop, ILo);
        UBottom = std::max(UBottom, IHi);
    }
    if (UTop > UBottom)
        return;
    C->Line(X, UTop, X, UBottom + 1);
    if (FRunRows.empty())
        return;
    C->AssignVisiblePen(LinePen());
    for (size_t k = 0; k + 1 < FRunRows.size(); k += 2)
        C->LineWithZ(X, FRunRows[k], X, FRunRows[k + 1] + 1, StartZ);
}

// ------------------------------------------------------------------ pointers drawn over again

bool TCustomSeries::CanSkipCoveredPointers()
{
    TCustomAxisPanel* Chart = ParentChart();
    TCanvas3D* C = Chart->ChartCanvas();
    if (C->DrawEveryPoint || C->Metafiling || Chart->View3D() || !DrawValuesForward())
        return false;
    if (LastVisibleIndex - FirstVisibleIndex < 2 || FJoinPoints || FDrawArea || !FPointer->Visible())
        return false;
    // Pointers of a few pixels: the cover of a big one costs more to check
    // than to paint.
    if (OnGetPointerStyle || FPointer->Style() != psRectangle || FPointer->Transparency() > 0 ||
        FPointer->HorizSize() > 32 || FPointer->VertSize() > 32 ||
        FPointer->Gradient()->Visible() || HasValueColors() || ColorEachPoint())
        return false;
    // A square whose outline and fill cover every pixel of it.
    const TColor Color = GetValueColor(FirstVisibleIndex);
    if (Color == clNone)
        return false;
    FPointer->PrepareCanvas(C, Color);
    return ChThinSolidPen(C->Pen) && Paints(C->Pen) && C->Brush->Style() == bsSolid &&
           C->Brush->Bitmap() == nullptr && C->Brush->Color() != clNone;
}

void TCustomSeries::DrawUncoveredPointers()
{
    const int First = FirstVisibleIndex, Last = LastVisibleIndex, N = Last - First + 1;
    const int H = FPointer->HorizSize(), V = FPointer->VertSize();
    FPointPixels.resize(static_cast<size_t>(2 * N));
    int MinX = INT_MAX, MaxX = INT_MIN, MinY = INT_MAX, MaxY = INT_MIN;
    for (int k = 0; k < N; ++k) {
        const int X = CalcXPos(First + k), Y = CalcYPos(First + k);
        FPointPixels[static_cast<size_t>(2 * k)] = X;
        FPointPixels[static_cast<size_t>(2 * k + 1)] = Y;
        MinX = std::min(MinX, X);
        MaxX = std::max(MaxX, X);
        MinY = std::min(MinY, Y);
        MaxY = std::max(MaxY, Y);
    }
    // The pixels the squares may cover; too wide a spread draws them all.
    const long long Width = static_cast<long long>(MaxX) - MinX + 2 * H + 1;
    const long long Height = static_cast<long long>(MaxY) - MinY + 2 * V + 1;
    const long long Words = (Width + 63) / 64;
    FDrawn.assign(static_cast<size_t>(N), 1);
    if (Words * Height <= (1 << 20)) {
        FCovered.assign(static_cast<size_t>(Words * Height), 0);
        const int Left = MinX - H, Top = MinY - V;
        // Walking back, a square all of whose pixels the squares after it
        // paint is painted over whatever it leaves.
        for (int k = N - 1; k >= 0; --k) {
            const int X0 = FPointPixels[static_cast<size_t>(2 * k)] - H - Left;
            const int Y0 = FPointPixels[static_cast<size_t>(2 * k + 1)] - V - Top;
            bool Covered = true;
            for (int Row = Y0; Row <= Y0 + 2 * V && Covered; ++Row) {
                const uint64_t* Bits = &FCovered[static_cast<size_t>(Row * Words)];
                for (int Col = X0; Col <= X0 + 2 * H; ++Col)
                    if ((Bits[Col >> 6] >> (Col & 63) & 1u) == 0) {
                        Covered = false;
                        break;
                    }
            }
            if (Covered) {
                FDrawn[static_cast<size_t>(k)] = 0;
                continue;
            }
            for (int Row = Y0; Row <= Y0 + 2 * V; ++Row) {
                uint64_t* Bits = &FCovered[static_cast<size_t>(Row * Words)];
                for (int Col = X0; Col <= X0 + 2 * H; ++Col)
                    Bits[Col >> 6] |= uint64_t{1} << (Col & 63);
            }
        }
    }
    // Each pointer would prepare the canvas alike and draw its square.
    TCanvas3D* C = ParentChart()->ChartCanvas();
    const TColor Color = GetValueColor(First);
    FPointer->PrepareCanvas(C, Color);
    for (int k = 0; k < N; ++k)
        if (FDrawn[static_cast<size_t>(k)] != 0) {
            const int X = FPointPixels[static_cast<size_t>(2 * k)], Y = FPointPixels[static_cast<size_t>(2 * k + 1)];
            C->Rectangle(X - H, Y - V, X + H + 1, Y + V + 1);
        }
    FPrevPoint = {FPointPixels[static_cast<size_t>(2 * N - 2)], FPointPixels[static_cast<size_t>(2 * N - 1)]};
    FPrevColor = Color;
    FOriginPos = FPrevOriginPos = GetOriginPos(Last);
}

void TCustomSeries::DrawValues()
{
    if (CanDrawColumnRuns())
        DrawColumnRuns();
    else if (CanSkipCoveredPointers())
        DrawUncoveredPointers();
    else
        TCustomLineSeries::DrawAllValues();
}

// ------------------------------------------------------------------ the whole series

void TCustomSeries::DrawPass(TColor PassColor)
{
    TValueRollback<TColor> Colour(FPassColor, PassColor);
    DrawValues();
}

void TCustomSeries::DrawAllValues()
{
    if (FShadow->Size() != 0) {
        TChartAxis* H = GetHorizAxis();
        TChartAxis* V = GetVertAxis();
        const bool PointerShown = FPointer->Visible();
        const int DX = FShadow->HorizSize(), DY = FShadow->VertSize();
        TScopeExit Restore([&] {
            H->OffsetPixels(-DX);
            V->OffsetPixels(-DY);
            FPointer->SetVisible(PointerShown);
        });
        FPointer->SetVisible(false);
        H->OffsetPixels(DX);
        V->OffsetPixels(DY);
        DrawPass(FShadow->Color());
    }
    if (FOutLine->Visible()) {
        TChartPen Kept;
        Kept.Assign(LinePen());
        TScopeExit Restore([&] { LinePen()->Assign(&Kept); });
        SetPen(FOutLine.get());
        LinePen()->SetWidth(2 * Kept.Width() + FOutLine->Width() + 1);
        DrawPass(FOutLine->Color());
    }
    DrawValues();
}
