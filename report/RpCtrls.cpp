// Text printables: formatting into output lines, design-time painting and
// printing line by line with band growth and continuation.
#include "report/RpCtrls.h"

#include "platform/ScopeGuard.h"
#include "platform/SysUtils.h"
#include "report/Rp4const.h"
#include "report/RpExportFilter.h"

#include <algorithm>
#include <cmath>

namespace {

// a * b / c rounded half away from zero.
int MulDivRound(int A, int B, int C)
{
    if (C == 0)
        return -1;
    return static_cast<int>(std::lround(static_cast<long double>(A) * B / C));
}

// Bytes of the UTF-8 character that starts at Pos (1 for a stray byte).
size_t CharLength(const std::string& S, size_t Pos)
{
    const auto Lead = static_cast<unsigned char>(S[Pos]);
    size_t N = Lead < 0x80 ? 1 : (Lead >> 5) == 0x6 ? 2 : (Lead >> 4) == 0xE ? 3 : (Lead >> 3) == 0x1E ? 4 : 1;
    size_t K = 1;
    while (K < N && Pos + K < S.size() && (static_cast<unsigned char>(S[Pos + K]) & 0xC0) == 0x80)
        ++K;
    return K;
}

// Printable ASCII only: no marks or controls of zero width.
bool IsPlainAscii(const std::string& S)
{
    return std::all_of(S.begin(), S.end(), [](char C) { return C >= ' ' && C <= '~'; });
}

// Start of the last UTF-8 character of a non-empty S.
size_t LastCharStart(const std::string& S)
{
    size_t Pos = S.size() - 1;
    while (Pos > 0 && (static_cast<unsigned char>(S[Pos]) & 0xC0) == 0x80 && S.size() - Pos < 4)
        --Pos;
    return Pos;
}

}  // namespace

// -------------------------------------------------------------- the label

TRpCustomLabel::TRpCustomLabel(TComponent* AOwner)
    : TRpPrintable(AOwner), FOutputLines(std::make_unique<TStringList>()), FLines(std::make_unique<TStringList>())
{
    SetTransparent(false);
    // A label keeps the font it is given; ParentFont makes it take its
    // band's (or report's) and follow it.
    SetParentFont(false);
    // Any change of the lines calls for formatting them again.
    FLines->OnChange = [this](TObject*) { ++FLinesChanges; };
}

TRpCustomLabel::~TRpCustomLabel() = default;

void TRpCustomLabel::SetCaption(const std::string& Value)
{
    FCaption = Value;
    FOutputText = Value;
    FormatLines();
    Invalidate();
}

void TRpCustomLabel::SetLines(TStrings* Value)
{
    FLines->Assign(Value);
    Invalidate();
}

void TRpCustomLabel::SetAutoSize(bool Value)
{
    if (Value == FAutoSize)
        return;
    FAutoSize = Value;
    FormatLines();
    Invalidate();
}

void TRpCustomLabel::SetAutoStretch(bool Value)
{
    if (Value == FAutoStretch)
        return;
    FAutoStretch = Value;
    Invalidate();
}

void TRpCustomLabel::SetWordWrap(bool Value)
{
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    Invalidate();
}

void TRpCustomLabel::SetAlignment(TAlignment Value)
{
    TRpPrintable::SetAlignment(Value);
}

void TRpCustomLabel::SetName(const std::string& NewName)
{
    if (FCaption.empty() || FCaption == Name())
        SetCaption(NewName);
    TRpPrintable::SetName(NewName);
}

void TRpCustomLabel::SetParent(TWinControl* AParent)
{
    TRpPrintable::SetParent(AParent);
    FormatLines();
}

void TRpCustomLabel::FontChanged()
{
    TRpPrintable::FontChanged();
    FFormatted = false;
    FormatLines();
}

void TRpCustomLabel::Loaded()
{
    TRpPrintable::Loaded();
    // A label that follows its parent's font takes that size, not a stored one.
    if (FStreamedFontSize > 0 && !ParentFont())
        Font()->SetSize(FStreamedFontSize);
}

