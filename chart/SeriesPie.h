// Pie series: one value per slice of a circle, slice angles proportional to
// the absolute values, part of a turn, exploded slices, slice heights in
// 3-D, a donut hole, small slices grouped into one "Other" slice, patterns,
// a darkened slice pen, a shadow, marks around the circle, several pies on
// one chart and a hit test by angle and radius.
#pragma once

#include "chart/SeriesCircled.h"

#include <vector>

enum TMultiPie { mpAutomatic, mpDisabled };
enum TPieOtherStyle { poNone, poBelowPercent, poBelowValue };

const TIdentMap& MultiPieIdents();
const TIdentMap& PieOtherStyleIdents();

// The hatch of slice Index when slices are patterned: horizontal, vertical,
// forward and backward diagonal, cross and diagonal cross, in turn.
TBrushStyle PieSlicePattern(int Index);

class TPieSeries;
class TChartLegend;

// Per-slice integers: reading beyond the end gives 0; writing beyond it
// appends zeros first; a changed value repaints the series.
class TSliceValueList {
public:
    explicit TSliceValueList(TChartSeries* AOwner) : FOwner(AOwner) {}
    int Count() const { return static_cast<int>(FValues.size()); }
    int Value(int Index) const;
    void SetValue(int Index, int Value);
    void Assign(const TSliceValueList& Source) { FValues = Source.FValues; }
    void Clear() { FValues.clear(); }
    void Delete(int Index);
    void Exchange(int A, int B, int PointCount);

private:
    TChartSeries* FOwner;
    std::vector<int> FValues;
};

// Which small slices are grouped into one "Other" slice.
class TPieOtherSlice : public TPersistent {
public:
    explicit TPieOtherSlice(TPieSeries* AOwner);
    ~TPieOtherSlice() override;
    void Assign(TPersistent* Source) override;
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TPieOtherStyle Style() const { return FStyle; }
    void SetStyle(TPieOtherStyle Value);
    // Empty: the library's "Other".
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    double Value() const { return FValue; }
    void SetValue(double Value);
    // The grouped points' own legend: made hidden on the owner's chart, with
    // the owner as its series, when first asked for (nullptr while the owner
    // is on no chart). Writing nullptr frees it; writing a legend copies it.
    TChartLegend* Legend();
    void SetLegend(TChartLegend* Value);
    bool HasLegend() const { return FLegend != nullptr; }
    // The owner went to another chart: the legend follows it there.
    void ChartChanged();

private:
    TPieSeries* FOwner;
    std::unique_ptr<TChartLegend> FLegend;
    TColor FColor = clSeriesDefault;
    TPieOtherStyle FStyle = poNone;
    std::string FText;
    double FValue = 0;
};

struct TPieAngle {
    double StartAngle = 0;
    double MidAngle = 0;
    double EndAngle = 0;
};

class TPieSeries : public TCircledSeries {
    OZ_CLASS(TPieSeries, TCircledSeries);

public:
    // The X value that marks the "Other" slice.
    static constexpr double OtherSliceX = 2147483647.0;

    explicit TPieSeries(TComponent* AOwner);
    ~TPieSeries() override;
    void Assign(TPersistent* Source) override;
    std::string GetEditorClass() override { return "TPieSeriesEditor"; }
    static void Publish(TPublisher<TPieSeries>& P);

    // ---------------------------------------------------------------- properties
    int AngleSize() const { return FAngleSize; }
    void SetAngleSize(int Value) { SetIntegerProperty(FAngleSize, Value); }
    bool AutoMarkPosition() const { return FAutoMarkPosition; }
    void SetAutoMarkPosition(bool Value) { SetBooleanProperty(FAutoMarkPosition, Value); }
    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
    // Above 0: each slice's pen is its colour darkened by 255 - DarkPen.
    int DarkPen() const { return FDarkPen; }
    void SetDarkPen(int Value) { SetIntegerProperty(FDarkPen, Value); }
    int DonutPercent() const { return FDonutPercent; }
    void SetDonutPercent(int Value) { SetIntegerProperty(FDonutPercent, Value); }
    int ExplodeBiggest() const { return FExplodeBiggest; }
    void SetExplodeBiggest(int Value);
    TSliceValueList& ExplodedSlice() { return FSliceExplode; }
    TSliceValueList& PieSliceHeight() { return FSliceDepth; }
    TMultiPie MultiPie() const { return FMultiPie; }
    void SetMultiPie(TMultiPie Value);
    TPieOtherSlice* OtherSlice() const { return FOtherSlice.get(); }
    TChShadow* Shadow() const { return FShadow.get(); }
    bool UsePatterns() const { return FUsePatterns; }
    void SetUsePatterns(bool Value) { SetBooleanProperty(FUsePatterns, Value); }
    TChartPen* PiePen() const { return Pen(); }
    TChartValueList* PieValues() const { return YValues(); }

