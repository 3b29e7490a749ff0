// The chart panel: chart rectangle layout, repainting through the setter
// helpers, listeners and mouse cancelling, border and bevels, and the extended
// panel's background, back image and rubber band.
#include "chart/ChProcs.h"
#include "chart/Chart.h"
#include "platform/Application.h"
#include "platform/Filer.h"
#include "platform/Forms.h"
#include "platform/Streams.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A panel that paints its own background as the chart does, and records
// the chart rectangle of each pass.
class TTestPanel : public TCustomChPanelExtended {
public:
    explicit TTestPanel(TComponent* AOwner = nullptr) : TCustomChPanelExtended(AOwner) {}
    void InternalDraw(const TRect& UserRect) override
    {
        ++Passes;
        PanelPaint(UserRect);
    }
    int Passes = 0;
};

std::unique_ptr<TTestPanel> NewPanel()
{
    EnsureApplication();
    return std::make_unique<TTestPanel>();
}

bool IsStale(TCustomChPanel& P) { return static_cast<TChCanvas3D*>(P.ChartCanvas())->BufferStale; }

// A picture of W x H in one colour with a marked top-left pixel.
std::unique_ptr<TBitmap> Picture(int W, int H, TColor Fill, TColor Corner)
{
    auto B = std::make_unique<TBitmap>(W, H);
    B->Canvas()->Brush()->SetColor(Fill);
    B->Canvas()->FillRect({0, 0, W, H});
    B->Canvas()->SetPixels(0, 0, Corner);
    return B;
}

}  // namespace

TEST(ChartPanel, ChartRectLiesInsideBevelBorderAndMargins)
{
    struct TCase {
        const char* Name;
        TChUnits Units;
        int Left, Top, Right, Bottom;
        bool BorderVisible;
        TRect Expected;
    };
    const TCase Cases[] = {
        {"percent", muPercent, 3, 4, 3, 4, false, {13, 11, 387, 239}},
        {"pixels", muPixels, 3, 4, 3, 4, false, {4, 5, 396, 245}},
        {"border adds its width", muPixels, 3, 4, 3, 4, true, {5, 6, 395, 244}},
        // Right falls left of Left: one pixel wide; equal: as wide as the control.
        {"crossed", muPixels, 300, 200, 300, 200, false, {301, 201, 302, 202}},
        {"equal", muPixels, 199, 124, 199, 124, false, {200, 125, 600, 375}},
        {"negative margins stay inside", muPixels, -20, -20, 0, 0, false, {0, 0, 399, 249}},
    };
    for (const TCase& K : Cases) {
        SCOPED_TRACE(K.Name);
        auto P = NewPanel();
        P->SetMarginUnits(K.Units);
        P->SetMarginLeft(K.Left);
        P->SetMarginTop(K.Top);
        P->SetMarginRight(K.Right);
        P->SetMarginBottom(K.Bottom);
        P->Border()->SetVisible(K.BorderVisible);
        TBitmap B(400, 250);
        P->NonBufferDraw(B.Canvas(), {0, 0, 400, 250});
        EXPECT_EQ(P->PanelBounds, (TRect{0, 0, 400, 250}));
        EXPECT_EQ(P->ChartRect, K.Expected);
        EXPECT_EQ(P->ChartWidth, K.Expected.Width());
        EXPECT_EQ(P->ChartHeight, K.Expected.Height());
        EXPECT_EQ(P->Passes, 1);
    }
}

