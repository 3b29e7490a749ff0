// Reaching a form's controls by name, as the user's actions would.
#pragma once

#include "platform/Classes.h"
#include "platform/StdCtrls.h"

#include <gtest/gtest.h>

#include <string>

// The component Owner owns under Name, as a T; a failed expectation when
// there is none of that type.
template <class T>
T* Find(TComponent* Owner, const std::string& Name)
{
    auto* C = dynamic_cast<T*>(Owner->FindComponent(Name));
    EXPECT_NE(C, nullptr) << Name;
    return C;
}

// What the user's pick in a combo does.
inline void Pick(TComboBox* Combo, int Index)
{
    Combo->SetItemIndex(Index);
    Combo->WidgetChanged();
}
