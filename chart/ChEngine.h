// The chart engine: value lists, chart elements and series with their data,
// axes with their scale and pixel mapping, the chart's series, axes and tool
// lists, and the axis panel that holds them together.
#pragma once

#include "chart/ChCanvas.h"
#include "chart/ChConst.h"
#include "chart/ChProcs.h"
#include "platform/Classes.h"
#include "platform/SysUtils.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class TChartAxis;
class TChartSeries;
class TChFunction;
class TChCustomTool;
class TCustomAxisPanel;
class TSeriesMarks;
class TSeriesMarkPosition;
class TStream;

// ------------------------------------------------------------------ constants and errors

constexpr double MinAxisRange = 1e-10;
constexpr double MinAxisIncrement = 1e-12;
constexpr int ChDefaultCapacity = 1000;
constexpr char ChLineSeparator = '\r';
constexpr char ChColumnSeparator = '\x06';
constexpr int ChAxisClickGap = 3;
constexpr int ChTitleFootDistance = 5;

// The largest pixel coordinate the converters hand out (either sign).
extern int CoordinateLimit;

// Refused axis settings.
class AxisException : public Exception {
public:
    using Exception::Exception;
};

// Refused series, function and chart operations.
class ChartException : public Exception {
public:
    using Exception::Exception;
};

// A task-modal error box with Text (at most 1,023 characters shown).
void ShowMessageUser(const std::string& Text);

// The next step of the 1, 2, 5 series above X (X > 0).
double NiceNextStep(double X);

// ------------------------------------------------------------------ value lists

enum TChartListOrder { loNone, loAscending, loDescending };
enum TValueEvent { veClear, veAdd, veDelete, veRefresh, veModify };

using TChartValues = std::vector<double>;

class TChartValueList : public TPersistent {
    OZ_CLASS(TChartValueList, TPersistent);

public:
    static void Publish(TPublisher<TChartValueList>& P);
    void DefineProperties(TFiler* Filer) override;
    TChartValueList(TChartSeries* AOwner, const std::string& AName);
    ~TChartValueList() override;
    // Copies order, date-time flag and value source only.
    void Assign(TPersistent* Source) override;

    // Puts Value where Order says; returns its index.
    virtual int AddChartValue(double Value);
    virtual void ClearValues();
    virtual void InsertChartValue(int Index, double Value);
    virtual void Delete(int ValueIndex);
    // Removes up to Quantity values from Start on, clipped to the list.
    void Delete(int Start, int Quantity);
    // Moves the first value to the end.
    virtual void Scroll();

    int Count() const { return FCount; }
    int Capacity() const { return static_cast<int>(FValues.size()); }
    const TChartValues& Values() const { return FValues; }
    double Value(int Index) const { return FValues[static_cast<size_t>(Index)]; }
    double operator[](int Index) const { return Value(Index); }
    // Stores and tells the owner series (veModify).
    void SetValue(int Index, double Value);
    // Stores without telling anyone.
    void StoreValue(int Index, double Value);
    double First() const { return Value(0); }
    double Last() const { return Value(FCount - 1); }

    double MaxValue();
    double MinValue();
    double Total();
    double TotalABS();
    // Takes Amount off the current total of absolute values until the next
    // change (a pie's grouped points are counted by their "Other" slice).
    void ReduceTotalABS(double Amount);
    double Range() { return MaxValue() - MinValue(); }
    bool StatsDirty() const { return FStatsDirty; }
    void RecalcStats();

    int Locate(double Value) const { return Locate(Value, 0, FCount - 1); }
    int Locate(double Value, int FirstIndex, int LastIndex) const;
    void Exchange(int Index1, int Index2);
    void FillSequence();
    void Sort();
    int CompareValueIndex(int A, int B) const;
    std::string ToString(int Index) const;

