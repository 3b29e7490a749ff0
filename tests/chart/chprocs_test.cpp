// The chart library's free routines: palette, date-time steps, field
// splitting, unique names, sorting, hit tests, segment crossing, text
// export, bitmap resources and the library's cursor.
#include "chart/ChProcs.h"
#include "chart/Series.h"
#include "chart/SeriesLine.h"
#include "platform/Streams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace {

TDateTime D(int Y, int M, int Day) { return EncodeDate(Y, M, Day); }

std::string Ymd(TDateTime T)
{
    uint16_t Y, M, Dd;
    DecodeDate(T, Y, M, Dd);
    return FormatDateTime("yyyy-mm-dd", EncodeDate(Y, M, Dd)) + (T != std::floor(T) ? " +time" : "");
}

}  // namespace

TEST(ChProcs, PaletteCyclesAndNeverDividesByAnEmptyPalette)
{
    SetDefaultColorPalette();
    const struct {
        int Index;
        TColor Expected;
    } Cases[] = {{0, RGB(255, 0, 0)}, {1, RGB(0, 128, 0)}, {19, RGB(160, 160, 164)}, {21, RGB(0, 128, 0)},
                 {-1, RGB(160, 160, 164)}, {-20, RGB(255, 0, 0)}};
    for (const auto& K : Cases)
        EXPECT_EQ(GetDefaultColor(K.Index), K.Expected) << K.Index;

    SetDefaultColorPalette({clBlack, clWhite});
    EXPECT_EQ(GetDefaultColor(3), clWhite);
    // One colour or none brings the default palette back.
    SetDefaultColorPalette({clBlack});
    EXPECT_EQ(ColorPalette.size(), 20u);
    SetDefaultColorPalette({clBlack, clWhite});
    SetDefaultColorPalette(std::vector<TColor>{});
    EXPECT_EQ(GetDefaultColor(21), RGB(0, 128, 0));
    // A palette emptied from outside still answers.
    ColorPalette.clear();
    EXPECT_EQ(GetDefaultColor(2), RGB(255, 255, 0));
    SetDefaultColorPalette();
}

TEST(ChProcs, DateTimeStepsFindTheirNeighbours)
{
    const struct {
        double Step, Next;
    } Next[] = {{0.75, 1}, {400, 365}, {0, 365}, {182, 365}, {1, 2}, {1.0 / 86400, 5.0 / 86400}, {15, 30}};
    for (const auto& K : Next)
        EXPECT_DOUBLE_EQ(NextDateTimeStep(K.Step), K.Next) << K.Step;

    const struct {
        double Step;
        TDateTimeStep Found;
    } Find[] = {{15, dtHalfMonth}, {16, dtNone}, {1, dtOneDay}, {365, dtOneYear}, {1.0 / 24, dtOneHour},
                {1.0 / 86400000, dtOneMillisecond}, {182, dtSixMonths}, {183, dtNone}};
    for (const auto& K : Find)
        EXPECT_EQ(FindDateTimeStep(K.Step), K.Found) << K.Step;

    EXPECT_EQ(DateTimeDefaultFormat(2), ChShortDateFormat);
    EXPECT_EQ(DateTimeDefaultFormat(1), ChShortTimeFormat);
}

TEST(ChProcs, RoundDateGoesToTheStartOfItsStep)
{
    const TDateTime T = D(2003, 3, 20) + 10.5 / 24;
    const struct {
        TDateTimeStep Step;
        const char* Expected;
    } Cases[] = {{dtHalfMonth, "2003-03-15"}, {dtOneYear, "2003-01-01"}, {dtThreeMonths, "2003-03-01"},
                 {dtOneHour, "2003-03-20"}};
    for (const auto& K : Cases)
        EXPECT_EQ(Ymd(ChRoundDate(T, K.Step)), K.Expected) << K.Step;
    EXPECT_EQ(Ymd(ChRoundDate(D(2003, 3, 14), dtHalfMonth)), "2003-03-01");
    // 1 January 1900 and before stay as they are.
    EXPECT_DOUBLE_EQ(ChRoundDate(1.75, dtOneYear), 1.75);
    EXPECT_DOUBLE_EQ(ChRoundDate(2.0, dtOneYear), 2.0);
}

