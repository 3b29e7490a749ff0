// The design view of a report and its bands: grid rulers, margin outline,
// column marks, page frame, band outlines and captions. Drawn on any canvas
// (the panel's own, or an offscreen bitmap); nothing of it reaches a page.
#pragma once

#include "platform/Graphics.h"
#include "report/RpReport.h"

#include <string>

// The colours and pen styles of the design view.
struct TRpDesignScheme {
    TPenStyle MinorStyle;
    TPenStyle MajorStyle;
    TColor MinorColor;
    TColor MajorColor;
    std::string RulerFontName;   // at most 31 characters
    TColor TextColor;            // ruler labels and band captions
    int RulerFontSize;
    TPenStyle MarginStyle;       // margins and column marks
    TColor MarginColor;
    TPenStyle BandStyle;         // band outlines
    TColor BandColor;
};

// The scheme in use; screens with more than 256 colours (all of them here)
// start with the high-colour one.
const TRpDesignScheme& RpDesignScheme();
void SetRpHiColor();
void SetRpLoColor();

// Grid lines every quarter inch, half centimetre or ten characters over a
// W x H area at PPI pixels per inch and Zoom percent; Labels writes the whole
// inches, centimetres or character counts (reports only, not bands).
// RulerFontSize is the report font's size for the Characters ruler.
void RpPaintRuler(TCanvas* Canvas, int W, int H, int PPI, int Zoom, TRpUnit Units, int RulerFontSize,
                  bool Labels);

// The report's design view on Canvas (its size is the report's): the
// background, the ruler when Page.Ruler, margins, frame and column marks.
void RpPaintReportDesign(TCustomRpReport* Report, TCanvas* Canvas);
void RpPaintReportMargins(TCustomRpReport* Report, TCanvas* Canvas);
void RpPaintReportFrame(TCustomRpReport* Report, TCanvas* Canvas);
void RpPaintReportColumns(TCustomRpReport* Report, TCanvas* Canvas);

// A band's design view on Canvas (its size is the band's): the background
// (silver when disabled), the ruler, the outline, the band's frame and its
// type name as caption.
void RpPaintBandDesign(TRpCustomBand* Band, TCanvas* Canvas);
