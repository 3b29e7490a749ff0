#include "platform/Forms.h"

#include "platform/ActnList.h"
#include "platform/Application.h"
#include "platform/private/ControlsQt.h"
#include "platform/DialogHook.h"
#include "platform/ScopeGuard.h"
#include "platform/StdCtrls.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMoveEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QShowEvent>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace {

TCustomForm* gMainForm = nullptr;

// The window of a form: closing it asks the form.
class TFormWidget : public TBridged<QWidget> {
protected:
    void closeEvent(QCloseEvent* E) override
    {
        auto* form = dynamic_cast<TCustomForm*>(Control);
        if (!form) {
            QWidget::closeEvent(E);
            return;
        }
        E->ignore();
        GuardedAlive(this, [form] { form->WidgetCloseRequest(); });
    }
    void moveEvent(QMoveEvent* E) override
    {
        QWidget::moveEvent(E);
        if (Control && isWindow())
            Control->WidgetMoved(x(), y());
    }
    // A window the window manager sizes as it maps it (maximized at start)
    // can reach its new size without a resize event of that size; the form
    // takes the window's size once it shows and whenever its state changes.
    void showEvent(QShowEvent* E) override
    {
        QWidget::showEvent(E);
        SyncSizeSoon();
    }
    void changeEvent(QEvent* E) override
    {
        QWidget::changeEvent(E);
        if (E->type() != QEvent::WindowStateChange)
            return;
        if (auto* form = dynamic_cast<TCustomForm*>(Control); form && isWindow())
            form->WidgetStateChanged();
        SyncSizeSoon();
    }

private:
    void SyncSizeSoon()
    {
        for (int ms : {0, 250})
            QTimer::singleShot(ms, this, [this] { SyncSize(); });
    }
    void SyncSize()
    {
        if (!Control || !isWindow() || !isVisible())
            return;
        if (width() != Control->Width() || height() != Control->Height())
            GuardedAlive(this, [this] { Control->WidgetResized(width(), height()); });
    }
};

// The client area below the menu bar: mouse messages go to the form, its
// size follows the form's.
class TFormClient : public TBridged<QWidget> {
protected:
    void resizeEvent(QResizeEvent* E) override { QWidget::resizeEvent(E); }
};

// The topmost form above Widget, and the first control of ours on the way.
TCustomForm* formOf(QWidget* Widget, TWinControl*& Focused)
{
    TCustomForm* form = nullptr;
    Focused = nullptr;
    for (QWidget* p = Widget; p; p = p->parentWidget()) {
        TControl* c = ControlOf(p);
        if (!Focused)
            Focused = dynamic_cast<TWinControl*>(c);
        if (auto* f = dynamic_cast<TCustomForm*>(c))
            form = f;
    }
    return form;
}

TButton* findButton(TWinControl* Parent, bool Default)
{
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        TControl* c = Parent->Controls(i);
        if (!c->Visible() || !c->Enabled())
            continue;
        if (auto* b = dynamic_cast<TButton*>(c); b && (Default ? b->Default() : b->Cancel()))
            return b;
        if (auto* w = dynamic_cast<TWinControl*>(c))
            if (TButton* b = findButton(w, Default))
                return b;
    }
    return nullptr;
}

// Keys pressed in a form: its shortcuts first, then Enter and Esc for its
// default and cancel buttons.
class TFormKeyFilter : public QObject {
protected:
    bool eventFilter(QObject* Object, QEvent* Event) override
    {
        if (Event->type() != QEvent::KeyPress || !Object->isWidgetType())
            return false;
        auto* key = static_cast<QKeyEvent*>(Event);
        const uint16_t vk = VirtualKeyFromQt(key->key());
        if (vk == 0 || vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU)
            return false;
        TWinControl* focused = nullptr;
        TCustomForm* form = formOf(static_cast<QWidget*>(Object), focused);
        if (!form)
            return false;
        const TShiftState shift = ShiftFromQt(key->modifiers(), Qt::NoButton);
        bool handled = false;
        InvokeGuarded([&] { handled = form->IsShortCut(ShortCut(vk, shift)); });
        if (handled)
            return true;
        InvokeGuarded([&] { handled = form->WidgetDialogKey(vk, shift, focused); });
        return handled;
    }
};

void installKeyFilter()
{
    // Made again when the Qt application was made again.
    static QPointer<TFormKeyFilter> filter;
    if (filter)
        return;
    EnsureApplication();
    filter = new TFormKeyFilter();
    filter->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
}

