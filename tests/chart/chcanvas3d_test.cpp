#include "chart/ChCanvas.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A platform canvas that keeps every operation with the pen, brush and font
// in force when it was made.
class TRecordingCanvas : public TCanvas {
public:
    struct TEntry {
        TCanvasOp Op;
        TColor PenColor;
        TPenStyle PenStyle;
        int PenWidth;
        TColor BrushColor;
        TBrushStyle BrushStyle;
        TColor FontColor;
        int FontOrientation;
        int FontSize;
    };
    void Perform(const TCanvasOp& Op) override
    {
        Entries.push_back({Op, Pen()->Color(), Pen()->Style(), Pen()->Width(), Brush()->Color(), Brush()->Style(),
                           Font()->Color(), Font()->Orientation(), Font()->Size()});
    }
    std::vector<TEntry> Of(TCanvasOp::TKind Kind) const
    {
        std::vector<TEntry> Result;
        for (const TEntry& E : Entries)
            if (E.Op.Kind == Kind)
                Result.push_back(E);
        return Result;
    }
    std::vector<TEntry> Entries;
};

// A canvas drawing straight (unbuffered) into a recorder.
struct TRecordedPass {
    TChCanvas3D Canvas;
    TRecordingCanvas Device;
    TView3DOptions Options{nullptr};
    explicit TRecordedPass(bool Is3D = false, bool Orthogonal = true)
    {
        Canvas.SetUseBuffer(false);
        Options.SetOrthogonal(Orthogonal);
        Canvas.InitWindow(&Device, &Options, clWhite, Is3D, {0, 0, 200, 200});
        Canvas.Projection(40, {0, 0, 200, 200}, {0, 0, 200, 200});
    }
};

class TCountingCanvas : public TChCanvas3D {
public:
    void DisableRotation() override
    {
        ++Disabled;
        TChCanvas3D::DisableRotation();
    }
    void EnableRotation() override
    {
        ++Enabled;
        TChCanvas3D::EnableRotation();
    }
    int Disabled = 0;
    int Enabled = 0;
};

TRect ClipBounds(TCanvas* Canvas)
{
    TRegion R;
    if (!Canvas->GetClipRegion(R))
        return {-1, -1, -1, -1};
    return R.BoundsRect();
}

} // namespace

TEST(ChCanvas3DProjection, TwoDimensionalPassIsTheIdentity)
{
    TRecordedPass Pass(false);
    EXPECT_EQ(Pass.Canvas.Calculate3DPosition(10, 20, 99), (TPoint{10, 20}));
    Pass.Canvas.RectangleWithZ({5, 6, 50, 60}, 30);
    const auto Polygons = Pass.Device.Of(TCanvasOp::opPolygon);
    ASSERT_EQ(Polygons.size(), 1u);
    EXPECT_EQ(Polygons[0].Op.Pts, (std::vector<TPoint>{{5, 6}, {50, 6}, {50, 60}, {5, 60}}));
}

TEST(ChCanvas3DProjection, OrthogonalPointsShiftWithDepth)
{
    struct Case { int Angle; int Zoom; TPoint Expected; };
    const Case Cases[] = {
        {45, 100, {110, 90}},
        {135, 100, {90, 90}},
        {90, 100, {110, 90}},     // straight up: the factor stays 1
        {45, 200, {120, 80}},
        {0, 100, {110, 100}},
    };
    for (const Case& C : Cases) {
        TChCanvas3D Canvas;
        TView3DOptions Options(nullptr);
        Options.SetOrthoAngle(C.Angle);
        Options.SetZoom(C.Zoom);
        Canvas.InitWindow(nullptr, &Options, clWhite, true, {0, 0, 200, 200});
        Canvas.Projection(40, {0, 0, 200, 200}, {0, 0, 200, 200});
        EXPECT_EQ(Canvas.Calculate3DPosition(100, 100, 10), C.Expected) << C.Angle << " " << C.Zoom;
        // and back again
        TPoint P = Canvas.Calculate3DPosition(37, 151, 25);
        Canvas.Calculate2DPosition(P.X, P.Y, 25);
        if (C.Zoom == 100) {
            EXPECT_EQ(P, (TPoint{37, 151})) << C.Angle;
        }
    }
}

