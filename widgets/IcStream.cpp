// The published properties of the instrument-control library (what a stored
// form holds of its edits, spin buttons, timers, instrument bases and
// settings objects), the glyph pixels its buttons store besides, and the
// registration of the classes a stored form creates.
//
// Defaults are those the classes construct with, fonts included: a font is
// stored as its differences from the one its owner builds (the scale's
// Arial 14), so a font set to the platform's default is written too. Settings
// objects record
// defaults only for some of their values: their owners construct them with
// values of their own (a bar's bevel is lowered and one pixel wide), so the
// rest is always written, as are the values of the instrument bases.
// Properties a class keeps for itself (the value forms of the numeric edit,
// the recorded minimum and maximum, the about record) are never written.
#include "widgets/IcStream.h"

#include "platform/Filer.h"
#include "platform/PublishedProps.h"
#include "platform/Streams.h"
#include "widgets/IcFlashT.h"
#include "widgets/IcNumEdit.h"
#include "widgets/_IcClass.h"
#include "widgets/_IcClassAnalog.h"
#include "widgets/_IcClassBin.h"
#include "widgets/_IcClassPaint.h"
#include "widgets/_IcClassSettings.h"
#include "widgets/_IcFlash.h"
#include "widgets/_IcInfo.h"
#include "widgets/_IcScale.h"
#include "widgets/_IcSignal.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const TIdentMap& EditBaseIdents()
{
    static const TIdentMap M = TIdentMap::Names({"ebBin", "ebHex", "ebFloat", "ebInt"});
    return M;
}

const TIdentMap& NumEditOptionIdents()
{
    static const TIdentMap M = TIdentMap::Names({"eoLimitMax", "eoLimitMin", "eoMultiply"});
    return M;
}

const TIdentMap& NumEditStateIdents()
{
    static const TIdentMap M = TIdentMap::Names({"esNormal", "esEditing", "esError"});
    return M;
}

const TIdentMap& ThreadPriorityIdents()
{
    static const TIdentMap M = TIdentMap::Names(
        {"tpIdle", "tpLowest", "tpLower", "tpNormal", "tpHigher", "tpHighest", "tpTimeCritical"});
    return M;
}

const TIdentMap& HintOptionIdents()
{
    static const TIdentMap M = TIdentMap::Names(
        {"hoAutoHint", "hoValue", "hoName1", "hoName2", "hoMin", "hoMax", "hoMinMaxDate", "hoMinMaxTime"});
    return M;
}

const TIdentMap& EnabledKeyIdents()
{
    static const TIdentMap M = TIdentMap::Names(
        {"_VK_PRIOR", "_VK_NEXT", "_VK_END", "_VK_HOME", "_VK_LEFT", "_VK_DOWN", "_VK_UP", "_VK_RIGHT"});
    return M;
}

const TIdentMap& AngleModeIdents()
{
    static const TIdentMap M = TIdentMap::Names({"amAuto", "amManual"});
    return M;
}

const TIdentMap& TextPosIdents()
{
    static const TIdentMap M = TIdentMap::Names({"toTopLeft", "toTopCenter", "toTopRight", "toMidLeft",
                                                 "toMidCenter", "toMidRight", "toBotLeft", "toBotCenter",
                                                 "toBotRight"});
    return M;
}

const TIdentMap& LEDShapeIdents()
{
    static const TIdentMap M =
        TIdentMap::Names({"sRound", "sArrowLeft", "sArrowRight", "sArrowUp", "sArrowDown", "sRectangle"});
    return M;
}

const TIdentMap& GradientStyleIdents()
{
    static const TIdentMap M = TIdentMap::Names(
        {"gsHorizontal1", "gsHorizontal2", "gsHorizontal3", "gsVertical1", "gsVertical2", "gsVertical3",
         "gsElliptic1", "gsElliptic2", "gsElliptic3", "gsRectangle", "gsDiamond1", "gsDiamond2", "gsTopLeft",
         "gsTopRight"});
    return M;
}

const TIdentMap& BevelStyleIdents()
{
    static const TIdentMap M = TIdentMap::Names({"bsLowered", "bsRaised"});
    return M;
}

const TIdentMap& BevelLineIdents()
{
    static const TIdentMap M = TIdentMap::Names({"blNone", "blOuter", "blInner", "blBoth"});
    return M;
}

const TIdentMap& BarOptionIdents()
{
    static const TIdentMap M = TIdentMap::Names({"opValue", "opUnit", "opUseSectorCol", "opBidir"});
    return M;
}