// To the front, where the window system has a front.
void RaiseWindow(QWidget* Window)
{
    if (QGuiApplication::platformName() != "offscreen")
        Window->raise();
}

// Wakes a modal loop that waits for events.
void wakeEventLoop()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [] {}, Qt::QueuedConnection);
}

}  // namespace

struct TCustomForm::TData {
    TFormClient* Client = nullptr;
};

TCustomForm::TCustomForm(TComponent* AOwner)
    : TWinControl(AOwner, NewWidget<TFormWidget>()), FData(std::make_unique<TData>())
{
    installKeyFilter();
    FData->Client = new TFormClient();
    FData->Client->setParent(Handle());
    FData->Client->Control = this;
    FData->Client->setMouseTracking(true);
    FData->Client->setAutoFillBackground(true);
    Handle()->setAutoFillBackground(true);
    SetClicksOnRelease(true);
    SetVisible(false);
    // A window has no parent to take its colour from.
    SetParentColor(false);
    SetBounds(0, 0, 320, 240);
    LayoutFrame();
}

TCustomForm::~TCustomForm()
{
    if (gMainForm == this)
        gMainForm = nullptr;
    // The children go before the window that holds them.
    while (ControlCount() > 0)
        delete Controls(ControlCount() - 1);
    if (FMenu) {
        if (QMenuBar* bar = FMenu->MenuBar())
            bar->setParent(nullptr);
        FMenu = nullptr;
    }
    FData->Client->Control = nullptr;
}

void TCustomForm::DoCreate()
{
    if (OnCreate)
        OnCreate(this);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMenu) {
        FMenu = nullptr;
        LayoutFrame();
        Realign();
    }
}

int TCustomForm::MenuBarHeight() const
{
    if (!FMenu || !FMenu->MenuBar())
        return 0;
    return FMenu->MenuBar()->sizeHint().height();
}

TRect TCustomForm::ClientRect() const
{
    return Rect(0, 0, Width(), std::max(0, Height() - MenuBarHeight()));
}

QWidget* TCustomForm::ClientHandle() const
{
    return FData ? FData->Client : Handle();
}

void TCustomForm::LayoutFrame()
{
    if (!FData || !FData->Client)
        return;
    const int mh = MenuBarHeight();
    if (FMenu && FMenu->MenuBar()) {
        QMenuBar* bar = FMenu->MenuBar();
        if (bar->parentWidget() != Handle())
            bar->setParent(Handle());
        bar->setGeometry(0, 0, Width(), mh);
        bar->show();
    }
    FData->Client->setGeometry(0, mh, Width(), std::max(0, Height() - mh));
    FData->Client->show();
}

void TCustomForm::SetMenu(TMainMenu* Value)
{
    if (FMenu == Value)
        return;
    if (FMenu) {
        if (QMenuBar* bar = FMenu->MenuBar()) {
            bar->hide();
            bar->setParent(nullptr);
        }
    }
    FMenu = Value;
    if (FMenu)
        FreeNotification(FMenu);
    LayoutFrame();
    Realign();
}

void TCustomForm::MenuChanged()
{
    LayoutFrame();
    Realign();
}

void TCustomForm::BoundsChanged(bool SizeChanged)
{
    LayoutFrame();
    TWinControl::BoundsChanged(SizeChanged);
}

void TCustomForm::TextChanged()
{
    Handle()->setWindowTitle(QString::fromStdString(Caption()));
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    ApplyWindowFlags();
}

void TCustomForm::SetFormStyle(TFormStyle Value)
{
    if (FFormStyle == Value)
        return;
    FFormStyle = Value;
    ApplyWindowFlags();
}

void TCustomForm::ApplyWindowFlags()
{
    if (Parent())
        return;
    Qt::WindowFlags f = Qt::Window;
    switch (FBorderStyle) {
    case bsNone:
        f |= Qt::FramelessWindowHint;
        break;
    case bsDialog:
        f = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        break;
    case bsToolWindow:
    case bsSizeToolWin:
        f = Qt::Tool;
        break;
    default:
        break;
    }
    if (FFormStyle == fsStayOnTop)
        f |= Qt::WindowStaysOnTopHint;
    const bool shown = Handle()->isVisible();
    Handle()->setWindowFlags(f);
    if (shown)
        Handle()->show();
}

