// The published properties of the chart classes (what a stored form holds
// of pens, brushes, fonts, gradients, shadows, shapes, titles, walls, the
// legend, axes, marks, series, tools and the chart itself), the values they
// store besides ("BorderStyle", the older zoom names, "PrintMargins",
// "ShadowColor", "ShadowSize", "BackColor", "ColorPaletteIndex", "Multiplier",
// "AxisID", the marks' "Items"), the stored children of a chart, and the
// registration of the classes a stored chart form creates.
//
// Defaults are those the classes construct with; where an owner gives a part
// another value the part keeps that default beside it (the Default... fields
// and Is...Stored rules), so a new chart writes nothing but its bounds.
#include "chart/ChEngine.h"
#include "chart/ChFunctions.h"
#include "chart/ChLegend.h"
#include "chart/ChMarks.h"
#include "chart/Chart.h"
#include "chart/ChartRegistry.h"
#include "chart/DBChart.h"
#include "chart/Series.h"
#include "chart/SeriesArea.h"
#include "chart/SeriesBar.h"
#include "chart/SeriesLine.h"
#include "chart/SeriesPie.h"
#include "platform/Filer.h"
#include "platform/PublishedProps.h"
#include "platform/ScopeGuard.h"
#include "platform/Streams.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const TIdentMap& PenEndStyleIdents()
{
    static const TIdentMap M = TIdentMap::Names({"esRound", "esSquare", "esFlat"});
    return M;
}

const TIdentMap& GradientDirectionIdents()
{
    static const TIdentMap M =
        TIdentMap::Names({"gdTopBottom", "gdBottomTop", "gdLeftRight", "gdRightLeft", "gdFromCenter",
                          "gdFromTopLeft", "gdFromBottomLeft", "gdRadial", "gdDiagonalUp", "gdDiagonalDown"});
    return M;
}

const TIdentMap& ZoomDirectionIdents()
{
    static const TIdentMap M = TIdentMap::Names({"tzdHorizontal", "tzdVertical", "tzdBoth"});
    return M;
}

const TIdentMap& MouseButtonIdents()
{
    static const TIdentMap M = TIdentMap::Names({"mbLeft", "mbRight", "mbMiddle"});
    return M;
}

const TIdentMap& BackImageModeIdents()
{
    static const TIdentMap M = TIdentMap::Names({"pbmStretch", "pbmTile", "pbmCenter", "pbmCustom"});
    return M;
}

const TIdentMap& PanningModeIdents()
{
    static const TIdentMap M = TIdentMap::Names({"pmNone", "pmHorizontal", "pmVertical", "pmBoth"});
    return M;
}

const TIdentMap& UnitsIdents()
{
    static const TIdentMap M = TIdentMap::Names({"muPercent", "muPixels"});
    return M;
}

const TIdentMap& BevelIdents()
{
    static const TIdentMap M = TIdentMap::Names({"bvNone", "bvLowered", "bvRaised", "bvSpace"});
    return M;
}

const TIdentMap& ObjectShapeStyleIdents()
{
    static const TIdentMap M = TIdentMap::Names({"fosRectangle", "fosRoundRectangle"});
    return M;
}

const TIdentMap& AlignmentIdents()
{
    static const TIdentMap M = TIdentMap::Names({"taLeftJustify", "taRightJustify", "taCenter"});
    return M;
}

const TIdentMap& LegendAlignmentIdents()
{
    static const TIdentMap M = TIdentMap::Names({"laLeft", "laRight", "laTop", "laBottom"});
    return M;
}

const TIdentMap& LegendStyleIdents()
{
    static const TIdentMap M = TIdentMap::Names({"lsAuto", "lsSeries", "lsValues", "lsLastValues"});
    return M;
}

const TIdentMap& CheckBoxesStyleIdents()
{
    static const TIdentMap M = TIdentMap::Names({"cbsCheck", "cbsRadio"});
    return M;
}

const TIdentMap& LegendTextStyleIdents()
{
    static const TIdentMap M =
        TIdentMap::Names({"ltsPlain", "ltsLeftValue", "ltsRightValue", "ltsLeftPercent", "ltsRightPercent",
                          "ltsXValue", "ltsValue", "ltsPercent", "ltsXAndValue", "ltsXAndPercent"});
    return M;
}

const TIdentMap& SymbolPositionIdents()
{
    static const TIdentMap M = TIdentMap::Names({"spLeft", "spRight"});
    return M;
}

const TIdentMap& SymbolSizeIdents()
{
    static const TIdentMap M = TIdentMap::Names({"lcsPercent", "lcsPixels"});
    return M;
}

const TIdentMap& MarksStyleIdents()
{
    static const TIdentMap M =
        TIdentMap::Names({"smsValue", "smsPercent", "smsLabel", "smsLabelPercent", "smsLabelValue", "smsLegend",
                          "smsPercentTotal", "smsLabelPercentTotal", "smsXValue", "smsXY"});
    return M;
}

const TIdentMap& ListOrderIdents()
{
    static const TIdentMap M = TIdentMap::Names({"loNone", "loAscending", "loDescending"});
    return M;
}

const TIdentMap& HorizAxisIdents()
{
    static const TIdentMap M = TIdentMap::Names({"aTopAxis", "aBottomAxis", "aBothHorizAxis", "aCustomHorizAxis"});
    return M;
}

const TIdentMap& VertAxisIdents()
{
    static const TIdentMap M = TIdentMap::Names({"aLeftAxis", "aRightAxis", "aBothVertAxis", "aCustomVertAxis"});
    return M;
}

const TIdentMap& AxisLabelStyleIdents()
{
    static const TIdentMap M = TIdentMap::Names({"talAuto", "talNone", "talValue", "talMark", "talText"});
    return M;
}

const TIdentMap& AxisLabelAlignIdents()
{
    static const TIdentMap M = TIdentMap::Names({"alDefault", "alOpposite"});
    return M;
}

// A colour stored as a name (clRed) or a number.
TColor ReadColorValue(TReader* R)
{
    if (R->NextValue() == vaIdent) {
        const std::string Name = R->ReadIdent();
        TColor C = clBlack;
        if (!IdentToColor(Name, C))
            R->Error("\"" + Name + "\" names no colour");
        return C;
    }
    const int64_t V = R->ReadInt64();
    if (V < INT32_MIN || V > INT32_MAX)
        R->Error("colour " + std::to_string(V) + " out of range");
    return static_cast<TColor>(V);
}

bool ReadBooleanOf(TReader* R)
{
    return R->ReadBoolean();
}

