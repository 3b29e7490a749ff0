// Stored forms of the instrument-control library: a form holding a class of
// the library (the instrument bases through small test instruments, the
// settings objects through a control that publishes one of each), with
// values away from the defaults (the control properties they take from the
// platform's controls and fonts set to the platform's default font
// included), reads back into a form with the same properties, the same
// pixels and the same stored bytes; what the classes never store stays out
// of the form; a stored glyph is read and damaged ones are refused. The
// library registers its classes without being asked.
#include "platform/DialogHook.h"
#include "platform/Filer.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/Streams.h"
#include "tests/widgets/TestMeters.h"
#include "widgets/IcFlashT.h"
#include "widgets/IcNumEdit.h"
#include "widgets/_IcClass.h"
#include "widgets/_IcClassAnalog.h"
#include "widgets/_IcClassPaint.h"
#include "widgets/_IcClassSettings.h"
#include "widgets/_IcFlash.h"
#include "widgets/_IcScale.h"
#include "widgets/_IcSignal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// ------------------------------------------------------------ test classes

class TWidgetForm : public TForm {
    OZ_CLASS(TWidgetForm, TForm);

public:
    explicit TWidgetForm(TComponent* AOwner) : TForm(AOwner)
    {
        SetClientWidth(420);
        SetClientHeight(260);
    }
};

// A slider on the input base: a bar as long as the digit's share of the
// digit range, in the colour for its focus.
class TTestSlider : public TIcAnalogCControl {
    OZ_CLASS(TTestSlider, TIcAnalogCControl);

public:
    explicit TTestSlider(TComponent* AOwner) : TIcAnalogCControl(AOwner) { SetBounds(0, 0, 120, 16); }

protected:
    void Paint() override
    {
        TCanvas* C = Canvas();
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clWhite);
        C->FillRect(ClientRect());
        TSignalSettings* S = SignalSettings();
        const int64_t Range = int64_t{S->DigitalTo()} - S->DigitalFrom();
        const int W = Range > 0 ? static_cast<int>((int64_t{Digit()} - S->DigitalFrom()) * Width() / Range) : 0;
        C->Brush()->SetColor(Focused() ? ColorFocus() : ColorNonFocus());
        C->FillRect(Rect(0, 0, W, Height()));
    }
};

// One of each settings object of the library, published; those that draw
// themselves are drawn.
class TTestSettingsHost : public TCustomControl {
    OZ_CLASS(TTestSettingsHost, TCustomControl);

public:
    explicit TTestSettingsHost(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(0, 0, 400, 240); }

    static void Publish(TPublisher<TTestSettingsHost>& P)
    {
        using H = TTestSettingsHost;
        P.Object("Lines", [](H& h) { return &h.Lines; });
        P.Object("Scale", [](H& h) { return &h.Scale; });
        P.Object("FlexScale", [](H& h) { return &h.FlexScale; });
        P.Object("Text", [](H& h) { return &h.Text; });
        P.Object("BevelColors", [](H& h) { return &h.BevelColors; });
        P.Object("Offset", [](H& h) { return &h.Offset; });
        P.Object("BtnBevel", [](H& h) { return &h.BtnBevel; });
        P.Object("Arrow", [](H& h) { return &h.Arrow; });
        P.Object("Led", [](H& h) { return &h.Led; });
        P.Object("Grad", [](H& h) { return &h.Grad; });
        P.Object("Ini", [](H& h) { return &h.Ini; });
        P.Object("ValInd", [](H& h) { return &h.ValInd; });
        P.Object("SBevel", [](H& h) { return &h.SBevel; });
        P.Object("Bar", [](H& h) { return &h.Bar; });
        P.Object("Signal", [](H& h) { return &h.Signal; });
        P.Object("Sectors", [](H& h) { return &h.Sectors; });
        P.Object("MinMax", [](H& h) { return &h.MinMax; });
        P.Object("Channel", [](H& h) { return &h.Channel; });
        P.Object("ScaleSettings", [](H& h) { return &h.ScaleSettings; });
    }