TWindowState TCustomForm::WindowState() const
{
    const Qt::WindowStates s = Handle()->windowState();
    if (s & Qt::WindowMinimized)
        return wsMinimized;
    if (s & Qt::WindowMaximized)
        return wsMaximized;
    return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value)
{
    FWindowState = Value;
    Qt::WindowStates s = Qt::WindowNoState;
    if (Value == wsMinimized)
        s = Qt::WindowMinimized;
    else if (Value == wsMaximized)
        s = Qt::WindowMaximized;
    Handle()->setWindowState(s);
}

void TCustomForm::PlaceOnShow()
{
    if (Parent())
        return;
    TCustomForm* over = nullptr;
    if (FPosition == poMainFormCenter && gMainForm != this)
        over = gMainForm;
    else if (FPosition == poOwnerFormCenter)
        over = dynamic_cast<TCustomForm*>(Owner());
    if (over && over->Visible()) {
        SetBounds(over->Left() + (over->Width() - Width()) / 2, over->Top() + (over->Height() - Height()) / 2, Width(),
                  Height());
    } else if (FPosition == poScreenCenter || FPosition == poDesktopCenter || FPosition == poMainFormCenter ||
               FPosition == poOwnerFormCenter) {
        SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(), Height());
    }
}

void TCustomForm::UpdateWidgetVisible()
{
    if (Parent()) {
        TWinControl::UpdateWidgetVisible();
        return;
    }
    if (!Visible()) {
        Handle()->hide();
        return;
    }
    ApplyWindowFlags();
    SetWindowState(FWindowState);
    Handle()->show();
    RaiseWindow(Handle());
}

void TCustomForm::SetVisible(bool Value)
{
    if (Value == Visible()) {
        if (Value && !Parent())
            RaiseWindow(Handle());
        return;
    }
    if (Value) {
        PlaceOnShow();
        DoShow();
        TWinControl::SetVisible(true);
    } else {
        TWinControl::SetVisible(false);
        DoHide();
    }
}

void TCustomForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::Show()
{
    SetVisible(true);
}

bool TCustomForm::CloseQuery()
{
    bool can = true;
    if (OnCloseQuery)
        OnCloseQuery(this, can);
    return can;
}

void TCustomForm::Close()
{
    if (FModal) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (gMainForm == this) {
        Hide();
        Application->Terminate();
    } else if (action == caHide) {
        Hide();
    } else if (action == caMinimize) {
        SetWindowState(wsMinimized);
    } else {
        Release();
    }
}

void TCustomForm::WidgetCloseRequest()
{
    Close();
}

bool TCustomForm::WidgetDialogKey(uint16_t Key, TShiftState Shift, TWinControl* Focused)
{
    if ((Key != VK_RETURN && Key != VK_ESCAPE) || !Shift.Empty())
        return false;
    if (Focused && Focused->WantsKey(Key))
        return false;
    // Enter on a focused button clicks that button.
    auto* focusedButton = dynamic_cast<TButton*>(Focused);
    TButton* b = Key == VK_RETURN && focusedButton ? focusedButton : findButton(this, Key == VK_RETURN);
    if (!b)
        return false;
    b->Click();
    return true;
}

void TCustomForm::WidgetStateChanged()
{
    // The form's state is the window's, however it got there: a window
    // restored with its title-bar button is normal again, also for the
    // next show.
    const Qt::WindowStates s = Handle()->windowState();
    if (s & Qt::WindowMinimized)
        FWindowState = wsMinimized;
    else if (s & Qt::WindowMaximized)
        FWindowState = wsMaximized;
    else
        FWindowState = wsNormal;
}

void TCustomForm::Release()
{
    QPointer<QWidget> handle(Handle());
    QueueToMainThread([handle] {
        if (handle)
            delete ControlOf(handle.data());
    });
}

void TCustomForm::SetModalResult(TModalResult Value)
{
    FModalResult = Value;
    if (FModal && Value != mrNone)
        wakeEventLoop();
}

bool TCustomForm::CloseModal()
{
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone) {
        FModalResult = mrNone;
        return false;
    }
    if (action == caFree)
        Release();
    return true;
}

