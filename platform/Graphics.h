// Colours, rectangles, pens, brushes, fonts, the canvas and bitmaps.
//
// The canvas keeps the pixel rules of the classic Windows drawing layer that
// the chart and report code were written against:
// - LineTo does not draw the end pixel;
// - Rectangle, RoundRect, Ellipse, Arc, Pie and Chord leave out the right and
//   bottom edge of their bounding rectangle (a 1-pixel pen draws columns
//   Left..Right-1 and rows Top..Bottom-1);
// - Arc/Pie/Chord run counter-clockwise from the radial through (X3,Y3) to
//   the radial through (X4,Y4);
// - polygons are closed and filled by the alternate (even-odd) rule;
// - FillRect fills Left..Right-1 x Top..Bottom-1 with the brush, no pen;
// - raster pen modes (pmXor, pmNot, ...) are exact on bitmaps and fall back
//   to pmCopy on the printer and in metafiles; so does the copy mode of
//   pictures (cmSrcInvert);
// - a picture drawn into a reversed rectangle (Right < Left, Bottom < Top)
//   covers the same pixels, mirrored in that direction.
// Coordinates are integer pixels of the surface. Fonts are measured in
// pixels; Size (points) converts through the font's PixelsPerInch.
#pragma once

#include "platform/Classes.h"
#include "platform/SysUtils.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Raised for a misuse of a graphic (a scan line outside the bitmap, a file
// that cannot be read or written).
class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};

// ------------------------------------------------------------------ colours

// 0x00BBGGRR; values with the top bit set name a system colour.
using TColor = int32_t;

constexpr TColor RGB(int R, int G, int B)
{
    return static_cast<TColor>((R & 0xFF) | ((G & 0xFF) << 8) | ((B & 0xFF) << 16));
}
constexpr int GetRValue(TColor C) { return C & 0xFF; }
constexpr int GetGValue(TColor C) { return (C >> 8) & 0xFF; }
constexpr int GetBValue(TColor C) { return (C >> 16) & 0xFF; }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

// System colours: 0x80000000 | index into the fixed table of ColorToRGB.
constexpr TColor SystemColor(int Index) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(Index)); }
constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);
constexpr TColor clHotLight = SystemColor(26);
constexpr TColor clGradientActiveCaption = SystemColor(27);
constexpr TColor clGradientInactiveCaption = SystemColor(28);
constexpr TColor clMenuHighlight = SystemColor(29);
constexpr TColor clMenuBar = SystemColor(30);

// Special values: passed through ColorToRGB untouched.
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// Plain 0x00BBGGRR: system colours resolved from the fixed table (an unknown
// index gives black), every other value returned as it is.
TColor ColorToRGB(TColor Color);

// ------------------------------------------------------------------ geometry

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const TSize&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    TPoint TopLeft() const { return {Left, Top}; }
    TPoint BottomRight() const { return {Right, Bottom}; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(const TPoint& P) const { return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom; }
    bool operator==(const TRect&) const = default;
};

inline TPoint Point(int X, int Y) { return {X, Y}; }
inline TRect Rect(int Left, int Top, int Right, int Bottom) { return {Left, Top, Right, Bottom}; }
inline TRect Bounds(int Left, int Top, int Width, int Height) { return {Left, Top, Left + Width, Top + Height}; }

// Rectangle arithmetic with the usual results: false (and an empty Dest) when
// the intersection is empty; the union of an empty and another rectangle is
// the other one.
bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B);
bool UnionRect(TRect& Dest, const TRect& A, const TRect& B);
void OffsetRect(TRect& R, int DX, int DY);
void InflateRect(TRect& R, int DX, int DY);
bool PtInRect(const TRect& R, const TPoint& P);
bool IsRectEmpty(const TRect& R);

