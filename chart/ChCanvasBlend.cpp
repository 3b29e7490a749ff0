// Translucency: the background of a rectangle is captured before an element
// is drawn and mixed back over it afterwards.
#include "chart/ChCanvas.h"

#include <algorithm>

namespace {

// The buffer bitmap of a chart canvas while the canvas draws into it.
TBitmap* BoundBuffer(TChCanvas* Canvas)
{
    auto* Canvas3D = dynamic_cast<TChCanvas3D*>(Canvas);
    if (Canvas3D == nullptr || !Canvas3D->BufferBitmap)
        return nullptr;
    TBitmap* Buffer = Canvas3D->BufferBitmap.get();
    return Canvas->ReferenceCanvas == Buffer->Canvas() ? Buffer : nullptr;
}

void CopyPixels(TBitmap* Dest, TBitmap* Source, const TRect& From)
{
    for (int Row = 0; Row < Dest->Height(); ++Row) {
        const int SourceRow = From.Top + Row;
        if (SourceRow < 0 || SourceRow >= Source->Height())
            continue;
        const uint32_t* In = Source->ScanLine(SourceRow);
        uint32_t* Out = Dest->ScanLine(Row);
        for (int Col = 0; Col < Dest->Width(); ++Col) {
            const int SourceCol = From.Left + Col;
            if (SourceCol >= 0 && SourceCol < Source->Width())
                Out[Col] = In[SourceCol];
        }
    }
}

} // namespace

TChBlend::TChBlend(TChCanvas* ACanvas, const TRect& R) : FCanvas(ACanvas)
{
    SetRectangle(R);
}

TChBlend::~TChBlend() = default;

void TChBlend::SetRectangle(const TRect& R)
{
    FRect = OrientRectangle(R);
    FRect.Left = std::max(FRect.Left, 0);
    FRect.Top = std::max(FRect.Top, 0);
    FRect.Right = std::max(FRect.Right, 0);
    FRect.Bottom = std::max(FRect.Bottom, 0);
    if (FRect.Right - FRect.Left <= 0)
        FRect.Right = FRect.Left + 1;
    if (FRect.Bottom - FRect.Top <= 0)
        FRect.Bottom = FRect.Top + 1;
    FRect.Right = std::min(FRect.Right, FCanvas->Bounds.Right);
    FRect.Bottom = std::min(FRect.Bottom, FCanvas->Bounds.Bottom);
    FValid = FRect.Right - FRect.Left > 0 && FRect.Bottom - FRect.Top > 0;
    if (!FValid)
        return;

    FBackground = std::make_unique<TBitmap>(FRect.Right - FRect.Left, FRect.Bottom - FRect.Top);
    if (TBitmap* Buffer = BoundBuffer(FCanvas))
        CopyPixels(FBackground.get(), Buffer, FRect);
    else
        FBackground->Canvas()->CopyRect({0, 0, FBackground->Width(), FBackground->Height()}, FCanvas->ReferenceCanvas,
                                         FRect);
}

void TChBlend::DoBlend(int ATransparency)
{
    if (FCanvas->Metafiling || !FValid)
        return;
    TBitmap* Target = BoundBuffer(FCanvas);
    std::unique_ptr<TBitmap> Temporary;
    int X0 = FRect.Left, Y0 = FRect.Top;
    if (Target == nullptr) {
        Temporary = std::make_unique<TBitmap>(FRect.Right - FRect.Left, FRect.Bottom - FRect.Top);
        Temporary->Canvas()->CopyRect({0, 0, Temporary->Width(), Temporary->Height()}, FCanvas->ReferenceCanvas, FRect);
        Target = Temporary.get();
        X0 = 0;
        Y0 = 0;
    }
    const int Align = FCanvas->TextAlign();
    ChBlendBitmaps(Target, X0, Y0, FBackground.get(), 100 - std::clamp(ATransparency, 0, 100));
    if (FCanvas->TextAlign() != Align) {
        if (FCanvas->CurrentFont != nullptr)
            FCanvas->AssignFont(FCanvas->CurrentFont);
        FCanvas->SetTextAlign(Align);
    }
    if (Temporary)
        FCanvas->Draw(FRect.Left, FRect.Top, Temporary.get());
}

void ChBlendBitmaps(TBitmap* D, int X0, int Y0, TBitmap* B, int Percent)
{
    if (D == nullptr || B == nullptr)
        return;
    X0 = std::max(X0, 0);
    Y0 = std::max(Y0, 0);
    const int W = std::min(B->Width(), D->Width() - X0);
    const int H = std::min(B->Height(), D->Height() - Y0);
    if (W <= 0 || H <= 0)
        return;
    const int Keep = 100 - std::clamp(Percent, 0, 100);
    for (int Row = 0; Row < H; ++Row) {
        uint32_t* Out = D->ScanLine(Y0 + Row) + X0;
        const uint32_t* In = B->ScanLine(Row);
        for (int Col = 0; Col < W; ++Col) {
            int DR = (Out[Col] >> 16) & 0xFF, DG = (Out[Col] >> 8) & 0xFF, DB = Out[Col] & 0xFF;
            const int SR = (In[Col] >> 16) & 0xFF, SG = (In[Col] >> 8) & 0xFF, SB = In[Col] & 0xFF;
            if (DR == 255 && DG == 255 && DB == 255)
                DR = 254;
            DR += Keep * (SR - DR) / 100;
            DG += Keep * (SG - DG) / 100;
            DB += Keep * (SB - DB) / 100;
            Out[Col] = 0xFF000000u | (static_cast<uint32_t>(DR) << 16) | (static_cast<uint32_t>(DG) << 8)
                     | static_cast<uint32_t>(DB);
        }
    }
}