    TIcLineSettings Lines;
    TIcScale Scale;
    TIcFlexScale FlexScale;
    TIcText Text;
    TIcBevelSettings BevelColors;
    TIcOffset Offset;
    TIcBtnBevel BtnBevel;
    TArrowSettings Arrow;
    TLED Led;
    TIcGradSettings Grad;
    TIniSettings Ini;
    TIcValInd ValInd;
    TIcSBevel SBevel;
    TBarSettings Bar;
    TSignalSettings Signal;
    TSectorSettings Sectors;
    TMinMax MinMax;
    TChSettings Channel;
    TScaleSettings ScaleSettings;

protected:
    void Paint() override
    {
        TCanvas* C = Canvas();
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clWhite);
        C->FillRect(ClientRect());
        TRect R = Rect(4, 4, 84, 64);
        SBevel.PaintFilledBevel(C, R);
        R = Rect(90, 4, 150, 64);
        BtnBevel.PaintBevel(C, R, true, true, clSilver);
        Led.SetDrawRect(Bounds(160, 4, Led.Width(), Led.Height()));
        Led.Draw(C, true);
        if (Grad.Visible())
            IcGradFill(C, Rect(200, 4, 260, 64), Grad.ColorFrom(), Grad.ColorTo(), Grad.Style());
        Bar.SetBarRect(Rect(4, 70, 150, 92));
        Bar.SetValueText("60");
        Bar.SetUnitText(Signal.ValueUnit());
        Bar.PaintBar(C, 600);
        ValInd.Draw(C, Point(290, 100), toMidCenter);
        ValInd.DrawValue(C, 12.34);
        ScaleSettings.CalcHSize(C, Signal.ValueFrom(), Signal.ValueTo());
        ScaleSettings.HorizScala(C, Rect(10, 150, 390, 230));
    }
};

void RegisterTestClasses()
{
    RegisterClasses({TWidgetForm::StaticClass(), TTestRoundMeter::StaticClass(), TTestLed::StaticClass(),
                     TTestSlider::StaticClass(), TTestSettingsHost::StaticClass()});
}

// ------------------------------------------------------------ the fixture

template <class T>
T* Place(TWinControl* Form, const char* Name, int Left, int Top)
{
    auto* C = new T(Form);
    C->SetName(Name);
    if (auto* Control = dynamic_cast<TControl*>(static_cast<TComponent*>(C))) {
        Control->SetParent(Form);
        Control->SetBounds(Left, Top, Control->Width(), Control->Height());
    }
    return C;
}

// A popup menu of the form with an entry.
TPopupMenu* PlacePopup(TWinControl* Form, const char* Name)
{
    auto* M = Place<TPopupMenu>(Form, Name, 0, 0);
    auto* Item = new TMenuItem(Form);
    Item->SetName(std::string(Name) + "Reset");
    Item->SetCaption("&Reset");
    M->Items()->Add(Item);
    return M;
}

// The platform's default font.
void SetPlatformFont(TFont* Font)
{
    TFont Default;
    Font->Assign(&Default);
}

// A glyph of diagonal stripes in A on Z.
void StripedGlyph(TBitmap& B, int W, int H, TColor A, TColor Z)
{
    B.SetSize(W, H);
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            B.Canvas()->SetPixels(X, Y, (X + Y) % 3 == 0 ? A : Z);
}

void SetSignal(TSignalSettings& S)
{
    S.SetDigitalFrom(10);
    S.SetDigitalTo(2010);
    S.SetName1("Flow");
    S.SetName2("Inspiration");
    S.SetValueFormat("##0.00");
    // A start equal to the default end: the stored range must not be
    // refused when it is read back into 0..100.
    S.SetValueTo(250);
    S.SetValueFrom(100);
    S.SetValueUnit("L/min");
}

void SetSectors(TSectorSettings& S)
{
    S.SetSector1Color(clSkyBlue);
    S.SetSector1From(5);
    S.SetSector1To(300);
    S.SetSector2Color(clTeal);
    S.SetSector2From(301);
    S.SetSector2To(700);
    S.SetSector3Color(clFuchsia);
    S.SetSector3From(701);
    S.SetSector3To(990);
    S.SetOffset(3);
    S.SetWidthOffset(4);
}

