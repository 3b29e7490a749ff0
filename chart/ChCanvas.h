// The chart library's drawing surface: the pen, brush, font, gradient and
// shadow settings of chart elements, the abstract canvas every element draws
// through, and its implementation over the platform canvas (buffered passes,
// clipping, 2-D identity and 3-D projection, solids, gradients, translucency
// and text).
#pragma once

#include "platform/Controls.h"
#include "platform/Graphics.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TChCanvas;
class TCanvas3D;
class TChFont;

// ------------------------------------------------------------------ value types

struct TPoint3D {
    int X = 0;
    int Y = 0;
    int Z = 0;
    bool operator==(const TPoint3D&) const = default;
};

struct TFloatPoint3D {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};

using TFourPoints = std::array<TPoint, 4>;
using TPointArray = std::vector<TPoint>;

enum TCanvasBackMode { cbmNone, cbmTransparent, cbmOpaque };

enum TGradientDirection {
    gdTopBottom, gdBottomTop, gdLeftRight, gdRightLeft, gdFromCenter,
    gdFromTopLeft, gdFromBottomLeft, gdRadial, gdDiagonalUp, gdDiagonalDown
};

enum TChCanvasSurfaceStyle { tcsSolid, tcsWire, tcsDot };

// Percent of transparency, 0 (opaque) to 100.
using TChTransparency = int;

using TChCanvasCalcPoints =
    std::function<bool(int X, int Z, TPoint3D& P0, TPoint3D& P1, TColor& Color0, TColor& Color1)>;

// The default colour value: the element has no colour of its own.
constexpr TColor clSeriesDefault = clDefault;

// ------------------------------------------------------------------ unit data

extern double ChPiStep;
extern int ChDefaultConePercent;
extern uint8_t DarkerColorQuantity;
extern uint8_t DarkColorQuantity;
extern bool IsWindowsNT;
extern int GetDefaultFontSize;
extern std::string GetDefaultFontName;
extern uint8_t ChFontAntiAlias;
extern int ChNumCylinderSides;

// Recolour the canvas's own brush or pen and answer the colour it had. Both
// are always present here.
using TChSetDCColor = TColor (*)(TCanvas* DC, TColor Color);
extern const TChSetDCColor ChSetDCBrushColor;
extern const TChSetDCColor ChSetDCPenColor;

// There is no system blending routine; translucency always mixes pixels itself.
constexpr bool CanAlphaBlend = false;

// Runs the unit's start-up once (message texts, default font name and size);
// every canvas and font calls it, so nobody needs to.
void ChCanvasStartUp();

// ------------------------------------------------------------------ pictures

// A picture that holds one graphic (a bitmap here), empty by default.
class TChPicture : public TPersistent {
public:
    // A stored picture holds its graphic as PNG bytes ("Data").
    void DefineProperties(TFiler* Filer) override;
    TChPicture();
    ~TChPicture() override;
    // nullptr while empty.
    TGraphic* Graphic() const { return FBitmap.get(); }
    // The picture's bitmap, created empty when there is none.
    TBitmap* Bitmap();
    int Width() const;
    int Height() const;
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    void Changed();
    std::unique_ptr<TBitmap> FBitmap;
};

// ------------------------------------------------------------------ pens and brushes

enum TPenEndStyle { esRound, esSquare, esFlat };

class TChartPen : public TPen {
    OZ_CLASS(TChartPen, TPen);

public:
    static void Publish(TPublisher<TChartPen>& P);
    explicit TChartPen(TNotifyEvent OnChange = nullptr);
    void Assign(TPersistent* Source) override;

