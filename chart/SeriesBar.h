// Bar series: how bars of several series share a category slot, where each
// bar stands, how wide it is, how bars stack (by series, by stack group, in
// 100 % stacks or one series on itself), where a bar starts, what the axes
// must show and which margins the chart leaves.
#pragma once

#include "chart/ChEngine.h"
#include "platform/TypInfo.h"

#include <functional>
#include <memory>

enum TBarStyle {
    bsRectangle, bsPyramid, bsInvPyramid, bsCilinder, bsEllipse, bsArrow, bsRectGradient, bsCone, bsBevel,
    bsSlantCube, bsDiamond
};
enum TMultiBar { mbNone, mbSide, mbStacked, mbStacked100, mbSideAll, mbSelfStack };

const TIdentMap& BarStyleIdents();
const TIdentMap& MultiBarIdents();

class TCustomBarSeries;
using TGetBarStyleEvent = std::function<void(TCustomBarSeries* Sender, int ValueIndex, TBarStyle& Style)>;

// The fill of bsRectGradient bars; Relative ends each bar's gradient by its
// value instead of at the end colour.
class TBarSeriesGradient : public TChGradient {
    OZ_CLASS(TBarSeriesGradient, TChGradient);

public:
    static void Publish(TPublisher<TBarSeriesGradient>& P);
    explicit TBarSeriesGradient(TNotifyEvent AChanged) : TChGradient(std::move(AChanged)) {}
    bool Relative() const { return FRelative; }
    void SetRelative(bool Value);
    void Assign(TPersistent* Source) override;

private:
    bool FRelative = false;
};

class TCustomBarSeries : public TChartSeries {
    OZ_CLASS(TCustomBarSeries, TChartSeries);

public:
    explicit TCustomBarSeries(TComponent* AOwner);
    ~TCustomBarSeries() override;
    static void Publish(TPublisher<TCustomBarSeries>& P);
    void Assign(TPersistent* Source) override;
    std::string GetEditorClass() override { return "TBarSeriesEditor"; }
    // Takes the mode of the chart's first bar series of this kind.
    void SetParentChart(TCustomAxisPanel* Value) override;

    // ---------------------------------------------------------------- properties
    bool AutoBarSize() const { return FAutoBarSize; }
    void SetAutoBarSize(bool Value) { SetBooleanProperty(FAutoBarSize, Value); }
    bool AutoMarkPosition() const { return FAutoMarkPosition; }
    void SetAutoMarkPosition(bool Value) { SetBooleanProperty(FAutoMarkPosition, Value); }
    TBarStyle BarStyle() const { return FBarStyle; }
    void SetBarStyle(TBarStyle Value);
    int BarWidthPercent() const { return FBarWidthPercent; }
    void SetBarWidthPercent(int Value) { SetIntegerProperty(FBarWidthPercent, Value); }
    int BevelSize() const { return FBevelSize; }
    void SetBevelSize(int Value) { SetIntegerProperty(FBevelSize, Value); }
    int ConePercent() const { return FConePercent; }
    void SetConePercent(int Value) { SetIntegerProperty(FConePercent, Value); }
    // Bar width in pixels when not 0.
    int CustomBarWidth() const { return FCustomBarWidth; }
    void SetCustomBarSize(int Value) { SetIntegerProperty(FCustomBarWidth, Value); }
    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
    int DepthPercent() const { return FDepthPercent; }
    void SetDepthPercent(int Value) { SetIntegerProperty(FDepthPercent, Value); }
    TBarSeriesGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(TChGradient* Value) { FGradient->Assign(Value); }
    TMultiBar MultiBar() const { return FMultiBar; }
    // Also sets every bar series of this kind on the chart.
    void SetMultiBar(TMultiBar Value);
    int OffsetPercent() const { return FOffsetPercent; }
    void SetOffsetPercent(int Value) { SetIntegerProperty(FOffsetPercent, Value); }
    bool SideMargins() const { return FSideMargins; }
    void SetSideMargins(bool Value);
    int StackGroup() const { return FStackGroup; }
    void SetStackGroup(int Value) { SetIntegerProperty(FStackGroup, Value); }
    TChartHiddenPen* TickLines() const { return FTickLines.get(); }
    void SetTickLines(TChartPen* Value) { FTickLines->Assign(Value); }
    TChTransparency Transparency() const { return FTransparency; }
    void SetTransparency(TChTransparency Value);
    bool UseYOrigin() const { return FUseYOrigin; }
    void SetUseOrigin(bool Value) { SetBooleanProperty(FUseYOrigin, Value); }
    void SetUseYOrigin(bool Value) { SetUseOrigin(Value); }
    double YOrigin() const { return FYOrigin; }
    void SetOrigin(double Value) { SetDoubleProperty(FYOrigin, Value); }
    void SetYOrigin(double Value) { SetOrigin(Value); }
    TChartBrush* BarBrush() const { return Brush(); }
    TChartPen* BarPen() const { return Pen(); }
    TGetBarStyleEvent OnGetBarStyle;

