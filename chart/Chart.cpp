#include "chart/Chart.h"

#include "platform/ScopeGuard.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>


// ------------------------------------------------------------------ titles

TChartTitle::TChartTitle(TCustomChPanel* Panel) : TChCustomShapePosition(Panel)
{
    FText = std::make_unique<TStringList>();
    FText->OnChange = [this](TObject* Sender) {
        if (this->Parent() != nullptr)
            this->Parent()->CanvasChanged(Sender);
    };
    SetTransparent(true);
    OwnerDefaultTransparent = true;
    Font()->SetColor(clBlue);
    Font()->DefaultColor = clBlue;
}

TChartTitle::~TChartTitle() = default;

void TChartTitle::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TChartTitle*>(Source)) {
        FAdjustFrame = S->FAdjustFrame;
        FAlignment = S->FAlignment;
        SetText(S->FText.get());
    }
    TChCustomShapePosition::Assign(Source);
}

void TChartTitle::SetAdjustFrame(bool Value)
{
    if (Parent() != nullptr)
        Parent()->SetBooleanProperty(FAdjustFrame, Value);
    else
        FAdjustFrame = Value;
}

void TChartTitle::SetAlignment(TAlignment Value)
{
    if (Value != FAlignment) {
        FAlignment = Value;
        Repaint();
    }
}

void TChartTitle::SetText(TStrings* Value)
{
    FText->Assign(Value);
    Repaint();
}

bool TChartTitle::Clicked(int X, int Y) const
{
    return Visible() && X >= ShapeBounds.Left && X <= ShapeBounds.Right && Y >= ShapeBounds.Top &&
           Y <= ShapeBounds.Bottom;
}

void TChartTitle::DrawTitle()
{
    if (!Visible() || FText->Count() == 0)
        return;
    auto* Chart = static_cast<TCustomAxisPanel*>(Parent());
    TCanvas3D* C = Chart->ChartCanvas();
    const int F = ShapeFrameWidth(this, true);
    if (!CustomPosition()) {
        ShapeBounds = Chart->ChartRect;
        if (FOnTop)
            ShapeBounds.Top += F;
    }
    C->AssignFont(Font());
    C->SetTextAlign(0);
    const int FH = C->GetFontHeight();
    const int N = FText->Count();
    if (FOnTop || CustomPosition())
        ShapeBounds.Bottom = ShapeBounds.Top + N * FH;
    else
        ShapeBounds.Top = ShapeBounds.Bottom - N * FH;
    if (!CustomPosition()) {
        ShapeBounds.Left -= F;
        ShapeBounds.Top -= F;
        ShapeBounds.Right += F;
        ShapeBounds.Bottom += F;
    }
    const int Wd = C->TextWidth("W");
    if (FAdjustFrame) {
        int M = 0;
        for (int k = 0; k < N; ++k)
            M = std::max(M, C->TextWidth(FText->Get(k)));
        M += Wd + F;
        if (FAlignment == taLeftJustify) {
            ShapeBounds.Right = ShapeBounds.Left + M;
        } else if (FAlignment == taRightJustify) {
            ShapeBounds.Left = ShapeBounds.Right - M;
        } else {
            if (CustomPosition())
                ShapeBounds.Right = ShapeBounds.Left + M;
            const int Centre = (ShapeBounds.Left + ShapeBounds.Right) / 2, Half = M / 2;
            ShapeBounds.Left = Centre - Half;
            ShapeBounds.Right = Centre + Half;
        }
    }
    Draw();
    C->AssignFont(Font());
    C->SetTextAlign(0);
    C->SetBackMode(cbmTransparent);
    for (int k = 0; k < N; ++k) {
        const std::string Line = FText->Get(k);
        const int Y = k * FH + F;
        const int TY = FOnTop ? ShapeBounds.Top + Y : ShapeBounds.Bottom - FH - Y;
        int TX = ShapeBounds.Left + Wd / 2;
        if (FAlignment == taRightJustify)
            TX = ShapeBounds.Right - C->TextWidth(Line) - Wd / 2;
        else if (FAlignment == taCenter)
            TX = (ShapeBounds.Left + ShapeBounds.Right) / 2 - C->TextWidth(Line) / 2;
        C->TextOut(TX, TY, Line);
    }
    if (!CustomPosition()) {
        int G = ChTitleFootDistance + F;
        if (!Transparent())
            G += Shadow()->VertSize();
        if (FOnTop)
            Chart->FChartRect.Top = ShapeBounds.Bottom + G;
        else
            Chart->FChartRect.Bottom = ShapeBounds.Bottom - G - N * FH;
        Chart->ReCalcWidthHeight();
    }
}

