// A chart axis: its range (automatic or set), increments and labels, its
// mapping of values to pixels, its place around the chart rectangle, and its
// drawing (title, labels, ticks, grid, line).
//
// TChartAxis's body:
//   ChEngineAxis.cpp      range, increments, label sizes, value-to-pixel
//                         mapping and layout
//   ChEngineAxisDraw.cpp  drawing: title, labels, ticks, grid and axis line
//   ChartStream.cpp       its published properties
#pragma once

#include "chart/ChAxisGridPen.h"
#include "chart/ChAxisItems.h"
#include "chart/ChAxisTitle.h"
#include "chart/ChCanvas.h"
#include "chart/ChConst.h"
#include "chart/ChEngineBase.h"
#include "chart/ChProcs.h"
#include "platform/Classes.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TChartSeries;
class TCustomAxisPanel;

constexpr double MinAxisRange = 1e-10;
constexpr double MinAxisIncrement = 1e-12;
constexpr int ChAxisClickGap = 3;

// The largest pixel coordinate the converters hand out (either sign).
extern int CoordinateLimit;

// The next step of the 1, 2, 5 series above X (X > 0).
double NiceNextStep(double X);

enum TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };
enum TAxisLabelAlign { alDefault, alOpposite };

using TAxisOnGetLabel =
    std::function<void(TChartAxis* Sender, TChartSeries* Series, int ValueIndex, std::string& LabelText)>;
using TAxisOnGetNextLabel =
    std::function<void(TChartAxis* Sender, int LabelIndex, double& LabelValue, bool& Stop)>;
using TAxisDrawLabelEvent =
    std::function<void(TChartAxis* Sender, int& X, int& Y, int& Z, std::string& Text, bool& DrawLabel)>;

using TAxisCalcPos = int (TChartAxis::*)(double Value);

class TChartAxis : public TPersistent {
    OZ_CLASS(TChartAxis, TPersistent);

public:
    static void Publish(TPublisher<TChartAxis>& P);
    // Appends itself to Chart's axes list.
    explicit TChartAxis(TCustomAxisPanel* Chart);
    ~TChartAxis() override;
    // Copies every setting but the depth position and the events.
    void Assign(TPersistent* Source) override;

    TCustomAxisPanel* ParentChart() const { return FChart; }

    // range
    bool Automatic() const { return FAutomatic; }
    void SetAutomatic(bool Value);
    bool AutomaticMaximum() const { return FAutomaticMaximum; }
    void SetAutomaticMaximum(bool Value);
    bool AutomaticMinimum() const { return FAutomaticMinimum; }
    void SetAutomaticMinimum(bool Value);
    double Minimum() const { return FMinimum; }
    void SetMinimum(double Value);
    double Maximum() const { return FMaximum; }
    void SetMaximum(double Value);
    void SetMinMax(double AMin, double AMax);
    bool IsMaxStored() const { return !FAutomatic && !FAutomaticMaximum; }
    bool IsMinStored() const { return !FAutomatic && !FAutomaticMinimum; }
    void CalcMinMax(double& AMin, double& AMax);
    void AdjustMaxMin();
    void AdjustMaxMinRect(const TRect& Rect);
    void InternalCalcRange();
    void Scroll(double Offset, bool CheckLimits);

    // increments
    double Increment() const { return FIncrement; }
    void SetIncrement(double Value) { SetDesiredIncrement(Value); }
    void SetDesiredIncrement(double Value);
    double CalcIncrement();
    double CalcXYIncrement(int MaxLabelSize);
    double CalcLabelsIncrement(int MaxNumLabels);
    double CalcDateTimeIncrement(int MaxNumLabels);
    double RoundLogPower(double Value);
    int LabelWidth(double Value) { return InternalLabelSize(true, Value); }
    int LabelHeight(double Value) { return InternalLabelSize(false, Value); }
    int InternalLabelSize(bool IsWidth, double Value);
    // The label of Value as the axis formats it, passed through the chart's
    // OnGetAxisLabel.
    virtual std::string LabelValue(double Value);
    virtual int MaxLabelsWidth();
    void IncDecDateTime(bool Increment, double& Value, double AnIncrement, TDateTimeStep Step);

