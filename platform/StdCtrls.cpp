#include "platform/StdCtrls.h"

#include "platform/private/ControlsQt.h"
#include "platform/Forms.h"
#include "platform/Menus.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cctype>


// ------------------------------------------------------------------ TItemStrings

std::string TItemStrings::Get(int Index) const
{
    CheckIndex(Index, Count());
    return FItems[static_cast<size_t>(Index)].first;
}

void TItemStrings::Put(int Index, const std::string& Value)
{
    CheckIndex(Index, Count());
    FItems[static_cast<size_t>(Index)].first = Value;
    Notify(icPut, Index);
}

TObject* TItemStrings::GetObject(int Index) const
{
    CheckIndex(Index, Count());
    return FItems[static_cast<size_t>(Index)].second;
}

void TItemStrings::PutObject(int Index, TObject* Value)
{
    CheckIndex(Index, Count());
    FItems[static_cast<size_t>(Index)].second = Value;
}

void TItemStrings::Insert(int Index, const std::string& S)
{
    CheckIndex(Index, Count() + 1);
    FItems.insert(FItems.begin() + Index, {S, nullptr});
    Notify(icInsert, Index);
}

void TItemStrings::Delete(int Index)
{
    CheckIndex(Index, Count());
    FItems.erase(FItems.begin() + Index);
    Notify(icDelete, Index);
}

void TItemStrings::Clear()
{
    if (FItems.empty())
        return;
    FItems.clear();
    Notify(icClear, -1);
}

void TItemStrings::Notify(TChange Kind, int Index)
{
    if (!FUpdating && FChanged)
        FChanged(Kind, Index);
}

void TItemStrings::SetUpdateState(bool Updating)
{
    FUpdating = Updating;
    if (!Updating && FChanged)
        FChanged(icReset, -1);
}

// ------------------------------------------------------------------ TLabel

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner, NewWidget<TBridged<QLabel>>(), false)
{
    SetClicksOnRelease(true);
    SetBounds(0, 0, 65, 13);
    UpdateLabel();
}

void TLabel::UpdateLabel()
{
    auto* l = static_cast<QLabel*>(Handle());
    const std::string text = FShowAccelChar ? StripHotkey(Caption()) : Caption();
    l->setText(qs(text));
    Qt::Alignment a = FAlignment == taRightJustify ? Qt::AlignRight : FAlignment == taCenter ? Qt::AlignHCenter
                                                                                            : Qt::AlignLeft;
    a |= FLayout == tlCenter ? Qt::AlignVCenter : FLayout == tlBottom ? Qt::AlignBottom : Qt::AlignTop;
    l->setAlignment(a);
    l->setWordWrap(FWordWrap);
    // With the parent's colour the parent's own painting shows through.
    l->setAutoFillBackground(!FTransparent && !ParentColor());
    if (FAutoSize) {
        const QSize hint = l->sizeHint();
        int w = hint.width();
        if (FWordWrap)
            w = Width();
        SetBounds(Left(), Top(), w, FWordWrap ? l->heightForWidth(w) : hint.height());
    }
}

void TLabel::TextChanged()
{
    UpdateLabel();
}

void TLabel::FontChanged()
{
    TGraphicControl::FontChanged();
    UpdateLabel();
}

void TLabel::ColorChanged()
{
    TGraphicControl::ColorChanged();
    UpdateLabel();
}

void TLabel::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    UpdateLabel();
}

void TLabel::SetLayout(TTextLayout Value)
{
    FLayout = Value;
    UpdateLabel();
}

void TLabel::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    UpdateLabel();
}

void TLabel::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    UpdateLabel();
}

void TLabel::SetTransparent(bool Value)
{
    FTransparent = Value;
    UpdateLabel();
}

void TLabel::SetShowAccelChar(bool Value)
{
    FShowAccelChar = Value;
    UpdateLabel();
}

