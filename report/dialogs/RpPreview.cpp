#include "report/dialogs/RpPreview.h"

#include "platform/ScopeGuard.h"
#include "platform/TreeView.h"

#include <algorithm>
#include <cmath>

// Letter in millimetres: the page shown without a printer, 1 px/mm at 100 %.
namespace {

constexpr long double LetterWidth = 215.9L;
constexpr long double LetterLength = 279.4L;
constexpr int MinZoom = 2;
constexpr int MaxZoom = 2000;

}  // namespace

void PaintPageToCanvas(TMetafile* Metafile, TCanvas* Canvas, const TRect& R, bool DrawFrame)
{
    const int L = R.Left;
    const int T = R.Top;
    const int W = R.Right - R.Left;
    const int H = R.Bottom - R.Top;
    if (!Metafile && !DrawFrame)
        return;
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(clWhite);
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetColor(clWhite);
    Canvas->Rectangle(L + 1, T + 1, L + W - 3, T + H - 3);
    if (Metafile)
        Canvas->StretchDraw(R, Metafile);
    Canvas->Pen()->SetColor(clBlack);
    Canvas->Pen()->SetWidth(1);
    Canvas->MoveTo(L, T);
    Canvas->LineTo(L, T + H - 3);
    Canvas->LineTo(L + W - 3, T + H - 3);
    Canvas->LineTo(L + W - 3, T);
    Canvas->LineTo(L, T);
    // The drop shadow.
    Canvas->Brush()->SetColor(clBlack);
    Canvas->FillRect(Rect(L + W - 2, T + 2, R.Right, R.Bottom));
    Canvas->FillRect(Rect(L + 2, T + H - 2, R.Right, R.Bottom));
}

// ------------------------------------------------------------ the page image

TRpPreviewImage::TRpPreviewImage(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, 100, 50);
}

TRpPreviewImage::~TRpPreviewImage() = default;

void TRpPreviewImage::Paint()
{
    PaintPageToCanvas(FPageMetafile.get(), Canvas(), Rect(0, 0, Width(), Height()), false);
}

void TRpPreviewImage::SetPageNumber(int Value)
{
    FPageNumber = Value;
    FPageMetafile.reset();
    if (FRpPrinter)
        FPageMetafile = FRpPrinter->Page(Value);
    Invalidate();
}

void TRpPreviewImage::FreeImage()
{
    FPageMetafile.reset();
    Invalidate();
}

std::string TRpPreviewImage::Hyperlink(int X, int Y)
{
    if (!FHyperlinks || FZoom <= 0)
        return "";
    const int x = static_cast<int>(std::lround(static_cast<double>(X) / FZoom * 100));
    const int y = static_cast<int>(std::lround(static_cast<double>(Y) / FZoom * 100));
    for (const auto& Link : *FHyperlinks) {
        const TRect& A = Link->Area();
        if (x >= A.Left && x <= A.Right && y >= A.Top && y <= A.Bottom) {
            FCurrentLink = Link->Link();
            return FCurrentLink;
        }
    }
    return "";
}

void TRpPreviewImage::SetIsLink(bool Value)
{
    if (FIsLink == Value)
        return;
    FIsLink = Value;
    if (!OnHyperlink)
        return;
    bool Handled = false;
    if (Value)
        OnHyperlink(FRpPrinter, heCursorMoveOver, FCurrentLink, Handled);
    else
        OnHyperlink(FRpPrinter, heCursorMoveAway, "", Handled);
}

void TRpPreviewImage::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    const bool Over = !Hyperlink(X, Y).empty();
    SetCursor(Over ? crHandPoint : crDefault);
    SetIsLink(Over);
}

void TRpPreviewImage::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (!FIsLink || !OnHyperlink)
        return;
    bool Handled = false;
    OnHyperlink(FRpPrinter, heGoto, FCurrentLink, Handled);
    if (!Handled)
        PerformHyperlink(FRpPrinter, FCurrentLink);
}

// ---------------------------------------------------------- the preview box

TRpPreview::TRpPreview(TComponent* AOwner) : TScrollBox(AOwner)
{
    FPreviewImage = new TRpPreviewImage(this);
    FPreviewImage->SetParent(this);
    FPreviewImage->SetBounds(0, 0, FPreviewImage->Width(), FPreviewImage->Height());
    HorzScrollBar()->SetTracking(true);
    VertScrollBar()->SetTracking(true);
    SetBounds(Left(), Top(), 250, 250);
}

TRpPreview::~TRpPreview()
{
    SetRpPrinter(nullptr);
}

void TRpPreview::RpPrinterFreed(TRpPrinter* Printer)
{
    if (FRpPrinter != Printer)
        return;
    FRpPrinter = nullptr;
    FPreviewImage->SetRpPrinter(nullptr);
    FPreviewImage->FreeImage();
}

