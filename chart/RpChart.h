// A chart on a page of a banded report. TRpChart is a printable that owns
// one chart, a TRpDBChart, as its first child and prints it at its place on
// the page: as vector drawing (a metafile, the default) or as a bitmap.
// The TRpDBChart never shows itself; it lays itself out at the printable's
// size at 100 % zoom and paints into the printable.
//
// A report form built in code makes the TRpDBChart itself (owned by the
// form, its parent the TRpChart); so does a TRpChart made on a form open in
// the designer. The chart and its series are stored inside the TRpChart's
// block of a saved form, which brings them back and replaces a chart
// already there (ReadState).
#pragma once

#include "chart/Chart.h"
#include "chart/DBChart.h"
#include "platform/TypInfo.h"
#include "report/RpReport.h"

#include <functional>

class TRpChart;

enum TChQuickMethod { qtmBitmap, qtmMetafile };

// Called before the chart is drawn on the page; may change where it goes on
// the paper and the rectangle it is laid out in.
using TPrintChartEvent = std::function<void(TRpChart* Sender, TRect& PaperRect, TRect& ChartRect)>;

class TRpDBChart : public TCustomDBChart {
    OZ_CLASS(TRpDBChart, TCustomDBChart);

public:
    explicit TRpDBChart(TComponent* AOwner);
    // Series read from a form belong to the form, as the chart does.
    TComponent* GetChildOwner() override { return nullptr; }

    // The parent's client rectangle scaled by 100 / the report's zoom (a
    // zoom of 0 or less counts as 100 %); without a parent, its own client
    // rectangle.
    TRect GetRectangle() override;
    // Repaints the parent, never itself.
    void Invalidate() override;
    // The chart as its parent's print method draws it, stretched over the
    // parent's client rectangle (2 pixels wider and taller).
    void Paint() override;

    TRpChart* ParentRpChart() const;
};

class TRpChart : public TRpPrintable {
    OZ_CLASS(TRpChart, TRpPrintable);

public:
    // Made on a form open in the designer (and not being read), it also
    // makes its chart: owned by the form, named after "RpDBChart", its title
    // the one line "TRpChart".
    explicit TRpChart(TComponent* AOwner);

    // Frees the chart it holds unless that one is being read,
    // so that the saved form's chart takes its place.
    void ReadState(TReader* Reader) override;
    // The embedded chart is stored inside this printable's block, and read
    // back as the form's.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    TComponent* GetChildOwner() override { return nullptr; }
    // The first child control (the embedded chart), or nullptr.
    TRpDBChart* GetChart() const;
    TRpDBChart* Chart() const { return GetChart(); }
    // The embedded chart becomes a copy of Source: its settings, clones of
    // its series and copies of its tools. Source is left as it was.
    void SetChart(TCustomChart* Source);
    TChQuickMethod ChPrintMethod() const { return FPrintMethod; }
    void SetPrintMethod(TChQuickMethod Value);
    // Draws the chart into the paper rectangle of its Size values, then the
    // frame; without a chart only the frame.
    void Print(int OfsX, int OfsY) override;
    // The zoom of the report the printable is placed on (100 when none).
    int ReportZoom() const;
    // The canvas of the design view (nullptr outside a paint).
    TCanvas* DesignCanvas() const { return Canvas(); }

    TPrintChartEvent OnPrint;

    // The design view: the chart, then the printable's own look.
    void Paint() override;

private:
    TChQuickMethod FPrintMethod = qtmMetafile;
};

// Puts TRpDBChart (and TRpChart) in the class registry, once.
void RegisterRpChartClasses();