void TLabel::SetFocusControl(TWinControl* Value)
{
    FFocusControl = Value;
    if (FFocusControl)
        FreeNotification(FFocusControl);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

// ------------------------------------------------------------------ buttons

TButtonControl::TButtonControl(TComponent* AOwner, QWidget* AHandle) : TWinControl(AOwner, AHandle)
{
    SetTabStop(true);
}

namespace {

// A widget of control class C that lets its control draw over what the
// widget painted, through a canvas on the widget.
template <class W, class C>
class TPaintedOver : public TBridged<W> {
public:
    using TBridged<W>::TBridged;

protected:
    void paintEvent(QPaintEvent* E) override
    {
        TBridged<W>::paintEvent(E);
        auto* Owner = dynamic_cast<C*>(this->Control);
        if (Owner == nullptr)
            return;
        QPainter Painter(this);
        TQtCanvas Canvas(&Painter, this->size());
        InvokeGuarded([&] { Owner->WidgetPaintOver(&Canvas); });
        Canvas.Flush();
    }
};

} // namespace

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner, NewWidget<TPaintedOver<QPushButton, TButton>>())
{
    auto* b = static_cast<QPushButton*>(Handle());
    b->setAutoDefault(false);
    QObject::connect(b, &QAbstractButton::clicked, [this] { InvokeGuarded([this] { Click(); }); });
    SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool Value)
{
    FDefault = Value;
    static_cast<QPushButton*>(Handle())->setDefault(Value);
}

void TButton::TextChanged()
{
    static_cast<QPushButton*>(Handle())->setText(qs(Caption()));
}

void TButton::Click()
{
    if (TCustomForm* form = GetParentForm(this))
        if (FModalResult != 0)
            form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner, NewWidget<TBridged<QCheckBox>>())
{
    auto* b = static_cast<QCheckBox*>(Handle());
    QObject::connect(b, &QCheckBox::stateChanged, [this](int) {
        if (!FSetting)
            InvokeGuarded([this] { Click(); });
    });
    SetBounds(0, 0, 97, 17);
}

TCheckBoxState TCheckBox::State() const
{
    switch (static_cast<QCheckBox*>(Handle())->checkState()) {
    case Qt::Checked:
        return cbChecked;
    case Qt::PartiallyChecked:
        return cbGrayed;
    default:
        return cbUnchecked;
    }
}

void TCheckBox::SetState(TCheckBoxState Value)
{
    if (Value == State())
        return;
    auto* b = static_cast<QCheckBox*>(Handle());
    FSetting = true;
    b->setCheckState(Value == cbChecked ? Qt::Checked : Value == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    FSetting = false;
    Click();
}

void TCheckBox::SetAllowGrayed(bool Value)
{
    FAllowGrayed = Value;
    static_cast<QCheckBox*>(Handle())->setTristate(Value);
}

void TCheckBox::TextChanged()
{
    static_cast<QCheckBox*>(Handle())->setText(qs(Caption()));
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner, NewWidget<TBridged<QRadioButton>>())
{
    auto* b = static_cast<QRadioButton*>(Handle());
    // The parent decides the group, as in the class library.
    b->setAutoExclusive(false);
    QObject::connect(b, &QAbstractButton::clicked, [this](bool NowChecked) {
        if (FSetting)
            return;
        // Back to the state before the click; SetChecked decides.
        FSetting = true;
        static_cast<QRadioButton*>(Handle())->setChecked(!NowChecked);
        FSetting = false;
        // A click on a checked button changes nothing.
        if (NowChecked)
            InvokeGuarded([this] { SetChecked(true); });
    });
    SetBounds(0, 0, 113, 17);
}

bool TRadioButton::Checked() const
{
    return static_cast<QRadioButton*>(Handle())->isChecked();
}

void TRadioButton::SetChecked(bool Value)
{
    if (Value == Checked())
        return;
    FSetting = true;
    static_cast<QRadioButton*>(Handle())->setChecked(Value);
    FSetting = false;
    if (!Value)
        return;
    if (Parent())
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* r = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); r && r != this)
                r->SetChecked(false);
    Click();
}

