// Rich text printables: printing into the printable's rectangle, band
// growth in 5 mm steps drawn once at the final height, continuation on the
// next page, texts from another rich edit and from memo and blob fields,
// export as images, RTF from a blob that is not to be trusted, and formatted
// lines kept by report forms.
#include "report/RpRichText.h"

#include "platform/DBTables.h"
#include "platform/Filer.h"
#include "platform/Metafile.h"
#include "report/RpCtrls.h"
#include "report/RpExportFilter.h"
#include "report/RpExtra.h"
#include "tests/report/PrinterRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace prnrig;

namespace {

// "{\rtf1...}" of Count paragraphs "Para<1000 + n> text".
std::string Paragraphs(int Count)
{
    std::string Rtf = R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0\fs20 )";
    for (int I = 1; I <= Count; ++I)
        Rtf += "Para" + std::to_string(1000 + I) + " text" + (I < Count ? "\\par " : "");
    return Rtf + "}";
}

std::vector<std::string> TextsOf(TMetafile& M)
{
    std::vector<std::string> Texts;
    for (const TMetafile::TTextItem& T : M.TextItems())
        Texts.push_back(T.Text);
    return Texts;
}

// The texts drawn on each recorded page of the report's last run.
std::vector<std::vector<std::string>> PageTexts(TCustomRpReport& R)
{
    std::vector<std::vector<std::string>> Pages;
    TRpPrinter* P = R.RunPrinter();
    for (int N = 1; P && N <= P->PageCount(); ++N) {
        Pages.emplace_back();
        if (std::unique_ptr<TMetafile> M = P->Page(N))
            Pages.back() = TextsOf(*M);
    }
    return Pages;
}

// How often each "Para" word appears in Texts, in order of appearance.
std::vector<std::string> ParaWords(const std::vector<std::string>& Texts)
{
    std::vector<std::string> Words;
    for (const std::string& T : Texts)
        for (size_t At = T.find("Para"); At != std::string::npos; At = T.find("Para", At + 4))
            Words.push_back(T.substr(At, 8));
    return Words;
}

std::vector<std::string> Expected(int From, int To)
{
    std::vector<std::string> Words;
    for (int I = From; I <= To; ++I)
        Words.push_back("Para" + std::to_string(1000 + I));
    return Words;
}

// An A4 report, 10 mm margins: a 30 mm title, a detail band of 20 mm
// holding a rich text of 150 x 20 mm at its top, one record.
class RichReport : public PdfPrinting {
protected:
    void SetUp() override
    {
        PdfPrinting::SetUp();
        R = std::make_unique<TRpReport>(nullptr);
        R->SetUnits(TRpUnit::MM);
        R->Page()->SetPaperSize(TRpPaperSize::A4);
        R->Page()->SetOrientation(poPortrait);
        for (auto Set : {&TRpPage::SetTopMargin, &TRpPage::SetBottomMargin, &TRpPage::SetLeftMargin,
                         &TRpPage::SetRightMargin})
            (R->Page()->*Set)(10);
        R->Bands()->SetHasTitle(true);
        R->Bands()->SetHasDetail(true);
        Band(1)->Size()->SetHeight(30);
        Detail()->Size()->SetHeight(20);
        Text = Detail()->AddPrintable<TRpRichText>();
        Text->SetName("Rich");
        Place(Text, 0, 0, 1500, 200);
        R->SetShowProgress(false);
        R->OnNeedData = [this](TObject*, bool& More) { More = ++Served <= 1; };
        Detail()->AfterPrint = [this](TRpCustomBand* Sender, bool) { Growths.push_back(Sender->Expanded()); };
    }
    void TearDown() override
    {
        R.reset();
        PdfPrinting::TearDown();
    }
    TRpCustomBand* Band(int Index) const { return R->Bands()->GetBand(Index); }
    TRpCustomBand* Detail() const { return Band(4); }
    static void Place(TRpPrintable* P, long double Left, long double Top, long double Width, long double Height)
    {
        P->Size()->SetUnits(TRpUnit::Native);
        P->Size()->SetLeft(Left);
        P->Size()->SetTop(Top);
        P->Size()->SetWidth(Width);
        P->Size()->SetHeight(Height);
    }
    void SetText(TRpCustomRichText* T, const std::string& Value)
    {
        TStringList L;
        L.SetText(Value);
        T->SetLines(&L);
    }