TChartFootTitle::TChartFootTitle(TCustomChPanel* Panel) : TChartTitle(Panel)
{
    FOnTop = false;
    Font()->SetColor(clRed);
    Font()->DefaultColor = clRed;
    Font()->SetStyle(TFontStyles{fsItalic});
    Font()->DefaultStyle = TFontStyles{fsItalic};
}

// ------------------------------------------------------------------ walls

TCustomChartWall::TCustomChartWall(TCustomChPanel* Panel) : TChCustomShape(Panel)
{
    InitColor(clDefault);
}

void TCustomChartWall::InitColor(TColor Value)
{
    SetColor(Value);
    DefaultColor = Value;
}

void TCustomChartWall::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TCustomChartWall*>(Source)) {
        FAutoHide = S->FAutoHide;
        FDark3D = S->FDark3D;
        FSize = S->FSize;
    }
    TChCustomShape::Assign(Source);
}

void TCustomChartWall::SetAutoHide(bool Value)
{
    if (Parent() != nullptr)
        Parent()->SetBooleanProperty(FAutoHide, Value);
    else
        FAutoHide = Value;
}

void TCustomChartWall::SetDark3D(bool Value)
{
    if (Parent() != nullptr)
        Parent()->SetBooleanProperty(FDark3D, Value);
    else
        FDark3D = Value;
}

void TCustomChartWall::SetSize(int Value)
{
    if (Parent() != nullptr)
        Parent()->SetIntegerProperty(FSize, Value);
    else
        FSize = Value;
}

bool TCustomChartWall::ApplyDark3D() const
{
    return Brush()->Style() != bsClear && Brush()->Image() == nullptr && FDark3D;
}

bool TCustomChartWall::WallHasGradient() { return HasGradient() && Gradient()->Visible(); }

bool TCustomChartWall::ShouldDraw() const
{
    auto* Chart = dynamic_cast<TCustomAxisPanel*>(Parent());
    return Chart != nullptr && Chart->View3DWalls() && Visible() && !FAutoHide;
}

TChartBackWall::TChartBackWall(TCustomChPanel* Panel) : TChartWall(Panel)
{
    InitColor(clSilver);
    SetTransparent(true);
    OwnerDefaultTransparent = true;
}

TChartWalls::TChartWalls(TCustomChart* Chart) : FChart(Chart)
{
    FBack = std::make_unique<TChartBackWall>(Chart);
    FLeft = std::make_unique<TChartWall>(Chart);
    FLeft->InitColor(static_cast<TColor>(0x80FFFF));
    FBottom = std::make_unique<TChartWall>(Chart);
    FBottom->InitColor(clWhite);
    FRight = std::make_unique<TChartRightWall>(Chart);
    FRight->SetVisible(false);
    FRight->InitColor(clSilver);
}

TChartWalls::~TChartWalls()
{
    FBack.reset();
    FBottom.reset();
    FLeft.reset();
    FRight.reset();
}

void TChartWalls::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TChartWalls*>(Source);
    if (S == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    FBack->Assign(S->FBack.get());
    FBottom->Assign(S->FBottom.get());
    FLeft->Assign(S->FLeft.get());
    FRight->Assign(S->FRight.get());
}

bool TChartWalls::Visible() const { return FChart->View3DWalls(); }
void TChartWalls::SetVisible(bool Value) { FChart->SetView3DWalls(Value); }

void TChartWalls::SetSize(int Value)
{
    FLeft->SetSize(Value);
    FRight->SetSize(Value);
    FBack->SetSize(Value);
    FBottom->SetSize(Value);
}

// ------------------------------------------------------------------ the chart

TCustomChart::TCustomChart(TComponent* AOwner) : TCustomAxisPanel(AOwner)
{
    RepaintOnChange = false;
    FTitle = std::make_unique<TChartTitle>(this);
    FSubTitle = std::make_unique<TChartTitle>(this);
    FFoot = std::make_unique<TChartFootTitle>(this);
    FSubFoot = std::make_unique<TChartFootTitle>(this);
    FWalls = std::make_unique<TChartWalls>(this);
    FLegend = std::make_unique<TChartLegend>(this);
    RepaintOnChange = true;
}

TCustomChart::~TCustomChart()
{
    RepaintOnChange = false;
    FSubTitle.reset();
    FTitle.reset();
    FSubFoot.reset();
    FFoot.reset();
    FWalls.reset();
    FLegend.reset();
}

