// The rich-text reader: RTF and plain text into paragraphs and runs, and
// what it keeps of damaged input.
#include "platform/RichText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Texts(const TRichDocument& Doc)
{
    std::vector<std::string> T;
    for (const TRichParagraph& P : Doc.Paragraphs)
        T.push_back(P.Text());
    return T;
}

// The format of the run holding Text (the first run when Text is empty).
const TRichCharFormat* FormatOf(const TRichDocument& Doc, const std::string& Text)
{
    for (const TRichParagraph& P : Doc.Paragraphs)
        for (const TRichRun& R : P.Runs)
            if (R.Text == Text)
                return &R.Format;
    return nullptr;
}

}  // namespace

TEST(RichText, ReadsTextOfRtfAndPlainText)
{
    struct TCase {
        const char* Name;
        std::string Text;
        std::vector<std::string> Paragraphs;
    };
    const TCase Cases[] = {
        {"paragraphs", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Hello \\b bold\\b0  world\\par second}",
         {"Hello bold world", "second"}},
        {"code page 1252", "{\\rtf1 caf\\'e9 \\'80\\'96\\'85}", {"caf\xC3\xA9 \xE2\x82\xAC\xE2\x80\x93\xE2\x80\xA6"}},
        {"unicode skips its fallback", "{\\rtf1 \\u8364?}", {"\xE2\x82\xAC"}},
        {"negative unicode", "{\\rtf1 \\u-4064?}", {"\xEF\x80\xA0"}},
        {"uc2 skips two, escapes count as one", "{\\rtf1\\uc2 \\u8364\\'80\\'80x}", {"\xE2\x82\xAC" "x"}},
        {"uc0 skips nothing", "{\\rtf1\\uc0 \\u8364 x}", {"\xE2\x82\xAC" "x"}},
        {"uc is kept per group", "{\\rtf1 {\\uc0 a}\\u8364?b}", {"a\xE2\x82\xAC" "b"}},
        {"surrogate pair", "{\\rtf1 \\u-10179?\\u-8704?}", {"\xF0\x9F\x98\x80"}},
        {"lone surrogate", "{\\rtf1 a\\u-9000?b}", {"a\xEF\xBF\xBD" "b"}},
        {"escaped characters", "{\\rtf1 \\\\ \\{ \\} a\\~b\\-c\\_d}", {"\\ { } a\xC2\xA0" "bc\xE2\x80\x91" "d"}},
        {"named quotes and dashes",
         "{\\rtf1 \\lquote a\\rquote  \\ldblquote b\\rdblquote  \\emdash \\endash \\bullet }",
         {"\xE2\x80\x98" "a\xE2\x80\x99 \xE2\x80\x9C" "b\xE2\x80\x9D \xE2\x80\x94\xE2\x80\x93\xE2\x80\xA2"}},
        {"tab and line", "{\\rtf1 a\\tab b\\line c}", {"a\tb\vc"}},
        {"line ends and raw controls are no text", "{\\rtf1 a\r\nb\x01" "c}", {"abc"}},
        {"backslash newline is a paragraph", "{\\rtf1 a\\\nb}", {"a", "b"}},
        {"trailing par adds no paragraph", "{\\rtf1 a\\par }", {"a"}},
        {"empty paragraph kept", "{\\rtf1 a\\par\\par b}", {"a", "", "b"}},
        {"font and colour tables are not text",
         "{\\rtf1{\\fonttbl\\f0\\fswiss Arial;\\f1 Times;}{\\colortbl;\\red255\\green0\\blue0;}x}", {"x"}},
        {"ignorable destinations skipped", "{\\rtf1 a{\\*\\generator Writer 1.0;}{\\*\\unknown {nested} text}b}", {"ab"}},
        {"known destinations skipped",
         "{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}{\\header H}a{\\pict\\pngblip 89504e47}b}",
         {"ab"}},
        {"binary data may hold braces", "{\\rtf1 a{\\*\\pict\\bin4 }}{{}b}", {"ab"}},
        {"unknown words ignored, their text kept", "{\\rtf1\\frobnicate12 a\\zork b}", {"ab"}},
        {"field result shown, instruction not", "{\\rtf1{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}}", {"link"}},
        {"raw UTF-8 and raw 1252 bytes", "{\\rtf1 \xC3\xA9\xE9}", {"\xC3\xA9\xC3\xA9"}},
        {"text after the document ignored", "{\\rtf1 a}b", {"a"}},
        {"plain text stays plain", "plain {\\b text}\\par", {"plain {\\b text}\\par"}},
        {"plain lines", "one\r\ntwo\rthree\nfour\n", {"one", "two", "three", "four"}},
        {"leading blank is plain", " {\\rtf1 a}", {" {\\rtf1 a}"}},
        {"empty plain text", "", {}},
        // damaged input: what can be read is kept
        {"missing closing braces", "{\\rtf1 a{\\b b", {"ab"}},
        {"cut hex escape", "{\\rtf1 a\\'e", {"a"}},
        {"cut hex escape before text", "{\\rtf1 a\\'zb}", {"azb"}},
        {"cut unicode", "{\\rtf1 a\\u", {"a"}},
        {"cut unicode number", "{\\rtf1 a\\u83", {"aS"}},
        {"backslash at the end", "{\\rtf1 a\\", {"a"}},
        {"huge numbers", "{\\rtf1\\fs99999999999999999999\\li-99999999999999999 a\\u99999999999999999999?b}", {"a\xEF\xBF\xBD" "b"}},
        {"huge binary length", "{\\rtf1 a\\bin99999999999 b}", {"a"}},
        {"closing brace too many inside", "{\\rtf1 a}}}b", {"a"}},
        {"very long word", "{\\rtf1 \\" + std::string(10000, 'x') + " a}", {"a"}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        const TRichDocument Doc = ReadRichText(C.Text);
        EXPECT_EQ(Texts(Doc), C.Paragraphs);
    }
}

