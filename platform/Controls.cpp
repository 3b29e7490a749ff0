#include "platform/Controls.h"

#include "platform/ActnList.h"
#include "platform/Forms.h"
#include "platform/private/CanvasQt.h"
#include "platform/private/ControlsQt.h"
#include "platform/Menus.h"
#include "platform/ScopeGuard.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cctype>
#include <cmath>

// ------------------------------------------------------------------ Qt helpers

TControl* ControlOf(const QWidget* Widget)
{
    const auto* link = dynamic_cast<const TWidgetLink*>(Widget);
    return link ? link->Control : nullptr;
}

TShiftState ShiftFromQt(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons)
{
    TShiftState s;
    if (Modifiers & Qt::ShiftModifier)
        s << ssShift;
    if (Modifiers & Qt::AltModifier)
        s << ssAlt;
    if (Modifiers & Qt::ControlModifier)
        s << ssCtrl;
    if (Buttons & Qt::LeftButton)
        s << ssLeft;
    if (Buttons & Qt::RightButton)
        s << ssRight;
    if (Buttons & Qt::MiddleButton)
        s << ssMiddle;
    return s;
}

TMouseButton ButtonFromQt(Qt::MouseButton Button)
{
    switch (Button) {
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        return mbLeft;
    }
}

namespace {

struct TKeyPair {
    int Qt;
    uint16_t VK;
};

const TKeyPair KeyPairs[] = {
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},       {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},  {Qt::Key_Enter, VK_RETURN},  {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},     {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_Escape, VK_ESCAPE},  {Qt::Key_Space, VK_SPACE},   {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},  {Qt::Key_End, VK_END},       {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},      {Qt::Key_Up, VK_UP},         {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},      {Qt::Key_Insert, VK_INSERT}, {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_Plus, VK_ADD},       {Qt::Key_Minus, VK_SUBTRACT},
};

}  // namespace

uint16_t VirtualKeyFromQt(int Key)
{
    if ((Key >= Qt::Key_A && Key <= Qt::Key_Z) || (Key >= Qt::Key_0 && Key <= Qt::Key_9))
        return static_cast<uint16_t>(Key);
    if (Key >= Qt::Key_F1 && Key <= Qt::Key_F12)
        return static_cast<uint16_t>(VK_F1 + (Key - Qt::Key_F1));
    for (const TKeyPair& p : KeyPairs)
        if (p.Qt == Key)
            return p.VK;
    return 0;
}

int QtKeyFromVirtualKey(uint16_t Key)
{
    if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9'))
        return Key;
    if (Key >= VK_F1 && Key <= VK_F12)
        return Qt::Key_F1 + (Key - VK_F1);
    for (const TKeyPair& p : KeyPairs)
        if (p.VK == Key)
            return p.Qt;
    return 0;
}

Qt::CursorShape CursorShapeOf(TCursor Cursor)
{
    switch (Cursor) {
    case crNone:
        return Qt::BlankCursor;
    case crCross:
        return Qt::CrossCursor;
    case crIBeam:
        return Qt::IBeamCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
    case crVSplit:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
    case crHSplit:
        return Qt::SizeHorCursor;
    case crUpArrow:
        return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait:
        return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag:
        return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo:
        return Qt::ForbiddenCursor;
    case crAppStart:
        return Qt::BusyCursor;
    case crHelp:
        return Qt::WhatsThisCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    case crSizeAll:
        return Qt::SizeAllCursor;
    default:
        // The program's own numbers show the stock shape entered for them.
        if (Cursor > 0 && Screen && Screen->Cursors(Cursor) < 0)
            return CursorShapeOf(Screen->Cursors(Cursor));
        return Qt::ArrowCursor;
    }
}

// ------------------------------------------------------------------ TControlPainter

TControlPainter::TControlPainter(TControl* AControl) : FControl(AControl), FCanvas(&FImage)
{
    FCanvas.QtSurface()->OnPainted = [this](const QRect& R) {
        // Inside Paint the paint event copies the whole image anyway.
        if (!FInPaint && FControl->Handle())
            FControl->Handle()->update(R);
    };
}

void TControlPainter::Resize(int AWidth, int AHeight)
{
    const QSize Size(std::max(AWidth, 0), std::max(AHeight, 0));
    if (Size == FSize)
        return;
    FSize = Size;
    if (!FImage.isNull()) {
        FCanvas.Flush();
        FImage = QImage();
    }
    FStale = true;
}

