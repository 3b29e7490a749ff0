#include "platform/CheckLst.h"

#include "platform/private/ControlsQt.h"

#include <QListWidget>

TCheckListBox::TCheckListBox(TComponent* AOwner) : TCustomListBox(AOwner)
{
    auto* l = static_cast<QListWidget*>(Handle());
    QObject::connect(l, &QListWidget::itemChanged, [this, l](QListWidgetItem* Item) {
        if (FSetting == 0)
            WidgetCheckChanged(l->row(Item));
    });
}

void TCheckListBox::MakeCheckable(int Index)
{
    QListWidgetItem* i = static_cast<QListWidget*>(Handle())->item(Index);
    if (!i)
        return;
    i->setFlags(i->flags() | Qt::ItemIsUserCheckable);
    if (!(i->data(Qt::CheckStateRole).isValid()))
        i->setCheckState(Qt::Unchecked);
}

void TCheckListBox::ItemsChanged(TItemStrings::TChange Kind, int Index)
{
    ++FSetting;
    // Keep the checks of the lines that stay.
    std::vector<bool> checks;
    auto* l = static_cast<QListWidget*>(Handle());
    if (Kind == TItemStrings::icPut)
        checks.push_back(Checked(Index));
    TCustomListBox::ItemsChanged(Kind, Index);
    if (Kind == TItemStrings::icInsert || Kind == TItemStrings::icPut) {
        MakeCheckable(Index);
        if (!checks.empty())
            l->item(Index)->setCheckState(checks[0] ? Qt::Checked : Qt::Unchecked);
    } else if (Kind == TItemStrings::icReset || Kind == TItemStrings::icClear) {
        for (int i = 0; i < l->count(); ++i)
            MakeCheckable(i);
    }
    --FSetting;
}

bool TCheckListBox::Checked(int Index) const
{
    const QListWidgetItem* i = static_cast<QListWidget*>(Handle())->item(Index);
    return i && i->checkState() == Qt::Checked;
}

void TCheckListBox::SetChecked(int Index, bool Value)
{
    QListWidgetItem* i = static_cast<QListWidget*>(Handle())->item(Index);
    if (!i)
        return;
    ++FSetting;
    i->setCheckState(Value ? Qt::Checked : Qt::Unchecked);
    --FSetting;
}

bool TCheckListBox::ItemEnabled(int Index) const
{
    const QListWidgetItem* i = static_cast<QListWidget*>(Handle())->item(Index);
    return i && (i->flags() & Qt::ItemIsEnabled);
}

void TCheckListBox::SetItemEnabled(int Index, bool Value)
{
    QListWidgetItem* i = static_cast<QListWidget*>(Handle())->item(Index);
    if (!i)
        return;
    ++FSetting;
    i->setFlags(Value ? (i->flags() | Qt::ItemIsEnabled) : (i->flags() & ~Qt::ItemIsEnabled));
    --FSetting;
}

void TCheckListBox::WidgetCheckChanged(int Index)
{
    if (Index < 0)
        return;
    SetItemIndex(Index);
    InvokeGuarded([this] { ClickCheck(); });
}

void TCheckListBox::ClickCheck()
{
    if (OnClickCheck)
        OnClickCheck(this);
}
