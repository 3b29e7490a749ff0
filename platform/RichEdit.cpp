#include "platform/RichEdit.h"

#include "platform/Filer.h"
#include "platform/private/ControlsQt.h"
#include "platform/ScopeGuard.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <vector>

// The Qt text edit behind a TCustomRichEdit.
class TRichEditHost : public TBridged<QTextEdit> {
public:
    TRichEditHost()
    {
        // Pasted text comes in plain: the document holds only what the
        // control can print.
        setAcceptRichText(false);
    }
};

namespace {

// ------------------------------------------------------------------ the document in Qt
//
// The exact values of a format ride along as user properties; the matching
// Qt properties show them on the screen. A property left out follows the
// control (its Font, Alignment).

enum TRichProperty : int {
    rpFontName = QTextFormat::UserProperty + 1,
    rpHalfPoints,
    rpStyle,
    rpColor,
    rpBackColor,
    rpAlignment,
    rpLeftIndent,
    rpRightIndent,
    rpFirstIndent,
    rpSpaceBefore,
    rpSpaceAfter,
};

// Twips on the screen (96 dpi).
constexpr double ScreenPixelsPerTwip = 96.0 / 1440.0;

QString ToQText(const std::string& Text)
{
    QString S = QString::fromStdString(Text);
    for (QChar& C : S) {
        if (C == QChar('\v') || C == QChar('\n') || C == QChar('\r') || C == QChar::ParagraphSeparator)
            C = QChar::LineSeparator;
        else if (C.unicode() == 0xFDD0 || C.unicode() == 0xFDD1)   // Qt's frame marks
            C = QChar::ReplacementCharacter;
    }
    return S;
}

std::string FromQText(QString S)
{
    S.replace(QChar::LineSeparator, QChar('\v'));
    return S.toStdString();
}

QTextCharFormat ToQCharFormat(const TRichCharFormat& F)
{
    QTextCharFormat Q;
    Q.setProperty(rpStyle, static_cast<int>(F.Style.Bits()));
    Q.setFontWeight(F.Style.Contains(fsBold) ? QFont::Bold : QFont::Normal);
    Q.setFontItalic(F.Style.Contains(fsItalic));
    Q.setFontUnderline(F.Style.Contains(fsUnderline));
    Q.setFontStrikeOut(F.Style.Contains(fsStrikeOut));
    if (!F.FontName.empty()) {
        Q.setProperty(rpFontName, QString::fromStdString(F.FontName));
        Q.setFontFamilies({QString::fromStdString(ResolveFontFamily(F.FontName))});
    }
    if (F.HalfPoints > 0) {
        Q.setProperty(rpHalfPoints, F.HalfPoints);
        Q.setFontPointSize(F.HalfPoints / 2.0);
    }
    if (F.Color != clDefault) {
        Q.setProperty(rpColor, static_cast<int>(F.Color));
        Q.setForeground(ToQColor(F.Color));
    }
    if (F.BackColor != clNone) {
        Q.setProperty(rpBackColor, static_cast<int>(F.BackColor));
        Q.setBackground(ToQColor(F.BackColor));
    }
    return Q;
}

QTextBlockFormat ToQBlockFormat(const TRichParaFormat& F)
{
    QTextBlockFormat Q;
    static constexpr Qt::Alignment Aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    Q.setProperty(rpAlignment, static_cast<int>(F.Alignment));
    Q.setAlignment(Aligns[F.Alignment]);
    Q.setProperty(rpLeftIndent, F.LeftIndent);
    Q.setProperty(rpRightIndent, F.RightIndent);
    Q.setProperty(rpFirstIndent, F.FirstIndent);
    Q.setProperty(rpSpaceBefore, F.SpaceBefore);
    Q.setProperty(rpSpaceAfter, F.SpaceAfter);
    Q.setLeftMargin(F.LeftIndent * ScreenPixelsPerTwip);
    Q.setRightMargin(F.RightIndent * ScreenPixelsPerTwip);
    Q.setTextIndent(F.FirstIndent * ScreenPixelsPerTwip);
    Q.setTopMargin(F.SpaceBefore * ScreenPixelsPerTwip);
    Q.setBottomMargin(F.SpaceAfter * ScreenPixelsPerTwip);
    return Q;
}

// The format of Q with what it leaves open taken from Font.
TRichCharFormat FromQCharFormat(const QTextCharFormat& Q, const TFont& Font)
{
    TRichCharFormat F;
    F.FontName = Q.hasProperty(rpFontName) ? Q.stringProperty(rpFontName).toStdString() : Font.Name();
    F.HalfPoints = Q.hasProperty(rpHalfPoints) ? Q.intProperty(rpHalfPoints) : std::max(1, std::abs(Font.Size())) * 2;
    F.Style = Q.hasProperty(rpStyle) ? TFontStyles::FromBits(static_cast<uint8_t>(Q.intProperty(rpStyle))) : Font.Style();
    F.Color = ColorToRGB(Q.hasProperty(rpColor) ? static_cast<TColor>(Q.intProperty(rpColor)) : Font.Color());
    F.BackColor = Q.hasProperty(rpBackColor) ? ColorToRGB(static_cast<TColor>(Q.intProperty(rpBackColor))) : clNone;
    return F;
}

TRichParaFormat FromQBlockFormat(const QTextBlockFormat& Q, TAlignment Default)
{
    static constexpr TRichAlignment Aligns[] = {raLeft, raRight, raCenter};   // TAlignment order
    TRichParaFormat F;
    F.Alignment = Q.hasProperty(rpAlignment) ? static_cast<TRichAlignment>(std::clamp(Q.intProperty(rpAlignment), 0, 3))
                                             : Aligns[Default];
    F.LeftIndent = Q.intProperty(rpLeftIndent);
    F.RightIndent = Q.intProperty(rpRightIndent);
    F.FirstIndent = Q.intProperty(rpFirstIndent);
    F.SpaceBefore = Q.intProperty(rpSpaceBefore);
    F.SpaceAfter = Q.intProperty(rpSpaceAfter);
    return F;
}

// Lines of the document: every block but an empty last one after a break.
int LineCount(const QTextDocument* D)
{
    int N = D->blockCount();
    if (N <= 1 && D->begin().text().isEmpty())
        return 0;
    if (N > 1 && D->lastBlock().text().isEmpty())
        --N;
    return N;
}

// The lines of D as a document, the character formats through CharFormat.
template <class TCharFormatOf>
TRichDocument ToRichDocument(const QTextDocument* D, TAlignment Default, TCharFormatOf CharFormat)
{
    TRichDocument Doc;
    const int Count = LineCount(D);
    QTextBlock B = D->begin();
    for (int I = 0; I < Count && B.isValid(); ++I, B = B.next()) {
        TRichParagraph& P = Doc.Paragraphs.emplace_back();
        P.Format = FromQBlockFormat(B.blockFormat(), Default);
        P.MarkFormat = CharFormat(B.charFormat());
        for (auto F = B.begin(); !F.atEnd(); ++F)
            P.Append(CharFormat(F.fragment().charFormat()), FromQText(F.fragment().text()));
    }
    return Doc;
}

// Whether Q holds a value of its own: text read from RTF or copied from
// another rich edit does; plain lines leave every value to the control.
bool HasOwnFormat(const QTextFormat& Q)
{
    for (int P = rpFontName; P <= rpSpaceAfter; ++P)
        if (Q.hasProperty(P))
            return true;
    return false;
}

// Whether a line of D holds a format of its own.
bool HasOwnFormats(const QTextDocument* D)
{
    const int Count = LineCount(D);
    QTextBlock B = D->begin();
    for (int I = 0; I < Count && B.isValid(); ++I, B = B.next()) {
        if (HasOwnFormat(B.blockFormat()) || HasOwnFormat(B.charFormat()))
            return true;
        for (auto F = B.begin(); !F.atEnd(); ++F)
            if (HasOwnFormat(F.fragment().charFormat()))
                return true;
    }
    return false;
}

// The format of Q as a form keeps it: font name, size and colour left to
// the control stay open; the style, which a format always holds, is the
// control's Font's.
TRichCharFormat StoredCharFormat(const QTextCharFormat& Q, const TFont& Font)
{
    TRichCharFormat F = FromQCharFormat(Q, Font);
    if (!Q.hasProperty(rpFontName))
        F.FontName.clear();
    if (!Q.hasProperty(rpHalfPoints))
        F.HalfPoints = 0;
    if (!Q.hasProperty(rpColor))
        F.Color = clDefault;
    return F;
}

// Replaces D's content by Lines of plain text, in the control's formats.
void FillPlain(QTextDocument* D, const std::vector<std::string>& Lines)
{
    D->clear();
    QTextCursor C(D);
    C.beginEditBlock();
    C.setBlockFormat(QTextBlockFormat());
    C.setBlockCharFormat(QTextCharFormat());
    for (size_t I = 0; I < Lines.size(); ++I) {
        if (I > 0)
            C.insertBlock(QTextBlockFormat(), QTextCharFormat());
        C.insertText(ToQText(Lines[I]), QTextCharFormat());
    }
    C.endEditBlock();
    D->clearUndoRedoStacks();   // a new text is not undone piece by piece
}

void FillDocument(QTextDocument* D, const TRichDocument& Doc)
{
    D->clear();
    QTextCursor C(D);
    C.beginEditBlock();
    for (size_t I = 0; I < Doc.Paragraphs.size(); ++I) {
        const TRichParagraph& P = Doc.Paragraphs[I];
        if (I == 0) {
            C.setBlockFormat(ToQBlockFormat(P.Format));
            C.setBlockCharFormat(ToQCharFormat(P.MarkFormat));
        } else {
            C.insertBlock(ToQBlockFormat(P.Format), ToQCharFormat(P.MarkFormat));
        }
        for (const TRichRun& R : P.Runs)
            C.insertText(ToQText(R.Text), ToQCharFormat(R.Format));
    }
    // An empty last paragraph stays a line: the break after it is kept.
    if (Doc.Paragraphs.size() > 1 && Doc.Paragraphs.back().Runs.empty())
        C.insertBlock(QTextBlockFormat(), QTextCharFormat());
    C.endEditBlock();
    D->clearUndoRedoStacks();   // a new text is not undone piece by piece
}

// Copies From's blocks and fragments with their formats into To.
void CopyDocument(const QTextDocument* From, QTextDocument* To)
{
    To->clear();
    QTextCursor C(To);
    C.beginEditBlock();
    for (QTextBlock B = From->begin(); B.isValid(); B = B.next()) {
        if (B == From->begin()) {
            C.setBlockFormat(B.blockFormat());
            C.setBlockCharFormat(B.charFormat());
        } else {
            C.insertBlock(B.blockFormat(), B.charFormat());
        }
        for (auto F = B.begin(); !F.atEnd(); ++F)
            C.insertText(F.fragment().text(), F.fragment().charFormat());
    }
    C.endEditBlock();
    To->clearUndoRedoStacks();
}

std::vector<std::string> SplitLines(const std::string& Text)
{
    TStringList L;
    L.SetText(Text);
    std::vector<std::string> Lines;
    for (int I = 0; I < L.Count(); ++I)
        Lines.push_back(L.Strings(I));
    return Lines;
}

}  // namespace

