#include "widgets/IcNumEdit.h"

#include "platform/Forms.h"
#include "platform/SysUtils.h"
#include "widgets/_icproc.h"

#include <algorithm>

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

const float Factors[12] = {1e18f, 1e15f, 1e12f, 1e9f, 1e6f, 1e3f,
                           1e-3f, 1e-6f, 1e-9f, 1e-12f, 1e-15f, 1e-18f};

const TBaseProperties& EBase(TEditBase Base)
{
    static const TBaseProperties Table[4] = {
        {"01", false, false, "", -2147483647.0L, 2147483647.0L},
        {"0123456789abcdefABCDEF", false, false, "", -2147483647.0L, 2147483647.0L},
        {std::string("0123456789") + IcDecimalSeparator + IcThousandSeparator, true, true, "+-",
         -1.7e308L, 1.7e308L},
        {std::string("0123456789") + IcThousandSeparator, false, true, "+-", -2147483647.0L,
         2147483647.0L},
    };
    return Table[Base <= ebInt ? Base : ebFloat];
}

namespace {

bool isIn(char C, const std::string& Set) { return Set.find(C) != std::string::npos; }
bool isIn(char C, const char* Set) { return C != '\0' && std::string(Set).find(C) != std::string::npos; }

// Optional sign, digits with at most one decimal separator (a digit or the
// separator must be there), then optionally an exponent letter with an
// optional sign and digits (none counts as 0).
bool convertFloat(const std::string& S, long double& Result)
{
    size_t i = 0;
    std::string norm;
    if (i < S.size() && (S[i] == '+' || S[i] == '-'))
        norm += S[i++];
    bool digits = false;
    bool separator = false;
    for (; i < S.size(); ++i) {
        const char c = S[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            norm += c;
        } else if (c == IcDecimalSeparator && !separator) {
            separator = true;
            norm += '.';
        } else {
            break;
        }
    }
    if (!digits && !separator)
        return false;
    if (!digits)
        norm += '0';
    if (i < S.size() && (S[i] == 'e' || S[i] == 'E')) {
        ++i;
        std::string exp;
        if (i < S.size() && (S[i] == '+' || S[i] == '-'))
            exp += S[i++];
        bool expDigits = false;
        for (; i < S.size() && S[i] >= '0' && S[i] <= '9'; ++i) {
            exp += S[i];
            expDigits = true;
        }
        if (expDigits) {
            norm += 'e';
            norm += exp;
        }
    }
    if (i != S.size())
        return false;
    long double v = 0;
    const char* first = norm.data();
    if (*first == '+')
        ++first;
    const auto r = std::from_chars(first, norm.data() + norm.size(), v);
    if (r.ec != std::errc() || r.ptr != norm.data() + norm.size() || !std::isfinite(v))
        return false;
    Result = v;
    return true;
}

// Optional sign and decimal digits within 32 bits, or "$" and at most eight
// significant hexadecimal digits (taken as the 32-bit pattern).
bool convertInt(const std::string& S, long double& Result)
{
    if (!S.empty() && S[0] == '$') {
        uint64_t v = 0;
        if (S.size() == 1)
            return false;
        for (size_t i = 1; i < S.size(); ++i) {
            const char c = S[i];
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                return false;
            v = v * 16 + static_cast<uint64_t>(d);
            if (v > 0xFFFFFFFFull)
                return false;
        }
        Result = static_cast<int32_t>(static_cast<uint32_t>(v));
        return true;
    }
    size_t i = 0;
    bool negative = false;
    if (i < S.size() && (S[i] == '+' || S[i] == '-'))
        negative = S[i++] == '-';
    if (i == S.size())
        return false;
    int64_t v = 0;
    for (; i < S.size(); ++i) {
        if (S[i] < '0' || S[i] > '9')
            return false;
        v = v * 10 + (S[i] - '0');
        if (v > 2147483648LL)
            return false;
    }
    if (negative)
        v = -v;
    if (v > 2147483647LL)
        return false;
    Result = static_cast<long double>(v);
    return true;
}

// Binary digits within 32 bits (leading zeros do not count).
bool convertBin(const std::string& S, long double& Result)
{
    const size_t first = S.find('1');
    if (first != std::string::npos && S.size() - first > 32)
        return false;
    Result = IcBinToInt(S);
    return true;
}

}  // namespace