const TIdentMap& BarStyleIdents()
{
    static const TIdentMap M = TIdentMap::Names({"bsBar", "bsLED_Bar", "bsPoint"});
    return M;
}

// ------------------------------------------------------------------ glyphs

// A glyph as a form stores it (little-endian):
//   0  uint16  width, 1 to GlyphMaxSide
//   2  uint16  height, 1 to GlyphMaxSide
//   4  width x height pixels, rows from the top, each uint32 0x00RRGGBB
constexpr int GlyphMaxSide = 256;
constexpr int64_t GlyphHeaderSize = 4;

void WriteGlyph(TStream* S, TBitmap* Glyph)
{
    const int W = Glyph->Width();
    const int H = Glyph->Height();
    std::vector<uint8_t> Bytes;
    Bytes.reserve(static_cast<size_t>(GlyphHeaderSize + int64_t{W} * H * 4));
    auto Put = [&Bytes](uint32_t V, int Count) {
        for (int i = 0; i < Count; ++i)
            Bytes.push_back(static_cast<uint8_t>(V >> (8 * i)));
    };
    Put(static_cast<uint32_t>(W), 2);
    Put(static_cast<uint32_t>(H), 2);
    for (int Y = 0; Y < H; ++Y) {
        const uint32_t* Row = static_cast<const TBitmap*>(Glyph)->ScanLine(Y);
        for (int X = 0; X < W; ++X)
            Put(Row[X] & 0xFFFFFFu, 4);
    }
    S->WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
}

// The glyph stored at the stream's position, which holds nothing after it.
void ReadGlyph(TStream* S, TBitmap& Glyph)
{
    const int64_t Available = S->Size() - S->Position();
    if (Available < GlyphHeaderSize)
        throw EReadError("a glyph of " + std::to_string(Available) + " bytes");
    uint8_t Head[GlyphHeaderSize];
    S->ReadBuffer(Head, GlyphHeaderSize);
    const int W = Head[0] | Head[1] << 8;
    const int H = Head[2] | Head[3] << 8;
    if (W < 1 || H < 1 || W > GlyphMaxSide || H > GlyphMaxSide)
        throw EReadError("a glyph of " + std::to_string(W) + " x " + std::to_string(H) + " pixels");
    const int64_t PixelBytes = int64_t{W} * H * 4;
    if (Available - GlyphHeaderSize != PixelBytes)
        throw EReadError("a glyph of " + std::to_string(W) + " x " + std::to_string(H) + " pixels in " +
                         std::to_string(Available) + " bytes");
    std::vector<uint8_t> Pixels(static_cast<size_t>(PixelBytes));
    S->ReadBuffer(Pixels.data(), PixelBytes);
    Glyph.SetSize(W, H);
    const uint8_t* P = Pixels.data();
    for (int Y = 0; Y < H; ++Y) {
        uint32_t* Row = Glyph.ScanLine(Y);
        for (int X = 0; X < W; ++X, P += 4)
            Row[X] = 0xFF000000u | P[0] | P[1] << 8 | P[2] << 16;
    }
}

// The glyph is the library's own arrow.
bool IsSpinGlyph(TBitmap* Glyph, bool Up)
{
    TBitmap Own;
    LoadSpinGlyph(&Own, Up);
    return Glyph->SameImage(Own);
}

const bool IcClassesRegistered = (RegisterIcClasses(), true);

}  // namespace

// ------------------------------------------------------------------ the about record

void TIcInfo::Publish(TPublisher<TIcInfo>& P)
{
    P.String("pName", &TIcInfo::pName, &TIcInfo::SetpName).Stored(false);
    P.String("pVersion", &TIcInfo::pVersion, &TIcInfo::SetpVersion).Stored(false);
    P.String("Copyright", &TIcInfo::Copyright, &TIcInfo::SetCopyright).Stored(false);
    P.String("Mail", &TIcInfo::Mail, &TIcInfo::SetMail).Stored(false);
    P.String("WWW", &TIcInfo::WWW, &TIcInfo::SetWWW).Stored(false);
}

// ------------------------------------------------------------------ the numeric edits