TEST(ChartPanel, SetterHelpersRepaintOnlyOnAChangeAndNeverWhileRepaintIsOff)
{
    auto P = NewPanel();
    int I = 5;
    double D = 1.5;
    bool Flag = false;
    std::string S = "a";
    TColor C = clRed;
    struct TStep {
        const char* Name;
        std::function<void()> Set;
        bool Repaints;
    };
    const std::vector<TStep> Steps = {
        {"same integer", [&] { P->SetIntegerProperty(I, 5); }, false},
        {"new integer", [&] { P->SetIntegerProperty(I, 6); }, true},
        {"same double", [&] { P->SetDoubleProperty(D, 1.5); }, false},
        {"new double", [&] { P->SetDoubleProperty(D, 1.5000001); }, true},
        {"new boolean", [&] { P->SetBooleanProperty(Flag, true); }, true},
        {"same string", [&] { P->SetStringProperty(S, "a"); }, false},
        {"new colour", [&] { P->SetColorProperty(C, clBlue); }, true},
        {"new margin", [&] { P->SetMarginTop(9); }, true},
        {"same margin units", [&] { P->SetMarginUnits(muPercent); }, false},
        {"border pen change", [&] { P->Border()->SetColor(clRed); }, true},
    };
    for (const bool Repaint : {true, false}) {
        I = 5, D = 1.5, Flag = false, S = "a", C = clRed;
        P->SetMarginTop(4);
        P->Border()->SetColor(clBlack);
        P->RepaintOnChange = Repaint;
        for (const TStep& Step : Steps) {
            SCOPED_TRACE(std::string(Step.Name) + (Repaint ? "" : " (repaint off)"));
            static_cast<TChCanvas3D*>(P->ChartCanvas())->BufferStale = false;
            Step.Set();
            EXPECT_EQ(IsStale(*P), Repaint && Step.Repaints);
        }
    }
    // With repainting off the values are stored all the same.
    EXPECT_EQ(I, 6);
    EXPECT_EQ(C, clBlue);
    EXPECT_EQ(P->MarginTop(), 9);
}

namespace {

class TRecorder : public IChEventListener {
public:
    TRecorder(TCustomChPanel* APanel, std::vector<std::string>& ALog, std::string AName, bool ACancels)
        : Panel(APanel), Log(ALog), Name(std::move(AName)), Cancels(ACancels)
    {
    }
    void ReceiveEvent(TChEvent* Event) override
    {
        EXPECT_EQ(Event->Sender, Panel);
        std::string Kind = "3d";
        if (auto* M = dynamic_cast<TChMouseEvent*>(Event))
            Kind = M->Kind == meDown ? "down" : M->Kind == meUp ? "up" : "move";
        Log.push_back(Name + ":" + Kind);
        if (Cancels && Kind == "down")
            Panel->MouseCancelled = true;
    }
    TCustomChPanel* Panel;
    std::vector<std::string>& Log;
    std::string Name;
    bool Cancels;
};

}  // namespace

TEST(ChartPanel, ListenersHearEventsInOrderUntilAMouseDownIsCancelled)
{
    auto P = NewPanel();
    std::vector<std::string> Log;
    TRecorder A(P.get(), Log, "A", true), B(P.get(), Log, "B", false);
    EXPECT_EQ(P->Listeners.Add(&A), 0);
    EXPECT_EQ(P->Listeners.Add(&B), 1);
    EXPECT_EQ(P->Listeners.Add(&A), 0);

    int Handler = 0;
    P->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++Handler; };
    P->WidgetMouseDown(mbLeft, {}, 10, 10, false);
    // The flag left set by the mouse down also stops the mouse up after A.
    P->WidgetMouseUp(mbLeft, {}, 10, 10);
    // A move resets it.
    P->WidgetMouseMove({}, 11, 11);
    P->SetView3D(false);
    P->SetView3D(false);
    EXPECT_EQ(Handler, 1);
    EXPECT_EQ(Log, (std::vector<std::string>{"A:down", "A:up", "A:move", "B:move", "A:3d", "B:3d"}));

    EXPECT_EQ(P->Listeners.Remove(&A), 0);
    EXPECT_EQ(P->Listeners.Remove(&A), -1);
    Log.clear();
    P->WidgetMouseDown(mbLeft, {}, 10, 10, false);
    EXPECT_EQ(Log, (std::vector<std::string>{"B:down"}));
}

