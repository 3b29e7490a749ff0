#include "platform/ExtCtrls.h"

#include "platform/private/ControlsQt.h"
#include "platform/ScopeGuard.h"

#include <QFontMetrics>

#include <algorithm>

void Frame3D(TCanvas* Canvas, TRect& R, TColor TopColor, TColor BottomColor, int Width)
{
    TBrush* brush = Canvas->Brush();
    const TColor oldColor = brush->Color();
    const TBrushStyle oldStyle = brush->Style();
    brush->SetStyle(bsSolid);
    for (int i = 0; i < Width && R.Width() > 0 && R.Height() > 0; ++i) {
        const TRect r = R;
        brush->SetColor(TopColor);
        Canvas->FillRect(Rect(r.Left, r.Top, r.Right - 1, r.Top + 1));
        Canvas->FillRect(Rect(r.Left, r.Top, r.Left + 1, r.Bottom - 1));
        brush->SetColor(BottomColor);
        Canvas->FillRect(Rect(r.Right - 1, r.Top, r.Right, r.Bottom));
        Canvas->FillRect(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom));
        InflateRect(R, -1, -1);
    }
    brush->SetColor(oldColor);
    brush->SetStyle(oldStyle);
}

namespace {

void bevelColors(TBevelCut Bevel, TColor& Top, TColor& Bottom)
{
    Top = Bevel == bvLowered ? clBtnShadow : clBtnHighlight;
    Bottom = Bevel == bvLowered ? clBtnHighlight : clBtnShadow;
}

}  // namespace

// ------------------------------------------------------------------ TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetBevelInner(TBevelCut Value)
{
    if (FBevelInner == Value)
        return;
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value)
{
    if (FBevelOuter == Value)
        return;
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value)
{
    if (FBevelWidth == Value || Value < 1)
        return;
    FBevelWidth = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& Rect) const
{
    TCustomControl::AdjustClientRect(Rect);
    int bevel = 0;
    if (FBevelOuter != bvNone)
        bevel += FBevelWidth;
    if (FBevelInner != bvNone)
        bevel += FBevelWidth;
    InflateRect(Rect, -bevel, -bevel);
}

void TCustomPanel::SetAutoSize(bool Value)
{
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    FitToControls();
}

void TCustomPanel::AlignControls(TControl* AControl, TRect& Rect)
{
    TCustomControl::AlignControls(AControl, Rect);
    FitToControls();
}

void TCustomPanel::ControlBoundsChanged(TControl* AControl)
{
    if (AControl->Align() == alNone)
        FitToControls();
}

void TCustomPanel::Loaded()
{
    TCustomControl::Loaded();
    FitToControls();
}

void TCustomPanel::FitToControls()
{
    if (!FAutoSize || FFitting || ComponentState().Contains(csLoading) || Destroying())
        return;
    int right = -1, bottom = -1;
    for (int i = 0; i < ControlCount(); ++i) {
        const TControl* c = Controls(i);
        if (c->Visible() && c->Align() == alNone) {
            right = std::max(right, c->Left() + c->Width());
            bottom = std::max(bottom, c->Top() + c->Height());
        }
    }
    if (right < 0)
        return;
    // The border and bevels stay around the children.
    TRect inner = ClientRect();
    AdjustClientRect(inner);
    const int w = Width() - ClientWidth() + right + (ClientWidth() - inner.Right);
    const int h = Height() - ClientHeight() + bottom + (ClientHeight() - inner.Bottom);
    if (w == Width() && h == Height())
        return;
    const TValueRollback<bool> Fitting(FFitting, true);
    SetBounds(Left(), Top(), w, h);
}

void TCustomPanel::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    TColor top, bottom;
    if (FBevelOuter != bvNone) {
        bevelColors(FBevelOuter, top, bottom);
        Frame3D(c, r, top, bottom, FBevelWidth);
    }
    Frame3D(c, r, Color(), Color(), BorderWidth());
    if (FBevelInner != bvNone) {
        bevelColors(FBevelInner, top, bottom);
        Frame3D(c, r, top, bottom, FBevelWidth);
    }
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    const std::string text = Caption();
    if (text.empty())
        return;
    c->Brush()->SetStyle(bsClear);
    c->SetFont(Font());
    unsigned format = tfSingleLine | tfVerticalCenter;
    format |= FAlignment == taCenter ? tfCenter : FAlignment == taRightJustify ? tfRight : tfLeft;
    c->TextRect(r, text, format);
}