    TPenEndStyle EndStyle() const { return FEndStyle; }
    void SetEndStyle(TPenEndStyle Value);
    bool SmallDots() const { return FSmallDots; }
    void SetSmallDots(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    // An owner that wants another default sets the value and its default.
    TPenEndStyle DefaultEndStyle = esRound;
    bool DefaultVisible = true;
    int DefaultWidth = 1;

    bool IsEndStyleStored() const { return FEndStyle != DefaultEndStyle; }
    bool IsSmallDotsStored() const { return FSmallDots; }
    bool IsVisibleStored() const { return FVisible != DefaultVisible; }
    bool IsWidthStored() const { return Width() != DefaultWidth; }

private:
    TPenEndStyle FEndStyle = esRound;
    bool FSmallDots = false;
    bool FVisible = true;
};

class TChartHiddenPen : public TChartPen {
    OZ_CLASS(TChartHiddenPen, TChartPen);

public:
    static void Publish(TPublisher<TChartHiddenPen>& P);
    explicit TChartHiddenPen(TNotifyEvent OnChange = nullptr);
};

class TDottedGrayPen : public TChartPen {
    OZ_CLASS(TDottedGrayPen, TChartPen);

public:
    static void Publish(TPublisher<TDottedGrayPen>& P);
    explicit TDottedGrayPen(TNotifyEvent OnChange = nullptr);
};

class TDarkGrayPen : public TChartPen {
    OZ_CLASS(TDarkGrayPen, TChartPen);

public:
    static void Publish(TPublisher<TDarkGrayPen>& P);
    explicit TDarkGrayPen(TNotifyEvent OnChange = nullptr);
};

class TWhitePen : public TChartPen {
    OZ_CLASS(TWhitePen, TChartPen);

public:
    static void Publish(TPublisher<TWhitePen>& P);
    explicit TWhitePen(TNotifyEvent OnChange = nullptr);
};

class TChartBrush : public TBrush {
    OZ_CLASS(TChartBrush, TBrush);

public:
    static void Publish(TPublisher<TChartBrush>& P);
    explicit TChartBrush(TNotifyEvent OnChange = nullptr);
    ~TChartBrush() override;
    void Assign(TPersistent* Source) override;
    // Style bsClear, image released.
    void Clear();
    // Created (empty) on first read.
    TChPicture* Image();
    void SetImage(TChPicture* Value);
    // True when the brush has a picture that holds a graphic; never creates it.
    bool HasImage() const;

private:
    std::unique_ptr<TChPicture> FImage;
};

// ------------------------------------------------------------------ 3-D view

class TView3DOptions : public TPersistent {
    OZ_CLASS(TView3DOptions, TPersistent);

public:
    static void Publish(TPublisher<TView3DOptions>& P);
    explicit TView3DOptions(TControl* AOwnerControl);
    void Assign(TPersistent* Source) override;
    void Repaint();
    double CalcOrthoRatio() const;

    int Elevation() const { return FElevation; }
    void SetElevation(int Value);
    int FontZoom() const { return FFontZoom; }
    void SetFontZoom(int Value);
    int HorizOffset() const { return FHorizOffset; }
    void SetHorizOffset(int Value);
    int OrthoAngle() const { return FOrthoAngle; }
    void SetOrthoAngle(int Value);
    bool Orthogonal() const { return FOrthogonal; }
    void SetOrthogonal(bool Value);
    int Perspective() const { return FPerspective; }
    void SetPerspective(int Value);
    int Rotation() const { return FRotation; }
    void SetRotation(int Value);
    int Tilt() const { return FTilt; }
    void SetTilt(int Value);
    int VertOffset() const { return FVertOffset; }
    void SetVertOffset(int Value);
    int Zoom() const { return FZoom; }
    void SetZoom(int Value);
    bool ZoomText() const { return FZoomText; }
    void SetZoomText(bool Value);

    std::function<void(bool IsHoriz)> OnOffsetChanged;
    std::function<void(int NewZoom)> OnZoomChanging;
    TControl* OwnerControl() const { return FOwnerControl; }

private:
    void SetAndRepaint(int& Field, int Value);
    int FElevation = 345;
    int FFontZoom = 100;
    int FHorizOffset = 0;
    int FOrthoAngle = 45;
    bool FOrthogonal = true;
    int FPerspective = 15;
    int FRotation = 345;
    int FTilt = 0;
    int FVertOffset = 0;
    int FZoom = 100;
    bool FZoomText = true;
    TControl* FOwnerControl;
};

// ------------------------------------------------------------------ translucency

class TChBlend : public TObject {
public:
    TChBlend(TChCanvas* ACanvas, const TRect& R);
    ~TChBlend() override;
    void SetRectangle(const TRect& R);
    void DoBlend(int Transparency);

    const TRect& Rectangle() const { return FRect; }
    bool Valid() const { return FValid; }
    // Percent recorded when the blend began.
    int Transparency = 0;

private:
    TChCanvas* FCanvas;
    TRect FRect;
    std::unique_ptr<TBitmap> FBackground;
    bool FValid = false;
};

// Mixes the captured background B into D at (X0, Y0): the result keeps
// Percent percent of D and the rest of B.
void ChBlendBitmaps(TBitmap* D, int X0, int Y0, TBitmap* B, int Percent);

// ------------------------------------------------------------------ gradients

class TCustomChGradient : public TPersistent {
    OZ_CLASS(TCustomChGradient, TPersistent);

public:
    static void Publish(TPublisher<TCustomChGradient>& P);
    explicit TCustomChGradient(TNotifyEvent OnChange = nullptr);
    void Assign(TPersistent* Source) override;

