// Window controls: the base classes every control, panel and form derives
// from, their placement (bounds, alignment), look (colour, font, caption),
// mouse and keyboard messages, painting through a canvas and focus.
//
// Each control lives on one Qt widget of its own (private/ControlsQt.h); callers see
// only the class library's shapes. A control's component name is its widget's
// object name, so a test finds `lblFlowMax` by name.
//
// Painting: a custom or graphic control paints through Canvas in Paint. Its
// canvas draws on a persistent backing image, so code may also draw on it
// outside a paint (a chart adds a new line segment at once); the window then
// shows just the rectangle that changed. Invalidate makes the next paint run
// Paint again.
#pragma once

#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "platform/SizeConstraints.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

class QWidget;
class TWinControl;
class TPopupMenu;
class TBasicAction;
class TControlPainter;   // the backing image of painting controls (private/ControlsQt.h)

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
// The reading order of a control's text: left to right, or right to left
// with the alignment mirrored, not mirrored, or (reading only) not mirrored.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
// Window borders; TBorderStyle (panels, edits) uses bsNone and bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

// Raised for an operation the control's state does not allow (showing a
// visible form modally, focusing a hidden control).
class EInvalidOperation : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };

// Keys and buttons held during a mouse or key message:
// `Shift.Contains(ssCtrl)`, `TShiftState{ssShift, ssLeft}`.
class TShiftState {
public:
    constexpr TShiftState() = default;
    constexpr TShiftState(std::initializer_list<TShiftStateItem> Items)
    {
        for (TShiftStateItem I : Items)
            FBits = static_cast<uint8_t>(FBits | Bit(I));
    }
    constexpr bool Contains(TShiftStateItem I) const { return (FBits & Bit(I)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    TShiftState& operator<<(TShiftStateItem I) { FBits = static_cast<uint8_t>(FBits | Bit(I)); return *this; }
    TShiftState& operator>>(TShiftStateItem I) { FBits = static_cast<uint8_t>(FBits & ~Bit(I)); return *this; }
    constexpr bool operator==(const TShiftState&) const = default;

private:
    static constexpr uint8_t Bit(TShiftStateItem I) { return static_cast<uint8_t>(1u << static_cast<unsigned>(I)); }
    uint8_t FBits = 0;
};

enum TAnchorKind { akLeft, akTop, akRight, akBottom };

// The sides of its parent a control keeps its distance to:
// `TAnchors{akLeft, akTop}` (the default), `A.Contains(akRight)`.
class TAnchors {
public:
    constexpr TAnchors() = default;
    constexpr TAnchors(std::initializer_list<TAnchorKind> Items)
    {
        for (TAnchorKind I : Items)
            FBits = static_cast<uint8_t>(FBits | Bit(I));
    }
    constexpr bool Contains(TAnchorKind I) const { return (FBits & Bit(I)) != 0; }
    constexpr uint8_t Bits() const { return FBits; }
    static constexpr TAnchors FromBits(uint8_t Bits)
    {
        TAnchors A;
        A.FBits = static_cast<uint8_t>(Bits & 0x0F);
        return A;
    }
    constexpr bool operator==(const TAnchors&) const = default;

private:
    static constexpr uint8_t Bit(TAnchorKind I) { return static_cast<uint8_t>(1u << static_cast<unsigned>(I)); }
    uint8_t FBits = 0;
};

// How a drag of the control starts (by code, or by pressing the mouse on
// it) and what it drags (the control's data, or the control to dock it).
enum TDragMode { dmManual, dmAutomatic };
enum TDragKind { dkDrag, dkDock };

// Mouse cursors (negative numbers are the stock shapes).
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// Virtual key codes of KeyDown/KeyUp and of shortcuts. Letters and digits
// are their upper-case ASCII codes ('A', '0').
constexpr uint16_t VK_BACK = 0x08;
constexpr uint16_t VK_TAB = 0x09;
constexpr uint16_t VK_RETURN = 0x0D;
constexpr uint16_t VK_SHIFT = 0x10;
constexpr uint16_t VK_CONTROL = 0x11;
constexpr uint16_t VK_MENU = 0x12;
constexpr uint16_t VK_PAUSE = 0x13;
constexpr uint16_t VK_ESCAPE = 0x1B;
constexpr uint16_t VK_SPACE = 0x20;
constexpr uint16_t VK_PRIOR = 0x21;
constexpr uint16_t VK_NEXT = 0x22;
constexpr uint16_t VK_END = 0x23;
constexpr uint16_t VK_HOME = 0x24;
constexpr uint16_t VK_LEFT = 0x25;
constexpr uint16_t VK_UP = 0x26;
constexpr uint16_t VK_RIGHT = 0x27;
constexpr uint16_t VK_DOWN = 0x28;
constexpr uint16_t VK_INSERT = 0x2D;
constexpr uint16_t VK_DELETE = 0x2E;
constexpr uint16_t VK_F1 = 0x70;
constexpr uint16_t VK_F2 = 0x71;
constexpr uint16_t VK_F3 = 0x72;
constexpr uint16_t VK_F4 = 0x73;
constexpr uint16_t VK_F5 = 0x74;
constexpr uint16_t VK_F6 = 0x75;
constexpr uint16_t VK_F7 = 0x76;
constexpr uint16_t VK_F8 = 0x77;
constexpr uint16_t VK_F9 = 0x78;
constexpr uint16_t VK_F10 = 0x79;
constexpr uint16_t VK_F11 = 0x7A;
constexpr uint16_t VK_F12 = 0x7B;
constexpr uint16_t VK_ADD = 0x6B;
constexpr uint16_t VK_SUBTRACT = 0x6D;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
// Key = 0 in a handler swallows the key.
using TKeyEvent = std::function<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

class TControl : public TComponent {
    OZ_CLASS(TControl, TComponent);

public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // Published: bounds, Align, Visible, Enabled, Color, ParentColor, Font,
    // Hint, ShowHint, Cursor (platform/PublishedProps.cpp). Anchors,
    // Constraints, ParentFont, ParentShowHint, PopupMenu and the drag
    // properties are published by the classes that show them
    // (PublishAnchors... in platform/PublishedProps.h).
    static void Publish(TPublisher<TControl>& P);
    // A control read inside a windowed control's block becomes its child.
    void SetParentComponent(TComponent* Value) override;
    // A form stores a control's own font as its differences from the
    // font's defaults, and none while it is the parent's: the font a form
    // holds is read from the defaults.
    void ReadState(TReader* Reader) override;
    // Takes the parent's font and ShowHint again where it follows them (a
    // parent read after it), and records the distances its anchors keep.
    void Loaded() override;

    // Also the widget's object name.
    void SetName(const std::string& Value) override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }

    // (0, 0, ClientWidth, ClientHeight).
    virtual TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);
    TPoint ClientOrigin() const;
    TPoint ClientToScreen(const TPoint& P) const;
    TPoint ScreenToClient(const TPoint& P) const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);

    // The sides of the parent the control keeps its distance to when the
    // parent's client area is resized: anchored to a side it moves with it,
    // to both sides of a pair it stretches, to neither it keeps its centre
    // at the same share of the parent. The distances are those of the last
    // SetBounds (or SetAnchors, or insertion into the parent). Aligned
    // controls follow their alignment instead.
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);

    // SetBounds keeps the size within these (and a window keeps the user's
    // sizes within them); a change brings the size within at once.
    TSizeConstraints* Constraints() { return &FConstraints; }
    void SetConstraints(TSizeConstraints* Value) { FConstraints.Assign(Value); }

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent up to a shown window visible too.
    bool Showing() const;

    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);

    // The parent's colour while ParentColor is set (the default), else the
    // control's own.
    TColor Color() const;
    // Also clears ParentColor.
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() { return &FFont; }
    void SetFont(TFont* Value) { FFont.Assign(Value); }
    // The control takes its parent's font, and follows it, while ParentFont
    // is set (the default); any change of its own font clears it.
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);

    std::string Caption() const { return GetTextBuf(); }
    void SetCaption(const std::string& Value) { SetTextBuf(Value); }
    std::string Text() const { return GetTextBuf(); }
    void SetText(const std::string& Value) { SetTextBuf(Value); }

    // "short|long": the part before '|' is the tool tip; a carriage return
    // (#13) in it starts a new line of the tip.
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    // The parent's ShowHint while ParentShowHint is set (the default);
    // setting it clears ParentShowHint.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);

    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);

    // Opened by a right click on the control.
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);

    // How the control would be dragged: stored and read for forms, for a
    // drag that code starts; the platform starts none by itself.
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor Value) { FDragCursor = Value; }
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    TDragKind DragKind() const { return FDragKind; }
    void SetDragKind(TDragKind Value) { FDragKind = Value; }

    // Caption, enabled, visible and hint follow the action; a click executes it.
    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* Value);

    // The next paint runs Paint again.
    virtual void Invalidate();
    // Paints what is invalid now.
    void Update();
    void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // The Qt widget behind the control (platform code only).
    QWidget* Handle() const { return FHandle; }

    // Called by the Qt side (private/ControlsQt.h); not for the program.
    void WidgetResized(int AWidth, int AHeight);
    void WidgetMoved(int ALeft, int ATop);
    void WidgetMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y, bool Double);
    void WidgetMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    void WidgetMouseMove(TShiftState Shift, int X, int Y);
    bool WidgetMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    void WidgetContextMenu(int ScreenX, int ScreenY);
    void WidgetMouseEnter() { MouseEnter(); }
    void WidgetMouseLeave() { MouseLeave(); }
    TControlPainter* Painter() const { return FPainter.get(); }
    void PaintControl() { Paint(); }