void TCustomChart::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TCustomChart*>(Source)) {
        ColorPaletteIndex = S->ColorPaletteIndex;
        ScrollMouseButton = S->ScrollMouseButton;
        FFoot->Assign(S->FFoot.get());
        FLegend->Assign(S->FLegend.get());
        FSubFoot->Assign(S->FSubFoot.get());
        FSubTitle->Assign(S->FSubTitle.get());
        FTitle->Assign(S->FTitle.get());
        FWalls->Assign(S->FWalls.get());
    }
    TCustomAxisPanel::Assign(Source);
}

void TCustomChart::SetFrame(TChartPen* Value)
{
    if (TChartPen* P = Frame())
        P->Assign(Value);
}

TColor TCustomChart::GetBackColor()
{
    return FWalls->Back()->Transparent() ? Color() : FWalls->Back()->Color();
}

void TCustomChart::SetBackColor(TColor Value)
{
    FWalls->Back()->SetColor(Value);
    if (Parent() != nullptr && !Loading)
        FWalls->Back()->Brush()->SetStyle(bsSolid);
}

std::string TCustomChart::InternalFormattedLegend(TCustomChartLegend* ALegend, int Index)
{
    std::string Text = ALegend->FormattedLegend(Index);
    if (OnGetLegendText)
        OnGetLegendText(this, ALegend->ResolvedStyle, Index, Text);
    return Text;
}

std::string TCustomChart::FormattedValueLegend(TChartSeries* ASeries, int ValueIndex)
{
    if (ASeries == nullptr)
        return {};
    TCustomChartLegend* L = SeriesOwnLegend != nullptr ? SeriesOwnLegend : FLegend.get();
    return L->FormattedValue(ASeries, ValueIndex);
}

bool TCustomChart::IsFreeSeriesColor(TColor AColor, bool CheckBackground, TChartSeries* ASeries)
{
    for (int i = 0; i < SeriesCount(); ++i)
        if (Series(i) != ASeries && Series(i)->SeriesColor() == AColor)
            return false;
    if (CheckBackground && (AColor == Color() || AColor == FWalls->Back()->Color()))
        return false;
    return true;
}

bool TCustomChart::ActiveSeriesUseAxis() const
{
    bool AnyActive = false;
    for (int i = 0; i < SeriesCount(); ++i) {
        TChartSeries* S = Series(i);
        if (!S->Active())
            continue;
        AnyActive = true;
        if (S->UseAxis())
            return true;
    }
    return !AnyActive;
}

TChartSeries* TCustomChart::GetASeries() const
{
    for (int i = 0; i < SeriesCount(); ++i)
        if (Series(i)->Active())
            return Series(i);
    return nullptr;
}

void TCustomChart::SeriesUp(TChartSeries* ASeries)
{
    const int i = SeriesList().IndexOf(ASeries);
    if (i > 0)
        ExchangeSeries(i, i - 1);
}

void TCustomChart::SeriesDown(TChartSeries* ASeries)
{
    const int i = SeriesList().IndexOf(ASeries);
    if (i >= 0 && i < SeriesCount() - 1)
        ExchangeSeries(i, i + 1);
}

void TCustomChart::NextPage()
{
    if (MaxPointsPerPage() > 0 && Page() < NumPages())
        SetPage(Page() + 1);
}

void TCustomChart::PreviousPage()
{
    if (MaxPointsPerPage() > 0 && Page() > 1)
        SetPage(Page() - 1);
}

void TCustomChart::RemoveAllSeries()
{
    while (SeriesCount() > 0)
        RemoveSeries(Series(0));
}

std::string TCustomChart::AxisTitleOrName(TChartAxis* Axis) const
{
    if (!Axis->Title()->Caption().empty())
        return Axis->Title()->Caption();
    if (Axis == DepthAxis())
        return ChMsg_DepthAxis;
    if (Axis == DepthTopAxis())
        return ChMsg_DepthTopAxis;
    if (Axis->Horizontal())
        return Axis->OtherSide() ? ChMsg_TopAxis : ChMsg_BottomAxis;
    return Axis->OtherSide() ? ChMsg_RightAxis : ChMsg_LeftAxis;
}

// ------------------------------------------------------------------ drawing: titles and legend

void TCustomChart::DrawTitles(bool Custom)
{
    for (TChartTitle* T : {static_cast<TChartTitle*>(FTitle.get()), FSubTitle.get(),
                           static_cast<TChartTitle*>(FFoot.get()), static_cast<TChartTitle*>(FSubFoot.get())})
        if (T->CustomPosition() == Custom)
            T->DrawTitle();
}