void TRpCustomLabel::SetBiDiMode(TBiDiMode Value)
{
    FParentBiDiMode = false;
    if (Value == FBiDiMode)
        return;
    FBiDiMode = Value;
    FFormatted = false;
    Invalidate();
}

void TRpCustomLabel::SetParentBiDiMode(bool Value)
{
    if (Value == FParentBiDiMode)
        return;
    FParentBiDiMode = Value;
    // Bands and reports read left to right.
    if (Value && FBiDiMode != bdLeftToRight) {
        FBiDiMode = bdLeftToRight;
        FFormatted = false;
        Invalidate();
    }
}

TAlignment TRpCustomLabel::DrawnAlignment() const
{
    if (!UseRightToLeftAlignment())
        return Alignment();
    switch (Alignment()) {
    case taLeftJustify: return taRightJustify;
    case taRightJustify: return taLeftJustify;
    default: return taCenter;
    }
}

void TRpCustomLabel::ReadFontSize(TReader* Reader) { FStreamedFontSize = Reader->ReadInteger(); }

void TRpCustomLabel::WriteFontSize(TWriter* Writer) { Writer->WriteInteger(Font()->Size()); }

void TRpCustomLabel::DefineProperties(TFiler* Filer)
{
    TRpPrintable::DefineProperties(Filer);
    Filer->DefineProperty(
        "FontSize", [this](TReader* Reader) { ReadFontSize(Reader); },
        [this](TWriter* Writer) { WriteFontSize(Writer); }, !ParentFont());
}

void TRpCustomLabel::Prepare()
{
    TRpPrintable::Prepare();
    FFormatted = false;
    SetCaption(std::string(FCaption));
}

int TRpCustomLabel::MeasureText(const std::string& Text)
{
    if (TCustomRpReport* R = HostReport())
        return MulDivRound(R->TextWidth(Font(), Text), GetZoom(), 100);
    if (TCanvas* C = Canvas()) {
        C->SetFont(Font());
        return C->TextWidth(Text);
    }
    return 0;
}

bool TRpCustomLabel::TextFits(const std::string& Text, int Width)
{
    // Rounding to the zoom keeps the order of widths: a bound that fits
    // leaves room for the text.
    if (TCustomRpReport* R = HostReport()) {
        if (MulDivRound(R->TextWidthBound(Font(), Text), GetZoom(), 100) <= Width)
            return true;
    } else if (TCanvas* C = Canvas()) {
        C->SetFont(Font());
        if (C->TextWidthBound(Text) <= Width)
            return true;
    }
    return MeasureText(Text) <= Width;
}

int TRpCustomLabel::MeasureLineHeight()
{
    if (TCustomRpReport* R = HostReport())
        return MulDivRound(R->TextHeight(Font(), "W"), GetZoom(), 100);
    if (TCanvas* C = Canvas()) {
        C->SetFont(Font());
        return C->TextHeight("W");
    }
    return 0;
}

long double TRpCustomLabel::PrintLineHeight()
{
    // The screen's "W" height at zoom 100, in 0.1 mm: the same lines fit on
    // screen, in recorded pages and on any printer.
    if (TCustomRpReport* R = HostReport())
        return R->TextHeight(Font(), "W") * 254.0L / Size()->ScreenPPI();
    TRpPrinter* P = ActivePrinter();
    if (P && P->GetCanvas() && P->YFactor() > 0)
        return P->GetCanvas()->TextHeight("W") / P->YFactor();
    return 0;
}

// --------------------------------------------------------------- formatting

TRpCustomLabel::TFormatInputs TRpCustomLabel::FormatInputs()
{
    TFormatInputs K;
    K.AutoSize = FAutoSize;
    K.WordWrap = FWordWrap;
    K.CaptionBased = GetCaptionBased();
    K.Designing = Designing();
    K.HasReport = HostReport() != nullptr;
    K.Width = Width();
    K.Height = Height();
    K.Zoom = GetZoom();
    K.Alignment = DrawnAlignment();
    K.Name = Name();
    if (K.CaptionBased) {
        K.Text = FOutputText;
    } else {
        K.LinesChanges = FLinesChanges;
        K.LinesCount = FLines->Count();
    }
    return K;
}

