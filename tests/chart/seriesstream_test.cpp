// The stored points of a series ("Data"): exact bytes, long labels, series
// drawn across, and a reader that trusts nothing; stored data source names.
#include "chart/ChEngine.h"
#include "chart/ChMarks.h"
#include "platform/Streams.h"
#include "tests/chart/ChartRig.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Hex(const std::string& Bytes)
{
    std::string S;
    char B[3];
    for (unsigned char C : Bytes) {
        std::snprintf(B, sizeof B, "%02X", C);
        S += B;
    }
    return S;
}

std::string DataOf(TChartSeries& S)
{
    TMemoryStream M;
    S.WriteData(&M);
    return std::string(reinterpret_cast<const char*>(M.Memory()), static_cast<size_t>(M.Size()));
}

void ReadInto(TChartSeries& S, const std::string& Bytes)
{
    TMemoryStream M;
    M.Write(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    M.SetPosition(0);
    S.ReadData(&M);
}

}  // namespace

TEST(SeriesData, PointsWithLabelsWriteTheDocumentedBytes)
{
    TChartSeries S(nullptr);
    S.Add(0.25, "Hi");
    S.Add(-3);
    const std::string Bytes = DataOf(S);
    EXPECT_EQ(Hex(Bytes), "0402000000000000000000D03F024869000000000000" "08C000");
    EXPECT_EQ(Bytes.size(), 25u);

    TChartSeries Back(nullptr);
    ReadInto(Back, Bytes);
    EXPECT_TRUE(Back.ManualData);
    ASSERT_EQ(Back.Count(), 2);
    EXPECT_EQ(Back.YValue(0), 0.25);
    EXPECT_EQ(Back.XLabel(0), "Hi");
    EXPECT_EQ(Back.YValue(1), -3);
    EXPECT_EQ(Back.XValue(1), 1);
    EXPECT_EQ(DataOf(Back), Bytes);
}

TEST(SeriesData, PositionsColoursAndMarkPositionsRoundTrip)
{
    TChartSeries S(nullptr);
    S.AddXY(2.5, 1, "", clRed);
    S.AddXY(7, 2);
    TSeriesMarkPosition P;
    P.ArrowStart = {1, 2};
    P.ArrowEnd = {3, 4};
    P.BoxTopLeft = {5, 6};
    P.BoxWidth = 7;
    P.BoxHeight = 8;
    S.Marks()->Positions().Put(1, P);
    const std::string Bytes = DataOf(S);
    EXPECT_EQ(static_cast<uint8_t>(Bytes[0]), tfNoMandatory | tfColor | tfMarkPosition);
    // 5 + 2 * (8 + 8 + 4 + 34)
    EXPECT_EQ(Bytes.size(), 113u);
    TChartSeries Back(nullptr);
    ReadInto(Back, Bytes);
    EXPECT_EQ(Back.XValue(0), 2.5);
    EXPECT_EQ(Back.InternalColor(0), clRed);
    EXPECT_EQ(Back.Marks()->Positions().Get(0), nullptr);   // written zeroed, read as none
    ASSERT_NE(Back.Marks()->Positions().Get(1), nullptr);
    EXPECT_EQ(Back.Marks()->Positions().Get(1)->BoxWidth, 7);
    EXPECT_EQ(DataOf(Back), Bytes);
}

// Points stored out of their X order (a list whose order was set after its
// points were added) read back as adding them one by one places them:
// sorted, equal X values in stored order, each with its label, colour and
// mark position.
TEST(SeriesData, PointsStoredOutOfOrderReadBackInTheListsOrder)
{
    for (TChartListOrder Order : {loAscending, loDescending}) {
        TChartSeries S(nullptr);
        S.XValues()->SetOrder(loNone);
        const double Xs[] = {5, 3, 9, 3, 1, 9, 7, 3, 0, 5};
        for (int i = 0; i < 10; ++i)
            S.AddXY(Xs[i], i, i % 3 == 0 ? "p" + std::to_string(i) : "", i % 4 == 0 ? clBlue : clSeriesDefault);
        TSeriesMarkPosition P;
        P.ArrowStart = {1, 2};
        P.IsCustom = true;
        S.Marks()->Positions().Put(6, P);   // the point of X 7
        S.XValues()->SetOrder(Order);

        TChartSeries OneByOne(nullptr);
        OneByOne.XValues()->SetOrder(Order);
        for (int i = 0; i < 10; ++i)
            OneByOne.AddXY(S.XValue(i), S.YValue(i), S.XLabel(i), S.InternalColor(i));
        TChartSeries Back(nullptr);
        Back.XValues()->SetOrder(Order);
        ReadInto(Back, DataOf(S));
        ASSERT_EQ(Back.Count(), 10);
        for (int k = 0; k < 10; ++k) {
            EXPECT_EQ(Back.XValue(k), OneByOne.XValue(k)) << k;
            EXPECT_EQ(Back.YValue(k), OneByOne.YValue(k)) << k;
            EXPECT_EQ(Back.XLabel(k), OneByOne.XLabel(k)) << k;
            EXPECT_EQ(Back.InternalColor(k), OneByOne.InternalColor(k)) << k;
            const TSeriesMarkPosition* Mark = Back.Marks()->Positions().Get(k);
            EXPECT_EQ(Mark != nullptr && Mark->IsCustom, Back.YValue(k) == 6) << k;
        }
    }
}

