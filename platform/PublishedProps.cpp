#include "platform/PublishedProps.h"

const TIdentMap& ColorIdents()
{
    static const TIdentMap M{
        {clBlack, "clBlack"},
        {clMaroon, "clMaroon"},
        {clGreen, "clGreen"},
        {clOlive, "clOlive"},
        {clNavy, "clNavy"},
        {clPurple, "clPurple"},
        {clTeal, "clTeal"},
        {clGray, "clGray"},
        {clSilver, "clSilver"},
        {clRed, "clRed"},
        {clLime, "clLime"},
        {clYellow, "clYellow"},
        {clBlue, "clBlue"},
        {clFuchsia, "clFuchsia"},
        {clAqua, "clAqua"},
        {clWhite, "clWhite"},
        {clMoneyGreen, "clMoneyGreen"},
        {clSkyBlue, "clSkyBlue"},
        {clCream, "clCream"},
        {clMedGray, "clMedGray"},
        {clLtGray, "clLtGray"},
        {clDkGray, "clDkGray"},
        {clScrollBar, "clScrollBar"},
        {clBackground, "clBackground"},
        {clActiveCaption, "clActiveCaption"},
        {clInactiveCaption, "clInactiveCaption"},
        {clMenu, "clMenu"},
        {clWindow, "clWindow"},
        {clWindowFrame, "clWindowFrame"},
        {clMenuText, "clMenuText"},
        {clWindowText, "clWindowText"},
        {clCaptionText, "clCaptionText"},
        {clActiveBorder, "clActiveBorder"},
        {clInactiveBorder, "clInactiveBorder"},
        {clAppWorkSpace, "clAppWorkSpace"},
        {clHighlight, "clHighlight"},
        {clHighlightText, "clHighlightText"},
        {clBtnFace, "clBtnFace"},
        {clBtnShadow, "clBtnShadow"},
        {clGrayText, "clGrayText"},
        {clBtnText, "clBtnText"},
        {clInactiveCaptionText, "clInactiveCaptionText"},
        {clBtnHighlight, "clBtnHighlight"},
        {cl3DDkShadow, "cl3DDkShadow"},
        {cl3DLight, "cl3DLight"},
        {clInfoText, "clInfoText"},
        {clInfoBk, "clInfoBk"},
        {clHotLight, "clHotLight"},
        {clGradientActiveCaption, "clGradientActiveCaption"},
        {clGradientInactiveCaption, "clGradientInactiveCaption"},
        {clMenuHighlight, "clMenuHighlight"},
        {clMenuBar, "clMenuBar"},
        {clNone, "clNone"},
        {clDefault, "clDefault"},
    };
    return M;
}

bool ColorToIdent(TColor Color, std::string& Ident)
{
    const char* Name = ColorIdents().ToIdent(Color);
    if (!Name)
        return false;
    Ident = Name;
    return true;
}

bool IdentToColor(const std::string& Ident, TColor& Color)
{
    int64_t V = 0;
    if (!ColorIdents().ToValue(Ident, V))
        return false;
    Color = static_cast<TColor>(V);
    return true;
}

