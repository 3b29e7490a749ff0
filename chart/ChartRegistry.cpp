// Registries of series, function and tool kinds; the named palettes; making,
// cloning and retyping series; legend symbols on any canvas.
#include "chart/ChartRegistry.h"

#include "chart/ChConst.h"
#include "chart/ChLegend.h"
#include "platform/ScopeGuard.h"
#include "platform/SysUtils.h"

#include <algorithm>

TClass ChPageNumToolClass = nullptr;
std::function<void(TCustomChart* Chart)> ChNewChartHook;
TChThemeSelectorProc ChThemeSelectorHook;

// Colours as stored: 0xBBGGRR, red in the low byte.
const TColorArray ExcelPalette = {
    0xFF9999, 0x663399, 0xCCFFFF, 0xFFFFCC, 0x660066, 0x8080FF, 0xCC6600, 0xFFCCCC, 0x800000, 0xFF00FF, 0x00FFFF,
    0xFFFF00, 0x800080, 0x000080, 0x808000, 0xFF0000, 0xFFCC00, 0xFFFFCC, 0xCCFFCC, 0x00FFFF, 0xFFCC99, 0xCC99FF};
const TColorArray VictorianPalette = {0xA1A55D, 0x3153C4, 0x0996E7, 0x4AE8F6, 0xA7A2B1, 0x84A7C9,
                                      0x51798C, 0xB7CDD8, 0x536508, 0x7BD8F7, 0x846401};
const TColorArray PastelsPalette = {0xFFFFCC, 0xCCFFFF, 0xFFCCCC, 0xCCCC00, 0xCCCCCC, 0x999900, 0x999999,
                                    0xCCCCFF, 0x66CCFF, 0xFFCCCC, 0x9999FF, 0x99FFFF, 0xFFCC99, 0xCCFFCC};
const TColorArray SolidPalette = {0xFF0000, 0x0000FF, 0x00FF00, 0x00CCFF, 0x404040, 0x00FFFF, 0xC000FF, 0xFFFFFF};
const TColorArray ClassicPalette = {0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF,
                                    0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080};
const TColorArray WebPalette = {0x00A5FF, 0xCE0000, 0x00CE00, 0x40FFFF, 0xFFFF40, 0xFF40FF, 0x0040FF, 0xA58080, 0x408080};
const TColorArray ModernPalette = {0x6699FF, 0x6666FF, 0xFFCC99, 0x669966, 0x99CCCC, 0xCC6699, 0x6666CC,
                                   0x99CCFF, 0xFF6699, 0xCCCCCC, 0xCCFF66, 0xFF9966, 0x996699, 0xFFCCCC};
const TColorArray RainbowPalette = {0x000099, 0x0000C3, 0x0000EE, 0x001AFF, 0x0046FF, 0x0073FF, 0x009FFF,
                                    0x00CBFF, 0x00F7FF, 0x08F4E3, 0x11E7C3, 0x1BDAA3, 0x25CD83, 0x2EC063,
                                    0x38B342, 0x42A622, 0x4B9A02, 0x6A870C, 0x8A751A, 0xAA6328, 0xCB5036,
                                    0xEB3E44, 0xFF2A61, 0xFF1596, 0xFF00CC};
const TColorArray WindowsXPPalette = {0xFE9B82, 0x24D1FC, 0x0DBC7C, 0x2F85FD, 0xFCFEFD, 0x214EE2, 0xD63829,
                                      0x0094B7, 0x00865A, 0x0046D2, 0xFAE5D3, 0xD8D8D8, 0x7B715F};