// ------------------------------------------------------------------ Lines

// The paragraphs of a rich edit as lines.
class TRichEditStrings : public TStrings {
public:
    explicit TRichEditStrings(TCustomRichEdit* Edit, QTextEdit* Widget) : FEdit(Edit), FWidget(Widget) {}

    QTextDocument* Document() const { return FWidget->document(); }

    int Count() const override { return LineCount(Document()); }
    std::string Get(int Index) const override
    {
        CheckIndex(Index, Count());
        return FromQText(Document()->findBlockByNumber(Index).text());
    }
    void Put(int Index, const std::string& Value) override
    {
        CheckIndex(Index, Count());
        QTextCursor C(Document()->findBlockByNumber(Index));
        C.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        C.insertText(ToQText(Value));
    }
    // A new line in the control's formats; the paragraph that was at Index
    // keeps its own.
    void Insert(int Index, const std::string& S) override
    {
        CheckIndex(Index, Count() + 1);
        QTextDocument* D = Document();
        QTextCursor C(D);
        C.beginEditBlock();
        if (Index < D->blockCount()) {
            const QTextBlock B = D->findBlockByNumber(Index);
            C.setPosition(B.position());
            C.insertBlock(B.blockFormat(), B.charFormat());
            C.movePosition(QTextCursor::PreviousBlock);
            C.setBlockFormat(QTextBlockFormat());
            C.setBlockCharFormat(QTextCharFormat());
        } else {
            C.movePosition(QTextCursor::End);
            C.insertBlock(QTextBlockFormat(), QTextCharFormat());
        }
        C.insertText(ToQText(S), QTextCharFormat());
        C.endEditBlock();
    }
    void Delete(int Index) override
    {
        CheckIndex(Index, Count());
        const QTextBlock B = Document()->findBlockByNumber(Index);
        QTextCursor C(B);
        if (B.next().isValid())
            C.setPosition(B.next().position(), QTextCursor::KeepAnchor);
        else
            C.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        C.removeSelectedText();
    }
    void Clear() override { Document()->clear(); }

