// Area series: the region between a line and its origin (the axis end, a
// fixed value, or the series below when stacked), upright or across.
#pragma once

#include "chart/SeriesCustom.h"

enum TMultiArea { maNone, maStacked, maStacked100 };

const TIdentMap& MultiAreaIdents();

class TAreaSeries : public TCustomSeries {
    OZ_CLASS(TAreaSeries, TCustomSeries);

public:
    explicit TAreaSeries(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    std::string GetEditorClass() override { return "TAreaSeriesEditor"; }
    static void Publish(TPublisher<TAreaSeries>& P);

    // Stacked in area terms: cssOverlap reads as maNone.
    TMultiArea MultiArea() const;
    void SetMultiArea(TMultiArea Value);
    bool UseYOrigin() const { return FUseYOrigin; }
    void SetUseOrigin(bool Value) { SetBooleanProperty(FUseYOrigin, Value); }
    void SetUseYOrigin(bool Value) { SetUseOrigin(Value); }
    double YOrigin() const { return FYOrigin; }
    void SetOrigin(double Value) { SetDoubleProperty(FYOrigin, Value); }
    void SetYOrigin(double Value) { SetOrigin(Value); }

    int GetOriginPos(int ValueIndex) override;
    double MaxXValue() override;
    double MaxYValue() override;
    double MinXValue() override;
    double MinYValue() override;
    // Stacked areas on an inverted value axis are drawn last series first.
    bool DrawSeriesForward(int ValueIndex) override;

    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    // "Normal", "Stairs", "Marks", "Colors", "Hollow", "No Lines", "Stack",
    // "Stack 100%", "Points", "Gradient".
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(int Index) override;

    // The area's part of a gallery thumbnail: a visible gradient ending in
    // the series colour.
    void PrepareGalleryGradient();
    // The series' preparation, then the gradient's.
    void PrepareForGallery(bool IsEnabled) override;

private:
    bool FUseYOrigin = false;
    double FYOrigin = 0;
};

class THorizAreaSeries : public TAreaSeries {
    OZ_CLASS(THorizAreaSeries, TAreaSeries);

public:
    explicit THorizAreaSeries(TComponent* AOwner);
    // Marks always stand right of their points.
    void DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position) override;
    // Points of the sample data of the gallery.
    static constexpr int SampleValues = 10;
};
