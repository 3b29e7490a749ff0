#include "platform/Grids.h"

#include "platform/private/CanvasQt.h"
#include "platform/private/ControlsQt.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
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
    FRow = std::clamp(FRow, std::min(FFixedRows, std::max(FRowCount - 1, 0)), std::max(FRowCount - 1, 0));
    FTopRow = std::clamp(FTopRow, MinTopRow(), MaxTopRow());
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

int TDrawGrid::ColWidths(int Index) const
{
    if (Index >= 0 && Index < static_cast<int>(FColWidths.size()) && FColWidths[static_cast<size_t>(Index)] >= 0)
        return FColWidths[static_cast<size_t>(Index)];
    return FDefaultColWidth;
}

void TDrawGrid::SetColWidths(int Index, int Value)
{
    if (Index < 0 || Value == ColWidths(Index))
        return;
    if (Index >= static_cast<int>(FColWidths.size()))
        FColWidths.resize(static_cast<size_t>(Index) + 1, -1);
    FColWidths[static_cast<size_t>(Index)] = std::max(Value, 0);
    Invalidate();
}

void TDrawGrid::SetFixedRows(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FFixedRows)
        return;
    FFixedRows = Value;
    FRow = std::clamp(FRow, std::min(FFixedRows, std::max(FRowCount - 1, 0)), std::max(FRowCount - 1, 0));
    FTopRow = std::clamp(FTopRow, MinTopRow(), MaxTopRow());
    UpdateScrollBar();
    Invalidate();
}

int TDrawGrid::MaxTopRow() const
{
    return std::max(FRowCount - VisibleRowCount(), MinTopRow());
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
    return std::max((ClientHeight() - FFixedRows * FDefaultRowHeight) / FDefaultRowHeight, 1);
}

int TDrawGrid::CellsWidth() const
{
    return ClientWidth() - (FData && FData->Bar->isVisible() ? FData->Bar->width() : 0);
}

TRect TDrawGrid::CellRect(int ACol, int ARow) const
{
    const bool fixed = ARow >= 0 && ARow < FFixedRows;
    if (ACol < 0 || ACol >= FColCount || ARow >= FRowCount || (!fixed && ARow < FTopRow))
        return Rect(0, 0, 0, 0);
    const int top = (fixed ? ARow : FFixedRows + ARow - FTopRow) * FDefaultRowHeight;
    if (top >= ClientHeight())
        return Rect(0, 0, 0, 0);
    int left = 0;
    for (int col = 0; col < ACol; ++col)
        left += ColWidths(col);
    return Rect(left, top, left + ColWidths(ACol), top + FDefaultRowHeight);
}

int TDrawGrid::RowAt(int Y) const
{
    if (Y < 0)
        return -1;
    const int line = Y / FDefaultRowHeight;
    const int row = line < FFixedRows ? line : FTopRow + line - FFixedRows;
    return row < FRowCount ? row : -1;
}

int TDrawGrid::ColAt(int X) const
{
    if (X < 0)
        return -1;
    int right = 0;
    for (int col = 0; col < FColCount; ++col) {
        right += ColWidths(col);
        if (X < right)
            return col;
    }
    return -1;
}

void TDrawGrid::SetCol(int Value)
{
    if (Value >= 0 && Value < FColCount)
        SelectCell(Value, FRow);
}

void TDrawGrid::SetRow(int Value)
{
    SelectCell(FCol, Value);
}

void TDrawGrid::SelectCell(int ACol, int ARow)
{
    if (ARow < FFixedRows || ARow >= FRowCount || (ACol == FCol && ARow == FRow))
        return;
    bool canSelect = true;
    if (OnSelectCell)
        OnSelectCell(this, ACol, ARow, canSelect);
    if (!canSelect)
        return;
    FCol = ACol;
    FRow = ARow;
    if (FRow < FTopRow)
        SetTopRow(FRow);
    else if (FRow >= FTopRow + VisibleRowCount())
        SetTopRow(FRow - VisibleRowCount() + 1);
    Invalidate();
}