    std::unique_ptr<TRpReport> R;
    TRpRichText* Text = nullptr;
    int Served = 0;
    std::vector<long double> Growths;
};

// Keeps the names of the images a run hands over.
class TRecordingFilter : public TRpExportFilter {
public:
    TRecordingFilter() : TRpExportFilter("") {}
    void AcceptGraphic(double X, double Y, TRpPrintable* Control) override
    {
        if (auto* Image = dynamic_cast<TRpImage*>(Control)) {
            Names.push_back(Image->Name());
            Empty.push_back(Image->Picture()->Empty());
            Positions.push_back({X, Y});
        }
    }
    std::vector<std::string> Names;
    std::vector<bool> Empty;
    std::vector<std::pair<double, double>> Positions;
};

}  // namespace

// ---------------------------------------------------------------- printing

TEST_F(RichReport, ShortTextPrintsOnceInsideItsRectangleWithItsFrame)
{
    SetText(Text, R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0\fs24 Hello \b bold\b0  world})");
    Text->Frame()->SetValue(0, true);
    R->Prepare();
    auto Pages = PageTexts(*R);
    ASSERT_EQ(Pages.size(), 1u);
    std::string All;
    for (const std::string& T : Pages[0])
        All += T + "|";
    EXPECT_NE(All.find("Hello"), std::string::npos) << All;
    EXPECT_EQ(All.find("Hello"), All.rfind("Hello"));
    EXPECT_TRUE(Text->PrintComplete());
    EXPECT_EQ(Growths, (std::vector<long double>{0}));
    const int WithFrame = R->RunPrinter()->Page(1)->RecordCount();

    // Inside the rectangle: the detail band starts 40 mm down, 10 mm in.
    std::unique_ptr<TMetafile> M = R->RunPrinter()->Page(1);
    TRpPrinter* P = R->RunPrinter();
    for (const TMetafile::TTextItem& T : M->TextItems()) {
        EXPECT_GE(T.Bounds.Left, P->XPos(100));
        EXPECT_GE(T.Bounds.Top, P->YPos(400));
        EXPECT_LT(T.Bounds.Top, P->YPos(600));
    }

    for (int Side = 0; Side < 4; ++Side)
        Text->Frame()->SetValue(Side, false);
    Served = 0;
    R->Prepare();
    EXPECT_LT(R->RunPrinter()->Page(1)->RecordCount(), WithFrame) << "the frame is drawn";
}

TEST_F(RichReport, AutoStretchGrowsTheBandInStepsOf5MillimetresAndDrawsEachLineOnce)
{
    SetText(Text, Paragraphs(40));
    Text->SetAutoStretch(true);
    R->Prepare();
    auto Pages = PageTexts(*R);
    ASSERT_EQ(Pages.size(), 1u);
    EXPECT_EQ(ParaWords(Pages[0]), Expected(1, 40));
    ASSERT_EQ(Growths.size(), 1u);
    EXPECT_GT(Growths[0], 0);
    EXPECT_EQ(std::fmod(Growths[0], 50.0L), 0) << Growths[0];
    EXPECT_TRUE(Text->PrintComplete());
    EXPECT_EQ(Text->NextCharIndex(), Text->RichEditor()->GetTextLen());

    // The band is as high as the text needs, not a step more.
    TRpPrinter* P = R->RunPrinter();
    std::unique_ptr<TMetafile> M = P->Page(1);
    int Lowest = 0;
    for (const TMetafile::TTextItem& T : M->TextItems())
        Lowest = std::max(Lowest, T.Bounds.Top);
    EXPECT_GT(Lowest, P->YPos(600 + Growths[0] - 50 - 60));
}

