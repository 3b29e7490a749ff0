// Two instruments built on the library's display base for the tests and the
// meter benchmark (not library classes): a round meter and a bar meter. Both
// keep their face (everything that does not move with the value) in a
// bitmap; a value change copies the face and draws the moving parts onto the
// control's canvas at once, as a live meter at 60 Hz would.
#pragma once

#include "platform/Graphics.h"
#include "widgets/_IcClassAnalog.h"
#include "widgets/_IcClassBin.h"
#include "widgets/_IcClassPaint.h"
#include "widgets/_IcScale.h"
#include "widgets/_icproc.h"

#include <array>
#include <cmath>
#include <utility>
#include <vector>

// A 200 x 200 round meter: round bevel, scale over 270 degrees from 225
// (bottom left) clockwise, the sector band inside the scale's arc, a needle,
// a value box and a small LED bar under it in the sector colour.
class TTestRoundMeter : public TIcAnalogGControl {
    OZ_CLASS(TTestRoundMeter, TIcAnalogGControl);

public:
    static constexpr int StartAngle = 225;
    static constexpr int Sweep = 270;
    static constexpr TColor NeedleColor = clRed;

    explicit TTestRoundMeter(TComponent* AOwner) : TIcAnalogGControl(AOwner)
    {
        SetBounds(0, 0, 200, 200);
        FBevel.SetRound(true);
        FBevel.SetWidth(6);
        FBevel.SetSpacing(4);
        FBevel.SetColor(RGB(250, 250, 238));
        FBevel.SetColorShadowFrom(RGB(70, 70, 70));
        FBevel.SetColorShadowTo(RGB(235, 235, 235));
        FScale.Font()->SetSize(8);
        FScale.SetSubSteps(4);
        FValInd.Caption()->SetVisible(false);
        FValInd.Font()->SetSize(9);
        FBar.SetStyle(bsLED_Bar);
        FBar.SetOptions({opUseSectorCol});
    }

    // Texts, position and sector are current from the start.
    void Loaded() override
    {
        TIcAnalogGControl::Loaded();
        FFaceValid = false;
        ValueChange();
    }

    // Angle of the needle for a position: degrees clockwise from 12 o'clock.
    static float AngleOf(int PPT) { return StartAngle + Sweep * PPT / 1000.0f; }
    TPoint Center() const { return FCenter; }
    int NeedleLength() const { return FNeedleLength; }
    const TRect& ValueRect() const { return FValInd.ValueRect(); }
    const TRect& BarRect() const { return FBar.BarRect(); }
    TBitmap* Face() { return &FFace; }

    // Bevel, scale with labels, sector band and the empty value box into
    // the face bitmap.
    void DrawFace()
    {
        const int W = Width(), H = Height();
        FFace.SetSize(W, H);
        TCanvas* C = FFace.Canvas();
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        C->FillRect(Rect(0, 0, W, H));
        TRect R = Rect(0, 0, W, H);
        FBevel.PaintRoundBevel(C, R, 0, 0);

        TSignalSettings* S = SignalSettings();
        FScale.SetLogScale(LogScale());
        FScale.CalcRSize(C, S->ValueFrom(), S->ValueTo());
        FScale.RoundScala(C, R, StartAngle, Sweep);
        FCenter = FScale.Center();
        const TRect Arc = Rect(FScale.ArcTopLeft().X, FScale.ArcTopLeft().Y, FScale.ArcBottomRight().X,
                               FScale.ArcBottomRight().Y);

        // The band: pies of the three sectors, their middle covered again.
        TSectorSettings* Sec = SectorSettings();
        const struct {
            int From, To;
            TColor Color;
        } Sectors[] = {
            {Sec->Sector1From(), Sec->Sector1To(), Sec->Sector1Color()},
            {Sec->Sector2From(), Sec->Sector2To(), Sec->Sector2Color()},
            {Sec->Sector3From(), Sec->Sector3To(), Sec->Sector3Color()},
        };
        C->Pen()->SetWidth(1);
        C->Brush()->SetStyle(bsSolid);
        for (const auto& Sector : Sectors) {
            C->Pen()->SetColor(Sector.Color);
            C->Brush()->SetColor(Sector.Color);
            IcRoundSector(C, Arc, AngleOf(Sector.From), Sweep * (Sector.To + 1 - Sector.From) / 1000.0f);
        }
        TRect Inner = Arc;
        IcBorder(Inner, 7);
        C->Pen()->SetColor(FBevel.Color());
        C->Brush()->SetColor(FBevel.Color());
        C->Ellipse(Inner);

        const int Radius = (Arc.Right - Arc.Left) / 2;
        FNeedleLength = Radius - 3;
        FValInd.Draw(C, Point(FCenter.X, FCenter.Y + Radius / 2), toMidCenter);
        const TRect Box = FValInd.ValueRect();
        FBar.SetBarRect(Rect(FCenter.X - 28, Box.Bottom + 6, FCenter.X + 28, Box.Bottom + 14));

        // The needle pointing at 12 o'clock, turned about the centre.
        IcArrowSettings(FNeedle[0], 4, 4, 0, 0, 0);
        FNeedle[1] = FCenter;
        FNeedle[2] = Point(FCenter.X, FCenter.Y - FNeedleLength);
        FNeedle[3] = Point(FCenter.X + 4, FCenter.Y + 12);
        FNeedle[4] = Point(FCenter.X - 4, FCenter.Y + 12);
        FFaceValid = true;
    }

