// Painting canvas operations with QPainter, keeping the classic pixel rules:
// thin lines are rasterised here (end pixel left out, styles with the
// classic dash lengths), shapes leave out their right and bottom edge, and
// raster pen modes are applied pixel by pixel on images.
#include "platform/private/CanvasQt.h"

#include "platform/Application.h"

#include <QBitmap>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QTextLayout>
#include <QPainterPathStroker>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;

QTransform ToQTransform(const TCanvasTransform& T) { return QTransform(T.ScaleX, 0, 0, T.ScaleY, T.DX, T.DY); }

// True when T moves by whole pixels only: thin lines are then rasterised
// here, pixel for pixel.
bool IsPixelExact(const TCanvasTransform& T)
{
    return T.ScaleX == 1.0 && T.ScaleY == 1.0 && T.DX == std::floor(T.DX) && T.DY == std::floor(T.DY);
}

// A colour-keyed bitmap drawn at its own size onto a 32-bit image: every
// pixel but the key colour is copied, straight into the image, without the
// keyed copy of the whole bitmap the painter would need (a fresh allocation
// on every call). False when the draw needs the painter (scaling, opacity, a
// transform that is not whole pixels, formats other than 32-bit).
bool BlitKeyed(QImage& Dst, TCanvas& Canvas, const TCanvasOp& Op, QRect& Touched)
{
    if (Op.B != 1 || Op.A != 255 || !Op.Image || Op.Image->Empty())
        return false;
    const QImage& Src = Op.Image->Data()->Image;
    const QImage::Format SF = Src.format(), DF = Dst.format();
    if ((SF != QImage::Format_RGB32 && SF != QImage::Format_ARGB32) ||
        (DF != QImage::Format_RGB32 && DF != QImage::Format_ARGB32 && DF != QImage::Format_ARGB32_Premultiplied))
        return false;
    const TCanvasTransform& T = Canvas.Transform();
    if (!IsPixelExact(T) || Op.R.Width() != Src.width() || Op.R.Height() != Src.height())
        return false;
    const QRect Target(Op.R.Left + static_cast<int>(T.DX), Op.R.Top + static_cast<int>(T.DY), Src.width(), Src.height());
    QRegion Area = QRegion(Target) & QRegion(QRect(QPoint(0, 0), Dst.size()));
    TRegion Clip;
    if (Canvas.GetClipRegion(Clip))
        Area &= Clip.Data()->Region;
    const QRgb Key = Op.C == clDefault ? (Src.pixel(0, Src.height() - 1) & 0xFFFFFFu) : (ToQColor(Op.C).rgb() & 0xFFFFFFu);
    uchar* Bits = const_cast<uchar*>(Dst.constBits());
    const qsizetype Stride = Dst.bytesPerLine();
    for (const QRect& Part : Area) {
        for (int Y = Part.top(); Y <= Part.bottom(); ++Y) {
            const QRgb* __restrict From =
                reinterpret_cast<const QRgb*>(Src.constScanLine(Y - Target.top())) + (Part.left() - Target.left());
            QRgb* __restrict To = reinterpret_cast<QRgb*>(Bits + Y * Stride) + Part.left();
            // Branch-free (a keyed bitmap mixes both kinds of pixel on every
            // row), four pixels a step.
            const int N = Part.width();
            int X = 0;
            for (; X + 4 <= N; X += 4) {
                QRgb S[4], D[4];
                for (int k = 0; k < 4; ++k) {
                    S[k] = From[X + k];
                    D[k] = To[X + k];
                }
                for (int k = 0; k < 4; ++k) {
                    const QRgb Keep = 0u - static_cast<QRgb>((S[k] & 0xFFFFFFu) == Key);
                    To[X + k] = (D[k] & Keep) | ((S[k] | 0xFF000000u) & ~Keep);
                }
            }
            for (; X < N; ++X) {
                const QRgb S = From[X];
                const QRgb Keep = 0u - static_cast<QRgb>((S & 0xFFFFFFu) == Key);
                To[X] = (To[X] & Keep) | ((S | 0xFF000000u) & ~Keep);
            }
        }
    }
    Touched = Area.boundingRect();
    return true;
}

// Lengths (pixels) of the on and off runs of one-pixel styled pens.
const std::vector<int>& ThinPattern(TPenStyle Style)
{
    static const std::vector<int> Solid;
    static const std::vector<int> Dash{18, 6};
    static const std::vector<int> Dot{3, 3};
    static const std::vector<int> DashDot{9, 6, 3, 6};
    static const std::vector<int> DashDotDot{9, 3, 3, 3, 3, 3};
    static const std::vector<int> Alternate{1, 1};
    switch (Style) {
    case psDash: return Dash;
    case psDot: return Dot;
    case psDashDot: return DashDot;
    case psDashDotDot: return DashDotDot;
    case psAlternate: return Alternate;
    default: return Solid;
    }
}

// The same runs for wide pens, in pen widths.
QVector<qreal> WidePattern(TPenStyle Style)
{
    switch (Style) {
    case psDash: return {3, 1};
    case psDot: return {1, 1};
    case psDashDot: return {3, 1, 1, 1};
    case psDashDotDot: return {3, 1, 1, 1, 1, 1};
    case psAlternate: return {1, 1};
    default: return {};
    }
}

bool PenVisible(TPen& Pen) { return Pen.Style() != psClear && Pen.Color() != clNone; }

bool PenStyled(TPen& Pen) { return Pen.Style() != psSolid && Pen.Style() != psInsideFrame && Pen.Style() != psClear; }

// Gaps of a styled pen take the background colour when it is opaque.
void SetGapMode(QPainter& P, TCanvas& Canvas)
{
    P.setBackgroundMode(PenStyled(*Canvas.Pen()) && Canvas.BackgroundMode() == bkOpaque ? Qt::OpaqueMode : Qt::TransparentMode);
}

struct TPatternWalker {
    const std::vector<int>& Runs;
    int Period = 0;
    int Pos = 0;
    explicit TPatternWalker(const std::vector<int>& R) : Runs(R)
    {
        for (int L : R)
            Period += L;
    }
    // True when the next pixel is "on"; advances.
    bool Next()
    {
        if (Period == 0)
            return true;
        int P = Pos % Period;
        ++Pos;
        for (size_t I = 0; I < Runs.size(); ++I) {
            if (P < Runs[I])
                return I % 2 == 0;
            P -= Runs[I];
        }
        return true;
    }
};

// Visits the pixels of the line A -> B without B: Pixel(X, Y, On) with On
// false for the gaps of the pattern.
template <typename F>
void WalkThinLine(QPoint A, QPoint B, TPatternWalker& Walker, F Pixel)
{
    const int Dx = std::abs(B.x() - A.x()), Dy = std::abs(B.y() - A.y());
    const int Sx = A.x() < B.x() ? 1 : -1, Sy = A.y() < B.y() ? 1 : -1;
    int Err = Dx - Dy;
    int X = A.x(), Y = A.y();
    const int Steps = std::max(Dx, Dy);
    for (int I = 0; I < Steps; ++I) {
        Pixel(X, Y, Walker.Next());
        const int E2 = 2 * Err;
        if (E2 > -Dy) {
            Err -= Dy;
            X += Sx;
        }
        if (E2 < Dx) {
            Err += Dx;
            Y += Sy;
        }
    }
}

// Pixels of the line A -> B without B, split into pen and gap pixels.
void ThinLine(QPoint A, QPoint B, TPatternWalker& Walker, QPolygon& On, QPolygon& Off)
{
    WalkThinLine(A, B, Walker, [&](int X, int Y, bool IsOn) { (IsOn ? On : Off) << QPoint(X, Y); });
}

QImage HatchImage(TBrushStyle Style, const QColor& Color)
{
    QImage I(8, 8, QImage::Format_ARGB32_Premultiplied);
    I.fill(0);
    const QRgb C = Color.rgb();
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 8; ++X) {
            bool Set = false;
            const bool H = Y == 4, V = X == 4, F = X == Y, B = X + Y == 7;
            switch (Style) {
            case bsHorizontal: Set = H; break;
            case bsVertical: Set = V; break;
            case bsFDiagonal: Set = F; break;
            case bsBDiagonal: Set = B; break;
            case bsCross: Set = H || V; break;
            case bsDiagCross: Set = F || B; break;
            default: break;
            }
            if (Set)
                I.setPixel(X, Y, C);
        }
    return I;
}

