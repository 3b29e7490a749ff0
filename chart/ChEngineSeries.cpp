// Chart elements and series: common properties, points with labels and
// colours, notifications, axes of a series and its place in a chart.
#include "chart/ChEngine.h"
#include "chart/ChDataSources.h"
#include "chart/ChFunctions.h"
#include "chart/ChMarks.h"
#include "platform/ScopeGuard.h"

#include <algorithm>
#include <utility>

// ------------------------------------------------------------------ TCustomChartElement

TCustomChartElement::TCustomChartElement(TComponent* AOwner) : TComponent(AOwner)
{
    FBrush = std::make_unique<TChartBrush>([this](TObject* Sender) { CanvasChanged(Sender); });
    FPen = CreateChartPen();
}

// A series or tool leaves its chart in its own destructor, where the
// override of SetParentChart still runs.
TCustomChartElement::~TCustomChartElement()
{
    FPen.reset();
    FBrush.reset();
    FParent = nullptr;
}

std::unique_ptr<TChartPen> TCustomChartElement::CreateChartPen()
{
    return std::make_unique<TChartPen>([this](TObject* Sender) { CanvasChanged(Sender); });
}

void TCustomChartElement::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TCustomChartElement*>(Source)) {
        FActive = S->FActive;
        FBrush->Assign(S->FBrush.get());
        SetPen(S->FPen.get());
        SetTag(S->Tag());
        return;
    }
    TComponent::Assign(Source);
}

void TCustomChartElement::SetActive(bool Value)
{
    SetBooleanProperty(FActive, Value);
}

void TCustomChartElement::Repaint()
{
    if (FParent != nullptr)
        FParent->Invalidate();
}

void TCustomChartElement::SetBooleanProperty(bool& Variable, bool Value)
{
    if (Variable != Value) {
        Variable = Value;
        Repaint();
    }
}

void TCustomChartElement::SetColorProperty(TColor& Variable, TColor Value)
{
    if (Variable != Value) {
        Variable = Value;
        Repaint();
    }
}

void TCustomChartElement::SetIntegerProperty(int& Variable, int Value)
{
    if (Variable != Value) {
        Variable = Value;
        Repaint();
    }
}

void TCustomChartElement::SetDoubleProperty(double& Variable, double Value)
{
    if (Variable != Value) {
        Variable = Value;
        Repaint();
    }
}

void TCustomChartElement::SetStringProperty(std::string& Variable, const std::string& Value)
{
    if (Variable != Value) {
        Variable = Value;
        Repaint();
    }
}

void TCustomChartElement::SetParentComponent(TComponent* Value)
{
    if (auto* Chart = dynamic_cast<TCustomAxisPanel*>(Value))
        SetParentChart(Chart);
}

TComponent* TCustomChartElement::GetParentComponent() const
{
    return FParent;
}

void ChDrawBitmapEditor(TCanvas* Canvas, TCustomChartElement* Element, int Left, int Top)
{
    TBitmap Picture;
    ChGetBitmapEditor(Element, Picture);
    Canvas->Draw(Left, Top, &Picture);
}

// ------------------------------------------------------------------ TCustomChartSeries

TCustomChartSeries::TCustomChartSeries(TComponent* AOwner) : TCustomChartElement(AOwner) {}

void TCustomChartSeries::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TCustomChartSeries*>(Source)) {
        FShowInLegend = S->FShowInLegend;
        FTitle = S->FTitle;
        FStyle = S->FStyle;
        FIdentifier = S->FIdentifier;
    }
    TCustomChartElement::Assign(Source);
}

void TCustomChartSeries::SetActive(bool Value)
{
    TCustomChartElement::SetActive(Value);
    if (FParent != nullptr)
        FParent->BroadcastSeriesEvent(dynamic_cast<TChartSeries*>(this), seChangeActive);
    RepaintDesigner();
}

void TCustomChartSeries::SetTitle(const std::string& Value)
{
    SetStringProperty(FTitle, Value);
    if (FParent != nullptr)
        FParent->BroadcastSeriesEvent(dynamic_cast<TChartSeries*>(this), seChangeTitle);
    RepaintDesigner();
}

void TCustomChartSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    LeftMargin = 0;
    RightMargin = 0;
}

void TCustomChartSeries::CalcVerticalMargins(int& TopMargin, int& BottomMargin)
{
    TopMargin = 0;
    BottomMargin = 0;
}

void TCustomChartSeries::GalleryChanged3D(bool Is3D)
{
    if (FParent != nullptr)
        FParent->SetView3D(Is3D);
}

void TCustomChartSeries::RepaintDesigner()
{
    if (FParent != nullptr && FParent->DesignerHook() != nullptr)
        FParent->DesignerHook()->Repaint();
}

// ------------------------------------------------------------------ TChartSeries: life

TChartSeries::TChartSeries(TComponent* AOwner) : TCustomChartSeries(AOwner)
{
    FXValues = new TChartValueList(this, ChMsg_ValuesX);
    FXValues->SetOrder(loAscending);
    FNotMandatory = FXValues;
    FYValues = new TChartValueList(this, ChMsg_ValuesY);
    FMandatory = FYValues;
    FMarks = std::make_unique<TSeriesMarks>(this);
    FValueFormat = ChMsg_DefValueFormat;
    FPercentFormat = ChMsg_DefPercentFormat;
}

TChartSeries::~TChartSeries()
{
    FDestroying = true;
    if (TChFunction* F = FFunction) {
        FFunction = nullptr;
        F->RemoveFreeNotification(this);
        delete F;
    }
    RemoveAllLinkedSeries();
    std::vector<TComponent*> Sources;
    for (int i = 0; i < FDataSources.Count(); ++i)
        Sources.push_back(FDataSources[i]);
    FDataSources.InheritedClear();
    for (TComponent* Source : Sources) {
        Source->RemoveFreeNotification(this);
        if (auto* S = dynamic_cast<TChSeriesSource*>(Source); S != nullptr && S->Series() == this)
            S->SetSeries(nullptr);
        if (Source->Owner() == this)
            delete Source;
    }
    std::vector<TChartSeries*> Linked;
    for (int i = 0; i < FLinkedSeries.Count(); ++i)
        Linked.push_back(FLinkedSeries[i]);
    for (TChartSeries* L : Linked)
        L->RemoveDataSource(this);
    FLinkedSeries.Clear();
    Clear();
    SetParentChart(nullptr);
    FMarks.reset();
    FValueColors.reset();
    FLabels.Clear();
    FValuesList.Clear();
}

// ------------------------------------------------------------------ adding

int TChartSeries::AddXY(double X, double Y, const std::string& Label, TColor Color)
{
    return AddPoint(X, Y, {}, Label, Color);
}

int TChartSeries::AddPoint(double X, double Y, std::span<const double> More, const std::string& Label, TColor Color)
{
    if (OnBeforeAdd && !OnBeforeAdd(this))
        return -1;
    const int Index = FXValues->AddChartValue(X);
    FYValues->InsertChartValue(Index, Y);
    for (int i = 2; i < FValuesList.Count(); ++i) {
        const size_t k = static_cast<size_t>(i - 2);
        FValuesList[i]->InsertChartValue(Index, k < More.size() ? More[k] : 0.0);
    }
    if (FValueColors) {
        if (static_cast<int>(FValueColors->size()) < Index)
            FValueColors->resize(static_cast<size_t>(Index), clSeriesDefault);
        FValueColors->insert(FValueColors->begin() + Index, Color);
    } else if (Color != clSeriesDefault) {
        FValueColors = std::make_unique<std::deque<TColor>>(static_cast<size_t>(Count()), clSeriesDefault);
        (*FValueColors)[static_cast<size_t>(Index)] = Color;
    }
    if (!Label.empty() || FLabels.Count() > 0)
        FLabels.InsertLabel(Index, Label);
    if (UpdateDepth == 0)
        NotifyNewValue(this, Index);
    return Index;
}

int TChartSeries::Add(double Value, const std::string& Label, TColor Color)
{
    if (FYMandatory)
        return AddXY(FXValues->Count(), Value, Label, Color);
    return AddXY(Value, FYValues->Count(), Label, Color);
}

