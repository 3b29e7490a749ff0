#include "platform/RichText.h"

#include "platform/SysUtils.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// ------------------------------------------------------------------ model

std::string TRichParagraph::Text() const
{
    std::string S;
    for (const TRichRun& R : Runs)
        S += R.Text;
    return S;
}

int TRichParagraph::Length() const
{
    int N = 0;
    for (const TRichRun& R : Runs)
        N += Utf16Length(R.Text);
    return N;
}

void TRichParagraph::Append(const TRichCharFormat& Format, std::string_view Text)
{
    if (Text.empty())
        return;
    if (Runs.empty() || !(Runs.back().Format == Format))
        Runs.push_back({Format, std::string()});
    Runs.back().Text.append(Text);
}

std::string TRichDocument::PlainText() const
{
    std::string S;
    for (size_t I = 0; I < Paragraphs.size(); ++I) {
        if (I > 0)
            S += '\n';
        S += Paragraphs[I].Text();
    }
    return S;
}

int TRichDocument::TextLength() const
{
    if (Paragraphs.empty())
        return 0;
    int N = static_cast<int>(Paragraphs.size()) - 1;
    for (const TRichParagraph& P : Paragraphs)
        N += P.Length();
    return N;
}

int Utf16Length(std::string_view Text)
{
    int N = 0;
    for (size_t I = 0; I < Text.size();) {
        const size_t Size = Utf8CharSize(Text, I);
        N += Size == 4 ? 2 : 1;
        I += Size;
    }
    return N;
}

bool IsRichText(std::string_view Text) { return Text.substr(0, 5) == "{\\rtf"; }

TRichDocument ReadRichText(std::string_view Text) { return IsRichText(Text) ? ReadRtf(Text) : ReadPlainText(Text); }

TRichDocument ReadPlainText(std::string_view Text)
{
    TRichDocument Doc;
    size_t P = 0;
    while (P < Text.size()) {
        size_t E = P;
        while (E < Text.size() && Text[E] != '\n' && Text[E] != '\r')
            ++E;
        TRichParagraph& Para = Doc.Paragraphs.emplace_back();
        Para.Append(TRichCharFormat{}, Text.substr(P, E - P));
        if (E + 1 < Text.size() && Text[E] == '\r' && Text[E + 1] == '\n')
            ++E;
        P = E + 1;
    }
    return Doc;
}

// ------------------------------------------------------------------ RTF reader