// ------------------------------------------------------------------ styles

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles: `TFontStyles{fsBold, fsItalic}`, `S.Contains(fsBold)`,
// `S << fsUnderline`, `S >> fsBold`, `A + B`, `A - B`, `A * B`.
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(std::initializer_list<TFontStyle> Styles)
    {
        for (TFontStyle S : Styles)
            FBits = static_cast<uint8_t>(FBits | Bit(S));
    }
    constexpr bool Contains(TFontStyle S) const { return (FBits & Bit(S)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr uint8_t Bits() const { return FBits; }
    static constexpr TFontStyles FromBits(uint8_t Bits)
    {
        TFontStyles S;
        S.FBits = static_cast<uint8_t>(Bits & 0x0F);
        return S;
    }
    TFontStyles& operator<<(TFontStyle S) { FBits = static_cast<uint8_t>(FBits | Bit(S)); return *this; }
    TFontStyles& operator>>(TFontStyle S) { FBits = static_cast<uint8_t>(FBits & ~Bit(S)); return *this; }
    constexpr TFontStyles operator+(TFontStyles O) const { return FromBits(static_cast<uint8_t>(FBits | O.FBits)); }
    constexpr TFontStyles operator-(TFontStyles O) const { return FromBits(static_cast<uint8_t>(FBits & ~O.FBits)); }
    constexpr TFontStyles operator*(TFontStyles O) const { return FromBits(static_cast<uint8_t>(FBits & O.FBits)); }
    constexpr bool operator==(const TFontStyles&) const = default;

private:
    static constexpr uint8_t Bit(TFontStyle S) { return static_cast<uint8_t>(1u << static_cast<unsigned>(S)); }
    uint8_t FBits = 0;
};

// psAlternate sets every other pixel (a cosmetic one-pixel pen).
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psAlternate };

// The sixteen binary raster operations, in their classic order (R2_BLACK = 1).
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

// Ends and joins of pens wider than one pixel.
enum TPenEndCap { pecRound, pecSquare, pecFlat };
enum TPenJoinStyle { pjsRound, pjsBevel, pjsMiter };

// How Draw, StretchDraw and CopyRect combine a picture with the surface
// (the classic raster-operation codes): copy, or XOR (source invert).
using TCopyMode = int32_t;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcInvert = 0x00660046;

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;
constexpr TFontCharset OEM_CHARSET = 255;

// Text alignment of TextOut: one horizontal and one vertical flag.
constexpr unsigned TA_NOUPDATECP = 0;
constexpr unsigned TA_UPDATECP = 1;
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_CENTER = 6;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_BOTTOM = 8;
constexpr unsigned TA_BASELINE = 24;
// Text read right to left: its runs are ordered from the right (digits and
// Latin words inside Hebrew or Arabic text sit where a reader of those
// expects them). The reference point and alignment stay as without it.
constexpr unsigned TA_RTLREADING = 256;

enum TBackgroundMode { bkTransparent = 1, bkOpaque = 2 };

// How a new region combines with the clip in force (classic numbering).
enum TRegionCombine { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

// TextRect options (the subset of the classic text-format flags we honour).
constexpr unsigned tfLeft = 0x0;
constexpr unsigned tfCenter = 0x1;
constexpr unsigned tfRight = 0x2;
constexpr unsigned tfVerticalCenter = 0x4;
constexpr unsigned tfBottom = 0x8;
constexpr unsigned tfWordBreak = 0x10;
constexpr unsigned tfSingleLine = 0x20;
constexpr unsigned tfNoClip = 0x100;
constexpr unsigned tfEndEllipsis = 0x8000;

// ------------------------------------------------------------------ regions

// A set of pixels, in surface coordinates. Empty by default.
class TRegion {
public:
    TRegion();
    TRegion(const TRegion& Other);
    TRegion& operator=(const TRegion& Other);
    ~TRegion();

    static TRegion CreateRect(const TRect& R);
    // Corners of EllipseWidth x EllipseHeight, as RoundRect draws them.
    static TRegion CreateRoundRect(const TRect& R, int EllipseWidth, int EllipseHeight);
    static TRegion CreateEllipse(const TRect& R);
    // Alternate fill.
    static TRegion CreatePolygon(const std::vector<TPoint>& Points);

    // This := A (Mode) B; RGN_COPY takes A.
    void Combine(const TRegion& A, const TRegion& B, TRegionCombine Mode);
    void Offset(int DX, int DY);
    bool IsEmpty() const;
    bool Contains(int X, int Y) const;
    TRect BoundsRect() const;
    bool operator==(const TRegion& Other) const;

