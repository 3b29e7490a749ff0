#include "chart/ChMarks.h"

#include "chart/ChEngine.h"

#include <algorithm>
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
    SetVisible(false);
}

TSeriesMarks::~TSeriesMarks() = default;

void TSeriesMarks::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TSeriesMarks*>(Source)) {
        FAngle = S->FAngle;
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

void TSeriesMarks::InternalDraw(int Index, TColor AColor, TSeriesMarkPosition* Position, const std::string& Text)
{
    TCustomAxisPanel* Chart = FSeries->ParentChart();
    if (Chart == nullptr)
        return;
    UsePosition(Index, *Position);
    TCanvas3D* C = Chart->ChartCanvas();
    TChCustomShape* Item = MarkItem(Index);
    const TRect R = Position->Bounds();
    if (!Item->Transparent())
        Item->DrawRectRotated(R, FAngle, ZPos);
    C->AssignFont(Item->Font());
    C->Brush->SetStyle(bsClear);
    C->SetBackMode(cbmTransparent);
    C->SetTextAlign(TA_CENTER);
    const int H = C->GetFontHeight();
    const int X = (R.Left + R.Right) / 2;
    int Y = R.Top + (Item->Pen()->Visible() ? Item->Pen()->Width() : 0);
    size_t Start = 0;
    while (Start <= Text.size()) {
        const size_t Sep = Text.find(ChLineSeparator, Start);
        const std::string Line = Text.substr(Start, Sep == std::string::npos ? std::string::npos : Sep - Start);
        if (FAngle != 0)
            C->RotateLabel3D(X, Y, ZPos, Line, FAngle);
        else
            C->TextOut3D(X, Y, ZPos, Line);
        Y += H;
        if (Sep == std::string::npos)
            break;
        Start = Sep + 1;
    }
    C->SetTextAlign(0);
}
