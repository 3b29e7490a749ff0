// Stored forms of whole charts: a new chart stores nothing but its bounds, a
// chart with every kind of part reads back into one that draws the same
// pixels and writes the same bytes, a chart on a form keeps its control
// properties and, once read, follows its anchors, older names set what they
// stand for, and damaged forms raise EReadError.
#include "chart/ChFunctions.h"
#include "chart/ChMarks.h"
#include "chart/Chart.h"
#include "chart/ChartRegistry.h"
#include "chart/Series.h"
#include "chart/SeriesBar.h"
#include "chart/SeriesLine.h"
#include "platform/DialogHook.h"
#include "platform/Filer.h"
#include "platform/Menus.h"
#include "platform/Streams.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace {

class TChartHostForm : public TForm {
    OZ_CLASS(TChartHostForm, TForm);

public:
    explicit TChartHostForm(TComponent* AOwner) : TForm(AOwner)
    {
        SetClientWidth(500);
        SetClientHeight(400);
    }
};

void RegisterAll()
{
    RegisterChartClasses();
}

std::string FormOf(TComponent* C)
{
    TMemoryStream M;
    M.WriteComponent(C);
    return std::string(reinterpret_cast<const char*>(M.Memory()), static_cast<size_t>(M.Size()));
}

std::unique_ptr<TChart> ReadChart(const std::string& Text)
{
    TMemoryStream M;
    M.WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
    M.SetPosition(0);
    auto* C = dynamic_cast<TChart*>(M.ReadComponent(nullptr));
    EXPECT_NE(C, nullptr);
    return std::unique_ptr<TChart>(C);
}

// A chart using every kind of stored value.
std::unique_ptr<TChart> RichChart()
{
    auto C = std::make_unique<TChart>(nullptr);
    C->SetName("Chart1");
    C->SetBounds(0, 0, 420, 300);
    C->SetView3D(false);
    C->Title()->Text()->Add("Flow \"in\" L/min");
    C->Title()->SetAlignment(taLeftJustify);
    C->Title()->Font()->SetStyle(TFontStyles{fsBold});
    C->Foot()->Text()->Add("foot");
    C->Foot()->SetVisible(true);
    C->Legend()->SetAlignment(laBottom);
    C->BackWall()->SetColor(clCream);
    C->BackWall()->SetTransparent(false);
    C->LeftAxis()->Title()->SetCaption("Pressure");
    C->LeftAxis()->SetMinMax(-5, 25);
    C->LeftAxis()->Grid()->SetColor(clSilver);
    C->BottomAxis()->SetLabelsAngle(90);
    C->SetMarginLeft(5);
    C->SetBevelOuter(bvLowered);
    C->SetBevelWidth(2);
    TBitmap* Back = C->BackImage()->Bitmap();
    Back->SetSize(16, 8);
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 16; ++X)
            Back->ScanLine(Y)[X] = (X + Y) % 3 == 0 ? 0xFF80C0FFu : 0xFFFFFFE0u;
    C->SetBackImageMode(pbmTile);
    C->SetPrintMargins(TRect{10, 12, 10, 12});
    TChartAxis* Custom = C->CustomAxes().Add();
    Custom->SetOtherSide(true);
    Custom->SetPositionPercent(20);
    Custom->Axis()->SetColor(clRed);

    auto* Line = new TLineSeries(C.get());
    Line->SetName("Series1");
    C->AddSeries(Line);
    Line->SetTitle("Line");
    Line->SetSeriesColor(clBlue);
    Line->ManualData = true;
    Line->AddXY(0, 1, "zero", clRed);
    Line->AddXY(1.5, 4, "one and a half");
    Line->AddXY(3, 2);
    Line->AddXY(4, 9, "\xC3\xA9t\xC3\xA9");
    Line->Marks()->SetVisible(true);
    Line->Marks()->Items(1)->SetColor(clYellow);
    Line->Marks()->Items(1)->Font()->SetColor(clRed);

    auto* Bar = new TBarSeries(C.get());
    Bar->SetName("Series2");
    C->AddSeries(Bar);
    Bar->SetSeriesColor(clGreen);
    Bar->SetBarWidthPercent(50);
    Bar->ManualData = true;
    for (double V : {3.0, 5.0, 2.0, 7.0, 6.0})
        Bar->Add(V);
    Bar->SetCustomVertAxis(Custom);
    Bar->SetVertAxis(aCustomVertAxis);

    auto* Average = new TLineSeries(C.get());
    Average->SetName("Series3");
    C->AddSeries(Average);
    Average->SetSeriesColor(clFuchsia);
    auto* F = new TChMovingFunction(C.get());
    F->SetName("Function1");
    Average->SetFunction(F);
    F->SetPeriod(2);
    Average->SetDataSource(Bar);

    auto* Points = new TPointSeries(C.get());
    Points->SetName("Series4");
    C->AddSeries(Points);
    Points->SetSeriesColor(clNavy);
    Points->ManualData = true;
    Points->AddXY(0.5, 20);
    Points->AddXY(2.5, 15);
    Points->SetActive(true);

    auto* Tool = new TChCustomToolAxis(C.get());
    Tool->SetName("ChartTool1");
    C->Tools().Add(Tool);
    Tool->SetAxis(C->LeftAxis());
    auto* SeriesTool = new TChCustomToolSeries(C.get());
    SeriesTool->SetName("ChartTool2");
    C->Tools().Add(SeriesTool);
    SeriesTool->SetSeries(Line);
    return C;
}