// Source takes its data from Dest, directly or through other series.
bool FeedsFrom(TChartSeries* Source, const TChartSeries* Dest)
{
    std::vector<TChartSeries*> Pending{Source};
    std::vector<TChartSeries*> Seen;
    while (!Pending.empty()) {
        TChartSeries* S = Pending.back();
        Pending.pop_back();
        if (S == Dest)
            return true;
        if (std::find(Seen.begin(), Seen.end(), S) != Seen.end())
            continue;
        Seen.push_back(S);
        for (int i = 0; i < S->DataSources().Count(); ++i)
            if (auto* Next = dynamic_cast<TChartSeries*>(S->DataSources()[i]))
                Pending.push_back(Next);
    }
    return false;
}

// A stored data source the chart refuses, or one that would close a circle
// of series feeding each other, is dropped like an unknown name.
void StoredDataSource(TChartSeries& Series, TComponent* Value)
{
    TCustomAxisPanel* Chart = Series.ParentChart();
    if (Value != nullptr && (Chart == nullptr || !Chart->IsValidDataSource(&Series, Value)))
        return;
    if (auto* Source = dynamic_cast<TChartSeries*>(Value); Source != nullptr && FeedsFrom(Source, &Series))
        return;
    Series.SetDataSource(Value);
}

}  // namespace

// ------------------------------------------------------------------ pens, brushes, fonts

void TChartPen::Publish(TPublisher<TChartPen>& P)
{
    P.Enumeration("EndStyle", &TChartPen::EndStyle, &TChartPen::SetEndStyle, PenEndStyleIdents())
        .Stored(&TChartPen::IsEndStyleStored);
    P.Redeclare("Width").NoDefault().Stored(&TChartPen::IsWidthStored);
    P.Boolean("SmallDots", &TChartPen::SmallDots, &TChartPen::SetSmallDots).Stored(&TChartPen::IsSmallDotsStored);
    P.Boolean("Visible", &TChartPen::Visible, &TChartPen::SetVisible).Stored(&TChartPen::IsVisibleStored);
}

void TChartHiddenPen::Publish(TPublisher<TChartHiddenPen>&) {}

void TDottedGrayPen::Publish(TPublisher<TDottedGrayPen>& P)
{
    P.Redeclare("Color").Default(clGray);
    P.Redeclare("Style").Default(psDot);
}

void TDarkGrayPen::Publish(TPublisher<TDarkGrayPen>& P)
{
    P.Redeclare("Color").Default(clGray);
}

void TWhitePen::Publish(TPublisher<TWhitePen>& P)
{
    P.Redeclare("Color").Default(clWhite);
}

void TChartBrush::Publish(TPublisher<TChartBrush>& P)
{
    P.Redeclare("Color").Default(clSeriesDefault);
}

void TChZoomPen::Publish(TPublisher<TChZoomPen>& P)
{
    P.Redeclare("Color").NoDefault().Stored(&TChZoomPen::IsColorStored);
}

void TChZoomBrush::Publish(TPublisher<TChZoomBrush>& P)
{
    P.Redeclare("Color").Default(clWhite);
    P.Redeclare("Style").Default(bsClear);
}

void TChFont::Publish(TPublisher<TChFont>& P)
{
    P.Redeclare("Color").NoDefault().Stored(&TChFont::IsColorStored);
    P.Redeclare("Height").NoDefault().Stored(&TChFont::IsHeightStored);
    P.Redeclare("Name").NoDefault().Stored(&TChFont::IsNameStored);
    P.Redeclare("Style").NoDefault().Stored(&TChFont::IsStyleStored);
    P.Object("Gradient", &TChFont::Gradient).Stored(&TChFont::HasGradient);
    P.Integer("InterCharSize", &TChFont::InterCharSize, &TChFont::SetInterCharSize).Default(0);
    P.Object("OutLine", &TChFont::OutLine).Stored(&TChFont::HasOutLine);
    P.Object("Shadow", &TChFont::Shadow).Stored(&TChFont::HasShadow);
}

void TView3DOptions::Publish(TPublisher<TView3DOptions>& P)
{
    using V = TView3DOptions;
    P.Integer("Elevation", &V::Elevation, &V::SetElevation).Default(345);
    P.Integer("FontZoom", &V::FontZoom, &V::SetFontZoom).Default(100);
    P.Integer("HorizOffset", &V::HorizOffset, &V::SetHorizOffset).Default(0);
    P.Integer("OrthoAngle", &V::OrthoAngle, &V::SetOrthoAngle).Default(45);
    P.Boolean("Orthogonal", &V::Orthogonal, &V::SetOrthogonal).Default(true);
    P.Integer("Perspective", &V::Perspective, &V::SetPerspective).Default(15);
    P.Integer("Rotation", &V::Rotation, &V::SetRotation).Default(345);
    P.Integer("Tilt", &V::Tilt, &V::SetTilt).Default(0);
    P.Integer("VertOffset", &V::VertOffset, &V::SetVertOffset).Default(0);
    P.Integer("Zoom", &V::Zoom, &V::SetZoom).Default(100);
    P.Boolean("ZoomText", &V::ZoomText, &V::SetZoomText).Default(true);
}

void TCustomChGradient::Publish(TPublisher<TCustomChGradient>& P)
{
    using G = TCustomChGradient;
    P.Integer("Balance", &G::Balance, &G::SetBalance).Default(50);
    P.Enumeration("Direction", &G::Direction, &G::SetDirection, GradientDirectionIdents()).Default(gdTopBottom);
    P.Integer("EndColor", &G::EndColor, &G::SetEndColor).Idents(ColorIdents()).Default(clYellow);
    P.Integer("MidColor", &G::MidColor, &G::SetMidColor).Idents(ColorIdents()).Default(clNone);
    P.Integer("RadialX", &G::RadialX, &G::SetRadialX).Default(0);
    P.Integer("RadialY", &G::RadialY, &G::SetRadialY).Default(0);
    P.Integer("StartColor", &G::StartColor, &G::SetStartColor).Idents(ColorIdents()).Default(clWhite);
    P.Boolean("Visible", &G::Visible, &G::SetVisible).Default(false);
}

void TChFontGradient::Publish(TPublisher<TChFontGradient>& P)
{
    P.Boolean("Outline", &TChFontGradient::Outline, &TChFontGradient::SetOutline).Default(false);
}

void TChShadow::Publish(TPublisher<TChShadow>& P)
{
    using S = TChShadow;
    P.Integer("Color", &S::Color, &S::SetColor).Idents(ColorIdents()).Stored(&S::IsColorStored);
    P.Integer("HorizSize", &S::HorizSize, &S::SetHorizSize).Stored(&S::IsHorizStored);
    P.Boolean("Smooth", &S::Smooth, &S::SetSmooth).Default(true);
    P.Integer("Transparency", &S::Transparency, &S::SetTransparency).Default(0);
    P.Integer("VertSize", &S::VertSize, &S::SetVertSize).Stored(&S::IsVertStored);
}

// ------------------------------------------------------------------ zoom and back image

