// Edits with an input mask ("99:99:99").
#pragma once

#include "platform/StdCtrls.h"

#include <string>

// EditMask in the class library's notation: "0" a digit that must be typed,
// "9" a digit that may be left blank, "L"/"l" a letter, "A"/"a" a letter or
// digit, "C"/"c" any character (upper case: required), ">" and "<" change
// case, "\" takes the next character literally, other characters stand as
// they are; an optional ";1;_" tail names whether literals are kept in Text
// and the blank character.
class TCustomMaskEdit : public TCustomEdit {
public:
    explicit TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
    const std::string& EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& Value);

private:
    std::string FEditMask;
};

class TMaskEdit : public TCustomMaskEdit {
public:
    explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
};

// The Qt input mask of a mask in the class library's notation.
std::string QtInputMask(const std::string& EditMask);