    int Balance() const { return FBalance; }
    void SetBalance(int Value);
    TGradientDirection Direction() const { return FDirection; }
    void SetDirection(TGradientDirection Value);
    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor Value);
    TColor MidColor() const { return FMidFlag ? FMidColor : clNone; }
    void SetMidColor(TColor Value);
    int RadialX() const { return FRadialX; }
    void SetRadialX(int Value);
    int RadialY() const { return FRadialY; }
    void SetRadialY(int Value);
    TColor StartColor() const { return FStartColor; }
    void SetStartColor(TColor Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void UseMiddleColor();

    void Draw(TChCanvas* Canvas, const TRect& R, int RoundRectSize = 0);
    void Draw(TChCanvas* Canvas, const TFourPoints& P);
    void Draw(TCanvas3D* Canvas, const TFourPoints& P, int Z);
    void Draw(TCanvas3D* Canvas, const TPointArray& Points, int Z, bool Is3D);
    void DrawRadial(TChCanvas* Canvas, const TRect& R);

    TNotifyEvent OnChange;

protected:
    void Changed();

private:
    template <class T> void SetAndNotify(T& Field, T Value);
    int FBalance = 50;
    TGradientDirection FDirection = gdTopBottom;
    TColor FEndColor = clYellow;
    TColor FMidColor = clNone;
    int FRadialX = 0;
    int FRadialY = 0;
    TColor FStartColor = clWhite;
    bool FVisible = false;
    bool FMidFlag = false;
};

class TChGradient : public TCustomChGradient {
public:
    using TCustomChGradient::TCustomChGradient;
};

class TChFontGradient : public TChGradient {
    OZ_CLASS(TChFontGradient, TChGradient);

public:
    static void Publish(TPublisher<TChFontGradient>& P);
    using TChGradient::TChGradient;
    void Assign(TPersistent* Source) override;
    bool Outline() const { return FOutline; }
    void SetOutline(bool Value);

private:
    bool FOutline = false;
};

// ------------------------------------------------------------------ shadows

class TChShadow : public TPersistent {
    OZ_CLASS(TChShadow, TPersistent);

public:
    static void Publish(TPublisher<TChShadow>& P);
    explicit TChShadow(TNotifyEvent OnChange = nullptr);
    ~TChShadow() override;
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int HorizSize() const { return FHorizSize; }
    void SetHorizSize(int Value);
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Value);
    TChTransparency Transparency() const { return FTransparency; }
    // Clamped to 0..100.
    void SetTransparency(TChTransparency Value);
    int VertSize() const { return FVertSize; }
    void SetVertSize(int Value);
    int Size() const { return FHorizSize > FVertSize ? FHorizSize : FVertSize; }
    void SetSize(int Value);

    bool PrepareCanvas(TCanvas3D* Canvas, const TRect& R, int Z = 0);
    void FinishBlending(TChCanvas* Canvas);
    void Draw(TCanvas3D* Canvas, const TRect& R, int Z = 0);
    void DrawEllipse(TCanvas3D* Canvas, const TRect& R, int Z = 0);

    bool IsColorStored() const { return FColor != DefaultColor; }
    bool IsHorizStored() const { return FHorizSize != DefaultSize; }
    bool IsVertStored() const { return FVertSize != DefaultSize; }

    TNotifyEvent OnChange;
    TColor DefaultColor = clSilver;
    int DefaultSize = 0;

private:
    template <class T> void SetAndNotify(T& Field, T Value);
    TColor FColor = clSilver;
    int FHorizSize = 0;
    bool FSmooth = true;
    TChTransparency FTransparency = 0;
    int FVertSize = 0;
    // Lives from PrepareCanvas to FinishBlending, which hands it to EndBlending.
    TChBlend* FBlend = nullptr;
};

// ------------------------------------------------------------------ fonts

class TChFont : public TFont {
    OZ_CLASS(TChFont, TFont);

public:
    static void Publish(TPublisher<TChFont>& P);
    explicit TChFont(TNotifyEvent OnChange = nullptr);
    ~TChFont() override;
    void Assign(TPersistent* Source) override;

    // Created on first read; writing nullptr frees them, anything else is
    // copied into ours.
    TChFontGradient* Gradient();
    void SetGradient(TChFontGradient* Value);
    TChartHiddenPen* OutLine();
    void SetOutLine(TChartHiddenPen* Value);
    TChShadow* Shadow();
    void SetShadow(TChShadow* Value);
    bool HasGradient() const { return FGradient != nullptr; }
    bool HasOutLine() const { return FOutLine != nullptr; }
    bool HasShadow() const { return FShadow != nullptr; }

    int InterCharSize() const { return FInterCharSize; }
    void SetInterCharSize(int Value);

