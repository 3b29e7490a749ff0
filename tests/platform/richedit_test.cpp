// The rich-edit control: its lines, the formats it keeps, and the format
// range that lays its text out on a canvas a rectangle at a time.
#include "platform/Application.h"
#include "platform/Metafile.h"
#include "platform/Printers.h"
#include "platform/RichEdit.h"
#include "tests/support/PdfTools.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Artifact(const std::string& Name) { return std::string(OZ_TEST_ARTIFACTS) + "/" + Name; }

// A canvas that keeps every text and fill it is given, with the font and
// brush in force, at a chosen resolution.
class TRecordingCanvas : public TCanvas {
public:
    explicit TRecordingCanvas(int Dpi) : FDpi(Dpi) {}
    struct TText {
        std::string Text;
        TPoint At;
        int Width = 0;
        std::string FontName;
        int FontHeight = 0;
        TFontStyles Style;
        TColor Color = clNone;
        unsigned Align = 0;
    };
    struct TFill {
        TRect R;
        TColor Color = clNone;
    };
    std::vector<TText> Texts;
    std::vector<TFill> Fills;

    void Perform(const TCanvasOp& Op) override
    {
        if (Op.Kind == TCanvasOp::opTextOut)
            Texts.push_back({Op.Text, Op.Pts.at(0), TextWidth(Op.Text), Font()->Name(), Font()->Height(),
                             Font()->Style(), Font()->Color(), TextAlign()});
        else if (Op.Kind == TCanvasOp::opFillRect)
            Fills.push_back({Op.R, Brush()->Color()});
    }
    int PixelsPerInchX() const override { return FDpi; }
    int PixelsPerInchY() const override { return FDpi; }

    const TText* Find(const std::string& Text) const
    {
        for (const TText& T : Texts)
            if (T.Text == Text)
                return &T;
        return nullptr;
    }

private:
    int FDpi;
};

// RTF of Count paragraphs "Paragraph 01", "Paragraph 02", ... in 10-point Arial.
std::string Numbered(int Count)
{
    std::string S = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
    for (int I = 1; I <= Count; ++I) {
        char Line[32];
        std::snprintf(Line, sizeof Line, "Paragraph %02d", I);
        S += Line;
        S += I < Count ? "\\par " : "}";
    }
    return S;
}

std::vector<std::string> Words(const std::string& Text)
{
    std::istringstream In(Text);
    std::vector<std::string> W;
    for (std::string S; In >> S;)
        W.push_back(S);
    return W;
}

TFormatRange Range(TCanvas* Canvas, const TRect& Twips, int CharMin)
{
    TFormatRange R;
    R.Canvas = Canvas;
    R.Rect = Twips;
    R.PageRect = Rect(0, 0, 11906, 16838);
    R.CharMin = CharMin;
    return R;
}

// What the edit draws into a metafile recorded at 96 dpi.
struct TDrawn {
    int Next = 0;
    std::vector<TMetafile::TTextItem> Items;
    int Records = 0;
};

TDrawn DrawInMetafile(TCustomRichEdit& E, const TRect& Twips, int CharMin, bool Render = true)
{
    TMetafile M;
    TDrawn D;
    {
        TMetafileCanvas C(&M, nullptr);
        D.Next = E.FormatRange(Range(&C, Twips, CharMin), Render);
    }
    D.Items = M.TextItems();
    D.Records = M.RecordCount();
    return D;
}

}  // namespace

// ------------------------------------------------------------------ lines and formats

