// A series with data: its points (value lists, labels, colours), the axes it
// is drawn against, its part in the chart's drawing pass (visible range,
// depth, marks, legend items), where its points come from (data sources,
// function, linked series, sample values) and its stored form; and the unit
// routines that look at a series' points or name a series.
//
// TChartSeries's body:
//   ChEngineSeries.cpp   adding, reading and deleting points, colours,
//                        notifications, its axes and its place in a chart
//   ChEngineDraw.cpp     the drawing pass of a series: visible range, depth
//                        order, marks, legend texts and symbols, paging;
//                        the mouse over its points
//   ChEngineSources.cpp  data sources, linked series, the attached function,
//                        copying, ordering by labels, sample values
//   ChEngineStream.cpp   the stored form: "DataSources", the custom axes and
//                        the points ("Data")
//   ChartStream.cpp      its published properties
#pragma once

#include "chart/ChConst.h"
#include "chart/ChCustomSeries.h"
#include "chart/ChDataSourcesList.h"
#include "chart/ChEngineBase.h"
#include "chart/ChLabelsList.h"
#include "chart/ChSeriesList.h"
#include "chart/ChValueList.h"
#include "platform/Classes.h"
#include "platform/Controls.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class TChartAxis;
class TChFunction;
class TSeriesMarks;
class TSeriesMarkPosition;
class TStream;

enum TLegendTextStyle {
    ltsPlain, ltsLeftValue, ltsRightValue, ltsLeftPercent, ltsRightPercent,
    ltsXValue, ltsValue, ltsPercent, ltsXAndValue, ltsXAndPercent
};

enum THorizAxis { aTopAxis, aBottomAxis, aBothHorizAxis, aCustomHorizAxis };
enum TVertAxis { aLeftAxis, aRightAxis, aBothVertAxis, aCustomVertAxis };

// Which changes of a series reach the series that take data from it.
using TSeriesRecalcOptions = uint8_t;
constexpr TSeriesRecalcOptions rOnDelete = 1;
constexpr TSeriesRecalcOptions rOnModify = 2;
constexpr TSeriesRecalcOptions rOnInsert = 4;
constexpr TSeriesRecalcOptions rOnClear = 8;
constexpr TSeriesRecalcOptions rOnAll = rOnDelete | rOnModify | rOnInsert | rOnClear;

using TSeriesOnBeforeAdd = std::function<bool(TChartSeries* Sender)>;
using TSeriesOnAfterAdd = std::function<void(TChartSeries* Sender, int ValueIndex)>;
using TSeriesOnClear = std::function<void(TChartSeries* Sender)>;
using TSeriesOnGetMarkText = std::function<void(TChartSeries* Sender, int ValueIndex, std::string& MarkText)>;
using TChartSubGalleryProc = std::function<TCustomAxisPanel*(const std::string& Name)>;
using TSeriesClick = std::function<void(TChartSeries* Sender, int ValueIndex, TMouseButton Button,
                                        TShiftState Shift, int X, int Y)>;

class TChartSeries : public TCustomChartSeries {
    OZ_CLASS(TChartSeries, TCustomChartSeries);

public:
    static void Publish(TPublisher<TChartSeries>& P);
    explicit TChartSeries(TComponent* AOwner);
    ~TChartSeries() override;
    void Assign(TPersistent* Source) override;
    void SetParentChart(TCustomAxisPanel* Value) override;
    void Added() override;
    void Removed() override;

    // adding
    virtual int AddXY(double X, double Y, const std::string& Label = {}, TColor Color = clSeriesDefault);
    // One point with the values of the further value lists (from the third
    // on, in list order; missing ones are 0): what a series kind with more
    // dimensions adds through.
    int AddPoint(double X, double Y, std::span<const double> More, const std::string& Label = {},
                 TColor Color = clSeriesDefault);
    virtual int Add(double Value, const std::string& Label = {}, TColor Color = clSeriesDefault);
    int AddX(double Value, const std::string& Label = {}, TColor Color = clSeriesDefault);
    int AddY(double Value, const std::string& Label = {}, TColor Color = clSeriesDefault);
    virtual int AddNull(const std::string& Label = {}) { return Add(0, Label, clNone); }
    int AddNull(double Value) { return Add(Value, {}, clNone); }
    virtual int AddNullXY(double X, double Y, const std::string& Label = {}) { return AddXY(X, Y, Label, clNone); }
    int AddArray(const std::vector<double>& Values);
    virtual int AddChartValue(TChartSeries* Source, int ValueIndex);
    virtual void AddedValue(TChartSeries* Source, int ValueIndex);
    virtual void AddValues(TChartSeries* Source);
    virtual void DeletedValue(TChartSeries* Source, int ValueIndex) { Delete(ValueIndex); }

