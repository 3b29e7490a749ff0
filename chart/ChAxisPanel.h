// The part of a chart that owns its series, axes and tools: the series
// list, the standard and custom axes, the colours new series take, paging
// of points, and the drawing pass that lays the axes out and draws walls,
// axes, series, titles and legend in order.
//
// TCustomAxisPanel's body:
//   ChEnginePanel.cpp    construction, series, axes, ranges, colours, events
//   ChEngineDraw.cpp     the drawing pass, the axis layout and margins,
//                        paging, copying into the standard axes, the
//                        series shown in the legend
//   ChEngineSources.cpp  the data sources of its series
//   ChartStream.cpp      its published properties
#pragma once

#include "chart/ChAxesList.h"
#include "chart/ChAxis.h"
#include "chart/ChCustomAxes.h"
#include "chart/ChCustomTool.h"
#include "chart/ChDepthAxis.h"
#include "chart/ChDesigner.h"
#include "chart/ChProcs.h"
#include "chart/ChSeries.h"
#include "chart/ChSeriesGroups.h"
#include "chart/ChToolList.h"
#include "platform/Classes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TChartSeriesEvent { seAdd, seRemove, seChangeTitle, seChangeColor, seSwap, seChangeActive, seDataChanged };

class TChSeriesEvent : public TChEvent {
public:
    TChartSeriesEvent Event = seAdd;
    TChartSeries* Series = nullptr;
};

using TColorArray = std::vector<TColor>;

// What lies under a point of a chart.
enum TChartClickedPartStyle : uint8_t {
    cpNone, cpLegend, cpAxis, cpSeries, cpTitle, cpFoot, cpChartRect, cpSeriesMarks, cpSubTitle, cpSubFoot
};

struct TChartClickedPart {
    TChartClickedPartStyle PartStyle = cpNone;
    // Legend item, point or mark index; -1 when none.
    int PartIndex = -1;
    TChartSeries* PartSeries = nullptr;
    TChartAxis* PartAxis = nullptr;
};

// The part of a chart that owns its series, axes and tools.
class TCustomAxisPanel : public TCustomChPanelExtended {
    OZ_CLASS(TCustomAxisPanel, TCustomChPanelExtended);

public:
    static void Publish(TPublisher<TCustomAxisPanel>& P);
    explicit TCustomAxisPanel(TComponent* AOwner);
    ~TCustomAxisPanel() override;

    // series
    TChartSeriesList& SeriesList() { return *FSeriesList; }
    int SeriesCount() const { return FSeriesList->Count(); }
    TChartSeries* Series(int Index) const { return FSeriesList->Get(Index); }
    TChartSeries* GetSeries(int Index) const { return Series(Index); }
    int CountActiveSeries() const;
    TChartSeries* AddSeries(TChartSeries* ASeries);
    void InternalAddSeries(TChartSeries* ASeries);
    void RemoveSeries(TChartSeries* ASeries);
    // Frees every series (with a test given: every series it accepts).
    void FreeAllSeries(const std::function<bool(TChartSeries*)>& OfClass = nullptr);
    void ExchangeSeries(int Index1, int Index2);
    void ExchangeSeries(TChartSeries* Series1, TChartSeries* Series2);
    int GetMaxValuesCount() const;
    // Asks every active series, the last first, whether (X, Y) is over one
    // of its points (each updates its enter and leave state); true when any
    // answers true.
    bool CheckMouseSeries(int X, int Y);
    TChartSeries* GetAxisSeries(TChartAxis* Axis) const;
    TChartSeries* GetAxisSeriesMaxPoints(TChartAxis* Axis) const;
    bool NoActiveSeries(TChartAxis* Axis) const;
    // Reloads ASeries from its data source, or lets its function or sample
    // values fill it.
    virtual void CheckDatasource(TChartSeries* ASeries);
    // Whether ASeries may take its data from Component.
    virtual bool IsValidDataSource(TChartSeries* ASeries, TComponent* Component);
    // Told when ASeries lets go of its data source Component.
    virtual void RemovedDataSource(TChartSeries* ASeries, TComponent* Component);
    // Raises ChartException when Dest would take its data from itself
    // through Source and Source's own sources, to any depth.
    void CheckOtherSeries(TChartSeries* Dest, TChartSeries* Source);

    // axes
    TChartAxes& AxesList() { return *FAxesList; }
    TChartCustomAxes& CustomAxes() { return *FCustomAxes; }
    TChartAxis* BottomAxis() const { return FBottomAxis; }
    TChartAxis* TopAxis() const { return FTopAxis; }
    TChartAxis* LeftAxis() const { return FLeftAxis; }
    TChartAxis* RightAxis() const { return FRightAxis; }
    TChartDepthAxis* DepthAxis() const { return FDepthAxis; }
    TChartDepthAxis* DepthTopAxis() const { return FDepthTopAxis; }
    bool AxisBehind() const { return FAxisBehind; }
    void SetAxisBehind(bool Value) { SetBooleanProperty(FAxisBehind, Value); }
    bool AxisVisible() const { return FAxisVisible; }
    void SetAxisVisible(bool Value) { SetBooleanProperty(FAxisVisible, Value); }
    bool IsAxisVisible(TChartAxis* Axis) const;
    bool CalcIsAxisVisible(TChartAxis* Axis) const;
    double InternalMinMax(TChartAxis* Axis, bool IsMin, bool IsX) const;
    double MaxXValue(TChartAxis* Axis) const { return InternalMinMax(Axis, false, true); }
    double MaxYValue(TChartAxis* Axis) const { return InternalMinMax(Axis, false, false); }
    double MinXValue(TChartAxis* Axis) const { return InternalMinMax(Axis, true, true); }
    double MinYValue(TChartAxis* Axis) const { return InternalMinMax(Axis, true, false); }
    virtual int CalcWallSize(TChartAxis* Axis) { return 0; }
    int MultiLineTextWidth(const std::string& Text, int& NumLines);
    int MaxTextWidth();
    int MaxMarkWidth();