void TChPicture::DefineProperties(TFiler* Filer)
{
    TPersistent::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "Data",
        [this](TStream* S) {
            // The platform's bitmaps read and write pictures as files named
            // for their format: a new temporary file ending in ".png".
            const auto Temp = TFileStream::CreateTemporary("chpicture", ".png");
            if (S->Size() - S->Position() > 0)
                Temp->CopyFrom(S, S->Size() - S->Position());
            Bitmap()->LoadFromFile(Temp->FileName());
            Changed();
        },
        [this](TStream* S) {
            const auto Temp = TFileStream::CreateTemporary("chpicture", ".png");
            FBitmap->SaveToFile(Temp->FileName());
            S->CopyFrom(Temp.get(), 0);
        },
        FBitmap != nullptr && !FBitmap->Empty());
}

void TChZoom::Publish(TPublisher<TChZoom>& P)
{
    using Z = TChZoom;
    P.Boolean("Allow", &Z::Allow, &Z::SetAllow).Default(true);
    P.Boolean("Animated", &Z::Animated, &Z::SetAnimated).Default(false);
    P.Integer("AnimatedSteps", &Z::AnimatedSteps, &Z::SetAnimatedSteps).Default(8);
    P.Object("Brush", &Z::Brush).Stored(&Z::HasBrush);
    P.Enumeration("Direction", &Z::Direction, &Z::SetDirection, ZoomDirectionIdents()).Default(tzdBoth);
    P.Integer("MinimumPixels", &Z::MinimumPixels, &Z::SetMinimumPixels).Default(16);
    P.Enumeration("MouseButton", &Z::MouseButton, &Z::SetMouseButton, MouseButtonIdents()).Default(mbLeft);
    P.Object("Pen", &Z::Pen).Stored(&Z::HasPen);
    P.Boolean("UpLeftZooms", &Z::UpLeftZooms, &Z::SetUpLeftZooms).Default(false);
}

void TBackImage::Publish(TPublisher<TBackImage>& P)
{
    using B = TBackImage;
    P.Boolean("Inside", &B::Inside, &B::SetInside).Default(false);
    P.Integer("Left", &B::Left, &B::SetLeft).Default(0);
    P.Integer("Top", &B::Top, &B::SetTop).Default(0);
    P.Enumeration("Mode", &B::Mode, &B::SetMode, BackImageModeIdents()).Default(pbmStretch);
}

// ------------------------------------------------------------------ the panel

void TCustomChPanel::Publish(TPublisher<TCustomChPanel>& P)
{
    using C = TCustomChPanel;
    // The panel's own bevels and the control properties a chart shows (the
    // platform's panel publishes none of them). Docking, the panel's
    // AutoSize and Locked are not kept by the platform's panel.
    P.Enumeration("BevelInner", &C::BevelInner, &C::SetBevelInner, BevelIdents()).Default(bvNone);
    P.Enumeration("BevelOuter", &C::BevelOuter, &C::SetBevelOuter, BevelIdents()).Default(bvRaised);
    P.Integer("BevelWidth", &C::BevelWidth, &C::SetBevelWidth).Default(1);
    P.Integer("BorderWidth", &C::BorderWidth, &C::SetBorderWidth).Default(0);
    PublishDragCursor(P);
    PublishDragMode(P);
    PublishParentShowHint(P);
    PublishPopupMenu(P);
    PublishTabOrder(P);
    P.Boolean("TabStop", &C::TabStop, &C::SetTabStop).Default(false);
    P.Boolean("AutoSize", &TCustomPanel::AutoSize, &TCustomPanel::SetAutoSize).Default(false);
    PublishAnchors(P);
    PublishConstraints(P);
    PublishDragKind(P);
    P.Object("Border", &C::Border);
    P.Integer("BorderRound", &C::BorderRound, &C::SetBorderRound).Default(0);
    P.Integer("MarginBottom", &C::MarginBottom, &C::SetMarginBottom).Default(4);
    P.Integer("MarginLeft", &C::MarginLeft, &C::SetMarginLeft).Default(3);
    P.Integer("MarginRight", &C::MarginRight, &C::SetMarginRight).Default(3);
    P.Integer("MarginTop", &C::MarginTop, &C::SetMarginTop).Default(4);
    P.Enumeration("MarginUnits", &C::MarginUnits, &C::SetMarginUnits, UnitsIdents()).Default(muPercent);
    P.Boolean("Monochrome", &C::Monochrome, &C::SetMonochrome).Default(false);
    P.Boolean("PrintProportional", &C::PrintProportional, &C::SetPrintProportional).Default(true);
    P.Object("Shadow", &C::Shadow);
    P.Boolean("View3D", &C::View3D, &C::SetView3D).Default(true);
    P.Object("View3DOptions", &C::View3DOptions);
}

// "BorderStyle" of older forms: read, never written.
void TCustomChPanel::DefineProperties(TFiler* Filer)
{
    TCustomPanelNoCaption::DefineProperties(Filer);
    Filer->DefineProperty(
        "BorderStyle", [this](TReader* R) { ReadBorderStyle(R->ReadIdent()); }, nullptr, false);
}

void TCustomChPanelExtended::Publish(TPublisher<TCustomChPanelExtended>& P)
{
    using C = TCustomChPanelExtended;
    P.Enumeration("AllowPanning", &C::AllowPanning, &C::SetAllowPanning, PanningModeIdents()).Default(pmBoth);
    P.Object("BackImage", &C::BackImage).Stored(&C::HasBackImage);
    P.Object("Gradient", &C::Gradient).Stored(&C::HasGradient);
    P.Object("Zoom", &C::Zoom);
}

// The print margins, and the zoom settings of older forms (read only).
void TCustomChPanelExtended::DefineProperties(TFiler* Filer)
{
    TCustomChPanel::DefineProperties(Filer);
    Filer->DefineProperty(
        "AllowZoom", [this](TReader* R) { SetAllowZoom(ReadBooleanOf(R)); }, nullptr, false);
    Filer->DefineProperty(
        "AnimatedZoom", [this](TReader* R) { SetAnimatedZoom(ReadBooleanOf(R)); }, nullptr, false);
    Filer->DefineProperty(
        "AnimatedZoomSteps", [this](TReader* R) { SetAnimatedZoomSteps(R->ReadInteger()); }, nullptr, false);
    Filer->DefineProperty(
        "PrintMargins",
        [this](TReader* R) {
            R->ReadListBegin();
            int V[4];
            for (int& X : V)
                X = R->ReadInteger();
            R->ReadListEnd();
            SetPrintMargins(TRect{V[0], V[1], V[2], V[3]});
        },
        [this](TWriter* W) {
            W->WriteListBegin();
            W->WriteInteger(PrintMargins().Left);
            W->WriteInteger(PrintMargins().Top);
            W->WriteInteger(PrintMargins().Right);
            W->WriteInteger(PrintMargins().Bottom);
            W->WriteListEnd();
        },
        IsPrintMarginsStored());
}

// ------------------------------------------------------------------ shapes