void SetMinMax(TMinMax& M)
{
    M.SetMaxColor(clRed);
    M.SetMinColor(clBlue);
    M.SetUseSectorCol(false);
    M.SetMinVisible(false);
    M.SetMaxVisible(false);
}

void SetNumEdit(TIcNumEdit* E)
{
    E->SetColorDefault(clCream);
    E->SetColorError(clFuchsia);
    E->SetColorEditing(clAqua);
    E->SetDigitsBool(4);
    E->SetDigitsHex(4);
    E->SetEditorEnabled(false);
    E->SetEditBase(ebInt);
    E->SetFormatStr("#0.00");
    E->SetIncrement(0.5f);
    E->SetMaxValue(500);
    E->SetMinValue(-20);
    E->SetOptions({eoLimitMax, eoLimitMin, eoMultiply});
    E->SetAutoSelect(false);
    E->SetMaxLength(12);
    E->SetReadOnly(true);
    E->SetTabStop(false);
    E->SetValue(123);
    // Taken from the edit control.
    E->SetAnchors({akLeft, akTop, akRight});
    E->Constraints()->SetMinWidth(60);
    E->Constraints()->SetMaxHeight(40);
    E->SetAutoSize(false);
    E->SetHeight(27);
    E->SetCtl3D(false);
    E->SetDragCursor(crHandPoint);
    E->SetDragMode(dmAutomatic);
    E->Font()->SetStyle(TFontStyles{fsBold});
    E->SetShowHint(true);
}