void TRpCustomLabel::FormatLines()
{
    if (!Parent())
        return;
    if (FFormatted && FormatInputs() == FFormattedInputs)
        return;
    FOutputLines->Clear();
    const bool HasReport = HostReport() != nullptr;
    if (GetCaptionBased()) {
        FormatText(FOutputText);
        if (!FSizingBusy && HasReport)
            RaiseToLineHeight();
    } else if (FLines->Count() > 0) {
        for (int I = 0; I < FLines->Count(); ++I) {
            if (FAutoSize)
                FOutputLines->Add(FLines->Strings(I));
            else
                FormatText(FLines->Strings(I));
        }
    } else if (Designing()) {
        // An empty memo shows its name.
        FormatText(Name());
    }
    if (FAutoSize && !FSizingBusy && HasReport)
        ApplyAutoSize();
    FFormattedInputs = FormatInputs();
    FFormatted = true;
}

void TRpCustomLabel::ResizeKeepingTop(int NewLeft, int NewWidth, int NewHeight)
{
    // Through the size object and only what changes: the other values keep
    // their exact report units instead of being rounded to pixels.
    TValueRollback<bool> Busy(FSizingBusy, true);
    TRpPrintableSize* S = Size();
    S->SetPixels();
    TScopeExit Back([S] { S->RestoreUnit(); });
    if (NewHeight != Height())
        S->SetHeight(NewHeight);
    if (NewWidth != Width())
        S->SetWidth(NewWidth);
    if (NewLeft != Left())
        S->SetLeft(NewLeft);
}

void TRpCustomLabel::RaiseToLineHeight()
{
    const int Needed = MeasureLineHeight() + 1;
    if (Height() < Needed)
        ResizeKeepingTop(Left(), Width(), Needed);
}

void TRpCustomLabel::ApplyAutoSize()
{
    int NewWidth = 0;
    for (int I = 0; I < FOutputLines->Count(); ++I)
        NewWidth = std::max(NewWidth, MeasureText(FOutputLines->Strings(I)));
    if (Frame()->DrawLeft())
        NewWidth += Frame()->Width();
    if (Frame()->DrawRight())
        NewWidth += Frame()->Width();
    int NewLeft = Left();
    if (DrawnAlignment() == taRightJustify)
        NewLeft = Left() + Width() - NewWidth;
    else if (DrawnAlignment() == taCenter)
        NewLeft = Left() + (Width() - NewWidth) / 2;
    const int Needed = MeasureLineHeight() + 1;
    const bool Raise = Height() < Needed || (FOutputLines->Count() == 0 && Designing());
    ResizeKeepingTop(NewLeft, NewWidth, Raise ? Needed : Height());
}

void TRpCustomLabel::FormatText(std::string Text)
{
    Text.erase(std::remove(Text.begin(), Text.end(), '\n'), Text.end());
    for (size_t Cr = Text.find('\r'); Cr != std::string::npos; Cr = Text.find('\r')) {
        FormatParagraph(Text.substr(0, Cr));
        Text.erase(0, Cr + 1);
    }
    FormatParagraph(Text);
}

void TRpCustomLabel::FormatParagraph(const std::string& Paragraph)
{
    std::string Line;
    bool Finished = false;
    if (FAutoSize) {
        FOutputLines->Add(Paragraph);
        Finished = true;
    } else {
        // Words keep the space or hyphen that ends them. With WordWrap off
        // the paragraph ends at its first full line. A plain-text paragraph
        // that fits as a whole is one line: each of its leading parts is
        // narrower still (every character adds width), so the words would
        // all join it.
        if (IsPlainAscii(Paragraph) && TextFits(Paragraph, Width())) {
            FOutputLines->Add(Paragraph);
            return;
        }
        size_t Start = 0;
        while (Start < Paragraph.size() && !Finished) {
            size_t End = Paragraph.find_first_of(" -\r", Start);
            End = End == std::string::npos ? Paragraph.size() : End + 1;
            FormatWord(Paragraph.substr(Start, End - Start), Line, Finished);
            Start = End;
        }
    }
    if (!Finished)
        FOutputLines->Add(Line);
}

