#include "platform/ComCtrls.h"

#include "platform/ActnList.h"
#include "platform/private/ControlsQt.h"
#include "platform/ExtCtrls.h"
#include "platform/ImgList.h"
#include "platform/Menus.h"

#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QStyleOption>
#include <QSignalBlocker>
#include <QTabBar>
#include <QToolButton>

#include <algorithm>

namespace {

// A tool button's widget: a separator draws the style's divider line.
class TToolButtonWidget : public TBridged<QToolButton> {
public:
    bool Separator = false;

protected:
    void paintEvent(QPaintEvent* E) override
    {
        if (!Separator) {
            TBridged<QToolButton>::paintEvent(E);
            return;
        }
        QPainter p(this);
        QStyleOption opt;
        opt.initFrom(this);
        opt.state |= QStyle::State_Horizontal;
        opt.rect = QRect(0, 2, width(), std::max(0, height() - 4));
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &opt, &p, this);
    }
};

}  // namespace

// ------------------------------------------------------------------ TProgressBar

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner, NewWidget<TBridged<QProgressBar>>())
{
    static_cast<QProgressBar*>(Handle())->setTextVisible(false);
    SetBounds(0, 0, 150, 16);
    Apply();
}

void TProgressBar::Apply()
{
    auto* p = static_cast<QProgressBar*>(Handle());
    p->setRange(FMin, std::max(FMin, FMax));
    p->setValue(FPosition);
}

void TProgressBar::SetMin(int Value)
{
    FMin = Value;
    FPosition = std::clamp(FPosition, FMin, std::max(FMin, FMax));
    Apply();
}

void TProgressBar::SetMax(int Value)
{
    FMax = Value;
    FPosition = std::clamp(FPosition, FMin, std::max(FMin, FMax));
    Apply();
}

void TProgressBar::SetPosition(int Value)
{
    FPosition = std::clamp(Value, FMin, std::max(FMin, FMax));
    Apply();
}

// ------------------------------------------------------------------ TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner)
{
    SetVisible(false);
}

TTabSheet::~TTabSheet()
{
    SetPageControl(nullptr);
}

void TTabSheet::SetPageControl(TPageControl* Value)
{
    if (FPageControl == Value)
        return;
    if (FPageControl)
        FPageControl->RemovePage(this);
    SetParent(Value);
    if (Value)
        Value->InsertPage(this);
}

void TTabSheet::SetTabVisible(bool Value)
{
    if (FTabVisible == Value)
        return;
    FTabVisible = Value;
    if (FPageControl)
        FPageControl->UpdateTabs();
}

