#include "chart/DBChart.h"

#include "chart/ChConst.h"
#include "chart/ChProcs.h"
#include "platform/Controls.h"
#include "platform/PublishedProps.h"
#include "platform/ScopeGuard.h"
#include "platform/Timer.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>

namespace {

// The value a keyword of Table stands for, in any case; Default for any
// other text.
template <class T, size_t N>
T KeywordValue(const std::string& Text, const std::pair<const char*, T> (&Table)[N], T Default)
{
    const std::string S = UpperCase(Text);
    for (const auto& [Keyword, Value] : Table)
        if (S == Keyword)
            return Value;
    return Default;
}

}  // namespace

// ------------------------------------------------------------------ unit routines

std::string ChGetDBPart(int Part, const std::string& Text)
{
    if (Text.empty() || Text[0] != '#')
        return {};
    const size_t Second = Text.find('#', 1);
    if (Second == std::string::npos)
        return {};
    if (Part == 1)
        return Text.substr(1, Second - 1);
    if (Part == 2)
        return Text.substr(Second + 1);
    return {};
}

TChDBGroup StrToDBGroup(const std::string& Text)
{
    static const std::pair<const char*, TChDBGroup> Groups[] = {
        {"HOUR", dgHour},   {"DAY", dgDay},         {"WEEK", dgWeek}, {"WEEKDAY", dgWeekDay},
        {"MONTH", dgMonth}, {"QUARTER", dgQuarter}, {"YEAR", dgYear},
    };
    return KeywordValue(Text, Groups, dgNone);
}

TChartListOrder StrToDBOrder(const std::string& Text)
{
    static const std::pair<const char*, TChartListOrder> Orders[] = {{"SORTASC", loAscending},
                                                                       {"SORTDES", loDescending}};
    return KeywordValue(Text, Orders, loNone);
}

TChFieldType ChFieldType(TFieldType FieldType)
{
    switch (FieldType) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
        return tftText;
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftAutoInc:
    case ftLargeint:
        return tftNumber;
    case ftDate:
    case ftTime:
    case ftDateTime:
        return tftDateTime;
    default:
        return tftNone;
    }
}

void FillDataSetFields(TDataSet* DataSet, const std::function<void(const std::string&)>& Proc)
{
    if (DataSet == nullptr)
        return;
    if (DataSet->FieldCount() > 0) {
        for (int i = 0; i < DataSet->FieldCount(); ++i)
            Proc(DataSet->Fields()[i]->FieldName());
        return;
    }
    DataSet->FieldDefs().Update();
    for (int i = 0; i < DataSet->FieldDefs().Count(); ++i)
        Proc(DataSet->FieldDefs()[i].Name());
}

int DateToWeek(TDateTime Date, uint16_t& Year)
{
    // The Thursday of the date's Monday-based week decides the year.
    const double Day = std::floor(Date);
    const double Thursday = Day - ((DayOfWeek(Day) + 5) % 7) + 3;
    uint16_t Month = 0;
    uint16_t DayOfMonth = 0;
    DecodeDate(Thursday, Year, Month, DayOfMonth);
    return static_cast<int>(Thursday - EncodeDate(Year, 1, 1)) / 7 + 1;
}

namespace {

// Days counted in four-year blocks of 1461 days from March 1900, months of
// 153/5 days from March on; day 0 is a Monday. Good from 1901 to 2099.
int OldDayCount(int Year, int Month, int Day)
{
    if (Month > 2) {
        Month -= 3;
    } else {
        Month += 9;
        --Year;
    }
    const int Years = Year - 1900;
    return (1461 * Years) / 4 + (153 * Month + 2) / 5 + Day + 2;
}

// The Monday that starts week 1 of Year: the week of 4 January (day 310
// of the March-based year before).
int OldWeekOneStart(int Year)
{
    const int Jan4 = OldDayCount(Year, 1, 4);
    return Jan4 - Jan4 % 7;
}

}  // namespace