TEST(ChartPanel, StoredBorderStyleShowsTheBorderOnlyForSingle)
{
    auto P = NewPanel();
    for (const auto& [Ident, Visible] :
         std::vector<std::pair<std::string, bool>>{{"bsSingle", true}, {"bsNone", false}, {"bsSingle", true},
                                                   {"", false}}) {
        P->ReadBorderStyle(Ident);
        EXPECT_EQ(P->Border()->Visible(), Visible) << Ident;
        EXPECT_EQ(P->BorderStyle(), Visible ? bsSingle : bsNone);
    }
}

TEST(ChartPanel, BorderAndBevelFrameTheColouredBackground)
{
    auto P = NewPanel();
    P->SetColor(clYellow);
    P->Border()->SetVisible(true);
    P->Border()->SetColor(clRed);
    TBitmap B(400, 250);
    P->NonBufferDraw(B.Canvas(), {0, 0, 400, 250});
    EXPECT_EQ(PixelOf(B, 0, 0), clRed);
    EXPECT_EQ(PixelOf(B, 399, 249), clRed);
    // The raised bevel inside the border: highlight on top, shadow at the bottom.
    EXPECT_EQ(PixelOf(B, 5, 1), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelOf(B, 5, 248), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelOf(B, 200, 125), clYellow);
}

TEST(ExtendedPanel, BackImageIsStretchedTiledCentredOrPlaced)
{
    struct TCase {
        const char* Name;
        TChBackImageMode Mode;
        std::vector<TPoint> Corners;   // where the picture's marked pixel lands
        std::vector<TPoint> Background;
    };
    // The panel has no bevel; the picture is 100 x 60.
    const TCase Cases[] = {
        {"tile", pbmTile, {{0, 0}, {100, 0}, {200, 0}, {0, 60}, {200, 120}}, {}},
        {"centre", pbmCenter, {{75, 35}}, {{74, 35}, {75, 34}, {175, 35}, {75, 95}}},
        {"custom", pbmCustom, {{10, 20}}, {{9, 20}, {110, 20}, {10, 80}}},
        {"stretch", pbmStretch, {{0, 0}, {1, 1}}, {}},
    };
    for (const TCase& K : Cases) {
        SCOPED_TRACE(K.Name);
        auto P = NewPanel();
        P->SetBevelOuter(bvNone);
        P->SetColor(clWhite);
        const auto Pic = Picture(100, 60, clBlue, clRed);
        P->BackImage()->Assign(Pic.get());
        P->SetBackImageMode(K.Mode);
        P->BackImage()->SetLeft(10);
        P->BackImage()->SetTop(20);
        TBitmap B(250, 130);
        P->NonBufferDraw(B.Canvas(), {0, 0, 250, 130});
        for (const TPoint& C : K.Corners)
            EXPECT_EQ(PixelOf(B, C.X, C.Y), clRed) << C.X << "," << C.Y;
        for (const TPoint& C : K.Background)
            EXPECT_EQ(PixelOf(B, C.X, C.Y), clWhite) << C.X << "," << C.Y;
        // Tiles and the stretched picture reach the far corner.
        if (K.Mode == pbmTile || K.Mode == pbmStretch) {
            EXPECT_EQ(PixelOf(B, 249, 129), clBlue);
        }
    }
}

TEST(ExtendedPanel, EmptyBackImagePaintsOnlyTheColour)
{
    auto P = NewPanel();
    EXPECT_FALSE(P->HasBackImage());
    // Asking for the mode creates an empty picture object.
    P->SetBackImageMode(pbmTile);
    EXPECT_EQ(P->BackImageMode(), pbmTile);
    P->SetBackImageInside(true);
    EXPECT_FALSE(P->BackImageInside());
    EXPECT_FALSE(P->BackImageTransp());
    P->SetBackImageTransp(true);
    EXPECT_FALSE(P->BackImageTransp());
    P->SetBevelOuter(bvNone);
    P->SetColor(clLime);
    TBitmap B(60, 40);
    P->NonBufferDraw(B.Canvas(), {0, 0, 60, 40});
    EXPECT_EQ(PixelOf(B, 0, 0), clLime);
    EXPECT_EQ(PixelOf(B, 59, 39), clLime);

    const auto Pic = Picture(10, 10, clBlue, clBlue);
    P->SetBackImage(P->BackImage());   // itself: nothing changes
    P->BackImage()->Assign(Pic.get());
    EXPECT_TRUE(P->HasBackImage());
    P->SetBackImage(nullptr);
    EXPECT_FALSE(P->HasBackImage());
}