    // The canvas that last applied this font; only a record, never followed
    // (the canvas may be gone).
    TChCanvas* Canvas = nullptr;
    TColor DefaultColor = clBlack;
    TFontStyles DefaultStyle;

    bool IsColorStored() const { return Color() != DefaultColor; }
    bool IsHeightStored() const { return Size() != GetDefaultFontSize; }
    bool IsNameStored() const { return Name() != GetDefaultFontName; }
    bool IsStyleStored() const { return !(Style() == DefaultStyle); }

private:
    std::unique_ptr<TChFontGradient> FGradient;
    int FInterCharSize = 0;
    std::unique_ptr<TChartHiddenPen> FOutLine;
    std::unique_ptr<TChShadow> FShadow;
};

// ------------------------------------------------------------------ the canvas

// The 2-D drawing state and primitives. Pen, Brush and Font are those of the
// platform canvas being drawn into (ReferenceCanvas); an unbound canvas draws
// into a canvas without surface, which accepts everything and paints nothing.
class TChCanvas : public TObject {
public:
    TChCanvas();
    ~TChCanvas() override;

    TCanvas* ReferenceCanvas = nullptr;
    TFont* Font = nullptr;
    TPen* Pen = nullptr;
    TBrush* Brush = nullptr;
    bool Metafiling = false;
    // Off (the default), a series whose points crowd into one pixel column
    // may paint the pixels a run of them would paint at once instead of
    // point by point, where that leaves the picture the same. On, every
    // point is drawn by itself (the reference the pictures are held to).
    bool DrawEveryPoint = false;
    int BlendTransparency = 0;
    TRect Bounds;
    TChFont* CurrentFont = nullptr;
    double FontZoomFactor = 100.0;

    // state: properties read as Foo() and written with SetFoo(); the pixel
    // and device handle are read with GetPixel and Handle.
    virtual TColor BackColor() = 0;
    virtual TCanvasBackMode BackMode() = 0;
    virtual TCanvas* Handle() = 0;
    virtual bool Monochrome() = 0;
    virtual TColor GetPixel(int X, int Y) = 0;
    virtual bool SupportsFullRotation() = 0;
    virtual int TextAlign() = 0;
    virtual bool UseBuffer() = 0;
    virtual void SetBackColor(TColor Color) = 0;
    virtual void SetBackMode(TCanvasBackMode Mode) = 0;
    virtual void SetMonochrome(bool Value) = 0;
    virtual void SetPixel(int X, int Y, TColor Color) = 0;
    virtual void SetTextAlign(int Align) = 0;
    virtual void SetUseBuffer(bool Value) = 0;
    virtual void AssignVisiblePenColor(TPen* APen, TColor Color);
    virtual TChBlend* BeginBlending(const TRect& R, int Transparency);
    virtual void EndBlending(TChBlend* Blend);

    // 2-D primitives
    virtual void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) = 0;
    virtual void Donut(int XCenter, int YCenter, int XRadius, int YRadius,
                       double StartAngle, double EndAngle, double HolePercent) = 0;
    virtual void Draw(int X, int Y, TGraphic* Graphic) = 0;
    virtual void Ellipse(int X1, int Y1, int X2, int Y2) = 0;
    virtual void FillRect(const TRect& R) = 0;
    virtual void Frame3D(TRect& R, TColor TopColor, TColor BottomColor, int Width);
    virtual void LineTo(int X, int Y) = 0;
    virtual void MoveTo(int X, int Y) = 0;
    virtual void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) = 0;
    virtual void Rectangle(int X0, int Y0, int X1, int Y1) = 0;
    virtual void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) = 0;
    virtual void StretchDraw(const TRect& R, TGraphic* Graphic) = 0;
    virtual void TextOut(int X, int Y, const std::string& Text) = 0;
    virtual int TextWidth(const std::string& Text);
    virtual int TextHeight(const std::string& Text);

    // clipping and the rest
    virtual void ClipRectangle(const TRect& R) = 0;
    virtual void ClipRectangle(const TRect& R, int RoundSize);
    virtual void ClipEllipse(const TRect& R, bool Inverted = false);
    virtual void ClipPolygon(const TPoint* Points, int NumPoints);
    virtual void DoHorizLine(int X0, int X1, int Y) = 0;
    virtual void DoVertLine(int X, int Y0, int Y1) = 0;
    virtual void EraseBackground(const TRect& R) = 0;
    virtual void GradientFill(const TRect& R, TColor StartColor, TColor EndColor,
                              TGradientDirection Direction, int Balance = 50) = 0;
    virtual void Invalidate() = 0;
    virtual void Line(int X0, int Y0, int X1, int Y1) = 0;
    virtual void Polyline(const TPoint* Points, int Count) = 0;
    virtual void Polygon(const TPoint* Points, int Count) = 0;
    virtual void RotateLabel(int X, int Y, const std::string& Text, double Angle) = 0;
    virtual void UnClipRectangle() = 0;

    // A font that goes away stops being the current font of every canvas.
    static void ForgetFont(TChFont* AFont);

    // forms every canvas has
    void SetCanvas(TCanvas* Canvas);
    void ResetState();
    void AssignVisiblePen(TPen* APen) { AssignVisiblePenColor(APen, APen->Color()); }
    void AssignBrush(TBrush* ABrush, TColor Color);
    void AssignBrushColor(TBrush* ABrush, TColor Color, TColor ABackColor);
    void AssignFont(TChFont* AFont);
    void InternalDark(TColor Color, uint8_t Quantity);
    int GetFontHeight() { return TextHeight("W"); }
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void DoRectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    void RoundRect(const TRect& R, int X, int Y) { RoundRect(R.Left, R.Top, R.Right, R.Bottom, X, Y); }
    void Line(const TPoint& P0, const TPoint& P1) { Line(P0.X, P0.Y, P1.X, P1.Y); }
    void ClipPolygon(const TPointArray& Points, int NumPoints) { ClipPolygon(Points.data(), NumPoints); }
    void Polyline(const TPointArray& Points) { Polyline(Points.data(), static_cast<int>(Points.size())); }
    void Polygon(const TPointArray& Points) { Polygon(Points.data(), static_cast<int>(Points.size())); }
    void Polygon(const TFourPoints& Points) { Polygon(Points.data(), 4); }