    // logarithm and date-time
    bool Logarithmic() const { return FLogarithmic; }
    void SetLogarithmic(bool Value);
    double LogarithmicBase() const { return FLogarithmicBase; }
    void SetLogarithmicBase(double Value);
    bool IsLogBaseStored() const { return FLogarithmicBase != 10; }
    bool IsDateTime();
    bool ExactDateTime() const { return FExactDateTime; }
    void SetExactDateTime(bool Value);
    const std::string& AxisValuesFormat() const { return FAxisValuesFormat; }
    void SetAxisValuesFormat(const std::string& Value);
    bool IsAxisValuesFormatStored() const { return FAxisValuesFormat != ChMsg_DefValueFormat; }
    const std::string& DateTimeFormat() const { return FDateTimeFormat; }
    void SetDateTimeFormat(const std::string& Value);

    // labels
    bool Labels() const { return FLabels; }
    void SetLabels(bool Value);
    bool LabelsAlternate() const { return FLabelsAlternate; }
    void SetLabelsAlternate(bool Value);
    int LabelsAngle() const { return FLabelsAngle; }
    void SetLabelsAngle(int Value);
    int LabelsSeparation() const { return FLabelsSeparation; }
    void SetLabelsSeparation(int Value);
    int LabelsSize() const { return FLabelsSize; }
    void SetLabelsSize(int Value);
    TChFont* LabelsFont() const { return FLabelsFont.get(); }
    TChartAxisTitle* Title() const { return FTitle.get(); }
    int TitleSize() const { return FTitleSize; }
    void SetTitleSize(int Value);

    // pens and ticks
    TChartPen* Axis() const { return FAxisPen.get(); }
    TAxisGridPen* Grid() const { return FGrid.get(); }
    bool GridCentered() const { return FGrid->Centered(); }
    void SetGridCentered(bool Value) { FGrid->SetCentered(Value); }
    TChartPen* MinorGrid() const { return FMinorGrid.get(); }
    TChartPen* Ticks() const { return FTicks.get(); }
    TChartPen* TicksInner() const { return FTicksInner.get(); }
    TChartPen* MinorTicks() const { return FMinorTicks.get(); }
    int TickLength() const { return FTickLength; }
    void SetTickLength(int Value);
    int TickInnerLength() const { return FTickInnerLength; }
    void SetTickInnerLength(int Value);
    int MinorTickLength() const { return FMinorTickLength; }
    void SetMinorTickLength(int Value);
    int MinorTickCount() const { return FMinorTickCount; }
    void SetMinorTickCount(int Value);

