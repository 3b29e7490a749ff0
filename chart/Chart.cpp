#include "chart/Chart.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Frame width of a shape: its visible pen's width, or the bevel's.
int ShapeFrameWidth(TChCustomShape* Shape, bool CheckDefaultColor)
{
    int F = 0;
    TChartPen* P = Shape->Pen();
    if (P->Visible() && !(CheckDefaultColor && P->Color() == clDefault))
        F = P->Width();
    if (Shape->Bevel() != bvNone)
        F = Shape->BevelWidth();
    return F;
}

}  // namespace

// ------------------------------------------------------------------ positioned shapes

void TChCustomShapePosition::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TChCustomShapePosition*>(Source)) {
        FCustomPosition = S->FCustomPosition;
        if (FCustomPosition) {
            const int W = ShapeBounds.Right - ShapeBounds.Left, H = ShapeBounds.Bottom - ShapeBounds.Top;
            ShapeBounds = {S->Left(), S->Top(), S->Left() + W, S->Top() + H};
        }
    }
    TChCustomShape::Assign(Source);
}

void TChCustomShapePosition::SetCustomPosition(bool Value)
{
    if (Parent() != nullptr)
        Parent()->SetBooleanProperty(FCustomPosition, Value);
    else
        FCustomPosition = Value;
}

void TChCustomShapePosition::SetLeft(int Value)
{
    FCustomPosition = true;
    if (Parent() != nullptr)
        Parent()->SetIntegerProperty(ShapeBounds.Left, Value);
    else
        ShapeBounds.Left = Value;
}

void TChCustomShapePosition::SetTop(int Value)
{
    FCustomPosition = true;
    if (Parent() != nullptr)
        Parent()->SetIntegerProperty(ShapeBounds.Top, Value);
    else
        ShapeBounds.Top = Value;
}

// ------------------------------------------------------------------ titles

TChartTitle::TChartTitle(TCustomChPanel* Panel) : TChCustomShapePosition(Panel)
{
    FText = std::make_unique<TStringList>();
    FText->OnChange = [this](TObject* Sender) {
        if (this->Parent() != nullptr)
            this->Parent()->CanvasChanged(Sender);
    };
    SetTransparent(true);
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
            Chart->ChartRect.Top = ShapeBounds.Bottom + G;
        else
            Chart->ChartRect.Bottom = ShapeBounds.Bottom - G - N * FH;
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

// ------------------------------------------------------------------ legend parts

TLegendSymbol::TLegendSymbol(TCustomChartLegend* ALegend) : FLegend(ALegend)
{
    FPen = std::make_unique<TChartPen>([this](TObject*) { Changed(); });
}

TLegendSymbol::~TLegendSymbol() = default;

void TLegendSymbol::Changed() { FLegend->Repaint(); }

void TLegendSymbol::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TLegendSymbol*>(Source);
    if (S == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    FContinuous = S->FContinuous;
    FPen->Assign(S->FPen.get());
    FPosition = S->FPosition;
    FSquared = S->FSquared;
    FWidth = S->FWidth;
    FWidthUnits = S->FWidthUnits;
    FVisible = S->FVisible;
}

namespace {

template <class T> void SetAndRepaint(TChCustomShape* Shape, T& Field, T Value)
{
    if (Field != Value) {
        Field = Value;
        Shape->Repaint();
    }
}

}  // namespace

void TLegendSymbol::SetContinuous(bool Value) { SetAndRepaint(FLegend, FContinuous, Value); }
void TLegendSymbol::SetDefaultPen(bool Value) { SetAndRepaint(FLegend, FDefaultPen, Value); }
void TLegendSymbol::SetPosition(TLegendSymbolPosition Value) { SetAndRepaint(FLegend, FPosition, Value); }
void TLegendSymbol::SetSquared(bool Value) { SetAndRepaint(FLegend, FSquared, Value); }
void TLegendSymbol::SetVisible(bool Value) { SetAndRepaint(FLegend, FVisible, Value); }
void TLegendSymbol::SetWidth(int Value) { SetAndRepaint(FLegend, FWidth, Value); }
void TLegendSymbol::SetWidthUnits(TLegendSymbolSize Value) { SetAndRepaint(FLegend, FWidthUnits, Value); }

int TLegendSymbol::CalcWidth(int TextWidth)
{
    if (!FVisible)
        return 0;
    if (FSquared)
        return FLegend->CalcItemHeight() - 5;
    if (FWidthUnits == lcsPixels)
        return FWidth;
    return static_cast<int>(std::nearbyint(TextWidth * FWidth * 0.01));
}

TLegendTitle::TLegendTitle(TCustomChPanel* Panel) : TChShape(Panel)
{
    FText = std::make_unique<TStringList>();
    FText->OnChange = [this](TObject*) { Repaint(); };
    SetTransparent(true);
    OwnerDefaultTransparent = true;
    Font()->SetStyle(TFontStyles{fsBold});
    Font()->DefaultStyle = TFontStyles{fsBold};
    Shadow()->SetSize(2);
    Shadow()->SetColor(clSilver);
}

void TLegendTitle::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TLegendTitle*>(Source)) {
        FText->Assign(S->FText.get());
        FTextAlignment = S->FTextAlignment;
    }
    TChShape::Assign(Source);
}

