// The scale of the library's instruments (a member of the class unit
// _IcClass, kept in its own file): its look, its measuring for a value range
// and the drawing of round, dial, horizontal and vertical scales with ticks
// and labels.
//
// An instrument first measures (CalcSize, CalcHSize or CalcRSize: label list,
// text sizes, tick pen and lengths from the font, the space the scale needs),
// lays itself out, then draws the scale in its rectangle and reads back where
// its own parts go: Center, ArcTopLeft, ArcBottomRight, ArcStart and ArcEnd
// for the arc and pointer of a round or dial scale, LineStart and LineEnd for
// the base line of a horizontal or vertical one.
//
// Angles are degrees clockwise from 12 o'clock. Labels travel as one text in
// which every label ends with ';'; a drawing call that runs out of labels
// draws the rest empty.
#pragma once

#include "platform/Graphics.h"
#include "widgets/_IcClass.h"

#include <cstdint>
#include <string>

class TScaleSettings : public TIcPersistent {
    OZ_CLASS(TScaleSettings, TIcPersistent);

public:
    TScaleSettings();

    static void Publish(TPublisher<TScaleSettings>& P);

    // Colour of ticks and lines.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // For the instrument's pointer; not used here.
    TColor PointerColor() const { return FPointerColor; }
    void SetPointerColor(TColor Value);
    // Label font ("Arial" 14); a change inside it is a change of the scale.
    TFont* Font() { return &FFont; }
    // Copies Value into the owned font (whose change event reports it).
    void SetFont(TFont* Value);
    // Main steps of a linear scale, 1..20 (other values are ignored).
    int Steps() const { return FSteps; }
    void SetSteps(int Value);
    // Divisions of one main step, 1..10 (other values are ignored).
    int SubSteps() const { return FSubSteps; }
    void SetSubSteps(int Value);
    // Base line of the horizontal and vertical scale.
    bool DrawLine() const { return FDrawLine; }
    void SetDrawLine(bool Value);
    const std::string& ValueFormat() const { return FValueFormat; }
    void SetValueFormat(const std::string& Value);
    const std::string& ValueFormatLog() const { return FValueFormatLog; }
    void SetValueFormatLog(const std::string& Value);
    // Labels above (horizontal) or left (vertical).
    bool PosLeftTop() const { return FPosLeftTop; }
    void SetPosLeftTop(bool Value);
    // Set by the owning instrument.
    bool LogScale() const { return FLogScale; }
    void SetLogScale(bool Value) { FLogScale = Value; }

    // Results of the last measuring call.
    // Main steps of a logarithmic scale (0 before any measuring in log mode).
    int LogSteps() const { return FLogSteps; }
    int ExpFrom() const { return FExpFrom; }
    int ExpTo() const { return FExpTo; }
    const std::string& Labels() const { return FLabels; }
    int MaxTextWidth() const { return FMaxTextWidth; }
    int TextHeight() const { return FTextHeight; }
    int TickPenWidth() const { return FTickPenWidth; }
    int SubTickPenWidth() const { return FSubTickPenWidth; }
    int TextGap() const { return FTextGap; }
    // Set by measuring, and by the round and dial drawing.
    int TickLen() const { return FTickLen; }
    int SubTickLen() const { return FSubTickLen; }
    // Space a linear scale needs.
    int SizeX() const { return FSizeX; }
    int SizeY() const { return FSizeY; }
    // TickPenWidth div 2 + 3, for the instrument's layout.
    int Margin() const { return FMargin; }

    // Results of the last drawing call.
    TPoint Center() const { return FCenter; }
    TPoint ArcTopLeft() const { return FArcTopLeft; }
    TPoint ArcBottomRight() const { return FArcBottomRight; }
    // Inner end of the last main tick.
    TPoint ArcStart() const { return FArcStart; }
    // Outer end of the first main tick.
    TPoint ArcEnd() const { return FArcEnd; }
    int LineStart() const { return FLineStart; }
    int LineEnd() const { return FLineEnd; }

    // Into another TScaleSettings, through its setters.
    void AssignTo(TPersistent* Dest) override;

    // Main steps of a logarithmic scale over Decades: the largest count from
    // Count down to 2 that divides Decades, else 1 (Count below 1 counts as 1).
    static int CalcLogScaleSteps(int Count, int Decades);

    // Measuring for ValueFrom..ValueTo: vertical (labels from ValueTo down),
    // horizontal, round and dial (labels from ValueFrom up). In log mode a
    // range end at or below 0 counts as 1.
    void CalcSize(TCanvas* Canvas, float ValueFrom, float ValueTo);
    void CalcHSize(TCanvas* Canvas, float ValueFrom, float ValueTo);
    void CalcRSize(TCanvas* Canvas, float ValueFrom, float ValueTo);

    // Ticks and labels on a circle from StartAngle over Sweep degrees; Rect
    // is the instrument's area on entry and the ring of the ticks on return.
    // The round scale leaves out the last label of a full circle, where it
    // would fall on the first; the dial scale always divides Sweep by Steps.
    void RoundScala(TCanvas* Canvas, TRect& Rect, int StartAngle, int Sweep);
    void DialScala(TCanvas* Canvas, TRect& Rect, int StartAngle, int Sweep);
    // Ticks along the top edge of Rect (labels below, or above with
    // PosLeftTop) from Rect.Left to Rect.Right.
    void HorizScala(TCanvas* Canvas, const TRect& Rect);
    // Ticks along the left edge of Rect (labels right, or along the right
    // edge with the labels left with PosLeftTop), the first at Rect.Top.
    void VertiScala(TCanvas* Canvas, const TRect& Rect);

private:
    enum TLabelOrder { loDescending, loAscending };
    void FontChange(TObject* Sender);
    void Prepare(TCanvas* Canvas);
    void MeasureLabels(TCanvas* Canvas, float ValueFrom, float ValueTo, TLabelOrder Order);
    void LinearTickLengths();
    // Main steps of the drawing: LogSteps in log mode, else Steps; never 0.
    int DrawSteps() const;
    void CircleScala(TCanvas* Canvas, TRect& Rect, int StartAngle, int Sweep, bool Dial);

    TColor FColor = clBlack;
    TColor FPointerColor = clLime;
    TFont FFont;
    int FSteps = 5;
    int FSubSteps = 2;
    bool FDrawLine = true;
    std::string FValueFormat = "##0";
    std::string FValueFormatLog = "0e-0";
    bool FLogScale = false;
    int FLogSteps = 0;
    bool FPosLeftTop = false;
    int FTickLen = 14;
    int FSubTickLen = 7;
    TPoint FCenter;
    int FTickPenWidth = 2;
    int FSubTickPenWidth = 1;
    int FTextGap = 4;
    std::string FLabels;
    int FMaxTextWidth = 0;
    int FTextHeight = 0;
    int FSizeX = 0;
    int FSizeY = 0;
    int FMargin = 0;
    int FLineStart = 0;
    int FLineEnd = 0;
    TPoint FArcTopLeft;
    TPoint FArcBottomRight;
    TPoint FArcStart;
    TPoint FArcEnd;
    int FExpFrom = 0;
    int FExpTo = 0;
};