// The colour follows the state and ColorDefault, so only ColorDefault is
// stored; ParentColor is off from construction on.
void TIcNumEdit::Publish(TPublisher<TIcNumEdit>& P)
{
    using E = TIcNumEdit;
    P.Redeclare("Color").Stored(false);
    P.Redeclare("ParentColor").Default(false);
    P.Object("IcInfo", &E::IcInfo).Stored(false);
    // With ParentColor it is the parent's colour, which the parent brings.
    P.Integer("ColorDefault", &E::ColorDefault, &E::SetColorDefault)
        .Default(clWindow)
        .Idents(ColorIdents())
        .Stored([](E& Edit) { return !Edit.ParentColor(); });
    P.Integer("ColorError", &E::ColorError, &E::SetColorError).Default(clRed).Idents(ColorIdents());
    P.Integer("ColorEditing", &E::ColorEditing, &E::SetColorEditing).Default(clLime).Idents(ColorIdents());
    P.Integer("DigitsBool", &E::DigitsBool, &E::SetDigitsBool).Default(0);
    P.Integer("DigitsHex", &E::DigitsHex, &E::SetDigitsHex).Default(0);
    P.Boolean("EditorEnabled", &E::EditorEnabled, &E::SetEditorEnabled).Default(true);
    P.Enumeration("EditBase", &E::EditBase, &E::SetEditBase, EditBaseIdents()).Default(ebFloat);
    P.String("FormatStr", &E::FormatStr, &E::SetFormatStr).Default("#0.#");
    P.Float("Increment", &E::Increment, &E::SetIncrement).Default(1.0);
    P.Float("MaxValue", &E::MaxValue, &E::SetMaxValue).Default(0.0);
    P.Float("MinValue", &E::MinValue, &E::SetMinValue).Default(0.0);
    P.Set("Options", &E::Options, &E::SetOptions, NumEditOptionIdents()).Default(TNumEditOptions{});
    P.Enumeration(
         "State", &E::State,
         [](E&, TNumEditState) { throw std::invalid_argument("State is read only"); }, NumEditStateIdents())
        .Stored(false);
    P.Float("Value", &E::Value, &E::SetValue).Stored(false);
    P.String("ValueAsBool", &E::ValueAsBool, &E::SetValueAsBool).Stored(false);
    P.String("ValueAsHex", &E::ValueAsHex, &E::SetValueAsHex).Stored(false);
    P.Float("ValueAsSingle", &E::ValueAsSingle, &E::SetValueAsSingle).Stored(false);
    P.Integer("ValueAsInt", &E::ValueAsInt, &E::SetValueAsInt).Stored(false);
    // The edit control's own.
    PublishAnchors(P);
    PublishConstraints(P);
    P.Boolean("AutoSelect", &E::AutoSelect, &E::SetAutoSelect).Default(true);
    PublishAutoSize(P);
    PublishCtl3D(P);
    PublishDragCursor(P);
    PublishDragMode(P);
    P.Integer("MaxLength", &E::MaxLength, &E::SetMaxLength).Default(0);
    PublishParentCtl3D(P);
    PublishParentFont(P);
    PublishParentShowHint(P);
    PublishPopupMenu(P);
    P.Boolean("ReadOnly", &E::ReadOnly, &E::SetReadOnly).Default(false);
    PublishTabOrder(P);
    P.Boolean("TabStop", &E::TabStop, &E::SetTabStop).Default(true);
    // Last, after everything that commits: the value comes back from it.
    P.String(
         "Text", [](E& Edit) { return Edit.Text(); },
         [](E& Edit, const std::string& Value) { Edit.SetText(Value); })
        .NoDefault();
}

void TIcNumSpin::Publish(TPublisher<TIcNumSpin>& P)
{
    P.Integer("Interval", &TIcNumSpin::Interval, &TIcNumSpin::SetInterval).NoDefault();
    P.Integer("StartDelay", &TIcNumSpin::StartDelay, &TIcNumSpin::SetStartDelay).NoDefault();
}

// ------------------------------------------------------------------ the spin buttons

void TIcTimerSpeedBtn::Publish(TPublisher<TIcTimerSpeedBtn>& P)
{
    using B = TIcTimerSpeedBtn;
    P.Object("IcInfo", &B::IcInfo).Stored(false);
    P.Integer("Interval", &B::Interval, &B::SetInterval).Default(100);
    P.Boolean("TimerEnabled", &B::TimerEnabled, &B::SetTimerEnabled).Default(true);
    P.Integer("StartDelay", &B::StartDelay, &B::SetStartDelay).Default(500);
    // The speed button's own.
    PublishAnchors(P);
    PublishConstraints(P);
    P.Integer("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs).Default(1);
    PublishParentFont(P);
    PublishParentShowHint(P);
    PublishPopupMenu(P);
}

void TIcTimerSpeedBtn::DefineProperties(TFiler* Filer)
{
    TGraphicControl::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "Glyph",
        [this](TStream* S) {
            TBitmap Read;
            ReadGlyph(S, Read);
            SetGlyph(&Read);
        },
        [this](TStream* S) { WriteGlyph(S, Glyph()); }, !Glyph()->Empty());
}

