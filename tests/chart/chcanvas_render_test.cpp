#include "chart/ChCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

// A buffered 2-D or orthogonal 3-D pass of W x H pixels on a white page;
// pixels are read from the canvas's buffer.
struct TRenderPass {
    TChCanvas3D Canvas;
    TView3DOptions Options{nullptr};
    TRenderPass(int W, int H, bool Is3D = false)
    {
        Canvas.InitWindow(nullptr, &Options, clWhite, Is3D, {0, 0, W, H});
        Canvas.Projection(40, {0, 0, W, H}, {0, 0, W, H});
        Canvas.Pen->SetStyle(psClear);
        Canvas.Brush->SetColor(clWhite);
        Canvas.FillRect({0, 0, W, H});
    }
    TColor Pixel(int X, int Y)
    {
        const uint32_t P = Canvas.BufferBitmap->ScanLine(Y)[X];
        return RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF);
    }
    void Fill(const TRect& R, TColor Color)
    {
        Canvas.Pen->SetStyle(psClear);
        Canvas.Brush->SetStyle(bsSolid);
        Canvas.Brush->SetColor(Color);
        Canvas.FillRect(R);
    }
    // Bounding box of the pixels that are not white; (0,0,0,0) for none.
    TRect Inked()
    {
        TRect R{INT32_MAX, INT32_MAX, -1, -1};
        const int W = Canvas.BufferBitmap->Width(), H = Canvas.BufferBitmap->Height();
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X)
                if (Pixel(X, Y) != clWhite) {
                    R.Left = std::min(R.Left, X);
                    R.Top = std::min(R.Top, Y);
                    R.Right = std::max(R.Right, X + 1);
                    R.Bottom = std::max(R.Bottom, Y + 1);
                }
        return R.Right < 0 ? TRect{} : R;
    }
    void Save(const std::string& Name) { Canvas.BufferBitmap->SaveToFile(std::string(OZ_TEST_ARTIFACTS) + "/" + Name); }
};

} // namespace

TEST(ChCanvasRender, CubeShowsThreeShadesOfItsColour)
{
    TRenderPass P(200, 200, true);
    P.Canvas.Pen->SetStyle(psSolid);
    P.Canvas.Brush->SetColor(RGB(200, 200, 200));
    P.Canvas.Cube(50, 100, 80, 130, 0, 40, true);
    P.Save("chcanvas_cube.png");
    EXPECT_EQ(P.Pixel(75, 105), RGB(200, 200, 200));   // front
    EXPECT_EQ(P.Pixel(120, 90), RGB(72, 72, 72));      // right side
    EXPECT_EQ(P.Pixel(95, 60), RGB(136, 136, 136));    // top
    EXPECT_EQ(P.Pixel(30, 150), clWhite);
}

TEST(ChCanvasRender, VerticalGradientBands)
{
    {
        TRenderPass P(10, 4);
        P.Canvas.GradientFill({0, 0, 10, 2}, clRed, clBlue, gdTopBottom);
        EXPECT_EQ(P.Pixel(5, 1), clRed);    // start colour at the bottom
        EXPECT_EQ(P.Pixel(5, 0), clBlue);
        P.Canvas.GradientFill({0, 3, 10, 4}, clRed, clBlue, gdTopBottom);
        EXPECT_EQ(P.Pixel(5, 3), clWhite);  // one row: no second colour, nothing painted
    }
    {
        // 256 rows, one colour each; bottom-to-top puts the start colour at the top.
        TRenderPass P(4, 256);
        P.Canvas.GradientFill({0, 0, 4, 256}, RGB(0, 0, 0), RGB(255, 100, 10), gdBottomTop);
        struct Row { int Y; TColor Color; };
        for (const Row& R : {Row{0, RGB(0, 0, 0)}, Row{1, RGB(1, 1, 1)}, Row{100, RGB(100, 40, 4)},
                             Row{255, RGB(255, 100, 10)}})
            EXPECT_EQ(P.Pixel(1, R.Y), R.Color) << R.Y;
    }
    {
        TRenderPass P(4, 1000);
        P.Canvas.GradientFill({0, 0, 4, 1000}, RGB(0, 0, 0), RGB(255, 255, 255), gdTopBottom);
        std::set<TColor> Colors;
        int Run = 1, MinRun = 1000, MaxRun = 0;
        for (int Y = 0; Y < 1000; ++Y) {
            Colors.insert(P.Pixel(0, Y));
            if (Y > 0) {
                if (P.Pixel(0, Y) == P.Pixel(0, Y - 1))
                    ++Run;
                else {
                    MinRun = std::min(MinRun, Run);
                    MaxRun = std::max(MaxRun, Run);
                    Run = 1;
                }
            }
        }
        EXPECT_EQ(Colors.size(), 256u);
        EXPECT_EQ(MinRun, 3);
        EXPECT_EQ(MaxRun, 4);
    }
}

