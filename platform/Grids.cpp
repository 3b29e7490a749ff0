#include "platform/Grids.h"

#include "platform/private/ControlsQt.h"

#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

struct TDrawGrid::TData {
    QScrollBar* Bar = nullptr;
};

TDrawGrid::TDrawGrid(TComponent* AOwner) : TCustomControl(AOwner), FData(std::make_unique<TData>())
{
    FData->Bar = new QScrollBar(Qt::Vertical, Handle());
    QObject::connect(FData->Bar, &QScrollBar::valueChanged,
                     [this](int Value) { InvokeGuarded([this, Value] { SetTopRow(Value); }); });
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 320, 120);
    UpdateScrollBar();
}

TDrawGrid::~TDrawGrid() = default;

void TDrawGrid::SetColCount(int Value)
{
    Value = std::max(Value, 1);
    if (Value == FColCount)
        return;
    FColCount = Value;
    FCol = std::min(FCol, FColCount - 1);
    Invalidate();
}

void TDrawGrid::SetRowCount(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FRowCount)
        return;
    FRowCount = Value;
    FRow = std::clamp(FRow, 0, std::max(FRowCount - 1, 0));
    FTopRow = std::clamp(FTopRow, 0, std::max(FRowCount - VisibleRowCount(), 0));
    UpdateScrollBar();
    Invalidate();
}

void TDrawGrid::SetDefaultColWidth(int Value)
{
    if (Value == FDefaultColWidth)
        return;
    FDefaultColWidth = std::max(Value, 0);
    Invalidate();
}

void TDrawGrid::SetDefaultRowHeight(int Value)
{
    if (Value == FDefaultRowHeight)
        return;
    FDefaultRowHeight = std::max(Value, 1);
    UpdateScrollBar();
    Invalidate();
}

int TDrawGrid::VisibleRowCount() const
{
    return std::max(ClientHeight() / FDefaultRowHeight, 1);
}

int TDrawGrid::CellsWidth() const
{
    return ClientWidth() - (FData && FData->Bar->isVisible() ? FData->Bar->width() : 0);
}

TRect TDrawGrid::CellRect(int ACol, int ARow) const
{
    if (ACol < 0 || ACol >= FColCount || ARow < FTopRow || ARow >= FRowCount)
        return Rect(0, 0, 0, 0);
    const int top = (ARow - FTopRow) * FDefaultRowHeight;
    if (top >= ClientHeight())
        return Rect(0, 0, 0, 0);
    return Rect(ACol * FDefaultColWidth, top, (ACol + 1) * FDefaultColWidth, top + FDefaultRowHeight);
}

int TDrawGrid::RowAt(int Y) const
{
    if (Y < 0)
        return -1;
    const int row = FTopRow + Y / FDefaultRowHeight;
    return row < FRowCount ? row : -1;
}

void TDrawGrid::SetRow(int Value)
{
    if (Value < 0 || Value >= FRowCount || Value == FRow)
        return;
    bool canSelect = true;
    if (OnSelectCell)
        OnSelectCell(this, FCol, Value, canSelect);
    if (!canSelect)
        return;
    FRow = Value;
    if (FRow < FTopRow)
        SetTopRow(FRow);
    else if (FRow >= FTopRow + VisibleRowCount())
        SetTopRow(FRow - VisibleRowCount() + 1);
    Invalidate();
}

void TDrawGrid::SetTopRow(int Value)
{
    Value = std::clamp(Value, 0, std::max(FRowCount - VisibleRowCount(), 0));
    if (Value == FTopRow)
        return;
    FTopRow = Value;
    UpdateScrollBar();
    Invalidate();
}

void TDrawGrid::UpdateScrollBar()
{
    QScrollBar* bar = FData->Bar;
    const QSignalBlocker block(bar);
    const int extent = bar->sizeHint().width();
    bar->setGeometry(std::max(ClientWidth() - extent, 0), 0, extent, ClientHeight());
    bar->setRange(0, std::max(FRowCount - VisibleRowCount(), 0));
    bar->setPageStep(VisibleRowCount());
    bar->setValue(FTopRow);
    bar->setVisible(FRowCount > VisibleRowCount());
}

void TDrawGrid::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    const int width = CellsWidth();
    for (int row = FTopRow; row < FRowCount; ++row) {
        const int top = (row - FTopRow) * FDefaultRowHeight;
        if (top >= ClientHeight())
            break;
        for (int col = 0; col < FColCount; ++col) {
            const TRect r = CellRect(col, row);
            if (r.Left >= width)
                break;
            const bool selected = row == FRow;
            c->Brush()->SetColor(selected ? clHighlight : Color());
            c->FillRect(r);
            if (OnDrawCell)
                OnDrawCell(this, col, row, r, selected ? TGridDrawState{gdSelected} : TGridDrawState{});
        }
    }
}

void TDrawGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    if (CanFocus())
        SetFocus();
    const int row = RowAt(Y);
    if (row >= 0)
        SetRow(row);
}

bool TDrawGrid::WantsKey(uint16_t Key) const
{
    return Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_HOME || Key == VK_END;
}

void TDrawGrid::KeyDown(uint16_t& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    int target = -1;
    switch (Key) {
    case VK_UP:
        target = FRow - 1;
        break;
    case VK_DOWN:
        target = FRow + 1;
        break;
    case VK_PRIOR:
        target = std::max(FRow - VisibleRowCount(), 0);
        break;
    case VK_NEXT:
        target = std::min(FRow + VisibleRowCount(), FRowCount - 1);
        break;
    case VK_HOME:
        target = 0;
        break;
    case VK_END:
        target = FRowCount - 1;
        break;
    default:
        return;
    }
    SetRow(target);
    Key = 0;
}

bool TDrawGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos))
        return true;
    SetTopRow(FTopRow - WheelDelta / 120);
    return true;
}

void TDrawGrid::BoundsChanged(bool SizeChanged)
{
    TCustomControl::BoundsChanged(SizeChanged);
    if (SizeChanged && FData) {
        FTopRow = std::clamp(FTopRow, 0, std::max(FRowCount - VisibleRowCount(), 0));
        UpdateScrollBar();
    }
}