    // A form stores formatted lines, and lines that would read as RTF, as
    // the lines of the text's RTF (WriteRtf), other lines as they are; a
    // list whose first line begins with "{\rtf" reads as one RTF text, any
    // other line by line. Forms saved before formats were kept read as ever.
    void DefineProperties(TFiler* Filer) override
    {
        TPersistent::DefineProperties(Filer);
        Filer->DefineProperty(
            "Strings",
            [this](TReader* Reader) {
                std::vector<std::string> Lines;
                Reader->ReadListBegin();
                while (!Reader->EndOfList())
                    Lines.push_back(Reader->ReadString());
                Reader->ReadListEnd();
                BeginUpdate();
                TScopeExit Done([this] { EndUpdate(); });
                if (!FEdit->PlainText() && !Lines.empty() && IsRichText(Lines[0])) {
                    std::string Rtf;
                    for (const std::string& L : Lines)
                        Rtf += L + '\n';
                    SetText(Rtf);
                    return;
                }
                Clear();
                for (const std::string& L : Lines)
                    Add(L);
            },
            [this](TWriter* Writer) {
                Writer->WriteListBegin();
                for (const std::string& L : StoredLines())
                    Writer->WriteString(L);
                Writer->WriteListEnd();
            },
            Count() > 0);
    }