int DateToWeekOld(TDateTime Date, uint16_t& Year)
{
    uint16_t Y = 0;
    uint16_t M = 0;
    uint16_t D = 0;
    DecodeDate(Date, Y, M, D);
    const int Count = OldDayCount(Y, M, D);
    int WeekYear = Y;
    int Start = OldWeekOneStart(Y);
    if (Count < Start) {
        --WeekYear;
        Start = OldWeekOneStart(WeekYear);
    } else if (const int Next = OldWeekOneStart(Y + 1); Count >= Next) {
        ++WeekYear;
        Start = Next;
    }
    Year = static_cast<uint16_t>(WeekYear);
    return (Count - Start) / 7 + 1;
}

// ------------------------------------------------------------------ TDBChartDataSource

TDBChartDataSource::TDBChartDataSource(TComponent* AOwner) : TDataSource(AOwner) {}

void TDBChartDataSource::SetDataSet(TDataSet* ADataSet)
{
    TDataSource::SetDataSet(ADataSet);
    FWasActive = ADataSet != nullptr && ADataSet->Active();
    OnStateChange = [this](TObject* Sender) { StateChanged(Sender); };
    OnUpdateData = [this](TObject* Sender) { UpdateDataChanged(Sender); };
}

void TDBChartDataSource::StateChanged(TObject*)
{
    if (State() == dsInactive) {
        FWasActive = false;
        if (OnCloseDataSet)
            OnCloseDataSet(DataSet());
    } else if (State() == dsBrowse && !FWasActive) {
        if (OnCheckDataSet)
            OnCheckDataSet(DataSet());
        FWasActive = true;
    }
}

// A post tells this while the record is still being edited: the refill
// waits for the browse state that follows.
void TDBChartDataSource::UpdateDataChanged(TObject*)
{
    if (State() == dsBrowse) {
        if (OnCheckDataSet)
            OnCheckDataSet(DataSet());
    } else {
        FWasActive = false;
    }
}

// ------------------------------------------------------------------ TListOfDataSources

void TListOfDataSources::Put(int Index, std::unique_ptr<TDBChartDataSource> Value)
{
    FItems.at(static_cast<size_t>(Index)) = std::move(Value);
}

void TListOfDataSources::Delete(int Index)
{
    FItems.erase(FItems.begin() + Index);
}

// ------------------------------------------------------------------ TCustomDBChart

namespace {

enum TDBAggregate { agNone, agSum, agCount, agHigh, agLow, agAverage };

TDBAggregate StrToDBAggregate(const std::string& Text)
{
    static const std::pair<const char*, TDBAggregate> Aggregates[] = {
        {"SUM", agSum}, {"COUNT", agCount}, {"HIGH", agHigh}, {"LOW", agLow}, {"AVG", agAverage},
    };
    return KeywordValue(Text, Aggregates, agNone);
}

TDataSet* DataSetOfSource(TComponent* Source)
{
    if (auto* DataSet = dynamic_cast<TDataSet*>(Source))
        return DataSet;
    if (auto* DataSource = dynamic_cast<TDataSource*>(Source))
        return DataSource->DataSet();
    return nullptr;
}

// The label of a date-time under a grouping.
std::string GroupLabel(TDateTime Value, TChDBGroup Group)
{
    uint16_t Year = 0;
    uint16_t Month = 0;
    uint16_t Day = 0;
    switch (Group) {
    case dgHour: {
        uint16_t Hour = 0;
        uint16_t Min = 0;
        uint16_t Sec = 0;
        uint16_t MSec = 0;
        DecodeTime(Value, Hour, Min, Sec, MSec);
        return FormatDateTime("dd hh:nn", std::floor(Value) + EncodeTime(Hour, 0, 0, 0));
    }
    case dgDay:
        return FormatDateTime("dd/mmm", Value);
    case dgWeek: {
        const int Week = DateToWeek(Value, Year);
        return std::to_string(Week) + "/" + std::to_string(Year);
    }
    case dgWeekDay:
        return FormatDateTime("ddd", Value);
    case dgMonth:
        DecodeDate(Value, Year, Month, Day);
        return FormatDateTime("mmm/yy", EncodeDate(Year, Month, 1));
    case dgQuarter:
        DecodeDate(Value, Year, Month, Day);
        return std::to_string((Month - 1) / 3 + 1) + "/" + std::to_string(Year);
    case dgYear:
        return FormatDateTime("yyyy", Value);
    case dgNone:
        break;
    }
    return {};
}

// A number that is the same for two date-times exactly when their labels
// under Group are.
int64_t GroupKey(TDateTime Value, TChDBGroup Group)
{
    const int64_t Day = static_cast<int64_t>(std::floor(Value));
    uint16_t Year = 0;
    uint16_t Month = 0;
    uint16_t DayOfMonth = 0;
    switch (Group) {
    case dgHour: {
        uint16_t Hour = 0;
        uint16_t Min = 0;
        uint16_t Sec = 0;
        uint16_t MSec = 0;
        DecodeTime(Value, Hour, Min, Sec, MSec);
        return Day * 24 + Hour;
    }
    case dgDay:
        return Day;
    case dgWeek:
        // Day 2 (1 January 1900) is a Monday.
        return Day - 2 >= 0 ? (Day - 2) / 7 : (Day - 8) / 7;
    case dgWeekDay:
        return DayOfWeek(Value);
    case dgMonth:
        DecodeDate(Value, Year, Month, DayOfMonth);
        return Year * 12 + Month;
    case dgQuarter:
        DecodeDate(Value, Year, Month, DayOfMonth);
        return Year * 4 + (Month - 1) / 3;
    case dgYear:
        DecodeDate(Value, Year, Month, DayOfMonth);
        return Year;
    case dgNone:
        break;
    }
    return 0;
}

double FieldValue(TField* Field)
{
    return Field != nullptr ? Field->AsFloat() : 0.0;
}

}  // namespace

