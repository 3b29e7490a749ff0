// Grids: a grid of cells the program draws itself (OnDrawCell), one row
// selected at a time, a vertical scroll bar when the rows do not fit; and a
// grid of texts the user may edit in place.
#pragma once

#include "platform/Controls.h"
#include "platform/Graphics.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;

// Cells of DefaultColWidth x DefaultRowHeight from the top-left corner; the
// whole row of the current cell is selected. A click, the arrow and page
// keys, Home and End move the selection (OnSelectCell may refuse); the
// wheel scrolls. OnResize fires when the grid changes its size. ColWidths
// gives single columns their own width. The FixedRows top rows are headings:
// they stay in view, are drawn in the button face and are never selected.
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
    // DefaultColWidth unless the column was given its own.
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int FixedRows() const { return FFixedRows; }
    // Kept below RowCount where there are rows to select.
    void SetFixedRows(int Value);
    int Col() const { return FCol; }
    int Row() const { return FRow; }
    // Both ask OnSelectCell first; SetRow scrolls the row into view.
    void SetCol(int Value);
    void SetRow(int Value);
    int TopRow() const { return FTopRow; }
    void SetTopRow(int Value);
    // Rows wholly in view.
    int VisibleRowCount() const;
    // The cell's area in the grid's client coordinates (empty when out of view).
    TRect CellRect(int ACol, int ARow) const;
    // The row at client Y, -1 below the last.
    int RowAt(int Y) const;
    // The column at client X, -1 right of the last.
    int ColAt(int X) const;

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void BoundsChanged(bool SizeChanged) override;
    bool WantsKey(uint16_t Key) const override;
    // Draws one cell on the filled background: OnDrawCell.
    virtual void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState);
    // The area right of the scroll bar's.
    int CellsWidth() const;

private:
    void UpdateScrollBar();
    // The first row that scrolls, and the last top row.
    int MinTopRow() const { return FFixedRows; }
    int MaxTopRow() const;
    // Asks OnSelectCell, then makes ACol, ARow current.
    void SelectCell(int ACol, int ARow);

    struct TData;
    std::unique_ptr<TData> FData;
    int FColCount = 1;
    int FRowCount = 0;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    std::vector<int> FColWidths;
    int FFixedRows = 0;
    int FCol = 0;
    int FRow = 0;
    int FTopRow = 0;
};

enum TGridOption { goEditing };

class TGridOptions {
public:
    constexpr TGridOptions() = default;
    constexpr TGridOptions(std::initializer_list<TGridOption> Items)
    {
        for (TGridOption I : Items)
            FBits |= 1u << static_cast<unsigned>(I);
    }
    constexpr bool Contains(TGridOption I) const { return (FBits & (1u << static_cast<unsigned>(I))) != 0; }
    constexpr bool operator==(const TGridOptions&) const = default;

private:
    unsigned FBits = 0;
};

// A draw grid that keeps a text per cell and draws it; the left and right
// arrows move between the columns. With goEditing the
// current cell can be edited in place: F2, Enter or a typed character open an
// editor over it; Enter or leaving it ends the edit (SetEditText), Esc drops
// it. A double click fires OnDblClick.
class TStringGrid : public TDrawGrid {
public:
    explicit TStringGrid(TComponent* AOwner);
    ~TStringGrid() override;

    std::string Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const std::string& Value);
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);

    // The in-place editor is open.
    bool EditorMode() const;
    // Opens the editor on the current cell (goEditing, not on a heading).
    void ShowEditor();
    // Closes the editor; Accept ends the edit with its text.
    void HideEditor(bool Accept);
    // What a finished edit does: the cell takes Value, then OnSetEditText
    // (which may put another text into the cell).
    void SetEditText(int ACol, int ARow, const std::string& Value);

    TSetEditEvent OnSetEditText;

protected:
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    bool WantsKey(uint16_t Key) const override;
    void BoundsChanged(bool SizeChanged) override;

private:
    struct TEditor;
    std::unique_ptr<TEditor> FEditor;
    std::map<std::pair<int, int>, std::string> FCells;
    TGridOptions FOptions;
};