TEST(ChCanvas3DProjection, OffsetsMoveTheOrigin)
{
    TChCanvas3D Canvas;
    TView3DOptions Options(nullptr);
    Options.SetHorizOffset(7);
    Options.SetVertOffset(-4);
    Canvas.InitWindow(nullptr, &Options, clWhite, true, {0, 0, 200, 100});
    Canvas.Projection(40, {0, 0, 200, 100}, {0, 0, 200, 100});
    EXPECT_EQ(Canvas.Calculate3DPosition(100, 50, 0), (TPoint{107, 46}));
}

TEST(ChCanvas3DProjection, RotationWithZeroAnglesIgnoresDepth)
{
    TChCanvas3D Canvas;
    TView3DOptions Options(nullptr);
    Options.SetOrthogonal(false);
    Options.SetElevation(0);
    Options.SetRotation(0);
    Options.SetPerspective(0);
    Options.SetHorizOffset(3);
    Canvas.InitWindow(nullptr, &Options, clWhite, true, {0, 0, 200, 200});
    Canvas.Projection(40, {0, 0, 200, 200}, {0, 0, 200, 200});
    for (int Z : {0, 20, 500})
        EXPECT_EQ(Canvas.Calculate3DPosition(30, 170, Z), (TPoint{33, 170})) << Z;
    int X = 33, Y = 170;
    Canvas.Calculate2DPosition(X, Y, 20);
    EXPECT_EQ(X, 30);
    EXPECT_EQ(Y, 170);
}

TEST(ChCanvas3DProjection, PerspectiveOnAnEmptyRectangleStaysFinite)
{
    TChCanvas3D Canvas;
    TView3DOptions Options(nullptr);
    Options.SetOrthogonal(false);
    Canvas.InitWindow(nullptr, &Options, clWhite, true, {0, 0, 0, 0});
    Canvas.Projection(40, {0, 0, 0, 0}, {0, 0, 0, 0});
    EXPECT_FALSE(Canvas.PerspectiveOn);
    const TPoint P = Canvas.Calculate3DPosition(10, 10, 10);
    EXPECT_LT(std::abs(P.X), 100);
    EXPECT_LT(std::abs(P.Y), 100);
}

TEST(ChCanvas3DPass, FrontPlanePairsNest)
{
    TCountingCanvas Canvas;
    TView3DOptions Options(nullptr);
    Options.SetOrthogonal(false);
    Canvas.InitWindow(nullptr, &Options, clWhite, true, {0, 0, 100, 100});
    Canvas.FrontPlaneBegin();
    Canvas.FrontPlaneBegin();
    EXPECT_FALSE(Canvas.Mode3D);
    Canvas.FrontPlaneEnd();
    EXPECT_FALSE(Canvas.Mode3D);
    Canvas.FrontPlaneEnd();
    EXPECT_TRUE(Canvas.Mode3D);
    EXPECT_EQ(Canvas.Disabled, 1);
    EXPECT_EQ(Canvas.Enabled, 1);
}

TEST(ChCanvas3DPass, BufferedImageIsReusedOnlyWhenCurrent)
{
    TBitmap Window(60, 40);
    TChCanvas3D Canvas;
    EXPECT_FALSE(Canvas.ReDrawBitmap());

    const TRect Inner = Canvas.InitWindow(Window.Canvas(), nullptr, clWhite, false, {10, 5, 60, 40});
    EXPECT_EQ(Inner, (TRect{0, 0, 50, 35}));
    EXPECT_EQ(Canvas.ReferenceCanvas, Canvas.BufferBitmap->Canvas());
    Canvas.Brush->SetColor(clRed);
    Canvas.FillRect({0, 0, 50, 35});
    Canvas.ShowImage(Window.Canvas(), Window.Canvas(), {10, 5, 60, 40});
    EXPECT_EQ(Canvas.ReferenceCanvas, Window.Canvas());
    EXPECT_EQ(Window.Canvas()->Pixels(10, 5), clRed);
    EXPECT_EQ(Window.Canvas()->Pixels(9, 5), clWhite);

    Window.Canvas()->Brush()->SetColor(clWhite);
    Window.Canvas()->FillRect({0, 0, 60, 40});
    EXPECT_TRUE(Canvas.ReDrawBitmap());
    EXPECT_EQ(Window.Canvas()->Pixels(0, 0), clRed);

    Canvas.Invalidate();
    EXPECT_FALSE(Canvas.ReDrawBitmap());

    // Switching the buffer off mid-pass leaves no canvas bound to a freed bitmap.
    Canvas.InitWindow(Window.Canvas(), nullptr, clWhite, false, {0, 0, 60, 40});
    Canvas.SetUseBuffer(false);
    EXPECT_EQ(Canvas.BufferBitmap, nullptr);
    Canvas.FillRect({0, 0, 5, 5});
}

