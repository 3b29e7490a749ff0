// Frames of report elements and the base panel of the report and its bands.
#include "report/RpReport.h"

#include "report/RpCtrls.h"
#include "report/RpExportFilter.h"

// ---------------------------------------------------------------------- frame

void TRpFrame::Assign(TPersistent* Source)
{
    if (auto* F = dynamic_cast<TRpFrame*>(Source)) {
        FColor = F->FColor;
        FDrawBottom = F->FDrawBottom;
        FDrawLeft = F->FDrawLeft;
        FStyle = F->FStyle;
        FDrawRight = F->FDrawRight;
        FDrawTop = F->FDrawTop;
        FWidth = F->FWidth;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TRpFrame::Changed()
{
    if (FFrameOwner)
        FFrameOwner->Invalidate();
}

void TRpFrame::SetColor(TColor Value)
{
    FColor = Value;
    Changed();
}

void TRpFrame::SetStyle(TPenStyle Value)
{
    FStyle = Value;
    Changed();
}

void TRpFrame::SetWidth(int32_t Value)
{
    FWidth = Value;
    Changed();
}

bool TRpFrame::GetValue(int Index) const
{
    switch (Index) {
    case 0: return FDrawTop;
    case 1: return FDrawBottom;
    case 2: return FDrawLeft;
    default: return FDrawRight;
    }
}

void TRpFrame::SetValue(int Index, bool Value)
{
    switch (Index) {
    case 0: FDrawTop = Value; break;
    case 1: FDrawBottom = Value; break;
    case 2: FDrawLeft = Value; break;
    default: FDrawRight = Value; break;
    }
    Changed();
}

void TRpFrame::SetPen(TPen* Pen) const
{
    Pen->SetWidth(1);
    Pen->SetStyle(FStyle);
    Pen->SetColor(FColor);
}

namespace {

// Points to device pixels; at least one pixel for a width of 1 point and
// more, exactly one for -1.
int LineWidth(int32_t Width, long double Factor)
{
    int W = RpRound(Factor / 72 * 254 * Width);
    if ((W < 1 && Width >= 1) || Width == -1)
        W = 1;
    return W;
}

}  // namespace

int TRpFrame::LineWidthX(long double XFactor) const { return LineWidth(FWidth, XFactor); }
int TRpFrame::LineWidthY(long double YFactor) const { return LineWidth(FWidth, YFactor); }

namespace {

// The report a frame's owner prints on: a printable's host report, a band's
// report or the report itself.
TCustomRpReport* FrameReport(TControl* Owner)
{
    if (auto* P = dynamic_cast<TRpPrintable*>(Owner))
        return P->HostReport();
    if (auto* B = dynamic_cast<TRpCustomBand*>(Owner))
        return B->Report();
    return dynamic_cast<TCustomRpReport*>(Owner);
}

}  // namespace

void TRpFrame::ExportIt(TRpExportFilter* Filter, const TRect& R, long double XFactor, long double YFactor) const
{
    const int WX = LineWidthX(XFactor);
    const int WY = LineWidthY(YFactor);
    const long double FX = XFactor > 0 ? XFactor : 1, FY = YFactor > 0 ? YFactor : 1;
    // Device pixels to 0.1 mm for the shape's size.
    auto Hand = [&](TRpShapeType Shape, int Left, int Top, int Width, int Height, TColor Fill, TColor Pen,
                    int PenWidth) {
        const std::unique_ptr<TRpShape> S =
            RpExportShape(Shape, Left / FX, Top / FY, Width / FX, Height / FY, Fill, Pen, PenWidth);
        Filter->AcceptGraphic(Left, Top, S.get());
    };
    if (auto* P = dynamic_cast<TRpPrintable*>(FFrameOwner); P && !P->Transparent())
        Hand(rpsRectangle, R.Left, R.Top, R.Width(), R.Height(), P->Color(), clNone, 0);
    if (FDrawTop && FDrawBottom && FDrawLeft && FDrawRight) {
        Hand(rpsRectangle, R.Left, R.Top, R.Width(), R.Height(), clNone, FColor, WX);
        return;
    }
    if (FDrawTop)
        Hand(rpsHorLine, R.Left, R.Top, R.Width(), WY, clNone, FColor, WY);
    if (FDrawBottom)
        Hand(rpsHorLine, R.Left, R.Bottom - WY, R.Width(), WY, clNone, FColor, WY);
    if (FDrawLeft)
        Hand(rpsVertLine, R.Left, R.Top, WX, R.Height(), clNone, FColor, WX);
    if (FDrawRight)
        Hand(rpsVertLine, R.Right - WX, R.Top, WX, R.Height(), clNone, FColor, WX);
}

void TRpFrame::PaintIt(TCanvas* Canvas, const TRect& R, long double XFactor, long double YFactor) const
{
    // While the report is exported the frame goes to the filter as shapes
    // and is not drawn.
    if (TCustomRpReport* Report = FrameReport(FFrameOwner); Report && Report->Exporting()) {
        if (Report->ExportFilter())
            ExportIt(Report->ExportFilter(), R, XFactor, YFactor);
        return;
    }
    if (!Canvas)
        return;
    const int WX = LineWidthX(XFactor);
    const int WY = LineWidthY(YFactor);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FColor);
    SetPen(Canvas->Pen());
    if (WX > 0 && WY > 0) {
        if (FDrawTop)
            Canvas->FillRect(Rect(R.Left, R.Top, R.Right, R.Top + WY));
        if (FDrawBottom)
            Canvas->FillRect(Rect(R.Left, R.Bottom - WY, R.Right, R.Bottom));
        if (FDrawLeft)
            Canvas->FillRect(Rect(R.Left, R.Top, R.Left + WX, R.Bottom));
        if (FDrawRight)
            Canvas->FillRect(Rect(R.Right - WX, R.Top, R.Right, R.Bottom));
    }
    Canvas->Brush()->SetStyle(bsClear);
}

// ----------------------------------------------------------------- base panel

TRpBasePanel::TRpBasePanel(TComponent* AOwner) : TCustomPanel(AOwner), FFrame(std::make_unique<TRpFrame>())
{
    FFrame->SetParent(this);
}

TRpBasePanel::~TRpBasePanel() = default;

void TRpBasePanel::SetZoom(int Value)
{
    if (Value == 0)
        return;
    FZoom = Value;
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* C = Controls(I);
        if (auto* P = dynamic_cast<TRpPrintable*>(C))
            P->SetZoom(Value);
        else if (auto* B = dynamic_cast<TRpBasePanel*>(C))
            B->SetZoom(Value);
    }
}

void TRpBasePanel::PrepareComponents()
{
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* C = Controls(I);
        if (auto* P = dynamic_cast<TRpPrintable*>(C))
            P->Prepare();
        else if (auto* B = dynamic_cast<TRpBasePanel*>(C))
            B->PrepareComponents();
    }
}

void TRpBasePanel::UnprepareComponents()
{
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* C = Controls(I);
        if (auto* P = dynamic_cast<TRpPrintable*>(C))
            P->UnPrepare();
        else if (auto* B = dynamic_cast<TRpBasePanel*>(C))
            B->UnprepareComponents();
    }
}

void TRpBasePanel::Paint()
{
    TCanvas* C = Canvas();
    if (!C)
        return;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Enabled() ? Color() : clSilver);
    C->FillRect(ClientRect());
    C->Brush()->SetStyle(bsClear);
}
