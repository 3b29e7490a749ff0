// A series without data: what every series kind has besides its points
// (legend entry, title, identifier and style bits), and what the chart asks
// of it during a pass (margins, the hooks before drawing and on joining).
//
// TCustomChartSeries's body:
//   ChEngineSeries.cpp  properties, margins, gallery and designer hooks
//   ChEngineSources.cpp SameClass
//   ChEngineStream.cpp  the stored extras "Identifier" and "Style"
//   ChartStream.cpp     its stored properties
#pragma once

#include "chart/ChElement.h"

#include <cstdint>
#include <string>

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
