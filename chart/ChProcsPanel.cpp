// The chart panel: its paint pass, chart rectangle, bevels, listeners and
// setter helpers, and printing and picture export of a panel.
#include "chart/ChProcs.h"
#include "platform/Clipbrd.h"
#include "platform/ScopeGuard.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

bool ChEraseBack = false;
bool ChClipWhenPrinting = true;
bool ChClipWhenMetafiling = true;
bool ChCheckPenWidth = true;
bool PrintChPanel = false;

namespace {

// Multiplies in 64 bits and rounds the quotient to nearest (halves away from
// zero); a zero divisor gives -1 as the system routine does.
int MulDiv(int A, int B, int C)
{
    if (C == 0)
        return -1;
    const int64_t N = static_cast<int64_t>(A) * B;
    int64_t Q = N / C;
    const int64_t R = N % C;
    if (2 * std::llabs(R) >= std::llabs(static_cast<int64_t>(C)))
        Q += ((N < 0) != (C < 0)) ? -1 : 1;
    return static_cast<int>(Q);
}

int ClampMargin(int Value) { return std::clamp(Value, 0, 49); }

}  // namespace

// ------------------------------------------------------------------ listeners

int TChEventListeners::Add(IChEventListener* Listener)
{
    const auto It = std::find(FItems.begin(), FItems.end(), Listener);
    if (It != FItems.end())
        return static_cast<int>(It - FItems.begin());
    FItems.push_back(Listener);
    return Count() - 1;
}

int TChEventListeners::Remove(IChEventListener* Listener)
{
    const auto It = std::find(FItems.begin(), FItems.end(), Listener);
    if (It == FItems.end())
        return -1;
    const int Index = static_cast<int>(It - FItems.begin());
    FItems.erase(It);
    return Index;
}

// ------------------------------------------------------------------ zoom and panning state

void TZoomPanning::Activate(int X, int Y)
{
    StartX = EndX = X;
    StartY = EndY = Y;
    Active = true;
}

void TZoomPanning::Check()
{
    if (EndX < StartX)
        std::swap(StartX, EndX);
    if (EndY < StartY)
        std::swap(StartY, EndY);
}

// ------------------------------------------------------------------ the panel

TCustomChPanel::TCustomChPanel(TComponent* AOwner) : TCustomPanelNoCaption(AOwner)
{
    SetBounds(Left(), Top(), 400, 250);
    const TNotifyEvent Changed = [this](TObject* Sender) { CanvasChanged(Sender); };
    FBorder = std::make_unique<TChartHiddenPen>(Changed);
    FBorder->DefaultEndStyle = esFlat;
    FBorder->SetEndStyle(esFlat);
    FShadow = std::make_unique<TChShadow>(Changed);
    FView3DOptions = std::make_unique<TView3DOptions>(this);
    FChartCanvas = std::make_unique<TChCanvas3D>();
    FChartCanvas->SetCanvas(WindowCanvas());
    SavedCursor = Cursor();
}

TCustomChPanel::~TCustomChPanel()
{
    // The canvas may point at the options; it goes first.
    FChartCanvas.reset();
}

void TCustomChPanel::SetInternalCanvas(std::unique_ptr<TCanvas3D> NewCanvas)
{
    if (!NewCanvas)
        return;
    NewCanvas->SetCanvas(WindowCanvas());
    if (FChartCanvas) {
        TValueRollback<bool> Hold(RepaintOnChange, false);
        NewCanvas->Assign(FChartCanvas.get());
    }
    FChartCanvas = std::move(NewCanvas);
    if (RepaintOnChange)
        Repaint();
}

TRect TCustomChPanel::GetRectangle()
{
    if (Parent() != nullptr)
        return ClientRect();
    return {0, 0, Width(), Height()};
}

void TCustomChPanel::Paint()
{
    if (Printing)
        return;
    if (!FChartCanvas->ReDrawBitmap())
        Draw();
}

void TCustomChPanel::Draw()
{
    Draw(WindowCanvas(), ClientRect());
}