    // The face copied, then value box, bar and needle over it.
    void DrawValue(TCanvas* C)
    {
        C->Draw(0, 0, &FFace);
        FValInd.DrawValue(C, Value());
        FBar.SetSectorColor(SectorColor());
        FBar.PaintBar(C, PPT());
        C->Pen()->SetWidth(1);
        C->Pen()->SetColor(NeedleColor);
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(NeedleColor);
        IcArrowDraw(C, AngleOf(PPT()), FNeedle, FNeedleMoved, true);
        C->Brush()->SetColor(clBlack);
        C->Pen()->SetColor(clBlack);
        C->Ellipse(FCenter.X - 5, FCenter.Y - 5, FCenter.X + 6, FCenter.Y + 6);
    }

    void Paint() override
    {
        if (FFullRedraw || !FFaceValid)
            DrawFace();
        FFullRedraw = false;
        DrawValue(Canvas());
    }

protected:
    void ValueChange() override
    {
        TIcAnalogGControl::ValueChange();
        if (FFaceValid && Canvas())
            DrawValue(Canvas());
    }
    void ParamChange(TObject* Sender) override
    {
        TIcAnalogGControl::ParamChange(Sender);
        FFaceValid = false;
        Invalidate();
    }

private:
    TIcSBevel FBevel;
    TScaleSettings FScale;
    TIcValInd FValInd;
    TBarSettings FBar;
    TBitmap FFace;
    bool FFaceValid = false;
    TPoint FCenter;
    int FNeedleLength = 0;
    std::array<TPoint, 5> FNeedle{};
    std::array<TPoint, 5> FNeedleMoved{};
};

// A vertical bar meter: a scale on the left, the bar on the right in the
// colour of the sector the value is in, with the value text over it.
class TTestBarMeter : public TIcAnalogGControl {
    OZ_CLASS(TTestBarMeter, TIcAnalogGControl);

public:
    explicit TTestBarMeter(TComponent* AOwner) : TIcAnalogGControl(AOwner)
    {
        SetBounds(0, 0, 90, 200);
        FBevel.SetWidth(2);
        FBevel.SetSpacing(2);
        FScale.Font()->SetSize(8);
        FScale.SetSubSteps(2);
        FBar.SetOptions({opUseSectorCol, opValue});
        FBar.SetBkColor(RGB(40, 40, 40));
    }

    const TRect& BarRect() const { return FBar.BarRect(); }

    void Loaded() override
    {
        TIcAnalogGControl::Loaded();
        FFaceValid = false;
        ValueChange();
    }

    void DrawFace()
    {
        TCanvas* C = Canvas();
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        C->FillRect(ClientRect());
        TRect R = ClientRect();
        FBevel.PaintFilledBevel(C, R);
        TSignalSettings* S = SignalSettings();
        FScale.SetLogScale(LogScale());
        FScale.CalcSize(C, S->ValueFrom(), S->ValueTo());
        const int Top = R.Top + FScale.TextHeight() / 2 + 2;
        const int Bottom = R.Bottom - FScale.TextHeight() / 2 - 2;
        const TRect ScaleRect = Rect(R.Left, Top, R.Left + FScale.SizeX(), Bottom);
        FScale.SetPosLeftTop(true);
        FScale.VertiScala(C, ScaleRect);
        FBar.SetBarRect(Rect(ScaleRect.Right + 2, Top, R.Right - 2, Bottom));
        FFaceValid = true;
    }

    void DrawValue(TCanvas* C)
    {
        FBar.SetSectorColor(SectorColor());
        FBar.SetValueText(ValueText());
        FBar.PaintBar(C, PPT());
    }

    void Paint() override
    {
        if (FFullRedraw || !FFaceValid)
            DrawFace();
        FFullRedraw = false;
        DrawValue(Canvas());
    }

protected:
    void ValueChange() override
    {
        TIcAnalogGControl::ValueChange();
        if (FFaceValid && Canvas())
            DrawValue(Canvas());
    }
    void ParamChange(TObject* Sender) override
    {
        TIcAnalogGControl::ParamChange(Sender);
        FFaceValid = false;
        Invalidate();
    }

private:
    TIcSBevel FBevel;
    TScaleSettings FScale;
    TBarSettings FBar;
    bool FFaceValid = false;
};

// An LED on the two-state base: lit while checked, dark in the off phase
// of its flashing.
class TTestLed : public TIcBinGControl {
    OZ_CLASS(TTestLed, TIcBinGControl);

public:
    explicit TTestLed(TComponent* AOwner) : TIcBinGControl(AOwner) { SetBounds(0, 0, 20, 20); }

    TLED* Led() { return &FLed; }
    bool Lit() const { return Checked() && (!Flashing() || FPhase); }
    // Each phase change: the flash counter at the time and the new phase.
    std::vector<std::pair<uint32_t, bool>> Phases;

    void Paint() override
    {
        TCanvas* C = Canvas();
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        C->FillRect(ClientRect());
        FLed.SetDrawRect(ClientRect());
        FLed.Draw(C, Lit());
    }

protected:
    void StatusChanged() override { Invalidate(); }
    void Flash(bool On) override
    {
        Phases.emplace_back(FlashCount, On);
        FPhase = On;
        Invalidate();
    }

private:
    TLED FLed;
    bool FPhase = false;
};
