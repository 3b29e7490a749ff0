// Report forms written to files and read back; untrusted form files.
#include "platform/DialogHook.h"
#include "platform/DBTables.h"
#include "platform/Filer.h"
#include "platform/StdCtrls.h"
#include "report/RpControllerBands.h"
#include "report/RpCtrls.h"
#include "report/RpCtrlsData.h"
#include "report/RpExtra.h"
#include "report/RpRichText.h"
#include "tests/report/PrinterRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string TempFile(const std::string& Name)
{
    return (std::filesystem::temp_directory_path() / ("rpextra_" + std::to_string(::getpid()) + "_" + Name)).string();
}

std::string ReadText(const std::string& FileName)
{
    std::ifstream In(FileName, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
}

void WriteText(const std::string& FileName, const std::string& Text)
{
    std::ofstream Out(FileName, std::ios::binary | std::ios::trunc);
    Out << Text;
}

// Answers message boxes with OK and keeps their texts.
// Text with the first From replaced by To (a test failure when From is not
// in it).
std::string ReplaceOnce(std::string Text, const std::string& From, const std::string& To)
{
    const size_t At = Text.find(From);
    EXPECT_NE(At, std::string::npos) << From;
    if (At != std::string::npos)
        Text.replace(At, From.size(), To);
    return Text;
}

class RpExtraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearAnsweredDialogs();
        FOld = SetDialogAnswerer([](const TDialogRequest&, TDialogAnswer& A) {
            A.ModalResult = 1;
            return true;
        });
    }
    void TearDown() override
    {
        SetDialogAnswerer(FOld);
        for (const std::string& F : FFiles)
            std::remove(F.c_str());
    }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> M;
        for (const TDialogRequest& R : AnsweredDialogs())
            if (R.Kind == TDialogKind::MessageBox)
                M.push_back(R.Text);
        return M;
    }
    // One message: "Error loading report", then the file's name and Why.
    void ExpectLoadError(const std::string& FileName, const std::string& Why) const
    {
        const std::vector<std::string> M = Messages();
        ASSERT_EQ(M.size(), 1u) << Why;
        const std::string Head = "Error loading report\n" + FileName + ": ";
        EXPECT_EQ(M[0].substr(0, Head.size()), Head);
        EXPECT_NE(M[0].find(Why, Head.size()), std::string::npos) << M[0];
    }
    std::string File(const std::string& Name)
    {
        FFiles.push_back(TempFile(Name));
        return FFiles.back();
    }

    // A Letter report: a title band with a child holding a memo (10 points),
    // a page footer with a page-number field.
    std::unique_ptr<TRpReportForm> MakeForm()
    {
        auto Form = std::make_unique<TRpReportForm>(nullptr);
        Form->SetName("ReportForm");
        auto* R = new TRpReport(Form.get());
        R->SetName("Report1");
        R->SetParent(Form.get());
        R->Page()->SetPaperSize(TRpPaperSize::Letter);
        R->Page()->ReadValues({127, 2794, 127, 2159, 127, 127, 0});
        R->SetReportTitle("Round trip");
        R->Bands()->SetHasTitle(true);
        R->Bands()->SetHasPageFooter(true);
        TRpCustomBand* Title = R->Bands()->GetBand(1);
        Title->SetHasChild(true);
        Title->GetChild()->SetName("TitleChild1");
        auto* Memo = Title->GetChild()->AddPrintable<TRpMemo>();
        Memo->SetName("Memo1");
        Memo->Font()->SetSize(10);
        Memo->Lines()->SetText("first line\nsecond line");
        auto* Page = R->Bands()->GetBand(6)->AddPrintable<TRpSysData>();
        Page->SetName("PageNo1");
        Page->SetData(rpsPageNumber);
        Page->SetText("Page ");
        return Form;
    }

private:
    TDialogAnswerer FOld;
    std::vector<std::string> FFiles;
};

std::vector<TRpBandType> BandTypes(TCustomRpReport* R)
{
    std::vector<TRpBandType> T;
    for (TRpCustomBand* B : R->BandList())
        T.push_back(B->BandType());
    std::sort(T.begin(), T.end());
    return T;
}