TEST(RichEdit, LinesReadRtfOrPlainText)
{
    EnsureApplication();
    TRichEdit E(nullptr);
    E.Lines()->SetText("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Hello \\b bold\\b0  world\\par second\\line third}");
    ASSERT_EQ(E.Lines()->Count(), 2);
    EXPECT_EQ(E.Lines()->Strings(0), "Hello bold world");
    EXPECT_EQ(E.Lines()->Strings(1), "second\vthird");
    EXPECT_EQ(E.GetTextLen(), 16 + 1 + 12);
    EXPECT_EQ(E.Text(), "Hello bold world\nsecond\vthird");

    // The control's own text reads RTF too; PlainText keeps it literal.
    E.SetText("{\\rtf1 a\\par b}");
    EXPECT_EQ(E.Lines()->Count(), 2);
    E.SetPlainText(true);
    E.Lines()->SetText("{\\rtf1 a\\par b}");
    ASSERT_EQ(E.Lines()->Count(), 1);
    EXPECT_EQ(E.Lines()->Strings(0), "{\\rtf1 a\\par b}");
    E.SetPlainText(false);

    // Plain lines; a text ending with a break has no empty last line.
    E.Lines()->SetText("one\r\ntwo\n");
    EXPECT_EQ(E.Lines()->Count(), 2);
    EXPECT_EQ(E.GetTextLen(), 7);
    E.Clear();
    EXPECT_EQ(E.Lines()->Count(), 0);
    EXPECT_EQ(E.GetTextLen(), 0);
    E.Lines()->Add("a");
    E.Lines()->Add("b");
    E.Lines()->Insert(1, "between");
    EXPECT_EQ(E.Text(), "a\nbetween\nb");
    E.Lines()->Delete(0);
    E.Lines()->Put(1, "last");
    EXPECT_EQ(E.Text(), "between\nlast");
    EXPECT_EQ(E.GetTextLen(), 12);

    // An empty last paragraph of an RTF text stays a line.
    E.Lines()->SetText("{\\rtf1 a\\par\\par}");
    EXPECT_EQ(E.Lines()->Count(), 2);
    EXPECT_EQ(E.GetTextLen(), 2);

    // Assigned string lists are read as one text, RTF included; so is a file.
    TStringList L;
    L.Add("{\\rtf1 {\\b x}\\par");
    L.Add("y}");
    E.SetLines(&L);
    ASSERT_EQ(E.Lines()->Count(), 2);
    EXPECT_EQ(E.Document().Paragraphs[0].Runs.at(0).Format.Style, TFontStyles{fsBold});
    const std::string File = Artifact("richedit_lines.rtf");
    L.Clear();
    L.Add("{\\rtf1 f\\par g\\par h}");
    L.SaveToFile(File);
    E.Lines()->LoadFromFile(File);
    EXPECT_EQ(E.Lines()->Count(), 3);
    std::remove(File.c_str());
}

TEST(RichEdit, LinesFromAnotherRichEditKeepTheirFormatting)
{
    EnsureApplication();
    TRichEdit A(nullptr), B(nullptr);
    A.Lines()->SetText(
        "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl;\\red200\\green0\\blue0;}"
        "\\qc\\sb120\\f1\\fs28 centred {\\b\\cf1 red}\\par\\pard\\li720\\highlight1 marked\\par\\par}");
    B.Lines()->Assign(A.Lines());
    EXPECT_EQ(B.Document(), A.Document());
    EXPECT_EQ(B.GetTextLen(), A.GetTextLen());
    const TRichDocument Copy = B.Document();
    const TRichParagraph& P = Copy.Paragraphs.at(0);
    EXPECT_EQ(P.Format.Alignment, raCenter);
    EXPECT_EQ(P.Format.SpaceBefore, 120);
    ASSERT_EQ(P.Runs.size(), 2u);
    EXPECT_EQ(P.Runs[1].Format.Color, RGB(200, 0, 0));
    EXPECT_EQ(P.Runs[1].Format.FontName, "Courier New");
    EXPECT_EQ(P.Runs[1].Format.HalfPoints, 28);
    EXPECT_EQ(Copy.Paragraphs.at(1).Runs.at(0).Format.BackColor, RGB(200, 0, 0));

    // A plain line inserted before a formatted paragraph leaves its format alone.
    B.Lines()->Insert(0, "plain");
    const TRichDocument D = B.Document();
    EXPECT_EQ(D.Paragraphs.at(0).Format.Alignment, raLeft);
    EXPECT_EQ(D.Paragraphs.at(0).Runs.at(0).Format.Style, TFontStyles{});
    EXPECT_EQ(D.Paragraphs.at(1), A.Document().Paragraphs.at(0));
}