    // reading and changing
    int Count() const { return FXValues->Count(); }
    int VisibleCount() const { return LastVisibleIndex - FirstVisibleIndex + 1; }
    virtual double GetxValue(int ValueIndex) { return FXValues->Value(ValueIndex); }
    virtual double GetyValue(int ValueIndex) { return FYValues->Value(ValueIndex); }
    double XValue(int Index) { return GetxValue(Index); }
    double YValue(int Index) { return GetyValue(Index); }
    void SetXValue(int Index, double Value);
    void SetYValue(int Index, double Value);
    virtual double GetMarkValue(int ValueIndex) { return FMandatory->Value(ValueIndex); }
    virtual double GetOriginValue(int ValueIndex) { return GetMarkValue(ValueIndex); }
    std::string XLabel(int Index) const { return FLabels.GetLabel(Index); }
    void SetXLabel(int Index, const std::string& Value) { FLabels.SetLabel(Index, Value); }
    TLabelsList& Labels() { return FLabels; }
    bool IsNull(int ValueIndex) { return GetValueColor(ValueIndex) == clNone; }
    void SetNull(int ValueIndex, bool Null = true) { SetValueColor(ValueIndex, Null ? clNone : clSeriesDefault); }

    virtual void Delete(int ValueIndex);
    virtual void Delete(int Start, int Quantity, bool RemoveGap = false);
    virtual void Clear();
    virtual void ClearLists();
    virtual void NotifyNewValue(TChartSeries* Sender, int ValueIndex);
    virtual void NotifyValue(TValueEvent ValueEvent, int ValueIndex);
    void BeginUpdate() { ++UpdateDepth; }
    void EndUpdate();
    void RefreshSeries();
    virtual void SwapValueIndex(int A, int B);

    // value lists
    TChartValueLists& ValuesList() { return FValuesList; }
    TChartValueList* XValues() const { return FXValues; }
    TChartValueList* YValues() const { return FYValues; }
    void SetXValues(TChartValueList* Value);
    void SetYValues(TChartValueList* Value);
    TChartValueList* MandatoryValueList() const { return FMandatory; }
    TChartValueList* NotMandatoryValueList() const { return FNotMandatory; }
    bool YMandatory() const { return FYMandatory; }
    // Series drawn across: X carries the values, Y the positions.
    void SetHorizontal();
    TChartValueList* GetYValueList(const std::string& AName);
    virtual double MaxXValue() { return FXValues->MaxValue(); }
    virtual double MaxYValue() { return FYValues->MaxValue(); }
    virtual double MinXValue() { return FXValues->MinValue(); }
    virtual double MinYValue() { return FYValues->MinValue(); }
    virtual double MaxZValue() { return ZOrder; }
    virtual double MinZValue() { return ZOrder; }

    // colours
    TColor SeriesColor() const { return FSeriesColor != clSeriesDefault ? FSeriesColor : FAutoColor; }
    virtual void SetSeriesColor(TColor Value);
    void ChangeInternalColor(TColor Value);
    TColor AutoColor() const { return FAutoColor; }
    bool IsColorStored() const { return FSeriesColor != clSeriesDefault; }
    bool ColorEachPoint() const { return FColorEachPoint; }
    virtual void SetColorEachPoint(bool Value) { SetBooleanProperty(FColorEachPoint, Value); }
    TColor InternalColor(int ValueIndex) const;
    virtual TColor GetValueColor(int ValueIndex);
    void SetValueColor(int ValueIndex, TColor Color);
    TColor ValueColor(int ValueIndex) { return GetValueColor(ValueIndex); }
    bool HasValueColors() const { return FValueColors != nullptr; }
    int ValueColorCount() const { return FValueColors ? static_cast<int>(FValueColors->size()) : 0; }
    void ColorRange(TChartValueList* AValueList, double FromValue, double ToValue, TColor AColor);
    void NotifyColorChanged();
    virtual int CountLegendItems() { return Count(); }
    virtual void DoAfterDrawValues()
    {
        if (AfterDrawValues)
            AfterDrawValues(this);
    }
    virtual void DoBeforeDrawValues()
    {
        if (BeforeDrawValues)
            BeforeDrawValues(this);
    }
    // Offers the kind's gallery variants; the plain series has one.
    virtual void CreateSubGallery(const TChartSubGalleryProc& AddSubChart) { AddSubChart(ChMsg_Normal); }
    virtual void SetSubGallery(int Index) {}
    // The point under (X, Y); -1 here, the series kinds answer.
    virtual int Clicked(int X, int Y) { return -1; }
    // Whether (X, Y) is over a point, for a series with a cursor of its own
    // or an enter or leave handler (others answer false at once). Over a
    // point the chart shows the series' cursor; crossing a point's edge
    // fires OnMouseEnter or OnMouseLeave.
    bool CheckMouse(int X, int Y);
    bool MouseInside() const { return FMouseInside; }
    virtual int LegendToValueIndex(int LegendIndex) { return LegendIndex; }
    virtual TColor LegendItemColor(int LegendIndex) { return GetValueColor(LegendIndex); }

