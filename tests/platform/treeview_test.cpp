// The tree view: nodes, tree order, removal and the selection.
#include "platform/TreeView.h"

#include <gtest/gtest.h>

#include <string>

TEST(TreeView, NodesKeepTreeOrderLevelsAndIndexes)
{
    TTreeView View(nullptr);
    TTreeNodes* Items = View.Items();
    TTreeNode* A = Items->AddChild(nullptr, "A");
    TTreeNode* B = Items->AddChild(A, "B");
    Items->AddChild(B, "C");
    TTreeNode* D = Items->Add(B, "D");   // after B's last sibling
    TTreeNode* E = Items->Add(nullptr, "E");
    ASSERT_EQ(Items->Count(), 5);
    std::string Order;
    for (int I = 0; I < Items->Count(); ++I)
        Order += Items->Item(I)->Text() + std::to_string(Items->Item(I)->Level());
    EXPECT_EQ(Order, "A0B1C2D1E0");
    EXPECT_EQ(Items->Item(5), nullptr);
    EXPECT_EQ(D->Index(), 1);
    EXPECT_EQ(D->Parent(), A);
    EXPECT_EQ(E->Index(), 1);
    EXPECT_EQ(A->GetLastChild(), D);

    int Changes = 0;
    TTreeNode* Last = nullptr;
    View.OnChange = [&](TObject* Sender, TTreeNode* Node) {
        EXPECT_EQ(Sender, &View);
        ++Changes;
        Last = Node;
    };
    View.SetSelected(B);
    EXPECT_EQ(View.Selected(), B);
    EXPECT_EQ(Last, B);
    View.SetSelected(B);
    EXPECT_EQ(Changes, 1) << "the same node again changes nothing";
    // Removing the selected branch clears the selection quietly.
    Items->Delete(B);
    EXPECT_EQ(View.Selected(), nullptr);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Items->Count(), 3);
    EXPECT_EQ(Items->Item(1), D);
    Items->Clear();
    EXPECT_EQ(Items->Count(), 0);
    EXPECT_EQ(Items->GetFirstNode(), nullptr);
}