protected:
    // For descendants that bring their own widget; AHandle is owned.
    TControl(TComponent* AOwner, QWidget* AHandle);

    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    // The mouse came over the control / left it.
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void Resize();
    virtual void Paint() {}

    // Caption/Text storage; edits keep their text in the widget.
    virtual std::string GetTextBuf() const { return FText; }
    virtual void SetTextBuf(const std::string& Value);
    // The caption changed: show it.
    virtual void TextChanged();
    virtual void EnabledChanged();
    virtual void ColorChanged();
    virtual void FontChanged();
    // ShowHint changed (set, or taken from the parent).
    virtual void ShowHintChanged() {}
    // The action's values changed.
    virtual void ActionChange(TBasicAction* Sender);

    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Makes the control paint through a canvas on a backing image.
    void EnablePainting();
    TCanvas* PaintCanvas() const;
    // Widgets that have no click of their own report one on a left release.
    void SetClicksOnRelease(bool Value) { FClicksOnRelease = Value; }
    // Applies FVisible to the widget (a form shows itself as a window).
    virtual void UpdateWidgetVisible();
    // Called when Left/Top/Width/Height changed by code or by the window.
    virtual void BoundsChanged(bool SizeChanged);
    void RequestAlign();

    friend class TWinControl;
    friend class TBasicAction;