TEST_F(RpExtraTest, ReportFormRoundTripKeepsValuesBandsAndPages)
{
    auto Form = MakeForm();
    auto* Original = dynamic_cast<TRpReport*>(Form->Components(0));
    const std::string Name = File("trip.rpf");
    WriteComponentFile(Name, Form.get());
    const std::string Text = ReadText(Name);
    EXPECT_NE(Text.find("FontSize = 10"), std::string::npos) << Text;
    EXPECT_NE(Text.find("TitleChild1: TRpChildBand"), std::string::npos);

    TRpReport* Loaded = RpLoadReport(Name);
    ASSERT_NE(Loaded, nullptr);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Loaded->Page()->WriteValues(), (std::vector<long double>{127, 2794, 127, 2159, 127, 127, 0}));
    EXPECT_EQ(Loaded->ReportTitle(), "Round trip");
    EXPECT_EQ(BandTypes(Loaded), BandTypes(Original));
    ASSERT_EQ(Loaded->Functions()->Count(), 3);
    EXPECT_EQ(Loaded->Functions()->Strings(2), "REPORTTITLE");
    auto* Memo = dynamic_cast<TRpMemo*>(Loaded->Owner()->FindComponent("Memo1"));
    ASSERT_NE(Memo, nullptr);
    EXPECT_EQ(Memo->Font()->Size(), 10);
    EXPECT_EQ(Memo->Lines()->Text(), dynamic_cast<TRpMemo*>(Form->FindComponent("Memo1"))->Lines()->Text());
    EXPECT_EQ(Memo->Parent()->Name(), "TitleChild1");
    // Stored as doubles.
    const auto AsDoubles = [](const std::vector<long double>& V) { return std::vector<double>(V.begin(), V.end()); };
    EXPECT_EQ(AsDoubles(Memo->Size()->WriteValues()),
              AsDoubles(dynamic_cast<TRpMemo*>(Form->FindComponent("Memo1"))->Size()->WriteValues()));

    // Written again, the form is the same text.
    const std::string Again = File("again.rpf");
    WriteComponentFile(Again, Loaded->Owner());
    EXPECT_EQ(ReadText(Again), Text);

    Original->Prepare();
    Loaded->Prepare();
    ASSERT_NE(Original->RunPrinter(), nullptr);
    ASSERT_NE(Loaded->RunPrinter(), nullptr);
    EXPECT_EQ(Loaded->RunPrinter()->PageCount(), Original->RunPrinter()->PageCount());
    RpFreeReport(Loaded);
}

TEST_F(RpExtraTest, UntrustedFormFilesGiveNilWithTheMessage)
{
    auto Form = MakeForm();
    const std::string Good = File("good.rpf");
    WriteComponentFile(Good, Form.get());
    const std::string Text = ReadText(Good);
    const auto Replace = [&](const std::string& From, const std::string& To) { return ReplaceOnce(Text, From, To); };
    const struct {
        const char* Name;
        std::string Form;
        const char* Why;
    } Cases[] = {
        {"unknown class", Replace("TRpMemo", "TRpNoSuchThing"), "unknown class TRpNoSuchThing"},
        {"unknown property", Replace("ReportTitle =", "NoSuchProperty ="), "unknown property NoSuchProperty"},
        {"wrong kind", Replace("ReportTitle = \"Round trip\"", "ReportTitle = 12"), "a string expected"},
        {"too few values", Replace("2794.0", ""), "6 values instead of 7"},
        {"too many values", Replace("0.0)", "0.0 5.0)"), "more than 7 values"},
        {"huge value", Replace("2159.0", "1e300"), "a value out of range"},
        {"text for a number", Replace("2159.0", "\"wide\""), "a number expected"},
        {"DATA of another length", Replace("\"''\")", ")"), "DATA holds 2 expressions for 3 functions"},
        {"cut file", Text.substr(0, Text.size() / 2), "ends inside the block"},
        {"empty file", "", "a form begins with"},
        {"root of another class", Replace("TRpReportForm", "TRpReport"), "not a TRpReportForm"},
    };
    for (const auto& C : Cases) {
        ClearAnsweredDialogs();
        const std::string Name = File("bad.rpf");
        WriteText(Name, C.Form);
        EXPECT_EQ(RpLoadReport(Name), nullptr) << C.Name;
        ExpectLoadError(Name, C.Why);
    }
    ClearAnsweredDialogs();
    const std::string Missing = File("missing.rpf");
    EXPECT_EQ(RpLoadReport(Missing), nullptr);
    ExpectLoadError(Missing, "Cannot open file");
}