TModalResult TCustomForm::ShowModal()
{
    if (Visible() || FModal)
        throw EInvalidOperation("Cannot make a visible window modal");
    EnsureApplication();
    // Whatever happens inside, the form leaves the modal state.
    struct TModalScope {
        TCustomForm* Form;
        QPointer<QWidget> Handle;
        explicit TModalScope(TCustomForm* F) : Form(F), Handle(F->Handle())
        {
            Form->FModal = true;
            Handle->setWindowModality(Qt::ApplicationModal);
        }
        ~TModalScope()
        {
            if (!Handle)
                return;
            Form->FModal = false;
            InvokeGuarded([this] { Form->Hide(); });
            Handle->setWindowModality(Qt::NonModal);
        }
    } scope(this);

    FModalResult = mrNone;
    Show();
    TDialogRequest request;
    request.Kind = TDialogKind::ModalForm;
    request.Dialog = this;
    request.Name = Name();
    request.Caption = Caption();
    int refused = 0;
    for (;;) {
        bool answered = false;
        if (FModalResult == mrNone) {
            TDialogAnswer answer;
            if (AnswerDialog(request, answer)) {
                answered = true;
                if (answer.ModalResult != mrNone)
                    FModalResult = answer.ModalResult;
                else if (FModalResult == mrNone)
                    FModalResult = mrCancel;
            } else {
                while (FModalResult == mrNone && !Application->Terminated())
                    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
                if (FModalResult == mrNone)
                    FModalResult = mrCancel;
            }
        }
        if (CloseModal())
            break;
        // A refused close keeps the form up; an answerer that is refused
        // again and again gets Cancel in the end.
        if (answered && ++refused >= 100) {
            FModalResult = mrCancel;
            break;
        }
    }
    return FModalResult;
}

bool TCustomForm::IsShortCut(TShortCut ShortCut)
{
    if (ShortCut == scNone)
        return false;
    if (FMenu && FMenu->IsShortCut(ShortCut))
        return true;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* list = dynamic_cast<TActionList*>(Components(i)))
            if (list->IsShortCut(ShortCut))
                return true;
    return false;
}

TBitmap* TCustomForm::GetFormImage()
{
    QWidget* client = ClientHandle();
    const QImage shot = client->grab().toImage();
    auto* bitmap = new TBitmap(shot.width(), shot.height());
    bitmap->Data()->Flush();
    QPainter p(&bitmap->Data()->Image);
    p.drawImage(0, 0, shot);
    return bitmap;
}

TCustomForm* GetParentForm(TControl* Control)
{
    TControl* top = Control;
    while (top && top->Parent())
        top = top->Parent();
    return dynamic_cast<TCustomForm*>(top);
}

TCustomForm* ApplicationMainForm()
{
    return gMainForm;
}

void SetApplicationMainForm(TCustomForm* Form)
{
    gMainForm = Form;
}

// ------------------------------------------------------------------ desktop services

namespace {

TShellOpenHook& ShellHook()
{
    static TShellOpenHook Hook;
    return Hook;
}

}  // namespace

void Beep()
{
    EnsureApplication();
    QApplication::beep();
}

TShellOpenHook SetShellOpenHook(TShellOpenHook Hook)
{
    TShellOpenHook Old = std::move(ShellHook());
    ShellHook() = std::move(Hook);
    return Old;
}

bool ShellOpen(const std::string& FileOrUrl)
{
    if (ShellHook())
        return ShellHook()(FileOrUrl);
    if (FileOrUrl.empty())
        return false;
    EnsureApplication();
    const QString Text = QString::fromStdString(FileOrUrl);
    const bool IsUrl = Text.contains(QStringLiteral("://")) || Text.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive);
    const QUrl Url = IsUrl ? QUrl(Text) : QUrl::fromLocalFile(QDir::current().absoluteFilePath(Text));
    return Url.isValid() && QDesktopServices::openUrl(Url);
}

// ------------------------------------------------------------- scroll box

namespace {

// The area the children of a scroll box sit on: it grows to reach them.
class TScrollBoxArea : public QWidget {
public:
    std::function<void()> OnChildGeometry;

protected:
    bool event(QEvent* E) override
    {
        if (E->type() == QEvent::ChildAdded) {
            if (auto* w = qobject_cast<QWidget*>(static_cast<QChildEvent*>(E)->child()))
                w->installEventFilter(this);
        }
        return QWidget::event(E);
    }
    bool eventFilter(QObject* Object, QEvent* E) override
    {
        if ((E->type() == QEvent::Move || E->type() == QEvent::Resize || E->type() == QEvent::Show ||
             E->type() == QEvent::Hide) &&
            Object->parent() == this && OnChildGeometry)
            OnChildGeometry();
        return false;
    }
};

}  // namespace

