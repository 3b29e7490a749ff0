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
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <functional>
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

namespace {

// A two-column grid with one heading row and three rows below it.
TStringGrid* MakeStringGrid(TForm& F)
{
    auto* G = new TStringGrid(&F);
    G->SetParent(&F);
    G->SetBounds(0, 0, 220, 61);
    G->SetColCount(2);
    G->SetColWidths(0, 50);
    G->SetColWidths(1, 150);
    G->SetDefaultRowHeight(20);
    G->SetFixedRows(1);
    G->SetRowCount(4);
    return G;
}

// The dark pixels the grid shows inside R.
int InkIn(TStringGrid* G, TRect R)
{
    const QImage Image = G->Handle()->grab().toImage();
    int Ink = 0;
    for (int Y = R.Top; Y < R.Bottom; ++Y)
        for (int X = R.Left; X < R.Right; ++X)
            Ink += Image.pixelColor(X, Y).lightness() < 100 ? 1 : 0;
    return Ink;
}

}  // namespace

TEST(StringGrid, ColumnWidthsAndTheHeadingRowPlaceTheCells)
{
    TForm F(nullptr);
    TStringGrid* G = MakeStringGrid(F);
    EXPECT_EQ(G->ColWidths(0), 50);
    EXPECT_EQ(G->ColWidths(2), G->DefaultColWidth());
    EXPECT_EQ(G->Row(), 1) << "the heading is never selected";
    EXPECT_EQ(G->VisibleRowCount(), 2);
    // The heading stays at the top while the rows below scroll.
    G->SetRow(3);
    EXPECT_EQ(G->TopRow(), 2);
    struct {
        int Col, Row;
        TRect Rect;
    } const Cells[] = {{0, 0, {0, 0, 50, 20}}, {1, 0, {50, 0, 200, 20}}, {1, 2, {50, 20, 200, 40}},
                       {1, 3, {50, 40, 200, 60}}, {0, 1, {0, 0, 0, 0}}};
    for (const auto& C : Cells) {
        const TRect R = G->CellRect(C.Col, C.Row);
        EXPECT_EQ(std::tuple(R.Left, R.Top, R.Right, R.Bottom),
                  std::tuple(C.Rect.Left, C.Rect.Top, C.Rect.Right, C.Rect.Bottom))
            << C.Col << "," << C.Row;
    }
    EXPECT_EQ(G->RowAt(5), 0);
    EXPECT_EQ(G->RowAt(25), 2);
    EXPECT_EQ(G->ColAt(60), 1);
    EXPECT_EQ(G->ColAt(210), -1);
    uint16_t Home = VK_HOME;
    G->WidgetKeyDown(Home, {});
    EXPECT_EQ(G->Row(), 1);
    EXPECT_EQ(G->TopRow(), 1);
    for (auto [Key, Col] : {std::pair{VK_RIGHT, 1}, std::pair{VK_RIGHT, 1}, std::pair{VK_LEFT, 0}}) {
        uint16_t K = Key;
        G->WidgetKeyDown(K, {});
        EXPECT_EQ(G->Col(), Col);
        EXPECT_EQ(K, 0);
    }
    // A click picks the column as well as the row; the heading refuses it.
    G->WidgetMouseDown(mbLeft, {}, 70, 25, false);
    EXPECT_EQ(std::pair(G->Col(), G->Row()), std::pair(1, 1));
    G->WidgetMouseDown(mbLeft, {}, 10, 5, false);
    EXPECT_EQ(std::pair(G->Col(), G->Row()), std::pair(1, 1));
}

TEST(StringGrid, DrawsTheTextOfItsCells)
{
    TForm F(nullptr);
    TStringGrid* G = MakeStringGrid(F);
    F.Show();
    ProcessFor(20);
    const TRect Cell = G->CellRect(1, 2);
    EXPECT_EQ(InkIn(G, Cell), 0);
    G->SetCells(1, 2, "WWWW");
    G->SetCells(0, 0, "Name");
    G->Repaint();
    ProcessFor(20);
    EXPECT_EQ(G->Cells(1, 2), "WWWW");
    EXPECT_GT(InkIn(G, Cell), 10);
    EXPECT_GT(InkIn(G, G->CellRect(0, 0)), 10);
}