TNumCheck IcCheckNumText(const std::string& Text, TEditBase EditBase)
{
    TNumCheck check;
    if (Text.empty()) {
        check.Empty = true;
        check.Good = true;
        return check;
    }
    const int len = static_cast<int>(Text.size());
    auto at = [&](int Pos) { return Text[static_cast<size_t>(Pos - 1)]; };

    int Start = 1;
    int End = len;
    long double factor = 1.0L;
    TEditBase entry = EditBase;
    switch (Text[0]) {
    case '!': entry = ebFloat; Start = 2; break;
    case '$': entry = ebHex; Start = 2; break;
    case '%': entry = ebInt; Start = 2; break;
    case '&': entry = ebBin; Start = 2; break;
    default: break;
    }
    const TBaseProperties& row = EBase(entry);

    // A multiplier suffix; outside the float base only the ones above 1.
    if (row.AllowMultiplier) {
        const size_t m = std::string(ValidMultipChars).find(Text.back());
        if (m != std::string::npos) {
            factor = Factors[m];
            if (entry == ebFloat || factor > 1.0L)
                --End;
            else
                factor = 1.0L;
        }
    }

    int firstBad = 0;
    int lastBad = 0;
    if (End >= Start) {
        // Mantissa, then the exponent.
        int i = Start;
        if (isIn(at(i), row.Signs))
            ++i;
        int expPos = 0;
        for (; i <= End; ++i) {
            const char c = at(i);
            if (row.AllowExp && isIn(c, ExpChars)) {
                expPos = i;
                break;
            }
            if (!isIn(c, row.ValidChars)) {
                if (!firstBad)
                    firstBad = i;
                lastBad = i;
            }
        }
        if (expPos) {
            int j = expPos + 1;
            if (j <= End && isIn(at(j), row.Signs))
                ++j;
            for (; j <= End; ++j) {
                if (!isIn(at(j), row.ValidChars)) {
                    if (!firstBad)
                        firstBad = j;
                    lastBad = j;
                }
            }
        }
        // Every decimal separator after the first is bad.
        int firstSurplus = 0;
        bool seen = false;
        for (int k = Start; k <= End; ++k) {
            if (at(k) != IcDecimalSeparator)
                continue;
            if (!seen) {
                seen = true;
                continue;
            }
            if (!firstSurplus)
                firstSurplus = k;
            if (k > lastBad)
                lastBad = k;
        }
        if (!firstBad)
            firstBad = firstSurplus;
    }
    if (firstBad) {
        check.MarkStart = firstBad;
        check.MarkEnd = lastBad;
        return check;
    }

    std::string number = End >= Start ? Text.substr(static_cast<size_t>(Start - 1),
                                                     static_cast<size_t>(End - Start + 1))
                                      : std::string();
    if (number.size() == 1 && isIn(number[0], row.Signs))
        number += '0';
    if (row.AllowExp && !number.empty() && isIn(number[0], ExpChars))
        number.insert(number.begin(), '1');
    if (row.AllowMultiplier && factor != 1.0L && number.empty())
        number = "1";
    number = IcRemoveSign(number, IcThousandSeparator);

    long double result = 0;
    bool converted = true;
    if (!number.empty()) {
        switch (entry) {
        case ebBin: converted = convertBin(number, result); break;
        case ebHex: converted = convertInt("$" + number, result); break;
        case ebFloat: converted = convertFloat(number, result); break;
        case ebInt: converted = convertInt(number, result); break;
        }
    }
    if (converted && factor != 1.0L)
        result *= factor;
    // What does not convert, or does not fit a double, is bad input like a
    // bad character: the whole number is marked.
    if (!converted || !std::isfinite(result) ||
        std::fabs(result) > static_cast<long double>(std::numeric_limits<double>::max())) {
        check.MarkStart = Start;
        check.MarkEnd = End >= Start ? End : len;
        return check;
    }
    check.Good = true;
    check.Result = result;
    return check;
}

// ------------------------------------------------------------ the controls