int TChartSeries::AddX(double Value, const std::string& Label, TColor Color)
{
    return AddXY(Value, Count(), Label, Color);
}

int TChartSeries::AddY(double Value, const std::string& Label, TColor Color)
{
    return AddXY(Count(), Value, Label, Color);
}

int TChartSeries::AddArray(const std::vector<double>& Values)
{
    TUpdateGuard<TChartSeries> Batch(*this);
    for (double V : Values)
        Add(V, {}, clSeriesDefault);
    return static_cast<int>(Values.size());
}

int TChartSeries::AddChartValue(TChartSeries* Source, int ValueIndex)
{
    double X = Source->GetxValue(ValueIndex);
    double Y = Source->GetyValue(ValueIndex);
    if (Source->FYMandatory != FYMandatory)
        std::swap(X, Y);
    const int j = FXValues->AddChartValue(X);
    FYValues->InsertChartValue(j, Y);
    for (int k = 2; k < FValuesList.Count(); ++k) {
        const double V = k < Source->FValuesList.Count() ? Source->FValuesList[k]->Value(ValueIndex) : 0.0;
        FValuesList[k]->InsertChartValue(j, V);
    }
    return j;
}

void TChartSeries::AddedValue(TChartSeries* Source, int ValueIndex)
{
    const int j = AddChartValue(Source, ValueIndex);
    if (Source->FValueColors && ValueIndex < static_cast<int>(Source->FValueColors->size())) {
        if (!FValueColors)
            FValueColors = std::make_unique<std::deque<TColor>>(static_cast<size_t>(Count() - 1), clSeriesDefault);
        if (static_cast<int>(FValueColors->size()) < j)
            FValueColors->resize(static_cast<size_t>(j), clSeriesDefault);
        FValueColors->insert(FValueColors->begin() + j, (*Source->FValueColors)[static_cast<size_t>(ValueIndex)]);
    } else if (FValueColors) {
        FValueColors->insert(FValueColors->begin() + std::min(j, static_cast<int>(FValueColors->size())),
                             clSeriesDefault);
    }
    if (ValueIndex < Source->FLabels.Count())
        FLabels.InsertLabel(j, Source->FLabels.GetLabel(ValueIndex));
    NotifyNewValue(this, j);
}

// Rebuilds every point from Source: through the attached function, else
// as a copy of Source's points with their colours and labels.
void TChartSeries::AddValues(TChartSeries* Source)
{
    {
        TUpdateGuard<TChartSeries> Batch(*this);
        Clear();
        if (FFunction != nullptr) {
            FXValues->SetDateTime(Source->FXValues->DateTime());
            FYValues->SetDateTime(Source->FYValues->DateTime());
            FFunction->AddPoints(Source);
        } else if (IsValidSourceOf(Source)) {
            for (int i = 0; i < Source->Count(); ++i) {
                const int j = AddChartValue(Source, i);
                const TColor C = Source->InternalColor(i);
                if (C != clSeriesDefault) {
                    if (!FValueColors)
                        GrowColors();
                    (*FValueColors)[static_cast<size_t>(j)] = C;
                } else if (FValueColors) {
                    FValueColors->insert(FValueColors->begin() + std::min(j, static_cast<int>(FValueColors->size())),
                                         clSeriesDefault);
                }
                const std::string L = Source->XLabel(i);
                if (!L.empty() || FLabels.Count() > 0)
                    FLabels.InsertLabel(j, L);
            }
        }
    }
    Repaint();
}

// ------------------------------------------------------------------ changing and deleting

void TChartSeries::SetXValue(int Index, double Value)
{
    FXValues->StoreValue(Index, Value);
    Repaint();
}

void TChartSeries::SetYValue(int Index, double Value)
{
    FYValues->StoreValue(Index, Value);
    Repaint();
}

void TChartSeries::Delete(int ValueIndex)
{
    if (ValueIndex < 0 || ValueIndex >= Count())
        throw ChartException(Format(ChMsg_SeriesDelete.c_str(), ValueIndex, Count() - 1));
    for (int i = 0; i < FValuesList.Count(); ++i)
        FValuesList[i]->Delete(ValueIndex);
    if (FValueColors && ValueIndex < static_cast<int>(FValueColors->size()))
        FValueColors->erase(FValueColors->begin() + ValueIndex);
    if (ValueIndex < FLabels.Count())
        FLabels.DeleteLabel(ValueIndex);
    FMarks->Positions().DeleteRange(ValueIndex, 1);
    FMarks->ItemsList().DeleteRange(ValueIndex, 1);
    NotifyValue(veDelete, ValueIndex);
    if (Active())
        Repaint();
}

