#include "chart/ChCallout.h"

#include "chart/ChEngine.h"
#include "chart/ChMarks.h"

bool ChCheckMarkArrowColor = false;

const TIdentMap& ArrowHeadStyleIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"ahNone", "ahLine", "ahSolid"});
    return Map;
}

namespace {

const TIdentMap& BevelCutIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"bvNone", "bvLowered", "bvRaised", "bvSpace"});
    return Map;
}

const TIdentMap& ShapeStyleIdents()
{
    static const TIdentMap Map = TIdentMap::Names({"fosRectangle", "fosRoundRectangle"});
    return Map;
}

} // namespace

// ------------------------------------------------------------------ TCallout

TCallout::TCallout(TChartSeries* ASeries) : TSeriesPointer(ASeries)
{
    FArrow = std::make_unique<TWhitePen>([this](TObject* Sender) { CanvasChanged(Sender); });
    SetInflateMargins(true);
    SetKeepGradientEnd(true);
    ChangeStyle(psRectangle);
    Change3D(false);
    Brush()->SetColor(clBlack);
}

TCallout::~TCallout() = default;

void TCallout::Publish(TPublisher<TCallout>& P)
{
    P.Object("Arrow", &TCallout::Arrow);
    P.Enumeration("ArrowHead", &TCallout::ArrowHead, &TCallout::SetArrowHead, ArrowHeadStyleIdents()).Default(ahNone);
    P.Integer("ArrowHeadSize", &TCallout::ArrowHeadSize, &TCallout::SetArrowHeadSize).Default(8);
    P.Integer("Distance", &TCallout::Distance, &TCallout::SetDistance).Default(0);
    P.Redeclare("Draw3D").Default(false);
    P.Redeclare("InflateMargins").Default(true);
    P.Redeclare("Style").Default(psRectangle);
    P.Redeclare("Visible").Default(true);
}

void TCallout::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TCallout*>(Source)) {
        FDistance = S->FDistance;
        FArrow->Assign(S->FArrow.get());
        FArrowHead = S->FArrowHead;
        FArrowHeadSize = S->FArrowHeadSize;
    }
    TSeriesPointer::Assign(Source);
}

void TCallout::SetArrowHead(TArrowHeadStyle Value)
{
    if (FArrowHead == Value)
        return;
    FArrowHead = Value;
    Repaint();
}

void TCallout::Draw(TColor AColor, const TPoint& From, const TPoint& To, int Z)
{
    TCustomChPanel* Chart = Parent();
    if (Chart == nullptr)
        return;
    TCanvas3D* C = Chart->ChartCanvas();
    const bool Is3D = Chart->View3D();
    if (FArrow->Visible()) {
        C->Brush->SetStyle(bsClear);
        Prepare();
        const TColor ChartColor = ColorToRGB(Chart->Color());
        if (ChCheckMarkArrowColor && (FArrow->Color() == AColor || FArrow->Color() == ChartColor))
            C->AssignVisiblePenColor(FArrow.get(), ChartColor == clBlack ? clWhite : clBlack);
        else
            C->AssignVisiblePen(FArrow.get());
        switch (FArrowHead) {
        case ahLine:
            C->Arrow(false, To, From, FArrowHeadSize, FArrowHeadSize, Z);
            break;
        case ahSolid:
            C->Arrow(true, To, From, FArrowHeadSize, FArrowHeadSize, Z);
            break;
        case ahNone:
            if (Is3D)
                C->LineWithZ(From, To, Z);
            else
                C->Line(From, To);
            break;
        }
    }
    if (FArrowHead == ahNone && Visible()) {
        Prepare();
        const TPoint P = Is3D ? C->Calculate3DPosition(From, Z) : From;
        DrawPointer(C, false, P.X, P.Y, HorizSize(), VertSize(), Color(), Style());
    }
}

// ------------------------------------------------------------------ TMarksCallout

TMarksCallout::TMarksCallout(TChartSeries* ASeries) : TCallout(ASeries)
{
    SetVisible(false);
    Arrow()->SetColor(clWhite);
}

void TMarksCallout::Publish(TPublisher<TMarksCallout>& P)
{
    P.Integer("Length", &TMarksCallout::Length, &TMarksCallout::SetLength).Stored(&TMarksCallout::IsLengthStored);
    P.Redeclare("Visible").Default(false);
}

void TMarksCallout::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TMarksCallout*>(Source))
        FLength = S->FLength;
    TCallout::Assign(Source);
}

void TMarksCallout::SetLength(int Value)
{
    if (Series() != nullptr)
        Series()->SetIntegerProperty(FLength, Value);
    else
        FLength = Value;
}

void TMarksCallout::ApplyArrowLength(TSeriesMarkPosition* Position) const
{
    const int D = FLength + Distance();
    Position->BoxTopLeft.Y -= D;
    Position->ArrowEnd.Y -= D;
    Position->ArrowStart.Y -= Distance();
}

// ------------------------------------------------------------------ TSeriesMarksSymbol

TSeriesMarksSymbol::TSeriesMarksSymbol(TCustomChPanel* Panel) : TChCustomShape(Panel)
{
    SetVisible(false);
    SetTransparent(false);
    Shadow()->SetSize(1);
    Shadow()->DefaultSize = 1;
}

void TSeriesMarksSymbol::Publish(TPublisher<TSeriesMarksSymbol>& P)
{
    using S = TSeriesMarksSymbol;
    P.Enumeration("Bevel", &S::Bevel, &S::SetBevel, BevelCutIdents()).Default(bvNone);
    P.Integer("BevelWidth", &S::BevelWidth, &S::SetBevelWidth).Default(2);
    P.Object("Brush", &S::Brush);
    P.Object("Frame", &S::Pen);
    P.Object("Gradient", &S::Gradient);
    P.Alias("Pen", "Frame");
    P.Object("Shadow", &S::Shadow);
    P.Enumeration("ShapeStyle", &S::ShapeStyle, &S::SetShapeStyle, ShapeStyleIdents()).Default(fosRectangle);
    P.Integer("Transparency", &S::Transparency, &S::SetTransparency).Default(0);
    P.Boolean("Visible", &S::Visible, &S::SetVisible);
}