void TRadioButton::TextChanged()
{
    static_cast<QRadioButton*>(Handle())->setText(qs(Caption()));
}

// ------------------------------------------------------------------ TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TCustomEdit(AOwner, NewWidget<TBridged<QLineEdit>>())
{
}

TCustomEdit::TCustomEdit(TComponent* AOwner, QWidget* AHandle) : TWinControl(AOwner, AHandle)
{
    Init();
}

void TCustomEdit::Init()
{
    auto* e = static_cast<QLineEdit*>(Handle());
    QObject::connect(e, &QLineEdit::textChanged, [this](const QString&) { WidgetTextChanged(false); });
    QObject::connect(e, &QLineEdit::textEdited, [this](const QString&) { FModified = true; });
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
    AdjustHeight();
}

void TCustomEdit::SetAutoSize(bool Value)
{
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    AdjustHeight();
}

void TCustomEdit::FontChanged()
{
    TWinControl::FontChanged();
    AdjustHeight();
}

void TCustomEdit::Loaded()
{
    TWinControl::Loaded();
    AdjustHeight();
}

// The line of the font and room for the sunken border. The class library
// gives its 3-D edits 8 pixels of room; the platform's default font has a
// line one pixel lower than the one that was made for, so the room is 9
// here and an edit in the default font keeps its 21 pixels. (A flat edit
// looks the same here, so Ctl3D does not count.)
void TCustomEdit::AdjustHeight()
{
    if (!FAutoSize || !Handle() || ComponentState().Contains(csLoading))
        return;
    SetHeight(QFontMetrics(Handle()->font()).height() + 9);
}

void TCustomEdit::WidgetTextChanged(bool)
{
    InvokeGuarded([this] { Change(); });
}

void TCustomEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

std::string TCustomEdit::GetTextBuf() const
{
    return static_cast<QLineEdit*>(Handle())->text().toStdString();
}

void TCustomEdit::SetTextBuf(const std::string& Value)
{
    static_cast<QLineEdit*>(Handle())->setText(qs(Value));
}

bool TCustomEdit::ReadOnly() const
{
    return static_cast<QLineEdit*>(Handle())->isReadOnly();
}

void TCustomEdit::SetReadOnly(bool Value)
{
    static_cast<QLineEdit*>(Handle())->setReadOnly(Value);
}

void TCustomEdit::SetMaxLength(int Value)
{
    FMaxLength = Value;
    static_cast<QLineEdit*>(Handle())->setMaxLength(Value > 0 ? Value : 32767);
}

void TCustomEdit::SetPasswordChar(char Value)
{
    FPasswordChar = Value;
    static_cast<QLineEdit*>(Handle())->setEchoMode(Value ? QLineEdit::Password : QLineEdit::Normal);
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value)
{
    FBorderStyle = Value;
    static_cast<QLineEdit*>(Handle())->setFrame(Value != bsNone);
}

int TCustomEdit::SelStart() const
{
    auto* e = static_cast<QLineEdit*>(Handle());
    return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
}

void TCustomEdit::SetSelStart(int Value)
{
    auto* e = static_cast<QLineEdit*>(Handle());
    e->deselect();
    e->setCursorPosition(Value);
}

int TCustomEdit::SelLength() const
{
    return static_cast<QLineEdit*>(Handle())->selectedText().size();
}

void TCustomEdit::SetSelLength(int Value)
{
    auto* e = static_cast<QLineEdit*>(Handle());
    const int start = SelStart();
    e->setSelection(start, Value);
}

std::string TCustomEdit::SelText() const
{
    return static_cast<QLineEdit*>(Handle())->selectedText().toStdString();
}

void TCustomEdit::SetSelText(const std::string& Value)
{
    static_cast<QLineEdit*>(Handle())->insert(qs(Value));
}

void TCustomEdit::SelectAll()
{
    static_cast<QLineEdit*>(Handle())->selectAll();
}

void TCustomEdit::SetTextMargins(int Left, int Top, int Right, int Bottom)
{
    static_cast<QLineEdit*>(Handle())->setTextMargins(Left, Top, Right, Bottom);
}

