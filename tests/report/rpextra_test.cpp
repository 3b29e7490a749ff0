// Report forms written to files and read back; untrusted form files.
#include "platform/DialogHook.h"
#include "platform/DBTables.h"
#include "platform/Filer.h"
#include "platform/StdCtrls.h"
#include "report/RpControllerBands.h"
#include "report/RpCtrls.h"
#include "report/RpCtrlsData.h"
#include "report/RpExtra.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
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
    } Cases[] = {
        {"unknown class", Replace("TRpMemo", "TRpNoSuchThing")},
        {"unknown property", Replace("ReportTitle =", "NoSuchProperty =")},
        {"wrong kind", Replace("ReportTitle = \"Round trip\"", "ReportTitle = 12")},
        {"too few values", Replace("2794.0", "")},
        {"too many values", Replace("0.0)", "0.0 5.0)")},
        {"huge value", Replace("2159.0", "1e300")},
        {"text for a number", Replace("2159.0", "\"wide\"")},
        {"DATA of another length", Replace("\"''\")", ")")},
        {"cut file", Text.substr(0, Text.size() / 2)},
        {"empty file", ""},
        {"root of another class", Replace("TRpReportForm", "TRpReport")},
    };
    for (const auto& C : Cases) {
        ClearAnsweredDialogs();
        const std::string Name = File("bad.rpf");
        WriteText(Name, C.Form);
        EXPECT_EQ(RpLoadReport(Name), nullptr) << C.Name;
        EXPECT_EQ(Messages(), std::vector<std::string>{"Error loading report"}) << C.Name;
    }
    ClearAnsweredDialogs();
    EXPECT_EQ(RpLoadReport(File("missing.rpf")), nullptr);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Error loading report"});
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
    } Cases[] = {
        {"no copies", Replace("Copies = 3", "Copies = 0")},
        {"negative memory limit", Replace("MemoryLimit = 1000", "MemoryLimit = -1")},
        {"unknown bin", Replace("OutputBin = Manual", "OutputBin = Chute")},
        {"group footer is the group", Replace("FooterBand = GroupFooter1", "FooterBand = Group1")},
        {"data set that is a band", Replace("DataSet = Orders", "DataSet = Group1")},
    };
    for (const auto& C : Cases) {
        ClearAnsweredDialogs();
        const std::string Bad = File("bad-data.rpf");
        WriteText(Bad, C.Form);
        EXPECT_EQ(RpLoadReport(Bad), nullptr) << C.Name;
        EXPECT_EQ(Messages(), std::vector<std::string>{"Error loading report"}) << C.Name;
    }
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
