// Graphic printables: shapes and images.
#include "report/RpCtrls.h"

#include "report/RpExportFilter.h"

#include <cmath>

// ----------------------------------------------------------------- shapes

TRpShape::TRpShape(TComponent* AOwner)
    : TRpPrintable(AOwner), FBrush(std::make_unique<TBrush>()), FPen(std::make_unique<TPen>())
{
    SetBounds(Left(), Top(), 65, 65);
    FBrush->OnChange = [this](TObject*) { Invalidate(); };
    FPen->OnChange = [this](TObject*) { Invalidate(); };
}

TRpShape::~TRpShape() = default;

void TRpShape::SetShape(TRpShapeType Value)
{
    if (Value == FShape)
        return;
    FShape = Value;
    Invalidate();
}

void TRpShape::SetRoundFactor(float Value)
{
    if (Value == FRoundFactor)
        return;
    FRoundFactor = Value;
    Invalidate();
}

int TRpShape::RoundSize() const { return static_cast<int>(std::trunc(Width() * FRoundFactor)); }

void TRpShape::DrawShape(TCanvas* C, const TRect& R, int RoundSize) const
{
    switch (FShape) {
    case rpsRectangle:
        C->Rectangle(R);
        break;
    case rpsCircle:
        C->Ellipse(R);
        break;
    case rpsVertLine: {
        const int X = (R.Left + R.Right) / 2;
        C->MoveTo(X, R.Top);
        C->LineTo(X, R.Bottom);
        break;
    }
    case rpsHorLine: {
        const int Y = (R.Top + R.Bottom) / 2;
        C->MoveTo(R.Left, Y);
        C->LineTo(R.Right, Y);
        break;
    }
    case rpsTopAndBottom:
        C->MoveTo(R.Left, R.Top);
        C->LineTo(R.Right, R.Top);
        C->MoveTo(R.Left, R.Bottom - 1);
        C->LineTo(R.Right, R.Bottom - 1);
        break;
    case rpsRightAndLeft:
        C->MoveTo(R.Left, R.Top);
        C->LineTo(R.Left, R.Bottom);
        C->MoveTo(R.Right - 1, R.Top);
        C->LineTo(R.Right - 1, R.Bottom);
        break;
    case rpsRoundRect:
        C->RoundRect(R.Left, R.Top, R.Right, R.Bottom, RoundSize, RoundSize);
        break;
    }
}

void TRpShape::Print(int OfsX, int OfsY)
{
    TCustomRpReport* Report = HostReport();
    TRpPrinter* P = ActivePrinter();
    if (!Report || !P || !IsEnabled())
        return;
    const long double L = Size()->Left() + OfsX, T = Size()->Top() + OfsY;
    const long double W = Size()->Width(), H = Size()->Height();
    if (Report->Exporting() && Report->ExportFilter())
        Report->ExportFilter()->AcceptGraphic(P->XPos(L), P->YPos(T), this);
    TCanvas* C = P->GetCanvas();
    if (!Report->FinishDoc() || !C)
        return;
    C->SetBrush(FBrush.get());
    C->SetPen(FPen.get());
    const TRect R = PrintRect(OfsX, OfsY);
    switch (FShape) {
    case rpsVertLine:
        C->MoveTo(P->XPos(L + W / 2), P->YPos(T));
        C->LineTo(P->XPos(L + W / 2), P->YPos(T + H));
        break;
    case rpsHorLine:
        C->MoveTo(P->XPos(L), P->YPos(T + H / 2));
        C->LineTo(P->XPos(L + W), P->YPos(T + H / 2));
        break;
    default:
        DrawShape(C, R, RoundSize());
        break;
    }
}

void TRpShape::Paint()
{
    TCanvas* C = Canvas();
    if (!C || PrintingActive())
        return;
    TRpPrintable::Paint();
    C->SetBrush(FBrush.get());
    C->SetPen(FPen.get());
    DrawShape(C, Rect(0, 0, Width(), Height()), RoundSize());
}

std::unique_ptr<TRpShape> RpExportShape(TRpShapeType Shape, long double Left, long double Top, long double Width,
                                        long double Height, TColor Fill, TColor PenColor, int PenWidth)
{
    auto S = std::make_unique<TRpShape>(nullptr);
    S->SetShape(Shape);
    S->Size()->SetUnits(TRpUnit::Native);
    S->Size()->SetLeft(Left);
    S->Size()->SetTop(Top);
    S->Size()->SetWidth(Width);
    S->Size()->SetHeight(Height);
    if (Fill == clNone) {
        S->Brush()->SetStyle(bsClear);
    } else {
        S->Brush()->SetStyle(bsSolid);
        S->Brush()->SetColor(Fill);
    }
    if (PenColor == clNone) {
        S->Pen()->SetStyle(psClear);
    } else {
        S->Pen()->SetStyle(psSolid);
        S->Pen()->SetColor(PenColor);
        S->Pen()->SetWidth(PenWidth);
    }
    return S;
}