private:
    void ApplyGeometry();
    void ApplyToolTip();
    void ApplyConstraints();
    // The font as the published property Font: while a form is read into a
    // control that follows its parent's font, the first value the form holds
    // of the font starts it from its defaults.
    TFont* StoredFont();
    // The parent's font / ShowHint, where the control follows it.
    void TakeParentFont();
    void TakeParentShowHint();
    // Records the distances the anchors keep, from the bounds and the
    // parent's client size of now.
    void UpdateAnchorRules();
    // Moves and sizes the control as its anchors say for a parent client
    // area of ParentSize.
    void AnchorTo(const TPoint& ParentSize);

    QWidget* FHandle = nullptr;
    TWinControl* FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TAlign FAlign = alNone;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clBtnFace;
    bool FParentColor = true;
    TFont FFont;
    bool FParentFont = true;
    bool FTakingParentFont = false;
    std::string FText;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    TPopupMenu* FPopupMenu = nullptr;
    TAnchors FAnchors{akLeft, akTop};
    // akRight/akBottom with the opposite side: the width/height; with
    // only akRight/akBottom: the left/top; with neither: the centre.
    TPoint FAnchorRules;
    TPoint FOriginalParentSize;   // (0, 0): no rules recorded
    bool FAnchorMove = false;
    TSizeConstraints FConstraints;
    TCursor FDragCursor = crDrag;
    TDragMode FDragMode = dmManual;
    TDragKind FDragKind = dkDrag;
    TBasicAction* FAction = nullptr;
    std::unique_ptr<TControlPainter> FPainter;
    bool FClicksOnRelease = false;
    bool FMouseDownInside = false;
    bool FApplyingGeometry = false;
};