// One series being filled: where its labels, colours and values come from.
struct TCustomDBChart::TDBChartSeries {
    TChartSeries* Series = nullptr;
    bool AllRecords = true;           // else the current record only
    bool YManda = true;
    TChartValueList* MandaList = nullptr;
    TChartListOrder LabelSort = loNone;
    TField* LabelField = nullptr;
    TField* ColorField = nullptr;
    TField* MandaField = nullptr;
    int NumFields = 0;
    std::vector<TField*> ValueFields;       // several value fields (nullptr: empty name)
    std::vector<std::string> ValueNames;
    TChDBGroup GroupPrefix = dgNone;
    TDBAggregate ValueDBGroup = agNone;
    // Aggregated entries: the point of each label (upper case), while every
    // new point went to the end of the series.
    std::unordered_map<std::string, int> LabelIndex;
    bool LabelIndexValid = true;
    // The label of the last grouped date, by its group key.
    bool HasLastGroup = false;
    int64_t LastGroupKey = 0;
    std::string LastGroupLabel;
};

TCustomDBChart::TCustomDBChart(TComponent* AOwner) : TCustomChart(AOwner) {}

TCustomDBChart::~TCustomDBChart()
{
    FTimer.reset();
    for (int i = 0; i < FDataSourcesList.Count(); ++i)
        if (TDataSet* DataSet = FDataSourcesList[i]->DataSet())
            RemoveFreeNotification(DataSet);
    FDataSourcesList.Clear();
}

void TCustomDBChart::Assign(TPersistent* Source)
{
    if (auto* Other = dynamic_cast<TCustomDBChart*>(Source)) {
        FAutoRefresh = Other->FAutoRefresh;
        SetRefreshInterval(Other->FRefreshInterval);
        FShowGlassCursor = Other->FShowGlassCursor;
    }
    TCustomChart::Assign(Source);
}

void TCustomDBChart::SetAutoRefresh(bool Value)
{
    if (Value != FAutoRefresh)
        FAutoRefresh = Value;
}

void TCustomDBChart::SetShowGlassCursor(bool Value)
{
    if (Value != FShowGlassCursor)
        FShowGlassCursor = Value;
}

void TCustomDBChart::SetRefreshInterval(int Value)
{
    if (Value < 0 || Value > 60)
        throw DBChartException(ChMsg_RefreshInterval);
    if (Value == FRefreshInterval)
        return;
    FRefreshInterval = Value;
    CheckTimer();
}