    // axes
    THorizAxis HorizAxis() const { return FHorizAxis; }
    void SetHorizAxis(THorizAxis Value);
    TVertAxis VertAxis() const { return FVertAxis; }
    void SetVertAxis(TVertAxis Value);
    TChartAxis* CustomHorizAxis() const { return FCustomHorizAxis; }
    void SetCustomHorizAxis(TChartAxis* Value);
    TChartAxis* CustomVertAxis() const { return FCustomVertAxis; }
    void SetCustomVertAxis(TChartAxis* Value);
    TChartAxis* GetHorizAxis() const { return FGetHorizAxis; }
    TChartAxis* GetVertAxis() const { return FGetVertAxis; }
    TChartAxis* MandatoryAxis() const { return FYMandatory ? FGetVertAxis : FGetHorizAxis; }
    void RecalcGetAxis();
    virtual bool UseAxis() { return true; }
    virtual bool AssociatedToAxis(TChartAxis* Axis);
    virtual TChartValueList* ValueListOfAxis(TChartAxis* Axis);
    virtual int CalcXPos(int ValueIndex);
    virtual int CalcYPos(int ValueIndex);
    int CalcXPosValue(double Value);
    int CalcYPosValue(double Value);
    int CalcPosValue(double Value) { return FYMandatory ? CalcYPosValue(Value) : CalcXPosValue(Value); }
    int CalcXSizeValue(double Value);
    int CalcYSizeValue(double Value);
    double XScreenToValue(int ScreenPos);
    double YScreenToValue(int ScreenPos);
    // The values under the mouse (the chart's client position through the
    // series' axes); 0 and 0 without a chart.
    void GetCursorValues(double& X, double& Y);
    // The point under the mouse; -1 when none (or no chart).
    int GetCursorValueIndex();
    std::string XValueToText(double Value);
    std::string YValueToText(double Value);

    // the drawing pass of the series
    // Draws the visible points, then the marks, between the two draw events.
    void DrawSeries();
    virtual void CalcFirstLastVisibleIndex();
    void CalcFirstLastPage(int& First, int& Last);
    bool DrawValuesForward();
    virtual bool DrawSeriesForward(int ValueIndex);
    int FirstDisplayedIndex() { return DrawValuesForward() ? FirstVisibleIndex : LastVisibleIndex; }
    virtual void DrawAllValues();
    // One point; the series kinds draw here.
    virtual void DrawValue(int ValueIndex) {}
    virtual void CalcZOrder();
    int GetZOrder() const { return ZOrder == -1 ? ComputedZOrder : ZOrder; }
    void SetZOrder(int Value);
    void SetDepth(int Value) { SetIntegerProperty(Depth, Value); }
    virtual void CalcDepthPositions();
    virtual bool MoreSameZOrder();
    bool FirstInZOrder();
    virtual void DrawMarks();
    virtual void DrawMark(int ValueIndex, const std::string& Text, TSeriesMarkPosition* Position);