TEST(ExtendedPanel, PrintedPanelLeavesOutColourAndBevelsButKeepsGradientAndImage)
{
    for (const bool Gradient : {false, true}) {
        SCOPED_TRACE(Gradient ? "gradient" : "colour");
        auto P = NewPanel();
        P->SetColor(clYellow);
        if (Gradient) {
            P->Gradient()->SetVisible(true);
            P->Gradient()->SetStartColor(clRed);
            P->Gradient()->SetEndColor(clRed);
        }
        const auto Pic = Picture(20, 20, clBlue, clBlue);
        P->BackImage()->Assign(Pic.get());
        P->SetBackImageMode(pbmCustom);
        P->BackImage()->SetLeft(100);
        P->BackImage()->SetTop(100);
        P->SetPrintProportional(false);
        TBitmap Page(400, 250);
        P->PrintPartialCanvas(Page.Canvas(), {0, 0, 400, 250});
        EXPECT_FALSE(P->Printing);
        EXPECT_EQ(PixelOf(Page, 0, 0), Gradient ? clRed : clWhite);   // no bevel
        EXPECT_EQ(PixelOf(Page, 50, 50), Gradient ? clRed : clWhite);
        EXPECT_EQ(PixelOf(Page, 105, 105), clBlue);
    }
}

TEST(ExtendedPanel, ZoomAssignKeepsTheTargetsThresholdAndUpLeftSetting)
{
    TChZoom Source, Target;
    Source.SetAllow(false);
    Source.SetAnimatedSteps(3);
    Source.SetDirection(tzdVertical);
    Source.SetMinimumPixels(40);
    Source.SetUpLeftZooms(true);
    Source.Pen()->SetColor(clRed);
    Target.Brush();
    Target.SetMinimumPixels(7);
    Target.Assign(&Source);
    EXPECT_FALSE(Target.Allow());
    EXPECT_EQ(Target.AnimatedSteps(), 3);
    EXPECT_EQ(Target.Direction(), tzdVertical);
    EXPECT_EQ(Target.Pen()->Color(), clRed);
    EXPECT_TRUE(Target.Pen()->IsColorStored());
    EXPECT_FALSE(Target.HasBrush());   // the source had none
    EXPECT_EQ(Target.MinimumPixels(), 7);
    EXPECT_FALSE(Target.UpLeftZooms());

    TZoomPanning Z;
    Z.Activate(30, 40);
    Z.EndX = 10;
    Z.EndY = 50;
    Z.Check();
    EXPECT_TRUE(Z.Active);
    EXPECT_EQ((TRect{Z.StartX, Z.StartY, Z.EndX, Z.EndY}), (TRect{10, 40, 30, 50}));
}

TEST(ExtendedPanel, ZoomRectangleDrawnTwiceRestoresEveryPixel)
{
    auto P = NewPanel();
    P->SetColor(clTeal);
    P->Draw();
    TCanvas* W = P->WindowCanvas();
    const TRect Area{40, 30, 200, 150};
    const auto Snapshot = [&] {
        std::vector<TColor> Pixels;
        for (int Y = Area.Top; Y <= Area.Bottom; ++Y)
            for (int X = Area.Left; X <= Area.Right; ++X)
                Pixels.push_back(W->Pixels(X, Y));
        return Pixels;
    };
    const auto Before = Snapshot();
    ASSERT_EQ(Before.front(), clTeal);
    P->Zoom()->Activate(50, 40);
    P->Zoom()->EndX = 180;
    P->Zoom()->EndY = 140;
    P->Zoom()->Brush()->SetStyle(bsClear);
    P->DrawZoomRectangle();
    EXPECT_NE(Snapshot(), Before);
    EXPECT_EQ(W->Pixels(100, 100), clTeal);   // a clear band keeps the inside
    P->DrawZoomRectangle();
    EXPECT_EQ(Snapshot(), Before);
}