// ------------------------------------------------------------------ TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value)
{
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value)
{
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    const TColor c1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    const TColor c2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    const int w = Width(), h = Height();
    auto line = [c](TColor Color, int X1, int Y1, int X2, int Y2) {
        c->Brush()->SetColor(Color);
        c->FillRect(Rect(X1, Y1, X2, Y2));
    };
    TRect r = ClientRect();
    switch (FShape) {
    case bsBox:
        Frame3D(c, r, c1, c2, 1);
        break;
    case bsFrame:
        r.Right -= 1;
        r.Bottom -= 1;
        Frame3D(c, r, c1, c1, 1);
        r = ClientRect();
        r.Left += 1;
        r.Top += 1;
        Frame3D(c, r, c2, c2, 1);
        break;
    case bsTopLine:
        line(c1, 0, 0, w, 1);
        line(c2, 0, 1, w, 2);
        break;
    case bsBottomLine:
        line(c1, 0, h - 2, w, h - 1);
        line(c2, 0, h - 1, w, h);
        break;
    case bsLeftLine:
        line(c1, 0, 0, 1, h);
        line(c2, 1, 0, 2, h);
        break;
    case bsRightLine:
        line(c1, w - 2, 0, w - 1, h);
        line(c2, w - 1, 0, w, h);
        break;
    case bsSpacer:
        break;
    }
}

// ------------------------------------------------------------------ TPaintBox

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint()
{
    if (OnPaint)
        OnPaint(this);
}

// ------------------------------------------------------------------ TRadioGroup

TRadioGroup::TRadioGroup(TComponent* AOwner) : TGroupBox(AOwner)
{
    FItems = std::make_unique<TItemStrings>([this](TItemStrings::TChange, int) { ItemsChanged(); });
}

TRadioGroup::~TRadioGroup()
{
    // The buttons go with the group box (they are its children).
    FButtons.clear();
}

void TRadioGroup::ItemsChanged()
{
    {  // the buttons change without clicking the group
        const TValueRollback<bool> Updating(FUpdating, true);
        while (static_cast<int>(FButtons.size()) > FItems->Count()) {
            delete FButtons.back();
            FButtons.pop_back();
        }
        while (static_cast<int>(FButtons.size()) < FItems->Count()) {
            auto* b = new TRadioButton(this);
            b->SetSubComponent(true);   // made from Items, not stored
            const int index = static_cast<int>(FButtons.size());
            b->OnClick = [this, index](TObject*) { ButtonClick(index); };
            b->SetEnabled(Enabled());
            b->SetParent(this);
            FButtons.push_back(b);
        }
        for (int i = 0; i < FItems->Count(); ++i) {
            FButtons[static_cast<size_t>(i)]->SetCaption(FItems->Strings(i));
            FButtons[static_cast<size_t>(i)]->SetChecked(i == FItemIndex);
        }
        if (FItemIndex >= FItems->Count())
            FItemIndex = -1;
    }
    ArrangeButtons();
}

void TRadioGroup::ArrangeButtons()
{
    const int count = static_cast<int>(FButtons.size());
    if (count == 0)
        return;
    const int columns = std::max(FColumns, 1);
    const int perCol = (count + columns - 1) / columns;
    const int textHeight = QFontMetrics(Handle()->font()).height();
    const int buttonWidth = (Width() - 10) / columns;
    const int space = Height() - textHeight - 5;
    const int buttonHeight = std::max(space / perCol, 0);
    const int topMargin = textHeight + 1 + (space % perCol) / 2;
    for (int i = 0; i < count; ++i)
        FButtons[static_cast<size_t>(i)]->SetBounds((i / perCol) * buttonWidth + 8,
                                                    (i % perCol) * buttonHeight + topMargin, buttonWidth, buttonHeight);
}

void TRadioGroup::ButtonClick(int Index)
{
    if (FUpdating)
        return;
    FItemIndex = Index;
    Click();
}

void TRadioGroup::SetItemIndex(int Value)
{
    Value = std::clamp(Value, -1, FItems->Count() - 1);
    if (Value == FItemIndex)
        return;
    if (Value < 0) {
        if (FItemIndex >= 0) {
            const TValueRollback<bool> Updating(FUpdating, true);
            FButtons[static_cast<size_t>(FItemIndex)]->SetChecked(false);
        }
        FItemIndex = -1;
        return;
    }
    // Checking the button unchecks the others and clicks the group.
    FButtons[static_cast<size_t>(Value)]->SetChecked(true);
}

void TRadioGroup::SetColumns(int Value)
{
    Value = std::clamp(Value, 1, 16);
    if (Value == FColumns)
        return;
    FColumns = Value;
    ArrangeButtons();
}

void TRadioGroup::BoundsChanged(bool SizeChanged)
{
    TGroupBox::BoundsChanged(SizeChanged);
    if (SizeChanged)
        ArrangeButtons();
}

void TRadioGroup::FontChanged()
{
    TGroupBox::FontChanged();
    for (TRadioButton* b : FButtons)
        b->SetFont(Font());
    ArrangeButtons();
}