TEST(RichText, CharacterFormatsFollowTheGroups)
{
    const TRichDocument Doc = ReadRichText(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Hello \\b bold\\b0  world\\par second}");
    ASSERT_EQ(Doc.Paragraphs.size(), 2u);
    const auto& Runs = Doc.Paragraphs[0].Runs;
    ASSERT_EQ(Runs.size(), 3u);
    EXPECT_EQ(Runs[1].Text, "bold");
    for (size_t I = 0; I < Runs.size(); ++I) {
        EXPECT_EQ(Runs[I].Format.Style, I == 1 ? TFontStyles{fsBold} : TFontStyles{}) << I;
        EXPECT_EQ(Runs[I].Format.FontName, "Arial");
        EXPECT_EQ(Runs[I].Format.HalfPoints, 24);
    }
    ASSERT_EQ(Doc.Paragraphs[1].Runs.size(), 1u);
    EXPECT_EQ(Doc.Paragraphs[1].Runs[0].Format.FontName, "Arial");
    EXPECT_EQ(Doc.Paragraphs[1].Runs[0].Format.HalfPoints, 24);

    const TRichDocument D = ReadRichText(
        "{\\rtf1{\\fonttbl{\\f0\\fnil Courier New;}{\\f1\\froman{\\*\\panose 0} Times New Roman;}}"
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\deff0"
        "def{\\f1\\fs30\\i\\ul\\strike\\cf1\\highlight2 all}{\\ul u\\ulnone n}{\\uldb d}\\par{\\b\\plain p}\\par"
        "{\\cf0 auto}\\par{\\cf7 missing}\\par{\\f9 nofont}\\par{\\fs0 zero}\\par{\\fs-4 neg}\\par{\\cb1 back}}");
    const TRichCharFormat* Def = FormatOf(D, "def");
    ASSERT_TRUE(Def);
    EXPECT_EQ(Def->FontName, "Courier New");   // \deff
    EXPECT_EQ(Def->HalfPoints, 0);             // the control's size
    EXPECT_EQ(Def->Color, clDefault);
    EXPECT_EQ(Def->BackColor, clNone);
    const TRichCharFormat* All = FormatOf(D, "all");
    ASSERT_TRUE(All);
    EXPECT_EQ(All->FontName, "Times New Roman");
    EXPECT_EQ(All->HalfPoints, 30);
    EXPECT_EQ(All->Style, (TFontStyles{fsItalic, fsUnderline, fsStrikeOut}));
    EXPECT_EQ(All->Color, clRed);
    EXPECT_EQ(All->BackColor, clBlue);
    EXPECT_EQ(FormatOf(D, "u")->Style, TFontStyles{fsUnderline});
    EXPECT_EQ(FormatOf(D, "n")->Style, TFontStyles{});
    EXPECT_EQ(FormatOf(D, "d")->Style, TFontStyles{fsUnderline});
    EXPECT_EQ(FormatOf(D, "p")->Style, TFontStyles{});
    EXPECT_EQ(FormatOf(D, "auto")->Color, clDefault);
    EXPECT_EQ(FormatOf(D, "missing")->Color, clDefault);
    EXPECT_EQ(FormatOf(D, "nofont")->FontName, "");
    EXPECT_EQ(FormatOf(D, "zero")->HalfPoints, 0);
    EXPECT_EQ(FormatOf(D, "neg")->HalfPoints, 0);
    EXPECT_EQ(FormatOf(D, "back")->BackColor, clRed);
}