// The round-trip form with a group, a sub-detail, data sets, an expression, a
// data text and printer settings of its own.
std::unique_ptr<TRpReportForm> AddDataClasses(std::unique_ptr<TRpReportForm> Form)
{
    auto* R = dynamic_cast<TRpReport*>(Form->Components(0));
    auto* Orders = new TQuery(Form.get());
    Orders->SetName("Orders");
    Orders->SQL()->SetText("SELECT * FROM ORDERS\nWHERE QTY > 2");
    auto* Cities = new TTable(Form.get());
    Cities->SetName("Cities");
    Cities->SetTableName("CITIES");
    R->SetDataSet(Orders);
    auto* Group = new TRpGroup(Form.get());
    Group->SetName("Group1");
    Group->SetParent(R);
    Group->SetExpression("[COUNTRY]");
    Group->SetReprintOnNewPage(true);
    auto* Footer = new TRpBand(Form.get());
    Footer->SetName("GroupFooter1");
    Footer->SetParent(R);
    Group->SetFooterBand(Footer);
    auto* Sum = Footer->AddPrintable<TRpExpr>();
    Sum->SetName("Sum1");
    Sum->SetExpression("SUM([QTY])");
    Sum->SetMask("#,##0.00");
    Sum->SetResetAfterPrint(true);
    Sum->SetMaster(R);
    auto* Sub = new TRpSubDetail(Form.get());
    Sub->SetName("SubDetail1");
    Sub->SetParent(R);
    Sub->SetDataSet(Cities);
    Sub->SetPrintBefore(true);
    Sub->SetPrintIfEmpty(false);
    Sub->Bands()->SetHasHeader(true);
    auto* City = Sub->AddPrintable<TRpDBText>();
    City->SetName("City1");
    City->SetDataSet(Cities);
    City->SetDataField("CITY");
    City->SetMask("!");
    TRpReportPrinterSettings* S = R->PrinterSettings();
    S->SetCopies(3);
    S->SetOutputBin(TRpBin::Manual);
    S->SetDuplex(true);
    S->SetFirstPage(2);
    S->SetLastPage(5);
    S->SetMemoryLimit(1000);
    S->SetPrintMetaFile(true);
    S->SetCollate(1);
    return Form;
}