TEST_F(RichReport, WhatDoesNotFitContinuesAtTheTopOfTheNextPageWithoutFrame)
{
    SetText(Text, Paragraphs(100));
    Text->SetAutoStretch(true);
    Text->Frame()->SetValue(0, true);
    R->Print();
    ASSERT_EQ(PdfInfo(Pdf).Pages, 2);
    std::filesystem::copy_file(Pdf, Artifact("report-richtext-two-pages.pdf"),
                               std::filesystem::copy_options::overwrite_existing);
    const std::string Layer = RunTool("pdftotext '" + Pdf + "' -");
    EXPECT_EQ(ParaWords({Layer}), Expected(1, 100)) << "every paragraph once and in order";

    // The second page's band starts at its top margin with the first
    // character that did not fit.
    Served = 0;
    Growths.clear();
    R->Prepare();
    auto Pages = PageTexts(*R);
    ASSERT_EQ(Pages.size(), 2u);
    const auto First = ParaWords(Pages[0]), Second = ParaWords(Pages[1]);
    ASSERT_FALSE(Second.empty());
    EXPECT_EQ(Second.front(), "Para" + std::to_string(1001 + First.size()));
    std::unique_ptr<TMetafile> M = R->RunPrinter()->Page(2);
    int Highest = M->Height();
    for (const TMetafile::TTextItem& T : M->TextItems())
        Highest = std::min(Highest, T.Bounds.Top);
    EXPECT_LT(Highest, R->RunPrinter()->YPos(100 + 60));
    EXPECT_TRUE(Text->PrintComplete());
}

TEST_F(RichReport, WithoutAutoStretchTheTextStopsAtTheRectanglesBottom)
{
    SetText(Text, Paragraphs(40));
    R->Prepare();
    auto Pages = PageTexts(*R);
    ASSERT_EQ(Pages.size(), 1u);
    const auto Words = ParaWords(Pages[0]);
    ASSERT_GT(Words.size(), 2u);
    ASSERT_LT(Words.size(), 10u) << "20 mm hold a few lines of 10 points";
    EXPECT_EQ(Words, Expected(1, static_cast<int>(Words.size())));
    EXPECT_EQ(Growths, (std::vector<long double>{0}));
    EXPECT_TRUE(Text->PrintComplete());
}

TEST_F(RichReport, TextThatNeverFitsAPageEndsInsteadOfPrintingEmptyPages)
{
    struct TCase {
        const char* Name;
        std::string Rtf;
        long double Width;
    } Cases[] = {
        {"a line taller than the page", R"({\rtf1\fs2400 W\par\fs20 after})", 1500},
        {"a printable 0 wide", Paragraphs(3), 0},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        SetText(Text, C.Rtf);
        Text->SetAutoStretch(true);
        Text->Size()->SetWidth(C.Width);
        Served = 0;
        R->Prepare();
        EXPECT_LE(R->RunPrinter()->PageCount(), 3);
        EXPECT_TRUE(Text->PrintComplete());
    }
}

// -------------------------------------------------------- the text's source

TEST_F(RichReport, ParentRichEditCopiesItsTextAndLaterLinesReachBoth)
{
    TRichEdit Outside(nullptr);
    Outside.Lines()->SetText(R"({\rtf1\ansi \b Outside\b0  text})");
    Text->SetParentRichEdit(&Outside);
    EXPECT_EQ(Text->RichEditor()->Document().PlainText(), "Outside text");
    EXPECT_TRUE(Text->RichEditor()->Document().Paragraphs[0].Runs[0].Format.Style.Contains(fsBold));

    SetText(Text, "Later\nlines");
    EXPECT_EQ(Outside.Document().PlainText(), "Later\nlines");
    EXPECT_EQ(Text->RichEditor()->Document().PlainText(), "Later\nlines");
    R->Prepare();
    const auto Pages = PageTexts(*R);
    ASSERT_EQ(Pages.size(), 1u);
    std::string All;
    for (const std::string& T : Pages[0])
        All += T + "|";
    EXPECT_NE(All.find("Later"), std::string::npos) << All;
}

