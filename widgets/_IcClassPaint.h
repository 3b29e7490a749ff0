// Painting settings that instruments share: a boxed digital read-out with a
// caption, a frame around a face (gradient edges, filled, or round with a
// shaded ring) and a bar graph of a value in parts per thousand (solid, LED
// segments or a marker, with the value text XORed over it). Each paints
// off-screen where flicker matters and copies the result to the target.
#pragma once

#include "widgets/_IcClassSettings.h"

#include "platform/ExtCtrls.h"
#include "platform/Graphics.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

// A boxed digital read-out: Draw paints the box, its bevel and caption with
// FormatStr as a placeholder; DrawValue then replaces the text alone.
class TIcValInd : public TIcPersistent {
    OZ_CLASS(TIcValInd, TIcPersistent);

public:
    TIcValInd();

    static void Publish(TPublisher<TIcValInd>& P);

    // The number format, also the sample the box is sized for.
    const std::string& FormatStr() const { return FFormatStr; }
    void SetFormatStr(const std::string& Value) { IcStoreChanged(*this, FFormatStr, Value); }
    TIcBevelSettings* Bevel() { return &FBevel; }
    TIcText* Caption() { return &FCaption; }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { IcStoreChanged(*this, FColor, Value); }
    TFont* Font() { return &FFont; }
    void SetFont(TFont* Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { IcStoreChanged(*this, FVisible, Value); }
    int OffsetX() const { return FOffsetX; }
    void SetOffsetX(int Value) { IcStoreChanged(*this, FOffsetX, Value); }
    int OffsetY() const { return FOffsetY; }
    void SetOffsetY(int Value) { IcStoreChanged(*this, FOffsetY, Value); }
    TIcOffset* TxtSpacing() { return &FTxtSpacing; }

    // Where DrawValue writes, and the text's right margin; set by Draw.
    const TRect& ValueRect() const { return FValueRect; }
    int TextMargin() const { return FTextMargin; }

    // The box with the point Pos of it at P (moved by OffsetX, OffsetY).
    void Draw(TCanvas* Canvas, const TPoint& P, toPos Pos);
    // Value, formatted and right-aligned, over the value rectangle.
    void DrawValue(TCanvas* Canvas, double Value);

private:
    std::string FFormatStr = "##0.0";
    TIcBevelSettings FBevel;
    TIcText FCaption;
    TColor FColor = clBlack;
    TFont FFont;
    bool FVisible = true;
    int FOffsetX = 0;
    int FOffsetY = 0;
    TIcOffset FTxtSpacing;
    TRect FValueRect;
    int FTextMargin = 0;
    TBitmap FValueBitmap;   // reused by DrawValue
};

enum TBevelLine { blNone, blOuter, blInner, blBoth };

// A frame around an instrument's face: gradient edges, optional outline
// lines, spacing and offsets inward; round faces get a shaded ring.
class TIcSBevel : public TIcPersistent {
    OZ_CLASS(TIcSBevel, TIcPersistent);

public:
    TIcSBevel();

