#include "chart/ChMarks.h"

#include "chart/ChEngine.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

// ------------------------------------------------------------------ positions

void TSeriesMarkPosition::Assign(const TSeriesMarkPosition& Source)
{
    ArrowStart = Source.ArrowStart;
    ArrowEnd = Source.ArrowEnd;
    BoxTopLeft = Source.BoxTopLeft;
    BoxHeight = Source.BoxHeight;
    BoxWidth = Source.BoxWidth;
}

TRect TSeriesMarkPosition::Bounds() const
{
    return {BoxTopLeft.X, BoxTopLeft.Y, BoxTopLeft.X + BoxWidth, BoxTopLeft.Y + BoxHeight};
}

TSeriesMarkPosition* TSeriesMarksPositions::Get(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FItems[static_cast<size_t>(Index)].get();
}

void TSeriesMarksPositions::Put(int Index, const TSeriesMarkPosition& Position)
{
    if (Index < 0)
        return;
    if (Index >= Count())
        FItems.resize(static_cast<size_t>(Index) + 1);
    auto& Slot = FItems[static_cast<size_t>(Index)];
    if (!Slot)
        Slot = std::make_unique<TSeriesMarkPosition>();
    Slot->IsCustom = true;
    Slot->Assign(Position);
}

void TSeriesMarksPositions::Automatic(int Index)
{
    if (TSeriesMarkPosition* P = Get(Index))
        P->IsCustom = false;
}

bool TSeriesMarksPositions::ExistCustom() const
{
    return std::any_of(FItems.begin(), FItems.end(), [](const auto& P) { return P && P->IsCustom; });
}

void TSeriesMarksPositions::DeleteRange(int Start, int Quantity)
{
    const int First = std::max(Start, 0);
    const int Last = std::min(Start + Quantity, Count());
    if (First < Last)
        FItems.erase(FItems.begin() + First, FItems.begin() + Last);
}

void TSeriesMarksPositions::Exchange(int Index1, int Index2)
{
    const int Needed = std::max(Index1, Index2) + 1;
    if (Get(Index1) == nullptr && Get(Index2) == nullptr)
        return;
    if (Count() < Needed)
        FItems.resize(static_cast<size_t>(Needed));
    std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
}

// ------------------------------------------------------------------ items

TMarksItem::TMarksItem(TCustomChPanel* Panel) : TChCustomShape(Panel)
{
    SetColor(clInfoBk);
}

TMarksItem* TMarksItems::Get(int Index)
{
    if (Index >= Count())
        FItems.resize(static_cast<size_t>(Index) + 1);
    auto& Slot = FItems.at(static_cast<size_t>(Index));
    if (!Slot) {
        Slot = std::make_unique<TMarksItem>(FMarks->Parent());
        Slot->Shadow()->SetColor(clGray);
        Slot->Shadow()->SetSize(1);
        Slot->Shadow()->DefaultColor = clGray;
        Slot->Shadow()->DefaultSize = 1;
    }
    return Slot.get();
}

bool TMarksItems::Has(int Index) const
{
    return Index >= 0 && Index < Count() && FItems[static_cast<size_t>(Index)] != nullptr;
}

// Repaints only when there was something to forget.
void TMarksItems::Clear()
{
    if (FItems.empty())
        return;
    FItems.clear();
    FMarks->Repaint();
}

void TMarksItems::DeleteRange(int Start, int Quantity)
{
    const int First = std::max(Start, 0);
    const int Last = std::min(Start + Quantity, Count());
    if (First < Last)
        FItems.erase(FItems.begin() + First, FItems.begin() + Last);
}

void TMarksItems::Exchange(int Index1, int Index2)
{
    if (!Has(Index1) && !Has(Index2))
        return;
    const int Needed = std::max(Index1, Index2) + 1;
    if (Count() < Needed)
        FItems.resize(static_cast<size_t>(Needed));
    std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
}

// ------------------------------------------------------------------ marks

TSeriesMarks::TSeriesMarks(TChartSeries* ASeries) : TChCustomShape(nullptr), FSeries(ASeries)
{
    SetColor(clInfoBk);
    Shadow()->SetColor(clGray);
    Shadow()->SetSize(1);
    Shadow()->DefaultColor = clGray;
    Shadow()->DefaultSize = 1;
    SetVisible(false);
}

TSeriesMarks::~TSeriesMarks() = default;

void TSeriesMarks::SetParent(TCustomChPanel* Value)
{
    TChCustomShape::SetParent(Value);
    if (FCallout)
        FCallout->SetParent(Value);
    if (FSymbol)
        FSymbol->SetParent(Value);
}

