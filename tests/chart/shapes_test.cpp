// Framed chart shapes: geometry, lazily created shadow and gradient, copying,
// and what a shape draws with its shadow, brush, corners and transparency.
#include "chart/ChProcs.h"
#include "platform/Application.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A white panel without bevel that draws one shape.
class TShapePanel : public TCustomChPanel {
public:
    TShapePanel() : TCustomChPanel(nullptr), Shape(this)
    {
        SetBevelOuter(bvNone);
        SetColor(clWhite);
    }
    void InternalDraw(const TRect& R) override
    {
        ChartCanvas()->Brush->SetStyle(bsSolid);
        ChartCanvas()->Brush->SetColor(clWhite);
        ChartCanvas()->EraseBackground(R);
        Shape.DrawRectRotated(Shape.ShapeBounds, Angle, 0);
    }
    TChShape Shape;
    double Angle = 0;
};

}  // namespace

TEST(ChartShape, RectToFourPointsTurnsAboutTheCentre)
{
    TFourPoints P;
    RectToFourPoints({0, 0, 10, 10}, 90, P);
    EXPECT_EQ(P, (TFourPoints{TPoint{0, 10}, TPoint{0, 0}, TPoint{10, 0}, TPoint{10, 10}}));
    RectToFourPoints({0, 0, 20, 10}, 0, P);
    EXPECT_EQ(P, (TFourPoints{TPoint{0, 0}, TPoint{20, 0}, TPoint{20, 10}, TPoint{0, 10}}));
}

TEST(ChartShape, SizeShadowAndGradientBehaveAsProperties)
{
    TChShape S(nullptr);
    S.ShapeBounds = {10, 10, 20, 20};
    S.SetWidth(50);
    S.SetHeight(5);
    EXPECT_EQ(S.ShapeBounds, (TRect{10, 10, 60, 15}));
    EXPECT_EQ(S.Brush()->Color(), clDefault);
    EXPECT_TRUE(S.Pen()->Visible());
    EXPECT_EQ(S.Color(), clWhite);

    EXPECT_FALSE(S.HasShadow());
    EXPECT_EQ(S.ShadowSize(), 3);
    EXPECT_EQ(S.ShadowColor(), clBlack);
    EXPECT_FALSE(S.Shadow()->IsColorStored());
    EXPECT_FALSE(S.Shadow()->IsHorizStored());
    S.SetShadowSize(5);
    EXPECT_TRUE(S.Shadow()->IsHorizStored());

    TChShape Plain(nullptr);
    S.Gradient()->SetVisible(true);
    S.SetBevel(bvRaised);
    S.Assign(&Plain);
    EXPECT_FALSE(S.HasGradient());
    EXPECT_FALSE(S.HasShadow());
    EXPECT_EQ(S.Bevel(), bvNone);

    Plain.Gradient()->SetStartColor(clRed);
    S.Assign(&Plain);
    ASSERT_TRUE(S.HasGradient());
    EXPECT_EQ(S.Gradient()->StartColor(), clRed);
}

TEST(ChartShape, ChangesRepaintTheParentPanel)
{
    EnsureApplication();
    TShapePanel P;
    auto* Canvas = static_cast<TChCanvas3D*>(P.ChartCanvas());
    struct TStep {
        const char* Name;
        std::function<void()> Change;
        bool Repaints;
    };
    const TStep Steps[] = {
        {"visible unchanged", [&] { P.Shape.SetVisible(true); }, false},
        {"hidden", [&] { P.Shape.Hide(); }, true},
        {"colour", [&] { P.Shape.SetColor(clRed); }, true},
        {"colour unchanged", [&] { P.Shape.SetColor(clRed); }, false},
        {"font", [&] { P.Shape.Font()->SetColor(clBlue); }, true},
        {"brush", [&] { P.Shape.Brush()->SetStyle(bsCross); }, true},
        {"shadow", [&] { P.Shape.Shadow()->SetColor(clRed); }, true},
        {"transparency", [&] { P.Shape.SetTransparency(30); }, true},
    };
    for (const TStep& S : Steps) {
        Canvas->BufferStale = false;
        S.Change();
        EXPECT_EQ(Canvas->BufferStale, S.Repaints) << S.Name;
    }
}

TEST(ChartShape, ShadowIsDrawnOnlyForOpaqueSquareUnrotatedFilledShapes)
{
    EnsureApplication();
    struct TCase {
        const char* Name;
        bool Transparent;
        TChartObjectShapeStyle Style;
        TBrushStyle Brush;
        double Angle;
        int Transparency;
        bool Body, Shadow;
    };
    const TCase Cases[] = {
        {"plain", false, fosRectangle, bsSolid, 0, 0, true, true},
        {"transparent", true, fosRectangle, bsSolid, 0, 0, false, false},
        {"round corners", false, fosRoundRectangle, bsSolid, 0, 0, true, false},
        {"clear brush", false, fosRectangle, bsClear, 0, 0, false, false},
        {"rotated", false, fosRectangle, bsSolid, 30, 0, true, false},
        {"translucent round", false, fosRoundRectangle, bsSolid, 0, 50, true, true},
    };
    for (const TCase& K : Cases) {
        SCOPED_TRACE(K.Name);
        TShapePanel P;
        P.Shape.ShapeBounds = {20, 20, 80, 60};
        P.Shape.SetColor(clBlue);
        P.Shape.Pen()->SetColor(clBlue);
        P.Shape.SetTransparent(K.Transparent);
        P.Shape.SetShapeStyle(K.Style);
        P.Shape.Brush()->SetStyle(K.Brush);
        P.Shape.SetTransparency(K.Transparency);
        P.Shape.Shadow()->SetColor(clRed);
        P.Angle = K.Angle;
        TBitmap B(120, 100);
        P.NonBufferDraw(B.Canvas(), {0, 0, 120, 100});
        const TColor Body = PixelOf(B, 50, 40);
        // Below the bottom-right corner, inside the shadow's offset of 3.
        const TColor Shadow = PixelOf(B, 79, 61);
        EXPECT_EQ(Body != clWhite, K.Body);
        EXPECT_EQ(Shadow != clWhite, K.Shadow);
        if (K.Transparency == 0) {
            EXPECT_EQ(Body, K.Body ? clBlue : clWhite);
        }
    }
}
