// Settings objects of the instrument-control library: lines, scale texts and
// angles, captions, four-sided offsets, bevel colours, the button bevel, arrow
// colours, an LED, a surface gradient, and the binding to a settings file.
//
// Every writer stores a value only when it differs and then calls Change; a
// pen, font or settings object owned inside another reports through the
// owner's ChangeObject, so the control owning the outermost object hears
// every change through one OnChange, with the changed object as sender.
#pragma once

#include "widgets/_IcClass.h"
#include "widgets/_icproc.h"

#include "platform/Graphics.h"
#include "platform/IniFiles.h"

#include <functional>
#include <string>

// Stores Value in Field and calls Owner's Change when they differ.
template <class T, class V>
void IcStoreChanged(TIcPersistent& Owner, T& Field, const V& Value)
{
    if (Field == Value)
        return;
    Field = Value;
    Owner.Change();
}

// Reports the changes of Sub (a pen, font or settings object that Owner
// owns) through Owner's ChangeObject, Sub as sender.
template <class T>
void IcBindChange(T& Sub, TIcPersistent& Owner)
{
    Sub.OnChange = [&Owner](TObject* Sender) { Owner.ChangeObject(Sender); };
}

// Width one-pixel frames around R (which shrinks by Width), each in the
// step's colours of two gradients: raised, top-left from HighFrom to HighTo
// and bottom-right from ShadowFrom to ShadowTo; lowered, top-left from
// ShadowTo to ShadowFrom and bottom-right from HighTo to HighFrom. R is
// filled with Color first when Fill.
void IcPaintGradFrames(TCanvas* Canvas, TRect& R, int Width, TColor HighFrom, TColor HighTo, TColor ShadowFrom,
                       TColor ShadowTo, bool Raised, bool Fill, TColor Color);

enum TAngleMode { amAuto, amManual };

// The look of one kind of scale tick.
class TIcLineSettings : public TIcPersistent {
    OZ_CLASS(TIcLineSettings, TIcPersistent);

public:
    TIcLineSettings();

    static void Publish(TPublisher<TIcLineSettings>& P);

    TPen* Pen() { return &FPen; }
    // Copies Value (one change reported).
    void SetPen(TPen* Value);
    int Length() const { return FLength; }
    void SetLength(int Value) { IcStoreChanged(*this, FLength, Value); }
    int Offset() const { return FOffset; }
    void SetOffset(int Value) { IcStoreChanged(*this, FOffset, Value); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { IcStoreChanged(*this, FVisible, Value); }

private:
    TPen FPen;
    int FLength = 0;
    int FOffset = 0;
    bool FVisible = true;
};

// Ticks, texts and text angle of a scale; the two kinds below make their
// own choice of these public.
class TIcCustomScale : public TIcPersistent {
    OZ_CLASS(TIcCustomScale, TIcPersistent);

public:
    TIcCustomScale();

protected:
    TFont* Font() { return &FFont; }
    void SetFont(TFont* Value);
    const std::string& FormatStr() const { return FFormatStr; }
    void SetFormatStr(const std::string& Value) { IcStoreChanged(*this, FFormatStr, Value); }
    TIcLineSettings* StepLines() { return &FStepLines; }
    TIcLineSettings* SubStepLines() { return &FSubStepLines; }
    int TextOffsetX() const { return FTextOffsetX; }
    void SetTextOffsetX(int Value) { IcStoreChanged(*this, FTextOffsetX, Value); }
    int TextOffsetY() const { return FTextOffsetY; }
    void SetTextOffsetY(int Value) { IcStoreChanged(*this, FTextOffsetY, Value); }
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value) { IcStoreChanged(*this, FText, Value); }
    toPos TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(toPos Value) { IcStoreChanged(*this, FTextAlignment, Value); }
    int Angle() const { return FAngle; }
    void SetAngle(int Value) { IcStoreChanged(*this, FAngle, Value); }
    TAngleMode AngleMode() const { return FAngleMode; }
    void SetAngleMode(TAngleMode Value) { IcStoreChanged(*this, FAngleMode, Value); }

private:
    TFont FFont;
    std::string FFormatStr = "##0.#";
    TIcLineSettings FStepLines;
    TIcLineSettings FSubStepLines;
    int FTextOffsetX = 0;
    int FTextOffsetY = 0;
    std::string FText;
    toPos FTextAlignment = toMidCenter;
    int FAngle = 0;
    TAngleMode FAngleMode = amAuto;
};