class TWinControl : public TControl {
    OZ_CLASS(TWinControl, TControl);

public:
    explicit TWinControl(TComponent* AOwner);
    // Frees the child controls first, whoever owns them.
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(static_cast<size_t>(Index)); }
    // A direct child by component name (case-insensitive), nullptr when none.
    TControl* FindChildControl(const std::string& ControlName) const;
    bool ContainsControl(TControl* Control) const;

    // Lays out the aligned children again.
    void Realign();
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();

    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);

    bool CanFocus() const;
    virtual void SetFocus();
    bool Focused() const;
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);

    // The control's place in the order Tab moves the focus among its
    // parent's windowed controls: 0 first, -1 without a parent. Values past
    // either end count as that end. While a form is read the places are
    // taken once all the parent's controls are read.
    int TabOrder() const;
    void SetTabOrder(int Value);
    // Focuses the next control after CurControl (the previous one when
    // !GoForward) in tab order, through the nested controls, that can take
    // the focus and, with CheckTabStop, takes it by Tab; with CheckTabStop
    // false only this control's own children count. CurControl nullptr (or
    // not inside) starts at the ends. False when there is none.
    bool SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

    // The three-dimensional look, taken from the parent while ParentCtl3D is
    // set (the default); setting it clears ParentCtl3D. On this platform the
    // look stays the same either way: the values are kept for the code and
    // forms that set them.
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool Value);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // True when the control handles Key itself (Enter in a memo, arrow keys
    // in a knob), so that the form does not take it for its default or
    // cancel button and the key does not travel on to the parent.
    virtual bool WantsKey(uint16_t Key) const { return false; }

    // The window's shape, in client coordinates: only the region's pixels
    // show and take the mouse (a rounded panel). An empty region gives the
    // window its whole rectangle back; so does WindowRegion when none is set.
    void SetWindowRegion(const TRegion& Region);
    TRegion WindowRegion() const;

    // The widget the children live on (a form's client area).
    virtual QWidget* ClientHandle() const { return Handle(); }

    // Called by the Qt side; return true when the key was swallowed.
    bool WidgetKeyDown(uint16_t& Key, TShiftState Shift);
    bool WidgetKeyUp(uint16_t& Key, TShiftState Shift);
    bool WidgetKeyPress(char& Key);
    void WidgetFocusIn() { DoEnter(); }
    void WidgetFocusOut() { DoExit(); }
    // Tab (Forward) or Shift+Tab in the window this control is; false when
    // no control of it takes the focus.
    bool WidgetTabKey(bool Forward);

    // Takes the stored tab order of its children once they are read.
    void ReadState(TReader* Reader) override;
    void Loaded() override;

