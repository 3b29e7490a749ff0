#include "platform/Graphics.h"

#include "platform/Application.h"
#include "platform/private/CanvasQt.h"
#include "platform/ScopeGuard.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImageReader>
#include <QRawFont>
#include <QImageWriter>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <unordered_map>

// ------------------------------------------------------------------ colours

namespace {

// The classic standard colour scheme.
constexpr TColor SystemColorTable[] = {
    RGB(212, 208, 200),  // 0 scroll bar
    RGB(58, 110, 165),   // 1 desktop
    RGB(10, 36, 106),    // 2 active caption
    RGB(128, 128, 128),  // 3 inactive caption
    RGB(212, 208, 200),  // 4 menu
    RGB(255, 255, 255),  // 5 window
    RGB(0, 0, 0),        // 6 window frame
    RGB(0, 0, 0),        // 7 menu text
    RGB(0, 0, 0),        // 8 window text
    RGB(255, 255, 255),  // 9 caption text
    RGB(212, 208, 200),  // 10 active border
    RGB(212, 208, 200),  // 11 inactive border
    RGB(128, 128, 128),  // 12 application work space
    RGB(10, 36, 106),    // 13 highlight
    RGB(255, 255, 255),  // 14 highlight text
    RGB(212, 208, 200),  // 15 button face
    RGB(128, 128, 128),  // 16 button shadow
    RGB(128, 128, 128),  // 17 grey text
    RGB(0, 0, 0),        // 18 button text
    RGB(212, 208, 200),  // 19 inactive caption text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(64, 64, 64),     // 21 3-D dark shadow
    RGB(212, 208, 200),  // 22 3-D light
    RGB(0, 0, 0),        // 23 tooltip text
    RGB(255, 255, 225),  // 24 tooltip background
    RGB(181, 181, 181),  // 25 (unused)
    RGB(0, 0, 128),      // 26 hot light
    RGB(166, 202, 240),  // 27 gradient of the active caption
    RGB(192, 192, 192),  // 28 gradient of the inactive caption
    RGB(10, 36, 106),    // 29 menu highlight
    RGB(212, 208, 200),  // 30 menu bar
};

int MulDiv(int A, int B, int C)
{
    if (C == 0)
        return -1;
    const long long P = static_cast<long long>(A) * B;
    const long long Half = (C > 0 ? C : -C) / 2;
    long long Q = ((P < 0) != (C < 0)) ? (P - (C > 0 ? Half : -Half)) / C : (P + (C > 0 ? Half : -Half)) / C;
    return static_cast<int>(Q);
}

}  // namespace

TColor ColorToRGB(TColor Color)
{
    if (Color < 0) {
        const uint32_t Index = static_cast<uint32_t>(Color) & 0x00FFFFFFu;
        if (Index < sizeof(SystemColorTable) / sizeof(SystemColorTable[0]))
            return SystemColorTable[Index];
        return clBlack;
    }
    return Color;
}

QColor ToQColor(TColor Color)
{
    if (Color == clNone)
        return QColor(Qt::transparent);
    const TColor C = ColorToRGB(Color);
    return QColor(GetRValue(C), GetGValue(C), GetBValue(C));
}

TColor FromQColor(const QColor& Color)
{
    return RGB(Color.red(), Color.green(), Color.blue());
}

// ------------------------------------------------------------------ geometry

bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B)
{
    TRect R{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right), std::min(A.Bottom, B.Bottom)};
    if (R.IsEmpty()) {
        Dest = TRect{};
        return false;
    }
    Dest = R;
    return true;
}

bool UnionRect(TRect& Dest, const TRect& A, const TRect& B)
{
    if (A.IsEmpty()) {
        Dest = B.IsEmpty() ? TRect{} : B;
    } else if (B.IsEmpty()) {
        Dest = A;
    } else {
        Dest = {std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right), std::max(A.Bottom, B.Bottom)};
    }
    return !Dest.IsEmpty();
}

void OffsetRect(TRect& R, int DX, int DY)
{
    R.Left += DX;
    R.Right += DX;
    R.Top += DY;
    R.Bottom += DY;
}

void InflateRect(TRect& R, int DX, int DY)
{
    R.Left -= DX;
    R.Right += DX;
    R.Top -= DY;
    R.Bottom += DY;
}

bool PtInRect(const TRect& R, const TPoint& P) { return R.Contains(P); }
bool IsRectEmpty(const TRect& R) { return R.IsEmpty(); }

TCanvasTransform TCanvasTransform::Then(const TCanvasTransform& Outer) const
{
    return {ScaleX * Outer.ScaleX, ScaleY * Outer.ScaleY, DX * Outer.ScaleX + Outer.DX, DY * Outer.ScaleY + Outer.DY};
}

// ------------------------------------------------------------------ regions

TRegion::TRegion() : FData(std::make_unique<TData>()) {}
TRegion::TRegion(const TRegion& Other) : FData(std::make_unique<TData>(*Other.FData)) {}
TRegion& TRegion::operator=(const TRegion& Other)
{
    if (this != &Other)
        *FData = *Other.FData;
    return *this;
}
TRegion::~TRegion() = default;

QRegion ToQRegion(const TRegion& Region) { return Region.Data()->Region; }

TRegion FromQRegion(const QRegion& Region)
{
    TRegion R;
    R.Data()->Region = Region;
    return R;
}

namespace {

QRect NormalRect(const TRect& R)
{
    const int L = std::min(R.Left, R.Right), Rr = std::max(R.Left, R.Right);
    const int T = std::min(R.Top, R.Bottom), B = std::max(R.Top, R.Bottom);
    return QRect(L, T, Rr - L, B - T);
}

}  // namespace