// The range is clipped to the points the series holds.
void TChartSeries::Delete(int Start, int Quantity, bool RemoveGap)
{
    if (Start >= Count())
        return;
    const int Last = std::min(Start + std::max(Quantity, 0), Count());
    Start = std::max(Start, 0);
    Quantity = std::max(Last - Start, 0);
    for (int i = 0; i < FValuesList.Count(); ++i)
        FValuesList[i]->Delete(Start, Quantity);
    if (Quantity >= 1) {
        if (FValueColors) {
            const int Last = std::min(Start + Quantity, static_cast<int>(FValueColors->size()));
            if (Start < Last)
                FValueColors->erase(FValueColors->begin() + Start, FValueColors->begin() + Last);
            if (FValueColors->empty())
                FValueColors.reset();
        }
        for (int i = std::min(Start + Quantity, FLabels.Count()) - 1; i >= Start; --i)
            FLabels.DeleteLabel(i);
        FMarks->Positions().DeleteRange(Start, Quantity);
    }
    NotifyValue(veDelete, -1);
    if (Active())
        Repaint();
    if (RemoveGap)
        FNotMandatory->FillSequence();
}

void TChartSeries::ClearLists()
{
    for (int i = 0; i < FValuesList.Count(); ++i)
        FValuesList[i]->ClearValues();
    FValueColors.reset();
    FLabels.Clear();
    FMarks->Clear();
}

void TChartSeries::Clear()
{
    FirstVisibleIndex = -1;
    LastVisibleIndex = -1;
    ClearLists();
    if (OnClearValues)
        OnClearValues(this);
    NotifyValue(veClear, 0);
    if (FFunction != nullptr)
        FFunction->Clear();
    if (Active() && FParent != nullptr && !FParent->Destroying())
        Repaint();
}

void TChartSeries::NotifyNewValue(TChartSeries* Sender, int ValueIndex)
{
    if (OnAfterAdd)
        OnAfterAdd(Sender, ValueIndex);
    NotifyValue(veAdd, ValueIndex);
    if (Active())
        Repaint();
}

void TChartSeries::NotifyValue(TValueEvent ValueEvent, int ValueIndex)
{
    if (UpdateDepth > 0)
        return;
    for (int i = 0; i < FLinkedSeries.Count(); ++i) {
        TChartSeries* L = FLinkedSeries[i];
        switch (ValueEvent) {
        case veClear:
            if (L->RecalcOptions & rOnClear)
                L->Clear();
            break;
        case veAdd:
            if ((L->RecalcOptions & rOnInsert) && L->FFunction == nullptr)
                L->AddedValue(this, ValueIndex);
            break;
        case veDelete:
            if ((L->RecalcOptions & rOnDelete) && L->FFunction == nullptr)
                L->DeletedValue(this, ValueIndex);
            break;
        case veModify:
            if (L->RecalcOptions & rOnModify)
                L->AddValues(this);
            break;
        case veRefresh:
            L->AddValues(this);
            break;
        }
    }
}

void TChartSeries::EndUpdate()
{
    if (UpdateDepth <= 0)
        return;
    if (--UpdateDepth == 0)
        RefreshSeries();
}

void TChartSeries::RefreshSeries()
{
    NotifyValue(veRefresh, 0);
    if (FParent != nullptr)
        FParent->BroadcastSeriesEvent(this, seDataChanged);
}