void SetSettings(TTestSettingsHost* H)
{
    H->Lines.Pen()->SetColor(clRed);
    H->Lines.Pen()->SetWidth(2);
    H->Lines.SetLength(6);
    H->Lines.SetOffset(2);
    H->Lines.SetVisible(false);

    H->Scale.SetAngle(45);
    H->Scale.SetAngleMode(amManual);
    H->Scale.Font()->SetSize(11);
    H->Scale.StepLines()->SetLength(9);
    H->Scale.SubStepLines()->SetOffset(1);
    H->Scale.SetTextAlignment(toBotRight);
    H->Scale.SetTextOffsetX(3);
    H->Scale.SetTextOffsetY(-2);
    H->Scale.SetText("bar");

    H->FlexScale.SetSubStepAt(2.5f);
    H->FlexScale.SetStepMulti(3);
    H->FlexScale.SetSubStepsVis(4);
    H->FlexScale.SetAngle(90);
    H->FlexScale.SetAngleMode(amManual);
    H->FlexScale.Font()->SetColor(clGreen);
    H->FlexScale.SetFormatStr("0.00");
    H->FlexScale.StepLines()->SetVisible(false);
    H->FlexScale.SetTextAlignment(toTopLeft);
    H->FlexScale.SetTextOffsetX(-4);
    H->FlexScale.SetTextOffsetY(5);

    H->Text.SetText("Caption");
    H->Text.Font()->SetStyle(TFontStyles{fsItalic});
    H->Text.SetOffsetX(2);
    H->Text.SetOffsetY(3);
    H->Text.SetPos(toBotCenter);
    H->Text.SetVisible(false);

    H->BevelColors.SetColorFrom(clRed);
    H->BevelColors.SetColorTo(clBlue);
    H->BevelColors.SetWidth(3);

    H->Offset.SetTop(1);
    H->Offset.SetLeft(2);
    H->Offset.SetRight(3);
    H->Offset.SetBottom(4);

    H->BtnBevel.SetShadowColFrom(clNavy);
    H->BtnBevel.SetShadowColTo(clBlue);
    H->BtnBevel.SetHighlightColFrom(clYellow);
    H->BtnBevel.SetHighlightColTo(clWhite);
    H->BtnBevel.SetWidth(4);

    H->Arrow.SetShape(2);
    H->Arrow.SetColorPen(clRed);
    H->Arrow.SetColorBrush(clYellow);
    H->Arrow.SetColorCP1Pen(clGreen);
    H->Arrow.SetColorCP1Brush(clWhite);
    H->Arrow.SetColorCP2Pen(clNavy);
    H->Arrow.SetColorCP2Brush(clSilver);

    H->Led.SetShape(sRectangle);
    H->Led.SetColorOn(clRed);
    H->Led.SetColorOff(clGray);
    H->Led.SetWidth(20);
    H->Led.SetHeight(16);

    H->Grad.SetColorFrom(clYellow);
    H->Grad.SetColorTo(clNavy);
    H->Grad.SetVisible(true);
    H->Grad.SetStyle(gsVertical2);

    H->Ini.SetFileName("meters.ini");
    H->Ini.SetSection("Meter1");
    H->Ini.SetUseAppDir(false);
    H->Ini.SetAutoLoadSave(true);

    H->ValInd.SetFormatStr("##0.00");
    H->ValInd.Bevel()->SetWidth(3);
    H->ValInd.Caption()->SetText("Flow");
    H->ValInd.Caption()->SetPos(toTopCenter);
    H->ValInd.SetColor(clNavy);
    H->ValInd.Font()->SetColor(clYellow);
    H->ValInd.SetOffsetX(4);
    H->ValInd.SetOffsetY(-3);
    H->ValInd.TxtSpacing()->SetLeft(2);
    H->ValInd.TxtSpacing()->SetBottom(1);

    H->SBevel.SetStyle(bsLowered);
    H->SBevel.SetSpacing(3);
    H->SBevel.SetBevelLine(blBoth);
    H->SBevel.SetWidth(4);
    H->SBevel.SetColor(clSilver);
    H->SBevel.Offset()->SetTop(2);
    H->SBevel.SetColorShadowFrom(clBlack);
    H->SBevel.SetColorShadowTo(clGray);
    H->SBevel.SetColorHighLightFrom(clWhite);
    H->SBevel.SetColorHighLightTo(clCream);
    H->SBevel.SetPenColor(clMaroon);
    H->SBevel.SurfaceGrad()->SetVisible(true);

    H->Bar.SetColor(clRed);
    H->Bar.SetBkColor(clWhite);
    H->Bar.Font()->SetSize(7);
    H->Bar.SetOptions({opValue, opUnit});
    H->Bar.SetStyle(bsLED_Bar);
    H->Bar.Bevel()->SetWidth(2);
    H->Bar.SetMinWidth(7);
    H->Bar.SetMinHeight(9);

    H->Signal.SetDigitalFrom(-100);
    H->Signal.SetDigitalTo(900);
    H->Signal.SetName1("Pressure");
    H->Signal.SetName2("Airway");
    H->Signal.SetValueFormat("0.0;-0.0");
    H->Signal.SetValueFrom(-5);
    H->Signal.SetValueTo(45);
    H->Signal.SetValueUnit("mbar");

    SetSectors(H->Sectors);
    SetMinMax(H->MinMax);

    SetSignal(H->Channel);
    H->Channel.SetValue(130);
    H->Channel.SetColor(clRed);
    H->Channel.SetVisible(false);
    H->Channel.SetPenWidth(3);

    H->ScaleSettings.SetColor(clNavy);
    H->ScaleSettings.SetPointerColor(clRed);
    H->ScaleSettings.SetDrawLine(false);
    // Built in Arial 14: the platform's default font is a font of its own.
    SetPlatformFont(H->ScaleSettings.Font());
    H->ScaleSettings.SetPosLeftTop(true);
    H->ScaleSettings.SetSteps(4);
    H->ScaleSettings.SetSubSteps(5);
    H->ScaleSettings.SetValueFormat("0.0");
    H->ScaleSettings.SetValueFormatLog("0.0e0");
}

struct TRow {
    const char* Name;
    // Puts the components on Form, values away from their defaults.
    std::function<void(TWidgetForm* Form)> Make;
    // What the form read back holds besides (the original's values).
    std::function<void(TWidgetForm* Form)> Expect = [](TWidgetForm*) {};
};

