// The base of the line, point and area series: one segment per value from
// the previous point, drawn as a line, a stair, a 3-D ribbon or an area down
// to its origin, with the series pointers on top; stacking of series of one
// kind, margins, marks, hit test and legend symbol.
#pragma once

#include "chart/ChSeriesPointer.h"
#include "chart/Series.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

enum TCustomSeriesStack { cssNone, cssOverlap, cssStack, cssStack100 };

const TIdentMap& CustomSeriesStackIdents();

class TCustomSeries;

using TSeriesClickPointerEvent = std::function<void(TCustomSeries* Sender, int ValueIndex, int X, int Y)>;
using TOnGetPointerStyle = std::function<TSeriesPointerStyle(TChartSeries* Sender, int ValueIndex)>;

class TCustomSeries : public TCustomLineSeries {
    OZ_CLASS(TCustomSeries, TCustomLineSeries);

public:
    explicit TCustomSeries(TComponent* AOwner);
    ~TCustomSeries() override;
    void Assign(TPersistent* Source) override;
    std::string GetEditorClass() override { return "TCustomSeriesEditor"; }
    void SetParentChart(TCustomAxisPanel* Value) override;

    // ---------------------------------------------------------------- properties
    TChartBrush* AreaChartBrush() const { return FAreaChartBrush.get(); }
    void SetAreaChartBrush(TChartBrush* Value) { FAreaChartBrush->Assign(Value); }
    TBrushStyle AreaBrush() const { return FAreaChartBrush->Style(); }
    void SetAreaBrushStyle(TBrushStyle Value) { FAreaChartBrush->SetStyle(Value); }
    // clSeriesDefault: each point's colour.
    TColor AreaColor() const { return FAreaColor; }
    void SetAreaColor(TColor Value) { SetColorProperty(FAreaColor, Value); }
    TChartPen* AreaLinesPen() const { return FAreaLinesPen.get(); }
    void SetAreaLinesPen(TChartPen* Value) { FAreaLinesPen->Assign(Value); }
    bool ClickableLine() const { return FClickableLine; }
    void SetClickableLine(bool Value) { FClickableLine = Value; }
    bool ColorEachLine() const { return FColorEachLine; }
    void SetColorEachLine(bool Value) { SetBooleanProperty(FColorEachLine, Value); }
    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
    bool DrawArea() const { return FDrawArea; }
    void SetDrawArea(bool Value) { SetBooleanProperty(FDrawArea, Value); }
    // Consecutive points are joined by a line; set by the kind.
    bool JoinPoints() const { return FJoinPoints; }
    bool InvertedStairs() const { return FInvertedStairs; }
    void SetInvertedStairs(bool Value) { SetBooleanProperty(FInvertedStairs, Value); }
    // The style of the element's brush, which fills 3-D line ribbons.
    TBrushStyle LineBrush() const { return Brush()->Style(); }
    void SetLineBrush(TBrushStyle Value) { Brush()->SetStyle(Value); }
    int LineHeight() const { return FLineHeight; }
    void SetLineHeight(int Value) { SetIntegerProperty(FLineHeight, Value); }
    TChartPen* LinePen() const { return GetLinePen(); }
    void SetLinePen(TChartPen* Value) { SetPen(Value); }
    TChartHiddenPen* OutLine() const { return FOutLine.get(); }
    void SetOutLine(TChartHiddenPen* Value) { FOutLine->Assign(Value); }
    TSeriesPointer* Pointer() const { return FPointer.get(); }
    void SetPointer(TSeriesPointer* Value) { FPointer->Assign(Value); }
    TChShadow* Shadow() const { return FShadow.get(); }
    void SetShadow(TChShadow* Value) { FShadow->Assign(Value); }
    TCustomSeriesStack Stacked() const { return FStacked; }
    // Also sets every series of this kind (or an ancestor kind) on the chart.
    void SetStacked(TCustomSeriesStack Value);
    bool Stairs() const { return FStairs; }
    void SetStairs(bool Value) { SetBooleanProperty(FStairs, Value); }
    TChGradient* Gradient() { return GetGradient(); }
    void SetGradient(TChGradient* Value) { GetGradient()->Assign(Value); }
    TChTransparency Transparency() { return GetTransparency(); }

    TSeriesClickPointerEvent OnClickPointer;
    TOnGetPointerStyle OnGetPointerStyle;

    // ---------------------------------------------------------------- new virtual operations
    // Pixels between a point and its mark: the callout's length and distance.
    virtual int CalcMarkLength();
    virtual bool ClickedPointer(int ValueIndex, int PointX, int PointY, int X, int Y);
    virtual TChGradient* GetGradient() { return FGradient.get(); }
    // Percent of see-through of the area fills.
    virtual TChTransparency GetTransparency() { return FTransparency; }
    virtual void SetTransparency(TChTransparency Value);
    // Nothing here; a kind may set up the pointer for one point.
    virtual void PreparePointer(int ValueIndex) {}
    // The pixel the area of point ValueIndex ends at.
    virtual int GetOriginPos(int ValueIndex);

    // ---------------------------------------------------------------- stacking
    // The sum of the values at ValueIndex of the series of this kind before
    // this one (all of them with SumAll), counting those of v's sign only.
    double PointOrigin(int ValueIndex, bool SumAll);
    int CalcStackedPos(int ValueIndex, double Value);
    double MaxXValue() override;
    double MaxYValue() override;
    double MinXValue() override;
    double MinYValue() override;
    int CalcXPos(int ValueIndex) override;
    int CalcYPos(int ValueIndex) override;
    void CalcZOrder() override;