void TControlPainter::EnsureImage()
{
    if (FImage.size() == FSize || FSize.isEmpty())
        return;
    FCanvas.Flush();
    FImage = QImage(FSize, QImage::Format_RGB32);
    const TColor c = FControl->Color();
    FImage.fill(c == clNone ? QColor(Qt::white) : ToQColor(c));
    FStale = true;
}

void TControlPainter::PaintEvent(QWidget* Widget, const QRect& Exposed)
{
    if (FSize != Widget->size())
        Resize(Widget->width(), Widget->height());
    EnsureImage();
    if (FStale && !FInPaint) {
        FStale = false;
        FInPaint = true;
        const TColor c = FControl->Color();
        FCanvas.Flush();
        if (c != clNone)
            FImage.fill(ToQColor(c));
        ++FPaintCount;
        InvokeGuarded([this] { FControl->PaintControl(); });
        FInPaint = false;
    }
    FCanvas.Flush();
    FLastExposed = Exposed;
    QPainter p(Widget);
    p.drawImage(Exposed, FImage, Exposed);
}

// ------------------------------------------------------------------ TControl

TControl::TControl(TComponent* AOwner) : TControl(AOwner, NewWidget<TBridged<QWidget>>())
{
    SetClicksOnRelease(true);
}

TControl::TControl(TComponent* AOwner, QWidget* AHandle) : TComponent(AOwner), FHandle(AHandle)
{
    if (auto* link = dynamic_cast<TWidgetLink*>(FHandle))
        link->Control = this;
    FHandle->setMouseTracking(true);
    FHandle->hide();
    FFont.OnChange = [this](TObject*) {
        if (!FTakingParentFont)
            FParentFont = false;
        FontChanged();
    };
    FontChanged();
    FConstraints.OnChange = [this](TObject*) { ApplyConstraints(); };
}

TControl::~TControl()
{
    if (FParent)
        FParent->RemoveControl(this);
    SetPopupMenu(nullptr);
    SetAction(nullptr);
    if (auto* link = dynamic_cast<TWidgetLink*>(FHandle))
        link->Control = nullptr;
    QWidget* w = FHandle;
    FHandle = nullptr;
    delete w;
}

void TControl::SetName(const std::string& Value)
{
    TComponent::SetName(Value);
    if (FHandle)
        FHandle->setObjectName(QString::fromStdString(Value));
}