TEST(StringGrid, AFinishedEditReachesTheCellAndOnSetEditText)
{
    TForm F(nullptr);
    TStringGrid* G = MakeStringGrid(F);
    F.Show();
    ProcessFor(20);
    std::vector<std::string> Edits;
    G->OnSetEditText = [&](TObject*, int Col, int Row, const std::string& Value) {
        Edits.push_back(std::to_string(Col) + "," + std::to_string(Row) + "=" + Value);
        if (Value == "refused")
            G->SetCells(Col, Row, "kept");
    };
    // Without the editing option no key opens an editor.
    uint16_t F2 = VK_F2;
    G->WidgetKeyDown(F2, {});
    EXPECT_FALSE(G->EditorMode());

    G->SetOptions({goEditing});
    G->SetCol(1);
    G->SetRow(2);
    auto Editor = [&] { return G->Handle()->findChild<QLineEdit*>(); };
    auto Press = [&](int QtKey) {
        QKeyEvent Down(QEvent::KeyPress, QtKey, Qt::NoModifier);
        QApplication::sendEvent(Editor(), &Down);
    };
    struct {
        const char* What;
        std::function<void()> Open;
        std::string Typed;
        int EndKey;
        std::string Cell;
        std::vector<std::string> Edits;
    } const Cases[] = {
        {"F2, Enter", [&] { uint16_t K = VK_F2; G->WidgetKeyDown(K, {}); }, "abc", Qt::Key_Return, "abc", {"1,2=abc"}},
        {"typed key, Esc", [&] { char C = 'x'; G->WidgetKeyPress(C); }, "", Qt::Key_Escape, "abc", {}},
        {"Enter, refused", [&] { uint16_t K = VK_RETURN; G->WidgetKeyDown(K, {}); }, "refused", Qt::Key_Return,
         "kept", {"1,2=refused"}},
    };
    for (const auto& C : Cases) {
        Edits.clear();
        C.Open();
        ASSERT_TRUE(G->EditorMode()) << C.What;
        ASSERT_NE(Editor(), nullptr);
        EXPECT_TRUE(Editor()->isVisible()) << C.What;
        if (!C.Typed.empty())
            Editor()->setText(QString::fromStdString(C.Typed));
        Press(C.EndKey);
        EXPECT_FALSE(G->EditorMode()) << C.What;
        EXPECT_EQ(G->Cells(1, 2), C.Cell) << C.What;
        EXPECT_EQ(Edits, C.Edits) << C.What;
    }
    // The typed key starts the text of the edit.
    char X = 'x';
    G->WidgetKeyPress(X);
    EXPECT_EQ(Editor()->text().toStdString(), "x");
    G->HideEditor(false);

    // The way tests type: a finished edit without the editor.
    Edits.clear();
    G->SetEditText(0, 3, "typed");
    EXPECT_EQ(G->Cells(0, 3), "typed");
    EXPECT_EQ(Edits, std::vector<std::string>{"0,3=typed"});

    int Double = 0;
    G->OnDblClick = [&](TObject*) { ++Double; };
    G->WidgetMouseDown(mbLeft, {ssDouble}, 20, 45, true);
    EXPECT_EQ(Double, 1);
    EXPECT_FALSE(G->EditorMode());
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

TEST(ScrollBox, AnExtentLengthensTheAreaAndAStepSetsHowFarTheWheelMoves)
{
    TForm F(nullptr);
    auto* Box = new TScrollBox(&F);
    Box->SetParent(&F);
    Box->SetBounds(0, 0, 200, 150);
    F.Show();
    auto* Child = new TPanel(&F);
    Child->SetParent(Box);
    Child->SetBounds(0, 0, 100, 100);
    TControlScrollBar* Bar = Box->VertScrollBar();
    EXPECT_EQ(Bar->Range(), 0);
    Bar->SetExtent(400);
    const int Page = Box->ClientRect().Height();
    EXPECT_EQ(Bar->Range(), 400 - Page) << "the area reaches the extent";
    Bar->SetIncrement(40);
    EXPECT_EQ(Bar->Increment(), 40);
    Box->WidgetMouseWheel({}, -120, {5, 5});
    EXPECT_EQ(Bar->Position(), std::min(3 * 40, Bar->Range())) << "three steps a notch";
    Bar->SetExtent(0);
    EXPECT_EQ(Bar->Range(), 0) << "as far as the children again";
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