    // ---------------------------------------------------------------- margins, marks, hit test, legend
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVerticalMargins(int& TopMargin, int& BottomMargin) override;
    void DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position) override;
    int Clicked(int X, int Y) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;

    // ---------------------------------------------------------------- drawing
    void DrawValue(int ValueIndex) override;
    void DrawAllValues() override;
    // The pointer of point ValueIndex at (X, Y).
    virtual void DrawPointer(int X, int Y, TColor AColor, int ValueIndex);
    // Pen and brush of a line in AColor.
    void LinePrepareCanvas(TCanvas3D* Canvas, TColor AColor);
    // The fill colour of an area whose point has AColor.
    TColor GetAreaBrushColor(TColor AColor) const;
    // Null points stay null; during the shadow and outline passes every
    // other point takes the pass's colour.
    TColor GetValueColor(int ValueIndex) override;

protected:
    void SetJoinPoints(bool Value) { FJoinPoints = Value; }
    void InternalCalcMargin(bool CheckMarks, bool Horizontal, int& First, int& Second);
    // The series colour, or the colour of the pass being drawn.
    TColor DrawingSeriesColor() const { return FPassColor != clSeriesDefault ? FPassColor : SeriesColor(); }
    bool IsStacked() const { return FStacked == cssStack || FStacked == cssStack100; }
    // The series drawn with the roles of X and Y exchanged.
    bool IsHorizontal() const { return !YMandatory(); }
    TChTransparency FTransparency = 0;

private:
    // The pixel on the value axis where the segment entering the visible
    // range crosses the chart's edge.
    int EdgeValuePixel(int ValueIndex, double EdgePosition);
    // The segment from FPrevPoint to (X, Y) in AColor; WithPointers adds
    // the pointers of both ends.
    void DrawSegment(int ValueIndex, int X, int Y, TColor AColor, bool WithPointers, bool IsLast);
    void DrawRibbon(int X0, int Y0, int X1, int Y1, TColor AColor, bool IsLast);
    void DrawAreaPart(int X0, int Y0, int X1, int Y1, TColor AreaBrushColor, bool IsLast);
    void DrawLine2D(int X0, int Y0, int X1, int Y1, TColor AColor);
    // Draws the whole series as the base does, in a pass colour.
    void DrawPass(TColor PassColor);
    // Every visible value as DrawValue draws it, or by DrawColumnRuns where
    // that paints the same pixels.
    void DrawValues();
    // A 2-D line or area drawn forward with thin solid pens, without
    // pointers, stairs, gradient, translucency or stacking.
    bool CanDrawColumnRuns();
    // DrawValue for each point, except for the points after the first of a
    // run in one pixel column (of one colour, one origin): the vertical
    // segments (and, for an area, the outlines of the empty polygons) of
    // such a run are painted as the few vertical lines that give the same
    // pixels, in the same order of colours.
    void DrawColumnRuns();
    // Pixels (rows) of the points of the run being drawn; kept between
    // passes so that drawing allocates nothing per point.
    std::vector<int> FRunY;
    // Paints the run in FRunY, in column X, as DrawSegment would have.
    void PaintColumnRun(int X, int Origin, TColor AColor);
    // Rows Lo..Hi of column X in the line's pen, as a run's segments paint
    // them (nothing when Lo > Hi).
    void PaintColumnSpan(int X, int Lo, int Hi, TColor AColor);
    // DrawColumnRuns for one colour and no area when the X values ascend
    // on linear axes: columns found by their edges' values, only their
    // extremes turned into pixels. False, with nothing drawn, otherwise.
    bool DrawColumnsScanned();
    // The pen of the outlines of area polygons, for a point of AColor.
    void PrepareAreaLinesPen(TCanvas3D* Canvas, TColor AColor);
    // Rows of the top line shown in an area run (pairs, first and last).
    std::vector<int> FRunRows;
    // Pointers only, 2-D, drawn forward, all alike: squares of one colour
    // with a thin solid outline and a solid fill.
    bool CanSkipCoveredPointers();
    // Draws the pointers DrawValue would draw, in their order, but for
    // those whose every pixel a later pointer paints again.
    void DrawUncoveredPointers();
    // Pixels of the points (X, Y pairs), the pixels the later pointers
    // cover (one bit a pixel, rows of whole words), and the points to draw.
    std::vector<int> FPointPixels;
    std::vector<uint64_t> FCovered;
    std::vector<uint8_t> FDrawn;

    std::unique_ptr<TChartBrush> FAreaChartBrush;
    TColor FAreaColor = clSeriesDefault;
    std::unique_ptr<TChartPen> FAreaLinesPen;
    bool FClickableLine = true;
    bool FColorEachLine = true;
    bool FDark3D = true;
    bool FDrawArea = false;
    bool FJoinPoints = false;
    bool FInvertedStairs = false;
    int FLineHeight = 0;
    std::unique_ptr<TChartHiddenPen> FOutLine;
    std::unique_ptr<TSeriesPointer> FPointer;
    std::unique_ptr<TChShadow> FShadow;
    TCustomSeriesStack FStacked = cssNone;
    bool FStairs = false;
    std::unique_ptr<TChGradient> FGradient;

    // State of one drawing pass.
    int FOriginPos = 0;
    int FPrevOriginPos = 0;
    TPoint FPrevPoint{0, 0};
    TColor FPrevColor = clNone;
    double FSlopeRatio = 1.0;
    TColor FPassColor = clSeriesDefault;
};

// The pointer drawn as a legend symbol in Rect: half the rectangle (a third
// when the symbol has an outline), at most the pointer's own size.
void ChPointerDrawLegend(TSeriesPointer* Pointer, TColor AColor, const TRect& Rect, bool DrawPen);