void TLegendTitle::SetTextAlignment(TAlignment Value)
{
    if (Value != FTextAlignment) {
        FTextAlignment = Value;
        Repaint();
    }
}

int TLegendTitle::CalcHeight()
{
    TCanvas3D* C = Parent()->ChartCanvas();
    C->AssignFont(Font());
    int H = FText->Count() * C->GetFontHeight();
    if (!Transparent()) {
        H += 2;
        if (Pen()->Visible())
            H += 2 * Pen()->Width();
    }
    return H;
}

int TLegendTitle::TotalWidth()
{
    TCanvas3D* C = Parent()->ChartCanvas();
    C->AssignFont(Font());
    int W = 0;
    for (int k = 0; k < FText->Count(); ++k)
        W = std::max(W, C->TextWidth(FText->Get(k)));
    W += C->TextWidth("W");
    if (!Transparent()) {
        if (Pen()->Visible())
            W += 2 * Pen()->Width();
        W += Shadow()->HorizSize();
    }
    return W;
}

void TLegendTitle::CalcShapeBounds(const TRect& R)
{
    ShapeBounds = {R.Left + 2, R.Top + 2, R.Right - 2, R.Top + CalcHeight() + 2};
    if (!Transparent()) {
        const int H = Shadow()->HorizSize(), V = Shadow()->VertSize();
        if (H > 0)
            ShapeBounds.Right -= H;
        else
            ShapeBounds.Left -= H;
        if (V < 0)
            ShapeBounds.Top -= V;
    }
}

void TLegendTitle::DrawText()
{
    TCanvas3D* C = Parent()->ChartCanvas();
    C->AssignFont(Font());
    C->SetTextAlign(0);
    C->SetBackMode(cbmTransparent);
    const int W = C->TextWidth("W");
    const int FH = C->GetFontHeight();
    for (int k = 0; k < FText->Count(); ++k) {
        const std::string Line = FText->Get(k);
        int X = ShapeBounds.Left + W / 2;
        if (FTextAlignment == taRightJustify)
            X = ShapeBounds.Right - C->TextWidth(Line) - W / 2;
        else if (FTextAlignment == taCenter)
            X = (ShapeBounds.Left + ShapeBounds.Right) / 2 - C->TextWidth(Line) / 2;
        C->TextOut(X, ShapeBounds.Top + 1 + k * FH, Line);
    }
}

// ------------------------------------------------------------------ legend