int TTabSheet::PageIndex() const
{
    if (!FPageControl)
        return -1;
    const auto& v = FPageControl->FPages;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

int TTabSheet::TabIndex() const
{
    if (!FPageControl || !FTabVisible)
        return -1;
    int n = 0;
    for (TTabSheet* p : FPageControl->FPages) {
        if (p == this)
            return n;
        if (p->FTabVisible)
            ++n;
    }
    return -1;
}

void TTabSheet::TextChanged()
{
    if (FPageControl)
        FPageControl->UpdateTabs();
}

// ------------------------------------------------------------------ TPageControl

struct TPageControl::TData {
    QTabBar* Bar = nullptr;
    int Setting = 0;
};

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner), FData(std::make_unique<TData>())
{
    FData->Bar = new QTabBar(Handle());
    FData->Bar->setDrawBase(true);
    FData->Bar->show();
    QObject::connect(FData->Bar, &QTabBar::currentChanged, [this](int Index) {
        if (FData->Setting)
            return;
        // Back to the page in force until the control decides.
        ++FData->Setting;
        FData->Bar->setCurrentIndex(ActivePageIndex());
        --FData->Setting;
        InvokeGuarded([this, Index] { WidgetTabClicked(Index); });
    });
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl()
{
    while (!FPages.empty())
        delete FPages.back();
}

int TPageControl::TabBarHeight() const
{
    const QSize hint = FData->Bar->sizeHint();
    return std::max(hint.height(), QFontMetrics(Handle()->font()).height() + 8);
}

void TPageControl::AdjustClientRect(TRect& Rect) const
{
    TWinControl::AdjustClientRect(Rect);
    Rect.Top += TabBarHeight();
    InflateRect(Rect, -2, -2);
}

void TPageControl::AlignControls(TControl* AControl, TRect& Rect)
{
    for (TTabSheet* p : FPages)
        p->SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
    TWinControl::AlignControls(AControl, Rect);
}

void TPageControl::BoundsChanged(bool SizeChanged)
{
    FData->Bar->setGeometry(0, 0, Width(), TabBarHeight());
    TWinControl::BoundsChanged(SizeChanged);
}

void TPageControl::InsertPage(TTabSheet* Page)
{
    FPages.push_back(Page);
    Page->FPageControl = this;
    UpdateTabs();
    Realign();
    if (!FActivePage)
        SetActivePage(Page);
    else
        Page->SetVisible(false);
}

void TPageControl::RemovePage(TTabSheet* Page)
{
    auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end())
        return;
    const int index = static_cast<int>(it - FPages.begin());
    FPages.erase(it);
    Page->FPageControl = nullptr;
    if (FActivePage == Page) {
        FActivePage = nullptr;
        // The next page with a visible tab takes its place.
        TTabSheet* next = nullptr;
        for (int i = 0; i < PageCount() && !next; ++i) {
            TTabSheet* p = FPages[static_cast<size_t>((index + i) % PageCount())];
            if (p->TabVisible())
                next = p;
        }
        if (next)
            SetActivePage(next);
    }
    UpdateTabs();
}

void TPageControl::UpdateTabs()
{
    QTabBar* bar = FData->Bar;
    ++FData->Setting;
    while (bar->count() > PageCount())
        bar->removeTab(bar->count() - 1);
    while (bar->count() < PageCount())
        bar->addTab(QString());
    for (int i = 0; i < PageCount(); ++i) {
        TTabSheet* p = FPages[static_cast<size_t>(i)];
        bar->setTabText(i, qs(p->Caption()));
        bar->setTabVisible(i, p->TabVisible());
    }
    bar->setCurrentIndex(ActivePageIndex());
    --FData->Setting;
}

void TPageControl::SetActivePage(TTabSheet* Value)
{
    if (Value && Value->FPageControl != this)
        return;
    if (FActivePage == Value)
        return;
    TTabSheet* old = FActivePage;
    FActivePage = Value;
    if (FActivePage) {
        FActivePage->SetVisible(true);
        FActivePage->Handle()->raise();
    }
    if (old)
        old->SetVisible(false);
    ++FData->Setting;
    FData->Bar->setCurrentIndex(ActivePageIndex());
    --FData->Setting;
}

void TPageControl::SetActivePageIndex(int Value)
{
    SetActivePage(Value >= 0 && Value < PageCount() ? FPages[static_cast<size_t>(Value)] : nullptr);
}

void TPageControl::WidgetTabClicked(int Index)
{
    if (Index < 0 || Index >= PageCount() || FPages[static_cast<size_t>(Index)] == FActivePage)
        return;
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    if (!allow)
        return;
    SetActivePage(FPages[static_cast<size_t>(Index)]);
    if (OnChange)
        OnChange(this);
}

// ------------------------------------------------------------------ TTabControl

TTabControl::TTabControl(TComponent* AOwner) : TWinControl(AOwner, NewWidget<TBridged<QTabBar>>())
{
    auto* bar = static_cast<QTabBar*>(Handle());
    bar->setDrawBase(true);
    bar->setExpanding(false);
    FTabs = std::make_unique<TItemStrings>([this](TItemStrings::TChange K, int I) { TabsChanged(K, I); });
    QObject::connect(bar, &QTabBar::currentChanged, [this, bar](int Index) {
        if (FSetting)
            return;
        ++FSetting;
        bar->setCurrentIndex(FTabIndex);
        --FSetting;
        InvokeGuarded([this, Index] { WidgetTabClicked(Index); });
    });
    SetTabStop(true);
    SetBounds(0, 0, 289, 24);
}