void TControl::SetParent(TWinControl* AParent)
{
    if (AParent == FParent)
        return;
    if (AParent == this)
        throw EConvertError("A control cannot be its own parent");
    if (FParent)
        FParent->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

void TControl::ApplyGeometry()
{
    if (!FHandle)
        return;
    if (!IsMainThread()) {
        // A worker thread (a report built in the background) moved the
        // control: the widget follows on the GUI thread, with the bounds of
        // this moment.
        QueueToMainThread([W = QPointer<QWidget>(FHandle), L = FLeft, T = FTop, Wd = std::max(FWidth, 0),
                           H = std::max(FHeight, 0)] {
            TControl* c = W ? ControlOf(W) : nullptr;
            if (!c)
                return;
            TValueRollback<bool> Applying(c->FApplyingGeometry, true);
            if (W->isWindow()) {
                W->move(L, T);
                W->resize(Wd, H);
            } else {
                W->setGeometry(L, T, Wd, H);
            }
        });
        return;
    }
    FApplyingGeometry = true;
    if (FHandle->isWindow()) {
        FHandle->move(FLeft, FTop);
        FHandle->resize(std::max(FWidth, 0), std::max(FHeight, 0));
    } else {
        FHandle->setGeometry(FLeft, FTop, std::max(FWidth, 0), std::max(FHeight, 0));
    }
    FApplyingGeometry = false;
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    FConstraints.Constrain(AWidth, AHeight);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    const bool sized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    ApplyGeometry();
    UpdateAnchorRules();
    BoundsChanged(sized);
    RequestAlign();
}

// The widget keeps the bounds too, so a window the user sizes stays within
// them.
void TControl::ApplyConstraints()
{
    SetBounds(FLeft, FTop, FWidth, FHeight);
    if (!FHandle || !IsMainThread())
        return;
    FHandle->setMinimumSize(FConstraints.MinWidth(), FConstraints.MinHeight());
    FHandle->setMaximumSize(FConstraints.MaxWidth() > 0 ? FConstraints.MaxWidth() : QWIDGETSIZE_MAX,
                            FConstraints.MaxHeight() > 0 ? FConstraints.MaxHeight() : QWIDGETSIZE_MAX);
}

void TControl::SetAnchors(TAnchors Value)
{
    if (FAnchors == Value)
        return;
    FAnchors = Value;
    UpdateAnchorRules();
}

// Not while the control is moved by its anchors (its rules stay those the
// move started from) or read from a form (Loaded records them).
void TControl::UpdateAnchorRules()
{
    if (FAnchorMove || ComponentState().Contains(csLoading))
        return;
    if (FAnchors == TAnchors{akLeft, akTop} || !FParent) {
        FOriginalParentSize = TPoint{0, 0};
        return;
    }
    auto Rule = [](bool Near, bool Far, int Pos, int Size) {
        if (Far)
            return Near ? Size : Pos;
        return Pos + Size / 2;
    };
    FAnchorRules.X = Rule(FAnchors.Contains(akLeft), FAnchors.Contains(akRight), FLeft, FWidth);
    FAnchorRules.Y = Rule(FAnchors.Contains(akTop), FAnchors.Contains(akBottom), FTop, FHeight);
    FOriginalParentSize = TPoint{FParent->ClientWidth(), FParent->ClientHeight()};
}

void TControl::AnchorTo(const TPoint& ParentSize)
{
    if (FOriginalParentSize.X == 0 || FOriginalParentSize.Y == 0)
        return;
    // Position and size along one axis.
    auto Place = [](bool Near, bool Far, int Rule, int Original, int Now, int& Pos, int& Size) {
        if (Far) {
            if (Near)
                Size = Now - (Original - Rule);
            else
                Pos = Now - (Original - Rule);
        } else if (!Near) {
            Pos = static_cast<int>(std::lround(static_cast<double>(Rule) * Now / Original)) - Size / 2;
        }
    };
    int L = FLeft, T = FTop, W = FWidth, H = FHeight;
    Place(FAnchors.Contains(akLeft), FAnchors.Contains(akRight), FAnchorRules.X, FOriginalParentSize.X, ParentSize.X,
          L, W);
    Place(FAnchors.Contains(akTop), FAnchors.Contains(akBottom), FAnchorRules.Y, FOriginalParentSize.Y, ParentSize.Y,
          T, H);
    const TValueRollback<bool> Moving(FAnchorMove, true);
    SetBounds(L, T, W, H);
}

// The font the block holds of a control with a font of its own is its
// differences from the defaults. A control that follows its parent keeps
// the parent's font untouched while it is read (report labels size
// themselves on every font change) unless the block holds a font
// (StoredFont).
void TControl::ReadState(TReader* Reader)
{
    if (!FParentFont)
        FFont.RestoreDefaults();
    TComponent::ReadState(Reader);
}

TFont* TControl::StoredFont()
{
    if (FParentFont && ComponentState().Contains(csLoading))
        FFont.RestoreDefaults();
    return &FFont;
}

void TControl::Loaded()
{
    TComponent::Loaded();
    TakeParentFont();
    TakeParentShowHint();
    UpdateAnchorRules();
}

void TControl::BoundsChanged(bool SizeChanged)
{
    if (FPainter && SizeChanged) {
        if (IsMainThread())
            FPainter->Resize(ClientWidth(), ClientHeight());
        else
            QueueToMainThread([W = QPointer<QWidget>(FHandle), Wd = ClientWidth(), H = ClientHeight()] {
                if (TControl* c = W ? ControlOf(W) : nullptr; c && c->FPainter)
                    c->FPainter->Resize(Wd, H);
            });
    }
    if (SizeChanged)
        Resize();
    if (FParent)
        FParent->ControlBoundsChanged(this);
}

void TControl::RequestAlign()
{
    if (FParent && FAlign != alNone)
        FParent->AlignChildren(this);
}

void TControl::WidgetResized(int AWidth, int AHeight)
{
    if (FApplyingGeometry || (AWidth == FWidth && AHeight == FHeight))
        return;
    FWidth = AWidth;
    FHeight = AHeight;
    BoundsChanged(true);
}

void TControl::WidgetMoved(int ALeft, int ATop)
{
    if (FApplyingGeometry)
        return;
    FLeft = ALeft;
    FTop = ATop;
}

TRect TControl::ClientRect() const
{
    return Rect(0, 0, FWidth, FHeight);
}

void TControl::SetClientWidth(int Value)
{
    SetWidth(FWidth - ClientWidth() + Value);
}

void TControl::SetClientHeight(int Value)
{
    SetHeight(FHeight - ClientHeight() + Value);
}

TPoint TControl::ClientOrigin() const
{
    const QPoint p = FHandle->mapToGlobal(QPoint(0, 0));
    return {p.x(), p.y()};
}

TPoint TControl::ClientToScreen(const TPoint& P) const
{
    const TPoint o = ClientOrigin();
    return {P.X + o.X, P.Y + o.Y};
}

TPoint TControl::ScreenToClient(const TPoint& P) const
{
    const TPoint o = ClientOrigin();
    return {P.X - o.X, P.Y - o.Y};
}

void TControl::SetAlign(TAlign Value)
{
    if (FAlign == Value)
        return;
    FAlign = Value;
    if (FParent)
        FParent->AlignChildren(this);
}

void TControl::UpdateWidgetVisible()
{
    if (FHandle)
        FHandle->setVisible(FVisible && FParent != nullptr);
}

void TControl::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    UpdateWidgetVisible();
    if (FParent)
        FParent->AlignChildren(this);
}