void TChCustomShapeBrushPen::Publish(TPublisher<TChCustomShapeBrushPen>& P)
{
    using S = TChCustomShapeBrushPen;
    P.Object("Brush", &S::Brush);
    P.Object("Pen", &S::Pen);
    P.Boolean("Visible", &S::Visible, &S::SetVisible).Default(true);
}

void TChCustomShape::Publish(TPublisher<TChCustomShape>& P)
{
    using S = TChCustomShape;
    P.Enumeration("Bevel", &S::Bevel, &S::SetBevel, BevelIdents()).Default(bvNone);
    P.Integer("BevelWidth", &S::BevelWidth, &S::SetBevelWidth).Default(2);
    P.Integer("Color", &S::Color, &S::SetColor).Idents(ColorIdents()).Default(clWhite);
    P.Object("Font", &S::Font);
    P.Object("Gradient", &S::Gradient).Stored(&S::HasGradient);
    P.Object("Shadow", &S::Shadow).Stored(&S::HasShadow);
    P.Enumeration("ShapeStyle", &S::ShapeStyle, &S::SetShapeStyle, ObjectShapeStyleIdents()).Default(fosRectangle);
    P.Boolean("Transparent", &S::Transparent, &S::SetTransparent).Stored(&S::IsTransparentStored);
    P.Integer("Transparency", &S::Transparency, &S::SetTransparency).Default(0);
}

// "ShadowColor" and "ShadowSize" of older forms: read into the shadow, never written.
void TChCustomShape::DefineProperties(TFiler* Filer)
{
    TChCustomShapeBrushPen::DefineProperties(Filer);
    Filer->DefineProperty(
        "ShadowColor", [this](TReader* R) { SetShadowColor(ReadColorValue(R)); }, nullptr, false);
    Filer->DefineProperty(
        "ShadowSize", [this](TReader* R) { SetShadowSize(R->ReadInteger()); }, nullptr, false);
}

void TChCustomShapePosition::Publish(TPublisher<TChCustomShapePosition>& P)
{
    using S = TChCustomShapePosition;
    P.Boolean("CustomPosition", &S::CustomPosition, &S::SetCustomPosition).Default(false);
    P.Integer("Left", &S::Left, &S::SetLeft).Stored(&S::CustomPosition);
    P.Integer("Top", &S::Top, &S::SetTop).Stored(&S::CustomPosition);
}

// ------------------------------------------------------------------ titles, walls, legend

void TChartTitle::Publish(TPublisher<TChartTitle>& P)
{
    using T = TChartTitle;
    P.Boolean("AdjustFrame", &T::AdjustFrame, &T::SetAdjustFrame).Default(true);
    P.Enumeration("Alignment", &T::Alignment, &T::SetAlignment, AlignmentIdents()).Default(taCenter);
    P.Object("Text", &T::Text);
    P.Alias("Frame", "Pen");
}

void TCustomChartWall::Publish(TPublisher<TCustomChartWall>& P)
{
    using W = TCustomChartWall;
    P.Boolean("AutoHide", &W::AutoHide, &W::SetAutoHide).Default(false);
    P.Redeclare("Color").NoDefault().Stored(&W::IsColorStored);
    P.Boolean("Dark3D", &W::Dark3D, &W::SetDark3D).Default(true);
    P.Integer("Size", &W::Size, &W::SetSize).Default(0);
}

void TChartBackWall::Publish(TPublisher<TChartBackWall>&) {}

void TChartRightWall::Publish(TPublisher<TChartRightWall>& P)
{
    P.Redeclare("Visible").Default(false);
}

void TLegendSymbol::Publish(TPublisher<TLegendSymbol>& P)
{
    using S = TLegendSymbol;
    P.Boolean("Continuous", &S::Continuous, &S::SetContinuous).Default(false);
    P.Boolean("DefaultPen", &S::DefaultPen, &S::SetDefaultPen).Default(true);
    P.Object("Pen", &S::Pen);
    P.Enumeration("Position", &S::Position, &S::SetPosition, SymbolPositionIdents()).Default(spLeft);
    P.Boolean("Squared", &S::Squared, &S::SetSquared).Default(false);
    P.Boolean("Visible", &S::Visible, &S::SetVisible).Default(true);
    P.Integer("Width", &S::Width, &S::SetWidth).Default(20);
    P.Enumeration("WidthUnits", &S::WidthUnits, &S::SetWidthUnits, SymbolSizeIdents()).Default(lcsPercent);
}

void TLegendTitle::Publish(TPublisher<TLegendTitle>& P)
{
    P.Object("Text", &TLegendTitle::Text);
    P.Enumeration("TextAlignment", &TLegendTitle::TextAlignment, &TLegendTitle::SetTextAlignment, AlignmentIdents())
        .Default(taLeftJustify);
}

void TCustomChartLegend::Publish(TPublisher<TCustomChartLegend>& P)
{
    using L = TCustomChartLegend;
    P.Enumeration("Alignment", &L::Alignment, &L::SetAlignment, LegendAlignmentIdents()).Default(laRight);
    P.Boolean("CheckBoxes", &L::CheckBoxes, &L::SetCheckBoxes).Default(false);
    P.Enumeration("CheckBoxesStyle", &L::CheckBoxesStyle, &L::SetCheckBoxesStyle, CheckBoxesStyleIdents())
        .Default(cbsCheck);
    P.Boolean("CurrentPage", &L::CurrentPage, &L::SetCurrentPage).Default(true);
    P.Object("DividingLines", &L::DividingLines);
    P.Integer("FirstValue", &L::FirstValue, &L::SetFirstValue).Default(0);
    P.Boolean("FontSeriesColor", &L::FontSeriesColor, &L::SetFontSeriesColor).Default(false);
    P.Integer("HorizMargin", &L::HorizMargin, &L::SetHorizMargin).Default(0);
    P.Boolean("Inverted", &L::Inverted, &L::SetInverted).Default(false);
    P.Enumeration("LegendStyle", &L::LegendStyle, &L::SetLegendStyle, LegendStyleIdents()).Default(lsAuto);
    P.Integer("MaxNumRows", &L::MaxNumRows, &L::SetMaxNumRows).Default(10);
    P.Boolean("ResizeChart", &L::ResizeChart, &L::SetResizeChart).Default(true);
    P.Component("Series", &L::Series, &L::SetSeries);
    P.Object("Symbol", &L::Symbol);
    P.Enumeration("TextStyle", &L::TextStyle, &L::SetTextStyle, LegendTextStyleIdents()).Default(ltsLeftValue);
    P.Object("Title", &L::Title);
    P.Integer("TopPos", &L::TopPos, &L::SetTopPos).Default(10);
    P.Integer("VertMargin", &L::VertMargin, &L::SetVertMargin).Default(0);
    P.Integer("VertSpacing", &L::VertSpacing, &L::SetVertSpacing).Default(0);
    P.Alias("ColorWidth", "Symbol.Width");
    P.Alias("Frame", "Pen");
}

