// The draw grid, the scroll box, the splitter, the input box, forms that see
// keys first, and controls moved from a worker thread.
#include "platform/Application.h"
#include "platform/private/ControlsQt.h"
#include "platform/DialogHook.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Grids.h"
#include "platform/StdCtrls.h"
#include "tests/support/ProcessEvents.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

TEST(DrawGrid, ClicksKeysAndWheelMoveTheSelectionAndTheRowsInView)
{
    TForm F(nullptr);
    auto* G = new TDrawGrid(&F);
    G->SetParent(&F);
    G->SetBounds(0, 0, 120, 100);
    G->SetDefaultRowHeight(20);
    G->SetRowCount(12);
    std::vector<int> Asked;
    bool Refuse = false;
    G->OnSelectCell = [&](TObject*, int, int Row, bool& Can) {
        Asked.push_back(Row);
        Can = !Refuse;
    };
    EXPECT_EQ(G->VisibleRowCount(), 5);
    G->WidgetMouseDown(mbLeft, {}, 5, 3 * 20 + 4, false);
    EXPECT_EQ(G->Row(), 3);
    struct {
        uint16_t Key;
        int Row;
        int TopRow;
    } const Cases[] = {{VK_DOWN, 4, 0}, {VK_NEXT, 9, 5}, {VK_END, 11, 7}, {VK_UP, 10, 7}, {VK_HOME, 0, 0}};
    for (const auto& C : Cases) {
        uint16_t K = C.Key;
        G->WidgetKeyDown(K, {});
        EXPECT_EQ(G->Row(), C.Row) << C.Key;
        EXPECT_EQ(G->TopRow(), C.TopRow) << C.Key;
        EXPECT_EQ(K, 0) << "the grid keeps its keys";
    }
    Refuse = true;
    G->SetRow(6);
    EXPECT_EQ(G->Row(), 0);
    EXPECT_EQ(Asked.back(), 6);
    G->WidgetMouseWheel({}, -240, {5, 5});
    EXPECT_EQ(G->TopRow(), 2);
    G->WidgetMouseWheel({}, 1200, {5, 5});
    EXPECT_EQ(G->TopRow(), 0);
    EXPECT_EQ(G->RowAt(5 * 20 + 1), 5);
    EXPECT_EQ(G->CellRect(0, 1).Top, 20);
    // Fewer rows: the selection stays within them.
    Refuse = false;
    G->SetRow(11);
    G->SetRowCount(4);
    EXPECT_EQ(G->Row(), 3);
    EXPECT_EQ(G->TopRow(), 0);
}

TEST(DrawGrid, PaintsOnlyTheRowsInView)
{
    TForm F(nullptr);
    auto* G = new TDrawGrid(&F);
    G->SetParent(&F);
    G->SetBounds(0, 0, 120, 100);
    G->SetDefaultRowHeight(30);
    G->SetRowCount(50);
    G->SetTopRow(10);
    std::vector<int> Drawn;
    G->OnDrawCell = [&](TObject*, int, int Row, TRect, TGridDrawState) { Drawn.push_back(Row); };
    F.Show();
    G->Repaint();
    ProcessFor(20);
    ASSERT_FALSE(Drawn.empty());
    EXPECT_EQ(Drawn.front(), 10);
    EXPECT_LE(Drawn.back(), 13);
}

TEST(ScrollBox, ChildrenBeyondTheBoxBringScrollBarsAndTheWheelScrolls)
{
    TForm F(nullptr);
    auto* Box = new TScrollBox(&F);
    Box->SetParent(&F);
    Box->SetBounds(0, 0, 200, 150);
    F.Show();
    auto* Child = new TPanel(&F);
    Child->SetParent(Box);
    Child->SetBounds(0, 0, 100, 100);
    EXPECT_EQ(Box->VertScrollBar()->Range(), 0);
    Child->SetBounds(0, 0, 400, 600);
    EXPECT_GT(Box->VertScrollBar()->Range(), 400);
    EXPECT_GT(Box->HorzScrollBar()->Range(), 200);
    EXPECT_TRUE(Box->WidgetMouseWheel({}, -120, {5, 5}));
    EXPECT_GT(Box->VertScrollBar()->Position(), 0);
    Box->VertScrollBar()->SetPosition(0);
    Box->WidgetMouseWheel(TShiftState{ssShift}, -120, {5, 5});
    EXPECT_GT(Box->HorzScrollBar()->Position(), 0);
    EXPECT_EQ(Box->VertScrollBar()->Position(), 0);
}