bool TControl::Showing() const
{
    return FHandle && FHandle->isVisible();
}

void TControl::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    EnabledChanged();
}

void TControl::EnabledChanged()
{
    if (FHandle)
        FHandle->setEnabled(FEnabled);
    Invalidate();
}

TColor TControl::Color() const
{
    return FParentColor && FParent ? FParent->Color() : FColor;
}

void TControl::SetColor(TColor Value)
{
    if (FColor == Value && !FParentColor)
        return;
    FColor = Value;
    FParentColor = false;
    ColorChanged();
}

void TControl::SetParentColor(bool Value)
{
    if (FParentColor == Value)
        return;
    FParentColor = Value;
    ColorChanged();
}

void TControl::ColorChanged()
{
    const TColor color = Color();
    if (FHandle && color != clNone && color != clDefault && !(FParentColor && !FParent)) {
        QPalette pal = FHandle->palette();
        const QColor c = ToQColor(color);
        pal.setColor(QPalette::Window, c);
        pal.setColor(QPalette::Base, c);
        pal.setColor(QPalette::Button, c);
        FHandle->setPalette(pal);
    }
    Invalidate();
}

void TControl::SetParentFont(bool Value)
{
    if (FParentFont == Value)
        return;
    FParentFont = Value;
    TakeParentFont();
}

void TControl::TakeParentFont()
{
    if (!FParentFont || !FParent || FFont.SameAs(*FParent->Font()))
        return;
    const TValueRollback<bool> Taking(FTakingParentFont, true);
    FFont.Assign(FParent->Font());
}

void TControl::FontChanged()
{
    if (!FHandle)
        return;
    FHandle->setFont(ToQFont(FFont));
    // The font's colour is the text of an enabled control; a disabled one
    // keeps the greyed text of the style, so it looks as dead as it is.
    QPalette pal = FHandle->palette();
    const QColor c = ToQColor(FFont.Color());
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::WindowText, c);
        pal.setColor(group, QPalette::Text, c);
        pal.setColor(group, QPalette::ButtonText, c);
    }
    FHandle->setPalette(pal);
    Invalidate();
}

void TControl::SetTextBuf(const std::string& Value)
{
    if (FText == Value)
        return;
    FText = Value;
    TextChanged();
}

void TControl::TextChanged()
{
    Invalidate();
}

void TControl::ApplyToolTip()
{
    if (!FHandle)
        return;
    // Lines of a hint end with CR (CR LF counts as one end).
    QString tip = QString::fromStdString(FHint.substr(0, FHint.find('|')));
    tip.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    tip.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    FHandle->setToolTip(tip);
}

void TControl::SetHint(const std::string& Value)
{
    FHint = Value;
    ApplyToolTip();
}

void TControl::SetShowHint(bool Value)
{
    if (FShowHint == Value && !FParentShowHint)
        return;
    FParentShowHint = false;
    if (FShowHint == Value)
        return;
    FShowHint = Value;
    ShowHintChanged();
}

void TControl::SetParentShowHint(bool Value)
{
    if (FParentShowHint == Value)
        return;
    FParentShowHint = Value;
    TakeParentShowHint();
}

void TControl::TakeParentShowHint()
{
    if (!FParentShowHint || !FParent || FShowHint == FParent->ShowHint())
        return;
    FShowHint = FParent->ShowHint();
    ShowHintChanged();
}

void TControl::SetCursor(TCursor Value)
{
    FCursor = Value;
    if (!FHandle)
        return;
    if (Value == crDefault)
        FHandle->unsetCursor();
    else
        FHandle->setCursor(CursorShapeOf(Value));
}

// Dropping a reference keeps the free notification: it serves every link
// between the two components, and another one may still need it.
void TControl::SetPopupMenu(TPopupMenu* Value)
{
    if (FPopupMenu == Value)
        return;
    FPopupMenu = Value;
    if (FPopupMenu)
        FreeNotification(FPopupMenu);
}