    bool DateTime() const { return FDateTime; }
    void SetDateTime(bool Value);
    void InitDateTime(bool Value);
    bool DefaultDateTime() const { return FDefaultDateTime; }
    bool IsDateTimeStored() const { return FDateTime != FDefaultDateTime; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    TChartListOrder Order() const { return FOrder; }
    void SetOrder(TChartListOrder Value) { FOrder = Value; }
    const std::string& ValueSource() const { return FValueSource; }
    void SetValueSource(const std::string& Value);
    TChartSeries* HostSeries() const { return FOwner; }

    // The obsolete stored "Multiplier": anything but 1 tells the developer.
    void ReadMultiplier(double Value);

    // The data-set field named by ValueSource, kept by the data-bound chart.
    TObject* BoundField = nullptr;

private:
    void Grow();
    TChartSeries* FOwner;
    std::string FName;
    TChartListOrder FOrder = loNone;
    std::string FValueSource;
    bool FDateTime = false;
    bool FDefaultDateTime = false;
    TChartValues FValues;
    int FCount = 0;
    bool FStatsDirty = true;
    double FMaxValue = 0;
    double FMinValue = 0;
    double FTotal = 0;
    double FTotalABS = 0;
};

// The value lists of one series, X first, then Y, then any further list.
// Owns its lists.
class TChartValueLists {
public:
    ~TChartValueLists() { Clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    TChartValueList* Get(int Index) const { return FItems[static_cast<size_t>(Index)]; }
    TChartValueList* operator[](int Index) const { return Get(Index); }
    void Add(TChartValueList* List) { FItems.push_back(List); }
    int IndexOf(const TChartValueList* List) const;
    // Puts List at Index in place of the list there (which is not freed).
    void Put(int Index, TChartValueList* List) { FItems[static_cast<size_t>(Index)] = List; }
    // Takes List out without freeing it.
    void Remove(TChartValueList* List);
    void Clear();

private:
    std::vector<TChartValueList*> FItems;
};

// ------------------------------------------------------------------ elements

class TCustomChartElement : public TComponent {
    OZ_CLASS(TCustomChartElement, TComponent);

public:
    static void Publish(TPublisher<TCustomChartElement>& P);
    explicit TCustomChartElement(TComponent* AOwner);
    ~TCustomChartElement() override;
    void Assign(TPersistent* Source) override;

    bool Active() const { return FActive; }
    virtual void SetActive(bool Value);
    TChartBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TChartBrush* Value) { FBrush->Assign(Value); }
    TChartPen* Pen() const { return FPen.get(); }
    virtual void SetPen(TChartPen* Value) { FPen->Assign(Value); }
    TCustomAxisPanel* ParentChart() const { return FParent; }
    virtual void SetParentChart(TCustomAxisPanel* Value) { FParent = Value; }

    virtual void CanvasChanged(TObject* Sender) { Repaint(); }
    virtual std::string GetEditorClass() { return {}; }
    // Invalidates the chart; nothing is drawn at once.
    void Repaint();
    std::unique_ptr<TChartPen> CreateChartPen();

    // Store a changed value and repaint; an equal value changes nothing.
    void SetBooleanProperty(bool& Variable, bool Value);
    void SetColorProperty(TColor& Variable, TColor Value);
    void SetIntegerProperty(int& Variable, int Value);
    void SetDoubleProperty(double& Variable, double Value);
    void SetStringProperty(std::string& Variable, const std::string& Value);

    // Lets a stored form keep elements as children of their chart: anything
    // that is not a chart is ignored.
    void SetParentComponent(TComponent* Value) override;
    TComponent* GetParentComponent() const;
    bool HasParent() const { return true; }

protected:
    bool FActive = true;
    TCustomAxisPanel* FParent = nullptr;

private:
    std::unique_ptr<TChartBrush> FBrush;
    std::unique_ptr<TChartPen> FPen;
};

enum TChartSeriesStyleItem {
    tssIsTemplate, tssDenyChangeType, tssDenyDelete, tssDenyClone, tssIsPersistent, tssHideDataSource
};
// Bit n stands for the style item n.
using TChartSeriesStyle = uint8_t;
constexpr TChartSeriesStyle ChSeriesStyleMask = 0x3F;

class TCustomChartSeries : public TCustomChartElement {
    OZ_CLASS(TCustomChartSeries, TCustomChartElement);

public:
    static void Publish(TPublisher<TCustomChartSeries>& P);
    explicit TCustomChartSeries(TComponent* AOwner);
    void Assign(TPersistent* Source) override;
    void SetActive(bool Value) override;