// Exchanges two points in every value list, with their colours, labels
// and marks.
void TChartSeries::SwapValueIndex(int A, int B)
{
    for (int i = 0; i < FValuesList.Count(); ++i) {
        TChartValueList* L = FValuesList[i];
        const double VA = L->Value(A);
        L->StoreValue(A, L->Value(B));
        L->StoreValue(B, VA);
    }
    if (FValueColors) {
        const int Needed = std::max(A, B) + 1;
        if (static_cast<int>(FValueColors->size()) < Needed)
            FValueColors->resize(static_cast<size_t>(Needed), clSeriesDefault);
        std::swap((*FValueColors)[static_cast<size_t>(A)], (*FValueColors)[static_cast<size_t>(B)]);
    }
    FLabels.Exchange(A, B);
    FMarks->Positions().Exchange(A, B);
    FMarks->ItemsList().Exchange(A, B);
}

void TChartSeries::SetXValues(TChartValueList* Value)
{
    FXValues->Assign(Value);
    Repaint();
}

void TChartSeries::SetYValues(TChartValueList* Value)
{
    FYValues->Assign(Value);
    Repaint();
}

void TChartSeries::SetHorizontal()
{
    FMandatory = FXValues;
    FNotMandatory = FYValues;
    FYMandatory = false;
}

TChartValueList* TChartSeries::GetYValueList(const std::string& AName)
{
    const std::string Wanted = UpperCase(AName);
    for (int i = 2; i < FValuesList.Count(); ++i)
        if (UpperCase(FValuesList[i]->Name()) == Wanted)
            return FValuesList[i];
    return FYValues;
}

// ------------------------------------------------------------------ colours

void TChartSeries::SetSeriesColor(TColor Value)
{
    if (FSeriesColor == clSeriesDefault && Value == FAutoColor)
        return;
    SetColorProperty(FSeriesColor, Value);
    FAutoColor = FSeriesColor;
    NotifyColorChanged();
}

void TChartSeries::ChangeInternalColor(TColor Value)
{
    FAutoColor = Value;
    SetSeriesColor(Value);
}

TColor TChartSeries::InternalColor(int ValueIndex) const
{
    if (FValueColors && ValueIndex >= 0 && ValueIndex < static_cast<int>(FValueColors->size()))
        return (*FValueColors)[static_cast<size_t>(ValueIndex)];
    return clSeriesDefault;
}

TColor TChartSeries::GetValueColor(int ValueIndex)
{
    const TColor Own = InternalColor(ValueIndex);
    if (Own != clSeriesDefault)
        return Own;
    if (!FColorEachPoint)
        return SeriesColor();
    if (FParent != nullptr)
        return FParent->GetDefaultColor(ValueIndex);
    return ::GetDefaultColor(ValueIndex);
}

void TChartSeries::GrowColors()
{
    FValueColors = std::make_unique<std::deque<TColor>>(static_cast<size_t>(Count()), clSeriesDefault);
}

void TChartSeries::SetValueColor(int ValueIndex, TColor Color)
{
    if (!FValueColors && Color == clSeriesDefault)
        return;
    if (!FValueColors)
        GrowColors();
    if (ValueIndex < 0 || ValueIndex >= static_cast<int>(FValueColors->size()))
        throw EListError(Format("List index out of bounds (%d)", ValueIndex));
    (*FValueColors)[static_cast<size_t>(ValueIndex)] = Color;
    Repaint();
}

void TChartSeries::ColorRange(TChartValueList* AValueList, double FromValue, double ToValue, TColor AColor)
{
    for (int i = 0; i < AValueList->Count(); ++i) {
        const double V = AValueList->Value(i);
        if (V >= FromValue && V <= ToValue && !IsNull(i))
            SetValueColor(i, AColor);
    }
    Repaint();
}

void TChartSeries::NotifyColorChanged()
{
    if (FParent != nullptr)
        FParent->BroadcastSeriesEvent(this, seChangeColor);
    RepaintDesigner();
}

// ------------------------------------------------------------------ axes

void TChartSeries::SetHorizAxis(THorizAxis Value)
{
    if (FHorizAxis == Value)
        return;
    FHorizAxis = Value;
    if (Value != aCustomHorizAxis && !Loading)
        FCustomHorizAxis = nullptr;
    RecalcGetAxis();
    Repaint();
}

void TChartSeries::SetVertAxis(TVertAxis Value)
{
    if (FVertAxis == Value)
        return;
    FVertAxis = Value;
    if (Value != aCustomVertAxis && !Loading)
        FCustomVertAxis = nullptr;
    RecalcGetAxis();
    Repaint();
}