TCustomChartLegend::TCustomChartLegend(TCustomChart* Chart) : TChCustomShapePosition(Chart), FChart(Chart)
{
    FSymbol = std::make_unique<TLegendSymbol>(this);
    FDividingLines = std::make_unique<TChartHiddenPen>([Chart](TObject* Sender) { Chart->CanvasChanged(Sender); });
    FTitle = std::make_unique<TLegendTitle>(Chart);
}

TCustomChartLegend::~TCustomChartLegend()
{
    FTitle.reset();
    FSymbol.reset();
    FDividingLines.reset();
}

void TCustomChartLegend::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TCustomChartLegend*>(Source)) {
        FAlignment = S->FAlignment;
        FCheckBoxes = S->FCheckBoxes;
        FCheckBoxesStyle = S->FCheckBoxesStyle;
        FCurrentPage = S->FCurrentPage;
        FDividingLines->Assign(S->FDividingLines.get());
        FFirstValue = S->FFirstValue;
        FFontSeriesColor = S->FFontSeriesColor;
        FHorizMargin = S->FHorizMargin;
        FInverted = S->FInverted;
        FLegendStyle = S->FLegendStyle;
        FMaxNumRows = S->FMaxNumRows;
        FResizeChart = S->FResizeChart;
        FSymbol->Assign(S->FSymbol.get());
        FTextStyle = S->FTextStyle;
        FTitle->Assign(S->FTitle.get());
        FTopPos = S->FTopPos;
        FVertMargin = S->FVertMargin;
        FVertSpacing = S->FVertSpacing;
    }
    TChCustomShapePosition::Assign(Source);
}

void TCustomChartLegend::SetAlignment(TLegendAlignment Value) { SetAndRepaint(this, FAlignment, Value); }
void TCustomChartLegend::SetCheckBoxes(bool Value) { FChart->SetBooleanProperty(FCheckBoxes, Value); }
void TCustomChartLegend::SetCurrentPage(bool Value) { FChart->SetBooleanProperty(FCurrentPage, Value); }
void TCustomChartLegend::SetFontSeriesColor(bool Value) { FChart->SetBooleanProperty(FFontSeriesColor, Value); }
void TCustomChartLegend::SetHorizMargin(int Value) { FChart->SetIntegerProperty(FHorizMargin, Value); }
void TCustomChartLegend::SetInverted(bool Value) { FChart->SetBooleanProperty(FInverted, Value); }
void TCustomChartLegend::SetMaxNumRows(int Value) { FChart->SetIntegerProperty(FMaxNumRows, Value); }
void TCustomChartLegend::SetResizeChart(bool Value) { FChart->SetBooleanProperty(FResizeChart, Value); }
void TCustomChartLegend::SetTextStyle(TLegendTextStyle Value) { SetAndRepaint(this, FTextStyle, Value); }
void TCustomChartLegend::SetTopPos(int Value) { FChart->SetIntegerProperty(FTopPos, Value); }
void TCustomChartLegend::SetVertMargin(int Value) { FChart->SetIntegerProperty(FVertMargin, Value); }
void TCustomChartLegend::SetVertSpacing(int Value) { FChart->SetIntegerProperty(FVertSpacing, Value); }

void TCustomChartLegend::SetLegendStyle(TLegendStyle Value)
{
    if (Value != FLegendStyle) {
        FLegendStyle = Value;
        CalcLegendStyle();
        Repaint();
    }
}

void TCustomChartLegend::SetCheckBoxesStyle(TCheckBoxesStyle Value)
{
    if (Value == FCheckBoxesStyle)
        return;
    FCheckBoxesStyle = Value;
    if (Value == cbsRadio) {
        bool Found = false;
        for (int i = 0; i < FChart->SeriesCount(); ++i) {
            TChartSeries* S = FChart->Series(i);
            if (!S->Active() || !S->ShowInLegend())
                continue;
            if (Found)
                S->SetActive(false);
            Found = true;
        }
    }
    Repaint();
}

