// Grids: a grid of cells the program draws itself (OnDrawCell), one row
// selected at a time, a vertical scroll bar when the rows do not fit.
#pragma once

#include "platform/Controls.h"
#include "platform/Graphics.h"

#include <functional>
#include <memory>

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };

class TGridDrawState {
public:
    constexpr TGridDrawState() = default;
    constexpr TGridDrawState(std::initializer_list<TGridDrawStateItem> Items)
    {
        for (TGridDrawStateItem I : Items)
            FBits |= 1u << static_cast<unsigned>(I);
    }
    constexpr bool Contains(TGridDrawStateItem I) const { return (FBits & (1u << static_cast<unsigned>(I))) != 0; }

private:
    unsigned FBits = 0;
};

using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;

// Cells of DefaultColWidth x DefaultRowHeight from the top-left corner; the
// whole row of the current cell is selected. A click, the arrow and page
// keys, Home and End move the selection (OnSelectCell may refuse); the
// wheel scrolls. OnResize fires when the grid changes its size.
class TDrawGrid : public TCustomControl {
public:
    explicit TDrawGrid(TComponent* AOwner);
    ~TDrawGrid() override;

    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    // The selection stays within the rows there are.
    void SetRowCount(int Value);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int Col() const { return FCol; }
    int Row() const { return FRow; }
    // Asks OnSelectCell first; scrolls the row into view.
    void SetRow(int Value);
    int TopRow() const { return FTopRow; }
    void SetTopRow(int Value);
    // Rows wholly in view.
    int VisibleRowCount() const;
    // The cell's area in the grid's client coordinates (empty when out of view).
    TRect CellRect(int ACol, int ARow) const;
    // The row at client Y, -1 below the last.
    int RowAt(int Y) const;

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void BoundsChanged(bool SizeChanged) override;
    bool WantsKey(uint16_t Key) const override;

private:
    void UpdateScrollBar();
    int CellsWidth() const;

    struct TData;
    std::unique_ptr<TData> FData;
    int FColCount = 1;
    int FRowCount = 0;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    int FCol = 0;
    int FRow = 0;
    int FTopRow = 0;
};