    struct TData;
    const TData* Data() const { return FData.get(); }
    TData* Data() { return FData.get(); }

private:
    std::unique_ptr<TData> FData;
};

// ------------------------------------------------------------------ pens, brushes, fonts

class TBitmap;
class TCanvas;
class TGraphic;

// Base of pen, brush and font: OnChange runs after every change of a value
// (not after Assign of an equal object, and Assign itself notifies once).
class TGraphicsObject : public TPersistent {
    OZ_CLASS(TGraphicsObject, TPersistent);

public:
    TNotifyEvent OnChange;

protected:
    void Changed();
};

class TPen : public TGraphicsObject {
    OZ_CLASS(TPen, TGraphicsObject);

public:
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);   // below 1 counts as 1 when drawing
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);
    TPenEndCap EndCap() const { return FEndCap; }
    void SetEndCap(TPenEndCap Value);
    TPenJoinStyle JoinStyle() const { return FJoinStyle; }
    void SetJoinStyle(TPenJoinStyle Value);
    void Assign(TPersistent* Source) override;
    bool SameAs(const TPen& Other) const;
    static void Publish(TPublisher<TPen>& P);   // platform/PublishedProps.cpp

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
    TPenEndCap FEndCap = pecRound;
    TPenJoinStyle FJoinStyle = pjsRound;
};

class TBrush : public TGraphicsObject {
    OZ_CLASS(TBrush, TGraphicsObject);

public:
    TBrush();
    ~TBrush() override;
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // A pattern brush: the bitmap is copied into the brush, which tiles it
    // from the surface origin. nullptr removes the pattern.
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(TBitmap* Value);
    void Assign(TPersistent* Source) override;
    bool SameAs(const TBrush& Other) const;
    static void Publish(TPublisher<TBrush>& P);

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    std::unique_ptr<TBitmap> FBitmap;
};

// The values of a font that a form stores: by default the platform's
// default font.
struct TFontDefaults {
    std::string Name = "MS Sans Serif";
    int Height = -11;   // 8 points at 96 dpi
    TColor Color = clWindowText;
    TFontStyles Style;
    int Orientation = 0;
    TFontPitch Pitch = fpDefault;
    TFontCharset Charset = DEFAULT_CHARSET;
};

class TFont : public TGraphicsObject {
    OZ_CLASS(TFont, TGraphicsObject);

public:
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value);
    // Points; negative Height means character height, Size is its counterpart.
    int Size() const;
    void SetSize(int Value);
    // Pixels: negative = character height (em), positive = cell height.
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    // Tenths of a degree, counter-clockwise (escapement and orientation alike).
    int Orientation() const { return FOrientation; }
    void SetOrientation(int Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    // Changing it keeps Height (pixels); Size follows.
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value);
    void Assign(TPersistent* Source) override;
    bool SameAs(const TFont& Other) const;
    static void Publish(TPublisher<TFont>& P);

    // A form stores what differs from the font's defaults: the platform's
    // default font, or what the font holds when the object that builds it
    // with values of its own (a scale's Arial 14) calls KeepAsDefaults. So a
    // font set back to the platform's default is stored as well. Assign
    // copies values, never defaults.
    const TFontDefaults& Defaults() const;
    void KeepAsDefaults();
    // The font at its defaults again (one change notification, none when
    // it is there already).
    void RestoreDefaults();

private:
    std::shared_ptr<const TFontDefaults> FDefaults;   // nullptr: the platform's
    std::string FName = "MS Sans Serif";
    int FHeight = -11;   // 8 points at 96 dpi
    TColor FColor = clWindowText;
    TFontStyles FStyle;
    int FOrientation = 0;
    TFontPitch FPitch = fpDefault;
    TFontCharset FCharset = DEFAULT_CHARSET;
    int FPixelsPerInch = 96;
};

// The family actually used for a font name: "Arial", "MS Sans Serif" and
// other sans faces map to Liberation Sans, "Courier New" and "Courier" to
// Liberation Mono, "Times New Roman" to Liberation Serif; others pass through.
std::string ResolveFontFamily(const std::string& Name);

// ------------------------------------------------------------------ canvas