    // legend items
    virtual std::string LegendString(int LegendIndex, TLegendTextStyle TextStyle);
    // The symbol of legend item ValueIndex (-1: the series' own item).
    virtual void DrawLegend(int ValueIndex, const TRect& Rect);
    virtual void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrushStyle& BrushStyle) {}
    virtual void DrawLegendShape(int ValueIndex, const TRect& Rect);
    TColor GetSeriesColor() const { return SeriesColor(); }

    // formats and marks
    std::string MarkPercent(int ValueIndex, bool AddTotal);
    const std::string& ValueFormat() const { return FValueFormat; }
    void SetValueFormat(const std::string& Value) { SetStringProperty(FValueFormat, Value); }
    const std::string& PercentFormat() const { return FPercentFormat; }
    void SetPercentFormat(const std::string& Value) { SetStringProperty(FPercentFormat, Value); }
    TSeriesMarks* Marks() const { return FMarks.get(); }
    void SetMarks(TSeriesMarks* Value);
    virtual std::string GetMarkText(int ValueIndex);
    int MaxMarkWidth();

    // the series that take data from this one, and this one's sources
    TCustomSeriesList& LinkedSeries() { return FLinkedSeries; }
    void AddLinkedSeries(TChartSeries* Series);
    void RemoveLinkedSeries(TChartSeries* Series);
    void RemoveAllLinkedSeries();
    // The first data source; nil when there is none.
    TComponent* DataSource() const { return FDataSources.Count() > 0 ? FDataSources[0] : nullptr; }
    // Makes Value the only data source (raising ChartException when the
    // series has no chart, the chart refuses Value or Value would feed
    // itself); nil removes every data source.
    void SetDataSource(TComponent* Value);
    TDataSourcesList& DataSources() { return FDataSources; }
    const TDataSourcesList& DataSources() const { return FDataSources; }
    // Raises ChartException when Component may not be a data source of
    // this series (no chart, refused by the chart, or circular).
    void CheckNewDataSource(TComponent* Component);
    // Checks Component and adds it (ClearOthers: as the only one); its
    // index, -1 when it was there already.
    int InternalSetDataSource(TComponent* Component, bool ClearOthers);
    // Adds Component unchecked; -1 for nil.
    int InternalAddDataSource(TComponent* Component);
    // Component (nil: every data source) is no longer a source.
    void InternalRemoveDataSource(TComponent* Component);
    void RemoveDataSource(TComponent* Component) { FDataSources.Remove(Component); }
    // Reloads the points from the sources (through the chart).
    virtual void CheckDataSource();
    // Raises ChartException when Source takes its data from this series,
    // directly or through other series.
    void CheckOtherSeries(TChartSeries* Source);
    virtual bool IsValidSourceOf(TChartSeries* Value) { return Value != this; }
    virtual bool IsValidSeriesSource(TChartSeries* Value);
    // The function that computes the points from the sources; the series
    // frees it.
    TChFunction* AttachedFunction() const { return FFunction; }
    void SetFunction(TChFunction* Value);
    // Data-set fields of colours and labels (data-bound charts).
    const std::string& ColorSource() const { return FColorSource; }
    void SetColorSource(const std::string& Value);
    const std::string& XLabelsSource() const { return FXLabelsSource; }
    void SetXLabelsSource(const std::string& Value);

    // copying and ordering
    void AssignFormat(TChartSeries* Source);
    void AssignValues(TChartSeries* Source) { AddValues(Source); }
    // NewList takes OldList's name, role and place; OldList is freed.
    void ReplaceList(TChartValueList* OldList, TChartValueList* NewList);
    // Orders the points by their labels (loNone: nothing) and renumbers
    // the positions.
    void SortByLabels(TChartListOrder Order = loAscending);
    int CompareLabelIndex(int A, int B) const;
    virtual void CheckOrder();

    // sample values for previews and galleries
    struct TRandomBounds {
        double StartX = 0;
        double StepX = 0;
        double StartY = 0;
        double MinY = 0;
        double DifY = 0;
    };
    bool CanAddRandomPoints() const;
    virtual int NumSampleValues() { return 25; }
    // A uniform integer from 0 to Range - 1; 0 for a range of 0 or less.
    static int RandomValue(int Range);
    TRandomBounds RandomBounds(int NumValues);
    // NumValues 0: NumSampleValues; negative raises ChartException.
    virtual void FillSampleValues(int NumValues = 0);
    // Adds a random walk of NumValues points; the index of the last one.
    virtual int AddSampleValues(int NumValues, bool OnlyMandatory = false);
    virtual void PrepareForGallery(bool IsEnabled);

    // the stored form: "DataSources", "CustomHorizAxis", "CustomVertAxis"
    // and the points ("Data", when ManualData)
    void DefineProperties(TFiler* Filer) override;
    // The points in the "Data" layout (see ChEngineStream.cpp).
    virtual void WriteData(TStream* Stream);
    // Replaces the points; EReadError (points read so far kept) on bytes
    // that do not hold a whole valid layout.
    void ReadData(TStream* Stream);
    // Resolves the stored data source names among the owner's components.
    void Loaded() override;
    // The components stored inside the series: its own, then its function.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    // Names read from "DataSources", resolved by Loaded.
    std::vector<std::string> DataSourceNames;

    TCursor Cursor = 0;
    int Depth = -1;
    int ZOrder = -1;
    TSeriesRecalcOptions RecalcOptions = rOnAll;
    TChartListOrder LabelSortOrder = loNone;
    bool ManualData = false;
    int FirstVisibleIndex = -1;
    int LastVisibleIndex = -1;
    int UpdateDepth = 0;
    bool KeepXValues = true;
    int ComputedZOrder = 0;
    bool CalcVisibleRange = true;
    bool IncludeOuterPoint = false;
    bool FunctionCentrePoint = true;
    int StartZ = 0;
    int MiddleZ = 0;
    int EndZ = 0;
    // True while the series is read from a stored form.
    bool Loading = false;
    bool IsLoading() const { return Loading || ComponentState().Contains(csLoading); }
    // True from the start of the series' destructor on.
    bool IsDestroying() const { return FDestroying || Destroying(); }

    TNotifyEvent AfterDrawValues;
    TNotifyEvent BeforeDrawValues;
    TSeriesOnAfterAdd OnAfterAdd;
    TSeriesOnBeforeAdd OnBeforeAdd;
    TSeriesOnClear OnClearValues;
    TSeriesClick OnClick;
    TSeriesClick OnDblClick;
    TSeriesOnGetMarkText OnGetMarkText;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void GrowColors();
    // The series lets go of a data source taken out of its list.
    void DataSourceRemoved(TComponent* Component);
    friend class TDataSourcesList;
    friend class TChFunction;
    friend class TChSeriesSource;
    TColor FSeriesColor = clSeriesDefault;
    TColor FAutoColor = clSeriesDefault;
    bool FColorEachPoint = false;
    // The points' own colours; a deque, so that a point put before all
    // others costs no move of the rest.
    std::unique_ptr<std::deque<TColor>> FValueColors;
    TChartValueLists FValuesList;
    TChartValueList* FXValues = nullptr;
    TChartValueList* FYValues = nullptr;
    TChartValueList* FMandatory = nullptr;
    TChartValueList* FNotMandatory = nullptr;
    bool FYMandatory = true;
    TLabelsList FLabels{this};
    THorizAxis FHorizAxis = aBottomAxis;
    TVertAxis FVertAxis = aLeftAxis;
    TChartAxis* FCustomHorizAxis = nullptr;
    TChartAxis* FCustomVertAxis = nullptr;
    TChartAxis* FGetHorizAxis = nullptr;
    TChartAxis* FGetVertAxis = nullptr;
    std::string FValueFormat;
    std::string FPercentFormat;
    std::unique_ptr<TSeriesMarks> FMarks;
    TCustomSeriesList FLinkedSeries;
    TDataSourcesList FDataSources{this};
    TChFunction* FFunction = nullptr;
    bool FDestroying = false;
    bool FMouseInside = false;
    std::string FColorSource;
    std::string FXLabelsSource;
};

// What optional parts the points of a series carry ("Data" flags).
using TChFormatFlags = uint8_t;
constexpr TChFormatFlags tfNoMandatory = 1;
constexpr TChFormatFlags tfColor = 2;
constexpr TChFormatFlags tfLabel = 4;
constexpr TChFormatFlags tfMarkPosition = 8;
TChFormatFlags SeriesGuessContents(TChartSeries* ASeries);
// The positions are not the plain sequence 0, 1, 2...
bool HasNoMandatoryValues(TChartSeries* ASeries);
// Some point has a colour of its own other than the series'.
bool HasColors(TChartSeries* ASeries);
bool HasLabels(TChartSeries* ASeries);

// The series' title, else its name, else "Series" and its place in the chart.
std::string SeriesTitleOrName(TChartSeries* ASeries);
// Adds every series of List to Items, by title or by name.
void FillSeriesItems(TStrings* Items, TCustomSeriesList* List, bool UseTitles = true);