void TControl::SetAction(TBasicAction* Value)
{
    LinkAction(this, FAction, Value, [this](TBasicAction* A) { ActionChange(A); });
}

void TControl::ActionChange(TBasicAction* Sender)
{
    auto* a = dynamic_cast<TCustomAction*>(Sender);
    if (!a)
        return;
    SetCaption(a->Caption());
    SetEnabled(a->Enabled());
    SetVisible(a->Visible());
    SetHint(a->Hint());
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FPopupMenu)
        FPopupMenu = nullptr;
    if (AComponent == FAction)
        FAction = nullptr;
}

void TControl::Invalidate()
{
    if (!IsMainThread()) {
        QueueToMainThread([W = QPointer<QWidget>(FHandle)] {
            if (TControl* c = W ? ControlOf(W) : nullptr)
                c->Invalidate();
        });
        return;
    }
    if (FPainter)
        FPainter->Invalidate();
    if (FHandle)
        FHandle->update();
}

void TControl::Update()
{
    if (FHandle && FHandle->isVisible())
        FHandle->repaint(FHandle->rect());
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

void TControl::BringToFront()
{
    if (FHandle)
        FHandle->raise();
    if (FParent) {
        auto& v = FParent->FControls;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
        v.push_back(this);
    }
}

void TControl::SendToBack()
{
    if (FHandle)
        FHandle->lower();
    if (FParent) {
        auto& v = FParent->FControls;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
        v.insert(v.begin(), this);
    }
}

void TControl::EnablePainting()
{
    if (FPainter)
        return;
    FPainter = std::make_unique<TControlPainter>(this);
    FPainter->Resize(ClientWidth(), ClientHeight());
    FHandle->setAttribute(Qt::WA_OpaquePaintEvent);
}

TCanvas* TControl::PaintCanvas() const
{
    return FPainter ? FPainter->Canvas() : nullptr;
}

void TControl::Click()
{
    if (FAction)
        FAction->Execute();
    else if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    bool handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    return handled;
}

void TControl::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TControl::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

void TControl::WidgetMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y, bool Double)
{
    if (Double)
        DblClick();
    else if (Button == mbLeft)
        FMouseDownInside = true;
    MouseDown(Button, Shift, X, Y);
}

void TControl::WidgetMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const bool clicked = FMouseDownInside && Button == mbLeft;
    if (Button == mbLeft)
        FMouseDownInside = false;
    if (clicked && FClicksOnRelease && ClientRect().Contains({X, Y}))
        Click();
    MouseUp(Button, Shift, X, Y);
}

void TControl::WidgetMouseMove(TShiftState Shift, int X, int Y)
{
    MouseMove(Shift, X, Y);
}

bool TControl::WidgetMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    return DoMouseWheel(Shift, WheelDelta, MousePos);
}

void TControl::WidgetContextMenu(int ScreenX, int ScreenY)
{
    if (!FPopupMenu)
        return;
    FPopupMenu->SetPopupComponent(this);
    FPopupMenu->Popup(ScreenX, ScreenY);
}

// ------------------------------------------------------------------ TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TWinControl(AOwner, NewWidget<TBridged<QWidget>>())
{
    SetClicksOnRelease(true);
}

TWinControl::TWinControl(TComponent* AOwner, QWidget* AHandle) : TControl(AOwner, AHandle)
{
}

TWinControl::~TWinControl()
{
    // The children go with their parent, as in the class library; each one
    // leaves its owner's list as it is freed.
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        RemoveControl(c);
        delete c;
    }
}

void TWinControl::InsertControl(TControl* AControl)
{
    FControls.push_back(AControl);
    auto* win = dynamic_cast<TWinControl*>(AControl);
    if (win)
        FTabList.push_back(win);
    AControl->FParent = this;
    if (QWidget* w = AControl->Handle()) {
        w->setParent(ClientHandle());
        AControl->ApplyGeometry();
        AControl->UpdateWidgetVisible();
    }
    if (AControl->ParentColor())
        AControl->ColorChanged();
    AControl->TakeParentFont();
    AControl->TakeParentShowHint();
    if (win)
        win->TakeParentCtl3D();
    AControl->UpdateAnchorRules();
    ControlsChanged();
    if (AControl->Align() != alNone)
        AlignChildren(AControl);
}

void TWinControl::RemoveControl(TControl* AControl)
{
    auto it = std::find(FControls.begin(), FControls.end(), AControl);
    if (it == FControls.end())
        return;
    FControls.erase(it);
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), AControl), FTabList.end());
    AControl->FParent = nullptr;
    if (QWidget* w = AControl->Handle()) {
        w->hide();
        w->setParent(nullptr);
    }
    if (!Destroying()) {
        ControlsChanged();
        if (AControl->Align() != alNone)
            AlignChildren(nullptr);
    }
}

