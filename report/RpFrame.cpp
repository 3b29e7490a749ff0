// Frames of report elements and the base panel of the report and its bands.
#include "report/RpReport.h"

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

void TRpFrame::PaintIt(TCanvas* Canvas, const TRect& R, long double XFactor, long double YFactor) const
{
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