void TCustomChartLegend::SetFirstValue(int Value)
{
    if (Value < 0)
        throw LegendException(ChMsg_LegendFirstValue);
    FChart->SetIntegerProperty(FFirstValue, Value);
}

void TCustomChartLegend::SetSeries(TChartSeries* Value)
{
    FSeries = Value;
    Repaint();
}

TChartSeries* TCustomChartLegend::LegendSeries() const
{
    return FSeries != nullptr ? FSeries : FChart->GetASeries();
}

bool TCustomChartLegend::ShouldDraw() const
{
    return Visible() && (HasCheckBoxes() || FChart->CountActiveSeries() > 0);
}

void TCustomChartLegend::CalcLegendStyle()
{
    if (FLegendStyle != lsAuto)
        ResolvedStyle = FLegendStyle;
    else if (FCheckBoxes)
        ResolvedStyle = lsSeries;
    else
        ResolvedStyle = FChart->CountActiveSeries() < 2 ? lsValues : lsSeries;
}

std::string TCustomChartLegend::FormattedLegend(int Index)
{
    switch (ResolvedStyle) {
    case lsSeries:
        return FChart->SeriesTitleLegend(Index, !FCheckBoxes);
    case lsValues:
        return FChart->FormattedValueLegend(LegendSeries(), Index);
    case lsLastValues: {
        TChartSeries* S = FChart->SeriesLegend(Index, !FCheckBoxes);
        return S != nullptr ? FChart->FormattedValueLegend(S, S->Count() - 1) : std::string();
    }
    default:
        return {};
    }
}

std::string TCustomChartLegend::FormattedValue(TChartSeries* ASeries, int ValueIndex)
{
    if (ValueIndex == -1)
        return {};
    std::string Text = ASeries->LegendString(ValueIndex, FTextStyle);
    std::replace(Text.begin(), Text.end(), ChLineSeparator, ' ');
    return Text;
}

int TCustomChartLegend::CalcItemHeight()
{
    int H = FChart->ChartCanvas()->GetFontHeight();
    if (HasCheckBoxes())
        H = std::max(H, 17);
    H += FVertSpacing;
    if (Vertical() && FDividingLines->Visible())
        H += FDividingLines->Width();
    // Spacing may be negative; the row count divides by the item height.
    return std::max(H, 1);
}

int TCustomChartLegend::FirstItemTop() const
{
    int T = ShapeBounds.Top;
    if (DrawsTitle) {
        T += FTitle->CalcHeight() + 2;
        if (!FTitle->Transparent())
            T += std::abs(FTitle->Shadow()->VertSize());
    }
    return T;
}

int TCustomChartLegend::FrameWidth() { return ShapeFrameWidth(this, false); }