void TCustomDBChart::CheckTimer()
{
    if (FTimer)
        FTimer->SetEnabled(false);
    if (FRefreshInterval > 0 && !ComponentState().Contains(csDesigning)) {
        if (!FTimer) {
            FTimer = std::make_unique<TTimer>(nullptr);
            FTimer->SetEnabled(false);
            FTimer->OnTimer = [this](TObject* Sender) { OnRefreshTimer(Sender); };
        }
        FTimer->SetInterval(static_cast<unsigned>(FRefreshInterval) * 1000u);
        FTimer->SetEnabled(true);
    }
}

void TCustomDBChart::OnRefreshTimer(TObject*)
{
    FTimer->SetEnabled(false);
    TScopeExit Again([this] { CheckTimer(); });
    for (int i = 0; i < FDataSourcesList.Count(); ++i) {
        TDataSet* DataSet = FDataSourcesList[i]->DataSet();
        if (DataSet != nullptr && DataSet->Active()) {
            DataSet->Refresh();
            CheckDataSet(DataSet, nullptr);
        }
    }
}

bool TCustomDBChart::IsValidDataSource(TChartSeries* ASeries, TComponent* Component)
{
    return TCustomChart::IsValidDataSource(ASeries, Component) || dynamic_cast<TDataSet*>(Component) != nullptr ||
           dynamic_cast<TDataSource*>(Component) != nullptr;
}

void TCustomDBChart::CheckDatasource(TChartSeries* ASeries)
{
    if (ASeries == nullptr)
        return;
    if (ASeries->ParentChart() != this)
        throw ChartException(ChMsg_SeriesParentNoSelf);
    TComponent* Source = ASeries->DataSource();
    if (auto* DataSet = dynamic_cast<TDataSet*>(Source)) {
        ASeries->Clear();
        CheckNewDataSource(DataSet);
        CheckDataSet(DataSet, ASeries);
    } else if (auto* DataSource = dynamic_cast<TDataSource*>(Source)) {
        ASeries->Clear();
        if (TDataSet* Watched = DataSource->DataSet()) {
            CheckNewDataSource(Watched);
            CheckDataSet(Watched, ASeries);
        }
    } else {
        TCustomChart::CheckDatasource(ASeries);
    }
}

void TCustomDBChart::CheckNewDataSource(TDataSet* ADataSet)
{
    for (int i = 0; i < FDataSourcesList.Count(); ++i)
        if (FDataSourcesList[i]->DataSet() == ADataSet)
            return;
    auto Watcher = std::make_unique<TDBChartDataSource>(nullptr);
    Watcher->SetDataSet(ADataSet);
    Watcher->OnCheckDataSet = [this](TDataSet* DataSet) { DataSourceCheckDataSet(DataSet); };
    Watcher->OnCloseDataSet = [this](TDataSet* DataSet) { DataSourceCloseDataSet(DataSet); };
    ADataSet->FreeNotification(this);
    FDataSourcesList.Add(std::move(Watcher));
}

void TCustomDBChart::CheckDataSet(TDataSet* ADataSet, TChartSeries* ASeries)
{
    if (FAutoRefresh)
        RefreshDataSet(ADataSet, ASeries);
}

void TCustomDBChart::DataSourceCheckDataSet(TDataSet* ADataSet)
{
    CheckDataSet(ADataSet, nullptr);
}

void TCustomDBChart::DataSourceCloseDataSet(TDataSet* ADataSet)
{
    if (!FAutoRefresh || ADataSet == nullptr)
        return;
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* S = Series(i);
        if (S->DataSource() == ADataSet)
            S->Clear();
    }
}

void TCustomDBChart::RemovedDataSource(TChartSeries* ASeries, TComponent* Component)
{
    TCustomChart::RemovedDataSource(ASeries, Component);
    auto* DataSet = dynamic_cast<TDataSet*>(Component);
    if (DataSet == nullptr)
        return;
    // The watcher stays while another series still takes its points from
    // the same data set.
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* S = Series(i);
        if (S != ASeries && S->DataSource() != nullptr && DataSetOfSource(S->DataSource()) == DataSet)
            return;
    }
    for (int i = 0; i < FDataSourcesList.Count(); ++i) {
        TDataSet* Watched = FDataSourcesList[i]->DataSet();
        if (Watched == nullptr || Watched == DataSet) {
            FDataSourcesList.Delete(i);
            RemoveFreeNotification(DataSet);
            return;
        }
    }
}