QRegion PathToRegion(const QPainterPath& Path)
{
    const QRect Box = Path.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    if (Box.isEmpty())
        return {};
    QImage Mask(Box.size(), QImage::Format_ARGB32_Premultiplied);
    Mask.fill(0);
    {
        QPainter P(&Mask);
        P.setRenderHint(QPainter::Antialiasing, false);
        P.translate(-Box.topLeft());
        P.fillPath(Path, Qt::black);
    }
    QRegion Result;
    for (int Y = 0; Y < Mask.height(); ++Y) {
        const QRgb* Line = reinterpret_cast<const QRgb*>(Mask.constScanLine(Y));
        int X = 0;
        while (X < Mask.width()) {
            while (X < Mask.width() && qAlpha(Line[X]) < 128)
                ++X;
            const int Start = X;
            while (X < Mask.width() && qAlpha(Line[X]) >= 128)
                ++X;
            if (X > Start)
                Result += QRect(Box.left() + Start, Box.top() + Y, X - Start, 1);
        }
    }
    return Result;
}

TRegion TRegion::CreateRect(const TRect& R) { return FromQRegion(QRegion(NormalRect(R))); }

TRegion TRegion::CreateRoundRect(const TRect& R, int EllipseWidth, int EllipseHeight)
{
    const QRect Q = NormalRect(R);
    QPainterPath Path;
    Path.addRoundedRect(QRectF(Q), std::abs(EllipseWidth) / 2.0, std::abs(EllipseHeight) / 2.0);
    return FromQRegion(PathToRegion(Path) & QRegion(Q));
}

TRegion TRegion::CreateEllipse(const TRect& R)
{
    const QRect Q = NormalRect(R);
    if (Q.isEmpty())
        return {};
    return FromQRegion(QRegion(Q, QRegion::Ellipse));
}

TRegion TRegion::CreatePolygon(const std::vector<TPoint>& Points)
{
    if (Points.size() < 3)
        return {};
    QPolygon Poly;
    for (const TPoint& P : Points)
        Poly << QPoint(P.X, P.Y);
    return FromQRegion(QRegion(Poly, Qt::OddEvenFill));
}

void TRegion::Combine(const TRegion& A, const TRegion& B, TRegionCombine Mode)
{
    const QRegion& Ra = A.FData->Region;
    const QRegion& Rb = B.FData->Region;
    switch (Mode) {
    case RGN_AND: FData->Region = Ra.intersected(Rb); break;
    case RGN_OR: FData->Region = Ra.united(Rb); break;
    case RGN_XOR: FData->Region = Ra.xored(Rb); break;
    case RGN_DIFF: FData->Region = Ra.subtracted(Rb); break;
    case RGN_COPY: FData->Region = Ra; break;
    }
}

void TRegion::Offset(int DX, int DY) { FData->Region.translate(DX, DY); }
bool TRegion::IsEmpty() const { return FData->Region.isEmpty(); }
bool TRegion::Contains(int X, int Y) const { return FData->Region.contains(QPoint(X, Y)); }
TRect TRegion::BoundsRect() const
{
    if (FData->Region.isEmpty())
        return {};
    return FromQRect(FData->Region.boundingRect());
}
bool TRegion::operator==(const TRegion& Other) const { return FData->Region == Other.FData->Region; }

// ------------------------------------------------------------------ pens, brushes, fonts

void TGraphicsObject::Changed()
{
    if (OnChange)
        OnChange(this);
}

#define OZ_SETTER(Class, Name, Type, Field) \
    void Class::Set##Name(Type Value)       \
    {                                       \
        if (Field == Value)                 \
            return;                         \
        Field = Value;                      \
        Changed();                          \
    }

OZ_SETTER(TPen, Color, TColor, FColor)
OZ_SETTER(TPen, Width, int, FWidth)
OZ_SETTER(TPen, Style, TPenStyle, FStyle)
OZ_SETTER(TPen, Mode, TPenMode, FMode)
OZ_SETTER(TPen, EndCap, TPenEndCap, FEndCap)
OZ_SETTER(TPen, JoinStyle, TPenJoinStyle, FJoinStyle)

bool TPen::SameAs(const TPen& O) const
{
    return FColor == O.FColor && FWidth == O.FWidth && FStyle == O.FStyle && FMode == O.FMode &&
           FEndCap == O.FEndCap && FJoinStyle == O.FJoinStyle;
}

