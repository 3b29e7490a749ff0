// Small editor controls for chart settings: a button that draws a symbol of
// a linked property over its face, its colour variant that opens the colour
// dialog and shows the colour as a swatch, a flat drop-down list, and the
// colour dialog routines that keep the user's custom colours between calls.
#pragma once

#include "chart/ChCanvas.h"
#include "platform/StdCtrls.h"
#include "platform/TypInfo.h"

#include <functional>
#include <string>

class TStringList;

// A button that draws a symbol of a property of another object. The linked
// object is not owned.
class TChButton : public TButton {
public:
    explicit TChButton(TComponent* AOwner);

    // Links the published property PropName of Instance (none when PropName
    // is empty); a nil Instance only unlinks the object.
    void LinkProperty(TObject* Instance, const std::string& PropName);
    TObject* LinkedInstance() const { return FInstance; }
    const TPropInfo* LinkedProperty() const { return FInfo; }

    // Draws the symbol over the button face; nothing here.
    virtual void DrawSymbol(TChCanvas* Canvas) {}

protected:
    // The symbol goes over what the platform painted, while an object is linked.
    void PaintOver(TCanvas* Canvas) override;
    void TextChanged() override;
    void EnabledChanged() override;

    TObject* FInstance = nullptr;
    const TPropInfo* FInfo = nullptr;
};

// Shows the linked colour property as a swatch at the right of the face; a
// click edits it in the colour dialog.
class TButtonColor : public TChButton {
public:
    using TGetColorProc = std::function<TColor()>;
    using TChButton::TChButton;

    // The colour-reading event's answer, else the linked property's colour,
    // else clNone.
    TColor GetChColor();
    void SetChColor(TColor Value);
    void DrawSymbol(TChCanvas* Canvas) override;
    // Opens the colour dialog; OnClick runs only when the colour changed.
    void Click() override;

    TGetColorProc GetColorProc;
};

// A drop-down list that looks flat until the mouse is over it or it has the
// focus.
class TComboFlat : public TComboBox {
public:
    explicit TComboFlat(TComponent* AOwner);
    void AddItem(const std::string& Text, TObject* Obj);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value) { FItemHeight = Value; }
    bool MouseInControl() const { return FMouseInControl; }

protected:
    // The flat frame over the platform's 3-D border and button edge.
    void PaintOver(TCanvas* Canvas) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void DoEnter() override;
    void DoExit() override;

private:
    bool FMouseInControl = false;
    int FItemHeight = 13;
};

// The colour dialog owned by Owner, started at Color and with the custom
// colours of the previous call; the colour chosen, or Color when cancelled.
TColor EditColor(TComponent* Owner, TColor Color);
// EditColor; true (and Color changed) only when another colour was chosen.
bool EditColorDialog(TComponent* Owner, TColor& Color);

// The colour dialog's custom colours kept between calls: nullptr until the
// first EditColor.
TStringList* ChCustomEditColors();
// Unit shut-down: forgets the custom colours.
void FreeChCustomEditColors();