TEST(RichText, ParagraphFormats)
{
    const TRichDocument D = ReadRichText(
        "{\\rtf1\\pard\\qc centred\\par\\qr right\\par\\pard\\qj\\li720\\ri360\\fi-240\\sb120\\sa60 just\\par"
        "\\pard plain\\par{\\qc inner}\\par\\li99999999 far\\par\\sb-5 neg}");
    ASSERT_EQ(D.Paragraphs.size(), 7u);
    EXPECT_EQ(D.Paragraphs[0].Format.Alignment, raCenter);
    EXPECT_EQ(D.Paragraphs[1].Format.Alignment, raRight);
    const TRichParaFormat Just{raJustify, 720, 360, -240, 120, 60};
    EXPECT_EQ(D.Paragraphs[2].Format, Just);
    EXPECT_EQ(D.Paragraphs[3].Format, TRichParaFormat{});
    // A paragraph takes the format in force at its break.
    EXPECT_EQ(D.Paragraphs[4].Format.Alignment, raLeft);
    EXPECT_EQ(D.Paragraphs[5].Format.LeftIndent, 31680);   // limited to 22 inches
    EXPECT_EQ(D.Paragraphs[6].Format.SpaceBefore, 0);
}

TEST(RichText, CountsCharactersInUtf16WithOneBreakPerParagraph)
{
    EXPECT_EQ(ReadRichText("").TextLength(), 0);
    EXPECT_TRUE(ReadRichText("{\\rtf1 }").Empty());
    EXPECT_EQ(ReadRichText("ab\ncd").TextLength(), 5);
    // "€" is one unit, the emoji two (a surrogate pair), the tab one.
    EXPECT_EQ(ReadRichText("{\\rtf1 \\u8364?\\u-10179?\\u-8704?\\tab\\par x}").TextLength(), 6);
    EXPECT_EQ(ReadRichText("{\\rtf1 a\\par\\par}").TextLength(), 2);
    EXPECT_EQ(Utf16Length("\xFF" "a"), 2);   // a stray byte counts as one
}