void TCustomChartLegend::DrawLegend()
{
    TCanvas3D* C = FChart->ChartCanvas();
    CalcLegendStyle();
    const int F = FrameWidth();
    const int M = FChart->MaxPointsPerPage();
    const bool Paged = ResolvedStyle == lsValues && FCurrentPage && M > 0;
    if (Paged)
        FFirstValue = (FChart->Page() - 1) * M;
    else if (M > 0)
        FFirstValue = 0;

    if (ResolvedStyle == lsValues) {
        TChartSeries* S = LegendSeries();
        ItemCount = S != nullptr && S->ShowInLegend() ? S->CountLegendItems() : 0;
    } else {
        ItemCount = 0;
        for (int i = 0; i < FChart->SeriesCount(); ++i) {
            TChartSeries* S = FChart->Series(i);
            if (S->ShowInLegend() && (S->Active() || FCheckBoxes))
                ++ItemCount;
        }
    }
    ItemCount = std::max(0, ItemCount - FFirstValue);
    if (Paged)
        ItemCount = std::min(ItemCount, M);

    FChart->LegendColor = Color();
    C->AssignFont(Font());
    const int S = C->TextWidth(" ");
    const int H = CalcItemHeight();
    DrawsTitle = FTitle->Visible() && FTitle->Text()->Count() > 0;
    const int TitleHeight = DrawsTitle ? FTitle->CalcHeight() : 0;
    C->AssignFont(Font());

    std::vector<std::array<std::string, 2>> Texts;
    auto CollectTexts = [&]() {
        Texts.clear();
        for (int p = 0; p <= LastShownValue - FFirstValue; ++p) {
            const int i = FInverted ? LastShownValue - p : FFirstValue + p;
            std::string Text = FChart->InternalFormattedLegend(this, i);
            std::array<std::string, 2> Cols;
            int Col = 0;
            size_t Sep;
            while ((Sep = Text.find(ChColumnSeparator)) != std::string::npos && !Text.empty() && Col < 2) {
                Cols[static_cast<size_t>(Col++)] = Text.substr(0, Sep);
                Text.erase(0, Sep + 1);
            }
            if (!Text.empty() && Col < 2)
                Cols[static_cast<size_t>(Col)] = Text;
            Texts.push_back(Cols);
        }
        if (AutoColumnWidths)
            for (size_t c = 0; c < 2; ++c) {
                TextColumnWidths[c] = 0;
                for (const auto& T : Texts)
                    if (!T[c].empty())
                        TextColumnWidths[c] = std::max(TextColumnWidths[c], C->TextWidth(T[c]));
            }
    };
    const TRect& PB = FChart->PanelBounds;
    TRect& CR = FChart->ChartRect;
    int W = 0;
    if (Vertical()) {
        if (!CustomPosition())
            ShapeBounds.Top = PB.Top + static_cast<int>(std::nearbyint(FTopPos * (PB.Bottom - PB.Top) * 0.01));
        ColumnCount = 1;
        const int T = FirstItemTop();
        RowCount = T >= CR.Bottom ? 0 : std::min((FChart->ChartHeight - 2 * F - T + CR.Top) / H, ItemCount);
        LastShownValue = FFirstValue + std::min(ItemCount, RowCount) - 1;
        CollectTexts();
        W = 2 * S - 1 + TextColumnWidths[0] + TextColumnWidths[1];
    } else {
        LastShownValue = FFirstValue + ItemCount - 1;
        CollectTexts();
        W = 2 * S - 1 + TextColumnWidths[0] + TextColumnWidths[1];
        SymbolColumnWidth = FSymbol->CalcWidth(W);
        if (!CustomPosition()) {
            if (FAlignment == laBottom) {
                int G = FChart->Shadow()->VertSize() + F + 1;
                if (OnLegendCalcSize)
                    OnLegendCalcSize(this, G);
                ShapeBounds.Bottom = CR.Bottom - G;
            } else {
                ShapeBounds.Top = CR.Top + F + 1;
            }
        }
        const int I = SymbolColumnWidth + W + 8 + (HasCheckBoxes() ? 27 : 0);
        ColumnCount = CR.Right <= 8 ? 0 : std::min((FChart->ChartWidth - 2 * F - 8) / I, ItemCount);
        if (ColumnCount < 1) {
            RowCount = 0;
        } else {
            RowCount = ItemCount / ColumnCount + (ItemCount % ColumnCount != 0 ? 1 : 0);
            RowCount = std::min(RowCount, FMaxNumRows);
        }
        LastShownValue = FFirstValue + std::min(ItemCount, ColumnCount * RowCount) - 1;
        Texts.resize(static_cast<size_t>(std::max(0, LastShownValue - FFirstValue + 1)));
    }
    if (LastShownValue < FFirstValue)
        return;

    int K = H * RowCount + 2;
    if (DrawsTitle) {
        K += TitleHeight + 2;
        if (!FTitle->Transparent())
            K += std::abs(FTitle->Shadow()->VertSize());
    }
    if (FAlignment == laBottom && !CustomPosition())
        ShapeBounds.Top = ShapeBounds.Bottom - K;
    else
        ShapeBounds.Bottom = ShapeBounds.Top + K;

    int CheckX = 0, X0 = 0;
    if (Vertical()) {
        int V = W + 10;
        SymbolColumnWidth = FSymbol->CalcWidth(V);
        V += SymbolColumnWidth;
        if (OnLegendCalcSize)
            OnLegendCalcSize(this, V);
        if (DrawsTitle)
            V = std::max(V, FTitle->TotalWidth());
        if (CustomPosition() || FAlignment == laLeft) {
            if (!CustomPosition())
                ShapeBounds.Left = CR.Left + F + 1;
        } else {
            ShapeBounds.Right = CR.Right - (Shadow()->HorizSize() + F + 1);
            ShapeBounds.Left = ShapeBounds.Right - V - (HasCheckBoxes() ? 15 : 0);
        }
        if (HasCheckBoxes()) {
            CheckX = ShapeBounds.Left + 4;
            X0 = CheckX + 11;
        } else {
            X0 = ShapeBounds.Left;
        }
        ShapeBounds.Right = X0 + V;
    } else {
        int Q = ColumnCount * (W + SymbolColumnWidth + 6) + 6;
        if (HasCheckBoxes())
            Q += ColumnCount * 13 + 8;
        const int Half = std::min(FChart->ChartWidth, Q) / 2;
        if (!CustomPosition())
            ShapeBounds.Left = static_cast<int>(std::nearbyint(FTopPos * (PB.Right - PB.Left - 2 * Half) * 0.01)) +
                               FChart->ChartXCenter - Half;
        ShapeBounds.Right = ShapeBounds.Left + 2 * Half;
        X0 = ShapeBounds.Left;
        if (HasCheckBoxes()) {
            CheckX = ShapeBounds.Left + 4;
            X0 += 15;
        }
    }
    int SymbolX, TextX;
    if (FSymbol->Position() == spLeft) {
        SymbolX = X0 + 6;
        TextX = SymbolX + SymbolColumnWidth + 4;
    } else {
        TextX = X0 + 6;
        SymbolX = TextX + W;
    }
    if (FChart->OnGetLegendRect)
        FChart->OnGetLegendRect(FChart, ShapeBounds);
    Draw();
    if (DrawsTitle) {
        FTitle->CalcShapeBounds(ShapeBounds);
        FTitle->Draw();
        FTitle->DrawText();
        C->AssignFont(Font());
    }

    // the items
    for (int p = 0; p <= LastShownValue - FFirstValue && p < ItemCount; ++p) {
        const int i = FInverted ? LastShownValue - p : FFirstValue + p;
        C->Brush->SetColor(Color());
        C->Brush->SetStyle(bsClear);
        FChart->LegendPen = FSymbol->DefaultPen() ? nullptr : FSymbol->Pen();
        int TX = TextX, SX = SymbolX, Y = FirstItemTop() + 1, Row = p, Offset = 0;
        if (!Vertical()) {
            Row = p / ColumnCount;
            Offset = (p % ColumnCount) * (W + SymbolColumnWidth + 6 + (HasCheckBoxes() ? 15 : 0));
            TX += Offset;
            SX += Offset;
        }
        Y += H * Row + FVertSpacing / 2;
        if (FChart->OnGetLegendPos)
            FChart->OnGetLegendPos(FChart, i, TX, Y, SX);
        if (FFontSeriesColor) {
            if (ResolvedStyle == lsSeries || ResolvedStyle == lsLastValues) {
                if (TChartSeries* Ser = FChart->SeriesLegend(i, !FCheckBoxes))
                    C->Font->SetColor(Ser->SeriesColor());
            } else if (TChartSeries* Ser = LegendSeries()) {
                C->Font->SetColor(Ser->LegendItemColor(i));
            }
        }
        int X = TX;
        for (size_t c = 0; c < 2; ++c) {
            bool Right = false;
            if (ResolvedStyle != lsSeries) {
                if (c == 0)
                    Right = FTextStyle == ltsLeftValue || FTextStyle == ltsLeftPercent || FTextStyle == ltsXValue ||
                            FTextStyle == ltsValue || FTextStyle == ltsPercent || FTextStyle == ltsXAndValue ||
                            FTextStyle == ltsXAndPercent;
                else
                    Right = FTextStyle == ltsRightValue || FTextStyle == ltsRightPercent ||
                            FTextStyle == ltsXAndValue || FTextStyle == ltsXAndPercent;
            }
            const std::string& Text = Texts[static_cast<size_t>(p)][c];
            const int TY = HasCheckBoxes() ? Y + 1 : Y;
            if (Right) {
                X += TextColumnWidths[c];
                C->SetTextAlign(2);
                if (!Text.empty())
                    C->TextOut(X, TY, Text);
            } else {
                C->SetTextAlign(0);
                if (!Text.empty())
                    C->TextOut(X, TY, Text);
                X += TextColumnWidths[c];
            }
            X += S;
        }
        C->SetTextAlign(0);
        TRect R{SX, Y, SX + SymbolColumnWidth, Y + H + 1};
        if (!FSymbol->Continuous() || p == 0)
            R.Top = Y + 2;
        if (!FSymbol->Continuous() || p == LastShownValue - FFirstValue)
            R.Bottom -= FVertSpacing + 3;
        TChartSeries* SymbolSeries = nullptr;
        int ValueIndex = -1;
        if (ResolvedStyle == lsValues) {
            SymbolSeries = LegendSeries();
            if (SymbolSeries != nullptr)
                ValueIndex = SymbolSeries->LegendToValueIndex(i);
        } else if (HasCheckBoxes()) {
            SymbolSeries = FChart->SeriesLegend(i, false);
            if (SymbolSeries != nullptr)
                ChDrawCheckBox(CheckX + (Vertical() ? 0 : Offset), (H - FVertSpacing - 11) / 2 + Y - 1,
                               C->ReferenceCanvas, SymbolSeries->Active(), Color(), FCheckBoxesStyle == cbsCheck);
        } else {
            SymbolSeries = FChart->ActiveSeriesLegend(i);
        }
        if (SymbolColumnWidth > 0) {
            if (SymbolSeries != nullptr) {
                SymbolSeries->DrawLegend(ValueIndex, R);
            } else {
                C->AssignVisiblePen(FSymbol->Pen());
                C->Brush->SetStyle(bsSolid);
                C->Brush->SetColor(clWhite);
                C->Rectangle(R);
            }
        }
        if (FSymbol->OnDraw)
            FSymbol->OnDraw(FSymbol.get(), SymbolSeries, ValueIndex, R);
        if (p > 0 && FDividingLines->Visible()) {
            C->AssignVisiblePen(FDividingLines.get());
            C->SetBackMode(cbmTransparent);
            if (Vertical())
                C->DoHorizLine(ShapeBounds.Left, ShapeBounds.Right, Y - FVertSpacing / 2);
            else
                C->DoVertLine(ShapeBounds.Left + Offset + 2, ShapeBounds.Top, ShapeBounds.Bottom);
        }
    }
    FChart->LegendPen = nullptr;

    if (FResizeChart && !CustomPosition()) {
        switch (FAlignment) {
        case laLeft: CR.Left = ShapeBounds.Right; break;
        case laRight: CR.Right = ShapeBounds.Left; break;
        case laTop: CR.Top = ShapeBounds.Bottom + FChart->Shadow()->VertSize(); break;
        case laBottom: CR.Bottom = ShapeBounds.Top; break;
        }
        if (Vertical()) {
            const int Gap = FHorizMargin != 0 ? FHorizMargin : 3 * FChart->ChartWidth / 100;
            if (FAlignment == laLeft)
                CR.Left += Gap;
            else
                CR.Right -= Gap;
        } else {
            const int Gap = FVertMargin != 0 ? FVertMargin : 4 * FChart->ChartHeight / 100;
            if (FAlignment == laTop)
                CR.Top += Gap;
            else
                CR.Bottom -= Gap;
        }
    }
    FChart->ReCalcWidthHeight();
}