TEST(ExtendedPanel, UndoZoomCallsItsEventAndClearsZoomed)
{
    auto P = NewPanel();
    int Calls = 0;
    P->OnUndoZoom = [&](TObject* Sender) {
        EXPECT_EQ(Sender, P.get());
        ++Calls;
    };
    P->Zoomed = true;
    P->UndoZoom();
    EXPECT_EQ(Calls, 1);
    EXPECT_FALSE(P->Zoomed);
}

TEST(ExtendedPanel, AssignCopiesPanelSettings)
{
    auto A = NewPanel();
    auto B = NewPanel();
    A->SetMarginLeft(10);
    A->SetMarginUnits(muPixels);
    A->SetView3D(false);
    A->SetColor(clAqua);
    A->SetPrintMargins({1, 2, 3, 4});
    A->SetAllowPanning(pmVertical);
    A->Gradient()->SetVisible(true);
    A->Zoom()->SetAllow(false);
    B->BackImage();
    B->Assign(A.get());
    EXPECT_EQ(B->MarginLeft(), 10);
    EXPECT_EQ(B->MarginUnits(), muPixels);
    EXPECT_FALSE(B->View3D());
    EXPECT_EQ(B->Color(), clAqua);
    EXPECT_EQ(B->PrintMargins(), (TRect{1, 2, 3, 4}));
    EXPECT_TRUE(B->IsPrintMarginsStored());
    EXPECT_EQ(B->AllowPanning(), pmVertical);
    EXPECT_TRUE(B->Gradient()->Visible());
    EXPECT_FALSE(B->AllowZoom());
    EXPECT_FALSE(B->HasBackImage());
}

namespace {

// Changes one of its own values in every pass, as an axis does when it
// computes its range.
class TBusyPanel : public TTestPanel {
public:
    using TTestPanel::TTestPanel;
    void InternalDraw(const TRect& UserRect) override
    {
        TTestPanel::InternalDraw(UserRect);
        SetIntegerProperty(Value, Value + 1);
    }
    int Value = 0;
};

void ProcessMessagesFor(int Times)
{
    for (int i = 0; i < Times; ++i)
        Application->ProcessMessages();
}

}  // namespace

TEST(ChartPanel, WindowPaintsOnlyAfterAnInvalidateAndKeepsDrawingDoneOutsideIt)
{
    EnsureApplication();
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 450, 300);
    auto* P = new TBusyPanel(&Form);
    P->SetParent(&Form);
    P->SetColor(clWhite);
    Form.Show();
    ProcessMessagesFor(10);
    ASSERT_GE(P->Passes, 1);
    // A pass that changes values does not ask for another pass.
    const int Passes = P->Passes;
    EXPECT_LE(Passes, 2);
    ProcessMessagesFor(10);
    EXPECT_EQ(P->Passes, Passes);
    EXPECT_EQ(P->ChartRect, (TRect{13, 11, 387, 239}));

    // A segment drawn at once stays until the next full pass.
    TCanvas* W = P->WindowCanvas();
    W->Pen()->SetColor(clRed);
    W->MoveTo(100, 100);
    W->LineTo(150, 100);
    P->Update();
    ProcessMessagesFor(5);
    EXPECT_EQ(P->Passes, Passes);
    EXPECT_EQ(W->Pixels(120, 100), clRed);

    P->Invalidate();
    ProcessMessagesFor(5);
    EXPECT_EQ(P->Passes, Passes + 1);
    EXPECT_EQ(W->Pixels(120, 100), clWhite);

    // A new size draws afresh at that size.
    P->SetBounds(0, 0, 300, 200);
    ProcessMessagesFor(5);
    EXPECT_EQ(P->Passes, Passes + 2);
    EXPECT_EQ(P->ChartRect, (TRect{10, 9, 290, 191}));
}