// One drawing operation as the canvas hands it to its surface (a painter or a
// metafile recorder). Coordinates are logical (before the canvas transform).
struct TCanvasOp {
    // Stored in metafiles by number: new kinds go at the end.
    enum TKind : uint8_t {
        // drawing
        opLine,          // Pts[0] -> Pts[1], end pixel excluded
        opPolyline,
        opPolygon,
        opRectangle,     // R
        opRoundRect,     // R, A = corner width, B = corner height
        opEllipse,       // R
        opArc,           // R, Pts[0] start radial, Pts[1] end radial
        opPie,
        opChord,
        opFillRect,      // R, brush only
        opFrameRect,     // R, brush colour, one pixel
        opTextOut,       // Pts[0], Text
        opTextRect,      // R clip, Pts[0], Text
        opTextRectFormat,// R, Text, A = tf flags
        opSetPixel,      // Pts[0], A = colour
        opStretchDraw,   // R, Image (bitmap), A = opacity 0..255, B = 1: C is the transparent colour
        opPolyBezier,
        // clipping: the canvas keeps the clip and tells its recorder the
        // clip that results from every change
        opClipRegion,    // Region in device coordinates, A = TRegionCombine (RGN_COPY), B = 1
        opClipNone,      // nothing clips
        opClipPath,      // the path combined with the clip, A = TRegionCombine
        // paths
        opBeginPath,
        opEndPath,
        opAbortPath,
        opCloseFigure,
        opStrokePath,
        opFillPath,
        opStrokeAndFillPath,
        opWidenPath,
    };
    TKind Kind = opLine;
    TRect R;
    std::vector<TPoint> Pts;
    int A = 0;
    int B = 0;
    int C = 0;
    std::string Text;
    std::shared_ptr<const TBitmap> Image;
    std::shared_ptr<const TRegion> Region;
};

// A 2-D affine mapping from logical to device coordinates:
// x' = X * ScaleX + DX, y' = Y * ScaleY + DY.
struct TCanvasTransform {
    double ScaleX = 1.0;
    double ScaleY = 1.0;
    double DX = 0.0;
    double DY = 0.0;
    bool IsIdentity() const { return ScaleX == 1.0 && ScaleY == 1.0 && DX == 0.0 && DY == 0.0; }
    // this after Inner: maps through Inner first.
    TCanvasTransform Then(const TCanvasTransform& Outer) const;
    bool operator==(const TCanvasTransform&) const = default;
};

class TCanvasSurface;   // the Qt side (platform/private/CanvasQt.h)
struct TCanvasFont;     // a font as the Qt side measures and draws it (the same header)