// ------------------------------------------------------------------ marks

void TSeriesMarks::Publish(TPublisher<TSeriesMarks>& P)
{
    using M = TSeriesMarks;
    P.Integer("Angle", &M::Angle, &M::SetAngle).Default(0);
    P.Object("Callout", &M::Callout).Stored(&M::HasCallout);
    P.Boolean("Clip", &M::Clip, &M::SetClip).Default(false);
    P.Integer("DrawEvery", &M::DrawEvery, &M::SetDrawEvery).Default(1);
    P.Boolean("MultiLine", &M::MultiLine, &M::SetMultiLine).Default(false);
    P.Enumeration("Style", &M::Style, &M::SetStyle, MarksStyleIdents()).Default(smsLabel);
    P.Object("Symbol", &M::Symbol).Stored(&M::HasSymbol);
    P.Redeclare("Color").Default(clInfoBk);
    P.Redeclare("Visible").NoDefault().Stored([](M& X) { return X.Visible() != X.DefaultVisible; });
    P.Alias("Arrow", "Callout.Arrow");
    P.Alias("ArrowLength", "Callout.Length");
}

void TMarksItem::Publish(TPublisher<TMarksItem>& P)
{
    P.Redeclare("Color").Default(clInfoBk);
}

namespace {

// The "Items" bytes: a 4-byte little-endian count, then per slot the item's
// stored values between a list-begin byte (1) and an end byte (0): each value
// a name (length byte and bytes) followed by a typed value. Kinds: 2 integer
// (8 bytes), 3 float (8), 4 string (4-byte length and bytes), 5 False,
// 6 True. Only values that differ from their default are written; an empty
// slot is an empty list.
enum : uint8_t { itEnd = 0, itList = 1, itInteger = 2, itFloat = 3, itString = 4, itFalse = 5, itTrue = 6 };
constexpr int MaxMarkItems = 1 << 20;
constexpr int MaxCustomAxes = 1024;

class TItemWriter {
public:
    explicit TItemWriter(std::string& Out) : FOut(Out) {}
    void U8(uint8_t V) { FOut.push_back(static_cast<char>(V)); }
    void U32(uint32_t V)
    {
        for (int i = 0; i < 4; ++i)
            U8(static_cast<uint8_t>(V >> (8 * i)));
    }
    void U64(uint64_t V)
    {
        for (int i = 0; i < 8; ++i)
            U8(static_cast<uint8_t>(V >> (8 * i)));
    }
    void Name(const std::string& N)
    {
        U8(static_cast<uint8_t>(N.size()));
        FOut += N;
    }
    void Values(TPersistent* Obj, const std::string& Prefix)
    {
        for (const TPropInfo* P : Obj->ClassType()->Properties()) {
            if (P->IsAlias() || !P->IsStored(Obj))
                continue;
            const std::string Path = Prefix + P->Name();
            if (P->Kind() == tkClass) {
                if (TPersistent* Sub = P->GetObject(Obj); Sub != nullptr && Path.size() < 200)
                    Values(Sub, Path + ".");
                continue;
            }
            if (P->Kind() == tkComponent || P->IsDefault(Obj))
                continue;
            Name(Path);
            switch (P->Kind()) {
            case tkFloat: {
                const double D = P->GetFloat(Obj);
                uint64_t Bits;
                std::memcpy(&Bits, &D, sizeof Bits);
                U8(itFloat);
                U64(Bits);
                break;
            }
            case tkString: {
                const std::string S = P->GetString(Obj);
                U8(itString);
                U32(static_cast<uint32_t>(S.size()));
                FOut += S;
                break;
            }
            case tkEnumeration:
                if (P->Idents() == &BooleanIdentMap()) {
                    U8(P->GetOrd(Obj) ? itTrue : itFalse);
                    break;
                }
                [[fallthrough]];
            default:
                U8(itInteger);
                U64(static_cast<uint64_t>(P->GetOrd(Obj)));
            }
        }
    }

private:
    std::string& FOut;
};

class TItemReader {
public:
    TItemReader(const std::string& Bytes, std::string Where) : FBytes(Bytes), FWhere(std::move(Where)) {}
    [[noreturn]] void Fail(const std::string& What) const
    {
        throw EReadError(FWhere + ": " + What + " (byte " + std::to_string(FPos) + ")");
    }
    void Need(size_t N) const
    {
        if (FBytes.size() - FPos < N)
            Fail("cut short");
    }
    uint8_t U8()
    {
        Need(1);
        return static_cast<uint8_t>(FBytes[FPos++]);
    }
    uint32_t U32()
    {
        Need(4);
        uint32_t V = 0;
        for (int i = 0; i < 4; ++i)
            V |= static_cast<uint32_t>(static_cast<uint8_t>(FBytes[FPos++])) << (8 * i);
        return V;
    }
    uint64_t U64()
    {
        Need(8);
        uint64_t V = 0;
        for (int i = 0; i < 8; ++i)
            V |= static_cast<uint64_t>(static_cast<uint8_t>(FBytes[FPos++])) << (8 * i);
        return V;
    }
    std::string Text(size_t N)
    {
        Need(N);
        std::string S = FBytes.substr(FPos, N);
        FPos += N;
        return S;
    }
    size_t Remaining() const { return FBytes.size() - FPos; }
    // Skips an empty list; false (nothing read) when the next list holds values.
    bool SkipEmptyList()
    {
        if (Remaining() < 2 || FBytes[FPos] != itList || FBytes[FPos + 1] != itEnd)
            return false;
        FPos += 2;
        return true;
    }

    // One item's values up to its end byte.
    void Values(TPersistent* Item)
    {
        if (U8() != itList)
            Fail("item list expected");
        for (;;) {
            const uint8_t Len = U8();
            if (Len == itEnd)
                return;
            const std::string Path = Text(Len);
            const TPropInfo* P = nullptr;
            TPersistent* Obj = Find(Item, Path, P);
            const uint8_t Kind = U8();
            Set(Obj, P, Path, Kind);
        }
    }

private:
    TPersistent* Find(TPersistent* Obj, const std::string& Path, const TPropInfo*& Found)
    {
        size_t Start = 0;
        for (int Depth = 0; Depth < 16; ++Depth) {
            const size_t Dot = Path.find('.', Start);
            const std::string Name = Path.substr(Start, Dot == std::string::npos ? std::string::npos : Dot - Start);
            const TPropInfo* P = GetPropInfo(Obj, Name);
            if (P == nullptr || P->IsAlias())
                Fail("unknown property " + Path);
            if (Dot == std::string::npos) {
                Found = P;
                return Obj;
            }
            if (P->Kind() != tkClass || P->GetObject(Obj) == nullptr)
                Fail(Path + " names no part");
            Obj = P->GetObject(Obj);
            Start = Dot + 1;
        }
        Fail("path too deep: " + Path);
    }