void TIcSpinButton::Publish(TPublisher<TIcSpinButton>& P)
{
    using S = TIcSpinButton;
    P.Object("IcInfo", &S::IcInfo).Stored(false);
    PublishAnchors(P);
    PublishConstraints(P);
    PublishDragKind(P);
    PublishCtl3D(P);
    PublishDragCursor(P);
    PublishDragMode(P);
    PublishParentCtl3D(P);
    PublishParentShowHint(P);
    PublishPopupMenu(P);
    PublishTabOrder(P);
    P.Boolean("TabStop", &S::TabStop, &S::SetTabStop).Default(false);
    P.Integer("DownNumGlyphs", &S::DownNumGlyphs, &S::SetDownNumGlyphs).Default(1);
    P.Integer("UpNumGlyphs", &S::UpNumGlyphs, &S::SetUpNumGlyphs).Default(1);
    P.Component("FocusControl", &S::FocusControl, &S::SetFocusControl);
    P.Integer("Interval", &S::Interval, &S::SetInterval).NoDefault();
    P.Integer("StartDelay", &S::StartDelay, &S::SetStartDelay).NoDefault();
}

// The library's own arrows come back by themselves and are not stored.
void TIcSpinButton::DefineProperties(TFiler* Filer)
{
    TWinControl::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "DownGlyph",
        [this](TStream* S) {
            TBitmap Read;
            ReadGlyph(S, Read);
            SetDownGlyph(&Read);
        },
        [this](TStream* S) { WriteGlyph(S, DownGlyph()); }, !IsSpinGlyph(DownGlyph(), false));
    Filer->DefineBinaryProperty(
        "UpGlyph",
        [this](TStream* S) {
            TBitmap Read;
            ReadGlyph(S, Read);
            SetUpGlyph(&Read);
        },
        [this](TStream* S) { WriteGlyph(S, UpGlyph()); }, !IsSpinGlyph(UpGlyph(), true));
}

// ------------------------------------------------------------------ the timers

void TIcFlash::Publish(TPublisher<TIcFlash>& P)
{
    P.Boolean("Enabled", &TIcFlash::Enabled, &TIcFlash::SetEnabled).Default(true);
    P.Enumeration("ThreadPriority", &TIcFlash::ThreadPriority, &TIcFlash::SetThreadPriority,
                  ThreadPriorityIdents())
        .Default(tpNormal);
}

void TIcFlashTimer::Publish(TPublisher<TIcFlashTimer>& P)
{
    P.Object("IcInfo", &TIcFlashTimer::IcInfo).Stored(false);
}

// ------------------------------------------------------------------ the control bases

void TIcCustomControl::Publish(TPublisher<TIcCustomControl>& P)
{
    P.Object("IcInfo", &TIcCustomControl::IcInfo).Stored(false);
    PublishPopupMenu(P);
}

void TIcGraphicControl::Publish(TPublisher<TIcGraphicControl>& P)
{
    P.Object("IcInfo", &TIcGraphicControl::IcInfo).Stored(false);
    PublishPopupMenu(P);
}

void TIcBinGControl::Publish(TPublisher<TIcBinGControl>& P)
{
    P.Object("IcInfo", &TIcBinGControl::IcInfo).Stored(false);
    PublishPopupMenu(P);
}

void TIcAnalogGControl::Publish(TPublisher<TIcAnalogGControl>& P)
{
    using G = TIcAnalogGControl;
    // The automatic hint is built again from the values, not stored.
    P.Redeclare("Hint").Stored([](G& Control) { return !Control.HintOptions().Contains(hoAutoHint); });
    P.Integer("Digit", &G::Digit, &G::SetDigit).NoDefault();
    P.Float("LimitUpper", &G::LimitUpper, &G::SetLimitUpper).NoDefault();
    P.Float("LimitLower", &G::LimitLower, &G::SetLimitLower).NoDefault();
    P.Set("HintOptions", &G::HintOptions, &G::SetHintOptions, HintOptionIdents())
        .Default(THintOptions::UpTo(hoMinMaxTime));
    P.Object("SectorSettings", &G::SectorSettings);
    P.Object("SignalSettings", &G::SignalSettings);
    P.Object("MinMax", &G::MinMax);
    P.Float("Value", &G::Value, &G::SetValue).NoDefault();
}

