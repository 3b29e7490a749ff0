#include "widgets/_IcClassSettings.h"

#include "platform/Application.h"
#include "platform/ExtCtrls.h"
#include "platform/ScopeGuard.h"
#include "platform/SysUtils.h"

#include <memory>

namespace {

// Copies Value into the owned Target, reporting one change of Owner
// instead of the copy's own.
template <class T>
void CopyQuietly(TIcPersistent& Owner, T& Target, T* Value)
{
    if (!Value || Value == &Target || Target.SameAs(*Value))
        return;
    {
        TValueRollback<TNotifyEvent> Quiet(Target.OnChange, nullptr);
        Target.Assign(Value);
    }
    Owner.Change();
}

}  // namespace

void IcPaintGradFrames(TCanvas* Canvas, TRect& R, int Width, TColor HighFrom, TColor HighTo, TColor ShadowFrom,
                       TColor ShadowTo, bool Raised, bool Fill, TColor Color)
{
    if (Fill) {
        Canvas->Pen()->SetWidth(1);
        Canvas->Pen()->SetColor(Color);
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(Color);
        Canvas->FillRect(R);
    }
    for (int s = 1; s <= Width; ++s) {
        const TColor TopLeft = Raised ? IcCalcColor(HighFrom, HighTo, Width, s) : IcCalcColor(ShadowTo, ShadowFrom, Width, s);
        const TColor BottomRight =
            Raised ? IcCalcColor(ShadowFrom, ShadowTo, Width, s) : IcCalcColor(HighTo, HighFrom, Width, s);
        Frame3D(Canvas, R, TopLeft, BottomRight, 1);
    }
}

// --------------------------------------------------------- TIcLineSettings

TIcLineSettings::TIcLineSettings()
{
    IcBindChange(FPen, *this);
}

void TIcLineSettings::SetPen(TPen* Value)
{
    CopyQuietly(*this, FPen, Value);
}

// ---------------------------------------------------------- TIcCustomScale

TIcCustomScale::TIcCustomScale()
{
    FStepLines.Pen()->SetColor(clWhite);
    FStepLines.Pen()->SetWidth(2);
    FSubStepLines.Pen()->SetColor(RGB(192, 192, 192));
    IcBindChange(FFont, *this);
    IcBindChange(FStepLines, *this);
    IcBindChange(FSubStepLines, *this);
}

void TIcCustomScale::SetFont(TFont* Value)
{
    CopyQuietly(*this, FFont, Value);
}

// ------------------------------------------------------------ TIcFlexScale

void TIcFlexScale::SetSubStepAt(float Value)
{
    if (Value > 0.0f)
        IcStoreChanged(*this, FSubStepAt, Value);
}

void TIcFlexScale::SetStepMulti(int Value)
{
    if (Value > 0)
        IcStoreChanged(*this, FStepMulti, Value);
}

void TIcFlexScale::SetSubStepsVis(int Value)
{
    if (Value > 0)
        IcStoreChanged(*this, FSubStepsVis, Value);
}

// ----------------------------------------------------------------- TIcText

TIcText::TIcText()
{
    IcBindChange(FFont, *this);
}

void TIcText::SetFont(TFont* Value)
{
    if (Value && Value != &FFont)
        FFont.Assign(Value);
}

// -------------------------------------------------------- TIcBevelSettings

void TIcBevelSettings::SwapColors()
{
    std::swap(FColorFrom, FColorTo);
    Change();
}

// --------------------------------------------------------------- TIcOffset

void TIcOffset::Write(int ATop, int ALeft, int ARight, int ABottom)
{
    FTop = ATop;
    FLeft = ALeft;
    FRight = ARight;
    FBottom = ABottom;
}

TRect TIcOffset::SetOffset(const TRect& R) const
{
    TRect Result = R;
    IcMultiBorder(Result, FLeft, FTop, FRight, FBottom);
    return Result;
}

void TIcOffset::AssignTo(TPersistent* Dest)
{
    auto* D = dynamic_cast<TIcOffset*>(Dest);
    if (!D) {
        TIcPersistent::AssignTo(Dest);
        return;
    }
    D->Write(FTop, FLeft, FRight, FBottom);
    D->Change();
}