TEST_F(RpExtraTest, DataClassesAndPrinterSettingsComeBackFromTheFormFile)
{
    auto Form = AddDataClasses(MakeForm());
    const std::string Name = File("data.rpf");
    WriteComponentFile(Name, Form.get());
    const std::string Text = ReadText(Name);
    TRpReport* R = RpLoadReport(Name);
    ASSERT_NE(R, nullptr) << Text;
    EXPECT_TRUE(Messages().empty());
    TComponent* Root = R->Owner();
    const struct {
        const char* Name;
        const char* Class;
    } Classes[] = {{"Orders", "TQuery"},       {"Cities", "TTable"},     {"Group1", "TRpGroup"},
                   {"GroupFooter1", "TRpBand"}, {"Sum1", "TRpExpr"},      {"SubDetail1", "TRpSubDetail"},
                   {"City1", "TRpDBText"},      {"Memo1", "TRpMemo"},     {"PageNo1", "TRpSysData"}};
    for (const auto& C : Classes) {
        TComponent* Found = Root->FindComponent(C.Name);
        ASSERT_NE(Found, nullptr) << C.Name;
        EXPECT_EQ(Found->ClassName(), C.Class);
    }
    auto* Orders = dynamic_cast<TQuery*>(Root->FindComponent("Orders"));
    auto* Cities = dynamic_cast<TTable*>(Root->FindComponent("Cities"));
    EXPECT_EQ(Orders->SQL()->Text(), "SELECT * FROM ORDERS\nWHERE QTY > 2\n");
    EXPECT_FALSE(Orders->Active());
    EXPECT_EQ(Cities->TableName(), "CITIES");
    EXPECT_EQ(R->DataSet(), Orders);

    auto* Group = dynamic_cast<TRpGroup*>(Root->FindComponent("Group1"));
    EXPECT_EQ(Group->Expression(), "[COUNTRY]");
    EXPECT_TRUE(Group->ReprintOnNewPage());
    EXPECT_EQ(Group->FooterBand(), Root->FindComponent("GroupFooter1"));
    EXPECT_EQ(Group->FooterBand()->BandType(), rbGroupFooter);
    auto* Sum = dynamic_cast<TRpExpr*>(Root->FindComponent("Sum1"));
    EXPECT_EQ(Sum->Expression(), "SUM([QTY])");
    EXPECT_EQ(Sum->Mask(), "#,##0.00");
    EXPECT_TRUE(Sum->ResetAfterPrint());
    EXPECT_EQ(Sum->Master(), R);
    auto* Sub = dynamic_cast<TRpSubDetail*>(Root->FindComponent("SubDetail1"));
    EXPECT_EQ(Sub->DataSet(), Cities);
    EXPECT_TRUE(Sub->PrintBefore());
    EXPECT_FALSE(Sub->PrintIfEmpty());
    ASSERT_NE(Sub->HeaderBand(), nullptr);
    EXPECT_EQ(Sub->HeaderBand()->BandType(), rbGroupHeader);
    auto* City = dynamic_cast<TRpDBText*>(Root->FindComponent("City1"));
    EXPECT_EQ(City->DataSet(), Cities);
    EXPECT_EQ(City->DataField(), "CITY");
    EXPECT_EQ(City->Mask(), "!");
    EXPECT_EQ(City->Parent(), Sub);

    TRpReportPrinterSettings* S = R->PrinterSettings();
    EXPECT_EQ(S->Copies(), 3);
    EXPECT_EQ(S->OutputBin(), TRpBin::Manual);
    EXPECT_TRUE(S->Duplex());
    EXPECT_EQ(S->FirstPage(), 2);
    EXPECT_EQ(S->LastPage(), 5);
    EXPECT_EQ(S->MemoryLimit(), 1000);
    EXPECT_TRUE(S->PrintMetaFile());
    EXPECT_EQ(S->Collate(), 1);
    EXPECT_EQ(S->CustomBinCode(), 0);

    const std::string Again = File("data-again.rpf");
    WriteComponentFile(Again, Root);
    EXPECT_EQ(ReadText(Again), Text);
    RpFreeReport(R);

    // Values that make no sense are refused like any broken file.
    const auto Replace = [&](const std::string& From, const std::string& To) { return ReplaceOnce(Text, From, To); };
    const struct {
        const char* Name;
        std::string Form;
        const char* Why;
    } Cases[] = {
        {"no copies", Replace("Copies = 3", "Copies = 0"), "Copies: a value below 1"},
        {"negative memory limit", Replace("MemoryLimit = 1000", "MemoryLimit = -1"), "a value below 0"},
        {"unknown bin", Replace("OutputBin = Manual", "OutputBin = Chute"), "unknown value Chute"},
        {"group footer is the group", Replace("FooterBand = GroupFooter1", "FooterBand = Group1"),
         "a band linked to itself"},
        {"data set that is a band", Replace("DataSet = Orders", "DataSet = Group1"), "which DataSet does not take"},
    };
    for (const auto& C : Cases) {
        ClearAnsweredDialogs();
        const std::string Bad = File("bad-data.rpf");
        WriteText(Bad, C.Form);
        EXPECT_EQ(RpLoadReport(Bad), nullptr) << C.Name;
        ExpectLoadError(Bad, C.Why);
    }
}

// ------------------------------------------------- every class, round trip