    int AddBar(double Value, const std::string& Label, TColor Color) { return Add(Value, Label, Color); }

    // ---------------------------------------------------------------- layout of a pass
    // Counts the bar series of this kind, this series' place among them and
    // the category slots.
    void DoBeforeDrawChart() override;
    int BarCount() const { return FBarCount; }
    int SlotCount() const { return FSlotCount; }
    // 1-based place among the bars side by side.
    int BarIndex() const { return FBarIndex; }
    int PointsBefore() const { return FPointsBefore; }
    // Width of one bar in pixels (after the margins were computed).
    int BarPixels() const { return FBarPixels; }
    // The room the bars of one category take beside the axis ends.
    int BarMargin() const;
    // The bar's start pixel on the value axis.
    int GetOriginPos(int ValueIndex);
    // The sum below this series at ValueIndex: stacked series of the same
    // group and sign, the own values before it when self-stacked, else YOrigin.
    virtual double PointOrigin(int ValueIndex, bool SumAll);
    // The style of one bar: OnGetBarStyle's choice or BarStyle.
    TBarStyle GetBarStyle(int ValueIndex);
    // Pixels a mark needs beside its bar.
    int CalcMarkLength(int ValueIndex);

    void CalcZOrder() override;
    void CalcDepthPositions() override;

    // ---------------------------------------------------------------- drawing, marks, hit test
    // The bar's pixel bounds while it is drawn.
    const TRect& BarBounds() const { return FBarRect; }
    // The end colour of a bar's gradient: the bar's colour, or with a
    // relative gradient the share of the way from the start colour that the
    // value goes from the origin (or smallest value) to the largest value.
    TColor CalcGradientColor(int ValueIndex);
    // First i of the visible range whose bar holds (X, Y); -1 when none.
    int Clicked(int X, int Y) override;
    virtual bool InternalClicked(int ValueIndex, const TPoint& P) = 0;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    // "Normal", "Colors", "Pyramid", "Ellipse", "Inv. Pyramid", "Gradient",
    // "Stack", "Stack 100%", "Self Stacked", "Sides", "Side All".
    void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) override;
    void SetSubGallery(int Index) override;
    // Whether the gallery offers the stacked entries.
    virtual bool SubGalleryStack() const { return true; }
    // The series' preparation, then wider gradient bars, not side by side.
    void PrepareForGallery(bool IsEnabled) override;