namespace {

// What the unit makes at start-up, made on first use.
struct TChartUnitState {
    TChartUnitState()
    {
        Randomize();
        for (const char* Name :
             {"Default", "Excel", "Victorian", "Pastels", "Solid", "Classic", "Web", "Modern", "Rainbow", "Win. XP"})
            Palettes.Add(Name);
    }
    TChSeriesTypes SeriesTypes;
    TChToolTypes ToolTypes;
    TColorPalettes Palettes;
};

TChartUnitState& UnitState()
{
    static TChartUnitState State;
    return State;
}

const TColorArray* PaletteTable(int Index)
{
    static const TColorArray* const Tables[] = {&ExcelPalette,   &VictorianPalette, &PastelsPalette,
                                                &SolidPalette,   &ClassicPalette,   &WebPalette,
                                                &ModernPalette,  &RainbowPalette,   &WindowsXPPalette};
    return Index >= 1 && Index <= 9 ? Tables[Index - 1] : nullptr;
}

void UnRegisterEntries(std::initializer_list<TClass> Classes, TClass TChSeriesType::*Field)
{
    TChSeriesTypes& Types = ChSeriesTypes();
    for (TClass C : Classes)
        for (int i = Types.Count() - 1; i >= 0; --i)
            if (Types[i]->*Field == C)
                Types.Delete(i);
}

}  // namespace

TChSeriesTypes& ChSeriesTypes() { return UnitState().SeriesTypes; }
TChToolTypes& ChToolTypes() { return UnitState().ToolTypes; }
TColorPalettes& ColorPalettes() { return UnitState().Palettes; }

// ------------------------------------------------------------------ registries

TChSeriesType* TChSeriesTypes::Find(TClass SeriesClass) const
{
    for (const auto& T : FItems)
        if (T->SeriesClass == SeriesClass && T->FunctionClass == nullptr)
            return T.get();
    return nullptr;
}

void RegisterChSeriesFunction(TClass SeriesClass, TClass FunctionClass, const std::string* Description,
                              const std::string* GalleryPage, int NumGallerySeries)
{
    if (SeriesClass != nullptr)
        RegisterClass(SeriesClass);
    if (FunctionClass != nullptr)
        RegisterClass(FunctionClass);
    TChSeriesTypes& Types = ChSeriesTypes();
    for (int i = 0; i < Types.Count(); ++i)
        if (Types[i]->SeriesClass == SeriesClass && Types[i]->FunctionClass == FunctionClass)
            return;
    auto T = std::make_unique<TChSeriesType>();
    T->SeriesClass = SeriesClass;
    T->FunctionClass = FunctionClass;
    T->Description = Description;
    T->GalleryPage = GalleryPage;
    T->NumGallerySeries = NumGallerySeries;
    Types.Add(std::move(T));
}

void RegisterChSeries(TClass SeriesClass, const std::string* Description, const std::string* GalleryPage,
                      int NumGallerySeries)
{
    RegisterChSeriesFunction(SeriesClass, nullptr, Description, GalleryPage, NumGallerySeries);
}

void RegisterChSeries(TClass SeriesClass, const std::string* Description)
{
    RegisterChSeries(SeriesClass, Description, &ChMsg_GalleryStandard, 2);
}

void RegisterChFunction(TClass FunctionClass, const std::string* Description, const std::string* GalleryPage,
                        int NumGallerySeries)
{
    RegisterChSeriesFunction(nullptr, FunctionClass, Description, GalleryPage, NumGallerySeries);
}

void RegisterChBasicFunction(TClass FunctionClass, const std::string* Description)
{
    RegisterChFunction(FunctionClass, Description, &ChMsg_GalleryStandard, 2);
}

void UnRegisterChSeries(std::initializer_list<TClass> Classes)
{
    UnRegisterEntries(Classes, &TChSeriesType::SeriesClass);
}

void UnRegisterChFunctions(std::initializer_list<TClass> Classes)
{
    UnRegisterEntries(Classes, &TChSeriesType::FunctionClass);
}

std::string GetGallerySeriesName(TChartSeries* Series)
{
    const TChSeriesType* T = ChSeriesTypes().Find(Series->ClassType());
    if (T != nullptr && T->Description != nullptr)
        return *T->Description;
    return Series->ClassName();
}

void RegisterChTools(std::initializer_list<TClass> Classes)
{
    TChToolTypes& Tools = ChToolTypes();
    for (TClass C : Classes)
        if (std::find(Tools.begin(), Tools.end(), C) == Tools.end()) {
            RegisterClass(C);
            Tools.push_back(C);
        }
}