TEST(RichEdit, WhatTheTextLeavesOpenFollowsTheControl)
{
    EnsureApplication();
    TRichEdit E(nullptr);
    E.Font()->SetName("Courier New");
    E.Font()->SetSize(14);
    E.Font()->SetColor(clNavy);
    E.Lines()->SetText("plain");
    TRichCharFormat F = E.Document().Paragraphs.at(0).Runs.at(0).Format;
    EXPECT_EQ(F.FontName, "Courier New");
    EXPECT_EQ(F.HalfPoints, 28);
    EXPECT_EQ(F.Color, clNavy);
    EXPECT_EQ(E.Document().Paragraphs.at(0).Format.Alignment, raLeft);

    // Later changes reach plain text at once.
    E.SetAlignment(taCenter);
    E.Font()->SetName("Arial");
    E.Font()->SetStyle({fsItalic});
    F = E.Document().Paragraphs.at(0).Runs.at(0).Format;
    EXPECT_EQ(F.FontName, "Arial");
    EXPECT_EQ(F.Style, TFontStyles{fsItalic});
    EXPECT_EQ(E.Document().Paragraphs.at(0).Format.Alignment, raCenter);

    // RTF keeps what it says and takes the rest from the control.
    E.Lines()->SetText("{\\rtf1{\\fonttbl{\\f0 Times New Roman;}}\\ql {\\f0 named} \\fs40 sized}");
    const TRichDocument D = E.Document();
    ASSERT_EQ(D.Paragraphs.at(0).Runs.size(), 3u);
    EXPECT_EQ(D.Paragraphs[0].Format.Alignment, raLeft);
    EXPECT_EQ(D.Paragraphs[0].Runs[0].Format.FontName, "Times New Roman");
    EXPECT_EQ(D.Paragraphs[0].Runs[0].Format.HalfPoints, 28);
    EXPECT_EQ(D.Paragraphs[0].Runs[0].Format.Style, TFontStyles{});   // RTF says not italic
    EXPECT_EQ(D.Paragraphs[0].Runs[2].Format.FontName, "Arial");
    EXPECT_EQ(D.Paragraphs[0].Runs[2].Format.HalfPoints, 40);
}

TEST(RichEdit, ChangeFiresForEveryNewText)
{
    EnsureApplication();
    TRichEdit E(nullptr);
    int Changes = 0;
    E.OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &E);
        ++Changes;
    };
    E.Lines()->SetText("{\\rtf1 a\\par b}");
    EXPECT_GE(Changes, 1);
    const int Before = Changes;
    E.Lines()->Add("c");
    EXPECT_GT(Changes, Before);
}

// ------------------------------------------------------------------ format range

TEST(RichEdit, FormatRangeContinuesWhereTheRectangleIsFull)
{
    EnsureApplication();
    TRichEdit E(nullptr);
    E.Lines()->SetText(Numbered(40));
    const int Length = E.GetTextLen();
    ASSERT_EQ(Length, 40 * 12 + 39);

    // Two inches hold part of it; the rest goes into a taller rectangle.
    const TRect First = Rect(1440, 1440, 1440 * 6, 1440 * 3);
    const TDrawn A = DrawInMetafile(E, First, 0);
    ASSERT_GT(A.Next, 0);
    ASSERT_LT(A.Next, Length);
    EXPECT_EQ(A.Next % 13, 0) << "continues at a paragraph's start";
    for (const auto& I : A.Items)
        EXPECT_LE(I.Bounds.Bottom, 3 * 96) << I.Text;
    const TDrawn B = DrawInMetafile(E, Rect(1440, 0, 1440 * 6, 1440 * 11), A.Next);
    EXPECT_EQ(B.Next, Length + 1);

    std::vector<std::string> Seen;
    for (const TDrawn* D : {&A, &B})
        for (const auto& I : D->Items)
            Seen.push_back(I.Text);
    std::vector<std::string> Expected;
    for (int I = 1; I <= 40; ++I) {
        char Line[32];
        std::snprintf(Line, sizeof Line, "Paragraph %02d", I);
        Expected.push_back(Line);
    }
    EXPECT_EQ(Seen, Expected);
    EXPECT_EQ(static_cast<int>(A.Items.size()), A.Next / 13);

    // Measuring places the same text and draws nothing.
    const TDrawn M = DrawInMetafile(E, First, 0, false);
    EXPECT_EQ(M.Next, A.Next);
    EXPECT_EQ(M.Records, 0);
    TFormatRange NoCanvas = Range(nullptr, First, 0);
    EXPECT_EQ(E.FormatRange(NoCanvas, true), A.Next);   // 96 dpi, nothing to draw on

    // A range that ends early returns its end once placed.
    TFormatRange Part = Range(nullptr, Rect(0, 0, 1440 * 6, 1440 * 20), 13);
    Part.CharMax = 39;
    EXPECT_EQ(E.FormatRange(Part, false), 39);
}

