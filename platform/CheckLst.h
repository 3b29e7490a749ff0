// A list box with a check box on every line.
#pragma once

#include "platform/StdCtrls.h"

class TCheckListBox : public TCustomListBox {
public:
    explicit TCheckListBox(TComponent* AOwner);

    bool Checked(int Index) const;
    // By code: no OnClickCheck.
    void SetChecked(int Index, bool Value);
    bool ItemEnabled(int Index) const;
    void SetItemEnabled(int Index, bool Value);

    // The user ticked or cleared a line.
    TNotifyEvent OnClickCheck;

    // The Qt side: the user changed the check of line Index.
    void WidgetCheckChanged(int Index);

protected:
    void ItemsChanged(TItemStrings::TChange Kind, int Index) override;
    virtual void ClickCheck();

private:
    void MakeCheckable(int Index);
    int FSetting = 0;
};