void TCustomEdit::DoEnter()
{
    if (FAutoSelect && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        SelectAll();
    TWinControl::DoEnter();
}

// ------------------------------------------------------------------ TMemo

namespace {

// The lines of a memo, read from and written to its document.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(QPlainTextEdit* Edit) : FEdit(Edit) {}

    int Count() const override
    {
        const QTextDocument* d = FEdit->document();
        if (d->isEmpty())
            return 0;
        int n = d->blockCount();
        // A text that ends with a line break has no extra empty line.
        if (n > 1 && d->lastBlock().text().isEmpty())
            --n;
        return n;
    }
    std::string Get(int Index) const override
    {
        CheckIndex(Index, Count());
        return FEdit->document()->findBlockByNumber(Index).text().toStdString();
    }
    void Put(int Index, const std::string& Value) override
    {
        CheckIndex(Index, Count());
        QTextCursor c(FEdit->document()->findBlockByNumber(Index));
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        c.insertText(qs(Value));
    }
    // As the class library's memo: an inserted line brings its own line
    // break, so lines added one by one leave the text ending with a break.
    void Insert(int Index, const std::string& S) override
    {
        CheckIndex(Index, Count() + 1);
        QTextDocument* d = FEdit->document();
        const bool atEnd = Index == Count();
        if (Index < d->blockCount()) {
            QTextCursor c(d->findBlockByNumber(Index));
            c.insertText(qs(S) + "\n");
        } else {
            QTextCursor c(d->lastBlock());
            c.movePosition(QTextCursor::EndOfBlock);
            c.insertText("\n" + qs(S));
        }
        if (atEnd) {
            // A log shows its newest line.
            QTextCursor end(d);
            end.movePosition(QTextCursor::End);
            FEdit->setTextCursor(end);
            FEdit->ensureCursorVisible();
        }
    }
    void Delete(int Index) override
    {
        CheckIndex(Index, Count());
        QTextDocument* d = FEdit->document();
        const QTextBlock b = d->findBlockByNumber(Index);
        QTextCursor c(b);
        if (b.next().isValid())
            c.setPosition(b.next().position(), QTextCursor::KeepAnchor);
        else
            c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    }
    void Clear() override { FEdit->clear(); }

private:
    QPlainTextEdit* FEdit;
};

}  // namespace

TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner, NewWidget<TBridged<QPlainTextEdit>>())
{
    auto* e = static_cast<QPlainTextEdit*>(Handle());
    FLines = std::make_unique<TMemoStrings>(e);
    QObject::connect(e, &QPlainTextEdit::textChanged, [this] { WidgetTextChanged(); });
    SetTabStop(true);
    SetColor(clWindow);
    SetScrollBars(ssNone);
    SetBounds(0, 0, 185, 89);
}

TMemo::~TMemo() = default;

void TMemo::WidgetTextChanged()
{
    InvokeGuarded([this] { Change(); });
}

void TMemo::Change()
{
    if (OnChange)
        OnChange(this);
}

std::string TMemo::GetTextBuf() const
{
    return static_cast<QPlainTextEdit*>(Handle())->toPlainText().toStdString();
}

void TMemo::SetTextBuf(const std::string& Value)
{
    static_cast<QPlainTextEdit*>(Handle())->setPlainText(qs(Value));
}

bool TMemo::ReadOnly() const
{
    return static_cast<QPlainTextEdit*>(Handle())->isReadOnly();
}

void TMemo::SetReadOnly(bool Value)
{
    static_cast<QPlainTextEdit*>(Handle())->setReadOnly(Value);
}

void TMemo::SetScrollBars(TScrollStyle Value)
{
    FScrollBars = Value;
    auto* e = static_cast<QPlainTextEdit*>(Handle());
    const bool h = Value == ssHorizontal || Value == ssBoth;
    const bool v = Value == ssVertical || Value == ssBoth;
    e->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    e->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    SetWordWrap(FWordWrap);
}