TEST(RichEdit, FormatRangeBreaksALongParagraphAtALine)
{
    EnsureApplication();
    TRichEdit E(nullptr);
    std::string Text;
    for (int I = 1; I <= 80; ++I)
        Text += "word" + std::to_string(I) + (I < 80 ? " " : "");
    E.Lines()->SetText("{\\rtf1\\qj " + Text + "}");
    TRecordingCanvas C(600);
    const TRect Narrow = Rect(0, 0, 1440 * 2, 1440 / 2);   // a few lines
    const int Next = E.FormatRange(Range(&C, Narrow, 0), true);
    ASSERT_GT(Next, 0);
    ASSERT_LT(Next, E.GetTextLen());
    EXPECT_EQ(Text[static_cast<size_t>(Next) - 1], ' ') << "breaks between words";
    // Justified lines end at the right edge; every word is drawn once.
    int RightMost = 0;
    for (const auto& T : C.Texts)
        RightMost = std::max(RightMost, T.At.X + T.Width);
    EXPECT_NEAR(RightMost, 2 * 600, 3);
    TRecordingCanvas Rest(600);
    EXPECT_EQ(E.FormatRange(Range(&Rest, Rect(0, 0, 1440 * 2, 1440 * 20), Next), true), E.GetTextLen() + 1);
    std::string Drawn;
    for (const TRecordingCanvas* R : {&C, &Rest})
        for (const auto& T : R->Texts)
            Drawn += T.Text + " ";
    EXPECT_EQ(Words(Drawn), Words(Text));
    // The continued part starts a line at the rectangle's left edge.
    EXPECT_EQ(Rest.Texts.at(0).At.X, 0);
}

TEST(RichEdit, FormatRangePlacesByAlignmentIndentsAndSpacing)
{
    EnsureApplication();
    TRichEdit E(nullptr);
    E.Lines()->SetText("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 "
                       "\\ql left\\par\\qc centre\\par\\qr right\\par"
                       "\\pard\\li1440 indented\\par\\pard\\li1440\\fi-720 \\bullet\\tab item\\par\\pard\\sb720\\sa360 spaced\\par"
                       "\\pard after\\par a\\tab b}");
    // At 1440 dpi a pixel is a twip.
    TRecordingCanvas C(1440);
    const TRect R = Rect(1000, 2000, 1000 + 1440 * 4, 2000 + 1440 * 10);
    EXPECT_EQ(E.FormatRange(Range(&C, R, 0), true), E.GetTextLen() + 1);
    const auto* Left = C.Find("left");
    const auto* Centre = C.Find("centre");
    const auto* Right = C.Find("right");
    ASSERT_TRUE(Left && Centre && Right);
    EXPECT_EQ(Left->At.X, R.Left);
    EXPECT_NEAR(Centre->At.X + Centre->Width / 2.0, (R.Left + R.Right) / 2.0, 30);
    EXPECT_NEAR(Right->At.X + Right->Width, R.Right, 30);
    EXPECT_EQ(C.Find("indented")->At.X, R.Left + 1440);
    EXPECT_EQ(C.Find("\xE2\x80\xA2")->At.X, R.Left + 720);
    EXPECT_EQ(C.Find("item")->At.X, R.Left + 1440) << "a hanging indent's tab goes to the indent";
    // 12 points at 1440 dpi; lines a font's height apart.
    EXPECT_EQ(Left->FontHeight, -240);
    EXPECT_EQ(Left->Align, TA_BASELINE | TA_LEFT);
    const int Line = Centre->At.Y - Left->At.Y;
    EXPECT_GT(Line, 240);
    EXPECT_LT(Line, 340);
    EXPECT_NEAR(Left->At.Y - R.Top, Line * 0.8, Line * 0.2);   // the first baseline
    EXPECT_NEAR(C.Find("spaced")->At.Y - C.Find("item")->At.Y, Line + 720, 1);
    EXPECT_NEAR(C.Find("after")->At.Y - C.Find("spaced")->At.Y, Line + 360, 1);
    // A tab stop every half inch.
    ASSERT_TRUE(C.Find("b"));
    EXPECT_EQ(C.Find("b")->At.X, R.Left + 720);
    EXPECT_EQ(C.Find("b")->At.Y, C.Find("a")->At.Y);
}