void TIcAnalogCControl::Publish(TPublisher<TIcAnalogCControl>& P)
{
    using C = TIcAnalogCControl;
    P.Integer("Digit", &C::Digit, &C::SetDigit).Default(100);
    P.Integer("ChangeLarge", &C::ChangeLarge, &C::SetChangeLarge).Default(10);
    P.Integer("ChangeSmall", &C::ChangeSmall, &C::SetChangeSmall).Default(1);
    P.Object("SignalSettings", &C::SignalSettings);
    P.Float("Value", &C::Value, &C::SetValue).NoDefault();
    P.Integer("ColorFocus", &C::ColorFocus, &C::SetColorFocus).Default(clLime).Idents(ColorIdents());
    P.Integer("ColorNonFocus", &C::ColorNonFocus, &C::SetColorNonFocus).Default(clGreen).Idents(ColorIdents());
    P.Integer("CursorSlide", &C::CursorSlide, &C::SetCursorSlide).Default(crIcHand).Idents(CursorIdents());
    P.Boolean("EnableKeyboard", &C::EnableKeyboard, &C::SetEnableKeyboard).Default(true);
    P.Set("EnabledKeys", &C::EnabledKeys, &C::SetEnabledKeys, EnabledKeyIdents()).NoDefault();
    P.Component("ValueIndicator", &C::ValueIndicator, &C::SetValueIndicator);
    PublishParentFont(P).Default(false);
    P.Boolean("TabStop", &C::TabStop, &C::SetTabStop).Default(true);
    PublishTabOrder(P);
}

// ------------------------------------------------------------------ signal settings

void TSignalSettings::Publish(TPublisher<TSignalSettings>& P)
{
    using S = TSignalSettings;
    P.Integer("DigitalFrom", &S::DigitalFrom, &S::SetDigitalFrom).Default(0);
    P.Integer("DigitalTo", &S::DigitalTo, &S::SetDigitalTo).Default(1000);
    P.String("Name1", &S::Name1, &S::SetName1).NoDefault();
    P.String("Name2", &S::Name2, &S::SetName2).NoDefault();
    P.String("ValueFormat", &S::ValueFormat, &S::SetValueFormat).NoDefault();
    P.Float("ValueFrom", &S::ValueFrom, &S::ReadValueFrom).NoDefault();
    P.Float("ValueTo", &S::ValueTo, &S::SetValueTo).NoDefault();
    P.String("ValueUnit", &S::ValueUnit, &S::SetValueUnit).NoDefault();
}

void TSectorSettings::Publish(TPublisher<TSectorSettings>& P)
{
    using S = TSectorSettings;
    P.Integer("Sector1Color", &S::Sector1Color, &S::SetSector1Color).Default(clYellow).Idents(ColorIdents());
    P.Integer("Sector1From", &S::Sector1From, &S::SetSector1From).Default(0);
    P.Integer("Sector1To", &S::Sector1To, &S::SetSector1To).Default(333);
    P.Integer("Sector2Color", &S::Sector2Color, &S::SetSector2Color).Default(clGreen).Idents(ColorIdents());
    P.Integer("Sector2From", &S::Sector2From, &S::SetSector2From).Default(334);
    P.Integer("Sector2To", &S::Sector2To, &S::SetSector2To).Default(666);
    P.Integer("Sector3Color", &S::Sector3Color, &S::SetSector3Color).Default(clRed).Idents(ColorIdents());
    P.Integer("Sector3From", &S::Sector3From, &S::SetSector3From).Default(667);
    P.Integer("Sector3To", &S::Sector3To, &S::SetSector3To).Default(1000);
    P.Integer("Offset", &S::Offset, &S::SetOffset).NoDefault();
    P.Integer("WidthOffset", &S::WidthOffset, &S::SetWidthOffset).NoDefault();
}

void TMinMax::Publish(TPublisher<TMinMax>& P)
{
    using M = TMinMax;
    P.Float("Max", &M::Max, &M::SetMax).Stored(false);
    P.Float("MaxDateTime", &M::MaxDateTime, &M::SetMaxDateTime).Stored(false);
    P.Float("Min", &M::Min, &M::SetMin).Stored(false);
    P.Float("MinDateTime", &M::MinDateTime, &M::SetMinDateTime).Stored(false);
    P.Integer("MaxColor", &M::MaxColor, &M::SetMaxColor).Default(clAqua).Idents(ColorIdents());
    P.Integer("MinColor", &M::MinColor, &M::SetMinColor).Default(clAqua).Idents(ColorIdents());
    P.Boolean("UseSectorCol", &M::UseSectorCol, &M::SetUseSectorCol).Default(true);
    P.Boolean("MinVisible", &M::MinVisible, &M::SetMinVisible).Default(true);
    P.Boolean("MaxVisible", &M::MaxVisible, &M::SetMaxVisible).Default(true);
}