void TDrawGrid::SetTopRow(int Value)
{
    Value = std::clamp(Value, MinTopRow(), MaxTopRow());
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
    bar->setRange(MinTopRow(), MaxTopRow());
    bar->setPageStep(VisibleRowCount());
    bar->setValue(FTopRow);
    bar->setVisible(FRowCount - FFixedRows > VisibleRowCount());
}

void TDrawGrid::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    const int width = CellsWidth();
    auto paintRow = [&](int row) {
        const bool fixed = row < FFixedRows;
        for (int col = 0; col < FColCount; ++col) {
            const TRect r = CellRect(col, row);
            if (r.Left >= width)
                break;
            const bool selected = !fixed && row == FRow;
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(fixed ? clBtnFace : selected ? clHighlight : Color());
            c->FillRect(r);
            if (fixed) {
                c->Pen()->SetColor(clBtnShadow);
                c->MoveTo(r.Right - 1, r.Top);
                c->LineTo(r.Right - 1, r.Bottom - 1);
                c->LineTo(r.Left - 1, r.Bottom - 1);
            }
            DrawCell(col, row, r,
                     fixed ? TGridDrawState{gdFixed} : selected ? TGridDrawState{gdSelected} : TGridDrawState{});
        }
    };
    for (int row = 0; row < std::min(FFixedRows, FRowCount); ++row)
        paintRow(row);
    for (int row = FTopRow; row < FRowCount; ++row) {
        if ((FFixedRows + row - FTopRow) * FDefaultRowHeight >= ClientHeight())
            break;
        paintRow(row);
    }
}

void TDrawGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState)
{
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, ARect, AState);
}

void TDrawGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    if (CanFocus())
        SetFocus();
    const int row = RowAt(Y);
    const int col = ColAt(X);
    if (row >= 0)
        SelectCell(col >= 0 ? col : FCol, row);
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
        target = std::max(FRow - VisibleRowCount(), FFixedRows);
        break;
    case VK_NEXT:
        target = std::min(FRow + VisibleRowCount(), FRowCount - 1);
        break;
    case VK_HOME:
        target = FFixedRows;
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
        FTopRow = std::clamp(FTopRow, MinTopRow(), MaxTopRow());
        UpdateScrollBar();
    }
}

// ------------------------------------------------------------ string grid

// The in-place editor: a line edit over the current cell. Enter ends the
// edit, Esc drops it, leaving it ends it.
struct TStringGrid::TEditor : public QObject {
    TStringGrid* Grid = nullptr;
    QPointer<QLineEdit> Edit;
    int Col = 0;
    int Row = 0;
    bool Open = false;

    bool eventFilter(QObject* Object, QEvent* Event) override
    {
        if (Object != Edit || !Open)
            return false;
        if (Event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(Event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
                const bool accept = key != Qt::Key_Escape;
                InvokeGuarded([this, accept] {
                    Grid->HideEditor(accept);
                    if (Grid->CanFocus())
                        Grid->SetFocus();
                });
                return true;
            }
        } else if (Event->type() == QEvent::FocusOut) {
            InvokeGuarded([this] { Grid->HideEditor(true); });
        }
        return false;
    }
};

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner), FEditor(std::make_unique<TEditor>())
{
    FEditor->Grid = this;
}

TStringGrid::~TStringGrid()
{
    FEditor->Open = false;
}

std::string TStringGrid::Cells(int ACol, int ARow) const
{
    const auto it = FCells.find({ACol, ARow});
    return it == FCells.end() ? std::string() : it->second;
}

void TStringGrid::SetCells(int ACol, int ARow, const std::string& Value)
{
    if (ACol < 0 || ARow < 0 || Cells(ACol, ARow) == Value)
        return;
    if (Value.empty())
        FCells.erase({ACol, ARow});
    else
        FCells[{ACol, ARow}] = Value;
    if (FEditor->Open && FEditor->Col == ACol && FEditor->Row == ARow && FEditor->Edit)
        FEditor->Edit->setText(QString::fromStdString(Value));
    Invalidate();
}