    bool ShowInLegend() const { return FShowInLegend; }
    void SetShowInLegend(bool Value) { SetBooleanProperty(FShowInLegend, Value); }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value);
    const std::string& Identifier() const { return FIdentifier; }
    void SetIdentifier(const std::string& Value) { FIdentifier = Value; }
    TChartSeriesStyle Style() const { return FStyle; }
    void SetStyle(TChartSeriesStyle Value) { FStyle = Value & ChSeriesStyleMask; }
    // The stored extras "Identifier" and "Style" are written only when set.
    bool IsIdentifierStored() const { return !FIdentifier.empty(); }
    bool IsStyleStored() const { return FStyle != 0; }
    // "Identifier" (text) and "Style" (integer of the style bits).
    void DefineProperties(TFiler* Filer) override;

    virtual void CalcHorizMargins(int& LeftMargin, int& RightMargin);
    virtual void CalcVerticalMargins(int& TopMargin, int& BottomMargin);
    virtual void DoBeforeDrawChart() {}
    // Told by the chart after the series joined it / before it leaves it.
    virtual void Added() {}
    virtual void Removed() { FParent = nullptr; }
    void GalleryChanged3D(bool Is3D);
    void RepaintDesigner();
    // Either series is of the other's class or of a class derived from it.
    bool SameClass(const TCustomChartSeries* Series) const;

private:
    bool FShowInLegend = true;
    std::string FTitle;
    std::string FIdentifier;
    TChartSeriesStyle FStyle = 0;
};

// ------------------------------------------------------------------ series data

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

// One optional text per point; missing slots read as empty.
class TLabelsList {
public:
    explicit TLabelsList(TChartSeries* ASeries) : Series(ASeries) {}
    std::string GetLabel(int Index) const;
    void SetLabel(int Index, const std::string& Text);
    void InsertLabel(int Index, const std::string& Text);
    // An index beyond the list raises EListError.
    void DeleteLabel(int Index);
    int IndexOfLabel(const std::string& Text, bool CaseSensitive = true) const;
    void Assign(const TLabelsList& Source);
    void Clear() { FItems.clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    // Exchanges two slots, padding the list as needed.
    void Exchange(int Index1, int Index2);

    TChartSeries* Series;

private:
    std::vector<std::unique_ptr<std::string>> FItems;
};

// An index outside a list.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// Series references in a fixed order; the list owns none of them.
class TCustomSeriesList {
public:
    explicit TCustomSeriesList(TCustomAxisPanel* AOwner = nullptr) : Owner(AOwner) {}
    virtual ~TCustomSeriesList() = default;
    int Count() const { return static_cast<int>(FItems.size()); }
    TChartSeries* Get(int Index) const { return FItems[static_cast<size_t>(Index)]; }
    TChartSeries* operator[](int Index) const { return Get(Index); }
    // Replaces the entry; an index outside the list raises EListError.
    void Put(int Index, TChartSeries* Series);
    int Add(TChartSeries* Series);
    void Insert(int Index, TChartSeries* Series);
    void Delete(int Index);
    int Remove(TChartSeries* Series);
    int IndexOf(const TChartSeries* Series) const;
    void Exchange(int Index1, int Index2);
    void Clear() { FItems.clear(); }
    void ClearValues();