bool IsHatch(TBrushStyle S) { return S >= bsHorizontal && S <= bsDiagCross; }

QBrush MakeBrush(TBrush& Brush)
{
    if (Brush.Bitmap() && !Brush.Bitmap()->Empty())
        return QBrush(Brush.Bitmap()->Data()->Image);
    if (Brush.Style() == bsClear || Brush.Color() == clNone)
        return Qt::NoBrush;
    const QColor C = ToQColor(Brush.Color());
    if (IsHatch(Brush.Style()))
        return QBrush(HatchImage(Brush.Style(), C));
    return QBrush(C);
}

// Cosmetic: a one-pixel pen on a surface drawn pixel for pixel keeps Qt's
// one-pixel outline rules (a box of w covers w + 1 pixels).
QPen MakePen(TPen& Pen, bool Cosmetic = false)
{
    if (!PenVisible(Pen))
        return Qt::NoPen;
    const int W = std::max(1, Pen.Width());
    QPen P(ToQColor(Pen.Color()), Cosmetic && W == 1 ? 0 : W);
    switch (Pen.EndCap()) {
    case pecRound: P.setCapStyle(Qt::RoundCap); break;
    case pecSquare: P.setCapStyle(Qt::SquareCap); break;
    case pecFlat: P.setCapStyle(Qt::FlatCap); break;
    }
    switch (Pen.JoinStyle()) {
    case pjsRound: P.setJoinStyle(Qt::RoundJoin); break;
    case pjsBevel: P.setJoinStyle(Qt::BevelJoin); break;
    case pjsMiter: P.setJoinStyle(Qt::MiterJoin); break;
    }
    if (W <= 1) {
        P.setCapStyle(Cosmetic ? Qt::SquareCap : Qt::FlatCap);
        const auto& Runs = ThinPattern(Pen.Style());
        if (!Runs.empty())
            P.setDashPattern(QVector<qreal>(Runs.begin(), Runs.end()));
    } else {
        const QVector<qreal> Runs = WidePattern(Pen.Style());
        if (!Runs.isEmpty()) {
            P.setCapStyle(Qt::FlatCap);
            P.setDashPattern(Runs);
        }
    }
    return P;
}

uint32_t Rop2(TPenMode Mode, uint32_t P, uint32_t D)
{
    switch (Mode) {
    case pmBlack: return 0;
    case pmWhite: return 0xFFFFFF;
    case pmNop: return D;
    case pmNot: return ~D;
    case pmCopy: return P;
    case pmNotCopy: return ~P;
    case pmMergePenNot: return P | ~D;
    case pmMaskPenNot: return P & ~D;
    case pmMergeNotPen: return ~P | D;
    case pmMaskNotPen: return ~P & D;
    case pmMerge: return P | D;
    case pmNotMerge: return ~(P | D);
    case pmMask: return P & D;
    case pmNotMask: return ~(P & D);
    case pmXor: return P ^ D;
    case pmNotXor: return ~(P ^ D);
    }
    return P;
}

// cmSrcInvert on an image surface: Src, stretched over the logical Dest
// (mirrored as asked), XORed into every pixel of Image within the clip.
// False where the surface cannot mix pixels: the picture is then copied.
bool XorImage(QImage* Image, TCanvas& Canvas, const QImage& Src, const QRectF& Dest, bool FlipX, bool FlipY)
{
    if (!Image || Src.isNull())
        return false;
    const QImage::Format F = Image->format();
    if (F != QImage::Format_RGB32 && F != QImage::Format_ARGB32 && F != QImage::Format_ARGB32_Premultiplied)
        return false;
    const QRect Device = ToQTransform(Canvas.Transform()).mapRect(Dest).toRect();
    if (Device.isEmpty())
        return true;
    QRegion Area(Device.intersected(Image->rect()));
    TRegion Clip;
    if (Canvas.GetClipRegion(Clip))
        Area &= Clip.Data()->Region;
    const QImage S = Src.convertToFormat(QImage::Format_RGB32);
    for (const QRect& Q : Area) {
        for (int Y = Q.top(); Y <= Q.bottom(); ++Y) {
            int Sy = static_cast<int>(static_cast<long long>(Y - Device.top()) * S.height() / Device.height());
            if (FlipY)
                Sy = S.height() - 1 - Sy;
            const QRgb* SrcLine = reinterpret_cast<const QRgb*>(S.constScanLine(Sy));
            // Written in place, as the raster pen modes do.
            QRgb* Dst = reinterpret_cast<QRgb*>(const_cast<uchar*>(Image->constScanLine(Y)));
            for (int X = Q.left(); X <= Q.right(); ++X) {
                int Sx = static_cast<int>(static_cast<long long>(X - Device.left()) * S.width() / Device.width());
                if (FlipX)
                    Sx = S.width() - 1 - Sx;
                Dst[X] ^= SrcLine[Sx] & 0xFFFFFFu;
            }
        }
    }
    return true;
}

// The drawing box of a figure: Left..Right-1, Top..Bottom-1.
QRectF ShapeBox(const TRect& R)
{
    const QRect Q = QRect(std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::abs(R.Width()), std::abs(R.Height()));
    return QRectF(Q.left(), Q.top(), std::max(0, Q.width() - 1), std::max(0, Q.height() - 1));
}

// Point on the ellipse in Box along the radial from its centre through P.
double RadialAngle(const QRectF& Box, const TPoint& P)
{
    const QPointF C = Box.center();
    return std::atan2(-(P.Y - C.y()), P.X - C.x());
}

// Points of the arc of the ellipse in Box, counter-clockwise (on screen)
// from the radial through Start to the radial through End.
QPolygonF ArcPoints(const QRectF& Box, const TPoint& Start, const TPoint& End)
{
    const double Rx = Box.width() / 2.0, Ry = Box.height() / 2.0;
    const QPointF C = Box.center();
    auto Param = [&](double Theta) {
        // The ellipse parameter whose point lies on the radial at Theta.
        return std::atan2(Rx * std::sin(Theta), Ry * std::cos(Theta));
    };
    double T0 = Param(RadialAngle(Box, Start));
    double T1 = Param(RadialAngle(Box, End));
    double Sweep = T1 - T0;
    while (Sweep <= 1e-9)
        Sweep += 2 * Pi;
    const int Steps = std::max(8, static_cast<int>(std::ceil(Sweep * std::max(Rx, Ry) / 2.0)));
    QPolygonF Out;
    for (int I = 0; I <= Steps; ++I) {
        const double T = T0 + Sweep * I / Steps;
        Out << QPointF(C.x() + Rx * std::cos(T), C.y() - Ry * std::sin(T));
    }
    return Out;
}

struct TTextBlock {
    QFont Font;
    double Width = 0;
    int Ascent = 0;
    int Descent = 0;
};

// Measured through the canvas, which keeps what it measured per font.
// Without NeedWidth the width is left at 0 (a left-aligned text needs none).
TTextBlock LayoutText(TCanvas& Canvas, const std::string& Text, bool NeedWidth = true)
{
    TCanvasFont& F = Canvas.FontData();
    TTextBlock L;
    L.Font = F.Font;
    if (NeedWidth)
        L.Width = TextWidthIn(F, Text);
    L.Ascent = F.Ascent;
    L.Descent = F.Descent;
    return L;
}

// The glyphs of a text shaped in a font, kept per text and font: a chart
// draws the same labels in the same few fonts on every pass, and shaping is
// most of what drawing a short text costs. Drawn with drawGlyphRun at the
// baseline they give drawText's pixels (tests/platform/fastpaths_test.cpp).
struct TShapedText {
    QFont Font;
    bool RightToLeft = false;
    QList<QGlyphRun> Runs;
    qreal Ascent = 0;   // of the laid-out line: where the runs' baseline lies
};