    int AddPie(double Value, const std::string& Label = {}, TColor Color = clSeriesDefault)
    {
        return Add(Value, Label, Color);
    }

    // ---------------------------------------------------------------- slices
    // Grouped into the "Other" slice: draws no slice and no mark.
    bool BelongsToOtherSlice(int ValueIndex) const { return XValues()->Value(ValueIndex) == -1; }
    const std::vector<TPieAngle>& Angles() const { return FAngles; }
    void CalcAngles();
    void CalcExplodeBiggest();
    void CalcExplodedOffset(int ValueIndex, int& X, int& Y) const;
    void CalcExplodedRadius(int ValueIndex, int& AXRadius, int& AYRadius) const;
    int CalcClickedPie(int X, int Y);
    // Active pies on the chart.
    int PieCount() const;
    TBrushStyle SliceBrushStyle(int ValueIndex) const;
    int SliceEndZ(int ValueIndex) const;
    void RemoveOtherSlice();

    // ---------------------------------------------------------------- the series cycle
    // Groups the small slices.
    void DoBeforeDrawChart() override;
    void CalcFirstLastVisibleIndex() override;
    void CalcZOrder() override;
    bool MoreSameZOrder() override { return false; }
    // Takes this pie's cell when several share the chart.
    void DoBeforeDrawValues() override;
    void DoAfterDrawValues() override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    virtual void DrawPie(int ValueIndex);
    void DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position) override;
    int Clicked(int X, int Y) override;
    double MaxXValue() override;
    double MaxYValue() override;
    double MinXValue() override;
    double MinYValue() override;
    int CalcXPos(int ValueIndex) override;
    void ClearLists() override;
    // The "Other" point is made afresh by every drawing and never stored.
    void WriteData(TStream* Stream) override;
    void Delete(int ValueIndex) override;
    void SwapValueIndex(int A, int B) override;
    // Pies keep their own circle.
    void CheckOtherSeriesMarks() override {}
    void InitCustom3DOptions() override;
    void DisableRotation();
    // The series' preparation, then eight sample slices, a deep chart,
    // marks on every slice without callout length, a visible gradient, the
    // chart not rotated, and a colour per slice when IsEnabled.
    void PrepareForGallery(bool IsEnabled) override;
    void SetParentChart(TCustomAxisPanel* Value) override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    // The chart's legend lists the points that are not grouped into the
    // "Other" slice; the other slice's own legend lists the grouped ones.
    int CountLegendItems() override;
    int LegendToValueIndex(int LegendIndex) override;
    // "Normal", "Patterns", "Exploded", "Shadow", "Marks", "Semi Pie",
    // "No Border", "Dark Border".
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(int Index) override;

private:
    void PreparePiePen(int ValueIndex);
    // The other slice's legend is the one being drawn.
    bool DrawingOtherLegend() const;
    void DrawOtherSliceLegend();
    // 3-D slices one by one, those nearest the viewer's quarter last.
    void DrawSortedSlices();
    // The slice colour: black on a monochrome chart.
    TColor SliceColor(int ValueIndex);

    int FAngleSize = 360;
    bool FAutoMarkPosition = true;
    bool FDark3D = true;
    int FDarkPen = 0;
    int FDonutPercent = 0;
    TSliceValueList FSliceExplode{this};
    int FExplodeBiggest = 0;
    TMultiPie FMultiPie = mpAutomatic;
    std::unique_ptr<TPieOtherSlice> FOtherSlice;
    std::unique_ptr<TChShadow> FShadow;
    TSliceValueList FSliceDepth{this};
    bool FUsePatterns = false;
    std::vector<int> FDrawOrder;
    TRect FSavedChartRect;
    bool FChartRectSaved = false;
    std::vector<TPieAngle> FAngles;
    TPoint FSliceStart{0, 0};
    TPoint FSliceEnd{0, 0};
    bool FExplodedMode = false;
};