TEST(ChProcs, DateTimeIncrementMovesByCalendarSteps)
{
    const struct {
        const char* Name;
        TDateTime From;
        TDateTimeStep Step;
        bool Forward;
        const char* Expected;
    } Cases[] = {
        // Half months: forwards to the 15th or the next 1st, backwards to the 15th or 1st.
        {"half fwd from 1st", D(2003, 1, 1), dtHalfMonth, true, "2003-01-15"},
        {"half fwd from 14th", D(2003, 1, 14), dtHalfMonth, true, "2003-01-15"},
        {"half fwd from 15th", D(2003, 1, 15), dtHalfMonth, true, "2003-02-01"},
        {"half fwd from 20th", D(2003, 1, 20), dtHalfMonth, true, "2003-02-01"},
        {"half fwd over year end", D(2002, 12, 20), dtHalfMonth, true, "2003-01-01"},
        {"half back from 1st", D(2003, 1, 1), dtHalfMonth, false, "2002-12-15"},
        {"half back from 20th", D(2003, 1, 20), dtHalfMonth, false, "2003-01-15"},
        {"half back from 15th", D(2003, 1, 15), dtHalfMonth, false, "2003-01-01"},
        {"month fwd", D(2003, 1, 31), dtOneMonth, true, "2003-02-01"},
        {"six months fwd over year end", D(2003, 9, 10), dtSixMonths, true, "2004-03-01"},
        {"three months back", D(2003, 2, 10), dtThreeMonths, false, "2002-11-01"},
        {"three months back from March", D(2003, 3, 10), dtThreeMonths, false, "2002-12-01"},
        {"two months back", D(2003, 5, 10), dtTwoMonths, false, "2003-03-01"},
        {"year fwd", D(2003, 6, 7), dtOneYear, true, "2004-06-07"},
        {"year fwd from 29 Feb", D(2004, 2, 29), dtOneYear, true, "2005-02-28"},
        {"year back from 29 Feb", D(2004, 2, 29), dtOneYear, false, "2003-02-28"},
    };
    for (const auto& K : Cases) {
        TDateTime V = K.From + 0.25;
        ChDateTimeIncrement(true, K.Forward, V, 99, K.Step);
        EXPECT_EQ(Ymd(V), K.Expected) << K.Name;
    }
    // Other steps, and plain numbers, move by the amount.
    TDateTime V = 10;
    ChDateTimeIncrement(true, true, V, 0.5, dtOneDay);
    EXPECT_DOUBLE_EQ(V, 10.5);
    ChDateTimeIncrement(false, false, V, 2, dtOneMonth);
    EXPECT_DOUBLE_EQ(V, 8.5);
}

TEST(ChProcs, FieldsSplitAtTheSeparator)
{
    const struct {
        const char* Text;
        int Count;
        int Index;
        const char* Field;
    } Cases[] = {{"", 0, 1, ""},     {"a", 1, 1, "a"},      {"a;b;", 3, 3, ""},      {"a;b", 2, 5, "b"},
                 {"a;b", 2, 0, ""},  {"a;;c", 3, 2, ""},    {"x;yy;zzz", 3, 2, "yy"}};
    for (const auto& K : Cases) {
        EXPECT_EQ(ChNumFields(K.Text), K.Count) << K.Text;
        EXPECT_EQ(ChExtractField(K.Text, K.Index), K.Field) << K.Text << " #" << K.Index;
    }
    EXPECT_EQ(ChNumFields("a, b, c", ", "), 3);
    EXPECT_EQ(ChExtractField("a, b, c", 2, ", "), "b");
    EXPECT_EQ(ChFieldsSeparator, ";");
    EXPECT_EQ(ReplaceChar("1,234.5", ','), "1234.5");
    EXPECT_EQ(ReplaceChar("a-b-c", '-', '+'), "a+b+c");
    EXPECT_EQ(LocalToInvariantFormat(InvariantToLocalFormat("#,##0.00")), "#,##0.00");
}

TEST(ChProcs, UniqueNameTakesTheFirstFreeNumber)
{
    TComponent Owner(nullptr);
    auto* S1 = new TComponent(&Owner);
    S1->SetName("Series1");
    auto* S2 = new TComponent(&Owner);
    S2->SetName("Series2");
    EXPECT_EQ(ChGetUniqueName(&Owner, "Series"), "Series3");
    EXPECT_EQ(ChGetUniqueName(&Owner, "Axis"), "Axis1");
    EXPECT_EQ(ChGetUniqueName(nullptr, "Series"), "Series1");
}

TEST(ChProcs, SortOrdersAnyRangeThroughItsCallbacks)
{
    std::mt19937 Random(7);
    for (int N : {0, 1, 2, 3, 10, 257}) {
        std::vector<int> V(static_cast<size_t>(N));
        for (int& X : V)
            X = static_cast<int>(Random() % 20);   // plenty of duplicates
        std::vector<int> Expected = V;
        std::sort(Expected.begin(), Expected.end());
        ChSort(
            0, N - 1, [&](int A, int B) { return V[static_cast<size_t>(A)] - V[static_cast<size_t>(B)]; },
            [&](int A, int B) { std::swap(V[static_cast<size_t>(A)], V[static_cast<size_t>(B)]); });
        EXPECT_EQ(V, Expected) << N;
    }
    // Only the given range moves.
    std::vector<int> V = {9, 5, 4, 3, 0};
    ChSort(1, 3, [&](int A, int B) { return V[static_cast<size_t>(A)] - V[static_cast<size_t>(B)]; },
           [&](int A, int B) { std::swap(V[static_cast<size_t>(A)], V[static_cast<size_t>(B)]); });
    EXPECT_EQ(V, (std::vector<int>{9, 3, 4, 5, 0}));
}