void TCustomChPanel::Draw(TCanvas* UserCanvas, const TRect& UserRect)
{
    // Whatever the pass changes is drawn by the pass itself.
    TValueRollback<bool> Hold(FDrawing, true);
    PanelBounds = FChartCanvas->InitWindow(UserCanvas, FView3DOptions.get(), Color(), FView3D, UserRect);

    const int W = PanelBounds.Right - PanelBounds.Left;
    const int H = PanelBounds.Bottom - PanelBounds.Top;
    int B = BorderWidth();
    if (BevelInner() != bvNone)
        B += BevelWidth();
    if (BevelOuter() != bvNone)
        B += BevelWidth();
    if (FBorder->Visible())
        B += FBorder->Width();
    const auto Horiz = [&](int M) { return FMarginUnits == muPercent ? M * W / 100 : M; };
    const auto Vert = [&](int M) { return FMarginUnits == muPercent ? M * H / 100 : M; };
    FChartRect.Left = PanelBounds.Left + B + Horiz(FMargins[0]);
    FChartRect.Top = PanelBounds.Top + B + Vert(FMargins[1]);
    FChartRect.Right = PanelBounds.Right - B - Horiz(FMargins[2]);
    FChartRect.Bottom = PanelBounds.Bottom - B - Vert(FMargins[3]);

    FChartRect.Left = std::max(FChartRect.Left, PanelBounds.Left);
    FChartRect.Top = std::max(FChartRect.Top, PanelBounds.Top);
    if (FChartRect.Right < FChartRect.Left)
        FChartRect.Right = FChartRect.Left + 1;
    else if (FChartRect.Right == FChartRect.Left)
        FChartRect.Right = FChartRect.Left + Width();
    if (FChartRect.Bottom < FChartRect.Top)
        FChartRect.Bottom = FChartRect.Top + 1;
    else if (FChartRect.Bottom == FChartRect.Top)
        FChartRect.Bottom = FChartRect.Top + Height();
    FChartWidth = FChartRect.Right - FChartRect.Left;
    FChartHeight = FChartRect.Bottom - FChartRect.Top;
    RectCenter(FChartRect, FChartXCenter, FChartYCenter);

    InternalDraw(PanelBounds);
    FChartCanvas->ShowImage(UserCanvas, WindowCanvas(), UserRect);
}

void TCustomChPanel::Invalidate()
{
    if (!RepaintOnChange || FDrawing)
        return;
    if (FChartCanvas)
        FChartCanvas->Invalidate();
    TCustomPanelNoCaption::Invalidate();
}

void DrawBevel(TCanvas3D* Canvas, TBevelCut Bevel, TRect& R, int Width, int Round)
{
    if (Bevel == bvNone)
        return;
    if (Round > 0) {
        Canvas->Pen->SetColor(Bevel == bvLowered ? clBtnShadow : clBtnHighlight);
        Canvas->RoundRect(R, Round, Round);
        InflateRect(R, -Width, -Width);
        return;
    }
    TColor TopColor = clBtnHighlight;
    TColor BottomColor = clBtnHighlight;
    if (Bevel == bvLowered) {
        TopColor = clBtnShadow;
    } else if (Bevel == bvRaised) {
        BottomColor = clBtnShadow;
    }
    Canvas->Frame3D(R, TopColor, BottomColor, Width);
}

void TCustomChPanel::DrawPanelBevels(const TRect& Rect)
{
    TRect R = Rect;
    TCanvas3D* C = FChartCanvas.get();
    C->FrontPlaneBegin();
    C->Brush->SetStyle(bsClear);
    if (FBorder->Visible()) {
        C->AssignVisiblePen(FBorder.get());
        int K;
        if (FBorder->SmallDots())
            K = 1;
        else {
            const int W = FBorder->Width() - 1;
            if (W > 0) {
                const int Half = W / 2;
                const int Up = (W + 1) / 2;
                K = Half - (Half % 2 != 0 ? 1 : 0);
                R.Left += Up;
                R.Top += Up;
                R.Right -= K;
                R.Bottom -= K;
            } else
                K = W;
        }
        if (FBorderRound > 0) {
            --R.Right;
            --R.Bottom;
            C->RoundRect(R, FBorderRound, FBorderRound);
        } else {
            C->Rectangle(R);
            if (!FBorder->SmallDots())
                ++K;
        }
        InflateRect(R, -K, -K);
    }
    if (!Printing || PrintChPanel) {
        C->Pen->SetStyle(psSolid);
        C->Pen->SetWidth(1);
        C->Pen->SetMode(pmCopy);
        DrawBevel(C, BevelOuter(), R, BevelWidth(), FBorderRound);
        if (BorderWidth() > 0)
            C->Frame3D(R, Color(), Color(), BorderWidth());
        DrawBevel(C, BevelInner(), R, BevelWidth(), FBorderRound);
    }
    C->FrontPlaneEnd();
}