// A drawing surface with the current pen, brush, font and drawing state.
// A canvas without a surface accepts every call and draws nothing.
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;

    TPen* Pen() { return &FPen; }
    TBrush* Brush() { return &FBrush; }
    TFont* Font() { return &FFont; }
    void SetPen(TPen* Value) { FPen.Assign(Value); }
    void SetBrush(TBrush* Value) { FBrush.Assign(Value); }
    void SetFont(TFont* Value) { FFont.Assign(Value); }

    TPoint PenPos() const;
    void SetPenPos(const TPoint& Value);
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void Polyline(const std::vector<TPoint>& Points);
    void Polyline(const TPoint* Points, int Count);
    void Polygon(const std::vector<TPoint>& Points);
    void Polygon(const TPoint* Points, int Count);
    // 1 + 3n points of cubic Bezier segments.
    void PolyBezier(const std::vector<TPoint>& Points);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void FillRect(const TRect& R);
    void FrameRect(const TRect& R);

    // Text is UTF-8. TextOut moves PenPos to the end of the text when the
    // alignment has TA_UPDATECP; X, Y are then ignored.
    void TextOut(int X, int Y, const std::string& Text);
    // Text at (X, Y), clipped to R; an opaque background fills R.
    void TextRect(const TRect& R, int X, int Y, const std::string& Text);
    // Text laid out in R by tf flags.
    void TextRect(TRect& R, const std::string& Text, unsigned Format);
    int TextWidth(const std::string& Text);
    // A width never below TextWidth, found quickly: for printable ASCII in
    // a font that has all of its glyphs the advances added up, otherwise
    // TextWidth itself. A text whose bound fits a space fits it.
    int TextWidthBound(const std::string& Text);
    int TextHeight(const std::string& Text);
    TSize TextExtent(const std::string& Text);
    // Ascent, descent and internal leading of the current font, in pixels.
    int TextAscent();
    int TextDescent();

    // clNone outside the surface or on a surface that cannot be read.
    TColor Pixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Color);

    // A nil or empty graphic draws nothing.
    void Draw(int X, int Y, TGraphic* Graphic);
    void Draw(int X, int Y, TGraphic* Graphic, uint8_t Opacity);
    void StretchDraw(const TRect& R, TGraphic* Graphic);
    // Copies Source's SourceRect (stretched) into Dest.
    void CopyRect(const TRect& Dest, TCanvas* Source, const TRect& SourceRect);
    // Applies to Draw, StretchDraw and CopyRect of bitmaps; any mode other
    // than cmSrcInvert copies.
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }

    // Clipping. ClipRect is the bounding rectangle (logical) of the clip in
    // force, or of the whole surface when nothing clips. Regions handed over
    // as TRegion are in device coordinates, the shapes of the other calls in
    // logical ones.
    TRect ClipRect();
    bool HasClip() const;
    // The clip in force; false when nothing clips.
    bool GetClipRegion(TRegion& Region) const;
    // Replaces the clip; nullptr removes it.
    void SelectClipRegion(const TRegion* Region);
    void ExtSelectClipRegion(const TRegion& Region, TRegionCombine Mode);
    void IntersectClipRect(const TRect& R);
    void ExcludeClipRect(const TRect& R);
    void SelectClipRect(const TRect& R, TRegionCombine Mode = RGN_AND);
    void SelectClipRoundRect(const TRect& R, int EllipseWidth, int EllipseHeight, TRegionCombine Mode = RGN_AND);
    void SelectClipEllipse(const TRect& R, TRegionCombine Mode = RGN_AND);
    void SelectClipPolygon(const std::vector<TPoint>& Points, TRegionCombine Mode = RGN_AND);
    void ClearClip() { SelectClipRegion(nullptr); }
    // As ExtSelectClipRegion, with Region in logical coordinates (mapped
    // through Transform).
    void ClipWithLogicalRegion(const TRegion& Region, TRegionCombine Mode);

    // Metafile playback: LimitClip makes the clip in force a limit that later
    // clip operations cannot widen (SelectClipRegion(nullptr) returns to the
    // limit); RestoreClip brings back a saved state, limit included.
    struct TClipState {
        TRegion Clip;
        bool HasClip = false;
        TRegion Limit;
        bool HasLimit = false;
    };
    TClipState SaveClip() const;
    void RestoreClip(const TClipState& State);
    void LimitClip();

    // Paths: between BeginPath and EndPath figures are collected instead of
    // drawn; the Stroke/Fill calls then draw and discard the path.
    void BeginPath();
    void EndPath();
    void AbortPath();
    void CloseFigure();
    void StrokePath();
    void FillPath();
    void StrokeAndFillPath();
    // Replaces the path by the outline a stroke with the current pen would paint.
    void WidenPath();
    void SelectClipPath(TRegionCombine Mode);

    // Background of text, styled lines and hatches. Changing the brush sets
    // them as the classic canvas does (solid: opaque in the brush colour,
    // otherwise transparent); set them after the brush to override.
    TBackgroundMode BackgroundMode();
    void SetBackgroundMode(TBackgroundMode Value);
    TColor BackgroundColor();
    void SetBackgroundColor(TColor Value);
    unsigned TextAlign() const { return FTextAlign; }
    void SetTextAlign(unsigned Value) { FTextAlign = Value; }
    // Extra pixels after every character.
    int TextCharacterExtra() const { return FCharExtra; }
    void SetTextCharacterExtra(int Value) { FCharExtra = Value; }

    // Logical-to-device mapping (metafile playback sets it).
    const TCanvasTransform& Transform() const { return FTransform; }
    void SetTransform(const TCanvasTransform& Value) { FTransform = Value; }

    // Size of the surface in device pixels (0 x 0 without a surface).
    virtual TSize SurfaceSize() const;
    // Resolution of the surface (96 for screens and bitmaps).
    virtual int PixelsPerInchX() const;
    virtual int PixelsPerInchY() const;
    // False where raster pen modes fall back to copy (printer, metafile).
    virtual bool SupportsRasterModes() const;

    // Hold the canvas against another thread; re-entrant on one thread. The
    // drawing routines do not take it themselves: whoever shares a canvas
    // between threads holds it around the drawing.
    void Lock() { FLockMutex.lock(); }
    void Unlock() { FLockMutex.unlock(); }
    bool TryLock() { return FLockMutex.try_lock(); }

    // Runs after every drawing operation.
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // The surface this canvas paints on; nullptr draws nothing. Not owned.
    TCanvasSurface* Surface() const { return FSurface; }
    void SetSurface(TCanvasSurface* Value);

    // Hands one operation to the surface with the current state; metafile
    // canvases record it instead.
    virtual void Perform(const TCanvasOp& Op);

    // The current font (with the character spacing) as the Qt side holds
    // it; looked up again only when the font changed.
    TCanvasFont& FontData();