class TIcScale : public TIcCustomScale {
    OZ_CLASS(TIcScale, TIcCustomScale);

public:
    static void Publish(TPublisher<TIcScale>& P);

    using TIcCustomScale::Angle;
    using TIcCustomScale::SetAngle;
    using TIcCustomScale::AngleMode;
    using TIcCustomScale::SetAngleMode;
    using TIcCustomScale::Font;
    using TIcCustomScale::SetFont;
    using TIcCustomScale::StepLines;
    using TIcCustomScale::SubStepLines;
    using TIcCustomScale::TextAlignment;
    using TIcCustomScale::SetTextAlignment;
    using TIcCustomScale::TextOffsetX;
    using TIcCustomScale::SetTextOffsetX;
    using TIcCustomScale::TextOffsetY;
    using TIcCustomScale::SetTextOffsetY;
    using TIcCustomScale::Text;
    using TIcCustomScale::SetText;
};

class TIcFlexScale : public TIcCustomScale {
    OZ_CLASS(TIcFlexScale, TIcCustomScale);

public:
    static void Publish(TPublisher<TIcFlexScale>& P);

    using TIcCustomScale::Angle;
    using TIcCustomScale::SetAngle;
    using TIcCustomScale::AngleMode;
    using TIcCustomScale::SetAngleMode;
    using TIcCustomScale::Font;
    using TIcCustomScale::SetFont;
    using TIcCustomScale::FormatStr;
    using TIcCustomScale::SetFormatStr;
    using TIcCustomScale::StepLines;
    using TIcCustomScale::SubStepLines;
    using TIcCustomScale::TextAlignment;
    using TIcCustomScale::SetTextAlignment;
    using TIcCustomScale::TextOffsetX;
    using TIcCustomScale::SetTextOffsetX;
    using TIcCustomScale::TextOffsetY;
    using TIcCustomScale::SetTextOffsetY;

    // The three are taken only when above 0.
    float SubStepAt() const { return FSubStepAt; }
    void SetSubStepAt(float Value);
    int StepMulti() const { return FStepMulti; }
    void SetStepMulti(int Value);
    int SubStepsVis() const { return FSubStepsVis; }
    void SetSubStepsVis(int Value);

private:
    float FSubStepAt = 0.0f;
    int FStepMulti = 0;
    int FSubStepsVis = 0;
};

// A caption: its text, font, placement and offsets.
class TIcText : public TIcPersistent {
    OZ_CLASS(TIcText, TIcPersistent);

public:
    TIcText();

    static void Publish(TPublisher<TIcText>& P);

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value) { IcStoreChanged(*this, FText, Value); }
    TFont* Font() { return &FFont; }
    // Copies Value; the font reports the change itself.
    void SetFont(TFont* Value);
    int OffsetX() const { return FOffsetX; }
    void SetOffsetX(int Value) { IcStoreChanged(*this, FOffsetX, Value); }
    int OffsetY() const { return FOffsetY; }
    void SetOffsetY(int Value) { IcStoreChanged(*this, FOffsetY, Value); }
    toPos Pos() const { return FPos; }
    void SetPos(toPos Value) { IcStoreChanged(*this, FPos, Value); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { IcStoreChanged(*this, FVisible, Value); }

private:
    std::string FText;
    TFont FFont;
    int FOffsetX = 0;
    int FOffsetY = 0;
    toPos FPos = toTopLeft;
    bool FVisible = true;
};

// Two colours and a width of a 3-D frame.
class TIcBevelSettings : public TIcPersistent {
    OZ_CLASS(TIcBevelSettings, TIcPersistent);

public:
    static void Publish(TPublisher<TIcBevelSettings>& P);

    TColor ColorFrom() const { return FColorFrom; }
    void SetColorFrom(TColor Value) { IcStoreChanged(*this, FColorFrom, Value); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { IcStoreChanged(*this, FColorTo, Value); }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { IcStoreChanged(*this, FWidth, Value); }
    // Exchanges the two colours (one change).
    void SwapColors();

private:
    TColor FColorFrom = clWhite;
    TColor FColorTo = RGB(115, 115, 115);
    int FWidth = 2;
};

// Four distances inward from the sides of a rectangle.
class TIcOffset : public TIcPersistent {
    OZ_CLASS(TIcOffset, TIcPersistent);

public:
    static void Publish(TPublisher<TIcOffset>& P);