void TCustomChart::DrawTitlesAndLegend(bool BeforeSeries)
{
    TCanvas3D* C = ChartCanvas();
    C->FrontPlaneBegin();
    if (BeforeSeries) {
        if (FLegend->CustomPosition() || !FLegend->ShouldDraw()) {
            DrawTitles(false);
        } else if (FLegend->Vertical()) {
            FLegend->DrawLegend();
            DrawTitles(false);
        } else {
            DrawTitles(false);
            FLegend->DrawLegend();
        }
    } else {
        if (FLegend->CustomPosition() && FLegend->ShouldDraw())
            FLegend->DrawLegend();
        DrawTitles(true);
    }
    C->FrontPlaneEnd();
    if (BeforeSeries || !ActiveSeriesUseAxis() || !View3D())
        return;
    if (DrawRightWallAfter()) {
        if (FWalls->Right()->ShouldDraw())
            DrawRightWall();
        DrawAxisWithoutBackGrid(RightAxis());
    }
    if (DrawLeftWallFirst()) {
        if (FWalls->Left()->ShouldDraw())
            DrawLeftWall();
        DrawAxisWithoutBackGrid(LeftAxis());
    }
    if (DrawBackWallAfter(DepthWidth)) {
        DrawGridsWithoutSideGrid(TopAxis());
        DrawGridsWithoutSideGrid(BottomAxis());
        if (FWalls->Back()->ShouldDraw())
            DrawBackWall();
    }
}

void TCustomChart::DrawAxisWithoutBackGrid(TChartAxis* Axis)
{
    if (!IsAxisVisible(Axis))
        return;
    TValueRollback<bool> Skip(Axis->FSkipBackGrid, true);
    Axis->Draw(false);
}

void TCustomChart::DrawGridsWithoutSideGrid(TChartAxis* Axis)
{
    if (!IsAxisVisible(Axis))
        return;
    TValueRollback<bool> Skip(Axis->FSkipSideGrid, true);
    Axis->DrawGrids(static_cast<int>(Axis->TickPixels().size()));
}

// ------------------------------------------------------------------ drawing: walls

void TCustomChart::CalcWallsRect()
{
    CalcSize3DWalls();
    if (View3D() && View3DOptions()->Orthogonal()) {
        const int S = ActiveSeriesUseAxis() ? FWalls->Back()->Size() : 0;
        if (View3DOptions()->OrthoAngle() > 90) {
            FChartRect.Left += std::abs(DepthWidth) + S;
            if (FWalls->Left()->Visible())
                FChartRect.Left += FWalls->Left()->Size() + 1;
        } else {
            FChartRect.Right -= std::abs(DepthWidth) + S;
            if (FWalls->Right()->Visible())
                FChartRect.Right -= FWalls->Right()->Size() + 1;
        }
        FChartRect.Top += S + std::abs(DepthHeight);
    }
    ReCalcWidthHeight();
}

int TCustomChart::CalcWallSize(TChartAxis* Axis)
{
    if (!View3D() || !View3DWalls())
        return 0;
    TCustomChartWall* W = FWalls->Back();
    if (Axis == LeftAxis())
        W = FWalls->Left();
    else if (Axis == BottomAxis())
        W = FWalls->Bottom();
    else if (Axis == RightAxis())
        W = FWalls->Right();
    return W->Visible() ? W->Size() : 0;
}

bool TCustomChart::DrawWallFirst(int X)
{
    TCanvas3D* C = ChartCanvas();
    const int B = ChartRect.Bottom + CalcWallSize(BottomAxis());
    return ChCull(C->Calculate3DPosition(X, ChartRect.Top, 0), C->Calculate3DPosition(X, B, 0),
                  C->Calculate3DPosition(X, B, FWalls->Back()->Size() + DepthWidth));
}

bool TCustomChart::DrawLeftWallFirst() { return DrawWallFirst(ChartRect.Left); }
bool TCustomChart::DrawRightWallAfter() { return !DrawWallFirst(ChartRect.Right); }

void TCustomChart::PrepareWallCanvas(TCustomChartWall* Wall)
{
    TCanvas3D* C = ChartCanvas();
    C->AssignVisiblePen(Wall->Pen());
    if (Wall->Transparent())
        C->Brush->SetStyle(bsClear);
    else
        SetBrushCanvas(Wall->Color(), Wall->Brush(), Wall->Brush()->Color());
}

