#include "widgets/_IcClass.h"

#include "platform/SysUtils.h"

#include <algorithm>

// ----------------------------------------------------------- TIcPersistent

void TIcPersistent::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TIcPersistent*>(Source)) {
        if (S != this)
            S->AssignTo(this);
        return;
    }
    TPersistent::Assign(Source);
}

void TIcPersistent::AssignTo(TPersistent* Dest)
{
    throw EConvertError(Dest ? "Cannot assign these settings to an object of another class"
                             : "Cannot assign settings to nil");
}

void TIcPersistent::Change()
{
    if (OnChange)
        OnChange(this);
}

void TIcPersistent::ChangeObject(TObject* Sender)
{
    if (OnChange)
        OnChange(Sender);
}

// -------------------------------------------------------- TIcCustomControl

TIcCustomControl::TIcCustomControl(TComponent* AOwner) : TCustomControl(AOwner), FIcInfo(LoadIcInfo())
{
}

void TIcCustomControl::BeginUpdate()
{
    ++FUpdateCount;
}

void TIcCustomControl::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0)
        Invalidate();
}

void TIcCustomControl::Change()
{
    if (FUpdateCount == 0)
        ParamChange(this);
}

// ------------------------------------------------------- TIcGraphicControl

TComponent* IcWindowedOwner(TComponent* AOwner)
{
    if (AOwner && !dynamic_cast<TWinControl*>(AOwner))
        throw EConvertError("The owner of a graphic control must be a windowed control");
    return AOwner;
}

TIcGraphicControl::TIcGraphicControl(TComponent* AOwner)
    : TGraphicControl(IcWindowedOwner(AOwner)), FIcInfo(LoadIcInfo())
{
    if (auto* parent = dynamic_cast<TWinControl*>(AOwner))
        SetParent(parent);
}

void TIcGraphicControl::BeginUpdate()
{
    ++FUpdateCount;
}

void TIcGraphicControl::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0)
        Change();
}

void TIcGraphicControl::Invalidate()
{
    FFullRedraw = true;
    TGraphicControl::Invalidate();
}

void TIcGraphicControl::Change()
{
    if (FUpdateCount == 0)
        ParamChange(this);
}

// -------------------------------------------------------- TIcTimerSpeedBtn

void LoadSpinGlyph(TBitmap* Bitmap, bool Up)
{
    const TColor olive = RGB(128, 128, 0);
    const TColor grey = RGB(128, 128, 128);
    Bitmap->SetSize(18, 6);
    TCanvas* c = Bitmap->Canvas();
    c->Brush()->SetColor(olive);
    c->FillRect(Rect(0, 0, 18, 6));
    // A triangle with a 7-pixel base and 4 rows, in the top four rows; the
    // disabled cell holds its grey outline.
    for (int row = 0; row < 4; ++row) {
        const int y = Up ? row : 3 - row;
        for (int x = 1 + 3 - row; x <= 1 + 3 + row; ++x) {
            c->SetPixels(x, y, clBlack);
            const bool edge = row == 3 || x == 1 + 3 - row || x == 1 + 3 + row;
            if (edge)
                c->SetPixels(9 + x, y, grey);
        }
    }
    Bitmap->SetTransparent(true);
    Bitmap->SetTransparentColor(olive);
}

TIcTimerSpeedBtn::TIcTimerSpeedBtn(TComponent* AOwner) : TGraphicControl(AOwner), FIcInfo(LoadIcInfo())
{
}

TIcTimerSpeedBtn::~TIcTimerSpeedBtn()
{
    DelControl(this);
}

void TIcTimerSpeedBtn::SetInterval(int Value)
{
    if (Value >= 50)
        FInterval = Value;
}

void TIcTimerSpeedBtn::SetGlyph(TBitmap* Value)
{
    FGlyph.Assign(Value);
    Invalidate();
}

void TIcTimerSpeedBtn::SetNumGlyphs(int Value)
{
    FNumGlyphs = std::clamp(Value, 1, 4);
    Invalidate();
}

bool TIcTimerSpeedBtn::Repeating() const
{
    for (const auto& r : dynFlashList())
        if (r->Control == this)
            return true;
    return false;
}

void TIcTimerSpeedBtn::StopRepeat()
{
    if (FDown) {
        FDown = false;
        Invalidate();
    }
    DelControl(const_cast<TIcTimerSpeedBtn*>(this));
}

// A button that is released, disabled or hidden while held stops repeating.
void TIcTimerSpeedBtn::SetEnabled(bool Value)
{
    if (!Value)
        StopRepeat();
    TGraphicControl::SetEnabled(Value);
    Invalidate();
}

void TIcTimerSpeedBtn::SetVisible(bool Value)
{
    if (!Value)
        StopRepeat();
    TGraphicControl::SetVisible(Value);
}

void TIcTimerSpeedBtn::Click()
{
    if (Enabled())
        TGraphicControl::Click();
}

void TIcTimerSpeedBtn::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (!Enabled())
        return;
    FDown = true;
    Invalidate();
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (FTimerEnabled && FDown && Enabled()) {
        FRepeatTime = IcTickCount() + FStartDelay;
        AddControl(this, FInterval);
    }
}

void TIcTimerSpeedBtn::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    StopRepeat();
}