    int Top() const { return FTop; }
    void SetTop(int Value) { IcStoreChanged(*this, FTop, Value); }
    int Left() const { return FLeft; }
    void SetLeft(int Value) { IcStoreChanged(*this, FLeft, Value); }
    int Right() const { return FRight; }
    void SetRight(int Value) { IcStoreChanged(*this, FRight, Value); }
    int Bottom() const { return FBottom; }
    void SetBottom(int Value) { IcStoreChanged(*this, FBottom, Value); }
    // Sets all four without reporting a change.
    void Write(int ATop, int ALeft, int ARight, int ABottom);
    // R moved inward by the four distances.
    TRect SetOffset(const TRect& R) const;
    void AssignTo(TPersistent* Dest) override;

private:
    int FTop = 0;
    int FLeft = 0;
    int FRight = 0;
    int FBottom = 0;
};

// A button bevel whose frames shade from one colour to another.
class TIcBtnBevel : public TIcPersistent {
    OZ_CLASS(TIcBtnBevel, TIcPersistent);

public:
    static void Publish(TPublisher<TIcBtnBevel>& P);

    TColor ShadowColFrom() const { return FShadowColFrom; }
    void SetShadowColFrom(TColor Value) { IcStoreChanged(*this, FShadowColFrom, Value); }
    TColor ShadowColTo() const { return FShadowColTo; }
    void SetShadowColTo(TColor Value) { IcStoreChanged(*this, FShadowColTo, Value); }
    TColor HighlightColFrom() const { return FHighlightColFrom; }
    void SetHighlightColFrom(TColor Value) { IcStoreChanged(*this, FHighlightColFrom, Value); }
    TColor HighlightColTo() const { return FHighlightColTo; }
    void SetHighlightColTo(TColor Value) { IcStoreChanged(*this, FHighlightColTo, Value); }
    int Width() const { return FWidth; }
    // Values below 0 are ignored.
    void SetWidth(int Value);
    // Width frames around Rect, filled with Color first when Fill; Rect
    // returns the face inside them.
    void PaintBevel(TCanvas* Canvas, TRect& Rect, bool Raised, bool Fill, TColor Color);
    void AssignTo(TPersistent* Dest) override;

private:
    TColor FShadowColFrom = clBlack;
    TColor FShadowColTo = clBtnShadow;
    TColor FHighlightColFrom = RGB(210, 210, 210);
    TColor FHighlightColTo = clBtnHighlight;
    int FWidth = 2;
};

// Colours of a pointer arrow and its two centre pieces.
class TArrowSettings : public TIcPersistent {
    OZ_CLASS(TArrowSettings, TIcPersistent);

public:
    static void Publish(TPublisher<TArrowSettings>& P);

    int Shape() const { return FShape; }
    void SetShape(int Value) { IcStoreChanged(*this, FShape, Value); }
    TColor ColorPen() const { return FColorPen; }
    void SetColorPen(TColor Value) { IcStoreChanged(*this, FColorPen, Value); }
    TColor ColorBrush() const { return FColorBrush; }
    void SetColorBrush(TColor Value) { IcStoreChanged(*this, FColorBrush, Value); }
    TColor ColorCP1Pen() const { return FColorCP1Pen; }
    void SetColorCP1Pen(TColor Value) { IcStoreChanged(*this, FColorCP1Pen, Value); }
    TColor ColorCP1Brush() const { return FColorCP1Brush; }
    void SetColorCP1Brush(TColor Value) { IcStoreChanged(*this, FColorCP1Brush, Value); }
    TColor ColorCP2Pen() const { return FColorCP2Pen; }
    void SetColorCP2Pen(TColor Value) { IcStoreChanged(*this, FColorCP2Pen, Value); }
    TColor ColorCP2Brush() const { return FColorCP2Brush; }
    void SetColorCP2Brush(TColor Value) { IcStoreChanged(*this, FColorCP2Brush, Value); }
    void AssignTo(TPersistent* Dest) override;

private:
    int FShape = 0;
    TColor FColorPen = clBlack;
    TColor FColorBrush = clLime;
    TColor FColorCP1Pen = clBlack;
    TColor FColorCP1Brush = clBlack;
    TColor FColorCP2Pen = clBlack;
    TColor FColorCP2Brush = clBtnFace;
};

// One LED: shape, colours on and off, size; the owning control sets where
// it is drawn.
class TLED : public TIcPersistent {
    OZ_CLASS(TLED, TIcPersistent);

public:
    static void Publish(TPublisher<TLED>& P);