TEST_F(RichReport, AnOutsideRichEditThatGoesAwayIsForgotten)
{
    auto Outside = std::make_unique<TRichEdit>(nullptr);
    Text->SetParentRichEdit(Outside.get());
    Outside.reset();
    EXPECT_EQ(Text->ParentRichEdit(), nullptr);
    EXPECT_EQ(Text->Source(), Text->RichEditor());
}

// ------------------------------------------------------------ data fields

namespace {

std::string Hex(const std::string& Bytes)
{
    static const char* Digits = "0123456789ABCDEF";
    std::string H;
    for (unsigned char C : Bytes) {
        H += Digits[C >> 4];
        H += Digits[C & 15];
    }
    return H;
}

// A table NOTES (ID, R blob, M memo, S text) in memory, one row per text
// pair, read by a query.
class NotesData {
public:
    NotesData()
    {
        Db.SetDatabaseName(":memory:");
        Db.Open();
        Db.ExecSQL("CREATE TABLE NOTES (ID INTEGER, R BLOB, M MEMO, S TEXT)");
        Q.SetDatabase(&Db);
    }
    void Add(int Id, const std::string& Blob, const std::string& Memo, const std::string& S = "short")
    {
        std::string M = Memo;
        for (size_t At = M.find('\''); At != std::string::npos; At = M.find('\'', At + 2))
            M.insert(At, "'");
        Db.ExecSQL("INSERT INTO NOTES VALUES (" + std::to_string(Id) + ", x'" + Hex(Blob) + "', '" + M + "', '" +
                   S + "')");
    }
    void Open()
    {
        Q.SQL()->SetText("SELECT * FROM NOTES ORDER BY ID");
        Q.Open();
    }
    TDatabase Db{nullptr};
    TQuery Q{nullptr};
};

}  // namespace

TEST_F(RichReport, DataAwareRichTextPrintsAnRtfBlobAndAPlainMemo)
{
    NotesData Data;
    Data.Add(1, R"({\rtf1\ansi Blob \i styled\i0  caf\'e9})", "Memo line\nsecond memo line");
    Data.Open();
    Text->SetEnabled(false);
    auto* FromBlob = Detail()->AddPrintable<TRpDBRichText>();
    Place(FromBlob, 0, 0, 700, 200);
    FromBlob->SetDataSet(&Data.Q);
    FromBlob->SetDataField("R");
    auto* FromMemo = Detail()->AddPrintable<TRpDBRichText>();
    Place(FromMemo, 800, 0, 700, 200);
    FromMemo->SetDataSet(&Data.Q);
    FromMemo->SetDataField("m");
    R->Prepare();
    const auto Pages = PageTexts(*R);
    ASSERT_EQ(Pages.size(), 1u);
    std::string All;
    for (const std::string& T : Pages[0])
        All += T + "|";
    EXPECT_NE(All.find("Blob"), std::string::npos) << All;
    EXPECT_NE(All.find("café"), std::string::npos) << All;
    EXPECT_EQ(All.find("rtf"), std::string::npos) << All;
    EXPECT_NE(All.find("second memo line"), std::string::npos) << All;
    EXPECT_TRUE(FromBlob->RichEditor()->Document().Paragraphs[0].Runs[1].Format.Style.Contains(fsItalic));

    // A string field gives its text; no field gives nothing.
    auto* FromString = Detail()->AddPrintable<TRpDBRichText>();
    FromString->SetDataSet(&Data.Q);
    FromString->SetDataField("S");
    std::string Value = "before";
    FromString->GetFieldString(Value);
    EXPECT_EQ(Value, "short");
    FromString->SetDataField("NONE");
    FromString->GetFieldString(Value);
    EXPECT_EQ(Value, "");
}

