// The marks of a series: the shared style of the boxes drawn next to the
// points, their per-point style overrides and the geometry of every mark,
// which the user may fix by hand.
#pragma once

#include "chart/ChCallout.h"
#include "chart/ChProcs.h"

#include <memory>
#include <string>
#include <vector>

class TChartSeries;

enum TSeriesMarksStyle {
    smsValue, smsPercent, smsLabel, smsLabelPercent, smsLabelValue, smsLegend,
    smsPercentTotal, smsLabelPercentTotal, smsXValue, smsXY
};

// The geometry of one mark.
class TSeriesMarkPosition {
public:
    TPoint ArrowStart;
    bool KeepArrowStart = false;
    TPoint ArrowEnd;
    bool IsCustom = false;
    int BoxHeight = 0;
    TPoint BoxTopLeft;
    int BoxWidth = 0;
    // Copies the geometry, not the two flags.
    void Assign(const TSeriesMarkPosition& Source);
    TRect Bounds() const;
};

// One slot per point index, possibly empty; owns its positions.
class TSeriesMarksPositions {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // nullptr beyond the list or for an empty slot.
    TSeriesMarkPosition* Get(int Index) const;
    // Fixes the position of mark Index by hand.
    void Put(int Index, const TSeriesMarkPosition& Position);
    void Automatic(int Index);
    bool ExistCustom() const;
    void Clear() { FItems.clear(); }
    // Removes the slots Start .. Start + Quantity - 1 that exist.
    void DeleteRange(int Start, int Quantity);
    void Exchange(int Index1, int Index2);

private:
    std::vector<std::unique_ptr<TSeriesMarkPosition>> FItems;
};

class TSeriesMarks;

class TMarksItem : public TChCustomShape {
    OZ_CLASS(TMarksItem, TChCustomShape);

public:
    static void Publish(TPublisher<TMarksItem>& P);
    explicit TMarksItem(TCustomChPanel* Panel);
};

// One slot per point index, created on demand; owns its items.
class TMarksItems {
public:
    explicit TMarksItems(TSeriesMarks* AMarks) : FMarks(AMarks) {}
    int Count() const { return static_cast<int>(FItems.size()); }
    // Creates the item when the slot is empty.
    TMarksItem* Get(int Index);
    bool Has(int Index) const;
    void Clear();
    void DeleteRange(int Start, int Quantity);
    void Exchange(int Index1, int Index2);
    bool LoadingCustom = false;

private:
    TSeriesMarks* FMarks;
    std::vector<std::unique_ptr<TMarksItem>> FItems;
};

class TSeriesMarks : public TChCustomShape {
    OZ_CLASS(TSeriesMarks, TChCustomShape);

public:
    static void Publish(TPublisher<TSeriesMarks>& P);
    void DefineProperties(TFiler* Filer) override;
    explicit TSeriesMarks(TChartSeries* ASeries);
    ~TSeriesMarks() override;
    void Assign(TPersistent* Source) override;
    // The shape's panel, and the callout's and the symbol's.
    void SetParent(TCustomChPanel* Value) override;

    TChartSeries* HostSeries() const { return FSeries; }
    TSeriesMarksPositions& Positions() { return FPositions; }
    TMarksItems& ItemsList() { return FItems; }
    TMarksItem* Items(int Index) { return FItems.Get(Index); }
    // The style used for the mark of point Index.
    TChCustomShape* MarkItem(int Index);

    TSeriesMarksStyle Style() const { return FStyle; }
    void SetStyle(TSeriesMarksStyle Value);
    int DrawEvery() const { return FDrawEvery; }
    void SetDrawEvery(int Value);
    int Angle() const { return FAngle; }
    void SetAngle(int Value);
    bool Clip() const { return FClip; }
    void SetClip(bool Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);

    // The callout between a point and its box: created on first read;
    // writing nullptr frees it, anything else is copied into ours.
    TMarksCallout* Callout();
    void SetCallout(TMarksCallout* Value);
    bool HasCallout() const { return FCallout != nullptr; }
    // The callout's arrow pen and length (reading creates the callout).
    TWhitePen* Arrow() { return Callout()->Arrow(); }
    void SetArrow(TChartPen* Value) { Callout()->SetArrow(Value); }
    int ArrowLength() { return Callout()->Length(); }
    void SetArrowLength(int Value) { Callout()->SetLength(Value); }
    // The colour square before the text, as the callout.
    TSeriesMarksSymbol* Symbol();
    void SetSymbol(TSeriesMarksSymbol* Value);
    bool HasSymbol() const { return FSymbol != nullptr; }
    // A symbol exists and is to be drawn.
    bool SymbolShown() const { return FSymbol != nullptr && FSymbol->ShouldDraw(); }

    // Lifts the box above the point by the callout's length (when there is
    // a callout).
    void ApplyArrowLength(TSeriesMarkPosition* Position);
    // In a 3-D chart whose canvas draws text flat, moves BoxTopLeft as far
    // as Point moves when projected at the marks' depth.
    void ConvertTo2D(const TPoint& Point, TPoint& BoxTopLeft);
    // Moves a new mark (vertically) clear of the marks First .. Index - 1.
    void AntiOverlap(int First, int Index, TSeriesMarkPosition* Position);

    // Forgets the positions, and the items unless they were read from a form.
    void Clear();
    void ResetPositions();
    // Width of the widest line of the mark text of point Index.
    int TextWidth(int ValueIndex);
    // A position fixed by the user wins over the computed one.
    void UsePosition(int Index, TSeriesMarkPosition& Position);
    // Draws the mark of point Index: its box and its text lines.
    void InternalDraw(int Index, TColor AColor, TSeriesMarkPosition* Position, const std::string& Text);
    int ZPos = 0;
    // Visible as the series kind makes it; only the other value is stored.
    bool DefaultVisible = false;

private:
    // Bounds with frame and shadow, moved as the box is drawn.
    TRect OuterRect(const TSeriesMarkPosition& Position);
    // The lines of Text centred in R, in the font and frame of Item.
    void DrawText(TChCustomShape* Item, const TRect& R, const std::string& Text);
    TChartSeries* FSeries;
    std::unique_ptr<TMarksCallout> FCallout;
    std::unique_ptr<TSeriesMarksSymbol> FSymbol;
    TSeriesMarksPositions FPositions;
    TMarksItems FItems{this};
    TSeriesMarksStyle FStyle = smsLabel;
    int FDrawEvery = 1;
    int FAngle = 0;
    bool FClip = false;
    bool FMultiLine = false;
};
