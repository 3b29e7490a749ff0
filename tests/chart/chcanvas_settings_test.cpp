#include "chart/ChCanvas.h"

#include <gtest/gtest.h>

namespace {

struct TCounter {
    int Count = 0;
    TObject* LastSender = nullptr;
    TNotifyEvent Handler()
    {
        return [this](TObject* Sender) {
            ++Count;
            LastSender = Sender;
        };
    }
};

class TCountingControl : public TControl {
public:
    TCountingControl() : TControl(nullptr) {}
    void Invalidate() override { ++Invalidations; }
    int Invalidations = 0;
};

} // namespace

TEST(ChartPen, OwnSettersNotifyOnlyOnChange)
{
    TCounter C;
    TChartPen Pen(C.Handler());
    Pen.SetVisible(true);
    Pen.SetSmallDots(false);
    Pen.SetEndStyle(esRound);
    EXPECT_EQ(C.Count, 0);
    Pen.Hide();
    EXPECT_EQ(C.Count, 1);
    EXPECT_EQ(C.LastSender, &Pen);
    Pen.SetSmallDots(true);
    Pen.SetEndStyle(esFlat);
    Pen.SetColor(clRed);
    EXPECT_EQ(C.Count, 4);
}

TEST(ChartPen, KindsStartWithTheirDefaultsAndStoreOnlyDifferences)
{
    TCounter C;
    TChartHiddenPen Hidden(C.Handler());
    EXPECT_FALSE(Hidden.Visible());
    EXPECT_FALSE(Hidden.IsVisibleStored());
    Hidden.Show();
    EXPECT_TRUE(Hidden.IsVisibleStored());

    TDottedGrayPen Dotted;
    EXPECT_EQ(Dotted.Color(), 0x808080);
    EXPECT_EQ(Dotted.Style(), psDot);
    EXPECT_EQ(TDarkGrayPen().Color(), 0x808080);
    EXPECT_EQ(TWhitePen().Color(), 0xFFFFFF);
    TChartPen Plain;
    EXPECT_EQ(Plain.Color(), clBlack);
    EXPECT_TRUE(Plain.Visible());
    EXPECT_FALSE(Plain.IsEndStyleStored());
    Plain.DefaultEndStyle = esFlat;
    EXPECT_TRUE(Plain.IsEndStyleStored());
    EXPECT_EQ(C.Count, 1);
}

TEST(ChartPen, AssignCopiesChartValuesAndPlainPensTakeTheBaseOnly)
{
    TChartPen Source;
    Source.SetColor(clRed);
    Source.SetWidth(3);
    Source.SetStyle(psDash);
    Source.SetMode(pmXor);
    Source.Hide();
    Source.SetSmallDots(true);
    Source.SetEndStyle(esSquare);

    TCounter C;
    TChartPen Target(C.Handler());
    Target.Assign(&Source);
    EXPECT_FALSE(Target.Visible());
    EXPECT_TRUE(Target.SmallDots());
    EXPECT_EQ(Target.EndStyle(), esSquare);
    EXPECT_EQ(Target.Color(), clRed);
    EXPECT_EQ(Target.Width(), 3);

    TPen Plain;
    Plain.Assign(&Source);
    EXPECT_EQ(Plain.Color(), clRed);
    EXPECT_EQ(Plain.Width(), 3);
    EXPECT_EQ(Plain.Style(), psDash);
    EXPECT_EQ(Plain.Mode(), pmXor);
}

TEST(ChartBrush, ImageLifecycle)
{
    TCounter C;
    TChartBrush Brush(C.Handler());
    EXPECT_EQ(Brush.Color(), clSeriesDefault);
    EXPECT_FALSE(Brush.HasImage());
    Brush.Image()->Bitmap()->SetSize(4, 4);
    EXPECT_TRUE(Brush.HasImage());

    // Assigning a brush without a picture leaves an empty picture object.
    TChartBrush Plain;
    Brush.Assign(&Plain);
    EXPECT_FALSE(Brush.HasImage());
    EXPECT_EQ(Brush.Image()->Graphic(), nullptr);

    Brush.Image()->Bitmap()->SetSize(2, 2);
    Brush.SetStyle(bsClear);
    const int Before = C.Count;
    Brush.Clear();
    EXPECT_EQ(C.Count, Before + 1);
    EXPECT_FALSE(Brush.HasImage());
    EXPECT_EQ(Brush.Style(), bsClear);

    TChPicture Picture;
    Picture.Bitmap()->SetSize(3, 5);
    Brush.SetImage(&Picture);
    EXPECT_EQ(Brush.Image()->Width(), 3);
    EXPECT_EQ(Brush.Image()->Height(), 5);
    Brush.SetImage(nullptr);
    EXPECT_FALSE(Brush.HasImage());
}

TEST(View3DOptions, OrthoRatioPerAngle)
{
    TView3DOptions Options(nullptr);
    struct Case { int Angle; double Ratio; };
    const Case Cases[] = {{45, 1.0}, {60, 1.7320508}, {120, 1.7320508}, {0, 0.0}, {90, 1.0}, {89, 57.2899616}};
    for (const Case& C : Cases) {
        Options.SetOrthoAngle(C.Angle);
        EXPECT_NEAR(Options.CalcOrthoRatio(), C.Ratio, 1e-6) << C.Angle;
    }
    Options.SetOrthogonal(false);
    Options.SetOrthoAngle(60);
    EXPECT_EQ(Options.CalcOrthoRatio(), 1.0);
}