TTabControl::~TTabControl() = default;

void TTabControl::TabsChanged(TItemStrings::TChange Kind, int Index)
{
    auto* bar = static_cast<QTabBar*>(Handle());
    ++FSetting;
    switch (Kind) {
    case TItemStrings::icInsert:
        bar->insertTab(Index, qs(FTabs->Strings(Index)));
        FVisible.insert(FVisible.begin() + Index, true);
        break;
    case TItemStrings::icDelete:
        bar->removeTab(Index);
        FVisible.erase(FVisible.begin() + Index);
        break;
    case TItemStrings::icPut:
        bar->setTabText(Index, qs(FTabs->Strings(Index)));
        break;
    default:
        while (bar->count() > 0)
            bar->removeTab(0);
        FVisible.assign(static_cast<size_t>(FTabs->Count()), true);
        for (int i = 0; i < FTabs->Count(); ++i)
            bar->addTab(qs(FTabs->Strings(i)));
        break;
    }
    if (FTabIndex >= FTabs->Count())
        FTabIndex = FTabs->Count() - 1;
    if (FTabIndex < 0 && FTabs->Count() > 0)
        FTabIndex = 0;
    bar->setCurrentIndex(FTabIndex);
    --FSetting;
}

void TTabControl::SetTabIndex(int Value)
{
    if (Value < -1 || Value >= FTabs->Count())
        return;
    FTabIndex = Value;
    ++FSetting;
    static_cast<QTabBar*>(Handle())->setCurrentIndex(Value);
    --FSetting;
}

bool TTabControl::TabVisible(int Index) const
{
    return Index >= 0 && Index < static_cast<int>(FVisible.size()) && FVisible[static_cast<size_t>(Index)];
}

void TTabControl::SetTabVisible(int Index, bool Value)
{
    if (Index < 0 || Index >= static_cast<int>(FVisible.size()))
        return;
    FVisible[static_cast<size_t>(Index)] = Value;
    ++FSetting;
    static_cast<QTabBar*>(Handle())->setTabVisible(Index, Value);
    static_cast<QTabBar*>(Handle())->setCurrentIndex(FTabIndex);
    --FSetting;
}

void TTabControl::WidgetTabClicked(int Index)
{
    if (Index < 0 || Index >= FTabs->Count() || Index == FTabIndex || !TabVisible(Index))
        return;
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    if (!allow)
        return;
    SetTabIndex(Index);
    if (OnChange)
        OnChange(this);
}

// ------------------------------------------------------------------ TStatusBar

void TStatusPanel::SetText(const std::string& Value)
{
    if (FText == Value)
        return;
    FText = Value;
    FOwner->Invalidate();
}

void TStatusPanel::SetWidth(int Value)
{
    FWidth = std::max(Value, 0);
    FOwner->Invalidate();
}

void TStatusPanel::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    FOwner->Invalidate();
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value)
{
    FBevel = Value;
    FOwner->Invalidate();
}

int TStatusPanel::Index() const
{
    const TStatusPanels* p = FOwner->Panels();
    for (int i = 0; i < p->Count(); ++i)
        if (p->Items(i) == this)
            return i;
    return -1;
}

TStatusPanel* TStatusPanels::Add()
{
    FItems.push_back(std::make_unique<TStatusPanel>(FOwner));
    FOwner->Invalidate();
    return FItems.back().get();
}

void TStatusPanels::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    FItems.erase(FItems.begin() + Index);
    FOwner->Invalidate();
}