private:
    TCanvas FUnbound;
};

// The 3-D layer: projection, the drawing pass and 3-D primitives.
class TCanvas3D : public TChCanvas {
public:
    using TChCanvas::Polyline;
    using TChCanvas::Rectangle;

    TView3DOptions* View3DOptions = nullptr;
    int RotationLockCount = 0;
    bool UseOrthoProjection = false;
    int GradientZ = 0;
    TFloatPoint3D CentreOffset;

    virtual TColor GetPixel3D(int X, int Y, int Z) = 0;
    virtual bool Supports3DText() = 0;
    virtual void SetPixel3D(int X, int Y, int Z, TColor Color) = 0;
    virtual void Calculate2DPosition(int& X, int& Y, int Z) = 0;
    virtual TPoint Calculate3DPosition(int X, int Y, int Z) = 0;
    virtual TRect InitWindow(TCanvas* DestCanvas, TView3DOptions* Options, TColor ABackColor,
                             bool Is3D, const TRect& UserRect) = 0;
    virtual void Assign(TCanvas3D* Source);
    virtual void Projection(int MaxDepth, const TRect& ABounds, const TRect& Rect) = 0;
    virtual void ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& UserRect) = 0;
    virtual bool ReDrawBitmap() = 0;

    virtual void Arrow(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint,
                       int HeadWidth, int HeadHeight, int Z) = 0;
    virtual void ClipCube(const TRect& R, int MinZ, int MaxZ) = 0;
    virtual void Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                      bool Dark3D, int ConePercent) = 0;
    virtual void Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides = true) = 0;
    virtual void Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                          bool Dark3D) = 0;
    virtual void DisableRotation() {}
    virtual void EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) = 0;
    virtual void EnableRotation() {}
    virtual void HorizLine3D(int Left, int Right, int Y, int Z) = 0;
    virtual void VertLine3D(int X, int Top, int Bottom, int Z) = 0;
    virtual void ZLine3D(int X, int Y, int Z0, int Z1) = 0;
    virtual void FrontPlaneBegin();
    virtual void FrontPlaneEnd();
    virtual void LineWithZ(int X0, int Y0, int X1, int Y1, int Z) = 0;
    virtual void MoveTo3D(int X, int Y, int Z) = 0;
    virtual void LineTo3D(int X, int Y, int Z) = 0;
    virtual void Pie3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1,
                       double StartAngle, double EndAngle, bool DarkSides, bool DrawSides,
                       int DonutPercent = 0, TCustomChGradient* Gradient = nullptr) = 0;
    virtual void Plane3D(const TPoint& A, const TPoint& B, int Z0, int Z1) = 0;
    virtual void PlaneWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, const TPoint& P4, int Z) = 0;
    virtual void PlaneFour3D(TFourPoints& Points, int Z0, int Z1) = 0;
    virtual void PolygonWithZ(const TPoint* Points, int Count, int Z) = 0;
    virtual void Polyline(const TPoint* Points, int Count, int Z) = 0;
    virtual void Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                         bool DarkSides) = 0;
    virtual void PyramidTrunc(const TRect& R, int StartZ, int EndZ, int TruncX, int TruncZ) = 0;
    virtual void RectangleWithZ(const TRect& R, int Z) = 0;
    virtual void RectangleY(int Left, int Y, int Right, int Z0, int Z1) = 0;
    virtual void RectangleZ(int X, int Top, int Bottom, int Z0, int Z1) = 0;
    virtual void RotateLabel3D(int X, int Y, int Z, const std::string& Text, double Angle) = 0;
    virtual void Sphere(int X, int Y, int Z, double Radius) = 0;
    virtual void Surface3D(TChCanvasSurfaceStyle Style, bool SameBrush, int NumXValues, int NumZValues,
                           const TChCanvasCalcPoints& CalcPoints) = 0;
    virtual void TextOut3D(int X, int Y, int Z, const std::string& Text) = 0;
    virtual void Triangle3D(const std::array<TPoint3D, 3>& Points, const std::array<TColor, 3>& Colors) = 0;
    virtual void TriangleWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, int Z) = 0;

    // forms every 3-D canvas has
    TRect CalcRect3D(const TRect& R, int Z);
    TPoint Calculate3DPosition(const TPoint3D& P) { return Calculate3DPosition(P.X, P.Y, P.Z); }
    TPoint Calculate3DPosition(const TPoint& P, int Z) { return Calculate3DPosition(P.X, P.Y, Z); }
    void Cube(const TRect& R, int Z0, int Z1, bool DarkSides = true)
    {
        Cube(R.Left, R.Right, R.Top, R.Bottom, Z0, Z1, DarkSides);
    }
    TFourPoints FourPointsFromRect(const TRect& R, int Z);
    TRect RectFromRectZ(const TRect& R, int Z);
    void LineWithZ(const TPoint& P0, const TPoint& P1, int Z) { LineWithZ(P0.X, P0.Y, P1.X, P1.Y, Z); }
    void MoveTo3D(const TPoint3D& P) { MoveTo3D(P.X, P.Y, P.Z); }
    void LineTo3D(const TPoint3D& P) { LineTo3D(P.X, P.Y, P.Z); }
    void PlaneWithZ(const TFourPoints& P, int Z) { PlaneWithZ(P[0], P[1], P[2], P[3], Z); }
    void PolygonWithZ(const TPointArray& Points, int Z)
    {
        PolygonWithZ(Points.data(), static_cast<int>(Points.size()), Z);
    }
    void Polyline(const TPointArray& Points, int Z) { Polyline(Points.data(), static_cast<int>(Points.size()), Z); }
    void Rectangle(const TRect& R, int Z) { RectangleWithZ(R, Z); }
    void Rectangle(int Left, int Top, int Right, int Bottom, int Z) { RectangleWithZ({Left, Top, Right, Bottom}, Z); }
    void RotatedEllipse(int Left, int Top, int Right, int Bottom, int Z, double Angle);
    void StretchDraw(const TRect& R, TGraphic* Graphic, int Z);
    using TChCanvas::StretchDraw;
};