void TIcTimerSpeedBtn::WMFlash(uint32_t FlashCount, int32_t Value)
{
    // A parent disabled or hidden meanwhile also ends the repeat.
    bool live = FDown;
    for (const TControl* c = this; c && live; c = c->Parent())
        live = c->Visible() && c->Enabled();
    if (!live) {
        StopRepeat();
        return;
    }
    if (IcTickCount() >= FRepeatTime)
        Click();
}

void TIcTimerSpeedBtn::Paint()
{
    TCanvas* c = Canvas();
    if (!c)
        return;
    const TRect r = ClientRect();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(r);
    // Raised frame, sunken while held.
    c->Pen()->SetColor(FDown ? clBtnShadow : clBtnHighlight);
    c->MoveTo(r.Left, r.Bottom - 1);
    c->LineTo(r.Left, r.Top);
    c->LineTo(r.Right - 1, r.Top);
    c->Pen()->SetColor(FDown ? clBtnHighlight : clBtnShadow);
    c->LineTo(r.Right - 1, r.Bottom - 1);
    c->LineTo(r.Left, r.Bottom - 1);
    if (FGlyph.Width() == 0)
        return;
    const int cellW = FGlyph.Width() / FNumGlyphs;
    const int cell = (!Enabled() && FNumGlyphs > 1) ? 1 : 0;
    TBitmap one(cellW, FGlyph.Height());
    one.Canvas()->CopyRect(Rect(0, 0, cellW, FGlyph.Height()), FGlyph.Canvas(),
                           Bounds(cell * cellW, 0, cellW, FGlyph.Height()));
    one.SetTransparent(true);
    one.SetTransparentColor(RGB(128, 128, 0));
    const int shift = FDown ? 1 : 0;
    c->Draw((r.Width() - cellW) / 2 + shift, (r.Height() - 4) / 2 + shift, &one);
}

// ----------------------------------------------------------- TIcSpinButton

TIcSpinButton::TIcSpinButton(TComponent* AOwner) : TWinControl(AOwner), FIcInfo(LoadIcInfo())
{
    FUpButton = CreateButton();
    FDownButton = CreateButton();
    SetUpGlyph(nullptr);
    SetDownGlyph(nullptr);
    SetBounds(Left(), Top(), 15, 24);
}

TIcSpinButton::~TIcSpinButton() = default;

TIcTimerSpeedBtn* TIcSpinButton::CreateButton()
{
    auto* b = new TIcTimerSpeedBtn(this);
    b->SetSubComponent(true);
    b->OnClick = [this](TObject* Sender) { BtnClick(Sender); };
    b->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        BtnMouseDown(Sender, Button, Shift, X, Y);
    };
    b->SetParent(this);
    b->SetVisible(true);
    b->SetEnabled(true);
    return b;
}

void TIcSpinButton::SetUpGlyph(TBitmap* Value)
{
    if (Value) {
        FUpButton->SetGlyph(Value);
    } else {
        TBitmap b;
        LoadSpinGlyph(&b, true);
        FUpButton->SetGlyph(&b);
        FUpButton->SetNumGlyphs(2);
    }
}

void TIcSpinButton::SetDownGlyph(TBitmap* Value)
{
    if (Value) {
        FDownButton->SetGlyph(Value);
    } else {
        TBitmap b;
        LoadSpinGlyph(&b, false);
        FDownButton->SetGlyph(&b);
        FDownButton->SetNumGlyphs(2);
    }
}

void TIcSpinButton::SetInterval(int Value)
{
    FUpButton->SetInterval(Value);
    FDownButton->SetInterval(Value);
}

void TIcSpinButton::SetStartDelay(uint32_t Value)
{
    FUpButton->SetStartDelay(Value);
    FDownButton->SetStartDelay(Value);
}

void TIcSpinButton::SetFocusControl(TWinControl* Value)
{
    ReplaceReference(FFocusControl, Value);
}

void TIcSpinButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TIcSpinButton::SetEnabled(bool Value)
{
    TWinControl::SetEnabled(Value);
    FUpButton->SetEnabled(Value);
    FDownButton->SetEnabled(Value);
}

void TIcSpinButton::myAdjustSize(int& W, int& H)
{
    if (!FUpButton || !FDownButton)
        return;
    if (W < 15)
        W = 15;
    const int upper = H / 2;
    FUpButton->SetBounds(0, 0, W, upper);
    FDownButton->SetBounds(0, upper, W, H - upper);
}

void TIcSpinButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    myAdjustSize(AWidth, AHeight);
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TIcSpinButton::Resize()
{
    int w = Width();
    int h = Height();
    myAdjustSize(w, h);
    if (w != Width() || h != Height())
        SetBounds(Left(), Top(), w, h);
    TWinControl::Resize();
}

void TIcSpinButton::BtnMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button != mbLeft)
        return;
    if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
    else if (TabStop() && !Focused() && CanFocus())
        SetFocus();
}

void TIcSpinButton::BtnClick(TObject* Sender)
{
    if (Sender == FUpButton) {
        if (OnUpClick)
            OnUpClick(this);
    } else if (OnDownClick) {
        OnDownClick(this);
    }
}

void TIcSpinButton::KeyDown(uint16_t& Key, TShiftState Shift)
{
    if (Key == VK_UP)
        FUpButton->Click();
    else if (Key == VK_DOWN)
        FDownButton->Click();
    else
        TWinControl::KeyDown(Key, Shift);
}