const std::vector<TRow>& Rows()
{
    static const std::vector<TRow> Rows = {
        {"NumEdit",
         [](TWidgetForm* F) {
             auto* E = Place<TIcNumEdit>(F, "NumEdit1", 10, 10);
             SetNumEdit(E);
             E->SetPopupMenu(PlacePopup(F, "EditMenu"));
         }},
        {"NumSpinTakingTheFormsColourAndFont",
         [](TWidgetForm* F) {
             F->SetColor(clMoneyGreen);
             F->Font()->SetName("Arial");
             F->Font()->SetSize(10);
             auto* S = Place<TIcNumSpin>(F, "NumSpin1", 10, 10);
             S->SetFormatStr("#0.00");
             S->SetInterval(200);
             S->SetStartDelay(750);
             S->SetValue(42.5);
             // Last: a change of the state's colour makes the colour the
             // edit's own.
             S->SetParentColor(true);
         },
         [](TWidgetForm* F) {
             auto* S = dynamic_cast<TIcNumSpin*>(F->FindComponent("NumSpin1"));
             EXPECT_TRUE(S->ParentFont());
             EXPECT_EQ(S->Font()->Name(), "Arial");
             EXPECT_GT(S->Height(), 21) << "the spin edit grows with the form's font";
         }},
        {"SpinButton",
         [](TWidgetForm* F) {
             auto* Target = Place<TIcNumEdit>(F, "Target1", 10, 10);
             auto* B = Place<TIcSpinButton>(F, "SpinButton1", 100, 10);
             TBitmap Up, Down;
             StripedGlyph(Up, 10, 5, clRed, clWhite);
             StripedGlyph(Down, 12, 4, clBlue, RGB(128, 128, 0));
             B->SetUpGlyph(&Up);
             B->SetDownGlyph(&Down);
             B->SetDownNumGlyphs(3);
             B->SetFocusControl(Target);
             B->SetInterval(150);
             B->SetStartDelay(400);
             B->SetTabStop(true);
             B->SetBounds(100, 10, 20, 40);
             B->SetAnchors({akTop, akRight, akBottom});
             B->Constraints()->SetMinHeight(30);
             B->Constraints()->SetMaxWidth(25);
             B->SetDragKind(dkDock);
             B->SetCtl3D(false);
             B->SetDragCursor(crCross);
             B->SetDragMode(dmAutomatic);
             B->SetParentShowHint(false);
             B->SetPopupMenu(PlacePopup(F, "SpinMenu"));
             B->SetTabOrder(0);
         },
         [](TWidgetForm* F) {
             EXPECT_EQ(dynamic_cast<TWinControl*>(F->FindComponent("Target1"))->TabOrder(), 1);
         }},
        {"TimerSpeedButton",
         [](TWidgetForm* F) {
             auto* B = Place<TIcTimerSpeedBtn>(F, "SpeedBtn1", 10, 10);
             B->SetBounds(10, 10, 24, 20);
             B->SetInterval(250);
             B->SetTimerEnabled(false);
             B->SetStartDelay(300);
             TBitmap G;
             StripedGlyph(G, 12, 6, clGreen, RGB(128, 128, 0));
             B->SetGlyph(&G);
             B->SetNumGlyphs(2);
             B->SetAnchors({akLeft, akBottom});
             B->Constraints()->SetMaxHeight(20);
             B->Constraints()->SetMinWidth(16);
             B->Font()->SetColor(clRed);
             B->SetParentShowHint(false);
             B->SetPopupMenu(PlacePopup(F, "ButtonMenu"));
         }},
        {"Flash",
         [](TWidgetForm* F) {
             auto* T = Place<TIcFlash>(F, "Flash1", 0, 0);
             T->SetEnabled(false);
             T->SetThreadPriority(tpHigher);
         }},
        {"FlashTimer",
         [](TWidgetForm* F) {
             auto* T = Place<TIcFlashTimer>(F, "FlashTimer1", 0, 0);
             T->SetEnabled(false);
             T->SetThreadPriority(tpLowest);
         }},
        {"DisplayAndSlider",
         [](TWidgetForm* F) {
             auto* M = Place<TTestRoundMeter>(F, "Display1", 10, 10);
             M->SetLimitUpper(200);
             M->SetLimitLower(120);
             M->SetHintOptions({hoAutoHint, hoValue, hoName1});
             SetSectors(*M->SectorSettings());
             SetSignal(*M->SignalSettings());
             SetMinMax(*M->MinMax());
             M->SetValue(180);
             auto* S = Place<TTestSlider>(F, "Slider1", 220, 10);
             S->SetChangeLarge(25);
             S->SetChangeSmall(5);
             SetSignal(*S->SignalSettings());
             S->SetValue(160);
             S->SetColorFocus(clRed);
             S->SetColorNonFocus(clBlue);
             S->SetCursorSlide(crHandPoint);
             S->SetEnableKeyboard(false);
             S->SetEnabledKeys({_VK_UP, _VK_DOWN});
             S->SetTabStop(false);
             S->SetValueIndicator(M);
             S->SetParentFont(true);
             S->SetPopupMenu(PlacePopup(F, "SliderMenu"));
             M->SetPopupMenu(PlacePopup(F, "DisplayMenu"));
             // A second windowed control, first in the tab order.
             Place<TIcNumEdit>(F, "NumEdit1", 10, 200)->SetTabOrder(0);
             M->Loaded();
             S->Loaded();
         }},
        {"DisplayWithAHintOfItsOwn",
         [](TWidgetForm* F) {
             auto* M = Place<TTestRoundMeter>(F, "Display1", 10, 10);
             M->SetHintOptions({hoValue});
             M->SetHint("Flow at the patient");
             M->SetValue(75);
             M->Loaded();
         }},
        {"SliderWithTheDefaultRanges",
         [](TWidgetForm* F) {
             auto* S = Place<TTestSlider>(F, "Slider1", 10, 10);
             S->SetValue(35);
             S->Loaded();
         },
         [](TWidgetForm* F) {
             auto* S = dynamic_cast<TTestSlider*>(F->FindComponent("Slider1"));
             EXPECT_EQ(S->Value(), 35.0f);
             EXPECT_EQ(S->Digit(), 350);
         }},
        {"Led",
         [](TWidgetForm* F) {
             auto* L = Place<TTestLed>(F, "Led1", 10, 10);
             L->SetHint("lamp");
             L->SetPopupMenu(PlacePopup(F, "LedMenu"));
         }},
        {"FontsAtThePlatformsDefault",
         [](TWidgetForm* F) {
             auto* M = Place<TTestRoundMeter>(F, "Display1", 10, 10);
             SetPlatformFont(M->Font());
             M->Loaded();
             auto* H = Place<TTestSettingsHost>(F, "Host1", 10, 10);
             SetPlatformFont(H->ValInd.Font());
             SetPlatformFont(H->Bar.Font());
         },
         [](TWidgetForm* F) {
             auto* M = dynamic_cast<TTestRoundMeter*>(F->FindComponent("Display1"));
             EXPECT_EQ(M->Font()->Name(), "MS Sans Serif");
             auto* H = dynamic_cast<TTestSettingsHost*>(F->FindComponent("Host1"));
             EXPECT_EQ(H->ValInd.Font()->Name(), "MS Sans Serif");
             EXPECT_EQ(H->Bar.Font()->Color(), clWindowText);
         }},
        {"SettingsObjects", [](TWidgetForm* F) { SetSettings(Place<TTestSettingsHost>(F, "Host1", 10, 10)); }},
        {"ChannelWithTheDefaultRanges",
         [](TWidgetForm* F) { Place<TTestSettingsHost>(F, "Host1", 10, 10)->Channel.SetValue(25); },
         [](TWidgetForm* F) {
             auto* H = dynamic_cast<TTestSettingsHost*>(F->FindComponent("Host1"));
             EXPECT_EQ(H->Channel.Value(), 25.0f);
             EXPECT_EQ(H->Channel.Digit(), 250);
         }},
    };
    return Rows;
}