TEST(ChProcs, PointHitTests)
{
    const struct {
        TPoint P;
        TPoint A, B;
        int Tolerance;
        bool Hit;
    } Lines[] = {
        {{5, 5}, {0, 0}, {10, 10}, 0, true},   {{5, 7}, {0, 0}, {10, 10}, 0, false},
        {{12, 12}, {0, 0}, {10, 10}, 0, false}, {{12, 12}, {0, 0}, {10, 10}, 3, true},
        {{-2, -2}, {0, 0}, {10, 10}, 3, true},  {{-5, -5}, {0, 0}, {10, 10}, 3, false},
        {{5, 0}, {10, 0}, {0, 0}, 0, true},     {{0, 5}, {0, 0}, {0, 10}, 0, true},
        {{1, 5}, {0, 0}, {0, 10}, 0, false},    {{0, 11}, {0, 0}, {0, 10}, 2, true},
    };
    for (const auto& K : Lines)
        EXPECT_EQ(PointInLine(K.P, K.A, K.B, K.Tolerance), K.Hit)
            << K.P.X << "," << K.P.Y << " tol " << K.Tolerance;

    const std::vector<TPoint> Square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const struct {
        TPoint P;
        bool Inside;
    } Polygon[] = {{{5, 5}, true}, {{0, 5}, true}, {{5, 0}, true}, {{10, 5}, false}, {{5, 10}, false},
                   {{11, 5}, false}};
    for (const auto& K : Polygon)
        EXPECT_EQ(PointInPolygon(K.P, Square), K.Inside) << K.P.X << "," << K.P.Y;
    EXPECT_FALSE(PointInPolygon({0, 0}, {}));
    // Far-off coordinates do not overflow the edge test.
    EXPECT_TRUE(PointInPolygon({0, 0}, {{-2000000000, -60000}, {2000000000, -60000}, {0, 60000}}));

    EXPECT_TRUE(PointInTriangle({5, 5}, 0, 10, 10, 0));
    EXPECT_FALSE(PointInTriangle({1, 1}, 0, 10, 10, 0));
    EXPECT_TRUE(PointInHorizTriangle({2, 5}, 0, 10, 0, 10));
    EXPECT_FALSE(PointInHorizTriangle({9, 1}, 0, 10, 0, 10));

    const struct {
        TPoint P;
        TRect R;
        bool Inside;
    } Ellipses[] = {{{10, 5}, {0, 0, 20, 10}, true},  {{0, 5}, {0, 0, 20, 10}, true},
                    {{1, 1}, {0, 0, 20, 10}, false},  {{20, 5}, {0, 0, 20, 10}, true},
                    {{21, 5}, {0, 0, 20, 10}, false}, {{0, 0}, {0, 0, 1, 10}, false}};
    for (const auto& K : Ellipses)
        EXPECT_EQ(PointInEllipse(K.P, K.R), K.Inside) << K.P.X << "," << K.P.Y;
}

TEST(ChProcs, CrossingLinesHandlesVerticalAndParallelSegments)
{
    const struct {
        const char* Name;
        double X1, Y1, X2, Y2, X3, Y3, X4, Y4;
        bool Crosses;
        double X, Y;
    } Cases[] = {
        {"diagonals", 0, 0, 10, 10, 0, 10, 10, 0, true, 5, 5},
        {"first vertical", 5, -10, 5, 10, 0, 0, 10, 2, true, 5, 1},
        {"second vertical", 0, 0, 10, 10, 3, -5, 3, 20, true, 3, 3},
        {"both vertical", 1, 0, 1, 10, 2, 0, 2, 10, false, NAN, NAN},
        {"parallel", 0, 0, 10, 0, 0, 1, 10, 1, false, NAN, NAN},
        {"collinear", 0, 0, 10, 0, 5, 0, 15, 0, false, NAN, NAN},
        {"lines cross beyond the segments", 0, 0, 1, 1, 0, 10, 10, 9, false, NAN, NAN},
        {"cross and perpendicular", 0, 5, 10, 5, 4, 0, 4, 10, true, 4, 5},
    };
    for (const auto& K : Cases) {
        double X = -1, Y = -1;
        EXPECT_EQ(CrossingLines(K.X1, K.Y1, K.X2, K.Y2, K.X3, K.Y3, K.X4, K.Y4, X, Y), K.Crosses) << K.Name;
        EXPECT_TRUE(std::isfinite(X) && std::isfinite(Y)) << K.Name;
        if (K.Crosses) {
            EXPECT_NEAR(X, K.X, 1e-9) << K.Name;
            EXPECT_NEAR(Y, K.Y, 1e-9) << K.Name;
        }
    }
}

