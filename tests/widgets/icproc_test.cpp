#include "widgets/_icproc.h"
#include "platform/Forms.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

TEST(IcBinaryStrings, IntToBinGivesDigitsPlusOneCharacters)
{
    struct Case { int32_t Value; int Digits; const char* Expected; };
    const Case cases[] = {
        {5, 0, "101"},
        {5, 7, "00000101"},
        {0, 0, "0"},
        {-1, 0, "11111111111111111111111111111111"},
        {256, 3, "0000"},
        {5, -4, "101"},
        {1, 40, "00000000000000000000000000000001"},
        {std::numeric_limits<int32_t>::min(), 0, "10000000000000000000000000000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IcIntToBin(c.Value, c.Digits), c.Expected) << c.Value << " / " << c.Digits;
}

TEST(IcBinaryStrings, BinToIntReadsOnlyOnesAndTheLast32Characters)
{
    EXPECT_EQ(IcBinToInt("101"), 5);
    EXPECT_EQ(IcBinToInt("1x1"), 5);
    EXPECT_EQ(IcBinToInt(std::string(32, '1')), -1);
    EXPECT_EQ(IcBinToLWord(""), 0u);
    EXPECT_EQ(IcBinToLWord("1" + std::string(32, '0')), 0u);
    EXPECT_EQ(IcBinToSingle(IcSingleToBin(1.5f, 0)), 1.5f);
}

TEST(IcStrings, RemoveSignAndToken)
{
    EXPECT_EQ(IcRemoveSign("9.876.540", '.'), "9876540");
    std::string s = "a;b;";
    EXPECT_EQ(IcStrToken(s, ';'), "a");
    EXPECT_EQ(s, "b;");
    s = "c";
    EXPECT_EQ(IcStrToken(s, ';'), "c");
    EXPECT_EQ(s, "");
}

TEST(IcLogarithms, RoundLogValueRoundsTheExponent)
{
    struct Case { double X; double Expected; int Exponent; };
    const Case cases[] = {
        {3, 1, 0}, {4, 10, 1}, {0, 1, 0}, {-5, 1, 0}, {0.004, 0.01, -2}, {0.003, 0.001, -3},
    };
    for (const Case& c : cases) {
        int e = 99;
        EXPECT_DOUBLE_EQ(IcRoundLogValue(c.X, e), c.Expected) << c.X;
        EXPECT_EQ(e, c.Exponent) << c.X;
    }
}

TEST(IcLabelLists, RangeStrListsFromBDownToA)
{
    EXPECT_EQ(IcRangeStr(0, 100, 4, "##0"), "100;75;50;25;0;");
    EXPECT_EQ(IcRangeStr(-1, 1, 2, "0.0"), "1.0;0.0;-1.0;");
    EXPECT_EQ(IcRangeStr(0, 100, -1, "##0"), "");
    // No steps: A alone rather than a division by zero.
    EXPECT_EQ(IcRangeStr(5, 100, 0, "##0"), "5;");
}

TEST(IcLabelLists, LogRangeStrBothDirectionsAndZeroStep)
{
    EXPECT_EQ(IcLogRangeStr(0, 3, 3, "0e-0", false), "1e0;1e1;1e2;1e3;");
    EXPECT_EQ(IcLogRangeStr(0, 3, 3, "0e-0", true), "1e3;1e2;1e1;1e0;");
    EXPECT_EQ(IcLogRangeStr(-2, 2, 2, "0.00", false), "0.01;1.00;100.00;");
    // A step that does not divide the span passes the far end.
    EXPECT_EQ(IcLogRangeStr(0, 3, 2, "0e-0", false), "1e0;1e1;1e2;1e3;");
    // More steps than decades would be a step of 0: one decade a step instead.
    EXPECT_EQ(IcLogRangeStr(0, 2, 5, "0e-0", false), "1e0;1e1;1e2;");
    EXPECT_EQ(IcLogRangeStr(1, 1, 1, "0", true), "10;");
}

TEST(IcLabelLists, CalcLogStrListsDecades)
{
    EXPECT_EQ(IcCalcLogStr(1, 2, "0", false), "1;10;100;");
    EXPECT_EQ(IcCalcLogStr(10, 2, "0.00", true), "1000.00;100.00;10.00;");
}

TEST(IcIntegers, MinMaxAndRoundSaturate)
{
    EXPECT_EQ(IcMinMaxInt(5, 0, 10), 5);
    EXPECT_EQ(IcMinMaxInt(-5, 0, 10), 0);
    EXPECT_EQ(IcMinMaxInt(15, 0, 10), 10);
    EXPECT_EQ(IcMinMaxInt(5, 10, 0), 10);   // Min wins
    EXPECT_EQ(IcRound(2.5L), 2);
    EXPECT_EQ(IcRound(3.5L), 4);
    EXPECT_EQ(IcRound(-2.5L), -2);
    EXPECT_EQ(IcRound(1e30L), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(IcRound(-1e30L), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(IcRound(std::numeric_limits<long double>::quiet_NaN()), 0);
}

TEST(IcColours, CalcColorInterpolatesPerChannel)
{
    EXPECT_EQ(IcCalcColor(clBlack, clWhite, 10, 5), RGB(128, 128, 128));   // 127.5 to even
    EXPECT_EQ(IcCalcColor(clBlack, clWhite, 10, 0), clBlack);
    EXPECT_EQ(IcCalcColor(clBlack, clWhite, 10, 10), clWhite);
    EXPECT_EQ(IcCalcColor(clRed, clBlue, 0, 1), clBlue);   // Steps 0 counts as 1
    EXPECT_EQ(IcCalcColor(clWindow, clWindow, 4, 2), clWindow);
    EXPECT_EQ(IcCalcColor(clBlack, clWhite, 2, 9), clWhite);   // saturates past the end
}

TEST(IcGeometry, RectanglesAndRotation)
{
    EXPECT_FALSE(IcInRect(10, 10, Rect(0, 0, 10, 10)));
    EXPECT_TRUE(IcInRect(5, 10, Rect(0, 0, 10, 10)));
    TRect r;
    EXPECT_TRUE(IcRectIntersection(Rect(0, 0, 10, 10), Rect(10, 0, 20, 10), r));   // touching
    EXPECT_EQ(r, Rect(10, 0, 10, 10));
    EXPECT_FALSE(IcRectIntersection(Rect(0, 0, 10, 10), Rect(11, 0, 20, 10), r));
    EXPECT_TRUE(IcRectInRect(Rect(0, 0, 10, 10), Rect(0, 0, 10, 10)));
    EXPECT_FALSE(IcRectInRect(Rect(0, 0, 11, 10), Rect(0, 0, 10, 10)));
    EXPECT_EQ(IcCenterPoint(Rect(0, 0, 11, 5)), Point(5, 2));
    EXPECT_EQ(IcGetRadius(Rect(0, 0, 30, 11)), 5);
    r = Rect(0, 0, 10, 10);
    IcGetMaxRect(-3, 15, r);
    EXPECT_EQ(r, Rect(-3, 0, 10, 15));
    IcBorder(r, 2);
    EXPECT_EQ(r, Rect(-1, 2, 8, 13));

    struct Case { TPoint P; TPoint C; float Angle; bool Clockwise; TPoint Expected; };
    const Case cases[] = {
        {{10, 0}, {0, 0}, 90, true, {0, 10}},
        {{10, 0}, {0, 0}, 90, false, {0, -10}},
        {{15, 5}, {5, 5}, 180, true, {-5, 5}},
        {{5, -5}, {5, 5}, 45, true, {12, -2}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IcRotate(c.P, c.C, c.Angle, c.Clockwise), c.Expected) << c.Angle;
}

// The box of the ink a text left on a white bitmap.
TRect InkBox(TBitmap& B)
{
    TRect r{B.Width(), B.Height(), -1, -1};
    for (int y = 0; y < B.Height(); ++y)
        for (int x = 0; x < B.Width(); ++x)
            if ((B.ScanLine(y)[x] & 0xFFFFFF) != 0xFFFFFF)
                IcGetMaxRect(x, y, r);
    return r;
}

TEST(IcText, TextOutPlacesTheNamedPointOfTheBox)
{
    TBitmap b(200, 100);
    TCanvas* c = b.Canvas();
    c->Font()->SetColor(clBlack);
    c->Brush()->SetStyle(bsClear);
    int w = 0, h = 0;
    TPoint half;
    IcGetTextSize(c, w, h, half, "WWWW");
    ASSERT_GT(w, 0);
    EXPECT_EQ(half, Point(w / 2, h / 2));
    IcTextOut(c, 150, 80, "WWWW", toBotRight);
    const TRect ink = InkBox(b);
    EXPECT_LE(ink.Right, 150);
    EXPECT_GE(ink.Left, 150 - w);
    EXPECT_LE(ink.Bottom, 80);
    EXPECT_GE(ink.Top, 80 - h);

    int maxW = 0, height = 0;
    IcGetMaxTokenSize(c, maxW, height, "W;WWW;WW");
    EXPECT_EQ(maxW, c->TextWidth("WWW"));
}

}  // namespace

// ------------------------------------------------------------ opening files

namespace {

class IcExecuteFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dir = std::filesystem::temp_directory_path() / ("icexec_" + std::to_string(::getpid()));
        std::filesystem::create_directories(Dir);
        std::ofstream(Dir / "manual.txt") << "x";
        SetShellOpenHook([this](const std::string& S) {
            Asked.push_back(S);
            return Opens;
        });
    }
    void TearDown() override
    {
        SetShellOpenHook(nullptr);
        std::filesystem::remove_all(Dir);
    }
    std::filesystem::path Dir;
    std::vector<std::string> Asked;
    bool Opens = true;
};

TEST_F(IcExecuteFileTest, OpensExistingFilesAndUrlsOnly)
{
    const std::string Manual = (Dir / "manual.txt").string();
    EXPECT_GT(IcExecuteFile("manual.txt", "", Dir.string(), 1), 32);
    EXPECT_GT(IcExecuteFile(Manual, "-p", "", 1), 32);
    EXPECT_GT(IcExecuteFile("mailto:service@example.org", "", "", 1), 32);
    EXPECT_EQ(Asked, (std::vector<std::string>{Manual, Manual, "mailto:service@example.org"}));

    Asked.clear();
    EXPECT_EQ(IcExecuteFile("missing.txt", "", Dir.string(), 1), 2);
    EXPECT_EQ(IcExecuteFile("", "", Dir.string(), 1), 2);
    EXPECT_TRUE(Asked.empty());

    Opens = false;
    EXPECT_EQ(IcExecuteFile(Manual, "", "", 1), 31);
}

TEST_F(IcExecuteFileTest, LongNamesAreNotCutShort)
{
    // A name cut to 79 characters would open a different file or none.
    const std::filesystem::path Deep = Dir / std::string(60, 'd') / std::string(60, 'e');
    std::filesystem::create_directories(Deep);
    std::ofstream(Deep / "calibration.zrb") << "1";
    const std::string Name = (Deep / "calibration.zrb").string();
    ASSERT_GT(Name.size(), 79u);
    EXPECT_GT(IcExecuteFile(Name, "", "", 1), 32);
    EXPECT_EQ(Asked, std::vector<std::string>{Name});
}

}  // namespace
