// The "Rescale" dialog: the Y range (and for the loops the X range) of one
// plot, taken in and given back as a whole TPlotScale.
#pragma once

#include "analyzer/Types.h"
#include "platform/Forms.h"

#include <string>

class TButton;
class TGroupBox;
class TIcNumSpin;
class TLabel;
class TPanel;

class TdlgPlotScale : public TForm {
public:
    explicit TdlgPlotScale(TComponent* Owner);

    // The scale shown and, after OK, the values chosen; Manual is left as
    // the caller set it.
    TPlotScale Scale() const { return FScale; }
    void SetScale(const TPlotScale& Value) { FScale = Value; }

    // YOnly hides the X range. True when closed with OK. High and low are
    // taken as typed, in either order.
    bool Execute(bool YOnly, const std::string& YCaption, const std::string& XCaption);

private:
    TPlotScale FScale;

    TPanel* pnlYRange;
    TGroupBox* gbYRange;
    TIcNumSpin* eYMax;
    TIcNumSpin* eYMin;
    TPanel* pnlXRange;
    TGroupBox* gbXRange;
    TIcNumSpin* eXMax;
    TIcNumSpin* eXMin;
    TPanel* pnlButtons;
    TButton* btnOK;
    TButton* btnCancel;
};

extern TdlgPlotScale* dlgPlotScale;