TEST(ChCanvas3DClip, SecondClipReplacesWhatTheFirstSaved)
{
    TBitmap B(100, 100);
    TChCanvas3D Canvas;
    Canvas.SetUseBuffer(false);
    Canvas.InitWindow(B.Canvas(), nullptr, clWhite, false, {0, 0, 100, 100});
    Canvas.ClipRectangle({10, 10, 90, 90});
    Canvas.ClipRectangle({20, 20, 50, 50});
    EXPECT_EQ(ClipBounds(B.Canvas()), (TRect{20, 20, 50, 50}));
    Canvas.UnClipRectangle();
    EXPECT_EQ(ClipBounds(B.Canvas()), (TRect{10, 10, 90, 90}));
    Canvas.UnClipRectangle();
    EXPECT_FALSE(B.Canvas()->HasClip());
}

TEST(ChCanvas3DClip, EachPlatformCanvasKeepsItsOwnSavedClip)
{
    TBitmap A(100, 100), B(100, 100);
    A.Canvas()->SelectClipRect({0, 0, 70, 70}, RGN_COPY);
    TChCanvas3D CanvasA, CanvasB;
    CanvasA.SetUseBuffer(false);
    CanvasB.SetUseBuffer(false);
    CanvasA.InitWindow(A.Canvas(), nullptr, clWhite, false, {0, 0, 100, 100});
    CanvasB.InitWindow(B.Canvas(), nullptr, clWhite, false, {0, 0, 100, 100});
    CanvasA.ClipRectangle({10, 10, 20, 20});
    CanvasB.ClipRectangle({30, 30, 40, 40});
    CanvasA.UnClipRectangle();
    EXPECT_EQ(ClipBounds(A.Canvas()), (TRect{0, 0, 70, 70}));
    CanvasB.UnClipRectangle();
    EXPECT_FALSE(B.Canvas()->HasClip());
}

TEST(ChCanvas3DClip, ClipCubeAndPolygon)
{
    TBitmap B(200, 200);
    TChCanvas3D Canvas;
    Canvas.SetUseBuffer(false);
    Canvas.InitWindow(B.Canvas(), nullptr, clWhite, false, {0, 0, 200, 200});
    Canvas.ClipCube({0, 0, 100, 50}, 0, 10);
    EXPECT_EQ(ClipBounds(B.Canvas()), (TRect{1, 1, 100, 49}));
    Canvas.UnClipRectangle();

    TPointArray Points = {{10, 10}, {60, 10}, {10, 60}};
    const TPointArray Copy = Points;
    Canvas.ClipPolygon(Points, 3);
    EXPECT_EQ(Points, Copy);
    EXPECT_TRUE(B.Canvas()->HasClip());
    Canvas.UnClipRectangle();

    // In 3-D the clip is the hull of the projected box.
    TView3DOptions Options(nullptr);
    Canvas.InitWindow(B.Canvas(), &Options, clWhite, true, {0, 0, 200, 200});
    Canvas.Projection(20, {0, 0, 200, 200}, {0, 0, 200, 200});
    Canvas.ClipCube({50, 50, 100, 100}, 0, 20);
    EXPECT_EQ(ClipBounds(B.Canvas()), (TRect{50, 30, 120, 100}));
    Canvas.UnClipRectangle();
}