TEST(RichText, DeepNestingAndLongInputKeepTheirText)
{
    // Groups nested far deeper than the reader keeps states for.
    std::string Deep = "{\\rtf1 ";
    for (int I = 0; I < 100000; ++I)
        Deep += "{\\b ";
    Deep += "deep";
    for (int I = 0; I < 100000; ++I)
        Deep += "}";
    Deep += " after}";
    EXPECT_EQ(Texts(ReadRichText(Deep)), std::vector<std::string>{"deep after"});
    // The same, never closed.
    std::string Open = "{\\rtf1 ";
    for (int I = 0; I < 100000; ++I)
        Open += "{x";
    EXPECT_EQ(ReadRichText(Open).TextLength(), 100000);

    std::string Many = "{\\rtf1 ";
    for (int I = 0; I < 20000; ++I)
        Many += "p\\par ";
    Many += "}";
    EXPECT_EQ(ReadRichText(Many).Paragraphs.size(), 20000u);
}

// ------------------------------------------------------------------ writer

namespace {

TRichRun Span(std::string Text, TRichCharFormat Format = {}) { return {std::move(Format), std::move(Text)}; }

TRichParagraph Para(std::vector<TRichRun> Runs, TRichParaFormat Format = {}, TRichCharFormat Mark = {})
{
    TRichParagraph P;
    P.Format = Format;
    P.Runs = std::move(Runs);
    P.MarkFormat = std::move(Mark);
    return P;
}

TRichCharFormat Chars(std::string Name, int HalfPoints = 0, TFontStyles Style = {}, TColor Color = clDefault,
                     TColor BackColor = clNone)
{
    return {std::move(Name), HalfPoints, Style, Color, BackColor};
}

}  // namespace