    TLEDShape Shape() const { return FShape; }
    void SetShape(TLEDShape Value) { IcStoreChanged(*this, FShape, Value); }
    TColor ColorOn() const { return FColorOn; }
    void SetColorOn(TColor Value) { IcStoreChanged(*this, FColorOn, Value); }
    TColor ColorOff() const { return FColorOff; }
    void SetColorOff(TColor Value) { IcStoreChanged(*this, FColorOff, Value); }
    // Width and Height are taken only from 4 to 40.
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    const TRect& DrawRect() const { return FDrawRect; }
    void SetDrawRect(const TRect& Value) { FDrawRect = Value; }
    // The LED at DrawRect, lit or not, outlined in clBtnShadow.
    void Draw(TCanvas* Canvas, bool On);

private:
    TLEDShape FShape = sRound;
    TColor FColorOn = clLime;
    TColor FColorOff = clBtnFace;
    int FWidth = 13;
    int FHeight = 13;
    TRect FDrawRect;
};

// A gradient over a surface.
class TIcGradSettings : public TIcPersistent {
    OZ_CLASS(TIcGradSettings, TIcPersistent);

public:
    static void Publish(TPublisher<TIcGradSettings>& P);

    TColor ColorFrom() const { return FColorFrom; }
    void SetColorFrom(TColor Value) { IcStoreChanged(*this, FColorFrom, Value); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { IcStoreChanged(*this, FColorTo, Value); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { IcStoreChanged(*this, FVisible, Value); }
    TGradientStyle Style() const { return FStyle; }
    void SetStyle(TGradientStyle Value) { IcStoreChanged(*this, FStyle, Value); }
    // Through Dest's writers, then one more Change of Dest.
    void AssignTo(TPersistent* Dest) override;

private:
    TColor FColorFrom = RGB(226, 226, 226);
    TColor FColorTo = RGB(143, 143, 143);
    bool FVisible = false;
    TGradientStyle FStyle = gsHorizontal1;
};

// Read: the handler reads its values from Ini, else writes them.
using THandleIniEvent = std::function<void(TIniFile* Ini, bool Read)>;

// A settings file and section that a handler reads or writes on request.
class TIniSettings : public TPersistent {
    OZ_CLASS(TIniSettings, TPersistent);

public:
    static void Publish(TPublisher<TIniSettings>& P);

    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value) { FFileName = Value; }
    const std::string& Section() const { return FSection; }
    void SetSection(const std::string& Value) { FSection = Value; }
    // The file's name (never its folders) in the program's settings folder:
    // beside the program when that folder is writable.
    bool UseAppDir() const { return FUseAppDir; }
    void SetUseAppDir(bool Value) { FUseAppDir = Value; }
    bool AutoLoadSave() const { return FAutoLoadSave; }
    void SetAutoLoadSave(bool Value) { FAutoLoadSave = Value; }

    THandleIniEvent OnHandleIniEvent;

    // The file Handle opens.
    std::string Path() const;
    // The open file while the handler runs, else nullptr.
    TIniFile* Ini() const { return FIni; }
    // Set by Handle for a missing file or section name ("Invalid FileName",
    // "Invalid SectionName"); nothing is opened then.
    bool Error() const { return FError; }
    const std::string& ErrorText() const { return FErrorText; }

    // Opens the file, runs OnHandleIniEvent and frees the file, also when a
    // write fails (EIniFileException reaches the caller).
    void Handle(bool Read);
    // Handle, when AutoLoadSave is set.
    void AutoHandle(bool Read);

private:
    std::string FFileName;
    std::string FSection;
    bool FUseAppDir = true;
    bool FAutoLoadSave = false;
    TIniFile* FIni = nullptr;
    std::string FErrorText;
    bool FError = false;
};