protected:
    void Changing();
    void Changed();
    // Combines a device-coordinate region with the clip in force (within the
    // limit) and tells the surface or recorder the clip that results.
    void ApplyClip(const TRegion& Device, TRegionCombine Mode);

private:
    void DoPerform(TCanvasOp& Op);
    void PolyPoints(TCanvasOp::TKind Kind, const TPoint* Points, int Count);
    void ArcLike(TCanvasOp::TKind Kind, int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    // The classic canvas makes the brush decide the text background: a
    // solid brush gives an opaque background in its colour, any other a
    // transparent one. Applied when the brush changed since the last time.
    void SyncBrushBackground();
    const std::shared_ptr<TCanvasFont>& FontDataShared();

    std::recursive_mutex FLockMutex;
    TPen FPen;
    TBrush FBrush;
    TFont FFont;
    std::shared_ptr<TCanvasFont> FFontData;
    // After a TextOut the pen stands past its text, measured only when
    // somebody asks: FPenPos.X is then where the text began, FPenText the
    // text and FPenFont the font it was drawn in.
    mutable TPoint FPenPos;
    mutable bool FPenAfterText = false;
    mutable std::string FPenText;
    mutable std::shared_ptr<TCanvasFont> FPenFont;
    TBackgroundMode FBkMode = bkOpaque;
    TColor FBkColor = clWhite;
    TColor FSyncedBrushColor = clWhite;
    TBrushStyle FSyncedBrushStyle = bsSolid;
    unsigned FTextAlign = 0;
    TCopyMode FCopyMode = cmSrcCopy;
    int FCharExtra = 0;
    TCanvasTransform FTransform;
    TClipState FClip;
    TCanvasSurface* FSurface = nullptr;
    friend class TCanvasSurface;
};

// ------------------------------------------------------------------ graphics

// Base of pictures that draw themselves on a canvas.
class TGraphic : public TPersistent {
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int Value) = 0;
    virtual void SetHeight(int Value) = 0;
    virtual bool Empty() const { return Width() <= 0 || Height() <= 0; }
    // Draws the whole picture stretched into Rect of ACanvas.
    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
    virtual void SaveToFile(const std::string& FileName) = 0;
    virtual void LoadFromFile(const std::string& FileName) = 0;
    TNotifyEvent OnChange;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

// A 32-bit bitmap. New pixels are white. ScanLine(Row) gives Width pixels as
// uint32_t 0xFFRRGGBB (blue in the lowest byte; the top byte is ignored on
// read and may be written as 0). Drawing on Canvas and reading ScanLine may
// be mixed freely; ScanLine pointers stay valid until the size changes.
class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int AWidth, int AHeight);
    ~TBitmap() override;

    int Width() const override;
    int Height() const override;
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    void SetSize(int AWidth, int AHeight);
    // Kept for callers that set it; storage is always 32-bit.
    TPixelFormat PixelFormat() const { return pf32bit; }
    void SetPixelFormat(TPixelFormat) {}
    bool IgnorePalette() const { return true; }
    void SetIgnorePalette(bool) {}
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; }
    // clDefault: the bottom-left pixel's colour when Transparent.
    TColor TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor Value) { FTransparentColor = Value; }

    uint32_t* ScanLine(int Row);
    const uint32_t* ScanLine(int Row) const;
    TCanvas* Canvas();

    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    // By extension: ".png", ".bmp", ".jpg"; raises Exception on failure.
    void SaveToFile(const std::string& FileName) override;
    void LoadFromFile(const std::string& FileName) override;
    void Assign(TPersistent* Source) override;
    // Pixel data equal (sizes and every pixel, top bytes ignored).
    bool SameImage(const TBitmap& Other) const;

    struct TData;
    TData* Data() const { return FData.get(); }

private:
    std::unique_ptr<TData> FData;
    bool FTransparent = false;
    TColor FTransparentColor = clDefault;
};

// ------------------------------------------------------------------ bitmap resources

// The program's named pictures, as a program file carries bitmap
// resources: the program or a library enters each one (the bytes of a PNG
// or BMP file) under its name when it starts; entering a name again
// replaces its picture. Safe before main.
void RegisterBitmapResource(const std::string& Name, std::string Bytes);
// Bitmap takes the picture entered under Name (without regard to case);
// false, and Bitmap unchanged, when there is none or its bytes hold no
// picture.
bool LoadBitmapResource(TBitmap& Bitmap, const std::string& Name);