void TChartSeries::SetCustomHorizAxis(TChartAxis* Value)
{
    FCustomHorizAxis = Value;
    FHorizAxis = Value != nullptr ? aCustomHorizAxis : aBottomAxis;
    RecalcGetAxis();
    Repaint();
}

void TChartSeries::SetCustomVertAxis(TChartAxis* Value)
{
    FCustomVertAxis = Value;
    FVertAxis = Value != nullptr ? aCustomVertAxis : aLeftAxis;
    RecalcGetAxis();
    Repaint();
}

void TChartSeries::RecalcGetAxis()
{
    if (FParent == nullptr) {
        FGetHorizAxis = nullptr;
        FGetVertAxis = nullptr;
        return;
    }
    if (FHorizAxis == aTopAxis)
        FGetHorizAxis = FParent->TopAxis();
    else if (FHorizAxis == aCustomHorizAxis && FCustomHorizAxis != nullptr)
        FGetHorizAxis = FCustomHorizAxis;
    else
        FGetHorizAxis = FParent->BottomAxis();
    if (FVertAxis == aRightAxis)
        FGetVertAxis = FParent->RightAxis();
    else if (FVertAxis == aCustomVertAxis && FCustomVertAxis != nullptr)
        FGetVertAxis = FCustomVertAxis;
    else
        FGetVertAxis = FParent->LeftAxis();
}

bool TChartSeries::AssociatedToAxis(TChartAxis* Axis)
{
    if (!UseAxis() || Axis == nullptr)
        return false;
    if (Axis->Horizontal())
        return FHorizAxis == aBothHorizAxis || Axis == FGetHorizAxis;
    return FVertAxis == aBothVertAxis || Axis == FGetVertAxis;
}

TChartValueList* TChartSeries::ValueListOfAxis(TChartAxis* Axis)
{
    if (!AssociatedToAxis(Axis))
        return nullptr;
    return Axis->Horizontal() ? FXValues : FYValues;
}

int TChartSeries::CalcXPos(int ValueIndex)
{
    return FGetHorizAxis->HorizPosValue(GetxValue(ValueIndex));
}

int TChartSeries::CalcYPos(int ValueIndex)
{
    return FGetVertAxis->VertPosValue(GetyValue(ValueIndex));
}

int TChartSeries::CalcXPosValue(double Value) { return FGetHorizAxis->HorizPosValue(Value); }
int TChartSeries::CalcYPosValue(double Value) { return FGetVertAxis->VertPosValue(Value); }
int TChartSeries::CalcXSizeValue(double Value) { return FGetHorizAxis->CalcSizeValue(Value); }
int TChartSeries::CalcYSizeValue(double Value) { return FGetVertAxis->CalcSizeValue(Value); }
double TChartSeries::XScreenToValue(int ScreenPos) { return FGetHorizAxis->CalcPosPoint(ScreenPos); }
double TChartSeries::YScreenToValue(int ScreenPos) { return FGetVertAxis->CalcPosPoint(ScreenPos); }
void TChartSeries::GetCursorValues(double& X, double& Y)
{
    X = Y = 0;
    if (FParent == nullptr)
        return;
    const TPoint P = FParent->GetCursorPos();
    X = XScreenToValue(P.X);
    Y = YScreenToValue(P.Y);
}

int TChartSeries::GetCursorValueIndex()
{
    if (FParent == nullptr)
        return -1;
    const TPoint P = FParent->GetCursorPos();
    return Clicked(P.X, P.Y);
}

std::string TChartSeries::XValueToText(double Value) { return FGetHorizAxis->LabelValue(Value); }
std::string TChartSeries::YValueToText(double Value) { return FGetVertAxis->LabelValue(Value); }

// ------------------------------------------------------------------ marks

void TChartSeries::SetMarks(TSeriesMarks* Value)
{
    FMarks->Assign(Value);
}

int TChartSeries::MaxMarkWidth()
{
    int Result = 0;
    for (int i = 0; i < Count(); ++i)
        if (FMarks->MarkItem(i)->Visible())
            Result = std::max(Result, FMarks->TextWidth(i));
    return Result;
}