void TCustomChPanel::SetBrushCanvas(TColor AColor, TChartBrush* ABrush, TColor BackColor)
{
    if (ABrush->Style() != bsSolid && AColor == BackColor)
        AColor = BackColor == clBlack ? clWhite : clBlack;
    FChartCanvas->AssignBrushColor(ABrush, AColor, BackColor);
}

bool TCustomChPanel::IsScreenHighColor()
{
    // Every surface of ours holds 32 bits per pixel.
    return true;
}

void TCustomChPanel::SetBorderRound(int Value)
{
    if (FBorderRound == Value)
        return;
    SetIntegerProperty(FBorderRound, Value);
    if (!ComponentState().Contains(csLoading))
        SetControlRounded();
}

void TCustomChPanel::SetControlRounded()
{
    if (Parent() == nullptr || FRounding)
        return;
    TValueRollback<bool> Busy(FRounding, true);
    if (FBorderRound > 0)
        SetWindowRegion(TRegion::CreateRoundRect({0, 0, Width(), Height()}, FBorderRound, FBorderRound));
    else
        SetWindowRegion(TRegion());
    Invalidate();
}

void TCustomChPanel::SetMargin(int Index, int Value)
{
    SetIntegerProperty(FMargins.at(static_cast<size_t>(Index)), Value);
}

void TCustomChPanel::SetMarginUnits(TChUnits Value)
{
    if (FMarginUnits == Value)
        return;
    FMarginUnits = Value;
    Invalidate();
}

void TCustomChPanel::SetView3D(bool Value)
{
    if (FView3D == Value)
        return;
    FView3D = Value;
    Invalidate();
    TChView3DEvent Event;
    BroadcastChEvent(&Event);
}

void TCustomChPanel::SetStringProperty(std::string& Variable, const std::string& Value)
{
    if (Variable != Value) {
        Variable = Value;
        Invalidate();
    }
}

void TCustomChPanel::SetDoubleProperty(double& Variable, double Value)
{
    if (Variable != Value) {
        Variable = Value;
        Invalidate();
    }
}

void TCustomChPanel::SetColorProperty(TColor& Variable, TColor Value)
{
    if (Variable != Value) {
        Variable = Value;
        Invalidate();
    }
}

void TCustomChPanel::SetBooleanProperty(bool& Variable, bool Value)
{
    if (Variable != Value) {
        Variable = Value;
        Invalidate();
    }
}

void TCustomChPanel::SetIntegerProperty(int& Variable, int Value)
{
    if (Variable != Value) {
        Variable = Value;
        Invalidate();
    }
}

TChEvent* TCustomChPanel::BroadcastChEvent(TChEvent* Event)
{
    if (Destroying())
        return Event;
    Event->Sender = this;
    const bool IsMouse = dynamic_cast<TChMouseEvent*>(Event) != nullptr;
    for (int i = 0; i < Listeners.Count(); ++i) {
        Listeners.Get(i)->ReceiveEvent(Event);
        if (IsMouse && MouseCancelled)
            break;
    }
    return Event;
}

void TCustomChPanel::BroadcastMouseEvent(TChMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X,
                                         int Y)
{
    if (Listeners.Count() == 0)
        return;
    TChMouseEvent Event;
    Event.Kind = Kind;
    Event.Button = Button;
    Event.Shift = Shift;
    Event.X = X;
    Event.Y = Y;
    BroadcastChEvent(&Event);
}

void TCustomChPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    MouseCancelled = false;
    TCustomPanelNoCaption::MouseDown(Button, Shift, X, Y);
    BroadcastMouseEvent(meDown, Button, Shift, X, Y);
}

void TCustomChPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomPanelNoCaption::MouseUp(Button, Shift, X, Y);
    BroadcastMouseEvent(meUp, Button, Shift, X, Y);
}

void TCustomChPanel::MouseMove(TShiftState Shift, int X, int Y)
{
    MouseCancelled = false;
    TCustomPanelNoCaption::MouseMove(Shift, X, Y);
    BroadcastMouseEvent(meMove, mbLeft, Shift, X, Y);
}

void TCustomChPanel::DblClick()
{
    MouseCancelled = false;
    TCustomPanelNoCaption::DblClick();
    // A handler that set MouseCancelled ends the click processing here.
}

void TCustomChPanel::MouseLeave()
{
    SetCursor(SavedCursor);
    Panning.Active = false;
}

TPoint TCustomChPanel::GetCursorPos() const
{
    return ScreenToClient(Mouse->CursorPos());
}