TEST_F(RichReport, ExpandedHeightOfALongFieldGrowsIn5MillimetreStepsUpToThePage)
{
    NotesData Data;
    Data.Add(1, Paragraphs(20), "");
    Data.Add(2, Paragraphs(2000), "");
    Data.Add(3, "short", "");
    Data.Open();
    R->Prepare();   // a run printer to measure with
    auto* Field = Detail()->AddPrintable<TRpDBRichText>();
    Place(Field, 0, 0, 1500, 100);
    Field->SetDataSet(&Data.Q);
    Field->SetDataField("R");
    Field->Prepare();
    const long double PixelsPerTenth = Field->Size()->ScreenPPI() / 254.0L;
    auto Tenths = [&](long double Pixels) { return std::round(Pixels / PixelsPerTenth); };

    long double Height = 0;
    Field->GetExpandedHeight(Height);
    const long double Twenty = Tenths(Height);
    EXPECT_GT(Twenty, 100);
    EXPECT_EQ(std::fmod(Twenty - 100, 50.0L), 0) << Twenty;
    // The text fits that height and needs more than 5 mm less.
    TFormatRange Range;
    Range.Rect = Rect(0, 0, 1500 * 1440 / 254, static_cast<int>(Twenty * 1440 / 254));
    TCustomRichEdit* Edit = Field->RichEditor();
    EXPECT_GT(Edit->FormatRange(Range, false), Edit->GetTextLen());
    Range.Rect.Bottom = static_cast<int>((Twenty - 50) * 1440 / 254);
    EXPECT_LE(Edit->FormatRange(Range, false), Edit->GetTextLen());

    // 2000 paragraphs stop at the page's printable height (297 - 20 mm).
    Data.Q.Next();
    Field->GetExpandedHeight(Height);
    EXPECT_LE(Tenths(Height), 2770);
    EXPECT_GT(Tenths(Height), 2770 - 50);

    // A short text keeps the printable's height; so does one too narrow
    // for any character.
    Data.Q.Next();
    Field->GetExpandedHeight(Height);
    EXPECT_EQ(Tenths(Height), 100);
    Data.Q.First();
    Place(Field, 0, 0, 0, 100);
    Field->GetExpandedHeight(Height);
    EXPECT_EQ(Tenths(Height), 100);
    Field->UnPrepare();
}

TEST_F(RichReport, UntrustedRtfFromABlobNeverCrashes)
{
    const std::vector<std::string> Blobs = {
        R"({\rtf1 unbalanced {{{ braces \b bold)",
        R"({\rtf1 }}}}} closed too often } text})",
        R"({\rtf1\fs999999999999999999999 huge \f-99999999999 \u99999999999999999? \uc-5 x})",
        "{\\rtf1 " + std::string(100000, '{') + "deep" + std::string(100000, '}') + "}",
        R"({\rtf1 cut escape \')",
        R"({\rtf1 cut escape \'4)",
        R"({\rtf1 cut unicode \u)",
        R"({\rtf1 cut unicode \u-)",
        R"({\rtf1 \unknownword123 {\*\destination skipped} kept})",
        std::string("{\\rtf1 \0 nul \xff\xfe bytes", sizeof("{\\rtf1 \0 nul \xff\xfe bytes") - 1),
        "{\\rtf",
        "",
    };
    NotesData Data;
    for (size_t I = 0; I < Blobs.size(); ++I)
        Data.Add(static_cast<int>(I), Blobs[I], "");
    Data.Open();
    Text->SetEnabled(false);
    auto* Field = Detail()->AddPrintable<TRpDBRichText>();
    Place(Field, 0, 0, 1500, 100);
    Field->SetAutoStretch(true);
    Field->SetDataSet(&Data.Q);
    Field->SetDataField("R");
    int Rows = 0;
    R->OnNeedData = [&](TObject*, bool& More) {
        if (Rows > 0)
            Data.Q.Next();
        More = Rows++ < static_cast<int>(Blobs.size());
    };
    R->Prepare();
    EXPECT_GE(R->RunPrinter()->PageCount(), 1);
    std::string All;
    for (const auto& Page : PageTexts(*R))
        for (const std::string& T : Page)
            All += T + "|";
    EXPECT_NE(All.find("kept"), std::string::npos) << "what can be read is kept: " << All;
    EXPECT_EQ(All.find("skipped"), std::string::npos);
}