TEST(RichText, WrittenRtfReadsBackToTheSameDocument)
{
    struct TCase {
        const char* Name;
        std::vector<TRichParagraph> Paragraphs;
    };
    const TRichCharFormat Bold = Chars("", 0, {fsBold});
    const TCase Cases[] = {
        {"empty document", {}},
        {"plain paragraphs", {Para({Span("one")}), Para({Span("two")})}},
        {"empty paragraphs, also the last",
         {Para({}), Para({Span("a")}), Para({}), Para({Span("b")}), Para({})}},
        {"font names, and text left to the control's font",
         {Para({Span("a", Chars("Arial")), Span("b", Chars("Times New Roman")), Span("c"),
                Span("d", Chars("Arial"))})}},
        {"sizes",
         {Para({Span("a", Chars("", 1)), Span("b", Chars("", 24)), Span("c", Chars("", 3276)), Span("d")})}},
        {"styles",
         {Para({Span("b", Bold), Span("i", Chars("", 0, {fsItalic})), Span("u", Chars("", 0, {fsUnderline})),
                Span("s", Chars("", 0, {fsStrikeOut})),
                Span("all", Chars("", 0, {fsBold, fsItalic, fsUnderline, fsStrikeOut}))})}},
        {"colours and backgrounds",
         {Para({Span("red", Chars("", 0, {}, clRed)), Span("black", Chars("", 0, {}, clBlack)),
                Span("odd", Chars("", 0, {}, RGB(1, 2, 3))), Span("auto"),
                Span("on yellow", Chars("", 0, {}, clRed, clYellow)),
                Span("on black", Chars("", 0, {}, clDefault, clBlack))})}},
        {"every character attribute at once",
         {Para({Span("x", Chars("Courier New", 30, {fsBold, fsUnderline}, clBlue, clLime)),
                Span("y", Chars("Arial"))})}},
        {"alignments",
         {Para({Span("l")}), Para({Span("c")}, {raCenter}), Para({Span("r")}, {raRight}),
          Para({Span("j")}, {raJustify})}},
        {"indents and spacing",
         {Para({Span("hanging")}, {raLeft, 720, 360, -240, 120, 60}),
          Para({Span("far")}, {raRight, 31680, 0, 31680, 0, 0}),
          Para({Span("negative")}, {raLeft, -400, -200, 0, 0, 0}), Para({}, {raCenter, 100, 0, 0, 0, 5})}},
        {"formats of paragraph marks",
         {Para({Span("a")}, {}, Chars("Arial", 40, {fsItalic}, clGreen, clSilver)),
          Para({}, {}, Chars("", 20, {fsBold}))}},
        {"characters past ASCII",
         {Para({Span("caf\xC3\xA9 \xE2\x82\xAC \xC2\xA0 \xE6\x97\xA5\xE6\x9C\xAC \xEF\xBF\xBD \xEF\xBF\xBF "
                     "\xC2\x80 \x7F")})}},
        {"characters past U+FFFF", {Para({Span("\xF0\x9F\x98\x80 and \xF4\x8F\xBF\xBF and \xF0\x90\x80\x80")})}},
        {"braces, backslashes and what looks like RTF",
         {Para({Span("{\\rtf1 \\b not bold\\par} \\u233? \\\\ }{ ; ?", Bold)})}},
        {"tabs and line breaks", {Para({Span("\ta\tb\vc\v")})}},
        {"blanks around formats", {Para({Span(" lead", Bold), Span(" mid "), Span("1 digit", Chars("", 22))})}},
        {"font names with what RTF escapes",
         {Para({Span("a", Chars("Odd {Name} \\ caf\xC3\xA9 \xF0\x9F\x98\x80")), Span("b", Chars("9 Pitch"))})}},
        {"a long paragraph", {Para({Span(std::string(5000, 'x') + "\xC3\xA9" + std::string(3000, '{'))})}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TRichDocument Doc;
        Doc.Paragraphs = C.Paragraphs;
        const std::string Rtf = WriteRtf(Doc);
        EXPECT_TRUE(IsRichText(Rtf));
        EXPECT_EQ(ReadRtf(Rtf), Doc) << Rtf;
        // 7-bit text in short lines.
        size_t Line = 0;
        for (const char Byte : Rtf) {
            EXPECT_LT(static_cast<uint8_t>(Byte), 0x80);
            Line = Byte == '\n' ? 0 : Line + 1;
            ASSERT_LT(Line, 300u) << Rtf;
        }
    }
}

TEST(RichText, WrittenRtfSpellsTablesFormatsAndEscapes)
{
    TRichDocument Doc;
    const TRichCharFormat Title = Chars("Arial", 24, {fsBold}, clRed, clYellow);
    Doc.Paragraphs = {Para({Span("Hi {x} \\ caf\xC3\xA9 \xF0\x9F\x98\x80", Title),
                            Span("\tend", Chars("Times New Roman"))},
                           {raCenter, 0, 0, -240, 120, 0}, Chars("", 24)),
                      Para({Span("second")})};
    EXPECT_EQ(WriteRtf(Doc),
              "{\\rtf1\\ansi\\ansicpg1252\\uc1{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil Times New Roman;}}"
              "{\\colortbl;\\red255\\green0\\blue0;\\red255\\green255\\blue0;}\n"
              "\\pard\\qc\\fi-240\\sb120\\plain\\f0\\fs24\\b\\cf1\\highlight2 "
              "Hi \\{x\\} \\\\ caf\\u233? \\u-10179?\\u-8704?"
              "\\plain\\f1 \\tab end\\plain\\fs24\\par\n"
              "\\pard\\plain second\\plain\\par\n}");

    // What the reader would not keep is not written: control characters, a
    // ';' in a font name, a stray byte (U+FFFD); system colours as RGB.
    Doc.Paragraphs = {Para({Span("a\x01" "b\r\n\xFF", Chars("Semi;colon", 0, {}, clWindowText, clBtnFace))})};
    const TRichDocument Back = ReadRtf(WriteRtf(Doc));
    ASSERT_EQ(Back.Paragraphs.size(), 1u);
    ASSERT_EQ(Back.Paragraphs[0].Runs.size(), 1u);
    EXPECT_EQ(Back.Paragraphs[0].Runs[0].Text, "ab\xEF\xBF\xBD");
    EXPECT_EQ(Back.Paragraphs[0].Runs[0].Format,
              Chars("Semicolon", 0, {}, ColorToRGB(clWindowText), ColorToRGB(clBtnFace)));
}
