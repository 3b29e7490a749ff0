// Identifiers of the platform's enumerations and colours as forms store them,
// for classes that publish properties of these types (platform/TypInfo.h),
// and the control properties concrete control classes publish. The property
// tables of TFont, TPen, TBrush, TControl, TSizeConstraints and the menus
// are defined beside them (PublishedProps.cpp).
#pragma once

#include "platform/Controls.h"
#include "platform/Graphics.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
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
const TIdentMap& AnchorIdents();        // set elements akLeft ...
const TIdentMap& DragModeIdents();      // dmManual, dmAutomatic
const TIdentMap& DragKindIdents();      // dkDrag, dkDock

// ------------------------------------------------------------------ control properties

// The properties the class library's control bases declare and leave to each
// concrete class to publish (TControl publishes for every control only what
// all of them store): a class's Publish names those it shows, each with the
// class library's default.
//
//   void TGauge::Publish(TPublisher<TGauge>& P)
//   {
//       PublishAnchors(P);
//       PublishPopupMenu(P);
//   }

// [akLeft, akTop].
template <class T>
TPropBuilder<T> PublishAnchors(TPublisher<T>& P)
{
    return P.Set("Anchors", &TControl::Anchors, &TControl::SetAnchors, AnchorIdents())
        .Default(TAnchors{akLeft, akTop});
}

// MaxHeight, MaxWidth, MinHeight, MinWidth, each 0 by default.
template <class T>
TPropBuilder<T> PublishConstraints(TPublisher<T>& P)
{
    return P.Object("Constraints", &TControl::Constraints);
}

// crDrag.
template <class T>
TPropBuilder<T> PublishDragCursor(TPublisher<T>& P)
{
    return P.Integer("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor)
        .Default(crDrag)
        .Idents(CursorIdents());
}

// dkDrag.
template <class T>
TPropBuilder<T> PublishDragKind(TPublisher<T>& P)
{
    return P.Enumeration("DragKind", &TControl::DragKind, &TControl::SetDragKind, DragKindIdents()).Default(dkDrag);
}

// dmManual.
template <class T>
TPropBuilder<T> PublishDragMode(TPublisher<T>& P)
{
    return P.Enumeration("DragMode", &TControl::DragMode, &TControl::SetDragMode, DragModeIdents())
        .Default(dmManual);
}

// True. (TControl stores Font only while it is not the parent's.)
template <class T>
TPropBuilder<T> PublishParentFont(TPublisher<T>& P)
{
    return P.Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
}

// True. (TControl stores ShowHint only while it is not the parent's.)
template <class T>
TPropBuilder<T> PublishParentShowHint(TPublisher<T>& P)
{
    return P.Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
}

// A popup menu of the form, by name; nil by default.
template <class T>
TPropBuilder<T> PublishPopupMenu(TPublisher<T>& P)
{
    return P.Component("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
}

// Windowed controls: stored while it is not the parent's, then always.
template <class T>
TPropBuilder<T> PublishCtl3D(TPublisher<T>& P)
{
    return P.Boolean("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D)
        .NoDefault()
        .Stored([](T& C) { return !C.ParentCtl3D(); });
}

// Windowed controls: True.
template <class T>
TPropBuilder<T> PublishParentCtl3D(TPublisher<T>& P)
{
    return P.Boolean("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D).Default(true);
}

// Windowed controls: -1, so that every child's place is stored.
template <class T>
TPropBuilder<T> PublishTabOrder(TPublisher<T>& P)
{
    return P.Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
}

// Edits: True.
template <class T>
TPropBuilder<T> PublishAutoSize(TPublisher<T>& P)
{
    return P.Boolean("AutoSize", &TCustomEdit::AutoSize, &TCustomEdit::SetAutoSize).Default(true);
}