TEST(ChartPanel, NewCanvasTakesTheOldCanvasSettings)
{
    auto P = NewPanel();
    P->SetMonochrome(true);
    TCanvas3D* Old = P->ChartCanvas();
    P->SetInternalCanvas(nullptr);
    EXPECT_EQ(P->ChartCanvas(), Old);
    P->SetInternalCanvas(std::make_unique<TChCanvas3D>());
    EXPECT_NE(P->ChartCanvas(), Old);
    EXPECT_TRUE(P->Monochrome());
    EXPECT_EQ(P->ChartCanvas()->ReferenceCanvas, P->WindowCanvas());
    EXPECT_TRUE(P->RepaintOnChange);
}

TEST(ChartPanel, CheckBoxShowsItsMarkOnlyWhenChecked)
{
    EnsureApplication();
    for (const bool IsCheckBox : {true, false}) {
        TBitmap Off(20, 20), On(20, 20);
        ChDrawCheckBox(2, 2, Off.Canvas(), false, clWhite, IsCheckBox);
        ChDrawCheckBox(2, 2, On.Canvas(), true, clWhite, IsCheckBox);
        EXPECT_EQ(PixelOf(Off, 8, 8), ColorToRGB(clWindow)) << IsCheckBox;
        EXPECT_EQ(PixelOf(On, 8, 8), ColorToRGB(clWindowText)) << IsCheckBox;
        EXPECT_EQ(PixelOf(On, 16, 16), clWhite);   // nothing outside 13 x 13
    }
}

// With BorderRound above 0 a panel on a parent is a rounded window: its
// corners are cut from the window's region, which follows the panel's size
// and goes when BorderRound does; a panel read from a form gets it once read.
TEST(ChartPanel, RoundedBorderShapesTheWindow)
{
    EnsureApplication();
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 500, 400);
    auto* P = new TTestPanel(&Form);
    P->SetBounds(10, 10, 200, 100);
    TTestPanel Loose;
    Loose.SetBorderRound(20);
    EXPECT_TRUE(Loose.WindowRegion().IsEmpty()) << "no parent, no shape";
    P->SetParent(&Form);
    EXPECT_TRUE(P->WindowRegion().IsEmpty());
    P->SetBorderRound(20);
    TRegion R = P->WindowRegion();
    EXPECT_FALSE(R.Contains(0, 0));
    EXPECT_FALSE(R.Contains(199, 99));
    EXPECT_TRUE(R.Contains(100, 50));
    EXPECT_TRUE(R.Contains(0, 50));
    EXPECT_TRUE(R.Contains(100, 0));
    P->SetBounds(10, 10, 300, 150);
    R = P->WindowRegion();
    EXPECT_TRUE(R.Contains(250, 75));
    EXPECT_FALSE(R.Contains(299, 149));
    EXPECT_EQ(R.BoundsRect(), (TRect{0, 0, 300, 150}));
    P->SetBorderRound(0);
    EXPECT_TRUE(P->WindowRegion().IsEmpty());

    delete P;
    // A chart read from a form is shaped once it is read (on its parent).
    auto* Chart = new TChart(&Form);
    Chart->SetName("Chart1");
    Chart->SetParent(&Form);
    Chart->SetBounds(0, 200, 200, 100);
    Chart->SetBorderRound(12);
    TMemoryStream Stream;
    {
        TWriter W(&Stream);
        W.WriteRootComponent(&Form);
    }
    TForm Back(nullptr);
    Stream.SetPosition(0);
    {
        TReader Rd(&Stream);
        Rd.ReadRootComponent(&Back);
    }
    auto* Read = dynamic_cast<TChart*>(Back.FindComponent("Chart1"));
    ASSERT_NE(Read, nullptr);
    EXPECT_EQ(Read->BorderRound(), 12);
    EXPECT_FALSE(Read->WindowRegion().IsEmpty());
    EXPECT_FALSE(Read->WindowRegion().Contains(0, 0));
    EXPECT_TRUE(Read->WindowRegion().Contains(100, 50));
}
