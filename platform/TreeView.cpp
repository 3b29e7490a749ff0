#include "platform/TreeView.h"

#include "platform/private/ControlsQt.h"

#include <QSignalBlocker>
#include <QTreeWidget>

#include <algorithm>

namespace {

TTreeNode* NodeOf(const QTreeWidgetItem* Item)
{
    return Item ? static_cast<TTreeNode*>(Item->data(0, Qt::UserRole).value<void*>()) : nullptr;
}

int SubtreeSize(const TTreeNode* Node)
{
    int N = 1;
    for (int i = 0; i < Node->Count(); ++i)
        N += SubtreeSize(Node->Item(i));
    return N;
}

bool Contains(const TTreeNode* Root, const TTreeNode* Node)
{
    for (; Node; Node = Node->Parent())
        if (Node == Root)
            return true;
    return false;
}

}  // namespace

// ------------------------------------------------------------------ TTreeNode

TTreeNode::TTreeNode(TTreeNodes* AOwner, TTreeNode* AParent, const std::string& AText)
    : FOwner(AOwner), FParent(AParent), FText(AText)
{
}

// The Qt items are removed by TTreeNodes before the nodes go.
TTreeNode::~TTreeNode() = default;

void TTreeNode::SetText(const std::string& Value)
{
    if (Value == FText)
        return;
    FText = Value;
    if (FItem)
        FItem->setText(0, qs(Value));
}

int TTreeNode::Level() const
{
    int L = 0;
    for (const TTreeNode* P = FParent; P; P = P->FParent)
        ++L;
    return L;
}

int TTreeNode::Index() const
{
    const auto& Siblings = FParent ? FParent->FChildren : FOwner->FRoots;
    for (size_t i = 0; i < Siblings.size(); ++i)
        if (Siblings[i].get() == this)
            return static_cast<int>(i);
    return -1;
}

bool TTreeNode::Expanded() const
{
    return FItem && FItem->isExpanded();
}

void TTreeNode::SetExpanded(bool Value)
{
    if (FItem)
        FItem->setExpanded(Value);
}

// ----------------------------------------------------------------- TTreeNodes

TTreeNodes::TTreeNodes(TTreeView* AOwner) : FOwner(AOwner) {}

TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::Item(int Index) const
{
    if (Index < 0 || Index >= FCount)
        return nullptr;
    // Tree order: walk down, skipping whole subtrees before Index.
    const std::vector<std::unique_ptr<TTreeNode>>* Level = &FRoots;
    for (bool Descended = true; Descended;) {
        Descended = false;
        for (const auto& N : *Level) {
            const int Size = SubtreeSize(N.get());
            if (Index >= Size) {
                Index -= Size;
                continue;
            }
            if (Index == 0)
                return N.get();
            --Index;
            Level = &N->FChildren;
            Descended = true;
            break;
        }
    }
    return nullptr;
}

TTreeNode* TTreeNodes::Insert(TTreeNode* Parent, const std::string& S)
{
    auto Node = std::unique_ptr<TTreeNode>(new TTreeNode(this, Parent, S));
    auto* Item = new QTreeWidgetItem(QStringList(qs(S)));
    Item->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void*>(Node.get())));
    auto* Tree = static_cast<QTreeWidget*>(FOwner->Handle());
    {
        const QSignalBlocker Quiet(Tree);
        if (Parent) {
            Parent->FItem->addChild(Item);
            Parent->FItem->setExpanded(true);
        } else {
            Tree->addTopLevelItem(Item);
        }
    }
    Node->FItem = Item;
    TTreeNode* Result = Node.get();
    (Parent ? Parent->FChildren : FRoots).push_back(std::move(Node));
    ++FCount;
    return Result;
}

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const std::string& S)
{
    return Insert(Sibling ? Sibling->FParent : nullptr, S);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const std::string& S)
{
    return Insert(Parent, S);
}

void TTreeNodes::Delete(TTreeNode* Node)
{
    if (!Node || Node->FOwner != this)
        return;
    FOwner->NodeRemoving(Node);
    {
        const QSignalBlocker Quiet(FOwner->Handle());
        delete Node->FItem;   // with the items of its children
    }
    FCount -= SubtreeSize(Node);
    auto& Siblings = Node->FParent ? Node->FParent->FChildren : FRoots;
    Siblings.erase(std::find_if(Siblings.begin(), Siblings.end(), [Node](const auto& P) { return P.get() == Node; }));
}

void TTreeNodes::Clear()
{
    if (FRoots.empty())
        return;
    FOwner->NodeRemoving(nullptr);
    {
        const QSignalBlocker Quiet(FOwner->Handle());
        static_cast<QTreeWidget*>(FOwner->Handle())->clear();
    }
    FRoots.clear();
    FCount = 0;
}

void TTreeNodes::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        FOwner->Handle()->setUpdatesEnabled(false);
}

void TTreeNodes::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        FOwner->Handle()->setUpdatesEnabled(true);
}

// ------------------------------------------------------------------ TTreeView

TTreeView::TTreeView(TComponent* AOwner) : TWinControl(AOwner, NewWidget<TBridged<QTreeWidget>>())
{
    auto* Tree = static_cast<QTreeWidget*>(Handle());
    Tree->setHeaderHidden(true);
    Tree->setColumnCount(1);
    FItems = std::make_unique<TTreeNodes>(this);
    QObject::connect(Tree, &QTreeWidget::currentItemChanged,
                     [this](QTreeWidgetItem* Current, QTreeWidgetItem*) { WidgetCurrentChanged(Current); });
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

TTreeView::~TTreeView()
{
    // The widget goes after this; leave it without items that point here.
    FItems->Clear();
}

void TTreeView::SetSelected(TTreeNode* Value)
{
    if (Value == FSelected || (Value && Value->Owner() != FItems.get()))
        return;
    static_cast<QTreeWidget*>(Handle())->setCurrentItem(Value ? Value->FItem : nullptr);
}

void TTreeView::FullExpand()
{
    static_cast<QTreeWidget*>(Handle())->expandAll();
}

void TTreeView::WidgetCurrentChanged(QTreeWidgetItem* Item)
{
    TTreeNode* Node = NodeOf(Item);
    if (Node == FSelected)
        return;
    FSelected = Node;
    if (!OnChange)
        return;
    const TTVChangedEvent Handler = OnChange;   // the handler may replace OnChange or free this view
    InvokeGuarded([&] { Handler(this, Node); });
}

// Node (nullptr: every node) is about to go; the selection does not stay on it.
void TTreeView::NodeRemoving(TTreeNode* Node)
{
    if (FSelected && (!Node || Contains(Node, FSelected))) {
        const QSignalBlocker Quiet(Handle());
        static_cast<QTreeWidget*>(Handle())->setCurrentItem(nullptr);
        FSelected = nullptr;
    }
}