std::unique_ptr<TBitmap> Picture(TChart& C)
{
    return C.ChCreateBitmap(clWhite, TRect{0, 0, C.Width(), C.Height()}, pfDevice);
}

int DifferentPixels(const TBitmap& A, const TBitmap& B)
{
    if (A.Width() != B.Width() || A.Height() != B.Height())
        return -1;
    int N = 0;
    for (int Y = 0; Y < A.Height(); ++Y)
        for (int X = 0; X < A.Width(); ++X)
            N += PixelOf(A, X, Y) != PixelOf(B, X, Y);
    return N;
}

}  // namespace

TEST(ChartForm, NewChartStoresNothingButItsBounds)
{
    EnsureApplication();
    RegisterAll();
    TChart C(nullptr);
    C.SetName("Chart1");
    const std::string Text = FormOf(&C);
    std::istringstream Lines(Text);
    std::string L;
    std::getline(Lines, L);
    EXPECT_EQ(L, "object Chart1: TChart");
    std::string Others;
    while (std::getline(Lines, L) && L != "end") {
        const std::string Name = L.substr(2, L.find(' ', 2) - 2);
        if (Name != "Left" && Name != "Top" && Name != "Width" && Name != "Height")
            Others += L + "\n";
    }
    EXPECT_EQ(Others, "");
}