    void Set(TPersistent* Obj, const TPropInfo* P, const std::string& Path, uint8_t Kind)
    {
        switch (Kind) {
        case itFalse:
        case itTrue:
            if (P->Kind() != tkEnumeration || P->Idents() != &BooleanIdentMap())
                Fail(Path + " is not a Boolean");
            P->SetOrd(Obj, Kind == itTrue);
            return;
        case itFloat: {
            if (P->Kind() != tkFloat)
                Fail(Path + " is not a number");
            const uint64_t Bits = U64();
            double D;
            std::memcpy(&D, &Bits, sizeof D);
            P->SetFloat(Obj, D);
            return;
        }
        case itString: {
            if (P->Kind() != tkString)
                Fail(Path + " is not a text");
            const uint32_t N = U32();
            if (N > Remaining())
                Fail(Path + " cut short");
            P->SetString(Obj, Text(N));
            return;
        }
        case itInteger: {
            const auto V = static_cast<int64_t>(U64());
            switch (P->Kind()) {
            case tkInteger:
                if (V < P->MinValue() || V > P->MaxValue())
                    Fail(Path + " out of range");
                break;
            case tkEnumeration:
                if (P->Idents()->ToIdent(V) == nullptr)
                    Fail(Path + " holds no value of its kind");
                break;
            case tkSet:
                for (int B = 0; B < 64; ++B)
                    if ((static_cast<uint64_t>(V) >> B & 1u) && P->Idents()->ToIdent(B) == nullptr)
                        Fail(Path + " holds an unknown element");
                break;
            default:
                Fail(Path + " is not a number");
            }
            P->SetOrd(Obj, V);
            return;
        }
        default:
            Fail("unknown value kind " + std::to_string(Kind) + " of " + Path);
        }
    }

    const std::string& FBytes;
    std::string FWhere;
    size_t FPos = 0;
};

}  // namespace

// "Items": the marks of single points styled apart.
void TSeriesMarks::DefineProperties(TFiler* Filer)
{
    TChCustomShape::DefineProperties(Filer);
    int Used = 0;
    for (int i = 0; i < FItems.Count(); ++i)
        if (FItems.Has(i))
            Used = i + 1;
    Filer->DefineBinaryProperty(
        "Items",
        [this](TStream* S) {
            const int64_t Left = S->Size() - S->Position();
            std::string Bytes(static_cast<size_t>(std::max<int64_t>(Left, 0)), '\0');
            if (!Bytes.empty() && S->Read(Bytes.data(), Left) != Left)
                throw EReadError("Marks.Items: stream read failed");
            TItemReader R(Bytes, "Marks.Items");
            const auto Count = static_cast<int32_t>(R.U32());
            FItems.Clear();
            FItems.LoadingCustom = false;
            if (Count < 1)
                return;
            // Every slot takes at least its two list bytes.
            if (Count > MaxMarkItems || static_cast<uint64_t>(Count) * 2 > R.Remaining())
                R.Fail(std::to_string(Count) + " items do not fit");
            FItems.LoadingCustom = true;
            for (int i = 0; i < Count; ++i)
                if (!R.SkipEmptyList())
                    R.Values(FItems.Get(i));
        },
        [this, Used](TStream* S) {
            std::string Out;
            TItemWriter W(Out);
            W.U32(static_cast<uint32_t>(Used));
            for (int i = 0; i < Used; ++i) {
                W.U8(itList);
                if (FItems.Has(i))
                    W.Values(FItems.Get(i), "");
                W.U8(itEnd);
            }
            S->WriteBuffer(Out.data(), static_cast<int64_t>(Out.size()));
        },
        Used > 0);
}

// ------------------------------------------------------------------ value lists, series

void TChartValueList::Publish(TPublisher<TChartValueList>& P)
{
    using L = TChartValueList;
    P.Boolean("DateTime", &L::DateTime, &L::SetDateTime).Stored(&L::IsDateTimeStored);
    // The positions are kept in order unless the form says otherwise.
    P.Enumeration("Order", &L::Order, &L::SetOrder, ListOrderIdents()).Stored([](L& X) {
        const bool Positions = X.HostSeries() != nullptr && X.HostSeries()->NotMandatoryValueList() == &X;
        return X.Order() != (Positions ? loAscending : loNone);
    });
    P.String("ValueSource", &L::ValueSource, &L::SetValueSource).Default("");
}

// "Multiplier" of older forms: read and discarded (with a word to the developer).
void TChartValueList::DefineProperties(TFiler* Filer)
{
    TPersistent::DefineProperties(Filer);
    Filer->DefineProperty(
        "Multiplier", [this](TReader* R) { ReadMultiplier(R->ReadFloat()); }, nullptr, false);
}

void TCustomChartElement::Publish(TPublisher<TCustomChartElement>& P)
{
    P.Boolean("Active", &TCustomChartElement::Active, &TCustomChartElement::SetActive).Default(true);
}

void TCustomChartSeries::Publish(TPublisher<TCustomChartSeries>& P)
{
    using S = TCustomChartSeries;
    P.Boolean("ShowInLegend", &S::ShowInLegend, &S::SetShowInLegend).Default(true);
    P.String("Title", &S::Title, &S::SetTitle).Default("");
}

void TChartSeries::Publish(TPublisher<TChartSeries>& P)
{
    using S = TChartSeries;
    P.Boolean("ColorEachPoint", &S::ColorEachPoint, &S::SetColorEachPoint).Default(false);
    P.String("ColorSource", &S::ColorSource, &S::SetColorSource).Default("");
    P.Integer("Cursor", [](S& X) { return X.Cursor; }, [](S& X, TCursor V) { X.Cursor = V; })
        .Idents(CursorIdents())
        .Default(crDefault);
    P.Component("DataSource", &S::DataSource, &StoredDataSource).Stored([](S& X) {
        return X.DataSources().Count() == 1;
    });
    P.Integer("Depth", [](S& X) { return X.Depth; }, &S::SetDepth).Default(-1);
    P.Enumeration("HorizAxis", &S::HorizAxis, &S::SetHorizAxis, HorizAxisIdents()).Default(aBottomAxis);
    P.Object("Marks", &S::Marks);
    P.String("PercentFormat", &S::PercentFormat, &S::SetPercentFormat)
        .Stored([](S& X) { return X.PercentFormat() != ChMsg_DefPercentFormat; });
    P.Integer("SeriesColor", &S::SeriesColor, &S::SetSeriesColor)
        .Idents(ColorIdents())
        .Stored(&S::IsColorStored);
    P.String("ValueFormat", &S::ValueFormat, &S::SetValueFormat)
        .Stored([](S& X) { return X.ValueFormat() != ChMsg_DefValueFormat; });
    P.Enumeration("VertAxis", &S::VertAxis, &S::SetVertAxis, VertAxisIdents()).Default(aLeftAxis);
    P.String("XLabelsSource", &S::XLabelsSource, &S::SetXLabelsSource).Default("");
    P.Object("XValues", &S::XValues);
    P.Object("YValues", &S::YValues);
}