// A watched data set going away takes its watcher with it.
void TCustomDBChart::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomChart::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    for (int i = FDataSourcesList.Count() - 1; i >= 0; --i) {
        TDataSet* Watched = FDataSourcesList[i]->DataSet();
        if (Watched == nullptr || static_cast<TComponent*>(Watched) == AComponent)
            FDataSourcesList.Delete(i);
    }
}

void TCustomDBChart::RefreshData()
{
    for (int i = 0; i < FDataSourcesList.Count(); ++i)
        RefreshDataSet(FDataSourcesList[i]->DataSet(), nullptr);
}

void TCustomDBChart::FillSeriesSourceItems(TChartSeries* ASeries, const std::function<void(const std::string&)>& Proc)
{
    if (ASeries != nullptr)
        if (TDataSet* DataSet = DataSetOfSource(ASeries->DataSource()))
            FillDataSetFields(DataSet, Proc);
}

void TCustomDBChart::FillValueSourceItems(TChartValueList* ValueList,
                                          const std::function<void(const std::string&)>& Proc)
{
    if (ValueList == nullptr || ValueList->HostSeries() == nullptr)
        return;
    TComponent* Source = ValueList->HostSeries()->DataSource();
    if (dynamic_cast<TDataSet*>(Source) != nullptr || dynamic_cast<TDataSource*>(Source) != nullptr)
        FillSeriesSourceItems(ValueList->HostSeries(), Proc);
}

void TCustomDBChart::BuildSeriesList(TDataSet* ADataSet, TChartSeries* ASeries, TDBChartSeriesList& List)
{
    auto AddEntry = [&](TChartSeries* S, bool AllRecords) {
        TDBChartSeries E;
        E.Series = S;
        E.AllRecords = AllRecords;
        E.YManda = S->YMandatory();
        E.MandaList = S->MandatoryValueList();
        if (const std::string& LabelSource = S->XLabelsSource(); !LabelSource.empty()) {
            const std::string Keyword = ChGetDBPart(1, LabelSource);
            std::string FieldName = LabelSource;
            if (!Keyword.empty()) {
                FieldName = ChGetDBPart(2, LabelSource);
                E.LabelSort = StrToDBOrder(Keyword);
                E.GroupPrefix = E.LabelSort != loNone ? dgNone : StrToDBGroup(Keyword);
            }
            E.LabelField = ADataSet->FieldByName(FieldName);
        }
        if (!S->ColorSource().empty())
            E.ColorField = ADataSet->FieldByName(S->ColorSource());
        const std::string& ValueSource = E.MandaList->ValueSource();
        std::string Fields = ValueSource;
        if (const std::string Keyword = ChGetDBPart(1, ValueSource); !Keyword.empty()) {
            Fields = ChGetDBPart(2, ValueSource);
            E.ValueDBGroup = StrToDBAggregate(Keyword);
        }
        E.NumFields = ChNumFields(Fields);
        if (E.NumFields > 1) {
            for (int k = 1; k <= E.NumFields; ++k) {
                const std::string Name = Trim(ChExtractField(Fields, k));
                E.ValueNames.push_back(Name);
                E.ValueFields.push_back(Name.empty() ? nullptr : ADataSet->FieldByName(Name));
            }
        } else if (E.NumFields == 1) {
            E.MandaField = ADataSet->FieldByName(Fields);
        }
        TChartValueLists& Lists = S->ValuesList();
        for (int i = 0; i < Lists.Count(); ++i) {
            TChartValueList* L = Lists[i];
            if (L == E.MandaList)
                continue;
            L->BoundField = E.ValueDBGroup == agNone && !L->ValueSource().empty()
                                ? ADataSet->FieldByName(L->ValueSource())
                                : nullptr;
        }
        List.push_back(std::move(E));
    };
    if (ASeries != nullptr) {
        AddEntry(ASeries, ASeries->DataSource() == ADataSet);
        return;
    }
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* S = Series(i);
        TComponent* Source = S->DataSource();
        if (Source == nullptr || S->MandatoryValueList()->ValueSource().empty())
            continue;
        if (Source == ADataSet)
            AddEntry(S, true);
        else if (auto* DataSource = dynamic_cast<TDataSource*>(Source);
                 DataSource != nullptr && DataSource->DataSet() == ADataSet)
            AddEntry(S, false);
    }
}