    TCustomAxisPanel* Owner;

private:
    std::vector<TChartSeries*> FItems;
};

// The components a series takes its points from (series or series
// sources), in order; the first is the series' DataSource. Owns none.
class TDataSourcesList {
public:
    explicit TDataSourcesList(TChartSeries* ASeries) : Series(ASeries) {}
    int Count() const { return static_cast<int>(FItems.size()); }
    TComponent* Get(int Index) const { return FItems[static_cast<size_t>(Index)]; }
    TComponent* operator[](int Index) const { return Get(Index); }
    int IndexOf(const TComponent* Component) const;
    // One more data source, checked as the series' DataSource is; -1 when
    // it was there already.
    int Add(TComponent* Component);
    // Takes Component out; the series lets go of it.
    void Remove(TComponent* Component);
    // Takes every entry out, the series letting go of each; the series'
    // points go too unless they were read from a form.
    void Clear();
    // The plain list operations: the series is not told.
    void InheritedAdd(TComponent* Component) { FItems.push_back(Component); }
    void InheritedClear() { FItems.clear(); }
    bool InheritedRemove(TComponent* Component);
    void InheritedPut(int Index, TComponent* Component) { FItems[static_cast<size_t>(Index)] = Component; }

    TChartSeries* Series;

private:
    std::vector<TComponent*> FItems;
};

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
    bool MouseInside = false;
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
    std::unique_ptr<std::vector<TColor>> FValueColors;
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
    std::string FColorSource;
    std::string FXLabelsSource;
};

// ------------------------------------------------------------------ axes

// The grid pen of an axis: dotted grey, on the ticks or between them, and
// drawn at its own depth in 3-D.
class TAxisGridPen : public TDottedGrayPen {
public:
    explicit TAxisGridPen(TNotifyEvent OnChange = nullptr) : TDottedGrayPen(std::move(OnChange)) {}
    void Assign(TPersistent* Source) override;
    double ZPosition() const { return FZPosition; }
    void SetZ(double Value);
    bool Centered() const { return FCentered; }
    void SetCentered(bool Value);
    double UnstoredZ = 0;
    bool IsZStored() const { return FZPosition != UnstoredZ; }

private:
    double FZPosition = 0;
    bool FCentered = false;
};

class TAxisItems;

// A label of the user's own: Text (or the axis's text for Value) at Value.
class TAxisItem : public TChCustomShape {
public:
    TAxisItem(TCustomChPanel* Panel, TAxisItems* AOwner) : TChCustomShape(Panel), Owner(AOwner) {}
    double Value() const { return FValue; }
    void SetValue(double Value);
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    TAxisItems* Owner;

private:
    friend class TAxisItems;
    double FValue = 0;
    std::string FText;
};

// The custom labels of an axis, drawn instead of the automatic ones; owns them.
class TAxisItems {
public:
    explicit TAxisItems(TChartAxis* AAxis) : Axis(AAxis) {}
    int Count() const { return static_cast<int>(FItems.size()); }
    // A bad index raises EListError.
    TAxisItem* Item(int Index) const;
    TAxisItem* Add(double Value);
    TAxisItem* Add(double Value, const std::string& Text);
    void Clear();
    // Copies values and texts only.
    void CopyFrom(const TAxisItems& Source);
    TChartAxis* Axis;

private:
    std::vector<std::unique_ptr<TAxisItem>> FItems;
};

enum TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };
enum TAxisLabelAlign { alDefault, alOpposite };

using TAxisOnGetLabel =
    std::function<void(TChartAxis* Sender, TChartSeries* Series, int ValueIndex, std::string& LabelText)>;
using TAxisOnGetNextLabel =
    std::function<void(TChartAxis* Sender, int LabelIndex, double& LabelValue, bool& Stop)>;
using TAxisDrawLabelEvent =
    std::function<void(TChartAxis* Sender, int& X, int& Y, int& Z, std::string& Text, bool& DrawLabel)>;