void TCustomChart::DrawWalls()
{
    if (!ActiveSeriesUseAxis())
        return;
    if (View3D() && View3DWalls() && FWalls->Right()->Visible() && !DrawRightWallAfter())
        DrawRightWall();
    if (View3DWalls() && FWalls->Back()->Visible() && !DrawBackWallAfter(DepthWidth))
        DrawBackWall();
    if (!View3D() || !View3DWalls())
        return;
    if (FWalls->Left()->Visible() && !DrawLeftWallFirst())
        DrawLeftWall();
    if (FWalls->Bottom()->Visible())
        DrawBottomWall();
    if (DrawBackWallAfter(0)) {
        if (IsAxisVisible(TopAxis()))
            TopAxis()->Draw(true);
        if (IsAxisVisible(BottomAxis()))
            BottomAxis()->Draw(true);
    }
}

void TCustomChart::DrawBackWall()
{
    TChartBackWall* Wall = FWalls->Back();
    TCanvas3D* C = ChartCanvas();
    PrepareWallCanvas(Wall);
    const int W = DepthWidth;
    TChBlend* Blend = nullptr;
    if (!View3D()) {
        const TRect R{ChartRect.Left, ChartRect.Top, ChartRect.Right + 1, ChartRect.Bottom + 1};
        if (Wall->Transparency() > 0)
            Blend = C->BeginBlending(C->RectFromRectZ(R, W), Wall->Transparency());
        if (Wall->WallHasGradient() && !Wall->Transparent()) {
            Wall->Gradient()->Draw(C, R);
            C->Brush->SetStyle(bsClear);
        }
        C->Rectangle(R);
    } else if (View3DWalls()) {
        int Z = Wall->Size();
        if (W < 0)
            Z = -Z;
        const TRect R = Wall->Size() < 1 ? ChartRect
                                         : TRect{ChartRect.Left - CalcWallSize(LeftAxis()), ChartRect.Top,
                                                 ChartRect.Right, ChartRect.Bottom + CalcWallSize(BottomAxis())};
        if (Wall->Transparency() > 0)
            Blend = C->BeginBlending(C->RectFromRectZ(R, W), Wall->Transparency());
        if (Wall->Size() < 1)
            C->RectangleWithZ(R, W);
        else
            C->Cube(R, W, W + Z, Wall->ApplyDark3D());
    }
    if (HasBackImage() && BackImageInside()) {
        TRect R = ChartRect;
        if (Wall->Pen()->Visible()) {
            ++R.Left;
            ++R.Top;
        }
        DrawBitmap(R, W);
    }
    if (Blend != nullptr)
        C->EndBlending(Blend);
}

void TCustomChart::DrawLeftWall()
{
    TChartWall* Wall = FWalls->Left();
    TCanvas3D* C = ChartCanvas();
    PrepareWallCanvas(Wall);
    const int B = ChartRect.Bottom + CalcWallSize(BottomAxis());
    if (Wall->Size() > 0)
        C->Cube(ChartRect.Left - Wall->Size(), ChartRect.Left, ChartRect.Top, B, 0, DepthWidth, Wall->ApplyDark3D());
    else
        C->RectangleZ(ChartRect.Left, ChartRect.Top, B, 0, DepthWidth);
}

void TCustomChart::DrawRightWall()
{
    TChartRightWall* Wall = FWalls->Right();
    if (!Wall->Visible() || !ActiveSeriesUseAxis())
        return;
    TCanvas3D* C = ChartCanvas();
    PrepareWallCanvas(Wall);
    const int B = ChartRect.Bottom + CalcWallSize(BottomAxis());
    if (Wall->Size() > 0) {
        const int S = FWalls->Back()->Visible() ? FWalls->Back()->Size() : 0;
        C->Cube(ChartRect.Right, ChartRect.Right + Wall->Size(), ChartRect.Top, B, 0, DepthWidth + S,
                Wall->ApplyDark3D());
    } else {
        C->RectangleZ(ChartRect.Right, ChartRect.Top, B, 0, DepthWidth + 1);
    }
}

void TCustomChart::DrawBottomWall()
{
    TChartWall* Wall = FWalls->Bottom();
    TCanvas3D* C = ChartCanvas();
    PrepareWallCanvas(Wall);
    int Y = ChartRect.Bottom;
    if (C->SupportsFullRotation())
        ++Y;
    int X0 = ChartRect.Left;
    if (FWalls->Left()->Visible() && (!FWalls->Left()->AutoHide() || DrawLeftWallFirst()))
        X0 -= CalcWallSize(LeftAxis());
    if (!Wall->Transparent())
        Y = ChartRect.Bottom;
    if (Wall->Size() < 1)
        C->RectangleY(X0, Y, ChartRect.Right, 0, DepthWidth);
    else
        C->Cube(X0, ChartRect.Right, Y, Y + Wall->Size(), 0, DepthWidth, Wall->ApplyDark3D());
}
