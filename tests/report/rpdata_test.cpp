// Reports over data sets: the record loop with groups, reprinted group
// headers, query parameters from report variables, and field names in
// expressions.
#include "report/RpControllerBands.h"
#include "report/RpCtrlsData.h"
#include "report/RpExtra.h"
#include "report/RpLabelReport.h"
#include "report/RpReport.h"

#include "platform/DBTables.h"
#include "tests/report/PrinterRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace prnrig;

namespace {

// ORDERS (COUNTRY, CITY, QTY, PRICE, SOLD) in a database file of the test's
// own, read by the query Q in rowid order.
class OrdersDb : public PdfPrinting {
protected:
    void SetUp() override
    {
        PdfPrinting::SetUp();
        Owner = std::make_unique<TComponent>(nullptr);
        Db = new TDatabase(Owner.get());
        Db->SetDatabaseName(Dir / "orders.db");
        Db->ExecSQL("CREATE TABLE ORDERS (COUNTRY VARCHAR(2), CITY VARCHAR(20), QTY INTEGER, PRICE REAL, SOLD DATE);"
                    "INSERT INTO ORDERS VALUES ('FR', 'Lyon', 2, 1.5, '2024-03-01');"
                    "INSERT INTO ORDERS VALUES ('FR', 'Lyon', 3, 2.5, '2024-03-02');"
                    "INSERT INTO ORDERS VALUES ('FR', 'Paris', 1, 4.25, '2024-03-03');"
                    "INSERT INTO ORDERS VALUES ('DE', 'Bonn', 5, 3.0, '2024-03-04');");
        Q = new TQuery(Owner.get());
        Q->SetName("ORDERS");
        Q->SetDatabase(Db);
        Q->SQL()->SetText("SELECT * FROM ORDERS");
    }
    void TearDown() override
    {
        R.reset();
        Owner.reset();
        PdfPrinting::TearDown();
    }

    // A report in millimetres over Q: a title, a detail of DetailHeight mm,
    // an outer group on COUNTRY and an inner group on CITY with footers.
    void MakeReport(double DetailHeight = 10, bool WithGroups = true)
    {
        R = std::make_unique<TRpReport>(nullptr);
        R->SetUnits(TRpUnit::MM);
        R->Page()->SetPaperSize(TRpPaperSize::A4);
        R->Page()->SetOrientation(poPortrait);
        R->Page()->SetTopMargin(10);
        R->Page()->SetBottomMargin(10);
        R->Bands()->SetHasTitle(true);
        R->Bands()->SetHasDetail(true);
        R->SetUnits(TRpUnit::MM);
        R->Bands()->GetBand(1)->Size()->SetHeight(10);
        R->Bands()->GetBand(4)->Size()->SetHeight(DetailHeight);
        R->SetDataSet(Q);
        if (WithGroups) {
            Country = AddGroup("[COUNTRY]");
            City = AddGroup("ORDERS.CITY");
        }
        R->RebuildBandList();
        Watch(R->Bands()->GetBand(1), "T");
        Watch(R->Bands()->GetBand(4), "D");
        if (WithGroups) {
            Watch(Country, "H", "COUNTRY");
            Watch(City, "H", "CITY");
            Watch(Country->FooterBand(), "F", "COUNTRY");
            Watch(City->FooterBand(), "F", "CITY");
        }
    }
    TRpGroup* AddGroup(const std::string& Expression)
    {
        auto* G = new TRpGroup(R.get());
        G->SetParent(R.get());
        G->SetExpression(Expression);
        G->Size()->SetHeight(8);
        auto* Footer = new TRpBand(R.get());
        Footer->SetParent(R.get());
        Footer->Size()->SetHeight(8);
        G->SetFooterBand(Footer);
        auto* Sum = Footer->AddPrintable<TRpExpr>();
        Sum->SetExpression("SUM([QTY])");
        Sum->SetResetAfterPrint(true);
        Sums[Footer] = Sum;
        return G;
    }
    // Each print of B as Tag, with the current value of Field.
    void Watch(TRpCustomBand* B, const std::string& Tag, const std::string& Field = {})
    {
        B->AfterPrint = [this, Tag, Field](TRpCustomBand* Band, bool Printed) {
            if (!Printed)
                return;
            std::string Text = Tag;
            if (!Field.empty())
                Text += " " + Q->FieldByName(Field)->AsString();
            if (Sums.count(Band))
                Text += " " + Sums[Band]->OutputText();
            Seen.push_back(Text);
            Pages.push_back(R->PageNo());
        };
    }