// The canvas of every chart panel, over the platform canvas.
class TChCanvas3D : public TCanvas3D {
public:
    using TCanvas3D::Ellipse;
    using TCanvas3D::Line;
    using TCanvas3D::Polygon;
    using TCanvas3D::Polyline;
    using TCanvas3D::Rectangle;
    using TCanvas3D::RoundRect;
    using TCanvas3D::StretchDraw;
    using TCanvas3D::Calculate3DPosition;
    using TCanvas3D::Cube;
    using TCanvas3D::LineWithZ;
    using TCanvas3D::MoveTo3D;
    using TCanvas3D::LineTo3D;
    using TCanvas3D::PlaneWithZ;
    using TCanvas3D::PolygonWithZ;

    TChCanvas3D();
    ~TChCanvas3D() override;

    int CentreX = 0;
    int CentreY = 0;
    int CentreZ = 0;
    int OriginX = 0;
    int OriginY = 0;
    double SinElevation = 0, SinRotation = 0, SinTilt = 0;
    double CosElevation = 0, CosRotation = 0, CosTilt = 0;
    double InverseK1 = 0, InverseK2 = 0, InverseK3 = 0, InverseK4 = 0, InverseK5 = 0, InverseK6 = 0;
    bool SavedMode3D = false;
    std::unique_ptr<TBitmap> BufferBitmap;
    bool BufferStale = true;
    bool MonochromeFlag = false;
    bool PerspectiveOn = false;
    bool TiltOn = false;
    double OrthoDX = 0;
    double OrthoDY = 0;
    double PerspectiveScale = 0;
    double ZoomScale = 0;
    bool ZoomFonts = true;
    bool Buffered = true;
    bool Mode3D = false;
    TFourPoints QuadPoints;

