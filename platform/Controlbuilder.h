// Building a form in code: one call makes a control, owned by the form,
// on its parent, named (for Find and the tests), captioned and placed.
//
//   btnOk = NewControl<TButton>(this, this, "btnOk", "OK", 98, 176, 75, 25);
//   NewControl<TLabel>(this, Page, "", "Code File:", 8, 20);
#pragma once

#include "platform/Controls.h"

#include <string>

// A control of class T owned by Owner on Parent; Name is left unset when
// empty, Caption is set on controls that have one when it is not empty.
template <class T>
T* NewControl(TComponent* Owner, TWinControl* Parent, const std::string& Name, const std::string& Caption = "")
{
    auto* Control = new T(Owner);
    if (!Name.empty())
        Control->SetName(Name);
    Control->SetParent(Parent);
    if constexpr (requires { Control->SetCaption(Caption); }) {
        if (!Caption.empty())
            Control->SetCaption(Caption);
    }
    return Control;
}

// The same, placed at Left, Top; a Width or Height of 0 keeps the
// control's own.
template <class T>
T* NewControl(TComponent* Owner, TWinControl* Parent, const std::string& Name, const std::string& Caption,
              int Left, int Top, int Width = 0, int Height = 0)
{
    T* Control = NewControl<T>(Owner, Parent, Name, Caption);
    Control->SetBounds(Left, Top, Width > 0 ? Width : Control->Width(), Height > 0 ? Height : Control->Height());
    return Control;
}