void TCustomChPanel::Resize()
{
    // The buffered image has the old size: the next paint draws afresh.
    if (FChartCanvas)
        FChartCanvas->Invalidate();
    if (!ComponentState().Contains(csLoading) && FBorderRound > 0)
        SetControlRounded();
    TCustomPanelNoCaption::Resize();
}

void TCustomChPanel::Loaded()
{
    TCustomPanelNoCaption::Loaded();
    SavedCursor = Cursor();
    if (FBorderRound > 0)
        SetControlRounded();
}

void TCustomChPanel::ReadBorderStyle(const std::string& Identifier)
{
    FBorder->SetVisible(Identifier == "bsSingle");
}

void TCustomChPanel::Assign(TPersistent* Source)
{
    auto* Panel = dynamic_cast<TCustomChPanel*>(Source);
    if (Panel == nullptr) {
        TCustomPanelNoCaption::Assign(Source);
        return;
    }
    if (Panel == this)
        return;
    FBorder->Assign(Panel->Border());
    FBorderRound = Panel->FBorderRound;
    SetBufferedDisplay(Panel->BufferedDisplay());
    FPrintMargins = Panel->FPrintMargins;
    FPrintProportional = Panel->FPrintProportional;
    PrintScalePercent = Panel->PrintScalePercent;
    FMargins = Panel->FMargins;
    FMarginUnits = Panel->FMarginUnits;
    SetMonochrome(Panel->Monochrome());
    FShadow->Assign(Panel->Shadow());
    FView3D = Panel->FView3D;
    FView3DOptions->Assign(Panel->View3DOptions());
    SetColor(Panel->Color());
    Invalidate();
}

void TCustomChPanel::AssignTo(TPersistent* Dest)
{
    auto* Bitmap = dynamic_cast<TBitmap*>(Dest);
    auto* Picture = dynamic_cast<TChPicture*>(Dest);
    if (Bitmap == nullptr && Picture == nullptr) {
        throw EConvertError("Cannot assign a chart panel to this object");
    }
    const std::unique_ptr<TBitmap> Image = ChCreateBitmap(Color(), GetRectangle(), pfDevice);
    Dest->Assign(Image.get());
}

// ------------------------------------------------------------------ printing and picture export

void TCustomChPanel::NonBufferDraw(TCanvas* ACanvas, const TRect& R)
{
    const bool Old = BufferedDisplay();
    SetBufferedDisplay(false);
    TScopeExit Restore([this, Old] { SetBufferedDisplay(Old); });
    Draw(ACanvas, R);
}

void TCustomChPanel::DrawToMetaCanvas(TCanvas* ACanvas, const TRect& Rect)
{
    TValueRollback<bool> Hold(FChartCanvas->Metafiling, true);
    NonBufferDraw(ACanvas, Rect);
}

std::unique_ptr<TMetafile> TCustomChPanel::ChCreateMetafile(bool Enhanced, const TRect& R)
{
    auto Result = std::make_unique<TMetafile>();
    Result->SetEnhanced(Enhanced);
    Result->SetWidth(std::max(1, R.Right - R.Left));
    Result->SetHeight(std::max(1, R.Bottom - R.Top));
    {
        TMetafileCanvas MetaCanvas(Result.get(), nullptr);
        DrawToMetaCanvas(&MetaCanvas, R);
    }
    return Result;
}

std::unique_ptr<TBitmap> TCustomChPanel::ChCreateBitmap(TColor BackColor, const TRect& R, TPixelFormat PixelFormat)
{
    auto Result = std::make_unique<TBitmap>();
    Result->SetPixelFormat(PixelFormat);
    Result->SetSize(std::max(0, R.Right - R.Left), std::max(0, R.Bottom - R.Top));
    TCanvas* C = Result->Canvas();
    if (BackColor != clWhite && BackColor != clNone) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(BackColor);
        C->FillRect(R);
    }
    NonBufferDraw(C, R);
    return Result;
}

void TCustomChPanel::SaveToMetafileRect(bool Enhanced, const std::string& FileName, const TRect& R)
{
    ChCreateMetafile(Enhanced, R)->SaveToFile(FileName);
}

void TCustomChPanel::SaveToBitmapFile(const std::string& FileName, const TRect& R)
{
    ChCreateBitmap(clWhite, R, pfDevice)->SaveToFile(FileName);
}

void TCustomChPanel::CopyToClipboardBitmap(const TRect& R)
{
    Clipboard()->SetBitmap(*ChCreateBitmap(clWhite, R, pfDevice));
}