    void SetText(const std::string& Value) override
    {
        if (!FEdit->PlainText() && IsRichText(Value))
            FillDocument(Document(), ReadRtf(Value));
        else
            FillPlain(Document(), SplitLines(Value));
    }

    // Lines of another rich edit come with their formatting; other lines are
    // read as one text (RTF when it begins with "{\rtf").
    void Assign(TPersistent* Source) override
    {
        if (auto* R = dynamic_cast<TRichEditStrings*>(Source)) {
            if (R != this)
                CopyDocument(R->Document(), Document());
            return;
        }
        if (auto* S = dynamic_cast<TStrings*>(Source)) {
            SetText(S->Text());
            return;
        }
        TStrings::Assign(Source);
    }

private:
    std::vector<std::string> StoredLines() const
    {
        std::vector<std::string> Lines;
        const bool Rtf = !FEdit->PlainText() && (HasOwnFormats(Document()) || (Count() > 0 && IsRichText(Get(0))));
        if (!Rtf) {
            for (int I = 0; I < Count(); ++I)
                Lines.push_back(Get(I));
            return Lines;
        }
        const TFont& Font = *FEdit->Font();
        const TRichDocument Doc = ToRichDocument(Document(), FEdit->Alignment(),
                                                 [&](const QTextCharFormat& Q) { return StoredCharFormat(Q, Font); });
        const std::string Text = WriteRtf(Doc);
        for (size_t Start = 0; Start <= Text.size();) {
            const size_t End = std::min(Text.find('\n', Start), Text.size());
            Lines.push_back(Text.substr(Start, End - Start));
            Start = End + 1;
        }
        return Lines;
    }

    TCustomRichEdit* FEdit;
    QTextEdit* FWidget;
};

// ------------------------------------------------------------------ control

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner) : TWinControl(AOwner, NewWidget<TRichEditHost>())
{
    FHost = static_cast<TRichEditHost*>(Handle());
    FLines = std::make_unique<TRichEditStrings>(this, FHost);
    QObject::connect(FHost->document(), &QTextDocument::contentsChanged, [this] { FFormatCache.reset(); });
    QObject::connect(FHost, &QTextEdit::textChanged, [this] { WidgetTextChanged(); });
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 185, 89);
}

TCustomRichEdit::~TCustomRichEdit()
{
    // The document's signals must not reach a half-destroyed control.
    QObject::disconnect(FHost->document(), &QTextDocument::contentsChanged, nullptr, nullptr);
    QObject::disconnect(FHost, &QTextEdit::textChanged, nullptr, nullptr);
}