namespace {

// Groups nested deeper than this share the deepest group's state.
constexpr size_t MaxDepth = 256;
// Letters of a control word beyond this are read and ignored.
constexpr size_t MaxWord = 32;
// Font names and table sizes kept from untrusted input.
constexpr size_t MaxFontName = 256;
constexpr size_t MaxColors = 4096;
// Limits of the values taken from control words.
constexpr int MaxHalfPoints = 3276;   // 1638 points
constexpr int MaxTwips = 31680;       // 22 inches
constexpr int MaxUnicodeSkip = 255;

// Code page 1252 at 0x80..0x9F; 0 where the code page has no character.
constexpr uint16_t Cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

uint32_t Cp1252ToUnicode(uint8_t B)
{
    if (B >= 0x80 && B < 0xA0)
        return Cp1252High[B - 0x80];
    return B;
}

void AppendUtf8(std::string& S, uint32_t C)
{
    if (C < 0x80) {
        S += static_cast<char>(C);
    } else if (C < 0x800) {
        S += static_cast<char>(0xC0 | (C >> 6));
        S += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        S += static_cast<char>(0xE0 | (C >> 12));
        S += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        S += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        S += static_cast<char>(0xF0 | (C >> 18));
        S += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
        S += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        S += static_cast<char>(0x80 | (C & 0x3F));
    }
}

// The character of one well-formed UTF-8 sequence (Utf8CharSize bytes).
uint32_t DecodeUtf8(std::string_view Sequence)
{
    const auto* B = reinterpret_cast<const uint8_t*>(Sequence.data());
    const size_t Size = Sequence.size();
    if (Size <= 1)
        return Size == 1 ? B[0] : 0;
    uint32_t U = Size == 2 ? (B[0] & 0x1Fu) : Size == 3 ? (B[0] & 0x0Fu) : (B[0] & 0x07u);
    for (size_t I = 1; I < Size; ++I)
        U = (U << 6) | (B[I] & 0x3Fu);
    return U;
}

int HexDigit(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    return -1;
}

bool IsLetter(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// What the text of a group goes to.
enum TDestination { dText, dSkip, dFontTable, dColorTable };

// Destinations whose text is not shown (those marked {\*...} are skipped
// whatever their name).
bool IsSkippedDestination(std::string_view Word)
{
    static const char* const Names[] = {
        "author",   "buptim",  "comment",  "creatim",   "datafield", "do",        "doccomm",   "docvar",
        "falt",     "fldinst", "footer",   "footerf",   "footerl",   "footerr",   "footnote",  "ftncn",
        "ftnsep",   "ftnsepc", "generator","header",    "headerf",   "headerl",   "headerr",   "info",
        "keywords", "listoverridetable",   "listtable", "nonshppict","object",    "objdata",   "operator",
        "panose",   "pict",    "printim",  "private",   "revtbl",    "revtim",    "rsidtbl",   "rxe",
        "shp",      "shpinst", "stylesheet","subject",  "tc",        "template",  "title",     "txe",
        "xe",       "xmlnstbl","filetbl",  "pgdsctbl",  "background","latentstyles","themedata","colorschememapping",
        "datastore","bkmkstart","bkmkend", "annotation","atnid",     "atnauthor", "atrfstart", "atrfend",
    };
    for (const char* N : Names)
        if (Word == N)
            return true;
    return false;
}

// Characters of the named control words.
uint32_t NamedCharacter(std::string_view Word)
{
    struct TNamed {
        const char* Word;
        uint32_t Char;
    };
    static const TNamed Names[] = {
        {"line", '\v'},       {"tab", '\t'},        {"cell", '\t'},       {"emdash", 0x2014},
        {"endash", 0x2013},   {"emspace", 0x2003},  {"enspace", 0x2002},  {"qmspace", 0x2005},
        {"bullet", 0x2022},   {"lquote", 0x2018},   {"rquote", 0x2019},   {"ldblquote", 0x201C},
        {"rdblquote", 0x201D},{"zwj", 0x200D},      {"zwnj", 0x200C},
    };
    for (const TNamed& N : Names)
        if (Word == N.Word)
            return N.Char;
    return 0;
}

bool IsUnderlineWord(std::string_view Word)
{
    static const char* const Names[] = {"ul",        "uld",        "uldash",      "uldashd",   "uldashdd",
                                        "uldb",      "ulhwave",    "ulldash",     "ulth",      "ulthd",
                                        "ulthdash",  "ulthdashd",  "ulthdashdd",  "ulthldash", "ululdbwave",
                                        "ulw",       "ulwave"};
    for (const char* N : Names)
        if (Word == N)
            return true;
    return false;
}

// The formatting in force in one group.
struct TGroupState {
    TDestination Dest = dText;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strike = false;
    int Font = -1;          // font number; -1 for the default font (\deff)
    int HalfPoints = 0;     // 0: the control's size
    int ColorIndex = -1;    // -1: automatic
    int BackIndex = -1;     // -1: none
    int UnicodeSkip = 1;    // \uc
    TRichParaFormat Para;

    void Plain()
    {
        Bold = Italic = Underline = Strike = false;
        Font = -1;
        HalfPoints = 0;
        ColorIndex = -1;
        BackIndex = -1;
    }
};

class TRtfReader {
public:
    explicit TRtfReader(std::string_view Rtf) : S(Rtf) { Stack.emplace_back(); }
    TRichDocument Read();

private:
    TGroupState& State() { return Stack.back(); }
    void OpenGroup();
    // False once the outermost group is closed.
    bool CloseGroup();
    void ReadControl();
    void Word(std::string_view Word, bool HasParam, int Param);
    // One character of the text of the current destination.
    void Character(uint32_t C);
    void Flush();
    void EndParagraph();
    TRichCharFormat CharFormat() const;
    void CommitFont();
    void CommitColor();

    std::string_view S;
    size_t P = 0;
    std::vector<TGroupState> Stack;
    size_t Overflow = 0;       // groups opened beyond MaxDepth
    TRichDocument Doc;
    std::string Pending;       // text in the current format, not yet in a run
    size_t SkipChars = 0;      // fallback characters after \u still to skip
    uint32_t HighSurrogate = 0;
    std::map<int, std::string> Fonts;
    int DefaultFont = -1;
    int TableFont = -1;
    std::string FontName;
    std::vector<TColor> Colors;
    int Red = 0, Green = 0, Blue = 0;
    bool ColorGiven = false;
};

TRichDocument TRtfReader::Read()
{
    Doc.Paragraphs.emplace_back();
    while (P < S.size()) {
        const char C = S[P];
        if (C == '{') {
            ++P;
            OpenGroup();
        } else if (C == '}') {
            ++P;
            if (!CloseGroup())
                break;
        } else if (C == '\\') {
            ReadControl();
        } else if (C == '\r' || C == '\n') {
            ++P;
        } else if (static_cast<uint8_t>(C) >= 0x80) {
            // Raw bytes: UTF-8 where they form a character, else code page 1252.
            const size_t Size = Utf8CharSize(S, P);
            if (Size > 1) {
                Character(DecodeUtf8(S.substr(P, Size)));
            } else {
                Character(Cp1252ToUnicode(static_cast<uint8_t>(C)));
            }
            P += Size;
        } else {
            ++P;
            Character(static_cast<uint8_t>(C));
        }
    }
    Flush();
    if (!Doc.Paragraphs.empty() && Doc.Paragraphs.back().Runs.empty())
        Doc.Paragraphs.pop_back();   // the break after the last paragraph
    return std::move(Doc);
}

void TRtfReader::OpenGroup()
{
    Flush();
    SkipChars = 0;
    if (Stack.size() > MaxDepth)
        ++Overflow;
    else
        Stack.push_back(Stack.back());
}

bool TRtfReader::CloseGroup()
{
    Flush();
    SkipChars = 0;
    if (Overflow > 0) {
        --Overflow;
        return true;
    }
    if (Stack.size() <= 1)
        return true;   // a brace that closes nothing
    if (State().Dest == dFontTable)
        CommitFont();
    Stack.pop_back();
    return Stack.size() > 1;
}

void TRtfReader::ReadControl()
{
    ++P;   // the backslash
    if (P >= S.size())
        return;
    const char C = S[P];
    if (IsLetter(C)) {
        const size_t Start = P;
        while (P < S.size() && IsLetter(S[P]))
            ++P;
        const std::string_view Name = S.substr(Start, std::min(P - Start, MaxWord));
        bool HasParam = false;
        bool Negative = false;
        int64_t Value = 0;
        if (P + 1 < S.size() && S[P] == '-' && IsDigit(S[P + 1])) {
            Negative = true;
            ++P;
        }
        while (P < S.size() && IsDigit(S[P])) {
            HasParam = true;
            Value = std::min<int64_t>(Value * 10 + (S[P] - '0'), int64_t(1) << 32);   // saturates
            ++P;
        }
        if (P < S.size() && S[P] == ' ')
            ++P;   // the delimiter
        const int64_t Signed = Negative ? -Value : Value;
        const int Param = static_cast<int>(std::clamp<int64_t>(Signed, INT32_MIN, INT32_MAX));
        Flush();
        Word(Name, HasParam, Param);
        return;
    }
    ++P;
    switch (C) {
    case '\'': {
        // Two hex digits; a cut escape gives nothing.
        const int Hi = P < S.size() ? HexDigit(S[P]) : -1;
        const int Lo = Hi >= 0 && P + 1 < S.size() ? HexDigit(S[P + 1]) : -1;
        if (Hi < 0) {
            return;
        }
        if (Lo < 0) {
            ++P;
            return;
        }
        P += 2;
        Character(Cp1252ToUnicode(static_cast<uint8_t>(Hi * 16 + Lo)));
        return;
    }
    case '\\':
    case '{':
    case '}':
        Character(static_cast<uint8_t>(C));
        return;
    case '~':
        Character(0x00A0);
        return;
    case '_':
        Character(0x2011);
        return;
    case '*':
        Flush();
        State().Dest = dSkip;
        return;
    case '\r':
    case '\n':
        Flush();
        Word("par", false, 0);
        return;
    default:
        // \- (optional hyphen), \: \| and unknown symbols show nothing.
        return;
    }
}

void TRtfReader::Word(std::string_view W, bool HasParam, int Param)
{
    SkipChars = 0;
    TGroupState& St = State();
    if (W == "bin") {
        // Binary data: skipped whatever the destination, its bytes may hold braces.
        const size_t Count = HasParam && Param > 0 ? static_cast<size_t>(Param) : 0;
        P += std::min(Count, S.size() - P);
        return;
    }
    if (St.Dest == dSkip)
        return;
    if (W == "fonttbl") {
        St.Dest = dFontTable;
        return;
    }
    if (W == "colortbl") {
        St.Dest = dColorTable;
        Colors.clear();
        ColorGiven = false;
        Red = Green = Blue = 0;
        return;
    }
    if (IsSkippedDestination(W)) {
        St.Dest = dSkip;
        return;
    }
    // A \u character goes to whatever destination is being read.
    if (W == "u") {
        if (!HasParam)
            return;
        uint32_t U = static_cast<uint32_t>(Param < 0 ? Param + 65536 : Param) & 0xFFFFFFu;
        if (U >= 0xD800 && U <= 0xDBFF) {
            if (HighSurrogate)
                Character(0xFFFD);
            HighSurrogate = U;
        } else if (U >= 0xDC00 && U <= 0xDFFF) {
            if (HighSurrogate) {
                const uint32_t Both = 0x10000 + ((HighSurrogate - 0xD800) << 10) + (U - 0xDC00);
                HighSurrogate = 0;
                Character(Both);
            } else {
                Character(0xFFFD);
            }
        } else {
            Character(U > 0x10FFFF ? 0xFFFD : U);
        }
        SkipChars = static_cast<size_t>(St.UnicodeSkip);
        return;
    }
    if (W == "uc") {
        St.UnicodeSkip = std::clamp(HasParam ? Param : 1, 0, MaxUnicodeSkip);
        return;
    }
    if (St.Dest == dFontTable) {
        if (W == "f") {
            CommitFont();
            TableFont = HasParam ? std::max(0, Param) : 0;
        }
        return;
    }
    if (St.Dest == dColorTable) {
        const int V = std::clamp(HasParam ? Param : 0, 0, 255);
        if (W == "red")
            Red = V;
        else if (W == "green")
            Green = V;
        else if (W == "blue")
            Blue = V;
        else
            return;
        ColorGiven = true;
        return;
    }

    const bool On = !HasParam || Param != 0;
    const int Twips = std::clamp(HasParam ? Param : 0, -MaxTwips, MaxTwips);
    if (W == "par" || W == "sect" || W == "page" || W == "row") {
        EndParagraph();
    } else if (const uint32_t C = NamedCharacter(W)) {
        Character(C);
    } else if (W == "plain") {
        St.Plain();
    } else if (W == "pard") {
        St.Para = TRichParaFormat{};
    } else if (W == "b") {
        St.Bold = On;
    } else if (W == "i") {
        St.Italic = On;
    } else if (IsUnderlineWord(W)) {
        St.Underline = On;
    } else if (W == "ulnone") {
        St.Underline = false;
    } else if (W == "strike" || W == "striked") {
        St.Strike = On;
    } else if (W == "fs") {
        if (HasParam && Param > 0)
            St.HalfPoints = std::min(Param, MaxHalfPoints);
    } else if (W == "f") {
        St.Font = HasParam ? std::max(0, Param) : 0;
    } else if (W == "deff") {
        DefaultFont = HasParam ? std::max(0, Param) : 0;
    } else if (W == "cf") {
        St.ColorIndex = HasParam ? std::max(0, Param) : 0;
    } else if (W == "cb" || W == "highlight") {
        St.BackIndex = HasParam && Param > 0 ? Param : -1;
    } else if (W == "ql") {
        St.Para.Alignment = raLeft;
    } else if (W == "qc") {
        St.Para.Alignment = raCenter;
    } else if (W == "qr") {
        St.Para.Alignment = raRight;
    } else if (W == "qj") {
        St.Para.Alignment = raJustify;
    } else if (W == "li") {
        St.Para.LeftIndent = Twips;
    } else if (W == "ri") {
        St.Para.RightIndent = Twips;
    } else if (W == "fi") {
        St.Para.FirstIndent = Twips;
    } else if (W == "sb") {
        St.Para.SpaceBefore = std::max(0, Twips);
    } else if (W == "sa") {
        St.Para.SpaceAfter = std::max(0, Twips);
    }
    // Any other word is ignored.
}

void TRtfReader::Character(uint32_t C)
{
    if (SkipChars > 0) {
        --SkipChars;   // the fallback of a \u character
        return;
    }
    if (HighSurrogate && (C < 0xDC00 || C > 0xDFFF)) {
        HighSurrogate = 0;
        Character(0xFFFD);
    }
    switch (State().Dest) {
    case dSkip:
        return;
    case dFontTable:
        if (C == ';')
            CommitFont();
        else if (FontName.size() < MaxFontName && C >= 0x20)
            AppendUtf8(FontName, C);
        return;
    case dColorTable:
        if (C == ';')
            CommitColor();
        return;
    case dText:
        // Control characters other than tab and line break show nothing.
        if (C == 0 || (C < 0x20 && C != '\t' && C != '\v') || (C >= 0xD800 && C <= 0xDFFF))
            return;
        AppendUtf8(Pending, C);
        return;
    }
}

TRichCharFormat TRtfReader::CharFormat() const
{
    const TGroupState& St = Stack.back();
    TRichCharFormat F;
    const auto Font = Fonts.find(St.Font >= 0 ? St.Font : DefaultFont);
    if (Font != Fonts.end())
        F.FontName = Font->second;
    F.HalfPoints = St.HalfPoints;
    if (St.Bold)
        F.Style << fsBold;
    if (St.Italic)
        F.Style << fsItalic;
    if (St.Underline)
        F.Style << fsUnderline;
    if (St.Strike)
        F.Style << fsStrikeOut;
    const auto Entry = [&](int Index) {
        return Index >= 0 && static_cast<size_t>(Index) < Colors.size() ? Colors[static_cast<size_t>(Index)] : clDefault;
    };
    F.Color = Entry(St.ColorIndex);
    const TColor Back = Entry(St.BackIndex);
    F.BackColor = Back == clDefault ? clNone : Back;
    return F;
}

void TRtfReader::Flush()
{
    if (Pending.empty())
        return;
    TRichParagraph& Para = Doc.Paragraphs.back();
    Para.Format = State().Para;
    Para.Append(CharFormat(), Pending);
    Pending.clear();
}

void TRtfReader::EndParagraph()
{
    Flush();
    HighSurrogate = 0;
    TRichParagraph& Para = Doc.Paragraphs.back();
    Para.Format = State().Para;
    Para.MarkFormat = CharFormat();
    Doc.Paragraphs.emplace_back();
}

void TRtfReader::CommitFont()
{
    if (TableFont >= 0) {
        const std::string Name = Trim(FontName);
        if (!Name.empty())
            Fonts[TableFont] = Name;
    }
    TableFont = -1;
    FontName.clear();
}

void TRtfReader::CommitColor()
{
    if (Colors.size() < MaxColors)
        Colors.push_back(ColorGiven ? RGB(Red, Green, Blue) : clDefault);
    Red = Green = Blue = 0;
    ColorGiven = false;
}

}  // namespace

TRichDocument ReadRtf(std::string_view Rtf) { return TRtfReader(Rtf).Read(); }

// ------------------------------------------------------------------ RTF writer

namespace {

// A text line of the written RTF ends after this many bytes; a line break is
// no character in RTF text, and a form keeps the lines short.
constexpr size_t RtfLineLength = 200;

class TRtfWriter {
public:
    explicit TRtfWriter(const TRichDocument& Doc) : Doc(Doc) {}
    std::string Write();

private:
    // Numbers the fonts and colours of F in the tables.
    void Collect(const TRichCharFormat& F);
    // 0 for none: the first entry of the colour table is automatic.
    int ColorIndex(TColor Color) const;
    void ParaFormat(const TRichParaFormat& F);
    // \plain and the words of what F sets; the reader starts from the same.
    void CharFormat(const TRichCharFormat& F);
    void Number(const char* Word, int Value);
    // Text as 7-bit RTF; InTable: a font name, where ';' ends the name.
    void Text(std::string_view Text, bool InTable);
    void Unicode(uint32_t C);

