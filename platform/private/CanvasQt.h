// The Qt side of the canvas, for platform code only: surfaces that paint a
// TCanvas into a QImage, through somebody's QPainter or onto a paint device,
// and conversions between the platform's graphics types and Qt's.
#pragma once

#include "platform/Graphics.h"

#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRect>
#include <QRegion>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct TRegion::TData {
    QRegion Region;
};

QColor ToQColor(TColor Color);
TColor FromQColor(const QColor& Color);
// A UTF-8 text as Qt holds it.
inline QString qs(const std::string& S) { return QString::fromStdString(S); }
inline QRect ToQRect(const TRect& R) { return QRect(R.Left, R.Top, R.Width(), R.Height()); }
inline TRect FromQRect(const QRect& R) { return {R.left(), R.top(), R.left() + R.width(), R.top() + R.height()}; }
inline QPoint ToQPoint(const TPoint& P) { return QPoint(P.X, P.Y); }
QRegion ToQRegion(const TRegion& Region);
// The pixels whose centres lie inside Path (its own fill rule).
QRegion PathToRegion(const QPainterPath& Path);
TRegion FromQRegion(const QRegion& Region);

// The Qt font for Font, family resolved (ResolveFontFamily) and sized in
// pixels (scaled by Scale), without orientation (the canvas rotates itself).
QFont ToQFont(const TFont& Font, double Scale = 1.0);
// Font metrics in pixels, identical for every surface.
QFontMetrics FontMetricsOf(const TFont& Font);

// What a font turns into on the Qt side, kept per distinct font (the values
// ToQFont reads, the scale and the extra character spacing) for the whole
// application and held by the canvases that use it. Everything in it is
// derived from those values alone, so a kept answer is the answer a fresh
// font would give. Read from any thread; Widths, and measuring with Metrics,
// are guarded (TextWidthIn).
// The values of a font the Qt side depends on.
struct TFontKey {
    std::string Name;
    int Height = 0;
    int PixelsPerInch = 0;   // 0 unless Height is 0
    uint8_t Style = 0;       // bold, italic, underline, strike-out bits
    uint8_t Pitch = 0;       // 1 for a fixed pitch
    int CharExtra = 0;
    double Scale = 1;

    static TFontKey Of(const TFont& Font, int CharExtra, double Scale);
    // Of(Font, CharExtra, Scale) == *this, without building a key.
    bool Matches(const TFont& Font, int CharExtra, double Scale) const;
    bool operator==(const TFontKey&) const = default;
};

struct TCanvasFont {
    TCanvasFont(const QFont& F, TFontKey Key);
    // True when this is Font with CharExtra at scale 1, for the running
    // application.
    bool Describes(const TFont& Font, int CharExtra) const;

    TFontKey Key;   // what it was made from
    const QObject* App = nullptr;

    QFont Font;
    QFontMetrics Metrics;
    int Ascent = 0;
    int Descent = 0;
    // Whole-pixel advances of the printable ASCII characters (' '..'~'),
    // rounded up, when the font itself has a glyph for every one of them.
    bool AsciiAdvances = false;
    std::array<int, 95> Advance{};
    // Widths of the texts measured, under the font cache's lock.
    std::unordered_map<std::string, int> Widths;
};
// Width of Text in Font, as TCanvas::TextWidth measures.
int TextWidthIn(TCanvasFont& Font, const std::string& Text);

// A cache of Qt objects that belong to the running application (fonts,
// glyphs): a new one for every application, while the caches of an ended
// one are kept and never touched or freed, since Qt objects must not be
// destroyed after their application. Call with the application running.
template <class T>
T& PerApplicationCache()
{
    static T* Current = nullptr;
    static bool Stale = true;
    if (Stale) {
        static auto& Retired = *new std::vector<T*>;
        if (Current)
            Retired.push_back(Current);
        Current = new T;
        Stale = false;
        QObject::connect(QCoreApplication::instance(), &QObject::destroyed, [] { Stale = true; });
    }
    return *Current;
}

