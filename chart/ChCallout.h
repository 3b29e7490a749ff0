// Callouts: a pointer with an arrow pen, drawn from a point to something
// else; the callout between a series point and its mark box; and the small
// colour square a mark may show before its text.
#pragma once

#include "chart/ChSeriesPointer.h"

class TSeriesMarkPosition;

enum TArrowHeadStyle { ahNone, ahLine, ahSolid };

const TIdentMap& ArrowHeadStyleIdents();

// Callout arrows that would vanish into the point's or the chart's colour
// are drawn black (white on a black chart) instead. Off by default.
extern bool ChCheckMarkArrowColor;

class TCallout : public TSeriesPointer {
    OZ_CLASS(TCallout, TSeriesPointer);

public:
    explicit TCallout(TChartSeries* ASeries);
    ~TCallout() override;
    void Assign(TPersistent* Source) override;
    static void Publish(TPublisher<TCallout>& P);

    TWhitePen* Arrow() const { return FArrow.get(); }
    void SetArrow(TChartPen* Value) { FArrow->Assign(Value); }
    TArrowHeadStyle ArrowHead() const { return FArrowHead; }
    void SetArrowHead(TArrowHeadStyle Value);
    int ArrowHeadSize() const { return FArrowHeadSize; }
    void SetArrowHeadSize(int Value) { SetInteger(FArrowHeadSize, Value); }
    // Gap in pixels between the point and the start of the arrow.
    int Distance() const { return FDistance; }
    void SetDistance(int Value) { SetInteger(FDistance, Value); }

    // The arrow from From (the point, in AColor) to To at depth Z, then,
    // without an arrow head, the callout's marker on the point.
    void Draw(TColor AColor, const TPoint& From, const TPoint& To, int Z);

private:
    std::unique_ptr<TWhitePen> FArrow;
    TArrowHeadStyle FArrowHead = ahNone;
    int FDistance = 0;
    int FArrowHeadSize = 8;
};

class TMarksCallout : public TCallout {
    OZ_CLASS(TMarksCallout, TCallout);

public:
    explicit TMarksCallout(TChartSeries* ASeries);
    void Assign(TPersistent* Source) override;
    static void Publish(TPublisher<TMarksCallout>& P);

    // Pixels between the point and the mark box.
    int Length() const { return FLength; }
    void SetLength(int Value);
    // The value of Length a form does not store.
    int UnstoredLength = 8;
    bool IsLengthStored() const { return FLength != UnstoredLength; }

    // Moves the box and the arrow end up by Length + Distance, the arrow
    // start by Distance.
    void ApplyArrowLength(TSeriesMarkPosition* Position) const;

private:
    int FLength = 8;
};

// The colour square before a mark's text.
class TSeriesMarksSymbol : public TChCustomShape {
    OZ_CLASS(TSeriesMarksSymbol, TChCustomShape);

public:
    explicit TSeriesMarksSymbol(TCustomChPanel* Panel);
    static void Publish(TPublisher<TSeriesMarksSymbol>& P);
    bool ShouldDraw() const { return Visible() && !Transparent(); }
};