void TRpCustomLabel::FormatWord(std::string Word, std::string& Line, bool& Finished)
{
    const int W = Width();
    if (TextFits(Line + Word, W)) {
        Line += Word;
        return;
    }
    if (Line.empty()) {
        // The word alone is too wide: keep the characters that fit.
        for (size_t Pos = 0; Pos < Word.size();) {
            const size_t Len = CharLength(Word, Pos);
            if (MeasureText(Line + Word.substr(Pos, Len)) >= W)
                break;
            Line += Word.substr(Pos, Len);
            Pos += Len;
        }
        Word.clear();
        FOutputLines->Add(Line);
    } else {
        FOutputLines->Add(Line);
        if (MeasureText(Word) > W) {
            if (W == 0) {
                Word.clear();
            } else {
                while (!Word.empty() && MeasureText(Word) > W)
                    Word.erase(LastCharStart(Word));
                FOutputLines->Add(Word);
                Word.clear();
            }
        }
    }
    if (!FWordWrap) {
        Finished = true;
        Line.clear();
        return;
    }
    Line = Word;
}

// ----------------------------------------------------------------- painting

void TRpCustomLabel::Paint()
{
    TCanvas* C = Canvas();
    if (!C || PrintingActive())
        return;
    C->SetFont(Font());
    const int Zoom = GetZoom();
    if (Zoom != 100) {
        const int Zoomed = static_cast<int>(std::lround(Font()->Size() * Zoom / 100.0));
        if (Zoomed != C->Font()->Size())
            C->Font()->SetSize(Zoomed);
    }
    FormatLines();
    const int LineHeight = C->TextHeight("W");
    if (!Transparent()) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        C->FillRect(ClientRect());
    }
    TRect R = ClientRect();
    R.Right -= 1;
    R.Bottom -= 1;
    const long double Factor = Zoom * (Size()->ScreenPPI() / 254.0L) / 100;
    Frame()->PaintIt(C, R, Factor, Factor);
    int TopOffset = 0, LeftOffset = 0;
    if (Frame()->Width() > 0) {
        const int FrameWidth =
            static_cast<int>(std::lround(Zoom * (Frame()->Width() / 72.0 * Size()->ScreenPPI()) / 100));
        if (Frame()->DrawTop())
            TopOffset = FrameWidth;
        if (Frame()->DrawLeft())
            LeftOffset = FrameWidth;
    }
    int X = LeftOffset;
    unsigned Align = TA_LEFT;
    if (DrawnAlignment() == taRightJustify) {
        Align = TA_RIGHT;
        X += ClientRect().Width();
    } else if (DrawnAlignment() == taCenter) {
        Align = TA_CENTER;
        X += ClientRect().Width() / 2;
    }
    C->SetTextAlign(Align | TA_TOP);
    C->SetBackgroundMode(bkTransparent);
    for (int I = 0; I < FOutputLines->Count(); ++I)
        if (const std::string Line = FOutputLines->Strings(I); !Line.empty())
            C->TextOut(X, LineHeight * I + TopOffset, Line);
    C->SetTextAlign(TA_LEFT | TA_TOP);
    PaintCorners(C);
}

// ----------------------------------------------------------------- printing

void TRpCustomLabel::Print(int OfsX, int OfsY)
{
    if (!IsEnabled())
        return;
    TRpPrinter* P = ActivePrinter();
    if (!P)
        return;
    TCanvas* C = P->GetCanvas();
    if (C)
        C->SetFont(Font());
    PrintLines(C, Size()->Left() + OfsX, Size()->Top() + OfsY, Size()->Width(), Size()->Height(), PrintLineHeight(),
               FAutoStretch);
}

