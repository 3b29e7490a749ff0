// Drop shadows of chart elements: flat strips or bands fading towards white,
// optionally translucent.
#include "chart/ChCanvas.h"

#include <algorithm>

TChShadow::TChShadow(TNotifyEvent AOnChange) : OnChange(std::move(AOnChange)) {}

TChShadow::~TChShadow()
{
    delete FBlend;
}

void TChShadow::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TChShadow*>(Source);
    if (Other == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    FColor = Other->FColor;
    FHorizSize = Other->FHorizSize;
    FSmooth = Other->FSmooth;
    FTransparency = Other->FTransparency;
    FVertSize = Other->FVertSize;
}

template <class T> void TChShadow::SetAndNotify(T& Field, T Value)
{
    if (Field != Value) {
        Field = Value;
        if (OnChange)
            OnChange(this);
    }
}

void TChShadow::SetColor(TColor Value) { SetAndNotify(FColor, Value); }
void TChShadow::SetHorizSize(int Value) { SetAndNotify(FHorizSize, Value); }
void TChShadow::SetVertSize(int Value) { SetAndNotify(FVertSize, Value); }
void TChShadow::SetSmooth(bool Value) { SetAndNotify(FSmooth, Value); }
void TChShadow::SetTransparency(TChTransparency Value) { SetAndNotify(FTransparency, std::clamp(Value, 0, 100)); }

void TChShadow::SetSize(int Value)
{
    SetHorizSize(Value);
    SetVertSize(Value);
}

bool TChShadow::PrepareCanvas(TCanvas3D* Canvas, const TRect& R, int Z)
{
    if (FColor == clNone || (FHorizSize == 0 && FVertSize == 0))
        return false;
    Canvas->Brush->SetColor(FColor);
    Canvas->Brush->SetStyle(bsSolid);
    Canvas->Pen->SetStyle(psClear);
    if (FTransparency > 0) {
        const TRect Shifted{R.Left + FHorizSize, R.Top + FVertSize, R.Right + FHorizSize, R.Bottom + FVertSize};
        delete FBlend;
        FBlend = Canvas->BeginBlending(Canvas->RectFromRectZ(Shifted, Z), FTransparency);
    }
    return true;
}

void TChShadow::FinishBlending(TChCanvas* Canvas)
{
    if (FTransparency > 0 && FBlend != nullptr) {
        Canvas->EndBlending(FBlend);
        FBlend = nullptr;
    }
}

void TChShadow::Draw(TCanvas3D* Canvas, const TRect& R, int Z)
{
    const bool Use3D = Canvas->RotationLockCount == 0;
    const int H = FHorizSize, V = FVertSize;
    if (!PrepareCanvas(Canvas, R, Z))
        return;
    if (FSmooth && Size() > 1) {
        const TColor C = ColorToRGB(FColor);
        const double Average = (GetRValue(C) + GetGValue(C) + GetBValue(C)) / 3.0;
        Canvas->Pen->SetStyle(psSolid);
        if (V != 0) {
            Canvas->Pen->SetColor(FColor);
            const uint8_t Step = static_cast<uint8_t>(std::clamp(ChRound((255 - Average) / V), 0, 255));
            for (int I = 1; I <= V; ++I) {
                const int Y = R.Bottom + I - 1;
                if (Use3D)
                    Canvas->HorizLine3D(R.Left + H, R.Right + H - V + I - 1, Y, Z);
                else
                    Canvas->DoHorizLine(R.Left + H, R.Right + H - V + I - 1, Y);
                Canvas->Pen->SetColor(ApplyBright(Canvas->Pen->Color(), Step));
            }
        }
        if (H != 0) {
            Canvas->Pen->SetColor(FColor);
            const uint8_t Step = static_cast<uint8_t>(std::clamp(ChRound((255 - Average) / H), 0, 255));
            for (int I = 1; I <= H; ++I) {
                const int X = R.Right + I - 1;
                if (Use3D) {
                    Canvas->VertLine3D(X, R.Top + V, R.Bottom + V - H + I - 1, Z);
                    Canvas->SetPixel3D(R.Right + I - 2, R.Bottom + V - H + I - 2, Z, Canvas->Pen->Color());
                } else {
                    Canvas->DoVertLine(X, R.Top + V, R.Bottom + V - H + I - 1);
                    Canvas->SetPixel(R.Right + I - 2, R.Bottom + V - H + I - 2, Canvas->Pen->Color());
                }
                Canvas->Pen->SetColor(ApplyBright(Canvas->Pen->Color(), Step));
            }
        }
    } else if (Use3D) {
        Canvas->Rectangle(R.Left + H, R.Bottom, R.Right + H, R.Bottom + V, Z);
        Canvas->Rectangle(R.Right, R.Top + V, R.Right + H, R.Bottom + V, Z);
    } else {
        Canvas->Rectangle(R.Left + H, R.Bottom, R.Right + H, R.Bottom + V);
        Canvas->Rectangle(R.Right, R.Top + V, R.Right + H, R.Bottom + V);
    }
    FinishBlending(Canvas);
}

void TChShadow::DrawEllipse(TCanvas3D* Canvas, const TRect& R, int Z)
{
    if (!PrepareCanvas(Canvas, R, Z))
        return;
    const TRect E{R.Left + FHorizSize, R.Top + FVertSize, R.Right + FHorizSize, R.Bottom + FVertSize};
    if (FSmooth) {
        const TRect Screen = Canvas->CalcRect3D(E, Z);
        Canvas->ClipEllipse(Screen, false);
        TChGradient Gradient;
        Gradient.SetStartColor(ApplyDark(FColor, 128));
        Gradient.SetEndColor(ApplyBright(FColor, 32));
        Gradient.DrawRadial(Canvas, Screen);
        Canvas->UnClipRectangle();
    } else
        Canvas->EllipseWithZ(E.Left, E.Top, E.Right, E.Bottom, Z);
    FinishBlending(Canvas);
}
