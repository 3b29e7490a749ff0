// A program that reads saved report forms and never names a series kind
// nor registers the chart classes itself (as the program and the report
// library do not): the chart library registered them when it started, and a
// chart made on a designed report form travels with the saved form, its
// series included.
#include "chart/RpChart.h"
#include "platform/DialogHook.h"
#include "platform/Filer.h"
#include "report/RpExtra.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::string TempFile(const std::string& Name)
{
    return (std::filesystem::temp_directory_path() / ("chartstartup_" + std::to_string(::getpid()) + "_" + Name))
        .string();
}

std::string ReadText(const std::string& FileName)
{
    std::ifstream In(FileName, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
}

// A series of the kind named, made through the class registry only.
TChartSeries* NewSeries(const char* ClassName, TComponent* Owner, TCustomAxisPanel* Chart)
{
    const TClass Kind = GetClass(ClassName);
    if (Kind == nullptr || !Kind->CanCreate())
        return nullptr;
    auto* S = dynamic_cast<TChartSeries*>(Kind->Create(Owner));
    S->SetParentChart(Chart);
    return S;
}

class ChartStartUp : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        ClearAnsweredDialogs();
        FOld = SetDialogAnswerer([](const TDialogRequest&, TDialogAnswer& A) {
            A.ModalResult = 1;
            return true;
        });
    }
    void TearDown() override
    {
        SetDialogAnswerer(FOld);
        for (const std::string& F : FFiles)
            std::remove(F.c_str());
    }
    std::string File(const std::string& Name)
    {
        FFiles.push_back(TempFile(Name));
        return FFiles.back();
    }

private:
    TDialogAnswerer FOld;
    std::vector<std::string> FFiles;
};

}  // namespace

TEST_F(ChartStartUp, LibraryClassesAreInTheRegistryBeforeAnyCall)
{
    for (const char* Name :
         {"TChartAxisTitle", "TChartAxis", "TChartDepthAxis", "TSeriesMarks", "TChart", "TDBChart", "TRpChart",
          "TRpDBChart", "TChartSeries", "TFastLineSeries", "TLineSeries", "THorizLineSeries", "TPointSeries",
          "TAreaSeries", "THorizAreaSeries", "TBarSeries", "THorizBarSeries", "TPieSeries", "TChFunction",
          "TChMovingFunction", "TChCustomTool", "TChCustomToolSeries", "TChCustomToolAxis"})
        EXPECT_NE(GetClass(Name), nullptr) << Name;
    TRpDBChart Chart(nullptr);
    EXPECT_EQ(Chart.DepthAxis()->ClassName(), "TChartDepthAxis");
    EXPECT_EQ(Chart.DepthTopAxis()->ClassName(), "TChartDepthAxis");
    EXPECT_EQ(Chart.LeftAxis()->ClassName(), "TChartAxis");
}

// On a designed form a report chart brings its own chart; its series (owned
// by the form, as a designer makes them) are stored inside it, and the form
// reads back, through the report library's loader, with chart and series.
TEST_F(ChartStartUp, DesignedReportChartAndItsSeriesComeBackFromTheSavedForm)
{
    auto Form = std::make_unique<TRpReportForm>(nullptr);
    Form->SetName("ReportForm");
    Form->SetDesigning(true);
    auto* R = new TRpReport(Form.get());
    R->SetName("Report1");
    R->SetParent(Form.get());
    R->Bands()->SetHasTitle(true);
    TRpChart* C = R->Bands()->GetBand(1)->AddPrintable<TRpChart>();
    C->SetName("RpChart1");
    TRpDBChart* Inner = C->GetChart();
    ASSERT_NE(Inner, nullptr);
    EXPECT_EQ(Inner->Owner(), Form.get());
    EXPECT_EQ(Inner->Name(), "RpDBChart1");
    EXPECT_EQ(Inner->Title()->Text()->Text(), "TRpChart\n");
    TChartSeries* Flow = NewSeries("TLineSeries", Form.get(), Inner);
    TChartSeries* Counts = NewSeries("TBarSeries", Form.get(), Inner);
    ASSERT_TRUE(Flow != nullptr && Counts != nullptr);
    Flow->SetName("Flow");
    Flow->SetTitle("Flow");
    Counts->SetName("Counts");
    // Points typed in at design time are stored with the series.
    Flow->ManualData = Counts->ManualData = true;
    for (int i = 0; i < 5; ++i) {
        Flow->AddXY(i, i * i);
        Counts->Add(10 - i, "c" + std::to_string(i));
    }
    // A chart made on a form that is not designed stays the caller's to make.
    EXPECT_EQ(TRpChart(nullptr).GetChart(), nullptr);
    Form->SetDesigning(false);

    const std::string Saved = File("designed.rpf");
    WriteComponentFile(Saved, Form.get());
    TRpReport* Loaded = RpLoadReport(Saved);
    ASSERT_NE(Loaded, nullptr);
    EXPECT_TRUE(AnsweredDialogs().empty());
    auto* Back = dynamic_cast<TRpChart*>(Loaded->Owner()->FindComponent("RpChart1"));
    ASSERT_NE(Back, nullptr);
    TRpDBChart* BackChart = Back->GetChart();
    ASSERT_NE(BackChart, nullptr);
    EXPECT_EQ(Back->ControlCount(), 1);
    EXPECT_EQ(BackChart->Name(), "RpDBChart1");
    EXPECT_EQ(BackChart->Owner(), Loaded->Owner());
    ASSERT_EQ(BackChart->SeriesCount(), 2);
    TChartSeries* BackFlow = BackChart->Series(0);
    TChartSeries* BackCounts = BackChart->Series(1);
    EXPECT_EQ(BackFlow->ClassName(), "TLineSeries");
    EXPECT_EQ(BackFlow->Owner(), Loaded->Owner());
    EXPECT_EQ(BackFlow->Title(), "Flow");
    EXPECT_EQ(BackCounts->ClassName(), "TBarSeries");
    ASSERT_EQ(BackFlow->Count(), 5);
    ASSERT_EQ(BackCounts->Count(), 5);
    EXPECT_EQ(BackFlow->YValue(4), 16);
    EXPECT_EQ(BackCounts->YValue(1), 9);
    EXPECT_EQ(BackCounts->XLabel(3), "c3");

    // Written again, the form is the same text.
    const std::string Again = File("again.rpf");
    WriteComponentFile(Again, Loaded->Owner());
    EXPECT_EQ(ReadText(Again), ReadText(Saved));
    RpFreeReport(Loaded);
}
