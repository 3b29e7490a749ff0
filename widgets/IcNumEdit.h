// The numeric edit and the numeric spin edit: a one-line field for a single
// number shown in one of four bases, checked while it is typed, with SI
// multiplier suffixes, one-entry base prefixes, optional limits and steps.
#pragma once

#include "platform/StdCtrls.h"
#include "widgets/_IcClass.h"
#include "widgets/_IcInfo.h"

#include <cstdint>
#include <initializer_list>
#include <string>

enum TEditBase : uint8_t { ebBin, ebHex, ebFloat, ebInt };
enum TNumEditOption { eoLimitMax, eoLimitMin, eoMultiply };
enum TNumEditState { esNormal, esEditing, esError };

// A set of TNumEditOption (bits 0, 1, 2 of one byte).
class TNumEditOptions {
public:
    constexpr TNumEditOptions() = default;
    constexpr TNumEditOptions(std::initializer_list<TNumEditOption> Items)
    {
        for (TNumEditOption I : Items)
            FBits = static_cast<uint8_t>(FBits | Bit(I));
    }
    constexpr bool Contains(TNumEditOption I) const { return (FBits & Bit(I)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr uint8_t Bits() const { return FBits; }
    static constexpr TNumEditOptions FromBits(uint8_t Bits)
    {
        TNumEditOptions S;
        S.FBits = static_cast<uint8_t>(Bits & 7u);
        return S;
    }
    constexpr bool operator==(const TNumEditOptions&) const = default;

private:
    static constexpr uint8_t Bit(TNumEditOption I) { return static_cast<uint8_t>(1u << static_cast<unsigned>(I)); }
    uint8_t FBits = 0;
};

// How one edit base reads its text.
struct TBaseProperties {
    std::string ValidChars;
    bool AllowExp = false;
    bool AllowMultiplier = false;
    std::string Signs;
    long double Min = 0;
    long double Max = 0;
};

// The program's number format: '.' decimal, ',' thousands, in every locale.
constexpr char IcDecimalSeparator = '.';
constexpr char IcThousandSeparator = ',';

inline constexpr const char* ValidFirstChar = "$%&!";
inline constexpr const char* ExpChars = "Ee";
inline constexpr const char* ValidMultipChars = "EPTGMkmunpfa";
extern const float Factors[12];

const TBaseProperties& EBase(TEditBase Base);

// The outcome of reading a text.
struct TNumCheck {
    bool Empty = false;        // no text at all
    bool Good = false;         // every character fits and the number converts
    int MarkStart = 0;         // bad text: first and last marked character (1-based)
    int MarkEnd = 0;
    long double Result = 0;    // good text: the number, multiplier applied
};

// Reads Text as a number typed into a field whose base is EditBase (Text
// may choose another base for itself with a ValidFirstChar prefix).
TNumCheck IcCheckNumText(const std::string& Text, TEditBase EditBase);

// ------------------------------------------------------------ the controls

// The beep at bad input, at a limit and at a refused keystroke; counted too,
// so tests can tell it happened.
void IcBeep();
// Number of beeps so far (tests read it).
int IcBeepCount();

class TIcNumEdit : public TCustomEdit {
    OZ_CLASS(TIcNumEdit, TCustomEdit);

public:
    explicit TIcNumEdit(TComponent* AOwner);

    // Stored: the limits, options, format, colours and the text, from which
    // the value comes back (Value and its other forms are never stored);
    // widgets/IcStream.cpp.
    static void Publish(TPublisher<TIcNumEdit>& P);
    // The stored text is committed once the form is read.
    void Loaded() override;

    using TCustomEdit::SetText;

    TIcInfo* IcInfo() const { return FIcInfo; }
    TColor ColorDefault() const { return FColorDefault; }
    void SetColorDefault(TColor Value);
    TColor ColorError() const { return FColorError; }
    void SetColorError(TColor Value) { FColorError = Value; }
    TColor ColorEditing() const { return FColorEditing; }
    void SetColorEditing(TColor Value) { FColorEditing = Value; }
    int DigitsBool() const { return FDigitsBool; }
    void SetDigitsBool(int Value) { FDigitsBool = Value; }
    int DigitsHex() const { return FDigitsHex; }
    void SetDigitsHex(int Value) { FDigitsHex = Value; }
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
    TEditBase EditBase() const { return FEditBase; }
    void SetEditBase(TEditBase Value);
    const std::string& FormatStr() const { return FFormatStr; }
    void SetFormatStr(const std::string& Value);
    float Increment() const { return FIncrement; }
    void SetIncrement(float Value) { FIncrement = Value; }
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double Value);
    double MinValue() const { return FMinValue; }
    void SetMinValue(double Value);
    TNumEditOptions Options() const { return FOptions; }
    void SetOptions(TNumEditOptions Value);
    TNumEditState State() const { return FState; }

    double Value() const { return FValue; }
    void SetValue(double Value);
    const std::string& ValueAsBool() const { return FValueAsBool; }
    void SetValueAsBool(const std::string& Value);
    const std::string& ValueAsHex() const { return FValueAsHex; }
    void SetValueAsHex(const std::string& Value);
    float ValueAsSingle() const { return FValueAsSingle; }
    void SetValueAsSingle(float Value);
    int32_t ValueAsInt() const { return FValueAsInt; }
    void SetValueAsInt(int32_t Value);

    // The value stands at a limit (kept while the limit's option is set).
    bool LimitUp() const { return FLimitUp; }
    bool LimitLo() const { return FLimitLo; }

    TNotifyEvent OnValueChanged;
    TNotifyEvent OnLimit;

    // Checks the text, sets the state and, with Commit and a good text,
    // commits it. False when the text is bad.
    bool CheckEdit(bool Commit);
    // x within the enabled limits; updates the limit flags.
    long double CheckValue(double x);
    // Commits x: the value, its other forms and the text.
    void SetText(long double x);

    // One step up or down from the committed value.
    virtual void UpClick(TObject* Sender);
    virtual void DownClick(TObject* Sender);

    bool WantsKey(uint16_t Key) const override;

protected:
    virtual void SetState(TNumEditState Value);
    virtual void Limit();
    void SetLimitUp(bool Value);
    void SetLimitLo(bool Value);

    // A text change checks the text; while a form is read it waits for
    // Loaded.
    void Change() override;
    // With ParentColor set, the parent's colour becomes ColorDefault.
    void ColorChanged() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoEnter() override;
    void DoExit() override;

    // The value in the control's base, as the commit writes it.
    std::string Rendering() const;

    std::string FLastText;
    bool FSuppressValueChanged = true;
    bool FSkipChange = false;
    bool FLimitUp = false;
    bool FLimitLo = false;

private:
    // Holds FSkipChange for one text change made by code.
    class TSkipChange;
    void UpdateLimitFlags();
    void WriteText(const std::string& S);
    // One step up or down, shared by UpClick and DownClick.
    void Step(bool Up);

    TIcInfo* FIcInfo = nullptr;
    TEditBase FEditBase = ebFloat;
    bool FEditorEnabled = true;
    double FMinValue = 0;
    double FMaxValue = 0;
    float FIncrement = 1.0f;
    double FValue = 0;
    std::string FValueAsBool;
    std::string FValueAsHex;
    float FValueAsSingle = 0;
    int32_t FValueAsInt = 0;
    TNumEditOptions FOptions;
    std::string FFormatStr;
    TNumEditState FState = esNormal;
    TColor FColorDefault = clWindow;
    TColor FColorError = clRed;
    TColor FColorEditing = clLime;
    int FDigitsBool = 0;
    int FDigitsHex = 0;
};

// The numeric edit with its spin buttons glued to the right edge.
class TIcNumSpin : public TIcNumEdit {
    OZ_CLASS(TIcNumSpin, TIcNumEdit);

public:
    explicit TIcNumSpin(TComponent* AOwner);
    ~TIcNumSpin() override;

    // Interval and StartDelay, always stored; the buttons are part of the
    // spin edit and not stored themselves.
    static void Publish(TPublisher<TIcNumSpin>& P);

    TIcSpinButton* Button() const { return FButton; }
    int Interval() const { return FButton->Interval(); }
    void SetInterval(int Value) { FButton->SetInterval(Value); }
    int StartDelay() const { return static_cast<int>(FButton->StartDelay()); }
    void SetStartDelay(int Value) { FButton->SetStartDelay(static_cast<uint32_t>(Value)); }

    void SetEnabled(bool Value) override;
    int GetMinHeight();
    // The edit's formatting rectangle ends two pixels left of the buttons,
    // so the text and the caret never run under them.
    void SetEditRect();

protected:
    void SetState(TNumEditState Value) override;
    void Limit() override;
    void Resize() override;

private:
    void UpdateButtons();

    TIcSpinButton* FButton = nullptr;
};

// Commits every numeric field on Parent (and below) that holds typed text,
// so a dialog closed with OK loses no value being typed.
void IcCommitNumEdits(TWinControl* Parent);