const TShapedText& ShapedText(const QFont& Font, const std::string& Text, bool RightToLeft)
{
    auto& Cache = PerApplicationCache<std::unordered_map<std::string, std::vector<TShapedText>>>();
    constexpr size_t MaxTexts = 4096;
    auto It = Cache.find(Text);
    if (It != Cache.end()) {
        for (const TShapedText& T : It->second)
            if (T.Font == Font && T.RightToLeft == RightToLeft)
                return T;
    } else {
        if (Cache.size() >= MaxTexts)
            Cache.clear();
        It = Cache.emplace(Text, std::vector<TShapedText>()).first;
    }
    TShapedText T;
    T.Font = Font;
    T.RightToLeft = RightToLeft;
    QTextLayout Layout(QString::fromStdString(Text), Font);
    QTextOption Option;
    Option.setWrapMode(QTextOption::NoWrap);
    Option.setTextDirection(RightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    Layout.setTextOption(Option);
    Layout.beginLayout();
    QTextLine Line = Layout.createLine();
    if (Line.isValid())
        Line.setNumColumns(static_cast<int>(Text.size()) + 1);
    Layout.endLayout();
    if (Line.isValid())
        T.Ascent = Line.ascent();
    T.Runs = Layout.glyphRuns();
    It->second.push_back(std::move(T));
    return It->second.back();
}

// Where the text's baseline starts relative to the reference point, for the
// canvas's TA_* alignment.
QPointF TextOrigin(const TTextBlock& L, unsigned Align)
{
    double Ox = 0;
    if ((Align & TA_CENTER) == TA_CENTER)
        Ox = -std::floor(L.Width / 2);
    else if (Align & TA_RIGHT)
        Ox = -L.Width;
    double Baseline = L.Ascent;
    if ((Align & TA_BASELINE) == TA_BASELINE)
        Baseline = 0;
    else if (Align & TA_BOTTOM)
        Baseline = -L.Descent;
    return QPointF(Ox, Baseline);
}

}  // namespace

struct TCanvasSurface::TPathState {
    bool Open = false;
    QPainterPath Path;   // device coordinates
};

TCanvasSurface::TCanvasSurface(QImage* Image) : FImage(Image), FPath(std::make_unique<TPathState>()) {}

TCanvasSurface::TCanvasSurface(QPainter* Painter, QSize Size, int DpiX, int DpiY)
    : FExternal(Painter), FSize(Size), FDpiX(DpiX), FDpiY(DpiY), FPath(std::make_unique<TPathState>())
{
    if (Painter && Painter->device() && Painter->device()->devType() == QInternal::Image)
        FImage = static_cast<QImage*>(Painter->device());
}

TCanvasSurface::TCanvasSurface(QPaintDevice* Device) : FDevice(Device), FPath(std::make_unique<TPathState>())
{
    if (Device) {
        FSize = QSize(Device->width(), Device->height());
        FDpiX = Device->logicalDpiX();
        FDpiY = Device->logicalDpiY();
    }
}

TCanvasSurface::~TCanvasSurface() { Flush(); }

QPainter* TCanvasSurface::Painter()
{
    if (FExternal)
        return FExternal->isActive() ? FExternal : nullptr;
    if (FOwn)
        return FOwn.get();
    EnsureApplication();
    QPaintDevice* D = FImage ? static_cast<QPaintDevice*>(FImage) : FDevice;
    if (!D || (FImage && FImage->isNull()))
        return nullptr;
    auto P = std::make_unique<QPainter>();
    if (!P->begin(D))
        return nullptr;
    FOwn = std::move(P);
    return FOwn.get();
}

void TCanvasSurface::Flush()
{
    if (FOwn) {
        FOwn->end();
        FOwn.reset();
    }
}

void TCanvasSurface::SetPainter(QPainter* Painter)
{
    FExternal = Painter;
    FRestingPainter = nullptr;
}

QSize TCanvasSurface::Size() const
{
    if (FImage && !FExternal)
        return FImage->size();
    return FSize;
}

int TCanvasSurface::DpiX() const { return FDpiX; }
int TCanvasSurface::DpiY() const { return FDpiY; }
bool TCanvasSurface::RasterModes() const { return FImage != nullptr; }

TColor TCanvasSurface::GetPixel(int X, int Y)
{
    if (!FImage || X < 0 || Y < 0 || X >= FImage->width() || Y >= FImage->height())
        return clNone;
    const QRgb C = reinterpret_cast<const QRgb*>(FImage->constScanLine(Y))[X];
    return RGB(qRed(C), qGreen(C), qBlue(C));
}

void TCanvasSurface::Notify(const QRect& R)
{
    if (!OnPainted)
        return;
    const QRect Clipped = R.intersected(QRect(QPoint(0, 0), Size()));
    if (!Clipped.isEmpty())
        OnPainted(Clipped);
}

void TCanvasSurface::Setup(QPainter& P, TCanvas& Canvas, QPoint Offset)
{
    P.setRenderHint(QPainter::Antialiasing, false);
    P.setRenderHint(QPainter::SmoothPixmapTransform, false);
    TRegion Clip;
    if (Canvas.GetClipRegion(Clip))
        P.setClipRegion(Clip.Data()->Region.translated(-Offset), FExternal && &P == FExternal ? Qt::IntersectClip : Qt::ReplaceClip);
    QTransform T = ToQTransform(Canvas.Transform());
    if (!Offset.isNull())
        T *= QTransform::fromTranslate(-Offset.x(), -Offset.y());
    P.setWorldTransform(T, FExternal && &P == FExternal);
    // Opaque mode only where it is needed (gaps of styled pens): Qt
    // rasterises outlines differently in it.
    P.setBackgroundMode(Qt::TransparentMode);
    P.setBackground(ToQColor(Canvas.BackgroundColor()));
}