    // colours
    TColorArray CustomPalette;
    TColor GetDefaultColor(int Index) const;
    TColor GetFreeSeriesColor(bool CheckBackground, TChartSeries* ASeries);
    // Whether no other series shows Color.
    virtual bool IsFreeSeriesColor(TColor AColor, bool CheckBackground, TChartSeries* ASeries);
    void ColorPaletteChanged();

    // tools and events
    TChartTools& Tools() { return *FTools; }
    void BroadcastSeriesEvent(TChartSeries* ASeries, TChartSeriesEvent Event);
    void BroadcastToolEvent(TChartToolEvent Event);
    TChCustomDesigner* DesignerHook() const { return FDesignerHook.get(); }
    void SetDesignerHook(std::unique_ptr<TChCustomDesigner> Value) { FDesignerHook = std::move(Value); }

    // True while the chart is read from a stored form.
    bool Loading = false;

    // the drawing pass
    void InternalDraw(const TRect& UserRect) override;
    // The axis layout step of the pass: each axis's visibility in the pass
    // and its range, its pixel span, and the room its labels and title take
    // from ChartRect (the first five axes only), then the spans again.
    void CalcAxisLayout();
    virtual void CalcWallsRect() { CalcSize3DWalls(); ReCalcWidthHeight(); }
    virtual void DrawTitlesAndLegend(bool BeforeSeries) {}
    virtual void DrawWalls() {}
    virtual bool DrawBackWallAfter(int Z);
    virtual std::string FormattedValueLegend(TChartSeries* ASeries, int ValueIndex) { return {}; }
    virtual void DoOnAfterDraw();
    virtual void DoOnBeforeDrawAxes();
    virtual void DoOnBeforeDrawChart();
    virtual void DoOnBeforeDrawSeries();
    void CalcSize3DWalls();
    // Width, height and centre of ChartRect.
    void ReCalcWidthHeight();
    // The ItemIndex-th series shown in the legend (only active ones with OnlyActive).
    TChartSeries* SeriesLegend(int ItemIndex, bool OnlyActive) const;
    TChartSeries* ActiveSeriesLegend(int ItemIndex) const { return SeriesLegend(ItemIndex, true); }
    std::string SeriesTitleLegend(int SeriesIndex, bool OnlyActive = true) const;

    // copy the settings of Value into the chart's own axis
    void SetLeftAxis(TChartAxis* Value);
    void SetRightAxis(TChartAxis* Value);
    void SetTopAxis(TChartAxis* Value);
    void SetBottomAxis(TChartAxis* Value);

    bool ClipPoints() const { return FClipPoints; }
    // Clips the canvas to where series draw: the chart rectangle with its
    // bottom edge, across the chart's depth.
    void ClipToSeriesArea();
    void SetClipPoints(bool Value) { SetBooleanProperty(FClipPoints, Value); }
    bool View3DWalls() const { return FView3DWalls; }
    void SetView3DWalls(bool Value) { SetBooleanProperty(FView3DWalls, Value); }
    int Chart3DPercent() const { return FChart3DPercent; }
    void Set3DPercent(int Value);

    // paging
    int Page() const { return FPage; }
    void SetPage(int Value);
    int MaxPointsPerPage() const { return FMaxPointsPerPage; }
    void SetMaxPointsPerPage(int Value);
    bool ScaleLastPage() const { return FScaleLastPage; }
    void SetScaleLastPage(bool Value) { SetBooleanProperty(FScaleLastPage, Value); }
    int NumPages() const;
    // Prints pages FromPage to ToPage (0: the first, 0: the last) as one
    // job on the printer, one sheet each, in the print rectangle; the chart
    // is back on its page afterwards, and a failure aborts the job.
    void PrintPages(int FromPage = 0, int ToPage = 0);

    int MaxZOrder = 0;
    int SeriesWidth3D = 0;
    int SeriesHeight3D = 0;
    bool InvertedRotation = false;
    TColor LegendColor = 0;
    TChartPen* LegendPen = nullptr;

    TAxisOnGetLabel OnGetAxisLabel;
    TAxisOnGetNextLabel OnGetNextAxisLabel;
    TNotifyEvent OnPageChange;
    TNotifyEvent OnBeforeDrawChart;
    TNotifyEvent OnBeforeDrawAxes;
    TNotifyEvent OnBeforeDrawSeries;

private:
    void DrawAxes();
    void CalcAxisMargins();
    bool FClipPoints = true;
    bool FView3DWalls = true;
    int FChart3DPercent = 15;
    int FPage = 1;
    int FMaxPointsPerPage = 0;
    bool FScaleLastPage = true;
    // Set while the destructor frees the series: listeners hear nothing then.
    bool FFreeing = false;
    bool FAxisBehind = true;
    bool FAxisVisible = true;
    std::unique_ptr<TChartTools> FTools;
    std::unique_ptr<TChartSeriesList> FSeriesList;
    std::unique_ptr<TChartAxes> FAxesList;
    std::unique_ptr<TChartCustomAxes> FCustomAxes;
    std::unique_ptr<TChCustomDesigner> FDesignerHook;
    TChartAxis* FBottomAxis = nullptr;
    TChartAxis* FTopAxis = nullptr;
    TChartAxis* FLeftAxis = nullptr;
    TChartAxis* FRightAxis = nullptr;
    TChartDepthAxis* FDepthAxis = nullptr;
    TChartDepthAxis* FDepthTopAxis = nullptr;
};