// ------------------------------------------------------------- TIcBtnBevel

void TIcBtnBevel::SetWidth(int Value)
{
    if (Value >= 0)
        IcStoreChanged(*this, FWidth, Value);
}

void TIcBtnBevel::PaintBevel(TCanvas* Canvas, TRect& Rect, bool Raised, bool Fill, TColor Color)
{
    IcPaintGradFrames(Canvas, Rect, FWidth, FHighlightColFrom, FHighlightColTo, FShadowColFrom, FShadowColTo, Raised,
                      Fill, Color);
}

void TIcBtnBevel::AssignTo(TPersistent* Dest)
{
    auto* D = dynamic_cast<TIcBtnBevel*>(Dest);
    if (!D) {
        TIcPersistent::AssignTo(Dest);
        return;
    }
    D->FShadowColFrom = FShadowColFrom;
    D->FShadowColTo = FShadowColTo;
    D->FHighlightColFrom = FHighlightColFrom;
    D->FHighlightColTo = FHighlightColTo;
    D->FWidth = FWidth;
    D->Change();
}

// ---------------------------------------------------------- TArrowSettings

void TArrowSettings::AssignTo(TPersistent* Dest)
{
    auto* D = dynamic_cast<TArrowSettings*>(Dest);
    if (!D) {
        TIcPersistent::AssignTo(Dest);
        return;
    }
    D->FShape = FShape;
    D->FColorPen = FColorPen;
    D->FColorBrush = FColorBrush;
    D->FColorCP1Pen = FColorCP1Pen;
    D->FColorCP1Brush = FColorCP1Brush;
    D->FColorCP2Pen = FColorCP2Pen;
    D->FColorCP2Brush = FColorCP2Brush;
    D->Change();
}

// -------------------------------------------------------------------- TLED

void TLED::SetWidth(int Value)
{
    if (Value >= 4 && Value <= 40)
        IcStoreChanged(*this, FWidth, Value);
}

void TLED::SetHeight(int Value)
{
    if (Value >= 4 && Value <= 40)
        IcStoreChanged(*this, FHeight, Value);
}

void TLED::Draw(TCanvas* Canvas, bool On)
{
    IcDrawLED(Canvas, FDrawRect, FShape, clBtnShadow, On ? FColorOn : FColorOff);
}

// --------------------------------------------------------- TIcGradSettings

void TIcGradSettings::AssignTo(TPersistent* Dest)
{
    auto* D = dynamic_cast<TIcGradSettings*>(Dest);
    if (!D) {
        TIcPersistent::AssignTo(Dest);
        return;
    }
    D->SetColorFrom(FColorFrom);
    D->SetColorTo(FColorTo);
    D->SetVisible(FVisible);
    D->SetStyle(FStyle);
    D->Change();
}

// ------------------------------------------------------------ TIniSettings

std::string TIniSettings::Path() const
{
    if (!FUseAppDir)
        return FFileName;
    const std::string Folder = ExtractFilePath(ProgramDataPaths(Application->ExeName()).IniFileName);
    return Folder + ExtractFileName(FFileName);
}

void TIniSettings::Handle(bool Read)
{
    FError = false;
    FErrorText.clear();
    // A name that is only folders names no file either.
    if (FFileName.empty() || ExtractFileName(FFileName).empty()) {
        FError = true;
        FErrorText = "Invalid FileName";
    }
    if (FSection.empty()) {
        FError = true;
        FErrorText = "Invalid SectionName";
    }
    if (FError)
        return;
    const std::string File = Path();
    if (!Read)
        ForceDirectories(ExtractFilePath(File));
    const auto Ini = std::make_unique<TIniFile>(File);
    TValueRollback<TIniFile*> Open(FIni, Ini.get());
    if (OnHandleIniEvent)
        OnHandleIniEvent(Ini.get(), Read);
}

void TIniSettings::AutoHandle(bool Read)
{
    if (FAutoLoadSave)
        Handle(Read);
}