// ------------------------------------------------------------------ export

TEST_F(RichReport, ExportHandsEachRichTextToTheFilterAsANumberedImage)
{
    SetText(Text, Paragraphs(2));
    auto* Second = Detail()->AddPrintable<TRpRichText>();
    Place(Second, 0, 100, 1500, 100);
    SetText(Second, "Plain second");
    TRecordingFilter Filter;
    R->ExportToFilter(&Filter);
    EXPECT_EQ(Filter.Names, (std::vector<std::string>{"RTF0", "RTF1"}));
    EXPECT_EQ(Filter.Empty, (std::vector<bool>{false, false}));
    ASSERT_EQ(Filter.Positions.size(), 2u);
    EXPECT_LT(Filter.Positions[0].second, Filter.Positions[1].second);
    Served = 0;
    R->ExportToFilter(&Filter);
    EXPECT_EQ(Filter.Names.back(), "RTF3") << "the count goes on within a report";
}

// ------------------------------------------------------------ report forms

namespace {

std::string FileText(const std::string& File)
{
    const rprig::Bytes B = rprig::ReadFile(File);
    return std::string(B.begin(), B.end());
}

// The words of a PDF with their boxes, as pdftotext finds them.
std::string WordBoxes(const std::string& Pdf)
{
    std::string Boxes;
    std::istringstream In(RunTool("pdftotext -bbox '" + Pdf + "' - 2>&1"));
    for (std::string Line; std::getline(In, Line);)
        if (Line.find("<word") != std::string::npos)
            Boxes += Line + "\n";
    return Boxes;
}

// The first page of a PDF as a picture (PNG bytes).
std::string Pixels(const std::string& Pdf)
{
    RunTool("pdftoppm -r 60 -png -singlefile '" + Pdf + "' '" + Pdf + "'");
    return FileText(Pdf + ".png");
}

}  // namespace

