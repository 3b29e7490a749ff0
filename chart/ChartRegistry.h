// The chart unit's library-wide registries and helpers: the series kinds and
// functions a gallery offers, the tool kinds, the named colour palettes, the
// default theme, and the making, cloning and retyping of series.
//
// Kinds are class references (platform/TypInfo.h): registering one also puts
// it in the class registry the form stream creates classes from.
#pragma once

#include "chart/ChFunctions.h"
#include "chart/Chart.h"
#include "platform/Classes.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

// ------------------------------------------------------------------ registries

// One kind a gallery offers: a series class, a function class or both. The
// texts are held by reference to message variables (a translated message
// changes the gallery), so they must outlive the entry.
struct TChSeriesType {
    TClass SeriesClass = nullptr;
    TClass FunctionClass = nullptr;
    const std::string* Description = nullptr;
    const std::string* GalleryPage = nullptr;
    int NumGallerySeries = 1;
};

// The registered kinds in order of registration; owns its entries.
class TChSeriesTypes {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    TChSeriesType* Get(int Index) const { return FItems[static_cast<size_t>(Index)].get(); }
    TChSeriesType* operator[](int Index) const { return Get(Index); }
    void Add(std::unique_ptr<TChSeriesType> Item) { FItems.push_back(std::move(Item)); }
    // Frees the entry.
    void Delete(int Index) { FItems.erase(FItems.begin() + Index); }
    void Clear() { FItems.clear(); }
    // The first entry of SeriesClass without a function; nil when none.
    TChSeriesType* Find(TClass SeriesClass) const;

private:
    std::vector<std::unique_ptr<TChSeriesType>> FItems;
};

// The registered tool classes (not owned objects).
using TChToolTypes = std::vector<TClass>;

// Made when first asked for (seeding the random generator once), freed at
// the end of the program.
TChSeriesTypes& ChSeriesTypes();
TChToolTypes& ChToolTypes();

// Registers each non-nil class with the class registry, then adds an entry
// unless one with the same series and function classes exists.
void RegisterChSeriesFunction(TClass SeriesClass, TClass FunctionClass, const std::string* Description,
                              const std::string* GalleryPage, int NumGallerySeries);
void RegisterChSeries(TClass SeriesClass, const std::string* Description, const std::string* GalleryPage,
                      int NumGallerySeries);
// On the "Standard" page with two gallery series.
void RegisterChSeries(TClass SeriesClass, const std::string* Description);
void RegisterChFunction(TClass FunctionClass, const std::string* Description, const std::string* GalleryPage,
                        int NumGallerySeries);
void RegisterChBasicFunction(TClass FunctionClass, const std::string* Description);
// Frees every entry of these series (function) classes.
void UnRegisterChSeries(std::initializer_list<TClass> Classes);
void UnRegisterChFunctions(std::initializer_list<TClass> Classes);
// The registered description of the series' class, else its class name.
std::string GetGallerySeriesName(TChartSeries* Series);
void RegisterChTools(std::initializer_list<TClass> Classes);
void UnRegisterChTools(std::initializer_list<TClass> Classes);

// Tool class for page numbers, set by an optional tool unit.
extern TClass ChPageNumToolClass;
// Called for a chart created in a form designer.
extern std::function<void(TCustomChart* Chart)> ChNewChartHook;

// ------------------------------------------------------------------ palettes

extern const TColorArray ExcelPalette;
extern const TColorArray VictorianPalette;
extern const TColorArray PastelsPalette;
extern const TColorArray SolidPalette;
extern const TColorArray ClassicPalette;
extern const TColorArray WebPalette;
extern const TColorArray ModernPalette;
extern const TColorArray RainbowPalette;
extern const TColorArray WindowsXPPalette;

// The names of the selectable palettes; the index is the palette number
// (0 "Default", the library palette).
class TColorPalettes : public TStringList {
public:
    // 1 to 9 give the chart a copy of that table; any other index empties
    // the chart's own palette. The index is recorded either way.
    static void ApplyPalette(TCustomChart* Chart, int Index);
    // The chart's own palette becomes a copy of Colors (empty: none); the
    // series without a colour of their own take new colours.
    static void ApplyPalette(TCustomAxisPanel* Chart, const TColorArray& Colors);
};
TColorPalettes& ColorPalettes();

// ------------------------------------------------------------------ themes

class TChartTheme : public TPersistent {
public:
    explicit TChartTheme(TCustomChart* AChart) : FChart(AChart) {}
    TCustomChart* Chart() const { return FChart; }
    virtual void Apply() {}
    virtual std::string Description() { return "Default"; }

private:
    TCustomChart* FChart;
};

using TChThemeSelectorProc = std::function<void(TCustomChart* Chart)>;
// Declared for optional units; this library never calls it.
extern TChThemeSelectorProc ChThemeSelectorHook;

// ------------------------------------------------------------------ making series

// "Series" and the first number not yet used among Owner's components.
std::string GetNewSeriesName(TComponent* Owner);
// A function of FunctionClass owned by the series' owner, computing Series.
TChFunction* CreateNewChFunction(TChartSeries* Series, TClass FunctionClass);
// A named series of SeriesClass in Chart (with a function when one is
// given), owned by Owner, else by Chart; by Chart whenever Chart owns any
// of its series. ChartException when SeriesClass makes no series.
TChartSeries* CreateNewSeries(TComponent* Owner, TCustomAxisPanel* Chart, TClass SeriesClass,
                              TClass FunctionClass = nullptr);
// A copy of Series (points, colours, format, sources and function) of the
// same class; Series itself is not changed.
TChartSeries* CloneChartSeries(TChartSeries* Series);
TChartSeries* CloneChartSeries(TChartSeries* Series, TCustomAxisPanel* Chart);
TChartSeries* CloneChartSeries(TChartSeries* Series, TComponent* Owner, TCustomAxisPanel* Chart);
// Replaces Series by a series of NewClass that keeps its name, place, data,
// events and the series fed by it; the old object is freed.
void ChangeSeriesType(TChartSeries*& Series, TClass NewClass);
void ChangeAllSeriesType(TCustomAxisPanel* Chart, TClass NewClass);
// NewSeries takes OldSeries' settings, events, name, place and followers;
// OldSeries is freed and set to nil.
void AssignSeries(TChartSeries*& OldSeries, TChartSeries*& NewSeries);

// Draws the series' legend symbol into Rect of any canvas. A series without
// a chart is lent to ReferenceChart (or to a chart made for the call) and
// taken back afterwards.
void PaintSeriesLegend(TChartSeries* Series, TCanvas* Canvas, const TRect& Rect,
                       TCustomChart* ReferenceChart = nullptr);