protected:
    // The bar of ValueIndex between StartPos and EndPos on the value axis
    // (the rest of FBarRect set), in its style, with its tick lines; upright
    // or lying across as the series is.
    void DrawBar(int ValueIndex, int StartPos, int EndPos);
    // DrawBar inside a blending section over the bar when it is transparent.
    void DrawBarBlended(int ValueIndex, int StartPos, int EndPos);
    void SetPenBrushBar(TColor Color);
    // A bar of no width or height is a line in the brush colour; one
    // narrower than its pen is hollow.
    void BarRectangle(TColor Color, int Left, int Top, int Right, int Bottom);
    void BarGradient(int ValueIndex, TRect R);
    void DrawBevel();
    // The value axis' ticks strictly between StartPos and EndPos.
    void DrawTickLines(int StartPos, int EndPos, TBarStyle Style);
    // One tick line across the bar at Pos (and along its depth in 3-D).
    void DrawTickLine(int Pos, TBarStyle Style);
    TRect FBarRect;
    TColor FBarColor = clNone;

    virtual int InternalCalcMarkLength(int ValueIndex) = 0;
    // The series' category axis and value axis.
    virtual TChartAxis* CategoryAxis() const = 0;
    void InternalApplyBarMargin(int& First, int& Second);
    int InternalGetOriginPos(int ValueIndex, int DefaultOrigin);
    // The start edge of a bar at category pixel Position.
    int CategoryBarPos(int ValueIndex, int BasePos);
    int ApplyBarOffset(int Position) const;
    int StackedValuePos(int ValueIndex, double Value);
    double MaxMandatoryValue(double Value);
    double MinMandatoryValue(double Value);
    // Extremes of the category dimension for the side-all and self-stacked modes.
    double MaxCategoryValue(double Value);
    double MinCategoryValue(double Value);
    void SetOtherBars(bool SetOthers);
    bool IsStackedMode() const { return FMultiBar == mbStacked || FMultiBar == mbStacked100; }

private:
    bool FAutoBarSize = false;
    bool FAutoMarkPosition = true;
    TBarStyle FBarStyle = bsRectangle;
    int FBarWidthPercent = 70;
    int FBevelSize = 1;
    int FConePercent = 0;
    bool FDark3D = true;
    int FDepthPercent = 100;
    std::unique_ptr<TBarSeriesGradient> FGradient;
    TMultiBar FMultiBar = mbSide;
    int FOffsetPercent = 0;
    bool FSideMargins = true;
    int FStackGroup = 0;
    std::unique_ptr<TChartHiddenPen> FTickLines;
    TChTransparency FTransparency = 0;
    bool FUseYOrigin = true;
    double FYOrigin = 0;
    int FCustomBarWidth = 0;

    int FBarCount = 0;
    int FSlotCount = -1;
    int FBarIndex = 1;
    int FPointsBefore = 0;
    int FBarPixels = 0;
};

// Upright bars: categories along the horizontal axis.
class TBarSeries : public TCustomBarSeries {
    OZ_CLASS(TBarSeries, TCustomBarSeries);

public:
    explicit TBarSeries(TComponent* AOwner);
    // CustomBarWidth.
    static void Publish(TPublisher<TBarSeries>& P);
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVerticalMargins(int& TopMargin, int& BottomMargin) override;
    int CalcXPos(int ValueIndex) override;
    int CalcYPos(int ValueIndex) override;
    double MaxXValue() override;
    double MinXValue() override;
    double MaxYValue() override;
    double MinYValue() override;
    bool DrawSeriesForward(int ValueIndex) override;
    bool MoreSameZOrder() override;
    void DrawValue(int ValueIndex) override;
    // Above a bar standing up, below one hanging down.
    void DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position) override;
    bool InternalClicked(int ValueIndex, const TPoint& P) override;

protected:
    int InternalCalcMarkLength(int ValueIndex) override;
    TChartAxis* CategoryAxis() const override { return GetHorizAxis(); }
};

// Bars lying across: categories along the vertical axis.
class THorizBarSeries : public TCustomBarSeries {
    OZ_CLASS(THorizBarSeries, TCustomBarSeries);

public:
    explicit THorizBarSeries(TComponent* AOwner);
    // The fixed bar width as CustomBarHeight.
    static void Publish(TPublisher<THorizBarSeries>& P);
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVerticalMargins(int& TopMargin, int& BottomMargin) override;
    int CalcXPos(int ValueIndex) override;
    int CalcYPos(int ValueIndex) override;
    double MaxXValue() override;
    double MinXValue() override;
    double MaxYValue() override;
    double MinYValue() override;
    bool DrawSeriesForward(int ValueIndex) override;
    void DrawValue(int ValueIndex) override;
    // Right of a bar reaching right, left of one reaching left.
    void DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position) override;
    bool InternalClicked(int ValueIndex, const TPoint& P) override;

protected:
    int InternalCalcMarkLength(int ValueIndex) override;
    TChartAxis* CategoryAxis() const override { return GetVertAxis(); }
};