void TStringGrid::SetOptions(TGridOptions Value)
{
    if (Value == FOptions)
        return;
    FOptions = Value;
    if (!FOptions.Contains(goEditing))
        HideEditor(false);
}

bool TStringGrid::EditorMode() const
{
    return FEditor->Open;
}

void TStringGrid::ShowEditor()
{
    if (!FOptions.Contains(goEditing) || FEditor->Open || Row() < FixedRows() || Row() >= RowCount())
        return;
    const TRect r = CellRect(Col(), Row());
    if (r.Width() <= 0)
        return;
    if (!FEditor->Edit) {
        FEditor->Edit = new QLineEdit(Handle());
        FEditor->Edit->setFrame(false);
        FEditor->Edit->installEventFilter(FEditor.get());
    }
    QLineEdit* edit = FEditor->Edit;
    FEditor->Col = Col();
    FEditor->Row = Row();
    FEditor->Open = true;
    edit->setFont(ToQFont(*Font()));
    edit->setGeometry(r.Left, r.Top, std::min(r.Width(), CellsWidth() - r.Left), r.Height());
    edit->setText(QString::fromStdString(Cells(Col(), Row())));
    edit->selectAll();
    edit->show();
    edit->setFocus();
}

void TStringGrid::HideEditor(bool Accept)
{
    if (!FEditor->Open)
        return;
    FEditor->Open = false;
    const std::string text = FEditor->Edit ? FEditor->Edit->text().toStdString() : std::string();
    if (FEditor->Edit)
        FEditor->Edit->hide();
    if (Accept)
        SetEditText(FEditor->Col, FEditor->Row, text);
}

void TStringGrid::SetEditText(int ACol, int ARow, const std::string& Value)
{
    SetCells(ACol, ARow, Value);
    if (OnSetEditText)
        OnSetEditText(this, ACol, ARow, Value);
}

void TStringGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState)
{
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    c->Font()->SetColor(AState.Contains(gdSelected) ? clHighlightText
                        : AState.Contains(gdFixed)  ? clBtnText
                                                    : Font()->Color());
    c->Brush()->SetStyle(bsClear);
    c->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, Cells(ACol, ARow));
    c->Brush()->SetStyle(bsSolid);
    TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

bool TStringGrid::WantsKey(uint16_t Key) const
{
    if (FEditor->Open && (Key == VK_RETURN || Key == VK_ESCAPE))
        return true;
    if (FOptions.Contains(goEditing) && (Key == VK_RETURN || Key == VK_F2))
        return true;
    return Key == VK_LEFT || Key == VK_RIGHT || TDrawGrid::WantsKey(Key);
}

void TStringGrid::KeyDown(uint16_t& Key, TShiftState Shift)
{
    if (FOptions.Contains(goEditing) && (Key == VK_RETURN || Key == VK_F2)) {
        ShowEditor();
        Key = 0;
        return;
    }
    if (Key == VK_LEFT || Key == VK_RIGHT) {
        SetCol(Col() + (Key == VK_LEFT ? -1 : 1));
        Key = 0;
        return;
    }
    TDrawGrid::KeyDown(Key, Shift);
}

void TStringGrid::KeyPress(char& Key)
{
    TDrawGrid::KeyPress(Key);
    if (!FOptions.Contains(goEditing) || FEditor->Open || static_cast<unsigned char>(Key) < ' ')
        return;
    ShowEditor();
    if (FEditor->Open && FEditor->Edit) {
        FEditor->Edit->setText(QString(QChar(Key)));
        Key = 0;
    }
}

void TStringGrid::BoundsChanged(bool SizeChanged)
{
    TDrawGrid::BoundsChanged(SizeChanged);
    if (SizeChanged)
        HideEditor(true);
}