void TCustomDBChart::RefreshDataSet(TDataSet* ADataSet, TChartSeries* ASeries)
{
    if (FRefreshing || ADataSet == nullptr || !ADataSet->Active())
        return;
    TValueRollback<bool> Refreshing(FRefreshing, true);
    TDBChartSeriesList List;
    // Fields live while the data set is open: no value list keeps one.
    TScopeExit Unbind([this, ASeries] {
        auto Unbind = [](TChartSeries* S) {
            for (int i = 0; i < S->ValuesList().Count(); ++i)
                S->ValuesList()[i]->BoundField = nullptr;
        };
        for (int i = 0; i < SeriesCount(); ++i)
            Unbind(Series(i));
        if (ASeries != nullptr)
            Unbind(ASeries);
    });
    BuildSeriesList(ADataSet, ASeries, List);
    if (List.empty())
        return;

    const TCursor OldCursor = Screen->Cursor();
    if (FShowGlassCursor)
        Screen->SetCursor(crHourGlass);
    TScopeExit RestoreCursor([OldCursor] { Screen->SetCursor(OldCursor); });
    {
        TValueRollback<bool> NoRepaint(RepaintOnChange, false);
        for (TDBChartSeries& E : List)
            E.Series->Clear();

        const bool AnyAll =
            std::any_of(List.begin(), List.end(), [](const TDBChartSeries& E) { return E.AllRecords; });
        const bool AnyCurrent =
            std::any_of(List.begin(), List.end(), [](const TDBChartSeries& E) { return !E.AllRecords; });
        if (AnyAll) {
            ADataSet->DisableControls();
            TScopeExit Enable([ADataSet] { ADataSet->EnableControls(); });
            TBookmark Bookmark = ADataSet->GetBookmark();
            TScopeExit GoBack([ADataSet, &Bookmark] {
                if (ADataSet->BookmarkValid(Bookmark))
                    ADataSet->GotoBookmark(Bookmark);
                ADataSet->FreeBookmark(Bookmark);
            });
            try {
                ADataSet->First();
                while (!ADataSet->Eof()) {
                    if (OnProcessRecord)
                        OnProcessRecord(this, ADataSet);
                    if (!ADataSet->Active())
                        break;
                    for (TDBChartSeries& E : List)
                        if (E.AllRecords)
                            AddToSeries(E);
                    ADataSet->Next();
                }
            } catch (const EAbort&) {
            }
            for (TDBChartSeries& E : List) {
                if (!E.AllRecords)
                    continue;
                if (E.ValueDBGroup == agAverage) {
                    for (int i = 0; i < E.Series->Count(); ++i) {
                        const TColor Count = E.Series->InternalColor(i);
                        if (Count > 0)
                            E.MandaList->SetValue(i, E.MandaList->Value(i) / Count);
                        E.Series->SetValueColor(i, clSeriesDefault);
                    }
                }
                if (E.ValueDBGroup != agNone && E.LabelSort != loNone)
                    E.Series->SortByLabels(E.LabelSort);
            }
        }
        // A series fed through a data source shows the current record; an
        // empty data set has none.
        if (AnyCurrent && ADataSet->Active() && !ADataSet->IsEmpty()) {
            if (OnProcessRecord)
                OnProcessRecord(this, ADataSet);
            for (TDBChartSeries& E : List)
                if (!E.AllRecords && ADataSet->Active())
                    AddToSeries(E);
        }
        for (TDBChartSeries& E : List) {
            E.Series->CheckOrder();
            E.Series->RefreshSeries();
        }
    }
    Invalidate();
}

