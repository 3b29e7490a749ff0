// Line, horizontal line and point series: kinds of the line-and-area base
// with their own defaults, copying rules, legend and gallery variants.
#pragma once

#include "chart/SeriesCustom.h"

// Points joined by a line (2-D line, stairs or 3-D ribbon); no pointers.
class TLineSeries : public TCustomSeries {
    OZ_CLASS(TLineSeries, TCustomSeries);

public:
    explicit TLineSeries(TComponent* AOwner);
    // A source of another kind hides the pointer again.
    void Assign(TPersistent* Source) override;
    static void Publish(TPublisher<TLineSeries>& P);

    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) override;
    // "Normal", "Stairs", "Points", "Height", "Hollow", "Colors", "Marks",
    // "No Border", "Outline".
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(int Index) override;
};

// The line with X and Y exchanged: values along the horizontal axis, the
// line running down the positions; always drawn whole.
class THorizLineSeries : public TLineSeries {
    OZ_CLASS(THorizLineSeries, TLineSeries);

public:
    explicit THorizLineSeries(TComponent* AOwner);
    // Marks beside the points, on the side away from the origin.
    void DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position) override;
    // The widest mark text.
    int CalcMarkLength() override;
};

// Pointers only: never a line, an area or a hit on the line between points.
class TPointSeries : public TCustomSeries {
    OZ_CLASS(TPointSeries, TCustomSeries);

public:
    explicit TPointSeries(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    std::string GetEditorClass() override { return "TSeriesPointerEditor"; }
    static void Publish(TPublisher<TPointSeries>& P);

    // With each point in its own colour the pointer takes the point's.
    void SetColorEachPoint(bool Value) override;
    // The pointer's transparency.
    TChTransparency GetTransparency() override;
    void SetTransparency(TChTransparency Value) override;

    // Whether the gallery offers the entries from "Point 2D" on.
    virtual bool CanDoExtra() const { return true; }
    // "Normal", "Colors", "Marks", "Hollow", "No Border", "Gradient", and
    // with CanDoExtra "Point 2D", "Triangle", "Star", "Circle",
    // "Down Tri.", "Cross", "Diamond".
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(int Index) override;

    // The pointer's part of a gallery thumbnail: size 6 in a chart wider
    // than 49 pixels (else 4), triangles for the chart's second series.
    void PrepareGalleryPointer();
    // The series' preparation, then the pointer's.
    void PrepareForGallery(bool IsEnabled) override;

protected:
    // Pointer visible; no area, no line, no hits between points.
    void SetFixed();
};