TEST(View3DOptions, ZoomAndOffsetHandlersRunInOrder)
{
    TCountingControl Control;
    TView3DOptions Options(&Control);
    int SeenZoom = 0, ZoomWhileChanging = 0;
    Options.OnZoomChanging = [&](int NewZoom) {
        SeenZoom = NewZoom;
        ZoomWhileChanging = Options.Zoom();
    };
    std::vector<bool> Offsets;
    Options.OnOffsetChanged = [&](bool IsHoriz) { Offsets.push_back(IsHoriz); };

    Options.SetZoom(150);
    EXPECT_EQ(SeenZoom, 150);
    EXPECT_EQ(ZoomWhileChanging, 100);
    EXPECT_EQ(Options.Zoom(), 150);
    Options.SetHorizOffset(5);
    Options.SetVertOffset(-3);
    Options.SetVertOffset(-3);
    EXPECT_EQ(Offsets, (std::vector<bool>{true, false}));
    EXPECT_EQ(Control.Invalidations, 3);

    TView3DOptions Copy(nullptr);
    Copy.Assign(&Options);
    EXPECT_EQ(Copy.Zoom(), 150);
    EXPECT_EQ(Copy.VertOffset(), -3);
    EXPECT_FALSE(Copy.OnZoomChanging);
    EXPECT_EQ(Copy.OwnerControl(), nullptr);
    EXPECT_EQ(Control.Invalidations, 3);
}

TEST(ChGradient, MiddleColourEvents)
{
    TCounter C;
    TChGradient G(C.Handler());
    G.SetMidColor(clNone);
    EXPECT_EQ(C.Count, 0);
    G.UseMiddleColor();
    G.UseMiddleColor();
    EXPECT_EQ(C.Count, 1);
    EXPECT_EQ(G.MidColor(), clNone);   // the stored colour is used as it is
    G.SetMidColor(clRed);
    G.SetMidColor(clRed);
    EXPECT_EQ(C.Count, 2);
    G.SetMidColor(clNone);
    EXPECT_EQ(G.MidColor(), clNone);
    EXPECT_EQ(C.Count, 3);
    G.SetBalance(50);
    G.SetBalance(20);
    G.SetDirection(gdRadial);
    EXPECT_EQ(C.Count, 5);

    TChGradient Copy(C.Handler());
    Copy.Assign(&G);
    EXPECT_EQ(C.Count, 5);
    EXPECT_EQ(Copy.Balance(), 20);
    EXPECT_EQ(Copy.Direction(), gdRadial);
}

TEST(ChShadow, SizeTransparencyAndAssign)
{
    TCounter C;
    TChShadow S(C.Handler());
    EXPECT_EQ(S.Color(), clSilver);
    S.SetHorizSize(3);
    S.SetVertSize(-5);
    EXPECT_EQ(S.Size(), 3);
    EXPECT_EQ(C.Count, 2);

    TChShadow Zero(C.Handler());
    Zero.SetSize(4);
    EXPECT_EQ(Zero.HorizSize(), 4);
    EXPECT_EQ(Zero.VertSize(), 4);
    EXPECT_EQ(C.Count, 4);

    struct Case { int Value, Stored; };
    for (const Case& T : {Case{150, 100}, Case{-5, 0}, Case{40, 40}}) {
        Zero.SetTransparency(T.Value);
        EXPECT_EQ(Zero.Transparency(), T.Stored);
    }

    const int Before = C.Count;
    S.Assign(&Zero);
    EXPECT_EQ(C.Count, Before);
    EXPECT_EQ(S.VertSize(), 4);
    EXPECT_EQ(S.Transparency(), 40);
    EXPECT_TRUE(S.IsHorizStored());
}

TEST(ChFont, DefaultsSubObjectsAndAssign)
{
    TCounter C;
    TChFont Font(C.Handler());
    EXPECT_EQ(Font.Name(), "Arial");
    EXPECT_EQ(Font.Size(), 8);
    EXPECT_EQ(Font.Color(), clBlack);
    EXPECT_FALSE(Font.IsNameStored());
    EXPECT_FALSE(Font.HasShadow());
    EXPECT_EQ(C.Count, 0);

    Font.Shadow()->SetHorizSize(2);
    Font.OutLine()->Show();
    Font.Gradient()->SetVisible(true);
    Font.SetInterCharSize(2);
    Font.SetInterCharSize(2);
    EXPECT_EQ(C.Count, 4);

    TChFont Copy;
    Copy.Assign(&Font);
    EXPECT_EQ(Copy.Shadow()->HorizSize(), 2);
    EXPECT_TRUE(Copy.OutLine()->Visible());
    EXPECT_TRUE(Copy.Gradient()->Visible());
    EXPECT_EQ(Copy.InterCharSize(), 2);

    // A font without sub-objects frees those of the target.
    TChFont Bare;
    Copy.Assign(&Bare);
    EXPECT_FALSE(Copy.HasShadow());
    EXPECT_FALSE(Copy.HasOutLine());
    EXPECT_FALSE(Copy.HasGradient());
    EXPECT_EQ(Copy.InterCharSize(), 0);
}