TEST(ChCanvasPens, ChartPensAreRealisedOnTheDevicePen)
{
    TRecordedPass Pass;
    TChCanvas3D& C = Pass.Canvas;

    TChartPen Hidden;
    Hidden.Hide();
    Hidden.SetColor(clRed);
    C.Pen->SetColor(clBlue);
    C.AssignVisiblePen(&Hidden);
    EXPECT_EQ(C.Pen->Style(), psClear);
    EXPECT_EQ(C.Pen->Color(), clBlue);

    TChartPen Dots;
    Dots.SetSmallDots(true);
    Dots.SetWidth(4);
    Dots.SetMode(pmXor);
    C.AssignVisiblePenColor(&Dots, clGreen);
    EXPECT_EQ(C.Pen->Style(), psAlternate);
    EXPECT_EQ(C.Pen->Width(), 1);
    EXPECT_EQ(C.Pen->Color(), clGreen);
    EXPECT_EQ(C.Pen->Mode(), pmXor);

    struct Case { TPenEndStyle End; TPenEndCap Cap; TPenJoinStyle Join; };
    for (const Case& K : {Case{esRound, pecRound, pjsRound}, Case{esSquare, pecSquare, pjsBevel}, Case{esFlat, pecFlat, pjsMiter}}) {
        TChartPen Wide;
        Wide.SetWidth(3);
        Wide.SetStyle(psDash);
        Wide.SetEndStyle(K.End);
        C.AssignVisiblePenColor(&Wide, clRed);
        EXPECT_EQ(C.Pen->Width(), 3);
        EXPECT_EQ(C.Pen->Style(), psDash);
        EXPECT_EQ(C.Pen->Color(), clRed);
        EXPECT_EQ(C.Pen->EndCap(), K.Cap);
        EXPECT_EQ(C.Pen->JoinStyle(), K.Join);
    }

    C.SetMonochrome(true);
    TChartPen Red;
    Red.SetColor(clRed);
    C.AssignVisiblePen(&Red);
    EXPECT_EQ(C.Pen->Color(), clBlack);
}

TEST(ChCanvasPens, BrushesSetTheBackModeFromTheirBackColour)
{
    TRecordedPass Pass;
    TChCanvas3D& C = Pass.Canvas;
    TChartBrush Brush;
    Brush.SetStyle(bsCross);
    C.AssignBrushColor(&Brush, clRed, clNone);
    EXPECT_EQ(C.Brush->Color(), clRed);
    EXPECT_EQ(C.Brush->Style(), bsCross);
    EXPECT_EQ(C.BackMode(), cbmTransparent);
    C.AssignBrushColor(&Brush, clRed, clYellow);
    EXPECT_EQ(C.BackMode(), cbmOpaque);
    EXPECT_EQ(C.BackColor(), clYellow);

    Brush.Image()->Bitmap()->SetSize(8, 8);
    C.AssignBrushColor(&Brush, clRed, clBlue);
    ASSERT_NE(C.Brush->Bitmap(), nullptr);
    EXPECT_EQ(C.Brush->Bitmap()->Width(), 8);
    EXPECT_EQ(C.BackMode(), cbmOpaque);

    Brush.Clear();
    C.SetMonochrome(true);
    C.AssignBrush(&Brush, clRed);
    EXPECT_EQ(C.Brush->Color(), clWhite);
    EXPECT_EQ(C.Brush->Bitmap(), nullptr);
}

TEST(ChCanvasPens, ResetStateAndInternalDark)
{
    TRecordedPass Pass;
    TChCanvas3D& C = Pass.Canvas;
    C.Pen->SetWidth(5);
    C.Brush->SetStyle(bsCross);
    C.Font->SetName("Courier New");
    C.ResetState();
    EXPECT_EQ(C.Pen->Width(), 1);
    EXPECT_EQ(C.Brush->Style(), bsSolid);
    EXPECT_EQ(C.Brush->Color(), clWhite);
    EXPECT_EQ(C.Font->Name(), "Arial");
    EXPECT_EQ(C.Font->Size(), 8);
    EXPECT_EQ(C.BackMode(), cbmTransparent);
    EXPECT_EQ(C.TextAlign(), 0);

    C.InternalDark(RGB(100, 100, 100), 64);
    EXPECT_EQ(C.Brush->Color(), RGB(36, 36, 36));
    C.Brush->SetStyle(bsCross);
    C.InternalDark(RGB(100, 100, 100), 32);
    EXPECT_EQ(C.BackColor(), RGB(68, 68, 68));
}