void TCustomChPanel::CopyToClipboardMetafile(bool Enhanced, const TRect& R)
{
    const std::unique_ptr<TMetafile> Meta = ChCreateMetafile(Enhanced, R);
    TBitmap Picture(Meta->Width(), Meta->Height());
    Meta->Draw(Picture.Canvas(), {0, 0, Meta->Width(), Meta->Height()});
    Clipboard()->SetBitmap(Picture);
}

bool TCustomChPanel::CanClip()
{
    if (FChartCanvas->SupportsFullRotation())
        return false;
    const bool Metafiling = FChartCanvas->Metafiling;
    if (!Printing && !Metafiling)
        return true;
    return (Printing && ChClipWhenPrinting) || (Metafiling && ChClipWhenMetafiling);
}

void TCustomChPanel::CheckPenWidth(TPen* APen)
{
    if (Printing && ChCheckPenWidth && APen->Style() != psSolid && APen->Width() == 1)
        APen->SetWidth(0);
}

void TCustomChPanel::CalcMetaBounds(TRect& R, const TRect& AChartRect, int& WinWidth, int& WinHeight,
                                    int& ViewWidth, int& ViewHeight)
{
    ViewWidth = R.Right - R.Left;
    ViewHeight = R.Bottom - R.Top;
    const int Wc = AChartRect.Right - AChartRect.Left;
    const int Hc = AChartRect.Bottom - AChartRect.Top;
    // A logical window of no size (an empty chart, a scale of 100 percent or
    // more) would scale by infinity: keep at least one unit.
    WinWidth = std::max(1, Wc - MulDiv(Wc, PrintScalePercent, 100));
    WinHeight = std::max(1, Hc - MulDiv(Hc, PrintScalePercent, 100));
    if (ViewWidth == 0 || ViewHeight == 0)
        return;
    R.Left = MulDiv(R.Left, WinWidth, ViewWidth);
    R.Right = MulDiv(R.Right, WinWidth, ViewWidth);
    R.Top = MulDiv(R.Top, WinHeight, ViewHeight);
    R.Bottom = MulDiv(R.Bottom, WinHeight, ViewHeight);
}

void TCustomChPanel::PrintPartialCanvas(TCanvas* PrintCanvas, const TRect& PrinterRect)
{
    TRect R = OrientRectangle(PrinterRect);
    int WinWidth, WinHeight, ViewWidth, ViewHeight;
    CalcMetaBounds(R, GetRectangle(), WinWidth, WinHeight, ViewWidth, ViewHeight);
    if (ViewWidth <= 0 || ViewHeight <= 0)
        return;   // nothing of the page to draw on

    const TCanvasTransform Saved = PrintCanvas->Transform();
    TCanvasTransform Mapping;
    Mapping.ScaleX = static_cast<double>(ViewWidth) / WinWidth;
    Mapping.ScaleY = static_cast<double>(ViewHeight) / WinHeight;
    PrintCanvas->SetTransform(Mapping.Then(Saved));
    TScopeExit RestoreMapping([PrintCanvas, &Saved] { PrintCanvas->SetTransform(Saved); });
    TValueRollback<bool> Hold(Printing, true);
    const bool Clip = CanClip();
    if (Clip)
        ClipCanvas(PrintCanvas, R);
    TScopeExit Unclip([PrintCanvas, Clip] {
        if (Clip)
            UnClipCanvas(PrintCanvas);
    });
    DrawToMetaCanvas(PrintCanvas, R);
}

void TCustomChPanel::PrintPartial(const TRect& PrinterRect)
{
    PrintPartialCanvas(Printer()->Canvas(), PrinterRect);
}

void TCustomChPanel::PrintRect(const TRect& R)
{
    RunPrintJob([&](TPrinter*) { PrintPartial(R); });
}

void TCustomChPanel::RunPrintJob(const std::function<void(TPrinter*)>& Body)
{
    TPrinter* P = Printer();
    if (!Name().empty())
        P->SetTitle(Name());
    P->BeginDoc();
    try {
        Body(P);
        P->EndDoc();
    } catch (...) {
        P->Abort();
        if (P->Printing())
            P->EndDoc();
        throw;
    }
}

void TCustomChPanel::PrintOrientation(TPrinterOrientation AOrientation)
{
    TPrinter* P = Printer();
    const TPrinterOrientation Old = P->Orientation();
    P->SetOrientation(AOrientation);
    TScopeExit Restore([P, Old] { P->SetOrientation(Old); });
    Print();
}