TEST(RichEdit, FormatRangeDrawsEachRunInItsFontAndColours)
{
    EnsureApplication();
    TRichEdit E(nullptr);
    E.Lines()->SetText("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                       "{\\colortbl;\\red255\\green0\\blue0;\\red255\\green255\\blue0;}"
                       "\\f0\\fs24 Hello \\b bold\\b0  world\\par {\\f1\\fs36\\i\\cf1 big}{\\ul\\highlight2 marked}}");
    TRecordingCanvas C(600);
    C.Font()->SetName("Times New Roman");
    C.Font()->SetColor(clGreen);
    C.Brush()->SetColor(clAqua);
    C.SetTextAlign(TA_RIGHT);
    C.SetPenPos({7, 8});
    E.FormatRange(Range(&C, Rect(0, 0, 1440 * 5, 1440 * 5), 0), true);

    ASSERT_TRUE(C.Find("Hello ") && C.Find("bold") && C.Find(" world"));
    EXPECT_EQ(C.Find("Hello ")->Style, TFontStyles{});
    EXPECT_EQ(C.Find("bold")->Style, TFontStyles{fsBold});
    EXPECT_EQ(C.Find(" world")->Style, TFontStyles{});
    EXPECT_EQ(C.Find("bold")->FontName, "Arial");
    EXPECT_EQ(C.Find("bold")->FontHeight, -100);   // 12 points at 600 dpi
    EXPECT_NEAR(C.Find("bold")->At.X, C.Find("Hello ")->At.X + C.Find("Hello ")->Width, 1);
    const auto* Big = C.Find("big");
    ASSERT_TRUE(Big);
    EXPECT_EQ(Big->FontName, "Courier New");
    EXPECT_EQ(Big->FontHeight, -150);
    EXPECT_EQ(Big->Style, TFontStyles{fsItalic});
    EXPECT_EQ(Big->Color, clRed);
    EXPECT_EQ(C.Find("marked")->Style, TFontStyles{fsUnderline});
    EXPECT_EQ(C.Find("marked")->At.Y, Big->At.Y) << "one baseline per line";
    // The highlight is filled behind its run only.
    ASSERT_EQ(C.Fills.size(), 1u);
    EXPECT_EQ(C.Fills[0].Color, clYellow);
    EXPECT_EQ(C.Fills[0].R.Left, C.Find("marked")->At.X);
    EXPECT_LE(C.Fills[0].R.Top, Big->At.Y - 100);
    EXPECT_GT(C.Fills[0].R.Bottom, Big->At.Y);

    // The canvas is as it was.
    EXPECT_EQ(C.Font()->Name(), "Times New Roman");
    EXPECT_EQ(C.Font()->Color(), clGreen);
    EXPECT_EQ(C.Brush()->Color(), clAqua);
    EXPECT_EQ(C.TextAlign(), static_cast<unsigned>(TA_RIGHT));
    EXPECT_EQ(C.PenPos(), (TPoint{7, 8}));
}

TEST(RichEdit, FormatRangeEdges)
{
    EnsureApplication();
    TRichEdit E(nullptr);
    TRecordingCanvas C(300);
    const TRect Page = Rect(0, 0, 1440 * 4, 1440 * 4);
    // Nothing to place: done at once.
    EXPECT_EQ(E.FormatRange(Range(&C, Page, 0), true), 1);
    E.Lines()->SetText("{\\rtf1 first\\par\\par third}");
    const int Length = E.GetTextLen();   // 5 + 1 + 0 + 1 + 5
    ASSERT_EQ(Length, 12);
    // Past the end, or at the break before the last paragraph's end.
    EXPECT_EQ(E.FormatRange(Range(&C, Page, 50), true), Length + 1);
    EXPECT_EQ(E.FormatRange(Range(&C, Page, -5), false), Length + 1);
    // No room for a line: nothing placed, the start comes back.
    EXPECT_EQ(E.FormatRange(Range(&C, Rect(0, 0, 1440, 10), 6), true), 6);
    EXPECT_EQ(E.FormatRange(Range(&C, Rect(0, 100, 1440, 50), 0), true), 0);
    EXPECT_TRUE(C.Texts.empty());
    // The empty paragraph takes a line of its own.
    TRecordingCanvas Empty(300);
    const int AfterEmpty = E.FormatRange(Range(&Empty, Rect(0, 0, 1440, 1440), 6), true);
    EXPECT_EQ(AfterEmpty, Length + 1);
    ASSERT_EQ(Empty.Texts.size(), 1u);
    EXPECT_EQ(Empty.Texts[0].Text, "third");
    // A rectangle with no width still places every character once.
    TRecordingCanvas Thin(300);
    EXPECT_EQ(E.FormatRange(Range(&Thin, Rect(0, 0, 0, 1440 * 40), 0), true), Length + 1);
    std::string All;
    for (const auto& T : Thin.Texts)
        All += T.Text;
    EXPECT_EQ(All, "firstthird");
}