void TMemo::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    // A horizontal scroll bar turns wrapping off, as in the class library.
    const bool wrap = Value && FScrollBars != ssHorizontal && FScrollBars != ssBoth;
    static_cast<QPlainTextEdit*>(Handle())->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth
                                                                 : QPlainTextEdit::NoWrap);
}

void TMemo::Clear()
{
    FLines->Clear();
}

void TMemo::SelectAll()
{
    static_cast<QPlainTextEdit*>(Handle())->selectAll();
}

int TMemo::SelStart() const
{
    return static_cast<QPlainTextEdit*>(Handle())->textCursor().selectionStart();
}

void TMemo::SetSelStart(int Value)
{
    auto* e = static_cast<QPlainTextEdit*>(Handle());
    QTextCursor c = e->textCursor();
    c.setPosition(std::clamp(Value, 0, static_cast<int>(e->document()->characterCount()) - 1));
    e->setTextCursor(c);
}

int TMemo::SelLength() const
{
    const QTextCursor c = static_cast<QPlainTextEdit*>(Handle())->textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void TMemo::SetSelLength(int Value)
{
    auto* e = static_cast<QPlainTextEdit*>(Handle());
    QTextCursor c = e->textCursor();
    const int start = c.selectionStart();
    const int last = static_cast<int>(e->document()->characterCount()) - 1;
    c.setPosition(start);
    c.setPosition(std::clamp(start + Value, 0, last), QTextCursor::KeepAnchor);
    e->setTextCursor(c);
}

std::string TMemo::SelText() const
{
    // The document marks line breaks in a selection as paragraph separators.
    QString s = static_cast<QPlainTextEdit*>(Handle())->textCursor().selectedText();
    s.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return s.toStdString();
}

void TMemo::SetSelText(const std::string& Value)
{
    static_cast<QPlainTextEdit*>(Handle())->insertPlainText(qs(Value));
}

// ------------------------------------------------------------------ TComboBox

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner, NewWidget<TPaintedOver<QComboBox, TComboBox>>())
{
    auto* c = static_cast<QComboBox*>(Handle());
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    FItems = std::make_unique<TItemStrings>([this](TItemStrings::TChange K, int I) { ItemsChanged(K, I); });
    QObject::connect(c, &QComboBox::activated, [this](int) { WidgetChanged(); });
    QObject::connect(c, &QComboBox::editTextChanged, [this](const QString&) {
        if (FSetting == 0 && FStyle != csDropDownList)
            WidgetChanged();
    });
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
}

TComboBox::~TComboBox() = default;

void TComboBox::ItemsChanged(TItemStrings::TChange Kind, int Index)
{
    auto* c = static_cast<QComboBox*>(Handle());
    ++FSetting;
    const QString text = c->currentText();
    const int before = ItemIndex();
    switch (Kind) {
    case TItemStrings::icInsert:
        c->insertItem(Index, qs(FItems->Strings(Index)));
        break;
    case TItemStrings::icDelete:
        c->removeItem(Index);
        break;
    case TItemStrings::icPut:
        c->setItemText(Index, qs(FItems->Strings(Index)));
        break;
    default:
        c->clear();
        for (int i = 0; i < FItems->Count(); ++i)
            c->addItem(qs(FItems->Strings(i)));
        break;
    }
    // Changing the list selects nothing new: a selected entry that is
    // deleted leaves no selection, and an editable box keeps its text.
    if (Kind == TItemStrings::icReset || Kind == TItemStrings::icClear ||
        (Kind == TItemStrings::icInsert && before < 0) || (Kind == TItemStrings::icDelete && before == Index)) {
        c->setCurrentIndex(-1);
        if (FStyle != csDropDownList)
            c->setEditText(text);
    }
    --FSetting;
}

void TComboBox::WidgetChanged()
{
    InvokeGuarded([this] { Change(); });
}

void TComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