// ------------------------------------------------------------------ chart membership and sources

void TChartSeries::SetParentChart(TCustomAxisPanel* Value)
{
    if (Value == FParent)
        return;
    if (FParent != nullptr)
        FParent->RemoveSeries(this);
    TCustomChartSeries::SetParentChart(Value);
    FMarks->SetParent(Value);
    if (Value != nullptr)
        Value->InternalAddSeries(this);
    else
        RecalcGetAxis();
}

void TChartSeries::Added()
{
    if (FSeriesColor == clSeriesDefault) {
        ChangeInternalColor(FParent->GetFreeSeriesColor(true, nullptr));
        NotifyColorChanged();
    }
    RecalcGetAxis();
    CheckDataSource();
}

void TChartSeries::Removed()
{
    if (FParent != nullptr && FParent->Cursor() == Cursor)
        FParent->SetCursor(FParent->SavedCursor);
    RemoveAllLinkedSeries();
    TCustomChartSeries::Removed();
}

void TChartSeries::CheckDataSource()
{
    if (UpdateDepth == 0 && FParent != nullptr)
        FParent->CheckDatasource(this);
}

void TChartSeries::AddLinkedSeries(TChartSeries* Series)
{
    if (FLinkedSeries.IndexOf(Series) < 0)
        FLinkedSeries.Add(Series);
}

void TChartSeries::RemoveLinkedSeries(TChartSeries* Series)
{
    FLinkedSeries.Remove(Series);
}

void TChartSeries::RemoveAllLinkedSeries()
{
    for (int i = 0; i < FDataSources.Count(); ++i)
        if (auto* S = dynamic_cast<TChartSeries*>(FDataSources[i]))
            S->RemoveLinkedSeries(this);
}

// A freed function is forgotten; a freed data source is let go of.
void TChartSeries::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomChartSeries::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FFunction)
        FFunction = nullptr;
    else if (FDataSources.IndexOf(AComponent) >= 0)
        FDataSources.Remove(AComponent);
}

// ------------------------------------------------------------------ TCustomSeriesList

void TCustomSeriesList::Put(int Index, TChartSeries* Series)
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", Index));
    FItems[static_cast<size_t>(Index)] = Series;
}

int TCustomSeriesList::Add(TChartSeries* Series)
{
    FItems.push_back(Series);
    return Count() - 1;
}

void TCustomSeriesList::Insert(int Index, TChartSeries* Series)
{
    FItems.insert(FItems.begin() + std::clamp(Index, 0, Count()), Series);
}

void TCustomSeriesList::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", Index));
    FItems.erase(FItems.begin() + Index);
}

int TCustomSeriesList::Remove(TChartSeries* Series)
{
    const int Index = IndexOf(Series);
    if (Index >= 0)
        FItems.erase(FItems.begin() + Index);
    return Index;
}

int TCustomSeriesList::IndexOf(const TChartSeries* Series) const
{
    auto It = std::find(FItems.begin(), FItems.end(), Series);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

void TCustomSeriesList::Exchange(int Index1, int Index2)
{
    std::swap(FItems.at(static_cast<size_t>(Index1)), FItems.at(static_cast<size_t>(Index2)));
}

void TCustomSeriesList::ClearValues()
{
    for (TChartSeries* S : FItems)
        S->Clear();
}

// ------------------------------------------------------------------ unit routines

std::string SeriesTitleOrName(TChartSeries* ASeries)
{
    if (!ASeries->Title().empty())
        return ASeries->Title();
    if (!ASeries->Name().empty())
        return ASeries->Name();
    if (ASeries->ParentChart() != nullptr)
        return ChMsg_Series + std::to_string(ASeries->ParentChart()->SeriesList().IndexOf(ASeries) + 1);
    return {};
}

void FillSeriesItems(TStrings* Items, TCustomSeriesList* List, bool UseTitles)
{
    TUpdateGuard<TStrings> Batch(*Items);
    for (int i = 0; i < List->Count(); ++i) {
        TChartSeries* S = List->Get(i);
        Items->AddObject(UseTitles ? SeriesTitleOrName(S) : S->Name(), S);
    }
}
