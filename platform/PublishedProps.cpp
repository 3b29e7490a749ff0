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

// Height is stored; Size is read (it sets Height) and never written.
void TFont::Publish(TPublisher<TFont>& P)
{
    P.Integer("Charset", &TFont::Charset, &TFont::SetCharset).Default(DEFAULT_CHARSET).Idents(CharsetIdents());
    P.Integer("Color", &TFont::Color, &TFont::SetColor).Default(clWindowText).Idents(ColorIdents());
    P.Integer("Height", &TFont::Height, &TFont::SetHeight).Default(-11);
    P.String("Name", &TFont::Name, &TFont::SetName).Default("MS Sans Serif");
    P.Integer("Orientation", &TFont::Orientation, &TFont::SetOrientation).Default(0);
    P.Enumeration("Pitch", &TFont::Pitch, &TFont::SetPitch, FontPitchIdents()).Default(fpDefault);
    P.Integer("Size", &TFont::Size, &TFont::SetSize).Stored(false);
    P.Set("Style", &TFont::Style, &TFont::SetStyle, FontStyleIdents()).Default(TFontStyles{});
}

// Color is stored only while the control has a colour of its own.
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
    P.Object("Font", &TControl::Font);
    P.String("Hint", &TControl::Hint, &TControl::SetHint).Default("");
    P.Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Default(false);
    P.Integer("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault).Idents(CursorIdents());
}

void TControl::SetParentComponent(TComponent* Value)
{
    if (auto* W = dynamic_cast<TWinControl*>(Value))
        SetParent(W);
}