TEST(ChCanvasRender, BalanceBendsTheCurve)
{
    TRenderPass P(4, 11);
    P.Canvas.GradientFill({0, 0, 4, 11}, RGB(0, 0, 0), RGB(200, 200, 200), gdTopBottom, 0);
    // band i of N = 10 from the bottom: 200 * ((1 + i) / 11)^0.5
    for (int I : {0, 4, 10}) {
        const int Expected = ChRound(200 * std::sqrt((1.0 + I) / 11.0));
        EXPECT_EQ(P.Pixel(0, 10 - I), RGB(Expected, Expected, Expected)) << I;
    }
}

TEST(ChCanvasRender, EveryDirectionCopesWithTinyRectangles)
{
    const TRect Rects[] = {{5, 5, 5, 5}, {5, 5, 6, 6}, {5, 5, 6, 9}, {5, 5, 9, 6}, {9, 9, 5, 5}, {5, 5, 7, 7}};
    for (int D = gdTopBottom; D <= gdDiagonalDown; ++D)
        for (const TRect& R : Rects) {
            TRenderPass P(20, 20);
            P.Canvas.GradientFill(R, clRed, clBlue, static_cast<TGradientDirection>(D));
            const TRect Ink = P.Inked();
            const TRect Area = OrientRectangle(R);
            if (Ink.Right > Ink.Left) {
                EXPECT_GE(Ink.Left, Area.Left) << D;
                EXPECT_GE(Ink.Top, Area.Top) << D;
                EXPECT_LE(Ink.Right, Area.Right + 1) << D;   // diagonal lines may touch the edge
                EXPECT_LE(Ink.Bottom, Area.Bottom + 1) << D;
            }
        }
}

TEST(ChCanvasRender, DirectionsPutTheColoursWhereExpected)
{
    struct Case { TGradientDirection Direction; TPoint StartAt; TPoint EndAt; };
    const Case Cases[] = {
        {gdTopBottom, {20, 39}, {20, 0}},
        {gdBottomTop, {20, 0}, {20, 39}},
        {gdLeftRight, {39, 20}, {0, 20}},
        {gdRightLeft, {0, 20}, {39, 20}},
        {gdFromCenter, {20, 20}, {0, 0}},
        {gdFromTopLeft, {39, 39}, {0, 0}},
        {gdFromBottomLeft, {39, 0}, {0, 39}},
        {gdRadial, {21, 21}, {0, 0}},
    };
    for (const Case& C : Cases) {
        TRenderPass P(40, 40);
        TChGradient G;
        G.SetStartColor(clRed);
        G.SetEndColor(clBlue);
        G.SetDirection(C.Direction);
        G.Draw(&P.Canvas, TRect{0, 0, 40, 40});
        const TColor S = P.Pixel(C.StartAt.X, C.StartAt.Y), E = P.Pixel(C.EndAt.X, C.EndAt.Y);
        EXPECT_GT(GetRValue(S), 200) << C.Direction;
        EXPECT_LT(GetBValue(S), 55) << C.Direction;
        EXPECT_GT(GetBValue(E), 200) << C.Direction;
        EXPECT_LT(GetRValue(E), 55) << C.Direction;
    }
}