void TChSettings::Publish(TPublisher<TChSettings>& P)
{
    using C = TChSettings;
    P.Float("Value", &C::Value, &C::SetValue).NoDefault();
    P.Integer("Digit", &C::Digit, &C::SetDigit).NoDefault();
    P.Integer("Color", &C::Color, &C::SetColor).Default(clBlack).Idents(ColorIdents());
    P.Boolean("Visible", &C::Visible, &C::SetVisible).Default(true);
    P.Integer("PenWidth", &C::PenWidth, &C::SetPenWidth).Default(1);
}

// ------------------------------------------------------------------ settings objects

void TIcLineSettings::Publish(TPublisher<TIcLineSettings>& P)
{
    using L = TIcLineSettings;
    P.Object("Pen", &L::Pen);
    P.Integer("Length", &L::Length, &L::SetLength).NoDefault();
    P.Integer("Offset", &L::Offset, &L::SetOffset).Default(0);
    P.Boolean("Visible", &L::Visible, &L::SetVisible).Default(true);
}

void TIcScale::Publish(TPublisher<TIcScale>& P)
{
    using S = TIcScale;
    P.Integer("Angle", &S::Angle, &S::SetAngle).Default(0);
    P.Enumeration("AngleMode", &S::AngleMode, &S::SetAngleMode, AngleModeIdents()).Default(amAuto);
    P.Object("Font", &S::Font);
    P.Object("StepLines", &S::StepLines);
    P.Object("SubStepLines", &S::SubStepLines);
    P.Enumeration("TextAlignment", &S::TextAlignment, &S::SetTextAlignment, TextPosIdents()).NoDefault();
    P.Integer("TextOffsetX", &S::TextOffsetX, &S::SetTextOffsetX).Default(0);
    P.Integer("TextOffsetY", &S::TextOffsetY, &S::SetTextOffsetY).Default(0);
    P.String("Text", &S::Text, &S::SetText).NoDefault();
}

void TIcFlexScale::Publish(TPublisher<TIcFlexScale>& P)
{
    using S = TIcFlexScale;
    P.Float("SubStepAt", &S::SubStepAt, &S::SetSubStepAt).NoDefault();
    P.Integer("StepMulti", &S::StepMulti, &S::SetStepMulti).NoDefault();
    P.Integer("SubStepsVis", &S::SubStepsVis, &S::SetSubStepsVis).NoDefault();
    P.Integer("Angle", &S::Angle, &S::SetAngle).Default(0);
    P.Enumeration("AngleMode", &S::AngleMode, &S::SetAngleMode, AngleModeIdents()).Default(amAuto);
    P.Object("Font", &S::Font);
    P.String("FormatStr", &S::FormatStr, &S::SetFormatStr).NoDefault();
    P.Object("StepLines", &S::StepLines);
    P.Object("SubStepLines", &S::SubStepLines);
    P.Enumeration("TextAlignment", &S::TextAlignment, &S::SetTextAlignment, TextPosIdents()).NoDefault();
    P.Integer("TextOffsetX", &S::TextOffsetX, &S::SetTextOffsetX).Default(0);
    P.Integer("TextOffsetY", &S::TextOffsetY, &S::SetTextOffsetY).Default(0);
}

void TIcText::Publish(TPublisher<TIcText>& P)
{
    using T = TIcText;
    P.String("Text", &T::Text, &T::SetText).NoDefault();
    P.Object("Font", &T::Font);
    P.Integer("OffsetX", &T::OffsetX, &T::SetOffsetX).NoDefault();
    P.Integer("OffsetY", &T::OffsetY, &T::SetOffsetY).NoDefault();
    P.Enumeration("Pos", &T::Pos, &T::SetPos, TextPosIdents()).NoDefault();
    P.Boolean("Visible", &T::Visible, &T::SetVisible).NoDefault();
}

void TIcBevelSettings::Publish(TPublisher<TIcBevelSettings>& P)
{
    using B = TIcBevelSettings;
    P.Integer("ColorFrom", &B::ColorFrom, &B::SetColorFrom).NoDefault().Idents(ColorIdents());
    P.Integer("ColorTo", &B::ColorTo, &B::SetColorTo).NoDefault().Idents(ColorIdents());
    P.Integer("Width", &B::Width, &B::SetWidth).NoDefault();
}