// ----------------------------------------------------------------- images

TRpImage::TRpImage(TComponent* AOwner) : TRpPrintable(AOwner), FPicture(std::make_unique<TPicture>())
{
    SetBounds(Left(), Top(), 105, 105);
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
}

TRpImage::~TRpImage()
{
    FPicture->OnChange = nullptr;
}

void TRpImage::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    PictureChanged();
}

void TRpImage::SetStretch(bool Value)
{
    if (Value == FStretch)
        return;
    FStretch = Value;
    PictureChanged();
}

void TRpImage::SetCenter(bool Value)
{
    if (Value == FCenter)
        return;
    FCenter = Value;
    PictureChanged();
}

void TRpImage::PictureChanged()
{
    const int PW = FPicture->Width(), PH = FPicture->Height();
    if (FAutoSize && PW > 0 && PH > 0)
        SetBounds(Left(), Top(), PW, PH);
    SetTransparent(!(FPicture->HoldsBitmap() && PW >= Width() && PH >= Height()));
    Invalidate();
}

TCanvas* TRpImage::ImageCanvas()
{
    if (!FPicture->Graphic())
        FPicture->Bitmap()->SetSize(Width(), Height());
    return FPicture->HoldsBitmap() ? FPicture->Bitmap()->Canvas() : nullptr;
}

TRect TRpImage::PictureRect(const TRect& R, long double XFactor, long double YFactor) const
{
    if (FStretch)
        return R;
    const long double PPI = Size()->ScreenPPI();
    const int W = static_cast<int>(std::lround(FPicture->Width() / PPI * 254 * XFactor));
    const int H = static_cast<int>(std::lround(FPicture->Height() / PPI * 254 * YFactor));
    TRect Target = Rect(R.Left, R.Top, R.Left + W, R.Top + H);
    if (FCenter) {
        const int DX = (R.Width() - W) / 2, DY = (R.Height() - H) / 2;
        Target = Rect(Target.Left + DX, Target.Top + DY, Target.Right + DX, Target.Bottom + DY);
    }
    return Target;
}

void TRpImage::Print(int OfsX, int OfsY)
{
    TCustomRpReport* Report = HostReport();
    TRpPrinter* P = ActivePrinter();
    if (!Report || !P)
        return;
    const long double L = Size()->Left() + OfsX, T = Size()->Top() + OfsY;
    if (Report->Exporting() && Report->ExportFilter())
        Report->ExportFilter()->AcceptGraphic(P->XPos(L), P->YPos(T), this);
    TCanvas* C = P->GetCanvas();
    if (Report->FinishDoc() && C && !FPicture->Empty()) {
        // The rectangle's size from the native sizes, so that a centred
        // picture moves by the same amount wherever the printable sits.
        TRect R = PrintRect(OfsX, OfsY);
        R.Right = R.Left + P->XSize(Size()->Width());
        R.Bottom = R.Top + P->YSize(Size()->Height());
        if (FStretch) {
            C->StretchDraw(R, FPicture->Graphic());
        } else {
            const TCanvas::TClipState Saved = C->SaveClip();
            C->IntersectClipRect(R);
            C->StretchDraw(PictureRect(R, P->XFactor(), P->YFactor()), FPicture->Graphic());
            C->RestoreClip(Saved);
        }
    }
    TRpPrintable::Print(OfsX, OfsY);
}

void TRpImage::Paint()
{
    TCanvas* C = Canvas();
    if (!C || PrintingActive())
        return;
    if (ComponentState().Contains(csDesigning)) {
        C->Pen()->SetStyle(psDash);
        C->Pen()->SetColor(clBlack);
        C->Brush()->SetStyle(bsClear);
        C->Rectangle(ClientRect());
        C->Pen()->SetStyle(psSolid);
    }
    if (FPicture->Empty())
        return;
    TRect Target = ClientRect();
    if (!FStretch) {
        const int PW = FPicture->Width(), PH = FPicture->Height();
        int X = 0, Y = 0;
        if (FCenter) {
            X = (Width() - PW) / 2;
            Y = (Height() - PH) / 2;
        }
        Target = Rect(X, Y, X + PW, Y + PH);
    }
    if (GetZoom() != 100)
        Target = Rect(Target.Left, Target.Top, Target.Left + Target.Width() * GetZoom() / 100,
                      Target.Top + Target.Height() * GetZoom() / 100);
    C->StretchDraw(Target, FPicture->Graphic());
}
