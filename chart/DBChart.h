// The database-aware chart: series whose data source is a data set (or a
// data source over one) are filled from its records, grouped by date parts
// or by label and aggregated when their source texts ask for it, and filled
// again when the data set opens, posts, closes or on a refresh timer.
//
// Source texts name fields: a series' XLabelsSource and ColorSource and each
// value list's ValueSource. A label or value source may carry a keyword
// between two '#' before the field name:
//   labels  "#MONTH#Sold"   grouped by HOUR, DAY, WEEK, WEEKDAY, MONTH,
//                           QUARTER or YEAR of the date-time field
//           "#SORTDES#Name" points ordered by label (SORTASC, SORTDES)
//   values  "#SUM#Amount"   SUM, COUNT, HIGH, LOW or AVG of the records
//                           that share a label
// A value source may also list several fields ("Q1;Q2;Q3"): each record
// then adds one point per field.
#pragma once

#include "chart/Chart.h"
#include "platform/DB.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TTimer;
class TCustomDBChart;

// An error of the data-bound chart.
class DBChartException : public Exception {
public:
    using Exception::Exception;
};

enum TChDBGroup { dgHour, dgDay, dgWeek, dgWeekDay, dgMonth, dgQuarter, dgYear, dgNone };
enum TChFieldType { tftNumber, tftDateTime, tftText, tftNone };

using TProcessRecordEvent = std::function<void(TCustomDBChart* Sender, TDataSet* DataSet)>;
using TCheckDataSetEvent = std::function<void(TDataSet* DataSet)>;

// Watches one data set for a chart: tells it when the data set has new
// records to show (opened, posted) and when it closed.
class TDBChartDataSource : public TDataSource {
    OZ_CLASS(TDBChartDataSource, TDataSource);

public:
    explicit TDBChartDataSource(TComponent* AOwner);
    // Hooks the state-change and update-data events of this data source.
    void SetDataSet(TDataSet* ADataSet);
    // The data set was open when last seen.
    bool WasActive() const { return FWasActive; }

    TCheckDataSetEvent OnCheckDataSet;
    TCheckDataSetEvent OnCloseDataSet;

private:
    void StateChanged(TObject* Sender);
    void UpdateDataChanged(TObject* Sender);
    bool FWasActive = false;
};

// The watchers of a chart; owns them.
class TListOfDataSources {
public:
    TListOfDataSources() = default;
    TListOfDataSources(const TListOfDataSources&) = delete;
    TListOfDataSources& operator=(const TListOfDataSources&) = delete;
    ~TListOfDataSources() { Clear(); }

    int Count() const { return static_cast<int>(FItems.size()); }
    TDBChartDataSource* Get(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }
    TDBChartDataSource* operator[](int Index) const { return Get(Index); }
    // Replaces the watcher at Index, freeing the former one.
    void Put(int Index, std::unique_ptr<TDBChartDataSource> Value);
    void Add(std::unique_ptr<TDBChartDataSource> Value) { FItems.push_back(std::move(Value)); }
    // Frees the watcher at Index.
    void Delete(int Index);
    // Frees every watcher.
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TDBChartDataSource>> FItems;
};

// The chart base that fills its data-bound series from data sets.
class TCustomDBChart : public TCustomChart {
    OZ_CLASS(TCustomDBChart, TCustomChart);

public:
    explicit TCustomDBChart(TComponent* AOwner);
    ~TCustomDBChart() override;
    // Copies AutoRefresh, RefreshInterval and ShowGlassCursor of another
    // data-bound chart, then the chart's settings.
    void Assign(TPersistent* Source) override;

    // Refill bound series when their data set changes.
    bool AutoRefresh() const { return FAutoRefresh; }
    void SetAutoRefresh(bool Value);
    // Seconds between two refills of every watched data set; 0 stops the
    // timer. DBChartException outside 0 to 60.
    int RefreshInterval() const { return FRefreshInterval; }
    void SetRefreshInterval(int Value);
    // Shows the hourglass while series are filled.
    bool ShowGlassCursor() const { return FShowGlassCursor; }
    void SetShowGlassCursor(bool Value);
    // Called for every record read (and for the current record alone of a
    // series fed through a data source).
    TProcessRecordEvent OnProcessRecord;

    // Refills every series bound to a watched data set.
    void RefreshData();
    // Clears a series bound to a data set and fills it again; other series
    // go to the chart base. ChartException for a series of another chart.
    void CheckDatasource(TChartSeries* ASeries) override;
    // Also accepts data sets and data sources.
    bool IsValidDataSource(TChartSeries* ASeries, TComponent* Component) override;
    void RemovedDataSource(TChartSeries* ASeries, TComponent* Component) override;
    // The field names a series (or one of its value lists) may take its
    // values from.
    virtual void FillSeriesSourceItems(TChartSeries* ASeries, const std::function<void(const std::string&)>& Proc);
    virtual void FillValueSourceItems(TChartValueList* ValueList, const std::function<void(const std::string&)>& Proc);

    // Refills DataSet's series (ASeries alone when given).
    void RefreshDataSet(TDataSet* ADataSet, TChartSeries* ASeries);
    // The watchers, one per data set a bound series uses.
    const TListOfDataSources& DataSourcesList() const { return FDataSourcesList; }
    // True while a refill runs.
    bool IsRefreshing() const { return FRefreshing; }
    // The refresh timer; nullptr until an interval is set.
    TTimer* RefreshTimer() const { return FTimer.get(); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct TDBChartSeries;
    using TDBChartSeriesList = std::vector<TDBChartSeries>;

    void CheckTimer();
    void OnRefreshTimer(TObject* Sender);
    void CheckNewDataSource(TDataSet* ADataSet);
    void CheckDataSet(TDataSet* ADataSet, TChartSeries* ASeries);
    void DataSourceCheckDataSet(TDataSet* ADataSet);
    void DataSourceCloseDataSet(TDataSet* ADataSet);
    void BuildSeriesList(TDataSet* ADataSet, TChartSeries* ASeries, TDBChartSeriesList& List);
    // Adds the current record's point to the entry's series.
    void AddToSeries(TDBChartSeries& Entry);

    bool FAutoRefresh = true;
    int FRefreshInterval = 0;
    bool FShowGlassCursor = true;
    bool FRefreshing = false;
    std::unique_ptr<TTimer> FTimer;
    TListOfDataSources FDataSourcesList;
};

// The data-bound chart the forms place.
class TDBChart : public TCustomDBChart {
    OZ_CLASS(TDBChart, TCustomDBChart);

public:
    explicit TDBChart(TComponent* AOwner);
    static void Publish(TPublisher<TDBChart>& P);
};

// Part 1 is the text between a leading '#' and the second '#', part 2 the
// text after it; both empty when Text has no such keyword.
std::string ChGetDBPart(int Part, const std::string& Text);
// HOUR, DAY, WEEK, WEEKDAY, MONTH, QUARTER, YEAR (any case); else dgNone.
TChDBGroup StrToDBGroup(const std::string& Text);
// SORTASC, SORTDES (any case); else loNone.
TChartListOrder StrToDBOrder(const std::string& Text);
TChFieldType ChFieldType(TFieldType FieldType);
// Calls Proc with every field name of the data set (its field definitions
// when it has no fields).
void FillDataSetFields(TDataSet* DataSet, const std::function<void(const std::string&)>& Proc);
// The ISO 8601 week of Date (1 to 53) and the year it belongs to.
int DateToWeek(TDateTime Date, uint16_t& Year);
// The same by the older day-count method.
int DateToWeekOld(TDateTime Date, uint16_t& Year);