// Every published property of A and B alike (sub-objects property by
// property, string lists by their text, references by name); rich texts
// also with every format of their text.
void ExpectSameProperties(TObject* A, TObject* B, const std::string& Path)
{
    ASSERT_EQ(A->ClassType(), B->ClassType()) << Path;
    if (auto* RA = dynamic_cast<TRpCustomRichText*>(A)) {
        EXPECT_EQ(RA->RichEditor()->Document(), dynamic_cast<TRpCustomRichText*>(B)->RichEditor()->Document()) << Path;
    }
    for (const TPropInfo* P : A->ClassType()->Properties()) {
        if (P->IsAlias())
            continue;
        const std::string Where = Path + "." + P->Name();
        switch (P->Kind()) {
        case tkInteger:
        case tkEnumeration:
        case tkSet: EXPECT_EQ(P->GetOrd(A), P->GetOrd(B)) << Where; break;
        case tkFloat: EXPECT_DOUBLE_EQ(P->GetFloat(A), P->GetFloat(B)) << Where; break;
        case tkString: EXPECT_EQ(P->GetString(A), P->GetString(B)) << Where; break;
        case tkComponent: {
            TComponent* CA = P->GetComponent(A);
            TComponent* CB = P->GetComponent(B);
            EXPECT_EQ(CA ? CA->Name() : "(none)", CB ? CB->Name() : "(none)") << Where;
            break;
        }
        case tkClass: {
            TPersistent* OA = P->GetObject(A);
            TPersistent* OB = P->GetObject(B);
            ASSERT_EQ(OA == nullptr, OB == nullptr) << Where;
            if (auto* SA = dynamic_cast<TStrings*>(OA))
                EXPECT_EQ(SA->Text(), dynamic_cast<TStrings*>(OB)->Text()) << Where;
            else if (OA)
                ExpectSameProperties(OA, OB, Where);
            break;
        }
        }
    }
}

// A report form over ORDERS (two cities) on which each case places one
// instance of its class, with properties away from their defaults.
class FormRoundTrip : public prnrig::PdfPrinting {
protected:
    void SetUp() override
    {
        PdfPrinting::SetUp();
        FOld = SetDialogAnswerer([](const TDialogRequest&, TDialogAnswer& A) {
            A.ModalResult = 1;
            return true;
        });
        Db = std::make_unique<TDatabase>(nullptr);
        Db->SetDatabaseName(Dir / "orders.db");
        Db->ExecSQL("CREATE TABLE ORDERS (CITY VARCHAR(20), QTY INTEGER, NOTE MEMO, PHOTO BLOB);"
                    "INSERT INTO ORDERS VALUES ('Lyon', 2, 'Lyon note', NULL);"
                    "INSERT INTO ORDERS VALUES ('Bonn', 5, 'Bonn note', NULL);");
        Form = std::make_unique<TRpReportForm>(nullptr);
        Form->SetName("ReportForm");
        R = new TRpReport(Form.get());
        R->SetName("Report1");
        R->SetParent(Form.get());
        Orders = new TQuery(Form.get());
        Orders->SetName("Orders");
        Orders->SQL()->SetText("SELECT * FROM ORDERS");
        R->SetUnits(TRpUnit::MM);
        R->Page()->SetPaperSize(TRpPaperSize::A4);
        R->Page()->SetOrientation(poPortrait);
        for (int Margin : {0, 2, 4, 5})
            R->Page()->SetValue(Margin, 10);
        R->SetShowProgress(false);
        R->SetPrevFormStyle(fsStayOnTop);
        R->SetPreviewInitialState(wsMaximized);
        R->SetDataSet(Orders);
        R->Bands()->SetHasTitle(true);
        R->Bands()->SetHasDetail(true);
        R->Bands()->SetHasSummary(true);
        Title()->SetName("Title1");
        Title()->Size()->SetHeight(40);
        Detail()->SetName("Detail1");
        Detail()->Size()->SetHeight(40);
        Summary()->SetName("Summary1");
        Summary()->Size()->SetHeight(20);
    }
    void TearDown() override
    {
        Form.reset();
        Db.reset();
        SetDialogAnswerer(FOld);
        PdfPrinting::TearDown();
    }
    TRpCustomBand* Title() const { return R->Bands()->GetBand(1); }
    TRpCustomBand* Detail() const { return R->Bands()->GetBand(4); }
    TRpCustomBand* Summary() const { return R->Bands()->GetBand(7); }
    // A band of class T named Name on the report, Height mm high.
    template <class T>
    T* AddBand(const std::string& Name, double Height)
    {
        auto* B = new T(Form.get());
        B->SetName(Name);
        B->SetParent(R);
        B->Size()->SetHeight(Height);
        return B;
    }
    // A printable of class T named Name on Band, at (Left, Top) mm.
    template <class T>
    T* Add(TRpCustomBand* Band, const std::string& Name, double Left, double Top)
    {
        auto* P = Band->AddPrintable<T>();
        P->SetName(Name);
        P->Size()->SetLeft(Left);
        P->Size()->SetTop(Top);
        return P;
    }
    // The text of the report printed to a PDF file named Name, every page.
    std::string PrintedText(TRpReport* Report, TQuery* Data, const std::string& Name)
    {
        Data->SetDatabase(Db.get());
        Data->Open();
        Report->Print();
        Data->Close();
        const std::string File = Dir / Name;
        std::rename(Pdf.c_str(), File.c_str());
        return RunTool("pdftotext -layout '" + File + "' - 2>&1");
    }