int TComboBox::ItemIndex() const
{
    auto* c = static_cast<QComboBox*>(Handle());
    const int i = c->currentIndex();
    if (i < 0)
        return -1;
    // An editable box whose text no longer matches has no selection.
    if (c->isEditable() && c->currentText() != c->itemText(i))
        return -1;
    return i;
}

void TComboBox::SetItemIndex(int Value)
{
    auto* c = static_cast<QComboBox*>(Handle());
    ++FSetting;
    if (Value < 0 || Value >= c->count()) {
        c->setCurrentIndex(-1);
        if (c->isEditable())
            c->setEditText("");
    } else {
        c->setCurrentIndex(Value);
    }
    --FSetting;
}

int TComboBox::DropDownButtonWidth() const
{
    auto* c = static_cast<QComboBox*>(Handle());
    QStyleOptionComboBox Option;
    Option.initFrom(c);
    Option.editable = c->isEditable();
    Option.rect = c->rect();
    return c->style()->subControlRect(QStyle::CC_ComboBox, &Option, QStyle::SC_ComboBoxArrow, c).width();
}

void TComboBox::SetStyle(TComboBoxStyle Value)
{
    FStyle = Value;
    auto* c = static_cast<QComboBox*>(Handle());
    ++FSetting;
    c->setEditable(Value != csDropDownList);
    if (c->isEditable())
        c->setInsertPolicy(QComboBox::NoInsert);
    --FSetting;
}

void TComboBox::SetDropDownCount(int Value)
{
    FDropDownCount = Value;
    static_cast<QComboBox*>(Handle())->setMaxVisibleItems(std::max(Value, 1));
}

std::string TComboBox::GetTextBuf() const
{
    return static_cast<QComboBox*>(Handle())->currentText().toStdString();
}

void TComboBox::SetTextBuf(const std::string& Value)
{
    auto* c = static_cast<QComboBox*>(Handle());
    ++FSetting;
    if (c->isEditable()) {
        const int i = c->findText(qs(Value), Qt::MatchFixedString);
        c->setCurrentIndex(i);
        c->setEditText(qs(Value));
    } else {
        // A drop-down list shows only its items.
        c->setCurrentIndex(c->findText(qs(Value), Qt::MatchFixedString));
    }
    --FSetting;
}

void TComboBox::Clear()
{
    FItems->Clear();
    SetTextBuf("");
}

// ------------------------------------------------------------------ TCustomListBox

TCustomListBox::TCustomListBox(TComponent* AOwner) : TCustomListBox(AOwner, NewWidget<TBridged<QListWidget>>())
{
}