class TChartAxisTitle : public TChCustomShape {
    OZ_CLASS(TChartAxisTitle, TChCustomShape);

public:
    static void Publish(TPublisher<TChartAxisTitle>& P);
    explicit TChartAxisTitle(TCustomChPanel* Panel) : TChCustomShape(Panel) {}
    void Assign(TPersistent* Source) override;
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    int Angle() const { return FAngle; }
    void SetAngle(int Value);
    // The angle the owning axis gives its title; only other angles are stored.
    int DefaultAngle = 0;

private:
    std::string FCaption;
    int FAngle = 0;
};

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
    void DrawTitle(int X, int Y);
    void DrawAxisLabel(int X, int Y, TChCustomShape* Format, const std::string& Text, int Angle);
    void DrawGrids(int Count);
    void DrawGridLine(int P);
    TAxisDrawLabelEvent OnDrawLabel;
    TAxisItems& Items() { return *FItems; }
    // Pixel positions of the ticks of the last draw.
    std::vector<int> TickPixels;

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
    bool IsDepth = false;
    bool SkipBackGrid = false;
    bool SkipSideGrid = false;
    // Visibility of the axis in the current pass, set by the chart.
    bool VisibleInPass = true;
    TChartAxis* MasterAxis = nullptr;
    // An item of the chart's custom axes, which owns it.
    bool IsCustomItem = false;

    static constexpr int ChTextAlignLeft = 0;
    static constexpr int ChTextAlignRight = 2;

private:
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
    void AddTick(int Pixel) { TickPixels.push_back(Pixel); }
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
    // Restoring saved scales sets the bounds without the range check.
    friend class TCustomChart;
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

// ------------------------------------------------------------------ lists of a chart

enum TSeriesGroupActive { gaYes, gaNo, gaSome };

class TSeriesGroup {
public:
    explicit TSeriesGroup(TCustomAxisPanel* Chart) : FSeries(Chart) {}
    int Add(TChartSeries* Series) { return FSeries.Add(Series); }
    TSeriesGroupActive Active() const;
    void SetActive(TSeriesGroupActive Value);
    void Show() { SetActive(gaYes); }
    void Hide() { SetActive(gaNo); }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    TCustomSeriesList& Series() { return FSeries; }
    void SetSeries(const TCustomSeriesList& Value);

private:
    std::string FName;
    TCustomSeriesList FSeries;
};

class TSeriesGroups {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TSeriesGroup* Get(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }
    TSeriesGroup* Add(TCustomAxisPanel* Chart);
    int Contains(const TChartSeries* Series) const;
    // Forgets Series in every group.
    void RemoveSeries(const TChartSeries* Series);

private:
    std::vector<std::unique_ptr<TSeriesGroup>> FItems;
};

class TChartSeriesList : public TCustomSeriesList {
public:
    explicit TChartSeriesList(TCustomAxisPanel* AOwner) : TCustomSeriesList(AOwner) {}
    TSeriesGroup* AddGroup(const std::string& Name);
    bool AllActive() const;
    void SetAllActive(bool Value);
    TSeriesGroups& SeriesGroups() { return FGroups; }

private:
    TSeriesGroups FGroups;
};

