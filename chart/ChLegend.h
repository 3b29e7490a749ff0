// The chart's legend: its symbol and title settings, the legend box with its
// layout of the last drawing, and the legend's own errors.
#pragma once

#include "chart/ChEngine.h"
#include "chart/ChProcs.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCustomChart;

enum TLegendStyle { lsAuto, lsSeries, lsValues, lsLastValues };
enum TLegendAlignment { laLeft, laRight, laTop, laBottom };
enum TCheckBoxesStyle { cbsCheck, cbsRadio };
enum TLegendSymbolPosition { spLeft, spRight };
enum TLegendSymbolSize { lcsPercent, lcsPixels };

class LegendException : public Exception {
public:
    using Exception::Exception;
};

class TCustomChartLegend;

using TSymbolDrawEvent = std::function<void(TObject* Sender, TChartSeries* Series, int ValueIndex, TRect& R)>;
using TLegendCalcSize = std::function<void(TCustomChartLegend* Sender, int& ASize)>;

class TLegendSymbol : public TPersistent {
    OZ_CLASS(TLegendSymbol, TPersistent);

public:
    static void Publish(TPublisher<TLegendSymbol>& P);
    explicit TLegendSymbol(TCustomChartLegend* ALegend);
    ~TLegendSymbol() override;
    void Assign(TPersistent* Source) override;
    bool Continuous() const { return FContinuous; }
    void SetContinuous(bool Value);
    bool DefaultPen() const { return FDefaultPen; }
    void SetDefaultPen(bool Value);
    TChartPen* Pen() const { return FPen.get(); }
    TLegendSymbolPosition Position() const { return FPosition; }
    void SetPosition(TLegendSymbolPosition Value);
    bool Squared() const { return FSquared; }
    void SetSquared(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TLegendSymbolSize WidthUnits() const { return FWidthUnits; }
    void SetWidthUnits(TLegendSymbolSize Value);
    // The symbol column's width for a text column TextWidth wide.
    int CalcWidth(int TextWidth);
    TSymbolDrawEvent OnDraw;

private:
    void Changed();
    TCustomChartLegend* FLegend;
    bool FContinuous = false;
    bool FDefaultPen = true;
    std::unique_ptr<TChartPen> FPen;
    TLegendSymbolPosition FPosition = spLeft;
    bool FSquared = false;
    bool FVisible = true;
    int FWidth = 20;
    TLegendSymbolSize FWidthUnits = lcsPercent;
};

class TLegendTitle : public TChShape {
    OZ_CLASS(TLegendTitle, TChShape);

public:
    static void Publish(TPublisher<TLegendTitle>& P);
    explicit TLegendTitle(TCustomChPanel* Panel);
    void Assign(TPersistent* Source) override;
    TStringList* Text() const { return FText.get(); }
    TAlignment TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(TAlignment Value);
    int CalcHeight();
    int TotalWidth();
    void CalcShapeBounds(const TRect& R);
    void DrawText();

private:
    std::unique_ptr<TStringList> FText;
    TAlignment FTextAlignment = taLeftJustify;
};

class TCustomChartLegend : public TChCustomShapePosition {
    OZ_CLASS(TCustomChartLegend, TChCustomShapePosition);

public:
    static void Publish(TPublisher<TCustomChartLegend>& P);
    explicit TCustomChartLegend(TCustomChart* Chart);
    ~TCustomChartLegend() override;
    void Assign(TPersistent* Source) override;

    TLegendAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TLegendAlignment Value);
    bool CheckBoxes() const { return FCheckBoxes; }
    void SetCheckBoxes(bool Value);
    TCheckBoxesStyle CheckBoxesStyle() const { return FCheckBoxesStyle; }
    void SetCheckBoxesStyle(TCheckBoxesStyle Value);
    bool CurrentPage() const { return FCurrentPage; }
    void SetCurrentPage(bool Value);
    TChartHiddenPen* DividingLines() const { return FDividingLines.get(); }
    int FirstValue() const { return FFirstValue; }
    void SetFirstValue(int Value);
    bool FontSeriesColor() const { return FFontSeriesColor; }
    void SetFontSeriesColor(bool Value);
    int HorizMargin() const { return FHorizMargin; }
    void SetHorizMargin(int Value);
    bool Inverted() const { return FInverted; }
    void SetInverted(bool Value);
    TLegendStyle LegendStyle() const { return FLegendStyle; }
    void SetLegendStyle(TLegendStyle Value);
    int MaxNumRows() const { return FMaxNumRows; }
    void SetMaxNumRows(int Value);
    bool ResizeChart() const { return FResizeChart; }
    void SetResizeChart(bool Value);
    TChartSeries* Series() const { return FSeries; }
    void SetSeries(TChartSeries* Value);
    TLegendSymbol* Symbol() const { return FSymbol.get(); }
    TLegendTextStyle TextStyle() const { return FTextStyle; }
    void SetTextStyle(TLegendTextStyle Value);
    TLegendTitle* Title() const { return FTitle.get(); }
    int TopPos() const { return FTopPos; }
    void SetTopPos(int Value);
    int VertMargin() const { return FVertMargin; }
    void SetVertMargin(int Value);
    int VertSpacing() const { return FVertSpacing; }
    void SetVertSpacing(int Value);
    int ColorWidth() const { return FSymbol->Width(); }
    void SetColorWidth(int Value) { FSymbol->SetWidth(Value); }
    TChartPen* Frame() const { return Pen(); }

    bool Vertical() const { return FAlignment == laLeft || FAlignment == laRight; }
    TRect RectLegend() const { return ShapeBounds; }
    TChartSeries* LegendSeries() const;
    bool HasCheckBoxes() const { return FCheckBoxes && ResolvedStyle != lsValues; }
    bool ShouldDraw() const;
    void CalcLegendStyle();
    std::string FormattedLegend(int Index);
    std::string FormattedValue(TChartSeries* ASeries, int ValueIndex);
    int CalcItemHeight();
    int FirstItemTop() const;
    // Lays out, paints and takes the legend's room from the chart rectangle.
    void DrawLegend();
    // The layout step alone: item count, texts and column widths, rows and
    // columns, the box and where symbols and texts go. False when there is
    // nothing to show (nothing is then painted and the chart keeps its
    // rectangle).
    bool CalcLayout();
    int Clicked(int X, int Y);
    bool DoMouseDown(int X, int Y);

    // layout of the last drawing
    int SymbolColumnWidth = 0;
    int LastShownValue = -1;
    int ItemCount = 0;
    bool DrawsTitle = false;
    TLegendStyle ResolvedStyle = lsAuto;
    int ColumnCount = 0;
    int RowCount = 0;
    bool AutoColumnWidths = true;
    std::array<int, 2> TextColumnWidths{0, 0};
    TLegendCalcSize OnLegendCalcSize;

private:
    // What the layout step hands to the paint step.
    struct TLegendLayout {
        int FrameWidth = 0;
        int Space = 0;        // one blank in the legend font
        int ItemHeight = 0;
        int TextWidth = 0;    // both text columns with their blanks
        int CheckX = 0;
        int SymbolX = 0;
        int TextX = 0;
        std::vector<std::array<std::string, 2>> Texts;   // per shown position
    };
    void CollectTexts();
    void Paint();
    void ResizeChartRect();
    int FrameWidth();
    int RowOf(int Y);
    TLegendLayout FLayout;
    TCustomChart* FChart;
    TLegendAlignment FAlignment = laRight;
    bool FCheckBoxes = false;
    TCheckBoxesStyle FCheckBoxesStyle = cbsCheck;
    bool FCurrentPage = true;
    std::unique_ptr<TChartHiddenPen> FDividingLines;
    int FFirstValue = 0;
    bool FFontSeriesColor = false;
    int FHorizMargin = 0;
    bool FInverted = false;
    TLegendStyle FLegendStyle = lsAuto;
    int FMaxNumRows = 10;
    bool FResizeChart = true;
    TChartSeries* FSeries = nullptr;
    std::unique_ptr<TLegendSymbol> FSymbol;
    TLegendTextStyle FTextStyle = ltsLeftValue;
    std::unique_ptr<TLegendTitle> FTitle;
    int FTopPos = 10;
    int FVertMargin = 0;
    int FVertSpacing = 0;
};

class TChartLegend : public TCustomChartLegend {
public:
    using TCustomChartLegend::TCustomChartLegend;
};