    std::unique_ptr<TDatabase> Db;
    std::unique_ptr<TRpReportForm> Form;
    TQuery* Orders = nullptr;
    TRpReport* R = nullptr;

private:
    TDialogAnswerer FOld;
};

TEST_F(FormRoundTrip, EveryPrintableAndBandClassComesBackWithItsClassAndProperties)
{
    struct TCase {
        const char* Class;
        // Places one on the form; returns its name.
        std::function<std::string()> Make;
        // Found in the form file: what marks the properties as written.
        std::vector<std::string> Written;
        // Found in the printed text.
        std::vector<std::string> Printed;
    };
    const TCase Cases[] = {
        {"TRpLabel",
         [&] {
             auto* L = Add<TRpLabel>(Title(), "Label1", 0, 0);
             L->SetCaption("Round trip label");
             L->SetAlignment(taRightJustify);
             L->SetWordWrap(false);
             L->Font()->SetSize(12);
             L->SetBiDiMode(bdRightToLeftNoAlign);
             return L->Name();
         },
         {"Caption = \"Round trip label\"", "Alignment = taRightJustify", "WordWrap = False",
          "BiDiMode = bdRightToLeftNoAlign", "ParentBiDiMode = False"},
         {"Round trip label"}},
        {"TRpMemo",
         [&] {
             auto* M = Add<TRpMemo>(Title(), "Memo1", 0, 10);
             M->Lines()->SetText("memo first\nmemo second");
             M->SetAutoStretch(true);
             return M->Name();
         },
         {"\"memo first\"", "AutoStretch = True"},
         {"memo first", "memo second"}},
        {"TRpSysData",
         [&] {
             auto* D = Add<TRpSysData>(Title(), "PageNo1", 100, 10);
             D->SetData(rpsPageNumber);
             D->SetText("Sheet ");
             D->SetParentFont(true);
             return D->Name();
         },
         {"Data = rpsPageNumber", "Text = \"Sheet \"", "ParentFont = True"},
         {"Sheet 1"}},
        {"TRpShape",
         [&] {
             auto* S = Add<TRpShape>(Title(), "Shape1", 120, 20);
             S->SetShape(rpsRoundRect);
             S->SetRoundFactor(0.25f);
             S->Pen()->SetWidth(3);
             S->SetVertAdjust(2);
             return S->Name();
         },
         {"Shape = rpsRoundRect", "VertAdjust = 2"},
         {}},
        {"TRpImage",
         [&] {
             auto* I = Add<TRpImage>(Title(), "Image1", 150, 20);
             auto Picture = std::make_unique<TBitmap>();
             Picture->SetWidth(8);
             Picture->SetHeight(8);
             Picture->Canvas()->Brush()->SetColor(clRed);
             Picture->Canvas()->FillRect(Rect(0, 0, 8, 8));
             I->Picture()->SetGraphic(Picture.get());
             I->SetStretch(true);
             I->SetCenter(true);
             return I->Name();
         },
         {"Stretch = True", "Center = True"},
         {}},
        {"TRpDBText",
         [&] {
             auto* T = Add<TRpDBText>(Detail(), "City1", 0, 0);
             T->SetDataSet(Orders);
             T->SetDataField("CITY");
             T->SetMask("!");
             return T->Name();
         },
         {"DataField = \"CITY\"", "DataSet = Orders"},
         {"Lyon", "Bonn"}},
        {"TRpExpr",
         [&] {
             auto* E = Add<TRpExpr>(Detail(), "Expr1", 40, 0);
             E->SetExpression("'Twice ' + STR(ORDERS.QTY * 2)");
             E->SetResetAfterPrint(true);
             return E->Name();
         },
         {"ResetAfterPrint = True"},
         {"Twice 4", "Twice 10"}},
        {"TRpDBCalc",
         [&] {
             auto* C = Add<TRpDBCalc>(Summary(), "Average1", 0, 0);
             C->SetDataField("ORDERS.QTY");
             C->SetOperation(rpcAverage);
             C->SetPrintMask("0.00");
             C->SetResetBand(dynamic_cast<TRpBand*>(Detail()));
             return C->Name();
         },
         {"Operation = rpcAverage", "DataField = \"ORDERS.QTY\"", "ResetBand = Detail1"},
         {"3.50"}},
        {"TRpExprMemo",
         [&] {
             auto* M = Add<TRpExprMemo>(Detail(), "Merged1", 80, 0);
             M->Lines()->SetText("City: {ORDERS.CITY}\n{''}");
             M->SetRemoveBlankLines(true);
             return M->Name();
         },
         {"RemoveBlankLines = True", "\"City: {ORDERS.CITY}\""},
         {"City: Lyon", "City: Bonn"}},
        {"TRpDBImage",
         [&] {
             auto* I = Add<TRpDBImage>(Detail(), "Photo1", 150, 0);
             I->SetDataSet(Orders);
             I->SetDataField("PHOTO");
             I->SetStretch(true);
             I->SetCenter(false);
             return I->Name();
         },
         {"DataField = \"PHOTO\"", "Center = False", "Stretch = True"},
         {}},
        {"TRpRichText",
         [&] {
             auto* T = Add<TRpRichText>(Title(), "Rich1", 0, 25);
             T->Lines()->SetText("Rich words here");
             T->SetAutoStretch(true);
             T->SetAlignment(taCenter);
             return T->Name();
         },
         {"\"Rich words here\"", "AutoStretch = True", "Alignment = taCenter"},
         {"Rich words here"}},
        {"TRpRichText",
         [&] {
             auto* T = Add<TRpRichText>(Title(), "Rich2", 60, 25);
             T->Size()->SetWidth(60);
             T->Size()->SetHeight(14);
             T->Lines()->SetText(R"({\rtf1{\fonttbl{\f0 Courier New;}}{\colortbl;\red0\green128\blue0;})"
                                 R"(\qr\f0\fs28\b\cf1 Bold green \u8364?\b0\par\qc\i\li200 \{italic\}\par})");
             return T->Name();
         },
         {"\"{\\\\rtf1", "Courier New;", "\\\\qr\\\\plain\\\\f0\\\\fs28\\\\b\\\\cf1 Bold green \\\\u8364?"},
         {"Bold green", "{italic}"}},
        {"TRpDBRichText",
         [&] {
             auto* T = Add<TRpDBRichText>(Detail(), "Note1", 0, 20);
             T->SetDataSet(Orders);
             T->SetDataField("NOTE");
             return T->Name();
         },
         {"DataField = \"NOTE\""},
         {"Lyon note", "Bonn note"}},
        {"TRpBand",
         [&] {
             Detail()->SetKeepOnOnePage(true);
             return Detail()->Name();
         },
         {"BandType = rbDetail", "KeepOnOnePage = True"},
         {}},
        {"TRpChildBand",
         [&] {
             Title()->SetHasChild(true);
             TRpCustomBand* Child = Title()->GetChild();
             Child->SetName("TitleChild1");
             Child->Size()->SetHeight(10);
             Add<TRpLabel>(Child, "ChildLabel1", 0, 0)->SetCaption("Below the title");
             return Child->Name();
         },
         {"ParentBand = Title1"},
         {"Below the title"}},
        {"TRpGroup",
         [&] {
             auto* G = AddBand<TRpGroup>("Group1", 10);
             G->SetExpression("ORDERS.CITY");
             G->SetReprintOnNewPage(true);
             Add<TRpLabel>(G, "GroupLabel1", 0, 0)->SetCaption("Group head");
             return G->Name();
         },
         {"Expression = \"ORDERS.CITY\"", "ReprintOnNewPage = True"},
         {"Group head"}},
        {"TRpSubDetail",
         [&] {
             auto* S = AddBand<TRpSubDetail>("SubDetail1", 10);
             S->SetPrintBefore(true);
             Add<TRpLabel>(S, "SubLabel1", 0, 0)->SetCaption("Sub line");
             return S->Name();
         },
         {"PrintBefore = True"},
         {"Sub line"}},
        {"TRpLoopBand",
         [&] {
             auto* L = AddBand<TRpLoopBand>("LoopBand1", 10);
             L->SetPrintCount(2);
             L->SetPrintBefore(true);
             Add<TRpExpr>(L, "LoopIndex1", 0, 0)->SetExpression("'Pass ' + STR(LOOPBAND1)");
             return L->Name();
         },
         {"PrintCount = 2", "PrintBefore = True"},
         {"Pass 0", "Pass 1"}},
        {"TRpStringsBand",
         [&] {
             auto* S = AddBand<TRpStringsBand>("StringsBand1", 10);
             S->Items()->SetText("alpha item\nbeta item");
             Add<TRpExpr>(S, "Item1", 0, 0)->SetExpression("'Item ' + STRINGSBAND1");
             return S->Name();
         },
         {"\"alpha item\"", "\"beta item\""},
         {"Item alpha item", "Item beta item"}},
    };
    std::vector<std::string> Names;
    for (const TCase& C : Cases)
        Names.push_back(C.Make());
    R->RebuildBandList();

    const std::string File = Dir / "every-class.rpf";
    WriteComponentFile(File, Form.get());
    const std::string Text = ReadText(File);
    ClearAnsweredDialogs();
    TRpReport* Loaded = RpLoadReport(File);
    ASSERT_NE(Loaded, nullptr) << (AnsweredDialogs().empty() ? Text : AnsweredDialogs()[0].Text);
    TComponent* Root = Loaded->Owner();
    for (size_t I = 0; I < std::size(Cases); ++I) {
        SCOPED_TRACE(Cases[I].Class);
        for (const std::string& W : Cases[I].Written)
            EXPECT_NE(Text.find(W), std::string::npos) << W;
        TComponent* Original = Form->FindComponent(Names[I]);
        TComponent* Back = Root->FindComponent(Names[I]);
        ASSERT_NE(Back, nullptr);
        EXPECT_EQ(Original->ClassName(), Cases[I].Class);
        EXPECT_EQ(Back->ClassName(), Cases[I].Class);
        ExpectSameProperties(Original, Back, Names[I]);
    }
    EXPECT_NE(Text.find("PrevFormStyle = fsStayOnTop"), std::string::npos);
    EXPECT_NE(Text.find("PreviewInitialState = wsMaximized"), std::string::npos);
    ExpectSameProperties(R, Loaded, "Report1");
    const std::string Again = Dir / "every-class-again.rpf";
    WriteComponentFile(Again, Root);
    EXPECT_EQ(ReadText(Again), Text);

    const std::string Printed = PrintedText(R, Orders, "original.pdf");
    for (const TCase& C : Cases)
        for (const std::string& P : C.Printed)
            EXPECT_NE(Printed.find(P), std::string::npos) << C.Class << ": " << P << "\n" << Printed;
    EXPECT_EQ(PrintedText(Loaded, dynamic_cast<TQuery*>(Root->FindComponent("Orders")), "loaded.pdf"), Printed);
    RpFreeReport(Loaded);
}

TEST_F(RpExtraTest, FirstComponentNoReportGivesNilWithoutMessage)
{
    TRpReportForm Form(nullptr);
    Form.SetName("ReportForm");
    auto* Label = new TRpLabel(&Form);
    Label->SetName("Label1");
    auto* R = new TRpReport(&Form);
    R->SetName("Report1");
    R->SetParent(&Form);
    const std::string Name = File("nolead.rpf");
    WriteComponentFile(Name, &Form);
    EXPECT_EQ(RpLoadReport(Name), nullptr);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(RpExtraTest, PopulateFontSizeComboGivesSixteenSizes)
{
    TComboBox Combo(nullptr);
    Combo.Items()->Add("old");
    PopulateFontSizeCombo(&Combo);
    ASSERT_EQ(Combo.Items()->Count(), 16);
    EXPECT_EQ(Combo.Items()->Get(0), "8");
    EXPECT_EQ(Combo.Items()->Get(15), "72");
}

}  // namespace