void TIcOffset::Publish(TPublisher<TIcOffset>& P)
{
    P.Integer("Top", &TIcOffset::Top, &TIcOffset::SetTop).Default(0);
    P.Integer("Left", &TIcOffset::Left, &TIcOffset::SetLeft).Default(0);
    P.Integer("Right", &TIcOffset::Right, &TIcOffset::SetRight).Default(0);
    P.Integer("Bottom", &TIcOffset::Bottom, &TIcOffset::SetBottom).Default(0);
}

void TIcBtnBevel::Publish(TPublisher<TIcBtnBevel>& P)
{
    using B = TIcBtnBevel;
    P.Integer("ShadowColFrom", &B::ShadowColFrom, &B::SetShadowColFrom).Default(clBlack).Idents(ColorIdents());
    P.Integer("ShadowColTo", &B::ShadowColTo, &B::SetShadowColTo).Default(clBtnShadow).Idents(ColorIdents());
    P.Integer("HighlightColFrom", &B::HighlightColFrom, &B::SetHighlightColFrom)
        .Default(RGB(210, 210, 210))
        .Idents(ColorIdents());
    P.Integer("HighlightColTo", &B::HighlightColTo, &B::SetHighlightColTo)
        .Default(clBtnHighlight)
        .Idents(ColorIdents());
    P.Integer("Width", &B::Width, &B::SetWidth).NoDefault();
}

void TArrowSettings::Publish(TPublisher<TArrowSettings>& P)
{
    using A = TArrowSettings;
    P.Integer("Shape", &A::Shape, &A::SetShape).Default(0);
    P.Integer("ColorPen", &A::ColorPen, &A::SetColorPen).Default(clBlack).Idents(ColorIdents());
    P.Integer("ColorBrush", &A::ColorBrush, &A::SetColorBrush).Default(clLime).Idents(ColorIdents());
    P.Integer("ColorCP1Pen", &A::ColorCP1Pen, &A::SetColorCP1Pen).Default(clBlack).Idents(ColorIdents());
    P.Integer("ColorCP1Brush", &A::ColorCP1Brush, &A::SetColorCP1Brush).Default(clBlack).Idents(ColorIdents());
    P.Integer("ColorCP2Pen", &A::ColorCP2Pen, &A::SetColorCP2Pen).Default(clBlack).Idents(ColorIdents());
    P.Integer("ColorCP2Brush", &A::ColorCP2Brush, &A::SetColorCP2Brush).Default(clBtnFace).Idents(ColorIdents());
}

void TLED::Publish(TPublisher<TLED>& P)
{
    P.Enumeration("Shape", &TLED::Shape, &TLED::SetShape, LEDShapeIdents()).Default(sRound);
    P.Integer("ColorOn", &TLED::ColorOn, &TLED::SetColorOn).Default(clLime).Idents(ColorIdents());
    P.Integer("ColorOff", &TLED::ColorOff, &TLED::SetColorOff).Default(clBtnFace).Idents(ColorIdents());
    P.Integer("Width", &TLED::Width, &TLED::SetWidth).Default(13);
    P.Integer("Height", &TLED::Height, &TLED::SetHeight).Default(13);
}

void TIcGradSettings::Publish(TPublisher<TIcGradSettings>& P)
{
    using G = TIcGradSettings;
    P.Integer("ColorFrom", &G::ColorFrom, &G::SetColorFrom).Default(RGB(226, 226, 226)).Idents(ColorIdents());
    P.Integer("ColorTo", &G::ColorTo, &G::SetColorTo).Default(RGB(143, 143, 143)).Idents(ColorIdents());
    P.Boolean("Visible", &G::Visible, &G::SetVisible).NoDefault();
    P.Enumeration("Style", &G::Style, &G::SetStyle, GradientStyleIdents()).NoDefault();
}

void TIniSettings::Publish(TPublisher<TIniSettings>& P)
{
    using I = TIniSettings;
    P.String("FileName", &I::FileName, &I::SetFileName).NoDefault();
    P.String("Section", &I::Section, &I::SetSection).NoDefault();
    P.Boolean("UseAppDir", &I::UseAppDir, &I::SetUseAppDir).Default(true);
    P.Boolean("AutoLoadSave", &I::AutoLoadSave, &I::SetAutoLoadSave).Default(false);
}

// ------------------------------------------------------------------ painting settings

