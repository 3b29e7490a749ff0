// The printables of a report page: text (labels, memos, system data) and
// graphics (shapes and images).
//
// Text is measured in screen pixels at the control's zoom through the host
// report's TextWidth, also while printing, so that a text wraps the same on
// screen, in recorded pages and on paper; the printer draws each formatted
// line unchanged. Texts are UTF-8 and a word is only ever cut between
// characters.
//
// A text printable prints line by line: when a line does not fit its height
// an AutoStretch printable grows its band (ExpandBand); when the page is
// full it leaves PrintComplete false and NextLine where it stopped, and the
// band calls Print again on the next page.
#pragma once

#include "platform/Classes.h"
#include "platform/Filer.h"
#include "platform/Graphics.h"
#include "platform/Picture.h"
#include "report/RpReport.h"

#include <functional>
#include <memory>
#include <string>

class TRpCustomLabel;

// May replace the text a label prints (not its Caption).
using TRpLabelOnPrintEvent = std::function<void(TObject* Sender, std::string& Value)>;

class TRpCustomLabel : public TRpPrintable {
    OZ_CLASS(TRpCustomLabel, TRpPrintable);

public:
    static void Publish(TPublisher<TRpCustomLabel>& P);
    explicit TRpCustomLabel(TComponent* AOwner);
    ~TRpCustomLabel() override;

    // True: formats the print text (OutputText); false: formats Lines.
    virtual bool GetCaptionBased() const { return FUsesCaption; }
    // Rebuilds OutputLines (and with AutoSize the width); nothing without a
    // parent.
    virtual void FormatLines();

    void Prepare() override;
    void Print(int OfsX, int OfsY) override;
    void SetAlignment(TAlignment Value) override;
    void SetParent(TWinControl* AParent) override;
    void SetName(const std::string& NewName) override;
    void Loaded() override;

    const std::string& Caption() const { return FCaption; }
    // Also the print text; formats.
    void SetCaption(const std::string& Value);
    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value);
    const std::string& OutputText() const { return FOutputText; }
    void SetOutputText(const std::string& Value) { FOutputText = Value; }
    TStrings* OutputLines() const { return FOutputLines.get(); }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool AutoStretch() const { return FAutoStretch; }
    void SetAutoStretch(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // Reading order: anything but bdLeftToRight reads right to left (the
    // canvas's TA_RTLREADING); bdRightToLeft also mirrors the alignment.
    // Setting it clears ParentBiDiMode; with ParentBiDiMode the label reads
    // as its band or report, left to right.
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool Value);
    bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
    virtual bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
    // Alignment with left and right swapped when the alignment mirrors: the
    // side the lines are drawn against.
    TAlignment DrawnAlignment() const;

    // The next output line to print of an occurrence that goes on.
    int32_t NextLine() const { return FNextLine; }
    // The stored "FontSize" (points); applied by Loaded when above 0.
    int32_t StreamedFontSize() const { return FStreamedFontSize; }
    void SetStreamedFontSize(int32_t Value) { FStreamedFontSize = Value; }
    // The stored "FontSize": the font's point size, so that it survives a
    // form stored at another pixel density.
    virtual void ReadFontSize(TReader* Reader);
    virtual void WriteFontSize(TWriter* Writer);
    void DefineProperties(TFiler* Filer) override;

    // Width of Text in the control's pixels at its zoom.
    int MeasureText(const std::string& Text);
    // MeasureText(Text) <= Width, found without measuring Text when a quick
    // bound of its width already fits.
    bool TextFits(const std::string& Text, int Width);
    // Height of a line (the "W" height) in the control's pixels at its zoom.
    int MeasureLineHeight();

    TRpLabelOnPrintEvent OnPrint;

protected:
    void Paint() override;
    void FontChanged() override;
    // Prints the formatted lines at (AX, AY) in a box AWidth x AHeight, all
    // in 0.1 mm; CanExpand lets the band grow for lines that do not fit.
    void PrintLines(TCanvas* Canvas, long double AX, long double AY, long double AWidth, long double AHeight,
                    long double ALineHeight, bool CanExpand);
    // The line height for printing, 0.1 mm.
    long double PrintLineHeight();
    void SetUsesCaption(bool Value) { FUsesCaption = Value; }
    bool Designing() const { return ComponentState().Contains(csDesigning); }

private:
    // One text, possibly of several paragraphs (CR separates them; LF is
    // dropped).
    void FormatText(std::string Text);
    void FormatParagraph(const std::string& Paragraph);
    // Adds Word to Line, or emits Line and starts anew; Finished when the
    // rest of the paragraph is to be dropped (WordWrap off).
    void FormatWord(std::string Word, std::string& Line, bool& Finished);
    void ApplyAutoSize();
    // New pixel bounds; the top stays as it is.
    void ResizeKeepingTop(int NewLeft, int NewWidth, int NewHeight);
    void RaiseToLineHeight();
    // What the formatting depends on: equal inputs give equal lines.
    struct TFormatInputs {
        bool AutoSize = false;
        bool WordWrap = false;
        bool CaptionBased = false;
        bool Designing = false;
        bool HasReport = false;
        int Width = 0;
        int Height = 0;
        int Zoom = 0;
        TAlignment Alignment = taLeftJustify;
        std::string Name;
        // The print text (caption based), else the count of changes and
        // lines of Lines.
        std::string Text;
        uint64_t LinesChanges = 0;
        int LinesCount = 0;
        bool operator==(const TFormatInputs&) const = default;
    };
    TFormatInputs FormatInputs();

    bool FUsesCaption = true;
    bool FAutoSize = true;
    bool FAutoStretch = false;
    std::string FCaption;
    int32_t FNextLine = 0;
    std::string FOutputText;
    int32_t FStreamedFontSize = 0;
    std::unique_ptr<TStringList> FOutputLines;
    std::unique_ptr<TStringList> FLines;
    bool FWordWrap = true;
    bool FSizingBusy = false;
    TFormatInputs FFormattedInputs;
    uint64_t FLinesChanges = 0;
    bool FFormatted = false;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
};