TEST(ChCanvasRender, MiddleColourAndMonochrome)
{
    TRenderPass P(10, 41);
    TChGradient G;
    G.SetStartColor(clRed);
    G.SetEndColor(clBlue);
    G.SetMidColor(clLime);
    G.Draw(&P.Canvas, TRect{0, 0, 10, 41});
    EXPECT_EQ(P.Pixel(5, 20), clLime);
    EXPECT_EQ(P.Pixel(5, 0), clBlue);
    EXPECT_EQ(P.Pixel(5, 40), clRed);

    TRenderPass Mono(10, 20);
    Mono.Canvas.SetMonochrome(true);
    TChGradient RedBlue;
    RedBlue.SetStartColor(clRed);
    RedBlue.SetEndColor(clBlue);
    RedBlue.Draw(&Mono.Canvas, TRect{0, 0, 10, 20});
    for (int Y : {0, 10, 19})
        EXPECT_EQ(Mono.Pixel(5, Y), RGB(85, 85, 85));
}

TEST(ChCanvasRender, RadialGradientCentreAndEdge)
{
    TRenderPass P(60, 60);
    TChGradient G;
    G.SetDirection(gdRadial);
    G.SetStartColor(RGB(250, 0, 0));
    G.SetEndColor(RGB(0, 0, 250));
    G.SetRadialX(-1);
    G.SetRadialY(-1);
    G.Draw(&P.Canvas, TRect{0, 0, 60, 60});
    P.Save("chcanvas_radial.png");
    const TColor Centre = P.Pixel(30, 30);
    EXPECT_GE(GetRValue(Centre), 230);
    EXPECT_EQ(P.Pixel(0, 0), RGB(0, 0, 250));
    EXPECT_EQ(P.Pixel(59, 59), RGB(0, 0, 250));
    // symmetric about the middle
    EXPECT_EQ(P.Pixel(20, 30), P.Pixel(39, 30));
    EXPECT_EQ(P.Pixel(30, 20), P.Pixel(30, 39));
}

TEST(ChCanvasRender, BlendMixesWithTheBackground)
{
    struct Case { int Transparency; TColor Background; TColor Drawn; TColor Result; };
    const Case Cases[] = {
        {50, RGB(0, 0, 0), RGB(200, 100, 50), RGB(100, 50, 25)},
        {0, RGB(0, 0, 0), RGB(255, 255, 255), RGB(254, 255, 255)},
        {100, RGB(10, 20, 30), RGB(200, 100, 50), RGB(10, 20, 30)},
        {150, RGB(10, 20, 30), RGB(200, 100, 50), RGB(10, 20, 30)},   // clamped to 100
        {25, RGB(100, 100, 100), RGB(200, 0, 100), RGB(175, 25, 100)},
    };
    for (const Case& C : Cases) {
        TRenderPass P(20, 20);
        P.Fill({0, 0, 20, 20}, C.Background);
        TChBlend* Blend = P.Canvas.BeginBlending({5, 5, 15, 15}, C.Transparency);
        P.Fill({0, 0, 20, 20}, C.Drawn);
        P.Canvas.EndBlending(Blend);
        EXPECT_EQ(P.Pixel(10, 10), C.Result) << C.Transparency;
        EXPECT_EQ(P.Pixel(2, 2), C.Drawn) << C.Transparency;
    }
}

TEST(ChCanvasRender, NestedBlendsKeepTheirOwnPercent)
{
    TRenderPass P(40, 20);
    P.Fill({0, 0, 40, 20}, RGB(0, 0, 0));
    TChBlend* Shape = P.Canvas.BeginBlending({0, 0, 20, 20}, 50);
    TChBlend* Shadow = P.Canvas.BeginBlending({20, 0, 40, 20}, 80);
    P.Fill({20, 0, 40, 20}, RGB(200, 200, 200));
    P.Canvas.EndBlending(Shadow);
    P.Fill({0, 0, 20, 20}, RGB(200, 200, 200));
    P.Canvas.EndBlending(Shape);
    EXPECT_EQ(P.Pixel(30, 10), RGB(40, 40, 40));
    EXPECT_EQ(P.Pixel(10, 10), RGB(100, 100, 100));
}