int TControlScrollBar::Position() const { return static_cast<QScrollBar*>(FBar)->value(); }
void TControlScrollBar::SetPosition(int Value) { static_cast<QScrollBar*>(FBar)->setValue(Value); }
int TControlScrollBar::Range() const { return static_cast<QScrollBar*>(FBar)->maximum(); }
bool TControlScrollBar::Tracking() const { return static_cast<QScrollBar*>(FBar)->hasTracking(); }
void TControlScrollBar::SetTracking(bool Value) { static_cast<QScrollBar*>(FBar)->setTracking(Value); }
int TControlScrollBar::Increment() const { return static_cast<QScrollBar*>(FBar)->singleStep(); }
void TControlScrollBar::SetIncrement(int Value) { static_cast<QScrollBar*>(FBar)->setSingleStep(std::max(Value, 1)); }

void TControlScrollBar::SetExtent(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FExtent)
        return;
    FExtent = Value;
    FBox->UpdateScrollArea();
}

struct TScrollBox::TData {
    TScrollBoxArea* Area = nullptr;
    bool Updating = false;
};

TScrollBox::TScrollBox(TComponent* AOwner)
    : TWinControl(AOwner, NewWidget<TBridged<QScrollArea>>()), FData(std::make_unique<TData>())
{
    auto* sa = static_cast<QScrollArea*>(Handle());
    sa->setWidgetResizable(false);
    FData->Area = new TScrollBoxArea();
    FData->Area->setAutoFillBackground(false);
    sa->setWidget(FData->Area);
    FData->Area->OnChildGeometry = [this] { UpdateScrollArea(); };
    FHorz = std::make_unique<TControlScrollBar>(sa->horizontalScrollBar(), this);
    FVert = std::make_unique<TControlScrollBar>(sa->verticalScrollBar(), this);
    SetBounds(0, 0, 185, 41);
}

TScrollBox::~TScrollBox()
{
    FData->Area->OnChildGeometry = nullptr;
    while (ControlCount() > 0)
        delete Controls(ControlCount() - 1);
}

QWidget* TScrollBox::ClientHandle() const
{
    return FData ? FData->Area : Handle();
}

TRect TScrollBox::ClientRect() const
{
    if (!FData)
        return TWinControl::ClientRect();
    const QWidget* view = static_cast<QScrollArea*>(Handle())->viewport();
    return Rect(0, 0, view->width(), view->height());
}

void TScrollBox::UpdateScrollArea()
{
    if (!FData || FData->Updating)
        return;
    TValueRollback<bool> Busy(FData->Updating, true);
    auto* sa = static_cast<QScrollArea*>(Handle());
    // The viewport without scroll bars; a bar takes its room only when
    // the children reach beyond it.
    const QSize view = sa->maximumViewportSize();
    int right = 0;
    int bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        const TControl* c = Controls(i);
        if (!c->Visible())
            continue;
        right = std::max(right, c->Left() + c->Width());
        bottom = std::max(bottom, c->Top() + c->Height());
    }
    if (FHorz)
        right = std::max(right, FHorz->Extent());
    if (FVert)
        bottom = std::max(bottom, FVert->Extent());
    const int bar = sa->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    int w = view.width();
    int h = view.height();
    if (right > w)
        h -= bar;
    if (bottom > h) {
        w -= bar;
        if (right > w && right <= view.width())
            h -= bar;
    }
    FData->Area->resize(std::max({right, w, 0}), std::max({bottom, h, 0}));
}

bool TScrollBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (TWinControl::DoMouseWheel(Shift, WheelDelta, MousePos))
        return true;
    auto* sa = static_cast<QScrollArea*>(Handle());
    QScrollBar* bar = Shift.Contains(ssShift) ? sa->horizontalScrollBar() : sa->verticalScrollBar();
    // Three lines a notch, as the desktop scrolls.
    bar->setValue(bar->value() - WheelDelta * 3 * bar->singleStep() / 120);
    return true;
}

void TScrollBox::BoundsChanged(bool SizeChanged)
{
    TWinControl::BoundsChanged(SizeChanged);
    if (SizeChanged)
        UpdateScrollArea();
}

void TScrollBox::ControlsChanged()
{
    UpdateScrollArea();
}