// Where a TCanvas paints. Three kinds:
// - over a QImage (bitmaps, the backing image of a custom control): the
//   painter opens on the first drawing and stays open until Flush, which the
//   owner calls before it reads, resizes or shows the image; raster pen
//   modes are exact;
// - over a painter somebody else began (a paint event, a printer job); the
//   surface never ends it; raster modes fall back to copy unless the
//   painter's device is a QImage;
// - over any other paint device (a PDF writer): the painter opens on the
//   first drawing and ends with Flush or the surface.
class TCanvasSurface {
public:
    explicit TCanvasSurface(QImage* Image);
    TCanvasSurface(QPainter* Painter, QSize Size, int DpiX = 96, int DpiY = 96);
    explicit TCanvasSurface(QPaintDevice* Device);
    virtual ~TCanvasSurface();
    TCanvasSurface(const TCanvasSurface&) = delete;
    TCanvasSurface& operator=(const TCanvasSurface&) = delete;

    // The painter, begun. nullptr when the device cannot be painted (an
    // empty image).
    QPainter* Painter();
    // Ends the painter the surface began itself.
    void Flush();
    // A new external painter (the printer's after NewPage); Size and
    // resolution stay.
    void SetPainter(QPainter* Painter);

    QImage* Image() const { return FImage; }
    QSize Size() const;
    int DpiX() const;
    int DpiY() const;
    bool RasterModes() const;

    // Device rectangle every drawing operation touched (clipped to the
    // surface), for controls that update only what changed.
    std::function<void(const QRect&)> OnPainted;

    // Paints Op with Canvas's pen, brush, font, background, alignment,
    // transform and clip.
    void Paint(TCanvas& Canvas, const TCanvasOp& Op);
    // Surface pixel as 0x00BBGGRR, clNone outside or when not readable.
    TColor GetPixel(int X, int Y);

private:
    struct TPathState;
    // Clip, transform (moved by -Offset) and background of Canvas on P.
    void Setup(QPainter& P, TCanvas& Canvas, QPoint Offset);
    void PaintShape(TCanvas& Canvas, const TCanvasOp& Op, QPainter& P);
    // One-pixel copy-mode lines on an image this surface paints itself:
    // their pixels go straight into the image. False when Op needs the
    // painter.
    bool PaintThinLine(TCanvas& Canvas, const TCanvasOp& Op);
    // Rectangles of a one-pixel solid outline and a solid fill (either may
    // be left out) on such an image, the same way. False when Op needs the
    // painter.
    bool PaintPlainRectangle(TCanvas& Canvas, const TCanvasOp& Op);
    void PaintPathOp(TCanvas& Canvas, const TCanvasOp& Op);
    void AddToPath(TCanvas& Canvas, const TCanvasOp& Op);
    void PaintText(TCanvas& Canvas, const TCanvasOp& Op, QPainter& P, QRect& Touched);
    // A plain line of text on a print job's painter, drawn in its resting
    // state. False when Op needs the full state.
    bool PaintPrintedText(TCanvas& Canvas, const TCanvasOp& Op, QPainter& P);
    void Notify(const QRect& R);

    QImage* FImage = nullptr;
    QPaintDevice* FDevice = nullptr;
    QPainter* FExternal = nullptr;
    std::unique_ptr<QPainter> FOwn;
    QSize FSize;
    int FDpiX = 96;
    int FDpiY = 96;
    std::unique_ptr<TPathState> FPath;
    // The font and pen colour PaintPrintedText left on the print job's
    // painter (none while FRestingPainter is not the painter).
    QPainter* FRestingPainter = nullptr;
    QFont FRestingFont;
    TColor FRestingColor = clBlack;
};

// A canvas with its own surface over a QImage or a painter (custom controls,
// paint events). The image or painter must outlive it.
class TQtCanvas : public TCanvas {
public:
    explicit TQtCanvas(QImage* Image);
    TQtCanvas(QPainter* Painter, QSize Size);
    ~TQtCanvas() override;
    TCanvasSurface* QtSurface() { return &FQtSurface; }
    // Ends the painter over the image (before the image is read or shown).
    void Flush() { FQtSurface.Flush(); }

private:
    TCanvasSurface FQtSurface;
};

struct TBitmap::TData {
    QImage Image;
    std::unique_ptr<TCanvasSurface> Surface;
    std::unique_ptr<TCanvas> Canvas;
    // Ends painting so that Image can be read, resized or drawn elsewhere.
    void Flush() { if (Surface) Surface->Flush(); }
};
