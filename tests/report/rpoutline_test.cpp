// The report outline and its tree view, following links, and the export
// filter base with the save dialog's filter.
#include "platform/Forms.h"
#include "platform/Streams.h"
#include "platform/TreeView.h"
#include "report/RpExportFilter.h"
#include "report/RpHyperlink.h"
#include "report/RpOutline.h"
#include "report/RpPageList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// "A(B(C),D),E" for the nodes of Tree.
std::string Shape(const TTreeNode* Node)
{
    std::string S = Node->Text();
    if (Node->Count() > 0) {
        S += "(";
        for (int I = 0; I < Node->Count(); ++I)
            S += (I ? "," : "") + Shape(Node->Item(I));
        S += ")";
    }
    return S;
}

std::string Shape(const TTreeNodes* Tree)
{
    std::string S;
    for (int I = 0; I < Tree->TopCount(); ++I)
        S += (I ? "," : "") + Shape(Tree->Top(I));
    return S;
}

// Entries named A, B, C... with the given levels.
void Fill(TRpOutline& O, const std::vector<int>& Levels)
{
    for (size_t I = 0; I < Levels.size(); ++I)
        O.AddNode(std::string(1, static_cast<char>('A' + I)), Levels[I], Rect(0, 0, 10, 10), static_cast<int>(I) + 1);
}

class RpOutlineTree : public ::testing::Test {
protected:
    std::unique_ptr<TTreeView> View = std::make_unique<TTreeView>(nullptr);
};

}  // namespace

TEST_F(RpOutlineTree, LevelsBuildTheTreeWhetherBoundBeforeOrAfter)
{
    struct Case {
        std::vector<int> Levels;
        const char* Tree;
    };
    const Case Cases[] = {
        {{0, 1, 2, 1, 0}, "A(B(C),D),E"},
        {{0, 1, 1, 0, 1}, "A(B,C),D(E)"},
        // A level that skips one hangs under the nearest shallower entry,
        // never under an entry of another branch.
        {{0, 2, 2}, "A(B,C)"},
        {{0, 1, 0, 2}, "A(B),C(D)"},
        {{1, 0, 1}, "A,B(C)"},
        // Levels outside 0..31 are taken as 0 and 31.
        {{-3, 0, 40, 31}, "A,B(C,D)"},
    };
    for (const Case& C : Cases) {
        TRpOutline Later;
        Fill(Later, C.Levels);
        Later.SetTreeNodes(View->Items());
        EXPECT_EQ(Shape(View->Items()), C.Tree);
        Later.SetTreeNodes(nullptr);

        View->Items()->Clear();
        TRpOutline Bound;
        Bound.SetTreeNodes(View->Items());
        Fill(Bound, C.Levels);
        EXPECT_EQ(Shape(View->Items()), C.Tree) << "added one by one";
        Bound.SetTreeNodes(nullptr);
        View->Items()->Clear();
    }
}

TEST_F(RpOutlineTree, ASelectedNodeTellsItsPageAndArea)
{
    TRpPageList List;
    List.AddOutline(0, "Summary", Rect(1, 2, 3, 4), 1);
    List.AddOutline(1, "Signals", Rect(5, 6, 7, 8), 3);
    List.Outline()->SetTreeNodes(View->Items());
    TTreeNode* Chosen = nullptr;
    View->OnChange = [&](TObject*, TTreeNode* Node) { Chosen = Node; };
    View->SetSelected(View->Items()->Item(1));
    ASSERT_NE(Chosen, nullptr);
    EXPECT_EQ(Chosen->Text(), "Signals");
    TRect Area;
    int Page = -1;
    EXPECT_TRUE(List.Outline()->FindPosition(Chosen, Area, Page));
    EXPECT_EQ(Page, 3);
    EXPECT_EQ(Area, Rect(5, 6, 7, 8));
    TTreeView Other(nullptr);
    TTreeNode* Stranger = Other.Items()->AddChild(nullptr, "x");
    EXPECT_FALSE(List.Outline()->FindPosition(Stranger, Area, Page));
    EXPECT_EQ(Page, 0);
    EXPECT_EQ(Area, TRect());
    // Clearing drops the selection without calling back into freed nodes.
    List.Outline()->Clear();
    EXPECT_EQ(View->Selected(), nullptr);
    EXPECT_EQ(View->Items()->Count(), 0);
    List.Outline()->SetTreeNodes(nullptr);
}

TEST_F(RpOutlineTree, TitlesAreCutTo50BytesAtACharacterBoundary)
{
    TRpOutline O;
    O.AddNode(std::string(55, 'x'), 0, TRect(), 1);
    O.AddNode(std::string(49, 'y') + "\xC3\xA9" "z", 0, TRect(), 1);   // e-acute across byte 50
    O.AddNode(std::string(48, 'w') + "\xC3\xA9", 0, TRect(), 1);        // ends exactly at 50
    EXPECT_EQ(O.Nodes(0).Title, std::string(50, 'x'));
    EXPECT_EQ(O.Nodes(1).Title, std::string(49, 'y'));
    EXPECT_EQ(O.Nodes(2).Title, std::string(48, 'w') + "\xC3\xA9");
}