// ------------------------------------------------------------ helpers

std::string FormOf(TComponent* C)
{
    TMemoryStream M;
    M.WriteComponent(C);
    return std::string(reinterpret_cast<const char*>(M.Memory()), static_cast<size_t>(M.Size()));
}

void ReadForm(const std::string& Text, TComponent* Root)
{
    TMemoryStream M;
    M.WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
    M.SetPosition(0);
    M.ReadComponent(Root);
}

// Every published property of A and B alike: sub-objects property by
// property, references by the name of their target. The times the minimum
// and maximum were recorded are the clock's, and the about record is the
// library's.
void ExpectSameProperties(TPersistent* A, TPersistent* B, const std::string& Path)
{
    ASSERT_EQ(A->ClassType(), B->ClassType()) << Path;
    for (const TPropInfo* P : A->ClassType()->Properties()) {
        const std::string Name = Path + P->Name();
        if (P->IsAlias() || Name.ends_with("DateTime") || P->Name() == "IcInfo")
            continue;
        switch (P->Kind()) {
        case tkClass: {
            TPersistent* SubA = P->GetObject(A);
            TPersistent* SubB = P->GetObject(B);
            ASSERT_EQ(SubA == nullptr, SubB == nullptr) << Name;
            if (SubA)
                ExpectSameProperties(SubA, SubB, Name + ".");
            break;
        }
        case tkComponent: {
            TComponent* TargetA = P->GetComponent(A);
            TComponent* TargetB = P->GetComponent(B);
            EXPECT_EQ(TargetA ? TargetA->Name() : "", TargetB ? TargetB->Name() : "") << Name;
            break;
        }
        case tkFloat:
            EXPECT_EQ(P->GetFloat(A), P->GetFloat(B)) << Name;
            break;
        case tkString:
            EXPECT_EQ(P->GetString(A), P->GetString(B)) << Name;
            break;
        default:
            EXPECT_EQ(P->GetOrd(A), P->GetOrd(B)) << Name;
        }
    }
}