namespace {

int gBeeps = 0;

std::string hexDigits(int32_t Value, int Digits)
{
    static const char* hex = "0123456789ABCDEF";
    uint32_t v = static_cast<uint32_t>(Value);
    std::string s;
    do {
        s.insert(s.begin(), hex[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    if (Digits > 8)
        Digits = 8;
    if (static_cast<int>(s.size()) < Digits)
        s.insert(0, static_cast<size_t>(Digits) - s.size(), '0');
    return s;
}

// The binary rendering: DigitsBool is a minimum width, set bits are never
// dropped.
std::string binDigits(int32_t Value, int Digits)
{
    std::string s = IcIntToBin(Value, 0);
    const size_t width = IcIntToBin(Value, Digits).size();
    if (s.size() < width)
        s.insert(0, width - s.size(), '0');
    return s;
}

}  // namespace

void IcBeep()
{
    ++gBeeps;
    Beep();
}

int IcBeepCount()
{
    return gBeeps;
}

class TIcNumEdit::TSkipChange {
public:
    explicit TSkipChange(TIcNumEdit* Edit) : FEdit(Edit), FOld(Edit->FSkipChange) { Edit->FSkipChange = true; }
    ~TSkipChange() { FEdit->FSkipChange = FOld; }
    TSkipChange(const TSkipChange&) = delete;
    TSkipChange& operator=(const TSkipChange&) = delete;

private:
    TIcNumEdit* FEdit;
    bool FOld;
};

TIcNumEdit::TIcNumEdit(TComponent* AOwner) : TCustomEdit(AOwner)
{
    FSuppressValueChanged = true;
    FIcInfo = LoadIcInfo();
    SetWidth(65);
    FEditBase = ebFloat;
    FDigitsBool = 0;
    FDigitsHex = 0;
    FFormatStr = "#0.#";
    SetText(std::string("0"));   // the first commit: value 0, no event
    if (FValueAsBool.empty())
        CheckEdit(true);
    FLastText.clear();
    SetColorDefault(clWindow);
    FColorError = clRed;
    FColorEditing = clLime;
    FIncrement = 1.0f;
    FEditorEnabled = true;
}

void TIcNumEdit::WriteText(const std::string& S)
{
    TCustomEdit::SetText(S);
}

std::string TIcNumEdit::Rendering() const
{
    switch (FEditBase) {
    case ebBin: return FValueAsBool;
    case ebHex: return FValueAsHex;
    case ebInt: return IntToStr(FValueAsInt);
    case ebFloat: break;
    }
    return FormatFloat(FFormatStr, FValue);
}

bool TIcNumEdit::WantsKey(uint16_t Key) const
{
    // Enter commits and Esc restores the field instead of closing the dialog.
    return Key == VK_RETURN || Key == VK_ESCAPE;
}

void TIcNumEdit::SetState(TNumEditState Value)
{
    if (Value == FState)
        return;
    FState = Value;
    switch (FState) {
    case esNormal: SetColor(FColorDefault); break;
    case esEditing: SetColor(FColorEditing); break;
    case esError:
        SetColor(FColorError);
        Repaint();
        IcBeep();
        break;
    }
}

void TIcNumEdit::Limit()
{
    if (OnLimit)
        OnLimit(this);
}

void TIcNumEdit::SetLimitUp(bool Value)
{
    if (Value != FLimitUp) {
        FLimitUp = Value;
        Limit();
    }
}

void TIcNumEdit::SetLimitLo(bool Value)
{
    if (Value != FLimitLo) {
        FLimitLo = Value;
        Limit();
    }
}

void TIcNumEdit::UpdateLimitFlags()
{
    SetLimitUp(FOptions.Contains(eoLimitMax) && FValue >= FMaxValue);
    SetLimitLo(FOptions.Contains(eoLimitMin) && FValue <= FMinValue);
}

bool TIcNumEdit::CheckEdit(bool Commit)
{
    const std::string text = Text();
    if (text.empty()) {
        SetState(esEditing);
        return true;
    }
    const TNumCheck check = IcCheckNumText(text, FEditBase);
    if (!check.Good) {
        SetState(esError);
        if (Enabled() && Visible() && CanFocus() && !Focused())
            SetFocus();
        SetSelStart(check.MarkStart - 1);
        SetSelLength(check.MarkEnd - check.MarkStart + 1);
        return false;
    }
    SetState(text == FLastText || Commit ? esNormal : esEditing);
    if (Commit)
        SetText(CheckValue(static_cast<double>(check.Result)));
    return true;
}

long double TIcNumEdit::CheckValue(double x)
{
    long double r = x;
    if (FOptions.Contains(eoLimitMin)) {
        SetLimitLo(x <= FMinValue);
        if (x <= FMinValue)
            r = FMinValue;
    }
    if (FOptions.Contains(eoLimitMax)) {
        SetLimitUp(x >= FMaxValue);
        if (x >= FMaxValue)
            r = FMaxValue;
    }
    return r;
}

void TIcNumEdit::SetText(long double x)
{
    const TBaseProperties& row = EBase(FEditBase);
    if (std::isnan(x))
        x = 0;
    x = std::clamp(x, row.Min, row.Max);
    FValue = static_cast<double>(x);
    FValueAsSingle = static_cast<float>(std::clamp(x, -3.4e38L, 3.4e38L));
    FValueAsInt = IcRound(std::clamp(x, -2147483647.0L, 2147483647.0L));
    FValueAsHex = hexDigits(FValueAsInt, FDigitsHex);
    FValueAsBool = binDigits(FValueAsInt, FDigitsBool);
    const std::string text = Rendering();
    if (text != Text())
        WriteText(text);
    SetState(esNormal);
    if (FSuppressValueChanged)
        FSuppressValueChanged = false;
    else if (OnValueChanged && Text() != FLastText)
        OnValueChanged(this);
    FLastText = Text();
}

void TIcNumEdit::SetValue(double Value)
{
    if (Value == FValue)
        return;
    SetText(CheckValue(Value));
}

void TIcNumEdit::SetMaxValue(double Value)
{
    if (Value != FMaxValue)
        FMaxValue = Value;
    if (FValue > Value && FOptions.Contains(eoLimitMax))
        SetValue(Value);
    UpdateLimitFlags();
}

void TIcNumEdit::SetMinValue(double Value)
{
    if (Value != FMinValue)
        FMinValue = Value;
    if (FValue < Value && FOptions.Contains(eoLimitMin))
        SetValue(Value);
    UpdateLimitFlags();
}

void TIcNumEdit::SetOptions(TNumEditOptions Value)
{
    if (Value == FOptions)
        return;
    FOptions = Value;
    CheckEdit(true);
    UpdateLimitFlags();
}

void TIcNumEdit::SetFormatStr(const std::string& Value)
{
    if (Value == FFormatStr)
        return;
    FFormatStr = Value;
    if (FEditBase == ebFloat)
        WriteText(FormatFloat(FFormatStr, FValue));
    CheckEdit(true);
}

void TIcNumEdit::SetEditBase(TEditBase Value)
{
    if (Value == FEditBase)
        return;
    FEditBase = Value;
    {
        TSkipChange skip(this);
        WriteText(Rendering());
    }
    FLastText = Text();
    SetState(esNormal);
}

void TIcNumEdit::SetColorDefault(TColor Value)
{
    FColorDefault = Value;
    SetColor(Value);
}

void TIcNumEdit::SetValueAsBool(const std::string& Value)
{
    if (Value == Text())
        return;
    WriteText(FEditBase == ebBin ? Value : "&" + Value);
    CheckEdit(true);
}

void TIcNumEdit::SetValueAsHex(const std::string& Value)
{
    if (Value == Text())
        return;
    WriteText(FEditBase == ebHex ? Value : "$" + Value);
    CheckEdit(true);
}

// Both go through the limits like SetValue, so a limit flag never goes stale.
void TIcNumEdit::SetValueAsInt(int32_t Value)
{
    if (IntToStr(Value) != Text())
        SetText(CheckValue(Value));
}

void TIcNumEdit::SetValueAsSingle(float Value)
{
    if (FormatFloat(FFormatStr, Value) != Text())
        SetText(CheckValue(Value));
}

void TIcNumEdit::UpClick(TObject* Sender)
{
    Step(true);
}

void TIcNumEdit::DownClick(TObject* Sender)
{
    Step(false);
}

// With eoMultiply a float steps by factor (times up, divided down).
void TIcNumEdit::Step(bool Up)
{
    if (ReadOnly() || (Up ? FLimitUp : FLimitLo)) {
        IcBeep();
        return;
    }
    {
        TSkipChange skip(this);
        const double inc = FIncrement;
        double v;
        if (FOptions.Contains(eoMultiply) && FEditBase == ebFloat && FIncrement != 0 && FValue != 0)
            v = Up ? FValue * inc : FValue / inc;
        else
            v = Up ? FValue + inc : FValue - inc;
        SetValue(static_cast<double>(CheckValue(v)));
    }
    if (OnChange)
        OnChange(this);
}

void TIcNumEdit::Change()
{
    if (FSkipChange || ComponentState().Contains(csLoading))
        return;
    CheckEdit(FValueAsBool.empty());
}

void TIcNumEdit::Loaded()
{
    TCustomEdit::Loaded();
    CheckEdit(true);
}

void TIcNumEdit::ColorChanged()
{
    TCustomEdit::ColorChanged();
    if (ParentColor())
        FColorDefault = Color();
}

void TIcNumEdit::KeyDown(uint16_t& Key, TShiftState Shift)
{
    if (Key == VK_UP && !FLimitUp) {
        UpClick(this);
    } else if (Key == VK_DOWN && !FLimitLo) {
        DownClick(this);
    } else {
        if (FState != esNormal && Key == VK_ESCAPE)
            WriteText(Rendering());
        if (OnChange)
            OnChange(this);
    }
    TCustomEdit::KeyDown(Key, Shift);
}

void TIcNumEdit::KeyPress(char& Key)
{
    if (!FEditorEnabled) {
        Key = 0;
        IcBeep();
        return;
    }
    if (Key == '\r') {
        Key = 0;
        if (Text().empty())
            WriteText("0");
        CheckEdit(true);
    }
    TCustomEdit::KeyPress(Key);
}

void TIcNumEdit::DoEnter()
{
    if (AutoSelect())
        SelectAll();
    TCustomEdit::DoEnter();
}

void TIcNumEdit::DoExit()
{
    TCustomEdit::DoExit();
    if (Text().empty())
        WriteText("0");
    CheckEdit(true);
}

void IcCommitNumEdits(TWinControl* Parent)
{
    if (!Parent)
        return;
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        TControl* c = Parent->Controls(i);
        if (auto* edit = dynamic_cast<TIcNumEdit*>(c)) {
            if (edit->State() != esNormal) {
                if (edit->Text().empty())
                    edit->SetText(std::string("0"));
                edit->CheckEdit(true);
            }
        }
        if (auto* win = dynamic_cast<TWinControl*>(c))
            IcCommitNumEdits(win);
    }
}

// -------------------------------------------------------------- TIcNumSpin

TIcNumSpin::TIcNumSpin(TComponent* AOwner) : TIcNumEdit(AOwner)
{
    FButton = new TIcSpinButton(this);
    FButton->SetSubComponent(true);
    FButton->SetBounds(Width() - 11, 0, 16, Height() - 4);
    FButton->SetParent(this);
    FButton->SetVisible(true);
    FButton->SetFocusControl(this);
    FButton->OnUpClick = [this](TObject* Sender) { UpClick(Sender); };
    FButton->OnDownClick = [this](TObject* Sender) { DownClick(Sender); };
    FButton->SetInterval(100);
    FButton->SetStartDelay(500);
    Resize();
}

TIcNumSpin::~TIcNumSpin()
{
    delete FButton;
    FButton = nullptr;
}

void TIcNumSpin::UpdateButtons()
{
    if (!FButton)
        return;
    const bool on = FButton->Enabled() && State() == esNormal;
    FButton->UpButton()->SetEnabled(on && !FLimitUp);
    FButton->DownButton()->SetEnabled(on && !FLimitLo);
}

void TIcNumSpin::Limit()
{
    UpdateButtons();
    TIcNumEdit::Limit();
}

void TIcNumSpin::SetEnabled(bool Value)
{
    TIcNumEdit::SetEnabled(Value);
    if (!FButton)
        return;
    FButton->SetEnabled(Value);
    UpdateButtons();
}

void TIcNumSpin::SetState(TNumEditState Value)
{
    if (!FButton || Value == State()) {
        TIcNumEdit::SetState(Value);
        return;
    }
    TIcNumEdit::SetState(Value);
    UpdateButtons();
}

int TIcNumSpin::GetMinHeight()
{
    TBitmap probe(1, 1);
    TCanvas* c = probe.Canvas();
    const int systemHeight = c->TextHeight("Wg");
    c->SetFont(Font());
    const int fontHeight = c->TextHeight("Wg");
    const int m = std::min(systemHeight, fontHeight);
    return fontHeight + m / 4 + 4 * 1 + 2;
}

void TIcNumSpin::Resize()
{
    TIcNumEdit::Resize();
    if (!FButton)
        return;
    const int minHeight = GetMinHeight();
    if (Height() < minHeight) {
        SetHeight(minHeight);
        return;
    }
    const int bw = FButton->Width();
    FButton->SetBounds(Width() - bw - 4, 0, bw - 1, Height() - 4);
    SetEditRect();
}

// The formatting rectangle runs from the client area's left edge to two
// pixels short of the buttons, over the whole height (the edit centres its
// line itself).
void TIcNumSpin::SetEditRect()
{
    const int right = ClientWidth() - FButton->Width() - 2;
    SetTextMargins(0, 0, ClientWidth() - right, 0);
}
