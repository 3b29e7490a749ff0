// The design-time editor of a printable: it reads and writes the
// printable's value, colour, font and alignment and shows its settings form.
// A printable names its editor class (TRpPrintable::GetEditorClass); how an
// editor of that class is made is registered by the report library's dialogs
// (RegisterReportDialogs), so the engine names forms without opening any.
#pragma once

#include "platform/Classes.h"
#include "platform/Graphics.h"

#include <functional>
#include <memory>
#include <string>

class TRpPrintable;

class TRpPrintableEditor : public TObject {
public:
    explicit TRpPrintableEditor(TRpPrintable* AControl) : FPrintable(AControl) {}

    TRpPrintable* Printable() const { return FPrintable; }

    virtual TColor GetColor() const { return 0; }
    virtual TFont* GetFont() const { return nullptr; }
    // The class of printable the editor serves.
    virtual TClass GetPrintableClass() const;
    virtual std::string GetValue() const { return {}; }
    virtual std::string GetGlyphResName() const { return {}; }
    virtual std::string GetControlName() const { return {}; }
    virtual TAlignment GetAlignment() const { return taLeftJustify; }
    virtual void SetAlignment(TAlignment Value) {}
    virtual void SetColor(TColor Value) = 0;
    virtual void SetFont(TFont* Value) = 0;
    virtual void SetValue(const std::string& Value) = 0;
    // The settings form, modally; true when the user accepted and the
    // values went to the printable.
    virtual bool ShowEditor() = 0;

private:
    TRpPrintable* FPrintable;
};

using TRpPrintableEditorMaker = std::function<std::unique_ptr<TRpPrintableEditor>(TRpPrintable* AControl)>;

// What stands for an editor class: its name and how to make one for a
// printable (empty until the dialogs library registers the class; it gives
// nullptr for a printable the class does not serve).
struct TRpPrintableEditorClass {
    std::string ClassName;
    TRpPrintableEditorMaker Create;
};

// Makes Maker the way editors of the class named ClassName are made.
void RegisterPrintableEditorClass(const std::string& ClassName, TRpPrintableEditorMaker Maker);
// The editor class named ClassName with the maker registered for it.
TRpPrintableEditorClass RpPrintableEditorClass(const std::string& ClassName);