namespace {

// Fills Path with the canvas brush; a hatch on an opaque background first
// gets the background colour.
void FillWithBrush(QPainter& P, TCanvas& Canvas, const QPainterPath& Path)
{
    TBrush& Brush = *Canvas.Brush();
    const QBrush B = MakeBrush(Brush);
    if (B.style() == Qt::NoBrush)
        return;
    if (IsHatch(Brush.Style()) && !Brush.Bitmap() && Canvas.BackgroundMode() == bkOpaque)
        P.fillPath(Path, ToQColor(Canvas.BackgroundColor()));
    P.fillPath(Path, B);
}

// Strokes the figure through Points (closed when Closed) with the canvas pen.
// Paints the points in Color. Points that follow each other along a row or
// a column are painted as one rectangle: the same pixels, each painted as
// often as in the list, at a fraction of the cost per pixel.
void PaintPixelRuns(QPainter& P, const QPolygon& Points, const QColor& Color)
{
    const int N = static_cast<int>(Points.size());
    int I = 0;
    while (I < N) {
        const QPoint A = Points[I];
        int J = I + 1;
        int DX = 0, DY = 0;
        if (J < N) {
            const QPoint B = Points[J];
            if (B.y() == A.y() && std::abs(B.x() - A.x()) == 1)
                DX = B.x() - A.x();
            else if (B.x() == A.x() && std::abs(B.y() - A.y()) == 1)
                DY = B.y() - A.y();
        }
        if (DX != 0 || DY != 0)
            while (J < N && Points[J] == QPoint(A.x() + DX * (J - I), A.y() + DY * (J - I)))
                ++J;
        else
            J = I + 1;
        const QPoint Z = Points[J - 1];
        P.fillRect(QRect(QPoint(std::min(A.x(), Z.x()), std::min(A.y(), Z.y())),
                         QPoint(std::max(A.x(), Z.x()), std::max(A.y(), Z.y()))),
                   Color);
        I = J;
    }
}

void StrokePoints(QPainter& P, TCanvas& Canvas, const std::vector<QPoint>& Points, bool Closed)
{
    TPen& Pen = *Canvas.Pen();
    if (!PenVisible(Pen) || Points.empty())
        return;
    if (Pen.Width() <= 1 && IsPixelExact(Canvas.Transform())) {
        TPatternWalker Walker(ThinPattern(Pen.Style()));
        QPolygon On, Off;
        for (size_t I = 0; I + 1 < Points.size(); ++I)
            ThinLine(Points[I], Points[I + 1], Walker, On, Off);
        if (Closed && Points.size() > 1)
            ThinLine(Points.back(), Points.front(), Walker, On, Off);
        // A closed figure shrunk to one point (a 1 x 1 rectangle) shows it.
        if (Closed && On.isEmpty() && Off.isEmpty())
            On << Points.front();
        if (!Off.isEmpty() && Canvas.BackgroundMode() == bkOpaque)
            PaintPixelRuns(P, Off, ToQColor(Canvas.BackgroundColor()));
        if (!On.isEmpty())
            PaintPixelRuns(P, On, ToQColor(Pen.Color()));
        return;
    }
    QPainterPath Path;
    Path.moveTo(Points.front());
    for (size_t I = 1; I < Points.size(); ++I)
        Path.lineTo(Points[I]);
    if (Closed)
        Path.closeSubpath();
    P.save();
    SetGapMode(P, Canvas);
    P.strokePath(Path, MakePen(Pen));
    P.restore();
}

void StrokePath(QPainter& P, TCanvas& Canvas, const QPainterPath& Path)
{
    TPen& Pen = *Canvas.Pen();
    if (!PenVisible(Pen))
        return;
    P.save();
    SetGapMode(P, Canvas);
    P.strokePath(Path, MakePen(Pen, IsPixelExact(Canvas.Transform())));
    P.restore();
}

// Fills and outlines a figure that Qt draws itself (ellipses, rounded
// rectangles): Qt's own outline rules give the box of w x h pixels that
// leaves out the right and bottom edge.
template <typename F>
void DrawFigure(QPainter& P, TCanvas& Canvas, F Draw)
{
    TBrush& Brush = *Canvas.Brush();
    const QBrush B = MakeBrush(Brush);
    P.save();
    P.setPen(Qt::NoPen);
    if (B.style() != Qt::NoBrush) {
        if (IsHatch(Brush.Style()) && !Brush.Bitmap() && Canvas.BackgroundMode() == bkOpaque) {
            P.setBrush(ToQColor(Canvas.BackgroundColor()));
            Draw(P);
        }
        P.setBrush(B);
        Draw(P);
    }
    if (PenVisible(*Canvas.Pen())) {
        P.setBrush(Qt::NoBrush);
        P.setPen(MakePen(*Canvas.Pen(), IsPixelExact(Canvas.Transform())));
        SetGapMode(P, Canvas);
        Draw(P);
    }
    P.restore();
}

// A thin-pen rounded rectangle (an ellipse when the corners take the whole
// box) pixel for pixel: outline and fill stay inside Left..Right-1 x
// Top..Bottom-1 and touch every side. Rx, Ry: radii of the corners.
void PixelRoundRect(QPainter& P, TCanvas& Canvas, const TRect& R, double Rx, double Ry)
{
    const int X0 = std::min(R.Left, R.Right), X1 = std::max(R.Left, R.Right) - 1;
    const int Y0 = std::min(R.Top, R.Bottom), Y1 = std::max(R.Top, R.Bottom) - 1;
    if (X1 < X0 || Y1 < Y0)
        return;
    const double A = std::min(std::abs(Rx), (X1 - X0) / 2.0);
    const double B = std::min(std::abs(Ry), (Y1 - Y0) / 2.0);
    // Extent of the shape across a row (or, swapped, down a column).
    auto Span = [](int V, int V0, int V1, double Radius, int W0, int W1, double OtherRadius, double& Lo, double& Hi) {
        double C;
        if (V < V0 + Radius)
            C = V0 + Radius;
        else if (V > V1 - Radius)
            C = V1 - Radius;
        else {
            Lo = W0;
            Hi = W1;
            return;
        }
        const double D = Radius > 0 ? (V - C) / Radius : 0;
        const double T = 1.0 - D * D;
        const double Half = T <= 0 ? 0.0 : OtherRadius * std::sqrt(T);
        Lo = W0 + OtherRadius - Half;
        Hi = W1 - OtherRadius + Half;
    };
    QPainterPath Fill;
    for (int Y = Y0; Y <= Y1; ++Y) {
        double Lo, Hi;
        Span(Y, Y0, Y1, B, X0, X1, A, Lo, Hi);
        const int L = static_cast<int>(std::ceil(Lo - 1e-9)), Rr = static_cast<int>(std::floor(Hi + 1e-9));
        if (Rr >= L)
            Fill.addRect(L, Y, Rr - L + 1, 1);
    }
    FillWithBrush(P, Canvas, Fill);
    TPen& Pen = *Canvas.Pen();
    if (!PenVisible(Pen))
        return;
    QPolygon Outline;
    for (int X = X0; X <= X1; ++X) {
        double Lo, Hi;
        Span(X, X0, X1, A, Y0, Y1, B, Lo, Hi);
        Outline << QPoint(X, static_cast<int>(std::lround(Lo))) << QPoint(X, static_cast<int>(std::lround(Hi)));
    }
    for (int Y = Y0; Y <= Y1; ++Y) {
        double Lo, Hi;
        Span(Y, Y0, Y1, B, X0, X1, A, Lo, Hi);
        Outline << QPoint(static_cast<int>(std::lround(Lo)), Y) << QPoint(static_cast<int>(std::lround(Hi)), Y);
    }
    P.save();
    P.setPen(QPen(ToQColor(Pen.Color()), 0));
    P.drawPoints(Outline);
    P.restore();
}

std::vector<QPoint> ToQPoints(const std::vector<TPoint>& Pts)
{
    std::vector<QPoint> Out;
    Out.reserve(Pts.size());
    for (const TPoint& P : Pts)
        Out.emplace_back(P.X, P.Y);
    return Out;
}

QPainterPath PolygonPath(const std::vector<TPoint>& Pts)
{
    QPolygonF Poly;
    for (const TPoint& P : Pts)
        Poly << QPointF(P.X, P.Y);
    QPainterPath Path;
    Path.setFillRule(Qt::OddEvenFill);
    Path.addPolygon(Poly);
    Path.closeSubpath();
    return Path;
}

// The box of Rectangle/Ellipse/RoundRect, moved in for psInsideFrame.
QRectF FrameBox(TCanvas& Canvas, const TRect& R)
{
    QRectF Box = ShapeBox(R);
    TPen& Pen = *Canvas.Pen();
    if (Pen.Style() == psInsideFrame && Pen.Width() > 1) {
        const double H = (Pen.Width() - 1) / 2.0;
        Box.adjust(H, H, -H, -H);
    }
    return Box;
}

// The outline of an arc-like figure, in logical coordinates.
QPainterPath ArcPath(const TCanvasOp& Op)
{
    const QRectF Box = ShapeBox(Op.R);
    const QPolygonF Arc = ArcPoints(Box, Op.Pts[0], Op.Pts[1]);
    QPainterPath Path;
    Path.setFillRule(Qt::OddEvenFill);
    if (Op.Kind == TCanvasOp::opPie) {
        Path.moveTo(Box.center());
        Path.lineTo(Arc.front());
    } else {
        Path.moveTo(Arc.front());
    }
    for (int I = 1; I < Arc.size(); ++I)
        Path.lineTo(Arc[I]);
    if (Op.Kind != TCanvasOp::opArc)
        Path.closeSubpath();
    return Path;
}

// Logical bounds of a figure operation (text excluded).
QRectF OpBounds(const TCanvasOp& Op)
{
    QRectF B;
    if (!Op.Pts.empty() && Op.Kind != TCanvasOp::opArc && Op.Kind != TCanvasOp::opPie && Op.Kind != TCanvasOp::opChord) {
        double L = Op.Pts[0].X, T = Op.Pts[0].Y, R = L, Bt = T;
        for (const TPoint& P : Op.Pts) {
            L = std::min<double>(L, P.X);
            R = std::max<double>(R, P.X);
            T = std::min<double>(T, P.Y);
            Bt = std::max<double>(Bt, P.Y);
        }
        B = QRectF(QPointF(L, T), QPointF(R + 1, Bt + 1));
    } else {
        B = QRectF(QPointF(std::min(Op.R.Left, Op.R.Right), std::min(Op.R.Top, Op.R.Bottom)),
                   QPointF(std::max(Op.R.Left, Op.R.Right), std::max(Op.R.Top, Op.R.Bottom)));
    }
    return B;
}

}  // namespace