TEST(ChCanvasRender, BlendRectanglesAndMetafiles)
{
    TRenderPass P(20, 20);
    TChBlend Corner(&P.Canvas, {-10, -10, 0, 0});
    EXPECT_TRUE(Corner.Valid());
    EXPECT_EQ(Corner.Rectangle(), (TRect{0, 0, 1, 1}));
    TChBlend Outside(&P.Canvas, {30, 30, 40, 40});
    EXPECT_FALSE(Outside.Valid());

    P.Canvas.Metafiling = true;
    TChBlend* Blend = P.Canvas.BeginBlending({0, 0, 20, 20}, 50);
    P.Fill({0, 0, 20, 20}, clRed);
    P.Canvas.EndBlending(Blend);
    EXPECT_EQ(P.Pixel(5, 5), clRed);
}

TEST(ChCanvasRender, SmoothShadowFadesInBands)
{
    TRenderPass P(60, 60);
    TChShadow S;
    S.SetColor(clBlack);
    S.SetVertSize(5);
    S.Draw(&P.Canvas, TRect{10, 10, 40, 30});
    P.Save("chcanvas_shadow.png");
    for (int I = 0; I < 5; ++I)
        EXPECT_EQ(P.Pixel(12, 30 + I), RGB(51 * I, 51 * I, 51 * I)) << I;
    EXPECT_EQ(P.Pixel(12, 35), clWhite);

    // Only the right band when the vertical size is negative.
    TRenderPass Right(60, 60);
    S.SetVertSize(-3);
    S.SetHorizSize(4);
    S.Draw(&Right.Canvas, TRect{10, 10, 40, 30});
    EXPECT_EQ(Right.Pixel(40, 20), clBlack);
    EXPECT_EQ(Right.Pixel(20, 30), clWhite);
    EXPECT_EQ(Right.Pixel(20, 28), clWhite);
}

TEST(ChCanvasRender, FlatShadowAndNoShadow)
{
    TRenderPass P(60, 60);
    TChShadow S;
    S.SetColor(clGray);
    S.SetSize(1);   // smooth, but too small for bands
    S.Draw(&P.Canvas, TRect{10, 10, 40, 30});
    EXPECT_EQ(P.Pixel(20, 30), clGray);
    EXPECT_EQ(P.Pixel(40, 20), clGray);

    TRenderPass None(60, 60);
    None.Canvas.Pen->SetColor(clRed);
    None.Canvas.Brush->SetColor(clYellow);
    TChShadow Off;
    Off.SetSize(3);
    Off.SetColor(clNone);
    Off.Draw(&None.Canvas, TRect{10, 10, 40, 30});
    EXPECT_EQ(None.Inked(), TRect{});
    EXPECT_EQ(None.Canvas.Brush->Color(), clYellow);
    EXPECT_EQ(None.Canvas.Pen->Color(), clRed);
}

TEST(ChCanvasRender, TranslucentShadow)
{
    TRenderPass P(60, 60);
    P.Fill({0, 0, 60, 60}, RGB(0, 0, 0));
    TChShadow S;
    S.SetColor(RGB(200, 200, 200));
    S.SetSmooth(false);
    S.SetSize(6);
    S.SetTransparency(50);
    S.Draw(&P.Canvas, TRect{10, 10, 40, 30});
    EXPECT_EQ(P.Pixel(25, 33), RGB(100, 100, 100));
}

TEST(ChCanvasRender, EllipseShadowIsDarkInTheMiddle)
{
    TRenderPass P(80, 80);
    TChShadow S;
    S.SetColor(RGB(128, 128, 128));
    S.SetSize(10);
    S.DrawEllipse(&P.Canvas, {10, 10, 60, 60});
    const TColor Middle = P.Pixel(45, 45);
    EXPECT_LT(GetRValue(Middle), 30);
    EXPECT_EQ(P.Pixel(21, 21), clWhite);   // outside the shifted ellipse
}

