// Colours, rectangles, regions and the graphics objects.
#include "platform/Application.h"
#include "platform/private/CanvasQt.h"
#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <QImage>

#include <vector>

TEST(Graphics, ColoursResolveSystemValuesAndPassSpecialOnes)
{
    struct TCase { TColor In, Out; };
    const TCase Cases[] = {
        {clRed, 0x0000FF},
        {RGB(1, 2, 3), 0x030201},
        {clWindow, clWhite},
        {clWindowText, clBlack},
        {clBtnFace, RGB(212, 208, 200)},
        {clHighlightText, clWhite},
        {clInfoBk, RGB(255, 255, 225)},
        {SystemColor(200), clBlack},      // no such entry
        {clNone, clNone},
        {clDefault, clDefault},
    };
    for (const TCase& K : Cases)
        EXPECT_EQ(ColorToRGB(K.In), K.Out) << std::hex << K.In;
    EXPECT_EQ(GetRValue(RGB(10, 20, 30)), 10);
    EXPECT_EQ(GetGValue(RGB(10, 20, 30)), 20);
    EXPECT_EQ(GetBValue(RGB(10, 20, 30)), 30);
    EXPECT_LT(clBtnFace, 0);   // the top bit marks a system colour
}

TEST(Graphics, RectangleArithmetic)
{
    TRect R;
    EXPECT_TRUE(IntersectRect(R, Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)));
    EXPECT_EQ(R, Rect(5, 5, 10, 10));
    EXPECT_FALSE(IntersectRect(R, Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)));   // touching edges share nothing
    EXPECT_TRUE(R.IsEmpty());
    EXPECT_TRUE(UnionRect(R, Rect(0, 0, 0, 0), Rect(1, 1, 3, 3)));
    EXPECT_EQ(R, Rect(1, 1, 3, 3));
    EXPECT_TRUE(UnionRect(R, Rect(0, 0, 2, 2), Rect(5, 6, 7, 8)));
    EXPECT_EQ(R, Rect(0, 0, 7, 8));
    InflateRect(R, 1, 2);
    EXPECT_EQ(R, Rect(-1, -2, 8, 10));
    OffsetRect(R, 1, 2);
    EXPECT_EQ(R, Rect(0, 0, 9, 12));
    EXPECT_TRUE(PtInRect(R, Point(0, 0)));
    EXPECT_FALSE(PtInRect(R, Point(9, 5)));   // right edge is outside
    EXPECT_EQ(Bounds(2, 3, 4, 5), Rect(2, 3, 6, 8));
    EXPECT_EQ(R.Width(), 9);
}

TEST(Graphics, RegionsCombine)
{
    const TRegion A = TRegion::CreateRect(Rect(0, 0, 10, 10));
    const TRegion B = TRegion::CreateRect(Rect(5, 0, 15, 10));
    struct TCase { TRegionCombine Mode; int Area; bool At2, At7, At12; };
    const TCase Cases[] = {
        {RGN_AND, 50, false, true, false},
        {RGN_OR, 150, true, true, true},
        {RGN_XOR, 100, true, false, true},
        {RGN_DIFF, 50, true, false, false},
        {RGN_COPY, 100, true, true, false},
    };
    for (const TCase& K : Cases) {
        TRegion R;
        R.Combine(A, B, K.Mode);
        int Area = 0;
        for (int Y = 0; Y < 10; ++Y)
            for (int X = 0; X < 20; ++X)
                Area += R.Contains(X, Y);
        EXPECT_EQ(Area, K.Area) << K.Mode;
        EXPECT_EQ(R.Contains(2, 5), K.At2);
        EXPECT_EQ(R.Contains(7, 5), K.At7);
        EXPECT_EQ(R.Contains(12, 5), K.At12);
    }
    const TRegion E = TRegion::CreateEllipse(Rect(0, 0, 20, 10));
    EXPECT_EQ(E.BoundsRect(), Rect(0, 0, 20, 10));
    EXPECT_FALSE(E.Contains(0, 0));
    EXPECT_TRUE(TRegion::CreatePolygon({{0, 0}, {5, 5}}).IsEmpty());
    TRegion Moved = A;
    Moved.Offset(3, 4);
    EXPECT_EQ(Moved.BoundsRect(), Rect(3, 4, 13, 14));
    EXPECT_EQ(A.BoundsRect(), Rect(0, 0, 10, 10));   // copies are independent
}

