// Formatted text as the rich-edit control holds it, the reader that turns
// rich text (RTF) into it and the writer that turns it back into RTF. No Qt
// here: the reader is plain C++ and can be given any bytes.
//
// A document is a list of paragraphs; a paragraph has its alignment, indents
// and spacing and a list of runs of equally formatted text (UTF-8). Inside a
// run '\t' is a tab and '\v' a line break that does not end the paragraph.
//
// Characters are counted as the rich-edit control counts them: in UTF-16
// units of the document's plain text, with one character for each break
// between two paragraphs (TextLength).
//
// The reader knows groups, the font and colour tables, \b \i \ul \ulnone
// \strike \fs \f \cf \cb \highlight \plain \pard \par \line \tab \ql \qc \qr
// \qj \li \ri \fi \sb \sa, \'hh in code page 1252, \uN with \ucN, the escaped
// characters and the common named quotes, dashes and spaces. {\*...} groups,
// pictures and the other destinations it does not show are skipped. It never
// fails: unbalanced braces, huge numbers, deep nesting, cut escapes and
// unknown words leave it with what it could read.
#pragma once

#include "platform/Graphics.h"

#include <string>
#include <string_view>
#include <vector>

// Characters of one run. Empty FontName, HalfPoints 0 and Color clDefault
// stand for the control's font (the rich-edit control resolves them).
struct TRichCharFormat {
    std::string FontName;
    int HalfPoints = 0;          // font size in half points (24 = 12 pt)
    TFontStyles Style;
    TColor Color = clDefault;
    TColor BackColor = clNone;   // background or highlight; clNone for none
    bool operator==(const TRichCharFormat&) const = default;
};

enum TRichAlignment { raLeft, raCenter, raRight, raJustify };

// Indents and spacing in twips (1/1440 inch). FirstIndent is added to
// LeftIndent on the paragraph's first line (negative: a hanging indent).
struct TRichParaFormat {
    TRichAlignment Alignment = raLeft;
    int LeftIndent = 0;
    int RightIndent = 0;
    int FirstIndent = 0;
    int SpaceBefore = 0;
    int SpaceAfter = 0;
    bool operator==(const TRichParaFormat&) const = default;
};

struct TRichRun {
    TRichCharFormat Format;
    std::string Text;
    bool operator==(const TRichRun&) const = default;
};

struct TRichParagraph {
    TRichParaFormat Format;
    std::vector<TRichRun> Runs;
    // The format of the paragraph mark: the height of an empty paragraph.
    TRichCharFormat MarkFormat;

    std::string Text() const;
    // Length in UTF-16 units.
    int Length() const;
    // Appends Text in Format, to the last run when that has the same format.
    void Append(const TRichCharFormat& Format, std::string_view Text);
    bool operator==(const TRichParagraph&) const = default;
};

struct TRichDocument {
    std::vector<TRichParagraph> Paragraphs;

    // The paragraphs' texts joined by "\n".
    std::string PlainText() const;
    // Characters, one for every break between two paragraphs.
    int TextLength() const;
    bool Empty() const { return TextLength() == 0; }
    bool operator==(const TRichDocument&) const = default;
};

// UTF-16 units of a UTF-8 text (a byte outside a well-formed sequence counts
// as one).
int Utf16Length(std::string_view Text);

// Text that begins with "{\rtf" is rich text; any other text is plain.
bool IsRichText(std::string_view Text);

// Rich text read as RTF, any other text as plain lines (split at CR LF, LF
// or CR; a text ending with a line break has no empty last paragraph), each
// a paragraph in the control's font.
TRichDocument ReadRichText(std::string_view Text);
TRichDocument ReadRtf(std::string_view Rtf);
TRichDocument ReadPlainText(std::string_view Text);

// The document as RTF that ReadRtf reads back to the same document: a font
// table and a colour table of what the text uses (in order of first use;
// colour 0 is automatic), then per paragraph \pard with its alignment,
// indents and spacing, each run as \plain with its font, size, styles and
// colours before its text, and the paragraph mark's format before \par
// (the last paragraph too). What a format leaves to the control (no font
// name, size 0, clDefault, clNone) writes nothing and stays open; system
// colours are written as their RGB values. The text is 7-bit: \ { } escaped,
// tab and line break as \tab and \line, characters past ASCII as \uN?
// (signed 16 bits, a surrogate pair past U+FFFF, a stray byte as U+FFFD);
// other control characters, which the reader drops, are not written, nor is
// ';' in a font name (it ends the name in the font table). Lines end after
// about 200 bytes of text; a line break in RTF is no character.
std::string WriteRtf(const TRichDocument& Doc);