// Every axis of a chart in creation order; frees its axes when cleared.
class TChartAxes {
public:
    explicit TChartAxes(TCustomAxisPanel* AChart) : Chart(AChart) {}
    ~TChartAxes() { Clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    TChartAxis* Get(int Index) const { return FItems[static_cast<size_t>(Index)]; }
    TChartAxis* operator[](int Index) const { return Get(Index); }
    int IndexOf(const TChartAxis* Axis) const;
    void Add(TChartAxis* Axis) { FItems.push_back(Axis); }
    void Remove(TChartAxis* Axis);
    bool FastCalc() const { return FFastCalc; }
    void SetFastCalc(bool Value);
    void Reset();
    void Clear();
    bool Behind() const;
    void SetBehind(bool Value);
    bool Visible() const;
    void SetVisible(bool Value);

    TCustomAxisPanel* Chart;

private:
    std::vector<TChartAxis*> FItems;
    bool FFastCalc = false;
};

// The user's own axes, owned here.
class TChartCustomAxes {
public:
    explicit TChartCustomAxes(TCustomAxisPanel* AChart) : FChart(AChart) {}
    int Count() const { return static_cast<int>(FItems.size()); }
    // A bad index raises EListError.
    TChartAxis* Get(int Index) const;
    TChartAxis* Add();
    void Delete(int Index);
    void Clear() { FItems.clear(); }
    void ResetScales(TChartAxis* Axis);

private:
    TCustomAxisPanel* FChart;
    std::vector<std::unique_ptr<TChartAxis>> FItems;
};

// ------------------------------------------------------------------ tools

enum TChartToolEvent {
    cteAfterDraw, cteBeforeDrawSeries, cteBeforeDraw, cteBeforeDrawAxes, cteAfterDrawSeries, cteMouseLeave
};
enum TChartMouseEvent { cmeDown, cmeMove, cmeUp };

class TChCustomTool : public TCustomChartElement {
    OZ_CLASS(TChCustomTool, TCustomChartElement);

public:
    explicit TChCustomTool(TComponent* AOwner) : TCustomChartElement(AOwner) {}
    ~TChCustomTool() override;
    void SetParentChart(TCustomAxisPanel* Value) override;
    virtual void ChartEvent(TChartToolEvent Event) {}
    virtual void ChartMouseEvent(TChartMouseEvent Event, TMouseButton Button, TShiftState Shift, int X, int Y) {}
    virtual std::string Description() { return {}; }
};

class TChCustomToolSeries : public TChCustomTool {
    OZ_CLASS(TChCustomToolSeries, TChCustomTool);

public:
    static void Publish(TPublisher<TChCustomToolSeries>& P);
    explicit TChCustomToolSeries(TComponent* AOwner) : TChCustomTool(AOwner) {}
    ~TChCustomToolSeries() override;
    std::string GetEditorClass() override { return "TSeriesToolEditor"; }
    TChartSeries* Series() const { return FSeries; }
    virtual void SetSeries(TChartSeries* Value);
    TChartAxis* GetHorizAxis() const;
    TChartAxis* GetVertAxis() const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TChartSeries* FSeries = nullptr;
};

class TChCustomToolAxis : public TChCustomTool {
    OZ_CLASS(TChCustomToolAxis, TChCustomTool);

public:
    void DefineProperties(TFiler* Filer) override;
    explicit TChCustomToolAxis(TComponent* AOwner) : TChCustomTool(AOwner) {}
    std::string GetEditorClass() override { return "TAxisToolEditor"; }
    TChartAxis* Axis() const { return FAxis; }
    virtual void SetAxis(TChartAxis* Value);
    // The stored "AxisID": the axis's place in its chart's axes list.
    bool IsAxisIDStored() const { return FAxis != nullptr; }
    int AxisID() const;
    void ReadAxisID(int Value);

private:
    TChartAxis* FAxis = nullptr;
};

// The chart's tools in the order they joined; the chart owns them.
class TChartTools {
public:
    explicit TChartTools(TCustomAxisPanel* AOwner) : Owner(AOwner) {}
    ~TChartTools() { Clear(); }
    int Count() const { return static_cast<int>(FItems.size()); }
    TChCustomTool* Get(int Index) const { return FItems[static_cast<size_t>(Index)]; }
    TChCustomTool* operator[](int Index) const { return Get(Index); }
    TChCustomTool* Add(TChCustomTool* Tool);
    void Clear();
    void SetActive(bool Value);
    // Used by the tools as they join and leave.
    void Append(TChCustomTool* Tool) { FItems.push_back(Tool); }
    void Remove(TChCustomTool* Tool);
    int IndexOf(const TChCustomTool* Tool) const;

    TCustomAxisPanel* Owner;

private:
    std::vector<TChCustomTool*> FItems;
};

// A design-time helper a chart may hold; told when series change.
class TChCustomDesigner : public TObject {
public:
    virtual void Refresh() {}
    virtual void Repaint() {}
};

// ------------------------------------------------------------------ the axis panel

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
    TChartAxis* DepthAxis() const { return FDepthAxis; }
    TChartAxis* DepthTopAxis() const { return FDepthTopAxis; }
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
    TChartAxis* FDepthAxis = nullptr;
    TChartAxis* FDepthTopAxis = nullptr;
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