TControl* TWinControl::FindChildControl(const std::string& ControlName) const
{
    for (TControl* c : FControls) {
        const std::string& n = c->Name();
        if (!n.empty() && n.size() == ControlName.size() &&
            std::equal(n.begin(), n.end(), ControlName.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            }))
            return c;
    }
    return nullptr;
}

bool TWinControl::ContainsControl(TControl* Control) const
{
    for (TControl* c = Control; c; c = c->Parent())
        if (c == this)
            return true;
    return false;
}

void TWinControl::Realign()
{
    AlignChildren(nullptr);
}

void TWinControl::EnableAlign()
{
    if (FAlignLevel > 0 && --FAlignLevel == 0)
        Realign();
}

void TWinControl::SetBorderWidth(int Value)
{
    if (FBorderWidth == Value)
        return;
    FBorderWidth = Value;
    Realign();
    Invalidate();
}

void TWinControl::AdjustClientRect(TRect& Rect) const
{
    InflateRect(Rect, -FBorderWidth, -FBorderWidth);
}

void TWinControl::AlignChildren(TControl* AControl)
{
    if (FAlignLevel > 0 || FAligning || Destroying())
        return;
    const TValueRollback<bool> Aligning(FAligning, true);
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(AControl, r);
    AnchorControls();
}

void TWinControl::AnchorControls()
{
    const TPoint size{ClientWidth(), ClientHeight()};
    const std::vector<TControl*> controls = FControls;   // a move may add or free controls
    for (TControl* c : controls)
        if (c->Align() == alNone && !(c->Anchors() == TAnchors{akLeft, akTop}) &&
            std::find(FControls.begin(), FControls.end(), c) != FControls.end())
            c->AnchorTo(size);
}

namespace {

// The class library's order among controls of one alignment.
bool InsertBefore(TControl* C1, TControl* C2, TAlign Align)
{
    switch (Align) {
    case alTop:
        return C1->Top() < C2->Top();
    case alBottom:
        return C1->Top() + C1->Height() > C2->Top() + C2->Height();
    case alLeft:
        return C1->Left() < C2->Left();
    case alRight:
        return C1->Left() + C1->Width() > C2->Left() + C2->Width();
    default:
        return false;
    }
}

}  // namespace

void TWinControl::AlignControls(TControl* AControl, TRect& Rect)
{
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        if (AControl && AControl->Align() == align && AControl->Visible() && AControl->Parent() == this)
            list.push_back(AControl);
        for (TControl* c : FControls) {
            if (c == AControl || c->Align() != align || !c->Visible())
                continue;
            size_t j = 0;
            while (j < list.size() && !InsertBefore(c, list[j], align))
                ++j;
            list.insert(list.begin() + static_cast<std::ptrdiff_t>(j), c);
        }
        for (TControl* c : list) {
            const int w = std::max(Rect.Width(), 0);
            const int h = std::max(Rect.Height(), 0);
            switch (align) {
            case alTop:
                c->SetBounds(Rect.Left, Rect.Top, w, c->Height());
                Rect.Top += c->Height();
                break;
            case alBottom:
                Rect.Bottom -= c->Height();
                c->SetBounds(Rect.Left, Rect.Bottom, w, c->Height());
                break;
            case alLeft:
                c->SetBounds(Rect.Left, Rect.Top, c->Width(), h);
                Rect.Left += c->Width();
                break;
            case alRight:
                Rect.Right -= c->Width();
                c->SetBounds(Rect.Right, Rect.Top, c->Width(), h);
                break;
            default:
                c->SetBounds(Rect.Left, Rect.Top, w, h);
                break;
            }
        }
    }
}

void TWinControl::ColorChanged()
{
    TControl::ColorChanged();
    for (TControl* c : FControls)
        if (c->ParentColor())
            c->ColorChanged();
}

void TWinControl::FontChanged()
{
    TControl::FontChanged();
    for (TControl* c : FControls)
        c->TakeParentFont();
}

void TWinControl::ShowHintChanged()
{
    TControl::ShowHintChanged();
    for (TControl* c : FControls)
        c->TakeParentShowHint();
}

void TWinControl::SetCtl3D(bool Value)
{
    if (FCtl3D == Value && !FParentCtl3D)
        return;
    FParentCtl3D = false;
    if (FCtl3D == Value)
        return;
    FCtl3D = Value;
    for (TWinControl* c : FTabList)
        c->TakeParentCtl3D();
}

