// A tree view: nodes with a text and a data pointer, top-level nodes and
// children in the order they were added. Items() lists every node in tree
// order (a node, then its children, then its next sibling), as the class
// library's tree view does.
#pragma once

#include "platform/Controls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QTreeWidgetItem;
class TTreeNodes;
class TTreeView;

class TTreeNode {
public:
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;
    ~TTreeNode();

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    // Not owned: whatever the program hangs on the node.
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }

    TTreeNode* Parent() const { return FParent; }
    // 0 for a top-level node.
    int Level() const;
    int Count() const { return static_cast<int>(FChildren.size()); }
    TTreeNode* Item(int Index) const { return FChildren.at(static_cast<size_t>(Index)).get(); }
    TTreeNode* GetFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front().get(); }
    TTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back().get(); }
    // Position among its siblings.
    int Index() const;
    bool Expanded() const;
    void SetExpanded(bool Value);
    TTreeNodes* Owner() const { return FOwner; }

private:
    friend class TTreeNodes;
    friend class TTreeView;
    TTreeNode(TTreeNodes* AOwner, TTreeNode* AParent, const std::string& AText);

    TTreeNodes* FOwner;
    TTreeNode* FParent;
    std::string FText;
    void* FData = nullptr;
    std::vector<std::unique_ptr<TTreeNode>> FChildren;
    QTreeWidgetItem* FItem = nullptr;
};

// The nodes of one tree view.
class TTreeNodes {
public:
    explicit TTreeNodes(TTreeView* AOwner);
    ~TTreeNodes();
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    // Every node.
    int Count() const { return FCount; }
    // Node Index in tree order; nullptr outside 0..Count-1.
    TTreeNode* Item(int Index) const;
    TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front().get(); }
    int TopCount() const { return static_cast<int>(FRoots.size()); }
    TTreeNode* Top(int Index) const { return FRoots.at(static_cast<size_t>(Index)).get(); }

    // A new node after the last sibling of Sibling (top level when Sibling
    // is nullptr).
    TTreeNode* Add(TTreeNode* Sibling, const std::string& S);
    // A new last child of Parent (top level when Parent is nullptr).
    TTreeNode* AddChild(TTreeNode* Parent, const std::string& S);
    // Removes Node with its children.
    void Delete(TTreeNode* Node);
    void Clear();

    // The view repaints once at the last EndUpdate.
    void BeginUpdate();
    void EndUpdate();

    TTreeView* Owner() const { return FOwner; }

private:
    friend class TTreeNode;
    TTreeNode* Insert(TTreeNode* Parent, const std::string& S);

    TTreeView* FOwner;
    std::vector<std::unique_ptr<TTreeNode>> FRoots;
    int FCount = 0;
    int FUpdateCount = 0;
};

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;

class TTreeView : public TWinControl {
public:
    explicit TTreeView(TComponent* AOwner);
    ~TTreeView() override;

    TTreeNodes* Items() const { return FItems.get(); }
    // The selected node, nullptr when none.
    TTreeNode* Selected() const { return FSelected; }
    void SetSelected(TTreeNode* Value);
    void FullExpand();

    // The selection moved (by the user or by code) to Node (nullptr: none).
    TTVChangedEvent OnChange;

    // The Qt side: the current item changed.
    void WidgetCurrentChanged(QTreeWidgetItem* Item);

private:
    friend class TTreeNodes;
    friend class TTreeNode;
    void NodeRemoving(TTreeNode* Node);

    std::unique_ptr<TTreeNodes> FItems;
    TTreeNode* FSelected = nullptr;
};