void TIcValInd::Publish(TPublisher<TIcValInd>& P)
{
    using V = TIcValInd;
    P.String("FormatStr", &V::FormatStr, &V::SetFormatStr).NoDefault();
    P.Object("Bevel", &V::Bevel);
    P.Object("Caption", &V::Caption);
    P.Integer("Color", &V::Color, &V::SetColor).NoDefault().Idents(ColorIdents());
    P.Object("Font", &V::Font);
    P.Boolean("Visible", &V::Visible, &V::SetVisible).NoDefault();
    P.Integer("OffsetX", &V::OffsetX, &V::SetOffsetX).NoDefault();
    P.Integer("OffsetY", &V::OffsetY, &V::SetOffsetY).NoDefault();
    P.Object("TxtSpacing", &V::TxtSpacing);
}

void TIcSBevel::Publish(TPublisher<TIcSBevel>& P)
{
    using B = TIcSBevel;
    P.Enumeration("Style", &B::Style, &B::SetStyle, BevelStyleIdents()).NoDefault();
    P.Integer("Spacing", &B::Spacing, &B::SetSpacing).NoDefault();
    P.Enumeration("BevelLine", &B::BevelLine, &B::SetBevelLine, BevelLineIdents()).NoDefault();
    P.Integer("Width", &B::Width, &B::SetWidth).NoDefault();
    P.Integer("Color", &B::Color, &B::SetColor).NoDefault().Idents(ColorIdents());
    P.Object("Offset", &B::Offset);
    P.Integer("ColorShadowFrom", &B::ColorShadowFrom, &B::SetColorShadowFrom).NoDefault().Idents(ColorIdents());
    P.Integer("ColorShadowTo", &B::ColorShadowTo, &B::SetColorShadowTo).NoDefault().Idents(ColorIdents());
    P.Integer("ColorHighLightFrom", &B::ColorHighLightFrom, &B::SetColorHighLightFrom)
        .NoDefault()
        .Idents(ColorIdents());
    P.Integer("ColorHighLightTo", &B::ColorHighLightTo, &B::SetColorHighLightTo).NoDefault().Idents(ColorIdents());
    P.Integer("PenColor", &B::PenColor, &B::SetPenColor).NoDefault().Idents(ColorIdents());
    P.Object("SurfaceGrad", &B::SurfaceGrad);
}

void TBarSettings::Publish(TPublisher<TBarSettings>& P)
{
    using B = TBarSettings;
    P.Integer("Color", &B::Color, &B::SetColor).NoDefault().Idents(ColorIdents());
    P.Integer("BkColor", &B::BkColor, &B::SetBkColor).NoDefault().Idents(ColorIdents());
    P.Object("Font", &B::Font);
    P.Set("Options", &B::Options, &B::SetOptions, BarOptionIdents()).NoDefault();
    P.Enumeration("Style", &B::Style, &B::SetStyle, BarStyleIdents()).NoDefault();
    P.Object("Bevel", &B::Bevel);
    P.Integer("minWidth", &B::minWidth, &B::SetMinWidth).NoDefault();
    P.Integer("minHeight", &B::minHeight, &B::SetMinHeight).NoDefault();
}

void TScaleSettings::Publish(TPublisher<TScaleSettings>& P)
{
    using S = TScaleSettings;
    P.Integer("Color", &S::Color, &S::SetColor).NoDefault().Idents(ColorIdents());
    P.Integer("PointerColor", &S::PointerColor, &S::SetPointerColor).NoDefault().Idents(ColorIdents());
    P.Boolean("DrawLine", &S::DrawLine, &S::SetDrawLine).NoDefault();
    P.Object("Font", &S::Font);
    P.Boolean("PosLeftTop", &S::PosLeftTop, &S::SetPosLeftTop).NoDefault();
    P.Integer("Steps", &S::Steps, &S::SetSteps).NoDefault();
    P.Integer("SubSteps", &S::SubSteps, &S::SetSubSteps).NoDefault();
    P.String("ValueFormat", &S::ValueFormat, &S::SetValueFormat).NoDefault();
    P.String("ValueFormatLog", &S::ValueFormatLog, &S::SetValueFormatLog).NoDefault();
}

// ------------------------------------------------------------------ registration

void RegisterIcClasses()
{
    RegisterClasses({TIcNumEdit::StaticClass(), TIcNumSpin::StaticClass(), TIcSpinButton::StaticClass(),
                     TIcTimerSpeedBtn::StaticClass(), TIcFlash::StaticClass(), TIcFlashTimer::StaticClass()});
}