namespace {

class TTextExport : public TChExportData {
public:
    std::string AsString() override { return "x\ty\r\n1\t2\r\n"; }
};

}  // namespace

TEST(ChProcs, ExportDataWritesItsTextAsItStands)
{
    const std::string File = std::string(OZ_TEST_ARTIFACTS) + "/chprocs_export.txt";
    {
        std::ofstream Old(File);
        Old << "an older and much longer content that must go";
    }
    TTextExport E;
    E.SaveToFile(File);
    std::ifstream In(File, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    EXPECT_EQ(S.str(), "x\ty\r\n1\t2\r\n");
    EXPECT_THROW(E.SaveToFile("/nonexistent-folder/x.txt"), EFileError);

    TMemoryStream M;
    M.WriteBuffer("ab", 2);
    E.SaveToStream(&M);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(M.Memory()), static_cast<size_t>(M.Size())),
              "abx\ty\r\n1\t2\r\n");
}

namespace {

// The bytes of a PNG file of a W x H picture in one colour.
std::string PngOf(int W, int H, TColor Colour)
{
    TBitmap B(W, H);
    B.Canvas()->Brush()->SetColor(Colour);
    B.Canvas()->FillRect({0, 0, W, H});
    const std::string File = std::string(OZ_TEST_ARTIFACTS) + "/chprocs_resource.png";
    B.SaveToFile(File);
    std::ifstream In(File, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
}

TColor PixelAt(const TBitmap& B, int X, int Y)
{
    const uint32_t P = B.ScanLine(Y)[X];
    return RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF);
}

}  // namespace

// The editor picture of a class is the program's bitmap resource named
// after the class, else after its parent class; nothing found (or bytes
// that hold no picture) leaves the bitmap as it was.
TEST(ChProcs, EditorPictureFromTheResourceOfTheClassOrItsParent)
{
    RegisterBitmapResource("TCustomSeries", PngOf(4, 3, clRed));
    RegisterBitmapResource("tpointseries", PngOf(5, 2, clBlue));
    RegisterBitmapResource("TFastLineSeries", "no picture");
    TBitmap B(2, 2);
    TLineSeries Line(nullptr);
    ChGetBitmapEditor(&Line, B);
    EXPECT_EQ(B.Width(), 4);
    EXPECT_EQ(PixelAt(B, 3, 2), clRed);
    TPointSeries Point(nullptr);
    ChGetBitmapEditor(&Point, B);
    EXPECT_EQ(B.Width(), 5);
    EXPECT_EQ(PixelAt(B, 0, 0), clBlue);

    TBitmap Kept(2, 2);
    TFastLineSeries Fast(nullptr);
    ChGetBitmapEditor(&Fast, Kept);
    ChLoadBitmap(Kept, "NoSuchPicture", "NorThisOne");
    EXPECT_EQ(Kept.Width(), 2);
    EXPECT_EQ(PixelAt(Kept, 1, 1), clWhite);
    ChLoadBitmap(Kept, "NoSuchPicture", "TCustomSeries");
    EXPECT_EQ(Kept.Width(), 4);
}

// The library entered its hand cursor when the program started.
TEST(ChProcs, HandCursorIsEnteredAtStartUp)
{
    EXPECT_EQ(Screen->Cursors(crChartHand), crHandPoint);
    EXPECT_EQ(crChartHand, 2020);
}

TEST(ChProcs, EditorOptionsKeepTheirValuesPerUser)
{
    const std::string Config = std::string(OZ_TEST_ARTIFACTS) + "/chprocs_config";
    setenv("XDG_CONFIG_HOME", Config.c_str(), 1);
    std::remove(ChEditorOptionsFile().c_str());
    EXPECT_EQ(ChEditorOptionsFile(), Config + "/ChartLibrary/Editor.ini");
    EXPECT_TRUE(ChReadBoolOption("TreeView", true));
    EXPECT_EQ(ChReadIntegerOption("Height", 300), 300);
    ChSaveBoolOption("TreeView", false);
    ChSaveIntegerOption("Height", 420);
    EXPECT_FALSE(ChReadBoolOption("TreeView", true));
    EXPECT_EQ(ChReadIntegerOption("Height", 300), 420);
    EXPECT_EQ(ChReadIntegerOption("Width", 7), 7);
    unsetenv("XDG_CONFIG_HOME");
}