TMarksCallout* TSeriesMarks::Callout()
{
    if (!FCallout)
        FCallout = std::make_unique<TMarksCallout>(FSeries);
    return FCallout.get();
}

void TSeriesMarks::SetCallout(TMarksCallout* Value)
{
    if (Value == nullptr)
        FCallout.reset();
    else if (Value != FCallout.get())
        Callout()->Assign(Value);
}

TSeriesMarksSymbol* TSeriesMarks::Symbol()
{
    if (!FSymbol)
        FSymbol = std::make_unique<TSeriesMarksSymbol>(Parent());
    return FSymbol.get();
}

void TSeriesMarks::SetSymbol(TSeriesMarksSymbol* Value)
{
    if (Value == nullptr)
        FSymbol.reset();
    else if (Value != FSymbol.get())
        Symbol()->Assign(Value);
}

void TSeriesMarks::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TSeriesMarks*>(Source)) {
        FAngle = S->FAngle;
        SetCallout(S->FCallout.get());
        SetSymbol(S->FSymbol.get());
        FClip = S->FClip;
        FDrawEvery = S->FDrawEvery;
        FStyle = S->FStyle;
        FMultiLine = S->FMultiLine;
        FItems.Clear();
        for (int i = 0; i < S->FItems.Count(); ++i)
            if (S->FItems.Has(i))
                FItems.Get(i)->Assign(S->FItems.Get(i));
    }
    TChCustomShape::Assign(Source);
}

TChCustomShape* TSeriesMarks::MarkItem(int Index)
{
    if (FItems.Has(Index))
        return FItems.Get(Index);
    return this;
}

void TSeriesMarks::SetStyle(TSeriesMarksStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        FSeries->Repaint();
    }
}

void TSeriesMarks::SetDrawEvery(int Value) { FSeries->SetIntegerProperty(FDrawEvery, Value); }
void TSeriesMarks::SetAngle(int Value) { FSeries->SetIntegerProperty(FAngle, Value); }
void TSeriesMarks::SetClip(bool Value) { FSeries->SetBooleanProperty(FClip, Value); }
void TSeriesMarks::SetMultiLine(bool Value) { FSeries->SetBooleanProperty(FMultiLine, Value); }

void TSeriesMarks::Clear()
{
    FPositions.Clear();
    if (!FItems.LoadingCustom)
        FItems.Clear();
}

void TSeriesMarks::ResetPositions()
{
    for (int i = 0; i < FPositions.Count(); ++i)
        FPositions.Automatic(i);
    FSeries->Repaint();
}

int TSeriesMarks::TextWidth(int ValueIndex)
{
    TCustomAxisPanel* Chart = FSeries->ParentChart();
    if (Chart == nullptr)
        return 0;
    int Lines = 0;
    return Chart->MultiLineTextWidth(FSeries->GetMarkText(ValueIndex), Lines);
}

void TSeriesMarks::UsePosition(int Index, TSeriesMarkPosition& Position)
{
    TSeriesMarkPosition* Stored = FPositions.Get(Index);
    if (Stored == nullptr) {
        FPositions.Put(Index, Position);
        FPositions.Automatic(Index);
        return;
    }
    if (!Stored->IsCustom) {
        Stored->Assign(Position);
        return;
    }
    const TPoint Start = Position.ArrowStart;
    Position.Assign(*Stored);
    if (Position.KeepArrowStart)
        Position.ArrowStart = Start;
}

void TSeriesMarks::ApplyArrowLength(TSeriesMarkPosition* Position)
{
    if (FCallout)
        FCallout->ApplyArrowLength(Position);
}

void TSeriesMarks::ConvertTo2D(const TPoint& Point, TPoint& BoxTopLeft)
{
    TCustomAxisPanel* Chart = FSeries->ParentChart();
    if (Chart == nullptr || !Chart->View3D() || Chart->ChartCanvas()->Supports3DText())
        return;
    const TPoint P = Chart->ChartCanvas()->Calculate3DPosition(Point, ZPos);
    BoxTopLeft.X += P.X - Point.X;
    BoxTopLeft.Y += P.Y - Point.Y;
}