// What the classes never store (the values a numeric edit derives from its
// text, its state and its colour, the recorded minimum and maximum, the
// texts of the about record), by the class that declares them.
const std::set<std::string>& NeverStored()
{
    static const std::set<std::string> Names = {
        "TIcNumEdit.Color",      "TIcNumEdit.State",         "TIcNumEdit.Value",
        "TIcNumEdit.ValueAsBool", "TIcNumEdit.ValueAsHex",   "TIcNumEdit.ValueAsSingle",
        "TIcNumEdit.ValueAsInt", "TMinMax.Max",              "TMinMax.MaxDateTime",
        "TMinMax.Min",           "TMinMax.MinDateTime",      "TIcInfo.pName",
        "TIcInfo.pVersion",      "TIcInfo.Copyright",        "TIcInfo.Mail",
        "TIcInfo.WWW",
    };
    return Names;
}

bool IsPlatformClass(TClass C)
{
    if (C->InheritsFrom(TGraphicsObject::StaticClass()) || C->InheritsFrom(TMenu::StaticClass()) ||
        C == TMenuItem::StaticClass() || C == TSizeConstraints::StaticClass())
        return true;
    for (TClass P : {TPersistent::StaticClass(), TComponent::StaticClass(), TControl::StaticClass(),
                     TWinControl::StaticClass(), TCustomControl::StaticClass(), TGraphicControl::StaticClass()})
        if (C == P)
            return true;
    return false;
}

// The class that declares P (the first in C's line whose parent does not
// have P), "" for the platform's own properties.
std::string DeclaringClass(TClass C, const TPropInfo* P)
{
    for (; C && !IsPlatformClass(C); C = C->ClassParent()) {
        const auto& Inherited = C->ClassParent()->Properties();
        if (std::find(Inherited.begin(), Inherited.end(), P) == Inherited.end())
            return C->ClassName();
    }
    return "";
}

// Notes, for each property the library declares, whether Obj or its
// sub-objects write it (stored and away from its default).
void NoteWritten(TPersistent* Obj, std::map<std::string, bool>& Written)
{
    for (const TPropInfo* P : Obj->ClassType()->Properties()) {
        if (P->IsAlias())
            continue;
        if (P->Kind() == tkClass) {
            if (TPersistent* Sub = P->GetObject(Obj))
                NoteWritten(Sub, Written);
            continue;
        }
        const std::string Declarer = DeclaringClass(Obj->ClassType(), P);
        if (Declarer.empty() || Declarer.starts_with("TTest"))
            continue;
        const std::string Key = Declarer + "." + P->Name();
        const bool Writes = P->IsStored(Obj) && !P->IsDefault(Obj);
        if (NeverStored().contains(Key)) {
            EXPECT_FALSE(P->IsStored(Obj)) << Key;
        }
        Written[Key] = Written[Key] || Writes;
    }
}

class IcStream : public ::testing::Test {
protected:
    std::vector<std::string> Messages;
    TDialogAnswerer OldAnswerer;