TEST(ChCanvasRender, FrameAndWidePixel)
{
    TRenderPass P(30, 30);
    TRect R{5, 5, 15, 15};
    P.Canvas.Frame3D(R, clRed, clBlue, 2);
    EXPECT_EQ(R, (TRect{7, 7, 13, 13}));
    EXPECT_EQ(P.Pixel(5, 10), clRed);
    EXPECT_EQ(P.Pixel(10, 5), clRed);
    EXPECT_EQ(P.Pixel(14, 10), clBlue);
    EXPECT_EQ(P.Pixel(10, 14), clBlue);
    EXPECT_EQ(P.Pixel(6, 10), clRed);
    EXPECT_EQ(P.Pixel(13, 10), clBlue);

    P.Canvas.Pen->SetStyle(psSolid);
    P.Canvas.Pen->SetWidth(3);
    P.Canvas.Pen->SetColor(clGreen);
    P.Canvas.SetPixel3D(22, 22, 0, clRed);
    EXPECT_EQ(P.Pixel(22, 22), clGreen);
}

TEST(ChCanvasRender, DonutLeavesItsHoleEmpty)
{
    TRenderPass P(100, 100);
    P.Canvas.Pen->SetStyle(psClear);
    P.Canvas.Brush->SetColor(clRed);
    P.Canvas.Donut(50, 50, 40, 40, 0, M_PI, 50);
    EXPECT_EQ(P.Pixel(50, 20), clRed);    // in the ring, upper half
    EXPECT_EQ(P.Pixel(50, 45), clWhite);  // in the hole
    EXPECT_EQ(P.Pixel(50, 80), clWhite);  // lower half not part of the sector
}

TEST(ChCanvasRender, TextRotatedAQuarterTurnStandsUpright)
{
    TRenderPass P(200, 200);
    TChFont Font;
    Font.SetSize(14);
    P.Canvas.AssignFont(&Font);
    P.Canvas.TextOut(20, 20, "Hello World");
    const TRect Flat = P.Inked();
    TRenderPass Q(200, 200);
    Q.Canvas.AssignFont(&Font);
    Q.Canvas.RotateLabel(100, 180, "Hello World", 90);
    Q.Save("chcanvas_rotated_text.png");
    const TRect Up = Q.Inked();
    EXPECT_GT(Flat.Width(), Flat.Height() * 3);
    EXPECT_GT(Up.Height(), Up.Width() * 3);
    EXPECT_NEAR(Up.Height(), Flat.Width(), 3);
    EXPECT_LE(Up.Bottom, 181);    // written upwards from the anchor
}

TEST(ChCanvasRender, OutlinedTextWithoutColourIsHollow)
{
    TRenderPass Filled(200, 80), Hollow(200, 80);
    TChFont Font;
    Font.SetSize(36);
    Font.SetStyle(TFontStyles{fsBold});
    Font.OutLine()->Show();
    Font.OutLine()->SetColor(clBlack);
    Filled.Canvas.AssignFont(&Font);
    Filled.Canvas.TextOut(10, 10, "O");
    Font.SetColor(clNone);
    Hollow.Canvas.AssignFont(&Font);
    Hollow.Canvas.TextOut(10, 10, "O");
    int FilledInk = 0, HollowInk = 0;
    for (int Y = 0; Y < 80; ++Y)
        for (int X = 0; X < 200; ++X) {
            FilledInk += Filled.Pixel(X, Y) != clWhite;
            HollowInk += Hollow.Pixel(X, Y) != clWhite;
        }
    EXPECT_GT(HollowInk, 0);
    EXPECT_LT(HollowInk, FilledInk);
}

TEST(ChCanvasRender, GradientText)
{
    TRenderPass P(200, 80);
    TChFont Font;
    Font.SetSize(36);
    Font.SetStyle(TFontStyles{fsBold});
    Font.Gradient()->SetVisible(true);
    Font.Gradient()->SetStartColor(clRed);
    Font.Gradient()->SetEndColor(clRed);
    P.Canvas.AssignFont(&Font);
    P.Canvas.TextOut(10, 10, "H");
    P.Save("chcanvas_gradient_text.png");
    const TRect Ink = P.Inked();
    ASSERT_GT(Ink.Width(), 5);
    int Red = 0, Other = 0;
    for (int Y = Ink.Top; Y < Ink.Bottom; ++Y)
        for (int X = Ink.Left; X < Ink.Right; ++X) {
            const TColor C = P.Pixel(X, Y);
            if (C == clRed)
                ++Red;
            else if (C != clWhite && GetRValue(C) < 200)
                ++Other;
        }
    EXPECT_GT(Red, 50);
    EXPECT_EQ(Other, 0);
    EXPECT_FALSE(P.Canvas.ReferenceCanvas->HasClip());
}