    // placement
    bool Horizontal() const { return FHorizontal; }
    void SetHorizontal(bool Value);
    bool OtherSide() const { return FOtherSide; }
    void SetOtherSide(bool Value);
    bool Inverted() const { return FInverted; }
    virtual void SetInverted(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    double StartPosition() const { return FStartPosition; }
    void SetStartPosition(double Value);
    double EndPosition() const { return FEndPosition; }
    void SetEndPosition(double Value);
    double PositionPercent() const { return FPositionPercent; }
    void SetPositionPercent(double Value);
    TChUnits PositionUnits() const { return FPositionUnits; }
    void SetPosUnits(TChUnits Value);
    double ZPosition() const { return FZPosition; }
    void SetZPosition(double Value);
    int MinimumOffset() const { return FMinimumOffset; }
    void SetMinimumOffset(int Value);
    int MaximumOffset() const { return FMaximumOffset; }
    void SetMaximumOffset(int Value);
    bool IsZStored() const;
    bool IsPosStored() const { return FPositionPercent != 0; }
    bool IsStartStored() const { return FStartPosition != 0; }
    bool IsEndStored() const { return FEndPosition != 100; }
    bool IsCustom() const;

    // pixel span and mapping
    void InternalCalcPositions();
    void RecalcSizeCenter();
    void SetCalcPosValue();
    int XPosValue(double Value);
    int YPosValue(double Value);
    int XPosValueCheck(double Value);
    int YPosValueCheck(double Value);
    int LogXPosValue(double Value);
    int LogYPosValue(double Value);
    int InternalCalcDepthPosValue(double Value);
    int CalcPosValue(double Value) { return (this->*FCalcPosValue)(Value); }
    int HorizPosValue(double Value) { return (this->*FHorizPosValue)(Value); }
    int VertPosValue(double Value) { return (this->*FVertPosValue)(Value); }
    int CalcXPosValue(double Value) { return HorizPosValue(Value); }
    // The pixels of Count values, as HorizPosValue (Horizontal) or
    // VertPosValue gives them one by one: for loops over many values.
    void PosValues(bool Horizontal, const double* Values, int Count, int* Pixels);
    // With a linear mapping of values to pixels (Horizontal or vertical):
    // about the value where positions leave pixel Pixel going up the values
    // (not exact: a caller checks the pixels near it). False, and Value
    // untouched, for other mappings.
    bool PixelEdge(bool Horizontal, int Pixel, double& Value) const;
    int CalcYPosValue(double Value) { return VertPosValue(Value); }
    int CalcSizeValue(double Value);
    double CalcPosPoint(int Value);
    int CalcZPos();

    // layout
    int GetRectangleEdge(const TRect& R) const;
    int ApplyPosition(int Pos, const TRect& R) const;
    int SizeTickAxis() const;
    int SizeLabels();
    int InternalCalcSize(TChFont* AFont, int AAngle, int FixedSize, const std::string& Text);
    void CalcRect(TRect& R, bool InflateChartRectangle);
    TRect AxisRect() const;
    bool Clicked(int X, int Y);
    int DepthAxisAlign() const { return FOtherSide ? ChTextAlignLeft : ChTextAlignRight; }
    int DepthAxisPos() const;

    // drawing: title, labels, ticks, grid and axis line
    bool RoundFirstLabel() const { return FRoundFirstLabel; }
    void SetRoundFirstLabel(bool Value);
    bool LabelsOnAxis() const { return FLabelsOnAxis; }
    void SetLabelsOnAxis(bool Value);
    bool TickOnLabelsOnly() const { return FTickOnLabelsOnly; }
    void SetTickOnLabelsOnly(bool Value);
    bool LabelsExponent() const { return FLabelsExponent; }
    void SetLabelsExponent(bool Value);
    bool LabelsMultiLine() const { return FLabelsMultiLine; }
    void SetLabelsMultiLine(bool Value);
    TAxisLabelStyle LabelStyle() const { return FLabelStyle; }
    void SetLabelStyle(TAxisLabelStyle Value);
    TAxisLabelAlign LabelsAlign() const { return FLabelsAlign; }
    void SetLabelsAlign(TAxisLabelAlign Value);
    TAxisLabelStyle CalcLabelStyle();
    virtual TAxisLabelStyle InternalCalcLabelStyle();
    // Draws title, labels, ticks, grid and line; CalcPosAxis first places
    // the axis line on the edge of the chart rectangle.
    void Draw(bool CalcPosAxis);
    // Drawing at positions of one's own (outside the chart's layout): the
    // labels, title and axis line at the given pixels, the grid shown or
    // not for this draw only (no repaint is asked for); with a span of its
    // own and with a range and increment of its own, which the axis takes
    // back afterwards, also when drawing fails.
    void CustomDraw(int APosLabels, int APosTitle, int APosAxis, bool GridVisible);
    void CustomDrawStartEnd(int APosLabels, int APosTitle, int APosAxis, bool GridVisible, int AStartPos,
                            int AEndPos);
    void CustomDrawMinMax(int APosLabels, int APosTitle, int APosAxis, bool GridVisible, double AMinimum,
                          double AMaximum, double AIncrement);
    void CustomDrawMinMaxStartEnd(int APosLabels, int APosTitle, int APosAxis, bool GridVisible, double AMinimum,
                                  double AMaximum, double AIncrement, int AStartPos, int AEndPos);
    void DrawTitle(int X, int Y);
    void DrawAxisLabel(int X, int Y, TChCustomShape* Format, const std::string& Text, int Angle);
    void DrawGrids(int Count);
    void DrawGridLine(int P);
    TAxisDrawLabelEvent OnDrawLabel;
    TAxisItems& Items() { return *FItems; }
    // Pixel positions of the ticks of the last draw.
    const std::vector<int>& TickPixels() const { return FTickPixels; }

    // State of the current layout and draw: written by the axis's layout
    // (scale, pixel span, positions) and draw steps only, read by everyone.
    double ScaleMin() const { return FScaleMin; }
    double ScaleMax() const { return FScaleMax; }
    double ScaleRange() const { return FScaleRange; }
    bool ScaleRangeIsZero() const { return FScaleRangeIsZero; }
    double PixelsPerValue() const { return FPixelsPerValue; }
    double LogScaleMin() const { return FLogScaleMin; }
    double LogScaleMax() const { return FLogScaleMax; }
    double LogScaleRange() const { return FLogScaleRange; }
    double PixelsPerLogValue() const { return FPixelsPerLogValue; }
    // The smallest value a logarithmic axis shows: ScaleMin when positive,
    // else one step of the base below ScaleMax (and never above 1).
    double LogScaleFloor() const { return FLogScaleFloor; }
    int PixelStart() const { return FPixelStart; }
    int PixelEnd() const { return FPixelEnd; }
    int PixelSize() const { return FPixelSize; }
    int PixelCenter() const { return FPixelCenter; }
    int DepthPixel() const { return FDepthPixel; }
    bool ShowsDateTime() const { return FShowsDateTime; }
    int AxisLinePos() const { return FAxisLinePos; }
    int LabelsPos() const { return FLabelsPos; }
    int TitlePos() const { return FTitlePos; }
    // The scale of the current pass, set directly (as a custom draw does)
    // instead of from Minimum and Maximum; the range follows.
    void SetScale(double AMin, double AMax);
    // Moves the pixel span by Delta pixels, as a pass drawn offset (a
    // series' shadow) needs; the same call with -Delta puts it back.
    void OffsetPixels(int Delta);
    // Visibility of the axis in the current pass, set by the chart's axis
    // layout (TCustomAxisPanel::CalcAxisLayout).
    bool VisibleInPass() const { return FVisibleInPass; }
    bool IsDepth = false;
    TChartAxis* MasterAxis = nullptr;
    // An item of the chart's custom axes, which owns it.
    bool IsCustomItem = false;

    static constexpr int ChTextAlignLeft = 0;
    static constexpr int ChTextAlignRight = 2;

private:
    // The pass state the chart writes: visibility in the pass (axis layout)
    // and the grids left out while the walls are drawn (3-D walls).
    friend class TCustomAxisPanel;
    friend class TCustomChart;
    bool FVisibleInPass = true;
    bool FSkipBackGrid = false;
    bool FSkipSideGrid = false;
    std::vector<int> FTickPixels;
    double FScaleMin = 0;
    double FScaleMax = 0;
    double FScaleRange = 0;
    bool FScaleRangeIsZero = true;
    double FPixelsPerValue = 0;
    double FLogScaleMin = 0;
    double FLogScaleMax = 0;
    double FLogScaleRange = 0;
    double FPixelsPerLogValue = 0;
    double FLogScaleFloor = 1;
    int FPixelStart = 0;
    int FPixelEnd = 0;
    int FPixelSize = 0;
    int FPixelCenter = 0;
    int FDepthPixel = 0;
    bool FShowsDateTime = false;
    int FAxisLinePos = 0;
    int FLabelsPos = 0;
    int FTitlePos = 0;
    // The label text of Value before the user's event sees it.
    std::string FormattedLabelValue(double Value) const;
    std::string MultiLineLabel(std::string Text) const;
    // CalcIncrement, with the label sizes taken from the axis's own texts
    // unless AskUser.
    double IncrementFor(bool AskUser);
    // Width (or height) of a label text in the canvas's current font.
    int LabelTextSize(bool IsWidth, const std::string& Text);
    void AddTick(int Pixel) { FTickPixels.push_back(Pixel); }
    void DrawValueLabel(double Value);
    void PlaceAxisLabel(int Pixel, const std::string& Text, TChCustomShape* Format = nullptr);
    void DrawDefaultLabels(double Inc, TDateTimeStep Step);
    void DrawLogLabels();
    void DrawCustomLabels(double Inc, TDateTimeStep Step);
    void DrawSeriesLabels(TAxisLabelStyle Style);
    void DrawDepthTitleLabels();
    void DrawTicksGridAndLine();
    void DrawMinorTicks(bool IsGrid);
    void DrawTick(int Pixel, int Direction, int Length);
    void InternalSetMinimum(double Value);
    void InternalSetMaximum(double Value);
    // (TCustomChart restores saved scales without the range check; the
    // depth axes invert each other.)
    friend class TChartDepthAxis;
    void AxisChanged(TObject* Sender);
    TCustomAxisPanel* FChart;
    bool FAutomatic = true;
    bool FAutomaticMaximum = true;
    bool FAutomaticMinimum = true;
    double FMinimum = 0;
    double FMaximum = 0;
    double FIncrement = 0;
    bool FLogarithmic = false;
    double FLogarithmicBase = 10;
    bool FExactDateTime = true;
    std::string FAxisValuesFormat;
    std::string FDateTimeFormat;
    bool FLabels = true;
    bool FLabelsAlternate = false;
    int FLabelsAngle = 0;
    int FLabelsSeparation = 10;
    int FLabelsSize = 0;
    int FTitleSize = 0;
    int FTickLength = 4;
    int FTickInnerLength = 0;
    int FMinorTickLength = 2;
    int FMinorTickCount = 3;
    bool FRoundFirstLabel = true;
    bool FLabelsOnAxis = true;
    bool FTickOnLabelsOnly = true;
    bool FLabelsExponent = false;
    bool FLabelsMultiLine = false;
    TAxisLabelStyle FLabelStyle = talAuto;
    TAxisLabelAlign FLabelsAlign = alDefault;
    bool FAlternateRow = false;
    bool FHorizontal = false;
    bool FOtherSide = false;
    bool FInverted = false;
    bool FVisible = true;
    double FStartPosition = 0;
    double FEndPosition = 100;
    double FPositionPercent = 0;
    TChUnits FPositionUnits = muPercent;
    double FZPosition = 0.01;
    int FMinimumOffset = 0;
    int FMaximumOffset = 0;
    TAxisCalcPos FCalcPosValue = &TChartAxis::YPosValueCheck;
    TAxisCalcPos FHorizPosValue = &TChartAxis::XPosValueCheck;
    TAxisCalcPos FVertPosValue = &TChartAxis::YPosValueCheck;
    std::unique_ptr<TChFont> FLabelsFont;
    std::unique_ptr<TChartAxisTitle> FTitle;
    std::unique_ptr<TChartPen> FAxisPen;
    std::unique_ptr<TAxisGridPen> FGrid;
    std::unique_ptr<TAxisItems> FItems;
    std::unique_ptr<TChartPen> FMinorGrid;
    std::unique_ptr<TChartPen> FTicks;
    std::unique_ptr<TChartPen> FTicksInner;
    std::unique_ptr<TChartPen> FMinorTicks;
};