TCustomListBox::TCustomListBox(TComponent* AOwner, QWidget* AHandle) : TWinControl(AOwner, AHandle)
{
    Init();
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::Init()
{
    auto* l = static_cast<QListWidget*>(Handle());
    FItems = std::make_unique<TItemStrings>([this](TItemStrings::TChange K, int I) { ItemsChanged(K, I); });
    QObject::connect(l, &QListWidget::itemClicked, [this](QListWidgetItem*) { InvokeGuarded([this] { Click(); }); });
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

void TCustomListBox::ItemsChanged(TItemStrings::TChange Kind, int Index)
{
    auto* l = static_cast<QListWidget*>(Handle());
    switch (Kind) {
    case TItemStrings::icInsert:
        l->insertItem(Index, qs(FItems->Strings(Index)));
        break;
    case TItemStrings::icDelete:
        delete l->takeItem(Index);
        break;
    case TItemStrings::icPut:
        l->item(Index)->setText(qs(FItems->Strings(Index)));
        break;
    default:
        l->clear();
        for (int i = 0; i < FItems->Count(); ++i)
            l->addItem(qs(FItems->Strings(i)));
        break;
    }
}

int TCustomListBox::ItemIndex() const
{
    return static_cast<QListWidget*>(Handle())->currentRow();
}

void TCustomListBox::SetItemIndex(int Value)
{
    static_cast<QListWidget*>(Handle())->setCurrentRow(Value);
}

void TCustomListBox::SetMultiSelect(bool Value)
{
    FMultiSelect = Value;
    static_cast<QListWidget*>(Handle())->setSelectionMode(Value ? QAbstractItemView::ExtendedSelection
                                                                : QAbstractItemView::SingleSelection);
}

bool TCustomListBox::Selected(int Index) const
{
    const QListWidgetItem* i = static_cast<QListWidget*>(Handle())->item(Index);
    return i && i->isSelected();
}

void TCustomListBox::SetSelected(int Index, bool Value)
{
    if (QListWidgetItem* i = static_cast<QListWidget*>(Handle())->item(Index))
        i->setSelected(Value);
}

// ------------------------------------------------------------------ TGroupBox

TGroupBox::TGroupBox(TComponent* AOwner) : TGroupBox(AOwner, NewWidget<TBridged<QGroupBox>>())
{
}

TGroupBox::TGroupBox(TComponent* AOwner, QWidget* AHandle) : TCustomControl(AOwner, AHandle, false)
{
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::AdjustClientRect(TRect& Rect) const
{
    TCustomControl::AdjustClientRect(Rect);
    // Inside the frame, below the caption.
    const QFontMetrics fm(Handle()->font());
    InflateRect(Rect, -1, -1);
    Rect.Top += fm.height();
}

void TGroupBox::TextChanged()
{
    static_cast<QGroupBox*>(Handle())->setTitle(qs(Caption()));
}

// ------------------------------------------------------------------ TScrollBar

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner, NewWidget<TBridged<QScrollBar>>(Qt::Horizontal))
{
    auto* s = static_cast<QScrollBar*>(Handle());
    QObject::connect(s, &QScrollBar::valueChanged, [this](int Value) {
        if (!FApplying)
            PositionChanged(Value);
    });
    // Qt's page step sizes the thumb too: it stands for the page size, and
    // a page move goes the large change instead.
    QObject::connect(s, &QAbstractSlider::actionTriggered, [this, s](int Action) {
        if (Action == QAbstractSlider::SliderPageStepAdd)
            s->setSliderPosition(std::min(s->maximum(), s->value() + FLargeChange));
        else if (Action == QAbstractSlider::SliderPageStepSub)
            s->setSliderPosition(std::max(s->minimum(), s->value() - FLargeChange));
    });
    SetBounds(0, 0, 121, 17);
    Apply();
}

void TScrollBar::Apply()
{
    auto* s = static_cast<QScrollBar*>(Handle());
    const QSignalBlocker Blocker(s);
    FApplying = true;
    s->setOrientation(FKind == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
    s->setRange(FMin, std::max(FMin, FMax));
    s->setSingleStep(FSmallChange);
    s->setPageStep(FPageSize);
    s->setValue(FPosition);
    FApplying = false;
}

void TScrollBar::PositionChanged(int Value)
{
    const int Clamped = std::clamp(Value, FMin, std::max(FMin, FMax));
    if (Clamped == FPosition)
        return;
    FPosition = Clamped;
    Apply();
    if (OnChange)
        InvokeGuarded([this] { OnChange(this); });
}

void TScrollBar::SetKind(TScrollBarKind Value)
{
    if (FKind == Value)
        return;
    FKind = Value;
    Apply();
}

void TScrollBar::SetMin(int Value)
{
    if (FMin == Value)
        return;
    FMin = Value;
    Apply();
    PositionChanged(FPosition);
}

void TScrollBar::SetMax(int Value)
{
    if (FMax == Value)
        return;
    FMax = Value;
    Apply();
    PositionChanged(FPosition);
}

void TScrollBar::SetPosition(int Value)
{
    PositionChanged(Value);
}

void TScrollBar::SetSmallChange(int Value)
{
    if (FSmallChange == Value)
        return;
    FSmallChange = Value;
    Apply();
}

void TScrollBar::SetLargeChange(int Value)
{
    FLargeChange = Value;
}

void TScrollBar::SetPageSize(int Value)
{
    if (FPageSize == Value)
        return;
    FPageSize = std::max(0, Value);
    Apply();
}