int TCustomChartLegend::RowOf(int Y)
{
    const int H = CalcItemHeight();
    for (int r = 0; r < RowCount; ++r) {
        const int Top = FirstItemTop() + 1 + r * H;
        if (Top <= Y && Y <= Top + H)
            return FInverted ? RowCount - r - 1 : r;
    }
    return -1;
}

int TCustomChartLegend::Clicked(int X, int Y)
{
    TRect R = ShapeBounds;
    if (OnLegendCalcSize) {
        int Size = 0;
        OnLegendCalcSize(this, Size);
        R.Right -= Size;
    }
    if (X < R.Left || X > R.Right || Y < R.Top || Y > R.Bottom)
        return -1;
    FChart->ChartCanvas()->AssignFont(Font());
    if (Vertical()) {
        const int Row = RowOf(Y);
        return Row == -1 ? -1 : Row + FFirstValue;
    }
    if (ColumnCount <= 0)
        return -1;
    const int CW = (ShapeBounds.Right - ShapeBounds.Left) / ColumnCount;
    int Result = -1;
    for (int c = 0; c < ColumnCount; ++c) {
        const int Left = ShapeBounds.Left + 1 + c * CW;
        if (!(Left <= X && X <= Left + CW))
            continue;
        const int Row = RowOf(Y);
        if (Row == -1) {
            Result = -1;
            continue;
        }
        Result = ColumnCount * Row + (FInverted ? ColumnCount - c - 1 : c);
        if (Result > ItemCount - 1)
            Result = -1;
    }
    return Result;
}