void TCustomDBChart::AddToSeries(TDBChartSeries& E)
{
    TChartSeries* S = E.Series;
    std::string Label;
    if (E.LabelField != nullptr && E.GroupPrefix == dgNone) {
        Label = E.LabelField->DisplayText();
    } else if (E.LabelField != nullptr) {
        const TDateTime When = E.LabelField->AsDateTime();
        const int64_t Key = GroupKey(When, E.GroupPrefix);
        if (!E.HasLastGroup || Key != E.LastGroupKey) {
            E.LastGroupLabel = GroupLabel(When, E.GroupPrefix);
            E.LastGroupKey = Key;
            E.HasLastGroup = true;
        }
        Label = E.LastGroupLabel;
    }

    TColor Color = clSeriesDefault;
    if (E.ValueDBGroup != agNone)
        Color = clSeriesDefault;
    else if (E.ColorField != nullptr)
        Color = static_cast<TColor>(E.ColorField->AsInteger());
    else if (E.MandaField != nullptr && E.MandaField->IsNull())
        Color = clNone;

    if (E.NumFields > 1) {
        for (size_t k = 0; k < E.ValueFields.size(); ++k)
            S->Add(FieldValue(E.ValueFields[k]), E.LabelField != nullptr ? Label : E.ValueNames[k], Color);
        return;
    }

    if (E.LabelField == nullptr && !E.AllRecords)
        Label = E.MandaList->ValueSource();
    const double X = FieldValue(dynamic_cast<TField*>(S->NotMandatoryValueList()->BoundField));
    const double Y = FieldValue(E.MandaField);

    if (E.ValueDBGroup != agNone) {
        std::string Key = UpperCase(Label);
        int Index = -1;
        if (E.LabelIndexValid) {
            const auto It = E.LabelIndex.find(Key);
            Index = It != E.LabelIndex.end() ? It->second : -1;
        } else {
            Index = S->Labels().IndexOfLabel(Label, false);
        }
        if (Index < 0) {
            const int Added = S->Add(E.ValueDBGroup == agCount ? 1.0 : Y, Label,
                                     E.ValueDBGroup == agAverage ? static_cast<TColor>(1) : clSeriesDefault);
            if (Added != S->Count() - 1)
                E.LabelIndexValid = false;
            else if (E.LabelIndexValid)
                E.LabelIndex.emplace(std::move(Key), Added);
            return;
        }
        const double Old = E.MandaList->Value(Index);
        switch (E.ValueDBGroup) {
        case agSum:
            E.MandaList->SetValue(Index, Old + Y);
            break;
        case agCount:
            E.MandaList->SetValue(Index, Old + 1);
            break;
        case agHigh:
            E.MandaList->SetValue(Index, std::max(Old, Y));
            break;
        case agLow:
            E.MandaList->SetValue(Index, std::min(Old, Y));
            break;
        case agAverage:
            E.MandaList->SetValue(Index, Old + Y);
            S->SetValueColor(Index, S->InternalColor(Index) + 1);
            break;
        default:
            break;
        }
        return;
    }

    TChartValueLists& Lists = S->ValuesList();
    std::vector<double> More;
    for (int i = 2; i < Lists.Count(); ++i)
        More.push_back(FieldValue(dynamic_cast<TField*>(Lists[i]->BoundField)));
    if (!S->NotMandatoryValueList()->ValueSource().empty()) {
        if (E.YManda)
            S->AddPoint(X, Y, More, Label, Color);
        else
            S->AddPoint(Y, X, More, Label, Color);
    } else if (More.empty()) {
        S->Add(Y, Label, Color);
    } else {
        const double Position = S->Count();
        if (E.YManda)
            S->AddPoint(Position, Y, More, Label, Color);
        else
            S->AddPoint(Y, Position, More, Label, Color);
    }
}

// ------------------------------------------------------------------ TDBChart

TDBChart::TDBChart(TComponent* AOwner) : TCustomDBChart(AOwner) {}

void TDBChart::Publish(TPublisher<TDBChart>& P)
{
    using C = TDBChart;
    P.Boolean("AutoRefresh", &C::AutoRefresh, &C::SetAutoRefresh).Default(true);
    P.Integer("RefreshInterval", &C::RefreshInterval, &C::SetRefreshInterval).Default(0);
    P.Boolean("ShowGlassCursor", &C::ShowGlassCursor, &C::SetShowGlassCursor).Default(true);
}