    // state
    TColor BackColor() override;
    TCanvasBackMode BackMode() override;
    TCanvas* Handle() override { return ReferenceCanvas; }
    bool Monochrome() override { return MonochromeFlag; }
    TColor GetPixel(int X, int Y) override;
    bool SupportsFullRotation() override { return false; }
    int TextAlign() override;
    bool UseBuffer() override { return Buffered; }
    void SetBackColor(TColor Color) override;
    void SetBackMode(TCanvasBackMode Mode) override;
    void SetMonochrome(bool Value) override;
    void SetPixel(int X, int Y, TColor Color) override;
    void SetTextAlign(int Align) override;
    void SetUseBuffer(bool Value) override;

    // 2-D primitives
    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) override;
    void Donut(int XCenter, int YCenter, int XRadius, int YRadius,
               double StartAngle, double EndAngle, double HolePercent) override;
    void Draw(int X, int Y, TGraphic* Graphic) override;
    void Ellipse(int X1, int Y1, int X2, int Y2) override;
    void FillRect(const TRect& R) override;
    void LineTo(int X, int Y) override;
    void MoveTo(int X, int Y) override;
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) override;
    void Rectangle(int X0, int Y0, int X1, int Y1) override;
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) override;
    void StretchDraw(const TRect& R, TGraphic* Graphic) override;
    void TextOut(int X, int Y, const std::string& Text) override;

    void ClipRectangle(const TRect& R) override;
    using TChCanvas::ClipRectangle;
    void DoHorizLine(int X0, int X1, int Y) override;
    void DoVertLine(int X, int Y0, int Y1) override;
    void EraseBackground(const TRect& R) override;
    void GradientFill(const TRect& R, TColor StartColor, TColor EndColor,
                      TGradientDirection Direction, int Balance = 50) override;
    void Invalidate() override { BufferStale = true; }
    void Line(int X0, int Y0, int X1, int Y1) override;
    void Polyline(const TPoint* Points, int Count) override;
    void Polygon(const TPoint* Points, int Count) override;
    void RotateLabel(int X, int Y, const std::string& Text, double Angle) override;
    void UnClipRectangle() override;

    // projection and the pass
    TColor GetPixel3D(int X, int Y, int Z) override;
    bool Supports3DText() override { return false; }
    void SetPixel3D(int X, int Y, int Z, TColor Color) override;
    void Calculate2DPosition(int& X, int& Y, int Z) override;
    TPoint Calculate3DPosition(int X, int Y, int Z) override;
    TRect InitWindow(TCanvas* DestCanvas, TView3DOptions* Options, TColor ABackColor,
                     bool Is3D, const TRect& UserRect) override;
    void Projection(int MaxDepth, const TRect& ABounds, const TRect& Rect) override;
    void ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& UserRect) override;
    bool ReDrawBitmap() override;

    // 3-D primitives
    void Arrow(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint,
               int HeadWidth, int HeadHeight, int Z) override;
    void ClipCube(const TRect& R, int MinZ, int MaxZ) override;
    void Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
              bool Dark3D, int ConePercent) override;
    void Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides = true) override;
    void Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                  bool Dark3D) override;
    void DisableRotation() override;
    void EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) override;
    void EnableRotation() override;
    void HorizLine3D(int Left, int Right, int Y, int Z) override;
    void VertLine3D(int X, int Top, int Bottom, int Z) override;
    void ZLine3D(int X, int Y, int Z0, int Z1) override;
    void LineWithZ(int X0, int Y0, int X1, int Y1, int Z) override;
    void MoveTo3D(int X, int Y, int Z) override;
    void LineTo3D(int X, int Y, int Z) override;
    void Pie3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1,
               double StartAngle, double EndAngle, bool DarkSides, bool DrawSides,
               int DonutPercent = 0, TCustomChGradient* Gradient = nullptr) override;
    void Plane3D(const TPoint& A, const TPoint& B, int Z0, int Z1) override;
    void PlaneWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, const TPoint& P4, int Z) override;
    void PlaneFour3D(TFourPoints& Points, int Z0, int Z1) override;
    void PolygonWithZ(const TPoint* Points, int Count, int Z) override;
    void Polyline(const TPoint* Points, int Count, int Z) override;
    void Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                 bool DarkSides) override;
    void PyramidTrunc(const TRect& R, int StartZ, int EndZ, int TruncX, int TruncZ) override;
    void RectangleWithZ(const TRect& R, int Z) override;
    void RectangleY(int Left, int Y, int Right, int Z0, int Z1) override;
    void RectangleZ(int X, int Top, int Bottom, int Z0, int Z1) override;
    void RotateLabel3D(int X, int Y, int Z, const std::string& Text, double Angle) override;
    void Sphere(int X, int Y, int Z, double Radius) override;
    void Surface3D(TChCanvasSurfaceStyle Style, bool SameBrush, int NumXValues, int NumZValues,
                   const TChCanvasCalcPoints& CalcPoints) override {}
    void TextOut3D(int X, int Y, int Z, const std::string& Text) override;
    void Triangle3D(const std::array<TPoint3D, 3>& Points, const std::array<TColor, 3>& Colors) override;
    void TriangleWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, int Z) override;

    virtual void PolygonFour();
    virtual void DeleteBitmap();
    virtual void TransferBitmap(int X, int Y, TCanvas* Canvas);

    // The projection of a point whose X and Y are not whole pixels (ellipses,
    // pies, planes of four points); the rotated view always takes the tilt form.
    TPoint Calculate3DPositionFloat(double X, double Y, int Z);