void TStatusPanels::Clear()
{
    FItems.clear();
    FOwner->Invalidate();
}

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner), FPanels(std::make_unique<TStatusPanels>(this))
{
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::SetSimplePanel(bool Value)
{
    FSimplePanel = Value;
    Invalidate();
}

void TStatusBar::SetSimpleText(const std::string& Value)
{
    FSimpleText = Value;
    Invalidate();
}

TRect TStatusBar::PanelRect(int Index) const
{
    const TRect client = ClientRect();
    int left = 0;
    for (int i = 0; i < Index && i < FPanels->Count(); ++i)
        left += FPanels->Items(i)->Width();
    if (Index < 0 || Index >= FPanels->Count())
        return Rect(left, 0, left, client.Bottom);
    return Rect(left, 0, left + FPanels->Items(Index)->Width(), client.Bottom);
}

void TStatusBar::Paint()
{
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    c->SetFont(Font());
    auto panel = [c](TRect r, const std::string& Text, TAlignment Alignment, TStatusPanelBevel Bevel) {
        if (Bevel != pbNone)
            Frame3D(c, r, Bevel == pbLowered ? clBtnShadow : clBtnHighlight,
                    Bevel == pbLowered ? clBtnHighlight : clBtnShadow, 1);
        InflateRect(r, -2, 0);
        c->Brush()->SetStyle(bsClear);
        unsigned format = tfSingleLine | tfVerticalCenter;
        format |= Alignment == taCenter ? tfCenter : Alignment == taRightJustify ? tfRight : tfLeft;
        c->TextRect(r, Text, format);
        c->Brush()->SetStyle(bsSolid);
    };
    if (FSimplePanel) {
        panel(ClientRect(), FSimpleText, taLeftJustify, pbLowered);
        return;
    }
    for (int i = 0; i < FPanels->Count(); ++i) {
        const TStatusPanel* p = FPanels->Items(i);
        TRect r = PanelRect(i);
        r.Right -= 2;   // a gap between panels
        panel(r, p->Text(), p->Alignment(), p->Bevel());
    }
}

// ------------------------------------------------------------------ TToolButton

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner, NewWidget<TToolButtonWidget>(), false)
{
    auto* b = static_cast<QToolButton*>(Handle());
    b->setAutoRaise(true);
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    QObject::connect(b, &QToolButton::clicked, [this](bool) { InvokeGuarded([this] { Click(); }); });
    SetBounds(0, 0, 23, 22);
}

TToolButton::~TToolButton()
{
    SetDropdownMenu(nullptr);
}

TToolBar* TToolButton::ToolBar() const
{
    return dynamic_cast<TToolBar*>(Parent());
}

void TToolButton::SetParent(TWinControl* AParent)
{
    TGraphicControl::SetParent(AParent);
    UpdateButton();
}

void TToolButton::SetStyle(TToolButtonStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    if (Value == tbsSeparator || Value == tbsDivider)
        SetWidth(8);
    UpdateButton();
    if (TToolBar* bar = ToolBar())
        bar->ArrangeButtons();
}

void TToolButton::SetDropdownMenu(TPopupMenu* Value)
{
    if (FDropdownMenu == Value)
        return;
    FDropdownMenu = Value;
    if (FDropdownMenu)
        FreeNotification(FDropdownMenu);
    UpdateButton();
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDropdownMenu) {
        FDropdownMenu = nullptr;
        UpdateButton();
    }
}

void TToolButton::SetVisible(bool Value)
{
    if (Value == Visible())
        return;
    TGraphicControl::SetVisible(Value);
    if (TToolBar* bar = ToolBar())
        bar->ArrangeButtons();
}

void TToolButton::UpdateWidgetVisible()
{
    if (Handle())
        Handle()->setVisible(Visible() && Parent() != nullptr && !FInOverflow);
}

void TToolButton::SetInOverflow(bool Value)
{
    if (FInOverflow == Value)
        return;
    FInOverflow = Value;
    UpdateWidgetVisible();
}

void TToolButton::SetImageIndex(int Value)
{
    FImageIndex = Value;
    UpdateButton();
}

void TToolButton::SetDown(bool Value)
{
    FDown = Value;
    UpdateButton();
}

void TToolButton::TextChanged()
{
    UpdateButton();
}