const TIdentMap& PenStyleIdents()
{
    static const TIdentMap M = TIdentMap::Names(
        {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame", "psAlternate"});
    return M;
}

const TIdentMap& PenModeIdents()
{
    static const TIdentMap M =
        TIdentMap::Names({"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot",
                          "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask",
                          "pmNotMask", "pmXor", "pmNotXor"});
    return M;
}

const TIdentMap& PenEndCapIdents()
{
    static const TIdentMap M = TIdentMap::Names({"pecRound", "pecSquare", "pecFlat"});
    return M;
}

const TIdentMap& PenJoinStyleIdents()
{
    static const TIdentMap M = TIdentMap::Names({"pjsRound", "pjsBevel", "pjsMiter"});
    return M;
}

const TIdentMap& BrushStyleIdents()
{
    static const TIdentMap M = TIdentMap::Names(
        {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"});
    return M;
}

const TIdentMap& FontStyleIdents()
{
    static const TIdentMap M = TIdentMap::Names({"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
    return M;
}

const TIdentMap& FontPitchIdents()
{
    static const TIdentMap M = TIdentMap::Names({"fpDefault", "fpVariable", "fpFixed"});
    return M;
}

const TIdentMap& CharsetIdents()
{
    static const TIdentMap M{
        {ANSI_CHARSET, "ANSI_CHARSET"},
        {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
        {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
        {OEM_CHARSET, "OEM_CHARSET"},
    };
    return M;
}

const TIdentMap& AlignIdents()
{
    static const TIdentMap M = TIdentMap::Names({"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
    return M;
}

const TIdentMap& CursorIdents()
{
    static const TIdentMap M{
        {crDefault, "crDefault"},   {crNone, "crNone"},         {crArrow, "crArrow"},
        {crCross, "crCross"},       {crIBeam, "crIBeam"},       {crSizeNESW, "crSizeNESW"},
        {crSizeNS, "crSizeNS"},     {crSizeNWSE, "crSizeNWSE"}, {crSizeWE, "crSizeWE"},
        {crUpArrow, "crUpArrow"},   {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
        {crNoDrop, "crNoDrop"},     {crHSplit, "crHSplit"},     {crVSplit, "crVSplit"},
        {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"}, {crNo, "crNo"},
        {crAppStart, "crAppStart"}, {crHelp, "crHelp"},         {crHandPoint, "crHandPoint"},
        {crSizeAll, "crSizeAll"},
    };
    return M;
}

const TIdentMap& AnchorIdents()
{
    static const TIdentMap M = TIdentMap::Names({"akLeft", "akTop", "akRight", "akBottom"});
    return M;
}

const TIdentMap& DragModeIdents()
{
    static const TIdentMap M = TIdentMap::Names({"dmManual", "dmAutomatic"});
    return M;
}

const TIdentMap& DragKindIdents()
{
    static const TIdentMap M = TIdentMap::Names({"dkDrag", "dkDock"});
    return M;
}

namespace {

const TIdentMap& PopupAlignmentIdents()
{
    static const TIdentMap M = TIdentMap::Names({"paLeft", "paRight", "paCenter"});
    return M;
}

// A form that holds menus reads them back.
const bool MenuClassesRegistered =
    (RegisterClasses({TMainMenu::StaticClass(), TPopupMenu::StaticClass(), TMenuItem::StaticClass()}), true);

}  // namespace

// ------------------------------------------------------------------ tables

void TPen::Publish(TPublisher<TPen>& P)
{
    P.Integer("Color", &TPen::Color, &TPen::SetColor).Default(clBlack).Idents(ColorIdents());
    P.Enumeration("Mode", &TPen::Mode, &TPen::SetMode, PenModeIdents()).Default(pmCopy);
    P.Enumeration("Style", &TPen::Style, &TPen::SetStyle, PenStyleIdents()).Default(psSolid);
    P.Integer("Width", &TPen::Width, &TPen::SetWidth).Default(1);
    P.Enumeration("EndCap", &TPen::EndCap, &TPen::SetEndCap, PenEndCapIdents()).Default(pecRound);
    P.Enumeration("JoinStyle", &TPen::JoinStyle, &TPen::SetJoinStyle, PenJoinStyleIdents()).Default(pjsRound);
}

void TBrush::Publish(TPublisher<TBrush>& P)
{
    P.Integer("Color", &TBrush::Color, &TBrush::SetColor).Default(clWhite).Idents(ColorIdents());
    P.Enumeration("Style", &TBrush::Style, &TBrush::SetStyle, BrushStyleIdents()).Default(bsSolid);
}

// Height is stored; Size is read (it sets Height) and never written. The
// defaults are the font's own (TFont::Defaults).
void TFont::Publish(TPublisher<TFont>& P)
{
    using F = TFont;
    P.Integer("Charset", &F::Charset, &F::SetCharset)
        .DefaultOf([](F& Font) { return Font.Defaults().Charset; })
        .Idents(CharsetIdents());
    P.Integer("Color", &F::Color, &F::SetColor)
        .DefaultOf([](F& Font) { return Font.Defaults().Color; })
        .Idents(ColorIdents());
    P.Integer("Height", &F::Height, &F::SetHeight).DefaultOf([](F& Font) { return Font.Defaults().Height; });
    P.String("Name", &F::Name, &F::SetName).DefaultOf([](F& Font) { return Font.Defaults().Name; });
    P.Integer("Orientation", &F::Orientation, &F::SetOrientation)
        .DefaultOf([](F& Font) { return Font.Defaults().Orientation; });
    P.Enumeration("Pitch", &F::Pitch, &F::SetPitch, FontPitchIdents())
        .DefaultOf([](F& Font) { return Font.Defaults().Pitch; });
    P.Integer("Size", &F::Size, &F::SetSize).Stored(false);
    P.Set("Style", &F::Style, &F::SetStyle, FontStyleIdents()).DefaultOf([](F& Font) { return Font.Defaults().Style; });
}

void TSizeConstraints::Publish(TPublisher<TSizeConstraints>& P)
{
    using C = TSizeConstraints;
    P.Integer("MaxHeight", &C::MaxHeight, &C::SetMaxHeight).Default(0);
    P.Integer("MaxWidth", &C::MaxWidth, &C::SetMaxWidth).Default(0);
    P.Integer("MinHeight", &C::MinHeight, &C::SetMinHeight).Default(0);
    P.Integer("MinWidth", &C::MinWidth, &C::SetMinWidth).Default(0);
}

// Color, Font and ShowHint are stored only while the control has its own.
void TControl::Publish(TPublisher<TControl>& P)
{
    P.Integer("Left", &TControl::Left, &TControl::SetLeft);
    P.Integer("Top", &TControl::Top, &TControl::SetTop);
    P.Integer("Width", &TControl::Width, &TControl::SetWidth);
    P.Integer("Height", &TControl::Height, &TControl::SetHeight);
    P.Enumeration("Align", &TControl::Align, &TControl::SetAlign, AlignIdents()).Default(alNone);
    P.Boolean("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
    P.Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
    P.Integer("Color", &TControl::Color, &TControl::SetColor)
        .Idents(ColorIdents())
        .Stored([](TControl& C) { return !C.ParentColor(); });
    P.Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(true);
    P.Object("Font", &TControl::StoredFont).Stored([](TControl& C) { return !C.ParentFont(); });
    P.String("Hint", &TControl::Hint, &TControl::SetHint).Default("");
    P.Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
        .Default(false)
        .Stored([](TControl& C) { return !C.ParentShowHint(); });
    P.Integer("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault).Idents(CursorIdents());
}

void TControl::SetParentComponent(TComponent* Value)
{
    if (auto* W = dynamic_cast<TWinControl*>(Value))
        SetParent(W);
}

void TMenuItem::Publish(TPublisher<TMenuItem>& P)
{
    using I = TMenuItem;
    P.String("Caption", &I::Caption, &I::SetCaption).Default("");
    P.Boolean("Checked", &I::Checked, &I::SetChecked).Default(false);
    P.Boolean("Enabled", &I::Enabled, &I::SetEnabled).Default(true);
    P.Integer("GroupIndex", &I::GroupIndex, &I::SetGroupIndex).Default(0);
    P.String("Hint", &I::Hint, &I::SetHint).Default("");
    P.Integer("ImageIndex", &I::ImageIndex, &I::SetImageIndex).Default(-1);
    P.Boolean("RadioItem", &I::RadioItem, &I::SetRadioItem).Default(false);
    P.Integer("ShortCut", &I::ShortCut, &I::SetShortCut).Default(scNone);
    P.Boolean("Visible", &I::Visible, &I::SetVisible).Default(true);
}

void TPopupMenu::Publish(TPublisher<TPopupMenu>& P)
{
    using M = TPopupMenu;
    P.Enumeration("Alignment", &M::Alignment, &M::SetAlignment, PopupAlignmentIdents())
        .Default(TPopupAlignment::paLeft);
    P.Boolean("AutoPopup", &M::AutoPopup, &M::SetAutoPopup).Default(true);
}