void TFastLineSeries::Publish(TPublisher<TFastLineSeries>& P)
{
    using S = TFastLineSeries;
    P.Boolean("AutoRepaint", &S::AutoRepaint, &S::SetAutoRepaint).Default(true);
    P.Boolean("DrawAllPoints", &S::DrawAllPoints, &S::SetDrawAllPoints).Default(true);
    P.Boolean("FastPen", &S::FastPen, &S::SetFastPen).Default(false);
    P.Boolean("IgnoreNulls", &S::IgnoreNulls, &S::SetIgnoreNulls).Default(true);
    P.Boolean("InvertedStairs", &S::InvertedStairs, &S::SetInvertedStairs).Default(false);
    P.Object("LinePen", &S::LinePen);
    P.Boolean("Stairs", &S::Stairs, &S::SetStairs).Default(false);
}

// ------------------------------------------------------------------ axes

void TChartAxisTitle::Publish(TPublisher<TChartAxisTitle>& P)
{
    using T = TChartAxisTitle;
    P.Integer("Angle", &T::Angle, &T::SetAngle).Stored([](T& X) { return X.Angle() != X.DefaultAngle; });
    P.String("Caption", &T::Caption, &T::SetCaption).Default("");
}

void TChartAxis::Publish(TPublisher<TChartAxis>& P)
{
    using A = TChartAxis;
    P.Boolean("Automatic", &A::Automatic, &A::SetAutomatic).Default(true);
    P.Boolean("AutomaticMaximum", &A::AutomaticMaximum, &A::SetAutomaticMaximum).Default(true);
    P.Boolean("AutomaticMinimum", &A::AutomaticMinimum, &A::SetAutomaticMinimum).Default(true);
    P.Object("Axis", &A::Axis);
    P.String("AxisValuesFormat", &A::AxisValuesFormat, &A::SetAxisValuesFormat)
        .Stored(&A::IsAxisValuesFormatStored);
    P.String("DateTimeFormat", &A::DateTimeFormat, &A::SetDateTimeFormat).Default("");
    P.Float("EndPosition", &A::EndPosition, &A::SetEndPosition).Stored(&A::IsEndStored);
    P.Boolean("ExactDateTime", &A::ExactDateTime, &A::SetExactDateTime).Default(true);
    P.Object("Grid", &A::Grid);
    P.Boolean("GridCentered", &A::GridCentered, &A::SetGridCentered).Default(false);
    P.Boolean("Horizontal", &A::Horizontal, &A::SetHorizontal).Stored(&A::IsCustom);
    P.Float("Increment", &A::Increment, &A::SetIncrement).Default(0);
    P.Boolean("Inverted", &A::Inverted, &A::SetInverted).Default(false);
    P.Boolean("Labels", &A::Labels, &A::SetLabels).Default(true);
    P.Enumeration("LabelsAlign", &A::LabelsAlign, &A::SetLabelsAlign, AxisLabelAlignIdents()).Default(alDefault);
    P.Boolean("LabelsAlternate", &A::LabelsAlternate, &A::SetLabelsAlternate).Default(false);
    P.Integer("LabelsAngle", &A::LabelsAngle, &A::SetLabelsAngle).Default(0);
    P.Boolean("LabelsExponent", &A::LabelsExponent, &A::SetLabelsExponent).Default(false);
    P.Object("LabelsFont", &A::LabelsFont);
    P.Boolean("LabelsMultiLine", &A::LabelsMultiLine, &A::SetLabelsMultiLine).Default(false);
    P.Boolean("LabelsOnAxis", &A::LabelsOnAxis, &A::SetLabelsOnAxis).Default(true);
    P.Integer("LabelsSeparation", &A::LabelsSeparation, &A::SetLabelsSeparation).Default(10);
    P.Integer("LabelsSize", &A::LabelsSize, &A::SetLabelsSize).Default(0);
    P.Enumeration("LabelStyle", &A::LabelStyle, &A::SetLabelStyle, AxisLabelStyleIdents()).Default(talAuto);
    P.Boolean("Logarithmic", &A::Logarithmic, &A::SetLogarithmic).Default(false);
    P.Float("LogarithmicBase", &A::LogarithmicBase, &A::SetLogarithmicBase).Stored(&A::IsLogBaseStored);
    P.Float("Maximum", &A::Maximum, &A::SetMaximum).Stored(&A::IsMaxStored);
    P.Integer("MaximumOffset", &A::MaximumOffset, &A::SetMaximumOffset).Default(0);
    P.Float("Minimum", &A::Minimum, &A::SetMinimum).Stored(&A::IsMinStored);
    P.Integer("MinimumOffset", &A::MinimumOffset, &A::SetMinimumOffset).Default(0);
    P.Object("MinorGrid", &A::MinorGrid);
    P.Integer("MinorTickCount", &A::MinorTickCount, &A::SetMinorTickCount).Default(3);
    P.Integer("MinorTickLength", &A::MinorTickLength, &A::SetMinorTickLength).Default(2);
    P.Object("MinorTicks", &A::MinorTicks);
    P.Boolean("OtherSide", &A::OtherSide, &A::SetOtherSide).Stored(&A::IsCustom);
    P.Float("PositionPercent", &A::PositionPercent, &A::SetPositionPercent).Stored(&A::IsPosStored);
    P.Enumeration("PositionUnits", &A::PositionUnits, &A::SetPosUnits, UnitsIdents()).Default(muPercent);
    P.Boolean("RoundFirstLabel", &A::RoundFirstLabel, &A::SetRoundFirstLabel).Default(true);
    P.Float("StartPosition", &A::StartPosition, &A::SetStartPosition).Stored(&A::IsStartStored);
    P.Integer("TickInnerLength", &A::TickInnerLength, &A::SetTickInnerLength).Default(0);
    P.Integer("TickLength", &A::TickLength, &A::SetTickLength).Default(4);
    P.Boolean("TickOnLabelsOnly", &A::TickOnLabelsOnly, &A::SetTickOnLabelsOnly).Default(true);
    P.Object("Ticks", &A::Ticks);
    P.Object("TicksInner", &A::TicksInner);
    P.Object("Title", &A::Title);
    P.Integer("TitleSize", &A::TitleSize, &A::SetTitleSize).Default(0);
    P.Boolean("Visible", &A::Visible, &A::SetVisible).Default(true);
    P.Float("ZPosition", &A::ZPosition, &A::SetZPosition).Stored(&A::IsZStored);
}

// The depth axes are hidden until asked for.
void TChartDepthAxis::Publish(TPublisher<TChartDepthAxis>& P)
{
    P.Redeclare("Visible").Default(false);
}

// ------------------------------------------------------------------ tools

void TChCustomToolSeries::Publish(TPublisher<TChCustomToolSeries>& P)
{
    P.Component("Series", &TChCustomToolSeries::Series, &TChCustomToolSeries::SetSeries);
}