void TRpCustomLabel::PrintLines(TCanvas* Canvas, long double AX, long double AY, long double AWidth,
                                long double AHeight, long double ALineHeight, bool CanExpand)
{
    TRpPrinter* P = ActivePrinter();
    TCustomRpReport* Report = HostReport();
    if (!P || !Report)
        return;
    const long double WidthBefore = AWidth;
    long double Extra = 0;

    // An OnPrint handler's text is printed in place of the print text,
    // which comes back afterwards.
    std::string SavedText = FOutputText;
    bool Replaced = false;
    TScopeExit PutBack([this, &SavedText, &Replaced] {
        if (Replaced) {
            FOutputText = SavedText;
            FFormatted = false;
        }
    });
    if (!FOutputText.empty() && OnPrint) {
        std::string Value = FOutputText;
        OnPrint(this, Value);
        if (Canvas)
            Canvas->SetFont(Font());
        AHeight = Size()->Height();
        ALineHeight = PrintLineHeight();
        if (Value != FOutputText) {
            FOutputText = Value;
            Replaced = true;
        }
    }
    FormatLines();
    AWidth = Size()->Width();

    const bool Drawing = Report->FinishDoc() && Canvas;
    TRpExportFilter* Filter = Report->Exporting() ? Report->ExportFilter() : nullptr;
    if (Filter && !Transparent() && Color() != clWhite) {
        const std::unique_ptr<TRpShape> Back =
            RpExportShape(rpsRectangle, AX, AY, AWidth, Size()->Height(), Color());
        Filter->AcceptGraphic(P->XPos(AX), P->YPos(AY), Back.get());
    }
    if (Drawing && !Transparent()) {
        Canvas->Pen()->SetWidth(0);
        Canvas->Pen()->SetStyle(psClear);
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(Color());
        Canvas->FillRect(Rect(P->XPos(AX), P->YPos(AY), P->XPos(AX + AWidth), P->YPos(AY + AHeight)));
        Canvas->Pen()->SetStyle(psSolid);
    }
    long double FrameTop = 0, FrameLeft = 0;
    if (Frame()->AnyFrame()) {
        const long double FrameWidth = std::round(Frame()->Width() * 254.0L / 72.0L);
        if (Frame()->DrawTop())
            FrameTop = FrameWidth;
        if (Frame()->DrawLeft())
            FrameLeft = FrameWidth;
        AY += FrameTop;
        AX += FrameLeft;
    }
    long double Bottom = AY + AHeight + 1;
    long double CurrentY = AY;
    long double X = AX;
    if (FAutoSize && Alignment() == taRightJustify)
        X = AX - (AWidth - WidthBefore);
    else if (FAutoSize && Alignment() == taCenter)
        X = AX - (AWidth - WidthBefore) / 2;

    const TAlignment Drawn = DrawnAlignment();
    unsigned Align = UseRightToLeftReading() ? TA_RTLREADING : 0;
    if (Drawn == taRightJustify) {
        Align |= TA_RIGHT;
        X += AWidth;
    } else if (Drawn == taCenter) {
        Align |= TA_CENTER;
        X += AWidth / 2;
    }
    if (Canvas) {
        Canvas->SetBackgroundMode(bkTransparent);
        Canvas->SetTextAlign(Align | TA_TOP);
    }

    if (PrintComplete())
        FNextLine = 0;
    auto* Band = dynamic_cast<TRpCustomBand*>(Parent());
    bool Expanded = false;
    const int Last = FOutputLines->Count() - 1;
    while (FNextLine <= Last) {
        if (Bottom < CurrentY + ALineHeight) {
            if (!(CanExpand && Band && Band->CanExpand(ALineHeight)))
                break;
            const long double PreviousExtra = Extra;
            long double NewExtra = Extra;
            Band->ExpandBand(ALineHeight, NewExtra, Expanded);
            Extra = NewExtra;
            Bottom = AY + AHeight + 1 + Extra;
            if (Drawing && !Transparent() && Extra > PreviousExtra) {
                Canvas->Brush()->SetStyle(bsSolid);
                Canvas->Brush()->SetColor(Color());
                Canvas->FillRect(Rect(P->XPos(AX), P->YPos(AY + AHeight + PreviousExtra), P->XPos(AX + AWidth),
                                      P->YPos(AY + AHeight + Extra)));
            }
            if (Bottom < CurrentY + ALineHeight)
                continue;
        }
        const std::string Line = FOutputLines->Strings(FNextLine);
        if (Drawing && !Line.empty())
            Canvas->TextOut(P->XPos(X), P->YPos(CurrentY), Line);
        if (Filter)
            Filter->TextOut(static_cast<double>(X), static_cast<double>(CurrentY), Font(), Color(), Drawn, Line);
        CurrentY += ALineHeight;
        ++FNextLine;
    }
    SetPrintComplete(!(FNextLine <= Last && FAutoStretch));
    if (Canvas) {
        Canvas->ClearClip();
        Canvas->SetTextAlign(TA_LEFT | TA_TOP);
    }
    if ((Drawing || Filter) && Frame()->AnyFrame()) {
        const TRect R = Rect(P->XPos(AX - FrameLeft), P->YPos(AY - FrameTop), P->XPos(AX + AWidth),
                             P->YPos(Size()->Height() + AY + Extra));
        Frame()->PaintIt(Canvas, R, P->XFactor(), P->YFactor());
    }
}