void TCustomRichEdit::WidgetTextChanged()
{
    InvokeGuarded([this] { Change(); });
}

void TCustomRichEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomRichEdit::SetAlignment(TAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    static constexpr Qt::Alignment Aligns[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    QTextOption O = FHost->document()->defaultTextOption();
    O.setAlignment(Aligns[Value]);
    FHost->document()->setDefaultTextOption(O);
    FFormatCache.reset();
}

bool TCustomRichEdit::ReadOnly() const { return FHost->isReadOnly(); }

void TCustomRichEdit::SetReadOnly(bool Value) { FHost->setReadOnly(Value); }

void TCustomRichEdit::SetBorderStyle(TBorderStyle Value)
{
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    FHost->setFrameStyle(Value == bsNone ? QFrame::NoFrame : QFrame::StyledPanel | QFrame::Sunken);
}

void TCustomRichEdit::FontChanged()
{
    TWinControl::FontChanged();
    FFormatCache.reset();
}

std::string TCustomRichEdit::GetTextBuf() const
{
    std::string S;
    for (int I = 0; I < FLines->Count(); ++I) {
        if (I > 0)
            S += '\n';
        S += FLines->Get(I);
    }
    return S;
}

void TCustomRichEdit::SetTextBuf(const std::string& Value) { FLines->SetText(Value); }

TRichDocument TCustomRichEdit::Document() const
{
    const TFont& Font = *const_cast<TCustomRichEdit*>(this)->Font();
    return ToRichDocument(FHost->document(), FAlignment,
                          [&](const QTextCharFormat& Q) { return FromQCharFormat(Q, Font); });
}

void TCustomRichEdit::SetDocument(const TRichDocument& Value) { FillDocument(FHost->document(), Value); }

int TCustomRichEdit::GetTextLen() const
{
    if (FFormatCache)
        return FFormatCache->TextLength();
    return Document().TextLength();
}

const TRichDocument& TCustomRichEdit::FormatDocument()
{
    if (!FFormatCache)
        FFormatCache = std::make_unique<TRichDocument>(Document());
    return *FFormatCache;
}

void TCustomRichEdit::ReleaseFormatCache() { FFormatCache.reset(); }

// ------------------------------------------------------------------ format range

namespace {

// The canvas font of a run at DpiY pixels per inch.
void SetRunFont(TFont& Font, const TRichCharFormat& F, int DpiY)
{
    Font.SetPixelsPerInch(DpiY);
    Font.SetName(F.FontName);
    Font.SetHeight(-std::max(1, static_cast<int>(std::lround(F.HalfPoints * DpiY / 144.0))));
    Font.SetStyle(F.Style);
    Font.SetColor(F.Color);
    Font.SetOrientation(0);
    Font.SetPitch(fpDefault);
}

// A run of one paragraph's text being laid out.
struct TSpan {
    int Start = 0;
    int Length = 0;
    const TRichCharFormat* Format = nullptr;
};

// One paragraph (or what is left of it) laid out.
struct TParagraphLayout {
    QString Text;
    std::vector<TSpan> Spans;
    std::unique_ptr<QTextLayout> Layout;
    double MarkHeight = 0;   // line height of an empty paragraph
    double MarkAscent = 0;
};

class TFormatter {
public:
    TFormatter(const TRichDocument& Doc, const TFormatRange& Range, bool Render)
        : FDoc(Doc), FRange(Range), FCanvas(Render ? Range.Canvas : nullptr)
    {
        FDpiX = Range.Canvas ? std::max(1, Range.Canvas->PixelsPerInchX()) : 96;
        FDpiY = Range.Canvas ? std::max(1, Range.Canvas->PixelsPerInchY()) : 96;
    }

    int Run();

private:
    double X(int Twips) const { return Twips * static_cast<double>(FDpiX) / 1440.0; }
    double Y(int Twips) const { return Twips * static_cast<double>(FDpiY) / 1440.0; }
    void Lay(TParagraphLayout& L, const TRichParagraph& P, int From, int To, bool Fresh);
    void DrawLine(const TParagraphLayout& L, const QTextLine& Line, double Top, bool Justified);

    const TRichDocument& FDoc;
    const TFormatRange& FRange;
    TCanvas* FCanvas;
    int FDpiX = 96;
    int FDpiY = 96;
};

void TFormatter::Lay(TParagraphLayout& L, const TRichParagraph& P, int From, int To, bool Fresh)
{
    TFont Font;
    SetRunFont(Font, P.MarkFormat, FDpiY);
    const QFont MarkFont = ToQFont(Font);
    const QFontMetricsF Fm(MarkFont);
    L.MarkAscent = Fm.ascent();
    L.MarkHeight = Fm.ascent() + Fm.descent();

    // The paragraph's text and runs from From to To (UTF-16 units).
    QList<QTextLayout::FormatRange> Formats;
    int Pos = 0;
    for (const TRichRun& R : P.Runs) {
        const QString T = ToQText(R.Text);
        const int A = std::max(Pos, From);
        const int B = std::min(Pos + static_cast<int>(T.size()), To);
        if (A < B) {
            TSpan S{static_cast<int>(L.Text.size()), B - A, &R.Format};
            L.Text += T.mid(A - Pos, B - A);
            SetRunFont(Font, R.Format, FDpiY);
            QTextLayout::FormatRange F;
            F.start = S.Start;
            F.length = S.Length;
            F.format.setFont(ToQFont(Font));
            Formats.push_back(F);
            L.Spans.push_back(S);
        }
        Pos += static_cast<int>(T.size());
    }

    // Lines are placed from the rectangle's left edge; DrawLine adds the edge.
    const TRect& R = FRange.Rect;
    const double Left = X(P.Format.LeftIndent);
    const double Width = X(R.Width() - P.Format.LeftIndent - P.Format.RightIndent);
    const double FirstLeft = Left + (Fresh ? X(P.Format.FirstIndent) : 0.0);

    static constexpr Qt::Alignment Aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};
    QTextOption Option(Aligns[P.Format.Alignment]);
    Option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // A tab stop every half inch from the rectangle's left edge. The layout
    // measures tabs from the start of a line: the stops are given relative
    // to the first line's (a hanging bullet's tab lands on the indent).
    const double Step = FDpiX / 2.0;
    Option.setTabStopDistance(Step);
    QList<QTextOption::Tab> Tabs;
    for (int K = 1; K <= 1000; ++K) {
        const double At = K * Step - FirstLeft;
        if (At > Width + Step)
            break;
        if (At > 0)
            Tabs.push_back(QTextOption::Tab(At, QTextOption::LeftTab));
    }
    Option.setTabs(Tabs);

    L.Layout = std::make_unique<QTextLayout>(L.Text, MarkFont);
    L.Layout->setTextOption(Option);
    L.Layout->setFormats(Formats);
    L.Layout->beginLayout();
    for (int N = 0; N <= L.Text.size(); ++N) {   // every line takes a character at least
        QTextLine Line = L.Layout->createLine();
        if (!Line.isValid())
            break;
        const double LineLeft = N == 0 ? FirstLeft : Left;
        Line.setLineWidth(std::max(0.0, Width - (LineLeft - Left)));
        Line.setPosition(QPointF(LineLeft, 0));
    }
    L.Layout->endLayout();
}

int TFormatter::Run()
{
    const int Total = FDoc.TextLength();
    const int End = FRange.CharMax < 0 || FRange.CharMax > Total ? Total : FRange.CharMax;
    const int Start = std::max(0, FRange.CharMin);
    const int Done = End == Total ? Total + 1 : End;
    if (Start > End)
        return Done;

    const double Bottom = Y(FRange.Rect.Bottom) + 1e-6;
    double Top = Y(FRange.Rect.Top);
    int ParaStart = 0;
    for (const TRichParagraph& P : FDoc.Paragraphs) {
        const int Length = P.Length();
        const int ParaEnd = ParaStart + Length;   // where its break is
        if (ParaEnd < Start) {
            ParaStart = ParaEnd + 1;
            continue;
        }
        if (ParaStart >= End && !(ParaStart == End && End == Total && Length == 0))
            break;
        const int From = std::max(0, Start - ParaStart);
        const int To = std::min(Length, End - ParaStart);
        if (From >= To && Length > 0) {
            ParaStart = ParaEnd + 1;
            continue;   // nothing of it left in the range
        }
        const bool Fresh = From == 0;
        TParagraphLayout L;
        Lay(L, P, From, To, Fresh);
        if (Fresh)
            Top += Y(P.Format.SpaceBefore);
        const int Lines = L.Layout->lineCount();
        if (Lines == 0) {
            // An empty paragraph: one line of its mark's height.
            if (Top + L.MarkHeight > Bottom)
                return ParaStart + From;
            Top += L.MarkHeight;
        }
        for (int I = 0; I < Lines; ++I) {
            const QTextLine Line = L.Layout->lineAt(I);
            const double Height = Line.textLength() == 0 && L.Text.isEmpty() ? L.MarkHeight : Line.height();
            if (Top + Height > Bottom)
                return ParaStart + From + Line.textStart();
            if (FCanvas)
                DrawLine(L, Line, Top, P.Format.Alignment == raJustify && I + 1 < Lines);
            Top += Height;
        }
        Top += Y(P.Format.SpaceAfter);
        ParaStart = ParaEnd + 1;
    }
    return Done;
}

// Draws the runs of Line (top at Top) through the canvas: backgrounds with
// FillRect, text with TextOut on the line's baseline, piece by piece between
// tabs and line breaks (and word by word on a justified line, whose spaces
// the layout widened).
void TFormatter::DrawLine(const TParagraphLayout& L, const QTextLine& Line, double Top, bool Justified)
{
    TCanvas& C = *FCanvas;
    const double Origin = X(FRange.Rect.Left);
    const auto At = [&](int Pos) { return static_cast<int>(std::lround(Origin + Line.cursorToX(Pos))); };
    const int LineStart = Line.textStart();
    const int LineEnd = LineStart + Line.textLength();
    const int Baseline = static_cast<int>(std::lround(Top + Line.ascent()));
    const auto Px = [](double V) { return static_cast<int>(std::lround(V)); };
    for (const TSpan& S : L.Spans) {
        const int A = std::max(S.Start, LineStart);
        const int B = std::min(S.Start + S.Length, LineEnd);
        if (A >= B)
            continue;
        const TRichCharFormat& F = *S.Format;
        if (F.BackColor != clNone) {
            C.Brush()->SetStyle(bsSolid);
            C.Brush()->SetColor(F.BackColor);
            C.FillRect(Rect(At(A), Px(Top), At(B), Px(Top + Line.height())));
        }
        SetRunFont(*C.Font(), F, FDpiY);
        C.SetBackgroundMode(bkTransparent);
        const auto Breaks = [&](QChar Ch) {
            return Ch == QChar('\t') || Ch == QChar::LineSeparator || (Justified && Ch == QChar(' '));
        };
        for (int I = A; I < B;) {
            if (Breaks(L.Text[I])) {
                ++I;
                continue;
            }
            int J = I;
            while (J < B && !Breaks(L.Text[J]))
                ++J;
            const QString Piece = L.Text.mid(I, J - I);
            if (!Piece.trimmed().isEmpty())
                C.TextOut(At(I), Baseline, Piece.toStdString());
            I = J;
        }
    }
}

}  // namespace