// "AxisID": the axis's place in its chart's axes list.
void TChCustomToolAxis::DefineProperties(TFiler* Filer)
{
    TChCustomTool::DefineProperties(Filer);
    Filer->DefineProperty(
        "AxisID",
        [this](TReader* R) {
            const int Index = R->ReadInteger();
            if (FParent == nullptr || Index < 0 || Index >= FParent->AxesList().Count())
                R->Error("AxisID " + std::to_string(Index) + " names no axis of the chart");
            ReadAxisID(Index);
        },
        [this](TWriter* W) { W->WriteInteger(AxisID()); }, IsAxisIDStored() && AxisID() >= 0);
}

// ------------------------------------------------------------------ the chart

void TCustomAxisPanel::Publish(TPublisher<TCustomAxisPanel>& P)
{
    using C = TCustomAxisPanel;
    P.Boolean("AxisBehind", &C::AxisBehind, &C::SetAxisBehind).Default(true);
    P.Boolean("AxisVisible", &C::AxisVisible, &C::SetAxisVisible).Default(true);
    P.Object("BottomAxis", &C::BottomAxis);
    P.Integer("Chart3DPercent", &C::Chart3DPercent, &C::Set3DPercent).Default(15);
    P.Boolean("ClipPoints", &C::ClipPoints, &C::SetClipPoints).Default(true);
    P.Object("DepthAxis", &C::DepthAxis);
    P.Object("DepthTopAxis", &C::DepthTopAxis);
    P.Object("LeftAxis", &C::LeftAxis);
    P.Integer("MaxPointsPerPage", &C::MaxPointsPerPage, &C::SetMaxPointsPerPage).Default(0);
    P.Integer("Page", &C::Page, &C::SetPage).Default(1);
    P.Object("RightAxis", &C::RightAxis);
    P.Boolean("ScaleLastPage", &C::ScaleLastPage, &C::SetScaleLastPage).Default(true);
    P.Object("TopAxis", &C::TopAxis);
    P.Boolean("View3DWalls", &C::View3DWalls, &C::SetView3DWalls).Default(true);
}

void TCustomChart::Publish(TPublisher<TCustomChart>& P)
{
    using C = TCustomChart;
    P.Object("BackWall", &C::BackWall);
    P.Object("BottomWall", &C::BottomWall);
    P.Object("Foot", &C::Foot);
    P.Object("LeftWall", &C::LeftWall);
    P.Object("Legend", &C::Legend);
    P.Object("RightWall", &C::RightWall);
    P.Enumeration("ScrollMouseButton", [](C& X) { return X.ScrollMouseButton; },
                  [](C& X, TMouseButton V) { X.ScrollMouseButton = V; }, MouseButtonIdents())
        .Default(mbRight);
    P.Object("SubFoot", &C::SubFoot);
    P.Object("SubTitle", &C::SubTitle);
    P.Object("Title", &C::Title);
    P.Alias("Frame", "BackWall.Pen");
}

// "BackColor" of older forms (read only) and "ColorPaletteIndex".
void TCustomChart::DefineProperties(TFiler* Filer)
{
    TCustomAxisPanel::DefineProperties(Filer);
    Filer->DefineProperty(
        "BackColor", [this](TReader* R) { SetBackColor(ReadColorValue(R)); }, nullptr, false);
    Filer->DefineProperty(
        "ColorPaletteIndex",
        [this](TReader* R) {
            ColorPaletteIndex = R->ReadInteger();
            if (ColorPaletteIndex > 0)
                TColorPalettes::ApplyPalette(this, ColorPaletteIndex);
        },
        [this](TWriter* W) { W->WriteInteger(ColorPaletteIndex); }, ColorPaletteIndex > 0);
    // The user's axes, in the layout of the marks' "Items" (one list of
    // stored values per axis), read before the series that name them.
    Filer->DefineBinaryProperty(
        "CustomAxes",
        [this](TStream* S) {
            const int64_t Left = S->Size() - S->Position();
            std::string Bytes(static_cast<size_t>(std::max<int64_t>(Left, 0)), '\0');
            if (!Bytes.empty() && S->Read(Bytes.data(), Left) != Left)
                throw EReadError("CustomAxes: stream read failed");
            TItemReader R(Bytes, "CustomAxes");
            const auto Count = static_cast<int32_t>(R.U32());
            if (Count < 0 || Count > MaxCustomAxes || static_cast<uint64_t>(Count) * 2 > R.Remaining())
                R.Fail(std::to_string(Count) + " axes do not fit");
            CustomAxes().Clear();
            for (int i = 0; i < Count; ++i)
                R.Values(CustomAxes().Add());
        },
        [this](TStream* S) {
            std::string Out;
            TItemWriter W(Out);
            W.U32(static_cast<uint32_t>(CustomAxes().Count()));
            for (int i = 0; i < CustomAxes().Count(); ++i) {
                W.U8(itList);
                W.Values(CustomAxes().Get(i), "");
                W.U8(itEnd);
            }
            S->WriteBuffer(Out.data(), static_cast<int64_t>(Out.size()));
        },
        CustomAxes().Count() > 0);
}

// The series of the chart, then its tools.
void TCustomChart::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (int i = 0; i < SeriesCount(); ++i)
        if (Series(i)->Owner() == Root || Series(i)->Owner() == this)
            Proc(Series(i));
    for (int i = 0; i < Tools().Count(); ++i)
        if (Tools()[i]->Owner() == Root || Tools()[i]->Owner() == this)
            Proc(Tools()[i]);
}

void RegisterChartClasses()
{
    RegisterClasses({TChartAxisTitle::StaticClass(), TChartAxis::StaticClass(), TChartDepthAxis::StaticClass(),
                     TSeriesMarks::StaticClass()});
    RegisterClasses({TChart::StaticClass(), TDBChart::StaticClass(), TChartSeries::StaticClass(),
                     TFastLineSeries::StaticClass(), TLineSeries::StaticClass(), THorizLineSeries::StaticClass(),
                     TPointSeries::StaticClass(), TAreaSeries::StaticClass(), THorizAreaSeries::StaticClass(),
                     TBarSeries::StaticClass(), THorizBarSeries::StaticClass(), TPieSeries::StaticClass(),
                     TChFunction::StaticClass(), TChMovingFunction::StaticClass(), TChCustomTool::StaticClass(),
                     TChCustomToolSeries::StaticClass(), TChCustomToolAxis::StaticClass()});
}

namespace {

// The library's start-up: its classes are registered before the program
// reads any form. Every chart and series class refers to its property
// table in this unit (TCustomAxisPanel::Publish, TChartSeries::Publish), so
// a program that holds a chart or a series links this unit, and with it
// this registration, even from a static library.
const bool ChartClassesRegistered = (RegisterChartClasses(), true);

}  // namespace
