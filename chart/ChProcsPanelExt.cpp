// The extended chart panel: background colour or gradient, the back image in
// its four placements, the panel shadow, and the zoom and panning settings
// with the rubber band.
#include "chart/ChProcs.h"

#include <utility>

// ------------------------------------------------------------------ zoom settings

TChZoomPen::TChZoomPen()
{
    SetColor(clWhite);
}

TChZoomBrush::TChZoomBrush()
{
    SetColor(clWhite);
    SetStyle(bsClear);
}

TChZoom::TChZoom() = default;
TChZoom::~TChZoom() = default;

TChZoomBrush* TChZoom::Brush()
{
    if (!FBrush)
        FBrush = std::make_unique<TChZoomBrush>();
    return FBrush.get();
}

void TChZoom::SetBrush(TChZoomBrush* Value)
{
    if (Value == nullptr)
        FBrush.reset();
    else if (Value != FBrush.get())
        Brush()->Assign(Value);
}

TChZoomPen* TChZoom::Pen()
{
    if (!FPen)
        FPen = std::make_unique<TChZoomPen>();
    return FPen.get();
}

void TChZoom::SetPen(TChZoomPen* Value)
{
    if (Value == nullptr)
        FPen.reset();
    else if (Value != FPen.get())
        Pen()->Assign(Value);
}

void TChZoom::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TChZoom*>(Source);
    if (Other == nullptr || Other == this)
        return;
    FAllow = Other->FAllow;
    FAnimated = Other->FAnimated;
    FAnimatedSteps = Other->FAnimatedSteps;
    SetBrush(Other->FBrush.get());
    FDirection = Other->FDirection;
    FKeyShift = Other->FKeyShift;
    FMouseButton = Other->FMouseButton;
    SetPen(Other->FPen.get());
}

// ------------------------------------------------------------------ back image

template <class T>
void TBackImage::SetAndNotify(T& Field, T Value)
{
    if (Field == Value)
        return;
    Field = Value;
    if (OnChange)
        OnChange(this);
}

void TBackImage::SetInside(bool Value) { SetAndNotify(FInside, Value); }
void TBackImage::SetLeft(int Value) { SetAndNotify(FLeft, Value); }
void TBackImage::SetTop(int Value) { SetAndNotify(FTop, Value); }
void TBackImage::SetMode(TChBackImageMode Value) { SetAndNotify(FMode, Value); }

void TBackImage::Assign(TPersistent* Source)
{
    if (auto* Other = dynamic_cast<TBackImage*>(Source)) {
        if (Other == this)
            return;
        FInside = Other->FInside;
        FLeft = Other->FLeft;
        FMode = Other->FMode;
        FTop = Other->FTop;
    }
    TChPicture::Assign(Source);
}

// ------------------------------------------------------------------ the extended panel

TCustomChPanelExtended::TCustomChPanelExtended(TComponent* AOwner)
    : TCustomChPanel(AOwner), FZoom(std::make_unique<TChZoom>())
{
}

TCustomChPanelExtended::~TCustomChPanelExtended() = default;

TChGradient* TCustomChPanelExtended::Gradient()
{
    if (!FGradient)
        FGradient = std::make_unique<TChGradient>([this](TObject* Sender) { CanvasChanged(Sender); });
    return FGradient.get();
}

void TCustomChPanelExtended::SetGradient(TChGradient* Value)
{
    if (Value == nullptr) {
        if (FGradient) {
            FGradient.reset();
            Invalidate();
        }
    } else if (Value != FGradient.get())
        Gradient()->Assign(Value);
}

TBackImage* TCustomChPanelExtended::BackImage()
{
    if (!FBackImage) {
        FBackImage = std::make_unique<TBackImage>();
        FBackImage->OnChange = [this](TObject* Sender) { CanvasChanged(Sender); };
    }
    return FBackImage.get();
}

void TCustomChPanelExtended::SetBackImage(TChPicture* Value)
{
    if (Value == nullptr) {
        if (FBackImage) {
            FBackImage.reset();
            Invalidate();
        }
    } else if (Value != FBackImage.get())
        BackImage()->Assign(Value);
}

bool TCustomChPanelExtended::HasBackImage() const
{
    return FBackImage && FBackImage->Graphic() != nullptr && !FBackImage->Graphic()->Empty();
}

bool TCustomChPanelExtended::BackImageInside() const
{
    return HasBackImage() && FBackImage->Inside();
}

bool TCustomChPanelExtended::BackImageTransp() const
{
    if (!HasBackImage())
        return false;
    auto* Bitmap = dynamic_cast<TBitmap*>(FBackImage->Graphic());
    return Bitmap != nullptr && Bitmap->Transparent();
}

void TCustomChPanelExtended::SetBackImageTransp(bool Value)
{
    if (!HasBackImage())
        return;
    if (auto* Bitmap = dynamic_cast<TBitmap*>(FBackImage->Graphic())) {
        if (Bitmap->Transparent() != Value) {
            Bitmap->SetTransparent(Value);
            Invalidate();
        }
    }
}

void TCustomChPanelExtended::UndoZoom()
{
    if (OnUndoZoom)
        OnUndoZoom(this);
    Invalidate();
    Zoomed = false;
}