    const TRichDocument& Doc;
    std::string Out;
    size_t LineStart = 0;
    std::map<std::string, int> FontIndex;
    std::vector<std::string> Fonts;
    std::map<TColor, int> ColorIndexes;
    std::vector<TColor> Colors;
};

// The written value of a text colour or a background; clDefault (and
// clNone) write nothing.
bool WrittenColor(TColor Color, TColor& Rgb)
{
    if (Color == clDefault || Color == clNone)
        return false;
    Rgb = ColorToRGB(Color) & 0xFFFFFF;
    return true;
}

std::string TRtfWriter::Write()
{
    for (const TRichParagraph& P : Doc.Paragraphs) {
        for (const TRichRun& R : P.Runs)
            Collect(R.Format);
        Collect(P.MarkFormat);
    }
    Out = "{\\rtf1\\ansi\\ansicpg1252\\uc1{\\fonttbl";
    for (size_t I = 0; I < Fonts.size(); ++I) {
        Number("{\\f", static_cast<int>(I));
        Out += "\\fnil ";
        Text(Fonts[I], true);
        Out += ";}";
    }
    Out += '}';
    if (!Colors.empty()) {
        Out += "{\\colortbl;";
        for (const TColor C : Colors) {
            Number("\\red", GetRValue(C));
            Number("\\green", GetGValue(C));
            Number("\\blue", GetBValue(C));
            Out += ';';
        }
        Out += '}';
    }
    for (const TRichParagraph& P : Doc.Paragraphs) {
        Out += '\n';
        LineStart = Out.size();
        ParaFormat(P.Format);
        for (const TRichRun& R : P.Runs) {
            CharFormat(R.Format);
            Out += ' ';
            Text(R.Text, false);
        }
        // Every paragraph ends with its mark, the last one too: the reader
        // adds no paragraph for a break at the end.
        CharFormat(P.MarkFormat);
        Out += "\\par";
    }
    Out += "\n}";
    return std::move(Out);
}

void TRtfWriter::Collect(const TRichCharFormat& F)
{
    if (!F.FontName.empty() && FontIndex.emplace(F.FontName, static_cast<int>(Fonts.size())).second)
        Fonts.push_back(F.FontName);
    for (const TColor Color : {F.Color, F.BackColor}) {
        TColor Rgb = 0;
        if (WrittenColor(Color, Rgb) && ColorIndexes.emplace(Rgb, static_cast<int>(Colors.size()) + 1).second)
            Colors.push_back(Rgb);
    }
}

int TRtfWriter::ColorIndex(TColor Color) const
{
    TColor Rgb = 0;
    return WrittenColor(Color, Rgb) ? ColorIndexes.at(Rgb) : 0;
}

void TRtfWriter::Number(const char* Word, int Value)
{
    Out += Word;
    Out += std::to_string(Value);
}

void TRtfWriter::ParaFormat(const TRichParaFormat& F)
{
    Out += "\\pard";
    static const char* const Alignments[] = {"", "\\qc", "\\qr", "\\qj"};
    if (F.Alignment >= raLeft && F.Alignment <= raJustify)
        Out += Alignments[F.Alignment];
    const std::pair<const char*, int> Spacing[] = {{"\\li", F.LeftIndent},   {"\\ri", F.RightIndent},
                                                   {"\\fi", F.FirstIndent},  {"\\sb", F.SpaceBefore},
                                                   {"\\sa", F.SpaceAfter}};
    for (const auto& [Word, Value] : Spacing)
        if (Value != 0)
            Number(Word, Value);
}

void TRtfWriter::CharFormat(const TRichCharFormat& F)
{
    Out += "\\plain";
    if (!F.FontName.empty())
        Number("\\f", FontIndex.at(F.FontName));
    if (F.HalfPoints > 0)
        Number("\\fs", F.HalfPoints);
    if (F.Style.Contains(fsBold))
        Out += "\\b";
    if (F.Style.Contains(fsItalic))
        Out += "\\i";
    if (F.Style.Contains(fsUnderline))
        Out += "\\ul";
    if (F.Style.Contains(fsStrikeOut))
        Out += "\\strike";
    if (const int Index = ColorIndex(F.Color))
        Number("\\cf", Index);
    if (const int Index = ColorIndex(F.BackColor))
        Number("\\highlight", Index);
}

void TRtfWriter::Text(std::string_view Text, bool InTable)
{
    for (size_t I = 0; I < Text.size();) {
        const size_t Size = Utf8CharSize(Text, I);
        // A byte outside a well-formed sequence stands for U+FFFD.
        const bool Stray = Size == 1 && static_cast<uint8_t>(Text[I]) >= 0x80;
        const uint32_t C = Stray ? 0xFFFD : DecodeUtf8(Text.substr(I, Size));
        I += Size;
        if (Out.size() - LineStart >= RtfLineLength) {
            Out += '\n';
            LineStart = Out.size();
        }
        if (C == '\\' || C == '{' || C == '}') {
            Out += '\\';
            Out += static_cast<char>(C);
        } else if (C == '\t' && !InTable) {
            Out += "\\tab ";
        } else if (C == '\v' && !InTable) {
            Out += "\\line ";
        } else if (C < 0x20 || (C == ';' && InTable)) {
            // Shows nothing in text; a name cannot hold it.
        } else if (C < 0x80) {
            Out += static_cast<char>(C);
        } else if (C < 0x10000) {
            Unicode(C);
        } else {
            Unicode(0xD800 + ((C - 0x10000) >> 10));
            Unicode(0xDC00 + ((C - 0x10000) & 0x3FF));
        }
    }
}

void TRtfWriter::Unicode(uint32_t C)
{
    // A signed 16-bit number and one fallback character (\uc1).
    Number("\\u", C < 0x8000 ? static_cast<int>(C) : static_cast<int>(C) - 0x10000);
    Out += '?';
}

}  // namespace

std::string WriteRtf(const TRichDocument& Doc) { return TRtfWriter(Doc).Write(); }