int TCustomRichEdit::FormatRange(const TFormatRange& Range, bool Render)
{
    const TRichDocument& Doc = FormatDocument();
    TCanvas* C = Render ? Range.Canvas : nullptr;
    if (!C)
        return TFormatter(Doc, Range, false).Run();

    // The canvas's state as the caller left it.
    TFont SavedFont;
    SavedFont.SetPixelsPerInch(C->Font()->PixelsPerInch());
    SavedFont.Assign(C->Font());
    TBrush SavedBrush;
    SavedBrush.Assign(C->Brush());
    const TBackgroundMode SavedMode = C->BackgroundMode();
    const TColor SavedBack = C->BackgroundColor();
    const unsigned SavedAlign = C->TextAlign();
    const int SavedExtra = C->TextCharacterExtra();
    const TPoint SavedPen = C->PenPos();
    TScopeExit Restore([&] {
        C->Font()->SetPixelsPerInch(SavedFont.PixelsPerInch());
        C->Font()->Assign(&SavedFont);
        C->Brush()->Assign(&SavedBrush);
        C->SetBackgroundMode(SavedMode);
        C->SetBackgroundColor(SavedBack);
        C->SetTextAlign(SavedAlign);
        C->SetTextCharacterExtra(SavedExtra);
        C->SetPenPos(SavedPen);
    });
    C->SetTextAlign(TA_BASELINE | TA_LEFT);
    C->SetTextCharacterExtra(0);
    return TFormatter(Doc, Range, true).Run();
}