TEST(Graphics, FontSizeAndHeightFollowTheResolution)
{
    struct TCase { int Ppi, Size, Height; };
    const TCase Cases[] = {{96, 8, -11}, {96, 10, -13}, {96, 12, -16}, {600, 10, -83}, {300, 8, -33}};
    for (const TCase& K : Cases) {
        TFont F;
        F.SetPixelsPerInch(K.Ppi);
        F.SetSize(K.Size);
        EXPECT_EQ(F.Height(), K.Height) << K.Ppi << " " << K.Size;
        EXPECT_EQ(F.Size(), K.Size);
    }
    // Assign between resolutions keeps the size in points.
    TFont Screen, Paper;
    Screen.SetSize(10);
    Screen.SetStyle({fsBold, fsUnderline});
    Paper.SetPixelsPerInch(600);
    Paper.Assign(&Screen);
    EXPECT_EQ(Paper.Size(), 10);
    EXPECT_EQ(Paper.Height(), -83);
    EXPECT_TRUE(Paper.Style().Contains(fsUnderline));
    EXPECT_FALSE(Paper.Style().Contains(fsItalic));

    TFontStyles S{fsBold};
    S << fsItalic;
    S >> fsBold;
    EXPECT_EQ(S, TFontStyles{fsItalic});
    EXPECT_EQ((TFontStyles{fsBold, fsItalic} * TFontStyles{fsItalic, fsStrikeOut}), TFontStyles{fsItalic});
    EXPECT_TRUE((TFontStyles{fsBold} - TFontStyles{fsBold}).Empty());

    EXPECT_EQ(ResolveFontFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(ResolveFontFamily("MS Sans Serif"), "Liberation Sans");
    EXPECT_EQ(ResolveFontFamily("COURIER NEW"), "Liberation Mono");
    EXPECT_EQ(ResolveFontFamily("Some Face"), "Some Face");
    EnsureApplication();
    EXPECT_EQ(QFontInfo(ToQFont(Screen)).family(), "Liberation Sans");
}

TEST(Graphics, ObjectsNotifyRealChangesOnly)
{
    int Changes = 0;
    TPen P;
    P.OnChange = [&](TObject*) { ++Changes; };
    P.SetColor(clBlack);   // already black
    P.SetWidth(1);
    EXPECT_EQ(Changes, 0);
    P.SetColor(clRed);
    P.SetStyle(psDot);
    EXPECT_EQ(Changes, 2);
    TPen Other;
    Other.SetWidth(4);
    P.Assign(&Other);
    EXPECT_EQ(Changes, 3);
    EXPECT_EQ(P.Width(), 4);
    EXPECT_EQ(P.Color(), clBlack);
    TBrush B;
    EXPECT_THROW(P.Assign(&B), EConvertError);

    // A brush owns a copy of its pattern.
    auto Pattern = std::make_unique<TBitmap>(2, 2);
    B.SetBitmap(Pattern.get());
    Pattern.reset();
    ASSERT_NE(B.Bitmap(), nullptr);
    EXPECT_EQ(B.Bitmap()->Width(), 2);
    TBrush C;
    C.Assign(&B);
    EXPECT_TRUE(C.SameAs(B));
    B.SetBitmap(nullptr);
    EXPECT_EQ(B.Bitmap(), nullptr);
}

TEST(Graphics, CanvasOverAnImageReportsWhatItPainted)
{
    EnsureApplication();
    QImage Image(50, 40, QImage::Format_RGB32);
    Image.fill(Qt::white);
    std::vector<QRect> Painted;
    {
        TQtCanvas C(&Image);
        C.QtSurface()->OnPainted = [&](const QRect& R) { Painted.push_back(R); };
        C.Pen()->SetColor(clRed);
        C.MoveTo(10, 10);
        C.LineTo(30, 20);
        C.Brush()->SetColor(clBlue);
        C.FillRect(Rect(60, 0, 70, 10));   // off the image: nothing to report
        C.Flush();
        EXPECT_EQ(Image.pixelColor(10, 10), QColor(Qt::red));
    }
    ASSERT_EQ(Painted.size(), 1u);
    EXPECT_TRUE(Painted[0].contains(QRect(10, 10, 20, 10)));
    EXPECT_TRUE(QRect(0, 0, 50, 40).contains(Painted[0]));
}