void TRpPreview::SetRpPrinter(TRpPrinter* P)
{
    if (FRpPrinter && FRpPrinter->Client() == this) {
        TRpPrinter* Old = FRpPrinter;
        // Switching the preview off may free the printer (its report lets
        // it go); the printer then tells this control.
        Old->SetClient(nullptr);
        Old->SetShowingPreview(false);
    }
    FRpPrinter = P;
    FPreviewImage->SetRpPrinter(P);
    if (P) {
        P->SetClient(this);
        P->SetShowingPreview(true);
    }
    FPageNumber = 1;
    FPreviewImage->SetPageNumber(1);
    HorzScrollBar()->SetPosition(0);
    VertScrollBar()->SetPosition(0);
    // Clicks on the page are clicks on the control.
    FPreviewImage->OnClick = OnClick;
    FPreviewImage->OnDblClick = OnDblClick;
    FPreviewImage->OnMouseDown = OnMouseDown;
    FPreviewImage->OnMouseMove = OnMouseMove;
    FPreviewImage->OnMouseUp = OnMouseUp;
    if (P)
        P->SetOutline(FOutline);
    Invalidate();
}

void TRpPreview::SetPageNumber(int Value)
{
    if ((Value == FPageNumber && FPreviewImage->ImageOK()) || Value <= 0 || !FRpPrinter ||
        Value > FRpPrinter->PageCount())
        return;
    FPreviewImage->SetPageNumber(Value);
    FPageNumber = Value;
    HorzScrollBar()->SetPosition(0);
    VertScrollBar()->SetPosition(0);
}

void TRpPreview::UpdateImage()
{
    if (!FRpPrinter || FPreviewImage->ImageOK())
        return;
    if (FRpPrinter->AvailablePages() >= FPreviewImage->PageNumber())
        FPreviewImage->SetPageNumber(FPreviewImage->PageNumber());
}

void TRpPreview::SetZoom(int Value)
{
    if (Value < MinZoom || Value > MaxZoom)
        return;
    FZoomState = rpZoomOther;
    FZoom = Value;
    UpdateZoom();
}

long double TRpPreview::PageWidthPixels() const
{
    return FRpPrinter ? FRpPrinter->XSize(FRpPrinter->PaperWidthValue()) : LetterWidth;
}

long double TRpPreview::PageLengthPixels() const
{
    return FRpPrinter ? FRpPrinter->YSize(FRpPrinter->PaperLengthValue()) : LetterLength;
}

void TRpPreview::UpdateZoom()
{
    FPreviewImage->SetZoom(FZoom);
    int W = 0;
    int H = 0;
    if (FRpPrinter) {
        W = FRpPrinter->XSize(FRpPrinter->PaperWidthValue() / 100.0L * FZoom) + 4;
        H = FRpPrinter->YSize(FRpPrinter->PaperLengthValue() / 100.0L * FZoom) + 4;
    } else {
        W = RpRound(LetterWidth / 100 * FZoom) + 4;
        H = RpRound(LetterLength / 100 * FZoom) + 4;
    }
    const int L = W < Width() ? (Width() - W) / 2 : 0;
    const int T = H < Height() ? (Height() - H) / 2 : 0;
    FPreviewImage->SetBounds(L, T, W, H);
    HorzScrollBar()->SetPosition(0);
    VertScrollBar()->SetPosition(0);
}

void TRpPreview::ZoomToFit()
{
    // A page or control without size keeps the zoom it has.
    const long double PW = PageWidthPixels();
    const long double PL = PageLengthPixels();
    if (PW > 0 && PL > 0) {
        const int zx = RpRound(Width() / PW * 95);
        const int zy = RpRound(Height() / PL * 95);
        SetZoom(std::min(zx, zy));
    }
    UpdateZoom();
    FZoomState = rpZoomToFit;
}

void TRpPreview::ZoomToWidth()
{
    const long double PW = PageWidthPixels();
    if (PW > 0)
        SetZoom(RpRound(Width() / PW * (FRpPrinter ? 90 : 95)));
    UpdateZoom();
    FZoomState = rpZoomToWidth;
}

void TRpPreview::Fixvalues()
{
    if (FFixing)
        return;
    TValueRollback<bool> Busy(FFixing, true);
    if (FZoomState == rpZoomToFit)
        ZoomToFit();
    else if (FZoomState == rpZoomToWidth)
        ZoomToWidth();
    UpdateZoom();
}

void TRpPreview::Resize()
{
    TScrollBox::Resize();
    if (FPreviewImage)
        Fixvalues();
}

void TRpPreview::SetOutline(TTreeView* Value)
{
    FOutline = Value;
    if (FRpPrinter)
        FRpPrinter->SetOutline(Value);
}

void TRpPreview::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_RPPAGEAVAILABLE: {
        const int C = static_cast<int>(Message.WParam & 0xFFFF);
        // The run has begun: the page's size in pixels is known now.
        if (C == 1)
            Fixvalues();
        if (C == FPageNumber)
            UpdateImage();
        if (OnPageAvailable)
            OnPageAvailable(this, C);
        break;
    }
    case CM_RPPROGRESSUPDATE:
        if (OnProgressUpdate)
            OnProgressUpdate(this, static_cast<int>(Message.WParam & 0xFFFF));
        break;
    default:
        break;
    }
}