TEST(ChartForm, RichChartReadsBackDrawingTheSamePixelsAndWritingTheSameBytes)
{
    EnsureApplication();
    RegisterAll();
    auto First = RichChart();
    const std::string Text = FormOf(First.get());
    for (const char* Expected : {"object Series1: TLineSeries", "object Function1: TChMovingFunction",
                                 "object ChartTool1: TChCustomToolAxis", "AxisID = 2", "DataSource = Series2",
                                 "CustomVertAxis = 0", "CustomAxes = {", "Items = {", "PrintMargins = (",
                                 "Series = Series1", "Data = {", "BackImage.Data = {"})
        EXPECT_NE(Text.find(Expected), std::string::npos) << Expected << "\n" << Text;
    {
        std::ofstream(std::string(OZ_TEST_ARTIFACTS) + "/chart_form.txt") << Text;
    }

    auto Second = ReadChart(Text);
    ASSERT_NE(Second, nullptr);
    EXPECT_EQ(FormOf(Second.get()), Text);
    ASSERT_EQ(Second->SeriesCount(), 4);
    EXPECT_EQ(Second->Series(0)->XLabel(3), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(Second->Series(2)->DataSource(), Second->Series(1));
    EXPECT_EQ(Second->Series(2)->Count(), First->Series(2)->Count());
    EXPECT_EQ(Second->Series(1)->CustomVertAxis(), Second->CustomAxes().Get(0));
    EXPECT_EQ(Second->Tools().Count(), 2);

    const auto A = Picture(*First);
    const auto B = Picture(*Second);
    A->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/chart_form_written.png");
    B->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/chart_form_read.png");
    EXPECT_EQ(DifferentPixels(*A, *B), 0);
}

TEST(ChartForm, GoldenFormReadsAndWritesItsOwnBytes)
{
    EnsureApplication();
    RegisterAll();
    const std::string Golden = std::string(OZ_SOURCE_DIR) + "/tests/fuzz-seeds/chartstream_fuzz/rich.txt";
    std::ifstream In(Golden, std::ios::binary);
    ASSERT_TRUE(In.good()) << Golden;
    const std::string Text((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    EXPECT_EQ(FormOf(RichChart().get()), Text);
    auto C = ReadChart(Text);
    ASSERT_NE(C, nullptr);
    EXPECT_EQ(FormOf(C.get()), Text);
}

TEST(ChartForm, ChartOnAFormKeepsItsControlPropertiesAndFollowsItsAnchorsOnceRead)
{
    EnsureApplication();
    RegisterAll();
    auto Build = [](TChartHostForm& F) {
        F.SetName("Form1");
        auto* Menu = new TPopupMenu(&F);
        Menu->SetName("ChartMenu");
        auto* C = new TChart(&F);
        C->SetName("Chart1");
        C->SetParent(&F);
        C->SetBounds(10, 10, 300, 200);
        auto* Other = new TChart(&F);
        Other->SetName("Chart2");
        Other->SetParent(&F);
        Other->SetBounds(10, 220, 100, 100);
        C->SetAnchors({akLeft, akTop, akRight, akBottom});
        C->Constraints()->SetMinWidth(120);
        C->Constraints()->SetMaxHeight(280);
        C->SetDragCursor(crCross);
        C->SetDragMode(dmAutomatic);
        C->SetDragKind(dkDock);
        C->SetShowHint(true);
        C->SetPopupMenu(Menu);
        C->SetTabOrder(1);
        C->SetTabStop(true);
        C->SetBorderWidth(3);
    };
    TChartHostForm Written(nullptr);
    Build(Written);
    const std::string Text = FormOf(&Written);
    for (const char* Expected :
         {"BorderWidth = 3", "DragCursor = crCross", "DragMode = dmAutomatic", "ParentShowHint = False",
          "ShowHint = True", "PopupMenu = ChartMenu", "TabOrder = 1", "TabStop = True",
          "Anchors = [akLeft, akTop, akRight, akBottom]", "Constraints.MaxHeight = 280",
          "Constraints.MinWidth = 120", "DragKind = dkDock"})
        EXPECT_NE(Text.find(Expected), std::string::npos) << Expected << "\n" << Text;

    TChartHostForm Read(nullptr);
    {
        TMemoryStream M;
        M.WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
        M.SetPosition(0);
        M.ReadComponent(&Read);
    }
    EXPECT_EQ(FormOf(&Read), Text);
    auto* C = dynamic_cast<TChart*>(Read.FindComponent("Chart1"));
    ASSERT_NE(C, nullptr);
    EXPECT_FALSE(C->ComponentState().Contains(csLoading));
    EXPECT_EQ(C->Anchors(), (TAnchors{akLeft, akTop, akRight, akBottom}));
    EXPECT_EQ(C->Constraints()->MinWidth(), 120);
    EXPECT_EQ(C->Constraints()->MaxHeight(), 280);
    EXPECT_EQ(C->DragCursor(), crCross);
    EXPECT_EQ(C->DragMode(), dmAutomatic);
    EXPECT_EQ(C->DragKind(), dkDock);
    EXPECT_FALSE(C->ParentShowHint());
    EXPECT_TRUE(C->ShowHint());
    EXPECT_EQ(C->PopupMenu(), Read.FindComponent("ChartMenu"));
    EXPECT_EQ(C->TabOrder(), 1);
    EXPECT_TRUE(C->TabStop());
    EXPECT_EQ(C->BorderWidth(), 3);

    // Anchored to all four sides the chart stretches with the form, up to
    // its largest height.
    Read.SetClientWidth(600);
    Read.SetClientHeight(500);
    EXPECT_EQ(C->BoundsRect(), (TRect{10, 10, 410, 290}));
}

TEST(ChartForm, OlderNamesSetWhatTheyStandFor)
{
    EnsureApplication();
    RegisterAll();
    auto C = ReadChart("object Chart1: TChart\n"
                       "  BorderStyle = bsSingle\n"
                       "  AllowZoom = False\n"
                       "  AnimatedZoom = True\n"
                       "  AnimatedZoomSteps = 4\n"
                       "  Title.ShadowColor = clRed\n"
                       "  Title.ShadowSize = 5\n"
                       "  Legend.ShadowColor = 255\n"
                       "  BackColor = clRed\n"
                       "  ColorPaletteIndex = 3\n"
                       "  Frame.Color = clBlue\n"
                       "  Legend.ColorWidth = 30\n"
                       "end\n");
    ASSERT_NE(C, nullptr);
    EXPECT_TRUE(C->Border()->Visible());
    EXPECT_FALSE(C->Zoom()->Allow());
    EXPECT_TRUE(C->Zoom()->Animated());
    EXPECT_EQ(C->Zoom()->AnimatedSteps(), 4);
    EXPECT_EQ(C->Title()->Shadow()->Color(), clRed);
    EXPECT_EQ(C->Title()->Shadow()->Size(), 5);
    EXPECT_EQ(C->Legend()->Shadow()->Color(), clRed);
    EXPECT_EQ(C->BackWall()->Color(), clRed);
    EXPECT_EQ(C->ColorPaletteIndex, 3);
    EXPECT_EQ(C->CustomPalette, PastelsPalette);
    EXPECT_EQ(C->BackWall()->Pen()->Color(), clBlue);
    EXPECT_EQ(C->Legend()->Symbol()->Width(), 30);
    // Older names are never written.
    const std::string Text = FormOf(C.get());
    for (const char* Old : {"BorderStyle", "AllowZoom", "AnimatedZoom", "ShadowColor", "ShadowSize", "BackColor",
                            "Frame", "ColorWidth"})
        EXPECT_EQ(Text.find(Old), std::string::npos) << Old << "\n" << Text;
    EXPECT_NE(Text.find("ColorPaletteIndex = 3"), std::string::npos) << Text;

    auto D = ReadChart("object Chart1: TChart\n  BackColor = 255\nend\n");
    EXPECT_EQ(D->BackWall()->Color(), clRed);
}

TEST(ChartForm, ObsoleteMultiplierShowsTheMessage)
{
    EnsureApplication();
    RegisterAll();
    int Shown = 0;
    std::string Said;
    TDialogAnswerer Old = SetDialogAnswerer([&](const TDialogRequest& R, TDialogAnswer& A) {
        ++Shown;
        Said = R.Text;
        A.ModalResult = 1;
        return true;
    });
    auto C = ReadChart("object Chart1: TChart\n"
                       "  object Series1: TFastLineSeries\n"
                       "    YValues.Multiplier = 2\n"
                       "  end\n"
                       "end\n");
    SetDialogAnswerer(Old);
    EXPECT_EQ(Shown, 1);
    EXPECT_EQ(Said.rfind("Error: Multiplier property is obsolete.", 0), 0u);
    EXPECT_EQ(FormOf(C.get()).find("Multiplier"), std::string::npos);
}

TEST(ChartForm, DamagedFormsRaiseReadErrors)
{
    EnsureApplication();
    RegisterAll();
    TChart Small(nullptr);
    Small.SetName("Chart1");
    auto* S = new TFastLineSeries(&Small);
    S->SetName("Series1");
    Small.AddSeries(S);
    S->ManualData = true;
    S->AddXY(1, 2, "a");
    S->Marks()->Items(0)->SetColor(clRed);
    auto* Tool = new TChCustomToolAxis(&Small);
    Tool->SetName("Tool1");
    Small.Tools().Add(Tool);
    Tool->SetAxis(Small.BottomAxis());
    const std::string Good = FormOf(&Small);
    std::vector<std::string> Bad;
    // Every cut inside the text (the last "end" and its line break are needed).
    for (size_t Cut = 0; Cut + 5 < Good.size(); ++Cut)
        Bad.push_back(Good.substr(0, Cut));
    const std::string Head = "object Chart1: TChart\n";
    Bad.push_back(Head + "  object Tool1: TChCustomToolAxis\n    AxisID = 99\n  end\nend\n");
    Bad.push_back(Head + "  object Tool1: TChCustomToolAxis\n    AxisID = -1\n  end\nend\n");
    Bad.push_back(Head + "  object S: TFastLineSeries\n    CustomHorizAxis = 0\n  end\nend\n");
    Bad.push_back(Head + "  object S: TFastLineSeries\n    Data = {00FFFFFF7F}\n  end\nend\n");
    Bad.push_back(Head + "  object S: TFastLineSeries\n    Marks.Items = {FFFFFF7F}\n  end\nend\n");
    Bad.push_back(Head + "  object S: TFastLineSeries\n    Marks.Items = {0100000001034E6F6E0200}\nend\nend\n");
    Bad.push_back(Head + "  CustomAxes = {FFFFFF7F}\nend\n");
    Bad.push_back(Head + "  CustomAxes = {01000000010356697302}\nend\n");
    Bad.push_back(Head + "  object S: TNoSuchSeries\n  end\nend\n");
    Bad.push_back(Head + "  NoSuchProperty = 1\nend\n");
    Bad.push_back(Head + "  BackColor = clNoSuchColour\nend\n");
    for (const std::string& B : Bad)
        EXPECT_THROW(ReadChart(B), EReadError) << B;
}

TEST(ChartForm, SeriesNamingEachOtherLoadWithTheCircleBroken)
{
    EnsureApplication();
    RegisterAll();
    auto C = ReadChart("object Chart1: TChart\n"
                       "  object A: TFastLineSeries\n"
                       "    DataSource = B\n"
                       "  end\n"
                       "  object B: TFastLineSeries\n"
                       "    DataSource = A\n"
                       "  end\n"
                       "  object S: TFastLineSeries\n"
                       "    DataSource = S\n"
                       "  end\n"
                       "  object T: TFastLineSeries\n"
                       "    DataSource = Chart1\n"
                       "  end\n"
                       "end\n");
    ASSERT_NE(C, nullptr);
    ASSERT_EQ(C->SeriesCount(), 4);
    const int Links = C->Series(0)->DataSources().Count() + C->Series(1)->DataSources().Count();
    EXPECT_EQ(Links, 1);
    EXPECT_EQ(C->Series(2)->DataSources().Count(), 0);
    EXPECT_EQ(C->Series(3)->DataSources().Count(), 0);
    C->Series(0)->Add(1);   // reaches the other series once, and stops
}
