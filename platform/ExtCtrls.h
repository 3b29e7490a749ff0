// Panels, bevels, radio groups, notebooks and paint boxes. (The timer
// component lives in Timer.h and comes along.)
#pragma once

#include "platform/Controls.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"

#include <memory>
#include <string>
#include <vector>

// Draws Width nested one-pixel frames inside Rect, top and left edges in
// TopColor, bottom and right in BottomColor, and shrinks Rect by Width.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// A panel paints its background, its bevels and its caption. Children align
// inside the bevels.
class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);

    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    // Where the caption sits across the panel (it is always centred down).
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The panel takes the size that holds its children that are not
    // aligned (and keeps its size while it has none).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);

protected:
    void Paint() override;
    void AdjustClientRect(TRect& Rect) const override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void ControlBoundsChanged(TControl* AControl) override;
    void Loaded() override;

private:
    void FitToControls();

    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    TAlignment FAlignment = taCenter;
    bool FAutoSize = false;
    bool FFitting = false;
};

class TPanel : public TCustomPanel {
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

// A control that only paints what OnPaint draws on its Canvas.
class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* AOwner);
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

// A group box of radio buttons, one per item, in Columns columns. OnClick
// runs whenever the checked item changes, by the user or by code.
class TRadioGroup : public TGroupBox {
public:
    explicit TRadioGroup(TComponent* AOwner);
    ~TRadioGroup() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    // The button of item Index (platform code and tests).
    TRadioButton* Buttons(int Index) const { return FButtons.at(static_cast<size_t>(Index)); }

protected:
    void BoundsChanged(bool SizeChanged) override;
    void FontChanged() override;
    void EnabledChanged() override;

private:
    void ItemsChanged();
    void ArrangeButtons();
    void ButtonClick(int Index);

    std::unique_ptr<TItemStrings> FItems;
    std::vector<TRadioButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;
};

// One page of a notebook.
class TPage : public TCustomControl {
public:
    explicit TPage(TComponent* AOwner);
};

// Pages on top of each other, one shown at a time, named by Pages.
// Pages()->Objects(i) is page i (a TPage to put controls on).
class TNotebook : public TCustomControl {
public:
    explicit TNotebook(TComponent* AOwner);
    ~TNotebook() override;

    TStrings* Pages() const { return FPages.get(); }
    TPage* Page(int Index) const { return FPageList.at(static_cast<size_t>(Index)); }
    int PageIndex() const { return FPageIndex; }
    void SetPageIndex(int Value);
    // The caption of the shown page; setting an unknown name changes nothing.
    std::string ActivePage() const;
    void SetActivePage(const std::string& Value);

    TNotifyEvent OnPageChanged;

private:
    void PagesChanged(TItemStrings::TChange Kind, int Index);
    void ShowPage();

    std::unique_ptr<TItemStrings> FPages;
    std::vector<TPage*> FPageList;
    int FPageIndex = -1;
};

// A bar between an aligned control and the rest of its parent: dragging it
// resizes that control (the one aligned to the same side just before it),
// never below MinSize.
class TSplitter : public TGraphicControl {
public:
    explicit TSplitter(TComponent* AOwner);
    int MinSize() const { return FMinSize; }
    void SetMinSize(int Value) { FMinSize = Value; }
    // The control the bar resizes, nullptr when none touches it.
    TControl* FindControl() const;

    TNotifyEvent OnMoved;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;

private:
    int FMinSize = 30;
    bool FDragging = false;
    TPoint FDownPos{};
};