TEST(RichEdit, FormatRangePrintsIntoAPdfOverTwoPages)
{
    EnsureApplication();
    TRichEdit E(nullptr);
    E.Lines()->SetText(Numbered(40));
    const std::string File = Artifact("richedit_two_pages.pdf");
    TPrinter P;
    P.SetFileName(File);
    P.BeginDoc();
    TCanvas* C = P.Canvas();
    // A rectangle of 3 inches on page 1, the rest on page 2.
    int Next = E.FormatRange(Range(C, Rect(1440, 1440, 1440 * 6, 1440 * 4), 0), true);
    EXPECT_GT(Next, 0);
    EXPECT_LT(Next, E.GetTextLen());
    P.NewPage();
    Next = E.FormatRange(Range(C, Rect(1440, 1440, 1440 * 6, 1440 * 10), Next), true);
    EXPECT_EQ(Next, E.GetTextLen() + 1);
    P.EndDoc();
    EXPECT_EQ(PdfInfo(File).Pages, 2);

    const std::string Text = RunTool("pdftotext -layout '" + File + "' - 2>&1");
    size_t Last = 0;
    for (int I = 1; I <= 40; ++I) {
        char Line[32];
        std::snprintf(Line, sizeof Line, "Paragraph %02d", I);
        const size_t At = Text.find(Line);
        ASSERT_NE(At, std::string::npos) << Line;
        EXPECT_EQ(Text.find(Line, At + 1), std::string::npos) << Line << " twice";
        EXPECT_GE(At, Last) << Line << " out of order";
        Last = At;
    }
}

TEST(RichEdit, FormattedPageForAPerson)
{
    EnsureApplication();
    TRichEdit E(nullptr);
    E.Lines()->SetText(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Times New Roman;}{\\f2 Courier New;}}"
        "{\\colortbl;\\red192\\green0\\blue0;\\red0\\green96\\blue160;\\red255\\green240\\blue120;}"
        "\\f0\\fs36\\qc\\b Rich text report\\b0\\par"
        "\\pard\\sb240\\fs22 Plain, {\\b bold}, {\\i italic}, {\\ul underlined}, {\\strike struck} and "
        "{\\cf1 red} or {\\cf2 blue} words, a {\\highlight3 highlighted} phrase, caf\\'e9 \\u8364? 10 "
        "\\emdash\\ldblquote quoted\\rdblquote .\\par"
        "\\pard\\qj\\li720\\ri720\\sb120 {\\f1 A justified paragraph indented half an inch on both sides. "
        "It runs over several lines so that the stretched spaces between its words can be seen, "
        "while its last line keeps its natural spacing.}\\par"
        "\\pard\\li720\\fi-360\\sb120\\f2\\fs20 \\bullet\\tab A hanging bullet item\\line with a second line\\par"
        "\\pard\\qr\\sb240\\fs16\\i Right-aligned closing note}");
    const std::string File = Artifact("richedit_formatted.pdf");
    TPrinter P;
    P.SetFileName(File);
    P.BeginDoc();
    P.Canvas()->Rectangle(P.PixelsPerInchX(), P.PixelsPerInchY(), 7 * P.PixelsPerInchX(), 5 * P.PixelsPerInchY());
    EXPECT_EQ(E.FormatRange(Range(P.Canvas(), Rect(1440 + 72, 1440 + 72, 1440 * 7 - 72, 1440 * 5 - 72), 0), true),
              E.GetTextLen() + 1);
    P.EndDoc();
    const std::string Text = RunTool("pdftotext '" + File + "' - 2>&1");
    EXPECT_NE(Text.find("Rich text report"), std::string::npos);
    EXPECT_NE(Text.find("caf\xC3\xA9"), std::string::npos);
    EXPECT_NE(Text.find("\xE2\x82\xAC 10"), std::string::npos);
    EXPECT_NE(Text.find("Right-aligned closing note"), std::string::npos);
}