void TCanvasSurface::PaintShape(TCanvas& Canvas, const TCanvasOp& Op, QPainter& P)
{
    switch (Op.Kind) {
    case TCanvasOp::opLine:
    case TCanvasOp::opPolyline:
        StrokePoints(P, Canvas, ToQPoints(Op.Pts), false);
        break;
    case TCanvasOp::opPolyBezier: {
        if (Op.Pts.size() < 4)
            break;
        QPainterPath Path;
        Path.moveTo(Op.Pts[0].X, Op.Pts[0].Y);
        for (size_t I = 1; I + 2 < Op.Pts.size(); I += 3)
            Path.cubicTo(Op.Pts[I].X, Op.Pts[I].Y, Op.Pts[I + 1].X, Op.Pts[I + 1].Y, Op.Pts[I + 2].X, Op.Pts[I + 2].Y);
        StrokePath(P, Canvas, Path);
        break;
    }
    case TCanvasOp::opPolygon:
        if (Op.Pts.size() >= 2)
            FillWithBrush(P, Canvas, PolygonPath(Op.Pts));
        StrokePoints(P, Canvas, ToQPoints(Op.Pts), true);
        break;
    case TCanvasOp::opRectangle: {
        const QRect Q = ShapeBox(Op.R).toRect();
        QPainterPath Fill;
        Fill.addRect(ShapeBox(Op.R));
        FillWithBrush(P, Canvas, Fill);
        if (Q.width() >= 0 && Q.height() >= 0 && !(Op.R.Width() == 0 || Op.R.Height() == 0)) {
            TPen& Pen = *Canvas.Pen();
            if (Pen.Width() > 1) {
                QPainterPath Frame;
                Frame.addRect(FrameBox(Canvas, Op.R));
                StrokePath(P, Canvas, Frame);
            } else {
                StrokePoints(P, Canvas,
                             {Q.topLeft(), QPoint(Q.left() + Q.width(), Q.top()),
                              QPoint(Q.left() + Q.width(), Q.top() + Q.height()), QPoint(Q.left(), Q.top() + Q.height())},
                             true);
            }
        }
        break;
    }
    case TCanvasOp::opRoundRect: {
        TPen& Pen = *Canvas.Pen();
        if (IsPixelExact(Canvas.Transform()) && Pen.Width() <= 1 && !PenStyled(Pen)) {
            PixelRoundRect(P, Canvas, Op.R, Op.A / 2.0, Op.B / 2.0);
            break;
        }
        const QRectF Box = FrameBox(Canvas, Op.R);
        const double Rx = std::abs(Op.A) / 2.0, Ry = std::abs(Op.B) / 2.0;
        DrawFigure(P, Canvas, [&](QPainter& Q) { Q.drawRoundedRect(Box, Rx, Ry); });
        break;
    }
    case TCanvasOp::opEllipse: {
        TPen& Pen = *Canvas.Pen();
        if (IsPixelExact(Canvas.Transform()) && Pen.Width() <= 1 && !PenStyled(Pen)) {
            PixelRoundRect(P, Canvas, Op.R, std::abs(Op.R.Width()), std::abs(Op.R.Height()));
            break;
        }
        const QRectF Box = FrameBox(Canvas, Op.R);
        DrawFigure(P, Canvas, [&](QPainter& Q) { Q.drawEllipse(Box); });
        break;
    }
    case TCanvasOp::opArc:
    case TCanvasOp::opPie:
    case TCanvasOp::opChord: {
        if (Op.Pts.size() < 2 || Op.R.Width() == 0 || Op.R.Height() == 0)
            break;
        const QPainterPath Path = ArcPath(Op);
        if (Op.Kind != TCanvasOp::opArc)
            FillWithBrush(P, Canvas, Path);
        StrokePath(P, Canvas, Path);
        break;
    }
    default:
        break;
    }
}

