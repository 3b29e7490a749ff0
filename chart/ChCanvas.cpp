// Unit data and routines of the canvas unit, the pen, brush, picture and 3-D
// view setting objects, and the members every canvas shares.
#include "chart/ChCanvas.h"

#include "chart/ChConst.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <stdexcept>

// ------------------------------------------------------------------ unit data

double ChPiStep = M_PI / 180.0;
int ChDefaultConePercent = 0;
uint8_t DarkerColorQuantity = 128;
uint8_t DarkColorQuantity = 64;
bool IsWindowsNT = true;
int GetDefaultFontSize = 8;
std::string GetDefaultFontName = "Arial";
uint8_t ChFontAntiAlias = 4;
int ChNumCylinderSides = 16;

namespace {

TColor SetCanvasBrushColor(TCanvas* DC, TColor Color)
{
    const TColor Old = DC->Brush()->Color();
    DC->Brush()->SetColor(Color);
    return Old;
}

TColor SetCanvasPenColor(TCanvas* DC, TColor Color)
{
    const TColor Old = DC->Pen()->Color();
    DC->Pen()->SetColor(Color);
    return Old;
}

} // namespace

const TChSetDCColor ChSetDCBrushColor = SetCanvasBrushColor;
const TChSetDCColor ChSetDCPenColor = SetCanvasPenColor;

void ChCanvasStartUp()
{
    static bool Done = false;
    if (Done)
        return;
    Done = true;
    GetDefaultFontSize = StrToIntDef(ChMsg_DefaultFontSize, 8);
    GetDefaultFontName = ChMsg_DefaultFontName;
}