TEST(SeriesData, LongLabelsKeepAtMost255BytesOfWholeCharacters)
{
    struct Case {
        std::string Label;
        size_t Stored;
    };
    std::string Accents;
    for (int i = 0; i < 200; ++i)
        Accents += "\xC3\xA9";   // two bytes each
    const Case Cases[] = {{std::string(400, 'x'), 255}, {std::string(256, 'y'), 255}, {Accents, 254}};
    for (const Case& C : Cases) {
        TChartSeries S(nullptr);
        S.Add(1, C.Label);
        const std::string Bytes = DataOf(S);
        EXPECT_EQ(static_cast<uint8_t>(Bytes[13]), C.Stored);
        TChartSeries Back(nullptr);
        ReadInto(Back, Bytes);
        EXPECT_EQ(Back.XLabel(0), C.Label.substr(0, C.Stored));
    }
}

TEST(SeriesData, SeriesDrawnAcrossReadTheirPointsBack)
{
    TChartSeries S(nullptr);
    S.SetHorizontal();
    S.AddXY(5, 0);
    S.AddXY(6, 1);
    TChartSeries Back(nullptr);
    Back.SetHorizontal();
    ReadInto(Back, DataOf(S));
    ASSERT_EQ(Back.Count(), 2);
    EXPECT_EQ(Back.XValue(1), 6);
    EXPECT_EQ(Back.YValue(1), 1);

    TChartSeries Empty(nullptr);
    Empty.Add(1);
    ReadInto(Empty, std::string("\x00\x00\x00\x00\x00", 5));
    EXPECT_EQ(Empty.Count(), 0);
    EXPECT_TRUE(Empty.ManualData);
}

TEST(SeriesData, ReaderRefusesBadBytesAndStaysBalanced)
{
    TChartSeries S(nullptr);
    S.AddXY(0.5, 1, "ab", clRed);
    S.AddXY(2, 2, "c");
    const std::string Good = DataOf(S);
    std::vector<std::string> Bad;
    for (size_t Cut = 0; Cut < Good.size(); ++Cut)
        Bad.push_back(Good.substr(0, Cut));
    Bad.push_back(std::string("\x00\xFF\xFF\xFF\x7F", 5));            // 0x7FFFFFFF points
    Bad.push_back(std::string("\x00\xFF\xFF\xFF\xFF", 5));            // -1 points
    Bad.push_back(std::string("\x10\x00\x00\x00\x00", 5));            // unknown flag
    Bad.push_back(std::string("\x04\x01\x00\x00\x00", 5) + std::string(8, '\0') + "\x09" + "ab");   // label past the end
    for (const std::string& B : Bad) {
        TChartSeries T(nullptr);
        EXPECT_THROW(ReadInto(T, B), EReadError) << Hex(B);
        EXPECT_EQ(T.UpdateDepth, 0) << Hex(B);
        EXPECT_LE(T.Count(), 2);
    }
}

TEST(SeriesData, StoredSourceNamesResolveAndACircleIsBroken)
{
    TForm Form(nullptr);
    TCountingChart Chart;
    std::vector<TChartSeries*> S;
    for (const char* Name : {"A", "B", "C"}) {
        auto* T = new TChartSeries(&Form);
        T->SetName(Name);
        Chart.AddSeries(T);
        S.push_back(T);
    }
    S[1]->Add(1);
    S[2]->Add(2);
    S[0]->DataSourceNames = {"B", "Nowhere", "C", "A"};
    S[0]->Loaded();
    ASSERT_EQ(S[0]->DataSources().Count(), 2);
    EXPECT_EQ(S[0]->DataSources()[0], S[1]);
    EXPECT_EQ(S[0]->DataSources()[1], S[2]);
    EXPECT_TRUE(S[0]->DataSourceNames.empty());
    // B naming A, which takes from B, would close a circle: dropped.
    S[1]->DataSourceNames = {"A", "C"};
    S[1]->Loaded();
    ASSERT_EQ(S[1]->DataSources().Count(), 1);
    EXPECT_EQ(S[1]->DataSources()[0], S[2]);
    S[2]->Add(3);   // reaches A once, through B
    Chart.FreeAllSeries();
}

TEST(SeriesData, ExtrasTravelThroughTheFormStream)
{
    TChartSeries S(nullptr);
    S.SetName("Series1");
    S.SetIdentifier("flow");
    S.SetStyle(0x05);
    S.ManualData = true;
    S.Add(0.25, "Hi");
    S.Add(-3);
    TMemoryStream M;
    M.WriteComponent(&S);
    const std::string Text(reinterpret_cast<const char*>(M.Memory()), static_cast<size_t>(M.Size()));
    EXPECT_NE(Text.find("Identifier = \"flow\""), std::string::npos) << Text;
    EXPECT_NE(Text.find("Style = 5"), std::string::npos) << Text;
    EXPECT_NE(Text.find("0402000000000000000000D03F024869000000000000"), std::string::npos) << Text;

    TChartSeries Back(nullptr);
    M.SetPosition(0);
    M.ReadComponent(&Back);
    EXPECT_EQ(Back.Identifier(), "flow");
    EXPECT_EQ(Back.Style(), 0x05);
    EXPECT_TRUE(Back.ManualData);
    ASSERT_EQ(Back.Count(), 2);
    EXPECT_EQ(Back.XLabel(0), "Hi");
    TMemoryStream Again;
    Again.WriteComponent(&Back);
    EXPECT_EQ(Again.Size(), M.Size());

    // An empty series writes neither extra nor points.
    TChartSeries Plain(nullptr);
    TMemoryStream P;
    P.WriteComponent(&Plain);
    const std::string PlainText(reinterpret_cast<const char*>(P.Memory()), static_cast<size_t>(P.Size()));
    EXPECT_EQ(PlainText.find("Identifier"), std::string::npos) << PlainText;
    EXPECT_EQ(PlainText.find("Data"), std::string::npos) << PlainText;
}