void TWinControl::SetParentCtl3D(bool Value)
{
    if (FParentCtl3D == Value)
        return;
    FParentCtl3D = Value;
    TakeParentCtl3D();
}

void TWinControl::TakeParentCtl3D()
{
    if (!FParentCtl3D || !Parent() || FCtl3D == Parent()->Ctl3D())
        return;
    FCtl3D = Parent()->Ctl3D();
    for (TWinControl* c : FTabList)
        c->TakeParentCtl3D();
}

// ------------------------------------------------------------------ tab order

int TWinControl::TabOrder() const
{
    if (!Parent())
        return -1;
    const auto& list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value)
{
    if (ComponentState().Contains(csLoading))
        FReadTabOrder = Value;
    else
        UpdateTabOrder(Value);
}

void TWinControl::UpdateTabOrder(int Value)
{
    const int current = TabOrder();
    if (current < 0)
        return;
    auto& list = Parent()->FTabList;
    Value = std::clamp(Value, 0, static_cast<int>(list.size()) - 1);
    if (Value == current)
        return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + Value, this);
}

void TWinControl::FixupTabList()
{
    const size_t count = FTabList.size();
    std::vector<TWinControl*> placed(count, nullptr);
    for (TWinControl* c : FTabList) {
        if (c->FReadTabOrder >= 0 && static_cast<size_t>(c->FReadTabOrder) < count)
            placed[static_cast<size_t>(c->FReadTabOrder)] = c;
        c->FReadTabOrder = -1;
    }
    for (size_t i = 0; i < count; ++i)
        if (placed[i])
            placed[i]->UpdateTabOrder(static_cast<int>(i));
}

void TWinControl::ReadState(TReader* Reader)
{
    TControl::ReadState(Reader);
    FixupTabList();
}