// One caption, which may hold line breaks.
class TRpLabel : public TRpCustomLabel {
    OZ_CLASS(TRpLabel, TRpCustomLabel);

public:
    static void Publish(TPublisher<TRpLabel>& P);
    explicit TRpLabel(TComponent* AOwner) : TRpCustomLabel(AOwner) {}
    TRpPrintableEditorClass GetEditorClass() const override { return RpPrintableEditorClass("TRpLabelEditor"); }
};

// The lines of Lines; the designer shows the name while there are none.
class TRpMemo : public TRpCustomLabel {
    OZ_CLASS(TRpMemo, TRpCustomLabel);

public:
    static void Publish(TPublisher<TRpMemo>& P);
    explicit TRpMemo(TComponent* AOwner) : TRpCustomLabel(AOwner) {}
    bool GetCaptionBased() const override { return false; }
    void Print(int OfsX, int OfsY) override;
    // Pixels: the output lines times the zoomed line height.
    void GetExpandedHeight(long double& NewHeight) override;

protected:
    void Paint() override;
};

enum TRpSysDataType { rpsTime, rpsDate, rpsDateTime, rpsPageNumber, rpsReportTitle, rpsDetailCount, rpsDetailNo };

// Text followed by a value of the run: time, date, page number, title.
class TRpSysData : public TRpCustomLabel {
    OZ_CLASS(TRpSysData, TRpCustomLabel);

public:
    static void Publish(TPublisher<TRpSysData>& P);
    explicit TRpSysData(TComponent* AOwner);
    void Print(int OfsX, int OfsY) override;

    TRpSysDataType Data() const { return FData; }
    void SetData(TRpSysDataType Value);
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);

private:
    // Caption := Text + "(" + the kind's name + ")".
    void DesignCaption();

    TRpSysDataType FData = rpsTime;
    std::string FText;
};

// ------------------------------------------------------------------ graphics

enum TRpShapeType { rpsRectangle, rpsCircle, rpsVertLine, rpsHorLine, rpsTopAndBottom, rpsRightAndLeft, rpsRoundRect };

class TRpShape : public TRpPrintable {
    OZ_CLASS(TRpShape, TRpPrintable);

public:
    static void Publish(TPublisher<TRpShape>& P);
    explicit TRpShape(TComponent* AOwner);
    ~TRpShape() override;

    void Print(int OfsX, int OfsY) override;

    TRpShapeType Shape() const { return FShape; }
    void SetShape(TRpShapeType Value);
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    float RoundFactor() const { return FRoundFactor; }
    void SetRoundFactor(float Value);
    // Stored with the form; no effect here.
    int32_t VertAdjust() const { return FVertAdjust; }
    void SetVertAdjust(int32_t Value) { FVertAdjust = Value; }

    // Draws the shape into Rect (device pixels); RoundSize is the corner
    // size of a rounded rectangle.
    void DrawShape(TCanvas* Canvas, const TRect& Rect, int RoundSize) const;
    // The corner size of a rounded rectangle: the control's pixel width
    // times RoundFactor, truncated.
    int RoundSize() const;

protected:
    void Paint() override;

private:
    TRpShapeType FShape = rpsRectangle;
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TPen> FPen;
    float FRoundFactor = 0;
    int32_t FVertAdjust = 0;
};

// A shape that stands for a background or frame part handed to an export
// filter: filled in Color without outline (PenColor clNone), or outlined
// with a solid pen of PenWidth pixels and no fill. Sizes in 0.1 mm.
std::unique_ptr<TRpShape> RpExportShape(TRpShapeType Shape, long double Left, long double Top, long double Width,
                                        long double Height, TColor Fill, TColor PenColor = clNone,
                                        int PenWidth = 1);

class TRpImage : public TRpPrintable {
    OZ_CLASS(TRpImage, TRpPrintable);

public:
    static void Publish(TPublisher<TRpImage>& P);
    explicit TRpImage(TComponent* AOwner);
    ~TRpImage() override;

    void Print(int OfsX, int OfsY) override;

    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    // The picture's bitmap canvas; an empty picture first gets a bitmap of
    // the control's size; nil when the picture holds a metafile.
    TCanvas* ImageCanvas();

    // The device rectangle the picture takes for the printed rectangle R:
    // R itself when stretched, else the natural size (screen pixels as
    // 0.1 mm through XFactor/YFactor), centred in R with Center.
    TRect PictureRect(const TRect& R, long double XFactor, long double YFactor) const;

protected:
    void Paint() override;

private:
    void PictureChanged();

    std::unique_ptr<TPicture> FPicture;
    bool FAutoSize = false;
    bool FStretch = false;
    bool FCenter = false;
};