void TRadioGroup::EnabledChanged()
{
    TGroupBox::EnabledChanged();
    for (TRadioButton* b : FButtons)
        b->SetEnabled(Enabled());
}

// ------------------------------------------------------------------ TNotebook

TPage::TPage(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetAlign(alClient);
}

TNotebook::TNotebook(TComponent* AOwner) : TCustomControl(AOwner)
{
    FPages = std::make_unique<TItemStrings>([this](TItemStrings::TChange K, int I) { PagesChanged(K, I); });
    SetBounds(0, 0, 150, 150);
    // A notebook starts with one page, "Default".
    FPages->Add("Default");
}

TNotebook::~TNotebook()
{
    FPageList.clear();
}

void TNotebook::PagesChanged(TItemStrings::TChange Kind, int Index)
{
    switch (Kind) {
    case TItemStrings::icInsert: {
        auto* page = new TPage(this);
        page->SetSubComponent(true);   // made from Pages, not stored
        page->SetVisible(false);
        page->SetParent(this);
        FPageList.insert(FPageList.begin() + Index, page);
        FPages->SetObjects(Index, page);
        page->SetCaption(FPages->Strings(Index));
        break;
    }
    case TItemStrings::icDelete:
        delete FPageList[static_cast<size_t>(Index)];
        FPageList.erase(FPageList.begin() + Index);
        break;
    case TItemStrings::icPut:
        FPageList[static_cast<size_t>(Index)]->SetCaption(FPages->Strings(Index));
        break;
    default:
        // A batch of changes: the pages follow the list again.
        for (TPage* p : FPageList)
            delete p;
        FPageList.clear();
        for (int i = 0; i < FPages->Count(); ++i) {
            auto* page = new TPage(this);
            page->SetSubComponent(true);
            page->SetVisible(false);
            page->SetParent(this);
            page->SetCaption(FPages->Strings(i));
            FPageList.push_back(page);
            FPages->SetObjects(i, page);
        }
        break;
    }
    if (FPageIndex >= static_cast<int>(FPageList.size()))
        FPageIndex = static_cast<int>(FPageList.size()) - 1;
    if (FPageIndex < 0 && !FPageList.empty())
        FPageIndex = 0;
    ShowPage();
}

void TNotebook::ShowPage()
{
    for (size_t i = 0; i < FPageList.size(); ++i)
        FPageList[i]->SetVisible(static_cast<int>(i) == FPageIndex);
}

void TNotebook::SetPageIndex(int Value)
{
    if (Value < 0 || Value >= static_cast<int>(FPageList.size()) || Value == FPageIndex)
        return;
    FPageIndex = Value;
    ShowPage();
    if (OnPageChanged)
        OnPageChanged(this);
}

std::string TNotebook::ActivePage() const
{
    return FPageIndex >= 0 ? FPages->Strings(FPageIndex) : std::string();
}

void TNotebook::SetActivePage(const std::string& Value)
{
    const int i = FPages->IndexOf(Value);
    if (i >= 0)
        SetPageIndex(i);
}

// ------------------------------------------------------------------ TSplitter

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetAlign(alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
}

TControl* TSplitter::FindControl() const
{
    TWinControl* p = Parent();
    if (!p || Align() == alNone || Align() == alClient)
        return nullptr;
    for (int i = 0; i < p->ControlCount(); ++i) {
        TControl* c = p->Controls(i);
        if (c == this || !c->Visible() || c->Align() != Align())
            continue;
        const bool touches = (Align() == alLeft && c->Left() + c->Width() == Left()) ||
                             (Align() == alRight && c->Left() == Left() + Width()) ||
                             (Align() == alTop && c->Top() + c->Height() == Top()) ||
                             (Align() == alBottom && c->Top() == Top() + Height());
        if (touches)
            return c;
    }
    return nullptr;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft) {
        FDragging = true;
        FDownPos = {X, Y};
    }
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging)
        return;
    TControl* c = FindControl();
    if (!c)
        return;
    const int dx = X - FDownPos.X;
    const int dy = Y - FDownPos.Y;
    switch (Align()) {
    case alLeft:
        c->SetWidth(std::max(FMinSize, c->Width() + dx));
        break;
    case alRight:
        c->SetWidth(std::max(FMinSize, c->Width() - dx));
        break;
    case alTop:
        c->SetHeight(std::max(FMinSize, c->Height() + dy));
        break;
    case alBottom:
        c->SetHeight(std::max(FMinSize, c->Height() - dy));
        break;
    default:
        break;
    }
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging)
        return;
    FDragging = false;
    if (OnMoved)
        OnMoved(this);
}

void TSplitter::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
}