TEST(ChCanvasSolids, FacesDrawnByCubeAndEllipse)
{
    {
        TRecordedPass Pass(true);
        Pass.Canvas.Brush->SetStyle(bsClear);
        Pass.Canvas.Cube(50, 100, 80, 130, 0, 40, true);
        EXPECT_EQ(Pass.Device.Of(TCanvasOp::opPolygon).size(), 5u);
    }
    {
        // A solid orthogonal box shows front, right side and top.
        TRecordedPass Pass(true);
        Pass.Canvas.Brush->SetColor(RGB(200, 200, 200));
        Pass.Canvas.Cube(50, 100, 80, 130, 0, 40, true);
        const auto Faces = Pass.Device.Of(TCanvasOp::opPolygon);
        ASSERT_EQ(Faces.size(), 3u);
        EXPECT_EQ(Faces[0].BrushColor, RGB(200, 200, 200));
        EXPECT_EQ(Faces[1].BrushColor, RGB(72, 72, 72));
        EXPECT_EQ(Faces[2].BrushColor, RGB(136, 136, 136));
    }
    {
        TRecordedPass Pass(false);
        Pass.Canvas.EllipseWithZ(10, 20, 30, 40, 5);
        const auto E = Pass.Device.Of(TCanvasOp::opEllipse);
        ASSERT_EQ(E.size(), 1u);
        EXPECT_EQ(E[0].Op.R, (TRect{10, 20, 31, 41}));
    }
}

TEST(ChCanvasSolids, CylinderSidesDarkenStepByStep)
{
    TRecordedPass Pass(true);
    Pass.Canvas.Brush->SetColor(RGB(200, 200, 200));
    Pass.Canvas.Cylinder(true, 50, 50, 100, 150, 0, 40, true);
    const auto Polygons = Pass.Device.Of(TCanvasOp::opPolygon);
    ASSERT_GE(Polygons.size(), 3u);
    for (size_t I = 0; I + 1 < Polygons.size(); ++I) {
        const int Level = GetRValue(Polygons[I].BrushColor);
        EXPECT_EQ((200 - Level) % 8, 0) << I;
        EXPECT_LE(200 - Level, 112) << I;
    }
    // the cap
    EXPECT_EQ(Polygons.back().BrushColor, RGB(136, 136, 136));
    EXPECT_EQ(Polygons.back().Op.Pts.size(), 16u);
}

TEST(ChCanvasSolids, OnlyAFullCylinderClosesItsSides)
{
    // Seen straight from the front (no angles), so that the faces that are
    // drawn depend only on the rim and not on the tip size.
    auto Polygons = [](int ConePercent) {
        TRecordedPass Pass(true, false);
        Pass.Options.SetElevation(0);
        Pass.Options.SetRotation(0);
        Pass.Options.SetPerspective(0);
        Pass.Canvas.InitWindow(&Pass.Device, &Pass.Options, clWhite, true, {0, 0, 200, 200});
        Pass.Canvas.Projection(40, {0, 0, 200, 200}, {0, 0, 200, 200});
        Pass.Canvas.Cone(true, 50, 50, 100, 150, 0, 40, false, ConePercent);
        return Pass.Device.Of(TCanvasOp::opPolygon).size();
    };
    EXPECT_EQ(Polygons(100), Polygons(50) + 1);
    EXPECT_EQ(Polygons(100), Polygons(0) + 1);   // 0 takes the default tip, 0 %
}

TEST(ChCanvasSolids, PieArcPointsPerTwoDegrees)
{
    struct Case { double Degrees; size_t FacePoints; };
    for (const Case& C : {Case{1, 3}, Case{360, 97}, Case{90, 48}}) {
        TRecordedPass Pass(true);
        Pass.Canvas.Pie3D(100, 100, 50, 50, 0, 10, 0, C.Degrees * M_PI / 180, false, false, 0, nullptr);
        const auto Polygons = Pass.Device.Of(TCanvasOp::opPolygon);
        ASSERT_FALSE(Polygons.empty());
        EXPECT_EQ(Polygons[0].Op.Pts.size(), C.FacePoints) << C.Degrees;
    }
}

TEST(ChCanvasSolids, ArrowsAndPyramids)
{
    TRecordedPass Pass(false);
    Pass.Canvas.Arrow(true, {10, 10}, {10, 10}, 8, 8, 0);
    EXPECT_TRUE(Pass.Device.Entries.empty());

    // A head longer than the arrow is as long as the arrow: its base sits on
    // the start point.
    Pass.Canvas.Arrow(true, {10, 50}, {30, 50}, 8, 100, 0);
    const auto Arrow = Pass.Device.Of(TCanvasOp::opPolygon);
    ASSERT_EQ(Arrow.size(), 1u);
    ASSERT_EQ(Arrow[0].Op.Pts.size(), 7u);
    EXPECT_EQ(Arrow[0].Op.Pts[4], (TPoint{30, 50}));
    EXPECT_EQ(Arrow[0].Op.Pts[3].X, 10);
    EXPECT_EQ(Arrow[0].Op.Pts[5].X, 10);
    EXPECT_EQ(std::abs(Arrow[0].Op.Pts[3].Y - Arrow[0].Op.Pts[5].Y), 8);

    Pass.Device.Entries.clear();
    Pass.Canvas.Arrow(false, {10, 50}, {30, 50}, 8, 4, 0);
    EXPECT_EQ(Pass.Device.Of(TCanvasOp::opLine).size(), 3u);

    TRecordedPass Solid(true);
    Solid.Canvas.Pyramid(true, 50, 50, 100, 100, 0, 40, true);
    Solid.Canvas.PyramidTrunc({50, 50, 100, 100}, 0, 40, 10, 10);
    EXPECT_GE(Solid.Device.Of(TCanvasOp::opPolygon).size(), 4u);
}