bool TCustomChartLegend::DoMouseDown(int X, int Y)
{
    if (!HasCheckBoxes())
        return false;
    const int Index = Clicked(X, Y);
    if (Index == -1)
        return false;
    if (FCheckBoxesStyle == cbsRadio) {
        for (int k = 0; k < FChart->SeriesCount(); ++k)
            if (TChartSeries* S = FChart->SeriesLegend(k, false))
                S->SetActive(k == Index);
    } else if (TChartSeries* S = FChart->SeriesLegend(Index, false)) {
        S->SetActive(!S->Active());
    }
    return true;
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
    Axis->SkipBackGrid = true;
    Axis->Draw(false);
    Axis->SkipBackGrid = false;
}

void TCustomChart::DrawGridsWithoutSideGrid(TChartAxis* Axis)
{
    if (!IsAxisVisible(Axis))
        return;
    Axis->SkipSideGrid = true;
    Axis->DrawGrids(static_cast<int>(Axis->TickPixels.size()));
    Axis->SkipSideGrid = false;
}

// ------------------------------------------------------------------ drawing: walls

void TCustomChart::CalcWallsRect()
{
    CalcSize3DWalls();
    if (View3D() && View3DOptions()->Orthogonal()) {
        const int S = ActiveSeriesUseAxis() ? FWalls->Back()->Size() : 0;
        if (View3DOptions()->OrthoAngle() > 90) {
            ChartRect.Left += std::abs(DepthWidth) + S;
            if (FWalls->Left()->Visible())
                ChartRect.Left += FWalls->Left()->Size() + 1;
        } else {
            ChartRect.Right -= std::abs(DepthWidth) + S;
            if (FWalls->Right()->Visible())
                ChartRect.Right -= FWalls->Right()->Size() + 1;
        }
        ChartRect.Top += S + std::abs(DepthHeight);
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
