// Three small dialogs that ask the user for one value: a number, a password
// and a text. The caller sets caption and prompt (where offered) and the
// start value, runs Execute and reads the value back only when it returned
// true. The dialogs check nothing themselves.
#pragma once

#include "platform/Forms.h"

#include <cstdint>
#include <string>

class TButton;
class TEdit;
class TIcNumSpin;
class TLabel;
class TMaskEdit;
class TPanel;

class TdlgValueEntry : public TForm {
public:
    explicit TdlgValueEntry(TComponent* Owner);

    void SetLabel(const std::string& Text);
    float Value() const { return FValue; }
    void SetValue(float Value) { FValue = Value; }

    // Shows Value; true when closed with OK, Value() then holds the number.
    bool Execute();
    // Value + 0.5 truncated toward zero, held to the 32-bit range.
    int32_t GetRoundedValue() const;

private:
    float FValue = 0;

    TLabel* lblValLabel;
    TIcNumSpin* eValue;
    TPanel* pnlButtons;
    TButton* OKBtn;
    TButton* CancelBtn;
};

class TdlgPassword : public TForm {
public:
    explicit TdlgPassword(TComponent* Owner);

    const std::string& Text() const { return FText; }

    // Starts empty every time; true when closed with OK, Text() then holds
    // what was typed (in clear).
    bool Execute();

private:
    std::string FText;

    TLabel* Label1;
    TMaskEdit* ePassword;
    TPanel* pnlButtons;
    TButton* OKBtn;
    TButton* CancelBtn;
};

class TdlgStringEntry : public TForm {
public:
    explicit TdlgStringEntry(TComponent* Owner);

    void SetLabel(const std::string& Text);
    // The text entered (not the form's caption: that is SetCaption).
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value) { FText = Value; }

    // Shows Text; true when closed with OK, Text() then holds the edit's
    // text (on Cancel it keeps the caller's).
    bool Execute();

private:
    std::string FText;

    TLabel* Label;
    TEdit* eString;
    TPanel* pnlButtons;
    TButton* OKBtn;
    TButton* CancelBtn;
};

extern TdlgValueEntry* dlgValueEntry;
extern TdlgPassword* dlgPassword;
extern TdlgStringEntry* dlgStringEntry;