void UnRegisterChTools(std::initializer_list<TClass> Classes)
{
    TChToolTypes& Tools = ChToolTypes();
    for (TClass C : Classes)
        Tools.erase(std::remove(Tools.begin(), Tools.end(), C), Tools.end());
}

// ------------------------------------------------------------------ palettes

void TColorPalettes::ApplyPalette(TCustomChart* Chart, int Index)
{
    const TColorArray* Table = PaletteTable(Index);
    ApplyPalette(Chart, Table != nullptr ? *Table : TColorArray{});
    Chart->ColorPaletteIndex = Index;
    Chart->Invalidate();
}

void TColorPalettes::ApplyPalette(TCustomAxisPanel* Chart, const TColorArray& Colors)
{
    Chart->CustomPalette = Colors;
    Chart->ColorPaletteChanged();
}

// ------------------------------------------------------------------ making series

std::string GetNewSeriesName(TComponent* Owner)
{
    return ChGetUniqueName(Owner, ChMsg_Series);
}

TChFunction* CreateNewChFunction(TChartSeries* Series, TClass FunctionClass)
{
    std::unique_ptr<TComponent> Made(FunctionClass->Create(Series->Owner()));
    auto* F = dynamic_cast<TChFunction*>(Made.get());
    if (F == nullptr)
        throw ChartException(FunctionClass->ClassName() + " is not a series function");
    Made.release();
    F->SetParentSeries(Series);
    F->SetName(ChGetUniqueName(Series->Owner(), "ChFunction"));
    return F;
}

TChartSeries* CreateNewSeries(TComponent* Owner, TCustomAxisPanel* Chart, TClass SeriesClass, TClass FunctionClass)
{
    TComponent* TheOwner = Owner != nullptr ? Owner : Chart;
    if (Chart != nullptr)
        for (int i = 0; i < Chart->SeriesCount(); ++i)
            if (Chart->Series(i)->Owner() == Chart) {
                TheOwner = Chart;
                break;
            }
    std::unique_ptr<TComponent> Made(SeriesClass->Create(TheOwner));
    auto* S = dynamic_cast<TChartSeries*>(Made.get());
    if (S == nullptr)
        throw ChartException(SeriesClass->ClassName() + " is not a series class");
    Made.release();
    S->SetName(GetNewSeriesName(TheOwner));
    if (Chart != nullptr)
        S->SetParentChart(Chart);
    if (FunctionClass != nullptr)
        CreateNewChFunction(S, FunctionClass);
    return S;
}

TChartSeries* CloneChartSeries(TChartSeries* Series)
{
    return CloneChartSeries(Series, Series->ParentChart());
}

TChartSeries* CloneChartSeries(TChartSeries* Series, TCustomAxisPanel* Chart)
{
    return CloneChartSeries(Series, Series->Owner(), Chart);
}

// The copy's function takes the original's settings before the copy takes
// the sources, so that it computes once, with them.
TChartSeries* CloneChartSeries(TChartSeries* Series, TComponent* Owner, TCustomAxisPanel* Chart)
{
    TChFunction* F = Series->AttachedFunction();
    TChartSeries* Copy = CreateNewSeries(Owner, Chart, Series->ClassType(), F != nullptr ? F->ClassType() : nullptr);
    if (F != nullptr)
        Copy->AttachedFunction()->Assign(F);
    Copy->Assign(Series);
    return Copy;
}

void ChangeSeriesType(TChartSeries*& Series, TClass NewClass)
{
    if (Series->ClassType() == NewClass)
        return;
    TChartSeries* NewSeries = CreateNewSeries(Series->Owner(), Series->ParentChart(), NewClass, nullptr);
    AssignSeries(Series, NewSeries);
    Series = NewSeries;
}

void ChangeAllSeriesType(TCustomAxisPanel* Chart, TClass NewClass)
{
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        TChartSeries* S = Chart->Series(i);
        ChangeSeriesType(S, NewClass);
    }
}

