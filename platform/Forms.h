// Forms: top-level windows and modal dialogs.
//
// A form built in code creates its controls in its constructor and calls
// DoCreate at the end of it (OnCreate). ShowModal asks the dialog-answer hook
// first (platform/DialogHook.h, kind ModalForm, Dialog = the form) after
// OnShow has run; an answerer may drive the form's controls by name and
// returns the modal result (0 takes the form's own ModalResult).
//
// Shortcuts: a key pressed anywhere in a form goes to the form's main menu
// and then to the action lists the form owns before the focused control;
// Enter and Esc click the form's default and cancel buttons unless the
// focused control wants the key.
#pragma once

#include "platform/Controls.h"
#include "platform/Menus.h"

#include <functional>
#include <memory>
#include <string>

class TMainMenu;
class TBitmap;

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

enum TPosition {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
    poMainFormCenter, poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState Value);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);

    // The menu bar sits above the client area.
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);

    // Below the menu bar.
    TRect ClientRect() const override;
    QWidget* ClientHandle() const override;

    // Visible := true (OnShow runs first) and to the front.
    void Show();
    // Shows the form modally until ModalResult is set; returns it.
    virtual TModalResult ShowModal();
    // OnCloseQuery, then OnClose; hides (or frees) the form as OnClose says.
    // A modal form just gets ModalResult mrCancel. Closing the application's
    // main form ends the application.
    void Close();
    // OnCloseQuery's answer.
    virtual bool CloseQuery();
    // Frees the form once the events now pending are handled.
    void Release();

    TModalResult ModalResult() const { return FModalResult; }
    // Non-zero ends a modal loop.
    void SetModalResult(TModalResult Value);
    bool Modal() const { return FModal; }
    // The form's OnKeyDown sees a key before the focused control does; a
    // handler that sets Key to 0 keeps it from the control.
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }

    // Clicks the menu item or runs the action owned by the form that has
    // ShortCut; false when none did.
    virtual bool IsShortCut(TShortCut ShortCut);

    // The client area as it looks now; the caller frees it.
    TBitmap* GetFormImage();

    void SetVisible(bool Value) override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // The Qt side: the window asks to close; the main menu's entries changed;
    // the window's state changed outside the form (the title-bar buttons).
    void WidgetCloseRequest();
    void MenuChanged();
    void WidgetStateChanged();
    // A key pressed in the form that no shortcut took; Focused is the
    // control of ours that has the focus (null: none). Enter and Esc click
    // the default and cancel buttons unless Focused wants the key; true
    // when a button was clicked.
    bool WidgetDialogKey(uint16_t Key, TShiftState Shift, TWinControl* Focused);

protected:
    // Form constructors call it last: OnCreate.
    void DoCreate();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    void TextChanged() override;
    void BoundsChanged(bool SizeChanged) override;
    void UpdateWidgetVisible() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void LayoutFrame();
    void ApplyWindowFlags();
    void PlaceOnShow();
    // Ends a modal run: false when OnCloseQuery or OnClose refused.
    bool CloseModal();
    int MenuBarHeight() const;

    struct TData;
    std::unique_ptr<TData> FData;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    TFormStyle FFormStyle = fsNormal;
    TMainMenu* FMenu = nullptr;
    TModalResult FModalResult = mrNone;
    bool FModal = false;
    bool FPlaced = false;
    bool FShowing = false;
    bool FKeyPreview = false;
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// The form a control sits on, nullptr when none.
TCustomForm* GetParentForm(TControl* Control);

// The application's main form: closing it ends the application, and
// poMainFormCenter centres over it.
TCustomForm* ApplicationMainForm();
void SetApplicationMainForm(TCustomForm* Form);

// The system's alert sound.
void Beep();

// Hands a document, folder or URL ("scheme://...", "mailto:...") to the
// desktop to open with its usual program; paths may be relative to the
// working folder. True when the desktop took it.
bool ShellOpen(const std::string& FileOrUrl);
// Tests install a hook that receives every request instead of the desktop;
// its result is ShellOpen's. Returns the hook it replaces (an empty hook
// brings the desktop back).
using TShellOpenHook = std::function<bool(const std::string& FileOrUrl)>;
TShellOpenHook SetShellOpenHook(TShellOpenHook Hook);

// ------------------------------------------------------------- scroll box

class TScrollBox;

// One scroll bar of a scroll box: Position in pixels, 0..Range - page.
class TControlScrollBar {
public:
    TControlScrollBar(QWidget* ABar, TScrollBox* ABox) : FBar(ABar), FBox(ABox) {}
    int Position() const;
    void SetPosition(int Value);
    // The largest position (0 while everything fits).
    int Range() const;
    // The view follows the thumb while it is dragged (else on release).
    bool Tracking() const;
    void SetTracking(bool Value);
    // Pixels one step of the bar's arrows (and a wheel line) moves.
    int Increment() const;
    void SetIncrement(int Value);
    // The scrolled area reaches at least this far along the bar, in pixels
    // (0: as far as the children reach).
    int Extent() const { return FExtent; }
    void SetExtent(int Value);

private:
    QWidget* FBar;
    TScrollBox* FBox;
    int FExtent = 0;
};

// A window whose children sit on an area as large as they reach; scroll bars
// appear when that area is larger than the window. The wheel scrolls it
// vertically (with Shift horizontally) unless OnMouseWheel handled it.
class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* AOwner);
    ~TScrollBox() override;

    TControlScrollBar* HorzScrollBar() const { return FHorz.get(); }
    TControlScrollBar* VertScrollBar() const { return FVert.get(); }
    // The visible part of the children's area.
    TRect ClientRect() const override;
    QWidget* ClientHandle() const override;
    // Sizes the children's area to reach every child (the box calls it when
    // a child moves or changes its size).
    void UpdateScrollArea();

protected:
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void BoundsChanged(bool SizeChanged) override;
    void ControlsChanged() override;

private:
    struct TData;
    std::unique_ptr<TData> FData;
    std::unique_ptr<TControlScrollBar> FHorz;
    std::unique_ptr<TControlScrollBar> FVert;
};