    void SetUp() override
    {
        EnsureApplication();
        RegisterTestClasses();
        OldAnswerer = SetDialogAnswerer([this](const TDialogRequest& R, TDialogAnswer& A) {
            if (R.Kind != TDialogKind::MessageBox)
                return false;
            Messages.push_back(R.Text);
            A.ModalResult = mrOk;
            return true;
        });
    }
    void TearDown() override { SetDialogAnswerer(OldAnswerer); }
};

// ------------------------------------------------------------ tests

TEST_F(IcStream, EveryClassReadsBackWithItsPropertiesAndPixels)
{
    std::map<std::string, bool> Written;
    for (const TRow& Row : Rows()) {
        SCOPED_TRACE(Row.Name);
        Messages.clear();
        TWidgetForm Original(nullptr);
        Original.SetName("Form1");
        Row.Make(&Original);
        const std::string Text = FormOf(&Original);
        EXPECT_EQ(Text.find("IcInfo"), std::string::npos);

        TWidgetForm Copy(nullptr);
        ASSERT_NO_THROW(ReadForm(Text, &Copy)) << Text;
        ASSERT_EQ(Copy.ComponentCount(), Original.ComponentCount()) << Text;
        for (int i = 0; i < Original.ComponentCount(); ++i) {
            TComponent* C = Original.Components(i);
            TComponent* Read = Copy.FindComponent(C->Name());
            ASSERT_NE(Read, nullptr) << C->Name();
            ExpectSameProperties(C, Read, C->Name() + ".");
            NoteWritten(C, Written);
        }
        EXPECT_EQ(FormOf(&Copy), Text);
        Row.Expect(&Copy);

        std::unique_ptr<TBitmap> Drawn(Original.GetFormImage());
        std::unique_ptr<TBitmap> DrawnBack(Copy.GetFormImage());
        DrawnBack->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/widgets-form-" + Row.Name + ".png");
        EXPECT_TRUE(Drawn->SameImage(*DrawnBack));

        // A second flash timer of the program says so and stays inert.
        if (std::string(Row.Name) == "FlashTimer") {
            EXPECT_EQ(Messages, std::vector<std::string>{"Only one TIcFlashTimer per Application!\rRemove it..."});
        }
    }
    for (const auto& [Key, Writes] : Written)
        EXPECT_NE(Writes, NeverStored().contains(Key)) << Key << (Writes ? " is written" : " is never written");
}

TEST_F(IcStream, LibraryClassesAreRegisteredWithoutAsking)
{
    for (const char* Name :
         {"TIcNumEdit", "TIcNumSpin", "TIcSpinButton", "TIcTimerSpeedBtn", "TIcFlash", "TIcFlashTimer"})
        EXPECT_NE(GetClass(Name), nullptr) << Name;
}

TEST_F(IcStream, AStoredGlyphIsReadAndDamagedOnesAreRefused)
{
    auto FormWithGlyph = [](const std::string& Glyph) {
        return "object SpinButton1: TIcSpinButton\n  Interval = 100\n  StartDelay = 500\n  UpGlyph = " + Glyph +
               "\nend\n";
    };
    auto Read = [](const std::string& Text) {
        TMemoryStream M;
        M.WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
        M.SetPosition(0);
        return std::unique_ptr<TComponent>(M.ReadComponent(nullptr));
    };
    // One blue pixel.
    std::unique_ptr<TComponent> Good = Read(FormWithGlyph("{01000100FF000000}"));
    TBitmap* Glyph = dynamic_cast<TIcSpinButton*>(Good.get())->UpGlyph();
    ASSERT_EQ(Glyph->Width(), 1);
    EXPECT_EQ(Glyph->Canvas()->Pixels(0, 0), clBlue);

    const char* Damaged[] = {
        "{01}",                   // shorter than its size
        "{00000100}",             // no width
        "{01000100}",             // a pixel announced, none there
        "{01000100000000}",       // a byte too few
        "{0100010000000000FF}",   // a byte too many
        "{0101010000000000}",     // 257 pixels wide
    };
    for (const char* Bytes : Damaged)
        EXPECT_THROW(Read(FormWithGlyph(Bytes)), EReadError) << Bytes;
}

}  // namespace