void TCustomChPanelExtended::Assign(TPersistent* Source)
{
    if (auto* Other = dynamic_cast<TCustomChPanelExtended*>(Source)) {
        if (Other != this) {
            SetBackImage(Other->FBackImage.get());
            SetGradient(Other->FGradient.get());
            FAllowPanning = Other->FAllowPanning;
            FZoom->Assign(Other->FZoom.get());
        }
    }
    TCustomChPanel::Assign(Source);
}

void TCustomChPanelExtended::FillPanelRect(const TRect& Rect)
{
    TCanvas3D* C = ChartCanvas();
    C->FrontPlaneBegin();
    if (FGradient && FGradient->Visible())
        FGradient->Draw(C, Rect);
    else if (!(Printing && !PrintChPanel) && Color() != clNone) {
        C->Brush->SetStyle(bsSolid);
        C->Brush->SetColor(Color());
        C->EraseBackground(Rect);
    }
    C->FrontPlaneEnd();
}

void TCustomChPanelExtended::PanelPaint(const TRect& UserRect)
{
    TCanvas3D* C = ChartCanvas();
    C->FrontPlaneBegin();
    TRect R = UserRect;
    if (Shadow()->Size() > 0) {
        C->Brush->SetStyle(bsSolid);
        C->Brush->SetColor(Parent() != nullptr ? Parent()->Color() : Color());
        C->EraseBackground(R);
        R.Right -= Shadow()->HorizSize();
        R.Bottom -= Shadow()->VertSize();
        Shadow()->Draw(C, R);
    }
    FillPanelRect(R);
    if (HasBackImage() && !FBackImage->Inside())
        DrawBitmap(R, 0);
    DrawPanelBevels(R);
    C->FrontPlaneEnd();
}

void TCustomChPanelExtended::DrawBitmap(const TRect& Rect, int Z)
{
    if (!HasBackImage())
        return;
    TCanvas3D* C = ChartCanvas();
    TGraphic* Graphic = FBackImage->Graphic();
    const bool Orthogonal = !View3D() || View3DOptions()->Orthogonal();
    TRect R = Rect;

    const auto Project = [&] {
        R = C->CalcRect3D(R, Z);
        if (!View3D())
            ++R.Top;
    };

    const TChBackImageMode Mode = FBackImage->Mode();
    if (Mode == pbmStretch) {
        if (Z < 1)
            C->StretchDraw(R, Graphic);
        else if (Orthogonal) {
            Project();
            C->StretchDraw(R, Graphic);
        } else
            C->StretchDraw(R, Graphic, Z);
        return;
    }

    const bool Clip = CanClip();
    if (Clip) {
        if (Z != 0)
            C->ClipCube(R, 0, DepthWidth);
        else
            C->ClipRectangle(R);
    }
    if (Z > 0 && Orthogonal)
        Project();
    const int W = R.Right - R.Left;
    const int H = R.Bottom - R.Top;
    const int Wi = Graphic->Width();
    const int Hi = Graphic->Height();

    if (Mode == pbmTile) {
        if (Wi > 0 && Hi > 0) {
            for (int Y = 0; Y < H; Y += Hi)
                for (int X = 0; X < W; X += Wi) {
                    if (Z > 0 && !Orthogonal)
                        C->StretchDraw({R.Left + X, R.Top + Y, R.Left + X + Wi, R.Top + Y + Hi}, Graphic, Z);
                    else
                        C->Draw(R.Left + X, R.Top + Y, Graphic);
                }
        }
    } else {
        FillPanelRect(R);
        int X, Y;
        if (Mode == pbmCustom) {
            X = R.Left + FBackImage->Left();
            Y = R.Top + FBackImage->Top();
        } else {
            X = R.Left - (Wi - W) / 2;
            Y = R.Top - (Hi - H) / 2;
        }
        if (Z < 1 || Orthogonal)
            C->Draw(X, Y, Graphic);
        else
            C->StretchDraw({X, Y, X + Wi, Y + Hi}, Graphic, Z);
    }
    if (Clip)
        C->UnClipRectangle();
}

void TCustomChPanelExtended::DrawZoomRectangle()
{
    TCanvas3D* C = ChartCanvas();
    const TColor B = ColorToRGB(GetBackColor()) & 0xFFFFFF;
    if (FZoom->HasBrush()) {
        TChZoomBrush* ZoomBrush = FZoom->Brush();
        SetBrushCanvas(ZoomBrush->Color() ^ (0xFFFFFF - B), ZoomBrush, B);
    } else
        C->Brush->SetStyle(bsClear);
    TChZoomPen* ZoomPen = FZoom->Pen();
    ZoomPen->SetMode(pmNotXor);
    C->AssignVisiblePenColor(ZoomPen, (ColorToRGB(ZoomPen->Color()) & 0xFFFFFF) ^ (0xFFFFFF - B));
    if (!FZoom->HasBrush() || FZoom->Brush()->Style() == bsClear)
        C->SetBackMode(cbmTransparent);
    C->Rectangle(FZoom->StartX, FZoom->StartY, FZoom->EndX, FZoom->EndY);
}