void TCanvasSurface::PaintText(TCanvas& Canvas, const TCanvasOp& Op, QPainter& P, QRect& Touched)
{
    const QString Text = QString::fromStdString(Op.Text);
    const TTextBlock L = LayoutText(Canvas, Op.Text);
    const QColor Color = ToQColor(Canvas.Font()->Color());
    const bool Opaque = Canvas.BackgroundMode() == bkOpaque;
    const QColor Back = ToQColor(Canvas.BackgroundColor());
    P.setFont(L.Font);
    P.setBackgroundMode(Qt::TransparentMode);

    if (Op.Kind == TCanvasOp::opTextRectFormat) {
        const QRectF Box = QRectF(QRect(Op.R.Left, Op.R.Top, Op.R.Width(), Op.R.Height()));
        const unsigned F = static_cast<unsigned>(Op.A);
        int Flags = 0;
        Flags |= (F & tfRight) ? Qt::AlignRight : (F & tfCenter) ? Qt::AlignHCenter : Qt::AlignLeft;
        Flags |= (F & tfBottom) ? Qt::AlignBottom : (F & tfVerticalCenter) ? Qt::AlignVCenter : Qt::AlignTop;
        QString Shown = Text;
        if (F & tfWordBreak)
            Flags |= Qt::TextWordWrap;
        if (F & tfEndEllipsis)
            Shown = QFontMetrics(L.Font).elidedText(Text, Qt::ElideRight, static_cast<int>(Box.width()));
        if (!(F & tfNoClip))
            P.setClipRect(Box, Qt::IntersectClip);
        if (Opaque) {
            const QRectF Used = P.boundingRect(Box, Flags, Shown);
            P.fillRect(Used, Back);
        }
        P.setPen(Color);
        P.drawText(Box, Flags, Shown);
        Touched = P.worldTransform().mapRect(Box).toAlignedRect();
        return;
    }

    const int X = Op.Pts.empty() ? 0 : Op.Pts[0].X;
    const int Y = Op.Pts.empty() ? 0 : Op.Pts[0].Y;
    const QPointF Origin = TextOrigin(L, Canvas.TextAlign());
    const double Ox = Origin.x();
    const double Baseline = Origin.y();

    if (Op.Kind == TCanvasOp::opTextRect) {
        const QRectF Box(QRect(Op.R.Left, Op.R.Top, Op.R.Width(), Op.R.Height()));
        P.setClipRect(Box, Qt::IntersectClip);
        if (Opaque)
            P.fillRect(Box, Back);
        Touched = P.worldTransform().mapRect(Box).toAlignedRect();
    }
    P.translate(X, Y);
    const int Orientation = Canvas.Font()->Orientation();
    if (Orientation != 0)
        P.rotate(-Orientation / 10.0);
    const QRectF Cell(Ox, Baseline - L.Ascent, L.Width, L.Ascent + L.Descent);
    if (Opaque && Op.Kind == TCanvasOp::opTextOut)
        P.fillRect(Cell, Back);
    P.setPen(Color);
    // Underlines and strike-outs are placed a little differently on glyph
    // runs: decorated text is shaped by drawText each time.
    const bool Decorated = L.Font.underline() || L.Font.strikeOut() || L.Font.overline();
    const bool RightToLeft = (Canvas.TextAlign() & TA_RTLREADING) != 0;
    if (Op.Kind == TCanvasOp::opTextOut && !Decorated && !Op.Text.empty() && Op.Text.find('\n') == std::string::npos) {
        const TShapedText& Shaped = ShapedText(L.Font, Op.Text, RightToLeft);
        for (const QGlyphRun& Run : Shaped.Runs)
            P.drawGlyphRun(QPointF(Ox, Baseline - Shaped.Ascent), Run);
    } else {
        P.setLayoutDirection(RightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        P.drawText(QPointF(Ox, Baseline), Text);
    }
    if (Op.Kind == TCanvasOp::opTextOut)
        Touched = P.worldTransform().mapRect(Cell).toAlignedRect().adjusted(-2, -2, 2, 2);
}

bool TCanvasSurface::PaintPrintedText(TCanvas& Canvas, const TCanvasOp& Op, QPainter& P)
{
    // A print job writes every change of its painter's state to the page:
    // the save, transform and restore around each text would be most of
    // what a list of labels writes and costs. A text that needs none of it
    // (no transform, clip, rotation, decoration, background, right-to-left
    // reading or line breaks) is drawn where the painter rests, with the
    // same font, colour and origin.
    if (!FExternal || &P != FExternal || !P.paintEngine() || P.paintEngine()->type() != QPaintEngine::Pdf)
        return false;
    if (Op.Text.empty() || Op.Pts.empty() || Op.Text.find('\n') != std::string::npos)
        return false;
    TFont& F = *Canvas.Font();
    if (F.Orientation() != 0 || F.Style().Contains(fsUnderline) || F.Style().Contains(fsStrikeOut))
        return false;
    if (Canvas.BackgroundMode() == bkOpaque || (Canvas.TextAlign() & TA_RTLREADING) || !Canvas.Transform().IsIdentity() ||
        P.backgroundMode() != Qt::TransparentMode)
        return false;
    TRegion Clip;
    if (Canvas.GetClipRegion(Clip))
        return false;
    // A left-aligned text starts at its reference point: it is measured
    // only for somebody who follows what is painted.
    const unsigned Align = Canvas.TextAlign();
    const TTextBlock L = LayoutText(Canvas, Op.Text, (Align & TA_CENTER) != TA_LEFT || OnPainted);
    if (L.Font.underline() || L.Font.strikeOut() || L.Font.overline())
        return false;
    // The font and pen stay on the painter from one text to the next
    // (whatever else is drawn saves and restores around itself): changed
    // only when they differ.
    const bool Resting = FRestingPainter == &P;
    FRestingPainter = &P;
    if (!Resting || !(FRestingFont == L.Font)) {
        P.setFont(L.Font);
        FRestingFont = L.Font;
    }
    const TColor Color = F.Color();
    if (!Resting || Color != FRestingColor) {
        P.setPen(ToQColor(Color));
        FRestingColor = Color;
    }
    if (P.layoutDirection() != Qt::LeftToRight)
        P.setLayoutDirection(Qt::LeftToRight);
    const QPointF Origin = TextOrigin(L, Align);
    const int X = Op.Pts[0].X, Y = Op.Pts[0].Y;
    P.drawText(QPointF(X + Origin.x(), Y + Origin.y()), QString::fromStdString(Op.Text));
    if (OnPainted) {
        const QRectF Cell(X + Origin.x(), Y + Origin.y() - L.Ascent, L.Width, L.Ascent + L.Descent);
        Notify(P.worldTransform().mapRect(Cell).toAlignedRect().adjusted(-2, -2, 2, 2));
    }
    return true;
}

void TCanvasSurface::PaintPathOp(TCanvas& Canvas, const TCanvasOp& Op)
{
    TPathState& S = *FPath;
    switch (Op.Kind) {
    case TCanvasOp::opBeginPath:
        S.Open = true;
        S.Path = QPainterPath();
        S.Path.setFillRule(Qt::OddEvenFill);
        return;
    case TCanvasOp::opEndPath:
        S.Open = false;
        return;
    case TCanvasOp::opAbortPath:
        S.Open = false;
        S.Path = QPainterPath();
        return;
    case TCanvasOp::opCloseFigure:
        if (S.Open)
            S.Path.closeSubpath();
        return;
    case TCanvasOp::opWidenPath: {
        if (S.Open || S.Path.isEmpty())
            return;
        const TCanvasTransform& T = Canvas.Transform();
        QPainterPathStroker Stroker;
        Stroker.setWidth(std::max(1.0, std::max(1, Canvas.Pen()->Width()) * (std::abs(T.ScaleX) + std::abs(T.ScaleY)) / 2.0));
        const QPen Pen = MakePen(*Canvas.Pen());
        Stroker.setCapStyle(Pen.capStyle());
        Stroker.setJoinStyle(Pen.joinStyle());
        S.Path = Stroker.createStroke(S.Path);
        S.Path.setFillRule(Qt::WindingFill);
        return;
    }
    case TCanvasOp::opClipPath: {
        if (S.Open)
            return;
        const QRegion R = PathToRegion(S.Path);
        S.Path = QPainterPath();
        Canvas.ApplyClip(FromQRegion(R), static_cast<TRegionCombine>(Op.A));
        return;
    }
    case TCanvasOp::opStrokePath:
    case TCanvasOp::opFillPath:
    case TCanvasOp::opStrokeAndFillPath: {
        if (S.Open)
            return;
        const QPainterPath Path = S.Path;
        S.Path = QPainterPath();
        QPainter* P = Painter();
        if (!P || Path.isEmpty())
            return;
        P->save();
        Setup(*P, Canvas, QPoint());
        // The path is in device coordinates already; pen widths still scale.
        const QTransform T = ToQTransform(Canvas.Transform());
        P->setWorldTransform(QTransform(), FExternal == P);
        if (Op.Kind != TCanvasOp::opStrokePath) {
            QPainterPath Inverse = T.inverted().map(Path);
            P->setWorldTransform(T, FExternal == P);
            FillWithBrush(*P, Canvas, Inverse);
        }
        if (Op.Kind != TCanvasOp::opFillPath) {
            P->setWorldTransform(T, FExternal == P);
            StrokePath(*P, Canvas, T.inverted().map(Path));
        }
        P->restore();
        Notify(Path.boundingRect().toAlignedRect().adjusted(-Canvas.Pen()->Width() - 2, -Canvas.Pen()->Width() - 2,
                                                           Canvas.Pen()->Width() + 2, Canvas.Pen()->Width() + 2));
        return;
    }
    default:
        return;
    }
}

void TCanvasSurface::AddToPath(TCanvas& Canvas, const TCanvasOp& Op)
{
    QPainterPath Figure;
    switch (Op.Kind) {
    case TCanvasOp::opLine:
    case TCanvasOp::opPolyline: {
        if (Op.Pts.empty())
            return;
        const QTransform T = ToQTransform(Canvas.Transform());
        const QPointF Start = T.map(QPointF(Op.Pts[0].X, Op.Pts[0].Y));
        if (FPath->Path.elementCount() == 0 || FPath->Path.currentPosition() != Start)
            FPath->Path.moveTo(Start);
        for (size_t I = 1; I < Op.Pts.size(); ++I)
            FPath->Path.lineTo(T.map(QPointF(Op.Pts[I].X, Op.Pts[I].Y)));
        return;
    }
    case TCanvasOp::opPolyBezier: {
        if (Op.Pts.size() < 4)
            return;
        const QTransform T = ToQTransform(Canvas.Transform());
        auto M = [&](size_t I) { return T.map(QPointF(Op.Pts[I].X, Op.Pts[I].Y)); };
        if (FPath->Path.elementCount() == 0 || FPath->Path.currentPosition() != M(0))
            FPath->Path.moveTo(M(0));
        for (size_t I = 1; I + 2 < Op.Pts.size(); I += 3)
            FPath->Path.cubicTo(M(I), M(I + 1), M(I + 2));
        return;
    }
    case TCanvasOp::opPolygon: Figure = PolygonPath(Op.Pts); break;
    case TCanvasOp::opRectangle: Figure.addRect(ShapeBox(Op.R)); break;
    case TCanvasOp::opRoundRect: Figure.addRoundedRect(ShapeBox(Op.R), std::abs(Op.A) / 2.0, std::abs(Op.B) / 2.0); break;
    case TCanvasOp::opEllipse: Figure.addEllipse(ShapeBox(Op.R)); break;
    case TCanvasOp::opArc:
    case TCanvasOp::opPie:
    case TCanvasOp::opChord:
        if (Op.Pts.size() < 2)
            return;
        Figure = ArcPath(Op);
        break;
    case TCanvasOp::opTextOut: {
        if (Op.Pts.empty())
            return;
        const QString Text = QString::fromStdString(Op.Text);
        const TTextBlock L = LayoutText(Canvas, Op.Text);
        QPainterPath Glyphs;
        Glyphs.addText(TextOrigin(L, Canvas.TextAlign()), L.Font, Text);
        QTransform Local;
        Local.translate(Op.Pts[0].X, Op.Pts[0].Y);
        if (Canvas.Font()->Orientation() != 0)
            Local.rotate(-Canvas.Font()->Orientation() / 10.0);
        Figure = Local.map(Glyphs);
        break;
    }
    default:
        return;
    }
    FPath->Path.addPath(ToQTransform(Canvas.Transform()).map(Figure));
}

void TCanvasSurface::Paint(TCanvas& Canvas, const TCanvasOp& Op)
{
    switch (Op.Kind) {
    case TCanvasOp::opClipRegion:
    case TCanvasOp::opClipNone:
        return;   // the canvas keeps the clip; it is applied per operation
    case TCanvasOp::opBeginPath:
    case TCanvasOp::opEndPath:
    case TCanvasOp::opAbortPath:
    case TCanvasOp::opCloseFigure:
    case TCanvasOp::opStrokePath:
    case TCanvasOp::opFillPath:
    case TCanvasOp::opStrokeAndFillPath:
    case TCanvasOp::opWidenPath:
    case TCanvasOp::opClipPath:
        PaintPathOp(Canvas, Op);
        return;
    default:
        break;
    }
    if (FPath->Open) {
        AddToPath(Canvas, Op);
        return;
    }
    QPainter* P = Painter();
    if (!P)
        return;

    if (Op.Kind == TCanvasOp::opLine && PaintThinLine(Canvas, Op))
        return;
    if (Op.Kind == TCanvasOp::opRectangle && PaintPlainRectangle(Canvas, Op))
        return;

    const QTransform T = ToQTransform(Canvas.Transform());
    const bool Text = Op.Kind == TCanvasOp::opTextOut || Op.Kind == TCanvasOp::opTextRect || Op.Kind == TCanvasOp::opTextRectFormat;
    const bool Figure = !Text && Op.Kind != TCanvasOp::opFillRect && Op.Kind != TCanvasOp::opFrameRect &&
                        Op.Kind != TCanvasOp::opSetPixel && Op.Kind != TCanvasOp::opStretchDraw;
    const int PenExtra = static_cast<int>(std::ceil(std::max(1, Canvas.Pen()->Width()) * std::max(std::abs(Canvas.Transform().ScaleX), std::abs(Canvas.Transform().ScaleY)))) + 2;
    QRect Touched;
    if (!Text)
        Touched = T.mapRect(OpBounds(Op)).toAlignedRect().adjusted(-PenExtra, -PenExtra, PenExtra, PenExtra);

    const TPenMode Mode = Canvas.Pen()->Mode();
    if (Figure && Mode != pmCopy && RasterModes()) {
        // Paint the figure into a scratch image, then mix each painted pixel
        // into the surface with the pen's raster operation.
        QRect Box = Touched.intersected(QRect(QPoint(0, 0), FImage->size()));
        TRegion Clip;
        if (Canvas.GetClipRegion(Clip))
            Box = Box.intersected(Clip.Data()->Region.boundingRect());
        if (Box.isEmpty())
            return;
        QImage Mask(Box.size(), QImage::Format_ARGB32_Premultiplied);
        Mask.fill(0);
        {
            QPainter M(&Mask);
            Setup(M, Canvas, Box.topLeft());
            PaintShape(Canvas, Op, M);
        }
        for (int Y = 0; Y < Box.height(); ++Y) {
            const QRgb* Src = reinterpret_cast<const QRgb*>(Mask.constScanLine(Y));
            // Written in place: the painter over the image (if any) paints
            // into the same pixels and keeps no copy of them.
            QRgb* Dst = reinterpret_cast<QRgb*>(const_cast<uchar*>(FImage->constScanLine(Box.top() + Y))) + Box.left();
            for (int X = 0; X < Box.width(); ++X) {
                if (qAlpha(Src[X]) == 0)
                    continue;
                const uint32_t Pen = Src[X] & 0xFFFFFFu;
                Dst[X] = 0xFF000000u | (Rop2(Mode, Pen, Dst[X] & 0xFFFFFFu) & 0xFFFFFFu);
            }
        }
        Notify(Box);
        return;
    }

    if (Op.Kind == TCanvasOp::opStretchDraw && Op.B == 1 && Op.Image && FImage && FOwn && !FExternal) {
        // The painter over the image rests (no transform, no clip): the
        // pixels may go straight into the image.
        Op.Image->Data()->Flush();
        QRect Keyed;
        if (BlitKeyed(*FImage, Canvas, Op, Keyed)) {
            Notify(Keyed);
            return;
        }
    }

    if (Op.Kind == TCanvasOp::opTextOut && PaintPrintedText(Canvas, Op, *P))
        return;
    P->save();
    Setup(*P, Canvas, QPoint());
    switch (Op.Kind) {
    case TCanvasOp::opTextOut:
    case TCanvasOp::opTextRect:
    case TCanvasOp::opTextRectFormat:
        PaintText(Canvas, Op, *P, Touched);
        break;
    case TCanvasOp::opFillRect: {
        const QRect Q(std::min(Op.R.Left, Op.R.Right), std::min(Op.R.Top, Op.R.Bottom), std::abs(Op.R.Width()), std::abs(Op.R.Height()));
        if (!Q.isEmpty()) {
            QPainterPath Path;
            Path.addRect(QRectF(Q));
            FillWithBrush(*P, Canvas, Path);
        }
        break;
    }
    case TCanvasOp::opFrameRect: {
        const QRect Q(std::min(Op.R.Left, Op.R.Right), std::min(Op.R.Top, Op.R.Bottom), std::abs(Op.R.Width()), std::abs(Op.R.Height()));
        if (Q.isEmpty())
            break;
        const QBrush B = Canvas.Brush()->Style() == bsClear ? QBrush(ToQColor(Canvas.Brush()->Color())) : MakeBrush(*Canvas.Brush());
        QPainterPath Path;
        Path.setFillRule(Qt::OddEvenFill);
        Path.addRect(QRectF(Q));
        if (Q.width() > 2 && Q.height() > 2)
            Path.addRect(QRectF(Q.adjusted(1, 1, -1, -1)));
        P->fillPath(Path, B);
        break;
    }
    case TCanvasOp::opSetPixel:
        if (!Op.Pts.empty())
            P->fillRect(QRectF(Op.Pts[0].X, Op.Pts[0].Y, 1, 1), ToQColor(Op.A));
        break;
    case TCanvasOp::opStretchDraw: {
        if (!Op.Image || Op.Image->Empty())
            break;
        Op.Image->Data()->Flush();
        const QImage& Src = Op.Image->Data()->Image;
        // A reversed rectangle mirrors the picture over the same pixels.
        const bool FlipX = Op.R.Right < Op.R.Left, FlipY = Op.R.Bottom < Op.R.Top;
        const QRectF Dest(QPointF(std::min(Op.R.Left, Op.R.Right), std::min(Op.R.Top, Op.R.Bottom)),
                          QPointF(std::max(Op.R.Left, Op.R.Right), std::max(Op.R.Top, Op.R.Bottom)));
        if (Canvas.CopyMode() == cmSrcInvert && XorImage(FImage, Canvas, Src, Dest, FlipX, FlipY))
            break;
        if (FlipX || FlipY)
            P->setWorldTransform(QTransform(FlipX ? -1 : 1, 0, 0, FlipY ? -1 : 1, FlipX ? Dest.left() + Dest.right() : 0,
                                            FlipY ? Dest.top() + Dest.bottom() : 0),
                                 true);
        if (Op.A < 255)
            P->setOpacity(Op.A / 255.0);
        if (Op.B == 1) {
            // Pixels of the transparent colour are left out.
            QImage Keyed = Src.convertToFormat(QImage::Format_ARGB32);
            const QRgb Key = Op.C == clDefault ? (Src.pixel(0, Src.height() - 1) & 0xFFFFFFu)
                                               : (ToQColor(Op.C).rgb() & 0xFFFFFFu);
            for (int Y = 0; Y < Keyed.height(); ++Y) {
                QRgb* Line = reinterpret_cast<QRgb*>(Keyed.scanLine(Y));
                for (int X = 0; X < Keyed.width(); ++X)
                    Line[X] = (Line[X] & 0xFFFFFFu) == Key ? 0u : (Line[X] | 0xFF000000u);
            }
            P->drawImage(Dest, Keyed);
        } else {
            P->drawImage(Dest, Src);
        }
        break;
    }
    default:
        PaintShape(Canvas, Op, *P);
        break;
    }
    P->restore();
    Notify(Touched);
}

bool TCanvasSurface::PaintThinLine(TCanvas& Canvas, const TCanvasOp& Op)
{
    // The painter over the image is open and in its resting state (no
    // transform, no clip): what it would draw for these pixels is the
    // colour itself, written here without its per-call state changes.
    if (FExternal || !FImage || !FOwn || Op.Pts.size() != 2)
        return false;
    const QImage::Format Format = FImage->format();
    if (Format != QImage::Format_RGB32 && Format != QImage::Format_ARGB32 && Format != QImage::Format_ARGB32_Premultiplied)
        return false;
    TPen& Pen = *Canvas.Pen();
    const TCanvasTransform& Tr = Canvas.Transform();
    if (Pen.Mode() != pmCopy || Pen.Width() > 1 || !PenVisible(Pen) || !IsPixelExact(Tr))
        return false;
    const QRgb OnColor = ToQColor(Pen.Color()).rgba();
    if (qAlpha(OnColor) != 255)
        return false;
    const std::vector<int>& Pattern = ThinPattern(Pen.Style());
    const bool DrawGaps = !Pattern.empty() && Canvas.BackgroundMode() == bkOpaque;
    QRgb GapColor = 0;
    if (DrawGaps) {
        GapColor = ToQColor(Canvas.BackgroundColor()).rgba();
        if (qAlpha(GapColor) != 255)
            return false;
    }

    // Writable area: the image, within the clip.
    const TCanvas::TClipState& ClipState = Canvas.FClip;
    const QRegion* Clip = ClipState.HasClip ? &ClipState.Clip.Data()->Region : nullptr;
    QRect Area(QPoint(0, 0), FImage->size());
    if (Clip) {
        Area = Area.intersected(Clip->boundingRect());
        if (Clip->rectCount() <= 1)
            Clip = nullptr;   // the bounding rectangle is the clip
    }
    const int DX = static_cast<int>(Tr.DX), DY = static_cast<int>(Tr.DY);
    const QPoint A(Op.Pts[0].X + DX, Op.Pts[0].Y + DY), B(Op.Pts[1].X + DX, Op.Pts[1].Y + DY);
    if (!Area.isEmpty()) {
        const int Left = Area.left(), Top = Area.top(), Right = Area.right(), Bottom = Area.bottom();
        uchar* Bits = const_cast<uchar*>(FImage->constBits());
        const qsizetype Stride = FImage->bytesPerLine();
        TPatternWalker Walker(Pattern);
        WalkThinLine(A, B, Walker, [&](int X, int Y, bool IsOn) {
            if (!IsOn && !DrawGaps)
                return;
            if (X < Left || X > Right || Y < Top || Y > Bottom || (Clip && !Clip->contains(QPoint(X, Y))))
                return;
            reinterpret_cast<QRgb*>(Bits + Y * Stride)[X] = IsOn ? OnColor : GapColor;
        });
    }
    // The rectangle the painter path reports for a line.
    Notify(QRect(QPoint(std::min(A.x(), B.x()), std::min(A.y(), B.y())), QPoint(std::max(A.x(), B.x()), std::max(A.y(), B.y())))
               .adjusted(-3, -3, 3, 3));
    return true;
}

bool TCanvasSurface::PaintPlainRectangle(TCanvas& Canvas, const TCanvasOp& Op)
{
    // As PaintThinLine: the painter over the image rests, so the pixels the
    // painter would fill and stroke may be written straight into the image.
    if (FExternal || !FImage || !FOwn)
        return false;
    const QImage::Format Format = FImage->format();
    if (Format != QImage::Format_RGB32 && Format != QImage::Format_ARGB32 && Format != QImage::Format_ARGB32_Premultiplied)
        return false;
    const TCanvasTransform& Tr = Canvas.Transform();
    if (!IsPixelExact(Tr))
        return false;
    TPen& Pen = *Canvas.Pen();
    TBrush& Brush = *Canvas.Brush();
    const bool Outline = PenVisible(Pen);
    if (Outline && (Pen.Style() != psSolid || Pen.Width() > 1 || Pen.Mode() != pmCopy))
        return false;
    const bool Fill = Brush.Style() != bsClear && Brush.Color() != clNone;
    if (Brush.Bitmap() || (Fill && Brush.Style() != bsSolid))
        return false;
    QRgb PenColor = 0, BrushColor = 0;
    if (Outline) {
        PenColor = ToQColor(Pen.Color()).rgba();
        if (qAlpha(PenColor) != 255)
            return false;
    }
    if (Fill) {
        BrushColor = ToQColor(Brush.Color()).rgba();
        if (qAlpha(BrushColor) != 255)
            return false;
    }
    // The box: columns L..R and rows T..B. Thinner boxes take the
    // painter's rules for outlines shrunk to a line or a point.
    const int DX = static_cast<int>(Tr.DX), DY = static_cast<int>(Tr.DY);
    const int L = std::min(Op.R.Left, Op.R.Right) + DX, R = std::max(Op.R.Left, Op.R.Right) - 1 + DX;
    const int T = std::min(Op.R.Top, Op.R.Bottom) + DY, B = std::max(Op.R.Top, Op.R.Bottom) - 1 + DY;
    if (R - L < 1 || B - T < 1)
        return false;
    // Writable area: the image, within a clip of one rectangle.
    QRect Area(QPoint(0, 0), FImage->size());
    const TCanvas::TClipState& ClipState = Canvas.FClip;
    if (ClipState.HasClip) {
        const QRegion& Clip = ClipState.Clip.Data()->Region;
        if (Clip.rectCount() > 1)
            return false;
        Area = Area.intersected(Clip.boundingRect());
    }
    uchar* Bits = const_cast<uchar*>(FImage->constBits());
    const qsizetype Stride = FImage->bytesPerLine();
    const auto Span = [&](int Y, int X0, int X1, QRgb Color) {
        if (Y < Area.top() || Y > Area.bottom())
            return;
        X0 = std::max(X0, Area.left());
        X1 = std::min(X1, Area.right());
        QRgb* Line = reinterpret_cast<QRgb*>(Bits + Y * Stride);
        for (int X = X0; X <= X1; ++X)
            Line[X] = Color;
    };
    // The fill leaves out the right column and the bottom row (the
    // outline's, when there is one).
    if (Fill)
        for (int Y = T; Y < B; ++Y)
            Span(Y, L, R - 1, BrushColor);
    if (Outline) {
        Span(T, L, R, PenColor);
        Span(B, L, R, PenColor);
        for (int Y = T + 1; Y < B; ++Y) {
            Span(Y, L, L, PenColor);
            Span(Y, R, R, PenColor);
        }
    }
    // The rectangle the painter path reports.
    const int Extra = static_cast<int>(std::ceil(std::max(1, Pen.Width()) * std::max(std::abs(Tr.ScaleX), std::abs(Tr.ScaleY)))) + 2;
    Notify(ToQTransform(Tr).mapRect(OpBounds(Op)).toAlignedRect().adjusted(-Extra, -Extra, Extra, Extra));
    return true;
}

// ------------------------------------------------------------------ TQtCanvas

TQtCanvas::TQtCanvas(QImage* Image) : FQtSurface(Image) { SetSurface(&FQtSurface); }

TQtCanvas::TQtCanvas(QPainter* Painter, QSize Size) : FQtSurface(Painter, Size) { SetSurface(&FQtSurface); }

TQtCanvas::~TQtCanvas() { SetSurface(nullptr); }