TEST_F(RichReport, LinesComeBackFromAReportFormWithTheirFormattingAndPrintAlike)
{
    TRpReportForm Form(nullptr);
    Form.SetName("ReportForm");
    auto* Report = new TRpReport(&Form);
    Report->SetName("Report1");
    Report->SetParent(&Form);
    Report->SetUnits(TRpUnit::MM);
    Report->Page()->SetPaperSize(TRpPaperSize::A4);
    Report->SetShowProgress(false);
    Report->Bands()->SetHasTitle(true);
    TRpCustomBand* Title = Report->Bands()->GetBand(1);
    Title->SetName("Title1");
    Title->Size()->SetHeight(200);
    const auto Add = [&](const std::string& Name, long double Top, long double Height) {
        auto* T = Title->AddPrintable<TRpRichText>();
        T->SetName(Name);
        Place(T, 0, Top, 1800, Height);
        return T;
    };
    // Every format the text can hold, a paragraph added as a plain line,
    // characters RTF escapes; plain lines; a plain line that reads like RTF.
    TRpRichText* Formatted = Add("Formatted1", 0, 1200);
    Formatted->Lines()->SetText(
        R"({\rtf1\ansi{\fonttbl{\f0 Arial;}{\f1 Times New Roman;}{\f2 Courier New;}})"
        R"({\colortbl;\red200\green0\blue0;\red0\green0\blue180;\red255\green255\blue0;})"
        R"(\pard\qc\f0\fs32\b Centred title\b0\par)"
        R"(\pard\qj\li360\ri720\fi-180\sb120\sa240\fs20 Plain, \b bold\b0 , \i italic\i0 , \ul under\ulnone , )"
        R"(\strike struck\strike0 , \cf1 red\cf0 , \cf2\highlight3 blue on yellow\cf0\highlight0 , )"
        R"(\f1 Times\f2  Courier\f0 .)"
        R"(\par\pard\qr\fs28 caf\'e9 \u8364? \u-10179?\u-8704? \{braces\} and a \\ backslash\tab tab\line break)"
        R"(\par\pard\par\plain text in the printable's font\par})");
    Formatted->Lines()->Add("A plain line added later");
    Formatted->Font()->SetColor(clGreen);
    TRpRichText* Plain = Add("Plain1", 1300, 300);
    Plain->Lines()->SetText("plain first\nplain second");
    TRpRichText* Lookalike = Add("Lookalike1", 1650, 200);
    Lookalike->Lines()->Add(R"({\rtf1 plain text, not rich\par})");
    ASSERT_EQ(Formatted->RichEditor()->Document().Paragraphs.size(), 6u);
    ASSERT_TRUE(Formatted->RichEditor()->Document().Paragraphs[1].Runs[1].Format.Style.Contains(fsBold));

    const std::string File = Dir / "rich.rpf";
    WriteComponentFile(File, &Form);
    const std::string Text = FileText(File);
    // Formatted text as RTF; plain lines as they were always stored, which
    // forms saved before read as ever.
    EXPECT_NE(Text.find(R"("{\\rtf1\\ansi)"), std::string::npos) << Text;
    EXPECT_NE(Text.find("\"plain first\"\n          \"plain second\")"), std::string::npos) << Text;

    TRpReport* Loaded = RpLoadReport(File);
    ASSERT_NE(Loaded, nullptr);
    for (TRpRichText* Original : {Formatted, Plain, Lookalike}) {
        auto* Back = dynamic_cast<TRpRichText*>(Loaded->Owner()->FindComponent(Original->Name()));
        ASSERT_NE(Back, nullptr) << Original->Name();
        EXPECT_EQ(Back->RichEditor()->Document(), Original->RichEditor()->Document()) << Original->Name();
        EXPECT_EQ(Back->Lines()->Text(), Original->Lines()->Text()) << Original->Name();
    }
    const std::string Again = Dir / "rich-again.rpf";
    WriteComponentFile(Again, Loaded->Owner());
    EXPECT_EQ(FileText(Again), Text);

    // The same words at the same places, the same pixels.
    const std::string First = Dir / "original.pdf", Second = Dir / "loaded.pdf";
    Report->Print();
    std::rename(Pdf.c_str(), First.c_str());
    Loaded->Print();
    std::rename(Pdf.c_str(), Second.c_str());
    RpFreeReport(Loaded);
    const std::string Words = WordBoxes(First);
    EXPECT_NE(Words.find(">Centred<"), std::string::npos) << Words;
    EXPECT_NE(Words.find(">{braces}<"), std::string::npos) << Words;
    EXPECT_NE(Words.find(">later<"), std::string::npos) << Words;
    EXPECT_EQ(WordBoxes(Second), Words);
    const std::string Picture = Pixels(First);
    EXPECT_GT(Picture.size(), 1000u);
    EXPECT_TRUE(Pixels(Second) == Picture) << "the loaded form prints another picture";
}

// -------------------------------------------------------- for a person

TEST_F(RichReport, FormattedPageForAPerson)
{
    SetText(Text, R"({\rtf1\ansi{\fonttbl{\f0 Arial;}{\f1 Times New Roman;}})"
                  R"({\colortbl;\red200\green0\blue0;\red0\green0\blue180;})"
                  R"(\pard\qc\f0\fs32\b Centred title\b0\par)"
                  R"(\pard\ql\fs20 Plain, \b bold\b0 , \i italic\i0 , \ul underlined\ulnone , )"
                  R"(\cf1 red\cf0  and \cf2 blue\cf0  words in \f1 another face\f0 .\par)"
                  R"(\pard\qr Right-aligned closing line\par})");
    Text->SetAutoStretch(true);
    Text->Frame()->SetValue(0, true);
    R->Print();
    std::filesystem::copy_file(Pdf, Artifact("report-richtext-formatted.pdf"),
                               std::filesystem::copy_options::overwrite_existing);
    const std::string Layer = RunTool("pdftotext '" + Pdf + "' -");
    EXPECT_NE(Layer.find("Centred title"), std::string::npos);
    EXPECT_NE(Layer.find("Right-aligned closing line"), std::string::npos);
}