int ChRound(double Value)
{
    if (!(Value == Value))
        return 0;
    if (Value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (Value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(std::nearbyint(Value));
}

// ------------------------------------------------------------------ value helpers

bool PointInRect(const TRect& R, int X, int Y)
{
    return X >= R.Left && X <= R.Right && Y >= R.Top && Y <= R.Bottom;
}

TRect OrientRectangle(const TRect& R)
{
    TRect Result = R;
    if (Result.Left > Result.Right)
        std::swap(Result.Left, Result.Right);
    if (Result.Top > Result.Bottom)
        std::swap(Result.Top, Result.Bottom);
    return Result;
}

void RectSize(const TRect& R, int& Width, int& Height)
{
    Width = R.Right - R.Left;
    Height = R.Bottom - R.Top;
}

void RectCenter(const TRect& R, int& X, int& Y)
{
    X = (R.Left + R.Right) / 2;
    Y = (R.Top + R.Bottom) / 2;
}

TRect PolygonBounds(const TPointArray& Points)
{
    if (Points.empty())
        return {};
    TRect Result{Points[0].X, Points[0].Y, Points[0].X, Points[0].Y};
    for (const TPoint& P : Points) {
        if (P.X < Result.Left)
            Result.Left = P.X;
        else if (P.X > Result.Right)
            Result.Right = P.X;
        if (P.Y < Result.Top)
            Result.Top = P.Y;
        else if (P.Y > Result.Bottom)
            Result.Bottom = P.Y;
    }
    return Result;
}

bool ChCull(const TPoint& P0, const TPoint& P1, const TPoint& P2)
{
    // 64-bit, so far-off (clamped) coordinates cannot overflow the product.
    const int64_t A = static_cast<int64_t>(P0.X - static_cast<int64_t>(P1.X)) * (static_cast<int64_t>(P2.Y) - P1.Y);
    const int64_t B = static_cast<int64_t>(P2.X - static_cast<int64_t>(P1.X)) * (static_cast<int64_t>(P0.Y) - P1.Y);
    return A - B < 0;
}

namespace {

int64_t CrossAt(const TPoint& Prev, const TPoint& P, const TPoint& Next)
{
    return (static_cast<int64_t>(Prev.X) - P.X) * (static_cast<int64_t>(Next.Y) - P.Y)
         - (static_cast<int64_t>(Next.X) - P.X) * (static_cast<int64_t>(Prev.Y) - P.Y);
}

void SortByKey(TPointArray& Points, std::vector<float>& Keys, int L, int R)
{
    int I = L;
    int J = R;
    const float Middle = Keys[static_cast<size_t>((L + R) / 2)];
    do {
        while (Keys[static_cast<size_t>(I)] < Middle)
            ++I;
        while (Keys[static_cast<size_t>(J)] > Middle)
            --J;
        if (I <= J) {
            std::swap(Keys[static_cast<size_t>(I)], Keys[static_cast<size_t>(J)]);
            std::swap(Points[static_cast<size_t>(I)], Points[static_cast<size_t>(J)]);
            ++I;
            --J;
        }
    } while (I <= J);
    if (L < J)
        SortByKey(Points, Keys, L, J);
    if (I < R)
        SortByKey(Points, Keys, I, R);
}

} // namespace

bool ConvexHull(TPointArray& Points)
{
    if (Points.size() == 3)
        return true;
    if (Points.size() < 3)
        return false;

    size_t PivotIndex = 0;
    for (size_t I = 1; I < Points.size(); ++I) {
        const TPoint& P = Points[I];
        const TPoint& Best = Points[PivotIndex];
        if (P.Y < Best.Y || (P.Y == Best.Y && P.X > Best.X))
            PivotIndex = I;
    }
    const TPoint Pivot = Points[PivotIndex];
    Points[PivotIndex] = Points.back();
    Points.pop_back();

    std::vector<float> Keys(Points.size());
    for (size_t I = 0; I < Points.size(); ++I) {
        const double DX = static_cast<double>(Pivot.X) - Points[I].X;
        const double D = std::hypot(DX, static_cast<double>(Pivot.Y) - Points[I].Y);
        Keys[I] = D == 0 ? 0.0f : static_cast<float>(DX / D);
    }
    SortByKey(Points, Keys, 0, static_cast<int>(Points.size()) - 1);

    size_t I = 1;
    while (Points.size() >= 2 && I < Points.size() - 1) {
        if (CrossAt(Points[I - 1], Points[I], Points[I + 1]) < 0)
            ++I;
        else {
            Points.erase(Points.begin() + static_cast<std::ptrdiff_t>(I));
            if (I > 1)
                --I;
        }
    }
    // The last point, checked against the pivot that closes the hull.
    while (Points.size() >= 2 && CrossAt(Points[Points.size() - 2], Points.back(), Pivot) >= 0)
        Points.pop_back();
    Points.push_back(Pivot);
    return true;
}

void CalcPieAngles(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4,
                   double& StartAngle, double& EndAngle)
{
    const int CX = X1 + (X2 - X1) / 2;
    const int CY = Y1 + (Y2 - Y1) / 2;
    auto Angle = [&](int X, int Y) {
        double A = std::atan2(static_cast<double>(CY - Y), static_cast<double>(X - CX));
        if (A < 0)
            A += 2 * M_PI;
        return A * 180.0 / M_PI;
    };
    StartAngle = Angle(X3, Y3);
    EndAngle = Angle(X4, Y4);
    if (EndAngle == 0)
        EndAngle = 360;
}

// ------------------------------------------------------------------ colours

TRGBValue RGBValue(TColor Color)
{
    TRGBValue Result;
    Result.Red = static_cast<uint8_t>(GetRValue(Color));
    Result.Green = static_cast<uint8_t>(GetGValue(Color));
    Result.Blue = static_cast<uint8_t>(GetBValue(Color));
    return Result;
}

TColor ApplyDark(TColor Color, uint8_t Quantity)
{
    const TColor C = ColorToRGB(Color);
    auto Dark = [Quantity](int V) { return V > Quantity ? V - Quantity : 0; };
    return RGB(Dark(GetRValue(C)), Dark(GetGValue(C)), Dark(GetBValue(C)));
}

TColor ApplyBright(TColor Color, uint8_t Quantity)
{
    const TColor C = ColorToRGB(Color);
    auto Bright = [Quantity](int V) { return V + Quantity >= 256 ? 255 : V + Quantity; };
    return RGB(Bright(GetRValue(C)), Bright(GetGValue(C)), Bright(GetBValue(C)));
}

void ChGrayScale(TBitmap* Bitmap, bool Inverted, int Mode)
{
    if (Bitmap == nullptr)
        return;
    for (int Row = 0; Row < Bitmap->Height(); ++Row) {
        uint32_t* Line = Bitmap->ScanLine(Row);
        for (int Col = 0; Col < Bitmap->Width(); ++Col) {
            const int R = (Line[Col] >> 16) & 0xFF;
            const int G = (Line[Col] >> 8) & 0xFF;
            const int B = Line[Col] & 0xFF;
            int Gray = Mode == 0 ? (R + G + B) / 3 : ChRound(0.3 * R + 0.59 * G + 0.11 * B);
            if (Inverted)
                Gray = 255 - Gray;
            const uint32_t V = static_cast<uint32_t>(Gray);
            Line[Col] = 0xFF000000u | (V << 16) | (V << 8) | V;
        }
    }
}

// ------------------------------------------------------------------ pens

void ChCreatePenSmallDots(TPen* APen, TColor Color)
{
    APen->SetStyle(psAlternate);
    APen->SetWidth(1);
    APen->SetColor(ColorToRGB(Color));
}

void ChSetChPen(TPen* APen, TChartPen* ChartPen, TColor Color, TCanvas* DC)
{
    if (ChartPen->SmallDots()) {
        ChCreatePenSmallDots(APen, Color);
        APen->SetMode(ChartPen->Mode());
        return;
    }
    APen->Assign(ChartPen);
    if (APen->Color() != Color)
        APen->SetColor(Color);
    if (ChartPen->Width() < 2)
        return;
    switch (ChartPen->EndStyle()) {
    case esRound:
        APen->SetEndCap(pecRound);
        APen->SetJoinStyle(pjsRound);
        break;
    case esSquare:
        APen->SetEndCap(pecSquare);
        APen->SetJoinStyle(pjsBevel);
        break;
    case esFlat:
        APen->SetEndCap(pecFlat);
        APen->SetJoinStyle(pjsMiter);
        break;
    }
}

bool ChThinSolidPen(TPen* Pen)
{
    return Pen->Style() == psClear || Pen->Color() == clNone ||
           (Pen->Style() == psSolid && Pen->Width() <= 1 && Pen->Mode() == pmCopy);
}

void ChColumnSegmentRows(int A, int B, int& Lo, int& Hi)
{
    if (A == B) {
        Lo = 1;
        Hi = 0;
    } else if (B > A) {
        Lo = A;
        Hi = B - 1;
    } else {
        Lo = B + 1;
        Hi = A;
    }
}

// ------------------------------------------------------------------ clipping

namespace {

struct TSavedClip {
    TRegion Region;
    bool HasClip = false;
};

std::map<const TCanvas*, TSavedClip>& SavedClips()
{
    // Never destroyed, so canvases that outlive the statics still clean up.
    static auto* Clips = new std::map<const TCanvas*, TSavedClip>;
    return *Clips;
}

void SaveClipOf(TCanvas* Canvas)
{
    TSavedClip& Saved = SavedClips()[Canvas];
    Saved.HasClip = Canvas->GetClipRegion(Saved.Region);
}

} // namespace

void ClipCanvas(TCanvas* Canvas, const TRect& R)
{
    SaveClipOf(Canvas);
    Canvas->SelectClipRect(R, RGN_AND);
}

void UnClipCanvas(TCanvas* Canvas)
{
    auto It = SavedClips().find(Canvas);
    if (It != SavedClips().end() && It->second.HasClip)
        Canvas->SelectClipRegion(&It->second.Region);
    else
        Canvas->SelectClipRegion(nullptr);
    if (It != SavedClips().end())
        SavedClips().erase(It);
}

void ChForgetSavedClip(TCanvas* Canvas)
{
    SavedClips().erase(Canvas);
}

void ClipEllipse(TChCanvas* Canvas, const TRect& R)
{
    Canvas->ClipEllipse(R, false);
}

void ClipRoundRectangle(TChCanvas* Canvas, const TRect& R, int RoundSize)
{
    Canvas->ClipRectangle(R, RoundSize);
}

void ClipPolygon(TChCanvas* Canvas, const TPoint* Points, int NumPoints)
{
    Canvas->ClipPolygon(Points, NumPoints);
}

// ------------------------------------------------------------------ geometry

TRect RectFromPolygon(const TPoint* Points, int NumPoints)
{
    if (NumPoints <= 0)
        return {};
    TRect Result{Points[0].X, Points[0].Y, Points[0].X, Points[0].Y};
    for (int I = 1; I < NumPoints; ++I) {
        Result.Left = std::min(Result.Left, Points[I].X);
        Result.Right = std::max(Result.Right, Points[I].X);
        Result.Top = std::min(Result.Top, Points[I].Y);
        Result.Bottom = std::max(Result.Bottom, Points[I].Y);
    }
    ++Result.Right;
    ++Result.Bottom;
    return Result;
}

TRect RectFromTriangle(const std::array<TPoint, 3>& Points)
{
    return RectFromPolygon(Points.data(), 3);
}

TPoint PointAtDistance(const TPoint& P0, const TPoint& P1, int Distance)
{
    TPoint Result = P1;
    if (P0.X == P1.X) {
        if (P1.Y < P0.Y)
            Result.Y += Distance;
        else
            Result.Y -= Distance;
    } else {
        const double A = std::atan2(static_cast<double>(P1.Y - P0.Y), static_cast<double>(P1.X - P0.X));
        Result.X -= ChRound(Distance * std::cos(A));
        Result.Y -= ChRound(Distance * std::sin(A));
    }
    return Result;
}

double ChDistance(int X, int Y)
{
    return std::sqrt(static_cast<double>(X) * X + static_cast<double>(Y) * Y);
}

void SwapInteger(int& A, int& B) { std::swap(A, B); }
void SwapDouble(double& A, double& B) { std::swap(A, B); }

// ------------------------------------------------------------------ smooth stretch

namespace {

struct TContributor {
    int Pixel;
    int Weight;
};

float LanczosFilter(float X)
{
    if (X == 0.0f)
        return 1.0f;
    if (std::fabs(X) >= 3.0f)
        return 0.0f;
    const float T = static_cast<float>(M_PI) * X;
    return (std::sin(T) / T) * (std::sin(T / 3.0f) / (T / 3.0f));
}

float TriangleFilter(float X)
{
    X = std::fabs(X);
    return X < 1.0f ? 1.0f - X : 0.0f;
}

std::vector<std::vector<TContributor>> Contributors(int SourceSize, int DestSize, TSmoothStretchOption Option)
{
    const double Support = Option == ssBestQuality ? 3.0 : 1.0;
    auto Filter = [Option](double X) {
        return Option == ssBestQuality ? LanczosFilter(static_cast<float>(X)) : TriangleFilter(static_cast<float>(X));
    };
    double Scale;
    if (DestSize == 1)
        Scale = 1.0 / SourceSize;   // one pixel: the average around the source's middle
    else if (SourceSize == 1)
        Scale = DestSize;
    else
        Scale = static_cast<double>(DestSize - 1) / (SourceSize - 1);

    auto Mirror = [SourceSize](int J) {
        if (J < 0)
            J = -J;
        else if (J >= SourceSize)
            J = 2 * SourceSize - J - 1;
        return std::clamp(J, 0, SourceSize - 1);
    };

    std::vector<std::vector<TContributor>> Result(static_cast<size_t>(DestSize));
    for (int I = 0; I < DestSize; ++I) {
        const double Centre = DestSize == 1 ? (SourceSize - 1) / 2.0 : I / Scale;
        std::vector<TContributor>& List = Result[static_cast<size_t>(I)];
        if (Scale >= 1) {
            for (int J = static_cast<int>(std::floor(Centre - Support)); J <= static_cast<int>(std::ceil(Centre + Support)); ++J) {
                const int W = ChRound(Filter(Centre - J) * 1000.0);
                if (W != 0)
                    List.push_back({Mirror(J), W});
            }
        } else {
            const double Width = Support / Scale;
            for (int J = static_cast<int>(std::floor(Centre - Width)); J <= static_cast<int>(std::ceil(Centre + Width)); ++J) {
                const int W = ChRound(Filter((Centre - J) * Scale) * Scale * 1000.0);
                if (W != 0)
                    List.push_back({Mirror(J), W});
            }
        }
    }
    return Result;
}

uint8_t ClampComponent(int64_t Sum)
{
    if (Sum > 255000)
        return 255;
    if (Sum < 0)
        return 0;
    return static_cast<uint8_t>(Sum / 1000);
}

uint32_t WeightedPixel(const std::vector<TContributor>& List, const std::function<uint32_t(int)>& PixelAt)
{
    int64_t R = 0, G = 0, B = 0;
    for (const TContributor& C : List) {
        const uint32_t P = PixelAt(C.Pixel);
        R += static_cast<int64_t>((P >> 16) & 0xFF) * C.Weight;
        G += static_cast<int64_t>((P >> 8) & 0xFF) * C.Weight;
        B += static_cast<int64_t>(P & 0xFF) * C.Weight;
    }
    return 0xFF000000u | (static_cast<uint32_t>(ClampComponent(R)) << 16)
         | (static_cast<uint32_t>(ClampComponent(G)) << 8) | ClampComponent(B);
}

} // namespace

void SmoothStretch(TBitmap* Source, TBitmap* Dest, TSmoothStretchOption Option)
{
    if (Source == nullptr || Dest == nullptr)
        return;
    if (Source->Width() <= 0 || Source->Height() <= 0)
        throw Exception("SmoothStretch: Source bitmap too small");
    if (Dest->Width() <= 0 || Dest->Height() <= 0)
        throw Exception("SmoothStretch: Destination bitmap too small");

    const int SW = Source->Width(), SH = Source->Height();
    const int DW = Dest->Width(), DH = Dest->Height();
    TBitmap Work(DW, SH);

    const auto Across = Contributors(SW, DW, Option);
    for (int Row = 0; Row < SH; ++Row) {
        const uint32_t* In = Source->ScanLine(Row);
        uint32_t* Out = Work.ScanLine(Row);
        for (int X = 0; X < DW; ++X)
            Out[X] = WeightedPixel(Across[static_cast<size_t>(X)], [In](int J) { return In[J]; });
    }
    const auto Down = Contributors(SH, DH, Option);
    for (int Col = 0; Col < DW; ++Col) {
        for (int Y = 0; Y < DH; ++Y)
            Dest->ScanLine(Y)[Col] =
                WeightedPixel(Down[static_cast<size_t>(Y)], [&Work, Col](int J) { return Work.ScanLine(J)[Col]; });
    }
}

// ------------------------------------------------------------------ picture

TChPicture::TChPicture() = default;
TChPicture::~TChPicture() = default;

TBitmap* TChPicture::Bitmap()
{
    if (!FBitmap)
        FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

int TChPicture::Width() const { return FBitmap ? FBitmap->Width() : 0; }
int TChPicture::Height() const { return FBitmap ? FBitmap->Height() : 0; }

void TChPicture::Assign(TPersistent* Source)
{
    if (Source == this)
        return;
    TGraphic* Graphic = nullptr;
    if (auto* Picture = dynamic_cast<TChPicture*>(Source))
        Graphic = Picture->Graphic();
    else if (auto* AGraphic = dynamic_cast<TGraphic*>(Source))
        Graphic = AGraphic;
    else if (Source != nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (Graphic == nullptr)
        FBitmap.reset();
    else
        Bitmap()->Assign(Graphic);
    Changed();
}

void TChPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}

// ------------------------------------------------------------------ pens

TChartPen::TChartPen(TNotifyEvent AOnChange)
{
    OnChange = std::move(AOnChange);
}

void TChartPen::Assign(TPersistent* Source)
{
    if (auto* Other = dynamic_cast<TChartPen*>(Source)) {
        FVisible = Other->FVisible;
        FSmallDots = Other->FSmallDots;
        FEndStyle = Other->FEndStyle;
    }
    TPen::Assign(Source);
}

void TChartPen::SetEndStyle(TPenEndStyle Value)
{
    if (FEndStyle != Value) {
        FEndStyle = Value;
        Changed();
    }
}

void TChartPen::SetSmallDots(bool Value)
{
    if (FSmallDots != Value) {
        FSmallDots = Value;
        Changed();
    }
}

void TChartPen::SetVisible(bool Value)
{
    if (FVisible != Value) {
        FVisible = Value;
        Changed();
    }
}

// The kinds below take their own defaults before the owner's handler is
// installed, so an owner is never called back from its own constructor.
TChartHiddenPen::TChartHiddenPen(TNotifyEvent AOnChange)
{
    DefaultVisible = false;
    SetVisible(false);
    OnChange = std::move(AOnChange);
}

TDottedGrayPen::TDottedGrayPen(TNotifyEvent AOnChange)
{
    SetColor(clGray);
    SetStyle(psDot);
    OnChange = std::move(AOnChange);
}

TDarkGrayPen::TDarkGrayPen(TNotifyEvent AOnChange)
{
    SetColor(clGray);
    OnChange = std::move(AOnChange);
}

TWhitePen::TWhitePen(TNotifyEvent AOnChange)
{
    SetColor(clWhite);
    OnChange = std::move(AOnChange);
}

// ------------------------------------------------------------------ brushes

TChartBrush::TChartBrush(TNotifyEvent AOnChange)
{
    SetColor(clSeriesDefault);
    OnChange = std::move(AOnChange);
}

TChartBrush::~TChartBrush() = default;

void TChartBrush::Assign(TPersistent* Source)
{
    if (auto* Other = dynamic_cast<TChartBrush*>(Source))
        if (Other != this)
            Image()->Assign(Other->FImage.get());
    TBrush::Assign(Source);
}

void TChartBrush::Clear()
{
    const bool HadImage = FImage != nullptr;
    FImage.reset();
    if (Style() != bsClear)
        SetStyle(bsClear);
    else if (HadImage)
        Changed();
}

TChPicture* TChartBrush::Image()
{
    if (!FImage) {
        FImage = std::make_unique<TChPicture>();
        FImage->OnChange = [this](TObject*) { Changed(); };
    }
    return FImage.get();
}

void TChartBrush::SetImage(TChPicture* Value)
{
    if (Value != nullptr)
        Image()->Assign(Value);
    else
        FImage.reset();
    Changed();
}

bool TChartBrush::HasImage() const
{
    return FImage && FImage->Graphic() != nullptr && !FImage->Graphic()->Empty();
}

// ------------------------------------------------------------------ 3-D view options

TView3DOptions::TView3DOptions(TControl* AOwnerControl) : FOwnerControl(AOwnerControl) {}

void TView3DOptions::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TView3DOptions*>(Source);
    if (Other == nullptr)
        return;
    FElevation = Other->FElevation;
    FFontZoom = Other->FFontZoom;
    FHorizOffset = Other->FHorizOffset;
    FOrthoAngle = Other->FOrthoAngle;
    FOrthogonal = Other->FOrthogonal;
    FPerspective = Other->FPerspective;
    FRotation = Other->FRotation;
    FTilt = Other->FTilt;
    FVertOffset = Other->FVertOffset;
    FZoom = Other->FZoom;
    FZoomText = Other->FZoomText;
}

void TView3DOptions::Repaint()
{
    if (FOwnerControl != nullptr)
        FOwnerControl->Invalidate();
}

double TView3DOptions::CalcOrthoRatio() const
{
    if (!FOrthogonal)
        return 1.0;
    const int A = FOrthoAngle > 90 ? 180 - FOrthoAngle : FOrthoAngle;
    // Straight up the tangent has no finite value; the projection uses 1 there.
    if (std::cos(A * ChPiStep) < 0.01)
        return 1.0;
    return std::tan(A * ChPiStep);
}

void TView3DOptions::SetAndRepaint(int& Field, int Value)
{
    if (Field != Value) {
        Field = Value;
        Repaint();
    }
}

void TView3DOptions::SetElevation(int Value) { SetAndRepaint(FElevation, Value); }
void TView3DOptions::SetFontZoom(int Value) { SetAndRepaint(FFontZoom, Value); }
void TView3DOptions::SetOrthoAngle(int Value) { SetAndRepaint(FOrthoAngle, Value); }
void TView3DOptions::SetPerspective(int Value) { SetAndRepaint(FPerspective, Value); }
void TView3DOptions::SetRotation(int Value) { SetAndRepaint(FRotation, Value); }
void TView3DOptions::SetTilt(int Value) { SetAndRepaint(FTilt, Value); }

void TView3DOptions::SetOrthogonal(bool Value)
{
    if (FOrthogonal != Value) {
        FOrthogonal = Value;
        Repaint();
    }
}

void TView3DOptions::SetZoomText(bool Value)
{
    if (FZoomText != Value) {
        FZoomText = Value;
        Repaint();
    }
}

void TView3DOptions::SetHorizOffset(int Value)
{
    if (FHorizOffset != Value) {
        FHorizOffset = Value;
        Repaint();
        if (OnOffsetChanged)
            OnOffsetChanged(true);
    }
}

void TView3DOptions::SetVertOffset(int Value)
{
    if (FVertOffset != Value) {
        FVertOffset = Value;
        Repaint();
        if (OnOffsetChanged)
            OnOffsetChanged(false);
    }
}

void TView3DOptions::SetZoom(int Value)
{
    if (FZoom != Value) {
        if (OnZoomChanging)
            OnZoomChanging(Value);
        FZoom = Value;
        Repaint();
    }
}

// ------------------------------------------------------------------ TChCanvas

namespace {

// Every canvas alive, so that a font that goes away can be taken from the
// canvases that still hold it as their current font.
std::vector<TChCanvas*>& LiveCanvases()
{
    // Never destroyed, so canvases that outlive the statics still unregister.
    static auto* Canvases = new std::vector<TChCanvas*>;
    return *Canvases;
}

} // namespace

TChCanvas::TChCanvas()
{
    ChCanvasStartUp();
    SetCanvas(nullptr);
    LiveCanvases().push_back(this);
}

TChCanvas::~TChCanvas()
{
    auto& Canvases = LiveCanvases();
    Canvases.erase(std::remove(Canvases.begin(), Canvases.end(), this), Canvases.end());
    ChForgetSavedClip(&FUnbound);
}

void TChCanvas::ForgetFont(TChFont* AFont)
{
    for (TChCanvas* Canvas : LiveCanvases())
        if (Canvas->CurrentFont == AFont)
            Canvas->CurrentFont = nullptr;
}

void TChCanvas::SetCanvas(TCanvas* Canvas)
{
    ReferenceCanvas = Canvas != nullptr ? Canvas : &FUnbound;
    Pen = ReferenceCanvas->Pen();
    Font = ReferenceCanvas->Font();
    Brush = ReferenceCanvas->Brush();
}

void TChCanvas::ResetState()
{
    Pen->SetColor(clBlack);
    Pen->SetWidth(1);
    Pen->SetStyle(psSolid);
    Brush->SetColor(clWhite);
    Brush->SetStyle(bsSolid);
    Font->SetColor(clBlack);
    Font->SetStyle(TFontStyles{});
    Font->SetCharset(DEFAULT_CHARSET);
    Font->SetName(GetDefaultFontName);
    Font->SetSize(GetDefaultFontSize);
    BlendTransparency = 0;
    CurrentFont = nullptr;
    SetBackColor(clWhite);
    SetBackMode(cbmTransparent);
    SetTextAlign(0);
}

void TChCanvas::AssignVisiblePenColor(TPen* APen, TColor Color)
{
    if (Monochrome())
        Color = clBlack;
    if (auto* ChartPen = dynamic_cast<TChartPen*>(APen)) {
        if (!ChartPen->Visible()) {
            Pen->SetStyle(psClear);
            return;
        }
        if (IsWindowsNT && !SupportsFullRotation()) {
            ChSetChPen(Pen, ChartPen, Color, Handle());
            return;
        }
    }
    Pen->Assign(APen);
    Pen->SetColor(Color);
}

void TChCanvas::AssignBrush(TBrush* ABrush, TColor Color)
{
    AssignBrushColor(ABrush, Color, ABrush->Color());
}

void TChCanvas::AssignBrushColor(TBrush* ABrush, TColor Color, TColor ABackColor)
{
    if (Monochrome())
        Color = clWhite;
    auto* ChartBrush = dynamic_cast<TChartBrush*>(ABrush);
    if (ChartBrush != nullptr && ChartBrush->HasImage()) {
        Brush->SetBitmap(ChartBrush->Image()->Bitmap());
        Brush->SetStyle(bsSolid);
        SetBackMode(cbmOpaque);
        SetBackColor(ABackColor);
        return;
    }
    if (Brush->Bitmap() != nullptr)
        Brush->SetBitmap(nullptr);
    if (Brush->Color() != Color)
        Brush->SetColor(Color);
    if (Brush->Style() != ABrush->Style())
        Brush->SetStyle(ABrush->Style());
    if (ABackColor == clNone)
        SetBackMode(cbmTransparent);
    else {
        SetBackMode(cbmOpaque);
        SetBackColor(ABackColor);
    }
}

void TChCanvas::InternalDark(TColor Color, uint8_t Quantity)
{
    const TColor Dark = ApplyDark(Color, Quantity);
    if (Brush->Style() != bsSolid)
        SetBackColor(Dark);
    else
        Brush->SetColor(Dark);
}

void TChCanvas::Frame3D(TRect& R, TColor TopColor, TColor BottomColor, int Width)
{
    Pen->SetWidth(1);
    Pen->SetStyle(psSolid);
    --R.Right;
    --R.Bottom;
    for (int I = 0; I < Width; ++I) {
        Pen->SetColor(TopColor);
        const TPoint Top[3] = {{R.Left, R.Bottom}, {R.Left, R.Top}, {R.Right, R.Top}};
        Polyline(Top, 3);
        Pen->SetColor(BottomColor);
        const TPoint Bottom[3] = {{R.Right, R.Top}, {R.Right, R.Bottom}, {R.Left - 1, R.Bottom}};
        Polyline(Bottom, 3);
        InflateRect(R, -1, -1);
    }
    ++R.Right;
    ++R.Bottom;
}

int TChCanvas::TextWidth(const std::string& Text)
{
    int Result = ReferenceCanvas->TextWidth(Text);
    if (CurrentFont != nullptr && CurrentFont->HasShadow())
        Result += std::abs(CurrentFont->Shadow()->HorizSize());
    return Result;
}

int TChCanvas::TextHeight(const std::string& Text)
{
    int Result = ReferenceCanvas->TextHeight(Text);
    if (CurrentFont != nullptr && CurrentFont->HasShadow())
        Result += std::abs(CurrentFont->Shadow()->VertSize());
    return Result;
}

void TChCanvas::ClipRectangle(const TRect& R, int RoundSize)
{
    SaveClipOf(ReferenceCanvas);
    ReferenceCanvas->SelectClipRoundRect(R, RoundSize, RoundSize, RGN_AND);
}

void TChCanvas::ClipEllipse(const TRect& R, bool Inverted)
{
    if (Inverted) {
        ReferenceCanvas->SelectClipEllipse(R, RGN_XOR);
        return;
    }
    SaveClipOf(ReferenceCanvas);
    ReferenceCanvas->SelectClipEllipse(R, RGN_AND);
}

void TChCanvas::ClipPolygon(const TPoint* Points, int NumPoints)
{
    // A copy: the caller's points stay as they are.
    const std::vector<TPoint> Device(Points, Points + std::max(NumPoints, 0));
    SaveClipOf(ReferenceCanvas);
    ReferenceCanvas->SelectClipPolygon(Device, RGN_AND);
}

TChBlend* TChCanvas::BeginBlending(const TRect& R, int Transparency)
{
    BlendTransparency = std::clamp(Transparency, 0, 100);
    auto* Blend = new TChBlend(this, R);
    Blend->Transparency = BlendTransparency;
    return Blend;
}

void TChCanvas::EndBlending(TChBlend* Blend)
{
    if (Blend == nullptr)
        return;
    Blend->DoBlend(Blend->Transparency);
    delete Blend;
}

// ------------------------------------------------------------------ TCanvas3D

void TCanvas3D::Assign(TCanvas3D* Source)
{
    if (Source != nullptr)
        SetMonochrome(Source->Monochrome());
}

void TCanvas3D::FrontPlaneBegin()
{
    if (RotationLockCount == 0)
        DisableRotation();
    ++RotationLockCount;
}

void TCanvas3D::FrontPlaneEnd()
{
    --RotationLockCount;
    if (RotationLockCount == 0)
        EnableRotation();
}

TRect TCanvas3D::CalcRect3D(const TRect& R, int Z)
{
    const TPoint A = Calculate3DPosition(R.Left, R.Top, Z);
    const TPoint B = Calculate3DPosition(R.Right, R.Bottom, Z);
    return {A.X, A.Y, B.X, B.Y};
}

TFourPoints TCanvas3D::FourPointsFromRect(const TRect& R, int Z)
{
    return {Calculate3DPosition(R.Left, R.Top, Z), Calculate3DPosition(R.Right, R.Top, Z),
            Calculate3DPosition(R.Right, R.Bottom, Z), Calculate3DPosition(R.Left, R.Bottom, Z)};
}

TRect TCanvas3D::RectFromRectZ(const TRect& R, int Z)
{
    const TFourPoints P = FourPointsFromRect(R, Z);
    return RectFromPolygon(P.data(), 4);
}