TEST(ChCanvasText, FontZoomShadowOffsetsAndRotation)
{
    TRecordedPass Pass;
    TChCanvas3D& C = Pass.Canvas;
    TChFont Font;
    C.FontZoomFactor = 150;
    C.AssignFont(&Font);
    EXPECT_EQ(C.Font->Size(), 12);
    EXPECT_EQ(C.CurrentFont, &Font);
    C.FontZoomFactor = 100;

    Font.Shadow()->SetHorizSize(-2);
    Font.Shadow()->SetVertSize(3);
    Font.Shadow()->SetColor(clGray);
    Font.SetColor(clRed);
    C.AssignFont(&Font);
    C.TextOut(10, 10, "Ab");
    const auto Texts = Pass.Device.Of(TCanvasOp::opTextOut);
    ASSERT_EQ(Texts.size(), 2u);
    EXPECT_EQ(Texts[0].Op.Pts[0], (TPoint{10, 13}));
    EXPECT_EQ(Texts[0].FontColor, clGray);
    EXPECT_EQ(Texts[1].Op.Pts[0], (TPoint{12, 10}));
    EXPECT_EQ(Texts[1].FontColor, clRed);
    const int Plain = Pass.Device.TextWidth("Ab");
    EXPECT_EQ(C.TextWidth("Ab"), Plain + 2);

    // A font whose shadow was never made writes no shadow.
    TChFont Bare;
    C.AssignFont(&Bare);
    Pass.Device.Entries.clear();
    struct Case { double Angle; int Orientation; };
    for (const Case& K : {Case{450, 900}, Case{360, 3600}, Case{-90, 2700}, Case{45.04, 450}}) {
        C.RotateLabel(20, 20, "x", K.Angle);
        EXPECT_EQ(Pass.Device.Entries.back().FontOrientation, K.Orientation) << K.Angle;
    }
    EXPECT_EQ(Pass.Device.Of(TCanvasOp::opTextOut).size(), 4u);
    EXPECT_EQ(C.Font->Orientation(), 0);
}

TEST(ChCanvasText, ZoomedTextNeverShrinksToNothing)
{
    TChCanvas3D Canvas;
    TRecordingCanvas Device;
    TView3DOptions Options(nullptr);
    Options.SetZoom(1);
    Canvas.SetUseBuffer(false);
    Canvas.InitWindow(&Device, &Options, clWhite, true, {0, 0, 100, 100});
    Canvas.Projection(10, {0, 0, 100, 100}, {0, 0, 100, 100});
    TChFont Font;
    Canvas.AssignFont(&Font);
    Canvas.TextOut3D(10, 10, 0, "x");
    ASSERT_EQ(Device.Entries.size(), 1u);
    EXPECT_EQ(Device.Entries[0].FontSize, 1);
    EXPECT_EQ(Canvas.Font->Size(), 8);
}

TEST(ChCanvasText, FontAndCanvasMayGoInEitherOrder)
{
    auto First = std::make_unique<TChCanvas3D>();
    auto Second = std::make_unique<TChCanvas3D>();
    auto Font = std::make_unique<TChFont>();
    First->AssignFont(Font.get());
    Second->AssignFont(Font.get());
    EXPECT_EQ(Font->Canvas, Second.get());
    Font.reset();
    EXPECT_EQ(First->CurrentFont, nullptr);
    EXPECT_EQ(Second->CurrentFont, nullptr);

    Font = std::make_unique<TChFont>();
    First->AssignFont(Font.get());
    First.reset();
    Font.reset();
    EXPECT_EQ(Second->CurrentFont, nullptr);
}