    std::unique_ptr<TComponent> Owner;
    TDatabase* Db = nullptr;
    TQuery* Q = nullptr;
    std::unique_ptr<TRpReport> R;
    TRpGroup* Country = nullptr;
    TRpGroup* City = nullptr;
    std::vector<std::string> Seen;
    std::vector<int> Pages;
    std::map<TRpCustomBand*, TRpExpr*> Sums;
};

using Strings = std::vector<std::string>;

class LabelReport : public PdfPrinting {};

// ----------------------------------------------------------- record loop

TEST_F(OrdersDb, NestedGroupsPrintHeadersAndFootersAroundTheirRecords)
{
    Q->Open();
    MakeReport();
    R->Prepare();
    // A footer prints with the last record of its group current and the
    // sum of its group's quantities.
    EXPECT_EQ(Seen, (Strings{"T", "H FR", "H Lyon", "D", "D", "F Lyon 5", "H Paris", "D", "F Paris 1", "F FR 6",
                             "H DE", "H Bonn", "D", "F Bonn 5", "F DE 5"}));

    // The report's own records drive the printer's progress.
    EXPECT_EQ(R->RunPrinter()->Progress(), 100);

    // The run's data sets are let go afterwards; a second run prints the same.
    EXPECT_TRUE(R->RunDataSets().empty());
    Seen.clear();
    R->Prepare();
    EXPECT_EQ(Seen.size(), 15u);

    R->Print();
    EXPECT_EQ(PdfInfo(Pdf).Pages, 1);
    // The sums in the printed file, in band order.
    std::vector<std::string> Printed;
    for (const auto& [Word, X] : Words(Pdf, ""))
        Printed.push_back(Word);
    EXPECT_EQ(Printed, (Strings{"5", "1", "6", "5", "5"}));
    std::filesystem::copy_file(Pdf, Artifact("grouped-orders.pdf"), std::filesystem::copy_options::overwrite_existing);
}

TEST_F(OrdersDb, ReprintedGroupHeaderFollowsThePageHeaderWhereItsGroupContinues)
{
    Q->Open();
    // Detail 125 mm: the second Lyon record goes to page 2, and so does the
    // Paris record to page 3 (right after its own group change).
    MakeReport(125);
    R->Bands()->SetHasPageHeader(true);
    R->Bands()->GetBand(2)->Size()->SetHeight(10);
    Watch(R->Bands()->GetBand(2), "P");
    Country->SetReprintOnNewPage(true);
    R->Prepare();
    std::vector<std::string> Got;
    for (size_t I = 0; I < Seen.size(); ++I)
        Got.push_back(Seen[I] + "@" + std::to_string(Pages[I]));
    // The country header repeats with the inner header after page 2's page
    // header; on page 3 the Paris header has just printed the change.
    EXPECT_EQ(Got, (Strings{"P@1", "T@1", "H FR@1", "H Lyon@1", "D@1",
                            "P@2", "H FR@2", "H Lyon@2", "D@2", "F Lyon 5@2", "H Paris@2",
                            "P@3", "D@3", "F Paris 1@3", "F FR 6@3", "H DE@3", "H Bonn@3",
                            "P@4", "D@4", "F Bonn 5@4", "F DE 5@4"}));

    // Without ReprintOnNewPage no header repeats.
    Country->SetReprintOnNewPage(false);
    Seen.clear();
    R->Prepare();
    EXPECT_EQ(std::count(Seen.begin(), Seen.end(), "H FR"), 1);
}

TEST_F(OrdersDb, EmptyDataSetAndNeedDataWithoutRecords)
{
    Q->SQL()->SetText("SELECT * FROM ORDERS WHERE QTY > 100");
    Q->Open();
    MakeReport(10, false);
    R->Bands()->SetHasSummary(true);
    Watch(R->Bands()->GetBand(7), "S");
    R->Prepare();
    EXPECT_EQ(Seen, (Strings{"T", "D", "S"}));

    Seen.clear();
    R->SetPrintIfEmpty(false);
    R->Prepare();
    EXPECT_EQ(Seen, Strings{});

    // Without a data set OnNeedData answering false at once prints nothing.
    Seen.clear();
    R->SetPrintIfEmpty(true);
    R->SetDataSet(nullptr);
    R->OnNeedData = [](TObject*, bool& More) { More = false; };
    R->Prepare();
    EXPECT_EQ(Seen, Strings{});
}

TEST_F(OrdersDb, QueryParameterTakesTheReportVariable)
{
    Q->SQL()->SetText("SELECT * FROM ORDERS WHERE COUNTRY = :COUNTRY");
    Q->ParamByName("COUNTRY")->SetAsString("DE");
    Q->Open();
    MakeReport(10, false);
    R->Functions()->AddFunction("COUNTRY", "'FR'");
    R->Prepare();
    EXPECT_EQ(std::count(Seen.begin(), Seen.end(), "D"), 3);
    EXPECT_EQ(Q->ParamByName("COUNTRY")->BindValue().Text, "FR");

    // A typed parameter takes only a value of its kind.
    Q->Close();
    Q->SQL()->SetText("SELECT * FROM ORDERS WHERE QTY >= :MINQTY");
    Q->ParamByName("MINQTY")->SetAsInteger(4);
    R->Functions()->AddFunction("MINQTY", "'two'");
    Q->Open();
    Seen.clear();
    R->Prepare();
    EXPECT_EQ(std::count(Seen.begin(), Seen.end(), "D"), 1);
}

TEST_F(OrdersDb, ControllerLetsGoOfADestroyedDataSet)
{
    Q->Open();
    MakeReport(10, false);
    delete Q;
    Q = nullptr;
    EXPECT_EQ(R->DataSet(), nullptr);
    R->Prepare();
    EXPECT_EQ(Seen, (Strings{"T", "D"}));
}

// ------------------------------------------------------ controller bands

TEST_F(OrdersDb, LoopStringsAndSubDetailBandsRunPerMasterRecord)
{
    Q->SQL()->SetText("SELECT * FROM ORDERS WHERE CITY = 'Lyon'");
    Q->Open();
    MakeReport(10, false);
    auto* Loop = new TRpLoopBand(R.get());
    Loop->SetName("LOOPS");
    Loop->SetParent(R.get());
    Loop->SetPrintCount(3);
    auto* Index = Loop->AddPrintable<TRpExpr>();
    Index->SetExpression("LOOPS");
    Loop->AfterPrint = [&](TRpCustomBand*, bool) { Seen.push_back("L" + Index->OutputText()); };

    auto* Lines = new TRpStringsBand(R.get());
    Lines->SetName("LINES");
    Lines->SetParent(R.get());
    Lines->Items()->Add("a");
    Lines->Items()->Add("b");
    auto* Item = Lines->AddPrintable<TRpExpr>();
    Item->SetExpression("LINES+'!'");
    Lines->AfterPrint = [&](TRpCustomBand*, bool) { Seen.push_back("S" + Item->OutputText()); };

    auto* Other = new TQuery(Owner.get());
    Other->SetName("SMALL");
    Other->SetDatabase(Db);
    Other->SQL()->SetText("SELECT QTY AS N FROM ORDERS WHERE QTY < 3");
    Other->Open();
    auto* Sub = new TRpSubDetail(R.get());
    Sub->SetParent(R.get());
    Sub->SetDataSet(Other);
    Sub->SetPrintBefore(true);
    auto* N = Sub->AddPrintable<TRpExpr>();
    N->SetExpression("SMALL.N");
    Sub->AfterPrint = [&](TRpCustomBand*, bool) { Seen.push_back("N" + N->OutputText()); };
    Sub->Bands()->SetHasHeader(true);
    ASSERT_NE(Sub->HeaderBand(), nullptr);
    EXPECT_EQ(Sub->HeaderBand()->Name(), "GroupHeaderBand1");
    Sub->Bands()->SetHasHeader(false);
    EXPECT_EQ(Sub->HeaderBand(), nullptr);
    Sub->Bands()->SetHasFooter(true);
    Watch(Sub->FooterBand(), "SF");
    // A total over the sub-detail's records of each master record.
    auto* Total = Sub->FooterBand()->AddPrintable<TRpExpr>();
    Total->SetExpression("SUM(SMALL.N)");
    Total->SetMaster(Sub);
    Total->SetResetAfterPrint(true);
    Sums[Sub->FooterBand()] = Total;

    R->RebuildBandList();
    R->Prepare();
    // Per detail: the sub-detail before it, then the loop and strings bands.
    const Strings PerRecord{"N2", "N1", "SF 3", "D", "L0", "L1", "L2", "Sa!", "Sb!"};
    Strings Expected{"T"};
    Expected.insert(Expected.end(), PerRecord.begin(), PerRecord.end());
    Expected.insert(Expected.end(), PerRecord.begin(), PerRecord.end());
    EXPECT_EQ(Seen, Expected);
    EXPECT_EQ(Lines->Index(), -1);
    EXPECT_EQ(Loop->Count(), 0);

    // Renaming the loop band renames its variable.
    Loop->SetName("TURNS");
    EXPECT_LT(R->Functions()->IndexOf("LOOPS"), 0);
    EXPECT_GE(R->Functions()->IndexOf("TURNS"), 0);
    // A band cannot be its own master's master.
    auto* Inner = new TRpLoopBand(R.get());
    Inner->SetParent(R.get());
    EXPECT_TRUE(Inner->SetMaster(Loop));
    EXPECT_FALSE(Loop->SetMaster(Inner));
    EXPECT_EQ(Loop->Master(), R.get());
}

// ----------------------------------------------------------------- labels

TEST_F(LabelReport, LabelSetupCentresTheLabelsAndFillsColumnsDown)
{
    TRpLabelReport L(nullptr);
    L.SetUnits(TRpUnit::MM);
    L.Page()->SetPaperSize(TRpPaperSize::A4);
    L.Page()->SetOrientation(poPortrait);
    L.SetUnits(TRpUnit::MM);
    TRpLabelSetup* S = L.LabelSetup();
    S->SetNumberAcross(3);
    EXPECT_EQ(L.Page()->Columns(), 3);
    S->SetNumberAcross(0);   // ignored by the page
    EXPECT_EQ(S->NumberAcross(), 3);
    L.Page()->SetColumnSpace(2.5);
    S->SetLabelWidth(63.5);
    // (210 - 3 x 63.5 - 2 x 2.5) / 2
    EXPECT_NEAR(static_cast<double>(S->SideMargin()), 7.25, 0.05);
    EXPECT_NEAR(static_cast<double>(L.Page()->RightMargin()), 7.25, 0.05);
    S->SetHorizontalPitch(0);   // follows from the sheet
    EXPECT_NEAR(static_cast<double>(L.Page()->ColumnSpace()), 2.5, 0.05);

    S->SetLabelHeight(38.1);
    EXPECT_EQ(L.Bands()->GetBand(4)->GetChild(), nullptr);
    S->SetVerticalPitch(40);
    ASSERT_NE(L.Bands()->GetBand(4)->GetChild(), nullptr);
    EXPECT_NEAR(static_cast<double>(L.Bands()->GetBand(4)->GetChild()->Size()->Height()), 1.9, 0.05);
    EXPECT_NEAR(static_cast<double>(S->VerticalPitch()), 40, 0.05);

    S->SetTopMargin(10);
    L.Page()->SetBottomMargin(10);
    int Served = 0;
    L.OnNeedData = [&Served](TObject*, bool& More) { More = ++Served <= 7; };
    std::vector<std::pair<int, int>> Where;   // column, top (0.1 mm)
    L.Bands()->GetBand(4)->AfterPrint = [&](TRpCustomBand* B, bool) {
        Where.emplace_back(L.CurrentColumn(), L.CurrentY() - RpRound(B->Size()->Height()));
    };
    L.Prepare();
    ASSERT_EQ(Where.size(), 7u);
    for (int I = 0; I < 6; ++I)
        EXPECT_EQ(Where[static_cast<size_t>(I)].first, 1) << I;
    EXPECT_EQ(Where[6], (std::pair<int, int>{2, 100}));
    EXPECT_EQ(L.RunPrinter()->PageCount(), 1);

    // A pitch equal to the height removes the gap band.
    S->SetVerticalPitch(S->LabelHeight());
    EXPECT_EQ(L.Bands()->GetBand(4)->GetChild(), nullptr);
}

// ------------------------------------------------------------ data image

TEST_F(OrdersDb, BlobPicturePrintsAndAnEmptyOneFillsWithColour)
{
    TBitmap Red(40, 40);
    Red.Canvas()->Brush()->SetColor(clRed);
    Red.Canvas()->FillRect(Rect(0, 0, 40, 40));
    Red.SaveToFile(Dir / "red.png");
    const rprig::Bytes Png = rprig::ReadFile(Dir / "red.png");
    Db->ExecSQL("CREATE TABLE PICS (N INTEGER, IMG BLOB)");
    TQuery Insert(nullptr);
    Insert.SetDatabase(Db);
    Insert.SQL()->SetText("INSERT INTO PICS VALUES (:N, :IMG)");
    Insert.ParamByName("N")->SetAsInteger(1);
    Insert.ParamByName("IMG")->SetAsBlob(std::string(Png.begin(), Png.end()));
    Insert.ExecSQL();
    Insert.ParamByName("N")->SetAsInteger(2);
    Insert.ParamByName("IMG")->SetAsBlob("");
    Insert.ExecSQL();
    Q->SQL()->SetText("SELECT * FROM PICS ORDER BY N");
    Q->Open();

    MakeReport(30, false);
    R->Page()->SetLeftMargin(10);
    auto* Image = R->Bands()->GetBand(4)->AddPrintable<TRpDBImage>();
    Image->SetDataSet(Q);
    Image->SetDataField("IMG");
    Image->SetStretch(true);
    Image->SetColor(clBlue);
    Image->Size()->SetLeft(0);
    Image->Size()->SetTop(0);
    Image->Size()->SetWidth(20);
    Image->Size()->SetHeight(20);
    R->Print();

    RunTool("pdftoppm -r 300 -png -singlefile '" + Pdf + "' '" + Dir / "page" + "'");
    TBitmap Page;
    Page.LoadFromFile(Dir / "page.png");
    const auto At = [&Page](double XMm, double YMm) {
        return Page.Canvas()->Pixels(static_cast<int>(XMm / 25.4 * 300), static_cast<int>(YMm / 25.4 * 300));
    };
    // Detail 1 at 20 mm holds the picture, detail 2 at 50 mm the colour.
    const TColor Picture = At(20, 30), Fill = At(20, 60), Beside = At(35, 30);
    EXPECT_TRUE(GetRValue(Picture) > 200 && GetGValue(Picture) < 80 && GetBValue(Picture) < 80) << std::hex << Picture;
    EXPECT_TRUE(GetBValue(Fill) > 200 && GetRValue(Fill) < 80 && GetGValue(Fill) < 80) << std::hex << Fill;
    EXPECT_EQ(Beside, clWhite);
}

// --------------------------------------------------------------- builders

TEST_F(OrdersDb, ListBuilderMakesAColumnPerFieldAndTurnsThePage)
{
    Db->ExecSQL("CREATE TABLE WIDE (COUNTRY VARCHAR(2), \"UNIT PRICE\" REAL, A VARCHAR(40), B VARCHAR(40),"
                " C VARCHAR(40), D VARCHAR(40))");
    Q->SQL()->SetText("SELECT * FROM ORDERS");
    Q->Open();
    auto Form = std::make_unique<TWinControl>(nullptr);
    TCustomRpReport* Built = nullptr;
    RpCreateList(Built, Form.get(), Q, "Orders", nullptr);
    ASSERT_NE(Built, nullptr);
    EXPECT_EQ(Built->Owner(), Form.get());
    EXPECT_EQ(dynamic_cast<TRpReport*>(Built)->DataSet(), Q);
    std::vector<std::string> Headers, Expressions;
    for (int I = 0; I < Built->Bands()->GetBand(3)->ControlCount(); ++I)
        if (auto* L = dynamic_cast<TRpLabel*>(Built->Bands()->GetBand(3)->Controls(I)))
            Headers.push_back(L->Caption());
    for (int I = 0; I < Built->Bands()->GetBand(4)->ControlCount(); ++I)
        if (auto* E = dynamic_cast<TRpExpr*>(Built->Bands()->GetBand(4)->Controls(I)))
            Expressions.push_back(E->Expression());
    EXPECT_EQ(Headers, (Strings{"COUNTRY", "CITY", "QTY", "PRICE", "SOLD"}));
    EXPECT_EQ(Expressions, (Strings{"[COUNTRY]", "[CITY]", "[QTY]", "[PRICE]", "[SOLD]"}));
    EXPECT_EQ(Built->Page()->Orientation(), poPortrait);
    EXPECT_EQ(Built->ReportTitle(), "Orders");

    // The built report prints the records.
    Built->Print();
    const std::string Text = RunTool("pdftotext '" + Pdf + "' - 2>&1");
    EXPECT_NE(Text.find("Orders"), std::string::npos);
    EXPECT_NE(Text.find("Paris"), std::string::npos);
    EXPECT_NE(Text.find("Page 1"), std::string::npos);

    // A name with a blank gets no column; wide columns turn the page.
    auto* Wide = new TQuery(Owner.get());
    Wide->SetDatabase(Db);
    Wide->SQL()->SetText("SELECT * FROM WIDE");
    Wide->Open();
    TCustomRpReport* List = nullptr;
    RpCreateList(List, Form.get(), Wide, "", nullptr);
    ASSERT_NE(List, nullptr);
    Headers.clear();
    for (int I = 0; I < List->Bands()->GetBand(3)->ControlCount(); ++I)
        if (auto* L = dynamic_cast<TRpLabel*>(List->Bands()->GetBand(3)->Controls(I)))
            Headers.push_back(L->Caption());
    EXPECT_EQ(std::count(Headers.begin(), Headers.end(), "UNIT PRICE"), 0);
    EXPECT_EQ(List->Page()->Orientation(), poLandscape);
    EXPECT_FALSE(List->Bands()->HasTitle());

    auto Sets = AllDataSets(Owner.get(), false);
    EXPECT_EQ(Sets->Count(), 2);
}

TEST(RpBuilder, NamesAndFetching)
{
    TRpBuilder B(nullptr);
    EXPECT_EQ(B.NewName("TRpLabel"), "RpLabel1");
    EXPECT_EQ(B.NewName("TRpLabel"), "RpLabel2");
    EXPECT_EQ(B.NewName("TRpExpr"), "RpExpr1");
    B.SetActive(true);
    TCustomRpReport* R = B.FetchReport();
    ASSERT_NE(R, nullptr);
    EXPECT_EQ(B.FetchReport(), nullptr);
    delete R;
}

// ------------------------------------------------------------ expressions

TEST_F(OrdersDb, FieldNamesInExpressions)
{
    Q->Open();
    std::vector<TDataSet*> Sets{Q};
    TRpDataSetFields Fields(&Sets);
    TRpEvaluator E;
    E.SetDatasets(&Fields);
    struct TCase {
        std::string Text;
        TRpEvResultType Kind;
        std::string Value;
    };
    const TCase Cases[] = {
        {"[qty]*2", resInt, "4"},
        {"ORDERS.PRICE", resDouble, "1.5"},
        {"orders.price+1", resDouble, "2.5"},
        {"[SOLD]", resString, Q->FieldByName("SOLD")->AsString()},
        {"CITY+'!'", resString, "Lyon!"},
        {"[nope]", resError, "Unknown function : NOPE"},
        {"OTHER.QTY", resError, "Unknown function : OTHER.QTY"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Text);
        E.Prepare(C.Text);
        TRpEvResult V = E.Value();
        EXPECT_EQ(V.Kind(), C.Kind);
        V.ConvertToString();
        EXPECT_EQ(V.Text(), C.Value);
        E.UnPrepare();
    }
    // A prepared expression follows the current record.
    E.Prepare("[QTY]");
    Q->Last();
    EXPECT_EQ(E.Value().IntValue(), 5);
}

TEST_F(OrdersDb, SystemDataCountsTheRecordsOfAReportOverADataSet)
{
    Q->Open();
    MakeReport(10, false);
    TRpCustomBand* Detail = R->Bands()->GetBand(4);
    auto* No = Detail->AddPrintable<TRpSysData>();
    No->SetData(rpsDetailNo);
    No->SetText("No ");
    auto* Count = Detail->AddPrintable<TRpSysData>();
    Count->SetData(rpsDetailCount);
    Strings Captions;
    Detail->AfterPrint = [&](TRpCustomBand*, bool Printed) {
        if (Printed)
            Captions.push_back(No->Caption() + "/" + Count->Caption());
    };
    R->Prepare();
    EXPECT_EQ(Captions, (Strings{"No 1/4", "No 2/4", "No 3/4", "No 4/4"}));

    // A closed data set counts as one record.
    Q->Close();
    EXPECT_EQ(R->RecordCount(), 1);
}

TEST_F(OrdersDb, FieldOfAReopenedDataSetIsFoundByNameOrGivesAnError)
{
    Q->Open();
    std::vector<TDataSet*> Sets{Q};
    TRpDataSetFields Fields(&Sets);
    TRpEvaluator E;
    E.SetDatasets(&Fields);
    E.Prepare("[PRICE]");   // the fourth field
    // Reopened with PRICE first: found by its name, not by its old place.
    Q->Close();
    Q->SQL()->SetText("SELECT PRICE, COUNTRY, CITY, QTY FROM ORDERS");
    Q->Open();
    EXPECT_EQ(E.Value().Kind(), resDouble);
    EXPECT_DOUBLE_EQ(E.Value().DoubleValue(), 1.5);
    // Reopened with fewer fields and none named PRICE: an error, never
    // another field.
    Q->Close();
    Q->SQL()->SetText("SELECT COUNTRY FROM ORDERS");
    Q->Open();
    EXPECT_EQ(E.Value().Kind(), resError);
}

// ------------------------------------------------------------ printables

TEST_F(OrdersDb, FieldTextFollowsTheMaskByFieldType)
{
    Q->Open();
    Q->Last();   // DE Bonn 5 3.0
    MakeReport(10, false);
    TRpCustomBand* Detail = R->Bands()->GetBand(4);
    struct TCase {
        std::string Field, Mask, Text;
    };
    const TCase Cases[] = {
        {"QTY", "0.00", "5.00"}, {"QTY", "", "5"},     {"PRICE", "0.0", "3.0"},
        {"CITY", "0.00", "Bonn"}, {"SOLD", "yyyy/mm/dd", "2024/03/04"}, {"MISSING", "0.00", ""},
    };
    std::vector<TRpDBText*> Texts;
    for (const TCase& C : Cases) {
        auto* T = Detail->AddPrintable<TRpDBText>();
        T->SetDataSet(Q);
        T->SetDataField(C.Field);
        T->SetMask(C.Mask);
        Texts.push_back(T);
    }
    std::vector<std::string> Printed;
    Detail->AfterPrint = [&](TRpCustomBand*, bool) {
        if (Q->RecNo() == 4)
            for (TRpDBText* T : Texts) {
                std::string V;
                T->GetFieldString(V);
                Printed.push_back(V);
            }
    };
    R->Prepare();
    ASSERT_EQ(Printed.size(), std::size(Cases));
    for (size_t I = 0; I < Printed.size(); ++I)
        EXPECT_EQ(Printed[I], Cases[I].Text) << Cases[I].Field << " " << Cases[I].Mask;
    // Afterwards the designer shows the field name again.
    EXPECT_EQ(Texts[0]->Caption(), "QTY");
}

TEST_F(OrdersDb, CalcExpressionsAndAggregatesPerDetail)
{
    TRpDBCalc Calc(nullptr);
    Calc.SetDataField("PRICE");
    Calc.SetOperation(rpcMax);
    EXPECT_EQ(Calc.Expression(), "Max(PRICE)");
    Calc.SetOperation(rpcCount);
    EXPECT_EQ(Calc.Expression(), "Count");
    Calc.SetOperation(rpcAverage);
    EXPECT_EQ(Calc.Expression(), "Average(PRICE)");
    TRpExpr Empty(nullptr);
    EXPECT_EQ(Empty.Caption(), "(none)");

    // A maximum over the report's detail records, in the summary.
    Q->Open();
    MakeReport(10, false);
    R->Bands()->SetHasSummary(true);
    auto* Max = R->Bands()->GetBand(7)->AddPrintable<TRpDBCalc>();
    Max->SetDataField("PRICE");
    Max->SetOperation(rpcMax);
    Max->SetPrintMask("0.00");
    std::string Text;
    R->Bands()->GetBand(7)->AfterPrint = [&](TRpCustomBand*, bool) { Text = Max->OutputText(); };
    R->Prepare();
    EXPECT_EQ(Text, "4.25");
}

TEST_F(OrdersDb, ExpressionForgetsAMasterThatGoes)
{
    Q->Open();
    MakeReport(10, false);
    auto* E = R->Bands()->GetBand(4)->AddPrintable<TRpExpr>();
    E->SetExpression("[QTY]");
    {
        auto Other = std::make_unique<TRpReport>(nullptr);
        E->SetMaster(Other.get());
        EXPECT_EQ(E->Master(), Other.get());
    }
    EXPECT_EQ(E->Master(), nullptr);
    std::string Text;
    R->Bands()->GetBand(4)->AfterPrint = [&](TRpCustomBand*, bool) { Text = E->OutputText(); };
    R->Prepare();   // no master left to register with
    EXPECT_EQ(Text, "5");
    EXPECT_EQ(E->Caption(), "[QTY]");
}

TEST(RpMerger, BracedExpressionsMergeAndStrayBracesStay)
{
    struct TCase {
        std::string Line, Merged;
    };
    const TCase Cases[] = {
        {"x{}y{2*3}", "x{}y6"},
        {"Total {1+1", "Total {1+1"},
        {"a}b{1+2}c", "a}b3c"},
        {"a{1}b{'t'+'u'}c", "a1btuc"},
        {"{1=1}", "True"},
        {"{1.5*3}", "4.5"},
        {"{nope}!", "!"},
        {"}{", "}{"},
        {"plain", "plain"},
    };
    TRpMerger M;
    for (const TCase& C : Cases)
        M.OrgLines()->Add(C.Line);
    M.Prepare();
    EXPECT_EQ(M.MergedLines(), nullptr);
    M.Merge();
    ASSERT_NE(M.MergedLines(), nullptr);
    for (size_t I = 0; I < std::size(Cases); ++I)
        EXPECT_EQ(M.MergedLines()->Strings(static_cast<int>(I)), Cases[I].Merged) << Cases[I].Line;
}

TEST_F(OrdersDb, ExprMemoMergesFieldsAndRemovesBlankLines)
{
    Q->Open();
    MakeReport(30, false);
    auto* Memo = R->Bands()->GetBand(4)->AddPrintable<TRpExprMemo>();
    Memo->SetRemoveBlankLines(true);
    Memo->Lines()->Add("{CITY}: {[QTY]*2}");
    Memo->Lines()->Add("{''}");
    Memo->Lines()->Add(" ");
    Memo->Lines()->Add("end");
    std::vector<std::string> Printed;
    R->Bands()->GetBand(4)->AfterPrint = [&](TRpCustomBand*, bool) { Printed.push_back(Memo->Lines()->Text()); };
    R->Prepare();
    ASSERT_EQ(Printed.size(), 4u);
    EXPECT_EQ(Printed[0], "Lyon: 4\n \nend\n");
    EXPECT_EQ(Printed[3], "Bonn: 10\n \nend\n");
    // The template comes back.
    EXPECT_EQ(Memo->Lines()->Strings(0), "{CITY}: {[QTY]*2}");
}

}  // namespace

TEST_F(OrdersDb, DataTextMirrorsTheAlignmentOfTextButNotOfNumbersAndDates)
{
    const struct {
        const char* Field;
        bool Mirrors;
    } Cases[] = {{"", true}, {"CITY", true}, {"QTY", false}, {"PRICE", false}, {"SOLD", false}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Field);
        R = std::make_unique<TRpReport>(nullptr);
        R->Bands()->SetHasDetail(true);
        auto* T = R->Bands()->GetBand(4)->AddPrintable<TRpDBText>();
        T->SetDataSet(Q);
        T->SetDataField(C.Field);
        T->SetBiDiMode(bdRightToLeft);
        Q->Open();
        T->Prepare();
        EXPECT_EQ(T->UseRightToLeftAlignment(), C.Mirrors);
        EXPECT_EQ(T->DrawnAlignment(), C.Mirrors ? taRightJustify : taLeftJustify);
        T->SetBiDiMode(bdRightToLeftNoAlign);
        EXPECT_FALSE(T->UseRightToLeftAlignment());
        T->UnPrepare();
        Q->Close();
    }
}