void TToolButton::UpdateButton()
{
    auto* b = static_cast<QToolButton*>(Handle());
    if (!b)
        return;
    const bool separator = FStyle == tbsSeparator || FStyle == tbsDivider;
    static_cast<TToolButtonWidget*>(b)->Separator = separator;
    TToolBar* bar = ToolBar();
    b->setText(separator ? QString() : qs(StripHotkey(Caption())));
    QPixmap pm;
    if (!separator && bar && bar->Images())
        pm = ImageListPixmap(bar->Images(), FImageIndex);
    b->setIcon(QIcon(pm));
    if (!pm.isNull())
        b->setIconSize(pm.size());
    const bool captions = bar && bar->ShowCaptions();
    b->setToolButtonStyle(captions ? Qt::ToolButtonTextUnderIcon : pm.isNull() ? Qt::ToolButtonTextOnly
                                                                               : Qt::ToolButtonIconOnly);
    b->setEnabled(Enabled() && !separator);
    // A button shows its action's check mark pressed, whatever its style.
    b->setCheckable(FStyle == tbsCheck || FDown);
    b->setChecked(FDown);
    b->update();
    if (FStyle == tbsDropDown && FDropdownMenu) {
        b->setMenu(FDropdownMenu->Handle());
        b->setPopupMode(QToolButton::MenuButtonPopup);
    } else {
        b->setMenu(nullptr);
        b->setPopupMode(QToolButton::DelayedPopup);
    }
}

void TToolButton::ActionChange(TBasicAction* Sender)
{
    TGraphicControl::ActionChange(Sender);
    if (auto* a = dynamic_cast<TCustomAction*>(Sender)) {
        FImageIndex = a->ImageIndex();
        FDown = a->Checked();
    }
    UpdateButton();
}

void TToolButton::Click()
{
    if (FStyle == tbsSeparator || FStyle == tbsDivider)
        return;
    if (FStyle == tbsCheck && !Action())
        SetDown(!FDown);
    else
        UpdateButton();
    TGraphicControl::Click();
}

// ------------------------------------------------------------------ TToolBar

struct TToolBar::TData {
    // The chevron at the right end that lists the buttons that do not fit.
    QToolButton* Overflow = nullptr;
    std::unique_ptr<QMenu> OverflowMenu;
};

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner), FData(std::make_unique<TData>())
{
    FData->OverflowMenu = std::make_unique<QMenu>();
    FData->Overflow = new QToolButton(Handle());
    FData->Overflow->setObjectName("ToolBarOverflow");
    FData->Overflow->setAutoRaise(true);
    FData->Overflow->setArrowType(Qt::NoArrow);
    FData->Overflow->setText(QString::fromUtf8("\u00bb"));
    FData->Overflow->setToolTip("More buttons");
    FData->Overflow->setMenu(FData->OverflowMenu.get());
    FData->Overflow->setPopupMode(QToolButton::InstantPopup);
    FData->Overflow->setStyleSheet("QToolButton::menu-indicator { image: none; }");
    FData->Overflow->hide();
    QObject::connect(FData->OverflowMenu.get(), &QMenu::aboutToShow, [this] { InvokeGuarded([this] { FillOverflowMenu(); }); });
    SetBounds(0, 0, 150, 26);
    SetAlign(alTop);
}

TToolBar::~TToolBar()
{
    SetImages(nullptr);
    // The menu holds the drop-down menus of buttons; they go on their own.
    for (QAction* a : FData->OverflowMenu->actions())
        FData->OverflowMenu->removeAction(a);
}

bool TToolBar::OverflowShown() const
{
    return !FData->Overflow->isHidden();
}