private:
    void CalcTrigValues();
    void PolygonWithGradient(const TPointArray& Points, TCustomChGradient* Gradient);
    void ConeImpl(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                  bool Dark3D, int ConePercent);
};

// ------------------------------------------------------------------ unit routines

inline TPoint ChPoint(int X, int Y) { return {X, Y}; }
inline TPoint3D Point3D(int X, int Y, int Z) { return {X, Y, Z}; }
inline TRect ChRect(int Left, int Top, int Right, int Bottom) { return {Left, Top, Right, Bottom}; }
bool PointInRect(const TRect& R, int X, int Y);
TRect OrientRectangle(const TRect& R);
void RectSize(const TRect& R, int& Width, int& Height);
void RectCenter(const TRect& R, int& X, int& Y);
TRect PolygonBounds(const TPointArray& Points);
bool ChCull(const TPoint& P0, const TPoint& P1, const TPoint& P2);
inline bool ChCull(const TFourPoints& Points) { return ChCull(Points[0], Points[1], Points[2]); }
// Replaces the points by their convex hull; false for fewer than three.
bool ConvexHull(TPointArray& Points);
void CalcPieAngles(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4,
                   double& StartAngle, double& EndAngle);

struct TRGBValue {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
};
TRGBValue RGBValue(TColor Color);
TColor ApplyDark(TColor Color, uint8_t Quantity);
TColor ApplyBright(TColor Color, uint8_t Quantity);
void ChGrayScale(TBitmap* Bitmap, bool Inverted, int Mode);
// Realises a chart pen on a platform pen: small dots, caps and joins, width.
void ChSetChPen(TPen* APen, TChartPen* ChartPen, TColor Color, TCanvas* DC);
void ChCreatePenSmallDots(TPen* APen, TColor Color);
// A pen whose strokes paint just the union of their pixels in one colour,
// or nothing: a one-pixel solid pen that copies, or a clear one.
bool ChThinSolidPen(TPen* Pen);
// The rows a one-pixel line from row A to row B of one column paints: from A
// towards B, without B; empty (Lo > Hi) when A == B.
void ChColumnSegmentRows(int A, int B, int& Lo, int& Hi);
// The clip in force before ClipCanvas is kept per platform canvas; clips do
// not nest (a second ClipCanvas replaces what the first saved).
void ClipCanvas(TCanvas* Canvas, const TRect& R);
void UnClipCanvas(TCanvas* Canvas);
// Drops what ClipCanvas saved for a platform canvas that goes away.
void ChForgetSavedClip(TCanvas* Canvas);
void ClipEllipse(TChCanvas* Canvas, const TRect& R);
void ClipRoundRectangle(TChCanvas* Canvas, const TRect& R, int RoundSize);
void ClipPolygon(TChCanvas* Canvas, const TPoint* Points, int NumPoints);
TRect RectFromPolygon(const TPoint* Points, int NumPoints);
TRect RectFromTriangle(const std::array<TPoint, 3>& Points);
TPoint PointAtDistance(const TPoint& P0, const TPoint& P1, int Distance);
double ChDistance(int X, int Y);
void SwapInteger(int& A, int& B);
void SwapDouble(double& A, double& B);

enum TSmoothStretchOption { ssBestQuality, ssBestPerformance };
void SmoothStretch(TBitmap* Source, TBitmap* Dest, TSmoothStretchOption Option = ssBestQuality);

// Round to nearest, ties to even, as every rounding of the library.
int ChRound(double Value);