void AssignSeries(TChartSeries*& OldSeries, TChartSeries*& NewSeries)
{
    if (OldSeries == NewSeries)
        return;
    NewSeries->Assign(OldSeries);
    NewSeries->AfterDrawValues = OldSeries->AfterDrawValues;
    NewSeries->BeforeDrawValues = OldSeries->BeforeDrawValues;
    NewSeries->OnAfterAdd = OldSeries->OnAfterAdd;
    NewSeries->OnBeforeAdd = OldSeries->OnBeforeAdd;
    NewSeries->OnClearValues = OldSeries->OnClearValues;
    NewSeries->OnClick = OldSeries->OnClick;
    NewSeries->OnDblClick = OldSeries->OnDblClick;
    NewSeries->OnGetMarkText = OldSeries->OnGetMarkText;
    const std::string Name = OldSeries->Name();

    // The series fed by the old one are fed by the new one, in the same place.
    std::vector<TChartSeries*> Followers;
    for (int i = 0; i < OldSeries->LinkedSeries().Count(); ++i)
        Followers.push_back(OldSeries->LinkedSeries()[i]);
    for (TChartSeries* L : Followers) {
        TDataSourcesList& Sources = L->DataSources();
        const int At = Sources.IndexOf(OldSeries);
        if (Sources.IndexOf(NewSeries) < 0) {
            if (At >= 0)
                Sources.InheritedPut(At, NewSeries);
            else
                Sources.InheritedAdd(NewSeries);
            NewSeries->FreeNotification(L);
        } else if (At >= 0) {
            Sources.InheritedRemove(OldSeries);
        }
        OldSeries->RemoveFreeNotification(L);
        OldSeries->RemoveLinkedSeries(L);
        NewSeries->AddLinkedSeries(L);
    }

    TCustomAxisPanel* Chart = OldSeries->ParentChart();
    if (Chart != nullptr) {
        for (int i = 0; i < Chart->Tools().Count(); ++i)
            if (auto* T = dynamic_cast<TChCustomToolSeries*>(Chart->Tools()[i]); T != nullptr && T->Series() == OldSeries)
                T->SetSeries(NewSeries);
        if (NewSeries->ParentChart() == Chart)
            Chart->ExchangeSeries(OldSeries, NewSeries);
    }
    delete OldSeries;
    OldSeries = nullptr;
    NewSeries->SetName(Name);
    if (NewSeries->ParentChart() != nullptr)
        NewSeries->ParentChart()->BroadcastSeriesEvent(NewSeries, seChangeTitle);
    NewSeries->CheckDataSource();
}

// ------------------------------------------------------------------ legend symbols

void PaintSeriesLegend(TChartSeries* Series, TCanvas* Canvas, const TRect& Rect, TCustomChart* ReferenceChart)
{
    std::unique_ptr<TCustomChart> Temporary;
    TCustomAxisPanel* Chart = Series->ParentChart();
    const bool Lent = Chart == nullptr;
    if (Lent) {
        if (ReferenceChart == nullptr) {
            Temporary = std::make_unique<TCustomChart>(nullptr);
            ReferenceChart = Temporary.get();
        }
        Series->SetParentChart(ReferenceChart);
        Chart = ReferenceChart;
    }
    TScopeExit GiveBack([&] {
        if (Lent)
            Series->SetParentChart(nullptr);
    });
    TColor Back = clWhite;
    TChartPen* SymbolPen = nullptr;
    if (auto* C = dynamic_cast<TCustomChart*>(Chart)) {
        Back = C->Legend()->Color();
        TLegendSymbol* Symbol = C->Legend()->Symbol();
        SymbolPen = Symbol->DefaultPen() ? nullptr : Symbol->Pen();
    }
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Back);
    Chart->LegendColor = Back;
    Chart->LegendPen = SymbolPen;
    TCanvas3D* ChartCanvas = Chart->ChartCanvas();
    if (ChartCanvas->SupportsFullRotation())
        return;
    TCanvas* Own = ChartCanvas->ReferenceCanvas;
    TScopeExit PointBack([&] {
        ChartCanvas->SetCanvas(Own);
        Chart->LegendPen = nullptr;
    });
    ChartCanvas->SetCanvas(Canvas);
    Series->DrawLegend(-1, Rect);
}