// ------------------------------------------------------------------ the memo

void TRpMemo::Print(int OfsX, int OfsY)
{
    SetCaption("");
    TRpCustomLabel::Print(OfsX, OfsY);
    SetCaption(Name());
}

void TRpMemo::Paint()
{
    if (Lines()->Count() > 0 && !Caption().empty())
        SetCaption("");
    TRpCustomLabel::Paint();
}

void TRpMemo::GetExpandedHeight(long double& NewHeight)
{
    FormatLines();
    NewHeight = OutputLines()->Count() * static_cast<long double>(MeasureLineHeight());
}

// ------------------------------------------------------------ system data

TRpSysData::TRpSysData(TComponent* AOwner) : TRpCustomLabel(AOwner) { DesignCaption(); }

void TRpSysData::SetData(TRpSysDataType Value)
{
    FData = Value;
    DesignCaption();
}

void TRpSysData::SetText(const std::string& Value)
{
    FText = Value;
    DesignCaption();
}

void TRpSysData::DesignCaption()
{
    static constexpr const TRpResString* Names[] = {&SRpTime,        &SRpDate,        &SRpDateTime, &SRpPageNum,
                                                    &SRpReportTitle, &SRpDetailCount, &SRpDetailNo};
    SetCaption(FText + "(" + LoadResString(*Names[FData]) + ")");
}

void TRpSysData::Print(int OfsX, int OfsY)
{
    TCustomRpReport* Report = HostReport();
    switch (FData) {
    case rpsTime:
        SetCaption(FText + FormatDateTime("t", Now()));
        break;
    case rpsDate:
        SetCaption(FText + FormatDateTime("c", Date()));
        break;
    case rpsDateTime:
        SetCaption(FText + FormatDateTime("c", Now()));
        break;
    case rpsPageNumber:
        SetCaption(FText + std::to_string(Report ? Report->PageNo() : 0));
        break;
    case rpsReportTitle:
        SetCaption(FText + (Report ? Report->ReportTitle() : std::string()));
        break;
    case rpsDetailCount:
        // Only a report with records counts them; else the caption stays.
        if (auto* R = dynamic_cast<TRpReport*>(Report))
            SetCaption(FText + std::to_string(R->RecordCount()));
        break;
    case rpsDetailNo:
        if (auto* R = dynamic_cast<TRpReport*>(Report))
            SetCaption(FText + std::to_string(R->RecordNumber()));
        break;
    }
    TRpCustomLabel::Print(OfsX, OfsY);
}