TEST(Splitter, DraggingResizesTheControlBeforeIt)
{
    TForm F(nullptr);
    F.SetBounds(0, 0, 400, 300);
    auto* Left = new TPanel(&F);
    Left->SetAlign(alLeft);
    Left->SetWidth(100);
    Left->SetParent(&F);
    auto* S = new TSplitter(&F);
    S->SetAlign(alLeft);
    S->SetLeft(100);
    S->SetParent(&F);
    ASSERT_EQ(S->FindControl(), Left);
    int Moved = 0;
    S->OnMoved = [&](TObject*) { ++Moved; };
    S->WidgetMouseDown(mbLeft, {}, 1, 50, false);
    S->WidgetMouseMove(TShiftState{ssLeft}, 31, 50);
    S->WidgetMouseUp(mbLeft, {}, 31, 50);
    EXPECT_EQ(Left->Width(), 130);
    EXPECT_EQ(Moved, 1);
    S->WidgetMouseDown(mbLeft, {}, 1, 50, false);
    S->WidgetMouseMove(TShiftState{ssLeft}, -500, 50);
    EXPECT_EQ(Left->Width(), S->MinSize());
}

TEST(InputBox, TheHookAnswersWithTextOrCancel)
{
    std::vector<TDialogRequest> Asked;
    int Result = mrOk;
    SetDialogAnswerer([&](const TDialogRequest& R, TDialogAnswer& A) {
        Asked.push_back(R);
        A.ModalResult = Result;
        A.Text = "42";
        return true;
    });
    std::string V = "7";
    EXPECT_TRUE(InputQuery("Pick", "Value:", V));
    EXPECT_EQ(V, "42");
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_EQ(Asked[0].Kind, TDialogKind::InputBox);
    EXPECT_EQ(Asked[0].Caption, "Pick");
    EXPECT_EQ(Asked[0].Name, "Value:");
    EXPECT_EQ(Asked[0].Text, "7");
    Result = mrCancel;
    EXPECT_FALSE(InputQuery("Pick", "Value:", V));
    EXPECT_EQ(V, "42");
    EXPECT_EQ(InputBox("Pick", "Value:", "def"), "def");
    SetDialogAnswerer(nullptr);
}

TEST(KeyPreview, TheFormSeesAKeyOnceAndFirst)
{
    TForm F(nullptr);
    F.SetKeyPreview(true);
    auto* E = new TEdit(&F);
    E->SetParent(&F);
    std::vector<std::string> Seen;
    bool Swallow = false;
    F.OnKeyDown = [&](TObject*, uint16_t& Key, TShiftState) {
        Seen.push_back("form");
        if (Swallow)
            Key = 0;
    };
    E->OnKeyDown = [&](TObject*, uint16_t&, TShiftState) { Seen.push_back("edit"); };
    F.Show();
    QKeyEvent Press(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
    QApplication::sendEvent(E->Handle(), &Press);
    EXPECT_EQ(Seen, (std::vector<std::string>{"form", "edit"}));
    Seen.clear();
    Swallow = true;
    QKeyEvent Again(QEvent::KeyPress, Qt::Key_F6, Qt::NoModifier);
    QApplication::sendEvent(E->Handle(), &Again);
    EXPECT_EQ(Seen, (std::vector<std::string>{"form"}));
    // Without KeyPreview the form does not come first.
    Seen.clear();
    Swallow = false;
    F.SetKeyPreview(false);
    uint16_t K = VK_F7;
    E->WidgetKeyDown(K, {});
    EXPECT_EQ(Seen, (std::vector<std::string>{"edit"}));
}

TEST(WorkerThread, BoundsReachTheWidgetOnTheGuiThreadAndProcessMessagesReturns)
{
    TForm F(nullptr);
    auto* P = new TPanel(&F);
    P->SetParent(&F);
    P->SetBounds(0, 0, 50, 50);
    std::atomic<bool> Done{false};
    std::atomic<bool> OnGui{true};
    std::thread Worker([&] {
        OnGui = IsMainThread();
        P->SetBounds(10, 20, 70, 80);
        P->Invalidate();
        Application->ProcessMessages();   // returns at once on a worker
        Done = true;
    });
    Worker.join();
    EXPECT_TRUE(Done);
    EXPECT_FALSE(OnGui);
    EXPECT_EQ(P->Width(), 70);
    EXPECT_EQ(P->Handle()->geometry(), QRect(0, 0, 50, 50)) << "not yet: the GUI thread has not run";
    ProcessFor(10);
    EXPECT_EQ(P->Handle()->geometry(), QRect(10, 20, 70, 80));
}