TEST_F(RpOutlineTree, TheStreamFormRebuildsTheSameTree)
{
    TRpOutline O;
    Fill(O, {0, 1, 2, 1, 0});
    TMemoryStream S;
    O.SaveToStream(&S);
    ASSERT_EQ(S.Size(), 4 + 80 * 5);
    EXPECT_EQ(S.Memory()[4], 1);   // title length
    EXPECT_EQ(S.Memory()[5], 'A');
    EXPECT_EQ(S.Memory()[4 + 80 + 52], 1);   // level of B
    EXPECT_EQ(S.Memory()[4 + 80 * 2 + 72], 3);   // page of C

    TRpOutline Back;
    Back.SetTreeNodes(View->Items());
    Fill(Back, {0, 0});
    S.SetPosition(0);
    Back.LoadFromStream(&S);
    EXPECT_EQ(Shape(View->Items()), "A(B(C),D),E");
    ASSERT_EQ(Back.Count(), 5);
    EXPECT_EQ(Back.Nodes(3).Page, 4);
    EXPECT_EQ(Back.Nodes(3).Area, Rect(0, 0, 10, 10));

    // A count the stream cannot hold changes nothing.
    TMemoryStream Short;
    Short.WriteInt32(3);
    Short.WriteBuffer(S.Memory() + 4, 80);
    Short.SetPosition(0);
    EXPECT_THROW(Back.LoadFromStream(&Short), ERpError);
    EXPECT_EQ(Back.Count(), 5);
    EXPECT_EQ(Shape(View->Items()), "A(B(C),D),E");
    Back.SetTreeNodes(nullptr);
}

TEST(RpHyperlink, LinksGoToTheDesktopOrToTheirSource)
{
    std::vector<std::string> Opened;
    const TShellOpenHook Old = SetShellOpenHook([&](const std::string& F) {
        Opened.push_back(F);
        return true;
    });
    std::vector<std::string> Help, Any;
    RegisterHyperlinkSource("help:", [&](TObject*, const std::string& P) { Help.push_back(P); });
    RegisterHyperlinkSource("", [&](TObject*, const std::string& P) { Any.push_back("any:" + P); });
    RegisterHyperlinkSource("help:", [&](TObject*, const std::string& P) { Help.push_back("second " + P); });

    struct Case {
        const char* Link;
        std::vector<std::string> Shell, Help, Any;
    };
    const Case Cases[] = {
        {"ext:https://example.org/a", {"https://example.org/a"}, {}, {}},
        {"EXT:report.pdf", {"report.pdf"}, {}, {}},
        {"eXt:", {""}, {}, {}},
        {"help:topic", {}, {"topic"}, {}},
        {"INT:help:index", {}, {"index"}, {}},
        {"int:elsewhere", {}, {}, {"any:elsewhere"}},
        {"Help:topic", {}, {}, {"any:Help:topic"}},   // names are case-sensitive
    };
    for (const Case& C : Cases) {
        Opened.clear();
        Help.clear();
        Any.clear();
        PerformHyperlink(nullptr, C.Link);
        EXPECT_EQ(Opened, C.Shell) << C.Link;
        EXPECT_EQ(Help, C.Help) << C.Link;
        EXPECT_EQ(Any, C.Any) << C.Link;
    }

    // Without the catch-all source, a link no source takes goes to the desktop;
    // an internal one goes nowhere.
    UnregisterHyperlinkSource("");
    Opened.clear();
    PerformHyperlink(nullptr, "mailto:lab@example.org");
    PerformHyperlink(nullptr, "INT:nothing");
    EXPECT_EQ(Opened, std::vector<std::string>{"mailto:lab@example.org"});
    UnregisterHyperlinkSource("help:");
    Help.clear();
    PerformHyperlink(nullptr, "help:x");
    EXPECT_EQ(Help, std::vector<std::string>{"second x"});
    UnregisterHyperlinkSource("help:");
    EXPECT_TRUE(RpHyperlinkSources().empty());
    SetShellOpenHook(Old);
}

namespace {

class TTextFilter : public TRpExportFilter {
public:
    using TRpExportFilter::TRpExportFilter;
    std::string GetFilterName() override { return "Plain text"; }
    std::string GetExtension() override { return "TXT"; }
};

}  // namespace

TEST(RpExportFilter, TheSaveDialogOffersTheReportFileThenEachFilterOnce)
{
    TRpExportFilterLibrary& Library = RpExportFilterLibrary();
    EXPECT_EQ(Library.GetSaveDialogFilter(), "Report file(*.RPF)|*.RPF");
    const auto Text = TRpExportFilterClass::Of<TTextFilter>("TTextFilter");
    Library.AddFilter(Text);
    Library.AddFilter(Text);
    EXPECT_EQ(Library.GetSaveDialogFilter(), "Report file(*.RPF)|*.RPF|Plain text (*.TXT)|*.TXT");
    ASSERT_EQ(Library.Count(), 1);
    EXPECT_EQ(Library.Entries(0).Name, "Plain text");
    const std::unique_ptr<TRpExportFilter> Made = Library.Entries(0).ExportFilterClass.Create("out.txt");
    EXPECT_EQ(Made->FileName(), "out.txt");
    Library.RemoveFilter(Text);
    EXPECT_EQ(Library.Count(), 0);
}

TEST(RpExportFilter, TheBaseNamesItselfAndIsActiveFromStartToFinish)
{
    TRpExportFilter F("x.out");
    EXPECT_EQ(F.GetFilterName(), "Abstract filter");
    EXPECT_EQ(F.GetDescription(), "Abstract non-working export filter");
    EXPECT_EQ(F.GetExtension(), "");
    EXPECT_FALSE(F.GetVendorName().empty());
    EXPECT_FALSE(F.GetStreaming());
    EXPECT_FALSE(F.Active());
    TFont Font;
    F.Start(2100, 2970, &Font);
    EXPECT_TRUE(F.Active());
    F.NewPage();
    F.TextOut(10, 20, &Font, clWhite, taLeftJustify, "x");
    F.EndPage();
    F.Finish();
    EXPECT_FALSE(F.Active());
}