void TPen::Assign(TPersistent* Source)
{
    if (auto* P = dynamic_cast<TPen*>(Source)) {
        if (P == this)
            return;
        FColor = P->FColor;
        FWidth = P->FWidth;
        FStyle = P->FStyle;
        FMode = P->FMode;
        FEndCap = P->FEndCap;
        FJoinStyle = P->FJoinStyle;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

TBrush::TBrush() = default;
TBrush::~TBrush() = default;

OZ_SETTER(TBrush, Color, TColor, FColor)
OZ_SETTER(TBrush, Style, TBrushStyle, FStyle)

void TBrush::SetBitmap(TBitmap* Value)
{
    if (!Value) {
        if (!FBitmap)
            return;
        FBitmap.reset();
    } else {
        auto Copy = std::make_unique<TBitmap>();
        Copy->Assign(Value);
        FBitmap = std::move(Copy);
    }
    Changed();
}

bool TBrush::SameAs(const TBrush& O) const
{
    if (FColor != O.FColor || FStyle != O.FStyle || !FBitmap != !O.FBitmap)
        return false;
    return !FBitmap || FBitmap->SameImage(*O.FBitmap);
}

void TBrush::Assign(TPersistent* Source)
{
    if (auto* B = dynamic_cast<TBrush*>(Source)) {
        if (B == this)
            return;
        FColor = B->FColor;
        FStyle = B->FStyle;
        if (B->FBitmap) {
            auto Copy = std::make_unique<TBitmap>();
            Copy->Assign(B->FBitmap.get());
            FBitmap = std::move(Copy);
        } else {
            FBitmap.reset();
        }
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

OZ_SETTER(TFont, Name, const std::string&, FName)
OZ_SETTER(TFont, Height, int, FHeight)
OZ_SETTER(TFont, Color, TColor, FColor)
OZ_SETTER(TFont, Style, TFontStyles, FStyle)
OZ_SETTER(TFont, Orientation, int, FOrientation)
OZ_SETTER(TFont, Pitch, TFontPitch, FPitch)
OZ_SETTER(TFont, Charset, TFontCharset, FCharset)

#undef OZ_SETTER

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetPixelsPerInch(int Value)
{
    if (Value > 0)
        FPixelsPerInch = Value;
}

bool TFont::SameAs(const TFont& O) const
{
    return FName == O.FName && FHeight == O.FHeight && FColor == O.FColor && FStyle == O.FStyle &&
           FOrientation == O.FOrientation && FPitch == O.FPitch && FCharset == O.FCharset;
}

void TFont::Assign(TPersistent* Source)
{
    if (auto* F = dynamic_cast<TFont*>(Source)) {
        if (F == this)
            return;
        FName = F->FName;
        // Between resolutions the size in points is what is kept.
        if (F->FPixelsPerInch == FPixelsPerInch)
            FHeight = F->FHeight;
        else
            FHeight = -MulDiv(F->Size(), FPixelsPerInch, 72);
        FColor = F->FColor;
        FStyle = F->FStyle;
        FOrientation = F->FOrientation;
        FPitch = F->FPitch;
        FCharset = F->FCharset;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

const TFontDefaults& TFont::Defaults() const
{
    static const TFontDefaults Platform;
    return FDefaults ? *FDefaults : Platform;
}

void TFont::KeepAsDefaults()
{
    FDefaults = std::make_shared<const TFontDefaults>(
        TFontDefaults{FName, FHeight, FColor, FStyle, FOrientation, FPitch, FCharset});
}

void TFont::RestoreDefaults()
{
    const TFontDefaults& D = Defaults();
    if (FName == D.Name && FHeight == D.Height && FColor == D.Color && FStyle == D.Style &&
        FOrientation == D.Orientation && FPitch == D.Pitch && FCharset == D.Charset)
        return;
    FName = D.Name;
    FHeight = D.Height;
    FColor = D.Color;
    FStyle = D.Style;
    FOrientation = D.Orientation;
    FPitch = D.Pitch;
    FCharset = D.Charset;
    Changed();
}

std::string ResolveFontFamily(const std::string& Name)
{
    std::string L;
    for (char C : Name)
        L += static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    static const char* const Sans[] = {"", "arial", "ms sans serif", "microsoft sans serif", "ms shell dlg",
                                       "ms shell dlg 2", "tahoma", "verdana", "helvetica", "segoe ui",
                                       "sans serif", "sans-serif", "system", "small fonts"};
    static const char* const Mono[] = {"courier new", "courier", "lucida console", "fixedsys", "terminal",
                                       "consolas", "monospace"};
    static const char* const Serif[] = {"times new roman", "times", "ms serif", "serif"};
    for (const char* S : Sans)
        if (L == S)
            return "Liberation Sans";
    for (const char* S : Mono)
        if (L == S)
            return "Liberation Mono";
    for (const char* S : Serif)
        if (L == S)
            return "Liberation Serif";
    return Name;
}

namespace {

// Pixel size (em) that gives a cell height of CellHeight for Family.
int EmForCellHeight(const QFont& Base, int CellHeight)
{
    QFont F(Base);
    F.setPixelSize(100);
    QFontMetricsF Fm(F);
    const double Cell = Fm.ascent() + Fm.descent();
    if (Cell <= 0)
        return CellHeight;
    return std::max(1, static_cast<int>(std::lround(CellHeight * 100.0 / Cell)));
}

}  // namespace

namespace {

QFont BuildQFont(const TFont& Font, double Scale)
{
    EnsureApplication();
    QFont F(QString::fromStdString(ResolveFontFamily(Font.Name())));
    F.setKerning(false);
    // Whole-pixel advances, as the classic text functions measure.
    F.setHintingPreference(QFont::PreferFullHinting);
    F.setBold(Font.Style().Contains(fsBold));
    F.setItalic(Font.Style().Contains(fsItalic));
    F.setUnderline(Font.Style().Contains(fsUnderline));
    F.setStrikeOut(Font.Style().Contains(fsStrikeOut));
    if (Font.Pitch() == fpFixed) {
        F.setFixedPitch(true);
        F.setStyleHint(QFont::TypeWriter);
    }
    int H = Font.Height();
    if (H == 0)
        H = -MulDiv(8, Font.PixelsPerInch(), 72);
    int Em = H < 0 ? -H : EmForCellHeight(F, H);
    Em = std::max(1, static_cast<int>(std::lround(Em * Scale)));
    F.setPixelSize(Em);
    return F;
}

// The fonts of the application, kept per distinct font (TCanvasFont).
// Building the Qt font (family lookup, cell-height search) and loading its
// glyph engine cost many times what measuring with it does, and a chart
// measures the same few fonts and the same label texts on every pass.
// Reports measure on worker threads too: the cache and the widths kept in
// its fonts are guarded by one lock, which a canvas whose font did not
// change never takes for the font itself.
struct TFontKeyHash {
    size_t operator()(const TFontKey& K) const
    {
        size_t H = std::hash<std::string>()(K.Name);
        for (long long V : {static_cast<long long>(K.Height), static_cast<long long>(K.PixelsPerInch),
                            static_cast<long long>(K.Style), static_cast<long long>(K.Pitch),
                            static_cast<long long>(K.CharExtra), static_cast<long long>(K.Scale * 4096)})
            H = H * 1000003u ^ std::hash<long long>()(V);
        return H;
    }
};

uint8_t StyleBits(const TFont& Font)
{
    uint8_t Style = 0;
    for (TFontStyle S : {fsBold, fsItalic, fsUnderline, fsStrikeOut})
        Style = static_cast<uint8_t>(Style << 1 | (Font.Style().Contains(S) ? 1 : 0));
    return Style;
}

// Bounds of the cache: a program uses a few dozen fonts; label texts of a
// live chart repeat. Past a bound the part is emptied and refilled (a font
// still held by a canvas lives on with it).
constexpr size_t MaxCachedFonts = 256;
constexpr size_t MaxCachedWidths = 4096;

std::mutex& FontCacheLock()
{
    static std::mutex Lock;
    return Lock;
}

std::shared_ptr<TCanvasFont> CachedFont(const TFont& Font, int CharExtra, double Scale)
{
    EnsureApplication();
    TFontKey Key = TFontKey::Of(Font, CharExtra, Scale);
    const std::lock_guard<std::mutex> Guard(FontCacheLock());
    auto& Cache = PerApplicationCache<std::unordered_map<TFontKey, std::shared_ptr<TCanvasFont>, TFontKeyHash>>();
    auto It = Cache.find(Key);
    if (It != Cache.end())
        return It->second;
    if (Cache.size() >= MaxCachedFonts)
        Cache.clear();
    QFont F = BuildQFont(Font, Scale);
    if (CharExtra != 0)
        F.setLetterSpacing(QFont::AbsoluteSpacing, CharExtra);
    // Qt objects must not be destroyed after their application: a font
    // let go of afterwards is left alone.
    std::shared_ptr<TCanvasFont> Entry(new TCanvasFont(F, Key), [](TCanvasFont* E) {
        if (E->App && E->App == QCoreApplication::instance())
            delete E;
    });
    return Cache.emplace(std::move(Key), std::move(Entry)).first->second;
}

}  // namespace

TFontKey TFontKey::Of(const TFont& Font, int CharExtra, double Scale)
{
    return {Font.Name(), Font.Height(), Font.Height() == 0 ? Font.PixelsPerInch() : 0, StyleBits(Font),
            static_cast<uint8_t>(Font.Pitch() == fpFixed), CharExtra, Scale};
}

bool TFontKey::Matches(const TFont& Font, int AnExtra, double AScale) const
{
    return Height == Font.Height() && CharExtra == AnExtra && Scale == AScale &&
           Pitch == static_cast<uint8_t>(Font.Pitch() == fpFixed) && Style == StyleBits(Font) &&
           PixelsPerInch == (Font.Height() == 0 ? Font.PixelsPerInch() : 0) && Name == Font.Name();
}

TCanvasFont::TCanvasFont(const QFont& F, TFontKey AKey)
    : Key(std::move(AKey)),
      App(QCoreApplication::instance()),
      Font(F),
      Metrics(F),
      Ascent(Metrics.ascent()),
      Descent(Metrics.descent())
{
    // Glyphs of another font standing in for missing ones, and what shaping
    // may do to a text, are left to the full measure: the sum is kept only
    // where the font itself draws every printable ASCII character.
    const QRawFont Raw = QRawFont::fromFont(F);
    const QFontMetricsF Exact(F);
    AsciiAdvances = Raw.isValid();
    for (int C = ' '; C <= '~' && AsciiAdvances; ++C) {
        AsciiAdvances = Raw.supportsCharacter(QChar(C));
        const double W = Exact.horizontalAdvance(QString(QChar(C)));
        Advance[static_cast<size_t>(C - ' ')] = static_cast<int>(std::ceil(W - 1e-6));
    }
}

bool TCanvasFont::Describes(const TFont& F, int AnExtra) const
{
    return Key.Matches(F, AnExtra, 1.0) && App == QCoreApplication::instance();
}

// Measures under the lock too: copies of a Qt font share the glyph engine
// state it sets up on first use, which two threads must not set up at once.
int TextWidthIn(TCanvasFont& Font, const std::string& Text)
{
    const std::lock_guard<std::mutex> Guard(FontCacheLock());
    auto It = Font.Widths.find(Text);
    if (It != Font.Widths.end())
        return It->second;
    const int W = Font.Metrics.horizontalAdvance(QString::fromStdString(Text));
    if (Font.Widths.size() >= MaxCachedWidths)
        Font.Widths.clear();
    Font.Widths.emplace(Text, W);
    return W;
}

QFont ToQFont(const TFont& Font, double Scale) { return CachedFont(Font, 0, Scale)->Font; }

QFontMetrics FontMetricsOf(const TFont& Font) { return CachedFont(Font, 0, 1.0)->Metrics; }

// ------------------------------------------------------------------ canvas

TCanvas::TCanvas()
{
    FFont.SetColor(clWindowText);
}

TCanvas::~TCanvas() = default;

void TCanvas::SetSurface(TCanvasSurface* Value)
{
    FSurface = Value;
    if (FSurface && FSurface->DpiY() != FFont.PixelsPerInch()) {
        const int Points = FFont.Size();
        FFont.SetPixelsPerInch(FSurface->DpiY());
        FFont.SetSize(Points);
    }
}

void TCanvas::Changing()
{
    if (OnChanging)
        OnChanging(this);
}

void TCanvas::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TCanvas::SyncBrushBackground()
{
    if (FBrush.Color() == FSyncedBrushColor && FBrush.Style() == FSyncedBrushStyle)
        return;
    FSyncedBrushColor = FBrush.Color();
    FSyncedBrushStyle = FBrush.Style();
    FBkColor = ColorToRGB(FBrush.Color());
    FBkMode = FBrush.Style() == bsSolid ? bkOpaque : bkTransparent;
}

TBackgroundMode TCanvas::BackgroundMode()
{
    SyncBrushBackground();
    return FBkMode;
}

void TCanvas::SetBackgroundMode(TBackgroundMode Value)
{
    SyncBrushBackground();
    FBkMode = Value;
}

TColor TCanvas::BackgroundColor()
{
    SyncBrushBackground();
    return FBkColor;
}

void TCanvas::SetBackgroundColor(TColor Value)
{
    SyncBrushBackground();
    FBkColor = Value;
}

void TCanvas::Perform(const TCanvasOp& Op)
{
    if (FSurface)
        FSurface->Paint(*this, Op);
}

void TCanvas::DoPerform(TCanvasOp& Op)
{
    SyncBrushBackground();
    Changing();
    Perform(Op);
    Changed();
}

TPoint TCanvas::PenPos() const
{
    if (FPenAfterText) {
        FPenAfterText = false;
        FPenPos.X += TextWidthIn(*FPenFont, FPenText);
        FPenFont.reset();
    }
    return FPenPos;
}

void TCanvas::SetPenPos(const TPoint& Value)
{
    FPenAfterText = false;
    FPenFont.reset();
    FPenPos = Value;
}

void TCanvas::MoveTo(int X, int Y) { SetPenPos({X, Y}); }

void TCanvas::LineTo(int X, int Y)
{
    // Lines come by the thousand in a chart pass: one operation's point
    // storage serves them all, unless a line is drawn from inside another
    // one's drawing.
    thread_local TCanvasOp Shared;
    thread_local bool InUse = false;
    TCanvasOp Own;
    TCanvasOp& Op = InUse ? Own : Shared;
    TValueRollback<bool> Busy(InUse, true);
    Op.Kind = TCanvasOp::opLine;
    Op.Pts.resize(2);
    Op.Pts[0] = PenPos();
    Op.Pts[1] = {X, Y};
    SetPenPos({X, Y});
    DoPerform(Op);
}

void TCanvas::PolyPoints(TCanvasOp::TKind Kind, const TPoint* Points, int Count)
{
    if (!Points || Count <= 0)
        return;
    TCanvasOp Op;
    Op.Kind = Kind;
    Op.Pts.assign(Points, Points + Count);
    DoPerform(Op);
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) { PolyPoints(TCanvasOp::opPolyline, Points.data(), static_cast<int>(Points.size())); }
void TCanvas::Polyline(const TPoint* Points, int Count) { PolyPoints(TCanvasOp::opPolyline, Points, Count); }
void TCanvas::Polygon(const std::vector<TPoint>& Points) { PolyPoints(TCanvasOp::opPolygon, Points.data(), static_cast<int>(Points.size())); }
void TCanvas::Polygon(const TPoint* Points, int Count) { PolyPoints(TCanvasOp::opPolygon, Points, Count); }

void TCanvas::PolyBezier(const std::vector<TPoint>& Points)
{
    if (Points.size() < 4 || (Points.size() - 1) % 3 != 0)
        return;
    PolyPoints(TCanvasOp::opPolyBezier, Points.data(), static_cast<int>(Points.size()));
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2)
{
    TCanvasOp Op;
    Op.Kind = TCanvasOp::opRectangle;
    Op.R = {X1, Y1, X2, Y2};
    DoPerform(Op);
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    TCanvasOp Op;
    Op.Kind = TCanvasOp::opRoundRect;
    Op.R = {X1, Y1, X2, Y2};
    Op.A = X3;
    Op.B = Y3;
    DoPerform(Op);
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2)
{
    TCanvasOp Op;
    Op.Kind = TCanvasOp::opEllipse;
    Op.R = {X1, Y1, X2, Y2};
    DoPerform(Op);
}

void TCanvas::ArcLike(TCanvasOp::TKind Kind, int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    TCanvasOp Op;
    Op.Kind = Kind;
    Op.R = {X1, Y1, X2, Y2};
    Op.Pts = {{X3, Y3}, {X4, Y4}};
    DoPerform(Op);
}

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) { ArcLike(TCanvasOp::opArc, X1, Y1, X2, Y2, X3, Y3, X4, Y4); }
void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) { ArcLike(TCanvasOp::opPie, X1, Y1, X2, Y2, X3, Y3, X4, Y4); }
void TCanvas::Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) { ArcLike(TCanvasOp::opChord, X1, Y1, X2, Y2, X3, Y3, X4, Y4); }

void TCanvas::FillRect(const TRect& R)
{
    TCanvasOp Op;
    Op.Kind = TCanvasOp::opFillRect;
    Op.R = R;
    DoPerform(Op);
}

void TCanvas::FrameRect(const TRect& R)
{
    TCanvasOp Op;
    Op.Kind = TCanvasOp::opFrameRect;
    Op.R = R;
    DoPerform(Op);
}

void TCanvas::TextOut(int X, int Y, const std::string& Text)
{
    TCanvasOp Op;
    Op.Kind = TCanvasOp::opTextOut;
    const bool UpdateCP = (FTextAlign & TA_UPDATECP) != 0;
    if (UpdateCP) {
        const TPoint At = PenPos();
        X = At.X;
        Y = At.Y;
    }
    Op.Pts = {{X, Y}};
    Op.Text = Text;
    DoPerform(Op);
    // Only a left-aligned text moves the current position; without
    // TA_UPDATECP the pen goes past the text all the same. Its width is
    // taken when somebody asks for the pen.
    if (UpdateCP && (FTextAlign & TA_CENTER) != TA_LEFT)
        return;
    FPenPos = {X, Y};
    FPenText = Text;
    FPenFont = FontDataShared();
    FPenAfterText = true;
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const std::string& Text)
{
    TCanvasOp Op;
    Op.Kind = TCanvasOp::opTextRect;
    Op.R = R;
    Op.Pts = {{X, Y}};
    Op.Text = Text;
    DoPerform(Op);
}

void TCanvas::TextRect(TRect& R, const std::string& Text, unsigned Format)
{
    TCanvasOp Op;
    Op.Kind = TCanvasOp::opTextRectFormat;
    Op.R = R;
    Op.A = static_cast<int>(Format);
    Op.Text = Text;
    DoPerform(Op);
}

const std::shared_ptr<TCanvasFont>& TCanvas::FontDataShared()
{
    if (!FFontData || !FFontData->Describes(FFont, FCharExtra))
        FFontData = CachedFont(FFont, FCharExtra, 1.0);
    return FFontData;
}

TCanvasFont& TCanvas::FontData() { return *FontDataShared(); }

TSize TCanvas::TextExtent(const std::string& Text)
{
    TCanvasFont& F = FontData();
    return {TextWidthIn(F, Text), F.Ascent + F.Descent};
}

int TCanvas::TextWidth(const std::string& Text) { return TextWidthIn(FontData(), Text); }

int TCanvas::TextWidthBound(const std::string& Text)
{
    TCanvasFont& F = FontData();
    if (!F.AsciiAdvances)
        return TextWidthIn(F, Text);
    int W = 0;
    for (const char C : Text) {
        if (C < ' ' || C > '~')
            return TextWidthIn(F, Text);
        W += F.Advance[static_cast<size_t>(C - ' ')];
    }
    return W;
}

int TCanvas::TextHeight(const std::string&)
{
    const TCanvasFont& F = FontData();
    return F.Ascent + F.Descent;
}

int TCanvas::TextAscent() { return FontData().Ascent; }
int TCanvas::TextDescent() { return FontData().Descent; }

namespace {

QPointF MapPoint(const TCanvasTransform& T, double X, double Y) { return {X * T.ScaleX + T.DX, Y * T.ScaleY + T.DY}; }

// The region under T, rectangle by rectangle, edges rounded.
QRegion MapRegion(const QRegion& R, const TCanvasTransform& T)
{
    if (T.IsIdentity())
        return R;
    if (T.ScaleX == 1.0 && T.ScaleY == 1.0 && T.DX == std::floor(T.DX) && T.DY == std::floor(T.DY))
        return R.translated(static_cast<int>(T.DX), static_cast<int>(T.DY));
    QRegion Out;
    for (const QRect& Q : R) {
        const QPointF A = MapPoint(T, Q.left(), Q.top());
        const QPointF B = MapPoint(T, Q.left() + Q.width(), Q.top() + Q.height());
        const int L = static_cast<int>(std::lround(std::min(A.x(), B.x())));
        const int Rr = static_cast<int>(std::lround(std::max(A.x(), B.x())));
        const int Tp = static_cast<int>(std::lround(std::min(A.y(), B.y())));
        const int Bt = static_cast<int>(std::lround(std::max(A.y(), B.y())));
        if (Rr > L && Bt > Tp)
            Out += QRect(L, Tp, Rr - L, Bt - Tp);
    }
    return Out;
}

TCanvasTransform Inverse(const TCanvasTransform& T)
{
    const double Sx = T.ScaleX != 0 ? T.ScaleX : 1.0;
    const double Sy = T.ScaleY != 0 ? T.ScaleY : 1.0;
    return {1.0 / Sx, 1.0 / Sy, -T.DX / Sx, -T.DY / Sy};
}

}  // namespace

TColor TCanvas::Pixels(int X, int Y)
{
    if (!FSurface)
        return clNone;
    const QPointF P = MapPoint(FTransform, X, Y);
    return FSurface->GetPixel(static_cast<int>(std::floor(P.x())), static_cast<int>(std::floor(P.y())));
}

void TCanvas::SetPixels(int X, int Y, TColor Color)
{
    TCanvasOp Op;
    Op.Kind = TCanvasOp::opSetPixel;
    Op.Pts = {{X, Y}};
    Op.A = Color;
    DoPerform(Op);
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic)
{
    if (!Graphic || Graphic->Empty())
        return;
    Graphic->Draw(this, Bounds(X, Y, Graphic->Width(), Graphic->Height()));
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic, uint8_t Opacity)
{
    if (!Graphic || Graphic->Empty())
        return;
    if (auto* B = dynamic_cast<TBitmap*>(Graphic)) {
        TCanvasOp Op;
        Op.Kind = TCanvasOp::opStretchDraw;
        Op.R = Bounds(X, Y, B->Width(), B->Height());
        Op.Image = std::shared_ptr<const TBitmap>(std::shared_ptr<const TBitmap>(), B);
        Op.A = Opacity;
        if (B->Transparent()) {
            Op.B = 1;
            Op.C = B->TransparentColor();
        }
        DoPerform(Op);
        return;
    }
    Draw(X, Y, Graphic);
}

void TCanvas::StretchDraw(const TRect& R, TGraphic* Graphic)
{
    if (!Graphic)
        return;
    Graphic->Draw(this, R);
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Source, const TRect& SourceRect)
{
    if (!Source || !Source->FSurface || !Source->FSurface->Image())
        return;
    TCanvasSurface* S = Source->FSurface;
    const QPointF A = MapPoint(Source->FTransform, SourceRect.Left, SourceRect.Top);
    const QPointF B = MapPoint(Source->FTransform, SourceRect.Right, SourceRect.Bottom);
    const QRect Q = QRectF(A, B).normalized().toRect();
    if (Q.isEmpty())
        return;
    const QImage& Image = *S->Image();
    TBitmap Copy;
    const QImage::Format Format = Image.format();
    const bool Inside = QRect(QPoint(0, 0), Image.size()).contains(Q);
    const bool SameImage = FSurface && FSurface->Image() == S->Image();
    if (Inside && !SameImage && (Format == QImage::Format_RGB32 || Format == QImage::Format_ARGB32)) {
        // The source's own pixels, read in place for the time of the draw:
        // a copy of them would cost a fresh allocation (and, from about
        // 128 KiB on, fresh pages from the system) on every call.
        const qsizetype Stride = Image.bytesPerLine();
        Copy.Data()->Image = QImage(Image.constBits() + Q.top() * Stride + Q.left() * 4, Q.width(), Q.height(),
                                    Stride, QImage::Format_RGB32);
    } else {
        Copy.Data()->Image = Image.copy(Q).convertToFormat(QImage::Format_RGB32);
    }
    StretchDraw(Dest, &Copy);
}

// ---- clipping

TSize TCanvas::SurfaceSize() const
{
    if (!FSurface)
        return {};
    const QSize S = FSurface->Size();
    return {S.width(), S.height()};
}

int TCanvas::PixelsPerInchX() const { return FSurface ? FSurface->DpiX() : 96; }
int TCanvas::PixelsPerInchY() const { return FSurface ? FSurface->DpiY() : 96; }
bool TCanvas::SupportsRasterModes() const { return FSurface && FSurface->RasterModes(); }

bool TCanvas::HasClip() const { return FClip.HasClip; }

TRect TCanvas::ClipRect()
{
    QRect Device;
    if (FClip.HasClip) {
        Device = FClip.Clip.Data()->Region.boundingRect();
    } else {
        const TSize S = SurfaceSize();
        Device = QRect(0, 0, S.cx, S.cy);
    }
    if (Device.isEmpty())
        return {};
    const TCanvasTransform Inv = Inverse(FTransform);
    const QPointF A = MapPoint(Inv, Device.left(), Device.top());
    const QPointF B = MapPoint(Inv, Device.left() + Device.width(), Device.top() + Device.height());
    return {static_cast<int>(std::floor(std::min(A.x(), B.x()))), static_cast<int>(std::floor(std::min(A.y(), B.y()))),
            static_cast<int>(std::ceil(std::max(A.x(), B.x()))), static_cast<int>(std::ceil(std::max(A.y(), B.y())))};
}

bool TCanvas::GetClipRegion(TRegion& Region) const
{
    if (!FClip.HasClip)
        return false;
    Region = FClip.Clip;
    return true;
}

void TCanvas::ApplyClip(const TRegion& Device, TRegionCombine Mode)
{
    QRegion Current;
    bool HasCurrent = FClip.HasClip;
    if (HasCurrent) {
        Current = FClip.Clip.Data()->Region;
    } else {
        // Combining with "no clip" means combining with the whole surface.
        const TSize S = SurfaceSize();
        Current = QRegion(0, 0, S.cx > 0 ? S.cx : 0x3FFFFFFF, S.cy > 0 ? S.cy : 0x3FFFFFFF);
    }
    const QRegion& New = Device.Data()->Region;
    QRegion Result;
    switch (Mode) {
    case RGN_AND: Result = HasCurrent ? Current.intersected(New) : New; break;
    case RGN_OR: Result = HasCurrent ? Current.united(New) : Current; break;
    case RGN_XOR: Result = Current.xored(New); break;
    case RGN_DIFF: Result = Current.subtracted(New); break;
    case RGN_COPY: Result = New; break;
    }
    if (FClip.HasLimit)
        Result &= FClip.Limit.Data()->Region;
    FClip.Clip.Data()->Region = Result;
    FClip.HasClip = true;

    TCanvasOp Op;
    Op.Kind = TCanvasOp::opClipRegion;
    Op.A = RGN_COPY;
    Op.B = 1;
    Op.Region = std::make_shared<TRegion>(FClip.Clip);
    Perform(Op);
}

void TCanvas::SelectClipRegion(const TRegion* Region)
{
    if (Region) {
        ApplyClip(*Region, RGN_COPY);
        return;
    }
    FClip.HasClip = FClip.HasLimit;
    FClip.Clip = FClip.Limit;
    TCanvasOp Op;
    if (FClip.HasClip) {
        Op.Kind = TCanvasOp::opClipRegion;
        Op.A = RGN_COPY;
        Op.B = 1;
        Op.Region = std::make_shared<TRegion>(FClip.Clip);
    } else {
        Op.Kind = TCanvasOp::opClipNone;
    }
    Perform(Op);
}

void TCanvas::ExtSelectClipRegion(const TRegion& Region, TRegionCombine Mode) { ApplyClip(Region, Mode); }

void TCanvas::ClipWithLogicalRegion(const TRegion& Region, TRegionCombine Mode)
{
    ApplyClip(FromQRegion(MapRegion(Region.Data()->Region, FTransform)), Mode);
}

void TCanvas::IntersectClipRect(const TRect& R) { ClipWithLogicalRegion(TRegion::CreateRect(R), RGN_AND); }
void TCanvas::ExcludeClipRect(const TRect& R) { ClipWithLogicalRegion(TRegion::CreateRect(R), RGN_DIFF); }
void TCanvas::SelectClipRect(const TRect& R, TRegionCombine Mode) { ClipWithLogicalRegion(TRegion::CreateRect(R), Mode); }

void TCanvas::SelectClipRoundRect(const TRect& R, int EllipseWidth, int EllipseHeight, TRegionCombine Mode)
{
    ClipWithLogicalRegion(TRegion::CreateRoundRect(R, EllipseWidth, EllipseHeight), Mode);
}

void TCanvas::SelectClipEllipse(const TRect& R, TRegionCombine Mode) { ClipWithLogicalRegion(TRegion::CreateEllipse(R), Mode); }

void TCanvas::SelectClipPolygon(const std::vector<TPoint>& Points, TRegionCombine Mode)
{
    ClipWithLogicalRegion(TRegion::CreatePolygon(Points), Mode);
}

TCanvas::TClipState TCanvas::SaveClip() const { return FClip; }

void TCanvas::RestoreClip(const TClipState& State)
{
    FClip = State;
    TCanvasOp Op;
    if (FClip.HasClip) {
        Op.Kind = TCanvasOp::opClipRegion;
        Op.A = RGN_COPY;
        Op.B = 1;
        Op.Region = std::make_shared<TRegion>(FClip.Clip);
    } else {
        Op.Kind = TCanvasOp::opClipNone;
    }
    Perform(Op);
}

void TCanvas::LimitClip()
{
    FClip.HasLimit = FClip.HasClip;
    FClip.Limit = FClip.Clip;
}

// ---- paths

namespace {

TCanvasOp PathOp(TCanvasOp::TKind Kind, int A = 0)
{
    TCanvasOp Op;
    Op.Kind = Kind;
    Op.A = A;
    return Op;
}

}  // namespace

void TCanvas::BeginPath() { auto Op = PathOp(TCanvasOp::opBeginPath); DoPerform(Op); }
void TCanvas::EndPath() { auto Op = PathOp(TCanvasOp::opEndPath); DoPerform(Op); }
void TCanvas::AbortPath() { auto Op = PathOp(TCanvasOp::opAbortPath); DoPerform(Op); }
void TCanvas::CloseFigure() { auto Op = PathOp(TCanvasOp::opCloseFigure); DoPerform(Op); }
void TCanvas::StrokePath() { auto Op = PathOp(TCanvasOp::opStrokePath); DoPerform(Op); }
void TCanvas::FillPath() { auto Op = PathOp(TCanvasOp::opFillPath); DoPerform(Op); }
void TCanvas::StrokeAndFillPath() { auto Op = PathOp(TCanvasOp::opStrokeAndFillPath); DoPerform(Op); }
void TCanvas::WidenPath() { auto Op = PathOp(TCanvasOp::opWidenPath); DoPerform(Op); }
void TCanvas::SelectClipPath(TRegionCombine Mode) { auto Op = PathOp(TCanvasOp::opClipPath, Mode); DoPerform(Op); }

// ------------------------------------------------------------------ bitmaps

namespace {

QImage WhiteImage(int W, int H)
{
    if (W <= 0 || H <= 0)
        return {};
    QImage I(W, H, QImage::Format_RGB32);
    I.fill(0xFFFFFFFFu);
    return I;
}

}  // namespace

TBitmap::TBitmap() : FData(std::make_unique<TData>()) {}

TBitmap::TBitmap(int AWidth, int AHeight) : TBitmap() { SetSize(AWidth, AHeight); }

TBitmap::~TBitmap()
{
    // The canvas goes before the surface it paints on, the surface before
    // the image.
    FData->Canvas.reset();
    FData->Surface.reset();
}

int TBitmap::Width() const { return FData->Image.width(); }
int TBitmap::Height() const { return FData->Image.height(); }
void TBitmap::SetWidth(int Value) { SetSize(Value, Height()); }
void TBitmap::SetHeight(int Value) { SetSize(Width(), Value); }

void TBitmap::SetSize(int AWidth, int AHeight)
{
    AWidth = std::max(0, AWidth);
    AHeight = std::max(0, AHeight);
    if (AWidth == Width() && AHeight == Height())
        return;
    FData->Flush();
    QImage Next = WhiteImage(AWidth, AHeight);
    if (!FData->Image.isNull() && !Next.isNull()) {
        const int W = std::min(AWidth, Width()), H = std::min(AHeight, Height());
        for (int Y = 0; Y < H; ++Y)
            std::memcpy(Next.scanLine(Y), FData->Image.constScanLine(Y), static_cast<size_t>(W) * 4);
    }
    FData->Image = std::move(Next);
    if (OnChange)
        OnChange(this);
}

uint32_t* TBitmap::ScanLine(int Row)
{
    if (Row < 0 || Row >= Height())
        throw EInvalidGraphicOperation("Scan line index out of range");
    FData->Flush();
    return reinterpret_cast<uint32_t*>(FData->Image.scanLine(Row));
}

const uint32_t* TBitmap::ScanLine(int Row) const
{
    if (Row < 0 || Row >= Height())
        throw EInvalidGraphicOperation("Scan line index out of range");
    FData->Flush();
    return reinterpret_cast<const uint32_t*>(FData->Image.constScanLine(Row));
}

TCanvas* TBitmap::Canvas()
{
    if (!FData->Canvas) {
        FData->Surface = std::make_unique<TCanvasSurface>(&FData->Image);
        FData->Canvas = std::make_unique<TCanvas>();
        FData->Canvas->SetSurface(FData->Surface.get());
    }
    return FData->Canvas.get();
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    if (!ACanvas || Empty())
        return;
    TCanvasOp Op;
    Op.Kind = TCanvasOp::opStretchDraw;
    Op.R = Rect;
    Op.Image = std::shared_ptr<const TBitmap>(std::shared_ptr<const TBitmap>(), this);
    Op.A = 255;
    if (FTransparent) {
        Op.B = 1;
        Op.C = FTransparentColor;
    }
    ACanvas->Perform(Op);
}

void TBitmap::SaveToFile(const std::string& FileName)
{
    FData->Flush();
    EnsureApplication();
    QImageWriter Writer(QString::fromStdString(FileName));
    QImage Out = FData->Image.convertToFormat(QImage::Format_RGB888);
    if (Out.isNull() || !Writer.write(Out))
        throw EInvalidGraphicOperation("Cannot write the picture " + FileName);
}

void TBitmap::LoadFromFile(const std::string& FileName)
{
    EnsureApplication();
    QImageReader Reader(QString::fromStdString(FileName));
    QImage In = Reader.read();
    if (In.isNull())
        throw EInvalidGraphicOperation("Cannot read the picture " + FileName);
    FData->Flush();
    // Transparent parts become white, as on a new bitmap.
    QImage Rgb = WhiteImage(In.width(), In.height());
    {
        QPainter P(&Rgb);
        P.drawImage(0, 0, In);
    }
    FData->Image = std::move(Rgb);
    if (OnChange)
        OnChange(this);
}

// ------------------------------------------------------------------ bitmap resources

namespace {

std::unordered_map<std::string, std::string>& BitmapResources()
{
    static std::unordered_map<std::string, std::string> Resources;
    return Resources;
}

std::string ResourceKey(std::string Name)
{
    for (char& C : Name)
        C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    return Name;
}

}  // namespace

void RegisterBitmapResource(const std::string& Name, std::string Bytes)
{
    BitmapResources()[ResourceKey(Name)] = std::move(Bytes);
}

bool LoadBitmapResource(TBitmap& Bitmap, const std::string& Name)
{
    const auto It = BitmapResources().find(ResourceKey(Name));
    if (It == BitmapResources().end() || It->second.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return false;
    EnsureApplication();
    const QImage In = QImage::fromData(reinterpret_cast<const uchar*>(It->second.data()),
                                       static_cast<int>(It->second.size()));
    if (In.isNull())
        return false;
    TBitmap::TData* D = Bitmap.Data();
    D->Flush();
    // Transparent parts become white, as on a picture read from a file.
    QImage Rgb = WhiteImage(In.width(), In.height());
    {
        QPainter P(&Rgb);
        P.drawImage(0, 0, In);
    }
    D->Image = std::move(Rgb);
    if (Bitmap.OnChange)
        Bitmap.OnChange(&Bitmap);
    return true;
}

void TBitmap::Assign(TPersistent* Source)
{
    if (auto* B = dynamic_cast<TBitmap*>(Source)) {
        if (B == this)
            return;
        B->FData->Flush();
        FData->Flush();
        FData->Image = B->FData->Image.copy();
        FTransparent = B->FTransparent;
        FTransparentColor = B->FTransparentColor;
        if (OnChange)
            OnChange(this);
        return;
    }
    if (!Source) {
        SetSize(0, 0);
        return;
    }
    TGraphic::Assign(Source);
}

bool TBitmap::SameImage(const TBitmap& Other) const
{
    if (Width() != Other.Width() || Height() != Other.Height())
        return false;
    for (int Y = 0; Y < Height(); ++Y) {
        const uint32_t* A = ScanLine(Y);
        const uint32_t* B = Other.ScanLine(Y);
        for (int X = 0; X < Width(); ++X)
            if ((A[X] & 0xFFFFFFu) != (B[X] & 0xFFFFFFu))
                return false;
    }
    return true;
}