TEST(ChCanvasRender, PieSliceInDepthWithGradient)
{
    TRenderPass P(200, 200, true);
    P.Canvas.Pen->SetStyle(psSolid);
    P.Canvas.Brush->SetColor(RGB(0, 160, 0));
    P.Canvas.Pie3D(100, 100, 60, 60, 0, 20, 0.2, 2.0, true, true, 0, nullptr);
    P.Save("chcanvas_pie3d.png");
    // The faces lie at depth 20, moved 20 right and up: centre (120, 80).
    EXPECT_EQ(P.Pixel(130, 50), RGB(0, 160, 0));   // face
    EXPECT_EQ(P.Pixel(139, 84), RGB(0, 128, 0));   // side at the start angle, darkened
    EXPECT_EQ(P.Pixel(110, 110), clWhite);

    TRenderPass D(200, 200, true);
    TChGradient G;
    G.SetStartColor(clRed);
    G.SetEndColor(clRed);
    D.Canvas.Pie3D(100, 100, 60, 60, 0, 20, 3.5, 5.5, true, true, 40, &G);
    D.Save("chcanvas_donut3d.png");
    EXPECT_EQ(D.Pixel(120, 125), clRed);           // face, painted by the gradient
    EXPECT_EQ(D.Pixel(122, 84), clWhite);          // the hole
    EXPECT_FALSE(D.Canvas.ReferenceCanvas->HasClip());
}

TEST(ChCanvasRender, PictureLaidIntoDepthAndPolygonGradient)
{
    TRenderPass P(100, 100);
    TBitmap Picture(2, 2);
    Picture.ScanLine(0)[0] = 0xFFFF0000u;   // red
    Picture.ScanLine(0)[1] = 0xFF00FF00u;   // green
    Picture.ScanLine(1)[0] = 0xFF0000FFu;   // blue
    Picture.ScanLine(1)[1] = 0xFF000000u;
    P.Canvas.StretchDraw({10, 10, 30, 30}, &Picture, 0);
    EXPECT_EQ(P.Pixel(15, 15), clRed);
    EXPECT_EQ(P.Pixel(25, 15), clLime);
    EXPECT_EQ(P.Pixel(15, 25), clBlue);
    EXPECT_EQ(P.Pixel(25, 25), clBlack);

    TChGradient G;
    G.SetStartColor(clBlue);
    G.SetEndColor(clBlue);
    P.Canvas.UnClipRectangle();
    G.Draw(&P.Canvas, TPointArray{{50, 50}, {90, 50}, {50, 90}}, 0, false);
    EXPECT_EQ(P.Pixel(55, 55), clBlue);
    EXPECT_EQ(P.Pixel(85, 85), clWhite);   // outside the triangle
    EXPECT_FALSE(P.Canvas.ReferenceCanvas->HasClip());
}

TEST(ChCanvasRender, BlendBetweenPassesWorksOnTheWindow)
{
    TBitmap Window(40, 40);
    TChCanvas3D Canvas;
    Canvas.InitWindow(Window.Canvas(), nullptr, clWhite, false, {0, 0, 40, 40});
    Canvas.ShowImage(Window.Canvas(), Window.Canvas(), {0, 0, 40, 40});
    ASSERT_NE(Canvas.BufferBitmap, nullptr);

    Canvas.Pen->SetStyle(psClear);
    Canvas.Brush->SetColor(clBlack);
    Canvas.FillRect({0, 0, 40, 40});
    TChBlend* Blend = Canvas.BeginBlending({10, 10, 30, 30}, 50);
    Canvas.Brush->SetColor(clRed);
    Canvas.FillRect({0, 0, 40, 40});
    Canvas.EndBlending(Blend);
    EXPECT_EQ(Window.Canvas()->Pixels(20, 20), RGB(128, 0, 0));
    EXPECT_EQ(Window.Canvas()->Pixels(5, 5), clRed);
}
