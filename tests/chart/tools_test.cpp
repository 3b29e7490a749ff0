// Chart tools: joining and leaving charts, the events the chart passes on,
// tools bound to a series or an axis, and the editor picture of an element.
#include "chart/ChEngine.h"
#include "platform/Application.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

class TToolChart : public TCustomAxisPanel {
public:
    TToolChart() : TCustomAxisPanel(nullptr) { Invalidations = 0; }
    void Invalidate() override
    {
        ++Invalidations;
        TCustomAxisPanel::Invalidate();
    }
    int Invalidations = 0;
};

class TRecordingTool : public TChCustomTool {
public:
    TRecordingTool() : TChCustomTool(nullptr) {}
    void ChartEvent(TChartToolEvent Event) override { Events.push_back(Event); }
    std::vector<TChartToolEvent> Events;
};

}  // namespace

TEST(Tools, JoiningLeavingAndMovingBetweenCharts)
{
    TToolChart A;
    TToolChart B;
    auto* Tool = new TRecordingTool;
    EXPECT_EQ(A.Tools().Add(Tool), Tool);
    EXPECT_EQ(Tool->ParentChart(), &A);
    A.Tools().Add(Tool);
    EXPECT_EQ(A.Tools().Count(), 1);

    B.Tools().Add(Tool);
    EXPECT_EQ(A.Tools().Count(), 0);
    EXPECT_EQ(B.Tools().Count(), 1);

    B.Invalidations = 0;
    Tool->SetParentChart(nullptr);
    EXPECT_GE(B.Invalidations, 1);
    EXPECT_EQ(B.Tools().Count(), 0);

    A.Tools().Add(Tool);
    auto* Second = new TRecordingTool;
    A.Tools().Add(Second);
    delete Tool;
    EXPECT_EQ(A.Tools().Count(), 1);
    EXPECT_EQ(A.Tools()[0], Second);
}

TEST(Tools, OnlyActiveToolsHearTheChart)
{
    TToolChart Chart;
    auto* On = new TRecordingTool;
    auto* Off = new TRecordingTool;
    Chart.Tools().Add(On);
    Chart.Tools().Add(Off);
    Off->SetActive(false);
    Chart.BroadcastToolEvent(cteBeforeDraw);
    Chart.BroadcastToolEvent(cteAfterDraw);
    EXPECT_EQ(On->Events, (std::vector<TChartToolEvent>{cteBeforeDraw, cteAfterDraw}));
    EXPECT_TRUE(Off->Events.empty());
    Chart.Tools().SetActive(true);
    EXPECT_TRUE(Off->Active());
    EXPECT_EQ(On->Description(), "");
    EXPECT_EQ(On->GetEditorClass(), "");
}

TEST(Tools, SeriesToolForgetsADestroyedSeries)
{
    TToolChart Chart;
    auto* S = new TChartSeries(nullptr);
    Chart.AddSeries(S);
    S->SetHorizAxis(aTopAxis);
    auto* Tool = new TChCustomToolSeries(nullptr);
    Chart.Tools().Add(Tool);
    Tool->SetSeries(S);
    EXPECT_EQ(Tool->GetHorizAxis(), Chart.TopAxis());
    EXPECT_EQ(Tool->GetEditorClass(), "TSeriesToolEditor");
    delete S;
    EXPECT_EQ(Tool->Series(), nullptr);
    EXPECT_EQ(Tool->GetHorizAxis(), Chart.BottomAxis());
    EXPECT_EQ(Tool->GetVertAxis(), Chart.LeftAxis());
}

TEST(Tools, AxisToolFollowsItsAxisChart)
{
    TToolChart Chart;
    auto* Tool = new TChCustomToolAxis(nullptr);
    EXPECT_FALSE(Tool->IsAxisIDStored());
    Tool->SetAxis(Chart.RightAxis());
    EXPECT_EQ(Tool->ParentChart(), &Chart);
    EXPECT_EQ(Chart.Tools().Count(), 1);
    EXPECT_TRUE(Tool->IsAxisIDStored());
    EXPECT_EQ(Tool->AxisID(), 3);
    Tool->ReadAxisID(0);
    EXPECT_EQ(Tool->Axis(), Chart.BottomAxis());
    EXPECT_EQ(Tool->GetEditorClass(), "TAxisToolEditor");
    Tool->SetAxis(nullptr);
    EXPECT_EQ(Tool->ParentChart(), nullptr);
    EXPECT_EQ(Chart.Tools().Count(), 0);
    delete Tool;
}

TEST(Tools, DesignerIsToldWhenASeriesChanges)
{
    class TCountingDesigner : public TChCustomDesigner {
    public:
        explicit TCountingDesigner(int& ACount) : Count(ACount) {}
        void Repaint() override { ++Count; }
        int& Count;
    };
    int Repaints = 0;
    TToolChart Chart;
    Chart.SetDesignerHook(std::make_unique<TCountingDesigner>(Repaints));
    auto* S = new TChartSeries(nullptr);
    Chart.AddSeries(S);
    const int AfterJoin = Repaints;
    S->SetTitle("x");
    S->SetActive(false);
    S->SetSeriesColor(static_cast<TColor>(0x123456));
    EXPECT_EQ(Repaints - AfterJoin, 3);
}

// An element's editor picture (the resource named after its class, else its
// parent class) drawn with its top-left where asked; none draws nothing.
TEST(Tools, EditorPictureOfAnElementDrawnAtItsPlace)
{
    EnsureApplication();
    TBitmap Picture(3, 3);
    Picture.Canvas()->Brush()->SetColor(clRed);
    Picture.Canvas()->FillRect({0, 0, 3, 3});
    const std::string File = std::string(OZ_TEST_ARTIFACTS) + "/tools_editor_picture.bmp";
    Picture.SaveToFile(File);
    std::ifstream In(File, std::ios::binary);
    std::stringstream Bytes;
    Bytes << In.rdbuf();
    RegisterBitmapResource("TChCustomTool", Bytes.str());

    TChCustomToolAxis Tool(nullptr);
    TChartSeries Plain(nullptr);
    TBitmap Page(20, 20);
    ChDrawBitmapEditor(Page.Canvas(), &Tool, 5, 7);
    ChDrawBitmapEditor(Page.Canvas(), &Plain, 12, 12);
    const auto At = [&](int X, int Y) { return Page.Canvas()->Pixels(X, Y); };
    EXPECT_EQ(At(5, 7), clRed);
    EXPECT_EQ(At(7, 9), clRed);
    EXPECT_EQ(At(8, 7), clWhite);
    EXPECT_EQ(At(4, 7), clWhite);
    EXPECT_EQ(At(13, 13), clWhite) << "no picture for a plain series";
}
