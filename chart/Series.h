// Line series: the line-series base and the fast line series every live plot
// is drawn with.
#pragma once

#include "chart/ChEngine.h"

#include <string>
#include <vector>

// The base of the line-like series: its line pen is the element's own pen.
class TCustomLineSeries : public TChartSeries {
    OZ_CLASS(TCustomLineSeries, TChartSeries);

public:
    explicit TCustomLineSeries(TComponent* AOwner) : TChartSeries(AOwner) {}
    TChartPen* GetLinePen() const { return Pen(); }
};

// One pen, one polyline. With AutoRepaint off, adding a point draws just the
// segment to it straight onto the chart's window; any repaint of the chart
// draws every point again from the stored values.
class TFastLineSeries : public TCustomLineSeries {
    OZ_CLASS(TFastLineSeries, TCustomLineSeries);

public:
    static void Publish(TPublisher<TFastLineSeries>& P);
    explicit TFastLineSeries(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    std::string GetEditorClass() override { return "TFastLineSeriesEditor"; }

    // The line pen; assigning it also sets the series colour.
    TChartPen* LinePen() const { return GetLinePen(); }
    void SetLinePen(TChartPen* Value) { SetPen(Value); }
    void SetPen(TChartPen* Value) override;
    // Also recolours the line pen.
    void SetSeriesColor(TColor Value) override;

    // A plain flag: changing it repaints nothing.
    bool AutoRepaint() const { return FAutoRepaint; }
    void SetAutoRepaint(bool Value) { FAutoRepaint = Value; }
    bool DrawAllPoints() const { return FDrawAllPoints; }
    void SetDrawAllPoints(bool Value) { SetBooleanProperty(FDrawAllPoints, Value); }
    bool IgnoreNulls() const { return FIgnoreNulls; }
    void SetIgnoreNulls(bool Value) { SetBooleanProperty(FIgnoreNulls, Value); }
    bool Stairs() const { return FStairs; }
    void SetStairs(bool Value) { SetBooleanProperty(FStairs, Value); }
    bool InvertedStairs() const { return FInvertedStairs; }
    void SetInvertedStairs(bool Value) { SetBooleanProperty(FInvertedStairs, Value); }
    // Incremental segments drawn with a solid one-pixel pen of the line
    // colour, recoloured in place instead of assigning LinePen each time.
    // Stays off where the canvas cannot recolour its pen. Repaints nothing.
    bool FastPen() const { return FFastPen; }
    void SetFastPen(bool Value);

    // The pixel of point ValueIndex on the series' axes.
    void CalcPosition(int ValueIndex, int& X, int& Y);
    // Moves the canvas pen without drawing.
    void DoMove(int X, int Y);
    // Pen and brush of a full redraw.
    void PrepareCanvas();
    // Where the next segment starts.
    TPoint LastPoint() const { return FLastPoint; }

    // drawing
    void NotifyNewValue(TChartSeries* Sender, int ValueIndex) override;
    void DrawValue(int ValueIndex) override;
    void DrawAllValues() override;
    // The mark stands the callout's length above its point.
    void DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position) override;
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVerticalMargins(int& TopMargin, int& BottomMargin) override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    // The point under (X, Y), else the first point of the segment under it, else -1.
    int Clicked(int X, int Y) override;

    // gallery: "Normal", "Marks", "Dotted", "Stairs"
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(int Index) override;

private:
    // A segment drawn outside a pass stays inside the chart rectangle.
    bool SegmentInsideChart(const TPoint& A, const TPoint& B) const;
    void LineToPoint(int X, int Y);
    // Draws from the last point to point ValueIndex at pixel (X, Y).
    void DrawValueTo(int ValueIndex, int X, int Y);
    void SelectIncrementalPen();
    // A 2-D pass without stairs whose thin solid pen joins every point:
    // segments down one pixel column are then drawn as the one line they
    // make.
    bool CanDrawColumnRuns();
    // Pixels of the points of a pass (all X, then all Y), kept so that a
    // pass allocates nothing per point.
    std::vector<int> FPixels;

    bool FAutoRepaint = true;
    bool FDrawAllPoints = true;
    bool FFastPen = false;
    bool FIgnoreNulls = true;
    bool FInvertedStairs = false;
    bool FStairs = false;
    TPoint FLastPoint{0, 0};
};