// A control read into a parent that is not read with it takes its stored
// place now.
void TWinControl::Loaded()
{
    TControl::Loaded();
    if (FReadTabOrder >= 0) {
        const int place = FReadTabOrder;
        FReadTabOrder = -1;
        UpdateTabOrder(place);
    }
    TakeParentCtl3D();
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const
{
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

bool TWinControl::TakesTabFocus() const
{
    return CanFocus() && Handle() && (Handle()->focusPolicy() & Qt::TabFocus) != 0;
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return nullptr;
    const int count = static_cast<int>(list.size());
    auto it = std::find(list.begin(), list.end(), CurControl);
    const int start = it != list.end() ? static_cast<int>(it - list.begin()) : GoForward ? count - 1 : 0;
    int i = start;
    do {
        i = GoForward ? (i + 1) % count : (i + count - 1) % count;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c->CanFocus() && (!CheckTabStop || c->TakesTabFocus()) && (!CheckParent || c->Parent() == this))
            return c;
    } while (i != start);
    return nullptr;
}

bool TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
    TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop);
    if (!next || !next->Handle())
        return false;
    QWidget* w = next->Handle();
    if (w->focusPolicy() == Qt::NoFocus)
        w->setFocusPolicy(Qt::StrongFocus);
    w->setFocus(GoForward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool TWinControl::WidgetTabKey(bool Forward)
{
    if (Destroying())
        return false;
    TWinControl* current = nullptr;
    for (QWidget* w = QApplication::focusWidget(); w && !current; w = w->parentWidget())
        current = dynamic_cast<TWinControl*>(ControlOf(w));
    if (current == this || !ContainsControl(current))
        current = nullptr;
    return SelectNext(current, Forward, true);
}

void TWinControl::BoundsChanged(bool SizeChanged)
{
    if (SizeChanged)
        Realign();
    TControl::BoundsChanged(SizeChanged);
}

bool TWinControl::CanFocus() const
{
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

void TWinControl::SetFocus()
{
    if (!Handle())
        return;
    if (Handle()->focusPolicy() == Qt::NoFocus)
        Handle()->setFocusPolicy(Qt::StrongFocus);
    Handle()->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::Focused() const
{
    return Handle() && Handle()->hasFocus();
}

void TWinControl::SetTabStop(bool Value)
{
    FTabStop = Value;
    if (Handle())
        Handle()->setFocusPolicy(Value ? Qt::StrongFocus : Qt::ClickFocus);
}

void TWinControl::SetWindowRegion(const TRegion& Region)
{
    QWidget* W = Handle();
    if (!W)
        return;
    if (Region.IsEmpty())
        W->clearMask();
    else
        W->setMask(ToQRegion(Region));
}

TRegion TWinControl::WindowRegion() const
{
    const QWidget* W = Handle();
    return W ? FromQRegion(W->mask()) : TRegion();
}

void TWinControl::KeyDown(uint16_t& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(uint16_t& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

namespace {

// The key a form with KeyPreview has seen already on its way from the focused
// control (Qt hands an unswallowed key on to the parents).
const TWinControl* gPreviewedBy = nullptr;
uint16_t gPreviewedKey = 0;

}  // namespace

bool TWinControl::WidgetKeyDown(uint16_t& Key, TShiftState Shift)
{
    TCustomForm* form = GetParentForm(this);
    if (form == this) {
        // Handed on from the control that had it (the form's frame and its
        // client area both pass it up): seen already.
        if (gPreviewedBy == this && gPreviewedKey == Key)
            return false;
    } else {
        gPreviewedBy = nullptr;
        if (form && form->KeyPreview()) {
            static_cast<TWinControl*>(form)->KeyDown(Key, Shift);
            if (Key == 0)
                return true;
            gPreviewedBy = form;
            gPreviewedKey = Key;
        }
    }
    KeyDown(Key, Shift);
    return Key == 0;
}

bool TWinControl::WidgetKeyUp(uint16_t& Key, TShiftState Shift)
{
    gPreviewedBy = nullptr;
    KeyUp(Key, Shift);
    return Key == 0;
}

bool TWinControl::WidgetKeyPress(char& Key)
{
    KeyPress(Key);
    return Key == 0;
}

// ------------------------------------------------------------------ painting controls

TCustomControl::TCustomControl(TComponent* AOwner) : TCustomControl(AOwner, NewWidget<TBridged<QWidget>>())
{
    SetClicksOnRelease(true);
}

TCustomControl::TCustomControl(TComponent* AOwner, QWidget* AHandle, bool APaints) : TWinControl(AOwner, AHandle)
{
    if (APaints)
        EnablePainting();
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TGraphicControl(AOwner, NewWidget<TBridged<QWidget>>())
{
    SetClicksOnRelease(true);
}

TGraphicControl::TGraphicControl(TComponent* AOwner, QWidget* AHandle, bool APaints) : TControl(AOwner, AHandle)
{
    if (APaints)
        EnablePainting();
}

// ------------------------------------------------------------------ TScreen

namespace {
TScreen gScreen(nullptr);
}

TScreen* Screen = &gScreen;

int TScreen::Width() const
{
    EnsureApplication();
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 0;
}

int TScreen::Height() const
{
    EnsureApplication();
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 0;
}

void TScreen::SetCursor(TCursor Value)
{
    if (FCursor == Value)
        return;
    EnsureApplication();
    if (FCursor != crDefault)
        QApplication::restoreOverrideCursor();
    FCursor = Value;
    if (FCursor != crDefault)
        QApplication::setOverrideCursor(QCursor(CursorShapeOf(FCursor)));
}

namespace {

std::vector<std::pair<TCursor, TCursor>>& StartUpCursors()
{
    static std::vector<std::pair<TCursor, TCursor>> Cursors;
    return Cursors;
}

}  // namespace

void RegisterStartUpCursor(TCursor Index, TCursor Shape)
{
    if (Index <= 0 || Shape > 0)
        return;
    auto& Cursors = StartUpCursors();
    Cursors.erase(std::remove_if(Cursors.begin(), Cursors.end(), [Index](const auto& e) { return e.first == Index; }),
                  Cursors.end());
    if (Shape != crDefault)
        Cursors.emplace_back(Index, Shape);
}

TCursor TScreen::Cursors(TCursor Index) const
{
    for (const auto& [index, shape] : FCursors)
        if (index == Index)
            return shape;
    for (const auto& [index, shape] : StartUpCursors())
        if (index == Index)
            return shape;
    return crDefault;
}

void TScreen::SetCursors(TCursor Index, TCursor Shape)
{
    if (Index <= 0 || Shape > 0)
        return;
    FCursors.erase(std::remove_if(FCursors.begin(), FCursors.end(), [Index](const auto& e) { return e.first == Index; }),
                   FCursors.end());
    if (Shape != crDefault)
        FCursors.emplace_back(Index, Shape);
}

// ------------------------------------------------------------------ TMouse

namespace {
TMouse gMouse;
}

TMouse* Mouse = &gMouse;

TPoint TMouse::CursorPos() const
{
    EnsureApplication();
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

void TMouse::SetCursorPos(const TPoint& Value)
{
    EnsureApplication();
    QCursor::setPos(Value.X, Value.Y);
}
