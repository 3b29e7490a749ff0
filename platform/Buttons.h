// Speed buttons: flat buttons with a glyph that take no focus.
#pragma once

#include "platform/Controls.h"

#include <memory>

// A button with a glyph and an optional caption. With GroupIndex above 0 it
// stays down when clicked and releases the other buttons of its group on the
// same parent.
class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    // The glyph holds NumGlyphs images side by side: up, disabled, clicked,
    // down. Its bottom-left pixel's colour is transparent.
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);

    void Click() override;

protected:
    void TextChanged() override;
    void EnabledChanged() override;

private:
    void UpdateButton();
    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    bool FDown = false;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FFlat = false;
};

// The small frame glyphs a tool speed button shows in place of a bitmap of
// its own.
enum TToolType { ttNone, ttClose, ttMaximize };

// A speed button whose glyph is one of the frame glyphs.
class TToolSpeedButton : public TSpeedButton {
public:
    explicit TToolSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

    TToolType ToolType() const { return FToolType; }
    void SetToolType(TToolType Value);

private:
    TToolType FToolType = ttNone;
};