void TToolBar::FillOverflowMenu()
{
    QMenu* m = FData->OverflowMenu.get();
    m->setFont(Handle()->font());
    for (QAction* a : m->actions()) {
        m->removeAction(a);
        if (a->parent() == m)
            delete a;
    }
    bool lastWasLine = true;
    for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* b = Buttons(i);
        if (!b->InOverflow() || !b->Visible())
            continue;
        // Action buttons update before the menu shows them, as menu items do.
        if (b->Action())
            b->Action()->Update();
        if (b->Style() == tbsSeparator || b->Style() == tbsDivider) {
            if (!lastWasLine)
                m->addSeparator();
            lastWasLine = true;
            continue;
        }
        lastWasLine = false;
        const QString text = qs(StripHotkey(b->Caption()));
        if (b->Style() == tbsDropDown && b->DropdownMenu()) {
            // The drop-down menu as a submenu: it opens as from the arrow.
            QMenu* sub = b->DropdownMenu()->Handle();
            sub->setTitle(text);
            QAction* a = m->addMenu(sub);
            a->setEnabled(b->Enabled());
            continue;
        }
        QAction* a = new QAction(text, m);
        a->setEnabled(b->Enabled());
        a->setCheckable(b->Down());
        a->setChecked(b->Down());
        if (Images()) {
            const QPixmap pm = ImageListPixmap(Images(), b->ImageIndex());
            if (!pm.isNull())
                a->setIcon(QIcon(pm));
        }
        TToolButton* target = b;
        QObject::connect(a, &QAction::triggered, [this, target] {
            InvokeGuarded([this, target] {
                for (int j = 0; j < ButtonCount(); ++j)
                    if (Buttons(j) == target)
                        target->Click();
            });
        });
        m->addAction(a);
    }
}

void TToolBar::BoundsChanged(bool SizeChanged)
{
    TWinControl::BoundsChanged(SizeChanged);
    if (SizeChanged)
        ArrangeButtons();
}

int TToolBar::ButtonCount() const
{
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (dynamic_cast<TToolButton*>(Controls(i)))
            ++n;
    return n;
}

TToolButton* TToolBar::Buttons(int Index) const
{
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* b = dynamic_cast<TToolButton*>(Controls(i)))
            if (Index-- == 0)
                return b;
    return nullptr;
}

void TToolBar::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    FImages = Value;
    if (FImages)
        FreeNotification(FImages);
    for (int i = 0; i < ButtonCount(); ++i)
        Buttons(i)->UpdateButton();
    ArrangeButtons();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) {
        FImages = nullptr;
        for (int i = 0; i < ButtonCount(); ++i)
            Buttons(i)->UpdateButton();
    }
}

void TToolBar::SetButtonWidth(int Value)
{
    FButtonWidth = Value;
    ArrangeButtons();
}

void TToolBar::SetButtonHeight(int Value)
{
    FButtonHeight = Value;
    ArrangeButtons();
}

void TToolBar::SetShowCaptions(bool Value)
{
    FShowCaptions = Value;
    for (int i = 0; i < ButtonCount(); ++i)
        Buttons(i)->UpdateButton();
    ArrangeButtons();
}

void TToolBar::ControlsChanged()
{
    ArrangeButtons();
}

void TToolBar::ArrangeButtons()
{
    if (FArranging)
        return;
    FArranging = true;
    // Buttons that would pass the right edge go to the overflow menu behind
    // a chevron, which then takes the end of the bar.
    const int chevron = 16;
    std::vector<std::pair<TToolButton*, int>> shown;
    int total = 0;
    for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* b = Buttons(i);
        if (!b->Visible())
            continue;
        int w = FButtonWidth;
        if (b->Style() == tbsSeparator || b->Style() == tbsDivider)
            w = b->Width();
        else if (b->Style() == tbsDropDown)
            w += 14;
        if (FShowCaptions && b->Style() != tbsSeparator && b->Style() != tbsDivider)
            w = std::max(w, b->Handle()->sizeHint().width());
        shown.emplace_back(b, w);
        total += w;
    }
    const int room = ClientWidth();
    const bool overflow = room > 0 && total > room;
    const int limit = overflow ? room - chevron : room;
    int x = 0;
    bool full = false;
    for (auto [b, w] : shown) {
        full = full || (overflow && x + w > limit);
        b->SetInOverflow(full);
        if (!full) {
            b->SetBounds(x, 2, w, FButtonHeight);
            x += w;
        }
    }
    FData->Overflow->setGeometry(std::max(0, room - chevron), 2, chevron, FButtonHeight);
    FData->Overflow->setVisible(overflow);
    if (overflow)
        FData->Overflow->raise();
    FArranging = false;
}