    static void Publish(TPublisher<TIcSBevel>& P);

    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Value) { IcStoreChanged(*this, FStyle, Value); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value) { IcStoreChanged(*this, FSpacing, Value); }
    TBevelLine BevelLine() const { return FBevelLine; }
    void SetBevelLine(TBevelLine Value) { IcStoreChanged(*this, FBevelLine, Value); }
    int Width() const { return FWidth; }
    // Values below 0 are ignored.
    void SetWidth(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { IcStoreChanged(*this, FColor, Value); }
    TIcOffset* Offset() { return &FOffset; }
    TColor ColorShadowFrom() const { return FColorShadowFrom; }
    void SetColorShadowFrom(TColor Value) { IcStoreChanged(*this, FColorShadowFrom, Value); }
    TColor ColorShadowTo() const { return FColorShadowTo; }
    void SetColorShadowTo(TColor Value) { IcStoreChanged(*this, FColorShadowTo, Value); }
    TColor ColorHighLightFrom() const { return FColorHighLightFrom; }
    void SetColorHighLightFrom(TColor Value) { IcStoreChanged(*this, FColorHighLightFrom, Value); }
    TColor ColorHighLightTo() const { return FColorHighLightTo; }
    void SetColorHighLightTo(TColor Value) { IcStoreChanged(*this, FColorHighLightTo, Value); }
    TColor PenColor() const { return FPenColor; }
    void SetPenColor(TColor Value) { IcStoreChanged(*this, FPenColor, Value); }
    TIcGradSettings* SurfaceGrad() { return &FSurfaceGrad; }

    // Set by an owning round instrument: Change then keeps the ring's shading.
    bool Round() const { return FRound; }
    void SetRound(bool Value) { IcStoreChanged(*this, FRound, Value); }
    // Spacing + Width + the outline lines, as of the last Change.
    int BorderWidth() const { return FBorderWidth; }
    // The ring's shading (30 x 30), nullptr until a round Change made it.
    TBitmap* RoundFace() const { return FRoundFace.get(); }

    // Each shrinks Rect to the face inside the frame.
    void PaintBevel(TCanvas* Canvas, TRect& Rect);
    void PaintFilledBevel(TCanvas* Canvas, TRect& Rect);
    // DX, DY map Rect's coordinates to the canvas' (0 on a control's own
    // canvas). Nothing for a Rect at most 4 pixels wide or a bevel that is
    // not round.
    void PaintRoundBevel(TCanvas* Canvas, TRect& Rect, int DX, int DY);
    void PaintGradBevel(TCanvas* Canvas, TRect& Rect, bool Raised, bool Fill, TColor Color);

    // A change of Offset or SurfaceGrad.
    void ParamChange(TObject* Sender);
    void Change() override;
    void AssignTo(TPersistent* Dest) override;

private:
    void PaintLines(TCanvas* Canvas, TRect& Rect, const TRect& Outer);

    TBevelStyle FStyle = bsRaised;
    int FSpacing = 5;
    TBevelLine FBevelLine = blNone;
    int FWidth = 2;
    TColor FColor = clBtnFace;
    TIcOffset FOffset;
    TColor FColorShadowFrom = clBtnShadow;
    TColor FColorShadowTo = clBtnShadow;
    TColor FColorHighLightFrom = clBtnHighlight;
    TColor FColorHighLightTo = clBtnHighlight;
    TColor FPenColor = clBlack;
    TIcGradSettings FSurfaceGrad;
    std::unique_ptr<TBitmap> FRoundFace;
    bool FRound = false;
    int FBorderWidth = 0;
};

enum TBarOption { opValue, opUnit, opUseSectorCol, opBidir };

// A set of TBarOption.
class TBarOptions {
public:
    constexpr TBarOptions() = default;
    constexpr TBarOptions(std::initializer_list<TBarOption> Items)
    {
        for (TBarOption I : Items)
            FBits = static_cast<uint8_t>(FBits | Bit(I));
    }
    constexpr bool Contains(TBarOption I) const { return (FBits & Bit(I)) != 0; }
    constexpr uint8_t Bits() const { return FBits; }
    static constexpr TBarOptions FromBits(uint8_t Bits)
    {
        TBarOptions S;
        S.FBits = static_cast<uint8_t>(Bits & 15u);
        return S;
    }
    constexpr bool operator==(const TBarOptions&) const = default;

private:
    static constexpr uint8_t Bit(TBarOption I) { return static_cast<uint8_t>(1u << static_cast<unsigned>(I)); }
    uint8_t FBits = 0;
};

enum TBarStyle { bsBar, bsLED_Bar, bsPoint };

// A bar graph: horizontal when wider than tall, else vertical, growing up.
class TBarSettings : public TIcPersistent {
    OZ_CLASS(TBarSettings, TIcPersistent);

public:
    TBarSettings();

    static void Publish(TPublisher<TBarSettings>& P);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { IcStoreChanged(*this, FColor, Value); }
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value) { IcStoreChanged(*this, FBkColor, Value); }
    TFont* Font() { return &FFont; }
    void SetFont(TFont* Value);
    TBarOptions Options() const { return FOptions; }
    void SetOptions(TBarOptions Value) { IcStoreChanged(*this, FOptions, Value); }
    TBarStyle Style() const { return FStyle; }
    void SetStyle(TBarStyle Value) { IcStoreChanged(*this, FStyle, Value); }
    TIcSBevel* Bevel() { return &FBevel; }
    // Copies Value's settings into the bar's own bevel.
    void SetBevel(TIcSBevel* Value);
    // Values at or below 0 are ignored; any other reports a change, also
    // an equal one.
    int minWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    int minHeight() const { return FMinHeight; }
    void SetMinHeight(int Value);

    // Set by the owning instrument (no change reported).
    const TRect& BarRect() const { return FBarRect; }
    void SetBarRect(const TRect& Value) { FBarRect = Value; }
    const std::string& UnitText() const { return FUnitText; }
    void SetUnitText(const std::string& Value) { FUnitText = Value; }
    const std::string& ValueText() const { return FValueText; }
    void SetValueText(const std::string& Value) { FValueText = Value; }
    TColor SectorColor() const { return FSectorColor; }
    void SetSectorColor(TColor Value) { FSectorColor = Value; }
    // Where a bidirectional bar starts, in parts per thousand.
    int Origin() const { return FOrigin; }
    void SetOrigin(int Value) { FOrigin = Value; }
    // The bar's size as of the last painting.
    int BarWidth() const { return FBarWidth; }
    int BarHeight() const { return FBarHeight; }

    // The bar at PPT (0..1000, clamped) over BarRect.
    void PaintBar(TCanvas* Canvas, int PPT);
    void PaintHBar(TCanvas* Canvas, int PPT);
    void PaintVBar(TCanvas* Canvas, int PPT);
    void AssignTo(TPersistent* Dest) override;

private:
    void Paint(TCanvas* Canvas, int PPT, bool Vertical);
    void PaintText(bool Vertical);

    TColor FColor = clLime;
    TColor FBkColor = clBlack;
    TFont FFont;
    TBarOptions FOptions;
    TBarStyle FStyle = bsBar;
    TIcSBevel FBevel;
    int FMinWidth = 5;
    int FMinHeight = 5;
    int FBarWidth = 0;
    int FBarHeight = 0;
    TRect FBarRect;
    std::string FUnitText;
    std::string FValueText;
    TColor FSectorColor = clBlack;
    int FOrigin = 0;
    TBitmap FBarBitmap;    // reused by the painting
    TBitmap FTextBitmap;
};
