// The rich-edit control: formatted text (RichText.h) in an editable window,
// and the format-range operation that lays the text out on any canvas
// (printer, PDF, metafile, bitmap) a rectangle at a time.
//
// Characters are counted as RichText.h says: UTF-16 units of the plain text,
// one for every break between two paragraphs; GetTextLen gives the total.
//
// Text set into Lines (SetText, Assign, LoadFromFile) or into the control's
// Text that begins with "{\rtf" is read as RTF unless PlainText is set; any
// other text is plain, one paragraph per line. Lines assigned from another
// rich edit's Lines keep their formatting. Plain text, and whatever an RTF
// text leaves open (font name, size, colour), follows the control's Font;
// paragraphs without an alignment of their own follow Alignment. A form
// stores formatted Lines as the lines of their RTF (WriteRtf; what is left
// open stays open), plain Lines line by line as ever.
#pragma once

#include "platform/Controls.h"
#include "platform/RichText.h"

#include <memory>
#include <string>

class TRichEditHost;

// One call of the format-range operation. Rectangles are in twips (1/1440
// inch) on Canvas; a canvas pixel is twips x the canvas's pixels per inch /
// 1440 (horizontal resolution for x, vertical for y).
struct TFormatRange {
    // Where the text is drawn; its resolution is the layout's. nullptr lays
    // out at 96 dpi and draws nothing.
    TCanvas* Canvas = nullptr;
    // The rectangle the text goes into.
    TRect Rect;
    // The page the rectangle lies on. The layout does not depend on it.
    TRect PageRect;
    // The first character to place, and the first one past the range
    // (-1: to the end of the text).
    int CharMin = 0;
    int CharMax = -1;
};

class TCustomRichEdit : public TWinControl {
public:
    explicit TCustomRichEdit(TComponent* AOwner);
    ~TCustomRichEdit() override;

    // One line per paragraph ('\v' for a line break inside one). A text that
    // ends with a paragraph break has no empty last line.
    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    // Set: text beginning with "{\rtf" is not read as RTF but kept as it is.
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool Value) { FPlainText = Value; }
    // The alignment of paragraphs that have none of their own.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    void Clear() { FLines->Clear(); }

    // The text with every format resolved: what is left to the control
    // carries the control's Font and Alignment.
    TRichDocument Document() const;
    // Replaces the text; formats left open follow the control.
    void SetDocument(const TRichDocument& Value);
    // Characters of the text (see above).
    int GetTextLen() const;

    // Lays the text out from Range.CharMin into Range.Rect (twips) at the
    // canvas's resolution, line by line while whole lines fit, and draws the
    // placed lines on Range.Canvas when Render is true (each run in its
    // font and colour through TextOut, backgrounds through FillRect; the
    // canvas's state is as before afterwards). Returns the first character
    // not placed; once the range is placed to the end of the text, the text
    // length + 1 (never -1). Nothing placed returns CharMin. A start inside a
    // paragraph begins a new line there, without first indent and space
    // before.
    int FormatRange(const TFormatRange& Range, bool Render);
    // Drops what FormatRange keeps of the text between calls (the next call
    // reads the text again).
    void ReleaseFormatCache();

    TNotifyEvent OnChange;

    // The Qt side: the text changed.
    void WidgetTextChanged();

protected:
    virtual void Change();
    std::string GetTextBuf() const override;
    void SetTextBuf(const std::string& Value) override;
    void FontChanged() override;

private:
    const TRichDocument& FormatDocument();

    TRichEditHost* FHost;
    std::unique_ptr<TStrings> FLines;
    bool FPlainText = false;
    TAlignment FAlignment = taLeftJustify;
    TBorderStyle FBorderStyle = bsSingle;
    std::unique_ptr<TRichDocument> FFormatCache;
};

class TRichEdit : public TCustomRichEdit {
public:
    explicit TRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner) {}
};
