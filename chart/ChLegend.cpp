// The legend: the framed box that lists the chart's series or the values of
// one series, with its symbols, title, check boxes and dividing lines. Each
// drawing first lays the legend out (items, rows, columns, rectangle), then
// paints what the layout placed, then takes its room from the chart.
#include "chart/ChLegend.h"

#include "chart/Chart.h"
#include "platform/ScopeGuard.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

// ------------------------------------------------------------------ symbol and title

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
    Shadow()->DefaultSize = 2;
    Shadow()->DefaultColor = clSilver;
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
    if (!CalcLayout())
        return;
    Paint();
    ResizeChartRect();
}

void TCustomChartLegend::CollectTexts()
{
    TCanvas3D* C = FChart->ChartCanvas();
    auto& Texts = FLayout.Texts;
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
}

bool TCustomChartLegend::CalcLayout()
{
    TCanvas3D* C = FChart->ChartCanvas();
    FLayout = TLegendLayout();
    CalcLegendStyle();
    const int F = FrameWidth();
    FLayout.FrameWidth = F;
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
    FLayout.Space = C->TextWidth(" ");
    const int H = CalcItemHeight();
    FLayout.ItemHeight = H;
    DrawsTitle = FTitle->Visible() && FTitle->Text()->Count() > 0;
    const int TitleHeight = DrawsTitle ? FTitle->CalcHeight() : 0;
    C->AssignFont(Font());

    const TRect& PB = FChart->PanelBounds;
    const TRect& CR = FChart->FChartRect;
    int W = 0;
    if (Vertical()) {
        if (!CustomPosition())
            ShapeBounds.Top = PB.Top + static_cast<int>(std::nearbyint(FTopPos * (PB.Bottom - PB.Top) * 0.01));
        ColumnCount = 1;
        const int T = FirstItemTop();
        RowCount = T >= CR.Bottom ? 0 : std::min((FChart->ChartHeight - 2 * F - T + CR.Top) / H, ItemCount);
        LastShownValue = FFirstValue + std::min(ItemCount, RowCount) - 1;
        CollectTexts();
        W = 2 * FLayout.Space - 1 + TextColumnWidths[0] + TextColumnWidths[1];
    } else {
        LastShownValue = FFirstValue + ItemCount - 1;
        CollectTexts();
        W = 2 * FLayout.Space - 1 + TextColumnWidths[0] + TextColumnWidths[1];
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
        FLayout.Texts.resize(static_cast<size_t>(std::max(0, LastShownValue - FFirstValue + 1)));
    }
    FLayout.TextWidth = W;
    if (LastShownValue < FFirstValue) {
        FLayout.Texts.clear();
        return false;
    }

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

    int X0 = 0;
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
            FLayout.CheckX = ShapeBounds.Left + 4;
            X0 = FLayout.CheckX + 11;
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
            FLayout.CheckX = ShapeBounds.Left + 4;
            X0 += 15;
        }
    }
    if (FSymbol->Position() == spLeft) {
        FLayout.SymbolX = X0 + 6;
        FLayout.TextX = FLayout.SymbolX + SymbolColumnWidth + 4;
    } else {
        FLayout.TextX = X0 + 6;
        FLayout.SymbolX = FLayout.TextX + W;
    }
    if (FChart->OnGetLegendRect)
        FChart->OnGetLegendRect(FChart, ShapeBounds);
    return true;
}

void TCustomChartLegend::Paint()
{
    TCanvas3D* C = FChart->ChartCanvas();
    const TLegendLayout& L = FLayout;
    const int H = L.ItemHeight, W = L.TextWidth, S = L.Space;
    // The texts are needed no longer than the paint, also when it fails;
    // the symbols' pen is the chart's again.
    TScopeExit Done([this] {
        FLayout.Texts.clear();
        FChart->LegendPen = nullptr;
    });
    Draw();
    if (DrawsTitle) {
        FTitle->CalcShapeBounds(ShapeBounds);
        FTitle->Draw();
        FTitle->DrawText();
    }
    C->AssignFont(Font());

    for (int p = 0; p <= LastShownValue - FFirstValue && p < ItemCount; ++p) {
        const int i = FInverted ? LastShownValue - p : FFirstValue + p;
        C->Brush->SetColor(Color());
        C->Brush->SetStyle(bsClear);
        FChart->LegendPen = FSymbol->DefaultPen() ? nullptr : FSymbol->Pen();
        int TX = L.TextX, SX = L.SymbolX, Y = FirstItemTop() + 1, Row = p, Offset = 0;
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
            const std::string& Text = L.Texts[static_cast<size_t>(p)][c];
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
                ChDrawCheckBox(L.CheckX + (Vertical() ? 0 : Offset), (H - FVertSpacing - 11) / 2 + Y - 1,
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
}

void TCustomChartLegend::ResizeChartRect()
{
    TRect& CR = FChart->FChartRect;
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
