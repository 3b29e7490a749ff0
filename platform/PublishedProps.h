// Identifiers of the platform's enumerations and colours as forms store them,
// for classes that publish properties of these types (platform/TypInfo.h).
// The property tables of TFont, TPen, TBrush and TControl are defined beside
// them (PublishedProps.cpp).
#pragma once

#include "platform/Controls.h"
#include "platform/Graphics.h"
#include "platform/TypInfo.h"

#include <string>

// clBlack ... clWhite, clMoneyGreen, clSkyBlue, clCream, clMedGray, the
// system colours (clBtnFace...), clNone and clDefault; clLtGray and clDkGray
// are read as clSilver and clGray.
const TIdentMap& ColorIdents();
// False when Color has no name.
bool ColorToIdent(TColor Color, std::string& Ident);
// Without regard to case; false when Ident names no colour.
bool IdentToColor(const std::string& Ident, TColor& Color);

const TIdentMap& PenStyleIdents();     // psSolid ...
const TIdentMap& PenModeIdents();      // pmBlack ...
const TIdentMap& PenEndCapIdents();    // pecRound ...
const TIdentMap& PenJoinStyleIdents(); // pjsRound ...
const TIdentMap& BrushStyleIdents();   // bsSolid ...
const TIdentMap& FontStyleIdents();    // set elements fsBold ...
const TIdentMap& FontPitchIdents();    // fpDefault ...
const TIdentMap& CharsetIdents();      // named values of TFontCharset
const TIdentMap& AlignIdents();        // alNone ...
const TIdentMap& CursorIdents();       // crDefault, crArrow ...