protected:
    TWinControl(TComponent* AOwner, QWidget* AHandle);

    // The windowed controls inside this one in tab order, each followed by
    // those inside it.
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                 bool CheckParent) const;

    // The area the aligned children share (ClientRect less borders).
    virtual void AdjustClientRect(TRect& Rect) const;
    // Places the aligned children inside Rect, like the class library.
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    virtual void KeyDown(uint16_t& Key, TShiftState Shift);
    virtual void KeyUp(uint16_t& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void DoEnter();
    virtual void DoExit();
    void BoundsChanged(bool SizeChanged) override;
    // Children that take the parent's colour, font or ShowHint follow.
    void ColorChanged() override;
    void FontChanged() override;
    void ShowHintChanged() override;
    // A child was inserted or removed.
    virtual void ControlsChanged() {}
    // A child moved or was resized.
    virtual void ControlBoundsChanged(TControl* AControl) {}

    friend class TControl;

private:
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    void AlignChildren(TControl* AControl);
    // Moves the anchored children to the client size of now.
    void AnchorControls();
    void UpdateTabOrder(int Value);
    // The places of the children read with a stored TabOrder.
    void FixupTabList();
    void TakeParentCtl3D();
    // Takes the focus by Tab: can take it and its widget accepts Tab.
    bool TakesTabFocus() const;

    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    int FAlignLevel = 0;
    bool FAligning = false;
    int FBorderWidth = 0;
    bool FTabStop = false;
    int FReadTabOrder = -1;   // a stored TabOrder while the form is read
    bool FCtl3D = true;
    bool FParentCtl3D = true;
};

// A windowed control that paints itself through Canvas.
class TCustomControl : public TWinControl {
    OZ_CLASS(TCustomControl, TWinControl);

public:
    explicit TCustomControl(TComponent* AOwner);
    TCanvas* Canvas() const { return PaintCanvas(); }

protected:
    // APaints false: the widget paints itself and Canvas is nullptr.
    TCustomControl(TComponent* AOwner, QWidget* AHandle, bool APaints = true);
};

// A light control (label, bevel, speed button) that paints through Canvas
// and takes no focus.
class TGraphicControl : public TControl {
    OZ_CLASS(TGraphicControl, TControl);

public:
    explicit TGraphicControl(TComponent* AOwner);
    TCanvas* Canvas() const { return PaintCanvas(); }

protected:
    // APaints false: the widget paints itself and Canvas is nullptr.
    TGraphicControl(TComponent* AOwner, QWidget* AHandle, bool APaints = true);
};

// Screen metrics and the cursor shown over every window.
class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner) : TComponent(AOwner) {}
    int Width() const;
    int Height() const;
    // crDefault lets each control show its own cursor.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    int PixelsPerInch() const { return 96; }

    // The program's own cursors: a number above 0 names an entry that shows
    // one of the stock shapes (a library enters its hand at its number).
    // An empty entry, like crDefault, shows the arrow.
    TCursor Cursors(TCursor Index) const;
    // Shape crDefault empties the entry; entries are not chained.
    void SetCursors(TCursor Index, TCursor Shape);

private:
    TCursor FCursor = crDefault;
    std::vector<std::pair<TCursor, TCursor>> FCursors;
};

extern TScreen* Screen;

// A library enters a cursor number of its own when it starts, before main
// and so perhaps before Screen is made: Index (above 0) shows the stock
// Shape wherever the screen's table has no entry of its own for it.
void RegisterStartUpCursor(TCursor Index, TCursor Shape);

// What a drag carries: the cursor it shows over a target that accepts the
// drop or not, and the end of the drag.
class TDragObject : public TObject {
public:
    virtual TCursor GetDragCursor(bool Accepted, int X, int Y) { return Accepted ? crDrag : crNoDrop; }
    virtual void Finished(TObject* Target, int X, int Y, bool Accepted) {}
};

// The mouse: where it is on the screen.
class TMouse {
public:
    TPoint CursorPos() const;
    void SetCursorPos(const TPoint& Value);
};

extern TMouse* Mouse;