TRect TSeriesMarks::OuterRect(const TSeriesMarkPosition& Position)
{
    TRect R = Position.Bounds();
    if (Pen()->Visible()) {
        R.Right += Pen()->Width();
        R.Bottom += Pen()->Width();
    }
    TChShadow* S = Shadow();
    (S->HorizSize() > 0 ? R.Right : R.Left) += S->HorizSize();
    (S->VertSize() > 0 ? R.Bottom : R.Top) += S->VertSize();
    TPoint Moved{0, 0};
    ConvertTo2D(Position.ArrowEnd, Moved);
    OffsetRect(R, Moved.X, Moved.Y);
    return R;
}

void TSeriesMarks::AntiOverlap(int First, int Index, TSeriesMarkPosition* Position)
{
    const TRect R = OuterRect(*Position);
    for (int i = std::max(First, 0); i < Index; ++i) {
        const TSeriesMarkPosition* Other = FPositions.Get(i);
        if (Other == nullptr)
            continue;
        const TRect O = OuterRect(*Other);
        TRect Common;
        if (!IntersectRect(Common, O, R))
            continue;
        const int Move = O.Top > R.Top ? -(R.Bottom - O.Top) : O.Bottom - R.Top;
        Position->BoxTopLeft.Y += Move;
        Position->ArrowEnd.Y += Move;
    }
}

void TSeriesMarks::InternalDraw(int Index, TColor AColor, TSeriesMarkPosition* Position, const std::string& Text)
{
    TCustomAxisPanel* Chart = FSeries->ParentChart();
    if (Chart == nullptr)
        return;
    UsePosition(Index, *Position);
    TCanvas3D* C = Chart->ChartCanvas();
    TChCustomShape* Item = MarkItem(Index);
    if (FCallout && (FCallout->Visible() || FCallout->Arrow()->Visible()))
        FCallout->Draw(AColor, Position->ArrowStart, Position->ArrowEnd, ZPos);

    // The box and the text go where the arrow's end is seen.
    TPoint TopLeft = Position->BoxTopLeft;
    ConvertTo2D(Position->ArrowEnd, TopLeft);
    const TRect R{TopLeft.X, TopLeft.Y, TopLeft.X + Position->BoxWidth, TopLeft.Y + Position->BoxHeight};
    if (!Item->Transparent())
        Item->DrawRectRotated(R, FAngle % 360, ZPos + 1);

    C->AssignFont(Item->Font());
    TRect TextRect = R;
    TextRect.Left += 2;
    if (SymbolShown()) {
        const int H = C->GetFontHeight();
        FSymbol->SetColor(FSeries->GetValueColor(Index));
        FSymbol->SetTransparent(false);
        FSymbol->ShapeBounds = {TopLeft.X + 4, TopLeft.Y + 3, TopLeft.X + H - 1, TopLeft.Y + H - 2};
        FSymbol->DrawRectRotated(FSymbol->ShapeBounds, FAngle % 360, ZPos + 1);
        TextRect.Left += FSymbol->Width() + 4;
        C->AssignFont(Item->Font());
    }
    C->Brush->SetStyle(bsClear);
    C->SetBackMode(cbmTransparent);
    C->SetTextAlign(TA_CENTER);
    DrawText(Item, TextRect, Text);
    C->SetTextAlign(0);
}

void TSeriesMarks::DrawText(TChCustomShape* Item, const TRect& R, const std::string& Text)
{
    TCanvas3D* C = FSeries->ParentChart()->ChartCanvas();
    const int H = C->GetFontHeight();
    int Cx, Cy;
    RectCenter(R, Cx, Cy);
    const bool Text3D = C->Supports3DText();
    const double A = FAngle * std::numbers::pi / 180.0;
    size_t Start = 0;
    for (int i = 0; Start <= Text.size(); ++i) {
        const size_t Sep = Text.find(ChLineSeparator, Start);
        const std::string Line = Text.substr(Start, Sep == std::string::npos ? std::string::npos : Sep - Start);
        int X = Cx, Y;
        if (FAngle == 0)
            Y = R.Top + i * H + (Item->Pen()->Visible() ? Item->Pen()->Width() : 0);
        else {
            const double D = i * H + Cy - R.Bottom;
            X = Cx + ChRound(D * std::sin(A)) + (FAngle == 90 ? 2 : 0);
            Y = Cy + ChRound(D * std::cos(A));
        }
        if (Text3D) {
            if (FAngle != 0)
                C->RotateLabel3D(X, Y, ZPos, Line, FAngle);
            else
                C->TextOut3D(X, Y, ZPos, Line);
        } else if (FAngle != 0)
            C->RotateLabel(X, Y, Line, FAngle);
        else
            C->TextOut(X, Y, Line);
        if (Sep == std::string::npos)
            break;
        Start = Sep + 1;
    }
}