TRect ChProportionalMargins(int W, int H, int Pw, int Ph, int ResX, int ResY)
{
    TRect Result{15, 15, 15, 15};
    // Without a chart or a page there is no proportion to keep.
    if (W <= 0 || H <= 0 || Pw <= 0 || Ph <= 0)
        return Result;
    if (ResX <= 0 || ResY <= 0)
        ResX = ResY = 1;
    // The part of B left over when the chart takes 70 percent of A and the
    // other side follows the proportion P; C turns A's pixels into B's.
    const auto M = [](double A, double B, double P, double C) {
        const int Percent = ChRound((B - (A - A * 30 * 0.01) * P * C) * 100 / B);
        return ClampMargin(Percent / 2);
    };
    if (W > H) {
        // The chart's height, in vertical pixels, follows its width in horizontal ones.
        Result.Top = Result.Bottom = M(Pw, Ph, static_cast<double>(H) / W, static_cast<double>(ResY) / ResX);
    } else {
        Result.Left = Result.Right = M(Ph, Pw, static_cast<double>(W) / H, static_cast<double>(ResX) / ResY);
    }
    return Result;
}

TRect TCustomChPanel::CalcProportionalMargins()
{
    const TRect R = GetRectangle();
    int Pw, Ph, ResX = 1, ResY = 1;
    try {
        TPrinter* P = Printer();
        Pw = P->PageWidth();
        Ph = P->PageHeight();
        ResX = P->PixelsPerInchX();
        ResY = P->PixelsPerInchY();
    } catch (const EPrinter&) {
        Pw = Screen->Width();
        Ph = Screen->Height();
        ResX = ResY = 1;
    }
    return ChProportionalMargins(R.Right - R.Left, R.Bottom - R.Top, Pw, Ph, ResX, ResY);
}

TRect TCustomChPanel::ChartPrintRect()
{
    if (FPrintProportional)
        FPrintMargins = CalcProportionalMargins();
    TPrinter* P = Printer();
    const double Wp = std::max(0, P->PageWidth());
    const double Hp = std::max(0, P->PageHeight());
    return {ChRound(ClampMargin(FPrintMargins.Left) * Wp / 100),
            static_cast<int>(Wp) - ChRound(ClampMargin(FPrintMargins.Right) * Wp / 100),
            ChRound(ClampMargin(FPrintMargins.Top) * Hp / 100),
            static_cast<int>(Hp) - ChRound(ClampMargin(FPrintMargins.Bottom) * Hp / 100)};
}

bool TCustomChPanel::IsPrintMarginsStored() const
{
    return !(FPrintMargins == TRect{15, 15, 15, 15});
}

std::unique_ptr<TBitmap> ChAntiAlias(TCustomChPanel* Panel)
{
    TValueRollback<bool> HoldRepaint(Panel->RepaintOnChange, false);
    const int W = Panel->Width();
    const int H = Panel->Height();
    TView3DOptions* Options = Panel->View3DOptions();
    const int OldZoom = Options->FontZoom();
    const bool OldBuffered = Panel->BufferedDisplay();
    std::unique_ptr<TBitmap> Large;
    {
        Options->SetFontZoom(OldZoom * 2);
        Panel->SetBufferedDisplay(false);
        TScopeExit Restore([&] {
            Panel->SetBufferedDisplay(OldBuffered);
            Options->SetFontZoom(OldZoom);
        });
        Large = Panel->ChCreateBitmap(Panel->Color(), {0, 0, 2 * W, 2 * H}, pf24bit);
    }

    auto Result = std::make_unique<TBitmap>(std::max(0, W), std::max(0, H));
    for (int Y = 0; Y < H; ++Y) {
        const uint32_t* Row0 = Large->ScanLine(2 * Y);
        const uint32_t* Row1 = Large->ScanLine(2 * Y + 1);
        uint32_t* Out = Result->ScanLine(Y);
        for (int X = 0; X < W; ++X) {
            const uint32_t P[4] = {Row0[2 * X], Row0[2 * X + 1], Row1[2 * X], Row1[2 * X + 1]};
            uint32_t Pixel = 0xFF000000u;
            for (int Shift = 0; Shift <= 16; Shift += 8) {
                uint32_t Sum = 0;
                for (uint32_t Q : P)
                    Sum += (Q >> Shift) & 0xFFu;
                Pixel |= (Sum >> 2) << Shift;
            }
            Out[X] = Pixel;
        }
    }
    return Result;
}
